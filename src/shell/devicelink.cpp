#include "devicelink.h"

#include "ccomctrl.h"
#include "commandframe.h"
#include "devicedata.h"
#include "formgain.h"
#include "formlimit2.h"
#include "formmainview.h"
#include "globalcontrl.h"
#include "hextext.h"
#include "mainapp.h"
#include "netprobe.h"
#include "prompts.h"
#include "replydispatch.h"

#include <QApplication>
#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QProgressDialog>
#include <QTcpSocket>
#include <QTimer>
#include <QVector>

#include <memory>

namespace
{

constexpr int kConnectWaitMs = 30;
constexpr int kBlockWaitMs = 120;
constexpr int kConnectReplyWaitMs = 100;

DeviceData *current()
{
    return gMainApp->getcurdevice();
}

int language()
{
    return gGlobalContrl ? gGlobalContrl->getlanguage() : 0;
}

// "0.0.0.0" (and no address at all) marks a device on the serial line.
bool isnetworkaddress(const QHostAddress &ip)
{
    return !ip.isNull() && ip != QHostAddress(QHostAddress::AnyIPv4);
}

uchar bytefromhex(const QString &s, int pos)
{
    const QByteArray b = hextobytes(s.mid(pos, 2));
    return b.isEmpty() ? uchar(0) : uchar(b.at(0));
}

QString readresource(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// The parts of the running program that the download asked for. As the other
// readers do, it takes each part from a reply of the unit the application
// talks to that carries that part while it is asked, and the first such reply
// only: a reply of another unit, a part not asked, and another reply of a part
// it holds (a late answer to another reader, a part of another program) change
// nothing. The parts reach the receive buffer together, once all have come.
class DownloadParts
{
public:
    DownloadParts()
        : m_type(gMainApp->getdevtype())
        , m_address(gMainApp->getdevaddr())
        , m_parts(DeviceLink::kBlockCount)
        , m_asked(DeviceLink::kBlockCount, false)
    {
        const auto take = [this](const Reply &r) { this->take(r); };
        QObject::connect(&gComCtrl, &CComCtrl::replied, &m_context, take);
        // A controller may be given an engine of its own (the tests do).
        CComCtrl *engine = gMainApp->getcomctrl();
        if (engine && engine != &gComCtrl)
            QObject::connect(engine, &CComCtrl::replied, &m_context, take);
    }
    void ask(int part)
    {
        if (part >= 0 && part < m_asked.size())
            m_asked[part] = true;
    }
    // The first part not yet held; kBlockCount when every part is.
    int missing() const
    {
        for (int p = 0; p < m_parts.size(); ++p)
            if (m_parts.at(p).isEmpty())
                return p;
        return DeviceLink::kBlockCount;
    }
    bool complete() const { return missing() == DeviceLink::kBlockCount; }
    // Writes exactly the parts held into the record's receive buffer.
    void store(DeviceData *d) const
    {
        d->clearreadflags();
        for (const QString &p : m_parts)
            d->storepacket(p);
    }

private:
    void take(const Reply &r)
    {
        if (r.code != 0x61 || r.type != m_type || r.address != m_address)
            return;
        const int part = r.byte(8);
        if (part >= m_parts.size() || !m_asked.at(part) || !m_parts.at(part).isEmpty())
            return;
        // The unused byte, the part and the 64 data bytes, as the reply carried them.
        m_parts[part] = r.slice(14, 132);
    }

    QObject m_context; // the connections end with the download
    uchar m_type;
    uchar m_address;
    QVector<QString> m_parts;
    QVector<bool> m_asked;
};

} // namespace

DeviceLink::DeviceLink(QObject *parent)
    : QObject(parent)
    , m_socket(new QTcpSocket)
{
    m_clock.start();
    m_socket->setReadBufferSize(kReadBufferBytes);
    connect(m_socket, &QTcpSocket::readyRead, this, &DeviceLink::readtcpdata);
    // A connection the processor or the network ends is a link that is down:
    // the status must not keep saying "Net Online", and transfers stop.
    connect(m_socket, &QTcpSocket::disconnected, this, &DeviceLink::tcplinklost);
    m_recheck.setSingleShot(true);
    connect(&m_recheck, &QTimer::timeout, this,
            [this]() { tcpdataReceived(QByteArray(), m_socket->peerAddress()); });
}

DeviceLink::~DeviceLink()
{
    m_socket->disconnect(this);
    m_socket->abort();
    delete m_socket;
}

QString DeviceLink::tr2(const char *english, const char *chinese) const
{
    return language() == 0 ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

bool DeviceLink::closing()
{
    return QCoreApplication::closingDown() || (gGlobalContrl && gGlobalContrl->getclosing()) ||
           LongExchange::cancelled();
}

bool DeviceLink::linkup()
{
    const DeviceData *d = current();
    return d->getcomconnected() || d->gettcpconnected();
}

void DeviceLink::linklost()
{
    emit onlinestatechanged();
    emitlockupdates(true);
}

void DeviceLink::seriallinklost()
{
    if (!gMainApp)
        return;
    bool any = current()->getcomconnected() != 0;
    current()->setcomconnected(0);
    for (DeviceData *d : qAsConst(gDeviceList)) {
        any = any || d->getcomconnected();
        d->setcomconnected(0);
    }
    if (!any)
        return;
    qDebug() << "serial line lost";
    linklost();
}

void DeviceLink::tcplinklost()
{
    if (!gMainApp || (!MainApp::anytcpconnected() && !current()->gettcpconnected()))
        return;
    qDebug() << "network link lost";
    gMainApp->clearalltcpflags();
    linklost();
}

bool DeviceLink::talkingto(uchar type, uchar address)
{
    return gMainApp && type == gMainApp->getdevtype() && address == gMainApp->getdevaddr();
}

void DeviceLink::connectreplies(CComCtrl *ctrl)
{
    // The handlers below work on the current record: only its unit's replies reach them.
    ctrl->setunitcheck(&DeviceLink::talkingto);
    connect(ctrl, &CComCtrl::connectok, this, &DeviceLink::connectok);
    connect(ctrl, &CComCtrl::readprogramname, this, &DeviceLink::readprogramname);
    connect(ctrl, &CComCtrl::loadcurprogramdata, this, &DeviceLink::loadcurprogramdata);
    connect(ctrl, &CComCtrl::loadcurprogramisready, this, &DeviceLink::loadcurprogramisready);
    connect(ctrl, &CComCtrl::loadcurprogram1to25isokflag, this, &DeviceLink::loadcurprogram1to25isokflag);
    connect(ctrl, &CComCtrl::loadwritecurprogram1to25isokflag, this,
            &DeviceLink::loadwritecurprogram1to25isokflag);
    connect(ctrl, &CComCtrl::loadcopy, this, &DeviceLink::loadcopy);
    connect(ctrl, &CComCtrl::loadname, this, &DeviceLink::loadname);
    connect(ctrl, &CComCtrl::getgainisok, this, &DeviceLink::getgainisok);
    connect(ctrl, &CComCtrl::writeok, this, &DeviceLink::writeok);
    connect(ctrl, &CComCtrl::muterevok, this, &DeviceLink::muterevok);
    connect(ctrl, &CComCtrl::lockreturn, this, &DeviceLink::lockreturn);
    connect(ctrl, &CComCtrl::logreturn, this, &DeviceLink::logreturn);
}

// ---------------------------------------------------------------------------
// Link state shown to the user

QString DeviceLink::onlinetext(const DeviceData *d, int lang)
{
    const bool en = lang == 0;
    if (d->gettcpconnected())
        return en ? QStringLiteral("Net Online") : QString::fromUtf8("网络在线");
    if (d->getcomconnected())
        return en ? QStringLiteral("Com Online") : QString::fromUtf8("串口在线");
    return en ? QStringLiteral("DisConnect") : QString::fromUtf8("断开连接");
}

QString DeviceLink::onlinestyle(const DeviceData *d)
{
    if (d->gettcpconnected() || d->getcomconnected())
        return QStringLiteral("background-image:url(:/buttons/skin/aonline.png);");
    return QStringLiteral("background-image:url(:/buttons/skin/aoutline.png);");
}

int DeviceLink::viewindex(int type)
{
    switch (type) {
    case 0x18:
        return 0;
    case 0x16:
        return 1;
    case 0x14:
        return 2;
    default:
        return -1;
    }
}

QString DeviceLink::iptext(const QHostAddress &address)
{
    return QStringLiteral("IP:") + address.toString().remove(QStringLiteral("::ffff:"));
}

// ---------------------------------------------------------------------------
// Connecting

void DeviceLink::connectdevice()
{
    LongExchange exchange;
    if (!exchange.acquired())
        return;
    const bool connected = isnetworkaddress(gMainApp->getdevip()) ? connectnetwork() : connectserial();
    if (!connected)
        return;
    {
        // From the connect to the pages showing what was read, no edit is
        // taken (see loaddevicedata).
        InputDrop drop;
        MainApp::delayms(50);
    }
    gMainApp->showmainview();
    emit buttonview(0);
    loaddevicedata();
}

bool DeviceLink::connectnetwork()
{
    DeviceData *d = current();
    if (d->gettcpconnected()) {
        d->namesloaded = 0;
        tcpdisconnect();
        return false;
    }
    if (DeviceData *other = MainApp::anytcpconnected()) {
        qDebug() << "disconnect another device";
        d->namesloaded = 0;
        gMainApp->clearalltcpflags();
        // Behind the frames still queued for that device, never past them.
        gMainApp->senddisconnectto(uchar(other->gettype()), uchar(other->getaddress()));
        tcpdisconnect();
    }
    tcpconnect();
    d = current();
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        notconnected(); // "connect false" stays shown; there is nothing to end
        return false;
    }
    d->setconnectok(0);
    // The answer may take several round trips on a busy or routed network,
    // and other replies (meters still streaming from an earlier session)
    // may come first: the wait runs until the connect answer or its whole
    // time is over, not until the first data.
    QElapsedTimer waited;
    waited.start();
    for (qint64 left = kConnectReplyWaitMs * 4; !d->getconnectok() && left > 0;
         left = kConnectReplyWaitMs * 4 - waited.elapsed()) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            break;
        waitsocket(int(left));
    }
    if (!d->getconnectok()) {
        qDebug() << "error";
        tcpdisconnect();
        noanswer(true);
        return false;
    }
    return true;
}

