#pragma once

// The device-type layouts of the pages show and hide the parts a device has
// or lacks.

#include <QWidget>

// Shows or hides w. A widget that was never hidden is left as it is when it
// is to be shown: it shows with its page. Showing a widget polishes it (and
// decodes its skins), which for a page still hidden waits until the page is
// first shown.
inline void setshown(QWidget *w, bool shown)
{
    if (shown && !w->testAttribute(Qt::WA_WState_ExplicitShowHide))
        return;
    w->setVisible(shown);
}
