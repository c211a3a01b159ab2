// The send throttles' timer: asleep it delivers nothing, a wake hands back the
// ticks that fell meanwhile exactly once, and ticking goes on after it; a timer
// stopped from outside (as the tests of the pages do) stays stopped.

#include "throttletimer.h"

#include <QElapsedTimer>
#include <QTest>

class TstThrottleTimer : public QObject
{
    Q_OBJECT

private slots:
    void sleepandwake()
    {
        ThrottleTimer timer;
        QElapsedTimer sincetick;
        int ticks = 0;
        bool sleepnext = false;
        connect(&timer, &QTimer::timeout, this, [&]() {
            sincetick.start();
            ++ticks;
            if (sleepnext)
                timer.sleep();
        });
        timer.startticks(20);
        QTRY_VERIFY(ticks >= 2);
        sleepnext = true;
        const int before = ticks + 1;
        QTRY_COMPARE(ticks, before);
        QVERIFY(timer.sleeping());
        QTest::qWait(130);
        QCOMPARE(ticks, before);

        // Woken: the ticks since the last one delivered, by the timer's grid.
        sleepnext = false;
        const qint64 low = sincetick.elapsed();
        const int missed = timer.wake();
        const qint64 high = sincetick.elapsed();
        QVERIFY2(missed >= int(low / 20) && missed <= int(high / 20) + 1,
                 qPrintable(QString::number(missed)));
        QVERIFY(missed >= 6);
        QCOMPARE(timer.wake(), 0); // awake: nothing more to hand back
        QTRY_VERIFY(ticks >= before + 2);
        QCOMPARE(timer.interval(), 20);
    }

    // Woken within a period, the first tick comes when the grid's would
    // have, the rest of the period away, not a whole period after the wake.
    void wakekeepsgrid()
    {
        ThrottleTimer timer;
        // Precise: a coarse timer may move its time-out by 5 % of the interval.
        timer.setTimerType(Qt::PreciseTimer);
        QElapsedTimer sincestart;
        timer.startticks(2000);
        sincestart.start();
        timer.sleep();
        QTest::qWait(300);
        const qint64 low = sincestart.elapsed();
        QCOMPARE(timer.wake(), 0);
        const int left = timer.remainingTime();
        QVERIFY2(left >= 0 && left <= 2000 - low + 2,
                 qPrintable(QStringLiteral("%1 ms left after %2 ms").arg(left).arg(low)));
        timer.stop();
    }

    // Put to sleep again before the first tick after a wake, the same fallen
    // ticks are not handed back twice.
    void nodoublecount()
    {
        ThrottleTimer timer;
        int ticks = 0;
        connect(&timer, &QTimer::timeout, this, [&]() {
            ++ticks;
            timer.sleep();
        });
        timer.startticks(40);
        QTRY_COMPARE(ticks, 1);
        QTest::qWait(100);
        const int first = timer.wake();
        QVERIFY(first >= 2);
        timer.sleep();
        const int second = timer.wake();
        QVERIFY2(second <= 1, qPrintable(QString::number(second)));
        timer.stop();
    }

    // Stopped by hand, awake or asleep: a wake starts nothing, hands back no
    // ticks, and a sleep call is harmless.
    void stoppedoutside_data()
    {
        QTest::addColumn<bool>("asleep");
        QTest::newRow("awake") << false;
        QTest::newRow("asleep") << true;
    }
    void stoppedoutside()
    {
        QFETCH(bool, asleep);
        ThrottleTimer timer;
        timer.startticks(20);
        if (asleep)
            timer.sleep();
        timer.stop();
        timer.sleep();
        QTest::qWait(60);
        QCOMPARE(timer.wake(), 0);
        QVERIFY(!timer.isActive());
        QVERIFY(!timer.sleeping());
        // Started again from outside, it ticks at its period.
        int ticks = 0;
        connect(&timer, &QTimer::timeout, this, [&]() { ++ticks; });
        timer.start();
        QCOMPARE(timer.interval(), 20);
        QTRY_VERIFY(ticks >= 2);
    }
};

QTEST_MAIN(TstThrottleTimer)
#include "tst_throttletimer.moc"
