#pragma once

// The response computations of the EQ displays, free of widgets: model values
// in, plot points out. The paint code of the curve, FIR and phase widgets
// draws what these return; tests and the benchmark call them directly.
//
// Every value that comes from the model (a processor or a program file) is
// taken as it is stored and made safe here: grid and width indices go through
// the clamping look-ups of CurveMath, levels that are not finite or lie far
// below a plot are drawn at that plot's floor, and an unknown FIR order is
// drawn as the flat line.

#include <array>

class CurveMath;
class DeviceData;

namespace eqresponse
{

constexpr int kBands = 7;
constexpr int kPoints = 399;

// --- summed magnitude of the seven bands and the crossover (800 x 225 plot) --

struct Band {
    float freq = 1000.0f; // centre in Hz
    float gain = 0.0f;    // dB
    float q = 1.0f;       // Q used to draw the band
    int type = 0;         // 0 PEQ, 1..4 shelves, 5 All Pass
    bool bypass = false;
};

struct CurveInput {
    bool output = false;    // an output channel: the crossover is drawn
    bool bypassall = false; // the channel's PEQ bypass-all bit
    std::array<Band, kBands> bands{};
    float hpfreq = 10.0f;    // high-pass corner in Hz
    float lpfreq = 21900.0f; // low-pass corner in Hz
    int hptype = 0;          // slope type 0..12 (above 12: no filter)
    int lptype = 0;
};

struct CurvePoints {
    // An input with bypass-all: only the 0 dB line from (2, 75) to (809, 75),
    // no fill, and the "Bypassed" label.
    bool flat = false;
    // The label shows (bypass-all on an input or an output).
    bool bypassed = false;
    std::array<int, kPoints> x{};
    std::array<int, kPoints> y{};
};

// Plot row of a dB value: y = 75 - 5 x dB.
constexpr int kZeroRow = 75;

CurvePoints computecurve(CurveMath &math, const CurveInput &in);

// The high-pass and low-pass pixel terms (subtracted from y) at grid index i
// with grid frequency f; kH/kL are the corners' grid indices.
int highpassterm(CurveMath &math, int type, float fh, int kh, int i, double f);
int lowpassterm(CurveMath &math, int type, float fl, int kl, int i, double f);

// Reads the inputs of the channel 0..11 of a device; a channel outside 0..11
// gives the default (flat) input.
CurveInput curveinput(const DeviceData &device, int channel, CurveMath &math);

// --- FIR magnitude of an output (370 x 225 widget, 0 dB at y 75, 1 px/dB) ----

struct FirInput {
    int type = 0;                                            // 0 flat, 1 HP, 2 LP, above 2 BP
    int order = 0;                                           // 0, 1, 2 (64, 96, 128 taps); others: flat line
    int hpindex = 0, lpindex = 398, bplow = 0, bphigh = 398; // grid indices
    int hpwindow = 0, lpwindow = 0, bpwindow = 0;
};

struct FirPoints {
    // Nothing to draw (an input channel).
    bool none = false;
    // One line from (2, 75) to (405, 75), no fill.
    bool flat = false;
    std::array<int, kPoints> x{};
    std::array<int, kPoints> y{};
};

// Lowest level drawn by the FIR panel, at the widget's bottom row (y 225):
// lower or non-finite levels are drawn there.
constexpr double kFirFloorDb = -150.0;

FirPoints computefir(CurveMath &math, const FirInput &in);
FirInput firinput(const DeviceData &device, int output);
// The four segments of FIR points: first and last Hz, point count.
struct FirSegment {
    double first, last;
    int points;
};
const std::array<FirSegment, 4> &firsegments();

// --- summed all-pass phase (410 x 200 widget, 0 degrees at y 100) -----------

struct PhaseInput {
    bool bypassall = false;
    std::array<float, kBands> freq{};
    std::array<bool, kBands> allpass{}; // type 5 and not bypassed
};

struct PhasePoints {
    std::array<int, kPoints> x{};
    std::array<double, kPoints> y{};
};

PhasePoints computephase(CurveMath &math, const PhaseInput &in);
PhaseInput phaseinput(const DeviceData &device, int channel, CurveMath &math);
// Wraps a phase sum into -180..+180 by whole turns.
double wrapphase(double s);

} // namespace eqresponse
