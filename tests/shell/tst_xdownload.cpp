// The connect's download as a user meets it on an X display with a window
// manager (openbox) running: the program's window (application-modal, as
// start-up shows it) on an X server of the test's own, the processor
// stand-in on a pseudo-terminal. While the download runs, clicks through the
// server on a mute and an output switch of the main page and on a gain step
// of the gain page reach nothing: no frame goes out, and afterwards the
// processor's image, the model and the pages agree; the "Load Data" window
// is a transient of the main window and stays above it through the clicks;
// the same clicks after the download work. A close request the window
// manager sends to the main window during the download ends the program at
// once (a child process of this test, timed from the request to its exit).
// Without Xvfb the test skips; without openbox it skips too, under CI it fails.

#include "comsettings.h"
#include "formgain.h"
#include "formmainview.h"
#include "tst_connect_support.h"
#include "xinput.h"
#include "xservertest.h"
#include "xvfbserver.h"
#include "xwindowmanager.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "xlib.h"

#include <cstdio>
#include <memory>

namespace
{
constexpr quint8 kCmdConnect = 0x02;
constexpr quint8 kCmdGain = 0x50; // gain with mute
constexpr quint8 kCmdOutputFlag = 0x52;
constexpr quint8 kCmdMeters = 0x56;
constexpr quint8 kCmdReadPart = 0x61;

// The controls the hand clicks: IN-A's mute and OUT2's switch on the main
// page, OUT1's gain step up on the gain page.
const char *const kMuteInA = "btninmute1";
const char *const kSwitchOut2 = "btnlimitinon_2";
const char *const kGainUpOut1 = "btnup_5";
constexpr int kInA = 0;
constexpr int kOut1 = 4;
constexpr int kOut2 = 1; // output index

// The processor's program: IN-A live, OUT2 off, OUT1 at a gain a step up
// from which is still in range.
QByteArray processorimage()
{
    QByteArray image = linktest::sampleimage(5);
    image[standin::img::gain + kInA * 3] = 0;
    image[standin::img::outSwitch + kOut2] = 0;
    return image;
}

// The progress window shown now, if any.
QProgressDialog *progresswindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(w))
            if (p->isVisible())
                return p;
    return nullptr;
}

// The child's program: the whole window connecting to the stand-in, which it
// runs itself. It prints the main window's X id once the download has asked
// for a few parts, then how many parts had been asked for when the window
// closed and how many in the end.
int childmain(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> window;
    if (!linktest::startwindow(window, dir))
        return 3;
    window->show();
    standin::Standin s;
    const int line = s.openpty();
    if (line < 0)
        return 3;
    const int unit = s.addunit(line, 0x18, 1);
    if (!linktest::openmainport(s, line))
        return 3;
    linktest::choosedevice(0x18);
    const auto reads = [&] { return linktest::commandcount(s, unit, kCmdReadPart); };
    int readsatclose = -1;
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, [&] { readsatclose = reads(); });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (reads() >= 6) {
            watch.stop();
            std::printf("window=%lu\n", static_cast<unsigned long>(window->winId()));
            std::fflush(stdout);
        }
    });
    watch.start(5);
    QTimer::singleShot(0, window.get(), &MainWindow::connectdevice);
    app.exec();
    window.reset();
    std::printf("reads=%d/%d\n", readsatclose, reads());
    std::fflush(stdout);
    return 0;
}
} // namespace

class TstXDownload : public XServerTest
{
    Q_OBJECT
public:
    using XServerTest::XServerTest;

private:
    XWindowManager wm;
    standin::Standin s;
    int unit = -1;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;
    DeviceData *dev = nullptr;

