#include "xservertest.h"

#include "xinput.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTest>
#include <QThread>
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

void XServerTest::clickon(QWidget *target, int settlems) const
{
    QVERIFY(target && target->isVisible());
    const QPoint to = target->mapToGlobal(target->rect().center());
    const QPoint from = QCursor::pos();
    constexpr int kSteps = 6;
    for (int i = 1; i <= kSteps; ++i) {
        xinput::move(x, from + (to - from) * i / kSteps);
        QThread::msleep(15);
    }
    xinput::click(x, to);
    if (settlems > 0)
        QTest::qWait(settlems);
}
