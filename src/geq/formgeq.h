#pragma once

// The graphic EQ page: 31 bands per channel with the summed response.

#include <QWidget>

class QCloseEvent;

class FormGeq : public QWidget
{
    Q_OBJECT
public:
    explicit FormGeq(QWidget *parent = nullptr);

public slots:
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updategeqview(int view);
    void updategeqlock();
    // Shows the channel the controller names for the graphic EQ page.
    void updategeq();
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern FormGeq *gFormGeq;
