#pragma once

// The one guard of every long exchange with a processor: connecting with its
// download, the device search, loading a program file into the processor, and
// the program page's operations. Their waits keep handling events, so a second
// exchange could otherwise start inside the first and talk to the processor
// (or close its port) under it: while one holds the guard, every other refuses
// to start.

// 1 while a long exchange runs.
extern int gConnectBusy;

// Claims gConnectBusy for the lifetime of the object; acquired() is false (and
// nothing is claimed) when another exchange already holds it.
class LongExchange
{
public:
    LongExchange();
    ~LongExchange();
    LongExchange(const LongExchange &) = delete;
    LongExchange &operator=(const LongExchange &) = delete;
    bool acquired() const { return m_acquired; }

private:
    bool m_acquired;
};
