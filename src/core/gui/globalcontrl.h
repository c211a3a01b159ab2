#pragma once

// The interface language of the whole application and the one setting that
// survives between runs, kept as the key "Langue/" in UserConfig.ini in the
// process's working directory ("en" selects English, anything else Chinese).

#include <QObject>

class GlobalContrl : public QObject
{
    Q_OBJECT
public:
    explicit GlobalContrl(QObject *parent = nullptr);

    // 0 English, 1 Chinese.
    int getlanguage() const { return language; }
    // Stores the flag and writes "en" (0) or "chs" (anything else); emits nothing.
    void setlanguage(int n);
    // Emits refreshLangangeState() so that every window rewrites its texts.
    void emitlanguage();

    // Set to 1 once when the main window closes; long request loops stop on it.
    uchar getclosing() const { return closing; }
    void setclosing(uchar v) { closing = v; }

    // The settings file: UserConfig.ini in the current working directory.
    static QString configpath();

signals:
    void refreshLangangeState();

private:
    int language = 1;
    uchar closing = 0;
};

// The one language object of the run; created by start-up, deleted by the main window.
extern GlobalContrl *gGlobalContrl;
