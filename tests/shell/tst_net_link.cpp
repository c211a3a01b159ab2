// The network path inside the test namespace: the TCP link to the stand-in
// on 192.0.2.2, the probe, UDP discovery and a search beside hostile hosts.

#include "dialoginterface.h"
#include "formtoolbutton.h"
#include "globalcontrl.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

sockaddr_in sockaddrof(const QHostAddress &a, quint16 port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(a.toIPv4Address());
    return sa;
}

int boundsocket(int type, const QHostAddress &a, quint16 port)
{
    const int fd = ::socket(AF_INET, type, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in sa = sockaddrof(a, port);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Lists the adapters and, if the named one is there and run is set, checks
// it and confirms: one discovery.
bool discover(dialoginterface &chooser, const QString &adapter, bool run = true)
{
    chooser.getstr();
    for (QRadioButton *radio : chooser.radiobuttons()) {
        if (radio->text() == adapter) {
            radio->setChecked(run);
            if (run)
                chooser.on_pb_select_clicked();
            return true;
        }
    }
    return false;
}

// Calls f with the discovery socket's port at the start of the search
// window (a zero timer runs inside the window's wait); the socket closes
// when the window ends.
void duringsearch(dialoginterface &chooser, const std::function<void(quint16)> &f)
{
    QTimer::singleShot(0, &chooser, [&chooser, f]() {
        if (QUdpSocket *socket = chooser.udpsocket())
            f(socket->localPort());
    });
}

// Runs the event loop for ms milliseconds. QTest::qWait sleeps 10 ms
// between its turns, which would show as stalls of the window.
void runevents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Resident memory of this process in bytes.
qint64 rssbytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

// A host on the processor's address that takes the data link's connection,
// answers its connect request (or not) and then streams meter replies as
// fast as TCP takes them, reading and ignoring whatever it is sent.
struct StreamingPeer {
    bool answerconnect = true;
    int metersbefore = 0; // meter replies sent one at a time before the connect answer
    int pausems = 0;      // between them
    bool stream = true;   // meters as fast as TCP takes them after the answer
    std::atomic<bool> stop{false};
    std::atomic<qint64> streamed{0};
    std::thread thread;
    int listenfd = -1;

    bool start()
    {
        listenfd = boundsocket(SOCK_STREAM, kProc, DeviceLink::kTcpPort);
        if (listenfd < 0 || ::listen(listenfd, 1) != 0)
            return false;
        thread = std::thread([this]() { run(); });
        return true;
    }

    void run()
    {
        pollfd lp{listenfd, POLLIN, 0};
        while (!stop && ::poll(&lp, 1, 20) <= 0) {
        }
        if (stop)
            return;
        const int fd = ::accept(listenfd, nullptr, nullptr);
        if (fd < 0)
            return;
        const QByteArray connectreq = QByteArray::fromHex("1122331801020003445566");
        QByteArray got;
        char in[4096];
        // The connect request first, as a processor reads it.
        while (answerconnect && !stop && !got.contains(connectreq)) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                const ssize_t n = ::recv(fd, in, sizeof in, 0);
                if (n <= 0)
                    break;
                got.append(in, int(n));
            }
        }
        for (int i = 0; i < metersbefore && !stop; ++i) {
            const QByteArray one =
                standin::replyframe(0x18, 1, 0x56, QByteArray::fromHex("102030405060708090a0b0c0"));
            ::send(fd, one.constData(), size_t(one.size()), MSG_NOSIGNAL);
            ::usleep(useconds_t(pausems) * 1000);
        }
        if (answerconnect) {
            const QByteArray reply = standin::replyframe(0x18, 1, 0x02, QByteArray::fromHex("010000000000"));
            ::send(fd, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
        }
        const QByteArray meters =
            standin::replyframe(0x18, 1, 0x56, QByteArray::fromHex("102030405060708090a0b0c0"))
                .repeated(2000);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        while (!stop) {
            pollfd p{fd, short(stream ? POLLIN | POLLOUT : POLLIN), 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            if (p.revents & POLLIN)
                if (::recv(fd, in, sizeof in, 0) == 0)
                    break;
            if (p.revents & POLLOUT) {
                const ssize_t n = ::send(fd, meters.constData(), size_t(meters.size()), MSG_NOSIGNAL);
                if (n > 0)
                    streamed += n;
                else if (n < 0 && errno != EAGAIN)
                    break;
            }
            if (p.revents & (POLLERR | POLLHUP))
                break;
        }
        ::close(fd);
    }

    ~StreamingPeer()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
        if (listenfd >= 0)
            ::close(listenfd);
    }
};
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
    // A row that scales the waits down ends with real ones again.
    void cleanup() { MainApp::settimescale(1.0); }
    void connectdownload_data();
    void connectdownload();
    void notconnected_data();
    void notconnected();
    void otherdevicefirst();
    void heldframedisconnect_data();
    void heldframedisconnect();
    void loaddropped();
    void probe();
    void discovery_data();
    void discovery();
    void replies_data();
    void replies();
    void longdatagrams_data();
    void longdatagrams();
    void floodstall_data();
    void floodstall();
    void streamingpeer_data();
    void streamingpeer();
    void unaskedfirst_data();
    void unaskedfirst();
    void chooser();
    void broadcast_data();
    void broadcast();
    void peerclosed();
    void hostilesearch();
    void searchbound_data();
    void searchbound();
    void lateanswer_data();
    void lateanswer();
    void betweensearches_data();
    void betweensearches();
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
    QTest::newRow("another unit's reply in front of every reply") << 3 << int(Fault::ForeignBefore) << -1;
    QTest::newRow("cut-off reply in front of every reply") << 3 << int(Fault::GarbageBefore) << -1;
}

