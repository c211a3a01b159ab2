#include "mainapp.h"

#include "ccomctrl.h"
#include "channellinks.h"
#include "devicedata.h"
#include "dialogcom.h"
#include "longexchange.h"
#include "payloads.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDebug>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWidget>

QList<DeviceData *> gDeviceList;
MainApp *gMainApp = nullptr;

const char *const MainApp::kDefaultName = "PC Init Data";

namespace
{

const QHostAddress &serialaddress()
{
    static const QHostAddress any(QStringLiteral("0.0.0.0"));
    return any;
}

bool validchannel(int ch)
{
    return ch >= 0 && ch < MainApp::kChannels;
}

bool validband(int band)
{
    return band >= 0 && band < 7;
}

bool validgeqband(int band)
{
    return band >= 0 && band < MainApp::kGeqBands;
}

} // namespace

MainApp::MainApp(QObject *parent)
    : QObject(parent)
    , comctrl(&gComCtrl)
{
    // A default record exists from the start so that no sender or page ever
    // meets a missing current device.
    defaultdevice = new DeviceData;
    curdevice = defaultdevice;
    outclock.start();
    outtimer = new QTimer(this);
    outtimer->setSingleShot(true);
    outtimer->setTimerType(Qt::PreciseTimer);
    connect(outtimer, &QTimer::timeout, this, &MainApp::releaseoutput);
    setcomctrl(comctrl);
}

void MainApp::setcomctrl(CComCtrl *ctrl)
{
    if (comctrl)
        disconnect(comctrl, &CComCtrl::closing, this, &MainApp::drainoutput);
    comctrl = ctrl;
    if (comctrl)
        connect(comctrl, &CComCtrl::closing, this, &MainApp::drainoutput, Qt::DirectConnection);
}

MainApp::~MainApp()
{
    // The sub-windows of these pages go with the controller; the limiter and
    // programs pages' sub-windows go with the multi-document area.
    for (View v : {MainView, GainView, DelayView, PeqView, GeqView, Limit2View})
        delete views[v].data();
    // The listed records stay alive for the rest of the run.
    delete defaultdevice;
}

void MainApp::setallloading(uchar v)
{
    gainloading = delayloading = geqloading = peqloading = limitloading = peaklimitloading = v;
}

void MainApp::setaboutdialog(QDialog *dialog)
{
    aboutdialog = dialog;
}

void MainApp::setcomdialog(DialogCom *dialog)
{
    comdialog = dialog;
}

// ---------------------------------------------------------------------------
// Page control

void MainApp::setview(View view, QWidget *window)
{
    if (view >= 0 && view < ViewCount)
        views[view] = window;
}

QWidget *MainApp::getview(View view) const
{
    return (view >= 0 && view < ViewCount) ? views[view].data() : nullptr;
}

void MainApp::makeframeless(QWidget *w)
{
    // Changing the flags re-parents the widget and hides it: keep it as
    // visible as it was.
    if (w->windowFlags() & Qt::FramelessWindowHint)
        return;
    const bool visible = !w->isHidden();
    w->setWindowFlags(Qt::FramelessWindowHint);
    if (visible)
        w->show();
}

void MainApp::initwindows()
{
    maxwindow = 1;
    curdevice = defaultdevice;
    struct Layout {
        View view;
        int height;
    };
    static const Layout layout[] = {{MainView, 605}, {GainView, 605}, {DelayView, 605},  {LimitView, 605},
                                    {PeqView, 605},  {GeqView, 608},  {Limit2View, 605}, {SetView, 608}};
    for (const Layout &l : layout) {
        QWidget *w = views[l.view];
        if (!w)
            continue;
        w->setWindowFlags(Qt::FramelessWindowHint);
        w->resize(919, l.height);
        w->setGeometry(0, 0, 919, l.height);
        if (l.view == MainView) {
            // Maximised last: a later resize would drop the state again.
            w->setWindowState(Qt::WindowMaximized);
            w->show();
        } else {
            w->hide();
        }
    }
    peqchannel = geqchannel = gainviewch = delayviewch = geqviewch = eqviewch = limitviewch = 0;
}

void MainApp::openview(QWidget *w)
{
    if (!w)
        return;
    if (maxwindow) {
        makeframeless(w);
        w->setWindowState(Qt::WindowMaximized);
    }
    w->show();
    w->setFocus(Qt::OtherFocusReason);
}

bool MainApp::pageslocked() const
{
    const int lock = curdevice->getlocktype();
    return lock == 2 || lock == 4;
}

void MainApp::showlockable(View view)
{
    if (pageslocked())
        return;
    openview(views[view]);
}

