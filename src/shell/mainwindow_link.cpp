// Connecting to a device and the initial download, the network data link and
// its reply dispatch, and the hooks that create and connect the adapter
// chooser, the socket and the tool bar.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "mainapp.h"

#include <QTcpSocket>

int gConnectBusy = 0;

void MainWindow::createlinkobjects()
{
    socket = new QTcpSocket();
    // Stands in the tool bar's place until the tool bar exists.
    auto *bar = new QWidget(ui->centralWidget);
    bar->setObjectName(QStringLiteral("formtoolbutton"));
    bar->setGeometry(95, 30, 470, 43);
}

void MainWindow::connectlinkobjects()
{
    connect(gMainApp, SIGNAL(sendtcpdatasignals(uchar, uchar, uchar, QString)), this,
            SLOT(gettheApptcpinfo(uchar, uchar, uchar, QString)));
    connect(socket, &QTcpSocket::readyRead, this, [this] { readtcpdata(); });
}

void MainWindow::connecttoolbar() {}

void MainWindow::destroylinkobjects()
{
    delete socket;
    socket = nullptr;
}

void MainWindow::tcpconnect() {}
void MainWindow::tcpdisconnect() {}
void MainWindow::sendtcpcmd(uchar, uchar, uchar, const QString &) {}
QString MainWindow::getchecksum(const QString &) { return QString(); }
QByteArray MainWindow::hextobytes(const QString &text) { return QByteArray::fromHex(text.toLatin1()); }
void MainWindow::readtcpdata() {}
void MainWindow::dealwithtcpframe(const QString &, const QHostAddress &) {}
void MainWindow::loaddevicedata() {}
void MainWindow::refreshonlinestate() {}

void MainWindow::trytofindtcpdev(QStringList, QHostAddress) {}
void MainWindow::checkSearchDeviceList() {}
void MainWindow::startgui() {}
void MainWindow::chooseinterface() {}
void MainWindow::getbntnum(int k)
{
    bntnum = k;
    startgui();
}
void MainWindow::gettheApptcpinfo(uchar type, uchar addr, uchar command, QString payload)
{
    sendtcpcmd(type, addr, command, payload);
}
void MainWindow::readprogramname(QString) {}
void MainWindow::loadcurprogramdata(QString) {}
void MainWindow::loadcurprogramisready() {}
void MainWindow::loadcurprogram1to25isokflag() {}
void MainWindow::loadwritecurprogram1to25isokflag() {}
void MainWindow::loadcopy() {}
void MainWindow::loadname() {}
void MainWindow::getgainisok() {}
void MainWindow::writeok(QString) {}
void MainWindow::muterevok(QString) {}
void MainWindow::connectdevice() {}
void MainWindow::connectok(QString) {}
void MainWindow::lockreturn(bool) {}
void MainWindow::logreturn() {}
