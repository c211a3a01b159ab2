#include "panelwindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVector>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace
{

const char *const kKeepClear = "dspPanelKeepClear";
// The order panels came up in: a panel's place is judged against the panels
// up before it, which it lies above; the later ones were placed around it.
const char *const kShownOrder = "dspPanelShownOrder";
// Where a panel's client area is meant to be: where the application put it,
// or where the user moved it to.
const char *const kPlaced = "dspPanelPlaced";
// The user moved the panel: it stays where it was put (kPlaced) while its
// title bar can be reached.
const char *const kMoved = "dspPanelMoved";
// The application's own placing of a panel just shown is over: a move from
// now on, while it is shown, is the user's.
const char *const kSettled = "dspPanelSettled";
// The panel's moves are watched.
const char *const kWatched = "dspPanelWatched";
// A control of the window outside the page that a panel may cover (a page
// button), one at most, counting for less than one of the page's controls.
const char *const kMayCover = "dspPanelMayCover";
constexpr int kMayCoverWeight = 4;

// What a user works on (weight 10) or reads (a label with text, weight 1):
// a panel over it hides it. 0 for anything else.
int weight(const QWidget *w)
{
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
        qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w))
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

bool iscurve(const QWidget *w)
{
    return w->inherits("CCurveWidget");
}

// Whether w lies in a part marked by keepclear (below top).
bool keptclear(const QWidget *w, const QWidget *top)
{
    for (; w && w != top; w = w->parentWidget())
        if (w->property(kKeepClear).toBool())
            return true;
    return false;
}

