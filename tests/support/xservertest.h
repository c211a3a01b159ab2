#pragma once

// What every test on an X server of its own starts from: the server's display
// name (XvfbServer::runtest hands it over), the application on the xcb
// platform there, and the test's own connection to the server, through which
// it asks what the server shows and sends a user's input (xinput).

#include <QByteArray>
#include <QObject>

class QWidget;
typedef struct _XDisplay Display;

class XServerTest : public QObject
{
public:
    explicit XServerTest(const QByteArray &display)
        : display(display)
    {
    }
    ~XServerTest() override { closex(); }

protected:
    // Checks that the application runs on the xcb platform and opens the
    // test's connection; a failed check fails the calling test function.
    void openx();
    void closex();
    // Whether the server shows the widget's window.
    bool viewable(QWidget *widget) const;
    // The pointer moved onto the widget's middle in steps, as a hand moves
    // it, then a click there, all through the server. Only sent: the
    // application handles it after the call, as it handles a user's input,
    // or within settlems when given.
    void clickon(QWidget *target, int settlems = 0) const;

    QByteArray display;
    Display *x = nullptr;
};
