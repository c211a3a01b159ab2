// The transfer curve: where its threshold point and ratio handle lie, what a
// drag makes of the pointer, and which presses grab a point.

#include "compressorcur.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

class TstCompressorCur : public QObject
{
    Q_OBJECT

    static void drag(CompressorCur &c, QPoint p, QPoint q, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(&c, button, {}, p);
        QMouseEvent move(QEvent::MouseMove, q, Qt::NoButton, button, {});
        QApplication::sendEvent(&c, &move);
        QTest::mouseRelease(&c, button, {}, q);
    }

private slots:
    void points_data()
    {
        QTest::addColumn<float>("db");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("handle");
        QTest::newRow("default 10 dB") << 10.f << 0 << true << QPoint(225, 58) << QPoint(270, 20);
        QTest::newRow("-20 dB, 1.2:1") << -20.f << 0 << true << QPoint(90, 193) << QPoint(270, 43);
        QTest::newRow("0 dB, 2:1") << 0.f << 2 << true << QPoint(180, 103) << QPoint(270, 58);
        QTest::newRow("index past the table is 128:1")
            << 0.f << 12 << true << QPoint(180, 103) << QPoint(270, 102);
        QTest::newRow("not editable: flat") << 0.f << 0 << false << QPoint(180, 103) << QPoint(270, 103);
        // Unrounded product 225.45: x truncates down, y from 57.55 down too.
        QTest::newRow("10.1 dB") << 10.1f << 4 << true << QPoint(225, 57) << QPoint(270, 45);
        QTest::newRow("outside the range: off the plot")
            << 30.f << 0 << true << QPoint(315, -32) << QPoint(270, 5);
    }
    void points()
    {
        QFETCH(float, db);
        QFETCH(int, ratio);
        QFETCH(bool, editable);
        QFETCH(QPoint, point);
        QFETCH(QPoint, handle);
        const QPoint t = CompressorCur::thresholdpoint(db);
        QCOMPARE(t, point);
        QCOMPARE(CompressorCur::ratiohandle(t, ratio, editable), handle);
    }

