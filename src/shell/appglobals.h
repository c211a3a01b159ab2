#pragma once

// Program-wide objects of the application shell that start-up creates, and
// the event-pumping wait of the network search.

#include <QString>

class DialogCom;

// The version text shown in the window title and the about box: "V1.0.4M".
extern const QString gVersionStr;
// The serial settings dialog; created by start-up as a child of the main window.
extern DialogCom *gDialogCom;

// The window-title prefix of a build variant (0..4), each ending in one blank;
// empty for any other variant.
QString titleprefix(int variant);

// Returns once at least n milliseconds have passed since the call (monotonic
// clock), handling every kind of pending event meanwhile.
void waitms(int n);
