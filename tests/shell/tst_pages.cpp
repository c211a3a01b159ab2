#include "dialogcopy.h"
#include "dialogdevicelock.h"
#include "dialoglink.h"
#include "dialogprojectlock.h"
#include "formdelay.h"
#include "formeq.h"
#include "formgain.h"
#include "formgeq.h"
#include "formlimit.h"
#include "formlimit2.h"
#include "formsetview.h"
#include "mainapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

using PageMaker = std::function<QWidget *()>;
Q_DECLARE_METATYPE(PageMaker)
Q_DECLARE_METATYPE(MainApp::View)

// Every page as the main window holds it: a sub-window of a multi-document
// area, known to the controller, connected by signature text.
class TstPages : public QObject
{
    Q_OBJECT
private slots:
    void pages_data()
    {
        QTest::addColumn<PageMaker>("make");
        QTest::addColumn<MainApp::View>("view");
        QTest::addColumn<QStringList>("signalnames");
        QTest::addColumn<QStringList>("slotnames");
        const QString lan = QStringLiteral("refreshLanText()");
        QTest::newRow("gain") << PageMaker([] { return new FormGain; }) << MainApp::GainView
                              << QStringList{"updategainvalues(int)", "upmetubtns()"}
                              << QStringList{"timetosendlight()",
                                             "readlight(QString)",
                                             "updategainview(int)",
                                             "updategainlock()",
                                             "updategain()",
                                             "messgeformpeq(int,int)",
                                             lan};
        QTest::newRow("delay") << PageMaker([] { return new FormDelay; }) << MainApp::DelayView
                               << QStringList{"updatedelayvalues(int)"}
                               << QStringList{"updatedelayview(int)", "updatedelaylock()", "updatedelay()",
                                              "messgeformpeq(int,int)", lan};
        QTest::newRow("eq") << PageMaker([] { return new FormEq; }) << MainApp::PeqView
                            << QStringList{"peqbypassalltomain()", "sendtogainview(int,int)",
                                           "sendtodelayview(int,int)"}
                            << QStringList{"updatepeqview(int)", "updatepeqlock()", "updateeq()", lan};
        QTest::newRow("geq") << PageMaker([] { return new FormGeq; }) << MainApp::GeqView
                             << QStringList{"geqbypassalltomain()"}
                             << QStringList{"updategeqview(int)", "updategeqlock()", "updategeq()",
                                            "updatenewdata()",    "timetosend()",    lan};
        QTest::newRow("limit") << PageMaker([] { return new FormLimit; }) << MainApp::LimitView
                               << QStringList{"updatelimitvalues(int)"}
                               << QStringList{"updatelimitview(int)", "updatelimitlock()", "updatelimit()",
                                              lan};
        QTest::newRow("limit2") << PageMaker([] { return new FormLimit2; }) << MainApp::Limit2View
                                << QStringList{"updatelimitvalues2(int)"}
                                << QStringList{"updatelimitview2(int)", "updatelimit2()", lan};
        QTest::newRow("programs") << PageMaker([] { return new FormSetView; }) << MainApp::SetView
                                  << QStringList{"sendconnect()", "updataallviews()"}
                                  << QStringList{"refreshdata()", "on_btn_ref1_clicked()", lan};
    }

    void pages()
    {
        QFETCH(PageMaker, make);
        QFETCH(MainApp::View, view);
        QFETCH(QStringList, signalnames);
        QFETCH(QStringList, slotnames);
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<QWidget> page = make();
        QMdiSubWindow *sub = area.addSubWindow(page);
        QVERIFY(!page->isWindow());
        app.setview(view, sub);
        area.show();
        sub->show();
        // Closing hides the sub-window and keeps the page.
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(sub->isHidden());
        QVERIFY(!page->close());
        QVERIFY(page);
        for (const QString &s : signalnames)
            QVERIFY2(page->metaObject()->indexOfSignal(qPrintable(s)) >= 0, qPrintable(s));
        for (const QString &s : slotnames)
            QVERIFY2(page->metaObject()->indexOfSlot(qPrintable(s)) >= 0, qPrintable(s));
        gMainApp = nullptr;
    }

    // The main window refreshes the main page's eight peak-limiter summaries
    // through this one call.
    void limit2emitseveryoutput()
    {
        FormLimit2 page;
        QSignalSpy spy(&page, &FormLimit2::updatelimitvalues2);
        page.updateallvalues2();
        QCOMPARE(spy.count(), 8);
        for (int o = 0; o < 8; ++o)
            QCOMPARE(spy.at(o).at(0).toInt(), o);
    }

    // The tool bar creates each dialog with itself as parent, prepares it, runs
    // it modally and relays its reload request.
    void devicedialogs()
    {
        QWidget toolbar;
        DialogLink link(&toolbar);
        DialogCopy copy(&toolbar);
        DialogDeviceLock lock(&toolbar);
        DialogProjectLock project(&toolbar);
        QVERIFY(QSignalSpy(&link, SIGNAL(updataallviews())).isValid());
        QVERIFY(QSignalSpy(&copy, SIGNAL(updataallviews())).isValid());
        link.loadlinkmasks(24);
        copy.initcopy(22);
        lock.loadlockstate();
        for (QDialog *d : {static_cast<QDialog *>(&link), static_cast<QDialog *>(&copy),
                           static_cast<QDialog *>(&lock), static_cast<QDialog *>(&project)}) {
            bool modal = false;
            QTimer::singleShot(0, d, [&] {
                modal = d->isVisible() && d->isModal();
                d->close();
            });
            d->exec();
            QVERIFY(modal);
            QVERIFY(d->isHidden());
        }
    }
};

QTEST_MAIN(TstPages)
#include "tst_pages.moc"
