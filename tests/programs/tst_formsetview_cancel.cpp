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
    // a recall of program 5, which the processor ignores: the late reply is
    // let go by, the second recall fails with its box and the model does not
    // take program 5.
    void latereplyaftercancel()
    {
        const QByteArray running = f.curimage();
        // Scaled: one reply time (4.1 s, here 615 ms) from the cancel at
        // 400 ms outlasts the late reply at 900 ms; the second recall's
        // eleven sends then take about 7 s.
        MainApp::settimescale(0.15);
        line.s.addfault(Fault::onprogram(Fault::LateReply, 0x62, 2, 900));
        line.s.addfault(Fault::onprogram(Fault::NoReply, 0x62, 5));
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
        // Neither the number nor the data of program 5 taken.
        QCOMPARE(f.dev->getcurprogramnum(), 1);
        QCOMPARE(f.curimage(), running);
        QVERIFY(!f.page->isbusy());
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
