// The program page without a processor.

#include "dialogcopy.h"
#include "dialoginputstr.h"
#include "dialoglink.h"
#include "dialogprojectlock.h"
#include "programsfixture.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

namespace
{
const QStringList kOthers{"btnloadcurdata_2", "btndelete",        "btnreset",        "btnloadcurdata_3",
                          "btnloadFromPc",    "btnloadcurdata_4", "btnloadcurdata_5"};
} // namespace

class TstFormSetView : public QObject
{
    Q_OBJECT
    ProgramsFixture f;

    // Every program-operation button's visibility: "L" recall shown, then
    // "S" when the other seven are all shown, "-" when all hidden.
    QString visibility() const
    {
        QString out = f.child<QPushButton>("btn_loadprogram")->isVisibleTo(f.page.get()) ? "L" : "-";
        int shown = 0;
        for (const QString &n : kOthers)
            shown += f.child<QPushButton>(n)->isVisibleTo(f.page.get()) ? 1 : 0;
        return out + (shown == kOthers.size() ? "S" : shown == 0 ? "-" : "?");
    }

private slots:
    void cleanup() { f.teardown(); }

    void display_data()
    {
        QTest::addColumn<int>("state"); // 0 no device, 1 listed and disconnected, 2 connected
        QTest::addColumn<int>("lock");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("language");
        // buttons, type, id, status, connect button, current data, program number, lock button
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no device") << 0 << 0 << 24 << 0
                                   << QStringList{"--",        "4IN8OUT",      "0", "Disconnect",
                                                  "No Device", "PC Init Data", "",  "--------"};
        QTest::newRow("disconnected, Chinese")
            << 1 << 0 << 20 << 1
            << QStringList{"--", "2IN4OUT", "1", "断开连接", "连接", "PC 加载数据", "", "--------"};
        QTest::newRow("connected, unlocked")
            << 2 << 0 << 24 << 0
            << QStringList{"LS", "4IN8OUT", "1", "Connected", "Disconnect", "Online Data", "     7", "LOCK"};
        QTest::newRow("connected, lock 2, Chinese")
            << 2 << 2 << 20 << 1
            << QStringList{"L-", "2IN4OUT", "1", "已连接", "断开连接", "在线数据", "     7", "解锁"};
        QTest::newRow("connected, lock 4, type 0x17")
            << 2 << 4 << 0x17 << 0
            << QStringList{"L-", "", "1", "Connected", "Disconnect", "Online Data", "     7", "UNLOCK"};
    }
    void display()
    {
        QFETCH(int, state);
        QFETCH(int, lock);
        QFETCH(int, type);
        QFETCH(int, language);
        QFETCH(QStringList, shown);
        f.setup(1, state == 2, state > 0);
        f.dev->settype(type);
        f.dev->setlocktype(lock);
        f.dev->setcurprogramnum(7);
        gGlobalContrl->setlanguage(language);
        f.page->refreshLanText();
        f.page->refreshdata();
        const QStringList got{
            visibility(),         f.text("Editsettype"), f.text("Editsetid"),    f.text("Editsetstatus"),
            f.text("btnconnect"), f.text("Editdata"),    f.text("Editsetproid"), f.text("pushButton_31")};
        QCOMPARE(got, shown);
        // A language switch keeps the texts derived from the link state.
        gGlobalContrl->setlanguage(1 - language);
        f.page->refreshLanText();
        gGlobalContrl->setlanguage(language);
        f.page->refreshLanText();
        QCOMPARE(f.text("btnconnect"), shown[4]);
        QCOMPARE(f.text("pushButton_31"), shown[7]);
        // A device without link is marked as holding the PC's data.
        if (state == 1)
            QCOMPARE(f.dev->getdevicename(), shown[5]);
    }

    // Before any device: numbered rows, the form's texts.
    void start()
    {
        f.setup(1, false, false);
        QCOMPARE(f.cell("progwidget", 29, 0), QString("30"));
        QCOMPARE(f.cell("effectwidget", 9, 0), QString("10"));
        QCOMPARE(f.text("Editname1"), QString("PROGRAM"));
        QCOMPARE(f.child<QTabWidget>("tabWidget")->currentIndex(), 1);
        QCOMPARE(f.page->selectedprogram(), 31);
    }

