#pragma once

// Program files: one program image, exactly 1664 bytes, no header and no
// trailer. The extension follows the device type: ".K91" for type 24, ".K72"
// for type 22, ".K53" for type 20.

#include <QByteArray>
#include <QString>

class DeviceData;

enum class ProgramFileStatus {
    Ok,
    CannotOpen,  // the file could not be opened
    WrongSize,   // the file is not exactly one program image
    ReadFailed,  // opened, but the image could not be read whole
    WriteFailed, // opened, but the image could not be written whole
};

// ".K91", ".K72", ".K53" for device type 24, 22, 20; empty for any other type.
QString programfilesuffix(int devicetype);
// "Program File (*.K91)" and its twins for the file dialogs; empty for any other type.
QString programfilefilter(int devicetype);

// Reads one program image. On any failure image is left unchanged, error
// (when given) receives a message naming the file and the cause, and reason
// (when given) the cause alone. Anything but a regular file (a FIFO, a
// directory, a device) is refused before it is opened: opening a FIFO would
// wait for a writer.
ProgramFileStatus readprogramfile(const QString &path, QByteArray &image, QString *error = nullptr,
                                  QString *reason = nullptr);

// The same from an open device; path names it in messages. Exposed so a
// device whose size changes under the reader can be given to it.
class QIODevice;
ProgramFileStatus readprogramimage(QIODevice &device, const QString &path, QByteArray &image,
                                   QString *error = nullptr, QString *reason = nullptr);

// Writes one program image (which must be 1664 bytes) as the whole file. The
// file is replaced only when every byte was written; on failure error and
// reason are given as for reading (the system's own error text, such as a
// full disk's).
ProgramFileStatus writeprogramfile(const QString &path, const QByteArray &image, QString *error = nullptr,
                                   QString *reason = nullptr);

// Collection files: the 30 user programs, 30 images one after the other
// (49920 bytes), no header. Extensions ".J91", ".J72", ".J53" by device type.
constexpr int kCollectionPrograms = 30;
QString collectionfilesuffix(int devicetype);
QString collectionfilefilter(int devicetype);

// A name typed in a save dialog (which adds no extension of its own on every
// platform) with the file type's extension added, so that the open dialogs
// list it: unchanged when it already ends with that extension in any letter
// case, is empty or names a folder. A dot elsewhere in the name ("show.v2")
// is part of the name.
QString withsuffix(const QString &path, const QString &suffix);

// As readprogramfile and writeprogramfile, for exactly 30 images.
ProgramFileStatus readcollectionfile(const QString &path, QByteArray &images, QString *error = nullptr,
                                     QString *reason = nullptr);
ProgramFileStatus writecollectionfile(const QString &path, const QByteArray &images, QString *error = nullptr,
                                      QString *reason = nullptr);

// Tells whether the file at path could be saved (as writeprogramfile and
// writecollectionfile save it: a temporary file in the folder, renamed over
// the target at the end), without truncating or otherwise changing anything
// there (where no file has the name, one is made and removed again, so that
// the folder judges the name itself). An existing file this user may not
// replace (in a folder that lets nothing be removed from it, append-only; a
// protected file; another user's file in a folder with the sticky bit) is
// refused before anything is made. A new name in an append-only folder
// passes where the save can link its unnamed temporary file in under it.
// reason receives the system's error text, or a text of its own in English
// or (chinese) in Chinese, when not.
bool canwritefile(const QString &path, QString *reason = nullptr, bool chinese = false);

// Whether the disk that would hold path has room for a file of that many
// bytes; reason receives the system's text for a full disk when not. Checked
// before a long read whose result is to be written there. A disk whose free
// space cannot be told counts as having room (the write then reports).
bool hasroomfor(const QString &path, qint64 bytes, QString *reason = nullptr);
// Test hook: the free bytes of the disk holding a path (-1: unknown), in
// place of the system's answer; nullptr restores the system's.
using FreeSpaceProbe = qint64 (*)(const QString &path);
void setfreespaceprobe(FreeSpaceProbe probe);

// Reads a program file into the device's current image and decodes it. A file
// that cannot be read whole, or is not exactly one image, leaves the device
// untouched.
ProgramFileStatus loadprogramfile(const QString &path, DeviceData &device, QString *error = nullptr);

// Packs the device's parameters into its write image and writes that image.
ProgramFileStatus saveprogramfile(const QString &path, DeviceData &device, QString *error = nullptr,
                                  QString *reason = nullptr);
