#pragma once

// Pointer input sent through the test's own X server (XTest), as a user's
// hand would, for the tests that need the real X11 platform.

#include <QPoint>

namespace xserver
{
// Pointer motion and a left click at a point of the screen, flushed to the
// server before returning.
bool move(QPoint global);
bool click(QPoint global);
// Closes the connection move and click opened (to DISPLAY), before the
// server ends.
void endinput();
} // namespace xserver
