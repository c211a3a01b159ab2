// Return and Escape in the dialogs of the program page, pressed through the X
// server (the xcb platform on an Xvfb of the test's own) as a keyboard does,
// in the whole window joined to the processor stand-in: a question before
// data is removed keeps the data on Return and on Escape and goes ahead only
// on its first button, clicked or reached by Tab; Return in a dialog's text
// field presses the dialog's action, Escape leaves it. Without Xvfb the test
// skips.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "formsetview.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "standin.h"
#include "standinwindow.h"
#include "startup.h"
#include "tst_connect_support.h"
#include "xinput.h"
#include "xstandintest.h"
#include "xvfbserver.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "xlib.h"

#include <functional>
#include <memory>

namespace
{
const char *const kSeen = "xkeysSeen";

// The button of a question box that goes ahead.
QPushButton *acceptbutton(QWidget *box)
{
    auto *b = qobject_cast<QMessageBox *>(box);
    if (!b)
        return nullptr;
    for (QAbstractButton *button : b->buttons())
        if (b->buttonRole(button) == QMessageBox::AcceptRole || b->buttonRole(button) == QMessageBox::YesRole)
            return qobject_cast<QPushButton *>(button);
    return nullptr;
}
} // namespace

class TstXKeys : public XStandinTest
{
    Q_OBJECT
public:
    using XStandinTest::XStandinTest;

private:
    // What the user does to the next modal window of class `kind` once it has
    // the keyboard.
    struct Step {
        QString kind;
        std::function<void(QWidget *)> act;
        bool again = false; // on a window a step acted on before, once it is on top again
    };
    // The class and title of every modal window that came up.
    QStringList shown;

    int sent(int command) const { return fx.sent(command).size(); }

