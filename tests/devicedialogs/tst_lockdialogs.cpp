// The lock dialogs without a processor: the password bytes as the processor
// takes them, what each dialog offers for each stored state, input refused
// before sending, and that an opening leaves no dialog behind.

#include "dialogdevicelock.h"
#include "dialogfixture.h"
#include "dialogprojectlock.h"
#include "formtoolbutton.h"
#include "lockexchange.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

class TstLockDialogs : public QObject
{
    Q_OBJECT
    BareApp fx;
    MainApp *&app = fx.app;
    GlobalContrl *&lang = fx.lang;

    template <typename T> static T *child(QWidget &w, const char *name)
    {
        return w.findChild<T *>(QString::fromLatin1(name));
    }

private slots:
    void init() { fx.make(); }
    void cleanup() { fx.free(); }

    void passwordbytes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("hex"); // null: refused as empty
        QTest::newRow("blanks trimmed") << "  abc\t "
                                        << "6162632020202020";
        QTest::newRow("inner blank kept") << "a b"
                                          << "6120622020202020";
        QTest::newRow("eight characters") << "Pass1234"
                                          << "5061737331323334";
        QTest::newRow("Latin-1") << QString::fromUtf8("é") << "e920202020202020";
        QTest::newRow("outside Latin-1") << QString::fromUtf8("密码") << "3f3f202020202020";
        QTest::newRow("all blanks") << "   " << QString();
    }
    void passwordbytes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, hex);
        const QString got = lockexchange::passwordhex(typed);
        QCOMPARE(got.isNull(), hex.isNull());
        QCOMPARE(got, hex);
    }

    // A locked device offers UnLock with its kind, anything else Lock with
    // "Change Only" checked; a set project lock offers UnLock, and the count
    // shown drops the reported high byte's top bit.
    void offered_data()
    {
        QTest::addColumn<bool>("project");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("high");
        QTest::addColumn<bool>("unlock");
        QTest::addColumn<QString>("shown"); // the kind checked, or the count
        QTest::newRow("device free") << false << 0 << 0 << false << "rbcopya";
        QTest::newRow("device change only") << false << 1 << 0 << true << "rbcopya";
        QTest::newRow("device change and view") << false << 2 << 0 << true << "rbcopyb";
        QTest::newRow("device change and mute") << false << 3 << 0 << true << "rbcopyc";
        QTest::newRow("device everything") << false << 4 << 0 << true << "rbcopyd";
        QTest::newRow("device unknown 5") << false << 5 << 0 << false << "rbcopya";
        QTest::newRow("project not set") << true << 0 << 0x00 << false << "52";
        QTest::newRow("project set") << true << 1 << 0x7f << true << "32564";
        QTest::newRow("project other value") << true << 2 << 0x80 << false << "52";
    }
    void offered()
    {
        QFETCH(bool, project);
        QFETCH(int, state);
        QFETCH(int, high);
        QFETCH(bool, unlock);
        QFETCH(QString, shown);
        DialogDeviceLock device;
        DialogProjectLock projectdialog;
        QDialog &dialog = project ? static_cast<QDialog &>(projectdialog) : device;
        if (project) {
            app->getcurdevice()->setprojectlock(state);
            app->getcurdevice()->setprojectword(0x34, high);
            projectdialog.loadlockinfo();
            QCOMPARE(child<QLineEdit>(dialog, "Editsetid")->text(), shown);
        } else {
            app->getcurdevice()->setlocktype(state);
            device.loadlockstate();
            for (const char *name : {"rbcopya", "rbcopyb", "rbcopyc", "rbcopyd"})
                QCOMPARE(child<QRadioButton>(dialog, name)->isChecked(), shown == QLatin1String(name));
        }
        QCOMPARE(!child<QPushButton>(dialog, "pushButton_unlock")->isHidden(), unlock);
        QCOMPARE(!child<QPushButton>(dialog, "pushButton_lock_2")->isHidden(), !unlock);
    }

    // Checks that stop a request before anything is sent, in both dialogs and
    // both languages: nothing reaches the sender, the dialog stays open.
    void refusedinput_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("project");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("box"); // kind|title|text
        const QString empty = QStringLiteral("critical|Password is empty|Please input password");
        const QString emptychs = QString::fromUtf8("critical|密码为空|请输入密码");
        const QString range = QStringLiteral("critical|Project Lock|Restart Times must be 0 to 32767");
        QTest::newRow("device lock, blank") << 0 << false << "pushButton_lock_2"
                                            << "  " << QString() << empty;
        QTest::newRow("device unlock, blank") << 1 << false << "pushButton_unlock"
                                              << "" << QString() << emptychs;
        QTest::newRow("project lock, blank") << 0 << true << "pushButton_lock_2"
                                             << " "
                                             << "1" << empty;
        for (const char *count : {"-1", "32768", "65536"})
            QTest::addRow("project lock, count %s", count) << 0 << true << "pushButton_lock_2"
                                                           << "pw" << count << range;
        QTest::newRow("project unlock, count letters") << 0 << true << "pushButton_unlock"
                                                       << "pw"
                                                       << "abc" << range;
        QTest::newRow("project unlock, count empty, Chinese")
            << 1 << true << "pushButton_unlock"
            << "pw"
            << "" << QString::fromUtf8("critical|项目锁|重启次数须为0至32767");
    }
    void refusedinput()
    {
        QFETCH(int, language);
        QFETCH(bool, project);
        QFETCH(QString, button);
        QFETCH(QString, password);
        QFETCH(QString, count);
        QFETCH(QString, box);
        lang->setlanguage(language);
        ScriptedPrompts prompts;
        app->getcurdevice()->setcomconnected(1);
        QScopedPointer<QDialog> d(project ? static_cast<QDialog *>(new DialogProjectLock)
                                          : static_cast<QDialog *>(new DialogDeviceLock));
        d->show();
        child<QLineEdit>(*d, "Editname")->setText(password);
        if (project)
            child<QLineEdit>(*d, "Editsetid")->setText(count);
        child<QPushButton>(*d, qPrintable(button))->click();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(
            QStringList({prompts.shown[0].kind, prompts.shown[0].title, prompts.shown[0].text}).join('|'),
            box);
        QCOMPARE(prompts.shown[0].parent, d.data());
        QVERIFY(app->getpayload().isEmpty());
        QVERIFY(d->isVisible());
    }

    // The device lock dialog's captions by language: title, UnLock, Lock,
    // Exit, the password label, the kind group and the four kinds (a doubled
    // ampersand shows as one).
    void devicecaptions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("English") << 0
                                 << QStringList{"Set Lock",     "UnLock",    "Lock",        "Exit",
                                                "Password:",    "Lock Type", "Change Only", "Change&&View",
                                                "Change&&Mute", "Everything"};
        QTest::newRow("Chinese") << 1
                                 << QStringList{"设置锁",   "解锁",   "锁定",       "退出",       "密码",
                                                "锁定类型", "仅更改", "更改&&查看", "更改&&静音", "任何事"};
    }
    void devicecaptions()
    {
        QFETCH(int, language);
        QFETCH(QStringList, captions);
        lang->setlanguage(language);
        DialogDeviceLock d;
        QStringList shown{d.windowTitle()};
        for (const char *b : {"pushButton_unlock", "pushButton_lock_2", "pushButton_exit_3"})
            shown << child<QPushButton>(d, b)->text();
        shown << child<QLabel>(d, "label_3")->text() << child<QGroupBox>(d, "groupBox_17")->title();
        for (const char *r : {"rbcopya", "rbcopyb", "rbcopyc", "rbcopyd"})
            shown << child<QRadioButton>(d, r)->text();
        QCOMPARE(shown, captions);
    }

    // "No" to the question sends nothing and keeps what was typed.
    void answerno()
    {
        ScriptedPrompts prompts;
        prompts.confirmations.enqueue(false);
        DialogDeviceLock d;
        d.show();
        child<QLineEdit>(d, "Editname")->setText("secret");
        child<QPushButton>(d, "pushButton_lock_2")->click();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].kind, QStringLiteral("confirm"));
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Lock"));
        QCOMPARE(prompts.shown[0].text, QStringLiteral("Do you Set Lock?"));
        QVERIFY(app->getpayload().isEmpty());
        QVERIFY(d.isVisible());
        QCOMPARE(child<QLineEdit>(d, "Editname")->text(), QStringLiteral("secret"));
    }

    // Each opening runs one modal dialog and leaves none behind.
    void openingsleavenothing()
    {
        app->getcurdevice()->setcomconnected(1);
        QWidget opener;
        const auto opened = [](void (*open)(QWidget *), QWidget *parent) {
            ModalCloser closer;
            open(parent);
            return closer.opened;
        };
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(opened(&DialogDeviceLock::openmodal, &opener), QStringLiteral("DialogDeviceLock"));
            QCOMPARE(opened(&DialogProjectLock::openmodal, &opener), QStringLiteral("DialogProjectLock"));
        }
        QVERIFY(opener.findChildren<QDialog *>().isEmpty());

        // The tool bar's lock, link and copy buttons, three times each: no
        // dialog and no progress window left.
        FormToolButton bar;
        for (const auto &b :
             {std::make_pair("btnLock", "DialogDeviceLock"), std::make_pair("btnDownload", "DialogLink"),
              std::make_pair("btnSave", "DialogCopy")}) {
            ModalCloser closer;
            for (int k = 0; k < 3; ++k)
                bar.findChild<QPushButton *>(QLatin1String(b.first))->click();
            QCOMPARE(closer.opened, QLatin1String(b.second));
        }
        QVERIFY(bar.findChildren<QDialog *>().isEmpty());
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QProgressBar *>(top));
    }
};

QTEST_MAIN(TstLockDialogs)
#include "tst_lockdialogs.moc"
