#pragma once

// Typing into a page's number field as a keyboard does: every character goes
// through the field's validator as a key press, so a keystroke the field
// refuses is lost as it is for a user (setText would pass it by).

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <QWidget>

namespace typedkeys
{

// The field gets the keyboard and its old text is selected, so that the
// keys replace it; then the text is typed key by key and Return pressed,
// or, with next, the focus moves there instead.
inline void typekeys(QWidget *field, const QString &text, QWidget *next = nullptr)
{
    field->setFocus();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        spin->selectAll();
    else if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
    QTest::keyClicks(field, text);
    if (next)
        next->setFocus();
    else
        QTest::keyClick(field, Qt::Key_Return);
}

} // namespace typedkeys
