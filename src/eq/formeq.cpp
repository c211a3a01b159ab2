#include "formeq.h"

#include "channellinks.h"
#include "devicedata.h"
#include "formeqbtns.h"
#include "formeqdraw.h"
#include "formfir.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "panelwindow.h"
#include "throttletimer.h"
#include "ui_formeq.h"

#include <QCloseEvent>
#include <QDebug>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cmath>
#include <initializer_list>

FormEq *gFormEq = nullptr;

namespace
{

using Form = Ui::FormEq;

constexpr int kSendMs = 50;
constexpr int kReloadWaitMs = 150;
constexpr int kMaxGain = 520;
constexpr int kZeroDb = 400;
constexpr int kType24 = 0x18;
constexpr int kBandPass = 3;
constexpr int kRectangular = 2;
constexpr int kHamming = 6;

const char *const kUnmuted = "background-image:url(:/eq/skin/PEQ03c.png);";
const char *const kMuted = "background-image:url(:/eq/skin/PEQ05.png);";

// Channel buttons 1..12 and the first device view (1 type 22, 2 type 20)
// that lacks each channel; 3: never.
QPushButton *Form::*const kChannelButtons[FormEq::kChannels] = {
    &Form::eqbtnina,  &Form::eqbtninb,  &Form::eqbtninc,  &Form::eqbtnind,
    &Form::eqbtnout1, &Form::eqbtnout2, &Form::eqbtnout3, &Form::eqbtnout4,
    &Form::eqbtnout5, &Form::eqbtnout6, &Form::eqbtnout7, &Form::eqbtnout8};
const int kHiddenFrom[FormEq::kChannels] = {3, 3, 2, 1, 3, 3, 3, 3, 2, 2, 1, 1};

const char *const kSlopeEn[13] = {"FLAT THRU",  "Bessel  12", "Butwrth 12", "Lnk/Ril 12", "Bessel  24",
                                  "Butwrth 24", "Lnk/Ril 24", "Bessel  36", "Butwrth 36", "Lnk/Ril 36",
                                  "Bessel  48", "Butwrth 48", "Lnk/Ril 48"};
const char *const kSlopeZh[13] = {"平直",         "贝塞尔  12",    "巴特沃斯  12",  "林奎/瑞利  12",
                                  "贝塞尔  24",   "巴特沃斯  24",  "林奎/瑞利  24", "贝塞尔  36",
                                  "巴特沃斯  36", "林奎/瑞利  36", "贝塞尔  48",    "巴特沃斯  48",
                                  "林奎/瑞利  48"};
const char *const kFirTypeEn[4] = {"FLAT", "HP", "LP", "BP"};
const char *const kFirTypeZh[4] = {"平直", "高通", "低通", "带通"};
const char *const kWindows[11] = {"BartlettWin",       "BartLettHannWin", "RectangularWin", "HannWin",
                                  "BohmanWin",         "ParzenWin",       "HammingWin",     "BlackManWin",
                                  "BlackManHarrisWin", "FlatTopWin",      "NuttalWin"};

DeviceData *device()
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool linkup(const DeviceData *d)
{
    return d && (d->getcomconnected() || d->gettcpconnected());
}

bool chinese()
{
    return gGlobalContrl && gGlobalContrl->getlanguage() != 0;
}

QString tr2(const char *en, const char *zh)
{
    return QString::fromUtf8(chinese() ? zh : en);
}

// Window number of a list entry of an HP or BP list, and back.
int twowindow(int entry)
{
    return entry == 1 ? kHamming : kRectangular;
}

int twoentry(int window)
{
    return window == kHamming ? 1 : 0;
}

} // namespace

