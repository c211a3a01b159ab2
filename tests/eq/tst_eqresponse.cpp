// The response computations against values worked out by hand from the
// display's formulas (peaking and crossover sections in dB, each term
// truncated to pixels; the corner tables; the all-pass phase and its wrap).

#include "curvemath.h"
#include "devicedata.h"
#include "eqresponse.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace eqresponse;

Q_DECLARE_METATYPE(eqresponse::CurveInput)

namespace
{

struct Probe {
    int i;
    int y;
};

CurveMath gMath;

float gridhz(int i)
{
    return float(gMath.getfreq(i));
}

Band band(int index, int raw, int type, float q)
{
    Band b;
    b.freq = gridhz(index);
    b.gain = float((raw - 300) / 10.0);
    b.type = type;
    b.q = q;
    return b;
}

CurveInput output(int hptype, int hpindex, int lptype, int lpindex)
{
    CurveInput in;
    in.output = true;
    in.hptype = hptype;
    in.hpfreq = gridhz(hpindex);
    in.lptype = lptype;
    in.lpfreq = gridhz(lpindex);
    return in;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Probe>)

class TstEqResponse : public QObject
{
    Q_OBJECT
private slots:
    void curve_data();
    void curve();
    void crossoverterms_data();
    void crossoverterms();
    void bandq_data();
    void bandq();
    void xaxis();
    void bypassall();
    void deviceinput();
    void fir();
    void phase();
    void wrap_data();
    void wrap();
};

void TstEqResponse::curve_data()
{
    QTest::addColumn<CurveInput>("in");
    QTest::addColumn<std::vector<Probe>>("probes");

    CurveInput peq;
    peq.bands[0] = band(238, 423, 0, 2.9f); // 1 kHz, +12.3 dB, Q 2.9
    QTest::newRow("peaking +12.3 dB at 1 kHz")
        << peq << std::vector<Probe>{{200, 72}, {230, 42}, {238, 14}, {250, 53}, {300, 74}, {0, 75}};

    // Low shelf: the plateau (full gain) up to its own index, then the bell.
    CurveInput lshelf;
    lshelf.bands[2] = band(100, 363, 1, 0.707f);
    QTest::newRow("low shelf +6.3 dB at index 100")
        << lshelf << std::vector<Probe>{{0, 44}, {50, 44}, {100, 44}, {101, 44}, {130, 58}};

    CurveInput hshelf;
    hshelf.bands[6] = band(358, 197, 4, 0.95f);
    QTest::newRow("high shelf -10.3 dB at index 358")
        << hshelf << std::vector<Probe>{{300, 82}, {357, 126}, {358, 126}, {398, 126}};

    // Two bands: each term is truncated by itself before the sum.
    CurveInput two;
    two.bands[0] = band(238, 423, 0, 2.9f);
    two.bands[1] = band(100, 363, 0, 0.707f);
    QTest::newRow("two bands summed in pixels") << two << std::vector<Probe>{{150, 67}};

    CurveInput bypassed = lshelf;
    bypassed.bands[2].bypass = true;
    QTest::newRow("bypassed shelf is flat") << bypassed << std::vector<Probe>{{0, 75}, {100, 75}, {398, 75}};

    QTest::newRow("HP Butwrth 12 at index 100")
        << output(2, 100, 0, 398) << std::vector<Probe>{{60, 142}, {100, 90}, {150, 75}};
    QTest::newRow("HP Bessel 24 (8 D)")
        << output(4, 100, 0, 398) << std::vector<Probe>{{60, 189}, {100, 113}};
    // Butwrth 36 high-pass: 14 D + 7 at d -20, 14 D + 20 at the corner, then
    // 3 px and 1 px below the band sum, nothing from d 15.
    QTest::newRow("HP Butwrth 36 corner table")
        << output(8, 100, 0, 398)
        << std::vector<Probe>{{80, 173}, {100, 97}, {109, 78}, {110, 78}, {112, 76}, {115, 75}, {200, 75}};
    // Butwrth 24 low-pass: nothing below half the corner, 9 D + 1 at d -30,
    // 9 D + 6 at the corner, 9 D - 1 truncated whole at d 20, 9 D - 4 beyond.
    QTest::newRow("LP Butwrth 24 corner table")
        << output(0, 0, 5, 300)
        << std::vector<Probe>{{240, 75}, {270, 77}, {300, 96}, {320, 144}, {340, 203}};
    QTest::newRow("LP Lnk/Ril 48 (20 D)")
        << output(0, 0, 12, 300) << std::vector<Probe>{{300, 214}, {350, 448}};
    QTest::newRow("slope types above 12 add nothing")
        << output(13, 200, 255, 200) << std::vector<Probe>{{150, 75}, {200, 75}, {250, 75}};
}

void TstEqResponse::curve()
{
    QFETCH(CurveInput, in);
    QFETCH(std::vector<Probe>, probes);
    CurveMath math;
    const CurvePoints pts = computecurve(math, in);
    QVERIFY(!pts.flat);
    for (const Probe &p : probes)
        QVERIFY2(pts.y[p.i] == p.y,
                 qPrintable(QStringLiteral("i %1: y %2, expected %3").arg(p.i).arg(pts.y[p.i]).arg(p.y)));
}

// Every slope type of both sides and every row of the six corner tables,
// checked at each grid point the row covers between 35 points below and 35
// above a corner at index 200 (the tables apply only within twice and half
// the corner, 35.9 grid points away). A row: the term is trunc(mul x D) + add,
// D being the second-order magnitude of the type's family at the corner, or
// the constant add where mul is 0.
struct TermRow {
    int from;
    int to;
    double mul;
    int add;
};
Q_DECLARE_METATYPE(std::vector<TermRow>)

void TstEqResponse::crossoverterms_data()
{
    QTest::addColumn<bool>("highpass");
    QTest::addColumn<int>("type");
    QTest::addColumn<std::vector<TermRow>>("rows");
    const int lo = -35, hi = 35;
    // Plain multipliers: 5, 8, 11, 14 on the high-pass side; 5, 10, 15, 20 on
    // the low-pass side; the Butterworth types from 24 dB use the tables.
    const double hpmul[] = {5, 8, 11, 14};
    const double lpmul[] = {5, 10, 15, 20};
    const char *const names[] = {"Bessel", "Butwrth", "Lnk/Ril"};
    for (int type = 1; type <= 12; ++type) {
        const int family = (type - 1) % 3, steep = (type - 1) / 3;
        if (family == 1 && steep > 0)
            continue;
        QTest::addRow("HP %s %d", names[family], 12 * (steep + 1))
            << true << type << std::vector<TermRow>{{-60, 60, hpmul[steep], 0}};
        QTest::addRow("LP %s %d", names[family], 12 * (steep + 1))
            << false << type << std::vector<TermRow>{{-60, 60, lpmul[steep], 0}};
    }
    QTest::newRow("HP table H24") << true << 5
                                  << std::vector<TermRow>{{lo, -11, 10, 0}, {-10, -4, 10, 2}, {-3, -1, 10, 3},
                                                          {0, 6, 10, 6},    {7, 14, 10, 5},   {15, 19, 10, 4},
                                                          {20, 24, 10, 3},  {25, hi, 10, 2}};
    QTest::newRow("HP table H36") << true << 8 << std::vector<TermRow>{{lo, -31, 14, 0},  {-30, -16, 14, 7},
                                                                       {-15, -9, 14, 10}, {-8, -5, 14, 15},
                                                                       {-4, 8, 14, 20},   {9, 10, 0, -3},
                                                                       {11, 14, 0, -1},   {15, hi, 0, 0}};
    QTest::newRow("HP table H48") << true << 11
                                  << std::vector<TermRow>{{lo, -31, 19, 0},   {-30, -16, 18, 14},
                                                          {-15, -13, 18, 19}, {-12, -9, 18, 20},
                                                          {-8, -5, 18, 23},   {-4, -1, 17, 26},
                                                          {0, 8, 14, 21},     {9, 10, 0, -3},
                                                          {11, 14, 0, -1},    {15, hi, 0, 0}};
    // 16..35 truncates 9 D - 1 as a whole: mul 9 with add -1000 marks it.
    QTest::newRow("LP table L24") << false << 5 << std::vector<TermRow>{{lo, -30, 9, 1},    {-29, -25, 9, 2},
                                                                        {-24, -20, 9, 3},   {-19, -15, 9, 4},
                                                                        {-14, -7, 9, 5},    {-6, 2, 9, 6},
                                                                        {3, 7, 9, 4},       {8, 15, 9, 2},
                                                                        {16, 35, 9, -1000}, {36, 60, 9, -4}};
    QTest::newRow("LP table L36") << false << 8 << std::vector<TermRow>{{lo, -15, 0, 0},  {-14, -11, 0, -1},
                                                                        {-10, -9, 0, -3}, {-8, -4, 14, 20},
                                                                        {-3, 0, 14, 22},  {1, 8, 14, 23},
                                                                        {9, 15, 14, 21},  {16, 23, 14, 16},
                                                                        {24, 30, 14, 10}, {31, 60, 14, 0}};
    QTest::newRow("LP table L48") << false << 11 << std::vector<TermRow>{{lo, -15, 0, 0},  {-14, -11, 0, -1},
                                                                         {-10, -9, 0, -3}, {-8, -4, 14, 21},
                                                                         {-3, 0, 14, 23},  {1, 4, 14, 24},
                                                                         {5, 8, 14, 23},   {9, 15, 17, 32},
                                                                         {16, 23, 17, 26}, {24, 30, 18, 24},
                                                                         {31, 60, 19, 0}};
}

void TstEqResponse::crossoverterms()
{
    QFETCH(bool, highpass);
    QFETCH(int, type);
    QFETCH(std::vector<TermRow>, rows);
    CurveMath math;
    const int corner = 200;
    const float fc = float(math.getfreq(corner));
    // The family's second-order magnitude: Bessel, Butterworth, Linkwitz-Riley.
    const auto magnitude = [&](double f) {
        const float ff = float(f);
        switch ((type - 1) % 3) {
        case 0:
            return highpass ? math.highpassdb2(fc, 12.0f, 0.707f, ff)
                            : math.lowpassdb2(fc, 12.0f, 0.707f, ff);
        case 1:
            return highpass ? math.highpassdb1(fc, 12.0f, 0.707f, ff)
                            : math.lowpassdb1(fc, 12.0f, 0.707f, ff);
        default:
            return highpass ? math.highpassdb3(fc, 12.0f, 0.707f, ff)
                            : math.lowpassdb3(fc, 12.0f, 0.707f, ff);
        }
    };
    const bool table = (type - 1) % 3 == 1 && type > 2;
    for (const TermRow &r : rows) {
        for (int d = r.from; d <= r.to; ++d) {
            const int i = corner + d;
            const double f = math.getfreq(i);
            const double D = magnitude(f);
            int expected = r.add;
            if (r.add == -1000)
                expected = int(r.mul * D - 1.0);
            else if (r.mul != 0.0)
                expected = int(r.mul * D) + r.add;
            const int got = highpass ? highpassterm(math, type, fc, corner, i, f)
                                     : lowpassterm(math, type, fc, corner, i, f);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("d %1: term %2, expected %3 (D %4)")
                                                     .arg(d)
                                                     .arg(got)
                                                     .arg(expected)
                                                     .arg(D)));
        }
    }
    if (table) {
        // Beyond twice (high-pass) or half (low-pass) the corner the table adds nothing.
        const int i = corner + (highpass ? 40 : -40);
        const double f = math.getfreq(i);
        QCOMPARE(highpass ? highpassterm(math, type, fc, corner, i, f)
                          : lowpassterm(math, type, fc, corner, i, f),
                 0);
    }
}

