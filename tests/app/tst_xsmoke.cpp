// The real program on a real X display: dspmanager runs under its own Xvfb
// against the processor stand-in on a pseudo-terminal and is driven through
// the X server as a user drives it: pointer and keys, nothing called inside
// the program. The offscreen platform of the other tests hands events
// straight to the widgets; this test sees what only an X display shows (a
// click held in the platform's queue after a wait, a dialog that takes no
// keys). Each step needs the one before it: after a failure the rest skip.
// The network search runs after them on a program of its own, against the
// stand-in on the test namespace's processor host (the whole test runs in the
// namespace): the adapter chooser, its OK and the device slot the search fills.

#include "programimage.h"
#include "standin.h"
#include "uilayout.h"
#include "xsession.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>

namespace
{

// Commands as the processor sees them.
constexpr quint8 kCmdFind = 0x01;
constexpr quint8 kCmdConnect = 0x02;
constexpr quint8 kCmdDisconnect = 0x03;
constexpr quint8 kCmdGain = 0x50;
constexpr quint8 kCmdMeters = 0x56;
constexpr quint8 kCmdReadPart = 0x61;

// The test namespace's hosts (tests/netns/run-in-netns.sh): the program's
// adapter and the processor's.
const QString kAppAdapter = QStringLiteral("dsptest0");
const QHostAddress kAppHost(QStringLiteral("192.0.2.1"));
const QHostAddress kProcessorHost(QStringLiteral("192.0.2.2"));
const QByteArray kDiscoveryRequest("AreYouTavisenLink?");
const QByteArray kDiscoveryAnswer("iAmTavisenLink!");
// The adapter chooser lays its list out at run time: its first adapter's
// name, in the chooser's coordinates (the list starts at 20, 50; a row is
// about 20 pixels high), and its OK button (dialoginterface's constructor).
const QPoint kFirstAdapterAt(50, 59);
const QRect kChooserOk(240, 290, 81, 31);

// The reloads a slot click starts take about 1.2 s; a connect clicked 0.2 s
// into them goes out when they end, with no further input: about a second
// after the click. A click held in the platform's queue goes out only with
// the next X event, never on its own, so a wide bound costs time only when
// the click is held: it leaves room for a loaded machine and the sanitizers,
// where the reloads' own work adds seconds to their waits.
constexpr qint64 kConnectBoundMs = 10000;
// Generous bounds for the steps whose failure is a fault of its own rather
// than their time.
constexpr int kStartMs = 20000;
constexpr int kFindMs = 30000;
constexpr int kDownloadMs = 30000;
constexpr int kReactMs = 5000;
constexpr int kSaveMs = 20000;
constexpr int kCloseMs = 20000;
// A search: the chooser's request, its one-second window and the probe run.
constexpr int kSearchMs = 30000;
// The line counts as quiet (the search over) after this long without a command.
constexpr int kQuietMs = 1000;
// A quick user: the connect click follows the slot click this soon.
constexpr unsigned long kSecondClickMs = 200;

// The main window places the tool bar here (MainWindow::createlinkobjects);
// every other position comes from the forms.
const QPoint kToolBarAt(95, 30);

QString form(const char *path)
{
    return QStringLiteral(DSP_SOURCE_DIR "/src/") + QLatin1String(path);
}

} // namespace

class TstXSmoke : public QObject
{
    Q_OBJECT

public:
    // The X server, started before the tests run; false when it did not
    // start or cannot be driven (*why says which).
    bool startserver(QString *why) { return x.start(why); }
    bool serverstarted() const { return !x.display().isEmpty(); }

private:
    QTemporaryDir dir;
    standin::Standin stand;
    int unit = -1;
    XSession x;
    ChildProcess app;
    QString logpath; // the running program's output
    TopWindow window;
    bool broken = false;
    // The network search's own processor and program folder, one per row.
    QScopedPointer<standin::Standin> processor;
    QScopedPointer<QTemporaryDir> rowdir;

    // Widgets in the main window's coordinates.
    QRect menuView, menuRemote, slot0, connectButton, saveButton, gainPageButton, pages, gainUpA;

