#pragma once

// DeviceData: the parameter model of one processor. Holds its identity and
// link state, the program images with their transfer flags, the reply flags
// the request loops poll, the names of its stored programs and every channel's
// parameters in decoded form.
//
// Channels are addressed by the channel index 0..11 (IN-A..IN-D, OUT1..OUT8),
// per-output fields by the output index 0..7. Accessors take indices in range;
// the reply parsers, which read indices from processor bytes, check them.
// A record is large (about 57 KB of image data): create it on the heap and
// never copy it.

#include "programimage.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <QHostAddress>

class DeviceData
{
    Q_DISABLE_COPY(DeviceData)

public:
    static constexpr int kInputCount = 4;
    static constexpr int kOutputCount = 8;
    static constexpr int kChannelCount = 12;
    static constexpr int kPeqBandCount = 7;
    static constexpr int kGeqBandCount = 31;
    static constexpr int kGeqChannelsInImage = 4;
    static constexpr int kNameRecordCount = 45;
    static constexpr int kProgramNameSize = 20;
    static constexpr int kStoredProgramCount = 30;

    DeviceData();
    ~DeviceData();

    // Hex text, as the shared helpers of hextext.h.
    static QString bytestohex(const QByteArray &bytes);
    static void bytestohex(const QByteArray &bytes, QString &text);
    static QByteArray hextobytes(const QString &text);
    static void hextobytes(const QString &text, QByteArray &bytes);

    static int makeword15(int low, int high) { return (high & 0x7F) * 256 + (low & 0xFF); }
    static int getbit7(int byte) { return byte & 0x80; }

    // Identity.
    int gettype() const { return m_type; }
    void settype(int type) { m_type = static_cast<quint8>(type); }
    int getaddress() const { return m_address; }
    void setaddress(int address) { m_address = static_cast<quint8>(address); }
    QString getdevicename() const { return m_devicename; }
    void setdevicename(const QString &name) { m_devicename = name; }

    // Gain and mute.
    int getmute(int ch) const { return m_gain[ch].mute; }
    void setmute(int ch, int mute) { m_gain[ch].mute = static_cast<quint8>(mute); }
    int getgain(int ch) const { return static_cast<int>(m_gain[ch].gain); }
    void setgain(int ch, int gain) { m_gain[ch].gain = static_cast<quint32>(gain); }

    // Parametric EQ, band 0..6.
    int getpeqfreq(int ch, int b) const { return static_cast<int>(band(ch, b).freq); }
    void setpeqfreq(int ch, int b, int freq) { band(ch, b).freq = static_cast<quint32>(freq); }
    int getpeqgain(int ch, int b) const { return static_cast<int>(band(ch, b).gain); }
    void setpeqgain(int ch, int b, int gain) { band(ch, b).gain = static_cast<quint32>(gain); }
    int getpeqwidth(int ch, int b) const { return band(ch, b).width; }
    void setpeqwidth(int ch, int b, int width) { band(ch, b).width = static_cast<quint8>(width); }
    int getpeqtype(int ch, int b) const { return band(ch, b).type & 0x0F; }
    int getpeqtypebyte(int ch, int b) const { return band(ch, b).type; }
    void setpeqtype(int ch, int b, int type);
    bool getpeqbypass(int ch, int b) const { return (band(ch, b).type & 0x80) != 0; }
    void setpeqbypass(int ch, int b, bool on);
    int getpeqallpass(int ch, int b) const { return m_allpass[ch * kPeqBandCount + b]; }
    void setpeqallpass(int ch, int b, int value) { m_allpass[ch * kPeqBandCount + b] = value; }

    // Graphic EQ, band 0..30: bits 0-14 the gain raw, bit 15 the pass flag.
    int getgeqgain(int ch, int b) const { return static_cast<int>(m_geq[ch][b] & 0x7FFF); }
    bool getgeqpass(int ch, int b) const { return (m_geq[ch][b] & 0x8000) != 0; }
    int getgeqword(int ch, int b) const { return static_cast<int>(m_geq[ch][b]); }
    void setgeq(int ch, int b, int gain, bool pass);

