#pragma once

// The channel copy dialog: copies one channel's settings to another.

#include <QDialog>

class DialogCopy : public QDialog
{
    Q_OBJECT
public:
    explicit DialogCopy(QWidget *parent = nullptr);

    // Offers only the inputs and outputs that device type (24, 22 or 20) has.
    void initcopy(uchar type);

signals:
    // A copy succeeded and the device's data was read back.
    void updataallviews();
};
