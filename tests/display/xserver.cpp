#include "xserver.h"

#include "xinput.h"
#include "xvfbserver.h"

#include <X11/Xlib.h>

namespace xserver
{
namespace
{
XvfbServer gServer;
Display *gInput = nullptr;

Display *input()
{
    if (!gInput)
        gInput = XOpenDisplay(nullptr);
    return gInput;
}
} // namespace

QString start(QString *why)
{
    if (!gServer.start(why, "1024x768x24", {QStringLiteral("-noreset")}))
        return QString();
    return QString::fromLatin1(gServer.display());
}

void stop()
{
    if (gInput) {
        XCloseDisplay(gInput);
        gInput = nullptr;
    }
    gServer.stop();
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
