#include "programfile.h"

#include "devicedata.h"
#include "programimage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{

void seterror(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString displayname(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

QString programfilesuffix(int devicetype)
{
    switch (devicetype) {
    case 24:
        return QStringLiteral(".K91");
    case 22:
        return QStringLiteral(".K72");
    case 20:
        return QStringLiteral(".K53");
    default:
        return QString();
    }
}

QString programfilefilter(int devicetype)
{
    const QString suffix = programfilesuffix(devicetype);
    if (suffix.isEmpty())
        return QString();
    return QStringLiteral("Program File (*%1)").arg(suffix);
}

ProgramFileStatus readprogramfile(const QString &path, QByteArray &image, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        seterror(error,
                 QStringLiteral("Cannot read file %1: %2.").arg(displayname(path), file.errorString()));
        return ProgramFileStatus::CannotOpen;
    }
    return readprogramimage(file, displayname(path), image, error);
}

ProgramFileStatus readprogramimage(QIODevice &file, const QString &name, QByteArray &image, QString *error)
{
    // A program file is exactly one image; anything else (a collection, a
    // truncated or padded file, a device) is refused before reading.
    const qint64 size = file.size();
    if (size != kProgramImageSize || file.isSequential()) {
        seterror(error, QStringLiteral("Cannot read file %1: a program file holds exactly %2 bytes, "
                                       "this file holds %3.")
                            .arg(name)
                            .arg(kProgramImageSize)
                            .arg(size));
        return ProgramFileStatus::WrongSize;
    }
    // Read one byte more than expected, so a file that grew after the size
    // test is caught as well.
    const QByteArray bytes = file.read(kProgramImageSize + 1);
    if (bytes.size() != kProgramImageSize) {
        seterror(error, QStringLiteral("Cannot read file %1: %2.")
                            .arg(name, bytes.size() > kProgramImageSize
                                           ? QStringLiteral("the file changed while it was read")
                                           : file.errorString()));
        return bytes.size() > kProgramImageSize ? ProgramFileStatus::WrongSize
                                                : ProgramFileStatus::ReadFailed;
    }
    image = bytes;
    return ProgramFileStatus::Ok;
}

ProgramFileStatus writeprogramfile(const QString &path, const QByteArray &image, QString *error)
{
    if (image.size() != kProgramImageSize) {
        seterror(error, QStringLiteral("Cannot write file %1: a program image holds exactly %2 bytes, "
                                       "not %3.")
                            .arg(displayname(path))
                            .arg(kProgramImageSize)
                            .arg(image.size()));
        return ProgramFileStatus::WrongSize;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        seterror(error,
                 QStringLiteral("Cannot write file %1: %2.").arg(displayname(path), file.errorString()));
        return ProgramFileStatus::CannotOpen;
    }
    // commit() alone misses a buffered write that fails when it is flushed.
    if (file.write(image) != image.size() || !file.flush() || !file.commit()) {
        seterror(error,
                 QStringLiteral("Cannot write file %1: %2.").arg(displayname(path), file.errorString()));
        file.cancelWriting();
        return ProgramFileStatus::WriteFailed;
    }
    return ProgramFileStatus::Ok;
}

ProgramFileStatus loadprogramfile(const QString &path, DeviceData &device, QString *error)
{
    QByteArray image;
    const ProgramFileStatus status = readprogramfile(path, image, error);
    if (status != ProgramFileStatus::Ok)
        return status;
    for (int k = 0; k < kProgramImageSize; ++k)
        device.setcurimagebyte(k, static_cast<quint8>(image.at(k)));
    device.unpackprogram();
    return ProgramFileStatus::Ok;
}

ProgramFileStatus saveprogramfile(const QString &path, DeviceData &device, QString *error)
{
    device.packprogram();
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = static_cast<char>(device.getwriteimagebyte(k));
    return writeprogramfile(path, image, error);
}
