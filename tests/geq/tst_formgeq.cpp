#include "formgeq.h"

#include "mainapp.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

// The page as the main window holds it: a sub-window of a multi-document
// area, known to the controller.
class TstFormGeq : public QObject
{
    Q_OBJECT
private slots:
    void closehidesandkeepsthepage()
    {
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<FormGeq> page = new FormGeq;
        QMdiSubWindow *sub = area.addSubWindow(page);
        app.setview(MainApp::GeqView, sub);
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(sub->isHidden());
        QVERIFY(!page->close());
        QVERIFY(page);
        gMainApp = nullptr;
    }

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updategeqview") << QByteArray("updategeqview(int)");
        QTest::newRow("updategeqlock") << QByteArray("updategeqlock()");
        QTest::newRow("updategeq") << QByteArray("updategeq()");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormGeq page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormGeq)
#include "tst_formgeq.moc"
