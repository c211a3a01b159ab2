#include "formtoolbutton.h"
#include "ui_formtoolbutton.h"

#include "devicedata.h"
#include "devicelink.h"
#include "dialogcopy.h"
#include "dialogdevicelock.h"
#include "dialoglink.h"
#include "globalcontrl.h"
#include "longexchange.h"
#include "mainapp.h"
#include "programfile.h"
#include "programimage.h"
#include "prompts.h"
#include "replywait.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace
{

DeviceData *current()
{
    return gMainApp->getcurdevice();
}

// The open dialog lists program files whatever the letter case of their
// extension (a file saved on another system may carry ".k91").
QString openfilter(int devicetype)
{
    const QString suffix = programfilesuffix(devicetype);
    if (suffix.isEmpty())
        return QString();
    return QStringLiteral("Program File (*%1 *%2)").arg(suffix, suffix.toLower());
}

} // namespace

FormToolButton::FormToolButton(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormToolButton)
{
    ui->setupUi(this);
    for (QPushButton *b : {ui->btnHelp, ui->btnOpen, ui->btnSet, ui->btnSave, ui->btnLock, ui->btnDownload,
                           ui->btnExcel, ui->Save_Button, ui->Down_Button})
        b->setText(QString());
    refreshLanText();
    ui->btnHelp->hide();
    ui->btnDownload->show();
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &FormToolButton::Time_Out);
    timeoutflag = false;
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormToolButton::refreshLanText);
}

FormToolButton::~FormToolButton()
{
    delete ui;
}

