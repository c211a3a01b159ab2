#include "painters.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace skin
{

QFont font(qreal pixelSize, bool bold)
{
    QFont f;
    // "Arial" resolves to a metric-compatible face through fontconfig; the
    // second family supplies the Chinese glyphs.
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void fitText(QPainter &p, const QRectF &box, const QString &text, const QColor &colour, qreal maxPixels,
             bool bold, int align)
{
    if (text.isEmpty() || box.isEmpty())
        return;
    qreal px = maxPixels;
    QFont f = font(px, bold);
    for (; px > 6; px -= 0.5) {
        f = font(px, bold);
        const QRectF need = QFontMetricsF(f).boundingRect(box, align, text);
        if (need.width() <= box.width() && need.height() <= box.height())
            break;
    }
    p.save();
    p.setFont(f);
    p.setPen(colour);
    p.drawText(box, align, text);
    p.restore();
}

namespace
{

struct FaceColours {
    QColor top, bottom, border;
};

FaceColours faceColours(Face face)
{
    switch (face) {
    case Face::Normal:
        return {QColor(78, 83, 90), QColor(50, 53, 58), colour::edge};
    case Face::Hover:
        return {QColor(104, 110, 118), QColor(70, 74, 80), QColor(130, 136, 145)};
    case Face::Pressed:
        return {colour::accentLo, colour::accentLo.darker(125), colour::accent};
    case Face::Lit:
        return {colour::accentHi, colour::accent, colour::accentHi.lighter(115)};
    case Face::Red:
        return {QColor(236, 84, 84), colour::red.darker(115), QColor(250, 130, 130)};
    case Face::Green:
        return {QColor(96, 214, 120), colour::green.darker(110), QColor(140, 230, 160)};
    case Face::Light:
        return {QColor(232, 232, 232), QColor(196, 198, 202), QColor(150, 150, 150)};
    }
    return {};
}

QRectF inset(const QRect &r, qreal by)
{
    return QRectF(r).adjusted(by, by, -by, -by);
}

void drawArrowHead(QPainter &p, const QRectF &box, Dir d, const QColor &c)
{
    const qreal s = qMin(box.width(), box.height()) * 0.42;
    const QPointF m = box.center();
    QPolygonF tri;
    switch (d) {
    case Dir::Up:
        tri << QPointF(m.x(), m.y() - s * 0.6) << QPointF(m.x() - s, m.y() + s * 0.5)
            << QPointF(m.x() + s, m.y() + s * 0.5);
        break;
    case Dir::Down:
        tri << QPointF(m.x(), m.y() + s * 0.6) << QPointF(m.x() - s, m.y() - s * 0.5)
            << QPointF(m.x() + s, m.y() - s * 0.5);
        break;
    case Dir::Left:
        tri << QPointF(m.x() - s * 0.6, m.y()) << QPointF(m.x() + s * 0.5, m.y() - s)
            << QPointF(m.x() + s * 0.5, m.y() + s);
        break;
    case Dir::Right:
        tri << QPointF(m.x() + s * 0.6, m.y()) << QPointF(m.x() - s * 0.5, m.y() - s)
            << QPointF(m.x() - s * 0.5, m.y() + s);
        break;
    }
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(tri);
    p.restore();
}

void drawPadlock(QPainter &p, const QRectF &box, const QColor &c)
{
    p.save();
    const qreal w = box.width(), h = box.height();
    QRectF body(box.left() + w * 0.18, box.top() + h * 0.45, w * 0.64, h * 0.5);
    p.setPen(QPen(c, qMax(1.5, w * 0.1)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(box.left() + w * 0.3, box.top() + h * 0.08, w * 0.4, h * 0.6), 0, 180 * 16);
    p.drawLine(QPointF(box.left() + w * 0.3, box.top() + h * 0.38),
               QPointF(box.left() + w * 0.3, body.top()));
    p.drawLine(QPointF(box.left() + w * 0.7, box.top() + h * 0.38),
               QPointF(box.left() + w * 0.7, body.top()));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(body, w * 0.06, w * 0.06);
    p.restore();
}

void drawGlyph(QPainter &p, const QRectF &box, Glyph g, const QColor &c)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = box.width(), h = box.height();
    const qreal x = box.left(), y = box.top();
    QPen pen(c, qMax(1.5, w / 11.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (g) {
    case Glyph::Plug: {
        // Plug with its cable.
        p.setBrush(c);
        p.drawRoundedRect(QRectF(x + w * 0.28, y + h * 0.32, w * 0.44, h * 0.34), 2, 2);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(x + w * 0.4, y + h * 0.32), QPointF(x + w * 0.4, y + h * 0.12));
        p.drawLine(QPointF(x + w * 0.6, y + h * 0.32), QPointF(x + w * 0.6, y + h * 0.12));
        p.drawLine(QPointF(x + w * 0.5, y + h * 0.66), QPointF(x + w * 0.5, y + h * 0.9));
        break;
    }
    case Glyph::Home: {
        QPolygonF roof;
        roof << QPointF(x + w * 0.1, y + h * 0.5) << QPointF(x + w * 0.5, y + h * 0.12)
             << QPointF(x + w * 0.9, y + h * 0.5);
        p.drawPolyline(roof);
        p.drawRect(QRectF(x + w * 0.24, y + h * 0.48, w * 0.52, h * 0.4));
        p.setBrush(c);
        p.drawRect(QRectF(x + w * 0.43, y + h * 0.64, w * 0.14, h * 0.24));
        break;
    }
    case Glyph::Gear: {
        const QPointF m = box.center();
        const qreal r = qMin(w, h) * 0.3;
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * M_PI / 4;
            p.drawLine(m + QPointF(qCos(a), qSin(a)) * r, m + QPointF(qCos(a), qSin(a)) * r * 1.45);
        }
        p.drawEllipse(m, r, r);
        p.drawEllipse(m, r * 0.4, r * 0.4);
        break;
    }
    case Glyph::Chain: {
        p.translate(box.center());
        p.rotate(-35);
        const qreal lw = w * 0.42, lh = h * 0.3;
        p.drawRoundedRect(QRectF(-lw * 0.95, -lh / 2, lw, lh), lh / 2, lh / 2);
        p.drawRoundedRect(QRectF(-lw * 0.05, -lh / 2, lw, lh), lh / 2, lh / 2);
        break;
    }
    case Glyph::Pages: {
        p.drawRect(QRectF(x + w * 0.18, y + h * 0.14, w * 0.42, h * 0.52));
        p.setBrush(colour::panel);
        p.drawRect(QRectF(x + w * 0.4, y + h * 0.34, w * 0.42, h * 0.52));
        p.drawLine(QPointF(x + w * 0.5, y + h * 0.52), QPointF(x + w * 0.72, y + h * 0.52));
        p.drawLine(QPointF(x + w * 0.5, y + h * 0.66), QPointF(x + w * 0.72, y + h * 0.66));
        break;
    }
    case Glyph::Padlock:
        drawPadlock(p, QRectF(x + w * 0.18, y + h * 0.08, w * 0.64, h * 0.84), c);
        break;
    case Glyph::Disk: {
        p.drawRoundedRect(QRectF(x + w * 0.18, y + h * 0.14, w * 0.64, h * 0.72), 2, 2);
        p.setBrush(c);
        p.drawRect(QRectF(x + w * 0.32, y + h * 0.14, w * 0.36, h * 0.22));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x + w * 0.3, y + h * 0.52, w * 0.4, h * 0.34));
        break;
    }
    case Glyph::Folder: {
        QPainterPath path;
        path.moveTo(x + w * 0.12, y + h * 0.82);
        path.lineTo(x + w * 0.12, y + h * 0.22);
        path.lineTo(x + w * 0.38, y + h * 0.22);
        path.lineTo(x + w * 0.46, y + h * 0.32);
        path.lineTo(x + w * 0.84, y + h * 0.32);
        path.lineTo(x + w * 0.84, y + h * 0.82);
        path.closeSubpath();
        p.drawPath(path);
        p.drawLine(QPointF(x + w * 0.12, y + h * 0.44), QPointF(x + w * 0.84, y + h * 0.44));
        break;
    }
    case Glyph::Port: {
        // Serial connector: trapezoid shell with two rows of pins.
        QPolygonF shell;
        shell << QPointF(x + w * 0.12, y + h * 0.28) << QPointF(x + w * 0.88, y + h * 0.28)
              << QPointF(x + w * 0.76, y + h * 0.72) << QPointF(x + w * 0.24, y + h * 0.72);
        p.drawPolygon(shell);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF(x + w * (0.26 + 0.12 * i), y + h * 0.42), w * 0.035, w * 0.035);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(x + w * (0.32 + 0.12 * i), y + h * 0.58), w * 0.035, w * 0.035);
        break;
    }
    }
    p.restore();
}

