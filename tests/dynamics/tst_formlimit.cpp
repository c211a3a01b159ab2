// The limiter page without a processor.

#include "compressorcur.h"
#include "limitfixture.h"

#include <QLineEdit>

class TstFormLimit : public QObject
{
    Q_OBJECT
    LimitFixture f;

    CompressorCur *curve() const { return f.page->findChild<CompressorCur *>(QStringLiteral("Compwidget")); }

    void dragcurve(QPoint from, QPoint to)
    {
        QTest::mousePress(curve(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(curve(), &move);
        QTest::mouseRelease(curve(), Qt::LeftButton, {}, to);
    }

private slots:
    void init()
    {
        f.setup();
        f.dev->setcomconnected(1);
    }
    void cleanup() { f.teardown(); }

    void constructed()
    {
        QVERIFY(f.select(0)->isChecked());
        QCOMPARE(f.slider(0, kThreshold)->maximum(), 255);
        QCOMPARE(f.slider(kOut1, kThreshold)->maximum(), 400);
        QCOMPARE(f.slider(0, kRatio)->value(), 5);
        QCOMPARE(f.slider(kOut1, kRatio)->value(), 0);
        QVERIFY(!f.edit(kOut1, kRatio)->isEnabled());
        QCOMPARE(f.edit(kOut1, kThreshold)->text(), QStringLiteral("-19.5dBu"));
        QCOMPARE(curve()->getmaxvalue(), 20.f);
        QVERIFY(curve()->getratioeditable());
    }

    void entries_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("returnkey"); // Return pressed, else the focus left
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("shown");
        auto row = [](const char *tag, int ch, int r, int start, const char *typed, bool ret, int step,
                      const char *shown) {
            QTest::newRow(tag) << ch << r << start << QString(typed) << ret << step << QString(shown);
        };
        row("attack 250ms", kOut1, kAttack, 100, "250ms", true, 250, "250ms");
        row("attack 250 ms", 1, kAttack, 100, "250 ms", true, 250, "250ms");
        row("attack 7000", kOut1, kAttack, 100, "7000", true, 6000, "6000ms");
        row("attack 20", kOut1, kAttack, 100, "20", true, 50, "50ms");
        row("attack focus left applies", kOut1, kAttack, 100, "300", false, 300, "300ms");
        row("attack 1.5 ignored", kOut1, kAttack, 100, "1.5", true, 100, "100ms");
        row("attack 10m0 ignored", kOut1, kAttack, 100, "10m0", true, 100, "100ms");
        row("attack equal value rewritten", kOut1, kAttack, 6000, "6000 ", true, 6000, "6000ms");
        row("release 260", kOut1, kRelease, 1, "260", true, 4, "250ms");
        row("release 20000", kOut1, kRelease, 1, "20000", true, 199, "10000ms");
        row("release 99", kOut1, kRelease, 5, "99", true, 1, "100ms");
        row("release focus left ignored", kOut1, kRelease, 5, "1000", false, 5, "300ms");
        row("output -10.55", kOut1, kThreshold, 0, "-10.55dBu", true, 95, "-10.5dBu");
        row("output 25", kOut1, kThreshold, 0, "25", true, 400, "20.0dBu");
        row("output 1e1", kOut1, kThreshold, 0, "1e1", true, 300, "10.0dBu");
        row("output huge", kOut1, kThreshold, 0, "123456789012345678901", true, 400, "20.0dBu");
        row("output focus left applies", kOut1, kThreshold, 0, "5.3dBu", false, 253, "5.3dBu");
        row("output comma ignored", kOut1, kThreshold, 100, "2,5", true, 100, "-10.0dBu");
        row("input 2.3", 2, kThreshold, 0, "2.3", true, 44, "2.0dBu");
        row("input 300 clamps to one byte", 2, kThreshold, 0, "300", true, 255, "107.5dBu");
        row("input focus left ignored", 2, kThreshold, 10, "0", false, 10, "-15.0dBu");
    }
    void entries()
    {
        QFETCH(int, ch);
        QFETCH(int, row);
        QFETCH(int, start);
        QFETCH(QString, typed);
        QFETCH(bool, returnkey);
        QFETCH(int, step);
        QFETCH(QString, shown);
        f.showactive();
        QSlider *s = f.slider(ch, row);
        QLineEdit *e = f.edit(ch, row);
        s->setValue(start);
        e->setFocus();
        QVERIFY(e->hasFocus());
        e->setText(typed);
        if (returnkey)
            QTest::keyClick(e, Qt::Key_Return);
        else
            f.slider(ch, kRatio == row ? kAttack : kRatio)->setFocus();
        QCOMPARE(s->value(), step);
        QCOMPARE(e->text(), shown);
    }

    // Every text the page writes reads back to its own step.
    void entriesroundtrip()
    {
        for (int ch : {0, kOut1}) {
            for (int row : {kAttack, kRelease, kThreshold}) {
                const auto r = FormLimit::Row(row);
                for (int v = f.slider(ch, row)->minimum(); v <= FormLimit::rowtop(ch, r); ++v) {
                    int step = -1;
                    QVERIFY(FormLimit::entrystep(ch, r, FormLimit::rowtext(ch, r, v), &step));
                    QCOMPARE(step, v);
                }
            }
        }
    }

    // Step buttons, and the arrow keys in an entry.
    void stepbuttons_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("key");
        QTest::addColumn<int>("after");
        QTest::newRow("attack top") << kOut1 << kAttack << 6000 << true << false << 6000;
        QTest::newRow("release bottom") << 1 << kRelease << 1 << false << false << 1;
        QTest::newRow("ratio top") << 9 << kRatio << 9 << true << false << 9;
        QTest::newRow("output threshold top") << 11 << kThreshold << 400 << true << false << 400;
        QTest::newRow("input threshold top") << 3 << kThreshold << 255 << true << false << 255;
        QTest::newRow("input threshold down") << 3 << kThreshold << 255 << false << false << 254;
        QTest::newRow("key up to threshold top") << 5 << kThreshold << 399 << true << true << 400;
        QTest::newRow("key up at threshold top") << 5 << kThreshold << 400 << true << true << 400;
        QTest::newRow("key down release") << 1 << kRelease << 5 << false << true << 4;
    }
    void stepbuttons()
    {
        QFETCH(int, ch);
        QFETCH(int, row);
        QFETCH(int, start);
        QFETCH(bool, up);
        QFETCH(bool, key);
        QFETCH(int, after);
        f.slider(ch, row)->setValue(start);
        if (key) {
            f.showactive();
            f.edit(ch, row)->setFocus();
            QTest::keyClick(f.edit(ch, row), up ? Qt::Key_Up : Qt::Key_Down);
        } else {
            QTest::mouseClick(f.step(ch, row, up), Qt::LeftButton);
        }
        QCOMPARE(f.slider(ch, row)->value(), after);
        QCOMPARE(f.edit(ch, row)->text(), FormLimit::rowtext(ch, FormLimit::Row(row), after));
        QCOMPARE(f.page->getcurchannel(), ch);
    }

