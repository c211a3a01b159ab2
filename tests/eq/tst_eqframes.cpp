// The plot frames: grid colours probed at their rows and frequency lines,
// and the FIR and phase curves drawn from the model.

#include "ccurvewidget.h"
#include "eqfixture.h"
#include "formccurvefir.h"
#include "formccurvphase.h"
#include "formeqdraw.h"
#include "formfir.h"
#include "formphase.h"

#include <QImage>
#include <QSignalSpy>

namespace
{

const QColor kBlack(0, 0, 0);
const QColor kGrid(38, 68, 79);
const QColor kMajor(0x90, 0xC7, 0xE5);

struct Pixel {
    int x, y;
    QColor colour;
};

// The frame alone: children (curve, labels) left out.
QImage frameimage(QWidget *frame)
{
    QImage img(frame->size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    frame->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return img;
}

QImage childimage(QWidget *child)
{
    QImage img(child->size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    child->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

} // namespace

Q_DECLARE_METATYPE(QVector<Pixel>)

class TstEqFrames : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.setup(); }
    void cleanup() { fx.teardown(); }

    void grids_data();
    void grids();
    void firpanel();
    void phasepanel();
    void framepassesignals();

private:
    EqFixture fx;
};

void TstEqFrames::grids_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QVector<Pixel>>("pixels");
    // Rows +10 dB, bottom edge, 0 dB; lines 20 Hz, 100 Hz, 1 kHz, 2 kHz,
    // 10 kHz, 20 kHz, 21.9 kHz, right edge, left edge over 10 Hz; background.
    QTest::newRow("EQ plot") << "FormEqDraw"
                             << QVector<Pixel>{
                                    {100, 38, kGrid},  {100, 238, kMajor}, {100, 88, kMajor}, {102, 50, kGrid},
                                    {269, 50, kMajor}, {508, 50, kMajor},  {581, 50, kGrid},  {748, 50, kMajor},
                                    {820, 50, kGrid},  {830, 50, kGrid},   {840, 50, kMajor}, {30, 50, kMajor},
                                    {105, 50, kBlack}, {845, 250, kBlack},
                                };
    QTest::newRow("FIR panel") << "FormFir"
                               << QVector<Pixel>{
                                      {40, 63, kGrid},   {40, 88, kMajor},  {66, 50, kGrid},
                                      {149, 50, kMajor}, {203, 50, kGrid},  {250, 50, kMajor},
                                      {321, 50, kGrid},  {389, 50, kMajor}, {386, 50, kGrid},
                                      {40, 238, kMajor}, {200, 50, kBlack}, {30, 100, kMajor},
                                  };
    QTest::newRow("phase panel") << "FormPhase"
                                 << QVector<Pixel>{
                                        {40, 50, kGrid},   {40, 125, kMajor}, {40, 225, kMajor},
                                        {185, 60, kGrid},  {149, 60, kMajor}, {269, 60, kMajor},
                                        {389, 60, kMajor}, {425, 60, kGrid},  {430, 60, kGrid},
                                        {435, 60, kMajor}, {445, 60, kBlack}, {200, 60, kBlack},
                                    };
}

void TstEqFrames::grids()
{
    QFETCH(QString, frame);
    QFETCH(QVector<Pixel>, pixels);
    QScopedPointer<QWidget> w;
    if (frame == QLatin1String("FormEqDraw"))
        w.reset(new FormEqDraw);
    else if (frame == QLatin1String("FormFir"))
        w.reset(new FormFir);
    else
        w.reset(new FormPhase);
    const QImage img = frameimage(w.data());
    for (const Pixel &p : pixels)
        QVERIFY2(
            QColor(img.pixel(p.x, p.y)) == p.colour,
            qPrintable(
                QStringLiteral("(%1, %2): %3").arg(p.x).arg(p.y).arg(QColor(img.pixel(p.x, p.y)).name())));
}

