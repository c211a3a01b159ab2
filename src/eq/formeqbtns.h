#pragma once

// The seven-band parametric EQ panel of the EQ page (`widgeteqbtn`): per band
// a type, a bypass switch, and frequency, gain and width, each with a slider,
// step buttons and a typed entry; the all-pass phase panel it owns.
//
// A user's change goes into the current device's model at once, is copied to
// the channel's link partners in the model, and waits for the throttle, which
// on its tick sends one band frame for every (channel, band) changed since the
// last send, ascending. Loading a channel from the model only shows values: it
// stores, copies and counts nothing. The widget slots are connected by object
// name; each forwards to the handler of its family with its band.

#include "curvemath.h"

#include <QWidget>

class FormPhase;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class ThrottleTimer;
namespace Ui
{
class Formeqbtns;
}

class Formeqbtns : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBands = 7;
    static constexpr int kChannels = 12;
    // The three values of a band, in the order of the widget tables.
    enum Quantity { Freq = 0, Gain = 1, Width = 2 };

    explicit Formeqbtns(QWidget *parent = nullptr);
    ~Formeqbtns() override;

    Ui::Formeqbtns *form() const { return ui; }
    // The all-pass phase window: top-level, created once, shown on demand.
    FormPhase *phasepanel() const { return phase; }
    // Repaints the phase curve at once.
    void repaintphase();
    // The EQ page is in front or not: the phase panel shows only while it is
    // and a band shown is All Pass, unless the user closed it since then.
    void setpageshown(bool on);

    // Loading a channel 0..11 from the model, in this order: types, then
    // frequencies, gains (ends with a wait that lets no user input in and
    // clears the PEQ loading flag), widths and bypass switches. Other channels
    // change nothing.
    void setchannel(int ch);
    void loadfreqs(int ch);
    void loadgains(int ch);
    void loadwidths(int ch);
    void loadbypass(int ch);
    int getchannel() const { return channel; }

    // Shows band strips 1..n and hides the others (the bands a device offers
    // on the channel shown).
    void showbands(int n);

    // Nearest index of hz on the frequency grid: the first entry not below it,
    // or the one before when hz is strictly nearer to that; 398 above the grid.
    static int nearestfreqindex(float hz);
    // The same rule on the width table (0..40).
    static int nearestwidthindex(double octaves);

    // Band frames waiting for the throttle.
    int pendingframes() const;

public slots:
    // A band point dragged on the curve: band 0..6, frequency index, pixel row.
    void btnschangegainvalue(int band, int index, int y);
    // A band point picked on the curve.
    void btnschanged(int band);
    // Checks band b's button only; other b change nothing.
    void updateeqbtns(int band);
    // The send throttle, every 50 ms.
    void timetosend();
    // Bypass texts and the All Pass item in the interface language.
    void refreshLanText();

