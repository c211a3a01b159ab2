// Replies that come at the wrong time, against the stand-in in the whole
// window: an acknowledgement of an earlier request kept back into the next
// request's wait, an answer that comes after the wait, the line dropped while
// the program is read back. The link, copy and lock dialogs say what the
// processor shows afterwards; the dialog and the model show what it holds.

#include "devicefixture.h"
#include "dialogcopy.h"
#include "dialogdevicelock.h"
#include "dialogfixture.h"
#include "dialoglink.h"
#include "dialogprojectlock.h"
#include "formtoolbutton.h"

#include <QLineEdit>
#include <QSignalSpy>

using standin::Fault;

namespace
{
const char *const kLinkFailed = "critical|Set Link Failed|please try again";
const char *const kLinkUnread =
    "warning|Set Link|The link was set, but the current program could not be read completely";
const char *const kCopyFailed = "critical|Copy Data Failed|please try again";
const char *const kLockOk = "information|Set Lock OK|This Device Is Locked\nPlease Remember This Password";
const char *const kLockFailed = "information|Set Lock Failed|Please Try Again";
const char *const kUnlockOk = "information|Set Unlock Ok|This Device Is UnLocked \n You Can Set New Password";
const char *const kUnlockFailed = "information|Set Unlock Failed|Please Try Again";
const char *const kProjectLockOk =
    "information|Set Project Lock OK|Project Is Locked\nPlease Remember This Password";
const char *const kProjectUnlockOk =
    "information|Set Project Unlock OK|Project Is UnLocked \nYou Can Set New Password";
const char *const kProjectUnlockFailed = "information|Set Project Unlock Failed|Please Try Again";

// A processor image whose channels differ, so a copy shows.
QByteArray seededimage()
{
    QByteArray im = standin::factoryimage();
    for (int ch = 0; ch < 12; ++ch) {
        im[standin::img::gain + 3 * ch + 1] = char(50 + 13 * ch);
        im[standin::img::delay + 3 * ch] = char(11 * ch + 1);
    }
    return im;
}

Fault stale(int code, bool ignorenext)
{
    Fault f = makefault(Fault::StaleDuplicate, code);
    f.times = 1;
    f.ignoreNext = ignorenext;
    return f;
}
} // namespace

class TstStaleReplies : public QObject
{
    Q_OBJECT
    StandinWindow fx;
    standin::Standin &s = fx.s;
    std::unique_ptr<ScriptedPrompts> prompts;

    DeviceData *cur() const { return fx.cur(); }
    FormToolButton *toolbar() const { return fx.w->toolbarwidget(); }
    QString boxes() const
    {
        QStringList out;
        for (const ScriptedPrompts::Shown &b : prompts->shown)
            if (b.kind != QLatin1String("confirm"))
                out << boxtext(b);
        return out.join('\n');
    }
    QByteArray modelmasks() const { return fx.linkmasks(); }
    static void click(QWidget &d, const char *name)
    {
        QAbstractButton *b = d.findChild<QAbstractButton *>(QLatin1String(name));
        QVERIFY2(b, name);
        b->click();
    }
    static void type(QWidget &d, const char *name, const QString &text)
    {
        d.findChild<QLineEdit *>(QLatin1String(name))->setText(text);
    }
    template <class Dialog> std::unique_ptr<Dialog> opened()
    {
        std::unique_ptr<Dialog> d(new Dialog(toolbar()));
        d->show();
        return d;
    }
    // The connect request's reply with the processor's state, handled.
    void refreshstate()
    {
        gMainApp->sendconnectreq();
        QTest::qWait(100);
    }
    // Waits until the stand-in has sent every reply it owes (a late one included).
    void settle(int code)
    {
        QVERIFY(QTest::qWaitFor(
            [&]() {
                int commands = 0, replies = 0;
                for (const standin::FrameRecord &r : s.commands(fx.unit))
                    commands += r.command() == code && r.answered;
                for (const standin::FrameRecord &r : s.replies(fx.unit))
                    replies += r.command() == code;
                return replies >= commands;
            },
            5000));
        QTest::qWait(50);
    }

private slots:
    void initTestCase() { fx.open(); }
    void cleanupTestCase() { fx.close(); }
    void init()
    {
        MainApp::settimescale(0.05);
        s.clearfaults();
        const QByteArray image = seededimage();
        s.update(fx.unit, [&image](standin::UnitState &u) {
            u.image = image;
            u.lockState = 0;
            u.lockPassword.clear();
            u.projectLock = 0;
            u.projectPassword.clear();
            u.restartCount = 0;
        });
        fx.loadimage(image);
        refreshstate();
        QCOMPARE(cur()->getlocktype(), 0);
        s.clearframes();
        prompts.reset(new ScriptedPrompts);
    }
    void cleanup()
    {
        prompts.reset();
        fx.endcase();
    }

