#pragma once

#include "longexchange.h"

// What the device lock and the project lock dialogs share: the password as the
// processor takes it, the restart count check, and the exchange of one lock
// request with the processor.
//
// A lock exchange waits for the reply to its own command only (0x10 or 0x12
// from the device it was sent to), so an unrelated reply neither ends the
// wait. That reply carries nothing that names its request, though: a late or
// duplicated answer to an earlier one looks the same. So whatever ended the
// wait, short of a lost link or a closing application, the connect request
// goes out afterwards and its reply is read: the lock state the processor
// reports there decides what the dialog says, and the stored lock state and
// every page's lock overlay follow it too.

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

// The lock state a connect reply reports.
struct State {
    bool read = false;   // false: no connect reply came
    int locktype = 0;    // 0 free, 1..4 the lock kind in force
    int projectlock = 0; // 1 the project lock is set
};

// Waits for the connect reply: each of kStateSends requests is given
// kStateWaitMs after a 100 ms pause.
constexpr int kStateWaitMs = 1000;
constexpr int kStateSends = 2;

// Clears the current device's ready flag and lock result, calls send (which
// sends one command with the given code to the current device) and waits up
// to polls x 100 ms for its reply. Afterwards, unless the link was lost or the
// application is closing, sends the connect request and puts the lock state
// of its reply into *state (read stays false when none came).
Result run(unsigned char code, int polls, const std::function<void()> &send, State *state);

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
    // False when another exchange holds the claim: the request must not start.
    bool acquired() const { return m_claim.acquired(); }
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
