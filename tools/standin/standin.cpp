#include "standin.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace standin
{

namespace
{
constexpr qint64 kMs = 1000000;
constexpr qint64 kByteNs = 260417; // 10 bits at 38400 baud
constexpr int kIdleFlushMs = 500;  // a frame still incomplete after this much quiet is dropped
constexpr int kMergeHoldMs = 1000; // a held reply is written alone after this long
constexpr int kDiscovery = Fault::Discovery;
const QByteArray kDiscoveryRequest("AreYouTavisenLink?");
const QByteArray kDiscoveryReply("iAmTavisenLink!\nmr700");
} // namespace

class Port;

struct Line {
    int id = -1;
    bool pty = false;
    QString path;
    int master = -1;
    int slave = -1;
    QSocketNotifier *notifier = nullptr;
    Port *ptyPort = nullptr;
    QHostAddress address;
    QTcpServer *server = nullptr;
    quint16 udpPort = 0;
    QByteArray lastDatagram; // sender and content of the last discovery datagram answered
    qint64 lastDatagramNs = 0;
    QList<Port *> connections;
    bool dead = false;
};

struct Unit {
    int id = -1;
    int line = -1;
    UnitState state;
};

struct FaultEntry {
    Fault fault;
    int remaining = -1;
    QSet<QByteArray> tried; // NoReplyFirstTry: requests already seen
};

struct Chunk {
    QByteArray data;
    qint64 gapNs = 0;              // least time after the previous chunk finished
    QVector<FrameRecord> finished; // records completed by this chunk
    bool dropAfter = false;
};

class Port : public QObject
{
public:
    Port(StandinPrivate *owner, Line *line, QTcpSocket *socket);
    void received(const QByteArray &data);
    void enqueue(QVector<Chunk> chunks);
    void pump();
    void hold(QVector<Chunk> chunks);

    StandinPrivate *owner;
    Line *line;
    QTcpSocket *socket; // null for the pty
    FrameScanner scanner;
    QTimer idle;
    QTimer pumpTimer;
    QTimer holdTimer;
    QList<Chunk> out;
    QVector<Chunk> held;
    int headWritten = 0;
    qint64 lastFinishNs = 0;
    qint64 lineFreeNs = 0;
};

class StandinPrivate
{
public:
    QThread thread;
    QObject *context = nullptr;
    QElapsedTimer clock;
    QMap<int, Line *> lines;
    QMap<int, Unit> units;
    QMap<int, FaultEntry> faults;
    QMap<quint16, QUdpSocket *> udpSockets;
    QVector<FrameRecord> records;
    std::function<void(const FrameRecord &)> logger;
    QString error;
    bool pacing = false;
    qint64 tcpGapNs = 3 * kMs;
    int nextLine = 1, nextUnit = 1, nextFault = 1;

    void run(const std::function<void()> &fn)
    {
        if (QThread::currentThread() == &thread)
            fn();
        else
            QMetaObject::invokeMethod(context, fn, Qt::BlockingQueuedConnection);
    }
    qint64 now() const { return clock.nsecsElapsed(); }
    void record(FrameRecord r)
    {
        records.append(r);
        if (logger)
            logger(r);
    }

    int openpty();
    int listen(const QHostAddress &address, quint16 tcpPort, quint16 udpPort);
    void readpty(Line *line);
    void frame(Port *port, const ScannedFrame &f);
    void discovery(QUdpSocket *socket);
    QVector<FaultEntry *> matching(int unit, int command, int packet, int program);
    // StaleDuplicate: replies kept back, by unit and command code.
    struct Stale {
        QByteArray reply;
        bool ignoreNext = false;
    };
    QMap<QPair<int, int>, Stale> stale;
    // Writes the reply kept back for this unit and code; true when the
    // command that released it is to be missed.
    bool releasestale(Port *port, int unit, int command);
    void write(Port *port, const QByteArray &bytes, int &written);
    void finishchunk(Port *port, Chunk &c);
    void close(Line *line);
    QList<Port *> ports(Line *line) const
    {
        if (line->pty)
            return {line->ptyPort};
        return line->connections;
    }
};

// ---------------------------------------------------------------- Port

Port::Port(StandinPrivate *o, Line *l, QTcpSocket *s)
    : owner(o)
    , line(l)
    , socket(s)
{
    idle.setSingleShot(true);
    idle.setInterval(kIdleFlushMs);
    QObject::connect(&idle, &QTimer::timeout, this, [this] {
        for (const ScannedFrame &f : scanner.flush())
            owner->frame(this, f);
    });
    pumpTimer.setSingleShot(true);
    pumpTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pumpTimer, &QTimer::timeout, this, [this] { pump(); });
    holdTimer.setSingleShot(true);
    QObject::connect(&holdTimer, &QTimer::timeout, this, [this] {
        QVector<Chunk> h;
        h.swap(held);
        enqueue(h);
    });
}

