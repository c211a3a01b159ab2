// The exchange and the program reader against the stand-in's fault rules.

#include "exchange.h"
#include "programreader.h"
#include "programsfixture.h"

using standin::Fault;

class TstExchange : public QObject
{
    Q_OBJECT
    ProgramsFixture f;
    StandinLine line;

    Exchange::Request recall(int p) const
    {
        Exchange::Request r;
        r.code = 0x62;
        r.marks = {{7, p}};
        r.settlems = 100;
        r.timeoutms = 4000;
        return r;
    }

private slots:
    void initTestCase() { QVERIFY(line.open()); }
    void cleanupTestCase() { line.close(); }
    void init()
    {
        f.setup();
        MainApp::settimescale(0.02); // 80 ms a recall attempt
        line.reset();
        line.s.update(line.unit, [](standin::UnitState &u) {
            for (int i = 0; i < 30; ++i) {
                u.programs[i].used = true;
                u.programs[i].image = standin::factoryimage();
            }
        });
        line.s.clearframes();
    }
    void cleanup()
    {
        f.teardown();
        QTest::qWait(50); // late replies of a row stay in that row
        line.s.clearframes();
    }

    // Recall of a program under each fault rule (each row its own program, so
    // that late replies of a row answer nothing in the next).
    void exchange_data()
    {
        QTest::addColumn<int>("program");
        QTest::addColumn<int>("fault"); // -1 none
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("minsends");
        QTest::addColumn<int>("maxsends");
        using R = Exchange::Result;
        QTest::newRow("instant") << 5 << -1 << 0 << int(R::Answered) << 1 << 1;
        QTest::newRow("late, within the wait")
            << 6 << int(Fault::LateReply) << 20 << int(R::Answered) << 1 << 1;
        // The reply to an earlier send answers a later one.
        QTest::newRow("late, after the wait")
            << 7 << int(Fault::LateReply) << 300 << int(R::Answered) << 2 << 6;
        QTest::newRow("first try lost")
            << 8 << int(Fault::NoReplyFirstTry) << 0 << int(R::Answered) << 2 << 2;
        QTest::newRow("silent") << 9 << int(Fault::NoReply) << 0 << int(R::NoReply) << 11 << 11;
    }
    void exchange()
    {
        QFETCH(int, program);
        QFETCH(int, fault);
        QFETCH(int, delay);
        QFETCH(int, result);
        QFETCH(int, minsends);
        QFETCH(int, maxsends);
        if (fault >= 0) {
            Fault x;
            x.kind = Fault::Kind(fault);
            x.command = 0x62;
            x.delayMs = delay;
            line.s.addfault(x);
        }
        Exchange x;
        QVector<int> attempts;
        const Exchange::Result r = x.run(
            recall(program), [&] { gMainApp->sendrecallprogram(program); },
            [&](int n, bool) { attempts << n; });
        QCOMPARE(int(r), result);
        QVERIFY2(x.sends() >= minsends && x.sends() <= maxsends, qPrintable(QString::number(x.sends())));
        // Address 1, code 62, count 1, the program, the 7-bit sum of those.
        const QString body = QStringLiteral("18016201%1%2")
                                 .arg(program, 2, 16, QLatin1Char('0'))
                                 .arg((0x01 + 0x62 + 0x01 + program) & 0x7F, 2, 16, QLatin1Char('0'));
        if (r == Exchange::Result::Answered)
            QCOMPARE(x.reply().text, "445566" + body + "112233");
        QCOMPARE(attempts.size(), x.sends());
        QTRY_COMPARE(line.sent(0x62).size(), x.sends());
        for (const auto &c : line.sent(0x62))
            QCOMPARE(QString::fromLatin1(c.bytes.toHex()), "112233" + body + "445566");
        // Silent: each repeat only after the settle pause and the whole wait (loosely).
        if (fault == int(Fault::NoReply)) {
            const auto sent = line.sent(0x62);
            for (int i = 1; i < sent.size(); ++i)
                QVERIFY(sent[i].ns - sent[i - 1].ns >= qint64(MainApp::scaled(4000)) * 1000000 * 9 / 10);
        }
    }

    // The running program read with its faults; the model changes only when
    // every part came.
    void reader_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("part");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("box");
        QTest::newRow("instant") << -1 << -1 << true << QString();
        QTest::newRow("part 7 lost once") << int(Fault::NoReplyFirstTry) << 7 << true << QString();
        // A duplicate of part 2 arrives while part 3 is awaited: part 3 is
        // still asked for until its own reply comes.
        QTest::newRow("duplicate before a lost part") << int(Fault::Duplicate) << 2 << true << QString();
        QTest::newRow("part 7 silent") << int(Fault::NoReply) << 7 << false << ProgramReader::failuretext();
    }
    void reader()
    {
        QFETCH(int, fault);
        QFETCH(int, part);
        QFETCH(bool, ok);
        QFETCH(QString, box);
        MainApp::settimescale(0.01);
        if (fault >= 0) {
            Fault x;
            x.kind = Fault::Kind(fault);
            x.command = 0x61;
            x.packet = part;
            line.s.addfault(x);
        }
        if (fault == int(Fault::Duplicate)) {
            Fault lost;
            lost.kind = Fault::NoReplyFirstTry;
            lost.command = 0x61;
            lost.packet = 3;
            line.s.addfault(lost);
        }
        const QByteArray image = standin::factoryimage();
        line.s.update(line.unit, [&](standin::UnitState &u) { u.image = image; });
        f.dev->loaddefaults();
        f.dev->packprogram();
        const QByteArray before = f.packed();
        ProgramReader reader;
        const bool read = reader.loadcurrent();
        if (!read)
            ProgramReader::showfailure(f.page.get());
        QCOMPARE(read, ok);
        QCOMPARE(f.prompts->texts().join('|'), box);
        QCOMPARE(f.packed(), ok ? image : before);
        if (ok)
            QVERIFY(line.sent(0x61).size() >= 26);
        else
            QCOMPARE(reader.sends(), 7 + 11);
    }

    // The last preset, 40, is read part by part like any program; 41 does not
    // exist and is never asked for.
    void readlastpreset()
    {
        MainApp::settimescale(0.01);
        QByteArray image = standin::factoryimage();
        image.replace(1, 9, QByteArray("PRESET 40"));
        for (int k = 0; k < 26; ++k)
            image[64 * k + 33] = char(k + 40); // every part differs
        line.s.update(line.unit, [&](standin::UnitState &u) { u.programs[39].image = image; });
        ProgramReader reader;
        QVERIFY(reader.read(40));
        QCOMPARE(reader.image().toHex(), image.toHex());
        QCOMPARE(line.sent(0x61).size(), 26);
        QVERIFY(!reader.read(41));
        QCOMPARE(reader.sends(), 0);
    }
};

QTEST_MAIN(TstExchange)
#include "tst_exchange.moc"