// The Q each band type is drawn with when read from the device record:
// peaking from its width, shelves of 6 dB 0.707, of 12 dB 0.95, all-pass 2.9.
void TstEqResponse::bandq_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<float>("q");
    CurveMath math;
    QTest::newRow("peaking, width 14") << 0 << float(math.getq(14));
    QTest::newRow("low shelf 6 dB") << 1 << 0.707f;
    QTest::newRow("low shelf 12 dB") << 2 << 0.95f;
    QTest::newRow("high shelf 6 dB") << 3 << 0.707f;
    QTest::newRow("high shelf 12 dB") << 4 << 0.95f;
    QTest::newRow("all-pass") << 5 << 2.9f;
}

void TstEqResponse::bandq()
{
    QFETCH(int, type);
    QFETCH(float, q);
    DeviceData d;
    CurveMath math;
    for (int ch : {1, 6}) {
        d.setpeqtype(ch, 3, type);
        d.setpeqwidth(ch, 3, 14);
        QCOMPARE(curveinput(d, ch, math).bands[3].q, q);
    }
}

void TstEqResponse::xaxis()
{
    CurveMath math;
    const CurvePoints pts = computecurve(math, CurveInput());
    QCOMPARE(pts.x[0], 0);
    QCOMPARE(pts.x[238], 478); // 1 kHz: ln 100 x 800 / ln 2190
    QCOMPARE(pts.x[398], 800);
}

