#pragma once

// Xlib and XTest for a test's own calls to its X server. Xlib's short macro
// names would clash with Qt's and with the meta-object code, so they are
// taken back here; include this after the Qt headers.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#undef Bool
#undef None
#undef Status
#undef Unsorted
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Expose
#undef FontChange
#undef CursorShape
