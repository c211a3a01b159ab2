#include "payloads.h"

#include "hextext.h"

namespace payloads
{

QString hexbyte(unsigned int v)
{
    return QStringLiteral("%1").arg(v & 0xFFu, 2, 16, QLatin1Char('0'));
}

QString hexword(unsigned int v)
{
    return hexbyte(v) + hexbyte(v >> 8);
}

int channelcode(int channel)
{
    if (channel >= 0 && channel <= 3)
        return channel;
    if (channel >= 4 && channel <= 11)
        return 0x10 + channel - 4;
    return -1;
}

int outputcode(int output)
{
    return (output >= 0 && output <= 7) ? 0x10 + output : -1;
}

int routingcode(int number)
{
    return (number >= 1 && number <= 8) ? 0x0F + number : -1;
}

namespace
{

// Exactly n bytes of the hex text, padded with blanks or cut.
QString fixedbytes(const QString &hex, int n)
{
    QByteArray bytes = hextobytes(hex);
    if (bytes.size() > n)
        bytes.truncate(n);
    while (bytes.size() < n)
        bytes.append(' ');
    return bytestohex(bytes);
}

// "  " before every byte, as the logo-block and program-write payloads carry.
QString spacedbytes(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() * 4);
    for (char c : bytes)
        text += QLatin1String("  ") + hexbyte(static_cast<unsigned char>(c));
    return text;
}

} // namespace

QString empty()
{
    return QStringLiteral("00");
}

QString gain(int channel, unsigned int mute, unsigned int raw)
{
    const int code = channelcode(channel);
    if (code < 0)
        return QString();
    // The pages treat any non-zero mute byte as muted.
    return QStringLiteral("04") + hexbyte(code) + (mute ? QStringLiteral("01") : QStringLiteral("00")) +
           hexword(raw);
}

QString delay(int channel, unsigned int low, unsigned int high, unsigned int flag)
{
    const int code = channelcode(channel);
    if (code < 0)
        return QString();
    return QStringLiteral("04") + hexbyte(code) + hexbyte(low) + hexbyte(high) + hexbyte((high >> 8) | flag);
}

QString peqband(int channel, int band, unsigned int typebyte, unsigned int freq, unsigned int gain,
                unsigned int allpass, unsigned int width)
{
    const int code = channelcode(channel);
    if (code < 0 || band < 0 || band > 6)
        return QString();
    const bool isallpass = (typebyte & 0x0F) == 5;
    return QStringLiteral("08") + hexbyte(code) + hexbyte(band & 0x0F) + hexbyte(typebyte) + hexword(freq) +
           hexword(isallpass ? allpass : gain) + hexbyte(40u - width);
}

QString geqband(int channel, int band, unsigned int word)
{
    const int code = channelcode(channel);
    if (code < 0 || band < 0 || band > 30)
        return QString();
    return QStringLiteral("04") + hexbyte(code) + hexbyte(band) + hexword(word);
}

QString bypass(int channel, unsigned int bypassbyte)
{
    const int code = channelcode(channel);
    if (code < 0)
        return QString();
    return QStringLiteral("02") + hexbyte(code) + hexbyte(bypassbyte);
}

QString xover(int channel, int kind, unsigned int slope, unsigned int freq)
{
    if (channel < 4 || channel > 11)
        return QString();
    return QStringLiteral("05") + hexbyte(channelcode(channel)) +
           (kind == 1 ? QStringLiteral("01") : QStringLiteral("00")) + hexbyte(slope) + hexword(freq);
}

QString fir(int channel, const FirFields &f)
{
    if (channel < 4 || channel > 11)
        return QString();
    unsigned int type = f.type & 0xFF;
    unsigned int param;
    unsigned int first = f.lowfreq;
    unsigned int second = f.highfreq;
    if (type <= 1) {
        param = f.param1;
    } else if (type == 2) {
        param = f.param2;
    } else {
        type = 3;
        param = f.param3;
        first = f.lowparam;
        second = f.highparam;
    }
    const unsigned int order = f.order | (f.firmode ? 0x80u : 0u);
    return QStringLiteral("08") + hexbyte(channelcode(channel)) + hexbyte(type) + hexbyte(param) +
           hexbyte(order) + hexword(first) + hexword(second);
}

QString limit(int channel, unsigned int knee, unsigned int threshold, unsigned int ratio, unsigned int attack,
              unsigned int release)
{
    const int code = channelcode(channel);
    if (code < 0)
        return QString();
    return QStringLiteral("08") + hexbyte(code) + hexbyte(knee) + hexword(threshold) + hexbyte(ratio) +
           hexword(attack) + hexbyte(release);
}

QString peaklimit(int output, unsigned int on, int threshold, unsigned int attack, unsigned int release)
{
    const int code = outputcode(output);
    if (code < 0)
        return QString();
    return QStringLiteral("06") + hexbyte(code) + hexbyte(on) +
           hexword(static_cast<unsigned int>(threshold)) + hexbyte(attack) + hexbyte(release);
}

QString outputflag(int output, unsigned int flag)
{
    const int code = outputcode(output);
    if (code < 0)
        return QString();
    return QStringLiteral("02") + hexbyte(code) + hexbyte(flag);
}

QString routing(int number, unsigned int routebyte)
{
    const int code = routingcode(number);
    if (code < 0)
        return QString();
    return QStringLiteral("02") + hexbyte(code) + hexbyte(routebyte);
}

QString links(const QString &maskhex)
{
    if (hextobytes(maskhex).size() != kLinkMaskBytes)
        return QString();
    return QStringLiteral("0C") + maskhex;
}

QString copy(unsigned int source, unsigned int destination)
{
    return QStringLiteral("02") + hexbyte(source) + hexbyte(destination);
}

QString devicelock(unsigned int mode, const QString &passwordhex)
{
    return QStringLiteral("09") + hexbyte(mode) + fixedbytes(passwordhex, kPasswordBytes);
}

QString projectlock(unsigned int mode, const QString &passwordhex, unsigned int times)
{
    return QStringLiteral("0b") + hexbyte(mode) + fixedbytes(passwordhex, kPasswordBytes) + hexword(times);
}

QString logoblock(int block, const QByteArray &bytes)
{
    if (block < 0 || block >= kLogoBlocks || bytes.size() != kLogoBlockSize)
        return QString();
    return QStringLiteral("31") + QLatin1String("  ") + hexbyte(block) + spacedbytes(bytes);
}

QString writeprogrampart(unsigned int program, int part, const QByteArray &bytes)
{
    if (part < 0 || part >= kPartCount || bytes.size() != kPartSize)
        return QString();
    return QStringLiteral("42") + QLatin1String("  ") + hexbyte(program) + QLatin1String("  ") +
           hexbyte(part) + spacedbytes(bytes);
}

QString readprogrampart(unsigned int program, unsigned int part)
{
    return QStringLiteral("02") + hexbyte(program) + hexbyte(part);
}

QString readcurrentpart(unsigned int part)
{
    return QStringLiteral("02 00") + hexbyte(part);
}

QString recallprogram(unsigned int program)
{
    return QStringLiteral("01") + hexbyte(program);
}

QString saveprogram(unsigned int program, const QString &namehex)
{
    return QStringLiteral("15") + hexbyte(program) + fixedbytes(namehex, kProgramNameBytes);
}

QString readprogramname(unsigned int program)
{
    return QStringLiteral("01") + hexbyte(program);
}

QString deleteprogram(unsigned int program)
{
    return QStringLiteral("01") + hexbyte(program);
}

int bytecount(const QString &payload)
{
    return hextobytes(payload).size();
}

} // namespace payloads
