#include "replyassembler.h"
#include "tst_ccomctrl_replies.h"

#include <QtTest>

using namespace replies;

namespace
{

QList<QByteArray> feedall(ReplyAssembler &a, const QByteArrayList &chunks)
{
    QList<QByteArray> out;
    for (const QByteArray &c : chunks)
        out += a.feed(c);
    return out;
}

} // namespace

class TestReplyAssembler : public QObject
{
    Q_OBJECT
private slots:
    void everySplitPoint_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("find") << find();
        QTest::newRow("connect") << replies::connectreply();
        QTest::newRow("meters") << meters();
        QTest::newRow("program data with 11 22 33 inside") << programdata(0x05);
        QTest::newRow("program data with both markers and a frame inside") << programwithmarkers();
        QTest::newRow("name holding 11 22 33 and a disconnect reply") << namewithframe();
        QTest::newRow("meters 44 55 66 11 22 33") << meterswithmarkers();
        QTest::newRow("connect with 11 22 33 44 55 66, no checksum") << connectwithmarkers();
        QTest::newRow("write ack, part 0x11") << reply(0x60, bytes("01 11"));
    }
    // Cut into two and into three pieces at every position, and byte by byte:
    // always exactly the one reply, and nothing left pending.
    void everySplitPoint()
    {
        QFETCH(QByteArray, reply);
        const int n = reply.size();
        for (int i = 1; i < n; ++i) {
            ReplyAssembler a;
            const auto out = feedall(a, {reply.left(i), reply.mid(i)});
            QVERIFY2(out == QList<QByteArray>{reply}, qPrintable(QString("split at %1").arg(i)));
            QVERIFY(a.pending().isEmpty());
            for (int j = i + 1; j < n; ++j) {
                ReplyAssembler b;
                const auto out3 = feedall(b, {reply.left(i), reply.mid(i, j - i), reply.mid(j)});
                QVERIFY2(out3 == QList<QByteArray>{reply},
                         qPrintable(QString("split at %1 and %2").arg(i).arg(j)));
            }
        }
        ReplyAssembler c;
        QList<QByteArray> out;
        for (int i = 0; i < n; ++i) {
            out += c.feed(reply.mid(i, 1));
            QCOMPARE(out.isEmpty(), i < n - 1);
        }
        QCOMPARE(out, QList<QByteArray>{reply});
    }

    void streams_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QByteArrayList>("frames");
        const QByteArray pd = programdata(0x00);
        QTest::newRow("two in one chunk")
            << QByteArrayList{find() + gainack()} << QByteArrayList{find(), gainack()};
        QTest::newRow("two and a half, then the rest")
            << QByteArrayList{lockon() + writeack() + pd.left(20), pd.mid(20)}
            << QByteArrayList{lockon(), writeack(), pd};
        QTest::newRow("garbage before") << QByteArrayList{bytes("00ff1122") + replies::connectreply()}
                                        << QByteArrayList{replies::connectreply()};
        QTest::newRow("garbage between")
            << QByteArrayList{find() + bytes("deadbeef") + gainack()} << QByteArrayList{find(), gainack()};
        QTest::newRow("garbage after, reply in next chunk")
            << QByteArrayList{meters() + bytes("1234"), gainack()} << QByteArrayList{meters(), gainack()};
        QTest::newRow("garbage only")
            << QByteArrayList{bytes("0102030405"), bytes("112233")} << QByteArrayList{};
        QTest::newRow("stray markers before")
            << QByteArrayList{bytes("4455 112233 44") + find()} << QByteArrayList{find()};
        QTest::newRow("start marker split after garbage")
            << QByteArrayList{bytes("ffff44"), find().mid(1)} << QByteArrayList{find()};
        QTest::newRow("end marker split 1122|33")
            << QByteArrayList{replies::connectreply().chopped(1), bytes("33") + find()}
            << QByteArrayList{replies::connectreply(), find()};
        QTest::newRow("11 22 33 in data at chunk end (offset 0)")
            << QByteArrayList{pd.left(12), pd.mid(12)} << QByteArrayList{pd};
        // A fixed-length reply that lost its tail holds the next reply until
        // its length is reached; then it is dropped and what follows is found.
        QTest::newRow("reply lost its tail, next replies begin chunks")
            << QByteArrayList{pd.left(40), meters(), meters()} << QByteArrayList{meters(), meters()};
        QTest::newRow("short reply, longer reply in the same chunk")
            << QByteArrayList{bytes("445566 18 01 56 0c 10 20 112233") + name()} << QByteArrayList{name()};
        QTest::newRow("short reply between two")
            << QByteArrayList{find() + bytes("445566 18 01 61 42 00 112233") + pd.left(50),
                              pd.mid(50) + find()}
            << QByteArrayList{find(), pd, find()};
        // One byte short or long of a fixed length: not a reply.
        QTest::newRow("write ack one byte short")
            << QByteArrayList{bytes("445566 18 01 60 02 00 112233") + find()} << QByteArrayList{find()};
        QTest::newRow("write ack two bytes long")
            << QByteArrayList{bytes("445566 18 01 60 02 00 07 68 00 112233") + find()}
            << QByteArrayList{find()};
        // A variable reply that lost its tail gives way to the next start marker.
        QTest::newRow("gain ack lost its tail")
            << QByteArrayList{bytes("445566 18 01 50 00"), find()} << QByteArrayList{find()};
        // The end marker is looked for after the command code, not on it.
        QTest::newRow("code 11 followed by 22 33")
            << QByteArrayList{bytes("445566 18 01 11 22 33 00 112233")}
            << QByteArrayList{bytes("445566 18 01 11 22 33 00 112233")};
        QTest::newRow("replies with markers inside, merged")
            << QByteArrayList{namewithframe() + programwithmarkers() + meterswithmarkers()}
            << QByteArrayList{namewithframe(), programwithmarkers(), meterswithmarkers()};
        QTest::newRow("empty chunks ignored")
            << QByteArrayList{QByteArray(), find(), QByteArray()} << QByteArrayList{find()};
        QTest::newRow("frame without command code yet")
            << QByteArrayList{bytes("4455661801"), bytes("50 00 51 112233")} << QByteArrayList{gainack()};
    }
    void streams()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArrayList, frames);
        ReplyAssembler a;
        QCOMPARE(feedall(a, chunks), QList<QByteArray>(frames));
    }

    // The minimum length per command keeps an end marker inside the data that
    // the dispatcher reads from ending the reply, for every position.
    void endMarkerInsideReadData_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("datalength"); // bytes from 6 up to the checksum
        // Bytes between the command code and the checksum, by hand from the
        // positions the dispatch reads.
        const QVector<QPair<int, int>> lengths{{0x02, 8}, {0x03, 1}, {0x10, 2},  {0x12, 2}, {0x56, 13},
                                               {0x57, 13}, {0x60, 3}, {0x61, 67}, {0x64, 23}};
        for (const auto &l : lengths)
            QTest::newRow(qPrintable(QString::number(l.first, 16))) << l.first << l.second;
    }
    void endMarkerInsideReadData()
    {
        QFETCH(int, command);
        QFETCH(int, datalength);
        for (int at = 0; at + 3 <= datalength + 1; ++at) { // the marker may cover the checksum too
            QByteArray data(datalength + 1, char(0x5a));
            data.replace(at, 3, bytes("112233"));
            data.truncate(datalength + 1);
            QByteArray f = bytes("445566 18 01") + QByteArray(1, char(command)) + data + bytes("112233");
            ReplyAssembler a;
            QCOMPARE(a.feed(f), QList<QByteArray>{f});
        }
    }

    void noiseAfterStartMarkerStaysBounded()
    {
        ReplyAssembler a;
        QVERIFY(a.feed(bytes("445566 18 01 61 42 00 03")).isEmpty());
        QByteArray noise;
        for (int i = 0; i < 97; ++i)
            noise.append(char(0x60 + i % 13)); // never 11 or 44
        for (int i = 0; i < 1000; ++i) {
            QVERIFY(a.feed(noise).isEmpty());
            QVERIFY(a.pending().size() <= ReplyAssembler::maxframelength);
        }
        // The stream recovers: a reply inside noise comes out whole.
        QCOMPARE(a.feed(noise + gainack() + noise), QList<QByteArray>{gainack()});
        QVERIFY(a.pending().size() <= 2);
    }

    void overflowDropsOnlyTheStart()
    {
        // A start marker whose reply never ends, then a real reply within the
        // same long chunk but further than the longest reply: the real one survives.
        ReplyAssembler a;
        QByteArray chunk = bytes("445566 18 01 50") + QByteArray(ReplyAssembler::maxframelength, char(0x01));
        chunk += find();
        QCOMPARE(a.feed(chunk), QList<QByteArray>{find()});
    }

    void stale_data()
    {
        QTest::addColumn<qint64>("gap");
        QTest::addColumn<bool>("completes");
        QTest::newRow("quick") << qint64(15) << true;
        QTest::newRow("at the limit") << ReplyAssembler::stalems << true;
        QTest::newRow("stale") << ReplyAssembler::stalems + 1 << false;
    }
    void stale()
    {
        QFETCH(qint64, gap);
        QFETCH(bool, completes);
        const QByteArray r = meters();
        ReplyAssembler a;
        QVERIFY(a.feed(r.left(10), 1000).isEmpty());
        const auto out = a.feed(r.mid(10), 1000 + gap);
        QCOMPARE(out, completes ? QList<QByteArray>{r} : QList<QByteArray>{});
        QVERIFY(a.pending().isEmpty());
        // Whatever happened, the next reply is found.
        QCOMPARE(a.feed(r, 1000 + gap + 5000), QList<QByteArray>{r});
    }

    // A reply cut off (here after its program and part numbers and half an
    // end marker) in front of others: fed with time stamps, what comes out at
    // each step and how long the assembler asks to be fed again after it.
    void fragments_data()
    {
        QTest::addColumn<QByteArrayList>("chunks"); // an empty chunk: fed again, nothing new
        QTest::addColumn<QList<int>>("times");      // ms of each feed
        QTest::addColumn<QByteArrayList>("out");    // the frames of each feed, joined
        QTest::addColumn<QList<int>>("rechecks");   // recheckms after each feed
        const QByteArray f = bytes("445566 18 01 61 00 00 05 1122");
        const QByteArray r = recallack();
        const QByteArray w = writeack();
        const QByteArray n = name();
        const QByteArray pd = programdata(0x03);
        const QByteArray nf = namewithframe(); // a whole reply in its data, bytes 12..22
        const int gap = int(ReplyAssembler::gapms);
        const int stale = int(ReplyAssembler::stalems);
        QTest::newRow("fragment in front, taken after the silence")
            << QByteArrayList{f + r, {}, {}} << QList<int>{0, gap - 1, gap + 1} << QByteArrayList{{}, {}, r}
            << QList<int>{gap + 1, 2, -1};
        QTest::newRow("fragment in front, reply split: silence from its last byte")
            << QByteArrayList{f + r.left(6), r.mid(6), {}, {}} << QList<int>{0, 90, 150, 191}
            << QByteArrayList{{}, {}, {}, r} << QList<int>{-1, gap + 1, gap + 1 - 60, -1};
        QTest::newRow("fragment in front, next reply before the silence: both after it")
            << QByteArrayList{f + r, w, {}} << QList<int>{0, 30, 30 + gap + 1}
            << QByteArrayList{{}, {}, r + w} << QList<int>{gap + 1, gap + 1, -1};
        QTest::newRow("merged: two fragments each before a reply")
            << QByteArrayList{f + r + f + n, {}} << QList<int>{0, gap + 1} << QByteArrayList{{}, r + n}
            << QList<int>{gap + 1, -1};
        QTest::newRow("fragment before a program part: dropped at the part's length")
            << QByteArrayList{f + pd} << QList<int>{0} << QByteArrayList{pd} << QList<int>{-1};
        QTest::newRow("fragment alone waits, no recheck") << QByteArrayList{f, {}} << QList<int>{0, gap + 1}
                                                          << QByteArrayList{{}, {}} << QList<int>{-1, -1};
        QTest::newRow("fragment then stale: the reply behind it taken, then the next")
            << QByteArrayList{f + r, meters()} << QList<int>{0, stale + 1} << QByteArrayList{{}, r + meters()}
            << QList<int>{gap + 1, -1};
        QTest::newRow("fragment and a partial reply then stale: both dropped")
            << QByteArrayList{f + r.left(8), meters()} << QList<int>{0, stale + 1}
            << QByteArrayList{{}, meters()} << QList<int>{-1, -1};
        QTest::newRow("a name holding a whole reply, cut behind it, rest before the silence")
            << QByteArrayList{nf.left(23), nf.mid(23)} << QList<int>{0, gap - 1} << QByteArrayList{{}, nf}
            << QList<int>{gap + 1, -1};
        QTest::newRow("its rest after a pause, with new bytes: the name whole")
            << QByteArrayList{nf.left(23), nf.mid(23)} << QList<int>{0, gap + 50} << QByteArrayList{{}, nf}
            << QList<int>{gap + 1, -1};
        QTest::newRow("fragment, silence, then a fragment and a reply: each after its own silence")
            << QByteArrayList{f + r, f + w, {}} << QList<int>{0, 200, 200 + gap + 1}
            << QByteArrayList{{}, r, w} << QList<int>{gap + 1, gap + 1, -1};
    }
    void fragments()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QList<int>, times);
        QFETCH(QByteArrayList, out);
        QFETCH(QList<int>, rechecks);
        ReplyAssembler a;
        for (int i = 0; i < chunks.size(); ++i) {
            const QList<QByteArray> frames = a.feed(chunks.at(i), times.at(i));
            QByteArray joined;
            for (const QByteArray &fr : frames)
                joined += fr;
            QVERIFY2(joined == out.at(i),
                     qPrintable(QString("feed %1: %2").arg(i).arg(QString(joined.toHex()))));
            QCOMPARE(a.recheckms(times.at(i)), qint64(rechecks.at(i)));
        }
    }

    void slice_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("slice");
        QTest::newRow("inside") << "44556618016002000768112233" << 14 << 4 << "0007";
        QTest::newRow("short: no end marker digits, zeros") << "4455661801600200112233" << 14 << 4 << "0000";
        QTest::newRow("start past the end") << "445566180160112233" << 40 << 6 << "000000";
        QTest::newRow("no end marker") << "4455661801600207" << 14 << 4 << "0700";
        QTest::newRow("empty frame") << QString() << 6 << 2 << "00";
    }
    void slice()
    {
        QFETCH(QString, frame);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, slice);
        QCOMPARE(replyslice(frame, start, length), slice);
    }
};

QTEST_APPLESS_MAIN(TestReplyAssembler)
#include "tst_replyassembler.moc"
