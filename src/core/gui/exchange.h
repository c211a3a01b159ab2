#pragma once

// Exchange: one request-and-acknowledge exchange with the current processor.
// It sends a command, lets it settle, waits for the reply to that command
// (same unit type, address and code, and the same marks such as the program
// or part number), and sends again after a time-out, at most a given number of
// times. It ends at once when the target device stops being current, loses
// its link, or the application is closing.
//
// The target is the device current when the Exchange is made; one Exchange
// may run several requests in a row for the same device.
//
//   Exchange x;
//   Exchange::Request r{0x62, {{7, p}}, 100, 4000};
//   if (x.run(r, [p] { gMainApp->sendrecallprogram(p); }) == Exchange::Result::Answered) ...

#include "replydispatch.h"

#include <QPair>
#include <QVector>

#include <functional>

class DeviceData;

class Exchange
{
public:
    enum class Result {
        Answered, // the reply to this command arrived
        NoReply,  // every send timed out
        LinkLost, // the target lost its link or is no longer the current device
        Closing   // the application is closing
    };

    struct Request {
        unsigned char code = 0; // command sent, and the code of its reply
        // (frame byte, value) pairs the reply must hold; frame byte 7 is the
        // first data byte (the program number of 0x61..0x66 replies).
        QVector<QPair<int, int>> marks;
        int settlems = 100;   // pause after each send
        int timeoutms = 2000; // wait for the reply after the pause
        int sends = 11;       // first send and at most sends - 1 repeats
    };

    // Called after every attempt: attempts made so far, and whether the reply arrived.
    using Attempted = std::function<void(int attempts, bool answered)>;

    Exchange();

    Result run(const Request &request, const std::function<void()> &send, const Attempted &attempted = {});

    // Commands sent by the last run, and its reply when Answered.
    int sends() const { return m_sends; }
    const Reply &reply() const { return m_reply; }
    DeviceData *device() const { return m_device; }
    // True while the target is current with a link up and the application is not closing.
    bool usable() const;
    Result state() const;

private:
    DeviceData *m_device;
    unsigned char m_type;
    unsigned char m_address;
    int m_sends = 0;
    Reply m_reply;
};
