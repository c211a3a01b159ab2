#pragma once

// The all-pass phase curve of the channel shown on the EQ page: the plot area
// of the phase panel (410 x 200; +180 degrees at y 0, 0 at y 100, -180 at
// y 200; x by the 402-pixel logarithmic axis). Draws the sum of every
// non-bypassed all-pass band's phase, wrapped into one turn; flat while the
// channel's bypass-all is set. Reads the model at every paint.

#include "curvemath.h"

#include <QWidget>

class QPainter;

class FormCcurvPhase : public QWidget
{
    Q_OBJECT
public:
    explicit FormCcurvPhase(QWidget *parent = nullptr);

    void drawphasecurve(QPainter *painter);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CurveMath curvemath;
};
