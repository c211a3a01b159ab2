// Connecting to a processor on a serial line (the stand-in on a pseudo-
// terminal) and the initial download of its current program.

#include "exchange.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QSignalSpy>
#include <QTimer>

#include <functional>

using namespace linktest;
using standin::Fault;

class TstConnect : public QObject
{
    Q_OBJECT
private slots:
    // Waits at a fifth of their time, but where lateness and pacing count.
    void init()
    {
        const QString f = QLatin1String(QTest::currentTestFunction());
        MainApp::settimescale(f == QLatin1String("connectreply") || f == QLatin1String("download") ||
                                      f == QLatin1String("otherunitsandparts")
                                  ? 1.0
                                  : 0.2);
    }
    void cleanup() { MainApp::settimescale(1.0); }
    void connectreply_data();
    void connectreply();
    void noreply();
    void lockstates_data();
    void lockstates();
    void foreignreplies();
    void otherunitsandparts_data();
    void otherunitsandparts();
    void download_data();
    void download();
    void downloadfails_data();
    void downloadfails();
    void secondexchangerefused();
    void startgui();
    void heldframeclose_data();
    void heldframeclose();
};

void TstConnect::connectreply_data()
{
    QTest::addColumn<int>("lock");
    QTest::addColumn<int>("project");
    QTest::addColumn<int>("restarts");
    QTest::addColumn<int>("program");
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("late"); // the processor answers the connect after this many ms
    QTest::newRow("locked") << 1 << 1 << 0x1234 << 5 << 0x1234 << 0;
    QTest::newRow("high bit of the count dropped") << 3 << 0 << 0x8102 << 30 << 0x0102 << 0;
    QTest::newRow("connect answered after 500 ms") << 0 << 0 << 0 << 2 << 0 << 500;
}

void TstConnect::connectreply()
{
    QFETCH(int, lock);
    QFETCH(int, project);
    QFETCH(int, restarts);
    QFETCH(int, program);
    QFETCH(int, word);
    QFETCH(int, late);
    Env env;
    QVERIFY2(env.serial(), qPrintable(env.standin.errorstring()));
    if (late > 0) {
        Fault f = onefault(Fault::LateReply, 0x02);
        f.delayMs = late;
        env.standin.addfault(f);
    }
    env.standin.update(env.unit, [&](standin::UnitState &u) {
        u.lockState = quint8(lock);
        u.projectLock = quint8(project);
        u.restartCount = quint16(restarts);
        u.currentProgram = quint8(program);
    });
    QSignalSpy found(&env.link, &DeviceLink::autofound);
    QSignalSpy locks(&env.link, &DeviceLink::updatelimitlock);
    env.link.connectdevice();

    const auto frames = env.standin.commands(env.unit);
    QVERIFY(!frames.isEmpty());
    QCOMPARE(frames.first().bytes.toHex(' '), QByteArray("11 22 33 18 01 02 00 03 44 55 66"));
    DeviceData *d = env.cur();
    QCOMPARE(d->getcomconnected(), 1);
    QCOMPARE(d->gettcpconnected(), 0);
    QCOMPARE(d->getlocktype(), lock);
    QCOMPARE(d->getprojectlock(), project);
    QCOMPARE(d->getprojectword(), word);
    QCOMPARE(d->getcurprogramnum(), program);
    QCOMPARE(DeviceLink::onlinetext(d, 0), QStringLiteral("Com Online"));
    QCOMPARE(DeviceLink::onlinestyle(d), QStringLiteral("background-image:url(:/buttons/skin/aonline.png);"));
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.first().at(0).value<uchar>(), uchar(0x18));
    QVERIFY(locks.count() >= 1);
    QVERIFY(gConnectBusy == 0);
}

void TstConnect::noreply()
{
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    env.standin.addfault(onefault(Fault::NoReply, 0x02));
    QStringList shown; // the status texts, in order
    QObject::connect(&env.link, &DeviceLink::onlinestatechanged, &env.link,
                     [&]() { shown << DeviceLink::onlinetext(env.cur(), 0); });
    env.link.connectdevice();
    QCOMPARE(env.cur()->getcomconnected(), 0);
    // The silence is told: the link as it is on the status line, and a box.
    QCOMPARE(shown, QStringList{QStringLiteral("DisConnect")});
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
    QCOMPARE(prompts.shown.last().text, QStringLiteral("No answer from the processor"));
    QCOMPARE(DeviceLink::onlinetext(env.cur(), 0), QStringLiteral("DisConnect"));
    QCOMPARE(DeviceLink::onlinestyle(env.cur()),
             QStringLiteral("background-image:url(:/buttons/skin/aoutline.png);"));
    // The connect request is followed by a disconnect, and nothing is read.
    QTRY_COMPARE(env.commands(0x03).size(), 1);
    QCOMPARE(env.commands(0x61).size(), 0);
}

