#include "choverpoint.h"

#include <QPainter>
#include <QPointF>

void CHoverPoint::setImage(const QString &path)
{
    m_activeimage = QImage(path);
    m_activeset = true;
}

void CHoverPoint::setHoverImage(const QString &path)
{
    m_inactiveimage = QImage(path);
    m_inactiveset = true;
}

QRect CHoverPoint::rect() const
{
    return QRect(m_x - m_width / 2, m_y - m_height / 2, m_width, m_height);
}

QRect CHoverPoint::infobox() const
{
    // 80 x 80 below and right of the point; near the bottom or the right of a
    // plot only the top, respectively left, edge moves so the text stays inside.
    const int top = m_y > 111 ? m_y - 120 : m_y + 5;
    const int left = m_x > 399 ? m_x - 150 : m_x;
    return QRect(QPoint(left, top), QPoint(m_x + 79, m_y + 84));
}

QSize CHoverPoint::valuesize(const QPainter &painter) const
{
    const QRect r = painter.fontMetrics().boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop,
                                                        m_valuetext.trimmed());
    return r.size() + QSize(8, 4);
}

void CHoverPoint::paintvalue(QPainter *painter, const QRect &box) const
{
    if (!painter || m_valuetext.trimmed().isEmpty())
        return;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 190));
    painter->drawRect(box);
    painter->setPen(QColor(Qt::green));
    painter->drawText(box, Qt::AlignCenter | Qt::TextDontClip, m_valuetext.trimmed());
    painter->restore();
}

void CHoverPoint::paint(QPainter *painter, bool withvalue) const
{
    if (m_index != 0 || !m_visible || !painter)
        return;
    const QRect labelbox(m_x - 8, m_y - 8, 20, 20);
    const QPointF corner(m_x - 10, m_y - 10);
    if (m_active) {
        if (m_activeset) {
            if (!m_activeimage.isNull())
                painter->drawImage(corner, m_activeimage);
            if (withvalue) {
                painter->setPen(QColor(Qt::green));
                painter->drawText(infobox(), Qt::AlignCenter, m_valuetext);
            }
        }
    } else if (m_inactiveset && !m_inactiveimage.isNull()) {
        painter->drawImage(corner, m_inactiveimage);
    }
    painter->setPen(m_labelcolour);
    painter->drawText(labelbox, Qt::AlignCenter, m_label);
}
