#include "eqresponse.h"

#include "curvemath.h"
#include "devicedata.h"

#include <cmath>

namespace eqresponse
{

namespace
{

// Conversion of a product to whole pixels, toward zero. The product is finite:
// every dB value CurveMath hands out is display-clamped.
int trunc(double v)
{
    return static_cast<int>(v);
}

// One row of a corner table: from this d on (up to the next row's start) the
// term is trunc(mul x D) + add; mul 0 gives the constant add.
struct Row {
    int from;
    double mul;
    int add;
};

template <size_t N> int cornerterm(const Row (&rows)[N], int d, double D)
{
    // Rows are ordered by their start; the first row also covers everything
    // below its start.
    const Row *row = &rows[0];
    for (const Row &r : rows) {
        if (d >= r.from)
            row = &r;
    }
    if (row->mul == 0.0)
        return row->add;
    return trunc(row->mul * D) + row->add;
}

constexpr int kLow = -100000; // start of the first row

// Butterworth 24 / 36 / 48 high-pass, by d = i - kH.
const Row kH24[] = {{kLow, 10, 0}, {-10, 10, 2}, {-3, 10, 3}, {0, 10, 6},
                    {7, 10, 5},    {15, 10, 4},  {20, 10, 3}, {25, 10, 2}};
const Row kH36[] = {{kLow, 14, 0}, {-30, 14, 7}, {-15, 14, 10}, {-8, 14, 15},
                    {-4, 14, 20},  {9, 0, -3},   {11, 0, -1},   {15, 0, 0}};
const Row kH48[] = {{kLow, 19, 0}, {-30, 18, 14}, {-15, 18, 19}, {-12, 18, 20}, {-8, 18, 23},
                    {-4, 17, 26},  {0, 14, 21},   {9, 0, -3},    {11, 0, -1},   {15, 0, 0}};

// Butterworth 24 / 36 / 48 low-pass, by d = i - kL.
const Row kL24[] = {{kLow, 9, 1}, {-29, 9, 2}, {-24, 9, 3}, {-19, 9, 4}, {-14, 9, 5},
                    {-6, 9, 6},   {3, 9, 4},   {8, 9, 2},   {16, 9, 0},  {36, 9, -4}};
const Row kL36[] = {{kLow, 0, 0}, {-14, 0, -1}, {-10, 0, -3}, {-8, 14, 20}, {-3, 14, 22},
                    {1, 14, 23},  {9, 14, 21},  {16, 14, 16}, {24, 14, 10}, {31, 14, 0}};
const Row kL48[] = {{kLow, 0, 0}, {-14, 0, -1}, {-10, 0, -3}, {-8, 14, 21}, {-3, 14, 23}, {1, 14, 24},
                    {5, 14, 23},  {9, 17, 32},  {16, 17, 26}, {24, 18, 24}, {31, 19, 0}};

// Second-order magnitude of the slope family: Bessel (Q 0.5774), Butterworth
// (Q 0.7071), Linkwitz-Riley (Q 0.4472); family = (type - 1) % 3.
double highpassd(CurveMath &m, int family, float fc, float f)
{
    switch (family) {
    case 0:
        return m.highpassdb2(fc, 12.0f, 0.707f, f);
    case 1:
        return m.highpassdb1(fc, 12.0f, 0.707f, f);
    default:
        return m.highpassdb3(fc, 12.0f, 0.707f, f);
    }
}

double lowpassd(CurveMath &m, int family, float fc, float f)
{
    switch (family) {
    case 0:
        return m.lowpassdb2(fc, 12.0f, 0.707f, f);
    case 1:
        return m.lowpassdb1(fc, 12.0f, 0.707f, f);
    default:
        return m.lowpassdb3(fc, 12.0f, 0.707f, f);
    }
}

} // namespace

int highpassterm(CurveMath &math, int type, float fh, int kh, int i, double f)
{
    if (type < 1 || type > 12)
        return 0;
    const int family = (type - 1) % 3;
    const int steep = (type - 1) / 3; // 0: 12 dB, 1: 24, 2: 36, 3: 48
    if (family == 1 && steep > 0) {
        // Butterworth 24..48: the corner tables, only up to twice the corner.
        if (f > 2.0 * double(fh))
            return 0;
        const double D = highpassd(math, family, fh, float(f));
        const int d = i - kh;
        if (steep == 1)
            return cornerterm(kH24, d, D);
        if (steep == 2)
            return cornerterm(kH36, d, D);
        return cornerterm(kH48, d, D);
    }
    static const double kMul[] = {5, 8, 11, 14};
    return trunc(kMul[steep] * highpassd(math, family, fh, float(f)));
}

int lowpassterm(CurveMath &math, int type, float fl, int kl, int i, double f)
{
    if (type < 1 || type > 12)
        return 0;
    const int family = (type - 1) % 3;
    const int steep = (type - 1) / 3;
    if (family == 1 && steep > 0) {
        if (f < 0.5 * double(fl))
            return 0;
        const double D = lowpassd(math, family, fl, float(f));
        const int d = i - kl;
        if (steep == 1) {
            // 16..35 truncates 9 D - 1 as a whole.
            if (d >= 16 && d <= 35)
                return trunc(9.0 * D - 1.0);
            return cornerterm(kL24, d, D);
        }
        if (steep == 2)
            return cornerterm(kL36, d, D);
        return cornerterm(kL48, d, D);
    }
    static const double kMul[] = {5, 10, 15, 20};
    return trunc(kMul[steep] * lowpassd(math, family, fl, float(f)));
}

CurvePoints computecurve(CurveMath &math, const CurveInput &in)
{
    CurvePoints out;
    for (int i = 0; i < kPoints; ++i)
        out.x[i] = math.freqtox(math.getfreq(i));

    if (!in.output && in.bypassall) {
        out.flat = true;
        out.bypassed = true;
        out.y.fill(kZeroRow);
        return out;
    }
    out.bypassed = in.bypassall;

    float gain[kBands];
    int kb[kBands];
    double plateau[kBands];
    for (int b = 0; b < kBands; ++b) {
        const Band &band = in.bands[b];
        gain[b] = (band.bypass || in.bypassall) ? 0.0f : band.gain;
        kb[b] = int(math.findfreqindex(band.freq));
        // A shelf's plateau: its full gain, the peaking value at its own centre.
        plateau[b] = math.peakingdb(band.freq, gain[b], 3.0f, band.freq);
    }
    const int kh = in.output ? int(math.findfreqindex(in.hpfreq)) : 0;
    const int kl = in.output ? int(math.findfreqindex(in.lpfreq)) : 0;

    for (int i = 0; i < kPoints; ++i) {
        const double f = math.getfreq(i);
        const float ff = float(f);
        int y = kZeroRow;
        for (int b = 0; b < kBands; ++b) {
            const Band &band = in.bands[b];
            double p = math.peakingdb(band.freq, gain[b], band.q, ff);
            if (((band.type == 1 || band.type == 2) && i <= kb[b]) ||
                ((band.type == 3 || band.type == 4) && i >= kb[b]))
                p = plateau[b];
            y -= trunc(5.0 * p);
        }
        if (in.output) {
            y -= highpassterm(math, in.hptype, in.hpfreq, kh, i, f);
            y -= lowpassterm(math, in.lptype, in.lpfreq, kl, i, f);
        }
        out.y[i] = y;
    }
    return out;
}

CurveInput curveinput(const DeviceData &device, int channel, CurveMath &math)
{
    CurveInput in;
    if (channel < 0 || channel >= DeviceData::kChannelCount)
        return in;
    in.output = channel >= 4;
    in.bypassall = device.getpeqbypassall(channel);
    for (int b = 0; b < kBands; ++b) {
        Band &band = in.bands[b];
        band.freq = float(math.getfreq(device.getpeqfreq(channel, b)));
        band.gain = float((double(device.getpeqgain(channel, b)) - 300.0) / 10.0);
        band.type = device.getpeqtype(channel, b);
        band.bypass = device.getpeqbypass(channel, b);
        switch (band.type) {
        case 0:
            band.q = float(math.getq(device.getpeqwidth(channel, b)));
            break;
        case 1:
        case 3:
            band.q = 0.707f;
            break;
        case 2:
        case 4:
            band.q = 0.95f;
            break;
        default:
            band.q = 2.9f;
            break;
        }
    }
    if (in.output) {
        const int o = channel - 4;
        in.hpfreq = float(math.getfreq(device.gethpffreq(o)));
        in.lpfreq = float(math.getfreq(device.getlpffreq(o)));
        in.hptype = device.gethpftype(o);
        in.lptype = device.getlpftype(o);
    }
    return in;
}

// --- FIR --------------------------------------------------------------------

const std::array<FirSegment, 4> &firsegments()
{
    static const std::array<FirSegment, 4> s = {
        {{10.0, 67.5, 100}, {68.8, 427.0, 100}, {481.0, 3240.0, 100}, {3300.0, 21900.0, 99}}};
    return s;
}

FirPoints computefir(CurveMath &math, const FirInput &in)
{
    FirPoints out;
    // A flat filter, and an order the processor does not know (no taps to
    // design), are drawn as the 0 dB line.
    if (in.type == 0 || in.order < 0 || in.order > 255 || CurveMath::firtaps(quint8(in.order)) == 0) {
        out.flat = true;
        return out;
    }
    const quint8 order = quint8(in.order);
    const auto &segs = firsegments();
    for (int s = 0; s < 4; ++s)
        math.setfirfreqs(segs[s].last, segs[s].first, segs[s].points, s);
    for (int s = 0; s < 4; ++s) {
        const double last = segs[s].last, first = segs[s].first;
        if (in.type == 1)
            math.firresponse3(float(math.getgridfreq(in.hpindex)), last, first, order, in.hpwindow, s);
        else if (in.type == 2)
            math.firresponse2(float(math.getgridfreq(in.lpindex)), last, first, order, in.lpwindow, s);
        else
            math.firresponse1(float(math.getgridfreq(in.bplow)), float(math.getgridfreq(in.bphigh)), last,
                              first, order, in.bpwindow, s);
    }
    for (int i = 0; i < kPoints; ++i) {
        out.x[i] = math.freqtox400(math.getfirphase(i));
        double v = math.firlevelraw(i);
        if (!(v >= kFirFloorDb)) // minus infinity, NaN and deep stop band
            v = kFirFloorDb;
        else if (v > 1000.0)
            v = 1000.0;
        out.y[i] = kZeroRow - static_cast<int>(v);
    }
    return out;
}

FirInput firinput(const DeviceData &device, int output)
{
    FirInput in;
    if (output < 0 || output >= DeviceData::kOutputCount)
        return in;
    in.type = device.getxobyte0(output);
    in.order = device.getfirorder(output);
    in.hpindex = device.getfirlowfreq(output);
    in.lpindex = device.getfirhighfreq(output);
    in.bplow = device.getfirlowparam(output);
    in.bphigh = device.getfirhighparam(output);
    in.hpwindow = device.getfirparam1(output);
    in.lpwindow = device.getfirparam2(output);
    in.bpwindow = device.getfirparam3(output);
    return in;
}

// --- phase ------------------------------------------------------------------

double wrapphase(double s)
{
    if (s > 180.0) {
        const long long k = static_cast<long long>(s / 360.0);
        if (k == 0)
            s -= 360.0;
        double r = s - 360.0 * double(k);
        if (r > 180.0)
            r -= 360.0;
        return r;
    }
    if (s < -180.0) {
        const long long k = static_cast<long long>(-s / 360.0);
        if (k == 0)
            s += 360.0;
        double r = s + 360.0 * double(k);
        if (r < -180.0)
            r += 360.0;
        return r;
    }
    return s;
}

PhasePoints computephase(CurveMath &math, const PhaseInput &in)
{
    PhasePoints out;
    for (int i = 0; i < kPoints; ++i) {
        const double f = math.getfreq(i);
        out.x[i] = math.freqtox402(f);
        float s = 0.0f;
        for (int b = 0; b < kBands; ++b) {
            if (in.allpass[b])
                s += float(math.phasedeg(in.freq[b], 0.0f, 0.707f, float(f), 1.0f, 0.0f, i));
        }
        out.y[i] = in.bypassall ? 100.0 : 100.0 - wrapphase(double(s)) * 0.5555555555555556;
    }
    return out;
}

PhaseInput phaseinput(const DeviceData &device, int channel, CurveMath &math)
{
    PhaseInput in;
    if (channel < 0 || channel >= DeviceData::kChannelCount)
        return in;
    in.bypassall = device.getpeqbypassall(channel);
    for (int b = 0; b < kBands; ++b) {
        in.freq[b] = float(math.getfreq(device.getpeqfreq(channel, b)));
        in.allpass[b] = device.getpeqtype(channel, b) == 5 && !device.getpeqbypass(channel, b);
    }
    return in;
}

} // namespace eqresponse
