#pragma once

// The limiter and compressor page: one strip per channel (IN-A..IN-D,
// OUT1..OUT8) with attack, release, ratio and threshold rows (slider, entry,
// step buttons) and a knee choice, and the transfer curve of the selected
// channel, whose threshold point and ratio handle can be dragged.
//
// Sliders are the only writers: entries, step buttons, arrow keys and curve
// drags set a slider, and the slider's handler shows the value, stores it in
// the current device, copies it to the channel's link group and marks the
// channel that the processor is told about. A 50 ms throttle sends one
// limiter command per marked channel, in ascending order: at the next tick
// once four changes are pending, else at the fifth tick.
//
// The click, value and text slots are connected by object name; each forwards
// to the handler of its family with its channel and row.

#include <QVector>
#include <QWidget>

#include <memory>

class CompressorCur;
class DeviceData;
class QCloseEvent;
class QKeyEvent;
class QTimer;
class ThrottleTimer;

namespace Ui
{
class FormLimit;
}

class FormLimit : public QWidget
{
    Q_OBJECT
public:
    // The four rows of a strip.
    enum Row { Attack = 0, Release, Ratio, Threshold };
    static constexpr int kChannels = 12;

    explicit FormLimit(QWidget *parent = nullptr);
    ~FormLimit() override;

    // Makes channel number n (1..12, IN-A = 1) the selected one and shows it
    // on the curve; other numbers change nothing.
    void selectchannel(int n);
    // The channel (index) the curve shows, and the changes not yet sent.
    int getcurchannel() const { return curchannel; }
    int getpendingcount() const { return pendingcount; }

