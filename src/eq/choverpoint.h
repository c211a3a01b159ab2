#pragma once

// One marker on a response plot: a position in the owner's pixels, a hit
// rectangle, an image for the active and one for the inactive state, a short
// label drawn on the image and an info text shown beside the point while it is
// active. A plain value class: the owner places the points, decides which one
// is active, hit-tests the mouse with rect() and paints them from its own
// paint event.
//
// The images are held by value, so copying a point copies its images (a copy
// never shares or frees another point's image). Each image carries a flag
// "an image was set": a path that does not load still counts as set and
// leaves a null image, which draws nothing.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

class CHoverPoint
{
public:
    CHoverPoint() = default;

    // While the index is non-zero, paint() draws nothing.
    void setindex(quint8 index) { m_index = index; }
    void setPos(int x, int y)
    {
        m_x = x;
        m_y = y;
    }
    void setSize(int width, int height)
    {
        m_width = width;
        m_height = height;
    }
    void setVisible(bool visible) { m_visible = visible; }
    void setActive(bool active) { m_active = active; }
    void setText(const QString &label) { m_label = label; }
    void setValueText(const QString &text) { m_valuetext = text; }
    void setColor(const QColor &colour) { m_labelcolour = colour; }
    // Active image and inactive (normal) image, loaded from a resource or file
    // path; replaces the image set before.
    void setImage(const QString &path);
    void setHoverImage(const QString &path);

    // Hit rectangle: (x - width/2, y - height/2), width x height.
    QRect rect() const;
    bool isActive() const { return m_active; }
    bool isVisible() const { return m_visible; }
    quint8 index() const { return m_index; }
    int getx() const { return m_x; }
    int gety() const { return m_y; }
    QString text() const { return m_label; }
    QString valueText() const { return m_valuetext; }
    bool hasImage() const { return m_activeset; }
    bool hasHoverImage() const { return m_inactiveset; }

    // Info box of the value text for the current position.
    QRect infobox() const;

    // Image, value text (active only, unless the owner draws it itself with
    // paintvalue), then label, with the owner's painter. Leaves the painter's
    // pen set to the label colour.
    void paint(QPainter *painter, bool withvalue = true) const;
    // The value text's size in the painter's font, and the text drawn whole
    // in box on a dark backing, so that nothing beneath it makes it unreadable.
    QSize valuesize(const QPainter &painter) const;
    void paintvalue(QPainter *painter, const QRect &box) const;

private:
    quint8 m_index = 0;
    int m_x = 0;
    int m_y = 0;
    int m_width = 20;
    int m_height = 20;
    bool m_visible = true;
    bool m_active = false;
    QImage m_activeimage;
    QImage m_inactiveimage;
    bool m_activeset = false;
    bool m_inactiveset = false;
    QString m_label;
    QString m_valuetext;
    QColor m_labelcolour = Qt::black;
};
