#pragma once

// The picture a start-up logo is made of. Only its top-left 128 x 64 pixels
// are used, so a picture is refused before it is decoded when it could only
// cost memory and time: its kind is told by its first bytes (BMP, JPEG or
// PNG, the kinds the picker offers; anything else, whatever its name, is not
// decoded), its size is read from its header and must be at most
// kLogoPictureMax pixels each way, and it must be complete (a cut-off JPEG or
// BMP would otherwise decode to a picture with a grey or black remainder).

#include <QImage>
#include <QString>

constexpr int kLogoPictureMax = 4096;

// Reads the picture at path. On failure the image is null and reason (when
// given) says why, in words fit for the "Read File" box, in Chinese when
// chinese is set.
QImage readlogopicture(const QString &path, QString *reason = nullptr, bool chinese = false);