QRect onscreen(const QWidget *w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// The part of w its parents leave to be seen; none when only a sliver of it
// shows (a status button cut off by the window's edge), which no one can
// read or hit.
QRect shownpart(const QWidget *w)
{
    constexpr int kSliver = 6;
    QRect r = onscreen(w);
    for (const QWidget *p = w->parentWidget(); p; p = p->isWindow() ? nullptr : p->parentWidget())
        r &= onscreen(p);
    return r.width() < kSliver || r.height() < kSliver ? QRect() : r;
}

// The frame a window manager put around w; none while it has not framed it.
// Asked of the native window, which reads it from the server: the widget's
// own frame geometry follows the window manager's moves and reparenting one
// event at a time, and while it does it matches no frame at all.
QMargins framemargins(const QWidget *w)
{
    const QWindow *native = w->windowHandle();
    return native ? native->frameMargins() : QMargins();
}

bool framed(const QWidget *w)
{
    return !framemargins(w).isNull();
}

// A panel's frame: its own once the window manager framed it, else the
// main window's, as a window manager frames a program's windows alike.
QMargins panelmargins(const QWidget *panel, const QWidget *top)
{
    const QMargins own = framemargins(panel);
    return own.isNull() ? framemargins(top) : own;
}

// Where a panel's frame may go over a page's window, and how much each place
// hides.
class Placement
{
public:
    // Lower is better, compared in order: what must never be covered (the
    // window's own controls, a second of those marked by maycover, the
    // page's parts kept clear, the close buttons on other panels' title
    // bars), the area of other panels (covered only where the screen has no
    // other room), the page's controls and those marked by maycover, the
    // area of the page's curve, the area of the window's title bar (its
    // window manager's buttons), the share of the window covered, and the
    // distance from the place beside the window's top-right corner.
    using Score = std::array<qint64, 7>;

    Placement(const QWidget *panel, const QWidget *page);
    bool valid() const { return m_valid; }
    QSize size() const { return m_size; }
    QRect room() const { return m_room; }
    Score score(const QRect &frame) const;
    // The best frame place; with several equal, the first tried.
    QPoint best() const;

private:
    QPoint inside(QPoint p) const
    {
        p.setX(qBound(m_room.left(), p.x(), m_room.right() + 1 - m_size.width()));
        p.setY(qBound(m_room.top(), p.y(), m_room.bottom() + 1 - m_size.height()));
        return p;
    }

    bool m_valid = false;
    QRect m_main, m_room, m_title;
    QSize m_size;
    QPoint m_corner;
    QVector<QRect> m_never;
    QVector<QPair<QRect, int>> m_controls;
    QVector<QRect> m_maycover;
    QVector<QRect> m_curves;
    QVector<QRect> m_panels, m_paneltitles;
};

Placement::Placement(const QWidget *panel, const QWidget *page)
{
    const QWidget *top = page->window();
    m_main = top->geometry().marginsAdded(framemargins(top));
    m_title = QRect(m_main.topLeft(), QPoint(m_main.right(), top->geometry().top() - 1));
    const QScreen *screen = QGuiApplication::screenAt(m_main.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_valid = true;
    m_room = screen->availableGeometry();
    m_size = panel->geometry().marginsAdded(panelmargins(panel, top)).size().boundedTo(m_room.size());
    const int gap = 4;
    m_corner = QPoint(m_main.right() + 1 + gap, m_main.top());

    // The page's controls, up to its place in the document area; the
    // window's own, outside the document area (menu, tool bar, page bar,
    // status). Other pages lie beneath this one.
    const QWidget *root = page;
    const QMdiArea *area = nullptr;
    for (const QWidget *w = page; w && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<const QMdiSubWindow *>(w->parentWidget()))
            root = w;
        if (!area)
            area = qobject_cast<const QMdiArea *>(w);
    }
    for (const QWidget *w : top->findChildren<QWidget *>()) {
        const QRect shown = w->isVisible() ? shownpart(w) : QRect();
        if (shown.isEmpty())
            continue;
        if (root->isAncestorOf(w)) {
            if (iscurve(w))
                m_curves.append(shown);
            else if (const int n = weight(w); n > 0)
                (keptclear(w, root) ? m_never.append(shown) : m_controls.append(qMakePair(shown, n)));
        } else if ((!area || !area->isAncestorOf(w)) && weight(w) > 0) {
            if (w->property(kMayCover).toBool())
                m_maycover.append(shown);
            else
                m_never.append(shown);
        }
    }
    // Other panels with their frames, framed or about to be, that came up
    // before this one.
    const QVariant order = panel->property(kShownOrder);
    const qint64 mine = order.isValid() ? order.toLongLong() : std::numeric_limits<qint64>::max();
    for (const QWidget *w : QApplication::topLevelWidgets())
        if (w != panel && w != top && w->isVisible() &&
            (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog) &&
            w->property(kShownOrder).toLongLong() < mine) {
            // Both where it was put and where the widget says it is: while
            // a window manager reparents and moves a panel just shown, the
            // widget's place follows it one event at a time.
            QVector<QRect> places{w->geometry()};
            const QRect placed = w->property(kPlaced).toRect();
            if (placed.isValid() && placed != places.front())
                places << placed;
            for (const QRect &g : places) {
                const QRect f = g.marginsAdded(panelmargins(w, top));
                m_panels.append(f);
                // The title bar's right end, where a window manager puts
                // its close button.
                const int buttons = qMin(f.width(), 80);
                m_paneltitles.append(QRect(QPoint(f.right() + 1 - buttons, f.top()),
                                           QPoint(f.right(), qMax(f.top(), g.top() - 1))));
            }
        }
}

Placement::Score Placement::score(const QRect &r) const
{
    Score s{};
    for (const QRect &c : m_never)
        s[0] += r.intersects(c) ? 1 : 0;
    for (const QRect &c : m_paneltitles)
        s[0] += r.intersects(c) ? 1 : 0;
    if (!m_room.contains(r))
        s[0] += 1000;
    for (const QRect &c : m_panels) {
        const QRect over = r & c;
        s[1] += qint64(over.width()) * over.height();
    }
    for (const auto &c : m_controls)
        s[2] += r.intersects(c.first) ? c.second : 0;
    // One of the window's controls marked by maycover at most: the others
    // stay in reach.
    int maycover = 0;
    for (const QRect &c : m_maycover)
        maycover += r.intersects(c) ? 1 : 0;
    s[0] += qMax(0, maycover - 1);
    s[2] += qint64(maycover) * kMayCoverWeight;
    for (const QRect &c : m_curves) {
        const QRect over = r & c;
        s[3] += qint64(over.width()) * over.height();
    }
    const QRect title = r & m_title;
    s[4] = qint64(title.width()) * title.height();
    // In twentieths of the panel, so that a place nearer the window's corner
    // wins over one that covers a few columns less of its edge.
    const QRect over = r & m_main;
    const qint64 whole = qMax<qint64>(1, qint64(m_size.width()) * m_size.height());
    s[5] = (qint64(over.width()) * over.height() * 20 + whole - 1) / whole;
    s[6] = (r.topLeft() - m_corner).manhattanLength();
    return s;
}

QPoint Placement::best() const
{
    // Beside the window (right, left, below, above), beside and below each
    // other panel, then a grid over the screen; every place inside it.
    QVector<QPoint> tries;
    const int gap = 4;
    tries << m_corner << QPoint(m_main.left() - gap - m_size.width(), m_main.top())
          << QPoint(m_main.left(), m_main.bottom() + 1 + gap)
          << QPoint(m_main.left(), m_main.top() - gap - m_size.height());
    for (const QRect &c : m_panels)
        tries << QPoint(c.right() + 1 + gap, c.top()) << QPoint(c.left() - gap - m_size.width(), c.top())
              << QPoint(c.left(), c.bottom() + 1 + gap) << QPoint(c.left(), c.top() - gap - m_size.height());
    const int step = 8;
    for (int y = m_room.top(); y <= m_room.bottom() + step - m_size.height(); y += step)
        for (int x = m_room.left(); x <= m_room.right() + step - m_size.width(); x += step)
            tries << QPoint(x, y);
    QPoint best = inside(m_corner);
    Score bestscore;
    bestscore.fill(std::numeric_limits<qint64>::max());
    for (const QPoint &p : tries) {
        const QRect r(inside(p), m_size);
        const Score s = score(r);
        if (s < bestscore) {
            bestscore = s;
            best = r.topLeft();
        }
    }
    return best;
}

// Puts panel's client area at `client`, noted first: the move it makes is
// the application's own, not the user's.
void putclient(QWidget *panel, const QRect &client)
{
    panel->setProperty(kPlaced, client);
    panel->setGeometry(client);
}

// Puts panel's frame at `frame` (its top-left corner): the client area goes
// inside it by the frame's margins, so that a window manager that frames the
// panel around its client area puts the frame there. A panel placed so is
// the application's to place again.
QRect placeframe(QWidget *panel, const QWidget *top, QPoint frame)
{
    const QMargins m = panelmargins(panel, top);
    const QRect client(frame + QPoint(m.left(), m.top()), panel->size());
    panel->setProperty(kMoved, false);
    putclient(panel, client);
    return client;
}

// Whether the title bar of a panel whose client area is at `client` lies on
// a screen, its whole height and enough of its width for a hand to take it.
bool titleinreach(const QWidget *panel, const QWidget *top, const QRect &client)
{
    const QMargins m = panelmargins(panel, top);
    const QRect frame = client.marginsAdded(m);
    const QRect title(frame.topLeft(), QSize(frame.width(), qMax(m.top(), 1)));
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect over = title & screen->availableGeometry();
        if (over.height() == title.height() && over.width() >= qMin(title.width(), 48))
            return true;
    }
    return false;
}

