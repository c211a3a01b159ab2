#include "devicedata.h"

#include "hextext.h"

#include <cstring>

namespace
{

// 15-bit decoding of a two-byte image value: bit 7 of the high byte is dropped.
quint32 readword(const quint8 *image, int offset)
{
    return static_cast<quint32>(image[offset + 1] & 0x7F) * 256u + image[offset];
}

void writeword(quint8 *image, int offset, quint32 value)
{
    image[offset] = static_cast<quint8>(value & 0xFF);
    image[offset + 1] = static_cast<quint8>((value >> 8) & 0xFF);
}

// Byte i of a reply's data; a byte beyond the end reads as 0.
quint8 replybyte(const QByteArray &data, int i)
{
    return i < data.size() ? static_cast<quint8>(data.at(i)) : 0;
}

bool validpacket(int p)
{
    return p >= 0 && p < kPacketCount;
}

QString latin1upto20(const quint8 *bytes)
{
    int n = 0;
    while (n < DeviceData::kProgramNameSize && bytes[n] != 0)
        ++n;
    return QString::fromLatin1(reinterpret_cast<const char *>(bytes), n);
}

} // namespace

DeviceData::DeviceData()
{
    // Every field starts at zero (member initialisers); then the defaults.
    m_devicename.clear();
    m_ipaddress.clear();
    m_type = 0x18;
    m_address = 0;
    m_devicename = QStringLiteral("PC Init Data");
    loaddefaults();
    for (NameRecord &r : m_names) {
        r.number = 0;
        r.used = 0;
        std::memset(r.name, ' ', sizeof r.name);
    }
    clearreadflags();
    std::memset(m_write, 0, sizeof m_write);
    const QByteArray tmpl = poweronimage();
    std::memcpy(m_current, tmpl.constData(), kProgramImageSize);
    std::memset(m_stored, 0, sizeof m_stored);
    m_ready = 0;
    namesloaded = 0;
}

DeviceData::~DeviceData() = default;

QString DeviceData::bytestohex(const QByteArray &bytes)
{
    return ::bytestohex(bytes);
}

void DeviceData::bytestohex(const QByteArray &bytes, QString &text)
{
    ::bytestohex(bytes, text);
}

QByteArray DeviceData::hextobytes(const QString &text)
{
    return ::hextobytes(text);
}

void DeviceData::hextobytes(const QString &text, QByteArray &bytes)
{
    ::hextobytes(text, bytes);
}

void DeviceData::setpeqtype(int ch, int b, int type)
{
    PeqBand &r = band(ch, b);
    r.type = static_cast<quint8>((r.type & 0x80) ? (type | 0x80) : type);
}

void DeviceData::setpeqbypass(int ch, int b, bool on)
{
    PeqBand &r = band(ch, b);
    r.type = static_cast<quint8>((r.type & 0x0F) | (on ? 0x80 : 0));
}

void DeviceData::setgeq(int ch, int b, int gain, bool pass)
{
    m_geq[ch][b] = (static_cast<quint32>(gain) & 0x7FFFu) | (pass ? 0x8000u : 0u);
}

void DeviceData::setdelay(int ch, int value)
{
    m_delay[ch].low = static_cast<quint8>(value & 0xFF);
    m_delay[ch].rest = static_cast<quint32>(value) >> 8;
}

void DeviceData::setpeqbypassall(int ch, bool on)
{
    m_bypass[ch] = static_cast<quint8>((m_bypass[ch] & 0xF0) | (on ? 1 : 0));
}

void DeviceData::setgeqbypassall(int ch, bool on)
{
    m_bypass[ch] = static_cast<quint8>((m_bypass[ch] & 0x0F) + (on ? 0x10 : 0));
}

void DeviceData::setlinkmask(int ch, int mask)
{
    if (ch < 0 || ch >= kChannelCount)
        return;
    m_linkmask[ch] = static_cast<quint8>(mask);
}

bool DeviceData::inputlinked() const
{
    for (int c = 0; c < kInputCount; ++c)
        if (m_linkmask[c] != (1 << c))
            return true;
    return false;
}

bool DeviceData::outputlinked() const
{
    for (int o = 0; o < kOutputCount; ++o)
        if (m_linkmask[kInputCount + o] != (1 << o))
            return true;
    return false;
}

void DeviceData::setroutein(int o, int input, bool on)
{
    const int bit = 0x08 >> input;
    m_routein[input][o] = on;
    if (on)
        m_route[o] = static_cast<quint8>(m_route[o] | bit);
    else
        m_route[o] = static_cast<quint8>(m_route[o] & (0x0F & ~bit));
}

