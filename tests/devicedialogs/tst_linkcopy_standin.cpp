// The link and copy dialogs in the whole window against the stand-in: the
// exact link and copy frames (worked by hand), the 26 part reads that follow,
// the model equal to the processor; failures that keep the old model; a
// second click during a run; random groupings and copies.

#include "devicefixture.h"
#include "dialogcopy.h"
#include "dialogfixture.h"
#include "dialoglink.h"
#include "formtoolbutton.h"
#include "programimage.h"

#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>

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

// Graphic-EQ words of the outputs that differ by output and band: gain
// 100 + 7o + 3b, every third band passed.
QVector<quint16> seededoutputgeq()
{
    QVector<quint16> out;
    for (int o = 0; o < 8; ++o)
        for (int b = 0; b < 31; ++b)
            out << quint16((100 + 7 * o + 3 * b) | (b % 3 == 0 ? 0x8000 : 0));
    return out;
}

const char *const kLinkBox = "critical|Set Link Failed|please try again";
const char *const kCopyBox = "critical|Copy Data Failed|please try again";
// The line dropped after the processor took the command, before its acknowledgement.
const char *const kLinkDroppedBox =
    "critical|Set Link Failed|The line to the processor dropped; the processor "
    "may have done it. Connect again to see what it holds";
const char *const kCopyDroppedBox =
    "critical|Copy Data Failed|The line to the processor dropped; the processor "
    "may have done it. Connect again to see what it holds";
const char *const kReadBox =
    "critical|Load Data|The current program could not be read completely. Please Try Again";
const char *const kLinkReadBox =
    "warning|Set Link|The link was set, but the current program could not be read completely";
} // namespace

class TstLinkCopyStandin : public QObject
{
    Q_OBJECT
    StandinWindow fx;
    standin::Standin &s = fx.s;
    std::unique_ptr<ScriptedPrompts> prompts;

    DeviceData *cur() const { return fx.cur(); }
    FormToolButton *toolbar() const { return fx.w->toolbarwidget(); }
    QVector<QByteArray> sent(int code) const { return fx.sent(code); }