    // The window the window manager frames a top-level window in (the
    // window itself without a frame).
    Window frameof(Window window) const
    {
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        while (XQueryTree(x, window, &root, &parent, &children, &count)) {
            if (children)
                XFree(children);
            if (parent == root || parent == 0)
                break;
            window = parent;
        }
        return window;
    }
    // The window's place in the server's stacking order (bottom first); -1 when not shown.
    int stacked(QWidget *widget) const
    {
        XSync(x, False);
        const Window frame = frameof(Window(widget->winId()));
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        int at = -1;
        if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i)
                if (children[i] == frame)
                    at = int(i);
            XFree(children);
        }
        return at;
    }
    // A close request for the window sent to the window manager, as a task
    // bar or the frame's close button makes it: the manager asks the program.
    void askclose(unsigned long window) const
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = Window(window);
        e.xclient.message_type = XInternAtom(x, "_NET_CLOSE_WINDOW", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = CurrentTime;
        e.xclient.data.l[1] = 2; // from a pager or task bar: a user's request
        XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XSync(x, False);
    }

    QPushButton *control(const QString &name) const
    {
        QWidget *page = name == QLatin1String(kGainUpOut1) ? static_cast<QWidget *>(gFormGain)
                                                           : static_cast<QWidget *>(gFormMainView);
        return page->findChild<QPushButton *>(name);
    }
    // Shows the page of the control (as its page button does) and tells
    // whether a click at the control's centre lands on it.
    bool reachable(QPushButton *button, QPoint *at) const
    {
        if (button->window() != w.get())
            return false;
        if (gFormGain->isAncestorOf(button))
            gMainApp->showgainview();
        else
            gMainApp->showmainview();
        if (!button->isVisible())
            return false;
        *at = button->mapToGlobal(button->rect().center());
        return QApplication::widgetAt(*at) == button;
    }

    // What the pages show of the three controls, and what the model holds of them.
    QString shown() const
    {
        const QString mute =
            gFormMainView->findChild<QPushButton *>(kMuteInA)->styleSheet().contains("inputbackmute01")
                ? "muted"
                : "live";
        const bool on = gFormMainView->findChild<QPushButton *>(kSwitchOut2)->isChecked();
        const int gain = gFormGain->findChild<QSlider *>("vlSliderGain_5")->value();
        const double box = gFormGain->findChild<QDoubleSpinBox *>("lineEdit_5")->value();
        return QStringLiteral("IN-A %1, OUT2 %2, OUT1 raw %3 (%4 dB)")
            .arg(mute, on ? "on" : "off")
            .arg(gain)
            .arg(box, 0, 'f', 1);
    }
    QString modelled() const
    {
        return QStringLiteral("IN-A %1, OUT2 %2, OUT1 raw %3 (%4 dB)")
            .arg(gMainApp->getmute(kInA) ? "muted" : "live", dev->getoutflag(kOut2) == 1 ? "on" : "off")
            .arg(dev->getgain(kOut1))
            .arg((dev->getgain(kOut1) - 400) / 10.0, 0, 'f', 1);
    }
    // The processor's image, the model and the pages agree.
    void agree()
    {
        const QByteArray image = s.state(unit).image;
        QCOMPARE(linktest::packedimage(dev).toHex(), linktest::modelof(image).toHex());
        QCOMPARE(shown(), modelled());
    }

