#pragma once

// What the page tests share: the program-wide language object and controller
// as start-up makes them (the settings file in a directory of the test's
// own), one listed serial device as the current device, and the model's
// program image as a download leaves it.

#include "devicedata.h"

#include <QByteArray>
#include <QTemporaryDir>

class DeviceFixture
{
public:
    static constexpr uchar kType = 0x18;

    // English until a test says otherwise; the device of this type at addr
    // is listed and current. A failed check leaves the test failed.
    void startup(uchar addr = 1, uchar type = kType);
    // Everything startup made, gone again.
    void shutdown();

    // Bytes of the program image as a download leaves them: the model packed,
    // the bytes replaced, the image unpacked into the model again.
    static void setimagebytes(DeviceData *d, int offset, const QByteArray &bytes);
    // The model packed as a program image.
    static QByteArray packed(DeviceData *d);

    QTemporaryDir dir;
    DeviceData *dev = nullptr;
};

// The controller, the listed devices and the language object start-up makes,
// deleted in that order; the globals left empty.
void deleteprogramglobals();
