#include "standinunit.h"

#include "programimage.h"

#include <algorithm>

namespace standin
{

namespace
{

void put(QByteArray &image, int offset, int value)
{
    image[offset] = char(value & 0xFF);
}

void putword(QByteArray &image, int offset, int value)
{
    image[offset] = char(value & 0xFF);
    image[offset + 1] = char((value >> 8) & 0xFF);
}

QByteArray blankname()
{
    return QByteArray(kNameSize, ' ');
}

} // namespace

static_assert(kImageSize == ::kProgramImageSize && kPacketSize == ::kPacketSize &&
                  kPacketCount == ::kPacketCount,
              "the stand-in and the application agree on the image size");

QByteArray factoryimage()
{
    QByteArray im(kImageSize, '\0');
    put(im, img::header, 1);
    im.replace(img::name, kNameSize, QByteArray("12").leftJustified(kNameSize, ' '));
    static const int inFreq[9] = {59, 95, 130, 166, 202, 238, 274, 310, 346};
    static const int outFreq[9] = {91, 110, 128, 147, 166, 185, 204, 223, 242};
    for (int c = 0; c < kChannels; ++c) {
        put(im, img::gain + 3 * c, c < 4 ? 1 : 0);
        putword(im, img::gain + 3 * c + 1, 400);
        for (int s = 0; s < img::peqSlots; ++s) {
            const int o = img::peq + img::peqChannel * c + img::peqSlot * s;
            put(im, o, 0);
            putword(im, o + 1, c < 4 ? inFreq[s] : outFreq[s]);
            putword(im, o + 3, 300);
            put(im, o + 5, 26);
        }
        const int l = img::limiter + img::limiterRecord * c;
        put(im, l, 0);
        putword(im, l + 1, 400);
        put(im, l + 3, 2);
        putword(im, l + 4, 50);
        put(im, l + 6, 1);
        put(im, img::linkMasks + c, c < 4 ? (1 << c) : (1 << (c - 4)));
    }
    for (int c = 0; c < 4; ++c)
        for (int b = 0; b < img::geqBands; ++b)
            putword(im, img::geq + img::geqChannel * c + 2 * b, 300);
    for (int o = 0; o < 8; ++o) {
        const int f = img::filters + 6 * o;
        const bool odd = (o % 2) == 0; // outputs 1, 3, 5, 7
        put(im, f, 0);
        putword(im, f + 1, odd ? 72 : 263);
        put(im, f + 3, 0);
        putword(im, f + 4, odd ? 263 : 398);
        const int r = img::fir + img::firRecord * o;
        put(im, r, 0);
        put(im, r + 1, 2);
        put(im, r + 2, 0);
        put(im, r + 3, 2);
        put(im, r + 4, 0);
        putword(im, r + 5, 284);
        putword(im, r + 7, 284);
        putword(im, r + 9, 190);
        putword(im, r + 11, 384);
        const int p = img::peak + img::peakRecord * o;
        put(im, p, 0);
        putword(im, p + 1, 400);
        put(im, p + 3, 1);
        put(im, p + 4, 1);
    }
    return im;
}

namespace
{

Answer silent(const QString &why)
{
    Answer a;
    a.note = why;
    return a;
}

Answer reply(const UnitState &u, quint8 command, const QByteArray &data = QByteArray())
{
    Answer a;
    a.answered = true;
    a.reply = replyframe(u.type, u.address, command, data);
    return a;
}

// Expected payload length (after the count byte) of every command the
// processor knows; -1 for an unknown command.
int payloadlength(quint8 command)
{
    switch (command) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x56:
    case 0x65:
        return 0;
    case 0x62:
    case 0x64:
    case 0x66:
        return 1;
    case 0x22:
    case 0x52:
    case 0x53:
    case 0x55:
    case 0x61:
        return 2;
    case 0x21:
    case 0x50:
    case 0x51:
        return 4;
    case 0x23:
        return 5;
    case 0x31:
        return 6;
    case 0x20:
    case 0x24:
    case 0x30:
        return 8;
    case 0x10:
        return 9;
    case 0x12:
        return 11;
    case 0x54:
        return 12;
    case 0x63:
        return 21;
    case 0x13:
        return 49;
    case 0x60:
        return 66;
    default:
        return -1;
    }
}

bool channelexists(const UnitState &u, int ch)
{
    if (ch < 0)
        return false;
    if (ch < 4)
        return ch < u.inputs();
    return ch - 4 < u.outputs();
}

void copyregion(QByteArray &im, int base, int stride, int from, int to)
{
    im.replace(base + stride * to, stride, im.mid(base + stride * from, stride));
}

// Copies every setting of one channel onto another of the same kind; the link
// masks stay as they are.
void copychannel(QByteArray &im, int from, int to)
{
    copyregion(im, img::gain, 3, from, to);
    copyregion(im, img::peq, img::peqChannel, from, to);
    copyregion(im, img::bypass, 1, from, to);
    copyregion(im, img::delay, 3, from, to);
    copyregion(im, img::limiter, img::limiterRecord, from, to);
    if (from < 4) {
        copyregion(im, img::geq, img::geqChannel, from, to);
        return;
    }
    const int fo = from - 4, to_ = to - 4;
    copyregion(im, img::filters, 6, fo, to_);
    copyregion(im, img::fir, img::firRecord, fo, to_);
    copyregion(im, img::outSwitch, 1, fo, to_);
    copyregion(im, img::routing, 1, fo, to_);
    copyregion(im, img::peak, img::peakRecord, fo, to_);
}

} // namespace