bool DeviceLink::connectserial()
{
    DeviceData *d = current();
    CComCtrl *ctrl = gMainApp->getcomctrl();
    // The port of the link went away (checked here too, in case the click
    // came before the watch noticed): the link is down, not to be ended.
    if (d->getcomconnected() && !ctrl->getcomisopened())
        seriallinklost();
    if (d->getcomconnected()) {
        d->namesloaded = 0;
        gMainApp->senddisconnect();
        return false;
    }
    // A port that was in use and went away (unplugged, hung up) is opened
    // again, so one click connects without a new search.
    if (!ctrl->getcomisopened() && !ctrl->getcomname().isEmpty() && !ctrl->openmaincom()) {
        emit statustext(tr2("Can't Open", "无法打开"));
        return false;
    }
    gMainApp->sendconnectreq();
    d->setconnectok(0);
    {
        // No edit is taken while the processor is asked either: one that a
        // page's throttle sends later could reach the processor after the
        // download read its part.
        InputDrop drop;
        for (int i = 0; i < 11 && !current()->getconnectok(); ++i)
            MainApp::delayms(100);
    }
    if (!current()->getconnectok()) {
        gMainApp->senddisconnect();
        noanswer(true);
        return false;
    }
    return true;
}

void DeviceLink::noanswer(bool showlink)
{
    // The status line shows the link as it is (not a stale "Online"), and a
    // short box says why nothing happened, as a failed download does.
    if (showlink)
        emit onlinestatechanged();
    Prompts::critical(m_dialogparent, tr2("Connect", "连接"),
                      tr2("No answer from the processor", "处理器没有应答"));
}

