// The stand-in on the network, inside the test namespace: TCP port 6000 on the
// processor host 192.0.2.2 and the UDP discovery on port 9999, reached from
// the application host 192.0.2.1.

#include "standin.h"
#include "standintestutil.h"

#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

using namespace standin;

namespace
{
const QHostAddress kApp(QStringLiteral("192.0.2.1"));
const QHostAddress kProc(QStringLiteral("192.0.2.2"));
const QHostAddress kBroadcast(QStringLiteral("192.0.2.255"));

QByteArray readtcp(QTcpSocket &t, int want, int timeoutMs = 5000)
{
    QByteArray all;
    QElapsedTimer e;
    e.start();
    while (all.size() < want && e.elapsed() < timeoutMs) {
        t.waitForReadyRead(10);
        all += t.readAll();
    }
    return all;
}

// Sends the discovery request as the application does and collects the
// replies: the expected ones however long a busy machine takes to send them
// (within a wide bound), then any that follow within quietMs of the last.
QVector<QNetworkDatagram> discover(const QByteArray &request, const QHostAddress &to, int expected,
                                   int quietMs = 600)
{
    constexpr int kBoundMs = 10000;
    QUdpSocket u;
    if (!u.bind(kApp, 0))
        return {};
    u.writeDatagram(request, to, 9999);
    QVector<QNetworkDatagram> got;
    QElapsedTimer bound;
    bound.start();
    QElapsedTimer quiet;
    quiet.start();
    while (got.size() < expected ? bound.elapsed() < kBoundMs : quiet.elapsed() < quietMs) {
        u.waitForReadyRead(20);
        while (u.hasPendingDatagrams()) {
            got.append(u.receiveDatagram());
            quiet.restart();
        }
    }
    return got;
}
} // namespace

class TestNetStandin : public QObject
{
    Q_OBJECT
    Standin *s = nullptr;
    int line = -1, unit24 = -1, unit20 = -1;

private slots:
    void init()
    {
        s = new Standin;
        line = s->listen(kProc);
        QVERIFY2(line > 0, qPrintable(s->errorstring()));
        unit24 = s->addunit(line, 0x18, 1);
        unit20 = s->addunit(line, 0x14, 2);
    }

    void cleanup()
    {
        delete s;
        s = nullptr;
    }

    void tcpconnect()
    {
        QTcpSocket t;
        QVERIFY(t.bind(kApp, 0));
        t.connectToHost(kProc, 6000);
        QVERIFY(t.waitForConnected(5000));
        QTRY_COMPARE(s->connectioncount(line), 1);
        // Two identical connect frames, as the application sends them.
        const QByteArray connect = commandframe(0x18, 1, 0x02, QByteArray());
        t.write(connect + connect);
        const QByteArray reply = hx("44 55 66 18 01 02 06 01 00 00 00 00 00 0a 11 22 33");
        QCOMPARE(readtcp(t, 34).toHex(' '), (reply + reply).toHex(' '));
        QTRY_COMPARE(s->replies(unit24).size(), 2);
        const auto r = s->replies(unit24);
        // Written apart, so that each reaches the application in a read of its own.
        QVERIFY(r[1].ns - r[0].ns >= 3000000);
        // A parameter change and its read-back.
        t.write(commandframe(0x18, 1, 0x53, hx("10 0c")));
        QCOMPARE(readtcp(t, 11).mid(5, 1), hx("53"));
        QCOMPARE(quint8(s->state(unit24).image[1161]), quint8(0x0c));
        t.write(commandframe(0x18, 1, 0x61, hx("00 12")));
        const QByteArray part = readtcp(t, 77);
        QCOMPARE(part.mid(9, 64), s->state(unit24).image.mid(18 * 64, 64));
    }

    void discovery_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("answered");

        QTest::newRow("directed broadcast") << QByteArray("AreYouTavisenLink?") << true;
        QTest::newRow("without the question mark") << QByteArray("AreYouTavisenLink") << false;
        QTest::newRow("with a line feed") << QByteArray("AreYouTavisenLink?\n") << false;
    }

    void discovery()
    {
        QFETCH(QByteArray, request);
        QFETCH(bool, answered);
        // A second network line on loopback must not answer on the test network.
        QVERIFY(s->listen(QHostAddress(QStringLiteral("127.0.0.1")), 0, 9999) > 0);
        const auto got = discover(request, kBroadcast, answered ? 1 : 0);
        QCOMPARE(got.size(), answered ? 1 : 0);
        if (answered) {
            QCOMPARE(got[0].data(), QByteArray("iAmTavisenLink!\nmr700"));
            QCOMPARE(got[0].senderAddress(), kProc);
        }
        QTRY_VERIFY(!s->frames().isEmpty());
        QCOMPARE(s->frames().first().bytes, request);
    }

    void discoveryfaults()
    {
        Fault f;
        f.command = Fault::Discovery;
        f.times = 1;
        f.kind = Fault::NoReply;
        s->addfault(f);
        QCOMPARE(discover("AreYouTavisenLink?", kBroadcast, 0).size(), 0);
        f.kind = Fault::Duplicate;
        s->addfault(f);
        QCOMPARE(discover("AreYouTavisenLink?", kBroadcast, 2).size(), 2);
        f.kind = Fault::OtherAddress;
        f.otherHost = kApp;
        s->addfault(f);
        const auto got = discover("AreYouTavisenLink?", kBroadcast, 1);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].senderAddress(), kApp);
    }
};

QTEST_GUILESS_MAIN(TestNetStandin)
#include "tst_net_standin.moc"
