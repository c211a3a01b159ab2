#include "logopicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace
{
// The largest file worth reading: an uncompressed 32-bit BMP of the largest
// size taken, with room for its headers.
constexpr qint64 kMaxFileBytes = qint64(kLogoPictureMax) * kLogoPictureMax * 4 + (1 << 20);

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
// The closing chunk of every PNG: length 0, "IEND", its CRC.
const char kPngEnd[] = "\x00\x00\x00\x00IEND\xae\x42\x60\x82";

quint32 le(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int k = bytes - 1; k >= 0; --k)
        v = (v << 8) | quint8(b.at(at + k));
    return v;
}

// The kind of picture by its first bytes: "png", "jpeg", "bmp", or empty.
QByteArray kindof(const QByteArray &b)
{
    if (b.startsWith(QByteArray(kPngSignature, 8)))
        return QByteArrayLiteral("png");
    if (b.size() >= 3 && quint8(b[0]) == 0xFF && quint8(b[1]) == 0xD8 && quint8(b[2]) == 0xFF)
        return QByteArrayLiteral("jpeg");
    if (b.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return QByteArray();
}

bool pngcomplete(const QByteArray &b)
{
    return b.lastIndexOf(QByteArray(kPngEnd, 12)) >= 8;
}

// The segments are followed from the start of the file; a scan's coded data
// runs to the next marker that is neither a stuffed 0xFF nor a restart. The
// picture is complete when the end-of-image marker follows a scan.
bool jpegcomplete(const QByteArray &b)
{
    const int n = b.size();
    int pos = 2;
    bool scanned = false;
    while (pos + 1 < n) {
        if (quint8(b[pos]) != 0xFF)
            return false;
        const quint8 marker = quint8(b[pos + 1]);
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xD9)
            return scanned;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (pos + 3 >= n)
            return false;
        const int length = (quint8(b[pos + 2]) << 8) | quint8(b[pos + 3]);
        if (length < 2)
            return false;
        pos += 2 + length;
        if (marker != 0xDA)
            continue;
        scanned = true;
        for (;;) {
            pos = b.indexOf(char(0xFF), pos);
            if (pos < 0 || pos + 1 >= n)
                return false;
            const quint8 next = quint8(b[pos + 1]);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                pos += 2;
            else if (next == 0xFF)
                ++pos;
            else
                break; // a marker: the next segment
        }
    }
    return false;
}

// An uncompressed BMP must hold every row its header promises; the lengths
// of run-length coded rows cannot be told without decoding them.
bool bmpcomplete(const QByteArray &b)
{
    if (b.size() < 26)
        return false;
    const qint64 offset = le(b, 10, 4);
    const quint32 header = le(b, 14, 4);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = le(b, 18, 2);
        height = le(b, 20, 2);
        bits = le(b, 24, 2);
    } else {
        if (b.size() < 34)
            return false;
        width = qint32(le(b, 18, 4));
        height = qint32(le(b, 22, 4));
        bits = le(b, 28, 2);
        compression = le(b, 30, 4);
    }
    if (compression != 0 && compression != 3) // BI_RGB, BI_BITFIELDS
        return true;
    const qint64 stride = (qAbs(width) * bits + 31) / 32 * 4;
    return offset + stride * qAbs(height) <= b.size();
}

QImage refuse(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return QImage();
}

// A refusal's words in the language asked for.
QString words(bool chinese, const char *english, const char *chinesetext)
{
    return QString::fromUtf8(chinese ? chinesetext : english);
}

QImage decodelogopicture(const QByteArray &bytes, QString *reason, bool zh)
{
    if (bytes.isEmpty())
        return refuse(reason, words(zh, "the file is empty", "文件是空的"));
    const QByteArray kind = kindof(bytes);
    if (kind.isEmpty())
        return refuse(reason, words(zh, "not a BMP, JPEG or PNG picture", "不是 BMP、JPEG 或 PNG 图片"));
    QByteArray data(bytes); // shared, not copied: the buffer only reads it
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // Only the handler of the kind found is asked, never another one chosen
    // by content or by name.
    QImageReader reader(&buffer, kind);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return refuse(reason, words(zh, "the picture's size cannot be read", "无法读取图片的尺寸"));
    if (size.width() > kLogoPictureMax || size.height() > kLogoPictureMax)
        return refuse(reason, words(zh, "the picture is %1 x %2 pixels, more than %3 x %3",
                                    "图片为 %1 x %2 像素，超过 %3 x %3")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(kLogoPictureMax));
    const bool complete = kind == "png"    ? pngcomplete(bytes)
                          : kind == "jpeg" ? jpegcomplete(bytes)
                                           : bmpcomplete(bytes);
    if (!complete)
        return refuse(reason, words(zh, "the picture is incomplete", "图片不完整"));
    const QImage picture = reader.read();
    if (picture.isNull())
        return refuse(reason, reader.errorString());
    if (picture.size() != size)
        return refuse(reason, words(zh, "the picture is damaged", "图片已损坏"));
    return picture;
}
} // namespace

QImage readlogopicture(const QString &path, QString *reason, bool chinese)
{
    // Only a regular file is opened: a FIFO would wait for a writer.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return refuse(reason, words(chinese, "not a regular file", "不是普通文件"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(reason, file.errorString());
    const QString toolarge =
        words(chinese, "the file is too large for a logo picture", "文件太大，不能用作商标图片");
    if (file.size() > kMaxFileBytes)
        return refuse(reason, toolarge);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(reason, file.errorString());
    if (bytes.size() > kMaxFileBytes)
        return refuse(reason, toolarge);
    return decodelogopicture(bytes, reason, chinese);
}