void DeviceLink::notconnected()
{
    // A connection that timed out may be a processor too busy or too far to
    // answer in time: that is the silent processor's box. A refusal, or a
    // host or network the system cannot reach, is told with its reason.
    const QAbstractSocket::SocketError error = m_connecterror;
    if (error == QAbstractSocket::SocketTimeoutError || error == QAbstractSocket::UnknownSocketError) {
        noanswer(false);
        return;
    }
    const bool en = language() == 0;
    QString reason;
    if (error == QAbstractSocket::ConnectionRefusedError) {
        reason = en ? QStringLiteral("Connection refused") : QString::fromUtf8("连接被拒绝");
    } else if (error == QAbstractSocket::HostNotFoundError) {
        reason = en ? QStringLiteral("Host not found") : QString::fromUtf8("找不到主机");
    } else if (!en && m_connecterrortext == QLatin1String("Network unreachable")) {
        reason = QString::fromUtf8("网络不可达");
    } else if (!en && m_connecterrortext == QLatin1String("Host unreachable")) {
        reason = QString::fromUtf8("主机不可达");
    } else {
        reason = m_connecterrortext; // the system's own words
    }
    Prompts::critical(
        m_dialogparent, tr2("Connect", "连接"),
        (en ? QStringLiteral("Cannot connect to the processor: ") : QString::fromUtf8("无法连接到处理器：")) +
            reason);
}