    // The entry text for slider value v of a row of channel ch (empty for a
    // ratio outside the table).
    static QString rowtext(int ch, Row row, int v);
    // Threshold in dB of a slider value in the channel's scale: outputs 0.1 dB
    // a step from -20, inputs 0.5 dB a step from -20.
    static float thresholddb(int ch, int v);
    // The slider position an entry text asks for, within the row's range;
    // false when the text does not read as a number of the row.
    static bool entrystep(int ch, Row row, const QString &text, int *step);
    // Top of a row's slider range for channel ch.
    static int rowtop(int ch, Row row);

signals:
    // Channel index 0..11 whose threshold or knee the page has just shown.
    void updatelimitvalues(int ch);

public slots:
    void refreshLanText();
    // Takes a curve drag step over into the selected channel's slider.
    void updateholdvalues();
    void timetosend();
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updatelimitview(int view);
    void updatelimitlock();
    void updatenewdata();
    // Shows the channel the controller names for the limiter page.
    void updatelimit();

private slots:
    // clang-format off
    // Select buttons, channels 0..11.
    void on_limit_btnina_pressed(); void on_limit_btninb_pressed(); void on_limit_btninc_pressed();
    void on_limit_btnind_pressed(); void on_limit_btnout1_pressed(); void on_limit_btnout2_pressed();
    void on_limit_btnout3_pressed(); void on_limit_btnout4_pressed(); void on_limit_btnout5_pressed();
    void on_limit_btnout6_pressed(); void on_limit_btnout7_pressed(); void on_limit_btnout8_pressed();
    // Attack sliders, channels 0..11.
    void on_sldrlimitina_valueChanged(int v); void on_sldrlimitina1_valueChanged(int v);
    void on_sldrlimitina2_valueChanged(int v); void on_sldrlimitina3_valueChanged(int v);
    void on_sldrlimita_valueChanged(int v); void on_sldrlimita1_valueChanged(int v);
    void on_sldrlimita2_valueChanged(int v); void on_sldrlimita3_valueChanged(int v);
    void on_sldrlimita4_valueChanged(int v); void on_sldrlimita5_valueChanged(int v);
    void on_sldrlimita6_valueChanged(int v); void on_sldrlimita7_valueChanged(int v);
    // Release sliders, channels 0..11.
    void on_sldrlimitinb_valueChanged(int v); void on_sldrlimitinb1_valueChanged(int v);
    void on_sldrlimitinb2_valueChanged(int v); void on_sldrlimitinb3_valueChanged(int v);
    void on_sldrlimitb_valueChanged(int v); void on_sldrlimitb1_valueChanged(int v);
    void on_sldrlimitb2_valueChanged(int v); void on_sldrlimitb3_valueChanged(int v);
    void on_sldrlimitb4_valueChanged(int v); void on_sldrlimitb5_valueChanged(int v);
    void on_sldrlimitb6_valueChanged(int v); void on_sldrlimitb7_valueChanged(int v);
    // Ratio sliders, channels 0..11.
    void on_sldrlimitinc_valueChanged(int v); void on_sldrlimitinc1_valueChanged(int v);
    void on_sldrlimitinc2_valueChanged(int v); void on_sldrlimitinc3_valueChanged(int v);
    void on_sldrlimitc_valueChanged(int v); void on_sldrlimitc1_valueChanged(int v);
    void on_sldrlimitc2_valueChanged(int v); void on_sldrlimitc3_valueChanged(int v);
    void on_sldrlimitc4_valueChanged(int v); void on_sldrlimitc5_valueChanged(int v);
    void on_sldrlimitc6_valueChanged(int v); void on_sldrlimitc7_valueChanged(int v);
    // Threshold sliders, channels 0..11.
    void on_sldrlimitind_valueChanged(int v); void on_sldrlimitind_2_valueChanged(int v);
    void on_sldrlimitind_3_valueChanged(int v); void on_sldrlimitind_4_valueChanged(int v);
    void on_sldrlimitd_valueChanged(int v); void on_sldrlimitd_2_valueChanged(int v);
    void on_sldrlimitd_3_valueChanged(int v); void on_sldrlimitd_4_valueChanged(int v);
    void on_sldrlimitd_5_valueChanged(int v); void on_sldrlimitd_6_valueChanged(int v);
    void on_sldrlimitd_7_valueChanged(int v); void on_sldrlimitd_8_valueChanged(int v);
    // Attack step buttons (down, up), channels 0..11.
    void on_btndelayinmidown_5_clicked(); void on_btndelayinmiup_5_clicked();
    void on_btndelayinmidown_6_clicked(); void on_btndelayinmiup_6_clicked();
    void on_btndelayinmidown_7_clicked(); void on_btndelayinmiup_7_clicked();
    void on_btndelayinmidown_8_clicked(); void on_btndelayinmiup_8_clicked();
    void on_btndelaymioutdown_5_clicked(); void on_btndelaymioutup_5_clicked();
    void on_btndelaymioutdown_6_clicked(); void on_btndelaymioutup_6_clicked();
    void on_btndelaymioutdown_7_clicked(); void on_btndelaymioutup_7_clicked();
    void on_btndelaymioutdown_8_clicked(); void on_btndelaymioutup_8_clicked();
    void on_btndelaymioutdown_9_clicked(); void on_btndelaymioutup_9_clicked();
    void on_btndelaymioutdown_10_clicked(); void on_btndelaymioutup_10_clicked();
    void on_btndelaymioutdown_11_clicked(); void on_btndelaymioutup_11_clicked();
    void on_btndelaymioutdown_12_clicked(); void on_btndelaymioutup_12_clicked();
    // Release step buttons (down, up), channels 0..11.
    void on_btndelayinmedown_5_clicked(); void on_btndelayinmeup_5_clicked();
    void on_btndelayinmedown_6_clicked(); void on_btndelayinmeup_6_clicked();
    void on_btndelayinmedown_7_clicked(); void on_btndelayinmeup_7_clicked();
    void on_btndelayinmedown_8_clicked(); void on_btndelayinmeup_8_clicked();
    void on_btndelaymedown_5_clicked(); void on_btndelaymeup_5_clicked(); void on_btndelaymedown_6_clicked();
    void on_btndelaymeup_6_clicked(); void on_btndelaymedown_7_clicked(); void on_btndelaymeup_7_clicked();
    void on_btndelaymedown_8_clicked(); void on_btndelaymeup_8_clicked(); void on_btndelaymedown_9_clicked();
    void on_btndelaymeup_9_clicked(); void on_btndelaymedown_10_clicked(); void on_btndelaymeup_10_clicked();
    void on_btndelaymedown_11_clicked(); void on_btndelaymeup_11_clicked();
    void on_btndelaymedown_12_clicked(); void on_btndelaymeup_12_clicked();
    // Ratio step buttons (down, up), channels 0..11.
    void on_btndelayinfedown_5_clicked(); void on_btndelayinfeup_5_clicked();
    void on_btndelayinfedown_6_clicked(); void on_btndelayinfeup_6_clicked();
    void on_btndelayinfedown_7_clicked(); void on_btndelayinfeup_7_clicked();
    void on_btndelayinfedown_8_clicked(); void on_btndelayinfeup_8_clicked();
    void on_btndelayfedown_5_clicked(); void on_btndelayfeup_5_clicked(); void on_btndelayfedown_6_clicked();
    void on_btndelayfeup_6_clicked(); void on_btndelayfedown_7_clicked(); void on_btndelayfeup_7_clicked();
    void on_btndelayfedown_8_clicked(); void on_btndelayfeup_8_clicked(); void on_btndelayfedown_9_clicked();
    void on_btndelayfeup_9_clicked(); void on_btndelayfedown_10_clicked(); void on_btndelayfeup_10_clicked();
    void on_btndelayfedown_11_clicked(); void on_btndelayfeup_11_clicked();
    void on_btndelayfedown_12_clicked(); void on_btndelayfeup_12_clicked();
    // Threshold step buttons (down, up), channels 0..11.
    void on_btndelayinmidown_13_clicked(); void on_btndelayinmiup_13_clicked();
    void on_btndelayinmidown_14_clicked(); void on_btndelayinmiup_14_clicked();
    void on_btndelayinmidown_15_clicked(); void on_btndelayinmiup_15_clicked();
    void on_btndelayinmidown_16_clicked(); void on_btndelayinmiup_16_clicked();
    void on_btndelaymidown_13_clicked(); void on_btndelaymiup_13_clicked();
    void on_btndelaymidown_14_clicked(); void on_btndelaymiup_14_clicked();
    void on_btndelaymidown_15_clicked(); void on_btndelaymiup_15_clicked();
    void on_btndelaymidown_16_clicked(); void on_btndelaymiup_16_clicked();
    void on_btndelaymidown_17_clicked(); void on_btndelaymiup_17_clicked();
    void on_btndelaymidown_18_clicked(); void on_btndelaymiup_18_clicked();
    void on_btndelaymidown_19_clicked(); void on_btndelaymiup_19_clicked();
    void on_btndelaymidown_20_clicked(); void on_btndelaymiup_20_clicked();
    // Attack entries, channels 0..11.
    void on_Editdelayinmi_5_editingFinished(); void on_Editdelayinmi_6_editingFinished();
    void on_Editdelayinmi_7_editingFinished(); void on_Editdelayinmi_8_editingFinished();
    void on_Editdelayoutmi_5_editingFinished(); void on_Editdelayoutmi_6_editingFinished();
    void on_Editdelayoutmi_7_editingFinished(); void on_Editdelayoutmi_8_editingFinished();
    void on_Editdelayoutmi_9_editingFinished(); void on_Editdelayoutmi_10_editingFinished();
    void on_Editdelayoutmi_11_editingFinished(); void on_Editdelayoutmi_12_editingFinished();
    // Release entries, channels 0..11.
    void on_Editdelayinme_5_editingFinished(); void on_Editdelayinme_6_editingFinished();
    void on_Editdelayinme_7_editingFinished(); void on_Editdelayinme_8_editingFinished();
    void on_Editdelayme_5_editingFinished(); void on_Editdelayme_6_editingFinished();
    void on_Editdelayme_7_editingFinished(); void on_Editdelayme_8_editingFinished();
    void on_Editdelayme_9_editingFinished(); void on_Editdelayme_10_editingFinished();
    void on_Editdelayme_11_editingFinished(); void on_Editdelayme_12_editingFinished();
    // Threshold entries, channels 0..11.
    void on_Editlimitinhold_editingFinished(); void on_Editlimitinhold_2_editingFinished();
    void on_Editlimitinhold_3_editingFinished(); void on_Editlimitinhold_4_editingFinished();
    void on_Editlimithold_editingFinished(); void on_Editlimithold_2_editingFinished();
    void on_Editlimithold_3_editingFinished(); void on_Editlimithold_4_editingFinished();
    void on_Editlimithold_5_editingFinished(); void on_Editlimithold_6_editingFinished();
    void on_Editlimithold_7_editingFinished(); void on_Editlimithold_8_editingFinished();
    // Knee combos, channels 0..11.
    void on_comboxlimit_currentIndexChanged(int index); void on_comboxlimit2_currentIndexChanged(int index);
    void on_comboxlimit3_currentIndexChanged(int index); void on_comboxlimit4_currentIndexChanged(int index);
    void on_comboxlimit5_currentIndexChanged(int index); void on_comboxlimit6_currentIndexChanged(int index);
    void on_comboxlimit7_currentIndexChanged(int index); void on_comboxlimit8_currentIndexChanged(int index);
    void on_comboxlimit9_currentIndexChanged(int index); void on_comboxlimit10_currentIndexChanged(int index);
    void on_comboxlimit11_currentIndexChanged(int index);
    void on_comboxlimit12_currentIndexChanged(int index);
    // The output-group buttons have no effect.
    void on_btnout14_clicked() {}
    void on_btnout58_clicked() {}
    // clang-format on

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Family handlers behind the slots.
    void selectpressed(int ch);
    void slidermoved(int ch, Row row, int v);
    void stepclicked(int ch, Row row, int delta);
    void entryfinished(int ch, Row row);
    void kneechanged(int ch, int index);