FormEq::FormEq(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FormEq)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/gain/skin/crcone1.png")));
    // Start state of the form: the crossover area appears for outputs, the
    // scroll sliders are hidden, the sliders hold grid indices and raw gain.
    ui->widgetoutaa->setGeometry(39, 192, 723, 103);
    ui->widgetoutaa->hide();
    ui->vlSlidereqview->setRange(0, 4);
    ui->vlSlidereqview->setValue(4);
    ui->sldreqfirlow->setRange(190, 398);
    ui->sldreqfirhigh->setRange(190, 398);
    ui->sldreqfirhigh->setValue(40);
    ui->vlSliderGain_1->setRange(0, kMaxGain);
    ui->sldreqfreqlow->setRange(35, 398);
    ui->sldreqfreqhigh->setRange(35, 398);
    ui->sldreqfreqhigh->setValue(40);

    // The FIR window is top-level and never blocks the page; it is placed
    // each time it comes up (showpanel).
    firwindow = new FormFir(nullptr);
    firwindow->installEventFilter(this);
    // The channel buttons stay in reach with the panels up, and so do the
    // boxes that turn FIR off and shape it and the FIR frequencies, the main
    // value of a high, low or band pass: without a window manager a panel
    // cannot be moved off them.
    keepclear(ui->widgeteqtop);
    for (QWidget *box :
         std::initializer_list<QWidget *>{ui->comboBox_ir, ui->cbxFirFlat, ui->cbxFirWindows, ui->cbxFirorder,
                                          ui->Editeqfirfreqlow, ui->Editeqfirfreqhigh})
        keepclear(box);

    connect(ui->sldreqfreqlow, &QSlider::valueChanged, this, &FormEq::onsldreqfreqlow);
    connect(ui->sldreqfreqhigh, &QSlider::valueChanged, this, &FormEq::onsldreqfreqhigh);
    connect(ui->sldreqfirlow, &QSlider::valueChanged, this, &FormEq::onsldreqfirlow);
    connect(ui->sldreqfirhigh, &QSlider::valueChanged, this, &FormEq::onsldreqfirhigh);

    channel = 0;
    if (gMainApp)
        gMainApp->setpeqchannel(0);
    ui->eqbtnina->setChecked(true);
    ui->widgeteqbtn->setGeometry(0, 0, 748, 208);
    ui->vlSlidereqview->hide();
    ui->vlSlidereqview_2->setRange(0, 1);
    ui->vlSlidereqview_2->hide();

    Formeqbtns *bands = ui->widgeteqbtn;
    FormEqDraw *draw = ui->widgetdraw;
    connect(bands, &Formeqbtns::peqredraw, this, &FormEq::peqredraw);
    connect(bands, &Formeqbtns::peqredrawallbtns, this, &FormEq::peqredrawallbtns);
    connect(bands, &Formeqbtns::peqredrawbypass, this, &FormEq::peqredrawbypass);
    connect(draw, &FormEqDraw::btnschangevalue, bands, &Formeqbtns::btnschangegainvalue);
    connect(draw, &FormEqDraw::btnschanged, bands, &Formeqbtns::btnschanged);
    connect(draw, &FormEqDraw::btnschanged, this, &FormEq::btnschanged);
    connect(draw, &FormEqDraw::btnscutchangevalue, this, &FormEq::btnscutchangevalue);
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormEq::refreshLanText);

    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &FormEq::timetosend);
    sendtimer->startticks(kSendMs);

    ui->widgetpeqlockback->hide();
    ui->widgetpeqlockback_2->hide();
    ui->widget_iir->show();
    ui->widget_fir->hide();
    devtype = kType24;
}

FormEq::~FormEq()
{
    delete firwindow;
    delete ui;
}

// ---------------------------------------------------------------------------
// Channel selection and reload

void FormEq::on_eqbtnina_clicked()
{
    channelclicked(1);
}
void FormEq::on_eqbtninb_clicked()
{
    channelclicked(2);
}
void FormEq::on_eqbtninc_clicked()
{
    channelclicked(3);
}
void FormEq::on_eqbtnind_clicked()
{
    channelclicked(4);
}
void FormEq::on_eqbtnout1_clicked()
{
    channelclicked(5);
}
void FormEq::on_eqbtnout2_clicked()
{
    channelclicked(6);
}
void FormEq::on_eqbtnout3_clicked()
{
    channelclicked(7);
}
void FormEq::on_eqbtnout4_clicked()
{
    channelclicked(8);
}
void FormEq::on_eqbtnout5_clicked()
{
    channelclicked(9);
}
void FormEq::on_eqbtnout6_clicked()
{
    channelclicked(10);
}
void FormEq::on_eqbtnout7_clicked()
{
    channelclicked(11);
}
void FormEq::on_eqbtnout8_clicked()
{
    channelclicked(12);
}

void FormEq::channelclicked(int n)
{
    if (!gMainApp)
        return;
    gMainApp->seteqviewch(n);
    selectchannel(n);
}

void FormEq::updateeq()
{
    if (gMainApp)
        selectchannel(gMainApp->geteqviewch());
}

void FormEq::selectchannel(int n)
{
    if (!gMainApp || n < 1 || n > kChannels)
        return;
    devtype = gMainApp->getdevtype();
    channel = n - 1;
    gMainApp->setpeqchannel(channel);
    gMainApp->peqloading = 1;
    updatenewdata();
    (ui->*kChannelButtons[channel])->setChecked(true);

    const bool t24 = devtype == kType24;
    ui->widgetoutaa->setVisible(isoutput());
    if (t24) {
        // Four bands on the inputs, five on the outputs: one short scroll for
        // the outputs, whose crossover row covers the lower strips.
        ui->vlSlidereqview->hide();
        viewpos = 4;
        if (isoutput()) {
            ui->vlSlidereqview_2->show();
            ui->vlSlidereqview_2->setValue(viewpos2);
            on_vlSlidereqview_2_valueChanged(ui->vlSlidereqview_2->value());
        } else {
            viewpos2 = 1;
            ui->vlSlidereqview_2->hide();
            ui->widgeteqbtn->setGeometry(0, 0, 748, 208);
        }
    } else {
        if (channel == 3)
            viewpos = 4;
        viewpos2 = 1;
        ui->vlSlidereqview_2->hide();
        ui->vlSlidereqview->show();
        ui->vlSlidereqview->setValue(viewpos);
        on_vlSlidereqview_valueChanged(ui->vlSlidereqview->value());
    }
    ui->widgeteqbtn->showbands(t24 ? (isoutput() ? 5 : 4) : Formeqbtns::kBands);
}

void FormEq::updatenewdata()
{
    if (!gMainApp || !device())
        return;
    gMainApp->peqloading = 1;
    Formeqbtns *bands = ui->widgeteqbtn;
    bands->setchannel(channel);
    bands->loadfreqs(channel);
    bands->loadgains(channel);
    bands->loadwidths(channel);
    bands->loadbypass(channel);
    refreshgain();
    refreshfir();
    if (isoutput())
        refreshxover(channel);
    ui->btneqbypassall->setChecked(gMainApp->getcurpeqbypassall() != 0);
    ui->widgetdraw->repaintcurve();
    if (gMainApp->peqloading) {
        // Ticks and replies run; the user's input waits for the whole channel.
        MainApp::delayms(kReloadWaitMs, true);
        gMainApp->peqloading = 0;
    }
}

