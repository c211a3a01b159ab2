#include "xscreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace xscreen
{

QImage grab(Display *display, const QRect &r)
{
    XSync(display, False);
    XImage *image = XGetImage(display, DefaultRootWindow(display), r.x(), r.y(), unsigned(r.width()),
                              unsigned(r.height()), AllPlanes, ZPixmap);
    if (!image)
        return QImage();
    QImage shot;
    if (image->bits_per_pixel == 32)
        shot = QImage(reinterpret_cast<const uchar *>(image->data), image->width, image->height,
                      image->bytes_per_line, QImage::Format_RGB32)
                   .copy();
    XDestroyImage(image);
    return shot;
}

Property property(Display *display, unsigned long window, const char *name, long length, const char *type)
{
    Property out;
    Atom actual = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    const Atom wanted = type ? XInternAtom(display, type, False) : AnyPropertyType;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, length, False, wanted,
                           &actual, &out.format, &out.count, &after, &data) != Success ||
        !data) {
        out.count = 0;
        return out;
    }
    const int size = out.format == 32 ? int(sizeof(long)) : out.format == 16 ? int(sizeof(short)) : 1;
    out.data = QByteArray(reinterpret_cast<const char *>(data), int(out.count) * size);
    XFree(data);
    return out;
}

} // namespace xscreen
