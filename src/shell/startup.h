#pragma once

// Start-up of the application after the application object exists: the
// controller, the language object, the main window with its title, the about
// box and the serial settings dialog, the window's place on the desktop, the
// application style sheet and the first language refresh.

#include <QRect>
#include <QSize>

class MainWindow;

// Runs start-up for the build variant and returns the main window, not yet
// shown; the caller owns it. Destroying the window deletes the controller and
// the language object again.
MainWindow *startmainwindow(int variant);

// The window's place: x = (DW - W) / 2, y = (DH - H - 15) / 2, truncated
// towards zero, without the desktop's own origin.
QRect centredgeometry(const QSize &window, const QSize &desktop);
