#include "formgain.h"

#include "channellinks.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "limitspinbox.h"
#include "mainapp.h"
#include "showwidget.h"
#include "stripslider.h"
#include "throttletimer.h"
#include "ui_formgain.h"

#include <QCloseEvent>
#include <QIcon>
#include <QScopedValueRollback>
#include <QTimer>

#include <cmath>

FormGain *gFormGain = nullptr;

namespace
{

using Form = Ui::FormGain;
using Button = QPushButton *Form::*;
using Slider = QSlider *Form::*;
using Box = LimitSpinBox *Form::*;
using Widget = QWidget *Form::*;

constexpr int kChannels = FormGain::kChannels;
constexpr int kMaxRaw = 520;
constexpr int kZeroDb = 400;
constexpr int kSendMs = 50;
constexpr int kLightMs = 100;
constexpr int kMuteWaitMs = 50;
constexpr int kReloadWaitMs = 200;
// The meter cover's place in its strip.
const QRect kCover(38, 30, 19, FormGain::kMeterRows);

// One strip's widgets, by channel 0..11.
struct Strip {
    Widget strip;
    Slider slider;
    Box box;
    Button up, down, zero, mute, channel;
    Widget cover;
};
const Strip kStrips[kChannels] = {
    {&Form::widgetgain1, &Form::vlSliderGain, &Form::lineEdit, &Form::btnup, &Form::btndown, &Form::Bttton0,
     &Form::btngainm, &Form::btnina, &Form::widgetlights},
    {&Form::widgetgain2, &Form::vlSliderGain_2, &Form::lineEdit_2, &Form::btnup_2, &Form::btndown_2,
     &Form::Button1, &Form::btngainm_2, &Form::btninb, &Form::widgetlights_2},
    {&Form::widgetgain3, &Form::vlSliderGain_3, &Form::lineEdit_3, &Form::btnup_3, &Form::btndown_3,
     &Form::Button3, &Form::btngainm_3, &Form::btninc, &Form::widgetlights_3},
    {&Form::widgetgain4, &Form::vlSliderGain_4, &Form::lineEdit_4, &Form::btnup_4, &Form::btndown_4,
     &Form::Button4, &Form::btngainm_4, &Form::btnind, &Form::widgetlights_4},
    {&Form::widgetgain5, &Form::vlSliderGain_5, &Form::lineEdit_5, &Form::btnup_5, &Form::btndown_5,
     &Form::Button5, &Form::btngainm_5, &Form::btnout1, &Form::widgetlights_5},
    {&Form::widgetgain6, &Form::vlSliderGain_6, &Form::lineEdit_6, &Form::btnup_6, &Form::btndown_6,
     &Form::Button6, &Form::btngainm_6, &Form::btnout2, &Form::widgetlights_6},
    {&Form::widgetgain7, &Form::vlSliderGain_7, &Form::lineEdit_7, &Form::btnup_7, &Form::btndown_7,
     &Form::Button7, &Form::btngainm_7, &Form::btnout3, &Form::widgetlights_7},
    {&Form::widgetgain8, &Form::vlSliderGain_8, &Form::lineEdit_8, &Form::btnup_8, &Form::btndown_8,
     &Form::Button8, &Form::btngainm_8, &Form::btnout4, &Form::widgetlights_8},
    {&Form::widgetgain9, &Form::vlSliderGain_9, &Form::lineEdit_9, &Form::btnup_9, &Form::btndown_9,
     &Form::Button9, &Form::btngainm_9, &Form::btnout5, &Form::widgetlights_9},
    {&Form::widgetgain10, &Form::vlSliderGain_10, &Form::lineEdit_10, &Form::btnup_10, &Form::btndown_10,
     &Form::Button10, &Form::btngainm_10, &Form::btnout6, &Form::widgetlights_10},
    {&Form::widgetgain11, &Form::vlSliderGain_11, &Form::lineEdit_11, &Form::btnup_11, &Form::btndown_11,
     &Form::Button11, &Form::btngainm_11, &Form::btnout7, &Form::widgetlights_11},
    {&Form::widgetgain12, &Form::vlSliderGain_12, &Form::lineEdit_12, &Form::btnup_12, &Form::btndown_12,
     &Form::Button12, &Form::btngainm_12, &Form::btnout8, &Form::widgetlights_12},
};

// The first device view (1 type 22, 2 type 20) that lacks each channel; 3: never.
const int kHiddenFrom[kChannels] = {3, 3, 2, 1, 3, 3, 3, 3, 2, 2, 1, 1};

const char *const kMuted = "background-image:url(:/gain/skin/gain-mute.png);";
const char *const kUnmuted = "background-image:url(:/gain/skin/gain-mute-a.png);";

bool validchannel(int ch)
{
    return ch >= 0 && ch < kChannels;
}

DeviceData *device()
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool linkup(const DeviceData *d)
{
    return d && (d->getcomconnected() || d->gettcpconnected());
}

double dbof(int raw)
{
    return double(float(raw) / 10.0f - 40.0f);
}

} // namespace

