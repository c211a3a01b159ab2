#include "formsetview.h"

#include "longexchange.h"

#include "ccomctrl.h"
#include "devicedata.h"
#include "dialogcopy.h"
#include "dialogdevicelock.h"
#include "dialoginputstr.h"
#include "dialoglink.h"
#include "dialogprojectlock.h"
#include "exchange.h"
#include "globalcontrl.h"
#include "logopicture.h"
#include "mainapp.h"
#include "programfile.h"
#include "programimage.h"
#include "programreader.h"
#include "prompts.h"
#include "ui_formsetview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTimer>

FormSetView *gFormSetView = nullptr;

namespace
{
constexpr int kUserPrograms = 30;
constexpr int kPresetPrograms = 10;
constexpr int kFirstPreset = 31;
constexpr int kAllPrograms = 40;
constexpr int kLogoBlocks = 22;
// The program tables: row height and number column width in pixels.
constexpr int kRowHeight = 20;
constexpr int kNumberWidth = 25;

bool chinese()
{
    return gGlobalContrl && gGlobalContrl->getlanguage() != 0;
}

// The application itself is closing (not an operation's Cancel).
bool appclosing()
{
    return QCoreApplication::closingDown() || (gGlobalContrl && gGlobalContrl->getclosing());
}

QString lan(const char *english, const char *chinesetext)
{
    return chinese() ? QString::fromUtf8(chinesetext) : QString::fromUtf8(english);
}

// A file whose fields lie outside their ranges is refused before anything is
// sent: the processor would take its bytes while the model decoded others.
bool imagesusable(QWidget *parent, const QByteArray &images)
{
    ImageFieldFault fault;
    if (checkprogramimages(images, &fault))
        return true;
    Prompts::critical(parent, lan("Load File Error ", "载入文件错误"), damagedimagemessage(fault, chinese()));
    return false;
}

// The words of the lock buttons in both languages.
const char *const kLock[2] = {"LOCK", "锁"};
const char *const kUnlock[2] = {"UNLOCK", "解锁"};

// A request of this code: the pause after each send, the wait for its
// reply, how many sends at the most, and what the reply must hold.
Exchange::Request request(unsigned char code, int settlems, int timeoutms,
                          int sends = Exchange::Request().sends, const QVector<QPair<int, int>> &marks = {})
{
    Exchange::Request r;
    r.code = code;
    r.marks = marks;
    r.settlems = settlems;
    r.timeoutms = timeoutms;
    r.sends = sends;
    return r;
}

Exchange::Request namerequest(int program)
{
    return request(0x64, 150, 2000, Exchange::Request().sends, {{7, program}});
}

// The Cancel button of the long operations' progress windows.
QString canceltext()
{
    return lan("Cancel", "取消");
}

// The connect request, asked only for the program the processor runs (frame
// byte 12 of its reply): one reply time, as a connect waits.
Exchange::Request runningrequest()
{
    return request(0x02, 100, 1000, 1);
}
constexpr int kRunningProgramByte = 12;

// A command sent and never answered, and the processor silent since: it
// may have carried it out.
QString mayhavedonetext()
{
    return lan(
        "The processor did not answer; it may have done it. Refresh the program list to see what it holds",
        "处理器未应答，可能已执行此操作。请刷新程式列表以查看处理器中的程式");
}

QTableWidgetItem *item(const QString &text)
{
    return new QTableWidgetItem(text);
}

// Busy cursor for one scope.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::BusyCursor)); }
    ~BusyCursor() { end(); }
    void end()
    {
        if (on)
            QApplication::restoreOverrideCursor();
        on = false;
    }
    bool on = true;
};
} // namespace

class FormSetView::Busy
{
public:
    explicit Busy(FormSetView *page)
        : m_page(page)
    {
        m_page->busy = true;
    }
    ~Busy() { m_page->busy = false; }

private:
    FormSetView *m_page;
    // The program-wide claim: no connect, search or file load starts inside
    // this page's waits, nor this page's operation inside theirs.
    LongExchange m_claim;
};

bool FormSetView::isbusy() const
{
    return busy || gConnectBusy != 0;
}

FormSetView::FormSetView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormSetView)
{
    ui->setupUi(this);
    cleardevinfo();
    // The project-lock key sequence counts wherever the focus is on the page:
    // the program lists take letters as a key search and pass none on.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);

    // The tables' sizes are fixed in pixels: without fixed smallest and
    // default sizes the headers take them from the style, and a style sheet
    // applied later or earlier would resize every row and column.
    for (QTableWidget *table : {ui->progwidget, ui->effectwidget}) {
        table->verticalHeader()->setMinimumSectionSize(kRowHeight);
        table->verticalHeader()->setDefaultSectionSize(kRowHeight);
        table->horizontalHeader()->setMinimumSectionSize(kNumberWidth);
    }
    QTableWidget *user = ui->progwidget;
    user->setColumnWidth(0, kNumberWidth);
    user->setColumnWidth(1, 40);
    user->setColumnWidth(2, 160);
    user->verticalHeader()->hide();
    user->horizontalHeader()->hide();
    for (int r = 0; r < kUserPrograms; ++r) {
        user->setItem(r, 0, item(QString::number(r + 1)));
        user->setItem(r, 1, item(QString()));
        user->setItem(r, 2, item(QString()));
        user->setRowHeight(r, kRowHeight);
    }
    user->selectRow(0);
    QTableWidget *preset = ui->effectwidget;
    preset->setColumnWidth(0, kNumberWidth);
    preset->setColumnWidth(1, 190);
    preset->verticalHeader()->hide();
    preset->horizontalHeader()->hide();
    for (int r = 0; r < kPresetPrograms; ++r) {
        preset->setItem(r, 0, item(QString::number(r + 1)));
        preset->setItem(r, 1, item(QString()));
        preset->setRowHeight(r, kRowHeight);
    }
    preset->selectRow(0);

    ui->Editdata->setText(QStringLiteral("PC Init Data"));
    ui->Editname1->setText(QStringLiteral("PROGRAM"));

    ui->pushButton_61->hide();
    ui->btnloadcurdata->hide();
    refreshbuttons();
    ui->label_2->hide();
    ui->label_15->hide();
    ui->pushButton_41->hide();
    ui->Editsettimes->hide();
    ui->pushButton_21->show();

    requesttimer = new QTimer(this);
    connect(requesttimer, &QTimer::timeout, this, &FormSetView::Time_Out);
    setFocusPolicy(Qt::StrongFocus);

    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormSetView::refreshLanText);
}

FormSetView::~FormSetView()
{
    delete ui;
}

// ---------------------------------------------------------------------------
// Display of the current device

DeviceData *FormSetView::current() const
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool FormSetView::connected() const
{
    const DeviceData *d = current();
    return d && (d->getcomconnected() || d->gettcpconnected());
}

// The connect button follows the link state, never its own text.
QString FormSetView::connecttext() const
{
    const DeviceData *d = current();
    if (!d || !gDeviceList.contains(const_cast<DeviceData *>(d)))
        return lan("No Device", "无设备");
    return connected() ? lan("Disconnect", "断开连接") : lan("Connect", "连接");
}

