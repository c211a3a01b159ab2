#include "formgeqdraw.h"

#include "formshowdraw.h"
#include "ui_formgeqdraw.h"

#include <QPainter>

namespace
{

// The plot's origin inside the panel.
constexpr int kLeft = 30;
constexpr int kRight = 840;
constexpr int kTop = 13;
constexpr int kBottom = 238;

QPen gridpen(const QColor &c)
{
    return QPen(c, 1, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
}

} // namespace

FormGeqDraw::FormGeqDraw(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormGeqDraw)
{
    ui->setupUi(this);
}

FormGeqDraw::~FormGeqDraw() = default;

FormShowDraw *FormGeqDraw::plot() const
{
    return ui->widgetgeqshow;
}

void FormGeqDraw::showBandPoint(int band, const QString &text)
{
    ui->widgetgeqshow->showBandPoint(band, text);
}

void FormGeqDraw::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(gridpen(Qt::black));
    painter.setBrush(Qt::black);
    painter.drawRect(10, 5, 840, 250);
    painter.setPen(gridpen(QColor(38, 68, 79)));
    drawdblines(&painter);
    drawfreqlines(&painter);
    painter.setPen(gridpen(QColor(QStringLiteral("#90C7E5"))));
    drawmajorlines(&painter);
}

void FormGeqDraw::drawdblines(QPainter *painter)
{
    // Every 5 dB from +15 down to -30.
    for (int k = 0; k < 10; ++k)
        painter->drawLine(kLeft, kTop + 25 * k, kRight, kTop + 25 * k);
}

void FormGeqDraw::drawfreqlines(QPainter *painter)
{
    // 10, 20 ... 90 Hz, 100 ... 900 Hz, 1 ... 9 kHz, 10 kHz, 20 kHz, 21.9 kHz.
    for (double decade : {10.0, 100.0, 1000.0}) {
        for (int k = 1; k <= 9; ++k) {
            const int x = kLeft + m_math.freqtox(decade * k);
            painter->drawLine(x, kTop, x, kBottom);
        }
    }
    for (double f : {10000.0, 20000.0, 21900.0}) {
        const int x = kLeft + m_math.freqtox(f);
        painter->drawLine(x, kTop, x, kBottom);
    }
}

void FormGeqDraw::drawmajorlines(QPainter *painter)
{
    for (int y : {kTop, 88, kBottom})
        painter->drawLine(kLeft, y, kRight, y);
    painter->drawLine(kLeft, kTop, kLeft, kBottom);
    for (double f : {100.0, 1000.0, 10000.0}) {
        const int x = kLeft + m_math.freqtox(f);
        painter->drawLine(x, kTop, x, kBottom);
    }
    painter->drawLine(kRight, kTop, kRight, kBottom);
}
