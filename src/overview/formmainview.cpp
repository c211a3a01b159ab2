#include "formmainview.h"

#include "globalcontrl.h"

#include <QCloseEvent>

FormMainView *gFormMainView = nullptr;

FormMainView::FormMainView(QWidget *parent)
    : QWidget(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormMainView::refreshLanText);
}

// The page's widgets and their refresh are filled in with the page itself.
void FormMainView::refreshLanText() {}
void FormMainView::updatemainview(int) {}
void FormMainView::updatepeqbypass() {}
void FormMainView::updateabcdbtn() {}
void FormMainView::updatephasebtns() {}
void FormMainView::updatemetubtn() {}
void FormMainView::updategainvalues(int) {}
void FormMainView::updatedelayvalues(int) {}
void FormMainView::updatelimitvalues(int) {}
void FormMainView::updatelimitvalues2(int) {}
void FormMainView::updatemainlock() {}

void FormMainView::closeEvent(QCloseEvent *event)
{
    // The main page is the one page nothing shows again once gone, and its
    // sub-window would delete it on close: it refuses the close and stays.
    event->ignore();
}
