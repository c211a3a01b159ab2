#include "lockexchange.h"

#include "devicedata.h"
#include "exchange.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "replywait.h"

namespace lockexchange
{

QString passwordhex(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QString();
    const QString padded = trimmed.leftJustified(kPasswordChars, QLatin1Char(' '), true);
    // toLatin1 turns a character outside Latin-1 into '?'.
    return DeviceData::bytestohex(padded.toLatin1()).left(2 * kPasswordChars);
}

int restartcount(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return -1;
    for (const QChar c : trimmed)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    bool ok = false;
    const uint value = trimmed.toUInt(&ok);
    return ok && value <= uint(kMaxRestartCount) ? int(value) : -1;
}

namespace
{
// Asks the processor for its state (the connect request) and reads the lock
// state from the reply: frame bytes 8 (lock kind) and 9 (project lock).
Exchange::Result readstate(State &state)
{
    Exchange exchange;
    Exchange::Request request;
    request.code = 0x02;
    request.settlems = 100;
    request.timeoutms = kStateWaitMs;
    request.sends = kStateSends;
    const Exchange::Result result = exchange.run(request, [] { gMainApp->sendconnectreq(); });
    if (result != Exchange::Result::Answered)
        return result;
    const Reply &r = exchange.reply();
    state.read = true;
    state.locktype = r.byte(8);
    state.projectlock = r.byte(9);
    return result;
}
} // namespace

Result run(unsigned char code, int polls, const std::function<void()> &send, State *state)
{
    if (state)
        *state = State();
    DeviceData *d = gMainApp->getcurdevice();
    // Made before the send, so a reply faster than the wait is kept.
    ReplyWait wait(gMainApp->getdevtype(), gMainApp->getdevaddr(), code);
    d->setprogramready(0);
    d->setlockresult(0);
    send();
    Result result = Result::NoAnswer;
    switch (wait.wait(polls * kPollMs)) {
    case ReplyWait::Outcome::Arrived:
        result = wait.reply().byte(7) == 0x01 ? Result::Accepted : Result::Refused;
        break;
    case ReplyWait::Outcome::TimedOut:
        result = Result::NoAnswer;
        break;
    case ReplyWait::Outcome::LinkLost:
        return Result::LinkLost;
    case ReplyWait::Outcome::Closing:
        return Result::Closing;
    }
    // The reply handling also shows the processor's lock state on every page.
    State read;
    if (readstate(read) == Exchange::Result::Closing)
        return Result::Closing;
    if (state)
        *state = read;
    return result;
}

QString tr2(const char *english, const char *chinese)
{
    const bool chs = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    return QString::fromUtf8(chs ? chinese : english);
}

} // namespace lockexchange
