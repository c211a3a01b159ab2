#pragma once

// The program's whole window joined to the processor stand-in on a
// pseudo-terminal, for the tests that work it as a user does.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "prompts.h"
#include "standin.h"
#include "standinlink.h"
#include "startup.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVector>
#include <QtTest>

#include <memory>

// One click on the tool bar's connect button; the boxes the program waited
// for meanwhile, each as "title: text": noted, not shown.
inline QStringList connectclick(MainWindow *w)
{
    struct Noter : PromptBackend {
        PromptBackend *before = Prompts::backend();
        QStringList boxes;
        Noter() { Prompts::setBackend(this); }
        ~Noter() override { Prompts::setBackend(before); }
        QMessageBox::StandardButton message(QWidget *, Icon, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons,
                                            QMessageBox::StandardButton defaultButton) override
        {
            boxes << title + QStringLiteral(": ") + text;
            return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
        }
        void notice(QWidget *parent, Icon icon, const QString &title, const QString &text) override
        {
            before->notice(parent, icon, title, text);
        }
        bool confirm(QWidget *, const QString &title, const QString &text, const QString &,
                     const QString &) override
        {
            boxes << title + QStringLiteral(": ") + text;
            return false;
        }
        QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter) override
        {
            return before->openFileName(parent, caption, dir, filter);
        }
        QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter) override
        {
            return before->saveFileName(parent, caption, dir, filter);
        }
    } noter;
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnExcel")), Qt::LeftButton);
    return noter.boxes;
}

// Connects the chosen device, not connected yet. The connect and its
// download run at the test's time scale, mostly a tenth or a twentieth of
// real time: on a starved machine the stand-in's thread can miss such a
// wait. The box the program then waits for is noted, not shown (nothing
// would close it), and the connect is made once more at real time, where
// every wait is long enough. The boxes of that last try, none when it
// connected.
inline QStringList connectsure(MainWindow *w)
{
    QStringList boxes = connectclick(w);
    DeviceData *d = gMainApp->getcurdevice();
    if (boxes.isEmpty() && d->getcomconnected() == 1)
        return boxes;
    qInfo("the connect at the test's time scale failed (%s): again at real time",
          qPrintable(boxes.join(QStringLiteral("; "))));
    const double scale = MainApp::timescale();
    MainApp::settimescale(1);
    if (gMainApp->getcurdevice()->getcomconnected()) {
        connectclick(w); // the download failed: the link is ended first
        QTest::qWaitFor([] { return gMainApp->getcurdevice()->getcomconnected() == 0; }, 10000);
    }
    boxes = connectclick(w);
    MainApp::settimescale(scale);
    if (boxes.isEmpty() && gMainApp->getcurdevice()->getcomconnected() != 1)
        boxes << QStringLiteral("not connected");
    return boxes;
}

// The whole window in English, a type-24 device at address 1 in slot 0
// connected to the stand-in's unit on a pseudo-terminal.
struct StandinWindow {
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    standin::Standin s;
    int line = -1;
    int unit = -1;

    DeviceData *cur() const { return gMainApp->getcurdevice(); }
    void open()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        QFile ini(QStringLiteral("UserConfig.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nLangue=en\n");
        ini.close();
        w.reset(startmainwindow(4));
        line = s.openpty();
        QVERIFY2(line >= 0, qPrintable(s.errorstring()));
        unit = s.addunit(line, 0x18, 1);
        gComSettings.setportname(s.ptypath(line));
        QVERIFY(gComCtrl.openmaincom());
        w->fileaction(0)->trigger();
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        w->getbntnum(0);
        const QStringList boxes = connectsure(w.get());
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QStringLiteral("; "))));
        QCOMPARE(cur()->getcomconnected(), 1);
    }
    void close()
    {
        w.reset();
        gComCtrl.closemaincom();
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        QDir::setCurrent(QDir::tempPath());
    }
    // The model takes the image as its current program and the pages show it.
    void loadimage(const QByteArray &image)
    {
        for (int k = 0; k < kProgramImageSize; ++k)
            cur()->setcurimagebyte(k, quint8(image[k]));
        cur()->unpackprogram();
        w->startgui();
    }
    // The model's link masks, channel by channel.
    QByteArray linkmasks() const
    {
        QByteArray out;
        for (int c = 0; c < 12; ++c)
            out.append(char(cur()->getlinkmask(c)));
        return out;
    }
    // After a case that may have dropped the line or left faults: the line
    // back, the device linked again, late frames let in, real time.
    void endcase()
    {
        s.clearfaults();
        s.restoreline(line);
        cur()->setcomconnected(1);
        QTest::qWait(30);
        MainApp::settimescale(1);
    }
    // Waits until the stand-in has read every frame sent so far (see standincaughtup).
    bool caughtup() { return standincaughtup(s, gComCtrl); }
    // The bytes of the commands with this code the unit received.
    QVector<QByteArray> sent(int code) const
    {
        QVector<QByteArray> out;
        for (const standin::FrameRecord &r : s.commands(unit))
            if (r.command() == code)
                out << r.bytes;
        return out;
    }
};
