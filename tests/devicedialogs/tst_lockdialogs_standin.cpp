// The lock dialogs in the whole window against the stand-in: the exact lock
// and unlock frames (password "abc", worked by hand), the state the connect
// reply brings back to every page; refusals; the wait that only its own reply
// ends; a second click during a wait; the project lock with its restart count.

#include "dialogdevicelock.h"
#include "dialogfixture.h"
#include "dialogprojectlock.h"
#include "formsetview.h"
#include "formtoolbutton.h"
#include "longexchange.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QScopeGuard>

using standin::Fault;

namespace
{

// Lock overlays of the pages, and the lock states that show them.
struct Overlay {
    MainApp::View view;
    const char *name;
    QVector<int> shownfor;
};
const Overlay kOverlays[] = {
    {MainApp::GainView, "widgetgainlockback", {1, 2, 3}},
    {MainApp::DelayView, "widgetdelaylockback", {1, 3}},
    {MainApp::PeqView, "widgetpeqlockback", {1, 3}},
    {MainApp::PeqView, "widgetpeqlockback_2", {1, 3}},
    {MainApp::GeqView, "widgetgeqlockback", {1, 3}},
    {MainApp::LimitView, "widgetlimitlockback", {1, 3}},
    {MainApp::LimitView, "widgetlimitlockback_2", {1, 3}},
    {MainApp::Limit2View, "widgetblock", {1, 3}},
};
// The main page's lock image for states 1..4.
const char *const kMainImage[] = {"amainlock01.png", "amainlock02.png", "alockchange.png", "blacklock.png"};

const QByteArray kPassword("abc     ");

} // namespace

class TstLockDialogsStandin : public QObject
{
    Q_OBJECT
    StandinWindow fx;
    standin::Standin &s = fx.s;
    std::unique_ptr<ScriptedPrompts> prompts;

    DeviceData *cur() const { return fx.cur(); }
    QVector<QByteArray> sent(quint8 code) const { return fx.sent(code); }

