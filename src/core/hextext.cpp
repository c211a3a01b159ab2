#include "hextext.h"

int hexdigitvalue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

void bytestohex(const QByteArray &bytes, QString &text)
{
    static const char digits[] = "0123456789abcdef";
    text.reserve(text.size() + 2 * bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        text.append(QLatin1Char(digits[b >> 4]));
        text.append(QLatin1Char(digits[b & 0x0F]));
    }
}

QString bytestohex(const QByteArray &bytes)
{
    QString text;
    bytestohex(bytes, text);
    return text;
}

void hextobytes(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    bytes.reserve(text.size() / 2);
    const int n = text.size();
    int i = 0;
    while (i < n) {
        if (text.at(i) == QLatin1Char(' ')) {
            ++i;
            continue;
        }
        if (i + 1 >= n)
            break; // a last lone digit is dropped
        const int v = 16 * hexdigitvalue(text.at(i)) + hexdigitvalue(text.at(i + 1));
        bytes.append(static_cast<char>(static_cast<unsigned>(v) & 0xFFu));
        i += 2;
    }
}

QByteArray hextobytes(const QString &text)
{
    QByteArray bytes;
    hextobytes(text, bytes);
    return bytes;
}
