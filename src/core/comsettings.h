#pragma once

// Serial settings of the program: the ports found on this PC, the port in use
// and the six line settings. The line settings are kept as indices into the
// tables below (the order the settings combos of the serial settings dialog
// show them in); this file is the one place that turns them into Qt SerialPort
// values.

#include <QList>
#include <QPair>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class ComSettings
{
public:
    // Number of entries of the baud table and the index of 38400 baud.
    static constexpr int BaudCount = 22;
    static constexpr int FixedBaud = 15;
    static constexpr int FixedDataBits = 3; // 8 data bits
    static constexpr int FixedParity = 0;   // none
    static constexpr int FixedStopBits = 0; // 1 stop bit
    static constexpr int FixedFlowControl = 0;
    static constexpr int FixedTimeout = 10; // milliseconds
    // Environment variable that, when set, replaces the listed ports by a
    // comma-separated list of port paths (set but empty: no ports).
    static const char *const PortsOverrideVariable; // "DSPMANAGER_PORTS"

    ComSettings() = default;

    void setportlist(const QStringList &list) { m_portlist = list; }
    QStringList getportlist() const { return m_portlist; }
    void setportname(const QString &name) { m_portname = name; }
    QString getportname() const { return m_portname; }
    // baud, data bits, parity, stop bits, flow control, time-out, in that order.
    void setsettings(int baud, int databits, int parity, int stopbits, int flowcontrol, int timeout);
    void getsettings(int settings[6]) const;

    // The serial ports of this PC as the system names them (full device path on
    // Linux), without Bluetooth ports, or the override list when the override
    // variable is set.
    static QStringList listports();
    // The listing rule on its own: (system name, description) of each port in
    // the system's order; ports whose description contains "Bluetooth" are
    // left out.
    static QStringList listedports(const QList<QPair<QString, QString>> &ports);

    // Index -> Qt SerialPort value. An index outside its table gives 0 /
    // the Unknown... value, which the serial wrapper ignores.
    static qint32 baudRate(int index);
    static QSerialPort::DataBits dataBits(int index);
    static QSerialPort::Parity parity(int index);
    static QSerialPort::StopBits stopBits(int index);
    static QSerialPort::FlowControl flowControl(int index);
    // Qt SerialPort value -> index; -1 for a value without an index.
    static int baudIndex(qint32 rate);
    static int dataBitsIndex(QSerialPort::DataBits bits);
    static int parityIndex(QSerialPort::Parity parity);
    static int stopBitsIndex(QSerialPort::StopBits bits);
    static int flowControlIndex(QSerialPort::FlowControl flow);

    // The rates of the baud table, in table order.
    static const qint32 BaudTable[BaudCount];

private:
    QStringList m_portlist;
    QString m_portname;
    int m_baud = 0;
    int m_databits = 0;
    int m_parity = 0;
    int m_stopbits = 0;
    int m_flowcontrol = 0;
    int m_timeout = 0;
};

// The program-wide serial settings.
extern ComSettings gComSettings;
