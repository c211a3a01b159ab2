#pragma once

#include "longexchange.h"

// What the device lock and the project lock dialogs share: the password as the
// processor takes it, the restart count check, and the exchange of one lock
// request with the processor.
//
// A lock exchange waits for the reply to its own command only (0x10 or 0x12
// from the device it was sent to), so an unrelated reply neither ends the wait
// nor decides the result. Whatever the outcome short of a lost link or a
// closing application, the connect request goes out afterwards, so the stored
// lock state and every page's lock overlay follow what the processor holds,
// also when it took the request but its answer came too late.

#include <QString>

#include <functional>

namespace lockexchange
{

constexpr int kPasswordChars = 8;
constexpr int kPollMs = 100;
constexpr int kMaxRestartCount = 32767;

// The password as 16 lower-case hex digits: the text with white space trimmed
// at both ends, padded with blanks to eight characters, one Latin-1 byte a
// character ('?' for a character outside Latin-1). A null string when nothing
// is left after trimming.
QString passwordhex(const QString &text);

// The restart count typed: a whole number 0..32767, blanks around it allowed;
// -1 for anything else (empty, not a number, signed, out of range).
int restartcount(const QString &text);

enum class Result {
    Accepted, // the processor's reply says 0x01
    Refused,  // the reply came with another value
    NoAnswer, // no reply within the wait
    LinkLost, // the device lost its link or stopped being the current one
    Closing,  // the application is closing
};

// Clears the current device's ready flag and lock result, calls send (which
// sends one command with the given code to the current device) and waits up
// to polls x 100 ms for its reply. Afterwards sends the connect request unless
// the link was lost or the application is closing.
Result run(unsigned char code, int polls, const std::function<void()> &send);

// Holds a dialog's busy flag for the length of one request, so a click that
// comes while the request waits starts nothing.
class BusyFlag
{
public:
    explicit BusyFlag(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~BusyFlag() { m_flag = false; }
    BusyFlag(const BusyFlag &) = delete;
    BusyFlag &operator=(const BusyFlag &) = delete;

private:
    bool &m_flag;
    // The program-wide claim on exchanges with the processor.
    LongExchange m_claim;
};

// Text of the current language: English for 0, Chinese otherwise.
QString tr2(const char *english, const char *chinese);

} // namespace lockexchange
