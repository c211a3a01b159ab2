#include "compressorcur.h"

#include "ui_compressorcur.h"

#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>

namespace
{

constexpr float kPixelsPerDb = 4.5f;
constexpr float kBottomDb = -40.0f;

QPen linepen(const QColor &c, int width)
{
    return QPen(QBrush(c), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

CompressorCur::CompressorCur(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CompressorCur)
{
    ui->setupUi(this);
}

CompressorCur::~CompressorCur() = default;

void CompressorCur::setmaxvalue(float db)
{
    maxvalue = db;
    update();
}

void CompressorCur::setminvalue(float db)
{
    minvalue = db;
    update();
}

void CompressorCur::setthreshold(float db)
{
    threshold = db;
    update();
}

void CompressorCur::setratioindex(uchar index)
{
    ratioindex = index;
    update();
}

void CompressorCur::setratioeditable(bool on)
{
    ratioeditable = on;
    update();
}

// ---------------------------------------------------------------------------
// Mapping

float CompressorCur::slope(int ratioindex)
{
    static const float slopes[kRatioCount] = {1.0f / 1.2f, 1.0f / 1.5f, 0.5f,  1.0f / 3.0f, 0.25f,
                                              1.0f / 6.0f, 0.1f,        0.05f, 0.025f,      1.0f / 128.0f};
    return slopes[std::clamp(ratioindex, 0, kRatioCount - 1)];
}

QPoint CompressorCur::thresholdpoint(float db)
{
    const float p = (db - kBottomDb) * kPixelsPerDb;
    return QPoint(int(p), int(float(kPicture) - p));
}

QPoint CompressorCur::ratiohandle(const QPoint &t, int ratioindex, bool editable)
{
    if (!editable)
        return QPoint(kPlotRight, t.y());
    return QPoint(kPlotRight, int(float(t.y()) - float(kPlotRight - t.x()) * slope(ratioindex)));
}

QPoint CompressorCur::kneecontrol(const QPoint &t, int knee)
{
    // Softer knees pull the curve further above the threshold point.
    if (knee >= 2 && knee <= 5)
        return QPoint(t.x(), t.y() - (6 - knee));
    return t;
}

float CompressorCur::dragthreshold(int y, float min, float max)
{
    const float db = float(kPicture - std::min(y, kPicture)) / kPixelsPerDb + kBottomDb;
    return std::min(std::max(db, min), max);
}

int CompressorCur::dragratio(const QPoint &t, int y)
{
    // Steeper ratios lie higher; take the flattest one still at or above the pointer.
    for (int k = kRatioCount - 1; k >= 1; --k) {
        if (ratiohandle(t, k, true).y() <= y)
            return k;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Mouse

void CompressorCur::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->localPos().toPoint();
    if (event->button() == Qt::LeftButton) {
        const QPoint t = thresholdpoint(threshold);
        const QPoint r = ratiohandle(t, ratioindex, ratioeditable);
        if (QRect(t.x() - 5, t.y() - 5, 10, 10).contains(pos))
            dragpoint = 0;
        // Tested second: where the boxes overlap the ratio handle wins.
        if (ratioeditable && QRect(kPlotRight - 5, r.y() - 5, 10, 10).contains(pos))
            dragpoint = 1;
    }
    update();
}

void CompressorCur::mouseReleaseEvent(QMouseEvent *)
{
    dragpoint = -1;
    update();
}

void CompressorCur::mouseMoveEvent(QMouseEvent *event)
{
    QPoint pos = event->localPos().toPoint();
    // Never above the 1:1 diagonal.
    pos.setY(std::max(pos.y(), kPicture - pos.x()));
    if (dragpoint < 0)
        return;
    movedragpoint(dragpoint, pos);
    emit updateholdvalues();
}

void CompressorCur::movedragpoint(int which, const QPoint &pos)
{
    const int y = std::min(pos.y(), kPicture);
    if (which == 0) {
        threshold = dragthreshold(y, minvalue, maxvalue);
        update();
        lastdragged = dragpoint;
    } else if (which == 1 && ratioeditable) {
        ratioindex = uchar(dragratio(thresholdpoint(threshold), y));
        update();
        lastdragged = dragpoint;
    }
}

// ---------------------------------------------------------------------------
// Painting

void CompressorCur::paintEvent(QPaintEvent *)
{
    if (!image) {
        image.reset(new QImage(kPicture, kPicture, QImage::Format_ARGB32));
        image->fill(QColor(255, 255, 255, 0));
    }
    QPainter p(image.get());
    const QPainter::CompositionMode mode = p.compositionMode();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(image->rect(), Qt::transparent);
    p.setCompositionMode(mode);

    // Frame and a grid line every 10 dB.
    const QPen grey = linepen(QColor(150, 150, 150), 1);
    p.setPen(grey);
    p.drawLine(0, 13, 0, 283);
    p.drawLine(0, 283, 270, 283);
    p.drawLine(270, 283, 270, 13);
    p.drawLine(270, 13, 0, 13);
    for (int x = 45; x <= 270; x += 45)
        p.drawLine(x, 13, x, 283);
    for (int y = 13; y <= 238; y += 45)
        p.drawLine(0, y, 270, y);

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(linepen(Qt::green, 2));
    const QPoint origin(0, kPicture);
    const QPoint t = thresholdpoint(threshold);
    const QPoint r = ratiohandle(t, ratioindex, ratioeditable);
    if (knee == 1) {
        p.drawLine(origin, t);
        p.drawLine(t, r);
    } else if (knee >= 2 && knee <= 6) {
        const QPoint c = kneecontrol(t, knee);
        QPainterPath path(origin);
        path.cubicTo(c, c, r);
        p.drawPath(path);
    }

    p.setBrush(Qt::NoBrush);
    p.setPen(linepen(dragpoint == 0 ? Qt::green : Qt::red, 1));
    p.drawRect(t.x() - 4, t.y() - 4, 8, 8);
    if (ratioeditable) {
        p.setPen(linepen(dragpoint == 1 ? Qt::green : Qt::red, 1));
        p.drawRect(r.x() - 4, r.y() - 4, 8, 8);
    }

    QLinearGradient fill(0, 0, 300, 300);
    if (knee == 0) {
        fill.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.15));
    } else {
        fill.setColorAt(0.3, QColor::fromRgbF(1, 0, 0, 0.3));
        fill.setColorAt(0.6, QColor::fromRgbF(1, 1, 0, 0.4));
        fill.setColorAt(0.9, QColor::fromRgbF(0, 1, 0, 0.6));
    }
    p.setPen(grey);
    p.setBrush(fill);
    p.drawPolygon(QPolygon({origin, t, r, QPoint(kPlotRight, kPicture)}), Qt::WindingFill);
    p.end();

    QPainter w(this);
    w.drawImage(0, 0, *image);
}
