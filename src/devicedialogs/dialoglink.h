#pragma once

// The channel link dialog: link groups of the inputs and of the outputs.
//
// Each matrix has one column per channel and one row per link group; the
// radio buttons of a column exclude each other, so every channel is in exactly
// one row, and the channels checked in one row form one group. "Set Link"
// sends the twelve link masks built from the matrices (command 0x54), waits
// for the processor's own acknowledgement and reads the running program back,
// so every page and the controller's link switches follow the new groups.

#include <QDialog>
#include <QVector>

class QProgressBar;
class QRadioButton;

namespace Ui
{
class DialogLink;
}

class DialogLink : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kInputs = 4;
    static constexpr int kOutputs = 8;
    static constexpr int kAckTimeoutMs = 5000;

    explicit DialogLink(QWidget *parent = nullptr);
    ~DialogLink() override;

    // Fills the dialog from the current device's link masks and shows only the
    // channels that device type (24, 22 or 20) has.
    void loadlinkmasks(uchar type);

    // The row (link group, 0-based) each channel of one kind is shown in for
    // its masks (4 or 8 of them): a channel sits in the row of the
    // lowest-numbered channel whose mask claims it, in its own row when none
    // does. Mask bits beyond the kind's channels are ignored.
    static QVector<int> rowsfrommasks(const QVector<int> &masks);
    // The masks of one kind for the rows its channels are in: each channel
    // gets the bits of every channel in its row, its own included.
    static QVector<int> masksfromrows(const QVector<int> &rows);

    // The rows checked now, per channel of the inputs / the outputs.
    QVector<int> inputrows() const;
    QVector<int> outputrows() const;
    // The 24 lower-case hex digits "Set Link" sends: inputs, then outputs.
    QString maskhex() const;

signals:
    // The processor took new link groups and the device's data was read back.
    void updataallviews();

private slots:
    void on_pushButton_close_clicked();
    void on_pushButton_link_2_clicked();

private:
    void initmatrix();
    void settexts();

    Ui::DialogLink *ui;
    // Progress of a "Set Link" run; shown only while one runs.
    QProgressBar *progress;
    QRadioButton *inmatrix[kInputs][kInputs];    // [row][column]
    QRadioButton *outmatrix[kOutputs][kOutputs]; // [row][column]
    // Set while a run goes on: a second click does nothing.
    bool busy = false;
};
