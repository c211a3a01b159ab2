#include "replyassembler.h"

#include <cstring>

#include <algorithm>

namespace
{

const char startmarker[] = "\x44\x55\x66";
const char endmarker[] = "\x11\x22\x33";

bool markerat(const QByteArray &data, int at, const char *marker)
{
    return at >= 0 && at + 3 <= data.size() && std::memcmp(data.constData() + at, marker, 3) == 0;
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

bool ReplyAssembler::fixedlength(unsigned char command)
{
    return minimumlength(command) > shortestframe;
}

void ReplyAssembler::clear()
{
    m_buffer.clear();
    m_starts.clear();
    m_ends.clear();
    m_lastms = -1;
    m_fragment = false;
}

qint64 ReplyAssembler::recheckms(qint64 nowms) const
{
    if (!m_fragment || m_lastms < 0 || nowms < 0)
        return -1;
    return qMax<qint64>(0, gapms + 1 - (nowms - m_lastms));
}

bool ReplyAssembler::wholeat(int sj) const
{
    const int start = m_starts.at(sj);
    const int size = m_buffer.size();
    if (size - start < 6)
        return false;
    const unsigned char code = static_cast<unsigned char>(m_buffer.at(start + 5));
    const int minlen = minimumlength(code);
    if (fixedlength(code))
        return markerat(m_buffer, start + minlen - 3, endmarker) ||
               (size - start >= minlen + 1 && markerat(m_buffer, start + minlen - 2, endmarker));
    const auto e = std::lower_bound(m_ends.begin(), m_ends.end(), start + minlen - 3);
    if (e == m_ends.end() || *e + 3 - start > maxframelength)
        return false;
    // A start marker before the end would take the end for itself.
    return sj + 1 >= m_starts.size() || m_starts.at(sj + 1) > *e;
}

ReplyAssembler::Step ReplyAssembler::examine(int si, int &ei, int &end, Mode mode)
{
    const int start = m_starts.at(si);
    const int size = m_buffer.size();
    if (size - start < 6)
        return mode == Mode::Flush ? Step::Drop : Step::Wait; // command code not here yet
    const unsigned char code = static_cast<unsigned char>(m_buffer.at(start + 5));
    const int minlen = minimumlength(code);
    if (fixedlength(code)) {
        // Exactly minlen bytes, or one more for a checksum byte. A checksum
        // (0..0x7F) followed by the end marker can never itself look like the
        // end marker one byte earlier, so the two lengths do not compete.
        if (markerat(m_buffer, start + minlen - 3, endmarker)) {
            end = start + minlen - 3;
            return Step::Frame;
        }
        if (size - start < minlen + 1) {
            if (mode == Mode::Flush)
                return Step::Drop;
            // Every later start marker lies within this reply's length: the
            // few of them are looked at once per chunk.
            bool holdsreply = false;
            for (int sj = si + 1; sj < m_starts.size() && !holdsreply; ++sj)
                holdsreply = wholeat(sj);
            // Only a reply that was pending before the silence is cut off:
            // one that came after it may still get its tail.
            if (holdsreply && mode == Mode::Quiet && start < m_quietbefore)
                return Step::Drop;
            m_fragment = holdsreply;
            return Step::Wait;
        }
        if (markerat(m_buffer, start + minlen - 2, endmarker)) {
            end = start + minlen - 2;
            return Step::Frame;
        }
        return Step::Drop;
    }
    // The first end marker at or past the shortest length, unless another
    // start marker comes first: then this reply lost its tail.
    // Every variable-length reply ends its search at the same distance from
    // its start, and starts only grow: the end cursor only moves forward.
    const int from = start + minlen - 3;
    while (ei < m_ends.size() && m_ends.at(ei) < from)
        ++ei;
    const bool haveend = ei < m_ends.size() && m_ends.at(ei) + 3 - start <= maxframelength;
    const bool nextstart = si + 1 < m_starts.size();
    if (nextstart && (!haveend || m_starts.at(si + 1) < m_ends.at(ei)))
        return Step::Drop;
    if (haveend) {
        end = m_ends.at(ei);
        return Step::Frame;
    }
    if (size - start >= maxframelength || mode == Mode::Flush)
        return Step::Drop;
    return Step::Wait;
}

void ReplyAssembler::scan(QList<QByteArray> &frames, Mode mode)
{
    m_fragment = false;
    const int size = m_buffer.size();
    int pos = 0; // first byte not yet consumed
    int si = 0;  // first start marker at or past pos
    int ei = 0;  // end cursor of the variable-length search
    bool waiting = false;
    while (si < m_starts.size()) {
        const int start = m_starts.at(si);
        int end = -1;
        const Step step = examine(si, ei, end, mode);
        if (step == Step::Wait) {
            pos = start;
            waiting = true;
            break;
        }
        if (step == Step::Frame) {
            frames.append(m_buffer.mid(start, end + 3 - start));
            pos = end + 3;
            while (si < m_starts.size() && m_starts.at(si) < pos)
                ++si;
        } else {
            pos = start + 1;
            ++si;
        }
    }
    if (!waiting) {
        // Keep a trailing 44 or 44 55: the marker may complete in the next
        // chunk (not after a long silence: then it is dead too).
        int keep = size;
        if (mode != Mode::Flush && size >= 2 && m_buffer.at(size - 2) == startmarker[0] &&
            m_buffer.at(size - 1) == startmarker[1])
            keep = size - 2;
        else if (mode != Mode::Flush && size >= 1 && m_buffer.at(size - 1) == startmarker[0])
            keep = size - 1;
        pos = qMax(pos, keep);
    }

    m_buffer.remove(0, pos);
    const auto shift = [pos](QVector<int> &list) {
        const auto first = std::lower_bound(list.begin(), list.end(), pos);
        list.erase(list.begin(), first);
        for (int &v : list)
            v -= pos;
    };
    shift(m_starts);
    shift(m_ends);
}

QList<QByteArray> ReplyAssembler::feed(const QByteArray &chunk, qint64 nowms)
{
    QList<QByteArray> frames;
    bool quiet = false;
    if (nowms >= 0 && !m_buffer.isEmpty() && m_lastms >= 0) {
        const qint64 silence = nowms - m_lastms;
        if (silence > stalems) {
            // Whatever waits from before a long silence is dead; only whole
            // replies behind cut-off fragments are still taken.
            scan(frames, Mode::Flush);
        } else {
            quiet = silence > gapms && m_fragment;
        }
    }
    if (chunk.isEmpty()) {
        if (quiet) {
            m_quietbefore = m_buffer.size();
            scan(frames, Mode::Quiet);
        }
        return frames;
    }
    if (nowms >= 0)
        m_lastms = nowms;

    // Record the markers that the new bytes complete; the two bytes before
    // the chunk may begin one.
    const int oldsize = m_buffer.size();
    m_buffer.append(chunk);
    const int size = m_buffer.size();
    for (int i = qMax(0, oldsize - 2); i + 3 <= size; ++i) {
        if (markerat(m_buffer, i, startmarker))
            m_starts.append(i);
        else if (markerat(m_buffer, i, endmarker))
            m_ends.append(i);
    }
    // A fragment suspect that the new bytes do not complete was followed by
    // the silence: it is cut off.
    m_quietbefore = oldsize;
    scan(frames, quiet ? Mode::Quiet : Mode::Normal);
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
