#pragma once

// The graphic EQ page: the 31-band graphic equaliser of one channel at a time
// (IN-A to IN-D, OUT1 to OUT8), with a gain slider, a pass button and a reset
// button per band, the channel's bypass, an all-bands reset and the summed
// response display.
//
// Every change goes into the current device's model at once. Band changes
// reach the processor through a 50 ms throttle as one graphic-EQ band command
// per changed (channel, band), ascending; a pass button sends its band at
// once; the bypass sends the channel's bypass byte. A change on a linked
// channel is copied in the model to its link group and sent for the shown
// channel only: the processor applies it to the whole group.

#include <QVector>
#include <QWidget>

#include <bitset>
#include <memory>

class FormGeqDraw;
class QCloseEvent;
class QPushButton;
class QSlider;
class QTimer;
class ThrottleTimer;

namespace Ui
{
class FormGeq;
}

class FormGeq : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBands = 31;
    static constexpr int kChannels = 12;

    explicit FormGeq(QWidget *parent = nullptr);
    ~FormGeq() override;

    // Copies the current band's word (raw gain, pass flag) to the other
    // members of the current channel's link group, in the model only.
    void linkband(int raw, bool pass);
    // Sets band 0..30's slider to 0 dB; other values do nothing.
    void resetband(int band);

    // The two-line text of a band's tooltip and marker for a raw gain.
    static QString bandtext(int band, int raw, int language);

    int currentchannel() const { return curchannel; }
    int currentband() const { return curband; }
    int pendingchanges() const { return pendingcount; }
    bool reloading() const { return loaddepth > 0; }
    bool resetting() const { return resetrunning; }
    FormGeqDraw *display() const;

signals:
    void geqbypassalltomain();

public slots:
    void refreshLanText();
    // Shows the channel the overview page asked for (1..12).
    void updategeq();
    // Reloads every widget of the current channel from the model.
    void updatenewdata();
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updategeqview(int view);
    void updategeqlock();
    // The throttle, every 50 ms.
    void timetosend();

