#pragma once

// The limiter and compressor page for one selected channel, with its
// transfer curve.

#include <QWidget>

class QCloseEvent;

class FormLimit : public QWidget
{
    Q_OBJECT
public:
    explicit FormLimit(QWidget *parent = nullptr);

signals:
    // Channel index 0..11 whose threshold or knee the page has just stored.
    void updatelimitvalues(int ch);

public slots:
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updatelimitview(int view);
    void updatelimitlock();
    // Shows the channel the controller names for the limiter page.
    void updatelimit();
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern FormLimit *gFormLimit;
