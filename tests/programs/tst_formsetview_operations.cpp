// Every operation of the program page against the processor stand-in, with a
// processor that echoes the program number in its replies and with one that
// puts something else there; then a silent processor and the Cancel button
// during the long operations: each ends with its box (or, cancelled, without
// one), writes no file and leaves the model as it was.

#include "channelexchange.h"
#include "dialoginputstr.h"
#include "longexchange.h"
#include "programfile.h"
#include "programsfixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>

using programbytes::imageof;
using programbytes::readall;
using programbytes::writeall;
using standin::Fault;

class TstFormSetViewOperations : public QObject
{
    Q_OBJECT
    ProgramsFixture f;
    StandinLine line;

    standin::UnitState unit() const { return line.s.state(line.unit); }
    QString path(const QString &name) const { return f.dir.filePath(name); }
    QString boxes() const
    {
        QStringList out;
        for (const auto &s : f.prompts->shown)
            if (s.kind != "open" && s.kind != "save" && s.kind != "confirm")
                out << s.kind + ':' + s.title;
        return out.join("; ");
    }
    QByteArray collection() const
    {
        QByteArray all;
        for (int n = 1; n <= 30; ++n)
            all += imageof(100 + n);
        return all;
    }
    QByteArray storedslots() const
    {
        QByteArray out;
        for (int n = 0; n < 30; ++n)
            for (int k = 0; k < kProgramImageSize; ++k)
                out.append(char(f.dev->getstoredbyte(n, k)));
        return out;
    }
    QStringList rows() const
    {
        QStringList out;
        for (int k = 0; k < 30; ++k)
            out << f.cell("progwidget", k, 1) + f.cell("progwidget", k, 2);
        return out;
    }
    // Starts one operation by name; files it reads are made first.
    void start(const QString &op)
    {
        if (op == "names refresh") {
            f.click("btn_ref");
        } else if (op == "load current data") {
            f.page->on_btnloadcurdata_clicked();
        } else if (op == "recall") {
            f.select(2);
            f.click("btn_loadprogram");
        } else if (op == "store") {
            f.select(4);
            ProgramsFixture::whenmodal<DialogInputStr>([](DialogInputStr *d) {
                d->findChild<QLineEdit *>("EditNewName")->setText("STORED");
                d->findChild<QPushButton *>("pushButton_ok")->click();
            });
            f.click("btnloadcurdata_2");
        } else if (op == "delete") {
            f.select(5);
            f.prompts->confirmations << true;
            f.click("btndelete");
        } else if (op == "reset") {
            f.prompts->confirmations << true;
            f.click("btnreset");
        } else if (op == "save to PC") {
            f.select(2);
            f.prompts->fileNames << path("one.K91");
            f.click("btnloadcurdata_3");
        } else if (op == "load from PC") {
            QVERIFY(writeall(path("in.K91"), imageof(66)));
            f.select(6);
            f.prompts->fileNames << path("in.K91");
            f.click("btnloadFromPc");
        } else if (op == "save all") {
            f.select(1);
            f.prompts->fileNames << path("all.J91");
            f.click("btnloadcurdata_4");
        } else if (op == "load all") {
            QVERIFY(writeall(path("in.J91"), collection()));
            f.select(1);
            f.prompts->fileNames << path("in.J91");
            f.click("btnloadcurdata_5");
        } else if (op == "link re-read") {
            channelexchange::Request r{0x54, 2000, "link", "data", {}};
            QCOMPARE(int(channelexchange::run(r, [] { gMainApp->sendlinks(QString(24, '0')); })),
                     int(channelexchange::Result::Done));
        } else if (op == "copy re-read") {
            channelexchange::Request r{0x55, 2000, "copy", "data", {}};
            QCOMPARE(int(channelexchange::run(r, [] { gMainApp->sendcopy(0, 1); })),
                     int(channelexchange::Result::Done));
        } else {
            QFAIL(qPrintable("no operation " + op));
        }
    }

private slots:
    void initTestCase() { QVERIFY2(line.open(), qPrintable(line.s.errorstring())); }
    void cleanupTestCase() { line.close(); }
    void init() { programbytes::setupstocked(f, line, 1, programbytes::kQuickScale); }
    void cleanup() { programbytes::teardownstocked(f, line); }