    // Delay in samples: low + rest * 256; flag bit 7 = delay on.
    int getdelayflag(int ch) const { return m_delay[ch].flags; }
    void setdelayflag(int ch, int flags) { m_delay[ch].flags = static_cast<quint8>(flags); }
    int getdelay(int ch) const { return m_delay[ch].low + static_cast<int>(m_delay[ch].rest) * 256; }
    int getdelaylow(int ch) const { return m_delay[ch].low; }
    int getdelayhigh(int ch) const { return static_cast<int>(m_delay[ch].rest); }
    void setdelay(int ch, int value);

    // Limiter.
    int getlimitknee(int ch) const { return m_limit[ch].knee; }
    void setlimitknee(int ch, int v) { m_limit[ch].knee = static_cast<quint8>(v); }
    int getlimitthreshold(int ch) const { return static_cast<int>(m_limit[ch].threshold); }
    void setlimitthreshold(int ch, int v) { m_limit[ch].threshold = static_cast<quint32>(v); }
    int getlimitratio(int ch) const { return m_limit[ch].ratio; }
    void setlimitratio(int ch, int v) { m_limit[ch].ratio = static_cast<quint8>(v); }
    int getlimitattack(int ch) const { return static_cast<int>(m_limit[ch].attack); }
    void setlimitattack(int ch, int v) { m_limit[ch].attack = static_cast<quint32>(v); }
    int getlimitrelease(int ch) const { return m_limit[ch].release; }
    void setlimitrelease(int ch, int v) { m_limit[ch].release = static_cast<quint8>(v); }
    // Index (0..6) of the channel's band last switched to the all-pass type.
    int getbandslope(int ch) const { return static_cast<int>(m_limit[ch].allpassband); }
    void setbandslope(int ch, int v) { m_limit[ch].allpassband = static_cast<quint32>(v); }

    // Bypass byte: bit 0 all parametric bands, bit 4 the graphic EQ.
    int getbypassbyte(int ch) const { return m_bypass[ch]; }
    bool getpeqbypassall(int ch) const { return (m_bypass[ch] & 0x01) != 0; }
    bool getgeqbypassall(int ch) const { return (m_bypass[ch] & 0x10) != 0; }
    void setpeqbypassall(int ch, bool on);
    void setgeqbypassall(int ch, bool on);

    int getlinkmask(int ch) const { return m_linkmask[ch]; }
    // A channel out of range changes nothing.
    void setlinkmask(int ch, int mask);
    bool inputlinked() const;
    bool outputlinked() const;

    // Per output.
    int getoutflag(int o) const { return m_outflag[o]; }
    void setoutflag(int o, int v) { m_outflag[o] = static_cast<quint8>(v); }
    int gethpftype(int o) const { return m_hpf[o].type; }
    void sethpftype(int o, int v) { m_hpf[o].type = static_cast<quint8>(v); }
    int gethpffreq(int o) const { return static_cast<int>(m_hpf[o].freq); }
    void sethpffreq(int o, int v) { m_hpf[o].freq = static_cast<quint32>(v); }
    int getlpftype(int o) const { return m_lpf[o].type; }
    void setlpftype(int o, int v) { m_lpf[o].type = static_cast<quint8>(v); }
    int getlpffreq(int o) const { return static_cast<int>(m_lpf[o].freq); }
    void setlpffreq(int o, int v) { m_lpf[o].freq = static_cast<quint32>(v); }

