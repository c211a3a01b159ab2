#include "xwindowmanager.h"

#include "quietchild.h"
#include "xscreen.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <X11/Xlib.h>

#include <cstdlib>
#include <sys/wait.h>

#include <vector>

bool XWindowManager::start(Display *x, QString *why)
{
    QString ignored;
    if (!why)
        why = &ignored;
    stop();
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        *why = QStringLiteral("openbox is not installed (package openbox)");
        return false;
    }
    QByteArray path = openbox.toLocal8Bit(), display = DisplayString(x), nosm = "--sm-disable";
    std::vector<char *> argv{path.data(), nosm.data(), nullptr};
    m_pid = quietchild::start(argv.data(), [&display] { setenv("DISPLAY", display.constData(), 1); });
    if (m_pid < 0) {
        *why = QStringLiteral("cannot fork for openbox");
        return false;
    }
    // A window manager in charge owns the selection WM_S<screen> (ICCCM).
    const Atom selection =
        XInternAtom(x, QByteArray("WM_S" + QByteArray::number(DefaultScreen(x))).constData(), False);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (XGetSelectionOwner(x, selection) != 0)
            return true;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            *why = QStringLiteral("openbox ended at its start");
            return false;
        }
        QThread::msleep(20);
    }
    stop();
    *why = QStringLiteral("openbox took no charge of the screen in 10 s");
    return false;
}

void XWindowManager::stop()
{
    quietchild::stop(m_pid);
}

bool XWindowManager::announced(Display *x)
{
    return xscreen::property(x, DefaultRootWindow(x), "_NET_SUPPORTING_WM_CHECK", 1).count == 1;
}

unsigned long XWindowManager::toplevel(Display *x, unsigned long client)
{
    Window w = client;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(x, w, &root, &parent, &children, &n))
            return 0;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            return w;
        w = parent;
    }
}

QRect XWindowManager::frame(Display *x, unsigned long client)
{
    XSync(x, False);
    const Window top = toplevel(x, client);
    XWindowAttributes a;
    if (top == 0 || !XGetWindowAttributes(x, top, &a))
        return QRect();
    // The outer edge, the window's own border included.
    return QRect(a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width);
}

bool XWindowManager::framed(Display *x, unsigned long client)
{
    XSync(x, False);
    const Window top = toplevel(x, client);
    return top != 0 && top != client;
}

unsigned long XWindowManager::topat(Display *x, QPoint p)
{
    XSync(x, False);
    const Window root = DefaultRootWindow(x);
    Window child = 0;
    int cx = 0, cy = 0;
    if (!XTranslateCoordinates(x, root, root, p.x(), p.y(), &cx, &cy, &child))
        return 0;
    return child;
}
