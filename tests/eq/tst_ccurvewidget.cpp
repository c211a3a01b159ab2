// The response curve's markers driven with synthetic mouse events: the drag
// limits of each band type, the clamped row, the open sides of the crossover
// markers, the signals emitted and not emitted, and the device layout's
// hidden markers.

#include "ccurvewidget.h"
#include "eqfixture.h"

#include <QImage>
#include <QSignalSpy>

class TstCCurveWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.setup(); }
    void cleanup() { fx.teardown(); }

    void visibility_data();
    void visibility();
    void bandlimits_data();
    void bandlimits();
    void crossover();
    void selection();
    void hiddennotdraggable();
    void updatepoint();
    void valuetext();
    void paintbypassed();

private:
    EqFixture fx;
};

void TstCCurveWidget::visibility_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("shown"); // bands shown, from band 1
    QTest::addColumn<bool>("crossover");
    QTest::newRow("type 24 input") << 0x18 << 0 << 4 << false;
    QTest::newRow("type 24 output") << 0x18 << 4 << 5 << true;
    QTest::newRow("type 22 input") << 0x16 << 2 << 7 << false;
    QTest::newRow("type 20 output") << 0x14 << 11 << 7 << true;
}

void TstCCurveWidget::visibility()
{
    QFETCH(int, type);
    QFETCH(int, channel);
    QFETCH(int, shown);
    QFETCH(bool, crossover);
    gMainApp->setdevtype(uchar(type));
    EqFixture::setchannel(channel);
    CCurveWidget w;
    w.loadpoints();
    for (int b = 0; b < 7; ++b)
        QCOMPARE(w.bandpoint(b).isVisible(), b < shown);
    QCOMPARE(w.highpoint().isVisible(), crossover);
    QCOMPARE(w.lowpoint().isVisible(), crossover);
}

void TstCCurveWidget::bandlimits_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("tox");
    QTest::addColumn<int>("toy");
    QTest::addColumn<int>("x");     // where the marker stays
    QTest::addColumn<int>("index"); // reported
    QTest::addColumn<int>("y");     // reported
    QTest::newRow("PEQ far left") << 0 << -300 << 40 << 70 << 35 << 40;
    QTest::newRow("PEQ far right") << 0 << 2000 << 40 << 800 << 398 << 40;
    QTest::newRow("PEQ above the widget") << 0 << 478 << -50 << 478 << 238 << 0;
    QTest::newRow("PEQ below the widget") << 0 << 478 << 900 << 478 << 238 << 225;
    QTest::newRow("low shelf right limit") << 1 << 780 << 60 << 767 << 382 << 60;
    QTest::newRow("high shelf left limit") << 3 << 0 << 60 << 130 << 65 << 60;
    QTest::newRow("high shelf 12 dB right") << 4 << 900 << 60 << 800 << 394 << 60;
    QTest::newRow("all pass keeps 0 dB") << 5 << 478 << 10 << 478 << 238 << 75;
    QTest::newRow("all pass right limit") << 5 << 795 << 200 << 791 << 394 << 75;
}

void TstCCurveWidget::bandlimits()
{
    QFETCH(int, type);
    QFETCH(int, tox);
    QFETCH(int, toy);
    QFETCH(int, x);
    QFETCH(int, index);
    QFETCH(int, y);
    fx.dev->setpeqtype(0, 1, type);
    fx.dev->setpeqfreq(0, 1, 238);
    fx.dev->setpeqgain(0, 1, 300);
    CCurveWidget w;
    w.loadpoints();
    const QPoint start(w.bandpoint(1).getx(), w.bandpoint(1).gety());
    QCOMPARE(start, QPoint(478, 75));
    QSignalSpy values(&w, &CCurveWidget::btnschangevalue);
    QSignalSpy cuts(&w, &CCurveWidget::btnscutchangevalue);
    EqFixture::press(&w, start);
    EqFixture::move(&w, QPointF(tox, toy));
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0), (QVariantList{1, index, y}));
    QCOMPARE(w.bandpoint(1).getx(), x);
    QCOMPARE(w.bandpoint(1).gety(), y);
    QCOMPARE(cuts.count(), 0);
    // After the release moves report nothing.
    EqFixture::release(&w, QPointF(tox, toy));
    EqFixture::move(&w, QPointF(300, 100));
    QCOMPARE(values.count(), 1);
}

