#include "formdelay.h"

#include "channellinks.h"
#include "delayunits.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "showwidget.h"
#include "stripslider.h"
#include "throttletimer.h"
#include "ui_formdelay.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTimer>

FormDelay *gFormDelay = nullptr;

namespace
{

using Form = Ui::FormDelay;
using Button = QPushButton *Form::*;
using Slider = QSlider *Form::*;
using Edit = QLineEdit *Form::*;
using Widget = QWidget *Form::*;
using Step = void (FormDelay::*)();

constexpr int kChannels = FormDelay::kChannels;
constexpr int kInputs = 4;
constexpr int kMaxSamples = delayunits::kMaxSamples;
constexpr int kSendMs = 50;
constexpr int kReloadWaitMs = 200;
constexpr int kDelayOn = 0x80;

// One strip's widgets and step slots, by channel 0..11.
struct Strip {
    Widget strip;
    Slider slider;
    Edit edit;
    Button up, down, sw, channel;
    Step stepup, stepdown;
};
const Strip kStrips[kChannels] = {
    {&Form::widgetdelay1, &Form::sldrdelaymi, &Form::Editdelaymi, &Form::btndelaymiup, &Form::btndelaymidown,
     &Form::delayswitch1, &Form::delay_btnina, &FormDelay::onbtndelaymichecked, &FormDelay::onbtndelaymidown},
    {&Form::widgetdelay2, &Form::sldrdelaymi_2, &Form::Editdelaymi_2, &Form::btndelaymiup_2,
     &Form::btndelaymidown_2, &Form::delayswitch2, &Form::delay_btninb, &FormDelay::onbtndelaymichecked2,
     &FormDelay::onbtndelaymidown2},
    {&Form::widgetdelay3, &Form::sldrdelaymi_3, &Form::Editdelaymi_3, &Form::btndelaymiup_3,
     &Form::btndelaymidown_3, &Form::delayoswitch3, &Form::delay_btninc, &FormDelay::onbtndelaymichecked3,
     &FormDelay::onbtndelaymidown3},
    {&Form::widgetdelay4, &Form::sldrdelaymi_4, &Form::Editdelaymi_4, &Form::btndelaymiup_4,
     &Form::btndelaymidown_4, &Form::delayswitch4, &Form::delay_btnind, &FormDelay::onbtndelaymichecked4,
     &FormDelay::onbtndelaymidown4},
    {&Form::widgetdelay5, &Form::sldrdelaymi_5, &Form::Editdelaymi_5, &Form::btndelaymiup_5,
     &Form::btndelaymidown_5, &Form::delayswitch01, &Form::delay_btnout1, &FormDelay::onbtndelaymichecked5,
     &FormDelay::onbtndelaymidown5},
    {&Form::widgetdelay6, &Form::sldrdelaymi_6, &Form::Editdelaymi_6, &Form::btndelaymiup_6,
     &Form::btndelaymidown_6, &Form::delayswitch02, &Form::delay_btnout2, &FormDelay::onbtndelaymichecked6,
     &FormDelay::onbtndelaymidown6},
    {&Form::widgetdelay7, &Form::sldrdelaymi_7, &Form::Editdelaymi_7, &Form::btndelaymiup_7,
     &Form::btndelaymidown_7, &Form::delayswitch03, &Form::delay_btnout3, &FormDelay::onbtndelaymichecked7,
     &FormDelay::onbtndelaymidown7},
    {&Form::widgetdelay8, &Form::sldrdelaymi_8, &Form::Editdelaymi_8, &Form::btndelaymiup_8,
     &Form::btndelaymidown_8, &Form::delayswitch04, &Form::delay_btnout4, &FormDelay::onbtndelaymichecked8,
     &FormDelay::onbtndelaymidown8},
    {&Form::widgetdelay9, &Form::sldrdelaymi_9, &Form::Editdelaymi_9, &Form::btndelaymiup_9,
     &Form::btndelaymidown_9, &Form::delayswitch05, &Form::delay_btnout5, &FormDelay::onbtndelaymichecked9,
     &FormDelay::onbtndelaymidown9},
    {&Form::widgetdelay10, &Form::sldrdelaymi_10, &Form::Editdelaymi_10, &Form::btndelaymiup_10,
     &Form::btndelaymidown_10, &Form::delayswitch06, &Form::delay_btnout6, &FormDelay::onbtndelaymichecked10,
     &FormDelay::onbtndelaymidown10},
    {&Form::widgetdelay11, &Form::sldrdelaymi_11, &Form::Editdelaymi_11, &Form::btndelaymiup_11,
     &Form::btndelaymidown_11, &Form::delayswitch07, &Form::delay_btnout7, &FormDelay::onbtndelaymichecked11,
     &FormDelay::onbtndelaymidown11},
    {&Form::widgetdelay12, &Form::sldrdelaymi_12, &Form::Editdelaymi_12, &Form::btndelaymiup_12,
     &Form::btndelaymidown_12, &Form::delayswitch08, &Form::delay_btnout8, &FormDelay::onbtndelaymichecked12,
     &FormDelay::onbtndelaymidown12},
};

// The first device view (1 type 22, 2 type 20) that lacks each channel; 3: never.
const int kHiddenFrom[kChannels] = {3, 3, 2, 1, 3, 3, 3, 3, 2, 2, 1, 1};

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

} // namespace

