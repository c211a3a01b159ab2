#pragma once

// Delay units of the delay page: the processor holds a channel's delay as a
// whole number of samples at 48 kHz (0..48000, 0..1000 ms); the page shows it
// in milliseconds, metres or feet and reads typed values in the same unit.
//
// The arithmetic is fixed to the digit: the way out derives metres from whole
// hundredths of a millisecond and feet from whole centimetres, the way back
// truncates the entry to hundredths of its unit, and several constants are
// single precision. No widgets and no state here.

#include <QString>

namespace delayunits
{

enum Unit { Milliseconds = 0, Metres = 1, Feet = 2 };
constexpr int kUnitCount = 3;
constexpr int kMaxSamples = 48000;

// The three texts of a sample count ("%.2f" each) and the millisecond value.
struct Texts {
    QString ms;
    QString metres;
    QString feet;
    float msvalue = 0.0f;
    // The text of a unit 0..2; an empty text for any other unit.
    QString of(int unit) const;
};

Texts textsof(int samples);

// The sample count of an entered text in a unit (0..2), unclamped: it may lie
// below 0 or above 48000. A text that is not a finite number, or a unit out of
// range, gives no count: ok is set false and the result is 0.
int samplesof(const QString &text, int unit, bool *ok);

// The text shown after an entry was clamped to 48000 samples: "1000.00",
// "344.43" or "1130.02"; empty for a unit out of range.
QString limittext(int unit);

// The unit's name in English (language 0) or Chinese (any other language);
// empty for a unit out of range.
QString unitname(int unit, int language);

} // namespace delayunits
