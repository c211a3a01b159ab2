#include "curvemath.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 6.283185307179586;
// The chirp of the FIR evaluation is built from this shorter value of 2*pi;
// it moves the levels only in their last digits.
constexpr double kChirpTwoPi = 6.28318530717958;

constexpr double kDbPerNeper = 4.3429448190325182765; // 10 / ln 10
constexpr double kMagnitudeRate = 96000.0;            // sections' magnitude
constexpr double kPhaseRate = 48000.0;                // sections' phase
constexpr double kFirRate = 48000.0;                  // FIR design and response

// ln 2190 as a single-precision value: the axis divisor of the 10 Hz .. 21.9 kHz axis.
constexpr double kAxisDivisor = 7.691656589508057;

// Damping of the three crossover sections (alpha = zeta * sin w0).
constexpr float kZeta1 = 0.70710677f;
constexpr float kZeta2 = 0.8660254f;
constexpr float kZeta3 = 1.118034f;

// 1/36-octave grid, 10 Hz .. 21.9 kHz, three significant digits; entry 238 is 1 kHz.
constexpr double kGrid[CurveMath::kGridSize] = {
    10.0,  10.2,  10.4,  10.6,  10.8,  11.0,  11.3,  11.5,  11.7,  11.9,  12.2,  12.4,  12.6,  12.9,  13.1,
    13.4,  13.7,  13.9,  14.2,  14.5,  14.7,  15.0,  15.3,  15.6,  15.9,  16.2,  16.6,  16.9,  17.2,  17.5,
    17.9,  18.2,  18.6,  18.9,  19.3,  19.7,  20.1,  20.5,  20.9,  21.3,  21.7,  22.1,  22.5,  23.0,  23.4,
    23.9,  24.3,  24.8,  25.3,  25.8,  26.3,  26.8,  27.3,  27.8,  28.4,  28.9,  29.5,  30.1,  30.7,  31.3,
    31.9,  32.5,  33.1,  33.8,  34.4,  35.1,  35.8,  36.5,  37.2,  37.9,  38.6,  39.4,  40.1,  40.9,  41.7,
    42.5,  43.4,  44.2,  45.1,  45.9,  46.8,  47.7,  48.7,  49.6,  50.6,  51.6,  52.6,  53.6,  54.6,  55.7,
    56.8,  57.9,  59.0,  60.1,  61.3,  62.5,  63.7,  65.0,  66.2,  67.5,  68.8,  70.2,  71.5,  72.9,  74.3,
    75.8,  77.2,  78.7,  80.3,  81.8,  83.4,  85.0,  86.7,  88.4,  90.1,  94.0,  95.0,  97.0,  99.0,  101,
    103,   105,   107,   109,   111,   114,   116,   118,   120,   123,   125,   127,   130,   132,   135,
    138,   140,   143,   146,   149,   152,   154,   157,   161,   164,   167,   170,   173,   177,   180,
    184,   187,   191,   195,   198,   202,   206,   210,   214,   218,   223,   227,   231,   236,   241,
    245,   250,   255,   260,   265,   270,   275,   281,   286,   292,   297,   303,   309,   315,   321,
    327,   334,   340,   347,   354,   360,   367,   375,   382,   389,   397,   405,   412,   420,   429,
    437,   445,   454,   463,   472,   481,   490,   500,   510,   520,   530,   540,   551,   561,   572,
    583,   595,   606,   618,   630,   642,   655,   667,   680,   694,   707,   721,   735,   749,   764,
    779,   794,   809,   825,   841,   857,   874,   891,   908,   926,   944,   962,   981,   1000,  1020,
    1040,  1060,  1080,  1100,  1120,  1140,  1170,  1190,  1210,  1240,  1260,  1280,  1310,  1330,  1360,
    1390,  1410,  1440,  1470,  1500,  1530,  1560,  1590,  1620,  1650,  1680,  1710,  1750,  1780,  1820,
    1850,  1890,  1920,  1960,  2000,  2040,  2080,  2120,  2160,  2200,  2240,  2290,  2330,  2380,  2420,
    2470,  2520,  2570,  2620,  2670,  2720,  2770,  2830,  2880,  2940,  3000,  3050,  3110,  3170,  3240,
    3300,  3360,  3430,  3500,  3560,  3630,  3700,  3780,  3850,  3920,  4000,  4080,  4160,  4240,  4320,
    4400,  4490,  4580,  4670,  4760,  4850,  4940,  5040,  5140,  5240,  5340,  5440,  5500,  5660,  5770,
    5880,  5990,  6110,  6230,  6350,  6470,  6600,  6730,  6860,  6990,  7130,  7270,  7410,  7550,  7700,
    7850,  8000,  8160,  8310,  8480,  8640,  8810,  8980,  9150,  9330,  9510,  9700,  9890,  10100, 10300,
    10500, 10700, 10900, 11100, 11300, 11500, 11800, 12100, 12200, 12500, 12700, 12900, 13200, 13500, 13700,
    14000, 14300, 14500, 14800, 15100, 15400, 15700, 16000, 16300, 16600, 17000, 17300, 17600, 18000, 18300,
    18700, 19000, 19400, 19800, 20200, 20600, 21000, 21400, 21900};