void DeviceLink::emitlockupdates(bool disconnected)
{
    emit updatesetview();
    emit updatemainlock();
    emit updategainlock();
    emit updatedelaylock();
    emit updategeqlock();
    if (disconnected) {
        emit updatepeqlock();
        emit updatelimitlock();
    } else {
        emit updatelimitlock();
        emit updatepeqlock();
    }
}

void DeviceLink::connectok(const QString &s)
{
    if (s.size() < 6)
        return;
    // A late reply of another processor on the same line or from an earlier
    // connection says nothing about the current device's link.
    if (bytefromhex(s, 0) != gMainApp->getdevtype() || bytefromhex(s, 2) != gMainApp->getdevaddr()) {
        qDebug() << "connect reply of another device ignored";
        return;
    }
    DeviceData *d = current();
    if (s.mid(4, 2) == QLatin1String("03")) {
        d->setcomconnected(0);
        d->settcpconnected(0);
        emit onlinestatechanged();
        emitlockupdates(true);
        gMainApp->showmainview();
        return;
    }
    if (!d->getnetdevice()) {
        d->setcomconnected(1);
        // The serial port closes itself when its device goes away: the loss
        // shows at once.
        if (CComCtrl *ctrl = gMainApp->getcomctrl())
            connect(ctrl, &CComCtrl::portlost, this, &DeviceLink::seriallinklost, Qt::UniqueConnection);
    } else {
        d->settcpconnected(1);
    }
    d->setlocktype(bytefromhex(s, 10));
    d->setprojectlock(bytefromhex(s, 12));
    d->setprojectword(bytefromhex(s, 14), bytefromhex(s, 16));
    d->setcurprogramnum(bytefromhex(s, 18));
    d->setconnectok(1);
    emit onlinestatechanged();
    emit autofound(gMainApp->getdevtype(), gMainApp->getdevaddr(), gMainApp->getdevip());
    emitlockupdates(false);
    const int lock = current()->getlocktype();
    if (lock == 2 || lock == 4)
        gMainApp->showmainview();
}