// Renders a painter into a transparent image, caps its alpha and draws it.
void drawCapped(QPainter &p, const QRect &r, int maxAlpha, const std::function<void(QPainter &)> &body)
{
    QImage img(r.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter q(&img);
        q.setRenderHint(QPainter::Antialiasing);
        q.setRenderHint(QPainter::TextAntialiasing);
        body(q);
    }
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(line[x]) > maxAlpha)
                line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), maxAlpha);
        }
    }
    p.drawImage(r.topLeft(), img);
}

} // namespace

QColor textOn(Face face)
{
    switch (face) {
    case Face::Lit:
    case Face::Light:
        return Qt::black;
    case Face::Red:
    case Face::Green:
    case Face::Pressed:
        return Qt::white;
    default:
        return colour::text;
    }
}

void drawFace(QPainter &p, const QRectF &r, Face face, qreal radius)
{
    const FaceColours c = faceColours(face);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.top);
    g.setColorAt(1, c.bottom);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c.border, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

Paint background(const QColor &fill)
{
    return [fill](QPainter &p, const QRect &r, Lang) { p.fillRect(r, fill); };
}

Paint panel(const Text &caption, const QColor &fill)
{
    return [caption, fill](QPainter &p, const QRect &r, Lang lang) {
        p.fillRect(r, colour::page);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, fill.lighter(112));
        g.setColorAt(1, fill);
        p.setPen(QPen(colour::edge, 1));
        p.setBrush(g);
        const qreal radius = qMin(6.0, qMin(r.width(), r.height()) / 4.0);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        if (!caption.en.isEmpty())
            fitText(p, QRectF(r.left() + 8, r.top() + 2, r.width() - 16, 18), caption.get(lang), colour::text,
                    13, true, Qt::AlignLeft | Qt::AlignVCenter);
    };
}