FormGain::FormGain(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormGain)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/gain/skin/crcone1.png")));
    for (const Strip &s : kStrips) {
        (ui.get()->*s.slider)->setRange(0, kMaxRaw);
        (ui.get()->*s.box)->setValue(dbof(0));
    }
    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &FormGain::timetosend);
    sendtimer->startticks(kSendMs);
    ui->widgetgainlockback->hide();
    blankmeters();
    lighttimer = new QTimer(this);
    connect(lighttimer, &QTimer::timeout, this, &FormGain::timetosendlight);
    // Showing this page switches metering on; a link coming up tells the
    // page through its lock update.
    if (gMainApp)
        connect(gMainApp, &MainApp::meteringon, this, &FormGain::startmeters);
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormGain::refreshLanText);
}

FormGain::~FormGain() = default;

void FormGain::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidegainview();
    event->ignore();
}

void FormGain::showEvent(QShowEvent *event)
{
    // A page shown without a link has no levels to show.
    if (!linkup(device()))
        blankmeters();
    QWidget::showEvent(event);
}

// The page's texts are all numbers and images.
void FormGain::refreshLanText() {}

QVector<int> FormGain::linkgroup(int ch) const
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return {};
    return gMainApp->linkgroup(ch);
}

void FormGain::markchannel(int ch)
{
    curchannel = ch;
    QPushButton *b = ui.get()->*kStrips[ch].channel;
    if (!b->isChecked())
        b->setChecked(true);
}

void FormGain::setcurchannel(int n)
{
    if (n < 1 || n > kChannels)
        return;
    markchannel(n - 1);
}

// ---------------------------------------------------------------------------
// Edits

void FormGain::slidermoved(int ch, int v)
{
    DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    const Strip &s = kStrips[ch];
    (ui.get()->*s.box)->setValue(dbof(v));
    gMainApp->setgaincache(ch, float(dbof(v)));
    emit updategainvalues(ch);
    d->setgain(ch, v);
    if (reloading || links.following())
        return;
    // Partners follow in the model and on screen; the processor moves the
    // whole group on the frame of its highest member (of the channel itself
    // when that member's group is another).
    const QVector<int> group = linkgroup(ch);
    const int counted =
        links.follow(ch, (ui.get()->*s.slider)->hasFocus(), group, gMainApp->linkcarrier(ch, group),
                     [this, v](int m) { (ui.get()->*kStrips[m].slider)->setValue(v); });
    if (counted >= 0)
        count(counted);
}

void FormGain::count(int ch)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % 5;
    pending[ch] = true;
    ++changecount;
    markchannel(ch);
}

void FormGain::setforuser(int ch, int raw)
{
    links.foruser(ch, [&]() { (ui.get()->*kStrips[ch].slider)->setValue(raw); });
}

void FormGain::stepclicked(int ch, int delta)
{
    const int v = (ui.get()->*kStrips[ch].slider)->value() + delta;
    if (v >= 0 && v <= kMaxRaw)
        setforuser(ch, v);
}

void FormGain::zeroclicked(int ch)
{
    setforuser(ch, kZeroDb);
}

