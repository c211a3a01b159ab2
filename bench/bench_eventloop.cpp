// The GUI thread of the whole window, connected to the processor stand-in on a
// pseudo-terminal (the window built exactly as the program starts it):
//
// - BM_IdleConnected: main page shown, nothing touched; wake-ups per second of
//   the GUI thread (event-dispatcher wake-ups and context switches) and of
//   the serial I/O thread (context switches).
// - BM_EditStall: every output switch, every routing cell and the FIR controls
//   of an output clicked and changed, with a 1 ms timer on the GUI thread as
//   a probe: the longest time the probe went without a tick is the longest
//   stall of the window, and the frames the stand-in received are counted.
//
// Runs offscreen unless a display is given (QT_QPA_PLATFORM).

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "formeq.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "standin.h"
#include "startup.h"
#include "threadwakeups.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace
{

bool runEventsUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        runEventsFor(10);
    return done();
}

// The window connected to a type-24 processor at address 1 on the stand-in's
// pseudo-terminal, its download done and the main page shown.
struct Connected {
    QTemporaryDir dir;
    standin::Standin standin;
    std::unique_ptr<MainWindow> window;
    int unit = -1;
    QString error;

    bool start()
    {
        QFile ini(dir.filePath(QStringLiteral("UserConfig.ini")));
        if (!QDir::setCurrent(dir.path()) || !ini.open(QIODevice::WriteOnly) ||
            ini.write("[General]\nLangue=en\n") <= 0) {
            error = QStringLiteral("no working folder");
            return false;
        }
        ini.close();
        window.reset(startmainwindow(4));
        window->show();
        const int line = standin.openpty();
        if (line < 0) {
            error = QStringLiteral("no pseudo-terminal");
            return false;
        }
        unit = standin.addunit(line, 0x18, 1);
        gComSettings.setportname(standin.ptypath(line));
        if (!gComCtrl.openmaincom()) {
            error = QStringLiteral("port not opened");
            return false;
        }
        window->fileaction(0)->trigger();
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        window->getbntnum(0);
        auto *connect = window->findChild<QPushButton *>(QStringLiteral("btnExcel"));
        auto *status = window->findChild<QLabel *>(QStringLiteral("comshow"));
        if (!connect || !status) {
            error = QStringLiteral("no connect button");
            return false;
        }
        connect->click();
        if (!runEventsUntil(
                [&] { return status->text() == QLatin1String("Com Online") && !window->exchangerunning(); },
                30000)) {
            error = QStringLiteral("not connected");
            return false;
        }
        // The pages' reloads and the first sends after the download settle.
        runEventsFor(1500);
        return true;
    }
    ~Connected()
    {
        window.reset();
        gComCtrl.closemaincom();
        QDir::setCurrent(QDir::tempPath());
    }
};

Connected *gConnected = nullptr;

Connected *connected(benchmark::State &state)
{
    if (!gConnected) {
        gConnected = new Connected;
        if (!gConnected->start()) {
            state.SkipWithError(qPrintable(gConnected->error));
            return nullptr;
        }
    }
    if (!gConnected->error.isEmpty()) {
        state.SkipWithError(qPrintable(gConnected->error));
        return nullptr;
    }
    return gConnected;
}

void BM_IdleConnected(benchmark::State &state)
{
    Connected *c = connected(state);
    if (!c)
        return;
    int guiAwake = 0;
    QObject scope;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &scope,
                     [&guiAwake] { ++guiAwake; });
    gMainApp->showmainview();
    runEventsFor(500);
    constexpr int kWindowMs = 3000;
    qint64 io = 0, gui = 0, awake = 0;
    for (auto _ : state) {
        const qint64 io0 = namedThreadSwitches("serial io");
        const qint64 gui0 = guiThreadSwitches();
        const int awake0 = guiAwake;
        runEventsFor(kWindowMs);
        io += namedThreadSwitches("serial io") - io0;
        gui += guiThreadSwitches() - gui0;
        awake += guiAwake - awake0;
    }
    const double seconds = double(state.iterations()) * kWindowMs / 1000.0;
    state.counters["gui_wakeups_per_s"] = double(awake) / seconds;
    state.counters["gui_switches_per_s"] = double(gui) / seconds;
    state.counters["io_switches_per_s"] = double(io) / seconds;
    state.counters["io_threads"] = double(namedThreads("serial io"));
}
BENCHMARK(BM_IdleConnected)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1 ms timer on the GUI thread: the longest gap between its ticks.
struct StallProbe {
    QTimer timer;
    QElapsedTimer since;
    qint64 longestNs = 0;
    StallProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            longestNs = qMax(longestNs, since.nsecsElapsed());
            since.start();
        });
    }
    void start()
    {
        longestNs = 0;
        since.start();
        timer.start(1);
    }
    double stop()
    {
        timer.stop();
        return double(qMax(longestNs, since.nsecsElapsed())) / 1e6;
    }
};