void Port::received(const QByteArray &data)
{
    idle.start();
    for (const ScannedFrame &f : scanner.feed(data))
        owner->frame(this, f);
    if (!scanner.pending())
        idle.stop();
}

void Port::hold(QVector<Chunk> chunks)
{
    held += chunks;
    holdTimer.start(kMergeHoldMs);
}

void Port::enqueue(QVector<Chunk> chunks)
{
    if (chunks.isEmpty())
        return;
    if (!held.isEmpty()) {
        // A held reply goes out in the same write as this one.
        holdTimer.stop();
        Chunk first = held.takeFirst();
        for (const Chunk &c : held) {
            first.data += c.data;
            first.finished += c.finished;
        }
        held.clear();
        first.data += chunks[0].data;
        first.finished += chunks[0].finished;
        first.dropAfter = chunks[0].dropAfter;
        chunks[0] = first;
    }
    for (const Chunk &c : chunks)
        out.append(c);
    pump();
}

void Port::pump()
{
    StandinPrivate *d = owner;
    while (!out.isEmpty()) {
        if (line->dead && !socket) {
            out.clear();
            headWritten = 0;
            return;
        }
        Chunk &c = out.first();
        const qint64 now = d->now();
        if (headWritten == 0) {
            const qint64 readyAt = lastFinishNs + c.gapNs;
            if (now < readyAt) {
                pumpTimer.start(int((readyAt - now + kMs - 1) / kMs));
                return;
            }
        }
        if (!socket && d->pacing) {
            const qint64 start = qMax(now, lineFreeNs);
            if (start > now) {
                pumpTimer.start(int((start - now + kMs - 1) / kMs));
                return;
            }
            const int budget = int(qMax<qint64>(1, (now + kMs - start) / kByteNs));
            const int n = qMin(budget, c.data.size() - headWritten);
            int written = 0;
            d->write(this, c.data.mid(headWritten, n), written);
            headWritten += written;
            lineFreeNs = start + written * kByteNs;
            if (headWritten < c.data.size()) {
                pumpTimer.start(1);
                return;
            }
            lastFinishNs = lineFreeNs;
        } else {
            int written = 0;
            d->write(this, c.data.mid(headWritten), written);
            headWritten += written;
            if (headWritten < c.data.size()) {
                pumpTimer.start(1); // the pseudo-terminal is full; try again shortly
                return;
            }
            lastFinishNs = d->now();
        }
        Chunk done = out.takeFirst();
        headWritten = 0;
        d->finishchunk(this, done);
        if (done.dropAfter)
            return; // this port may be gone now
    }
}

// ---------------------------------------------------------------- private

void StandinPrivate::write(Port *port, const QByteArray &bytes, int &written)
{
    written = 0;
    if (bytes.isEmpty())
        return;
    if (port->socket) {
        if (port->socket->state() == QAbstractSocket::ConnectedState) {
            port->socket->write(bytes);
            port->socket->flush();
        }
        written = bytes.size();
        return;
    }
    const ssize_t n = ::write(port->line->master, bytes.constData(), size_t(bytes.size()));
    if (n > 0)
        written = int(n);
    else if (n < 0 && errno != EAGAIN && errno != EINTR)
        written = bytes.size(); // nobody can read it; drop it
}

void StandinPrivate::finishchunk(Port *port, Chunk &c)
{
    const qint64 t = port->socket ? now() : qMax(now(), port->lastFinishNs);
    for (FrameRecord r : c.finished) {
        r.ns = t;
        record(r);
    }
    if (!c.dropAfter)
        return;
    Line *line = port->line;
    if (port->socket) {
        port->socket->abort();
    } else {
        line->dead = true;
        port->scanner.clear();
    }
}

QVector<FaultEntry *> StandinPrivate::matching(int unit, int command, int packet, int program)
{
    QVector<FaultEntry *> list;
    for (FaultEntry &e : faults) {
        const Fault &f = e.fault;
        if (e.remaining == 0)
            continue;
        if (f.unit >= 0 && f.unit != unit)
            continue;
        if (f.command >= 0 && f.command != command)
            continue;
        if (f.packet >= 0 && f.packet != packet)
            continue;
        if (f.program >= 0 && f.program != program)
            continue;
        list.append(&e);
    }
    return list;
}

