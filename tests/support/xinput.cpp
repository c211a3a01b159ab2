#include "xinput.h"

#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace xinput
{
void move(Display *display, QPoint p)
{
    XTestFakeMotionEvent(display, -1, p.x(), p.y(), CurrentTime);
    XSync(display, False);
}

void click(Display *display, QPoint p, unsigned long holdms)
{
    move(display, p);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    if (holdms > 0)
        QThread::msleep(holdms);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

bool closewindow(Display *display, unsigned long window)
{
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &e) != 0;
    XSync(display, False);
    return sent;
}
} // namespace xinput
