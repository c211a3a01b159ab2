#include "hextext.h"
#include "payloads.h"

#include <QTest>

using namespace payloads;

namespace
{
QByteArray ramp(int n, int start)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((start + i) & 0xFF));
    return b;
}
} // namespace

class TstPayloads : public QObject
{
    Q_OBJECT
private slots:
    // Payloads against hand-worked bytes (blanks removed); a null text means
    // the builder refuses. The senders' test checks one frame of every command
    // on the line; these rows cover the edges of each builder.
    void builders_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << empty() << "00";
        QTest::newRow("gain OUT8 520") << gain(11, 0, 520) << "0417000802";
        QTest::newRow("gain IN-D mute 2 sent as 1") << gain(3, 2, 400) << "0403019001";
        QTest::newRow("gain channel 12 refused") << gain(12, 0, 400) << QString();
        QTest::newRow("delay 700 off") << delay(2, 188, 2, 0) << "0402bc0200";
        QTest::newRow("delay high part bits 8-15") << delay(0, 0x01, 0x1234, 0x80) << "0400013492";
        QTest::newRow("delay refused") << delay(12, 0, 0, 0) << QString();
        QTest::newRow("peq bypassed type 3")
            << peqband(6, 6, 0x83, 398, 450, 0, 40) << "081206 83 8e01 c201 00";
        QTest::newRow("peq bypassed all-pass")
            << peqband(1, 3, 0x85, 1, 300, 9, 41) << "080103 85 0100 0900 ff";
        QTest::newRow("peq band 7 refused") << peqband(0, 7, 0, 0, 0, 0, 0) << QString();
        QTest::newRow("geq IN-A band 0") << geqband(0, 0, 300) << "0400002c01";
        QTest::newRow("geq band 31 refused") << geqband(0, 31, 0) << QString();
        QTest::newRow("bypass byte") << bypass(9, 0x11) << "021511";
        QTest::newRow("bypass refused") << bypass(-3, 0) << QString();
        QTest::newRow("xover kind 5 high-pass") << xover(5, 5, 1, 398) << "0511 00 01 8e01";
        QTest::newRow("xover input refused") << xover(3, 1, 0, 0) << QString();
        QTest::newRow("limit IN-B") << limit(1, 0, 400, 9, 50, 1) << "0801 00 9001 09 3200 01";
        QTest::newRow("limit refused") << limit(12, 0, 0, 0, 0, 0) << QString();
        QTest::newRow("peak limit negative threshold") << peaklimit(0, 0, -1, 1, 1) << "0610 00 ffff 01 01";
        QTest::newRow("peak limit refused") << peaklimit(8, 0, 0, 0, 0) << QString();
        QTest::newRow("output flag refused") << outputflag(-1, 1) << QString();
        QTest::newRow("routing 0 refused") << routing(0, 0) << QString();
        QTest::newRow("links short refused") << links("010204") << QString();
        QTest::newRow("copy low 8 bits") << copy(0x110, 0x201) << "021001";
        QTest::newRow("device lock short padded") << devicelock(3, "3132") << "09033132202020202020";
        QTest::newRow("device lock long cut")
            << devicelock(1, "313233343536373839") << "09013132333435363738";
        QTest::newRow("project lock times high bits dropped")
            << projectlock(0, "3132333435363738", 0x12345) << "0b0031323334353637384523";
        QTest::newRow("project lock short padded") << projectlock(2, "31", 5) << "0b0231202020202020200500";
        QTest::newRow("read program part low 8 bits") << readprogrampart(0x101, 0x119) << "020119";
        QTest::newRow("save name padded")
            << saveprogram(5, "414243") << "1505414243" + QString("20").repeated(17);
        QTest::newRow("logo block 21")
            << logoblock(21, ramp(48, 0xf0)) << "3115" + bytestohex(ramp(48, 0xf0));
        QTest::newRow("logo block 22 refused") << logoblock(22, ramp(48, 0)) << QString();
        QTest::newRow("logo block short refused") << logoblock(0, ramp(47, 0)) << QString();
        QTest::newRow("write part") << writeprogrampart(0, 25, ramp(64, 3))
                                    << "420019" + bytestohex(ramp(64, 3));
        QTest::newRow("write part 26 refused") << writeprogrampart(0, 26, ramp(64, 0)) << QString();
    }
    void builders()
    {
        QFETCH(QString, payload);
        QFETCH(QString, expected);
        if (expected.isNull()) {
            QVERIFY(payload.isNull());
            return;
        }
        QString compact = payload;
        compact.remove(QLatin1Char(' '));
        QString want = expected;
        want.remove(QLatin1Char(' '));
        QCOMPARE(compact.toLower(), want.toLower());
        // The count pair counts the bytes that follow it.
        const QByteArray bytes = hextobytes(payload);
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(int(static_cast<unsigned char>(bytes.at(0))), bytes.size() - 1);
    }

    // Letter case and blanks of the fixed parts are as the processor's frames
    // have always carried them; the bytes are what matters, but keep the text.
    void fixedtexts()
    {
        QVERIFY(readcurrentpart(0).startsWith(QLatin1String("02 00")));
        QVERIFY(links("000000000000000000000000").startsWith(QLatin1String("0C")));
        QVERIFY(projectlock(0, QString(), 0).startsWith(QLatin1String("0b")));
        const QString logo = logoblock(3, ramp(48, 0));
        QVERIFY(logo.startsWith(QLatin1String("31  03  00  01")));
        QCOMPARE(logo.size(), 2 + 49 * 4);
        const QString part = writeprogrampart(7, 2, ramp(64, 0));
        QVERIFY(part.startsWith(QLatin1String("42  07  02  00  01")));
        QCOMPARE(part.size(), 2 + 66 * 4);
    }

    void fir_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<unsigned int>("type");
        QTest::addColumn<unsigned int>("firmode");
        QTest::addColumn<QString>("expected");
        // Fields: param1 0x11, param2 0x22, param3 0x33, order 2, words
        // 0x0101, 0x0202, 0x0303, 0x0404.
        QTest::newRow("flat IIR") << 4 << 0u << 0u << "0810 00 11 02 0101 0202";
        QTest::newRow("hp FIR") << 5 << 1u << 1u << "0811 01 11 82 0101 0202";
        QTest::newRow("bp") << 7 << 3u << 0u << "0813 03 33 02 0303 0404";
        QTest::newRow("type 7 sent as 3") << 11 << 7u << 1u << "0817 03 33 82 0303 0404";
        QTest::newRow("fir mode any non-zero") << 4 << 0u << 9u << "0810 00 11 82 0101 0202";
        QTest::newRow("input refused") << 3 << 0u << 0u << QString();
        QTest::newRow("channel 12 refused") << 12 << 0u << 0u << QString();
    }
    void fir()
    {
        QFETCH(int, channel);
        QFETCH(unsigned int, type);
        QFETCH(unsigned int, firmode);
        QFETCH(QString, expected);
        FirFields f;
        f.type = type;
        f.param1 = 0x11;
        f.param2 = 0x22;
        f.param3 = 0x33;
        f.order = 2;
        f.firmode = firmode;
        f.lowfreq = 0x0101;
        f.highfreq = 0x0202;
        f.lowparam = 0x0303;
        f.highparam = 0x0404;
        const QString got = payloads::fir(channel, f);
        if (expected.isNull()) {
            QVERIFY(got.isNull());
            return;
        }
        expected.remove(QLatin1Char(' '));
        QCOMPARE(got, expected);
    }

    void codes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("routing");
        QTest::newRow("-1") << -1 << -1 << -1 << -1;
        QTest::newRow("0") << 0 << 0x00 << 0x10 << -1;
        QTest::newRow("1") << 1 << 0x01 << 0x11 << 0x10;
        QTest::newRow("4") << 4 << 0x10 << 0x14 << 0x13;
        QTest::newRow("8") << 8 << 0x14 << -1 << 0x17;
        QTest::newRow("11") << 11 << 0x17 << -1 << -1;
        QTest::newRow("12") << 12 << -1 << -1 << -1;
    }
    void codes()
    {
        QFETCH(int, index);
        QFETCH(int, channel);
        QFETCH(int, output);
        QFETCH(int, routing);
        QCOMPARE(channelcode(index), channel);
        QCOMPARE(outputcode(index), output);
        QCOMPARE(routingcode(index), routing);
    }
};

QTEST_GUILESS_MAIN(TstPayloads)
#include "tst_payloads.moc"