void TstNetLink::connectdownload()
{
    QFETCH(int, gap);
    QFETCH(int, fault);
    QFETCH(int, command);
    // The download waits a fixed time after each part it asks for: a fifth
    // of it is ample for the stand-in on the namespace's own link, and a
    // part answered late is still taken (or asked for again).
    MainApp::settimescale(0.2);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY2(network(env), qPrintable(env.standin.errorstring()));
    env.standin.settcpgap(gap);
    const QByteArray image = sampleimage(9);
    env.standin.update(env.unit, [&](standin::UnitState &u) { u.image = image; });
    if (fault >= 0) {
        Fault f = onefault(Fault::Kind(fault), command);
        f.splitAt = {2, 7};
        f.pauseMs = 4;
        if (f.kind == Fault::NoReplyFirstTry)
            f.packet = 12;
        if (f.kind == Fault::Merge)
            f.times = 5;
        if (f.kind == Fault::GarbageBefore)
            f.garbage = Fault::fragmentbefore().garbage;
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

// A connection that cannot be made says why, in the interface's language; a
// processor that accepts the connection and stays silent keeps its box.
void TstNetLink::notconnected_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("listening"); // a silent host accepts on port 6000
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("connectfalse"); // the status line says "connect false"
    const QString proc = kProc.toString();
    // The namespace's route to 192.0.2.254 refuses it: no packet leaves.
    for (int lang : {0, 1}) {
        const bool en = lang == 0;
        const char *l = en ? "English" : "Chinese";
        QTest::addRow("closed port, %s", l)
            << lang << proc << false
            << (en ? QStringLiteral("Cannot connect to the processor: Connection refused")
                   : QString::fromUtf8("无法连接到处理器：连接被拒绝"))
            << true;
        QTest::addRow("host unreachable, %s", l)
            << lang << QStringLiteral("192.0.2.254") << false
            << (en ? QStringLiteral("Cannot connect to the processor: Host unreachable")
                   : QString::fromUtf8("无法连接到处理器：")) // then the system's reason, in Chinese
            << true;
        QTest::addRow("silent processor, %s", l)
            << lang << proc << true
            << (en ? QStringLiteral("No answer from the processor") : QString::fromUtf8("处理器没有应答"))
            << false;
    }
}

void TstNetLink::notconnected()
{
    QFETCH(int, language);
    QFETCH(QString, address);
    QFETCH(bool, listening);
    QFETCH(QString, text);
    QFETCH(bool, connectfalse);
    QTemporaryDir dir; // the language setting is written here
    QVERIFY(QDir::setCurrent(dir.path()));
    GlobalContrl lang;
    gGlobalContrl = &lang;
    lang.setlanguage(language);
    const auto restore = qScopeGuard([&lang] {
        lang.setlanguage(0); // Qt's own texts back in English for the next cases
        gGlobalContrl = nullptr;
        QDir::setCurrent(QDir::tempPath());
    });
    ScriptedPrompts prompts;
    QTcpServer silent;
    if (listening)
        QVERIFY(silent.listen(kProc, DeviceLink::kTcpPort));
    {
        Env env;
        env.select(0x18, 1, QHostAddress(address));
        QStringList status;
        connect(&env.link, &DeviceLink::statustext, this, [&](const QString &t) { status << t; });
        env.link.connectdevice();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
        const QString shown = prompts.shown.last().text;
        if (text.endsWith(QChar(0xFF1A))) { // the reason as Qt's translation words it
            QVERIFY2(shown.startsWith(text) && shown.size() > text.size(), qPrintable(shown));
            QVERIFY2(!shown.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(shown));
        } else {
            QCOMPARE(shown, text);
        }
        QCOMPARE(status.contains(QStringLiteral("connect false")), connectfalse);
        QCOMPARE(env.cur()->gettcpconnected(), 0);
        QCOMPARE(env.link.socket()->state(), QAbstractSocket::UnconnectedState);
    }
}

void TstNetLink::otherdevicefirst()
{
    // Connecting a second network device first disconnects the first one.
    // Only the order of the frames counts: the downloads' waits are scaled down.
    MainApp::settimescale(0.2);
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
    QTRY_COMPARE(env.standin.commands(second).last().command(), quint8(0x03));
    QCOMPARE(env.cur()->gettcpconnected(), 0);
    QCOMPARE(env.link.socket()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(DeviceLink::onlinetext(env.cur(), 0), QStringLiteral("DisConnect"));
    QTRY_COMPARE(env.standin.connectioncount(env.line), 0);
}

// A frame held for its 50 ms spacing, then the connect button: the frame
// and the disconnect reach the processor, in this order, before the
// connection closes; connecting another device first sends them too.
void TstNetLink::heldframedisconnect_data()
{
    QTest::addColumn<bool>("another");
    QTest::newRow("disconnect") << false;
    QTest::newRow("connect another device") << true;
}

void TstNetLink::heldframedisconnect()
{
    QFETCH(bool, another);
    MainApp::settimescale(0.1);
    Env env;
    QVERIFY(network(env));
    const int second = env.standin.addunit(env.line, 0x14, 2);
    env.link.tcpconnect();
    DeviceData *first = env.cur();
    QTRY_COMPARE(first->getconnectok(), 1);
    first->setoutflag(1, 1);
    env.app.sendoutputflag(1);
    QCOMPARE(env.commands(0x52).size(), 0); // held back for now
    if (another)
        env.select(0x14, 2, kProc);
    env.link.connectdevice();
    MainApp::settimescale(1.0);
    QTRY_COMPARE(env.commands(0x03).size(), 1);
    const auto held = env.commands(0x52);
    QCOMPARE(held.size(), 1);
    // Output 2 (code 11) switched on.
    QCOMPARE(held.first().bytes.mid(6, 3).toHex(), QByteArray("021101"));
    QVERIFY(held.first().ns < env.commands(0x03).first().ns);
    QCOMPARE(first->gettcpconnected(), 0);
    if (another) {
        QCOMPARE(env.cur()->gettcpconnected(), 1);
        const auto seconds = env.standin.commands(second);
        QVERIFY(!seconds.isEmpty());
        QVERIFY(env.commands(0x03).first().ns < seconds.first().ns);
    } else {
        QCOMPARE(env.link.socket()->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(env.standin.commands(second).size(), 0);
    }
    QVERIFY(env.standin.badframes().isEmpty());
}

// A program file load stops when the connection drops, and says it failed.
void TstNetLink::loaddropped()
{
    // The waits before and between the parts scaled down; every part still
    // waits for its acknowledgement, so the parts sent stay the same.
    MainApp::settimescale(0.2);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(network(env));
    env.link.connectdevice();
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    env.standin.addfault(onefault(Fault::DropLink, 0x60, 5));
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
    MainApp::settimescale(0.2); // the connect's download
    Env env;
    QVERIFY(network(env));
    env.standin.addunit(env.line, 0x14, 2);
    env.standin.addunit(env.line, 0x16, 32); // the last address asked
    env.link.connectdevice();
    QCOMPARE(env.cur()->gettcpconnected(), 1);
    // A whole reply of another code after the first find answer is no processor.
    Fault stray = onefault(Fault::GarbageAfter, 0x01);
    stray.times = 1;
    stray.garbage = standin::replyframe(0x14, 7, 0x10, QByteArray(1, '\x01'));
    env.standin.addfault(stray);
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
    QCOMPARE(got, (QSet<QString>{QStringLiteral("24/1/192.0.2.2"), QStringLiteral("20/2/192.0.2.2"),
                                 QStringLiteral("22/32/192.0.2.2")}));
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
    const char *const rows[][6] = {
        {"/24, two answers", "dsptest0", "", "192.0.2.2", "255.255.255.0", "192.0.2.3"},
        {"/16", "dspt16a", "198.18.5.9/16", "198.18.200.7", "255.255.0.0", ""}};
    for (const auto &r : rows)
        QTest::newRow(r[0]) << r[1] << r[2] << r[3] << r[4] << r[5];
}

void TstNetLink::discovery()
{
    QFETCH(QString, adapter);
    QFETCH(QString, mine);
    QFETCH(QString, processor);
    QFETCH(QString, mask);
    QFETCH(QString, second);
    // The answers come at once: a quarter of the search window takes them.
    MainApp::settimescale(0.25);
    if (!second.isEmpty())
        QVERIFY(ip(QStringLiteral("addr add %1/24 dev dsptest1").arg(second)));
    if (!mine.isEmpty()) {
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
    QTRY_VERIFY_WITH_TIMEOUT(discover(chooser, adapter, false), 10000);
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
    QTest::addColumn<bool>("late"); // sent after the search window
    QTest::addColumn<int>("accepted");
    const QByteArray ok("iAmTavisenLink!\nmr700");
    QTest::newRow("model word inside a longer line")
        << QList<QByteArray>{"iAmTavisenLink!\nXmr700-2\nmore"} << false << 1;
    QTest::newRow("model word in capitals") << QList<QByteArray>{"iAmTavisenLink!\nMR700"} << false << 0;
    QTest::newRow("carriage return") << QList<QByteArray>{"iAmTavisenLink!\r\nmr700"} << false << 0;
    QTest::newRow("zero byte inside")
        << QList<QByteArray>{QByteArray("iAm\0TavisenLink!\nmr700", 22)} << false << 0;
    // Longer than any answer: dropped (the longest taken is kMaxAnswerBytes).
    QTest::newRow("longer than a page") << QList<QByteArray>{ok + "\n" + QByteArray(5000, 'x')} << false << 0;
    QTest::newRow("a model line of 400 characters")
        << QList<QByteArray>{"iAmTavisenLink!\n" + QByteArray(395, 'v') + "mr700\nmore"} << false << 1;
    // One address however often it answers.
    QTest::newRow("three at once") << QList<QByteArray>{ok, ok, ok} << false << 1;
    QTest::newRow("zero byte ends the answer before the model word")
        << QList<QByteArray>{QByteArray("iAmTavisenLink!\n\0mr700", 22)} << false << 0;
    // The socket listens on after the search: a late answer is listed, once
    // however often it comes.
    QTest::newRow("after the search window") << QList<QByteArray>{ok} << true << 1;
    QTest::newRow("three after the search window") << QList<QByteArray>{ok, ok, ok} << true << 1;
}

void TstNetLink::replies()
{
    QFETCH(QList<QByteArray>, datagrams);
    QFETCH(bool, late);
    QFETCH(int, accepted);
    // The datagrams are sent as the search window opens (or after it ends):
    // a quarter of the window takes them.
    MainApp::settimescale(0.25);
    Env env;
    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    QSignalSpy words(&chooser, &dialoginterface::trytofinddev);
    QUdpSocket sender;
    QVERIFY(sender.bind(kProc, 0));
    quint16 port = 0;
    const auto send = [&]() {
        for (const QByteArray &d : datagrams)
            QCOMPARE(sender.writeDatagram(d, kApp, port), qint64(d.size()));
    };
    duringsearch(chooser, [&](quint16 p) {
        port = p;
        if (!late)
            send();
    });
    QVERIFY(discover(chooser, QStringLiteral("dsptest0"))); // no processor answers
    QVERIFY(port != 0);
    if (late) {
        QCOMPARE(words.count(), 0);
        send();
        QTRY_COMPARE(words.count(), datagrams.size());
    }
    // The socket of the search still listens on its port.
    QVERIFY(chooser.udpsocket());
    QCOMPARE(chooser.udpsocket()->localPort(), port);
    QCOMPARE(env.link.searchdevices().size(), accepted);
    for (const QHostAddress &a : env.link.searchdevices())
        QCOMPARE(a, kProc);
}

// A datagram longer than an answer can be is dropped unsplit; an answer
// after it still counts.
void TstNetLink::longdatagrams_data()
{
    QTest::addColumn<QList<QByteArray>>("datagrams");
    QTest::addColumn<int>("handed"); // datagrams handed on as answers
    QTest::addColumn<int>("accepted");
    const QByteArray ok("iAmTavisenLink!\nmr700");
    const QByteArray atlimit = ok + '\n' + QByteArray(dialoginterface::kMaxAnswerBytes - ok.size() - 1, 'x');
    QTest::newRow("65,000 line feeds, then an answer")
        << QList<QByteArray>{QByteArray(65000, '\n'), ok} << 1 << 1;
    QTest::newRow("8,192 line feeds, then an answer")
        << QList<QByteArray>{QByteArray(8192, '\n'), ok} << 1 << 1;
    QTest::newRow("one byte too long, then an answer") << QList<QByteArray>{atlimit + 'x', ok} << 1 << 1;
    QTest::newRow("an answer as long as can be") << QList<QByteArray>{atlimit} << 1 << 1;
    QTest::newRow("only a long one") << QList<QByteArray>{atlimit + 'x'} << 0 << 0;
}

void TstNetLink::longdatagrams()
{
    QFETCH(QList<QByteArray>, datagrams);
    QFETCH(int, handed);
    QFETCH(int, accepted);
    MainApp::settimescale(0.25); // as in replies()
    Env env;
    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    QSignalSpy words(&chooser, &dialoginterface::trytofinddev);
    QUdpSocket sender;
    QVERIFY(sender.bind(kProc, 0));
    duringsearch(chooser, [&](quint16 port) {
        for (const QByteArray &d : datagrams)
            QCOMPARE(sender.writeDatagram(d, kApp, port), qint64(d.size()));
    });
    QVERIFY(discover(chooser, QStringLiteral("dsptest0")));
    QCOMPARE(words.count(), handed);
    QCOMPARE(env.link.searchdevices().size(), accepted);
}

// The longest stall of the window while a host floods the discovery port
// with datagrams of line feeds, during the search window, after it (the
// socket listens on until the next choice) and through the next search:
// printed as figures (a 1 ms timer as probe), with the memory the flood
// between the searches adds. An answer sent once the flood stops is taken,
// inside the window and after it; the next search takes its answer while
// the flood goes on at the first socket's port, which no longer reads it.
void TstNetLink::floodstall_data()
{
    QTest::addColumn<int>("size");
    for (int size : {256, 1024, 8192, 65000})
        QTest::newRow(qPrintable(QStringLiteral("%1 bytes").arg(size))) << size;
}

void TstNetLink::floodstall()
{
    QFETCH(int, size);
    constexpr int kFirstFlood = 101; // datagrams sent before a flood's thread starts
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    Env env;
    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    // Counted, not recorded: a spy would keep every flood datagram's lines.
    int handedcount = 0;
    connect(&chooser, &dialoginterface::trytofinddev, this, [&]() { ++handedcount; });
    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    std::atomic<long> sentbetween{0}; // between the searches
    std::atomic<long> sentnext{0};    // to the first socket's port during the next search
    std::thread flood;
    quint16 port = 0;
    // The stalls are measured from the flood's start: the listing of the
    // adapters before the window is no part of it.
    QElapsedTimer sincetick;
    qint64 longest = 0;
    const auto startflood = [&](quint16 p, std::atomic<long> *count) {
        port = p;
        longest = 0;
        sincetick.restart();
        stop = false;
        // The first datagrams go out before this returns: the counts below
        // hold however slowly the machine schedules the flood's thread.
        const int fd = boundsocket(SOCK_DGRAM, kProc, 0);
        const sockaddr_in to = sockaddrof(kApp, p);
        const QByteArray lines(size, '\n');
        const auto sendone = [fd, to, lines, count]() {
            if (::sendto(fd, lines.constData(), size_t(lines.size()), 0, reinterpret_cast<const sockaddr *>(&to),
                         sizeof to) > 0)
                ++*count;
        };
        for (int i = 0; i < kFirstFlood; ++i)
            sendone();
        flood = std::thread([&, fd, sendone]() {
            while (!stop)
                sendone();
            ::close(fd);
        });
    };
    const auto stopflood = [&]() {
        stop = true;
        if (flood.joinable())
            flood.join();
    };
    // The thread ends however the row ends.
    const auto joinflood = qScopeGuard(stopflood);
    duringsearch(chooser, [&](quint16 p) { startflood(p, &sent); });
    // An answer from `from` to `to`'s port, sent again every 20 ms until
    // listed (the kernel drops it while the socket's queue is still full of
    // the flood).
    QTimer answering;
    QUdpSocket answer;
    QHostAddress answerto;
    quint16 answerport = 0;
    QVERIFY(answer.bind(kProc, 0));
    const auto sendanswer = [&]() {
        if (!env.link.searchdevices().contains(answerto))
            answer.writeDatagram(QByteArray("iAmTavisenLink!\nmr700"), kApp, answerport);
    };
    connect(&answering, &QTimer::timeout, this, sendanswer);
    const auto startanswer = [&](const QHostAddress &from, quint16 p) {
        answer.close();
        answer.bind(from, 0);
        answerto = from;
        answerport = p;
        answering.start(20);
        sendanswer();
    };
    // The flood stops at half the window; the processor's answer follows.
    bool answered = false;
    QTimer::singleShot(MainApp::scaled(dialoginterface::kSearchWindowMs) / 2, &answering, [&]() {
        stopflood();
        answered = true;
        startanswer(kProc, port);
    });
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    connect(&probe, &QTimer::timeout, this, [&]() { longest = qMax(longest, sincetick.restart()); });
    sincetick.start();
    probe.start(1);
    QVERIFY(discover(chooser, QStringLiteral("dsptest0")));
    answering.stop();
    const qint64 during = longest;
    QVERIFY(answered);
    QCOMPARE(env.link.searchdevices(), QList<QHostAddress>{kProc});
    const int handed = handedcount;
    // The socket of the search listens on.
    const QPointer<QUdpSocket> first(chooser.udpsocket());
    QVERIFY(first);
    QCOMPARE(first->localPort(), port);

    // The same flood between the searches, read by the open socket.
    const qint64 rss0 = rssbytes();
    startflood(port, &sentbetween);
    runevents(500);
    const qint64 between = longest;
    const qint64 grown = rssbytes() - rss0;
    stopflood();
    const int handedbetween = handedcount - handed;
    // An answer after the flood is still taken.
    const QHostAddress lateone(QStringLiteral("127.0.0.5"));
    startanswer(lateone, port);
    QTRY_VERIFY(env.link.searchdevices().contains(lateone));
    answering.stop();

    // The next search while the flood goes on at the first socket's port:
    // the new socket takes the answer and nothing of the flood.
    const QHostAddress nextone(QStringLiteral("127.0.0.6"));
    QUdpSocket nextanswer;
    QVERIFY(nextanswer.bind(nextone, 0));
    startflood(port, &sentnext);
    quint16 nextport = 0;
    duringsearch(chooser, [&](quint16 p) {
        nextport = p;
        longest = 0;
        sincetick.restart();
        nextanswer.writeDatagram(QByteArray("iAmTavisenLink!\nmr700"), kApp, p);
    });
    const int handedbefore = handedcount;
    QVERIFY(discover(chooser, QStringLiteral("dsptest0")));
    const qint64 next = longest;
    probe.stop();
    stopflood();
    QLoggingCategory::setFilterRules(QString());
    qInfo("discovery flood of %d-byte datagrams: %ld sent in the search window, longest GUI stall %lld ms; "
          "%ld sent in 0.5 s after it (socket open, %d handed on), longest GUI stall %lld ms, "
          "memory %+.1f MB; %ld to the old port during the next search, longest GUI stall %lld ms",
          size, sent.load(), during, sentbetween.load(), handedbetween, between, double(grown) / 1e6,
          sentnext.load(), next);
    QVERIFY(sent > 100);
    QVERIFY(sentbetween > 100);
    QVERIFY(sentnext > 100);
    // Datagrams up to the longest answer are handed on, longer ones are
    // dropped unsplit, in the window and after it.
    if (size > dialoginterface::kMaxAnswerBytes) {
        QCOMPARE(handed, 1);
        QCOMPARE(handedbetween, 0);
    } else {
        QVERIFY(handed > 1);
        QVERIFY(handedbetween > 1);
    }
    // The first socket went with the next choice; its port is read no more.
    QVERIFY(first.isNull());
    QVERIFY(nextport != 0);
    QCOMPARE(chooser.udpsocket()->localPort(), nextport);
    if (nextport != port)
        QCOMPARE(handedcount - handedbefore, 1);
    // The flood, not being answers, lists nothing.
    QCOMPARE(env.link.searchdevices(), (QList<QHostAddress>{kProc, lateone, nextone}));
    // The window kept running between the searches (a generous bound: an
    // unbounded read under the flood would never return).
    QVERIFY2(between < 1000, qPrintable(QStringLiteral("%1 ms").arg(between)));
}

// A peer that streams meter replies as fast as TCP takes them: the connect
// still ends with its box within its usual time, the socket never holds
// more than its bound, and the unasked replies beyond their rate are dropped.
// The window's longest stall and the growth of memory are printed as
// figures (DSP_STREAM_SECONDS sets how long the stream runs on after the
// connect; 2 s unless given).
void TstNetLink::streamingpeer_data()
{
    QTest::addColumn<bool>("answerconnect");
    QTest::addColumn<QString>("box");
    QTest::newRow("connect answered, then meters")
        << true << QStringLiteral("The current program could not be read completely. Please Try Again");
    QTest::newRow("meters only") << false << QStringLiteral("No answer from the processor");
}

void TstNetLink::streamingpeer()
{
    QFETCH(bool, answerconnect);
    QFETCH(QString, box);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    ScriptedPrompts prompts;
    Env env;
    StreamingPeer peer;
    peer.answerconnect = answerconnect;
    QVERIFY(peer.start());
    env.select(0x18, 1, kProc);
    QCOMPARE(env.link.socket()->readBufferSize(), qint64(DeviceLink::kReadBufferBytes));
    // Counted, not kept: a spy's list would grow the memory measured.
    int meters = 0;
    QObject counter;
    connect(&gComCtrl, &CComCtrl::readlight, &counter, [&meters]() { ++meters; });

    QElapsedTimer sincetick;
    qint64 longest = 0;
    qint64 mostbuffered = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    connect(&probe, &QTimer::timeout, this, [&]() {
        longest = qMax(longest, sincetick.restart());
        mostbuffered = qMax(mostbuffered, env.link.socket()->bytesAvailable());
    });
    const qint64 rss0 = rssbytes();
    QElapsedTimer took;
    took.start();
    sincetick.start();
    probe.start(1);
    env.link.connectdevice();
    const qint64 connectms = took.elapsed();
    const qint64 connectgap = longest;
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
    QCOMPARE(prompts.shown.last().text, box);
    QCOMPARE(env.cur()->gettcpconnected(), answerconnect ? 1 : 0);

    // The stream goes on while the link stays up.
    const qint64 rss1 = rssbytes();
    // Without its connect answered the link is closed again: nothing streams on.
    const int seconds = !answerconnect ? 0
                        : qEnvironmentVariableIsSet("DSP_STREAM_SECONDS")
                            ? qMax(1, qEnvironmentVariableIntValue("DSP_STREAM_SECONDS"))
                            : 2;
    const int meters0 = meters;
    longest = 0;
    sincetick.restart();
    runevents(seconds * 1000);
    probe.stop();
    const qint64 rss2 = rssbytes();
    QLoggingCategory::setFilterRules(QString());
    qInfo("streaming peer (%s): connect ended with its box after %lld ms, longest GUI stall %lld ms; "
          "then %d s: longest GUI stall %lld ms, %d meter replies handed on, %lld dropped, "
          "%.1f MB streamed in all, RSS %+.1f MB during the connect, %+.1f MB after it "
          "(%+.1f MB per 60 s); most bytes held by the socket %lld",
          answerconnect ? "connect answered" : "meters only", connectms, connectgap, seconds, longest,
          meters - meters0, env.link.droppedreplies(), double(peer.streamed) / 1e6,
          double(rss1 - rss0) / 1e6, double(rss2 - rss1) / 1e6,
          double(rss2 - rss1) / 1e6 * 60 / qMax(1, seconds), mostbuffered);
    QVERIFY(mostbuffered <= DeviceLink::kReadBufferBytes);
    QVERIFY(env.link.droppedreplies() > 0);
    QVERIFY(peer.streamed > 4 * DeviceLink::kReadBufferBytes);
}

// Replies nobody asked for that arrive before the connect answer, each on
// its own: the connect still takes the answer that follows within its time,
// and gives up within that time when none comes.
void TstNetLink::unaskedfirst_data()
{
    QTest::addColumn<int>("meters");
    QTest::addColumn<int>("pausems");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("connected");
    QTest::newRow("5 meters 20 ms apart, then the answer") << 5 << 20 << true << true;
    QTest::newRow("3 meters 60 ms apart, then the answer") << 3 << 60 << true << true;
    QTest::newRow("one meter, then the answer") << 1 << 0 << true << true;
    QTest::newRow("meters for 0.6 s, then the answer") << 30 << 20 << true << false;
    QTest::newRow("meters, no answer") << 8 << 20 << false << false;
}

void TstNetLink::unaskedfirst()
{
    QFETCH(int, meters);
    QFETCH(int, pausems);
    QFETCH(bool, answer);
    QFETCH(bool, connected);
    // The wait for the connect answer is real time whatever the scale; only
    // the download that follows a connect (and fails: the peer answers no
    // part) is scaled down.
    MainApp::settimescale(0.1);
    ScriptedPrompts prompts;
    Env env;
    StreamingPeer peer;
    peer.answerconnect = answer;
    peer.metersbefore = meters;
    peer.pausems = pausems;
    peer.stream = false;
    QVERIFY(peer.start());
    env.select(0x18, 1, kProc);
    QElapsedTimer took;
    took.start();
    env.link.connectdevice();
    qInfo("connect ended after %lld ms", took.elapsed());
    // The peer answers nothing but the connect: a connected link then fails
    // its download, an unconnected one never starts it.
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.last().text,
             connected ? QStringLiteral("The current program could not be read completely. Please Try Again")
                       : QStringLiteral("No answer from the processor"));
    QCOMPARE(env.cur()->gettcpconnected(), connected ? 1 : 0);
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

void TstNetLink::broadcast_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("destination"); // empty: nothing is sent
    const char *const rows[][4] = {{"/22", "10.1.6.3", "255.255.252.0", "10.1.7.255"},
                                   {"all zero mask", "192.168.1.20", "0.0.0.0", ""},
                                   {"holes in the mask", "192.168.1.20", "255.0.255.0", ""},
                                   {"/30", "192.168.1.21", "255.255.255.252", "192.168.1.23"},
                                   {"/31", "192.168.1.20", "255.255.255.254", ""},
                                   {"/32", "192.168.1.20", "255.255.255.255", ""},
                                   {"no address", "", "255.255.255.0", ""}};
    for (const auto &r : rows)
        QTest::newRow(r[0]) << r[1] << r[2] << r[3];
}

void TstNetLink::broadcast()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, destination);
    const QHostAddress got = dialoginterface::directedbroadcast(QHostAddress(ip), QHostAddress(mask));
    QCOMPARE(got.isNull() ? QString() : got.toString(), destination);
}

// The peer closing shows at once; one click connects again. A failed
// connect keeps saying so.
void TstNetLink::peerclosed()
{
    MainApp::settimescale(0.2); // the two downloads
    ScriptedPrompts prompts;
    standin::Standin s;
    const int line = s.listen(kProc);
    QVERIFY2(line >= 0, qPrintable(s.errorstring()));
    const int unit = s.addunit(line, 0x18, 1);
    s.update(unit, [&](standin::UnitState &u) { u.image = sampleimage(4); });
    WindowEnv we;
    QVERIFY(we.start());
    we.w->tcpfindok(0x18, 1, kProc); // found by a search: slot 0
    we.choose(0, 0x18, 1);
    we.clickconnect();
    QVERIFY(we.showsonline(QStringLiteral("Net Online")));
    QCOMPARE(commandcount(s, unit, 0x61), 26);

    s.dropconnections(line);
    QTRY_VERIFY(we.showsoffline());
    QCOMPARE(gMainApp->getcurdevice()->gettcpconnected(), 0);

    const QByteArray image = sampleimage(9);
    s.update(unit, [&](standin::UnitState &u) { u.image = image; });
    we.clickconnect();
    QVERIFY(we.showsonline(QStringLiteral("Net Online")));
    QCOMPARE(commandcount(s, unit, 0x61), 52);
    QCOMPARE(currentimage(gMainApp->getcurdevice()).toHex(), image.toHex());
    QVERIFY(prompts.shown.isEmpty());

    // Nothing takes connections on the application's host.
    we.w->tcpfindok(0x18, 2, kApp);
    we.choose(1, 0x18, 2);
    we.clickconnect();
    QCOMPARE(we.comshow->text(), QStringLiteral("connect false"));
    QCOMPARE(prompts.shown.size(), 1);
    // The refusal is told as such (a silent processor keeps "No answer from the processor").
    QCOMPARE(prompts.shown.last().text,
             QStringLiteral("Cannot connect to the processor: Connection refused"));
    QTest::qWait(300);
    QCOMPARE(we.comshow->text(), QStringLiteral("connect false"));
    QVERIFY(we.indicator->styleSheet().contains(QStringLiteral("aoutline.png")));
    QCOMPARE(we.connect->toolTip(), QStringLiteral("Connect  Device"));
}

namespace
{
// Hosts that answer the discovery but make the probe hard, on threads of
// their own so they keep going while the window waits.
struct HostileHosts {
    static constexpr int kFloodSenders = 300;
    static constexpr int kFirstRounds = 4; // sent before answer() returns
    const QHostAddress dropper{QStringLiteral("192.0.2.10")}; // drops every connect (full accept queue)
    const QHostAddress refuser{QStringLiteral("192.0.2.11")}; // refuses connects
    const QHostAddress talker{QStringLiteral("192.0.2.12")};  // answers often, streams markers over TCP
    int dropfd = -1;
    int fillerfd = -1;
    std::atomic<bool> stop{false};
    std::atomic<bool> stopflood{false}; // the flood of answers only
    std::atomic<int> talkerconnections{0};
    std::atomic<long> flooded{0};
    std::thread talkthread;
    std::thread floodthread;

    bool start()
    {
        for (const QHostAddress &a : {dropper, refuser, talker})
            if (!ip(QStringLiteral("addr add %1/24 dev dsptest1").arg(a.toString())))
                return false;
        // A full accept queue that is never served drops every further SYN.
        dropfd = boundsocket(SOCK_STREAM, dropper, 6000);
        if (dropfd < 0 || ::listen(dropfd, 0) != 0)
            return false;
        fillerfd = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in d = sockaddrof(dropper, 6000);
        if (::connect(fillerfd, reinterpret_cast<const sockaddr *>(&d), sizeof d) != 0)
            return false;
        const int talkfd = boundsocket(SOCK_STREAM, talker, 6000);
        if (talkfd < 0 || ::listen(talkfd, 16) != 0)
            return false;
        ::fcntl(talkfd, F_SETFL, O_NONBLOCK);
        talkthread = std::thread([this, talkfd]() {
            QVector<int> clients;
            const QByteArray markers = QByteArray::fromHex("445566").repeated(1000);
            while (!stop) {
                const int c = ::accept(talkfd, nullptr, nullptr);
                if (c >= 0) {
                    ::fcntl(c, F_SETFL, O_NONBLOCK);
                    clients << c;
                    ++talkerconnections;
                }
                for (int fd : clients)
                    ::send(fd, markers.constData(), size_t(markers.size()), MSG_NOSIGNAL);
                ::usleep(200);
            }
            for (int fd : clients)
                ::close(fd);
            ::close(talkfd);
        });
        return true;
    }

    void answer(quint16 port)
    {
        const QByteArray ok("iAmTavisenLink!\nmr700");
        const sockaddr_in to = sockaddrof(kApp, port);
        for (const QHostAddress &a : {dropper, refuser, talker}) {
            const int fd = boundsocket(SOCK_DGRAM, a, 0);
            for (int i = 0; i < (a == talker ? 200 : 1); ++i)
                ::sendto(fd, ok.constData(), size_t(ok.size()), 0, reinterpret_cast<const sockaddr *>(&to),
                         sizeof to);
            ::close(fd);
        }
        // The senders' sockets are made and the first rounds sent before
        // this returns, so the window meets a flood however slowly the
        // machine schedules the thread that keeps it going.
        QVector<int> fds;
        for (int i = 0; i < kFloodSenders; ++i)
            fds << boundsocket(SOCK_DGRAM, QHostAddress(0x7F010000u + quint32((i / 250) << 8) + quint32(i % 250 + 1)),
                               0);
        const auto round = [this, ok, to, fds]() {
            for (int fd : fds)
                if (fd >= 0 && ::sendto(fd, ok.constData(), size_t(ok.size()), MSG_DONTWAIT,
                                        reinterpret_cast<const sockaddr *>(&to), sizeof to) > 0)
                    ++flooded;
        };
        for (int i = 0; i < kFirstRounds; ++i)
            round();
        floodthread = std::thread([this, round, fds]() {
            while (!stop && !stopflood) {
                round();
                ::usleep(100);
            }
            for (int fd : fds)
                ::close(fd);
        });
    }

    ~HostileHosts()
    {
        stop = true;
        if (talkthread.joinable())
            talkthread.join();
        if (floodthread.joinable())
            floodthread.join();
        ::close(fillerfd);
        ::close(dropfd);
        for (const QHostAddress &a : {dropper, refuser, talker})
            ip(QStringLiteral("addr del %1/24 dev dsptest1").arg(a.toString()));
    }
};
} // namespace

// The stand-in is found beside hostile hosts and a flood of answers; the list
// stays capped, the search ends by its bound and the timers keep running.
void TstNetLink::hostilesearch()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    MainApp::settimescale(0.1);
    Env env;
    env.line = env.standin.listen(kProc);
    QVERIFY2(env.line >= 0, qPrintable(env.standin.errorstring()));
    env.unit = env.standin.addunit(env.line, 0x18, 1);
    HostileHosts hosts;
    QVERIFY(hosts.start());

    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    int most = 0;
    bool flooding = false;
    bool over = false;      // the search window has ended (the socket listens on)
    QSet<quint32> answered; // distinct hosts whose answer the window read
    connect(&chooser, &dialoginterface::trytofinddev, this, [&](const QStringList &words, const QHostAddress &from) {
        // What comes after the window is kept for the next search.
        if (over)
            return;
        if (!words.isEmpty() && words.first() == QLatin1String("iAmTavisenLink!"))
            answered.insert(from.toIPv4Address());
        most = qMax(most, env.link.searchdevices().size());
        // The processor answered first; then the others and the flood.
        if (!flooding && env.link.searchdevices().contains(kProc)) {
            flooding = true;
            hosts.answer(chooser.udpsocket()->localPort());
        }
    });
    QList<QHostAddress> probed;
    connect(&chooser, &dialoginterface::updSearchFinishd, this, [&]() {
        over = true;
        probed = env.link.searchdevices();
        // The flood of answers ends with the window here (floodstall() has
        // floods between searches); the probe runs beside the other hosts.
        hosts.stopflood = true;
    });
    connect(&chooser, &dialoginterface::updSearchFinishd, &env.link, &DeviceLink::checkSearchDeviceList);
    QSignalSpy found(&env.link, &DeviceLink::tcpfindok);

    QElapsedTimer sincetick;
    qint64 longestgap = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&]() { longestgap = qMax(longestgap, sincetick.restart()); });
    QElapsedTimer search;
    search.start();
    sincetick.start();
    ticker.start(10);
    QVERIFY(discover(chooser, QStringLiteral("dsptest0")));
    const qint64 took = search.elapsed();
    ticker.stop();
    hosts.stop = true;
    MainApp::settimescale(1.0);
    QLoggingCategory::setFilterRules(QString());

    QVERIFY(flooding);
    QVERIFY2(hosts.flooded >= HostileHosts::kFloodSenders * HostileHosts::kFirstRounds,
             qPrintable(QString::number(hosts.flooded)));
    // How many flood answers a short search window reads depends on the
    // machine; every distinct host read counts up to the bound (the bound
    // itself is held exactly by searchbound()).
    const int expected = qMin(int(answered.size()), DeviceLink::kMaxSearchAddresses);
    qInfo("%ld flood answers sent during the window, %d distinct hosts answered, %d probed", hosts.flooded.load(),
          int(answered.size()), int(probed.size()));
    QVERIFY2(answered.size() >= 4, qPrintable(QString::number(answered.size())));
    QCOMPARE(probed.size(), expected);
    QCOMPARE(most, expected);
    for (const QHostAddress &a : {kProc, hosts.dropper, hosts.refuser, hosts.talker})
        QVERIFY2(probed.contains(a), qPrintable(a.toString()));
    QVERIFY(env.link.searchdevices().size() <= DeviceLink::kMaxSearchAddresses);
    // Probed once however often it answered: a connection per device type.
    QVERIFY(hosts.talkerconnections >= 1 && hosts.talkerconnections <= 3);
    bool standin = false;
    for (const auto &args : found)
        standin = standin || (args.at(0).value<uchar>() == 0x18 && args.at(1).value<uchar>() == 1 &&
                              args.at(2).value<QHostAddress>() == kProc);
    QVERIFY(standin);
    const qint64 bound = (dialoginterface::kSearchWindowMs + DeviceLink::kProbeBoundMs) / 10;
    QVERIFY2(took < bound + 3000, qPrintable(QStringLiteral("%1 ms").arg(took)));
    // A wait that blocked on the host that drops connects would stop the
    // timers for the whole scaled probe bound (3.1 s); a busy machine that
    // does not run this process for a while stays well below that.
    QVERIFY2(longestgap < bound * 2 / 3, qPrintable(QStringLiteral("%1 ms").arg(longestgap)));
}

