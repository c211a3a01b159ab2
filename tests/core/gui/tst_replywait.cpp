// The wait for the reply to one command: only its own reply ends it, and it
// always ends, on time-out, lost link or closing.

#include "ccomctrl.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "replyrate.h"
#include "replywait.h"

#include <QApplication>
#include <QHostAddress>
#include <QTest>
#include <QTimer>

namespace
{
Reply replyof(const char *hex)
{
    Reply r;
    decodereply(QByteArray::fromHex(hex), r);
    return r;
}
} // namespace

class TstReplyWait : public QObject
{
    Q_OBJECT
    MainApp *app = nullptr;
    DeviceData *dev = nullptr;

private slots:
    void init()
    {
        MainApp::settimescale(0.05);
        app = new MainApp;
        gMainApp = app;
        const QHostAddress serial(QStringLiteral("0.0.0.0"));
        dev = MainApp::adddevice(0x18, 2, serial);
        app->selectdevice(0x18, 2, serial);
        dev->setcomconnected(1);
    }
    void cleanup()
    {
        app->deletealldevices();
        delete app;
        gMainApp = nullptr;
        MainApp::settimescale(1);
    }

    void outcome_data()
    {
        QTest::addColumn<QByteArray>("sent"); // replies emitted during the wait
        QTest::addColumn<int>("event");       // 0 none, 1 link drops, 2 closing
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("taken");
        using O = ReplyWait::Outcome;
        const QByteArray part5 = "445566180260020105112233";
        QTest::newRow("own reply") << QByteArray(part5) << 0 << int(O::Arrived) << QByteArray(part5);
        QTest::newRow("other part, then own")
            << QByteArray("445566180260020104112233 " + part5) << 0 << int(O::Arrived) << QByteArray(part5);
        QTest::newRow("other code") << QByteArray("445566180261020105112233") << 0 << int(O::TimedOut)
                                    << QByteArray();
        QTest::newRow("other address") << QByteArray("445566180360020105112233") << 0 << int(O::TimedOut)
                                       << QByteArray();
        QTest::newRow("other type") << QByteArray("445566140260020105112233") << 0 << int(O::TimedOut)
                                    << QByteArray();
        QTest::newRow("link drops") << QByteArray() << 1 << int(O::LinkLost) << QByteArray();
        QTest::newRow("closing") << QByteArray() << 2 << int(O::Closing) << QByteArray();
    }
    void outcome()
    {
        QFETCH(QByteArray, sent);
        QFETCH(int, event);
        QFETCH(int, outcome);
        QFETCH(QByteArray, taken);
        GlobalContrl lang;
        gGlobalContrl = &lang;
        ReplyWait w(0x18, 2, 0x60, 8, 5);
        QTimer::singleShot(5, [&]() {
            for (const QByteArray &hex : sent.split(' '))
                if (!hex.isEmpty())
                    gComCtrl.notifyreply(replyof(hex.constData()));
            if (event == 1)
                dev->setcomconnected(0);
            if (event == 2)
                lang.setclosing(1);
        });
        // 4 s under the time scale.
        QCOMPARE(int(w.wait(4000)), outcome);
        QCOMPARE(w.reply().text.toLatin1(), taken);
        gGlobalContrl = nullptr;
    }

    // A reply faster than the caller's wait is kept; rearm forgets it.
    void earlyreplyandrearm()
    {
        ReplyWait w(0x18, 2, 0x61, 8, 0);
        gComCtrl.notifyreply(replyof("445566180261020000112233"));
        QCOMPARE(w.wait(1000), ReplyWait::Outcome::Arrived);
        w.rearm(1);
        QCOMPARE(w.wait(100), ReplyWait::Outcome::TimedOut);
        // Another device made current: the wait started for the first one ends.
        MainApp::adddevice(0x18, 3, QHostAddress(QStringLiteral("0.0.0.0")))->setcomconnected(1);
        app->selectdevice(0x18, 3, QHostAddress(QStringLiteral("0.0.0.0")));
        QCOMPARE(w.wait(1000), ReplyWait::Outcome::LinkLost);
    }

    // A wait asks for its reply for as long as it exists: the links pass that
    // reply beyond their limit on unasked ones. Two waits for one reply nest.
    void asksforitsreply()
    {
        QVERIFY(!ReplyRate::asked(0x18, 2, 0x61));
        {
            ReplyWait first(0x18, 2, 0x61, 8, 0);
            {
                ReplyWait second(0x18, 2, 0x61, 8, 1);
                QVERIFY(ReplyRate::asked(0x18, 2, 0x61));
            }
            QVERIFY(ReplyRate::asked(0x18, 2, 0x61));
            QVERIFY(!ReplyRate::asked(0x18, 3, 0x61));
            QVERIFY(!ReplyRate::asked(0x18, 2, 0x60));
        }
        QVERIFY(!ReplyRate::asked(0x18, 2, 0x61));
    }
};

QTEST_MAIN(TstReplyWait)
#include "tst_replywait.moc"
