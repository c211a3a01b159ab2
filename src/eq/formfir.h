#pragma once

// The FIR response panel: a top-level window titled "FIR" that paints the
// black plot frame and grid under its curve `widget_fir` (FormCcurveFir).
// Takes no input and sends nothing.

#include "curvemath.h"

#include <QWidget>

namespace Ui
{
class FormFir;
}

class FormFir : public QWidget
{
    Q_OBJECT
public:
    explicit FormFir(QWidget *parent = nullptr);
    ~FormFir() override;

    // Repaints the curve at once (not the grid).
    void repaintcurve();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CurveMath curvemath;
    Ui::FormFir *ui;
};
