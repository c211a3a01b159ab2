// The main control page against the processor stand-in on a pseudo-terminal
// (frames worked by hand for type 0x18, address 1). With DSP_SNAPSHOT_DIR set,
// the page is saved as PNGs.

#include "formmainview.h"
#include "lookcheck.h"
#include "overviewfixture.h"
#include "programfile.h"
#include "standin.h"
#include "standinlink.h"

#include <QApplication>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString kSkin = QStringLiteral("background-image:url(:/buttons/skin/%1);");
const QByteArray kOwnMasks = hex("010204080102040810204080");

} // namespace

class TstFormMainViewStandin : public QObject, public StandinLink
{
    Q_OBJECT
    OverviewFixture f;

private slots:
    void initTestCase() { QVERIFY2(openline(), qPrintable(s.errorstring())); }
    void cleanupTestCase() { closeline(); }
    // A connected device whose model is the stand-in's image, gains at 0 dB.
    void init()
    {
        f.setup(1);
        gMainApp->setcomctrl(&ctrl);
        s.update(unit, [](standin::UnitState &u) { u.image = standin::poweronimagefor(); });
        OverviewFixture::setimagebytes(f.dev, 0, image());
        for (int ch = 0; ch < 12; ++ch) {
            f.dev->setgain(ch, 400);
            f.dev->setmute(ch, 0);
        }
        f.dev->setcomconnected(1);
        s.clearframes();
    }
    void cleanup() { f.teardown(); }

