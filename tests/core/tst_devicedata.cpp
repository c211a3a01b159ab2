#include "devicedata.h"
#include "devicedatatestutil.h"
#include "programimage.h"

#include <QtTest>

#include <memory>

namespace
{

QString hexof(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

// A full program packet reply: one unused byte, the packet index, 64 bytes.
QString packetreply(int index, char fill)
{
    QByteArray data;
    data.append('\0');
    data.append(static_cast<char>(index));
    data.append(QByteArray(64, fill));
    return hexof(data);
}

QByteArray receivedimage(DeviceData &d)
{
    d.applyreceivedimage();
    return currentimage(d);
}

QString readflags(const DeviceData &d)
{
    // The flags are visible through the first missing packet and whether all arrived.
    return QStringLiteral("%1/%2").arg(d.countreadflags()).arg(d.allpacketsread() ? 1 : 0);
}

// A record holding the power-on program with bytes replaced at offset.
std::unique_ptr<DeviceData> recordwith(int offset, const QByteArray &bytes)
{
    auto d = std::make_unique<DeviceData>();
    QByteArray image = poweronimage();
    image.replace(offset, bytes.size(), bytes);
    setcurrentimage(*d, image);
    d->unpackprogram();
    return d;
}

} // namespace

class TestDeviceData : public QObject
{
    Q_OBJECT
private slots:
    // A new record holds the power-on program and nothing received.
    void newRecord()
    {
        auto d = std::make_unique<DeviceData>();
        QCOMPARE(d->getdevicename(), QStringLiteral("PC Init Data"));
        QCOMPARE(d->getprogramname(), QStringLiteral("PROGRAM             "));
        QCOMPARE(d->getnamerecordname(44), QString(20, QLatin1Char(' ')));
        QCOMPARE(d->countreadflags(), 0);
        QCOMPARE(d->countwriteacks(), 0);
        QVERIFY(!d->inputlinked());
        QVERIFY(!d->outputlinked());
        QCOMPARE(currentimage(*d), poweronimage());
        QCOMPARE(writeimage(*d), QByteArray(kProgramImageSize, '\0'));
        QCOMPARE(receivedimage(*d), QByteArray(kProgramImageSize, '\0'));
    }

