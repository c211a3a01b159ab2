#include "formccurvphase.h"

#include "eqresponse.h"
#include "mainapp.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

FormCcurvPhase::FormCcurvPhase(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("FormCcurvPhase"));
    resize(370, 200);
    setWindowTitle(QCoreApplication::translate("FormCcurvPhase", "Form"));
}

void FormCcurvPhase::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QBrush(QColor(255, 0, 0)), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    drawphasecurve(&painter);
}

void FormCcurvPhase::drawphasecurve(QPainter *painter)
{
    eqresponse::PhaseInput in;
    if (gMainApp && gMainApp->getcurdevice())
        in = eqresponse::phaseinput(*gMainApp->getcurdevice(), gMainApp->getpeqchannel(), curvemath);
    const eqresponse::PhasePoints pts = eqresponse::computephase(curvemath, in);
    QPainterPath path;
    path.moveTo(pts.x[0], pts.y[0]);
    for (int i = 0; i < eqresponse::kPoints; ++i)
        path.lineTo(pts.x[i], pts.y[i]);
    painter->drawPath(path);
    path.lineTo(pts.x[eqresponse::kPoints - 1], 200);
    path.lineTo(pts.x[0], 200);
    QLinearGradient gradient(0, 0, 400, 200);
    QColor fill(Qt::red);
    fill.setAlphaF(0.35);
    gradient.setColorAt(0.0, fill);
    painter->setBrush(QBrush(gradient));
    painter->fillPath(path, painter->brush());
}
