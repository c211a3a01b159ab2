// Construction, pages, menus, signal wiring, the language switch, closing and
// destruction of the main window; the serial device search and the device
// slots.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "ccomctrl.h"
#include "devicedata.h"
#include "devicelink.h"
#include "dialogabout.h"
#include "dialogcom.h"
#include "formchtool.h"
#include "formdelay.h"
#include "formeq.h"
#include "formgain.h"
#include "formgeq.h"
#include "formlimit.h"
#include "formlimit2.h"
#include "formmainview.h"
#include "formsetview.h"
#include "formtoolbutton.h"
#include "globalcontrl.h"
#include "longexchange.h"
#include "mainapp.h"
#include "menurow.h"
#include "panelwindow.h"
#include "prompts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QUrl>

#include <initializer_list>

#ifndef DSP_BUILD_VARIANT
#define DSP_BUILD_VARIANT 4
#endif

const int MainWindow::kDefaultVariant = DSP_BUILD_VARIANT;

namespace
{
QString zh(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

bool chinese()
{
    return gGlobalContrl && gGlobalContrl->getlanguage() != 0;
}

// Status texts that the language switch converts in both directions.
const char *const kOnlineZh = "联机中...";
const char *const kDisconnectZh = "未连接";

// Every other status text the application writes, with its twin: a switch
// rewrites whichever of the two is shown.
struct StatusTwin {
    const char *en;
    const char *zh;
};
const StatusTwin kStatusTwins[] = {
    {"DisConnect", "断开连接"},   {"Com Online", "串口在线"},      {"Net Online", "网络在线"},
    {"find for Net", "网络查找"}, {"Net disconnect", "网络断开"}, {"Can't Open", "无法打开"},
    {"Load Data...", "正在加载数据..."},
};

// Upper bound for letting the disconnect frames leave before the port closes.
constexpr int kDisconnectDrainMs = 200;
} // namespace

MainWindow::MainWindow(QWidget *parent, int variant)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , serialaddr(QStringLiteral("0.0.0.0"))
    , variant(variant)
{
    for (QHostAddress &a : addr_list)
        a = serialaddr;
    ui->setupUi(this);
    startcomshow = ui->comshow->text();
    startipshow = ui->ipshow->text();
    startindicator = ui->btnonlinetype->styleSheet();
    // Where the screen has no room beside the window, a page's panel may
    // lie over a page button rather than over a value edited on the page:
    // the button only leads to another page.
    for (QWidget *b : std::initializer_list<QWidget *>{ui->pushButton, ui->pushButton_2, ui->pushButton_3,
                                                       ui->pushButton_4, ui->pushButton_5, ui->pushButton_6,
                                                       ui->pushButton_7, ui->pushButton_8})
        maycover(b);

    // Replies of the protocol engine reach the link's handlers (the window's
    // reply slots forward to the same handlers); the serial find reply is the
    // window's own.
    connect(&gComCtrl, &CComCtrl::findok, this, &MainWindow::findcomok);
    connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &MainWindow::refreshLanText);

    createlinkobjects();
    bntnum = -1;

    // The application ends when its last window closes, even when that
    // happens inside an operation's wait (Qt's own quit may then be held
    // back): the quit comes as a queued call and ends every wait.
    connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    connect(ui->menuLanguage, &QPushButton::pressed, this, &MainWindow::refreshAllLanText);

