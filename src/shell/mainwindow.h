#pragma once

// The one top-level window of the application: the menu buttons along the top,
// the device tab bar, the tool bar, the status labels, the page buttons and
// the multi-document area that holds the eight editing pages. It wires the
// protocol engine, the controller and the pages together, fills the device
// slots (by hand, by the serial search, by the network search), connects to a
// processor and downloads its data, and carries the network data link.
//
// Everything here runs on the GUI thread.
//
// The members are implemented in two files: mainwindow.cpp (construction,
// pages, menus, wiring, language, closing, serial search and device slots) and
// mainwindow_link.cpp (connecting and the initial download, the network data
// link and its reply dispatch, the adapter chooser and the tool bar hooks).

#include "appglobals.h"
#include "longexchange.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

class QAction;
class QCloseEvent;
class QMenu;
class QTcpSocket;
class QWidget;
class FormToolButton;
class dialoginterface;
class DeviceLink;

namespace Ui
{
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kSlots = 13;
    // Argument of updateguibtns(int) for every change but a hand-made addition.
    static constexpr int kRefreshAll = 34;

    // variant: the build variant number; it chooses the File menu's entries.
    explicit MainWindow(QWidget *parent = nullptr, int variant = kDefaultVariant);
    ~MainWindow() override;

    static const int kDefaultVariant;

    // --- Read access for start-up and tests ----------------------------------
    Ui::MainWindow *form() const { return ui; }
    QMenu *filemenu() const { return menufile; }
    QMenu *devicemenu() const { return menudevice; }
    QMenu *remotemenu() const { return menuremote; }
    QMenu *helpmenu() const { return menuhelp; }
    QAction *rs232action() const { return actrs232; }
    QAction *findonlineaction() const { return actfindonline; }
    QAction *interfaceaction() const { return actinterface; }
    QAction *aboutaction() const { return actabout; }
    QAction *helpaction() const { return acthelp; }
    QAction *fileaction(int i) const { return (i >= 0 && i < 4) ? actadd[i] : nullptr; }
    QTcpSocket *tcpsocket() const { return socket; }
    dialoginterface *adapterchooser() const { return chooser; }
    FormToolButton *toolbarwidget() const { return toolbar; }
    QHostAddress slotaddress(int k) const { return (k >= 0 && k < kSlots) ? addr_list[k] : QHostAddress(); }
    int currentslot() const { return bntnum; }
    int addedcount() const { return addcount; }
    // True while a long exchange (device search, connect and download) runs.
    bool exchangerunning() const { return gConnectBusy != 0; }

    // Reads a style sheet resource whole, up to a first zero byte; empty when
    // it cannot be opened.
    static QString readstylesheet(const QString &path);
    // The style sheet resource for the language (0 English) and the link kind:
    // the serial or the network sheet, English or Chinese.
    static QString stylesheetpath(int language, bool network);
    // The sheet for the current language and the current device's link kind.
    static QString currentstylesheetpath();
    // The sheet the window's widgets follow: the window's own, or the
    // application's while the window has none.
    QString shownstylesheet() const;
    // Gives the window the sheet unless its widgets already follow the same
    // text: restyling every widget again is most of the start-up's work.
    void applystylesheet(const QString &sheet);

    // --- Network data link (mainwindow_link.cpp) ----------------------------
    void tcpconnect();
    void tcpdisconnect();
    void sendtcpcmd(uchar type, uchar addr, uchar command, const QString &payload);
    void readtcpdata();
    void dealwithtcpframe(const QString &frame, const QHostAddress &sender);

