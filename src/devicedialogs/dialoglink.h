#pragma once

// The channel link dialog: link groups of the inputs and of the outputs.

#include <QDialog>

class DialogLink : public QDialog
{
    Q_OBJECT
public:
    explicit DialogLink(QWidget *parent = nullptr);

    // Fills the dialog from the current device's link masks and shows only the
    // channels that device type (24, 22 or 20) has.
    void loadlinkmasks(uchar type);

signals:
    // The processor took new link groups and the device's data was read back.
    void updataallviews();
};
