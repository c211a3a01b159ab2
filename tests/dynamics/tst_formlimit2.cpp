#include "formlimit2.h"

#include "mainapp.h"

#include <QCloseEvent>
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

    // The main window connects by signature text: every signal and slot it
    // names must be found that way.
    void signalsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updatelimitvalues2") << QByteArray("updatelimitvalues2(int)");
    }
    void signalsconnect()
    {
        QFETCH(QByteArray, signature);
        FormLimit2 page;
        QSignalSpy spy(&page, QByteArray("2" + signature).constData());
        QVERIFY(spy.isValid());
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

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updatelimitview2") << QByteArray("updatelimitview2(int)");
        QTest::newRow("updatelimit2") << QByteArray("updatelimit2()");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormLimit2 page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormLimit2)
#include "tst_formlimit2.moc"
