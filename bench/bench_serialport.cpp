// Cost of the serial link on a pseudo-terminal: what an idle open port costs
// each thread (wake-ups over one second), and how fast an unpaced flood from
// the other end reaches the GUI thread.

#include "comsettings.h"
#include "myserialport.h"
#include "threadwakeups.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace
{

QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "bench_serialport";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The master side of a pseudo-terminal; the slave path is the port name.
struct Pty {
    int master = -1;
    QString slave;
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
};

void engineSetUp(MySerialPort &port)
{
    port.setbaudrate(ComSettings::FixedBaud);
    port.setdatabits(ComSettings::FixedDataBits);
    port.setparity(ComSettings::FixedParity);
    port.setstopbits(ComSettings::FixedStopBits);
    port.setflowcontrol(ComSettings::FixedFlowControl);
    port.createreceivethread();
    port.createsendthread();
    port.startreceivethread();
}

// Resident memory of this process now, in bytes.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

// Writes blocks to the master side as fast as the line takes them until stop
// is set or total bytes are written; returns the bytes written.
qint64 floodMaster(int master, qint64 total, const std::atomic<bool> &stop)
{
    QByteArray block(4096, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char(i * 7);
    qint64 done = 0;
    while (done < total && !stop) {
        pollfd fd{master, POLLOUT, 0};
        if (::poll(&fd, 1, 100) < 0)
            break;
        if (!(fd.revents & POLLOUT))
            continue;
        const ssize_t n =
            ::write(master, block.constData(), size_t(qMin<qint64>(total - done, block.size())));
        if (n > 0)
            done += n;
    }
    return done;
}

// An open port with its reader running and nothing on the line, for one
// second per iteration: wake-ups of the I/O thread and of the GUI thread, and
// chunks handed to the protocol engine.
void BM_IdleOpenPort(benchmark::State &state)
{
    application();
    Pty pty;
    MySerialPort port;
    if (!port.opencom(pty.slave)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    engineSetUp(port);
    int chunks = 0;
    QObject::connect(&port, &MySerialPort::mycom_dataReceived, [&chunks](const QByteArray &) { ++chunks; });
    int guiAwake = 0;
    QObject scope; // ends the connection with this function
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &scope,
                     [&guiAwake] { ++guiAwake; });
    runEventsFor(100); // settle: the open and the settings are applied
    qint64 io = 0, gui = 0, awake = 0, delivered = 0;
    for (auto _ : state) {
        const qint64 io0 = namedThreadSwitches("serial io");
        const qint64 gui0 = guiThreadSwitches();
        const int awake0 = guiAwake;
        const int chunks0 = chunks;
        runEventsFor(1000);
        io += namedThreadSwitches("serial io") - io0;
        gui += guiThreadSwitches() - gui0;
        awake += guiAwake - awake0;
        delivered += chunks - chunks0;
    }
    const double n = double(state.iterations());
    state.counters["io_switches_per_s"] = double(io) / n;
    state.counters["gui_switches_per_s"] = double(gui) / n;
    state.counters["gui_wakeups_per_s"] = double(awake) / n;
    state.counters["chunks_per_s"] = double(delivered) / n;
    port.closecom();
}
BENCHMARK(BM_IdleOpenPort)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The other end writes state.range(0) bytes as fast as the line takes them;
// the GUI thread only counts what arrives. Bytes/s is the delivery rate;
// dropped_fraction is the part the I/O thread dropped because the GUI thread
// was a whole in-flight limit behind.
void BM_Flood(benchmark::State &state)
{
    application();
    const qint64 total = state.range(0);
    Pty pty;
    MySerialPort port;
    if (!port.opencom(pty.slave)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    engineSetUp(port);
    qint64 received = 0;
    qint64 chunks = 0;
    QObject::connect(&port, &MySerialPort::mycom_dataReceived, [&](const QByteArray &chunk) {
        received += chunk.size();
        ++chunks;
    });
    runEventsFor(100);
    qint64 allChunks = 0, allBytes = 0, allDropped = 0;
    for (auto _ : state) {
        const qint64 dropped0 = port.droppedbytes();
        received = 0;
        chunks = 0;
        std::atomic<bool> written{false};
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            floodMaster(pty.master, total, stop);
            written = true;
        });
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (written && received + port.droppedbytes() - dropped0 >= total)
                loop.quit();
        });
        check.start(5);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        stop = true;
        writer.join();
        allChunks += chunks;
        allBytes += received;
        const qint64 dropped = port.droppedbytes() - dropped0;
        allDropped += dropped;
        if (received + dropped < total)
            state.SkipWithError("bytes lost without being counted as dropped");
    }
    state.SetBytesProcessed(allBytes);
    state.counters["bytes_per_chunk"] = allChunks ? double(allBytes) / double(allChunks) : 0.0;
    state.counters["dropped_fraction"] = double(allDropped) / double(allBytes + allDropped);
    state.counters["peak_in_flight"] = double(port.inflightpeak());
    port.closecom();
}
BENCHMARK(BM_Flood)->Arg(16 << 20)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The GUI thread is blocked for one second (no event is processed) while the
// other end floods the line: how much memory the chunks waiting for the GUI
// thread take by the end of that second.
void BM_FloodGuiThreadBlocked(benchmark::State &state)
{
    application();
    Pty pty;
    MySerialPort port;
    if (!port.opencom(pty.slave)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    engineSetUp(port);
    qint64 received = 0;
    QObject::connect(&port, &MySerialPort::mycom_dataReceived,
                     [&](const QByteArray &chunk) { received += chunk.size(); });
    runEventsFor(100);
    qint64 growth = 0, flooded = 0;
    for (auto _ : state) {
        const qint64 before = residentBytes();
        std::atomic<bool> stop{false};
        qint64 written = 0;
        std::thread writer([&] { written = floodMaster(pty.master, qint64(1) << 40, stop); });
        QThread::sleep(1);
        growth += residentBytes() - before;
        stop = true;
        writer.join();
        flooded += written;
        runEventsFor(500); // the GUI thread takes what waited
    }
    const double n = double(state.iterations());
    state.counters["rss_growth_MB"] = double(growth) / n / 1e6;
    state.counters["flooded_MB"] = double(flooded) / n / 1e6;
    port.closecom();
}
BENCHMARK(BM_FloodGuiThreadBlocked)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
