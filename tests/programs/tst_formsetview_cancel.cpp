// What Cancel leaves behind on the program page, against the processor
// stand-in: a reply that comes late to a cancelled recall answers no later
// recall; "Load all from PC" stops between programs (the one under way is
// finished first), or mid-way when the processor falls silent, and says which
// programs it wrote, the list showing what the processor holds.

#include "longexchange.h"
#include "programfile.h"
#include "programsfixture.h"

#include <QElapsedTimer>
#include <QProgressDialog>

using programbytes::imageof;
using programbytes::writeall;
using standin::Fault;

class TstFormSetViewCancel : public QObject
{
    Q_OBJECT
    ProgramsFixture f;
    StandinLine line;

    standin::UnitState unit() const { return line.s.state(line.unit); }
    QString boxes() const
    {
        QStringList out;
        for (const auto &s : f.prompts->shown)
            if (s.kind != "open" && s.kind != "save" && s.kind != "confirm")
                out << s.kind + ':' + s.title + '|' + s.text;
        return out.join("; ");
    }
    QByteArray storedslot(int n) const
    {
        QByteArray out;
        for (int k = 0; k < kProgramImageSize; ++k)
            out.append(char(f.dev->getstoredbyte(n - 1, k)));
        return out;
    }
    // The program a 0x60 command writes (its first payload byte), -1 for another command.
    static int writtenprogram(const standin::FrameRecord &r)
    {
        return r.command() == 0x60 && !r.payload().isEmpty() ? quint8(r.payload().at(0)) : -1;
    }

private slots:
    void initTestCase() { QVERIFY2(line.open(), qPrintable(line.s.errorstring())); }
    void cleanupTestCase() { line.close(); }
    void init() { programbytes::setupstocked(f, line, 1); }
    void cleanup() { programbytes::teardownstocked(f, line); }

    // Recall of program 2 answered 900 ms late, cancelled at 400 ms; at once
    // a recall of program 5, which never reaches the processor: the late
    // reply is let go by, the second recall fails with its box (the processor
    // asked, still on program 2) and the model does not take program 5.
    void latereplyaftercancel()
    {
        const QByteArray running = f.curimage();
        // Scaled: one reply time (4.1 s, here 615 ms) from the cancel at
        // 400 ms outlasts the late reply at 900 ms; the second recall's
        // eleven sends then take about 7 s.
        MainApp::settimescale(0.15);
        line.s.addfault(Fault::onprogram(Fault::LateReply, 0x62, 2, 900));
        line.s.addfault(Fault::onprogram(Fault::Ignored, 0x62, 5));
        QTimer::singleShot(400, [] {
            QPushButton *b = cancelbutton();
            QVERIFY(b);
            QTest::mouseClick(b, Qt::LeftButton);
        });
        f.select(2);
        f.click("btn_loadprogram");
        QCOMPARE(boxes(), QString());
        f.select(5);
        f.click("btn_loadprogram");
        QCOMPARE(boxes(), QString("critical:This Program Load Failed|please try again"));
        QCOMPARE(line.sent(0x62).size(), 12);
        // The processor ran program 2 all the same: after the Cancel it was
        // asked, and program 2 read back; asked again after the unanswered
        // recall. Neither the number nor the data of program 5 taken.
        QCOMPARE(line.sent(0x02).size(), 2);
        QCOMPARE(f.dev->getcurprogramnum(), 2);
        QVERIFY(f.curimage() != running);
        QCOMPARE(f.curimage(), imageof(2));
        QVERIFY(!f.page->isbusy());
    }