QByteArray poweronimagefor()
{
    const QByteArray im = ::poweronimage();
    return im.size() == kImageSize ? im : factoryimage();
}

UnitState::UnitState()
    : UnitState(0x18, 1)
{
}

UnitState::UnitState(quint8 t, quint8 a)
    : type(t)
    , address(a)
    , image(poweronimagefor())
    , programs(kProgramCount + kPresetCount)
    , currentProgram(0)
    , meters(kChannels, '\0')
    , logo(kLogoBlocks * kLogoBlockSize, '\0')
    , logoBlocks(kLogoBlocks, false)
    , outputGeq(8 * img::geqBands, 300)
{
    for (int i = 0; i < programs.size(); ++i) {
        programs[i].image = i < kProgramCount ? QByteArray(kImageSize, '\0') : poweronimagefor();
        programs[i].name = blankname();
    }
}

int UnitState::inputs() const
{
    return type == 0x14 ? 2 : type == 0x16 ? 3 : 4;
}

int UnitState::outputs() const
{
    return type == 0x14 ? 4 : type == 0x16 ? 6 : 8;
}

QByteArray UnitState::mutes() const
{
    QByteArray m;
    for (int c = 0; c < kChannels; ++c)
        m.append(image[img::gain + 3 * c]);
    return m;
}

QByteArray UnitState::linkmasks() const
{
    return image.mid(img::linkMasks, kChannels);
}

QByteArray UnitState::programimage(int n) const
{
    if (n == 0)
        return image;
    if (n >= 1 && n <= programs.size())
        return programs[n - 1].image;
    return QByteArray();
}

int UnitState::word(int offset) const
{
    return (quint8(image[offset + 1]) & 0x7F) * 256 + quint8(image[offset]);
}

int channelindex(quint8 code)
{
    if (code <= 0x03)
        return code;
    if (code >= 0x10 && code <= 0x17)
        return 4 + (code - 0x10);
    return -1;
}

QByteArray mutereport(const UnitState &unit)
{
    return replyframe(unit.type, unit.address, 0x57, unit.mutes());
}

// The channels a parameter change on ch reaches: its link group, or ch alone.
QVector<int> linkgroup(const UnitState &u, int ch);
// Writes one parameter command into the image for channel ch.
Answer applyparameter(UnitState &u, quint8 command, int ch, const QByteArray &p);