void FormEq::updatepeqview(int view)
{
    updatepeqlock();
    if (!gMainApp)
        return;
    if (gMainApp->getpeqchannel() >= 0 && gMainApp->getpeqchannel() < kChannels)
        channel = gMainApp->getpeqchannel();
    if (view < 0 || view > 2)
        return;
    devtype = gMainApp->getdevtype();
    // A channel the device lacks is never kept: the page goes to its first
    // channel, so that nothing is counted or sent for the missing one.
    if (view >= kHiddenFrom[channel]) {
        channel = 0;
        gMainApp->setpeqchannel(0);
        (ui->*kChannelButtons[0])->setChecked(true);
        ui->widgetoutaa->hide();
    }
    updatenewdata();
    for (int ch = 0; ch < kChannels; ++ch)
        (ui->*kChannelButtons[ch])->setVisible(view < kHiddenFrom[ch]);
    slopecount = view == 0 ? 10 : 13;
    fillslopes();
    if (view == 0) {
        ui->vlSlidereqview->hide();
        viewpos = 4;
        if (!isoutput()) {
            ui->widgeteqbtn->setGeometry(0, 0, 748, 208);
            viewpos2 = 1;
            ui->vlSlidereqview_2->hide();
        } else {
            ui->vlSlidereqview_2->show();
            ui->widgeteqbtn->setGeometry(0, 0, 748, 260);
            ui->vlSlidereqview_2->setValue(1);
            on_vlSlidereqview_2_valueChanged(1);
        }
        ui->widgeteqbtn->showbands(isoutput() ? 5 : 4);
    } else {
        viewpos2 = 1;
        ui->vlSlidereqview->setValue(4);
        on_vlSlidereqview_valueChanged(4);
        ui->vlSlidereqview->show();
        ui->vlSlidereqview_2->hide();
        ui->widgeteqbtn->setGeometry(0, 0, 748, 500);
        ui->widgeteqbtn->showbands(Formeqbtns::kBands);
    }
}

void FormEq::updateoutphase(int ch)
{
    if (ch > 3 && ch < kChannels && ch == channel)
        refreshxover(ch);
}

// ---------------------------------------------------------------------------
// Band panel scroll and the plot

void FormEq::on_vlSlidereqview_valueChanged(int v)
{
    viewpos = v;
    if (v >= 0 && v <= 4)
        ui->widgeteqbtn->setGeometry(0, 52 * v - 208, 748, 500);
}

void FormEq::on_vlSlidereqview_2_valueChanged(int v)
{
    viewpos2 = v;
    if (v == 0)
        ui->widgeteqbtn->setGeometry(0, -104, 748, 260);
    else if (v == 1)
        ui->widgeteqbtn->setGeometry(0, 0, 748, 260);
}

void FormEq::btnschanged(int band)
{
    if (!gMainApp)
        return;
    devtype = gMainApp->getdevtype();
    if (devtype != kType24) {
        ui->vlSlidereqview->show();
        ui->vlSlidereqview_2->hide();
        viewpos = 1;
        const int v = band <= 1 ? 4 : band <= 3 ? 2 : 0;
        ui->vlSlidereqview->setValue(v);
        on_vlSlidereqview_valueChanged(v);
    } else {
        ui->vlSlidereqview->hide();
        ui->vlSlidereqview_2->show();
        if (isoutput()) {
            const int v = band <= 2 ? 1 : 0;
            ui->vlSlidereqview_2->setValue(v);
            on_vlSlidereqview_2_valueChanged(v);
        } else {
            viewpos2 = 1;
        }
        viewpos = 4;
    }
}

void FormEq::peqredrawallbtns()
{
    ui->widgetdraw->loadpoints();
}

void FormEq::peqredraw(int band)
{
    ui->widgetdraw->updatepoint(band);
}

void FormEq::peqredrawbypass()
{
    ui->widgetdraw->repaintcurve();
}

// ---------------------------------------------------------------------------
// Gain strip, mute, bypass-all

void FormEq::refreshgain()
{
    const DeviceData *d = device();
    if (!d || channel < 0 || channel >= kChannels)
        return;
    gMainApp->gainloading = 1;
    ui->vlSliderGain_1->setValue(d->getgain(channel));
    ui->eq_lineEdit->setValue(ui->vlSliderGain_1->value() / 10.0 - 40.0);
    gMainApp->gainloading = 0;
    ui->eq_btngainm->setStyleSheet(QLatin1String(d->getmute(channel) ? kMuted : kUnmuted));
}

void FormEq::on_vlSliderGain_1_valueChanged(int v)
{
    ui->eq_lineEdit->setValue(v / 10.0 - 40.0);
    if (gMainApp && !gMainApp->gainloading)
        emit sendtogainview(channel, v);
}

void FormEq::on_eqbtnup_clicked()
{
    ui->vlSliderGain_1->setValue(ui->vlSliderGain_1->value() + 1);
}

void FormEq::on_eqbtndown_clicked()
{
    ui->vlSliderGain_1->setValue(ui->vlSliderGain_1->value() - 1);
}

