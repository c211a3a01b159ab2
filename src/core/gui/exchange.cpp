#include "exchange.h"

#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "replywait.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cmath>

namespace
{
bool closing()
{
    return QCoreApplication::closingDown() || (gGlobalContrl && gGlobalContrl->getclosing());
}

// A matching reply may still carry another mark (a late reply to an earlier
// part or program): so many of them end an attempt as a time-out.
constexpr int kMaxStrays = 64;
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

Exchange::Result Exchange::run(const Request &request, const std::function<void()> &send,
                               const Attempted &attempted)
{
    m_sends = 0;
    m_reply = Reply();
    const int firstbyte = request.marks.isEmpty() ? -1 : request.marks.first().first;
    const int firstvalue = request.marks.isEmpty() ? -1 : request.marks.first().second;
    // One wait for all sends: a late reply to an earlier send of the same
    // command answers it as well.
    ReplyWait wait(m_type, m_address, request.code, firstbyte, firstvalue);
    const auto marksmatch = [&request](const Reply &r) {
        for (const auto &m : request.marks)
            if (r.byte(m.first) != m.second)
                return false;
        return true;
    };

    for (int attempt = 0; attempt < request.sends; ++attempt) {
        const Result before = state();
        if (before != Result::Answered)
            return before;
        send();
        ++m_sends;
        MainApp::delayms(request.settlems, true);

        QElapsedTimer clock;
        clock.start();
        const double scale = MainApp::timescale() > 0 ? MainApp::timescale() : 1.0;
        for (int strays = 0; strays <= kMaxStrays; ++strays) {
            const int left = request.timeoutms - int(std::lround(double(clock.elapsed()) / scale));
            const ReplyWait::Outcome o = wait.wait(std::max(left, 0));
            if (o == ReplyWait::Outcome::Arrived) {
                if (marksmatch(wait.reply())) {
                    m_reply = wait.reply();
                    if (attempted)
                        attempted(m_sends, true);
                    return Result::Answered;
                }
                wait.rearm();
                continue;
            }
            if (o == ReplyWait::Outcome::Closing)
                return Result::Closing;
            if (o == ReplyWait::Outcome::LinkLost)
                return Result::LinkLost;
            break; // timed out
        }
        if (attempted)
            attempted(m_sends, false);
    }
    const Result after = state();
    return after == Result::Answered ? Result::NoReply : after;
}
