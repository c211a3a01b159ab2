#include "formfir.h"

#include "ui_formfir.h"

#include "panelgrid.h"

#include <QPainter>

namespace
{
// The panel's own steps: 10 Hz, 140 Hz and 1350 Hz above 100 Hz.
const PanelGrid kGrid{13, 238, 13, 10, {10.0, 140.0, 1350.0}, {13, 88, 238}, {100.0, 700.0, 10000.0}};
} // namespace

FormFir::FormFir(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormFir)
{
    ui->setupUi(this);
    // The panel sits beside the EQ page and must not block it.
    setWindowModality(Qt::NonModal);
}

FormFir::~FormFir()
{
    delete ui;
}

void FormFir::repaintcurve()
{
    ui->widget_fir->repaint();
}

void FormFir::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintpanelgrid(painter, curvemath, kGrid);
}
