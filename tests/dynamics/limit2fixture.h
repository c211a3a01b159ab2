#pragma once

// The peak-limiter page on a device of type 0x18, wired to a main control
// page, and its widgets by kind and output.

#include "devicedata.h"
#include "dspresources.h"
#include "formlimit2.h"
#include "formmainview.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "pagefixture.h"
#include "programimage.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <memory>

const FormLimit2::Kind A = FormLimit2::Attack;
const FormLimit2::Kind R = FormLimit2::Release;
const FormLimit2::Kind T = FormLimit2::Threshold;

class Limit2Fixture : public PageFixture<FormLimit2>
{
public:
    using Kind = FormLimit2::Kind;

    void setup(uchar addr = 1)
    {
        PageFixture::setup(addr);
        if (QTest::currentTestFailed())
            return;
        overview.reset(new FormMainView);
        QObject::connect(page.get(), &FormLimit2::updatelimitvalues2, overview.get(),
                         &FormMainView::updatelimitvalues2);
    }
    void teardown()
    {
        overview.reset();
        PageFixture::teardown();
    }

    QSlider *slider(Kind k, int o) const
    {
        static const char *const stem[] = {"sldrlimit", "sldrlimitb", "sldrlimitc"};
        return get<QSlider>(QStringLiteral("%1%2").arg(QLatin1String(stem[k])).arg(o + 1));
    }
    QLineEdit *entry(Kind k, int o) const
    {
        return get<QLineEdit>(QStringLiteral("Editlimit%1%2").arg(QLatin1Char("abc"[k])).arg(o + 1));
    }
    QPushButton *stepbutton(Kind k, int o, bool up) const
    {
        return get<QPushButton>(QStringLiteral("btnlimit%1%2%3")
                                    .arg(QLatin1String(up ? "up" : "down"))
                                    .arg(QLatin1Char("abd"[k]))
                                    .arg(o + 1));
    }
    QPushButton *enable(int o) const { return get<QPushButton>(QStringLiteral("limitswitch%1").arg(o + 1)); }
    QPushButton *select(int o) const
    {
        return get<QPushButton>(QStringLiteral("btnout%1").arg((o + 1) * 100));
    }
    QWidget *row(int o) const
    {
        return get<QWidget>(o == 0 ? QStringLiteral("widgetlimit100")
                                   : QStringLiteral("widgetlimit%1").arg((o + 1) * 10));
    }
    QString peaklabel(int o) const
    {
        return overview->findChild<QLabel *>(QStringLiteral("label_limit%1").arg(20 + o))->text();
    }
    // Index of the checked output button, -1 for none.
    int selected() const
    {
        for (int o = 0; o < 8; ++o)
            if (select(o)->isChecked())
                return o;
        return -1;
    }
    void type(Kind k, int o, const QString &text) const
    {
        QLineEdit *e = entry(k, o);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // The output link masks (OUT1 first), and the output link switch.
    void setoutputmasks(const QByteArray &masks)
    {
        QByteArray all = QByteArray::fromHex("01020408") + masks;
        setimagebytes(dev, kImageLinkMask, all);
        gMainApp->outputlinkon = dev->outputlinked() ? 1 : 0;
    }
    // Enable, attack, release, threshold.
    QVector<int> record(int o) const
    {
        return {dev->getpeaklimiton(o), dev->getpeaklimita(o), dev->getpeaklimitb(o),
                dev->getpeaklimitvalue(o)};
    }

    std::unique_ptr<FormMainView> overview;
};
