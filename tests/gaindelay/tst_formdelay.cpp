#include "formdelay.h"

#include "mainapp.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormDelay : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormDelay> page = new FormDelay;
        QMdiSubWindow *sub = area.addSubWindow(page);
        app.setview(MainApp::DelayView, sub);
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
    void signalsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updatedelayvalues") << QByteArray("updatedelayvalues(int)");
    }
    void signalsconnect()
    {
        QFETCH(QByteArray, signature);
        FormDelay page;
        QSignalSpy spy(&page, QByteArray("2" + signature).constData());
        QVERIFY(spy.isValid());
    }

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updatedelayview") << QByteArray("updatedelayview(int)");
        QTest::newRow("updatedelaylock") << QByteArray("updatedelaylock()");
        QTest::newRow("updatedelay") << QByteArray("updatedelay()");
        QTest::newRow("messgeformpeq") << QByteArray("messgeformpeq(int,int)");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormDelay page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormDelay)
#include "tst_formdelay.moc"
