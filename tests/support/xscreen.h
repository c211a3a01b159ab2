#pragma once

// What an X server shows, for the tests on an X server of their own. Only
// Xlib's opaque Display is named here (see xinput.h).

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
} // namespace xscreen
