#pragma once

// The gain page: gain, mute and 0 dB of every channel, and the level meters.
//
// Every change goes into the current device's model at once; a throttle
// sends, on its tick, one gain frame for every channel changed since the last
// send. A change on a linked channel moves its partners in the model and on
// screen and is sent for the group's highest member only (the processor
// applies it to the whole group). The widget slots are connected by object
// name; each forwards to the handler of its family with its channel.

#include "channellinks.h"

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class QCloseEvent;
class QShowEvent;
class QTimer;
class ThrottleTimer;

namespace Ui
{
class FormGain;
}

class FormGain : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kChannels = 12;
    static constexpr int kMeterRows = 85;

    explicit FormGain(QWidget *parent = nullptr);
    ~FormGain() override;

    // Redraws every mute button from the current device.
    void updatemutebtns();
    // Marks channel n - 1 (n 1..12) as the one last worked on; other n change nothing.
    void setcurchannel(int n);
    // Sets the meter of a channel 0..11 to a level; other channels are ignored.
    void setlight(int channel, int level);

    // The twelve levels of a meter reply's hex text, channel 0 first; a level
    // whose two digits are missing or unreadable is 0.
    static QVector<int> levelsof(const QString &text);
    // Rows of the meter column the cover hides at a level: 85 at 0, none at 60 and above.
    static int coverheight(int level);

signals:
    // Channel index 0..11 whose gain the page has just stored.
    void updategainvalues(int ch);
    // One or more mutes of the current device changed.
    void upmetubtns();

public slots:
    // The send throttle, every 50 ms.
    void timetosend();
    // Meter timer: asks for the levels while a link is up and metering is on;
    // it runs only then.
    void timetosendlight();
    // Starts the meter timer when the levels are wanted; a page without a
    // link shows no levels.
    void startmeters();
    // The 24 hex digits of a meter reply, two per meter.
    void readlight(QString levels);
    // Reloads all twelve strips from the current device.
    void updatenewdata();
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updategainview(int view);
    void updategainlock();
    // Shows the channel the controller names for the gain page.
    void updategain();
    // Sets channel ch's gain slider to value on behalf of the EQ page.
    void messgeformpeq(int ch, int value);
    void refreshLanText();

private slots:
    // clang-format off
    void on_vlSliderGain_valueChanged(int v); void on_vlSliderGain_2_valueChanged(int v);
    void on_vlSliderGain_3_valueChanged(int v); void on_vlSliderGain_4_valueChanged(int v);
    void on_vlSliderGain_5_valueChanged(int v); void on_vlSliderGain_6_valueChanged(int v);
    void on_vlSliderGain_7_valueChanged(int v); void on_vlSliderGain_8_valueChanged(int v);
    void on_vlSliderGain_9_valueChanged(int v); void on_vlSliderGain_10_valueChanged(int v);
    void on_vlSliderGain_11_valueChanged(int v); void on_vlSliderGain_12_valueChanged(int v);
    void on_btnup_clicked(); void on_btndown_clicked(); void on_btnup_2_clicked(); void on_btndown_2_clicked();
    void on_btnup_3_clicked(); void on_btndown_3_clicked(); void on_btnup_4_clicked(); void on_btndown_4_clicked();
    void on_btnup_5_clicked(); void on_btndown_5_clicked(); void on_btnup_6_clicked(); void on_btndown_6_clicked();
    void on_btnup_7_clicked(); void on_btndown_7_clicked(); void on_btnup_8_clicked(); void on_btndown_8_clicked();
    void on_btnup_9_clicked(); void on_btndown_9_clicked(); void on_btnup_10_clicked(); void on_btndown_10_clicked();
    void on_btnup_11_clicked(); void on_btndown_11_clicked(); void on_btnup_12_clicked(); void on_btndown_12_clicked();
    void on_btngainm_clicked(); void on_btngainm_2_clicked(); void on_btngainm_3_clicked();
    void on_btngainm_4_clicked(); void on_btngainm_5_clicked(); void on_btngainm_6_clicked();
    void on_btngainm_7_clicked(); void on_btngainm_8_clicked(); void on_btngainm_9_clicked();
    void on_btngainm_10_clicked(); void on_btngainm_11_clicked(); void on_btngainm_12_clicked();
    void on_lineEdit_editingFinished(); void on_lineEdit_2_editingFinished(); void on_lineEdit_3_editingFinished();
    void on_lineEdit_4_editingFinished(); void on_lineEdit_5_editingFinished(); void on_lineEdit_6_editingFinished();
    void on_lineEdit_7_editingFinished(); void on_lineEdit_8_editingFinished(); void on_lineEdit_9_editingFinished();
    void on_lineEdit_10_editingFinished(); void on_lineEdit_11_editingFinished();
    void on_lineEdit_12_editingFinished();
    void on_Bttton0_clicked(); void on_Button1_clicked(); void on_Button3_clicked(); void on_Button4_clicked();
    void on_Button5_clicked(); void on_Button6_clicked(); void on_Button7_clicked(); void on_Button8_clicked();
    void on_Button9_clicked(); void on_Button10_clicked(); void on_Button11_clicked(); void on_Button12_clicked();
    // clang-format on

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The family handlers behind the widget slots.
    void slidermoved(int ch, int v);
    void stepclicked(int ch, int delta);
    void boxfinished(int ch);
    void zeroclicked(int ch);
    void muteclicked(int ch);
    // Sets ch's slider on the user's behalf (the change counts and moves partners).
    void setforuser(int ch, int raw);
    // One change of ch waits for the throttle.
    void count(int ch);
    // Sends every channel changed since the last send, ascending.
    void sendpending();
    // Strips whose slider or mute skin differs from the model (a frame sent
    // for a linked channel set its whole group) show the model again.
    void showsent();
    void blankmeters();
    QVector<int> linkgroup(int ch) const;
    void markchannel(int ch);

    ThrottleTimer *sendtimer = nullptr;
    QTimer *lighttimer = nullptr;
    int tickcount = 0;
    int changecount = 0;
    int curchannel = 0;
    // Set while the page reloads from the model or moves partners of a linked
    // change: such slider changes are stored but neither counted nor spread.
    bool reloading = false;
    channellinks::LinkFollower links;
    bool pending[kChannels] = {};
    std::unique_ptr<Ui::FormGain> ui;
};

extern FormGain *gFormGain;
