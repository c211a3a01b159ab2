// The program page against the processor stand-in: frames worked by hand
// (type 0x18, address 1), the stand-in's slots afterwards, and the faults each
// operation survives.

#include "dialoginputstr.h"
#include "longexchange.h"
#include "programsfixture.h"

#include <QComboBox>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QSignalSpy>

using standin::Fault;

namespace
{
// An image told apart from the others by its name field and a few bytes.
QByteArray imageof(int seed)
{
    QByteArray im = standin::factoryimage();
    im.replace(1, 20, name20("IMAGE " + QByteArray::number(seed)));
    im[21] = char(seed & 1);                 // IN-A mute
    im[22] = char((seed * 37) & 0xFF);       // IN-A gain, low byte
    im[1117 + 1] = char((seed * 11) & 0xFF); // IN-A delay, low byte
    return im;
}
} // namespace

class TstFormSetViewStandin : public QObject
{
    Q_OBJECT
    ProgramsFixture f;
    StandinLine line;

    standin::UnitState unit() const { return line.s.state(line.unit); }
    QStringList hexof(int command) const
    {
        QStringList out;
        for (const auto &r : line.sent(command))
            out << QString::fromLatin1(r.bytes.toHex());
        return out;
    }
    // The page's names and used marks against the stand-in's slots.
    void tablesmatch() const
    {
        const standin::UnitState u = unit();
        for (int k = 0; k < 30; ++k) {
            QCOMPARE(f.cell("progwidget", k, 1), QString(u.programs[k].used ? "have" : "no"));
            QCOMPARE(f.cell("progwidget", k, 2).toLatin1(), u.programs[k].name);
        }
        for (int k = 0; k < 10; ++k)
            QCOMPARE(f.cell("effectwidget", k, 1).toLatin1(), u.programs[30 + k].name);
    }
    void seedunit()
    {
        line.s.update(line.unit, [](standin::UnitState &u) {
            u.image = imageof(0);
            u.currentProgram = 1;
            for (int k = 0; k < 40; ++k) {
                const bool used = k >= 30 || k % 3 != 2;
                u.programs[k].used = used;
                u.programs[k].image = used ? imageof(k + 1) : QByteArray(1664, '\0');
                u.programs[k].name =
                    used ? name20((k >= 30 ? "PRESET " : "USER ") + QByteArray::number(k + 1)) : name20("");
            }
        });
    }

private slots:
    void initTestCase() { QVERIFY2(line.open(), qPrintable(line.s.errorstring())); }
    void cleanupTestCase() { line.close(); }
    void init()
    {
        f.setup();
        MainApp::settimescale(0.05);
        line.reset();
        seedunit();
        f.dev->setcurprogramnum(1);
        f.page->refreshdata();
        line.s.clearframes();
    }
    void cleanup()
    {
        f.teardown();
        QTest::qWait(30);
        line.reset();
    }

    // Names refresh: the 40 names in order, then the tables show them.
    void refresh()
    {
        f.click("btn_ref");
        const QStringList sent = hexof(0x64);
        QCOMPARE(sent.size(), 40);
        QCOMPARE(sent.first(), QString("112233180164010167445566"));
        QCOMPARE(sent.last(), QString("11223318016401280e445566"));
        QCOMPARE(int(f.dev->namesloaded), 1);
        tablesmatch();
        // On opening, the names are read once per connection.
        line.s.clearframes();
        f.page->on_btn_ref1_clicked();
        QTest::qWait(20);
        QCOMPARE(hexof(0x64).size(), 0);
        f.dev->namesloaded = 0;
        f.page->on_btn_ref1_clicked();
        QCOMPARE(hexof(0x64).size(), 40);
        QCOMPARE(f.page->progresswindow()->value(), -1); // 100 ended it
    }

    // Recall of preset 31: one recall, the 26 parts of the running data, and
    // the model is the stand-in's new image.
    void recall()
    {
        f.click("btn_ref");
        line.s.clearframes();
        QSignalSpy reload(f.page.get(), &FormSetView::updataallviews);
        f.select(31);
        f.click("btn_loadprogram");
        QCOMPARE(hexof(0x62), QStringList{"112233180162011f03445566"});
        const QStringList parts = hexof(0x61);
        QCOMPARE(parts.size(), 26);
        QCOMPARE(parts.first(), QString("11223318016102000064445566"));
        QCOMPARE(unit().currentProgram, quint8(31));
        QCOMPARE(unit().image, imageof(31));
        QCOMPARE(f.curimage(), unit().image);
        QCOMPARE(f.packed(), unit().image);
        QCOMPARE(f.dev->getcurprogramnum(), 31);
        QCOMPARE(f.dev->getdevicename(), QString("Online Data"));
        QCOMPARE(reload.count(), 1);
        QVERIFY(f.prompts->shown.isEmpty());
    }

