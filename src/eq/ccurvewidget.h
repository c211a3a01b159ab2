#pragma once

// The interactive response plot of the EQ page: the summed magnitude response
// of the channel shown (seven bands and, on outputs, the crossover) and nine
// draggable markers, one per band ("1".."7") and, on outputs, the high-pass
// ("H") and low-pass ("L") corners. Pressing a marker selects it and shows its
// values; dragging reports the new frequency index and pixel row through
// signals. The widget edits nothing: its owners store the values and call
// loadpoints() / updatepoint() to put the markers on the stored values.
//
// Pixels: x = CurveMath::freqtox(Hz) (10 Hz at 0, 21.9 kHz at 800),
// y = 75 - 5 x dB (+15 dB at 0, 0 dB at 75, -30 dB at 225).

#include "choverpoint.h"
#include "curvemath.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPainter;

class CCurveWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBands = 7;
    // updatepoint() indices of the crossover markers.
    static constexpr int kLowPassPoint = 9;
    static constexpr int kHighPassPoint = 10;

    explicit CCurveWidget(QWidget *parent = nullptr);
    ~CCurveWidget() override;

    // Places every marker from the current data, deactivates them, repaints.
    void loadpoints();
    // Re-places one marker (band 0..6, 9 "L", 10 "H") from the current data
    // and makes it the active one; any other n does nothing.
    void updatepoint(int n);
    // Makes p the only active point, on top of the others.
    void raisepoint(CHoverPoint *p);
    // Draws the response with the painter's pen (done on every paint).
    void drawcurve(QPainter *painter);

    // Read access for the owners and tests.
    const CHoverPoint &bandpoint(int b) const { return bandpoints[qBound(0, b, kBands - 1)]; }
    const CHoverPoint &highpoint() const { return hpoint; }
    const CHoverPoint &lowpoint() const { return lpoint; }
    const CHoverPoint *toppoint() const { return pointlist.isEmpty() ? nullptr : pointlist.first(); }
    int currentband() const { return curband; }
    int draggedy() const { return dragy; }
    bool bypassshown() const;
    // Where the active point's value read-out is drawn for a text of that size.
    QRect readoutbox(const CHoverPoint &p, const QSize &text) const;

signals:
    void hoverActived(CHoverPoint *point);
    void hoverMoved(CHoverPoint *point);
    // which 0: the "L" point, 1: the "H" point; index 0..398.
    void btnscutchangevalue(int which, int index);
    // band 0..6, index 0..398, y 0..225.
    void btnschangevalue(int band, int index, int y);
    void btnschanged(int band);

private slots:
    void hoverPointActived(CHoverPoint *point);
    void hoverPointMoved(CHoverPoint *point);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applyvisibility();
    int bandof(const CHoverPoint *p) const;
    void setvaluetext(CHoverPoint *p);
    QPoint bandposition(int b) const;
    void paintreadout(QPainter *painter);

    CHoverPoint bandpoints[kBands];
    CHoverPoint hpoint;
    CHoverPoint lpoint;
    CurveMath curvemath;
    int xlimits[6] = {};
    int dragy = 75;
    QList<CHoverPoint *> pointlist;
    CHoverPoint *dragpoint = nullptr;
    int curband = -1;
    QLabel *labelbypass = nullptr;
};
