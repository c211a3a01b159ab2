#include "xsession.h"

#include "xinput.h"
#include "xscreen.h"

#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// Xlib's macros (Bool, Status, None...) clash with Qt's names: after Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace
{

Display *dpy(void *d)
{
    return static_cast<Display *>(d);
}

// A window that goes away between listing and asking about it is no fault;
// the default handler would end the test.
int ignoreerrors(Display *, XErrorEvent *)
{
    return 0;
}

// Pause between the press and the release of a button or key, as a hand makes.
constexpr unsigned long kHoldMs = 25;

} // namespace

void ChildProcess::setupChildProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have died before the line above ran.
    if (::getppid() == 1)
        ::_exit(1);
}

void stopprocess(QProcess &process, int ms)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (process.waitForFinished(ms))
        return;
    process.kill();
    process.waitForFinished(ms);
}

XSession::~XSession()
{
    if (m_display)
        XCloseDisplay(dpy(m_display));
}

bool XSession::start(QString *error)
{
    if (!m_server.start(error, "1280x1024x24", {QStringLiteral("-dpi"), QStringLiteral("96")}))
        return false;
    m_name = QString::fromLatin1(m_server.display());
    XSetErrorHandler(ignoreerrors);
    m_display = XOpenDisplay(m_name.toLocal8Bit().constData());
    if (!m_display) {
        *error = QStringLiteral("cannot open display ") + m_name;
        return false;
    }
    int event = 0, firsterror = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy(m_display), &event, &firsterror, &major, &minor)) {
        *error = QStringLiteral("the X server has no XTest extension");
        return false;
    }
    return true;
}

void XSession::sync() const
{
    XSync(dpy(m_display), False);
}

QVector<TopWindow> XSession::windows() const
{
    QVector<TopWindow> shown;
    Display *d = dpy(m_display);
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count))
        return shown;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable ||
            a.c_class != InputOutput)
            continue;
        TopWindow w;
        w.id = children[i];
        w.rect = QRect(a.x, a.y, a.width, a.height);
        w.popup = a.override_redirect;
        shown.append(w);
    }
    if (children)
        XFree(children);
    return shown;
}

bool XSession::haskeyboard(unsigned long id) const
{
    Display *d = dpy(m_display);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    if (focus == PointerRoot) {
        // The keys go to the window under the pointer.
        Window root = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned int mask = 0;
        XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask);
        return child == id;
    }
    // None names no window.
    for (int depth = 0; focus != None && depth < 32; ++depth) {
        if (focus == id)
            return true;
        Window root = 0, parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(d, focus, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        if (parent == root)
            return false;
        focus = parent;
    }
    return false;
}

QString XSession::title(unsigned long id) const
{
    return QString::fromUtf8(xscreen::property(dpy(m_display), id, "_NET_WM_NAME", 1024, "UTF8_STRING").data);
}

void XSession::move(const QPoint &p)
{
    xinput::move(dpy(m_display), p);
}

void XSession::click(const QPoint &p)
{
    xinput::click(dpy(m_display), p, kHoldMs);
}

void XSession::key(const char *keysym)
{
    Display *d = dpy(m_display);
    const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(keysym));
    if (code == 0)
        return;
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    sync();
    QThread::msleep(kHoldMs);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    sync();
}

void XSession::type(const QString &text)
{
    for (const QChar c : text) {
        const char name[2] = {char(c.toLatin1()), 0};
        key(name);
    }
}

QByteArray XSession::pixels(const QRect &r) const
{
    Display *d = dpy(m_display);
    XImage *image = XGetImage(d, DefaultRootWindow(d), r.x(), r.y(), unsigned(r.width()),
                              unsigned(r.height()), AllPlanes, ZPixmap);
    if (!image)
        return QByteArray();
    const QByteArray bytes(image->data, image->bytes_per_line * image->height);
    XDestroyImage(image);
    return bytes;
}

QImage XSession::screenshot() const
{
    Display *d = dpy(m_display);
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, DefaultRootWindow(d), &a))
        return QImage();
    return xscreen::grab(d, QRect(0, 0, a.width, a.height));
}

bool XSession::closewindow(unsigned long id)
{
    return xinput::closewindow(dpy(m_display), id);
}
