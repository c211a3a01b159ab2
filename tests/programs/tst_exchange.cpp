// The exchange and the program reader against the stand-in's fault rules.

#include "exchange.h"
#include "programreader.h"
#include "programsfixture.h"
#include "replywait.h"

#include <QElapsedTimer>

using standin::Fault;

class TstExchange : public QObject
{
    Q_OBJECT
    ProgramsFixture f;
    StandinLine line;

    Exchange::Request recall(int p) const
    {
        Exchange::Request r;
        Q_UNUSED(p);
        r.code = 0x62;
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
        QTest::qWait(400); // late replies of a row stay in that row
        line.s.clearframes();
    }
    // A processor that puts something else than the program number in the
    // first data byte of its replies.
    void otherecho(bool on)
    {
        if (!on)
            return;
        Fault echo;
        echo.kind = Fault::OtherEcho;
        line.s.addfault(echo);
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
        QTest::addColumn<bool>("echo"); // another value than the program in the reply
        using R = Exchange::Result;
        for (bool echo : {false, true}) {
            const char *e = echo ? ", other echo" : "";
            QTest::addRow("instant%s", e) << 5 << -1 << 0 << int(R::Answered) << 1 << 1 << echo;
            QTest::addRow("late, within the wait%s", e)
                << 6 << int(Fault::LateReply) << 20 << int(R::Answered) << 1 << 1 << echo;
            // The reply to an earlier send answers a later one.
            QTest::addRow("late, after the wait%s", e)
                << 7 << int(Fault::LateReply) << 300 << int(R::Answered) << 2 << 6 << echo;
            QTest::addRow("first try lost%s", e)
                << 8 << int(Fault::NoReplyFirstTry) << 0 << int(R::Answered) << 2 << 2 << echo;
            QTest::addRow("silent%s", e)
                << 9 << int(Fault::NoReply) << 0 << int(R::NoReply) << 11 << 11 << echo;
        }
    }
    void exchange()
    {
        QFETCH(int, program);
        QFETCH(int, fault);
        QFETCH(int, delay);
        QFETCH(int, result);
        QFETCH(int, minsends);
        QFETCH(int, maxsends);
        QFETCH(bool, echo);
        otherecho(echo);
        if (fault >= 0) {
            Fault x;
            x.kind = Fault::Kind(fault);
            x.command = 0x62;
            x.delayMs = delay;
            line.s.addfault(x);
        }
        Exchange x;
        QVector<int> attempts;
        // When the exchange sends, on the test's own clock.
        QElapsedTimer clock;
        clock.start();
        QVector<qint64> sendns;
        const Exchange::Result r = x.run(
            recall(program),
            [&] {
                sendns << clock.nsecsElapsed();
                gMainApp->sendrecallprogram(program);
            },
            [&](int n, bool) { attempts << n; });
        QCOMPARE(int(r), result);
        QVERIFY2(x.sends() >= minsends && x.sends() <= maxsends, qPrintable(QString::number(x.sends())));
        // Address 1, code 62, count 1, the program, the 7-bit sum of those.
        const auto bodyof = [](int b) {
            return QStringLiteral("18016201%1%2")
                .arg(b, 2, 16, QLatin1Char('0'))
                .arg((0x01 + 0x62 + 0x01 + b) & 0x7F, 2, 16, QLatin1Char('0'));
        };
        const QString body = bodyof(program);
        if (r == Exchange::Result::Answered)
            QCOMPARE(x.reply().text, "445566" + bodyof(echo ? 0xA5 : program) + "112233");
        QCOMPARE(attempts.size(), x.sends());
        QTRY_COMPARE(line.sent(0x62).size(), x.sends());
        for (const auto &c : line.sent(0x62))
            QCOMPARE(QString::fromLatin1(c.bytes.toHex()), "112233" + body + "445566");
        // Silent: each repeat only after the settle pause and the whole wait
        // (less a millisecond, the timers' grain). Timed where the exchange
        // sends: the stand-in stamps a frame when it reads it, and a loaded
        // machine can hold one back and not the next.
        QCOMPARE(sendns.size(), x.sends());
        if (fault == int(Fault::NoReply)) {
            for (int i = 1; i < sendns.size(); ++i)
                QVERIFY2(sendns[i] - sendns[i - 1] >= qint64(MainApp::scaled(100 + 4000) - 1) * 1000000,
                         qPrintable(QString::number((sendns[i] - sendns[i - 1]) / 1000000)));
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
        QTest::addColumn<bool>("echo");
        for (bool echo : {false, true}) {
            const char *e = echo ? ", other echo" : "";
            QTest::addRow("instant%s", e) << -1 << -1 << true << QString() << echo;
            QTest::addRow("part 7 lost once%s", e)
                << int(Fault::NoReplyFirstTry) << 7 << true << QString() << echo;
            // A duplicate of part 2 arrives while part 3 is awaited: part 3 is
            // still asked for until its own reply comes.
            QTest::addRow("duplicate before a lost part%s", e)
                << int(Fault::Duplicate) << 2 << true << QString() << echo;
            QTest::addRow("part 7 silent%s", e)
                << int(Fault::NoReply) << 7 << false << ProgramReader::failuretext() << echo;
        }
    }
    void reader()
    {
        QFETCH(int, fault);
        QFETCH(int, part);
        QFETCH(bool, ok);
        QFETCH(QString, box);
        QFETCH(bool, echo);
        MainApp::settimescale(0.01);
        otherecho(echo);
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

    // A reply already there when the wait begins (it came during the settle
    // pause) ends the exchange within one poll, not after its wait.
    void alreadyarrived()
    {
        MainApp::settimescale(1);
        Exchange::Request r = recall(5);
        r.settlems = 300;
        r.timeoutms = 30000;
        QElapsedTimer clock;
        clock.start();
        Exchange x;
        QCOMPARE(int(x.run(r, [] { gMainApp->sendrecallprogram(5); })), int(Exchange::Result::Answered));
        QCOMPARE(x.sends(), 1);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));

        // The wait itself, with the reply in before it starts.
        ReplyWait wait(0x18, 1, 0x62);
        gMainApp->sendrecallprogram(5);
        QTRY_VERIFY(wait.arrived());
        clock.restart();
        QCOMPARE(int(wait.wait(30000)), int(ReplyWait::Outcome::Arrived));
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    }