    // Crossover/FIR record.
    int getxobyte0(int o) const { return m_xo[o].firtype; }
    void setxobyte0(int o, int v) { m_xo[o].firtype = static_cast<quint8>(v); }
    int getfirorder(int o) const { return m_xo[o].order; }
    void setfirorder(int o, int v) { m_xo[o].order = static_cast<quint8>(v); }
    int getxobyte2(int o) const { return m_xo[o].spare; }
    void setxobyte2(int o, int v) { m_xo[o].spare = static_cast<quint8>(v); }
    int getfirlowfreq(int o) const { return static_cast<int>(m_xo[o].lowfreq); }
    void setfirlowfreq(int o, int v) { m_xo[o].lowfreq = static_cast<quint32>(v); }
    int getfirhighfreq(int o) const { return static_cast<int>(m_xo[o].highfreq); }
    void setfirhighfreq(int o, int v) { m_xo[o].highfreq = static_cast<quint32>(v); }
    int getfirlowparam(int o) const { return static_cast<int>(m_xo[o].lowparam); }
    void setfirlowparam(int o, int v) { m_xo[o].lowparam = static_cast<quint32>(v); }
    int getfirhighparam(int o) const { return static_cast<int>(m_xo[o].highparam); }
    void setfirhighparam(int o, int v) { m_xo[o].highparam = static_cast<quint32>(v); }
    int getfirflag(int o) const { return m_xo[o].firflag; }
    void setfirflag(int o, int v) { m_xo[o].firflag = static_cast<quint8>(v); }
    int getfirparam1(int o) const { return m_xo[o].param1; }
    void setfirparam1(int o, int v) { m_xo[o].param1 = static_cast<quint8>(v); }
    int getfirparam2(int o) const { return m_xo[o].param2; }
    void setfirparam2(int o, int v) { m_xo[o].param2 = static_cast<quint8>(v); }
    int getfirparam3(int o) const { return m_xo[o].param3; }
    void setfirparam3(int o, int v) { m_xo[o].param3 = static_cast<quint8>(v); }

    // Peak limiter.
    int getpeaklimiton(int o) const { return m_peak[o].on; }
    void setpeaklimiton(int o, int v) { m_peak[o].on = static_cast<quint8>(v); }
    int getpeaklimitvalue(int o) const { return m_peak[o].threshold; }
    void setpeaklimitvalue(int o, int v) { m_peak[o].threshold = v; }
    int getpeaklimita(int o) const { return m_peak[o].attack; }
    void setpeaklimita(int o, int v) { m_peak[o].attack = static_cast<quint8>(v); }
    int getpeaklimitb(int o) const { return m_peak[o].release; }
    void setpeaklimitb(int o, int v) { m_peak[o].release = static_cast<quint8>(v); }

    // Routing: bit 3 IN-A, bit 2 IN-B, bit 1 IN-C, bit 0 IN-D; the expanded
    // booleans always mirror the byte.
    int getroutebyte(int o) const { return m_route[o]; }
    bool getrouteina(int o) const { return m_routein[0][o]; }
    bool getrouteinb(int o) const { return m_routein[1][o]; }
    bool getrouteinc(int o) const { return m_routein[2][o]; }
    bool getrouteind(int o) const { return m_routein[3][o]; }
    void setrouteina(int o, bool on) { setroutein(o, 0, on); }
    void setrouteinb(int o, bool on) { setroutein(o, 1, on); }
    void setrouteinc(int o, bool on) { setroutein(o, 2, on); }
    void setrouteind(int o, bool on) { setroutein(o, 3, on); }
    // input 1 (IN-A, bit 3) .. 4 (IN-D, bit 0); other numbers read 0 and change nothing.
    int getroutebit(int o, int input) const;
    void setroutebit(int o, int input, bool on);
    void splitroutes();

    // Link and lock state.
    int getcomconnected() const { return m_comconnected; }
    void setcomconnected(int v) { m_comconnected = static_cast<quint8>(v); }
    int gettcpconnected() const { return m_tcpconnected; }
    void settcpconnected(int v) { m_tcpconnected = static_cast<quint8>(v); }
    QHostAddress getipaddress() const { return m_ipaddress; }
    void setipaddress(const QHostAddress &address) { m_ipaddress = address; }
    int getnetdevice() const { return m_netdevice; }
    void setnetdevice(int v) { m_netdevice = static_cast<quint8>(v); }
    int getlocktype() const { return m_locktype; }
    void setlocktype(int v) { m_locktype = static_cast<quint8>(v); }
    int getprojectlock() const { return m_projectlock; }
    void setprojectlock(int v) { m_projectlock = static_cast<quint8>(v); }
    int getlockresult() const { return m_lockresult; }
    void setlockresult(int v) { m_lockresult = static_cast<quint8>(v); }
    int getprojectword() const { return static_cast<int>(m_projectword); }
    void setprojectword(int low, int high) { m_projectword = static_cast<quint32>(makeword15(low, high)); }
    int getcurprogramnum() const { return m_curprogramnum; }
    void setcurprogramnum(int v) { m_curprogramnum = static_cast<quint8>(v); }
    int getsparebyte() const { return m_sparebyte; }
    void setsparebyte(int v) { m_sparebyte = static_cast<quint8>(v); }

