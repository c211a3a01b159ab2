#include "channelexchange.h"

#include "longexchange.h"

#include "devicedata.h"
#include "exchange.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "programreader.h"

#include <QApplication>
#include <QCursor>
#include <QDebug>

namespace channelexchange
{

QString tr2(const char *english, const char *chinese)
{
    const bool chs = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    return QString::fromUtf8(chs ? chinese : english);
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
}

void BusyCursor::end()
{
    if (!m_on)
        return;
    m_on = false;
    QApplication::restoreOverrideCursor();
}

Result run(const Request &request, const std::function<void()> &send, const Progress &progress)
{
    // The program-wide claim on exchanges with the processor.
    LongExchange claim;
    if (!claim.acquired())
        return Result::NoAck;
    const auto report = [&progress](int value) {
        if (progress)
            progress(value);
    };
    const QString attemptword = request.word + QStringLiteral("second");
    const QString partword = request.dataword + QStringLiteral("second");
    report(1);

    Exchange ack;
    Exchange::Request r;
    r.code = request.code;
    r.settlems = kSettleMs;
    r.timeoutms = request.timeoutms;
    r.sends = kAckSends;
    const Exchange::Result acked = ack.run(r, send, [&](int attempts, bool) {
        // The words of the handshake: one when the wait for the reply ends,
        // the second one when the attempt is over.
        qDebug().noquote() << request.word;
        qDebug().noquote() << attemptword;
        report(3 * attempts);
    });
    if (acked != Exchange::Result::Answered) {
        report(100);
        if (acked == Exchange::Result::Closing)
            return Result::Closing;
        return acked == Exchange::Result::LinkLost ? Result::LineDropped : Result::NoAck;
    }

    MainApp::delayms(kBeforeReadMs, true);
    // The re-read must read the device that took the command.
    const Exchange::Result still = ack.state();
    if (still != Exchange::Result::Answered) {
        report(100);
        return still == Exchange::Result::Closing ? Result::Closing : Result::ReadFailed;
    }
    ProgramReader reader;
    const bool read = reader.loadcurrent([&](int part, bool) {
        qDebug().noquote() << request.dataword;
        qDebug().noquote() << partword;
        report(30 + 2 * part);
    });
    if (!read) {
        report(100);
        return reader.result() == Exchange::Result::Closing ? Result::Closing : Result::ReadFailed;
    }
    report(80);
    MainApp::delayms(kAfterReadMs, true);
    report(90);
    if (gMainApp->getcurdevice() == reader.device())
        reader.device()->setdevicename(tr2("Online Data", "在线数据"));
    report(100);
    if (request.confirmed && !request.confirmed(reader.image()))
        return Result::Differs;
    return Result::Done;
}

} // namespace channelexchange