void TstEqFrames::firpanel()
{
    FormFir panel;
    QWidget *curve = panel.findChild<FormCcurveFir *>(QStringLiteral("widget_fir"));
    QVERIFY(curve);
    // An input: nothing at all.
    EqFixture::setchannel(1);
    QImage img = childimage(curve);
    for (int x = 0; x < img.width(); x += 7)
        for (int y = 0; y < img.height(); y += 5)
            QCOMPARE(QColor(img.pixel(x, y)), kBlack);
    // Flat on type 0.
    EqFixture::setchannel(6);
    fx.dev->setxobyte0(2, 0);
    img = childimage(curve);
    QVERIFY(qRed(img.pixel(200, 75)) > 200);
    QCOMPARE(QColor(img.pixel(200, 150)), kBlack);
    // A low-pass at 1 kHz (grid 238, panel x 239): pass band on 0 dB with its fill.
    fx.dev->setxobyte0(2, 2);
    fx.dev->setfirhighfreq(2, 238);
    fx.dev->setfirorder(2, 2);
    fx.dev->setfirparam2(2, 7); // Blackman
    img = childimage(curve);
    QVERIFY(qRed(img.pixel(50, 75)) > 200);
    QVERIFY(qRed(img.pixel(50, 150)) > 40);
    QCOMPARE(QColor(img.pixel(360, 120)), kBlack); // the stop band lies below -45 dB
    // An unknown order draws the flat line, without fill.
    fx.dev->setfirorder(2, 7);
    img = childimage(curve);
    QVERIFY(qRed(img.pixel(360, 75)) > 200);
    QCOMPARE(QColor(img.pixel(50, 150)), kBlack);
}

void TstEqFrames::phasepanel()
{
    FormPhase panel;
    QWidget *curve = panel.findChild<FormCcurvPhase *>(QStringLiteral("widget_phasr"));
    QVERIFY(curve);
    EqFixture::setchannel(3);
    fx.dev->setpeqtype(3, 0, 0);
    fx.dev->setpeqgain(3, 0, 450);
    QImage img = childimage(curve);
    QVERIFY(qRed(img.pixel(200, 100)) > 200); // flat: gains do not move the phase
    QVERIFY(qRed(img.pixel(200, 150)) > 40);
    QCOMPARE(QColor(img.pixel(200, 50)), kBlack);
    // Two all-pass bands at 1 kHz: at 5 kHz (x 303) the wrapped sum is +99.6
    // degrees, y 44.7.
    for (int b : {1, 4}) {
        fx.dev->setpeqtype(3, b, 5);
        fx.dev->setpeqfreq(3, b, 238);
    }
    img = childimage(curve);
    QVERIFY(qRed(img.pixel(303, 45)) > 200);
    fx.dev->setpeqbypassall(3, true);
    img = childimage(curve);
    QVERIFY(qRed(img.pixel(303, 100)) > 200);
    QCOMPARE(QColor(img.pixel(303, 40)), kBlack);
}

void TstEqFrames::framepassesignals()
{
    FormEqDraw frame;
    QSignalSpy values(&frame, &FormEqDraw::btnschangevalue);
    QSignalSpy selected(&frame, &FormEqDraw::btnschanged);
    QSignalSpy cuts(&frame, &FormEqDraw::btnscutchangevalue);
    CCurveWidget *curve = frame.curve();
    emit curve->btnschangevalue(1, 2, 3);
    emit curve->btnschanged(4);
    emit curve->btnscutchangevalue(1, 5);
    QCOMPARE(values.takeFirst(), (QVariantList{1, 2, 3}));
    QCOMPARE(selected.takeFirst(), QVariantList{4});
    QCOMPARE(cuts.takeFirst(), (QVariantList{1, 5}));
    frame.updatepoint(3);
    QCOMPARE(curve->toppoint(), &curve->bandpoint(3));
}

QTEST_MAIN(TstEqFrames)
#include "tst_eqframes.moc"