Answer handlecommand(UnitState &u, const ScannedFrame &f, bool refuseLock)
{
    const QByteArray &p = f.payload;
    const int expected = payloadlength(f.command);
    if (expected < 0)
        return silent(QStringLiteral("unknown command"));
    if (p.size() != expected)
        return silent(QStringLiteral("payload of %1 bytes, expected %2").arg(p.size()).arg(expected));
    auto b = [&p](int i) { return int(quint8(p[i])); };
    QByteArray &im = u.image;

    switch (f.command) {
    case 0x01:
        return reply(u, 0x01);
    case 0x02: {
        QByteArray d;
        d.append(char(1));
        d.append(char(u.lockState));
        d.append(char(u.projectLock));
        d.append(char(u.restartCount & 0xFF));
        d.append(char(u.restartCount >> 8));
        d.append(char(u.currentProgram));
        return reply(u, 0x02, d);
    }
    case 0x03:
        return reply(u, 0x03);
    case 0x10: {
        const int mode = b(0);
        const QByteArray pw = p.mid(1, 8);
        bool ok = false;
        if (mode >= 0x81 && mode <= 0x84) {
            // Locking: free when unlocked; changing the kind needs the password.
            ok = u.lockState == 0 || pw == u.lockPassword;
            if (ok && !refuseLock) {
                u.lockState = quint8(mode & 0x0F);
                u.lockPassword = pw;
            }
        } else if (mode == 0x00) {
            ok = u.lockState == 0 || pw == u.lockPassword;
            if (ok && !refuseLock)
                u.lockState = 0;
        }
        return reply(u, 0x10, QByteArray(1, char(ok && !refuseLock ? 1 : 0)));
    }
    case 0x12: {
        const int mode = b(0);
        const QByteArray pw = p.mid(1, 8);
        const quint16 count = quint16(b(9) | (b(10) << 8));
        bool ok = false;
        if (mode == 0x01 || mode == 0x00)
            ok = u.projectLock == 0 || pw == u.projectPassword;
        if (ok && !refuseLock) {
            u.projectLock = quint8(mode);
            if (mode == 0x01)
                u.projectPassword = pw;
            u.restartCount = count;
        }
        return reply(u, 0x12, QByteArray(1, char(ok && !refuseLock ? 1 : 0)));
    }
    case 0x13: {
        const int block = b(0);
        if (block >= kLogoBlocks)
            return silent(QStringLiteral("logo block out of range"));
        u.logo.replace(block * kLogoBlockSize, kLogoBlockSize, p.mid(1, kLogoBlockSize));
        u.logoBlocks[block] = true;
        return reply(u, 0x13, QByteArray(1, char(block)));
    }
    case 0x54:
        im.replace(img::linkMasks, kChannels, p);
        return reply(u, 0x54);
    case 0x56:
        return reply(u, 0x56, u.meters.leftJustified(kChannels, '\0', true));
    case 0x60: {
        const int prog = b(0), part = b(1);
        if (prog > kProgramCount || part >= kPacketCount)
            return silent(QStringLiteral("program or part out of range"));
        const QByteArray data = p.mid(2, kPacketSize);
        if (prog == 0) {
            im.replace(part * kPacketSize, kPacketSize, data);
        } else {
            ProgramSlot &s = u.programs[prog - 1];
            s.image.replace(part * kPacketSize, kPacketSize, data);
            s.used = true;
            s.name = s.image.mid(img::name, kNameSize);
        }
        QByteArray d;
        d.append(char(prog));
        d.append(char(part));
        return reply(u, 0x60, d);
    }
    case 0x61: {
        const int prog = b(0), part = b(1);
        if (prog > kProgramCount + kPresetCount || part >= kPacketCount)
            return silent(QStringLiteral("program or part out of range"));
        QByteArray d;
        d.append(char(prog));
        d.append(char(part));
        d.append(u.programimage(prog).mid(part * kPacketSize, kPacketSize));
        return reply(u, 0x61, d);
    }
    case 0x62: {
        const int prog = b(0);
        if (prog > kProgramCount + kPresetCount)
            return silent(QStringLiteral("program out of range"));
        if (prog > 0) {
            if (!u.programs[prog - 1].used)
                return silent(QStringLiteral("program is empty"));
            im = u.programs[prog - 1].image;
            u.currentProgram = quint8(prog);
        }
        return reply(u, 0x62, QByteArray(1, char(prog)));
    }
    case 0x63: {
        const int prog = b(0);
        if (prog < 1 || prog > kProgramCount)
            return silent(QStringLiteral("program out of range"));
        const QByteArray name = p.mid(1, kNameSize);
        im.replace(img::name, kNameSize, name);
        ProgramSlot &s = u.programs[prog - 1];
        s.image = im;
        s.name = name;
        s.used = true;
        u.currentProgram = quint8(prog);
        return reply(u, 0x63, QByteArray(1, char(prog)));
    }
    case 0x64: {
        const int prog = b(0);
        if (prog < 1 || prog > kNameRecords)
            return silent(QStringLiteral("program out of range"));
        QByteArray d;
        d.append(char(prog));
        if (prog <= u.programs.size()) {
            d.append(char(u.programs[prog - 1].used ? 1 : 0));
            d.append(u.programs[prog - 1].name.leftJustified(kNameSize, ' ', true));
        } else {
            d.append(char(0));
            d.append(blankname());
        }
        return reply(u, 0x64, d);
    }
    case 0x65:
        for (int i = 0; i < kProgramCount; ++i) {
            u.programs[i].image = QByteArray(kImageSize, '\0');
            u.programs[i].name = blankname();
            u.programs[i].used = false;
        }
        im = poweronimagefor();
        u.currentProgram = 0;
        return reply(u, 0x65);
    case 0x66: {
        const int prog = b(0);
        if (prog < 1 || prog > kProgramCount)
            return silent(QStringLiteral("program out of range"));
        ProgramSlot &s = u.programs[prog - 1];
        s.image = QByteArray(kImageSize, '\0');
        s.name = blankname();
        s.used = false;
        return reply(u, 0x66, QByteArray(1, char(prog)));
    }
    default:
        break;
    }

    // Parameter commands: the first payload byte is the channel code.
    const int ch = channelindex(quint8(p[0]));
    if (!channelexists(u, ch))
        return silent(QStringLiteral("no such channel"));
    const int o = ch - 4;
    const bool outputOnly =
        f.command == 0x23 || f.command == 0x24 || f.command == 0x31 || f.command == 0x52 || f.command == 0x53;
    if (outputOnly && o < 0)
        return silent(QStringLiteral("not an output"));

    if (f.command == 0x53 || f.command == 0x55)
        return applyparameter(u, f.command, ch, p);
    // A parameter change on a linked channel applies to its whole link group,
    // as the processor does; the pages send a linked change for one member.
    for (int member : linkgroup(u, ch)) {
        Answer refused = applyparameter(u, f.command, member, p);
        if (!refused.answered)
            return refused;
    }
    return reply(u, f.command);
}