// Band widths in octaves and their Q, by width index (0 = narrowest).
constexpr double kWidth[CurveMath::kWidthCount] = {
    0.017, 0.02,  0.025, 0.033, 0.04, 0.05,  0.063, 0.083, 0.1,  0.125, 0.167, 0.2,   0.25, 0.333,
    0.5,   0.667, 0.75,  1.0,   1.25, 1.333, 1.5,   1.667, 1.75, 2.0,   2.25,  2.333, 2.5,  2.667,
    2.75,  3.0,   3.25,  3.333, 3.5,  3.667, 3.75,  4.0,   4.25, 4.333, 4.5,   4.667, 4.75};
constexpr double kQ[CurveMath::kWidthCount] = {
    86.6, 72.1, 57.7, 43.3, 36.1, 28.9, 23.1, 17.3,  14.4,  11.5,  8.7,  7.2,   5.8,  4.3,
    2.9,  2.1,  1.9,  1.41, 1.12, 1.04, 0.92, 0.82,  0.78,  0.67,  0.58, 0.56,  0.51, 0.47,
    0.45, 0.4,  0.36, 0.35, 0.33, 0.3,  0.29, 0.267, 0.242, 0.234, 0.22, 0.207, 0.2};

// Graphic-EQ centres: 20 * 2^(k/3), 0.1 Hz below 100 Hz, 1 Hz above.
constexpr double kGeq[CurveMath::kGeqBandCount] = {
    20,  25.2, 31.7, 40,   50.4, 63.5, 80,   101,  127,  160,  202,  254,   320,   403,   508,  640,
    806, 1016, 1280, 1613, 2032, 2560, 3225, 4064, 5120, 6451, 8127, 10240, 12902, 16255, 20480};

int axisx(double f, double width)
{
    const double x = std::log(f / 10.0) * width / kAxisDivisor;
    if (!(x > -1.0e6)) // NaN, minus infinity, frequencies at or below zero
        return -1000000;
    if (x > 1.0e6)
        return 1000000;
    return static_cast<int>(x); // toward zero
}

// First grid index whose entry is >= f, kGridSize when none (NaN included).
int gridlowerbound(double f)
{
    if (std::isnan(f))
        return CurveMath::kGridSize;
    return static_cast<int>(std::lower_bound(kGrid, kGrid + CurveMath::kGridSize, f) - kGrid);
}

unsigned int nearestgrid(double f)
{
    const int i = gridlowerbound(f);
    if (i >= CurveMath::kGridSize)
        return CurveMath::kGridSize - 1;
    if (i == 0)
        return 0;
    const double up = kGrid[i] - f;
    const double down = f - kGrid[i - 1];
    return static_cast<unsigned int>(up > down ? i - 1 : i);
}

// 800-pixel positions of the grid entries.
struct GridX {
    int x[CurveMath::kGridSize];
    GridX()
    {
        for (int i = 0; i < CurveMath::kGridSize; ++i)
            x[i] = axisx(kGrid[i], 800.0);
    }
};

const GridX &gridx()
{
    static const GridX table;
    return table;
}

// exp(-j 2 pi k / 512) for k = 0..255: the twiddles of every transform length
// up to 512, taken directly rather than by repeated rotation so that deep
// stop-band levels keep their accuracy.
struct Twiddles {
    double re[256];
    double im[256];
    Twiddles()
    {
        for (int k = 0; k < 256; ++k) {
            re[k] = std::cos(kTwoPi * k / 512.0);
            im[k] = -std::sin(kTwoPi * k / 512.0);
        }
    }
};

