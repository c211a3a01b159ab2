#pragma once

// The delay page: delay of every channel in samples (0..48000 at 48 kHz),
// shown and typed in milliseconds, metres or feet, with the delay switch.
//
// Every change goes into the current device's model at once; a throttle
// sends, on its tick, one delay frame for every channel changed since the
// last send, and a switch click sends its channel at once. A change on a
// linked channel moves its partners in the model and on screen and is sent
// for the group's highest member only (the processor applies it to the whole
// group). The widget slots are connected by object name; each forwards to the
// handler of its family with its channel.

#include "channellinks.h"

#include <QDialog>
#include <QVector>

#include <memory>

class QCloseEvent;
class QKeyEvent;
class QTimer;
class ThrottleTimer;

namespace Ui
{
class FormDelay;
}

class FormDelay : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kChannels = 12;

    explicit FormDelay(QWidget *parent = nullptr);
    ~FormDelay() override;

signals:
    // Channel index 0..11 whose delay the page has just stored.
    void updatedelayvalues(int ch);

public slots:
    // Unit names in the current language.
    void refreshLanText();
    // Marks the channel the controller names for the delay page; a number
    // outside 1..12 changes nothing.
    void updatedelay();
    // Device view index: 0 type 24, 1 type 22, 2 type 20; another index only
    // refreshes the lock overlay.
    void updatedelayview(int view);
    // Reloads switches and sliders from the current device.
    void updatenewdata();
    // The send throttle, every 50 ms.
    void timetosend();
    void updatedelaylock();
    // Sets channel ch's delay slider to value on behalf of the EQ page.
    void messgeformpeq(int ch, int value);
    // clang-format off
    void onbtndelaymichecked(); void onbtndelaymidown(); void onbtndelaymichecked2(); void onbtndelaymidown2();
    void onbtndelaymichecked3(); void onbtndelaymidown3(); void onbtndelaymichecked4(); void onbtndelaymidown4();
    void onbtndelaymichecked5(); void onbtndelaymidown5(); void onbtndelaymichecked6(); void onbtndelaymidown6();
    void onbtndelaymichecked7(); void onbtndelaymidown7(); void onbtndelaymichecked8(); void onbtndelaymidown8();
    void onbtndelaymichecked9(); void onbtndelaymidown9(); void onbtndelaymichecked10();
    void onbtndelaymidown10(); void onbtndelaymichecked11(); void onbtndelaymidown11();
    void onbtndelaymichecked12(); void onbtndelaymidown12();

private slots:
    void on_Editdelaymi_editingFinished(); void on_Editdelaymi_2_editingFinished();
    void on_Editdelaymi_3_editingFinished(); void on_Editdelaymi_4_editingFinished();
    void on_Editdelaymi_5_editingFinished(); void on_Editdelaymi_6_editingFinished();
    void on_Editdelaymi_7_editingFinished(); void on_Editdelaymi_8_editingFinished();
    void on_Editdelaymi_9_editingFinished(); void on_Editdelaymi_10_editingFinished();
    void on_Editdelaymi_11_editingFinished(); void on_Editdelaymi_12_editingFinished();
    void on_sldrdelaymi_valueChanged(int v); void on_sldrdelaymi_2_valueChanged(int v);
    void on_sldrdelaymi_3_valueChanged(int v); void on_sldrdelaymi_4_valueChanged(int v);
    void on_sldrdelaymi_5_valueChanged(int v); void on_sldrdelaymi_6_valueChanged(int v);
    void on_sldrdelaymi_7_valueChanged(int v); void on_sldrdelaymi_8_valueChanged(int v);
    void on_sldrdelaymi_9_valueChanged(int v); void on_sldrdelaymi_10_valueChanged(int v);
    void on_sldrdelaymi_11_valueChanged(int v); void on_sldrdelaymi_12_valueChanged(int v);
    void on_delayswitch1_clicked(); void on_delayswitch2_clicked(); void on_delayoswitch3_clicked();
    void on_delayswitch4_clicked(); void on_delayswitch01_clicked(); void on_delayswitch03_clicked();
    void on_delayswitch02_clicked(); void on_delayswitch04_clicked(); void on_delayswitch05_clicked();
    void on_delayswitch06_clicked(); void on_delayswitch07_clicked(); void on_delayswitch08_clicked();
    void on_comboBox_3_currentIndexChanged(int i); void on_comboBox_4_currentIndexChanged(int i);
    // clang-format on

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The family handlers behind the widget slots.
    void slidermoved(int ch, int v);
    void stepclicked(int ch, int delta);
    void editfinished(int ch);
    void switchclicked(int ch);
    void unitchanged(bool inputs, int unit);
    // Sets ch's slider on the user's behalf (the change counts and moves partners).
    void setforuser(int ch, int samples);
    // The unit index of ch's side.
    int unitof(int ch) const;
    void count(int ch);
    // Sends every channel changed since the last send, ascending.
    void sendpending();
    // Strips whose slider or switch differs from the model (a frame sent for
    // a linked channel set its whole group) show the model again.
    void showsent();
    QVector<int> linkgroup(int ch) const;
    void markchannel(int ch);

    int tickcount = 0;
    int changecount = 0;
    int curchannel = 0;
    ThrottleTimer *sendtimer = nullptr;
    // Set while the page reloads from the model or moves partners of a linked
    // change: such slider changes are stored but neither counted nor spread.
    bool reloading = false;
    channellinks::LinkFollower links;
    bool pending[kChannels] = {};
    std::unique_ptr<Ui::FormDelay> ui;
};

extern FormDelay *gFormDelay;
