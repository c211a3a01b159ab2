#include "dialogdevicelock.h"
#include "ui_dialogdevicelock.h"

#include "devicedata.h"
#include "exchange.h"
#include "lockexchange.h"
#include "mainapp.h"
#include "prompts.h"

#include <QApplication>
#include <QRadioButton>

using lockexchange::Result;
using lockexchange::tr2;

DialogDeviceLock::DialogDeviceLock(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogDeviceLock)
{
    ui->setupUi(this);
    // The keys go to the password first; Return there presses the action
    // button that loadlockstate shows.
    ui->Editname->setFocus();
    settexts();
}

DialogDeviceLock::~DialogDeviceLock()
{
    delete ui;
}

void DialogDeviceLock::settexts()
{
    setWindowTitle(tr2("Set Lock", "设置锁"));
    ui->pushButton_unlock->setText(tr2("UnLock", "解锁"));
    ui->pushButton_lock_2->setText(tr2("Lock", "锁定"));
    ui->pushButton_exit_3->setText(tr2("Exit", "退出"));
    ui->label_3->setText(tr2("Password:", "密码"));
    ui->groupBox_17->setTitle(tr2("Lock Type", "锁定类型"));
    ui->rbcopya->setText(tr2("Change Only", "仅更改"));
    ui->rbcopyb->setText(tr2("Change&&View", "更改&&查看"));
    ui->rbcopyc->setText(tr2("Change&&Mute", "更改&&静音"));
    ui->rbcopyd->setText(tr2("Everything", "任何事"));
}

void DialogDeviceLock::loadlockstate()
{
    const int state = gMainApp ? gMainApp->getcurdevice()->getlocktype() : 0;
    QRadioButton *const kinds[] = {ui->rbcopya, ui->rbcopyb, ui->rbcopyc, ui->rbcopyd};
    const bool locked = state >= 1 && state <= 4;
    ui->pushButton_unlock->setVisible(locked);
    ui->pushButton_lock_2->setVisible(!locked);
    (locked ? ui->pushButton_unlock : ui->pushButton_lock_2)->setDefault(true);
    // What is sent is what is shown: a free device starts at "Change Only".
    kinds[locked ? state - 1 : 0]->setChecked(true);
}

void DialogDeviceLock::openmodal(QWidget *parent)
{
    DialogDeviceLock dialog(parent);
    dialog.loadlockstate();
    dialog.exec();
    dialog.close();
}

int DialogDeviceLock::checkedkind() const
{
    if (ui->rbcopyd->isChecked())
        return 4;
    if (ui->rbcopyc->isChecked())
        return 3;
    if (ui->rbcopyb->isChecked())
        return 2;
    return 1;
}

// After a refused request the password stays, selected and with the keys:
// the next password typed replaces it instead of being added to it.
void DialogDeviceLock::retrypassword()
{
    ui->Editname->setFocus();
    ui->Editname->selectAll();
}

void DialogDeviceLock::on_pushButton_exit_3_clicked()
{
    close();
}

void DialogDeviceLock::on_pushButton_lock_2_clicked()
{
    if (busy || !gMainApp)
        return;
    lockexchange::BusyFlag claim(busy);
    if (!claim.acquired())
        return;
    const int kind = checkedkind();
    const int mode = kLockModeBase + kind;
    const QString password = lockexchange::passwordhex(ui->Editname->text());
    if (password.isNull()) {
        Prompts::critical(this, tr2("Password is empty", "密码为空"),
                          tr2("Please input password", "请输入密码"));
        return;
    }
    if (!Prompts::confirm(this, tr2("Lock", "锁定"), tr2("Do you Set Lock?", "是否设置加锁?"),
                          QStringLiteral("Yes"), QStringLiteral("No")))
        return;
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    lockexchange::State state;
    const Result result = lockexchange::run(
        0x10, kLockPolls, [&]() { gMainApp->senddevicelock(mode, password); }, &state);
    QApplication::restoreOverrideCursor();
    if (result == Result::Closing) {
        close();
        return;
    }
    // The lock kind the processor reports decides, whatever reply ended the wait.
    if (!state.read || state.locktype != kind) {
        Prompts::information(this, tr2("Set Lock Failed", "加锁失败"),
                             result == Result::LinkLost ? linedroppedtext()
                                                        : tr2("Please Try Again", "请重试"));
        retrypassword();
        return;
    }
    Prompts::information(
        this, tr2("Set Lock OK", "加锁OK"),
        tr2("This Device Is Locked\nPlease Remember This Password", "此设备已加锁\n请牢记密码"));
    close();
}

void DialogDeviceLock::on_pushButton_unlock_clicked()
{
    if (busy || !gMainApp)
        return;
    lockexchange::BusyFlag claim(busy);
    if (!claim.acquired())
        return;
    const QString password = lockexchange::passwordhex(ui->Editname->text());
    if (password.isNull()) {
        Prompts::critical(this, tr2("Password is empty", "密码为空"),
                          tr2("Please input password", "请输入密码"));
        return;
    }
    lockexchange::State state;
    const Result result = lockexchange::run(
        0x10, kUnlockPolls, [&]() { gMainApp->senddevicelock(kUnlockMode, password); }, &state);
    if (result == Result::Closing) {
        close();
        return;
    }
    // Free as the processor reports it, whatever reply ended the wait.
    if (!state.read || (state.locktype >= 1 && state.locktype <= 4)) {
        Prompts::information(this, tr2("Set Unlock Failed", "设置解锁失败"),
                             result == Result::LinkLost ? linedroppedtext()
                                                        : tr2("Please Try Again", "请重试"));
        retrypassword();
        return;
    }
    Prompts::information(
        this, tr2("Set Unlock Ok", "设置解锁OK"),
        tr2("This Device Is UnLocked \n You Can Set New Password", "此设备已解锁 \n你可以设置新的密码"));
    close();
}
