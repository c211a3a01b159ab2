#include "formlimit2.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormLimit2 *gFormLimit2 = nullptr;

FormLimit2::FormLimit2(QWidget *parent)
    : QWidget(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormLimit2::refreshLanText);
}

void FormLimit2::updateallvalues2()
{
    for (int o = 0; o < 8; ++o)
        emit updatelimitvalues2(o);
}

// The page's widgets and senders are filled in with the page itself.
void FormLimit2::updatelimitview2(int) {}
void FormLimit2::updatelimit2() {}
void FormLimit2::refreshLanText() {}

void FormLimit2::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidelimit2view();
    event->ignore();
}
