#include "formchtool.h"

#include "devicelink.h"
#include "mainapp.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace
{
const QString white = QStringLiteral("color: rgb(255, 255, 255);");
const QString black = QStringLiteral("color: rgb(0, 0, 0);");
} // namespace

class TstFormChTool : public QObject
{
    Q_OBJECT
private:
    MainApp *app = nullptr;

    // Marks slot k used with the given text, as the device search does.
    void useslot(int k, const QString &text)
    {
        app->setslotused(k, 1);
        app->setslotname(k, text);
    }
    static void show(FormChTool &bar)
    {
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
    }

private slots:
    void init()
    {
        app = new MainApp;
        gMainApp = app;
    }
    void cleanup()
    {
        gMainApp = nullptr;
        delete app;
        app = nullptr;
    }

    // Building the bar frees every slot and marks it offline.
    void constructionfreesslots()
    {
        for (int k = 0; k < 13; ++k) {
            app->setslotused(k, 1);
            app->setslotonline(k, 1);
        }
        FormChTool bar;
        for (int k = 0; k < 13; ++k) {
            QCOMPARE(int(app->getslotused(k)), 0);
            QCOMPARE(int(app->getslotonline(k)), 0);
        }
    }

    void slottext_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("addr");
        QTest::addColumn<QString>("text");
        QTest::newRow("24 at 10") << 24 << 10 << "4IN8OUT:0a";
        QTest::newRow("20 at 32") << 20 << 32 << "2IN4OUT:20";
        QTest::newRow("unknown type: the address alone") << 23 << 1 << "01";
        QTest::newRow("type 0 at 255") << 0 << 255 << "ff";
    }
    void slottext()
    {
        QFETCH(int, type);
        QFETCH(int, addr);
        QFETCH(QString, text);
        QCOMPARE(FormChTool::slottext(uchar(type), uchar(addr)), text);
    }

    // What the writer writes, the bar reads back, for every type and address.
    void slottextroundtrip()
    {
        for (int type : {24, 22, 20}) {
            for (int addr = 0; addr < 256; ++addr) {
                const QString text = FormChTool::slottext(uchar(type), uchar(addr));
                QCOMPARE(text.size(), 10);
                QCOMPARE(int(FormChTool::slottype(text)), type);
                uchar back = 0;
                QVERIFY(FormChTool::slotaddress(text, back));
                QCOMPARE(int(back), addr);
            }
        }
    }

    // A click sets type and address from the button's text before it sends
    // the slot index; 0x63 and 0x55 mean unchanged.
    void clickparsesslottext_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("addr");
        QTest::newRow("3IN6OUT:1f") << 4 << "3IN6OUT:1f" << 22 << 31;
        QTest::newRow("upper-case digits") << 1 << "2IN4OUT:1F" << 20 << 31;
        QTest::newRow("type word case-sensitive") << 2 << "4in8out:05" << 0x63 << 5;
        QTest::newRow("unknown type word") << 3 << "5IN9OUT:07" << 0x63 << 7;
        QTest::newRow("blank then a lone digit") << 5 << "3IN6OUT: 5" << 22 << 0x55;
        QTest::newRow("empty text") << 6 << "" << 0x63 << 0x55;
    }
    void clickparsesslottext()
    {
        QFETCH(int, slot);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, addr);
        FormChTool bar;
        useslot(slot, text);
        bar.refreshguibtns(0);
        show(bar);
        app->setdevtype(0x63);
        app->setdevaddr(0x55);
        int seentype = -1;
        int seenaddr = -1;
        connect(&bar, &FormChTool::sendbntnum, this, [&] {
            seentype = app->getdevtype();
            seenaddr = app->getdevaddr();
        });
        QSignalSpy spy(&bar, &FormChTool::sendbntnum);
        QTest::mouseClick(bar.slotbutton(slot), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), slot);
        QCOMPARE(seentype, type);
        QCOMPARE(seenaddr, addr);
        QVERIFY(bar.slotbutton(slot)->isChecked());
    }

    // While an exchange with the processor runs, a click changes neither the
    // current device nor the checked slot.
    void clickrefusedwhilebusy()
    {
        FormChTool bar;
        useslot(2, QStringLiteral("4IN8OUT:01"));
        useslot(5, QStringLiteral("2IN4OUT:03"));
        bar.refreshguibtns(0);
        show(bar);
        QTest::mouseClick(bar.slotbutton(2), Qt::LeftButton);
        QSignalSpy spy(&bar, &FormChTool::sendbntnum);
        gConnectBusy = 1;
        QTest::mouseClick(bar.slotbutton(5), Qt::LeftButton);
        gConnectBusy = 0;
        QCOMPARE(spy.count(), 0);
        QCOMPARE(int(app->getdevtype()), 0x18);
        QCOMPARE(int(app->getdevaddr()), 1);
        QVERIFY(bar.slotbutton(2)->isChecked());
        QVERIFY(!bar.slotbutton(5)->isChecked());
        QCOMPARE(bar.slotbutton(2)->styleSheet(), black);
    }

    // The last clicked button reads black, the others white; a second click
    // on the checked button runs again.
    void currentfollowsclicks()
    {
        FormChTool bar;
        useslot(0, QStringLiteral("4IN8OUT:01"));
        useslot(1, QStringLiteral("3IN6OUT:02"));
        useslot(2, QStringLiteral("2IN4OUT:03"));
        bar.refreshguibtns(3);
        show(bar);
        QSignalSpy spy(&bar, &FormChTool::sendbntnum);
        struct Step {
            int slot;
            int type;
            int addr;
        };
        const Step steps[] = {{1, 22, 2}, {2, 20, 3}, {2, 20, 3}, {0, 24, 1}};
        for (const Step &s : steps) {
            QTest::mouseClick(bar.slotbutton(s.slot), Qt::LeftButton);
            QCOMPARE(spy.takeLast().at(0).toInt(), s.slot);
            QCOMPARE(int(app->getdevtype()), s.type);
            QCOMPARE(int(app->getdevaddr()), s.addr);
            for (int k = 0; k < 13; ++k) {
                QCOMPARE(bar.slotbutton(k)->styleSheet(), k == s.slot ? black : white);
                QCOMPARE(bar.slotbutton(k)->isChecked(), k == s.slot);
            }
        }
        QVERIFY(spy.isEmpty());
    }

    // A refresh shows the used slots with their texts, hides a slot given up,
    // makes the checked button black and keeps the others' colours.
    void refresh()
    {
        FormChTool bar;
        useslot(0, QStringLiteral("4IN8OUT:01"));
        useslot(5, QStringLiteral("3IN6OUT:1f"));
        useslot(12, QStringLiteral("2IN4OUT:20"));
        bar.refreshguibtns(0);
        show(bar);
        for (int k = 0; k < 13; ++k) {
            const bool used = k == 0 || k == 5 || k == 12;
            QCOMPARE(bar.slotbutton(k)->isHidden(), !used);
            if (used)
                QCOMPARE(bar.slotbutton(k)->text(), app->getslotname(k));
        }
        QTest::mouseClick(bar.slotbutton(5), Qt::LeftButton);
        bar.slotbutton(5)->setStyleSheet(white);
        bar.slotbutton(0)->setStyleSheet(QStringLiteral("color: rgb(1, 2, 3);"));
        app->setslotname(5, QStringLiteral("4IN8OUT:07"));
        app->setslotused(12, 0);
        bar.refreshguibtns(0);
        QCOMPARE(bar.slotbutton(5)->styleSheet(), black);
        QCOMPARE(bar.slotbutton(5)->text(), QStringLiteral("4IN8OUT:07"));
        QCOMPARE(bar.slotbutton(0)->styleSheet(), QStringLiteral("color: rgb(1, 2, 3);"));
        QVERIFY(bar.slotbutton(12)->isHidden());
        QVERIFY(!bar.slotbutton(0)->isHidden());
    }

    void selectfromcode_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("selects");
        QTest::newRow("12") << 12 << true;
        QTest::newRow("13") << 13 << false;
    }
    void selectfromcode()
    {
        QFETCH(int, slot);
        QFETCH(bool, selects);
        FormChTool bar;
        for (int k = 0; k < 13; ++k)
            useslot(k, FormChTool::slottext(22, uchar(k + 1)));
        bar.refreshguibtns(0);
        app->setdevtype(0x18);
        app->setdevaddr(0);
        QSignalSpy spy(&bar, &FormChTool::sendbntnum);
        bar.selectguibtn(slot);
        if (!selects) {
            QVERIFY(spy.isEmpty());
            QCOMPARE(int(app->getdevtype()), 0x18);
            return;
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), slot);
        QVERIFY(bar.slotbutton(slot)->isChecked());
        QCOMPARE(bar.slotbutton(slot)->styleSheet(), black);
        QCOMPARE(int(app->getdevtype()), 22);
        QCOMPARE(int(app->getdevaddr()), slot + 1);
    }

    // Holding a button down repeats its click.
    void holdingrepeats()
    {
        FormChTool bar;
        useslot(3, QStringLiteral("3IN6OUT:1f"));
        bar.refreshguibtns(0);
        show(bar);
        QSignalSpy spy(&bar, &FormChTool::sendbntnum);
        QPushButton *b = bar.slotbutton(3);
        QTest::mousePress(b, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 2, 10000);
        QTest::mouseRelease(b, Qt::LeftButton);
        for (const QList<QVariant> &args : spy)
            QCOMPARE(args.at(0).toInt(), 3);
    }
};

QTEST_MAIN(TstFormChTool)
#include "tst_formchtool.moc"
