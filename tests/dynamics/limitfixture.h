#pragma once

// The limiter page on a device of type 0x18, and its widgets by channel and row.

#include "devicedata.h"
#include "dspresources.h"
#include "formlimit.h"
#include "globalcontrl.h"
#include "limitnames.h"
#include "mainapp.h"
#include "pagefixture.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <QSignalSpy>

#include <memory>

constexpr int kAttack = 0, kRelease = 1, kRatio = 2, kThreshold = 3;
constexpr int kOut1 = 4;

// The channel arguments of the spied signals.
inline QList<int> channels(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toInt();
    return out;
}

class LimitFixture : public PageFixture<FormLimit>
{
public:
    void showactive()
    {
        page->show();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
    }

    // Names of a channel's widgets (index 0..11), rows in the order attack,
    // release, ratio, threshold.
    static QString slidername(int ch, int row) { return limitnames::slider(ch, row); }
    static QString editname(int ch, int row) { return limitnames::edit(ch, row); }
    static QString stepname(int ch, int row, bool up)
    {
        const bool in = ch < 4;
        const int k = in ? ch : ch - 4;
        const char *dir = up ? "up" : "down";
        if (row == 3)
            return QString(in ? "btndelayinmi" : "btndelaymi") + dir + "_" + QString::number(13 + k);
        if (in)
            return QString("btndelayin") + QString("mi me fe").split(' ')[row] + dir + "_" +
                   QString::number(5 + k);
        if (row == 0)
            return QString("btndelaymiout") + dir + "_" + QString::number(5 + k);
        return QString(row == 1 ? "btndelayme" : "btndelayfe") + dir + "_" + QString::number(5 + k);
    }

    QSlider *slider(int ch, int row) const { return page->findChild<QSlider *>(slidername(ch, row)); }
    QLineEdit *edit(int ch, int row) const { return page->findChild<QLineEdit *>(editname(ch, row)); }
    QPushButton *step(int ch, int row, bool up) const
    {
        return page->findChild<QPushButton *>(stepname(ch, row, up));
    }
    QPushButton *select(int ch) const
    {
        return get<QPushButton>(ch < 4 ? QStringLiteral("limit_btnin") + QChar('a' + ch)
                                       : QStringLiteral("limit_btnout%1").arg(ch - 3));
    }
    QComboBox *combo(int ch) const
    {
        return get<QComboBox>(ch ? QStringLiteral("comboxlimit%1").arg(ch + 1) : QStringLiteral("comboxlimit"));
    }

    void setmasks(const QByteArray &masks) { setimagebytes(dev, kImageLinkMask, masks.left(12)); }

    QByteArray record(int ch) const
    {
        QByteArray r;
        const int t = dev->getlimitthreshold(ch), a = dev->getlimitattack(ch);
        r.append(char(dev->getlimitknee(ch))).append(char(t & 0xFF)).append(char((t >> 8) & 0xFF));
        r.append(char(dev->getlimitratio(ch))).append(char(a & 0xFF)).append(char((a >> 8) & 0xFF));
        r.append(char(dev->getlimitrelease(ch)));
        return r;
    }
};