    // In A onto In D, acknowledged; then In B onto In D, missed by the
    // processor and answered by the kept-back acknowledgement: In D is still
    // In A's copy, and the box says the copy failed.
    void copy()
    {
        s.addfault(stale(0x55, true));
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        auto d = opened<DialogCopy>();
        connect(d.get(), &DialogCopy::updataallviews, toolbar(), &FormToolButton::updataallviews);
        d->initcopy(0x18);
        click(*d, "rbcopyd1");
        click(*d, "inputcopy");
        QCOMPARE(boxes(), QString());
        QCOMPARE(cur()->getgain(3), cur()->getgain(0));
        click(*d, "rbcopyb");
        click(*d, "rbcopyd1");
        click(*d, "inputcopy");
        QCOMPARE(boxes(), QString(kCopyFailed));
        QCOMPARE(DeviceFixture::packed(cur()), s.state(fx.unit).image);
        QCOMPARE(cur()->getgain(3), cur()->getgain(0));
        QVERIFY(cur()->getgain(3) != cur()->getgain(1));
        QCOMPARE(d->inputsource(), 1);
        QCOMPARE(d->inputdestination(), 3);
        QVERIFY(d->isVisible());
        QCOMPARE(relay.count(), 2);
    }

    // The lock dialogs: the box follows the lock state the processor reports
    // after the request, whatever reply ended the wait.
    void locks_data()
    {
        QTest::addColumn<QString>("request"); // "lock", "unlock", "project lock", "project unlock"
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("state"); // the processor's lock kind or project lock after
        QTest::addColumn<int>("model"); // and the model's
        QTest::newRow("lock, answer after the wait") << "lock"
                                                     << "late"
                                                     << "abc" << kLockOk << 3 << 3;
        QTest::newRow("unlock, answer after the wait") << "unlock"
                                                       << "late"
                                                       << "abc" << kUnlockOk << 0 << 0;
        QTest::newRow("unlock, wrong password, stale acceptance") << "unlock"
                                                                  << "stale"
                                                                  << "xyz" << kUnlockFailed << 3 << 3;
        QTest::newRow("project lock, answer after the wait") << "project lock"
                                                             << "late"
                                                             << "abc" << kProjectLockOk << 1 << 1;
        QTest::newRow("project unlock, answer after the wait") << "project unlock"
                                                               << "late"
                                                               << "abc" << kProjectUnlockOk << 0 << 0;
        QTest::newRow("project unlock, wrong password, stale acceptance")
            << "project unlock"
            << "stale"
            << "xyz" << kProjectUnlockFailed << 1 << 1;
        // Taken, but no state can be read: not known to be done.
        QTest::newRow("lock accepted, no connect reply") << "lock"
                                                         << "no state"
                                                         << "abc" << kLockFailed << 3 << 0;
    }
    void locks()
    {
        QFETCH(QString, request);
        QFETCH(QString, fault);
        QFETCH(QString, password);
        QFETCH(QString, box);
        QFETCH(int, state);
        QFETCH(int, model);
        const bool project = request.startsWith("project");
        const int code = project ? 0x12 : 0x10;
        const bool unlock = request.endsWith("unlock");
        // An unlock starts from a lock made through the dialog, its
        // acceptance kept back when the fault asks for it.
        if (fault == "stale")
            s.addfault(stale(code, false));
        if (unlock) {
            prompts->confirmations.enqueue(true);
            if (project) {
                auto d = opened<DialogProjectLock>();
                d->loadlockinfo();
                type(*d, "Editname", "abc");
                click(*d, "pushButton_lock_2");
            } else {
                auto d = opened<DialogDeviceLock>();
                d->loadlockstate();
                click(*d, "rbcopyc");
                type(*d, "Editname", "abc");
                click(*d, "pushButton_lock_2");
            }
            QCOMPARE(boxes(), QString(project ? kProjectLockOk : kLockOk));
            prompts->clear();
            s.clearframes();
        }
        // Past every wait: a lock 5.6 s, an unlock 1.6 s, a project lock
        // 3.6 s (here 280, 80 and 180 ms).
        if (fault == "late")
            s.addfault(makefault(Fault::LateReply, code, -1, 400));
        if (fault == "no state")
            s.addfault(makefault(Fault::NoReply, 0x02));

        std::unique_ptr<QDialog> d;
        prompts->confirmations.enqueue(true);
        if (project) {
            auto p = opened<DialogProjectLock>();
            p->loadlockinfo();
            d = std::move(p);
        } else {
            auto l = opened<DialogDeviceLock>();
            l->loadlockstate();
            d = std::move(l);
            if (!unlock)
                click(*d, "rbcopyc");
        }
        type(*d, "Editname", password);
        click(*d, unlock ? "pushButton_unlock" : "pushButton_lock_2");
        QCOMPARE(boxes(), box);
        const bool ok = !box.contains("Failed");
        QCOMPARE(d->isHidden(), ok); // closed after success, open after failure
        const standin::UnitState u = s.state(fx.unit);
        QCOMPARE(project ? int(u.projectLock) : int(u.lockState), state);
        QCOMPARE(project ? cur()->getprojectlock() : cur()->getlocktype(), model);
        settle(code);
        QCOMPARE(project ? cur()->getprojectlock() : cur()->getlocktype(), model);
    }

