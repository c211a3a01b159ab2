#pragma once

// Reply frames from a processor, as bytes:
//   44 55 66, type, address, command, status, data..., 11 22 33
// Replies carry no length field, so a reply is delimited by its markers only.
// ReplyAssembler turns an arbitrary byte stream (serial chunks or network
// reads) back into whole reply frames:
// - bytes before a start marker are skipped;
// - every complete reply is returned on its own, however the stream is cut;
// - a reply ends at the first end marker that lies past the last byte the
//   dispatcher reads for its command code, so data bytes 11 22 33 inside that
//   area do not cut it short;
// - a partial reply longer than maxframelength, or one that has seen no new
//   byte for stalems milliseconds, is dropped, and the search for a start
//   marker goes on after its first byte;
// - a reply that ends (11 22 33 44 55 66) before its minimum length is too
//   short to dispatch: it is skipped, and the reply after it is kept whole;
// - a chunk that begins with a start marker while a reply is pending starts a
//   new reply: the pending one lost its tail and is dropped.
// The class knows nothing of ports or sockets and does no I/O.

#include <QByteArray>
#include <QList>
#include <QString>

class ReplyAssembler
{
public:
    // Longest reply kept while waiting for its end marker, in bytes.
    static constexpr int maxframelength = 1024;
    // A partial reply that receives nothing for this long is dropped.
    static constexpr qint64 stalems = 2000;
    // Shortest reply the stream can hold: markers, type, address and command.
    static constexpr int shortestframe = 9;

    // Smallest frame length (end marker included) for a reply with this command
    // code: the dispatcher's slices for the code lie entirely before the end marker.
    static int minimumlength(unsigned char command);

    // Feeds one chunk of the stream. nowms is a monotonic time stamp in
    // milliseconds used for the stale rule; a negative value disables it.
    // Returns the completed frames, oldest first (each starts with 44 55 66
    // and ends with 11 22 33).
    QList<QByteArray> feed(const QByteArray &chunk, qint64 nowms = -1);

    // Forgets everything pending (a new stream begins).
    void clear();

    // Bytes kept for the next chunk: a partial reply, or the start of a marker.
    const QByteArray &pending() const { return m_buffer; }

private:
    QByteArray m_buffer;
    qint64 m_lastms = -1;
};

// Slice of a reply frame in hex text, as the dispatcher reads it: length
// characters from start, taken from the frame without its end marker; what
// lies beyond the frame's data reads as '0' digits, so the slice always has
// exactly length characters and never reaches into the end marker.
QString replyslice(const QString &frame, int start, int length);
