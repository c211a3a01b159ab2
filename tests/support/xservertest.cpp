#include "xservertest.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <X11/Xlib.h>

void XServerTest::openx()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    x = XOpenDisplay(display.constData());
    QVERIFY(x);
}

void XServerTest::closex()
{
    if (x)
        XCloseDisplay(x);
    x = nullptr;
}

bool XServerTest::viewable(QWidget *widget) const
{
    XWindowAttributes a;
    XSync(x, False);
    return XGetWindowAttributes(x, Window(widget->winId()), &a) && a.map_state == IsViewable;
}