    // Runs open, which returns when the modal windows it shows are closed,
    // while the steps are done in turn, each on the next new modal window of
    // its class (a step `again`: on the window a step acted on before, once
    // that is on top again). A box that comes up after the last step is
    // answered by Return (its OK). A window left waiting 10 s is closed, and
    // the steps not done are left in `steps`.
    void drive(const std::function<void()> &open, QList<Step> &steps)
    {
        shown.clear();
        bool acting = false;
        int idle = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&]() {
            if (acting)
                return;
            QWidget *m = QApplication::activeModalWidget();
            // The main window is modal itself; the progress window is the
            // operation's own, not a question.
            if (!m || m == w.get() || qobject_cast<QProgressDialog *>(m))
                return;
            if (++idle > 500) {
                shown << QStringLiteral("left waiting: %1").arg(m->windowTitle());
                idle = 0;
                m->close();
                return;
            }
            const bool again = !steps.isEmpty() && steps.first().again;
            if (m->property(kSeen).toBool() != again)
                return;
            // Keys go where the X server sends the keyboard: wait for a new
            // window to have it, as a user waits for the window to appear.
            if (!again && QApplication::activeWindow() != m)
                return;
            const QString kind = QString::fromLatin1(m->metaObject()->className());
            if (!steps.isEmpty() && steps.first().kind != kind)
                return;
            acting = true;
            idle = 0;
            if (!again)
                shown << kind + QLatin1Char('|') + m->windowTitle();
            m->setProperty(kSeen, true);
            QTest::qWait(100);
            if (steps.isEmpty()) {
                xinput::key(x, "Return");
            } else {
                const Step step = steps.takeFirst();
                step.act(m);
            }
            acting = false;
        });
        poll.start(20);
        open();
        poll.stop();
    }

    // The actions below only send input to the X server: the application
    // handles it after them, in order, as it handles a user's. (Handling it
    // inside an action could open the next window while the action runs.)

    // The keys, one after the other, as X key names separated by blanks.
    Step keys(const QString &kind, const QString &names) const
    {
        return {kind, [this, names](QWidget *) {
                    for (const QString &k : names.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                        QVERIFY2(xinput::key(x, qPrintable(k)), qPrintable(k));
                }};
    }
    // Waits until a text field of the window has the keyboard: a window just
    // shown gets it some time after it is active on a loaded machine.
    static void fieldfocused(QWidget *window)
    {
        auto focused = [window]() {
            QWidget *f = QApplication::focusWidget();
            return qobject_cast<QLineEdit *>(f) && window->isAncestorOf(f);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(
            focused(), qPrintable(window->windowTitle() + ": no text field has the keyboard"), 5000);
    }
    // Text typed into the field that has the keyboard, then the keys.
    Step typed(const QString &kind, const char *text, const QString &then) const
    {
        const Step after = keys(kind, then);
        return {kind, [this, text, after](QWidget *d) {
                    fieldfocused(d);
                    QVERIFY(xinput::type(x, text));
                    after.act(d);
                }};
    }
    // How a question box is answered: "click" on its first button, else keys.
    Step answer(const QString &how) const
    {
        if (how == QLatin1String("click"))
            return {QStringLiteral("QMessageBox"), [this](QWidget *box) {
                        QPushButton *yes = acceptbutton(box);
                        QVERIFY(yes);
                        clickon(yes);
                    }};
        return keys(QStringLiteral("QMessageBox"), how);
    }

    // A processor whose programs 1..40 are all used, their names known to
    // the page, free of every lock.
    void seed()
    {
        s.clearfaults();
        s.update(unit, [](standin::UnitState &u) {
            u.currentProgram = 1;
            for (int k = 0; k < 40; ++k) {
                u.programs[k].used = true;
                u.programs[k].image = linktest::sampleimage(k % 7);
                u.programs[k].name = QByteArray("KEEP " + QByteArray::number(k + 1)).leftJustified(20, ' ');
            }
            u.lockState = 0;
            u.lockPassword.clear();
            u.projectLock = 0;
            u.projectPassword.clear();
            u.restartCount = 0;
        });
        DeviceData *d = gMainApp->getcurdevice();
        d->setcurprogramnum(1);
        d->setlocktype(0);
        d->setprojectlock(0);
        gFormSetView->on_btn_ref_clicked();
        s.clearframes();
    }
    QByteArray storedname(int n) const { return s.state(unit).programs[n - 1].name; }
    void select(int n) const
    {
        gFormSetView->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(0);
        gFormSetView->findChild<QTableWidget *>(QStringLiteral("progwidget"))->selectRow(n - 1);
    }
    // Nothing of the page left open: the main window is the modal window again.
    void closed() const
    {
        QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget *>(w.get()));
        QVERIFY(!gFormSetView->isbusy());
    }

private slots:
    void initTestCase()
    {
        openshown();
        if (QTest::currentTestFailed())
            return;
        w->on_pushButton_7_clicked(); // the program page
    }
    void cleanupTestCase() { closeshown(); }
    void init() { seed(); }

    // The questions before every user program is reset and before one is
    // deleted: Return and Escape keep the programs; the first button,
    // clicked or reached by Tab, goes ahead.
    void destructive_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("done");
        for (const char *action : {"reset", "delete"}) {
            const QString a = QString::fromLatin1(action);
            QTest::addRow("%s, Return", action) << a << "Return" << false;
            QTest::addRow("%s, Escape", action) << a << "Escape" << false;
            QTest::addRow("%s, Space", action) << a << "space" << false;
            QTest::addRow("%s, Yes clicked", action) << a << "click" << true;
            QTest::addRow("%s, Tab to Yes, Space", action) << a << "Tab space" << true;
        }
        QTest::newRow("reset, Tab to Yes, Return") << "reset" << "Tab Return" << true;
    }
    void destructive()
    {
        QFETCH(QString, action);
        QFETCH(QString, how);
        QFETCH(bool, done);
        const bool reset = action == QLatin1String("reset");
        const int command = reset ? 0x65 : 0x66;
        select(5);
        QList<Step> steps{answer(how)};
        drive([reset]() { reset ? gFormSetView->on_btnreset_clicked() : gFormSetView->on_btndelete_clicked(); },
              steps);
        QVERIFY2(steps.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
        closed();
        QCOMPARE(shown.first(),
                 reset ? QStringLiteral("QMessageBox|Reset Programes") : QStringLiteral("QMessageBox|Delete"));
        QCOMPARE(sent(command), done ? 1 : 0);
        // No box but the question: no failure, nothing else asked.
        QCOMPARE(shown.size(), 1);
        const standin::UnitState u = s.state(unit);
        if (!done) {
            for (int k = 0; k < 30; ++k)
                QVERIFY(u.programs[k].used);
            QCOMPARE(storedname(5), QByteArray("KEEP 5").leftJustified(20, ' '));
        } else {
            QVERIFY(!u.programs[4].used);
        }
    }

    // The name dialog of a store: the proposed name selected, the keyboard
    // in it; Return stores under the typed name, Escape stores nothing.
    void storename_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("stored");
        QTest::newRow("Return") << "Return" << true;
        QTest::newRow("keypad Enter") << "KP_Enter" << true;
        QTest::newRow("Escape") << "Escape" << false;
    }
    void storename()
    {
        QFETCH(QString, then);
        QFETCH(bool, stored);
        select(7);
        QList<Step> steps{typed(QStringLiteral("DialogInputStr"), "stage b2", then)};
        drive([]() { gFormSetView->on_btnloadcurdata_2_clicked(); }, steps);
        QVERIFY2(steps.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
        closed();
        QCOMPARE(shown, QStringList{QStringLiteral("DialogInputStr|Input New Name")});
        QCOMPARE(sent(0x63), stored ? 1 : 0);
        QCOMPARE(storedname(7), QByteArray(stored ? "stage b2" : "KEEP 7").leftJustified(20, ' '));
        if (stored)
            QTRY_COMPARE(gFormSetView->findChild<QTableWidget *>(QStringLiteral("progwidget"))->item(6, 2)->text(),
                         QStringLiteral("stage b2").leftJustified(20, QLatin1Char(' ')));
    }

    // Saving a program to a file that exists: the file dialog's question
    // whether to replace it keeps the file on Return, also when the name is
    // typed without its extension (or with a dot of its own); Yes writes it.
    void overwrite_data()
    {
        QTest::addColumn<QString>("file");   // the file there before
        QTest::addColumn<QString>("name");   // keys in the name field; empty: the proposed name
        QTest::addColumn<QString>("reply"); // to the question
        QTest::newRow("proposed name, Return") << "KEEP 5.K91" << "" << "Return";
        QTest::newRow("proposed name, Escape") << "KEEP 5.K91" << "" << "Escape";
        QTest::newRow("proposed name, Yes clicked") << "KEEP 5.K91" << "" << "click";
        QTest::newRow("no extension typed, Return") << "other.K91" << "other" << "Return";
        QTest::newRow("no extension typed, Yes clicked") << "other.K91" << "other" << "click";
        // A dot in the typed name is no extension of the file's type: the
        // question asks about the name with the extension added.
        QTest::newRow("dotted name typed, Return") << "show.v2.K91" << "show.v2" << "Return";
        QTest::newRow("dotted name typed, Yes clicked") << "show.v2.K91" << "show.v2" << "click";
    }
    void overwrite()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, reply);
        const bool replaced = reply == QLatin1String("click");
        const QByteArray before("a file kept");
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        f.close();
        select(5);
        QList<Step> steps;
        const QString filedialog = QStringLiteral("QFileDialog");
        if (name.isEmpty()) {
            steps << keys(filedialog, QStringLiteral("Return"));
        } else {
            steps << Step{filedialog, [this, name](QWidget *d) {
                              fieldfocused(d);
                              // The proposed name removed, the new one typed.
                              xinput::key(x, "End");
                              for (int i = 0; i < 20; ++i)
                                  xinput::key(x, "BackSpace");
                              // A dot has its key name.
                              const QStringList parts = name.split(QLatin1Char('.'));
                              for (int i = 0; i < parts.size(); ++i) {
                                  if (i > 0)
                                      xinput::key(x, "period");
                                  QVERIFY(xinput::type(x, qPrintable(parts.at(i))));
                              }
                              xinput::key(x, "Return");
                          }};
        }
        steps << answer(reply);
        if (!replaced) {
            // Back in the file dialog: the user leaves it.
            Step leave{filedialog, [this](QWidget *d) {
                           xinput::move(x, d->mapToGlobal(d->rect().center()));
                           xinput::key(x, "Escape");
                       }};
            leave.again = true;
            steps << leave;
        }
        drive([]() { gFormSetView->on_btnloadcurdata_3_clicked(); }, steps);
        QVERIFY2(steps.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
        closed();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.last().startsWith(QLatin1String("QMessageBox|")), qPrintable(shown.last()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        f.close();
        if (replaced)
            QCOMPARE(after, s.state(unit).programs[4].image);
        else
            QCOMPARE(after, before);
        QVERIFY(f.remove());
    }

    // The lock dialogs: Return in the password field presses the action the
    // dialog shows; a lock then asks, and only Yes sends it; Escape leaves.
    void locks_data()
    {
        QTest::addColumn<bool>("project");
        QTest::addColumn<bool>("locked"); // the processor is locked before
        QTest::addColumn<QString>("then");   // keys after the password
        QTest::addColumn<QString>("confirm"); // the answer to the question; empty: none comes
        QTest::addColumn<bool>("sentout");
        QTest::newRow("device lock, Yes clicked") << false << false << "Return" << "click" << true;
        QTest::newRow("device lock, Return on the question") << false << false << "Return" << "Return" << false;
        QTest::newRow("device unlock") << false << true << "Return" << "" << true;
        QTest::newRow("device, Escape") << false << false << "Escape" << "" << false;
        QTest::newRow("project lock, Yes clicked") << true << false << "Return" << "click" << true;
        QTest::newRow("project lock, Escape on the question") << true << false << "Return" << "Escape" << false;
        QTest::newRow("project, Escape") << true << false << "Escape" << "" << false;
    }
    void locks()
    {
        QFETCH(bool, project);
        QFETCH(bool, locked);
        QFETCH(QString, then);
        QFETCH(QString, confirm);
        QFETCH(bool, sentout);
        if (locked) {
            s.update(unit, [](standin::UnitState &u) {
                u.lockState = 1;
                u.lockPassword = QByteArray("abc").leftJustified(8, ' ');
            });
            gMainApp->getcurdevice()->setlocktype(1);
        }
        const QString kind = project ? QStringLiteral("DialogProjectLock") : QStringLiteral("DialogDeviceLock");
        QList<Step> steps{typed(kind, "abc", then)};
        if (!confirm.isEmpty())
            steps << answer(confirm);
        if (!confirm.isEmpty() && !sentout) {
            // Back in the dialog, nothing sent: the user leaves it by its Exit.
            Step leave{kind, [this](QWidget *d) {
                           clickon(d->findChild<QPushButton *>(QStringLiteral("pushButton_exit_3")));
                       }};
            leave.again = true;
            steps << leave;
        }
        drive(
            [project]() {
                project ? gFormSetView->on_pushButton_41_clicked() : gFormSetView->on_pushButton_31_clicked();
            },
            steps);
        QVERIFY2(steps.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
        closed();
        QCOMPARE(sent(project ? 0x12 : 0x10), sentout ? 1 : 0);
        const standin::UnitState u = s.state(unit);
        if (project)
            QCOMPARE(int(u.projectLock), sentout ? 1 : 0);
        else
            QCOMPARE(u.lockState != 0, sentout ? !locked : locked);
        // A request that went out ends with its result box (answered by OK).
        QCOMPARE(shown.size(), 1 + (confirm.isEmpty() ? 0 : 1) + (sentout ? 1 : 0));
        if (sentout)
            QVERIFY2(shown.last().contains(QLatin1String(" OK")) || shown.last().contains(QLatin1String(" Ok")),
                     qPrintable(shown.last()));
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXKeys>(argc, argv);
}

#include "tst_xkeys.moc"
