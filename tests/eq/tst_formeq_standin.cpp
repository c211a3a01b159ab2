// The EQ page against the processor stand-in, driven through its widgets:
// frames against hand-worked bytes (type 0x18, address 1), throttles, links,
// and model equals processor over random edits. With DSP_SNAPSHOT_DIR set, the
// page is saved as PNGs; DSP_SNAPSHOT_HOLD keeps it on screen.

#include "eqpagefixture.h"
#include "lookcheck.h"

#include "formfir.h"
#include "formphase.h"
#include "globalcontrl.h"
#include "typedkeys.h"

#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <functional>

using namespace gdtest;
using namespace eqtest;

using PagesAction = std::function<void(Pages &)>;
Q_DECLARE_METATYPE(PagesAction)

class TstFormEqStandin : public QObject
{
    Q_OBJECT
    Fixture f;
    std::unique_ptr<Pages> p;

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }
    void init()
    {
        f.setup();
        knownrecords(f, "00230000 8e01"); // high-pass FLAT at 35, low-pass FLAT at 398
        p.reset(new Pages);
        p->create();
        p->gain->updatenewdata();
        QVERIFY(p->show());
        f.sent();
    }
    void cleanup()
    {
        p.reset();
        f.teardown();
    }

    void frames_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<PagesAction>("action");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("H_shelf 12dB defaults, OUT2 band 3")
            << 6 << PagesAction([](Pages &p) { p.band<QComboBox>("cbxHPFSlope", 2)->setCurrentIndex(4); })
            << hex("2008 1102 04 6601 2c01 24");
        QTest::newRow("all-pass value in place of the gain, IN-B band 1") << 2 << PagesAction([](Pages &p) {
            gMainApp->getcurdevice()->setpeqallpass(1, 0, 0x123);
            p.band<QComboBox>("cbxHPFSlope", 0)->setCurrentIndex(5);
        }) << hex("2008 0100 05 ee00 2301 28");
        QTest::newRow("bypass, IN-A band 2")
            << 1 << PagesAction([](Pages &p) { p.band<QPushButton>("btneqbypass", 1)->click(); })
            << hex("2008 0001 80 ee00 2c01 1a");
        QTest::newRow("gain +3 dB and width 1 octave, OUT8 band 7") << 12 << PagesAction([](Pages &p) {
            p.band<QSlider>("sldreqgain", 6)->setValue(330);
            p.band<QSlider>("sldreqq", 6)->setValue(17);
        }) << hex("2008 1706 00 ee00 4a01 17");
        QTest::newRow("high-pass slope, OUT3")
            << 7 << PagesAction([](Pages &p) { p.ui->cbxHPFSlopehigh->setCurrentIndex(5); })
            << hex("2305 1200 05 2300");
        QTest::newRow("low-pass corner, OUT3")
            << 7 << PagesAction([](Pages &p) { p.ui->sldreqfreqlow->setValue(300); }) << hex("2305 1201 00 2c01");
        QTest::newRow("FIR mode, band-pass record, OUT4")
            << 8 << PagesAction([](Pages &p) { p.ui->comboBox_ir->setCurrentIndex(1); })
            << hex("2408 1303 02 81 d200 5e01");
        QTest::newRow("FIR mode and order, OUT4") << 8 << PagesAction([](Pages &p) {
            p.ui->comboBox_ir->setCurrentIndex(1);
            p.pick(p.ui->cbxFirorder, 2);
        }) << hex("2408 1303 02 82 d200 5e01");
        QTest::newRow("EQ gain strip through the gain page, OUT1")
            << 5 << PagesAction([](Pages &p) { p.ui->eqbtnup->click(); }) << hex("5004 1000 9101");
    }
    void frames()
    {
        QFETCH(int, channel);
        QFETCH(PagesAction, action);
        QFETCH(QByteArray, expected);
        f.setgain(channel - 1, 400);
        p->gain->updatenewdata();
        p->select(channel);
        f.sent();
        action(*p);
        p->ticks(5);
        const QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), 1);
        QCOMPARE(body(got.first()).toHex(' '), expected.toHex(' '));
    }

    // A number typed key by key, then Return, into the gain strip, a band's
    // fields or a crossover corner (in FIR mode too): beyond the range it
    // gives the nearest end, digits beyond the gain's tenths go toward zero;
    // a text that is no number sends nothing and the field shows its value
    // again.
    void typedlimits_data()
    {
        QTest::addColumn<int>("channel"); // 1..12
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("fir"); // band-pass FIR mode chosen first
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("expected"); // empty: nothing sent
        QTest::addColumn<QString>("text");        // the field's text after
        QTest::newRow("gain strip -45, OUT1")
            << 5 << "eq_lineEdit" << false << "-45" << hex("5004 1000 0000") << "-40.0";
        QTest::newRow("gain strip 13, IN-A")
            << 1 << "eq_lineEdit" << false << "13" << hex("5004 0000 0802") << "12.0";
        QTest::newRow("gain strip -12.36, OUT8")
            << 12 << "eq_lineEdit" << false << "-12.36" << hex("5004 1700 1501") << "-12.3";
        QTest::newRow("gain strip not a number, IN-C")
            << 3 << "eq_lineEdit" << false << "x" << QByteArray() << "0.0";
        QTest::newRow("band 1 gain -45, IN-B")
            << 2 << "Editeqgain" << false << "-45" << hex("2008 0100 00 ee00 0000 1a") << "-30.0";
        QTest::newRow("band 4 gain 20, OUT3")
            << 7 << "Editeqgain_4" << false << "20" << hex("2008 1203 00 ee00 c201 1a") << "15.0";
        QTest::newRow("band 2 frequency 5 Hz, IN-A")
            << 1 << "Editeqfreq_2" << false << "5" << hex("2008 0001 00 2300 2c01 1a") << "19.7";
        QTest::newRow("band 7 frequency 99999 Hz, OUT4")
            << 8 << "Editeqfreq_7" << false << "99999" << hex("2008 1306 00 8e01 2c01 1a") << "21900.0";
        QTest::newRow("band 6 frequency not a number, OUT2")
            << 6 << "Editeqfreq_6" << false << "1k" << QByteArray() << "1000.0";
        QTest::newRow("band 3 width 9 octaves, OUT5")
            << 9 << "Editeqq_3" << false << "9" << hex("2008 1402 00 ee00 2c01 00") << "4.750";
        QTest::newRow("band 5 width -1, IN-D")
            << 4 << "Editeqq_5" << false << "-1" << hex("2008 0304 00 ee00 2c01 28") << "0.017";
        QTest::newRow("high-pass corner 99999 Hz, OUT3")
            << 7 << "Editeqfreqhigh" << false << "99999" << hex("2305 1200 00 8d01") << "21400.0";
        QTest::newRow("low-pass corner 5 Hz, OUT6")
            << 10 << "Editeqfreqlow" << false << "5" << hex("2305 1501 00 2400") << "20.1";
        QTest::newRow("FIR high-pass corner 5 Hz, OUT4")
            << 8 << "Editeqfirfreqhigh" << true << "5" << hex("2408 1303 02 81 be00 5e01") << "397.0";
        QTest::newRow("FIR low-pass corner 99999 Hz, OUT4")
            << 8 << "Editeqfirfreqlow" << true << "99999" << hex("2408 1303 02 81 d200 8e01") << "21900.0";
    }
    void typedlimits()
    {
        QFETCH(int, channel);
        QFETCH(QString, field);
        QFETCH(bool, fir);
        QFETCH(QString, keys);
        QFETCH(QByteArray, expected);
        QFETCH(QString, text);
        f.setgain(channel - 1, 400);
        p->gain->updatenewdata();
        p->select(channel);
        if (fir) {
            p->ui->comboBox_ir->setCurrentIndex(1);
            p->ticks(5);
            // The FIR panel comes up and may take the activation.
            QTest::qWait(50);
            p->refocus();
        }
        f.sent();
        QWidget *w = p->eq->findChild<QWidget *>(field);
        QVERIFY2(w, qPrintable(field));
        typedkeys::typekeys(w, keys);
        p->ticks(5);
        const QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), expected.isEmpty() ? 0 : 1);
        if (!expected.isEmpty())
            QCOMPARE(body(got.first()).toHex(' '), expected.toHex(' '));
        const auto *spin = qobject_cast<QAbstractSpinBox *>(w);
        QCOMPARE(spin ? spin->text() : static_cast<QLineEdit *>(w)->text(), text);
        QCOMPARE(f.image().toHex(), f.packed().toHex());
    }

    // A shelf band's width entry shows "-------" and takes nothing: neither
    // typing nor arrow keys store or send a width. A PEQ band's does.
    void shelfwidth_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<PagesAction>("edit");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QByteArray>("expected");
        const PagesAction typed([](Pages &p) {
            QLineEdit *e = p.band<QLineEdit>("Editeqq", 2);
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, "1.0");
            QTest::keyClick(e, Qt::Key_Return);
        });
        const PagesAction set([](Pages &p) { enter(p.band<QLineEdit>("Editeqq", 2), "1.0"); });
        const PagesAction up([](Pages &p) {
            p.band<QLineEdit>("Editeqq", 2)->setFocus();
            QTest::keyClick(p.band<QLineEdit>("Editeqq", 2), Qt::Key_Up);
        });
        QTest::newRow("H_shelf 6dB, typed 1.0") << 3 << 3 << typed << 3 << QByteArray();
        QTest::newRow("H_shelf 6dB, text set, Return") << 3 << 3 << set << 3 << QByteArray();
        QTest::newRow("L_shelf 12dB, Up") << 2 << 2 << up << 2 << QByteArray();
        QTest::newRow("PEQ, typed 1.0") << 0 << 14 << typed << 17 << hex("2008 1102 00 6601 2c01 17");
        QTest::newRow("PEQ, Up") << 0 << 14 << up << 15 << hex("2008 1102 00 6601 2c01 19");
    }
    void shelfwidth()
    {
        QFETCH(int, type);
        QFETCH(int, width);
        QFETCH(PagesAction, edit);
        QFETCH(int, stored);
        QFETCH(QByteArray, expected);
        f.setimage(bandoffset(5, 2), bandslot(type, 358, 300, width));
        p->select(6);
        f.sent();
        QCOMPARE(p->band<QLineEdit>("Editeqq", 2)->isReadOnly(), type != 0);
        edit(*p);
        p->ticks(5);
        QCOMPARE(f.dev->getpeqwidth(5, 2), stored);
        const QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), expected.isEmpty() ? 0 : 1);
        if (!expected.isEmpty())
            QCOMPARE(body(got.first()).toHex(' '), expected.toHex(' '));
        else
            QCOMPARE(p->band<QLineEdit>("Editeqq", 2)->text(), QStringLiteral("-------"));
    }

    // An output reloaded in high-pass or band-pass FIR mode with a window its
    // list does not offer: the list shows the stored window, which the next
    // FIR frame sends; choosing a listed window sends that one.
    void firreloadwindow_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("HP, Bartlett") << 1 << 0 << "BartlettWin" << hex("2408 12 01 00 82");
        QTest::newRow("BP, Hann") << 3 << 3 << "HannWin" << hex("2408 12 03 03 82");
        QTest::newRow("HP, Hamming") << 1 << 6 << "HammingWin" << hex("2408 12 01 06 82");
        QTest::newRow("BP, no window") << 3 << 12 << "" << hex("2408 12 03 0c 82");
    }
    void firreloadwindow()
    {
        QFETCH(int, type);
        QFETCH(int, window);
        QFETCH(QString, shown);
        QFETCH(QByteArray, expected);
        DeviceData *d = f.dev;
        d->setfirflag(2, 1);
        d->setxobyte0(2, type);
        type == 1 ? d->setfirparam1(2, window) : d->setfirparam3(2, window);
        p->select(7);
        QCOMPARE(p->ui->cbxFirWindows->currentText(), shown);
        QCOMPARE(p->eq->pendingitems(), 0);
        p->pick(p->ui->cbxFirorder, 2);
        p->ticks(5);
        QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), 1);
        QCOMPARE(body(got.first()).left(6).toHex(' '), expected.toHex(' '));
        p->pick(p->ui->cbxFirWindows, 0);
        QCOMPARE(p->ui->cbxFirWindows->count(), 2);
        QCOMPARE(p->ui->cbxFirWindows->currentText(), QStringLiteral("RectangularWin"));
        p->ticks(5);
        got = f.sent();
        QCOMPARE(got.size(), 1);
        QCOMPARE(int(quint8(body(got.first()).at(4))), 2);
    }

    // The gain strip and mute show the record whenever the page is shown: a
    // -10 dB change and a mute on the gain page meanwhile, then one "up" on
    // the strip sends -9.9 dB, muted.
    void gainstripfollows()
    {
        f.setgain(4, 400);
        p->gain->updatenewdata();
        p->select(5);
        p->eq->hide();
        p->gain->findChild<QSlider *>(QStringLiteral("vlSliderGain_5"))->setValue(300);
        p->gain->findChild<QPushButton *>(QStringLiteral("btngainm_5"))->click();
        p->ticks(5);
        QCOMPARE(f.dev->getgain(4), 300);
        QVERIFY(f.dev->getmute(4));
        f.sent();
        p->eq->show();
        QCOMPARE(p->ui->vlSliderGain_1->value(), 300);
        QCOMPARE(p->ui->eq_btngainm->styleSheet(),
                 QStringLiteral("background-image:url(:/eq/skin/PEQ05.png);"));
        p->ui->eqbtnup->click();
        p->ticks(5);
        const QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), 1);
        QCOMPARE(body(got.first()).toHex(' '), hex("5004 1001 2d01").toHex(' '));
    }

    // Mute and bypass-all go out at once; linked partners change in the model.
    void immediate()
    {
        p->select(5);
        f.sent();
        p->ui->eq_btngainm->click();
        p->ui->btneqbypassall->click();
        const QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), 2);
        QCOMPARE(body(got[0]).left(4).toHex(' '), hex("50041001").toHex(' '));
        QCOMPARE(body(got[1]).toHex(' '), hex("22021001").toHex(' '));
    }

    // One change goes out on the fifth tick; four go out on the next one.
    void timing()
    {
        p->select(1);
        f.sent();
        p->band<QPushButton>("btnupeqgain", 0)->click();
        p->ticks(4);
        QCOMPARE(f.sent().size(), 0);
        p->ticks(1);
        QCOMPARE(f.sent().size(), 1);
        for (int i = 0; i < 4; ++i)
            p->band<QPushButton>("btnupeqgain", 0)->click();
        p->ticks(1);
        QCOMPARE(f.sent().size(), 1);
    }

    // Two bands, two channels, and an output's crossover and FIR changed
    // within one throttle period: every item goes out, ascending.
    void everyitem()
    {
        p->select(6);
        p->band<QPushButton>("btnupeqgain", 4)->click();
        p->band<QPushButton>("btnupeqgain", 1)->click();
        p->ui->cbxHPFSlopelow->setCurrentIndex(2);
        p->ui->sldreqfreqhigh->setValue(100);
        p->ui->comboBox_ir->setCurrentIndex(1);
        p->select(1);
        p->band<QPushButton>("btnupeqgain", 3)->click();
        f.sent();
        p->ticks(5);
        QStringList heads;
        for (const QByteArray &fr : f.sent())
            heads << body(fr).left(5).toHex();
        // The page's throttle ticks before the band panel's.
        QCOMPARE(heads, QStringList({"2305110000", "2305110102", "2408110302", "2008000300", "2008110100",
                                     "2008110400"}));
    }

    // Nothing while loading; the changes stay pending and go out afterwards.
    // Nothing without a link.
    void nothingwhileloading()
    {
        p->select(7);
        f.sent();
        p->band<QPushButton>("btnupeqgain", 0)->click();
        p->ui->btnupeqfreqhigh->click();
        gMainApp->peqloading = 1;
        p->ticks(10);
        gMainApp->peqloading = 0;
        QCOMPARE(f.sent().size(), 1); // the crossover does not wait for the bands' flag
        p->ticks(5);
        QCOMPARE(f.sent().size(), 1);
        // Showing channels sends nothing.
        for (int n = 1; n <= 12; ++n)
            p->select(n);
        p->ticks(10);
        QCOMPARE(f.sent().size(), 0);
        // Without a link the model changes and nothing is sent.
        f.dev->setcomconnected(0);
        p->band<QPushButton>("btnupeqgain", 0)->click();
        p->ui->btnupeqfreqlow->click();
        p->ui->btneqbypassall->click();
        p->ticks(10);
        f.dev->setcomconnected(1);
        QCOMPARE(f.sent().size(), 0);
        QCOMPARE(f.dev->getpeqgain(11, 0), 301);
    }

    // A linked change is written to every member and sent for the page's
    // channel only; unlinked, the partners keep their values.
    void linked_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("linked") << true;
        QTest::newRow("switch off") << false;
    }
    void linked()
    {
        QFETCH(bool, on);
        f.setimage(kImageLinkMask, hex("01020408 0d020d0d 10204080"));
        gMainApp->outputlinkon = on;
        p->select(5);
        f.sent();
        p->band<QSlider>("sldreqfreq", 2)->setValue(300);
        p->ui->sldreqfreqhigh->setValue(50);
        p->ticks(5);
        const QVector<QByteArray> got = f.sent();
        QCOMPARE(got.size(), 2);
        QCOMPARE(quint8(got[0][7]), quint8(0x10));
        for (int ch : {6, 7})
            QCOMPARE(f.dev->getpeqfreq(ch, 2), on ? 300 : 238);
        QCOMPARE(f.dev->getpeqfreq(5, 2), 238);
        QCOMPARE(f.dev->gethpffreq(2), on ? 50 : 35);
    }

    // Model equals processor: random band, bypass, crossover, FIR, gain and
    // mute edits on several channels, linked and not (random masks too:
    // asymmetric, without their own bits).
    void modelequalsprocessor_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<quint32>("seed");
        const QByteArray linked = hex("05020508 13130408 1320c0c0");
        for (quint32 seed : {11u, 12u, 13u})
            QTest::addRow("linked %u", seed) << linked << seed;
        QTest::addRow("unlinked") << kOwnMasks << 14u;
        for (quint32 seed : {15u, 16u, 17u})
            QTest::addRow("random masks %u", seed) << randommasks(seed) << seed;
    }
    void modelequalsprocessor()
    {
        QFETCH(QByteArray, masks);
        QFETCH(quint32, seed);
        f.setimage(kImageLinkMask, masks);
        // Members of a group start alike, as linking leaves them.
        const QByteArray im = f.image();
        for (int ch = 1; ch < 12; ++ch) {
            const int from = ch < 4 ? 0 : 4;
            f.setimage(kImageGain + 3 * ch, im.mid(kImageGain + 3 * from, 3));
            f.setimage(kImagePeq + kImagePeqStride * ch,
                       im.mid(kImagePeq + kImagePeqStride * from, kImagePeqStride));
            f.setimage(kImageBypass + ch, im.mid(kImageBypass + from, 1));
        }
        gMainApp->inputlinkon = f.dev->inputlinked();
        gMainApp->outputlinkon = f.dev->outputlinked();
        p->gain->updatenewdata();
        f.sent();

        QRandomGenerator rng(seed);
        const char *const quantities[3] = {"sldreqfreq", "sldreqgain", "sldreqq"};
        const char *const steps[6] = {"btnupeqfreq",   "btndowneqfreq", "btnupeqgain",
                                      "btndowneqgain", "btnupeqq",      "btndowneqq"};
        for (int step = 0; step < 150; ++step) {
            p->refocus();
            if (step % 12 == 0)
                p->select(1 + rng.bounded(12));
            const int b = rng.bounded(p->eq->getchannel() < 4 ? 4 : 5);
            Ui::FormEq &u = *p->ui;
            switch (rng.bounded(14)) {
            case 0:
                p->band<QSlider>(quantities[rng.bounded(3)], b)->setValue(rng.bounded(451));
                break;
            case 1:
                p->band<QPushButton>(steps[rng.bounded(6)], b)->click();
                break;
            case 2:
                p->band<QComboBox>("cbxHPFSlope", b)->setCurrentIndex(rng.bounded(6));
                break;
            case 3:
                p->band<QPushButton>("btneqbypass", b)->click();
                break;
            case 4:
                u.btneqbypassall->click();
                break;
            case 5:
                enter(p->band<QLineEdit>("Editeqgain", b),
                      QString::number(rng.bounded(450) / 10.0 - 30, 'f', 1));
                break;
            case 6:
                (rng.bounded(2) ? u.sldreqfreqhigh : u.sldreqfreqlow)->setValue(35 + rng.bounded(364));
                break;
            case 7:
                (rng.bounded(2) ? u.cbxHPFSlopehigh : u.cbxHPFSlopelow)->setCurrentIndex(rng.bounded(10));
                break;
            case 8:
                u.comboBox_ir->setCurrentIndex(rng.bounded(2));
                break;
            case 9:
                p->pick(u.cbxFirFlat, rng.bounded(4));
                break;
            case 10:
                (rng.bounded(2) ? u.sldreqfirhigh : u.sldreqfirlow)->setValue(190 + rng.bounded(209));
                break;
            case 11:
                p->pick(rng.bounded(2) ? u.cbxFirWindows : u.cbxFirorder, rng.bounded(2));
                break;
            case 12:
                u.vlSliderGain_1->setValue(rng.bounded(521));
                break;
            default:
                u.eq_btngainm->click();
                break;
            }
            p->ticks(rng.bounded(3));
        }
        p->ticks(5);
        int bandsent = 0, xosent = 0;
        for (const QByteArray &fr : f.sent()) {
            bandsent += fr.at(5) == 0x20;
            xosent += fr.at(5) == 0x23 || fr.at(5) == 0x24;
        }
        QVERIFY(bandsent > 20 && xosent > 10);
        const QByteArray packed = f.packed();
        const QByteArray held = f.image();
        auto region = [&](int from, int to) {
            QCOMPARE(held.mid(from, to - from).toHex(' '), packed.mid(from, to - from).toHex(' '));
        };
        region(kImageGain, kImagePeq);
        region(kImagePeq, kImageGeq);
        region(kImageBypass, kImageDelay);
    }

    // The page as the user sees it: an input, an output in IIR mode, and an
    // output in FIR mode with an all-pass band's phase panel open, in both
    // languages.
    void look_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("mode");
        for (int lang : {0, 1}) {
            const char *l = lang ? "zh" : "en";
            QTest::addRow("%s IN-B", l) << lang << 2 << 0;
            QTest::addRow("%s OUT2 IIR", l) << lang << 6 << 0;
            QTest::addRow("%s OUT3 FIR", l) << lang << 7 << 1;
        }
    }
    void look()
    {
        QFETCH(int, language);
        QFETCH(int, channel);
        QFETCH(int, mode);
        QFile file(language ? ":/style/style_chs.txt" : ":/style/style.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
        const auto restyle = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        gGlobalContrl->setlanguage(language);
        gGlobalContrl->emitlanguage();
        f.setimage(bandoffset(channel - 1, 0), bandslot(0, 150, 390, 10));
        f.setimage(bandoffset(channel - 1, 1), bandslot(3, 340, 220, 3));
        f.setimage(bandoffset(channel - 1, 2), bandslot(5, 260, 300, 0));
        if (channel >= 5) { // an output's FIR record and switch; inputs have none
            f.setimage(kImageFilters + kImageFiltersStride * (channel - 5), hex("05500008 3c01"));
            f.dev->setfirflag(channel - 5, mode);
        }
        p->select(channel);
        p->band<QPushButton>("btn1eqbtn", 2)->click();
        // The texts in the language, each whole where the channel shows it:
        // on every channel (0), on an output's IIR controls (1), on its FIR
        // controls (2); the FIR panel's high- and low-pass captions lie
        // outside it by design and are never seen (3).
        struct Text {
            int where;
            const char *name, *english, *chinese;
        };
        const Text texts[] = {
            {0, "btneqbypassall", "BypassAll", "全直通"},
            {0, "btneqbypass", "ByPass", "直通"},
            {0, "btneqbypass_3", "ByPass", "直通"},
            {0, "cbxHPFSlope_3", "All Pass", "相位开关"},
            {1, "labelhp", "HIGH PASS", "高通"},
            {1, "labellp", "LOW PASS", "低通"},
            {1, "labeltype", "TYPE", "类型"},
            {1, "labelfreq", "FREQUENCY", "频率"},
            {2, "label_filter", "FILTER", "过滤"},
            {2, "label_winfun", "WINDOW FUNCTION", "窗函数"},
            {2, "label_order", "ORDER", "阶数"},
            {3, "label_hp", "HP PASS", "高通"},
            {3, "label_lp", "LP PASS", "低通"},
        };
        for (const Text &t : texts) {
            QWidget *w = p->eq->findChild<QWidget *>(QLatin1String(t.name));
            QVERIFY2(w, t.name);
            const QString expected = QString::fromUtf8(language ? t.chinese : t.english);
            QString shown;
            if (auto *combo = qobject_cast<QComboBox *>(w))
                shown = combo->currentText();
            else if (auto *label = qobject_cast<QLabel *>(w))
                shown = label->text();
            else
                shown = qobject_cast<QAbstractButton *>(w)->text();
            QCOMPARE(shown, expected);
            const bool wanted = t.where == 0 || (channel >= 5 && t.where == 1 + mode);
            if (!wanted)
                continue;
            const QString problem = lookcheck::unseen(p->eq, w);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        // The band panel's three bands with their values and the phase panel
        // of the all-pass band.
        QVERIFY(p->bands->phasepanel()->isVisible());
        QTest::qWait(qEnvironmentVariableIntValue("DSP_SNAPSHOT_HOLD"));
        const QImage shot = p->eq->grab(QRect(0, 0, 1014, 600)).toImage();
        const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        if (!dir.isEmpty()) {
            const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
            QVERIFY(shot.save(QStringLiteral("%1/eq_%2.png").arg(dir, tag)));
            if (mode)
                QVERIFY(p->eq->firpanel()->grab().save(QStringLiteral("%1/eq_%2_fir.png").arg(dir, tag)));
            QVERIFY(p->bands->phasepanel()->grab().save(QStringLiteral("%1/eq_%2_phase.png").arg(dir, tag)));
        }
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TstFormEqStandin)
#include "tst_formeq_standin.moc"
