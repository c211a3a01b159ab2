#pragma once

// The gain page: gain, mute and 0 dB of every channel, and the level meters.

#include <QString>
#include <QWidget>

class QCloseEvent;

class FormGain : public QWidget
{
    Q_OBJECT
public:
    explicit FormGain(QWidget *parent = nullptr);

    // Redraws every mute button from the current device.
    void updatemutebtns();

signals:
    // Channel index 0..11 whose gain the page has just stored.
    void updategainvalues(int ch);
    // One or more mutes of the current device changed.
    void upmetubtns();

public slots:
    // Meter timer: asks for the levels while the gain page is the one shown.
    void timetosendlight();
    // The 24 hex digits of a meter reply, two per meter.
    void readlight(QString levels);
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updategainview(int view);
    void updategainlock();
    // Shows the channel the controller names for the gain page.
    void updategain();
    // Sets channel ch's gain control to value on behalf of the EQ page.
    void messgeformpeq(int ch, int value);
    void refreshLanText();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern FormGain *gFormGain;
