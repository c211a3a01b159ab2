// The tool bar: the connect button's look, and which buttons act when.

#include "devicedata.h"
#include "formtoolbutton.h"
#include "longexchange.h"
#include "mainapp.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TstToolbar : public QObject
{
    Q_OBJECT
private:
    MainApp *app = nullptr;
    QPushButton *button(FormToolButton &bar, const char *name)
    {
        return bar.findChild<QPushButton *>(QString::fromLatin1(name));
    }

private slots:
    void init()
    {
        app = new MainApp;
        gMainApp = app;
    }
    void cleanup()
    {
        gMainApp = nullptr;
        delete app;
        app = nullptr;
    }

    void connectlook_data()
    {
        QTest::addColumn<int>("com");
        QTest::addColumn<int>("tcp");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("offline") << 0 << 0 << "excel1"
                                 << "Connect  Device";
        QTest::newRow("serial") << 1 << 0 << "excel2"
                                << "Disonnect Device";
    }
    void connectlook()
    {
        QFETCH(int, com);
        QFETCH(int, tcp);
        QFETCH(QString, image);
        QFETCH(QString, tooltip);
        FormToolButton bar;
        app->getcurdevice()->setcomconnected(com);
        app->getcurdevice()->settcpconnected(tcp);
        bar.updateconnectbtn();
        QPushButton *b = button(bar, "btnExcel");
        QCOMPARE(
            b->styleSheet(),
            QStringLiteral("QPushButton{background-image:url(:/buttons/skin/%1.png);}QPushButton:hover { "
                           "background-image:url(:/back/skin/%1-0.png);}")
                .arg(image));
        QCOMPARE(b->toolTip(), tooltip);
        QVERIFY(b->text().isEmpty());
        QVERIFY(button(bar, "btnHelp")->isHidden());
        // A language refresh writes the tooltip of the link state again.
        bar.refreshLanText();
        QCOMPARE(b->toolTip(), com || tcp ? tooltip : QStringLiteral("Connect Device"));
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("connected");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("connects");
        QTest::addColumn<int>("refreshes");
        QTest::newRow("connect") << "btnExcel" << 0 << -1 << 1 << 0;
        QTest::newRow("disconnect") << "btnExcel" << 1 << -1 << 1 << 0;
        QTest::newRow("settings online") << "btnSet" << 1 << 6 << 0 << 1;
    }
    void clicks()
    {
        QFETCH(QString, name);
        QFETCH(int, connected);
        QFETCH(int, page);
        QFETCH(int, connects);
        QFETCH(int, refreshes);
        FormToolButton bar;
        app->getcurdevice()->setcomconnected(connected);
        QSignalSpy connect(&bar, &FormToolButton::connectcom);
        QSignalSpy pages(&bar, &FormToolButton::sChangeButtonview);
        QSignalSpy refresh(&bar, &FormToolButton::refprogram);
        QTest::mouseClick(button(bar, qPrintable(name)), Qt::LeftButton);
        QCOMPARE(connect.count(), connects);
        QCOMPARE(refresh.count(), refreshes);
        QCOMPARE(pages.count(), page < 0 ? 0 : 1);
        if (page >= 0)
            QCOMPARE(pages.first().at(0).toInt(), page);
    }

    // The link, copy and lock dialogs open only while connected; link and
    // copy also only while the device is not locked; none while an exchange
    // runs (a click inside the waits of a connect's download).
    void dialogs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("connected");
        QTest::addColumn<int>("lock");
        QTest::addColumn<bool>("exchange");
        QTest::addColumn<QString>("opens");
        QTest::newRow("link offline") << "btnDownload" << 0 << 0 << false << "";
        QTest::newRow("link") << "btnDownload" << 1 << 0 << false << "DialogLink";
        QTest::newRow("link locked") << "btnDownload" << 1 << 2 << false << "";
        QTest::newRow("copy") << "btnSave" << 1 << 0 << false << "DialogCopy";
        QTest::newRow("copy locked") << "btnSave" << 1 << 1 << false << "";
        QTest::newRow("lock while locked") << "btnLock" << 1 << 2 << false << "DialogDeviceLock";
        QTest::newRow("link in an exchange") << "btnDownload" << 1 << 0 << true << "";
        QTest::newRow("copy in an exchange") << "btnSave" << 1 << 0 << true << "";
        QTest::newRow("lock in an exchange") << "btnLock" << 1 << 0 << true << "";
    }
    void dialogs()
    {
        QFETCH(QString, name);
        QFETCH(int, connected);
        QFETCH(int, lock);
        QFETCH(bool, exchange);
        QFETCH(QString, opens);
        std::unique_ptr<LongExchange> running;
        if (exchange) {
            running.reset(new LongExchange);
            QVERIFY(running->acquired());
        }
        FormToolButton bar;
        app->getcurdevice()->settcpconnected(connected);
        app->getcurdevice()->setlocktype(lock);
        QString opened;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&]() {
            if (QWidget *w = QApplication::activeModalWidget()) {
                opened = QString::fromLatin1(w->metaObject()->className());
                w->close();
            }
        });
        closer.start(20);
        QTest::mouseClick(button(bar, qPrintable(name)), Qt::LeftButton);
        closer.stop();
        QCOMPARE(opened, opens);
    }
};

QTEST_MAIN(TstToolbar)
#include "tst_toolbar.moc"
