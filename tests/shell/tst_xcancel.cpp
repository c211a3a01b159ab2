// The Cancel button of the program page's long operations as a user presses
// it: the program's main window (application-modal, as start-up shows it) on
// an X server of the test's own (Xvfb, no window manager), a processor
// stand-in that has stopped answering, the pointer moved onto Cancel in
// several steps through the server and clicked (or Escape pressed on the
// window, or the window manager's close request sent to it). The progress window stays above the main window
// while the pointer moves over it; the click ends the operation at its wait under way; no request of it goes
// out later; files and model stay as they were. A recall or a reset that the
// processor carried out is followed by what the processor then runs: after the
// Cancel (and a second one during the read-back) the model and the program page
// equal the stand-in, or a box says they may not. Without Xvfb the test skips.

#include "comsettings.h"
#include "formchtool.h"
#include "formsetview.h"
#include "longexchange.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"
#include "xinput.h"
#include "xservertest.h"
#include "xvfbserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "xlib.h"

#include <memory>

namespace
{
// The progress window shown now with its Cancel button, if any.
QProgressDialog *progresswindow(QPushButton **button = nullptr)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(w))
            if (p->isVisible())
                for (QPushButton *b : p->findChildren<QPushButton *>())
                    if (b->isVisible()) {
                        if (button)
                            *button = b;
                        return p;
                    }
    return nullptr;
}

// What the model holds of the device: names, stored programs, running data.
QByteArray modelof(DeviceData *d)
{
    QByteArray out;
    for (int k = 0; k < 40; ++k)
        out += d->getnamerecordname(k).toUtf8() + (d->getnamerecordused(k) ? "+" : "-");
    for (int n = 0; n < 30; ++n)
        for (int k = 0; k < kProgramImageSize; ++k)
            out += char(d->getstoredbyte(n, k));
    out += linktest::currentimage(d);
    out += QByteArray::number(d->getcurprogramnum());
    return out;
}
} // namespace

class TstXCancel : public XServerTest
{
    Q_OBJECT
public:
    using XServerTest::XServerTest;

private:
    standin::Standin s;
    int unit = -1;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<ScriptedPrompts> prompts;
    DeviceData *dev = nullptr;

    QString path(const char *name) const { return dir->filePath(QLatin1String(name)); }
    // The window's place in the server's stacking order (bottom first); -1 when not a top-level window.
    int stacked(QWidget *widget) const
    {
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        XSync(x, False);
        int at = -1;
        if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i)
                if (children[i] == Window(widget->winId()))
                    at = int(i);
            XFree(children);
        }
        return at;
    }
    void key(unsigned long keysym) const
    {
        const unsigned int code = XKeysymToKeycode(x, keysym);
        XTestFakeKeyEvent(x, code, True, CurrentTime);
        XTestFakeKeyEvent(x, code, False, CurrentTime);
        XSync(x, False);
    }
    void start(const QString &op)
    {
        auto *page = gFormSetView;
        if (op == "recall") {
            page->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(0);
            page->findChild<QTableWidget *>(QStringLiteral("progwidget"))->selectRow(1);
            page->on_btn_loadprogram_clicked();
        } else if (op == "save all") {
            prompts->fileNames << path("all.J91");
            page->on_btnloadcurdata_4_clicked();
        } else if (op == "load all") {
            prompts->fileNames << path("in.J91");
            page->on_btnloadcurdata_5_clicked();
        } else if (op == "names refresh") {
            page->on_btn_ref_clicked();
        } else if (op == "names refresh, tool bar") {
            dev->namesloaded = 0;
            page->on_btn_ref1_clicked();
        } else if (op == "reset") {
            prompts->confirmations << true;
            page->on_btnreset_clicked();
        }
    }

