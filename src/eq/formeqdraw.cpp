#include "formeqdraw.h"

#include "ui_formeqdraw.h"

#include <QPainter>

FormEqDraw::FormEqDraw(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormEqDraw)
{
    ui->setupUi(this);
    connect(ui->widgetshow, SIGNAL(btnschangevalue(int, int, int)), this,
            SIGNAL(btnschangevalue(int, int, int)));
    connect(ui->widgetshow, SIGNAL(btnschanged(int)), this, SIGNAL(btnschanged(int)));
    connect(ui->widgetshow, SIGNAL(btnscutchangevalue(int, int)), this, SIGNAL(btnscutchangevalue(int, int)));
}

FormEqDraw::~FormEqDraw()
{
    delete ui;
}

CCurveWidget *FormEqDraw::curve() const
{
    return ui->widgetshow;
}

void FormEqDraw::updatepoint(int n)
{
    ui->widgetshow->updatepoint(n);
}

void FormEqDraw::loadpoints()
{
    ui->widgetshow->loadpoints();
}

void FormEqDraw::repaintcurve()
{
    ui->widgetshow->repaint();
}

void FormEqDraw::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QBrush(Qt::black), 1, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    painter.setBrush(QBrush(Qt::black));
    painter.drawRect(10, 5, 840, 250);
    painter.setPen(QPen(QBrush(QColor(38, 68, 79)), 1, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    drawgridrows(&painter);
    drawfreqgrid(&painter);
    painter.setPen(
        QPen(QBrush(QColor(QStringLiteral("#90C7E5"))), 1, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    drawmajorgrid(&painter);
}

void FormEqDraw::drawgridrows(QPainter *painter)
{
    for (int k = 0; k < 10; ++k)
        painter->drawLine(30, 13 + 25 * k, 840, 13 + 25 * k);
}

void FormEqDraw::drawfreqgrid(QPainter *painter)
{
    auto line = [&](double f) {
        const int x = 30 + curvemath.freqtox(f);
        painter->drawLine(x, 13, x, 238);
    };
    line(10.0);
    for (int decade : {10, 100, 1000}) {
        for (int step = 2; step <= 10; ++step)
            line(double(step) * decade);
    }
    line(20000.0);
    line(21900.0);
}

void FormEqDraw::drawmajorgrid(QPainter *painter)
{
    painter->drawLine(30, 13, 840, 13);
    painter->drawLine(30, 88, 840, 88);
    painter->drawLine(30, 238, 840, 238);
    painter->drawLine(30, 13, 30, 238);
    for (double f : {100.0, 1000.0, 10000.0}) {
        const int x = 30 + curvemath.freqtox(f);
        painter->drawLine(x, 13, x, 238);
    }
    painter->drawLine(840, 13, 840, 238);
}