void FormSetView::refreshbuttons()
{
    const bool on = connected();
    const bool unlocked = on && current()->getlocktype() == 0;
    ui->btn_loadprogram->setVisible(on);
    for (QPushButton *b : {ui->btnloadcurdata_2, ui->btndelete, ui->btnreset, ui->btnloadcurdata_3,
                           ui->btnloadFromPc, ui->btnloadcurdata_4, ui->btnloadcurdata_5})
        b->setVisible(unlocked);
}

void FormSetView::cleardevinfo()
{
    ui->Editsettype->clear();
    ui->Editsetid->clear();
    ui->Editsetproid->clear();
    ui->Editsetstatus->setText(lan("Disconnect", "断开连接"));
}

void FormSetView::refreshdata()
{
    refreshprogram();
    refreshbuttons();
    DeviceData *d = current();
    if (!d)
        return;
    if (!connected())
        kept = KeptData();
    ui->Editname1->setText(shownname(d));
    cleardevinfo();
    switch (d->gettype()) {
    case 24:
        ui->Editsettype->setText(QStringLiteral("4IN8OUT"));
        break;
    case 22:
        ui->Editsettype->setText(QStringLiteral("3IN6OUT"));
        break;
    case 20:
        ui->Editsettype->setText(QStringLiteral("2IN4OUT"));
        break;
    default:
        ui->Editsettype->clear();
        break;
    }
    ui->Editsetid->setText(QString::number(d->getaddress()));
    ui->btnconnect->setText(connecttext());
    if (!connected()) {
        const QString text = lan("PC Init Data", "PC 加载数据");
        d->setdevicename(text);
        ui->Editdata->setText(text);
        ui->Editsetstatus->setText(lan("Disconnect", "断开连接"));
        ui->Editsetproid->clear();
        fittexts();
        return;
    }
    ui->Editsetstatus->setText(lan("Connected", "已连接"));
    ui->pushButton_31->setText(d->getlocktype() != 0 ? lan(kUnlock[0], kUnlock[1]) : lan(kLock[0], kLock[1]));
    ui->pushButton_41->setText(d->getprojectlock() == 1 ? lan(kUnlock[0], kUnlock[1])
                                                        : lan(kLock[0], kLock[1]));
    ui->Editsettimes->setText(QString::number(d->getprojectword()));
    ui->Editsetproid->setText(QStringLiteral("     ") + QString::number(d->getcurprogramnum()));
    ui->Editdata->setText(lan("Online Data", "在线数据"));
    fittexts();
}

// Captions keep the form's font where their text fits; a longer text (the
// other language, a wider font) is drawn smaller instead of being cut off.
void FormSetView::fittexts()
{
    // The captions' base size is the font the style sheet gives them.
    ensurePolished();
    const auto fit = [](QWidget *w, const QString &text, int width) {
        QVariant base = w->property("basepointsize");
        if (!base.isValid()) {
            base = w->font().pointSizeF();
            w->setProperty("basepointsize", base);
        }
        if (base.toReal() <= 0)
            return;
        QFont font = w->font();
        font.setPointSizeF(base.toReal());
        while (QFontMetrics(font).horizontalAdvance(text) > width && font.pointSizeF() > 6)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        w->setFont(font);
    };
    for (QLabel *l : findChildren<QLabel *>()) {
        if (l->text().isEmpty())
            continue;
        // The device group's captions end where their value fields begin.
        const bool beside = l == ui->Type || l == ui->label_id || l == ui->status;
        fit(l, l->text(), beside ? ui->Editsettype->x() - l->x() - 3 : l->width());
    }
    for (QPushButton *b : findChildren<QPushButton *>())
        fit(b, b->text(), b->width() - 8);
}

void FormSetView::refreshsaveedprogram(int row)
{
    const DeviceData *d = current();
    if (!d || row < 0 || row >= kUserPrograms)
        return;
    // A record never read carries number 0: the row still stands for its program.
    const int number = d->getnamerecordnum(row);
    ui->progwidget->setItem(row, 0, item(QString::number(number != 0 ? number : row + 1)));
    ui->progwidget->setItem(row, 1, item(d->getnamerecordused(row) ? lan("have", "有") : lan("no", "无")));
    ui->progwidget->setItem(row, 2, item(d->getnamerecordname(row)));
}

void FormSetView::refreshprogram()
{
    const DeviceData *d = current();
    if (!d)
        return;
    for (int k = 0; k < kUserPrograms; ++k)
        refreshsaveedprogram(k);
    for (int k = 0; k < kPresetPrograms; ++k) {
        const int number = d->getnamerecordnum(kUserPrograms + k);
        ui->effectwidget->setItem(k, 0, item(QString::number(number != 0 ? number : kFirstPreset + k)));
        ui->effectwidget->setItem(k, 1, item(d->getnamerecordname(kUserPrograms + k)));
    }
}

int FormSetView::selectedprogram() const
{
    if (ui->tabWidget->currentIndex() == 0) {
        const int r = ui->progwidget->currentRow();
        return r >= 0 && r < kUserPrograms ? r + 1 : 0;
    }
    const int r = ui->effectwidget->currentRow();
    return r >= 0 && r < kPresetPrograms ? r + kFirstPreset : 0;
}

void FormSetView::refreshLanText()
{
    ui->label_id_2->setText(lan("Program Number:", "程式序号:"));
    ui->Currentdata->setText(lan("Current Data:", "当前数据:"));
    ui->promam_name->setText(lan("Program Name:", "程式名称"));
    ui->Type->setText(lan("Device Type:", "设备类型:"));
    ui->label_id->setText(lan("Device ID:", "设备ID:"));
    ui->status->setText(lan("Connect Status:", "连接状态:"));
    ui->label_3->setText(lan("NAME", "名称"));
    ui->label_8->setText(lan("NAME", "名称"));
    ui->label_7->setText(lan("FLAG", "标志"));
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(ui->tab), lan("User Program", "用户程式"));
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(ui->tab_2), lan("Preset Program", "预设程式"));
    ui->btn_ref->setText(lan("Refresh", "刷新"));
    ui->btn_loadprogram->setText(lan("Load Program", "载入程式"));
    ui->btnloadcurdata_2->setText(lan("Save Program", "保存程式"));
    ui->btndelete->setText(lan("Delete Program", "删除程式"));
    ui->btnreset->setText(lan("Reset Program", "重设程式"));
    ui->btnloadcurdata_3->setText(lan("Save to PC", "保存到PC"));
    ui->btnloadFromPc->setText(lan("Load from PC", "从PC端载入"));
    ui->btnloadcurdata_4->setText(lan("Save all to PC", "全部保存至PC"));
    ui->btnloadcurdata_5->setText(lan("Load all from PC", "将PC端全部载入"));
    ui->pushButton1->setText(lan("Copy", "拷贝"));
    ui->pushButton_21->setText(lan("Link", "链接"));
    ui->copy->setText(lan("Set Copy:", "设置拷贝"));
    ui->link->setText(lan("Set link:", "设置链接"));
    ui->lock->setText(lan("Device Lock:", "设备锁"));
    ui->pushButton_51->setText(lan("Load Logo", "加载商标"));
    ui->pushButton_61->setText(lan("Mody", "修改"));
    ui->btnloadcurdata->setText(lan("Load Data", "加载数据"));
    // The default name, until a device's program name replaces it.
    if (ui->Editname1->text() == QLatin1String("PROGRAM") ||
        ui->Editname1->text() == QString::fromUtf8("程式"))
        ui->Editname1->setText(lan("PROGRAM", "程式"));
    if (connected()) {
        ui->Editdata->setText(lan("Online Data", "在线数据"));
        ui->Editsetstatus->setText(lan("Connected", "已连接"));
    } else {
        ui->Editdata->setText(lan("PC Init Data", "PC 加载数据"));
        ui->Editsetstatus->setText(lan("Disconnect", "断开连接"));
    }
    ui->btnconnect->setText(connecttext());
    for (QPushButton *b : {ui->pushButton_31, ui->pushButton_41}) {
        const QString t = b->text();
        if (t == QLatin1String(kUnlock[0]) || t == QString::fromUtf8(kUnlock[1]))
            b->setText(lan(kUnlock[0], kUnlock[1]));
        else if (t == QLatin1String(kLock[0]) || t == QString::fromUtf8(kLock[1]))
            b->setText(lan(kLock[0], kLock[1]));
    }
    if (ui->progwidget->item(0, 1) && !ui->progwidget->item(0, 1)->text().isEmpty())
        refreshprogram();
    fittexts();
}

