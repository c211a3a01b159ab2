#pragma once

// The one reading of a processor's reply frames, for the serial line and the
// network alike: a whole frame (44 55 66 ... 11 22 33, as ReplyAssembler cuts
// it) is decoded into its code, unit type and address, and dispatched by its
// code to a ReplySink. The serial engine and the network link each implement
// the sink with their own effects; the table of which code does what lives
// here once.

#include <QByteArray>
#include <QMetaType>
#include <QString>

struct Reply {
    unsigned char type = 0;
    unsigned char address = 0;
    unsigned char code = 0;
    QString text; // the whole frame as lower-case hex, markers included

    // length characters of the frame text from start, as the dispatch reads
    // them; bytes past the frame's data read as '0' digits.
    QString slice(int start, int length) const;
    // Frame byte k (0 past the data): byte 7 is the first data byte.
    unsigned char byte(int k) const;
};
Q_DECLARE_METATYPE(Reply)

// Decodes one whole frame. False (reply untouched) when it does not begin with
// the start marker, end with the end marker, or hold a command code.
bool decodereply(const QByteArray &frame, Reply &reply);
// The same for a frame given as hex text.
bool decodereply(const QString &frametext, Reply &reply);

// What the replies mean to the application. Each member is one effect; a code
// may have several, made in the order dispatchreply calls them.
class ReplySink
{
public:
    virtual ~ReplySink();
    virtual void replyfind(unsigned char type, unsigned char address) = 0; // 01
    virtual void replyconnect(const QString &data) = 0;                    // 02, 03
    virtual void replymeters(const QString &levels) = 0;                   // 56
    virtual void replymutes(const QString &mutes) = 0;                     // 57
    virtual void replygain() = 0;                                          // 50
    virtual void replyprogramname(const QString &record) = 0;              // 64
    virtual void replynameack() = 0;                                       // 64, after the record
    virtual void replyready() = 0;                       // 61 part 0, 62, 65, 66, 10, 12
    virtual void replyprogramdata(const QString &part) = 0; // 61
    virtual void replyreadack() = 0;                        // 61, after the data
    virtual void replywrite(const QString &data) = 0;       // 60
    virtual void replywriteack() = 0;                       // 60, after replywrite
    virtual void replycopy() = 0;                           // 63, 54, 55
    virtual void replylock(bool ok) = 0;                    // 10, 12, after replyready
    virtual void replylogo() = 0;                           // 13
    // Whether a reply of this unit has the effects above. Only the find
    // reply's (a search hears every unit) and replyseen's come from any unit:
    // the rest describe the unit the application talks to, and a reply of
    // another processor on the same line must not set its state or flags.
    // Every unit by default.
    virtual bool fromcurrentunit(unsigned char type, unsigned char address) const;
    // Every decoded reply, after the effects above: exchanges that wait for
    // the reply to their own command watch this.
    virtual void replyseen(const Reply &reply) = 0;
};

// Calls the sink's members for one reply, by its code (the find reply's and
// replyseen for every unit, the others for the sink's current unit alone).
void dispatchreply(const Reply &reply, ReplySink &sink);
