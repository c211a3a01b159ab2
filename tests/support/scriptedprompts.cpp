#include "scriptedprompts.h"

ScriptedPrompts::ScriptedPrompts() : m_previous(Prompts::backend()) { Prompts::setBackend(this); }

ScriptedPrompts::~ScriptedPrompts() { Prompts::setBackend(nullptr); }

QStringList ScriptedPrompts::titles() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.title;
    return out;
}

QStringList ScriptedPrompts::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.text;
    return out;
}

QMessageBox::StandardButton ScriptedPrompts::message(QWidget *parent, Icon icon, const QString &title,
                                                     const QString &text, QMessageBox::StandardButtons,
                                                     QMessageBox::StandardButton defaultButton)
{
    static const char *const kinds[] = {"information", "warning", "critical", "question"};
    shown.append({QString::fromLatin1(kinds[int(icon)]), title, text, parent, QString()});
    if (!buttons.isEmpty())
        return buttons.dequeue();
    return defaultButton != QMessageBox::NoButton ? defaultButton : QMessageBox::Ok;
}

bool ScriptedPrompts::confirm(QWidget *parent, const QString &title, const QString &text, const QString &,
                              const QString &)
{
    shown.append({QStringLiteral("confirm"), title, text, parent, QString()});
    return confirmations.isEmpty() ? false : confirmations.dequeue();
}

QString ScriptedPrompts::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    shown.append({QStringLiteral("open"), caption, filter, parent, dir});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedPrompts::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    shown.append({QStringLiteral("save"), caption, filter, parent, dir});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}
