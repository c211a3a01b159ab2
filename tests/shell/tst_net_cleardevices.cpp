// "File > Clear All Device" while a processor is connected, over the serial
// line and over the network (inside the test's own network namespace): the
// processor is told (0x03) as the connect button tells it, the link closes,
// the status says "DisConnect", the pages show the default record again, the
// list is empty and no slot stays chosen; a connect click then reads nothing,
// and a device listed and chosen again connects with one click. A processor
// that does not answer the disconnect changes none of it.

#include "formchtool.h"
#include "longexchange.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QTcpSocket>

using namespace linktest;

namespace
{
const QHostAddress kProc(QStringLiteral("192.0.2.2"));

// What the main page shows: every label's text and every button's state and skin.
QStringList mainpage()
{
    QStringList shown;
    QWidget *page = gMainApp->getview(MainApp::MainView);
    for (QLabel *l : page->findChildren<QLabel *>())
        shown << l->objectName() + '=' + l->text();
    for (QPushButton *b : page->findChildren<QPushButton *>())
        shown << b->objectName() + '=' + (b->isChecked() ? "1" : "0") + b->styleSheet();
    return shown;
}
} // namespace

class TstNetClearDevices : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { MainApp::settimescale(1); }

    void clearconnected_data()
    {
        QTest::addColumn<bool>("network");
        QTest::addColumn<bool>("answered"); // the processor answers the disconnect
        QTest::newRow("serial") << false << true;
        QTest::newRow("serial, disconnect not answered") << false << false;
        QTest::newRow("network") << true << true;
        QTest::newRow("network, disconnect not answered") << true << false;
    }
    void clearconnected()
    {
        QFETCH(bool, network);
        QFETCH(bool, answered);
        ScriptedPrompts prompts;
        standin::Standin s;
        // The connect's and the download's waits a fifth as long.
        MainApp::settimescale(0.2);
        WindowEnv we;
        QVERIFY(we.start());
        const QStringList atstart = mainpage();
        const int line = network ? s.listen(kProc) : s.openpty();
        QVERIFY2(line >= 0, qPrintable(s.errorstring()));
        const int unit = s.addunit(line, 0x18, 1);
        s.update(unit, [](standin::UnitState &u) { u.image = sampleimage(3); });
        const auto list = [&] {
            if (network) {
                we.w->tcpfindok(0x18, 1, kProc); // found by a search: slot 0
            } else {
                gComSettings.setportname(s.ptypath(line));
                QVERIFY(gComCtrl.getcomisopened() || gComCtrl.openmaincom());
                we.w->fileaction(0)->trigger(); // a type-24 device at address 1 in slot 0
            }
        };
        list();
        we.choose(0, 0x18, 1);
        we.clickconnect();
        const QString online = network ? QStringLiteral("Net Online") : QStringLiteral("Com Online");
        QVERIFY(we.showsonline(online));
        QCOMPARE(commandcount(s, unit, 0x61), 26);
        QVERIFY(mainpage() != atstart);
        const int connects = commandcount(s, unit, 0x02);

        // Not inside another exchange's waits: nothing happens then.
        {
            LongExchange busy;
            we.w->fileaction(3)->trigger();
            QCOMPARE(gDeviceList.size(), 1);
            QVERIFY(we.showsonline(online));
        }
        QCOMPARE(commandcount(s, unit, 0x03), 0);

        if (!answered)
            s.addfault(onefault(standin::Fault::NoReply, 0x03));
        we.w->fileaction(3)->trigger(); // Clear All Device
        // The processor was told last, after the download.
        QCOMPARE(commandcount(s, unit, 0x03), 1);
        QCOMPARE(s.commands(unit).last().command(), quint8(0x03));
        QVERIFY(we.showsoffline());
        QCOMPARE(gMainApp->getcurdevice()->getcomconnected(), 0);
        QCOMPARE(gMainApp->getcurdevice()->gettcpconnected(), 0);
        if (network) {
            QCOMPARE(we.w->tcpsocket()->state(), QAbstractSocket::UnconnectedState);
            QTRY_COMPARE(s.connectioncount(line), 0);
        }
        QVERIFY(gDeviceList.isEmpty());
        QCOMPARE(we.w->currentslot(), -1);
        auto *bar = we.w->findChild<FormChTool *>();
        QVERIFY(bar);
        for (int k = 0; k < 13; ++k)
            QVERIFY(!bar->slotbutton(k)->isChecked() && bar->slotbutton(k)->isHidden());
        QCOMPARE(mainpage(), atstart);
        QVERIFY(prompts.shown.isEmpty());

        // A connect click now reads nothing from the processor.
        s.clearfaults();
        we.clickconnect();
        QTest::qWait(200);
        QVERIFY(we.showsoffline());
        QCOMPARE(commandcount(s, unit, 0x61), 26);
        QCOMPARE(commandcount(s, unit, 0x02), connects);
        QCOMPARE(mainpage(), atstart);

        // Listed and chosen again, the device connects with one click.
        prompts.clear();
        const QByteArray image = sampleimage(7);
        s.update(unit, [&](standin::UnitState &u) { u.image = image; });
        list();
        we.choose(0, 0x18, 1);
        we.clickconnect();
        QVERIFY(we.showsonline(online));
        QCOMPARE(commandcount(s, unit, 0x61), 52);
        QCOMPARE(currentimage(gMainApp->getcurdevice()).toHex(), image.toHex());
        QVERIFY(prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TstNetClearDevices)
#include "tst_net_cleardevices.moc"
