#include "comsettings.h"
#include "myserialport.h"
#include "ptypair.h"

#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>

#include <memory>
#include <poll.h>

// A pseudo-terminal and a port opened on its slave side.
#define OPEN_LINE(pty, port)                                                                                \
    PtyPair pty;                                                                                            \
    MySerialPort port;                                                                                      \
    QVERIFY(port.opencom(pty.slavePath()))

namespace
{
// What the protocol engine does after a successful open.
void engineSetUp(MySerialPort &port)
{
    port.setbaudrate(ComSettings::FixedBaud);
    port.setdatabits(ComSettings::FixedDataBits);
    port.setparity(ComSettings::FixedParity);
    port.setstopbits(ComSettings::FixedStopBits);
    port.setflowcontrol(ComSettings::FixedFlowControl);
    port.settimeout(ComSettings::FixedTimeout);
    port.createreceivethread();
    port.createsendthread();
    port.startreceivethread();
}

QByteArray joined(const QSignalSpy &spy)
{
    QByteArray all;
    for (const QList<QVariant> &args : spy)
        all += args.at(0).toByteArray();
    return all;
}

bool anyEmpty(const QSignalSpy &spy)
{
    for (const QList<QVariant> &args : spy) {
        if (args.at(0).toByteArray().isEmpty())
            return true;
    }
    return false;
}

// Counts the queued calls that reach an object on its thread: every chunk the
// I/O thread posts to the wrapper is one.
class PostCounter : public QObject
{
public:
    explicit PostCounter(QObject *watched) { watched->installEventFilter(this); }
    int posts = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall)
            ++posts;
        return false;
    }
};

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    return bytes;
}

