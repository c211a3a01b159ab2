#include "formlimit.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormLimit *gFormLimit = nullptr;

FormLimit::FormLimit(QWidget *parent)
    : QWidget(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormLimit::refreshLanText);
}

// The page's widgets, curve and senders are filled in with the page itself.
void FormLimit::updatelimitview(int) {}
void FormLimit::updatelimitlock() {}
void FormLimit::updatelimit() {}
void FormLimit::refreshLanText() {}

void FormLimit::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidelimitview();
    event->ignore();
}
