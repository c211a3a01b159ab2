// GCC's debug build takes QFETCH's variables used through a member-function
// pointer table for uninitialised; they are not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "ccomctrl.h"
#include "devicedata.h"
#include "dialogcom.h"
#include "mainapp.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace
{
const QHostAddress kSerial(QStringLiteral("0.0.0.0"));
const QHostAddress kNet1(QStringLiteral("192.0.2.2"));
const QHostAddress kNet2(QStringLiteral("192.0.2.3"));
// The show and hide calls by view number (the main page has its own).
void (MainApp::*const kShow[])() = {&MainApp::showmainview, &MainApp::showgainview,  &MainApp::showdelayview,
                                    &MainApp::showeqview,   &MainApp::showgeqview,   &MainApp::showlimitview,
                                    &MainApp::showsetview,  &MainApp::showlimit2view};
bool (MainApp::*const kHide[])() = {nullptr,
                                    &MainApp::hidegainview,
                                    &MainApp::hidedelayview,
                                    &MainApp::hideeqview,
                                    &MainApp::hidegeqview,
                                    &MainApp::hidelimitview,
                                    &MainApp::hidesetview,
                                    &MainApp::hidelimit2view};
} // namespace

class TstMainApp : public QObject
{
    Q_OBJECT
private:
    MainApp *app = nullptr;
    QWidget *views[MainApp::ViewCount] = {};

    // The controller with eight plain widgets in place of the page sub-windows.
    void makeapp(bool withviews)
    {
        app = new MainApp;
        if (!withviews)
            return;
        for (int v = 0; v < MainApp::ViewCount; ++v) {
            views[v] = new QWidget;
            views[v]->setObjectName(QStringLiteral("view%1").arg(v));
            app->setview(MainApp::View(v), views[v]);
        }
        app->initwindows();
    }

private slots:
    void cleanup()
    {
        // The controller deletes six of the sub-windows; the limiter and
        // programs pages' belong to the multi-document area.
        delete app;
        app = nullptr;
        delete views[MainApp::LimitView];
        delete views[MainApp::SetView];
        for (QWidget *&w : views)
            w = nullptr;
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
    }

    // --- Device list ------------------------------------------------------

    void adddevicekeys()
    {
        makeapp(false);
        DeviceData *a = MainApp::adddevice(0x18, 1, kSerial);
        QCOMPARE(gDeviceList.size(), 1);

        // The same key twice: the same record, listed once, unchanged.
        a->setlocktype(3);
        QCOMPARE(MainApp::adddevice(0x18, 1, kSerial), a);
        QCOMPARE(gDeviceList.size(), 1);
        QCOMPARE(a->getlocktype(), 3);

        // Same type and address on the network: another record.
        DeviceData *b = MainApp::adddevice(0x18, 1, kNet1);
        QVERIFY(b != a);
        QCOMPARE(gDeviceList.size(), 2);
        // Another network address, another type, another address.
        DeviceData *c = MainApp::adddevice(0x18, 1, kNet2);
        DeviceData *d = MainApp::adddevice(0x16, 1, kSerial);
        DeviceData *e = MainApp::adddevice(0x18, 2, kSerial);
        QCOMPARE(gDeviceList, (QList<DeviceData *>{a, b, c, d, e}));

        QCOMPARE(MainApp::finddevice(0x18, 1, kNet1), b);
        QCOMPARE(MainApp::finddevice(0x16, 1, kSerial), d);
        QVERIFY(!MainApp::finddevice(0x14, 1, kSerial));
        QVERIFY(!MainApp::finddevice(0x18, 1, QHostAddress()));
        QVERIFY(MainApp::hasdevice(0x18, 2, kSerial));
        QVERIFY(!MainApp::hasdevice(0x18, 3, kSerial));
    }