Paint face(Face f, const Text &label, qreal px)
{
    return [f, label, px](QPainter &p, const QRect &r, Lang lang) {
        drawFace(p, QRectF(r), f, qMin(5.0, qMin(r.width(), r.height()) / 4.0));
        fitText(p, inset(r, 2), label.get(lang), textOn(f), px);
    };
}

Paint arrow(Dir d, Face f)
{
    return [d, f](QPainter &p, const QRect &r, Lang) {
        drawFace(p, QRectF(r), f, 3);
        p.setRenderHint(QPainter::Antialiasing);
        drawArrowHead(p, inset(r, 2), d, f == Face::Normal ? colour::text : Qt::white);
    };
}

Paint grooveH()
{
    return [](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const qreal h = qMax(4.0, r.height() * 0.22);
        QRectF track(r.left() + 2, r.center().y() - h / 2 + 0.5, r.width() - 4, h);
        p.setPen(QPen(QColor(15, 16, 18), 1));
        p.setBrush(QColor(20, 21, 24));
        p.drawRoundedRect(track, h / 2, h / 2);
        p.setPen(QPen(colour::dim, 1));
        const int ticks = qMax(2, r.width() / 16);
        for (int i = 0; i <= ticks; ++i) {
            const qreal x = track.left() + 2 + (track.width() - 4) * i / ticks;
            p.drawLine(QPointF(x, r.bottom() - 2), QPointF(x, r.bottom() - 1 - qMax(2, r.height() / 7)));
        }
    };
}