    // File menu: the hand-made additions this build offers, then clearing.
    actadd[0] = new QAction(tr("Add New 4IN8OUT"), this);
    actadd[1] = new QAction(tr("Add New 3IN6OUT"), this);
    actadd[2] = new QAction(tr("Add New 2IN4OUT"), this);
    actadd[3] = new QAction(tr("Clear All Device"), this);
    menufile = new QMenu();
    const unsigned v = unsigned(variant);
    if (v <= 1) {
        menufile->addAction(actadd[0]);
        menufile->addAction(actadd[1]);
        menufile->addAction(actadd[2]);
    } else if (v == 4) {
        menufile->addAction(actadd[0]);
        menufile->addAction(actadd[2]);
    } else {
        menufile->addAction(actadd[1]);
    }
    menufile->addAction(actadd[3]);
    ui->menuFile->setMenu(menufile);
    actinterface = new QAction();
    actinterface->setObjectName(QStringLiteral("actionInterface"));
    actinterface->setCheckable(false);
    actinterface->setText(tr("Choose Interface"));
    connect(actadd[0], &QAction::triggered, this, &MainWindow::addnewbtns);
    connect(actadd[1], &QAction::triggered, this, &MainWindow::addnewbtns770);
    connect(actadd[2], &QAction::triggered, this, &MainWindow::addnewbtns580);
    connect(actadd[3], &QAction::triggered, this, &MainWindow::clearalldevice);

    menudevice = new QMenu();
    actfindonline = new QAction(tr("Find Online"), this);
    menudevice->addAction(actfindonline);
    ui->menuView->setMenu(menudevice);
    connect(actfindonline, &QAction::triggered, this, &MainWindow::finddevice);

    menuremote = new QMenu();
    actrs232 = new QAction(QStringLiteral("RS232"), this);
    menuremote->addAction(actinterface);
    menuremote->addAction(actrs232);
    ui->menuEdit->setMenu(menuremote);
    connect(actrs232, &QAction::triggered, this, &MainWindow::set232);
    actrs232->setCheckable(true);

    menuhelp = new QMenu();
    acthelp = new QAction(tr("Help"), this);
    actabout = new QAction(tr("About"), this);
    menuhelp->addAction(actabout);
    ui->menuHelp->setMenu(menuhelp);
    connect(actabout, &QAction::triggered, this, &MainWindow::setabout);
    connect(acthelp, &QAction::triggered, this, &MainWindow::sethelp);
    connect(actinterface, &QAction::triggered, this, &MainWindow::chooseinterface);
    // The row looks idle again after a menu, and after what its entry ran.
    menurow::keepidle({ui->menuFile, ui->menuView, ui->menuEdit, ui->menuHelp, ui->menuLanguage});

    connectlinkobjects();
    connect(this, &MainWindow::updateguibtns, ui->formchtool, &FormChTool::refreshguibtns);
    connect(ui->formchtool, &FormChTool::startgui, this, &MainWindow::startgui);
    connect(ui->formchtool, &FormChTool::sendbntnum, this, &MainWindow::getbntnum);

    // The pages live in the document area for the whole run. Each page is
    // built inside a sub-window already in the area: moving a built page to
    // another parent would restyle every widget of it, and with them decode
    // every skin of a page nobody has opened yet. The empty sub-window is
    // polished at once, so that showing the main window does not polish the
    // page inside it: the page is polished (and its skins decoded) when it
    // is first shown. The programs page is polished with the window: it fits
    // its captions to the fonts of the polished page.
    QMdiSubWindow *sub = nullptr;
    auto newsub = [this, &sub](bool polishwhenshown = true) {
        sub = new QMdiSubWindow;
        sub->setAttribute(Qt::WA_DeleteOnClose);
        ui->mdiArea->addSubWindow(sub);
        if (polishwhenshown)
            sub->ensurePolished();
        return sub;
    };
    auto addpage = [&sub](QWidget *page, const char *title, MainApp::View view) {
        page->setWindowTitle(QString::fromLatin1(title));
        // A dialog page is a child widget in its sub-window, as if moved there.
        if (page->isWindow())
            page->setWindowFlags(page->windowFlags() & ~Qt::WindowType_Mask);
        sub->setWidget(page);
        if (gMainApp)
            gMainApp->setview(view, sub);
    };
    gFormMainView = new FormMainView(newsub());
    addpage(gFormMainView, "Main Control View", MainApp::MainView);
    gFormGain = new FormGain(newsub());
    addpage(gFormGain, "Gain View", MainApp::GainView);
    gFormDelay = new FormDelay(newsub());
    addpage(gFormDelay, "Delay View", MainApp::DelayView);
    gFormGeq = new FormGeq(newsub());
    addpage(gFormGeq, "GEQ View", MainApp::GeqView);
    gFormLimit2 = new FormLimit2(newsub());
    addpage(gFormLimit2, "PEAK View", MainApp::Limit2View);
    gFormEq = new FormEq(newsub());
    addpage(gFormEq, "PEQ View", MainApp::PeqView);
    gFormLimit = new FormLimit(newsub());
    addpage(gFormLimit, "Limit View", MainApp::LimitView);
    gFormSetView = new FormSetView(newsub(false));
    addpage(gFormSetView, "Set Device View", MainApp::SetView);