    // Records never read show their program's number, not 0.
    void tables()
    {
        f.setup();
        f.dev->setnamerecord("0201" + QByteArray("SHOW").leftJustified(20, ' ').toHex());
        f.dev->setnamerecord("2100" + QByteArray("PRESET TWO").leftJustified(20, ' ').toHex());
        f.page->refreshprogram();
        QCOMPARE(
            QStringList({f.cell("progwidget", 0, 0), f.cell("progwidget", 0, 1), f.cell("progwidget", 1, 0),
                         f.cell("progwidget", 1, 1), f.cell("progwidget", 1, 2), f.cell("effectwidget", 0, 0),
                         f.cell("effectwidget", 2, 0), f.cell("effectwidget", 2, 1)}),
            QStringList(
                {"1", "no", "2", "have", "SHOW                ", "31", "33", "PRESET TWO          "}));
        gGlobalContrl->setlanguage(1);
        f.page->refreshLanText();
        QCOMPARE(f.cell("progwidget", 1, 1), QString("有"));
    }

    // The connect button acts by the link state, whatever it reads.
    void connectbutton_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("net");
        QTest::addColumn<int>("connects");    // sendconnect() emitted
        QTest::addColumn<QString>("payload"); // the last command built
        QTest::addColumn<int>("namesloaded");
        QTest::newRow("no device") << 0 << false << 0 << "" << 1;
        QTest::newRow("serial, disconnected") << 1 << false << 0 << "00" << 1;
        QTest::newRow("network, disconnected") << 1 << true << 1 << "" << 1;
        QTest::newRow("connected") << 2 << false << 0 << "00" << 0;
    }
    void connectbutton()
    {
        QFETCH(int, state);
        QFETCH(bool, net);
        QFETCH(int, connects);
        QFETCH(QString, payload);
        QFETCH(int, namesloaded);
        f.setup(1, state == 2, state > 0);
        f.dev->setnetdevice(net);
        f.dev->namesloaded = 1;
        // After a language switch the text no longer decides anything.
        gGlobalContrl->setlanguage(1);
        f.page->refreshLanText();
        QSignalSpy spy(f.page.get(), &FormSetView::sendconnect);
        f.click("btnconnect");
        QCOMPARE(spy.count(), connects);
        QCOMPARE(gMainApp->getpayload(), payload);
        QCOMPARE(int(f.dev->namesloaded), namesloaded);
    }

    // Copy and Link open only for a connected, unlocked device; the lock
    // dialogs for any connected device.
    void dialogs_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("link");
        QTest::addColumn<int>("lock");
        QTest::addColumn<QString>("opened"); // class of the dialog run, or empty
        QTest::newRow("copy") << "pushButton1" << true << 0 << "DialogCopy";
        QTest::newRow("copy, locked") << "pushButton1" << true << 1 << "";
        QTest::newRow("copy, no link") << "pushButton1" << false << 0 << "";
        QTest::newRow("link") << "pushButton_21" << true << 0 << "DialogLink";
        QTest::newRow("link, locked") << "pushButton_21" << true << 3 << "";
        QTest::newRow("device lock, locked") << "pushButton_31" << true << 1 << "DialogDeviceLock";
        QTest::newRow("device lock, no link") << "pushButton_31" << false << 0 << "";
        QTest::newRow("project lock") << "pushButton_41" << true << 2 << "DialogProjectLock";
    }
    void dialogs()
    {
        QFETCH(QString, button);
        QFETCH(bool, link);
        QFETCH(int, lock);
        QFETCH(QString, opened);
        f.setup(1, link);
        f.dev->setlocktype(lock);
        QString ran;
        QSignalSpy reload(f.page.get(), &FormSetView::updataallviews);
        ProgramsFixture::whenmodal<QDialog>([&](QDialog *d) {
            ran = d->metaObject()->className();
            QCOMPARE(d->parentWidget(), f.page.get());
            // A copy that changed the device reloads every page.
            if (auto *copy = qobject_cast<DialogCopy *>(d))
                emit copy->updataallviews();
            d->close();
        });
        f.invoke(button);
        QTest::qWait(20);
        QCOMPARE(ran, opened);
        QCOMPARE(reload.count(), opened == "DialogCopy" ? 1 : 0);
    }

    // Shift, Alt, Q in this order, other keys between, open the project lock
    // dialog while connected; the sequence then starts again.
    void keys_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QVector<int>>("keys");
        QTest::addColumn<int>("opened");
        const int S = Qt::Key_Shift, A = Qt::Key_Alt, Q = Qt::Key_Q, C = -1; // C: connect
        QTest::newRow("in order") << true << QVector<int>{S, A, Q} << 1;
        QTest::newRow("others between") << true << QVector<int>{S, Qt::Key_X, A, Q, Qt::Key_1} << 1;
        // Alt pressed with Shift held comes as Meta from an X11 keymap.
        QTest::newRow("chord, Alt as Meta") << true << QVector<int>{S, Qt::Key_Meta, Q} << 1;
        QTest::newRow("wrong order") << true << QVector<int>{A, S, Q, Q} << 0;
        QTest::newRow("twice") << true << QVector<int>{S, A, Q, S, A, Q} << 2;
        // Not connected: the sequence is dropped; connected, it starts from Shift again.
        QTest::newRow("not connected, then again") << false << QVector<int>{S, A, Q, C, A, Q, S, A, Q} << 1;
    }
    void keys()
    {
        QFETCH(bool, link);
        QFETCH(QVector<int>, keys);
        QFETCH(int, opened);
        f.setup(1, link);
        int runs = 0;
        for (int k : keys) {
            if (k == -1) {
                f.dev->setcomconnected(1);
                continue;
            }
            ProgramsFixture::whenmodal<DialogProjectLock>([&](DialogProjectLock *d) {
                ++runs;
                d->close();
            });
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(f.page.get(), &press);
            QTest::qWait(10);
        }
        QCOMPARE(runs, opened);
    }

    // The name and ID dialog.
    void namedialog_data()
    {
        QTest::addColumn<QString>("preset"); // setname
        QTest::addColumn<int>("id");         // setid
        QTest::addColumn<QString>("typed");  // keys typed after clearing, or "-" to leave the edit
        QTest::addColumn<bool>("ok");        // OK, else the frame's close
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::newRow("empty OK") << "" << 0 << "-" << true << true << "" << 0;
        QTest::newRow("one blank shows empty") << " " << 5 << "-" << true << true << "" << 5;
        QTest::newRow("twenty blanks kept")
            << QString(20, ' ') << 29 << "-" << true << true << QString(20, ' ') << 29;
        QTest::newRow("at most 20") << "" << 3 << "ABCDEFGHIJKLMNOPQRSTUVW" << true << true
                                    << "ABCDEFGHIJKLMNOPQRST" << 3;
        // Characters a processor cannot keep are refused as typed.
        QTest::newRow("Latin-1 only") << "" << 0 << QString::fromUtf8("Hall\u00e9 中文 1") << true << true
                                      << QString::fromUtf8("Hall\u00e9  1") << 0;
        QTest::newRow("closed") << "NAME" << 4 << "-" << false << false << "" << 0;
    }
    void namedialog()
    {
        QFETCH(QString, preset);
        QFETCH(int, id);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(bool, accepted);
        QFETCH(QString, name);
        QFETCH(int, result);
        f.setup();
        DialogInputStr d(f.page.get());
        d.setname(preset);
        d.setid(id);
        d.setid(30); // out of range: no change
        auto *edit = d.findChild<QLineEdit *>("EditNewName");
        if (preset == " ")
            QCOMPARE(edit->text(), QString());
        if (typed != "-") {
            edit->clear();
            edit->setFocus();
            for (const QChar c : typed) {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(edit, &press);
            }
        }
        QTimer::singleShot(0, [&] {
            if (ok)
                d.findChild<QPushButton *>("pushButton_ok")->click();
            else
                d.close();
        });
        d.exec();
        QCOMPARE(d.accepted, accepted);
        QCOMPARE(d.name, name);
        QCOMPARE(d.id, result);
    }

    // The program page's device and current-data groups as listed: each
    // label and field in its group, at its place, the labels with their texts.
    void pageform_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("text"); // labels only
        const struct {
            const char *name, *group, *cls;
            QRect rect;
            const char *text;
        } rows[] = {
            {"Type", "groupBox_2", "QLabel", {1, 52, 108, 28}, "Device Type:"},
            {"Editsettype", "groupBox_2", "QLineEdit", {120, 47, 94, 43}, nullptr},
            {"label_id", "groupBox_2", "QLabel", {1, 106, 103, 28}, "Device ID:"},
            {"Editsetid", "groupBox_2", "QLineEdit", {120, 100, 94, 43}, nullptr},
            {"status", "groupBox_2", "QLabel", {1, 161, 126, 25}, "Connect Status:"},
            {"Editsetstatus", "groupBox_2", "QLineEdit", {120, 157, 94, 43}, nullptr},
            {"btnconnect", "groupBox_2", "QPushButton", {120, 210, 94, 44}, nullptr},
            {"label_id_2", "groupBox", "QLabel", {35, 39, 147, 29}, "Program Number:"},
            {"Editsetproid", "groupBox", "QLineEdit", {60, 70, 94, 43}, nullptr},
            {"Currentdata", "groupBox", "QLabel", {50, 113, 111, 26}, "Current Data:"},
            {"Editdata", "groupBox", "QLineEdit", {60, 141, 94, 43}, nullptr},
            {"promam_name", "groupBox", "QLabel", {40, 186, 133, 24}, "Program Name:"},
            {"Editname1", "groupBox", "QLineEdit", {10, 213, 205, 44}, nullptr},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.name << r.group << r.cls << r.rect
                                  << (r.text ? QString::fromLatin1(r.text) : QString());
    }
    void pageform()
    {
        QFETCH(QString, name);
        QFETCH(QString, group);
        QFETCH(QString, cls);
        QFETCH(QRect, rect);
        QFETCH(QString, text);
        f.setup();
        QWidget *w = f.page->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
        QCOMPARE(w->parentWidget()->objectName(), group);
        QCOMPARE(w->geometry(), rect);
        if (!text.isEmpty())
            QCOMPARE(qobject_cast<QLabel *>(w)->text(), text);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            QVERIFY(!e->isEnabled()); // value fields only show
        QCOMPARE(f.page->findChild<QWidget *>("groupBox_2")->geometry(), QRect(26, 19, 234, 263));
        QCOMPARE(f.page->findChild<QWidget *>("groupBox")->geometry(), QRect(23, 299, 233, 263));
    }

    // The name dialog's form as listed, in creation order: class, place and
    // English text of each child.
    void namedialogform_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("text");
        QTest::newRow("widgetlock") << "widgetlock"
                                    << "QWidget" << QRect(0, 0, 421, 281) << "";
        QTest::newRow("pushButton_cancel_2") << "pushButton_cancel_2"
                                             << "QPushButton" << QRect(210, 120, 75, 30) << "Cancel";
        QTest::newRow("pushButton_ok") << "pushButton_ok"
                                       << "QPushButton" << QRect(50, 120, 75, 30) << "OK";
        QTest::newRow("label_19") << "label_19"
                                  << "QLabel" << QRect(30, 20, 51, 21) << "New ID:";
        QTest::newRow("label_18") << "label_18"
                                  << "QLabel" << QRect(30, 50, 141, 21) << "Program New Name:";
        QTest::newRow("cbxnewid") << "cbxnewid"
                                  << "QComboBox" << QRect(110, 20, 101, 22) << "ID: 01";
        QTest::newRow("EditNewName") << "EditNewName"
                                     << "QLineEdit" << QRect(30, 80, 262, 26) << "";
    }
    void namedialogform()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QFETCH(QRect, rect);
        QFETCH(QString, text);
        f.setup();
        DialogInputStr d(f.page.get());
        QCOMPARE(d.size(), QSize(326, 157));
        QCOMPARE(d.windowTitle(), QStringLiteral("Input New Name"));
        QWidget *w = d.findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
        QCOMPARE(w->geometry(), rect);
        QString shown;
        if (auto *b = qobject_cast<QPushButton *>(w))
            shown = b->text();
        else if (auto *l = qobject_cast<QLabel *>(w))
            shown = l->text();
        else if (auto *c = qobject_cast<QComboBox *>(w))
            shown = c->itemText(0);
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            shown = e->text();
        QCOMPARE(shown, text);
        if (auto *c = qobject_cast<QComboBox *>(w)) {
            QCOMPARE(c->count(), 30);
            QCOMPARE(c->itemText(9), QStringLiteral("ID: 10"));
            QCOMPARE(c->itemText(29), QStringLiteral("ID: 30"));
        }
        if (auto *e = qobject_cast<QLineEdit *>(w))
            QCOMPARE(e->maxLength(), 20);
        // The form makes its children in this order (the dialog then sets its
        // own Tab order, which leaves the order of the children as it is).
        const QStringList order{"widgetlock", "pushButton_cancel_2", "pushButton_ok", "label_19", "label_18",
                                "cbxnewid",   "EditNewName"};
        QStringList made;
        for (QObject *c : d.children())
            if (order.contains(c->objectName()))
                made << c->objectName();
        QCOMPARE(made, order);
    }
};

QTEST_MAIN(TstFormSetView)
#include "tst_formsetview.moc"