    void mutes_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("links"); // input-link flag + 2 * output-link flag
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QStringList>("skins"); // button, then its style sheet after
        // IN-A muted in the model alone: only a full refresh re-skins its
        // button, which otherwise keeps the form's own sheet.
        const QByteArray ina = hex("010000000000000000000000");
        const QStringList untouched{"btninmute1", "color: rgb(255, 255, 255);"};
        QTest::newRow("IN-B, not linked")
            << "btninmute1_3" << 1 << 3 << kOwnMasks << ina << true << "112233180150040101900168445566"
            << hex("010100000000000000000000")
            << untouched + QStringList{"btninmute1_3", "inputbackmute01.png"};
        QTest::newRow("IN-B, input links off")
            << "btninmute1_3" << 1 << 2 << hex("0106060801020408102040ff") << ina << true
            << "112233180150040101900168445566" << hex("010100000000000000000000") << untouched;
        QTest::newRow("OUT1 linked to OUT3")
            << "btnoutmute" << 4 << 2 << hex("010204080502050810204080") << ina << true
            << "112233180150041001900177445566" << hex("010000000100010000000000")
            << QStringList{"btnoutmute_3", "outbackmute01.png", "btninmute1", "inputbackmute01.png"};
        QTest::newRow("no link") << "btninmute1" << 0 << 3 << kOwnMasks << QByteArray(12, 0) << false << ""
                                 << ina << QStringList{"btninmute1", "inputbackmute01.png"};
    }
    void mutes()
    {
        QFETCH(QString, button);
        QFETCH(int, ch);
        QFETCH(int, links);
        QFETCH(QByteArray, masks);
        QFETCH(QByteArray, before);
        QFETCH(bool, link);
        QFETCH(QString, frame);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, skins);
        OverviewFixture::setimagebytes(f.dev, kImageLinkMask, masks);
        for (int c = 0; c < 12; ++c)
            f.dev->setmute(c, before[c]);
        gMainApp->inputlinkon = links & 1;
        gMainApp->outputlinkon = links >> 1;
        f.dev->setcomconnected(link);
        const QByteArray start = image();

        f.click(button);

        QCOMPARE(sent(), frames(qPrintable(frame)));
        QByteArray mutes;
        for (int c = 0; c < 12; ++c)
            mutes.append(char(f.dev->getmute(c)));
        QCOMPARE(mutes.toHex(), after.toHex());
        for (int k = 0; k + 1 < skins.size(); k += 2)
            QCOMPARE(f.button(skins[k])->styleSheet(),
                     skins[k + 1].endsWith(".png") ? kSkin.arg(skins[k + 1]) : skins[k + 1]);
        // The processor holds the clicked channel's new state and nothing else.
        for (int c = 0; c < 12; ++c)
            QCOMPARE(image()[kImageGain + 3 * c], (link && c == ch) ? after[c] : start[kImageGain + 3 * c]);
    }

    void switches_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("output");
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("OUT2 off, linked to OUT4")
            << "btnlimitinon_2" << 1 << hex("01020408 010a040a 10204080") << hex("0001000100000000") << true
            << "11223318015202110066445566" << hex("0000000000000000");
        // A flag byte of 2 shows its switch unchecked.
        QTest::newRow("OUT1 on, not linked")
            << "btnlimitinon" << 0 << kOwnMasks << hex("0002000000000000") << true
            << "11223318015202100166445566" << hex("0102000000000000");
        QTest::newRow("no link") << "btnlimiton_8" << 7 << kOwnMasks << QByteArray(8, 0) << false << ""
                                 << hex("0000000000000001");
        // Offline the partners follow in the model all the same: a program
        // saved now holds the whole group's switch.
        QTest::newRow("no link, OUT7 on, linked to OUT5 and OUT8")
            << "btnlimiton_7" << 6 << hex("01020408 01020408 d020d0d0") << QByteArray(8, 0) << false << ""
            << hex("0000000001000101");
        QTest::newRow("no link, OUT2 off, linked to OUT4")
            << "btnlimitinon_2" << 1 << hex("01020408 010a040a 10204080") << hex("0101010101010101") << false
            << "" << hex("0100010001010101");
    }
    void switches()
    {
        QFETCH(QString, button);
        QFETCH(int, output);
        QFETCH(QByteArray, masks);
        QFETCH(QByteArray, before);
        QFETCH(bool, link);
        QFETCH(QString, frame);
        QFETCH(QByteArray, after);
        OverviewFixture::setimagebytes(f.dev, kImageLinkMask, masks);
        for (int o = 0; o < 8; ++o)
            f.dev->setoutflag(o, before[o]);
        gMainApp->outputlinkon = 1;
        f.dev->setcomconnected(link);
        f.page->updatemainview(0);

        f.click(button);

        QCOMPARE(sent(), frames(qPrintable(frame)));
        for (int pass = 0; pass < 2; ++pass) {
            for (int o = 0; o < 8; ++o) {
                const QString name = o == 0 ? QStringLiteral("btnlimitinon")
                                            : QString(o < 4 ? "btnlimitinon_%1" : "btnlimiton_%1").arg(o + 1);
                QCOMPARE(f.dev->getoutflag(o), int(after[o]));
                QCOMPARE(f.button(name)->isChecked(), after.at(o) == 1);
            }
            f.page->updatephasebtns(); // a later refresh shows the same
        }
        if (link)
            QCOMPARE(image().at(kImageOutSwitch + output), after.at(output));
        // A program file saved from the model holds every switch as shown.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("switches.K91"));
        QCOMPARE(saveprogramfile(path, *f.dev), ProgramFileStatus::Ok);
        QByteArray saved;
        QCOMPARE(readprogramfile(path, saved), ProgramFileStatus::Ok);
        QCOMPARE(saved.mid(kImageOutSwitch, 8).toHex(), after.toHex());
    }

    // Routing clicks in turn on one page: the label as shown changes, one
    // command per click with the output's whole routing byte, and the
    // stand-in's routing follows; a download of it shows the same again.
    void routing()
    {
        s.update(unit, [](standin::UnitState &u) { u.image[kImageRouting] = 0x08; });
        OverviewFixture::setimagebytes(f.dev, kImageRouting, hex("08"));
        f.page->updatemainview(0);
        QCOMPARE(f.label("labelout1")->text(), QStringLiteral("A   "));
        const struct {
            const char *button, *label, *text, *frame;
        } steps[] = {
            {"btnoutA", "labelout1", "Off", "11223318015302100066445566"},
            {"btnoutC_3", "labelout3", "  C ", "1122331801530212026a445566"},
            {"btnoutB_2", "labelout2", " B  ", "1122331801530211046b445566"},
            {"btnoutB_2", "labelout2", "Off", "11223318015302110067445566"},
            {"btnoutD_8", "labelout8", "   D", "1122331801530217016e445566"},
            {"btnoutA_4", "labelout4", "A   ", ""}, // without a link: model and display only
        };
        for (const auto &step : steps) {
            f.dev->setcomconnected(*step.frame != 0);
            f.click(step.button);
            QCOMPARE(f.label(step.label)->text(), QString(step.text));
            QCOMPARE(sent(), frames(step.frame));
        }
        QCOMPARE(image().mid(kImageRouting, 8).toHex(), QByteArray("0000020000000001"));
        QCOMPARE(f.dev->getroutebyte(3), 0x08);

        // A download of the processor's routing, with IN-A added to OUT8 there.
        s.update(unit, [](standin::UnitState &u) { u.image[kImageRouting + 7] = 0x09; });
        OverviewFixture::setimagebytes(f.dev, 0, image());
        f.page->updatemainview(0);
        const QStringList texts{"    ", "    ", "  C ", "    ", "    ", "    ", "    ", "A  D"};
        for (int o = 0; o < 8; ++o)
            QCOMPARE(f.label(QStringLiteral("labelout%1").arg(o + 1))->text(), texts[o]);
        QCOMPARE(f.button("btnoutC_3")->styleSheet(), kSkin.arg("outbackC.png"));
        QCOMPARE(f.button("btnoutA_8")->styleSheet(), kSkin.arg("outbackA.png"));
        QCOMPARE(f.button("btnoutD_8")->styleSheet(), kSkin.arg("outbackD.png"));
        QCOMPARE(f.button("btnoutA_4")->styleSheet(),
                 QString("background-image:none;color: rgb(255, 255, 255);"));
    }

    // The page as the user sees it, connected, in both languages, locked and not.
    void look_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("lock");
        QTest::newRow("en") << 0 << 0 << 0;
        QTest::newRow("zh_type20_lock3") << 1 << 2 << 3;
    }
    void look()
    {
        QFETCH(int, language);
        QFETCH(int, view);
        QFETCH(int, lock);
        QFile file(language ? ":/style/style_chs.txt" : ":/style/style.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
        const auto restyle = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        gGlobalContrl->setlanguage(language);
        f.dev->setlocktype(lock);
        OverviewFixture::setimagebytes(f.dev, kImageRouting, hex("0804020f00000c09"));
        for (int ch = 0; ch < 12; ++ch) {
            gMainApp->setgaincache(ch, -12.5f + 2.5f * ch);
            gMainApp->setdelaycache(ch, 0.25f * ch * ch);
            gMainApp->setthresholdcache(ch, 150 + 10 * ch);
            f.dev->setlimitknee(ch, ch % 3);
            f.dev->setmute(ch, ch == 1 || ch == 6);
            f.dev->setpeqbypassall(ch, ch == 2 || ch == 9);
            f.dev->setoutflag(ch % 8, ch % 2);
            f.dev->setpeaklimiton(ch % 8, ch >= 4);
            f.dev->setpeaklimitvalue(ch % 8, 380 - 20 * ch);
        }
        f.page->resize(919, 605);
        f.page->show();
        gGlobalContrl->emitlanguage();
        f.page->updatemainview(view);
        for (int ch = 0; ch < 12; ++ch) {
            f.page->updategainvalues(ch);
            f.page->updatedelayvalues(ch);
            f.page->updatelimitvalues(ch);
            f.page->updatelimitvalues2(ch);
        }
        QCOMPARE(f.label("label_limit6")->text(), language ? QStringLiteral("关") : QStringLiteral("off"));
        // Every strip of the view with its values, whole; the mute skins in
        // the language; the routing letters of each output.
        const char *const gains[12] = {"label_gaina",    "label_gainb",    "label_gainc",
                                       "label_gaind",    "label_gainout1", "label_gainout2",
                                       "label_gainout3", "label_gainout4", "label_gainout5",
                                       "label_gainout6", "label_gainout7", "label_gainout8"};
        const char *const mutes[12] = {"btninmute1",   "btninmute1_3", "btninmute1_4", "btninmute1_5",
                                       "btnoutmute",   "btnoutmute_2", "btnoutmute_3", "btnoutmute_4",
                                       "btnoutmute_5", "btnoutmute_6", "btnoutmute_7", "btnoutmute_8"};
        const char *const letters[8] = {"A   ", " B  ", "  C ", "ABCD", "    ", "    ", "AB  ", "A  D"};
        const bool hidden[3][12] = {
            {}, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1}, {0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1}};
        for (int ch = 0; ch < 12; ++ch) {
            QLabel *gain = f.label(gains[ch]);
            QLabel *delay = f.label(QStringLiteral("label_delay%1").arg(ch + 1));
            QPushButton *mute = f.button(mutes[ch]);
            if (hidden[view][ch]) {
                QVERIFY2(!gain->isVisible(), gains[ch]);
                continue;
            }
            QCOMPARE(gain->text(), QStringLiteral("%1dB").arg(-12.5 + 2.5 * ch, 0, 'f', 1));
            QCOMPARE(delay->text(), QStringLiteral("%1ms").arg(0.25 * ch * ch, 0, 'f', 2));
            const bool muted = ch == 1 || ch == 6;
            QVERIFY2(mute->styleSheet().endsWith(QLatin1String(muted ? "mute01" : "mute") +
                                                 QLatin1String(language ? "_chs.png);" : ".png);")),
                     qPrintable(mute->styleSheet()));
            for (QWidget *w : {static_cast<QWidget *>(gain), static_cast<QWidget *>(delay),
                               static_cast<QWidget *>(mute)}) {
                const QString problem = lookcheck::unseen(f.page.get(), w);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
        }
        for (int o = 0; o < 8; ++o) {
            if (hidden[view][4 + o])
                continue;
            QCOMPARE(f.label(QStringLiteral("labelout%1").arg(o + 1))->text(), QLatin1String(letters[o]));
        }
        const QImage shot = f.page->grab().toImage();
        const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QStringLiteral("%1/mainview_%2.png").arg(dir, QTest::currentDataTag())));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TstFormMainViewStandin)
#include "tst_formmainview_standin.moc"