void FormEq::on_eq_lineEdit_editingFinished()
{
    // The box has already read its text: a text that is no number left its
    // value as it was. Only Return applies it; leaving the box shows the
    // slider's value again.
    if (ui->eq_lineEdit->hasFocus()) {
        const double tenths = ui->eq_lineEdit->value() * 10.0;
        const int raw = kZeroDb + int(std::trunc(tenths + (tenths < 0 ? -1e-6 : 1e-6)));
        ui->vlSliderGain_1->setValue(qBound(0, raw, kMaxGain));
    }
    ui->eq_lineEdit->setValue(ui->vlSliderGain_1->value() / 10.0 - 40.0);
}

void FormEq::on_eq_btngainm_clicked()
{
    DeviceData *d = device();
    if (!d || channel < 0 || channel >= kChannels)
        return;
    const int now = gMainApp->getmute(channel) ? 0 : 1;
    ui->eq_btngainm->setStyleSheet(QLatin1String(now ? kMuted : kUnmuted));
    d->setmute(channel, now);
    gMainApp->sendgain(channel);
    linkmute(now);
}

void FormEq::linkmute(int v)
{
    DeviceData *d = device();
    if (!d)
        return;
    for (int m : channellinks::group(channel, d->getlinkmask(channel), gMainApp->inputlinkon != 0,
                                     gMainApp->outputlinkon != 0))
        d->setmute(m, v);
}

void FormEq::on_btneqbypassall_clicked()
{
    DeviceData *d = device();
    if (!d || channel < 0 || channel >= kChannels)
        return;
    const int b = 1 - gMainApp->getcurpeqbypassall();
    gMainApp->setcurpeqbypassall(uchar(b));
    ui->btneqbypassall->setChecked(b != 0);
    ui->widgetdraw->repaintcurve();
    gMainApp->sendbypassflags(0);
    for (int m : channellinks::group(channel, d->getlinkmask(channel), gMainApp->inputlinkon != 0,
                                     gMainApp->outputlinkon != 0))
        d->setpeqbypassall(m, b != 0);
    emit peqbypassalltomain();
    ui->widgeteqbtn->repaintphase();
}

// ---------------------------------------------------------------------------
// Throttle

void FormEq::count(XoItem item)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % 5;
    pending[output()][item] = true;
    ++pendingcount;
    if (item == Fir) {
        firsend = 1;
    } else {
        firsend = 0;
        xokind = item == LowPass ? 1 : 0;
    }
}

int FormEq::pendingitems() const
{
    int n = 0;
    for (const auto &row : pending)
        n += int(std::count(std::begin(row), std::end(row), true));
    return n;
}

void FormEq::timetosend()
{
    if (pendingcount == 0)
        sendtimer->sleep(); // nothing pending: no ticks until the next change
    if (pendingcount < 4) {
        ++tickcount;
        if (tickcount < 5)
            return;
        if (pendingcount < 1) {
            tickcount = 0;
            return;
        }
    }
    tickcount = 0;
    // While the controls load the changes wait for a later tick.
    if (loading || !gMainApp)
        return;
    // A frame for another output whose link group holds the output shown
    // changed it on the processor and in the model: the page shows it again.
    bool shownchanged = false;
    for (int o = 0; o < kOutputs; ++o) {
        if (pending[o][HighPass])
            gMainApp->sendxover(4 + o, 0);
        if (pending[o][LowPass])
            gMainApp->sendxover(4 + o, 1);
        if (pending[o][Fir])
            gMainApp->sendfir(4 + o);
        const bool sent = pending[o][HighPass] || pending[o][LowPass] || pending[o][Fir];
        shownchanged =
            shownchanged || (sent && 4 + o != channel && gMainApp->linkgroup(4 + o).contains(channel));
    }
    for (auto &row : pending)
        std::fill(std::begin(row), std::end(row), false);
    pendingcount = 0;
    if (shownchanged) {
        refreshfir();
        refreshxover(channel);
    }
}

// ---------------------------------------------------------------------------
// Lock, keys, close, language

void FormEq::updatepeqlock()
{
    const DeviceData *d = device();
    const bool locked = linkup(d) && (d->getlocktype() & ~2) == 1;
    ui->widgetpeqlockback->setVisible(locked);
    ui->widgetpeqlockback_2->setVisible(locked);
    // The overlays stop the mouse; the keyboard reaches no covered control
    // either. The channel buttons stay free: choosing a channel edits nothing.
    for (QWidget *w :
         {ui->widgeteqgain, static_cast<QWidget *>(ui->widgetdraw), ui->widgeteqbtns, ui->widgetoutaa,
          static_cast<QWidget *>(ui->btneqbypassall), static_cast<QWidget *>(ui->vlSlidereqview),
          static_cast<QWidget *>(ui->vlSlidereqview_2)})
        w->setEnabled(!locked);
    if (locked) {
        ui->widgetpeqlockback->raise();
        ui->widgetpeqlockback_2->raise();
    }
}

void FormEq::keyPressEvent(QKeyEvent *event)
{
    // Up and Down step a focused corner field; no key goes further (Escape
    // does not close the page).
    const int delta = event->key() == Qt::Key_Up ? 1 : event->key() == Qt::Key_Down ? -1 : 0;
    if (!delta)
        return;
    if (ui->Editeqfreqhigh->hasFocus())
        ui->sldreqfreqhigh->setValue(ui->sldreqfreqhigh->value() + delta);
    if (ui->Editeqfreqlow->hasFocus())
        ui->sldreqfreqlow->setValue(ui->sldreqfreqlow->value() + delta);
}

