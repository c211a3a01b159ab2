#include "standinframe.h"

namespace standin
{

namespace
{
const QByteArray kStart("\x11\x22\x33", 3);
const QByteArray kEnd("\x44\x55\x66", 3);
constexpr int kMaxFrame = 255 + kCommandOverhead;

ScannedFrame bad(const QByteArray &bytes, const QString &problem)
{
    ScannedFrame f;
    f.bytes = bytes;
    f.problem = problem;
    if (bytes.size() > 5 && bytes.startsWith(kStart)) {
        f.type = quint8(bytes[3]);
        f.address = quint8(bytes[4]);
        f.command = quint8(bytes[5]);
    }
    return f;
}
} // namespace

quint8 checksum7(const QByteArray &bytes)
{
    unsigned sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    return quint8((sum & 0xFF) & 0x7F);
}

namespace
{
// Both directions share one layout: marker, type, address, command, count,
// data, checksum, marker; only the markers swap.
QByteArray frame(const QByteArray &open, const QByteArray &close, quint8 type, quint8 address, quint8 command,
                 const QByteArray &data)
{
    QByteArray body;
    body.append(char(address));
    body.append(char(command));
    body.append(char(quint8(data.size())));
    body.append(data);
    QByteArray f = open;
    f.append(char(type));
    f.append(body);
    f.append(char(checksum7(body)));
    f.append(close);
    return f;
}
} // namespace

QByteArray replyframe(quint8 type, quint8 address, quint8 command, const QByteArray &data)
{
    return frame(kEnd, kStart, type, address, command, data);
}

QByteArray commandframe(quint8 type, quint8 address, quint8 command, const QByteArray &payloadAfterCount)
{
    return frame(kStart, kEnd, type, address, command, payloadAfterCount);
}

QVector<ScannedFrame> FrameScanner::feed(const QByteArray &data)
{
    m_buffer.append(data);
    QVector<ScannedFrame> out;
    for (;;) {
        const int start = m_buffer.indexOf(kStart);
        if (start < 0) {
            // Keep a possible beginning of a start marker.
            int keep = 0;
            if (m_buffer.endsWith(QByteArray("\x11\x22", 2)))
                keep = 2;
            else if (m_buffer.endsWith('\x11'))
                keep = 1;
            if (m_buffer.size() > keep)
                out.append(bad(m_buffer.left(m_buffer.size() - keep), QStringLiteral("stray bytes")));
            m_buffer = m_buffer.right(keep);
            return out;
        }
        if (start > 0) {
            out.append(bad(m_buffer.left(start), QStringLiteral("stray bytes")));
            m_buffer.remove(0, start);
        }
        if (m_buffer.size() < 7)
            return out;
        const int n = quint8(m_buffer[6]);
        const int total = n + kCommandOverhead;
        if (m_buffer.size() < total)
            return out;
        if (m_buffer.mid(total - 3, 3) != kEnd) {
            // The count does not match the frame: the frame ends at the first end
            // marker after its header (or, failing that, where the count says).
            const int end = m_buffer.indexOf(kEnd, 7);
            int cut = total;
            if (end >= 0)
                cut = end + 3;
            else if (m_buffer.size() < kMaxFrame)
                return out; // wait for the end marker to come
            out.append(bad(m_buffer.left(cut), QStringLiteral("count byte does not match the end marker")));
            m_buffer.remove(0, cut);
            continue;
        }
        const QByteArray frame = m_buffer.left(total);
        m_buffer.remove(0, total);
        const quint8 expected = checksum7(frame.mid(4, 3 + n));
        if (quint8(frame[total - 4]) != expected) {
            out.append(bad(frame, QStringLiteral("bad checksum %1, expected %2")
                                      .arg(quint8(frame[total - 4]), 2, 16, QLatin1Char('0'))
                                      .arg(expected, 2, 16, QLatin1Char('0'))));
            continue;
        }
        ScannedFrame f;
        f.bytes = frame;
        f.ok = true;
        f.type = quint8(frame[3]);
        f.address = quint8(frame[4]);
        f.command = quint8(frame[5]);
        f.payload = frame.mid(7, n);
        out.append(f);
    }
}

QVector<ScannedFrame> FrameScanner::flush()
{
    QVector<ScannedFrame> out;
    if (!m_buffer.isEmpty()) {
        out.append(bad(m_buffer, m_buffer.startsWith(kStart) ? QStringLiteral("incomplete frame")
                                                             : QStringLiteral("stray bytes")));
        m_buffer.clear();
    }
    return out;
}

} // namespace standin
