// The one table of every skin image of the application.
#pragma once

#include "painters.h"

#include <QSize>
#include <QString>
#include <QVector>

namespace skin
{

struct Skin {
    QString path; // resource path without the leading colon, e.g. "/back/skin/001d.png"
    QSize size;
    Paint paint;
    bool twin; // also drawn with Chinese labels as the "_chs" twin
};

// Every skin, in table order.
const QVector<Skin> &skins();

// "/a/b.png" -> "/a/b_chs.png"
QString twinPath(const QString &path);

} // namespace skin