void FormEq::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // In the main window's area the page is in front only while it is the
    // topmost sub-window shown: follow the others' activation, showing and
    // hiding.
    if (!watching) {
        if (QMdiArea *area = pagearea()) {
            watching = true;
            parentWidget()->installEventFilter(this);
            connect(area, &QMdiArea::subWindowActivated, this, &FormEq::refront);
            for (QMdiSubWindow *sub : area->subWindowList())
                if (sub != parentWidget())
                    sub->installEventFilter(this);
        }
    }
    setfront(atfront());
}

void FormEq::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!restating)
        setfront(false);
}

bool FormEq::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == firwindow) {
        // The user's close request: the panel stays closed for now.
        if (event->type() == QEvent::Close)
            firclosed = true;
    } else if (watched == parentWidget()) {
        if (event->type() == QEvent::WindowStateChange && !restating) {
            restating = true;
            QTimer::singleShot(0, this, [this] {
                restating = false;
                setfront(atfront());
            });
        }
    } else if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        refront();
    }
    return QDialog::eventFilter(watched, event);
}

void FormEq::refront()
{
    if (refronting)
        return;
    refronting = true;
    QTimer::singleShot(0, this, [this] {
        refronting = false;
        setfront(atfront());
    });
}

QMdiArea *FormEq::pagearea() const
{
    const auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    return sub ? sub->mdiArea() : nullptr;
}

bool FormEq::atfront() const
{
    if (!isVisible())
        return false;
    const QMdiArea *area = pagearea();
    if (!area)
        return true;
    const QList<QMdiSubWindow *> stack = area->subWindowList(QMdiArea::StackingOrder);
    for (int k = stack.size() - 1; k >= 0; --k) {
        if (!stack[k]->isHidden())
            return stack[k] == parentWidget();
    }
    return false;
}

void FormEq::setfront(bool on)
{
    if (on == front)
        return;
    front = on;
    // Other pages may have changed the gain and mute meanwhile.
    if (on)
        refreshgain();
    ui->widgeteqbtn->setpageshown(on);
    updatefirpanel();
}

void FormEq::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hideeqview();
    event->ignore();
}

void FormEq::fillslopes()
{
    const DeviceData *d = device();
    ++loading;
    for (QComboBox *c : {ui->cbxHPFSlopehigh, ui->cbxHPFSlopelow}) {
        c->clear();
        for (int k = 0; k < slopecount; ++k)
            c->addItem(tr2(kSlopeEn[k], kSlopeZh[k]));
    }
    if (d && isoutput()) {
        // A stored slope the list does not hold selects nothing.
        const int hp = d->gethpftype(output());
        const int lp = d->getlpftype(output());
        ui->cbxHPFSlopehigh->setCurrentIndex(hp < slopecount ? hp : -1);
        ui->cbxHPFSlopelow->setCurrentIndex(lp < slopecount ? lp : -1);
    }
    --loading;
}

void FormEq::refreshLanText()
{
    fillslopes();
    ui->labelhp->setText(tr2("HIGH PASS", "高通"));
    ui->labellp->setText(tr2("LOW PASS", "低通"));
    ui->labeltype->setText(tr2("TYPE", "类型"));
    ui->labelfreq->setText(tr2("FREQUENCY", "频率"));
    ++loading;
    ui->cbxFirFlat->clear();
    for (int k = 0; k < 4; ++k)
        ui->cbxFirFlat->addItem(tr2(kFirTypeEn[k], kFirTypeZh[k]));
    const DeviceData *d = device();
    if (d && isoutput()) {
        const int t = d->getxobyte0(output());
        ui->cbxFirFlat->setCurrentIndex(t <= kBandPass ? t : -1);
    }
    --loading;
    ui->label_filter->setText(tr2("FILTER", "过滤"));
    ui->label_winfun->setText(tr2("WINDOW FUNCTION", "窗函数"));
    ui->label_order->setText(tr2("ORDER", "阶数"));
    ui->label_hp->setText(tr2("HP PASS", "高通"));
    ui->label_lp->setText(tr2("LP PASS", "低通"));
    ui->label_firfreq->setText(tr2("FREQUENCY", "频率"));
    ui->btneqbypassall->setText(tr2("BypassAll", "全直通"));
}

// ---------------------------------------------------------------------------
// Output crossover (IIR) and FIR controls

template <typename Setter> void FormEq::linkout(Setter set)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    for (int m : channellinks::group(channel, d->getlinkmask(channel), gMainApp->inputlinkon != 0,
                                     gMainApp->outputlinkon != 0))
        set(d, m - 4);
}

void FormEq::linkfircorner(bool high, int v)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    const bool bp = d->getxobyte0(output()) >= kBandPass;
    linkout([&](DeviceData *x, int o) {
        if (!bp) {
            high ? x->setfirlowfreq(o, v) : x->setfirhighfreq(o, v);
            return;
        }
        // A partner keeps its band-pass corners in order.
        if (high && v < x->getfirhighparam(o))
            x->setfirlowparam(o, v);
        else if (!high && v > x->getfirlowparam(o))
            x->setfirhighparam(o, v);
    });
}

void FormEq::showfirwindow()
{
    // A user's FIR action brings a closed panel back.
    firclosed = false;
    updatefirpanel();
}

