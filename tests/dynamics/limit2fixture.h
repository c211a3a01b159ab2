#pragma once

// What the peak-limiter tests share: the program-wide language object and
// controller as start-up makes them (the settings file in a directory of the
// test's own), one current device of type 0x18, the page wired to a main
// control page as the main window wires them, and lookups of the page's
// widgets by kind and output.

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

class Limit2Fixture : public PageFixture<FormLimit2>
{
public:
    using Kind = FormLimit2::Kind;

    // The page, and a main control page wired to it.
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

    // Output index o (0..7).
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
    // Types into an entry and ends with Return, as a user does.
    void type(Kind k, int o, const QString &text) const
    {
        QLineEdit *e = entry(k, o);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // The output link masks (OUT1 first) into the model as a download leaves
    // them, and the output link switch on.
    void setoutputmasks(const QByteArray &masks)
    {
        QByteArray all = QByteArray::fromHex("01020408") + masks;
        setimagebytes(dev, kImageLinkMask, all);
        gMainApp->outputlinkon = dev->outputlinked() ? 1 : 0;
    }
    // Output o's record as the page and the model hold it: enable, attack,
    // release, threshold.
    QVector<int> record(int o) const
    {
        return {dev->getpeaklimiton(o), dev->getpeaklimita(o), dev->getpeaklimitb(o),
                dev->getpeaklimitvalue(o)};
    }

    std::unique_ptr<FormMainView> overview;
};
