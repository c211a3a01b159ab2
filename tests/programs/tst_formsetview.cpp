#include "formsetview.h"

#include "mainapp.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
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
    void signalsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("sendconnect") << QByteArray("sendconnect()");
        QTest::newRow("updataallviews") << QByteArray("updataallviews()");
    }
    void signalsconnect()
    {
        QFETCH(QByteArray, signature);
        FormSetView page;
        QSignalSpy spy(&page, QByteArray("2" + signature).constData());
        QVERIFY(spy.isValid());
    }

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("refreshdata") << QByteArray("refreshdata()");
        QTest::newRow("on_btn_ref1_clicked") << QByteArray("on_btn_ref1_clicked()");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormSetView page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormSetView)
#include "tst_formsetview.moc"
