#pragma once

// The tick of a page's send throttle that costs nothing while nothing is
// pending. It behaves as a periodic timer started once and never stopped,
// except that the page puts it to sleep on a tick with nothing to send; the
// next change wakes it on the same grid of ticks the timer would have kept,
// and the page learns how many ticks went by meanwhile to keep its cycle.
// A timer stopped from outside (stop()), awake or asleep, stays stopped:
// wake() starts only what sleep() put to sleep.

#include <QElapsedTimer>
#include <QTimer>

class ThrottleTimer : public QTimer
{
    Q_OBJECT
public:
    explicit ThrottleTimer(QObject *parent = nullptr);

    // Starts the grid of ticks (as QTimer::start(ms)).
    void startticks(int ms);
    // From the page's tick: no further ticks until wake().
    void sleep();
    // Makes sure the next tick comes on the grid; returns the ticks that
    // fell while asleep (0 when awake or stopped from outside).
    int wake();
    bool sleeping() const { return asleep; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    int period = 0;
    bool asleep = false;
    bool aligning = false;
    QElapsedTimer sincetick; // since the last tick delivered
    int reported = 0;        // grid ticks since then already handed to the page
};
