#pragma once

// Showing and hiding the EQ page's top-level panels (FIR, all pass).

#include <QPoint>

class QWidget;

// Shows or hides panel, changing nothing when it already is so. Shown, it is
// a transient child of page's window: the program's main window is
// application-modal, and a window outside it would take no input, not even
// the close request of its own title bar. Each time it comes up it is placed
// by panelplace; once a window manager has framed it (after it is mapped,
// when the frame's real size is known) it is placed again if its frame then
// runs off the screen or covers what it should leave free. A panel the user
// has moved is not placed: it comes up where the user left it for as long
// as its title bar stays on the screen.
void showpanel(QWidget *panel, const QWidget *page, bool on);

// Where panel's frame (title bar and borders included; before a window
// manager framed the panel, the main window's frame stands for it) goes when
// it comes up over page, as the frame's top-left corner in screen
// coordinates. Always wholly inside the screen; never over the window's own
// controls outside the page area (menu, tool bar, page bar, status) but
// those marked by maycover, over a part of the page marked by keepclear, or
// over the close button of a panel that came up before it. Within that: off
// other panels unless the screen has no other room, beside page's window
// where the screen has room for it, else where it covers the fewest of the
// page's controls (a control marked by maycover counts for less), then the
// least of the page's curve.
QPoint panelplace(const QWidget *panel, const QWidget *page);

// Marks a control of the window outside its pages (a page button) that a
// panel may cover when the screen has no better room, one such control at
// most: it counts for less than one of the page's own controls.
void maycover(QWidget *part);

// Marks a part of a page (the page's channel buttons, the boxes that turn a
// panel off) that no panel may cover, with everything it holds.
void keepclear(QWidget *part);