void FormEq::updatefirpanel()
{
    const DeviceData *d = device();
    bool wanted = front && d && isoutput() && d->getfirflag(output()) != 0;
    // A panel the user closed stays closed until its condition ends.
    if (!wanted)
        firclosed = false;
    wanted = wanted && !firclosed;
    // Shown without taking the keyboard from the page's control.
    showpanel(firwindow, this, wanted);
}

void FormEq::cornertext(QLineEdit *edit, int index, bool fir)
{
    const double hz = fir ? gMainApp->getgridfreq(index) : double(gMainApp->getfreqvalue(index));
    edit->setText(QString::number(hz, 'f', 1));
}

void FormEq::corneredited(QLineEdit *edit, QSlider *slider, int limit, bool fir)
{
    // Only Return applies a text; a text that is no number, or a field left
    // without Return, shows the slider's frequency again.
    if (edit->hasFocus() && isoutput()) {
        bool ok = false;
        const double x = edit->text().trimmed().toDouble(&ok);
        if (ok && std::isfinite(x)) {
            const float f = float(qBound(-1.0, x, 1.0e6)) - 0.005f;
            const int i = fir ? int(gMainApp->findgridindex(int(f))) : Formeqbtns::nearestfreqindex(f);
            if (edit == ui->Editeqfirfreqhigh)
                qDebug() << "index:" << i;
            if (fir)
                showfirwindow();
            slider->setValue(qMin(i, limit));
        }
    }
    cornertext(edit, slider->value(), fir);
}

void FormEq::onsldreqfreqhigh(int v)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    const int lp = d->getlpffreq(output());
    if (v >= lp) {
        ui->sldreqfreqhigh->setValue(lp - 1);
        return;
    }
    cornertext(ui->Editeqfreqhigh, v, false);
    if (loading)
        return;
    d->sethpffreq(output(), v);
    ui->widgetdraw->updatepoint(10);
    count(HighPass);
    linkout([v](DeviceData *x, int o) { x->sethpffreq(o, v); });
}

void FormEq::onsldreqfreqlow(int v)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    const int hp = d->gethpffreq(output());
    if (v <= hp) {
        ui->sldreqfreqlow->setValue(hp + 1);
        return;
    }
    cornertext(ui->Editeqfreqlow, v, false);
    if (loading)
        return;
    d->setlpffreq(output(), v);
    ui->widgetdraw->updatepoint(9);
    count(LowPass);
    linkout([v](DeviceData *x, int o) { x->setlpffreq(o, v); });
}

void FormEq::on_cbxHPFSlopelow_currentIndexChanged(int e)
{
    DeviceData *d = device();
    if (loading || !d || !isoutput() || e < 0)
        return;
    d->setlpftype(output(), e);
    count(LowPass);
    linkout([e](DeviceData *x, int o) { x->setlpftype(o, e); });
    ui->widgetdraw->repaintcurve();
}

void FormEq::on_cbxHPFSlopehigh_currentIndexChanged(int e)
{
    DeviceData *d = device();
    if (loading || !d || !isoutput() || e < 0)
        return;
    d->sethpftype(output(), e);
    count(HighPass);
    linkout([e](DeviceData *x, int o) { x->sethpftype(o, e); });
    ui->widgetdraw->repaintcurve();
}

void FormEq::on_btnupeqfreqhigh_clicked()
{
    ui->sldreqfreqhigh->setValue(ui->sldreqfreqhigh->value() + 1);
}

void FormEq::on_btndowneqfreqhigh_clicked()
{
    ui->sldreqfreqhigh->setValue(ui->sldreqfreqhigh->value() - 1);
}

void FormEq::on_btnupeqfreqlow_clicked()
{
    ui->sldreqfreqlow->setValue(ui->sldreqfreqlow->value() + 1);
}

void FormEq::on_btndowneqfreqlow_clicked()
{
    ui->sldreqfreqlow->setValue(ui->sldreqfreqlow->value() - 1);
}

void FormEq::on_Editeqfreqhigh_editingFinished()
{
    corneredited(ui->Editeqfreqhigh, ui->sldreqfreqhigh, 397, false);
}

void FormEq::on_Editeqfreqlow_editingFinished()
{
    corneredited(ui->Editeqfreqlow, ui->sldreqfreqlow, 398, false);
}

void FormEq::btnscutchangevalue(int which, int index)
{
    if (index < 0 || index > 398)
        return;
    if (which == 0)
        ui->sldreqfreqlow->setValue(index);
    else if (which == 1)
        ui->sldreqfreqhigh->setValue(index);
}

void FormEq::refreshxover(int ch)
{
    const DeviceData *d = device();
    if (!d || ch < 4 || ch >= kChannels || ch != channel)
        return;
    const int o = ch - 4;
    ++loading;
    ui->cbxHPFSlopelow->setCurrentIndex(d->getlpftype(o) < slopecount ? d->getlpftype(o) : -1);
    ui->sldreqfreqlow->setValue(d->getlpffreq(o));
    ui->cbxHPFSlopehigh->setCurrentIndex(d->gethpftype(o) < slopecount ? d->gethpftype(o) : -1);
    ui->sldreqfreqhigh->setValue(d->gethpffreq(o));
    cornertext(ui->Editeqfreqlow, ui->sldreqfreqlow->value(), false);
    cornertext(ui->Editeqfreqhigh, ui->sldreqfreqhigh->value(), false);
    --loading;
}