private slots:
    void initTestCase() { openx(); }
    void cleanupTestCase() { closex(); }
    void init()
    {
        QVERIFY(linktest::startwindow(w, dir));
        prompts.reset(new ScriptedPrompts);
        const int line = s.openpty();
        QVERIFY(line >= 0);
        unit = s.addunit(line, 0x18, 1);
        s.update(unit, [](standin::UnitState &u) {
            for (int k = 0; k < 40; ++k) {
                u.programs[k].used = true;
                u.programs[k].name =
                    QByteArray("PROGRAM ").append(QByteArray::number(k + 1)).leftJustified(20);
            }
        });
        QVERIFY(linktest::openmainport(s, line));
        dev = linktest::choosedevice(0x18);
        dev->setcomconnected(1);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        // The names as the processor holds them, read quickly.
        MainApp::settimescale(0.01);
        gFormSetView->on_btn_ref_clicked();
        QVERIFY(dev->getnamerecordused(1));
        MainApp::settimescale(1);
        prompts->clear();
        s.clearframes();
        s.addfault(standin::Fault()); // from now on no reply to anything
    }
    void cleanup()
    {
        s.clearfaults();
        gComCtrl.closemaincom();
        prompts.reset();
        dev = nullptr;
        linktest::endwindow(w, dir);
        MainApp::settimescale(1);
    }

    void cancel_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("command"); // the operation's request
        QTest::addColumn<int>("replyms"); // its reply time: pause after the send and wait
        QTest::addColumn<QString>("how"); // click on Cancel, Escape on the window, a close request
        QTest::addColumn<QString>("box"); // the box that follows, if any
        // The recall went out: the silent processor, asked which program it
        // runs, does not say, and the box names the program it may run.
        QTest::newRow("recall") << "recall" << 0x62 << 4100 << "click"
                                << "critical:Load Program";
        QTest::newRow("recall, Escape") << "recall" << 0x62 << 4100 << "Escape"
                                        << "critical:Load Program";
        // The window manager's close button on the progress window.
        QTest::newRow("recall, close request") << "recall" << 0x62 << 4100 << "close request"
                                               << "critical:Load Program";
        QTest::newRow("save all") << "save all" << 0x61 << 3100 << "click" << QString();
        QTest::newRow("save all, Escape") << "save all" << 0x61 << 3100 << "Escape" << QString();
        // The load stops after the program under way, which the silent
        // processor leaves cut off: the box says so.
        QTest::newRow("load all") << "load all" << 0x60 << 2150 << "click"
                                  << "critical:Download Program Failed ";
        QTest::newRow("load all, Escape") << "load all" << 0x60 << 2150 << "Escape"
                                          << "critical:Download Program Failed ";
        QTest::newRow("names refresh") << "names refresh" << 0x64 << 2150 << "click" << QString();
        QTest::newRow("names refresh, tool bar")
            << "names refresh, tool bar" << 0x64 << 2150 << "click" << QString();
        // Not acknowledged: the box says the list is kept.
        QTest::newRow("reset") << "reset" << 0x65 << 15100 << "click"
                               << "critical:Reset Program Failed ";
    }
    void cancel()
    {
        QFETCH(QString, op);
        QFETCH(int, command);
        QFETCH(int, replyms);
        QFETCH(QString, how);
        const bool escape = how == "Escape";
        QFETCH(QString, box);
        const QByteArray file = "an existing file";
        QVERIFY(programbytesfile(path("all.J91"), file));
        QByteArray collection;
        for (int n = 0; n < 30; ++n)
            collection += linktest::sampleimage(n);
        QVERIFY(programbytesfile(path("in.J91"), collection));
        const QByteArray model = modelof(dev);

        // The hand: once the progress window and the first request are
        // there, the pointer clicks on the main window's gain page button, moves
        // from there onto Cancel in eight steps, 40 ms apart, then clicks (or
        // presses Escape, or the window manager asks the window to close).
        QElapsedTimer clock;
        qint64 clicked = -1;
        qint64 clickns = 0;
        int step = -1;
        QPoint from;
        QStringList faults;
        QTimer hand;
        hand.setInterval(40);
        connect(&hand, &QTimer::timeout, this, [&] {
            if (clicked >= 0)
                return;
            QPushButton *button = nullptr;
            QProgressDialog *window = progresswindow(&button);
            if (!window || !viewable(window) || linktest::commandcount(s, unit, quint8(command)) == 0)
                return;
            if (step < 0) {
                // First a click on the main window's gain page button: the
                // main window takes no input meanwhile.
                QPushButton *pagebutton = w->findChild<QPushButton *>(QStringLiteral("pushButton_2"));
                from = pagebutton->mapToGlobal(pagebutton->rect().center());
                xinput::click(x, from);
                step = 0;
                return;
            }
            // The window stays shown above the main window while the pointer moves over it.
            if (stacked(window) <= stacked(w.get()))
                faults << QStringLiteral("step %1: the progress window is below the main window").arg(step);
            const QPoint to = how != "click" ? window->mapToGlobal(QPoint(window->width() / 2, 10))
                                             : button->mapToGlobal(button->rect().center());
            if (step < 8) {
                ++step;
                xinput::move(x, from + (to - from) * step / 8);
                return;
            }
            clickns = s.nowns();
            clicked = clock.elapsed();
            if (escape)
                key(XK_Escape);
            else if (how == "close request")
                xinput::closewindow(x, window->winId());
            else
                xinput::click(x, to);
        });
        clock.start();
        hand.start();
        start(op);
        const qint64 ended = clock.elapsed();
        const qint64 endedns = s.nowns();
        hand.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        QVERIFY2(clicked >= 0, "Cancel was not reached");
        qInfo("%s: ended %lld ms after the %s", qPrintable(op), ended - clicked, qPrintable(how));
        QCOMPARE(progresswindow(), nullptr);
        // The operation ends with the wait under way at the click: no request
        // of it goes out after the click, and it ends before a second reply
        // time from the request under way could have run out. (The end of
        // the wait under way itself is a timer's, late by a busy machine's
        // scheduling: its figure is printed above, not bounded.)
        qint64 underwayns = -1;
        for (const auto &r : s.commands(unit))
            if (r.command() == command) {
                QVERIFY2(r.ns < clickns, qPrintable(standin::describe(r)));
                underwayns = qMax(underwayns, r.ns);
            }
        QVERIFY(underwayns >= 0);
        QVERIFY2(endedns - underwayns < 2 * qint64(replyms) * 1000000,
                 qPrintable(QStringLiteral("ended %1 ms after the request under way")
                                .arg((endedns - underwayns) / 1000000)));
        QStringList boxes;
        for (const auto &b : prompts->shown)
            if (b.kind != "open" && b.kind != "save" && b.kind != "confirm")
                boxes << b.kind + ':' + b.title;
        QCOMPARE(boxes.join("; "), box);
        QCOMPARE(modelof(dev), model);
        QFile f(path("all.J91"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), file);
        QVERIFY(!gFormSetView->isbusy());
        QVERIFY(!LongExchange::cancelled());
        // The main window has the keyboard again; the click on it was not
        // taken, then or later.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(w.get()));
        QTest::qWait(100);
        QVERIFY(!gMainApp->getview(MainApp::GainView)->isVisible());
    }

    // A recall or a reset that the processor carried out, cancelled by the
    // pointer (moved in steps onto Cancel) after its command went out, and
    // once more during the read-back that follows: the model and the program
    // page then show what the stand-in holds, or a box says they may not.
    void followed_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("first");  // the request after which the first Cancel comes
        QTest::addColumn<bool>("again"); // a second Cancel, during the read-back
        QTest::addColumn<bool>("escape"); // each Cancel by Escape on the window, not a click
        QTest::addColumn<QString>("box");
        // The recall answered at once, and the first Cancel only after its
        // answer was written, while the application lets it settle.
        QTest::addColumn<bool>("answered");
        // Afterwards the device's slot button clicked through the server, or
        // the processor's answer with its lock state: the page is shown again.
        QTest::addColumn<QString>("after");
        QTest::newRow("recall answered late")
            << "recall" << 0x62 << false << false << QString() << false << QString();
        QTest::newRow("recall answered late, read-back cancelled")
            << "recall" << 0x62 << true << false << "critical:Load Program" << false << QString();
        QTest::newRow("recall answered late, read-back cancelled, then its slot clicked")
            << "recall" << 0x62 << true << false << "critical:Load Program" << false << "slot";
        QTest::newRow("recall answered late, read-back cancelled, then a lock update")
            << "recall" << 0x62 << true << false << "critical:Load Program" << false << "lock";
        QTest::newRow("recall answered late, Escape twice")
            << "recall" << 0x62 << true << true << "critical:Load Program" << false << QString();
        QTest::newRow("recall, Cancel after its answer")
            << "recall" << 0x62 << false << false << QString() << true << QString();
        QTest::newRow("recall, Escape after its answer")
            << "recall" << 0x62 << false << true << QString() << true << QString();
        QTest::newRow("recall, Cancel after its answer, read-back cancelled")
            << "recall" << 0x62 << true << false << "critical:Load Program" << true << QString();
        QTest::newRow("recall, Cancel after its answer, read-back cancelled, then its slot clicked")
            << "recall" << 0x62 << true << false << "critical:Load Program" << true << "slot";
        QTest::newRow("reset, names refresh cancelled")
            << "reset" << 0x64 << false << false << QString() << false << QString();
        QTest::newRow("reset, names refresh and read-back cancelled")
            << "reset" << 0x64 << true << false << "critical:Load Program" << false << QString();
        QTest::newRow("reset, names refresh and read-back cancelled, then a lock update")
            << "reset" << 0x64 << true << false << "critical:Load Program" << false << "lock";
    }
    void followed()
    {
        QFETCH(QString, op);
        QFETCH(int, first);
        QFETCH(bool, again);
        QFETCH(bool, escape);
        QFETCH(QString, box);
        QFETCH(bool, answered);
        QFETCH(QString, after);
        s.clearfaults();
        const QByteArray before = linktest::currentimage(dev);
        s.update(unit, [](standin::UnitState &u) {
            u.image = linktest::sampleimage(1);
            u.currentProgram = 1;
            u.programs[1].image = linktest::sampleimage(2);
        });
        dev->setcurprogramnum(1);
        // The recall is carried out at once and answered late, or at once;
        // then the application's settling after the answer is drawn out, so
        // that the Cancel surely comes inside it.
        if (answered)
            MainApp::settimescale(4);
        else
            s.addfault(standin::Fault::onprogram(standin::Fault::LateReply, 0x62, 2, 3000));
        const auto answers = [&](quint8 code) {
            int n = 0;
            for (const auto &r : s.replies(unit))
                n += r.command() == code ? 1 : 0;
            return n;
        };
        int clicks = 0;
        int step = -1;
        QPoint from;
        QTimer hand;
        hand.setInterval(40);
        connect(&hand, &QTimer::timeout, this, [&] {
            if (clicks >= (again ? 2 : 1))
                return;
            QPushButton *button = nullptr;
            QProgressDialog *window = progresswindow(&button);
            const int wanted = clicks == 0 ? first : 0x61;
            if (!window || !viewable(window) ||
                linktest::commandcount(s, unit, quint8(wanted)) < (wanted == 0x64 ? 3 : 1))
                return;
            const QPoint to = button->mapToGlobal(button->rect().center());
            if (step < 0) {
                from = to + QPoint(-200, 150);
                xinput::move(x, from);
                step = 0;
                return;
            }
            if (step < 6) {
                ++step;
                xinput::move(x, from + (to - from) * step / 6);
                return;
            }
            if (answered && clicks == 0 && answers(0x62) == 0)
                return;
            if (escape)
                key(XK_Escape);
            else
                xinput::click(x, to);
            ++clicks;
            step = -1;
            MainApp::settimescale(1);
        });
        hand.start();
        start(op);
        hand.stop();
        QCOMPARE(clicks, again ? 2 : 1);
        QCOMPARE(progresswindow(), nullptr);
        QStringList boxes;
        for (const auto &b : prompts->shown)
            if (b.kind != "open" && b.kind != "save" && b.kind != "confirm")
                boxes << b.kind + ':' + b.title;
        QCOMPARE(boxes.join("; "), box);
        const standin::UnitState u = s.state(unit);
        QCOMPARE(int(u.currentProgram), op == "recall" ? 2 : 0);
        // The number the processor reports, in the model and on the page.
        QCOMPARE(dev->getcurprogramnum(), int(u.currentProgram));
        auto *page = gFormSetView;
        QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("Editsetproid"))->text().trimmed(),
                 QString::number(u.currentProgram));
        // Its data, unless the box says it may differ.
        QCOMPARE(linktest::currentimage(dev).toHex(), (box.isEmpty() ? u.image : before).toHex());
        // "Program Name" goes with "Program Number": the name in the data read
        // back, or with the box the list's name for that program (none for
        // program 0), not the name of the data the model kept.
        const int shown = dev->getcurprogramnum();
        QString name = QString::fromLatin1(u.image.mid(1, 20).split(0).first()).trimmed();
        if (!box.isEmpty())
            name = shown >= 1 && dev->getnamerecordused(shown - 1)
                       ? dev->getnamerecordname(shown - 1).trimmed()
                       : QString();
        if (!box.isEmpty() && op == "recall")
            QVERIFY(!name.isEmpty());
        QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("Editname1"))->text().trimmed(), name);
        if (!after.isEmpty()) {
            // The page shown again keeps the name with the number.
            QSignalSpy shownagain(w.get(), &MainWindow::updatesetview);
            if (after == "slot") {
                gMainApp->setslotused(0, 1);
                gMainApp->setslotname(0, FormChTool::slottext(0x18, 1));
                auto *bar = w->findChild<FormChTool *>();
                bar->refreshguibtns(0);
                QPushButton *slot = bar->slotbutton(0);
                QTRY_VERIFY(viewable(slot->window()) && slot->isVisible());
                const QPoint to = slot->mapToGlobal(slot->rect().center());
                const QPoint from = to + QPoint(200, 150);
                for (int step = 0; step <= 6; ++step) {
                    xinput::move(x, from + (to - from) * step / 6);
                    QTest::qWait(30);
                }
                xinput::click(x, to);
            } else {
                // Its answer carries the lock state and the program it runs.
                gMainApp->sendconnectreq();
            }
            QTRY_VERIFY_WITH_TIMEOUT(shownagain.count() > 0, 10000);
            QCOMPARE(dev, gMainApp->getcurdevice());
            QCOMPARE(dev->getcurprogramnum(), int(u.currentProgram));
            QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("Editsetproid"))->text().trimmed(),
                     QString::number(u.currentProgram));
            QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("Editname1"))->text().trimmed(), name);
        }
        if (op == "reset") {
            auto *list = page->findChild<QTableWidget *>(QStringLiteral("progwidget"));
            for (int k = 0; k < 30; ++k) {
                QCOMPARE(list->item(k, 1)->text(), QString("no"));
                QCOMPARE(list->item(k, 2)->text(), QString::fromLatin1(u.programs[k].name));
            }
        }
        QVERIFY(!gFormSetView->isbusy());
        QVERIFY(!LongExchange::cancelled());
    }

    // A recall or delete clicked through the X server whose answers are lost
    // (carried out, never answered) or that never reaches the processor: the
    // page asks the processor what it holds and shows that; the box says the
    // command failed only when it was not carried out.
    void lostanswers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("carriedout");
        QTest::addColumn<QString>("box");
        QTest::newRow("recall, answers lost") << "btn_loadprogram" << 0x62 << true << QString();
        QTest::newRow("recall, never received")
            << "btn_loadprogram" << 0x62 << false << "critical:This Program Load Failed";
        QTest::newRow("delete, answers lost") << "btndelete" << 0x66 << true << QString();
        QTest::newRow("delete, never received")
            << "btndelete" << 0x66 << false << "critical:Delete Program Failed ";
    }
    void lostanswers()
    {
        QFETCH(QString, button);
        QFETCH(int, command);
        QFETCH(bool, carriedout);
        QFETCH(QString, box);
        s.clearfaults();
        standin::Fault f;
        f.kind = carriedout ? standin::Fault::NoReply : standin::Fault::Ignored;
        f.command = command;
        s.addfault(f);
        s.update(unit, [](standin::UnitState &u) {
            u.image = linktest::sampleimage(1);
            u.currentProgram = 1;
            u.programs[1].image = linktest::sampleimage(2);
        });
        dev->setcurprogramnum(1);
        const QByteArray before = linktest::currentimage(dev);
        prompts->confirmations << true;
        w->on_pushButton_7_clicked(); // the program page
        auto *page = gFormSetView;
        page->refreshdata(); // its buttons for the link set up by hand
        page->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(0);
        page->findChild<QTableWidget *>(QStringLiteral("progwidget"))->selectRow(1);
        auto *b = page->findChild<QPushButton *>(button);
        QVERIFY(b);
        QTRY_VERIFY(b->isVisible());
        QTest::qWait(200);
        // Scaled: the processor is asked once which program it runs, and
        // that wait (200 ms) outlasts a busy machine's stall of the line.
        MainApp::settimescale(0.2);
        const QPoint to = b->mapToGlobal(b->rect().center());
        const QPoint from = to + QPoint(-200, 150);
        for (int step = 0; step <= 6; ++step) {
            xinput::move(x, from + (to - from) * step / 6);
            QTest::qWait(30);
        }
        xinput::click(x, to);
        QTRY_VERIFY_WITH_TIMEOUT(linktest::commandcount(s, unit, quint8(command)) > 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->isbusy() && !progresswindow(), 30000);
        MainApp::settimescale(1);
        // The last repeats may still be on their way.
        QVERIFY(standincaughtup(s, gComCtrl));
        QCOMPARE(linktest::commandcount(s, unit, quint8(command)), 11);
        QStringList boxes;
        for (const auto &shown : prompts->shown)
            if (shown.kind != "confirm")
                boxes << shown.kind + ':' + shown.title;
        QCOMPARE(boxes.join("; "), box);
        const standin::UnitState u = s.state(unit);
        if (command == 0x62) {
            QCOMPARE(int(u.currentProgram), carriedout ? 2 : 1);
            QCOMPARE(dev->getcurprogramnum(), int(u.currentProgram));
            QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("Editsetproid"))->text().trimmed(),
                     QString::number(u.currentProgram));
            QCOMPARE(linktest::currentimage(dev).toHex(), (carriedout ? u.image : before).toHex());
        } else {
            QCOMPARE(u.programs[1].used, !carriedout);
            auto *list = page->findChild<QTableWidget *>(QStringLiteral("progwidget"));
            QCOMPARE(list->item(1, 1)->text(), QString(carriedout ? "no" : "have"));
        }
    }

private:
    static bool programbytesfile(const QString &name, const QByteArray &bytes)
    {
        QFile f(name);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXCancel>(argc, argv);
}

#include "tst_xcancel.moc"