    connectpages();
    if (gMainApp)
        gMainApp->initwindows();

    connect(gFormMainView, &FormMainView::sChangeButtonview, this, &MainWindow::setButtonView);
    // Whatever brings a page to the front (a page button, the main page's
    // strips, a connect or disconnect) lights its button.
    connect(ui->mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) {
        if (sub)
            lightshownpage();
    });
    connecttoolbar();
    connect(this, &MainWindow::updatemainview, gFormMainView, &FormMainView::updatemainview);
    connect(this, &MainWindow::updatemainlock, gFormMainView, &FormMainView::updatemainlock);
    connect(this, &MainWindow::updatedelaylock, gFormDelay, &FormDelay::updatedelaylock);
    connect(this, &MainWindow::updategeqlock, gFormGeq, &FormGeq::updategeqlock);
    connect(this, &MainWindow::updatelimitlock, gFormLimit, &FormLimit::updatelimitlock);
    // The peak-limiter page has no lock signal of its own: it follows the limiter's.
    connect(this, &MainWindow::updatelimitlock, gFormLimit2, &FormLimit2::updatelimit2lock);
    connect(this, &MainWindow::updatepeqlock, gFormEq, &FormEq::updatepeqlock);
    connect(this, &MainWindow::updategainlock, gFormGain, &FormGain::updategainlock);
    connect(this, &MainWindow::updategainview, gFormGain, &FormGain::updategainview);
    connect(this, &MainWindow::updatedelayview, gFormDelay, &FormDelay::updatedelayview);
    connect(this, &MainWindow::updategeqview, gFormGeq, &FormGeq::updategeqview);
    connect(this, &MainWindow::updatepeqview, gFormEq, &FormEq::updatepeqview);
    connect(this, &MainWindow::updatelimitview, gFormLimit, &FormLimit::updatelimitview);
    connect(this, &MainWindow::updatelimitview2, gFormLimit2, &FormLimit2::updatelimitview2);
    connect(this, &MainWindow::updatesetview, gFormSetView, &FormSetView::refreshdata);
    connect(this, &MainWindow::refprogram, gFormSetView, &FormSetView::on_btn_ref1_clicked);
    connect(gFormEq, &FormEq::sendtogainview, gFormGain, &FormGain::messgeformpeq);
    connect(gFormEq, &FormEq::sendtodelayview, gFormDelay, &FormDelay::messgeformpeq);
}

void MainWindow::connectpages()
{
    connect(gFormSetView, &FormSetView::sendconnect, this, &MainWindow::connectdevice);
    connect(gFormMainView, &FormMainView::updategaindlg, gFormGain, &FormGain::updategain);
    connect(gFormGain, &FormGain::upmetubtns, gFormMainView, &FormMainView::updatemetubtn);
    connect(gFormGain, &FormGain::updategainvalues, gFormMainView, &FormMainView::updategainvalues);
    connect(&gComCtrl, &CComCtrl::readlight, gFormGain, &FormGain::readlight);
    connect(gFormMainView, &FormMainView::updatelimitdlg2, gFormLimit2, &FormLimit2::updatelimit2);
    connect(gFormLimit2, &FormLimit2::updatelimitvalues2, gFormMainView, &FormMainView::updatelimitvalues2);
    connect(gFormMainView, &FormMainView::updatedelaydlg, gFormDelay, &FormDelay::updatedelay);
    connect(gFormDelay, &FormDelay::updatedelayvalues, gFormMainView, &FormMainView::updatedelayvalues);
    connect(gFormMainView, &FormMainView::updategeqdlg, gFormGeq, &FormGeq::updategeq);
    connect(gFormMainView, &FormMainView::updatelimitdlg, gFormLimit, &FormLimit::updatelimit);
    connect(gFormLimit, &FormLimit::updatelimitvalues, gFormMainView, &FormMainView::updatelimitvalues);
    connect(gFormMainView, &FormMainView::updateeqdlg, gFormEq, &FormEq::updateeq);
    connect(gFormEq, &FormEq::peqbypassalltomain, gFormMainView, &FormMainView::updatepeqbypass);
    connect(gFormSetView, &FormSetView::updataallviews, this, &MainWindow::startgui);
}