void FormSetView::Time_Out()
{
    timedout = true;
    requesttimer->stop();
}

// ---------------------------------------------------------------------------
// Connect button, dialogs, hidden keys, closing

void FormSetView::on_btnconnect_clicked()
{
    DeviceData *d = current();
    if (isbusy() || !d || !gDeviceList.contains(d))
        return;
    if (!connected()) {
        if (d->getnetdevice()) {
            emit sendconnect();
        } else {
            gMainApp->sendconnectreq();
            MainApp::delayms(50);
        }
        return;
    }
    d->namesloaded = 0;
    gMainApp->senddisconnect();
}

void FormSetView::on_pushButton1_clicked()
{
    if (isbusy() || !connected() || current()->getlocktype() != 0)
        return;
    // Each opening has its own dialog, gone when it closes.
    DialogCopy dialog(this);
    connect(&dialog, &DialogCopy::updataallviews, this, &FormSetView::updataallviews);
    dialog.initcopy(uchar(current()->gettype()));
    dialog.exec();
    dialog.close();
}

void FormSetView::on_pushButton_21_clicked()
{
    if (isbusy() || !connected() || current()->getlocktype() != 0)
        return;
    DialogLink dialog(this);
    connect(&dialog, &DialogLink::updataallviews, this, &FormSetView::updataallviews);
    dialog.loadlinkmasks(uchar(current()->gettype()));
    dialog.exec();
    dialog.close();
}

void FormSetView::on_pushButton_31_clicked()
{
    if (isbusy() || !connected())
        return;
    DialogDeviceLock::openmodal(this);
}

void FormSetView::on_pushButton_41_clicked()
{
    if (isbusy() || !connected())
        return;
    openprojectlock();
}

void FormSetView::openprojectlock()
{
    DialogProjectLock::openmodal(this);
}

void FormSetView::keyPressEvent(QKeyEvent *event)
{
    feedkey(event->key());
}

