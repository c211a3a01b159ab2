#include "dialogcom.h"

#include "comsettings.h"
#include "myserialport.h"
#include "ui_dialogcom.h"

#include <QDebug>

DialogCom::DialogCom(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogCom)
{
    qDebug() << "DialogCom::DialogCom";
    ui->setupUi(this);
    listcomports();
    storesettings();
    ui->baudRateComboBox->setEnabled(false);
    ui->dataBitsComboBox->setEnabled(false);
    ui->parityComboBox->setEnabled(false);
    ui->stopBitsComboBox->setEnabled(false);
}

DialogCom::~DialogCom()
{
    delete ui;
}

void DialogCom::initcom()
{
    qDebug() << "DialogCom::initcom";
    listcomports();
    storesettings();
}

// The port box lists the ports found, in the order of the port list, so that
// a position in the list is the same port in the box.
void DialogCom::listcomports()
{
    const QStringList ports = ComSettings::listports();
    gComSettings.setportlist(ports);
    const QString shown = ui->portNameComboBox->currentText();
    ui->portNameComboBox->clear();
    ui->portNameComboBox->addItems(ports);
    const int index = ports.indexOf(shown);
    if (index >= 0)
        ui->portNameComboBox->setCurrentIndex(index);
}

void DialogCom::storesettings()
{
    ui->baudRateComboBox->setCurrentIndex(ComSettings::FixedBaud);
    ui->dataBitsComboBox->setCurrentIndex(ComSettings::FixedDataBits);
    gComSettings.setsettings(ui->baudRateComboBox->currentIndex(), ui->dataBitsComboBox->currentIndex(),
                             ui->parityComboBox->currentIndex(), ui->stopBitsComboBox->currentIndex(),
                             ComSettings::FixedFlowControl, ComSettings::FixedTimeout);
}

void DialogCom::refreshcomdlg()
{
    const int index = gComSettings.getportlist().indexOf(gComSettings.getportname());
    if (index >= 0 && index < ui->portNameComboBox->count())
        ui->portNameComboBox->setCurrentIndex(index);
}

void DialogCom::on_m_btn_open_clicked()
{
    m_probe.reset(new MySerialPort);
    const QStringList ports = gComSettings.getportlist();
    for (int i = 0; i < ports.size(); ++i) {
        if (m_probe->opencom(ports.at(i))) {
            gComSettings.setportname(ports.at(i));
            if (i < ui->portNameComboBox->count())
                ui->portNameComboBox->setCurrentIndex(i);
            m_probe->closecom();
            break;
        }
    }
    m_probe.reset();
}

// "CloseCom" has nothing to close: the probe never keeps a port open.
void DialogCom::on_m_btn_close_clicked() {}

void DialogCom::on_pushButton_exit_clicked()
{
    close();
}
