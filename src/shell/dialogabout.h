#pragma once

// The about box: product title and logo of the build variant, the version and
// the revision. It has no language texts.

#include <QDialog>
#include <QString>

namespace Ui
{
class DialogAbout;
}

class DialogAbout : public QDialog
{
    Q_OBJECT
public:
    // variant: the build variant number (0..4) choosing title and logo;
    // version: the version text shown after "Version:".
    DialogAbout(QWidget *parent, int variant, const QString &version);
    ~DialogAbout() override;

private:
    Ui::DialogAbout *ui;
};

// The one about box of the run; created by start-up, deleted by the main window.
extern DialogAbout *gDialogAbout;
