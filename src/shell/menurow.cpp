#include "menurow.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHoverEvent>
#include <QPointer>
#include <QPushButton>
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

void keepidle(const QList<QPushButton *> &titles)
{
    QVector<QPointer<QPushButton>> row;
    for (QPushButton *title : titles) {
        row << title;
        title->setFocusPolicy(Qt::TabFocus);
    }
    for (QPushButton *title : titles)
        QObject::connect(title, &QAbstractButton::pressed, title, [row] {
            for (const QPointer<QPushButton> &t : row)
                settlehover(t);
        });
}
} // namespace menurow
