#pragma once

// A number box that takes any number while it is typed and limits it when
// the box reads its text (Return, Enter, or the focus leaving it): a number
// beyond the range becomes the nearest end of the range, digits beyond the
// box's decimals are dropped (toward zero). A plain QDoubleSpinBox refuses
// the keystroke that takes the text out of its range, so that "-45" in a
// box of -40..12 reads "-4" and "13" reads "1": a value the user never
// meant. A text that is no number is still refused, and a text left
// incomplete ("-", ".") gives the box its previous value back.
//
// The pages' forms use it in place of QDoubleSpinBox (a promoted widget);
// everything else is QDoubleSpinBox's.

#include <QDoubleSpinBox>

class LimitSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit LimitSpinBox(QWidget *parent = nullptr);

    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

    // The value a typed text stands for once limited (as fixup writes it);
    // false when the text is no number.
    bool limitedvalue(const QString &text, double *value) const;

private:
    // The text without prefix, suffix and surrounding blanks.
    QString bare(const QString &text) const;
};
