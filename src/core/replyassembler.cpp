#include "replyassembler.h"

#include <cstring>

namespace
{

const char startmarker[] = "\x44\x55\x66";
const char endmarker[] = "\x11\x22\x33";
const char boundary[] = "\x11\x22\x33\x44\x55\x66"; // one reply ends, the next begins

// Index of the n-byte pattern starting in data[from, limit), or -1; the
// pattern may run past limit but not past the data.
int findbytes(const QByteArray &data, const char *pattern, int n, int from, int limit)
{
    const char *p = data.constData();
    const int last = qMin(limit, data.size() - n + 1);
    for (int i = qMax(from, 0); i < last; ++i) {
        if (std::memcmp(p + i, pattern, size_t(n)) == 0)
            return i;
    }
    return -1;
}

// Index of a three-byte marker lying wholly in data[from, limit), or -1.
int findmarker(const QByteArray &data, const char *marker, int from, int limit)
{
    return findbytes(data, marker, 3, from, limit - 2);
}

} // namespace

int ReplyAssembler::minimumlength(unsigned char command)
{
    // Last byte each dispatcher slice reads, plus one, plus the end marker.
    switch (command) {
    case 0x02: // type .. data byte 13
        return 14 + 3;
    case 0x03: // type .. status byte 6
        return 7 + 3;
    case 0x10:
    case 0x12: // lock state, data byte 7
        return 8 + 3;
    case 0x56:
    case 0x57: // twelve bytes, 7 .. 18
        return 19 + 3;
    case 0x60: // bytes 7 .. 8
        return 9 + 3;
    case 0x61: // 66 bytes, 7 .. 72
        return 73 + 3;
    case 0x64: // 22 bytes, 7 .. 28
        return 29 + 3;
    default: // command code only (01 reads type and address)
        return shortestframe;
    }
}

void ReplyAssembler::clear()
{
    m_buffer.clear();
    m_lastms = -1;
}

QList<QByteArray> ReplyAssembler::feed(const QByteArray &chunk, qint64 nowms)
{
    QList<QByteArray> frames;
    if (nowms >= 0) {
        if (!m_buffer.isEmpty() && m_lastms >= 0 && nowms - m_lastms > stalems)
            m_buffer.clear();
        m_lastms = nowms;
    }
    if (chunk.isEmpty())
        return frames;
    // A chunk that itself begins with a start marker while an unfinished reply
    // is pending: the pending reply lost its tail (a processor answers after a
    // pause, so its reply begins a chunk); drop it rather than merge the two.
    if (m_buffer.size() >= 3 && m_buffer.startsWith(startmarker) && chunk.startsWith(startmarker))
        m_buffer.clear();
    m_buffer.append(chunk);

    const int size = m_buffer.size();
    int pos = 0; // first byte not yet consumed
    for (;;) {
        const int start = findmarker(m_buffer, startmarker, pos, size);
        if (start < 0) {
            // Keep a trailing 44 or 44 55: the marker may complete in the next chunk.
            pos = size;
            if (size >= 2 && m_buffer.at(size - 2) == startmarker[0] &&
                m_buffer.at(size - 1) == startmarker[1])
                pos = size - 2;
            else if (size >= 1 && m_buffer.at(size - 1) == startmarker[0])
                pos = size - 1;
            break;
        }
        pos = start;
        if (size - start < 6)
            break; // command code not here yet
        const int minlen = minimumlength(static_cast<unsigned char>(m_buffer.at(start + 5)));
        const int limit = qMin(size, start + maxframelength);
        const int end = findmarker(m_buffer, endmarker, start + minlen - 3, limit);
        if (end >= 0) {
            // An end marker right before a start marker, short of this reply's
            // minimum: the reply was too short to dispatch and the next one
            // follows it. Skip the short one instead of merging the two.
            const int inner = findbytes(m_buffer, boundary, 6, start + 3, end);
            if (inner >= 0) {
                pos = inner + 3;
                continue;
            }
            frames.append(m_buffer.mid(start, end + 3 - start));
            pos = end + 3;
            continue;
        }
        if (size - start < maxframelength)
            break; // wait for more
        // No end marker within the longest reply: drop this start and look again.
        pos = start + 1;
    }
    m_buffer.remove(0, pos);
    return frames;
}

QString replyslice(const QString &frame, int start, int length)
{
    if (start < 0 || length <= 0)
        return QString();
    int datalength = frame.size();
    if (frame.endsWith(QLatin1String("112233")))
        datalength -= 6;
    QString s = frame.mid(start, qMax(0, qMin(length, datalength - start)));
    if (s.size() < length)
        s.append(QString(length - s.size(), QLatin1Char('0')));
    return s;
}