const Twiddles &twiddles()
{
    static const Twiddles table;
    return table;
}

// In-place radix-2 decimation-in-time FFT of length len (a power of two, at
// most 512): bit-reversal permutation, then log2(len) butterfly stages.
void fft(double *re, double *im, int len, bool inverse)
{
    for (int i = 1, j = 0; i < len; ++i) {
        int bit = len >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    const Twiddles &tw = twiddles();
    for (int h = 1; h < len; h <<= 1) {
        const int stride = 256 / h; // exp(-j pi k / h) = table[k * stride]
        for (int k = 0; k < h; ++k) {
            const double ur = tw.re[k * stride];
            const double ui = inverse ? -tw.im[k * stride] : tw.im[k * stride];
            for (int i = k; i < len; i += 2 * h) {
                const int j = i + h;
                const double tr = ur * re[j] - ui * im[j];
                const double ti = ur * im[j] + ui * re[j];
                re[j] = re[i] - tr;
                im[j] = im[i] - ti;
                re[i] += tr;
                im[i] += ti;
            }
        }
    }
}

// An angle of up to a few hundred radians, formed in extended precision,
// brought into -pi..pi before the double-precision sine and cosine.
double reduceangle(long double a)
{
    const long double turn = 6.283185307179586476925286766559L;
    const long double perturn = 0.159154943091895335768883763372514L;
    if (!(std::fabs(a) < 1.0e15L)) // never for the angles used here; keeps the cast defined
        return static_cast<double>(a);
    const long double turns = a * perturn;
    const long long whole = static_cast<long long>(turns + (turns < 0 ? -0.5L : 0.5L));
    return static_cast<double>(a - turn * static_cast<long double>(whole));
}

} // namespace

double CurveMath::displaydb(double db)
{
    if (!(db >= kDisplayFloorDb)) // NaN and values below the floor
        return kDisplayFloorDb;
    if (db > kDisplayCeilingDb)
        return kDisplayCeilingDb;
    return db;
}

// --- tables -------------------------------------------------------------

double CurveMath::getfreq(int i) const
{
    return kGrid[qBound(0, i, kGridSize - 1)];
}

double CurveMath::getgridfreq(int i) const
{
    return kGrid[qBound(0, i, kGridSize - 1)];
}

double CurveMath::getq(int w) const
{
    return kQ[qBound(0, w, kWidthCount - 1)];
}

double CurveMath::getwidth(int w) const
{
    return kWidth[qBound(0, w, kWidthCount - 1)];
}

double CurveMath::getgeqfreq(int k) const
{
    return kGeq[qBound(0, k, kGeqBandCount - 1)];
}

unsigned int CurveMath::findfreqindex(double f) const
{
    return nearestgrid(f);
}

double CurveMath::findgridindex(int f) const
{
    return static_cast<double>(nearestgrid(static_cast<double>(f)));
}

// --- pixel mapping --------------------------------------------------------

int CurveMath::freqtox(double f) const
{
    return axisx(f, 800.0);
}

int CurveMath::freqtox400(double f) const
{
    return axisx(f, 400.0);
}

int CurveMath::freqtox402(double f) const
{
    return axisx(f, 402.0);
}

int CurveMath::geqbandtox(int k) const
{
    return freqtox(getgeqfreq(k));
}

unsigned int CurveMath::xtofreqindex(int x) const
{
    const int *xs = gridx().x;
    const int i = static_cast<int>(std::lower_bound(xs, xs + kGridSize, x) - xs);
    if (i >= kGridSize)
        return kGridSize - 1;
    if (i == 0)
        return 0;
    return static_cast<unsigned int>((x - xs[i - 1]) < (xs[i] - x) ? i - 1 : i);
}

// --- second-order sections ----------------------------------------------

