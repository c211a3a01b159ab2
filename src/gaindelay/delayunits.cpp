#include "delayunits.h"

#include <cmath>

namespace delayunits
{

namespace
{

// Single-precision constants, widened where they are used.
constexpr float kOffset = 0.005f;
constexpr float kHundred = 100.0f;
constexpr float kHundredthsPerSample = 2.0833333f; // hundredths of a ms per sample, entry side
constexpr float kHalf = 0.5f;
constexpr float kMsPerSampleIn = 0.020833332f; // entry side
constexpr float kLimits[kUnitCount] = {1000.0f, 344.43f, 1130.02f};

// Double-precision constants.
constexpr double kMsPerSampleOut = 0.020833333; // display side
constexpr double kMetresPerHundredthMs = 0.00344427;
constexpr double kFeetPerCm = 0.032808399;
constexpr double kCmPerMs = 34.4427;
constexpr double kHundredthFeetPerMetre = 328.08399;
constexpr double kMetresPerMs = 0.344427;

// Whole results are kept far inside int; an entry this large is clamped by
// the page anyway.
constexpr double kWholeLimit = 1.0e9;

double truncated(double v)
{
    return std::trunc(std::fmax(-kWholeLimit, std::fmin(kWholeLimit, v)));
}

QString fixed2(float v)
{
    return QStringLiteral("%1").arg(double(v), 0, 'f', 2);
}

} // namespace

QString Texts::of(int unit) const
{
    switch (unit) {
    case Milliseconds:
        return ms;
    case Metres:
        return metres;
    case Feet:
        return feet;
    default:
        return QString();
    }
}

Texts textsof(int samples)
{
    Texts t;
    const float ms = float((double(samples) + double(kOffset)) * kMsPerSampleOut);
    const double hundredths = truncated((double(ms) + double(kOffset)) * double(kHundred));
    const float metres = float(hundredths * kMetresPerHundredthMs);
    const double cm = truncated((double(metres) + double(kOffset)) * double(kHundred));
    const float feet = float(cm * kFeetPerCm);
    t.msvalue = ms;
    t.ms = fixed2(ms);
    t.metres = fixed2(metres);
    t.feet = fixed2(feet);
    return t;
}

int samplesof(const QString &text, int unit, bool *ok)
{
    bool number = false;
    const float x = text.toFloat(&number);
    const bool valid = number && std::isfinite(x) && unit >= 0 && unit < kUnitCount;
    if (ok)
        *ok = valid;
    if (!valid)
        return 0;
    const float h = float(truncated((double(x) + double(kOffset)) * double(kHundred)));
    double s = 0.0;
    switch (unit) {
    case Milliseconds:
        s = double(h) / double(kHundredthsPerSample) + double(kHalf);
        break;
    case Metres:
        s = double(h) / kCmPerMs / double(kMsPerSampleIn) + double(kHalf);
        break;
    default:
        s = double(h) / kHundredthFeetPerMetre / kMetresPerMs / double(kMsPerSampleIn) + double(kHalf);
        break;
    }
    return int(truncated(s));
}

QString limittext(int unit)
{
    if (unit < 0 || unit >= kUnitCount)
        return QString();
    return fixed2(kLimits[unit]);
}

QString unitname(int unit, int language)
{
    static const char *const english[kUnitCount] = {"Millisecond", "Metre", "Feet"};
    static const char *const chinese[kUnitCount] = {"毫秒", "米", "英尺"};
    if (unit < 0 || unit >= kUnitCount)
        return QString();
    return language == 0 ? QString::fromLatin1(english[unit]) : QString::fromUtf8(chinese[unit]);
}

} // namespace delayunits