void FormEq::on_comboBox_ir_currentIndexChanged(int m)
{
    DeviceData *d = device();
    if (loading || !d || !isoutput() || m < 0 || m > 1)
        return;
    d->setfirflag(output(), m);
    count(Fir);
    linkout([m](DeviceData *x, int o) { x->setfirflag(o, m); });
    showirmode(m);
}

void FormEq::showirmode(int mode)
{
    const DeviceData *d = device();
    if (!d || !isoutput())
        return;
    if (mode == 0) {
        ui->widget_iir->show();
        ui->widget_fir->hide();
        refreshxover(channel);
        updatefirpanel();
    } else if (mode == 1) {
        ui->widget_iir->hide();
        ui->widget_fir->show();
        const int t = d->getxobyte0(output());
        ++loading;
        ui->cbxFirFlat->setCurrentIndex(t <= kBandPass ? t : -1);
        fillfirwindows(t);
        --loading;
        qDebug() << "v:" << t;
        showfirtype(t, true);
        showfirwindow();
    }
}

void FormEq::fillfirwindows(int type)
{
    ++loading;
    ui->cbxFirWindows->clear();
    if (type == 0 || type == 2) {
        for (const char *w : kWindows)
            ui->cbxFirWindows->addItem(QLatin1String(w));
    } else if (type == 1 || type >= kBandPass) {
        ui->cbxFirWindows->addItem(QLatin1String(kWindows[kRectangular]));
        ui->cbxFirWindows->addItem(QLatin1String(kWindows[kHamming]));
    }
    --loading;
}

void FormEq::showfirtype(int type, bool user)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    const int o = output();
    const bool bp = type >= kBandPass;
    const bool high = type == 1 || bp;
    const bool low = type == 2 || bp;
    const bool lists = type != 0;
    ui->cbxFirWindows->setEnabled(lists);
    ui->cbxFirorder->setEnabled(lists);
    for (QWidget *w :
         {static_cast<QWidget *>(ui->Editeqfirfreqhigh), static_cast<QWidget *>(ui->sldreqfirhigh),
          static_cast<QWidget *>(ui->btndowneqfreqhigh_2), static_cast<QWidget *>(ui->btnupeqfreqhigh_2)})
        w->setEnabled(high);
    for (QWidget *w :
         {static_cast<QWidget *>(ui->Editeqfirfreqlow), static_cast<QWidget *>(ui->sldreqfirlow),
          static_cast<QWidget *>(ui->btndowneqfreqlow_2), static_cast<QWidget *>(ui->btnupeqfreqlow_2)})
        w->setEnabled(low);

    // Entering a type whose list does not offer the stored window: the
    // window shown is the one stored and sent.
    if (user && (type == 1 || bp)) {
        const int w = type == 1 ? d->getfirparam1(o) : d->getfirparam3(o);
        if (w != kRectangular && w != kHamming) {
            if (type == 1) {
                d->setfirparam1(o, kRectangular);
                linkout([](DeviceData *x, int m) { x->setfirparam1(m, kRectangular); });
            } else {
                d->setfirparam3(o, kRectangular);
                linkout([](DeviceData *x, int m) { x->setfirparam3(m, kRectangular); });
            }
            count(Fir);
        }
    }

    ++loading;
    ui->cbxFirorder->setCurrentIndex(d->getfirorder(o) <= 2 ? d->getfirorder(o) : -1);
    const int hi = bp ? d->getfirlowparam(o) : d->getfirlowfreq(o);
    const int lo = bp ? d->getfirhighparam(o) : d->getfirhighfreq(o);
    ui->sldreqfirhigh->setValue(hi);
    ui->sldreqfirlow->setValue(lo);
    cornertext(ui->Editeqfirfreqhigh, ui->sldreqfirhigh->value(), true);
    cornertext(ui->Editeqfirfreqlow, ui->sldreqfirlow->value(), true);
    int entry;
    if (type == 1 || bp) {
        // A reloaded window byte the type's list does not offer stays as it
        // is and is shown by its own name after the list's two entries (a
        // byte naming no window selects nothing): shown and sent agree.
        const int w = type == 1 ? d->getfirparam1(o) : d->getfirparam3(o);
        if (w == kRectangular || w == kHamming) {
            entry = twoentry(w);
        } else if (w >= 0 && w < int(sizeof kWindows / sizeof kWindows[0])) {
            if (ui->cbxFirWindows->count() < 3)
                ui->cbxFirWindows->addItem(QLatin1String(kWindows[w]));
            ui->cbxFirWindows->setItemText(2, QLatin1String(kWindows[w]));
            entry = 2;
        } else {
            entry = -1;
        }
    } else if (type == 2) {
        entry = d->getfirparam2(o);
    } else {
        entry = d->getfirparam1(o); // FLAT: the window it sends
    }
    ui->cbxFirWindows->setCurrentIndex(entry < ui->cbxFirWindows->count() ? entry : -1);
    --loading;
    firwindow->repaintcurve();
}

void FormEq::refreshfir()
{
    const DeviceData *d = device();
    if (!d || !isoutput()) {
        updatefirpanel();
        return;
    }
    const int o = output();
    const int m = d->getfirflag(o);
    ++loading;
    ui->comboBox_ir->setCurrentIndex(m <= 1 ? m : -1);
    if (m != 0) {
        const int t = d->getxobyte0(o);
        fillfirwindows(t);
        ui->widget_fir->show();
        ui->widget_iir->hide();
        ui->cbxFirFlat->setCurrentIndex(t <= kBandPass ? t : -1);
        showfirtype(t, false);
    } else {
        ui->widget_iir->show();
        ui->widget_fir->hide();
    }
    // A reload shows the panel only when the page is at the front.
    updatefirpanel();
    --loading;
}

