// The lock dialogs over the network link inside the test namespace: the lock
// requests and their replies travel on the TCP connection to the stand-in,
// and the connect reply brings the new state back.

#include "../shell/tst_connect_support.h"
#include "dialogdevicelock.h"
#include "dialogprojectlock.h"
#include "scriptedprompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace linktest;

class TstNetLockDialogs : public QObject
{
    Q_OBJECT
private slots:
    void locks()
    {
        ScriptedPrompts prompts;
        Env env;
        env.line = env.standin.listen(QHostAddress(QStringLiteral("192.0.2.2")));
        QVERIFY2(env.line >= 0, qPrintable(env.standin.errorstring()));
        env.unit = env.standin.addunit(env.line, 0x18, 1);
        env.select(0x18, 1, QHostAddress(QStringLiteral("192.0.2.2")));
        env.link.connectdevice();
        QCOMPARE(env.cur()->gettcpconnected(), 1);

        const auto request = [&](QDialog &d, const char *button, const QString &count) {
            d.findChild<QLineEdit *>(QStringLiteral("Editname"))->setText(QStringLiteral("abc"));
            if (QLineEdit *e = d.findChild<QLineEdit *>(QStringLiteral("Editsetid")))
                e->setText(count);
            prompts.confirmations.enqueue(true);
            d.findChild<QPushButton *>(QLatin1String(button))->click();
            return prompts.shown.last().title;
        };
        const auto settled = [&](int locktype, int project) {
            return QTest::qWaitFor(
                [&]() {
                    return env.cur()->getlocktype() == locktype && env.cur()->getprojectlock() == project;
                },
                5000);
        };
        {
            DialogDeviceLock d;
            d.loadlockstate();
            d.findChild<QRadioButton *>(QStringLiteral("rbcopyc"))->setChecked(true);
            QCOMPARE(request(d, "pushButton_lock_2", QString()), QStringLiteral("Set Lock OK"));
        }
        QCOMPARE(int(env.standin.state(env.unit).lockState), 3);
        QVERIFY(settled(3, 0));
        {
            DialogProjectLock d;
            d.loadlockinfo();
            QCOMPARE(request(d, "pushButton_lock_2", QStringLiteral("300")),
                     QStringLiteral("Set Project Lock OK"));
        }
        QVERIFY(settled(3, 1));
        QCOMPARE(env.cur()->getprojectword(), 300);
        // Each request went out once on the connection.
        QCOMPARE(env.commands(0x10).size(), 1);
        QCOMPARE(env.commands(0x12).size(), 1);
    }
};

QTEST_MAIN(TstNetLockDialogs)
#include "tst_net_lockdialogs.moc"