    // Store: the dialog proposes the selected row's ID and name (empty for an
    // unnamed slot), the name goes out as 20 Latin-1 bytes (blanks when empty),
    // the slot holds the running image, the table its name.
    void store_data()
    {
        QTest::addColumn<int>("program");
        QTest::addColumn<QString>("name"); // typed
        QTest::addColumn<int>("id");       // chosen index
        QTest::addColumn<int>("proposedid");
        QTest::addColumn<QString>("proposedname");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("names");  // the name read back
        QTest::newRow("preset row 3, named") // record 3's name on the preset tab
            << 34 << QString::fromLatin1("Stage Left \xe9") << 6 << 3 << "USER 4"
            << "11223318016315075374616765204c65667420e9202020202020202028445566"
            << "11223318016401076d445566";
        QTest::newRow("unnamed slot, empty")
            << 3 << "" << 2 << 2 << ""
            << "112233180163150320202020202020202020202020202020202020207c445566"
            << "112233180164010369445566";
    }
    void store()
    {
        QFETCH(int, program);
        QFETCH(QString, name);
        QFETCH(int, id);
        QFETCH(int, proposedid);
        QFETCH(QString, proposedname);
        QFETCH(QString, frame);
        QFETCH(QString, names);
        f.click("btn_ref");
        line.s.clearframes();
        f.select(program);
        int gotid = -1;
        QString gotname = "?";
        ProgramsFixture::whenmodal<DialogInputStr>([&](DialogInputStr *d) {
            gotid = d->findChild<QComboBox *>("cbxnewid")->currentIndex();
            gotname = d->findChild<QLineEdit *>("EditNewName")->text();
            d->findChild<QLineEdit *>("EditNewName")->setText(name);
            d->findChild<QComboBox *>("cbxnewid")->setCurrentIndex(id);
            d->findChild<QPushButton *>("pushButton_ok")->click();
        });
        f.click("btnloadcurdata_2");
        QCOMPARE(gotid, proposedid);
        QCOMPARE(gotname, proposedname);
        QCOMPARE(hexof(0x63), QStringList{frame});
        QCOMPARE(hexof(0x64), QStringList{names});
        const standin::UnitState u = unit();
        QVERIFY(u.programs[id].used);
        QCOMPARE(u.programs[id].name, name20(name.toLatin1()));
        QCOMPARE(u.programs[id].image.mid(21), imageof(0).mid(21));
        tablesmatch();
    }

    // Delete and reset with what each leaves in the stand-in.
    void deleteandreset()
    {
        f.click("btn_ref");
        line.s.clearframes();
        f.select(2);
        f.prompts->confirmations << true;
        f.click("btndelete");
        QCOMPARE(f.prompts->titles(), QStringList{"Delete"});
        QCOMPARE(hexof(0x66), QStringList{"11223318016601026a445566"});
        QCOMPARE(hexof(0x64), QStringList{"112233180164010268445566"});
        QVERIFY(!unit().programs[1].used);
        QCOMPARE(f.cell("progwidget", 1, 1), QString("no"));
        tablesmatch();

        line.s.clearframes();
        f.prompts->clear();
        QSignalSpy reload(f.page.get(), &FormSetView::updataallviews);
        f.prompts->confirmations << true;
        f.click("btnreset");
        QCOMPARE(f.prompts->titles(), QStringList{"Reset Programes"});
        QCOMPARE(hexof(0x65), QStringList{"1122331801650066445566"});
        QCOMPARE(hexof(0x64).size(), 40);
        QCOMPARE(hexof(0x61).size(), 26);
        for (int k = 0; k < 30; ++k)
            QVERIFY(!unit().programs[k].used);
        QCOMPARE(f.packed(), unit().image);
        QCOMPARE(unit().image, standin::poweronimagefor());
        QCOMPARE(reload.count(), 1);
        tablesmatch();

        // Answered "No": nothing is sent.
        line.s.clearframes();
        f.click("btnreset");
        f.select(1);
        f.click("btndelete");
        QTest::qWait(20);
        QVERIFY(line.sent(-1).isEmpty());
    }

