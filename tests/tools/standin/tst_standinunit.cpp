// The stand-in's processor side without any line: the frames it accepts and
// rejects, the layout of every reply, and the image changes of the parameter
// commands.

#include "standintestutil.h"

#include "programimage.h"

#include <QtTest>

using namespace standin;

class TestStandinUnit : public QObject
{
    Q_OBJECT

private slots:
    void scanner_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("pieceSize");    // 0: all at once
        QTest::addColumn<QString>("expected"); // "ok" / "bad" / "incomplete" per frame, in order

        const QByteArray find = hx("11 22 33 18 01 01 00 02 44 55 66");
        const QByteArray name = hx("11 22 33 18 20 64 01 05 0a 44 55 66");
        QTest::newRow("find byte by byte") << find << 1 << "ok";
        QTest::newRow("two frames in one piece") << find + name << 0 << "ok ok";
        QTest::newRow("bad checksum") << hx("11 22 33 18 01 01 00 03 44 55 66") + find << 0 << "bad ok";
        QTest::newRow("checksum over 7 bits") << hx("11 22 33 18 20 64 01 05 8a 44 55 66") << 0 << "bad";
        QTest::newRow("count too small")
            << hx("11 22 33 18 01 50 03 11 00 90 01 23 44 55 66") + find << 0 << "bad ok";
        QTest::newRow("count too large")
            << hx("11 22 33 18 01 50 05 11 00 90 01 23 44 55 66") + find + find << 1 << "bad ok ok";
        QTest::newRow("stray bytes first") << hx("00 44 55 66") + find << 0 << "bad ok";
        QTest::newRow("incomplete at the end") << hx("11 22 33 18 01 50 04 11 00") << 0 << "incomplete";
        QTest::newRow("type does not enter the sum") << hx("11 22 33 14 01 01 00 02 44 55 66") << 0 << "ok";
    }

    void scanner()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, pieceSize);
        QFETCH(QString, expected);
        FrameScanner s;
        QVector<ScannedFrame> frames;
        if (pieceSize == 0)
            frames = s.feed(input);
        else
            for (int i = 0; i < input.size(); i += pieceSize)
                frames += s.feed(input.mid(i, pieceSize));
        // What is left over comes out on a flush, as an incomplete frame.
        QCOMPARE(s.pending(), expected.endsWith("incomplete"));
        frames += s.flush();
        QStringList got;
        for (const ScannedFrame &f : frames)
            got << (f.ok ? "ok" : f.problem == "incomplete frame" ? "incomplete" : "bad");
        QCOMPARE(got.join(' '), expected);
        QVERIFY(!s.pending());
    }

    void replies_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("reply");

        QTest::newRow("find") << 0x18 << 1 << 0x01 << QByteArray() << hx("44 55 66 18 01 01 00 02 11 22 33");
        // Connect: byte 8 lock state, 9 project lock, 10-11 restart count, 12 program.
        QTest::newRow("connect") << 0x18 << 1 << 0x02 << QByteArray()
                                 << hx("44 55 66 18 01 02 06 01 02 01 34 12 05 58 11 22 33");
        QTest::newRow("disconnect") << 0x18 << 1 << 0x03 << QByteArray()
                                    << hx("44 55 66 18 01 03 00 04 11 22 33");
        QTest::newRow("meters") << 0x14 << 0x20 << 0x56 << QByteArray()
                                << hx("44 55 66 14 20 56 0c 01 02 03 04 05 06 07 08 09 0a 0b 0c 50 11 22 33");
        QTest::newRow("gain ack") << 0x18 << 1 << 0x50 << hx("11 00 90 01")
                                  << hx("44 55 66 18 01 50 00 51 11 22 33");
        QTest::newRow("recall 3") << 0x18 << 1 << 0x62 << hx("03")
                                  << hx("44 55 66 18 01 62 01 03 67 11 22 33");
        QTest::newRow("logo block 21") << 0x18 << 1 << 0x13 << hx("15") + QByteArray(48, '\x01')
                                       << hx("44 55 66 18 01 13 01 15 2a 11 22 33");
        // Name of program 3, "AB" and 18 blanks, used: 01+64+16+03+01+41+42+18*20 = 0x342.
        QTest::newRow("name 3") << 0x18 << 1 << 0x64 << hx("03")
                                << hx("44 55 66 18 01 64 16 03 01 41 42") + QByteArray(18, ' ') +
                                       hx("42 11 22 33");
        QTest::newRow("name 41 (no such program)") << 0x18 << 1 << 0x64 << hx("29")
                                                   << hx("44 55 66 18 01 64 16 29 00") + QByteArray(20, ' ') +
                                                          hx("24 11 22 33"); // 01+64+16+29+00+20*20 = 0x324
        // Device lock with the right password accepted: data byte 01.
        QTest::newRow("unlock accepted") << 0x18 << 1 << 0x10 << hx("00") + QByteArray("pass    ")
                                         << hx("44 55 66 18 01 10 01 01 13 11 22 33");
        QTest::newRow("project unlock accepted")
            << 0x18 << 1 << 0x12 << hx("00") + QByteArray("proj    ") + hx("05 00")
            << hx("44 55 66 18 01 12 01 01 15 11 22 33");
        QTest::newRow("write ack") << 0x18 << 1 << 0x60 << hx("00 19") + QByteArray(64, '\0')
                                   << hx("44 55 66 18 01 60 02 00 19 7c 11 22 33");
    }

    void replies()
    {
        QFETCH(int, type);
        QFETCH(int, address);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, reply);
        UnitState u{quint8(type), quint8(address)};
        u.lockState = 2;
        u.lockPassword = "pass    ";
        u.projectLock = 1;
        u.projectPassword = "proj    ";
        u.restartCount = 0x1234;
        u.currentProgram = 5;
        u.meters = hx("01 02 03 04 05 06 07 08 09 0a 0b 0c");
        u.programs[2].used = true;
        u.programs[2].name = QByteArray("AB").leftJustified(20, ' ');
        const Answer a = run(u, quint8(command), payload);
        QVERIFY2(a.answered, qPrintable(a.note));
        QCOMPARE(a.reply.toHex(' '), reply.toHex(' '));
    }

    void silent_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");

        QTest::newRow("unknown command") << 0x18 << 0x70 << QByteArray();
        QTest::newRow("gain payload short") << 0x18 << 0x50 << hx("11 00 90");
        QTest::newRow("gain to IN-C of a 2-input type") << 0x14 << 0x50 << hx("02 00 90 01");
        QTest::newRow("crossover on an input") << 0x18 << 0x23 << hx("01 00 02 48 00");
        QTest::newRow("read part 26") << 0x18 << 0x61 << hx("00 1a");
        QTest::newRow("write program 31") << 0x18 << 0x60 << hx("1f 00") + QByteArray(64, '\0');
        QTest::newRow("recall an empty program") << 0x18 << 0x62 << hx("04");
        QTest::newRow("logo block 22") << 0x18 << 0x13 << hx("16") + QByteArray(48, '\0');
        QTest::newRow("copy input to output") << 0x18 << 0x55 << hx("00 10");
    }

    void silent()
    {
        QFETCH(int, type);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        UnitState u{quint8(type), 1};
        const QByteArray before = u.image;
        const Answer a = run(u, quint8(command), payload);
        QVERIFY(!a.answered);
        QVERIFY(!a.note.isEmpty());
        QCOMPARE(u.image, before);
    }

    void parameters_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("gain OUT2 400") << 0x50 << hx("11 00 90 01") << 36 << hx("00 90 01");
        QTest::newRow("delay IN-A 48000 on") << 0x51 << hx("00 80 bb 80") << 1117 << hx("80 bb 80");
        QTest::newRow("PEQ OUT1 band 2 all-pass")
            << 0x20 << hx("10 02 05 00 01 c8 00 1a") << 285 << hx("05 00 01 c8 00 1a");
        QTest::newRow("GEQ IN-B band 30 pass") << 0x21 << hx("01 1e 2c 81") << 827 << hx("2c 81");
        QTest::newRow("bypass OUT8") << 0x22 << hx("17 11") << 964 << hx("11");
        QTest::newRow("low-pass OUT1") << 0x23 << hx("10 01 03 2c 01") << 968 << hx("03 2c 01");
        QTest::newRow("FIR OUT3 type 3")
            << 0x24 << hx("12 03 07 85 02 01 04 03") << 1039 << hx("03 02 00 07 85 1c 01 1c 01 02 01 04 03");
        QTest::newRow("FIR OUT4 type 1")
            << 0x24 << hx("13 01 05 02 10 00 20 00") << 1052 << hx("01 05 00 02 02 10 00 20 00 be 00 80 01");
        QTest::newRow("limiter IN-C")
            << 0x30 << hx("02 01 58 02 03 64 00 04") << 1183 << hx("01 58 02 03 64 00 04");
        QTest::newRow("peak limiter OUT2") << 0x31 << hx("11 01 90 01 03 04") << 1258 << hx("01 90 01 03 04");
        QTest::newRow("output switch OUT4") << 0x52 << hx("13 01") << 1156 << hx("01");
        QTest::newRow("routing OUT1") << 0x53 << hx("10 0c") << 1161 << hx("0c");
        QTest::newRow("link masks") << 0x54 << hx("03 03 04 08 ff ff ff ff ff ff ff ff") << 1293
                                    << hx("03 03 04 08 ff ff ff ff ff ff ff ff");
    }

    void parameters()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        UnitState u(0x18, 1);
        QByteArray expected = u.image;
        expected.replace(offset, bytes.size(), bytes);
        const Answer a = run(u, quint8(command), payload);
        QVERIFY2(a.answered, qPrintable(a.note));
        QCOMPARE(u.image.toHex(' '), expected.toHex(' '));
    }

    void writereadback()
    {
        UnitState u(0x16, 7);
        QByteArray part;
        for (int i = 0; i < 64; ++i)
            part.append(char(0x80 + i));
        // Stored program 12, part 25, then part 0 (which carries the name).
        QVERIFY(run(u, 0x60, hx("0c 19") + part).answered);
        QByteArray part0(64, '\0');
        part0.replace(1, 20, "SHOW ONE            ");
        QVERIFY(run(u, 0x60, hx("0c 00") + part0).answered);
        Answer a = run(u, 0x61, hx("0c 19"));
        QVERIFY(a.answered);
        QCOMPARE(a.reply.mid(0, 9), hx("44 55 66 16 07 61 42 0c 19"));
        QCOMPARE(a.reply.mid(9, 64), part);
        QCOMPARE(quint8(a.reply[73]), checksum7(a.reply.mid(4, 69)));
        QCOMPARE(a.reply.right(3), hx("11 22 33"));
        QVERIFY(u.programs[11].used);
        QCOMPARE(u.programs[11].name, QByteArray("SHOW ONE            "));
        // Program 0 is the current image.
        QVERIFY(run(u, 0x60, hx("00 03") + part).answered);
        QCOMPARE(u.image.mid(3 * 64, 64), part);
        a = run(u, 0x61, hx("00 03"));
        QCOMPARE(a.reply.mid(9, 64), part);
    }

    void programstore()
    {
        UnitState u(0x18, 1);
        run(u, 0x50, hx("00 00 2c 01"));
        QVERIFY(run(u, 0x63, hx("04") + QByteArray("LIVE").leftJustified(20, ' ')).answered);
        QCOMPARE(u.currentProgram, quint8(4));
        QVERIFY(u.programs[3].used);
        QCOMPARE(u.programs[3].image.mid(1, 20), QByteArray("LIVE").leftJustified(20, ' '));
        QCOMPARE(u.programs[3].image.mid(21, 3), hx("00 2c 01"));
        // Change the current data, then recall program 4.
        run(u, 0x50, hx("00 01 90 01"));
        QVERIFY(run(u, 0x62, hx("04")).answered);
        QCOMPARE(u.image.mid(21, 3), hx("00 2c 01"));
        QVERIFY(run(u, 0x66, hx("04")).answered);
        QVERIFY(!u.programs[3].used);
        QVERIFY(!run(u, 0x62, hx("04")).answered);
        run(u, 0x63, hx("05") + QByteArray(20, ' '));
        QVERIFY(run(u, 0x65, QByteArray()).answered);
        QVERIFY(!u.programs[4].used);
        QCOMPARE(u.image, poweronimage());
    }

    void locks()
    {
        UnitState u(0x18, 1);
        const QByteArray pw("secret  ");
        // Lock kind 2 while unlocked: accepted.
        Answer a = run(u, 0x10, hx("82") + pw);
        QCOMPARE(quint8(a.reply[7]), quint8(1));
        QCOMPARE(u.lockState, quint8(2));
        // Changing the kind needs the password.
        a = run(u, 0x10, hx("84") + QByteArray("other   "));
        QCOMPARE(quint8(a.reply[7]), quint8(0));
        QCOMPARE(u.lockState, quint8(2));
        // A refused lock even with the password.
        a = run(u, 0x10, hx("00") + pw, true);
        QCOMPARE(quint8(a.reply[7]), quint8(0));
        QCOMPARE(u.lockState, quint8(2));
        a = run(u, 0x10, hx("00") + pw);
        QCOMPARE(quint8(a.reply[7]), quint8(1));
        QCOMPARE(u.lockState, quint8(0));
        // Project lock with restart count 0xFFFF (sent as -1), then the connect reply.
        a = run(u, 0x12, hx("01") + pw + hx("ff ff"));
        QCOMPARE(quint8(a.reply[7]), quint8(1));
        a = run(u, 0x02, QByteArray());
        QCOMPARE(a.reply.mid(7, 6), hx("01 00 01 ff ff 00"));
        a = run(u, 0x12, hx("00") + QByteArray("nope    ") + hx("00 00"));
        QCOMPARE(quint8(a.reply[7]), quint8(0));
        QCOMPARE(u.projectLock, quint8(1));
    }

    void copy()
    {
        UnitState u(0x18, 1);
        run(u, 0x50, hx("12 01 2c 01")); // OUT3 muted, gain 300
        run(u, 0x53, hx("12 0f"));       // OUT3 routing
        run(u, 0x54, hx("01 02 04 08 01 02 04 08 10 20 40 80"));
        QVERIFY(run(u, 0x55, hx("12 17")).answered);
        QCOMPARE(u.image.mid(21 + 3 * 11, 3), hx("01 2c 01"));
        QCOMPARE(quint8(u.image[1161 + 7]), quint8(0x0f));
        QCOMPARE(quint8(u.image[1293 + 11]), quint8(0x80)); // link masks stay
    }

    // A parameter change on one member of a link group reaches every member;
    // routing and copies stay with the addressed channel.
    void linkgroups()
    {
        UnitState u(0x16, 1); // six outputs: OUT7/OUT8 do not exist
        // IN-A+IN-C linked; OUT1, OUT2 and the absent OUT8 in one group.
        QVERIFY(run(u, 0x54, hx("05 02 05 08 83 83 04 08 10 20 40 83")).answered);
        const QByteArray before = u.image;
        QVERIFY(run(u, 0x50, hx("00 01 2c 01")).answered);
        QCOMPARE(u.image.mid(21 + 3 * 0, 3), hx("01 2c 01"));
        QCOMPARE(u.image.mid(21 + 3 * 2, 3), hx("01 2c 01"));
        QCOMPARE(u.image.mid(21 + 3 * 1, 3), before.mid(21 + 3 * 1, 3));
        QVERIFY(run(u, 0x31, hx("11 01 90 01 03 04")).answered);
        QCOMPARE(u.image.mid(1253, 10), hx("01 90 01 03 04 01 90 01 03 04"));
        QCOMPARE(u.image.mid(1253 + 5 * 7, 5), before.mid(1253 + 5 * 7, 5));
        QVERIFY(run(u, 0x53, hx("10 0c")).answered);
        QCOMPARE(quint8(u.image[1161 + 1]), quint8(before[1161 + 1]));
        // A band out of range is refused before any member is written.
        QVERIFY(!run(u, 0x20, hx("10 09 05 00 01 c8 00 1a")).answered);
    }

    void factoryimage()
    {
        // The stand-in's own reading of the factory content and the application's
        // template must agree byte for byte.
        QCOMPARE(standin::factoryimage().toHex(' '), poweronimage().toHex(' '));
        UnitState u;
        QCOMPARE(u.image, poweronimage());
        QCOMPARE(u.mutes(), hx("01 01 01 01 00 00 00 00 00 00 00 00"));
        QCOMPARE(u.word(22), 400);
    }
};

QTEST_GUILESS_MAIN(TestStandinUnit)
#include "tst_standinunit.moc"
