// The routing lines rendered into images, probed on each route.

#include "formdrawlines.h"
#include "overviewfixture.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace
{

struct Probe {
    QPoint vertical, start, end; // on the vertical segment; inside the start and end ellipses
};

// From the layout: the x of each route's vertical segment; start ellipses 10
// (then 9) pixels apart in one column per input, bowing right and back; end
// ellipses in a band of four per output, 72 pixels apart.
Probe probe(int input, int o)
{
    static const int vx[4][8] = {{53, 58, 69, 66, 61, 57, 52, 47},
                                 {33, 40, 51, 49, 46, 42, 38, 33},
                                 {70, 75, 79, 83, 83, 80, 76, 70},
                                 {62, 66, 70, 75, 78, 75, 70, 65}};
    static const int startx[8] = {3, 8, 13, 14, 14, 13, 8, 3};
    static const int starty[8] = {0, 10, 20, 30, 40, 50, 59, 68};
    static const int endx[4] = {95, 92, 92, 95};
    static const int endy[4] = {11, 25, 40, 54};
    const int sy = 112 + 80 * input + starty[o];
    const int to = endy[input] + 72 * o;
    return {{vx[input][o], (sy + 3 + to) / 2}, {startx[o] - (input == 3) + 4, sy + 2}, {endx[input] + 6, to}};
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

    // The lead from a start ellipse to the route's bend: level, except that
    // IN-D's lead to OUT2 rises one pixel on its way (from y 365 to 364), so
    // near the bend it reaches the pixel row above its start.
    void leads_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("IN-D OUT2 near the bend, one row up") << 3 << 1 << QPoint(62, 363) << true;
        QTest::newRow("IN-D OUT2 near the start, not yet") << 3 << 1 << QPoint(17, 363) << false;
        QTest::newRow("IN-D OUT2 near the bend, on the lead") << 3 << 1 << QPoint(62, 364) << true;
        QTest::newRow("IN-D OUT3 level") << 3 << 2 << QPoint(66, 373) << false;
        QTest::newRow("IN-D OUT3 on the lead") << 3 << 2 << QPoint(66, 374) << true;
    }
    void leads()
    {
        QFETCH(int, input);
        QFETCH(int, output);
        QFETCH(QPoint, probe);
        QFETCH(bool, drawn);
        routeall(false);
        OverviewFixture::setroutes(f.dev, output, 8 >> input);
        FormDrawLines w;
        const QImage img = render(w);
        QVERIFY2((qAlpha(img.pixel(probe)) >= 48) == drawn,
                 qPrintable(QString::number(qAlpha(img.pixel(probe)))));
    }

    // Every end point in its input's colour exactly where the model routes;
    // with all 32, IN-D's route to OUT1 lies on top of IN-A's route to OUT6
    // where they cross.
    void routes_data()
    {
        QTest::addColumn<int>("routing"); // the routing byte of every output
        QTest::addColumn<QPoint>("off");  // input and output of one route taken away; -1 none
        QTest::newRow("none") << 0x00 << QPoint(-1, -1);
        QTest::newRow("all") << 0x0F << QPoint(-1, -1);
        QTest::newRow("all but IN-B to OUT4") << 0x0F << QPoint(1, 3);
    }
    void routes()
    {
        QFETCH(int, routing);
        QFETCH(QPoint, off);
        routeall(routing != 0);
        if (off.x() >= 0)
            f.dev->setrouteinb(off.y(), false);
        FormDrawLines w;
        const QImage img = render(w);
        int drawn = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                drawn += qAlpha(img.pixel(x, y)) != 0;
        QCOMPARE(drawn == 0, routing == 0);
        for (int input = 0; input < 4; ++input) {
            for (int o = 0; o < 8; ++o) {
                const QPoint end = probe(input, o).end;
                if (routing && QPoint(input, o) != off)
                    QVERIFY(solid(img, end, FormDrawLines::inputcolour(input)));
                else
                    QCOMPARE(qAlpha(img.pixel(end)), 0);
            }
        }
        if (routing != 0x0F || off.x() >= 0)
            return;
        // The same two routes drawn alone in either order.
        auto pair = [&](std::initializer_list<int> order) {
            QImage ref(w.size(), QImage::Format_ARGB32_Premultiplied);
            ref.fill(Qt::transparent);
            QPainter p(&ref);
            p.setRenderHint(QPainter::Antialiasing);
            for (int input : order) {
                const QColor c = FormDrawLines::inputcolour(input);
                p.setPen(QPen(QBrush(c), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
                p.setBrush(c);
                input == 0 ? w.drawlinesa(&p, 5) : w.drawlinesd(&p, 0);
            }
            p.end();
            return ref.convertToFormat(QImage::Format_ARGB32).pixel(57, 355);
        };
        QVERIFY(pair({0, 3}) != pair({3, 0}));
        QCOMPARE(img.pixel(57, 355), pair({0, 3}));
    }

    // The widget paints through its paint event and keeps the page visible
    // where it draws nothing.
    void paintsitself()
    {
        routeall(false);
        OverviewFixture::setroutes(f.dev, 7, 0x01);
        QWidget back;
        back.resize(115, 571);
        back.setStyleSheet("background: white");
        new FormDrawLines(&back);
        const QImage img = back.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(solid(img, probe(3, 7).end, FormDrawLines::inputcolour(3)));
        QCOMPARE(img.pixel(probe(0, 0).end), QColor(Qt::white).rgba());
    }
};

QTEST_MAIN(TstFormDrawLines)
#include "tst_formdrawlines.moc"