// Tells the user's moves of a shown panel from the application's: once the
// application has placed it, a move to anywhere but where it was put is the
// user's (a drag by the title bar), and the panel keeps that place.
class MoveWatch : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move && watched->isWidgetType()) {
            auto *panel = static_cast<QWidget *>(watched);
            const QRect now = panel->geometry();
            if (panel->isVisible() && panel->property(kSettled).toBool() &&
                now.topLeft() != panel->property(kPlaced).toRect().topLeft()) {
                panel->setProperty(kMoved, true);
                panel->setProperty(kPlaced, now);
            }
        }
        return false;
    }
};

void watchmoves(QWidget *panel)
{
    if (!panel->property(kWatched).toBool()) {
        panel->setProperty(kWatched, true);
        panel->installEventFilter(new MoveWatch(panel));
    }
}

// After the first map the window manager frames the panel in its own time;
// once the frame is known, the panel is placed again when the frame's real
// size makes its place worse than the best. Its place is where its client
// area was put (`client`) in the real frame: the position the widget holds
// meanwhile follows the window manager's reparenting and moves one event at
// a time. Until the looks end, a frame found running off the screen (where
// the window manager or a stale position left it) is put back on it: a
// panel whose title bar cannot be reached cannot be moved or closed.
// A panel the user moved is only put back when its title bar is out of
// reach. Looked at for a bounded time: a screen without a window manager
// never frames it. Once the first look at the framed panel is over (or the
// looks end), a move of the panel is the user's.
void replaceframed(QWidget *panel, const QWidget *page, const QRect &client)
{
    constexpr int kLookMs = 25, kLooks = 80;
    auto *timer = new QTimer(panel);
    timer->setInterval(kLookMs);
    const QPointer<const QWidget> pageref(page);
    const QPointer<QTimer> self(timer);
    const auto looks = std::make_shared<int>(0);
    const auto placed = std::make_shared<bool>(false); // the framed place was judged
    QObject::connect(timer, &QTimer::timeout, panel, [panel, pageref, self, looks, placed, client] {
        const bool done = !pageref || panel->isHidden() || ++*looks > kLooks;
        if (done && self) {
            self->stop();
            self->deleteLater();
        }
        if (!pageref || panel->isHidden())
            return;
        if (done)
            panel->setProperty(kSettled, true);
        if (!framed(panel))
            return;
        const Placement placement(panel, pageref);
        if (!placement.valid())
            return;
        const QWidget *top = pageref->window();
        const bool moved = panel->property(kMoved).toBool();
        if (!*placed) {
            *placed = true;
            if (!moved) {
                const QPoint best = placement.best();
                const QRect now = client.marginsAdded(framemargins(panel));
                if (placement.score(QRect(best, placement.size())) < placement.score(now))
                    placeframe(panel, top, best);
            }
            panel->setProperty(kSettled, true);
            return;
        }
        const QRect now = panel->frameGeometry();
        const QRect room = placement.room();
        const bool lost =
            moved ? !titleinreach(panel, top, panel->geometry())
                  : !room.contains(now) && now.width() <= room.width() && now.height() <= room.height();
        if (lost)
            placeframe(panel, top, placement.best());
    });
    timer->start();
}

} // namespace