    // Waits for the processor's reply with this code, and its handling.
    bool replied(int code = 0x02) const
    {
        const auto answered = [this, code]() {
            for (const standin::FrameRecord &r : s.replies(fx.unit))
                if (r.command() == code)
                    return true;
            return false;
        };
        if (!QTest::qWaitFor(answered, 5000))
            return false;
        QTest::qWait(50);
        return true;
    }
    QString lastbox() const { return prompts->shown.isEmpty() ? QString() : boxtext(prompts->shown.last()); }
    static void type(QDialog &d, const char *name, const QString &text)
    {
        d.findChild<QLineEdit *>(QString::fromLatin1(name))->setText(text);
    }
    static void click(QDialog &d, const char *name)
    {
        d.findChild<QAbstractButton *>(QString::fromLatin1(name))->click();
    }
    // A device lock request as a user makes it (kind 0: unlock), "Yes" answered.
    std::unique_ptr<DialogDeviceLock> devicedialog(const QString &password)
    {
        std::unique_ptr<DialogDeviceLock> d(new DialogDeviceLock(fx.w->toolbarwidget()));
        d->loadlockstate();
        d->show();
        type(*d, "Editname", password);
        prompts->confirmations.enqueue(true);
        return d;
    }
    void devicerequest(int kind, const QString &password)
    {
        auto dialog = devicedialog(password);
        DialogDeviceLock &d = *dialog;
        if (kind == 0) {
            click(d, "pushButton_unlock");
            return;
        }
        click(d, qPrintable(QStringLiteral("rbcopy") + QChar('a' + kind - 1)));
        click(d, "pushButton_lock_2");
        const bool chinese = gGlobalContrl && gGlobalContrl->getlanguage();
        QVERIFY(d.isHidden() == lastbox().startsWith(chinese ? QStringLiteral("information|加锁OK")
                                                             : QStringLiteral("information|Set Lock OK")));
    }
    std::unique_ptr<DialogProjectLock> projectrequest(bool lock, const QString &password,
                                                      const QString &count)
    {
        std::unique_ptr<DialogProjectLock> dialog(new DialogProjectLock(fx.w->toolbarwidget()));
        DialogProjectLock &d = *dialog;
        d.loadlockinfo();
        d.show();
        type(d, "Editname", password);
        type(d, "Editsetid", count);
        prompts->confirmations.enqueue(true);
        click(d, lock ? "pushButton_lock_2" : "pushButton_unlock");
        return dialog;
    }
    // The processor locked with kPassword (the device lock in `state`, or the
    // project lock), and the application told of it; false when the state
    // read after gave no answer.
    bool lockprocessor(int state, bool project)
    {
        s.update(fx.unit, [&](standin::UnitState &u) {
            if (project) {
                u.projectLock = 1;
                u.projectPassword = kPassword;
                u.restartCount = 5;
            } else {
                u.lockState = quint8(state);
                u.lockPassword = kPassword;
            }
        });
        gMainApp->sendconnectreq();
        const bool answered = replied();
        s.clearframes();
        return answered;
    }
    // After a failure box the password is selected and has the keys: what is
    // typed next replaces it.
    static void retypes(QDialog &d, const QString &password)
    {
        QLineEdit *edit = d.findChild<QLineEdit *>(QStringLiteral("Editname"));
        QVERIFY(edit);
        QCOMPARE(edit->selectedText(), password);
        QCOMPARE(d.focusWidget(), static_cast<QWidget *>(edit));
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QCOMPARE(edit->text(), QStringLiteral("abc"));
    }
    // Every page's lock display for lock state `state`.
    void checkpages(int state)
    {
        QWidget *mainlock = gMainApp->getview(MainApp::MainView)->findChild<QWidget *>("widgetlockback");
        QVERIFY(mainlock);
        QCOMPARE(!mainlock->isHidden(), state >= 1 && state <= 4);
        if (state >= 1 && state <= 4)
            QVERIFY(mainlock->styleSheet().contains(QLatin1String(kMainImage[state - 1])));
        for (const Overlay &o : kOverlays) {
            QWidget *overlay = gMainApp->getview(o.view)->findChild<QWidget *>(QLatin1String(o.name));
            QVERIFY2(overlay, o.name);
            QVERIFY2(!overlay->isHidden() == o.shownfor.contains(state), o.name);
        }
    }

private slots:
    void initTestCase() { fx.open(); }
    void cleanupTestCase() { fx.close(); }
    // Every case starts from a free processor whose state the application knows.
    void init()
    {
        s.clearfaults();
        s.update(fx.unit, [](standin::UnitState &u) {
            u.lockState = 0;
            u.lockPassword.clear();
            u.projectLock = 0;
            u.projectPassword.clear();
            u.restartCount = 0;
        });
        s.clearframes();
        gMainApp->sendconnectreq();
        QVERIFY(replied());
        QCOMPARE(cur()->getlocktype(), 0);
        s.clearframes();
        prompts.reset(new ScriptedPrompts);
    }
    void cleanup()
    {
        prompts.reset();
        MainApp::settimescale(1);
    }

