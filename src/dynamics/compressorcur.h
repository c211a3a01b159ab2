#pragma once

// The static transfer curve of one limiter or compressor (output level over
// input level, in dB) with two handles the user drags with the left button:
// the threshold point on the 1:1 diagonal and, when the ratio is editable,
// the ratio handle on the right edge of the plot. The widget knows nothing of
// channels or devices: its owner feeds it threshold, ratio index and knee and
// takes dragged values back after each updateholdvalues().
//
// The plot square runs from x 0 to 270 and y 13 to 283 of a 283 x 283
// picture: input -40..+20 dB left to right, output -40..+20 dB bottom to top,
// 4.5 pixels a dB. The mapping functions are static so they can be checked
// without painting.

#include <QPoint>
#include <QWidget>

#include <memory>

class QImage;

namespace Ui
{
class CompressorCur;
}

class CompressorCur : public QWidget
{
    Q_OBJECT
public:
    // Plot geometry in picture pixels.
    static constexpr int kPicture = 283;
    static constexpr int kPlotRight = 270;
    static constexpr int kPlotTop = 13;
    static constexpr int kRatioCount = 10;

    explicit CompressorCur(QWidget *parent = nullptr);
    ~CompressorCur() override;

    void setmaxvalue(float db);
    void setminvalue(float db);
    void setthreshold(float db);
    void setratioindex(uchar index);
    void setratioeditable(bool on);
    float getmaxvalue() const { return maxvalue; }
    float getminvalue() const { return minvalue; }
    float getthreshold() const { return threshold; }
    uchar getratioindex() const { return ratioindex; }
    bool getratioeditable() const { return ratioeditable; }
    // Point held by the left button: -1 none, 0 threshold point, 1 ratio handle.
    int getdragpoint() const { return dragpoint; }
    void cleardragpoint() { lastdragged = -1; }

    // 1 / ratio of a ratio index (single precision); 9 and above: 128:1.
    static float slope(int ratioindex);
    // Pixel position of the threshold point for a threshold in dB.
    static QPoint thresholdpoint(float db);
    // Pixel position of the ratio handle; flat after the threshold when the
    // ratio is not editable.
    static QPoint ratiohandle(const QPoint &threshold, int ratioindex, bool editable);
    // Shared control point of the soft-knee Bezier for knee 2..6; for any
    // other knee the threshold point itself.
    static QPoint kneecontrol(const QPoint &threshold, int knee);
    // Threshold in dB for a pointer height (already kept on or below the
    // diagonal), clamped to [min, max].
    static float dragthreshold(int y, float min, float max);
    // The largest ratio whose handle lies at or above the pointer height y
    // (0 when none but the gentlest does).
    static int dragratio(const QPoint &threshold, int y);

    // Knee code 0..6 of the shown channel; written by the owner. Any other
    // value draws no curve line.
    int knee = 0;
    // Point moved by the last drag step, -1 none; read and cleared by the owner.
    signed char lastdragged = 0;

signals:
    // After every drag step while a point is held.
    void updateholdvalues();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void movedragpoint(int which, const QPoint &pos);

    signed char dragpoint = -1;
    std::unique_ptr<QImage> image;
    uchar ratioindex = 0;
    bool ratioeditable = false;
    float maxvalue = 16;
    float minvalue = -20;
    float threshold = 10;
    std::unique_ptr<Ui::CompressorCur> ui;
};
