#include "programimage.h"

namespace
{

void putword(QByteArray &image, int offset, int value)
{
    image[offset] = static_cast<char>(value & 0xFF);
    image[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

QByteArray buildpoweronimage()
{
    QByteArray image(kProgramImageSize, '\0');

    image[kImageHeader] = 1;
    const QByteArray name = QByteArray("12").leftJustified(kImageNameSize, ' ');
    for (int i = 0; i < kImageNameSize; ++i)
        image[kImageName + i] = name.at(i);

    // Inputs start muted, outputs sounding; every gain 0 dB.
    for (int c = 0; c < 12; ++c) {
        image[kImageGain + kImageGainStride * c] = c < 4 ? 1 : 0;
        putword(image, kImageGain + kImageGainStride * c + 1, 400);
    }

    // Parametric slots: type 0, 0 dB, width index 14; inputs spread in octaves
    // from 31.3 Hz, outputs from 57.9 Hz.
    static const int inputfreqs[kImagePeqSlots] = {59, 95, 130, 166, 202, 238, 274, 310, 346};
    static const int outputfreqs[kImagePeqSlots] = {91, 110, 128, 147, 166, 185, 204, 223, 242};
    for (int c = 0; c < 12; ++c) {
        for (int s = 0; s < kImagePeqSlots; ++s) {
            const int slot = kImagePeq + kImagePeqStride * c + kImagePeqSlotSize * s;
            image[slot] = 0;
            putword(image, slot + 1, c < 4 ? inputfreqs[s] : outputfreqs[s]);
            putword(image, slot + 3, 300);
            image[slot + 5] = 40 - 14;
        }
    }

    // Graphic EQ flat.
    for (int c = 0; c < 4; ++c)
        for (int b = 0; b < 31; ++b)
            putword(image, kImageGeq + kImageGeqStride * c + 2 * b, 300);

    // High-pass and low-pass: odd outputs 40.1 Hz..1620 Hz, even outputs
    // 1620 Hz..21.9 kHz.
    for (int o = 0; o < 8; ++o) {
        const int rec = kImageFilters + kImageFiltersStride * o;
        const bool odd = o % 2 == 0;
        image[rec] = 0;
        putword(image, rec + 1, odd ? 72 : 263);
        image[rec + 3] = 0;
        putword(image, rec + 4, odd ? 263 : 398);
    }

    // Crossover/FIR records in IIR mode.
    for (int o = 0; o < 8; ++o) {
        const int rec = kImageCrossover + kImageCrossoverStride * o;
        image[rec] = 0;
        image[rec + 1] = 2;
        image[rec + 2] = 0;
        image[rec + 3] = 2;
        image[rec + 4] = 0;
        putword(image, rec + 5, 284);
        putword(image, rec + 7, 284);
        putword(image, rec + 9, 190);
        putword(image, rec + 11, 384);
    }

    // Delay, output switches and routing stay zero.

    for (int c = 0; c < 12; ++c) {
        const int rec = kImageLimiter + kImageLimiterStride * c;
        image[rec] = 0;
        putword(image, rec + 1, 400);
        image[rec + 3] = 2;
        putword(image, rec + 4, 50);
        image[rec + 6] = 1;
    }

    for (int o = 0; o < 8; ++o) {
        const int rec = kImagePeakLimiter + kImagePeakLimiterStride * o;
        image[rec] = 0;
        putword(image, rec + 1, 400);
        image[rec + 3] = 1;
        image[rec + 4] = 1;
    }

    // Nothing linked: every channel's mask is its own bit.
    for (int c = 0; c < 4; ++c)
        image[kImageLinkMask + c] = static_cast<char>(1 << c);
    for (int o = 0; o < 8; ++o)
        image[kImageLinkMask + 4 + o] = static_cast<char>(1 << o);

    return image;
}

} // namespace

QByteArray poweronimage()
{
    static const QByteArray image = buildpoweronimage();
    return image;
}

namespace
{

int byteat(const QByteArray &image, int offset)
{
    return static_cast<quint8>(image.at(offset));
}

// A 16-bit value as stored: low byte first. Values above 15 bits are out of
// range for every field (the model keeps 15 bits).
int wordat(const QByteArray &image, int offset)
{
    return byteat(image, offset) | (byteat(image, offset + 1) << 8);
}

QString channelname(int c)
{
    return c < 4 ? QStringLiteral("IN-%1").arg(QChar('A' + c)) : QStringLiteral("OUT%1").arg(c - 3);
}

// Walks the fields in image order and stops at the first one out of range.
class FieldCheck
{
public:
    explicit FieldCheck(const QByteArray &image)
        : m_image(image)
    {
    }
    bool failed() const { return m_failed; }
    const ImageFieldFault &fault() const { return m_fault; }

    // A value in lo..hi; who names the channel or output (empty: none).
    void range(int value, int lo, int hi, const QString &who, const char *english, const char *chinese)
    {
        if (m_failed || (value >= lo && value <= hi))
            return;
        m_failed = true;
        const QString prefix = who.isEmpty() ? QString() : who + QLatin1Char(' ');
        m_fault.english = prefix + QString::fromUtf8(english);
        m_fault.chinese = prefix + QString::fromUtf8(chinese);
        m_fault.value = value;
    }
    void byte(int offset, int lo, int hi, const QString &who, const char *english, const char *chinese)
    {
        range(byteat(m_image, offset), lo, hi, who, english, chinese);
    }
    void word(int offset, int lo, int hi, const QString &who, const char *english, const char *chinese)
    {
        range(wordat(m_image, offset), lo, hi, who, english, chinese);
    }

private:
    const QByteArray &m_image;
    bool m_failed = false;
    ImageFieldFault m_fault;
};

// Ranges of the pages that edit the fields.
constexpr int kGridTop = 398;    // frequency index
constexpr int kGainTop = 520;    // channel gain raw
constexpr int kPeqGainTop = 450; // parametric band gain raw
constexpr int kPeqTypeTop = 5;   // 5: all-pass
constexpr int kWidthTop = 40;    // bandwidth index
constexpr int kGeqGainTop = 450; // graphic band gain raw
constexpr int kSlopeTop = 12;    // high-pass and low-pass slope types
constexpr int kFirTypeTop = 3;   // flat, high-pass, low-pass, band-pass
constexpr int kDelayTop = 48000; // samples
constexpr int kWordTop = 0x7FFF; // any 15-bit value

} // namespace

bool checkprogramimage(const QByteArray &image, ImageFieldFault *fault)
{
    if (image.size() != kProgramImageSize) {
        if (fault)
            *fault = {QStringLiteral("image size"), QString::fromUtf8("数据长度"), int(image.size())};
        return false;
    }
    if (image.count('\0') == kProgramImageSize)
        return true;
    FieldCheck f(image);
    const QString none;
    for (int c = 0; c < 12; ++c) {
        const int rec = kImageGain + kImageGainStride * c;
        f.byte(rec, 0, 1, channelname(c), "mute", "静音");
        f.word(rec + 1, 0, kGainTop, channelname(c), "gain", "增益");
    }
    for (int c = 0; c < 12; ++c) {
        for (int b = 0; b < 7; ++b) {
            const int slot = kImagePeq + kImagePeqStride * c + kImagePeqSlotSize * b;
            const QString who = channelname(c) + QStringLiteral(" PEQ %1").arg(b + 1);
            const int type = byteat(image, slot);
            // Bit 7 is the band's bypass; bits 4 to 6 carry nothing.
            f.range(type & 0x7F, 0, kPeqTypeTop, who, "type", "类型");
            f.word(slot + 1, 0, kGridTop, who, "frequency", "频率");
            if ((type & 0x0F) == 5)
                f.word(slot + 3, 0, kGridTop, who, "all-pass", "全通");
            else
                f.word(slot + 3, 0, kPeqGainTop, who, "gain", "增益");
            f.byte(slot + 5, 0, kWidthTop, who, "width", "带宽");
        }
    }
    for (int c = 0; c < 4; ++c) {
        for (int b = 0; b < 31; ++b) {
            const QString who = channelname(c) + QStringLiteral(" GEQ %1").arg(b + 1);
            // Bit 15 is the band's pass flag.
            f.range(wordat(image, kImageGeq + kImageGeqStride * c + 2 * b) & 0x7FFF, 0, kGeqGainTop, who,
                    "gain", "增益");
        }
    }
    for (int c = 0; c < 12; ++c)
        f.range(byteat(image, kImageBypass + c) & ~0x11, 0, 0, channelname(c), "bypass", "旁通");
    for (int o = 0; o < 8; ++o) {
        const int rec = kImageFilters + kImageFiltersStride * o;
        const QString who = channelname(4 + o);
        f.byte(rec, 0, kSlopeTop, who, "high-pass type", "高通类型");
        f.word(rec + 1, 0, kGridTop, who, "high-pass frequency", "高通频率");
        f.byte(rec + 3, 0, kSlopeTop, who, "low-pass type", "低通类型");
        f.word(rec + 4, 0, kGridTop, who, "low-pass frequency", "低通频率");
    }
    for (int o = 0; o < 8; ++o) {
        const int rec = kImageCrossover + kImageCrossoverStride * o;
        const QString who = channelname(4 + o);
        f.byte(rec, 0, kFirTypeTop, who, "FIR type", "FIR 类型");
        f.word(rec + 5, 0, kWordTop, who, "FIR low corner", "FIR 低端频率");
        f.word(rec + 7, 0, kWordTop, who, "FIR high corner", "FIR 高端频率");
        f.word(rec + 9, 0, kWordTop, who, "FIR low parameter", "FIR 低端参数");
        f.word(rec + 11, 0, kWordTop, who, "FIR high parameter", "FIR 高端参数");
    }
    for (int c = 0; c < 12; ++c) {
        const int rec = kImageDelay + kImageDelayStride * c;
        const int samples =
            byteat(image, rec) + 256 * byteat(image, rec + 1) + 65536 * (byteat(image, rec + 2) & 0x7F);
        f.range(samples, 0, kDelayTop, channelname(c), "delay", "延时");
    }
    for (int o = 0; o < 8; ++o)
        f.byte(kImageOutSwitch + o, 0, 1, channelname(4 + o), "output switch", "输出开关");
    for (int o = 0; o < 8; ++o)
        f.byte(kImageRouting + o, 0, 15, channelname(4 + o), "routing", "路由");
    for (int c = 0; c < 12; ++c) {
        const int rec = kImageLimiter + kImageLimiterStride * c;
        const QString who = channelname(c);
        f.byte(rec, 0, 6, who, "limiter knee", "限幅器拐点");
        f.word(rec + 1, 0, 400, who, "limiter threshold", "限幅器阈值");
        f.byte(rec + 3, 0, 9, who, "limiter ratio", "限幅器压缩比");
        f.word(rec + 4, 50, 6000, who, "limiter attack", "限幅器启动时间");
        f.byte(rec + 6, 1, 199, who, "limiter release", "限幅器释放时间");
    }
    for (int o = 0; o < 8; ++o) {
        const int rec = kImagePeakLimiter + kImagePeakLimiterStride * o;
        const QString who = channelname(4 + o);
        f.byte(rec, 0, 1, who, "peak limiter switch", "峰值限幅器开关");
        f.word(rec + 1, 0, 400, who, "peak limiter threshold", "峰值限幅器阈值");
        f.byte(rec + 3, 1, 100, who, "peak limiter attack", "峰值限幅器启动时间");
        f.byte(rec + 4, 1, 20, who, "peak limiter release", "峰值限幅器释放时间");
    }
    for (int c = 0; c < 4; ++c)
        f.byte(kImageLinkMask + c, 0, 15, channelname(c), "link mask", "联动");
    if (f.failed() && fault)
        *fault = f.fault();
    return !f.failed();
}

bool checkprogramimages(const QByteArray &images, ImageFieldFault *fault)
{
    if (images.size() <= kProgramImageSize || images.size() % kProgramImageSize != 0)
        return checkprogramimage(images, fault);
    for (int n = 0; n < images.size() / kProgramImageSize; ++n) {
        ImageFieldFault one;
        if (!checkprogramimage(images.mid(n * kProgramImageSize, kProgramImageSize), &one)) {
            if (fault) {
                fault->english = QStringLiteral("program %1, ").arg(n + 1) + one.english;
                fault->chinese = QString::fromUtf8("程序 %1，").arg(n + 1) + one.chinese;
                fault->value = one.value;
            }
            return false;
        }
    }
    return true;
}

QString damagedimagemessage(const ImageFieldFault &fault, bool chinese)
{
    if (chinese)
        return QString::fromUtf8("此文件已损坏：%1 超出范围 (%2)\n请重新选择")
            .arg(fault.chinese)
            .arg(fault.value);
    return QStringLiteral("This file is damaged: %1 is out of range (%2)\nPlease Select Again")
        .arg(fault.english)
        .arg(fault.value);
}
