// The EQ page's FIR and phase panels as the X server sees them: the program's
// main window on an X server of the test's own (Xvfb, no window manager), the
// panels' windows mapped or not after downloads, page changes and the
// window-manager close request (WM_DELETE_WINDOW, as a window manager sends
// it). Without Xvfb the test skips (fails under CI).

#include "devicedata.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formfir.h"
#include "formgain.h"
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
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "xlib.h"

#include <memory>

namespace
{

// Counts the shows and hides a widget receives.
class ShowCounter : public QObject
{
public:
    int shows = 0, hides = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        shows += e->type() == QEvent::Show ? 1 : 0;
        hides += e->type() == QEvent::Hide ? 1 : 0;
        return false;
    }
};

} // namespace

class TstXPanels : public XServerTest
{
    Q_OBJECT
public:
    using XServerTest::XServerTest;

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;

    // Whether the widget's window stays unmapped for the whole bound, looked
    // at again and again, each time after the application's requests reached
    // the server (QGuiApplication::sync) and a round trip of the test's own:
    // a window mapped late, by a timer or a queued call, is seen. The bound
    // is well over the page's scaled reload waits.
    bool staysunmapped(QWidget *widget) const
    {
        constexpr int kBoundMs = 500;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            QGuiApplication::sync();
            if (viewable(widget))
                return false;
            if (clock.elapsed() >= kBoundMs)
                return true;
            QTest::qWait(20);
        }
    }
    // The close request a window manager sends for the window's close button.
    void closerequest(QWidget *widget) const { xinput::closewindow(x, Window(widget->winId())); }
    void clickpage(const char *button) const { w->findChild<QPushButton *>(QLatin1String(button))->click(); }
    // A download of the current device's data, as the connection ends it.
    void download() const { emit w->updatepeqview(0); }
    QWidget *named(const char *name) const { return w->findChild<QWidget *>(QLatin1String(name)); }

