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
#include "standinwindow.h"
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