void TstCCurveWidget::crossover()
{
    EqFixture::setchannel(5);
    fx.dev->sethpffreq(1, 100);
    fx.dev->setlpffreq(1, 300);
    CCurveWidget w;
    w.loadpoints();
    QSignalSpy cuts(&w, &CCurveWidget::btnscutchangevalue);
    QSignalSpy values(&w, &CCurveWidget::btnschangevalue);
    QSignalSpy selected(&w, &CCurveWidget::btnschanged);

    // "L" has no lower limit: index 0 at x 0 and below; it stays on 0 dB.
    const CHoverPoint &l = w.lowpoint();
    EqFixture::press(&w, QPointF(l.getx(), l.gety()));
    EqFixture::move(&w, QPointF(-40, 10));
    QCOMPARE(cuts.takeFirst(), (QVariantList{0, 0}));
    QCOMPARE(QPoint(l.getx(), l.gety()), QPoint(-40, 75));
    EqFixture::move(&w, QPointF(850, 10));
    QCOMPARE(cuts.takeFirst(), (QVariantList{0, 398}));
    QCOMPARE(l.getx(), 800);
    EqFixture::release(&w, QPointF());

    // "H" has no upper limit; its lower limit is 70 (index 35).
    const CHoverPoint &h = w.highpoint();
    EqFixture::press(&w, QPointF(h.getx(), h.gety()));
    EqFixture::move(&w, QPointF(20, 200));
    QCOMPARE(cuts.takeFirst(), (QVariantList{1, 35}));
    QCOMPARE(h.getx(), 70);
    EqFixture::move(&w, QPointF(1000, 200));
    QCOMPARE(cuts.takeFirst(), (QVariantList{1, 398}));
    QCOMPARE(h.getx(), 1000);
    QCOMPARE(w.draggedy(), 200);
    EqFixture::release(&w, QPointF());

    QCOMPARE(values.count(), 0);
    QCOMPARE(selected.count(), 0);
}

void TstCCurveWidget::selection()
{
    CCurveWidget w;
    w.loadpoints();
    for (int b = 0; b < 4; ++b)
        fx.dev->setpeqfreq(0, b, 100 + 60 * b);
    w.loadpoints();
    QSignalSpy selected(&w, &CCurveWidget::btnschanged);
    auto pressband = [&](int b) {
        EqFixture::press(&w, QPointF(w.bandpoint(b).getx(), w.bandpoint(b).gety()));
        EqFixture::release(&w, QPointF(w.bandpoint(b).getx(), w.bandpoint(b).gety()));
    };
    pressband(2);
    pressband(2);
    QCOMPARE(selected.count(), 1);
    pressband(3);
    pressband(2);
    QCOMPARE(selected.count(), 3);
    QCOMPARE(selected.at(1), QVariantList{3});
    QCOMPARE(selected.at(2), QVariantList{2});
    QCOMPARE(w.toppoint(), &w.bandpoint(2));
    QVERIFY(w.bandpoint(2).isActive());
    QVERIFY(!w.bandpoint(3).isActive());
    // A press on empty space leaves the active marker active.
    EqFixture::press(&w, QPointF(5, 220));
    QVERIFY(w.bandpoint(2).isActive());
    QCOMPARE(selected.count(), 3);
}

