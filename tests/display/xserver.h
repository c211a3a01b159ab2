#pragma once

// A private X server for the tests that need the real X11 platform: Xvfb on a
// display number it picks itself, and pointer input sent through the server
// (XTest), as a user's hand would.

#include <QPoint>
#include <QString>

namespace xserver
{
// Starts Xvfb on a free display and returns its name (":N"); empty when Xvfb
// is not installed or did not start (why is in *why).
QString start(QString *why);
// Stops the server started by start.
void stop();
// Pointer motion and a left click at a point of the screen, flushed to the
// server before returning.
bool move(QPoint global);
bool click(QPoint global);
} // namespace xserver
