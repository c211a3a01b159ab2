#include "formsetview.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QCloseEvent>

FormSetView *gFormSetView = nullptr;

FormSetView::FormSetView(QWidget *parent)
    : QWidget(parent)
{
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormSetView::refreshLanText);
}

// The page's widgets and program transfers are filled in with the page itself.
void FormSetView::refreshdata() {}
void FormSetView::on_btn_ref1_clicked() {}
void FormSetView::refreshLanText() {}

void FormSetView::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidesetview();
    event->ignore();
}