void TstConnect::lockstates_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("mainview");
    QTest::newRow("lock 0") << "1801020601000000000000" << false;
    QTest::newRow("lock 2") << "1801020601020000000000" << true;
    QTest::newRow("disconnect") << "18010300" << true;
}

void TstConnect::lockstates()
{
    QFETCH(QString, reply);
    QFETCH(bool, mainview);
    Env env;
    env.select(0x18, 1, kSerial);
    env.app.meteron = 1; // any show of the main page clears it
    env.link.connectok(reply);
    QCOMPARE(env.app.meteron == 0, mainview);
}

void TstConnect::foreignreplies()
{
    // Connect and disconnect replies of other processors change nothing.
    Env env;
    QVERIFY(env.serial());
    env.link.connectdevice();
    QCOMPARE(env.cur()->getcomconnected(), 1);
    QSignalSpy online(&env.link, &DeviceLink::onlinestatechanged);
    env.link.connectok(QStringLiteral("18020300"));
    env.link.connectok(QStringLiteral("16010300"));
    QCOMPARE(env.cur()->getcomconnected(), 1);
    QCOMPARE(online.count(), 0);

    // On the line: the processor answers the disconnect with another address.
    Fault f = onefault(Fault::OtherAddress, 0x03);
    f.otherAddress = 0x05;
    env.standin.addfault(f);
    env.link.connectdevice();
    QTRY_COMPARE(env.commands(0x03).size(), 1);
    QTRY_COMPARE(env.standin.replies(env.unit).last().command(), quint8(0x03));
    QTest::qWait(300);
    QCOMPARE(env.cur()->getcomconnected(), 1);
}

// Replies not meant for the application's current unit, program or part on
// the line during the connect and its download, and a cut-off reply in front
// of every reply: the model ends equal to the processor, without a box, the
// mutes follow only the unit's own report, and an exchange after it costs no
// resend.
void TstConnect::otherunitsandparts_data()
{
    QTest::addColumn<int>("front");   // -1 none, else the fault in front of every reply
    QTest::addColumn<int>("strayms"); // a part 5 of program 7 written this long into the download; -1 none
    QTest::newRow("another unit's reply in front of every reply") << int(Fault::ForeignBefore) << -1;
    QTest::newRow("part 5 of program 7 written 1.5 s into the download") << -1 << 1500;
    QTest::newRow("part 5 of program 7 written 0.3 s into the download") << -1 << 300;
    QTest::newRow("cut-off reply in front of every reply") << int(Fault::GarbageBefore) << -1;
}

