#pragma once

// Payload text of every command sent to a processor: pairs of hex digits, the
// first pair counting the bytes that follow. Built here as pure functions of
// the values to send so that the controller's senders only gather the values.
//
// A builder returns a null QString when an index it is given is out of range
// (the payload would otherwise be a byte short or read outside a buffer); the
// sender then refuses to send.

#include <QByteArray>
#include <QString>

namespace payloads
{

// Command codes.
enum Command : unsigned char {
    CmdFind = 0x01,
    CmdConnect = 0x02,
    CmdDisconnect = 0x03,
    CmdDeviceLock = 0x10,
    CmdProjectLock = 0x12,
    CmdLogoBlock = 0x13,
    CmdPeqBand = 0x20,
    CmdGeqBand = 0x21,
    CmdBypass = 0x22,
    CmdXover = 0x23,
    CmdFir = 0x24,
    CmdLimit = 0x30,
    CmdPeakLimit = 0x31,
    CmdGain = 0x50,
    CmdDelay = 0x51,
    CmdOutputFlag = 0x52,
    CmdRouting = 0x53,
    CmdLinks = 0x54,
    CmdCopy = 0x55,
    CmdReadLight = 0x56,
    CmdWritePart = 0x60,
    CmdReadPart = 0x61,
    CmdRecall = 0x62,
    CmdSaveProgram = 0x63,
    CmdReadName = 0x64,
    CmdResetPrograms = 0x65,
    CmdDeleteProgram = 0x66,
};

constexpr int kLogoBlocks = 22;
constexpr int kLogoBlockSize = 48;
constexpr int kPartCount = 26;
constexpr int kPartSize = 64;
constexpr int kPasswordBytes = 8;
constexpr int kProgramNameBytes = 20;
constexpr int kLinkMaskBytes = 12;

// Two lower-case hex digits of the low 8 bits of v.
QString hexbyte(unsigned int v);
// Low byte then high byte of the low 16 bits of v.
QString hexword(unsigned int v);

// Channel code of channel index 0..11: 0x00..0x03 for the inputs, 0x10..0x17
// for the outputs; -1 outside the range.
int channelcode(int channel);
// 0x10 + output for output index 0..7; -1 outside.
int outputcode(int output);
// 0x0F + number for output number 1..8; -1 outside.
int routingcode(int number);

// Payloads without arguments ("00"): find, connect, disconnect, level request,
// reset of the stored programs.
QString empty();

QString gain(int channel, unsigned int mute, unsigned int raw);
QString delay(int channel, unsigned int low, unsigned int high, unsigned int flag);
// typebyte: type in bits 0-3, bypass in bit 7. A type-5 (all-pass) band sends
// its all-pass value in place of the gain.
QString peqband(int channel, int band, unsigned int typebyte, unsigned int freq, unsigned int gain,
                unsigned int allpass, unsigned int width);
// word: bits 0-14 gain raw, bit 15 pass.
QString geqband(int channel, int band, unsigned int word);
QString bypass(int channel, unsigned int bypassbyte);
// kind 1 sends the low-pass filter, any other kind the high-pass filter.
QString xover(int channel, int kind, unsigned int slope, unsigned int freq);

struct FirFields {
    unsigned int type = 0; // FIR type byte as stored
    unsigned int param1 = 0, param2 = 0, param3 = 0;
    unsigned int order = 0;
    unsigned int firmode = 0; // non-zero: the output runs in FIR mode
    unsigned int lowfreq = 0, highfreq = 0, lowparam = 0, highparam = 0;
};
QString fir(int channel, const FirFields &f);

QString limit(int channel, unsigned int knee, unsigned int threshold, unsigned int ratio, unsigned int attack,
              unsigned int release);
QString peaklimit(int output, unsigned int on, int threshold, unsigned int attack, unsigned int release);
QString outputflag(int output, unsigned int flag);
QString routing(int number, unsigned int routebyte);
// Twelve link-mask bytes as hex text (blanks allowed); refused unless it
// spells exactly twelve bytes.
QString links(const QString &maskhex);
QString copy(unsigned int source, unsigned int destination);

// The password is given as hex text; exactly eight bytes are sent, a shorter
// password padded with blanks (0x20), a longer one cut.
QString devicelock(unsigned int mode, const QString &passwordhex);
QString projectlock(unsigned int mode, const QString &passwordhex, unsigned int times);

// 48 bytes of one logo block (block 0..21); refused for another block index or
// a buffer of another size.
QString logoblock(int block, const QByteArray &bytes);
// 64 bytes of one part (0..25) of a program image.
QString writeprogrampart(unsigned int program, int part, const QByteArray &bytes);
QString readprogrampart(unsigned int program, unsigned int part);
QString readcurrentpart(unsigned int part);
QString recallprogram(unsigned int program);
// The name is given as hex text; exactly twenty bytes are sent, padded with blanks.
QString saveprogram(unsigned int program, const QString &namehex);
QString readprogramname(unsigned int program);
QString deleteprogram(unsigned int program);

// Byte count of a payload text as the frame builder reads it (blanks skipped).
int bytecount(const QString &payload);

} // namespace payloads
