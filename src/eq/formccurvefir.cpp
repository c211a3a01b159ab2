#include "formccurvefir.h"
#include "panelgrid.h"

#include "eqresponse.h"
#include "mainapp.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

FormCcurveFir::FormCcurveFir(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("FormCcurveFir"));
    resize(405, 225);
    setWindowTitle(QCoreApplication::translate("FormCcurveFir", "Form"));
}

void FormCcurveFir::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QBrush(QColor(255, 0, 0)), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    channel = gMainApp ? gMainApp->getpeqchannel() : 0;
    drawcurve(&painter);
}

void FormCcurveFir::drawcurve(QPainter *painter)
{
    // Inputs have no crossover, and a channel outside 0..11 has nothing to show.
    if (channel < 4 || channel > 11 || !gMainApp || !gMainApp->getcurdevice())
        return;
    const eqresponse::FirPoints pts =
        eqresponse::computefir(curvemath, eqresponse::firinput(*gMainApp->getcurdevice(), channel - 4));
    if (pts.flat) {
        painter->drawLine(2, 75, 405, 75);
        return;
    }
    paintresponse(*painter, pts.x.data(), pts.y.data(), eqresponse::kPoints, 405);
}