MainWindow::~MainWindow()
{
    if (gMainApp) {
        gMainApp->disconnectall();
        // The listed device records go with the window.
        gMainApp->deletealldevices();
    }
    delete gDialogAbout;
    gDialogAbout = nullptr;
    delete gFormGeq;
    gFormGeq = nullptr;
    delete gFormGain;
    gFormGain = nullptr;
    delete gFormDelay;
    gFormDelay = nullptr;
    delete gFormEq;
    gFormEq = nullptr;
    delete gFormLimit;
    gFormLimit = nullptr;
    delete gFormMainView;
    gFormMainView = nullptr;
    delete gFormLimit2;
    gFormLimit2 = nullptr;
    delete gMainApp;
    gMainApp = nullptr;
    delete gGlobalContrl;
    gGlobalContrl = nullptr;
    destroylinkobjects();
    // The menus and the interface action have no parent.
    delete menufile;
    delete menudevice;
    delete menuremote;
    delete menuhelp;
    delete actinterface;
    delete ui;
    // The programs page and the serial settings dialog go with the children.
    gFormSetView = nullptr;
    gDialogCom = nullptr;
}

// ---------------------------------------------------------------------------
// Style sheets and language

QString MainWindow::readstylesheet(const QString &path)
{
    // The sheets are compiled-in resources that never change: each is read
    // and decoded once.
    static QHash<QString, QString> read;
    const auto known = read.constFind(path);
    if (known != read.constEnd())
        return known.value();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    const QString text = QString::fromUtf8(bytes);
    if (path.startsWith(QLatin1Char(':')))
        read.insert(path, text);
    return text;
}

QString MainWindow::stylesheetpath(int language, bool network)
{
    if (network)
        return language ? QStringLiteral(":/style/style_net_chs.txt")
                        : QStringLiteral(":/style/style_net.txt");
    return language ? QStringLiteral(":/style/style_chs.txt") : QStringLiteral(":/style/style.txt");
}

void MainWindow::refreshAllLanText()
{
    if (!gGlobalContrl)
        return;
    gGlobalContrl->setlanguage(gGlobalContrl->getlanguage() ? 0 : 1);
    gGlobalContrl->emitlanguage();
}

