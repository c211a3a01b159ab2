#include "formfir.h"

#include "ui_formfir.h"

#include <QPainter>

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
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QBrush(Qt::black), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QBrush(Qt::black));
    painter.drawRect(QRect(QPoint(10, 5), QPoint(449, 254)));
    painter.setPen(QPen(QBrush(QColor(38, 68, 79)), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawgridrows(&painter);
    drawfreqgrid(&painter);
    painter.setPen(
        QPen(QBrush(QColor(QStringLiteral("#90C7E5"))), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawmajorgrid(&painter);
}

void FormFir::drawgridrows(QPainter *painter)
{
    for (int k = 0; k < 10; ++k)
        painter->drawLine(30, 13 + 25 * k, 435, 13 + 25 * k);
}

void FormFir::drawfreqgrid(QPainter *painter)
{
    auto line = [&](double f) {
        const int x = 30 + curvemath.freqtox400(f);
        painter->drawLine(x, 13, x, 238);
    };
    line(10.0);
    // The panel's own steps: 10 Hz, 140 Hz and 1350 Hz above 100 Hz.
    for (int step = 2; step <= 10; ++step)
        line(10.0 * step);
    for (int step = 2; step <= 10; ++step)
        line(140.0 * step);
    for (int step = 2; step <= 10; ++step)
        line(1350.0 * step);
    line(20000.0);
    line(21900.0);
}

void FormFir::drawmajorgrid(QPainter *painter)
{
    for (int y : {13, 88, 238})
        painter->drawLine(30, y, 435, y);
    painter->drawLine(30, 13, 30, 238);
    for (double f : {100.0, 700.0, 10000.0}) {
        const int x = 30 + curvemath.freqtox400(f);
        painter->drawLine(x, 13, x, 238);
    }
    painter->drawLine(435, 13, 435, 238);
}
