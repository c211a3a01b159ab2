// The delay page against the processor stand-in on a pseudo-terminal, driven
// through its widgets: exact delay frames (bytes worked by hand for type
// 0x18, address 1) for steps, entries in every unit, keys, switches and link
// groups; the units shown; the device views, the lock overlay and languages.

#include "formdelay.h"
#include "gaindelayfixture.h"
#include "lookcheck.h"
#include "throttletimer.h"
#include "typedkeys.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QSlider>

using namespace gdtest;

namespace
{

QLineEdit *edit(QWidget &page, int ch)
{
    return child<QLineEdit>(page, suffixed("Editdelaymi", ch));
}
QSlider *slider(QWidget &page, int ch)
{
    return child<QSlider>(page, suffixed("sldrdelaymi", ch));
}
QComboBox *unitbox(QWidget &page, int ch)
{
    return child<QComboBox>(page, ch < 4 ? "comboBox_3" : "comboBox_4");
}
// Chooses the unit of the channel's side, then types the text with Return.
Action type(int ch, int unit, const char *text)
{
    return [=](QWidget &p) {
        unitbox(p, ch)->setCurrentIndex(unit);
        enter(edit(p, ch), text);
    };
}

} // namespace

class TstFormDelayStandin : public QObject
{
    Q_OBJECT
    PageFixture<FormDelay> f;

