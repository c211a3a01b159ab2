// The network path inside the test namespace: the TCP data link to the
// stand-in on 192.0.2.2 (connect, download, disconnect, a dropped link), the
// probe of discovered addresses, and UDP discovery from the adapter chooser
// on networks of several netmasks.

#include "dialoginterface.h"
#include "formtoolbutton.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QProcess>
#include <QRadioButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QVBoxLayout>

using namespace linktest;
using standin::Fault;

namespace
{
const QHostAddress kApp(QStringLiteral("192.0.2.1"));
const QHostAddress kProc(QStringLiteral("192.0.2.2"));

bool ip(const QString &args)
{
    return QProcess::execute(QStringLiteral("ip"), args.split(QLatin1Char(' '))) == 0;
}

// Whether the chooser lists the adapter (a new one is listed once it runs).
bool listed(dialoginterface &chooser, const QString &adapter)
{
    chooser.getstr();
    for (QRadioButton *radio : chooser.radiobuttons())
        if (radio->text() == adapter)
            return true;
    return false;
}

// Lists the adapters, checks the named one and confirms: one discovery.
bool discover(dialoginterface &chooser, const QString &adapter)
{
    chooser.getstr();
    for (QRadioButton *radio : chooser.radiobuttons()) {
        if (radio->text() == adapter) {
            radio->setChecked(true);
            chooser.on_pb_select_clicked();
            return true;
        }
    }
    return false;
}
} // namespace

class TstNetLink : public QObject
{
    Q_OBJECT
private:
    // The stand-in on the processor host with a type-24 unit at address 1.
    bool network(Env &env)
    {
        env.line = env.standin.listen(kProc);
        if (env.line < 0)
            return false;
        env.unit = env.standin.addunit(env.line, 0x18, 1);
        env.select(0x18, 1, kProc);
        return true;
    }

private slots:
    void connectdownload_data();
    void connectdownload();
    void otherdevicefirst();
    void loaddropped();
    void probe();
    void discovery_data();
    void discovery();
    void replies_data();
    void replies();
    void chooser();
};

void TstNetLink::connectdownload_data()
{
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("command");
    QTest::newRow("replies apart") << 3 << -1 << 0;
    QTest::newRow("replies coalesced") << 0 << -1 << 0;
    QTest::newRow("blocks split") << 3 << int(Fault::Split) << 0x61;
    QTest::newRow("blocks merged") << 3 << int(Fault::Merge) << 0x61;
    QTest::newRow("block dropped once") << 3 << int(Fault::NoReplyFirstTry) << 0x61;
}

void TstNetLink::connectdownload()
{
    QFETCH(int, gap);
    QFETCH(int, fault);
    QFETCH(int, command);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY2(network(env), qPrintable(env.standin.errorstring()));
    env.standin.settcpgap(gap);
    const QByteArray image = sampleimage(9);
    env.standin.update(env.unit, [&](standin::UnitState &u) { u.image = image; });
    if (fault >= 0) {
        Fault f;
        f.kind = Fault::Kind(fault);
        f.command = command;
        f.splitAt = {2, 7};
        f.pauseMs = 4;
        if (f.kind == Fault::NoReplyFirstTry)
            f.packet = 12;
        if (f.kind == Fault::Merge)
            f.times = 5;
        env.standin.addfault(f);
    }
    QSignalSpy views(&env.link, &DeviceLink::updatepeqview);
    env.link.connectdevice();

    // Two identical connect frames, each answered.
    const auto connects = env.commands(0x02);
    QCOMPARE(connects.size(), 2);
    QCOMPARE(connects[0].bytes.toHex(' '), QByteArray("11 22 33 18 01 02 00 03 44 55 66"));
    QCOMPARE(connects[1].bytes, connects[0].bytes);
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    QCOMPARE(env.link.socket()->state(), QAbstractSocket::ConnectedState);
    QCOMPARE(DeviceLink::onlinetext(env.cur(), 0), QStringLiteral("Net Online"));
    QCOMPARE(currentimage(env.cur()).toHex(), image.toHex());
    QCOMPARE(packedimage(env.cur()).toHex(), modelof(image).toHex());
    QCOMPARE(views.count(), 1);
    QCOMPARE(views.first().at(0).toInt(), 0);
    QVERIFY(prompts.shown.isEmpty());
}

