// Start-up: window title by build variant, the centring formula, the
// application style sheet by the language read from UserConfig.ini in the
// working directory, and the event-pumping wait.

#include "appglobals.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class TstStartup : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir;

    static QString resource(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup()
    {
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
        dir.reset();
    }

    void title_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("title");
        QTest::newRow("0") << 0 << "MR700-MR500-MR300 V1.0.4M";
        QTest::newRow("1") << 1 << "Digital Loudspeaker Management V1.0.4M";
        QTest::newRow("2") << 2 << "NOVRAX V1.0.4M";
        QTest::newRow("3") << 3 << "ZELK220 V1.0.4M";
        QTest::newRow("4") << 4 << "QUB150-QUB350 V1.0.4M";
        QTest::newRow("7 keeps the form's title") << 7 << "MainWindow";
    }
    void title()
    {
        QFETCH(int, variant);
        QFETCH(QString, title);
        std::unique_ptr<MainWindow> w(startmainwindow(variant));
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->size(), QSize(1014, 690));
        QCOMPARE(w->minimumSize(), QSize(1014, 690));
        QCOMPARE(w->maximumSize(), QSize(1014, 690));
    }

    void centring_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("desktop");
        QTest::addColumn<QRect>("place");
        QTest::newRow("full hd") << QSize(1014, 690) << QSize(1920, 1080) << QRect(453, 187, 1014, 690);
        QTest::newRow("odd sizes") << QSize(1014, 690) << QSize(1025, 706) << QRect(5, 0, 1014, 690);
        QTest::newRow("larger than the desktop truncates towards zero")
            << QSize(1030, 690) << QSize(1025, 700) << QRect(-2, -2, 1030, 690);
    }
    void centring()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, desktop);
        QFETCH(QRect, place);
        QCOMPARE(centredgeometry(window, desktop), place);
    }

    void centredonscreen()
    {
        std::unique_ptr<MainWindow> w(startmainwindow(4));
        QCOMPARE(w->geometry(), centredgeometry(QSize(1014, 690), QApplication::desktop()->size()));
    }

    // The language comes from UserConfig.ini in the working directory; a
    // missing file means Chinese and is written as "chs".
    void stylebylanguage_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("languagebutton");
        QTest::newRow("no file") << QByteArray() << 1 << ":/style/style_chs.txt"
                                 << "English";
        QTest::newRow("en") << QByteArray("[General]\nLangue=en\n") << 0 << ":/style/style.txt"
                            << QString::fromUtf8("中文");
        QTest::newRow("other value") << QByteArray("[General]\nLangue=xx\n") << 1 << ":/style/style_chs.txt"
                                     << "English";
    }
    void stylebylanguage()
    {
        QFETCH(QByteArray, config);
        QFETCH(int, language);
        QFETCH(QString, sheet);
        QFETCH(QString, languagebutton);
        if (!config.isEmpty()) {
            QFile f(QStringLiteral("UserConfig.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(config);
        }
        std::unique_ptr<MainWindow> w(startmainwindow(4));
        QCOMPARE(gGlobalContrl->getlanguage(), language);
        const QString expected = resource(sheet);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(qApp->styleSheet(), expected);
        // The first language refresh ran: the window's own sheet and texts.
        QCOMPARE(w->styleSheet(), expected);
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("menuLanguage"))->text(), languagebutton);
        if (config.isEmpty()) {
            QFile f(QStringLiteral("UserConfig.ini"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().contains("Langue=chs"));
        }
        qApp->setStyleSheet(QString());
    }

    void stylesheetfile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << QByteArray("QLabel { color: red; }") << "QLabel { color: red; }";
        QTest::newRow("up to a zero byte") << QByteArray("QLabel {}\0junk", 14) << "QLabel {}";
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void stylesheetfile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFile f(QStringLiteral("sheet.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QCOMPARE(MainWindow::readstylesheet(QStringLiteral("sheet.txt")), text);
        QCOMPARE(MainWindow::readstylesheet(QStringLiteral(":/style/missing.txt")), QString());
    }

    void sheetpaths()
    {
        QCOMPARE(MainWindow::stylesheetpath(0, false), QStringLiteral(":/style/style.txt"));
        QCOMPARE(MainWindow::stylesheetpath(1, false), QStringLiteral(":/style/style_chs.txt"));
        QCOMPARE(MainWindow::stylesheetpath(0, true), QStringLiteral(":/style/style_net.txt"));
        QCOMPARE(MainWindow::stylesheetpath(1, true), QStringLiteral(":/style/style_net_chs.txt"));
    }

    // At idle no port is open, no slot is chosen and only the main page shows.
    void idleafterstart()
    {
        std::unique_ptr<MainWindow> w(startmainwindow(4));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->currentslot(), -1);
        for (int k = 0; k < MainWindow::kSlots; ++k)
            QCOMPARE(w->slotaddress(k), QHostAddress(QStringLiteral("0.0.0.0")));
        QVERIFY(gMainApp->getview(MainApp::MainView)->isVisible());
        for (MainApp::View v : {MainApp::GainView, MainApp::DelayView, MainApp::PeqView, MainApp::GeqView,
                                MainApp::LimitView, MainApp::SetView, MainApp::Limit2View})
            QVERIFY(!gMainApp->getview(v)->isVisible());
        w.reset();
        QVERIFY(!gMainApp);
        QVERIFY(!gGlobalContrl);
    }

    void waitpumpsevents()
    {
        bool ran = false;
        QTimer::singleShot(0, [&ran] { ran = true; });
        waitms(0);
        QVERIFY(ran);
        ran = false;
        QTimer::singleShot(5, [&ran] { ran = true; });
        QElapsedTimer clock;
        clock.start();
        waitms(30);
        QVERIFY(clock.elapsed() >= 30);
        QVERIFY(ran);
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
