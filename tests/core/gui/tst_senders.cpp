// The senders of the controller against the bytes that reach the line: the
// engine's serial port is opened on a pseudo-terminal, and a recorder thread
// collects everything that arrives on the master side with time stamps.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "hextext.h"
#include "mainapp.h"
#include "payloads.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Action = std::function<void(MainApp &, DeviceData &)>;
Q_DECLARE_METATYPE(Action)

namespace
{

const QHostAddress kSerial(QStringLiteral("0.0.0.0"));
const QHostAddress kNet(QStringLiteral("192.0.2.2"));
constexpr uchar kType = 0x18;
constexpr uchar kAddr = 0x05;

QByteArray hex(QString text)
{
    text.remove(QLatin1Char(' '));
    return QByteArray::fromHex(text.toLatin1());
}

// Reads the master side of a pseudo-terminal on its own thread.
class LineRecorder
{
public:
    struct Chunk {
        qint64 ms;
        QByteArray bytes;
    };

    bool open()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return false;
        slave = QString::fromLocal8Bit(ptsname(master));
        // Keep one slave descriptor open so the master never sees a hang-up
        // between port openings.
        keepslave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        start = std::chrono::steady_clock::now();
        worker = std::thread([this] { run(); });
        return keepslave >= 0;
    }
    void close()
    {
        stop = true;
        if (worker.joinable())
            worker.join();
        if (keepslave >= 0)
            ::close(keepslave);
        if (master >= 0)
            ::close(master);
    }
    QByteArray bytes() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return data;
    }
    std::vector<Chunk> chunks() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return received;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        data.clear();
        received.clear();
    }
    // When the recorded bytes first contain trigger, reply is written back once.
    void answer(const QByteArray &trig, const QByteArray &rep)
    {
        std::lock_guard<std::mutex> lock(mutex);
        trigger = trig;
        reply = rep;
    }

    QString slave;

private:
    void run()
    {
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
                continue;
            char buf[512];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                continue;
            const qint64 ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count();
            QByteArray out;
            {
                std::lock_guard<std::mutex> lock(mutex);
                data.append(buf, int(n));
                received.push_back({ms, QByteArray(buf, int(n))});
                if (!trigger.isEmpty() && data.contains(trigger)) {
                    out = reply;
                    trigger.clear();
                }
            }
            if (!out.isEmpty())
                (void)!::write(master, out.constData(), size_t(out.size()));
        }
    }

    int master = -1;
    int keepslave = -1;
    std::thread worker;
    std::atomic<bool> stop{false};
    mutable std::mutex mutex;
    QByteArray data;
    std::vector<Chunk> received;
    QByteArray trigger;
    QByteArray reply;
    std::chrono::steady_clock::time_point start;
};

} // namespace

class TstSenders : public QObject
{
    Q_OBJECT
private:
    LineRecorder line;
    // An engine of the test's own, so that its port and threads end with the
    // test rather than after the application object.
    CComCtrl ctrl;
    MainApp *app = nullptr;
    DeviceData *dev = nullptr;