// One user action after another, 80 ms apart, each from the event loop; the
// longest stall the probe saw over each action's 80 ms goes into stalls.
void play(const std::vector<std::function<void()>> &actions, StallProbe &probe, std::vector<double> &stalls)
{
    stalls.resize(actions.size());
    for (std::size_t k = 0; k < actions.size(); ++k) {
        probe.start();
        actions[k]();
        runEventsFor(80);
        stalls[k] = qMax(stalls[k], probe.stop());
    }
}

void BM_EditStall(benchmark::State &state)
{
    Connected *c = connected(state);
    if (!c)
        return;
    MainWindow *w = c->window.get();
    std::vector<std::function<void()>> actions;
    // Output switches: OUT1 .. OUT8.
    for (const char *name : {"btnlimitinon", "btnlimitinon_2", "btnlimitinon_3", "btnlimitinon_4",
                             "btnlimiton_5", "btnlimiton_6", "btnlimiton_7", "btnlimiton_8"}) {
        if (auto *b = w->findChild<QAbstractButton *>(QLatin1String(name)))
            actions.push_back([b] { b->click(); });
    }
    // Routing cells: inputs A .. D to OUT1 .. OUT8.
    for (const char *input : {"A", "B", "C", "D"}) {
        for (int o = 1; o <= 8; ++o) {
            const QString name = QStringLiteral("btnout%1%2")
                                     .arg(QLatin1String(input))
                                     .arg(o == 1 ? QString() : QStringLiteral("_%1").arg(o));
            if (auto *b = w->findChild<QAbstractButton *>(name))
                actions.push_back([b] { b->click(); });
        }
    }
    const int mainActions = int(actions.size());
    // FIR controls of OUT2: FIR mode, each type, window and order, the corners.
    auto combo = [w](const char *name) { return w->findChild<QComboBox *>(QLatin1String(name)); };
    auto slider = [w](const char *name) { return w->findChild<QSlider *>(QLatin1String(name)); };
    if (QComboBox *ir = combo("comboBox_ir"))
        actions.push_back([ir] { ir->setCurrentIndex(1); });
    for (const char *name : {"cbxFirFlat", "cbxFirWindows", "cbxFirorder"}) {
        if (QComboBox *box = combo(name)) {
            for (int k = 0; k < 3; ++k)
                actions.push_back([box, k] {
                    box->setCurrentIndex((box->currentIndex() + 1 + k) % qMax(1, box->count()));
                });
        }
    }
    for (const char *name : {"sldreqfirhigh", "sldreqfirlow"}) {
        if (QSlider *s = slider(name)) {
            for (int k = 0; k < 5; ++k)
                actions.push_back([s] { s->setValue(s->value() > 300 ? s->value() - 17 : s->value() + 17); });
        }
    }
    double longest = 0;
    qint64 frames = 0;
    StallProbe probe;
    std::vector<double> stalls;
    for (auto _ : state) {
        state.PauseTiming();
        gMainApp->showmainview();
        gMainApp->seteqviewch(6); // OUT2
        if (gFormEq)
            gFormEq->updateeq();
        runEventsFor(500);
        c->standin.clearframes();
        state.ResumeTiming();
        play(actions, probe, stalls);
        probe.start();
        runEventsFor(400); // the throttles' last sends
        longest = qMax(longest, probe.stop());
        const auto received = c->standin.commands(c->unit);
        for (const auto &r : received)
            frames += (r.command() == 0x52 || r.command() == 0x53 || r.command() == 0x24) ? 1 : 0;
        // DSP_BENCH_FRAMES=FILE: every frame of the first round, one a line, to
        // compare the wire between two builds.
        const QString dump = qEnvironmentVariable("DSP_BENCH_FRAMES");
        if (!dump.isEmpty() && !QFile::exists(dump)) {
            QFile out(dump);
            if (out.open(QIODevice::WriteOnly))
                for (const auto &r : received)
                    out.write(r.bytes.toHex(' ') + '\n');
        }
    }
    double mainLongest = 0, firLongest = 0;
    for (std::size_t k = 0; k < stalls.size(); ++k) {
        double &part = int(k) < mainActions ? mainLongest : firLongest;
        part = qMax(part, stalls[k]);
    }
    state.counters["longest_stall_ms"] = qMax(longest, qMax(mainLongest, firLongest));
    state.counters["worst_action"] =
        double(std::max_element(stalls.begin(), stalls.end()) - stalls.begin()); // 0-7 switches, 8-39 routing
    state.counters["main_page_stall_ms"] = mainLongest;
    state.counters["fir_stall_ms"] = firLongest;
    state.counters["actions"] = double(actions.size());
    state.counters["main_page_clicks"] = double(mainActions);
    state.counters["frames_52_53_24"] = double(frames) / double(state.iterations());
}
BENCHMARK(BM_EditStall)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's debug lines would bury the results.
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    delete gConnected;
    return 0;
}
