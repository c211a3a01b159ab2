#pragma once

// The project lock dialog: sets or clears the processor's project lock with a
// password and a restart count. Its own texts stay English in both languages;
// its message boxes follow the language.

#include <QDialog>

namespace Ui
{
class DialogProjectLock;
}

class DialogProjectLock : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kLockMode = 0x01;
    static constexpr int kUnlockMode = 0x00;
    static constexpr int kLockPolls = 36;
    static constexpr int kUnlockPolls = 16;

    explicit DialogProjectLock(QWidget *parent = nullptr);
    ~DialogProjectLock() override;

    // Shows the current device's project lock (UnLock offered while it is
    // set, Lock otherwise) and its restart count.
    void loadlockinfo();

    // One opening: a dialog on parent, loaded, run modally, closed and deleted.
    static void openmodal(QWidget *parent);

private slots:
    void on_pushButton_unlock_clicked();
    void on_pushButton_exit_3_clicked();
    void on_pushButton_lock_2_clicked();

private:
    // The password as hex and the restart count, or false after telling the
    // user what is wrong with them.
    bool readinputs(QString &password, int &count);
    void retrypassword();

    Ui::DialogProjectLock *ui;
    // Set while a request runs: a second click does nothing.
    bool busy = false;
};