void MainWindow::refreshLanText()
{
    const bool zhs = chinese();
    const QString online = QStringLiteral("Online...");
    const QString disconnected = QStringLiteral("DisConnect");
    const QString text = ui->comshow->text();
    if (!zhs) {
        ui->menuFile->setText(tr("File"));
        actadd[0]->setText(tr("Add New 4IN8OUT"));
        actadd[1]->setText(tr("Add New 3IN6OUT"));
        actadd[2]->setText(tr("Add New 2IN4OUT"));
        actadd[3]->setText(tr("Clear All Device"));
        ui->menuLanguage->setText(zh("中文"));
        ui->menuHelp->setText(tr("About"));
        ui->menuView->setText(tr("Device"));
        ui->menuEdit->setText(tr("Remote"));
        actabout->setText(tr("About"));
        acthelp->setText(tr("Help"));
        actfindonline->setText(tr("Find Online"));
        actinterface->setText(tr("Choose Interface"));
        if (text == zh(kOnlineZh))
            ui->comshow->setText(online);
        else if (text == zh(kDisconnectZh))
            ui->comshow->setText(disconnected);
        for (const StatusTwin &t : kStatusTwins)
            if (text == zh(t.zh))
                ui->comshow->setText(QString::fromLatin1(t.en));
    } else {
        ui->menuFile->setText(zh("文件"));
        actadd[0]->setText(zh("新建 4IN8OUT"));
        actadd[1]->setText(zh("新建 3IN6OUT"));
        actadd[2]->setText(zh("新建 2IN4OUT"));
        actadd[3]->setText(zh("清除所有设备"));
        ui->menuLanguage->setText(QStringLiteral("English"));
        ui->menuHelp->setText(zh("关于"));
        ui->menuView->setText(zh("设备"));
        ui->menuEdit->setText(zh("远程"));
        actabout->setText(zh("关于"));
        acthelp->setText(zh("帮助"));
        actfindonline->setText(zh("在线查找"));
        actinterface->setText(zh("选择网卡"));
        if (text == online)
            ui->comshow->setText(zh(kOnlineZh));
        else if (text == disconnected)
            ui->comshow->setText(zh(kDisconnectZh));
        for (const StatusTwin &t : kStatusTwins)
            if (text == QLatin1String(t.en) && text != disconnected)
                ui->comshow->setText(zh(t.zh));
    }
    applystylesheet(readstylesheet(currentstylesheetpath()));
}

QString MainWindow::shownstylesheet() const
{
    const QString own = styleSheet();
    return own.isEmpty() ? qApp->styleSheet() : own;
}

void MainWindow::applystylesheet(const QString &sheet)
{
    // The start sets the application's sheet for the start language; the
    // window then has the same rules already and takes no copy of them.
    if (sheet == shownstylesheet())
        return;
    setStyleSheet(sheet);
}

QString MainWindow::currentstylesheetpath()
{
    const DeviceData *cur = gMainApp ? gMainApp->getcurdevice() : nullptr;
    const bool network = cur && cur->getnetdevice();
    return stylesheetpath(chinese() ? 1 : 0, network);
}

void MainWindow::judgeudpconnect(bool on)
{
    if (on)
        ui->comshow->setText(chinese() ? zh("网络查找") : QStringLiteral("find for Net"));
    else
        ui->comshow->setText(chinese() ? zh("网络断开") : QStringLiteral("Net disconnect"));
}

// ---------------------------------------------------------------------------
// Page buttons

void MainWindow::setButtonView(int page)
{
    QPushButton *const buttons[] = {ui->pushButton,   ui->pushButton_2, ui->pushButton_3, ui->pushButton_6,
                                    ui->pushButton_5, ui->pushButton_8, ui->pushButton_7};
    if (page < 0 || page >= int(sizeof buttons / sizeof buttons[0]))
        return;
    // The buttons are auto-exclusive: checking one unchecks the others.
    for (int i = 0; i < int(sizeof buttons / sizeof buttons[0]); ++i) {
        if (i != page) {
            buttons[i]->setAutoExclusive(false);
            buttons[i]->setChecked(false);
            buttons[i]->setAutoExclusive(true);
        }
    }
    buttons[page]->setChecked(true);
}

void MainWindow::lightshownpage()
{
    if (!gMainApp)
        return;
    const QList<QMdiSubWindow *> stack = ui->mdiArea->subWindowList(QMdiArea::StackingOrder);
    const QMdiSubWindow *shown = nullptr;
    for (int k = stack.size() - 1; k >= 0 && !shown; --k)
        if (!stack[k]->isHidden())
            shown = stack[k];
    const struct {
        MainApp::View view;
        QPushButton *button;
    } pages[] = {{MainApp::MainView, ui->pushButton},   {MainApp::GainView, ui->pushButton_2},
                 {MainApp::DelayView, ui->pushButton_3}, {MainApp::GeqView, ui->pushButton_4},
                 {MainApp::LimitView, ui->pushButton_5}, {MainApp::PeqView, ui->pushButton_6},
                 {MainApp::SetView, ui->pushButton_7},   {MainApp::Limit2View, ui->pushButton_8}};
    QPushButton *lit = nullptr;
    for (const auto &p : pages)
        if (shown && gMainApp->getview(p.view) == shown)
            lit = p.button;
    if (!lit)
        return;
    // The buttons are auto-exclusive: checking one unchecks the others.
    for (const auto &p : pages)
        if (p.button != lit && p.button->isChecked()) {
            p.button->setAutoExclusive(false);
            p.button->setChecked(false);
            p.button->setAutoExclusive(true);
        }
    lit->setChecked(true);
}

