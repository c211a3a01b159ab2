#include "devicedata.h"
#include "devicedatatestutil.h"
#include "programimage.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace
{

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

struct TemplateRow {
    QString name;
    int offset;
    QByteArray bytes;
};

// The power-on template's table, written out by hand region by region: each
// row is an offset and the bytes expected there.
QVector<TemplateRow> templaterows()
{
    QVector<TemplateRow> rows;
    rows.append({"header and name", 0,
                 QByteArray("\x01"
                            "12                  ")});
    for (int c = 0; c < 4; ++c)
        rows.append({QStringLiteral("IN%1 mute and gain").arg(c), 21 + 3 * c, hex("019001")});
    for (int c = 4; c < 12; ++c)
        rows.append({QStringLiteral("OUT%1 mute and gain").arg(c - 3), 21 + 3 * c, hex("009001")});
    const QByteArray inpeq = hex("003b002c011a"
                                 "005f002c011a"
                                 "0082002c011a"
                                 "00a6002c011a"
                                 "00ca002c011a"
                                 "00ee002c011a"
                                 "0012012c011a"
                                 "0036012c011a"
                                 "005a012c011a");
    const QByteArray outpeq = hex("005b002c011a"
                                  "006e002c011a"
                                  "0080002c011a"
                                  "0093002c011a"
                                  "00a6002c011a"
                                  "00b9002c011a"
                                  "00cc002c011a"
                                  "00df002c011a"
                                  "00f2002c011a");
    for (int c = 0; c < 4; ++c)
        rows.append({QStringLiteral("IN%1 parametric slots").arg(c), 57 + 54 * c, inpeq});
    for (int c = 4; c < 12; ++c)
        rows.append({QStringLiteral("OUT%1 parametric slots").arg(c - 3), 57 + 54 * c, outpeq});
    for (int c = 0; c < 4; ++c)
        rows.append({QStringLiteral("IN%1 graphic EQ").arg(c), 705 + 62 * c, hex("2c01").repeated(31)});
    rows.append({"bypass", 953, QByteArray(12, '\0')});
    for (int o = 0; o < 8; ++o)
        rows.append({QStringLiteral("OUT%1 filters").arg(o + 1), 965 + 6 * o,
                     o % 2 == 0 ? hex("004800000701") : hex("000701008e01")});
    for (int o = 0; o < 8; ++o)
        rows.append(
            {QStringLiteral("OUT%1 crossover").arg(o + 1), 1013 + 13 * o, hex("00020002001c011c01be008001")});
    rows.append({"delay, switches, routing", 1117, QByteArray(36 + 8 + 8, '\0')});
    for (int c = 0; c < 12; ++c)
        rows.append({QStringLiteral("limiter %1").arg(c), 1169 + 7 * c, hex("00900102320001")});
    for (int o = 0; o < 8; ++o)
        rows.append({QStringLiteral("OUT%1 peak limiter").arg(o + 1), 1253 + 5 * o, hex("0090010101")});
    rows.append({"link masks", 1293,
                 hex("01020408"
                     "0102040810204080")});
    rows.append({"rest", 1305, QByteArray(359, '\0')});
    return rows;
}

// Offsets of the high bytes of every 15-bit value the model decodes (the
// graphic EQ words keep bit 15, the delay's third byte carries its flag).
QList<int> fifteenbithighbytes()
{
    QList<int> offsets;
    for (int c = 0; c < 12; ++c)
        offsets << 21 + 3 * c + 2;
    for (int c = 0; c < 12; ++c)
        for (int b = 0; b < 7; ++b)
            offsets << 57 + 54 * c + 6 * b + 2 << 57 + 54 * c + 6 * b + 4;
    for (int o = 0; o < 8; ++o)
        offsets << 965 + 6 * o + 2 << 965 + 6 * o + 5;
    for (int o = 0; o < 8; ++o)
        offsets << 1013 + 13 * o + 6 << 1013 + 13 * o + 8 << 1013 + 13 * o + 10 << 1013 + 13 * o + 12;
    for (int c = 0; c < 12; ++c)
        offsets << 1169 + 7 * c + 2 << 1169 + 7 * c + 5;
    for (int o = 0; o < 8; ++o)
        offsets << 1253 + 5 * o + 2;
    return offsets;
}

// An image every byte of which survives unpack then pack: header 1 and bit 7
// clear in the high byte of every 15-bit value; all other bytes as given.
QByteArray canonical(QByteArray image)
{
    image[0] = 1;
    for (int off : fifteenbithighbytes())
        image[off] = static_cast<char>(image.at(off) & 0x7F);
    return image;
}

QByteArray randomimage(quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = static_cast<char>(gen.bounded(256));
    return image;
}

std::unique_ptr<DeviceData> recordwithimage(const QByteArray &image)
{
    auto d = std::make_unique<DeviceData>();
    setcurrentimage(*d, image);
    d->unpackprogram();
    return d;
}

// A model whose every field the image holds is drawn from gen: anywhere the
// field's bytes reach (wide), or only within the ranges the pages set, where
// the fields the pages never change keep their defaults.
std::unique_ptr<DeviceData> randommodel(QRandomGenerator &gen, bool wide)
{
    // Below `bytes` when wide, else from lo up to (not with) hi.
    const auto draw = [&gen, wide](int bytes, int lo, int hi) { return wide ? gen.bounded(bytes) : gen.bounded(lo, hi); };
    auto a = std::make_unique<DeviceData>();
    for (int c = 0; c < 12; ++c) {
        a->setmute(c, gen.bounded(2));
        a->setgain(c, gen.bounded(521));
        for (int b = 0; b < 7; ++b) {
            const int type = draw(8, 0, 6);
            a->setpeqtype(c, b, type);
            a->setpeqbypass(c, b, gen.bounded(2) == 1);
            a->setpeqfreq(c, b, gen.bounded(399));
            a->setpeqgain(c, b, type == 5 ? 300 : gen.bounded(451));
            a->setpeqwidth(c, b, gen.bounded(41));
            if (type == 5)
                a->setpeqallpass(c, b, gen.bounded(399));
        }
        for (int b = 0; b < 31; ++b)
            a->setgeq(c, b, draw(601, 0, 451), gen.bounded(2) == 1);
        a->setpeqbypassall(c, gen.bounded(2) == 1);
        a->setgeqbypassall(c, gen.bounded(2) == 1);
        a->setdelay(c, draw(0x7FFFFF + 1, 0, 48001));
        a->setdelayflag(c, gen.bounded(2) ? 0x80 : 0);
        a->setlimitknee(c, draw(256, 0, 7));
        a->setlimitthreshold(c, draw(0x8000, 0, 401));
        a->setlimitratio(c, draw(256, 0, 10));
        a->setlimitattack(c, draw(0x8000, 50, 6001));
        a->setlimitrelease(c, draw(256, 1, 200));
    }
    for (int o = 0; o < 8; ++o) {
        a->sethpftype(o, draw(256, 0, 13));
        a->sethpffreq(o, gen.bounded(399));
        a->setlpftype(o, draw(256, 0, 13));
        a->setlpffreq(o, gen.bounded(399));
        a->setxobyte0(o, draw(256, 0, 4));
        a->setfirorder(o, gen.bounded(128));
        a->setfirflag(o, gen.bounded(2));
        a->setfirlowfreq(o, draw(0x8000, 190, 399));
        a->setfirhighfreq(o, draw(0x8000, 190, 399));
        if (wide) {
            a->setfirlowparam(o, gen.bounded(0x8000));
            a->setfirhighparam(o, gen.bounded(0x8000));
        }
        a->setfirparam1(o, gen.bounded(256));
        if (wide) {
            a->setfirparam2(o, gen.bounded(256));
            a->setfirparam3(o, gen.bounded(256));
        }
        a->setpeaklimiton(o, gen.bounded(2));
        a->setpeaklimitvalue(o, draw(0x8000, 0, 401));
        a->setpeaklimita(o, draw(256, 1, 101));
        a->setpeaklimitb(o, draw(256, 1, 21));
        a->setoutflag(o, draw(256, 0, 2));
        a->setrouteina(o, gen.bounded(2) == 1);
        if (wide)
            a->setrouteinb(o, gen.bounded(2) == 1);
        a->setrouteinc(o, gen.bounded(2) == 1);
        if (wide)
            a->setrouteind(o, gen.bounded(2) == 1);
    }
    return a;
}

} // namespace

