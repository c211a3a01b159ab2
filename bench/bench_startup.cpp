// Start-up: the time from starting the program to the main window's first
// finished paint, and the resident memory at that moment, for the real main
// window (built exactly as the program's start builds it) against a bare
// QMainWindow with the same number and kinds of widgets and no style sheets.
//
// Every start runs in a fresh child process of this same binary, so that
// neither caches nor memory carry over between starts. The parent takes the
// time just before it starts the child; the child stamps the time when the
// first expose (or update request) of its window that painted something has
// been handled, and reads its VmRSS then.
//
// The bare window mirrors the real one: a first real start writes the widget
// tree (nearest Qt class, parent, geometry, shown or hidden, text) to a file;
// every bare start rebuilds that tree from plain Qt widgets.
//
// Runs with the platform of the environment (QT_QPA_PLATFORM, or under
// xvfb-run); offscreen when there is no display.

#include "mainwindow.h"
#include "startup.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDial>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTextStream>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

namespace
{

qint64 nowns()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Resident memory of this process in KiB (VmRSS).
long rsskib()
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kib = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kib;
}

int countwidgets(QWidget *root)
{
    return 1 + root->findChildren<QWidget *>().size();
}

// ---------------------------------------------------------------------------
// Child side: one start, then the result line on stdout.

// Stamps the time when an expose or update request of the watched window has
// been handled and painted at least one widget.
class PaintWatch : public QObject
{
public:
    QWidget *window = nullptr;
    qint64 stamp = 0;

    bool eventFilter(QObject *obj, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            ++paints;
            return false;
        }
        if (stamp || !window || obj != window->windowHandle() ||
            (e->type() != QEvent::Expose && e->type() != QEvent::UpdateRequest))
            return false;
        const int before = paints;
        obj->event(e);
        if (paints > before)
            stamp = nowns();
        return true;
    }

private:
    int paints = 0;
};

// The nearest Qt class of a widget that the bare window can build.
using Maker = std::function<QWidget *(QWidget *parent)>;

const std::vector<std::pair<const char *, Maker>> &makers()
{
    static const std::vector<std::pair<const char *, Maker>> m = {
        {"QMainWindow", [](QWidget *p) { return new QMainWindow(p); }},
        {"QDialog", [](QWidget *p) { return new QDialog(p); }},
        {"QMdiArea", [](QWidget *p) { return new QMdiArea(p); }},
        {"QMdiSubWindow", [](QWidget *p) { return new QMdiSubWindow(p); }},
        {"QPushButton", [](QWidget *p) { return new QPushButton(p); }},
        {"QToolButton", [](QWidget *p) { return new QToolButton(p); }},
        {"QRadioButton", [](QWidget *p) { return new QRadioButton(p); }},
        {"QCheckBox", [](QWidget *p) { return new QCheckBox(p); }},
        {"QLabel", [](QWidget *p) { return new QLabel(p); }},
        {"QSlider", [](QWidget *p) { return new QSlider(p); }},
        {"QDial", [](QWidget *p) { return new QDial(p); }},
        {"QScrollBar", [](QWidget *p) { return new QScrollBar(p); }},
        {"QLineEdit", [](QWidget *p) { return new QLineEdit(p); }},
        {"QComboBox", [](QWidget *p) { return new QComboBox(p); }},
        {"QDoubleSpinBox", [](QWidget *p) { return new QDoubleSpinBox(p); }},
        {"QSpinBox", [](QWidget *p) { return new QSpinBox(p); }},
        {"QGroupBox", [](QWidget *p) { return new QGroupBox(p); }},
        {"QProgressBar", [](QWidget *p) { return new QProgressBar(p); }},
        {"QTabWidget", [](QWidget *p) { return new QTabWidget(p); }},
        {"QStackedWidget", [](QWidget *p) { return new QStackedWidget(p); }},
        {"QTextEdit", [](QWidget *p) { return new QTextEdit(p); }},
        {"QPlainTextEdit", [](QWidget *p) { return new QPlainTextEdit(p); }},
        {"QListWidget", [](QWidget *p) { return new QListWidget(p); }},
        {"QTableWidget", [](QWidget *p) { return new QTableWidget(p); }},
        {"QTreeWidget", [](QWidget *p) { return new QTreeWidget(p); }},
        {"QScrollArea", [](QWidget *p) { return new QScrollArea(p); }},
        {"QStatusBar", [](QWidget *p) { return new QStatusBar(p); }},
        {"QMenuBar", [](QWidget *p) { return new QMenuBar(p); }},
        {"QFrame", [](QWidget *p) { return new QFrame(p); }},
        {"QWidget", [](QWidget *p) { return new QWidget(p); }},
    };
    return m;
}

