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

// A new frame of the class named: the curve frame, the FIR panel or the phase panel.
QWidget *makeframe(const QString &frame)
{
    if (frame == QLatin1String("FormEqDraw"))
        return new FormEqDraw;
    if (frame == QLatin1String("FormFir"))
        return new FormFir;
    return new FormPhase;
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
    void labelrows_data();
    void labelrows();
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
    QScopedPointer<QWidget> w(makeframe(frame));
    const QImage img = frameimage(w.data());
    for (const Pixel &p : pixels)
        QVERIFY2(
            QColor(img.pixel(p.x, p.y)) == p.colour,
            qPrintable(
                QStringLiteral("(%1, %2): %3").arg(p.x).arg(p.y).arg(QColor(img.pixel(p.x, p.y)).name())));
}

// The frames' label rows as listed: text and place of every level label of
// the curve frame and the FIR panel, every phase label of the phase panel,
// and each one's frequency labels.
void TstEqFrames::labelrows_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect");
    struct Label {
        const char *name, *text;
        int x, y, width;
    };
    const Label levels[] = {{"label_8", "+15", 10, 5, 21},    {"label_9", "+10", 10, 30, 21},
                            {"label_12", "+5", 10, 55, 16},   {"label_10", "0dB", 10, 80, 21},
                            {"label_13", "-5", 10, 105, 16},  {"label_14", "-10", 10, 130, 21},
                            {"label_15", "-15", 10, 155, 21}, {"label_22", "-20", 10, 180, 21},
                            {"label_23", "-25", 10, 205, 21}, {"label_24", "-30", 10, 230, 21}};
    const Label hertz[] = {{"label_16", "20HZ", 90, 240, 31},   {"label_20", "50HZ", 190, 240, 41},
                           {"label_17", "100HZ", 260, 240, 41}, {"label_19", "200HZ", 330, 240, 41},
                           {"label_25", "500HZ", 425, 240, 41}, {"label_21", "1kHZ", 503, 240, 31},
                           {"label_18", "2kHZ", 570, 240, 31},  {"label_26", "5kHZ", 670, 240, 31},
                           {"label_27", "10kHZ", 740, 240, 31}, {"label_28", "20kHZ", 810, 240, 31}};
    const Label kilohertz[] = {{"label_19", "KHZ", 16, 240, 31},  {"label_16", "0.02", 59, 240, 27},
                               {"label_17", "0.1", 141, 240, 21}, {"label_25", "0.5", 217, 240, 21},
                               {"label_21", "1", 248, 240, 21},   {"label_20", "1.6", 260, 240, 21},
                               {"label_18", "2.5", 286, 240, 21}, {"label_28", "5", 320, 240, 16},
                               {"label_29", "11", 351, 240, 16},  {"label_27", "20", 383, 240, 21}};
    auto add = [](const char *frame, const Label &l) {
        QTest::addRow("%s %s", frame, l.name)
            << frame << l.name << QString::fromUtf8(l.text) << QRect(l.x, l.y, l.width, 16);
    };
    for (const Label &l : levels) {
        add("FormEqDraw", l);
        add("FormFir", l);
    }
    for (const Label &l : hertz)
        add("FormEqDraw", l);
    for (const Label &l : kilohertz)
        add("FormFir", l);
    const Label phase[] = {{"label_11", "°", 22, 8, 21},      {"label_9", "180", 10, 20, 21},
                           {"label_12", "135", 10, 45, 18},   {"label_10", "90", 14, 70, 21},
                           {"label_13", "45", 14, 95, 16},    {"label_14", "0", 17, 120, 21},
                           {"label_15", "-45", 10, 145, 21},  {"label_22", "-90", 10, 170, 21},
                           {"label_23", "-135", 5, 195, 27},  {"label_24", "-180", 5, 220, 27},
                           {"label_19", "HZ", 20, 231, 31},   {"label_16", "20", 60, 230, 21},
                           {"label_17", "100", 141, 230, 31}, {"label_25", "500", 229, 230, 22},
                           {"label_21", "1K", 265, 230, 21},  {"label_18", "2K", 298, 230, 21},
                           {"label_20", "5K", 350, 230, 21},  {"label_29", "10K", 381, 230, 22},
                           {"label_27", "20K", 419, 230, 21}};
    for (const Label &l : phase)
        add("FormPhase", l);
}

void TstEqFrames::labelrows()
{
    QFETCH(QString, frame);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, rect);
    QScopedPointer<QWidget> w(makeframe(frame));
    QLabel *label = w->findChild<QLabel *>(name);
    QVERIFY2(label, qPrintable(name));
    QCOMPARE(label->parentWidget(), w.data());
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), rect);
    QCOMPARE(label->styleSheet(), QStringLiteral("color: rgb(176, 176, 176);"));
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