namespace
{
QString kindname(Fault::Kind k)
{
    static const char *names[] = {"no reply",         "no reply to the first try",
                                  "late reply",       "duplicate",
                                  "other address",    "garbage before",
                                  "garbage after",    "split",
                                  "split end marker", "merged",
                                  "marker in data",   "link dropped",
                                  "refused lock",     "other echo",
                                  "stale duplicate",  "foreign reply before",
                                  "ignored"};
    return QString::fromLatin1(names[int(k)]);
}

// The first data byte of a reply replaced, its checksum worked again.
QByteArray reecho(QByteArray reply, quint8 value)
{
    const int n = quint8(reply[6]);
    if (n < 1)
        return reply;
    reply[7] = char(value);
    reply[7 + n] = char(checksum7(reply.mid(4, 3 + n)));
    return reply;
}

// The same reply as another unit's: its type and address, the echoed program
// and part numbers kept, every other data byte fill, its checksum worked again.
QByteArray foreignof(QByteArray reply, quint8 type, quint8 address, quint8 fill)
{
    reply[3] = char(type);
    reply[4] = char(address);
    const quint8 code = quint8(reply[5]);
    const int n = quint8(reply[6]);
    const int keep = (code == 0x60 || code == 0x61)                     ? 2
                     : ((code >= 0x62 && code <= 0x64) || code == 0x66) ? 1
                                                                        : 0;
    for (int k = keep; k < n; ++k)
        reply[7 + k] = char(fill);
    reply[7 + n] = char(checksum7(reply.mid(4, 3 + n)));
    return reply;
}

QByteArray readdress(QByteArray reply, quint8 address)
{
    reply[4] = char(address);
    const int n = quint8(reply[6]);
    reply[7 + n] = char(checksum7(reply.mid(4, 3 + n)));
    return reply;
}
} // namespace

