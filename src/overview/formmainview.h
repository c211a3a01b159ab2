#pragma once

// The main control page: every channel of the current device on one screen
// (gain, delay, EQ bypass, limiter and peak-limiter values, mutes, per-output
// switches and the input-to-output routing with its lines), with the buttons
// that open the detail pages for one channel.
//
// The page holds no parameter data: it reads the current device of the
// controller and its display caches, and redraws when told to. The click
// slots are connected by object name; each forwards to the helper of its
// family with its place in the family.

#include <QString>
#include <QWidget>

#include <memory>

class QCloseEvent;
class DeviceData;

namespace Ui
{
class FormMainView;
}

class FormMainView : public QWidget
{
    Q_OBJECT
public:
    // Detail pages a page button opens.
    enum class Page { Gain, Delay, Eq, Limit, Peak };

    explicit FormMainView(QWidget *parent = nullptr);
    ~FormMainView() override;

    // The routing label rule: a text shorter than four characters becomes four
    // spaces; then the letter's position ("A" 0 .. "D" 3) holds the letter when
    // on is set and a space otherwise. Any other letter changes nothing more.
    static void setabcdtext(QString &text, bool on, const QString &letter);
    // "Off" in English, its Chinese twin when the interface is Chinese.
    static QString offword();

    // Graphic-EQ openers for the page channels 1..12. The page shows no
    // graphic-EQ button: these are plain methods so that the connection by
    // object name does not look for buttons that do not exist.
    void on_btngeq_clicked() { geqclicked(1); }
    void on_btngeq_2_clicked() { geqclicked(2); }
    void on_btngeq_3_clicked() { geqclicked(3); }
    void on_btngeq_4_clicked() { geqclicked(4); }
    void on_btngeq_5_clicked() { geqclicked(5); }
    void on_btngeq_6_clicked() { geqclicked(6); }
    void on_btngeq_7_clicked() { geqclicked(7); }
    void on_btngeq_8_clicked() { geqclicked(8); }
    void on_btngeq_9_clicked() { geqclicked(9); }
    void on_btngeq_10_clicked() { geqclicked(10); }
    void on_btngeq_11_clicked() { geqclicked(11); }
    void on_btngeq_12_clicked() { geqclicked(12); }

signals:
    // Emitted by the page buttons after the controller was told the channel;
    // the main window connects each to its detail page.
    void updategaindlg();
    void updatedelaydlg();
    void updategeqdlg();
    void updateeqdlg();
    void updatelimitdlg();
    void updatelimitdlg2();
    // Page number of the page button to highlight in the main window.
    void sChangeButtonview(int page);

public slots:
    void refreshLanText();
    // Arranges the page for the device view index (0 type 24, 1 type 22,
    // 2 type 20) and reloads the lock image, bypass colours, routing lines,
    // routing buttons and switches from the current device.
    void updatemainview(int view);
    void updatepeqbypass();
    void updateabcdbtn();
    void updatephasebtns();
    void updatemetubtn();
    // Channel index 0..11 (IN-A..IN-D, OUT1..OUT8); other values change nothing.
    void updategainvalues(int ch);
    void updatedelayvalues(int ch);
    void updatelimitvalues(int ch);
    // Output index 0..7; other values change nothing.
    void updatelimitvalues2(int o);
    void updatemainlock();

private slots:
    // clang-format off
    // Routing: IN-A of OUT1..OUT8, then IN-B, IN-C and IN-D.
    void on_btnoutA_clicked(); void on_btnoutA_2_clicked(); void on_btnoutA_3_clicked();
    void on_btnoutA_4_clicked(); void on_btnoutA_5_clicked(); void on_btnoutA_6_clicked();
    void on_btnoutA_7_clicked(); void on_btnoutA_8_clicked(); void on_btnoutB_clicked();
    void on_btnoutB_2_clicked(); void on_btnoutB_3_clicked(); void on_btnoutB_4_clicked();
    void on_btnoutB_5_clicked(); void on_btnoutB_6_clicked(); void on_btnoutB_7_clicked();
    void on_btnoutB_8_clicked(); void on_btnoutC_clicked(); void on_btnoutC_2_clicked();
    void on_btnoutC_3_clicked(); void on_btnoutC_4_clicked(); void on_btnoutC_5_clicked();
    void on_btnoutC_6_clicked(); void on_btnoutC_7_clicked(); void on_btnoutC_8_clicked();
    void on_btnoutD_clicked(); void on_btnoutD_2_clicked(); void on_btnoutD_3_clicked();
    void on_btnoutD_4_clicked(); void on_btnoutD_5_clicked(); void on_btnoutD_6_clicked();
    void on_btnoutD_7_clicked(); void on_btnoutD_8_clicked();
    // Mutes, channels 0..11.
    void on_btninmute1_clicked(); void on_btninmute1_3_clicked(); void on_btninmute1_4_clicked();
    void on_btninmute1_5_clicked(); void on_btnoutmute_clicked(); void on_btnoutmute_2_clicked();
    void on_btnoutmute_3_clicked(); void on_btnoutmute_4_clicked(); void on_btnoutmute_5_clicked();
    void on_btnoutmute_6_clicked(); void on_btnoutmute_7_clicked(); void on_btnoutmute_8_clicked();
    // Per-output switches, outputs 0..7.
    void on_btnlimitinon_clicked(); void on_btnlimitinon_2_clicked(); void on_btnlimitinon_3_clicked();
    void on_btnlimitinon_4_clicked(); void on_btnlimiton_5_clicked(); void on_btnlimiton_6_clicked();
    void on_btnlimiton_7_clicked(); void on_btnlimiton_8_clicked();
    // Page buttons: gain, delay, EQ, limiter (page channels 1..12), peak limiter (outputs 0..7).
    void on_btningain1_clicked(); void on_btningain1_3_clicked(); void on_btningain1_4_clicked();
    void on_btningain1_5_clicked(); void on_btnoutgain2_clicked(); void on_btnoutgain2_2_clicked();
    void on_btnoutgain2_3_clicked(); void on_btnoutgain2_4_clicked(); void on_btnoutgain2_5_clicked();
    void on_btnoutgain2_6_clicked(); void on_btnoutgain2_7_clicked(); void on_btnoutgain2_8_clicked();
    void on_btnindelay1_clicked(); void on_btnindelay1_3_clicked(); void on_btnindelay1_4_clicked();
    void on_btnindelay1_5_clicked(); void on_btnoutdelay_clicked(); void on_btnoutdelay_2_clicked();
    void on_btnoutdelay_3_clicked(); void on_btnoutdelay_4_clicked(); void on_btnoutdelay_5_clicked();
    void on_btnoutdelay_6_clicked(); void on_btnoutdelay_7_clicked(); void on_btnoutdelay_8_clicked();
    void on_btneq1_clicked(); void on_btneq1_3_clicked(); void on_btneq1_4_clicked();
    void on_btneq1_5_clicked(); void on_btnouteq_clicked(); void on_btnouteq_2_clicked();
    void on_btnouteq_3_clicked(); void on_btnouteq_4_clicked(); void on_btnouteq_5_clicked();
    void on_btnouteq_6_clicked(); void on_btnouteq_7_clicked(); void on_btnouteq_8_clicked();
    void on_btninlimit_clicked(); void on_btninlimit_2_clicked(); void on_btninlimit_3_clicked();
    void on_btninlimit_4_clicked(); void on_btnoutlimit_clicked(); void on_btnoutlimit_2_clicked();
    void on_btnoutlimit_3_clicked(); void on_btnoutlimit_4_clicked(); void on_btnoutlimit_5_clicked();
    void on_btnoutlimit_6_clicked(); void on_btnoutlimit_7_clicked(); void on_btnoutlimit_8_clicked();
    void on_btnoutlimit_20_clicked(); void on_btnoutlimit_21_clicked(); void on_btnoutlimit_22_clicked();
    void on_btnoutlimit_23_clicked(); void on_btnoutlimit_24_clicked(); void on_btnoutlimit_25_clicked();
    void on_btnoutlimit_26_clicked(); void on_btnoutlimit_27_clicked();
    // clang-format on

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The family helpers behind the click slots.
    void routeclicked(int input, int o);
    void muteclicked(int ch);
    void switchclicked(int o);
    // n: the page channel 1..12, or the output 0..7 for the peak limiter.
    void pageclicked(Page page, int n);
    void geqclicked(int n);
    // Limiter-style value text: raw / 10 - 20 dB with one decimal, or the
    // off word when the enable byte is 0.
    static QString levelortext(int raw, int enable);

    std::unique_ptr<Ui::FormMainView> ui;
};

// The one main control page of the run; set by the main window.
extern FormMainView *gFormMainView;
