#pragma once

// Showing and hiding the EQ page's top-level panels (FIR, all pass).

#include <QPoint>

class QWidget;

// Shows or hides panel, changing nothing when it already is so. Shown, it is
// a transient child of page's window: the program's main window is
// application-modal, and a window outside it would take no input, not even
// the close request of its own title bar. Each time it comes up it is placed
// by panelplace.
void showpanel(QWidget *panel, const QWidget *page, bool on);

// Where panel (its frame's top-left corner, in screen coordinates) goes when
// it comes up over page: beside page's window where the screen has room for
// it, else where it covers the fewest of the page's controls (and of the
// window's own, outside the page area) and no other panel; always inside
// the screen.
QPoint panelplace(const QWidget *panel, const QWidget *page);
