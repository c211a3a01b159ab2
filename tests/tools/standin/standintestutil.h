#pragma once

// Shared helpers of the stand-in's tests.

#include "standinframe.h"
#include "standinunit.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QPair>
#include <QVector>

// Bytes from hex text with blanks ("44 55 66").
inline QByteArray hx(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// One command run through the stand-in's scanner and handler, as it would
// arrive on a line.
inline standin::Answer run(standin::UnitState &unit, quint8 command, const QByteArray &payloadAfterCount,
                           bool refuseLock = false)
{
    standin::FrameScanner scanner;
    const auto frames =
        scanner.feed(standin::commandframe(unit.type, unit.address, command, payloadAfterCount));
    if (frames.size() != 1 || !frames[0].ok)
        return standin::Answer();
    return standin::handlecommand(unit, frames[0], refuseLock);
}

// Pieces of bytes as a reader received them, with the time of each (ms since
// the reader started).
using Pieces = QVector<QPair<qint64, QByteArray>>;

inline QByteArray joined(const Pieces &pieces)
{
    QByteArray all;
    for (const auto &p : pieces)
        all += p.second;
    return all;
}

// Number of bytes received before the first quiet gap of at least gapMs.
inline int bytesbeforegap(const Pieces &pieces, qint64 gapMs)
{
    int n = 0;
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0 && pieces[i].first - pieces[i - 1].first >= gapMs)
            return n;
        n += pieces[i].second.size();
    }
    return -1;
}
