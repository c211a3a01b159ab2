#pragma once

// The EQ page: seven parametric bands per channel, the output crossover and
// FIR mode, with the response curve.

#include <QDialog>

class FormFir;
class QCloseEvent;
namespace Ui
{
class FormEq;
}

class FormEq : public QDialog
{
    Q_OBJECT
public:
    explicit FormEq(QWidget *parent = nullptr);
    ~FormEq() override;

    Ui::FormEq *form() const { return ui; }
    // The FIR response window: top-level, beside the page on the primary
    // screen, shown while an output's crossover runs in FIR mode.
    FormFir *firpanel() const { return fir; }

    // Reloads the gain control of the channel shown from the current device.
    void refreshgain();

signals:
    // The bypass-all switch of the channel shown (and its linked channels)
    // changed in the current device.
    void peqbypassalltomain();
    // Channel index 0..11 and the new gain or delay value for the gain and
    // delay pages.
    void sendtogainview(int ch, int value);
    void sendtodelayview(int ch, int value);

public slots:
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updatepeqview(int view);
    void updatepeqlock();
    // Shows the channel the controller names for the EQ page.
    void updateeq();
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::FormEq *ui;
    FormFir *fir;
};

extern FormEq *gFormEq;