namespace
{
// A vertical groove's dark track, centred; returns it.
QRectF vtrack(QPainter &p, const QRect &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = qMax(4.0, r.width() * 0.2);
    QRectF track(r.center().x() - w / 2 + 0.5, r.top() + 2, w, r.height() - 4);
    p.setPen(QPen(QColor(15, 16, 18), 1));
    p.setBrush(QColor(20, 21, 24));
    p.drawRoundedRect(track, w / 2, w / 2);
    return track;
}

// Tick marks on both sides of a vertical groove at height y.
void vtick(QPainter &p, const QRect &r, qreal y)
{
    p.drawLine(QPointF(r.left() + 1, y), QPointF(r.left() + qMax(3, r.width() / 6), y));
    p.drawLine(QPointF(r.right() - qMax(3, r.width() / 6), y), QPointF(r.right() - 1, y));
}
} // namespace

Paint grooveV(bool ticks)
{
    return [ticks](QPainter &p, const QRect &r, Lang) {
        const QRectF track = vtrack(p, r);
        if (!ticks)
            return;
        p.setPen(QPen(colour::dim, 1));
        const int n = qMax(2, r.height() / 20);
        for (int i = 0; i <= n; ++i)
            vtick(p, r, track.top() + 2 + (track.height() - 4) * i / n);
    };
}

Paint grooveV(qreal first, qreal last, int steps)
{
    return [first, last, steps](QPainter &p, const QRect &r, Lang) {
        vtrack(p, r);
        p.setPen(QPen(colour::dim, 1));
        for (int i = 0; i <= steps; ++i)
            vtick(p, r, r.top() + first + (last - first) * i / steps);
    };
}

Paint grooveV(const QVector<qreal> &rows)
{
    return [rows](QPainter &p, const QRect &r, Lang) {
        vtrack(p, r);
        p.setPen(QPen(colour::dim, 1));
        for (const qreal y : rows)
            vtick(p, r, r.top() + y);
    };
}

Paint fillV()
{
    return [](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const qreal w = qMax(4.0, r.width() * 0.2);
        QRectF track(r.center().x() - w / 2 + 0.5, r.top() + 2, w, r.height() - 4);
        QLinearGradient g(track.topLeft(), track.topRight());
        g.setColorAt(0, colour::accentHi);
        g.setColorAt(1, colour::accentLo);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(track, w / 2, w / 2);
    };
}

Paint handleH(Face f)
{
    return [f](QPainter &p, const QRect &r, Lang) {
        const QRectF body = QRectF(r).adjusted(1, 1, -1, -1);
        drawFace(p, body, f == Face::Pressed ? Face::Hover : Face::Normal, 3);
        p.setPen(QPen(f == Face::Pressed ? colour::accentHi : colour::text, 2));
        p.drawLine(QPointF(body.center().x(), body.top() + 3), QPointF(body.center().x(), body.bottom() - 3));
    };
}

Paint handleV(Face f)
{
    return [f](QPainter &p, const QRect &r, Lang) {
        const QRectF body = QRectF(r).adjusted(1, 1, -1, -1);
        drawFace(p, body, f == Face::Pressed ? Face::Hover : Face::Normal, 3);
        p.setPen(QPen(QColor(30, 30, 30), 1));
        for (int i = -2; i <= 2; ++i) {
            if (i == 0)
                continue;
            const qreal y = body.center().y() + i * body.height() / 9;
            p.drawLine(QPointF(body.left() + 4, y), QPointF(body.right() - 4, y));
        }
        p.setPen(QPen(f == Face::Pressed ? colour::accentHi : colour::text, 2));
        p.drawLine(QPointF(body.left() + 2, body.center().y()), QPointF(body.right() - 2, body.center().y()));
    };
}

Paint knob(Face f)
{
    return [f](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF c = inset(r, 2);
        QRadialGradient g(c.center() - QPointF(c.width() / 5, c.height() / 5), c.width() * 0.7);
        g.setColorAt(0, f == Face::Pressed ? colour::accentHi : QColor(130, 136, 145));
        g.setColorAt(1, f == Face::Pressed ? colour::accentLo : QColor(50, 53, 58));
        p.setPen(QPen(colour::edge, 1));
        p.setBrush(g);
        p.drawEllipse(c);
    };
}

