// The plot frames: grid colours probed at their rows and frequency lines
// (rendered with antialiasing off, the curve hidden), the FIR and phase
// curves drawn from the model, and the frame forms' objects.

#include "ccurvewidget.h"
#include "eqfixture.h"
#include "formccurvefir.h"
#include "formccurvphase.h"
#include "formeqdraw.h"
#include "formfir.h"
#include "formphase.h"

#include <QImage>
#include <QLabel>
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
    void forms_data();
    void forms();
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
    QTest::newRow("EQ plot") << "FormEqDraw"
                             << QVector<Pixel>{
                                    {100, 38, kGrid},   // row +10 dB
                                    {100, 238, kMajor}, // bottom edge
                                    {100, 88, kMajor},  // 0 dB row
                                    {102, 50, kGrid},   // 20 Hz
                                    {269, 50, kMajor},  // 100 Hz
                                    {508, 50, kMajor},  // 1 kHz
                                    {581, 50, kGrid},   // 2 kHz
                                    {748, 50, kMajor},  // 10 kHz
                                    {820, 50, kGrid},   // 20 kHz
                                    {830, 50, kGrid},   // 21.9 kHz
                                    {840, 50, kMajor},  // right edge
                                    {30, 50, kMajor},   // left edge over 10 Hz
                                    {105, 50, kBlack},  // plot background
                                    {845, 250, kBlack}, // frame beyond the plot
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

void TstEqFrames::forms_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("curve") << "FormEqDraw"
                           << "widgetshow"
                           << "CCurveWidget" << QRect(30, 13, 810, 225) << "";
    QTest::newRow("0dB") << "FormEqDraw"
                         << "label_10"
                         << "QLabel" << QRect(10, 80, 21, 16) << "0dB";
    QTest::newRow("+5") << "FormEqDraw"
                        << "label_12"
                        << "QLabel" << QRect(10, 55, 16, 16) << "+5";
    QTest::newRow("20kHZ") << "FormEqDraw"
                           << "label_28"
                           << "QLabel" << QRect(810, 240, 31, 16) << "20kHZ";
    QTest::newRow("bypass label") << "FormEqDraw"
                                  << "labelbypass"
                                  << "QLabel" << QRect(230, 30, 560, 109) << "Bypassed";
    QTest::newRow("FIR curve") << "FormFir"
                               << "widget_fir"
                               << "FormCcurveFir" << QRect(30, 13, 370, 225) << "";
    QTest::newRow("KHZ") << "FormFir"
                         << "label_19"
                         << "QLabel" << QRect(16, 240, 31, 16) << "KHZ";
    QTest::newRow("1.6") << "FormFir"
                         << "label_20"
                         << "QLabel" << QRect(260, 240, 21, 16) << "1.6";
    QTest::newRow("phase curve") << "FormPhase"
                                 << "widget_phasr"
                                 << "FormCcurvPhase" << QRect(30, 25, 410, 200) << "";
    QTest::newRow("degree") << "FormPhase"
                            << "label_11"
                            << "QLabel" << QRect(22, 8, 21, 16) << "°";
    QTest::newRow("HZ") << "FormPhase"
                        << "label_19"
                        << "QLabel" << QRect(20, 231, 31, 16) << "HZ";
}

void TstEqFrames::forms()
{
    QFETCH(QString, frame);
    QFETCH(QString, name);
    QFETCH(QString, cls);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QScopedPointer<QWidget> w;
    int labels = 0;
    QSize size;
    QString title;
    if (frame == QLatin1String("FormEqDraw")) {
        w.reset(new FormEqDraw);
        labels = 21, size = QSize(860, 260), title = QStringLiteral("Form");
    } else if (frame == QLatin1String("FormFir")) {
        w.reset(new FormFir);
        labels = 20, size = QSize(398, 260), title = QStringLiteral("FIR");
    } else {
        w.reset(new FormPhase);
        labels = 19, size = QSize(460, 260), title = QStringLiteral("All Pass");
    }
    QCOMPARE(w->objectName(), frame);
    QCOMPARE(w->size(), size);
    QCOMPARE(w->windowTitle(), title);
    // Top-level panels, not modal: they never block the EQ page.
    QCOMPARE(w->windowModality(), Qt::NonModal);
    QCOMPARE(w->findChildren<QLabel *>().size(), labels); // the EQ frame's count includes "Bypassed"
    QWidget *child = w->findChild<QWidget *>(name);
    QVERIFY2(child, qPrintable(name));
    QCOMPARE(QString::fromLatin1(child->metaObject()->className()), cls);
    QCOMPARE(child->geometry(), geometry);
    if (auto *l = qobject_cast<QLabel *>(child)) {
        QCOMPARE(l->text(), text);
        if (name != QLatin1String("labelbypass"))
            QCOMPARE(l->styleSheet(), QStringLiteral("color: rgb(176, 176, 176);"));
    }
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
