#include "formeq.h"

#include "mainapp.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormEq : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormEq> page = new FormEq;
        QMdiSubWindow *sub = area.addSubWindow(page);
        app.setview(MainApp::PeqView, sub);
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
        QTest::newRow("peqbypassalltomain") << QByteArray("peqbypassalltomain()");
        QTest::newRow("sendtogainview") << QByteArray("sendtogainview(int,int)");
        QTest::newRow("sendtodelayview") << QByteArray("sendtodelayview(int,int)");
    }
    void signalsconnect()
    {
        QFETCH(QByteArray, signature);
        FormEq page;
        QSignalSpy spy(&page, QByteArray("2" + signature).constData());
        QVERIFY(spy.isValid());
    }

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updatepeqview") << QByteArray("updatepeqview(int)");
        QTest::newRow("updatepeqlock") << QByteArray("updatepeqlock()");
        QTest::newRow("updateeq") << QByteArray("updateeq()");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormEq page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormEq)
#include "tst_formeq.moc"
