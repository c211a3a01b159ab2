#include "limitspinbox.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

LimitSpinBox::LimitSpinBox(QWidget *parent)
    : QDoubleSpinBox(parent)
{
}

QString LimitSpinBox::bare(const QString &text) const
{
    QString t = text;
    if (!prefix().isEmpty() && t.startsWith(prefix()))
        t.remove(0, prefix().size());
    if (!suffix().isEmpty() && t.endsWith(suffix()))
        t.chop(suffix().size());
    return t.trimmed();
}

bool LimitSpinBox::limitedvalue(const QString &text, double *value) const
{
    // A sign, digits and at most one decimal point (the locale's or a dot),
    // at least one digit; no exponent, no group separators.
    static const QRegularExpression number(QStringLiteral("^([+-]?)([0-9]*)(?:[.,]([0-9]*))?$"));
    const QString t = bare(text);
    const QRegularExpressionMatch m = number.match(t);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return false;
    // A comma is a decimal point only where the locale writes it so.
    const QChar point = locale().decimalPoint();
    if (t.contains(QLatin1Char(',')) && point != QLatin1Char(','))
        return false;
    // Digits beyond the box's decimals go, toward zero, as the keystrokes a
    // plain box refuses would have gone.
    const QString whole = m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2);
    const QString fraction = m.captured(3).left(decimals());
    bool ok = false;
    double x = (whole + QLatin1Char('.') + fraction + QLatin1Char('0')).toDouble(&ok);
    // Too many digits for a double: far beyond any range all the same.
    if (!ok || !std::isfinite(x))
        x = std::numeric_limits<double>::max();
    if (m.captured(1) == QLatin1String("-"))
        x = -x;
    *value = qBound(minimum(), x, maximum());
    return true;
}

QValidator::State LimitSpinBox::validate(QString &input, int &pos) const
{
    const QValidator::State state = QDoubleSpinBox::validate(input, pos);
    if (state != QValidator::Invalid)
        return state;
    // A number out of range, or with more decimals than the box shows, may
    // be typed on; fixup limits it when the box reads it.
    double value = 0;
    return limitedvalue(input, &value) ? QValidator::Intermediate : QValidator::Invalid;
}

void LimitSpinBox::fixup(QString &input) const
{
    QDoubleSpinBox::fixup(input);
    double value = 0;
    if (limitedvalue(input, &value))
        input = textFromValue(value);
}
