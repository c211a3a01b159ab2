#pragma once

// The main control page: every channel of the current device on one screen,
// with the buttons that open the detail pages for one channel.

#include <QWidget>

class QCloseEvent;

class FormMainView : public QWidget
{
    Q_OBJECT
public:
    explicit FormMainView(QWidget *parent = nullptr);

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
    // 2 type 20) and reloads it from the current device.
    void updatemainview(int view);
    void updatepeqbypass();
    void updateabcdbtn();
    void updatephasebtns();
    void updatemetubtn();
    // Channel index 0..11 (IN-A..IN-D, OUT1..OUT8).
    void updategainvalues(int ch);
    void updatedelayvalues(int ch);
    void updatelimitvalues(int ch);
    // Output index 0..7.
    void updatelimitvalues2(int o);
    void updatemainlock();

protected:
    void closeEvent(QCloseEvent *event) override;
};

// The one main control page of the run; set by the main window.
extern FormMainView *gFormMainView;
