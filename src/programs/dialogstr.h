#pragma once

// A name-only twin of the program name dialog: the caller runs it modally and
// reads accepted and name.

#include <QDialog>
#include <QString>

namespace Ui
{
class DialogStr;
}

class DialogStr : public QDialog
{
    Q_OBJECT
public:
    explicit DialogStr(QWidget *parent = nullptr);
    ~DialogStr() override;

    bool accepted = false;
    QString name;

public slots:
    void on_pushButton_ok1_clicked();
    void on_pushButton_cancel2_clicked();
    void refreshLanText();

private:
    Ui::DialogStr *ui;
};
