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

void button(Display *display, bool down)
{
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XSync(display, False);
}

bool key(Display *display, const char *keysym)
{
    const KeySym sym = XStringToKeysym(keysym);
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XSync(display, False);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
    return true;
}

bool type(Display *display, const char *text)
{
    for (const char *c = text; *c; ++c) {
        const char name[2] = {*c, 0};
        if (!key(display, *c == ' ' ? "space" : name))
            return false;
    }
    return true;
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