// Writes all of bytes into the master side as fast as the line takes them,
// without processing any event of this thread. Bounded.
bool flood(PtyPair &pty, const QByteArray &bytes)
{
    int done = 0;
    QDeadlineTimer deadline(10000);
    while (done < bytes.size() && !deadline.hasExpired()) {
        pollfd fd{pty.masterFd(), POLLOUT, 0};
        if (::poll(&fd, 1, 100) <= 0)
            continue;
        const ssize_t n = ::write(pty.masterFd(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += int(n);
    }
    return done == bytes.size();
}
} // namespace

class TestMySerialPort : public QObject
{
    Q_OBJECT
private slots:

    void openFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing device") << QStringLiteral("/dev/nonexistent-serial-port");
        QTest::newRow("empty name") << QString();
        QTest::newRow("regular file") << QStringLiteral("<tempfile>");
    }
    void openFailures()
    {
        QFETCH(QString, name);
        QTemporaryFile file;
        if (name == QLatin1String("<tempfile>")) {
            QVERIFY(file.open());
            name = file.fileName();
        }
        MySerialPort port;
        QVERIFY(!port.opencom(name));
        QVERIFY(!port.isopen());
        port.createsendthread();
        QCOMPARE(port.senddata(QByteArray("\x11", 1)), int(MySerialPort::NotOpen));
    }

    void resultCodesWhileOpen()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        MySerialPort port;
        QVERIFY(port.opencom(pty.slavePath()));
        QVERIFY(port.isopen());
        QCOMPARE(port.senddata(QByteArray("\x11", 1)), int(MySerialPort::NoThread));
        QCOMPARE(port.startreceivethread(), int(MySerialPort::NoThread));
        port.createsendthread();
        port.createreceivethread();
        QCOMPARE(port.senddata(QByteArray()), int(MySerialPort::HandedOver));
        QCOMPARE(port.startreceivethread(), int(MySerialPort::HandedOver));
        QVERIFY(port.receivethreadrunning());
        QCOMPARE(port.startreceivethread(), int(MySerialPort::HandedOver)); // already running
        // The empty send put nothing on the line.
        QCOMPARE(pty.readAtLeast(1, 200), QByteArray());
    }

    void lineSettings_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("stopbits");
        QTest::addColumn<int>("flow");
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("twoStop");
        QTest::addColumn<bool>("hardwareFlow");
        QTest::addColumn<bool>("softwareFlow");
        QTest::newRow("9600, 2 stop bits") << 12 << 2 << 0 << int(B9600) << true << false << false;
        QTest::newRow("115200, hardware flow") << 19 << 0 << 1 << int(B115200) << false << true << false;
        QTest::newRow("1200, software flow") << 8 << 0 << 2 << int(B1200) << false << false << true;
    }
    void lineSettings()
    {
        QFETCH(int, baud);
        QFETCH(int, stopbits);
        QFETCH(int, flow);
        QFETCH(int, speed);
        QFETCH(bool, twoStop);
        QFETCH(bool, hardwareFlow);
        QFETCH(bool, softwareFlow);
        PtyPair pty;
        QVERIFY(pty.isValid());
        MySerialPort port;
        QVERIFY(port.opencom(pty.slavePath()));
        port.setbaudrate(baud);
        port.setdatabits(ComSettings::FixedDataBits);
        port.setparity(ComSettings::FixedParity);
        port.setstopbits(stopbits);
        port.setflowcontrol(flow);
        QCOMPARE(port.getbaudrate(), baud);
        QCOMPARE(port.getstopbits(), stopbits);
        QCOMPARE(port.getflowcontrol(), flow);
        termios tio{};
        QTRY_VERIFY_WITH_TIMEOUT(pty.lineSettings(tio) && int(cfgetospeed(&tio)) == speed &&
                                     bool(tio.c_cflag & CSTOPB) == twoStop,
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(pty.lineSettings(tio) && bool(tio.c_cflag & CRTSCTS) == hardwareFlow &&
                                     bool(tio.c_iflag & IXON) == softwareFlow,
                                 5000);
        QCOMPARE(int(tio.c_cflag & CSIZE), int(CS8));
        QVERIFY(!(tio.c_cflag & PARENB));
        QVERIFY(!(tio.c_lflag & (ICANON | ECHO))); // raw line: bytes pass unchanged
    }

    void badSettingIndexIgnored()
    {
        OPEN_LINE(pty, port);
        port.setbaudrate(ComSettings::FixedBaud);
        port.setbaudrate(22);
        port.setbaudrate(-1);
        port.setdatabits(4);
        port.setparity(3);
        port.setstopbits(-5);
        port.setflowcontrol(9);
        QCOMPARE(port.getbaudrate(), ComSettings::FixedBaud);
        QCOMPARE(port.getdatabits(), ComSettings::FixedDataBits);
        termios tio{};
        QTRY_VERIFY_WITH_TIMEOUT(pty.lineSettings(tio) && cfgetospeed(&tio) == B38400, 5000);
    }

    // More than the line holds at once: once the line is full the writer
    // resumes when the port has taken its byte (nothing nudges it on a
    // timer), and every byte arrives, in order.
    void bulkOutThroughAFullLine()
    {
        OPEN_LINE(pty, port);
        engineSetUp(port);
        const QByteArray bulk = pattern(128 * 1024);
        QCOMPARE(port.senddata(bulk), int(MySerialPort::HandedOver));
        QTest::qWait(50); // the line fills up
        QByteArray got;
        while (got.size() < bulk.size()) {
            const QByteArray part = pty.readAtLeast(1, 2000);
            if (part.isEmpty())
                break; // the writer stalled
            got += part;
        }
        QCOMPARE(got.size(), bulk.size());
        QVERIFY(got == bulk);
        QVERIFY(port.isopen());
    }

    void bytesOutInOrderOneWritePerByte()
    {
        OPEN_LINE(pty, port);
        port.createsendthread(); // no reader: keeps other threads quiet
        QByteArray first = QByteArray::fromHex("112233180101");
        QByteArray second;
        for (int i = 0; i < 300; ++i)
            second.append(char(i));
        const qint64 before = processWriteCalls();
        QCOMPARE(port.senddata(first), int(MySerialPort::HandedOver));
        QCOMPARE(port.senddata(second), int(MySerialPort::HandedOver));
        const QByteArray got = pty.readAtLeast(first.size() + second.size());
        QCOMPARE(got, first + second);
        const qint64 after = processWriteCalls();
        if (before < 0 || after < 0)
            QSKIP("no per-process write counter here");
        QVERIFY2(after - before >= first.size() + second.size(),
                 qPrintable(QStringLiteral("%1 write calls").arg(after - before)));
    }

    void chunksIn_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::newRow("one reply") << QList<QByteArray>{QByteArray::fromHex("112233000102332211")};
        QTest::newRow("all byte values") << [] {
            QByteArray all;
            for (int i = 0; i < 256; ++i)
                all.append(char(i));
            return QList<QByteArray>{all, all};
        }();
        // Paced as the GUI thread takes it, far more than the in-flight limit
        // passes whole.
        QTest::newRow("paced stream of four in-flight limits") << [] {
            const QByteArray all = pattern(4 * MySerialPort::InFlightLimit);
            QList<QByteArray> pieces;
            for (int at = 0; at < all.size(); at += 8192)
                pieces << all.mid(at, 8192);
            return pieces;
        }();
    }
    void chunksIn()
    {
        QFETCH(QList<QByteArray>, pieces);
        OPEN_LINE(pty, port);
        QSignalSpy spy(&port, &MySerialPort::mycom_dataReceived);
        PostCounter counter(&port);
        engineSetUp(port);
        QByteArray expected;
        for (const QByteArray &piece : pieces) {
            QVERIFY(pty.write(piece));
            expected += piece;
            QTRY_COMPARE_WITH_TIMEOUT(joined(spy).size(), expected.size(), 5000);
        }
        QCOMPARE(joined(spy), expected);
        QTest::qWait(50); // the idle line posts nothing more
        QVERIFY(!anyEmpty(spy));
        QCOMPARE(joined(spy), expected);
        // Every chunk posted to this thread carried bytes: no empty chunk, no
        // post on an idle line.
        QCOMPARE(counter.posts, spy.count());
        QCOMPARE(port.droppedbytes(), qint64(0));
        QCOMPARE(port.inflightbytes(), qint64(0));
    }

    // The other end writes far faster than the GUI thread takes it (here the
    // GUI thread takes nothing at all while the flood runs): the I/O thread
    // hands over no more than the in-flight limit, drops the rest and says
    // so; what it handed over arrives whole and in order, and the line works
    // normally afterwards.
    void floodWhileGuiThreadBlocked()
    {
        OPEN_LINE(pty, port);
        engineSetUp(port);
        QSignalSpy spy(&port, &MySerialPort::mycom_dataReceived);
        QTest::ignoreMessage(QtWarningMsg, "serial input dropped: the GUI thread is behind");

        const qint64 limit = MySerialPort::InFlightLimit;
        const QByteArray bytes = pattern(16 * MySerialPort::InFlightLimit);
        QVERIFY(flood(pty, bytes));
        // Still without processing events: wait until the I/O thread has
        // taken everything off the line.
        QDeadlineTimer deadline(10000);
        while (port.inflightbytes() + port.droppedbytes() < bytes.size() && !deadline.hasExpired())
            QThread::msleep(1);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(port.inflightbytes(), limit);
        QCOMPARE(port.inflightpeak(), limit);
        QCOMPARE(port.droppedbytes(), bytes.size() - limit);

        // The GUI thread takes the first limit's worth, in order, nothing empty.
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy).size(), int(limit), 5000);
        QCOMPARE(joined(spy), bytes.left(int(limit)));
        QVERIFY(!anyEmpty(spy));
        QCOMPARE(port.inflightbytes(), qint64(0));

        // Afterwards the line delivers again, whole.
        spy.clear();
        const qint64 dropped = port.droppedbytes();
        QVERIFY(pty.write("after the flood"));
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy), QByteArray("after the flood"), 5000);
        QCOMPARE(port.droppedbytes(), dropped);
        QCOMPARE(port.inflightpeak(), limit);
    }

    void noChunksWithoutReader()
    {
        OPEN_LINE(pty, port);
        QSignalSpy spy(&port, &MySerialPort::mycom_dataReceived);
        port.createreceivethread(); // created, never started
        QVERIFY(pty.write("xyz"));
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(port.startreceivethread(), int(MySerialPort::HandedOver));
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy), QByteArray("xyz"), 5000);
        port.stopreceivethread();
        QVERIFY(!port.receivethreadrunning());
        QVERIFY(pty.write("more"));
        QTest::qWait(100);
        QCOMPARE(joined(spy), QByteArray("xyz"));
    }

    // Bytes that arrive while no reader runs wait in the port up to the
    // in-flight limit, then the line is held back; the reader's start hands
    // them over, and the line is heard again afterwards.
    void fullLineWhileNoReader()
    {
        OPEN_LINE(pty, port);
        QSignalSpy spy(&port, &MySerialPort::mycom_dataReceived);
        engineSetUp(port);
        port.stopreceivethread();
        const QByteArray bytes = pattern(8 * MySerialPort::InFlightLimit);
        // Write what the line takes until it takes nothing more (bounded).
        int written = 0;
        for (int round = 0, idle = 0; round < 100 && idle < 3; ++round) {
            const int before = written;
            for (;;) {
                const ssize_t n = ::write(pty.masterFd(), bytes.constData() + written,
                                          size_t(qMin(4096, bytes.size() - written)));
                if (n <= 0)
                    break;
                written += int(n);
            }
            idle = written == before ? idle + 1 : 0;
            QTest::qWait(10);
        }
        QVERIFY2(written > MySerialPort::InFlightLimit, qPrintable(QString::number(written)));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(port.startreceivethread(), int(MySerialPort::HandedOver));
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy).size() + port.droppedbytes(), qint64(written), 5000);
        QVERIFY(joined(spy).startsWith(bytes.left(MySerialPort::InFlightLimit)));
        QVERIFY(!anyEmpty(spy));
        QCOMPARE(port.inflightbytes(), qint64(0));
        spy.clear();
        QVERIFY(pty.write("heard again"));
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy), QByteArray("heard again"), 5000);
    }

    void closeAndReopenAnother()
    {
        PtyPair first;
        PtyPair second;
        MySerialPort port;
        QVERIFY(port.opencom(first.slavePath()));
        engineSetUp(port);
        QSignalSpy spy(&port, &MySerialPort::mycom_dataReceived);

        port.closecom();
        QVERIFY(!port.isopen());
        QVERIFY(!port.hassendthread());
        QVERIFY(!port.hasreceivethread());
        // Refused while closed, and the reader still counts as started.
        QCOMPARE(port.startreceivethread(), int(MySerialPort::NotOpen));
        QVERIFY(port.opencom(second.slavePath()));
        QCOMPARE(port.getportname(), second.slavePath());
        // The writer and the reader are back, once each.
        QVERIFY(port.hassendthread());
        QVERIFY(port.hasreceivethread());
        QVERIFY(port.receivethreadrunning());
        QCOMPARE(port.startreceivethread(), int(MySerialPort::HandedOver));

        QCOMPARE(port.senddata(QByteArray("frame")), int(MySerialPort::HandedOver));
        QCOMPARE(second.readAtLeast(5), QByteArray("frame"));
        QCOMPARE(first.readAtLeast(1, 200), QByteArray());

        QVERIFY(second.write("reply"));
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy), QByteArray("reply"), 5000);
        QTest::qWait(100);
        QCOMPARE(joined(spy), QByteArray("reply")); // one reader: delivered once
        QVERIFY(first.write("stale"));
        QTest::qWait(100);
        QCOMPARE(joined(spy), QByteArray("reply"));
    }

    void closeDiscardsQueuedBytes()
    {
        OPEN_LINE(pty, port);
        engineSetUp(port);
        // More than the pseudo-terminal holds while nobody reads the master:
        // the writer is still busy with the bulk when the close comes.
        QByteArray bulk(256 * 1024, 'q');
        QCOMPARE(port.senddata(bulk), int(MySerialPort::HandedOver));
        QTest::qWait(200);
        QVERIFY(port.isopen()); // a full line is not a lost device
        port.closecom();
        QCOMPARE(port.senddata(QByteArray("late")), int(MySerialPort::NotOpen));
        // Same device again: only what was sent after the reopen follows the
        // part of the bulk that left before the close.
        QVERIFY(port.opencom(pty.slavePath()));
        QCOMPARE(port.senddata(QByteArray("tail")), int(MySerialPort::HandedOver));
        const QByteArray got = pty.readUntilEndsWith("tail", 10000);
        QVERIFY(got.endsWith("tail"));
        const QByteArray before = got.left(got.size() - 4);
        QCOMPARE(before, QByteArray(before.size(), 'q'));
        QVERIFY2(before.size() < bulk.size(), qPrintable(QString::number(before.size())));
    }

    // The other end goes away: noticed by the failing write, or, on an idle
    // line, by the hang-up the port reports when it becomes readable.
    void peerVanishesWhileOpen_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::addColumn<bool>("reading");
        QTest::newRow("while sending") << true << true;
        QTest::newRow("idle line, reader running") << false << true;
        QTest::newRow("idle line, reader stopped") << false << false;
    }
    void peerVanishesWhileOpen()
    {
        QFETCH(bool, sending);
        QFETCH(bool, reading);
        auto pty = std::make_unique<PtyPair>();
        MySerialPort port;
        QVERIFY(port.opencom(pty->slavePath()));
        engineSetUp(port);
        if (!reading)
            port.stopreceivethread();
        if (sending)
            QCOMPARE(port.senddata(QByteArray(200, 'x')), int(MySerialPort::HandedOver));
        else
            QTest::qWait(20); // the line is idle when the peer goes
        QSignalSpy lost(&port, &MySerialPort::portlost);
        pty.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!port.isopen(), 5000);
        QTRY_COMPARE(lost.size(), 1); // said once, so the link shows as down
        QCOMPARE(port.senddata(QByteArray("x")), int(MySerialPort::NotOpen));
        // The link comes back on another device with its writer and reader.
        PtyPair other;
        QSignalSpy spy(&port, &MySerialPort::mycom_dataReceived);
        QVERIFY(port.opencom(other.slavePath()));
        if (!reading)
            QCOMPARE(port.startreceivethread(), int(MySerialPort::HandedOver));
        QVERIFY(port.receivethreadrunning());
        QCOMPARE(port.senddata(QByteArray("ok")), int(MySerialPort::HandedOver));
        QCOMPARE(other.readAtLeast(2), QByteArray("ok"));
        QVERIFY(other.write("back"));
        QTRY_COMPARE_WITH_TIMEOUT(joined(spy), QByteArray("back"), 5000);
    }

    void destroyedWhileBusy()
    {
        PtyPair pty;
        {
            MySerialPort port;
            QVERIFY(port.opencom(pty.slavePath()));
            engineSetUp(port);
            port.senddata(QByteArray(2000, 'z'));
            QVERIFY(pty.write("incoming"));
        }
        // The device is free again for the next user.
        MySerialPort again;
        QVERIFY(again.opencom(pty.slavePath()));
    }

    void secondOpenOfBusyPortFails()
    {
        PtyPair pty;
        MySerialPort engine;
        QVERIFY(engine.opencom(pty.slavePath()));
        MySerialPort probe;
        QVERIFY(!probe.opencom(pty.slavePath()));
        QVERIFY(engine.isopen());
    }
};

QTEST_GUILESS_MAIN(TestMySerialPort)
#include "tst_myserialport.moc"
