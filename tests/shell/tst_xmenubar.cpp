// The menu row of the main window after an entry of one of its menus has run,
// as a user meets it on an X server of the test's own (Xvfb), with a window
// manager (openbox) and without, the processor stand-in on a pseudo-terminal.
// A menu is opened by the pointer (moved in steps and clicked through the
// server) or by the keyboard (Space on the focused title, then the arrow keys
// and Return, while the pointer leaves the title it rested on); the pointer
// moves away while the entry runs. Once it has ended every title is drawn as
// in the idle row (the server's pixels) and none counts itself under the
// pointer or pressed; the pointer back on the title draws it hovered, and one
// click opens its menu. A menu may also be dragged through (pressed on the
// title, let go on the entry). The about box is closed by its button, Return
// or Escape, the pointer meanwhile over the row or off it; the pointer then
// on another title lights that title alone (the idle row's pixels but for
// that title's hover), also when the user pressed Tab in the window before
// (the window then shows where the focus is).
// A title clicked takes the keyboard focus: the keys pressed after its menu
// act on the row (Escape, the arrows from title to title round the row, Space
// opening the menu of the title that has the focus), never on the page
// control that had the focus before, connected (the GAIN page's fader), with
// the device offline or with no device listed. A page control clicked after
// the menu gets the keys again. A title that keeps the focus after its menu
// looks idle, and the pointer on another title lights that one alone.
// Clear All Device chosen while the tool bar's Open writes a file into the
// processor is refused: its box comes up over the window, the file's frames
// keep going out while it is up, and its Ok button closes it; the device
// stays listed and connected.
// Without Xvfb the test skips; without openbox its openbox rows skip too,
// under CI they fail.

#include "formgain.h"
#include "programfile.h"
#include "prompts.h"
#include "sliderhandle.h"
#include "startup.h"
#include "xinput.h"
#include "xscreen.h"
#include "xstandintest.h"
#include "xvfbserver.h"
#include "xwindowmanager.h"

#include <QApplication>
#include <QCursor>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <functional>
#include <memory>

namespace
{
const char *const kTitles[] = {"menuFile", "menuView", "menuEdit", "menuHelp", "menuLanguage"};
using Step = std::function<bool()>; // true when done: the hand goes on to the next

// The open dialog answered with a file; a box not waited for is the real
// one, on the server. A box the program would wait for is noted and answered
// at once: shown, it would hold up the hand's own steps until closed.
class ChosenFile : public PromptBackend
{
public:
    explicit ChosenFile(const QString &file)
        : file(file)
        , real(Prompts::backend())
    {
        Prompts::setBackend(this);
    }
    ~ChosenFile() override { Prompts::setBackend(nullptr); }
    QMessageBox::StandardButton message(QWidget *, Icon, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        waited << title + '|' + text;
        return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
    }
    void notice(QWidget *parent, Icon icon, const QString &title, const QString &text) override
    {
        real->notice(parent, icon, title, text);
    }
    bool confirm(QWidget *, const QString &title, const QString &text, const QString &,
                 const QString &) override
    {
        waited << title + '|' + text;
        return false;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        ++opened;
        return file;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    const QString file;
    int opened = 0;
    QStringList waited;

private:
    PromptBackend *real;
};
} // namespace

class TstXMenuBar : public XStandinTest
{
    Q_OBJECT
public:
    using XStandinTest::XStandinTest;

private:
    XWindowManager wm;

