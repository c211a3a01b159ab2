#include "formgain.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormGain *gFormGain = nullptr;

FormGain::FormGain(QWidget *parent)
    : QWidget(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormGain::refreshLanText);
}

// The page's widgets, meters and senders are filled in with the page itself.
void FormGain::updatemutebtns() {}
void FormGain::timetosendlight() {}
void FormGain::readlight(QString) {}
void FormGain::updategainview(int) {}
void FormGain::updategainlock() {}
void FormGain::updategain() {}
void FormGain::messgeformpeq(int, int) {}
void FormGain::refreshLanText() {}

void FormGain::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidegainview();
    event->ignore();
}
