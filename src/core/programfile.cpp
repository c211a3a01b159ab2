#include "programfile.h"

#include "devicedata.h"
#include "programimage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

namespace
{

void seterror(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The message for a file and its cause, both handed out.
void setfailure(QString *error, QString *reason, const char *pattern, const QString &path,
                const QString &cause)
{
    seterror(error, QString::fromLatin1(pattern).arg(QFileInfo(path).fileName(), cause));
    seterror(reason, cause);
}

// Opens a program file for reading only when it is a regular file. The
// check is made on the opened descriptor (opened without waiting), so a
// path swapped for a FIFO between a check and the open is refused as well.
bool openregular(QFile &file, QString &cause)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        cause = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        cause = QStringLiteral("not a regular file");
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        cause = file.errorString();
        return false;
    }
    return true;
#else
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        cause = QStringLiteral("not a regular file");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        cause = file.errorString();
        return false;
    }
    return true;
#endif
}

// Reads exactly `size` bytes from an open device, or nothing.
ProgramFileStatus readimagedevice(QIODevice &file, const QString &path, int size, const char *what,
                                  QByteArray &image, QString *error, QString *reason)
{
    // The file is exactly its images; anything else (the other kind, a
    // truncated or padded file) is refused before reading.
    const qint64 have = file.size();
    if (have != size || file.isSequential()) {
        setfailure(error, reason, "Cannot read file %1: %2.", path,
                   QStringLiteral("a %1 holds exactly %2 bytes, this file holds %3")
                       .arg(QLatin1String(what))
                       .arg(size)
                       .arg(have));
        return ProgramFileStatus::WrongSize;
    }
    // Read one byte more than expected, so a file that grew after the size
    // test is caught as well.
    const QByteArray bytes = file.read(size + 1);
    if (bytes.size() != size) {
        const bool grew = bytes.size() > size;
        setfailure(error, reason, "Cannot read file %1: %2.", path,
                   grew ? QStringLiteral("the file changed while it was read") : file.errorString());
        return grew ? ProgramFileStatus::WrongSize : ProgramFileStatus::ReadFailed;
    }
    image = bytes;
    return ProgramFileStatus::Ok;
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

namespace
{
// One file of `size` bytes, read whole or not at all.
ProgramFileStatus readsized(const QString &path, int size, const char *what, QByteArray &image,
                            QString *error, QString *reason)
{
    QFile file(path);
    QString cause;
    if (!openregular(file, cause)) {
        setfailure(error, reason, "Cannot read file %1: %2.", path, cause);
        return ProgramFileStatus::CannotOpen;
    }
    return readimagedevice(file, path, size, what, image, error, reason);
}

ProgramFileStatus writesized(const QString &path, int size, const char *what, const QByteArray &image,
                             QString *error, QString *reason)
{
    if (image.size() != size) {
        setfailure(error, reason, "Cannot write file %1: %2.", path,
                   QStringLiteral("a %1 holds exactly %2 bytes, not %3")
                       .arg(QLatin1String(what))
                       .arg(size)
                       .arg(image.size()));
        return ProgramFileStatus::WrongSize;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setfailure(error, reason, "Cannot write file %1: %2.", path, file.errorString());
        return ProgramFileStatus::CannotOpen;
    }
    // commit() alone misses a buffered write that fails when it is flushed.
    // The error text is taken before cancelWriting(), which replaces it.
    if (file.write(image) != image.size() || !file.flush() || !file.commit()) {
        setfailure(error, reason, "Cannot write file %1: %2.", path, file.errorString());
        file.cancelWriting();
        return ProgramFileStatus::WriteFailed;
    }
    return ProgramFileStatus::Ok;
}
} // namespace

ProgramFileStatus readprogramfile(const QString &path, QByteArray &image, QString *error, QString *reason)
{
    return readsized(path, kProgramImageSize, "program file", image, error, reason);
}

ProgramFileStatus readprogramimage(QIODevice &file, const QString &path, QByteArray &image, QString *error,
                                   QString *reason)
{
    return readimagedevice(file, path, kProgramImageSize, "program file", image, error, reason);
}

ProgramFileStatus writeprogramfile(const QString &path, const QByteArray &image, QString *error,
                                   QString *reason)
{
    return writesized(path, kProgramImageSize, "program image", image, error, reason);
}

QString collectionfilesuffix(int devicetype)
{
    QString suffix = programfilesuffix(devicetype);
    if (!suffix.isEmpty())
        suffix[1] = QLatin1Char('J');
    return suffix;
}

QString collectionfilefilter(int devicetype)
{
    const QString suffix = collectionfilesuffix(devicetype);
    if (suffix.isEmpty())
        return QString();
    return QStringLiteral("Program File (*%1)").arg(suffix);
}

QString withsuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || suffix.isEmpty() || QFileInfo(path).isDir() ||
        path.endsWith(suffix, Qt::CaseInsensitive))
        return path;
    return path + suffix;
}