    QPushButton *title(const QString &name) const { return w->findChild<QPushButton *>(name); }
    QRect row() const
    {
        const QWidget *bar = w->findChild<QWidget *>(QStringLiteral("menuBar"));
        return QRect(bar->mapToGlobal(QPoint()), bar->size());
    }
    static std::function<QPoint()> centre(QWidget *widget)
    {
        return [=] { return widget->mapToGlobal(widget->rect().center()); };
    }
    QPoint pagemiddle() const { return w->mapToGlobal(w->rect().center()); }
    // The pointer moved to where() in six steps, one a tick.
    Step pointerto(std::function<QPoint()> where) const
    {
        auto from = std::make_shared<QPoint>();
        auto i = std::make_shared<int>(0);
        return [=] {
            if ((*i)++ == 0)
                *from = QCursor::pos();
            xinput::move(x, *from + (where() - *from) * *i / 6);
            return *i >= 6;
        };
    }
    Step key(const char *name) const
    {
        return [=] { return xinput::key(x, name); };
    }
    Step click() const
    {
        return [=] { return xinput::click(x, QCursor::pos()), true; };
    }
    // Runs the steps, one a tick of a timer that also ticks inside the
    // menu's and the operation's own event loops, until done() holds. A step
    // that waits more than 15 s fails the row and closes what is open.
    void run(const QList<Step> &steps, const std::function<bool()> &done)
    {
        int next = 0;
        QElapsedTimer stepclock;
        stepclock.start();
        QString stuck;
        QTimer hand;
        connect(&hand, &QTimer::timeout, this, [&] {
            if (next < steps.size() && steps[next]()) {
                ++next;
                stepclock.restart();
            } else if (next < steps.size() && stepclock.elapsed() > 15000 && stuck.isEmpty()) {
                stuck = QStringLiteral("step %1 of %2 did not end").arg(next + 1).arg(steps.size());
                next = int(steps.size());
                for (QWidget *t : QApplication::topLevelWidgets())
                    if (t != w.get())
                        t->hide();
            }
        });
        hand.start(20);
        QTRY_VERIFY_WITH_TIMEOUT((next == steps.size() && done()) || !stuck.isEmpty(), 60000);
        QVERIFY2(stuck.isEmpty(), qPrintable(stuck));
    }