    void slidernotlinked()
    {
        QSignalSpy values(f.page.get(), &FormLimit::updatelimitvalues);
        f.slider(8, kThreshold)->setValue(253);
        QCOMPARE(f.edit(8, kThreshold)->text(), QStringLiteral("5.3dBu"));
        QCOMPARE(f.dev->getlimitthreshold(8), 253);
        QCOMPARE(gMainApp->getthresholdcache(8), 253);
        QCOMPARE(channels(values), QList<int>{8});
        QVERIFY(f.select(8)->isChecked());
        QVERIFY(!f.select(0)->isChecked());
        QCOMPARE(curve()->getthreshold(), 253 / 10.f - 20.f);
        QCOMPARE(f.page->getpendingcount(), 1);
        f.slider(9, kRatio)->setValue(9);
        QCOMPARE(f.edit(9, kRatio)->text(), QStringLiteral("128:1"));
        QCOMPARE(f.dev->getlimitratio(9), 9);
    }

    // The ratio entry shows the ratio of the slider's index.
    void ratiotext_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        const char *const texts[] = {"1.2:1", "1.5:1", "2:1",  "3:1",  "4:1",
                                     "6:1",   "10:1",  "20:1", "40:1", "128:1"};
        for (int i = 0; i < 10; ++i)
            QTest::addRow("%d", i) << i << QString::fromLatin1(texts[i]);
    }
    void ratiotext()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        f.slider(5, kRatio)->setValue(index == 0 ? 1 : 0);
        f.slider(5, kRatio)->setValue(index);
        QCOMPARE(f.edit(5, kRatio)->text(), text);
        QCOMPARE(f.dev->getlimitratio(5), index);
    }

    void linkedsliders_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<int>>("group");
        QTest::addColumn<int>("highest");
        QTest::addColumn<int>("pre"); // the highest member already holds the new value when 1
        const QByteArray out258 = QByteArray::fromHex("010204080192040892204092");
        QTest::newRow("OUT5 ratio, OUT2/5/8") << out258 << 8 << kRatio << QList<int>{5, 8, 11} << 11 << 0;
        QTest::newRow("OUT8 already holds it") << out258 << 8 << kRatio << QList<int>{5, 8, 11} << 11 << 1;
        QTest::newRow("OUT8 itself") << out258 << 11 << kAttack << QList<int>{5, 8, 11} << 11 << 0;
        QTest::newRow("IN-A attack, IN-A/C/D") << QByteArray::fromHex("0d020d0d0102040810204080") << 0
                                               << kAttack << QList<int>{0, 2, 3} << 3 << 0;
        // A mask without its own bit naming nothing higher: OUT1 alone counts.
        QTest::newRow("OUT1 mask 0") << QByteArray::fromHex("010204080002040810204080") << kOut1 << kThreshold
                                     << QList<int>{kOut1} << kOut1 << 0;
    }
    void linkedsliders()
    {
        QFETCH(QByteArray, masks);
        QFETCH(int, ch);
        QFETCH(int, row);
        QFETCH(QList<int>, group);
        QFETCH(int, highest);
        QFETCH(int, pre);
        f.setmasks(masks);
        gMainApp->inputlinkon = 1;
        gMainApp->outputlinkon = 1;
        const int v = row == kAttack ? 120 : 3;
        // Offline while the start values are set: a frame sent for a member
        // would set its whole group, as the processor does.
        f.dev->setcomconnected(0);
        if (pre) {
            gMainApp->outputlinkon = 0;
            f.slider(highest, row)->setValue(v);
            gMainApp->outputlinkon = 1;
        }
        f.slider(ch, row)->setValue(v - 1);
        f.page->timetosend(); // four or more pending: cleared at once
        for (int k = 0; k < 4; ++k)
            f.page->timetosend();
        QCOMPARE(f.page->getpendingcount(), 0);
        f.dev->setcomconnected(1);

        QTest::mouseClick(f.step(ch, row, true), Qt::LeftButton);

        for (int k : group) {
            QCOMPARE(f.slider(k, row)->value(), v);
            QCOMPARE(f.edit(k, row)->text(), FormLimit::rowtext(k, FormLimit::Row(row), v));
        }
        QCOMPARE(f.page->getpendingcount(), 1);
        QCOMPARE(f.page->getcurchannel(), highest);
        QVERIFY(f.select(highest)->isChecked());
        for (int k : group)
            QCOMPARE(row == kAttack  ? f.dev->getlimitattack(k)
                     : row == kRatio ? f.dev->getlimitratio(k)
                                     : f.dev->getlimitthreshold(k),
                     v);
    }

    // Unlinked sides and own masks change only their own channel.
    void linkswitchoff()
    {
        f.setmasks(QByteArray::fromHex("070707080102040810204080"));
        gMainApp->inputlinkon = 0;
        QTest::mouseClick(f.step(0, kRelease, true), Qt::LeftButton);
        QCOMPARE(f.slider(1, kRelease)->value(), 5);
        QCOMPARE(f.slider(0, kRelease)->value(), 6);
        gMainApp->inputlinkon = 1;
        QTest::mouseClick(f.step(3, kRelease, true), Qt::LeftButton); // IN-D: its own bit
        QCOMPARE(f.slider(2, kRelease)->value(), 5);
        QCOMPARE(f.page->getpendingcount(), 2);
    }

    void kneelinked()
    {
        f.setmasks(QByteArray::fromHex("070707080102040810204080"));
        gMainApp->inputlinkon = 1;
        QSignalSpy values(f.page.get(), &FormLimit::updatelimitvalues);
        f.combo(0)->setCurrentIndex(3);
        for (int ch = 0; ch < 3; ++ch)
            QCOMPARE(f.dev->getlimitknee(ch), 3);
        QCOMPARE(f.dev->getlimitknee(3), 0);
        QCOMPARE(channels(values), (QList<int>{0, 1, 2}));
        QVERIFY(f.select(2)->isChecked());
        QCOMPARE(f.page->getcurchannel(), 2);
        QCOMPARE(f.page->getpendingcount(), 1);
        QCOMPARE(curve()->knee, 3);

        f.combo(2)->setCurrentIndex(5);
        QVERIFY(f.select(1)->isChecked());
        QCOMPARE(f.page->getcurchannel(), 1);
        QCOMPARE(f.page->getpendingcount(), 2);
        for (int ch = 0; ch < 3; ++ch)
            QCOMPARE(f.combo(ch)->currentIndex(), 5);
    }

    void kneeoutofrange()
    {
        f.setmasks(QByteArray::fromHex("030308080102040810204080"));
        gMainApp->inputlinkon = 1;
        f.dev->setlimitknee(0, 9);
        f.dev->setlimitknee(1, 2);
        f.page->updatelimitview(0);
        QCOMPARE(f.combo(0)->currentIndex(), -1);
        QCOMPARE(f.dev->getlimitknee(0), 9);
        QCOMPARE(f.dev->getlimitknee(1), 2);
        QCOMPARE(f.combo(1)->currentIndex(), 2);
        f.combo(1)->setCurrentIndex(-1);
        QCOMPARE(f.dev->getlimitknee(1), 2);
        QCOMPARE(f.dev->getlimitknee(0), 9);
        QCOMPARE(f.page->getpendingcount(), 0);
    }

    void reloadwritesnothing()
    {
        f.showactive();
        f.setmasks(QByteArray::fromHex("030308080102040810204080"));
        gMainApp->inputlinkon = 1;
        for (int ch = 0; ch < 12; ++ch) {
            f.dev->setlimitattack(ch, 100 + ch);
            f.dev->setlimitrelease(ch, 10 + ch);
            f.dev->setlimitratio(ch, ch % 10);
            f.dev->setlimitthreshold(ch, 150 + 10 * ch);
        }
        f.dev->setlimitthreshold(0, 400); // more than an input holds
        f.dev->setlimitattack(5, 0);      // less than the slider reaches
        f.slider(0, kAttack)->setFocus();
        QSignalSpy values(f.page.get(), &FormLimit::updatelimitvalues);
        const auto all = [&] {
            QByteArray out;
            for (int ch = 0; ch < 12; ++ch)
                out += f.record(ch);
            return out.toHex();
        };
        const QByteArray before = all();
        f.page->updatelimitview(0);
        QCOMPARE(all(), before);
        QCOMPARE(f.page->getpendingcount(), 0);
        QCOMPARE(gMainApp->limitloading, uchar(0));
        QCOMPARE(f.slider(0, kThreshold)->value(), 255);
        QCOMPARE(f.edit(1, kAttack)->text(), QStringLiteral("101ms"));
        QCOMPARE(f.edit(5, kAttack)->text(), QStringLiteral("50ms"));
        QCOMPARE(f.edit(4, kRatio)->text(), QStringLiteral("4:1"));
        QCOMPARE(gMainApp->getthresholdcache(11), 260);
        const QList<int> told = channels(values);
        for (int ch = 0; ch < 12; ++ch)
            QCOMPARE(told.mid(told.size() - 12).at(ch), ch);
    }

    // A sample of the page's widgets by channel, as listed: a group's up
    // button moves its own slider by one, its entry follows, and the
    // channel's select button lights.
    void formrows_data()
    {
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("slider");
        QTest::newRow("IN-A attack") << "limit_btnina"
                                     << "Editdelayinmi_5"
                                     << "btndelayinmiup_5"
                                     << "sldrlimitina";
        QTest::newRow("IN-D threshold") << "limit_btnind"
                                        << "Editlimitinhold_4"
                                        << "btndelayinmiup_16"
                                        << "sldrlimitind_4";
        QTest::newRow("OUT1 release") << "limit_btnout1"
                                      << "Editdelayme_5"
                                      << "btndelaymeup_5"
                                      << "sldrlimitb";
        QTest::newRow("OUT5 attack") << "limit_btnout5"
                                     << "Editdelayoutmi_9"
                                     << "btndelaymioutup_9"
                                     << "sldrlimita4";
        QTest::newRow("OUT8 threshold") << "limit_btnout8"
                                        << "Editlimithold_8"
                                        << "btndelaymiup_20"
                                        << "sldrlimitd_8";
    }
    void formrows()
    {
        QFETCH(QString, select);
        QFETCH(QString, entry);
        QFETCH(QString, up);
        QFETCH(QString, slider);
        auto *s = f.page->findChild<QSlider *>(slider);
        auto *e = f.page->findChild<QLineEdit *>(entry);
        auto *b = f.page->findChild<QPushButton *>(up);
        auto *chosen = f.page->findChild<QPushButton *>(select);
        QVERIFY(s && e && b && chosen);
        QVERIFY(chosen->isCheckable() && chosen->autoExclusive());
        const int start = (s->minimum() + s->maximum()) / 2;
        s->setValue(start);
        const QString before = e->text();
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(s->value(), start + 1);
        QVERIFY(e->text() != before);
        QVERIFY(chosen->isChecked());
    }

    void selectandcurve()
    {
        f.slider(0, kThreshold)->setValue(40);
        f.slider(kOut1, kThreshold)->setValue(40);
        f.page->selectchannel(1);
        QCOMPARE(curve()->getthreshold(), 0.f);
        QCOMPARE(f.page->getcurchannel(), 0);
        gMainApp->setlimitviewch(kOut1 + 1);
        f.page->updatelimit();
        QCOMPARE(curve()->getthreshold(), -16.f);
        QVERIFY(f.select(kOut1)->isChecked());
        f.page->selectchannel(13);
        f.page->selectchannel(0);
        QCOMPARE(f.page->getcurchannel(), kOut1);
    }

    void curvedrag_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("raw");
        QTest::addColumn<QString>("shown");
        QTest::newRow("output 0 dB") << kOut1 << 103 << 200 << "0.0dBu";
        QTest::newRow("input 0 dB") << 0 << 103 << 40 << "0.0dBu";
        // Inputs move in whole dB: +0.67 dB and -0.44 dB on the curve.
        QTest::newRow("input +0.67 dB") << 0 << 100 << 40 << "0.0dBu";
        QTest::newRow("input -0.44 dB") << 1 << 105 << 38 << "-1.0dBu";
    }
    void curvedrag()
    {
        QFETCH(int, ch);
        QFETCH(int, y);
        QFETCH(int, raw);
        QFETCH(QString, shown);
        f.slider(ch, kThreshold)->setValue(ch < 4 ? 60 : 300); // +10 dB
        f.page->selectchannel(ch + 1);
        dragcurve(CompressorCur::thresholdpoint(10), {250, y});
        QCOMPARE(f.slider(ch, kThreshold)->value(), raw);
        QCOMPARE(f.edit(ch, kThreshold)->text(), shown);
        // The ratio handle sets the ratio slider.
        const QPoint t = CompressorCur::thresholdpoint(curve()->getthreshold());
        dragcurve(CompressorCur::ratiohandle(t, curve()->getratioindex(), true),
                  CompressorCur::ratiohandle(t, 3, true));
        QCOMPARE(f.slider(ch, kRatio)->value(), 3);
    }

    // The ratio handle dragged on the page onto where each ratio's handle lies
    // at threshold -20 dB picks that ratio: slider, entry and model. One pixel
    // higher picks the next gentler ratio.
    void ratiodrag_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("y"); // trunc(193 - 180 / ratio)
        const char *const texts[] = {"1.2:1", "1.5:1", "2:1",  "3:1",  "4:1",
                                     "6:1",   "10:1",  "20:1", "40:1", "128:1"};
        const int ys[] = {43, 73, 103, 133, 148, 163, 175, 184, 188, 191};
        for (int k = 0; k < 10; ++k)
            QTest::newRow(texts[k]) << k << QString::fromLatin1(texts[k]) << ys[k];
    }
    void ratiodrag()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, y);
        const int ch = kOut1 + 2;
        f.slider(ch, kThreshold)->setValue(0); // -20 dB
        f.slider(ch, kRatio)->setValue(index == 0 ? 1 : 0);
        f.page->selectchannel(ch + 1);
        QCOMPARE(curve()->getthreshold(), -20.f);
        const int from = index == 0 ? 73 : 43; // the handle of what the slider holds
        dragcurve({270, from}, {270, y});
        QCOMPARE(f.slider(ch, kRatio)->value(), index);
        QCOMPARE(f.edit(ch, kRatio)->text(), text);
        QCOMPARE(f.dev->getlimitratio(ch), index);
        if (index > 0) {
            dragcurve({270, y}, {270, y - 1});
            QCOMPARE(f.slider(ch, kRatio)->value(), index - 1);
            QCOMPARE(f.dev->getlimitratio(ch), index - 1);
        }
    }

    void locked_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("state 1") << 1 << true << true;
        QTest::newRow("state 2") << 2 << true << false;
        QTest::newRow("state 3, no link") << 3 << false << false;
    }
    void locked()
    {
        QFETCH(int, state);
        QFETCH(bool, link);
        QFETCH(bool, blocked);
        f.showactive();
        f.setmasks(QByteArray::fromHex("010204080302040810204080"));
        gMainApp->outputlinkon = 1;
        f.dev->setlocktype(state);
        f.dev->setcomconnected(link);
        f.page->updatelimitlock();
        QCOMPARE(f.page->findChild<QWidget *>("widgetlimitlockback")->isVisibleTo(f.page.get()), blocked);

        const QByteArray start = f.record(kOut1) + f.record(kOut1 + 1);
        QTest::mouseClick(f.step(kOut1, kAttack, true), Qt::LeftButton);
        QTest::mouseClick(f.select(kOut1 + 1), Qt::LeftButton);
        QTest::keyClick(f.slider(kOut1, kRelease), Qt::Key_Right);
        f.edit(kOut1, kThreshold)->setFocus();
        QTest::keyClicks(f.edit(kOut1, kThreshold), "5");
        QTest::keyClick(f.edit(kOut1, kThreshold), Qt::Key_Return);
        QTest::keyClick(f.combo(kOut1), Qt::Key_Down);
        dragcurve(CompressorCur::thresholdpoint(curve()->getthreshold()), {250, 150});
        const bool changed = f.record(kOut1) + f.record(kOut1 + 1) != start;
        QCOMPARE(changed, !blocked);
        if (blocked)
            QCOMPARE(f.page->getpendingcount(), 0);
        // Unlocked again, the controls come back; the ratio entries stay display only.
        f.dev->setlocktype(0);
        f.page->updatelimitlock();
        QVERIFY(f.step(kOut1, kAttack, true)->isEnabled());
        QVERIFY(f.edit(kOut1, kAttack)->isEnabled());
        QVERIFY(!f.edit(kOut1, kRatio)->isEnabled());
    }

    void layout()
    {
        f.page->updatelimitview(1);
        for (int ch : {2, 3, 10, 11}) {
            QVERIFY(!f.select(ch)->isVisibleTo(f.page.get()));
            QVERIFY(!f.combo(ch)->isVisibleTo(f.page.get()));
            QVERIFY(!f.slider(ch, 0)->parentWidget()->parentWidget()->isVisibleTo(f.page.get()));
        }
        // OUT5 and OUT6 stay on type 22.
        for (int ch : {8, 9}) {
            QVERIFY(f.select(ch)->isVisibleTo(f.page.get()));
            QVERIFY(f.combo(ch)->isVisibleTo(f.page.get()));
            QVERIFY(f.slider(ch, 0)->parentWidget()->parentWidget()->isVisibleTo(f.page.get()));
        }
        f.page->updatelimitview(2);
        QVERIFY(!f.select(8)->isVisibleTo(f.page.get()));
        QVERIFY(!f.select(9)->isVisibleTo(f.page.get()));
        QVERIFY(f.select(7)->isVisibleTo(f.page.get()));
        f.page->updatelimitview(7); // no such view: only the lock is looked at
        QVERIFY(!f.select(8)->isVisibleTo(f.page.get()));
        f.page->updatelimitview(0);
        for (int ch = 0; ch < 12; ++ch)
            QVERIFY(f.select(ch)->isVisibleTo(f.page.get()) && f.combo(ch)->isVisibleTo(f.page.get()));
        QVERIFY(f.page->findChild<QWidget *>("btnout58")->isVisibleTo(f.page.get()));
        QVERIFY(!f.page->findChild<QWidget *>("labelfenge")->isVisibleTo(f.page.get()));
    }

    void language()
    {
        gGlobalContrl->setlanguage(1);
        gGlobalContrl->emitlanguage();
        QCOMPARE(f.combo(11)->itemText(1), QStringLiteral("硬拐"));
        QVERIFY(f.page->findChild<QWidget *>("label")->styleSheet().contains("rmsl_chs.png"));
        gGlobalContrl->setlanguage(0);
        gGlobalContrl->emitlanguage();
        QCOMPARE(f.combo(0)->itemText(6), QStringLiteral("S-KN5"));
    }
};

QTEST_MAIN(TstFormLimit)
#include "tst_formlimit.moc"
