#pragma once

// A user's hand at an X server, for the tests on an X server of their own:
// pointer input through the server (XTest) and the close request a window
// manager sends. Only Xlib's opaque Display is named here, so that a test
// includes Xlib (and its clashing macros) only when it uses more of it.

#include <QPoint>

typedef struct _XDisplay Display;

namespace xinput
{
// The pointer moves to p (screen coordinates), flushed to the server.
void move(Display *display, QPoint p);
// The pointer moves to p and the first button is pressed and released
// there, `holdms` apart.
void click(Display *display, QPoint p, unsigned long holdms = 0);
// The first button pressed (down) or released where the pointer is: a
// drag is a press, moves, and a release.
void button(Display *display, bool down);
// A key pressed and released through the server, named by its X key name
// ("Return", "Escape", "Tab", "space", "a"); false when the keyboard has no
// such key.
bool key(Display *display, const char *keysym);
// Types lower-case letters, digits and blanks key by key; false at the first
// character the keyboard has no key for.
bool type(Display *display, const char *text);
// Asks the window's program to close it, as a window manager's close
// button does (WM_DELETE_WINDOW); false when the request was not sent.
bool closewindow(Display *display, unsigned long window);
} // namespace xinput
