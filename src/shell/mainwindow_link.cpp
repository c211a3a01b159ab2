// Connecting to a device and the initial download, the network data link and
// its reply dispatch, the adapter chooser and the tool bar. The work is done
// by DeviceLink; the window forwards to it and shows what it reports.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "ccomctrl.h"
#include "commandframe.h"
#include "devicedata.h"
#include "devicelink.h"
#include "dialoginterface.h"
#include "formsetview.h"
#include "formtoolbutton.h"
#include "globalcontrl.h"
#include "mainapp.h"

#include <QTcpSocket>

void MainWindow::createlinkobjects()
{
    chooser = new dialoginterface(ui->mdiArea);
    link = new DeviceLink;
    link->setdialogparent(this);
    link->connectreplies(&gComCtrl);
    socket = link->socket();
    toolbar = new FormToolButton(ui->centralWidget);
    toolbar->setObjectName(QStringLiteral("formtoolbutton"));
    toolbar->setGeometry(95, 30, 470, 43);
}

void MainWindow::connectlinkobjects()
{
    connect(gMainApp, &MainApp::sendtcpdatasignals, this, &MainWindow::gettheApptcpinfo);

    connect(this, &MainWindow::sendstr, chooser, &dialoginterface::getstr);
    connect(chooser, &dialoginterface::tcpfindok, this, &MainWindow::tcpfindok);
    connect(chooser, &dialoginterface::trytofinddev, this, &MainWindow::trytofindtcpdev);
    // A search's own answers start from an empty list; what came before it
    // is kept apart, within its own bound.
    connect(chooser, &dialoginterface::searchStarted, link, &DeviceLink::startsearch);
    connect(chooser, &dialoginterface::updSearchFinishd, this, &MainWindow::checkSearchDeviceList);
    connect(chooser, &dialoginterface::send_udp_flag, this, &MainWindow::judgeudpconnect);

    connect(link, &DeviceLink::onlinestatechanged, this, &MainWindow::refreshonlinestate);
    connect(link, &DeviceLink::statustext, ui->comshow, &QLabel::setText);
    connect(link, &DeviceLink::devicelooks, this, [this](const QString &sheet, const QString &ipshow) {
        ui->ipshow->setText(ipshow);
        applystylesheet(sheet);
    });
    connect(link, &DeviceLink::startguirequested, this, &MainWindow::startgui);
    connect(link, &DeviceLink::buttonview, this, &MainWindow::setButtonView);
    connect(link, &DeviceLink::autofound, this, &MainWindow::addautofind);
    connect(link, &DeviceLink::tcpfindok, this, &MainWindow::tcpfindok);
    connect(link, &DeviceLink::updatesetview, this, &MainWindow::updatesetview);
    connect(link, &DeviceLink::updatemainlock, this, &MainWindow::updatemainlock);
    connect(link, &DeviceLink::updategainlock, this, &MainWindow::updategainlock);
    connect(link, &DeviceLink::updatedelaylock, this, &MainWindow::updatedelaylock);
    connect(link, &DeviceLink::updategeqlock, this, &MainWindow::updategeqlock);
    connect(link, &DeviceLink::updatepeqlock, this, &MainWindow::updatepeqlock);
    connect(link, &DeviceLink::updatelimitlock, this, &MainWindow::updatelimitlock);
    connect(link, &DeviceLink::updatemainview, this, &MainWindow::updatemainview);
    connect(link, &DeviceLink::updategainview, this, &MainWindow::updategainview);
    connect(link, &DeviceLink::updatedelayview, this, &MainWindow::updatedelayview);
    connect(link, &DeviceLink::updategeqview, this, &MainWindow::updategeqview);
    connect(link, &DeviceLink::updatepeqview, this, &MainWindow::updatepeqview);
    connect(link, &DeviceLink::updatelimitview, this, &MainWindow::updatelimitview);
    connect(link, &DeviceLink::updatelimitview2, this, &MainWindow::updatelimitview2);
}

void MainWindow::connecttoolbar()
{
    connect(toolbar, &FormToolButton::connectcom, this, &MainWindow::connectdevice);
    connect(toolbar, &FormToolButton::updataallviews, this, &MainWindow::startgui);
    connect(toolbar, &FormToolButton::sChangeButtonview, this, &MainWindow::setButtonView);
    if (gFormSetView)
        connect(toolbar, &FormToolButton::refprogram, gFormSetView, &FormSetView::on_btn_ref1_clicked);
}

