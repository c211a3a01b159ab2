#pragma once

// The graphic EQ display panel: a black plot area with the dB and frequency
// grids and their labels, and the response plot (FormShowDraw) inside it.

#include "curvemath.h"

#include <QWidget>

#include <memory>

class FormShowDraw;

namespace Ui
{
class FormGeqDraw;
}

class FormGeqDraw : public QWidget
{
    Q_OBJECT
public:
    explicit FormGeqDraw(QWidget *parent = nullptr);
    ~FormGeqDraw() override;

    // Band 0..30 and its two-line text; passed on to the plot.
    void showBandPoint(int band, const QString &text);
    FormShowDraw *plot() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawdblines(QPainter *painter);
    void drawfreqlines(QPainter *painter);
    void drawmajorlines(QPainter *painter);

    CurveMath m_math;
    std::unique_ptr<Ui::FormGeqDraw> ui;
};
