// The gain page against the processor stand-in on a pseudo-terminal, driven
// through its widgets: exact gain frames (bytes worked by hand for type 0x18,
// address 1), the throttle's ticks, link groups, mutes, reloads, the device
// views, the lock overlay and the level meters.

#include "formgain.h"
#include "gaindelayfixture.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

#include <functional>
#include <memory>

using namespace gdtest;

using Action = std::function<void(FormGain &)>;
Q_DECLARE_METATYPE(Action)

namespace
{

const char *const kMutedSkin = "background-image:url(:/gain/skin/gain-mute.png);";
const char *const kUnmutedSkin = "background-image:url(:/gain/skin/gain-mute-a.png);";

template <typename T> T *child(QWidget &page, const QString &name)
{
    T *w = page.findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}
QPushButton *button(QWidget &page, const QString &name)
{
    return child<QPushButton>(page, name);
}
Action click(const char *name)
{
    return [=](FormGain &p) { button(p, name)->click(); };
}
Action type(const char *name, const char *text)
{
    return [=](FormGain &p) { enter(child<QDoubleSpinBox>(p, name), text); };
}

} // namespace

class TstFormGainStandin : public QObject
{
    Q_OBJECT
    Fixture f;
    std::unique_ptr<FormGain> page;

    // The page's own timers stop: the test gives the throttle its ticks.
    void stoptimers()
    {
        for (QTimer *t : page->findChildren<QTimer *>())
            t->stop();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            page->timetosend();
    }

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }
    void init()
    {
        f.setup();
        page.reset(new FormGain);
        page->updatenewdata();
        stoptimers();
        QVERIFY(activate(page.get()));
    }
    void cleanup()
    {
        page.reset();
        f.teardown();
    }

    // One edit, then the ticks of a whole cycle: the frames on the line, the
    // model, the box and the marked channel.
    void edits_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<int>("links");          // input-link flag + 2 * output-link flag
        QTest::addColumn<QVector<int>>("start"); // pairs of channel and raw gain
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QVector<int>>("after"); // pairs of channel and raw gain
        QTest::addColumn<QString>("marked");
        const QVector<int> none;
        QTest::newRow("OUT3 up") << kOwnMasks << 0 << none << click("btnup_7")
                                 << "112233180150041200910179445566" << QVector<int>{6, 401} << "btnout3";
        QTest::newRow("IN-A 0 dB") << kOwnMasks << 0 << QVector<int>{0, 100} << click("Bttton0")
                                   << "112233180150040000900166445566" << QVector<int>{0, 400} << "btnina";
        QTest::newRow("IN-A down") << kOwnMasks << 0 << none << click("btndown")
                                   << "1122331801500400008f0165445566" << QVector<int>{0, 399} << "btnina";
        QTest::newRow("IN-D box -0.1")
            << kOwnMasks << 0 << none << type("lineEdit_4", "-0.1") << "1122331801500403008f0168445566"
            << QVector<int>{3, 399} << "btnind";
        QTest::newRow("IN-B box 3.5") << kOwnMasks << 0 << none << type("lineEdit_2", "3.5")
                                      << "112233180150040100b3010a445566" << QVector<int>{1, 435} << "btninb";
        QTest::newRow("OUT8 box 12") << kOwnMasks << 0 << none << type("lineEdit_12", "12.0")
                                     << "112233180150041700080276445566" << QVector<int>{11, 520}
                                     << "btnout8";
        QTest::newRow("OUT4 box -40") << kOwnMasks << 0 << none << type("lineEdit_8", "-40")
                                      << "112233180150041300000068445566" << QVector<int>{7, 0} << "btnout4";
        QTest::newRow("OUT2 from the EQ page")
            << kOwnMasks << 0 << none << Action([](FormGain &p) { p.messgeformpeq(5, 0); })
            << "112233180150041100000066445566" << QVector<int>{5, 0} << "btnout2";
        QTest::newRow("EQ page, channel 12 ignored")
            << kOwnMasks << 0 << none << Action([](FormGain &p) { p.messgeformpeq(12, 0); }) << ""
            << QVector<int>{11, 400} << "";
        QTest::newRow("up at the top") << kOwnMasks << 0 << QVector<int>{11, 520} << click("btnup_12") << ""
                                       << QVector<int>{11, 520} << "";
        QTest::newRow("down at the bottom")
            << kOwnMasks << 0 << QVector<int>{7, 0} << click("btndown_8") << "" << QVector<int>{7, 0} << "";
        QTest::newRow("0 dB at 0 dB")
            << kOwnMasks << 0 << none << click("Button5") << "" << QVector<int>{4, 400} << "";
        // Unreadable text and a box left without Return apply nothing.
        QTest::newRow("box not a number")
            << kOwnMasks << 0 << none << type("lineEdit_2", "abc") << "" << QVector<int>{1, 400} << "";
        QTest::newRow("box left without Return") << kOwnMasks << 0 << none << Action([](FormGain &p) {
            typeandleave(child<QDoubleSpinBox>(p, "lineEdit_3"), "5.0", button(p, "btnup"));
        }) << "" << QVector<int>{2, 400} << "";
        // IN-A and IN-C linked: the group's highest member is sent.
        const QByteArray ac = hex("050205080102040810204080");
        QTest::newRow("IN-A linked to IN-C")
            << ac << 1 << none << click("btnup") << "112233180150040200910169445566"
            << QVector<int>{0, 401, 2, 401} << "btninc";
        // The highest member already holds the value: the change still counts.
        QTest::newRow("IN-C already there")
            << ac << 1 << QVector<int>{2, 401} << click("btnup") << "112233180150040200910169445566"
            << QVector<int>{0, 401, 2, 401} << "btninc";
        // A mask that names no other member links nothing.
        QTest::newRow("OUT1 mask names nobody")
            << hex("010204080002040810204080") << 2 << none << click("btnup_5")
            << "112233180150041000910177445566" << QVector<int>{4, 401} << "btnout1";
    }
    void edits()
    {
        QFETCH(QByteArray, masks);
        QFETCH(int, links);
        QFETCH(QVector<int>, start);
        QFETCH(Action, action);
        QFETCH(QString, frames);
        QFETCH(QVector<int>, after);
        QFETCH(QString, marked);
        f.setimage(kImageLinkMask, masks);
        for (int k = 0; k + 1 < start.size(); k += 2)
            f.setgain(start[k], start[k + 1]);
        page->updatenewdata();
        gMainApp->inputlinkon = links & 1;
        gMainApp->outputlinkon = links >> 1;
        for (QPushButton *b : page->findChild<QWidget *>("widgetgaintop")->findChildren<QPushButton *>())
            b->setAutoExclusive(false), b->setChecked(false), b->setAutoExclusive(true);
        QSignalSpy values(page.get(), &FormGain::updategainvalues);

        action(*page);
        ticks(5);

        QCOMPARE(f.sent(), ::frames(frames));
        for (int k = 0; k + 1 < after.size(); k += 2) {
            const int ch = after[k], raw = after[k + 1];
            QCOMPARE(f.dev->getgain(ch), raw);
            QCOMPARE(QString::number(double(gMainApp->getgaincache(ch)), 'f', 1),
                     QString::number(raw / 10.0 - 40, 'f', 1));
            const QString boxname =
                ch ? QStringLiteral("lineEdit_%1").arg(ch + 1) : QStringLiteral("lineEdit");
            QCOMPARE(child<QDoubleSpinBox>(*page, boxname)->text(), QString::number(raw / 10.0 - 40, 'f', 1));
        }
        QCOMPARE(values.isEmpty(), frames.isEmpty() && marked.isEmpty());
        if (!marked.isEmpty())
            QVERIFY(button(*page, marked)->isChecked());
        // The processor holds what the model holds.
        QCOMPARE(f.image().mid(kImageGain, 36).toHex(), f.packed().mid(kImageGain, 36).toHex());
    }

    // Changes of several channels within one period all go out, one frame
    // each in ascending order: four or more on the next tick, fewer on the
    // tick that closes the cycle of five.
    void throttle()
    {
        // A send closes a cycle: the next one starts with the next tick.
        click("btnup_3")(*page);
        for (int k = 0; k < 5; ++k) {
            ticks(1);
            if (!f.sent().isEmpty())
                break;
        }
        click("btnup_5")(*page);
        click("btnup")(*page);
        click("btnup_2")(*page);
        ticks(4);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        ticks(1);
        QCOMPARE(f.sent(), frames("112233180150040000910167445566,112233180150040100910168445566,"
                                  "112233180150041000910177445566"));
        for (int i = 0; i < 4; ++i)
            click("btndown_12")(*page);
        ticks(1);
        QCOMPARE(f.sent(), frames("1122331801500417008c0179445566"));
        // Without a link nothing goes out, then or later.
        f.dev->setcomconnected(0);
        click("btnup_4")(*page);
        ticks(5);
        f.dev->setcomconnected(1);
        ticks(5);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        QCOMPARE(f.dev->getgain(3), 401);
    }

    // A mute click sends its channel at once; a pending change of another
    // channel still goes out on its tick.
    void mutes()
    {
        QSignalSpy mutesignal(page.get(), &FormGain::upmetubtns);
        click("btnup_2")(*page);
        click("btngainm_5")(*page);
        QCOMPARE(f.sent(), frames("112233180150041001900177445566"));
        QCOMPARE(button(*page, "btngainm_5")->styleSheet(), QString(kMutedSkin));
        QVERIFY(button(*page, "btnout1")->isChecked());
        QCOMPARE(mutesignal.count(), 1);
        ticks(5);
        QCOMPARE(f.sent(), frames("112233180150040100910168445566"));

        // OUT1 and OUT3 linked: one frame for OUT1, OUT3 follows in the model
        // and on screen, and the processor mutes both.
        f.setimage(kImageLinkMask, hex("010204080502050810204080"));
        gMainApp->outputlinkon = 1;
        click("btngainm_5")(*page); // unmute: the model shows OUT1 muted
        QCOMPARE(f.sent(), frames("112233180150041000900176445566"));
        click("btngainm_5")(*page);
        QCOMPARE(f.sent(), frames("112233180150041001900177445566"));
        QCOMPARE(f.dev->getmute(6), 1);
        QCOMPARE(button(*page, "btngainm_7")->styleSheet(), QString(kMutedSkin));
        QCOMPARE(button(*page, "btngainm_6")->styleSheet(), QString(kUnmutedSkin));
        QCOMPARE(int(f.image()[kImageGain + 3 * 6]), 1);

        // Without a link: model and skin only.
        f.dev->setcomconnected(0);
        click("btngainm_2")(*page);
        f.dev->setcomconnected(1);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        QCOMPARE(f.dev->getmute(1), 1);
    }

    // A change made while the page reloads is neither lost nor sent before
    // the reload ends; the reload itself counts and sends nothing.
    void reloadkeepsedits()
    {
        f.setgain(1, 300);
        QTimer::singleShot(20, page.get(), [this] {
            click("btnup_2")(*page);
            ticks(5);
        });
        page->updatenewdata();
        QCOMPARE(f.dev->getgain(1), 301);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        ticks(5);
        QCOMPARE(f.sent(), frames("1122331801500401002d0104445566"));
    }

    void curchannel()
    {
        page->setcurchannel(3);
        QVERIFY(button(*page, "btninc")->isChecked());
        for (int n : {0, 13, -1}) {
            page->setcurchannel(n);
            QVERIFY(button(*page, "btninc")->isChecked());
        }
        gMainApp->setgainviewch(12);
        page->updategain();
        QVERIFY(button(*page, "btnout8")->isChecked());
    }

    void views_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("hidden"); // strip numbers
        QTest::newRow("type 24") << 0 << "";
        QTest::newRow("type 22") << 1 << "4 11 12";
        QTest::newRow("type 20") << 2 << "3 4 9 10 11 12";
        QTest::newRow("other") << 7 << "4 11 12"; // as the view before
    }
    void views()
    {
        QFETCH(int, view);
        QFETCH(QString, hidden);
        page->updategainview(1);
        page->updategainview(view);
        const QStringList gone = hidden.split(' ', Qt::SkipEmptyParts);
        const char *const buttons[12] = {"btnina",  "btninb",  "btninc",  "btnind",  "btnout1", "btnout2",
                                         "btnout3", "btnout4", "btnout5", "btnout6", "btnout7", "btnout8"};
        for (int n = 1; n <= 12; ++n) {
            const bool shown = !gone.contains(QString::number(n));
            QCOMPARE(page->findChild<QWidget *>(QStringLiteral("widgetgain%1").arg(n))->isVisible(), shown);
            QCOMPARE(button(*page, buttons[n - 1])->isVisible(), shown);
        }
    }

    void lock_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("link");
        QTest::addColumn<int>("height"); // 0: hidden
        QTest::newRow("0") << 0 << true << 0;
        QTest::newRow("1") << 1 << true << 535;
        QTest::newRow("2") << 2 << true << 535;
        QTest::newRow("3") << 3 << true << 700;
        QTest::newRow("4") << 4 << true << 0;
        QTest::newRow("3 without link") << 3 << false << 0;
    }
    void lock()
    {
        QFETCH(int, state);
        QFETCH(bool, link);
        QFETCH(int, height);
        f.dev->setlocktype(state);
        f.dev->setcomconnected(link);
        page->updategainlock();
        QWidget *overlay = page->findChild<QWidget *>("widgetgainlockback");
        QCOMPARE(overlay->isVisible(), height > 0);
        if (height)
            QCOMPARE(overlay->geometry(), QRect(0, 0, 1014, height));
        // What lies under the overlay is out of reach; the mute buttons stay
        // usable below a partial one.
        QCOMPARE(child<QSlider>(*page, "vlSliderGain_5")->isEnabled(), height == 0);
        QCOMPARE(button(*page, "btnup_5")->isEnabled(), height == 0);
        QCOMPARE(button(*page, "btnout2")->isEnabled(), height == 0);
        QCOMPARE(button(*page, "btngainm_5")->isEnabled(), height != 700);
        f.dev->setcomconnected(1);
    }

    void meterreplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QVector<int>>("heights");
        QTest::newRow("levels") << "00010a1e323b3c3dff0000ff"
                                << QVector<int>{85, 83, 70, 42, 14, 1, 0, 0, 0, 85, 85, 0};
        QTest::newRow("short") << "3c0a" << QVector<int>{0, 70, 85, 85, 85, 85, 85, 85, 85, 85, 85, 85};
        QTest::newRow("odd digit") << "3c3c3" << QVector<int>{0, 0, 85, 85, 85, 85, 85, 85, 85, 85, 85, 85};
        QTest::newRow("not hex") << "zz3c" << QVector<int>{85, 0, 85, 85, 85, 85, 85, 85, 85, 85, 85, 85};
        QTest::newRow("empty") << "" << QVector<int>(12, 85);
    }
    void meterreplies()
    {
        QFETCH(QString, reply);
        QFETCH(QVector<int>, heights);
        page->readlight(QStringLiteral("3c3c3c3c3c3c3c3c3c3c3c3c"));
        page->readlight(reply);
        for (int ch = 0; ch < 12; ++ch) {
            const QString name =
                ch ? QStringLiteral("widgetlights_%1").arg(ch + 1) : QStringLiteral("widgetlights");
            QCOMPARE(page->findChild<QWidget *>(name)->geometry(), QRect(38, 30, 19, heights[ch]));
        }
    }

    // Level requests go out only while linked and metering; the stand-in's
    // levels reach the covers; the covers go dark when the link drops.
    void meterpolling()
    {
        auto requests = [&] {
            gMainApp->sendgain(0); // a marker frame after the requests
            const auto done = [&] {
                return !f.s.commands(f.unit).isEmpty() && f.s.commands(f.unit).last().command() == 0x50;
            };
            if (!QTest::qWaitFor(done, 10000))
                return -1;
            int n = 0;
            for (const standin::FrameRecord &r : f.s.commands(f.unit))
                n += r.command() == 0x56;
            f.s.clearframes();
            return n;
        };
        f.s.clearframes();
        gMainApp->meteron = 0;
        page->timetosendlight();
        QCOMPARE(requests(), 0);
        gMainApp->meteron = 1;
        page->timetosendlight();
        QCOMPARE(requests(), 1);

        connect(&f.ctrl, &CComCtrl::readlight, page.get(), &FormGain::readlight);
        f.s.update(f.unit, [](standin::UnitState &u) { u.meters = hex("3c000a1e00000000000000ff"); });
        page->timetosendlight();
        QWidget *ina = page->findChild<QWidget *>("widgetlights");
        QWidget *ind = page->findChild<QWidget *>("widgetlights_4");
        QTRY_COMPARE(ind->height(), 42);
        QCOMPARE(ina->height(), 0);

        f.dev->setcomconnected(0);
        page->timetosendlight();
        QCOMPARE(ina->height(), 85);
        QCOMPARE(ind->height(), 85);
        f.dev->setcomconnected(1);
        QCOMPARE(requests(), 1);
        gMainApp->meteron = 0;
    }

    // The page as the user sees it, connected, meters moving, in both
    // languages; with DSP_SNAPSHOT_DIR set it is saved as PNGs.
    void look_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("lock");
        QTest::newRow("en") << 0 << 0 << 0;
        QTest::newRow("zh") << 1 << 0 << 0;
        QTest::newRow("zh_type22_lock1") << 1 << 1 << 1;
    }
    void look()
    {
        QFETCH(int, language);
        QFETCH(int, view);
        QFETCH(int, lock);
        QFile sheet(language ? ":/style/style_chs.txt" : ":/style/style.txt");
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
        gGlobalContrl->setlanguage(language);
        gGlobalContrl->emitlanguage();
        f.dev->setlocktype(lock);
        for (int ch = 0; ch < 12; ++ch) {
            f.dev->setgain(ch, 40 * ch + 40);
            f.dev->setmute(ch, ch % 4 == 1);
        }
        page->updategainview(view);
        page->setcurchannel(6);
        connect(&f.ctrl, &CComCtrl::readlight, page.get(), &FormGain::readlight);
        f.s.update(f.unit, [](standin::UnitState &u) { u.meters = hex("0005101820283038404850ff"); });
        gMainApp->meteron = 1;
        page->timetosendlight();
        QTRY_COMPARE(page->findChild<QWidget *>("widgetlights_12")->height(), 0);
        gMainApp->meteron = 0;
        page->resize(1014, 700);
        const QImage shot = page->grab().toImage();
        const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QStringLiteral("%1/gain_%2.png").arg(dir, QTest::currentDataTag())));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TstFormGainStandin)
#include "tst_formgain_standin.moc"