void DeviceLink::endlinks()
{
    DeviceData *d = current();
    CComCtrl *ctrl = gMainApp->getcomctrl();
    if (d->getcomconnected() && ctrl && !ctrl->getcomisopened())
        seriallinklost();
    if (d->getcomconnected()) {
        d->namesloaded = 0;
        gMainApp->senddisconnect();
        // The processor's disconnect reply clears the link (connectok);
        // input is dropped meanwhile, as during the download, and a close of
        // the window ends the wait.
        InputDrop drop;
        for (int i = 0; i < 11 && current()->getcomconnected() && !closing(); ++i)
            MainApp::delayms(100);
        if (current()->getcomconnected()) {
            current()->setcomconnected(0);
            emit onlinestatechanged();
            emitlockupdates(true);
        }
    }
    if (current()->gettcpconnected()) {
        current()->namesloaded = 0;
        tcpdisconnect();
    } else if (DeviceData *other = MainApp::anytcpconnected()) {
        gMainApp->clearalltcpflags();
        // Behind the frames still queued for that device, never past them.
        // That disconnect is the only one: the current device has no network
        // link to end, and a serial one was ended above (or was never up).
        gMainApp->senddisconnectto(uchar(other->gettype()), uchar(other->getaddress()));
        closetcp();
    }
}

// ---------------------------------------------------------------------------
// The initial download

bool DeviceLink::loaddevicedata()
{
    // User input is dropped until the pages show what was read (or the
    // download ends without it, before any box): the download replaces the
    // model with what the processor holds, and an edit made meanwhile would
    // go to the processor and then be overwritten in the model by a part read
    // before it. The waits keep handling every other event, so closing the
    // main window still ends the download at once.
    auto drop = std::make_unique<InputDrop>();
    // A window of the main window's own: the window manager keeps it above
    // the main window. Not modal: a modal window would keep the main
    // window's close request from it.
    QProgressDialog progress(m_dialogparent);
    progress.setLabelText(tr2("Load Data...", "正在加载数据..."));
    progress.setWindowTitle(tr2("Load Data", "加载数据"));
    progress.setCancelButton(nullptr);
    progress.setRange(0, 100);
    emit statustext(tr2("Load Data...", "正在加载数据..."));
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    DeviceData *d = current();
    d->clearreadflags();
    progress.setWindowModality(Qt::NonModal);
    progress.show();
    progress.setValue(1);
    // The download ends when the link drops and, as a cancel, when the
    // application closes: the serial link closes with the window, the network
    // link stays open until the link object goes, so closing is asked too.
    const auto going = []() { return linkup() && !closing(); };
    DownloadParts parts;
    for (int b = 0; b < kBlockCount && going(); ++b) {
        parts.ask(b);
        gMainApp->sendreadcurrentpart(b);
        MainApp::delayms(kBlockWaitMs);
        progress.setValue(2 * (b + 1));
    }
    progress.setValue(70);
    d = current();
    for (int i = 0; i < kReRequests && !parts.complete() && going(); ++i) {
        parts.ask(parts.missing());
        gMainApp->sendreadcurrentpart(parts.missing());
        MainApp::delayms(kBlockWaitMs);
        d = current();
    }
    if (closing()) {
        // Ended as a cancel: no box, the model left as it was.
        drop.reset();
        QApplication::restoreOverrideCursor();
        progress.close();
        return false;
    }
    if (!parts.complete()) {
        // A partial image would show a mix of the old and the new program as
        // the device's data: keep the model as it was and say so.
        drop.reset();
        QApplication::restoreOverrideCursor();
        progress.close();
        // The status line shows the link as it is, not "Load Data...".
        emit onlinestatechanged();
        Prompts::critical(m_dialogparent, tr2("Load Data", "加载数据"),
                          tr2("The current program could not be read completely. Please Try Again",
                              "无法完整读取当前程序，请重试"));
        return false;
    }
    for (int v = 70; v <= 88; v += 2)
        progress.setValue(v);
    parts.store(d);
    d->applyreceivedimage();
    d->unpackprogram();
    for (int v : {90, 92, 94, 96, 98, 99})
        progress.setValue(v);
    MainApp::delayms(50);
    emit startguirequested();
    current()->setdevicename(tr2("Online Data", "在线数据"));
    progress.setValue(100);
    progress.close();
    QApplication::restoreOverrideCursor();
    return true;
}

