// Closing the main window ends the application, the process and not only the
// window: with the FIR or the phase panel open, during save all or load all
// against a processor that stopped answering, and during the download of a
// connect over the serial line or the network (the close ends the operation
// as Cancel: no box, no file written, no further block asked for). Each case
// runs the program in a child process of this test, started and ended as
// main() does it, and the test waits for that process to exit. A network
// case's child runs in a private network namespace of its own.

#include "comsettings.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formfir.h"
#include "formphase.h"
#include "formsetview.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QApplication>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace
{
// The processor's host inside the network namespace.
const QHostAddress kProc(QStringLiteral("192.0.2.2"));

bool isnetwork(const QString &scenario)
{
    return scenario.contains(QLatin1String("network"));
}

// The child: the program with one scenario, closed by a timer.
int childmain(int argc, char **argv, const QString &scenario, const QString &file)
{
    QApplication app(argc, argv);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> window;
    if (!linktest::startwindow(window, dir))
        return 3;
    window->show();
    standin::Standin s;
    ScriptedPrompts prompts;
    int closeafter = 200;
    if (scenario == "fir") {
        gFormEq->firpanel()->show();
    } else if (scenario == "phase") {
        gFormEq->findChild<Formeqbtns *>()->phasepanel()->show();
    } else if (scenario == "save all" || scenario == "load all") {
        const int line = s.openpty();
        s.addunit(line, 0x18, 1);
        s.addfault(standin::Fault()); // no reply to anything
        if (!linktest::openmainport(s, line))
            return 3;
        DeviceData *d = linktest::choosedevice(0x18);
        d->setcomconnected(1);
        prompts.fileNames << file;
        QTimer::singleShot(0, [scenario] {
            if (scenario == "save all")
                gFormSetView->on_btnloadcurdata_4_clicked();
            else
                gFormSetView->on_btnloadcurdata_5_clicked();
        });
        // Well inside the first request's eleven sends (seconds each).
        closeafter = 1500;
    } else if (scenario == "connect serial" || scenario == "connect network") {
        QHostAddress ip = linktest::kSerial;
        int line = -1;
        if (isnetwork(scenario)) {
            ip = kProc;
            line = s.listen(kProc);
        } else {
            line = s.openpty();
            if (line >= 0 && !linktest::openmainport(s, line))
                return 3;
        }
        if (line < 0)
            return 3;
        s.addunit(line, 0x18, 1);
        linktest::choosedevice(0x18, ip);
        QTimer::singleShot(0, window.get(), &MainWindow::connectdevice);
        closeafter = -1;
    } else if (scenario != "none") {
        return 2;
    }
    // The download's block requests (0x61): how many the processor had when
    // the window closed, and how many in the end.
    const auto reads = [&s] {
        int n = 0;
        for (const auto &r : s.commands())
            n += r.command() == 0x61;
        return n;
    };
    int readsatclose = -1;
    QTimer watch;
    if (closeafter >= 0) {
        QTimer::singleShot(closeafter, window.get(), &QWidget::close);
    } else {
        // Closed while the download runs: once its third block was asked for.
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (reads() >= 3) {
                watch.stop();
                readsatclose = reads();
                window->close();
            }
        });
        watch.start(5);
    }
    app.exec();
    window.reset();
    for (const auto &b : prompts.shown)
        std::printf("shown=%s:%s\n", qPrintable(b.kind), qPrintable(b.title));
    if (readsatclose >= 0)
        std::printf("reads=%d/%d\n", readsatclose, reads());
    std::fflush(stdout);
    return 0;
}
} // namespace

class TstClosing : public QObject
{
    Q_OBJECT
private slots:
    void closes_data()
    {
        QTest::addColumn<QString>("scenario");
        for (const char *s :
             {"none", "fir", "phase", "save all", "load all", "connect serial", "connect network"})
            QTest::newRow(s) << QString(s);
    }
    void closes()
    {
        QFETCH(QString, scenario);
        QTemporaryDir dir;
        const QString file = dir.filePath(scenario == "load all" ? "in.J91" : "out.J91");
        QByteArray collection;
        if (scenario == "load all") {
            for (int n = 0; n < 30; ++n)
                collection += standin::factoryimage();
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(collection) == collection.size());
        }
        QProcess child;
        const QStringList arguments{"--child", scenario, file};
        if (isnetwork(scenario)) {
            child.setProgram(QStringLiteral(DSP_NETNS_RUNNER));
            child.setArguments(QStringList{QCoreApplication::applicationFilePath()} + arguments);
        } else {
            child.setProgram(QCoreApplication::applicationFilePath());
            child.setArguments(arguments);
        }
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start();
        QVERIFY(child.waitForStarted());
        // The operation alone would go on for half a minute and more.
        const bool ended = child.waitForFinished(25000);
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        QVERIFY2(ended, "the process still ran after its main window closed");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        // The close ended the operation as Cancel: no box (only the file dialog).
        QVERIFY2(!out.contains("shown=critical") && !out.contains("shown=information"), qPrintable(out));
        if (scenario.startsWith("connect")) {
            // The close came after the third block request; at most the one
            // then on its way follows, never the rest of the 26.
            const QRegularExpression counts("reads=(\\d+)/(\\d+)");
            const QRegularExpressionMatch m = counts.match(out);
            QVERIFY2(m.hasMatch(), qPrintable(out));
            QVERIFY2(m.captured(1).toInt() >= 3, qPrintable(out));
            QVERIFY2(m.captured(2).toInt() <= m.captured(1).toInt() + 1, qPrintable(out));
        }
        if (scenario == "save all")
            QVERIFY(!QFile::exists(file));
        if (scenario == "load all") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), collection);
        }
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return childmain(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QApplication app(argc, argv);
    TstClosing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_closing.moc"
