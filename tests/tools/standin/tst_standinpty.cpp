// The stand-in on a pseudo-terminal, driven through QSerialPort as the
// application drives it: replies, bad frames, recording and every fault switch.

#include "serialclient.h"
#include "standin.h"

#include <QtTest>

#include <functional>

using namespace standin;

namespace
{
const QByteArray kFind = hx("11 22 33 18 01 01 00 02 44 55 66");
const QByteArray kFindReply = hx("44 55 66 18 01 01 00 02 11 22 33");
QByteArray readpart(int part)
{
    return commandframe(0x18, 1, 0x61, QByteArray(1, '\0') + QByteArray(1, char(part)));
}
} // namespace

class TestStandinPty : public QObject
{
    Q_OBJECT
    Standin *s = nullptr;
    SerialClient c;
    int line = -1, unit = -1;

    // Adds a fault of this kind, with `more` setting its other fields.
    void addfault(int kind, const std::function<void(Fault &)> &more = nullptr)
    {
        Fault f;
        f.kind = Fault::Kind(kind);
        if (more)
            more(f);
        s->addfault(f);
    }

private slots:
    void init()
    {
        s = new Standin;
        line = s->openpty();
        QVERIFY2(line > 0, qPrintable(s->errorstring()));
        unit = s->addunit(line, 0x18, 1);
        QVERIFY(unit > 0);
        QVERIFY(c.open(s->ptypath(line)));
    }

    void cleanup()
    {
        c.port.close();
        delete s;
        s = nullptr;
    }

    void sharedline()
    {
        const int other = s->addunit(line, 0x14, 2);
        QCOMPARE(s->addunit(line, 0x14, 2), -1); // one unit per type and address
        c.send(kFind);
        c.send(commandframe(0x14, 2, 0x01, QByteArray()));
        c.send(commandframe(0x16, 3, 0x01, QByteArray())); // nobody there
        const QByteArray r = c.readbytes(22);
        QCOMPARE(r.toHex(' '), (kFindReply + hx("44 55 66 14 02 01 00 03 11 22 33")).toHex(' '));
        QCOMPARE(c.readbytes(1, 300), QByteArray());
        QTRY_COMPARE(s->frames().size(), 5);
        QCOMPARE(s->commands(unit).size(), 1);
        QCOMPARE(s->commands(other).size(), 1);
        QCOMPARE(s->replies(other).first().bytes, hx("44 55 66 14 02 01 00 03 11 22 33"));
        const FrameRecord nobody = s->frames().last();
        QCOMPARE(nobody.unit, -1);
        QVERIFY(!nobody.answered);
        // Replies are recorded after their command.
        const auto all = s->frames();
        QVERIFY(all[0].direction == FrameRecord::In && all[1].direction == FrameRecord::Out);
        QVERIFY(all[1].ns >= all[0].ns);
    }

    void badframes()
    {
        c.send(hx("11 22 33 18 01 01 00 03 44 55 66"));             // checksum
        c.send(hx("11 22 33 18 01 50 03 11 00 90 01 23 44 55 66")); // count
        c.send(kFind);
        QCOMPARE(c.readbytes(11).toHex(' '), kFindReply.toHex(' '));
        QCOMPARE(c.readbytes(1, 300), QByteArray());
        const auto bad = s->badframes();
        QCOMPARE(bad.size(), 2);
        QVERIFY(bad[0].note.contains("checksum"));
        QVERIFY(bad[1].note.contains("count"));
        QCOMPARE(s->replies().size(), 1);
    }

