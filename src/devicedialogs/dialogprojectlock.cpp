#include "dialogprojectlock.h"
#include "ui_dialogprojectlock.h"

#include "devicedata.h"
#include "exchange.h"
#include "lockexchange.h"
#include "mainapp.h"
#include "prompts.h"

#include <QApplication>

using lockexchange::Result;
using lockexchange::tr2;

DialogProjectLock::DialogProjectLock(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogProjectLock)
{
    ui->setupUi(this);
    // The keys go to the password first; Return in either field presses the
    // action button that loadlockinfo shows.
    ui->Editname->setFocus();
}

DialogProjectLock::~DialogProjectLock()
{
    delete ui;
}

void DialogProjectLock::loadlockinfo()
{
    const DeviceData *d = gMainApp ? gMainApp->getcurdevice() : nullptr;
    const bool locked = d && d->getprojectlock() == 1;
    ui->pushButton_unlock->setVisible(locked);
    ui->pushButton_lock_2->setVisible(!locked);
    (locked ? ui->pushButton_unlock : ui->pushButton_lock_2)->setDefault(true);
    ui->Editsetid->setText(QString::number(d ? d->getprojectword() : 0));
}

void DialogProjectLock::openmodal(QWidget *parent)
{
    DialogProjectLock dialog(parent);
    dialog.loadlockinfo();
    dialog.exec();
    dialog.close();
}

bool DialogProjectLock::readinputs(QString &password, int &count)
{
    password = lockexchange::passwordhex(ui->Editname->text());
    if (password.isNull()) {
        Prompts::critical(this, tr2("Password is empty", "密码为空"),
                          tr2("Please input password", "请输入密码"));
        return false;
    }
    // The processor keeps a 15-bit count: anything else would be sent as
    // another number than the one typed.
    count = lockexchange::restartcount(ui->Editsetid->text());
    if (count < 0) {
        Prompts::critical(this, tr2("Project Lock", "项目锁"),
                          tr2("Restart Times must be 0 to 32767", "重启次数须为0至32767"));
        return false;
    }
    return true;
}

// After a refused request the password stays, selected and with the keys:
// the next password typed replaces it instead of being added to it.
void DialogProjectLock::retrypassword()
{
    ui->Editname->setFocus();
    ui->Editname->selectAll();
}

void DialogProjectLock::on_pushButton_exit_3_clicked()
{
    close();
}

void DialogProjectLock::on_pushButton_lock_2_clicked()
{
    if (busy || !gMainApp)
        return;
    lockexchange::BusyFlag claim(busy);
    if (!claim.acquired())
        return;
    QString password;
    int count = 0;
    if (!readinputs(password, count))
        return;
    if (!Prompts::confirm(this, tr2("Project Lock", "项目锁"),
                          tr2("Do you Set Project Lock?", "你想设置项目锁吗?"), QStringLiteral("Yes"),
                          QStringLiteral("No")))
        return;
    lockexchange::State state;
    bool cursor = false;
    const Result result = lockexchange::run(
        0x12, kLockPolls,
        [&]() {
            gMainApp->sendprojectlock(kLockMode, password, count);
            QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
            cursor = true;
        },
        &state);
    if (cursor)
        QApplication::restoreOverrideCursor();
    if (result == Result::Closing) {
        close();
        return;
    }
    // The project lock the processor reports decides, whatever reply ended the wait.
    if (!state.read || state.projectlock != 1) {
        Prompts::information(this, tr2("Set Project Lock Failed", "设置项目锁失败"),
                             result == Result::LinkLost ? linedroppedtext()
                                                        : tr2("Please Try Again", "请重试"));
        retrypassword();
        return;
    }
    Prompts::information(this, tr2("Set Project Lock OK", "设置项目锁成功"),
                         tr2("Project Is Locked\nPlease Remember This Password", "项目已经上锁\n请牢记密码"));
    close();
}

void DialogProjectLock::on_pushButton_unlock_clicked()
{
    if (busy || !gMainApp)
        return;
    lockexchange::BusyFlag claim(busy);
    if (!claim.acquired())
        return;
    QString password;
    int count = 0;
    if (!readinputs(password, count))
        return;
    lockexchange::State state;
    const Result result = lockexchange::run(
        0x12, kUnlockPolls, [&]() { gMainApp->sendprojectlock(kUnlockMode, password, count); }, &state);
    if (result == Result::Closing) {
        close();
        return;
    }
    if (!state.read || state.projectlock == 1) {
        Prompts::information(this, tr2("Set Project Unlock Failed", "设置项目解锁失败"),
                             result == Result::LinkLost ? linedroppedtext()
                                                        : tr2("Please Try Again", "请重试"));
        retrypassword();
        return;
    }
    Prompts::information(
        this, tr2("Set Project Unlock OK", "设置项目解锁成功"),
        tr2("Project Is UnLocked \nYou Can Set New Password", "项目已解锁 \n你可以设置新的密码"));
    close();
}
