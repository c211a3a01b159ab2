#include "ccomctrl.h"

#include "commandframe.h"
#include "comsettings.h"
#include "hextext.h"
#include "myserialport.h"

#include <QDebug>

namespace
{
// How long a close waits for the port's writer: a few frames at the slowest
// line speed.
constexpr int kCloseWriteMs = 300;
} // namespace

CComCtrl gComCtrl;

CComCtrl::CComCtrl()
    : m_portname(QStringLiteral("COM1"))
    , m_port(new MySerialPort)
{
    m_clock.start();
    // Both objects live on the GUI thread: a direct call, made once for the
    // life of the engine however often the port is opened.
    connect(m_port.get(), &MySerialPort::mycom_dataReceived, this, &CComCtrl::dataReceived,
            Qt::DirectConnection);
    connect(m_port.get(), &MySerialPort::portlost, this, &CComCtrl::portlost);
    m_recheck.setSingleShot(true);
    connect(&m_recheck, &QTimer::timeout, this, [this]() { dataReceived(QByteArray()); });
}

CComCtrl::~CComCtrl() = default;

void CComCtrl::sendcmd(unsigned char type, unsigned char address, unsigned char command,
                       const QString &payload)
{
    buildframe(type, address, command, payload);
    sendhex(m_frametext);
}

void CComCtrl::sendcmdwhole(unsigned char type, unsigned char address, unsigned char command,
                            const QString &payload)
{
    buildframe(type, address, command, payload);
    sendhexwhole(m_frametext);
}

void CComCtrl::buildframe(unsigned char type, unsigned char address, unsigned char command,
                          const QString &payload)
{
    m_bodytext = hexbyte(address) + hexbyte(command) + payload;
    m_checksumtext = getchecksum(m_bodytext);
    m_frametext = buildcommandframe(type, address, command, payload);
}

void CComCtrl::sendhex(const QString &hex)
{
    m_port->senddata(hextobytes(hex));
}

void CComCtrl::sendhexwhole(const QString &hex)
{
    m_port->senddatawhole(hextobytes(hex));
}

QString CComCtrl::getchecksum(const QString &body) const
{
    return commandchecksum(body);
}

void CComCtrl::dataReceived(QByteArray chunk)
{
    const qint64 now = m_clock.elapsed();
    const QList<QByteArray> frames = m_assembler.feed(chunk, now);
    for (const QByteArray &f : frames) {
        Reply r;
        if (m_rate.admit(f, now) && decodereply(f, r))
            dispatchreply(r, *this);
    }
    const qint64 recheck = m_assembler.recheckms(m_clock.elapsed());
    if (recheck >= 0)
        m_recheck.start(int(recheck));
    else
        m_recheck.stop();
}

void CComCtrl::dealwithframe(const QString &f)
{
    Reply r;
    if (decodereply(f, r))
        dispatchreply(r, *this);
}

void CComCtrl::replyfind(unsigned char type, unsigned char address)
{
    // The flag is set before the signal: a receiver already sees it.
    m_findok = true;
    emit findok(type, address);
}

bool CComCtrl::openmaincom()
{
    const QString name = gComSettings.getportname();
    if (!m_port->opencom(name))
        return false;
    int settings[6];
    gComSettings.getsettings(settings);
    m_port->setbaudrate(settings[0]);
    m_port->setdatabits(settings[1]);
    m_port->setparity(settings[2]);
    m_port->setstopbits(settings[3]);
    m_port->setflowcontrol(settings[4]);
    m_port->settimeout(settings[5]);
    m_port->createreceivethread();
    m_port->createsendthread();
    m_port->startreceivethread();
    // A new byte stream: nothing of an earlier port's unfinished reply belongs to it.
    m_assembler.clear();
    m_comopened = true;
    m_portname = name;
    return true;
}

bool CComCtrl::getcomisopened() const
{
    return m_comopened && m_port->isopen();
}

void CComCtrl::closemaincom()
{
    if (m_comopened && m_port->isopen()) {
        emit closing();
        m_port->waitwritten(kCloseWriteMs);
    }
    m_port->closecom();
    m_comopened = false;
    m_portname.clear();
}

QString CComCtrl::findfirstcom()
{
    const QStringList list = gComSettings.getportlist();
    for (int i = 0; i < list.size(); ++i) {
        qDebug() << i << ":" << list.at(i);
        if (m_port->opencom(list.at(i))) {
            qDebug() << "open com ok";
            gComSettings.setportname(list.at(i));
            m_scanindex = i;
            m_port->closecom();
            emit refreshcomdlg();
            return list.at(i);
        }
    }
    return QStringLiteral("nocom");
}

QString CComCtrl::findnextcom()
{
    const QStringList list = gComSettings.getportlist();
    // A port that does not open (busy, gone) is skipped, as findfirstcom does,
    // so it does not hide the ports after it.
    for (m_scanindex = qMax(m_scanindex, -1) + 1; m_scanindex < list.size(); ++m_scanindex) {
        const QString name = list.at(m_scanindex);
        qDebug() << "findnextcom:" << name;
        if (m_port->opencom(name)) {
            gComSettings.setportname(name);
            m_port->closecom();
            emit refreshcomdlg();
            return name;
        }
    }
    m_scanindex = qMax(m_scanindex, list.size());
    return QStringLiteral("endcom");
}
