// The delay page against the processor stand-in on a pseudo-terminal, driven
// through its widgets: exact delay frames (bytes worked by hand for type
// 0x18, address 1) for steps, entries in every unit, keys, switches and link
// groups; the units shown; the device views, the lock overlay and languages.

#include "formdelay.h"
#include "gaindelayfixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

#include <functional>
#include <memory>

using namespace gdtest;

using Action = std::function<void(FormDelay &)>;
Q_DECLARE_METATYPE(Action)

namespace
{

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
QLineEdit *edit(QWidget &page, int ch)
{
    return child<QLineEdit>(page, ch ? QStringLiteral("Editdelaymi_%1").arg(ch + 1)
                                     : QStringLiteral("Editdelaymi"));
}
QSlider *slider(QWidget &page, int ch)
{
    return child<QSlider>(page,
                          ch ? QStringLiteral("sldrdelaymi_%1").arg(ch + 1) : QStringLiteral("sldrdelaymi"));
}
Action click(const char *name)
{
    return [=](FormDelay &p) { button(p, name)->click(); };
}
// Chooses the unit of the channel's side, then types the text with Return.
Action type(int ch, int unit, const char *text)
{
    return [=](FormDelay &p) {
        child<QComboBox>(p, ch < 4 ? "comboBox_3" : "comboBox_4")->setCurrentIndex(unit);
        enter(edit(p, ch), text);
    };
}

} // namespace