ProgramFileStatus readcollectionfile(const QString &path, QByteArray &images, QString *error, QString *reason)
{
    return readsized(path, kCollectionPrograms * kProgramImageSize, "collection file", images, error, reason);
}

ProgramFileStatus writecollectionfile(const QString &path, const QByteArray &images, QString *error,
                                      QString *reason)
{
    return writesized(path, kCollectionPrograms * kProgramImageSize, "collection", images, error, reason);
}

namespace
{
QString bilingual(bool chinese, const char *english, const char *chinesetext)
{
    return chinese ? QString::fromUtf8(chinesetext) : QString::fromUtf8(english);
}

// The file a save to path replaces: the final target of a symbolic link,
// followed as QSaveFile follows it (its folder then holds the temporary file).
QString replacedfile(const QString &path)
{
    QFileInfo existing(path);
    if (!existing.isSymLink())
        return path;
    int depth = 128;
    while (--depth && existing.isSymLink())
        existing.setFile(existing.symLinkTarget());
    return depth > 0 ? existing.filePath() : path;
}

#ifdef Q_OS_UNIX
// The attributes that forbid removing or renaming over an entry: append-only
// and immutable, of a folder (for the entries in it) or of a file (for the
// file itself). Unknown where the file system does not tell.
struct Protection {
    bool appendonly = false;
    bool immutable = false;
};

Protection protectionof(const QByteArray &native)
{
    Protection p;
#if defined(Q_OS_LINUX) && defined(STATX_ATTR_APPEND)
    struct statx sx {
    };
    if (::statx(AT_FDCWD, native.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &sx) == 0) {
        p.appendonly = (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_APPEND) != 0;
        p.immutable = (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
    }
#else
    Q_UNUSED(native)
#endif
    return p;
}

// Whether this process may remove or replace other users' files in a folder
// with the sticky bit (the owner-override capability).
bool overridesowner()
{
#ifdef Q_OS_LINUX
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) == 0)
        return (data[CAP_FOWNER / 32].effective & (1u << (CAP_FOWNER % 32))) != 0;
#endif
    return ::geteuid() == 0;
}
#endif

#ifdef Q_OS_UNIX
// Whether the folder takes a file with no name (one that is only given its
// name once written, as the save makes its temporary file where it can).
// Nothing stays behind: an unnamed file goes when it is closed.
bool takesunnamedfile([[maybe_unused]] const QByteArray &folder)
{
#ifdef O_TMPFILE
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
#else
    return false;
#endif
}
#endif

// The folder lets the save's temporary file be made and then removed or
// renamed. An append-only folder lets files in but never out: the save
// works there only for a new name and with an unnamed temporary file, which
// it links into the folder under that name at its end. Replacing a file
// would leave the temporary file beside it, and so would a save whose
// temporary file needs a name of its own; both are refused before anything
// is made. appendonly tells the caller that no trial file may be made there
// (it could not be removed again).
bool folderallowssave([[maybe_unused]] const QString &file, [[maybe_unused]] QString *reason,
                      [[maybe_unused]] bool chinese, bool *appendonly)
{
    *appendonly = false;
#ifdef Q_OS_UNIX
    const QByteArray foldername = QFile::encodeName(QFileInfo(file).absolutePath());
    const Protection folder = protectionof(foldername);
    if (folder.immutable) {
        seterror(reason, bilingual(chinese, "the folder cannot be changed", "该文件夹不可更改"));
        return false;
    }
    if (folder.appendonly) {
        struct stat existing {
        };
        if (::lstat(QFile::encodeName(file).constData(), &existing) == 0 || !takesunnamedfile(foldername)) {
            seterror(reason,
                     bilingual(chinese,
                               "the folder only lets files be added: none can be replaced or removed there",
                               "该文件夹只允许添加文件，其中的文件无法替换或删除"));
            return false;
        }
        *appendonly = true;
    }
#endif
    return true;
}

