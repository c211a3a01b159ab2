#include "dialoginputstr.h"

#include "globalcontrl.h"
#include "ui_dialoginputstr.h"

#include <QFontMetrics>
#include <QRegularExpressionValidator>

namespace
{
QString pick(const char *english, const char *chinese)
{
    return gGlobalContrl && gGlobalContrl->getlanguage() != 0 ? QString::fromUtf8(chinese)
                                                              : QString::fromUtf8(english);
}
} // namespace

DialogInputStr::DialogInputStr(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogInputStr)
{
    ui->setupUi(this);
    // The processor keeps a name as 20 Latin-1 bytes: other characters could
    // not be stored and would come back as '?'.
    ui->EditNewName->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{20}-\\x{7E}\\x{A0}-\\x{FF}]{0,20}")), ui->EditNewName));
    ui->EditNewName->setText(QString());
    ui->cbxnewid->setCurrentIndex(0);
    // Return stores and Escape cancels: OK stays the default button while a
    // field has the focus, and the dialog opens with the keys in the name.
    ui->pushButton_ok->setDefault(true);
    setTabOrder(ui->cbxnewid, ui->EditNewName);
    setTabOrder(ui->EditNewName, ui->pushButton_ok);
    setTabOrder(ui->pushButton_ok, ui->pushButton_cancel_2);
    ui->EditNewName->setFocus();
    refreshLanText();
}

DialogInputStr::~DialogInputStr()
{
    delete ui;
}

void DialogInputStr::setname(const QString &text)
{
    ui->EditNewName->setText(text == QLatin1String(" ") ? QString() : text);
    // Selected, so that what the user types replaces the proposal.
    ui->EditNewName->selectAll();
}

void DialogInputStr::setid(int index)
{
    if (index >= 0 && index < ui->cbxnewid->count())
        ui->cbxnewid->setCurrentIndex(index);
}

void DialogInputStr::on_pushButton_ok_clicked()
{
    name = ui->EditNewName->text();
    id = ui->cbxnewid->currentIndex();
    accepted = true;
    close();
}

void DialogInputStr::on_pushButton_cancel_2_clicked()
{
    accepted = false;
    close();
}

void DialogInputStr::refreshLanText()
{
    ui->pushButton_cancel_2->setText(pick("Cancel", "取消"));
    ui->pushButton_ok->setText(pick("OK", "确定"));
    ui->label_19->setText(pick("New ID:", "新的ID"));
    ui->label_18->setText(pick("Program New Name:", "新的程式名称:"));
    // The ID caption is narrow: a wider font is drawn smaller, not cut off.
    QFont font = ui->label_19->font();
    while (QFontMetrics(font).horizontalAdvance(ui->label_19->text()) > ui->label_19->width() &&
           font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    ui->label_19->setFont(font);
}