void StandinPrivate::frame(Port *port, const ScannedFrame &f)
{
    Line *line = port->line;
    FrameRecord in;
    in.direction = FrameRecord::In;
    in.ns = now();
    in.line = line->id;
    in.bytes = f.bytes;
    in.ok = f.ok;
    in.note = f.problem;
    if (!f.ok) {
        record(in);
        return;
    }
    Unit *unit = nullptr;
    for (Unit &u : units)
        if (u.line == line->id && u.state.type == f.type && u.state.address == f.address)
            unit = &u;
    if (!unit) {
        in.note = QStringLiteral("no unit at this type and address");
        record(in);
        return;
    }
    in.unit = unit->id;

    int packet = -1;
    if ((f.command == 0x60 || f.command == 0x61) && f.payload.size() >= 2)
        packet = quint8(f.payload[1]);
    else if (f.command == 0x13 && !f.payload.isEmpty())
        packet = quint8(f.payload[0]);

    int program = -1;
    if (((f.command >= 0x60 && f.command <= 0x64) || f.command == 0x66) && !f.payload.isEmpty())
        program = quint8(f.payload[0]);

    QVector<FaultEntry *> active = matching(unit->id, f.command, packet, program);
    if (releasestale(port, unit->id, f.command)) {
        in.note = QStringLiteral("missed after a stale duplicate");
        record(in);
        return;
    }
    QVector<const Fault *> applied;
    bool refuse = false, suppress = false, ignore = false;
    for (FaultEntry *e : active) {
        const Fault &fa = e->fault;
        bool takes = true;
        switch (fa.kind) {
        case Fault::NoReplyFirstTry: {
            const QByteArray key = QByteArray(1, char(f.command)) + f.payload;
            takes = !e->tried.contains(key);
            e->tried.insert(key);
            suppress = suppress || takes;
            break;
        }
        case Fault::NoReply:
            suppress = true;
            break;
        case Fault::Ignored:
            ignore = true;
            break;
        case Fault::RefuseLock:
            takes = f.command == 0x10 || f.command == 0x12;
            refuse = refuse || takes;
            break;
        case Fault::OtherEcho:
            takes = (f.command >= 0x60 && f.command <= 0x63) || f.command == 0x66;
            break;
        case Fault::MarkerInData:
            takes = f.command == 0x61 && f.payload.size() == 2 && packet < kPacketCount &&
                    fa.dataOffset >= 0 && fa.dataOffset <= kPacketSize - 3;
            if (takes) {
                const int prog = quint8(f.payload[0]);
                const int at = packet * kPacketSize + fa.dataOffset;
                QByteArray *im = nullptr;
                if (prog == 0)
                    im = &unit->state.image;
                else if (prog <= unit->state.programs.size())
                    im = &unit->state.programs[prog - 1].image;
                if (im)
                    im->replace(at, 3, QByteArray("\x11\x22\x33", 3));
            }
            break;
        default:
            break;
        }
        if (takes) {
            applied.append(&fa);
            if (e->remaining > 0)
                --e->remaining;
        }
    }

    if (ignore) {
        in.note = kindname(Fault::Ignored);
        record(in);
        return;
    }
    const Answer a = handlecommand(unit->state, f, refuse);
    in.answered = a.answered && !suppress;
    QStringList notes;
    if (!a.note.isEmpty())
        notes << a.note;
    for (const Fault *fa : applied)
        notes << kindname(fa->kind);
    in.note = notes.join(QStringLiteral(", "));
    record(in);
    if (!a.answered || suppress || line->dead)
        return;

    // Build what goes on the wire.
    QByteArray reply = a.reply;
    const Fault *late = nullptr, *merge = nullptr, *drop = nullptr, *split = nullptr, *endsplit = nullptr;
    int copies = 1;
    QByteArray before, after;
    bool apart = false;
    int apartPauseMs = 0;
    for (const Fault *fa : applied) {
        if ((fa->kind == Fault::GarbageBefore || fa->kind == Fault::GarbageAfter) && fa->garbageApart) {
            apart = true;
            apartPauseMs = qMax(apartPauseMs, fa->pauseMs);
        }
        switch (fa->kind) {
        case Fault::OtherAddress:
            reply = readdress(reply, fa->otherAddress);
            break;
        case Fault::OtherEcho:
            reply = reecho(reply, fa->echoValue);
            break;
        case Fault::Duplicate:
            copies = 2;
            break;
        case Fault::StaleDuplicate:
            stale.insert(qMakePair(unit->id, int(f.command)), Stale{reply, fa->ignoreNext});
            break;
        case Fault::GarbageBefore:
            before += fa->garbage;
            break;
        case Fault::ForeignBefore:
            before += foreignof(a.reply, fa->foreignType, fa->foreignAddress, fa->foreignFill);
            break;
        case Fault::GarbageAfter:
            after += fa->garbage;
            break;
        case Fault::LateReply:
            late = fa;
            break;
        case Fault::Merge:
            merge = fa;
            break;
        case Fault::DropLink:
            drop = fa;
            break;
        case Fault::Split:
            split = fa;
            break;
        case Fault::SplitEndMarker:
            endsplit = fa;
            break;
        default:
            break;
        }
    }
    FrameRecord outrec;
    outrec.direction = FrameRecord::Out;
    outrec.line = line->id;
    outrec.unit = unit->id;
    outrec.bytes = reply;
    outrec.answered = true;
    QStringList outnotes;
    for (const Fault *fa : applied)
        if (fa->kind != Fault::RefuseLock && fa->kind != Fault::MarkerInData)
            outnotes << kindname(fa->kind);
    outrec.note = outnotes.join(QStringLiteral(", "));

    const qint64 firstGap = port->socket ? tcpGapNs : 0;
    QVector<Chunk> chunks;
    for (int copy = 0; copy < copies; ++copy) {
        QVector<int> cuts;
        qint64 pause = 0;
        if (drop) {
            cuts << reply.size() / 2;
        } else if (endsplit) {
            cuts << reply.size() - 1;
            pause = qint64(endsplit->pauseMs) * kMs;
        } else if (split) {
            for (int c : split->splitAt)
                if (c > 0 && c < reply.size() && (cuts.isEmpty() || c > cuts.last()))
                    cuts << c;
            pause = qint64(split->pauseMs) * kMs;
        }
        int from = 0;
        cuts << reply.size();
        for (int i = 0; i < cuts.size(); ++i) {
            Chunk c;
            c.data = reply.mid(from, cuts[i] - from);
            c.gapNs = i == 0 ? firstGap : pause;
            from = cuts[i];
            if (drop) {
                c.dropAfter = true;
                FrameRecord r = outrec;
                r.bytes = c.data;
                c.finished << r;
                chunks << c;
                break;
            }
            if (i == cuts.size() - 1)
                c.finished << outrec;
            chunks << c;
        }
        if (drop)
            break;
    }
    if (apart) {
        const qint64 gap = port->socket ? qMax(tcpGapNs, kMs) : qint64(apartPauseMs) * kMs;
        if (!before.isEmpty()) {
            Chunk g;
            g.data = before;
            g.gapNs = firstGap;
            chunks.first().gapNs = gap;
            chunks.prepend(g);
        }
        if (!after.isEmpty()) {
            Chunk g;
            g.data = after;
            g.gapNs = gap;
            chunks.append(g);
        }
    } else {
        if (!before.isEmpty())
            chunks.first().data.prepend(before);
        if (!after.isEmpty())
            chunks.last().data.append(after);
    }

    QPointer<Port> target(port);
    auto send = [this, target, chunks, merge]() {
        if (!target)
            return;
        if (merge)
            target->hold(chunks);
        else
            target->enqueue(chunks);
    };
    if (late)
        QTimer::singleShot(late->delayMs, port, send);
    else
        send();
}

