#include "exchange.h"

#include "devicedata.h"
#include "globalcontrl.h"
#include "longexchange.h"
#include "mainapp.h"
#include "replywait.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>

namespace
{
bool closing()
{
    return QCoreApplication::closingDown() || (gGlobalContrl && gGlobalContrl->getclosing()) ||
           LongExchange::cancelled();
}

double scale()
{
    return MainApp::timescale() > 0 ? MainApp::timescale() : 1.0;
}

// The clock of the quiet periods, shared by every exchange.
QElapsedTimer &quietclock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}

// A request whose wait timed out: until `until` (on the quiet clock) a late
// reply to it may still come, and the next request with the same code and
// marks would take it for its own.
struct Quiet {
    DeviceData *device = nullptr;
    unsigned char type = 0;
    unsigned char address = 0;
    unsigned char code = 0;
    QVector<QPair<int, int>> marks;
    qint64 until = 0;
};

QVector<Quiet> &quiets()
{
    static QVector<Quiet> list;
    return list;
}
} // namespace

Exchange::Exchange()
    : m_device(gMainApp ? gMainApp->getcurdevice() : nullptr)
    , m_type(gMainApp ? gMainApp->getdevtype() : 0)
    , m_address(gMainApp ? gMainApp->getdevaddr() : 0)
{
}

bool Exchange::usable() const
{
    return state() == Result::Answered;
}

Exchange::Result Exchange::state() const
{
    if (closing())
        return Result::Closing;
    if (!gMainApp || !m_device || gMainApp->getcurdevice() != m_device || gMainApp->getdevtype() != m_type ||
        gMainApp->getdevaddr() != m_address)
        return Result::LinkLost;
    if (!m_device->getcomconnected() && !m_device->gettcpconnected())
        return Result::LinkLost;
    return Result::Answered;
}

Exchange::Result Exchange::quiet(const Request &request)
{
    const qint64 now = quietclock().elapsed();
    QVector<Quiet> &list = quiets();
    qint64 until = 0;
    for (int i = list.size() - 1; i >= 0; --i) {
        const Quiet &q = list.at(i);
        if (q.until <= now) {
            list.remove(i);
            continue;
        }
        if (q.device == m_device && q.type == m_type && q.address == m_address && q.code == request.code &&
            q.marks == request.marks) {
            until = std::max(until, q.until);
            list.remove(i);
        }
    }
    if (until == 0)
        return Result::Answered;
    // Every reply of the code that arrives meanwhile is dropped.
    ReplyWait drop(m_type, m_address, request.code);
    qint64 left;
    while ((left = until - quietclock().elapsed()) > 0) {
        const ReplyWait::Outcome o = drop.wait(std::max(1, int(std::lround(double(left) / scale()))));
        if (o == ReplyWait::Outcome::Closing)
            return Result::Closing;
        if (o == ReplyWait::Outcome::LinkLost)
            return Result::LinkLost;
        if (o == ReplyWait::Outcome::Arrived) {
            ++m_dropped;
            drop.rearm();
        }
    }
    return Result::Answered;
}

Exchange::Result Exchange::run(const Request &request, const std::function<void()> &send,
                               const Attempted &attempted)
{
    m_sends = 0;
    m_dropped = 0;
    m_reply = Reply();
    const Result calm = quiet(request);
    if (calm != Result::Answered)
        return calm;
    // One wait for all sends of this request: a late reply to an earlier
    // send of it answers a later one as well. It takes every reply of the
    // code; the marks are checked here, so that a stray is seen and dropped.
    ReplyWait wait(m_type, m_address, request.code);
    const auto marksmatch = [&request](const Reply &r) {
        for (const auto &m : request.marks)
            if (r.byte(m.first) != m.second)
                return false;
        return true;
    };
    // A request sent and not answered (its wait timed out, was cancelled or
    // ended with the application; or answered only after a repeat): a reply
    // to it may still be on its way, so the next request like it first waits
    // one reply time.
    bool unanswered = false;
    const auto remember = [&]() {
        if (!unanswered)
            return;
        Quiet q;
        q.device = m_device;
        q.type = m_type;
        q.address = m_address;
        q.code = request.code;
        q.marks = request.marks;
        q.until = quietclock().elapsed() + MainApp::scaled(request.settlems + request.timeoutms);
        quiets().append(q);
    };
    // A lost link or another current device ends what could answer.
    const auto ended = [&](Result r) {
        if (r != Result::LinkLost)
            remember();
        return r;
    };

    for (int attempt = 0; attempt < request.sends; ++attempt) {
        const Result before = state();
        if (before != Result::Answered)
            return ended(before);
        // Asked to stop after its step: a request that timed out is not sent again.
        if (attempt > 0 && LongExchange::stopasked())
            break;
        send();
        ++m_sends;
        unanswered = true;
        MainApp::delayms(request.settlems, true);

        QElapsedTimer clock;
        clock.start();
        // Replies that do not match (another part) are dropped and the wait
        // goes on: only the time-out ends an attempt.
        for (;;) {
            const int left = request.timeoutms - int(std::lround(double(clock.elapsed()) / scale()));
            const ReplyWait::Outcome o = wait.wait(std::max(left, 0));
            if (o == ReplyWait::Outcome::Arrived) {
                if (marksmatch(wait.reply())) {
                    m_reply = wait.reply();
                    if (attempted)
                        attempted(m_sends, true);
                    // Answered now; an earlier send of it may still be answered late.
                    unanswered = m_sends > 1;
                    return ended(Result::Answered);
                }
                ++m_dropped;
                wait.rearm();
                if (left <= 0)
                    break;
                continue;
            }
            if (o == ReplyWait::Outcome::Closing)
                return ended(Result::Closing);
            if (o == ReplyWait::Outcome::LinkLost)
                return ended(Result::LinkLost);
            break; // timed out
        }
        if (attempted)
            attempted(m_sends, false);
    }
    const Result after = state();
    return ended(after == Result::Answered ? Result::NoReply : after);
}

QString linedroppedtext()
{
    const bool chs = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    return chs ? QString::fromUtf8("与处理器的连接已断开，处理器可能已执行此操作。请重新连接以查看其当前数据")
               : QStringLiteral("The line to the processor dropped; the processor may have done it. "
                                "Connect again to see what it holds");
}