Paint edit(bool light)
{
    return [light](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const qreal radius = qMin(4.0, r.height() / 4.0);
        p.setPen(QPen(light ? QColor(120, 120, 120) : QColor(12, 13, 15), 1));
        p.setBrush(light ? QColor(214, 216, 220) : QColor(18, 19, 22));
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    };
}

Paint combo()
{
    return [](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(colour::edge, 1));
        p.setBrush(QColor(24, 26, 29));
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        const qreal w = qMin(22, r.width() / 4);
        p.setPen(QPen(colour::edge, 1));
        p.drawLine(QPointF(r.right() - w, r.top() + 3), QPointF(r.right() - w, r.bottom() - 3));
    };
}

Paint comboArrow()
{
    return [](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        drawArrowHead(p, QRectF(r), Dir::Down, colour::text);
    };
}

Paint lockOverlay(const Text &label, int alpha, bool bothLanguages, const QRect &textBox)
{
    return [label, alpha, bothLanguages, textBox](QPainter &p, const QRect &r, Lang lang) {
        const QRect box =
            textBox.isNull() ? QRect(r.width() / 2 - 150, r.height() / 2 - 50, 300, 100) : textBox;
        const QString text = bothLanguages ? label.en + QLatin1Char('\n') + label.zh : label.get(lang);
        // A low, wide badge lies on a row of controls the lock disables: drawn
        // solid, the padlock left of the text, so that the controls beneath do
        // not show through the text.
        const bool low = box.width() >= 3 * box.height();
        const auto badge = [&](QPainter &q) {
            q.setPen(QPen(colour::edge, 1));
            q.setBrush(QColor(0, 0, 0, 255));
            q.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
            if (low) {
                const qreal lockH = box.height() * 0.6;
                drawPadlock(q, QRectF(box.left() + 10, box.center().y() - lockH / 2, lockH * 0.8, lockH),
                            colour::amber);
                const QRectF textArea(box.left() + 14 + lockH, box.top() + 3, box.width() - 22 - lockH,
                                      box.height() - 6);
                fitText(q, textArea, text, Qt::white, bothLanguages ? 17 : 24, true, Qt::AlignCenter);
                return;
            }
            const qreal lockH = box.height() * 0.3;
            drawPadlock(q, QRectF(box.center().x() - lockH * 0.4, box.top() + 6, lockH * 0.8, lockH),
                        colour::amber);
            const QRectF textArea(box.left() + 8, box.top() + 10 + lockH, box.width() - 16,
                                  box.height() - 14 - lockH);
            fitText(q, textArea, text, Qt::white, bothLanguages ? 17 : 24, true, Qt::AlignCenter);
        };
        drawCapped(p, r, alpha, [&](QPainter &q) {
            // Opaque images replace the page background; the others dim what lies beneath.
            q.fillRect(r, alpha >= 255 ? QColor(12, 12, 14) : QColor(0, 0, 0, alpha * 3 / 4));
            q.setPen(QPen(QColor(120, 126, 135, alpha >= 255 ? 60 : alpha), 1));
            for (int x = -r.height(); x < r.width(); x += 14)
                q.drawLine(x, r.height(), x + r.height(), 0);
            if (!low)
                badge(q);
        });
        if (low) {
            p.save();
            p.translate(r.topLeft());
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            badge(p);
            p.restore();
        }
    };
}

Paint title(const Text &label, const QColor &fill)
{
    return [label, fill](QPainter &p, const QRect &r, Lang lang) {
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, fill.lighter(118));
        g.setColorAt(1, fill);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 5, 5);
        p.setPen(QPen(colour::accent, 2));
        p.drawLine(QPointF(r.left() + 10, r.bottom() - 2), QPointF(r.right() - 10, r.bottom() - 2));
        fitText(p, inset(r, 4), label.get(lang), colour::text, r.height() * 0.6);
    };
}

Paint columns(const QVector<QPair<int, int>> &ranges, const QVector<Text> &captions)
{
    return [ranges, captions](QPainter &p, const QRect &r, Lang lang) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(colour::panel.red(), colour::panel.green(), colour::panel.blue(), 230));
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        for (int i = 0; i < ranges.size() && i < captions.size(); ++i) {
            const QRectF box(ranges[i].first, r.top() + 2, ranges[i].second, r.height() - 6);
            fitText(p, box, captions[i].get(lang), colour::text, 14);
        }
        p.setPen(QPen(colour::accent, 2));
        p.drawLine(QPointF(r.left() + 4, r.bottom() - 1), QPointF(r.right() - 4, r.bottom() - 1));
    };
}