const CurveMath::Section &CurveMath::section(int kind, float f0, float gain, float q)
{
    // A display evaluates up to about fifteen sections in turn at every
    // point: look the coefficient set up, replacing the oldest on a miss.
    for (int k = 0; k < kSectionSlots; ++k) {
        const Section &c = m_sections[k];
        if (c.kind == kind && c.f0 == f0 && c.gain == gain && c.q == q)
            return c;
    }
    Section &s = m_sections[m_nextslot];
    m_nextslot = (m_nextslot + 1) % kSectionSlots;

    // Extended precision: for narrow or low sections the sums below cancel
    // to a few digits (1 - cos w0 is tiny), which double precision would
    // leave visibly off the band's own gain at its centre.
    typedef long double ld;
    const ld w0 = static_cast<ld>(kTwoPi) * f0 / kMagnitudeRate;
    const ld sinw = std::sin(w0);
    const ld cosw = std::cos(w0);
    ld b0, b1, b2, a1, a2;
    if (kind == Peaking) {
        const ld a = std::pow(10.0L, static_cast<ld>(gain) / 40.0L);
        const ld alpha = sinw / (2.0L * q);
        const ld a0 = 1.0L + alpha / a;
        b0 = (1.0L + alpha * a) / a0;
        b1 = -2.0L * cosw / a0;
        b2 = (1.0L - alpha * a) / a0;
        a1 = -2.0L * cosw / a0;
        a2 = (1.0L - alpha / a) / a0;
    } else {
        float zeta = kZeta1;
        if (kind == LowPass2 || kind == HighPass2)
            zeta = kZeta2;
        else if (kind == LowPass3 || kind == HighPass3)
            zeta = kZeta3;
        const ld alpha = sinw * zeta;
        const ld a0 = 1.0L + alpha;
        a1 = -2.0L * cosw / a0;
        a2 = (1.0L - alpha) / a0;
        if (kind <= LowPass3) {
            b0 = (1.0L - cosw) / (2.0L * a0);
            b1 = (1.0L - cosw) / a0;
        } else {
            b0 = (1.0L + cosw) / (2.0L * a0);
            b1 = -(1.0L + cosw) / a0;
        }
        b2 = b0;
    }
    s.kind = kind;
    s.f0 = f0;
    s.gain = gain;
    s.q = q;
    const ld sumb = b0 + b1 + b2;
    s.sn = static_cast<double>(sumb * sumb);
    s.bn = static_cast<double>(b0 * b2);
    s.cn = static_cast<double>(4.0L * b0 * b2 + (b0 + b2) * b1);
    const ld suma = 1.0L + a1 + a2;
    s.sd = static_cast<double>(suma * suma);
    s.bd = static_cast<double>(a2);
    s.cd = static_cast<double>(4.0L * a2 + (1.0L + a2) * a1);
    return s;
}

double CurveMath::sectiondb(int kind, float f0, float gain, float q, float f)
{
    const Section &s = section(kind, f0, gain, q);
    if (!m_lastvalid || f != m_lastf) {
        const double sn = std::sin(0.5 * kTwoPi * f / kMagnitudeRate);
        m_lastp = 4.0 * sn * sn;
        m_lastf = f;
        m_lastvalid = true;
    }
    const double p = m_lastp;
    // |H(e^jw)|^2 of the section, written in p = 4 sin^2(w/2).
    const double num = s.sn + (s.bn * p - s.cn) * p;
    const double den = s.sd + (s.bd * p - s.cd) * p;
    return displaydb(kDbPerNeper * std::log(num / den));
}

double CurveMath::peakingdb(float f0, float gain, float q, float f)
{
    return sectiondb(Peaking, f0, gain, q, f);
}

double CurveMath::lowpassdb1(float f0, float, float, float f)
{
    return sectiondb(LowPass1, f0, 0, 0, f);
}

double CurveMath::lowpassdb2(float f0, float, float, float f)
{
    return sectiondb(LowPass2, f0, 0, 0, f);
}

double CurveMath::lowpassdb3(float f0, float, float, float f)
{
    return sectiondb(LowPass3, f0, 0, 0, f);
}

double CurveMath::highpassdb1(float f0, float, float, float f)
{
    return sectiondb(HighPass1, f0, 0, 0, f);
}

double CurveMath::highpassdb2(float f0, float, float, float f)
{
    return sectiondb(HighPass2, f0, 0, 0, f);
}

double CurveMath::highpassdb3(float f0, float, float, float f)
{
    return sectiondb(HighPass3, f0, 0, 0, f);
}