    QByteArray packed() const { return DeviceFixture::packed(cur()); }
    // The outputs' graphic-EQ words of the model, output by output.
    QVector<quint16> modeloutputgeq() const
    {
        QVector<quint16> out;
        for (int c = 4; c < 12; ++c)
            for (int b = 0; b < 31; ++b)
                out << quint16(cur()->getgeqword(c, b));
        return out;
    }
    QByteArray modelmasks() const { return fx.linkmasks(); }
    QStringList parts() const
    {
        QStringList out;
        for (const standin::FrameRecord &r : s.commands(fx.unit))
            if (r.command() == 0x61)
                out << QString::fromLatin1(r.payload().toHex());
        return out;
    }
    QString boxes() const
    {
        QStringList out;
        for (const ScriptedPrompts::Shown &b : prompts->shown)
            out << boxtext(b);
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
    std::unique_ptr<QDialog> dialog(bool link)
    {
        if (link)
            return linkdialog();
        return copydialog();
    }

private slots:
    void initTestCase()
    {
        MainApp::settimescale(0.05);
        fx.open();
    }
    void cleanupTestCase() { fx.close(); }
    // Every case starts with the model equal to a processor without links.
    void init()
    {
        MainApp::settimescale(0.05);
        s.clearfaults();
        const QByteArray image = seededimage();
        const QVector<quint16> geq = seededoutputgeq();
        s.update(fx.unit, [&image, &geq](standin::UnitState &u) {
            u.image = image;
            u.outputGeq = geq;
        });
        fx.loadimage(image);
        for (int i = 0; i < geq.size(); ++i)
            cur()->setgeq(4 + i / 31, i % 31, geq[i] & 0x7FFF, geq[i] & 0x8000);
        QCOMPARE(packed(), s.state(fx.unit).image);
        QCOMPARE(int(gMainApp->inputlinkon), 0);
        s.clearframes();
        prompts.reset(new ScriptedPrompts);
    }
    void cleanup()
    {
        prompts.reset();
        fx.endcase();
    }

    // IN-A with IN-B, OUT1..OUT4 together, OUT5 with OUT6: one 0x54, parts
    // 0..25 in order, every page reloaded once, the link switches on.
    void setlink()
    {
        auto d = linkdialog();
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        std::vector<std::unique_ptr<QSignalSpy>> pages;
        for (auto signal :
             {&MainWindow::updatemainview, &MainWindow::updategainview, &MainWindow::updatedelayview,
              &MainWindow::updategeqview, &MainWindow::updatepeqview, &MainWindow::updatelimitview,
              &MainWindow::updatelimitview2})
            pages.emplace_back(new QSignalSpy(fx.w.get(), signal));
        for (const char *name : {"rblinkb1", "rblinko21", "rblinko31", "rblinko41", "rblinko65"})
            click(*d, QLatin1String(name));
        click(*d, "pushButton_link_2");
        QCOMPARE(sent(0x54).size(), 1);
        // Checksum: 01 + 54 + 0c + the twelve masks = 0x1cf, AND 0x7f = 0x4f.
        QCOMPARE(sent(0x54).first().toHex(), QByteArray("1122331801540c030304080f0f0f0f303040804f445566"));
        QStringList expected;
        for (int p = 0; p < 26; ++p)
            expected << QStringLiteral("00%1").arg(p, 2, 16, QLatin1Char('0'));
        QCOMPARE(parts(), expected);
        QCOMPARE(s.state(fx.unit).linkmasks().toHex(), QByteArray("030304080f0f0f0f30304080"));
        QCOMPARE(modelmasks(), s.state(fx.unit).linkmasks());
        QCOMPARE(packed(), s.state(fx.unit).image);
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

    // The handshake's words on the debug output: after each acknowledgement
    // wait its word and "<word>second", after each part's wait the data word
    // and "<data word>second"; an unanswered command writes its pair once
    // per send.
    void diagnostics_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("lines");
        const auto run = [](const QString &word, const QString &data, int sends, int parts) {
            QStringList out;
            for (int k = 0; k < sends; ++k)
                out << word << word + "second";
            for (int k = 0; k < parts; ++k)
                out << data << data + "second";
            return out;
        };
        QTest::newRow("link") << QStringList{"rblinkb1", "pushButton_link_2"} << false
                              << run("link", "linkdata", 1, 26);
        QTest::newRow("input copy") << QStringList{"rbcopyc", "rbcopya1", "inputcopy"} << false
                                    << run("copy", "copydata", 1, 26);
        QTest::newRow("output copy") << QStringList{"rbcopyout8", "inputcopy_2"} << false
                                     << run("copyout", "copydata", 1, 26);
        QTest::newRow("output copy, never acknowledged")
            << QStringList{"rbcopyout3", "inputcopy_2"} << true << run("copyout", "copydata", 11, 0);
    }
    void diagnostics()
    {
        QFETCH(QStringList, clicks);
        QFETCH(bool, silent);
        QFETCH(QStringList, lines);
        if (silent) {
            MainApp::settimescale(0.01);
            s.addfault(makefault(Fault::NoReply, 0x55));
        }
        auto d = dialog(clicks.last().startsWith(QLatin1String("pushButton_link")));
        static QStringList captured;
        captured.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
                static const QRegularExpression word(QStringLiteral("^(link|copy|copyout)(data)?(second)?$"));
                if (type == QtDebugMsg && word.match(text).hasMatch())
                    captured << text;
            });
        for (const QString &name : clicks)
            click(*d, name);
        qInstallMessageHandler(previous);
        QCOMPARE(captured, lines);
        QCOMPARE(boxes(), silent ? QString(kCopyBox) : QString());
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
        QSignalSpy mainview(fx.w.get(), &MainWindow::updatemainview);
        for (const QString &name : clicks)
            click(*d, name);
        QCOMPARE(sent(0x55).size(), 1);
        QCOMPARE(sent(0x55).first().toHex(), frame);
        QCOMPARE(parts().size(), 26);
        QVERIFY(packed() != before);
        QCOMPARE(packed(), s.state(fx.unit).image);
        QCOMPARE(cur()->getgain(to), cur()->getgain(from));
        QCOMPARE(cur()->getdelay(to), cur()->getdelay(from));
        QCOMPARE(relay.count(), 1);
        QCOMPARE(mainview.count(), 1);
        QCOMPARE(cur()->getdevicename(), QString("Online Data"));
        QCOMPARE(boxes(), QString());
        QVERIFY(!QApplication::overrideCursor());
    }

    // The outputs' graphic EQ, which the program image read back does not
    // hold, follows an output copy the processor acknowledged (also when the
    // read-back then fails); an unacknowledged or input copy leaves it.
    void outputgeq_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("from"); // output copied, -1 none
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("box");
        QTest::newRow("Out2 onto Out5")
            << QStringList{"rbcopyout2", "rbcopyout51", "inputcopy_2"} << "" << 1 << 4 << "";
        QTest::newRow("Out8 onto Out1, read-back fails")
            << QStringList{"rbcopyout8", "inputcopy_2"} << "part 7 silent" << 7 << 0 << kReadBox;
        QTest::newRow("Out3 onto Out4, never acknowledged")
            << QStringList{"rbcopyout3", "inputcopy_2"} << "no ack" << -1 << -1 << kCopyBox;
        QTest::newRow("In B onto In C") << QStringList{"rbcopyb", "inputcopy"} << "" << -1 << -1 << "";
    }
    void outputgeq()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, fault);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, box);
        MainApp::settimescale(fault.isEmpty() ? 0.05 : 0.01);
        if (fault == "part 7 silent")
            s.addfault(makefault(Fault::NoReply, 0x61, 7));
        else if (fault == "no ack")
            s.addfault(makefault(Fault::NoReply, 0x55));
        QVector<quint16> expected = seededoutputgeq();
        if (from >= 0)
            for (int b = 0; b < 31; ++b)
                expected[31 * to + b] = expected[31 * from + b];
        auto d = copydialog();
        for (const QString &name : clicks)
            click(*d, name);
        QCOMPARE(boxes(), box);
        QCOMPARE(modeloutputgeq(), expected);
        // A processor that copies without answering is not known to have copied.
        if (fault != "no ack")
            QCOMPARE(s.state(fx.unit).outputGeq, expected);
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
        QTest::newRow("link, a 0x63 reply during the wait")
            << true << "stray 0x63" << 11 << -1 << 0 << kLinkBox;
        QTest::newRow("link, a part never answered")
            << true << "part 7 silent" << 1 << 7 << 11 << kLinkReadBox;
        QTest::newRow("link, the line goes dead") << true << "dead line" << 1 << -1 << 0 << kLinkBox;
        QTest::newRow("link, the line drops after the command")
            << true << "line drops" << 1 << -1 << 0 << kLinkDroppedBox;
        QTest::newRow("copy, the line drops after the command")
            << false << "line drops" << 1 << -1 << 0 << kCopyDroppedBox;
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
        if (fault.startsWith("stray")) { // unanswered, and another reply comes
            s.addfault(makefault(Fault::NoReply, code));
            const quint8 other = fault.endsWith("63") ? 0x63 : 0x54;
            QTimer::singleShot(30, [this, other]() {
                s.sendraw(fx.line, standin::replyframe(0x18, 1, other, QByteArray(other == 0x63 ? 1 : 0, 1)));
            });
        } else if (fault == "part 7 silent") {
            s.addfault(makefault(Fault::NoReply, 0x61, 7));
        } else if (fault == "dead line") {
            s.addfault(makefault(Fault::DropLink, code));
        } else if (fault.startsWith("duplicate")) {
            s.addfault(makefault(Fault::Duplicate, 0x61, 4));
            s.addfault(makefault(Fault::NoReply, 0x61, 5));
        }
        // The processor takes the command; the line drops before it answers.
        QTimer drop;
        if (fault == "line drops") {
            s.addfault(makefault(Fault::NoReply, code));
            connect(&drop, &QTimer::timeout, this, [this, code]() {
                if (!sent(code).isEmpty())
                    cur()->setcomconnected(0);
            });
            drop.start(1);
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
        QSignalSpy mainview(fx.w.get(), &MainWindow::updatemainview);
        std::unique_ptr<QDialog> d = dialog(link);
        if (link) {
            click(*d, "rblinkb1");
            click(*d, "pushButton_link_2");
        } else {
            click(*d, "rbcopyc");
            click(*d, "rbcopya1");
            click(*d, "inputcopy");
        }
        disconnect(lose);
        drop.stop();
        if (fault == "line drops") {
            cur()->setcomconnected(1);
            // Carried out by the processor all the same.
            QVERIFY(s.state(fx.unit).image != before);
        }
        // Unanswered repeats may still be on their way (not on a dead line).
        if (fault != "dead line")
            QVERIFY(fx.caughtup());
        QCOMPARE(sent(code).size(), commands);
        // Parts in order up to the last one asked for, which ends the read.
        const QStringList asked = parts();
        QCOMPARE(asked.isEmpty() ? -1 : asked.last().toInt(nullptr, 16), lastpart);
        QCOMPARE(asked.count(asked.isEmpty() ? QString() : asked.last()), lastasks);
        for (int k = 1; k < asked.size(); ++k)
            QVERIFY(asked[k].toInt(nullptr, 16) >= asked[k - 1].toInt(nullptr, 16));
        QCOMPARE(boxes(), box);
        QCOMPARE(prompts->shown.first().parent, d.get());
        // An acknowledged link whose read-back failed: the model takes the
        // masks acknowledged, which is all the processor changed.
        const bool masks = box == kLinkReadBox;
        QCOMPARE(packed(), masks ? s.state(fx.unit).image : before);
        QCOMPARE(cur()->getdevicename(), name);
        QCOMPARE(relay.count(), masks ? 1 : 0);
        QCOMPARE(mainview.count(), masks ? 1 : 0);
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
        Fault f = makefault(Fault::NoReply, code);
        f.times = 2; // the first two sends go unanswered
        s.addfault(f);
        QSignalSpy relay(toolbar(), &FormToolButton::updataallviews);
        std::unique_ptr<QDialog> d = dialog(link);
        QDialog *raw = d.get();
        QTimer::singleShot(30, raw, [raw, again]() { click(*raw, again); });
        click(*d, link ? "pushButton_link_2" : "inputcopy");
        QCOMPARE(sent(code).size(), 3);
        QCOMPARE(parts().size(), 26);
        QCOMPARE(relay.count(), 1);
        QCOMPARE(packed(), s.state(fx.unit).image);
        QCOMPARE(boxes(), QString());
    }

    // Model equals processor after random groupings and copies.
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
            QCOMPARE(packed(), s.state(fx.unit).image);
            QCOMPARE(modeloutputgeq(), s.state(fx.unit).outputGeq);
        }
        QCOMPARE(modelmasks(), s.state(fx.unit).linkmasks());
        QCOMPARE(int(gMainApp->inputlinkon), int(cur()->inputlinked()));
        QCOMPARE(int(gMainApp->outputlinkon), int(cur()->outputlinked()));
    }

    // An acknowledgement late but within the wait is taken.
    void lateacknowledgement()
    {
        s.addfault(makefault(Fault::LateReply, 0x54, -1, 300));
        auto d = linkdialog();
        click(*d, "pushButton_link_2");
        QCOMPARE(boxes(), QString());
        QCOMPARE(parts().size(), 26);
    }
};

QTEST_MAIN(TstLinkCopyStandin)
#include "tst_linkcopy_standin.moc"
