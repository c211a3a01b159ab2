// The channel link and copy dialogs in the whole window against the processor
// stand-in on a pseudo-terminal: the exact link and copy frames (type 0x18,
// address 1, worked by hand), the 26 part reads that follow, the model equal
// to the processor afterwards with every page reloaded once; the failures
// (no acknowledgement, a reply to another command, a part that never comes, a
// duplicate in place of a missing part, a dead line, a lost link) that keep
// the old model and reload nothing; a second click during a run; random
// groupings and copies that leave model and processor equal. With
// DSP_SNAPSHOT_DIR set, both dialogs are saved as PNGs in both languages for
// every device type, with the screen during a "Set Link".

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "dialogcopy.h"
#include "dialoglink.h"
#include "formtoolbutton.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "programimage.h"
#include "scriptedprompts.h"
#include "standin.h"
#include "startup.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using standin::Fault;

namespace
{
// A processor image whose channels differ, so a copy shows.
QByteArray seededimage()
{
    QByteArray im = standin::factoryimage();
    for (int ch = 0; ch < 12; ++ch) {
        im[standin::img::gain + 3 * ch] = char(ch & 1);            // mute
        im[standin::img::gain + 3 * ch + 1] = char(50 + 13 * ch);  // gain, low byte
        im[standin::img::delay + 3 * ch] = char(11 * ch + 1);      // delay, low byte
        im[standin::img::limiter + 7 * ch + 1] = char(3 * ch + 2); // limiter record byte
    }
    return im;
}

const char *const kLinkBox = "critical|Set Link Failed|please try again";
const char *const kCopyBox = "critical|Copy Data Failed|please try again";
const char *const kReadBox =
    "critical|Load Data|The current program could not be read completely. Please Try Again";
} // namespace