double CurveMath::phasedeg(float f0, float gain, float q, float f, float kind, float, int i)
{
    const bool store = i >= 0 && i < kGridSize;
    if (store)
        m_phase[i] = 0.0;

    const double w0 = kTwoPi * f0 / kPhaseRate;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double cosw0 = std::cos(w0);
    double b0, b1, b2, a1, a2;
    if (kind == 0.0f) {
        const double a = std::pow(10.0, gain / 40.0);
        const double a0 = 1.0 + alpha / a;
        b0 = (1.0 + alpha * a) / a0;
        b1 = -2.0 * cosw0 / a0;
        b2 = (1.0 - alpha * a) / a0;
        a1 = -2.0 * cosw0 / a0;
        a2 = (1.0 - alpha / a) / a0;
    } else {
        const double a0 = static_cast<float>(1.0 + alpha);
        a1 = -2.0 * cosw0 / a0;
        a2 = (1.0 - alpha) / a0;
        b0 = a2;
        b1 = a1;
        b2 = 1.0;
    }

    const double w = kTwoPi * f / kPhaseRate;
    const double c = std::cos(w);
    const double s = std::sin(w);
    const double nr = b0 + b1 * c + b2 * (2.0 * c * c - 1.0);
    const double ni = b1 * s + 2.0 * b2 * c * s;
    const double dr = 1.0 + a1 * c + a2 * (2.0 * c * c - 1.0);
    const double di = a1 * s + 2.0 * a2 * c * s;
    double deg = std::atan2(di * nr - dr * ni, ni * di + nr * dr) / kPi * 180.0;
    if (!std::isfinite(deg))
        deg = 0.0;
    if (store)
        m_phase[i] = deg;
    return deg;
}

double CurveMath::getphase(int i) const
{
    return m_phase[qBound(0, i, kGridSize - 1)];
}

// --- FIR ------------------------------------------------------------------

int CurveMath::firtaps(quint8 order)
{
    switch (order) {
    case 0:
        return 64;
    case 1:
        return 96;
    case 2:
        return 128;
    default:
        return 0;
    }
}

double CurveMath::getfirorder(quint8 order) const
{
    return firtaps(order);
}

quint8 CurveMath::windowbyte(double window)
{
    // Truncated toward zero; the low byte of the integer selects the window.
    if (!std::isfinite(window) || std::fabs(window) >= 4.0e18)
        return 10;
    return static_cast<quint8>(static_cast<quint64>(static_cast<qint64>(window)) & 0xFF);
}

void CurveMath::firwindow(quint8 order, quint8 window)
{
    const int n = firtaps(order);
    if (n == 0)
        return;
    const double nn = n;
    double *w = m_window;
    switch (window) {
    case 0: // Bartlett
        for (int i = 0; i <= n; ++i) {
            if (i < n / 2)
                w[i] = 2.0 * i / nn;
            else
                w[i] = static_cast<float>(2.0f - 2.0f * i / static_cast<float>(n));
        }
        break;
    case 1: // Bartlett-Hann, made symmetric from its second half
        for (int i = 0; i <= n; ++i) {
            const float x = static_cast<float>(i) / static_cast<float>(n) - 0.5f;
            w[i] = 0.62 - 0.48 * std::fabs(x) + 0.38 * std::cos(kTwoPi * x);
        }
        for (int i = 0; i <= n / 2; ++i)
            w[i] = w[n - i];
        break;
    case 2: // rectangular
        for (int i = 0; i <= n; ++i)
            w[i] = 1.0;
        break;
    case 3: // Hann
        for (int i = 0; i <= n; ++i)
            w[i] = 0.5 * (1.0 - std::cos(kTwoPi * i / nn));
        break;
    case 4: // Bohman
        for (int i = 0; i <= n; ++i) {
            const double x = std::fabs(2.0 * i / nn - 1.0);
            w[i] = (1.0 - x) * std::cos(kPi * x) + std::sin(kPi * x) / kPi;
        }
        break;
    case 5: // Parzen
        for (int i = 0; i <= n; ++i) {
            const double d = std::fabs(i - nn / 2.0);
            const double x = 2.0 * d / nn;
            if (d <= nn / 4.0)
                w[i] = 1.0 - 6.0 * x * x + 6.0 * x * x * x;
            else
                w[i] = 2.0 * (1.0 - x) * (1.0 - x) * (1.0 - x);
        }
        break;
    case 6: // Hamming
        for (int i = 0; i <= n; ++i)
            w[i] = 0.54 - 0.46 * std::cos(kTwoPi * i / nn);
        break;
    case 7: // Blackman
        for (int i = 0; i <= n; ++i)
            w[i] = 0.42 - 0.5 * std::cos(kTwoPi * i / nn) + 0.08 * std::cos(2.0 * kTwoPi * i / nn);
        break;
    case 8: // 4-term Blackman-Harris
        for (int i = 0; i <= n; ++i) {
            const double a = kTwoPi * i / nn;
            w[i] = double(0.35875f) - double(0.48829f) * std::cos(a) + double(0.14128f) * std::cos(2.0 * a) -
                   double(0.01168f) * std::cos(3.0 * a);
        }
        break;
    case 9: // 5-term flat top
        for (int i = 0; i <= n; ++i) {
            const double a = kTwoPi * i / nn;
            w[i] = double(0.21557899f) - double(0.41663158f) * std::cos(a) +
                   double(0.27726316f) * std::cos(2.0 * a) - double(0.083578944f) * std::cos(3.0 * a) +
                   double(0.006947368f) * std::cos(4.0 * a);
        }
        break;
    default: // 4-term Blackman-Nuttall
        for (int i = 0; i <= n; ++i) {
            const double a = kTwoPi * i / nn;
            w[i] = double(0.3635819f) - double(0.4891775f) * std::cos(a) +
                   double(0.1365995f) * std::cos(2.0 * a) - double(0.0106411f) * std::cos(3.0 * a);
        }
        break;
    }
}