    QPoint at(const QRect &inwindow) const { return window.rect.topLeft() + inwindow.center(); }
    QRect onscreen(const QRect &inwindow) const
    {
        return inwindow.translated(window.rect.topLeft()).intersected(window.rect);
    }

    qint64 ms(qint64 ns) const { return ns / 1000000; }

    // Commands the unit received after `since` (stand-in clock).
    QVector<standin::FrameRecord> received(quint8 command, qint64 since = 0) const
    {
        QVector<standin::FrameRecord> found;
        for (const standin::FrameRecord &r : stand.commands(unit))
            if (r.command() == command && r.ns >= since)
                found.append(r);
        return found;
    }

    // The shown windows other than the main window and pop-ups: dialogs.
    QVector<TopWindow> dialogs() const
    {
        QVector<TopWindow> found;
        for (const TopWindow &w : x.windows())
            if (!w.popup && w.id != window.id)
                found.append(w);
        return found;
    }

    // The titles of the dialogs shown, for a failure's message.
    QString shown() const
    {
        QStringList titles;
        for (const TopWindow &w : dialogs())
            titles << QLatin1Char('"') + x.title(w.id) + QLatin1Char('"');
        return titles.isEmpty() ? QStringLiteral("no dialog") : titles.join(QStringLiteral(", "));
    }

    bool findmainwindow()
    {
        TopWindow largest;
        for (const TopWindow &w : x.windows())
            if (!w.popup && w.rect.width() * w.rect.height() > largest.rect.width() * largest.rect.height())
                largest = w;
        if (largest.id == 0)
            return false;
        window = largest;
        return true;
    }

