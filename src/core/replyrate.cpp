#include "replyrate.h"

#include <QDebug>
#include <QHash>

namespace
{
// How often a link says how many replies it dropped, at most.
constexpr qint64 kLogEveryMs = 1000;

quint32 keyof(unsigned char type, unsigned char address, unsigned char code)
{
    return (quint32(type) << 16) | (quint32(address) << 8) | code;
}

QHash<quint32, int> &askedreplies()
{
    static QHash<quint32, int> asked;
    return asked;
}
} // namespace

void ReplyRate::ask(unsigned char type, unsigned char address, unsigned char code)
{
    ++askedreplies()[keyof(type, address, code)];
}

void ReplyRate::unask(unsigned char type, unsigned char address, unsigned char code)
{
    auto &asked = askedreplies();
    const auto it = asked.find(keyof(type, address, code));
    if (it == asked.end())
        return;
    if (--it.value() <= 0)
        asked.erase(it);
}

bool ReplyRate::asked(unsigned char type, unsigned char address, unsigned char code)
{
    const auto &asked = askedreplies();
    return !asked.isEmpty() && asked.contains(keyof(type, address, code));
}

bool ReplyRate::admit(const QByteArray &frame, qint64 nowms)
{
    if (frame.size() < 6)
        return true;
    return admit(uchar(frame.at(3)), uchar(frame.at(4)), uchar(frame.at(5)), nowms);
}

bool ReplyRate::admit(unsigned char type, unsigned char address, unsigned char code, qint64 nowms)
{
    if (asked(type, address, code))
        return true;
    Budget &b = m_budgets[code];
    if (b.windowstart < 0 || nowms - b.windowstart >= kWindowMs || nowms < b.windowstart) {
        b.windowstart = nowms;
        b.used = 0;
    }
    if (b.used < kPerWindow) {
        ++b.used;
        return true;
    }
    ++m_dropped;
    // One line a second at most, with the count: a flood must not flood the log.
    if (m_lastlogms < 0 || nowms - m_lastlogms >= kLogEveryMs || nowms < m_lastlogms) {
        qDebug() << "unasked replies dropped:" << (m_dropped - m_loggeddropped) << "(code"
                 << QString::number(code, 16) << "among them)";
        m_loggeddropped = m_dropped;
        m_lastlogms = nowms;
    }
    return false;
}