bool StandinPrivate::releasestale(Port *port, int unit, int command)
{
    const auto key = qMakePair(unit, command);
    if (!stale.contains(key))
        return false;
    const Stale kept = stale.take(key);
    if (port->line->dead)
        return kept.ignoreNext;
    FrameRecord r;
    r.direction = FrameRecord::Out;
    r.line = port->line->id;
    r.unit = unit;
    r.bytes = kept.reply;
    r.answered = true;
    r.note = kindname(Fault::StaleDuplicate);
    Chunk c;
    c.data = kept.reply;
    c.gapNs = port->socket ? tcpGapNs : 0;
    c.finished << r;
    port->enqueue({c});
    return kept.ignoreNext;
}

void StandinPrivate::readpty(Line *line)
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(line->master, buf, sizeof buf);
        if (n <= 0)
            break;
        if (!line->dead)
            line->ptyPort->received(QByteArray(buf, int(n)));
    }
}

int StandinPrivate::openpty()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = QStringLiteral("cannot open a pseudo-terminal: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (master >= 0)
            ::close(master);
        return -1;
    }
    const QString path = QString::fromLocal8Bit(::ptsname(master));
    // Keep the slave side open ourselves: the line stays up while the
    // application closes and reopens its port, and its settings stay raw.
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios t;
        if (::tcgetattr(slave, &t) == 0) {
            ::cfmakeraw(&t);
            ::cfsetispeed(&t, B38400);
            ::cfsetospeed(&t, B38400);
            ::tcsetattr(slave, TCSANOW, &t);
        }
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    auto *line = new Line;
    line->id = nextLine++;
    line->pty = true;
    line->path = path;
    line->master = master;
    line->slave = slave;
    line->ptyPort = new Port(this, line, nullptr);
    line->ptyPort->setParent(context);
    line->notifier = new QSocketNotifier(master, QSocketNotifier::Read, context);
    QObject::connect(line->notifier, &QSocketNotifier::activated, context, [this, line] { readpty(line); });
    lines.insert(line->id, line);
    return line->id;
}

