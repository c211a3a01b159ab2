#pragma once

// The serial settings dialog: lists the serial ports, stores and shows the
// fixed line settings (38400 baud, 8 data bits, no parity, 1 stop bit, no flow
// control) with their controls disabled, and "Find com" picks the first port
// that opens. Its window title is set by the caller.

#include <QDialog>

#include <memory>

class MySerialPort;

namespace Ui
{
class DialogCom;
}

class DialogCom : public QDialog
{
    Q_OBJECT
public:
    explicit DialogCom(QWidget *parent = nullptr);
    ~DialogCom() override;

    // Lists the ports again and stores the fixed line settings again; called
    // before every serial device search.
    void initcom();

public slots:
    // "Find com": probes the listed ports in order and keeps the first that
    // opens as the port name.
    void on_m_btn_open_clicked();
    // Selects the current port name in the port box.
    void refreshcomdlg();
    void on_m_btn_close_clicked();
    void on_pushButton_exit_clicked();

private:
    void listcomports();
    void storesettings();

    // Port used by "Find com" to try ports; exists only during a search.
    std::unique_ptr<MySerialPort> m_probe;
    Ui::DialogCom *ui;
};