Paint separator()
{
    return [](QPainter &p, const QRect &r, Lang) {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, Qt::transparent);
        g.setColorAt(0.5, colour::accent);
        g.setColorAt(1, Qt::transparent);
        p.fillRect(QRect(r.left(), r.center().y() - 1, r.width(), 2), g);
    };
}

namespace
{
// Level-meter segments: the lit ones on the gain strip, the unlit ones on the
// meter cover drawn at the same place (cover at 38,30 in the strip).
void drawSegments(QPainter &p, const QRectF &area, bool lit)
{
    const int n = 13;
    const qreal pitch = area.height() / n;
    for (int i = 0; i < n; ++i) {
        QColor c = i < 2 ? colour::red : i < 4 ? QColor(235, 200, 60) : colour::green;
        if (!lit)
            c = QColor(c.red() / 5 + 20, c.green() / 5 + 20, c.blue() / 5 + 20);
        p.fillRect(QRectF(area.left(), area.top() + i * pitch, area.width(), pitch - 2), c);
    }
}
} // namespace

Paint meterStrip()
{
    return [](QPainter &p, const QRect &r, Lang lang) {
        panel()(p, r, lang);
        // Well of the meter cover (38..56 x 30..114) and lit segments 43..52 x 32..110.
        p.fillRect(QRect(38, 30, 19, 85), QColor(10, 10, 12));
        drawSegments(p, QRectF(43, 32, 10, 79), true);
        // Wells of the slider and the value box.
        p.fillRect(QRect(8, 118, 60, 326), QColor(38, 40, 44));
    };
}

Paint meterCover()
{
    return [](QPainter &p, const QRect &r, Lang) {
        p.fillRect(r, QColor(10, 10, 12));
        drawSegments(p, QRectF(5, 2, 10, 79), false);
    };
}

Paint icon(Glyph g, Face f, const QColor &glyphColour)
{
    return [g, f, glyphColour](QPainter &p, const QRect &r, Lang) {
        drawFace(p, QRectF(r).adjusted(1, 1, -1, -1), f, 5);
        const qreal s = qMin(r.width(), r.height()) - 12;
        const QRectF box(r.center().x() - s / 2 + 0.5, r.center().y() - s / 2 + 0.5, s, s);
        drawGlyph(p, box, g, f == Face::Normal || f == Face::Hover ? glyphColour : Qt::white);
    };
}

Paint led(bool on, const QColor &onColour, Face f)
{
    return [on, onColour, f](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        drawFace(p, QRectF(r), f, 4);
        const qreal d = qMin(r.width(), r.height()) * 0.55;
        const QPointF m(r.left() + qMin(r.width() / 2.0, r.height() / 2.0 + 4), r.center().y() + 0.5);
        QRadialGradient g(m - QPointF(d / 6, d / 6), d / 1.6);
        g.setColorAt(0, on ? onColour.lighter(160) : QColor(90, 92, 96));
        g.setColorAt(1, on ? onColour.darker(120) : QColor(40, 42, 45));
        p.setPen(QPen(QColor(10, 10, 10), 1));
        p.setBrush(g);
        p.drawEllipse(m, d / 2, d / 2);
        if (r.width() > 2 * r.height()) {
            // Wide indicator: signal waves beside the lamp.
            p.setPen(QPen(on ? onColour.lighter(130) : colour::dim, 2));
            p.setBrush(Qt::NoBrush);
            for (int i = 1; i <= 3; ++i) {
                const qreal rad = d / 2 + 5 * i;
                p.drawArc(QRectF(m.x() - rad, m.y() - rad, 2 * rad, 2 * rad), -40 * 16, 80 * 16);
            }
        }
    };
}

