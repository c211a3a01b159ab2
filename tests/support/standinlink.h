#pragma once

// The processor stand-in with one unit (type 0x18, address 1) on a
// pseudo-terminal and a protocol engine of the test's own on its line, for
// tests of a page against the processor; and frames written as hex text.

#include "ccomctrl.h"
#include "standin.h"

#include <QByteArray>
#include <QString>
#include <QVector>

QByteArray hex(const char *text);
// Comma-separated frames in hex.
QVector<QByteArray> frames(const QString &text);
// Twelve link masks drawn from seed, as a program file or a processor may
// hold them: any bits of the channel's side, so asymmetric and often without
// the channel's own bit (IN-A's and OUT1's never have it).
QByteArray randommasks(quint32 seed);

// Waits until the stand-in has read every frame the engine handed to its
// serial port so far. Frames queued in the program, in the port's writer and
// on the line may still be on their way once an exchange has given up on
// them (its waits may run on a scaled clock): a marker frame, for an address
// no unit has, goes out behind them through the same queue and line, and
// once the stand-in has it, every frame before it is recorded too. False
// when the marker does not arrive (the line dead or closed).
bool standincaughtup(const standin::Standin &s, CComCtrl &ctrl);
// No unit is at this address: the stand-in records its frames, unanswered.
constexpr quint8 kMarkAddress = 0x7E;

class StandinLink
{
public:
    // Once per test case: the line, the unit on it and the engine open.
    bool openline();
    void closeline() { ctrl.closemaincom(); }

    // The commands (of one code, or all) received up to a level request sent
    // last: the request goes out unguarded, so everything sent before it
    // arrived before it. The record is cleared.
    QVector<QByteArray> sent(int code = -1);
    // The unit's program image.
    QByteArray image() const { return s.state(unit).image; }

    standin::Standin s;
    int unit = -1;
    CComCtrl ctrl;
};
