// Feeds arbitrary reply data to the parameter model's reply parsers and the
// image decoder: nothing may read or write outside the record's buffers.
#include "devicedata.h"
#include "programimage.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    // Replies reach the parsers as hex text; also try the raw bytes as text,
    // which covers odd lengths, blanks and non-hex characters.
    const QString hex = QString::fromLatin1(bytes.toHex());
    const QString raw = QString::fromLatin1(bytes);
    auto d = std::make_unique<DeviceData>();
    for (const QString &text : {hex, raw}) {
        d->storepacket(text);
        d->setwriteack(text);
        d->setnamerecord(text);
        d->setmutesfromhex(text);
    }
    // Any 1664 bytes may arrive as an image: unpack, pack, unpack again.
    for (int k = 0; k < kProgramImageSize && k < bytes.size(); ++k)
        d->setcurimagebyte(k, quint8(bytes.at(k)));
    d->unpackprogram();
    d->packprogram();
    return 0;
}
