#pragma once

// One facade for every message box and file dialog of the program, so that
// tests can script the answers and read what the user would have been shown.
// Production uses QMessageBox and the non-native QFileDialog.

#include <QMessageBox>
#include <QString>

class QWidget;

class PromptBackend
{
public:
    enum class Icon { Information, Warning, Critical, Question };

    virtual ~PromptBackend() = default;
    // Shows a box with the given standard buttons; returns the button chosen
    // (QMessageBox::NoButton or the escape button when the box is closed).
    virtual QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title,
                                                const QString &text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    // A box with an Ok button that the caller does not wait for: it returns
    // at once and the box goes away when the user closes it. For a box shown
    // from inside a running operation's waits, which a box waited for would
    // hold up until it is closed. Without a box of its own, a backend shows
    // it as message() does.
    virtual void notice(QWidget *parent, Icon icon, const QString &title, const QString &text)
    {
        message(parent, icon, title, text, QMessageBox::Ok, QMessageBox::NoButton);
    }
    // A warning box with two buttons of the caller's wording, added in this
    // order with the accept and the reject role; true when the first was chosen.
    // The second is the default and focused button: Return, Escape and closing
    // the box all count as the second.
    virtual bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &acceptText,
                         const QString &rejectText) = 0;
    // File dialogs: an empty result means cancelled. The save dialog gives a
    // name typed without an extension the filter's before it asks whether to
    // replace an existing file.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
};

namespace Prompts {

using Icon = PromptBackend::Icon;

QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
inline void information(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, Icon::Information, title, text);
}
inline void warning(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, Icon::Warning, title, text);
}
inline void critical(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, Icon::Critical, title, text);
}
// A warning box that is not waited for (see PromptBackend::notice).
void noticewarning(QWidget *parent, const QString &title, const QString &text);
bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &acceptText,
             const QString &rejectText);
QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);

// The least width of a box whose title is `title`: the title in a bold
// title-bar font beside a window manager's frame buttons. The interactive
// boxes are never narrower, so that no window manager cuts their title.
int titlewidth(const QString &title);

// Replaces the backend (tests); nullptr restores the interactive one.
// The caller keeps ownership.
void setBackend(PromptBackend *backend);
PromptBackend *backend();

} // namespace Prompts
