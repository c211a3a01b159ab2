#pragma once

// A window manager on a test's own X server (openbox), for what only shows
// with one: frames with title bars around top-level windows, the window
// manager's own placement and its close buttons. Ended with the test; the
// window manager also ends by itself when its X server goes away. Each one
// reads and writes its settings under a folder of its own, so the window
// managers of tests run side by side share no file, and a developer's own
// openbox settings change nothing.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

#include <memory>

typedef struct _XDisplay Display;

class XWindowManager
{
public:
    XWindowManager() = default;
    ~XWindowManager() { stop(); }
    XWindowManager(const XWindowManager &) = delete;
    XWindowManager &operator=(const XWindowManager &) = delete;

    // Starts openbox on the display that x talks to and waits (bounded)
    // until it manages the screen and handles events: it takes charge of
    // the screen before it has read its settings and fonts, and frames no
    // window until then. False, with *why, when openbox is not installed or
    // took no charge of the screen.
    bool start(Display *x, QString *why);
    void stop();

    // Whether a window manager announces itself on the root window
    // (_NET_SUPPORTING_WM_CHECK), as it does once it has set itself up.
    static bool announced(Display *x);
    // The frame a window manager put around the client window (title bar and
    // borders), in root coordinates; the client window's own rectangle while
    // it has no frame; empty when the window is gone.
    static QRect frame(Display *x, unsigned long client);
    // Whether the window manager has framed the client window.
    static bool framed(Display *x, unsigned long client);
    // The window the pointer would reach at p (root coordinates): the
    // topmost top-level window there (a frame, or a window without one).
    static unsigned long topat(Display *x, QPoint p);
    // The top-level window (a frame, or the client itself) holding client.
    static unsigned long toplevel(Display *x, unsigned long client);
    // Waits (bounded by ms) until the window manager has handled every event
    // the X server sent it before this call (a window shown, a new title, the
    // keyboard focus) and the server holds what it drew for them: a window
    // of the call's own, never shown, asks for its frame's size
    // (_NET_REQUEST_FRAME_EXTENTS), and openbox answers in turn, after the
    // events before. False when no answer came.
    static bool caughtup(Display *x, int ms);

private:
    pid_t m_pid = -1;
    std::unique_ptr<QTemporaryDir> m_home;
};