void MainApp::showmainview()
{
    meteron = 0;
    QWidget *w = views[MainView];
    if (!w)
        return;
    if (maxwindow) {
        makeframeless(w);
        w->setWindowState(Qt::WindowMaximized);
    }
    w->setFocus(Qt::OtherFocusReason);
}

void MainApp::showgainview()
{
    meteron = 1;
    emit meteringon();
    showlockable(GainView);
}

void MainApp::showdelayview()
{
    meteron = 0;
    showlockable(DelayView);
}

void MainApp::showeqview()
{
    meteron = 0;
    showlockable(PeqView);
}

void MainApp::showgeqview()
{
    meteron = 0;
    showlockable(GeqView);
}

void MainApp::showlimitview()
{
    meteron = 0;
    showlockable(LimitView);
}

void MainApp::showlimit2view()
{
    meteron = 0;
    showlockable(Limit2View);
}

void MainApp::showsetview()
{
    meteron = 0;
    openview(views[SetView]);
}

bool MainApp::hideview(View view)
{
    if (QWidget *w = views[view])
        w->hide();
    if (maxwindow && views[MainView])
        views[MainView]->setWindowState(Qt::WindowMaximized);
    return true;
}

bool MainApp::hidegainview()
{
    return hideview(GainView);
}

bool MainApp::hidedelayview()
{
    return hideview(DelayView);
}

bool MainApp::hideeqview()
{
    return hideview(PeqView);
}

bool MainApp::hidegeqview()
{
    return hideview(GeqView);
}

bool MainApp::hidelimitview()
{
    return hideview(LimitView);
}

bool MainApp::hidelimit2view()
{
    return hideview(Limit2View);
}

bool MainApp::hidesetview()
{
    return hideview(SetView);
}

void MainApp::showabout()
{
    if (aboutdialog)
        aboutdialog->exec();
}

void MainApp::showcominfo()
{
    if (!comdialog)
        return;
    comdialog->setWindowTitle(QStringLiteral("COM INFO"));
    comdialog->refreshcomdlg();
    comdialog->exec();
}

// ---------------------------------------------------------------------------
// Device slots

void MainApp::setslotused(int i, uchar v)
{
    if (i >= 0 && i < kSlotCount)
        slotused[i] = v;
}

uchar MainApp::getslotused(int i) const
{
    return (i >= 0 && i < kSlotCount) ? slotused[i] : 0;
}

void MainApp::setslotonline(int i, uchar v)
{
    if (i >= 0 && i < kSlotCount)
        slotonline[i] = v;
}

uchar MainApp::getslotonline(int i) const
{
    return (i >= 0 && i < kSlotCount) ? slotonline[i] : 0;
}

void MainApp::setslotname(int i, const QString &text)
{
    if (i >= 0 && i < kSlotCount)
        slotname[i] = text;
}

QString MainApp::getslotname(int i) const
{
    return (i >= 0 && i < kSlotCount) ? slotname[i] : QString();
}

// ---------------------------------------------------------------------------
// Caches

void MainApp::setgaincache(int ch, float db)
{
    if (validchannel(ch))
        gaincache[ch] = db;
}

float MainApp::getgaincache(int ch) const
{
    return validchannel(ch) ? gaincache[ch] : 0.0f;
}

void MainApp::setdelaycache(int ch, float v)
{
    if (validchannel(ch))
        delaycache[ch] = v;
}

float MainApp::getdelaycache(int ch) const
{
    return validchannel(ch) ? delaycache[ch] : 0.0f;
}

void MainApp::setratiocache(int ch, int v)
{
    if (validchannel(ch))
        ratiocache[ch] = v;
}

int MainApp::getratiocache(int ch) const
{
    return validchannel(ch) ? ratiocache[ch] : 0;
}

void MainApp::setthresholdcache(int ch, int v)
{
    if (validchannel(ch))
        thresholdcache[ch] = v;
}

int MainApp::getthresholdcache(int ch) const
{
    return validchannel(ch) ? thresholdcache[ch] : 0;
}

void MainApp::setgeqgain(int band, double db)
{
    if (validgeqband(band))
        geqgaincache[band] = db;
}

double MainApp::getgeqgain(int band) const
{
    return validgeqband(band) ? geqgaincache[band] : 0.0;
}

// ---------------------------------------------------------------------------
// Shortcuts on the current device

void MainApp::setmute(int ch, uchar v)
{
    if (validchannel(ch))
        curdevice->setmute(ch, v);
}

bool MainApp::getmute(int ch) const
{
    return validchannel(ch) && curdevice->getmute(ch) != 0;
}

float MainApp::getfreqvalue(int index) const
{
    return float(curvemath.getfreq(index));
}

float MainApp::getqvalue(int width) const
{
    return float(curvemath.getq(width));
}

