#include "panelgrid.h"

#include <QLinearGradient>
#include <QPainterPath>

#include "curvemath.h"

#include <QPainter>

namespace
{
constexpr int kLeft = 30, kRight = 435;
}

void paintpanelgrid(QPainter &painter, const CurveMath &curvemath, const PanelGrid &g)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QBrush(Qt::black), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QBrush(Qt::black));
    // The whole panel is dark: the plot's frame leaves a margin of the
    // window's own light background otherwise.
    if (painter.device())
        painter.fillRect(QRect(0, 0, painter.device()->width(), painter.device()->height()), Qt::black);
    painter.drawRect(QRect(QPoint(10, 5), QPoint(449, 254)));

    painter.setPen(QPen(QBrush(QColor(38, 68, 79)), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int k = 0; k < g.rows; ++k)
        painter.drawLine(kLeft, g.firstrow + 25 * k, kRight, g.firstrow + 25 * k);
    auto line = [&](double f) {
        const int x = kLeft + curvemath.freqtox400(f);
        painter.drawLine(x, g.top, x, g.bottom);
    };
    line(10.0);
    for (double base : g.bases) {
        for (int step = 2; step <= 10; ++step)
            line(base * step);
    }
    line(20000.0);
    line(21900.0);

    painter.setPen(
        QPen(QBrush(QColor(QStringLiteral("#90C7E5"))), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int y : g.majorrows)
        painter.drawLine(kLeft, y, kRight, y);
    painter.drawLine(kLeft, g.top, kLeft, g.bottom);
    for (double f : g.majorfreqs)
        line(f);
    painter.drawLine(kRight, g.top, kRight, g.bottom);
}

void paintresponse(QPainter &painter, const int *x, const int *y, int count, int width)
{
    if (count <= 0)
        return;
    QPainterPath path;
    path.moveTo(x[0], y[0]);
    for (int i = 0; i < count; ++i)
        path.lineTo(x[i], y[i]);
    painter.drawPath(path);
    // Closed under the curve: back along the bottom to below its first point
    // (up the left edge to the top corner it drew a red line above the curve).
    path.lineTo(x[count - 1], 225);
    path.lineTo(x[0], 225);
    QLinearGradient gradient(0, 0, width, 225);
    QColor fill(Qt::red);
    fill.setAlphaF(0.35);
    gradient.setColorAt(0, fill);
    painter.setBrush(QBrush(gradient));
    painter.fillPath(path, painter.brush());
}