    // Last: the line dropped in the middle of a reply leaves the engine a
    // part of a frame, which takes a reply or two to get over.
    //
    // Set Link with IN-A and IN-B, acknowledged; then IN-C joins them, which
    // the processor misses while the kept-back copy of the first
    // acknowledgement answers it: the failure box, the matrix back on what
    // the processor holds. Or the line drops while the program is read back:
    // the masks acknowledged go into the model, and the box says so.
    void link_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("masks");  // what the processor holds after
        QTest::addColumn<QVector<int>>("rows"); // input rows the dialog shows after
        QTest::newRow("stale acknowledgement")
            << "stale" << kLinkFailed << QByteArray::fromHex("030304080102040810204080")
            << QVector<int>{0, 0, 2, 3};
        QTest::newRow("line dropped in the read-back")
            << "drop" << kLinkUnread << QByteArray::fromHex("070707080102040810204080")
            << QVector<int>{0, 0, 0, 3};
    }
    void link()
    {
        QFETCH(QString, fault);
        QFETCH(QString, box);
        QFETCH(QByteArray, masks);
        QFETCH(QVector<int>, rows);
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        auto d = opened<DialogLink>();
        connect(d.get(), &DialogLink::updataallviews, toolbar(), &FormToolButton::updataallviews);
        d->loadlinkmasks(0x18);
        if (fault == "stale") {
            s.addfault(stale(0x54, true));
            click(*d, "rblinkb1");
            click(*d, "pushButton_link_2");
            QCOMPARE(boxes(), QString());
            QCOMPARE(modelmasks(), s.state(fx.unit).linkmasks());
        } else {
            MainApp::settimescale(0.01);
            click(*d, "rblinkb1");
            Fault f = makefault(Fault::DropLink, 0x61, 5);
            f.times = 1;
            s.addfault(f);
        }
        click(*d, "rblinkc1");
        click(*d, "pushButton_link_2");
        QCOMPARE(boxes(), box);
        QCOMPARE(s.state(fx.unit).linkmasks(), masks);
        QCOMPARE(modelmasks(), masks);
        QCOMPARE(DeviceFixture::packed(cur()), s.state(fx.unit).image);
        QCOMPARE(d->inputrows(), rows);
        QVERIFY(d->isVisible());
        QCOMPARE(relay.count(), fault == "stale" ? 2 : 1);
        QCOMPARE(int(gMainApp->inputlinkon), 1);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TstStaleReplies)
#include "tst_stalereplies.moc"
