#include "commandframe.h"

#include "hextext.h"

QString hexbyte(unsigned char value)
{
    return QStringLiteral("%1").arg(uint(value), 2, 16, QLatin1Char('0'));
}

QString commandchecksum(const QString &body)
{
    unsigned sum = 0;
    const QByteArray bytes = hextobytes(body);
    for (char b : bytes)
        sum = (sum + static_cast<unsigned char>(b)) & 0xFFu;
    return hexbyte(static_cast<unsigned char>(sum & 0x7Fu));
}

QString buildcommandframe(unsigned char type, unsigned char address, unsigned char command,
                          const QString &payload)
{
    const QString body = hexbyte(address) + hexbyte(command) + payload;
    return QStringLiteral("112233") + hexbyte(type) + body + commandchecksum(body) + QStringLiteral("445566");
}
