#include "ccomctrl.h"

#include "commandframe.h"
#include "comsettings.h"
#include "hextext.h"
#include "myserialport.h"

#include <QDebug>

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
}

CComCtrl::~CComCtrl() = default;

void CComCtrl::sendcmd(unsigned char type, unsigned char address, unsigned char command,
                       const QString &payload)
{
    m_frametext.clear();
    m_bodytext.clear();
    m_checksumtext.clear();
    m_frametext = QStringLiteral("112233") + hexbyte(type);
    m_bodytext = hexbyte(address) + hexbyte(command) + payload;
    m_frametext += m_bodytext;
    m_checksumtext = getchecksum(m_bodytext);
    m_frametext += m_checksumtext + QStringLiteral("445566");
    sendhex(m_frametext);
}

void CComCtrl::sendcmdwhole(unsigned char type, unsigned char address, unsigned char command,
                            const QString &payload)
{
    m_bodytext = hexbyte(address) + hexbyte(command) + payload;
    m_checksumtext = getchecksum(m_bodytext);
    m_frametext = buildcommandframe(type, address, command, payload);
    sendhexwhole(m_frametext);
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
    const QList<QByteArray> frames = m_assembler.feed(chunk, m_clock.elapsed());
    for (const QByteArray &f : frames)
        dealwithframe(bytestohex(f));
}

void CComCtrl::dealwithframe(const QString &f)
{
    if (!f.startsWith(QLatin1String("445566")) || !f.endsWith(QLatin1String("112233")))
        return;
    // A frame too short to hold a command code is not a reply.
    if (f.size() < 18)
        return;
    const QString c = f.mid(10, 2);
    const auto slice = [&f](int start, int length) { return replyslice(f, start, length); };
    const auto byteat = [&slice](int start) {
        const QByteArray b = hextobytes(slice(start, 2));
        return b.isEmpty() ? uchar(0) : uchar(b.at(0));
    };

    if (c == QLatin1String("01")) {
        m_findok = true;
        emit findok(byteat(6), byteat(8));
    } else if (c == QLatin1String("02")) {
        emit connectok(slice(6, 22));
    } else if (c == QLatin1String("03")) {
        emit connectok(slice(6, 8));
    } else if (c == QLatin1String("56")) {
        emit readlight(slice(14, 24));
    } else if (c == QLatin1String("57")) {
        emit muterevok(slice(14, 24));
    } else if (c == QLatin1String("50")) {
        emit getgainisok();
    } else if (c == QLatin1String("64")) {
        emit readprogramname(slice(14, 44));
        emit loadname();
    } else if (c == QLatin1String("61")) {
        const QString s = slice(14, 132);
        if (s.mid(2, 2) == QLatin1String("00"))
            emit loadcurprogramisready();
        emit loadcurprogramdata(s);
        emit loadcurprogram1to25isokflag();
    } else if (c == QLatin1String("60")) {
        emit writeok(slice(14, 4));
        emit loadwritecurprogram1to25isokflag();
    } else if (c == QLatin1String("62") || c == QLatin1String("65") || c == QLatin1String("66")) {
        emit loadcurprogramisready();
    } else if (c == QLatin1String("63") || c == QLatin1String("54") || c == QLatin1String("55")) {
        emit loadcopy();
    } else if (c == QLatin1String("10") || c == QLatin1String("12")) {
        emit loadcurprogramisready();
        emit lockreturn(slice(14, 2) == QLatin1String("01"));
    } else if (c == QLatin1String("13")) {
        emit logreturn();
    }
    // 20, 21, 22, 30, 51 and every other code: nothing.
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