// The name is not longer than the folder's file system takes: judged
// without making a file of that name, where one could not be removed again.
bool namefits([[maybe_unused]] const QString &file, [[maybe_unused]] QString *reason)
{
#ifdef Q_OS_UNIX
    const QFileInfo info(file);
    const long longest = ::pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    if (longest > 0 && QFile::encodeName(info.fileName()).size() > longest) {
        seterror(reason, QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)));
        return false;
    }
#endif
    return true;
}

// An existing file can be replaced: the save renames its temporary file
// over it, which the system refuses for a file protected against changes
// and, in a folder with the sticky bit, for another user's file (unless
// the folder is this user's own).
bool targetreplaceable([[maybe_unused]] const QString &file, [[maybe_unused]] QString *reason,
                       [[maybe_unused]] bool chinese)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(file);
    struct stat target {
    };
    if (::lstat(native.constData(), &target) != 0)
        return true; // nothing to replace
    const Protection own = protectionof(native);
    if (own.appendonly || own.immutable) {
        seterror(reason, bilingual(chinese, "the file is protected against changes and cannot be replaced",
                                   "该文件受保护，无法更改或替换"));
        return false;
    }
    struct stat folder {
    };
    const QByteArray foldername = QFile::encodeName(QFileInfo(file).absolutePath());
    if (::stat(foldername.constData(), &folder) != 0 || (folder.st_mode & S_ISVTX) == 0)
        return true;
    const uid_t me = ::geteuid();
    if (target.st_uid != me && folder.st_uid != me && !overridesowner()) {
        seterror(reason, bilingual(chinese,
                                   "the file belongs to another user, and the folder lets only its owner "
                                   "replace it",
                                   "该文件属于其他用户，此文件夹只允许其所有者替换它"));
        return false;
    }
#endif
    return true;
}
} // namespace

bool canwritefile(const QString &path, QString *reason, bool chinese)
{
    // The check does what the save will do, in its order, and leaves
    // nothing behind: where something it made could not be removed again,
    // it says so rather than go on. Protections that would keep it (or the
    // save) from removing what it made are looked at before anything is made.
    const QString replaced = replacedfile(path);
    bool appendonly = false;
    if (!folderallowssave(replaced, reason, chinese, &appendonly))
        return false;
    // QSaveFile checks the folder (it makes its temporary file there) and an
    // existing target (a directory, or not writable); cancelling removes the
    // temporary file and leaves the target as it was.
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        seterror(reason, probe.errorString());
        return false;
    }
    probe.cancelWriting();
    // At its end the save renames its temporary file over the target.
    if (!targetreplaceable(replaced, reason, chinese))
        return false;
    // The temporary file may have no name of its own (an unnamed file that
    // is only given the final name at the end), so a name the folder refuses
    // (too long, a character its file system does not take) would fail only
    // after the work. Where nothing has the name yet, a new empty file of
    // that name is made and removed again.
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return true;
    // A file made in an append-only folder stays there: its name is judged
    // by its length alone.
    if (appendonly)
        return namefits(replaced, reason);
    QFile trial(path);
    if (!trial.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        seterror(reason, trial.errorString());
        return false;
    }
    trial.close();
    if (!trial.remove()) {
        seterror(reason, trial.errorString());
        return false;
    }
    return true;
}

namespace
{
FreeSpaceProbe gFreeSpaceProbe = nullptr;

qint64 systemfreespace(const QString &path)
{
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    return disk.isValid() && disk.isReady() ? disk.bytesAvailable() : -1;
}
} // namespace

void setfreespaceprobe(FreeSpaceProbe probe)
{
    gFreeSpaceProbe = probe;
}

bool hasroomfor(const QString &path, qint64 bytes, QString *reason)
{
    const qint64 free = gFreeSpaceProbe ? gFreeSpaceProbe(path) : systemfreespace(path);
    if (free < 0 || free >= bytes)
        return true;
#ifdef Q_OS_UNIX
    seterror(reason, QString::fromLocal8Bit(std::strerror(ENOSPC)));
#else
    seterror(reason, QStringLiteral("No space left on device"));
#endif
    return false;
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

ProgramFileStatus saveprogramfile(const QString &path, DeviceData &device, QString *error, QString *reason)
{
    device.packprogram();
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = static_cast<char>(device.getwriteimagebyte(k));
    return writeprogramfile(path, image, error, reason);
}
