// The main window: menus by build variant, the language switch, page buttons,
// and the replies reaching their handlers through the window's wiring.

#include "../core/tst_ccomctrl_replies.h"
#include "ccomctrl.h"
#include "devicedata.h"
#include "formchtool.h"
#include "formdelay.h"
#include "formeq.h"
#include "formgain.h"
#include "formlimit2.h"
#include "formmainview.h"
#include "formsetview.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "startup.h"
#include "tst_connect_support.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
QString zh(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList texts(const QMenu *menu)
{
    QStringList list;
    for (const QAction *a : menu->actions())
        list << a->text();
    return list;
}
} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;

    // Starts the program in English (the config file says "en").
    void start(int variant = 4)
    {
        QVERIFY(linktest::writeconfig());
        w.reset(startmainwindow(variant));
    }
    QPushButton *button(const char *name) const { return w->findChild<QPushButton *>(QLatin1String(name)); }
    QLabel *comshow() const { return w->findChild<QLabel *>(QStringLiteral("comshow")); }
    // The menu buttons and actions the language table names.
    QObject *object(const QString &key) const
    {
        const QHash<QString, QObject *> objects{
            {"add0", w->fileaction(0)}, {"help", w->helpaction()}, {"interface", w->interfaceaction()}};
        return key.startsWith("menu") ? button(key.toLatin1().constData()) : objects.value(key);
    }
    // A type-24 device at address 1 on the serial line, current.
    static DeviceData *selectserial()
    {
        const QHostAddress serial(QStringLiteral("0.0.0.0"));
        MainApp::adddevice(0x18, 1, serial);
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        gMainApp->setdevip(serial);
        gMainApp->selectdevice(0x18, 1, serial);
        return gMainApp->getcurdevice();
    }

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup() { linktest::endwindow(w, dir); }

    void filemenu_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QStringList>("entries");
        const QStringList all{"Add New 4IN8OUT", "Add New 3IN6OUT", "Add New 2IN4OUT", "Clear All Device"};
        const QStringList six{"Add New 3IN6OUT", "Clear All Device"};
        for (int v : {0, 1, 2, 3, 5, -1})
            QTest::addRow("%d", v) << v << (v == 0 || v == 1 ? all : six);
        QTest::newRow("4") << 4 << QStringList{"Add New 4IN8OUT", "Add New 2IN4OUT", "Clear All Device"};
    }
    void filemenu()
    {
        QFETCH(int, variant);
        QFETCH(QStringList, entries);
        start(variant);
        QCOMPARE(texts(button("menuFile")->menu()), entries);
        QCOMPARE(texts(button("menuView")->menu()), QStringList{"Find Online"});
        QCOMPARE(texts(button("menuEdit")->menu()), (QStringList{"Choose Interface", "RS232"}));
        QVERIFY(w->rs232action()->isCheckable());
        // The Help menu holds About only; the help action is in no menu.
        QCOMPARE(texts(button("menuHelp")->menu()), QStringList{"About"});
        QCOMPARE(button("menuHelp")->text(), QStringLiteral("About"));
        QVERIFY(w->helpaction()->associatedWidgets().isEmpty());
    }

    // The language switch, there and back, on buttons, actions and status.
    void languageswitch_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("statuszh");
        const char *const rows[][3] = {
            {"menuFile", "File", "文件"},
            {"menuLanguage", "中文", "English"},
            {"add0", "Add New 4IN8OUT", "新建 4IN8OUT"},
            {"help", "Help", "帮助"},
            {"interface", "Choose Interface", "选择网卡"},
        };
        // The status line converts "Online..." and "DisConnect" only.
        const char *const status[][2] = {
            {"Online...", "联机中..."}, {"DisConnect", "未连接"}, {"COM3:OK", "COM3:OK"}};
        int i = 0;
        for (const auto &r : rows) {
            const auto &st = status[i++ % 3];
            QTest::newRow(r[0]) << r[0] << zh(r[1]) << zh(r[2]) << zh(st[0]) << zh(st[1]);
        }
    }
    void languageswitch()
    {
        QFETCH(QString, key);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QFETCH(QString, status);
        QFETCH(QString, statuszh);
        start();
        QObject *o = object(key);
        QVERIFY(o);
        auto text = [o] {
            if (auto *b = qobject_cast<QPushButton *>(o))
                return b->text();
            return qobject_cast<QAction *>(o)->text();
        };
        comshow()->setText(status);
        QCOMPARE(text(), english);
        QCOMPARE(w->shownstylesheet(), MainWindow::readstylesheet(":/style/style.txt"));
        emit button("menuLanguage")->pressed();
        QCOMPARE(gGlobalContrl->getlanguage(), 1);
        QCOMPARE(text(), chinese);
        QCOMPARE(comshow()->text(), statuszh);
        QCOMPARE(w->shownstylesheet(), MainWindow::readstylesheet(":/style/style_chs.txt"));
        emit button("menuLanguage")->pressed();
        QCOMPARE(text(), english);
        QCOMPARE(comshow()->text(), status);
        QCOMPARE(w->shownstylesheet(), MainWindow::readstylesheet(":/style/style.txt"));
    }

    // Each page button opens its page (the default record is not locked) and
    // emits its page's lock signal; the page number the pages send marks it.
    void pagebuttons_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("lock");
        QTest::newRow("main") << 0 << "pushButton" << int(MainApp::MainView) << "updatemainlock()";
        QTest::newRow("peak") << 5 << "pushButton_8" << int(MainApp::Limit2View) << "destroyed()";
        QTest::newRow("graphic EQ, marked by nothing")
            << 8 << "pushButton_4" << int(MainApp::GeqView) << "updategeqlock()";
        QTest::newRow("7 marks nothing") << 7 << QString() << -1 << QString();
    }
    void pagebuttons()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        QFETCH(int, view);
        QFETCH(QString, lock);
        start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const char *names[] = {"pushButton",   "pushButton_2", "pushButton_3", "pushButton_5",
                               "pushButton_6", "pushButton_7", "pushButton_8"};
        w->setButtonView(2);
        emit gFormMainView->sChangeButtonview(page);
        for (const char *n : names)
            QCOMPARE(button(n)->isChecked(),
                     (name.isEmpty() || page == 8 ? "pushButton_3" : name) == QLatin1String(n));
        if (name.isEmpty())
            return;
        QSignalSpy lockspy(w.get(), QByteArray("2" + lock.toLatin1()).constData());
        QSignalSpy refprogram(w.get(), SIGNAL(refprogram()));
        QTest::mouseClick(button(name.toLatin1().constData()), Qt::LeftButton);
        QVERIFY(gMainApp->getview(MainApp::View(view))->isVisible());
        QCOMPARE(lockspy.count(), lock == "destroyed()" ? 0 : 1);
        QCOMPARE(refprogram.count(), 0); // refreshed only for a connected device
    }

    // The SETUP page button refreshes the program list of a connected
    // processor only (its names read already here: the refresh asks nothing).
    void setupbutton_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("network");
        QTest::newRow("not connected") << false << false;
        QTest::newRow("serial line") << true << false;
        QTest::newRow("network") << false << true;
    }
    void setupbutton()
    {
        QFETCH(bool, serial);
        QFETCH(bool, network);
        start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        DeviceData *d = selectserial();
        d->setcomconnected(serial);
        d->settcpconnected(network);
        d->namesloaded = 1;
        QSignalSpy refprogram(w.get(), SIGNAL(refprogram()));
        QTest::mouseClick(button("pushButton_7"), Qt::LeftButton);
        QVERIFY(gMainApp->getview(MainApp::SetView)->isVisible());
        QCOMPARE(refprogram.count(), serial || network ? 1 : 0);
        d->setcomconnected(0);
        d->settcpconnected(0);
    }

    // A page button lights the page shown: with the detail pages locked,
    // the main page stays and MAIN stays lit.
    void pagebuttonslit_data()
    {
        QTest::addColumn<int>("lock");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lit");
        QTest::newRow("gain") << 0 << "pushButton_2" << "pushButton_2";
        QTest::newRow("graphic EQ") << 0 << "pushButton_4" << "pushButton_4";
        QTest::newRow("Change&View, gain") << 2 << "pushButton_2" << "pushButton";
        QTest::newRow("Everything, delay") << 4 << "pushButton_3" << "pushButton";
        QTest::newRow("Everything, peak limiter") << 4 << "pushButton_8" << "pushButton";
        QTest::newRow("Everything, programs") << 4 << "pushButton_7" << "pushButton_7";
    }
    void pagebuttonslit()
    {
        QFETCH(int, lock);
        QFETCH(QString, name);
        QFETCH(QString, lit);
        start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        gMainApp->getcurdevice()->setlocktype(lock);
        QTest::mouseClick(button(name.toLatin1().constData()), Qt::LeftButton);
        for (const char *n : {"pushButton", "pushButton_2", "pushButton_3", "pushButton_4", "pushButton_5",
                              "pushButton_6", "pushButton_7", "pushButton_8"})
            QVERIFY2(button(n)->isChecked() == (lit == QLatin1String(n)), n);
    }

    // Each serial reply reaches its own handler through the window's wiring.
    void replyeffects_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("flags"); // ready read write copy name gain
        QTest::newRow("copy ack") << replies::copyack() << "000100";
        QTest::newRow("name") << replies::name() << "000010";
        QTest::newRow("gain ack") << replies::gainack() << "000001";
        QTest::newRow("part 0") << replies::programdata(0) << "110000";
        QTest::newRow("part 5") << replies::programdata(5) << "010000";
        QTest::newRow("write ack") << replies::writeack() << "001000";
        QTest::newRow("recall ack") << replies::recallack() << "100000";
        QTest::newRow("logo ack") << replies::logoack() << "000000";
    }
    void replyeffects()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, flags);
        start();
        DeviceData *d = selectserial();
        gComCtrl.dataReceived(reply);
        const QString got = QStringLiteral("%1%2%3%4%5%6")
                                .arg(d->getprogramready())
                                .arg(d->getread1to25ok())
                                .arg(d->getwrite1to25ok())
                                .arg(d->getcopyok())
                                .arg(d->getnameok())
                                .arg(d->getgainok());
        QCOMPARE(got, flags);
    }

    // What one page (or the link) reports reaches the page that shows it, on
    // the window the start-up builds: each row drives the sending page as a
    // user or the processor does and reads the receiving widget.
    void pagewiring_data()
    {
        QTest::addColumn<QString>("drive");   // what happens on the sending side
        QTest::addColumn<int>("channel");     // 0..11
        QTest::addColumn<QString>("page");    // the receiving page
        QTest::addColumn<QString>("widget");  // its widget
        QTest::addColumn<QString>("property"); // what the user sees of it
        QTest::addColumn<QVariant>("shown");
        // Levels 10 20 .. c0 hex for the twelve channels; the cover hides
        // what the level leaves dark: 85 - 1.42 * 16 rows, none at 192.
        QTest::newRow("meter reply, IN-A meter")
            << "meters" << 0 << "gain" << "widgetlights" << "height" << QVariant(62);
        QTest::newRow("meter reply, OUT8 meter")
            << "meters" << 11 << "gain" << "widgetlights_12" << "height" << QVariant(0);
        QTest::newRow("gain slider, main gain label")
            << "gain" << 5 << "main" << "label_gainout2" << "text" << QVariant("-15.0dB");
        QTest::newRow("delay slider, main delay label")
            << "delay" << 9 << "main" << "label_delay10" << "text" << QVariant("10.00ms");
        QTest::newRow("gain page mute, main IN-C mute")
            << "mute" << 2 << "main" << "btninmute1_4" << "styleSheet"
            << QVariant("background-image:url(:/buttons/skin/inputbackmute01.png);");
        QTest::newRow("gain page mute, main OUT4 mute")
            << "mute" << 7 << "main" << "btnoutmute_4" << "styleSheet"
            << QVariant("background-image:url(:/buttons/skin/outbackmute01.png);");
        QTest::newRow("EQ bypass-all, main OUT3 mark")
            << "bypass" << 6 << "main" << "peqbypass_8" << "styleSheet" << QVariant("color: rgb(84,84, 84);");
        QTest::newRow("EQ gain strip, gain page IN-B slider")
            << "eqgain" << 1 << "gain" << "vlSliderGain_2" << "value" << QVariant(123);
        QTest::newRow("EQ gain strip, gain page OUT5 slider")
            << "eqgain" << 8 << "gain" << "vlSliderGain_9" << "value" << QVariant(461);
    }
    void pagewiring()
    {
        QFETCH(QString, drive);
        QFETCH(int, channel);
        QFETCH(QString, page);
        QFETCH(QString, widget);
        QFETCH(QString, property);
        QFETCH(QVariant, shown);
        start();
        DeviceData *d = selectserial();
        if (drive == "mute") {
            // Sounding, as the main page shows.
            d->setmute(channel, 0);
            gFormMainView->updatemetubtn();
        }
        QWidget *receiver = page == "gain" ? static_cast<QWidget *>(gFormGain) : gFormMainView;
        QWidget *target = receiver->findChild<QWidget *>(widget);
        QVERIFY(target);
        auto seen = [&]() -> QVariant {
            if (property == "height")
                return target->height();
            return target->property(property.toLatin1().constData());
        };
        QVERIFY2(seen() != shown, "the row must show a change");
        if (drive == "meters") {
            gComCtrl.dataReceived(replies::meters());
        } else if (drive == "gain") {
            const QString name = QStringLiteral("vlSliderGain_%1").arg(channel + 1);
            gFormGain->findChild<QSlider *>(name)->setValue(250);
        } else if (drive == "delay") {
            gFormDelay->findChild<QSlider *>(QStringLiteral("sldrdelaymi_%1").arg(channel + 1))->setValue(480);
        } else if (drive == "mute") {
            gFormGain->findChild<QPushButton *>(QStringLiteral("btngainm_%1").arg(channel + 1))->click();
        } else if (drive == "bypass") {
            gFormEq->selectchannel(channel + 1);
            gFormEq->findChild<QPushButton *>(QStringLiteral("btneqbypassall"))->click();
        } else if (drive == "eqgain") {
            gFormEq->selectchannel(channel + 1);
            gFormEq->findChild<QSlider *>(QStringLiteral("vlSliderGain_1"))->setValue(shown.toInt());
        }
        QCOMPARE(seen(), shown);
    }

    // Signals into the window, observed at the window's end.
    void signalsintowindow()
    {
        start();
        // A find reply on the serial line fills a slot, and the tab bar shows it.
        emit gComCtrl.findok(0x16, 0x1f);
        QCOMPARE(gMainApp->getslotname(0), QStringLiteral("3IN6OUT:1f"));
        QVERIFY(gMainApp->getslotonline(0));
        auto *bar = w->findChild<FormChTool *>(QStringLiteral("formchtool"));
        QVERIFY(!bar->slotbutton(0)->isHidden());
        QCOMPARE(bar->slotbutton(0)->text(), QStringLiteral("3IN6OUT:1f"));
        // A click on the tab bar makes its slot current.
        QTest::mouseClick(bar->slotbutton(0), Qt::LeftButton);
        QCOMPARE(w->currentslot(), 0);
        QCOMPARE(gMainApp->getdevtype(), uchar(0x16));
        QCOMPARE(gMainApp->getdevaddr(), uchar(0x1f));
        // The network discovery's status texts, by language.
        gGlobalContrl->setlanguage(1);
        w->judgeudpconnect(false);
        QCOMPARE(comshow()->text(), zh("网络断开"));
        gGlobalContrl->setlanguage(0);
        w->judgeudpconnect(true);
        QCOMPARE(comshow()->text(), QStringLiteral("find for Net"));
    }

    // A refresh of all pages (as after a download or a recall) shows each
    // output's peak limiter on the main page, also where only its switch
    // changed and the page's threshold slider stayed where it was.
    void peaklimitersummary_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("on");
        QTest::addColumn<QString>("shown");
        QTest::newRow("OUT1 on") << 0 << 0 << 1 << "20.0dB";
        QTest::newRow("OUT8 on") << 0 << 7 << 1 << "20.0dB";
        QTest::newRow("OUT4 off") << 0 << 3 << 0 << "off";
        QTest::newRow("OUT4 off, Chinese") << 1 << 3 << 0 << zh("关");
    }
    void peaklimitersummary()
    {
        QFETCH(int, language);
        QFETCH(int, output);
        QFETCH(int, on);
        QFETCH(QString, shown);
        start();
        if (language)
            emit button("menuLanguage")->pressed();
        DeviceData *d = gMainApp->getcurdevice();
        d->setpeaklimiton(output, on);
        QLabel *label = gFormMainView->findChild<QLabel *>(QStringLiteral("label_limit%1").arg(20 + output));
        QVERIFY(label);
        label->setText(QStringLiteral("stale"));
        emit gFormSetView->updataallviews();
        QCOMPARE(label->text(), shown);
    }

    // A connect reply with a new lock state (as after the lock dialogs) reaches
    // the peak-limiter page at once: every row inert while locked.
    void peaklimiterfollowslock()
    {
        start();
        selectserial();
        QWidget *block = gFormLimit2->findChild<QWidget *>(QStringLiteral("widgetblock"));
        QWidget *row = gFormLimit2->findChild<QWidget *>(QStringLiteral("widgetlimit80"));
        QVERIFY(block && row);
        emit gComCtrl.connectok(QStringLiteral("1801020601010000000000"));
        QVERIFY(!block->isHidden());
        QVERIFY(!row->isEnabled());
        emit gComCtrl.connectok(QStringLiteral("1801020601000000000000"));
        QVERIFY(block->isHidden());
        QVERIFY(row->isEnabled());
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
