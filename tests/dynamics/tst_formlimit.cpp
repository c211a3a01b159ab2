#include "formlimit.h"

#include "mainapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormLimit : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormLimit> page = new FormLimit;
        QMdiSubWindow *sub = area.addSubWindow(page);
        // Inside its sub-window the page is a plain child, never a window of its own.
        QVERIFY(!page->isWindow());
        app.setview(MainApp::LimitView, sub);
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(sub->isHidden());
        QVERIFY(!page->close());
        QVERIFY(page);
        gMainApp = nullptr;
    }

    // The main window connects by signature text: every signal and slot it
    // names must be found that way.
    void connectablebyname()
    {
        FormLimit page;
        for (const char *s : {"updatelimitvalues(int)"})
            QVERIFY2(page.metaObject()->indexOfSignal(s) >= 0, s);
        for (const char *s :
             {"updatelimitview(int)", "updatelimitlock()", "updatelimit()", "refreshLanText()"})
            QVERIFY2(page.metaObject()->indexOfSlot(s) >= 0, s);
    }
};

QTEST_MAIN(TstFormLimit)
#include "tst_formlimit.moc"