    // A recall cancelled after its command went out: the processor is asked
    // which program it runs and, when it is not the model's, that one is read
    // back. A Cancel of the read-back, or a processor that does not say,
    // leaves a box naming the program it may run; the model keeps its data.
    void recallcancelled_data()
    {
        QTest::addColumn<QString>("fault"); // late: the recall answered 900 ms late; silent: neither
                                            // the recall nor the connect request answered; empty: the
                                            // processor has no program 2 (runs nothing, answers nothing)
        QTest::addColumn<int>("cancelat");  // 0x62 while the recall waits, 0x61 during the read-back
        QTest::addColumn<bool>("again");    // a second Cancel, during the read-back
        QTest::addColumn<int>("program");   // the program recalled
        QTest::addColumn<int>("number");    // the model's program number at the end
        QTest::addColumn<QString>("box");
        // "Program Name": the name in the data read back, or with the box the
        // list's name for the program "Program Number" shows.
        QTest::addColumn<QString>("name");
        const QString mayrun =
            "critical:Load Program|The processor may run program 2; connect again to read it";
        QTest::newRow("late reply, Cancel during the recall")
            << "late" << 0x62 << false << 2 << 2 << QString() << "IMAGE 2";
        QTest::newRow("late reply, Cancel during the recall and the read-back")
            << "late" << 0x62 << true << 2 << 2 << mayrun << "USER 2";
        QTest::newRow("answered, Cancel during the read-back")
            << "" << 0x61 << false << 2 << 2 << mayrun << "USER 2";
        QTest::newRow("silent, Cancel during the recall")
            << "silent" << 0x62 << false << 2 << 1 << mayrun << "USER 1";
        QTest::newRow("not carried out, Cancel during the recall")
            << "empty" << 0x62 << false << 2 << 1 << QString() << "IMAGE 0";
        // The running program recalled: its stored data replaces what ran,
        // though the number stays.
        QTest::newRow("running program, late reply, Cancel during the recall")
            << "late" << 0x62 << false << 1 << 1 << QString() << "IMAGE 1";
    }
    void recallcancelled()
    {
        QFETCH(QString, fault);
        QFETCH(int, cancelat);
        QFETCH(bool, again);
        QFETCH(int, program);
        QFETCH(int, number);
        QFETCH(QString, box);
        QFETCH(QString, name);
        MainApp::settimescale(0.15);
        const QByteArray running = f.curimage();
        if (fault == "late")
            line.s.addfault(Fault::onprogram(Fault::LateReply, 0x62, program, 900));
        if (fault == "silent") {
            line.s.addfault(Fault::onprogram(Fault::NoReply, 0x62, 2));
            Fault x;
            x.command = 0x02;
            line.s.addfault(x);
        }
        if (fault == "empty")
            line.s.update(line.unit, [](standin::UnitState &u) { u.programs[1].used = false; });
        int clicks = 0;
        QTimer poll;
        poll.setInterval(2);
        connect(&poll, &QTimer::timeout, [&] {
            const int wanted = clicks == 0 ? cancelat : 0x61;
            if (clicks >= (again ? 2 : 1) || line.sent(wanted).isEmpty())
                return;
            if (QPushButton *b = cancelbutton()) {
                QTest::mouseClick(b, Qt::LeftButton);
                ++clicks;
            }
        });
        poll.start();
        f.select(program);
        f.click("btn_loadprogram");
        poll.stop();
        QCOMPARE(clicks, again ? 2 : 1);
        QCOMPARE(boxes(), box);
        // One recall, no repeat after the Cancel; the processor asked once.
        QCOMPARE(line.sent(0x62).size(), 1);
        QCOMPARE(line.sent(0x02).size(), cancelat == 0x62 ? 1 : 0);
        const standin::UnitState u = unit();
        QCOMPARE(int(u.currentProgram), fault == "empty" ? 1 : program);
        if (box.isEmpty() && fault != "empty")
            QCOMPARE(u.image, imageof(program));
        QCOMPARE(f.dev->getcurprogramnum(), number);
        QCOMPARE(f.text("Editsetproid"), "     " + QString::number(number));
        QCOMPARE(f.text("Editname1").trimmed(), name);
        // The model holds the processor's running data, or the box says it may not.
        QCOMPARE(f.curimage(), box.isEmpty() ? u.image : running);
        QVERIFY(!f.page->isbusy());
        QVERIFY(!LongExchange::cancelled());
    }

