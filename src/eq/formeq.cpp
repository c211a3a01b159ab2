#include "formeq.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormEq *gFormEq = nullptr;

FormEq::FormEq(QWidget *parent)
    : QDialog(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormEq::refreshLanText);
}

// The page's widgets, curves and senders are filled in with the page itself.
void FormEq::refreshgain() {}
void FormEq::updatepeqview(int) {}
void FormEq::updatepeqlock() {}
void FormEq::updateeq() {}
void FormEq::refreshLanText() {}

void FormEq::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hideeqview();
    event->ignore();
}
