#include "ccurvewidget.h"
#include "panelgrid.h"

#include "devicedata.h"
#include "eqresponse.h"
#include "mainapp.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace
{

const char *const kActiveImage = ":/graph/skin/HoverPoint_active.png";
const char *const kInactiveImage = ":/graph/skin/HoverPoint_inactive.png";

// Nearest whole pixel, halves upward; far-off positions are held to a range
// that cannot overflow an int.
int topixel(qreal v)
{
    return int(std::floor(qBound<qreal>(-1e6, v, 1e6) + 0.5));
}

// Row of a gain in dB: y = 75 - 5 x dB, toward zero.
int gainrow(double db)
{
    return int(qBound(-1e6, 75.0 - 5.0 * db, 1e6));
}

QString freqline(double hz)
{
    return QStringLiteral("Freq:%1Hz\n").arg(hz, 0, 'f', 1);
}

} // namespace

CCurveWidget::CCurveWidget(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CCurveWidget"));
    resize(860, 300);
    labelbypass = new QLabel(this);
    labelbypass->setObjectName(QStringLiteral("labelbypass"));
    labelbypass->setGeometry(230, 30, 560, 109);
    QFont font(QStringLiteral("Arial"), 50);
    font.setBold(true);
    font.setWeight(75);
    labelbypass->setFont(font);
    labelbypass->setStyleSheet(QStringLiteral("color: rgb(225,225,225);"));
    setWindowTitle(QCoreApplication::translate("CCurveWidget", "Form"));
    labelbypass->setText(QCoreApplication::translate("CCurveWidget", "Bypassed"));
    QMetaObject::connectSlotsByName(this);
    labelbypass->hide();

    for (int b = 0; b < kBands; ++b) {
        CHoverPoint &p = bandpoints[b];
        p.setActive(false);
        p.setImage(QString::fromLatin1(kActiveImage));
        p.setHoverImage(QString::fromLatin1(kInactiveImage));
        p.setText(QString::number(b + 1));
        p.setColor(Qt::white);
        p.setPos(50 + 90 * b, 100);
        pointlist.append(&p);
    }
    struct Corner {
        CHoverPoint *p;
        const char *label;
        int x;
    };
    for (const Corner &c : {Corner{&hpoint, "H", 700}, Corner{&lpoint, "L", 200}}) {
        c.p->setImage(QString::fromLatin1(kActiveImage));
        c.p->setHoverImage(QString::fromLatin1(kInactiveImage));
        c.p->setText(QString::fromLatin1(c.label));
        c.p->setColor(Qt::white);
        c.p->setPos(c.x, 100);
        c.p->setVisible(false);
        pointlist.append(c.p);
    }

    connect(this, SIGNAL(hoverMoved(CHoverPoint *)), this, SLOT(hoverPointMoved(CHoverPoint *)));
    connect(this, SIGNAL(hoverActived(CHoverPoint *)), this, SLOT(hoverPointActived(CHoverPoint *)));

    curband = -1;
    const float limits[6] = {19.7f, 21900.0f, 16000.0f, 35.1f, 19.7f, 20200.0f};
    for (int k = 0; k < 6; ++k)
        xlimits[k] = curvemath.freqtox(double(limits[k]));
    applyvisibility();
    dragy = 75;
}

CCurveWidget::~CCurveWidget() = default;

bool CCurveWidget::bypassshown() const
{
    return !labelbypass->isHidden();
}

// Bands 5..7 follow the device layout: a type-24 device has five bands on its
// outputs and four on its inputs; the other types have seven everywhere.
void CCurveWidget::applyvisibility()
{
    bool show5 = true, show67 = true;
    if (gMainApp && gMainApp->getdevtype() == 0x18) {
        show5 = gMainApp->geteqviewch() > 4;
        show67 = false;
    }
    bandpoints[4].setVisible(show5);
    bandpoints[5].setVisible(show67);
    bandpoints[6].setVisible(show67);
}

int CCurveWidget::bandof(const CHoverPoint *p) const
{
    for (int b = 0; b < kBands; ++b) {
        if (p == &bandpoints[b])
            return b;
    }
    return -1;
}

QPoint CCurveWidget::bandposition(int b) const
{
    if (!gMainApp)
        return QPoint(50 + 90 * b, 100);
    return QPoint(curvemath.freqtox(double(gMainApp->getpeqfreq(b))), gainrow(gMainApp->getpeqgain(b)));
}