    // A reset cancelled: before its acknowledgement the list stays as it was
    // and the box says so; after it the names refresh stops, the list shows
    // what the reset made and the model takes the processor's running
    // program (read back, or a box when that is cancelled too).
    void resetcancelled_data()
    {
        QTest::addColumn<int>("cancelat"); // 0x65 before the acknowledgement, 0x64 during the names
        QTest::addColumn<bool>("again");   // a second Cancel, during the read-back
        QTest::addColumn<QString>("box");
        QTest::newRow("Cancel during the names refresh") << 0x64 << false << QString();
        QTest::newRow("Cancel during the names refresh and the read-back")
            << 0x64 << true
            << "critical:Load Program|The processor may run program 0; connect again to read it";
        QTest::newRow("Cancel before the acknowledgement")
            << 0x65 << false
            << "critical:Reset Program Failed |The processor did not acknowledge the reset: the program list "
               "is kept as it was. Refresh it to see what the processor holds";
    }
    void resetcancelled()
    {
        QFETCH(int, cancelat);
        QFETCH(bool, again);
        QFETCH(QString, box);
        MainApp::settimescale(0.15);
        const QByteArray running = f.curimage();
        const QString name = f.text("Editname1");
        QStringList rows;
        for (int k = 0; k < 40; ++k)
            rows << f.cell(k < 30 ? "progwidget" : "effectwidget", k % 30, k < 30 ? 1 : 0) +
                        f.cell(k < 30 ? "progwidget" : "effectwidget", k % 30, k < 30 ? 2 : 1);
        if (cancelat == 0x65)
            line.s.addfault(Fault::onprogram(Fault::LateReply, 0x65, -1, 900));
        int clicks = 0;
        QTimer poll;
        poll.setInterval(2);
        connect(&poll, &QTimer::timeout, [&] {
            if (clicks >= (again ? 2 : 1))
                return;
            // Cancel in the names refresh once a few names were read.
            if (clicks == 0 ? line.sent(cancelat).size() < (cancelat == 0x64 ? 5 : 1)
                            : line.sent(0x61).isEmpty())
                return;
            if (QPushButton *b = cancelbutton()) {
                QTest::mouseClick(b, Qt::LeftButton);
                ++clicks;
            }
        });
        poll.start();
        f.prompts->confirmations << true;
        f.click("btnreset");
        poll.stop();
        QCOMPARE(clicks, again ? 2 : 1);
        QCOMPARE(boxes(), box);
        QCOMPARE(line.sent(0x65).size(), 1);
        QVERIFY(line.sent(0x64).size() < 40);
        const standin::UnitState u = unit();
        // The processor reset whatever the Cancel.
        QCOMPARE(int(u.currentProgram), 0);
        QVERIFY(!u.programs[0].used);
        if (cancelat == 0x65) {
            for (int k = 0; k < 40; ++k)
                QCOMPARE(f.cell(k < 30 ? "progwidget" : "effectwidget", k % 30, k < 30 ? 1 : 0) +
                             f.cell(k < 30 ? "progwidget" : "effectwidget", k % 30, k < 30 ? 2 : 1),
                         rows.at(k));
            QCOMPARE(f.dev->getcurprogramnum(), 1);
            QCOMPARE(f.text("Editname1"), name);
            QCOMPARE(f.curimage(), running);
        } else {
            // Every user row as the processor now holds it; the presets kept.
            for (int k = 0; k < 30; ++k) {
                QCOMPARE(f.cell("progwidget", k, 1), QString("no"));
                QCOMPARE(f.cell("progwidget", k, 2), QString::fromLatin1(u.programs[k].name));
            }
            for (int k = 0; k < 10; ++k)
                QCOMPARE(f.cell("effectwidget", k, 1), QString::fromLatin1(u.programs[30 + k].name));
            QCOMPARE(f.dev->getcurprogramnum(), 0);
            QCOMPARE(f.text("Editsetproid"), QString("     0"));
            // The list has no program 0: with the box no name shows, not
            // the one of the data the model kept.
            QCOMPARE(f.text("Editname1").trimmed(),
                     again ? QString() : QString::fromLatin1(u.image.mid(1, 20).split(0).first()).trimmed());
            QCOMPARE(f.curimage(), again ? running : u.image);
        }
        QVERIFY(!f.page->isbusy());
        QVERIFY(!LongExchange::cancelled());
    }

    // The Chinese box of a recall whose read-back was cancelled.
    void recallcancelledchinese()
    {
        gGlobalContrl->setlanguage(1);
        MainApp::settimescale(0.15);
        QTimer poll;
        poll.setInterval(2);
        bool clicked = false;
        connect(&poll, &QTimer::timeout, [&] {
            if (clicked || line.sent(0x61).isEmpty())
                return;
            if (QPushButton *b = cancelbutton()) {
                QTest::mouseClick(b, Qt::LeftButton);
                clicked = true;
            }
        });
        poll.start();
        f.select(2);
        f.click("btn_loadprogram");
        poll.stop();
        gGlobalContrl->setlanguage(0);
        QCOMPARE(boxes(), QString::fromUtf8("critical:载入程式|处理器可能正在运行程式 2；请重新连接以读取"));
    }

