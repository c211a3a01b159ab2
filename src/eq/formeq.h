#pragma once

// The EQ page: the seven parametric bands of one channel (its band panel), the
// response plot, a gain strip with mute mirrored to the gain page, bypass of
// all bands, and on outputs the crossover (IIR high-pass and low-pass) or FIR
// mode with its response window.
//
// Mute and bypass-all are sent at once. Crossover and FIR changes go into the
// model at once, are copied to the link partners in the model, and wait for
// the page's throttle, which on its tick sends every item changed since the
// last send (per output: high-pass, low-pass, FIR; ascending). Reloads only
// show the model: they store, copy and count nothing.

#include <QDialog>

class FormFir;
class QCloseEvent;
class QMdiArea;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QSlider;
class QTimer;
class ThrottleTimer;
namespace Ui
{
class FormEq;
}

class FormEq : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kChannels = 12;
    static constexpr int kOutputs = 8;
    // The throttle's items of one output.
    enum XoItem { HighPass = 0, LowPass = 1, Fir = 2 };

    explicit FormEq(QWidget *parent = nullptr);
    ~FormEq() override;

    Ui::FormEq *form() const { return ui; }
    // The FIR response window: top-level, beside the page on the primary
    // screen, shown while the page is in front and its output's crossover
    // runs in FIR mode; hidden with the page; a close request keeps it
    // closed until that ends or a FIR control is used.
    FormFir *firpanel() const { return firwindow; }
    int getchannel() const { return channel; }

    // Makes channel n - 1 (n 1..12) the page's channel and reloads; other n
    // change nothing.
    void selectchannel(int n);
    // Reloads the gain control of the channel shown from the current device.
    void refreshgain();
    // Crossover and FIR controls of output channel ch from the model.
    void refreshxover(int ch);
    void refreshfir();
    // Crossover items waiting for the throttle.
    int pendingitems() const;

signals:
    // The bypass-all switch of the channel shown (and its linked channels)
    // changed in the current device.
    void peqbypassalltomain();
    // Channel index 0..11 and the new gain value for the gain page.
    void sendtogainview(int ch, int value);
    void sendtodelayview(int ch, int value);

public slots:
    void refreshLanText();
    void onsldreqfreqlow(int v);
    void onsldreqfreqhigh(int v);
    void onsldreqfirlow(int v);
    void onsldreqfirhigh(int v);
    void timetosend();
    void peqredrawallbtns();
    void peqredraw(int band);
    void peqredrawbypass();
    void updatenewdata();
    // Device view index: 0 type 24, 1 type 22, 2 type 20.
    void updatepeqview(int view);
    void updatepeqlock();
    // Shows the channel the controller names for the EQ page.
    void updateeq();
    void updateoutphase(int ch);
    // A crossover point dragged on the plot: 0 the low-pass, 1 the high-pass.
    void btnscutchangevalue(int which, int index);
    // A band point picked on the plot: scrolls the band panel to it.
    void btnschanged(int band);

private slots:
    // clang-format off
    void on_eqbtnina_clicked(); void on_eqbtninb_clicked(); void on_eqbtninc_clicked(); void on_eqbtnind_clicked();
    void on_eqbtnout1_clicked(); void on_eqbtnout2_clicked(); void on_eqbtnout3_clicked();
    void on_eqbtnout4_clicked(); void on_eqbtnout5_clicked(); void on_eqbtnout6_clicked();
    void on_eqbtnout7_clicked(); void on_eqbtnout8_clicked();
    // clang-format on
    void on_vlSliderGain_1_valueChanged(int v);
    void on_eqbtnup_clicked();
    void on_eqbtndown_clicked();
    void on_eq_lineEdit_editingFinished();
    void on_eq_btngainm_clicked();
    void on_btneqbypassall_clicked();
    void on_cbxHPFSlopelow_currentIndexChanged(int e);
    void on_cbxHPFSlopehigh_currentIndexChanged(int e);
    void on_btnupeqfreqlow_clicked();
    void on_btndowneqfreqlow_clicked();
    void on_btnupeqfreqhigh_clicked();
    void on_btndowneqfreqhigh_clicked();
    void on_vlSlidereqview_valueChanged(int v);
    void on_Editeqfreqhigh_editingFinished();
    void on_Editeqfreqlow_editingFinished();
    void on_comboBox_ir_currentIndexChanged(int m);
    void on_cbxFirFlat_currentIndexChanged(int t);
    void on_cbxFirorder_currentIndexChanged(int e);
    void on_cbxFirWindows_currentIndexChanged(int e);
    void on_Editeqfirfreqhigh_editingFinished();
    void on_Editeqfirfreqlow_editingFinished();
    void on_vlSlidereqview_2_valueChanged(int v);
    void on_btndowneqfreqhigh_2_clicked();
    void on_btnupeqfreqhigh_2_clicked();
    void on_btndowneqfreqlow_2_clicked();
    void on_btnupeqfreqlow_2_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isoutput() const { return channel >= 4 && channel < kChannels; }
    int output() const { return channel - 4; }
    // Channel button n (1..12).
    void channelclicked(int n);
    void linkmute(int v);
    void showirmode(int mode);
    // Loads the FIR controls for type t; a user's entry into a type fixes a
    // window byte the type's list does not offer.
    void showfirtype(int type, bool user);
    void fillfirwindows(int type);
    // Slope lists with the entries the device offers, on the stored slopes.
    void fillslopes();
    // A user's FIR action: the FIR panel shows (again) while its condition holds.
    void showfirwindow();
    // The FIR panel shows while the page is in front and its output runs in
    // FIR mode, unless the user closed it since that began.
    void updatefirpanel();
    // The page in front: shown, and in the main window's area the topmost
    // sub-window shown. Coming to the front reloads the gain strip and mute.
    QMdiArea *pagearea() const;
    bool atfront() const;
    void setfront(bool on);
    void refront();
    // One change of an item of the page's output waits for the throttle.
    void count(XoItem item);
    // Writes a value to every link partner of the page's output.
    template <typename Setter> void linkout(Setter set);
    // FIR corner words: the word of the type being edited, skipping a partner
    // whose band-pass corners the copy would put out of order.
    void linkfircorner(bool high, int v);
    // Typed corner entries.
    void corneredited(QLineEdit *edit, QSlider *slider, int limit, bool fir);
    void cornertext(QLineEdit *edit, int index, bool fir);

    ThrottleTimer *sendtimer = nullptr;
    int tickcount = 0;
    int pendingcount = 0;
    int xokind = 0;
    int devtype = 24;
    int viewpos = 4;
    int viewpos2 = 1;
    int firsend = 0;
    unsigned char loading = 0;
    FormFir *firwindow = nullptr;
    bool front = false;
    bool firclosed = false;
    bool watching = false;
    // While the page's sub-window changes its state (maximized as it is
    // opened), it hides and shows the page within one call: the page stays
    // in front meanwhile, and whether it is is looked at once it is done. A
    // panel hidden and mapped again at once may be lost by a window manager
    // that has not yet taken in the hiding.
    bool restating = false;
    // Other pages are shown, hidden and activated in bursts while the area
    // restacks them; the page looks at whether it is in front once a burst
    // is over, for the same reason.
    bool refronting = false;
    int channel = 0;
    // Slope entries the device type offers: 10, or 13 with the 48 dB slopes.
    int slopecount = 10;
    bool pending[kOutputs][3] = {};
    Ui::FormEq *ui;
};

extern FormEq *gFormEq;