// A page button's click checks it; a page the lock keeps closed is not
// shown, so each click ends by lighting the page that is.
void MainWindow::on_pushButton_clicked()
{
    gFormMainView->updatemetubtn();
    emit updatemainlock();
    gMainApp->showmainview();
    lightshownpage();
}

void MainWindow::on_pushButton_2_clicked()
{
    gFormGain->updatemutebtns();
    emit updategainlock();
    gMainApp->showgainview();
    lightshownpage();
}

void MainWindow::on_pushButton_3_clicked()
{
    emit updatedelaylock();
    gMainApp->showdelayview();
    lightshownpage();
}

void MainWindow::on_pushButton_4_clicked()
{
    emit updategeqlock();
    gMainApp->showgeqview();
    lightshownpage();
}

void MainWindow::on_pushButton_5_clicked()
{
    emit updatelimitlock();
    gMainApp->showlimitview();
    lightshownpage();
}

void MainWindow::on_pushButton_6_clicked()
{
    gFormEq->refreshgain();
    emit updatepeqlock();
    gMainApp->showeqview();
    lightshownpage();
}

void MainWindow::on_pushButton_7_clicked()
{
    gMainApp->showsetview();
    lightshownpage();
    const DeviceData *cur = gMainApp->getcurdevice();
    if (cur && (cur->getcomconnected() || cur->gettcpconnected()))
        emit refprogram();
}

void MainWindow::on_pushButton_8_clicked()
{
    gMainApp->showlimit2view();
    lightshownpage();
}

// The menu buttons open their pop-up menus by themselves.
void MainWindow::on_menuEdit_clicked() {}
void MainWindow::on_menuFile_clicked() {}
void MainWindow::on_menuHelp_clicked() {}
void MainWindow::on_menuView_clicked() {}

void MainWindow::setabout()
{
    gMainApp->showabout();
}

void MainWindow::sethelp()
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/HELP.chm");
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

// ---------------------------------------------------------------------------
// Closing

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A long exchange running now ends as if cancelled; what it would have
    // written or applied is left as it was.
    LongExchange::cancel();
    // Serial processors are told before the port closes, and the frames get
    // a bounded moment to leave; the destructor's round then finds the port
    // closed and sends nothing more on the line.
    const DeviceData *cur = gMainApp ? gMainApp->getcurdevice() : nullptr;
    if (gComCtrl.getcomisopened() && gMainApp && cur && !cur->getnetdevice() && !gDeviceList.isEmpty()) {
        gMainApp->disconnectall();
        MainApp::delayms(kDisconnectDrainMs);
    }
    gComCtrl.closemaincom();
    event->accept();
    if (gGlobalContrl)
        gGlobalContrl->setclosing(1);
    // The panels (FIR, phase) and an operation's progress window are windows
    // of their own: they close with the main window, which is then the last
    // one and ends the application.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->hide();
}

// ---------------------------------------------------------------------------
// Device slots

QString MainWindow::portstatus(const QString &portname)
{
    QString name = portname;
    name.remove(QStringLiteral("\\\\.\\"));
    // A Unix port is named by its device name ("ttyUSB0"), not its path.
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    else if (name.startsWith(QLatin1Char('/')))
        name = name.section(QLatin1Char('/'), -1);
    return name + QStringLiteral(":OK");
}

