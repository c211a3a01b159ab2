#include "curvemath.h"

#include <QtTest>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace
{

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Grid entries that do not follow the 1/36-octave rounding rule.
bool isfixedentry(int i)
{
    return (i >= 115 && i <= 118) || i == 327 || i == 367 || i == 398;
}

// 1000 * 2^((i - 239)/36) below the gap, 1000 * 2^((i - 238)/36) above it,
// rounded half away from zero to three significant digits.
double ruleentry(int i)
{
    const double v = 1000.0 * std::pow(2.0, (i <= 114 ? i - 239 : i - 238) / 36.0);
    const double scale = std::pow(10.0, std::floor(std::log10(v)) - 2.0);
    return std::round(v / scale) * scale;
}

enum FirType { BandPass = 1, LowPass = 2, HighPass = 3 };

void firsegment(CurveMath &m, int type, float f1, float f2, double end, double start, quint8 order,
                double window, int segment)
{
    if (type == LowPass)
        m.firresponse2(f1, end, start, order, window, segment);
    else if (type == HighPass)
        m.firresponse3(f1, end, start, order, window, segment);
    else
        m.firresponse1(f1, f2, end, start, order, window, segment);
}

// The FIR panel's four segments (first and last frequency).
const double kSegFirst[4] = {10, 68.8, 481, 3300};
const double kSegLast[4] = {67.5, 427, 3240, 21900};
const int kSegPoints[4] = {100, 100, 100, 99};

void firpanel(CurveMath &m, int type, float f1, float f2, quint8 order, double window)
{
    for (int s = 0; s < 4; ++s)
        m.setfirfreqs(kSegLast[s], kSegFirst[s], kSegPoints[s], s);
    for (int s = 0; s < 4; ++s)
        firsegment(m, type, f1, f2, kSegLast[s], kSegFirst[s], order, window, s);
}

// Level in dB of the response at f by evaluating the design on a segment
// that starts at f.
double firlevelat(CurveMath &m, int type, float f1, float f2, quint8 order, double window, double f)
{
    firsegment(m, type, f1, f2, f + 99.0, f, order, window, 0);
    return m.firlevelraw(0);
}

} // namespace

class TestCurveMath : public QObject
{
    Q_OBJECT
private slots:
    // --- tables -----------------------------------------------------------

    // The lookup tables, with out-of-range indices clamped to their ends:
    // grid and graphic-EQ frequencies, PEQ width in octaves and its Q.
    void tables_data()
    {
        QTest::addColumn<char>("table");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("value");
        const struct {
            char t;
            int i;
            double v;
        } rows[] = {{'f', 0, 10.0},   {'f', 114, 90.1},  {'f', 115, 94},   {'f', 118, 99},   {'f', 327, 5500},
                    {'f', 367, 12100}, {'f', 398, 21900},
                    {'f', -1, 10.0},  {'f', 0xffff, 21900}, {'w', 17, 1.0}, {'w', 41, 4.75},
                    {'q', 17, 1.41},  {'q', -1, 86.6},   {'g', 17, 1016.0}, {'g', 31, 20480.0},
                    {'g', -3, 20.0}};
        for (const auto &r : rows)
            QTest::addRow("%c %d", r.t, r.i) << r.t << r.i << r.v;
    }
    void tables()
    {
        QFETCH(char, table);
        QFETCH(int, index);
        QFETCH(double, value);
        CurveMath m;
        if (table == 'f') {
            QCOMPARE(m.getfreq(index), value);
            QCOMPARE(m.getgridfreq(index), value);
        } else if (table == 'w') {
            QCOMPARE(m.getwidth(index), value);
        } else if (table == 'q') {
            QCOMPARE(m.getq(index), value);
        } else {
            QCOMPARE(m.getgeqfreq(index), value);
            QCOMPARE(m.geqbandtox(index), m.freqtox(value));
        }
    }

