#include "formphase.h"

#include "ui_formphase.h"

#include "panelgrid.h"

#include <QPainter>

namespace
{
const PanelGrid kGrid{25, 225, 25, 9, {10.0, 100.0, 1000.0}, {25, 125, 225}, {100.0, 1000.0, 10000.0}};
}

FormPhase::FormPhase(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormPhase)
{
    ui->setupUi(this);
    // The panel sits beside the EQ page and must not block it.
    setWindowModality(Qt::NonModal);
}

FormPhase::~FormPhase()
{
    delete ui;
}

void FormPhase::repaintcurve()
{
    ui->widget_phasr->repaint();
}

void FormPhase::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintpanelgrid(painter, curvemath, kGrid);
}
