#include "panelwindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QVector>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace
{

// What a user works on (weight 10) or reads (a label with text, weight 1):
// a panel over it hides it. 0 for anything else.
int weight(const QWidget *w)
{
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
        qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
        w->inherits("CCurveWidget"))
        return 10;
    // The edit inside a combo or spin box is part of it.
    if (qobject_cast<const QLineEdit *>(w))
        return qobject_cast<const QComboBox *>(w->parentWidget()) ||
                       qobject_cast<const QAbstractSpinBox *>(w->parentWidget())
                   ? 0
                   : 10;
    const auto *label = qobject_cast<const QLabel *>(w);
    return label && !label->text().trimmed().isEmpty() ? 1 : 0;
}

struct Covered {
    QRect rect; // screen coordinates
    int weight;
};

// The controls the panel should leave free: those of the page (up to its
// place in the document area), and those of its window outside the
// document area (menus, tool bar, status), which count less.
void controls(const QWidget *page, QVector<Covered> &ofpage, QVector<Covered> &ofwindow)
{
    const QWidget *root = page;
    const QMdiArea *area = nullptr;
    for (const QWidget *w = page; w && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<const QMdiSubWindow *>(w->parentWidget()))
            root = w;
        if (!area)
            area = qobject_cast<const QMdiArea *>(w);
    }
    for (const QWidget *w : page->window()->findChildren<QWidget *>()) {
        const int n = w->isVisible() ? weight(w) : 0;
        if (n == 0)
            continue;
        const Covered c{QRect(w->mapToGlobal(QPoint(0, 0)), w->size()), n};
        if (root->isAncestorOf(w))
            ofpage.append(c);
        else if (!area || !area->isAncestorOf(w)) // else another page, beneath this one
            ofwindow.append(c);
    }
}

} // namespace

QPoint panelplace(const QWidget *panel, const QWidget *page)
{
    const QWidget *top = page->window();
    const QRect main = top->frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(main.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return panel->pos();
    const QRect room = screen->availableGeometry();
    const QSize size = panel->frameGeometry().size().boundedTo(room.size());
    auto inside = [&](QPoint p) {
        p.setX(qBound(room.left(), p.x(), room.right() + 1 - size.width()));
        p.setY(qBound(room.top(), p.y(), room.bottom() + 1 - size.height()));
        return p;
    };
    // Beside the window: right, left, below, above, as near its top-left
    // corner as the screen lets it be.
    const int gap = 4;
    const QPoint beside[] = {{main.right() + 1 + gap, main.top()},
                             {main.left() - gap - size.width(), main.top()},
                             {main.left(), main.bottom() + 1 + gap},
                             {main.left(), main.top() - gap - size.height()}};
    for (const QPoint &p : beside) {
        const QRect r(inside(p), size);
        if (room.contains(r) && !r.intersects(main))
            return r.topLeft();
    }
    // Over the window: the fewest of the page's controls covered, then of
    // the window's, then the least of the window, then nearest its
    // top-right corner. Another panel counts as many controls.
    QVector<Covered> ofpage, ofwindow;
    controls(page, ofpage, ofwindow);
    QVector<QRect> panels;
    for (const QWidget *w : QApplication::topLevelWidgets())
        if (w != panel && w != top && w->isVisible() && w->windowType() == Qt::Window)
            panels.append(w->frameGeometry());
    auto cost = [](const QRect &r, const QVector<Covered> &list) {
        qint64 n = 0;
        for (const Covered &c : list)
            n += r.intersects(c.rect) ? c.weight : 0;
        return n;
    };
    const QPoint corner(main.right() + 1 - size.width(), main.top());
    QPoint best = inside(corner);
    const int kScores = 4;
    qint64 bestscore[kScores] = {std::numeric_limits<qint64>::max(), 0, 0, 0};
    const int step = 8;
    for (int y = room.top(); y <= room.bottom() + 1 - size.height() + step - 1; y += step)
        for (int x = room.left(); x <= room.right() + 1 - size.width() + step - 1; x += step) {
            const QRect r(inside(QPoint(x, y)), size);
            qint64 onpanels = 0;
            for (const QRect &c : panels)
                onpanels += r.intersects(c) ? 1000 : 0;
            const QRect over = r & main;
            const qint64 score[kScores] = {cost(r, ofpage) + onpanels, cost(r, ofwindow),
                                           qint64(over.width()) * over.height(),
                                           qint64((r.topLeft() - corner).manhattanLength())};
            if (std::lexicographical_compare(score, score + kScores, bestscore, bestscore + kScores)) {
                std::copy(score, score + kScores, bestscore);
                best = r.topLeft();
            }
        }
    return best;
}

void showpanel(QWidget *panel, const QWidget *page, bool on)
{
    if (!on) {
        if (!panel->isHidden())
            panel->hide();
        return;
    }
    if (!panel->isHidden())
        return;
    QWidget *top = page->window();
    if (top != panel) {
        panel->winId(); // the native window, to hang under the page's
        if (panel->windowHandle() && top->windowHandle())
            panel->windowHandle()->setTransientParent(top->windowHandle());
        panel->move(panelplace(panel, page));
    }
    panel->show();
}
