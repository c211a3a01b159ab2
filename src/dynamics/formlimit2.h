#pragma once

// The peak-limiter page: the peak limiter of every output at once. Each output
// has a row with an enable switch and three controls (attack, release,
// threshold), each a slider with an entry above it and a step button on either
// side; a column of output buttons marks the output touched last.
//
// Every change goes into the current device's model at once and reaches the
// processor as one peak-limiter command per changed output through a 30 ms
// throttle. A change to an output of an output link group is copied on the
// page to every member of the group and counted for the group's highest
// member, which the processor applies to the whole group.

#include <QWidget>

#include <memory>

class DeviceData;
class QCloseEvent;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class ThrottleTimer;

namespace Ui
{
class FormLimit2;
}

class FormLimit2 : public QWidget
{
    Q_OBJECT
public:
    // The three controls of a row.
    enum Kind { Attack = 0, Release, Threshold };
    static constexpr int kOutputs = 8;

    explicit FormLimit2(QWidget *parent = nullptr);
    ~FormLimit2() override;

    // Emits updatelimitvalues2 for the outputs 0 to 7 in order.
    void updateallvalues2();

    // Text an entry shows for a slider value: "10ms", "250ms", "0.5dBu".
    static QString valuetext(Kind kind, int value);
    // The slider value typed text asks for: the unit letters are blanks, blanks
    // around the number are ignored, the result is clamped to the control's
    // range. False when the text is not a number.
    static bool readentry(Kind kind, QString text, int *value);

signals:
    // Output index 0..7 whose threshold or switch the page has just stored.
    void updatelimitvalues2(int o);

public slots:
    // Device view index: 0 type 24, 1 type 22, 2 type 20. Refreshes the lock,
    // reloads every row from the model and shows the rows the type has.
    void updatelimitview2(int view);
    // Checks the button of the output the controller names.
    void updatelimit2();
    void refreshLanText();
    // Shows the lock overlay and makes every row and output button inert while
    // the connected device is locked; the main window calls it on every lock
    // refresh.
    void updatelimit2lock();
    // The throttle, every 30 ms.
    void timetosend();

private slots:
    // clang-format off
    // Sliders, entries and step buttons of attack, release and threshold, then
    // the enable switches and the output buttons, outputs 1..8 each.
    void on_sldrlimit1_valueChanged(int v); void on_sldrlimit2_valueChanged(int v);
    void on_sldrlimit3_valueChanged(int v); void on_sldrlimit4_valueChanged(int v);
    void on_sldrlimit5_valueChanged(int v); void on_sldrlimit6_valueChanged(int v);
    void on_sldrlimit7_valueChanged(int v); void on_sldrlimit8_valueChanged(int v);
    void on_sldrlimitb1_valueChanged(int v); void on_sldrlimitb2_valueChanged(int v);
    void on_sldrlimitb3_valueChanged(int v); void on_sldrlimitb4_valueChanged(int v);
    void on_sldrlimitb5_valueChanged(int v); void on_sldrlimitb6_valueChanged(int v);
    void on_sldrlimitb7_valueChanged(int v); void on_sldrlimitb8_valueChanged(int v);
    void on_sldrlimitc1_valueChanged(int v); void on_sldrlimitc2_valueChanged(int v);
    void on_sldrlimitc3_valueChanged(int v); void on_sldrlimitc4_valueChanged(int v);
    void on_sldrlimitc5_valueChanged(int v); void on_sldrlimitc6_valueChanged(int v);
    void on_sldrlimitc7_valueChanged(int v); void on_sldrlimitc8_valueChanged(int v);
    void on_Editlimita1_editingFinished(); void on_Editlimita2_editingFinished();
    void on_Editlimita3_editingFinished(); void on_Editlimita4_editingFinished();
    void on_Editlimita5_editingFinished(); void on_Editlimita6_editingFinished();
    void on_Editlimita7_editingFinished(); void on_Editlimita8_editingFinished();
    void on_Editlimitb1_editingFinished(); void on_Editlimitb2_editingFinished();
    void on_Editlimitb3_editingFinished(); void on_Editlimitb4_editingFinished();
    void on_Editlimitb5_editingFinished(); void on_Editlimitb6_editingFinished();
    void on_Editlimitb7_editingFinished(); void on_Editlimitb8_editingFinished();
    void on_Editlimitc1_editingFinished(); void on_Editlimitc2_editingFinished();
    void on_Editlimitc3_editingFinished(); void on_Editlimitc4_editingFinished();
    void on_Editlimitc5_editingFinished(); void on_Editlimitc6_editingFinished();
    void on_Editlimitc7_editingFinished(); void on_Editlimitc8_editingFinished();
    void on_btnlimitdowna1_clicked(); void on_btnlimitdowna2_clicked(); void on_btnlimitdowna3_clicked();
    void on_btnlimitdowna4_clicked(); void on_btnlimitdowna5_clicked(); void on_btnlimitdowna6_clicked();
    void on_btnlimitdowna7_clicked(); void on_btnlimitdowna8_clicked();
    void on_btnlimitupa1_clicked(); void on_btnlimitupa2_clicked(); void on_btnlimitupa3_clicked();
    void on_btnlimitupa4_clicked(); void on_btnlimitupa5_clicked(); void on_btnlimitupa6_clicked();
    void on_btnlimitupa7_clicked(); void on_btnlimitupa8_clicked();
    void on_btnlimitdownb1_clicked(); void on_btnlimitdownb2_clicked(); void on_btnlimitdownb3_clicked();
    void on_btnlimitdownb4_clicked(); void on_btnlimitdownb5_clicked(); void on_btnlimitdownb6_clicked();
    void on_btnlimitdownb7_clicked(); void on_btnlimitdownb8_clicked();
    void on_btnlimitupb1_clicked(); void on_btnlimitupb2_clicked(); void on_btnlimitupb3_clicked();
    void on_btnlimitupb4_clicked(); void on_btnlimitupb5_clicked(); void on_btnlimitupb6_clicked();
    void on_btnlimitupb7_clicked(); void on_btnlimitupb8_clicked();
    void on_btnlimitdownd1_clicked(); void on_btnlimitdownd2_clicked(); void on_btnlimitdownd3_clicked();
    void on_btnlimitdownd4_clicked(); void on_btnlimitdownd5_clicked(); void on_btnlimitdownd6_clicked();
    void on_btnlimitdownd7_clicked(); void on_btnlimitdownd8_clicked();
    void on_btnlimitupd1_clicked(); void on_btnlimitupd2_clicked(); void on_btnlimitupd3_clicked();
    void on_btnlimitupd4_clicked(); void on_btnlimitupd5_clicked(); void on_btnlimitupd6_clicked();
    void on_btnlimitupd7_clicked(); void on_btnlimitupd8_clicked();
    void on_limitswitch1_clicked(); void on_limitswitch2_clicked(); void on_limitswitch3_clicked();
    void on_limitswitch4_clicked(); void on_limitswitch5_clicked(); void on_limitswitch6_clicked();
    void on_limitswitch7_clicked(); void on_limitswitch8_clicked();
    void on_btnout100_clicked(); void on_btnout200_clicked(); void on_btnout300_clicked();
    void on_btnout400_clicked(); void on_btnout500_clicked(); void on_btnout600_clicked();
    void on_btnout700_clicked(); void on_btnout800_clicked();
    // clang-format on

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updatenewdata();
    void sliderchanged(Kind kind, int o, int v);
    void entryfinished(Kind kind, int o);
    void step(Kind kind, int o, int delta);
    void switchclicked(int o);
    // One change to send for output o, which becomes the current output.
    void count(int o);
    void sendnow();
    // Controls that differ from the model (a frame sent for a linked output
    // set its whole group) show the model again.
    void showsent();
    void select(int o);
    // The link group of output o when it counts as linked, else 0.
    int linkedmask(const DeviceData *d, int o) const;
    QSlider *slider(Kind kind, int o) const;
    QLineEdit *entry(Kind kind, int o) const;

    std::unique_ptr<Ui::FormLimit2> ui;
    ThrottleTimer *sendtimer = nullptr;
    // Channel number (output index + 5) of the highest output of the linked
    // change being copied; kept until the next one.
    int linktarget = 0;
    // 0 while changes come from the user; output number 1..8 while an entry
    // or a step button of that output sets its slider.
    int changeorigin = 0;
    // The output the last counted change went to.
    int curoutput = 0;
    int tickcount = 0;
    int pendingcount = 0;
    // Bit o set: output o has a counted change not yet sent.
    int pendingoutputs = 0;
    // Reloads from the model in progress (a reload may nest in its own wait).
    int reloading = 0;
    // A linked change is being copied to the other members of its group.
    bool propagating = false;
    // The group's highest member counted the change being copied.
    bool targetcounted = false;
};

extern FormLimit2 *gFormLimit2;
