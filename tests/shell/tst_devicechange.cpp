// Switching to a smaller device: the pages that keep a channel leave one the
// new device lacks for their first channel, and what is edited then reaches
// the processor only for channels it has; the senders refuse the others.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "devicefixture.h"
#include "formdelay.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formgain.h"
#include "formgeq.h"
#include "formlimit.h"
#include "formlimit2.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "standin.h"

#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace
{

const QHostAddress kSerial(QStringLiteral("0.0.0.0"));

// Channel index of a frame's channel code; -1 for a frame without one.
int channelof(const standin::FrameRecord &r)
{
    const QByteArray p = r.payload();
    switch (r.command()) {
    case 0x20:
    case 0x21:
    case 0x22:
    case 0x23:
    case 0x24:
    case 0x30:
    case 0x31:
    case 0x50:
    case 0x51:
    case 0x52:
        return p.isEmpty() ? -1 : standin::channelindex(quint8(p[0]));
    default:
        return -1;
    }
}

template <typename T> T *find(QWidget &page, const QString &name)
{
    T *w = page.findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

} // namespace

class TstDeviceChange : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    standin::Standin s;
    CComCtrl ctrl;
    int line = -1;
    int big = -1;
    QHash<int, int> units; // by type

    // The commands a unit received up to a level request sent last (the
    // request goes out unguarded, so everything before it has arrived).
    QVector<standin::FrameRecord> received(int unit)
    {
        gMainApp->sendreadlight();
        auto done = [&] { return !s.commands(unit).isEmpty() && s.commands(unit).last().command() == 0x56; };
        if (!QTest::qWaitFor(done, 10000))
            return {};
        QVector<standin::FrameRecord> out;
        for (const standin::FrameRecord &r : s.commands(unit))
            if (r.command() != 0x56)
                out << r;
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
        line = s.openpty();
        QVERIFY(line >= 0);
        gComSettings.setportname(s.ptypath(line));
        gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                                 ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                                 ComSettings::FixedTimeout);
        QVERIFY(ctrl.openmaincom());
        // One processor of each type on the line, at its type's number.
        big = s.addunit(line, 0x18, 1);
        for (quint8 type : {quint8(0x16), quint8(0x14)})
            units[type] = s.addunit(line, type, type);
    }
    void cleanupTestCase() { ctrl.closemaincom(); }

    void switchtosmaller_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("view");
        QTest::addColumn<QList<int>>("absent"); // channels the type lacks
        QTest::newRow("3 in, 6 out") << 0x16 << 1 << QList<int>{3, 10, 11};
        QTest::newRow("2 in, 4 out") << 0x14 << 2 << QList<int>{2, 3, 8, 9, 10, 11};
    }
    void switchtosmaller()
    {
        QFETCH(int, type);
        QFETCH(int, view);
        QFETCH(QList<int>, absent);
        const uchar addr = uchar(type);
        const int small = units[type];
        gGlobalContrl = new GlobalContrl;
        gGlobalContrl->setlanguage(0);
        gMainApp = new MainApp;
        gMainApp->setcomctrl(&ctrl);
        MainApp::settimescale(0.05);
        DeviceData *first = MainApp::adddevice(0x18, 1, kSerial);
        DeviceData *second = MainApp::adddevice(uchar(type), addr, kSerial);
        first->setcomconnected(1);
        second->setcomconnected(1);
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        gMainApp->selectdevice(0x18, 1, kSerial);

        auto host = std::make_unique<QWidget>();
        auto *eq = new FormEq(host.get());
        auto *gain = new FormGain(host.get());
        auto *delay = new FormDelay(host.get());
        auto *geq = new FormGeq(host.get());
        auto *limit = new FormLimit(host.get());
        auto *limit2 = new FormLimit2(host.get());
        connect(eq, &FormEq::sendtogainview, gain, &FormGain::messgeformpeq);
        for (QTimer *t : host->findChildren<QTimer *>())
            t->stop();
        auto load = [&](int v) {
            gMainApp->setallloading(1);
            eq->updatepeqview(v);
            gain->updategainview(v);
            delay->updatedelayview(v);
            geq->updategeqview(v);
            limit->updatelimitview(v);
            limit2->updatelimitview2(v);
            gMainApp->setallloading(0);
        };
        load(0);
        // The pages' throttles, driven by hand: ten ticks send all they hold.
        auto ticks = [&] {
            for (int k = 0; k < 10; ++k) {
                eq->timetosend();
                find<Formeqbtns>(*eq, "widgeteqbtn")->timetosend();
                gain->timetosend();
                geq->timetosend();
                limit->timetosend();
                limit2->timetosend();
            }
        };
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));

        // Every page on its last channel of the large device.
        find<QPushButton>(*eq, "eqbtnout8")->click();
        find<QPushButton>(*geq, "btngeqout8")->click();
        find<QPushButton>(*limit, "limit_btnout8")->click();
        find<QPushButton>(*limit2, "btnout800")->click();
        gain->setcurchannel(12);
        gMainApp->setdelayviewch(12); // as the main page opens the delay page on OUT8
        delay->updatedelay();
        QVERIFY(find<QPushButton>(*delay, "delay_btnout8")->isChecked());
        QCOMPARE(gMainApp->getpeqchannel(), 11);
        QCOMPARE(geq->currentchannel(), 11);
        QCOMPARE(limit->getcurchannel(), 11);
        s.clearframes();

        // The smaller device becomes current and the pages reload for it.
        gMainApp->setdevtype(uchar(type));
        gMainApp->setdevaddr(addr);
        gMainApp->selectdevice(uchar(type), addr, kSerial);
        load(view);
        // Whatever the reload left pending goes out before the edits.
        ticks();
        received(small);
        s.clearframes();
        QCOMPARE(gMainApp->getpeqchannel(), 0);
        QVERIFY(find<QPushButton>(*eq, "eqbtnina")->isChecked());
        QVERIFY(!find<QWidget>(*eq, "widgetoutaa")->isVisible());
        QCOMPARE(geq->currentchannel(), 0);
        QCOMPARE(limit->getcurchannel(), 0);
        QVERIFY(find<QPushButton>(*limit, "limit_btnina")->isChecked());
        QVERIFY(find<QPushButton>(*limit2, "btnout100")->isChecked());
        QVERIFY(find<QPushButton>(*gain, "btnina")->isChecked());
        QVERIFY(find<QPushButton>(*delay, "delay_btnina")->isChecked());
        QVERIFY(!find<QPushButton>(*delay, "delay_btnout8")->isChecked());

        // Edits on each page's current channel, through the widgets.
        find<QPushButton>(*eq, "btnupeqgain")->click();         // EQ band 1 of the channel shown
        find<QPushButton>(*eq, "eqbtnup")->click();             // the EQ page's gain strip
        find<QSlider>(*geq, "slidergeqgain")->setValue(310);    // graphic EQ band 1
        find<QPushButton>(*geq, "btngeqpass_2")->click();       // graphic EQ band 2 pass, at once
        find<QPushButton>(*limit, "btndelayinmiup_5")->click(); // limiter attack of the channel selected
        find<QPushButton>(*limit2, "limitswitch1")->click();    // peak limiter of the output selected
        // And every sender asked for a channel the device lacks.
        for (int ch : absent) {
            gMainApp->sendgain(ch);
            gMainApp->senddelay(ch);
            gMainApp->sendlimit(ch);
            gMainApp->sendpeqband(ch, 0);
            gMainApp->buildgeqband(ch, 0);
            if (ch >= 4) {
                gMainApp->sendpeaklimit(ch - 4);
                gMainApp->sendoutputflag(ch - 4);
                gMainApp->sendxover(ch, 0);
                gMainApp->sendfir(ch);
            }
        }
        ticks();

        const QVector<standin::FrameRecord> got = received(small);
        QSet<int> commands;
        for (const standin::FrameRecord &r : got) {
            const int ch = channelof(r);
            QVERIFY2(
                ch >= 0 && !absent.contains(ch),
                qPrintable(
                    QStringLiteral("frame for channel %1: %2").arg(ch).arg(QString(r.bytes.toHex(' ')))));
            QVERIFY2(r.answered, qPrintable(r.note));
            QCOMPARE(ch, r.command() == 0x31 ? 4 : 0); // IN-A, the peak limiter's OUT1
            commands << r.command();
        }
        QCOMPARE(commands, (QSet<int>{0x20, 0x21, 0x30, 0x31, 0x50}));
        QVERIFY(s.commands(big).isEmpty());

        host.reset();
        deleteprogramglobals();
        MainApp::settimescale(1);
    }
};

QTEST_MAIN(TstDeviceChange)
#include "tst_devicechange.moc"