QVector<int> linkgroup(const UnitState &u, int ch)
{
    const bool input = ch < 4;
    const int own = input ? ch : ch - 4;
    const int mask = quint8(u.image[img::linkMasks + ch]);
    QVector<int> members;
    if (!(mask & (1 << own)) || mask == (1 << own)) {
        members.append(ch);
        return members;
    }
    for (int k = 0; k < (input ? 4 : 8); ++k) {
        const int c = input ? k : 4 + k;
        if ((mask & (1 << k)) && channelexists(u, c))
            members.append(c);
    }
    return members;
}

Answer applyparameter(UnitState &u, quint8 command, int ch, const QByteArray &p)
{
    auto b = [&p](int i) { return int(quint8(p[i])); };
    QByteArray &im = u.image;
    const int o = ch - 4;
    switch (command) {
    case 0x20: {
        const int band = b(1);
        if (band >= img::peqSlots)
            return silent(QStringLiteral("band out of range"));
        const int s = img::peq + img::peqChannel * ch + img::peqSlot * band;
        im.replace(s, 6, p.mid(2, 6));
        break;
    }
    case 0x21: {
        const int band = b(1);
        if (band >= img::geqBands)
            return silent(QStringLiteral("band out of range"));
        // Only the inputs' graphic EQ has a place in the image.
        if (ch < 4)
            im.replace(img::geq + img::geqChannel * ch + 2 * band, 2, p.mid(2, 2));
        else
            u.outputGeq[o * img::geqBands + band] = quint16(b(2) | b(3) << 8);
        break;
    }
    case 0x22:
        put(im, img::bypass + ch, b(1));
        break;
    case 0x23: {
        const int base = img::filters + 6 * o + (b(1) == 1 ? 3 : 0);
        im.replace(base, 3, p.mid(2, 3));
        break;
    }
    case 0x24: {
        const int r = img::fir + img::firRecord * o;
        const int t = b(1);
        put(im, r, t);
        put(im, r + (t <= 1 ? 1 : t == 2 ? 2 : 3), b(2));
        put(im, r + 4, b(3));
        im.replace(r + (t <= 2 ? 5 : 9), 4, p.mid(4, 4));
        break;
    }
    case 0x30:
        im.replace(img::limiter + img::limiterRecord * ch, img::limiterRecord, p.mid(1, 7));
        break;
    case 0x31:
        im.replace(img::peak + img::peakRecord * o, img::peakRecord, p.mid(1, 5));
        break;
    case 0x50:
        im.replace(img::gain + 3 * ch, 3, p.mid(1, 3));
        break;
    case 0x51:
        im.replace(img::delay + 3 * ch, 3, p.mid(1, 3));
        break;
    case 0x52:
        put(im, img::outSwitch + o, b(1));
        break;
    case 0x53:
        put(im, img::routing + o, b(1));
        break;
    case 0x55: {
        const int to = channelindex(quint8(p[1]));
        if (!channelexists(u, to) || (to < 4) != (ch < 4))
            return silent(QStringLiteral("copy between channels of different kinds"));
        if (to != ch)
            copychannel(im, ch, to);
        if (to != ch && ch >= 4)
            for (int band = 0; band < img::geqBands; ++band)
                u.outputGeq[(to - 4) * img::geqBands + band] = u.outputGeq[o * img::geqBands + band];
        break;
    }
    default:
        break;
    }
    return reply(u, command);
}

} // namespace standin