    // Load all from PC ended before program 30.
    void loadallstopped_data()
    {
        QTest::addColumn<bool>("cancel");    // Cancel once program 3 is under way
        QTest::addColumn<int>("silentpart"); // the first part of program 3 left unanswered, -1 none
        QTest::addColumn<int>("written");    // programs written whole
        QTest::addColumn<QString>("box");
        QTest::newRow("cancel between programs")
            << true << -1 << 3 << "information:Load All Data From PC Cancelled|Programs 1 to 3 were written";
        QTest::newRow("silent mid-program")
            << false << 10 << 2
            << "critical:Download Program Failed |Programs 1 to 2 were written\nProgram 3 is incomplete\n"
               "Please Try Again";
        QTest::newRow("cancel, then silent mid-program")
            << true << 10 << 2
            << "critical:Download Program Failed |Programs 1 to 2 were written\nProgram 3 is incomplete\n"
               "Please Try Again";
        QTest::newRow("silent from the first part")
            << false << 0 << 2
            << "critical:Download Program Failed |Programs 1 to 2 were written\nProgram 3 is incomplete\n"
               "Please Try Again";
    }
    void loadallstopped()
    {
        QFETCH(bool, cancel);
        QFETCH(int, silentpart);
        QFETCH(int, written);
        QFETCH(QString, box);
        // Scaled: the name of the program cut off is asked once, and its
        // wait (200 ms) outlasts a busy machine's stall of the line's writer.
        MainApp::settimescale(0.1);
        QByteArray collection;
        for (int n = 1; n <= 30; ++n)
            collection += imageof(100 + n);
        QVERIFY(writeall(f.dir.filePath("in.J91"), collection));
        const standin::UnitState before = unit();
        QStringList rows;
        for (int k = 0; k < 30; ++k)
            rows << f.cell("progwidget", k, 2);
        QVector<QByteArray> stored;
        for (int n = 1; n <= 30; ++n)
            stored << storedslot(n);
        if (silentpart >= 0) {
            Fault x;
            x.command = 0x60;
            x.program = 3;
            x.packet = silentpart;
            line.s.addfault(x);
        }
        bool clicked = false;
        QTimer poll;
        poll.setInterval(2);
        connect(&poll, &QTimer::timeout, [&] {
            if (!cancel || clicked)
                return;
            const auto sent = line.sent(0x60);
            if (sent.isEmpty() || writtenprogram(sent.last()) != 3)
                return;
            if (QPushButton *b = cancelbutton()) {
                QTest::mouseClick(b, Qt::LeftButton);
                clicked = true;
            }
        });
        poll.start();
        f.prompts->fileNames << f.dir.filePath("in.J91");
        f.click("btnloadcurdata_5");
        poll.stop();
        QCOMPARE(clicked, cancel);
        QCOMPARE(boxes(), box);
        // The repeats of the silent part may still be on their way.
        QVERIFY(line.caughtup());

        const standin::UnitState u = unit();
        // Nothing after the program under way is sent; a part left
        // unanswered after Cancel is not sent again.
        int last = 0;
        int silentsends = 0;
        for (const auto &r : line.sent(0x60)) {
            last = std::max(last, writtenprogram(r));
            silentsends += writtenprogram(r) == 3 && quint8(r.payload().at(1)) == silentpart ? 1 : 0;
        }
        QCOMPARE(last, 3);
        if (silentpart >= 0)
            QCOMPARE(silentsends, cancel ? 1 : 11);
        for (int n = 1; n <= 30; ++n) {
            const QByteArray image = collection.mid((n - 1) * kProgramImageSize, kProgramImageSize);
            if (n <= written) {
                QCOMPARE(u.programs[n - 1].image, image);
                QCOMPARE(storedslot(n), image);
            } else {
                QCOMPARE(storedslot(n), stored.at(n - 1));
                if (n > 3)
                    QCOMPARE(u.programs[n - 1].image, before.programs[n - 1].image);
            }
        }
        // The list shows the names the processor holds: new for the programs
        // written, the processor's own for the one cut off (read back unless
        // Cancel was asked for), the old ones for the rest.
        for (int k = 0; k < 30; ++k) {
            QString expected = rows.at(k);
            if (k < written || (k == 2 && !cancel))
                expected = QString::fromLatin1(u.programs[k].name);
            QCOMPARE(f.cell("progwidget", k, 2), expected);
        }
        QCOMPARE(f.cell("progwidget", 0, 2).toLatin1(), name20("IMAGE 101"));
        QVERIFY(!f.page->isbusy());
        QVERIFY(!LongExchange::stopasked());
    }

    // The Chinese texts of the box.
    void loadallstoppedchinese()
    {
        gGlobalContrl->setlanguage(1);
        QByteArray collection;
        for (int n = 1; n <= 30; ++n)
            collection += imageof(100 + n);
        QVERIFY(writeall(f.dir.filePath("in.J91"), collection));
        Fault x;
        x.command = 0x60;
        x.program = 2;
        x.packet = 4;
        line.s.addfault(x);
        f.prompts->fileNames << f.dir.filePath("in.J91");
        f.click("btnloadcurdata_5");
        gGlobalContrl->setlanguage(0);
        QCOMPARE(boxes(),
                 QString::fromUtf8("critical:下载程式失败|程式 1 已写入\n程式 2 未完整写入\n请重试"));
    }
};

QTEST_MAIN(TstFormSetViewCancel)
#include "tst_formsetview_cancel.moc"
