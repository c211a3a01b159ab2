#include "formphase.h"

#include "ui_formphase.h"

#include <QPainter>

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

void FormPhase::drawgridrows(QPainter *painter)
{
    for (int k = 0; k < 9; ++k)
        painter->drawLine(30, 25 + 25 * k, 435, 25 + 25 * k);
}

void FormPhase::drawfreqgrid(QPainter *painter)
{
    auto line = [&](double f) {
        const int x = 30 + curvemath.freqtox400(f);
        painter->drawLine(x, 25, x, 225);
    };
    line(10.0);
    for (int decade : {10, 100, 1000}) {
        for (int step = 2; step <= 10; ++step)
            line(double(step) * decade);
    }
    line(20000.0);
    line(21900.0);
}

void FormPhase::drawmajorgrid(QPainter *painter)
{
    for (int y : {25, 125, 225})
        painter->drawLine(30, y, 435, y);
    painter->drawLine(30, 25, 30, 225);
    for (double f : {100.0, 1000.0, 10000.0}) {
        const int x = 30 + curvemath.freqtox400(f);
        painter->drawLine(x, 25, x, 225);
    }
    painter->drawLine(435, 25, 435, 225);
}