QString kindof(const QWidget *w)
{
    for (const QMetaObject *mo = w->metaObject(); mo; mo = mo->superClass()) {
        for (const auto &m : makers()) {
            if (std::strcmp(mo->className(), m.first) == 0)
                return QString::fromLatin1(m.first);
        }
    }
    return QStringLiteral("QWidget");
}

QString textof(const QWidget *w)
{
    QString t;
    if (auto *l = qobject_cast<const QLabel *>(w))
        t = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(w))
        t = b->text();
    else if (auto *e = qobject_cast<const QLineEdit *>(w))
        t = e->text();
    else if (auto *g = qobject_cast<const QGroupBox *>(w))
        t = g->title();
    else if (auto *c = qobject_cast<const QComboBox *>(w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        t = items.join(QLatin1Char('\x1f'));
    }
    return QString::fromLatin1(t.toUtf8().toPercentEncoding());
}

// The children a widget was given by its form or its code, without the ones
// its Qt class makes for itself (scroll bars, viewports, pop-up lists, tab
// bars, "qt_..." helpers): the bare window's widgets make those again. The
// pages of a document area, a scroll area or a tab widget count as its own.
QList<QWidget *> ownchildren(QWidget *of)
{
    QList<QWidget *> out;
    if (qobject_cast<QComboBox *>(of) || qobject_cast<QAbstractSpinBox *>(of))
        return out;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(of)) {
        if (sub->widget())
            out << sub->widget();
        return out;
    }
    if (auto *tabs = qobject_cast<QTabWidget *>(of)) {
        for (int i = 0; i < tabs->count(); ++i)
            out << tabs->widget(i);
        return out;
    }
    if (auto *scroll = qobject_cast<QScrollArea *>(of)) {
        if (scroll->widget())
            out << scroll->widget();
        return out;
    }
    QObject *from = of;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(of))
        from = area->viewport();
    for (QObject *o : from->children()) {
        auto *c = qobject_cast<QWidget *>(o);
        if (c && !c->objectName().startsWith(QLatin1String("qt_")))
            out << c;
    }
    return out;
}

void writetree(QTextStream &out, QWidget *w, int parent, int &next)
{
    const int self = next++;
    const QRect g = w->geometry();
    int flags = 0;
    if (!w->isHidden())
        flags |= 1;
    if (w->isWindow())
        flags |= 2;
    if (w->windowState() & Qt::WindowMaximized)
        flags |= 4;
    if (w->windowFlags() & Qt::FramelessWindowHint)
        flags |= 8;
    if (qobject_cast<QComboBox *>(w) && w->findChild<QFrame *>())
        flags |= 16; // its pop-up list is made
    const QString text = textof(w);
    out << self << ' ' << parent << ' ' << kindof(w) << ' ' << flags << ' ' << g.x() << ' ' << g.y() << ' '
        << g.width() << ' ' << g.height() << ' ' << (text.isEmpty() ? QStringLiteral("-") : text) << '\n';
    for (QWidget *c : ownchildren(w))
        writetree(out, c, self, next);
}

struct Node {
    int parent;
    QString kind;
    int flags;
    QRect geometry;
    QString text;
};

