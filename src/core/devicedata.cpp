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
    for (int c = 0; c < kChannelCount; ++c) {
        const int rec = kImageGain + kImageGainStride * c;
        m_gain[c].mute = image[rec];
        m_gain[c].gain = readword(image, rec + 1);
    }

    for (int c = 0; c < kChannelCount; ++c) {
        for (int b = 0; b < kPeqBandCount; ++b) {
            const int slot = kImagePeq + kImagePeqStride * c + kImagePeqSlotSize * b;
            PeqBand &r = band(c, b);
            r.type = image[slot];
            r.freq = readword(image, slot + 1);
            const quint32 value = readword(image, slot + 3);
            if ((r.type & 0x0F) == 5) {
                m_allpass[c * kPeqBandCount + b] = static_cast<qint32>(value);
                r.gain = 300;
            } else {
                r.gain = value;
            }
            r.width = static_cast<quint8>(40 - image[slot + 5]);
        }
    }

    // Graphic EQ of the inputs: the whole 16-bit word, so that the band's
    // pass flag (bit 7 of the high byte) survives a save and a load.
    for (int c = 0; c < kGeqChannelsInImage; ++c) {
        for (int b = 0; b < kGeqBandCount; ++b) {
            const int off = kImageGeq + kImageGeqStride * c + 2 * b;
            m_geq[c][b] = static_cast<quint32>(image[off + 1]) * 256u + image[off];
        }
    }

    for (int c = 0; c < kChannelCount; ++c) {
        m_bypass[c] = image[kImageBypass + c];
        m_linkmask[c] = image[kImageLinkMask + c];
    }

    for (int o = 0; o < kOutputCount; ++o) {
        const int rec = kImageFilters + kImageFiltersStride * o;
        m_hpf[o].type = image[rec];
        m_hpf[o].freq = readword(image, rec + 1);
        m_lpf[o].type = image[rec + 3];
        m_lpf[o].freq = readword(image, rec + 4);
    }

    for (int o = 0; o < kOutputCount; ++o) {
        const int rec = kImageCrossover + kImageCrossoverStride * o;
        CrossoverRecord &x = m_xo[o];
        x.firtype = image[rec];
        x.param1 = image[rec + 1];
        x.param2 = image[rec + 2];
        x.param3 = image[rec + 3];
        x.order = image[rec + 4] & 0x7F;
        x.firflag = image[rec + 4] >> 7;
        x.lowfreq = readword(image, rec + 5);
        x.highfreq = readword(image, rec + 7);
        x.lowparam = readword(image, rec + 9);
        x.highparam = readword(image, rec + 11);
    }

    for (int c = 0; c < kChannelCount; ++c) {
        const int rec = kImageDelay + kImageDelayStride * c;
        m_delay[c].low = image[rec];
        m_delay[c].flags = image[rec + 2] & 0x80;
        m_delay[c].rest = static_cast<quint32>(image[rec + 2] & 0x7F) * 256u + image[rec + 1];
    }

    for (int c = 0; c < kChannelCount; ++c) {
        const int rec = kImageLimiter + kImageLimiterStride * c;
        LimiterRecord &l = m_limit[c];
        l.knee = image[rec];
        l.threshold = readword(image, rec + 1);
        l.ratio = image[rec + 3];
        l.attack = readword(image, rec + 4);
        l.release = image[rec + 6];
    }

    for (int o = 0; o < kOutputCount; ++o) {
        const int rec = kImagePeakLimiter + kImagePeakLimiterStride * o;
        m_peak[o].on = image[rec];
        m_peak[o].threshold = static_cast<qint32>(readword(image, rec + 1));
        m_peak[o].attack = image[rec + 3];
        m_peak[o].release = image[rec + 4];
        m_outflag[o] = image[kImageOutSwitch + o];
        m_route[o] = image[kImageRouting + o];
    }

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

    for (int c = 0; c < kChannelCount; ++c) {
        const int rec = kImageGain + kImageGainStride * c;
        image[rec] = m_gain[c].mute;
        writeword(image, rec + 1, m_gain[c].gain);
    }

    for (int c = 0; c < kChannelCount; ++c) {
        for (int b = 0; b < kPeqBandCount; ++b) {
            const int slot = kImagePeq + kImagePeqStride * c + kImagePeqSlotSize * b;
            const PeqBand &r = band(c, b);
            image[slot] = r.type;
            writeword(image, slot + 1, r.freq);
            const quint32 value =
                (r.type & 0x0F) == 5 ? static_cast<quint32>(m_allpass[c * kPeqBandCount + b]) : r.gain;
            writeword(image, slot + 3, value);
            image[slot + 5] = static_cast<quint8>(40 - r.width);
        }
    }

    for (int c = 0; c < kGeqChannelsInImage; ++c)
        for (int b = 0; b < kGeqBandCount; ++b)
            writeword(image, kImageGeq + kImageGeqStride * c + 2 * b, m_geq[c][b]);

    for (int c = 0; c < kChannelCount; ++c) {
        image[kImageBypass + c] = m_bypass[c];
        image[kImageLinkMask + c] = m_linkmask[c];
    }

    for (int o = 0; o < kOutputCount; ++o) {
        const int rec = kImageFilters + kImageFiltersStride * o;
        image[rec] = m_hpf[o].type;
        writeword(image, rec + 1, m_hpf[o].freq);
        image[rec + 3] = m_lpf[o].type;
        writeword(image, rec + 4, m_lpf[o].freq);
    }

    for (int o = 0; o < kOutputCount; ++o) {
        const int rec = kImageCrossover + kImageCrossoverStride * o;
        const CrossoverRecord &x = m_xo[o];
        image[rec] = x.firtype;
        image[rec + 1] = x.param1;
        image[rec + 2] = x.param2;
        image[rec + 3] = x.param3;
        image[rec + 4] = static_cast<quint8>((x.order & 0x7F) | (x.firflag != 0 ? 0x80 : 0));
        writeword(image, rec + 5, x.lowfreq);
        writeword(image, rec + 7, x.highfreq);
        writeword(image, rec + 9, x.lowparam);
        writeword(image, rec + 11, x.highparam);
    }

    for (int c = 0; c < kChannelCount; ++c) {
        const int rec = kImageDelay + kImageDelayStride * c;
        image[rec] = m_delay[c].low;
        image[rec + 1] = static_cast<quint8>(m_delay[c].rest & 0xFF);
        image[rec + 2] = static_cast<quint8>((m_delay[c].rest >> 8) | m_delay[c].flags);
    }

    for (int c = 0; c < kChannelCount; ++c) {
        const int rec = kImageLimiter + kImageLimiterStride * c;
        const LimiterRecord &l = m_limit[c];
        image[rec] = l.knee;
        writeword(image, rec + 1, l.threshold);
        image[rec + 3] = l.ratio;
        writeword(image, rec + 4, l.attack);
        image[rec + 6] = l.release;
    }

    for (int o = 0; o < kOutputCount; ++o) {
        const int rec = kImagePeakLimiter + kImagePeakLimiterStride * o;
        image[rec] = m_peak[o].on;
        writeword(image, rec + 1, static_cast<quint32>(m_peak[o].threshold));
        image[rec + 3] = m_peak[o].attack;
        image[rec + 4] = m_peak[o].release;
        image[kImageOutSwitch + o] = m_outflag[o];
        image[kImageRouting + o] = m_route[o];
    }

    splitroutes();
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
