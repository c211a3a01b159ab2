#pragma once

// The peak-limiter page: the peak limiter of every output at once.

#include <QWidget>

class QCloseEvent;

class FormLimit2 : public QWidget
{
    Q_OBJECT
public:
    explicit FormLimit2(QWidget *parent = nullptr);

    // Emits updatelimitvalues2 for the outputs 0 to 7 in order.
    void updateallvalues2();

signals:
    // Output index 0..7 whose threshold or switch the page has just stored.
    void updatelimitvalues2(int o);

public slots:
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updatelimitview2(int view);
    // Checks the button of the output the controller names.
    void updatelimit2();
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern FormLimit2 *gFormLimit2;