std::vector<Node> readtree(const QString &path)
{
    std::vector<Node> nodes;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return nodes;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList p = in.readLine().split(QLatin1Char(' '));
        if (p.size() != 9)
            continue;
        Node n;
        n.parent = p[1].toInt();
        n.kind = p[2];
        n.flags = p[3].toInt();
        n.geometry = QRect(p[4].toInt(), p[5].toInt(), p[6].toInt(), p[7].toInt());
        n.text = p[8] == QLatin1String("-")
                     ? QString()
                     : QString::fromUtf8(QByteArray::fromPercentEncoding(p[8].toLatin1()));
        nodes.push_back(n);
    }
    return nodes;
}

void settext(QWidget *w, const QString &t)
{
    if (t.isEmpty())
        return;
    if (auto *l = qobject_cast<QLabel *>(w))
        l->setText(t);
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->setText(t);
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(t);
    else if (auto *g = qobject_cast<QGroupBox *>(w))
        g->setTitle(t);
    else if (auto *c = qobject_cast<QComboBox *>(w))
        c->addItems(t.split(QLatin1Char('\x1f')));
}

// Builds the bare window from the tree file: plain Qt widgets, same parents,
// places, texts, shown or hidden; no style sheet anywhere.
QMainWindow *buildbare(const std::vector<Node> &nodes)
{
    if (nodes.empty())
        return new QMainWindow;
    std::vector<QWidget *> made(nodes.size(), nullptr);
    auto *root = new QMainWindow;
    made[0] = root;
    std::vector<std::pair<QMdiSubWindow *, int>> subs;
    for (size_t i = 1; i < nodes.size(); ++i) {
        const Node &n = nodes[i];
        QWidget *parent = (n.parent >= 0 && size_t(n.parent) < i) ? made[size_t(n.parent)] : root;
        QWidget *w = nullptr;
        for (const auto &m : makers()) {
            if (n.kind == QLatin1String(m.first)) {
                w = m.second(nullptr);
                break;
            }
        }
        if (!w)
            w = new QWidget;
        settext(w, n.text);
        // A combo box of the real window may have made its pop-up list.
        if (auto *c = qobject_cast<QComboBox *>(w); c && (n.flags & 16))
            c->view();
        if (auto *area = qobject_cast<QMdiArea *>(parent); area && qobject_cast<QMdiSubWindow *>(w)) {
            area->addSubWindow(w);
            subs.push_back({static_cast<QMdiSubWindow *>(w), int(i)});
        } else if (auto *sub = qobject_cast<QMdiSubWindow *>(parent); sub && !sub->widget()) {
            // A page keeps its size inside its sub-window.
            w->setMinimumSize(n.geometry.size());
            sub->setWidget(w);
        } else if (auto *tabs = qobject_cast<QTabWidget *>(parent)) {
            tabs->addTab(w, QString());
        } else if (auto *scroll = qobject_cast<QScrollArea *>(parent); scroll && !scroll->widget()) {
            scroll->setWidget(w);
        } else if (auto *view = qobject_cast<QAbstractScrollArea *>(parent)) {
            w->setParent(view->viewport());
        } else if (auto *mw = qobject_cast<QMainWindow *>(parent);
                   mw && !mw->centralWidget() && !(n.flags & 2) && n.kind == QLatin1String("QWidget")) {
            mw->setCentralWidget(w);
        } else {
            w->setParent(parent, (n.flags & 2) ? Qt::Window : Qt::Widget);
            if (n.kind == QLatin1String("QDialog"))
                w->setWindowFlags(Qt::Dialog);
        }
        made[i] = w;
        if (qobject_cast<QMdiSubWindow *>(w))
            continue;
        if (n.flags & 8)
            w->setWindowFlags(w->windowFlags() | Qt::FramelessWindowHint);
        w->setGeometry(n.geometry);
        if (!(n.flags & 1) || (n.flags & 2))
            w->hide();
        else
            w->show();
    }
    // The sub-windows as the program's start leaves them: frameless, one
    // maximised and shown, the others hidden.
    for (auto &s : subs) {
        const Node &n = nodes[size_t(s.second)];
        if (n.flags & 8)
            s.first->setWindowFlags(Qt::FramelessWindowHint);
        s.first->setGeometry(n.geometry);
        if (n.flags & 4)
            s.first->setWindowState(Qt::WindowMaximized);
        s.first->setVisible(n.flags & 1);
    }
    root->setGeometry(nodes[0].geometry);
    return root;
}

