#include "formgain.h"

#include "mainapp.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
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
    void signalsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updategainvalues") << QByteArray("updategainvalues(int)");
        QTest::newRow("upmetubtns") << QByteArray("upmetubtns()");
    }
    void signalsconnect()
    {
        QFETCH(QByteArray, signature);
        FormGain page;
        QSignalSpy spy(&page, QByteArray("2" + signature).constData());
        QVERIFY(spy.isValid());
    }

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("timetosendlight") << QByteArray("timetosendlight()");
        QTest::newRow("readlight") << QByteArray("readlight(QString)");
        QTest::newRow("updategainview") << QByteArray("updategainview(int)");
        QTest::newRow("updategainlock") << QByteArray("updategainlock()");
        QTest::newRow("updategain") << QByteArray("updategain()");
        QTest::newRow("messgeformpeq") << QByteArray("messgeformpeq(int,int)");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormGain page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormGain)
#include "tst_formgain.moc"
