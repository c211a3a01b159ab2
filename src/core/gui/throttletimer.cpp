#include "throttletimer.h"

#include <QTimerEvent>

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
    stop();
    asleep = true;
    aligning = false;
}

int ThrottleTimer::wake()
{
    if (!asleep || period <= 0)
        return 0;
    asleep = false;
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