// The list of answering addresses: each address once, the first ones kept
// up to the bound, an IPv4 sender mapped into IPv6 the same as plain IPv4,
// answers that are not the processor's ignored. Answers read after a window
// ended are kept apart up to their own bound and carried into the next
// search, whose own answers still have the whole bound.
void TstNetLink::searchbound_data()
{
    QTest::addColumn<int>("late");    // distinct hosts answering after a window, before the search
    QTest::addColumn<int>("hosts");   // distinct hosts answering, in order
    QTest::addColumn<int>("repeats"); // answers each sends
    QTest::addColumn<bool>("mapped"); // every second host as ::ffff:a.b.c.d
    QTest::addColumn<int>("listed");
    QTest::newRow("one host") << 0 << 1 << 1 << false << 1;
    QTest::newRow("one host, 50 answers") << 0 << 1 << 50 << false << 1;
    QTest::newRow("bound less one") << 0 << 255 << 1 << false << 255;
    QTest::newRow("at the bound") << 0 << 256 << 1 << false << 256;
    QTest::newRow("one over") << 0 << 257 << 1 << false << 256;
    QTest::newRow("300 hosts, 3 answers each") << 0 << 300 << 3 << false << 256;
    QTest::newRow("300 hosts, half mapped") << 0 << 300 << 2 << true << 256;
    QTest::newRow("300 late, then one host") << 300 << 1 << 1 << false << 1;
    QTest::newRow("300 late, then 300 hosts") << 300 << 300 << 1 << false << 256;
    QTest::newRow("late bound less one, then 300 hosts") << 15 << 300 << 2 << true << 256;
    QTest::newRow("17 late, then one host") << 17 << 1 << 3 << false << 1;
}

