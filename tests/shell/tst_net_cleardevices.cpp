// "File > Clear All Device" while a processor is connected, over the serial
// line and over the network (inside the test's own network namespace): the
// processor is told (0x03) as the connect button tells it, the link closes,
// the status area and the pages show what start-up shows, the list is empty
// and no slot stays chosen; a connect click then reads nothing and shows what
// it shows at start-up, and a device listed and chosen again connects with
// one click. A processor that does not answer the disconnect changes none of
// it. A network link up to another listed device than the chosen one ends
// with that device's own disconnect. While another exchange runs, or the
// graphic EQ page resets every band of a channel, the clear is refused with
// a box that says why.

#include "formchtool.h"
#include "formgeq.h"
#include "longexchange.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QTcpSocket>
#include <QTimer>

#include "formtoolbutton.h"

using namespace linktest;

namespace
{
const QHostAddress kProc(QStringLiteral("192.0.2.2"));
// A listed network device no host answers for: it is never connected.
const QHostAddress kOther(QStringLiteral("192.0.2.3"));

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

// The status area: the link state, the address, the online indicator's look
// and the style sheet resource the window follows.
QStringList statusarea(const WindowEnv &we)
{
    QString sheet = QStringLiteral("none");
    for (int language : {0, 1})
        for (bool network : {false, true})
            if (we.w->shownstylesheet() ==
                MainWindow::readstylesheet(MainWindow::stylesheetpath(language, network)))
                sheet = MainWindow::stylesheetpath(language, network);
    return {we.comshow->text(), we.w->findChild<QLabel *>(QStringLiteral("ipshow"))->text(),
            we.indicator->styleSheet(), sheet};
}

// The frames with this command that reached a line, as type/address/command.
QStringList framesto(const standin::Standin &s, int line, quint8 command)
{
    QStringList out;
    for (const standin::FrameRecord &r : s.frames())
        if (r.direction == standin::FrameRecord::In && r.line == line && r.command() == command)
            out << QString::fromLatin1(r.bytes.mid(3, 3).toHex());
    return out;
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
        const QStringList statusatstart = statusarea(we);
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

        // Not inside another exchange's waits: a box says why nothing happens.
        {
            LongExchange busy;
            we.w->fileaction(3)->trigger();
            QCOMPARE(gDeviceList.size(), 1);
            QVERIFY(we.showsonline(online));
            QCOMPARE(prompts.titles(), QStringList{QStringLiteral("Clear All Device")});
        }
        QCOMPARE(commandcount(s, unit, 0x03), 0);
        prompts.clear();

        if (!answered)
            s.addfault(onefault(standin::Fault::NoReply, 0x03));
        we.w->fileaction(3)->trigger(); // Clear All Device
        // The processor was told last, after the download (a disconnect left
        // unanswered may reach the stand-in after the wait for it ended).
        QTRY_COMPARE(commandcount(s, unit, 0x03), 1);
        QCOMPARE(s.commands(unit).last().command(), quint8(0x03));
        QCOMPARE(statusarea(we), statusatstart);
        QCOMPARE(we.connect->toolTip(), QStringLiteral("Connect  Device"));
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

    // After a network device was connected and cleared, the status area is
    // as start-up left it (from the clear's start on, and after the
    // connection's end), and a connect click shows what it shows at start.
    void statusasstart_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("English") << QByteArray("en");
        QTest::newRow("Chinese") << QByteArray("zh");
    }
    void statusasstart()
    {
        QFETCH(QByteArray, language);
        ScriptedPrompts prompts;
        standin::Standin s;
        MainApp::settimescale(0.2);
        WindowEnv we;
        QVERIFY(we.start(language.constData()));
        const QStringList atstart = statusarea(we);
        QCOMPARE(atstart.at(3), MainWindow::stylesheetpath(language == "zh" ? 1 : 0, false));
        // A connect click with no device chosen, at start-up.
        we.clickconnect();
        const QStringList clickedatstart = statusarea(we);
        const QStringList boxesatstart = prompts.titles() + prompts.texts();
        prompts.clear();

        const int line = s.listen(kProc);
        QVERIFY2(line >= 0, qPrintable(s.errorstring()));
        const int unit = s.addunit(line, 0x18, 1);
        we.w->tcpfindok(0x18, 1, kProc);
        we.choose(0, 0x18, 1);
        we.clickconnect();
        QCOMPARE(gMainApp->getcurdevice()->gettcpconnected(), 1);
        QCOMPARE(statusarea(we).at(1), QStringLiteral("IP:192.0.2.2"));
        QCOMPARE(statusarea(we).at(3), MainWindow::stylesheetpath(language == "zh" ? 1 : 0, true));
        const int connects = commandcount(s, unit, 0x02);

        // What the status area shows whenever the clear's waits handle
        // events (and may paint): start-up's look from the first on, never
        // the link going down beside the cleared device's address.
        QStringList during;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            const QString now = statusarea(we).join(QLatin1String(" | "));
            if (during.isEmpty() || during.last() != now)
                during << now;
        });
        look.start(0);
        we.w->fileaction(3)->trigger();
        look.stop();
        QVERIFY(!during.isEmpty());
        QCOMPARE(during, QStringList{atstart.join(QLatin1String(" | "))});
        QTRY_COMPARE(commandcount(s, unit, 0x03), 1);
        QCOMPARE(statusarea(we), atstart);
        // And once the processor's end of the connection has gone too.
        QTRY_COMPARE(s.connectioncount(line), 0);
        QCoreApplication::processEvents();
        QCOMPARE(statusarea(we), atstart);
        QVERIFY(prompts.shown.isEmpty());
        we.clickconnect();
        QCOMPARE(statusarea(we), clickedatstart);
        QCOMPARE(prompts.titles() + prompts.texts(), boxesatstart);
        QCOMPARE(commandcount(s, unit, 0x02), connects);
    }

    // The network link is up to one listed device while another is chosen:
    // the clear tells the linked device in a frame of its own type and
    // address, and sends the chosen one only the disconnect of its own link.
    void clearotherlink_data()
    {
        QTest::addColumn<bool>("network");    // the chosen device is a network device
        QTest::addColumn<bool>("seriallink"); // the chosen serial device is connected
        QTest::newRow("another network device chosen") << true << false;
        QTest::newRow("a serial device chosen, not connected") << false << false;
        QTest::newRow("a serial device chosen and connected") << false << true;
    }
    void clearotherlink()
    {
        QFETCH(bool, network);
        QFETCH(bool, seriallink);
        ScriptedPrompts prompts;
        standin::Standin s;
        MainApp::settimescale(0.2);
        WindowEnv we;
        QVERIFY(we.start());
        const int netline = s.listen(kProc);
        QVERIFY2(netline >= 0, qPrintable(s.errorstring()));
        const int linked = s.addunit(netline, 0x18, 3);
        we.w->tcpfindok(0x18, 3, kProc); // slot 0
        we.choose(0, 0x18, 3);
        we.clickconnect();
        QCOMPARE(gMainApp->getcurdevice()->gettcpconnected(), 1);

        int serline = -1;
        int chosen = -1;
        if (network) {
            we.w->tcpfindok(0x16, 2, kOther); // slot 1
            we.choose(1, 0x16, 2);
        } else {
            serline = s.openpty();
            QVERIFY(serline >= 0);
            chosen = s.addunit(serline, 0x14, 1);
            gComSettings.setportname(s.ptypath(serline));
            QVERIFY(gComCtrl.getcomisopened() || gComCtrl.openmaincom());
            we.w->fileaction(2)->trigger(); // a type-20 device at address 1 in slot 1
            we.choose(1, 0x14, 1);
            if (seriallink) {
                we.clickconnect();
                QCOMPARE(gMainApp->getcurdevice()->getcomconnected(), 1);
            }
        }
        QCOMPARE(gMainApp->getcurdevice()->gettcpconnected(), 0);
        QVERIFY(MainApp::anytcpconnected());
        QCOMPARE(framesto(s, netline, 0x03), QStringList());

        we.w->fileaction(3)->trigger();
        // One disconnect on the data link, framed for the linked device.
        QTRY_COMPARE(framesto(s, netline, 0x03), QStringList{QStringLiteral("180303")});
        QCOMPARE(s.commands(linked).last().command(), quint8(0x03));
        if (!network) {
            // The chosen serial device hears a disconnect only for its own link.
            QCOMPARE(framesto(s, serline, 0x03),
                     seriallink ? QStringList{QStringLiteral("140103")} : QStringList());
            QCOMPARE(commandcount(s, chosen, 0x03), seriallink ? 1 : 0);
        }
        QCOMPARE(we.w->tcpsocket()->state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(s.connectioncount(netline), 0);
        QVERIFY(!MainApp::anytcpconnected());
        QVERIFY(gDeviceList.isEmpty());
        QVERIFY(prompts.shown.isEmpty());
    }

    // Clear All Device while another exchange runs with the processor
    // connected, or while the graphic EQ page sends an output's 31 bands
    // flat one after another: a box in the language shown says why nothing
    // happens; the exchange (or every band) ends as it would, the device
    // stays listed and connected and the processor hears no disconnect.
    void clearwhilebusy_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("op"); // the connect's download, the tool bar's Save, the bands' reset
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString en = QStringLiteral("Another operation is running. Please Try Again when it has ended");
        const QString zh = QString::fromUtf8("另一项操作正在进行，请在其结束后重试");
        QTest::newRow("tool bar save, English") << QByteArray("en") << "save"
                                                << "Clear All Device" << en;
        QTest::newRow("tool bar save, Chinese")
            << QByteArray("zh") << "save" << QString::fromUtf8("清除所有设备") << zh;
        QTest::newRow("download, English") << QByteArray("en") << "download"
                                           << "Clear All Device" << en;
        QTest::newRow("download, Chinese")
            << QByteArray("zh") << "download" << QString::fromUtf8("清除所有设备") << zh;
        QTest::newRow("graphic EQ Set0, English") << QByteArray("en") << "set0"
                                                  << "Clear All Device" << en;
        QTest::newRow("graphic EQ Set0, Chinese")
            << QByteArray("zh") << "set0" << QString::fromUtf8("清除所有设备") << zh;
    }
    void clearwhilebusy()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, op);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const bool download = op == "download";
        ScriptedPrompts prompts;
        standin::Standin s;
        MainApp::settimescale(0.2);
        WindowEnv we;
        QVERIFY(we.start(language.constData()));
        const int line = s.listen(kProc);
        QVERIFY2(line >= 0, qPrintable(s.errorstring()));
        const int unit = s.addunit(line, 0x18, 1);
        const QByteArray image = sampleimage(5);
        s.update(unit, [&](standin::UnitState &u) { u.image = image; });
        we.w->tcpfindok(0x18, 1, kProc);
        we.choose(0, 0x18, 1);

        // The clear is asked for once, inside the exchange's waits: during the
        // download while a part's reply is late, during the save's progress,
        // after the reset's third band.
        bool asked = false;
        QTimer clear;
        connect(&clear, &QTimer::timeout, this, [&]() {
            const bool now = download       ? commandcount(s, unit, 0x61) >= 13
                             : op == "set0" ? commandcount(s, unit, 0x21) >= 3
                                            : we.w->exchangerunning();
            if (now && !asked) {
                asked = true;
                clear.stop();
                QVERIFY(op == "set0" ? FrameSeries::running() : we.w->exchangerunning());
                we.w->fileaction(3)->trigger();
            }
        });
        QTemporaryDir files;
        if (download) {
            standin::Fault late = onefault(standin::Fault::LateReply, 0x61, 12);
            late.delayMs = 150;
            late.times = 1;
            s.addfault(late);
            clear.start(5);
            we.clickconnect();
        } else if (op == "set0") {
            we.clickconnect();
            // The processor's first output is not flat.
            s.update(unit, [](standin::UnitState &u) {
                for (int b = 0; b < 31; ++b)
                    u.outputGeq[b] = quint16(120 + 5 * b);
            });
            QVERIFY(gFormGeq);
            QVERIFY(QMetaObject::invokeMethod(gFormGeq, "on_btngeqout1_clicked"));
            QCOMPARE(gFormGeq->currentchannel(), 4);
            clear.start(5);
            gFormGeq->findChild<QPushButton *>(QStringLiteral("btngeqset0_32"))->click();
            // Every band of the output went out, flat.
            QTRY_COMPARE(commandcount(s, unit, 0x21), 31);
            const standin::UnitState u = s.state(unit);
            for (int b = 0; b < 31; ++b)
                QCOMPARE(u.outputGeq[b] & 0x7fff, 300);
        } else {
            we.clickconnect();
            prompts.fileNames.enqueue(files.filePath(QStringLiteral("kept")));
            clear.start(5);
            we.w->toolbarwidget()->on_Save_Button_clicked();
        }
        QVERIFY(asked);
        QVERIFY(!we.w->exchangerunning());
        QVERIFY(!FrameSeries::running());
        QCOMPARE(prompts.shown.size(), op == "save" ? 2 : 1);
        QCOMPARE(prompts.shown.last().kind, QStringLiteral("warning"));
        QCOMPARE(prompts.shown.last().title, title);
        QCOMPARE(prompts.shown.last().text, text);
        if (op == "save")
            QVERIFY(QFileInfo::exists(files.filePath(QStringLiteral("kept.K91"))));
        // The device is listed and connected with what it holds.
        QCOMPARE(gDeviceList.size(), 1);
        QCOMPARE(we.w->currentslot(), 0);
        QCOMPARE(gMainApp->getcurdevice()->gettcpconnected(), 1);
        QCOMPARE(we.comshow->text(),
                 DeviceLink::onlinetext(gMainApp->getcurdevice(), language == "zh" ? 1 : 0));
        if (op != "set0")
            QCOMPARE(currentimage(gMainApp->getcurdevice()).toHex(), image.toHex());
        QCOMPARE(commandcount(s, unit, 0x03), 0);
        QCOMPARE(we.w->tcpsocket()->state(), QAbstractSocket::ConnectedState);

        // Once the exchange is over, the clear runs.
        prompts.clear();
        we.w->fileaction(3)->trigger();
        QTRY_COMPARE(commandcount(s, unit, 0x03), 1);
        QVERIFY(gDeviceList.isEmpty());
        QVERIFY(prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TstNetClearDevices)
#include "tst_net_cleardevices.moc"
