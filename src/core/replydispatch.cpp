#include "replydispatch.h"

#include "hextext.h"
#include "replyassembler.h"

ReplySink::~ReplySink() = default;

bool ReplySink::fromcurrentunit(unsigned char, unsigned char) const
{
    return true;
}

QString Reply::slice(int start, int length) const
{
    return replyslice(text, start, length);
}

unsigned char Reply::byte(int k) const
{
    const QByteArray b = hextobytes(slice(2 * k, 2));
    return b.isEmpty() ? 0 : static_cast<unsigned char>(b.at(0));
}

bool decodereply(const QString &f, Reply &reply)
{
    // Markers and a command code: the shortest frame there is.
    if (f.size() < 2 * ReplyAssembler::shortestframe || !f.startsWith(QLatin1String("445566")) ||
        !f.endsWith(QLatin1String("112233")))
        return false;
    Reply r;
    r.text = f.toLower();
    r.type = r.byte(3);
    r.address = r.byte(4);
    r.code = r.byte(5);
    reply = r;
    return true;
}

bool decodereply(const QByteArray &frame, Reply &reply)
{
    return decodereply(bytestohex(frame), reply);
}

void dispatchreply(const Reply &r, ReplySink &sink)
{
    if (r.code != 0x01 && !sink.fromcurrentunit(r.type, r.address)) {
        // Exchanges waiting for a reply check its unit themselves.
        sink.replyseen(r);
        return;
    }
    switch (r.code) {
    case 0x01:
        sink.replyfind(r.type, r.address);
        break;
    case 0x02:
        sink.replyconnect(r.slice(6, 22));
        break;
    case 0x03:
        sink.replyconnect(r.slice(6, 8));
        break;
    case 0x56:
        sink.replymeters(r.slice(14, 24));
        break;
    case 0x57:
        sink.replymutes(r.slice(14, 24));
        break;
    case 0x50:
        sink.replygain();
        break;
    case 0x64:
        sink.replyprogramname(r.slice(14, 44));
        sink.replynameack();
        break;
    case 0x61: {
        const QString s = r.slice(14, 132);
        if (s.mid(2, 2) == QLatin1String("00"))
            sink.replyready();
        sink.replyprogramdata(s);
        sink.replyreadack();
        break;
    }
    case 0x60:
        sink.replywrite(r.slice(14, 4));
        sink.replywriteack();
        break;
    case 0x62:
    case 0x65:
    case 0x66:
        sink.replyready();
        break;
    case 0x63:
    case 0x54:
    case 0x55:
        sink.replycopy();
        break;
    case 0x10:
    case 0x12:
        sink.replyready();
        sink.replylock(r.slice(14, 2) == QLatin1String("01"));
        break;
    case 0x13:
        sink.replylogo();
        break;
    default: // 20, 21, 22, 30, 51 and every other code: no effect
        break;
    }
    sink.replyseen(r);
}