void TstNetLink::otherdevicefirst()
{
    // Connecting a second network device first disconnects the first one.
    Env env;
    QVERIFY(network(env));
    const int second = env.standin.addunit(env.line, 0x14, 2);
    env.link.connectdevice();
    DeviceData *first = env.cur();
    QCOMPARE(first->gettcpconnected(), 1);
    env.select(0x14, 2, kProc);
    env.link.connectdevice();
    QCOMPARE(first->gettcpconnected(), 0);
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    QCOMPARE(env.commands(0x03).size(), 1);
    const auto seconds = env.standin.commands(second);
    QVERIFY(!seconds.isEmpty());
    QCOMPARE(seconds.first().command(), quint8(0x02));
    QVERIFY(env.commands(0x03).first().ns < seconds.first().ns);

    env.link.connectdevice(); // connected: this disconnects
    QCOMPARE(env.standin.commands(second).last().command(), quint8(0x03));
    QCOMPARE(env.cur()->gettcpconnected(), 0);
    QCOMPARE(env.link.socket()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(DeviceLink::onlinetext(env.cur(), 0), QStringLiteral("DisConnect"));
    QTRY_COMPARE(env.standin.connectioncount(env.line), 0);
}

// A program file load stops when the connection drops, and says it failed.
void TstNetLink::loaddropped()
{
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(network(env));
    env.link.connectdevice();
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    Fault f;
    f.kind = Fault::DropLink;
    f.command = 0x60;
    f.packet = 5;
    env.standin.addfault(f);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.K91"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(sampleimage(1));
    file.close();
    prompts.fileNames.enqueue(path);
    QSignalSpy online(&env.link, &DeviceLink::onlinestatechanged);
    FormToolButton bar;
    bar.on_Down_Button_clicked();
    QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
    QCOMPARE(env.cur()->gettcpconnected(), 0);
    QVERIFY(online.count() >= 1);
    QCOMPARE(env.commands(0x60).size(), 6);
    QCOMPARE(env.commands(0x62).size(), 0);
}

void TstNetLink::probe()
{
    Env env;
    QVERIFY(network(env));
    env.standin.addunit(env.line, 0x14, 2);
    env.link.connectdevice();
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    QSignalSpy found(&env.link, &DeviceLink::tcpfindok);

    const QStringList reply{QStringLiteral("iAmTavisenLink!"), QStringLiteral("mr700")};
    // Nothing listens on the application host: that address is skipped.
    env.link.trytofindtcpdev(reply, kApp);
    // Qt reports IPv4 senders of a dual-stack socket mapped into IPv6.
    env.link.trytofindtcpdev(reply, QHostAddress(QStringLiteral("::ffff:192.0.2.2")));
    QCOMPARE(env.link.searchdevices(), (QList<QHostAddress>{kApp, kProc}));
    env.link.checkSearchDeviceList();

    QSet<QString> got;
    for (const auto &args : found)
        got.insert(QStringLiteral("%1/%2/%3")
                       .arg(args.at(0).value<uchar>())
                       .arg(args.at(1).value<uchar>())
                       .arg(args.at(2).value<QHostAddress>().toString()));
    QCOMPARE(got, (QSet<QString>{QStringLiteral("24/1/192.0.2.2"), QStringLiteral("20/2/192.0.2.2")}));
    QVERIFY(env.link.searchdevices().isEmpty());
    // The data link stayed up through the probe.
    QCOMPARE(env.link.socket()->state(), QAbstractSocket::ConnectedState);
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    env.cur()->clearreadflags();
    env.app.sendreadcurrentpart(0);
    QTRY_COMPARE(env.cur()->countreadflags(), 1);
}

void TstNetLink::discovery_data()
{
    QTest::addColumn<QString>("adapter");
    QTest::addColumn<QString>("mine");
    QTest::addColumn<QString>("processor");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("second"); // a second processor answering at the same moment
    QTest::newRow("/24") << "dsptest0"
                         << ""
                         << "192.0.2.2"
                         << "255.255.255.0"
                         << "";
    QTest::newRow("/24, two answers") << "dsptest0"
                                      << ""
                                      << "192.0.2.2"
                                      << "255.255.255.0"
                                      << "192.0.2.3";
    QTest::newRow("/16") << "dspt16a"
                         << "198.18.5.9/16"
                         << "198.18.200.7"
                         << "255.255.0.0"
                         << "";
}

void TstNetLink::discovery()
{
    QFETCH(QString, adapter);
    QFETCH(QString, mine);
    QFETCH(QString, processor);
    QFETCH(QString, mask);
    QFETCH(QString, second);
    if (!second.isEmpty())
        QVERIFY(ip(QStringLiteral("addr add %1/24 dev dsptest1").arg(second)));
    if (!mine.isEmpty()) {
        // A network of its own: a veth pair with the application's address on
        // one end and the processor's on the other.
        const QString peer = adapter.left(adapter.size() - 1) + QLatin1Char('b');
        const QString bits = mine.section(QLatin1Char('/'), 1);
        if (!ip(QStringLiteral("link add %1 type veth peer name %2").arg(adapter, peer)))
            QSKIP("no veth pairs can be made here");
        QVERIFY(ip(QStringLiteral("addr add %1 dev %2").arg(mine, adapter)));
        QVERIFY(ip(QStringLiteral("addr add %1/%2 dev %3").arg(processor, bits, peer)));
        QVERIFY(ip(QStringLiteral("link set %1 up").arg(adapter)));
        QVERIFY(ip(QStringLiteral("link set %1 up").arg(peer)));
    }
    Env env;
    QVERIFY(env.standin.listen(QHostAddress(processor), 0, 9999) > 0);
    if (!second.isEmpty())
        QVERIFY(env.standin.listen(QHostAddress(second), 0, 9999) > 0);
    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    QSignalSpy finished(&chooser, &dialoginterface::updSearchFinishd);
    QTRY_VERIFY_WITH_TIMEOUT(listed(chooser, adapter), 10000);
    QVERIFY(discover(chooser, adapter));
    QCOMPARE(chooser.interfacemask(), mask);
    QCOMPARE(finished.count(), 1);
    QList<QHostAddress> got = env.link.searchdevices();
    std::sort(got.begin(), got.end(), [](const QHostAddress &a, const QHostAddress &b) {
        return a.toIPv4Address() < b.toIPv4Address();
    });
    QList<QHostAddress> want{QHostAddress(processor)};
    if (!second.isEmpty())
        want << QHostAddress(second);
    QCOMPARE(got, want);
    const auto frames = env.standin.frames();
    QVERIFY(!frames.isEmpty());
    QCOMPARE(frames.first().bytes, QByteArray("AreYouTavisenLink?"));
    if (!mine.isEmpty())
        ip(QStringLiteral("link del %1").arg(adapter));
    if (!second.isEmpty())
        ip(QStringLiteral("addr del %1/24 dev dsptest1").arg(second));
}

void TstNetLink::replies_data()
{
    QTest::addColumn<QList<QByteArray>>("datagrams");
    QTest::addColumn<int>("accepted");
    const QByteArray ok("iAmTavisenLink!\nmr700");
    QTest::newRow("valid") << QList<QByteArray>{ok} << 1;
    QTest::newRow("model word inside a longer line")
        << QList<QByteArray>{"iAmTavisenLink!\nXmr700-2\nmore"} << 1;
    QTest::newRow("carriage return") << QList<QByteArray>{"iAmTavisenLink!\r\nmr700"} << 0;
    QTest::newRow("zero byte inside") << QList<QByteArray>{QByteArray("iAm\0TavisenLink!\nmr700", 22)} << 0;
    QTest::newRow("longer than a page") << QList<QByteArray>{ok + "\n" + QByteArray(5000, 'x')} << 1;
    // One address however often it answers.
    QTest::newRow("three at once") << QList<QByteArray>{ok, ok, ok} << 1;
    QTest::newRow("model word in capitals") << QList<QByteArray>{"iAmTavisenLink!\nMR700"} << 0;
    QTest::newRow("zero byte ends the answer before the model word")
        << QList<QByteArray>{QByteArray("iAmTavisenLink!\n\0mr700", 22)} << 0;
}

void TstNetLink::replies()
{
    QFETCH(QList<QByteArray>, datagrams);
    QFETCH(int, accepted);
    Env env;
    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    QVERIFY(discover(chooser, QStringLiteral("dsptest0"))); // no processor answers
    QVERIFY(chooser.udpsocket());
    const quint16 port = chooser.udpsocket()->localPort();
    QVERIFY(port != 0);
    QUdpSocket sender;
    QVERIFY(sender.bind(kProc, 0));
    for (const QByteArray &d : datagrams)
        QCOMPARE(sender.writeDatagram(d, kApp, port), qint64(d.size()));
    // Replies that come after the search window are still handed on.
    QTest::qWait(300);
    QCOMPARE(env.link.searchdevices().size(), accepted);
    for (const QHostAddress &a : env.link.searchdevices())
        QCOMPARE(a, kProc);
}

void TstNetLink::chooser()
{
    dialoginterface chooser;
    chooser.refreshLanText();
    QCOMPARE(chooser.windowTitle(), QStringLiteral("Network selection"));
    chooser.getstr();
    QStringList names;
    for (QRadioButton *r : chooser.radiobuttons())
        names << r->text();
    QVERIFY(names.contains(QStringLiteral("dsptest0")));
    QVERIFY(!names.contains(QStringLiteral("lo")));
    chooser.getstr(); // a second listing replaces the first
    QCOMPARE(chooser.radiobuttons().size(), names.size());
    QCOMPARE(chooser.form()->VLayout->count(), 2 * names.size());
    // OK with nothing checked: no request and no end of a search.
    QSignalSpy finished(&chooser, &dialoginterface::updSearchFinishd);
    chooser.show();
    chooser.on_pb_select_clicked();
    QVERIFY(chooser.isHidden());
    QCOMPARE(finished.count(), 0);
    QVERIFY(!chooser.udpsocket());
}

QTEST_MAIN(TstNetLink)
#include "tst_net_link.moc"
