#pragma once

// The device lock dialog: locks or unlocks the processor's front panel and
// pages with a password.

#include <QDialog>

class DialogDeviceLock : public QDialog
{
    Q_OBJECT
public:
    explicit DialogDeviceLock(QWidget *parent = nullptr);

    // Sets the controls from the current device's lock state.
    void loadlockstate();
};
