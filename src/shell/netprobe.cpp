#include "netprobe.h"

#include "commandframe.h"
#include "replydispatch.h"

#include <QDebug>
#include <QTcpSocket>

namespace
{
constexpr uchar kTypes[] = {0x18, 0x16, 0x14};
constexpr int kTypeCount = int(sizeof kTypes);
constexpr uchar kFindCommand = 0x01;
} // namespace

NetProbe::NetProbe(QObject *parent)
    : QObject(parent)
{
    m_bound.setSingleShot(true);
    connect(&m_bound, &QTimer::timeout, this, [this]() {
        qDebug() << "probe bound reached," << m_open << "addresses unanswered";
        stopall();
    });
    m_clock.start();
}

NetProbe::~NetProbe()
{
    for (auto &t : m_targets)
        closesocket(*t);
}

void NetProbe::start(const QList<QHostAddress> &addresses, int boundMs)
{
    if (m_running)
        return;
    m_targets.clear();
    for (const QHostAddress &a : addresses) {
        auto t = std::make_unique<Target>();
        t->address = a;
        m_targets.push_back(std::move(t));
    }
    m_open = int(m_targets.size());
    m_running = true;
    if (m_open == 0) {
        m_running = false;
        emit finished();
        return;
    }
    m_bound.start(boundMs);
    // Index loop: a connect that fails at once finishes its target (and
    // possibly the run) inside this loop without touching the vector.
    for (size_t i = 0; i < m_targets.size() && m_running; ++i)
        connecttype(*m_targets[i]);
}

void NetProbe::connecttype(Target &t)
{
    auto *socket = new QTcpSocket(this);
    t.socket = socket;
    t.assembler.clear();
    t.received = 0;
    Target *target = &t;
    connect(socket, &QTcpSocket::connected, this, [this, target]() { sendfinds(*target); });
    connect(socket, &QTcpSocket::readyRead, this, [this, target]() { drain(*target); });
    // An address that takes no connection (refused, unreachable, reset) or
    // drops it is skipped with every type still to come.
    connect(socket, &QAbstractSocket::errorOccurred, this, [this, target, socket]() {
        if (target->socket != socket)
            return;
        qDebug() << "tcpdisconnect" << target->address << socket->errorString();
        drain(*target); // what came before the end still counts
        finish(*target);
    });
    socket->connectToHost(t.address, kPort, QIODevice::ReadWrite);
}

void NetProbe::sendfinds(Target &t)
{
    const uchar type = kTypes[t.typeindex];
    QByteArray batch;
    for (int a = 1; a <= 32; ++a)
        batch += QByteArray::fromHex(
            buildcommandframe(type, uchar(a), kFindCommand, QStringLiteral("00")).toLatin1());
    t.socket->write(batch);
    QTcpSocket *socket = t.socket;
    Target *target = &t;
    QTimer::singleShot(kReplyWaitMs, socket, [this, target, socket]() {
        if (target->socket != socket || target->done)
            return;
        drain(*target);
        nexttype(*target);
    });
}

void NetProbe::drain(Target &t)
{
    if (!t.socket || t.done)
        return;
    const QByteArray data = t.socket->read(kMaxReplyBytes - t.received + 1);
    t.received += data.size();
    if (t.received > kMaxReplyBytes) {
        qDebug() << "probe:" << t.address << "sent more than a processor answers; cut off";
        finish(t);
        return;
    }
    const QList<QByteArray> frames = t.assembler.feed(data, m_clock.elapsed());
    for (const QByteArray &f : frames) {
        Reply r;
        if (decodereply(f, r) && r.code == kFindCommand)
            emit found(r.type, r.address, t.address);
    }
}

void NetProbe::closesocket(Target &t)
{
    if (!t.socket)
        return;
    QTcpSocket *socket = t.socket;
    t.socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void NetProbe::nexttype(Target &t)
{
    closesocket(t);
    if (++t.typeindex >= kTypeCount) {
        finish(t);
        return;
    }
    connecttype(t);
}

void NetProbe::finish(Target &t)
{
    if (t.done)
        return;
    closesocket(t);
    t.done = true;
    if (--m_open == 0 && m_running) {
        m_running = false;
        m_bound.stop();
        emit finished();
    }
}

void NetProbe::stopall()
{
    for (auto &t : m_targets)
        finish(*t);
}