    // --- Connecting (mainwindow_link.cpp) -----------------------------------
    void loaddevicedata();
    void refreshonlinestate();

signals:
    void updatemainview(int view);
    void updategainview(int view);
    void updatedelayview(int view);
    void updategeqview(int view);
    void updatepeqview(int view);
    void updatelimitview(int view);
    void updatelimitview2(int view);
    void updateguibtns(int count);
    void updatesetview();
    void refprogram();
    void updatemainlock();
    void updategainlock();
    void updatedelaylock();
    void updategeqlock();
    void updatelimitlock();
    void updatepeqlock();
    void sendstr();

public slots:
    void refreshAllLanText();
    void refreshLanText();
    void trytofindtcpdev(QStringList words, QHostAddress sender);
    void checkSearchDeviceList();
    void setButtonView(int page);
    // Lights the page bar's button of the page shown (the document area's
    // topmost sub-window) and no other.
    void lightshownpage();
    void startgui();
    // Every page loads from the current record (start-up: before any link).
    void loadpages();
    // The connection, download and network data link of this window.
    DeviceLink *devicelink() const { return link; }
    void chooseinterface();
    void getbntnum(int k);
    void tcpfindok(uchar type, uchar addr, QHostAddress ip);
    void gettheApptcpinfo(uchar type, uchar addr, uchar command, QString payload);
    void judgeudpconnect(bool on);
    void finddevice();
    void findcomok(uchar type, uchar addr);
    void readprogramname(QString data);
    void loadcurprogramdata(QString data);
    void loadcurprogramisready();
    void loadcurprogram1to25isokflag();
    void loadwritecurprogram1to25isokflag();
    void loadcopy();
    void loadname();
    void getgainisok();
    void writeok(QString data);
    void muterevok(QString data);
    void connectdevice();
    void connectok(QString data);
    void lockreturn(bool locked);
    void logreturn();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    // The graphic EQ page button: without it nothing would open that page.
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_8_clicked();
    void set232();
    void addnewbtns();
    void addnewbtns770();
    void addnewbtns580();
    void clearalldevice();
    void addautofind(uchar type, uchar addr, QHostAddress ip);
    void setabout();
    void sethelp();
    void on_menuEdit_clicked();
    void on_menuFile_clicked();
    void on_menuHelp_clicked();
    void on_menuView_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Hand-made addition of a serial device of this type at the next free address.
    void addbyhand(uchar type, uchar &nextaddr);
    // The status text after opening a port: "COM3:OK" style.
    static QString portstatus(const QString &portname);
    void connectpages();
    // The status area as start-up leaves it: its texts, the online
    // indicator's look and the serial style sheet for the language shown.
    void showstartstatus();

    // --- Hooks of mainwindow_link.cpp, called by the constructor -------------
    // Creates the adapter chooser, the device link with its socket and the
    // tool bar in its place on the central widget.
    void createlinkobjects();
    // Connects the adapter chooser and the controller's network path.
    void connectlinkobjects();
    // Connects the tool bar.
    void connecttoolbar();
    // Deletes the adapter chooser and the socket (destructor).
    void destroylinkobjects();

    Ui::MainWindow *ui;
    QHostAddress addr_list[kSlots];
    int bntnum = -1;
    uchar nextaddr24 = 1;
    uchar nextaddr22 = 1;
    uchar nextaddr20 = 1;
    QHostAddress serialaddr;
    int addcount = 0;
    int variant;
    // The status area as the window was built (start-up changes none of it).
    QString startcomshow;
    QString startipshow;
    QString startindicator;
    // A clear of the device list runs: the status area keeps start-up's look
    // while the cleared links go down.
    bool clearing = false;

    QAction *actadd[4] = {};
    QAction *actinterface = nullptr;
    QAction *actfindonline = nullptr;
    QAction *actrs232 = nullptr;
    QAction *acthelp = nullptr;
    QAction *actabout = nullptr;
    QMenu *menufile = nullptr;
    QMenu *menudevice = nullptr;
    QMenu *menuremote = nullptr;
    QMenu *menuhelp = nullptr;

    dialoginterface *chooser = nullptr;
    QTcpSocket *socket = nullptr;
    FormToolButton *toolbar = nullptr;

    // Connecting, the download, the TCP link and the probe; it owns the socket.
    class DeviceLink *link = nullptr;
};
