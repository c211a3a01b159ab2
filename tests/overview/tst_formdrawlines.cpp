// The routing lines rendered into images, probed at each route's vertical
// segment and its end ellipses.

#include "formdrawlines.h"
#include "overviewfixture.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace
{

struct Probe {
    QPoint vertical; // a point on the vertical segment (x of the segment)
    QPoint start;    // inside the start ellipse
    QPoint end;      // inside the end ellipse
};

// Hand-picked from the layout: x of the vertical segment with the middle of
// its span, and the centres of the two ellipses.
Probe probe(int input, int o)
{
    static const int vx[4][8] = {{53, 58, 69, 66, 61, 57, 52, 47},
                                 {33, 40, 51, 49, 46, 42, 38, 33},
                                 {70, 75, 79, 83, 83, 80, 76, 70},
                                 {62, 66, 70, 75, 78, 75, 70, 65}};
    static const int from[4][8] = {{115, 125, 135, 145, 155, 165, 174, 183},
                                   {195, 205, 215, 225, 235, 245, 254, 263},
                                   {275, 285, 295, 304, 315, 325, 334, 343},
                                   {355, 364, 375, 385, 395, 405, 414, 423}};
    static const int startx[8] = {3, 8, 13, 14, 14, 13, 8, 3};
    static const int starty[4][8] = {{112, 122, 132, 142, 152, 162, 171, 180},
                                     {192, 202, 212, 222, 232, 242, 251, 260},
                                     {272, 282, 292, 302, 312, 322, 331, 340},
                                     {352, 362, 372, 382, 392, 402, 411, 420}};
    static const int endy[4] = {11, 25, 40, 54};
    static const int endx[4] = {95, 92, 92, 95};
    const int to = endy[input] + 72 * o;
    const int sx = startx[o] - (input == 3 ? 1 : 0);
    return {{vx[input][o], (from[input][o] + to) / 2}, {sx + 4, starty[input][o] + 2}, {endx[input] + 6, to}};
}

QImage render(FormDrawLines &w)
{
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    w.drawlines(&p);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// Fully covered pixel of the input's colour.
bool solid(const QImage &img, QPoint at, const QColor &c)
{
    return img.pixel(at) == c.rgba();
}

// A one-pixel line on whole coordinates half-covers the two pixel columns
// beside it: both show the colour, partly opaque.
bool online(const QImage &img, QPoint at, const QColor &c)
{
    for (int dx : {-1, 0}) {
        const QRgb px = img.pixel(at + QPoint(dx, 0));
        if (qAlpha(px) < 96 || qAbs(qRed(px) - c.red()) > 4 || qAbs(qGreen(px) - c.green()) > 4 ||
            qAbs(qBlue(px) - c.blue()) > 4)
            return false;
    }
    return true;
}

} // namespace

class TstFormDrawLines : public QObject
{
    Q_OBJECT
    OverviewFixture f;

    void routeall(bool on)
    {
        for (int o = 0; o < 8; ++o)
            OverviewFixture::setroutes(f.dev, o, on ? 0x0F : 0);
    }

private slots:
    void init() { f.setup(); }
    void cleanup() { f.teardown(); }

    void form()
    {
        FormDrawLines w;
        QCOMPARE(w.objectName(), QStringLiteral("FormDrawLines"));
        QCOMPARE(w.size(), QSize(115, 571));
        QCOMPARE(w.windowTitle(), QStringLiteral("Form"));
        QCOMPARE(f.page->findChild<FormDrawLines *>("widgetdrawlines")->geometry(), QRect(294, -1, 115, 571));
    }

    void nothingrouted()
    {
        routeall(false);
        FormDrawLines w;
        const QImage img = render(w);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QCOMPARE(qAlpha(img.pixel(x, y)), 0);
    }

    void singleroute_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        for (int input = 0; input < 4; ++input)
            for (int o = 0; o < 8; ++o)
                QTest::addRow("IN-%c OUT%d", 'A' + input, o + 1) << input << o;
    }
    // One route alone: its segment and ellipses in its colour, nothing at
    // another input's end point of the same output.
    void singleroute()
    {
        QFETCH(int, input);
        QFETCH(int, output);
        routeall(false);
        OverviewFixture::setroutes(f.dev, output, 8 >> input);
        FormDrawLines w;
        const QImage img = render(w);
        const QColor c = FormDrawLines::inputcolour(input);
        const Probe p = probe(input, output);
        QVERIFY(online(img, p.vertical, c));
        QVERIFY(solid(img, p.start, c));
        QVERIFY(solid(img, p.end, c));
        const Probe other = probe((input + 2) % 4, output);
        QCOMPARE(qAlpha(img.pixel(other.end)), 0);
    }

    // All 32 routes: every end point in its input's colour, and where IN-D's
    // route to OUT1 crosses IN-A's route to OUT6, IN-D lies on top.
    void allroutes()
    {
        routeall(true);
        FormDrawLines w;
        const QImage img = render(w);
        for (int input = 0; input < 4; ++input)
            for (int o = 0; o < 8; ++o)
                QVERIFY(solid(img, probe(input, o).end, FormDrawLines::inputcolour(input)));

        // The same two routes drawn alone in either order.
        auto pair = [&](bool dlast) {
            QImage ref(w.size(), QImage::Format_ARGB32_Premultiplied);
            ref.fill(Qt::transparent);
            QPainter p(&ref);
            p.setRenderHint(QPainter::Antialiasing);
            for (int input : dlast ? QVector<int>{0, 3} : QVector<int>{3, 0}) {
                const QColor c = FormDrawLines::inputcolour(input);
                p.setPen(QPen(QBrush(c), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
                p.setBrush(c);
                if (input == 0)
                    w.drawlinesa(&p, 5);
                else
                    w.drawlinesd(&p, 0);
            }
            p.end();
            return ref.convertToFormat(QImage::Format_ARGB32);
        };
        const QImage dontop = pair(true);
        const QImage aontop = pair(false);
        const QPoint crossing(57, 355);
        QVERIFY(dontop.pixel(crossing) != aontop.pixel(crossing));
        QCOMPARE(img.pixel(crossing), dontop.pixel(crossing));
    }

    // Turning IN-B off for OUT4 removes only the green route that ends at y 241.
    void oneroutetakenaway()
    {
        routeall(true);
        f.dev->setrouteinb(3, false);
        FormDrawLines w;
        const QImage img = render(w);
        QCOMPARE(qAlpha(img.pixel(probe(1, 3).end)), 0);
        QCOMPARE(probe(1, 3).end.y(), 241);
        for (int input = 0; input < 4; ++input)
            for (int o = 0; o < 8; ++o)
                if (input != 1 || o != 3)
                    QVERIFY(solid(img, probe(input, o).end, FormDrawLines::inputcolour(input)));
    }

    // The widget paints through its paint event and keeps the page visible
    // where it draws nothing.
    void paintsitself()
    {
        routeall(false);
        OverviewFixture::setroutes(f.dev, 7, 0x01);
        QWidget back;
        back.resize(115, 571);
        back.setAutoFillBackground(true);
        QPalette pal;
        pal.setColor(QPalette::Window, Qt::white);
        back.setPalette(pal);
        auto *w = new FormDrawLines(&back);
        w->move(0, 0);
        const QImage img = back.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(solid(img, probe(3, 7).end, FormDrawLines::inputcolour(3)));
        QCOMPARE(img.pixel(probe(0, 0).end), QColor(Qt::white).rgba());
    }
};

QTEST_MAIN(TstFormDrawLines)
#include "tst_formdrawlines.moc"