class TestProgramImage : public QObject
{
    Q_OBJECT
private slots:
    // The one layout table against the layout written out by hand: every byte
    // of the image belongs to exactly one decoded field, except the bytes
    // the model keeps as they are; the delay's on-flag shares its byte.
    void layouttable()
    {
        QVector<int> owners(kProgramImageSize, 0);
        for (const DeviceData::ImageField &f : DeviceData::imagefields())
            for (int i = 0; i < f.records(); ++i)
                for (int k = 0; k < f.size(); ++k)
                    ++owners[f.position(i) + k];
        QVector<int> expected(kProgramImageSize, 1);
        expected[0] = 0; // header
        for (int k = 1; k <= 20; ++k)
            expected[k] = 0; // program name
        for (int c = 0; c < 12; ++c)
            for (int k = 57 + 54 * c + 42; k < 57 + 54 * (c + 1); ++k)
                expected[k] = 0; // parametric slots 7 and 8
        for (int c = 0; c < 12; ++c)
            expected[1117 + 3 * c + 2] = 2; // delay high byte and its on-flag
        for (int k = 1305; k < kProgramImageSize; ++k)
            expected[k] = 0; // the tail
        for (int k = 0; k < kProgramImageSize; ++k)
            QVERIFY2(owners[k] == expected[k], qPrintable(QStringLiteral("byte %1").arg(k)));
    }

