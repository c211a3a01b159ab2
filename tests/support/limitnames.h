#pragma once

// The limiter page's widgets by name: channel 0..11 (inputs first), rows in
// the order attack, release, ratio, threshold.

#include <QString>

namespace limitnames
{
inline QString slider(int ch, int row)
{
    const bool in = ch < 4;
    const int k = in ? ch : ch - 4;
    const QString stem = QString(in ? "sldrlimitin" : "sldrlimit") + QChar('a' + row);
    if (row == 3)
        return stem + (k == 0 ? QString() : QStringLiteral("_%1").arg(k + 1));
    return stem + (k == 0 ? QString() : QString::number(k));
}

inline QString edit(int ch, int row)
{
    const bool in = ch < 4;
    const int k = in ? ch : ch - 4;
    if (row == 3)
        return QString(in ? "Editlimitinhold" : "Editlimithold") +
               (k == 0 ? QString() : QStringLiteral("_%1").arg(k + 1));
    static const char *const stems[2][3] = {{"Editdelayoutmi_", "Editdelayme_", "Editdelayfe_"},
                                            {"Editdelayinmi_", "Editdelayinme_", "Editdelayinfe_"}};
    return stems[in][row] + QString::number(5 + k);
}
} // namespace limitnames
