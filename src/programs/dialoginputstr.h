#pragma once

// The program name and ID dialog: the user names a program and picks its
// number (ID 1 to 30) before the current settings are stored as that program.
// The caller presets it, runs it modally and reads accepted, name and id.

#include <QDialog>
#include <QString>

namespace Ui
{
class DialogInputStr;
}

class DialogInputStr : public QDialog
{
    Q_OBJECT
public:
    explicit DialogInputStr(QWidget *parent = nullptr);
    ~DialogInputStr() override;

    // Shows name in the edit, selected; a single blank shows an empty edit.
    void setname(const QString &name);
    // Selects ID index 0..29 (program 1..30); other values change nothing.
    void setid(int index);

    bool accepted = false; // OK was pressed
    QString name;          // the edit's text when OK was pressed
    int id = 0;            // the chosen ID index when OK was pressed

public slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_2_clicked();
    void refreshLanText();

private:
    Ui::DialogInputStr *ui;
};
