// The gain page against the processor stand-in on a pseudo-terminal, driven
// through its widgets: exact gain frames (bytes worked by hand for type 0x18,
// address 1), the throttle's ticks, link groups, mutes, reloads, the device
// views, the lock overlay and the level meters.

#include "formgain.h"
#include "gaindelayfixture.h"
#include "lookcheck.h"
#include "throttletimer.h"
#include "typedkeys.h"

#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSlider>

using namespace gdtest;

namespace
{

const char *const kMutedSkin = "background-image:url(:/gain/skin/gain-mute.png);";
const char *const kUnmutedSkin = "background-image:url(:/gain/skin/gain-mute-a.png);";

QDoubleSpinBox *box(QWidget &page, int ch)
{
    return child<QDoubleSpinBox>(page, suffixed("lineEdit", ch));
}
Action type(int ch, const char *text)
{
    return [=](QWidget &p) { enter(box(p, ch), text); };
}

} // namespace

class TstFormGainStandin : public QObject
{
    Q_OBJECT
    PageFixture<FormGain> f;

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }
    void init() { f.openpage(); }
    void cleanup() { f.closepage(); }

    // One edit, then the ticks of a whole cycle: the frames on the line, the
    // model, the main page's cache, the boxes and, when something was sent,
    // the first channel of after marked.
    void edits_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<int>("links");          // input-link flag + 2 * output-link flag
        QTest::addColumn<QVector<int>>("start"); // pairs of channel and raw gain
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QVector<int>>("after"); // pairs of channel and raw gain
        const QVector<int> none;
        QTest::newRow("OUT3 up") << kOwnMasks << 0 << none << click("btnup_7")
                                 << "112233180150041200910179445566" << QVector<int>{6, 401};
        QTest::newRow("IN-A 0 dB") << kOwnMasks << 0 << QVector<int>{0, 100} << click("Bttton0")
                                   << "112233180150040000900166445566" << QVector<int>{0, 400};
        QTest::newRow("IN-A down") << kOwnMasks << 0 << none << click("btndown")
                                   << "1122331801500400008f0165445566" << QVector<int>{0, 399};
        QTest::newRow("IN-B box 3.5") << kOwnMasks << 0 << none << type(1, "3.5")
                                      << "112233180150040100b3010a445566" << QVector<int>{1, 435};
        QTest::newRow("OUT4 box -40") << kOwnMasks << 0 << none << type(7, "-40")
                                      << "112233180150041300000068445566" << QVector<int>{7, 0};
        QTest::newRow("OUT2 from the EQ page") << kOwnMasks << 0 << none << Action([](QWidget &p) {
            static_cast<FormGain &>(p).messgeformpeq(5, 0);
        }) << "112233180150041100000066445566" << QVector<int>{5, 0};
        QTest::newRow("EQ page, channel 12 ignored") << kOwnMasks << 0 << none << Action([](QWidget &p) {
            static_cast<FormGain &>(p).messgeformpeq(12, 0);
        }) << "" << QVector<int>{11, 400};
        QTest::newRow("up to +12.0 dB") << kOwnMasks << 0 << QVector<int>{11, 519} << click("btnup_12")
                                        << "112233180150041700080276445566" << QVector<int>{11, 520};
        QTest::newRow("up at the top")
            << kOwnMasks << 0 << QVector<int>{11, 520} << click("btnup_12") << "" << QVector<int>{11, 520};
        QTest::newRow("down to -40.0 dB") << kOwnMasks << 0 << QVector<int>{7, 1} << click("btndown_8")
                                          << "112233180150041300000068445566" << QVector<int>{7, 0};
        QTest::newRow("down at the bottom")
            << kOwnMasks << 0 << QVector<int>{7, 0} << click("btndown_8") << "" << QVector<int>{7, 0};
        QTest::newRow("0 dB at 0 dB")
            << kOwnMasks << 0 << none << click("Button5") << "" << QVector<int>{4, 400};
        QTest::newRow("box not a number")
            << kOwnMasks << 0 << none << type(1, "abc") << "" << QVector<int>{1, 400};
        QTest::newRow("box left without Return") << kOwnMasks << 0 << none << Action([](QWidget &p) {
            enter(box(p, 2), "5.0", button(p, "btnup"));
        }) << "" << QVector<int>{2, 400};
        // IN-A and IN-C linked: the group's highest member is sent, also when
        // it already holds the value.
        const QByteArray ac = hex("050205080102040810204080");
        QTest::newRow("IN-A linked to IN-C")
            << ac << 1 << none << click("btnup") << "112233180150040200910169445566"
            << QVector<int>{2, 401, 0, 401};
        QTest::newRow("IN-C already there")
            << ac << 1 << QVector<int>{2, 401} << click("btnup") << "112233180150040200910169445566"
            << QVector<int>{2, 401, 0, 401};
        // Masks from a program file or a processor: the processor applies a
        // frame to the group of the channel it names, so the change goes out
        // for the edited channel itself when the highest member's group is
        // another, and a mask without its own bit links nothing.
        const QByteArray chain = hex("03060408 0102040810204080"); // IN-A: A, B; IN-B: B, C
        QTest::newRow("IN-A up, IN-B's group is another")
            << chain << 1 << none << click("btnup") << "112233180150040000910167445566"
            << QVector<int>{0, 401, 1, 401, 2, 400};
        const QByteArray noown = hex("06060608 0102040810204080");
        QTest::newRow("IN-A up, mask without its own bit")
            << noown << 1 << none << click("btnup") << "112233180150040000910167445566"
            << QVector<int>{0, 401, 1, 400, 2, 400};
        QTest::newRow("IN-B up, IN-B and IN-C alike")
            << noown << 1 << none << click("btnup_2") << "112233180150040200910169445566"
            << QVector<int>{2, 401, 1, 401, 0, 400};
        // A mask that names no other member links nothing.
        QTest::newRow("OUT1 mask names nobody")
            << hex("010204080002040810204080") << 2 << none << click("btnup_5")
            << "112233180150041000910177445566" << QVector<int>{4, 401};
    }
    void edits()
    {
        QFETCH(QByteArray, masks);
        QFETCH(int, links);
        QFETCH(QVector<int>, start);
        QFETCH(Action, action);
        QFETCH(QString, frames);
        QFETCH(QVector<int>, after);
        f.setimage(kImageLinkMask, masks);
        for (int k = 0; k + 1 < start.size(); k += 2)
            f.setgain(start[k], start[k + 1]);
        f.page->updatenewdata();
        gMainApp->inputlinkon = links & 1;
        gMainApp->outputlinkon = links >> 1;
        for (QPushButton *b : child(*f.page, "widgetgaintop")->findChildren<QPushButton *>())
            b->setAutoExclusive(false), b->setChecked(false), b->setAutoExclusive(true);
        QSignalSpy values(f.page.get(), &FormGain::updategainvalues);

        action(*f.page);
        f.ticks(5);

        QCOMPARE(f.sent(), ::frames(frames));
        for (int k = 0; k + 1 < after.size(); k += 2) {
            const int ch = after[k], raw = after[k + 1];
            const QString db = QString::number(raw / 10.0 - 40, 'f', 1);
            QCOMPARE(f.dev->getgain(ch), raw);
            QCOMPARE(QString::number(double(gMainApp->getgaincache(ch)), 'f', 1), db);
            QCOMPARE(box(*f.page, ch)->text(), db);
        }
        QCOMPARE(values.isEmpty(), frames.isEmpty());
        if (!frames.isEmpty())
            QVERIFY(button(*f.page, channelbutton(after[0]))->isChecked());
        QCOMPARE(f.image().mid(kImageGain, 36).toHex(), f.packed().mid(kImageGain, 36).toHex());
    }

    // A number typed key by key into a box (every key through the box's
    // validator, as a keyboard's), then Return: beyond the range it gives the
    // nearest end (no keystroke is refused on the way), digits beyond the
    // tenths go toward zero; a text that is no number or is left incomplete
    // changes nothing and the box shows its value again, as does leaving the
    // box without Return.
    void typedlimits_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("enter"); // Return; else the focus leaves for a button
        QTest::addColumn<QString>("frames");
        QTest::addColumn<int>("raw"); // the channel's gain after
        QTest::newRow("OUT6 -45: the bottom") << 9 << "-45" << true << "11223318015004150000006a445566" << 0;
        QTest::newRow("OUT1 13: the top") << 4 << "13" << true << "11223318015004100008026f445566" << 520;
        QTest::newRow("IN-A 20") << 0 << "20" << true << "11223318015004000008025f445566" << 520;
        QTest::newRow("OUT8 -100") << 11 << "-100" << true << "11223318015004170000006c445566" << 0;
        QTest::newRow("OUT2 23 digits")
            << 5 << "99999999999999999999999" << true << "112233180150041100080270445566" << 520;
        QTest::newRow("IN-B -12.36: tenths toward zero")
            << 1 << "-12.36" << true << "11223318015004010015016c445566" << 277;
        QTest::newRow("OUT5 12.05") << 8 << "12.05" << true << "112233180150041400080273445566" << 520;
        QTest::newRow("IN-C -40.01") << 2 << "-40.01" << true << "112233180150040200000057445566" << 0;
        QTest::newRow("OUT3 not a number") << 6 << "x" << true << "" << 400;
        QTest::newRow("OUT4 a sign alone") << 7 << "-" << true << "" << 400;
        QTest::newRow("OUT7 -45, left without Return") << 10 << "-45" << false << "" << 400;
    }
    void typedlimits()
    {
        QFETCH(int, ch);
        QFETCH(QString, keys);
        QFETCH(bool, enter);
        QFETCH(QString, frames);
        QFETCH(int, raw);
        QDoubleSpinBox *b = box(*f.page, ch);
        typedkeys::typekeys(b, keys, enter ? nullptr : button(*f.page, "btnup"));
        f.ticks(5);
        QCOMPARE(f.sent(), ::frames(frames));
        QCOMPARE(f.dev->getgain(ch), raw);
        QCOMPARE(child<QSlider>(*f.page, suffixed("vlSliderGain", ch))->value(), raw);
        QCOMPARE(b->text(), QString::number(raw / 10.0 - 40, 'f', 1));
        QCOMPARE(f.image().mid(kImageGain, 36).toHex(), f.packed().mid(kImageGain, 36).toHex());
    }

    // Changes of several channels within one period all go out, one frame
    // each in ascending order: four or more on the next tick, fewer on the
    // tick that closes the cycle of five.
    void throttle()
    {
        // A send closes a cycle: the next one starts with the next tick.
        click("btnup_3")(*f.page);
        for (int k = 0; k < 5; ++k) {
            f.ticks(1);
            if (!f.sent().isEmpty())
                break;
        }
        for (const char *name : {"btnup_5", "btnup", "btnup_2"})
            click(name)(*f.page);
        f.ticks(4);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        f.ticks(1);
        QCOMPARE(f.sent(), frames("112233180150040000910167445566,112233180150040100910168445566,"
                                  "112233180150041000910177445566"));
        for (int i = 0; i < 4; ++i)
            click("btndown_12")(*f.page);
        f.ticks(1);
        QCOMPARE(f.sent(), frames("1122331801500417008c0179445566"));
        // Without a link nothing goes out, then or later.
        f.dev->setcomconnected(0);
        click("btnup_4")(*f.page);
        f.ticks(5);
        f.dev->setcomconnected(1);
        f.ticks(5);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        QCOMPARE(f.dev->getgain(3), 401);
    }

    // A mute click sends its channel at once; a pending change of another
    // channel still goes out on its tick.
    void mutes()
    {
        QSignalSpy mutesignal(f.page.get(), &FormGain::upmetubtns);
        click("btnup_2")(*f.page);
        click("btngainm_5")(*f.page);
        QCOMPARE(f.sent(), frames("112233180150041001900177445566"));
        QCOMPARE(button(*f.page, "btngainm_5")->styleSheet(), QString(kMutedSkin));
        QVERIFY(button(*f.page, "btnout1")->isChecked());
        QCOMPARE(mutesignal.count(), 1);
        f.ticks(5);
        QCOMPARE(f.sent(), frames("112233180150040100910168445566"));

        // OUT1 and OUT3 linked: one frame for OUT1, OUT3 follows in the model
        // and on screen, and the processor mutes both.
        f.setimage(kImageLinkMask, hex("010204080502050810204080"));
        gMainApp->outputlinkon = 1;
        click("btngainm_5")(*f.page); // unmute: the model shows OUT1 muted
        QCOMPARE(f.sent(), frames("112233180150041000900176445566"));
        click("btngainm_5")(*f.page);
        QCOMPARE(f.sent(), frames("112233180150041001900177445566"));
        QCOMPARE(f.dev->getmute(6), 1);
        QCOMPARE(button(*f.page, "btngainm_7")->styleSheet(), QString(kMutedSkin));
        QCOMPARE(button(*f.page, "btngainm_6")->styleSheet(), QString(kUnmutedSkin));
        QCOMPARE(int(f.image()[kImageGain + 3 * 6]), 1);

        // Without a link: model and skin only.
        f.dev->setcomconnected(0);
        click("btngainm_2")(*f.page);
        f.dev->setcomconnected(1);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        QCOMPARE(f.dev->getmute(1), 1);
    }

    // A change made while the page reloads is neither lost nor sent before
    // the reload ends; the reload itself counts and sends nothing.
    void reloadkeepsedits()
    {
        f.setgain(1, 300);
        QTimer::singleShot(20, f.page.get(), [this] {
            click("btnup_2")(*f.page);
            f.ticks(5);
        });
        f.page->updatenewdata();
        QCOMPARE(f.dev->getgain(1), 301);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        f.ticks(5);
        QCOMPARE(f.sent(), frames("1122331801500401002d0104445566"));
    }

    void curchannel()
    {
        for (int n : {3, 0, 13, -1}) {
            f.page->setcurchannel(n);
            QVERIFY(button(*f.page, "btninc")->isChecked());
        }
        gMainApp->setgainviewch(12);
        f.page->updategain();
        QVERIFY(button(*f.page, "btnout8")->isChecked());
    }

    void views_data() { viewrows(); }
    void views()
    {
        QFETCH(int, view);
        f.page->updategainview(1);
        f.page->updategainview(view);
        checkviews(*f.page, "widgetgain", channelbutton);
    }

    void lock_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("link");
        QTest::addColumn<int>("height"); // 0: hidden
        const int heights[5] = {0, 535, 535, 700, 0};
        for (int state = 0; state <= 4; ++state)
            QTest::addRow("%d", state) << state << true << heights[state];
        QTest::newRow("3 without link") << 3 << false << 0;
    }
    void lock()
    {
        QFETCH(int, state);
        QFETCH(bool, link);
        QFETCH(int, height);
        f.dev->setlocktype(state);
        f.dev->setcomconnected(link);
        f.page->updategainlock();
        QWidget *overlay = child(*f.page, "widgetgainlockback");
        QCOMPARE(overlay->isVisible(), height > 0);
        if (height)
            QCOMPARE(overlay->geometry(), QRect(0, 0, 1014, height));
        // What lies under the overlay is out of reach; the mute buttons stay
        // usable below a partial one.
        QCOMPARE(child<QSlider>(*f.page, "vlSliderGain_5")->isEnabled(), height == 0);
        QCOMPARE(button(*f.page, "btnup_5")->isEnabled(), height == 0);
        QCOMPARE(button(*f.page, "btnout2")->isEnabled(), height == 0);
        QCOMPARE(button(*f.page, "btngainm_5")->isEnabled(), height != 700);
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
        f.page->readlight(QStringLiteral("3c3c3c3c3c3c3c3c3c3c3c3c"));
        f.page->readlight(reply);
        for (int ch = 0; ch < 12; ++ch)
            QCOMPARE(child(*f.page, suffixed("widgetlights", ch))->geometry(),
                     QRect(38, 30, 19, heights[ch]));
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
        f.page->timetosendlight();
        QCOMPARE(requests(), 0);
        gMainApp->meteron = 1;
        f.page->timetosendlight();
        QCOMPARE(requests(), 1);

        connect(&f.ctrl, &CComCtrl::readlight, f.page.get(), &FormGain::readlight);
        f.s.update(f.unit, [](standin::UnitState &u) { u.meters = hex("3c000a1e00000000000000ff"); });
        f.page->timetosendlight();
        QWidget *ina = child(*f.page, "widgetlights");
        QWidget *ind = child(*f.page, "widgetlights_4");
        QTRY_COMPARE(ind->height(), 42);
        QCOMPARE(ina->height(), 0);

        f.dev->setcomconnected(0);
        f.page->timetosendlight();
        QCOMPARE(ina->height(), 85);
        QCOMPARE(ind->height(), 85);
        f.dev->setcomconnected(1);
        QCOMPARE(requests(), 1);
        gMainApp->meteron = 0;
    }

    // The meter timer runs only while levels are wanted: showing the gain
    // page starts it on a linked processor (a level request every 100 ms),
    // another page or a lost link stops it at its next tick, and the link
    // coming back (a lock update) starts it.
    void metertimer()
    {
        QTimer *meters = nullptr;
        for (QTimer *t : f.page->findChildren<QTimer *>()) {
            if (!qobject_cast<ThrottleTimer *>(t))
                meters = t;
        }
        QVERIFY(meters);
        QVERIFY(!meters->isActive());
        gMainApp->showgainview();
        QVERIFY(meters->isActive());
        QCOMPARE(meters->interval(), 100);
        gMainApp->showdelayview();
        f.page->timetosendlight();
        QVERIFY(!meters->isActive());
        gMainApp->showgainview();
        QVERIFY(meters->isActive());
        f.dev->setcomconnected(0);
        f.page->timetosendlight();
        QVERIFY(!meters->isActive());
        f.page->updategainlock();
        QVERIFY(!meters->isActive());
        f.dev->setcomconnected(1);
        f.page->updategainlock();
        QVERIFY(meters->isActive());
        meters->stop();
        gMainApp->meteron = 0;
        f.s.clearframes();
    }

    // Level requests pause while a gain frame goes out and resume after it
    // (100 ms later) on their own: the page's timers run for real here.
    void metersresume()
    {
        gMainApp->meteron = 1;
        click("btnup_3")(*f.page);
        f.ticks(5);
        const auto resumed = [&] {
            bool gain = false;
            for (const standin::FrameRecord &r : f.s.commands(f.unit)) {
                gain = gain || r.command() == 0x50;
                if (gain && r.command() == 0x56)
                    return true;
            }
            return false;
        };
        const bool ok = QTest::qWaitFor(resumed, 5000);
        gMainApp->meteron = 0;
        QVERIFY(ok);
    }

    // The page as the user sees it, connected, meters moving, in both languages.
    void look_data() { lookrows("zh_type22_lock1", 1, 1); }
    void look()
    {
        QFETCH(int, language);
        QFETCH(int, view);
        QFETCH(int, lock);
        QVERIFY(uselanguage(language));
        f.dev->setlocktype(lock);
        for (int ch = 0; ch < 12; ++ch) {
            f.dev->setgain(ch, 40 * ch + 40);
            f.dev->setmute(ch, ch % 4 == 1);
        }
        f.page->updategainview(view);
        f.page->setcurchannel(6);
        connect(&f.ctrl, &CComCtrl::readlight, f.page.get(), &FormGain::readlight);
        f.s.update(f.unit, [](standin::UnitState &u) { u.meters = hex("0005101820283038404850ff"); });
        gMainApp->meteron = 1;
        f.page->timetosendlight();
        QTRY_COMPARE(child(*f.page, "widgetlights_12")->height(), 0);
        gMainApp->meteron = 0;
        f.page->resize(1014, 700);
        // Each strip of the view whole, its box showing the gain in dB, its
        // mute in its state; the overlay over the faders while locked.
        for (int ch = 0; ch < 12; ++ch) {
            QWidget *strip = child(*f.page, QStringLiteral("widgetgain%1").arg(ch + 1));
            if (!inview(ch, view)) {
                QVERIFY2(!strip->isVisible(), qPrintable(strip->objectName()));
                continue;
            }
            const double db = (40 * ch + 40) / 10.0 - 40;
            QCOMPARE(box(*f.page, ch)->text(), QString::number(db, 'f', 1));
            for (QWidget *w : {strip, static_cast<QWidget *>(box(*f.page, ch)),
                               static_cast<QWidget *>(button(*f.page, suffixed("btngainm", ch)))}) {
                const QString problem = lookcheck::unseen(f.page.get(), w);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
            QCOMPARE(button(*f.page, suffixed("btngainm", ch))->styleSheet(),
                     QLatin1String(ch % 4 == 1 ? kMutedSkin : kUnmutedSkin));
        }
        QCOMPARE(child(*f.page, "widgetgainlockback")->isVisible(), lock != 0);
        QVERIFY(snapshot(*f.page, "gain"));
    }
};

QTEST_MAIN(TstFormGainStandin)
#include "tst_formgain_standin.moc"
