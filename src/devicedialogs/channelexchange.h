#pragma once

// What the channel link and the channel copy dialogs share: one command that
// the processor acknowledges with a reply of its own code, then the re-read of
// the processor's running program so that every page shows what it now holds.
//
// The acknowledgement is a bounded exchange with the device current at the
// start (11 sends at most, each waiting for the reply with the command's own
// code, so a reply to another command never counts). The re-read is the
// program page's: all 26 parts, each waited for by its own part number and
// bounded, applied to the model only when every part arrived. A failure in
// either step leaves the model as it was.
//
// An acknowledgement carries nothing that names its request, so a late or
// duplicated one of an earlier request could pass for this one's: the program
// read back is what tells whether the processor did what was asked.

#include <QByteArray>
#include <QString>

#include <functional>

namespace channelexchange
{

constexpr int kSettleMs = 100;    // pause after each send
constexpr int kAckSends = 11;     // the first send and 10 repeats
constexpr int kBeforeReadMs = 50; // pause between the acknowledgement and the re-read
constexpr int kAfterReadMs = 50;  // pause after the re-read before the pages reload

enum class Result {
    Done,        // acknowledged and read back: the caller has the pages reload
    NoAck,       // no acknowledgement (or the link was lost before it came)
    ReadFailed,  // acknowledged, but the running program was not read back whole
    Differs,     // read back whole, but it does not show what was asked: the model
                 // holds what the processor holds and the caller has the pages reload
    Closing,     // the application is closing
    LineDropped, // the line dropped before the acknowledgement came: the
                 // processor may have carried the command out
};

struct Request {
    unsigned char code = 0; // command sent; its reply carries the same code
    int timeoutms = 2000;   // wait for the reply after each send's pause
    QString word;           // diagnostic words: "<word>" and "<word>second" after each
                            // attempt, "<dataword>" and "<dataword>second" after
                            // each part request
    QString dataword;
    // Whether the program read back (1664 bytes) shows what was asked;
    // unset: whatever was read counts as done.
    std::function<bool(const QByteArray &image)> confirmed;
};

// Progress of a run, 0..100: 1 at the start, 3 per send, 30 + 2 per part,
// 80 once read, 90 decoded, 100 at the end (also on failure).
using Progress = std::function<void(int value)>;

// Sends with send() until the acknowledgement comes, then re-reads the
// running program into the current device, labels its data "Online Data" and
// checks it with request.confirmed.
Result run(const Request &request, const std::function<void()> &send, const Progress &progress = {});

// The busy cursor for the length of a run; end() restores it early (before a
// message box).
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor() { end(); }
    void end();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool m_on = true;
};

// Text of the current language: English for 0, Chinese otherwise.
QString tr2(const char *english, const char *chinese);

} // namespace channelexchange
