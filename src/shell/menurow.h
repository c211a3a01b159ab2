#pragma once

// The main window's menu row: push buttons, each with its pop-up menu.
//
// Qt 5 sends such a button no Leave when the pointer goes from it into its
// menu (the menu has the pointer while it is open), nor when the menu closes:
// the button goes on counting itself under the pointer, and the style sheet
// draws it hovered until the pointer passes over it again. An entry that runs
// a long operation (the device search) runs it inside the button's press, so
// the title then looked hovered from the end of the operation on, wherever the
// pointer was. A title the pointer rested on when a menu opened by the
// keyboard gets its Leave, but no hover leave (Qt sends none to a window
// under an open menu): it is not drawn again and looks hovered as well.
//
// A title clicked takes the keyboard focus, as any push button does, and
// gets it back when the window is activated again after a box its entry
// opened (the about box): the keys pressed after a menu act on the row. A
// window in which the keyboard ever moved the focus (Tab) draws the focus
// frame of its focus widget from then on, mouse clicks or not, and the frame
// lit the title after the box had closed, two titles with the pointer on
// another. The frame therefore marks a title only while the keyboard brought
// the focus to it: a click on it, its menu, or the pointer on the row make it
// quiet (the dynamic property "quietfocus", which the style sheets give no
// outline).

#include <QList>

class QPushButton;
class QWidget;

namespace menurow
{
// Whether the pointer is on the widget now: the widget, or one of its
// children, is the topmost one under the pointer's position.
bool pointeron(const QWidget *widget);

// A widget the pointer is not on is drawn again as it is, after the Leave it
// missed when Qt still counts it under the pointer. A widget the pointer is on
// is left as it is: a Leave made up for it could not be undone by Qt's own
// Enter.
void settlehover(QWidget *widget);

// Once a title's press has ended (its menu closed, and what the chosen entry
// started has ended), every title of the row is settled. Connect after the
// titles have their menus: the button's own handling of the press, which
// shows the menu and runs the entry, comes first. The arrow keys on a title
// move the focus to the title beside it, round the row, never out of it.
void keepidle(const QList<QPushButton *> &titles);
} // namespace menurow
