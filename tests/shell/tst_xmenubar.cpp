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
// (the window then shows where the focus is). Without Xvfb the test skips; without openbox its
// openbox rows skip too, under CI they fail.
//
// Clear All Device chosen while the tool bar's Open writes a file into the
// processor is refused: its box comes up over the window, the file's frames
// keep going out while it is up, and its Ok button closes it; the device
// stays listed and connected.

#include "programfile.h"
#include "prompts.h"
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
#include <QStandardPaths>
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
        if (openbox) {
            QString why;
            if (!wm.start(x, &why)) {
                if (XvfbServer::mayskip() &&
                    QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
                    QSKIP(qPrintable(why));
                QFAIL(qPrintable(why));
            }
            QTRY_VERIFY_WITH_TIMEOUT(XWindowManager::announced(x), 10000);
        }
        MainApp::settimescale(0.05); // the connect's download
        fx.open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(w.get()));
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
        if (openbox) {
            QString why;
            if (!wm.start(x, &why)) {
                if (XvfbServer::mayskip() &&
                    QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
                    QSKIP(qPrintable(why));
                QFAIL(qPrintable(why));
            }
            QTRY_VERIFY_WITH_TIMEOUT(XWindowManager::announced(x), 10000);
        }
        MainApp::settimescale(0.05); // the connect's download
        fx.open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(w.get()));
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
            QStringList lit;
            for (const char *name : kTitles)
                if (title(name)->underMouse() || title(name)->isDown())
                    lit << name;
            QCOMPARE(lit, QStringList{then});
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
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXMenuBar>(argc, argv);
}

#include "tst_xmenubar.moc"