    void replyfaults_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray garbage = Fault().garbage;
        QTest::newRow("no reply") << int(Fault::NoReply) << kFind << QByteArray();
        QTest::newRow("duplicate") << int(Fault::Duplicate) << kFind << kFindReply + kFindReply;
        QTest::newRow("other address")
            << int(Fault::OtherAddress) << kFind << hx("44 55 66 18 7f 01 00 00 11 22 33");
        QTest::newRow("garbage before") << int(Fault::GarbageBefore) << kFind << garbage + kFindReply;
        QTest::newRow("garbage after") << int(Fault::GarbageAfter) << kFind << kFindReply + garbage;
        // The recall of program 0 answered with 0xa5 where the program was: sum 01+62+01+a5 = 09.
        QTest::newRow("other echo") << int(Fault::OtherEcho) << commandframe(0x18, 1, 0x62, hx("00"))
                                    << hx("44 55 66 18 01 62 01 a5 09 11 22 33");
        // Unit 16/05 in front, the echoed program kept: sums 05+62+01+00 = 68 and 01+62+01+00 = 64.
        QTest::newRow("another unit's reply before")
            << int(Fault::ForeignBefore) << commandframe(0x18, 1, 0x62, hx("00"))
            << hx("44 55 66 16 05 62 01 00 68 11 22 33 44 55 66 18 01 62 01 00 64 11 22 33");
        // The find reply has no data: only the unit differs (05+01+00 = 06).
        QTest::newRow("another unit's reply before, no data")
            << int(Fault::ForeignBefore) << kFind << hx("44 55 66 16 05 01 00 06 11 22 33") + kFindReply;
        QTest::newRow("other echo, a reply without the program")
            << int(Fault::OtherEcho) << kFind << kFindReply;
        QTest::newRow("refused lock")
            << int(Fault::RefuseLock) << commandframe(0x18, 1, 0x10, hx("81") + "12345678")
            << hx("44 55 66 18 01 10 01 00 12 11 22 33");
    }

    void replyfaults()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, expected);
        addfault(kind, [&](Fault &f) { f.unit = unit; });
        c.send(command);
        const QByteArray got = c.readbytes(expected.size() + 1, expected.isEmpty() ? 300 : 600);
        QCOMPARE(got.toHex(' '), expected.toHex(' '));
        // The fault is gone once cleared.
        s->clearfaults();
        c.send(kFind);
        QCOMPARE(c.readbytes(11).toHex(' '), kFindReply.toHex(' '));
    }

    void firsttry()
    {
        addfault(Fault::NoReplyFirstTry, [&](Fault &f) { f.command = 0x61; });
        c.send(readpart(4));
        QCOMPARE(c.readbytes(1, 300), QByteArray());
        c.send(readpart(4));
        QCOMPARE(c.readbytes(77).mid(7, 2), hx("00 04"));
        c.send(readpart(5)); // a different request: its first try goes unanswered too
        QCOMPARE(c.readbytes(1, 300), QByteArray());
        c.send(kFind); // other commands are not touched
        QCOMPARE(c.readbytes(11), kFindReply);
    }

    void late()
    {
        addfault(Fault::LateReply, [&](Fault &f) {
            f.delayMs = 400;
            f.times = 1;
        });
        c.send(kFind);
        QCOMPARE(c.readbytes(11), kFindReply);
        QTRY_COMPARE(s->frames().size(), 2);
        const auto fr = s->frames();
        QVERIFY(fr[1].ns - fr[0].ns >= 400 * 1000000LL);
        // times = 1: the next one is not held back.
        c.send(kFind);
        QCOMPARE(c.readbytes(11), kFindReply);
        QTRY_COMPARE(s->replies().size(), 2);
        QVERIFY(s->replies()[0].note.contains("late"));
        QVERIFY(!s->replies()[1].note.contains("late"));
    }

    // Replies handed over in pieces: the bytes before the first quiet gap.
    void gaps_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("beforegap");
        const QByteArray garbage = Fault().garbage;
        QTest::newRow("split at 5 and 40") << int(Fault::Split) << readpart(2) << QByteArray() << 5;
        QTest::newRow("end marker apart") << int(Fault::SplitEndMarker) << kFind << kFindReply << 10;
        QTest::newRow("garbage apart")
            << int(Fault::GarbageBefore) << kFind << garbage + kFindReply << garbage.size();
    }

    void gaps()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, expected);
        QFETCH(int, beforegap);
        addfault(kind, [&](Fault &f) {
            f.splitAt = {5, 40};
            f.garbageApart = true;
            f.pauseMs = 300;
        });
        c.send(command);
        const Pieces p = c.read(expected.isEmpty() ? 77 : expected.size());
        if (!expected.isEmpty())
            QCOMPARE(joined(p), expected);
        QCOMPARE(bytesbeforegap(p, 150), beforegap);
        if (kind == Fault::Split) {
            Pieces rest = p;
            int n = 0;
            while (n < 5)
                n += rest.takeFirst().second.size();
            QCOMPARE(bytesbeforegap(rest, 150), 35);
        }
    }

    void merge()
    {
        addfault(Fault::Merge, [&](Fault &f) { f.times = 1; });
        c.send(kFind);
        QCOMPARE(c.readbytes(1, 200), QByteArray()); // held back
        c.send(commandframe(0x18, 1, 0x03, QByteArray()));
        QCOMPARE(c.readbytes(22).toHex(' '),
                 (kFindReply + hx("44 55 66 18 01 03 00 04 11 22 33")).toHex(' '));
    }

    void droppedline()
    {
        addfault(Fault::DropLink, [&](Fault &f) {
            f.command = 0x61;
            f.packet = 10;
        });
        for (int part = 9; part <= 11; ++part)
            c.send(readpart(part));
        const QByteArray got = c.readbytes(77 + 39, 600);
        QCOMPARE(got.size(), 77 + 38); // part 9, then half of part 10, then silence
        QCOMPARE(got.mid(7, 2), hx("00 09"));
        QCOMPARE(got.mid(77 + 7, 2), hx("00 0a"));
        s->clearfaults();
        s->restoreline(line);
        c.send(kFind);
        QCOMPARE(c.readbytes(11), kFindReply);
    }

    // A reply kept back goes out when the next command with its code comes,
    // before that command's own reply; with ignoreNext that command is missed.
    void staleduplicate_data()
    {
        QTest::addColumn<bool>("ignorenext");
        QTest::newRow("next carried out") << false;
        QTest::newRow("next missed") << true;
    }
    void staleduplicate()
    {
        QFETCH(bool, ignorenext);
        addfault(Fault::StaleDuplicate, [&](Fault &f) {
            f.command = 0x54;
            f.times = 1;
            f.ignoreNext = ignorenext;
        });
        const QByteArray ack = hx("44 55 66 18 01 54 00 55 11 22 33");
        const QByteArray first = hx("03 03 04 08 01 02 04 08 10 20 40 80");
        const QByteArray second = hx("07 07 07 08 01 02 04 08 10 20 40 80");
        c.send(commandframe(0x18, 1, 0x54, first));
        QCOMPARE(c.readbytes(11).toHex(' '), ack.toHex(' '));
        QCOMPARE(c.readbytes(1, 200), QByteArray()); // the copy is kept back
        c.send(commandframe(0x18, 1, 0x54, second));
        const QByteArray got = c.readbytes(22, 400);
        QCOMPARE(got.toHex(' '), (ignorenext ? ack : ack + ack).toHex(' '));
        QCOMPARE(s->state(unit).linkmasks(), ignorenext ? first : second);
        QTRY_COMPARE(s->replies().size(), ignorenext ? 2 : 3);
        QVERIFY(s->replies()[1].note.contains("stale duplicate"));
        // Once only: a third command is answered once.
        c.send(commandframe(0x18, 1, 0x54, first));
        QCOMPARE(c.readbytes(12, 300).toHex(' '), ack.toHex(' '));
    }

    void markerindata()
    {
        addfault(Fault::MarkerInData, [&](Fault &f) { f.packet = 3; });
        c.send(readpart(3));
        const QByteArray r = c.readbytes(77);
        QCOMPARE(r.mid(9 + 61, 3), hx("11 22 33"));
        QCOMPARE(r.right(3), hx("11 22 33"));
        // The image holds the same bytes, so a read-back comparison stays exact.
        QCOMPARE(s->state(unit).image.mid(3 * 64 + 61, 3), hx("11 22 33"));
    }

    void metersandmutes()
    {
        s->setmeters(unit, hx("10 20 30 40 50 60 70 80 90 a0 b0 c0"));
        c.send(commandframe(0x18, 1, 0x56, QByteArray()));
        QCOMPARE(c.readbytes(23).mid(7, 12), hx("10 20 30 40 50 60 70 80 90 a0 b0 c0"));
        c.send(commandframe(0x18, 1, 0x50, hx("10 01 90 01"))); // mute OUT1
        QCOMPARE(c.readbytes(11).mid(5, 1), hx("50"));
        s->sendmutereport(unit);
        const QByteArray r = c.readbytes(23);
        QCOMPARE(r.left(7), hx("44 55 66 18 01 57 0c"));
        QCOMPARE(r.mid(7, 12), hx("01 01 01 01 01 00 00 00 00 00 00 00"));
    }
};

QTEST_GUILESS_MAIN(TestStandinPty)
#include "tst_standinpty.moc"