    // 1 once the programs page has read this processor's program names;
    // read and written directly by its users.
    quint32 namesloaded = 0;

    // Reply flags.
    int getprogramready() const { return m_ready; }
    void setprogramready(int v) { m_ready = static_cast<quint8>(v); }
    int getread1to25ok() const { return m_readok; }
    void setread1to25ok(int v) { m_readok = static_cast<quint8>(v); }
    int getwrite1to25ok() const { return m_writeok; }
    void setwrite1to25ok(int v) { m_writeok = static_cast<quint8>(v); }
    int getcopyok() const { return m_copyok; }
    void setcopyok(int v) { m_copyok = static_cast<quint8>(v); }
    int getnameok() const { return m_nameok; }
    void setnameok(int v) { m_nameok = static_cast<quint8>(v); }
    int getconnectok() const { return m_connectok; }
    void setconnectok(int v) { m_connectok = static_cast<quint8>(v); }
    int getgainok() const { return m_gainok; }
    void setgainok(int v) { m_gainok = static_cast<quint8>(v); }

    // Program names.
    int getprogramhead() const { return m_programhead; }
    void setprogramhead(int v) { m_programhead = static_cast<quint8>(v); }
    void setprogramname(const QString &name);
    QString getprogramname() const;
    void setnamerecord(const QString &hex);
    QString getnamerecordname(int k) const;
    int getnamerecordnum(int k) const;
    bool getnamerecordused(int k) const;

    // Image buffers; out-of-range positions read 0 and are not written.
    int getcurimagebyte(int k) const;
    void setcurimagebyte(int k, int value);
    int getwriteimagebyte(int k) const;
    int getstoredbyte(int slot, int k) const;
    void setstoredbyte(int slot, int k, int value);
    int getstagingbyte(int packet, int k) const;
    void stagecurimage();
    void stagestoredprogram(int n); // n = 1..30
    // Stages an image of exactly 1664 bytes (a program file); other sizes change nothing.
    void stageimage(const QByteArray &image);
    void applyreceivedimage();
    void storereceivedprogram(int n); // n = 1..30

    // Transfer flags and the reply parsers (hex text of the reply's data bytes).
    void storepacket(const QString &hex);
    void clearreadflags();
    bool allpacketsread() const;
    int countreadflags() const;
    void clearwriteacks();
    bool allwriteacked() const;
    int countwriteacks() const;
    void setwriteack(const QString &hex);
    void setmutesfromhex(const QString &hex);

    // Program image conversion.
    void unpackprogram();
    void packprogram();
    void loaddefaults();

private:
    struct GainRecord {
        quint8 mute = 0;
        quint32 gain = 0;
    };
    struct PeqBand {
        quint8 type = 0;
        quint32 freq = 0;
        quint32 gain = 0;
        quint8 width = 0;
    };
    struct DelayRecord {
        quint8 flags = 0;
        quint8 low = 0;
        quint32 rest = 0;
    };
    struct LimiterRecord {
        quint8 knee = 0;
        quint32 threshold = 0;
        quint8 ratio = 0;
        quint32 attack = 0;
        quint8 release = 0;
        quint32 allpassband = 0;
    };
    struct FilterRecord {
        quint8 type = 0;
        quint32 freq = 0;
    };
    struct CrossoverRecord {
        quint8 firtype = 0;
        quint8 order = 0;
        quint8 spare = 0;
        quint32 lowfreq = 0;
        quint32 highfreq = 0;
        quint32 lowparam = 0;
        quint32 highparam = 0;
        quint8 firflag = 0;
        quint8 param1 = 0;
        quint8 param2 = 0;
        quint8 param3 = 0;
    };
    struct PeakRecord {
        quint8 on = 0;
        qint32 threshold = 0;
        quint8 attack = 0;
        quint8 release = 0;
    };
    struct NameRecord {
        quint8 number = 0;
        quint8 used = 0;
        quint8 name[kProgramNameSize] = {};
    };

public:
    // One decoded parameter of the program image: records of it lie at
    // base + (i / inner) * stride + (i % inner) * innerstride + offset for
    // record i of records() (channels times bands for the banded fields).
    enum class Coding {
        Byte,   // one byte
        Word,   // two bytes, low first; bit 7 of the high byte is not part of the value
        Word16, // two bytes, low first, all sixteen bits
        Flag80, // bit 7 of one byte (the rest of the byte belongs to the field before)
    };
    struct ImageField {
        const char *name;
        int base;
        int count; // outer records (channels or outputs)
        int stride;
        int offset;
        Coding coding;
        int inner;       // bands per record, 1 for plain records
        int innerstride; // bytes between bands
        quint32 (*get)(const DeviceData &, int);
        void (*set)(DeviceData &, int, quint32);