void TstConnect::otherunitsandparts()
{
    QFETCH(int, front);
    QFETCH(int, strayms);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    // Another processor on the same line whose outputs are all muted.
    const int other = env.standin.addunit(env.line, 0x16, 5);
    env.standin.update(other, [](standin::UnitState &u) {
        for (int c = 0; c < standin::kChannels; ++c)
            u.image[standin::img::gain + 3 * c] = 1;
    });
    const QByteArray image = sampleimage(4);
    env.standin.update(env.unit, [&](standin::UnitState &u) {
        u.image = image;
        u.programs[1].used = true; // for the recall below
        u.programs[1].image = image;
    });
    if (front == Fault::ForeignBefore) {
        Fault f;
        f.kind = Fault::ForeignBefore;
        f.unit = env.unit;
        env.standin.addfault(f);
    } else if (front == Fault::GarbageBefore) {
        Fault f = Fault::fragmentbefore();
        f.unit = env.unit;
        env.standin.addfault(f);
    }
    if (strayms >= 0) {
        QTimer::singleShot(strayms, &env.link, [&]() {
            QByteArray data;
            data.append(char(7)).append(char(5)).append(QByteArray(standin::kPacketSize, char(0x77)));
            env.standin.sendraw(env.line, standin::replyframe(0x18, 1, 0x61, data));
        });
    }
    env.link.connectdevice();

    const QByteArray held = env.standin.state(env.unit).image;
    QCOMPARE(currentimage(env.cur()).toHex(), held.toHex());
    QCOMPARE(packedimage(env.cur()).toHex(), modelof(held).toHex());
    QVERIFY(prompts.shown.isEmpty());
    QCOMPARE(env.cur()->getcomconnected(), 1);
    // One send of each part: nothing lost to the replies in front.
    QCOMPARE(env.commands(0x61).size(), 26);

    // The other unit reports its mutes: nothing changes here; the unit's own report does.
    env.standin.sendmutereport(other);
    QTRY_COMPARE(env.standin.replies(other).size(), 1);
    QTest::qWait(200);
    for (int c = 0; c < 12; ++c)
        QCOMPARE(env.cur()->getmute(c), int(quint8(held[standin::img::gain + 3 * c])));
    env.standin.update(env.unit, [](standin::UnitState &u) { u.image[standin::img::gain + 3 * 2] = 1; });
    env.standin.sendmutereport(env.unit);
    QTRY_COMPARE(env.cur()->getmute(2), 1);

    // The program page's and the dialogs' exchanges after it: each answered
    // at its first send.
    struct Step {
        int code;
        QVector<QPair<int, int>> marks;
        std::function<void()> send;
    };
    const QVector<Step> steps{
        {0x62, {}, [] { gMainApp->sendrecallprogram(2); }},
        {0x64, {{7, 2}}, [] { gMainApp->sendreadprogramname(2); }},
        {0x63, {}, [] { gMainApp->sendsaveprogram(3, QStringLiteral("41").repeated(20)); }},
        {0x54, {}, [] { gMainApp->sendlinks(QStringLiteral("00").repeated(12)); }},
        {0x55, {}, [] { gMainApp->sendcopy(0, 1); }},
        {0x10, {}, [] { gMainApp->senddevicelock(0x81, QStringLiteral("3132333435363738")); }},
    };
    for (const Step &step : steps) {
        Exchange x;
        Exchange::Request r;
        r.code = uchar(step.code);
        r.marks = step.marks;
        r.settlems = 100;
        r.timeoutms = 3000;
        r.sends = 2; // one resend at the most would show as a second send
        const QString code = QString::number(step.code, 16);
        QVERIFY2(x.run(r, step.send) == Exchange::Result::Answered, qPrintable(code));
        QVERIFY2(x.sends() == 1, qPrintable(code));
    }
    QCOMPARE(int(env.standin.state(env.unit).lockState), 1);
    QCOMPARE(int(env.standin.state(env.unit).currentProgram), 3);
}

void TstConnect::download_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("rerequests");
    QTest::newRow("clean") << -1 << 0;
    QTest::newRow("block 5 dropped once") << int(Fault::NoReplyFirstTry) << 1;
    QTest::newRow("end marker in the data") << int(Fault::MarkerInData) << 0;
}

void TstConnect::download()
{
    QFETCH(int, fault);
    QFETCH(int, rerequests);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    const QByteArray image = sampleimage(3);
    env.standin.update(env.unit, [&](standin::UnitState &u) { u.image = image; });
    if (fault >= 0)
        env.standin.addfault(onefault(Fault::Kind(fault), 0x61, fault == Fault::NoReplyFirstTry ? 5 : -1));
    QSignalSpy views(&env.link, &DeviceLink::updatemainview);
    QSignalSpy views2(&env.link, &DeviceLink::updatelimitview2);
    env.link.connectdevice();

    const auto reads = env.commands(0x61);
    QCOMPARE(reads.size(), 26 + rerequests);
    for (int b = 0; b < 26; ++b) {
        QCOMPARE(reads[b].payload().toHex(' '),
                 QByteArray("00 ") + QByteArray::number(b, 16).rightJustified(2, '0'));
    }
    // Paced: a request every 120 ms. Measured over the whole run, as the
    // stand-in's arrival time of a single request moves with the load on
    // the machine while the pacing of 25 intervals does not.
    QVERIFY(reads[25].ns - reads[0].ns >= 25 * 100 * 1000000LL);
    if (rerequests)
        QCOMPARE(quint8(reads[26].payload().at(1)), quint8(5));
    const QByteArray held = env.standin.state(env.unit).image;
    QCOMPARE(currentimage(env.cur()).toHex(), held.toHex());
    QCOMPARE(packedimage(env.cur()).toHex(), modelof(held).toHex());
    QCOMPARE(env.cur()->getgain(0) & 0xFF, int(quint8(held[standin::img::gain + 1])));
    QCOMPARE(env.cur()->getroutebyte(3), int(quint8(held[standin::img::routing + 3])));
    QCOMPARE(views.count(), 1);
    QCOMPARE(views.first().at(0).toInt(), 0);
    QCOMPARE(views2.count(), 1);
    QCOMPARE(env.cur()->getdevicename(), QStringLiteral("Online Data"));
    QVERIFY(prompts.shown.isEmpty());
}

void TstConnect::downloadfails_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("block 7 never comes") << int(Fault::NoReply);
    QTest::newRow("line dropped at block 10") << int(Fault::DropLink);
}

