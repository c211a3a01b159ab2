#include "formsetview.h"

#include "mainapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormSetView : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormSetView> page = new FormSetView;
        QMdiSubWindow *sub = area.addSubWindow(page);
        // Inside its sub-window the page is a plain child, never a window of its own.
        QVERIFY(!page->isWindow());
        app.setview(MainApp::SetView, sub);
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
        FormSetView page;
        for (const char *s : {"sendconnect()", "updataallviews()"})
            QVERIFY2(page.metaObject()->indexOfSignal(s) >= 0, s);
        for (const char *s : {"refreshdata()", "on_btn_ref1_clicked()", "refreshLanText()"})
            QVERIFY2(page.metaObject()->indexOfSlot(s) >= 0, s);
    }
};

QTEST_MAIN(TstFormSetView)
#include "tst_formsetview.moc"
