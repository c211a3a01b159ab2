#pragma once

// The plot of the graphic EQ display: the summed response of the 31 bands of
// the channel the page shows, with its translucent fill, a "Bypassed" label
// while the channel's graphic EQ is bypassed, and a marker at the band edited
// last. The band gains come from the controller's cache; the pass and bypass
// bits from the current device for the page's channel.

#include "choverpoint.h"
#include "curvemath.h"

#include <QWidget>

class QLabel;
class QPainter;

class FormShowDraw : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBands = 31;
    // 0 dB row and 5 pixels per dB.
    static constexpr int kZeroY = 75;
    static constexpr int kPixelsPerDb = 5;

    explicit FormShowDraw(QWidget *parent = nullptr);

    // Moves the marker to band 0..30 at the band's cached gain, shows text
    // beside it and repaints at once. Other bands change nothing.
    void showBandPoint(int band, const QString &text);

    // The curve's y for grid index 0..398 from the gains given (0 for a passed
    // band): each band's contribution truncated to whole pixels by itself.
    int curvey(int index, const double *gains);
    int bandx(int band) const { return band >= 0 && band < kBands ? m_bandx[band] : 0; }
    const CHoverPoint &marker() const { return m_marker; }
    QLabel *bypasslabel() const { return m_bypass; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawcurve(QPainter *painter);

    CurveMath m_math;
    CHoverPoint m_marker;
    int m_bandx[kBands] = {};
    double m_bandfreq[kBands] = {};
    double m_bandgain[kBands] = {};
    QLabel *m_bypass = nullptr;
};
