#pragma once

// The interface language of the whole application and the one setting that
// survives between runs, kept as the key "Langue/" in UserConfig.ini in the
// process's working directory ("en" selects English, anything else Chinese).
//
// Qt's own texts (the file dialogs, the standard buttons) follow the language
// too: for Chinese the object installs Qt's translations of the system's Qt
// (qtbase_zh_CN from Qt's translations folder), for English it removes them.

#include <QObject>

class QTranslator;

class GlobalContrl : public QObject
{
    Q_OBJECT
public:
    explicit GlobalContrl(QObject *parent = nullptr);

    // 0 English, 1 Chinese.
    int getlanguage() const { return language; }
    // Stores the flag, writes "en" (0) or "chs" (anything else) and applies
    // Qt's own translations for it; emits nothing.
    void setlanguage(int n);
    // Emits refreshLangangeState() so that every window rewrites its texts.
    void emitlanguage();

    // Set to 1 once when the main window closes; long request loops stop on it.
    uchar getclosing() const { return closing; }
    void setclosing(uchar v) { closing = v; }

    // The settings file: UserConfig.ini in the current working directory.
    static QString configpath();

    // Whether Qt's Chinese translations are installed now (false when the
    // system has none).
    bool qttranslated() const;

signals:
    void refreshLangangeState();

private:
    // Installs or removes Qt's translations for the language; the windows
    // open now take the change before this returns.
    void applyqttranslations();

    int language = 1;
    uchar closing = 0;
    QTranslator *qttranslator = nullptr; // Qt's Chinese texts, loaded once
    bool qtinstalled = false;
};

// The one language object of the run; created by start-up, deleted by the main window.
extern GlobalContrl *gGlobalContrl;
