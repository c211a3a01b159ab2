#pragma once

// What the dialog tests share: the bare language object and controller, the
// whole window joined to the stand-in on a pseudo-terminal, a closer of modal
// dialogs, and a shown box as one "kind|title|text" string.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "scriptedprompts.h"
#include "standin.h"
#include "startup.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

inline QString boxtext(const ScriptedPrompts::Shown &b)
{
    return b.kind + '|' + b.title + '|' + b.text;
}

inline standin::Fault makefault(standin::Fault::Kind kind, int command, int packet = -1, int delayms = 1500)
{
    standin::Fault f;
    f.kind = kind;
    f.command = command;
    f.packet = packet;
    f.delayMs = delayms;
    return f;
}

// Closes whatever modal dialog opens, remembering its class.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        connect(&timer, &QTimer::timeout, this, [this]() {
            if (QWidget *w = QApplication::activeModalWidget()) {
                opened = QString::fromLatin1(w->metaObject()->className());
                w->close();
            }
        });
        timer.start(10);
    }
    QTimer timer;
    QString opened;
};

// English, with a controller of its own and no window.
struct BareApp {
    MainApp *app = nullptr;
    GlobalContrl *lang = nullptr;
    void make()
    {
        lang = new GlobalContrl;
        lang->setlanguage(0);
        gGlobalContrl = lang;
        app = new MainApp;
        gMainApp = app;
    }
    void free()
    {
        gMainApp = nullptr;
        delete app;
        gGlobalContrl = nullptr;
        delete lang;
    }
};

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
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnExcel")), Qt::LeftButton);
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