void TstNetLink::searchbound()
{
    QFETCH(int, late);
    QFETCH(int, hosts);
    QFETCH(int, repeats);
    QFETCH(bool, mapped);
    QFETCH(int, listed);
    Env env;
    const QStringList ok{QStringLiteral("iAmTavisenLink!"), QStringLiteral("mr700")};
    const auto host = [](int i) { return 0xC0000200u + quint32(i / 200) * 256 + quint32(i % 200 + 10); };
    const auto latehost = [](int i) { return 0xC6120000u + quint32(i / 200) * 256 + quint32(i % 200 + 10); };
    const int carried = qMin(late, DeviceLink::kMaxLateAddresses);
    if (late > 0) {
        env.link.checkSearchDeviceList(); // a window ends with nothing to probe
        for (int r = 0; r < 2; ++r)
            for (int i = 0; i < late; ++i)
                env.link.trytofindtcpdev(ok, QHostAddress(latehost(i)));
        QCOMPARE(env.link.latedevices().size(), carried);
        env.link.startsearch();
        QVERIFY(env.link.latedevices().isEmpty());
    }
    for (int r = 0; r < repeats; ++r)
        for (int i = 0; i < hosts; ++i) {
            const quint32 v4 = host(i);
            QHostAddress from(v4);
            if (mapped && (i + r) % 2 == 1)
                from = QHostAddress(QStringLiteral("::ffff:") + QHostAddress(v4).toString());
            env.link.trytofindtcpdev(ok, from);
            // Not an answer: never listed, never counted against the bound.
            env.link.trytofindtcpdev({QStringLiteral("iAmSomethingElse"), QStringLiteral("mr700")},
                                     QHostAddress(v4 + 0x10000u));
        }
    const QList<QHostAddress> list = env.link.searchdevices();
    QCOMPARE(list.size(), carried + listed);
    for (int i = 0; i < carried; ++i)
        QCOMPARE(list.at(i), QHostAddress(latehost(i)));
    for (int i = 0; i < listed; ++i)
        QCOMPARE(list.at(carried + i), QHostAddress(host(i)));
}

