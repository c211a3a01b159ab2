#include "panelwindow.h"

#include <QWidget>
#include <QWindow>

void showpanel(QWidget *panel, const QWidget *page, bool on)
{
    if (!on) {
        if (!panel->isHidden())
            panel->hide();
        return;
    }
    if (!panel->isHidden())
        return;
    QWidget *top = page->window();
    if (top != panel) {
        panel->winId(); // the native window, to hang under the page's
        if (panel->windowHandle() && top->windowHandle())
            panel->windowHandle()->setTransientParent(top->windowHandle());
    }
    panel->show();
}
