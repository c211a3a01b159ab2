#include "dialogcopy.h"
#include "dialogdevicelock.h"
#include "dialoglink.h"
#include "dialogprojectlock.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The tool bar creates each dialog with itself as parent, prepares it, runs it
// modally and relays its reload request.
class TstDeviceDialogs : public QObject
{
    Q_OBJECT
private slots:
    void reloadrequestsconnect()
    {
        QWidget toolbar;
        DialogLink link(&toolbar);
        DialogCopy copy(&toolbar);
        QVERIFY(QSignalSpy(&link, SIGNAL(updataallviews())).isValid());
        QVERIFY(QSignalSpy(&copy, SIGNAL(updataallviews())).isValid());
        QCOMPARE(link.parentWidget(), &toolbar);
        QCOMPARE(copy.parentWidget(), &toolbar);
    }

    void runmodallyandclose()
    {
        QWidget toolbar;
        DialogLink link(&toolbar);
        DialogCopy copy(&toolbar);
        DialogDeviceLock lock(&toolbar);
        DialogProjectLock project(&toolbar);
        link.loadlinkmasks(24);
        copy.initcopy(22);
        lock.loadlockstate();
        for (QDialog *d : {static_cast<QDialog *>(&link), static_cast<QDialog *>(&copy),
                           static_cast<QDialog *>(&lock), static_cast<QDialog *>(&project)}) {
            bool modal = false;
            QTimer::singleShot(0, d, [&] {
                modal = d->isVisible() && d->isModal();
                d->close();
            });
            d->exec();
            QVERIFY(modal);
            QVERIFY(d->isHidden());
        }
    }
};

QTEST_MAIN(TstDeviceDialogs)
#include "tst_devicedialogs.moc"
