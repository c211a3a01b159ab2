#include "commandframe.h"
#include "hextext.h"

#include <QtTest>

class TestCommandFrame : public QObject
{
    Q_OBJECT
private slots:
    // Frames worked out by hand: text as built, bytes as they go on the line.
    void frame_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("find 18/01") << 0x18 << 0x01 << 0x01 << "00"
                                    << "1122331801010002445566"
                                    << QByteArray::fromHex("11223318010100 02 445566");
        QTest::newRow("program name 18/20, sum masked")
            << 0x18 << 0x20 << 0x64 << "0105"
            << "11223318206401050a445566" << QByteArray::fromHex("112233182064 0105 0A 445566");
        // OUT2 at gain raw 400, not muted: 03+50+04+11+00+90+01 = f9 -> 79
        QTest::newRow("gain") << 0x18 << 0x03 << 0x50 << "0411009001"
                              << "112233180350041100900179445566"
                              << QByteArray::fromHex("112233 18 03 50 0411009001 79 445566");
        // 48000 samples, delay on: 20+51+04+10+80+bb+80 = 240 -> 40
        QTest::newRow("delay, sum wraps twice")
            << 0x18 << 0x20 << 0x51 << "041080bb80"
            << "112233182051041080bb8040445566"
            << QByteArray::fromHex("112233 18 20 51 041080bb80 40 445566");
        // current part 25 with the fixed "02 00": 02+61+02+00+19 = 7e
        QTest::newRow("read part, blank in payload")
            << 0x14 << 0x02 << 0x61 << "02 0019"
            << "11223314026102 00197e445566" << QByteArray::fromHex("112233 14 02 61 020019 7e 445566");
        // upper-case digits pass through the text unchanged: 01+54+0c+(0+..+11=42) = a3 -> 23
        QTest::newRow("links, upper case")
            << 0x16 << 0x01 << 0x54 << "0C000102030405060708090A0B"
            << "1122331601540C000102030405060708090A0B23445566"
            << QByteArray::fromHex("112233160154 0c000102030405060708090a0b 23 445566");
        // logo style: two blanks before each byte; 01+13+02+05+ff = 11a -> 1a
        QTest::newRow("empty payload") << 0x18 << 0x00 << 0x00 << QString() << "11223318000000445566"
                                       << QByteArray::fromHex("112233 18 00 00 00 445566");
    }
    void frame()
    {
        QFETCH(int, type);
        QFETCH(int, address);
        QFETCH(int, command);
        QFETCH(QString, payload);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const QString built = buildcommandframe(uchar(type), uchar(address), uchar(command), payload);
        QCOMPARE(built, text);
        QCOMPARE(hextobytes(built), bytes);
        QCOMPARE(hextobytes(built).size(), hextobytes(payload).size() + 10);
    }

    void checksum_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("sum");
        QTest::newRow("empty") << QString() << "00";
        QTest::newRow("ff 7f") << "ff7f"
                               << "7e";
        QTest::newRow("bit 7 masked") << "80"
                                      << "00";
        QTest::newRow("mod 256 then mask") << "ff01"
                                           << "00";
        QTest::newRow("lone last digit ignored") << "01010"
                                                 << "02";
    }
    void checksum()
    {
        QFETCH(QString, body);
        QFETCH(QString, sum);
        QCOMPARE(commandchecksum(body), sum);
    }
};

QTEST_APPLESS_MAIN(TestCommandFrame)
#include "tst_commandframe.moc"