    // The row's window manager, when it has one, started and announced. False
    // when the row cannot go on (skipped or failed).
    bool startwm(bool openbox)
    {
        if (!openbox)
            return true;
        QString why;
        if (!wm.start(x, &why)) {
            if (XvfbServer::mayskip() && QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
                return QTest::qSkip(qPrintable(why), __FILE__, __LINE__), false;
            return QTest::qFail(qPrintable(why), __FILE__, __LINE__), false;
        }
        return QTest::qWaitFor([this] { return XWindowManager::announced(x); }, 10000) ||
               (QTest::qFail("the window manager was not announced", __FILE__, __LINE__), false);
    }
    // The window joined to the stand-in, connected (its download at a
    // twentieth of its waits), shown and active.
    bool openshown()
    {
        MainApp::settimescale(0.05);
        fx.open();
        if (QTest::currentTestFailed())
            return false;
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return QTest::qFail("the window was not shown", __FILE__, __LINE__), false;
        w->activateWindow();
        if (!QTest::qWaitFor([this] { return QApplication::activeWindow() == w.get(); }, 5000))
            return QTest::qFail("the window did not become active", __FILE__, __LINE__), false;
        return true;
    }

private slots:
    void initTestCase() { openx(); }
    void cleanupTestCase() { closex(); }
    void cleanup()
    {
        fx.close();
        MainApp::settimescale(1);
        wm.stop();
        qunsetenv("DSPMANAGER_PORTS");
    }

    void clearduringopen_data()
    {
        QTest::addColumn<bool>("openbox");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }
    void clearduringopen()
    {
        QFETCH(bool, openbox);
        if (!startwm(openbox) || !openshown())
            return;
        // A program file of the device's own data; the Open at half its
        // waits: the box comes up while most of the file is still to go.
        const QString file = dir.filePath(QStringLiteral("show.K91"));
        QString reason;
        QVERIFY2(saveprogramfile(file, *fx.cur(), nullptr, &reason) == ProgramFileStatus::Ok,
                 qPrintable(reason));
        MainApp::settimescale(0.5);
        s.clearframes();
        ChosenFile chooser(file);
        const auto count = [this](quint8 code) { return int(fx.sent(code).size()); };

        QPushButton *open = w->findChild<QPushButton *>(QStringLiteral("Down_Button"));
        QPushButton *t = title(QStringLiteral("menuFile"));
        QMenu *m = t->menu();
        QAction *clear = w->fileaction(3);
        QVERIFY(open && m && clear);
        const auto box = []() -> QMessageBox * {
            for (QWidget *b : QApplication::topLevelWidgets())
                if (auto *mb = qobject_cast<QMessageBox *>(b))
                    if (mb->isVisible())
                        return mb;
            return nullptr;
        };
        QString shown;
        int atbox = -1;
        int whileup = -1;
        const auto ok = [=] {
            QAbstractButton *b = box() ? box()->button(QMessageBox::Ok) : nullptr;
            return b ? b->mapToGlobal(b->rect().center()) : QCursor::pos();
        };
        // The Open clicked; Clear All Device chosen from the File menu while
        // the Open waits before its transfer (the clicks wait for it) or
        // transfers; its box up while parts of the file go on going out;
        // then its Ok clicked.
        QList<Step> steps;
        steps << pointerto(centre(open)) << click() << [&] { return chooser.opened > 0; }
              << pointerto(centre(t)) << click() << [=] { return m->isVisible(); }
              << pointerto([=] { return m->mapToGlobal(m->actionGeometry(clear).center()); }) << click() <<
            [&] {
                if (!box() || !viewable(box()))
                    return false;
                shown = box()->windowTitle() + '|' + box()->text();
                atbox = count(0x60);
                return true;
            } <<
            [&] {
                if (!box() || count(0x60) <= atbox)
                    return false;
                whileup = count(0x60);
                return true;
            } << pointerto(ok)
              << click();
        run(steps, [&] { return !box() && count(0x62) > 0 && !w->exchangerunning(); });
        QCOMPARE(chooser.waited.join(QLatin1String("; ")), QString());
        QCOMPARE(shown,
                 QStringLiteral("Clear All Device|Another operation is running. Please Try Again when it "
                                "has ended"));
        QVERIFY2(
            atbox < whileup,
            qPrintable(
                QStringLiteral("%1 parts when the box came, %2 while it was up").arg(atbox).arg(whileup)));
        // The whole file went out, then the recall; no disconnect.
        QCOMPARE(count(0x60), 26);
        QCOMPARE(count(0x62), 1);
        QCOMPARE(count(0x03), 0);
        QCOMPARE(gDeviceList.size(), 1);
        QCOMPARE(fx.cur()->getcomconnected(), 1);
        // The box closed by its button is gone, not kept hidden.
        QTRY_VERIFY(w->findChildren<QMessageBox *>().isEmpty());
    }

    void afteroperation_data()
    {
        QTest::addColumn<bool>("openbox");
        QTest::addColumn<QString>("menu");  // the title's object name
        QTest::addColumn<QString>("entry"); // the entry chosen
        QTest::addColumn<QString>("how");   // "pointer" or "keys"
        QTest::addColumn<bool>("silent");   // the processor answers nothing meanwhile
        QTest::addColumn<QString>("close"); // how the about box closes: "Escape", "Return", "button"
        QTest::addColumn<QString>("rest");  // where the pointer rests meanwhile: off the row, "title", "then"
        QTest::addColumn<QString>("then");  // the title the pointer goes to at the end, or none
        QTest::addColumn<bool>("tabbed");   // Tab was pressed in the window before
        for (const bool openbox : {false, true}) {
            const auto add = [openbox](const char *name, const char *menu, const char *entry, const char *how,
                                       bool silent, const char *close = "Escape", const char *rest = "",
                                       const char *then = "") {
                // A mouse user who has used the keyboard in the window before.
                const bool tabbed = !*then ? false : QByteArray(how) != "keys";
                QTest::newRow(qPrintable(QString(name) + (openbox ? ", openbox" : "")))
                    << openbox << QString(menu) << QString(entry) << QString(how) << silent << QString(close)
                    << QString(rest) << QString(then) << tabbed;
            };
            // The serial search over every address.
            add("Find Online, pointer", "menuView", "Find Online", "pointer", false);
            add("Find Online, keys", "menuView", "Find Online", "keys", false);
            // The disconnect's wait, user input dropped, to its end.
            add("Clear All Device, processor silent, pointer", "menuFile", "Clear All Device", "pointer",
                true);
            add("Clear All Device, keys", "menuFile", "Clear All Device", "keys", false);
            // A modal box inside the menu's call, closed with Escape.
            add("About, pointer", "menuHelp", "About", "pointer", false);
            // The about box closed each way, the pointer resting off the row, on the About
            // title or already on the next title meanwhile; then the pointer on that next
            // title lights that one alone.
            add("About by its button, then File", "menuHelp", "About", "pointer", false, "button", "",
                "menuFile");
            add("About by Return, then Remote", "menuHelp", "About", "pointer", false, "Return", "",
                "menuEdit");
            add("About by Escape on its title, then Device", "menuHelp", "About", "pointer", false, "Escape",
                "title", "menuView");
            add("About by keys and Return on Language, then Language", "menuHelp", "About", "keys", false,
                "Return", "then", "menuLanguage");
            add("About dragged, by its button, then File", "menuHelp", "About", "drag", false, "button", "",
                "menuFile");
            add("About dragged, by Escape on Device, then Device", "menuHelp", "About", "drag", false,
                "Escape", "then", "menuView");
        }
    }
    void afteroperation()
    {
        QFETCH(bool, openbox);
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(QString, how);
        QFETCH(bool, silent);
        QFETCH(QString, close);
        QFETCH(QString, rest);
        QFETCH(QString, then);
        QFETCH(bool, tabbed);
        if (!startwm(openbox) || !openshown())
            return;
        qputenv("DSPMANAGER_PORTS", s.ptypath(fx.line).toLocal8Bit());
        MainApp::settimescale(0.5);
        run({pointerto([this] { return pagemiddle(); })}, [] { return true; });
        // Tab leaves the window showing the focus from then on, mouse clicks or not.
        if (tabbed) {
            QWidget *before = QApplication::focusWidget();
            run({key("Tab")}, [=] { return QApplication::focusWidget() != before; });
        }
        QTest::qWait(200);
        const QImage idle = xscreen::grab(x, row());
        QVERIFY(!idle.isNull());
        // The idle row with the closing title alone hovered, and back to idle.
        QImage hovered;
        if (!then.isEmpty()) {
            QPushButton *h = title(then);
            run({pointerto(centre(h))}, [=] { return h->underMouse(); });
            QTRY_VERIFY_WITH_TIMEOUT(xscreen::grab(x, row()) != idle, 3000);
            QTest::qWait(200);
            hovered = xscreen::grab(x, row());
            run({pointerto([this] { return pagemiddle(); })}, [] { return true; });
            QTRY_VERIFY_WITH_TIMEOUT(xscreen::grab(x, row()) == idle, 3000);
        }

        QPushButton *t = title(menu);
        QMenu *m = t->menu();
        QAction *chosen = nullptr;
        for (QAction *a : m->actions())
            if (a->text() == entry)
                chosen = a;
        QVERIFY(chosen);
        const int downs = m->actions().indexOf(chosen) + 1; // from no entry to the chosen one
        bool ended = false;
        connect(chosen, &QAction::triggered, this, [&] { ended = true; });
        if (silent)
            s.addfault(standin::Fault()); // no reply to anything from now on

        QList<Step> steps;
        const Step menuopen = [=] { return m->isVisible(); };
        if (how == "drag") {
            // Pressed on the title, held into the menu and let go on the entry.
            steps << pointerto(centre(t)) << [this] { return xinput::button(x, true), true; } << menuopen
                  << pointerto([=] { return m->mapToGlobal(m->actionGeometry(chosen).center()); })
                  << [this] { return xinput::button(x, false), true; };
        } else if (how == "pointer") {
            steps << pointerto(centre(t)) << click() << menuopen
                  << pointerto([=] { return m->mapToGlobal(m->actionGeometry(chosen).center()); }) << click();
        } else {
            // The pointer rests on another title, then leaves the row while the menu is open
            // (or stays on the next title). The titles have no shortcut: Tab brings the focus
            // to one.
            QPushButton *other = title(rest == "then" ? then : menu == "menuEdit" ? "menuHelp" : "menuEdit");
            steps << pointerto(centre(other)) << [=] { return t->setFocus(Qt::TabFocusReason), true; }
                  << key("space") << menuopen;
            if (rest != "then")
                steps << pointerto([this] { return pagemiddle(); });
            for (int i = 0; i < downs; ++i)
                steps << key("Down");
            steps << key("Return");
        }
        // A user closing the about box goes on from where the pointer chose the entry.
        if (then.isEmpty())
            steps << pointerto([this] { return pagemiddle(); });
        if (entry == "About") {
            const auto box = [this]() -> QWidget * {
                QWidget *b = QApplication::activeModalWidget();
                return b && b != w.get() && viewable(b) ? b : nullptr;
            };
            steps << [=] { return box() != nullptr; };
            // Over the row while the box is up: the blocked window hears nothing of it.
            if (rest == "title")
                steps << pointerto(centre(t));
            else if (rest == "then")
                steps << pointerto(centre(t)) << pointerto(centre(title(then)));
            if (close == "button") {
                const auto ok = [=] {
                    const QList<QDialogButtonBox *> boxes = box()->findChildren<QDialogButtonBox *>();
                    QPushButton *b = boxes.isEmpty() ? nullptr : boxes.first()->button(QDialogButtonBox::Ok);
                    return b ? b->mapToGlobal(b->rect().center()) : QCursor::pos();
                };
                steps << [=] { return box()->isActiveWindow(); } << pointerto(ok) << click();
            } else {
                steps << key(close == "Return" ? "Return" : "Escape");
            }
        }
        run(steps, [&] { return ended && !t->isDown() && !m->isVisible(); });
        s.clearfaults();
        // A window manager gives the window back its activation (and its focus) after a box.
        if (openbox)
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget *>(w.get()), 10000);

        // The row as when idle: no title under the pointer nor pressed, the same pixels.
        QStringList left;
        for (const char *name : kTitles)
            if (title(name)->underMouse() || title(name)->isDown())
                left << name;
        // (A title the pointer rests on may be lit.)
        if (rest.isEmpty()) {
            QVERIFY2(left.isEmpty(), qPrintable("drawn hovered or pressed: " + left.join(", ")));
            QTRY_VERIFY_WITH_TIMEOUT(xscreen::grab(x, row()) == idle, 3000);
        }

        // The pointer on another title lights that one alone.
        if (!then.isEmpty()) {
            QPushButton *h = title(then);
            run({pointerto(centre(h))}, [=] { return h->underMouse(); });
            // The title the pointer left hears of it after the one it entered
            // on a busy machine: the two may count as under the pointer for a
            // moment.
            const auto lit = [this] {
                QStringList out;
                for (const char *name : kTitles)
                    if (title(name)->underMouse() || title(name)->isDown())
                        out << name;
                return out;
            };
            QTRY_COMPARE_WITH_TIMEOUT(lit(), QStringList{then}, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(xscreen::grab(x, row()) == hovered, 3000);
        }

        // The pointer back on the title draws it hovered, and one click opens its menu.
        QElapsedTimer clock;
        qint64 opened = -1;
        run({pointerto(centre(t)), [=] { return t->underMouse(); },
             [&] { return clock.start(), xinput::click(x, QCursor::pos()), true; },
             [&] { return m->isVisible() && (opened = clock.elapsed(), true); }, key("Escape")},
            [&] { return !m->isVisible() && !t->isDown(); });
        qInfo("the menu opened %lld ms after the click", opened);
    }

    // The keys a user presses after a title's menu, from a start: "gain" (connected, the GAIN
    // page shown), "offline" (a device listed, not connected, the main page; Tab pressed there)
    // or "nodevice" (a fresh start with no device listed). The script's words: "fader" (OUT1's
    // fader handle clicked, it has the focus), "click:<title>" (the title clicked, its menu
    // open), "key:<key>", "focus:<title>" and "open:<title>" (waited for: the title has the
    // focus, its menu is open), "look:<title>" (the pointer on the title, or "look:none" off the
    // row: the row looks as it did so at the start, that title alone lit), "marked" (the pointer
    // off the row, the row does not look idle: the title the keys moved the focus to shows it).
    // The device's values then are as before the keys but for OUT1's gain, `step` raw steps up;
    // `frames` frames reached the processor (the last, if any, OUT1's gain).
    void keysaftermenu_data()
    {
        QTest::addColumn<bool>("openbox");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("frames");
        for (const bool openbox : {false, true}) {
            const auto add = [openbox](const char *name, const char *start, const char *script, int step,
                                       int frames) {
                QTest::newRow(qPrintable(QString(name) + (openbox ? ", openbox" : "")))
                    << openbox << QString(start) << QString(script) << step << frames;
            };
            // The fader had the focus: the keys go to the row, the Device menu opens; the
            // fader clicked again takes the keys, one step up and its one frame.
            add("GAIN fader, File, Escape, Right, Space", "gain",
                "fader click:menuFile key:Escape key:Right key:space open:menuView key:Escape focus:menuView "
                "fader key:Up",
                1, 1);
            add("GAIN fader, File, Escape, then fader, Up", "gain",
                "fader click:menuFile key:Escape focus:menuFile fader key:Up", 1, 1);
            // Left from the first title goes round to the last ones.
            add("GAIN fader, File, Escape, Left, Left, Space", "gain",
                "fader click:menuFile key:Escape key:Left focus:menuLanguage key:Left focus:menuHelp "
                "key:space "
                "open:menuHelp key:Escape focus:menuHelp key:Right key:Right focus:menuFile key:Down "
                "focus:menuView",
                0, 0);
            // Tab used on the main page: the window draws where the focus is.
            add("offline, Tab, File, Escape, Right, Space", "offline",
                "click:menuFile key:Escape key:Right key:space open:menuView key:Escape focus:menuView", 0,
                0);
            add("offline, Tab, Help, Escape, looks", "offline",
                "click:menuHelp key:Escape focus:menuHelp look:none look:menuFile key:Right "
                "focus:menuLanguage "
                "marked look:menuView look:none",
                0, 0);
            add("no device, File, Escape, Right, Space", "nodevice",
                "click:menuFile key:Escape focus:menuFile key:Right key:space open:menuView key:Escape "
                "focus:menuView look:none",
                0, 0);
        }
    }
    void keysaftermenu()
    {
        QFETCH(bool, openbox);
        QFETCH(QString, start);
        QFETCH(QString, script);
        QFETCH(int, step);
        QFETCH(int, frames);
        if (!startwm(openbox))
            return;
        MainApp::settimescale(0.05); // the connect's download
        if (start == "gain") {
            fx.open();
        } else {
            QVERIFY(fx.dir.isValid());
            QVERIFY(QDir::setCurrent(fx.dir.path()));
            QFile ini(QStringLiteral("UserConfig.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[General]\nLangue=en\n");
            ini.close();
            w.reset(startmainwindow(4));
            if (start == "offline") {
                w->fileaction(0)->trigger();
                gMainApp->setdevtype(0x18);
                gMainApp->setdevaddr(1);
                w->getbntnum(0);
            }
        }
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget *>(w.get()), 10000);
        QSlider *fader = nullptr;
        if (start == "gain") {
            w->on_pushButton_2_clicked();
            w->setButtonView(1);
            fader = gFormGain->findChild<QSlider *>(QStringLiteral("vlSliderGain_5")); // OUT1
            QVERIFY(fader);
            QTRY_VERIFY(fader->isVisible());
        }
        run({pointerto([this] { return pagemiddle(); })}, [] { return true; });
        if (start == "offline") {
            QWidget *before = QApplication::focusWidget();
            run({key("Tab")}, [=] { return QApplication::focusWidget() != before; });
        }

        const QStringList words = script.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // The row as it looks with the pointer off it, or on one title alone.
        QTest::qWait(200);
        QStringList shown; // the looks to record: off the row first, the idle row
        for (const QString &word : words) {
            const QString name = word == "marked" ? QStringLiteral("none") : word.mid(5);
            if ((word == "marked" || word.startsWith(QLatin1String("look:"))) && !shown.contains(name))
                shown << name;
        }
        if (shown.removeAll(QStringLiteral("none")))
            shown.prepend(QStringLiteral("none"));
        QHash<QString, QImage> looks;
        for (const QString &name : shown) {
            if (name == "none") {
                run({pointerto([this] { return pagemiddle(); })}, [] { return true; });
            } else {
                QPushButton *h = title(name);
                run({pointerto(centre(h))}, [=] { return h->underMouse(); });
                QTRY_VERIFY_WITH_TIMEOUT(xscreen::grab(x, row()) != looks.value(QStringLiteral("none")),
                                         10000);
            }
            QTest::qWait(200);
            looks[name] = xscreen::grab(x, row());
            QVERIFY(!looks[name].isNull());
        }
        run({pointerto([this] { return pagemiddle(); })}, [] { return true; });

        // The device's values the keys could reach: every gain, every routing switch.
        const auto values = [this] {
            QVector<int> v;
            if (DeviceData *d = gMainApp->getcurdevice()) {
                for (int ch = 0; ch < 12; ++ch)
                    v << d->getgain(ch);
                for (int o = 0; o < 8; ++o)
                    for (int in = 0; in < 4; ++in)
                        v << d->getroutebit(o, in);
            }
            return v;
        };
        QVector<int> expected = values();
        if (step)
            expected[4] += step;
        // What the user's hand sent: every command but the level meters' reads, which the
        // GAIN page sends on its own.
        const auto handsent = [this] {
            QVector<standin::FrameRecord> out;
            for (const standin::FrameRecord &r : s.commands(fx.unit))
                if (r.command() != 0x56)
                    out << r;
            return out;
        };
        const int before = start == "gain" ? int(handsent().size()) : 0;

        QList<Step> steps;
        for (const QString &word : words) {
            const QString arg = word.section(QLatin1Char(':'), 1);
            if (word == "fader") {
                QVERIFY(fader);
                steps << pointerto([=] { return fader->mapToGlobal(handlerect(fader).center()); }) << click()
                      << [=] { return fader->hasFocus(); };
            } else if (word.startsWith(QLatin1String("click:"))) {
                QPushButton *t = title(arg);
                steps << pointerto(centre(t)) << click() << [=] { return t->menu()->isVisible(); };
            } else if (word.startsWith(QLatin1String("key:"))) {
                const QByteArray name = arg.toLatin1();
                steps << [=] { return xinput::key(x, name.constData()); };
            } else if (word.startsWith(QLatin1String("focus:"))) {
                QPushButton *t = title(arg);
                steps << [=] { return t->hasFocus(); };
            } else if (word.startsWith(QLatin1String("open:"))) {
                QPushButton *t = title(arg);
                steps << [=] { return t->menu()->isVisible(); };
            } else if (word == "marked") {
                // The title the keys brought the focus to shows it, the pointer off the row.
                const QImage idle = looks.value(QStringLiteral("none"));
                steps << pointerto([this] { return pagemiddle(); })
                      << [=] { return xscreen::grab(x, row()) != idle; };
            } else if (word.startsWith(QLatin1String("look:"))) {
                const QImage want = looks.value(arg);
                if (arg == "none") {
                    steps << pointerto([this] { return pagemiddle(); });
                } else {
                    QPushButton *h = title(arg);
                    steps << pointerto(centre(h)) << [=] { return h->underMouse(); };
                }
                // The look holds once drawn: the next word waits for it.
                steps << [=] { return xscreen::grab(x, row()) == want; };
            } else {
                QFAIL(qPrintable("no such word: " + word));
            }
        }
        run(steps, [] { return true; });

        // The keys changed nothing but what the fader took. A script ending on a key has sent
        // it when the run ends: the window may not have taken it yet. Every other script ends
        // on a look or a focus the keys before it lead to.
        QTRY_COMPARE_WITH_TIMEOUT(values(), expected, 10000);
        if (start == "gain") {
            // The serial line keeps the frames' order: the fader's frame came after any other.
            QTRY_VERIFY_WITH_TIMEOUT(handsent().size() >= before + frames, 10000);
            const QVector<standin::FrameRecord> came = handsent().mid(before);
            QStringList bytes;
            for (const standin::FrameRecord &r : came)
                bytes << QString::fromLatin1(r.bytes.toHex(' '));
            QVERIFY2(came.size() == frames, qPrintable("sent: " + bytes.join(", ")));
            if (frames)
                QCOMPARE(came.last().command(), quint8(0x50)); // OUT1's gain
        }
        for (const char *name : kTitles)
            QVERIFY2(!title(name)->menu() || !title(name)->menu()->isVisible(), name);
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXMenuBar>(argc, argv);
}

#include "tst_xmenubar.moc"