    void setdelay(int ch, int samples, int flag)
    {
        f.setimage(kImageDelay + 3 * ch, QByteArray(1, char(samples & 0xFF)) + char((samples >> 8) & 0xFF) +
                                             char(((samples >> 16) | flag) & 0xFF));
    }

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }
    void init() { f.openpage(); }
    void cleanup() { f.closepage(); }

    // One edit, then a whole cycle of ticks: the frames on the line, the model,
    // the sliders and texts of after and, when something was sent, the first
    // channel of after marked.
    void edits_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<QVector<int>>("start"); // pairs of channel and samples
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QVector<int>>("after"); // pairs of channel and samples
        QTest::addColumn<QString>("text");
        const QVector<int> none;
        QTest::newRow("IN-B up") << kOwnMasks << none << click("btndelaymiup_2")
                                 << "112233180151040101000058445566" << QVector<int>{1, 1} << "0.02";
        QTest::newRow("OUT4 10 ms") << kOwnMasks << none << type(7, 0, "10")
                                    << "1122331801510413e001004a445566" << QVector<int>{7, 480} << "10.00";
        QTest::newRow("OUT7 1130.03 ft")
            << kOwnMasks << QVector<int>{10, 100} << type(10, 2, "1130.03")
            << "112233180151041680bb0027445566" << QVector<int>{10, 48000} << "1130.02";
        QTest::newRow("IN-D 1 m") << kOwnMasks << none << type(3, 1, "1") << "11223318015104038b000064445566"
                                  << QVector<int>{3, 139} << "1.00";
        // OUT1 is the first channel of the outputs' unit selector.
        QTest::newRow("OUT1 1 ft") << kOwnMasks << none << type(4, 2, "1") << "11223318015104102a000010445566"
                                   << QVector<int>{4, 42} << "0.98";
        QTest::newRow("OUT1 1 m") << kOwnMasks << none << type(4, 1, "1") << "11223318015104108b000071445566"
                                  << QVector<int>{4, 139} << "1.00";
        QTest::newRow("OUT2 1 ft") << kOwnMasks << none << type(5, 2, "1") << "11223318015104112a000011445566"
                                   << QVector<int>{5, 42} << "0.98";
        QTest::newRow("IN-D -5 ms") << kOwnMasks << QVector<int>{3, 100} << type(3, 0, "-5")
                                    << "112233180151040300000059445566" << QVector<int>{3, 0} << "0.00";
        QTest::newRow("OUT6 from the EQ page")
            << kOwnMasks << none
            << Action([](QWidget &p) { static_cast<FormDelay &>(p).messgeformpeq(9, 1000); })
            << "1122331801510415e8030056445566" << QVector<int>{9, 1000} << "20.83";
        QTest::newRow("OUT5 Up key") << kOwnMasks << none << Action([](QWidget &p) {
            edit(p, 8)->setFocus();
            QTest::keyClick(edit(p, 8), Qt::Key_Up);
        }) << "11223318015104140100006b445566"
                                     << QVector<int>{8, 1} << "0.02";
        QTest::newRow("OUT8 down at 0")
            << kOwnMasks << none << click("btndelaymidown_12") << "" << QVector<int>{11, 0} << "0.00";
        QTest::newRow("entry that changes nothing")
            << kOwnMasks << QVector<int>{0, 480} << type(0, 0, "10.001") << "" << QVector<int>{0, 480}
            << "10.001";
        QTest::newRow("beyond the range at the top")
            << kOwnMasks << QVector<int>{2, 48000} << type(2, 0, "2000") << "" << QVector<int>{2, 48000}
            << "1000.00";
        QTest::newRow("not a number")
            << kOwnMasks << QVector<int>{1, 48} << type(1, 0, "abc") << "" << QVector<int>{1, 48} << "1.00";
        QTest::newRow("left without Return") << kOwnMasks << QVector<int>{1, 48} << Action([](QWidget &p) {
            enter(edit(p, 1), "5", slider(p, 1));
        }) << "" << QVector<int>{1, 48} << "1.00";
        // IN-A and IN-B linked: IN-B, the highest member, is sent and marked.
        const QByteArray ab = hex("030304080102040810204080");
        QTest::newRow("IN-A linked") << ab << none << click("btndelaymiup")
                                     << "112233180151040101000058445566" << QVector<int>{1, 1, 0, 1}
                                     << "0.02";
        QTest::newRow("IN-B linked") << ab << none << click("btndelaymiup_2")
                                     << "112233180151040101000058445566" << QVector<int>{1, 1, 0, 1}
                                     << "0.02";
        QTest::newRow("IN-B already there")
            << ab << QVector<int>{1, 1} << click("btndelaymiup") << "112233180151040101000058445566"
            << QVector<int>{1, 1, 0, 1} << "0.02";
    }
    void edits()
    {
        QFETCH(QByteArray, masks);
        QFETCH(QVector<int>, start);
        QFETCH(Action, action);
        QFETCH(QString, frames);
        QFETCH(QVector<int>, after);
        QFETCH(QString, text);
        f.setimage(kImageLinkMask, masks);
        for (int k = 0; k + 1 < start.size(); k += 2)
            setdelay(start[k], start[k + 1], 0);
        f.page->updatenewdata();
        gMainApp->inputlinkon = f.dev->inputlinked();
        gMainApp->outputlinkon = f.dev->outputlinked();

        action(*f.page);
        f.ticks(5);

        QCOMPARE(f.sent(), ::frames(frames));
        for (int k = 0; k + 1 < after.size(); k += 2) {
            QCOMPARE(f.dev->getdelay(after[k]), after[k + 1]);
            QCOMPARE(slider(*f.page, after[k])->value(), after[k + 1]);
            QCOMPARE(edit(*f.page, after[k])->text(), text);
        }
        if (!frames.isEmpty())
            QVERIFY(button(*f.page, "delay_" + channelbutton(after[0]))->isChecked());
        QCOMPARE(f.image().mid(kImageDelay, 36).toHex(), f.packed().mid(kImageDelay, 36).toHex());
        // Escape does not close the page.
        QTest::keyClick(f.page.get(), Qt::Key_Escape);
        QVERIFY(f.page->isVisible());
    }

    // A number typed key by key, then Return, in each unit: beyond the range
    // it gives the nearest end, whatever its length; a text that is no
    // number changes nothing and the entry shows the value again.
    void typedlimits_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("start"); // samples
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<int>("samples"); // after
        QTest::addColumn<QString>("text");
        QTest::newRow("IN-A 2000 ms: the top") << 0 << 0 << 0 << "2000"
                                               << "112233180151040080bb0011445566" << 48000 << "1000.00";
        QTest::newRow("OUT3 5000 m: the top") << 6 << 1 << 0 << "5000"
                                              << "112233180151041280bb0023445566" << 48000 << "344.43";
        QTest::newRow("OUT5 20 digits of ms") << 8 << 0 << 0 << "99999999999999999999"
                                              << "112233180151041480bb0025445566" << 48000 << "1000.00";
        QTest::newRow("IN-C -5 ft: the bottom") << 2 << 2 << 100 << "-5"
                                                << "112233180151040200000058445566" << 0 << "0.00";
        QTest::newRow("IN-B -0.5 m: the bottom") << 1 << 1 << 48 << "-0.5"
                                                 << "112233180151040100000057445566" << 0 << "0.00";
        QTest::newRow("IN-B not a number") << 1 << 0 << 48 << "1x"
                                           << "" << 48 << "1.00";
    }
    void typedlimits()
    {
        QFETCH(int, ch);
        QFETCH(int, unit);
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(QString, frames);
        QFETCH(int, samples);
        QFETCH(QString, text);
        setdelay(ch, start, 0);
        f.page->updatenewdata();
        unitbox(*f.page, ch)->setCurrentIndex(unit);
        typedkeys::typekeys(edit(*f.page, ch), keys);
        f.ticks(5);
        QCOMPARE(f.sent(), ::frames(frames));
        QCOMPARE(f.dev->getdelay(ch), samples);
        QCOMPARE(slider(*f.page, ch)->value(), samples);
        QCOMPARE(edit(*f.page, ch)->text(), text);
        QCOMPARE(f.image().mid(kImageDelay, 36).toHex(), f.packed().mid(kImageDelay, 36).toHex());
    }

    // A switch click sends its channel at once; a pending change of another
    // channel still goes out on its tick; linked switches follow.
    void switches()
    {
        FormDelay &page = *f.page;
        click("btndelaymiup_2")(page);
        button(page, "delayswitch01")->click();
        QCOMPARE(f.sent(), frames("112233180151041000008066445566"));
        QCOMPARE(f.dev->getdelayflag(4), 0x80);
        QVERIFY(button(page, "delay_btnout1")->isChecked());
        f.ticks(5);
        QCOMPARE(f.sent(), frames("112233180151040101000058445566"));

        f.setimage(kImageLinkMask, hex("010204080502050810204080"));
        gMainApp->outputlinkon = 1;
        button(page, "delayswitch01")->click();
        QCOMPARE(f.sent(), frames("112233180151041000000066445566"));
        QCOMPARE(f.dev->getdelayflag(6), 0);
        QVERIFY(!button(page, "delayswitch03")->isChecked());
        button(page, "delayswitch03")->click();
        QCOMPARE(f.sent(), frames("112233180151041200008068445566"));
        QVERIFY(button(page, "delayswitch01")->isChecked());
        QCOMPARE(f.dev->getdelayflag(4), 0x80);
        QCOMPARE(f.image().mid(kImageDelay, 36).toHex(), f.packed().mid(kImageDelay, 36).toHex());
    }

    // Several channels within one period: one frame each, ascending.
    void throttle()
    {
        for (const char *name : {"btndelaymiup_11", "btndelaymiup", "btndelaymiup_2", "btndelaymiup_2"})
            click(name)(*f.page);
        f.ticks(1);
        QCOMPARE(f.sent(), frames("112233180151040001000057445566,112233180151040102000059445566,"
                                  "11223318015104160100006d445566"));
    }

    // The throttle's tick: 50 ms, a send at the fifth.
    void tick()
    {
        const QList<ThrottleTimer *> timers = f.page->findChildren<ThrottleTimer *>();
        QCOMPARE(timers.size(), 1);
        QCOMPARE(timers.first()->interval(), 50);
    }

    // Reloads: flags other than 0x80 show off, delays beyond the range come
    // back clamped, every edit and the main page's cache follow the model.
    void reload()
    {
        setdelay(0, 480, 0x80);
        setdelay(1, 0, 0x01);
        f.dev->setdelay(2, 50000);
        QSignalSpy values(f.page.get(), &FormDelay::updatedelayvalues);
        f.page->updatenewdata();
        QCOMPARE(values.count(), 12);
        QVERIFY(button(*f.page, "delayswitch1")->isChecked());
        QVERIFY(!button(*f.page, "delayswitch2")->isChecked());
        QCOMPARE(f.dev->getdelay(2), 48000);
        QCOMPARE(edit(*f.page, 0)->text(), QStringLiteral("10.00"));
        QCOMPARE(edit(*f.page, 2)->text(), QStringLiteral("1000.00"));
        QCOMPARE(edit(*f.page, 5)->text(), QStringLiteral("0.00"));
        QCOMPARE(QString::number(double(gMainApp->getdelaycache(0)), 'f', 2), QStringLiteral("10.00"));
        // Every switch follows its flag, OUT8's as well as IN-A's: two
        // patterns that turn each one over.
        for (int pattern : {0x0AA5, 0x055A}) {
            for (int ch = 0; ch < 12; ++ch)
                f.dev->setdelayflag(ch, (pattern >> ch) & 1 ? 0x80 : 0);
            f.page->updatenewdata();
            for (int ch = 0; ch < 12; ++ch)
                QVERIFY2(button(*f.page, kDelaySwitch[ch])->isChecked() == bool((pattern >> ch) & 1),
                         kDelaySwitch[ch]);
        }
        f.ticks(5);
        QCOMPARE(f.sent(), QVector<QByteArray>());
    }

    // Each side's unit box changes its side's texts only, sends nothing, and
    // speaks the language.
    void units()
    {
        FormDelay &page = *f.page;
        setdelay(4, 480, 0);
        setdelay(0, 48, 0);
        page.updatenewdata();
        unitbox(page, 4)->setCurrentIndex(2);
        QCOMPARE(edit(page, 4)->text(), QStringLiteral("11.29"));
        QCOMPARE(edit(page, 0)->text(), QStringLiteral("1.00"));
        unitbox(page, 0)->setCurrentIndex(1);
        QCOMPARE(edit(page, 0)->text(), QStringLiteral("0.34"));
        f.ticks(5);
        QCOMPARE(f.sent(), QVector<QByteArray>());

        gGlobalContrl->setlanguage(1);
        gGlobalContrl->emitlanguage();
        QCOMPARE(unitbox(page, 0)->itemText(2), QStringLiteral("英尺"));
        gGlobalContrl->setlanguage(0);
        gGlobalContrl->emitlanguage();
        QCOMPARE(unitbox(page, 4)->itemText(0), QStringLiteral("Millisecond"));
    }

    // The channel from the main page; a number out of range changes nothing.
    void channel()
    {
        for (int n : {7, 0, 13}) {
            gMainApp->setdelayviewch(n);
            f.page->updatedelay();
            QVERIFY(button(*f.page, "delay_btnout3")->isChecked());
        }
    }

    void views_data() { viewrows(); }
    void views()
    {
        QFETCH(int, view);
        f.page->updatedelayview(1);
        f.page->updatedelayview(view);
        checkviews(*f.page, "widgetdelay", [](int ch) { return QString::fromLatin1(kDelaySwitch[ch]); });
    }

    void lock_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("locked");
        for (int state = 0; state <= 4; ++state)
            QTest::addRow("%d", state) << state << true << (state == 1 || state == 3);
        QTest::newRow("1 without link") << 1 << false << false;
    }
    void lock()
    {
        QFETCH(int, state);
        QFETCH(bool, link);
        QFETCH(bool, locked);
        f.dev->setlocktype(state);
        f.dev->setcomconnected(link);
        f.page->updatedelaylock();
        QCOMPARE(child(*f.page, "widgetdelaylockback")->isVisible(), locked);
        QCOMPARE(slider(*f.page, 4)->isEnabled(), !locked);
        QCOMPARE(button(*f.page, "delayswitch01")->isEnabled(), !locked);
        QCOMPARE(unitbox(*f.page, 0)->isEnabled(), !locked);
        f.dev->setcomconnected(1);
    }

    // The page as the user sees it, connected, in both languages and units.
    void look_data() { lookrows("zh_type20_lock3", 2, 3); }
    void look()
    {
        QFETCH(int, language);
        QFETCH(int, view);
        QFETCH(int, lock);
        QVERIFY(uselanguage(language));
        f.dev->setlocktype(lock);
        for (int ch = 0; ch < 12; ++ch) {
            f.dev->setdelay(ch, 4000 * ch);
            f.dev->setdelayflag(ch, ch % 3 ? 0x80 : 0);
        }
        unitbox(*f.page, 4)->setCurrentIndex(2);
        f.page->updatedelayview(view);
        gMainApp->setdelayviewch(5);
        f.page->updatedelay();
        f.page->resize(1014, 700);
        // The unit lists in the language, each side's unit chosen; every strip
        // of the view whole with its value; the overlay while locked.
        const char *const units[2][3] = {{"Millisecond", "Metre", "Feet"}, {"毫秒", "米", "英尺"}};
        for (int u = 0; u < 3; ++u) {
            QCOMPARE(unitbox(*f.page, 0)->itemText(u), QString::fromUtf8(units[language][u]));
            QCOMPARE(unitbox(*f.page, 4)->itemText(u), QString::fromUtf8(units[language][u]));
        }
        QCOMPARE(unitbox(*f.page, 0)->currentText(), QString::fromUtf8(units[language][0]));
        QCOMPARE(unitbox(*f.page, 4)->currentText(), QString::fromUtf8(units[language][2]));
        // 4000 samples of IN-B: 83.33 ms; 12000 of IN-D and 16000 of OUT1 in feet.
        QCOMPARE(edit(*f.page, 1)->text(), QStringLiteral("83.33"));
        for (int ch = 0; ch < 12; ++ch) {
            QWidget *strip = child(*f.page, QStringLiteral("widgetdelay%1").arg(ch + 1));
            if (!inview(ch, view)) {
                QVERIFY2(!strip->isVisible(), qPrintable(strip->objectName()));
                continue;
            }
            QVERIFY(!edit(*f.page, ch)->text().isEmpty());
            for (QWidget *w : {strip, static_cast<QWidget *>(edit(*f.page, ch))}) {
                const QString problem = lookcheck::unseen(f.page.get(), w);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
        }
        for (QWidget *w :
             {static_cast<QWidget *>(unitbox(*f.page, 0)), static_cast<QWidget *>(unitbox(*f.page, 4))}) {
            const QString problem = lookcheck::unseen(f.page.get(), w);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        QCOMPARE(child(*f.page, "widgetdelaylockback")->isVisible(), lock == 1 || lock == 3);
        QVERIFY(snapshot(*f.page, "delay"));
    }
};

QTEST_MAIN(TstFormDelayStandin)
#include "tst_formdelay_standin.moc"