FormDelay::FormDelay(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FormDelay)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/gain/skin/crcone1.png")));
    for (const Strip &s : kStrips) {
        (ui.get()->*s.slider)->setRange(0, kMaxSamples);
        connect(ui.get()->*s.up, &QPushButton::clicked, this, s.stepup);
        connect(ui.get()->*s.down, &QPushButton::clicked, this, s.stepdown);
    }
    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &FormDelay::timetosend);
    sendtimer->startticks(kSendMs);
    ui->widgetdelaylockback->hide();
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormDelay::refreshLanText);
}

FormDelay::~FormDelay() = default;

void FormDelay::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidedelayview();
    event->ignore();
}

void FormDelay::keyPressEvent(QKeyEvent *event)
{
    // Up and Down in a focused value box step its channel by one sample. No
    // key reaches the dialog's own handling, so Escape and Return neither
    // close nor accept the page.
    for (int ch = 0; ch < kChannels; ++ch) {
        if (!(ui.get()->*kStrips[ch].edit)->hasFocus())
            continue;
        if (event->key() == Qt::Key_Up)
            stepclicked(ch, 1);
        else if (event->key() == Qt::Key_Down)
            stepclicked(ch, -1);
    }
}

void FormDelay::refreshLanText()
{
    const int language = gGlobalContrl ? gGlobalContrl->getlanguage() : 0;
    for (QComboBox *combo : {ui->comboBox_3, ui->comboBox_4}) {
        for (int u = 0; u < delayunits::kUnitCount && u < combo->count(); ++u)
            combo->setItemText(u, delayunits::unitname(u, language));
    }
}

QVector<int> FormDelay::linkgroup(int ch) const
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return {};
    return gMainApp->linkgroup(ch);
}

void FormDelay::markchannel(int ch)
{
    curchannel = ch;
    QPushButton *b = ui.get()->*kStrips[ch].channel;
    if (!b->isChecked())
        b->setChecked(true);
}

int FormDelay::unitof(int ch) const
{
    return (ch < kInputs ? ui->comboBox_3 : ui->comboBox_4)->currentIndex();
}

// ---------------------------------------------------------------------------
// Edits

void FormDelay::slidermoved(int ch, int v)
{
    DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    const Strip &s = kStrips[ch];
    const delayunits::Texts texts = delayunits::textsof(v);
    const int unit = unitof(ch);
    if (unit >= 0 && unit < delayunits::kUnitCount)
        (ui.get()->*s.edit)->setText(texts.of(unit));
    gMainApp->setdelaycache(ch, texts.msvalue);
    emit updatedelayvalues(ch);
    d->setdelay(ch, v);
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

void FormDelay::count(int ch)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % 5;
    pending[ch] = true;
    ++changecount;
    markchannel(ch);
}

void FormDelay::setforuser(int ch, int samples)
{
    links.foruser(ch, [&]() { (ui.get()->*kStrips[ch].slider)->setValue(samples); });
}

void FormDelay::stepclicked(int ch, int delta)
{
    const int v = (ui.get()->*kStrips[ch].slider)->value() + delta;
    if (v >= 0 && v <= kMaxSamples)
        setforuser(ch, v);
}

