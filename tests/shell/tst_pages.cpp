#include "dspresources.h"
#include "formdelay.h"
#include "formeq.h"
#include "formgain.h"
#include "formgeq.h"
#include "formlimit.h"
#include "formlimit2.h"
#include "formsetview.h"
#include "mainapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <functional>

using PageMaker = std::function<QWidget *()>;
Q_DECLARE_METATYPE(PageMaker)
Q_DECLARE_METATYPE(MainApp::View)

class TstPages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initdspresources(); }

    // Every page as the main window holds it: a sub-window of a multi-document
    // area that closing only hides, with the language slot it is wired to.
    void pages_data()
    {
        QTest::addColumn<PageMaker>("make");
        QTest::addColumn<MainApp::View>("view");
        QTest::newRow("gain") << PageMaker([] { return new FormGain; }) << MainApp::GainView;
        QTest::newRow("delay") << PageMaker([] { return new FormDelay; }) << MainApp::DelayView;
        QTest::newRow("eq") << PageMaker([] { return new FormEq; }) << MainApp::PeqView;
        QTest::newRow("geq") << PageMaker([] { return new FormGeq; }) << MainApp::GeqView;
        QTest::newRow("limit") << PageMaker([] { return new FormLimit; }) << MainApp::LimitView;
        QTest::newRow("limit2") << PageMaker([] { return new FormLimit2; }) << MainApp::Limit2View;
        QTest::newRow("programs") << PageMaker([] { return new FormSetView; }) << MainApp::SetView;
    }

    void pages()
    {
        QFETCH(PageMaker, make);
        QFETCH(MainApp::View, view);
        MainApp app;
        gMainApp = &app;
        QMdiArea area;
        QPointer<QWidget> page = make();
        QMdiSubWindow *sub = area.addSubWindow(page);
        QVERIFY(!page->isWindow());
        app.setview(view, sub);
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(sub->isHidden());
        QVERIFY(!page->close());
        QVERIFY(page);
        QVERIFY(page->metaObject()->indexOfSlot("refreshLanText()") >= 0);
        // A page with its own window icon takes it from the resources, never
        // from a path on the disk.
        if (view != MainApp::LimitView && view != MainApp::SetView)
            QVERIFY(!page->windowIcon().pixmap(16).isNull());
        gMainApp = nullptr;
    }

    // The main window refreshes the main page's eight peak-limiter summaries
    // through this one call.
    void limit2emitseveryoutput()
    {
        FormLimit2 page;
        QSignalSpy spy(&page, &FormLimit2::updatelimitvalues2);
        page.updateallvalues2();
        QCOMPARE(spy.count(), 8);
        for (int o = 0; o < 8; ++o)
            QCOMPARE(spy.at(o).at(0).toInt(), o);
    }
};

QTEST_MAIN(TstPages)
#include "tst_pages.moc"
