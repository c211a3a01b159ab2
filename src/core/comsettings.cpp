#include "comsettings.h"

ComSettings gComSettings;
const char *const ComSettings::PortsOverrideVariable = "DSPMANAGER_PORTS";
const qint32 ComSettings::BaudTable[BaudCount] = {50,   75,    110,   134,   150,   200,    300,    600,
                                                  1200, 1800,  2400,  4800,  9600,  14400,  19200,  38400,
                                                  56000, 57600, 76800, 115200, 128000, 256000};
void ComSettings::setsettings(int, int, int, int, int, int) {}
void ComSettings::getsettings(int settings[6]) const { for (int i = 0; i < 6; ++i) settings[i] = 0; }
QStringList ComSettings::listports() { return {}; }
qint32 ComSettings::baudRate(int) { return 0; }
QSerialPort::DataBits ComSettings::dataBits(int) { return QSerialPort::UnknownDataBits; }
QSerialPort::Parity ComSettings::parity(int) { return QSerialPort::UnknownParity; }
QSerialPort::StopBits ComSettings::stopBits(int) { return QSerialPort::UnknownStopBits; }
QSerialPort::FlowControl ComSettings::flowControl(int) { return QSerialPort::UnknownFlowControl; }
int ComSettings::baudIndex(qint32) { return -1; }
int ComSettings::dataBitsIndex(QSerialPort::DataBits) { return -1; }
int ComSettings::parityIndex(QSerialPort::Parity) { return -1; }
int ComSettings::stopBitsIndex(QSerialPort::StopBits) { return -1; }
int ComSettings::flowControlIndex(QSerialPort::FlowControl) { return -1; }
