// The EQ page's FIR and all pass panels under a window manager (openbox on an
// X server of the test's own, 1280x1024 or, with DSP_XSCREEN=1920x1080x24,
// that screen): the window manager frames them with a title bar, and the
// frame, as the X server holds it, must lie wholly on the screen, off the
// window's menu, tool bar and page bar and off the page's channel buttons,
// off the other panel, with its close button reachable; a click on every
// channel button and page button reaches the main window. Without Xvfb or
// openbox the test skips (fails under CI).

#include "devicedata.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formfir.h"
#include "formphase.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "startup.h"
#include "tst_connect_support.h"
#include "ui_formeq.h"
#include "xinput.h"
#include "xservertest.h"
#include "xvfbserver.h"
#include "xwindowmanager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "xlib.h"

#include <memory>

namespace
{

// Catches the presses and releases the application receives, and keeps them
// from the widgets: a click shows where it landed and changes nothing.
class ClickCatcher : public QObject
{
public:
    QString pressed; // object name of the widget the last press reached
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease ||
            e->type() == QEvent::MouseButtonDblClick) {
            if (!o->isWidgetType())
                return false;
            if (e->type() == QEvent::MouseButtonPress)
                pressed = o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                                    : o->objectName();
            return true;
        }
        return false;
    }
};

QString rectText(const QRect &r)
{
    return QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

} // namespace

class TstXWmPanels : public XServerTest
{
    Q_OBJECT
public:
    using XServerTest::XServerTest;

private:
    XWindowManager wm;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;
    QPoint pointer; // where the test's pointer is

    // The pointer moves to p in steps, as a hand moves it.
    void glide(QPoint p)
    {
        const int steps = 6;
        const QPoint from = pointer;
        for (int i = 1; i <= steps; ++i) {
            xinput::move(x, from + (p - from) * i / steps);
            QTest::qWait(10);
        }
        pointer = p;
    }
    void click(QPoint p)
    {
        glide(p);
        xinput::click(x, p, 30);
    }

    unsigned long xid(QWidget *widget) const { return widget->winId(); }
    QRect frame(QWidget *widget) const { return XWindowManager::frame(x, xid(widget)); }
    // The widget's window on the server, in root coordinates.
    QRect client(QWidget *widget) const
    {
        XWindowAttributes a;
        int rx = 0, ry = 0;
        Window child = 0;
        XSync(x, False);
        if (!XGetWindowAttributes(x, xid(widget), &a) ||
            !XTranslateCoordinates(x, xid(widget), DefaultRootWindow(x), 0, 0, &rx, &ry, &child))
            return QRect();
        return QRect(rx, ry, a.width, a.height);
    }

    // Waits until the panel is on the screen in its frame and its frame has
    // stopped moving (the place after the window manager framed it).
    // On failure the states seen are logged: unmapped, mapped without a
    // frame, or each frame rectangle with the time it was first seen.
    bool settled(QWidget *panel) const
    {
        QElapsedTimer clock;
        clock.start();
        QRect last;
        int same = 0;
        QStringList seen;
        QString state;
        while (clock.elapsed() < 8000) {
            QGuiApplication::sync();
            const bool shown = viewable(panel), hasframe = shown && XWindowManager::framed(x, xid(panel));
            const QRect now = hasframe ? frame(panel) : QRect();
            const QString look = !shown      ? QStringLiteral("unmapped")
                                 : !hasframe ? QStringLiteral("unframed")
                                             : rectText(now);
            if (look != state)
                seen << QStringLiteral("%1 at %2 ms").arg(look).arg(clock.elapsed());
            state = look;
            if (hasframe) {
                same = now == last ? same + 1 : 0;
                last = now;
                if (same >= 6)
                    return true;
            }
            QTest::qWait(50);
        }
        qWarning("%s never settled: %s", panel->metaObject()->className(),
                 qPrintable(seen.join(QLatin1String("; "))));
        return false;
    }

    QWidget *named(const char *name) const { return w->findChild<QWidget *>(QLatin1String(name)); }