Paint capSwitch(bool on)
{
    return [on](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(QRect(r.center().x() - 3, r.top() + 2, 6, r.height() - 4), QColor(14, 15, 17));
        const QRectF cap(r.left() + 1, on ? r.top() + 2 : r.bottom() - r.height() * 0.55, r.width() - 2,
                         r.height() * 0.52);
        drawFace(p, cap, on ? Face::Green : Face::Red, 4);
        fitText(p, cap.adjusted(1, 1, -1, -1), on ? QStringLiteral("ON") : QStringLiteral("OFF"), Qt::white,
                11);
    };
}

Paint toggle(bool on)
{
    return [on](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF track = QRectF(r).adjusted(1, r.height() * 0.2, -1, -r.height() * 0.2);
        p.setPen(QPen(QColor(10, 10, 10), 1));
        p.setBrush(on ? colour::green : QColor(60, 63, 68));
        p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
        const qreal d = track.height() + 2;
        const QPointF m(on ? track.right() - d / 2 + 1 : track.left() + d / 2 - 1, track.center().y());
        p.setBrush(on ? QColor(235, 235, 235) : QColor(150, 152, 156));
        p.drawEllipse(m, d / 2, d / 2);
    };
}

Paint speaker(bool muted, Face f)
{
    return [muted, f](QPainter &p, const QRect &r, Lang) {
        drawFace(p, QRectF(r), muted ? Face::Red : f, 4);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = qMin(r.width(), r.height()) * 0.6;
        const QRectF b(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
        const QColor c = muted ? Qt::white : colour::text;
        QPolygonF body;
        body << QPointF(b.left(), b.top() + s * 0.35) << QPointF(b.left() + s * 0.25, b.top() + s * 0.35)
             << QPointF(b.left() + s * 0.55, b.top() + s * 0.08)
             << QPointF(b.left() + s * 0.55, b.bottom() - s * 0.08)
             << QPointF(b.left() + s * 0.25, b.bottom() - s * 0.35)
             << QPointF(b.left(), b.bottom() - s * 0.35);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(body);
        p.setPen(QPen(c, qMax(1.5, s / 10), Qt::SolidLine, Qt::RoundCap));
        if (muted) {
            p.drawLine(QPointF(b.left() + s * 0.7, b.top() + s * 0.32),
                       QPointF(b.right(), b.bottom() - s * 0.32));
            p.drawLine(QPointF(b.left() + s * 0.7, b.bottom() - s * 0.32),
                       QPointF(b.right(), b.top() + s * 0.32));
        } else {
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(b.left() + s * 0.35, b.top() + s * 0.25, s * 0.5, s * 0.5), -50 * 16, 100 * 16);
            p.drawArc(QRectF(b.left() + s * 0.2, b.top() + s * 0.08, s * 0.84, s * 0.84), -50 * 16, 100 * 16);
        }
    };
}

Paint channelName(const QString &small, const QString &big)
{
    return [small, big](QPainter &p, const QRect &r, Lang) {
        drawFace(p, QRectF(r), Face::Normal, 3);
        const qreal smallH = r.height() * 0.3;
        fitText(p, QRectF(r.left() + 1, r.top() + 1, r.width() - 2, smallH), small, colour::text, smallH);
        fitText(p, QRectF(r.left() + 1, r.top() + smallH, r.width() - 2, r.height() - smallH - 1), big,
                Qt::white, r.height() - smallH);
    };
}

namespace
{
void stripBase(QPainter &p, const QRect &r)
{
    p.fillRect(r, colour::page);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(58, 62, 68));
    g.setColorAt(1, QColor(40, 43, 48));
    p.setPen(QPen(colour::edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r).adjusted(1.5, 2.5, -1.5, -2.5), 7, 7);
}

void valueWell(QPainter &p, const QRectF &r, const QColor &fill = QColor(18, 19, 22))
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0, -1, 0, 1), 3, 3);
}

void stripButton(QPainter &p, const QRect &r, const Text &label, Lang lang)
{
    face(Face::Normal, label, 13)(p, r, lang);
}
} // namespace