int runchild(const QString &mode, const QString &treefile, char *argv0)
{
    const QByteArray t0env = qgetenv("DSP_BENCH_T0");
    const qint64 t0 = t0env.isEmpty() ? nowns() : t0env.toLongLong();
    int argc = 1;
    char *argv[] = {argv0, nullptr};
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    const qint64 tapp = nowns();
    PaintWatch watch;
    app.installEventFilter(&watch);

    std::unique_ptr<QMainWindow> window;
    if (mode == QLatin1String("app")) {
        window.reset(startmainwindow(gBuildVariant));
    } else {
        window.reset(buildbare(readtree(treefile)));
    }
    const qint64 tbuilt = nowns();
    watch.window = window.get();
    window->show();
    const qint64 limit = nowns() + 20 * qint64(1000000000);
    while (!watch.stamp && nowns() < limit)
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    const long kib = rsskib();
    app.removeEventFilter(&watch);
    if (!watch.stamp) {
        std::fprintf(stderr, "bench_startup: no paint\n");
        return 1;
    }
    if (mode == QLatin1String("app") && !treefile.isEmpty()) {
        QFile f(treefile);
        if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&f);
            out.setCodec("UTF-8");
            int next = 0;
            writetree(out, window.get(), -1, next);
        }
    }
    std::printf("RESULT %lld %lld %lld %lld %ld %d\n", (long long)(watch.stamp - t0), (long long)(tapp - t0),
                (long long)(tbuilt - tapp), (long long)(watch.stamp - tbuilt), kib,
                countwidgets(window.get()));
    std::fflush(stdout);
    if (qEnvironmentVariableIsSet("DSP_BENCH_CLASSES")) {
        QFile f(treefile + QLatin1Char('.') + mode);
        if (f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&f);
            out.setCodec("UTF-8");
            int next = 0;
            writetree(out, window.get(), -1, next);
        }
        QMap<QString, int> classes;
        for (QWidget *w : window->findChildren<QWidget *>())
            ++classes[QString::fromLatin1(w->metaObject()->className())];
        for (auto it = classes.cbegin(); it != classes.cend(); ++it)
            std::fprintf(stderr, "%5d %s\n", it.value(), qPrintable(it.key()));
    }
    window.reset();
    return 0;
}

// ---------------------------------------------------------------------------
// Parent side.

struct Start {
    double total_ms = 0; // exec to first finished paint
    double qapp_ms = 0;  // exec to the application object
    double build_ms = 0; // building the window
    double paint_ms = 0; // show to first finished paint
    double rss_mib = 0;
    int widgets = 0;
    bool ok = false;
};

std::string selfpath()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return std::string();
    buf[n] = 0;
    return buf;
}

// A working folder with the language setting the program reads at start.
std::string workdir(int language)
{
    static std::string dirs[2];
    std::string &d = dirs[language ? 1 : 0];
    if (d.empty()) {
        char tmpl[] = "/tmp/bench_startup_XXXXXX";
        if (!mkdtemp(tmpl))
            return std::string();
        d = tmpl;
        const std::string ini = d + "/UserConfig.ini";
        if (FILE *f = std::fopen(ini.c_str(), "w")) {
            std::fprintf(f, "[General]\nLangue=%s\n", language ? "chs" : "en");
            std::fclose(f);
        }
    }
    return d;
}