// A processor answering after the search window: the socket of the search
// listens on, the answer is listed and probed, once, when the next search
// ends. An answer that comes while a probe run is in progress is read when
// the run is over and waits for the next run. After the next choice the first socket's port is read no more.
void TstNetLink::lateanswer_data()
{
    QTest::addColumn<double>("scale"); // the row's time scale
    QTest::addColumn<double>("late");  // the stand-in's answer delay, in search windows
    QTest::addColumn<bool>("busy");    // a host whose probe runs to its bound answers the first search
    QTest::newRow("1.5 s late, two searches") << 1.0 << 1.5 << false;
    QTest::newRow("late answer during a probe run") << 0.1 << 4.0 << true;
}

void TstNetLink::lateanswer()
{
    QFETCH(double, scale);
    QFETCH(double, late);
    QFETCH(bool, busy);
    MainApp::settimescale(scale);
    const int window = MainApp::scaled(dialoginterface::kSearchWindowMs);
    Env env;
    env.line = env.standin.listen(kProc);
    QVERIFY2(env.line >= 0, qPrintable(env.standin.errorstring()));
    env.unit = env.standin.addunit(env.line, 0x18, 1);
    Fault slow;
    slow.kind = Fault::LateReply;
    slow.command = Fault::Discovery;
    slow.delayMs = int(window * late);
    env.standin.addfault(slow);
    HostileHosts hosts;
    if (busy)
        QVERIFY(hosts.start());

    dialoginterface chooser;
    connect(&chooser, &dialoginterface::trytofinddev, &env.link, &DeviceLink::trytofindtcpdev);
    // Wired as the main window does: answers wait while a run probes.
    connect(&chooser, &dialoginterface::searchStarted, &env.link, &DeviceLink::startsearch);
    bool probing = false;
    connect(&chooser, &dialoginterface::updSearchFinishd, this, [&]() {
        probing = true;
        chooser.holdreading(true);
        env.link.checkSearchDeviceList();
        probing = false;
        chooser.holdreading(false);
    });
    // The stand-in's answers as handed on: whether a probe run was in progress.
    QList<bool> handed;
    connect(&chooser, &dialoginterface::trytofinddev, this,
            [&](const QStringList &, const QHostAddress &from) {
                if (QHostAddress(from.toIPv4Address()) == kProc)
                    handed << probing;
            });
    QSignalSpy found(&env.link, &DeviceLink::tcpfindok);
    const QByteArray ok("iAmTavisenLink!\nmr700");
    QUdpSocket busyanswer;
    if (busy) {
        QVERIFY(busyanswer.bind(hosts.dropper, 0));
        duringsearch(chooser, [&](quint16 p) { busyanswer.writeDatagram(ok, kApp, p); });
    }

    // The first search ends before the answer comes: nothing is probed.
    QVERIFY(discover(chooser, QStringLiteral("dsptest0")));
    QCOMPARE(commandcount(env.standin, env.unit, 0x01), 0);
    // The answer is handed on all the same, and kept for the next search.
    QTRY_COMPARE(handed.size(), 1);
    const QPointer<QUdpSocket> first(chooser.udpsocket());
    QVERIFY(first);
    const quint16 firstport = first->localPort();
    // An answer that came during the probe run was held until it ended.
    QCOMPARE(handed.first(), false);
    QCOMPARE(env.link.searchdevices(), QList<QHostAddress>{kProc});
    QCOMPARE(commandcount(env.standin, env.unit, 0x01), 0);

    // The second search's end probes the stand-in, once.
    QVERIFY(discover(chooser, QStringLiteral("dsptest0")));
    QVERIFY(first.isNull());
    QCOMPARE(commandcount(env.standin, env.unit, 0x01), 1);
    bool standin = false;
    for (const auto &args : found)
        standin = standin || (args.at(0).value<uchar>() == 0x18 && args.at(1).value<uchar>() == 1 &&
                              args.at(2).value<QHostAddress>() == kProc);
    QVERIFY(standin);
    // Its own answer comes late too, to the new socket: listed for the
    // search after, not probed now.
    QTRY_COMPARE(handed.size(), 2);
    QCOMPARE(env.link.searchdevices(), QList<QHostAddress>{kProc});
    QCOMPARE(commandcount(env.standin, env.unit, 0x01), 1);

    // The first socket's port is read no more: an answer sent there is not
    // handed on, a line sent after it to the current socket is.
    QUdpSocket sender;
    QVERIFY(sender.bind(kProc, 0));
    const quint16 current = chooser.udpsocket()->localPort();
    QSignalSpy words(&chooser, &dialoginterface::trytofinddev);
    if (current != firstport)
        sender.writeDatagram(QByteArray("iAmTavisenLink!\nmr700 old port"), kApp, firstport);
    sender.writeDatagram(QByteArray("marker"), kApp, current);
    QTRY_VERIFY(!words.isEmpty() &&
                words.last().at(0).toStringList() == QStringList{QStringLiteral("marker")});
    for (const auto &args : words)
        QVERIFY(!args.at(0).toStringList().join(QLatin1Char('\n')).contains(QLatin1String("old port")));
}