void FormDelay::editfinished(int ch)
{
    QLineEdit *edit = ui.get()->*kStrips[ch].edit;
    QSlider *slider = ui.get()->*kStrips[ch].slider;
    const int unit = unitof(ch);
    bool ok = false;
    const int samples = edit->hasFocus() ? delayunits::samplesof(edit->text(), unit, &ok) : 0;
    if (!ok) {
        // Left without Return, or no number: the box shows the slider again.
        edit->setText(delayunits::textsof(slider->value()).of(unit));
        return;
    }
    if (samples <= kMaxSamples) {
        setforuser(ch, qMax(0, samples));
    } else {
        setforuser(ch, kMaxSamples);
        edit->setText(delayunits::limittext(unit));
    }
}

void FormDelay::switchclicked(int ch)
{
    DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    markchannel(ch);
    const bool on = (ui.get()->*kStrips[ch].sw)->isChecked();
    const int flag = on ? kDelayOn : 0;
    d->setdelayflag(ch, flag);
    // The clicked channel goes out at once; other channels' pending changes
    // stay pending.
    gMainApp->senddelay(ch);
    for (int m : linkgroup(ch)) {
        if (m == ch)
            continue;
        (ui.get()->*kStrips[m].sw)->setChecked(on);
        d->setdelayflag(m, flag);
    }
    showsent();
}

void FormDelay::unitchanged(bool inputs, int unit)
{
    if (unit < 0 || unit >= delayunits::kUnitCount)
        return;
    const int first = inputs ? 0 : kInputs;
    const int last = inputs ? kInputs : kChannels;
    for (int ch = first; ch < last; ++ch) {
        const int v = (ui.get()->*kStrips[ch].slider)->value();
        (ui.get()->*kStrips[ch].edit)->setText(delayunits::textsof(v).of(unit));
    }
}

void FormDelay::messgeformpeq(int ch, int value)
{
    if (!validchannel(ch))
        return;
    setforuser(ch, value);
}

// ---------------------------------------------------------------------------
// Throttle

void FormDelay::timetosend()
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

void FormDelay::sendpending()
{
    // While a reload runs the sender refuses: the changes wait for a later tick.
    if (gMainApp && gMainApp->delayloading && linkup(device()))
        return;
    if (gMainApp) {
        for (int ch = 0; ch < kChannels; ++ch) {
            if (pending[ch])
                gMainApp->senddelay(ch);
        }
        showsent();
    }
    std::fill(std::begin(pending), std::end(pending), false);
    changecount = 0;
}

void FormDelay::showsent()
{
    const DeviceData *d = device();
    if (!d)
        return;
    const QScopedValueRollback<bool> quiet(reloading, true);
    for (int ch = 0; ch < kChannels; ++ch) {
        (ui.get()->*kStrips[ch].sw)->setChecked(d->getdelayflag(ch) == kDelayOn);
        moveslider(ui.get()->*kStrips[ch].slider, qBound(0, d->getdelay(ch), kMaxSamples));
    }
}

// ---------------------------------------------------------------------------
// Reload, device view, lock, channel

void FormDelay::updatenewdata()
{
    const DeviceData *d = device();
    if (!d)
        return;
    gMainApp->delayloading = 1;
    reloading = true;
    for (int ch = 0; ch < kChannels; ++ch)
        (ui.get()->*kStrips[ch].sw)->setChecked(d->getdelayflag(ch) == kDelayOn);
    for (int ch = 0; ch < kChannels; ++ch) {
        const int samples = qBound(0, d->getdelay(ch), kMaxSamples);
        if (!moveslider(ui.get()->*kStrips[ch].slider, samples)) {
            // An unchanged slider emits nothing: the box and the main page
            // still follow the device just loaded (and a stored delay beyond
            // the range is written back clamped).
            slidermoved(ch, samples);
        }
    }
    reloading = false;
    // Timer ticks and replies run during the wait; the user's input waits
    // until the page is consistent again.
    MainApp::delayms(kReloadWaitMs, true);
    gMainApp->delayloading = 0;
}

void FormDelay::updatedelayview(int view)
{
    updatedelaylock();
    if (view < 0 || view > 2)
        return;
    updatenewdata();
    for (int ch = 0; ch < kChannels; ++ch) {
        const bool shown = view < kHiddenFrom[ch];
        const Strip &s = kStrips[ch];
        setshown(ui.get()->*s.strip, shown);
        setshown(ui.get()->*s.channel, shown);
        setshown(ui.get()->*s.sw, shown);
    }
    // A channel the device lacks is never kept marked: the first channel is.
    if (curchannel >= 0 && curchannel < kChannels && view >= kHiddenFrom[curchannel])
        markchannel(0);
}

