// Device names by hand, by found devices and by the serial search against
// the stand-in; closing tells the processors before the port closes.

#include "appglobals.h"
#include "ccomctrl.h"
#include "devicedata.h"
#include "dialogcom.h"
#include "formchtool.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "scriptedprompts.h"
#include "standin.h"
#include "startup.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using linktest::commandcount;
using standin::Standin;

Q_DECLARE_METATYPE(QVector<int>)

namespace
{
QStringList slottexts()
{
    QStringList list;
    for (int i = 0; i < MainApp::kSlotCount; ++i) {
        if (gMainApp->getslotused(i))
            list << gMainApp->getslotname(i);
    }
    return list;
}
} // namespace

class TstDeviceSearch : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;

    QLabel *comshow() const { return w->findChild<QLabel *>(QStringLiteral("comshow")); }

private slots:
    void init()
    {
        QVERIFY(linktest::startwindow(w, dir));
        // Waits at a fifth of their time; closing's drain wait stays real.
        MainApp::settimescale(QTest::currentTestFunction() == QLatin1String("closing") ? 1.0 : 0.2);
    }
    void cleanup()
    {
        MainApp::settimescale(1.0);
        w.reset();
        gComCtrl.closemaincom();
        gComCtrl.setfindok(false);
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        qunsetenv("DSPMANAGER_PORTS");
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
        dir.reset();
    }

    // Operations: a/b/c add a device of type 24/22/20 by hand, x clears,
    // f<type><addr> (hex) a device found on the serial line, n<type><addr> one
    // found on the network.
    void byhand_data()
    {
        QTest::addColumn<QString>("ops");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QVector<int>>("online");
        QTest::newRow("clearing keeps the counter")
            << "a a x a" << QStringList{"4IN8OUT:02"} << QVector<int>{0};
        QTest::newRow("types count apart")
            << "a c b a" << QStringList{"4IN8OUT:01", "2IN4OUT:01", "3IN6OUT:01", "4IN8OUT:02"}
            << QVector<int>{0, 0, 0, 0};
        QTest::newRow("a found device fills the next slot")
            << "a f1805" << QStringList{"4IN8OUT:01", "4IN8OUT:05"} << QVector<int>{0, 1};
        QTest::newRow("a found device turns its hand-made slot online")
            << "a a f1802" << QStringList{"4IN8OUT:01", "4IN8OUT:02"} << QVector<int>{0, 1};
        QTest::newRow("found again keeps one slot")
            << "f141f f141f" << QStringList{"2IN4OUT:1f"} << QVector<int>{1};
        QTest::newRow("unknown types, then a known one")
            << "f3005 f3106 f3005 f1802" << QStringList{"05", "06", "4IN8OUT:02"} << QVector<int>{1, 1, 1};
        QTest::newRow("a hand-made device after clearing a network one")
            << "n1805 x a" << QStringList{"4IN8OUT:01"} << QVector<int>{1};
        QStringList thirteen;
        for (int a = 1; a <= 13; ++a)
            thirteen << FormChTool::slottext(0x18, uchar(a));
        QTest::newRow("thirteen names at most")
            << "a a a a a a a a a a a a a a f1420" << thirteen << QVector<int>(13, 0);
        QStringList wrapped;
        for (int a = 25; a <= 32; ++a)
            wrapped << FormChTool::slottext(0x18, uchar(a));
        for (int a = 1; a <= 5; ++a)
            wrapped << FormChTool::slottext(0x18, uchar(a));
        const QString batch = QStringLiteral("a a a a a a a a a a a a a");
        QTest::newRow("addresses wrap within 1 to 32")
            << batch + " x " + batch + " x " + batch << wrapped << QVector<int>(13, 0);
    }
    void byhand()
    {
        QFETCH(QString, ops);
        QFETCH(QStringList, names);
        QFETCH(QVector<int>, online);
        QSignalSpy spy(w.get(), SIGNAL(updateguibtns(int)));
        int added = 0;
        for (const QString &op : ops.split(' ')) {
            const int before = spy.count();
            if (op == "a")
                w->fileaction(0)->trigger();
            else if (op == "b")
                w->addnewbtns770();
            else if (op == "c")
                w->fileaction(2)->trigger();
            else if (op == "x")
                w->fileaction(3)->trigger();
            else if (op.startsWith('n'))
                w->tcpfindok(uchar(op.mid(1, 2).toInt(nullptr, 16)), uchar(op.mid(3, 2).toInt(nullptr, 16)),
                             QHostAddress(QStringLiteral("192.0.2.7")));
            else
                emit gComCtrl.findok(uchar(op.mid(1, 2).toInt(nullptr, 16)),
                                     uchar(op.mid(3, 2).toInt(nullptr, 16)));
            // A hand-made addition reports the running count, anything else 34.
            if (spy.count() > before) {
                const int arg = spy.last().at(0).toInt();
                if (QStringLiteral("abc").contains(op))
                    QCOMPARE(arg, ++added);
                else
                    QCOMPARE(arg, 34);
            }
        }
        QCOMPARE(slottexts(), names);
        QCOMPARE(gDeviceList.size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(int(gMainApp->getslotonline(i)), online.at(i));
            QCOMPARE(w->slotaddress(i), QHostAddress(QStringLiteral("0.0.0.0")));
        }
        auto *bar = w->findChild<FormChTool *>(QStringLiteral("formchtool"));
        for (int i = 0; i < MainApp::kSlotCount; ++i)
            QCOMPARE(bar->slotbutton(i)->isHidden(), i >= names.size());
    }

    // Ports separated by ';': "pty:" and units (type, address in hex) on a
    // fresh pseudo-terminal, or a path that does not open.
    void findonline_data()
    {
        QTest::addColumn<QString>("ports");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("okport"); // index of the port shown with ":OK"; -1 "Can't Open"
        QTest::newRow("one port, two devices")
            << "pty:1801,1402" << QStringList{"4IN8OUT:01", "2IN4OUT:02"} << 0;
        QTest::newRow("devices only on the second of three")
            << "pty:;pty:1605;pty:1807" << QStringList{"3IN6OUT:05"} << 1;
        QTest::newRow("a port that does not open, then devices")
            << "/nonexistent/ttyX;pty:1803" << QStringList{"4IN8OUT:03"} << 1;
        QTest::newRow("ports without devices") << "pty:;pty:" << QStringList{} << -1;
    }
    void findonline()
    {
        QFETCH(QString, ports);
        QFETCH(QStringList, names);
        QFETCH(int, okport);
        Standin s;
        QStringList paths;
        QVector<int> lastunits; // units of the last port, which the search never reaches
        for (const QString &spec : ports.split(';', Qt::SkipEmptyParts)) {
            if (!spec.startsWith("pty:")) {
                paths << spec;
                continue;
            }
            const int line = s.openpty();
            QVERIFY2(line > 0, qPrintable(s.errorstring()));
            paths << s.ptypath(line);
            lastunits.clear();
            for (const QString &u : spec.mid(4).split(',', Qt::SkipEmptyParts)) {
                const int unit = s.addunit(line, quint8(u.left(2).toInt(nullptr, 16)),
                                           quint8(u.mid(2).toInt(nullptr, 16)));
                QVERIFY(unit > 0);
                lastunits << unit;
            }
        }
        qputenv("DSPMANAGER_PORTS", paths.join(',').toUtf8());
        QSignalSpy spy(w.get(), SIGNAL(updateguibtns(int)));
        w->findonlineaction()->trigger();
        QCOMPARE(slottexts(), names);
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(gMainApp->getslotonline(i));
        QVERIFY(!spy.isEmpty());
        QCOMPARE(spy.last().at(0).toInt(), 34);
        if (okport >= 0) {
            QVERIFY(paths.at(okport).startsWith("/dev/"));
            QCOMPARE(comshow()->text(), paths.at(okport).mid(5) + ":OK");
            QVERIFY(gComCtrl.getcomisopened());
            QCOMPARE(gComCtrl.getcomname(), paths.at(okport));
            QVERIFY(w->rs232action()->isChecked());
            if (okport < paths.size() - 1) {
                for (int unit : lastunits)
                    QCOMPARE(s.commands(unit).size(), 0);
            }
        } else {
            QCOMPARE(comshow()->text(), QStringLiteral("Can't Open"));
            QVERIFY(!gComCtrl.getcomisopened());
            QVERIFY(!w->rs232action()->isChecked());
        }
    }

    // A second search from inside the first one's waits is refused.
    void secondsearchrefused()
    {
        Standin s;
        const int line = s.openpty();
        QVERIFY(line > 0);
        const int unit = s.addunit(line, 0x18, 0x09);
        qputenv("DSPMANAGER_PORTS", s.ptypath(line).toUtf8());
        bool nestedran = false;
        bool busyinside = false;
        ScriptedPrompts prompts;
        QTimer::singleShot(500, [&] {
            busyinside = w->exchangerunning();
            w->finddevice();
            // Loading a program file is refused too: no box, no file dialog.
            w->findChild<QPushButton *>(QStringLiteral("Down_Button"))->click();
            nestedran = true;
        });
        w->finddevice();
        QVERIFY(nestedran);
        QCOMPARE(prompts.shown.size(), 0);
        QVERIFY(busyinside);
        QVERIFY(!w->exchangerunning());
        QCOMPARE(slottexts(), QStringList{"4IN8OUT:09"});
        QVERIFY(gComCtrl.getcomisopened());
        QCOMPARE(commandcount(s, unit, 0x01), 1);
    }

    // A click or key during the search reaches no window (the page bar, the
    // tool bar's connect, a device slot); afterwards they work again.
    void inputduringsearch_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("key");   // Space on the focused button instead of a click
        QTest::addColumn<bool>("after"); // pressed again after the search
        QTest::newRow("page bar, gain page") << "pushButton_2" << false << true;
        QTest::newRow("page bar, by key") << "pushButton_3" << true << true;
        QTest::newRow("tool bar, main page") << "btnOpen" << false << true;
        QTest::newRow("tool bar, connect") << "btnExcel" << false << false;
    }
    void inputduringsearch()
    {
        QFETCH(QString, button);
        QFETCH(bool, key);
        QFETCH(bool, after);
        Standin s;
        const int line = s.openpty();
        QVERIFY(line > 0);
        const int unit = s.addunit(line, 0x18, 0x01);
        qputenv("DSPMANAGER_PORTS", s.ptypath(line).toUtf8());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto *b = w->findChild<QPushButton *>(button);
        QVERIFY2(b, qPrintable(button));
        QSignalSpy clicks(b, &QAbstractButton::clicked);
        const auto press = [&] {
            if (key) {
                b->setFocus();
                QTest::keyClick(b, Qt::Key_Space);
            } else {
                QTest::mouseClick(b, Qt::LeftButton);
            }
        };
        int pressed = 0;
        QTimer during;
        connect(&during, &QTimer::timeout, this, [&] {
            if (!w->exchangerunning())
                return;
            press();
            ++pressed;
        });
        during.start(150);
        w->finddevice();
        during.stop();
        QVERIFY(pressed >= 2);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(slottexts(), QStringList{"4IN8OUT:01"});
        QCOMPARE(commandcount(s, unit, 0x02), 0);
        if (after) {
            press();
            QCOMPARE(clicks.count(), 1);
        }
    }

    // A frame held for its 50 ms spacing when a search starts goes to the
    // processor it was for, before the search closes that port and moves
    // on to the others.
    void heldframesearch()
    {
        Standin s;
        const int empty = s.openpty();
        const int line = s.openpty();
        QVERIFY(empty > 0 && line > 0);
        const int unit = s.addunit(line, 0x18, 0x01);
        qputenv("DSPMANAGER_PORTS", (s.ptypath(empty) + ',' + s.ptypath(line)).toUtf8());
        gDialogCom->initcom();
        gComSettings.setportname(s.ptypath(line));
        QVERIFY(gComCtrl.openmaincom());
        // The record in use before any is listed, linked on this port.
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(0x01);
        gMainApp->getcurdevice()->setcomconnected(1);
        gMainApp->getcurdevice()->setoutflag(3, 1);
        gMainApp->sendoutputflag(3);
        w->finddevice();
        QCOMPARE(slottexts(), QStringList{"4IN8OUT:01"});
        const auto got = s.commands(unit);
        QVERIFY(!got.isEmpty());
        QCOMPARE(got.first().command(), quint8(0x52));
        QCOMPARE(got.first().bytes.mid(6, 3).toHex(), QByteArray("021301"));
        QCOMPARE(commandcount(s, unit, 0x52), 1);
        QVERIFY(s.badframes().isEmpty());
    }

    // Every listed processor gets its disconnect before the port closes.
    void closing()
    {
        Standin s;
        const int line = s.openpty();
        QVERIFY(line > 0);
        const int a = s.addunit(line, 0x18, 0x01);
        const int b = s.addunit(line, 0x14, 0x01);
        const int c = s.addunit(line, 0x16, 0x07); // not listed: not told
        qputenv("DSPMANAGER_PORTS", s.ptypath(line).toUtf8());
        w->fileaction(0)->trigger();
        w->fileaction(2)->trigger();
        gDialogCom->initcom();
        w->rs232action()->trigger();
        QVERIFY(gComCtrl.getcomisopened());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->close());
        QVERIFY(!gComCtrl.getcomisopened());
        QCOMPARE(gGlobalContrl->getclosing(), uchar(1));
        QTRY_COMPARE(commandcount(s, a, 0x03), 1);
        QTRY_COMPARE(commandcount(s, b, 0x03), 1);
        w.reset();
        QTest::qWait(200);
        QCOMPARE(commandcount(s, a, 0x03), 1);
        QCOMPARE(commandcount(s, b, 0x03), 1);
        QCOMPARE(s.commands(c).size(), 0);
        QVERIFY(s.badframes().isEmpty());
    }
};

QTEST_MAIN(TstDeviceSearch)
#include "tst_devicesearch.moc"