class TstFormDelayStandin : public QObject
{
    Q_OBJECT
    Fixture f;
    std::unique_ptr<FormDelay> page;

    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            page->timetosend();
    }
    void setdelay(int ch, int samples, int flag)
    {
        f.setimage(kImageDelay + 3 * ch, QByteArray(1, char(samples & 0xFF)) + char((samples >> 8) & 0xFF) +
                                             char(((samples >> 16) | flag) & 0xFF));
    }

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }
    void init()
    {
        f.setup();
        page.reset(new FormDelay);
        page->updatenewdata();
        for (QTimer *t : page->findChildren<QTimer *>())
            t->stop();
        QVERIFY(activate(page.get()));
    }
    void cleanup()
    {
        page.reset();
        f.teardown();
    }

    void edits_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<QVector<int>>("start"); // pairs of channel and samples
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QVector<int>>("after"); // pairs of channel and samples
        QTest::addColumn<QString>("text");       // of the first channel of after
        QTest::addColumn<QString>("marked");
        const QVector<int> none;
        QTest::newRow("IN-B up") << kOwnMasks << none << click("btndelaymiup_2")
                                 << "112233180151040101000058445566" << QVector<int>{1, 1} << "0.02"
                                 << "delay_btninb";
        QTest::newRow("OUT4 10 ms") << kOwnMasks << none << type(7, 0, "10")
                                    << "1122331801510413e001004a445566" << QVector<int>{7, 480} << "10.00"
                                    << "delay_btnout4";
        QTest::newRow("IN-C 1000.02 ms")
            << kOwnMasks << none << type(2, 0, "1000.02") << "112233180151040280bb0013445566"
            << QVector<int>{2, 48000} << "1000.00"
            << "delay_btninc";
        QTest::newRow("IN-C 344.44 m")
            << kOwnMasks << none << type(2, 1, "344.44") << "112233180151040280bb0013445566"
            << QVector<int>{2, 48000} << "344.43"
            << "delay_btninc";
        QTest::newRow("OUT7 1130.03 ft")
            << kOwnMasks << QVector<int>{10, 100} << type(10, 2, "1130.03")
            << "112233180151041680bb0027445566" << QVector<int>{10, 48000} << "1130.02"
            << "delay_btnout7";
        QTest::newRow("IN-D 1 m") << kOwnMasks << none << type(3, 1, "1") << "11223318015104038b000064445566"
                                  << QVector<int>{3, 139} << "1.00"
                                  << "delay_btnind";
        QTest::newRow("OUT2 1 ft") << kOwnMasks << none << type(5, 2, "1") << "11223318015104112a000011445566"
                                   << QVector<int>{5, 42} << "0.98"
                                   << "delay_btnout2";
        QTest::newRow("IN-D -5 ms") << kOwnMasks << QVector<int>{3, 100} << type(3, 0, "-5")
                                    << "112233180151040300000059445566" << QVector<int>{3, 0} << "0.00"
                                    << "delay_btnind";
        QTest::newRow("OUT6 from the EQ page")
            << kOwnMasks << none << Action([](FormDelay &p) { p.messgeformpeq(9, 1000); })
            << "1122331801510415e8030056445566" << QVector<int>{9, 1000} << "20.83"
            << "delay_btnout6";
        QTest::newRow("OUT5 Up key") << kOwnMasks << none << Action([](FormDelay &p) {
            edit(p, 8)->setFocus();
            QTest::keyClick(edit(p, 8), Qt::Key_Up);
        }) << "11223318015104140100006b445566"
                                     << QVector<int>{8, 1} << "0.02"
                                     << "delay_btnout5";
        QTest::newRow("OUT8 down at 0")
            << kOwnMasks << none << click("btndelaymidown_12") << "" << QVector<int>{11, 0} << "0.00"
            << "";
        QTest::newRow("entry that changes nothing")
            << kOwnMasks << QVector<int>{0, 480} << type(0, 0, "10.001") << "" << QVector<int>{0, 480}
            << "10.001"
            << "";
        // Unreadable text and an edit left without Return apply nothing.
        QTest::newRow("not a number")
            << kOwnMasks << QVector<int>{1, 48} << type(1, 0, "abc") << "" << QVector<int>{1, 48} << "1.00"
            << "";
        QTest::newRow("left without Return")
            << kOwnMasks << QVector<int>{1, 48}
            << Action([](FormDelay &p) { typeandleave(edit(p, 1), "5", slider(p, 1)); }) << ""
            << QVector<int>{1, 48} << "1.00"
            << "";
        // IN-A and IN-B linked: IN-B, the highest member, is sent and marked.
        const QByteArray ab = hex("030304080102040810204080");
        QTest::newRow("IN-A linked") << ab << none << click("btndelaymiup")
                                     << "112233180151040101000058445566" << QVector<int>{1, 1, 0, 1} << "0.02"
                                     << "delay_btninb";
        QTest::newRow("IN-B linked") << ab << none << click("btndelaymiup_2")
                                     << "112233180151040101000058445566" << QVector<int>{0, 1, 1, 1} << "0.02"
                                     << "delay_btninb";
        QTest::newRow("IN-B already there")
            << ab << QVector<int>{1, 1} << click("btndelaymiup") << "112233180151040101000058445566"
            << QVector<int>{0, 1, 1, 1} << "0.02"
            << "delay_btninb";
    }
    void edits()
    {
        QFETCH(QByteArray, masks);
        QFETCH(QVector<int>, start);
        QFETCH(Action, action);
        QFETCH(QString, frames);
        QFETCH(QVector<int>, after);
        QFETCH(QString, text);
        QFETCH(QString, marked);
        f.setimage(kImageLinkMask, masks);
        for (int k = 0; k + 1 < start.size(); k += 2)
            setdelay(start[k], start[k + 1], 0);
        page->updatenewdata();
        gMainApp->inputlinkon = f.dev->inputlinked();
        gMainApp->outputlinkon = f.dev->outputlinked();

        action(*page);
        ticks(5);

        QCOMPARE(f.sent(), ::frames(frames));
        for (int k = 0; k + 1 < after.size(); k += 2) {
            QCOMPARE(f.dev->getdelay(after[k]), after[k + 1]);
            QCOMPARE(slider(*page, after[k])->value(), after[k + 1]);
        }
        QCOMPARE(edit(*page, after[0])->text(), text);
        if (!marked.isEmpty())
            QVERIFY(button(*page, marked)->isChecked());
        QCOMPARE(f.image().mid(kImageDelay, 36).toHex(), f.packed().mid(kImageDelay, 36).toHex());
        // Escape does not close the page.
        QTest::keyClick(page.get(), Qt::Key_Escape);
        QVERIFY(page->isVisible());
    }

    // A switch click sends its channel at once; a pending change of another
    // channel still goes out on its tick; linked switches follow.
    void switches()
    {
        click("btndelaymiup_2")(*page);
        button(*page, "delayswitch01")->click();
        QCOMPARE(f.sent(), frames("112233180151041000008066445566"));
        QCOMPARE(f.dev->getdelayflag(4), 0x80);
        QVERIFY(button(*page, "delay_btnout1")->isChecked());
        ticks(5);
        QCOMPARE(f.sent(), frames("112233180151040101000058445566"));

        f.setimage(kImageLinkMask, hex("010204080502050810204080"));
        gMainApp->outputlinkon = 1;
        button(*page, "delayswitch01")->click();
        QCOMPARE(f.sent(), frames("112233180151041000000066445566"));
        QCOMPARE(f.dev->getdelayflag(6), 0);
        QVERIFY(!button(*page, "delayswitch03")->isChecked());
        button(*page, "delayswitch03")->click();
        QCOMPARE(f.sent(), frames("112233180151041200008068445566"));
        QVERIFY(button(*page, "delayswitch01")->isChecked());
        QCOMPARE(f.dev->getdelayflag(4), 0x80);
        QCOMPARE(f.image().mid(kImageDelay, 36).toHex(), f.packed().mid(kImageDelay, 36).toHex());
    }

    // Several channels within one period: one frame each, ascending.
    void throttle()
    {
        click("btndelaymiup_11")(*page);
        click("btndelaymiup")(*page);
        click("btndelaymiup_2")(*page);
        click("btndelaymiup_2")(*page);
        ticks(1);
        QCOMPARE(f.sent(), frames("112233180151040001000057445566,112233180151040102000059445566,"
                                  "11223318015104160100006d445566"));
    }

    // Reloads: flags other than 0x80 show off, delays beyond the range come
    // back clamped, every edit and the main page's cache follow the model.
    void reload()
    {
        setdelay(0, 480, 0x80);
        setdelay(1, 0, 0x01);
        f.dev->setdelay(2, 50000);
        QSignalSpy values(page.get(), &FormDelay::updatedelayvalues);
        page->updatenewdata();
        QCOMPARE(values.count(), 12);
        QVERIFY(button(*page, "delayswitch1")->isChecked());
        QVERIFY(!button(*page, "delayswitch2")->isChecked());
        QCOMPARE(f.dev->getdelay(2), 48000);
        QCOMPARE(edit(*page, 0)->text(), QStringLiteral("10.00"));
        QCOMPARE(edit(*page, 2)->text(), QStringLiteral("1000.00"));
        QCOMPARE(edit(*page, 5)->text(), QStringLiteral("0.00"));
        QCOMPARE(QString::number(double(gMainApp->getdelaycache(0)), 'f', 2), QStringLiteral("10.00"));
        ticks(5);
        QCOMPARE(f.sent(), QVector<QByteArray>());
    }

    void units()
    {
        setdelay(4, 480, 0);
        setdelay(0, 48, 0);
        page->updatenewdata();
        child<QComboBox>(*page, "comboBox_4")->setCurrentIndex(1);
        QCOMPARE(edit(*page, 4)->text(), QStringLiteral("3.44"));
        QCOMPARE(edit(*page, 0)->text(), QStringLiteral("1.00"));
        child<QComboBox>(*page, "comboBox_4")->setCurrentIndex(2);
        QCOMPARE(edit(*page, 4)->text(), QStringLiteral("11.29"));
        child<QComboBox>(*page, "comboBox_3")->setCurrentIndex(1);
        QCOMPARE(edit(*page, 0)->text(), QStringLiteral("0.34"));
        ticks(5);
        QCOMPARE(f.sent(), QVector<QByteArray>());

        gGlobalContrl->setlanguage(1);
        gGlobalContrl->emitlanguage();
        QCOMPARE(child<QComboBox>(*page, "comboBox_3")->itemText(2), QStringLiteral("英尺"));
        gGlobalContrl->setlanguage(0);
        gGlobalContrl->emitlanguage();
        QCOMPARE(child<QComboBox>(*page, "comboBox_4")->itemText(0), QStringLiteral("Millisecond"));
    }

    // The channel from the main page; a number out of range changes nothing.
    void channel()
    {
        gMainApp->setdelayviewch(7);
        page->updatedelay();
        QVERIFY(button(*page, "delay_btnout3")->isChecked());
        for (int n : {0, 13}) {
            gMainApp->setdelayviewch(n);
            page->updatedelay();
            QVERIFY(button(*page, "delay_btnout3")->isChecked());
        }
    }

    void views_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("hidden"); // channels
        QTest::newRow("type 24") << 0 << "";
        QTest::newRow("type 22") << 1 << "3 10 11";
        QTest::newRow("type 20") << 2 << "2 3 8 9 10 11";
        QTest::newRow("other") << -1 << "3 10 11";
    }
    void views()
    {
        QFETCH(int, view);
        QFETCH(QString, hidden);
        page->updatedelayview(1);
        page->updatedelayview(view);
        const QStringList gone = hidden.split(' ', Qt::SkipEmptyParts);
        const char *const switches[12] = {"delayswitch1",  "delayswitch2",  "delayoswitch3", "delayswitch4",
                                          "delayswitch01", "delayswitch02", "delayswitch03", "delayswitch04",
                                          "delayswitch05", "delayswitch06", "delayswitch07", "delayswitch08"};
        for (int ch = 0; ch < 12; ++ch) {
            const bool shown = !gone.contains(QString::number(ch));
            QCOMPARE(page->findChild<QWidget *>(QStringLiteral("widgetdelay%1").arg(ch + 1))->isVisible(),
                     shown);
            QCOMPARE(button(*page, switches[ch])->isVisible(), shown);
        }
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
        page->updatedelaylock();
        QCOMPARE(page->findChild<QWidget *>("widgetdelaylockback")->isVisible(), locked);
        QCOMPARE(slider(*page, 4)->isEnabled(), !locked);
        QCOMPARE(button(*page, "delayswitch01")->isEnabled(), !locked);
        QCOMPARE(child<QComboBox>(*page, "comboBox_3")->isEnabled(), !locked);
        f.dev->setcomconnected(1);
    }

    // The page as the user sees it, connected, in both languages and units;
    // with DSP_SNAPSHOT_DIR set it is saved as PNGs.
    void look_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("lock");
        QTest::newRow("en") << 0 << 0 << 0;
        QTest::newRow("zh") << 1 << 0 << 0;
        QTest::newRow("zh_type20_lock3") << 1 << 2 << 3;
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
            f.dev->setdelay(ch, 4000 * ch);
            f.dev->setdelayflag(ch, ch % 3 ? 0x80 : 0);
        }
        child<QComboBox>(*page, "comboBox_4")->setCurrentIndex(2);
        page->updatedelayview(view);
        gMainApp->setdelayviewch(5);
        page->updatedelay();
        page->resize(1014, 700);
        const QImage shot = page->grab().toImage();
        const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QStringLiteral("%1/delay_%2.png").arg(dir, QTest::currentDataTag())));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TstFormDelayStandin)
#include "tst_formdelay_standin.moc"