    QByteArray applogbytes() const
    {
        QFile f(logpath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString applog() const
    {
        const QList<QByteArray> lines = applogbytes().split('\n');
        return QString::fromLocal8Bit(lines.mid(qMax(0, lines.size() - 25)).join('\n'));
    }

    // The pop-up menu open under a menu row button, if any (a tool tip is a
    // pop-up too).
    bool menuunder(const QRect &button, TopWindow *menu) const
    {
        const QPoint below = at(button) + QPoint(0, button.height() / 2 + 4);
        for (const TopWindow &w : x.windows())
            if (w.popup && w.rect.contains(below)) {
                *menu = w;
                return true;
            }
        return false;
    }

    // The network search's records on the processor's side.
    QVector<standin::FrameRecord> discovery(standin::FrameRecord::Direction direction) const
    {
        QVector<standin::FrameRecord> found;
        const QByteArray &start =
            direction == standin::FrameRecord::In ? kDiscoveryRequest : kDiscoveryAnswer;
        for (const standin::FrameRecord &r : processor->frames())
            if (r.direction == direction && r.bytes.startsWith(start))
                found.append(r);
        return found;
    }
    QVector<standin::FrameRecord> probes(int netunit) const
    {
        QVector<standin::FrameRecord> found;
        for (const standin::FrameRecord &r : processor->commands(netunit))
            if (r.command() == kCmdFind)
                found.append(r);
        return found;
    }

    void launch(const QString &workdir, const QString &ports);
    void openchooser(TopWindow *chooser);
    void searchfrom(const TopWindow &chooser, const QString &adapter);

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void findonline();
    void connectrightafterslot();
    void download();
    void gainpage();
    void gainchange();
    void toolbarsave();
    void close();

    void networksearch_data();
    void networksearch();
};

void TstXSmoke::initTestCase()
{
    QVERIFY(dir.isValid());
    const QString mainui = form("shell/mainwindow.ui");
    const QString toolui = form("shell/formtoolbutton.ui");
    menuView = uirect(mainui, QStringLiteral("menuView"));
    menuRemote = uirect(mainui, QStringLiteral("menuEdit"));
    slot0 = uirect(form("shell/formchtool.ui"), QStringLiteral("btnleft910"))
                .translated(uirect(mainui, QStringLiteral("formchtool")).topLeft());
    connectButton = uirect(toolui, QStringLiteral("btnExcel")).translated(kToolBarAt);
    saveButton = uirect(toolui, QStringLiteral("Save_Button")).translated(kToolBarAt);
    gainPageButton = uirect(mainui, QStringLiteral("pushButton_2"));
    // The pages fill the document area.
    pages = uirect(mainui, QStringLiteral("mdiArea"));
    gainUpA = uirect(form("gaindelay/formgain.ui"), QStringLiteral("btnup")).translated(pages.topLeft());
    for (const QRect &r :
         {menuView, menuRemote, slot0, connectButton, saveButton, gainPageButton, pages, gainUpA})
        QVERIFY2(!r.isEmpty(), "a widget the test clicks is missing from its form");

    const int line = stand.openpty();
    QVERIFY2(line >= 0, qPrintable(stand.errorstring()));
    unit = stand.addunit(line, 0x18, 1);
    launch(dir.path(), stand.ptypath(line));
}

// Starts the program in `workdir` (its settings and its output there) with
// the serial ports `ports` (none when empty) and waits for its painted main
// window.
void TstXSmoke::launch(const QString &workdir, const QString &ports)
{
    // English texts in the log; the program reads its settings from where it runs.
    QFile config(workdir + QStringLiteral("/UserConfig.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[General]\nLangue=en\n");
    config.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DSPMANAGER_PORTS"), ports);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), workdir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), workdir);
    for (const char *scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                                "QT_FONT_DPI", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE"})
        env.remove(QLatin1String(scaling));
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(workdir);
    app.setProcessChannelMode(QProcess::MergedChannels);
    logpath = workdir + QStringLiteral("/app.log");
    app.setStandardOutputFile(logpath);
    app.start(QStringLiteral(DSP_APP_BINARY), QStringList());
    QVERIFY2(app.waitForStarted(kStartMs), qPrintable(app.errorString()));

    QTRY_VERIFY2_WITH_TIMEOUT(findmainwindow(), "the main window was not shown", kStartMs);
    QVERIFY2(QRect(QPoint(), window.rect.size()).contains(gainPageButton),
             qPrintable(QStringLiteral("the main window is %1 x %2: scaled or cut")
                            .arg(window.rect.width())
                            .arg(window.rect.height())));
    // Painted: the menu bar is no longer the server's black.
    QTRY_VERIFY2_WITH_TIMEOUT(x.pixels(onscreen(menuView)).count('\0') <
                                  x.pixels(onscreen(menuView)).size() / 2,
                              "the main window was not painted", kStartMs);
}

void TstXSmoke::init()
{
    // The network search starts a program of its own.
    if (broken && QTest::currentTestFunction() != QByteArrayLiteral("networksearch"))
        QSKIP("an earlier step failed");
}

void TstXSmoke::cleanup()
{
    if (QTest::currentTestFailed()) {
        broken = true;
        qInfo().noquote() << "last lines of the program's output:\n" << applog();
        const QString shots = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        if (!shots.isEmpty()) {
            const QString path =
                shots + QStringLiteral("/xsmoke-%1.png").arg(QLatin1String(QTest::currentTestFunction()));
            if (x.screenshot().save(path))
                qInfo().noquote() << "the screen is in" << path;
        }
    }
}

void TstXSmoke::cleanupTestCase()
{
    stopprocess(app);
}

void TstXSmoke::findonline()
{
    const QByteArray emptyslot = x.pixels(onscreen(slot0));
    x.click(at(menuView));
    TopWindow menu;
    QTRY_VERIFY2_WITH_TIMEOUT(menuunder(menuView, &menu), "the Device menu did not open", kReactMs);
    // "Find Online" is the menu's only entry.
    x.click(menu.rect.center());

    QTRY_VERIFY2_WITH_TIMEOUT(!received(kCmdFind).isEmpty(), "the processor was not found", kFindMs);
    // The search goes on over every address; it is over when the line is quiet.
    QDeadlineTimer deadline(kFindMs);
    for (;;) {
        qint64 last = 0;
        for (const standin::FrameRecord &r : stand.frames())
            if (r.direction == standin::FrameRecord::In)
                last = qMax(last, r.ns);
        if (stand.nowns() - last > qint64(kQuietMs) * 1000000)
            break;
        QVERIFY2(!deadline.hasExpired(), "the search did not end");
        QTest::qWait(50);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(x.pixels(onscreen(slot0)) != emptyslot, "no device slot was shown", kReactMs);
}

void TstXSmoke::connectrightafterslot()
{
    // The slot click reloads the pages in a wait that holds user input back;
    // the connect click comes in that wait and must run when it ends, on its
    // own: nothing else reaches the X server until the frame arrives.
    x.click(at(slot0));
    QThread::msleep(kSecondClickMs);
    x.click(at(connectButton));
    const qint64 clicked = stand.nowns();
    QDeadlineTimer deadline(kConnectBoundMs);
    while (received(kCmdConnect, clicked).isEmpty() && !deadline.hasExpired())
        QTest::qWait(10);
    const auto connects = received(kCmdConnect, clicked);
    if (connects.isEmpty()) {
        // Tell a held click from a lost one: the next X event lets a held one out.
        x.move(at(connectButton) + QPoint(1, 1));
        QTest::qWait(1500);
        if (!received(kCmdConnect, clicked).isEmpty())
            QFAIL(qPrintable(
                QStringLiteral("the connect click was held until the pointer moved: no connect frame "
                               "%1 ms after the click, one at once after a pointer move")
                    .arg(kConnectBoundMs)));
        QFAIL(qPrintable(
            QStringLiteral("the connect click was lost: no connect frame after %1 ms and a pointer move")
                .arg(kConnectBoundMs)));
    }
    qInfo("connect frame %lld ms after the connect click", ms(connects.first().ns - clicked));
}

void TstXSmoke::download()
{
    // The connect reads the current program, part by part, behind a progress box.
    QDeadlineTimer deadline(kDownloadMs);
    QSet<int> parts;
    while (parts.size() < kPacketCount) {
        QVERIFY2(!deadline.hasExpired(),
                 qPrintable(
                     QStringLiteral("the download read %1 of %2 parts").arg(parts.size()).arg(kPacketCount)));
        for (const standin::FrameRecord &r : received(kCmdReadPart))
            if (r.answered && r.payload().size() == 2)
                parts.insert(quint8(r.payload().at(1)));
        QTest::qWait(50);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(dialogs().isEmpty(),
                              qPrintable(QStringLiteral("after the download: ") + shown()), kDownloadMs);
}

void TstXSmoke::gainpage()
{
    // The gain page shows level meters: they are polled while it is shown.
    const QByteArray mainpage = x.pixels(onscreen(pages));
    const qint64 since = stand.nowns();
    x.click(at(gainPageButton));
    QTRY_VERIFY2_WITH_TIMEOUT(x.pixels(onscreen(pages)) != mainpage, "the gain page was not shown", kReactMs);
    QTRY_VERIFY2_WITH_TIMEOUT(!received(kCmdMeters, since).isEmpty(), "the gain page did not poll its meters",
                              kReactMs);
}

void TstXSmoke::gainchange()
{
    const QByteArray before = stand.state(unit).image;
    const qint64 since = stand.nowns();
    x.click(at(gainUpA));
    QTRY_VERIFY2_WITH_TIMEOUT(!received(kCmdGain, since).isEmpty(), "the gain step sent no gain frame",
                              kReactMs);
    QTRY_VERIFY2_WITH_TIMEOUT(stand.state(unit).image != before, "the processor's gain did not change",
                              kReactMs);
    QCOMPARE(int(quint8(received(kCmdGain, since).first().payload().at(0))), 0); // input A
}

void TstXSmoke::toolbarsave()
{
    const QString saved = dir.filePath(QStringLiteral("saved.K91"));
    x.click(at(saveButton));
    QTRY_VERIFY2_WITH_TIMEOUT(dialogs().size() == 1,
                              qPrintable(QStringLiteral("for the save dialog: ") + shown()), kReactMs);
    // The file name box has the focus; a name without extension gets the
    // type's own, in the folder the program runs in. The pointer rests on the
    // dialog, as a hand would: whichever way the server gives keys (to the
    // focus window or under the pointer) they go there.
    const TopWindow dialog = dialogs().first();
    x.move(dialog.rect.center());
    // Typed only once the dialog has the keyboard: on a loaded machine it is
    // mapped some time before the program gives it the focus.
    QTRY_VERIFY2_WITH_TIMEOUT(
        x.haskeyboard(dialog.id),
        qPrintable(QStringLiteral("the save dialog never got the keyboard; ") + shown()), kReactMs);
    x.type(QStringLiteral("saved"));
    x.key("Return");
    QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo(saved).size() == kProgramImageSize,
                              qPrintable(QStringLiteral("the program file was not written; ") + shown()),
                              kSaveMs);
    QTRY_VERIFY2_WITH_TIMEOUT(dialogs().isEmpty(), qPrintable(QStringLiteral("after the save: ") + shown()),
                              kReactMs);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray image = stand.state(unit).image;
    int first = 0;
    while (first < image.size() && first < bytes.size() && bytes.at(first) == image.at(first))
        ++first;
    QVERIFY2(bytes == image, qPrintable(QStringLiteral("the saved file differs from the processor's image at "
                                                       "byte %1")
                                            .arg(first)));
}

void TstXSmoke::close()
{
    const qint64 since = stand.nowns();
    QVERIFY(x.closewindow(window.id));
    QVERIFY2(app.waitForFinished(kCloseMs), "the program did not end after its window was closed");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    QVERIFY2(!received(kCmdDisconnect, since).isEmpty(), "the processor was not told");
}

// Remote > Choose Interface, as the user opens the adapter chooser; `chooser`
// is its window once shown. A search window holds clicks back: the menu
// opens once the search before it is over.
void TstXSmoke::openchooser(TopWindow *chooser)
{
    x.click(at(menuRemote));
    TopWindow menu;
    QTRY_VERIFY2_WITH_TIMEOUT(menuunder(menuRemote, &menu), "the Remote menu did not open", kSearchMs);
    // "Choose Interface" is the first of its two entries.
    x.click(QPoint(menu.rect.center().x(), menu.rect.top() + menu.rect.height() / 4));
    QTRY_VERIFY2_WITH_TIMEOUT(dialogs().size() == 1,
                              qPrintable(QStringLiteral("for the chooser: ") + shown()), kReactMs);
    *chooser = dialogs().first();
}

// Picks `adapter` in the chooser and confirms: the search starts.
void TstXSmoke::searchfrom(const TopWindow &chooser, const QString &adapter)
{
    // The chooser lists the running adapters other than loopback, in the
    // system's order; this process sees the same ones.
    QStringList listed;
    for (const QNetworkInterface &ni : QNetworkInterface::allInterfaces())
        if ((ni.flags() & QNetworkInterface::IsRunning) && !(ni.flags() & QNetworkInterface::IsLoopBack) &&
            ni.type() != QNetworkInterface::Unknown && ni.type() != QNetworkInterface::Virtual)
            listed << ni.humanReadableName();
    const int row = listed.indexOf(adapter);
    QVERIFY2(row >= 0,
             qPrintable(adapter + QStringLiteral(" is not among the adapters: ") + listed.join(' ')));
    // The first adapter by the pointer, the one wanted from there by the
    // arrow keys: the choice moves with the focus. Keys are typed once the
    // chooser has the keyboard, the pointer resting on it.
    x.click(chooser.rect.topLeft() + kFirstAdapterAt);
    QTRY_VERIFY2_WITH_TIMEOUT(x.haskeyboard(chooser.id), "the chooser never got the keyboard", kReactMs);
    for (int i = 0; i < row; ++i)
        x.key("Down");
    x.click(chooser.rect.topLeft() + kChooserOk.center());
    QTRY_VERIFY2_WITH_TIMEOUT(dialogs().isEmpty(), qPrintable(QStringLiteral("after OK: ") + shown()),
                              kReactMs);
}

// A network search on a program of its own: the processor answers the
// discovery at once or late. An answer after the search window is kept and
// its processor probed (find, 0x01, over TCP) when the next search ends; the
// found processor fills the first device slot.
void TstXSmoke::networksearch_data()
{
    QTest::addColumn<int>("lateMs");   // the processor's discovery answer comes this late (0: at once)
    QTest::addColumn<int>("searches"); // the search whose end lists it
    // A second after the one-second window: the program, slowed by a busy
    // machine, still ends its window well before the answer comes.
    QTest::newRow("answer 2 s late: listed when the next search ends") << 2000 << 2;
    QTest::newRow("prompt answer: listed when the search ends") << 0 << 1;
}

void TstXSmoke::networksearch()
{
    QFETCH(int, lateMs);
    QFETCH(int, searches);
    // The program before this one (with its window) goes; this one gets no
    // serial port and starts with an empty device list.
    stopprocess(app);
    const unsigned long before = window.id;
    const auto gone = [&]() {
        for (const TopWindow &w : x.windows())
            if (w.id == before)
                return false;
        return true;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(gone(), "the window of the program before stayed", kCloseMs);
    window = TopWindow();
    processor.reset(new standin::Standin);
    rowdir.reset(new QTemporaryDir);
    QVERIFY(rowdir->isValid());
    const int line = processor->listen(kProcessorHost);
    QVERIFY2(line >= 0,
             qPrintable(processor->errorstring() +
                        QStringLiteral(" (the test runs in its network namespace under ctest, or by "
                                       "tests/netns/run-in-netns.sh)")));
    const int netunit = processor->addunit(line, 0x18, 1);
    if (lateMs > 0) {
        standin::Fault late;
        late.kind = standin::Fault::LateReply;
        late.command = standin::Fault::Discovery;
        late.delayMs = lateMs;
        processor->addfault(late);
    }
    launch(rowdir->path(), QString());
    if (QTest::currentTestFailed())
        return;
    const QByteArray emptyslot = x.pixels(onscreen(slot0));
    // What the program logs as it sends the request: the chosen adapter's address.
    const QByteArray sentfrom = "QHostAddress(\"" + kAppHost.toString().toLatin1() + "\") destaddr:";

    for (int search = 1; search <= searches; ++search) {
        TopWindow chooser;
        openchooser(&chooser);
        if (QTest::currentTestFailed())
            return;
        if (search > 1) {
            // The search before is over (the menu took its click), the
            // answer came after its window: nothing probed, nothing listed.
            QVERIFY2(probes(netunit).isEmpty(), "the late answer was probed when its own search ended");
            QVERIFY2(x.pixels(onscreen(slot0)) == emptyslot,
                     "a device slot was shown after a search without answer");
        }
        searchfrom(chooser, kAppAdapter);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY2_WITH_TIMEOUT(discovery(standin::FrameRecord::In).size() == search,
                                  "the processor got no discovery request", kSearchMs);
        QCOMPARE(applogbytes().count(sentfrom.constData()), search);
        // The answer, at once or late: the user searches again after it.
        QTRY_VERIFY2_WITH_TIMEOUT(discovery(standin::FrameRecord::Out).size() == search,
                                  "the processor did not answer the discovery", kSearchMs);
    }

    QTRY_VERIFY2_WITH_TIMEOUT(
        !probes(netunit).isEmpty(),
        qPrintable(QStringLiteral("the processor was not probed after search %1").arg(searches)), kSearchMs);
    QTRY_VERIFY2_WITH_TIMEOUT(x.pixels(onscreen(slot0)) != emptyslot, "no device slot was shown", kReactMs);
    // One probe run, at the end of the last search.
    const auto found = probes(netunit);
    QCOMPARE(found.size(), 1);
    QVERIFY2(found.first().ns > discovery(standin::FrameRecord::In).last().ns,
             "the processor was probed before the last search");
}

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    TstXSmoke test;
    QString why;
    if (!test.startserver(&why)) {
        // A server that started but cannot be driven is a fault of its own.
        if (test.serverstarted()) {
            std::printf("FAIL!  : %s\n", qPrintable(why));
            return 1;
        }
        return XvfbServer::unavailable(why);
    }
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_xsmoke.moc"