    // What no panel may cover, by name: the menu's buttons, the tool bar's,
    // the status and the EQ page's channel buttons.
    QList<QWidget *> keptclear() const
    {
        QList<QWidget *> list;
        for (QWidget *b : named("menuBar")->findChildren<QAbstractButton *>())
            if (b->isVisible())
                list << b;
        for (QWidget *b : named("formchtool")->findChildren<QAbstractButton *>())
            if (b->isVisible())
                list << b;
        // The status: the link's state and address, the online indicator.
        for (const char *n : {"comshow", "ipshow", "btnonlinetype"}) {
            auto *label = qobject_cast<QLabel *>(named(n));
            if (named(n)->isVisible() && (!label || !label->text().isEmpty()))
                list << named(n);
        }
        return list + channelbuttons() + turnoffboxes();
    }
    // The boxes shown that turn a panel off: the FIR mode box, the FIR type,
    // window and order boxes (an output's) and every band's type box.
    QList<QWidget *> turnoffboxes() const
    {
        QList<QWidget *> list;
        for (const char *n :
             {"comboBox_ir", "cbxFirFlat", "cbxFirWindows", "cbxFirorder", "cbxHPFSlope", "cbxHPFSlope_2",
              "cbxHPFSlope_3", "cbxHPFSlope_4", "cbxHPFSlope_5", "cbxHPFSlope_6", "cbxHPFSlope_7"})
            if (named(n)->isVisible())
                list << named(n);
        return list;
    }
    QList<QWidget *> pagebuttons() const
    {
        QList<QWidget *> list;
        for (const char *n : {"pushButton", "pushButton_2", "pushButton_3", "pushButton_6", "pushButton_5",
                              "pushButton_8", "pushButton_7", "pushButton_4"})
            list << named(n);
        return list;
    }
    QList<QWidget *> channelbuttons() const
    {
        QList<QWidget *> list;
        for (const char *n : {"eqbtnina", "eqbtninb", "eqbtninc", "eqbtnind", "eqbtnout1", "eqbtnout2",
                              "eqbtnout3", "eqbtnout4", "eqbtnout5", "eqbtnout6", "eqbtnout7", "eqbtnout8"})
            list << named(n);
        return list;
    }
    static QRect global(const QWidget *widget)
    {
        return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
    // The part of the widget its parents show; none for a sliver of a few
    // pixels (the status's online button, cut off by the window's bottom
    // edge), which no one can read or hit.
    static QRect shown(const QWidget *widget)
    {
        QRect r = global(widget);
        for (const QWidget *p = widget->parentWidget(); p; p = p->isWindow() ? nullptr : p->parentWidget())
            r &= global(p);
        return r.width() < 6 || r.height() < 6 ? QRect() : r;
    }

private slots:
    void initTestCase()
    {
        openx();
        QString why;
        if (!wm.start(x, &why)) {
            if (!XvfbServer::mayskip())
                QFAIL(qPrintable(why + QStringLiteral(" (under CI)")));
            QSKIP(qPrintable(why));
        }
        pointer = QPoint(DisplayWidth(x, DefaultScreen(x)) / 2, DisplayHeight(x, DefaultScreen(x)) - 2);
        xinput::move(x, pointer);
    }
    void cleanupTestCase()
    {
        wm.stop();
        closex();
    }
    void init()
    {
        MainApp::settimescale(0.05);
        QVERIFY(linktest::startwindow(w, dir));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_VERIFY(XWindowManager::framed(x, xid(w.get())));
        // Panels are placed from where the application knows the window
        // is: that follows the window manager's placing a moment later.
        QTRY_COMPARE(w->geometry(), client(w.get()));
    }
    void cleanup() { linktest::endwindow(w, dir); }

    void placement_data()
    {
        QTest::addColumn<bool>("fir");
        QTest::addColumn<bool>("allpass");
        // The main window's frame: where the window manager put it, centred,
        // at the top left or at the bottom right of the screen.
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("status"); // the status shows a link, as when connected
        // The page shows OUT1, chosen by its button, with its crossover and
        // FIR boxes; else it keeps the channel it shows.
        QTest::addColumn<bool>("output");
        // The main window without a frame: a panel's first place is worked
        // out with no frame, and the window manager frames it with a title
        // bar; once framed it is placed again.
        QTest::addColumn<bool>("frameless");
        for (const char *where : {"wm", "centre", "topleft", "bottomright"}) {
            const QString w = QLatin1String(where);
            QTest::addRow("FIR, window %s", where) << true << false << w << false << false << false;
            QTest::addRow("all pass, window %s", where) << false << true << w << false << false << false;
            QTest::addRow("both, window %s", where) << true << true << w << false << false << false;
            QTest::addRow("FIR, OUT1 shown, window %s", where)
                << true << false << w << false << true << false;
            QTest::addRow("both, OUT1 shown, window %s", where)
                << true << true << w << false << true << false;
        }
        QTest::addRow("both, window wm, status shown")
            << true << true << QStringLiteral("wm") << true << false << false;
        QTest::addRow("both, window centre, status shown")
            << true << true << QStringLiteral("centre") << true << false << false;
        for (const char *where : {"topleft", "bottomright"}) {
            const QString w = QLatin1String(where);
            QTest::addRow("FIR, frameless window %s", where) << true << false << w << false << false << true;
            QTest::addRow("both, frameless window %s", where) << true << true << w << false << false << true;
        }
    }
    void placement()
    {
        QFETCH(bool, fir);
        QFETCH(bool, allpass);
        QFETCH(QString, where);
        QFETCH(bool, status);
        QFETCH(bool, output);
        QFETCH(bool, frameless);
        if (frameless) {
            w->setWindowFlags(w->windowFlags() | Qt::FramelessWindowHint);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QTRY_VERIFY(XWindowManager::framed(x, xid(w.get())) && frame(w.get()).size() == w->size());
        }
        if (status) {
            static_cast<QLabel *>(named("comshow"))->setText(QStringLiteral("Online"));
            static_cast<QLabel *>(named("ipshow"))->setText(QStringLiteral("192.168.1.100"));
            named("btnonlinetype")->show();
        }
        const QRect screen(0, 0, DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x)));
        const QRect mainframe = frame(w.get());
        QPoint to = mainframe.topLeft();
        if (where == QLatin1String("centre"))
            to = screen.center() - QPoint(mainframe.width(), mainframe.height()) / 2;
        else if (where == QLatin1String("topleft"))
            to = QPoint(0, 0);
        else if (where == QLatin1String("bottomright"))
            to = screen.bottomRight() + QPoint(1, 1) - QPoint(mainframe.width(), mainframe.height());
        if (to != mainframe.topLeft()) {
            // Without a frame the window's own corner goes there, asked of
            // the window manager as a client asks it: the application's idea
            // of where the window is may lag the window manager's placing.
            if (frameless) {
                XMoveWindow(x, xid(w.get()), to.x(), to.y());
                XFlush(x);
            } else {
                w->move(to);
            }
            QTRY_COMPARE(frame(w.get()).topLeft(), to);
        }
        // The application knows where the window is before a panel is placed
        // beside it.
        QTRY_COMPARE(w->geometry(), client(w.get()));