    void removeandclear()
    {
        makeapp(false);
        DeviceData *a = MainApp::adddevice(0x18, 1, kSerial);
        DeviceData *b = MainApp::adddevice(0x14, 2, kSerial);
        MainApp::adddevice(0x16, 3, kNet1);
        app->removedevice(0x14, 9, kSerial); // not listed: nothing
        QCOMPARE(gDeviceList.size(), 3);
        app->removedevice(0x14, 2, kSerial);
        QCOMPARE(gDeviceList.size(), 2);
        QVERIFY(!MainApp::hasdevice(0x14, 2, kSerial));
        QCOMPARE(gDeviceList.first(), a);
        Q_UNUSED(b);

        for (int i = 0; i < MainApp::kSlotCount; ++i) {
            app->setslotused(i, 1);
            app->setslotonline(i, 1);
            app->setslotname(i, QStringLiteral("4IN8OUT:%1").arg(i, 2, 16, QLatin1Char('0')));
        }
        app->deletealldevices();
        QVERIFY(gDeviceList.isEmpty());
        for (int i = 0; i < MainApp::kSlotCount; ++i) {
            QCOMPARE(app->getslotused(i), uchar(0));
            // Texts and online flags stay.
            QCOMPARE(app->getslotonline(i), uchar(1));
            QCOMPARE(app->getslotname(i), QStringLiteral("4IN8OUT:%1").arg(i, 2, 16, QLatin1Char('0')));
        }
    }

    // The current device is a listed record or the default record, never a
    // freed one and never none.
    void currentdevicerule_data()
    {
        QTest::addColumn<int>("action");
        QTest::newRow("remove current") << 0;
        QTest::newRow("delete all") << 1;
    }
    void currentdevicerule()
    {
        QFETCH(int, action);
        makeapp(true);
        DeviceData *def = app->getdefaultdevice();
        QCOMPARE(app->getcurdevice(), def);
        DeviceData *a = MainApp::adddevice(0x18, 1, kSerial);
        DeviceData *b = MainApp::adddevice(0x18, 1, kNet1);

        app->selectdevice(0x18, 1, kNet1);
        QCOMPARE(app->getcurdevice(), b);
        // A key that is not listed leaves the current device unchanged.
        app->selectdevice(0x14, 7, kSerial);
        QCOMPARE(app->getcurdevice(), b);
        app->selectdevice(0x18, 1, kSerial);
        QCOMPARE(app->getcurdevice(), a);

        a->setcomconnected(1);
        def->setcomconnected(1);
        def->settcpconnected(1);
        if (action == 0)
            app->removedevice(0x18, 1, kSerial);
        else
            app->deletealldevices();
        QCOMPARE(app->getcurdevice(), def);
        QCOMPARE(def->getcomconnected(), 0);
        QCOMPARE(def->gettcpconnected(), 0);
        // Every sender and page can go on reading the current device.
        app->setmute(0, 1);
        QVERIFY(app->getmute(0));
        app->sendgain(0);
        app->showgainview();
        QVERIFY(!views[MainApp::GainView]->isHidden());

        // Removing a record that is not current leaves the current one.
        if (action == 0) {
            app->selectdevice(0x18, 1, kNet1);
            QCOMPARE(app->getcurdevice(), b);
            MainApp::adddevice(0x14, 4, kSerial);
            app->removedevice(0x14, 4, kSerial);
            QCOMPARE(app->getcurdevice(), b);
        }
    }

    // Hand-added addresses stay within 1..32 and skip taken ones.
    void nextfreeaddress_data()
    {
        QTest::addColumn<QList<int>>("taken");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty list") << QList<int>{} << 1 << 1;
        QTest::newRow("start taken") << QList<int>{1} << 1 << 2;
        QTest::newRow("wraps past taken") << QList<int>{31, 32, 1, 2} << 31 << 3;
        QTest::newRow("start 255") << QList<int>{1} << 255 << 2;
        QList<int> all;
        for (int i = 1; i <= 32; ++i)
            all << i;
        QTest::newRow("all taken") << all << 5 << 0;
    }
    void nextfreeaddress()
    {
        QFETCH(QList<int>, taken);
        QFETCH(int, start);
        QFETCH(int, expected);
        makeapp(false);
        for (int a : taken)
            MainApp::adddevice(0x18, uchar(a), kSerial);
        // Other types and network devices do not take a serial address.
        MainApp::adddevice(0x14, uchar(expected ? expected : 1), kSerial);
        MainApp::adddevice(0x18, uchar(expected ? expected : 1), kNet1);
        QCOMPARE(int(MainApp::nextfreeaddress(0x18, start)), expected);
    }

