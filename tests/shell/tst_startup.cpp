// Start-up: title, centring, style sheet by language, the idle state.

#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <QRegularExpression>

#include <atomic>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TstStartup : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup()
    {
        qApp->setStyleSheet(QString());
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }

    void title_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("title");
        QTest::newRow("0") << 0 << "MR700-MR500-MR300 V1.0.4M";
        QTest::newRow("4") << 4 << "QUB150-QUB350 V1.0.4M";
        QTest::newRow("7 keeps the form's title") << 7 << "MainWindow";
    }
    void title()
    {
        QFETCH(int, variant);
        QFETCH(QString, title);
        std::unique_ptr<MainWindow> w(startmainwindow(variant));
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->geometry(), centredgeometry(QSize(1014, 690), QApplication::desktop()->size()));
    }

    void centring_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("desktop");
        QTest::addColumn<QRect>("place");
        QTest::newRow("full hd") << QSize(1014, 690) << QSize(1920, 1080) << QRect(453, 187, 1014, 690);
        QTest::newRow("larger than the desktop")
            << QSize(1030, 690) << QSize(1025, 700) << QRect(-2, -2, 1030, 690);
    }
    void centring()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, desktop);
        QFETCH(QRect, place);
        QCOMPARE(centredgeometry(window, desktop), place);
    }

    // A missing file means Chinese and is written as "chs".
    void stylebylanguage_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("languagebutton");
        QTest::newRow("no file") << QByteArray() << ":/style/style_chs.txt"
                                 << "English";
        QTest::newRow("en") << QByteArray("[General]\nLangue=en\n") << ":/style/style.txt"
                            << QString::fromUtf8("中文");
        // A FIFO of the settings file's name is not opened: Chinese as for a
        // missing file, and the FIFO stays as it was.
        QTest::newRow("FIFO") << QByteArray("FIFO") << ":/style/style_chs.txt"
                              << "English";
    }
    void stylebylanguage()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, sheet);
        QFETCH(QString, languagebutton);
        QFile ini(QStringLiteral("UserConfig.ini"));
        const bool fifo = config == "FIFO";
        std::atomic<bool> done{false};
        std::atomic<bool> opened{false};
        std::thread watcher;
        if (fifo) {
            QCOMPARE(::mkfifo("UserConfig.ini", 0600), 0);
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("UserConfig.ini is not a regular file")));
            // Should anything open the FIFO to read it, this opens the other
            // end: the start-up goes on and the fault shows.
            watcher = std::thread([&]() {
                while (!done) {
                    const int fd = ::open("UserConfig.ini", O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) {
                        opened = true;
                        ::close(fd);
                    }
                    ::usleep(2000);
                }
            });
        } else if (!config.isEmpty()) {
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(config);
            ini.close();
        }
        std::unique_ptr<MainWindow> w(startmainwindow(4));
        done = true;
        if (watcher.joinable())
            watcher.join();
        QVERIFY(!opened);
        QFile f(sheet);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString expected = QString::fromUtf8(f.readAll());
        QCOMPARE(qApp->styleSheet(), expected);
        // The window follows the application's sheet and takes no copy of it.
        QCOMPARE(w->styleSheet(), QString());
        QCOMPARE(w->shownstylesheet(), expected);
        QCOMPARE(MainWindow::readstylesheet(QStringLiteral(":/style/missing.txt")), QString());
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("menuLanguage"))->text(), languagebutton);
        if (fifo) {
            struct stat st;
            QVERIFY(::lstat("UserConfig.ini", &st) == 0 && S_ISFIFO(st.st_mode));
            return;
        }
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains(config.isEmpty() ? QByteArray("Langue=chs") : config.mid(10)));
    }

    // At idle only the main page shows; the window's end deletes the globals.
    void idleandend()
    {
        std::unique_ptr<MainWindow> w(startmainwindow(4));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->currentslot(), -1);
        QCOMPARE(w->slotaddress(12), QHostAddress(QStringLiteral("0.0.0.0")));
        for (int v = 0; v < MainApp::ViewCount; ++v)
            QCOMPARE(gMainApp->getview(MainApp::View(v))->isVisible(), v == MainApp::MainView);
        w.reset();
        QVERIFY(!gMainApp);
        QVERIFY(!gGlobalContrl);
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
