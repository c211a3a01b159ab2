#include "dialogdevicelock.h"

DialogDeviceLock::DialogDeviceLock(QWidget *parent)
    : QDialog(parent)
{
}

// The dialog's widgets and its exchange with the processor are filled in with
// the dialog itself.
void DialogDeviceLock::loadlockstate() {}