void CCurveWidget::setvaluetext(CHoverPoint *p)
{
    if (!gMainApp)
        return;
    if (p == &hpoint) {
        p->setValueText(freqline(double(gMainApp->getxoverhighfreq())));
        return;
    }
    if (p == &lpoint) {
        p->setValueText(freqline(double(gMainApp->getxoverlowfreq())));
        return;
    }
    const int b = bandof(p);
    if (b < 0)
        return;
    const QString freq = freqline(double(gMainApp->getpeqfreq(b)));
    const QString gain = QStringLiteral("Gain:%1dB\n").arg(gMainApp->getpeqgain(b), 0, 'f', 1);
    const int type = gMainApp->getpeqtype(b);
    if (type == 0)
        p->setValueText(
            freq + gain +
            QStringLiteral("Width:%1").arg(curvemath.getwidth(gMainApp->getpeqwidth(b)), 0, 'f', 3));
    else if (type >= 1 && type <= 4)
        p->setValueText(freq + gain);
    else
        p->setValueText(freq + QStringLiteral(" "));
}

void CCurveWidget::loadpoints()
{
    for (int b = 0; b < kBands; ++b) {
        const QPoint pos = bandposition(b);
        bandpoints[b].setPos(pos.x(), pos.y());
        bandpoints[b].setValueText(QString());
        bandpoints[b].setActive(false);
    }
    const bool output = gMainApp && gMainApp->getpeqchannel() >= 4;
    if (!output) {
        hpoint.setVisible(false);
        lpoint.setVisible(false);
    } else {
        lpoint.setPos(curvemath.freqtox(double(gMainApp->getxoverlowfreq())), 75);
        hpoint.setPos(curvemath.freqtox(double(gMainApp->getxoverhighfreq())), 75);
        for (CHoverPoint *p : {&lpoint, &hpoint}) {
            p->setValueText(QString());
            p->setActive(false);
            p->setVisible(true);
        }
    }
    applyvisibility();
    update();
}

void CCurveWidget::updatepoint(int n)
{
    // Only the bands and the two crossover markers have an index.
    if (!((n >= 0 && n < kBands) || n == kLowPassPoint || n == kHighPassPoint))
        return;
    applyvisibility();
    CHoverPoint *p;
    if (n == kLowPassPoint) {
        p = &lpoint;
        p->setPos(curvemath.freqtox(gMainApp ? double(gMainApp->getxoverlowfreq()) : 21900.0), 75);
    } else if (n == kHighPassPoint) {
        p = &hpoint;
        p->setPos(curvemath.freqtox(gMainApp ? double(gMainApp->getxoverhighfreq()) : 10.0), 75);
    } else {
        p = &bandpoints[n];
        const QPoint pos = bandposition(n);
        p->setPos(pos.x(), pos.y());
    }
    setvaluetext(p);
    p->setActive(true);
    raisepoint(p);
    update();
}

void CCurveWidget::raisepoint(CHoverPoint *p)
{
    if (!p || (!pointlist.isEmpty() && pointlist.first() == p))
        return;
    if (!pointlist.isEmpty())
        pointlist.first()->setActive(false);
    pointlist.removeAll(p);
    p->setActive(true);
    pointlist.prepend(p);
}

void CCurveWidget::hoverPointActived(CHoverPoint *p)
{
    const int b = bandof(p);
    if (b >= 0) {
        setvaluetext(p);
        raisepoint(p);
        update();
        if (curband != b) {
            curband = b;
            emit btnschanged(b);
        }
    } else if (p == &hpoint || p == &lpoint) {
        setvaluetext(p);
        raisepoint(p);
        update();
    }
}

void CCurveWidget::hoverPointMoved(CHoverPoint *)
{
    update();
}

void CCurveWidget::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos(topixel(event->localPos().x()), topixel(event->localPos().y()));
    for (CHoverPoint *p : qAsConst(pointlist)) {
        // A hidden marker is no part of the device layout shown: it cannot be
        // picked, so its band or crossover is never edited from here.
        if (!p->isVisible())
            continue;
        if (p->rect().contains(pos)) {
            dragpoint = p;
            p->setActive(true);
            emit hoverActived(p);
            return;
        }
    }
}

void CCurveWidget::mouseReleaseEvent(QMouseEvent *)
{
    dragpoint = nullptr;
}

void CCurveWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragpoint)
        return;
    CHoverPoint *p = dragpoint;
    dragy = qBound(0, topixel(event->localPos().y()), 225);
    const int x = topixel(event->localPos().x());

    const int b = bandof(p);
    if (b >= 0) {
        const int type = gMainApp ? gMainApp->getpeqtype(b) : 0;
        if (type >= 0 && type <= 5) {
            struct Limits {
                int low, lowindex, high, highindex;
            };
            static const Limits kLimits[] = {{0, 35, 1, 398}, {0, 35, 2, 382}, {0, 35, 2, 382},
                                             {3, 65, 1, 394}, {3, 65, 1, 394}, {4, 35, 5, 394}};
            const Limits &l = kLimits[type];
            const int lowx = xlimits[l.low], highx = xlimits[l.high];
            const int y = type == 5 ? 75 : dragy;
            if (x <= lowx) {
                p->setPos(lowx, y);
                emit btnschangevalue(b, l.lowindex, y);
                return;
            }
            if (x >= highx) {
                p->setPos(highx, y);
                emit btnschangevalue(b, l.highindex, y);
                return;
            }
            p->setPos(x, y);
            emit btnschangevalue(b, int(curvemath.xtofreqindex(x)), y);
        }
    } else if (p == &lpoint) {
        if (x >= xlimits[1]) {
            p->setPos(xlimits[1], 75);
            emit btnscutchangevalue(0, 398);
            return;
        }
        p->setPos(x, 75);
        emit btnscutchangevalue(0, int(curvemath.xtofreqindex(x)));
    } else if (p == &hpoint) {
        if (x <= xlimits[0]) {
            p->setPos(xlimits[0], 75);
            emit btnscutchangevalue(1, 35);
            return;
        }
        p->setPos(x, 75);
        emit btnscutchangevalue(1, int(curvemath.xtofreqindex(x)));
    }
    emit hoverMoved(p);
}

void CCurveWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QBrush(QColor(255, 0, 0)), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    drawcurve(&painter);
    for (int k = pointlist.size() - 1; k >= 0; --k)
        pointlist.at(k)->paint(&painter, false);
    paintreadout(&painter);
}

QRect CCurveWidget::readoutbox(const CHoverPoint &p, const QSize &text) const
{
    // Beside the point, clear of its marker: below right, below left, above
    // right, above left; the first place inside the plot that covers no other
    // marker, else the first inside the plot.
    const int gap = 12;
    const QRect plot = rect();
    const int xs[2] = {p.getx() + gap, p.getx() - gap - text.width()};
    const int ys[2] = {p.gety() + gap, p.gety() - gap - text.height()};
    QRect fallback;
    for (int y : ys) {
        for (int x : xs) {
            QRect box(QPoint(x, y), text);
            if (!plot.contains(box))
                continue;
            bool covers = false;
            for (const CHoverPoint *other : pointlist)
                covers = covers || (other != &p && other->isVisible() && box.intersects(other->rect()));
            if (!covers)
                return box;
            if (fallback.isNull())
                fallback = box;
        }
    }
    if (fallback.isNull()) {
        // Larger than a quarter of the plot: held inside it.
        QRect box(QPoint(xs[0], ys[0]), text);
        box.moveLeft(qBound(0, box.left(), qMax(0, plot.width() - text.width())));
        box.moveTop(qBound(0, box.top(), qMax(0, plot.height() - text.height())));
        fallback = box;
    }
    return fallback;
}

void CCurveWidget::paintreadout(QPainter *painter)
{
    if (pointlist.isEmpty())
        return;
    const CHoverPoint *p = pointlist.first();
    if (!p->isActive() || !p->isVisible() || !p->hasImage() || p->index() != 0 ||
        p->valueText().trimmed().isEmpty())
        return;
    p->paintvalue(painter, readoutbox(*p, p->valuesize(*painter)));
}

void CCurveWidget::drawcurve(QPainter *painter)
{
    applyvisibility();
    eqresponse::CurveInput in;
    if (gMainApp && gMainApp->getcurdevice())
        in = eqresponse::curveinput(*gMainApp->getcurdevice(), gMainApp->getpeqchannel(), curvemath);
    const eqresponse::CurvePoints pts = eqresponse::computecurve(curvemath, in);
    labelbypass->setVisible(pts.bypassed);
    if (pts.flat) {
        painter->drawLine(2, 75, 809, 75);
        return;
    }
    paintresponse(*painter, pts.x.data(), pts.y.data(), eqresponse::kPoints, 810);
}