    // Every field, every record: a value written into the image at the
    // table's place comes back from decoding and packing at that place only.
    void everyfieldroundtrips()
    {
        const QByteArray base = poweronimage();
        for (const DeviceData::ImageField &f : DeviceData::imagefields()) {
            for (int i = 0; i < f.records(); ++i) {
                QByteArray image = base;
                const int at = f.position(i);
                const QByteArray value = f.size() == 2 ? QByteArray::fromHex("3412") : QByteArray::fromHex("5a");
                if (f.coding == DeviceData::Coding::Flag80)
                    image[at] = char(image[at] ^ 0x80);
                else
                    image.replace(at, value.size(), value);
                auto d = std::make_unique<DeviceData>();
                for (int k = 0; k < kProgramImageSize; ++k)
                    d->setcurimagebyte(k, quint8(image.at(k)));
                d->unpackprogram();
                d->packprogram();
                QByteArray packed(kProgramImageSize, '\0');
                for (int k = 0; k < kProgramImageSize; ++k)
                    packed[k] = char(d->getwriteimagebyte(k));
                QVERIFY2(packed == image, qPrintable(QStringLiteral("%1 record %2").arg(f.name).arg(i)));
            }
        }
    }

    // The power-on template against its table, written out by hand region by
    // region: each row is an offset and the bytes expected there.
    void powerOnTemplate_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        for (const TemplateRow &row : templaterows())
            QTest::newRow(qPrintable(row.name)) << row.offset << row.bytes;
    }
    void powerOnTemplate()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const QByteArray image = poweronimage();
        QCOMPARE(image.size(), 1664);
        QCOMPARE(image.mid(offset, bytes.size()).toHex(), bytes.toHex());
    }
    void templateRowsCoverTheImageOnce()
    {
        QVector<int> covered(1664, 0);
        for (const TemplateRow &row : templaterows())
            for (int k = 0; k < row.bytes.size(); ++k)
                ++covered[row.offset + k];
        QCOMPARE(covered, QVector<int>(1664, 1));
    }

    // loaddefaults decodes the template: one field of each region by hand.
    void factoryParameters()
    {
        auto d = std::make_unique<DeviceData>();
        QCOMPARE(d->getprogramhead(), 1);
        QCOMPARE(d->getmute(0), 1);
        QCOMPARE(d->getmute(4), 0);
        QCOMPARE(d->getgain(11), 400);
        QCOMPARE(d->getpeqfreq(0, 6), 274);
        QCOMPARE(d->getpeqfreq(11, 0), 91);
        QCOMPARE(d->getpeqwidth(5, 3), 14);
        QCOMPARE(d->getgeqword(9, 30), 300);
        QCOMPARE(d->getlimitattack(7), 50);
        QCOMPARE(d->getlinkmask(11), 128);
        QCOMPARE(d->gethpffreq(1), 263);
        QCOMPARE(d->getlpffreq(1), 398);
        QCOMPARE(d->getfirhighparam(7), 384);
        QCOMPARE(d->getpeaklimitvalue(7), 400);
    }

    // Fields set, packed, and the packed image decoded by another record.
    void packThenUnpackRestoresEveryField()
    {
        QRandomGenerator gen(1234);
        auto a = randommodel(gen, true);
        a->setprogramname(QStringLiteral("Main hall"));
        const QStringList before = imagefields(*a);
        a->packprogram();
        QCOMPARE(imagefields(*a), before); // packing changes no field

        auto b = recordwithimage(writeimage(*a));
        const QString diff = firstdifference(imagefields(*b), before);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        // The graphic EQ pass flags came back (bit 15 of the inputs' words).
        int passes = 0;
        for (int c = 0; c < 4; ++c)
            for (int band = 0; band < 31; ++band)
                passes += b->getgeqpass(c, band) ? 1 : 0;
        QVERIFY(passes > 0);
    }

    void unpackThenPackRestoresTheImage_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::newRow("power-on template") << poweronimage();
        QTest::newRow("all 0xFF") << canonical(QByteArray(kProgramImageSize, '\xff'));
        QTest::newRow("all zero") << canonical(QByteArray(kProgramImageSize, '\0'));
        for (quint32 seed = 1; seed <= 8; ++seed)
            QTest::addRow("random %u", seed) << canonical(randomimage(seed));
    }
    void unpackThenPackRestoresTheImage()
    {
        QFETCH(QByteArray, image);
        auto d = recordwithimage(image);
        d->packprogram();
        const QByteArray packed = writeimage(*d);
        for (int k = 0; k < kProgramImageSize; ++k)
            QVERIFY2(packed.at(k) == image.at(k), qPrintable(QStringLiteral("byte %1: %2 instead of %3")
                                                                 .arg(k)
                                                                 .arg(quint8(packed.at(k)))
                                                                 .arg(quint8(image.at(k)))));
    }

    // The bytes the model does not decode survive a save: parametric slots 7
    // and 8 of every channel and everything after the link masks.
    void undecodedBytesSurvivePacking()
    {
        QByteArray image = canonical(randomimage(99));
        for (int k = 1305; k < 1664; ++k)
            image[k] = static_cast<char>(0xA0 + k % 16);
        auto d = recordwithimage(image);
        d->setgain(0, 123); // an edit in between does not lose them either
        d->packprogram();
        const QByteArray packed = writeimage(*d);
        for (int c = 0; c < 12; ++c) {
            const int slot7 = 57 + 54 * c + 42;
            QCOMPARE(packed.mid(slot7, 12).toHex(), image.mid(slot7, 12).toHex());
        }
        QCOMPARE(packed.mid(1305).toHex(), image.mid(1305).toHex());
        QCOMPARE(packed.mid(22, 2).toHex(), QByteArray("7b00"));

        // A fresh record packs the template's slots 7 and 8, not zeros.
        auto fresh = std::make_unique<DeviceData>();
        fresh->packprogram();
        QCOMPARE(writeimage(*fresh).mid(57 + 42, 12).toHex(), QByteArray("003601"
                                                                         "2c011a"
                                                                         "005a01"
                                                                         "2c011a"));
    }

    // Worked single-field cases: a value set in the model, the bytes at a
    // hand-computed offset of the packed image, and the value decoded back.
    void workedCases()
    {
        auto d = std::make_unique<DeviceData>();
        // Delay 700 samples, on, on OUT2 (channel 5).
        d->setdelay(5, 700);
        d->setdelayflag(5, 0x80);
        // All-pass band: type 5, value 200, on IN-B band 3.
        d->setpeqtype(1, 3, 5);
        d->setpeqallpass(1, 3, 200);
        // Bypassed all-pass band, type byte 0x85, on OUT8 band 6.
        d->setpeqtype(11, 6, 5);
        d->setpeqbypass(11, 6, true);
        d->setpeqallpass(11, 6, 17);
        // Limiter threshold 400 on IN-D.
        d->setlimitthreshold(3, 400);
        // FIR mode with order 5 on OUT3.
        d->setfirorder(2, 5);
        d->setfirflag(2, 1);
        d->packprogram();
        const QByteArray p = writeimage(*d);
        // 700 = 0x0002BC: bits 0-7, 8-15, then bits 16-22 (zero) with the on-flag.
        QCOMPARE(p.mid(1117 + 15, 3).toHex(), QByteArray("bc0280"));
        QCOMPARE(p.mid(57 + 54 + 18, 6).toHex(), QByteArray("05a600c8001a"));
        QCOMPARE(p.mid(57 + 54 * 11 + 36, 6).toHex(), QByteArray("85cc0011001a"));
        QCOMPARE(p.mid(1169 + 21 + 1, 2).toHex(), QByteArray("9001"));
        QCOMPARE(quint8(p.at(1013 + 26 + 4)), quint8(0x85));

        auto e = recordwithimage(p);
        QCOMPARE(e->getdelaylow(5), 0xBC);
        QCOMPARE(e->getdelayhigh(5), 2);
        QCOMPARE(e->getdelayflag(5), 0x80);
        QCOMPARE(e->getdelay(5), 700);
        QCOMPARE(e->getpeqallpass(1, 3), 200);
        QCOMPARE(e->getpeqgain(1, 3), 300);
        QCOMPARE(e->getpeqtypebyte(11, 6), 0x85);
        QCOMPARE(e->getpeqallpass(11, 6), 17);
        QCOMPARE(e->getpeqgain(11, 6), 300);
        QCOMPARE(e->getfirorder(2), 5);
        QCOMPARE(e->getfirflag(2), 1);
    }

    // Image bytes as a processor or a user's file may hold them.
    void decodingEdgeCases_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("samebytes");
        // IN-A band 0 slot at 57.
        QTest::newRow("width byte 41 wraps") << 62 << hex("29") << QStringLiteral("width") << 255 << true;
        QTest::newRow("width byte 255") << 62 << hex("ff") << QStringLiteral("width") << 41 << true;
        QTest::newRow("frequency bit 15 dropped")
            << 58 << hex("0281") << QStringLiteral("freq") << 258 << false;
        QTest::newRow("frequency past the grid kept")
            << 58 << hex("f401") << QStringLiteral("freq") << 500 << true;
        QTest::newRow("gain bit 15 dropped") << 60 << hex("2c81") << QStringLiteral("gain") << 300 << false;
        QTest::newRow("channel gain 15 bits")
            << 22 << hex("ffff") << QStringLiteral("chgain") << 0x7FFF << false;
        // The third delay byte carries bits 16-22 below its on-flag: 0x82 is
        // on with bits 16-22 = 2, so bc 02 82 is 0x0202BC samples, not 700.
        QTest::newRow("delay third byte")
            << 1117 << hex("bc0282") << QStringLiteral("delay") << 0x0202BC << true;
        QTest::newRow("type-5 value into all-pass") << 57
                                                    << hex("05"
                                                           "1000"
                                                           "3412")
                                                    << QStringLiteral("allpass") << 0x1234 << true;
        QTest::newRow("type-5 gain reads 300") << 57
                                               << hex("85"
                                                      "1000"
                                                      "3412")
                                               << QStringLiteral("gain") << 300 << true;
        QTest::newRow("graphic EQ keeps bit 15")
            << 705 << hex("2c81") << QStringLiteral("geq") << 0x812C << true;
    }
    void decodingEdgeCases()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(bool, samebytes);
        QByteArray image = poweronimage();
        image.replace(offset, bytes.size(), bytes);
        auto d = recordwithimage(image);
        int got = -1;
        if (field == "width")
            got = d->getpeqwidth(0, 0);
        else if (field == "freq")
            got = d->getpeqfreq(0, 0);
        else if (field == "gain")
            got = d->getpeqgain(0, 0);
        else if (field == "allpass")
            got = d->getpeqallpass(0, 0);
        else if (field == "chgain")
            got = d->getgain(0);
        else if (field == "delay")
            got = d->getdelay(0);
        else if (field == "geq")
            got = d->getgeqword(0, 0);
        QCOMPARE(got, value);
        // Values outside the tables are kept as they are: they pack back to
        // the same bytes.
        d->packprogram();
        if (samebytes)
            QCOMPARE(writeimage(*d).mid(offset, bytes.size()).toHex(), bytes.toHex());
    }

    void unpackKeepsAllPassOfOtherBandsAndOutputGeq()
    {
        auto d = std::make_unique<DeviceData>();
        d->setpeqallpass(4, 2, 77);
        d->setgeq(9, 30, 250, true);
        setcurrentimage(*d, poweronimage());
        d->unpackprogram();
        QCOMPARE(d->getpeqallpass(4, 2), 77);
        QCOMPARE(d->getgeqgain(9, 30), 250);
        QVERIFY(d->getgeqpass(9, 30));
    }

    void outputGeqAndPeakLimiterRegions()
    {
        auto a = std::make_unique<DeviceData>();
        a->packprogram();
        const QByteArray plain = writeimage(*a);
        for (int c = 4; c < 12; ++c)
            for (int b = 0; b < 31; ++b)
                a->setgeq(c, b, 0x1234, true);
        a->packprogram();
        QCOMPARE(writeimage(*a).toHex(), plain.toHex());

        for (int o = 0; o < 8; ++o) {
            a->setpeaklimiton(o, 1);
            a->setpeaklimitvalue(o, 0x0102 + o);
            a->setpeaklimita(o, 0x30 + o);
            a->setpeaklimitb(o, 0x40 + o);
        }
        for (int c = 0; c < 12; ++c)
            a->setlimitthreshold(c, 0x7777);
        a->packprogram();
        const QByteArray p = writeimage(*a);
        QCOMPARE(p.mid(1253, 5).toHex(), QByteArray("0102013040"));
        QCOMPARE(p.mid(1253 + 35, 5).toHex(), QByteArray("0109013747"));
        QCOMPARE(p.mid(1293, 12).toHex(), plain.mid(1293, 12).toHex());
    }

    void packKeepsRouteBooleansInStep()
    {
        auto d = std::make_unique<DeviceData>();
        QByteArray image = poweronimage();
        image[1161 + 2] = 0x0A; // OUT3 from IN-A and IN-C
        setcurrentimage(*d, image);
        d->unpackprogram();
        QVERIFY(d->getrouteina(2) && !d->getrouteinb(2) && d->getrouteinc(2) && !d->getrouteind(2));
        d->packprogram();
        QCOMPARE(d->getwriteimagebyte(1161 + 2), 0x0A);
    }

    // Every image the application writes from a model whose fields are in
    // the pages' ranges passes the file check.
    void checkpassesimagesthemodelwrites_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("random model %u", seed) << seed;
    }
    void checkpassesimagesthemodelwrites()
    {
        QFETCH(quint32, seed);
        QRandomGenerator gen(seed);
        auto a = randommodel(gen, false);
        a->packprogram();
        ImageFieldFault fault;
        QVERIFY2(checkprogramimage(writeimage(*a), &fault), qPrintable(fault.english));
        // A new record's image and an image of zeros (a slot never stored) too.
        auto fresh = std::make_unique<DeviceData>();
        fresh->packprogram();
        QVERIFY(checkprogramimage(writeimage(*fresh)));
        QVERIFY(checkprogramimage(poweronimage()));
        QVERIFY(checkprogramimage(QByteArray(kProgramImageSize, '\0')));
    }

    // Random bytes of the right size are refused, the field named.
    void checkrefusesrandombytes()
    {
        for (quint32 seed = 1; seed <= 20; ++seed) {
            ImageFieldFault fault;
            QVERIFY(!checkprogramimage(randomimage(seed), &fault));
            QVERIFY(!fault.english.isEmpty() && !fault.chinese.isEmpty());
            QVERIFY(damagedimagemessage(fault, false).contains(fault.english));
            QVERIFY(damagedimagemessage(fault, true).contains(fault.chinese));
        }
    }

    // One field of the power-on image changed: the field named, or none
    // when the value is in range.
    void checksinglefield_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field"); // empty: the image passes
        QTest::addColumn<int>("value");
        const struct {
            const char *row;
            int offset;
            const char *bytes;
            const char *field;
            int value;
        } rows[] = {
            {"mute 2", 21, "02", "IN-A mute", 2},
            {"gain 521", 55, "0902", "OUT8 gain", 521},
            {"gain with bit 15", 22, "9081", "IN-A gain", 0x8190},
            {"band type 6", 57, "06", "IN-A PEQ 1 type", 6},
            {"band type with bit 4", 57, "13", "IN-A PEQ 1 type", 0x13},
            {"bypassed all-pass band", 57, "85", "", 0},
            {"band frequency 399", 148, "8f01", "IN-B PEQ 7 frequency", 399},
            {"all-pass 398", 57, "053b008e01", "", 0},
            {"all-pass 399", 57, "053b008f01", "IN-A PEQ 1 all-pass", 399},
            {"band gain 451 of another type", 60, "c301", "IN-A PEQ 1 gain", 451},
            {"width 41", 62, "29", "IN-A PEQ 1 width", 41},
            {"slot 8 not decoded", 105, "ff", "", 0},
            {"graphic band 450 with its pass flag", 951, "c281", "", 0},
            {"graphic band 451", 951, "c381", "IN-D GEQ 31 gain", 451},
            {"bypass bits 0 and 4", 953, "11", "", 0},
            {"bypass bit 1", 953, "02", "IN-A bypass", 2},
            {"high-pass type 13", 965, "0d", "OUT1 high-pass type", 13},
            {"low-pass frequency 399", 1011, "8f01", "OUT8 low-pass frequency", 399},
            {"FIR type 4", 1026, "04", "OUT2 FIR type", 4},
            {"FIR parameter with bit 15", 1024, "8081", "OUT1 FIR high parameter", 0x8180},
            {"delay 48000, on", 1117, "80bb80", "", 0},
            {"delay 48001", 1117, "81bb00", "IN-A delay", 48001},
            {"output switch 2", 1153, "02", "OUT1 output switch", 2},
            {"routing 16", 1168, "10", "OUT8 routing", 16},
            {"knee 7", 1169, "07", "IN-A limiter knee", 7},
            {"threshold 401", 1177, "9101", "IN-B limiter threshold", 401},
            {"ratio 10", 1172, "0a", "IN-A limiter ratio", 10},
            {"attack 49", 1173, "3100", "IN-A limiter attack", 49},
            {"release 0", 1175, "00", "IN-A limiter release", 0},
            {"release 200", 1175, "c8", "IN-A limiter release", 200},
            {"peak switch 2", 1253, "02", "OUT1 peak limiter switch", 2},
            {"peak threshold 401", 1254, "9101", "OUT1 peak limiter threshold", 401},
            {"peak attack 101", 1256, "65", "OUT1 peak limiter attack", 101},
            {"peak release 21", 1292, "15", "OUT8 peak limiter release", 21},
            {"input link mask 16", 1293, "10", "IN-A link mask", 16},
            {"output link mask 255", 1300, "ff", "", 0},
            {"after the masks", 1305, "ff", "", 0},
            {"two faults: the first in the image named", 1169, "07ff7f", "IN-A limiter knee", 7},
        };
        for (const auto &r : rows)
            QTest::newRow(r.row) << r.offset << QByteArray::fromHex(r.bytes) << QString::fromLatin1(r.field)
                                 << r.value;
    }
    void checksinglefield()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(int, value);
        QByteArray image = poweronimage();
        image.replace(offset, bytes.size(), bytes);
        ImageFieldFault fault;
        QCOMPARE(checkprogramimage(image, &fault), field.isEmpty());
        QCOMPARE(fault.english, field);
        if (!field.isEmpty())
            QCOMPARE(fault.value, value);
    }

    // A collection names the program of the first field out of range, in
    // both languages.
    void checkcollection()
    {
        QByteArray images;
        for (int n = 1; n <= 30; ++n)
            images += n == 30 ? QByteArray(kProgramImageSize, '\0') : poweronimage();
        QVERIFY(checkprogramimages(images));
        images.replace(2 * kProgramImageSize + 1173, 2, QByteArray::fromHex("581b"));
        images.replace(5 * kProgramImageSize + 21, 1, QByteArray::fromHex("05"));
        ImageFieldFault fault;
        QVERIFY(!checkprogramimages(images, &fault));
        QCOMPARE(fault.english, QStringLiteral("program 3, IN-A limiter attack"));
        QCOMPARE(
            damagedimagemessage(fault, false),
            QStringLiteral("This file is damaged: program 3, IN-A limiter attack is out of range (7000)\n"
                           "Please Select Again"));
        QCOMPARE(damagedimagemessage(fault, true),
                 QString::fromUtf8("此文件已损坏：程序 3，IN-A 限幅器启动时间 超出范围 (7000)\n请重新选择"));
    }
};

QTEST_GUILESS_MAIN(TestProgramImage)
#include "tst_programimage.moc"
