#pragma once

// The FIR magnitude curve of the output shown on the EQ page: the plot area of
// the FIR panel (370 x 225; 0 dB at y 75, 1 px per dB, x by the 400-pixel
// logarithmic axis). Reads the output's FIR record at every paint; draws
// nothing for an input.

#include "curvemath.h"

#include <QWidget>

class QPainter;

class FormCcurveFir : public QWidget
{
    Q_OBJECT
public:
    explicit FormCcurveFir(QWidget *parent = nullptr);

    void drawcurve(QPainter *painter);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CurveMath curvemath;
    int channel = 0;
};