int DeviceData::getroutebit(int o, int input) const
{
    if (input < 1 || input > 4)
        return 0;
    return (m_route[o] >> (4 - input)) & 1;
}

void DeviceData::setroutebit(int o, int input, bool on)
{
    if (input < 1 || input > 4)
        return;
    // Same rule as the per-input setters, so the expanded booleans stay equal
    // to the byte.
    setroutein(o, input - 1, on);
}

void DeviceData::splitroutes()
{
    for (int o = 0; o < kOutputCount; ++o)
        for (int i = 0; i < kInputCount; ++i)
            m_routein[i][o] = (m_route[o] >> (3 - i)) & 1;
}

void DeviceData::setprogramname(const QString &name)
{
    const QByteArray bytes = name.leftJustified(kProgramNameSize, QLatin1Char(' ')).toLatin1();
    for (int i = 0; i < kProgramNameSize; ++i)
        m_programname[i] = i < bytes.size() ? static_cast<quint8>(bytes.at(i)) : ' ';
}

QString DeviceData::getprogramname() const
{
    return latin1upto20(m_programname);
}

void DeviceData::setnamerecord(const QString &hex)
{
    const QByteArray data = hextobytes(hex);
    const int number = data.isEmpty() ? 0 : static_cast<qint8>(data.at(0));
    const int k = number - 1;
    // The processor numbers its programs 1..45; any other number has no record.
    if (k < 0 || k >= kNameRecordCount)
        return;
    NameRecord &r = m_names[k];
    r.number = replybyte(data, 0);
    r.used = replybyte(data, 1);
    for (int i = 0; i < kProgramNameSize; ++i)
        r.name[i] = replybyte(data, 2 + i);
}

QString DeviceData::getnamerecordname(int k) const
{
    if (k < 0 || k >= kNameRecordCount)
        return QString();
    return latin1upto20(m_names[k].name);
}

int DeviceData::getnamerecordnum(int k) const
{
    if (k < 0 || k >= kNameRecordCount)
        return 0;
    return m_names[k].number;
}

bool DeviceData::getnamerecordused(int k) const
{
    if (k < 0 || k >= kNameRecordCount)
        return false;
    return m_names[k].used != 0;
}

int DeviceData::getcurimagebyte(int k) const
{
    return (k >= 0 && k < kProgramImageSize) ? m_current[k] : 0;
}

void DeviceData::setcurimagebyte(int k, int value)
{
    if (k >= 0 && k < kProgramImageSize)
        m_current[k] = static_cast<quint8>(value);
}

int DeviceData::getwriteimagebyte(int k) const
{
    return (k >= 0 && k < kProgramImageSize) ? m_write[k] : 0;
}

int DeviceData::getstoredbyte(int slot, int k) const
{
    if (slot < 0 || slot >= kStoredProgramCount || k < 0 || k >= kProgramImageSize)
        return 0;
    return m_stored[slot][k];
}

void DeviceData::setstoredbyte(int slot, int k, int value)
{
    if (slot < 0 || slot >= kStoredProgramCount || k < 0 || k >= kProgramImageSize)
        return;
    m_stored[slot][k] = static_cast<quint8>(value);
}

int DeviceData::getstagingbyte(int packet, int k) const
{
    if (!validpacket(packet) || k < 0 || k >= kPacketSize)
        return 0;
    return m_staging[packet * kPacketSize + k];
}

void DeviceData::stagecurimage()
{
    std::memcpy(m_staging, m_current, kProgramImageSize);
}

void DeviceData::stagestoredprogram(int n)
{
    if (n < 1 || n > kStoredProgramCount)
        return;
    std::memcpy(m_staging, m_stored[n - 1], kProgramImageSize);
}

void DeviceData::stageimage(const QByteArray &image)
{
    if (image.size() != kProgramImageSize)
        return;
    std::memcpy(m_staging, image.constData(), kProgramImageSize);
}

void DeviceData::applyreceivedimage()
{
    std::memcpy(m_current, m_receive, kProgramImageSize);
}

void DeviceData::storereceivedprogram(int n)
{
    if (n < 1 || n > kStoredProgramCount)
        return;
    std::memcpy(m_stored[n - 1], m_receive, kProgramImageSize);
}

void DeviceData::storepacket(const QString &hex)
{
    const QByteArray data = hextobytes(hex);
    const int p = data.size() >= 2 ? static_cast<qint8>(data.at(1)) : 0;
    // The packet index comes from the processor: a packet outside the image
    // has no place in the receive buffer.
    if (!validpacket(p))
        return;
    for (int k = 0; k < kPacketSize; ++k)
        m_receive[p * kPacketSize + k] = replybyte(data, 2 + k);
    m_readflags[p] = 1;
}

