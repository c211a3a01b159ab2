// The main control page without a processor: value labels, bypass colours,
// the lock image, the device views, the routing labels and buttons, the
// language switch and the page buttons, driven through the page's slots and
// its buttons' clicked signals.

#include "formmainview.h"
#include "overviewfixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using Setup = std::function<void(MainApp &, DeviceData &)>;
Q_DECLARE_METATYPE(Setup)

namespace
{

const QString kChineseOff = QStringLiteral("关");

// Records the order in which pages are shown.
class ShowLog : public QObject
{
public:
    QStringList shown;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            shown << o->objectName();
        return false;
    }
};

} // namespace

class TstFormMainView : public QObject
{
    Q_OBJECT
    OverviewFixture f;

private slots:
    void init() { f.setup(); }
    void cleanup() { f.teardown(); }

    // The main page refuses the close and stays shown: nothing would show it again.
    void closeisrefused()
    {
        QMdiArea area;
        QPointer<FormMainView> page = new FormMainView;
        QMdiSubWindow *sub = area.addSubWindow(page);
        QVERIFY(!page->isWindow());
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(!sub->isHidden());
        QVERIFY(page->isVisible());
    }

    // The main window connects by signature text; every click slot finds its
    // button by name (a slot without one would warn while the form is built).
    void connectablebyname()
    {
        QStringList warnings;
        static QStringList *sink = nullptr;
        sink = &warnings;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &m) { sink->append(m); });
        FormMainView page;
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        for (const char *s : {"updategaindlg()", "updatedelaydlg()", "updategeqdlg()", "updateeqdlg()",
                              "updatelimitdlg()", "updatelimitdlg2()", "sChangeButtonview(int)"})
            QVERIFY2(page.metaObject()->indexOfSignal(s) >= 0, s);
        for (const char *s :
             {"refreshLanText()", "updatemainview(int)", "updatepeqbypass()", "updateabcdbtn()",
              "updatephasebtns()", "updatemetubtn()", "updategainvalues(int)", "updatedelayvalues(int)",
              "updatelimitvalues(int)", "updatelimitvalues2(int)", "updatemainlock()"})
            QVERIFY2(page.metaObject()->indexOfSlot(s) >= 0, s);
    }

    // The lock image lies beneath every strip and the routing lines above them.
    void stacking()
    {
        QStringList order;
        for (QObject *o : f.widget("formmaindlg")->children())
            order << o->objectName();
        QCOMPARE(order, QStringList({"widgetlockback", "widgetintone_2", "widgetout_8", "widgetintone_4",
                                     "widgetout", "widgetintone_3", "widgetout_3", "widgetintone",
                                     "widgetout_2", "widgetout_7", "widgetout_6", "widgetout_4",
                                     "widgetout_5", "widgetdrawlines"}));
        QVERIFY(f.widget("widgetlockback")->isHidden());
        QCOMPARE(f.label("labelout4")->text(), QStringLiteral("Off"));
        QCOMPARE(f.label("label_gainout1")->text(), QStringLiteral("0.0dB"));
    }

    void valuelabels_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<int>("index");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        auto gain = [](int ch, float db) {
            return Setup([=](MainApp &a, DeviceData &) { a.setgaincache(ch, db); });
        };
        auto delay = [](int ch, float ms) {
            return Setup([=](MainApp &a, DeviceData &) { a.setdelaycache(ch, ms); });
        };
        auto limit = [](int ch, int thr, int knee) {
            return Setup([=](MainApp &a, DeviceData &d) {
                a.setthresholdcache(ch, thr);
                d.setlimitknee(ch, knee);
            });
        };
        auto peak = [](int o, int thr, int on) {
            return Setup([=](MainApp &, DeviceData &d) {
                d.setpeaklimitvalue(o, thr);
                d.setpeaklimiton(o, on);
            });
        };
        QTest::newRow("gain -3.5") << "updategainvalues" << 5 << gain(5, -3.5f) << 0 << "label_gainout2"
                                   << "-3.5dB";
        QTest::newRow("gain 12") << "updategainvalues" << 0 << gain(0, 12) << 0 << "label_gaina"
                                 << "12.0dB";
        QTest::newRow("gain 6 OUT8") << "updategainvalues" << 11 << gain(11, 6) << 1 << "label_gainout8"
                                     << "6.0dB";
        QTest::newRow("delay 0") << "updatedelayvalues" << 4 << delay(4, 0) << 0 << "label_delay5"
                                 << "0.00ms";
        QTest::newRow("delay 12.5") << "updatedelayvalues" << 3 << delay(3, 12.5f) << 0 << "label_delay4"
                                    << "12.50ms";
        QTest::newRow("limiter knee 0") << "updatelimitvalues" << 4 << limit(4, 300, 0) << 0 << "label_limit4"
                                        << "off";
        QTest::newRow("limiter knee 0, Chinese")
            << "updatelimitvalues" << 6 << limit(6, 300, 0) << 1 << "label_limit6" << kChineseOff;
        QTest::newRow("limiter raw 200")
            << "updatelimitvalues" << 11 << limit(11, 200, 1) << 0 << "label_limit11"
            << "0.0dB";
        QTest::newRow("limiter raw 0, hidden input label")
            << "updatelimitvalues" << 0 << limit(0, 0, 3) << 0 << "label_limit"
            << "-20.0dB";
        QTest::newRow("limiter raw 400")
            << "updatelimitvalues" << 7 << limit(7, 400, 1) << 0 << "label_limit7"
            << "20.0dB";
        QTest::newRow("peak raw 400") << "updatelimitvalues2" << 7 << peak(7, 400, 1) << 0 << "label_limit27"
                                      << "20.0dB";
        QTest::newRow("peak raw 155") << "updatelimitvalues2" << 0 << peak(0, 155, 1) << 0 << "label_limit20"
                                      << "-4.5dB";
        QTest::newRow("peak off") << "updatelimitvalues2" << 2 << peak(2, 400, 0) << 0 << "label_limit22"
                                  << "off";
        QTest::newRow("peak off, Chinese")
            << "updatelimitvalues2" << 3 << peak(3, 400, 0) << 1 << "label_limit23" << kChineseOff;
    }
    void valuelabels()
    {
        QFETCH(QString, slot);
        QFETCH(int, index);
        QFETCH(Setup, setup);
        QFETCH(int, language);
        QFETCH(QString, label);
        QFETCH(QString, text);
        gGlobalContrl->setlanguage(language);
        setup(*gMainApp, *f.dev);
        QVERIFY(QMetaObject::invokeMethod(f.page.get(), qPrintable(slot), Q_ARG(int, index)));
        QCOMPARE(f.label(label)->text(), text);
    }

    // A channel or output outside its range changes no label.
    void outofrange_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<int>("index");
        for (const char *s : {"updategainvalues", "updatedelayvalues", "updatelimitvalues"}) {
            QTest::addRow("%s -1", s) << s << -1;
            QTest::addRow("%s 12", s) << s << 12;
        }
        QTest::newRow("updatelimitvalues2 -1") << "updatelimitvalues2" << -1;
        QTest::newRow("updatelimitvalues2 8") << "updatelimitvalues2" << 8;
    }
    void outofrange()
    {
        QFETCH(QString, slot);
        QFETCH(int, index);
        for (int ch = 0; ch < 12; ++ch) {
            gMainApp->setgaincache(ch, 7);
            gMainApp->setthresholdcache(ch, 300);
            f.dev->setlimitknee(ch, 1);
        }
        QStringList before;
        for (QLabel *l : f.page->findChildren<QLabel *>())
            before << l->text();
        QVERIFY(QMetaObject::invokeMethod(f.page.get(), qPrintable(slot), Q_ARG(int, index)));
        QStringList after;
        for (QLabel *l : f.page->findChildren<QLabel *>())
            after << l->text();
        QCOMPARE(after, before);
    }

    void bypasscolours()
    {
        f.dev->setpeqbypassall(1, true);
        f.dev->setpeqbypassall(5, true);
        f.page->updatepeqbypass();
        const QStringList names{"peqbypass",    "peqbypass_2",  "peqbypass_3",  "peqbypass_4",
                                "peqbypass_5",  "peqbypass_7",  "peqbypass_8",  "peqbypass_9",
                                "peqbypass_10", "peqbypass_11", "peqbypass_12", "peqbypass_13"};
        for (int ch = 0; ch < 12; ++ch) {
            QCOMPARE(f.label(names[ch])->styleSheet(),
                     QString(ch == 1 || ch == 5 ? "color: rgb(84,84, 84);" : "color: rgb(152,176, 255);"));
            QCOMPARE(f.label(names[ch])->text(), QStringLiteral("bypass"));
        }
    }

    void lockimage_data()
    {
        QTest::addColumn<int>("com");
        QTest::addColumn<int>("tcp");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("sheet"); // empty: hidden
        QTest::addColumn<QRect>("rect");
        QTest::newRow("state 1") << 1 << 0 << 1 << "background-image:url(:/back/skin/amainlock01.png);"
                                 << QRect(70, 0, 805, 610);
        QTest::newRow("state 2, network")
            << 0 << 1 << 2 << "background-image:url(:/back/skin/amainlock02.png);" << QRect(73, -2, 795, 610);
        QTest::newRow("state 3") << 1 << 0 << 3 << "background-image:url(:/back/skin/alockchange.png);"
                                 << QRect(0, 0, 1014, 700);
        QTest::newRow("state 4") << 1 << 1 << 4 << "background-image:url(:/back/skin/blacklock.png);"
                                 << QRect(0, 0, 1014, 700);
        QTest::newRow("state 3, no link") << 0 << 0 << 3 << "" << QRect();
        QTest::newRow("not locked") << 1 << 0 << 0 << "" << QRect();
        QTest::newRow("unknown state") << 1 << 0 << 5 << "" << QRect();
    }
    void lockimage()
    {
        QFETCH(int, com);
        QFETCH(int, tcp);
        QFETCH(int, state);
        QFETCH(QString, sheet);
        QFETCH(QRect, rect);
        QWidget *lock = f.widget("widgetlockback");
        // Shown first, so that hiding is seen too.
        lock->show();
        f.dev->setcomconnected(com);
        f.dev->settcpconnected(tcp);
        f.dev->setlocktype(state);
        f.page->updatemainlock();
        QCOMPARE(lock->isHidden(), sheet.isEmpty());
        if (!sheet.isEmpty()) {
            QCOMPARE(lock->styleSheet(), sheet);
            QCOMPARE(lock->geometry(), rect);
        }
    }

    void mainview_data()
    {
        QTest::addColumn<QList<int>>("views");
        QTest::addColumn<QStringList>("hidden");
        const QStringList cd{"btnoutC", "btnoutC_2", "btnoutC_3", "btnoutC_4", "btnoutC_5", "btnoutC_6"};
        const QStringList d{"btnoutD", "btnoutD_2", "btnoutD_3", "btnoutD_4", "btnoutD_5", "btnoutD_6"};
        const QStringList type22 = QStringList{"widgetintone_4", "widgetout_7", "widgetout_8"} + d;
        const QStringList type20 = type22 + QStringList{"widgetintone_3", "widgetout_5", "widgetout_6"} + cd;
        QTest::newRow("type 24") << QList<int>{0} << QStringList();
        QTest::newRow("type 22") << QList<int>{1} << type22;
        QTest::newRow("type 20") << QList<int>{2} << type20;
        QTest::newRow("type 20 then 24") << QList<int>{2, 0} << QStringList();
        QTest::newRow("type 22 then unknown view") << QList<int>{1, 3} << type22;
        QTest::newRow("type 20 then negative view") << QList<int>{2, -1} << type20;
    }
    void mainview()
    {
        QFETCH(QList<int>, views);
        QFETCH(QStringList, hidden);
        for (int v : views)
            f.page->updatemainview(v);
        QStringList candidates{"widgetintone", "widgetintone_2", "widgetintone_3", "widgetintone_4",
                               "widgetout",    "widgetout_2",    "widgetout_3",    "widgetout_4",
                               "widgetout_5",  "widgetout_6",    "widgetout_7",    "widgetout_8",
                               "btnoutC_7",    "btnoutC_8",      "btnoutD_7",      "btnoutD_8"};
        for (const char *l : {"C", "D"})
            for (const char *s : {"", "_2", "_3", "_4", "_5", "_6"})
                candidates << QStringLiteral("btnout%1%2").arg(l, s);
        QStringList got;
        for (const QString &c : candidates) {
            if (f.widget(c)->isHidden())
                got << c;
        }
        got.sort();
        hidden.sort();
        QCOMPARE(got, hidden);
    }

    // Clicks on routing buttons without a link: the label as shown is the
    // starting point, the model and the button follow.
    void routing_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("routes"); // routing byte per output before
        QTest::addColumn<bool>("refresh");      // updateabcdbtn before the clicks
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("sheet");
        const QByteArray none(8, 0);
        QByteArray a1 = none;
        a1[0] = 0x08;
        const QString off = "background-image:none;color: rgb(255, 255, 255);";
        QTest::newRow("last input off")
            << 0 << a1 << true << QStringList{"btnoutA"} << 0 << "Off" << 0 << "btnoutA" << off;
        QTest::newRow("last input off, Chinese")
            << 1 << a1 << true << QStringList{"btnoutA"} << 0 << kChineseOff << 0 << "btnoutA" << off;
        QTest::newRow("C on from Off")
            << 0 << none << false << QStringList{"btnoutC_3"} << 2 << "  C " << 0x02 << "btnoutC_3"
            << "background-image:url(:/buttons/skin/outbackC.png);";
        QTest::newRow("B on before the first refresh")
            << 0 << none << false << QStringList{"btnoutB_2"} << 1 << " B  " << 0x04 << "btnoutB_2"
            << "background-image:url(:/buttons/skin/outbackB.png);";
        QTest::newRow("two clicks") << 0 << none << false << QStringList{"btnoutD_5", "btnoutD_5"} << 4
                                    << "Off" << 0 << "btnoutD_5" << off;
        QTest::newRow("one of two inputs off")
            << 0 << QByteArray::fromHex("0000000000000009") << true << QStringList{"btnoutD_8"} << 7 << "A   "
            << 0x08 << "btnoutA_8"
            << "background-image:url(:/buttons/skin/outbackA.png);";
    }
    void routing()
    {
        QFETCH(int, language);
        QFETCH(QByteArray, routes);
        QFETCH(bool, refresh);
        QFETCH(QStringList, clicks);
        QFETCH(int, output);
        QFETCH(QString, text);
        QFETCH(int, byte);
        QFETCH(QString, button);
        QFETCH(QString, sheet);
        gGlobalContrl->setlanguage(language);
        for (int o = 0; o < 8; ++o)
            OverviewFixture::setroutes(f.dev, o, routes[o]);
        if (refresh)
            f.page->updateabcdbtn();
        for (const QString &c : clicks)
            f.click(c);
        QCOMPARE(f.label(QStringLiteral("labelout%1").arg(output + 1))->text(), text);
        QCOMPARE(f.dev->getroutebyte(output), byte);
        QCOMPARE(f.button(button)->styleSheet(), sheet);
    }

    // The routing display after a download: images and letters from the
    // model, four spaces where no input feeds an output.
    void routingrefresh()
    {
        const char bytes[8] = {0x08, 0x04, 0x02, 0x01, 0x0F, 0x00, 0x0C, 0x09};
        OverviewFixture::setimagebytes(f.dev, kImageRouting, QByteArray(bytes, 8));
        f.page->updatemainview(0);
        const QStringList texts{"A   ", " B  ", "  C ", "   D", "ABCD", "    ", "AB  ", "A  D"};
        for (int o = 0; o < 8; ++o) {
            QCOMPARE(f.label(QStringLiteral("labelout%1").arg(o + 1))->text(), texts[o]);
            for (int input = 0; input < 4; ++input) {
                const QString letter(QChar('A' + input));
                const QString name =
                    QStringLiteral("btnout%1%2").arg(letter, o ? QString("_%1").arg(o + 1) : "");
                const bool on = bytes[o] & (8 >> input);
                QCOMPARE(
                    f.button(name)->styleSheet(),
                    on ? QStringLiteral("background-image:url(:/buttons/skin/outback%1.png);").arg(letter)
                       : QStringLiteral("background-image:none;color: rgb(255, 255, 255);"));
            }
        }
    }

    void setabcdtext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("result");
        QTest::newRow("Off widened") << "Off" << true << "D"
                                     << "   D";
        QTest::newRow("Chinese twin widened") << kChineseOff << false << "A"
                                              << "    ";
        QTest::newRow("clear B") << "AB D" << false << "B"
                                 << "A  D";
        QTest::newRow("other letter only widens") << "Off" << true << "E"
                                                  << "    ";
        QTest::newRow("longer text keeps its tail") << "ABCD!" << false << "C"
                                                    << "AB D!";
    }
    void setabcdtext()
    {
        QFETCH(QString, text);
        QFETCH(bool, on);
        QFETCH(QString, letter);
        QFETCH(QString, result);
        FormMainView::setabcdtext(text, on, letter);
        QCOMPARE(text, result);
    }

    // The language switch rewords "Off" labels and re-skins the mutes; labels
    // with letters stay.
    void language()
    {
        f.click("btnoutA_2");
        for (int ch = 0; ch < 12; ++ch)
            f.dev->setmute(ch, ch == 0 || ch == 9);
        gGlobalContrl->setlanguage(1);
        gGlobalContrl->emitlanguage();
        QCOMPARE(f.label("labelout1")->text(), kChineseOff);
        QCOMPARE(f.label("labelout2")->text(), QStringLiteral("A   "));
        QCOMPARE(f.button("btninmute1")->styleSheet(),
                 QStringLiteral("background-image:url(:/buttons/skin/inputbackmute01_chs.png);"));
        QCOMPARE(f.button("btninmute1_3")->styleSheet(),
                 QStringLiteral("background-image:url(:/buttons/skin/inputback-mute_chs.png);"));
        QCOMPARE(f.button("btnoutmute_6")->styleSheet(),
                 QStringLiteral("background-image:url(:/buttons/skin/outbackmute01_chs.png);"));
        QCOMPARE(f.button("btnoutmute")->styleSheet(),
                 QStringLiteral("background-image:url(:/buttons/skin/outbackmute_chs.png);"));
        gGlobalContrl->setlanguage(0);
        gGlobalContrl->emitlanguage();
        QCOMPARE(f.label("labelout1")->text(), QStringLiteral("Off"));
        QCOMPARE(f.button("btnoutmute_6")->styleSheet(),
                 QStringLiteral("background-image:url(:/buttons/skin/outbackmute01.png);"));
    }

    // A switch shows checked only for a flag byte of exactly 1.
    void switchrefresh()
    {
        const int flags[8] = {1, 0, 2, 1, 255, 0, 1, 0};
        for (int o = 0; o < 8; ++o)
            f.dev->setoutflag(o, flags[o]);
        f.page->updatephasebtns();
        const QStringList names{"btnlimitinon", "btnlimitinon_2", "btnlimitinon_3", "btnlimitinon_4",
                                "btnlimiton_5", "btnlimiton_6",   "btnlimiton_7",   "btnlimiton_8"};
        for (int o = 0; o < 8; ++o)
            QCOMPARE(f.button(names[o])->isChecked(), flags[o] == 1);
    }

    // Page buttons: channel to the controller, reload signal, pages shown (as
    // the lock state allows) and the page number for the main window.
    void pagebuttons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("lock");
        QTest::addColumn<QString>("channelof");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("peakoutput"); // -1: not set
        QTest::addColumn<QStringList>("emits");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("gain IN-A") << "btningain1" << 0 << "gain" << 1 << -1
                                   << QStringList{"updategaindlg", "page 1"} << QStringList{"gain"};
        QTest::newRow("gain OUT8") << "btnoutgain2_8" << 0 << "gain" << 12 << -1
                                   << QStringList{"updategaindlg", "page 1"} << QStringList{"gain"};
        QTest::newRow("delay IN-D") << "btnindelay1_5" << 0 << "delay" << 4 << -1
                                    << QStringList{"updatedelaydlg", "page 2"} << QStringList{"delay"};
        QTest::newRow("delay OUT1") << "btnoutdelay" << 0 << "delay" << 5 << -1
                                    << QStringList{"updatedelaydlg", "page 2"} << QStringList{"delay"};
        QTest::newRow("EQ IN-A") << "btneq1" << 0 << "eq" << 1 << -1 << QStringList{"updateeqdlg", "page 3"}
                                 << QStringList{"eq"};
        // IN-D's EQ button opens the EQ page only: inputs have no peak limiter.
        QTest::newRow("EQ IN-D") << "btneq1_5" << 0 << "eq" << 4 << -1 << QStringList{"updateeqdlg", "page 3"}
                                 << QStringList{"eq"};
        const QStringList outeq{"updateeqdlg", "updatelimitdlg2", "page 3"};
        QTest::newRow("EQ OUT1") << "btnouteq" << 0 << "eq" << 5 << 0 << outeq << QStringList{"limit2", "eq"};
        // OUT2's EQ button opens the peak-limiter page like its neighbours.
        QTest::newRow("EQ OUT2") << "btnouteq_2" << 0 << "eq" << 6 << 1 << outeq
                                 << QStringList{"limit2", "eq"};
        QTest::newRow("EQ OUT8") << "btnouteq_8" << 0 << "eq" << 12 << 7 << outeq
                                 << QStringList{"limit2", "eq"};
        QTest::newRow("limiter OUT3") << "btnoutlimit_3" << 0 << "limit" << 7 << -1
                                      << QStringList{"updatelimitdlg", "page 4"} << QStringList{"limit"};
        QTest::newRow("limiter IN-B, no page number")
            << "btninlimit_2" << 0 << "limit" << 2 << -1 << QStringList{"updatelimitdlg"}
            << QStringList{"limit"};
        QTest::newRow("peak OUT8") << "btnoutlimit_27" << 0 << "limit2" << 7 << 7
                                   << QStringList{"updatelimitdlg2", "page 5"} << QStringList{"limit2"};
        QTest::newRow("lock 1 shows") << "btningain1_4" << 1 << "gain" << 3 << -1
                                      << QStringList{"updategaindlg", "page 1"} << QStringList{"gain"};
        QTest::newRow("lock 2 keeps the page hidden")
            << "btningain1" << 2 << "gain" << 1 << -1 << QStringList{"updategaindlg", "page 1"}
            << QStringList();
        QTest::newRow("lock 4 keeps both pages hidden")
            << "btnouteq_3" << 4 << "eq" << 7 << 2 << outeq << QStringList();
    }
    void pagebuttons()
    {
        QFETCH(QString, button);
        QFETCH(int, lock);
        QFETCH(QString, channelof);
        QFETCH(int, channel);
        QFETCH(int, peakoutput);
        QFETCH(QStringList, emits);
        QFETCH(QStringList, shown);
        ShowLog log;
        QList<QWidget *> pages;
        const QVector<QPair<MainApp::View, const char *>> views{
            {MainApp::GainView, "gain"}, {MainApp::DelayView, "delay"}, {MainApp::PeqView, "eq"},
            {MainApp::GeqView, "geq"},   {MainApp::LimitView, "limit"}, {MainApp::Limit2View, "limit2"},
            {MainApp::SetView, "set"}};
        for (const auto &v : views) {
            QWidget *w = new QWidget;
            w->setObjectName(v.second);
            w->installEventFilter(&log);
            pages << w;
            gMainApp->setview(v.first, w);
        }
        gMainApp->setlimit2channel(-1);
        f.dev->setlocktype(lock);
        QStringList emitted;
        const QVector<QPair<void (FormMainView::*)(), const char *>> reloads{
            {&FormMainView::updategaindlg, "updategaindlg"},
            {&FormMainView::updatedelaydlg, "updatedelaydlg"},
            {&FormMainView::updategeqdlg, "updategeqdlg"},
            {&FormMainView::updateeqdlg, "updateeqdlg"},
            {&FormMainView::updatelimitdlg, "updatelimitdlg"},
            {&FormMainView::updatelimitdlg2, "updatelimitdlg2"}};
        for (const auto &r : reloads) {
            const QString name = r.second;
            connect(f.page.get(), r.first, this, [&emitted, name] { emitted << name; });
        }
        connect(f.page.get(), &FormMainView::sChangeButtonview, this,
                [&emitted](int page) { emitted << QStringLiteral("page %1").arg(page); });

        f.click(button);

        const QMap<QString, int> channels{{"gain", gMainApp->getgainviewch()},
                                          {"delay", gMainApp->getdelayviewch()},
                                          {"eq", gMainApp->geteqviewch()},
                                          {"limit", gMainApp->getlimitviewch()},
                                          {"limit2", gMainApp->getlimit2channel()}};
        QCOMPARE(channels.value(channelof), channel);
        QCOMPARE(gMainApp->getlimit2channel(), peakoutput);
        QCOMPARE(emitted, emits);
        QCOMPARE(log.shown, shown);
        qDeleteAll(pages);
    }

    void geqopeners()
    {
        auto *geq = new QWidget;
        gMainApp->setview(MainApp::GeqView, geq);
        QSignalSpy reload(f.page.get(), &FormMainView::updategeqdlg);
        f.page->on_btngeq_12_clicked();
        QCOMPARE(gMainApp->getgeqviewch(), 12);
        QCOMPARE(reload.count(), 1);
        QVERIFY(geq->isVisible());
        f.page->on_btngeq_3_clicked();
        QCOMPARE(gMainApp->getgeqviewch(), 3);
        delete geq;
    }
};

QTEST_MAIN(TstFormMainView)
#include "tst_formmainview.moc"