QString FormToolButton::text(const char *english, const char *chinese) const
{
    const int language = gGlobalContrl ? gGlobalContrl->getlanguage() : 0;
    return language == 0 ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

void FormToolButton::refreshLanText()
{
    ui->btnHelp->setToolTip(text("Set Connect Type", "设置连接方式"));
    ui->btnOpen->setToolTip(text("Main View", "主界面"));
    ui->btnSet->setToolTip(text("Setting View", "设置界面"));
    ui->btnSave->setToolTip(text("Set Copy", "通道复制"));
    ui->btnLock->setToolTip(text("Set Lock Info", "设置锁定"));
    ui->btnDownload->setToolTip(text("Set Link", "通道联调"));
    ui->btnExcel->setToolTip(text("Connect Device", "连接设备"));
    ui->Save_Button->setToolTip(text("Save File", "保存文件"));
    ui->Down_Button->setToolTip(text("Open File", "打开文件"));
    // The connect button's tip names what a click does now.
    if (connected())
        updateconnectbtn();
}

// The waits of a running exchange (a connect with its download, the program
// page's operations) take the clicks of the tool bar: a dialog opened there
// would run inside that exchange, holding it up while it stays open, and its
// own exchange could not start ("Failed" for a processor that was never
// asked). Its button starts nothing then, as the program page's buttons.
bool FormToolButton::exchangeruns()
{
    return gConnectBusy != 0;
}

bool FormToolButton::connected() const
{
    const DeviceData *d = current();
    return d->getcomconnected() || d->gettcpconnected();
}

void FormToolButton::updateconnectbtn()
{
    if (!connected()) {
        ui->btnExcel->setStyleSheet(
            QStringLiteral("QPushButton{background-image:url(:/buttons/skin/excel1.png);}QPushButton:hover { "
                           "background-image:url(:/back/skin/excel1-0.png);}"));
        ui->btnExcel->setToolTip(text("Connect  Device", "连接设备"));
    } else {
        ui->btnExcel->setStyleSheet(
            QStringLiteral("QPushButton{background-image:url(:/buttons/skin/excel2.png);}QPushButton:hover { "
                           "background-image:url(:/back/skin/excel2-0.png);}"));
        ui->btnExcel->setToolTip(text("Disonnect Device", "断开设备"));
    }
    update();
}

void FormToolButton::on_btnOpen_clicked()
{
    emit sChangeButtonview(0);
    gMainApp->showmainview();
}

void FormToolButton::on_btnHelp_clicked()
{
    gMainApp->showcominfo();
}

void FormToolButton::on_btnSet_clicked()
{
    emit sChangeButtonview(6);
    if (connected())
        emit refprogram();
    gMainApp->showsetview();
}

void FormToolButton::on_btnExcel_clicked()
{
    emit connectcom();
}

void FormToolButton::on_btnDownload_clicked()
{
    if (exchangeruns() || !connected() || current()->getlocktype() != 0)
        return;
    DialogLink dialog(this);
    connect(&dialog, &DialogLink::updataallviews, this, &FormToolButton::updataallviews);
    dialog.loadlinkmasks(uchar(current()->gettype()));
    dialog.exec();
    dialog.close();
}

void FormToolButton::on_btnSave_clicked()
{
    if (exchangeruns() || !connected() || current()->getlocktype() != 0)
        return;
    DialogCopy dialog(this);
    connect(&dialog, &DialogCopy::updataallviews, this, &FormToolButton::updataallviews);
    dialog.initcopy(uchar(current()->gettype()));
    dialog.exec();
    dialog.close();
}

void FormToolButton::on_btnLock_clicked()
{
    if (exchangeruns() || !connected())
        return;
    DialogDeviceLock dialog(this);
    dialog.loadlockstate();
    dialog.exec();
    dialog.close();
}

void FormToolButton::Time_Out()
{
    timeoutflag = true;
    timer->stop();
}

void FormToolButton::on_Save_Button_clicked()
{
    // The save packs the current device's parameters while its progress
    // keeps handling events: no exchange may change or switch the device
    // meanwhile, and none starts while one runs.
    LongExchange exchange;
    if (!exchange.acquired())
        return;
    if (!gMainApp->getslotused(0)) {
        Prompts::warning(this, text("Save File", "保存文件"),
                         text("please select type first", "请先选择设备类型"));
        return;
    }
    const int type = gMainApp->getdevtype();
    QString name = Prompts::saveFileName(this, text("Save Program Collection File", "保存程序文件"),
                                         QString(), programfilefilter(type));
    if (name.isEmpty())
        return;
    name = withsuffix(name, programfilesuffix(type));

    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    for (int i = 0; i < 30; ++i)
        MainApp::delayms(80);
    // The program-file writer packs the current parameters and writes the
    // image beside the old file, replacing it only once every byte is on
    // disk: a failed save leaves the old file as it was.
    QString reason;
    const ProgramFileStatus status = saveprogramfile(name, *current(), nullptr, &reason);
    // A failure is told at once; a save that worked finishes its progress.
    for (int i = 30; i < 100 && status == ProgramFileStatus::Ok; ++i)
        MainApp::delayms(80);
    QApplication::restoreOverrideCursor();
    if (status != ProgramFileStatus::Ok) {
        const bool english = !gGlobalContrl || gGlobalContrl->getlanguage() == 0;
        Prompts::warning(this, text("Write File", "写文件"),
                         english ? QStringLiteral("Cannot write file %1: %2.").arg(name, reason)
                                 : QString::fromUtf8("无法写入文件"));
    }
}

bool FormToolButton::transferstopped() const
{
    if (gGlobalContrl && gGlobalContrl->getclosing())
        return true;
    return !connected();
}

template <typename Send, typename Done> bool FormToolButton::sendacknowledged(Send send, Done done)
{
    for (int attempt = 0; attempt < kSendAttempts; ++attempt) {
        if (transferstopped())
            return false;
        timeoutflag = false;
        send();
        MainApp::delayms(150);
        timer->start(MainApp::scaled(kReplyTimeoutMs));
        while (!done()) {
            if (transferstopped()) {
                timer->stop();
                return false;
            }
            MainApp::delayms(350);
            if (timeoutflag)
                break;
        }
        timer->stop();
        if (done())
            return true;
    }
    return false;
}

void FormToolButton::transferfailed()
{
    QApplication::restoreOverrideCursor();
    Prompts::critical(this, text("Download Program Failed ", "下载程序失败 "),
                      text("Please Try Again", "请重试"));
}

void FormToolButton::on_Down_Button_clicked()
{
    // One exchange with the processor at a time.
    LongExchange exchange;
    if (!exchange.acquired())
        return;
    if (!gMainApp->getslotused(0)) {
        Prompts::warning(this, text("Read File", "读取文件"),
                         text("please select type first", "请先选择设备类型"));
        return;
    }
    // The file goes to the processor: with none connected this is said at
    // once, before a file is chosen, read or anything sent.
    if (!connected()) {
        Prompts::warning(this, text("Read File", "读取文件"), text("Please Connect First", "请先连接设备"));
        return;
    }
    const QString name =
        Prompts::openFileName(this, QString(), QString(), openfilter(gMainApp->getdevtype()));
    if (name.isEmpty())
        return;
    // The program-file reader refuses anything but a regular file before
    // opening it (a FIFO would block here for good), and a file that is not
    // exactly one image.
    QByteArray image;
    QString reason;
    const ProgramFileStatus status = readprogramfile(name, image, nullptr, &reason);
    if (status == ProgramFileStatus::WrongSize) {
        Prompts::critical(this, text("Download Program Failed ", "下载程序失败 "),
                          text("Please Try Again", "请重试"));
        return;
    }
    if (status != ProgramFileStatus::Ok) {
        Prompts::warning(this, text("Read File", "读取文件"),
                         text("Cannot read file %1: %2.", "无法读取文件 %1: %2.").arg(name, reason));
        return;
    }
    // Fields out of their ranges: refused before the model or the processor
    // takes anything.
    ImageFieldFault fault;
    if (!checkprogramimage(image, &fault)) {
        Prompts::critical(this, text("Load File Error ", "载入文件错误"),
                          damagedimagemessage(fault, gGlobalContrl && gGlobalContrl->getlanguage() != 0));
        return;
    }
    DeviceData *d = current();
    for (int k = 0; k < kProgramImageSize; ++k)
        d->setcurimagebyte(k, quint8(image.at(k)));
    d->unpackprogram();

    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    // Five seconds before the transfer, as the processor needs them; the
    // window keeps painting and replies are still taken, clicks wait.
    MainApp::delayms(5000, true);
    emit updataallviews();
    QCoreApplication::processEvents();
    current()->stagecurimage();
    MainApp::delayms(50);
    current()->clearwriteacks();

    for (int k = 0; k < kPacketCount; ++k) {
        const bool acked = sendacknowledged(
            [k]() {
                current()->setwrite1to25ok(0);
                gMainApp->sendwriteprogrampart(0, k);
            },
            // Only the acknowledgement of this very part (and every one before
            // it) counts; a stray reply for another part does not.
            [k]() { return current()->getwrite1to25ok() && current()->countwriteacks() > k; });
        if (!acked) {
            transferfailed();
            return;
        }
    }
    for (int i = 0; i < 5; ++i)
        MainApp::delayms(100);
    if (!current()->allwriteacked()) {
        transferfailed();
        return;
    }
    // Only the recall's own reply (0x62, which carries nothing else to
    // match) ends the wait: the ready flag that other replies set as well
    // would report a recall that did not happen.
    ReplyWait recall(uchar(gMainApp->getdevtype()), uchar(gMainApp->getdevaddr()), 0x62);
    const bool recalled = sendacknowledged(
        [&recall]() {
            recall.rearm();
            gMainApp->sendrecallprogram(0);
        },
        [&recall]() { return recall.arrived(); });
    if (!recalled) {
        transferfailed();
        return;
    }
    MainApp::delayms(500);
    QApplication::restoreOverrideCursor();
}