    // Each operation succeeds whether or not the replies echo the program.
    void operations_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<bool>("echo"); // another value than the program in the replies
        for (bool echo : {false, true})
            for (const char *op :
                 {"names refresh", "load current data", "recall", "store", "delete", "reset", "save to PC",
                  "load from PC", "save all", "load all", "link re-read", "copy re-read"})
                QTest::addRow("%s%s", op, echo ? ", other echo" : "") << QString(op) << echo;
    }
    void operations()
    {
        QFETCH(QString, op);
        QFETCH(bool, echo);
        if (echo) {
            Fault x;
            x.kind = Fault::OtherEcho;
            line.s.addfault(x);
        }
        line.s.update(line.unit, [](standin::UnitState &u) { u.image = imageof(7); });
        start(op);
        QCOMPARE(boxes(), op == "save all" ? QString("information:Save All Data To PC OK ") : QString());
        const standin::UnitState u = unit();
        if (op == "names refresh") {
            QCOMPARE(line.sent(0x64).size(), 40);
            QCOMPARE(f.cell("progwidget", 2, 1), QString("no"));
            QCOMPARE(f.cell("progwidget", 3, 2).toLatin1(), name20("USER 4"));
        } else if (op == "recall") {
            QCOMPARE(u.currentProgram, quint8(2));
            QCOMPARE(f.dev->getcurprogramnum(), 2);
            QCOMPARE(f.curimage(), imageof(2));
        } else if (op == "store") {
            QCOMPARE(u.programs[3].name, name20("STORED"));
            QCOMPARE(f.cell("progwidget", 3, 2).toLatin1(), name20("STORED"));
        } else if (op == "delete") {
            QVERIFY(!u.programs[4].used);
            QCOMPARE(f.cell("progwidget", 4, 1), QString("no"));
        } else if (op == "reset") {
            QVERIFY(!u.programs[0].used);
            QCOMPARE(f.cell("progwidget", 0, 1), QString("no"));
            QCOMPARE(f.curimage(), u.image);
            // The processor runs its template now, and the model says so.
            QCOMPARE(line.sent(0x02).size(), 1);
            QCOMPARE(f.dev->getcurprogramnum(), 0);
        } else if (op == "save to PC") {
            QCOMPARE(readall(path("one.K91")), imageof(2));
        } else if (op == "load from PC") {
            QCOMPARE(u.programs[5].image, imageof(66));
            QCOMPARE(f.cell("progwidget", 5, 2).toLatin1(), name20("IMAGE 66"));
        } else if (op == "save all") {
            QByteArray all;
            for (int n = 1; n <= 30; ++n)
                all += u.programimage(n);
            QCOMPARE(readall(path("all.J91")), all);
            QCOMPARE(storedslots(), all);
        } else if (op == "load all") {
            for (int n = 1; n <= 30; ++n)
                QCOMPARE(u.programs[n - 1].image, imageof(100 + n));
            QCOMPARE(storedslots(), collection());
            QCOMPARE(f.cell("progwidget", 29, 2).toLatin1(), name20("IMAGE 130"));
        }
        // What each leaves as the running data is the model's.
        if (op != "names refresh" && op != "store" && op != "delete" && op != "save to PC" &&
            op != "load from PC")
            QCOMPARE(f.curimage(), unit().image);
        QVERIFY(!f.page->isbusy());
    }

    // A silent processor (the line up, no reply at all): each long operation
    // ends after its first step's bound (11 sends of one request) with its
    // box; no file is written, the model is as it was.
    void silent_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("command"); // the one request sent (11 times)
        QTest::addColumn<QString>("box");
        QTest::newRow("save all") << "save all" << 0x61 << "critical:Cannot Save To PC ";
        QTest::newRow("load all") << "load all" << 0x60 << "critical:Download Program Failed ";
        QTest::newRow("names refresh") << "names refresh" << 0x64 << "critical:Refresh Programs List";
        QTest::newRow("reset") << "reset" << 0x65 << "critical:Reset Program Failed ";
        // The recall may have been carried out: the processor is asked which
        // program it runs, and says nothing either.
        QTest::newRow("recall") << "recall" << 0x62 << "critical:Load Program";
    }
    void silent()
    {
        QFETCH(QString, op);
        QFETCH(int, command);
        QFETCH(QString, box);
        const QByteArray file = "an existing file";
        QVERIFY(writeall(path("all.J91"), file));
        const QByteArray model = f.packed();
        const QByteArray stored = storedslots();
        const QStringList table = rows();
        line.s.addfault(Fault()); // every command, no reply
        start(op);
        QCOMPARE(boxes(), box);
        QVERIFY(line.caughtup());
        QCOMPARE(line.sent(command).size(), 11);
        // A load all asks once more for the name of the program it left cut
        // off, a recall for the program that runs.
        QCOMPARE(line.sent(-1).size(), op == "load all" || op == "recall" ? 12 : 11);
        if (op == "load all")
            QCOMPARE(line.sent(0x64).size(), 1);
        if (op == "recall")
            QCOMPARE(line.sent(0x02).size(), 1);
        QCOMPARE(readall(path("all.J91")), file);
        QCOMPARE(f.packed(), model);
        QCOMPARE(storedslots(), stored);
        QCOMPARE(rows(), table);
        QCOMPARE(f.dev->getcurprogramnum(), 1);
        QVERIFY(!f.page->isbusy());
    }

    // Cancel during each long operation (real waits, a silent processor):
    // it ends at once, without a box, no file written, the model as it was.
    // Load all stops after the program under way, which the silent processor
    // leaves cut off: within one reply time, with the box that says so, the
    // programs written before kept. A recall or a reset that went out may
    // have been carried out: the recall asks the processor which program it
    // runs (one more reply time) and, unanswered, says which it may run; the
    // reset says it was not acknowledged.
    void cancel_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("fault");   // the command left unanswered
        QTest::addColumn<int>("written"); // programs a load all wrote before
        for (const char *op : {"save all", "load all", "names refresh", "reset", "recall"})
            QTest::newRow(op) << QString(op) << -1 << 0;
        // Cancelled in a later step: what the earlier ones brought is not kept.
        QTest::newRow("save all, program 3") << "save all" << 0x61 << 0;
        QTest::newRow("load all, program 3") << "load all" << 0x60 << 2;
        QTest::newRow("names refresh, name 9") << "names refresh" << 0x64 << 0;
    }
    void cancel()
    {
        QFETCH(QString, op);
        QFETCH(int, fault);
        QFETCH(int, written);
        const bool loadall = op == "load all";
        MainApp::settimescale(fault < 0 ? 1 : 0.01);
        const QByteArray file = "an existing file";
        QVERIFY(writeall(path("all.J91"), file));
        const QByteArray model = f.packed();
        const QByteArray stored = storedslots();
        const QStringList table = rows();
        Fault x;
        x.command = fault;
        if (fault == 0x64)
            x.program = 9;
        else if (fault >= 0)
            x.program = 3;
        line.s.addfault(x);
        QElapsedTimer clock;
        qint64 clicked = -1;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            if (clicked >= 0 || line.sent(-1).isEmpty())
                return;
            // The later step's request has gone out: its waits are real ones.
            if (MainApp::timescale() != 1) {
                const auto sent = line.sent(fault);
                if (!sent.isEmpty() && quint8(sent.last().payload().at(0)) == quint8(x.program))
                    MainApp::settimescale(1);
                return;
            }
            if (QPushButton *b = cancelbutton()) {
                QTest::mouseClick(b, Qt::LeftButton);
                clicked = clock.elapsed();
            }
        });
        clock.start();
        poll.start();
        start(op);
        const qint64 ended = clock.elapsed();
        poll.stop();
        QVERIFY2(clicked >= 0, "no Cancel button was shown");
        // A wait of the operation alone lasts seconds; Cancel ends it at once
        // (loosely), a load all within the reply time of a part (2.15 s).
        const bool recall = op == "recall";
        QVERIFY2(ended - clicked < (loadall  ? 3000
                                    : recall ? 2700
                                             : 1500),
                 qPrintable(QString::number(ended - clicked)));
        QString box;
        if (loadall)
            box = "critical:Download Program Failed ";
        else if (recall)
            box = "critical:Load Program";
        else if (op == "reset")
            box = "critical:Reset Program Failed ";
        QCOMPARE(boxes(), box);
        QCOMPARE(line.sent(0x02).size(), recall ? 1 : 0);
        QCOMPARE(readall(path("all.J91")), file);
        QCOMPARE(f.packed(), model);
        const int kept = written * kProgramImageSize;
        QCOMPARE(storedslots().mid(kept), stored.mid(kept));
        QCOMPARE(storedslots().left(kept), collection().left(kept));
        QCOMPARE(rows().mid(written), table.mid(written));
        QCOMPARE(f.dev->getcurprogramnum(), 1);
        QVERIFY(!f.page->isbusy());
        QVERIFY(!LongExchange::cancelled());
    }

    // The processor carries out the command, then the line drops before its
    // acknowledgement: the box says the line dropped and that the processor
    // may have done it (in the language shown); the model stays as it was.
    void linedrops_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("program"); // of the command the line drops after
        QTest::addColumn<int>("part");    // the part of a program write, -1 none
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("box");
        const QString dropped = "The line to the processor dropped; the processor may have done it. Connect "
                                "again to see what it holds";
        QTest::newRow("recall") << "recall" << 0x62 << 2 << -1 << 0
                                << "critical:This Program Load Failed|" + dropped;
        QTest::newRow("store") << "store" << 0x63 << 4 << -1 << 0
                               << "critical:Save This Program Failed|" + dropped;
        QTest::newRow("load from PC, last part")
            << "load from PC" << 0x60 << 6 << 25 << 0 << "critical:Download Program Failed |" + dropped;
        QTest::newRow("load all, program 1 last part")
            << "load all" << 0x60 << 1 << 25 << 0
            << "critical:Download Program Failed |No program was written\nProgram 1 is incomplete\n" +
                   dropped;
        QTest::newRow("recall, Chinese")
            << "recall" << 0x62 << 2 << -1 << 1
            << QString::fromUtf8("critical:程式载入失败|与处理器的连接已断开，处理器可能已执行此操作。"
                                 "请重新连接以查看其当前数据");
    }
    void linedrops()
    {
        QFETCH(QString, op);
        QFETCH(int, command);
        QFETCH(int, program);
        QFETCH(int, part);
        QFETCH(int, language);
        QFETCH(QString, box);
        MainApp::settimescale(0.1);
        gGlobalContrl->setlanguage(language);
        Fault x = Fault::onprogram(Fault::NoReply, command, program);
        x.packet = part;
        line.s.addfault(x);
        const QByteArray model = f.packed();
        const QStringList table = rows();
        // The line drops once the command reached the processor.
        QTimer poll;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, [&] {
            for (const auto &r : line.sent(command))
                if (quint8(r.payload().at(0)) == program && (part < 0 || quint8(r.payload().at(1)) == part))
                    f.dev->setcomconnected(0);
        });
        poll.start();
        start(op);
        poll.stop();
        gGlobalContrl->setlanguage(0);
        QStringList shown;
        for (const auto &b : f.prompts->shown)
            if (b.kind != "open" && b.kind != "save" && b.kind != "confirm")
                shown << b.kind + ':' + b.title + '|' + b.text;
        QCOMPARE(shown.join("; "), box);
        // Carried out by the processor.
        const standin::UnitState u = unit();
        if (op == "recall")
            QCOMPARE(int(u.currentProgram), program);
        else if (op == "store")
            QVERIFY(u.programs[program - 1].name.startsWith("STORED"));
        QCOMPARE(f.packed(), model);
        if (op != "load all")
            QCOMPARE(rows(), table);
        QCOMPARE(f.dev->getcurprogramnum(), 1);
        QVERIFY(!f.page->isbusy());
        f.dev->setcomconnected(1);
    }
};

QTEST_MAIN(TstFormSetViewOperations)
#include "tst_formsetview_operations.moc"