    // Sets a slider as the channel's own change: a linked channel copies it to
    // its group even though the slider has no focus.
    void setonbehalf(int ch, Row row, int v);
    void showoncurve(int ch);
    void store(int ch, Row row, int v);
    // One change for channel ch: it goes out with the next send.
    void count(int ch);
    // The other members of ch's link group in ascending order, and the member
    // whose frame carries the group's change: the group's highest member, or
    // ch itself when that member's frame would reach another group.
    bool linked(int ch, QVector<int> *members = nullptr, int *highest = nullptr) const;
    // Controls that differ from the model (a frame sent for a linked channel
    // set its whole group) show the model again.
    void showsent();
    bool loading() const;
    bool selected(int ch) const;
    DeviceData *device() const;

    ThrottleTimer *sendtimer;
    // Number (index + 1) of the highest member of the group a copy is for.
    int linktarget = 0;
    // 0 while a change comes from the user; n (1..12) while the page itself
    // sets a control of channel index n - 1.
    int changeorigin = 0;
    int curchannel = 0;
    int tickcount = 0;
    int pendingcount = 0;
    // Channels changed since the last send, bit c for channel index c.
    int marked = 0;
    // Inside a copy to a link group (sliders or knees).
    bool copying = false;
    std::unique_ptr<Ui::FormLimit> ui;
    CompressorCur *curve;
};

extern FormLimit *gFormLimit;
