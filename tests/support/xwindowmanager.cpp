#include "xwindowmanager.h"

#include "quietchild.h"
#include "xscreen.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <X11/Xlib.h>

#include <algorithm>
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
    // Its own home: openbox writes its log under the cache folder (the same
    // file for every openbox of one user) and reads rc.xml from the
    // configuration folder before the system's.
    m_home = std::make_unique<QTemporaryDir>();
    if (!m_home->isValid()) {
        *why = QStringLiteral("no folder for openbox's settings");
        return false;
    }
    QByteArray path = openbox.toLocal8Bit(), display = DisplayString(x), nosm = "--sm-disable";
    const QByteArray home = m_home->path().toLocal8Bit();
    std::vector<char *> argv{path.data(), nosm.data(), nullptr};
    m_pid = quietchild::start(argv.data(), [&display, &home] {
        setenv("DISPLAY", display.constData(), 1);
        setenv("HOME", home.constData(), 1);
        setenv("XDG_CONFIG_HOME", QByteArray(home + "/config").constData(), 1);
        setenv("XDG_CACHE_HOME", QByteArray(home + "/cache").constData(), 1);
        setenv("XDG_DATA_HOME", QByteArray(home + "/data").constData(), 1);
    });
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
        if (XGetSelectionOwner(x, selection) != 0) {
            // In charge; its first answer comes once it has set itself up.
            if (caughtup(x, int(std::max<qint64>(10000 - clock.elapsed(), 1000))))
                return true;
            break;
        }
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            *why = QStringLiteral("openbox ended at its start");
            return false;
        }
        QThread::msleep(20);
    }
    stop();
    *why = QStringLiteral("openbox took no charge of the screen in 10 s, or never answered");
    return false;
}

void XWindowManager::stop()
{
    quietchild::stop(m_pid);
    m_home.reset();
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

bool XWindowManager::caughtup(Display *x, int ms)
{
    const Window root = DefaultRootWindow(x);
    const Window probe = XCreateSimpleWindow(x, root, 0, 0, 1, 1, 0, 0, 0);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = probe;
    e.xclient.message_type = XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False);
    e.xclient.format = 32;
    // The answer is a request the manager sends after the ones for the
    // events before: the server has handled those (the drawing) once it is
    // there. The question goes again now and then: a manager that has just
    // taken charge of the screen may not yet listen on the root window.
    QElapsedTimer clock;
    clock.start();
    qint64 asked = -1000;
    bool answered = false;
    while (!answered && clock.elapsed() < ms) {
        if (clock.elapsed() - asked >= 250) {
            XSendEvent(x, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
            XSync(x, False);
            asked = clock.elapsed();
        }
        answered = QTest::qWaitFor(
            [&]() { return xscreen::property(x, probe, "_NET_FRAME_EXTENTS", 4).count == 4; }, 250);
    }
    XDestroyWindow(x, probe);
    XSync(x, False);
    return answered;
}
