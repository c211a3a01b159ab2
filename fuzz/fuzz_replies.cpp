// Fuzz target for reply reassembly and dispatch.
// Input: byte 0 seeds how the rest is cut into chunks (1..64 bytes each, or
// one chunk when it is 0); the rest is the byte stream from the port. The same
// bytes are also handed to the dispatcher as frame text, the way the network
// link hands it whole reads.
#include "ccomctrl.h"
#include "replyassembler.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace
{

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void checkframe(const QByteArray &f)
{
    check(f.size() <= ReplyAssembler::maxframelength);
    check(f.size() >= ReplyAssembler::shortestframe);
    check(f.startsWith(QByteArray::fromHex("445566")));
    check(f.endsWith(QByteArray::fromHex("112233")));
    check(f.size() >= ReplyAssembler::minimumlength(static_cast<unsigned char>(f.at(5))));
}

CComCtrl &engine()
{
    static CComCtrl *c = [] {
        auto *e = new CComCtrl;
        // Every slice has its full length, whatever the frame held.
        QObject::connect(e, &CComCtrl::connectok,
                         [](const QString &s) { check(s.size() == 22 || s.size() == 8); });
        QObject::connect(e, &CComCtrl::readlight, [](const QString &s) { check(s.size() == 24); });
        QObject::connect(e, &CComCtrl::muterevok, [](const QString &s) { check(s.size() == 24); });
        QObject::connect(e, &CComCtrl::readprogramname, [](const QString &s) { check(s.size() == 44); });
        QObject::connect(e, &CComCtrl::loadcurprogramdata, [](const QString &s) { check(s.size() == 132); });
        QObject::connect(e, &CComCtrl::writeok, [](const QString &s) { check(s.size() == 4); });
        return e;
    }();
    return *c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    uint32_t seed = data[0];

    ReplyAssembler assembler;
    CComCtrl &c = engine();
    int pos = 0;
    qint64 now = 0;
    while (pos < stream.size()) {
        int n = stream.size() - pos;
        if (seed != 0) {
            seed = seed * 1103515245u + 12345u;
            n = qMin(n, int((seed >> 16) % 64) + 1);
            now += (seed >> 8) % 700; // sometimes long enough to go stale
        }
        const QByteArray chunk = stream.mid(pos, n);
        pos += n;
        for (const QByteArray &f : assembler.feed(chunk, now))
            checkframe(f);
        check(assembler.pending().size() < ReplyAssembler::maxframelength);
        c.dataReceived(chunk);
        check(c.pendingreplybytes() < ReplyAssembler::maxframelength);
    }
    // Whole reads as text, as the network link dispatches them.
    c.dealwithframe(QString::fromLatin1(stream.toHex()));
    c.dealwithframe(QString::fromLatin1(stream));
    return 0;
}
