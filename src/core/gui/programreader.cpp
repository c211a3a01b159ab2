#include "programreader.h"

#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "programimage.h"
#include "prompts.h"

#include <QStringList>

namespace
{
// The running data: every part 150 ms settle, 3.5 s wait. A stored program:
// part 0 100 ms and 3 s, the other parts 150 ms and 2 s. A reply is known by
// its part number (its second data byte); the first data byte is not used.
Exchange::Request partrequest(int program, int part)
{
    Exchange::Request r;
    r.code = 0x61;
    r.marks = {{8, part}};
    if (program == 0) {
        r.settlems = 150;
        r.timeoutms = 3500;
    } else if (part == 0) {
        r.settlems = 100;
        r.timeoutms = 3000;
    } else {
        r.settlems = 150;
        r.timeoutms = 2000;
    }
    return r;
}

bool chinese()
{
    return gGlobalContrl && gGlobalContrl->getlanguage() != 0;
}
} // namespace

bool ProgramReader::read(int program, const Progress &progress)
{
    m_sends = 0;
    m_image.clear();
    DeviceData *d = m_exchange.device();
    if (!d || program < 0 || program > 40) {
        m_result = Exchange::Result::NoReply;
        return false;
    }
    QStringList parts;
    for (int k = 0; k < kPacketCount; ++k) {
        const Exchange::Attempted attempted = [&](int, bool answered) {
            if (progress)
                progress(k, answered);
        };
        m_result = m_exchange.run(
            partrequest(program, k),
            [program, k] {
                if (program == 0)
                    gMainApp->sendreadcurrentpart(k);
                else
                    gMainApp->sendreadprogrampart(program, k);
            },
            attempted);
        m_sends += m_exchange.sends();
        if (m_result != Exchange::Result::Answered)
            return false;
        // The unused byte, the part and the 64 data bytes, as the reply carried them.
        parts << m_exchange.reply().slice(14, 132);
    }
    // Every part came with its own reply: write exactly those, whatever other
    // 0x61 replies reached the receive buffer meanwhile.
    d->clearreadflags();
    for (const QString &p : parts)
        d->storepacket(p);
    if (!d->allpacketsread()) {
        m_result = Exchange::Result::NoReply;
        return false;
    }
    for (const QString &p : parts)
        m_image += QByteArray::fromHex(p.toLatin1()).mid(2, kPacketSize);
    return true;
}

bool ProgramReader::loadcurrent(const Progress &progress)
{
    if (!read(0, progress))
        return false;
    DeviceData *d = m_exchange.device();
    d->applyreceivedimage();
    d->unpackprogram();
    return true;
}

QString ProgramReader::failuretitle()
{
    return chinese() ? QString::fromUtf8("加载数据") : QStringLiteral("Load Data");
}

QString ProgramReader::failuretext()
{
    return chinese() ? QString::fromUtf8("无法完整读取当前程序，请重试")
                     : QStringLiteral("The current program could not be read completely. Please Try Again");
}

void ProgramReader::showfailure(QWidget *parent)
{
    Prompts::critical(parent, failuretitle(), failuretext());
}
