#pragma once

// A prompt backend for tests: records every box and dialog that would have
// been shown and answers from queues the test fills. Installs itself on
// construction and restores the interactive backend on destruction.

#include "prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>

class ScriptedPrompts : public PromptBackend
{
public:
    struct Shown {
        QString kind; // "information", "warning", "critical", "question", "confirm", "open", "save"
        QString title;
        QString text; // the text, or the file filter for dialogs
        QWidget *parent = nullptr;
        QString dir; // file dialogs: the start folder or proposed name
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers, taken in order; when a queue is empty: the default button (or
    // Ok), "reject" for confirmations, and an empty file name (cancel).
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<bool> confirmations;
    QQueue<QString> fileNames;

    QList<Shown> shown;
    QStringList titles() const;
    QStringList texts() const;
    QString lastKind() const { return shown.isEmpty() ? QString() : shown.last().kind; }
    void clear() { shown.clear(); }

    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &acceptText,
                 const QString &rejectText) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;

private:
    PromptBackend *m_previous; // informational; destruction restores the interactive backend
};