double CurveMath::firwindowvalue(int n) const
{
    return n >= 0 && n < 256 ? m_window[n] : 0.0;
}

double CurveMath::firtap(int n) const
{
    return n >= 0 && n < 256 ? m_taps[n] : 0.0;
}

void CurveMath::firdesign(int n, int m, double start, double end)
{
    n = qBound(0, n, 256);
    m = qBound(0, m, 256);
    if (m == 0)
        return;
    int len = 1;
    while (len < n + m - 1)
        len <<= 1;

    // Angles in radians per sample: the normalised bounds are fractions of
    // Nyquist. The chirp angles grow with k^2 up to a few hundred radians, so
    // they are formed in extended precision and reduced before the sine and
    // cosine, which keeps deep stop-band levels accurate.
    const long double halfturn = static_cast<long double>(kChirpTwoPi) / 2.0L;
    const long double wstart = halfturn * start;
    const long double dw = m > 1 ? halfturn * (static_cast<long double>(end) - start) / (m - 1) : 0.0L;

    // Chirp c[k] = exp(j dw k^2 / 2).
    double cre[512];
    double cim[512];
    const int chirplen = std::max(n, m);
    for (int k = 0; k < chirplen; ++k) {
        const double a = reduceangle(dw * (static_cast<long double>(k) * k) / 2.0L);
        cre[k] = std::cos(a);
        cim[k] = std::sin(a);
    }

    double vre[512] = {};
    double vim[512] = {};
    for (int k = 0; k < m; ++k) {
        vre[k] = cre[k];
        vim[k] = cim[k];
    }
    for (int k = 1; k < n; ++k) {
        vre[len - k] = cre[k];
        vim[len - k] = cim[k];
    }
    fft(vre, vim, len, false);

    // y[k] = x[k] exp(-j wstart k) conj(c[k])
    double *re = m_workre;
    double *im = m_workim;
    for (int k = 0; k < n; ++k) {
        const double a = reduceangle(wstart * k);
        const double er = std::cos(a);
        const double ei = -std::sin(a);
        const double tr = re[k] * er - im[k] * ei;
        const double ti = re[k] * ei + im[k] * er;
        re[k] = tr * cre[k] + ti * cim[k];
        im[k] = ti * cre[k] - tr * cim[k];
    }
    for (int k = n; k < len; ++k) {
        re[k] = 0.0;
        im[k] = 0.0;
    }
    fft(re, im, len, false);
    for (int k = 0; k < len; ++k) {
        const double tr = re[k] * vre[k] - im[k] * vim[k];
        const double ti = re[k] * vim[k] + im[k] * vre[k];
        re[k] = tr;
        im[k] = ti;
    }
    fft(re, im, len, true);
    for (int k = 0; k < m; ++k) {
        const double gr = re[k] / len;
        const double gi = im[k] / len;
        re[k] = gr * cre[k] + gi * cim[k];
        im[k] = gi * cre[k] - gr * cim[k];
    }
}

