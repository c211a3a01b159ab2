#pragma once

// ReplyWait: waits, with the event loop running, for the reply to one command
// from one processor. It listens to every reply the application receives (the
// serial line's and the network's alike) and takes only the one whose unit
// type, address and command code match, and, where a command names a program,
// part or block, whose data byte at that position holds the same mark.
//
// A wait is bounded: it ends when the reply arrives, when its time is up, when
// the device it was started for stops being current or loses its link, or when
// the application is closing or the long exchange is cancelled. Replies that arrive while no wait runs are
// remembered until rearm(), so a reply faster than the caller is not lost.

#include "replydispatch.h"

#include <QObject>

class DeviceData;

class ReplyWait : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Arrived, TimedOut, LinkLost, Closing };

    // markbyte: frame byte that must equal markvalue (7 is the first data
    // byte), or -1 for a reply matched by its code alone. The device is the
    // current one when the wait object is made.
    ReplyWait(unsigned char type, unsigned char address, unsigned char code, int markbyte = -1,
              int markvalue = -1);
    ~ReplyWait() override;

    // Waits up to ms milliseconds (under the test time scale); a reply that
    // already arrived ends it at once. User input is held back meanwhile
    // unless allowUserInput is set or a Cancel button is open (CancelButton).
    Outcome wait(int ms, bool allowUserInput = false);
    bool arrived() const { return m_arrived; }
    const Reply &reply() const { return m_reply; }
    // Forgets an arrived reply and waits for the mark given (for the next part).
    void rearm(int markvalue);
    void rearm() { rearm(m_markvalue); }

signals:
    void matched();

private:
    void take(const Reply &reply);
    bool linkok() const;

    unsigned char m_type;
    unsigned char m_address;
    unsigned char m_code;
    int m_markbyte;
    int m_markvalue;
    DeviceData *m_device;
    bool m_arrived = false;
    Reply m_reply;
};
