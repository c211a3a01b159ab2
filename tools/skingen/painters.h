// Drawing primitives of the skin generator: every image of the application's
// dark theme is composed from these, so that all skins share one palette,
// one set of fonts and one button shape.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>
#include <QVector>
#include <functional>

namespace skin
{

enum class Lang { En, Zh };

// A label with its Chinese twin; the twin image of a skin carries zh.
struct Text {
    QString en;
    QString zh;
    QString get(Lang lang) const { return lang == Lang::Zh && !zh.isEmpty() ? zh : en; }
};

// Paints one image of the given size; the language picks the label of a twin.
using Paint = std::function<void(QPainter &, const QRect &, Lang)>;

// Palette of the theme.
namespace colour
{
const QColor page(30, 32, 36);
const QColor panel(46, 49, 54);
const QColor panelHi(62, 66, 72);
const QColor edge(92, 97, 105);
const QColor text(200, 200, 200);
const QColor dim(105, 110, 118);
const QColor accent(70, 140, 210);
const QColor accentHi(112, 176, 236);
const QColor accentLo(38, 92, 156);
const QColor red(205, 48, 48);
const QColor green(48, 168, 82);
const QColor amber(255, 174, 74);
const QColor net(64, 196, 220);
} // namespace colour

enum class Face { Normal, Hover, Pressed, Lit, Red, Green, Light };
enum class Dir { Up, Down, Left, Right };
enum class Glyph { Plug, Home, Gear, Chain, Pages, Padlock, Disk, Folder, Port };

QFont font(qreal pixelSize, bool bold = true);
// Draws text centred in the box, shrinking the font until it fits.
void fitText(QPainter &p, const QRectF &box, const QString &text, const QColor &colour, qreal maxPixels,
             bool bold = true, int align = Qt::AlignCenter);
void drawFace(QPainter &p, const QRectF &r, Face face, qreal radius = 4);
QColor textOn(Face face);

// Painters used by the skin table.
Paint background(const QColor &fill = colour::page);
Paint panel(const Text &title = {}, const QColor &fill = colour::panel);
Paint face(Face f, const Text &label = {}, qreal px = 14);
Paint arrow(Dir d, Face f);
Paint grooveH();
Paint grooveV(bool ticks = true);
// A vertical groove with `steps` + 1 tick marks, the first at row `first`
// and the last at row `last` of the picture (a slider's scale rows).
Paint grooveV(qreal first, qreal last, int steps);
// A vertical groove with a tick mark at each of the given rows of the picture.
Paint grooveV(const QVector<qreal> &rows);
Paint fillV();
Paint handleH(Face f);
Paint handleV(Face f);
Paint knob(Face f);
Paint edit(bool light);
Paint combo();
Paint comboArrow();
Paint lockOverlay(const Text &label, int alpha, bool bothLanguages, const QRect &textBox = QRect());
Paint title(const Text &label, const QColor &fill = colour::panel);
// Column captions: each caption centred over its x range (x, width) of the image.
Paint columns(const QVector<QPair<int, int>> &ranges, const QVector<Text> &captions);
Paint separator();
Paint meterStrip();
Paint meterCover();
Paint icon(Glyph g, Face f, const QColor &glyphColour = colour::text);
Paint led(bool on, const QColor &onColour = colour::green, Face f = Face::Normal);
Paint capSwitch(bool on);
Paint toggle(bool on);
Paint speaker(bool muted, Face f);
Paint channelName(const QString &small, const QString &big);
Paint inputStrip(const Text &gain, const Text &eq, const Text &delay);
Paint outputStrip(const Text &gain, const Text &eq, const Text &delay, const Text &limit, const Text &peak);
Paint hoverPoint(bool active);
Paint geqPoint();
Paint logo(const QString &mark, const QColor &tint);
Paint appIcon();

} // namespace skin
