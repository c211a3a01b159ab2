#pragma once

// The processor stand-in: simulated processors on a pseudo-terminal, on TCP
// port 6000 and on UDP port 9999, for tests and for trying the application by
// hand. Not part of the product.
//
// A Standin runs its lines and sockets on a thread of its own, so a test can
// drive the application on its own thread and wait with QTRY_ / QSignalSpy.
// Every method is thread-safe.
//
//   standin::Standin s;
//   int line = s.openpty();                  // s.ptypath(line) for QSerialPort
//   int unit = s.addunit(line, 0x18, 1);
//   ... run the application ...
//   QTRY_VERIFY(s.commands(unit).size() >= 27);
//   QCOMPARE(app image, s.state(unit).image);

#include "standinframe.h"
#include "standinunit.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

namespace standin
{

// One recorded frame. Times are nanoseconds on the stand-in's monotonic clock
// (Standin::nowns()).
struct FrameRecord {
    enum Direction { In, Out };
    Direction direction = In;
    qint64 ns = 0;         // In: when its last byte arrived; Out: when its last byte was written
    int line = -1;         // the line (pty or network address) it passed
    int unit = -1;         // the unit it was for or from; -1 none
    QByteArray bytes;      // the frame as it was on the wire
    bool ok = true;        // In: markers, count and checksum right
    bool answered = false; // In: a reply was produced (faults may still hold it back)
    QString note;          // why not ok or not answered; fault names on Out
    quint8 command() const { return bytes.size() > 5 ? quint8(bytes[5]) : 0; }
    // Payload bytes after the count byte (In), or data bytes after the count (Out).
    QByteArray payload() const { return bytes.size() > 10 ? bytes.mid(7, bytes.size() - 11) : QByteArray(); }
};

// A misbehaviour switched on for matching commands.
struct Fault {
    enum Kind {
        NoReply,         // the command is not answered
        NoReplyFirstTry, // the first of each distinct request (command, program, part) is not answered
        LateReply,       // answered after delayMs
        Duplicate,       // answered twice
        OtherAddress,    // the reply carries address otherAddress instead of the unit's
        GarbageBefore,   // garbage bytes are written before the reply
        GarbageAfter,    // garbage bytes are written after the reply (between it and the next)
        Split,           // the reply is written in pieces cut at splitAt, pauseMs apart
        SplitEndMarker,  // the reply is written as all but its last byte, then (pauseMs later) 0x33
        Merge,           // the reply is held back and written together with the next reply
        MarkerInData,    // reply 0x61: the packet's data bytes at dataOffset..+2 are set to 11 22 33
                         // (in the unit's image too, so a read-back comparison stays exact)
        DropLink,        // the first half of the reply is written, then the TCP connection is
                         // closed or the serial line goes dead until restoreline()
        RefuseLock,      // lock requests (0x10, 0x12) are refused whatever the password
        OtherEcho,       // replies 0x60 to 0x63 and 0x66: the first data byte, where the stand-in
                         // echoes the program number, holds echoValue instead (a processor
                         // that does not echo it)
        StaleDuplicate,  // answered as usual, and a copy of the reply is kept back and written
                         // when the next command with the same code reaches the unit, before
                         // that command's own reply (a duplicate late into the next wait);
                         // with ignoreNext that next command is neither carried out nor answered
        ForeignBefore,   // a reply of another unit (foreignType, foreignAddress) to the same command is
                         // written in front of the reply: the echoed program and part kept (0x60 to
                         // 0x64, 0x66), every other data byte set to foreignFill
        Ignored,         // the command is neither carried out nor answered (lost on its way in)
    };
    // Value of `command` that matches the UDP discovery request (NoReply,
    // LateReply, Duplicate and OtherAddress apply to it).
    static constexpr int Discovery = 0x100;

