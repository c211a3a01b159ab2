// The limiter page against the processor stand-in; frames worked by hand for
// type 0x18, address 1.

#include "compressorcur.h"
#include "formmainview.h"
#include "limitfixture.h"
#include "standin.h"
#include "standinlink.h"
#include "typedkeys.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QTimer>

class TstFormLimitStandin : public QObject, public StandinLink
{
    Q_OBJECT
    LimitFixture f;

    QTimer *throttle() const { return f.page->findChild<QTimer *>(); }

    // Model and stand-in start from the same image, as after a download.
    void download(const QByteArray &masks, const std::function<void(QByteArray &)> &change = nullptr)
    {
        s.update(unit, [&](standin::UnitState &u) {
            u.image = standin::poweronimagefor();
            u.image.replace(kImageLinkMask, 12, masks);
            if (change)
                change(u.image);
        });
        f.dev->packprogram();
        for (int k = 0; k < kProgramImageSize; ++k)
            f.dev->setcurimagebyte(k, quint8(image()[k]));
        f.dev->unpackprogram();
        gMainApp->inputlinkon = f.dev->inputlinked();
        gMainApp->outputlinkon = f.dev->outputlinked();
        f.page->updatelimitview(0);
        s.clearframes();
    }

    QByteArray modelrecords()
    {
        f.dev->packprogram();
        QByteArray out;
        for (int k = 0; k < 12 * kImageLimiterStride; ++k)
            out.append(char(f.dev->getwriteimagebyte(kImageLimiter + k)));
        return out;
    }
    QByteArray standinrecords() const { return image().mid(kImageLimiter, 12 * kImageLimiterStride); }

private slots:
    void initTestCase() { QVERIFY2(openline(), qPrintable(s.errorstring())); }
    void cleanupTestCase() { closeline(); }
    void init()
    {
        f.setup(1);
        gMainApp->setcomctrl(&ctrl);
        f.dev->setcomconnected(1);
        download(hex("010204080102040810204080"));
    }
    void cleanup() { f.teardown(); }

