#include "formdelay.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormDelay *gFormDelay = nullptr;

FormDelay::FormDelay(QWidget *parent)
    : QDialog(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormDelay::refreshLanText);
}

// The page's widgets and senders are filled in with the page itself.
void FormDelay::updatedelayview(int) {}
void FormDelay::updatedelaylock() {}
void FormDelay::updatedelay() {}
void FormDelay::messgeformpeq(int, int) {}
void FormDelay::refreshLanText() {}

void FormDelay::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidedelayview();
    event->ignore();
}
