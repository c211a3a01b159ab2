#pragma once

// Exchange: one request-and-acknowledge exchange with the current processor.
// It sends a command, lets it settle, waits for the reply to that command
// (same unit type, address and code, and the same marks where the reply
// carries one, such as the part number of a program transfer or the program
// number of a name), and sends again after a time-out, at most a given number
// of times. It ends at once when the target device stops being current, loses
// its link, the application is closing or the long exchange is cancelled.
//
// Most replies carry nothing but their code, so a late reply to a request
// that was given up on could pass for the answer to the next one: after a wait
// that timed out, was cancelled or ended with the application, the next
// request with the same code and marks first lets one reply time go by,
// dropping what arrives (a quiet period). A reply that does not match
// (another part) never ends an attempt nor costs a send.
//
// The target is the device current when the Exchange is made; one Exchange
// may run several requests in a row for the same device.
//
//   Exchange x;
//   Exchange::Request r{0x62, {}, 100, 4000};
//   if (x.run(r, [p] { gMainApp->sendrecallprogram(p); }) == Exchange::Result::Answered) ...

#include "replydispatch.h"

#include <QPair>
#include <QString>
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
        Closing   // the application is closing, or the long exchange was cancelled
    };

    struct Request {
        unsigned char code = 0; // command sent, and the code of its reply
        // (frame byte, value) pairs the reply must hold; frame byte 7 is the
        // first data byte. Only what the processor puts in its reply: the
        // part number (byte 8) of 0x60 and 0x61, the program number (byte 7)
        // of 0x64; 0x62, 0x63, 0x65 and 0x66 replies carry nothing to match.
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
    // Replies of the code dropped by the last run: strays that did not match,
    // and late replies let go by in its quiet period.
    int dropped() const { return m_dropped; }
    const Reply &reply() const { return m_reply; }
    DeviceData *device() const { return m_device; }
    // True while the target is current with a link up and the application is not closing.
    bool usable() const;
    Result state() const;

private:
    // The quiet period before a request whose like timed out a moment ago.
    Result quiet(const Request &request);

    DeviceData *m_device;
    unsigned char m_type;
    unsigned char m_address;
    int m_sends = 0;
    int m_dropped = 0;
    Reply m_reply;
};

// The text of the failure box of a wait that ended because the line to the
// processor dropped (Result::LinkLost): the command may have reached it and
// been carried out, only its acknowledgement was lost.
QString linedroppedtext();
