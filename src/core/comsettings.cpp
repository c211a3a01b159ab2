#include "comsettings.h"

#include <QSerialPortInfo>

ComSettings gComSettings;

const char *const ComSettings::PortsOverrideVariable = "DSPMANAGER_PORTS";

const qint32 ComSettings::BaudTable[BaudCount] = {50,    75,    110,   134,    150,    200,   300,   600,
                                                  1200,  1800,  2400,  4800,   9600,   14400, 19200, 38400,
                                                  56000, 57600, 76800, 115200, 128000, 256000};

namespace
{
const QSerialPort::DataBits DataBitsTable[] = {QSerialPort::Data5, QSerialPort::Data6, QSerialPort::Data7,
                                               QSerialPort::Data8};
const QSerialPort::Parity ParityTable[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                           QSerialPort::EvenParity};
const QSerialPort::StopBits StopBitsTable[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                               QSerialPort::TwoStop};
const QSerialPort::FlowControl FlowTable[] = {QSerialPort::NoFlowControl, QSerialPort::HardwareControl,
                                              QSerialPort::SoftwareControl};

template <typename T, int N> T entry(const T (&table)[N], int index, T unknown)
{
    return index >= 0 && index < N ? table[index] : unknown;
}

template <typename T, int N> int indexOf(const T (&table)[N], T value)
{
    for (int i = 0; i < N; ++i) {
        if (table[i] == value)
            return i;
    }
    return -1;
}

#ifdef Q_OS_WIN
// Windows names: "com3" for ports below 10, "\\.\com12" from 10 on.
QString windowsPortName(const QString &systemName)
{
    QString rest = systemName;
    rest.remove(QLatin1String("com"));
    rest.remove(QLatin1String("COM"));
    bool ok = false;
    const int n = rest.toInt(&ok);
    return (ok && n > 9 ? QStringLiteral("\\\\.\\com") : QStringLiteral("com")) + rest;
}
#endif
} // namespace

void ComSettings::setsettings(int baud, int databits, int parity, int stopbits, int flowcontrol, int timeout)
{
    m_baud = baud;
    m_databits = databits;
    m_parity = parity;
    m_stopbits = stopbits;
    m_flowcontrol = flowcontrol;
    m_timeout = timeout;
}

void ComSettings::getsettings(int settings[6]) const
{
    settings[0] = m_baud;
    settings[1] = m_databits;
    settings[2] = m_parity;
    settings[3] = m_stopbits;
    settings[4] = m_flowcontrol;
    settings[5] = m_timeout;
}

QStringList ComSettings::listports()
{
    QStringList list;
    if (qEnvironmentVariableIsSet(PortsOverrideVariable)) {
        const QStringList paths = qEnvironmentVariable(PortsOverrideVariable).split(QLatin1Char(','));
        for (const QString &path : paths) {
            const QString trimmed = path.trimmed();
            if (!trimmed.isEmpty())
                list.append(trimmed);
        }
        return list;
    }
    QList<QPair<QString, QString>> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
#ifdef Q_OS_WIN
        ports.append({windowsPortName(info.portName()), info.description()});
#else
        ports.append({info.systemLocation(), info.description()});
#endif
    }
    return listedports(ports);
}

QStringList ComSettings::listedports(const QList<QPair<QString, QString>> &ports)
{
    QStringList list;
    for (const auto &port : ports) {
        if (port.second.contains(QLatin1String("Bluetooth")))
            continue;
        list.append(port.first);
    }
    return list;
}

qint32 ComSettings::baudRate(int index)
{
    return entry(BaudTable, index, qint32(0));
}

QSerialPort::DataBits ComSettings::dataBits(int index)
{
    return entry(DataBitsTable, index, QSerialPort::UnknownDataBits);
}

QSerialPort::Parity ComSettings::parity(int index)
{
    return entry(ParityTable, index, QSerialPort::UnknownParity);
}

QSerialPort::StopBits ComSettings::stopBits(int index)
{
    return entry(StopBitsTable, index, QSerialPort::UnknownStopBits);
}

QSerialPort::FlowControl ComSettings::flowControl(int index)
{
    return entry(FlowTable, index, QSerialPort::UnknownFlowControl);
}

int ComSettings::baudIndex(qint32 rate)
{
    return indexOf(BaudTable, rate);
}

int ComSettings::dataBitsIndex(QSerialPort::DataBits bits)
{
    return indexOf(DataBitsTable, bits);
}

int ComSettings::parityIndex(QSerialPort::Parity parity)
{
    return indexOf(ParityTable, parity);
}

int ComSettings::stopBitsIndex(QSerialPort::StopBits bits)
{
    return indexOf(StopBitsTable, bits);
}

int ComSettings::flowControlIndex(QSerialPort::FlowControl flow)
{
    return indexOf(FlowTable, flow);
}
