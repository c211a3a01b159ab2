#pragma once

// One simulated processor: its state and what it does with a command.

#include "standinframe.h"

#include <QByteArray>
#include <QVector>

namespace standin
{

constexpr int kImageSize = 1664;
constexpr int kPacketSize = 64;
constexpr int kPacketCount = 26;
constexpr int kProgramCount = 30; // stored user programs 1..30
constexpr int kPresetCount = 10;  // read-only presets 31..40
constexpr int kNameRecords = 45;  // name reads are answered for programs 1..45
constexpr int kNameSize = 20;
constexpr int kLogoBlocks = 22;
constexpr int kLogoBlockSize = 48;
constexpr int kChannels = 12;

// Offsets of the regions of the 1664-byte program image. These are the
// processor's own layout; the stand-in keeps its own copy of them so that it
// checks the application's packing instead of sharing it.
namespace img
{
constexpr int header = 0;
constexpr int name = 1;  // 20 bytes
constexpr int gain = 21; // 12 x 3: mute, gain lo, hi
constexpr int peq = 57;  // 12 x 54: 9 slots x 6
constexpr int peqChannel = 54;
constexpr int peqSlot = 6;
constexpr int peqSlots = 9;
constexpr int geq = 705; // 4 inputs x 62: 31 words
constexpr int geqChannel = 62;
constexpr int geqBands = 31;
constexpr int bypass = 953;  // 12 x 1
constexpr int filters = 965; // 8 x 6: hp type, hp freq w, lp type, lp freq w
constexpr int fir = 1013;    // 8 x 13
constexpr int firRecord = 13;
constexpr int delay = 1117;     // 12 x 3
constexpr int outSwitch = 1153; // 8 x 1
constexpr int routing = 1161;   // 8 x 1
constexpr int limiter = 1169;   // 12 x 7
constexpr int limiterRecord = 7;
constexpr int peak = 1253; // 8 x 5
constexpr int peakRecord = 5;
constexpr int linkMasks = 1293; // 12 x 1
constexpr int rest = 1305;      // to the end, not decoded
} // namespace img

// The power-on image the processor starts with: the application's template.
QByteArray poweronimagefor();
// The factory image written independently from its documented content, to
// check the application's template against.
QByteArray factoryimage();

struct ProgramSlot {
    QByteArray image; // 1664 bytes
    QByteArray name;  // 20 bytes, Latin-1, space-padded
    bool used = false;
};

// Everything a test may read or set of one unit.
struct UnitState {
    quint8 type = 0x18;
    quint8 address = 1;
    QByteArray image;              // the current 1664-byte image
    QVector<ProgramSlot> programs; // programs 1..40 at index 0..39 (31..40 presets)
    quint8 currentProgram = 1;
    quint8 lockState = 0;       // 0 none, 1..4 the lock kinds
    QByteArray lockPassword;    // 8 bytes, empty when none was set
    quint8 projectLock = 0;     // 1 set
    QByteArray projectPassword; // 8 bytes
    quint16 restartCount = 0;
    QByteArray meters;        // 12 bytes, one per channel, for reply 0x56
    QByteArray logo;          // 1056 bytes received by command 0x13
    QVector<bool> logoBlocks; // which of the 22 blocks arrived
    // Graphic-EQ words of the outputs (8 x 31, OUT1 first), kept beside the
    // image, which has room for the inputs' words only. Flat at power-on.
    QVector<quint16> outputGeq;

    UnitState();
    UnitState(quint8 type, quint8 address);

    int inputs() const;           // 4, 3 or 2 by type
    int outputs() const;          // 8, 6 or 4 by type
    QByteArray mutes() const;     // 12 mute bytes from the image
    QByteArray linkmasks() const; // 12 link masks from the image
    // The image of program n: 0 the current image, 1..40 a stored one.
    QByteArray programimage(int n) const;
    // 15-bit word of the image, as the application decodes it.
    int word(int offset) const;
};

// Result of one command for one unit.
struct Answer {
    bool answered = false; // false: the processor stays silent
    QByteArray reply;      // the reply frame when answered
    QString note;          // why it stays silent, for the record
};

// Applies one checked command frame addressed to this unit and gives the
// reply. Commands the processor does not know, payloads of the wrong length and
// out-of-range program numbers are not answered. refuseLock makes lock requests
// fail whatever the password.
Answer handlecommand(UnitState &unit, const ScannedFrame &frame, bool refuseLock = false);

// The unsolicited mute report (reply 0x57): the twelve mute bytes.
QByteArray mutereport(const UnitState &unit);

// Channel code on the wire to the channel index 0..11; -1 when it is no channel.
int channelindex(quint8 code);

} // namespace standin