    // Every ratio of the table at threshold -20 dB, the longest run the page
    // allows (180 pixels): where its handle lies, where the picture draws the
    // handle and the curve, and that dragging the handle there picks it. The
    // heights are trunc(193 - 180 / ratio), worked out by hand.
    void ratios_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("y"); // the handle's height
        const double ratios[] = {1.2, 1.5, 2, 3, 4, 6, 10, 20, 40, 128};
        const int ys[] = {43, 73, 103, 133, 148, 163, 175, 184, 188, 191};
        for (int k = 0; k < 10; ++k)
            QTest::addRow("%g:1", ratios[k]) << k << ratios[k] << ys[k];
    }
    void ratios()
    {
        QFETCH(int, index);
        QFETCH(double, ratio);
        QFETCH(int, y);
        const QPoint t = CompressorCur::thresholdpoint(-20);
        QCOMPARE(t, QPoint(90, 193));
        QCOMPARE(CompressorCur::ratiohandle(t, index, true), QPoint(270, y));

        CompressorCur c;
        c.resize(285, 285);
        c.setmaxvalue(20);
        c.setminvalue(-20);
        c.setratioeditable(true);
        c.setthreshold(-20);
        c.knee = 1;
        c.setratioindex(uchar(index));
        const QImage shot = c.grab().toImage();
        const QRgb background = shot.pixel(280, 5);
        // Right of the plot only the handle's square is drawn, 8 pixels high
        // around the handle; its top and bottom edges each cover two rows.
        QList<int> square;
        for (int row = 0; row < shot.height(); ++row) {
            const QColor p(shot.pixel(272, row));
            if (p.red() > p.green() + 60 && p.red() > p.blue() + 60)
                square << row;
        }
        QCOMPARE(square, (QList<int>{y - 5, y - 4, y + 3, y + 4}));
        // The curve after the threshold falls 1 dB for every `ratio` dB: its
        // top edge in two columns off the grid lies on that line.
        for (const int x : {200, 260}) {
            const double expected = 193 - (x - 90) / ratio;
            int top = 14;
            while (top < 283 && (shot.pixel(x, top) == background || top % 45 == 13))
                ++top;
            QVERIFY2(
                top >= expected - 3 && top <= expected + 1,
                qPrintable(QStringLiteral("column %1: top %2, line at %3").arg(x).arg(top).arg(expected)));
        }

        // Dragged from the gentlest ratio's handle onto this one's, the handle
        // picks this ratio; one pixel higher, the next gentler one.
        for (const int dy : {0, -1}) {
            c.setratioindex(0);
            c.cleardragpoint();
            drag(c, {270, 43}, {270, y + dy});
            QCOMPARE(c.lastdragged, 1);
            QCOMPARE(int(c.getratioindex()), dy == 0 ? index : std::max(index - 1, 0));
        }
    }

    // The frame and the 10 dB grid, each line pixel by pixel along its whole
    // length: grey on the line, the widget's background beside it (but where
    // another line crosses). The curve sits on the bottom edge (threshold
    // -40 dB, ratio not editable), so nothing else is drawn over the plot
    // but its threshold square in the bottom left corner. The bottom edge
    // (y 283) lies just below the 283-pixel picture and is not seen.
    void gridlines_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("at"); // x of a vertical line, y of a horizontal one
        for (int x = 0; x <= 270; x += 45)
            QTest::addRow("x %d", x) << true << x;
        for (int y = 13; y <= 238; y += 45)
            QTest::addRow("y %d", y) << false << y;
    }
    void gridlines()
    {
        QFETCH(bool, vertical);
        QFETCH(int, at);
        CompressorCur c;
        c.resize(285, 285);
        c.setminvalue(-40);
        c.setthreshold(-40);
        c.knee = 0; // no curve line
        const QImage shot = c.grab().toImage();
        const QRgb background = shot.pixel(280, 5);
        const QRgb grey = qRgb(150, 150, 150);
        const auto online = [](int x, int y) {
            return (x % 45 == 0 && y >= 13 && y <= 283) || ((y - 13) % 45 == 0 && x >= 0 && x <= 270);
        };
        const auto undersquare = [](int x, int y) { return x <= 5 && y >= 277; };
        for (int along = vertical ? 13 : 0; along <= (vertical ? 282 : 270); ++along) {
            const int x = vertical ? at : along;
            const int y = vertical ? along : at;
            if (undersquare(x, y))
                continue;
            QVERIFY2(shot.pixel(x, y) == grey,
                     qPrintable(QStringLiteral("(%1, %2) off the line").arg(x).arg(y)));
            for (const int side : {-1, 1}) {
                const int sx = vertical ? x + side : x;
                const int sy = vertical ? y : y + side;
                // The bottom rows take the edge of the area under the flat curve.
                if (sx < 0 || sy > 280 || online(sx, sy) || undersquare(sx, sy))
                    continue;
                QVERIFY2(shot.pixel(sx, sy) == background,
                         qPrintable(QStringLiteral("(%1, %2) drawn beside the line").arg(sx).arg(sy)));
            }
        }
    }

    void kneecontrols()
    {
        const QPoint t(180, 103);
        const int lift[7] = {0, 0, 4, 3, 2, 1, 0};
        for (int knee = 0; knee < 7; ++knee)
            QCOMPARE(CompressorCur::kneecontrol(t, knee), t - QPoint(0, lift[knee]));
        QCOMPARE(CompressorCur::kneecontrol(t, 9), t);
    }

    void dragthreshold_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<float>("db");
        QTest::newRow("0 dB") << 103 << 0.f;
        QTest::newRow("y 128") << 128 << (155.f / 4.5f - 40.f);
        QTest::newRow("above +20: clamped") << 0 << 20.f;
        QTest::newRow("below the picture: -40 then the floor") << 400 << -20.f;
    }
    void dragthreshold()
    {
        QFETCH(int, y);
        QFETCH(float, db);
        QCOMPARE(CompressorCur::dragthreshold(y, -20, 20), db);
    }

    // The ratio drag takes the flattest ratio whose handle is still at or
    // above the pointer, measured in the plot.
    void dragratio_data()
    {
        QTest::addColumn<float>("db");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("ratio");
        QTest::newRow("on the 2:1 handle") << 0.f << 58 << 2;
        QTest::newRow("one above the 2:1 handle") << 0.f << 57 << 1;
        QTest::newRow("below every handle") << 0.f << 283 << 9;
        QTest::newRow("above every handle") << 0.f << 13 << 0;
        QTest::newRow("threshold -20, 4:1 handle") << -20.f << 148 << 4;
    }
    void dragratio()
    {
        QFETCH(float, db);
        QFETCH(int, y);
        QFETCH(int, ratio);
        const QPoint t = CompressorCur::thresholdpoint(db);
        QCOMPARE(CompressorCur::dragratio(t, y), ratio);
        QVERIFY(CompressorCur::ratiohandle(t, ratio, true).y() <= y || ratio == 0);
    }

    void startsidle()
    {
        CompressorCur c;
        QCOMPARE(c.getdragpoint(), -1);
        QCOMPARE(c.getthreshold(), 10.f);
        QCOMPARE(c.getmaxvalue(), 16.f);
        // A move before any press drags nothing.
        QSignalSpy spy(&c, &CompressorCur::updateholdvalues);
        QMouseEvent move(QEvent::MouseMove, QPoint(225, 58), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&c, &move);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(c.getthreshold(), 10.f);
    }

    void drags()
    {
        CompressorCur c;
        c.resize(285, 285);
        c.setmaxvalue(20);
        c.setminvalue(-20);
        c.setratioeditable(true);
        c.setthreshold(0);
        c.setratioindex(2);
        QSignalSpy spy(&c, &CompressorCur::updateholdvalues);

        // The threshold point follows the pointer's height, kept under the diagonal.
        drag(c, {181, 104}, {200, 128});
        QCOMPARE(spy.count(), 1);
        QCOMPARE(c.lastdragged, 0);
        QCOMPARE(c.getthreshold(), 155.f / 4.5f - 40.f);
        c.cleardragpoint();
        drag(c, CompressorCur::thresholdpoint(c.getthreshold()), {100, 10});
        QCOMPARE(c.getthreshold(), 100.f / 4.5f - 40.f); // y 183: under the diagonal at x 100

        // The ratio handle: the pointer on the 4:1 handle picks 4:1.
        c.setthreshold(0);
        drag(c, {270, 58}, {270, 80});
        QCOMPARE(c.lastdragged, 1);
        QCOMPARE(int(c.getratioindex()), 4);

        // A right press grabs nothing; neither does a press beside the points.
        spy.clear();
        drag(c, {180, 103}, {180, 150}, Qt::RightButton);
        drag(c, {20, 20}, {180, 150});
        QCOMPARE(spy.count(), 0);
        QCOMPARE(c.getthreshold(), 0.f);
        QCOMPARE(c.getdragpoint(), -1);

        // Without an editable ratio the handle cannot be grabbed.
        c.setratioeditable(false);
        drag(c, {270, 103}, {270, 140});
        QCOMPARE(int(c.getratioindex()), 4);
    }

    void paints()
    {
        CompressorCur c;
        c.resize(285, 285);
        c.setmaxvalue(20);
        c.setminvalue(-20);
        c.setratioeditable(true);
        c.setthreshold(0);
        QVector<QImage> shots;
        for (int knee : {0, 1, 3, 9}) {
            c.knee = knee;
            shots << c.grab().toImage();
            // The left frame line.
            QCOMPARE(QColor(shots.last().pixel(0, 200)), QColor(150, 150, 150));
        }
        // The hard knee draws a line the others do not; knee 9 draws none.
        QVERIFY(shots[1] != shots[0]);
        QVERIFY(shots[2] != shots[1]);
        QVERIFY(shots[3] != shots[1]);
    }
};

QTEST_MAIN(TstCompressorCur)
#include "tst_compressorcur.moc"