    void programName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("short") << "AB"
                               << "AB                  ";
        QTest::newRow("25 cut to 20") << "ABCDEFGHIJKLMNOPQRSTUVWXY"
                                      << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("latin-1") << QString::fromUtf8("Salle \xc3\xa9t\xc3\xa9")
                                 << QString::fromUtf8("Salle \xc3\xa9t\xc3\xa9") +
                                        QString(11, QLatin1Char(' '));
        QTest::newRow("outside latin-1")
            << QString::fromUtf8("\xe9\x9f\xb3") << "?" + QString(19, QLatin1Char(' '));
        QTest::newRow("NUL ends the name") << QString::fromLatin1("AB\0CD", 5) << "AB";
    }
    void programName()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        auto d = std::make_unique<DeviceData>();
        d->setprogramname(name);
        QCOMPARE(d->getprogramname(), stored);
    }

    void peqTypeAndBypass_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("arg");
        QTest::addColumn<int>("after");
        QTest::newRow("type keeps bypass") << 0x81 << "type" << 3 << 0x83;
        QTest::newRow("bypass on clears bits 4-6") << 0x73 << "bypass" << 1 << 0x83;
        QTest::newRow("bypass off") << 0x83 << "bypass" << 0 << 0x03;
    }
    void peqTypeAndBypass()
    {
        QFETCH(int, before);
        QFETCH(QString, op);
        QFETCH(int, arg);
        QFETCH(int, after);
        auto d = recordwith(57 + 54 * 6 + 6 * 2, QByteArray(1, char(before)));
        QCOMPARE(d->getpeqtypebyte(6, 2), before);
        if (op == "type")
            d->setpeqtype(6, 2, arg);
        else
            d->setpeqbypass(6, 2, arg != 0);
        QCOMPARE(d->getpeqtypebyte(6, 2), after);
        QCOMPARE(d->getpeqtype(6, 2), after & 0x0F);
        QCOMPARE(d->getpeqbypass(6, 2), (after & 0x80) != 0);
    }

    void graphicEqWord_data()
    {
        QTest::addColumn<int>("gain");
        QTest::addColumn<bool>("pass");
        QTest::addColumn<int>("word");
        QTest::newRow("plain") << 300 << false << 300;
        QTest::newRow("pass") << 300 << true << 0x812C;
        QTest::newRow("bit 15 in gain, pass") << 0x812C << true << 0x812C;
    }
    void graphicEqWord()
    {
        QFETCH(int, gain);
        QFETCH(bool, pass);
        QFETCH(int, word);
        auto d = std::make_unique<DeviceData>();
        d->setgeq(11, 30, gain, pass);
        QCOMPARE(d->getgeqword(11, 30), word);
        QCOMPARE(d->getgeqgain(11, 30), word & 0x7FFF);
        QCOMPARE(d->getgeqpass(11, 30), pass);
        QCOMPARE(d->getgeqword(11, 29), 300); // neighbour untouched
    }

    void smallAccessors()
    {
        auto d = std::make_unique<DeviceData>();
        d->setdelay(3, 700);
        QCOMPARE(d->getdelaylow(3), 188);
        QCOMPARE(d->getdelayhigh(3), 2);
        QCOMPARE(d->getdelay(3), 700);

        QCOMPARE(DeviceData::makeword15(0x34, 0x92), 4660);
    }

    void bypassByte_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<bool>("geq");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("after");
        QTest::newRow("peq on") << 0x1E << false << true << 0x11;
        QTest::newRow("peq off") << 0xFF << false << false << 0xF0;
        QTest::newRow("geq off") << 0xFF << true << false << 0x0F;
    }
    void bypassByte()
    {
        QFETCH(int, before);
        QFETCH(bool, geq);
        QFETCH(bool, on);
        QFETCH(int, after);
        auto d = recordwith(953 + 7, QByteArray(1, char(before)));
        QCOMPARE(d->getbypassbyte(7), before);
        if (geq)
            d->setgeqbypassall(7, on);
        else
            d->setpeqbypassall(7, on);
        QCOMPARE(d->getbypassbyte(7), after);
        QCOMPARE(d->getpeqbypassall(7), (after & 1) != 0);
        QCOMPARE(d->getgeqbypassall(7), (after & 0x10) != 0);
    }

    void routing_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("input"); // 0 = IN-A .. 3 = IN-D; 10 + n: setroutebit with input n
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("after");
        QTest::newRow("IN-B off on 0xFF") << 0xFF << 1 << false << 0x0B;
        QTest::newRow("IN-A on on 0x03") << 0x03 << 0 << true << 0x0B;
        QTest::newRow("IN-D on") << 0x00 << 3 << true << 0x01;
        QTest::newRow("bit IN-A off on 0xFF") << 0xFF << 11 << false << 0x07;
        QTest::newRow("bit IN-D on") << 0x08 << 14 << true << 0x09;
        QTest::newRow("bit input 0 ignored") << 0x05 << 10 << true << 0x05;
        QTest::newRow("bit input 5 ignored") << 0x05 << 15 << false << 0x05;
    }
    void routing()
    {
        QFETCH(int, before);
        QFETCH(int, input);
        QFETCH(bool, on);
        QFETCH(int, after);
        auto d = recordwith(1161 + 4, QByteArray(1, char(before)));
        void (DeviceData::*const set[])(int, bool) = {&DeviceData::setrouteina, &DeviceData::setrouteinb,
                                                      &DeviceData::setrouteinc, &DeviceData::setrouteind};
        if (input < 4)
            (d.get()->*set[input])(4, on);
        else
            d->setroutebit(4, input - 10, on);
        QCOMPARE(d->getroutebyte(4), after);
        // The expanded booleans mirror the byte.
        QCOMPARE(d->getrouteina(4), (after & 8) != 0);
        QCOMPARE(d->getrouteinb(4), (after & 4) != 0);
        QCOMPARE(d->getrouteinc(4), (after & 2) != 0);
        QCOMPARE(d->getrouteind(4), (after & 1) != 0);
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(d->getroutebit(4, n), (after >> (4 - n)) & 1);
        QCOMPARE(d->getroutebit(4, 0), 0);
        QCOMPARE(d->getroutebit(4, 5), 0);
        QCOMPARE(d->getroutebyte(3), 0);
    }

    void linkTests_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<bool>("inputs");
        QTest::addColumn<bool>("outputs");
        QTest::newRow("none") << QByteArray::fromHex("01020408"
                                                     "0102040810204080")
                              << false << false;
        QTest::newRow("inputs 3,3") << QByteArray::fromHex("03030408"
                                                           "0102040810204080")
                                    << true << false;
        QTest::newRow("outputs") << QByteArray::fromHex("01020408"
                                                        "0302040810204080")
                                 << false << true;
        QTest::newRow("zeros") << QByteArray(12, '\0') << true << true;
    }
    void linkTests()
    {
        QFETCH(QByteArray, masks);
        QFETCH(bool, inputs);
        QFETCH(bool, outputs);
        auto d = recordwith(1293, masks);
        QCOMPARE(d->inputlinked(), inputs);
        QCOMPARE(d->outputlinked(), outputs);
    }

    // Program packets (reply 0x61): the index comes from the processor.
    void storepacket_data()
    {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<int>("packet"); // where the data lands; -1: nowhere
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("flags");
        const QByteArray full(64, '\x5a');
        QTest::newRow("packet 3") << QStringList{packetreply(3, 0x5a)} << 3 << full << "0/0";
        QTest::newRow("packet 0") << QStringList{packetreply(0, 0x5a)} << 0 << full << "1/0";
        QTest::newRow("one byte: packet 0 zeros") << QStringList{"aa"} << 0 << QByteArray(64, '\0') << "1/0";
        QTest::newRow("short data padded with zeros")
            << QStringList{"00 02 aa bb"} << 2 << QByteArray::fromHex("aabb").append(QByteArray(62, '\0'))
            << "0/0";
        QTest::newRow("long data cut at 64")
            << QStringList{packetreply(24, 0x11) + QString("22").repeated(200)} << 24
            << QByteArray(64, '\x11') << "0/0";
        QTest::newRow("odd length drops the lone digit")
            << QStringList{"0001" + QString("33").repeated(64) + "4"} << 1 << QByteArray(64, '\x33') << "0/0";
        QTest::newRow("not hex") << QStringList{"zz01" + QString("xy").repeated(64)} << 1
                                 << QByteArray(64, static_cast<char>((16 * -1 - 1) & 0xFF)) << "0/0";
        QStringList all;
        for (int p = 25; p >= 0; --p)
            all << packetreply(p, 0x5a);
        QTest::newRow("all 26") << all << -2 << QByteArray(kProgramImageSize, '\x5a') << "26/1";
    }
    void storepacket()
    {
        QFETCH(QStringList, replies);
        QFETCH(int, packet);
        QFETCH(QByteArray, data);
        QFETCH(QString, flags);
        auto d = std::make_unique<DeviceData>();
        const QByteArray curbefore = currentimage(*d);
        for (const QString &r : replies)
            d->storepacket(r);
        QCOMPARE(readflags(*d), flags);
        QCOMPARE(currentimage(*d), curbefore); // only the receive buffer changes
        QByteArray expected(kProgramImageSize, '\0');
        if (packet >= 0)
            expected.replace(packet * 64, 64, data);
        else if (packet == -2)
            expected = data;
        QCOMPARE(receivedimage(*d).toHex(), expected.toHex());
        // A rejected packet sets no flag: packets 0..25 are all still missing.
        if (packet == -1)
            QCOMPARE(d->countreadflags(), 0);
        if (packet > 0) {
            // Its flag is set: filling the packets before it completes the prefix.
            for (int p = 0; p < packet; ++p)
                d->storepacket(packetreply(p, 0));
            QCOMPARE(d->countreadflags(), packet + 1 == 26 ? 26 : packet + 1);
        }
    }

    void readFlagCount()
    {
        auto d = std::make_unique<DeviceData>();
        for (int p : {0, 1, 2, 4})
            d->storepacket(packetreply(p, 1));
        QCOMPARE(d->countreadflags(), 3);
        QVERIFY(!d->allpacketsread());
        d->clearreadflags();
        QCOMPARE(d->countreadflags(), 0);
    }

    // Write acknowledgements (reply 0x60).
    void setwriteack_data()
    {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("all");
        QTest::newRow("packet 0") << QStringList{"0000"} << 1 << false;
        QTest::newRow("packet 1 only") << QStringList{"0001"} << 0 << false;
        QTest::newRow("empty reads packet 0") << QStringList{""} << 1 << false;
        QTest::newRow("blanks as the tool bar writes them") << QStringList{"  00  19"} << 0 << false;
        QStringList all;
        for (int p = 0; p < 26; ++p)
            all << QStringLiteral("  00  %1").arg(p, 2, 16, QLatin1Char('0'));
        QTest::newRow("all 26") << all << 26 << true;
        all.removeAt(7);
        all << "001b";
        QTest::newRow("one missing") << all << 7 << false;
    }
    void setwriteack()
    {
        QFETCH(QStringList, replies);
        QFETCH(int, count);
        QFETCH(bool, all);
        auto d = std::make_unique<DeviceData>();
        for (const QString &r : replies)
            d->setwriteack(r);
        QCOMPARE(d->countwriteacks(), count);
        QCOMPARE(d->allwriteacked(), all);
        d->clearwriteacks();
        QCOMPARE(d->countwriteacks(), 0);
    }

    // Indexes from the processor outside 0..25: the record is left exactly as
    // it was, byte for byte (a write beside an array shows here too).
    void hostileindexes_data()
    {
        QTest::addColumn<int>("which"); // 0 write ack, 1 program packet
        QTest::addColumn<int>("index");
        for (int which : {0, 1})
            for (int index : {26, 0x80, 0xc8, 0xff})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(which ? "packet" : "ack").arg(index)))
                    << which << index;
    }
    void hostileindexes()
    {
        QFETCH(int, which);
        QFETCH(int, index);
        auto d = std::make_unique<DeviceData>();
        const auto raw = [&d]() { return QByteArray(reinterpret_cast<const char *>(d.get()), sizeof(DeviceData)); };
        const QByteArray before = raw();
        const QString reply = QStringLiteral("00%1").arg(index, 2, 16, QLatin1Char('0')) + QString("ff").repeated(64);
        if (which == 0)
            d->setwriteack(reply);
        else
            d->storepacket(reply);
        QVERIFY(raw() == before);
    }

    // Program names (reply 0x64).
    void setnamerecord_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("record"); // -1: no record changes
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("used");
        QTest::addColumn<QString>("name");
        const QString name = hexof(QByteArray("Stage left          "));
        QTest::newRow("first") << "0101" + name << 0 << 1 << true << "Stage left          ";
        QTest::newRow("last (45)") << "2d00" + name << 44 << 45 << false << "Stage left          ";
        QTest::newRow("number 46 ignored") << "2e01" + name << -1 << 0 << false << "";
        QTest::newRow("number 0 ignored") << "0001" + name << -1 << 0 << false << "";
        QTest::newRow("empty ignored") << "" << -1 << 0 << false << "";
        QTest::newRow("short: name ends at the missing bytes") << "03014142" << 2 << 3 << true << "AB";
        QTest::newRow("number only") << "05" << 4 << 5 << false << "";
        QTest::newRow("long: 20 name bytes")
            << "0601" + name + "4142434445" << 5 << 6 << true << "Stage left          ";
        QTest::newRow("latin-1") << "0801" + hexof(QByteArray("Caf\xe9")) << 7 << 8 << true
                                 << QString::fromUtf8("Caf\xc3\xa9");
    }
    void setnamerecord()
    {
        QFETCH(QString, reply);
        QFETCH(int, record);
        QFETCH(int, number);
        QFETCH(bool, used);
        QFETCH(QString, name);
        auto d = std::make_unique<DeviceData>();
        d->setnamerecord(reply);
        for (int k = 0; k < 45; ++k) {
            if (k == record) {
                QCOMPARE(d->getnamerecordnum(k), number);
                QCOMPARE(d->getnamerecordused(k), used);
                QCOMPARE(d->getnamerecordname(k), name);
            } else {
                QCOMPARE(d->getnamerecordnum(k), 0);
                QVERIFY(!d->getnamerecordused(k));
                QCOMPARE(d->getnamerecordname(k), QString(20, QLatin1Char(' ')));
            }
        }
        // Nothing else of the record changed.
        auto fresh = std::make_unique<DeviceData>();
        QCOMPARE(d->getprogramname(), fresh->getprogramname());
        QCOMPARE(imagefields(*d), imagefields(*fresh));
        QCOMPARE(d->getcurprogramnum(), 0);
    }

    // Mute report (reply 0x57).
    void setmutesfromhex_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("mutes");
        QTest::newRow("twelve") << "010001000100010001000100"
                                << QByteArray::fromHex("010001000100010001000100");
        QTest::newRow("short: missing read 0") << "010101" << QByteArray::fromHex("010101000000000000000000");
        QTest::newRow("empty") << "" << QByteArray(12, '\0');
        QTest::newRow("long") << QString("01").repeated(40) << QByteArray(12, '\x01');
    }
    void setmutesfromhex()
    {
        QFETCH(QString, reply);
        QFETCH(QByteArray, mutes);
        auto d = std::make_unique<DeviceData>();
        d->setmutesfromhex(reply);
        for (int c = 0; c < 12; ++c)
            QCOMPARE(d->getmute(c), int(quint8(mutes.at(c))));
        QCOMPARE(d->getgain(11), 400);
    }

    void imageTransfers()
    {
        auto d = std::make_unique<DeviceData>();
        for (int p = 0; p < 26; ++p)
            d->storepacket(packetreply(p, static_cast<char>(p + 1)));
        d->storereceivedprogram(30);
        d->storereceivedprogram(0);  // no such program: ignored
        d->storereceivedprogram(31); // no such program: ignored
        QCOMPARE(d->getstoredbyte(29, 0), 1);
        QCOMPARE(d->getstoredbyte(29, 1663), 26);
        QCOMPARE(d->getstoredbyte(0, 0), 0);
        d->stagestoredprogram(30);
        QCOMPARE(d->getstagingbyte(25, 63), 26);
        QCOMPARE(d->getstagingbyte(26, 0), 0);
        QCOMPARE(d->getstagingbyte(0, 64), 0);
        d->stagecurimage();
        QCOMPARE(d->getstagingbyte(0, 0), 1); // template header
        d->applyreceivedimage();
        QCOMPARE(d->getcurimagebyte(64), 2);
        d->setstoredbyte(3, 5, 0x77);
        QCOMPARE(d->getstoredbyte(3, 5), 0x77);
        d->setstoredbyte(30, 0, 1);
        d->setstoredbyte(-1, 0, 1);
        d->setcurimagebyte(1664, 1);
        d->setcurimagebyte(-1, 1);
        QCOMPARE(d->getcurimagebyte(1664), 0);
        QCOMPARE(d->getcurimagebyte(-1), 0);
        QCOMPARE(d->getwriteimagebyte(1664), 0);
    }
};

QTEST_GUILESS_MAIN(TestDeviceData)
#include "tst_devicedata.moc"