void DeviceLink::startgui(bool hasslot, const QHostAddress &slotaddress)
{
    gMainApp->setallloading(1);
    const uchar t = gMainApp->getdevtype();
    const uchar a = gMainApp->getdevaddr();
    if (hasslot) {
        gMainApp->setdevip(slotaddress);
        gMainApp->selectdevice(t, a, slotaddress);
    }
    DeviceData *d = current();
    const bool chinese = language() != 0;
    if (!d->getnetdevice()) {
        emit devicelooks(readresource(chinese ? QStringLiteral(":/style/style_chs.txt")
                                              : QStringLiteral(":/style/style.txt")),
                         QString());
    } else {
        emit devicelooks(readresource(chinese ? QStringLiteral(":/style/style_net_chs.txt")
                                              : QStringLiteral(":/style/style_net.txt")),
                         iptext(d->getipaddress()));
    }
    gMainApp->setdevip(d->getipaddress());
    emit onlinestatechanged();
    loadpages();
}

void DeviceLink::loadpages()
{
    gMainApp->setallloading(1);
    emit updatesetview();
    if (gFormLimit2)
        gFormLimit2->updateallvalues2();
    gMainApp->inputlinkon = current()->inputlinked() ? 1 : 0;
    gMainApp->outputlinkon = current()->outputlinked() ? 1 : 0;
    const int k = viewindex(gMainApp->getdevtype());
    if (k >= 0) {
        emit updatemainview(k);
        emit updategainview(k);
        emit updatedelayview(k);
        emit updategeqview(k);
        emit updatepeqview(k);
        emit updatelimitview(k);
        emit updatelimitview2(k);
    }
    gMainApp->setallloading(0);
}

// ---------------------------------------------------------------------------
// Reply handlers

void DeviceLink::readprogramname(const QString &text)
{
    current()->setnamerecord(text);
}

void DeviceLink::loadcurprogramdata(const QString &text)
{
    current()->storepacket(text);
}

void DeviceLink::loadcurprogramisready()
{
    current()->setprogramready(1);
}

void DeviceLink::loadcurprogram1to25isokflag()
{
    current()->setread1to25ok(1);
}

void DeviceLink::loadwritecurprogram1to25isokflag()
{
    current()->setwrite1to25ok(1);
}

void DeviceLink::loadcopy()
{
    current()->setcopyok(1);
}

void DeviceLink::loadname()
{
    current()->setnameok(1);
}

void DeviceLink::getgainisok()
{
    current()->setgainok(1);
}

void DeviceLink::writeok(const QString &text)
{
    current()->setwriteack(text);
}

void DeviceLink::muterevok(const QString &text)
{
    current()->setmutesfromhex(text);
    if (gFormMainView)
        gFormMainView->updatemetubtn();
    if (gFormGain)
        gFormGain->updatemutebtns();
}

void DeviceLink::lockreturn(bool locked)
{
    current()->setlockresult(locked ? 1 : 0);
}

void DeviceLink::logreturn()
{
    gMainApp->logocount += 1;
}

// ---------------------------------------------------------------------------
// The TCP data link

void DeviceLink::tcpconnect()
{
    // What is queued for the connection that ends here goes out first.
    gMainApp->drainoutput();
    m_socket->abort();
    m_assembler.clear();
    m_socket->connectToHost(gMainApp->getdevip(), kTcpPort, QIODevice::ReadWrite);
    if (m_socket->waitForConnected(kConnectWaitMs)) {
        m_connecterror = QAbstractSocket::UnknownSocketError;
        current()->settcpconnected(1);
        gMainApp->sendconnectreq();
    } else {
        // Why, before the abort: the box after it says so.
        m_connecterror = m_socket->error();
        m_connecterrortext = m_socket->errorString();
        emit statustext(QStringLiteral("connect false"));
        current()->settcpconnected(0);
        m_socket->abort();
    }
}

void DeviceLink::tcpdisconnect()
{
    gMainApp->senddisconnect();
    closetcp();
}

void DeviceLink::closetcp()
{
    waitsocket(300);
    if (current()->gettcpconnected())
        waitsocket(300);
    // Every queued frame, the disconnect last, leaves before the close.
    gMainApp->drainoutput();
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    m_assembler.clear();
    current()->settcpconnected(0);
    qDebug() << "tcp connect flag" << current()->gettcpconnected();
    qDebug() << "com connect flag" << current()->getcomconnected();
    qDebug() << "tcp disconnect ok";
    emit onlinestatechanged();
}

