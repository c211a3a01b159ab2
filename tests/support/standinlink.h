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