bool FormSetView::eventFilter(QObject *watched, QEvent *event)
{
    // A key the focused widget passes on reaches the filters of its parents
    // too; counting it again changes nothing, as each step waits for another key.
    if (event->type() == QEvent::KeyPress && feedkey(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool FormSetView::feedkey(int key)
{
    // Shift, then Alt, then Q, other keys between them allowed; pressed one
    // after another or as a chord. With Shift held, X11 keymaps report the
    // Alt key as Meta (Shift+Alt_L gives Meta_L), so Meta counts as Alt here.
    if (keystate == 0 && key == Qt::Key_Shift)
        keystate = 10;
    else if (keystate == 10 && (key == Qt::Key_Alt || key == Qt::Key_Meta))
        keystate = 20;
    else if (keystate == 20 && key == Qt::Key_Q)
        keystate = 30;
    if (keystate != 30)
        return false;
    keystate = 0;
    if (!connected() || isbusy())
        return false;
    openprojectlock();
    return true;
}

void FormSetView::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidesetview();
    event->ignore();
}

// ---------------------------------------------------------------------------
// Progress window

void FormSetView::setupprogress(const QString &title, int value, bool nonmodal)
{
    if (!progress) {
        // A dialog of the page's window: shown modal (Cancel), it stays above it.
        progress.reset(new QProgressDialog(this));
        progress->setCancelButton(nullptr);
        progress->setMinimumDuration(0);
    }
    // A later step of an operation with a Cancel button (the data load after
    // a recall) keeps the modal dialog the button made of the window.
    const bool cancellable = CancelButton::open() && progress->windowModality() == Qt::ApplicationModal;
    if (nonmodal && !cancellable)
        progress->setWindowModality(Qt::NonModal);
    progress->setWindowTitle(title);
    progress->setLabelText(title);
    if (!cancellable)
        progress->setWindowFlags(Qt::ToolTip);
    if (nonmodal)
        MainApp::delayms(0, true);
    progress->setValue(value);
    progress->show();
}

void FormSetView::setprogress(int value)
{
    if (progress)
        progress->setValue(value);
}

// ---------------------------------------------------------------------------
// Operations with the device

bool FormSetView::readnames(Exchange &x, int first, int last, const std::function<void(int)> &done)
{
    QStringList records;
    for (int n = first; n <= last; ++n) {
        const Exchange::Result r = x.run(
            namerequest(n), [n] { gMainApp->sendreadprogramname(n); },
            [&](int, bool) {
                if (done)
                    done(n);
            });
        if (r != Exchange::Result::Answered) {
            shownamesfailure(int(r));
            return false;
        }
        // The reply's own record: whatever else arrived meanwhile.
        records << x.reply().slice(14, 44);
    }
    if (!x.usable())
        return false;
    for (const QString &r : records)
        x.device()->setnamerecord(r);
    return true;
}

QString FormSetView::listname(const DeviceData *d)
{
    const int shown = d->getcurprogramnum();
    if (shown >= 1 && shown <= kAllPrograms && d->getnamerecordused(shown - 1))
        return d->getnamerecordname(shown - 1).trimmed();
    return QString();
}

QString FormSetView::shownname(const DeviceData *d) const
{
    const bool keeps =
        d && d == kept.device && d->getcurprogramnum() == kept.number && d->getprogramname() == kept.dataname;
    const QString name = keeps ? listname(d) : d ? d->getprogramname() : QString();
    return keeps && name.isEmpty() ? QString() : QStringLiteral("    ") + name;
}

void FormSetView::showmayrun(DeviceData *d, int program)
{
    // The model keeps the data of the program before, and with it that
    // program's name: "Program Name" shows instead what the list holds for
    // the program "Program Number" shows, so the two name the same program,
    // and goes on doing so whenever the page is shown again.
    if (d && d == current()) {
        kept = {d, d->getcurprogramnum(), d->getprogramname()};
        ui->Editname1->setText(shownname(d));
    }
    Prompts::critical(this, lan("Load Program", "载入程式"),
                      lan("The processor may run program %1; connect again to read it",
                          "处理器可能正在运行程式 %1；请重新连接以读取")
                          .arg(program));
}

bool FormSetView::recheckname(Exchange &x, int n)
{
    if (appclosing() || n < 1 || n > kAllPrograms)
        return false;
    const Exchange::Result r = x.run(namerequest(n), [n] { gMainApp->sendreadprogramname(n); });
    if (r != Exchange::Result::Answered || !x.usable())
        return false;
    x.device()->setnamerecord(x.reply().slice(14, 44));
    return true;
}

void FormSetView::shownamesfailure(int result)
{
    if (Exchange::Result(result) == Exchange::Result::Closing)
        return;
    Prompts::critical(
        this, lan("Refresh Programs List", "刷新程式列表"),
        lan("The program names could not be read. Please Try Again", "无法读取程式名称，请重试"));
}

void FormSetView::on_btn_ref_clicked()
{
    if (isbusy() || !connected())
        return;
    Busy b(this);
    MainApp::delayms(0, true);
    refreshnames();
}

void FormSetView::on_btn_ref1_clicked()
{
    if (isbusy() || !connected() || current()->namesloaded != 0)
        return;
    Busy b(this);
    refreshnames();
}

void FormSetView::refreshnames()
{
    setupprogress(lan("Refresh Programs List", "刷新程式列表"), 0, false);
    CancelButton cancel(progress.get(), canceltext());
    Exchange x;
    const bool ok = readnames(x, 1, kAllPrograms, [this](int n) { setprogress(2 * n); });
    if (ok) {
        MainApp::delayms(100, true);
        refreshprogram();
        if (x.usable())
            x.device()->namesloaded = 1;
    }
    setprogress(100);
}

void FormSetView::on_btnloadcurdata_clicked()
{
    if (isbusy())
        return;
    Busy b(this);
    loadcurrentdata();
}

bool FormSetView::loadcurrentdata()
{
    setupprogress(lan("Load Cur Data...", "加载当前数据..."), 1, true);
    BusyCursor cursor;
    ProgramReader reader;
    const bool ok = reader.loadcurrent([this](int part, bool) { setprogress(3 * part); });
    if (!ok) {
        setprogress(100);
        cursor.end();
        if (reader.result() != Exchange::Result::Closing)
            ProgramReader::showfailure(this);
        return false;
    }
    setprogress(80);
    MainApp::delayms(100, true);
    setprogress(90);
    MainApp::delayms(50, true);
    if (gMainApp->getcurdevice() == reader.device())
        reader.device()->setdevicename(lan("Online Data", "在线数据"));
    // The model holds the data of the program the number shows again.
    if (kept.device == reader.device())
        kept = KeptData();
    emit updataallviews();
    setprogress(100);
    return true;
}

void FormSetView::on_btn_loadprogram_clicked()
{
    if (isbusy() || !connected())
        return;
    DeviceData *d = current();
    if (d->getlocktype() == 4) {
        Prompts::information(this, lan("Has Locked!", "已加锁"),
                             lan("Please Unlock and retry!", "请解锁后重试!"));
        return;
    }
    const int p = selectedprogram();
    if (p < 1)
        return;
    if (!d->getnamerecordused(p - 1)) {
        Prompts::critical(this, lan("Can't Load Program", "无法载入程序"),
                          lan("This Program Is Not Exist", "此程序不存在"));
        return;
    }
    Busy b(this);
    // The program whose data the model holds now.
    const int held = d->getcurprogramnum();
    setupprogress(lan("ReCall Program...", "回调程序.."), 1, true);
    CancelButton cancel(progress.get(), canceltext());
    BusyCursor cursor;
    Exchange x;
    // The reply carries nothing to match but its code.
    const Exchange::Request r = request(0x62, 100, 4000);
    const Exchange::Result result = x.run(
        r, [p] { gMainApp->sendrecallprogram(p); }, [this](int n, bool) { setprogress(5 * n); });
    MainApp::delayms(100, true);
    setprogress(90);
    MainApp::delayms(100, true);
    setprogress(100);
    cursor.end();
    const bool answered = result == Exchange::Result::Answered;
    if (answered && x.usable()) {
        x.device()->setcurprogramnum(p);
        MainApp::delayms(50, true);
        // The processor runs program p: a read-back cancelled leaves the
        // model with the data of the program before.
        if (!loadcurrentdata() && LongExchange::cancelled() && !appclosing()) {
            refreshdata();
            showmayrun(x.device(), p);
        }
        return;
    }
    if (appclosing())
        return;
    // Acknowledged, and then cancelled (the Cancel came while the answer
    // settled) or the line dropped: the processor runs program p, and ends
    // as an exchange ended that way.
    const Exchange::Result ended = answered ? x.state() : result;
    // The recall went out and its answer was not waited for (Cancel, or it
    // comes late) or came just before the Cancel: the processor may run
    // program p now.
    if (ended == Exchange::Result::Closing && x.sends() > 0) {
        followrunning(p, held, false);
        return;
    }
    // Unanswered however often it was sent: the processor may have run it
    // all the same (its answers lost), so it is asked, as after a Cancel.
    if (ended == Exchange::Result::NoReply && x.sends() > 0) {
        followrunning(p, held, false, true);
        return;
    }
    if (ended == Exchange::Result::LinkLost)
        Prompts::critical(this, lan("This Program Load Failed", "程式载入失败"), linedroppedtext());
    else if (ended != Exchange::Result::Closing)
        Prompts::critical(this, lan("This Program Load Failed", "程式载入失败"),
                          lan("please try again", "请重试"));
}

void FormSetView::followrunning(int asked, int held, bool always, bool unanswered)
{
    // The operation's own wait was cancelled; this step runs, and takes a
    // Cancel of its own.
    LongExchange::resume();
    if (appclosing())
        return;
    Exchange x;
    DeviceData *d = x.device();
    const Exchange::Result result = x.run(runningrequest(), [] { gMainApp->sendconnectreq(); });
    if (appclosing())
        return;
    if (result != Exchange::Result::Answered || !x.usable()) {
        if (gMainApp->getcurdevice() == d)
            refreshdata();
        if (result == Exchange::Result::LinkLost)
            Prompts::critical(this, lan("Load Program", "载入程式"), linedroppedtext());
        else
            showmayrun(d, asked);
        return;
    }
    const int running = x.reply().byte(kRunningProgramByte);
    d->setcurprogramnum(running);
    // Still on the model's program, and not the one asked: the command was
    // not carried out. A recall of the program that runs reloads its stored
    // data, which the model may not hold (edits since): that is read back.
    if (!always && running == held && running != asked) {
        refreshdata();
        if (unanswered)
            Prompts::critical(this, lan("This Program Load Failed", "程式载入失败"),
                              lan("please try again", "请重试"));
        return;
    }
    MainApp::delayms(50, true);
    const bool read = loadcurrentdata();
    if (gMainApp->getcurdevice() == d)
        refreshdata();
    // A read that failed has said so in its box; a cancelled one says what
    // the processor runs.
    if (!read && LongExchange::cancelled() && !appclosing())
        showmayrun(d, running);
}

void FormSetView::on_btnloadcurdata_2_clicked()
{
    if (isbusy() || !connected() || current()->getlocktype() != 0)
        return;
    Busy b(this);
    Exchange x; // the device current now is the one stored to
    const int r =
        ui->tabWidget->currentIndex() == 0 ? ui->progwidget->currentRow() : ui->effectwidget->currentRow();
    QString proposed = current()->getnamerecordname(r);
    // The processor pads names with blanks: an unnamed slot proposes nothing.
    while (proposed.endsWith(QLatin1Char(' ')))
        proposed.chop(1);
    DialogInputStr dialog(this);
    if (r >= 0)
        dialog.setid(r);
    dialog.setname(proposed);
    dialog.exec();
    dialog.close();
    if (!dialog.accepted || dialog.id < 0 || dialog.id >= kUserPrograms)
        return;
    const int i = dialog.id;
    const int p = i + 1;
    BusyCursor cursor;
    const QString namehex =
        DeviceData::bytestohex(
            dialog.name.leftJustified(DeviceData::kProgramNameSize, QLatin1Char(' ')).toLatin1())
            .left(2 * DeviceData::kProgramNameSize);

    // The reply carries nothing to match but its code.
    const Exchange::Request req = request(0x63, 100, 3000);
    const Exchange::Result result = x.run(req, [p, namehex] { gMainApp->sendsaveprogram(p, namehex); });
    MainApp::delayms(50, true);
    if (result != Exchange::Result::Answered) {
        // The processor may have stored it all the same (its answers lost):
        // the list shows what it holds now. A record that changed to the new
        // name says it was stored; an unchanged one cannot tell (the same
        // name stored again), so its box stays.
        QString text =
            result == Exchange::Result::LinkLost ? linedroppedtext() : lan("Please Try Again", "请重试");
        if (result == Exchange::Result::NoReply && x.sends() > 0) {
            const DeviceData *dd = x.device();
            const bool usedbefore = dd->getnamerecordused(i);
            const QString namebefore = dd->getnamerecordname(i);
            if (recheckname(x, p)) {
                refreshsaveedprogram(i);
                refreshprogram();
                const bool changed =
                    dd->getnamerecordused(i) != usedbefore || dd->getnamerecordname(i) != namebefore;
                if (changed && dd->getnamerecordused(i) &&
                    dd->getnamerecordname(i).trimmed() ==
                        QString::fromLatin1(dialog.name.toLatin1().left(DeviceData::kProgramNameSize))
                            .trimmed())
                    return;
            } else if (!appclosing()) {
                text = mayhavedonetext();
            }
        }
        cursor.end();
        if (result != Exchange::Result::Closing && !appclosing())
            Prompts::critical(this, lan("Save This Program Failed", "保存程式失败"), text);
        return;
    }
    if (!readnames(x, p, p))
        return;
    MainApp::delayms(100, true);
    refreshsaveedprogram(i);
    refreshprogram();
}

void FormSetView::on_btndelete_clicked()
{
    if (isbusy() || !connected())
        return;
    DeviceData *d = current();
    const int n = selectedprogram();
    if (n < 1)
        return;
    if (n > kUserPrograms) {
        Prompts::critical(
            this, lan("Preset Program Cannot Delete ", "预设程式无法删除"),
            lan("Preset Program Cannot Delete \nPlease Select Again", "预设程式无法删除 \n请重新选择"));
        return;
    }
    if (!d->getnamerecordused(n - 1)) {
        Prompts::critical(this, lan("Can't Delete This Program", "无法删除当前程式"),
                          lan("This Program Is Not Exist", "此程式不存在"));
        return;
    }
    // The program the processor runs, as its record says (not a display field).
    if (n == d->getcurprogramnum()) {
        Prompts::critical(this, lan("Can't Delete This Program", "无法删除当前程式"),
                          lan("This Program Is Running", "此程式正在运行"));
        return;
    }
    Busy b(this);
    Exchange x; // the device current now is the one the program is deleted from
    if (!Prompts::confirm(this, lan("Delete", "删除"),
                          lan("Do you Delete this program?", "你想要删除此程式吗?"), QStringLiteral("Yes"),
                          QStringLiteral("No")))
        return;
    setupprogress(lan("Delete Program Waitting...", "等待删除..."), 1, true);
    BusyCursor cursor;
    // The reply carries nothing to match but its code.
    const Exchange::Request r = request(0x66, 100, 2000);
    const Exchange::Result result = x.run(
        r, [n] { gMainApp->senddeleteprogram(n); }, [this](int a, bool) { setprogress(18 + 3 * (a - 1)); });
    MainApp::delayms(100, true);
    setprogress(55);
    if (result != Exchange::Result::Answered) {
        // The processor may have deleted it all the same (its answers lost):
        // its name record says. Deleted, it is listed so and no box shows.
        QString text =
            result == Exchange::Result::LinkLost ? linedroppedtext() : lan("Please Try Again", "请重试");
        if (result == Exchange::Result::NoReply && x.sends() > 0) {
            if (recheckname(x, n)) {
                refreshsaveedprogram(n - 1);
                refreshprogram();
                if (!x.device()->getnamerecordused(n - 1)) {
                    setprogress(100);
                    return;
                }
            } else if (!appclosing()) {
                text = mayhavedonetext();
            }
        }
        setprogress(100);
        cursor.end();
        if (result != Exchange::Result::Closing && !appclosing())
            Prompts::critical(this, lan("Delete Program Failed ", "删除程式失败"), text);
        return;
    }
    const bool named = readnames(x, n, n, [this](int) { setprogress(80); });
    if (named) {
        MainApp::delayms(100, true);
        refreshsaveedprogram(n - 1);
        refreshprogram();
    }
    setprogress(100);
}

void FormSetView::on_btnreset_clicked()
{
    if (isbusy() || !connected())
        return;
    Busy b(this);
    Exchange x; // the device current now is the one reset
    DeviceData *d = x.device();
    const int held = d->getcurprogramnum();
    if (!Prompts::confirm(this, lan("Reset Programes", "重设程序"),
                          lan("Do you Reset all programes?", "是否重设所有程序?"), QStringLiteral("Yes"),
                          QStringLiteral("No")))
        return;
    setupprogress(lan("Reset Waitting...", "重设中..."), 0, true);
    CancelButton cancel(progress.get(), canceltext());
    BusyCursor cursor;
    const Exchange::Request r = request(0x65, 100, 15000);
    const Exchange::Result result = x.run(
        r, [] { gMainApp->sendresetprograms(); }, [this](int a, bool) { setprogress(10 + 5 * (a - 1)); });
    MainApp::delayms(100, true);
    setprogress(55);
    if (result != Exchange::Result::Answered) {
        setprogress(100);
        cursor.end();
        if (appclosing() || (result == Exchange::Result::Closing && x.sends() == 0))
            return;
        // Sent, not acknowledged: the list stays as it was, and the box says
        // the processor may have reset it all the same.
        Prompts::critical(
            this, lan("Reset Program Failed ", "重设程式失败"),
            result == Exchange::Result::LinkLost
                ? linedroppedtext()
                : lan("The processor did not acknowledge the reset: the program list is kept as it "
                      "was. Refresh it to see what the processor holds",
                      "处理器未确认重设：程式列表保持不变。请刷新以查看处理器中的程式"));
        return;
    }
    if (!readnames(x, 1, kAllPrograms, [this](int p) { setprogress(55 + p); })) {
        if (appclosing())
            return;
        // The reset was acknowledged: the processor holds no user program,
        // whatever the names read says.
        if (gMainApp->getcurdevice() == d)
            for (int n = 1; n <= kUserPrograms; ++n)
                d->setnamerecord(DeviceData::bytestohex(QByteArray(1, char(n)) + QByteArray(1, '\0') +
                                                        QByteArray(DeviceData::kProgramNameSize, ' ')));
    }
    MainApp::delayms(100, true);
    if (gMainApp->getcurdevice() == d)
        refreshprogram();
    setprogress(100);
    cursor.end();
    // A dropped line has had its box: nothing more can be read.
    if (x.state() == Exchange::Result::LinkLost)
        return;
    // The processor now runs its template: the model takes it.
    followrunning(0, held, true);
}

bool FormSetView::readprogram(uchar n)
{
    if (n > kAllPrograms)
        return false;
    setupprogress(lan("Load Device Program data...", "加载设备数据.."), 0, true);
    BusyCursor cursor;
    ProgramReader reader;
    int firsttries = 0;
    const bool ok = reader.read(n, [&](int part, bool) {
        if (part == 0)
            setprogress(5 * ++firsttries);
        else
            setprogress(50 + part);
    });
    if (!ok) {
        setprogress(100);
        return false;
    }
    setprogress(80);
    MainApp::delayms(100, true);
    if (gMainApp->getcurdevice() != reader.device()) {
        setprogress(100);
        return false;
    }
    reader.device()->applyreceivedimage();
    setprogress(90);
    MainApp::delayms(100, true);
    setprogress(100);
    return true;
}

// ---------------------------------------------------------------------------
// Program files and collection files

namespace
{
// A progress window of its own (the collection operations).
// A window with an open Cancel button keeps it.
void showprogress(QProgressDialog &w, const QString &title, int value, bool withcancel = false)
{
    if (!withcancel)
        w.setCancelButton(nullptr);
    w.setMinimumDuration(0);
    w.setMaximum(100);
    w.setWindowTitle(title);
    w.setLabelText(title);
    w.setValue(value);
    w.show();
}

Exchange::Request writerequest(int part)
{
    // The acknowledgement names the part (its second data byte), not the program.
    return request(0x60, 150, 2000, Exchange::Request().sends, {{8, part}});
}

// One logo block: sent 150 ms before its reply is looked for, which paces
// the blocks as the processor takes them.
Exchange::Request logorequest()
{
    return request(0x13, 150, 1000, 3);
}

QString numbered(const char *english, const char *chinesetext, int n)
{
    return lan(english, chinesetext) + QString::number(n) + QStringLiteral("/30");
}
} // namespace

QString FormSetView::proposedfilename(const QString &name, int devicetype)
{
    QString out = name.trimmed();
    for (QChar &c : out) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f || c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            c = QLatin1Char('_');
    }
    // A leading dot would hide the file, or name the folder above.
    while (out.startsWith(QLatin1Char('.')))
        out.remove(0, 1);
    if (out.trimmed().isEmpty())
        out = QStringLiteral("PROGRAM");
    return out + programfilesuffix(devicetype);
}

bool FormSetView::filewritable(const QString &path, bool single)
{
    QString reason;
    // A full disk fails at once, not after the programs were read.
    const qint64 size = qint64(single ? 1 : kCollectionPrograms) * kProgramImageSize;
    if (canwritefile(path, &reason, chinese()) && hasroomfor(path, size, &reason))
        return true;
    showwritefailure(path, reason, single);
    return false;
}

// The Chinese texts of the single-program boxes end without a full stop.
void FormSetView::showwritefailure(const QString &path, const QString &reason, bool single)
{
    Prompts::warning(this, lan("Write File", "写文件"),
                     lan("Cannot write file %1: %2.", single ? "无法写入文件 %1: %2" : "无法写入文件 %1: %2.")
                         .arg(path, reason));
}

bool FormSetView::readsucceeded(ProgramFileStatus status, const QString &path, const QString &reason, bool single)
{
    if (status == ProgramFileStatus::WrongSize) {
        Prompts::critical(
            this, lan("Load File Error ", "载入文件错误"),
            lan("This File is not integrity \nPlease Select Again", "此文件不完整 \n请重新选择"));
        return false;
    }
    if (status != ProgramFileStatus::Ok) {
        showreadfailure(path, reason, single);
        return false;
    }
    return true;
}

void FormSetView::showreadfailure(const QString &path, const QString &reason, bool single)
{
    Prompts::warning(this, lan("Read File", "读取文件"),
                     lan("Cannot read file %1: %2.", single ? "无法读取文件 %1: %2" : "无法读取文件 %1: %2.")
                         .arg(path, reason));
}

bool FormSetView::writestaged(Exchange &x, int n, bool collection, QString *namerecord, WriteEnd *end)
{
    DeviceData *d = x.device();
    if (!d)
        return false;
    WriteEnd own;
    WriteEnd &e = end ? *end : own;
    e = WriteEnd();
    // With `end`, the caller tells the user.
    const auto failed = [this, &e, end](Exchange::Result r) {
        e.result = int(r);
        setprogress(100);
        QApplication::restoreOverrideCursor();
        if (!end && r != Exchange::Result::Closing)
            Prompts::critical(this, lan("Download Program Failed ", "下载程式失败"),
                              r == Exchange::Result::LinkLost ? linedroppedtext()
                                                              : lan("Please Try Again", "请重试"));
        return false;
    };
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    // Every part, the last one too, waits for its own acknowledgement within
    // the same bound; only the name read-back can stand in for the last one.
    d->clearwriteacks();
    bool lastacked = false;
    for (int k = 0; k < kPacketCount; ++k) {
        const Exchange::Result r = x.run(
            writerequest(k), [n, k] { gMainApp->sendwriteprogrampart(n, k); },
            [this, k](int, bool) { setprogress(3 * k); });
        if (r == Exchange::Result::Answered) {
            lastacked = k == kPacketCount - 1;
            continue;
        }
        if (r != Exchange::Result::NoReply || k < kPacketCount - 1)
            return failed(r);
        qDebug() << "part" << k << "not acknowledged; the name read-back decides";
    }
    const int steps[4][2] = {{100, 80}, {100, collection ? 83 : 85}, {200, collection ? 85 : 92}, {100, 90}};
    for (const auto &s : steps) {
        MainApp::delayms(s[0], true);
        setprogress(s[1]);
    }
    const Exchange::Result named = x.run(
        namerequest(n), [n] { gMainApp->sendreadprogramname(n); }, [this](int, bool) { setprogress(95); });
    if (named != Exchange::Result::Answered) {
        if (!lastacked || named != Exchange::Result::NoReply)
            return failed(named);
        e.result = int(named);
        e.partswritten = true;
        setprogress(100);
        QApplication::restoreOverrideCursor();
        if (!end)
            shownamesfailure(int(named));
        return false;
    }
    e.partswritten = true;
    if (namerecord) {
        *namerecord = x.reply().slice(14, 44);
    } else if (x.usable()) {
        d->setnamerecord(x.reply().slice(14, 44));
        refreshsaveedprogram(n - 1);
        refreshprogram();
    }
    if (collection)
        MainApp::delayms(100, true);
    setprogress(100);
    QApplication::restoreOverrideCursor();
    return true;
}

void FormSetView::on_btnloadcurdata_3_clicked()
{
    if (isbusy() || !connected())
        return;
    const int n = selectedprogram();
    if (n < 1)
        return;
    DeviceData *d = current();
    if (!d->getnamerecordused(n - 1)) {
        Prompts::critical(this, lan("Can't Load Program", "无法载入程式"),
                          lan("This Program Is Not Exist", "当前程式不存在"));
        return;
    }
    Busy b(this);
    const int type = d->gettype();
    const QString path = withsuffix(
        Prompts::saveFileName(this, lan("Save Program Collection File", "保存收集的数据文件"),
                              proposedfilename(d->getnamerecordname(n - 1), type), programfilefilter(type)),
        programfilesuffix(type));
    // The file is checked, not opened: a read that fails leaves it as it was.
    if (path.isEmpty() || !filewritable(path, true))
        return;
    MainApp::delayms(50, true);
    // Read into the reader's own image: the current image stays the running program.
    setupprogress(lan("Load Device Program data...", "加载设备数据.."), 0, true);
    BusyCursor cursor;
    ProgramReader reader;
    int firsttries = 0;
    const bool ok =
        reader.read(n, [&](int part, bool) { setprogress(part == 0 ? 5 * ++firsttries : 50 + part); });
    setprogress(100);
    cursor.end();
    if (!ok) {
        if (reader.result() != Exchange::Result::Closing)
            Prompts::critical(this, lan("Cannot Save To PC ", "无法保存到PC端"),
                              lan("Please Try Again", "请重试"));
        return;
    }
    QString reason;
    if (writeprogramfile(path, reader.image(), nullptr, &reason) != ProgramFileStatus::Ok)
        showwritefailure(path, reason, true);
}

void FormSetView::on_btnloadFromPc_clicked()
{
    if (isbusy() || !connected())
        return;
    Busy b(this);
    Exchange x; // the device current now is the one written
    const QString path =
        Prompts::openFileName(this, QString(), QString(), programfilefilter(x.device()->gettype()));
    if (path.isEmpty())
        return;
    const int n = selectedprogram();
    if (n < 1)
        return;
    // A preset is refused before the file is read.
    if (n >= kFirstPreset) {
        Prompts::critical(
            this, lan("Preset Program Cannot Reset ", "无法应用设置"),
            lan("Preset Program Cannot Reset \nPlease Select Again", "无法应用当前预设 \n请重新选择"));
        return;
    }
    QByteArray image;
    QString reason;
    const ProgramFileStatus status = readprogramfile(path, image, nullptr, &reason);
    if (!readsucceeded(status, path, reason, true) || !imagesusable(this, image))
        return;
    if (!x.usable())
        return;
    // Staged only: the current image keeps the running program.
    x.device()->stageimage(image);
    MainApp::delayms(50, true);
    setupprogress(lan("Write data...", "写数据..."), 1, true);
    writestaged(x, n, false);
}

bool FormSetView::readstoredprogram(uchar n, QByteArray *image)
{
    if (n < 1 || n > kUserPrograms)
        return false;
    QProgressDialog window(this);
    // The button made before the window is shown: it is shown once, as it stays.
    CancelButton cancel(&window, canceltext());
    showprogress(window, numbered("SaveProgram ", "保存程式 ", n), 0, true);
    BusyCursor cursor;
    ProgramReader reader;
    int firsttries = 0;
    const bool ok =
        reader.read(n, [&](int part, bool) { window.setValue(part == 0 ? 5 * ++firsttries : 50 + part); });
    if (!ok) {
        window.setValue(100);
        return false;
    }
    MainApp::delayms(100, true);
    for (int v = 77; v <= 80; ++v) {
        window.setValue(v);
        MainApp::delayms(100, true);
    }
    if (gMainApp->getcurdevice() != reader.device()) {
        window.setValue(100);
        return false;
    }
    if (image)
        *image = reader.image();
    else
        reader.device()->storereceivedprogram(n);
    for (int v : {90, 95, 100}) {
        window.setValue(v);
        if (v != 100)
            MainApp::delayms(100, true);
    }
    return true;
}

void FormSetView::on_btnloadcurdata_4_clicked()
{
    if (isbusy() || !connected())
        return;
    Busy b(this);
    Exchange x; // the device current now is the one read
    const int type = x.device()->gettype();
    const QString path =
        withsuffix(Prompts::saveFileName(this, lan("Save Program Collection File", "保存程序数据文件"),
                                         QString(), collectionfilefilter(type)),
                   collectionfilesuffix(type));
    if (path.isEmpty() || !filewritable(path, false))
        return;
    // The first program that cannot be read ends the reads (a silent
    // processor would otherwise be asked for every other one in vain), as do
    // a lost link, Cancel and closing. Nothing is written nor kept then.
    QByteArray images;
    int read = 0;
    for (int n = 1; n <= kUserPrograms && x.usable(); ++n) {
        QByteArray image;
        if (!readstoredprogram(uchar(n), &image) || image.size() != kProgramImageSize)
            break;
        images += image;
        ++read;
    }
    if (read < kUserPrograms || !x.usable()) {
        if (x.state() != Exchange::Result::Closing)
            Prompts::critical(this, lan("Cannot Save To PC ", "无法保存至PC端"),
                              lan("this file is save error\n can not be used and opened\n Please save Again",
                                  "保存当前文件出错\n文件无法打开或访问\n请重试"));
        return;
    }
    QString reason;
    if (writecollectionfile(path, images, nullptr, &reason) != ProgramFileStatus::Ok) {
        showwritefailure(path, reason, false);
        return;
    }
    // The slots hold what the file holds.
    for (int n = 1; n <= kUserPrograms; ++n)
        for (int k = 0; k < kProgramImageSize; ++k)
            x.device()->setstoredbyte(n - 1, k, quint8(images.at((n - 1) * kProgramImageSize + k)));
    readprogram(0);
    Prompts::information(this, lan("Save All Data To PC OK ", "保存全部数据至PC端完成"),
                         lan("Save All Data To PC OK", "保存全部数据至PC端完成"));
}

void FormSetView::on_btnloadcurdata_5_clicked()
{
    if (isbusy() || !connected())
        return;
    Busy b(this);
    Exchange x; // the device current now is the one written
    const QString path =
        Prompts::openFileName(this, QString(), QString(), collectionfilefilter(x.device()->gettype()));
    if (path.isEmpty())
        return;
    QByteArray images;
    QString reason;
    const ProgramFileStatus status = readcollectionfile(path, images, nullptr, &reason);
    if (!readsucceeded(status, path, reason, false) || !imagesusable(this, images))
        return;
    MainApp::delayms(50, true);
    // The page's progress calls reach this one window for the whole load.
    std::unique_ptr<QProgressDialog> own(new QProgressDialog(this));
    progress.swap(own);
    const auto restore = [&] { progress.swap(own); };
    // One Cancel button for the whole load, made before the window is shown.
    std::unique_ptr<CancelButton> cancel(
        new CancelButton(progress.get(), canceltext(), CancelButton::Ends::AfterStep));
    // Programs are written one after the other, each whole: Cancel takes
    // effect before the next one. Each program written goes to the model
    // with the name the processor gives it back at once, so that the list
    // shows what the processor holds however the load ends.
    int written = 0;
    int incomplete = 0; // the program cut off mid-way, if any
    Exchange::Result failure = Exchange::Result::Answered;
    for (int n = 1; n <= kUserPrograms; ++n) {
        if (LongExchange::stopasked())
            break;
        if (!x.usable()) {
            failure = x.state();
            break;
        }
        const QByteArray image = images.mid((n - 1) * kProgramImageSize, kProgramImageSize);
        x.device()->stageimage(image);
        showprogress(*progress, numbered("WriteProgram ", "写入数据 ", n), 0, true);
        progress->setValue(1);
        QString name;
        WriteEnd end;
        const bool whole = writestaged(x, n, true, &name, &end);
        if (end.partswritten) {
            written = n;
            if (x.usable())
                for (int k = 0; k < kProgramImageSize; ++k)
                    x.device()->setstoredbyte(n - 1, k, quint8(image.at(k)));
        }
        if (whole && x.usable())
            x.device()->setnamerecord(name);
        if (!whole) {
            failure = Exchange::Result(end.result);
            if (!end.partswritten)
                incomplete = n;
            break;
        }
    }
    cancel.reset();
    restore();
    // The application closing (or the window) ends the load without a word.
    if (failure == Exchange::Result::Closing)
        return;
    // The name of a program cut off mid-way, if the processor still answers
    // (not once Cancel was asked for: a processor silent then is not waited for).
    if (incomplete > 0 && x.usable() && !LongExchange::stopasked()) {
        Exchange::Request r = namerequest(incomplete);
        r.sends = 1;
        if (x.run(r, [incomplete] { gMainApp->sendreadprogramname(incomplete); }) ==
                Exchange::Result::Answered &&
            x.usable())
            x.device()->setnamerecord(x.reply().slice(14, 44));
    }
    refreshprogram();
    if (written == kUserPrograms && failure == Exchange::Result::Answered) {
        readprogram(0);
        return;
    }
    // Which programs the processor now holds from the file.
    QStringList lines;
    if (written == 0)
        lines << lan("No program was written", "没有写入任何程式");
    else if (written == 1)
        lines << lan("Program 1 was written", "程式 1 已写入");
    else
        lines << lan("Programs 1 to %1 were written", "程式 1 至 %1 已写入").arg(written);
    if (incomplete > 0)
        lines << lan("Program %1 is incomplete", "程式 %1 未完整写入").arg(incomplete);
    if (failure == Exchange::Result::Answered) {
        Prompts::information(this, lan("Load All Data From PC Cancelled", "从PC端加载全部数据已取消"),
                             lines.join(QLatin1Char('\n')));
        return;
    }
    lines << (failure == Exchange::Result::LinkLost ? linedroppedtext() : lan("Please Try Again", "请重试"));
    Prompts::critical(this, lan("Download Program Failed ", "下载程式失败"), lines.join(QLatin1Char('\n')));
}

// ---------------------------------------------------------------------------
// Logo upload

void FormSetView::setlogobit(int position, int value)
{
    if (!gMainApp || position < 0 || position >= 8 * MainApp::kLogoBytes)
        return;
    const uchar mask = uchar(0x80 >> (position % 8));
    uchar &byte = gMainApp->logobuild[position / 8];
    byte = value != 0 ? uchar(byte | mask) : uchar(byte & ~mask);
}

void FormSetView::on_pushButton_51_clicked()
{
    if (isbusy())
        return;
    if (!connected()) {
        Prompts::critical(this, lan("Can't Load Logo", "无法加载商标"),
                          lan("Please Connect First", "   请先连接设备  "));
        return;
    }
    const QString path = Prompts::openFileName(this, QString(), QString(),
                                               tr("single program File (*.bmp *.jpg *.png *.JPEG)"));
    if (path.isEmpty())
        return;
    // What was built before is not sent once another file was chosen.
    ui->pushButton_61->hide();
    ui->label_12->clear();
    // A picture larger than a logo could need, of another kind or cut off
    // is refused before it is decoded.
    QString reason;
    const QImage picture = readlogopicture(path, &reason, chinese());
    if (picture.isNull()) {
        showreadfailure(path, reason, false);
        return;
    }
    // The preview shows the part that is sent, in colour, pixel for pixel,
    // laid onto white: what the picture does not cover, and what it leaves
    // transparent, is light.
    QImage shown(128, 64, QImage::Format_RGB32);
    shown.fill(Qt::white);
    {
        QPainter painter(&shown);
        painter.drawImage(0, 0, picture);
    }
    // The bits are read from what the preview shows, so a transparent pixel
    // (whatever colour it carries) is sent light. A picture without
    // transparency is read as it was loaded.
    const QImage &sampled = picture.hasAlphaChannel() ? shown : picture;
    // The top-left 128 x 64 pixels, not scaled; pixels the picture does not
    // have are light. Dark: grey level below 253 (weights 11, 16, 5 of 32).
    std::fill(std::begin(gMainApp->logobuild), std::end(gMainApp->logobuild), uchar(0));
    for (int p = 0; p < 8; ++p)
        for (int x = 0; x < 128; ++x)
            for (int y = 8 * p + 7; y >= 8 * p; --y) {
                bool dark = false;
                if (sampled.valid(x, y)) {
                    const QRgb c = sampled.pixel(x, y);
                    dark = 11 * qRed(c) + 16 * qGreen(c) + 5 * qBlue(c) < 8096;
                }
                setlogobit(8 * (128 * p + x) + (8 * p + 7 - y), dark ? 1 : 0);
            }
    ui->label_12->setPixmap(QPixmap::fromImage(shown));
    ui->pushButton_61->show();
}

void FormSetView::on_pushButton_61_clicked()
{
    if (isbusy())
        return;
    if (!connected()) {
        Prompts::critical(this, lan("Can't Mody Logo", "无法修改商标"),
                          lan("Please Connect First", "请先连接"));
        return;
    }
    if (current()->getlocktype() != 0) {
        Prompts::critical(this, lan("Can't Mody Logo", "无法修改商标"),
                          lan("Please Unlock First", "请解锁后重试!"));
        return;
    }
    Busy b(this);
    Exchange x; // the device current now is the one the logo goes to
    BusyCursor cursor;
    gMainApp->logocount = 0;
    gMainApp->logsenddata();
    // One block at a time: the processor's acknowledgement names no block,
    // so only its timing tells which block it answers: a reply counts for
    // the block sent last, and a second reply that comes before the next
    // block goes out counts for nothing. A block left unanswered is sent
    // again, within a bound, and then the upload fails.
    int stored = 0;
    Exchange::Result result = Exchange::Result::Answered;
    for (int block = 0; block < kLogoBlocks && result == Exchange::Result::Answered; ++block) {
        result = x.run(logorequest(), [block] { gMainApp->sendlogoblock(block); });
        if (result == Exchange::Result::Answered)
            ++stored;
    }
    cursor.end();
    if (stored == kLogoBlocks) {
        Prompts::information(this, lan("Mody Logo Ok", "更改商标完成"),
                             lan("Restart Device You Can See The New Logo", "重启设备可见新的商标"));
        return;
    }
    if (result == Exchange::Result::LinkLost)
        Prompts::critical(this, lan("Can't Mody Logo", "无法修改商标"), linedroppedtext());
    else if (result != Exchange::Result::Closing)
        Prompts::critical(
            this, lan("Can't Mody Logo", "无法修改商标"),
            lan("The logo was not acknowledged completely. Please Try Again", "商标未完整写入设备，请重试"));
}