void TstConnect::downloadfails()
{
    QFETCH(int, fault);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial(0x16));
    env.standin.update(env.unit, [&](standin::UnitState &u) { u.image = sampleimage(5); });
    env.standin.addfault(onefault(Fault::Kind(fault), 0x61, fault == Fault::NoReply ? 7 : 10));
    const QByteArray before = currentimage(env.cur());
    const QByteArray packedbefore = packedimage(env.cur());
    QSignalSpy views(&env.link, &DeviceLink::updatemainview);
    QStringList status;
    connect(&env.link, &DeviceLink::statustext, this, [&](const QString &t) { status << t; });
    connect(&env.link, &DeviceLink::onlinestatechanged, this,
            [&]() { status << DeviceLink::onlinetext(env.cur(), 0); });
    env.link.connectdevice();

    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.first().kind, QStringLiteral("critical"));
    QCOMPARE(currentimage(env.cur()), before);
    QCOMPARE(packedimage(env.cur()), packedbefore);
    QCOMPARE(views.count(), 0);
    QVERIFY(env.cur()->getdevicename() != QStringLiteral("Online Data"));
    QCOMPARE(env.cur()->getcomconnected(), 1); // the link is left as it is
    QVERIFY(status.contains(QStringLiteral("Load Data...")));
    QCOMPARE(status.last(), QStringLiteral("Com Online"));
    if (fault == Fault::NoReply) { // the first pass and the eleven re-requests went out
        QVERIFY(env.caughtup());
        QCOMPARE(env.commands(0x61).size(), 37);
    }
}

void TstConnect::secondexchangerefused()
{
    Env env;
    QVERIFY(env.serial());
    int nested = 0;
    QTimer::singleShot(50, &env.link, [&]() {
        ++nested;
        env.link.connectdevice();
    });
    env.link.connectdevice();
    QCOMPARE(nested, 1);
    QCOMPARE(env.commands(0x02).size(), 1);
    QCOMPARE(env.commands(0x61).size(), 26);
    QCOMPARE(gConnectBusy, 0);
}

void TstConnect::startgui()
{
    Env env;
    const QHostAddress net(QStringLiteral("::ffff:192.168.1.20"));
    MainApp::adddevice(0x14, 3, net);
    env.select(0x18, 1, kSerial);
    QSignalSpy looks(&env.link, &DeviceLink::devicelooks);
    QSignalSpy views(&env.link, &DeviceLink::updategeqview);

    // No slot chosen: the current record is refreshed as it is.
    env.link.startgui(false, QHostAddress());
    QCOMPARE(env.cur()->gettype(), 0x18);
    QCOMPARE(looks.last().at(1).toString(), QString());
    QCOMPARE(views.last().at(0).toInt(), 0);

    // A network device in the chosen slot: its record becomes current.
    env.app.setdevtype(0x14);
    env.app.setdevaddr(3);
    env.link.startgui(true, net);
    QCOMPARE(env.cur()->getaddress(), 3);
    QCOMPARE(looks.last().at(1).toString(), QStringLiteral("IP:192.168.1.20"));
    QVERIFY(!looks.last().at(0).toString().isEmpty());
    QCOMPARE(views.last().at(0).toInt(), 2);
    QCOMPARE(env.app.getdevip(), net);

    // An unknown type selects and labels, but no page is told to reload.
    const int before = views.count();
    env.app.setdevtype(0x30);
    env.link.startgui(false, QHostAddress());
    QCOMPARE(views.count(), before);
    QCOMPARE(env.app.gainloading, uchar(0));
}

// A frame held for its 50 ms spacing, then the disconnect and at once the
// port closed (the window closing, a search): both reach the processor, in
// order, before the port closes.
void TstConnect::heldframeclose_data()
{
    QTest::addColumn<int>("kind"); // 0 output switch, 1 routing
    QTest::addColumn<int>("code");
    QTest::newRow("output switch") << 0 << 0x52;
    QTest::newRow("routing") << 1 << 0x53;
}

void TstConnect::heldframeclose()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    Env env;
    QVERIFY(env.serial());
    env.cur()->setcomconnected(1);
    env.cur()->setoutflag(2, 1);
    if (kind == 0)
        env.app.sendoutputflag(2);
    else
        env.app.sendrouting(3);
    QCOMPARE(env.commands(quint8(code)).size(), 0); // held back for now
    env.link.connectdevice();                       // connected: this disconnects
    env.comctrl.closemaincom();
    QTRY_COMPARE(env.commands(0x03).size(), 1);
    const auto held = env.commands(quint8(code));
    QCOMPARE(held.size(), 1);
    QVERIFY(held.first().ns < env.commands(0x03).first().ns);
    QVERIFY(env.standin.badframes().isEmpty());
}

QTEST_MAIN(TstConnect)
#include "tst_connect.moc"
