#pragma once

// The processor's side of the wire format.
//
// Command frame (PC to processor):
//   11 22 33, type, address, command, count n, n payload bytes, checksum, 44 55 66
// Reply frame (processor to PC):
//   44 55 66, type, address, command, count n, n data bytes, checksum, 11 22 33
// The checksum is the sum of the address, the command, the count and every
// payload byte, modulo 256, ANDed with 0x7F. The type byte is not summed.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace standin
{

constexpr int kCommandOverhead = 11; // markers, type, address, command, count, checksum

// (sum of bytes) mod 256 AND 0x7F.
quint8 checksum7(const QByteArray &bytes);

// A whole reply frame with the given data bytes (the count is data.size()).
QByteArray replyframe(quint8 type, quint8 address, quint8 command, const QByteArray &data);

// A whole command frame, as the application must send it; used by the tests and
// by the stand-in's own probe tool.
QByteArray commandframe(quint8 type, quint8 address, quint8 command, const QByteArray &payloadAfterCount);

// One command frame cut out of the byte stream.
struct ScannedFrame {
    QByteArray bytes; // the raw bytes as received
    bool ok = false;  // markers, count and checksum are right
    QString problem;  // why not, when !ok
    quint8 type = 0, address = 0, command = 0;
    QByteArray payload; // bytes after the count byte (valid when ok)
};

// Cuts command frames out of a byte stream that may arrive in pieces of any
// size. A frame is taken by its count byte; a frame whose end marker is not
// where the count puts it, or whose checksum is wrong, comes out as a bad frame.
// Bytes outside frames come out as bad "stray bytes" entries.
class FrameScanner
{
public:
    QVector<ScannedFrame> feed(const QByteArray &data);
    // Called when the line has been quiet for a while: whatever is pending is a
    // truncated frame.
    QVector<ScannedFrame> flush();
    bool pending() const { return !m_buffer.isEmpty(); }
    void clear() { m_buffer.clear(); }

private:
    QByteArray m_buffer;
};

} // namespace standin