void DeviceData::clearreadflags()
{
    std::memset(m_readflags, 0, sizeof m_readflags);
}

bool DeviceData::allpacketsread() const
{
    return countreadflags() == kPacketCount;
}

int DeviceData::countreadflags() const
{
    for (int p = 0; p < kPacketCount; ++p)
        if (m_readflags[p] == 0)
            return p;
    return kPacketCount;
}

void DeviceData::clearwriteacks()
{
    std::memset(m_writeacks, 0, sizeof m_writeacks);
}

bool DeviceData::allwriteacked() const
{
    return countwriteacks() == kPacketCount;
}

int DeviceData::countwriteacks() const
{
    for (int p = 0; p < kPacketCount; ++p)
        if (m_writeacks[p] == 0)
            return p;
    return kPacketCount;
}

void DeviceData::setwriteack(const QString &hex)
{
    const QByteArray data = hextobytes(hex);
    const int p = data.size() >= 2 ? static_cast<qint8>(data.at(1)) : 0;
    if (!validpacket(p))
        return;
    m_writeacks[p] = 1;
}

void DeviceData::setmutesfromhex(const QString &hex)
{
    const QByteArray data = hextobytes(hex);
    for (int c = 0; c < kChannelCount; ++c)
        m_gain[c].mute = replybyte(data, c);
}

void DeviceData::unpackprogram()
{
    m_programhead = m_current[kImageHeader];
    std::memcpy(m_programname, m_current + kImageName, kImageNameSize);
    decodeimage(m_current);
}

// Steps shared by unpackprogram and loaddefaults: every decoded field but the
// header and the program name.
void DeviceData::decodeimage(const quint8 *image)
{
    for (const ImageField &f : imagefields())
        for (int i = 0; i < f.records(); ++i)
            f.set(*this, i, f.read(image, f.position(i)));
    splitroutes();
}

void DeviceData::packprogram()
{
    // Start from the current image so that the bytes the model does not
    // decode (parametric slots 7 and 8, the tail after the link masks) keep
    // what the processor or the loaded file held.
    quint8 *image = m_write;
    std::memcpy(image, m_current, kProgramImageSize);

    image[kImageHeader] = 1;
    std::memcpy(image + kImageName, m_programname, kImageNameSize);
    for (const ImageField &f : imagefields())
        for (int i = 0; i < f.records(); ++i)
            f.write(image, f.position(i), f.get(*this, i));
    splitroutes();
}

int DeviceData::ImageField::position(int i) const
{
    return base + (i / inner) * stride + (i % inner) * innerstride + offset;
}

quint32 DeviceData::ImageField::read(const quint8 *image, int at) const
{
    switch (coding) {
    case Coding::Byte:
        return image[at];
    case Coding::Word:
        return readword(image, at);
    case Coding::Word16:
        return static_cast<quint32>(image[at + 1]) * 256u + image[at];
    case Coding::Flag80:
        return image[at] & 0x80;
    }
    return 0;
}

void DeviceData::ImageField::write(quint8 *image, int at, quint32 value) const
{
    switch (coding) {
    case Coding::Byte:
        image[at] = static_cast<quint8>(value);
        break;
    case Coding::Word:
    case Coding::Word16:
        writeword(image, at, value);
        break;
    case Coding::Flag80:
        // Bit 7 of a byte whose other bits belong to the word before it.
        image[at] = static_cast<quint8>((image[at] & 0x7F) | (value != 0 ? 0x80 : 0));
        break;
    }
}