void DeviceLink::waitsocket(int ms)
{
    // The wait handles no events: the frames queued behind a hold (the
    // request this wait is for among them) are sent before it.
    gMainApp->drainoutput();
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    // What the socket already holds is handled first: with its buffer full
    // the socket reads nothing more, and a wait would only spin.
    if (m_socket->bytesAvailable() > 0) {
        readtcpdata();
        return;
    }
    m_socket->waitForReadyRead(ms);
    // No timer runs during the wait: a reply held behind a cut-off fragment
    // is looked at again here once the line has been quiet long enough.
    if (m_recheck.isActive())
        tcpdataReceived(QByteArray(), m_socket->peerAddress());
}

void DeviceLink::gettheApptcpinfo(uchar type, uchar addr, uchar command, const QString &payload)
{
    sendtcpcmd(type, addr, command, payload);
}

bool DeviceLink::sendtcpcmd(uchar type, uchar addr, uchar command, const QString &payload)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    const QByteArray frame = QByteArray::fromHex(buildcommandframe(type, addr, command, payload).toLatin1());
    const bool ok = m_socket->write(frame) == frame.size();
    m_socket->flush();
    return ok;
}

void DeviceLink::readtcpdata()
{
    if (m_socket->bytesAvailable() <= 0)
        return;
    tcpdataReceived(m_socket->read(kReadSliceBytes), m_socket->peerAddress());
    // The rest on the next turn, after the window's own events; readyRead
    // may come first, the timer then finds less or nothing to do.
    if (m_socket->bytesAvailable() > 0 && !m_slicequeued) {
        m_slicequeued = true;
        QTimer::singleShot(0, this, [this]() {
            m_slicequeued = false;
            readtcpdata();
        });
    }
}

void DeviceLink::tcpdataReceived(const QByteArray &data, const QHostAddress &peer)
{
    const qint64 now = m_clock.elapsed();
    const QList<QByteArray> frames = m_assembler.feed(data, now);
    for (const QByteArray &f : frames) {
        Reply r;
        if (m_rate.admit(f, now) && decodereply(f, r))
            dispatchtcpreply(r, peer);
    }
    const qint64 recheck = m_assembler.recheckms(m_clock.elapsed());
    if (recheck >= 0)
        m_recheck.start(int(recheck));
    else
        m_recheck.stop();
}

namespace
{

// The network link's effects of a reply: the same handlers as the serial
// line's (the main window relays the engine's signals to them), except that a
// find reply names the address it came from.
class TcpReplies : public ReplySink
{
public:
    TcpReplies(DeviceLink &link, const QHostAddress &sender)
        : m_link(link)
        , m_sender(sender)
    {
    }
    void replyfind(unsigned char type, unsigned char address) override
    {
        emit m_link.tcpfindok(type, address, m_sender);
    }
    void replyconnect(const QString &data) override { m_link.connectok(data); }
    void replymeters(const QString &levels) override { emit gComCtrl.readlight(levels); }
    void replymutes(const QString &mutes) override { m_link.muterevok(mutes); }
    void replygain() override { m_link.getgainisok(); }
    void replyprogramname(const QString &record) override { m_link.readprogramname(record); }
    void replynameack() override { m_link.loadname(); }
    void replyready() override { m_link.loadcurprogramisready(); }
    void replyprogramdata(const QString &part) override { m_link.loadcurprogramdata(part); }
    void replyreadack() override { m_link.loadcurprogram1to25isokflag(); }
    void replywrite(const QString &data) override { m_link.writeok(data); }
    void replywriteack() override { m_link.loadwritecurprogram1to25isokflag(); }
    void replycopy() override { m_link.loadcopy(); }
    void replylock(bool ok) override { m_link.lockreturn(ok); }
    void replylogo() override { m_link.logreturn(); }
    void replyseen(const Reply &reply) override { gComCtrl.notifyreply(reply); }
    bool fromcurrentunit(unsigned char type, unsigned char address) const override
    {
        return DeviceLink::talkingto(type, address);
    }

private:
    DeviceLink &m_link;
    QHostAddress m_sender;
};

} // namespace