    // --- Page control -------------------------------------------------------

    void initwindowslayout()
    {
        makeapp(true);
        QCOMPARE(app->getmaxwindow(), uchar(1));
        for (int v = 0; v < MainApp::ViewCount; ++v) {
            QWidget *w = views[v];
            QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
            if (v == MainApp::MainView) {
                QVERIFY(!w->isHidden());
                QVERIFY(w->windowState() & Qt::WindowMaximized);
                continue;
            }
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
            const int h = (v == MainApp::GeqView || v == MainApp::SetView) ? 608 : 605;
            QCOMPARE(w->geometry(), QRect(0, 0, 919, h));
        }
        QCOMPARE(app->getpeqchannel(), 0);
        QCOMPARE(app->getgeqchannel(), 0);
        QCOMPARE(app->geteqviewch(), 0);
    }

    void showrules_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("lock");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("meter");
        // Every lock state on the gain page (the one that turns the meters on),
        // a hiding lock on each other page, and the page no lock hides.
        for (int lock = 0; lock <= 4; ++lock)
            QTest::addRow("gain lock %d", lock) << int(MainApp::GainView) << lock << (lock != 2 && lock != 4) << 1;
        const int hiding[][2] = {{MainApp::DelayView, 4}, {MainApp::PeqView, 2},   {MainApp::GeqView, 4},
                                 {MainApp::LimitView, 2}, {MainApp::Limit2View, 4}};
        for (const auto &r : hiding)
            QTest::addRow("view %d lock %d", r[0], r[1]) << r[0] << r[1] << false << 0;
        QTest::newRow("delay lock 1") << int(MainApp::DelayView) << 1 << true << 0;
        QTest::newRow("set lock 2") << int(MainApp::SetView) << 2 << true << 0;
        QTest::newRow("set lock 4") << int(MainApp::SetView) << 4 << true << 0;
    }
    void showrules()
    {
        QFETCH(int, view);
        QFETCH(int, lock);
        QFETCH(bool, shown);
        QFETCH(int, meter);
        makeapp(true);
        app->getcurdevice()->setlocktype(lock);
        app->meteron = uchar(1 - meter);
        (app->*kShow[view])();
        QCOMPARE(int(app->meteron), meter);
        QCOMPARE(!views[view]->isHidden(), shown);
        if (shown) {
            QVERIFY(views[view]->windowState() & Qt::WindowMaximized);
            QVERIFY(views[view]->windowFlags() & Qt::FramelessWindowHint);
        }
        // The main page stays as it was.
        QVERIFY(!views[MainApp::MainView]->isHidden());
    }

    void hiderules_data()
    {
        QTest::addColumn<int>("view");
        for (int v = MainApp::GainView; v < MainApp::ViewCount; ++v)
            QTest::addRow("view %d", v) << v;
    }
    void hiderules()
    {
        QFETCH(int, view);
        makeapp(true);
        for (int v = MainApp::ViewCount - 1; v >= MainApp::GainView; --v)
            (app->*kShow[v])();
        QCOMPARE(app->meteron, uchar(1));
        views[MainApp::MainView]->setWindowState(Qt::WindowNoState);
        bool result = false;
        result = (app->*kHide[view])();
        QVERIFY(result);
        QVERIFY(views[view]->isHidden());
        QVERIFY(views[MainApp::MainView]->windowState() & Qt::WindowMaximized);
        // Hiding leaves the gain-page flag alone.
        QCOMPARE(app->meteron, uchar(1));
        // The other pages are untouched.
        for (int v = MainApp::GainView; v < MainApp::ViewCount; ++v) {
            if (v != view)
                QVERIFY(!views[v]->isHidden());
        }
    }

    void showmainview()
    {
        makeapp(true);
        app->showgainview();
        QCOMPARE(app->meteron, uchar(1));
        views[MainApp::MainView]->setWindowState(Qt::WindowNoState);
        app->showmainview();
        QCOMPARE(app->meteron, uchar(0));
        QVERIFY(!views[MainApp::MainView]->isHidden());
        QVERIFY(views[MainApp::MainView]->windowState() & Qt::WindowMaximized);
        // Any lock state: the main page opens.
        app->getcurdevice()->setlocktype(4);
        app->showgainview();
        QCOMPARE(app->meteron, uchar(1));
        app->showmainview();
        QVERIFY(!views[MainApp::MainView]->isHidden());
    }

    // The same rules on real sub-windows of a multi-document area, as the
    // main window hands them over.
    void mdisubwindows()
    {
        app = new MainApp;
        QMdiArea area;
        area.resize(919, 605);
        QMdiSubWindow *subs[MainApp::ViewCount];
        for (int v = 0; v < MainApp::ViewCount; ++v) {
            subs[v] = area.addSubWindow(new QWidget);
            subs[v]->show();
            app->setview(MainApp::View(v), subs[v]);
        }
        app->initwindows();
        area.show();
        QVERIFY(subs[MainApp::MainView]->isVisible());
        QVERIFY(subs[MainApp::MainView]->isMaximized());
        for (int v = MainApp::GainView; v < MainApp::ViewCount; ++v) {
            QVERIFY(subs[v]->isHidden());
            QVERIFY(subs[v]->windowFlags() & Qt::FramelessWindowHint);
        }
        app->showgainview();
        QVERIFY(subs[MainApp::GainView]->isVisible());
        QVERIFY(subs[MainApp::GainView]->isMaximized());
        app->showeqview();
        QVERIFY(subs[MainApp::PeqView]->isVisible());
        QVERIFY(app->hideeqview());
        QVERIFY(app->hidegainview());
        QVERIFY(subs[MainApp::GainView]->isHidden());
        QVERIFY(subs[MainApp::PeqView]->isHidden());
        QVERIFY(subs[MainApp::MainView]->isVisible());
        QVERIFY(subs[MainApp::MainView]->isMaximized());
        app->showmainview();
        QVERIFY(subs[MainApp::MainView]->isVisible());
        // The controller takes six sub-windows with it; the area the rest.
        delete app;
        app = nullptr;
        QCOMPARE(area.subWindowList().size(), 2);
    }

    void missingviews()
    {
        // Before the pages exist nothing is shown and nothing breaks.
        makeapp(false);
        app->showgainview();
        app->showmainview();
        app->showsetview();
        QVERIFY(app->hidegainview());
        QCOMPARE(app->meteron, uchar(0));
    }

    // --- Caches and shortcuts ---------------------------------------------------

    // Out-of-range indices are ignored, never stored outside the arrays.
    void caches()
    {
        makeapp(false);
        app->setgaincache(12, 99.0f);
        app->setgeqgain(31, 99.0);
        app->setslotused(13, 1);
        QCOMPARE(app->getgaincache(12), 0.0f);
        QCOMPARE(app->getgeqgain(-1), 0.0);
        QCOMPARE(app->getslotused(13), uchar(0));
    }

    void peqq_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<float>("q");
        QTest::newRow("shelf 6 low") << 1 << 3 << 0.707f;
        QTest::newRow("shelf 12 low") << 2 << 17 << 0.95f;
        QTest::newRow("shelf 6 high") << 3 << 17 << 0.707f;
        QTest::newRow("shelf 12 high") << 4 << 3 << 0.95f;
        QTest::newRow("all-pass") << 5 << 10 << 2.9f;
        QTest::newRow("bypassed all-pass") << 0x85 << 10 << 2.9f;
    }
    void peqq()
    {
        QFETCH(int, type);
        QFETCH(int, width);
        QFETCH(float, q);
        makeapp(false);
        app->setpeqchannel(6);
        DeviceData *d = app->getcurdevice();
        d->setpeqtype(6, 2, type & 0x0F);
        d->setpeqbypass(6, 2, type & 0x80);
        d->setpeqwidth(6, 2, width);
        QCOMPARE(app->getpeqtype(2), type & 0x0F);
        QCOMPARE(app->getpeqq(2), q);
        QCOMPARE(app->getpeqbandbypass(2), (type & 0x80) ? 1 : 0);
    }

    void peqgetters()
    {
        makeapp(false);
        DeviceData *d = app->getcurdevice();
        app->setpeqchannel(4);
        d->setpeqgain(4, 0, 450);
        d->setpeqgain(4, 1, 0);
        d->setpeqgain(4, 2, 305);
        d->setpeqwidth(4, 0, 40);
        d->setpeqallpass(4, 0, 123);
        d->setpeqtype(4, 3, 0);
        d->setpeqwidth(4, 3, 17);
        QCOMPARE(app->getpeqgain(0), 15.0);
        QCOMPARE(app->getpeqgain(1), -30.0);
        QCOMPARE(app->getpeqgain(2), 0.5);
        QCOMPARE(app->getpeqwidth(0), 40);
        QCOMPARE(app->getpeqallpass(0), 123);
        QCOMPARE(app->getpeqq(3), app->getqvalue(17));
        d->setpeqfreq(4, 0, 238);
        QCOMPARE(app->getpeqfreq(0), 1000.0f);
        QCOMPARE(app->getfreqvalue(398), 21900.0f);
        QCOMPARE(app->getgridfreq(0), 10.0);
        d->sethpffreq(0, 0);
        d->setlpffreq(0, 398);
        QCOMPARE(app->getxoverhighfreq(), 10.0f);
        QCOMPARE(app->getxoverlowfreq(), 21900.0f);
        // An input has no crossover; a band index out of range reads nothing.
        app->setpeqchannel(2);
        QCOMPARE(app->getxoverhighfreq(), 0.0f);
        QCOMPARE(app->getpeqgain(7), 0.0);
        app->setpeqchannel(12);
        QCOMPARE(app->getpeqfreq(0), 0.0f);
    }

    void bypassall()
    {
        makeapp(false);
        DeviceData *d = app->getcurdevice();
        app->setpeqchannel(3);
        app->setgeqchannel(9);
        d->setgeq(9, 4, 300, true);
        QCOMPARE(app->getgeqbandpass(4), 1);
        QCOMPARE(app->getgeqbandpass(5), 0);
        app->setcurpeqbypassall(1);
        QCOMPARE(app->getcurpeqbypassall(), 1);
        QCOMPARE(d->getbypassbyte(3), 0x01);
        app->setcurgeqbypassall(1);
        QCOMPARE(app->getcurgeqbypassall(), 1);
        QCOMPARE(d->getbypassbyte(9), 0x10);
        app->setcurgeqbypassall(0);
        QCOMPARE(app->getcurgeqbypassall(), 0);
        app->setpeqbypassall(9, 1);
        app->setgeqbypassall(9, 1);
        QCOMPARE(d->getbypassbyte(9), 0x11);
        app->setmute(5, 1);
        QVERIFY(app->getmute(5));
        app->setmute(5, 7);
        QVERIFY(app->getmute(5));
        app->setmute(5, 0);
        QVERIFY(!app->getmute(5));
    }

    // --- Dialogs ------------------------------------------------------------

    void showaboutruns()
    {
        makeapp(false);
        app->showabout(); // no dialog handed over yet: nothing happens
        QDialog about;
        app->setaboutdialog(&about);
        bool wasmodal = false;
        QTimer::singleShot(0, &about, [&] {
            wasmodal = about.isVisible() && about.isModal();
            about.accept();
        });
        app->showabout();
        QVERIFY(wasmodal);
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    // --- The delay routine ----------------------------------------------------

    void delaymshandlesevents()
    {
        int fired = 0;
        QTimer t;
        t.setInterval(5);
        connect(&t, &QTimer::timeout, [&fired] { ++fired; });
        t.start();
        QElapsedTimer clock;
        clock.start();
        MainApp::delayms(100);
        QVERIFY(clock.elapsed() >= 100);
        QVERIFY(fired >= 2);
    }
};

QTEST_MAIN(TstMainApp)
#include "tst_mainapp.moc"