    // A frame as the engine writes it, for the marker and the path tests.
    static QByteArray frame(uchar type, uchar addr, uchar cmd, const QString &payload)
    {
        const QByteArray p = hextobytes(payload);
        int sum = addr + cmd;
        for (char c : p)
            sum += uchar(c);
        QByteArray f = hex("112233");
        f.append(char(type)).append(char(addr)).append(char(cmd)).append(p).append(char(sum & 0x7F));
        return f + hex("445566");
    }
    // The level request goes out on the serial path unguarded: sent after a
    // sender that must stay silent, it arrives alone if that sender sent nothing.
    QByteArray marker() const { return frame(kType, kAddr, 0x56, QStringLiteral("00")); }
    bool waitfor(int size)
    {
        QElapsedTimer t;
        t.start();
        while (line.bytes().size() < size && t.elapsed() < 10000)
            QTest::qWait(5);
        return line.bytes().size() >= size;
    }
    void expectsilence(const Action &action)
    {
        line.clear();
        action(*app, *dev);
        app->getcurdevice()->setnetdevice(0);
        app->sendreadlight();
        QVERIFY(waitfor(marker().size()));
        QTest::qWait(20);
        QCOMPARE(line.bytes().toHex(), marker().toHex());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(line.open());
        gComSettings.setportname(line.slave);
        gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                                 ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                                 ComSettings::FixedTimeout);
        QVERIFY(ctrl.openmaincom());
    }
    void cleanupTestCase()
    {
        ctrl.closemaincom();
        line.close();
    }
    // A connected serial device of type 0x18 at address 5 is current.
    void init()
    {
        app = new MainApp;
        app->setcomctrl(&ctrl);
        dev = MainApp::adddevice(kType, kAddr, kSerial);
        app->setdevtype(kType);
        app->setdevaddr(kAddr);
        app->setdevip(kSerial);
        app->selectdevice(kType, kAddr, kSerial);
        QCOMPARE(app->getcurdevice(), dev);
        dev->setcomconnected(1);
        line.clear();
    }
    void cleanup()
    {
        delete app;
        app = nullptr;
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        dev = nullptr;
        // Let anything still queued drain before the next case.
        QTest::qWait(30);
        line.clear();
    }

    // Every sender: the exact frame on the line for a chosen model state.
    void frames_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("expected");

        QTest::newRow("gain OUT2 raw 400") << Action([](MainApp &a, DeviceData &d) {
            d.setmute(5, 0);
            d.setgain(5, 400);
            a.sendgain(5);
        }) << "112233 18 05 50 0411009001 7b 445566";
        QTest::newRow("gain mute byte 2 sent as 1") << Action([](MainApp &a, DeviceData &d) {
            d.setmute(3, 2);
            d.setgain(3, 400);
            a.sendgain(3);
        }) << "112233 18 05 50 0403019001 6e 445566";
        QTest::newRow("delay 48000 on") << Action([](MainApp &a, DeviceData &d) {
            d.setdelay(4, 48000);
            d.setdelayflag(4, 0x80);
            a.senddelay(4);
        }) << "112233 18 05 51 041080bb80 25 445566";
        QTest::newRow("peq band") << Action([](MainApp &a, DeviceData &d) {
            d.setpeqtype(0, 2, 0);
            d.setpeqbypass(0, 2, false);
            d.setpeqfreq(0, 2, 238);
            d.setpeqgain(0, 2, 300);
            d.setpeqallpass(0, 2, 77);
            d.setpeqwidth(0, 2, 10);
            a.sendpeqband(0, 2);
        }) << "112233 18 05 20 08000200ee002c011e 68 445566";
        QTest::newRow("peq all-pass value in place of gain") << Action([](MainApp &a, DeviceData &d) {
            d.setpeqtype(11, 0, 5);
            d.setpeqbypass(11, 0, false);
            d.setpeqfreq(11, 0, 100);
            d.setpeqgain(11, 0, 300);
            d.setpeqallpass(11, 0, 0x155);
            d.setpeqwidth(11, 0, 0);
            a.sendpeqband(11, 0);
        }) << "112233 18 05 20 081700056400550128 2b 445566";
        QTest::newRow("geq band, command 21") << Action([](MainApp &a, DeviceData &d) {
            d.setgeq(7, 30, 300, true);
            a.buildgeqband(7, 30);
        }) << "112233 18 05 21 04131e2c81 08 445566";
        QTest::newRow("bypass of the EQ channel") << Action([](MainApp &a, DeviceData &d) {
            d.setgeqbypassall(3, false);
            d.setpeqbypassall(3, true);
            a.setpeqchannel(3);
            a.setgeqchannel(9);
            a.sendbypassflags(0);
        }) << "112233 18 05 22 020301 2d 445566";
        QTest::newRow("bypass of the graphic-EQ channel") << Action([](MainApp &a, DeviceData &d) {
            d.setpeqbypassall(9, false);
            d.setgeqbypassall(9, true);
            a.setpeqchannel(3);
            a.setgeqchannel(9);
            a.sendbypassflags(1);
        }) << "112233 18 05 22 021510 4e 445566";
        QTest::newRow("crossover kind 1: low-pass") << Action([](MainApp &a, DeviceData &d) {
            d.setlpftype(0, 7);
            d.setlpffreq(0, 300);
            d.sethpftype(0, 1);
            d.sethpffreq(0, 5);
            a.sendxover(4, 1);
        }) << "112233 18 05 23 051001072c01 72 445566";
        QTest::newRow("crossover kind 0: high-pass") << Action([](MainApp &a, DeviceData &d) {
            d.sethpftype(7, 12);
            d.sethpffreq(7, 20);
            d.setlpftype(7, 1);
            d.setlpffreq(7, 398);
            a.sendxover(11, 0);
        }) << "112233 18 05 23 0517000c1400 64 445566";
        QTest::newRow("FIR type 7 sent as 3") << Action([](MainApp &a, DeviceData &d) {
            d.setxobyte0(1, 7);
            d.setfirparam1(1, 0x11);
            d.setfirparam2(1, 0x22);
            d.setfirparam3(1, 0x33);
            d.setfirorder(1, 2);
            d.setfirflag(1, 1);
            d.setfirlowfreq(1, 0x0101);
            d.setfirhighfreq(1, 0x0202);
            d.setfirlowparam(1, 0x0303);
            d.setfirhighparam(1, 0x0404);
            a.sendfir(5);
        }) << "112233 18 05 24 081103338203030404 08 445566";
        QTest::newRow("limiter") << Action([](MainApp &a, DeviceData &d) {
            d.setlimitknee(4, 3);
            d.setlimitthreshold(4, 500);
            d.setlimitratio(4, 2);
            d.setlimitattack(4, 6000);
            d.setlimitrelease(4, 199);
            a.sendlimit(4);
        }) << "112233 18 05 30 081003f401027017c7 15 445566";
        QTest::newRow("peak limiter") << Action([](MainApp &a, DeviceData &d) {
            d.setpeaklimiton(7, 1);
            d.setpeaklimitvalue(7, 400);
            d.setpeaklimita(7, 100);
            d.setpeaklimitb(7, 20);
            a.sendpeaklimit(7);
        }) << "112233 18 05 31 06170190016414 5d 445566";
        QTest::newRow("output switch") << Action([](MainApp &a, DeviceData &d) {
            d.setoutflag(2, 1);
            a.sendoutputflag(2);
        }) << "112233 18 05 52 021201 6c 445566";
        QTest::newRow("routing output 1") << Action([](MainApp &a, DeviceData &d) {
            d.setrouteina(0, true);
            d.setrouteinb(0, false);
            d.setrouteinc(0, false);
            d.setrouteind(0, false);
            a.sendrouting(1);
        }) << "112233 18 05 53 021008 72 445566";
        QTest::newRow("links") << Action([](MainApp &a, DeviceData &) {
            a.sendlinks(QStringLiteral("0102040801020408102040ff"));
        }) << "112233 18 05 54 0c0102040801020408102040ff 72 445566";
        QTest::newRow("copy IN-D to OUT8") << Action([](MainApp &a, DeviceData &) { a.sendcopy(0x03, 0x17); })
                                           << "112233 18 05 55 020317 76 445566";
        QTest::newRow("level request")
            << Action([](MainApp &a, DeviceData &) { a.sendreadlight(); }) << "112233 18 05 56 00 5b 445566";
        QTest::newRow("write part 25 of the staging image")
            << Action([](MainApp &a, DeviceData &d) {
                   for (int k = 0; k < 64; ++k)
                       d.setcurimagebyte(25 * 64 + k, k);
                   d.stagecurimage();
                   a.sendwriteprogrampart(0, 25);
               })
            << "112233 18 05 60 "
               "420019000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20212223"
               "2425262728292a2b2c2d2e2f303132333435363738393a3b3c3d3e3f 20 445566";
        QTest::newRow("read program part")
            << Action([](MainApp &a, DeviceData &) { a.sendreadprogrampart(30, 7); })
            << "112233 18 05 61 021e07 0d 445566";
        QTest::newRow("read current part 25")
            << Action([](MainApp &a, DeviceData &) { a.sendreadcurrentpart(25); })
            << "112233 18 05 61 020019 01 445566";
        QTest::newRow("recall program 0") << Action([](MainApp &a, DeviceData &) { a.sendrecallprogram(0); })
                                          << "112233 18 05 62 0100 68 445566";
        QTest::newRow("save program, short name padded")
            << Action([](MainApp &a, DeviceData &) { a.sendsaveprogram(5, QStringLiteral("414243")); })
            << "112233 18 05 63 15054142432020202020202020202020202020202020 68 445566";
        QTest::newRow("read program name")
            << Action([](MainApp &a, DeviceData &) { a.sendreadprogramname(40); })
            << "112233 18 05 64 0128 12 445566";
        QTest::newRow("reset programs") << Action([](MainApp &a, DeviceData &) { a.sendresetprograms(); })
                                        << "112233 18 05 65 00 6a 445566";
        QTest::newRow("delete program") << Action([](MainApp &a, DeviceData &) { a.senddeleteprogram(30); })
                                        << "112233 18 05 66 011e 0a 445566";
        QTest::newRow("device lock, short password padded")
            << Action([](MainApp &a, DeviceData &) { a.senddevicelock(1, QStringLiteral("3132")); })
            << "112233 18 05 10 09013132202020202020 42 445566";
        QTest::newRow("project lock") << Action([](MainApp &a, DeviceData &) {
            a.sendprojectlock(1, QStringLiteral("3132333435363738"), 0x1234);
        }) << "112233 18 05 12 0b0131323334353637383412 0d 445566";
        QTest::newRow("logo block 21")
            << Action([](MainApp &a, DeviceData &) {
                   for (int k = 0; k < 48; ++k)
                       a.logosend[21 * 48 + k] = uchar(0xa0 + k);
                   a.sendlogoblock(21);
               })
            << "112233 18 05 13 "
               "3115a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebfc0c1c2c3c4c5c6c7"
               "c8c9cacbcccdcecf 46 445566";
        QTest::newRow("connect") << Action([](MainApp &a, DeviceData &) { a.sendconnectreq(); })
                                 << "112233 18 05 02 00 07 445566";
    }
    void frames()
    {
        QFETCH(Action, action);
        QFETCH(QString, expected);
        const QByteArray want = hex(expected);
        action(*app, *dev);
        QVERIFY(waitfor(want.size()));
        QTest::qWait(20);
        QCOMPARE(line.bytes().toHex(), want.toHex());
        // The payload field holds what was sent (bytes 6 .. size - 5).
        QCOMPARE(hextobytes(app->getpayload()).toHex(), want.mid(6, want.size() - 10).toHex());
    }

    // The type and address come from the controller's fields, not the record.
    void controllertypeandaddress()
    {
        app->setdevtype(0x14);
        app->setdevaddr(0x20);
        app->sendreadprogramname(5);
        const QByteArray want = hex("112233 14 20 64 0105 0a 445566");
        QVERIFY(waitfor(want.size()));
        QCOMPARE(line.bytes().toHex(), want.toHex());
    }

    // Senders that refuse: nothing on the line, payload field unchanged.
    void guards_data()
    {
        QTest::addColumn<Action>("action");
        QTest::newRow("save link") << Action([](MainApp &a, DeviceData &d) {
            d.setcomconnected(0);
            d.settcpconnected(0);
            a.sendsaveprogram(1, "41");
        });
        QTest::newRow("gain loading") << Action([](MainApp &a, DeviceData &) {
            a.gainloading = 1;
            a.sendgain(0);
        });
        QTest::newRow("peq loading") << Action([](MainApp &a, DeviceData &) {
            a.peqloading = 1;
            a.sendpeqband(0, 0);
        });
        // An index the payload builder refuses (its edges are in the payload
        // test): nothing sent.
        QTest::newRow("gain channel 12") << Action([](MainApp &a, DeviceData &) { a.sendgain(12); });
        QTest::newRow("bypass selector 2") << Action([](MainApp &a, DeviceData &) { a.sendbypassflags(2); });
        // A channel the device type lacks: 0x16 has IN-A..IN-C and OUT1..OUT6,
        // 0x14 IN-A, IN-B and OUT1..OUT4.
        QTest::newRow("type 0x16 IN-D gain") << Action([](MainApp &a, DeviceData &) {
            a.setdevtype(0x16);
            a.sendgain(3);
            a.setdevtype(kType); // the marker goes to the device as it was
        });
        QTest::newRow("type 0x16 OUT7 peak limiter") << Action([](MainApp &a, DeviceData &) {
            a.setdevtype(0x16);
            a.sendpeaklimit(6);
            a.setdevtype(kType); // the marker goes to the device as it was
        });
        QTest::newRow("type 0x14 IN-C band") << Action([](MainApp &a, DeviceData &) {
            a.setdevtype(0x14);
            a.sendpeqband(2, 0);
            a.setdevtype(kType); // the marker goes to the device as it was
        });
        QTest::newRow("type 0x14 OUT5 crossover, FIR, switch, routing")
            << Action([](MainApp &a, DeviceData &) {
                   a.setdevtype(0x14);
                   a.sendxover(8, 0);
                   a.sendfir(8);
                   a.sendoutputflag(4);
                   a.sendrouting(5);
                   a.setdevtype(kType); // the marker goes to the device as it was
               });
        QTest::newRow("type 0x14 OUT8 delay, limiter, graphic EQ") << Action([](MainApp &a, DeviceData &) {
            a.setdevtype(0x14);
            a.senddelay(11);
            a.sendlimit(11);
            a.buildgeqband(11, 0);
            a.setdevtype(kType); // the marker goes to the device as it was
        });
        // A network device whose link is down: built, not sent anywhere.
        QTest::newRow("network link down") << Action([](MainApp &a, DeviceData &d) {
            d.setnetdevice(1);
            d.settcpconnected(0);
            QSignalSpy spy(&a, &MainApp::sendtcpdatasignals);
            a.sendreadlight();
            a.sendrecallprogram(3);
            QCOMPARE(spy.count(), 0);
        });
    }
    void guards()
    {
        QFETCH(Action, action);
        app->sendrecallprogram(9);
        QVERIFY(waitfor(frame(kType, kAddr, 0x62, "0109").size()));
        const QString before = app->getpayload();
        const bool built = QByteArray(QTest::currentDataTag()).startsWith("network");
        expectsilence([&](MainApp &a, DeviceData &d) {
            action(a, d);
            if (!built)
                QCOMPARE(a.getpayload(), before);
            else
                QCOMPARE(a.getpayload(), QStringLiteral("0103"));
        });
    }

    // Senders without a link test send while no link is up.
    void nolinktest_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("command");
        QTest::newRow("peq band") << Action([](MainApp &a, DeviceData &) { a.sendpeqband(0, 0); }) << 0x20;
        QTest::newRow("connect") << Action([](MainApp &a, DeviceData &) { a.sendconnectreq(); }) << 0x02;
    }
    void nolinktest()
    {
        QFETCH(Action, action);
        QFETCH(int, command);
        dev->setcomconnected(0);
        action(*app, *dev);
        const QByteArray want = frame(kType, kAddr, uchar(command), app->getpayload());
        QVERIFY(waitfor(want.size()));
        QTest::qWait(20);
        QCOMPARE(line.bytes().toHex(), want.toHex());
    }

    // A network device with its link up: the command goes to the main window
    // through the signal, with the controller's type and address, and nothing
    // goes to the serial line.
    void networkpath_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("payload");
        QTest::newRow("gain") << Action([](MainApp &a, DeviceData &d) {
            d.setmute(5, 0);
            d.setgain(5, 400);
            a.sendgain(5);
        }) << 0x50 << "0411009001";
    }
    void networkpath()
    {
        QFETCH(Action, action);
        QFETCH(int, command);
        QFETCH(QString, payload);
        dev->setcomconnected(0);
        dev->setnetdevice(1);
        dev->settcpconnected(1);
        app->setdevtype(0x16);
        app->setdevaddr(0x07);
        QSignalSpy spy(app, &MainApp::sendtcpdatasignals);
        expectsilence([&](MainApp &a, DeviceData &d) {
            action(a, d);
            QCOMPARE(spy.count(), 1);
            const QList<QVariant> args = spy.takeFirst();
            QCOMPARE(args.at(0).value<uchar>(), uchar(0x16));
            QCOMPARE(args.at(1).value<uchar>(), uchar(0x07));
            QCOMPARE(args.at(2).value<uchar>(), uchar(command));
            QCOMPARE(args.at(3).toString(), payload);
            a.setdevtype(kType);
            a.setdevaddr(kAddr);
        });
    }

    // The connect request follows the network link flag alone.
    void connectrequest_data()
    {
        QTest::addColumn<int>("netdevice");
        QTest::addColumn<int>("tcp");
        QTest::addColumn<int>("emitted");
        QTest::addColumn<int>("serialframes");
        QTest::newRow("serial device") << 0 << 0 << 0 << 1;
        QTest::newRow("network link up: two frames") << 1 << 1 << 2 << 0;
        QTest::newRow("network device, link down: serial") << 1 << 0 << 0 << 1;
        QTest::newRow("link flag on a serial record") << 0 << 1 << 2 << 0;
    }
    void connectrequest()
    {
        QFETCH(int, netdevice);
        QFETCH(int, tcp);
        QFETCH(int, emitted);
        QFETCH(int, serialframes);
        dev->setcomconnected(0);
        dev->setnetdevice(netdevice);
        dev->settcpconnected(tcp);
        QSignalSpy spy(app, &MainApp::sendtcpdatasignals);
        app->sendconnectreq();
        QCOMPARE(spy.count(), emitted);
        for (const QList<QVariant> &args : qAsConst(spy)) {
            QCOMPARE(args.at(0).value<uchar>(), kType);
            QCOMPARE(args.at(1).value<uchar>(), kAddr);
            QCOMPARE(args.at(2).value<uchar>(), uchar(0x02));
            QCOMPARE(args.at(3).toString(), QStringLiteral("00"));
        }
        dev->setnetdevice(0);
        app->sendreadlight();
        const QByteArray connect = hex("112233 18 05 02 00 07 445566");
        const QByteArray want = (serialframes ? connect : QByteArray()) + marker();
        QVERIFY(waitfor(want.size()));
        QTest::qWait(20);
        QCOMPARE(line.bytes().toHex(), want.toHex());
    }

    // The output switch, routing and FIR senders hold their frame 50 ms but
    // return at once: a frame sent meanwhile follows the held one, and two
    // held frames leave at least 50 ms apart. Only lower bounds are asserted.
    void pauses_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("command");
        QTest::newRow("output switch")
            << Action([](MainApp &a, DeviceData &) { a.sendoutputflag(0); }) << 0x52;
        QTest::newRow("routing") << Action([](MainApp &a, DeviceData &) { a.sendrouting(3); }) << 0x53;
        QTest::newRow("fir") << Action([](MainApp &a, DeviceData &) { a.sendfir(4); }) << 0x24;
    }
    void pauses()
    {
        QFETCH(Action, action);
        QFETCH(int, command);
        dev->setnetdevice(1);
        dev->settcpconnected(1);
        QElapsedTimer t;
        QVector<qint64> at;
        QVector<int> sent;
        connect(app, &MainApp::sendtcpdatasignals, this, [&](uchar, uchar, uchar c, const QString &) {
            at << t.elapsed();
            sent << c;
        });
        t.start();
        action(*app, *dev);
        app->sendreadlight();
        action(*app, *dev);
        QVERIFY(sent.isEmpty());
        QTRY_COMPARE(sent, QVector<int>({command, 0x56, command}));
        QVERIFY2(at[0] >= 50, qPrintable(QString::number(at[0])));
        QVERIFY2(at[2] - at[0] >= 50, qPrintable(QString::number(at[2] - at[0])));
        // With the holds over, a frame goes out at once.
        app->sendreadlight();
        QCOMPARE(sent.size(), 4);
    }

    // Exit: a disconnect to every listed device on the serial path, 50 ms
    // apart, each to its own type and address.
    void disconnectallserial()
    {
        MainApp::adddevice(0x14, 0x20, kSerial);
        MainApp::adddevice(0x16, 0x02, kNet);
        QElapsedTimer t;
        t.start();
        app->disconnectall();
        QVERIFY(t.elapsed() >= 150);
        const QByteArray want = hex("112233 18 05 03 00 08 445566") + hex("112233 14 20 03 00 23 445566") +
                                hex("112233 16 02 03 00 05 445566");
        QVERIFY(waitfor(want.size()));
        QTest::qWait(20);
        QCOMPARE(line.bytes().toHex(), want.toHex());
    }

    // Frames still held back when the window goes leave before the
    // disconnect, in their order, though the application object goes at once.
    void disconnectalldrains()
    {
        app->sendoutputflag(0);
        app->sendoutputflag(1);
        app->disconnectall();
        delete app;
        app = nullptr;
        const QByteArray want = frame(kType, kAddr, 0x52, payloads::outputflag(0, uint(dev->getoutflag(0)))) +
                                frame(kType, kAddr, 0x52, payloads::outputflag(1, uint(dev->getoutflag(1)))) +
                                hex("112233 18 05 03 00 08 445566");
        QVERIFY(waitfor(want.size()));
        QTest::qWait(20);
        QCOMPARE(line.bytes().toHex(), want.toHex());
    }

    // On the network, one disconnect, to the device whose link is up.
    void disconnectallnetwork_data()
    {
        QTest::addColumn<int>("uplink");
        QTest::addColumn<int>("emitted");
        QTest::newRow("second listed device is up") << 1 << 1;
        QTest::newRow("no link up") << -1 << 0;
    }
    void disconnectallnetwork()
    {
        QFETCH(int, uplink);
        QFETCH(int, emitted);
        app->deletealldevices();
        DeviceData *first = MainApp::adddevice(0x14, 0x01, kNet);
        DeviceData *second = MainApp::adddevice(0x16, 0x02, QHostAddress(QStringLiteral("192.0.2.9")));
        DeviceData *up = uplink == 0 ? first : uplink == 1 ? second : nullptr;
        if (up) {
            up->settcpconnected(1);
            app->selectdevice(uchar(up->gettype()), uchar(up->getaddress()), up->getipaddress());
        } else {
            app->selectdevice(0x14, 0x01, kNet);
        }
        QSignalSpy spy(app, &MainApp::sendtcpdatasignals);
        expectsilence([&](MainApp &a, DeviceData &) { a.disconnectall(); });
        QCOMPARE(spy.count(), emitted);
        if (emitted) {
            const QList<QVariant> args = spy.first();
            QCOMPARE(args.at(0).value<uchar>(), uchar(up->gettype()));
            QCOMPARE(args.at(1).value<uchar>(), uchar(up->getaddress()));
            QCOMPARE(args.at(2).value<uchar>(), uchar(0x03));
            QCOMPARE(args.at(3).toString(), QStringLiteral("00"));
        }
    }

    // The address scan: 96 find frames, (0x18, 1) .. (0x14, 32), 50 ms apart;
    // replies are dispatched during the waits.
    void scan()
    {
        ctrl.setfindok(true);
        QSignalSpy found(&ctrl, &CComCtrl::findok);
        // A processor of type 0x16 at address 3 answers its find frame.
        line.answer(hex("112233 16 03 01 00 04 445566"), hex("445566 16 03 01 00 00 112233"));
        ctrl.setfindok(true);
        QElapsedTimer t;
        t.start();
        app->scandevices();
        const qint64 took = t.elapsed();
        QVERIFY(took >= 96 * 50);
        QCOMPARE(app->getpayload(), QStringLiteral("00"));
        QVERIFY(waitfor(96 * 11));
        QTest::qWait(30);
        const QByteArray bytes = line.bytes();
        QCOMPARE(bytes.size(), 96 * 11);
        // The worked example: type 0x18, address 1.
        QCOMPARE(bytes.left(11).toHex(), hex("11 22 33 18 01 01 00 02 44 55 66").toHex());
        int k = 0;
        for (uchar type : {uchar(0x18), uchar(0x16), uchar(0x14)}) {
            for (int addr = 1; addr <= 32; ++addr, ++k) {
                const QByteArray f = bytes.mid(k * 11, 11);
                QCOMPARE(uchar(f.at(3)), type);
                QCOMPARE(uchar(f.at(4)), uchar(addr));
                QCOMPARE(uchar(f.at(5)), uchar(0x01));
                QCOMPARE(uchar(f.at(7)), uchar((addr + 1) & 0x7F));
            }
        }
        // Spacing, loosely: the frames arrive spread over the whole scan, not
        // in one burst.
        const auto chunks = line.chunks();
        QVERIFY(chunks.size() >= 10);
        QVERIFY(chunks.back().ms - chunks.front().ms >= 95 * 50 / 2);
        QCOMPARE(found.count(), 1);
        QCOMPARE(found.first().at(0).value<uchar>(), uchar(0x16));
        QCOMPARE(found.first().at(1).value<uchar>(), uchar(0x03));
        QVERIFY(ctrl.getfindok());
    }

    void scanclearsfindflag()
    {
        ctrl.closemaincom();
        ctrl.setfindok(true);
        app->scandevices();
        QVERIFY(!ctrl.getfindok());
        QVERIFY(ctrl.openmaincom());
    }
};

QTEST_MAIN(TstSenders)
#include "tst_senders.moc"
