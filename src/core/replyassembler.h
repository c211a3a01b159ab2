#pragma once

// Reply frames from a processor, as bytes:
//   44 55 66, type, address, command, count, data..., checksum, 11 22 33
// The engine reads no length field, so a reply is delimited by its markers and
// by what is known of its command code. ReplyAssembler turns an arbitrary byte
// stream (serial chunks or network reads) back into whole reply frames:
// - bytes before a start marker are skipped;
// - every complete reply is returned on its own, however the stream is cut;
// - a reply whose code carries data the dispatch reads (connect, lock, meters,
//   mutes, program names, program parts, write acknowledgements) has a fixed
//   length: it is complete exactly at that length (with or without its
//   checksum byte), and marker bytes inside it are data. When its end marker
//   is not where the length puts it, the start was not a reply: it is dropped
//   and the search for a start marker goes on after its first byte;
// - any other reply ends at the first end marker at or past its shortest
//   length; a start marker before that end means the pending reply lost its
//   tail, and the new one is taken instead;
// - a partial reply longer than maxframelength is dropped the same way;
// - a fixed-length reply still short of its length whose bytes, behind its
//   start, hold a whole reply is a cut-off fragment once the stream has been
//   quiet for gapms milliseconds: it is dropped and the reply behind it taken.
//   (At once would be wrong: a reply whose data hold a whole reply may be cut
//   by the transport right behind it.) The caller feeds an empty chunk after
//   recheckms() so that this happens without new bytes;
// - after a silence of stalems milliseconds every partial reply is dead: the
//   whole replies that wait behind cut-off fragments are taken, the rest dropped.
// Work is linear in the input: each byte is looked at a bounded number of
// times, whatever the stream holds. The class knows nothing of ports or
// sockets and does no I/O.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

class ReplyAssembler
{
public:
    // Longest reply kept while waiting for its end marker, in bytes.
    static constexpr int maxframelength = 1024;
    // A partial reply that receives nothing for this long is dropped.
    static constexpr qint64 stalems = 2000;
    // Silence after which a fixed-length reply that holds a whole reply behind
    // its start is taken for a cut-off fragment. Bytes of one reply follow
    // each other closely on every line speed and on the network.
    static constexpr qint64 gapms = 100;
    // Shortest reply the stream can hold: markers, type, address and command.
    static constexpr int shortestframe = 9;

    // Smallest frame length (end marker included) for a reply with this command
    // code: the dispatcher's slices for the code lie entirely before the end marker.
    static int minimumlength(unsigned char command);
    // True for the codes whose replies have a fixed length: minimumlength
    // without a checksum byte, or one more with it.
    static bool fixedlength(unsigned char command);

    // Feeds one chunk of the stream. nowms is a monotonic time stamp in
    // milliseconds used for the stale rule; a negative value disables it.
    // Returns the completed frames, oldest first (each starts with 44 55 66
    // and ends with 11 22 33).
    QList<QByteArray> feed(const QByteArray &chunk, qint64 nowms = -1);

    // Forgets everything pending (a new stream begins).
    void clear();

    // When a cut-off fragment holds a whole reply back: milliseconds from
    // nowms after which an empty feed() takes that reply (0: now); -1 when
    // nothing waits for the silence.
    qint64 recheckms(qint64 nowms) const;

    // Bytes kept for the next chunk: a partial reply, or the start of a marker.
    const QByteArray &pending() const { return m_buffer; }

private:
    // Outcome of looking at the reply that starts at start marker si; ei is
    // the end-marker cursor of this pass.
    enum class Step { Frame, Drop, Wait };
    // Normal: a pending reply waits for its bytes. Quiet: the stream has been
    // silent for gapms, a fragment holding a whole reply that was pending
    // before the silence (m_quietbefore) and that the new bytes do not
    // complete is dropped. Flush:
    // the stream has been silent for stalems, nothing pending waits.
    enum class Mode { Normal, Quiet, Flush };
    Step examine(int si, int &ei, int &end, Mode mode);
    // Whether the reply at start marker sj is whole in the buffer as it is.
    bool wholeat(int sj) const;
    // One pass over the buffer: the whole replies are appended to frames,
    // what is consumed is removed.
    void scan(QList<QByteArray> &frames, Mode mode);

    QByteArray m_buffer;
    QVector<int> m_starts; // positions of start markers in m_buffer, ascending
    QVector<int> m_ends;   // positions of end markers in m_buffer, ascending
    qint64 m_lastms = -1;  // when the last non-empty chunk came
    bool m_fragment = false; // the pending reply is a fragment suspect (recheckms)
    int m_quietbefore = 0;   // Quiet: only starts before this were followed by the silence
};

// Slice of a reply frame in hex text, as the dispatcher reads it: length
// characters from start, taken from the frame without its end marker; what
// lies beyond the frame's data reads as '0' digits, so the slice always has
// exactly length characters and never reaches into the end marker.
QString replyslice(const QString &frame, int start, int length);
