#include "comsettings.h"

#include <QtTest>

using PortInfo = QList<QPair<QString, QString>>;

class TestComSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv(ComSettings::PortsOverrideVariable); }

    void baudTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("rate");
        QTest::newRow("first") << 0 << 50;
        QTest::newRow("the fixed rate") << 15 << 38400;
        QTest::newRow("last") << 21 << 256000;
        QTest::newRow("below the table") << -1 << 0;
        QTest::newRow("past the table") << 22 << 0;
    }
    void baudTable()
    {
        QFETCH(int, index);
        QFETCH(int, rate);
        QCOMPARE(ComSettings::baudRate(index), rate);
        if (rate > 0)
            QCOMPARE(ComSettings::baudIndex(rate), index);
    }

    void lineTables_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::newRow("data bits bad") << "data" << 4 << int(QSerialPort::UnknownDataBits);
        QTest::newRow("parity even") << "parity" << 2 << int(QSerialPort::EvenParity);
        QTest::newRow("parity bad") << "parity" << -1 << int(QSerialPort::UnknownParity);
        QTest::newRow("stop bad") << "stop" << 3 << int(QSerialPort::UnknownStopBits);
        QTest::newRow("flow software") << "flow" << 2 << int(QSerialPort::SoftwareControl);
        QTest::newRow("flow bad") << "flow" << 3 << int(QSerialPort::UnknownFlowControl);
    }
    void lineTables()
    {
        QFETCH(QString, setting);
        QFETCH(int, index);
        QFETCH(int, value);
        int mapped = -2;
        int back = -2;
        if (setting == "data") {
            mapped = ComSettings::dataBits(index);
            back = ComSettings::dataBitsIndex(QSerialPort::DataBits(value));
        } else if (setting == "parity") {
            mapped = ComSettings::parity(index);
            back = ComSettings::parityIndex(QSerialPort::Parity(value));
        } else if (setting == "stop") {
            mapped = ComSettings::stopBits(index);
            back = ComSettings::stopBitsIndex(QSerialPort::StopBits(value));
        } else {
            mapped = ComSettings::flowControl(index);
            back = ComSettings::flowControlIndex(QSerialPort::FlowControl(value));
        }
        QCOMPARE(mapped, value);
        QCOMPARE(back, mapped < 0 ? -1 : index);
    }

    void listedPorts_data()
    {
        QTest::addColumn<PortInfo>("ports");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("none") << PortInfo{} << QStringList{};
        QTest::newRow("system order, full paths")
            << PortInfo{{"/dev/ttyUSB1", "USB Serial"}, {"/dev/ttyS0", "ttyS0"}, {"/dev/ttyACM0", ""}}
            << QStringList{"/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0"};
        QTest::newRow("Bluetooth left out")
            << PortInfo{{"/dev/rfcomm0", "Standard Serial over Bluetooth link"}, {"/dev/ttyUSB0", "CP2102"}}
            << QStringList{"/dev/ttyUSB0"};
        QTest::newRow("filter is case-sensitive")
            << PortInfo{{"/dev/rfcomm0", "bluetooth serial"}, {"/dev/rfcomm1", "BLUETOOTH"}}
            << QStringList{"/dev/rfcomm0", "/dev/rfcomm1"};
    }
    void listedPorts()
    {
        QFETCH(PortInfo, ports);
        QFETCH(QStringList, listed);
        QCOMPARE(ComSettings::listedports(ports), listed);
    }

    void portsOverride_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("two ports") << QByteArray("/dev/pts/3,/dev/pts/4")
                                   << QStringList{"/dev/pts/3", "/dev/pts/4"};
        QTest::newRow("blanks and empty items")
            << QByteArray(" /dev/pts/3 , ,/dev/pts/9,") << QStringList{"/dev/pts/3", "/dev/pts/9"};
        QTest::newRow("set but empty: no ports") << QByteArray("") << QStringList{};
    }
    void portsOverride()
    {
        QFETCH(QByteArray, value);
        QFETCH(QStringList, listed);
        qputenv(ComSettings::PortsOverrideVariable, value);
        QCOMPARE(ComSettings::listports(), listed);
    }

    void withoutOverrideNoPseudoTerminals()
    {
        qunsetenv(ComSettings::PortsOverrideVariable);
        const QStringList ports = ComSettings::listports();
        for (const QString &port : ports)
            QVERIFY2(!port.startsWith("/dev/pts/"), qPrintable(port));
    }
};

QTEST_GUILESS_MAIN(TestComSettings)
#include "tst_comsettings.moc"