private slots:
    void initTestCase() { openx(); }
    void cleanupTestCase() { closex(); }
    void init()
    {
        MainApp::settimescale(0.05);
        QVERIFY(linktest::startwindow(w, dir));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { linktest::endwindow(w, dir); }

    // The FIR panel of an output in FIR mode: not after a download while the
    // EQ page is hidden; with the page; gone after a close request, through a
    // download, until a FIR control is used; gone while another page is in
    // front and back with the page, its gain strip reloaded.
    void firpanel()
    {
        FormFir *panel = gFormEq->firpanel();
        DeviceData *d = gMainApp->getcurdevice();
        d->setfirflag(0, 1);
        gMainApp->setpeqchannel(4); // the page remembers OUT1
        download();
        QVERIFY(staysunmapped(panel));

        clickpage("pushButton_6");
        QTRY_VERIFY(viewable(panel));
        closerequest(panel);
        QTRY_VERIFY(!viewable(panel));
        download();
        QVERIFY(staysunmapped(panel));
        Ui::FormEq *ui = gFormEq->form();
        ui->comboBox_ir->setCurrentIndex(0);
        ui->comboBox_ir->setCurrentIndex(1);
        QTRY_VERIFY(viewable(panel));

        clickpage("pushButton_2");
        QTRY_VERIFY(!viewable(panel));
        // -10 dB on the gain page.
        gFormGain->messgeformpeq(4, 300);
        gMainApp->getview(MainApp::GainView)->close(); // back to the main page
        QVERIFY(staysunmapped(panel));
        // The EQ page back in front without its button, as the area's
        // Ctrl+Tab brings it.
        auto *sub = static_cast<QMdiSubWindow *>(gMainApp->getview(MainApp::PeqView));
        sub->mdiArea()->setActiveSubWindow(sub);
        QTRY_VERIFY(viewable(panel));
        QCOMPARE(ui->vlSliderGain_1->value(), 300);

        gMainApp->getview(MainApp::PeqView)->close();
        QTRY_VERIFY(!viewable(panel));
    }

    // Opening the EQ page by its button (its sub-window maximized, which
    // hides and shows the page within the call) shows the panel once, never
    // hidden and shown again at once: a window manager that has not taken
    // in the hiding may lose the second map, and the panel never comes up.
    void openonce_data()
    {
        QTest::addColumn<bool>("fir"); // else the all pass panel
        QTest::newRow("FIR") << true;
        QTest::newRow("all pass") << false;
    }
    void openonce()
    {
        QFETCH(bool, fir);
        QWidget *panel =
            fir ? static_cast<QWidget *>(gFormEq->firpanel()) : gFormEq->form()->widgeteqbtn->phasepanel();
        gMainApp->getcurdevice()->setfirflag(0, fir ? 1 : 0);
        if (!fir)
            gMainApp->getcurdevice()->setpeqtype(4, 0, 5);
        gMainApp->setpeqchannel(4); // OUT1
        download();
        ShowCounter counter;
        panel->installEventFilter(&counter);
        clickpage("pushButton_6");
        QTRY_VERIFY(viewable(panel));
        QCOMPARE(counter.hides, 0);
        QCOMPARE(counter.shows, 1);
        panel->removeEventFilter(&counter);
    }

    // Without a window manager a panel has no frame and cannot be moved: it
    // never lies over the boxes that turn it off (the FIR mode box, the FIR
    // type, window and order boxes, a band's type box), nor over the page's
    // channel buttons, wherever the main window is.
    void clearboxes_data()
    {
        QTest::addColumn<bool>("fir");
        QTest::addColumn<bool>("allpass");
        QTest::addColumn<QPoint>("where"); // the main window's corner
        for (const QPoint &where : {QPoint(0, 0), QPoint(132, 156), QPoint(264, 313)}) {
            const QByteArray at = QByteArray::number(where.x()) + ',' + QByteArray::number(where.y());
            QTest::addRow("FIR, window at %s", at.constData()) << true << false << where;
            QTest::addRow("all pass, window at %s", at.constData()) << false << true << where;
            QTest::addRow("both, window at %s", at.constData()) << true << true << where;
        }
    }
    void clearboxes()
    {
        QFETCH(bool, fir);
        QFETCH(bool, allpass);
        QFETCH(QPoint, where);
        w->move(where);
        QTRY_COMPARE(XWindowManager::frame(x, w->winId()).topLeft(), where);
        gMainApp->getcurdevice()->setfirflag(0, fir ? 1 : 0);
        clickpage("pushButton_6");
        static_cast<QAbstractButton *>(named("eqbtnout1"))->click();
        if (allpass)
            gFormEq->form()
                ->widgeteqbtn->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"))
                ->setCurrentIndex(5);
        QList<QWidget *> panels;
        if (fir)
            panels << gFormEq->firpanel();
        if (allpass)
            panels << gFormEq->form()->widgeteqbtn->phasepanel();
        QList<QWidget *> clear;
        for (const char *n : {"comboBox_ir", "cbxFirFlat", "cbxFirWindows", "cbxFirorder", "cbxHPFSlope",
                              "cbxHPFSlope_2", "cbxHPFSlope_3", "cbxHPFSlope_4", "cbxHPFSlope_5",
                              "cbxHPFSlope_6", "cbxHPFSlope_7", "eqbtnina", "eqbtnout1", "eqbtnout8"})
            if (named(n)->isVisible())
                clear << named(n);
        QVERIFY(clear.contains(named("comboBox_ir")));
        for (QWidget *p : panels) {
            QTRY_VERIFY(viewable(p));
            const QRect r = XWindowManager::frame(x, p->winId());
            QStringList covered;
            for (QWidget *c : clear)
                if (r.intersects(QRect(c->mapToGlobal(QPoint(0, 0)), c->size())))
                    covered << c->objectName();
            QVERIFY2(covered.isEmpty(), qPrintable(QStringLiteral("%1 covers %2")
                                                       .arg(QLatin1String(p->metaObject()->className()),
                                                            covered.join(QLatin1String(", ")))));
        }
    }

    // An output in FIR mode with a low-pass FIR, whose frequency is its main
    // value: a band turned to All Pass and back brings the phase panel up and
    // closes it again, and at no step does a panel lie over a FIR control
    // (mode, type, window, order, both frequency fields) or a band's type box.
    void firfields_data()
    {
        QTest::addColumn<QPoint>("where"); // the main window's corner
        QTest::addColumn<int>("firtype");  // 1 HP, 2 LP, 3 BP
        QTest::newRow("HP, window centred") << QPoint(132, 156) << 1;
        QTest::newRow("LP, window centred") << QPoint(132, 156) << 2;
        QTest::newRow("BP, window centred") << QPoint(132, 156) << 3;
    }
    void firfields()
    {
        QFETCH(QPoint, where);
        QFETCH(int, firtype);
        w->move(where);
        QTRY_COMPARE(XWindowManager::frame(x, w->winId()).topLeft(), where);
        gMainApp->getcurdevice()->setfirflag(0, 1);
        clickpage("pushButton_6");
        static_cast<QAbstractButton *>(named("eqbtnout1"))->click();
        Ui::FormEq *ui = gFormEq->form();
        ui->cbxFirFlat->setCurrentIndex(firtype);
        QWidget *fir = gFormEq->firpanel();
        QWidget *phase = ui->widgeteqbtn->phasepanel();
        QComboBox *type = ui->widgeteqbtn->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"));
        QVERIFY(named("Editeqfirfreqhigh")->isVisible() || named("Editeqfirfreqlow")->isVisible());

        // Band 1 as it is, then All Pass, then PEQ again.
        for (const int band : {0, 5, 0}) {
            type->setCurrentIndex(band);
            const bool allpass = band == 5;
            QTRY_VERIFY(viewable(fir));
            QTRY_COMPARE(viewable(phase), allpass);
            QGuiApplication::sync();
            QList<QWidget *> clear;
            for (const char *n :
                 {"comboBox_ir", "cbxFirFlat", "cbxFirWindows", "cbxFirorder", "Editeqfirfreqlow",
                  "Editeqfirfreqhigh", "cbxHPFSlope", "cbxHPFSlope_2", "cbxHPFSlope_3", "cbxHPFSlope_4",
                  "cbxHPFSlope_5", "cbxHPFSlope_6", "cbxHPFSlope_7"})
                if (named(n)->isVisible())
                    clear << named(n);
            for (QWidget *p : {fir, phase}) {
                if (!viewable(p))
                    continue;
                const QRect r = XWindowManager::frame(x, p->winId());
                QStringList covered;
                for (QWidget *c : clear)
                    if (r.intersects(QRect(c->mapToGlobal(QPoint(0, 0)), c->size())))
                        covered << c->objectName();
                QVERIFY2(covered.isEmpty(), qPrintable(QStringLiteral("band 1 type %1: %2 covers %3")
                                                           .arg(band)
                                                           .arg(QLatin1String(p->metaObject()->className()),
                                                                covered.join(QLatin1String(", ")))));
            }
        }
    }

    // The phase panel: with an All Pass band on the page in front; gone when
    // the band leaves All Pass, after a close request until All Pass is
    // chosen again, and while the main page is in front.
    void phasepanel()
    {
        FormPhase *panel = gFormEq->form()->widgeteqbtn->phasepanel();
        clickpage("pushButton_6");
        QComboBox *type = gFormEq->form()->widgeteqbtn->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"));
        type->setCurrentIndex(5);
        QTRY_VERIFY(viewable(panel));
        type->setCurrentIndex(0);
        QTRY_VERIFY(!viewable(panel));
        type->setCurrentIndex(5);
        QTRY_VERIFY(viewable(panel));
        closerequest(panel);
        QTRY_VERIFY(!viewable(panel));
        download();
        QVERIFY(staysunmapped(panel));
        type->setCurrentIndex(0);
        type->setCurrentIndex(5);
        QTRY_VERIFY(viewable(panel));

        clickpage("pushButton");
        QTRY_VERIFY(!viewable(panel));
        clickpage("pushButton_6");
        QTRY_VERIFY(viewable(panel));
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXPanels>(argc, argv);
}

#include "tst_xpanels.moc"
