#include "formshowdraw.h"

#include "mainapp.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace
{

const char *const kPointImage = ":/graph/skin/GEQpoint.png";
// Q of every band's peaking section, in single precision as the filter maths
// takes it.
const float kBandQ = 4.3f;

} // namespace

FormShowDraw::FormShowDraw(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("FormShowDraw"));
    resize(810, 225);
    // The marker's two-line text fits its 80-pixel box.
    QFont small = QWidget::font();
    small.setPointSize(7);
    setFont(small);
    m_bypass = new QLabel(this);
    m_bypass->setObjectName(QStringLiteral("labelbypass"));
    m_bypass->setGeometry(220, 30, 331, 80);
    QFont font(QStringLiteral("Arial"), 50);
    font.setBold(true);
    m_bypass->setFont(font);
    m_bypass->setStyleSheet(QStringLiteral("color: rgb(225,225,225);"));
    m_bypass->setText(QStringLiteral("Bypassed"));
    for (int b = 0; b < kBands; ++b) {
        m_bandfreq[b] = m_math.getgeqfreq(b);
        if (gMainApp)
            gMainApp->setgeqgain(b, 0.0);
        m_bandx[b] = m_math.freqtox(m_bandfreq[b]);
    }
    m_bypass->hide();
    m_marker.setActive(false);
    m_marker.setImage(QString::fromLatin1(kPointImage));
    m_marker.setHoverImage(QString::fromLatin1(kPointImage));
    m_marker.setText(QString());
    m_marker.setColor(Qt::white);
    m_marker.setPos(300, kZeroY);
}

void FormShowDraw::showBandPoint(int band, const QString &text)
{
    if (band < 0 || band >= kBands)
        return;
    const double db = gMainApp ? gMainApp->getgeqgain(band) : 0.0;
    const int x = m_bandx[band] + 3;
    const int y = 80 - static_cast<int>(db * 10 * 0.5);
    m_marker.setPos(x, y);
    m_marker.setValueText(text);
    m_marker.setActive(true);
    repaint();
}

int FormShowDraw::curvey(int index, const double *gains)
{
    const double f = m_math.getfreq(index);
    int sum = 0;
    for (int b = 0; b < kBands; ++b) {
        const double r = m_math.peakingdb(float(m_bandfreq[b]), float(gains[b]), kBandQ, float(f));
        sum += static_cast<int>(kPixelsPerDb * r);
    }
    return kZeroY - sum;
}

void FormShowDraw::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(255, 0, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    drawcurve(&painter);
    m_marker.paint(&painter);
}

void FormShowDraw::drawcurve(QPainter *painter)
{
    if (gMainApp && gMainApp->getcurgeqbypassall()) {
        painter->drawLine(2, kZeroY, 809, kZeroY);
        m_bypass->show();
        return;
    }
    m_bypass->hide();
    for (int b = 0; b < kBands; ++b)
        m_bandgain[b] = !gMainApp || gMainApp->getgeqbandpass(b) ? 0.0 : gMainApp->getgeqgain(b);
    QPainterPath path;
    int lastx = 0;
    for (int j = 0; j < CurveMath::kGridSize; ++j) {
        const int x = m_math.freqtox(m_math.getfreq(j));
        const int y = curvey(j, m_bandgain);
        if (j == 0) {
            path.moveTo(x, y);
            path.lineTo(x, y);
        } else {
            path.lineTo(x, y);
        }
        lastx = x;
    }
    painter->drawPath(path);
    path.lineTo(lastx, 225);
    path.lineTo(2, 225);
    QLinearGradient fill(0, 0, 810, 225);
    fill.setColorAt(0, QColor::fromRgbF(1.0, 100 / 255.0, 0.0, 0.35));
    painter->setBrush(fill);
    painter->fillPath(path, painter->brush());
}