void TstEqResponse::bypassall()
{
    CurveMath math;
    CurveInput in;
    in.bands[0] = band(238, 423, 0, 2.9f);
    in.bypassall = true;
    // An input: only the 0 dB line, with the label.
    CurvePoints pts = computecurve(math, in);
    QVERIFY(pts.flat);
    QVERIFY(pts.bypassed);
    // An output: the bands count nothing, the crossover is still drawn.
    CurveInput out = output(2, 100, 0, 398);
    out.bands[0] = in.bands[0];
    out.bypassall = true;
    pts = computecurve(math, out);
    QVERIFY(!pts.flat);
    QVERIFY(pts.bypassed);
    QCOMPARE(pts.y[238], 75);
    QCOMPARE(pts.y[100], 90);
}

// Values from a processor or a file index the tables unchecked: every look-up
// is clamped, so nonsense indices draw the nearest table entry.
void TstEqResponse::deviceinput()
{
    DeviceData d;
    CurveMath math;
    d.setpeqfreq(5, 0, 100000); // far beyond the grid
    d.setpeqwidth(5, 0, 200);   // beyond the width table
    d.setpeqgain(5, 0, 423);
    d.sethpffreq(1, -7);
    d.setlpffreq(1, 5000);
    d.sethpftype(1, 2);
    const CurveInput in = curveinput(d, 5, math);
    QVERIFY(in.output);
    QCOMPARE(in.bands[0].freq, 21900.0f);
    QCOMPARE(in.bands[0].q, float(math.getq(40)));
    QCOMPARE(in.hpfreq, 10.0f);
    QCOMPARE(in.lpfreq, 21900.0f);
    const CurvePoints pts = computecurve(math, in);
    for (int i = 0; i < kPoints; ++i)
        QVERIFY(std::abs(pts.y[i]) < 100000);
    // A channel outside 0..11 reads as a flat input.
    QVERIFY(!curveinput(d, 12, math).output);
    QVERIFY(!curveinput(d, -1, math).bypassall);

    d.setfirlowfreq(0, 1000);
    d.setfirparam1(0, 200);
    d.setxobyte0(0, 1);
    const FirInput fi = firinput(d, 0);
    const FirPoints fp = computefir(math, fi);
    QVERIFY(!fp.flat);
    for (int i = 0; i < kPoints; ++i)
        QVERIFY(fp.y[i] >= 75 - 1000 && fp.y[i] <= 225);
}

