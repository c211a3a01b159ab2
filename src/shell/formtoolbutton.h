#pragma once

// The tool bar along the top of the main window: connect/disconnect, the main
// and settings pages, the link, copy and device-lock dialogs, a hidden serial
// settings button, and saving and loading program files. Loading a file puts
// it into the current device and writes it to the processor part by part,
// each part acknowledged, then recalls program 0.

#include <QWidget>

class QTimer;

namespace Ui
{
class FormToolButton;
}

class FormToolButton : public QWidget
{
    Q_OBJECT
public:
    // How often a program part (and the recall) is sent before the transfer
    // is given up as failed.
    static constexpr int kSendAttempts = 3;
    static constexpr int kReplyTimeoutMs = 2000;

    explicit FormToolButton(QWidget *parent = nullptr);
    ~FormToolButton() override;

    // The connect button follows the link state of the current device.
    void updateconnectbtn();

signals:
    void connectcom();
    void updataallviews();
    void refprogram();
    void sChangeButtonview(int page);

public slots:
    void refreshLanText();
    void on_btnOpen_clicked();
    void on_btnHelp_clicked();
    void on_btnSet_clicked();
    void on_btnExcel_clicked();
    void on_btnDownload_clicked();
    void on_btnSave_clicked();
    void on_btnLock_clicked();
    void on_Save_Button_clicked();
    void on_Down_Button_clicked();
    void Time_Out();

private:
    static bool exchangeruns();
    bool connected() const;
    QString text(const char *english, const char *chinese) const;
    // Sends with send() until the flag test holds, at most kSendAttempts times;
    // false when it never held or the transfer has to stop.
    template <typename Send, typename Done> bool sendacknowledged(Send send, Done done);
    bool transferstopped() const;
    void transferfailed();

    QTimer *timer;
    bool timeoutflag = false;
    Ui::FormToolButton *ui;
};
