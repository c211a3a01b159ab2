#pragma once

// The all-pass phase panel: a top-level window titled "All Pass" that paints
// the black plot frame and grid under its curve `widget_phasr`
// (FormCcurvPhase). Takes no input and sends nothing.

#include "curvemath.h"

#include <QWidget>

namespace Ui
{
class FormPhase;
}

class FormPhase : public QWidget
{
    Q_OBJECT
public:
    explicit FormPhase(QWidget *parent = nullptr);
    ~FormPhase() override;

    // Repaints the curve at once (not the grid).
    void repaintcurve();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CurveMath curvemath;
    Ui::FormPhase *ui;
};