void FormGain::boxfinished(int ch)
{
    QDoubleSpinBox *box = ui.get()->*kStrips[ch].box;
    QSlider *slider = ui.get()->*kStrips[ch].slider;
    // The box has already read its text: a text that is no number left its
    // value as it was. Only Return applies it; leaving the box shows the
    // slider's value again.
    if (box->hasFocus()) {
        const double tenths = box->value() * 10.0;
        // The value holds one decimal: a hair of slack keeps x.y * 10 from
        // truncating one step short.
        int raw = kZeroDb + int(std::trunc(tenths + (tenths < 0 ? -1e-6 : 1e-6)));
        raw = qBound(0, raw, kMaxRaw);
        setforuser(ch, raw);
    }
    box->setValue(dbof(slider->value()));
}

void FormGain::messgeformpeq(int ch, int value)
{
    if (!validchannel(ch))
        return;
    setforuser(ch, value);
}

void FormGain::muteclicked(int ch)
{
    DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    markchannel(ch);
    const int now = gMainApp->getmute(ch) ? 0 : 1;
    (ui.get()->*kStrips[ch].mute)->setStyleSheet(QLatin1String(now ? kMuted : kUnmuted));
    d->setmute(ch, now);
    MainApp::delayms(kMuteWaitMs);
    // The clicked channel goes out at once; other channels' pending changes
    // stay pending.
    gMainApp->sendgain(ch);
    const QVector<int> group = linkgroup(ch);
    for (int m : group) {
        if (m != ch)
            d->setmute(m, now);
    }
    if (!group.isEmpty())
        updatemutebtns();
    showsent();
    emit upmetubtns();
}

void FormGain::showsent()
{
    const DeviceData *d = device();
    if (!d)
        return;
    const QScopedValueRollback<bool> quiet(reloading, true);
    for (int ch = 0; ch < kChannels; ++ch) {
        moveslider(ui.get()->*kStrips[ch].slider, qBound(0, d->getgain(ch), kMaxRaw));
        // Only a skin that changes is set again: setting a sheet restyles.
        QPushButton *mute = ui.get()->*kStrips[ch].mute;
        const QLatin1String skin(d->getmute(ch) ? kMuted : kUnmuted);
        if (mute->styleSheet() != skin)
            mute->setStyleSheet(skin);
    }
}

void FormGain::updatemutebtns()
{
    if (!gMainApp)
        return;
    for (int ch = 0; ch < kChannels; ++ch)
        (ui.get()->*kStrips[ch].mute)
            ->setStyleSheet(QLatin1String(gMainApp->getmute(ch) ? kMuted : kUnmuted));
}

// ---------------------------------------------------------------------------
// Throttle

void FormGain::timetosend()
{
    if (changecount == 0)
        sendtimer->sleep(); // nothing pending: no ticks until the next change
    if (changecount > 3) {
        sendpending();
        return;
    }
    ++tickcount;
    if (tickcount > 4) {
        if (changecount > 0)
            sendpending();
        tickcount = 0;
    }
}

void FormGain::sendpending()
{
    const DeviceData *d = device();
    // While a reload runs the sender refuses: the changes wait for a later tick.
    if (gMainApp && gMainApp->gainloading && linkup(d))
        return;
    lighttimer->stop();
    if (gMainApp) {
        for (int ch = 0; ch < kChannels; ++ch) {
            if (pending[ch])
                gMainApp->sendgain(ch);
        }
        showsent();
    }
    std::fill(std::begin(pending), std::end(pending), false);
    if (gMainApp && gMainApp->meteron && linkup(d))
        lighttimer->start(kLightMs);
    changecount = 0;
}

// ---------------------------------------------------------------------------
// Reload, device view, lock

void FormGain::updatenewdata()
{
    const DeviceData *d = device();
    if (!d)
        return;
    gMainApp->gainloading = 1;
    reloading = true;
    for (int ch = 0; ch < kChannels; ++ch) {
        const int raw = qBound(0, d->getgain(ch), kMaxRaw);
        if (!moveslider(ui.get()->*kStrips[ch].slider, raw)) {
            // An unchanged slider emits nothing: the display and the main
            // page still follow the device just loaded.
            slidermoved(ch, raw);
        }
    }
    reloading = false;
    updatemutebtns();
    emit upmetubtns();
    // Timer ticks and replies run during the wait; the user's input waits
    // until the page is consistent again.
    MainApp::delayms(kReloadWaitMs, true);
    gMainApp->gainloading = 0;
}

