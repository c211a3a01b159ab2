#include "formmainview.h"

#include "mainapp.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
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
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(!sub->isHidden());
        QVERIFY(page->isVisible());
    }

    // The main window connects by signature text: every signal and slot it
    // names must be found that way.
    void signalsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("updategaindlg") << QByteArray("updategaindlg()");
        QTest::newRow("updatedelaydlg") << QByteArray("updatedelaydlg()");
        QTest::newRow("updategeqdlg") << QByteArray("updategeqdlg()");
        QTest::newRow("updateeqdlg") << QByteArray("updateeqdlg()");
        QTest::newRow("updatelimitdlg") << QByteArray("updatelimitdlg()");
        QTest::newRow("updatelimitdlg2") << QByteArray("updatelimitdlg2()");
        QTest::newRow("sChangeButtonview") << QByteArray("sChangeButtonview(int)");
    }
    void signalsconnect()
    {
        QFETCH(QByteArray, signature);
        FormMainView page;
        QSignalSpy spy(&page, QByteArray("2" + signature).constData());
        QVERIFY(spy.isValid());
    }

    void slotsconnect_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("refreshLanText") << QByteArray("refreshLanText()");
        QTest::newRow("updatemainview") << QByteArray("updatemainview(int)");
        QTest::newRow("updatepeqbypass") << QByteArray("updatepeqbypass()");
        QTest::newRow("updateabcdbtn") << QByteArray("updateabcdbtn()");
        QTest::newRow("updatephasebtns") << QByteArray("updatephasebtns()");
        QTest::newRow("updatemetubtn") << QByteArray("updatemetubtn()");
        QTest::newRow("updategainvalues") << QByteArray("updategainvalues(int)");
        QTest::newRow("updatedelayvalues") << QByteArray("updatedelayvalues(int)");
        QTest::newRow("updatelimitvalues") << QByteArray("updatelimitvalues(int)");
        QTest::newRow("updatelimitvalues2") << QByteArray("updatelimitvalues2(int)");
        QTest::newRow("updatemainlock") << QByteArray("updatemainlock()");
    }
    void slotsconnect()
    {
        QFETCH(QByteArray, signature);
        FormMainView page;
        QVERIFY(page.metaObject()->indexOfSlot(signature.constData()) >= 0);
    }
};

QTEST_MAIN(TstFormMainView)
#include "tst_formmainview.moc"