        DeviceData *d = gMainApp->getcurdevice();
        d->setfirflag(0, fir ? 1 : 0);
        gMainApp->setpeqchannel(4); // OUT1
        emit w->updatepeqview(0);   // the device's data read, as a download ends
        static_cast<QPushButton *>(named("pushButton_6"))->click();
        if (output)
            static_cast<QPushButton *>(named("eqbtnout1"))->click();
        FormFir *firpanel = gFormEq->firpanel();
        FormPhase *phasepanel = gFormEq->form()->widgeteqbtn->phasepanel();
        if (allpass)
            gFormEq->form()
                ->widgeteqbtn->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"))
                ->setCurrentIndex(5);
        QList<QWidget *> panels;
        if (fir)
            panels << firpanel;
        if (allpass)
            panels << phasepanel;
        for (QWidget *p : panels)
            QVERIFY2(settled(p), p->metaObject()->className());
        if (!fir)
            QVERIFY(!viewable(firpanel));

        QString tag = QString::fromLatin1(QTest::currentDataTag());
        const QString shots = qEnvironmentVariable("DSP_LOOKS_DIR");
        if (!shots.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                QStringLiteral("%1/wmpanels_%2x%3_%4.png")
                    .arg(shots)
                    .arg(screen.width())
                    .arg(screen.height())
                    .arg(QString(tag).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")),
                                              QStringLiteral("_"))));
        for (QWidget *p : panels) {
            const QRect f = frame(p);
            const QString what =
                QStringLiteral("%1 frame %2 (main window %3)")
                    .arg(QLatin1String(p->metaObject()->className()), rectText(f), rectText(frame(w.get())));
            qInfo("%s: %s", qPrintable(tag), qPrintable(what));
            QVERIFY2(f.height() > p->height(), qPrintable(what + QStringLiteral(": no title bar")));
            QVERIFY2(screen.contains(f), qPrintable(what + QStringLiteral(": off the screen")));
            QStringList covered;
            for (QWidget *c : keptclear())
                if (f.intersects(shown(c)))
                    covered << c->objectName();
            QVERIFY2(covered.isEmpty(),
                     qPrintable(what + QStringLiteral(" covers ") + covered.join(QLatin1String(", "))));
            // A panel up alone leaves the page's bypass-all and gain fader
            // free: where the screen has no room beside the window, the
            // screen's corner holds it over the curve's corner instead.
            for (const char *n : {"btneqbypassall", "vlSliderGain_1"})
                QVERIFY2(panels.size() > 1 || !f.intersects(shown(named(n))),
                         qPrintable(what + QStringLiteral(" covers ") + QLatin1String(n)));
            // A page button only where the screen has no room beside the
            // window, one at most and not the EQ page's own: rather that
            // than a value edited on the page.
            QStringList pages;
            for (QWidget *b : pagebuttons())
                if (f.intersects(global(b)))
                    pages << b->objectName();
            QVERIFY2(pages.isEmpty() || (screen.width() < 1920 && pages.size() == 1 &&
                                         !pages.contains(QLatin1String("pushButton_6"))),
                     qPrintable(what + QStringLiteral(" covers the page buttons ") +
                                pages.join(QLatin1String(", "))));
            // Where the screen has room, off the other panel; else the one
            // on top leaves the other's close button free (checked below).
            for (QWidget *other : panels)
                QVERIFY2(other == p || screen.width() < 1920 || !f.intersects(frame(other)),
                         qPrintable(what + QStringLiteral(": on the other panel ") + rectText(frame(other))));
        }

        // A click on every channel button and every page button that no
        // panel lies over reaches it.
        QList<QWidget *> free = channelbuttons();
        for (QWidget *b : pagebuttons()) {
            bool under = false;
            for (QWidget *p : panels)
                under = under || frame(p).intersects(global(b));
            if (!under)
                free << b;
        }
        ClickCatcher catcher;
        qApp->installEventFilter(&catcher);
        for (QWidget *b : free) {
            catcher.pressed.clear();
            click(global(b).center());
            QTRY_VERIFY2(!catcher.pressed.isEmpty(), qPrintable(b->objectName()));
            QVERIFY2(
                catcher.pressed == b->objectName(),
                qPrintable(QStringLiteral("a click on %1 reached %2").arg(b->objectName(), catcher.pressed)));
        }
        qApp->removeEventFilter(&catcher);
        for (QWidget *p : panels)
            QVERIFY(viewable(p));

        // The close button at the title bar's right end, topmost there.
        for (QWidget *p : panels) {
            const QRect f = frame(p);
            const QPoint at(global(p).right() - 8, (f.top() + global(p).top()) / 2);
            // As the window manager stacks it once the other panel closed.
            QTRY_COMPARE(XWindowManager::topat(x, at), XWindowManager::toplevel(x, xid(p)));
            click(at);
            QTRY_VERIFY2(!viewable(p), p->metaObject()->className());
        }
    }

    // A panel the user dragged aside by its title bar stays there when it
    // comes up again: after another channel and back, another page and
    // back, or its close button and the next FIR action.
    void moved_data()
    {
        QTest::addColumn<bool>("fir");     // else the all pass panel
        QTest::addColumn<QString>("away"); // how the panel goes and comes back
        QTest::newRow("FIR, OUT2 and OUT1") << true << QStringLiteral("channel");
        QTest::newRow("FIR, GAIN and PEQ") << true << QStringLiteral("page");
        QTest::newRow("FIR, closed and FIR mode chosen") << true << QStringLiteral("close");
        QTest::newRow("all pass, OUT2 and OUT1") << false << QStringLiteral("channel");
        QTest::newRow("all pass, GAIN and PEQ") << false << QStringLiteral("page");
    }
    void moved()
    {
        QFETCH(bool, fir);
        QFETCH(QString, away);
        const QRect screen(0, 0, DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x)));
        const QRect mainframe = frame(w.get());
        const QPoint centre = screen.center() - QPoint(mainframe.width(), mainframe.height()) / 2;
        w->move(centre);
        QTRY_COMPARE(frame(w.get()).topLeft(), centre);
        QTRY_COMPARE(w->geometry(), client(w.get()));

        // OUT1 in FIR mode or with band 1 All Pass; OUT2 neither.
        DeviceData *d = gMainApp->getcurdevice();
        d->setfirflag(0, fir ? 1 : 0);
        d->setpeqtype(4, 0, fir ? 0 : 5);
        gMainApp->setpeqchannel(4);
        emit w->updatepeqview(0);
        click(global(named("pushButton_6")).center());
        QWidget *panel = fir ? static_cast<QWidget *>(gFormEq->firpanel())
                             : static_cast<QWidget *>(gFormEq->form()->widgeteqbtn->phasepanel());
        QVERIFY(settled(panel));
        QTRY_COMPARE(panel->geometry(), client(panel));

        // Dragged by the middle of its title bar to the screen's top left,
        // clear of the channel and page buttons.
        const QRect placed = frame(panel);
        const QPoint grab(placed.center().x(), (placed.top() + client(panel).top()) / 2);
        const QPoint to(40, 20);
        QVERIFY2((placed.topLeft() - to).manhattanLength() > 200, qPrintable(rectText(placed)));
        glide(grab);
        xinput::button(x, true);
        glide(grab + (to - placed.topLeft()) / 2);
        glide(grab + to - placed.topLeft());
        xinput::button(x, false);
        QVERIFY(settled(panel));
        const QRect dragged = frame(panel);
        QVERIFY2((dragged.topLeft() - placed.topLeft()).manhattanLength() > 200,
                 qPrintable(rectText(placed) + QStringLiteral(" dragged to ") + rectText(dragged)));
        // The application has seen the move.
        QTRY_COMPARE(panel->geometry(), client(panel));

        if (away == QLatin1String("channel")) {
            click(global(named("eqbtnout2")).center());
            QTRY_VERIFY(!viewable(panel));
            click(global(named("eqbtnout1")).center());
        } else if (away == QLatin1String("page")) {
            click(global(named("pushButton_2")).center());
            QTRY_VERIFY(!viewable(panel));
            click(global(named("pushButton_6")).center());
        } else {
            click(QPoint(client(panel).right() - 8, (dragged.top() + client(panel).top()) / 2));
            QTRY_VERIFY(!viewable(panel));
            Ui::FormEq *ui = gFormEq->form();
            ui->comboBox_ir->setCurrentIndex(0);
            ui->comboBox_ir->setCurrentIndex(1);
        }
        QVERIFY(settled(panel));
        QCOMPARE(rectText(frame(panel)), rectText(dragged));
    }
};

int main(int argc, char **argv)
{
    const QByteArray screen =
        qEnvironmentVariableIsSet("DSP_XSCREEN") ? qgetenv("DSP_XSCREEN") : "1280x1024x24";
    return XvfbServer::runtest<TstXWmPanels>(argc, argv, screen.constData());
}

#include "tst_xwmpanels.moc"
