#pragma once

// The routing lines of the main control page: for every input that feeds an
// output, a line in the input's colour from the input's column on the left
// edge to the output's row on the right edge, with a filled ellipse at each
// end. Keeps no state: every paint reads the routing of the current device.

#include <QWidget>

class DeviceData;
class QPainter;

class FormDrawLines : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kInputs = 4;
    static constexpr int kOutputs = 8;

    explicit FormDrawLines(QWidget *parent = nullptr);

    // Draws every active route of the current device, IN-A's first.
    void drawlines(QPainter *painter);
    // One route of IN-A .. IN-D to output o (0..7) with the painter's pen and
    // brush; any other o draws nothing.
    void drawlinesa(QPainter *painter, int o);
    void drawlinesb(QPainter *painter, int o);
    void drawlinesc(QPainter *painter, int o);
    void drawlinesd(QPainter *painter, int o);

    // The colour of input 0..3 (IN-A .. IN-D).
    static QColor inputcolour(int input);
    // Whether input 0..3 feeds output 0..7 in the device's routing.
    static bool feeds(const DeviceData *device, int input, int o);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static void drawroute(QPainter *painter, int input, int o);
};