void DeviceLink::dispatchtcpreply(const Reply &reply, const QHostAddress &sender)
{
    TcpReplies sink(*this, sender);
    dispatchreply(reply, sink);
}

void DeviceLink::dealwithtcpframe(const QString &f, const QHostAddress &sender)
{
    Reply r;
    if (decodereply(f, r))
        dispatchtcpreply(r, sender);
}

// ---------------------------------------------------------------------------
// Discovery replies and the probe

void DeviceLink::trytofindtcpdev(const QStringList &words, const QHostAddress &sender)
{
    if (words.size() < 2 || words.at(0) != QLatin1String("iAmTavisenLink!") ||
        !words.at(1).contains(QLatin1String("mr700")))
        return;
    // A dual-stack socket reports IPv4 senders mapped into IPv6; keep the
    // plain IPv4 address so one processor has one key.
    bool isv4 = false;
    const quint32 v4 = sender.toIPv4Address(&isv4);
    const QHostAddress address = isv4 ? QHostAddress(v4) : sender;
    // Each address once, and a bounded number of them: repeated or flooded
    // answers cost nothing more.
    if (m_searchDevSet.contains(address))
        return;
    if (m_windowover) {
        // After the window: a late answer, in a list of its own, so that
        // whatever comes between searches leaves the next search its room.
        if (m_lateDevSet.contains(address) || m_lateDevList.size() >= kMaxLateAddresses)
            return;
        m_lateDevSet.insert(address);
        m_lateDevList.append(address);
        qDebug() << "late answer" << sender << "late list len:" << m_lateDevList.size();
        return;
    }
    if (m_searchDevList.size() - m_searchCarried >= kMaxSearchAddresses)
        return;
    m_searchDevSet.insert(address);
    m_searchDevList.append(address);
    qDebug() << "handle " << sender << "searchDevList len: " << m_searchDevList.size();
}

void DeviceLink::startsearch()
{
    // The new window's own answers start from an empty list. Carried into
    // its probe run, outside its bound: the late answers, and what an
    // earlier window collected that no run has probed yet (a search made
    // while a run was probing). Those never exceed a whole search and the
    // late bound, however many searches a run outlasts.
    QList<QHostAddress> carried = m_lateDevList;
    QSet<QHostAddress> seen = m_lateDevSet;
    for (const QHostAddress &a : qAsConst(m_searchDevList)) {
        if (carried.size() >= kMaxSearchAddresses + kMaxLateAddresses)
            break;
        if (!seen.contains(a)) {
            seen.insert(a);
            carried.append(a);
        }
    }
    m_searchDevList = carried;
    m_searchDevSet = seen;
    m_searchCarried = carried.size();
    m_lateDevList.clear();
    m_lateDevSet.clear();
    m_windowover = false;
}

void DeviceLink::checkSearchDeviceList()
{
    // The window is over: what is read from here on is a late answer.
    m_windowover = true;
    // A run in progress (this was reached from inside its wait) keeps the
    // new addresses for the next run.
    if (m_probe || (m_searchDevList.isEmpty() && m_lateDevList.isEmpty()))
        return;
    const QList<QHostAddress> list = searchdevices();
    m_searchDevList.clear();
    m_searchDevSet.clear();
    m_searchCarried = 0;
    m_lateDevList.clear();
    m_lateDevSet.clear();
    // Every address at once, on sockets of their own, so an open data link
    // stays up; the window keeps running while the run waits.
    NetProbe probe;
    m_probe = &probe;
    connect(&probe, &NetProbe::found, this, &DeviceLink::tcpfindok);
    QEventLoop loop;
    connect(&probe, &NetProbe::finished, &loop, &QEventLoop::quit);
    probe.start(list, MainApp::scaled(kProbeBoundMs));
    if (probe.running())
        loop.exec();
    m_probe = nullptr;
    qDebug() << "finding dev over," << list.size() << "addresses";
}