int CurveMath::segmentstart(int segment)
{
    return segment >= 0 && segment <= 2 ? 100 * segment : 300;
}

int CurveMath::segmentpoints(int segment)
{
    return segment >= 0 && segment <= 2 ? 100 : 99;
}

void CurveMath::setfirfreqs(double end, double start, int n, int segment)
{
    const int first = segmentstart(segment);
    const int points = segmentpoints(segment);
    const double ns = 2.0 * start / kFirRate;
    const double ne = 2.0 * end / kFirRate;
    for (int k = 0; k < points; ++k) {
        const double step = n >= 2 ? (k * (ne - ns)) / (n - 1) : 0.0;
        m_firfreq[first + k] = (step + ns) * (kFirRate / 2.0);
    }
}

double CurveMath::getfirmag(int i) const
{
    return displaydb(firlevelraw(i));
}

double CurveMath::firlevelraw(int i) const
{
    return m_firlevel[qBound(0, i, kFirPointCount - 1)];
}

double CurveMath::getfirphase(int i) const
{
    return m_firfreq[qBound(0, i, kFirPointCount - 1)];
}

// type: 1 band-pass (f1, f2), 2 low-pass (f1), 3 high-pass (f1).
void CurveMath::designtaps(int type, float f1, float f2, quint8 order, double window)
{
    const int n = firtaps(order);
    firwindow(order, windowbyte(window));
    std::fill(m_taps, m_taps + 256, 0.0);
    const double *w = m_window;

    if (n > 0 && type == 2) {
        const double wc = kPi * (2.0 * f1 / kFirRate);
        const double c = (n - 1) / 2.0;
        for (int i = 0; i < n; ++i) {
            const double t = i - c;
            m_taps[i] = std::sin(wc * t) / (kPi * t) * w[i];
        }
    } else if (n > 0) {
        // Ideal low-pass prototype on n + 1 points centred at n / 2.
        const int half = n / 2;
        auto prototype = [half](double u, int i) {
            const int m = std::abs(i - half);
            if (m == 0)
                return u;
            return std::sin(m * kPi * u) / (kPi * m);
        };
        if (type == 3) {
            const double u = 2.0 * f1 / kFirRate;
            for (int i = 0; i < n; ++i)
                m_taps[i] = (i == half ? (1.0 - u) : -prototype(u, i)) * w[i];
        } else {
            const double u1 = static_cast<float>(2.0f * f1) / kFirRate;
            const double u2 = static_cast<float>(2.0f * f2) / kFirRate;
            for (int i = 0; i < n; ++i)
                m_taps[i] = (prototype(u2, i) - prototype(u1, i)) * w[i];
        }
    }

    for (int i = 0; i < 512; ++i) {
        m_workre[i] = i < 256 ? m_taps[i] : 0.0;
        m_workim[i] = 0.0;
    }
}

void CurveMath::evaluatesegment(int n, double end, double start, int segment)
{
    const int first = segmentstart(segment);
    const int points = segmentpoints(segment);
    firdesign(n, points, 2.0 * start / kFirRate, 2.0 * end / kFirRate);
    for (int k = 0; k < points; ++k) {
        const double mag = std::sqrt(m_workre[k] * m_workre[k] + m_workim[k] * m_workim[k]);
        m_workre[k] = mag;
        m_firlevel[first + k] = 20.0 * std::log10(mag);
    }
}

void CurveMath::firresponse1(float f1, float f2, double end, double start, quint8 order, double window,
                             int segment)
{
    designtaps(1, f1, f2, order, window);
    evaluatesegment(firtaps(order), end, start, segment);
}

void CurveMath::firresponse2(float fc, double end, double start, quint8 order, double window, int segment)
{
    designtaps(2, fc, 0.0f, order, window);
    evaluatesegment(firtaps(order), end, start, segment);
}

void CurveMath::firresponse3(float fc, double end, double start, quint8 order, double window, int segment)
{
    designtaps(3, fc, 0.0f, order, window);
    evaluatesegment(firtaps(order), end, start, segment);
}
