#include "myserialport.h"

#include "hextext.h"

struct SerialShared {
};
class SerialIoWorker
{
};

MySerialPort::MySerialPort() = default;
MySerialPort::~MySerialPort() = default;
bool MySerialPort::opencom(const QString &portname) { m_portname = portname; return false; }
void MySerialPort::closecom() {}
void MySerialPort::setbaudrate(int index) { m_baud = index; }
void MySerialPort::setdatabits(int index) { m_databits = index; }
void MySerialPort::setparity(int index) { m_parity = index; }
void MySerialPort::setstopbits(int index) { m_stopbits = index; }
void MySerialPort::setflowcontrol(int index) { m_flowcontrol = index; }
void MySerialPort::settimeout(long ms) { m_timeout = ms; }
bool MySerialPort::setportall(const QString &portname, int, int, int, int, int, long) { return opencom(portname); }
void MySerialPort::createsendthread() { m_writerCreated = true; }
void MySerialPort::createreceivethread() { m_readerCreated = true; }
int MySerialPort::startreceivethread() { return NotOpen; }
void MySerialPort::stopsendthread() {}
void MySerialPort::stopreceivethread() {}
void MySerialPort::deletesendthread() {}
void MySerialPort::deletereceivethread() {}
int MySerialPort::senddata(const QByteArray &) { return NotOpen; }
int MySerialPort::senddatawhole(const QByteArray &) { return NotOpen; }
int MySerialPort::writedirect(const QByteArray &) { return NotOpen; }
int MySerialPort::hexdigitvalue(QChar c) { return ::hexdigitvalue(c); }
void MySerialPort::bytestohex(const QByteArray &bytes, QString &text) { ::bytestohex(bytes, text); }
void MySerialPort::hextobytes(const QString &text, QByteArray &bytes) { ::hextobytes(text, bytes); }
void MySerialPort::OnReadThreadCom(QByteArray chunk)
{
    if (!chunk.isEmpty())
        emit mycom_dataReceived(chunk);
}
void MySerialPort::onIoChunk(QByteArray chunk, quint64) { OnReadThreadCom(chunk); }
void MySerialPort::onIoPortLost(quint64) {}
void MySerialPort::startIoThread() {}
void MySerialPort::schedulePump() {}
void MySerialPort::discardQueued() {}
