#include "formeqbtns.h"

#include "formphase.h"
#include "globalcontrl.h"
#include "ui_formeqbtns.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

Formeqbtns::Formeqbtns(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Formeqbtns)
{
    ui->setupUi(this);
    const QString s[kBands] = {QString(),
                               QStringLiteral("_2"),
                               QStringLiteral("_3"),
                               QStringLiteral("_4"),
                               QStringLiteral("_5"),
                               QStringLiteral("_6"),
                               QStringLiteral("_7")};
    // Frequency grid index, raw gain (dB x 10 + 300) and width index.
    for (int b = 0; b < kBands; ++b) {
        findChild<QSlider *>(QStringLiteral("sldreqfreq") + s[b])->setRange(0, 398);
        findChild<QSlider *>(QStringLiteral("sldreqgain") + s[b])->setRange(0, 450);
        findChild<QSlider *>(QStringLiteral("sldreqq") + s[b])->setRange(0, 40);
    }
    // Top-level (no parent) and not modal, so that it sits beside the page
    // without blocking it: at the right of the primary screen's available
    // area, below the place of the FIR window.
    phase = new FormPhase(nullptr);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        phase->move(area.x() + qMax(0, area.width() - phase->width() - 30),
                    area.y() + qMin(320, qMax(0, area.height() - phase->height())));
    }
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &Formeqbtns::refreshLanText);
}

Formeqbtns::~Formeqbtns()
{
    delete phase;
    delete ui;
}

void Formeqbtns::repaintphase()
{
    phase->repaintcurve();
}

void Formeqbtns::refreshLanText()
{
    const bool chinese = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    const QString bypass = chinese ? QStringLiteral("直通") : QStringLiteral("ByPass");
    const QString allpass = chinese ? QStringLiteral("相位开关") : QStringLiteral("All Pass");
    const QString s[kBands] = {QString(),
                               QStringLiteral("_2"),
                               QStringLiteral("_3"),
                               QStringLiteral("_4"),
                               QStringLiteral("_5"),
                               QStringLiteral("_6"),
                               QStringLiteral("_7")};
    for (int b = 0; b < kBands; ++b) {
        findChild<QPushButton *>(QStringLiteral("btneqbypass") + s[b])->setText(bypass);
        findChild<QComboBox *>(QStringLiteral("cbxHPFSlope") + s[b])->setItemText(5, allpass);
    }
}
