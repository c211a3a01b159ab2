#include "throttletimer.h"

#include <QTimerEvent>

#include <limits>

ThrottleTimer::ThrottleTimer(QObject *parent)
    : QTimer(parent)
{
}

void ThrottleTimer::startticks(int ms)
{
    period = ms;
    asleep = false;
    aligning = false;
    start(ms);
    sincetick.start();
    reported = 0;
}

void ThrottleTimer::sleep()
{
    if (!isActive())
        return;
    // Asleep the timer stays active with an interval no run reaches: it
    // costs no wake-up, and a stop() from outside meanwhile still shows
    // (the timer is then no longer active) so that wake() starts nothing.
    start(std::numeric_limits<int>::max());
    asleep = true;
    aligning = false;
}

int ThrottleTimer::wake()
{
    if (!asleep || period <= 0)
        return 0;
    asleep = false;
    if (!isActive()) {
        // Stopped from outside while asleep: it stays stopped, and a start()
        // from outside later ticks at the period again.
        setInterval(period);
        return 0;
    }
    // The grid goes on from the last tick delivered: the ticks since then
    // that nobody has heard of yet are the page's to count.
    const qint64 passed = sincetick.elapsed();
    const int fallen = int(passed / period);
    const int missed = fallen - reported;
    reported = fallen;
    aligning = true;
    start(int(period - passed % period));
    return missed;
}

void ThrottleTimer::timerEvent(QTimerEvent *event)
{
    const bool tick = event->timerId() == timerId();
    if (tick) {
        sincetick.start();
        reported = 0;
    }
    QTimer::timerEvent(event);
    // The first tick after a wake sets the period again, from this tick on.
    if (tick && aligning && isActive()) {
        aligning = false;
        setInterval(period);
    }
}
