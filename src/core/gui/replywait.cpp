#include "replywait.h"

#include "ccomctrl.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "longexchange.h"
#include "mainapp.h"
#include "replyrate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

ReplyWait::ReplyWait(unsigned char type, unsigned char address, unsigned char code, int markbyte,
                     int markvalue)
    : m_type(type)
    , m_address(address)
    , m_code(code)
    , m_markbyte(markbyte)
    , m_markvalue(markvalue)
    , m_device(gMainApp ? gMainApp->getcurdevice() : nullptr)
{
    connect(&gComCtrl, &CComCtrl::replied, this, &ReplyWait::take);
    // A controller may be given an engine of its own (the tests do).
    CComCtrl *engine = gMainApp ? gMainApp->getcomctrl() : nullptr;
    if (engine && engine != &gComCtrl)
        connect(engine, &CComCtrl::replied, this, &ReplyWait::take);
    // The reply waited for passes the links' limit on unasked replies.
    ReplyRate::ask(m_type, m_address, m_code);
}

ReplyWait::~ReplyWait()
{
    ReplyRate::unask(m_type, m_address, m_code);
}

void ReplyWait::take(const Reply &r)
{
    if (m_arrived || r.type != m_type || r.address != m_address || r.code != m_code)
        return;
    if (m_markbyte >= 0 && r.byte(m_markbyte) != m_markvalue)
        return;
    m_reply = r;
    m_arrived = true;
    emit matched();
}

void ReplyWait::rearm(int markvalue)
{
    m_markvalue = markvalue;
    m_arrived = false;
    m_reply = Reply();
}

bool ReplyWait::linkok() const
{
    if (!gMainApp || !m_device || gMainApp->getcurdevice() != m_device)
        return false;
    return m_device->getcomconnected() || m_device->gettcpconnected();
}

ReplyWait::Outcome ReplyWait::wait(int ms, bool allowUserInput)
{
    const auto closing = []() {
        return QCoreApplication::closingDown() || (gGlobalContrl && gGlobalContrl->getclosing()) ||
               LongExchange::cancelled();
    };
    // A reply that came before the wait ends it at once.
    if (m_arrived)
        return Outcome::Arrived;
    if (closing())
        return Outcome::Closing;
    if (!linkok())
        return Outcome::LinkLost;
    if (!QCoreApplication::instance())
        return Outcome::TimedOut;

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ReplyWait::matched, &loop, &QEventLoop::quit);
    // The link, the closing flag and a cancel have no signal of their own
    // here: look at them often enough that they end the wait at once for a user.
    QTimer watch;
    watch.setInterval(20);
    connect(&watch, &QTimer::timeout, &loop, [&]() {
        if (closing() || !linkok())
            loop.quit();
    });
    deadline.start(MainApp::scaled(ms));
    watch.start();
    // A Cancel button takes its clicks (and only its own) during the wait.
    const bool input = allowUserInput || CancelButton::open();
    loop.exec(input ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    if (!input)
        MainApp::releaseinput();
    if (m_arrived)
        return Outcome::Arrived;
    if (closing())
        return Outcome::Closing;
    if (!linkok())
        return Outcome::LinkLost;
    return Outcome::TimedOut;
}
