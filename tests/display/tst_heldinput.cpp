// Input held back by a wait that excludes user input is handled as soon as the
// wait ends, with no further input, on the X11 platform: there the held events
// stay in the platform's queue and nothing else would wake the event loop.

#include "xserver.h"

#include "devicedata.h"
#include "mainapp.h"
#include "replywait.h"
#include "xvfbserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstHeldInput : public QObject
{
    Q_OBJECT
    MainApp *app = nullptr;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        app = new MainApp;
        gMainApp = app;
        // A reply wait runs only while the current device is linked.
        app->getcurdevice()->setcomconnected(1);
    }
    void cleanupTestCase()
    {
        gMainApp = nullptr;
        delete app;
        xserver::endinput();
    }

    // A click made in the middle of each kind of excluding wait: nothing
    // reaches the button during the wait, the click does after it, without
    // moving the pointer again.
    void heldclick_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("delayms") << 0;
        QTest::newRow("replywait") << 1;
        QTest::newRow("nested delayms") << 2;
    }
    void heldclick()
    {
        QFETCH(int, kind);
        QPushButton button(QStringLiteral("press"));
        button.setGeometry(100, 100, 200, 100);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        int clicks = 0;
        connect(&button, &QPushButton::clicked, this, [&]() { ++clicks; });
        const QPoint centre = button.mapToGlobal(button.rect().center());
        QVERIFY(xserver::move(centre));
        QTest::qWait(200);

        QTimer::singleShot(150, this, [centre]() { xserver::click(centre); });
        if (kind == 0) {
            MainApp::delayms(600, true);
        } else if (kind == 1) {
            ReplyWait wait(0x18, 1, 0x7e);
            QCOMPARE(wait.wait(600, false), ReplyWait::Outcome::TimedOut);
        } else {
            // A reload inside a reload: the inner wait's end must not let the
            // click into the outer one.
            MainApp::delayms(300, true);
            MainApp::delayms(300, true);
        }
        QCOMPARE(clicks, 0);

        // The application's own event loop, idle: only the held click can
        // end it early.
        QEventLoop loop;
        connect(&button, &QPushButton::clicked, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        loop.exec();
        QCOMPARE(clicks, 1);
        qInfo("click handled %lld ms after the wait", clock.elapsed());
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstHeldInput>(argc, argv, "1024x768x24", {QStringLiteral("-noreset")});
}

#include "tst_heldinput.moc"