int StandinPrivate::listen(const QHostAddress &address, quint16 tcpPort, quint16 udpPort)
{
    auto *line = new Line;
    line->address = address;
    if (tcpPort) {
        line->server = new QTcpServer(context);
        if (!line->server->listen(address, tcpPort)) {
            error = QStringLiteral("cannot listen on %1:%2: %3")
                        .arg(address.toString())
                        .arg(tcpPort)
                        .arg(line->server->errorString());
            delete line->server;
            delete line;
            return -1;
        }
        QObject::connect(line->server, &QTcpServer::newConnection, context, [this, line] {
            while (QTcpSocket *s = line->server->nextPendingConnection()) {
                s->setParent(nullptr);
                s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                auto *port = new Port(this, line, s);
                port->setParent(context);
                s->setParent(port);
                line->connections.append(port);
                QObject::connect(s, &QTcpSocket::readyRead, port, [this, port, line] {
                    const QByteArray data = port->socket->readAll();
                    if (!line->dead)
                        port->received(data);
                });
                QObject::connect(s, &QTcpSocket::disconnected, port, [line, port] {
                    line->connections.removeAll(port);
                    port->deleteLater();
                });
            }
        });
    }
    if (udpPort) {
        if (!udpSockets.contains(udpPort)) {
            auto *u = new QUdpSocket(context);
            if (!u->bind(QHostAddress::AnyIPv4, udpPort,
                         QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
                error = QStringLiteral("cannot bind UDP port %1: %2").arg(udpPort).arg(u->errorString());
                delete u;
                delete line->server;
                delete line;
                return -1;
            }
            QObject::connect(u, &QUdpSocket::readyRead, context, [this, u] { discovery(u); });
            udpSockets.insert(udpPort, u);
        }
        line->udpPort = udpPort;
    }
    line->id = nextLine++;
    lines.insert(line->id, line);
    return line->id;
}

namespace
{
// Whether a datagram sent to destination reaches a host at address: sent to
// it, or to the directed broadcast address of its network, or to the limited
// broadcast address.
bool reaches(const QHostAddress &address, const QHostAddress &destination)
{
    if (destination.isEqual(address, QHostAddress::TolerantConversion))
        return true;
    if (destination.isEqual(QHostAddress(QHostAddress::Broadcast), QHostAddress::TolerantConversion))
        return !address.isLoopback();
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry &e : i.addressEntries())
            if (e.ip().isEqual(address, QHostAddress::TolerantConversion))
                return !e.broadcast().isNull() &&
                       e.broadcast().isEqual(destination, QHostAddress::TolerantConversion);
    return false;
}

// Sends one datagram from the socket with `from` as its source address (the
// socket is bound to every address, so the source is chosen per datagram).
bool sendfrom(QUdpSocket *socket, const QByteArray &data, const QHostAddress &from, const QHostAddress &to,
              quint16 port)
{
    bool ok = false;
    const quint32 to4 = to.toIPv4Address(&ok);
    bool okFrom = false;
    const quint32 from4 = from.toIPv4Address(&okFrom);
    if (!ok || !okFrom)
        return false;
    sockaddr_in dst;
    std::memset(&dst, 0, sizeof dst);
    dst.sin_family = AF_INET;
    dst.sin_port = htons(port);
    dst.sin_addr.s_addr = htonl(to4);
    iovec iov;
    iov.iov_base = const_cast<char *>(data.constData());
    iov.iov_len = size_t(data.size());
    union {
        char buf[CMSG_SPACE(sizeof(in_pktinfo))];
        cmsghdr align;
    } control;
    std::memset(&control, 0, sizeof control);
    msghdr msg;
    std::memset(&msg, 0, sizeof msg);
    msg.msg_name = &dst;
    msg.msg_namelen = sizeof dst;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control.buf;
    msg.msg_controllen = sizeof control.buf;
    cmsghdr *cm = CMSG_FIRSTHDR(&msg);
    cm->cmsg_level = IPPROTO_IP;
    cm->cmsg_type = IP_PKTINFO;
    cm->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info;
    std::memset(&info, 0, sizeof info);
    info.ipi_spec_dst.s_addr = htonl(from4);
    std::memcpy(CMSG_DATA(cm), &info, sizeof info);
    return ::sendmsg(int(socket->socketDescriptor()), &msg, 0) == data.size();
}
} // namespace

void StandinPrivate::discovery(QUdpSocket *socket)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram dg = socket->receiveDatagram();
        for (Line *line : lines) {
            if (line->pty || line->udpPort != socket->localPort() || line->dead)
                continue;
            if (!reaches(line->address, dg.destinationAddress()))
                continue;
            // A broadcast can come in twice (looped back and over the wire):
            // a processor answers one request once.
            const QByteArray key = dg.senderAddress().toString().toLatin1() + ':' +
                                   QByteArray::number(dg.senderPort()) + ':' + dg.data();
            const qint64 t = now();
            if (line->lastDatagram == key && t - line->lastDatagramNs < 100 * kMs)
                continue;
            line->lastDatagram = key;
            line->lastDatagramNs = t;
            FrameRecord in;
            in.direction = FrameRecord::In;
            in.ns = now();
            in.line = line->id;
            in.bytes = dg.data();
            in.ok = dg.data() == kDiscoveryRequest;
            in.note = QStringLiteral("discovery from %1:%2")
                          .arg(dg.senderAddress().toString())
                          .arg(dg.senderPort());
            if (!in.ok) {
                in.note += QStringLiteral(", not the discovery request");
                record(in);
                continue;
            }
            bool suppress = false, twice = false;
            const Fault *late = nullptr, *other = nullptr;
            for (FaultEntry *e : matching(-1, kDiscovery, -1, -1)) {
                switch (e->fault.kind) {
                case Fault::NoReply:
                    suppress = true;
                    break;
                case Fault::Duplicate:
                    twice = true;
                    break;
                case Fault::LateReply:
                    late = &e->fault;
                    break;
                case Fault::OtherAddress:
                    other = &e->fault;
                    break;
                default:
                    continue;
                }
                if (e->remaining > 0)
                    --e->remaining;
            }
            in.answered = !suppress;
            record(in);
            if (suppress)
                continue;
            QHostAddress from = line->address;
            if (other)
                from = other->otherHost;
            const QHostAddress to = dg.senderAddress();
            const quint16 toPort = quint16(dg.senderPort());
            const int lineId = line->id;
            QPointer<QUdpSocket> s(socket);
            auto send = [this, s, twice, lineId, from, to, toPort]() {
                if (!s)
                    return;
                for (int i = 0; i < (twice ? 2 : 1); ++i) {
                    if (!sendfrom(s, kDiscoveryReply, from, to, toPort))
                        continue;
                    FrameRecord r;
                    r.direction = FrameRecord::Out;
                    r.ns = now();
                    r.line = lineId;
                    r.bytes = kDiscoveryReply;
                    r.answered = true;
                    r.note = QStringLiteral("discovery reply from %1").arg(from.toString());
                    record(r);
                }
            };
            if (late)
                QTimer::singleShot(late->delayMs, socket, send);
            else
                send();
        }
    }
}