void MainWindow::addbyhand(uchar type, uchar &nextaddr)
{
    int slot = -1;
    for (int i = 0; i < kSlots; ++i) {
        if (!gMainApp->getslotused(i)) {
            slot = i;
            break;
        }
    }
    if (slot < 0)
        return;
    // Serial addresses run from 1 to 32: a hand-made device takes the first
    // free one from the type's next address on; none is added when all are
    // taken.
    const uchar addr = MainApp::nextfreeaddress(type, nextaddr);
    if (addr == 0)
        return;
    nextaddr = addr;
    // The slot may have held a network device before "Clear All Device": its
    // address must not stay with the serial device that takes the slot now.
    addr_list[slot] = serialaddr;
    gMainApp->setslotused(slot, 1);
    MainApp::adddevice(type, addr, serialaddr);
    gMainApp->setslotname(slot, FormChTool::slottext(type, addr));
    ++addcount;
    emit updateguibtns(addcount);
}

void MainWindow::addnewbtns()
{
    addbyhand(0x18, nextaddr24);
}

void MainWindow::addnewbtns770()
{
    addbyhand(0x16, nextaddr22);
}

void MainWindow::addnewbtns580()
{
    addbyhand(0x14, nextaddr20);
}

void MainWindow::clearalldevice()
{
    // Not inside the waits of a running exchange, which works on a listed
    // record; the disconnect below waits too. Nor later on its own: by then
    // another device may be current than the one the user saw. The user is
    // told why nothing happened. A page's series of frames (a reset of
    // every band) counts as running too: cut short, it would leave the
    // processor half changed. The box is not waited for: shown from inside
    // the running operation's waits, it would hold the operation up until
    // closed.
    LongExchange exchange;
    if (!exchange.acquired() || FrameSeries::running()) {
        Prompts::noticewarning(
            this, chinese() ? zh("清除所有设备") : QStringLiteral("Clear All Device"),
            chinese() ? zh("另一项操作正在进行，请在其结束后重试")
                      : QStringLiteral("Another operation is running. Please Try Again when it has ended"));
        return;
    }
    qDebug() << "clear all device";
    // The status area shows start-up's look at once, and keeps it while the
    // links go down: not the cleared device's link state beside its address.
    clearing = true;
    showstartstatus();
    // A connected device is disconnected first, as the connect button does:
    // the processor is told and the link closes. Its record is going; left
    // connected, the status would stay "Online" with nothing behind it.
    link->endlinks();
    gMainApp->deletealldevices();
    // No slot is chosen any more: the next connect is asked for the device
    // start-up names, not for the cleared slot's.
    bntnum = -1;
    gMainApp->setdevtype(0x18); // as at start-up
    gMainApp->setdevaddr(0);
    gMainApp->setdevip(QHostAddress());
    ui->formchtool->forgetchoice();
    emit updateguibtns(kRefreshAll);
    // The pages show the default record, the status area what start-up
    // shows: no cleared device's address or network look stays behind.
    toolbar->updateconnectbtn();
    link->loadpages();
    emit updatemainlock();
    emit updategainlock();
    emit updatedelaylock();
    emit updategeqlock();
    emit updatepeqlock();
    emit updatelimitlock();
    clearing = false;
    showstartstatus();
}

void MainWindow::showstartstatus()
{
    ui->comshow->setText(startcomshow);
    ui->ipshow->setText(startipshow);
    ui->btnonlinetype->setStyleSheet(startindicator);
    // Start-up gives the application the serial sheet of its language and
    // the window none of its own: the window follows the application's
    // sheet again when that is the one for the language shown now.
    const QString sheet = readstylesheet(stylesheetpath(chinese() ? 1 : 0, false));
    if (sheet == qApp->styleSheet()) {
        if (!styleSheet().isEmpty())
            setStyleSheet(QString());
    } else {
        applystylesheet(sheet);
    }
    update();
}