signals:
    void peqredrawallbtns();
    void peqredrawbypass();
    void peqredraw(int band);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // clang-format off
    // band 1
    void on_sldreqfreq_valueChanged(int v); void on_sldreqgain_valueChanged(int v); void on_sldreqq_valueChanged(int v);
    void on_cbxHPFSlope_currentIndexChanged(int v); void on_btneqbypass_clicked(); void on_btneqset0_clicked();
    void on_btn1eqbtn_clicked(); void on_btnupeqfreq_clicked(); void on_btndowneqfreq_clicked();
    void on_btnupeqgain_clicked(); void on_btndowneqgain_clicked(); void on_btnupeqq_clicked();
    void on_btndowneqq_clicked(); void on_Editeqfreq_editingFinished(); void on_Editeqgain_editingFinished();
    void on_Editeqq_editingFinished();
    // band 2
    void on_sldreqfreq_2_valueChanged(int v); void on_sldreqgain_2_valueChanged(int v); void on_sldreqq_2_valueChanged(int v);
    void on_cbxHPFSlope_2_currentIndexChanged(int v); void on_btneqbypass_2_clicked(); void on_btneqset0_2_clicked();
    void on_btn1eqbtn_2_clicked(); void on_btnupeqfreq_2_clicked(); void on_btndowneqfreq_2_clicked();
    void on_btnupeqgain_2_clicked(); void on_btndowneqgain_2_clicked(); void on_btnupeqq_2_clicked();
    void on_btndowneqq_2_clicked(); void on_Editeqfreq_2_editingFinished(); void on_Editeqgain_2_editingFinished();
    void on_Editeqq_2_editingFinished();
    // band 3
    void on_sldreqfreq_3_valueChanged(int v); void on_sldreqgain_3_valueChanged(int v); void on_sldreqq_3_valueChanged(int v);
    void on_cbxHPFSlope_3_currentIndexChanged(int v); void on_btneqbypass_3_clicked(); void on_btneqset0_3_clicked();
    void on_btn1eqbtn_3_clicked(); void on_btnupeqfreq_3_clicked(); void on_btndowneqfreq_3_clicked();
    void on_btnupeqgain_3_clicked(); void on_btndowneqgain_3_clicked(); void on_btnupeqq_3_clicked();
    void on_btndowneqq_3_clicked(); void on_Editeqfreq_3_editingFinished(); void on_Editeqgain_3_editingFinished();
    void on_Editeqq_3_editingFinished();
    // band 4
    void on_sldreqfreq_4_valueChanged(int v); void on_sldreqgain_4_valueChanged(int v); void on_sldreqq_4_valueChanged(int v);
    void on_cbxHPFSlope_4_currentIndexChanged(int v); void on_btneqbypass_4_clicked(); void on_btneqset0_4_clicked();
    void on_btn1eqbtn_4_clicked(); void on_btnupeqfreq_4_clicked(); void on_btndowneqfreq_4_clicked();
    void on_btnupeqgain_4_clicked(); void on_btndowneqgain_4_clicked(); void on_btnupeqq_4_clicked();
    void on_btndowneqq_4_clicked(); void on_Editeqfreq_4_editingFinished(); void on_Editeqgain_4_editingFinished();
    void on_Editeqq_4_editingFinished();
    // band 5
    void on_sldreqfreq_5_valueChanged(int v); void on_sldreqgain_5_valueChanged(int v); void on_sldreqq_5_valueChanged(int v);
    void on_cbxHPFSlope_5_currentIndexChanged(int v); void on_btneqbypass_5_clicked(); void on_btneqset0_5_clicked();
    void on_btn1eqbtn_5_clicked(); void on_btnupeqfreq_5_clicked(); void on_btndowneqfreq_5_clicked();
    void on_btnupeqgain_5_clicked(); void on_btndowneqgain_5_clicked(); void on_btnupeqq_5_clicked();
    void on_btndowneqq_5_clicked(); void on_Editeqfreq_5_editingFinished(); void on_Editeqgain_5_editingFinished();
    void on_Editeqq_5_editingFinished();
    // band 6
    void on_sldreqfreq_6_valueChanged(int v); void on_sldreqgain_6_valueChanged(int v); void on_sldreqq_6_valueChanged(int v);
    void on_cbxHPFSlope_6_currentIndexChanged(int v); void on_btneqbypass_6_clicked(); void on_btneqset0_6_clicked();
    void on_btn1eqbtn_6_clicked(); void on_btnupeqfreq_6_clicked(); void on_btndowneqfreq_6_clicked();
    void on_btnupeqgain_6_clicked(); void on_btndowneqgain_6_clicked(); void on_btnupeqq_6_clicked();
    void on_btndowneqq_6_clicked(); void on_Editeqfreq_6_editingFinished(); void on_Editeqgain_6_editingFinished();
    void on_Editeqq_6_editingFinished();
    // band 7
    void on_sldreqfreq_7_valueChanged(int v); void on_sldreqgain_7_valueChanged(int v); void on_sldreqq_7_valueChanged(int v);
    void on_cbxHPFSlope_7_currentIndexChanged(int v); void on_btneqbypass_7_clicked(); void on_btneqset0_7_clicked();
    void on_btn1eqbtn_7_clicked(); void on_btnupeqfreq_7_clicked(); void on_btndowneqfreq_7_clicked();
    void on_btnupeqgain_7_clicked(); void on_btndowneqgain_7_clicked(); void on_btnupeqq_7_clicked();
    void on_btndowneqq_7_clicked(); void on_Editeqfreq_7_editingFinished(); void on_Editeqgain_7_editingFinished();
    void on_Editeqq_7_editingFinished();
    // clang-format on

private:
    QSlider *slider(int b, Quantity q) const;
    QLineEdit *edit(int b, Quantity q) const;
    QComboBox *typebox(int b) const;
    // Family handlers behind the widget slots.
    void freqmoved(int b, int v);
    void gainmoved(int b, int v);
    void widthmoved(int b, int v);
    void typechosen(int b, int index);
    void bypassclicked(int b);
    void zeroclicked(int b);
    void bandclicked(int b);
    void step(int b, Quantity q, int delta);
    void entered(int b, Quantity q);
    // Ranges, enabled controls and placeholders of band b for type t.
    void configure(int b, int t);
    // Shows or hides the phase panel by its condition.
    void updatephase();
    // The three texts of band b from its sliders and the stored type.
    void showtexts(int b);
    // Moves a slider without storing, copying or counting.
    void setquiet(QSlider *s, int v);
    // One change of band b of the channel shown waits for the throttle.
    void count(int b);
    // Writes a band value to every link partner of the channel shown.
    template <typename Setter> void linkcopy(int b, Setter set);
    int storedtype(int b) const;
    // Only a PEQ band has a width; the other types show "-------".
    bool hasawidth(int b) const;

    Ui::Formeqbtns *ui;
    FormPhase *phase;
    ThrottleTimer *sendtimer = nullptr;
    int tickcount = 0;
    int pendingcount = 0;
    int curband = 0;
    int channel = 0;
    // Non-zero while the panel moves its own widgets (loads, ranges, defaults):
    // the handlers then only show the values.
    int quiet = 0;
    bool pageshown = false;
    bool phaseclosed = false;
    bool pending[kChannels][kBands] = {};
};
