#pragma once

// What an X server shows, for the tests on an X server of their own. Only
// Xlib's opaque Display is named here (see xinput.h).

#include <QByteArray>
#include <QImage>
#include <QRect>

typedef struct _XDisplay Display;

namespace xscreen
{
// The pixels of the root window in r (screen coordinates), as the server
// holds them once every request sent before is handled; a null image when
// the server gave none or its pixels are not 32 bits wide (a screen of depth
// 24 comes as 32-bit pixels, as QImage keeps them).
QImage grab(Display *display, const QRect &r);

// A property of a window as Xlib hands it over: `count` items, of 8 bits as
// bytes, of 16 and 32 bits as shorts and longs.
struct Property {
    QByteArray data;
    unsigned long count = 0;
    int format = 0;
};
// The window's property `name` of the type named (any type when null), at
// most `length` 32-bit units of it; no items when the window has none.
Property property(Display *display, unsigned long window, const char *name, long length,
                  const char *type = nullptr);
} // namespace xscreen
