#include "formgain.h"

#include "mainapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormGain : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormGain> page = new FormGain;
        QMdiSubWindow *sub = area.addSubWindow(page);
        // Inside its sub-window the page is a plain child, never a window of its own.
        QVERIFY(!page->isWindow());
        app.setview(MainApp::GainView, sub);
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
        FormGain page;
        for (const char *s : {"updategainvalues(int)", "upmetubtns()"})
            QVERIFY2(page.metaObject()->indexOfSignal(s) >= 0, s);
        for (const char *s :
             {"timetosendlight()", "readlight(QString)", "updategainview(int)", "updategainlock()",
              "updategain()", "messgeformpeq(int,int)", "refreshLanText()"})
            QVERIFY2(page.metaObject()->indexOfSlot(s) >= 0, s);
    }
};

QTEST_MAIN(TstFormGain)
#include "tst_formgain.moc"
