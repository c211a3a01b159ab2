#pragma once

#include "programfile.h"

// The device settings page: who the current device is (type, address, link
// and lock state), the program it runs, the names of its 30 user and 10 preset
// programs, and the program operations with the device: names refresh, load
// current data, recall, store under a name and ID, delete and reset. It also
// opens the copy, link, device lock and project lock dialogs. It moves
// single programs and the 30 user programs between the device and files on
// the PC, and uploads a picture as the device's start-up logo.
//
// Every operation with the device is a bounded exchange (Exchange,
// ProgramReader): it waits for the reply to its own command, ends when the
// device stops answering, loses its link or stops being current, or the
// application closes, and says so in a box. The long ones (names refresh,
// recall, reset, save all, load all) have a Cancel button; a cancelled or
// failed operation writes no file and leaves the model as it was, except load
// all: it stops between programs, keeps in the model the programs it wrote
// and says which they are; and a recall or reset that already went out: the
// model then follows what the processor runs, or a box says it may not. A
// wait that ended because the line dropped says so in its box. While one
// runs, the page's buttons start nothing else.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class DeviceData;
class Exchange;
class QByteArray;
class QCloseEvent;
class QKeyEvent;
class QProgressDialog;
class QTimer;

namespace Ui
{
class FormSetView;
}

class FormSetView : public QWidget
{
    Q_OBJECT
public:
    explicit FormSetView(QWidget *parent = nullptr);
    ~FormSetView() override;

    // Reads program n (0 = the running data, 1..40 a stored program) into the
    // current device's receive buffer and, when all 26 parts arrived, into
    // its current image (not decoded). Call it from inside an operation.
    bool readprogram(uchar n);
    // Reads user program n (1..30) into stored slot n of the current device
    // (into *image instead when given), with a progress window of its own and
    // its Cancel button. True when all 26 parts arrived.
    bool readstoredprogram(uchar n, QByteArray *image = nullptr);
    // Bit `position` of the logo build buffer, counted from the most
    // significant bit of byte 0: 1 when value is non-zero, else 0.
    static void setlogobit(int position, int value);
    // The file name proposed for saving a program named `name` on a device
    // of `devicetype`: characters a file name cannot hold become '_'.
    static QString proposedfilename(const QString &name, int devicetype);
    // True while an operation of the page runs.
    // True while an operation of this page, or any other long exchange with
    // a processor, runs: the page's buttons then start nothing.
    bool isbusy() const;
    // The selected program: user tab row r is r + 1, preset tab row r is r + 31; 0 when none.
    int selectedprogram() const;
    // The progress window of the operations (null until first used).
    QProgressDialog *progresswindow() const { return progress.get(); }

signals:
    // Asks the main window to reload every page from the current device.
    void updataallviews();
    // Asks the main window to connect to the current (network) device.
    void sendconnect();

public slots:
    void refreshdata();
    void refreshprogram();
    void refreshsaveedprogram(int row);
    void on_btnconnect_clicked();
    void on_btn_ref_clicked();
    void on_btn_ref1_clicked();
    void on_btnloadcurdata_clicked();
    void on_btn_loadprogram_clicked();
    void on_btnloadcurdata_2_clicked();
    void on_pushButton1_clicked();
    void on_pushButton_21_clicked();
    void on_btnloadcurdata_3_clicked();
    void on_btnloadFromPc_clicked();
    void on_btndelete_clicked();
    void on_btnreset_clicked();
    void on_pushButton_31_clicked();
    void on_pushButton_41_clicked();
    void on_pushButton_51_clicked();
    void on_pushButton_61_clicked();
    void on_btnloadcurdata_4_clicked();
    void on_btnloadcurdata_5_clicked();
    void refreshLanText();
    void Time_Out();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Marks the page busy for one operation.
    class Busy;
    friend class Busy;

    DeviceData *current() const;
    bool connected() const;
    QString connecttext() const;
    void refreshbuttons();
    void fittexts();
    void cleardevinfo();
    void setupprogress(const QString &title, int value, bool nonmodal);
    void setprogress(int value);
    // Reads the names of programs first..last; once all came, each reply
    // fills its record. Returns false (and no record changes) when one never came.
    bool readnames(Exchange &x, int first, int last, const std::function<void(int)> &done = {});
    void shownamesfailure(int result);
    // Every program's name read under the progress window, then listed.
    void refreshnames();
    bool loadcurrentdata();
    // After an operation that may have changed the program the processor runs
    // and whose answer was not waited for (Cancel), or that changed it (a
    // reset): asks the processor which program it runs and reads it back
    // with the usual progress and Cancel; without `always`, not when it still
    // runs `held` (the program whose data the model holds) and that is not
    // `asked` (the program the operation put on it). The model, the pages
    // and "Program Number" then show the processor's program, or a box says
    // they may not, naming `asked` when the processor does not answer.
    // With `unanswered` the operation got no answer at all: when the
    // processor still runs `held` and not `asked`, it says the operation
    // failed.
    void followrunning(int asked, int held, bool always, bool unanswered = false);
    // The box saying the processor may run `program`, whose data could not
    // be read back after an operation that may have changed it.
    void showmayrun(DeviceData *d, int program);
    // The list's name for the program "Program Number" shows, empty when the
    // list holds none.
    static QString listname(const DeviceData *d);
    // What "Program Name" shows for the current device: the name in the
    // model's data, or the list's name (nothing when it has none) while the
    // model keeps another program's data than the one the number shows.
    QString shownname(const DeviceData *d) const;
    // After a store or delete of program n that got no answer: reads n's
    // name record again, without a box, so the list shows what the
    // processor holds. True when read (the model then has it).
    bool recheckname(Exchange &x, int n);
    void openprojectlock();
    // How a program write ended: whether every part was written (the name
    // read-back may still have failed), and the result that ended it.
    struct WriteEnd {
        bool partswritten = false;
        int result = 0; // Exchange::Result
    };
    // Writes the staged image as program n, part by part, then reads its
    // name back. True when written and named. Without `end` it shows the
    // failure box itself; with it, *end says how the write ended. The name
    // record read back goes to *namerecord when given, else to the model.
    bool writestaged(Exchange &x, int n, bool collection, QString *namerecord = nullptr,
                     WriteEnd *end = nullptr);
    bool filewritable(const QString &path, bool single);
    void showwritefailure(const QString &path, const QString &reason, bool single);
    // Shows the box for a program or collection file that could not be read;
    // false unless status is Ok.
    bool readsucceeded(ProgramFileStatus status, const QString &path, const QString &reason, bool single);
    void showreadfailure(const QString &path, const QString &reason, bool single);

    std::unique_ptr<QProgressDialog> progress;
    int keystate = 0;
    // One key of the project-lock sequence; true when it opened the dialog.
    bool feedkey(int key);
    QTimer *requesttimer = nullptr;
    bool timedout = false;
    bool busy = false;
    // After a read-back that did not come (cancelled), the model keeps the
    // data of the program before while "Program Number" shows the one the
    // processor may run: the device, the number and the name in the kept
    // data, for as long as all three stay and the device is connected.
    struct KeptData {
        const DeviceData *device = nullptr;
        int number = -1;
        QString dataname;
    } kept;
    Ui::FormSetView *ui;
};

extern FormSetView *gFormSetView;