void FormGain::updategainview(int view)
{
    updategainlock();
    if (view < 0 || view > 2)
        return;
    updatenewdata();
    for (int ch = 0; ch < kChannels; ++ch) {
        const bool shown = view < kHiddenFrom[ch];
        setshown(ui.get()->*kStrips[ch].strip, shown);
        setshown(ui.get()->*kStrips[ch].channel, shown);
    }
    // A channel the device lacks is never kept marked: the first channel is.
    if (curchannel >= 0 && curchannel < kChannels && view >= kHiddenFrom[curchannel])
        markchannel(0);
}

void FormGain::updategainlock()
{
    const DeviceData *d = device();
    QWidget *lock = ui->widgetgainlockback;
    const int state = linkup(d) ? d->getlocktype() : 0;
    if (state == 1 || state == 2) {
        // The mute buttons' lower edge stays uncovered and usable.
        lock->setGeometry(0, 0, 1014, 535);
        lock->show();
    } else if (state == 3) {
        lock->setGeometry(0, 0, 1014, 700);
        lock->show();
    } else {
        lock->hide();
    }
    // What the overlay covers takes neither clicks nor keys.
    const bool covered = !lock->isHidden();
    ui->widgetgaintop->setEnabled(!covered);
    for (const Strip &s : kStrips) {
        for (auto w : {s.up, s.down, s.zero})
            (ui.get()->*w)->setEnabled(!covered);
        (ui.get()->*s.slider)->setEnabled(!covered);
        (ui.get()->*s.box)->setEnabled(!covered);
        (ui.get()->*s.mute)->setEnabled(state != 3);
    }
    startmeters();
}

void FormGain::updategain()
{
    if (!gMainApp)
        return;
    setcurchannel(gMainApp->getgainviewch());
    updatemutebtns();
}

// ---------------------------------------------------------------------------
// Meters

void FormGain::timetosendlight()
{
    const DeviceData *d = device();
    if (!linkup(d)) {
        // A processor that cannot answer shows no levels.
        blankmeters();
        lighttimer->stop();
        return;
    }
    if (gMainApp->meteron)
        gMainApp->sendreadlight();
    else
        lighttimer->stop();
}

void FormGain::startmeters()
{
    if (!gMainApp)
        return;
    if (!linkup(device())) {
        blankmeters();
        lighttimer->stop();
    } else if (gMainApp->meteron && !lighttimer->isActive()) {
        lighttimer->start(kLightMs);
    }
}

QVector<int> FormGain::levelsof(const QString &text)
{
    auto hexdigit = [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
    };
    QVector<int> levels;
    for (int i = 0; i < kChannels; ++i) {
        const QString pair = text.mid(2 * i, 2);
        const bool readable = pair.size() == 2 && hexdigit(pair[0]) && hexdigit(pair[1]);
        levels << (readable ? int(quint8(DeviceData::hextobytes(pair).at(0))) : 0);
    }
    return levels;
}

int FormGain::coverheight(int level)
{
    return qMax(0, int(kMeterRows - 1.42 * level));
}

void FormGain::readlight(QString levels)
{
    const QVector<int> l = levelsof(levels);
    for (int i = 0; i < kChannels; ++i)
        setlight(i, l[i]);
}

void FormGain::setlight(int channel, int level)
{
    if (!validchannel(channel))
        return;
    QWidget *cover = ui.get()->*kStrips[channel].cover;
    cover->setGeometry(kCover.x(), kCover.y(), kCover.width(), coverheight(level));
    cover->show();
}

void FormGain::blankmeters()
{
    for (int ch = 0; ch < kChannels; ++ch)
        setlight(ch, 0);
}

// ---------------------------------------------------------------------------
// Widget slots: each names its family handler and its channel.

// clang-format off
#define DSP_SLIDER(name, ch) void FormGain::on_##name##_valueChanged(int v) { slidermoved(ch, v); }
#define DSP_CLICK(name, call) void FormGain::on_##name##_clicked() { call; }
#define DSP_BOX(name, ch) void FormGain::on_##name##_editingFinished() { boxfinished(ch); }

