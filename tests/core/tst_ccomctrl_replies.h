#pragma once

// Well-formed replies used by the protocol tests, as the processors send them:
// 44 55 66, type, address, command, status, data, checksum, 11 22 33.

#include <QByteArray>

namespace replies
{

inline QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// find, type 18 at address 3
inline QByteArray find()
{
    return bytes("445566 18 03 01 00 04 112233");
}
// connect: status, then seven data bytes (lock 01, program 05, ...)
inline QByteArray connectreply()
{
    return bytes("445566 18 01 02 00 01 05 00 00 00 00 00 09 112233");
}
inline QByteArray disconnectreply()
{
    return bytes("445566 18 01 03 00 04 112233");
}
// twelve meter levels
inline QByteArray meters()
{
    return bytes("445566 18 01 56 0c 10 20 30 40 50 60 70 80 90 a0 b0 c0 5b 112233");
}
inline QByteArray mutes()
{
    return bytes("445566 18 01 57 0c 01 00 01 00 00 00 00 00 00 00 00 01 5a 112233");
}
inline QByteArray gainack()
{
    return bytes("445566 18 01 50 00 51 112233");
}
inline QByteArray lockon()
{
    return bytes("445566 18 01 10 00 01 12 112233");
}
inline QByteArray projectlock81()
{
    return bytes("445566 18 01 12 00 81 14 112233");
}
inline QByteArray writeack()
{
    return bytes("445566 18 01 60 02 00 07 68 112233");
}
inline QByteArray recallack()
{
    return bytes("445566 18 01 62 00 63 112233");
}
inline QByteArray copyack()
{
    return bytes("445566 18 01 55 00 56 112233");
}
inline QByteArray logoack()
{
    return bytes("445566 18 01 13 00 14 112233");
}
// program name record: program 05, then "Program five" padded with blanks
inline QByteArray name()
{
    return bytes("445566 18 01 64 16 05 00 50726f6772616d2066697665 2020202020202020 55 112233");
}

// program data packet: program 00, packet index, 64 image bytes holding 11 22 33
// at image offsets 0..2 and 61..63 (frame bytes 9..11 and 70..72)
inline QByteArray programdata(unsigned char packet)
{
    QByteArray image;
    for (int i = 0; i < 64; ++i)
        image.append(char((i * 7 + 3) & 0xff));
    image.replace(0, 3, bytes("112233"));
    image.replace(61, 3, bytes("112233"));
    QByteArray f = bytes("445566 18 01 61 42 00");
    f.append(char(packet));
    f.append(image);
    f.append(char(0x2a));
    f.append(bytes("112233"));
    return f;
}

// A reply as the stand-in lays it out: count, data, 7-bit checksum.
inline QByteArray reply(unsigned char code, const QByteArray &data)
{
    QByteArray f = bytes("445566 18 01");
    f.append(char(code));
    f.append(char(data.size()));
    f.append(data);
    int sum = 0x01 + code + data.size();
    for (char c : data)
        sum += static_cast<unsigned char>(c);
    f.append(char(sum & 0x7f));
    f.append(bytes("112233"));
    return f;
}

// Replies whose data holds the markers: a boundary 11 22 33 44 55 66, and a
// whole disconnect reply (44 55 66 18 01 03 00 04 11 22 33) inside the data.
inline QByteArray namewithframe()
{
    QByteArray n = bytes("112233") + disconnectreply();
    return reply(0x64, bytes("07 01") + n.leftJustified(20, ' '));
}
inline QByteArray programwithmarkers()
{
    QByteArray image(64, char(0x5a));
    image.replace(0, 6, bytes("112233445566"));
    image.replace(20, 11, disconnectreply());
    image.replace(40, 3, bytes("445566"));
    image.replace(58, 6, bytes("112233445566"));
    return reply(0x61, bytes("00 03") + image);
}
inline QByteArray meterswithmarkers()
{
    return reply(0x56, bytes("445566 112233 445566 112233"));
}
inline QByteArray connectwithmarkers()
{
    return bytes("445566 18 01 02 00 11 22 33 44 55 66 01 2a 112233");
}

} // namespace replies
