#pragma once

// A program a test runs beside it (an X server, a window manager): quiet, and
// ended with the test however the test ends (a crash or a ctest timeout
// included).

#include <sys/types.h>

#include <functional>

namespace quietchild
{
// Forks and runs argv[0] with the arguments argv (ended by a null), its
// output to /dev/null; inchild runs in the child just before the program
// starts (closing a pipe's other end, setting an environment variable).
// The child's pid, or -1 when no child could be made.
pid_t start(char *const argv[], const std::function<void()> &inchild = {});
// Ends the child (SIGTERM) and waits for it; pid is -1 afterwards. Nothing
// when pid is not above 0.
void stop(pid_t &pid);
} // namespace quietchild
