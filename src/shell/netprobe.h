#pragma once

// NetProbe: asks the processors behind a list of network addresses which
// devices they hold. For every address, one device type after another (24,
// 22, 20), it connects to port 6000, sends the find command to device
// addresses 1 to 32, collects the find replies for a moment and closes.
//
// Every address is probed at the same time and nothing blocks: the sockets
// report through their signals. The whole run ends by a bound however many
// addresses there are and however they behave (silently dropped connects,
// refusals, endless data), so a search cannot freeze the window or run on.

#include "replyassembler.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QTcpSocket;

class NetProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kPort = 6000;
    // Time given to the find replies after each batch of requests.
    static constexpr int kReplyWaitMs = 100;
    // Reply bytes read from one connection at most; a peer sending more is
    // cut off (a processor answers 32 finds with a few hundred bytes).
    static constexpr int kMaxReplyBytes = 64 * 1024;

    explicit NetProbe(QObject *parent = nullptr);
    ~NetProbe() override;

    // Starts probing every address; the run ends at the latest after
    // boundMs. finished() is emitted once, when the run ends.
    void start(const QList<QHostAddress> &addresses, int boundMs);
    bool running() const { return m_running; }

signals:
    // A find reply: device type and address, and the address it came from.
    void found(uchar type, uchar addr, const QHostAddress &ip);
    void finished();

private:
    struct Target {
        QHostAddress address;
        int typeindex = 0;
        QTcpSocket *socket = nullptr;
        ReplyAssembler assembler;
        qint64 received = 0;
        bool done = false;
    };

    void connecttype(Target &t);
    void sendfinds(Target &t);
    void drain(Target &t);
    void closesocket(Target &t);
    void nexttype(Target &t);
    void finish(Target &t);
    void stopall();

    std::vector<std::unique_ptr<Target>> m_targets;
    QTimer m_bound;
    QElapsedTimer m_clock;
    int m_open = 0;
    bool m_running = false;
};
