#pragma once

// The delay page: delay of every channel in samples, milliseconds, metres and
// feet, with the delay switch.

#include <QDialog>

class QCloseEvent;

class FormDelay : public QDialog
{
    Q_OBJECT
public:
    explicit FormDelay(QWidget *parent = nullptr);

signals:
    // Channel index 0..11 whose delay the page has just stored.
    void updatedelayvalues(int ch);

public slots:
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updatedelayview(int view);
    void updatedelaylock();
    // Shows the channel the controller names for the delay page.
    void updatedelay();
    // Sets channel ch's delay control to value on behalf of the EQ page.
    void messgeformpeq(int ch, int value);
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern FormDelay *gFormDelay;
