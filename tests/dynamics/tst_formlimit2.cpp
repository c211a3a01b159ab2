#include "formlimit2.h"

#include "mainapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormLimit2 : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormLimit2> page = new FormLimit2;
        QMdiSubWindow *sub = area.addSubWindow(page);
        // Inside its sub-window the page is a plain child, never a window of its own.
        QVERIFY(!page->isWindow());
        app.setview(MainApp::Limit2View, sub);
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(sub->isHidden());
        QVERIFY(!page->close());
        QVERIFY(page);
        gMainApp = nullptr;
    }

    // The main window refreshes the main page's eight peak-limiter summaries
    // through this one call.
    void updateallvalues2emitseveryoutput()
    {
        FormLimit2 page;
        QSignalSpy spy(&page, &FormLimit2::updatelimitvalues2);
        page.updateallvalues2();
        QCOMPARE(spy.count(), 8);
        for (int o = 0; o < 8; ++o)
            QCOMPARE(spy.at(o).at(0).toInt(), o);
    }

    // The main window connects by signature text: every signal and slot it
    // names must be found that way.
    void connectablebyname()
    {
        FormLimit2 page;
        for (const char *s : {"updatelimitvalues2(int)"})
            QVERIFY2(page.metaObject()->indexOfSignal(s) >= 0, s);
        for (const char *s : {"updatelimitview2(int)", "updatelimit2()", "refreshLanText()"})
            QVERIFY2(page.metaObject()->indexOfSlot(s) >= 0, s);
    }
};

QTEST_MAIN(TstFormLimit2)
#include "tst_formlimit2.moc"