QPoint panelplace(const QWidget *panel, const QWidget *page)
{
    const Placement placement(panel, page);
    return placement.valid() ? placement.best() : panel->frameGeometry().topLeft();
}

void keepclear(QWidget *part)
{
    part->setProperty(kKeepClear, true);
}

void maycover(QWidget *part)
{
    part->setProperty(kMayCover, true);
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
    if (top == panel) {
        panel->show();
        return;
    }
    // A dialog to the window manager, whose transient it then is: kept
    // above the page's window when that window is clicked and raised (a
    // plain window's transient parent stays unknown to the window manager).
    if (panel->windowType() == Qt::Window)
        panel->setWindowFlags((panel->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    panel->winId(); // the native window, to hang under the page's
    if (panel->windowHandle() && top->windowHandle())
        panel->windowHandle()->setTransientParent(top->windowHandle());
    static qint64 shown = 0;
    panel->setProperty(kShownOrder, ++shown);
    panel->setProperty(kSettled, false);
    watchmoves(panel);
    // A panel the user moved comes back where the user left it (the window
    // manager may have moved its window when it unmapped it); any other is
    // placed afresh.
    QRect client = panel->property(kPlaced).toRect();
    if (panel->property(kMoved).toBool() && titleinreach(panel, top, client))
        putclient(panel, client);
    else
        client = placeframe(panel, top, panelplace(panel, page));
    panel->show();
    replaceframed(panel, page, client);
}