DSP_SLIDER(vlSliderGain, 0) DSP_SLIDER(vlSliderGain_2, 1) DSP_SLIDER(vlSliderGain_3, 2)
DSP_SLIDER(vlSliderGain_4, 3) DSP_SLIDER(vlSliderGain_5, 4) DSP_SLIDER(vlSliderGain_6, 5)
DSP_SLIDER(vlSliderGain_7, 6) DSP_SLIDER(vlSliderGain_8, 7) DSP_SLIDER(vlSliderGain_9, 8)
DSP_SLIDER(vlSliderGain_10, 9) DSP_SLIDER(vlSliderGain_11, 10) DSP_SLIDER(vlSliderGain_12, 11)

DSP_CLICK(btnup, stepclicked(0, 1)) DSP_CLICK(btndown, stepclicked(0, -1))
DSP_CLICK(btnup_2, stepclicked(1, 1)) DSP_CLICK(btndown_2, stepclicked(1, -1))
DSP_CLICK(btnup_3, stepclicked(2, 1)) DSP_CLICK(btndown_3, stepclicked(2, -1))
DSP_CLICK(btnup_4, stepclicked(3, 1)) DSP_CLICK(btndown_4, stepclicked(3, -1))
DSP_CLICK(btnup_5, stepclicked(4, 1)) DSP_CLICK(btndown_5, stepclicked(4, -1))
DSP_CLICK(btnup_6, stepclicked(5, 1)) DSP_CLICK(btndown_6, stepclicked(5, -1))
DSP_CLICK(btnup_7, stepclicked(6, 1)) DSP_CLICK(btndown_7, stepclicked(6, -1))
DSP_CLICK(btnup_8, stepclicked(7, 1)) DSP_CLICK(btndown_8, stepclicked(7, -1))
DSP_CLICK(btnup_9, stepclicked(8, 1)) DSP_CLICK(btndown_9, stepclicked(8, -1))
DSP_CLICK(btnup_10, stepclicked(9, 1)) DSP_CLICK(btndown_10, stepclicked(9, -1))
DSP_CLICK(btnup_11, stepclicked(10, 1)) DSP_CLICK(btndown_11, stepclicked(10, -1))
DSP_CLICK(btnup_12, stepclicked(11, 1)) DSP_CLICK(btndown_12, stepclicked(11, -1))

DSP_CLICK(btngainm, muteclicked(0)) DSP_CLICK(btngainm_2, muteclicked(1)) DSP_CLICK(btngainm_3, muteclicked(2))
DSP_CLICK(btngainm_4, muteclicked(3)) DSP_CLICK(btngainm_5, muteclicked(4)) DSP_CLICK(btngainm_6, muteclicked(5))
DSP_CLICK(btngainm_7, muteclicked(6)) DSP_CLICK(btngainm_8, muteclicked(7)) DSP_CLICK(btngainm_9, muteclicked(8))
DSP_CLICK(btngainm_10, muteclicked(9)) DSP_CLICK(btngainm_11, muteclicked(10))
DSP_CLICK(btngainm_12, muteclicked(11))

DSP_BOX(lineEdit, 0) DSP_BOX(lineEdit_2, 1) DSP_BOX(lineEdit_3, 2) DSP_BOX(lineEdit_4, 3)
DSP_BOX(lineEdit_5, 4) DSP_BOX(lineEdit_6, 5) DSP_BOX(lineEdit_7, 6) DSP_BOX(lineEdit_8, 7)
DSP_BOX(lineEdit_9, 8) DSP_BOX(lineEdit_10, 9) DSP_BOX(lineEdit_11, 10) DSP_BOX(lineEdit_12, 11)

DSP_CLICK(Bttton0, zeroclicked(0)) DSP_CLICK(Button1, zeroclicked(1)) DSP_CLICK(Button3, zeroclicked(2))
DSP_CLICK(Button4, zeroclicked(3)) DSP_CLICK(Button5, zeroclicked(4)) DSP_CLICK(Button6, zeroclicked(5))
DSP_CLICK(Button7, zeroclicked(6)) DSP_CLICK(Button8, zeroclicked(7)) DSP_CLICK(Button9, zeroclicked(8))
DSP_CLICK(Button10, zeroclicked(9)) DSP_CLICK(Button11, zeroclicked(10)) DSP_CLICK(Button12, zeroclicked(11))
    // clang-format on
