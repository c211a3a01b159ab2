#include "dialogstr.h"

#include "globalcontrl.h"
#include "ui_dialogstr.h"

DialogStr::DialogStr(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogStr)
{
    ui->setupUi(this);
    // Return takes the name, Escape cancels; the keys go to the name first.
    ui->pushButton_ok1->setDefault(true);
    setTabOrder(ui->lineEdit_STR, ui->pushButton_ok1);
    setTabOrder(ui->pushButton_ok1, ui->pushButton_cancel2);
    ui->lineEdit_STR->setFocus();
    refreshLanText();
}

DialogStr::~DialogStr()
{
    delete ui;
}

void DialogStr::on_pushButton_ok1_clicked()
{
    name = ui->lineEdit_STR->text();
    accepted = true;
    close();
}

void DialogStr::on_pushButton_cancel2_clicked()
{
    accepted = false;
    close();
}

void DialogStr::refreshLanText()
{
    const bool chinese = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    const QString label = chinese ? QString::fromUtf8("新的程式名称:") : QStringLiteral("Program New Name:");
    ui->label_str->setText(label);
    ui->pushButton_ok1->setText(chinese ? QString::fromUtf8("确定:") : QStringLiteral("OK"));
    ui->pushButton_cancel2->setText(chinese ? QString::fromUtf8("取消:") : QStringLiteral("Cancel"));
}