    Kind kind = NoReply;
    int unit = -1;        // -1: every unit
    int command = -1;     // -1: every command
    int packet = -1;      // program part (0x60, 0x61) or logo block (0x13); -1 any
    int program = -1;     // program number (0x60..0x64, 0x66); -1 any
    int times = -1;       // how many matching commands it affects; -1 without end
    int delayMs = 1500;   // LateReply
    int pauseMs = 30;     // Split, SplitEndMarker: pause between the pieces
    QVector<int> splitAt; // Split: byte offsets where the reply is cut
    QByteArray garbage = QByteArray("\x00\x7f\x5a\x44\x55", 5);
    // GarbageBefore/After: false puts the garbage in the same write as the reply;
    // true writes it on its own, pauseMs apart on a serial line and in a TCP
    // write of its own.
    bool garbageApart = false;
    quint8 otherAddress = 0x7F;                          // OtherAddress: the reply's address byte
    QHostAddress otherHost{QStringLiteral("127.0.0.2")}; // OtherAddress on discovery: the reply's sender
    int dataOffset = 61;                                 // MarkerInData: offset inside the 64 data bytes
    quint8 echoValue = 0xA5;                             // OtherEcho: the first data byte of the reply
    bool ignoreNext = false;                             // StaleDuplicate: the next command is missed
    quint8 foreignType = 0x16;                           // ForeignBefore: the other unit
    quint8 foreignAddress = 0x05;
    quint8 foreignFill = 0x5A;

    // A reply cut off after its program and part numbers (and the first two
    // bytes of an end marker), written in front of every reply to command
    // (-1: every command), as a processor interrupted mid-reply leaves it.
    static Fault fragmentbefore(int command = -1)
    {
        Fault f;
        f.kind = GarbageBefore;
        f.command = command;
        f.garbage = QByteArray::fromHex("445566180161000005"
                                        "1122");
        return f;
    }

    // A rule on one program of one command, e.g. a recall answered late.
    static Fault onprogram(Kind kind, int command, int program, int delayMs = 1500)
    {
        Fault f;
        f.kind = kind;
        f.command = command;
        f.program = program;
        f.delayMs = delayMs;
        return f;
    }
};

class StandinPrivate;

class Standin
{
public:
    Standin();
    ~Standin();
    Standin(const Standin &) = delete;
    Standin &operator=(const Standin &) = delete;

    // Lines. Each returns a line id, or -1 on failure (errorstring() says why).
    int openpty(); // a pseudo-terminal; the application opens ptypath()
    QString ptypath(int line) const;
    // TCP server on address:tcpPort and UDP discovery responder on address:udpPort.
    // Either port may be 0 to leave that part out.
    int listen(const QHostAddress &address, quint16 tcpPort = 6000, quint16 udpPort = 9999);
    quint16 tcpport(int line) const; // the bound TCP port
    QString errorstring() const;
    // Makes a line dead (no byte read or written) or alive again; DropLink uses it.
    void setlinedead(int line, bool dead);
    void restoreline(int line) { setlinedead(line, false); }
    // Hangs a pseudo-terminal line up for good, as an unplugged device does:
    // both ends close, the application's port sees the hang-up. The line
    // stays dead; open a new one to plug the device in again.
    void hangup(int line);
    // Closes every open TCP connection of a network line.
    void dropconnections(int line);
    int connectioncount(int line) const;

    // Units: a processor of a type (0x18, 0x16, 0x14) at an address on a line.
    int addunit(int line, quint8 type, quint8 address);
    UnitState state(int unit) const;
    void setstate(int unit, const UnitState &state);
    void update(int unit, const std::function<void(UnitState &)> &change);
    void setmeters(int unit, const QByteArray &twelveLevels);
    // Sends the unsolicited mute report (reply 0x57) on the unit's line.
    void sendmutereport(int unit);
    // Writes raw bytes to a line (every open connection of a network line).
    void sendraw(int line, const QByteArray &bytes);

    // Faults.
    int addfault(const Fault &fault); // returns a fault id
    void removefault(int id);
    void clearfaults();

    // Serial output paced like a 38400-baud line (about 0.26 ms a byte); off by default.
    void setpacing(bool on);
    // Least time between two replies on a TCP connection, so that each reaches the
    // application in a read of its own, as a processor answering one command at a
    // time would (default 3 ms; 0 writes at once).
    void settcpgap(int ms);

    // Recording.
    QVector<FrameRecord> frames() const;
    QVector<FrameRecord> commands(int unit = -1) const; // In records (ok ones) for a unit, -1 all
    QVector<FrameRecord> replies(int unit = -1) const;  // Out records for a unit, -1 all
    QVector<FrameRecord> badframes() const;             // In records that failed the checks
    void clearframes();
    qint64 nowns() const;
    // A callback run on the stand-in's thread for every record (for the executable's log).
    void setlogger(const std::function<void(const FrameRecord &)> &logger);

private:
    std::unique_ptr<StandinPrivate> d;
};

QString describe(const FrameRecord &record);

} // namespace standin