    // A reply of the code that does not match (another part) while a part is
    // awaited is dropped: the attempt goes on and no send is spent on it.
    void straydoesnotcostasend_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::newRow("echo") << false;
        QTest::newRow("other echo") << true;
    }
    void straydoesnotcostasend()
    {
        QFETCH(bool, echo);
        MainApp::settimescale(0.05); // 100 ms a part's wait
        otherecho(echo);
        Fault late;
        late.kind = Fault::LateReply;
        late.command = 0x61;
        late.delayMs = 70;
        line.s.addfault(late);
        QTimer::singleShot(15, [&] {
            QByteArray part9(66, '\0');
            part9[1] = 9;
            line.s.sendraw(line.line, standin::replyframe(0x18, 1, 0x61, part9));
        });
        Exchange x;
        Exchange::Request r;
        r.code = 0x61;
        r.marks = {{8, 3}};
        r.settlems = 150;
        r.timeoutms = 2000;
        QCOMPARE(int(x.run(r, [] { gMainApp->sendreadcurrentpart(3); })), int(Exchange::Result::Answered));
        QCOMPARE(x.sends(), 1);
        QCOMPARE(x.dropped(), 1);
        QCOMPARE(x.reply().byte(8), 3);
    }

    // Replies carry no program: a late reply to a recall given up on arrives
    // in the next recall's quiet period and is dropped, not taken for its
    // answer; a recall after the quiet period is answered as usual.
    void latereplydropped_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::newRow("echo") << false;
        QTest::newRow("other echo") << true;
    }
    void latereplydropped()
    {
        QFETCH(bool, echo);
        MainApp::settimescale(0.1); // 10 ms settle, 200 ms wait
        otherecho(echo);
        line.s.addfault(Fault::onprogram(Fault::LateReply, 0x62, 5, 300));
        line.s.addfault(Fault::onprogram(Fault::NoReply, 0x62, 6));
        Exchange::Request r = recall(5);
        r.timeoutms = 2000;
        r.sends = 1;
        Exchange first;
        QCOMPARE(int(first.run(r, [] { gMainApp->sendrecallprogram(5); })), int(Exchange::Result::NoReply));
        Exchange second;
        QCOMPARE(int(second.run(r, [] { gMainApp->sendrecallprogram(6); })), int(Exchange::Result::NoReply));
        QCOMPARE(second.dropped(), 1);
        QCOMPARE(second.sends(), 1);
        QTRY_COMPARE(line.s.replies(line.unit).size(), 1);
        Exchange third;
        QCOMPARE(int(third.run(r, [] { gMainApp->sendrecallprogram(7); })), int(Exchange::Result::Answered));
        QCOMPARE(third.dropped(), 0);
    }

    // A recall answered on its second send: the first send's reply may still
    // come. The next recall lets one reply time go by first and drops what
    // arrives in it, not taking it for its own answer.
    void quietafterresend()
    {
        MainApp::settimescale(0.1); // 10 ms settle, 200 ms wait
        line.s.addfault(Fault::onprogram(Fault::NoReplyFirstTry, 0x62, 5));
        line.s.addfault(Fault::onprogram(Fault::NoReply, 0x62, 6));
        Exchange::Request r = recall(5);
        r.timeoutms = 2000;
        r.sends = 2;
        Exchange first;
        QCOMPARE(int(first.run(r, [] { gMainApp->sendrecallprogram(5); })), int(Exchange::Result::Answered));
        QCOMPARE(first.sends(), 2);
        // The first send's reply, late after all.
        QTimer::singleShot(60, this, [this] {
            line.s.sendraw(line.line, standin::replyframe(0x18, 1, 0x62, QByteArray(1, char(5))));
        });
        r.sends = 1;
        Exchange second;
        QCOMPARE(int(second.run(r, [] { gMainApp->sendrecallprogram(6); })), int(Exchange::Result::NoReply));
        QCOMPARE(second.dropped(), 1);
        QCOMPARE(second.sends(), 1);
    }

    // The last preset, 40, is read part by part like any program; 41 does not
    // exist and is never asked for.
    void readlastpreset()
    {
        // A part's wait long enough (200 ms) that a busy machine does not
        // send it twice: the count of sends is checked.
        MainApp::settimescale(0.1);
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