void TstEqResponse::fir()
{
    CurveMath math;
    FirInput in;
    QVERIFY(computefir(math, in).flat); // type 0

    // A low-pass design at 1 kHz: a windowed sinc is at half amplitude
    // (-6 dB) at its corner. Curve point 219 (segment 2) is 1010.5 Hz, the one nearest the corner.
    in.type = 2;
    in.lpindex = 238;
    in.order = 2;
    in.lpwindow = 6;
    FirPoints pts = computefir(math, in);
    QVERIFY(!pts.flat);
    QVERIFY(std::abs(math.getfirphase(219) - 1010.5) < 0.1);
    QVERIFY2(std::abs(pts.y[219] - 81) <= 1, qPrintable(QString::number(pts.y[219])));
    QCOMPARE(pts.y[0], 75); // pass band
    QCOMPARE(pts.x[0], 0);
    QCOMPARE(pts.x[398], 400);

    // An order the processor does not know designs no taps: the flat line,
    // not a curve of minus infinity.
    in.order = 3;
    QVERIFY(computefir(math, in).flat);
    in.order = -1;
    QVERIFY(computefir(math, in).flat);

    // A band-pass with equal corners has no pass band: every level is minus
    // infinity in the core and is drawn at the panel floor (y 225).
    in.type = 3;
    in.order = 0;
    in.bplow = in.bphigh = 200;
    pts = computefir(math, in);
    QVERIFY(std::isinf(math.firlevelraw(10)));
    for (int i = 0; i < kPoints; ++i)
        QCOMPARE(pts.y[i], 225);
}

