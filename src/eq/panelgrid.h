#pragma once

// The black plot frame and grid the small response panels (FIR, all pass)
// paint under their curves: a 400-pixel logarithmic frequency axis from x 30
// to 435, grey minor rows 25 pixels apart and minor frequency lines, light
// blue major lines at three levels and three frequencies.

class CurveMath;
class QPainter;

struct PanelGrid {
    int top, bottom;  // the plot's first and last line
    int firstrow;     // the first minor row
    int rows;         // minor rows
    double bases[3];  // minor frequency lines at 2..10 times each base
    int majorrows[3]; // major levels
    double majorfreqs[3];
};

void paintpanelgrid(QPainter &painter, const CurveMath &curvemath, const PanelGrid &grid);

// A response of the EQ displays: the line through the points with the
// painter's pen, and the area below it down to y 225 filled with a
// half-transparent red gradient across width pixels.
void paintresponse(QPainter &painter, const int *x, const int *y, int count, int width);