void StandinPrivate::close(Line *line)
{
    delete line->notifier;
    if (line->ptyPort)
        delete line->ptyPort;
    for (Port *p : line->connections)
        delete p;
    delete line->server;
    if (line->slave >= 0)
        ::close(line->slave);
    if (line->master >= 0)
        ::close(line->master);
    delete line;
}

// ---------------------------------------------------------------- Standin

Standin::Standin()
    : d(new StandinPrivate)
{
    d->clock.start();
    d->context = new QObject;
    d->context->moveToThread(&d->thread);
    d->thread.setObjectName(QStringLiteral("standin"));
    d->thread.start();
}

Standin::~Standin()
{
    d->run([this] {
        for (Line *l : d->lines)
            d->close(l);
        d->lines.clear();
        qDeleteAll(d->udpSockets);
        d->udpSockets.clear();
        delete d->context;
        d->context = nullptr;
    });
    d->thread.quit();
    d->thread.wait();
}

int Standin::openpty()
{
    int id = -1;
    d->run([&] { id = d->openpty(); });
    return id;
}

QString Standin::ptypath(int line) const
{
    QString p;
    d->run([&] {
        if (Line *l = d->lines.value(line))
            p = l->path;
    });
    return p;
}

int Standin::listen(const QHostAddress &address, quint16 tcpPort, quint16 udpPort)
{
    int id = -1;
    d->run([&] { id = d->listen(address, tcpPort, udpPort); });
    return id;
}

quint16 Standin::tcpport(int line) const
{
    quint16 p = 0;
    d->run([&] {
        if (Line *l = d->lines.value(line))
            p = l->server ? l->server->serverPort() : 0;
    });
    return p;
}

QString Standin::errorstring() const
{
    QString e;
    d->run([&] { e = d->error; });
    return e;
}

void Standin::setlinedead(int line, bool dead)
{
    d->run([&] {
        if (Line *l = d->lines.value(line)) {
            l->dead = dead;
            if (l->ptyPort)
                l->ptyPort->scanner.clear();
        }
    });
}

void Standin::hangup(int line)
{
    d->run([&] {
        Line *l = d->lines.value(line);
        if (!l || !l->pty)
            return;
        l->dead = true;
        delete l->notifier;
        l->notifier = nullptr;
        if (l->slave >= 0)
            ::close(l->slave);
        if (l->master >= 0)
            ::close(l->master);
        l->slave = l->master = -1;
    });
}

void Standin::dropconnections(int line)
{
    d->run([&] {
        if (Line *l = d->lines.value(line))
            for (Port *p : l->connections)
                p->socket->abort();
    });
}

int Standin::connectioncount(int line) const
{
    int n = 0;
    d->run([&] {
        if (Line *l = d->lines.value(line))
            n = l->connections.size();
    });
    return n;
}

int Standin::addunit(int line, quint8 type, quint8 address)
{
    int id = -1;
    d->run([&] {
        if (!d->lines.contains(line)) {
            d->error = QStringLiteral("no line %1").arg(line);
            return;
        }
        for (const Unit &u : d->units)
            if (u.line == line && u.state.type == type && u.state.address == address) {
                d->error = QStringLiteral("a unit of that type and address is on the line already");
                return;
            }
        Unit u;
        u.id = d->nextUnit++;
        u.line = line;
        u.state = UnitState(type, address);
        d->units.insert(u.id, u);
        id = u.id;
    });
    return id;
}

UnitState Standin::state(int unit) const
{
    UnitState s;
    d->run([&] { s = d->units.value(unit).state; });
    return s;
}

void Standin::setstate(int unit, const UnitState &state)
{
    d->run([&] {
        if (d->units.contains(unit))
            d->units[unit].state = state;
    });
}