void FormEq::on_cbxFirFlat_currentIndexChanged(int t)
{
    DeviceData *d = device();
    if (loading || !d || !isoutput() || t < 0 || !ui->cbxFirFlat->hasFocus())
        return;
    d->setxobyte0(output(), t);
    count(Fir);
    linkout([t](DeviceData *x, int o) { x->setxobyte0(o, t); });
    fillfirwindows(t);
    showfirtype(t, true);
    showfirwindow();
}

void FormEq::onsldreqfirhigh(int v)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    qDebug() << "sldreqfreqhigh:" << v;
    const int o = output();
    if (d->getxobyte0(o) >= kBandPass) {
        const int upper = d->getfirhighparam(o);
        if (v >= upper) {
            ui->sldreqfirhigh->setValue(upper - 1);
            return;
        }
        qDebug() << "y:" << v << "x:" << gMainApp->getgridfreq(v);
    }
    cornertext(ui->Editeqfirfreqhigh, v, true);
    if (loading)
        return;
    if (d->getxobyte0(o) >= kBandPass)
        d->setfirlowparam(o, v);
    else
        d->setfirlowfreq(o, v);
    count(Fir);
    linkfircorner(true, v);
    showfirwindow();
    firwindow->repaintcurve();
}

void FormEq::onsldreqfirlow(int v)
{
    DeviceData *d = device();
    if (!d || !isoutput())
        return;
    const int o = output();
    if (d->getxobyte0(o) >= kBandPass) {
        const int lower = d->getfirlowparam(o);
        if (v <= lower) {
            ui->sldreqfirlow->setValue(lower + 1);
            return;
        }
    }
    cornertext(ui->Editeqfirfreqlow, v, true);
    if (loading)
        return;
    if (d->getxobyte0(o) >= kBandPass)
        d->setfirhighparam(o, v);
    else
        d->setfirhighfreq(o, v);
    count(Fir);
    linkfircorner(false, v);
    showfirwindow();
    firwindow->repaintcurve();
}

void FormEq::on_Editeqfirfreqhigh_editingFinished()
{
    corneredited(ui->Editeqfirfreqhigh, ui->sldreqfirhigh, 397, true);
}

void FormEq::on_Editeqfirfreqlow_editingFinished()
{
    corneredited(ui->Editeqfirfreqlow, ui->sldreqfirlow, 398, true);
}

void FormEq::on_btndowneqfreqhigh_2_clicked()
{
    if (ui->btndowneqfreqhigh_2->hasFocus())
        ui->sldreqfirhigh->setValue(ui->sldreqfirhigh->value() - 1);
}

void FormEq::on_btnupeqfreqhigh_2_clicked()
{
    if (ui->btnupeqfreqhigh_2->hasFocus())
        ui->sldreqfirhigh->setValue(ui->sldreqfirhigh->value() + 1);
}

void FormEq::on_btndowneqfreqlow_2_clicked()
{
    if (ui->btndowneqfreqlow_2->hasFocus())
        ui->sldreqfirlow->setValue(ui->sldreqfirlow->value() - 1);
}

void FormEq::on_btnupeqfreqlow_2_clicked()
{
    if (ui->btnupeqfreqlow_2->hasFocus())
        ui->sldreqfirlow->setValue(ui->sldreqfirlow->value() + 1);
}

void FormEq::on_cbxFirWindows_currentIndexChanged(int e)
{
    DeviceData *d = device();
    if (loading || !d || !isoutput() || e < 0 || !ui->cbxFirWindows->hasFocus())
        return;
    const int o = output();
    const int t = d->getxobyte0(o);
    if ((t == 1 || t >= kBandPass) && e > 1)
        return; // the stored window the list does not offer: it stays
    if (t == 1) {
        const int w = twowindow(e);
        d->setfirparam1(o, w);
        linkout([w](DeviceData *x, int m) { x->setfirparam1(m, w); });
    } else if (t == 2) {
        d->setfirparam2(o, e);
        linkout([e](DeviceData *x, int m) { x->setfirparam2(m, e); });
    } else if (t >= kBandPass) {
        const int w = twowindow(e);
        d->setfirparam3(o, w);
        linkout([w](DeviceData *x, int m) { x->setfirparam3(m, w); });
    } else {
        return;
    }
    if ((t == 1 || t >= kBandPass) && ui->cbxFirWindows->count() > 2) {
        // The window that was stored is gone: its entry goes too.
        ++loading;
        ui->cbxFirWindows->removeItem(2);
        --loading;
    }
    count(Fir);
    showfirwindow();
    firwindow->repaintcurve();
}

void FormEq::on_cbxFirorder_currentIndexChanged(int e)
{
    DeviceData *d = device();
    if (loading || !d || !isoutput() || e < 0 || !ui->cbxFirorder->hasFocus())
        return;
    qDebug() << "fir:" << e;
    d->setfirorder(output(), e);
    count(Fir);
    linkout([e](DeviceData *x, int o) { x->setfirorder(o, e); });
    showfirwindow();
    firwindow->repaintcurve();
}
