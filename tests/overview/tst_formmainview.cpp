#include "formmainview.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormMainView : public QObject
{
    Q_OBJECT
private slots:
    // The main page refuses the close and stays shown: nothing would show it again.
    void closeisrefused()
    {
        QMdiArea area;
        QPointer<FormMainView> page = new FormMainView;
        QMdiSubWindow *sub = area.addSubWindow(page);
        // Inside its sub-window the page is a plain child, never a window of its own.
        QVERIFY(!page->isWindow());
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(!sub->isHidden());
        QVERIFY(page->isVisible());
    }

    // The main window connects by signature text: every signal and slot it
    // names must be found that way.
    void connectablebyname()
    {
        FormMainView page;
        for (const char *s : {"updategaindlg()", "updatedelaydlg()", "updategeqdlg()", "updateeqdlg()",
                              "updatelimitdlg()", "updatelimitdlg2()", "sChangeButtonview(int)"})
            QVERIFY2(page.metaObject()->indexOfSignal(s) >= 0, s);
        for (const char *s :
             {"refreshLanText()", "updatemainview(int)", "updatepeqbypass()", "updateabcdbtn()",
              "updatephasebtns()", "updatemetubtn()", "updategainvalues(int)", "updatedelayvalues(int)",
              "updatelimitvalues(int)", "updatelimitvalues2(int)", "updatemainlock()"})
            QVERIFY2(page.metaObject()->indexOfSlot(s) >= 0, s);
    }
};

QTEST_MAIN(TstFormMainView)
#include "tst_formmainview.moc"
