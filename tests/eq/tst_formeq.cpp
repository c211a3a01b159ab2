// The EQ page and its band panel driven through their widgets: typed entries
// per field, focus and keys, curve drags, corner ordering, the FIR window
// lists, channel layouts per device type, and the reload, type, language and
// link rules that keep what is shown, stored and sent the same.

#include "ccurvewidget.h"
#include "eqfixture.h"
#include "eqpagefixture.h"
#include "formeqdraw.h"
#include "formfir.h"
#include "formphase.h"
#include "globalcontrl.h"

#include <QDoubleSpinBox>

using namespace gdtest;
using namespace eqtest;

class TstFormEq : public QObject
{
    Q_OBJECT
    Fixture f;
    std::unique_ptr<Pages> p;

    DeviceData *dev() const { return f.dev; }
    QLineEdit *fieldof(const QString &name) const
    {
        if (QLineEdit *e = p->bands->findChild<QLineEdit *>(name))
            return e;
        return p->eq->findChild<QLineEdit *>(name);
    }
    QSlider *sliderof(const QString &name) const { return p->eq->findChild<QSlider *>(name); }

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }
    void init()
    {
        f.setup();
        knownrecords(f, "00780000 c800"); // hp 120, lp 200
        p.reset(new Pages);
        p->create();
        QVERIFY(p->show());
    }
    void cleanup()
    {
        p.reset();
        f.teardown();
    }

    // Typed text, Return: the slider's value, and the field shows it again.
    void typed_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        auto row = [](const char *tag, int ch, const char *field, const char *slider, const char *text, int value,
                      const char *shown) {
            QTest::newRow(tag) << ch << field << slider << text << value << shown;
        };
        // Band frequency: the typed value less 0.005, nearest grid index.
        row("freq 990.5", 1, "Editeqfreq_2", "sldreqfreq_2", "990.5", 237, "981.0");
        row("freq 990.51", 1, "Editeqfreq_2", "sldreqfreq_2", "990.51", 238, "1000.0");
        row("freq 30000", 1, "Editeqfreq_2", "sldreqfreq_2", "30000", 398, "21900.0");
        row("freq 5 (range)", 1, "Editeqfreq_2", "sldreqfreq_2", "5", 35, "19.7");
        row("freq no number", 1, "Editeqfreq_2", "sldreqfreq_2", "1k", 238, "1000.0");
        // Band gain: tenths truncated toward zero, clamped to -30..+15 dB.
        row("gain -2.55", 1, "Editeqgain_2", "sldreqgain_2", "-2.55", 275, "-2.5");
        row("gain 1.05", 1, "Editeqgain_2", "sldreqgain_2", "1.05", 310, "1.0");
        row("gain 20", 1, "Editeqgain_2", "sldreqgain_2", "20", 450, "15.0");
        row("gain -40", 1, "Editeqgain_2", "sldreqgain_2", "-40", 0, "-30.0");
        row("gain no number", 1, "Editeqgain_2", "sldreqgain_2", "", 300, "0.0");
        // Band width: nearest table index of the value as typed.
        row("width 0.5", 1, "Editeqq_2", "sldreqq_2", "0.5", 14, "0.500");
        row("width 0.02", 1, "Editeqq_2", "sldreqq_2", "0.02", 1, "0.020");
        row("width 0.033", 1, "Editeqq_2", "sldreqq_2", "0.033", 3, "0.033");
        row("width no number", 1, "Editeqq_2", "sldreqq_2", "wide", 14, "0.500");
        // IIR corners (stored high-pass 120, low-pass 200).
        row("hp 1000 above lp", 5, "Editeqfreqhigh", "sldreqfreqhigh", "1000", 199, "472.0");
        row("hp 100", 5, "Editeqfreqhigh", "sldreqfreqhigh", "100", 118, "99.0");
        row("lp 30000", 5, "Editeqfreqlow", "sldreqfreqlow", "30000", 398, "21900.0");
        row("lp no number", 5, "Editeqfreqlow", "sldreqfreqlow", "-", 200, "481.0");
        // FIR corners (band-pass 210 and 350).
        row("fir hp 1000", 6, "Editeqfirfreqhigh", "sldreqfirhigh", "1000", 238, "1000.0");
        row("fir lp 30000", 6, "Editeqfirfreqlow", "sldreqfirlow", "30000", 398, "21900.0");
        row("fir hp no number", 6, "Editeqfirfreqhigh", "sldreqfirhigh", "x", 210, "583.0");
    }
    void typed()
    {
        QFETCH(int, channel);
        QFETCH(QString, field);
        QFETCH(QString, slider);
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(QString, shown);
        // Only outputs have the FIR switch; OUT2 in FIR mode.
        if (channel >= 5)
            dev()->setfirflag(channel - 5, channel == 6);
        p->select(channel);
        QSlider *s = p->bands->findChild<QSlider *>(slider);
        if (!s)
            s = sliderof(slider);
        enter(fieldof(field), text);
        QCOMPARE(s->value(), value);
        QCOMPARE(fieldof(field)->text(), shown);
    }

    // The FIR controls' diagnostic lines on the debug output, in order: the
    // type on entering FIR mode ("v:"), the high corner's index ("index:")
    // and value ("sldreqfreqhigh:"), with its place for band-pass ("y:" ..
    // "x:" Hz), and the order chosen ("fir:"). Nothing is written for a list
    // changed without the user.
    void firdiagnostics_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("FIR mode entered")
            << 0 << QStringList{"v: 3", "sldreqfreqhigh: 210", "y: 210 x: 583"}; // the corner shown
        QTest::newRow("band-pass corner typed")
            << 1 << QStringList{"index: 238", "sldreqfreqhigh: 238", "y: 238 x: 1000"};
        QTest::newRow("band-pass corner above the other")
            << 2 << QStringList{"sldreqfreqhigh: 360", "sldreqfreqhigh: 349", "y: 349 x: 8480"};
        QTest::newRow("high-pass corner") << 3 << QStringList{"sldreqfreqhigh: 220"};
        QTest::newRow("order chosen") << 4 << QStringList{"fir: 2"};
        QTest::newRow("order set without the user") << 5 << QStringList{};
    }
    void firdiagnostics()
    {
        QFETCH(int, step);
        QFETCH(QStringList, lines);
        dev()->setfirflag(1, step != 0);
        p->select(6);
        if (step == 3)
            p->pick(p->ui->cbxFirFlat, 1);
        static QStringList captured;
        captured.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
                static const QStringList words = {"v:", "sldreqfreqhigh:", "y:", "index:", "fir:"};
                if (type == QtDebugMsg && words.contains(text.section(QLatin1Char(' '), 0, 0)))
                    captured << text;
            });
        switch (step) {
        case 0:
            p->ui->comboBox_ir->setCurrentIndex(1);
            break;
        case 1:
            enter(fieldof("Editeqfirfreqhigh"), "1000");
            break;
        case 2:
            p->ui->sldreqfirhigh->setValue(360);
            break;
        case 3:
            p->ui->sldreqfirhigh->setValue(220);
            break;
        case 4:
            p->pick(p->ui->cbxFirorder, 2);
            break;
        case 5:
            p->ui->eqbtnout2->setFocus();
            p->ui->cbxFirorder->setCurrentIndex(2);
            break;
        }
        qInstallMessageHandler(previous);
        QCOMPARE(captured, lines);
    }

    // The page's gain box: a typed dB value, limited to the gain range.
    void gainbox()
    {
        p->select(3);
        auto *box = p->ui->eq_lineEdit;
        enter(box, "-12.3");
        QCOMPARE(p->ui->vlSliderGain_1->value(), 277);
        QCOMPARE(dev()->getgain(2), 277); // stored by the gain page
        enter(box, "5", p->ui->eqbtnup);
        QCOMPARE(p->ui->vlSliderGain_1->value(), 277);
        QCOMPARE(box->value(), -12.3);
    }

    // A field left without Return shows the slider's value again.
    void leftwithoutreturn()
    {
        p->select(1);
        enter(fieldof("Editeqgain_3"), "9", fieldof("Editeqfreq"));
        QCOMPARE(p->band<QSlider>("sldreqgain", 2)->value(), 300);
        QCOMPARE(fieldof("Editeqgain_3")->text(), QStringLiteral("0.0"));
        QCOMPARE(p->bands->pendingframes(), 0);
    }

    // Up and Down step the focused field's slider; without a focused field
    // nothing moves.
    void keys()
    {
        p->select(5);
        fieldof("Editeqgain_3")->setFocus();
        QTest::keyClick(fieldof("Editeqgain_3"), Qt::Key_Up);
        QCOMPARE(p->band<QSlider>("sldreqgain", 2)->value(), 301);
        QTest::keyClick(fieldof("Editeqgain_3"), Qt::Key_Down);
        QTest::keyClick(fieldof("Editeqgain_3"), Qt::Key_Down);
        QCOMPARE(dev()->getpeqgain(4, 2), 299);
        p->ui->Editeqfreqhigh->setFocus();
        QTest::keyClick(p->ui->Editeqfreqhigh, Qt::Key_Down);
        QCOMPARE(dev()->gethpffreq(0), 119);
        p->ui->eqbtnina->setFocus();
        QTest::keyClick(p->eq, Qt::Key_Up);
        QTest::keyClick(p->bands, Qt::Key_Up);
        QTest::keyClick(p->eq, Qt::Key_Escape);
        QCOMPARE(dev()->gethpffreq(0), 119);
        QVERIFY(p->eq->isVisible());
    }

    // A band dragged on the curve: frequency and gain follow, one band checked.
    void curvedrag()
    {
        dev()->setpeqfreq(0, 1, 150);
        p->select(1);
        CCurveWidget *curve = p->ui->widgetdraw->curve();
        const QPoint start(curve->bandpoint(1).getx(), curve->bandpoint(1).gety());
        EqFixture::press(curve, start);
        EqFixture::move(curve, QPointF(start.x() + 40, 0));
        EqFixture::release(curve, QPointF(start.x() + 40, 0));
        QCOMPARE(dev()->getpeqgain(0, 1), 450);
        QVERIFY(dev()->getpeqfreq(0, 1) > 150);
        QCOMPARE(p->band<QSlider>("sldreqfreq", 1)->value(), dev()->getpeqfreq(0, 1));
        for (int b = 0; b < 7; ++b)
            QCOMPARE(p->band<QPushButton>("btn1eqbtn", b)->isChecked(), b == 1);
        QCOMPARE(p->bands->pendingframes(), 1);
        // Values from outside the plot's ranges change nothing.
        p->bands->btnschangegainvalue(1, 399, 75);
        p->bands->btnschangegainvalue(7, 100, 75);
        p->bands->btnschangegainvalue(1, 100, 226);
        QCOMPARE(dev()->getpeqgain(0, 1), 450);
        QCOMPARE(p->bands->pendingframes(), 1);
    }

    // The high-pass corner stays below the low-pass corner; the refused value
    // is not stored. The same for the band-pass FIR corners.
    void cornerorder()
    {
        p->select(5);
        p->ui->sldreqfreqhigh->setValue(250);
        QCOMPARE(p->ui->sldreqfreqhigh->value(), 199);
        QCOMPARE(dev()->gethpffreq(0), 199);
        p->ui->sldreqfreqhigh->setValue(200); // equal corners are refused too
        QCOMPARE(p->ui->sldreqfreqhigh->value(), 199);
        QCOMPARE(dev()->gethpffreq(0), 199);
        dev()->sethpffreq(0, 120);
        p->ui->sldreqfreqlow->setValue(100);
        QCOMPARE(p->ui->sldreqfreqlow->value(), 121);
        QCOMPARE(dev()->getlpffreq(0), 121);
        p->ui->sldreqfreqlow->setValue(120);
        QCOMPARE(p->ui->sldreqfreqlow->value(), 121);
        QCOMPARE(dev()->getlpffreq(0), 121);
        p->ui->sldreqfirhigh->setValue(360);
        QCOMPARE(p->ui->sldreqfirhigh->value(), 349);
        QCOMPARE(dev()->getfirlowparam(0), 349);
        QCOMPARE(dev()->getfirlowfreq(0), 200);
        p->ui->sldreqfirlow->setValue(300);
        QCOMPARE(dev()->getfirhighparam(0), 350); // 300 is below 349
        QCOMPARE(p->ui->sldreqfirlow->value(), 350);
    }

    // The window list per FIR type, and what entering a type shows and stores.
    void firwindows_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("param1");
        QTest::addColumn<int>("names");
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("stored1");
        QTest::newRow("HP with Hamming") << 1 << 6 << 2 << "HammingWin" << 6;
        QTest::newRow("HP with Hann stores Rectangular") << 1 << 3 << 2 << "RectangularWin" << 2;
        QTest::newRow("LP") << 2 << 3 << 11 << "BartlettWin" << 3;
        QTest::newRow("FLAT") << 0 << 4 << 11 << "BohmanWin" << 4;
    }
    void firwindows()
    {
        QFETCH(int, type);
        QFETCH(int, param1);
        QFETCH(int, names);
        QFETCH(QString, current);
        QFETCH(int, stored1);
        dev()->setfirparam1(1, param1);
        dev()->setfirparam2(1, 0);
        dev()->setfirflag(1, 1);
        p->select(6);
        QVERIFY(!p->ui->widget_fir->isHidden());
        p->pick(p->ui->cbxFirFlat, type);
        QCOMPARE(dev()->getxobyte0(1), type);
        QCOMPARE(p->ui->cbxFirWindows->count(), names);
        QCOMPARE(p->ui->cbxFirWindows->currentText(), current);
        QCOMPARE(dev()->getfirparam1(1), stored1);
        QCOMPARE(dev()->getfirparam2(1), 0);
        QCOMPARE(dev()->getfirparam3(1), 2);
        QCOMPARE(p->eq->pendingitems(), 1);
        QCOMPARE(p->ui->sldreqfirhigh->isEnabled(), type == 1);
        QCOMPARE(p->ui->sldreqfirlow->isEnabled(), type == 2);
    }

    // Entering band-pass FIR with a window byte the list does not offer
    // stores the window shown and counts a FIR change.
    void firentrywindow()
    {
        dev()->setfirflag(2, 0);
        dev()->setfirparam3(2, 9);
        p->select(7);
        p->ui->comboBox_ir->setCurrentIndex(1);
        QCOMPARE(p->ui->cbxFirWindows->currentText(), QStringLiteral("RectangularWin"));
        QCOMPARE(dev()->getfirparam3(2), 2);
        QCOMPARE(p->eq->pendingitems(), 1);
        // The FIR lists take only a user's choice: the list has the focus.
        p->ui->eqbtnout3->setFocus();
        p->ui->cbxFirorder->setCurrentIndex(2);
        QCOMPARE(dev()->getfirorder(2), 1);
        p->pick(p->ui->cbxFirorder, 0);
        QCOMPARE(dev()->getfirorder(2), 0);
    }

    // Layouts per channel class and device type.
    void layouts_data()
    {
        QTest::addColumn<int>("devtype");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("outputs");
        QTest::addColumn<bool>("view");
        QTest::addColumn<bool>("view2");
        QTest::addColumn<QRect>("panel");
        QTest::addColumn<int>("bands");
        QTest::newRow("24 IN-B") << 0x18 << 2 << false << false << false << QRect(0, 0, 748, 208) << 4;
        QTest::newRow("24 OUT1") << 0x18 << 5 << true << false << true << QRect(0, 0, 748, 260) << 5;
        QTest::newRow("22 IN-A") << 0x16 << 1 << false << true << false << QRect(0, 0, 748, 500) << 7;
        QTest::newRow("22 OUT1") << 0x16 << 5 << true << true << false << QRect(0, 0, 748, 500) << 7;
        QTest::newRow("20 OUT4") << 0x14 << 8 << true << true << false << QRect(0, 0, 748, 500) << 7;
    }
    // A band point picked on the curve scrolls the band panel to its row
    // where the panel has more bands than it shows at once.
    void curvepick_data()
    {
        QTest::addColumn<int>("devtype");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("band");
        QTest::addColumn<QRect>("panel");
        QTest::newRow("22 IN-A band 7") << 0x16 << 1 << 6 << QRect(0, -208, 748, 500);
        QTest::newRow("22 OUT1 band 3") << 0x16 << 5 << 2 << QRect(0, -104, 748, 500);
        QTest::newRow("22 OUT1 band 2") << 0x16 << 5 << 1 << QRect(0, 0, 748, 500);
        QTest::newRow("20 OUT4 band 5") << 0x14 << 8 << 4 << QRect(0, -208, 748, 500);
        QTest::newRow("24 OUT1 band 4") << 0x18 << 5 << 3 << QRect(0, -104, 748, 260);
        QTest::newRow("24 IN-B band 4, all shown") << 0x18 << 2 << 3 << QRect(0, 0, 748, 208);
    }
    void curvepick()
    {
        QFETCH(int, devtype);
        QFETCH(int, n);
        QFETCH(int, band);
        QFETCH(QRect, panel);
        gMainApp->setdevtype(uchar(devtype));
        p->eq->updatepeqview(devtype == 0x18 ? 0 : devtype == 0x16 ? 1 : 2);
        p->select(n);
        // From the other end of the panel first.
        emit p->ui->widgetdraw->btnschanged(band < 3 ? 6 : 0);
        emit p->ui->widgetdraw->btnschanged(band);
        QCOMPARE(p->bands->geometry(), panel);
    }

    void layouts()
    {
        QFETCH(int, devtype);
        QFETCH(int, n);
        QFETCH(bool, outputs);
        QFETCH(bool, view);
        QFETCH(bool, view2);
        QFETCH(QRect, panel);
        QFETCH(int, bands);
        gMainApp->setdevtype(uchar(devtype));
        p->eq->updatepeqview(devtype == 0x18 ? 0 : devtype == 0x16 ? 1 : 2);
        p->select(n);
        QCOMPARE(p->eq->getchannel(), n - 1);
        QCOMPARE(!p->ui->widgetoutaa->isHidden(), outputs);
        QCOMPARE(!p->ui->vlSlidereqview->isHidden(), view);
        QCOMPARE(!p->ui->vlSlidereqview_2->isHidden(), view2);
        QCOMPARE(p->bands->geometry(), panel);
        for (int b = 0; b < 7; ++b)
            QCOMPARE(!p->bands->findChild<QWidget *>(suffix("widgeteq", b))->isHidden(), b < bands);
        QCOMPARE(p->ui->cbxHPFSlopehigh->count(), devtype == 0x18 ? 10 : 13);
        // The channels the device type has: 4 inputs and 8 outputs, 3 and 6,
        // or 2 and 4.
        const int inputs = devtype == 0x18 ? 4 : devtype == 0x16 ? 3 : 2;
        const int outputs8 = devtype == 0x18 ? 8 : devtype == 0x16 ? 6 : 4;
        const QStringList names{"eqbtnina",  "eqbtninb",  "eqbtninc",  "eqbtnind",  "eqbtnout1", "eqbtnout2",
                                "eqbtnout3", "eqbtnout4", "eqbtnout5", "eqbtnout6", "eqbtnout7", "eqbtnout8"};
        for (int ch = 0; ch < 12; ++ch)
            QVERIFY2(!p->eq->findChild<QWidget *>(names[ch])->isHidden() ==
                         (ch < 4 ? ch < inputs : ch - 4 < outputs8),
                     qPrintable(names[ch]));
    }

    // A channel outside 1..12 changes nothing.
    void selectrange()
    {
        p->select(6);
        for (int n : {0, 13, -1}) {
            p->eq->selectchannel(n);
            QCOMPARE(p->eq->getchannel(), 5);
            QCOMPARE(gMainApp->getpeqchannel(), 5);
            QCOMPARE(gMainApp->peqloading, uchar(0));
        }
    }

    // Showing a channel stores nothing back and copies nothing to partners.
    void reloadstoresnothing()
    {
        f.setimage(kImageLinkMask, hex("03030408 03030408 10204080"));
        gMainApp->inputlinkon = gMainApp->outputlinkon = 1;
        f.setimage(bandoffset(0, 2), bandslot(3, 40, 320, 3)); // high shelf below its range
        f.setimage(bandoffset(1, 2), bandslot(0, 100, 200, 20));
        dev()->sethpftype(1, 7);
        const QByteArray before = f.packed();
        for (int n : {2, 1, 6, 5, 1})
            p->select(n);
        QCOMPARE(p->band<QSlider>("sldreqfreq", 2)->value(), 65);
        QCOMPARE(f.packed().toHex(), before.toHex());
        QCOMPARE(p->bands->pendingframes(), 0);
        QCOMPARE(p->eq->pendingitems(), 0);
    }

    // A change made during a reload's wait is neither lost nor sent before
    // the reload ends.
    void reloadkeepsedits()
    {
        QTimer::singleShot(5, p->eq, [this] {
            p->band<QPushButton>("btnupeqgain", 0)->click();
            p->ticks(5);
        });
        p->select(3);
        QCOMPARE(dev()->getpeqgain(2, 0), 301);
        QCOMPARE(f.sent(), QVector<QByteArray>());
        p->ticks(5);
        QCOMPARE(f.sent(0x20).size(), 1);
    }

    // A stored type shows in its box, the all-pass too; a type above 5
    // selects nothing and keeps its byte.
    void unknowntype_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::newRow("all-pass") << 0x05 << 5;
        QTest::newRow("high shelf 12 dB") << 0x04 << 4;
        QTest::newRow("type 9") << 0x89 << -1;
    }
    void unknowntype()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        f.setimage(bandoffset(3, 4), bandslot(type, 238, 300, 14));
        p->select(4);
        QCOMPARE(p->band<QComboBox>("cbxHPFSlope", 4)->currentIndex(), index);
        QCOMPARE(dev()->getpeqtypebyte(3, 4), type);
        QCOMPARE(p->bands->pendingframes(), 0);
    }

    // A user's type choice counts one change even when its defaults move no
    // slider. Band 4 of IN-C: the model's default All Pass band is band 1 of
    // every channel.
    void typecounts()
    {
        f.setimage(bandoffset(2, 3), bandslot(0x80, 118, 300, 1));
        p->select(3);
        QCOMPARE(dev()->getbandslope(2), 0);
        p->band<QComboBox>("cbxHPFSlope", 3)->setCurrentIndex(1);
        QCOMPARE(dev()->getpeqtypebyte(2, 3), 0x81);
        QCOMPARE(p->bands->pendingframes(), 1);
        QCOMPARE(p->band<QLineEdit>("Editeqq", 3)->text(), QStringLiteral("-------"));
        QVERIFY(!p->band<QSlider>("sldreqq", 3)->isEnabled());
        p->band<QComboBox>("cbxHPFSlope", 3)->setCurrentIndex(5);
        QCOMPARE(dev()->getbandslope(2), 3);
        QCOMPARE(dev()->getbandslope(0), 0);
        QVERIFY(p->bands->phasepanel()->isVisible());
        QCOMPARE(p->band<QLineEdit>("Editeqgain", 3)->text(), QStringLiteral("-------"));
    }

    // The FIR panel shows only while the page is shown and its output is in
    // FIR mode; a close request keeps it closed through reloads until a FIR
    // control is used or its condition ends and arises again.
    void firpanel()
    {
        QWidget *panel = p->eq->firpanel();
        dev()->setfirflag(1, 1);
        p->eq->hide();
        gMainApp->setpeqchannel(5);
        p->eq->updatepeqview(0); // a download while the page is hidden
        QVERIFY(panel->isHidden());
        p->eq->show();
        QVERIFY(!panel->isHidden());
        QVERIFY(panel->close());
        p->eq->updatepeqview(0);
        p->select(6);
        QVERIFY(panel->isHidden());
        p->pick(p->ui->cbxFirorder, 2);
        QVERIFY(!panel->isHidden());
        p->ui->comboBox_ir->setCurrentIndex(0);
        QVERIFY(panel->isHidden());
        p->ui->comboBox_ir->setCurrentIndex(1);
        QVERIFY(!panel->isHidden());
        QVERIFY(panel->close());
        p->select(2); // an input: the condition ends
        p->select(6);
        QVERIFY(!panel->isHidden());
        p->eq->hide();
        QVERIFY(panel->isHidden());
    }

    // The phase panel shows only while the page is shown and a band shown is
    // All Pass; a close request keeps it closed through reloads until an All
    // Pass band is chosen or selected again.
    void phasepanel()
    {
        QWidget *panel = p->bands->phasepanel();
        p->select(1);
        QComboBox *type = p->band<QComboBox>("cbxHPFSlope", 1);
        type->setCurrentIndex(5);
        QVERIFY(!panel->isHidden());
        type->setCurrentIndex(0);
        QVERIFY(panel->isHidden());
        type->setCurrentIndex(5);
        p->eq->hide();
        QVERIFY(panel->isHidden());
        p->eq->show();
        QVERIFY(!panel->isHidden());
        QVERIFY(panel->close());
        p->select(1);
        QVERIFY(panel->isHidden());
        p->band<QPushButton>("btn1eqbtn", 1)->click();
        QVERIFY(!panel->isHidden());
        p->select(2);
        QVERIFY(panel->isHidden());
        p->select(1);
        QVERIFY(!panel->isHidden());
        // A band the device type does not show on the channel counts not.
        f.setimage(bandoffset(1, 6), bandslot(5, 238, 300, 0));
        p->select(2);
        QVERIFY(panel->isHidden());
    }

    // FIR corner copies: only with output linking on, only the word of the
    // type edited, never out of a partner's band-pass order.
    void fircornerlinks_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("partnerhigh");
        QTest::addColumn<int>("lowparam");
        QTest::newRow("off") << false << 350 << 210;
        QTest::newRow("on") << true << 350 << 220;
        QTest::newRow("on, partner out of order") << true << 215 << 210;
        QTest::newRow("on, partner's high corner equal") << true << 220 << 210;
    }
    void fircornerlinks()
    {
        QFETCH(bool, on);
        QFETCH(int, partnerhigh);
        QFETCH(int, lowparam);
        f.setimage(kImageLinkMask, hex("01020408 03030408 10204080"));
        gMainApp->outputlinkon = on;
        dev()->setfirhighparam(1, partnerhigh);
        p->select(5);
        p->ui->sldreqfirhigh->setValue(220);
        QCOMPARE(dev()->getfirlowparam(0), 220);
        QCOMPARE(dev()->getfirlowparam(1), lowparam);
        QCOMPARE(dev()->getfirlowfreq(1), 200);
        QCOMPARE(dev()->getfirhighparam(1), partnerhigh);
    }

    // A language switch refills the lists fully and shows the stored values
    // again, counting nothing.
    void language()
    {
        gMainApp->setdevtype(0x16);
        dev()->sethpftype(3, 12);
        dev()->setlpftype(3, 11);
        dev()->setxobyte0(3, 2);
        p->eq->updatepeqview(1);
        p->select(8);
        for (int lang : {1, 0}) {
            gGlobalContrl->setlanguage(lang);
            emit gGlobalContrl->refreshLangangeState();
            QCOMPARE(p->ui->cbxHPFSlopehigh->count(), 13);
            QCOMPARE(p->ui->cbxHPFSlopehigh->currentIndex(), 12);
            QCOMPARE(p->ui->cbxHPFSlopelow->currentIndex(), 11);
            QCOMPARE(p->ui->cbxFirFlat->currentIndex(), 2);
        }
        QCOMPARE(p->ui->cbxHPFSlopehigh->currentText(), QStringLiteral("Lnk/Ril 48"));
        QCOMPARE(p->eq->pendingitems(), 0);
        p->eq->updatepeqview(0);
        QCOMPARE(p->ui->cbxHPFSlopehigh->count(), 10);
        QCOMPARE(p->ui->cbxHPFSlopehigh->currentIndex(), -1);
        QCOMPARE(dev()->gethpftype(3), 12);
    }

    // Lock overlays: shown for lock states 1 and 3 while connected; the controls
    // under them take no input.
    void lock_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("shown");
        QTest::newRow("3") << 3 << true << true;
        QTest::newRow("1") << 1 << true << true;
        QTest::newRow("2") << 2 << true << false;
        QTest::newRow("3 offline") << 3 << false << false;
    }
    void lock()
    {
        QFETCH(int, state);
        QFETCH(bool, connected);
        QFETCH(bool, shown);
        dev()->setlocktype(state);
        dev()->setcomconnected(connected);
        p->eq->updatepeqlock();
        QCOMPARE(!p->ui->widgetpeqlockback->isHidden(), shown);
        QCOMPARE(!p->ui->widgetpeqlockback_2->isHidden(), shown);
        for (QWidget *w : {p->ui->widgeteqbtns, p->ui->widgetoutaa, p->ui->widgeteqgain})
            QCOMPARE(w->isEnabled(), !shown);
        QVERIFY(p->ui->eqbtnout1->isEnabled());
    }
};

QTEST_MAIN(TstFormEq)
#include "tst_formeq.moc"