void MainWindow::addautofind(uchar type, uchar addr, QHostAddress ip)
{
    const QString text = FormChTool::slottext(type, addr);
    if (MainApp::hasdevice(type, addr, ip)) {
        for (int i = 0; i < kSlots; ++i) {
            if (gMainApp->getslotused(i) && gMainApp->getslotname(i) == text) {
                gMainApp->setslotonline(i, 1);
                emit updateguibtns(kRefreshAll);
                return;
            }
        }
        return;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (gMainApp->getslotused(i))
            continue;
        MainApp::adddevice(type, addr, ip);
        gMainApp->setslotused(i, 1);
        gMainApp->setslotname(i, text);
        gMainApp->setslotonline(i, 1);
        addr_list[i] = ip;
        qDebug() << "addr_list[i]" << i << ip;
        emit updateguibtns(kRefreshAll);
        return;
    }
}

void MainWindow::findcomok(uchar type, uchar addr)
{
    addautofind(type, addr, serialaddr);
}

void MainWindow::tcpfindok(uchar type, uchar addr, QHostAddress ip)
{
    addautofind(type, addr, ip);
}

// ---------------------------------------------------------------------------
// Serial search

void MainWindow::finddevice()
{
    // The waits below handle events: a second search (or a connect) started
    // meanwhile would close the port under this one. The search holds the
    // exchange claim too, so that loading a program file into the processor
    // is not started inside its waits either.
    LongExchange exchange;
    if (!exchange.acquired()) {
        qDebug() << "finddevice: an exchange is running";
        return;
    }
    // Nor does a click or key reach any window until the search ends: a page
    // edit would go to whichever port and address the scan has open, and a
    // slot chosen meanwhile would be rebuilt under the user. The window
    // manager's close request still ends the program.
    InputDrop drop;
    if (gDialogCom)
        gDialogCom->initcom();
    qDebug() << "initcom is over";
    if (gComCtrl.getcomisopened()) {
        qDebug() << "getcomisopened check and closemaincom";
        gComCtrl.closemaincom();
    }
    qDebug() << "setguibtnonline = false start";
    for (int i = 0; i < kSlots; ++i)
        gMainApp->setslotonline(i, 0);
    gComCtrl.setfindok(false);
    gComCtrl.setscanindex(0);
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    qDebug() << "start find addr";
    for (int i = 0; i <= 30; ++i) {
        if (gComCtrl.getfindok())
            break;
        if (i == 0) {
            const QString name = gComCtrl.findfirstcom();
            if (name == QLatin1String("nocom"))
                break;
            if (!gComCtrl.openmaincom())
                qDebug() << "openmaincom 0 fail ";
            else
                gMainApp->scandevices();
            MainApp::delayms(200);
        } else if (i >= 2) {
            qDebug() << "comnums>=2:" << i;
            if (gComCtrl.getcomisopened()) {
                MainApp::delayms(100);
                gComCtrl.closemaincom();
            }
            const QString name = gComCtrl.findnextcom();
            if (name == QLatin1String("endcom")) {
                qDebug() << "endcom";
                break;
            }
            if (name == QLatin1String("nocom"))
                qDebug() << "nocom";
            else if (gComCtrl.openmaincom())
                gMainApp->scandevices();
            MainApp::delayms(200);
        }
        qDebug() << "comnums/iwait:" << i << 30 - i;
    }
    QApplication::restoreOverrideCursor();
    if (gComCtrl.getfindok()) {
        ui->comshow->setText(portstatus(gComCtrl.getcomname()));
        actrs232->setChecked(true);
    } else {
        ui->comshow->setText(chinese() ? zh("无法打开") : QStringLiteral("Can't Open"));
        actrs232->setChecked(false);
    }
    emit updateguibtns(kRefreshAll);
}

void MainWindow::set232()
{
    if (!actrs232->isChecked())
        return;
    if (gComCtrl.getcomisopened() || gConnectBusy)
        return;
    if (gDialogCom)
        connect(&gComCtrl, &CComCtrl::refreshcomdlg, gDialogCom, &DialogCom::refreshcomdlg,
                Qt::UniqueConnection);
    if (!gComCtrl.getfindok())
        gComCtrl.findfirstcom();
    if (gComCtrl.openmaincom())
        ui->comshow->setText(portstatus(gComCtrl.getcomname()));
    else
        ui->comshow->setText(chinese() ? zh("无法打开") : QStringLiteral("Can't Open"));
}
