#pragma once

// A private X server (Xvfb on a free display) for one test, with the pointer
// and keyboard of a user at it (the XTest extension): the real program is
// driven through the X server as a person drives it, without a window manager.

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QVector>

#include "xvfbserver.h"

// A child process that is killed when the test process dies, however it dies
// (a ctest timeout included), so no server or window outlives its test.
class ChildProcess : public QProcess
{
protected:
    void setupChildProcess() override;
};

// Asks the process to end, then kills it; returns at most after `ms` * 2.
void stopprocess(QProcess &process, int ms = 3000);

struct TopWindow {
    unsigned long id = 0;
    QRect rect;         // on the screen
    bool popup = false; // placed by the program itself: menus, tool tips
};

class XSession
{
public:
    XSession() = default;
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // Starts the server on a display no other server uses and connects to it.
    bool start(QString *error);
    QString display() const { return m_name; }

    // The top-level windows shown now, bottom first.
    QVector<TopWindow> windows() const;
    // A window's title, to tell which box came up.
    QString title(unsigned long id) const;
    // True when the keyboard goes to the top-level window `id` (to it or to
    // a window inside it): keys typed now reach that window.
    bool haskeyboard(unsigned long id) const;

    // The pointer moves to p (screen coordinates) and the first button is
    // pressed and released there.
    void move(const QPoint &p);
    void click(const QPoint &p);
    // Keys: `keysym` is an X key name ("Return"); type() takes letters and digits.
    void key(const char *keysym);
    void type(const QString &text);

    // The screen's pixels in r, to tell whether something was drawn there.
    QByteArray pixels(const QRect &r) const;
    // The whole screen, to look at when a step fails.
    QImage screenshot() const;

    // Asks the window's program to close it, as a window manager's close
    // button does (WM_DELETE_WINDOW).
    bool closewindow(unsigned long id);

private:
    void sync() const;

    XvfbServer m_server;
    void *m_display = nullptr; // Display *
    QString m_name;
};