void TstEqResponse::phase()
{
    CurveMath math;
    PhaseInput in;
    in.freq.fill(1000.0f);
    PhasePoints pts = computephase(math, in);
    for (int i = 0; i < kPoints; ++i)
        QCOMPARE(pts.y[i], 100.0);
    QCOMPARE(pts.x[0], 0);
    QCOMPARE(pts.x[398], 402);

    // Two all-pass bands at 1 kHz: above the centre their phases add past
    // +180 degrees and wrap by a whole turn.
    in.allpass[1] = in.allpass[4] = true;
    pts = computephase(math, in);
    QVERIFY(std::abs(pts.y[200] - 192.139) < 0.01);
    QVERIFY(std::abs(pts.y[260] - 170.902) < 0.01); // 232.4 degrees -> -127.6
    QVERIFY(std::abs(pts.y[300] - 44.693) < 0.01);
    for (int i = 0; i < kPoints; ++i)
        QVERIFY(pts.y[i] >= 0.0 && pts.y[i] <= 200.0);

    in.bypassall = true;
    pts = computephase(math, in);
    QCOMPARE(pts.y[260], 100.0);

    // From the model: only non-bypassed all-pass bands count.
    DeviceData d;
    d.setpeqtype(2, 0, 5);
    d.setpeqtype(2, 1, 5);
    d.setpeqbypass(2, 1, true);
    d.setpeqtype(2, 2, 0);
    d.setpeqfreq(2, 0, 238);
    const PhaseInput fromdevice = phaseinput(d, 2, math);
    QVERIFY(fromdevice.allpass[0]);
    QVERIFY(!fromdevice.allpass[1]);
    QVERIFY(!fromdevice.allpass[2]);
    QCOMPARE(fromdevice.freq[0], 1000.0f);
}

void TstEqResponse::wrap_data()
{
    QTest::addColumn<double>("sum");
    QTest::addColumn<double>("wrapped");
    QTest::newRow("inside") << 100.0 << 100.0;
    QTest::newRow("+180 stays") << 180.0 << 180.0;
    QTest::newRow("-180 stays") << -180.0 << -180.0;
    QTest::newRow("190") << 190.0 << -170.0;
    QTest::newRow("540") << 540.0 << 180.0;
    QTest::newRow("720") << 720.0 << 0.0;
    QTest::newRow("-190") << -190.0 << 170.0;
    QTest::newRow("-600") << -600.0 << 120.0;
}

void TstEqResponse::wrap()
{
    QFETCH(double, sum);
    QFETCH(double, wrapped);
    QCOMPARE(wrapphase(sum), wrapped);
}

QTEST_APPLESS_MAIN(TstEqResponse)
#include "tst_eqresponse.moc"
