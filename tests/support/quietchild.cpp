#include "quietchild.h"

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quietchild
{

pid_t start(char *const argv[], const std::function<void()> &inchild)
{
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // The child ends with the test, even with a test that crashed; the
        // test may have ended before this line ran.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        // Its notes are no part of the test's output, and it must not hold
        // the test's output open.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            ::close(null);
        }
        if (inchild)
            inchild();
        execv(argv[0], argv);
        _exit(127);
    }
    return pid;
}

void stop(pid_t &pid)
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

} // namespace quietchild
