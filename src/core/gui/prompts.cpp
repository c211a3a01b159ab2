#include "prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>

namespace {

// A window manager draws the title in a font of its own (often bold) with
// its buttons beside it, and cuts a title that does not fit. Qt sizes a box
// for the title in the plain sub-window title font; the box is made at least
// as wide as the title in the bold form of that font plus room for four frame
// buttons and the frame's margins. The room goes into the box's own layout,
// so that every later sizing of the box (a change of font or language) keeps
// it.
void fittitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int width = Prompts::titlewidth(box.windowTitle());
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  qMax(1, grid->columnCount()));
}

// The save dialog of a file type: the name a caller writes is the typed one
// with the type's extension added unless it ends with it already ("show.v2"
// becomes "show.v2.K91"; the dialog's own default suffix is added only to
// a name without any dot). A file of that name is asked about as the dialog
// asks about the typed one, with "No" the default.
class SaveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        const QString extension = defaultSuffix().isEmpty() ? QString() : QLatin1Char('.') + defaultSuffix();
        if (files.size() == 1 && !extension.isEmpty()) {
            const QString typed = files.first();
            const QFileInfo written(typed + extension);
            if (!typed.isEmpty() && !QFileInfo(typed).isDir() && !typed.endsWith(extension, Qt::CaseInsensitive) &&
                written.exists() &&
                QMessageBox::warning(this, windowTitle(),
                                     QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                         .arg(written.fileName()),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
                return;
        }
        QFileDialog::accept();
    }
};

QMessageBox::Icon boxicon(PromptBackend::Icon icon)
{
    switch (icon) {
    case PromptBackend::Icon::Information:
        return QMessageBox::Information;
    case PromptBackend::Icon::Warning:
        return QMessageBox::Warning;
    case PromptBackend::Icon::Critical:
        return QMessageBox::Critical;
    case PromptBackend::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::Information;
}

class InteractivePrompts : public PromptBackend
{
public:
    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        QMessageBox box(boxicon(icon), title, text, buttons, parent);
        fittitle(box);
        if (defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(defaultButton);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    void notice(QWidget *parent, Icon icon, const QString &title, const QString &text) override
    {
        // Shown, not run: the caller's event loop (an operation's wait) goes
        // on handling its events while the box is up. Modal to its window
        // only, as a box of that window; it deletes itself once closed.
        auto *box = new QMessageBox(boxicon(icon), title, text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        fittitle(*box);
        box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
        box->show();
    }

    bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &acceptText,
                 const QString &rejectText) override
    {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent,
                        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        QPushButton *yes = box.addButton(acceptText, QMessageBox::AcceptRole);
        QPushButton *no = box.addButton(rejectText, QMessageBox::RejectRole);
        fittitle(box);
        // The second button opens as the default and focused one: Return and
        // Escape both keep things as they are, so that one key never removes
        // or overwrites data. Only a click on the first button (or Tab to it
        // and Space or Return) goes ahead.
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }

    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter, nullptr,
                                            QFileDialog::DontUseNativeDialog);
    }

    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        SaveDialog dialog(parent, caption, dir, filter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without an extension gets the filter's before the
        // dialog looks for a file of that name: its question whether to
        // replace a file then asks about the file that will be written.
        static const QRegularExpression extension(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch m = extension.match(filter);
        if (m.hasMatch())
            dialog.setDefaultSuffix(m.captured(1));
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        const QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }
};

InteractivePrompts gInteractive;
PromptBackend *gBackend = nullptr;

} // namespace

namespace Prompts {

PromptBackend *backend() { return gBackend ? gBackend : &gInteractive; }

int titlewidth(const QString &title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics fm(font);
    const int button = fm.height() + 8;
    // A title longer than any screen is cut whatever the box does.
    return qMin(fm.horizontalAdvance(title) + 4 * button + 2 * fm.height(), 1600);
}

void setBackend(PromptBackend *b) { gBackend = b; }

QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    return backend()->message(parent, icon, title, text, buttons, defaultButton);
}

void noticewarning(QWidget *parent, const QString &title, const QString &text)
{
    backend()->notice(parent, Icon::Warning, title, text);
}

bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &acceptText,
             const QString &rejectText)
{
    return backend()->confirm(parent, title, text, acceptText, rejectText);
}

QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return backend()->openFileName(parent, caption, dir, filter);
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return backend()->saveFileName(parent, caption, dir, filter);
}

} // namespace Prompts
