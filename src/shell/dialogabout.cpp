#include "dialogabout.h"
#include "ui_dialogabout.h"

#include <QDebug>

DialogAbout *gDialogAbout = nullptr;

DialogAbout::DialogAbout(QWidget *parent, int variant, const QString &version)
    : QDialog(parent)
    , ui(new Ui::DialogAbout)
{
    ui->setupUi(this);

    struct Brand {
        const char *title;
        const char *logo; // style sheet of the logo label, or none
    };
    static const Brand brands[] = {
        {"MR700-MR500-MR300", nullptr},
        {"Digital Loudspeaker Management", nullptr},
        {"NOVRAX", "image: url(:/logpic/marvik2.png);"},
        {"ZELK220", "image: url(:/logpic/marvik2.png);"},
        {"QUB150-QUB350", "image: url(:/logpic/coriol.png);"},
    };
    if (variant >= 0 && variant < int(sizeof brands / sizeof brands[0])) {
        const Brand &b = brands[variant];
        ui->label->setText(QString::fromLatin1(b.title));
        if (b.logo) {
            ui->label_logo->setStyleSheet(QString::fromLatin1(b.logo));
            ui->label_logo->setVisible(true);
        }
    }

    ui->label_5->setText(QStringLiteral("Version:") + version);
    ui->label_2->setText(QStringLiteral("Processor control"));
    ui->label_7->setText(QStringLiteral("rev: 2401121427"));
    ui->label_logo->setGeometry(60, 100, 160, 32);
}

DialogAbout::~DialogAbout()
{
    qDebug() << "~DialogAbout ";
    delete ui;
}
