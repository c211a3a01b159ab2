#pragma once

// The device lock dialog: locks the processor with a password and one of four
// lock kinds, or unlocks it. The processor keeps and checks the password; the
// dialog only learns whether it took the request, and the connect request
// sent afterwards brings its lock state to every page.

#include <QDialog>

namespace Ui
{
class DialogDeviceLock;
}

class DialogDeviceLock : public QDialog
{
    Q_OBJECT
public:
    // Lock kinds 1..4 go out as mode 0x81..0x84; an unlock as 0x00.
    static constexpr int kLockModeBase = 0x80;
    static constexpr int kUnlockMode = 0x00;
    static constexpr int kLockPolls = 56;
    static constexpr int kUnlockPolls = 16;

    explicit DialogDeviceLock(QWidget *parent = nullptr);
    ~DialogDeviceLock() override;

    // Sets the controls from the current device's lock state: a locked device
    // offers UnLock with its kind checked, a free one Lock with "Change Only"
    // checked.
    void loadlockstate();

    // One opening: a dialog on parent, loaded, run modally, closed and deleted.
    static void openmodal(QWidget *parent);

private slots:
    void on_pushButton_exit_3_clicked();
    void on_pushButton_unlock_clicked();
    void on_pushButton_lock_2_clicked();

private:
    int checkedkind() const;
    void settexts();
    void retrypassword();

    Ui::DialogDeviceLock *ui;
    // Set while a request runs: a second click does nothing.
    bool busy = false;
};
