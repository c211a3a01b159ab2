#include "menurow.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHoverEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVector>
#include <QWidget>

namespace menurow
{
bool pointeron(const QWidget *widget)
{
    if (!widget || !widget->isVisible())
        return false;
    const QWidget *top = QApplication::widgetAt(QCursor::pos());
    return top && (top == widget || widget->isAncestorOf(top));
}

void settlehover(QWidget *widget)
{
    if (!widget || pointeron(widget))
        return;
    // A widget that got its Leave while a menu was open got no hover leave
    // (Qt sends none to windows under an open menu) and was not drawn again.
    widget->update();
    if (!widget->testAttribute(Qt::WA_UnderMouse))
        return;
    // Delivered as Qt delivers its own: the application clears the widget's
    // under-the-pointer state on the way, and a widget that tracks hovering
    // gets its hover leave too.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
    if (widget->testAttribute(Qt::WA_Hover)) {
        QHoverEvent hover(QEvent::HoverLeave, QPointF(-1, -1), widget->mapFromGlobal(QCursor::pos()));
        QCoreApplication::sendEvent(widget, &hover);
    }
    // An event filter may have kept the Leave from it.
    widget->setAttribute(Qt::WA_UnderMouse, false);
}

namespace
{
const char *const kQuiet = "quietfocus";

// A quiet title draws no focus frame: the style sheet gives it no outline.
void quietfocus(QPushButton *title, bool quiet)
{
    if (!title || title->property(kQuiet).toBool() == quiet)
        return;
    title->setProperty(kQuiet, quiet);
    // The style sheet reads the property when it polishes the widget.
    title->style()->unpolish(title);
    title->style()->polish(title);
    title->update();
}

// The row's keys and the look of the title that has the focus.
class RowKeys : public QObject
{
public:
    RowKeys(const QVector<QPointer<QPushButton>> &row, QObject *parent)
        : QObject(parent)
        , row(row)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *title = qobject_cast<QPushButton *>(watched);
        if (!title)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            return arrow(title, static_cast<QKeyEvent *>(event));
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason == Qt::MouseFocusReason)
                quietfocus(title, true);
            else if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                quietfocus(title, false);
            break;
        }
        case QEvent::Enter:
            // The pointer on the row: only the title under it is lit.
            for (const QPointer<QPushButton> &t : row)
                if (t && t->hasFocus())
                    quietfocus(t, true);
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Left and Right (Up and Down as a push button takes them) go from title
    // to title, round the row: they never take the focus out of it.
    bool arrow(QPushButton *title, QKeyEvent *key)
    {
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        bool next;
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            next = false;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            next = true;
            break;
        default:
            return false;
        }
        if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down &&
            title->parentWidget()->layoutDirection() == Qt::RightToLeft)
            next = !next;
        QVector<QPushButton *> open;
        for (const QPointer<QPushButton> &t : row)
            if (t && t->isVisible() && t->isEnabled() && (t->focusPolicy() & Qt::TabFocus))
                open << t;
        const int at = int(open.indexOf(title));
        if (at < 0)
            return false;
        const int n = int(open.size());
        open[(at + (next ? 1 : n - 1)) % n]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }

    QVector<QPointer<QPushButton>> row;
};
} // namespace

void keepidle(const QList<QPushButton *> &titles)
{
    QVector<QPointer<QPushButton>> row;
    for (QPushButton *title : titles)
        row << title;
    if (titles.isEmpty())
        return;
    auto *keys = new RowKeys(row, titles.first()->parentWidget());
    for (QPushButton *title : titles) {
        title->installEventFilter(keys);
        QObject::connect(title, &QAbstractButton::pressed, title, [row, title] {
            for (const QPointer<QPushButton> &t : row)
                settlehover(t);
            // The title keeps the focus after its menu, without a mark.
            quietfocus(title, true);
        });
    }
}
} // namespace menurow