class TstLinkCopyStandin : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    standin::Standin s;
    int line = -1;
    int unit = -1;
    std::unique_ptr<ScriptedPrompts> prompts;

    DeviceData *cur() const { return gMainApp->getcurdevice(); }
    FormToolButton *toolbar() const { return w->toolbarwidget(); }

    QByteArray packed() const
    {
        cur()->packprogram();
        QByteArray out;
        for (int k = 0; k < kProgramImageSize; ++k)
            out.append(char(cur()->getwriteimagebyte(k)));
        return out;
    }
    QByteArray modelmasks() const
    {
        QByteArray out;
        for (int c = 0; c < 12; ++c)
            out.append(char(cur()->getlinkmask(c)));
        return out;
    }
    QVector<standin::FrameRecord> sent(int code) const
    {
        QVector<standin::FrameRecord> out;
        for (const standin::FrameRecord &r : s.commands(unit))
            if (r.command() == code)
                out << r;
        return out;
    }
    QStringList parts() const
    {
        QStringList out;
        for (const standin::FrameRecord &r : sent(0x61))
            out << QString::fromLatin1(r.payload().toHex());
        return out;
    }
    QString boxes() const
    {
        QStringList out;
        for (const ScriptedPrompts::Shown &b : prompts->shown)
            out << b.kind + '|' + b.title + '|' + b.text;
        return out.join('\n');
    }
    static void click(QWidget &d, const QString &name)
    {
        QAbstractButton *b = d.findChild<QAbstractButton *>(name);
        QVERIFY2(b, qPrintable(name));
        b->click();
    }
    // A dialog as the tool bar opens it: its reload request relayed.
    std::unique_ptr<DialogLink> linkdialog()
    {
        std::unique_ptr<DialogLink> d(new DialogLink(toolbar()));
        connect(d.get(), &DialogLink::updataallviews, toolbar(), &FormToolButton::updataallviews);
        d->loadlinkmasks(uchar(cur()->gettype()));
        d->show();
        return d;
    }
    std::unique_ptr<DialogCopy> copydialog()
    {
        std::unique_ptr<DialogCopy> d(new DialogCopy(toolbar()));
        connect(d.get(), &DialogCopy::updataallviews, toolbar(), &FormToolButton::updataallviews);
        d->initcopy(uchar(cur()->gettype()));
        d->show();
        return d;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        QFile ini(QStringLiteral("UserConfig.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nLangue=en\n");
        ini.close();
        w.reset(startmainwindow(4));
        line = s.openpty();
        QVERIFY2(line >= 0, qPrintable(s.errorstring()));
        unit = s.addunit(line, 0x18, 1);
        gComSettings.setportname(s.ptypath(line));
        QVERIFY(gComCtrl.openmaincom());
        w->fileaction(0)->trigger(); // a type-24 device at address 1 in slot 0
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        w->getbntnum(0);
        MainApp::settimescale(0.05);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnExcel")), Qt::LeftButton);
        QCOMPARE(cur()->getcomconnected(), 1);
    }
    void cleanupTestCase()
    {
        w.reset();
        gComCtrl.closemaincom();
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        QDir::setCurrent(QDir::tempPath());
    }
    // Every case starts with the model equal to a processor without links.
    void init()
    {
        MainApp::settimescale(0.05);
        s.clearfaults();
        const QByteArray image = seededimage();
        s.update(unit, [&image](standin::UnitState &u) { u.image = image; });
        for (int k = 0; k < kProgramImageSize; ++k)
            cur()->setcurimagebyte(k, quint8(image[k]));
        cur()->unpackprogram();
        w->startgui();
        QCOMPARE(packed(), s.state(unit).image);
        QCOMPARE(int(gMainApp->inputlinkon), 0);
        s.clearframes();
        prompts.reset(new ScriptedPrompts);
    }
    void cleanup()
    {
        prompts.reset();
        s.clearfaults();
        s.restoreline(line);
        cur()->setcomconnected(1);
        QTest::qWait(30);
        MainApp::settimescale(1);
    }

    // IN-A with IN-B, OUT1..OUT4 in one group, OUT5 with OUT6: one 0x54 with
    // the masks, then parts 0..25 in order; the model holds the processor's
    // masks, every page reloads once and the link switches are on.
    void setlink()
    {
        auto d = linkdialog();
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        std::vector<std::unique_ptr<QSignalSpy>> pages;
        for (auto signal :
             {&MainWindow::updatemainview, &MainWindow::updategainview, &MainWindow::updatedelayview,
              &MainWindow::updategeqview, &MainWindow::updatepeqview, &MainWindow::updatelimitview,
              &MainWindow::updatelimitview2})
            pages.emplace_back(new QSignalSpy(w.get(), signal));
        for (const char *name : {"rblinkb1", "rblinko21", "rblinko31", "rblinko41", "rblinko65"})
            click(*d, QLatin1String(name));
        click(*d, "pushButton_link_2");
        QCOMPARE(sent(0x54).size(), 1);
        // Checksum: 01 + 54 + 0c + the twelve masks = 0x1cf, AND 0x7f = 0x4f.
        QCOMPARE(sent(0x54).first().bytes.toHex(),
                 QByteArray("1122331801540c030304080f0f0f0f303040804f445566"));
        QStringList expected;
        for (int p = 0; p < 26; ++p)
            expected << QStringLiteral("00%1").arg(p, 2, 16, QLatin1Char('0'));
        QCOMPARE(parts(), expected);
        QCOMPARE(s.state(unit).linkmasks().toHex(), QByteArray("030304080f0f0f0f30304080"));
        QCOMPARE(modelmasks(), s.state(unit).linkmasks());
        QCOMPARE(packed(), s.state(unit).image);
        QCOMPARE(relay.count(), 1);
        for (const auto &page : pages)
            QCOMPARE(page->count(), 1);
        QCOMPARE(int(gMainApp->inputlinkon), 1);
        QCOMPARE(int(gMainApp->outputlinkon), 1);
        QCOMPARE(cur()->getdevicename(), QString("Online Data"));
        QCOMPARE(boxes(), QString());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(d->isVisible()); // the dialog stays open
    }

    // A copy: its frame, the processor's copy read back, every page once.
    void copy_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        // Checksums: 01 + 55 + 02 + 02 + 00 = 0x5a; 01 + 55 + 02 + 17 + 10 = 0x7f.
        QTest::newRow("In C onto In A") << QStringList{"rbcopyc", "rbcopya1", "inputcopy"}
                                        << QByteArray("1122331801550202005a445566") << 2 << 0;
        QTest::newRow("Out8 onto Out1") << QStringList{"rbcopyout8", "inputcopy_2"}
                                        << QByteArray("1122331801550217107f445566") << 11 << 4;
    }
    void copy()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QByteArray, frame);
        QFETCH(int, from);
        QFETCH(int, to);
        const QByteArray before = packed();
        auto d = copydialog();
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        QSignalSpy mainview(w.get(), &MainWindow::updatemainview);
        for (const QString &name : clicks)
            click(*d, name);
        QCOMPARE(sent(0x55).size(), 1);
        QCOMPARE(sent(0x55).first().bytes.toHex(), frame);
        QCOMPARE(parts().size(), 26);
        QVERIFY(packed() != before);
        QCOMPARE(packed(), s.state(unit).image);
        QCOMPARE(cur()->getgain(to), cur()->getgain(from));
        QCOMPARE(cur()->getdelay(to), cur()->getdelay(from));
        QCOMPARE(relay.count(), 1);
        QCOMPARE(mainview.count(), 1);
        QCOMPARE(cur()->getdevicename(), QString("Online Data"));
        QCOMPARE(boxes(), QString());
        QVERIFY(!QApplication::overrideCursor());
    }

    // Failures: the box, the old model kept, no reload, the cursor back.
    void failures_data()
    {
        QTest::addColumn<bool>("link"); // the link dialog, else an input copy
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("commands"); // 0x54 or 0x55 sent (the stand-in's count)
        QTest::addColumn<int>("lastpart"); // the last part asked for, -1 none
        QTest::addColumn<int>("lastasks"); // how often it was asked for
        QTest::addColumn<QString>("box");
        QTest::newRow("link, no acknowledgement") << true << "silent" << 11 << -1 << 0 << kLinkBox;
        QTest::newRow("link, a 0x63 reply during the wait")
            << true << "stray 0x63" << 11 << -1 << 0 << kLinkBox;
        QTest::newRow("link, a part never answered") << true << "part 7 silent" << 1 << 7 << 11 << kReadBox;
        QTest::newRow("link, the line goes dead") << true << "dead line" << 1 << -1 << 0 << kLinkBox;
        QTest::newRow("copy, no acknowledgement") << false << "silent" << 11 << -1 << 0 << kCopyBox;
        QTest::newRow("copy, a 0x54 reply during the wait")
            << false << "stray 0x54" << 11 << -1 << 0 << kCopyBox;
        QTest::newRow("copy, a duplicate of part 4 for part 5")
            << false << "duplicate 4, part 5 silent" << 1 << 5 << 11 << kReadBox;
        QTest::newRow("copy, the link lost during the re-read")
            << false << "link lost at part 2" << 1 << 2 << 1 << kReadBox;
    }
    void failures()
    {
        QFETCH(bool, link);
        QFETCH(QString, fault);
        QFETCH(int, commands);
        QFETCH(int, lastpart);
        QFETCH(int, lastasks);
        QFETCH(QString, box);
        // Shorter waits: an unanswered command is sent 11 times. Rows that
        // read parts keep enough time for each answered part to arrive.
        MainApp::settimescale(lastpart < 0 ? 0.005 : 0.02);
        const int code = link ? 0x54 : 0x55;
        Fault f;
        if (fault == "silent" || fault.startsWith("stray")) {
            f.command = code;
            s.addfault(f);
        } else if (fault == "part 7 silent") {
            f.command = 0x61;
            f.packet = 7;
            s.addfault(f);
        } else if (fault == "dead line") {
            f.kind = Fault::DropLink;
            f.command = code;
            s.addfault(f);
        } else if (fault.startsWith("duplicate")) {
            f.kind = Fault::Duplicate;
            f.command = 0x61;
            f.packet = 4;
            s.addfault(f);
            Fault silent;
            silent.command = 0x61;
            silent.packet = 5;
            s.addfault(silent);
        }
        if (fault.startsWith("stray")) {
            const quint8 other = fault.endsWith("63") ? 0x63 : 0x54;
            QTimer::singleShot(30, [this, other]() {
                s.sendraw(line, standin::replyframe(0x18, 1, other, QByteArray(other == 0x63 ? 1 : 0, 1)));
            });
        }
        QMetaObject::Connection lose;
        if (fault == "link lost at part 2")
            lose = connect(&gComCtrl, &CComCtrl::replied, this, [this](const Reply &r) {
                if (r.code == 0x61 && r.byte(8) == 2)
                    cur()->setcomconnected(0);
            });

        const QByteArray before = packed();
        const QString name = cur()->getdevicename();
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        QSignalSpy mainview(w.get(), &MainWindow::updatemainview);
        std::unique_ptr<QDialog> d;
        if (link) {
            d = linkdialog();
            click(*d, "rblinkb1");
            click(*d, "pushButton_link_2");
        } else {
            d = copydialog();
            click(*d, "rbcopyc");
            click(*d, "rbcopya1");
            click(*d, "inputcopy");
        }
        disconnect(lose);
        QCOMPARE(sent(code).size(), commands);
        // Parts in order up to the last one asked for, which ends the read.
        const QStringList asked = parts();
        QCOMPARE(asked.isEmpty() ? -1 : asked.last().toInt(nullptr, 16), lastpart);
        QCOMPARE(asked.count(asked.isEmpty() ? QString() : asked.last()), lastasks);
        for (int k = 1; k < asked.size(); ++k)
            QVERIFY(asked[k].toInt(nullptr, 16) >= asked[k - 1].toInt(nullptr, 16));
        QCOMPARE(boxes(), box);
        QCOMPARE(prompts->shown.first().parent, d.get());
        QCOMPARE(packed(), before);
        QCOMPARE(cur()->getdevicename(), name);
        QCOMPARE(relay.count(), 0);
        QCOMPARE(mainview.count(), 0);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(d->isVisible());
    }

    // A second click while a run waits starts nothing: one run's sends only.
    void secondclick_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("again");
        QTest::newRow("Set Link") << true << "pushButton_link_2";
        QTest::newRow("Input Copy") << false << "inputcopy";
        QTest::newRow("Output Copy") << false << "inputcopy_2";
    }
    void secondclick()
    {
        QFETCH(bool, link);
        QFETCH(QString, again);
        const int code = link ? 0x54 : 0x55;
        Fault f;
        f.command = code;
        f.times = 2; // the first two sends go unanswered
        s.addfault(f);
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        std::unique_ptr<QDialog> d;
        if (link)
            d = linkdialog();
        else
            d = copydialog();
        QDialog *dialog = d.get();
        QTimer::singleShot(30, dialog, [dialog, again]() { click(*dialog, again); });
        click(*d, link ? "pushButton_link_2" : "inputcopy");
        QCOMPARE(sent(code).size(), 3);
        QCOMPARE(parts().size(), 26);
        QCOMPARE(relay.count(), 1);
        QCOMPARE(packed(), s.state(unit).image);
        QCOMPARE(boxes(), QString());
    }

    // Model equals processor after random groupings and copies made through
    // the dialogs' buttons.
    void randomruns()
    {
        QRandomGenerator rng(2107);
        for (int run = 0; run < 8; ++run) {
            if (rng.bounded(2) == 0) {
                auto d = linkdialog();
                for (int k = 0; k < 6; ++k) {
                    const bool input = rng.bounded(3) == 0;
                    const int n = input ? 4 : 8;
                    const int col = int(rng.bounded(n)), row = int(rng.bounded(n));
                    click(*d, input ? QStringLiteral("rblink%1%2").arg(QChar('a' + col)).arg(row + 1)
                                    : QStringLiteral("rblinko%1%2").arg(col + 1).arg(row + 1));
                }
                click(*d, "pushButton_link_2");
            } else {
                auto d = copydialog();
                const bool output = rng.bounded(2) == 0;
                const int n = output ? 8 : 4;
                const int from = int(rng.bounded(n));
                const int to = (from + 1 + int(rng.bounded(n - 1))) % n;
                if (output) {
                    click(*d, QStringLiteral("rbcopyout%1").arg(from + 1));
                    click(*d, QStringLiteral("rbcopyout%1").arg(to + 1) + "1");
                } else {
                    click(*d, QStringLiteral("rbcopy%1").arg(QChar('a' + from)));
                    click(*d, QStringLiteral("rbcopy%1").arg(QChar('a' + to)) + "1");
                }
                click(*d, output ? "inputcopy_2" : "inputcopy");
            }
            QCOMPARE(boxes(), QString());
            QCOMPARE(packed(), s.state(unit).image);
        }
        QCOMPARE(modelmasks(), s.state(unit).linkmasks());
        QCOMPARE(int(gMainApp->inputlinkon), int(cur()->inputlinked()));
        QCOMPARE(int(gMainApp->outputlinkon), int(cur()->outputlinked()));
    }

    // An opening through the tool bar leaves no dialog and no progress window.
    void openings_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("link") << "btnDownload";
        QTest::newRow("copy") << "btnSave";
    }
    void openings()
    {
        QFETCH(QString, button);
        QString opened;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&]() {
            if (QWidget *m = QApplication::activeModalWidget()) {
                opened = QString::fromLatin1(m->metaObject()->className());
                m->close();
            }
        });
        closer.start(10);
        for (int k = 0; k < 3; ++k)
            click(*toolbar(), button);
        closer.stop();
        QVERIFY(opened.startsWith("Dialog"));
        QVERIFY(toolbar()->findChildren<QDialog *>().isEmpty());
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QProgressBar *>(top));
    }
    // Both dialogs at their size in both languages on every type; with
    // DSP_SNAPSHOT_DIR set, saved for a look.
    void snapshots()
    {
        const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        for (int language : {0, 1}) {
            if (gGlobalContrl->getlanguage() != language)
                w->refreshAllLanText();
            QCOMPARE(gGlobalContrl->getlanguage(), language);
            for (int type : {0x18, 0x16, 0x14}) {
                DialogLink link(toolbar());
                link.loadlinkmasks(uchar(type));
                link.show();
                DialogCopy copy(toolbar());
                copy.initcopy(uchar(type));
                copy.show();
                QTest::qWait(20);
                const QImage l = link.grab().toImage(), c = copy.grab().toImage();
                QCOMPARE(l.size(), QSize(519, 359));
                QCOMPARE(c.size(), QSize(351, 363));
                if (dir.isEmpty())
                    continue;
                const QString tag = QStringLiteral("%1_%2").arg(language ? "zh" : "en").arg(type);
                QVERIFY(l.save(QStringLiteral("%1/link_%2.png").arg(dir, tag)));
                QVERIFY(c.save(QStringLiteral("%1/copy_%2.png").arg(dir, tag)));
            }
        }
        // The screen while "Set Link" waits for a late acknowledgement.
        Fault late;
        late.kind = Fault::LateReply;
        late.command = 0x54;
        late.delayMs = 300;
        s.addfault(late);
        auto d = linkdialog();
        QImage during;
        QTimer::singleShot(150, [&] {
            if (QScreen *screen = QGuiApplication::primaryScreen())
                during = screen->grabWindow(0).toImage();
        });
        click(*d, "pushButton_link_2");
        QCOMPARE(boxes(), QString());
        if (!dir.isEmpty())
            QVERIFY(during.save(QStringLiteral("%1/link_during.png").arg(dir)));
        w->refreshAllLanText();
        QCOMPARE(gGlobalContrl->getlanguage(), 0);
    }
};

QTEST_MAIN(TstLinkCopyStandin)
#include "tst_linkcopy_standin.moc"