        int records() const { return count * inner; }
        int position(int i) const;
        // Byte size of the field in the image (a flag shares its byte).
        int size() const { return coding == Coding::Word || coding == Coding::Word16 ? 2 : 1; }
        quint32 read(const quint8 *image, int at) const;
        void write(quint8 *image, int at, quint32 value) const;
    };
    // The layout of every decoded parameter, in the order decoding applies them.
    static const QVector<ImageField> &imagefields();

private:
    PeqBand &band(int ch, int b) { return m_peq[ch * kPeqBandCount + b]; }
    const PeqBand &band(int ch, int b) const { return m_peq[ch * kPeqBandCount + b]; }
    void setroutein(int o, int input, bool on);
    void decodeimage(const quint8 *image);

    // Identity.
    quint8 m_type = 0;
    quint8 m_address = 0;
    QString m_devicename;

    // Program image buffers and transfer flags.
    quint8 m_receive[kProgramImageSize] = {};
    quint8 m_current[kProgramImageSize] = {};
    quint8 m_stored[kStoredProgramCount][kProgramImageSize] = {};
    quint8 m_staging[kProgramImageSize] = {};
    quint8 m_write[kProgramImageSize] = {};
    quint8 m_readflags[kPacketCount] = {};
    quint8 m_writeacks[kPacketCount] = {};

    // Reply flags.
    quint8 m_ready = 0;
    quint8 m_readok = 0;
    quint8 m_writeok = 0;
    quint8 m_copyok = 0;
    quint8 m_nameok = 0;
    quint8 m_connectok = 0;
    quint8 m_gainok = 0;

    // Program names.
    NameRecord m_names[kNameRecordCount];
    quint8 m_programhead = 0;
    quint8 m_programname[kProgramNameSize] = {};

    // Per channel.
    GainRecord m_gain[kChannelCount];
    PeqBand m_peq[kChannelCount * kPeqBandCount];
    qint32 m_allpass[kChannelCount * kPeqBandCount] = {};
    quint32 m_geq[kChannelCount][kGeqBandCount] = {};
    DelayRecord m_delay[kChannelCount];
    LimiterRecord m_limit[kChannelCount];

    // Link and lock state.
    quint8 m_comconnected = 0;
    quint8 m_tcpconnected = 0;
    QHostAddress m_ipaddress; // null: no network address
    quint8 m_netdevice = 0;
    quint8 m_locktype = 0;
    quint8 m_projectlock = 0;
    quint8 m_lockresult = 0;
    quint32 m_projectword = 0;
    quint8 m_curprogramnum = 0;
    quint8 m_sparebyte = 0;

    // Per-channel flags.
    quint8 m_bypass[kChannelCount] = {};
    quint8 m_linkmask[kChannelCount] = {};

    // Per output.
    quint8 m_route[kOutputCount] = {};
    quint8 m_outflag[kOutputCount] = {};
    FilterRecord m_hpf[kOutputCount];
    FilterRecord m_lpf[kOutputCount];
    CrossoverRecord m_xo[kOutputCount];
    PeakRecord m_peak[kOutputCount];
    bool m_routein[kInputCount][kOutputCount] = {};
};
