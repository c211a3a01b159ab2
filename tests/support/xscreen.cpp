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

} // namespace xscreen
