#include "xserver.h"

#include "xinput.h"

#include <X11/Xlib.h>

namespace xserver
{
namespace
{
Display *gInput = nullptr;

Display *input()
{
    if (!gInput)
        gInput = XOpenDisplay(nullptr);
    return gInput;
}
} // namespace

void endinput()
{
    if (gInput) {
        XCloseDisplay(gInput);
        gInput = nullptr;
    }
}

bool move(QPoint global)
{
    Display *d = input();
    if (!d)
        return false;
    xinput::move(d, global);
    return true;
}

bool click(QPoint global)
{
    Display *d = input();
    if (!d)
        return false;
    xinput::click(d, global);
    return true;
}
} // namespace xserver