namespace
{
// Valid answers from many source addresses of the loopback range (on a LAN
// a host can send from any address), round after round on a thread of its
// own, to the discovery port set last.
struct AnswerFlood {
    QVector<int> fds;
    std::atomic<quint16> port{0};
    std::atomic<bool> stop{false};
    std::thread thread;

    static bool from(const QHostAddress &a) { return (a.toIPv4Address() >> 16) == 0x7F03u; }

    bool start(int sources, quint16 to)
    {
        for (int i = 0; i < sources; ++i) {
            fds << boundsocket(SOCK_DGRAM,
                               QHostAddress(0x7F030000u + quint32((i / 250) << 8) + quint32(i % 250 + 1)), 0);
            if (fds.last() < 0)
                return false;
        }
        port = to;
        thread = std::thread([this]() {
            const QByteArray ok("iAmTavisenLink!\nmr700");
            while (!stop) {
                const sockaddr_in to = sockaddrof(kApp, port);
                for (int fd : fds)
                    ::sendto(fd, ok.constData(), size_t(ok.size()), MSG_DONTWAIT,
                             reinterpret_cast<const sockaddr *>(&to), sizeof to);
                ::usleep(100);
            }
        });
        return true;
    }

    void end()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);
        fds.clear();
    }

    ~AnswerFlood() { end(); }
};
} // namespace

