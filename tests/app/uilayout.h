#pragma once

// Where a widget of a fixed-layout form sits, read from the form's .ui file,
// so that a test driving the real window through the X server clicks where
// the form puts the widget today.

#include <QRect>
#include <QString>

// The rectangle of the widget named `name` in the coordinates of the form's
// top widget: its own geometry moved by the geometries of its parents. A null
// rectangle when the file cannot be read or holds no such widget.
QRect uirect(const QString &uifile, const QString &name);