// Markers the device layout hides are no part of the hit test: their bands
// (and an input's crossover) cannot be edited from the curve.
void TstCCurveWidget::hiddennotdraggable()
{
    CCurveWidget w; // type 24, input IN-A: bands 5..7 and H/L hidden
    w.loadpoints();
    QSignalSpy values(&w, &CCurveWidget::btnschangevalue);
    QSignalSpy cuts(&w, &CCurveWidget::btnscutchangevalue);
    QSignalSpy selected(&w, &CCurveWidget::btnschanged);
    // Move the visible bands away so only hidden markers lie under the pointer.
    for (int b = 0; b < 4; ++b)
        fx.dev->setpeqfreq(0, b, 398);
    for (int b = 4; b < 7; ++b)
        fx.dev->setpeqfreq(0, b, 100);
    w.loadpoints();
    const QPoint hidden(w.bandpoint(5).getx(), w.bandpoint(5).gety());
    EqFixture::press(&w, hidden);
    EqFixture::move(&w, QPointF(300, 30));
    const QPoint h(w.highpoint().getx(), w.highpoint().gety());
    EqFixture::press(&w, h);
    EqFixture::move(&w, QPointF(300, 30));
    QCOMPARE(values.count(), 0);
    QCOMPARE(cuts.count(), 0);
    QCOMPARE(selected.count(), 0);
}

void TstCCurveWidget::updatepoint()
{
    EqFixture::setchannel(4);
    CCurveWidget w;
    w.loadpoints();
    QSignalSpy selected(&w, &CCurveWidget::btnschanged);
    w.updatepoint(2);
    QVERIFY(w.bandpoint(2).isActive());
    w.updatepoint(CCurveWidget::kLowPassPoint);
    QVERIFY(w.lowpoint().isActive());
    QVERIFY(!w.bandpoint(2).isActive());
    QCOMPARE(w.toppoint(), &w.lowpoint());
    // Indices the owners never pass change nothing.
    for (int n : {-1, 7, 8, 11, 30, 1000})
        w.updatepoint(n);
    QCOMPARE(w.toppoint(), &w.lowpoint());
    QVERIFY(w.lowpoint().isActive());
    QCOMPARE(selected.count(), 0);
    QCOMPARE(w.currentband(), -1);
}

void TstCCurveWidget::valuetext()
{
    fx.dev->setpeqfreq(0, 0, 238);
    fx.dev->setpeqgain(0, 0, 423);
    fx.dev->setpeqwidth(0, 0, 14);
    fx.dev->setpeqtype(0, 1, 3);
    fx.dev->setpeqfreq(0, 1, 358);
    fx.dev->setpeqgain(0, 1, 197);
    fx.dev->setpeqtype(0, 2, 5);
    fx.dev->setpeqfreq(0, 2, 238);
    fx.dev->setpeqfreq(0, 3, 100000); // out of the grid: the nearest entry
    fx.dev->setpeqwidth(0, 3, 250);   // out of the width table
    CCurveWidget w;
    for (int b = 0; b < 4; ++b)
        w.updatepoint(b);
    QCOMPARE(w.bandpoint(0).valueText(), QStringLiteral("Freq:1000.0Hz\nGain:12.3dB\nWidth:0.500"));
    QCOMPARE(w.bandpoint(1).valueText(), QStringLiteral("Freq:10100.0Hz\nGain:-10.3dB\n"));
    QCOMPARE(w.bandpoint(2).valueText(), QStringLiteral("Freq:1000.0Hz\n "));
    QCOMPARE(w.bandpoint(3).valueText(), QStringLiteral("Freq:21900.0Hz\nGain:0.0dB\nWidth:4.750"));
    QCOMPARE(w.bandpoint(3).getx(), 800);
}

void TstCCurveWidget::paintbypassed()
{
    fx.dev->setpeqbypassall(0, true);
    CCurveWidget w;
    w.resize(810, 225);
    QImage img(w.size(), QImage::Format_ARGB32);
    img.fill(Qt::black);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    QVERIFY(w.bypassshown());
    // Only the 0 dB line: nothing is filled below it.
    QCOMPARE(QColor(img.pixel(400, 150)), QColor(Qt::black));
    QVERIFY(qRed(img.pixel(400, 75)) > 200);
    fx.dev->setpeqbypassall(0, false);
    img.fill(Qt::black);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    QVERIFY(!w.bypassshown());
    QVERIFY(qRed(img.pixel(400, 150)) > 40); // the translucent fill
}

QTEST_MAIN(TstCCurveWidget)
#include "tst_ccurvewidget.moc"