private slots:
    // clang-format off
    void on_slidergeqgain_valueChanged(int v); void on_slidergeqgain_2_valueChanged(int v);
    void on_slidergeqgain_3_valueChanged(int v); void on_slidergeqgain_4_valueChanged(int v);
    void on_slidergeqgain_5_valueChanged(int v); void on_slidergeqgain_6_valueChanged(int v);
    void on_slidergeqgain_7_valueChanged(int v); void on_slidergeqgain_8_valueChanged(int v);
    void on_slidergeqgain_9_valueChanged(int v); void on_slidergeqgain_10_valueChanged(int v);
    void on_slidergeqgain_11_valueChanged(int v); void on_slidergeqgain_12_valueChanged(int v);
    void on_slidergeqgain_13_valueChanged(int v); void on_slidergeqgain_14_valueChanged(int v);
    void on_slidergeqgain_15_valueChanged(int v); void on_slidergeqgain_16_valueChanged(int v);
    void on_slidergeqgain_17_valueChanged(int v); void on_slidergeqgain_18_valueChanged(int v);
    void on_slidergeqgain_19_valueChanged(int v); void on_slidergeqgain_20_valueChanged(int v);
    void on_slidergeqgain_21_valueChanged(int v); void on_slidergeqgain_22_valueChanged(int v);
    void on_slidergeqgain_23_valueChanged(int v); void on_slidergeqgain_24_valueChanged(int v);
    void on_slidergeqgain_25_valueChanged(int v); void on_slidergeqgain_26_valueChanged(int v);
    void on_slidergeqgain_27_valueChanged(int v); void on_slidergeqgain_28_valueChanged(int v);
    void on_slidergeqgain_29_valueChanged(int v); void on_slidergeqgain_30_valueChanged(int v);
    void on_slidergeqgain_31_valueChanged(int v);
    void on_btneqbypassxx_clicked();
    void on_btngeqina_clicked(); void on_btngeqinb_clicked(); void on_btngeqinc_clicked();
    void on_btngeqind_clicked(); void on_btngeqout1_clicked(); void on_btngeqout2_clicked();
    void on_btngeqout3_clicked(); void on_btngeqout4_clicked(); void on_btngeqout5_clicked();
    void on_btngeqout6_clicked(); void on_btngeqout7_clicked(); void on_btngeqout8_clicked();
    void on_btngeqpass_clicked(); void on_btngeqpass_2_clicked(); void on_btngeqpass_3_clicked();
    void on_btngeqpass_4_clicked(); void on_btngeqpass_5_clicked(); void on_btngeqpass_6_clicked();
    void on_btngeqpass_7_clicked(); void on_btngeqpass_8_clicked(); void on_btngeqpass_9_clicked();
    void on_btngeqpass_10_clicked(); void on_btngeqpass_11_clicked(); void on_btngeqpass_12_clicked();
    void on_btngeqpass_13_clicked(); void on_btngeqpass_14_clicked(); void on_btngeqpass_15_clicked();
    void on_btngeqpass_16_clicked(); void on_btngeqpass_17_clicked(); void on_btngeqpass_18_clicked();
    void on_btngeqpass_19_clicked(); void on_btngeqpass_20_clicked(); void on_btngeqpass_21_clicked();
    void on_btngeqpass_22_clicked(); void on_btngeqpass_23_clicked(); void on_btngeqpass_24_clicked();
    void on_btngeqpass_25_clicked(); void on_btngeqpass_26_clicked(); void on_btngeqpass_27_clicked();
    void on_btngeqpass_28_clicked(); void on_btngeqpass_29_clicked(); void on_btngeqpass_30_clicked();
    void on_btngeqpass_31_clicked();
    void on_btngeqset0_clicked(); void on_btngeqset0_2_clicked(); void on_btngeqset0_3_clicked();
    void on_btngeqset0_4_clicked(); void on_btngeqset0_5_clicked(); void on_btngeqset0_6_clicked();
    void on_btngeqset0_7_clicked(); void on_btngeqset0_8_clicked(); void on_btngeqset0_9_clicked();
    void on_btngeqset0_10_clicked(); void on_btngeqset0_11_clicked(); void on_btngeqset0_12_clicked();
    void on_btngeqset0_13_clicked(); void on_btngeqset0_14_clicked(); void on_btngeqset0_15_clicked();
    void on_btngeqset0_16_clicked(); void on_btngeqset0_17_clicked(); void on_btngeqset0_18_clicked();
    void on_btngeqset0_19_clicked(); void on_btngeqset0_20_clicked(); void on_btngeqset0_21_clicked();
    void on_btngeqset0_22_clicked(); void on_btngeqset0_23_clicked(); void on_btngeqset0_24_clicked();
    void on_btngeqset0_25_clicked(); void on_btngeqset0_26_clicked(); void on_btngeqset0_27_clicked();
    void on_btngeqset0_28_clicked(); void on_btngeqset0_29_clicked(); void on_btngeqset0_30_clicked();
    void on_btngeqset0_31_clicked(); void on_btngeqset0_32_clicked();
    // clang-format on

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void bandchanged(int band, int v);
    void selectchannel(int channel);
    void setchannel(int channel);
    void reloadonce();
    void passclicked(int band);
    // The all-bands reset's step: band b of channel c to 0 dB in the model,
    // counted for the sender (frames of channel c), shown when c is shown.
    void flattenband(int c, int b);
    // One change of (channel, band) to send at the next send point.
    void count(int channel, int band);
    void sendnow();
    // The shown channel's controls that differ from the model (a frame sent
    // for a linked channel set its whole group) show the model again.
    void showsent();
    // Channels of c's link group when c counts as linked (c included), else none.
    QVector<int> linkgroup(int c) const;
    QSlider *slider(int band) const;
    QPushButton *passbutton(int band) const;

    std::unique_ptr<Ui::FormGeq> ui;
    ThrottleTimer *sendtimer = nullptr;
    int tickcount = 0;
    int pendingcount = 0;
    int curchannel = 0;
    quint8 curband = 0;
    // (channel, band) at channel * 31 + band with a change not yet sent.
    std::bitset<kChannels * kBands> pending;
    // Reloads in progress; a reload is never nested, but may run inside the
    // all-bands reset's wait.
    int loaddepth = 0;
    // A channel chosen while a reload ran, taken once it ends (-1: none).
    int requestedchannel = -1;
    // A reload asked for while one ran.
    bool reloadagain = false;
    bool resetrunning = false;
};

extern FormGeq *gFormGeq;
