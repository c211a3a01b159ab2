#pragma once

// The frame of the EQ page's response plot: paints the black plot area with
// its dB rows and logarithmic frequency grid, carries the scale labels of its
// form and hosts the response curve `widgetshow` laid exactly over the grid
// (plot x 30..840, y 13..238; curve pixel (0, 0) is frame pixel (30, 13)).
// Passes the curve's three value signals on.

#include "curvemath.h"

#include <QWidget>

class CCurveWidget;
class QPainter;
namespace Ui
{
class FormEqDraw;
}

class FormEqDraw : public QWidget
{
    Q_OBJECT
public:
    explicit FormEqDraw(QWidget *parent = nullptr);
    ~FormEqDraw() override;

    // Forwarded to the curve: band 0..6, 9 "L", 10 "H".
    void updatepoint(int n);
    void loadpoints();
    // Repaints the curve at once (not the grid).
    void repaintcurve();

    CCurveWidget *curve() const;

    void drawgridrows(QPainter *painter);
    void drawfreqgrid(QPainter *painter);
    void drawmajorgrid(QPainter *painter);

signals:
    void btnschangevalue(int band, int index, int y);
    void btnschanged(int band);
    void btnscutchangevalue(int which, int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CurveMath curvemath;
    Ui::FormEqDraw *ui;
};
