// The whole window: the tool bar's connect button connects the chosen device
// on the serial line, downloads its program and shows the link state in the
// status line, the online indicator and the tool bar; pressed again it
// disconnects. The main page's limiter summaries show the downloaded records.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "standin.h"
#include "startup.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

class TstConnectWindow : public QObject
{
    Q_OBJECT
private slots:
    void connectanddisconnect()
    {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        QFile ini(QStringLiteral("UserConfig.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nLangue=en\n");
        ini.close();
        std::unique_ptr<MainWindow> w(startmainwindow(4));
        standin::Standin s;
        const int line = s.openpty();
        const int unit = s.addunit(line, 0x18, 1);
        QByteArray image = linktest::sampleimage(6);
        // Limiter records off their defaults: OUT2 hard knee at 253 (+5.3 dB), OUT5 knee off.
        image.replace(standin::img::limiter + 7 * 5, 7, QByteArray::fromHex("01fd0002320001"));
        image.replace(standin::img::limiter + 7 * 8, 7, QByteArray::fromHex("00fd0002320001"));
        s.update(unit, [&](standin::UnitState &u) { u.image = image; });
        gComSettings.setportname(s.ptypath(line));
        QVERIFY(gComCtrl.openmaincom());

        w->fileaction(0)->trigger(); // a type-24 device at address 1 in slot 0
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        w->getbntnum(0);
        auto *comshow = w->findChild<QLabel *>(QStringLiteral("comshow"));
        auto *indicator = w->findChild<QPushButton *>(QStringLiteral("btnonlinetype"));
        auto *connect = w->findChild<QPushButton *>(QStringLiteral("btnExcel"));
        QVERIFY(comshow && indicator && connect);

        QTest::mouseClick(connect, Qt::LeftButton);
        DeviceData *d = gMainApp->getcurdevice();
        QCOMPARE(d->getcomconnected(), 1);
        QCOMPARE(comshow->text(), QStringLiteral("Com Online"));
        QVERIFY(indicator->styleSheet().contains(QStringLiteral("aonline.png")));
        QCOMPARE(connect->toolTip(), QStringLiteral("Disonnect Device"));
        QCOMPARE(linktest::currentimage(d).toHex(), image.toHex());
        QCOMPARE(d->getdevicename(), QStringLiteral("Online Data"));
        // The main page's limiter summaries follow the downloaded records.
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("label_limit5"))->text(), QStringLiteral("5.3dB"));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("label_limit8"))->text(), QStringLiteral("off"));

        QTest::mouseClick(connect, Qt::LeftButton);
        QTRY_COMPARE(d->getcomconnected(), 0);
        QCOMPARE(comshow->text(), QStringLiteral("DisConnect"));
        QVERIFY(indicator->styleSheet().contains(QStringLiteral("aoutline.png")));
        QCOMPARE(connect->toolTip(), QStringLiteral("Connect  Device"));

        w.reset();
        gComCtrl.closemaincom();
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }
};

QTEST_MAIN(TstConnectWindow)
#include "tst_connect_window.moc"