Start startchild(const char *mode, int language)
{
    Start s;
    const std::string exe = selfpath();
    const std::string dir = workdir(language);
    const std::string tree = dir + "/tree.txt";
    int fds[2];
    if (exe.empty() || dir.empty() || pipe(fds) != 0)
        return s;
    const qint64 t0 = nowns();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 1);
        if (!std::getenv("DSP_BENCH_VERBOSE")) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0)
                dup2(null, 2);
        }
        if (chdir(dir.c_str()) != 0)
            _exit(3);
        if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("DSP_BENCH_T0", std::to_string(t0).c_str(), 1);
        execl(exe.c_str(), exe.c_str(), "--child", mode, tree.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long total = 0, qapp = 0, build = 0, paint = 0;
    long kib = 0;
    int widgets = 0;
    const size_t at = out.find("RESULT ");
    if (at != std::string::npos && std::sscanf(out.c_str() + at, "RESULT %lld %lld %lld %lld %ld %d", &total,
                                               &qapp, &build, &paint, &kib, &widgets) == 6) {
        s.total_ms = total / 1e6;
        s.qapp_ms = qapp / 1e6;
        s.build_ms = build / 1e6;
        s.paint_ms = paint / 1e6;
        s.rss_mib = kib / 1024.0;
        s.widgets = widgets;
        s.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return s;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// The real start and the bare one, alternating; the iteration time is the real
// start's time from exec to the first finished paint. The counters are the
// medians over all iterations.
void BM_Startup(benchmark::State &state)
{
    const int language = int(state.range(0));
    // Warm-up: fills the file cache and writes the widget tree for the bare window.
    if (!startchild("app", language).ok || !startchild("bare", language).ok) {
        state.SkipWithError("a start failed (DSP_BENCH_VERBOSE=1 shows why)");
        return;
    }
    std::vector<double> app, bare, appmem, baremem, build, paint, qapp, barebuild, barepaint;
    int appwidgets = 0, barewidgets = 0;
    for (auto _ : state) {
        const Start a = startchild("app", language);
        const Start b = startchild("bare", language);
        if (!a.ok || !b.ok) {
            state.SkipWithError("a start failed (DSP_BENCH_VERBOSE=1 shows why)");
            return;
        }
        state.SetIterationTime(a.total_ms / 1000);
        app.push_back(a.total_ms);
        bare.push_back(b.total_ms);
        appmem.push_back(a.rss_mib);
        baremem.push_back(b.rss_mib);
        qapp.push_back(a.qapp_ms);
        build.push_back(a.build_ms);
        paint.push_back(a.paint_ms);
        barebuild.push_back(b.build_ms);
        barepaint.push_back(b.paint_ms);
        appwidgets = a.widgets;
        barewidgets = b.widgets;
    }
    const double am = median(app), bm = median(bare), amem = median(appmem), bmem = median(baremem);
    state.counters["app_ms"] = am;
    state.counters["bare_ms"] = bm;
    state.counters["time_ratio"] = bm > 0 ? am / bm : 0;
    state.counters["app_MiB"] = amem;
    state.counters["bare_MiB"] = bmem;
    state.counters["mem_ratio"] = bmem > 0 ? amem / bmem : 0;
    state.counters["qapp_ms"] = median(qapp);
    state.counters["app_build_ms"] = median(build);
    state.counters["app_paint_ms"] = median(paint);
    state.counters["bare_build_ms"] = median(barebuild);
    state.counters["bare_paint_ms"] = median(barepaint);
    state.counters["app_widgets"] = appwidgets;
    state.counters["bare_widgets"] = barewidgets;
}
BENCHMARK(BM_Startup)
    ->ArgName("chinese")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

} // namespace

int main(int argc, char *argv[])
{
    // bench_startup --child app|bare TREEFILE: one start (used by the benchmark itself).
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return runchild(QString::fromLatin1(argv[2]), QString::fromLocal8Bit(argv[3]), argv[0]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