void MainWindow::destroylinkobjects()
{
    delete chooser;
    chooser = nullptr;
    delete link; // with the socket
    link = nullptr;
    socket = nullptr;
}

// ---------------------------------------------------------------------------
// The network data link

void MainWindow::tcpconnect()
{
    link->tcpconnect();
}

void MainWindow::tcpdisconnect()
{
    link->tcpdisconnect();
    update();
}

void MainWindow::sendtcpcmd(uchar type, uchar addr, uchar command, const QString &payload)
{
    link->sendtcpcmd(type, addr, command, payload);
}

void MainWindow::readtcpdata()
{
    link->readtcpdata();
}

void MainWindow::dealwithtcpframe(const QString &frame, const QHostAddress &sender)
{
    link->dealwithtcpframe(frame, sender);
}

void MainWindow::gettheApptcpinfo(uchar type, uchar addr, uchar command, QString payload)
{
    link->gettheApptcpinfo(type, addr, command, payload);
}

void MainWindow::trytofindtcpdev(QStringList words, QHostAddress sender)
{
    link->trytofindtcpdev(words, sender);
}

void MainWindow::checkSearchDeviceList()
{
    // Answers arriving while the addresses are probed are read once the
    // probe is over and probed when the next search ends.
    chooser->holdreading(true);
    link->checkSearchDeviceList();
    chooser->holdreading(false);
}

void MainWindow::chooseinterface()
{
    emit sendstr();
    waitms(500);
    chooser->show();
}

// ---------------------------------------------------------------------------
// Connecting and the download

void MainWindow::connectdevice()
{
    // No connect while the device search runs its waits.
    if (gConnectBusy)
        return;
    // The program page's names, read before the link dropped (a disconnect
    // forgets them): the processor may have changed them since.
    DeviceData *d = gMainApp->getcurdevice();
    const bool hadnames = d && d->namesloaded != 0;
    link->connectdevice();
    if (hadnames && gFormSetView && gMainApp->getcurdevice() == d && d->namesloaded != 0 &&
        (d->getcomconnected() || d->gettcpconnected())) {
        d->namesloaded = 0;
        gFormSetView->on_btn_ref1_clicked();
    }
}

void MainWindow::connectok(QString data)
{
    link->connectok(data);
}

void MainWindow::loaddevicedata()
{
    link->loaddevicedata();
}

void MainWindow::startgui()
{
    // Before a slot was chosen there is no slot address: the current record
    // is refreshed as it is.
    const bool hasslot = bntnum >= 0 && bntnum < kSlots;
    link->startgui(hasslot, hasslot ? addr_list[bntnum] : QHostAddress());
}

void MainWindow::loadpages()
{
    link->loadpages();
}

void MainWindow::getbntnum(int k)
{
    bntnum = k;
    startgui();
}

void MainWindow::refreshonlinestate()
{
    toolbar->updateconnectbtn();
    if (clearing) {
        showstartstatus();
        return;
    }
    const DeviceData *d = gMainApp->getcurdevice();
    ui->comshow->setText(DeviceLink::onlinetext(d, gGlobalContrl ? gGlobalContrl->getlanguage() : 0));
    ui->btnonlinetype->setStyleSheet(DeviceLink::onlinestyle(d));
    update();
}

// ---------------------------------------------------------------------------
// Reply slots

void MainWindow::readprogramname(QString data)
{
    link->readprogramname(data);
}

void MainWindow::loadcurprogramdata(QString data)
{
    link->loadcurprogramdata(data);
}

void MainWindow::loadcurprogramisready()
{
    link->loadcurprogramisready();
}

void MainWindow::loadcurprogram1to25isokflag()
{
    link->loadcurprogram1to25isokflag();
}

void MainWindow::loadwritecurprogram1to25isokflag()
{
    link->loadwritecurprogram1to25isokflag();
}

void MainWindow::loadcopy()
{
    link->loadcopy();
}

void MainWindow::loadname()
{
    link->loadname();
}

void MainWindow::getgainisok()
{
    link->getgainisok();
}

void MainWindow::writeok(QString data)
{
    link->writeok(data);
}

void MainWindow::muterevok(QString data)
{
    link->muterevok(data);
}

void MainWindow::lockreturn(bool locked)
{
    link->lockreturn(locked);
}

void MainWindow::logreturn()
{
    link->logreturn();
}