    // The band width table whole: width index, octaves, Q, as listed (the
    // Q values only roughly follow a formula).
    void widthandq_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<double>("octaves");
        QTest::addColumn<double>("q");
        const struct {
            int w;
            double octaves, q;
        } rows[] = {
            {0, 0.017, 86.6},  {1, 0.02, 72.1},   {2, 0.025, 57.7},   {3, 0.033, 43.3}, {4, 0.04, 36.1},
            {5, 0.05, 28.9},   {6, 0.063, 23.1},  {7, 0.083, 17.3},   {8, 0.1, 14.4},   {9, 0.125, 11.5},
            {10, 0.167, 8.7},  {11, 0.2, 7.2},    {12, 0.25, 5.8},    {13, 0.333, 4.3}, {14, 0.5, 2.9},
            {15, 0.667, 2.1},  {16, 0.75, 1.9},   {17, 1, 1.41},      {18, 1.25, 1.12}, {19, 1.333, 1.04},
            {20, 1.5, 0.92},   {21, 1.667, 0.82}, {22, 1.75, 0.78},   {23, 2, 0.67},    {24, 2.25, 0.58},
            {25, 2.333, 0.56}, {26, 2.5, 0.51},   {27, 2.667, 0.47},  {28, 2.75, 0.45}, {29, 3, 0.4},
            {30, 3.25, 0.36},  {31, 3.333, 0.35}, {32, 3.5, 0.33},    {33, 3.667, 0.3}, {34, 3.75, 0.29},
            {35, 4, 0.267},    {36, 4.25, 0.242}, {37, 4.333, 0.234}, {38, 4.5, 0.22},  {39, 4.667, 0.207},
            {40, 4.75, 0.2},
        };
        for (const auto &r : rows)
            QTest::addRow("%d", r.w) << r.w << r.octaves << r.q;
    }
    void widthandq()
    {
        QFETCH(int, w);
        QFETCH(double, octaves);
        QFETCH(double, q);
        CurveMath m;
        QCOMPARE(m.getwidth(w), octaves);
        QCOMPARE(m.getq(w), q);
    }

    // The graphic EQ's 31 centre frequencies, as listed.
    void geqcentres_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<double>("hz");
        const double centres[31] = {20,   25.2, 31.7, 40,   50.4, 63.5,  80,    101,   127,  160,  202,
                                    254,  320,  403,  508,  640,  806,   1016,  1280,  1613, 2032, 2560,
                                    3225, 4064, 5120, 6451, 8127, 10240, 12902, 16255, 20480};
        for (int k = 0; k < 31; ++k)
            QTest::addRow("%d", k) << k << centres[k];
    }
    void geqcentres()
    {
        QFETCH(int, band);
        QFETCH(double, hz);
        CurveMath m;
        QCOMPARE(m.getgeqfreq(band), hz);
    }

    void gridfollowsroundingrule()
    {
        CurveMath m;
        for (int i = 0; i < CurveMath::kGridSize; ++i) {
            if (i > 0)
                QVERIFY2(m.getfreq(i) > m.getfreq(i - 1), qPrintable(QString::number(i)));
            if (isfixedentry(i))
                continue;
            QVERIFY2(qAbs(m.getfreq(i) - ruleentry(i)) < 1e-9 * ruleentry(i),
                     qPrintable(QStringLiteral("%1: %2 vs %3").arg(i).arg(m.getfreq(i)).arg(ruleentry(i))));
        }
    }

    // --- nearest index ---------------------------------------------------

    void findfreqindex_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<uint>("index");
        QTest::newRow("below the grid") << 5.0 << 0u;
        QTest::newRow("tie 10.0/10.2 gives upper") << 10.1 << 1u;
        QTest::newRow("tie 1000/1020 gives upper") << 1010.0 << 239u;
        QTest::newRow("90.1/94: above the middle") << 92.1 << 115u;
        QTest::newRow("90.1/94: below the middle") << 92.0 << 114u;
        QTest::newRow("above the grid") << 30000.0 << 398u;
        QTest::newRow("NaN") << kNaN << 398u;
    }
    void findfreqindex()
    {
        QFETCH(double, hz);
        QFETCH(uint, index);
        CurveMath m;
        QCOMPARE(m.findfreqindex(hz), index);
        if (std::isfinite(hz) && hz == std::floor(hz) && qAbs(hz) < 1e9)
            QCOMPARE(m.findgridindex(int(hz)), double(index));
    }

    // --- pixel mappings --------------------------------------------------

    void freqtox_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<int>("x800");
        QTest::addColumn<int>("x400");
        QTest::addColumn<int>("x402");
        QTest::newRow("10 Hz") << 10.0 << 0 << 0 << 0;
        QTest::newRow("1 kHz") << 1000.0 << 478 << 239 << 240;
        QTest::newRow("21.9 kHz") << 21900.0 << 800 << 400 << 402;
        // Nonsense frequencies give a far-left pixel, never an undefined conversion.
        QTest::newRow("0 Hz") << 0.0 << -1000000 << -1000000 << -1000000;
        QTest::newRow("NaN") << kNaN << -1000000 << -1000000 << -1000000;
        QTest::newRow("huge") << 1e300 << 71607 << 35803 << 35982;
    }
    void freqtox()
    {
        QFETCH(double, hz);
        QFETCH(int, x800);
        QFETCH(int, x400);
        QFETCH(int, x402);
        CurveMath m;
        QCOMPARE(m.freqtox(hz), x800);
        QCOMPARE(m.freqtox400(hz), x400);
        QCOMPARE(m.freqtox402(hz), x402);
    }

    void xtofreqindexroundtrip()
    {
        CurveMath m;
        for (int i = 0; i < CurveMath::kGridSize; ++i)
            QCOMPARE(m.xtofreqindex(m.freqtox(m.getfreq(i))), uint(i));
    }

    // --- sections ----------------------------------------------------------

    void peakingatcentre_data()
    {
        QTest::addColumn<float>("f0");
        QTest::addColumn<float>("gain");
        QTest::addColumn<int>("width");
        QTest::newRow("6 dB at 1 kHz, one octave") << 1000.0f << 6.0f << 17;
        QTest::newRow("15 dB at 20 Hz, narrowest") << 20.0f << 15.0f << 0;
        QTest::newRow("-30 dB at 10 kHz, widest") << 10000.0f << -30.0f << 40;
    }
    void peakingatcentre()
    {
        QFETCH(float, f0);
        QFETCH(float, gain);
        QFETCH(int, width);
        CurveMath m;
        const float q = float(m.getq(width));
        QVERIFY(qAbs(m.peakingdb(f0, gain, q, f0) - gain) < 1e-7);
        // The bell falls off on both sides and keeps the sign of the gain.
        const double below = m.peakingdb(f0, gain, q, f0 / 4);
        const double above = m.peakingdb(f0, gain, q, qMin(f0 * 1.5f, 40000.0f));
        QVERIFY(qAbs(below) < qAbs(gain));
        QVERIFY(qAbs(above) < qAbs(gain));
        QVERIFY(below * gain >= 0 && above * gain >= 0);
    }

    void peakingzerogainisflat()
    {
        CurveMath m;
        for (int i = 0; i < CurveMath::kGridSize; ++i)
            QCOMPARE(m.peakingdb(1000.0f, 0.0f, 1.41f, float(m.getfreq(i))), 0.0);
    }

    void crossoveratcorner_data()
    {
        QTest::addColumn<int>("section"); // 1..3 low-pass, 4..6 high-pass
        QTest::addColumn<float>("f0");
        QTest::addColumn<float>("f");
        QTest::addColumn<double>("db");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("lp1 at corner") << 1 << 1000.0f << 1000.0f << -3.0103 << 1e-4;
        QTest::newRow("lp3 at corner") << 3 << 1000.0f << 1000.0f << -6.9897 << 1e-4;
        QTest::newRow("hp3 at corner") << 6 << 1000.0f << 1000.0f << -6.9897 << 1e-4;
        QTest::newRow("lp2 far below") << 2 << 5000.0f << 10.0f << 0.0 << 1e-4;
        // Two decades above a second-order low-pass: 40 dB per decade.
        QTest::newRow("lp1 two decades above") << 1 << 100.0f << 10000.0f << -80.64 << 0.01;
    }
    void crossoveratcorner()
    {
        QFETCH(int, section);
        QFETCH(float, f0);
        QFETCH(float, f);
        QFETCH(double, db);
        QFETCH(double, tolerance);
        CurveMath m;
        double (CurveMath::*const sections[])(float, float, float, float) = {
            &CurveMath::lowpassdb1,  &CurveMath::lowpassdb2,  &CurveMath::lowpassdb3,
            &CurveMath::highpassdb1, &CurveMath::highpassdb2, &CurveMath::highpassdb3};
        const double v = (m.*sections[section - 1])(f0, 12.0f, 0.707f, f);
        QVERIFY2(qAbs(v - db) < tolerance, qPrintable(QString::number(v, 'g', 10)));
        // The ignored arguments change nothing.
        if (section == 1)
            QCOMPARE(m.lowpassdb1(f0, -3.0f, 9.0f, f), v);
    }

    void displayfloor_data()
    {
        QTest::addColumn<double>("db");
        QTest::addColumn<double>("shown");
        QTest::newRow("minus infinity") << -kInf << CurveMath::kDisplayFloorDb;
        QTest::newRow("NaN") << kNaN << CurveMath::kDisplayFloorDb;
        QTest::newRow("below the floor") << -250.0 << CurveMath::kDisplayFloorDb;
        QTest::newRow("in range") << -6.5 << -6.5;
    }
    void displayfloor()
    {
        QFETCH(double, db);
        QFETCH(double, shown);
        QCOMPARE(CurveMath::displaydb(db), shown);
    }

    void sectionsneverinfinite_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<float>("f0");
        QTest::addColumn<float>("gain");
        QTest::addColumn<float>("q");
        QTest::addColumn<float>("f");
        // Zero magnitude: the low-pass zero at half the rate, the high-pass zero at 0 Hz.
        QTest::newRow("low-pass zero") << 1 << 1000.0f << 0.0f << 0.0f << 48000.0f;
        QTest::newRow("high-pass zero") << 4 << 1000.0f << 0.0f << 0.0f << 0.0f;
        // Nonsense arguments: Q 0, an absurd gain, a NaN frequency.
        QTest::newRow("peaking Q 0") << 0 << 1000.0f << 6.0f << 0.0f << 1000.0f;
        QTest::newRow("peaking f NaN") << 0 << 1000.0f << 6.0f << 1.0f << float(kNaN);
    }
    void sectionsneverinfinite()
    {
        QFETCH(int, section);
        QFETCH(float, f0);
        QFETCH(float, gain);
        QFETCH(float, q);
        QFETCH(float, f);
        CurveMath m;
        const double v = section == 0   ? m.peakingdb(f0, gain, q, f)
                         : section == 1 ? m.lowpassdb1(f0, gain, q, f)
                                        : m.highpassdb1(f0, gain, q, f);
        QVERIFY(std::isfinite(v));
        QVERIFY(v >= CurveMath::kDisplayFloorDb && v <= CurveMath::kDisplayCeilingDb);
        if (section != 0)
            QCOMPARE(v, CurveMath::kDisplayFloorDb);
        // A display scales and truncates it to pixels.
        const qint64 px = qint64(5.0 * v);
        QVERIFY(qAbs(px) <= 1000);
    }

    // --- phase -------------------------------------------------------------

    // The phase with its sign, for both kinds of section, against the
    // response of the section written out here as a complex fraction.
    // Hand-known signs: an all-pass lags below its centre and (wrapped) leads
    // above it; a boost leads below its centre and lags above; a cut the reverse.
    void phasesign_data()
    {
        QTest::addColumn<float>("kind");
        QTest::addColumn<float>("gain");
        QTest::addColumn<float>("f");
        QTest::addColumn<int>("sign");
        QTest::newRow("all-pass, half the centre") << 1.0f << 0.0f << 500.0f << -1;
        QTest::newRow("all-pass, twice the centre") << 1.0f << 0.0f << 2000.0f << 1;
        QTest::newRow("boost 12 dB below") << 0.0f << 12.0f << 700.0f << 1;
        QTest::newRow("boost 12 dB above") << 0.0f << 12.0f << 1400.0f << -1;
    }
    void phasesign()
    {
        QFETCH(float, kind);
        QFETCH(float, gain);
        QFETCH(float, f);
        QFETCH(int, sign);
        const double pi = 3.14159265358979323846;
        const double w0 = 2 * pi * 1000.0 / 48000.0, q = 0.707;
        const double alpha = std::sin(w0) / (2 * q), a = std::pow(10.0, gain / 40.0);
        double b[3], d[3];
        if (kind == 0.0f) {
            const double bb[3] = {1 + alpha * a, -2 * std::cos(w0), 1 - alpha * a};
            const double dd[3] = {1 + alpha / a, -2 * std::cos(w0), 1 - alpha / a};
            std::copy(bb, bb + 3, b);
            std::copy(dd, dd + 3, d);
        } else {
            const double bb[3] = {1 - alpha, -2 * std::cos(w0), 1 + alpha};
            const double dd[3] = {1 + alpha, -2 * std::cos(w0), 1 - alpha};
            std::copy(bb, bb + 3, b);
            std::copy(dd, dd + 3, d);
        }
        const std::complex<double> z1 = std::polar(1.0, -2 * pi * f / 48000.0);
        const std::complex<double> h = (b[0] + b[1] * z1 + b[2] * z1 * z1) / (d[0] + d[1] * z1 + d[2] * z1 * z1);
        const double expected = std::arg(h) * 180.0 / pi;
        CurveMath m;
        const double p = m.phasedeg(1000.0f, gain, float(q), f, kind, 0.0f, 3);
        QVERIFY2(qAbs(p - expected) < 1e-3, qPrintable(QStringLiteral("%1 against %2").arg(p).arg(expected)));
        QCOMPARE(p > 0 ? 1 : -1, sign);
    }

    void allpassphase_data()
    {
        QTest::addColumn<float>("f0");
        QTest::addColumn<float>("f");
        QTest::addColumn<double>("degrees"); // magnitude of the phase
        QTest::addColumn<double>("tolerance");
        // At the centre +-180 (within the single-precision rounding of a0).
        QTest::newRow("at 1 kHz centre") << 1000.0f << 1000.0f << 180.0 << 1e-3;
        QTest::newRow("10 Hz below 10 kHz") << 10000.0f << 10.0f << 0.0 << 0.2;
    }
    void allpassphase()
    {
        QFETCH(float, f0);
        QFETCH(float, f);
        QFETCH(double, degrees);
        QFETCH(double, tolerance);
        CurveMath m;
        const double p = m.phasedeg(f0, 0.0f, 0.707f, f, 1.0f, 0.0f, 17);
        QVERIFY2(qAbs(qAbs(p) - degrees) < tolerance, qPrintable(QString::number(p, 'g', 12)));
        QVERIFY(p >= -180.0 && p <= 180.0);
        QCOMPARE(m.getphase(17), p);
    }

    void phaseindexoutofrange_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("INT_MAX") << std::numeric_limits<int>::max();
    }
    void phaseindexoutofrange()
    {
        QFETCH(int, index);
        CurveMath m;
        const double p = m.phasedeg(1000.0f, 0.0f, 0.707f, 1000.0f, 1.0f, 0.0f, index);
        QVERIFY(qAbs(qAbs(p) - 180.0) < 1e-3);
        // Computed, not stored: the ends of the table are untouched.
        QCOMPARE(m.getphase(0), 0.0);
        QCOMPARE(m.getphase(398), 0.0);
    }

    // --- fields start at zero ----------------------------------------------

    void freshobjectreadszero()
    {
        // Build over memory full of garbage: every array must start at zero.
        alignas(CurveMath) unsigned char buffer[sizeof(CurveMath)];
        std::memset(buffer, 0xA5, sizeof buffer);
        CurveMath *m = new (buffer) CurveMath;
        for (int i = 0; i < CurveMath::kFirPointCount; ++i) {
            QCOMPARE(m->getfirphase(i), 0.0);
            QCOMPARE(m->firlevelraw(i), 0.0);
            QCOMPARE(m->getfirmag(i), 0.0);
            QCOMPARE(m->getphase(i), 0.0);
        }
        for (int n = 0; n < 256; ++n) {
            QCOMPARE(m->firwindowvalue(n), 0.0);
            QCOMPARE(m->firtap(n), 0.0);
        }
        // A section evaluated first on this object is right (no stale cache).
        QVERIFY(qAbs(m->peakingdb(1000.0f, 6.0f, 1.41f, 1000.0f) - 6.0) < 1e-7);
        // Only segment 0 computed: the others still read zero, not garbage.
        m->setfirfreqs(67.5, 10, 100, 0);
        m->firresponse2(1000.0f, 67.5, 10, 0, 6.0, 0);
        QVERIFY(m->getfirmag(0) < 0.0 && m->getfirmag(0) > -1.0);
        QCOMPARE(m->getfirphase(0), 10.0);
        QCOMPARE(m->getfirmag(100), 0.0);
        QCOMPARE(m->getfirphase(100), 0.0);
        QCOMPARE(m->getfirmag(398), 0.0);
        m->~CurveMath();
    }

    // --- FIR windows -------------------------------------------------------

    void windows_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<double>("end");
        QTest::addColumn<double>("centre");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("0 Bartlett") << 0 << 0.0 << 1.0 << 1e-12;
        QTest::newRow("1 Bartlett-Hann") << 1 << 0.0 << 1.0 << 1e-7;
        QTest::newRow("2 rectangular") << 2 << 1.0 << 1.0 << 0.0;
        QTest::newRow("3 Hann") << 3 << 0.0 << 1.0 << 1e-12;
        QTest::newRow("4 Bohman") << 4 << 0.0 << 1.0 << 1e-12;
        QTest::newRow("5 Parzen") << 5 << 0.0 << 1.0 << 1e-12;
        QTest::newRow("6 Hamming") << 6 << 0.08 << 1.0 << 1e-12;
        QTest::newRow("7 Blackman") << 7 << 0.0 << 1.0 << 1e-12;
        QTest::newRow("8 Blackman-Harris") << 8 << 0.00006 << 1.0 << 1e-7;
        QTest::newRow("9 flat top") << 9 << -0.000421 << 1.0 << 1e-6;
        QTest::newRow("10 Blackman-Nuttall") << 10 << 0.000363 << 1.0 << 1e-6;
        QTest::newRow("255 acts as 10") << 255 << 0.000363 << 1.0 << 1e-6;
    }
    void windows()
    {
        QFETCH(int, window);
        QFETCH(double, end);
        QFETCH(double, centre);
        QFETCH(double, tolerance);
        for (quint8 order = 0; order < 3; ++order) {
            CurveMath m;
            m.firwindow(order, quint8(window));
            const int n = CurveMath::firtaps(order);
            QVERIFY2(qAbs(m.firwindowvalue(0) - end) <= tolerance,
                     qPrintable(QString::number(m.firwindowvalue(0))));
            QVERIFY(qAbs(m.firwindowvalue(n) - end) <= tolerance);
            QVERIFY2(qAbs(m.firwindowvalue(n / 2) - centre) <= tolerance,
                     qPrintable(QString::number(m.firwindowvalue(n / 2), 'g', 12)));
            for (int i = 0; i <= n; ++i) {
                QVERIFY(qAbs(m.firwindowvalue(i) - m.firwindowvalue(n - i)) < 1e-7); // symmetric
                QVERIFY(m.firwindowvalue(i) <= centre + tolerance);
            }
            QCOMPARE(m.firwindowvalue(n + 1), 0.0); // nothing beyond N
        }
    }

    // --- FIR design --------------------------------------------------------

    void firlevels_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<double>("window");
        QTest::addColumn<float>("f1");
        QTest::addColumn<float>("f2");
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("db");
        QTest::addColumn<double>("tolerance");
        // Worked values.
        QTest::newRow("LP 64 Hamming at corner")
            << int(LowPass) << 0 << 6.0 << 1000.0f << 0.0f << 1000.0 << -6.0 << 0.05;
        QTest::newRow("LP 64 rect at 2 kHz")
            << int(LowPass) << 0 << 2.0 << 1000.0f << 0.0f << 2000.0 << -22.7 << 0.05;
        QTest::newRow("HP 128 Hamming at corner")
            << int(HighPass) << 2 << 6.0 << 1000.0f << 0.0f << 1000.0 << -6.0 << 0.05;
        QTest::newRow("BP 128 Hamming at 1 kHz")
            << int(BandPass) << 2 << 6.0 << 500.0f << 2000.0f << 1000.0 << -0.19 << 0.01;
        // Every type at its corners for the three orders: about -6 dB (half
        // the amplitude) for a windowed sinc whose transition band fits.
        for (int order = 0; order < 3; ++order) {
            QTest::addRow("LP order %d at 4 kHz corner", order)
                << int(LowPass) << order << 6.0 << 4000.0f << 0.0f << 4000.0 << -6.02 << 0.1;
            QTest::addRow("HP order %d at 4 kHz corner", order)
                << int(HighPass) << order << 6.0 << 4000.0f << 0.0f << 4000.0 << -6.02 << 0.1;
            QTest::addRow("BP order %d at 3 kHz lower corner", order)
                << int(BandPass) << order << 6.0 << 3000.0f << 9000.0f << 3000.0 << -6.02 << 0.1;
            QTest::addRow("BP order %d at 9 kHz upper corner", order)
                << int(BandPass) << order << 6.0 << 3000.0f << 9000.0f << 9000.0 << -6.02 << 0.1;
            QTest::addRow("LP order %d passband", order)
                << int(LowPass) << order << 6.0 << 4000.0f << 0.0f << 500.0 << 0.0 << 0.05;
            QTest::addRow("HP order %d stopband", order) << int(HighPass) << order << 6.0 << 4000.0f << 0.0f
                                                         << 100.0 << -60.0 << 7.0; // Hamming side lobes
        }
    }
    void firlevels()
    {
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(double, window);
        QFETCH(float, f1);
        QFETCH(float, f2);
        QFETCH(double, hz);
        QFETCH(double, db);
        QFETCH(double, tolerance);
        CurveMath m;
        const double level = firlevelat(m, type, f1, f2, quint8(order), window, hz);
        QVERIFY2(qAbs(level - db) <= tolerance, qPrintable(QString::number(level, 'g', 10)));
        const int n = CurveMath::firtaps(quint8(order));
        QVERIFY(m.firtap(n - 1) != 0.0 || type != LowPass);
        QCOMPARE(m.firtap(n), 0.0); // N taps, point N cleared
    }

    void firnotaps_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<float>("f1");
        QTest::addColumn<float>("f2");
        QTest::newRow("LP order 3") << int(LowPass) << 3 << 1000.0f << 0.0f;
        QTest::newRow("BP equal corners") << int(BandPass) << 1 << 1000.0f << 1000.0f;
    }
    void firnotaps()
    {
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(float, f1);
        QFETCH(float, f2);
        CurveMath m;
        firpanel(m, type, f1, f2, quint8(order), 6.0);
        for (int n = 0; n < 256; ++n)
            QCOMPARE(m.firtap(n), 0.0);
        for (int i = 0; i < CurveMath::kFirPointCount; ++i) {
            // The level itself is minus infinity ...
            QCOMPARE(m.firlevelraw(i), -kInf);
            // ... and the display reads the floor: y = 75 - v stays a finite integer.
            QCOMPARE(m.getfirmag(i), CurveMath::kDisplayFloorDb);
            QCOMPARE(int(75 - m.getfirmag(i)), 275);
        }
    }

    void firsegmentnumbers_data()
    {
        QTest::addColumn<int>("segment");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("0") << 0 << 0 << 100;
        QTest::newRow("4 is the last segment") << 4 << 300 << 99;
        QTest::newRow("-1 is the last segment") << -1 << 300 << 99;
    }
    void firsegmentnumbers()
    {
        QFETCH(int, segment);
        QFETCH(int, first);
        QFETCH(int, count);
        CurveMath m;
        m.setfirfreqs(2000.0, 1000.0, count, segment);
        m.firresponse2(1000.0f, 2000.0, 1000.0, 0, 6.0, segment);
        for (int i = 0; i < CurveMath::kFirPointCount; ++i) {
            const bool inside = i >= first && i < first + count;
            if (!inside) {
                QCOMPARE(m.getfirphase(i), 0.0);
                QCOMPARE(m.firlevelraw(i), 0.0);
            } else {
                QVERIFY(qAbs(m.getfirphase(i) - (1000.0 + (i - first) * 1000.0 / (count - 1))) < 1e-9);
                QVERIFY(m.firlevelraw(i) < -5.0); // at or above the corner
            }
        }
    }

    void firfreqscountbelowtwo()
    {
        CurveMath m;
        m.setfirfreqs(2000.0, 1000.0, 1, 1);
        m.setfirfreqs(2000.0, 1500.0, 0, 2);
        for (int k = 0; k < 100; ++k) {
            QCOMPARE(m.getfirphase(100 + k), 1000.0);
            QCOMPARE(m.getfirphase(200 + k), 1500.0);
        }
    }

    // Chirp-z levels against a plain sum of the taps at each point's frequency.
    void firmatchesdirectsum_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<double>("window");
        QTest::addColumn<float>("f1");
        QTest::addColumn<float>("f2");
        QTest::newRow("LP 64 Hamming 1 kHz") << int(LowPass) << 0 << 6.0 << 1000.0f << 0.0f;
        QTest::newRow("HP 128 Blackman 1 kHz") << int(HighPass) << 2 << 7.0 << 1000.0f << 0.0f;
        QTest::newRow("BP 128 Nuttall 101-10100") << int(BandPass) << 2 << 10.0 << 101.0f << 10100.0f;
    }
    void firmatchesdirectsum()
    {
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(double, window);
        QFETCH(float, f1);
        QFETCH(float, f2);
        CurveMath m;
        firpanel(m, type, f1, f2, quint8(order), window);
        const int n = CurveMath::firtaps(quint8(order));
        for (int i = 0; i < CurveMath::kFirPointCount; ++i) {
            // Extended precision: the angles reach a few hundred radians.
            const long double w = 2.0L * 3.14159265358979323846264L * m.getfirphase(i) / 48000.0L;
            long double re = 0;
            long double im = 0;
            for (int k = 0; k < n; ++k) {
                re += m.firtap(k) * std::cos(w * k);
                im -= m.firtap(k) * std::sin(w * k);
            }
            const double direct = double(20.0L * std::log10(std::sqrt(re * re + im * im)));
            const double diff = qAbs(direct - m.firlevelraw(i));
            QVERIFY2(diff < 1e-6, qPrintable(QStringLiteral("point %1 (%2 Hz): %3 vs %4 dB")
                                                 .arg(i)
                                                 .arg(m.getfirphase(i))
                                                 .arg(m.firlevelraw(i), 0, 'g', 12)
                                                 .arg(direct, 0, 'g', 12)));
        }
    }
};

QTEST_APPLESS_MAIN(TestCurveMath)
#include "tst_curvemath.moc"
