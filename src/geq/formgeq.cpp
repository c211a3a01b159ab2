#include "formgeq.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormGeq *gFormGeq = nullptr;

FormGeq::FormGeq(QWidget *parent)
    : QWidget(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormGeq::refreshLanText);
}

// The page's widgets, display and senders are filled in with the page itself.
void FormGeq::updategeqview(int) {}
void FormGeq::updategeqlock() {}
void FormGeq::updategeq() {}
void FormGeq::refreshLanText() {}

void FormGeq::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidegeqview();
    event->ignore();
}