double MainApp::getgridfreq(int index) const
{
    return curvemath.getgridfreq(index);
}

double MainApp::findgridindex(int hz) const
{
    return curvemath.findgridindex(hz);
}

float MainApp::getpeqfreq(int band) const
{
    if (!validchannel(peqchannel) || !validband(band))
        return 0.0f;
    return float(curvemath.getfreq(int(curdevice->getpeqfreq(peqchannel, band))));
}

double MainApp::getpeqgain(int band) const
{
    if (!validchannel(peqchannel) || !validband(band))
        return 0.0;
    return (double(curdevice->getpeqgain(peqchannel, band)) - 300.0) / 10.0;
}

int MainApp::getpeqallpass(int band) const
{
    if (!validchannel(peqchannel) || !validband(band))
        return 0;
    return int(curdevice->getpeqallpass(peqchannel, band));
}

int MainApp::getpeqwidth(int band) const
{
    if (!validchannel(peqchannel) || !validband(band))
        return 0;
    return int(curdevice->getpeqwidth(peqchannel, band));
}

int MainApp::getpeqtype(int band) const
{
    if (!validchannel(peqchannel) || !validband(band))
        return 0;
    return int(curdevice->getpeqtype(peqchannel, band));
}

float MainApp::getpeqq(int band) const
{
    switch (getpeqtype(band)) {
    case 0:
        return float(curvemath.getq(getpeqwidth(band)));
    case 1:
    case 3:
        return 0.707f;
    case 2:
    case 4:
        return 0.95f;
    default:
        return 2.9f;
    }
}

int MainApp::getpeqbandbypass(int band) const
{
    if (!validchannel(peqchannel) || !validband(band))
        return 0;
    return curdevice->getpeqbypass(peqchannel, band) ? 1 : 0;
}

int MainApp::getgeqbandpass(int band) const
{
    if (!validchannel(geqchannel) || !validgeqband(band))
        return 0;
    return curdevice->getgeqpass(geqchannel, band) ? 1 : 0;
}

float MainApp::getxoverhighfreq() const
{
    if (peqchannel < 4 || peqchannel >= kChannels)
        return 0.0f;
    return float(curvemath.getfreq(int(curdevice->gethpffreq(peqchannel - 4))));
}

float MainApp::getxoverlowfreq() const
{
    if (peqchannel < 4 || peqchannel >= kChannels)
        return 0.0f;
    return float(curvemath.getfreq(int(curdevice->getlpffreq(peqchannel - 4))));
}

void MainApp::setpeqbypassall(int ch, uchar v)
{
    if (validchannel(ch))
        curdevice->setpeqbypassall(ch, v);
}

void MainApp::setgeqbypassall(int ch, uchar v)
{
    if (validchannel(ch))
        curdevice->setgeqbypassall(ch, v);
}

void MainApp::setcurpeqbypassall(uchar v)
{
    setpeqbypassall(peqchannel, v);
}

int MainApp::getcurpeqbypassall() const
{
    return validchannel(peqchannel) && curdevice->getpeqbypassall(peqchannel) ? 1 : 0;
}

void MainApp::setcurgeqbypassall(uchar v)
{
    setgeqbypassall(geqchannel, v);
}