// Between two searches of the window a host floods the discovery port with
// answers from many source addresses: the addresses kept for the next search
// stay within the late bound, a processor that answered the first search late
// (before the flood) is still probed and listed when the second one ends, and
// a processor switched on between the searches that answers the second at
// once is probed and listed, whether the flood stopped before the search or
// goes on into it.
void TstNetLink::betweensearches_data()
{
    QTest::addColumn<int>("sources"); // source addresses of the flood
    QTest::addColumn<bool>("during"); // the flood goes on into the second search
    QTest::addColumn<bool>("late");   // a processor answers the first search late
    QTest::newRow("300 sources, stopped before the search") << 300 << false << false;
    QTest::newRow("300 sources, on through the search") << 300 << true << false;
    QTest::newRow("200 sources, stopped before the search") << 200 << false << false;
    QTest::newRow("200 sources, on through the search") << 200 << true << false;
    QTest::newRow("a late answer, then 300 sources") << 300 << false << true;
    QTest::newRow("a late answer, then 300 sources on through the search") << 300 << true << true;
}

void TstNetLink::betweensearches()
{
    QFETCH(int, sources);
    QFETCH(bool, during);
    QFETCH(bool, late);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const auto logs = qScopeGuard([]() { QLoggingCategory::setFilterRules(QString()); });
    MainApp::settimescale(0.5);
    // The late processor takes the probe's connections but never hears the
    // discovery: its one answer is sent by hand.
    const QHostAddress lateproc(QStringLiteral("192.0.2.20"));
    QVERIFY(ip(QStringLiteral("addr add %1/24 dev dsptest1").arg(lateproc.toString())));
    const auto deladdr =
        qScopeGuard([&]() { ip(QStringLiteral("addr del %1/24 dev dsptest1").arg(lateproc.toString())); });
    standin::Standin s;
    const int lateline = s.listen(lateproc, 6000, 0);
    QVERIFY2(lateline >= 0, qPrintable(s.errorstring()));
    const int lateunit = s.addunit(lateline, 0x16, 5);
    ScriptedPrompts prompts;
    WindowEnv we;
    QVERIFY(we.start());
    dialoginterface *chooser = we.w->adapterchooser();
    DeviceLink *link = we.w->devicelink();
    AnswerFlood flood;
    QSet<quint32> flooders; // distinct flood sources handed on
    bool search2 = false;
    bool followed = false;
    connect(chooser, &dialoginterface::trytofinddev, this,
            [&](const QStringList &, const QHostAddress &from) {
                if (AnswerFlood::from(from))
                    flooders.insert(from.toIPv4Address());
                // The flood follows the second search to its port once the
                // processor has answered it.
                else if (during && search2 && !followed && QHostAddress(from.toIPv4Address()) == kProc) {
                    flood.port = chooser->udpsocket()->localPort();
                    followed = true;
                }
            });

    // The first search: nobody answers in its window.
    QVERIFY(discover(*chooser, QStringLiteral("dsptest0")));
    QVERIFY(link->searchdevices().isEmpty());
    const quint16 firstport = chooser->udpsocket()->localPort();
    if (late) {
        QUdpSocket answer;
        QVERIFY(answer.bind(lateproc, 0));
        answer.writeDatagram(QByteArray("iAmTavisenLink!\nmr700"), kApp, firstport);
        QTRY_VERIFY(link->searchdevices().contains(lateproc));
    }
    QVERIFY(flood.start(sources, firstport));
    QTRY_VERIFY_WITH_TIMEOUT(flooders.size() >= sources, 60000);
    // Every flood source was read: the next search carries the late bound.
    QList<QHostAddress> kept = link->searchdevices();
    QCOMPARE(kept.size(), DeviceLink::kMaxLateAddresses);
    if (late)
        QCOMPARE(kept.first(), lateproc);
    if (!during)
        flood.end();

    // A processor switched on between the searches answers the second at once.
    const int line = s.listen(kProc);
    QVERIFY2(line >= 0, qPrintable(s.errorstring()));
    const int unit = s.addunit(line, 0x18, 1);
    search2 = true;
    QVERIFY(discover(*chooser, QStringLiteral("dsptest0")));
    QCOMPARE(commandcount(s, unit, 0x01), 1);
    QVERIFY(MainApp::hasdevice(0x18, 1, kProc));
    QCOMPARE(commandcount(s, lateunit, 0x01), late ? 1 : 0);
    QCOMPARE(MainApp::hasdevice(0x16, 5, lateproc), late);
    if (during) {
        // What the flood sends after the second search keeps its bound too.
        QVERIFY(followed);
        flooders.clear();
        QTRY_VERIFY_WITH_TIMEOUT(flooders.size() >= sources, 60000);
        QCOMPARE(link->searchdevices().size(), DeviceLink::kMaxLateAddresses);
    }
    flood.end();
    QVERIFY(prompts.shown.isEmpty());
}

QTEST_MAIN(TstNetLink)
#include "tst_net_link.moc"
