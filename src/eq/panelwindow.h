#pragma once

// Showing and hiding the EQ page's top-level panels (FIR, all pass).

class QWidget;

// Shows or hides panel, changing nothing when it already is so. Shown, it is
// a transient child of page's window: the program's main window is
// application-modal, and a window outside it would take no input, not even
// the close request of its own title bar.
void showpanel(QWidget *panel, const QWidget *page, bool on);
