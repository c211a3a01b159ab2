#include "../ptypair.h"
#include "comsettings.h"
#include "dialogcom.h"
#include "myserialport.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <vector>

namespace
{
void setPorts(const QStringList &ports)
{
    qputenv(ComSettings::PortsOverrideVariable, ports.join(',').toLocal8Bit());
}

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

template <typename T> T *child(QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("missing widget %s", name);
    return widget;
}
} // namespace

class TestDialogCom : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        setPorts({});
        gComSettings.setportlist({});
        gComSettings.setportname(QString());
    }
    void cleanupTestCase() { qunsetenv(ComSettings::PortsOverrideVariable); }

    void fixedSettingsStoredAndShown()
    {
        gComSettings.setsettings(1, 1, 1, 1, 1, 1);
        DialogCom dialog;
        int settings[6];
        gComSettings.getsettings(settings);
        const int expected[6] = {15, 3, 0, 0, 0, 10};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(settings[i], expected[i]);
        QCOMPARE(child<QComboBox>(dialog, "baudRateComboBox")->currentText(), QStringLiteral("38400"));
        QCOMPARE(child<QComboBox>(dialog, "dataBitsComboBox")->currentText(), QStringLiteral("8"));
        QCOMPARE(child<QComboBox>(dialog, "parityComboBox")->currentText(), QStringLiteral("none"));
        QCOMPARE(child<QComboBox>(dialog, "stopBitsComboBox")->currentText(), QStringLiteral("1"));

        gComSettings.setsettings(0, 0, 0, 0, 0, 0);
        dialog.initcom();
        gComSettings.getsettings(settings);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(settings[i], expected[i]);
    }

    void portBoxListsTheFoundPorts()
    {
        setPorts({"/dev/ttyUSB0", "/dev/ttyS3"});
        DialogCom dialog;
        QComboBox *box = child<QComboBox>(dialog, "portNameComboBox");
        QCOMPARE(gComSettings.getportlist(), QStringList({"/dev/ttyUSB0", "/dev/ttyS3"}));
        QCOMPARE(items(box), QStringList({"/dev/ttyUSB0", "/dev/ttyS3"}));
        QCOMPARE(gComSettings.getportname(), QString());

        // A port appears: initcom lists it and leaves the port name alone.
        gComSettings.setportname("/dev/ttyS3");
        setPorts({"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS3"});
        dialog.initcom();
        QCOMPARE(gComSettings.getportlist(), QStringList({"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS3"}));
        QCOMPARE(items(box), gComSettings.getportlist());
        QCOMPARE(gComSettings.getportname(), QStringLiteral("/dev/ttyS3"));
    }

    void refreshSelectsThePortName_data()
    {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QString>("portname");
        QTest::addColumn<int>("selected");
        QTest::newRow("second of two") << QStringList{"/dev/ttyS3", "/dev/ttyS7"} << "/dev/ttyS7" << 1;
        QTest::newRow("not listed: selection stays")
            << QStringList{"/dev/ttyS3", "/dev/ttyS7"} << "/dev/ttyS9" << 1;
    }
    void refreshSelectsThePortName()
    {
        QFETCH(QStringList, ports);
        QFETCH(QString, portname);
        QFETCH(int, selected);
        setPorts(ports);
        DialogCom dialog;
        QComboBox *box = child<QComboBox>(dialog, "portNameComboBox");
        box->setCurrentIndex(1);
        gComSettings.setportname(portname);
        dialog.refreshcomdlg();
        QCOMPARE(box->currentIndex(), selected);
        QCOMPARE(box->currentText(), ports.at(selected));
    }

    // Entries: "pty" a free pseudo-terminal, "busy" one held open by another
    // port, "missing" a device that does not exist.
    void findCom_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("found");
        QTest::newRow("busy port skipped") << QStringList{"busy", "missing", "pty"} << 2;
        QTest::newRow("none opens") << QStringList{"missing", "busy"} << -1;
    }
    void findCom()
    {
        QFETCH(QStringList, entries);
        QFETCH(int, found);
        std::vector<std::unique_ptr<PtyPair>> ptys;
        std::vector<std::unique_ptr<MySerialPort>> holders;
        QStringList ports;
        for (const QString &entry : entries) {
            if (entry == QLatin1String("missing")) {
                ports << QStringLiteral("/dev/nonexistent-serial-%1").arg(ports.size());
                continue;
            }
            ptys.push_back(std::make_unique<PtyPair>());
            QVERIFY(ptys.back()->isValid());
            ports << ptys.back()->slavePath();
            if (entry == QLatin1String("busy")) {
                holders.push_back(std::make_unique<MySerialPort>());
                QVERIFY(holders.back()->opencom(ports.last()));
            }
        }
        setPorts(ports);
        DialogCom dialog;
        QComboBox *box = child<QComboBox>(dialog, "portNameComboBox");
        QCOMPARE(items(box), ports);
        gComSettings.setportname(QStringLiteral("/dev/previous"));
        const int before = box->currentIndex();

        QPushButton *find = child<QPushButton>(dialog, "m_btn_open");
        for (int click = 0; click < 3; ++click) {
            find->click();
            if (found < 0) {
                QCOMPARE(gComSettings.getportname(), QStringLiteral("/dev/previous"));
                QCOMPARE(box->currentIndex(), before);
            } else {
                QCOMPARE(gComSettings.getportname(), ports.at(found));
                QCOMPARE(box->currentIndex(), found);
                QCOMPARE(box->currentText(), ports.at(found));
            }
        }
        // The probe does not keep the port: the engine can open it.
        if (found >= 0) {
            MySerialPort engine;
            QVERIFY(engine.opencom(ports.at(found)));
        }
    }

    void closeComDoesNothingAndExitCloses()
    {
        setPorts({"/dev/ttyS0"});
        DialogCom dialog;
        dialog.setWindowTitle(QStringLiteral("COM INFO"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        gComSettings.setportname(QStringLiteral("/dev/ttyS0"));
        child<QPushButton>(dialog, "m_btn_close")->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(gComSettings.getportname(), QStringLiteral("/dev/ttyS0"));
        child<QPushButton>(dialog, "pushButton_exit")->click();
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestDialogCom)
#include "tst_dialogcom.moc"