    // Each kind locks with its own mode byte; the connect request after the
    // answer brings the state to every page; the same password unlocks.
    void lockkinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("Change Only") << 1 << QByteArray("1122331801100981616263202020202061445566");
        QTest::newRow("Change&View") << 2 << QByteArray("1122331801100982616263202020202062445566");
        QTest::newRow("Change&Mute") << 3 << QByteArray("1122331801100983616263202020202063445566");
        QTest::newRow("Everything") << 4 << QByteArray("1122331801100984616263202020202064445566");
    }
    void lockkinds()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, frame);
        gMainApp->showgainview(); // the main page comes forward for kinds 2 and 4
        devicerequest(kind, QStringLiteral(" abc "));
        QCOMPARE(sent(0x10), QVector<QByteArray>{QByteArray::fromHex(frame)});
        QCOMPARE(
            lastbox(),
            QStringLiteral("information|Set Lock OK|This Device Is Locked\nPlease Remember This Password"));
        QCOMPARE(int(s.state(fx.unit).lockState), kind);
        QVERIFY(replied());
        QCOMPARE(cur()->getlocktype(), kind);
        QCOMPARE(int(gMainApp->meteron), kind == 2 || kind == 4 ? 0 : 1);
        checkpages(kind);

        s.clearframes();
        devicerequest(0, QStringLiteral("abc"));
        QCOMPARE(sent(0x10),
                 QVector<QByteArray>{QByteArray::fromHex("1122331801100900616263202020202060445566")});
        QCOMPARE(lastbox(), QStringLiteral("information|Set Unlock Ok|This Device Is UnLocked \n You Can Set "
                                           "New Password"));
        QCOMPARE(int(s.state(fx.unit).lockState), 0);
        QVERIFY(replied());
        QCOMPARE(cur()->getlocktype(), 0);
        checkpages(0);
    }

    // The gain page's lock badge lies on no value: where a value box or a
    // fader is, the overlay's image (as the sheet names it, and its twin of
    // the other language) holds only the plain dimming of its corner, which
    // leaves what lies beneath readable.
    void gainbadge_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("Change Only") << 1;
        QTest::newRow("Change&View") << 2;
        QTest::newRow("Change&Mute") << 3;
    }
    void gainbadge()
    {
        QFETCH(int, state);
        s.update(fx.unit, [&](standin::UnitState &u) {
            u.lockState = quint8(state);
            u.lockPassword = kPassword;
        });
        gMainApp->sendconnectreq();
        QVERIFY(replied());
        QWidget *page = gMainApp->getview(MainApp::GainView);
        QWidget *overlay = page->findChild<QWidget *>(QStringLiteral("widgetgainlockback"));
        QVERIFY(overlay && !overlay->isHidden());
        static const QRegularExpression rule(
            QStringLiteral("#widgetgainlockback\\s*\\{[^}]*url\\(([^)]+)\\)"));
        const QRegularExpressionMatch m = rule.match(qApp->styleSheet());
        QVERIFY(m.hasMatch());
        QString path = m.captured(1);
        const QString twin = path.endsWith(QLatin1String("_chs.png"))
                                 ? QString(path).replace(QLatin1String("_chs.png"), QLatin1String(".png"))
                                 : QString(path).replace(QLatin1String(".png"), QLatin1String("_chs.png"));
        QVector<QWidget *> values;
        for (QAbstractSpinBox *b : page->findChildren<QAbstractSpinBox *>())
            values << b;
        for (QSlider *sl : page->findChildren<QSlider *>())
            values << sl;
        QCOMPARE(values.size(), 24);
        for (const QString &file : {path, twin}) {
            const QImage img = QImage(file).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!img.isNull(), qPrintable(file));
            QSet<QRgb> plain;
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 200; ++x)
                    plain.insert(img.pixel(x, y));
            for (QWidget *v : values) {
                const QRect r = QRect(overlay->mapFrom(page, v->mapTo(page, QPoint(0, 0))), v->size())
                                    .intersected(overlay->rect())
                                    .intersected(img.rect());
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        QVERIFY2(plain.contains(img.pixel(x, y)),
                                 qPrintable(QStringLiteral("%1 covered at %2,%3 in %4")
                                                .arg(v->objectName())
                                                .arg(x)
                                                .arg(y)
                                                .arg(file)));
            }
        }
        s.update(fx.unit, [](standin::UnitState &u) { u.lockState = 0; });
        gMainApp->sendconnectreq();
        QVERIFY(replied());
    }

    // A refusal shows the failure box; the state stays what the processor holds.
    void refused_data()
    {
        QTest::addColumn<int>("lockedbefore");
        QTest::addColumn<bool>("refuse"); // the processor refuses every lock request
        QTest::addColumn<int>("kind");    // 0 unlock
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("box");
        QTest::newRow("unlock, wrong password") << 1 << false << 0 << "xyz"
                                                << "information|Set Unlock Failed|Please Try Again";
        QTest::newRow("lock refused") << 0 << true << 3 << "abc"
                                      << "information|Set Lock Failed|Please Try Again";
        QTest::newRow("unlock refused") << 4 << true << 0 << "abc"
                                        << "information|Set Unlock Failed|Please Try Again";
    }
    void refused()
    {
        QFETCH(int, lockedbefore);
        QFETCH(bool, refuse);
        QFETCH(int, kind);
        QFETCH(QString, password);
        QFETCH(QString, box);
        if (lockedbefore)
            QVERIFY(lockprocessor(lockedbefore, false));
        if (refuse)
            s.addfault(makefault(Fault::RefuseLock, -1));
        auto dialog = devicedialog(password);
        if (kind == 0) {
            click(*dialog, "pushButton_unlock");
        } else {
            click(*dialog, qPrintable(QStringLiteral("rbcopy") + QChar('a' + kind - 1)));
            click(*dialog, "pushButton_lock_2");
        }
        QCOMPARE(sent(0x10).size(), 1);
        QCOMPARE(lastbox(), box);
        QVERIFY(dialog->isVisible());
        retypes(*dialog, password);
        QCOMPARE(int(s.state(fx.unit).lockState), lockedbefore);
        QVERIFY(replied());
        QCOMPARE(cur()->getlocktype(), lockedbefore);
        checkpages(lockedbefore);
    }

    // The result boxes in Chinese, as the processor's answer decides them.
    void chineseboxes_data()
    {
        QTest::addColumn<bool>("project");
        QTest::addColumn<int>("lockedbefore");
        QTest::addColumn<bool>("refuse"); // the processor refuses every lock request
        QTest::addColumn<int>("kind");    // 0 unlock
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("box");
        QTest::newRow("device lock") << false << 0 << false << 2 << "abc"
                                     << "information|加锁OK|此设备已加锁\n请牢记密码";
        QTest::newRow("device lock refused") << false << 0 << true << 3 << "abc"
                                             << "information|加锁失败|请重试";
        QTest::newRow("device unlock") << false << 1 << false << 0 << "abc"
                                       << "information|设置解锁OK|此设备已解锁 \n你可以设置新的密码";
        QTest::newRow("device unlock, wrong password") << false << 1 << false << 0 << "xyz"
                                                       << "information|设置解锁失败|请重试";
        QTest::newRow("project lock") << true << 0 << false << 1 << "abc"
                                      << "information|设置项目锁成功|项目已经上锁\n请牢记密码";
        QTest::newRow("project lock refused") << true << 0 << true << 1 << "abc"
                                              << "information|设置项目锁失败|请重试";
        QTest::newRow("project unlock") << true << 1 << false << 0 << "abc"
                                        << "information|设置项目解锁成功|项目已解锁 \n你可以设置新的密码";
        QTest::newRow("project unlock, wrong password") << true << 1 << false << 0 << "xyz"
                                                        << "information|设置项目解锁失败|请重试";
    }
    void chineseboxes()
    {
        QFETCH(bool, project);
        QFETCH(int, lockedbefore);
        QFETCH(bool, refuse);
        QFETCH(int, kind);
        QFETCH(QString, password);
        QFETCH(QString, box);
        gGlobalContrl->setlanguage(1);
        const auto english = qScopeGuard([] { gGlobalContrl->setlanguage(0); });
        if (lockedbefore)
            QVERIFY(lockprocessor(lockedbefore, project));
        if (refuse)
            s.addfault(makefault(Fault::RefuseLock, -1));
        if (project)
            projectrequest(kind != 0, password, QStringLiteral("5"));
        else
            devicerequest(kind, password);
        QCOMPARE(lastbox(), box);
        // An accepted request asks for the state again: its answer is
        // handled before the next case.
        if (box.contains(QStringLiteral("OK")) || box.contains(QStringLiteral("成功")))
            QVERIFY(replied());
    }

    // Only the lock command's own reply ends its wait; the state shown after
    // is the processor's, whatever the dialog concluded.
    void ownreplyonly_data()
    {
        QTest::addColumn<QByteArray>("stray"); // data of a reply sent during the wait, with its code first
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("latems"); // the lock reply's delay
        QTest::addColumn<double>("timescale");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("stray 0x12 saying yes, lock refused")
            << QByteArray("\x12\x01", 2) << true << 250 << 1.0 << false;
        QTest::newRow("stray 0x61 part 0, lock taken")
            << (QByteArray("\x61\x00\x00", 3) + QByteArray(64, '\x5a')) << false << 250 << 1.0 << true;
        // The processor's state read afterwards shows the lock taken.
        QTest::newRow("lock taken, answer after the wait") << QByteArray() << false << 600 << 0.05 << true;
    }
    void ownreplyonly()
    {
        QFETCH(QByteArray, stray);
        QFETCH(bool, refuse);
        QFETCH(int, latems);
        QFETCH(double, timescale);
        QFETCH(bool, accepted);
        s.addfault(makefault(Fault::LateReply, 0x10, -1, latems));
        if (refuse)
            s.addfault(makefault(Fault::RefuseLock, -1));
        MainApp::settimescale(timescale);
        if (!stray.isEmpty())
            QTimer::singleShot(50, [&]() {
                s.sendraw(fx.line, standin::replyframe(0x18, 1, quint8(stray[0]), stray.mid(1)));
            });
        devicerequest(2, QStringLiteral("abc"));
        QCOMPARE(lastbox(), accepted ? QStringLiteral("information|Set Lock OK|This Device Is Locked\nPlease "
                                                      "Remember This Password")
                                     : QStringLiteral("information|Set Lock Failed|Please Try Again"));
        const int state = s.state(fx.unit).lockState;
        QCOMPARE(state, refuse ? 0 : 2);
        QVERIFY(replied());
        QVERIFY(replied(0x10)); // the late reply too: it changes nothing
        QCOMPARE(cur()->getlocktype(), state);
        checkpages(state);
    }

    // How long each request waits for its answer: a lock 56 polls of 100 ms,
    // an unlock 16 (at 0.3 of the time here: 1680 ms and 480 ms). The wait
    // ends at the answer or at its bound, and then the connect request goes
    // out; the processor did what was asked in every row, so the box says so
    // also when its answer came after the wait.
    void waits_data()
    {
        QTest::addColumn<int>("kind"); // 0 unlock
        QTest::addColumn<int>("latems");
        QTest::addColumn<bool>("late"); // the answer comes after the wait
        QTest::newRow("lock, answer at 1200 ms") << 1 << 1200 << false;
        QTest::newRow("lock, answer at 2200 ms") << 1 << 2200 << true;
        QTest::newRow("unlock, answer at 150 ms") << 0 << 150 << false;
        QTest::newRow("unlock, answer at 1000 ms") << 0 << 1000 << true;
    }
    void waits()
    {
        QFETCH(int, kind);
        QFETCH(int, latems);
        QFETCH(bool, late);
        if (kind == 0) {
            s.update(fx.unit, [&](standin::UnitState &u) {
                u.lockState = 1;
                u.lockPassword = kPassword;
            });
            gMainApp->sendconnectreq();
            QVERIFY(replied());
            s.clearframes();
        }
        s.addfault(makefault(Fault::LateReply, 0x10, -1, latems));
        MainApp::settimescale(0.3);
        devicerequest(kind, QStringLiteral("abc"));
        const char *const ok[] = {
            "information|Set Unlock Ok|This Device Is UnLocked \n You Can Set New Password",
            "information|Set Lock OK|This Device Is Locked\nPlease Remember This Password"};
        QCOMPARE(lastbox(), QString::fromLatin1(ok[kind ? 1 : 0]));
        // The connect request follows the answer, or the end of the wait.
        qint64 lockns = -1, connectns = -1;
        for (const standin::FrameRecord &r : s.commands(fx.unit)) {
            if (r.command() == 0x10 && lockns < 0)
                lockns = r.ns;
            if (r.command() == 0x02 && connectns < 0)
                connectns = r.ns;
        }
        QVERIFY(lockns >= 0 && connectns > lockns);
        const qint64 waitms = (kind ? 56 : 16) * 30;
        const qint64 gapms = (connectns - lockns) / 1000000;
        QVERIFY2(late ? gapms >= waitms * 9 / 10 : gapms < waitms, qPrintable(QString::number(gapms)));
        QCOMPARE(int(s.state(fx.unit).lockState), kind);
        QVERIFY(replied(0x10)); // a late answer before the next case starts
    }

    // A lost link ends the wait as a failure, closing without a box; neither
    // sends the connect request.
    void interrupted_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QString>("box");
        // The processor takes the lock (its answer is late): the box says it may have.
        QTest::newRow("link drops") << false
                                    << "information|Set Lock Failed|The line to the processor dropped; the "
                                       "processor may have done it. Connect again to see what it holds";
        QTest::newRow("closing") << true << "confirm|Lock|Do you Set Lock?"; // the question only
    }
    void interrupted()
    {
        QFETCH(bool, closing);
        QFETCH(QString, box);
        s.addfault(makefault(Fault::LateReply, 0x10, -1, 1000));
        auto dialog = devicedialog(QStringLiteral("abc"));
        DialogDeviceLock &d = *dialog;
        QTimer::singleShot(50, [&]() {
            if (closing)
                gGlobalContrl->setclosing(1);
            else
                cur()->setcomconnected(0);
        });
        click(d, "pushButton_lock_2");
        const bool late0x10 = !s.replies(fx.unit).isEmpty();
        gGlobalContrl->setclosing(0);
        cur()->setcomconnected(1);
        QVERIFY(!late0x10); // ended before the answer came
        QCOMPARE(lastbox(), box);
        QCOMPARE(prompts->shown.size(), closing ? 1 : 2);
        QCOMPARE(d.isHidden(), closing);
        QVERIFY(sent(0x02).isEmpty());
        // The late answer arrives before the next case starts.
        QVERIFY(QTest::qWaitFor([this]() { return !s.replies(fx.unit).isEmpty(); }, 5000));
        QTest::qWait(50);
    }

    // A click on Lock or UnLock while a request waits starts nothing.
    void secondclick()
    {
        s.addfault(makefault(Fault::LateReply, 0x10, -1, 300));
        auto dialog = devicedialog(QStringLiteral("abc"));
        DialogDeviceLock &d = *dialog;
        prompts->confirmations << true << true;
        QTimer::singleShot(50, [&]() {
            click(d, "pushButton_lock_2");
            click(d, "pushButton_unlock");
        });
        click(d, "pushButton_lock_2");
        QCOMPARE(sent(0x10).size(), 1);
        QCOMPARE(prompts->shown.size(), 2); // the question and the accepted box
        QCOMPARE(int(s.state(fx.unit).lockState), 1);
    }

    // While a lock request waits for its answer, or the tool bar's save runs
    // its progress, the program-wide exchange claim is held: no other
    // exchange starts (none asks its first question or sends anything).
    void exclusive_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("started");
        for (const char *running : {"device lock", "tool bar save"})
            for (const char *started :
                 {"tool bar save", "tool bar load", "device lock", "project lock", "program reset"})
                if (qstrcmp(running, started) != 0)
                    QTest::addRow("%s, then %s", running, started) << running << started;
    }
    void exclusive()
    {
        QFETCH(QString, running);
        QFETCH(QString, started);
        FormToolButton *bar = fx.w->toolbarwidget();
        DialogProjectLock project(bar);
        project.show();
        auto other = devicedialog(QStringLiteral("abc"));
        prompts->confirmations.clear();
        int shownbefore = -1, shownafter = -1, claim = -1, commandsbefore = -1;
        QTimer::singleShot(50, [&]() {
            claim = gConnectBusy;
            commandsbefore = s.commands(fx.unit).size();
            shownbefore = prompts->shown.size();
            if (started == "tool bar save")
                bar->on_Save_Button_clicked();
            else if (started == "tool bar load")
                bar->on_Down_Button_clicked();
            else if (started == "device lock")
                click(*other, "pushButton_lock_2");
            else if (started == "project lock")
                click(project, "pushButton_lock_2");
            else
                gFormSetView->on_btnreset_clicked();
            shownafter = prompts->shown.size();
        });
        if (running == "device lock") {
            s.addfault(makefault(Fault::LateReply, 0x10, -1, 300));
            auto dialog = devicedialog(QStringLiteral("abc"));
            click(*dialog, "pushButton_lock_2");
            QCOMPARE(lastbox(),
                     QStringLiteral(
                         "information|Set Lock OK|This Device Is Locked\nPlease Remember This Password"));
            QVERIFY(replied());
        } else {
            MainApp::settimescale(0.05);
            prompts->fileNames.enqueue(QDir::current().filePath(QStringLiteral("exclusive.K91")));
            bar->on_Save_Button_clicked();
            QVERIFY(QFile::exists(QStringLiteral("exclusive.K91")));
            QFile::remove(QStringLiteral("exclusive.K91"));
        }
        QCOMPARE(claim, 1);
        QCOMPARE(shownafter, shownbefore);
        QTest::qWait(50);
        for (const standin::FrameRecord &r : s.commands(fx.unit).mid(commandsbefore))
            QVERIFY2(r.command() == 0x10 || r.command() == 0x02,
                     qPrintable(QString::number(r.command(), 16)));
        QCOMPARE(gConnectBusy, 0);
    }

    // The project lock with its count, the dialog showing it, then its release.
    void projectlock()
    {
        projectrequest(true, QStringLiteral("abc"), QStringLiteral("1234"));
        QCOMPARE(sent(0x12),
                 QVector<QByteArray>{QByteArray::fromHex("1122331801120b016162632020202020d2043b445566")});
        QCOMPARE(lastbox(),
                 QStringLiteral("information|Set Project Lock OK|Project Is Locked\nPlease Remember "
                                "This Password"));
        QCOMPARE(int(s.state(fx.unit).projectLock), 1);
        QCOMPARE(int(s.state(fx.unit).restartCount), 1234);
        QVERIFY(replied());
        QCOMPARE(cur()->getprojectlock(), 1);
        QCOMPARE(cur()->getprojectword(), 1234);

        DialogProjectLock d(fx.w->toolbarwidget());
        d.loadlockinfo();
        QVERIFY(!d.findChild<QPushButton *>("pushButton_unlock")->isHidden());
        QVERIFY(d.findChild<QPushButton *>("pushButton_lock_2")->isHidden());
        QCOMPARE(d.findChild<QLineEdit *>("Editsetid")->text(), QStringLiteral("1234"));

        s.clearframes();
        auto refused = projectrequest(false, QStringLiteral("wrong"), QStringLiteral("1234"));
        QCOMPARE(lastbox(), QStringLiteral("information|Set Project Unlock Failed|Please Try Again"));
        QCOMPARE(int(s.state(fx.unit).projectLock), 1);
        retypes(*refused, QStringLiteral("wrong"));
        refused.reset();
        s.clearframes();
        projectrequest(false, QStringLiteral("abc"), QStringLiteral("1234"));
        QCOMPARE(sent(0x12),
                 QVector<QByteArray>{QByteArray::fromHex("1122331801120b006162632020202020d2043a445566")});
        QCOMPARE(lastbox(), QStringLiteral("information|Set Project Unlock OK|Project Is UnLocked \nYou Can "
                                           "Set New Password"));
        QCOMPARE(int(s.state(fx.unit).projectLock), 0);
        QVERIFY(replied());
        QCOMPARE(cur()->getprojectlock(), 0);
    }

    // Only a whole number 0..32767 goes out as the restart count, low byte
    // first; anything else is refused with a box, and the processor hears
    // nothing and stays free.
    void restartcounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("frame"); // empty: refused
        QTest::newRow("minus one") << "-1" << QByteArray();
        QTest::newRow("largest") << "32767" << QByteArray("1122331801120b016162632020202020ff7f63445566");
        QTest::newRow("top bit") << "32768" << QByteArray();
        QTest::newRow("past 16 bits") << "65536" << QByteArray();
        QTest::newRow("blanks around")
            << " 12 " << QByteArray("1122331801120b0161626320202020200c0071445566");
    }
    void restartcounts()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, frame);
        projectrequest(true, QStringLiteral("abc"), typed);
        if (frame.isEmpty()) {
            QCOMPARE(lastbox(), QStringLiteral("critical|Project Lock|Restart Times must be 0 to 32767"));
            QTest::qWait(50);
            QVERIFY(s.commands(fx.unit).isEmpty());
            QCOMPARE(int(s.state(fx.unit).projectLock), 0);
            return;
        }
        QCOMPARE(sent(0x12), QVector<QByteArray>{QByteArray::fromHex(frame)});
        QVERIFY(replied());
        QCOMPARE(cur()->getprojectword(), typed.trimmed().toInt());
    }
};

QTEST_MAIN(TstLockDialogsStandin)
#include "tst_lockdialogs_standin.moc"