    // Refusals of a recall and a delete, decided by the device record: nothing is sent.
    void refused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("program");
        QTest::addColumn<int>("lock");
        QTest::addColumn<int>("running");
        QTest::addColumn<QString>("shownfield"); // what the program number field reads
        QTest::addColumn<QString>("box");        // title|text, or the confirmation's title
        QTest::newRow("recall, empty slot") << "btn_loadprogram" << 3 << 0 << 1 << "     1"
                                            << "Can't Load Program|This Program Is Not Exist";
        QTest::newRow("recall, lock state 4") << "btn_loadprogram" << 1 << 4 << 1 << "     1"
                                              << "Has Locked!|Please Unlock and retry!";
        QTest::newRow("delete, preset")
            << "btndelete" << 31 << 0 << 1 << "     1"
            << "Preset Program Cannot Delete |Preset Program Cannot Delete \nPlease Select Again";
        QTest::newRow("delete, the last user program, empty")
            << "btndelete" << 30 << 0 << 1 << "     1"
            << "Can't Delete This Program|This Program Is Not Exist";
        QTest::newRow("delete, empty slot") << "btndelete" << 3 << 0 << 1 << "     1"
                                            << "Can't Delete This Program|This Program Is Not Exist";
        QTest::newRow("delete, running, field empty") << "btndelete" << 2 << 0 << 2 << ""
                                                      << "Can't Delete This Program|This Program Is Running";
        QTest::newRow("delete, field stale, not running") << "btndelete" << 2 << 0 << 4 << "     2"
                                                          << "Delete|Do you Delete this program?";
    }
    void refused()
    {
        QFETCH(QString, button);
        QFETCH(int, program);
        QFETCH(int, lock);
        QFETCH(int, running);
        QFETCH(QString, shownfield);
        QFETCH(QString, box);
        f.click("btn_ref");
        line.s.clearframes();
        f.dev->setlocktype(lock);
        f.dev->setcurprogramnum(running);
        f.child<QLineEdit>("Editsetproid")->setText(shownfield);
        f.select(program);
        f.invoke(button); // a confirmation is answered "No"
        QCOMPARE(f.prompts->titles().join('|') + '|' + f.prompts->texts().join('|'), box);
        QTest::qWait(20);
        QVERIFY(line.sent(-1).isEmpty());
    }

    // A processor that never gets the command: every operation ends after 11
    // sends with its box; a link that drops or an application that closes
    // ends it at once, only a lost link reported. Each keeps what it had.
    void silent_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("event"); // 1 the link drops, 2 closing
        QTest::addColumn<QString>("box");
        const QString names =
            "critical:Refresh Programs List|The program names could not be read. Please Try Again";
        QTest::newRow("names") << "btn_ref" << 0x64 << 0 << names;
        QTest::newRow("load current data")
            << "btnloadcurdata" << 0x61 << 0
            << "critical:Load Data|The current program could not be read completely. Please Try Again";
        QTest::newRow("recall") << "btn_loadprogram" << 0x62 << 0
                                << "critical:This Program Load Failed|please try again";
        QTest::newRow("store") << "btnloadcurdata_2" << 0x63 << 0
                               << "critical:Save This Program Failed|Please Try Again";
        QTest::newRow("delete") << "btndelete" << 0x66 << 0
                                << "critical:Delete Program Failed |Please Try Again";
        QTest::newRow("names, link drops") << "btn_ref" << 0x64 << 1 << names;
        // A command that went out before the line dropped may have been carried out.
        const QString dropped = "The line to the processor dropped; the processor may have done it. Connect "
                                "again to see what it holds";
        QTest::newRow("delete, link drops")
            << "btndelete" << 0x66 << 1 << "critical:Delete Program Failed |" + dropped;
        QTest::newRow("recall, link drops")
            << "btn_loadprogram" << 0x62 << 1 << "critical:This Program Load Failed|" + dropped;
        QTest::newRow("names, closing") << "btn_ref" << 0x64 << 2 << "";
    }
    void silent()
    {
        QFETCH(QString, button);
        QFETCH(int, command);
        QFETCH(int, event);
        QFETCH(QString, box);
        MainApp::settimescale(event ? 0.05 : 0.01);
        f.click("btn_ref");
        const QStringList rows = {f.cell("progwidget", 0, 2), f.cell("progwidget", 1, 2)};
        const QByteArray before = f.packed();
        line.s.update(line.unit, [](standin::UnitState &u) { u.programs[0].name = name20("RENAMED"); });
        f.dev->namesloaded = 0;
        line.s.clearframes();
        Fault x;
        x.kind = Fault::Ignored;
        x.command = command;
        line.s.addfault(x);
        f.select(2);
        f.prompts->confirmations << true;
        ProgramsFixture::whenmodal<DialogInputStr>(
            [](DialogInputStr *d) { d->findChild<QPushButton *>("pushButton_ok")->click(); });
        QSignalSpy reload(f.page.get(), &FormSetView::updataallviews);
        QTimer::singleShot(30, [&] {
            if (event == 1)
                f.dev->setcomconnected(0);
            if (event == 2)
                gGlobalContrl->setclosing(1);
        });
        f.invoke(button);
        QVERIFY(line.caughtup());
        if (event == 0)
            QCOMPARE(line.sent(command).size(), 11);
        else
            QVERIFY(line.sent(command).size() <= 2);
        QStringList boxes;
        for (const auto &b : f.prompts->shown)
            if (b.kind != "confirm")
                boxes << b.kind + ':' + b.title + '|' + b.text;
        QCOMPARE(boxes.join("; "), box);
        QCOMPARE(reload.count(), 0);
        QCOMPARE(f.packed(), before);
        QCOMPARE(f.dev->getcurprogramnum(), 1);
        QCOMPARE(int(f.dev->namesloaded), 0);
        QCOMPARE(QStringList({f.cell("progwidget", 0, 2), f.cell("progwidget", 1, 2)}), rows);
        QVERIFY(!f.page->isbusy());
    }

    // A command sent and never answered: the processor may have carried it
    // out (its answers lost) or never got it. The page asks (the running
    // program, or the program's name record) and shows what the processor
    // holds; the box says the command failed only when it was not carried
    // out, and what may differ when the processor stays silent.
    void unanswered_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("carriedout"); // else the command never reaches the processor
        QTest::addColumn<int>("silentafter"); // a command the processor does not answer afterwards
        QTest::addColumn<QString>("box");
        const QString mayhavedone = "The processor did not answer; it may have done it. Refresh the program "
                                    "list to see what it holds";
        QTest::newRow("recall carried out") << "btn_loadprogram" << 0x62 << true << 0 << "";
        QTest::newRow("recall not received") << "btn_loadprogram" << 0x62 << false << 0
                                             << "critical:This Program Load Failed|please try again";
        QTest::newRow("recall carried out, then silent")
            << "btn_loadprogram" << 0x62 << true << 0x02
            << "critical:Load Program|The processor may run program 2; connect again to read it";
        QTest::newRow("delete carried out") << "btndelete" << 0x66 << true << 0 << "";
        QTest::newRow("delete not received")
            << "btndelete" << 0x66 << false << 0 << "critical:Delete Program Failed |Please Try Again";
        QTest::newRow("delete carried out, then silent")
            << "btndelete" << 0x66 << true << 0x64 << "critical:Delete Program Failed |" + mayhavedone;
        QTest::newRow("store carried out") << "btnloadcurdata_2" << 0x63 << true << 0 << "";
        QTest::newRow("store not received") << "btnloadcurdata_2" << 0x63 << false << 0
                                            << "critical:Save This Program Failed|Please Try Again";
        QTest::newRow("store carried out, then silent") << "btnloadcurdata_2" << 0x63 << true << 0x64
                                                        << "critical:Save This Program Failed|" + mayhavedone;
        QTest::newRow("store of the same name carried out")
            << "btnloadcurdata_2" << 0x63 << true << -1
            << "critical:Save This Program Failed|Please Try Again";
    }
    void unanswered()
    {
        QFETCH(QString, button);
        QFETCH(int, command);
        QFETCH(bool, carriedout);
        QFETCH(int, silentafter);
        QFETCH(QString, box);
        MainApp::settimescale(0.01);
        f.click("btn_ref");
        const QByteArray before = f.curimage();
        line.s.clearframes();
        Fault x;
        x.kind = carriedout ? Fault::NoReply : Fault::Ignored;
        x.command = command;
        line.s.addfault(x);
        if (silentafter > 0) {
            Fault y;
            y.command = silentafter;
            line.s.addfault(y);
        }
        f.select(2);
        f.prompts->confirmations << true;
        // Stored under a new name, or the name it has (-1).
        const QString name = silentafter < 0 ? "USER 2" : "STORED AGAIN";
        ProgramsFixture::whenmodal<DialogInputStr>([&](DialogInputStr *d) {
            d->findChild<QLineEdit *>("EditNewName")->setText(name);
            d->findChild<QPushButton *>("pushButton_ok")->click();
        });
        f.invoke(button);
        QVERIFY(line.caughtup());
        QCOMPARE(line.sent(command).size(), 11);
        QStringList boxes;
        for (const auto &b : f.prompts->shown)
            if (b.kind != "confirm")
                boxes << b.kind + ':' + b.title + '|' + b.text;
        QCOMPARE(boxes.join("; "), box);
        const standin::UnitState u = unit();
        QCOMPARE(u.programs[1].used, command != 0x66 || !carriedout);
        if (command == 0x62) {
            // The model runs what the processor runs, or the box says it may not.
            QCOMPARE(int(u.currentProgram), carriedout ? 2 : 1);
            const bool follows = carriedout && silentafter == 0;
            QCOMPARE(f.dev->getcurprogramnum(), follows ? int(u.currentProgram) : 1);
            QCOMPARE(f.curimage(), follows ? u.image : before);
        } else if (silentafter == 0x64) {
            // Nothing could be read: the list kept, the box says it may differ.
            QCOMPARE(f.cell("progwidget", 1, 2).trimmed(), QString("USER 2"));
            QCOMPARE(f.cell("progwidget", 1, 1), QString("have"));
        } else {
            tablesmatch();
            QCOMPARE(f.dev->getcurprogramnum(), 1);
        }
        QVERIFY(!f.page->isbusy());
    }

    // Load current data with parts of an earlier read still in the receive
    // buffer: a part that never comes leaves the model and "PC Init Data".
    void stalereceivebuffer()
    {
        MainApp::settimescale(0.01);
        for (int k = 0; k < 26; ++k)
            f.dev->storepacket(QString::fromLatin1(
                (QByteArray(1, 0) + QByteArray(1, char(k)) + imageof(9).mid(64 * k, 64)).toHex()));
        const QByteArray before = f.packed();
        Fault x;
        x.command = 0x61;
        x.packet = 5;
        line.s.addfault(x);
        f.page->on_btnloadcurdata_clicked();
        QCOMPARE(f.packed(), before);
        QVERIFY(f.dev->getdevicename() != QString("Online Data"));
        QCOMPARE(f.prompts->shown.size(), 1);
    }

    // Replies to other commands during a recall do not end it. (A recall's
    // reply carries nothing but its code: another recall's reply would.)
    void strayreplies()
    {
        MainApp::settimescale(0.01);
        f.click("btn_ref");
        line.s.clearframes();
        Fault x;
        x.kind = Fault::Ignored;
        x.command = 0x62;
        line.s.addfault(x);
        QTimer::singleShot(10, [&] {
            QByteArray part0(66, '\0');
            for (const QByteArray &r : {standin::replyframe(0x18, 1, 0x10, QByteArray(1, 1)),
                                        standin::replyframe(0x18, 1, 0x12, QByteArray(1, 1)),
                                        standin::replyframe(0x18, 1, 0x65, QByteArray()),
                                        standin::replyframe(0x18, 1, 0x66, QByteArray(1, 2)),
                                        standin::replyframe(0x18, 1, 0x61, part0)})
                line.s.sendraw(line.line, r);
        });
        f.select(2);
        f.click("btn_loadprogram");
        // The last send may still be on its way to the stand-in.
        QTRY_COMPARE(line.sent(0x62).size(), 11);
        QCOMPARE(line.sent(0x61).size(), 0);
        QCOMPARE(f.prompts->titles(), QStringList{"This Program Load Failed"});
        QCOMPARE(f.dev->getcurprogramnum(), 1);
    }

    // While a recall waits, the page's buttons start nothing; switching the
    // device ends it without touching either record.
    void duringexchange_data()
    {
        QTest::addColumn<bool>("switchdevice");
        QTest::newRow("clicks") << false;
        QTest::newRow("device switched") << true;
    }
    void duringexchange()
    {
        QFETCH(bool, switchdevice);
        f.click("btn_ref");
        line.s.clearframes();
        Fault late;
        late.kind = Fault::LateReply;
        late.command = 0x62;
        late.delayMs = 150;
        line.s.addfault(late);
        DeviceData *other = nullptr;
        QTimer::singleShot(40, [&] {
            if (switchdevice) {
                const QHostAddress serial(QStringLiteral("0.0.0.0"));
                other = MainApp::adddevice(0x18, 2, serial);
                other->setcomconnected(1);
                gMainApp->setdevaddr(2);
                gMainApp->selectdevice(0x18, 2, serial);
                return;
            }
            QVERIFY(f.page->progresswindow() && f.page->progresswindow()->isVisible());
            f.prompts->confirmations << true << true;
            for (const char *b : {"btn_ref", "btndelete", "btnreset", "btnconnect", "btn_loadprogram",
                                  "btnloadcurdata_2", "pushButton1"})
                f.click(b);
            f.page->on_btnloadcurdata_clicked();
            f.page->on_btn_ref1_clicked();
        });
        f.select(2);
        f.click("btn_loadprogram");
        QTest::qWait(200);
        QCOMPARE(line.sent(0x62).size(), 1);
        for (int c : {0x64, 0x66, 0x65, 0x02, 0x03, 0x63})
            QCOMPARE(line.sent(c).size(), 0);
        if (switchdevice) {
            QCOMPARE(line.sent(0x61).size(), 0);
            QCOMPARE(f.prompts->titles(), QStringList{"This Program Load Failed"});
            QCOMPARE(f.dev->getcurprogramnum(), 1);
            QCOMPARE(other->getcurprogramnum(), 0);
        } else {
            QCOMPARE(line.sent(0x61).size(), 26);
            QVERIFY(f.prompts->shown.isEmpty());
            QCOMPARE(f.dev->getcurprogramnum(), 2);
        }
    }

    // Another long exchange (a connect's download, a device search, a file
    // load from the tool bar) holds the program-wide claim: the page's
    // buttons start nothing; once it ends they work again.
    void whileanotherexchangeruns()
    {
        line.s.clearframes();
        {
            LongExchange other;
            QVERIFY(other.acquired());
            f.prompts->confirmations << true << true;
            for (const char *b : {"btn_ref", "btndelete", "btnreset", "btn_loadprogram", "btnloadcurdata_2"})
                f.click(b);
            f.page->on_btnloadcurdata_clicked();
            QTest::qWait(50);
            QCOMPARE(line.s.frames().size(), 0);
        }
        f.page->on_btnloadcurdata_clicked();
        QCOMPARE(line.sent(0x61).size(), 26);
        QCOMPARE(gConnectBusy, 0);
    }

    // Model equals processor: random operations through the page's buttons
    // (seeded), then the tables equal the stand-in's slots and the model its
    // running image.
    void modelequalsprocessor()
    {
        QRandomGenerator rng(1607);
        MainApp::settimescale(0.02);
        f.click("btn_ref");
        for (int step = 0; step < 12; ++step) {
            const int op = int(rng.bounded(4));
            const int p = 1 + int(rng.bounded(op == 0 ? 40 : 30));
            f.select(p);
            f.prompts->clear();
            switch (op) {
            case 0:
                f.click("btn_loadprogram");
                break;
            case 1: {
                const int id = int(rng.bounded(30));
                const QString name = QStringLiteral("R%1 %2").arg(step).arg(rng.bounded(1000));
                ProgramsFixture::whenmodal<DialogInputStr>([&](DialogInputStr *d) {
                    d->findChild<QLineEdit *>("EditNewName")->setText(name);
                    d->findChild<QComboBox *>("cbxnewid")->setCurrentIndex(id);
                    d->findChild<QPushButton *>("pushButton_ok")->click();
                });
                f.click("btnloadcurdata_2");
                break;
            }
            case 2:
                f.prompts->confirmations << true;
                f.click("btndelete");
                break;
            default:
                f.page->on_btnloadcurdata_clicked();
                break;
            }
            // Only the expected refusals (empty or running slot) appear.
            for (const auto &s : f.prompts->shown)
                QVERIFY2(s.kind == "confirm" || s.text.contains("Not Exist") || s.text.contains("Running"),
                         qPrintable(s.title));
        }
        f.page->on_btnloadcurdata_clicked();
        f.click("btn_ref");
        tablesmatch();
        QCOMPARE(f.packed(), unit().image);
        QCOMPARE(f.dev->getcurprogramnum(), int(unit().currentProgram));
    }
};

QTEST_MAIN(TstFormSetViewStandin)
#include "tst_formsetview_standin.moc"