// Where every decoded parameter lies in the image and how it is coded: the one
// description of the layout that decoding and packing both follow. Fields of
// one record are listed in image order; the parametric type comes before the
// value that it decides between gain and all-pass.
const QVector<DeviceData::ImageField> &DeviceData::imagefields()
{
    using C = Coding;
    using D = DeviceData;
    constexpr int ch = kChannelCount, out = kOutputCount;
    static const QVector<ImageField> fields = {
        // name, base, records, stride, offset, coding; get; set
        {"mute", kImageGain, ch, kImageGainStride, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_gain[i].mute; },
         [](D &d, int i, quint32 v) { d.m_gain[i].mute = quint8(v); }},
        {"gain", kImageGain, ch, kImageGainStride, 1, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_gain[i].gain; },
         [](D &d, int i, quint32 v) { d.m_gain[i].gain = v; }},
        // Parametric bands: 7 of the 9 slots of each channel are decoded.
        {"band type", kImagePeq, ch, kImagePeqStride, 0, C::Byte, kPeqBandCount, kImagePeqSlotSize,
         [](const D &d, int i) -> quint32 { return d.m_peq[i].type; },
         [](D &d, int i, quint32 v) { d.m_peq[i].type = quint8(v); }},
        {"band frequency", kImagePeq, ch, kImagePeqStride, 1, C::Word, kPeqBandCount, kImagePeqSlotSize,
         [](const D &d, int i) -> quint32 { return d.m_peq[i].freq; },
         [](D &d, int i, quint32 v) { d.m_peq[i].freq = v; }},
        // An all-pass band (type 5) keeps its value apart and 300 as its gain.
        {"band gain or all-pass", kImagePeq, ch, kImagePeqStride, 3, C::Word, kPeqBandCount, kImagePeqSlotSize,
         [](const D &d, int i) -> quint32 {
             return (d.m_peq[i].type & 0x0F) == 5 ? static_cast<quint32>(d.m_allpass[i]) : d.m_peq[i].gain;
         },
         [](D &d, int i, quint32 v) {
             if ((d.m_peq[i].type & 0x0F) == 5) {
                 d.m_allpass[i] = static_cast<qint32>(v);
                 d.m_peq[i].gain = 300;
             } else {
                 d.m_peq[i].gain = v;
             }
         }},
        {"band width", kImagePeq, ch, kImagePeqStride, 5, C::Byte, kPeqBandCount, kImagePeqSlotSize,
         [](const D &d, int i) -> quint32 { return quint8(40 - d.m_peq[i].width); },
         [](D &d, int i, quint32 v) { d.m_peq[i].width = static_cast<quint8>(40 - v); }},
        // Graphic EQ of the inputs: the whole word, so that a band's pass flag
        // (bit 7 of the high byte) survives a save and a load.
        {"graphic EQ band", kImageGeq, kGeqChannelsInImage, kImageGeqStride, 0, C::Word16, kGeqBandCount, 2,
         [](const D &d, int i) -> quint32 { return d.m_geq[i / kGeqBandCount][i % kGeqBandCount]; },
         [](D &d, int i, quint32 v) { d.m_geq[i / kGeqBandCount][i % kGeqBandCount] = v; }},
        {"bypass", kImageBypass, ch, 1, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_bypass[i]; },
         [](D &d, int i, quint32 v) { d.m_bypass[i] = quint8(v); }},
        {"high-pass type", kImageFilters, out, kImageFiltersStride, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_hpf[i].type; },
         [](D &d, int i, quint32 v) { d.m_hpf[i].type = quint8(v); }},
        {"high-pass frequency", kImageFilters, out, kImageFiltersStride, 1, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_hpf[i].freq; },
         [](D &d, int i, quint32 v) { d.m_hpf[i].freq = v; }},
        {"low-pass type", kImageFilters, out, kImageFiltersStride, 3, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_lpf[i].type; },
         [](D &d, int i, quint32 v) { d.m_lpf[i].type = quint8(v); }},
        {"low-pass frequency", kImageFilters, out, kImageFiltersStride, 4, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_lpf[i].freq; },
         [](D &d, int i, quint32 v) { d.m_lpf[i].freq = v; }},
        {"FIR type", kImageCrossover, out, kImageCrossoverStride, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].firtype; },
         [](D &d, int i, quint32 v) { d.m_xo[i].firtype = quint8(v); }},
        {"FIR parameter 1", kImageCrossover, out, kImageCrossoverStride, 1, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].param1; },
         [](D &d, int i, quint32 v) { d.m_xo[i].param1 = quint8(v); }},
        {"FIR parameter 2", kImageCrossover, out, kImageCrossoverStride, 2, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].param2; },
         [](D &d, int i, quint32 v) { d.m_xo[i].param2 = quint8(v); }},
        {"FIR parameter 3", kImageCrossover, out, kImageCrossoverStride, 3, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].param3; },
         [](D &d, int i, quint32 v) { d.m_xo[i].param3 = quint8(v); }},
        // The FIR order in bits 0-6, the FIR mode in bit 7.
        {"FIR order and mode", kImageCrossover, out, kImageCrossoverStride, 4, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 {
             return quint8((d.m_xo[i].order & 0x7F) | (d.m_xo[i].firflag != 0 ? 0x80 : 0));
         },
         [](D &d, int i, quint32 v) {
             d.m_xo[i].order = quint8(v & 0x7F);
             d.m_xo[i].firflag = quint8((v >> 7) & 1);
         }},
        {"FIR low corner", kImageCrossover, out, kImageCrossoverStride, 5, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].lowfreq; },
         [](D &d, int i, quint32 v) { d.m_xo[i].lowfreq = v; }},
        {"FIR high corner", kImageCrossover, out, kImageCrossoverStride, 7, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].highfreq; },
         [](D &d, int i, quint32 v) { d.m_xo[i].highfreq = v; }},
        {"FIR low parameter", kImageCrossover, out, kImageCrossoverStride, 9, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].lowparam; },
         [](D &d, int i, quint32 v) { d.m_xo[i].lowparam = v; }},
        {"FIR high parameter", kImageCrossover, out, kImageCrossoverStride, 11, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_xo[i].highparam; },
         [](D &d, int i, quint32 v) { d.m_xo[i].highparam = v; }},
        // Delay: bits 0-7, then bits 8-22 as a word, the on-flag in bit 7 of its high byte.
        {"delay low", kImageDelay, ch, kImageDelayStride, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_delay[i].low; },
         [](D &d, int i, quint32 v) { d.m_delay[i].low = quint8(v); }},
        {"delay rest", kImageDelay, ch, kImageDelayStride, 1, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_delay[i].rest; },
         [](D &d, int i, quint32 v) { d.m_delay[i].rest = v; }},
        {"delay on", kImageDelay, ch, kImageDelayStride, 2, C::Flag80, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_delay[i].flags; },
         [](D &d, int i, quint32 v) { d.m_delay[i].flags = quint8(v); }},
        {"output switch", kImageOutSwitch, out, 1, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_outflag[i]; },
         [](D &d, int i, quint32 v) { d.m_outflag[i] = quint8(v); }},
        {"routing", kImageRouting, out, 1, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_route[i]; },
         [](D &d, int i, quint32 v) { d.m_route[i] = quint8(v); }},
        {"limiter knee", kImageLimiter, ch, kImageLimiterStride, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_limit[i].knee; },
         [](D &d, int i, quint32 v) { d.m_limit[i].knee = quint8(v); }},
        {"limiter threshold", kImageLimiter, ch, kImageLimiterStride, 1, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_limit[i].threshold; },
         [](D &d, int i, quint32 v) { d.m_limit[i].threshold = v; }},
        {"limiter ratio", kImageLimiter, ch, kImageLimiterStride, 3, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_limit[i].ratio; },
         [](D &d, int i, quint32 v) { d.m_limit[i].ratio = quint8(v); }},
        {"limiter attack", kImageLimiter, ch, kImageLimiterStride, 4, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_limit[i].attack; },
         [](D &d, int i, quint32 v) { d.m_limit[i].attack = v; }},
        {"limiter release", kImageLimiter, ch, kImageLimiterStride, 6, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_limit[i].release; },
         [](D &d, int i, quint32 v) { d.m_limit[i].release = quint8(v); }},
        {"peak limiter on", kImagePeakLimiter, out, kImagePeakLimiterStride, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_peak[i].on; },
         [](D &d, int i, quint32 v) { d.m_peak[i].on = quint8(v); }},
        {"peak limiter threshold", kImagePeakLimiter, out, kImagePeakLimiterStride, 1, C::Word, 1, 0,
         [](const D &d, int i) -> quint32 { return static_cast<quint32>(d.m_peak[i].threshold); },
         [](D &d, int i, quint32 v) { d.m_peak[i].threshold = static_cast<qint32>(v); }},
        {"peak limiter attack", kImagePeakLimiter, out, kImagePeakLimiterStride, 3, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_peak[i].attack; },
         [](D &d, int i, quint32 v) { d.m_peak[i].attack = quint8(v); }},
        {"peak limiter release", kImagePeakLimiter, out, kImagePeakLimiterStride, 4, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_peak[i].release; },
         [](D &d, int i, quint32 v) { d.m_peak[i].release = quint8(v); }},
        {"link mask", kImageLinkMask, ch, 1, 0, C::Byte, 1, 0,
         [](const D &d, int i) -> quint32 { return d.m_linkmask[i]; },
         [](D &d, int i, quint32 v) { d.m_linkmask[i] = quint8(v); }},
    };
    return fields;
}

void DeviceData::loaddefaults()
{
    m_programhead = 1;
    setprogramname(QStringLiteral("PROGRAM"));
    const QByteArray tmpl = poweronimage();
    decodeimage(reinterpret_cast<const quint8 *>(tmpl.constData()));
    // The template carries no graphic EQ for the outputs: flat, pass clear.
    for (int c = kGeqChannelsInImage; c < kChannelCount; ++c)
        for (int b = 0; b < kGeqBandCount; ++b)
            m_geq[c][b] = 300;
}