int MainApp::getcurgeqbypassall() const
{
    return validchannel(geqchannel) && curdevice->getgeqbypassall(geqchannel) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Device list

DeviceData *MainApp::finddevice(uchar type, uchar addr, const QHostAddress &ip)
{
    for (DeviceData *d : qAsConst(gDeviceList)) {
        if (d->gettype() == type && d->getaddress() == addr && d->getipaddress() == ip)
            return d;
    }
    return nullptr;
}

bool MainApp::hasdevice(uchar type, uchar addr, const QHostAddress &ip)
{
    return finddevice(type, addr, ip) != nullptr;
}

DeviceData *MainApp::adddevice(uchar type, uchar addr, const QHostAddress &ip)
{
    if (DeviceData *d = finddevice(type, addr, ip))
        return d;
    auto *d = new DeviceData;
    d->settype(type);
    d->setaddress(addr);
    d->setipaddress(ip);
    qDebug() << "adddevice" << type << addr << ip.toString();
    d->setnetdevice(ip == serialaddress() ? 0 : 1);
    d->settcpconnected(0);
    gDeviceList.append(d);
    return d;
}

DeviceData *MainApp::anytcpconnected()
{
    for (DeviceData *d : qAsConst(gDeviceList)) {
        if (d->gettcpconnected())
            return d;
    }
    return nullptr;
}

uchar MainApp::nextfreeaddress(uchar type, int start)
{
    const int span = kLastAddress - kFirstAddress + 1;
    if (start < kFirstAddress || start > kLastAddress)
        start = kFirstAddress;
    for (int i = 0; i < span; ++i) {
        const int a = kFirstAddress + (start - kFirstAddress + i) % span;
        if (!hasdevice(type, uchar(a), serialaddress()))
            return uchar(a);
    }
    return 0;
}

void MainApp::usedefaultdevice()
{
    curdevice = defaultdevice;
    curdevice->setcomconnected(0);
    curdevice->settcpconnected(0);
}

void MainApp::removedevice(uchar type, uchar addr, const QHostAddress &ip)
{
    DeviceData *d = finddevice(type, addr, ip);
    if (!d)
        return;
    gDeviceList.removeOne(d);
    if (d == curdevice)
        usedefaultdevice();
    delete d;
}

void MainApp::selectdevice(uchar type, uchar addr, const QHostAddress &ip)
{
    // A key that is not listed leaves the current device as it is.
    if (DeviceData *d = finddevice(type, addr, ip))
        curdevice = d;
    else
        qDebug() << "selectdevice: no such device";
}

void MainApp::clearalltcpflags()
{
    for (DeviceData *d : qAsConst(gDeviceList))
        d->settcpconnected(0);
    curdevice->settcpconnected(0);
}

void MainApp::deletealldevices()
{
    for (uchar &u : slotused)
        u = 0;
    while (!gDeviceList.isEmpty()) {
        DeviceData *d = gDeviceList.takeLast();
        if (d == curdevice)
            usedefaultdevice();
        delete d;
    }
}

// ---------------------------------------------------------------------------
// Waiting and scanning

namespace
{
double gTimeScale = 1.0;
bool gNoWaits = false;
} // namespace

void MainApp::setnowaits(bool on)
{
    gNoWaits = on;
}

void MainApp::settimescale(double scale)
{
    gTimeScale = scale > 0 ? scale : 1.0;
}

double MainApp::timescale()
{
    return gTimeScale;
}

int MainApp::scaled(int n)
{
    if (n <= 0)
        return n;
    const int s = int(n * gTimeScale + 0.5);
    return s < 1 ? 1 : s;
}

void MainApp::delayms(int n, bool excludeUserInput)
{
    if (gNoWaits)
        return;
    n = scaled(n);
    QElapsedTimer clock;
    clock.start();
    if (!QCoreApplication::instance()) {
        if (n > 0)
            QThread::msleep(static_cast<unsigned long>(n));
        return;
    }
    // A long exchange's Cancel button takes its clicks (and only its own).
    const QEventLoop::ProcessEventsFlags flags = excludeUserInput && !CancelButton::open()
                                                     ? QEventLoop::ExcludeUserInputEvents
                                                     : QEventLoop::AllEvents;
    QCoreApplication::processEvents(flags);
    if (n > 0) {
        // Sleep in the event loop rather than spin: a timer wakes the wait at
        // the deadline, and every event that arrives meanwhile is handled at once.
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        qint64 left;
        while ((left = n - clock.elapsed()) > 0) {
            if (!wake.isActive())
                wake.start(int(left));
            QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
        }
        // A thread held up past the deadline (a loaded machine) still handles
        // what came due during the wait before the wait ends.
        QCoreApplication::processEvents(flags);
    }
    if (excludeUserInput)
        releaseinput();
}

void MainApp::releaseinput()
{
    // Input held back by a wait stays in the window system's queue (X11), and
    // the event loop sleeps until something new arrives: wake it, so that the
    // next pass of the loop that runs on after the wait handles that input.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

void MainApp::scandevices()
{
    comctrl->setfindok(false);
    payload = payloads::empty();
    for (uchar type : {uchar(0x18), uchar(0x16), uchar(0x14)}) {
        for (int addr = kFirstAddress; addr <= kLastAddress; ++addr) {
            delayms(50);
            transmit(false, type, uchar(addr), payloads::CmdFind, payload);
        }
    }
}

// ---------------------------------------------------------------------------
// Senders

bool MainApp::linkup() const
{
    return curdevice->getcomconnected() || curdevice->gettcpconnected();
}

namespace
{
constexpr qint64 kHoldNs = 50 * 1000 * 1000;
}

void MainApp::holdoutput()
{
    outgoing.append({true, outclock.nsecsElapsed(), false, 0, 0, 0, QString()});
    if (!outtimer->isActive())
        releaseoutput();
}

void MainApp::transmit(bool tcp, uchar type, uchar addr, uchar command, const QString &text)
{
    if (outgoing.isEmpty()) {
        sendnow(tcp, type, addr, command, text);
        return;
    }
    // Behind the holds and frames already waiting, as if the GUI thread had
    // slept through them before building this frame.
    outgoing.append({false, 0, tcp, type, addr, command, text});
}

void MainApp::sendnow(bool tcp, uchar type, uchar addr, uchar command, const QString &text)
{
    if (tcp)
        emit sendtcpdatasignals(type, addr, command, text);
    else
        comctrl->sendcmd(type, addr, command, text);
    lastsent = outclock.nsecsElapsed();
}

void MainApp::releaseoutput()
{
    while (!outgoing.isEmpty()) {
        const Outgoing o = outgoing.first();
        if (o.hold) {
            const qint64 left = qMax(o.at, lastsent) + kHoldNs - outclock.nsecsElapsed();
            if (left > 0) {
                outtimer->start(int((left + 999999) / 1000000));
                return;
            }
            outgoing.removeFirst();
            continue;
        }
        outgoing.removeFirst();
        sendnow(o.tcp, o.type, o.addr, o.command, o.text);
    }
}

void MainApp::drainoutput()
{
    outtimer->stop();
    while (!outgoing.isEmpty()) {
        const Outgoing &o = outgoing.first();
        if (o.hold) {
            const qint64 left = qMax(o.at, lastsent) + kHoldNs - outclock.nsecsElapsed();
            if (left > 0)
                QThread::usleep(static_cast<unsigned long>((left + 999) / 1000));
        }
        releaseoutput();
    }
    outtimer->stop();
}

void MainApp::dispatch(uchar command)
{
    if (!curdevice->getnetdevice()) {
        transmit(false, devtype, devaddr, command, payload);
        return;
    }
    const bool up = curdevice->gettcpconnected();
    qDebug() << "tcpconnected" << (up ? "true" : "false");
    if (up)
        transmit(true, devtype, devaddr, command, payload);
}

bool MainApp::haschannel(int ch) const
{
    return channellinks::present(devtype, ch);
}

QVector<int> MainApp::linkgroup(int ch) const
{
    if (!validchannel(ch))
        return {};
    return channellinks::group(ch, curdevice->getlinkmask(ch), inputlinkon != 0, outputlinkon != 0);
}

int MainApp::linkcarrier(int ch, const QVector<int> &group, int preferred) const
{
    return channellinks::carrier(
        ch, group, [this](int c) { return curdevice->getlinkmask(c); },
        [this](int c) { return haschannel(c); }, preferred);
}

bool MainApp::sendable(int ch, const char *what) const
{
    if (haschannel(ch))
        return true;
    qDebug() << what << "refused: no such channel on this device type";
    return false;
}

template <typename Copy> void MainApp::followreach(int ch, Copy copy)
{
    for (int m : linkgroup(ch))
        if (m != ch && haschannel(m))
            copy(m);
}

// Stores a built payload and sends it; a refused (null) payload leaves the
// payload field as it was and sends nothing.
void MainApp::sendbuilt(uchar command, const QString &built, const char *what)
{
    if (built.isNull()) {
        qDebug() << what << "refused: index out of range";
        return;
    }
    payload = built;
    dispatch(command);
}

void MainApp::sendconnectreq()
{
    payload = payloads::empty();
    if (curdevice->gettcpconnected()) {
        qDebug() << "tcp connect";
        transmit(true, devtype, devaddr, payloads::CmdConnect, payload);
        transmit(true, devtype, devaddr, payloads::CmdConnect, payload);
    } else {
        qDebug() << "com connect";
        transmit(false, devtype, devaddr, payloads::CmdConnect, payload);
    }
}

void MainApp::senddisconnect()
{
    payload = payloads::empty();
    dispatch(payloads::CmdDisconnect);
}

void MainApp::senddisconnectto(uchar type, uchar addr)
{
    payload = payloads::empty();
    transmit(true, type, addr, payloads::CmdDisconnect, payload);
}

void MainApp::disconnectall()
{
    payload.clear();
    if (gDeviceList.isEmpty())
        return;
    payload = payloads::empty();
    // The exit round: the window is going, so this one waits on the spot,
    // 50 ms after each disconnect, behind anything still queued.
    constexpr unsigned long kExitPauseMs = 50;
    drainoutput();
    if (!curdevice->getnetdevice()) {
        for (DeviceData *d : qAsConst(gDeviceList)) {
            comctrl->sendcmd(uchar(d->gettype()), uchar(d->getaddress()), payloads::CmdDisconnect, payload);
            QThread::msleep(kExitPauseMs);
        }
        return;
    }
    // One network link at a time: the disconnect goes to the device whose
    // link is up, not to whichever device happens to be listed first.
    qDebug() << "disconnectall tcpconnected" << (curdevice->gettcpconnected() ? "true" : "false");
    if (!curdevice->gettcpconnected())
        return;
    DeviceData *target = anytcpconnected();
    if (!target)
        target = curdevice;
    emit sendtcpdatasignals(uchar(target->gettype()), uchar(target->getaddress()), payloads::CmdDisconnect,
                            payload);
    QThread::msleep(kExitPauseMs);
}

void MainApp::senddevicelock(int mode, const QString &passwordhex)
{
    sendbuilt(payloads::CmdDeviceLock, payloads::devicelock(uint(mode), passwordhex), "senddevicelock");
}

void MainApp::sendprojectlock(int mode, const QString &passwordhex, int times)
{
    sendbuilt(payloads::CmdProjectLock, payloads::projectlock(uint(mode), passwordhex, uint(times)),
              "sendprojectlock");
}

void MainApp::logsenddata()
{
    memcpy(logosend, logobuild, sizeof(logosend));
    qDebug() << "logsend_data =";
    for (int i = 0; i < 22; ++i) {
        QString row;
        for (int j = 0; j < 48; ++j)
            row += QLatin1Char(' ') + payloads::hexbyte(logobuild[i * 48 + j]);
        qDebug().noquote() << "i=" << i << "j=0..47:" << row;
    }
}

void MainApp::sendlogoblock(int block)
{
    if (block < 0 || block >= 22) {
        qDebug() << "sendlogoblock refused: index out of range";
        return;
    }
    const QByteArray bytes(reinterpret_cast<const char *>(logosend) + block * 48, 48);
    sendbuilt(payloads::CmdLogoBlock, payloads::logoblock(block, bytes), "sendlogoblock");
}

void MainApp::sendpeqband(int channel, int band)
{
    if (peqloading)
        return;
    if (!validchannel(channel) || !validband(band)) {
        qDebug() << "sendpeqband refused: index out of range";
        return;
    }
    if (!sendable(channel, "sendpeqband"))
        return;
    DeviceData *d = curdevice;
    if (linkup())
        followreach(channel, [d, channel, band](int m) {
            const int type = d->getpeqtypebyte(channel, band);
            d->setpeqbypass(m, band, (type & 0x80) != 0);
            d->setpeqtype(m, band, type & 0x7F);
            d->setpeqfreq(m, band, d->getpeqfreq(channel, band));
            d->setpeqgain(m, band, d->getpeqgain(channel, band));
            d->setpeqallpass(m, band, d->getpeqallpass(channel, band));
            d->setpeqwidth(m, band, d->getpeqwidth(channel, band));
        });
    sendbuilt(payloads::CmdPeqBand,
              payloads::peqband(channel, band, uint(d->getpeqtypebyte(channel, band)),
                                uint(d->getpeqfreq(channel, band)), uint(d->getpeqgain(channel, band)),
                                uint(d->getpeqallpass(channel, band)), uint(d->getpeqwidth(channel, band))),
              "sendpeqband");
}

void MainApp::buildgeqband(int channel, int band)
{
    if (!linkup() || geqloading)
        return;
    if (!validchannel(channel) || !validgeqband(band)) {
        qDebug() << "buildgeqband refused: index out of range";
        return;
    }
    if (!sendable(channel, "buildgeqband"))
        return;
    DeviceData *d = curdevice;
    followreach(channel, [d, channel, band](int m) {
        d->setgeq(m, band, d->getgeqgain(channel, band), d->getgeqpass(channel, band));
    });
    sendbuilt(payloads::CmdGeqBand,
              payloads::geqband(channel, band, uint(curdevice->getgeqword(channel, band))), "buildgeqband");
}

void MainApp::sendbypassflags(int which)
{
    if (!linkup())
        return;
    int channel;
    if (which == 0)
        channel = peqchannel;
    else if (which == 1)
        channel = geqchannel;
    else
        return;
    if (!validchannel(channel)) {
        qDebug() << "sendbypassflags refused: index out of range";
        return;
    }
    if (!sendable(channel, "sendbypassflags"))
        return;
    DeviceData *d = curdevice;
    followreach(channel, [d, channel](int m) {
        d->setpeqbypassall(m, d->getpeqbypassall(channel));
        d->setgeqbypassall(m, d->getgeqbypassall(channel));
    });
    sendbuilt(payloads::CmdBypass, payloads::bypass(channel, uint(curdevice->getbypassbyte(channel))),
              "sendbypassflags");
}

void MainApp::sendxover(int channel, int kind)
{
    if (!linkup())
        return;
    if (channel < 4 || channel >= kChannels) {
        qDebug() << "sendxover refused: index out of range";
        return;
    }
    if (!sendable(channel, "sendxover"))
        return;
    DeviceData *d = curdevice;
    followreach(channel, [d, channel, kind](int m) {
        const int from = channel - 4, to = m - 4;
        if (kind == 1) {
            d->setlpftype(to, d->getlpftype(from));
            d->setlpffreq(to, d->getlpffreq(from));
        } else {
            d->sethpftype(to, d->gethpftype(from));
            d->sethpffreq(to, d->gethpffreq(from));
        }
    });
    const int o = channel - 4;
    const bool low = kind == 1;
    const uint slope = uint(low ? curdevice->getlpftype(o) : curdevice->gethpftype(o));
    const uint freq = uint(low ? curdevice->getlpffreq(o) : curdevice->gethpffreq(o));
    sendbuilt(payloads::CmdXover, payloads::xover(channel, kind, slope, freq), "sendxover");
}

void MainApp::sendfir(int channel)
{
    if (!linkup())
        return;
    holdoutput();
    if (channel < 4 || channel >= kChannels) {
        qDebug() << "sendfir refused: index out of range";
        return;
    }
    if (!sendable(channel, "sendfir"))
        return;
    // The frame carries the type (3 for any above 2), the type's window, the
    // order with the mode, and the corners (high-pass, low-pass) or the
    // band-pass parameters.
    DeviceData *d = curdevice;
    followreach(channel, [d, channel](int m) {
        const int from = channel - 4, to = m - 4;
        const int type = d->getxobyte0(from) <= 2 ? d->getxobyte0(from) : 3;
        d->setxobyte0(to, type);
        if (type <= 1)
            d->setfirparam1(to, d->getfirparam1(from));
        else if (type == 2)
            d->setfirparam2(to, d->getfirparam2(from));
        else
            d->setfirparam3(to, d->getfirparam3(from));
        d->setfirorder(to, d->getfirorder(from));
        d->setfirflag(to, d->getfirflag(from));
        if (type <= 2) {
            d->setfirlowfreq(to, d->getfirlowfreq(from));
            d->setfirhighfreq(to, d->getfirhighfreq(from));
        } else {
            d->setfirlowparam(to, d->getfirlowparam(from));
            d->setfirhighparam(to, d->getfirhighparam(from));
        }
    });
    const int o = channel - 4;
    payloads::FirFields f;
    f.type = uint(curdevice->getxobyte0(o));
    f.param1 = uint(curdevice->getfirparam1(o));
    f.param2 = uint(curdevice->getfirparam2(o));
    f.param3 = uint(curdevice->getfirparam3(o));
    f.order = uint(curdevice->getfirorder(o));
    f.firmode = uint(curdevice->getfirflag(o));
    f.lowfreq = uint(curdevice->getfirlowfreq(o));
    f.highfreq = uint(curdevice->getfirhighfreq(o));
    f.lowparam = uint(curdevice->getfirlowparam(o));
    f.highparam = uint(curdevice->getfirhighparam(o));
    sendbuilt(payloads::CmdFir, payloads::fir(channel, f), "sendfir");
}

void MainApp::sendlimit(int channel)
{
    if (!linkup() || limitloading)
        return;
    if (!validchannel(channel)) {
        qDebug() << "sendlimit refused: index out of range";
        return;
    }
    if (!sendable(channel, "sendlimit"))
        return;
    DeviceData *d = curdevice;
    followreach(channel, [d, channel](int m) {
        d->setlimitknee(m, d->getlimitknee(channel));
        d->setlimitthreshold(m, d->getlimitthreshold(channel));
        d->setlimitratio(m, d->getlimitratio(channel));
        d->setlimitattack(m, d->getlimitattack(channel));
        d->setlimitrelease(m, d->getlimitrelease(channel));
    });
    sendbuilt(payloads::CmdLimit,
              payloads::limit(channel, uint(d->getlimitknee(channel)), uint(d->getlimitthreshold(channel)),
                              uint(d->getlimitratio(channel)), uint(d->getlimitattack(channel)),
                              uint(d->getlimitrelease(channel))),
              "sendlimit");
}

void MainApp::sendpeaklimit(int output)
{
    if (!linkup() || peaklimitloading)
        return;
    if (output < 0 || output > 7) {
        qDebug() << "sendpeaklimit refused: index out of range";
        return;
    }
    if (!sendable(4 + output, "sendpeaklimit"))
        return;
    DeviceData *d = curdevice;
    followreach(4 + output, [d, output](int m) {
        d->setpeaklimiton(m - 4, d->getpeaklimiton(output));
        d->setpeaklimitvalue(m - 4, d->getpeaklimitvalue(output));
        d->setpeaklimita(m - 4, d->getpeaklimita(output));
        d->setpeaklimitb(m - 4, d->getpeaklimitb(output));
    });
    sendbuilt(payloads::CmdPeakLimit,
              payloads::peaklimit(output, uint(d->getpeaklimiton(output)), int(d->getpeaklimitvalue(output)),
                                  uint(d->getpeaklimita(output)), uint(d->getpeaklimitb(output))),
              "sendpeaklimit");
}

void MainApp::sendgain(int channel)
{
    if (!linkup() || gainloading)
        return;
    if (!validchannel(channel)) {
        qDebug() << "sendgain refused: index out of range";
        return;
    }
    if (!sendable(channel, "sendgain"))
        return;
    DeviceData *d = curdevice;
    followreach(channel, [d, channel](int m) {
        d->setmute(m, d->getmute(channel));
        d->setgain(m, d->getgain(channel));
    });
    sendbuilt(payloads::CmdGain,
              payloads::gain(channel, uint(curdevice->getmute(channel)), uint(curdevice->getgain(channel))),
              "sendgain");
}

void MainApp::senddelay(int channel)
{
    if (!linkup() || delayloading)
        return;
    if (!validchannel(channel)) {
        qDebug() << "senddelay refused: index out of range";
        return;
    }
    if (!sendable(channel, "senddelay"))
        return;
    DeviceData *d = curdevice;
    followreach(channel, [d, channel](int m) {
        d->setdelay(m, d->getdelay(channel));
        d->setdelayflag(m, d->getdelayflag(channel));
    });
    sendbuilt(payloads::CmdDelay,
              payloads::delay(channel, uint(d->getdelaylow(channel)), uint(d->getdelayhigh(channel)),
                              uint(d->getdelayflag(channel))),
              "senddelay");
}

void MainApp::sendoutputflag(int output)
{
    if (!linkup())
        return;
    holdoutput();
    if (output < 0 || output > 7) {
        qDebug() << "sendoutputflag refused: index out of range";
        return;
    }
    if (!sendable(4 + output, "sendoutputflag"))
        return;
    DeviceData *d = curdevice;
    followreach(4 + output, [d, output](int m) { d->setoutflag(m - 4, d->getoutflag(output)); });
    sendbuilt(payloads::CmdOutputFlag, payloads::outputflag(output, uint(curdevice->getoutflag(output))),
              "sendoutputflag");
}

void MainApp::sendrouting(int number)
{
    if (!linkup())
        return;
    holdoutput();
    if (number < 1 || number > 8) {
        qDebug() << "sendrouting refused: index out of range";
        return;
    }
    if (!sendable(3 + number, "sendrouting"))
        return;
    sendbuilt(payloads::CmdRouting, payloads::routing(number, uint(curdevice->getroutebyte(number - 1))),
              "sendrouting");
}

void MainApp::sendlinks(const QString &maskhex)
{
    sendbuilt(payloads::CmdLinks, payloads::links(maskhex), "sendlinks");
}

void MainApp::sendcopy(int source, int destination)
{
    if (!linkup())
        return;
    sendbuilt(payloads::CmdCopy, payloads::copy(uint(source), uint(destination)), "sendcopy");
}

void MainApp::sendreadlight()
{
    payload = payloads::empty();
    dispatch(payloads::CmdReadLight);
}

void MainApp::sendwriteprogrampart(int program, int part)
{
    if (part < 0 || part >= payloads::kPartCount) {
        qDebug() << "sendwriteprogrampart refused: index out of range";
        return;
    }
    QByteArray bytes(payloads::kPartSize, '\0');
    for (int k = 0; k < payloads::kPartSize; ++k)
        bytes[k] = char(curdevice->getstagingbyte(part, k));
    sendbuilt(payloads::CmdWritePart, payloads::writeprogrampart(uint(program), part, bytes),
              "sendwriteprogrampart");
}

void MainApp::sendreadprogrampart(int program, int part)
{
    payload = payloads::readprogrampart(uint(program), uint(part));
    dispatch(payloads::CmdReadPart);
}

void MainApp::sendreadcurrentpart(int part)
{
    payload = payloads::readcurrentpart(uint(part));
    dispatch(payloads::CmdReadPart);
}

void MainApp::sendrecallprogram(int program)
{
    payload = payloads::recallprogram(uint(program));
    dispatch(payloads::CmdRecall);
}

void MainApp::sendsaveprogram(int program, const QString &namehex)
{
    if (!linkup())
        return;
    payload = payloads::saveprogram(uint(program), namehex);
    dispatch(payloads::CmdSaveProgram);
}

void MainApp::sendreadprogramname(int program)
{
    payload = payloads::readprogramname(uint(program));
    dispatch(payloads::CmdReadName);
}

void MainApp::sendresetprograms()
{
    payload = payloads::empty();
    dispatch(payloads::CmdResetPrograms);
}

void MainApp::senddeleteprogram(int program)
{
    payload = payloads::deleteprogram(uint(program));
    dispatch(payloads::CmdDeleteProgram);
}