Paint inputStrip(const Text &gain, const Text &eq, const Text &delay)
{
    // Button faces under the transparent normal state of the gain, EQ and delay
    // buttons, and wells under the value labels; the mute paints itself.
    return [gain, eq, delay](QPainter &p, const QRect &r, Lang lang) {
        stripBase(p, r);
        stripButton(p, QRect(83, 13, 59, 34), gain, lang);
        stripButton(p, QRect(149, 13, 59, 34), eq, lang);
        stripButton(p, QRect(213, 13, 59, 34), delay, lang);
        valueWell(p, QRectF(80, 49, 65, 12));
        valueWell(p, QRectF(145, 48, 65, 12));
        valueWell(p, QRectF(211, 48, 69, 12));
    };
}

Paint outputStrip(const Text &gain, const Text &eq, const Text &delay, const Text &limit, const Text &peak)
{
    return [gain, eq, delay, limit, peak](QPainter &p, const QRect &r, Lang lang) {
        stripBase(p, r);
        // Routing letters show through the routing buttons that are off.
        const char *letters = "ABCD";
        const int xs[] = {50, 65, 81, 96};
        for (int i = 0; i < 4; ++i)
            fitText(p, QRectF(xs[i], 11, 20, 27), QString(QLatin1Char(letters[i])), colour::dim, 13);
        // The routing label's text is black.
        valueWell(p, QRectF(62, 44, 45, 12), QColor(176, 180, 186));
        stripButton(p, QRect(122, 9, 59, 34), gain, lang);
        stripButton(p, QRect(188, 9, 59, 34), eq, lang);
        stripButton(p, QRect(255, 9, 59, 34), delay, lang);
        stripButton(p, QRect(322, 9, 59, 34), limit, lang);
        stripButton(p, QRect(390, 9, 59, 34), peak, lang);
        valueWell(p, QRectF(122, 45, 65, 12));
        valueWell(p, QRectF(191, 43, 53, 14));
        valueWell(p, QRectF(250, 44, 70, 12));
        valueWell(p, QRectF(320, 44, 65, 12));
        valueWell(p, QRectF(388, 44, 65, 12));
        p.setPen(QPen(colour::edge, 1));
        p.drawLine(QPointF(454.5, 8), QPointF(454.5, r.height() - 8));
    };
}

Paint hoverPoint(bool active)
{
    return [active](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF c = QRectF(r).adjusted(2, 2, -2, -2);
        QRadialGradient g(c.center(), c.width() / 2);
        const QColor base = active ? colour::amber : colour::accent;
        g.setColorAt(0, base.lighter(140));
        g.setColorAt(1, base.darker(140));
        p.setPen(QPen(active ? Qt::white : QColor(20, 20, 20), active ? 2 : 1));
        p.setBrush(g);
        p.drawEllipse(c);
    };
}

Paint geqPoint()
{
    return [](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(colour::amber);
        p.drawEllipse(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5));
    };
}

Paint logo(const QString &mark, const QColor &tint)
{
    return [mark, tint](QPainter &p, const QRect &r, Lang) {
        p.setRenderHint(QPainter::Antialiasing);
        const qreal h = r.height();
        // Abstract speaker cone: concentric rings.
        for (int i = 3; i >= 1; --i) {
            p.setPen(Qt::NoPen);
            p.setBrush(i % 2 ? tint : tint.darker(200));
            const qreal d = h * (0.3 + 0.23 * i);
            p.drawEllipse(QPointF(h / 2, h / 2), d / 2, d / 2);
        }
        fitText(p, QRectF(h + 4, 0, r.width() - h - 6, h), mark, tint.lighter(130), h * 0.8, true,
                Qt::AlignLeft | Qt::AlignVCenter);
    };
}

Paint appIcon()
{
    return [](QPainter &p, const QRect &r, Lang lang) {
        face(Face::Lit)(p, r, lang);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 2));
        const qreal w = r.width();
        for (int i = 0; i < 3; ++i) {
            const qreal x = w * (0.3 + 0.2 * i);
            const qreal knobY = r.height() * (0.35 + 0.15 * ((i + 1) % 3));
            p.drawLine(QPointF(x, r.height() * 0.2), QPointF(x, r.height() * 0.8));
            p.fillRect(QRectF(x - 3, knobY - 2, 6, 4), Qt::black);
        }
    };
}

} // namespace skin
