#pragma once

// The channel copy dialog: has the processor copy one input's settings onto
// another input, or one output's onto another output (command 0x55), waits for
// its own acknowledgement and reads the running program back so that every
// page shows the copied values.
//
// The destination follows the source: choosing a source selects the next
// channel the device has (wrapping within them) and disables the source's own
// destination, so a copy always names two different channels of the device.

#include <QDialog>

class DeviceData;
class QRadioButton;

namespace Ui
{
class DialogCopy;
}

class DialogCopy : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kInputs = 4;
    static constexpr int kOutputs = 8;
    static constexpr int kAckTimeoutMs = 2000;

    explicit DialogCopy(QWidget *parent = nullptr);
    ~DialogCopy() override;

    // Offers only the inputs and outputs that device type (24, 22 or 20) has.
    void initcopy(uchar type);

    // Channel codes of the selection: 0x00..0x03 for In A..In D, 0x10..0x17
    // for Out1..Out8 (In A / Out1 when nothing is selected).
    int inputsource() const;
    int inputdestination() const;
    int outputsource() const;
    int outputdestination() const;

    // Whether a program image shows channel to (0..11) as a copy of channel
    // from (of the same kind): every record a copy covers is equal.
    static bool copied(const QByteArray &image, int from, int to);

signals:
    // A copy succeeded and the device's data was read back.
    void updataallviews();

public slots:
    // Source input 1..4 / output 1..8: the destination set follows it. Other
    // numbers change nothing.
    void updatecopyradiobtns(int n);
    void updatecopyradiooutbtns(int n);

private slots:
    void on_inputcopy_clicked();
    void on_inputcopy_2_clicked();
    void on_rbcopya_clicked();
    void on_rbcopyb_clicked();
    void on_rbcopyc_clicked();
    void on_rbcopyd_clicked();
    void on_rbcopyout1_clicked();
    void on_rbcopyout2_clicked();
    void on_rbcopyout3_clicked();
    void on_rbcopyout4_clicked();
    void on_rbcopyout5_clicked();
    void on_rbcopyout6_clicked();
    void on_rbcopyout7_clicked();
    void on_rbcopyout8_clicked();
    void on_pushButton_copy_clicked();

private:
    void settexts();
    void sourceclicked(bool output, int n);
    void copy(bool output);
    // Output from's 31 graphic-EQ bands onto output to (0..7), in d's model.
    static void copyoutputgeq(DeviceData *d, int from, int to);
    static int selected(QRadioButton *const *set, int count);
    // Channel code (0x00..0x03, 0x10..0x17) to the channel index 0..11.
    static int channelindex(int code);

    Ui::DialogCopy *ui;
    QRadioButton *insource[kInputs];
    QRadioButton *indest[kInputs];
    QRadioButton *outsource[kOutputs];
    QRadioButton *outdest[kOutputs];
    // Channels of each kind the device has.
    int inputs = kInputs;
    int outputs = kOutputs;
    // Set while a copy runs: a second click does nothing.
    bool busy = false;
};