void FormDelay::updatedelaylock()
{
    const DeviceData *d = device();
    const bool locked = linkup(d) && (d->getlocktype() & ~2) == 1;
    QWidget *lock = ui->widgetdelaylockback;
    lock->setVisible(locked);
    // What the overlay covers takes neither clicks nor keys.
    for (QWidget *w : ui->widgetdelay->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w != lock)
            w->setEnabled(!locked);
    }
}

void FormDelay::updatedelay()
{
    if (!gMainApp)
        return;
    const int n = gMainApp->getdelayviewch();
    if (n < 1 || n > kChannels)
        return;
    markchannel(n - 1);
}

// ---------------------------------------------------------------------------
// Widget slots: each names its family handler and its channel.

// clang-format off
#define DSP_STEP(suffix, ch) \
    void FormDelay::onbtndelaymichecked##suffix() { stepclicked(ch, 1); } \
    void FormDelay::onbtndelaymidown##suffix() { stepclicked(ch, -1); }
#define DSP_EDIT(name, ch) void FormDelay::on_##name##_editingFinished() { editfinished(ch); }
#define DSP_SLIDER(name, ch) void FormDelay::on_##name##_valueChanged(int v) { slidermoved(ch, v); }
#define DSP_SWITCH(name, ch) void FormDelay::on_##name##_clicked() { switchclicked(ch); }

DSP_STEP(, 0) DSP_STEP(2, 1) DSP_STEP(3, 2) DSP_STEP(4, 3) DSP_STEP(5, 4) DSP_STEP(6, 5)
DSP_STEP(7, 6) DSP_STEP(8, 7) DSP_STEP(9, 8) DSP_STEP(10, 9) DSP_STEP(11, 10) DSP_STEP(12, 11)

DSP_EDIT(Editdelaymi, 0) DSP_EDIT(Editdelaymi_2, 1) DSP_EDIT(Editdelaymi_3, 2) DSP_EDIT(Editdelaymi_4, 3)
DSP_EDIT(Editdelaymi_5, 4) DSP_EDIT(Editdelaymi_6, 5) DSP_EDIT(Editdelaymi_7, 6) DSP_EDIT(Editdelaymi_8, 7)
DSP_EDIT(Editdelaymi_9, 8) DSP_EDIT(Editdelaymi_10, 9) DSP_EDIT(Editdelaymi_11, 10)
DSP_EDIT(Editdelaymi_12, 11)

DSP_SLIDER(sldrdelaymi, 0) DSP_SLIDER(sldrdelaymi_2, 1) DSP_SLIDER(sldrdelaymi_3, 2)
DSP_SLIDER(sldrdelaymi_4, 3) DSP_SLIDER(sldrdelaymi_5, 4) DSP_SLIDER(sldrdelaymi_6, 5)
DSP_SLIDER(sldrdelaymi_7, 6) DSP_SLIDER(sldrdelaymi_8, 7) DSP_SLIDER(sldrdelaymi_9, 8)
DSP_SLIDER(sldrdelaymi_10, 9) DSP_SLIDER(sldrdelaymi_11, 10) DSP_SLIDER(sldrdelaymi_12, 11)

DSP_SWITCH(delayswitch1, 0) DSP_SWITCH(delayswitch2, 1) DSP_SWITCH(delayoswitch3, 2)
DSP_SWITCH(delayswitch4, 3) DSP_SWITCH(delayswitch01, 4) DSP_SWITCH(delayswitch02, 5)
DSP_SWITCH(delayswitch03, 6) DSP_SWITCH(delayswitch04, 7) DSP_SWITCH(delayswitch05, 8)
DSP_SWITCH(delayswitch06, 9) DSP_SWITCH(delayswitch07, 10) DSP_SWITCH(delayswitch08, 11)

void FormDelay::on_comboBox_3_currentIndexChanged(int i) { unitchanged(true, i); }
void FormDelay::on_comboBox_4_currentIndexChanged(int i) { unitchanged(false, i); }
// clang-format on