void Standin::update(int unit, const std::function<void(UnitState &)> &change)
{
    d->run([&] {
        if (d->units.contains(unit))
            change(d->units[unit].state);
    });
}

void Standin::setmeters(int unit, const QByteArray &levels)
{
    update(unit, [&](UnitState &s) { s.meters = levels.leftJustified(kChannels, '\0', true); });
}

void Standin::sendmutereport(int unit)
{
    d->run([&] {
        if (!d->units.contains(unit))
            return;
        const Unit &u = d->units[unit];
        Line *l = d->lines.value(u.line);
        if (!l || l->dead)
            return;
        FrameRecord r;
        r.direction = FrameRecord::Out;
        r.line = l->id;
        r.unit = unit;
        r.bytes = mutereport(u.state);
        r.answered = true;
        r.note = QStringLiteral("unsolicited mute report");
        for (Port *p : d->ports(l)) {
            Chunk c;
            c.data = r.bytes;
            c.gapNs = p->socket ? d->tcpGapNs : 0;
            c.finished << r;
            p->enqueue({c});
        }
    });
}

void Standin::sendraw(int line, const QByteArray &bytes)
{
    d->run([&] {
        Line *l = d->lines.value(line);
        if (!l)
            return;
        for (Port *p : d->ports(l)) {
            Chunk c;
            c.data = bytes;
            p->enqueue({c});
        }
    });
}

int Standin::addfault(const Fault &fault)
{
    int id = -1;
    d->run([&] {
        FaultEntry e;
        e.fault = fault;
        e.remaining = fault.times;
        id = d->nextFault++;
        d->faults.insert(id, e);
    });
    return id;
}

void Standin::removefault(int id)
{
    d->run([&] { d->faults.remove(id); });
}

void Standin::clearfaults()
{
    d->run([&] {
        d->faults.clear();
        d->stale.clear();
    });
}

void Standin::setpacing(bool on)
{
    d->run([&] { d->pacing = on; });
}

void Standin::settcpgap(int ms)
{
    d->run([&] { d->tcpGapNs = qint64(qMax(0, ms)) * kMs; });
}

QVector<FrameRecord> Standin::frames() const
{
    QVector<FrameRecord> r;
    d->run([&] { r = d->records; });
    return r;
}

QVector<FrameRecord> Standin::commands(int unit) const
{
    QVector<FrameRecord> r;
    d->run([&] {
        for (const FrameRecord &f : d->records)
            if (f.direction == FrameRecord::In && f.ok && f.unit >= 0 && (unit < 0 || f.unit == unit))
                r.append(f);
    });
    return r;
}

QVector<FrameRecord> Standin::replies(int unit) const
{
    QVector<FrameRecord> r;
    d->run([&] {
        for (const FrameRecord &f : d->records)
            if (f.direction == FrameRecord::Out && (unit < 0 || f.unit == unit))
                r.append(f);
    });
    return r;
}

QVector<FrameRecord> Standin::badframes() const
{
    QVector<FrameRecord> r;
    d->run([&] {
        for (const FrameRecord &f : d->records)
            if (f.direction == FrameRecord::In && !f.ok)
                r.append(f);
    });
    return r;
}

void Standin::clearframes()
{
    d->run([&] { d->records.clear(); });
}

qint64 Standin::nowns() const
{
    return d->now();
}

void Standin::setlogger(const std::function<void(const FrameRecord &)> &logger)
{
    d->run([&] { d->logger = logger; });
}

QString describe(const FrameRecord &r)
{
    QString s = QStringLiteral("%1.%2 ms %3 line %4")
                    .arg(r.ns / kMs)
                    .arg((r.ns % kMs) / 1000, 3, 10, QLatin1Char('0'))
                    .arg(r.direction == FrameRecord::In ? QStringLiteral("<-") : QStringLiteral("->"))
                    .arg(r.line);
    if (r.unit >= 0)
        s += QStringLiteral(" unit %1").arg(r.unit);
    s += QLatin1Char(' ');
    const bool text = r.bytes.startsWith("AreYou") || r.bytes.startsWith("iAm");
    s += text ? QString::fromLatin1(r.bytes).replace(QLatin1Char('\n'), QStringLiteral("\\n"))
              : QString::fromLatin1(r.bytes.toHex(' '));
    if (r.direction == FrameRecord::In && !r.ok)
        s += QStringLiteral(" [bad]");
    else if (r.direction == FrameRecord::In && !r.answered)
        s += QStringLiteral(" [not answered]");
    if (!r.note.isEmpty())
        s += QStringLiteral(" (%1)").arg(r.note);
    return s;
}

} // namespace standin
