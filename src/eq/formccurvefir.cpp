#include "formccurvefir.h"

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
    QPainterPath path;
    path.moveTo(pts.x[0], pts.y[0]);
    for (int i = 0; i < eqresponse::kPoints; ++i)
        path.lineTo(pts.x[i], pts.y[i]);
    painter->drawPath(path);
    path.lineTo(pts.x[eqresponse::kPoints - 1], 225);
    path.lineTo(2, 225);
    path.lineTo(2, 0);
    QLinearGradient gradient(0, 0, 405, 225);
    QColor fill(Qt::red);
    fill.setAlphaF(0.35);
    gradient.setColorAt(0, fill);
    painter->setBrush(QBrush(gradient));
    painter->fillPath(path, painter->brush());
}