    void frames_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<QVector<int>>("values"); // knee, threshold, ratio, attack, release
        QTest::addColumn<QString>("frame");
        // OUT3: knee 2, threshold 291 = 0x0123, ratio 4, attack 3000 = 0x0bb8, release 10;
        // checksum (01+30+08+12+02+23+01+04+b8+0b+0a) & 0x7f = 0x42.
        QTest::newRow("OUT3") << 6 << QVector<int>{2, 291, 4, 3000, 10}
                              << "112233180130081202230104b80b0a42445566";
        // IN-B: knee 6, threshold 254 = 0x00fe, ratio 9, attack 50 = 0x0032, release 199 = 0xc7;
        // checksum 576 & 0xff & 0x7f = 0x40.
        QTest::newRow("IN-B") << 1 << QVector<int>{6, 254, 9, 50, 199}
                              << "112233180130080106fe00093200c740445566";
    }
    void frames()
    {
        QFETCH(int, ch);
        QFETCH(QVector<int>, values);
        QFETCH(QString, frame);
        f.combo(ch)->setCurrentIndex(values[0]);
        f.slider(ch, kThreshold)->setValue(values[1]);
        f.slider(ch, kRatio)->setValue(values[2]);
        f.slider(ch, kAttack)->setValue(values[3]);
        f.slider(ch, kRelease)->setValue(values[4]);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        QCOMPARE(sent(), ::frames(qPrintable(frame.remove(' '))));
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
    }

    // A number typed key by key, then Return, into a channel of the records
    // above: beyond its row's range it gives the nearest end, whatever its
    // length; a text that is no number sends nothing and the entry shows the
    // value again.
    void typedlimits_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("frame"); // empty: nothing sent
        QTest::addColumn<QString>("text");  // the entry after
        QTest::newRow("OUT3 threshold 25: the top") << 6 << kThreshold << "25"
                                                    << "112233180130081202900104b80b0a2f445566"
                                                    << "20.0dBu";
        QTest::newRow("OUT3 threshold -45: the bottom") << 6 << kThreshold << "-45"
                                                        << "112233180130081202000004b80b0a1e445566"
                                                        << "-20.0dBu";
        QTest::newRow("OUT3 attack 10") << 6 << kAttack << "10"
                                        << "11223318013008120223010432000a31445566"
                                        << "50ms";
        QTest::newRow("OUT3 attack 20 digits") << 6 << kAttack << "99999999999999999999"
                                               << "11223318013008120223010470170a06445566"
                                               << "6000ms";
        QTest::newRow("OUT3 release 20") << 6 << kRelease << "20"
                                         << "112233180130081202230104b80b0139445566"
                                         << "100ms";
        QTest::newRow("OUT3 release 99999") << 6 << kRelease << "99999"
                                            << "112233180130081202230104b80bc77f445566"
                                            << "10000ms";
        QTest::newRow("IN-B threshold -45: the bottom") << 1 << kThreshold << "-45"
                                                        << "1122331801300801060000093200c742445566"
                                                        << "-20.0dBu";
        QTest::newRow("IN-B threshold 200: the top") << 1 << kThreshold << "200"
                                                     << "112233180130080106ff00093200c741445566"
                                                     << "107.5dBu";
        QTest::newRow("IN-B attack 9000") << 1 << kAttack << "9000"
                                          << "112233180130080106fe00097017c715445566"
                                          << "6000ms";
        QTest::newRow("OUT3 threshold not a number") << 6 << kThreshold << "-"
                                                     << ""
                                                     << "9.1dBu";
    }
    void typedlimits()
    {
        QFETCH(int, ch);
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(QString, frame);
        QFETCH(QString, text);
        // The records of the frames above: OUT3 knee 2, threshold 291, ratio 4,
        // attack 3000, release 10; IN-B knee 6, threshold 254, ratio 9,
        // attack 50, release 199.
        const bool out = ch >= kOut1;
        f.combo(ch)->setCurrentIndex(out ? 2 : 6);
        f.slider(ch, kThreshold)->setValue(out ? 291 : 254);
        f.slider(ch, kRatio)->setValue(out ? 4 : 9);
        f.slider(ch, kAttack)->setValue(out ? 3000 : 50);
        f.slider(ch, kRelease)->setValue(out ? 10 : 199);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        sent();
        f.showactive();
        typedkeys::typekeys(f.edit(ch, row), keys);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        QCOMPARE(sent(), ::frames(qPrintable(frame)));
        QCOMPARE(f.edit(ch, row)->text(), text);
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
    }

    // Fewer than four changes wait for the fifth tick, four go at the next;
    // one frame per changed channel, ascending.
    void timing()
    {
        throttle()->stop();
        for (int k = 0; k < 5; ++k)
            f.page->timetosend(); // a clean start: nothing pending, the tick count reset
        QTest::mouseClick(f.step(5, kRelease, true), Qt::LeftButton); // OUT2
        QTest::mouseClick(f.step(4, kAttack, true), Qt::LeftButton);  // OUT1
        QTest::mouseClick(f.step(0, kRatio, true), Qt::LeftButton);   // IN-A
        for (int k = 0; k < 4; ++k)
            f.page->timetosend();
        QCOMPARE(sent(), QVector<QByteArray>());
        f.page->timetosend();
        const QVector<QByteArray> out = sent();
        QCOMPARE(out.size(), 3);
        QCOMPARE(out[0].mid(7, 1), hex("00"));
        QCOMPARE(out[1].mid(7, 1), hex("10"));
        QCOMPARE(out[2].mid(7, 1), hex("11"));
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());

        for (int k = 0; k < 4; ++k)
            QTest::mouseClick(f.step(11, kThreshold, false), Qt::LeftButton);
        f.page->timetosend();
        QCOMPARE(sent().size(), 1);
        QCOMPARE(f.page->getpendingcount(), 0);
        // With the timer running, a single change goes out by itself.
        throttle()->start();
        QTest::mouseClick(f.step(9, kThreshold, false), Qt::LeftButton);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        QCOMPARE(sent().size(), 1);
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
    }

    void silence()
    {
        throttle()->stop();
        gMainApp->limitloading = 1;
        QTest::mouseClick(f.step(4, kAttack, true), Qt::LeftButton);
        for (int k = 0; k < 6; ++k)
            f.page->timetosend();
        QCOMPARE(sent(), QVector<QByteArray>());
        gMainApp->limitloading = 0;

        // A reload that changes every control sends nothing either.
        s.update(unit, [](standin::UnitState &u) {
            for (int ch = 0; ch < 12; ++ch)
                u.image[kImageLimiter + 7 * ch + 4] = char(100 + ch);
        });
        for (int k = 0; k < kProgramImageSize; ++k)
            f.dev->setcurimagebyte(k, quint8(image()[k]));
        f.dev->unpackprogram();
        throttle()->start();
        f.page->updatelimitview(0);
        QTest::qWait(400);
        QCOMPARE(sent(), QVector<QByteArray>());
        QCOMPARE(f.slider(11, kAttack)->value(), 111);

        f.dev->setcomconnected(0);
        QTest::mouseClick(f.step(7, kAttack, true), Qt::LeftButton);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        f.dev->setcomconnected(1);
        QCOMPARE(sent(), QVector<QByteArray>());
        QCOMPARE(f.dev->getlimitattack(7), 108); // kept in the model
    }

    void linked()
    {
        f.showactive();
        download(hex("01020408 0192040892204092"));
        QLineEdit *entry = f.edit(8, kThreshold); // OUT5
        entry->setFocus();
        entry->setText(QStringLiteral("5.3"));
        QTest::keyClick(entry, Qt::Key_Return);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        // OUT8: knee 0, threshold 253 = 0x00fd, ratio 2, attack 50, release 1;
        // checksum (01+30+08+17+00+fd+00+02+32+00+01) = 0x182 & 0x7f = 0x02.
        QCOMPARE(sent(), ::frames("112233180130081700fd000232000102445566"));
        for (int ch : {5, 8, 11}) {
            QCOMPARE(f.edit(ch, kThreshold)->text(), QStringLiteral("5.3dBu"));
            QCOMPARE(f.dev->getlimitthreshold(ch), 253);
        }
        QVERIFY(f.select(11)->isChecked());
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());

        // The knee of a linked input group, and a slider dragged with the focus.
        download(hex("03030408 0102040810204080"));
        f.combo(1)->setCurrentIndex(4);
        f.slider(0, kRelease)->setFocus();
        f.slider(0, kRelease)->setValue(40);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        const QVector<QByteArray> out = sent();
        QVERIFY(!out.isEmpty());
        for (const QByteArray &frame : out)
            QVERIFY(frame.mid(7, 1) == hex("00") || frame.mid(7, 1) == hex("01"));
        QCOMPARE(f.slider(1, kRelease)->value(), 40);
        QCOMPARE(f.combo(0)->currentIndex(), 4);
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
    }

    // Masks from a program file or a processor: a mask without its own bit
    // links nothing, and a group whose highest member's mask names another
    // group goes out for the edited channel; the processor then changes what
    // the page changed.
    void processorgroups_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("code");           // channel code of the one frame
        QTest::addColumn<QList<int>>("changed"); // channels whose attack changed
        const QByteArray noown = hex("06060608 0102040810204080");
        QTest::newRow("IN-A, mask without its own bit") << noown << 0 << 0x00 << QList<int>{0};
        QTest::newRow("IN-B, group of IN-B and IN-C") << noown << 1 << 0x02 << QList<int>{1, 2};
        QTest::newRow("IN-A, IN-B's group is another")
            << hex("03060408 0102040810204080") << 0 << 0x00 << QList<int>{0, 1};
        QTest::newRow("OUT1, mask without its own bit")
            << hex("01020408 0602040810204080") << 4 << 0x10 << QList<int>{4};
    }
    void processorgroups()
    {
        QFETCH(QByteArray, masks);
        QFETCH(int, ch);
        QFETCH(int, code);
        QFETCH(QList<int>, changed);
        download(masks);
        int before[12];
        for (int c = 0; c < 12; ++c)
            before[c] = f.dev->getlimitattack(c);
        QTest::mouseClick(f.step(ch, kAttack, true), Qt::LeftButton);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        const QVector<QByteArray> out = sent();
        QCOMPARE(out.size(), 1);
        QCOMPARE(int(quint8(out[0].at(7))), code);
        for (int c = 0; c < 12; ++c) {
            QCOMPARE(f.dev->getlimitattack(c), before[c] + (changed.contains(c) ? 1 : 0));
            QCOMPARE(f.slider(c, kAttack)->value(), f.dev->getlimitattack(c));
        }
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
    }

    // The top member of a group the link dialog makes: the knee goes out on
    // the member its partners' handlers leave selected, a slider on the top
    // member itself; either frame reaches the same group.
    void topmember_data()
    {
        QTest::addColumn<int>("control"); // -1 the knee, else the row whose up button is clicked
        QTest::addColumn<QString>("frame");
        // IN-B's record with knee 5: 05, 0x0020, 02, 0x0064, 06;
        // checksum (01+30+08+01+05+20+00+02+64+00+06) = 0xcb & 0x7f = 0x4b.
        QTest::newRow("knee of IN-C") << -1
                                      << "112233180130080105200002640006"
                                         "4b445566";
        // IN-C's record with attack 0x65; checksum 0xda & 0x7f = 0x5a.
        QTest::newRow("attack of IN-C") << kAttack
                                        << "112233180130080200300003650007"
                                           "5a445566";
    }
    void topmember()
    {
        QFETCH(int, control);
        QFETCH(QString, frame);
        download(hex("07070708 0102040810204080"), [](QByteArray &im) {
            im.replace(kImageLimiter, 21,
                       hex("00100001640005"
                           "00200002640006"
                           "00300003640007"));
        });
        QVERIFY(gMainApp->inputlinkon);
        if (control < 0)
            f.combo(2)->setCurrentIndex(5);
        else
            QTest::mouseClick(f.step(2, control, true), Qt::LeftButton);
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        QCOMPARE(sent(), ::frames(qPrintable(frame)));
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
        for (int ch = 0; ch < 3; ++ch)
            QCOMPARE(f.dev->getlimitknee(ch), control < 0 ? 5 : 0);
    }

    void modelequalsprocessor_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<quint32>("seed");
        const QByteArray none = hex("010204080102040810204080");
        const QByteArray groups = hex("05020508 0b0b040b30304080");
        const QByteArray wide = hex("0f0f0f0f 0f0f0f0ff0f0f0f0");
        for (quint32 seed = 1; seed <= 3; ++seed) {
            QTest::addRow("unlinked, seed %u", seed) << none << seed;
            QTest::addRow("groups, seed %u", seed) << groups << seed;
        }
        QTest::addRow("wide groups, seed 7") << wide << quint32(7);
        // Asymmetric masks, some without their own bit.
        for (quint32 seed = 8; seed <= 11; ++seed)
            QTest::addRow("random masks, seed %u", seed) << randommasks(seed) << seed;
    }
    void modelequalsprocessor()
    {
        QFETCH(QByteArray, masks);
        QFETCH(quint32, seed);
        f.showactive();
        download(masks);
        QRandomGenerator rng(seed);
        for (int step = 0; step < 60; ++step) {
            const int ch = rng.bounded(12);
            const int row = rng.bounded(4);
            QSlider *slider = f.slider(ch, row);
            switch (rng.bounded(5)) {
            case 0: // a drag: the slider takes the focus
                slider->setFocus();
                slider->setValue(slider->minimum() + rng.bounded(slider->maximum() - slider->minimum() + 1));
                break;
            case 1:
                QTest::mouseClick(f.step(ch, row, rng.bounded(2) == 1), Qt::LeftButton);
                break;
            case 2: {
                if (row == kRatio)
                    break;
                QLineEdit *entry = f.edit(ch, row);
                entry->setFocus();
                entry->setText(QString::number(rng.bounded(-30, 12000)));
                QTest::keyClick(entry, Qt::Key_Return);
                break;
            }
            case 3:
                f.combo(ch)->setCurrentIndex(rng.bounded(7));
                break;
            default:
                slider->setFocus();
                QTest::keyClick(slider, rng.bounded(2) ? Qt::Key_PageUp : Qt::Key_Left);
                break;
            }
            if (rng.bounded(6) == 0)
                QTest::qWait(rng.bounded(80));
        }
        QTRY_COMPARE(f.page->getpendingcount(), 0);
        sent();
        QCOMPARE(standinrecords().toHex(), modelrecords().toHex());
        QCOMPARE(image().mid(kImageLinkMask, 12), masks);
        // Every row shows its channel's model (a value beyond a row's range
        // as the range's end).
        for (int ch = 0; ch < 12; ++ch) {
            const int held[4] = {f.dev->getlimitattack(ch), f.dev->getlimitrelease(ch),
                                 f.dev->getlimitratio(ch), f.dev->getlimitthreshold(ch)};
            for (int row = 0; row < 4; ++row) {
                const QSlider *slider = f.slider(ch, row);
                QCOMPARE(slider->value(), qBound(slider->minimum(), held[row], slider->maximum()));
            }
            QCOMPARE(f.combo(ch)->currentIndex(), f.dev->getlimitknee(ch));
        }
    }

    void mainpagesummaries()
    {
        FormMainView main;
        connect(f.page.get(), &FormLimit::updatelimitvalues, &main, &FormMainView::updatelimitvalues);
        download(hex("010204080102040810204080"), [](QByteArray &im) {
            const auto put = [&](int ch, const char *record) {
                im.replace(kImageLimiter + 7 * ch, 7, hex(record));
            };
            put(5, "01fd0002320001");  // OUT2: hard knee, 253 = 5.3 dB
            put(10, "05050002320001"); // OUT7: soft knee, 5 (the form's own slider value) = -19.5 dB
            put(4, "00fd0002320001");  // OUT1: knee off
        });
        const auto text = [&](const char *name) { return main.findChild<QLabel *>(name)->text(); };
        QCOMPARE(text("label_limit5"), QStringLiteral("5.3dB"));
        QCOMPARE(text("label_limit10"), QStringLiteral("-19.5dB"));
        QCOMPARE(text("label_limit4"), QStringLiteral("off"));
        QCOMPARE(sent(), QVector<QByteArray>());
    }
};

QTEST_MAIN(TstFormLimitStandin)
#include "tst_formlimit_standin.moc"
