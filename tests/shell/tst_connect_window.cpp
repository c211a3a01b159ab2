// The whole window connecting, downloading and disconnecting on the serial
// line; a line that goes away shows at once and one click connects again.

#include "formsetview.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QTableWidget>
#include <QTimer>

using namespace linktest;

class TstConnectWindow : public QObject
{
    Q_OBJECT
private slots:
    void connectanddisconnect()
    {
        WindowEnv we;
        QVERIFY(we.start());
        standin::Standin s;
        const int line = s.openpty();
        const int unit = s.addunit(line, 0x18, 1);
        QByteArray image = sampleimage(6);
        // Limiter records off their defaults: OUT2 hard knee at 253 (+5.3 dB), OUT5 knee off.
        image.replace(standin::img::limiter + 7 * 5, 7, QByteArray::fromHex("01fd0002320001"));
        image.replace(standin::img::limiter + 7 * 8, 7, QByteArray::fromHex("00fd0002320001"));
        s.update(unit, [&](standin::UnitState &u) { u.image = image; });
        gComSettings.setportname(s.ptypath(line));
        QVERIFY(gComCtrl.openmaincom());

        we.w->fileaction(0)->trigger(); // a type-24 device at address 1 in slot 0
        we.choose(0, 0x18, 1);
        we.clickconnect();
        DeviceData *d = gMainApp->getcurdevice();
        QCOMPARE(d->getcomconnected(), 1);
        QVERIFY(we.showsonline(QStringLiteral("Com Online")));
        QCOMPARE(currentimage(d).toHex(), image.toHex());
        QCOMPARE(d->getdevicename(), QStringLiteral("Online Data"));
        // The main page's limiter summaries follow the downloaded records.
        QCOMPARE(we.w->findChild<QLabel *>(QStringLiteral("label_limit5"))->text(), QStringLiteral("5.3dB"));
        QCOMPARE(we.w->findChild<QLabel *>(QStringLiteral("label_limit8"))->text(), QStringLiteral("off"));

        we.clickconnect();
        QTRY_COMPARE(d->getcomconnected(), 0);
        QVERIFY(we.showsoffline());

        // The device records go with the window.
        QVERIFY(!gDeviceList.isEmpty());
        we.w.reset();
        QVERIFY(gDeviceList.isEmpty());
    }

    // ttyUSB0 is a link to a pseudo-terminal: unplugging hangs it up,
    // plugging in points the link at a new one.
    void lostline_data()
    {
        QTest::addColumn<int>("hangupafter"); // read requests before the hang-up; -1 while idle
        // The program page had read the names: the reconnect reads them again.
        QTest::addColumn<bool>("names");
        QTest::newRow("while idle") << -1 << false;
        QTest::newRow("mid-download") << 8 << false;
        QTest::newRow("while idle, names listed") << -1 << true;
    }
    void lostline()
    {
        QFETCH(int, hangupafter);
        QFETCH(bool, names);
        ScriptedPrompts prompts;
        standin::Standin s;
        const int line = s.openpty();
        int unit = s.addunit(line, 0x18, 1);
        s.update(unit, [&](standin::UnitState &u) { u.image = sampleimage(2); });
        QTemporaryDir devdir;
        const QString port = devdir.filePath(QStringLiteral("ttyUSB0"));
        QVERIFY(QFile::link(s.ptypath(line), port));
        qputenv(ComSettings::PortsOverrideVariable, port.toUtf8());
        WindowEnv we;
        QVERIFY(we.start());

        we.w->rs232action()->trigger();
        QVERIFY(gComCtrl.getcomisopened());
        QCOMPARE(we.comshow->text(), QStringLiteral("ttyUSB0:OK"));
        we.w->fileaction(0)->trigger();
        we.choose(0, 0x18, 1);

        QTimer hangup;
        if (hangupafter >= 0) {
            connect(&hangup, &QTimer::timeout, this, [&]() {
                if (commandcount(s, unit, 0x61) >= hangupafter) {
                    hangup.stop();
                    s.hangup(line);
                }
            });
            hangup.start(5);
        }
        we.clickconnect();
        DeviceData *d = gMainApp->getcurdevice();
        if (hangupafter < 0) {
            QVERIFY(we.showsonline(QStringLiteral("Com Online")));
            QVERIFY(prompts.shown.isEmpty());
            if (names) {
                MainApp::settimescale(0.05);
                gFormSetView->on_btn_ref_clicked();
                MainApp::settimescale(1);
                QCOMPARE(commandcount(s, unit, 0x64), 40);
            }
            s.hangup(line);
        } else {
            QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
            QVERIFY(commandcount(s, unit, 0x61) < 26);
        }
        QTRY_VERIFY(we.showsoffline());
        QCOMPARE(d->getcomconnected(), 0);
        QVERIFY(!gComCtrl.getcomisopened());

        // Plugged in again: one click, no new search.
        const int line2 = s.openpty();
        unit = s.addunit(line2, 0x18, 1);
        const QByteArray image = sampleimage(8);
        // Meanwhile program 4 was stored under another name.
        s.update(unit, [&](standin::UnitState &u) {
            u.image = image;
            u.programs[3].used = true;
            u.programs[3].name = QByteArray("RENAMED").leftJustified(20);
        });
        QVERIFY(QFile::remove(port));
        QVERIFY(QFile::link(s.ptypath(line2), port));
        prompts.clear();
        we.clickconnect();
        QVERIFY(we.showsonline(QStringLiteral("Com Online")));
        QCOMPARE(commandcount(s, unit, 0x01), 0);
        QCOMPARE(commandcount(s, unit, 0x02), 1);
        QCOMPARE(commandcount(s, unit, 0x61), 26);
        QCOMPARE(currentimage(gMainApp->getcurdevice()).toHex(), image.toHex());
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(commandcount(s, unit, 0x64), names ? 40 : 0);
        if (names) {
            auto *list = gFormSetView->findChild<QTableWidget *>(QStringLiteral("progwidget"));
            QCOMPARE(list->item(3, 2)->text(), QString("RENAMED").leftJustified(20));
        }
        qunsetenv(ComSettings::PortsOverrideVariable);
    }
};

QTEST_MAIN(TstConnectWindow)
#include "tst_connect_window.moc"
