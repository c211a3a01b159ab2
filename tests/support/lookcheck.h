#pragma once

// What a user must be able to see of a page's widget: it is shown, it lies
// wholly inside the page and inside every widget around it (nothing cut
// off), and its text fits its width.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStyle>
#include <QWidget>

namespace lookcheck
{

// The text the widget shows, and the width it has for it.
inline bool shownText(const QWidget *w, QString *text, int *room)
{
    if (auto *l = qobject_cast<const QLabel *>(w)) {
        if (l->wordWrap() || l->textFormat() == Qt::RichText)
            return false;
        *text = l->text();
        *room = l->contentsRect().width() - 2 * l->margin() - 2 * qMax(0, l->indent());
    } else if (auto *b = qobject_cast<const QAbstractButton *>(w)) {
        *text = b->text();
        *room = b->contentsRect().width();
    } else if (auto *e = qobject_cast<const QLineEdit *>(w)) {
        *text = e->text();
        // The frame and the text margins of the box.
        *room = e->contentsRect().width() - 4;
    } else if (auto *s = qobject_cast<const QAbstractSpinBox *>(w)) {
        *text = s->text();
        *room = s->contentsRect().width() - 4;
    } else if (auto *c = qobject_cast<const QComboBox *>(w)) {
        *text = c->currentText();
        // The drop-down arrow takes about a height's width.
        *room = c->contentsRect().width() - c->height();
    } else {
        return false;
    }
    text->remove(QLatin1Char('&'));
    return true;
}

// The part of the widget that its parents leave visible, in its own
// coordinates.
inline QRect visiblePart(const QWidget *page, const QWidget *w)
{
    QRect visible = w->rect();
    for (const QWidget *around = w->parentWidget(); around; around = around->parentWidget()) {
        visible &= QRect(w->mapFrom(around, QPoint(0, 0)), around->size());
        if (around == page)
            break;
    }
    return visible;
}

// Where the widget draws its text, for a text `needed` pixels wide.
inline QRect textPlace(const QWidget *w, int needed)
{
    Qt::Alignment align = Qt::AlignCenter;
    if (auto *l = qobject_cast<const QLabel *>(w))
        align = l->alignment();
    else if (auto *e = qobject_cast<const QLineEdit *>(w))
        align = e->alignment();
    else if (qobject_cast<const QComboBox *>(w))
        align = Qt::AlignLeft | Qt::AlignVCenter;
    const QSize size(needed, QFontMetrics(w->font()).height());
    return QStyle::alignedRect(w->layoutDirection(), align, size, w->contentsRect());
}

// Empty when the user sees the widget and its text whole; else what is
// wrong. A widget with a text may reach past its parent's edge by design
// (a frame or a skin's rim) as long as its text stays inside; any other
// widget must lie wholly inside the page and every widget around it.
inline QString unseen(const QWidget *page, const QWidget *w)
{
    if (!w)
        return QStringLiteral("missing");
    const QString name = w->objectName();
    if (!w->isVisible())
        return name + QStringLiteral(" is not shown");
    const QRect visible = visiblePart(page, w);
    QString text;
    int room = 0;
    if (shownText(w, &text, &room) && !text.isEmpty()) {
        const int needed = QFontMetrics(w->font()).horizontalAdvance(text);
        if (needed > room)
            return QStringLiteral("%1: \"%2\" needs %3 pixels, has %4").arg(name, text).arg(needed).arg(room);
        // Across the text's whole width, and over the height of its capitals
        // about the middle of where it is drawn.
        const QRect place = textPlace(w, needed);
        const int cap = QFontMetrics(w->font()).capHeight();
        const QRect glyphs(place.left(), place.center().y() - cap / 2, place.width(), cap);
        if (!visible.contains(glyphs))
            return QStringLiteral("%1: \"%2\" is cut off").arg(name, text);
    } else if (visible != w->rect()) {
        return QStringLiteral("%1 is cut off").arg(name);
    }
    return QString();
}

} // namespace lookcheck