private slots:
    void initTestCase()
    {
        openx();
        QString why;
        if (!wm.start(x, &why)) {
            if (XvfbServer::mayskip() && QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
                QSKIP(qPrintable(why));
            QFAIL(qPrintable(why));
        }
        QTRY_VERIFY_WITH_TIMEOUT(XWindowManager::announced(x), 10000);
    }
    void cleanupTestCase()
    {
        wm.stop();
        closex();
    }
    void init()
    {
        if (QTest::currentTestFunction() != QLatin1String("clicks"))
            return;
        QVERIFY(linktest::startwindow(w, dir));
        const int line = s.openpty();
        QVERIFY(line >= 0);
        unit = s.addunit(line, 0x18, 1);
        s.update(unit, [](standin::UnitState &u) { u.image = processorimage(); });
        QVERIFY(linktest::openmainport(s, line));
        dev = linktest::choosedevice(0x18);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        s.clearframes();
    }
    void cleanup()
    {
        if (!w)
            return;
        gComCtrl.closemaincom();
        dev = nullptr;
        linktest::endwindow(w, dir);
    }

    // Clicks through the server while the download runs, each once the
    // download has asked for a number of parts: nothing reaches the
    // processor, the model or the pages.
    void clicks_data()
    {
        QTest::addColumn<QStringList>("plan"); // control@parts asked for
        QTest::newRow("IN-A mute early") << QStringList{QString(kMuteInA) + "@3"};
        QTest::newRow("OUT2 switch late") << QStringList{QString(kSwitchOut2) + "@22"};
        QTest::newRow("OUT1 gain step midway") << QStringList{QString(kGainUpOut1) + "@13"};
        QTest::newRow("all three, twice each") << QStringList{
            QString(kMuteInA) + "@2",  QString(kSwitchOut2) + "@6",  QString(kGainUpOut1) + "@10",
            QString(kMuteInA) + "@14", QString(kSwitchOut2) + "@18", QString(kGainUpOut1) + "@22"};
    }
    void clicks()
    {
        QFETCH(QStringList, plan);
        int next = 0;
        QStringList faults;
        QTimer hand;
        hand.setInterval(20);
        connect(&hand, &QTimer::timeout, this, [&] {
            QProgressDialog *progress = progresswindow();
            if (!progress || !viewable(progress))
                return;
            // The "Load Data" window is a transient of the main window and
            // stays above it, whatever was clicked.
            Window owner = 0;
            if (!XGetTransientForHint(x, Window(progress->winId()), &owner) || owner != Window(w->winId()))
                faults << QStringLiteral("the progress window is not a transient of the main window");
            if (stacked(progress) <= stacked(w.get()))
                faults << QStringLiteral("the progress window is below the main window after %1 clicks")
                              .arg(next);
            if (next >= plan.size())
                return;
            const QStringList step = plan.at(next).split('@');
            if (linktest::commandcount(s, unit, kCmdReadPart) < step.at(1).toInt())
                return;
            QPoint at;
            if (!reachable(control(step.at(0)), &at))
                return; // the page is being shown: on the next tick
            xinput::click(x, at);
            ++next;
        });
        hand.start();
        w->connectdevice();
        hand.stop();
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        QCOMPARE(next, plan.size());
        QCOMPARE(progresswindow(), nullptr);
        QCOMPARE(dev->getcomconnected(), 1);
        QVERIFY(linktest::commandcount(s, unit, kCmdReadPart) >= 26);

        // The processor, the model and the pages agree; the clicks went
        // nowhere, then or later.
        agree();
        QTest::qWait(300);
        for (const standin::FrameRecord &r : s.commands(unit))
            QVERIFY2(r.command() == kCmdConnect || r.command() == kCmdReadPart || r.command() == kCmdMeters,
                     qPrintable(standin::describe(r)));
        QCOMPARE(s.state(unit).image.toHex(), processorimage().toHex());

        // After the download the main window has the keyboard again and the
        // same controls work: each click goes to the processor, and the three
        // agree again.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(w.get()));
        const QByteArray before = s.state(unit).image;
        for (const char *name : {kMuteInA, kSwitchOut2, kGainUpOut1}) {
            QPoint at;
            QTRY_VERIFY(reachable(control(name), &at));
            xinput::click(x, at);
            QTest::qWait(100);
        }
        QTRY_COMPARE_WITH_TIMEOUT(linktest::commandcount(s, unit, kCmdOutputFlag), 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(linktest::commandcount(s, unit, kCmdGain) >= 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(quint8(s.state(unit).image.at(standin::img::gain + kOut1 * 3 + 1)) !=
                                     quint8(before.at(standin::img::gain + kOut1 * 3 + 1)),
                                 5000);
        QVERIFY(gMainApp->getmute(kInA));
        QCOMPARE(dev->getoutflag(kOut2), 1);
        agree();
    }

    // The window manager's close request during the download: the program
    // ends, at once, without asking for the rest of the parts.
    void closeduringdownload()
    {
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--child")});
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        QVERIFY(child.waitForStarted());
        QString out;
        unsigned long window = 0;
        QElapsedTimer waiting;
        waiting.start();
        while (window == 0 && waiting.elapsed() < 30000 && child.state() == QProcess::Running) {
            child.waitForReadyRead(100);
            out += QString::fromLocal8Bit(child.readAllStandardOutput());
            const int at = out.indexOf(QLatin1String("window="));
            const int end = out.indexOf('\n', at);
            if (at >= 0 && end > at)
                window = out.mid(at + 7, end - at - 7).toULong();
        }
        if (window == 0)
            child.kill();
        QVERIFY2(window != 0, qPrintable(out));
        // A click on the main window first, as an impatient user makes.
        XWindowAttributes a;
        QVERIFY(XGetWindowAttributes(x, Window(window), &a));
        Window child_ = 0;
        int rx = 0;
        int ry = 0;
        XTranslateCoordinates(x, Window(window), DefaultRootWindow(x), a.width / 2, a.height / 2, &rx, &ry,
                              &child_);
        xinput::click(x, QPoint(rx, ry));
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        askclose(window);
        const bool ended = child.waitForFinished(10000);
        const qint64 ms = clock.elapsed();
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        out += QString::fromLocal8Bit(child.readAllStandardOutput());
        QVERIFY2(ended, "the program still ran 10 s after the close request");
        qInfo("the program ended %lld ms after the close request", ms);
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        // The download ended with the window: at most the part then on its
        // way was asked for after it, never the rest of the 26.
        const QRegularExpression counts("reads=(-?\\d+)/(\\d+)");
        const QRegularExpressionMatch m = counts.match(out);
        QVERIFY2(m.hasMatch(), qPrintable(out));
        QVERIFY2(m.captured(1).toInt() >= 6, qPrintable(out));
        QVERIFY2(m.captured(2).toInt() <= m.captured(1).toInt() + 1, qPrintable(out));
        QVERIFY2(m.captured(2).toInt() < 26, qPrintable(out));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return childmain(argc, argv);
    return XvfbServer::runtest<TstXDownload>(argc, argv);
}

#include "tst_xdownload.moc"
