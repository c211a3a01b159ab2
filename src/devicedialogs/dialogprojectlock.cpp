#include "dialogprojectlock.h"

// The dialog's widgets and its exchange with the processor are filled in with
// the dialog itself.
DialogProjectLock::DialogProjectLock(QWidget *parent)
    : QDialog(parent)
{
}
