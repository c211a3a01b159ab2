#include "formgeq.h"

#include "devicedata.h"
#include "formgeqdraw.h"
#include "formshowdraw.h"
#include "globalcontrl.h"
#include "longexchange.h"
#include "mainapp.h"
#include "throttletimer.h"
#include "ui_formgeq.h"

#include <QCloseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>

FormGeq *gFormGeq = nullptr;

namespace
{

using Form = Ui::FormGeq;
using Slider = QSlider *Form::*;
using Button = QPushButton *Form::*;

constexpr int kBands = FormGeq::kBands;
constexpr int kChannels = FormGeq::kChannels;
constexpr int kInputs = 4;
// The throttle: a tick every 50 ms, a send at the fifth tick, or at the next
// one once four changes are pending.
constexpr int kTickMs = 50;
constexpr int kTicksPerSend = 5;
constexpr int kBurst = 4;
// Raw gain: 0 is -30.0 dB, 300 is 0.0 dB, 450 is +15.0 dB.
constexpr int kRawMax = 450;
constexpr int kRawZero = 300;
// The reload's wait, and the all-bands reset's wait after each band (longer
// than the throttle's longest delay, so each band leaves before the next).
constexpr int kReloadMs = 200;
constexpr int kResetStepMs = 100;
constexpr int kResetSteps = 4;

const Slider kSlider[kBands] = {
    &Form::slidergeqgain,    &Form::slidergeqgain_2,  &Form::slidergeqgain_3,  &Form::slidergeqgain_4,
    &Form::slidergeqgain_5,  &Form::slidergeqgain_6,  &Form::slidergeqgain_7,  &Form::slidergeqgain_8,
    &Form::slidergeqgain_9,  &Form::slidergeqgain_10, &Form::slidergeqgain_11, &Form::slidergeqgain_12,
    &Form::slidergeqgain_13, &Form::slidergeqgain_14, &Form::slidergeqgain_15, &Form::slidergeqgain_16,
    &Form::slidergeqgain_17, &Form::slidergeqgain_18, &Form::slidergeqgain_19, &Form::slidergeqgain_20,
    &Form::slidergeqgain_21, &Form::slidergeqgain_22, &Form::slidergeqgain_23, &Form::slidergeqgain_24,
    &Form::slidergeqgain_25, &Form::slidergeqgain_26, &Form::slidergeqgain_27, &Form::slidergeqgain_28,
    &Form::slidergeqgain_29, &Form::slidergeqgain_30, &Form::slidergeqgain_31,
};
const Button kPass[kBands] = {
    &Form::btngeqpass,    &Form::btngeqpass_2,  &Form::btngeqpass_3,  &Form::btngeqpass_4,
    &Form::btngeqpass_5,  &Form::btngeqpass_6,  &Form::btngeqpass_7,  &Form::btngeqpass_8,
    &Form::btngeqpass_9,  &Form::btngeqpass_10, &Form::btngeqpass_11, &Form::btngeqpass_12,
    &Form::btngeqpass_13, &Form::btngeqpass_14, &Form::btngeqpass_15, &Form::btngeqpass_16,
    &Form::btngeqpass_17, &Form::btngeqpass_18, &Form::btngeqpass_19, &Form::btngeqpass_20,
    &Form::btngeqpass_21, &Form::btngeqpass_22, &Form::btngeqpass_23, &Form::btngeqpass_24,
    &Form::btngeqpass_25, &Form::btngeqpass_26, &Form::btngeqpass_27, &Form::btngeqpass_28,
    &Form::btngeqpass_29, &Form::btngeqpass_30, &Form::btngeqpass_31,
};
const Button kReset[kBands] = {
    &Form::btngeqset0,    &Form::btngeqset0_2,  &Form::btngeqset0_3,  &Form::btngeqset0_4,
    &Form::btngeqset0_5,  &Form::btngeqset0_6,  &Form::btngeqset0_7,  &Form::btngeqset0_8,
    &Form::btngeqset0_9,  &Form::btngeqset0_10, &Form::btngeqset0_11, &Form::btngeqset0_12,
    &Form::btngeqset0_13, &Form::btngeqset0_14, &Form::btngeqset0_15, &Form::btngeqset0_16,
    &Form::btngeqset0_17, &Form::btngeqset0_18, &Form::btngeqset0_19, &Form::btngeqset0_20,
    &Form::btngeqset0_21, &Form::btngeqset0_22, &Form::btngeqset0_23, &Form::btngeqset0_24,
    &Form::btngeqset0_25, &Form::btngeqset0_26, &Form::btngeqset0_27, &Form::btngeqset0_28,
    &Form::btngeqset0_29, &Form::btngeqset0_30, &Form::btngeqset0_31,
};
const Button kChannel[kChannels] = {
    &Form::btngeqina,  &Form::btngeqinb,  &Form::btngeqinc,  &Form::btngeqind,
    &Form::btngeqout1, &Form::btngeqout2, &Form::btngeqout3, &Form::btngeqout4,
    &Form::btngeqout5, &Form::btngeqout6, &Form::btngeqout7, &Form::btngeqout8,
};
// Centre frequency texts of the bands, as the tooltips give them.
const char *const kFreqText[kBands] = {"20",   "25.2", "31.7", "40",    "50.4",  "63.5",  "80",   "101",
                                       "127",  "160",  "202",  "254",   "320",   "403",   "508",  "640",
                                       "806",  "1016", "1280", "1613",  "2032",  "2560",  "3225", "4064",
                                       "5120", "6451", "8127", "10240", "12902", "16255", "20480"};

DeviceData *device()
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool validband(int b)
{
    return b >= 0 && b < kBands;
}

bool validchannel(int c)
{
    return c >= 0 && c < kChannels;
}

// Channels the device view has: 4/8, 3/6 or 2/4 inputs/outputs.
bool present(int view, int c)
{
    const int inputs = view == 0 ? 4 : view == 1 ? 3 : 2;
    const int outputs = view == 0 ? 8 : view == 1 ? 6 : 4;
    return c < kInputs ? c < inputs : c - kInputs < outputs;
}

} // namespace

FormGeq::FormGeq(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormGeq)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/gain/skin/crcone1.png")));
    for (int b = 0; b < kBands; ++b)
        slider(b)->setRange(0, kRawMax);
    curchannel = 0;
    // The channel the edits go to is lit from the first show.
    (ui.get()->*kChannel[curchannel])->setChecked(true);
    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &FormGeq::timetosend);
    tickcount = 0;
    pendingcount = 0;
    sendtimer->startticks(kTickMs);
    ui->widgetgeqlockback->hide();
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormGeq::refreshLanText);
}

FormGeq::~FormGeq() = default;

QSlider *FormGeq::slider(int band) const
{
    return ui.get()->*kSlider[band];
}

QPushButton *FormGeq::passbutton(int band) const
{
    return ui.get()->*kPass[band];
}

FormGeqDraw *FormGeq::display() const
{
    return ui->widgetgeqdraw;
}

QString FormGeq::bandtext(int band, int raw, int language)
{
    if (!validband(band))
        return QString();
    const double db = (raw - kRawZero) / 10.0;
    const QString gain = QString::number(db, 'f', 1);
    const QString freq = QString::fromLatin1(kFreqText[band]);
    return language ? QStringLiteral("增益:%1dB\nFreq:%2Hz").arg(gain, freq)
                    : QStringLiteral("Gain:%1dB\nFreq:%2Hz").arg(gain, freq);
}

// ---------------------------------------------------------------------------
// Bands and sending

void FormGeq::bandchanged(int band, int v)
{
    if (gMainApp)
        gMainApp->setgeqgain(band, (v - kRawZero) / 10.0);
    const QString text = bandtext(band, v, gGlobalContrl ? gGlobalContrl->getlanguage() : 0);
    slider(band)->setToolTip(text);
    curband = quint8(band);
    ui->widgetgeqdraw->showBandPoint(band, text);
    // A reload only shows the model: nothing is stored, copied or counted.
    DeviceData *d = device();
    if (loaddepth > 0 || !d)
        return;
    const bool pass = passbutton(band)->isChecked();
    d->setgeq(curchannel, band, v, pass);
    count(curchannel, band);
    linkband(v, pass);
}

QVector<int> FormGeq::linkgroup(int c) const
{
    if (!device() || !gMainApp || !validchannel(c))
        return {};
    return gMainApp->linkgroup(c);
}

void FormGeq::linkband(int raw, bool pass)
{
    DeviceData *d = device();
    if (!d)
        return;
    for (int k : linkgroup(curchannel))
        d->setgeq(k, curband, raw, pass);
}

void FormGeq::count(int channel, int band)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % kTicksPerSend;
    ++pendingcount;
    pending.set(std::size_t(channel * kBands + band));
}

void FormGeq::timetosend()
{
    if (pendingcount == 0)
        sendtimer->sleep(); // nothing pending: no ticks until the next change
    if (pendingcount >= kBurst) {
        sendnow();
        return;
    }
    if (++tickcount < kTicksPerSend)
        return;
    if (pendingcount >= 1)
        sendnow();
    else
        tickcount = 0;
}

void FormGeq::sendnow()
{
    // While a reload runs the sender is silent: the changes wait for the
    // first send point after it instead of being dropped.
    if (gMainApp && gMainApp->geqloading)
        return;
    const std::bitset<kChannels *kBands> changed = pending;
    pending.reset();
    pendingcount = 0;
    tickcount = 0;
    if (!gMainApp)
        return;
    // Every (channel, band) changed since the last send, ascending; without
    // a link the sender sends nothing and the changes are dropped.
    for (int k = 0; k < kChannels * kBands; ++k)
        if (changed.test(std::size_t(k)))
            gMainApp->buildgeqband(k / kBands, k % kBands);
    showsent();
}

void FormGeq::showsent()
{
    const DeviceData *d = device();
    if (!d || !gMainApp || !validchannel(curchannel))
        return;
    // Only controls that differ change, each without running its handler:
    // nothing is stored or counted.
    const int language = gGlobalContrl ? gGlobalContrl->getlanguage() : 0;
    bool changed = false;
    for (int b = 0; b < kBands; ++b) {
        QPushButton *pass = passbutton(b);
        if (pass->isChecked() != d->getgeqpass(curchannel, b)) {
            const QSignalBlocker quiet(pass);
            pass->setChecked(d->getgeqpass(curchannel, b));
            changed = true;
        }
        QSlider *s = slider(b);
        if (s->value() == d->getgeqgain(curchannel, b))
            continue;
        {
            const QSignalBlocker quiet(s);
            s->setValue(d->getgeqgain(curchannel, b));
        }
        gMainApp->setgeqgain(b, (s->value() - kRawZero) / 10.0);
        s->setToolTip(bandtext(b, s->value(), language));
        changed = true;
    }
    if (changed)
        ui->widgetgeqdraw->update();
}

// ---------------------------------------------------------------------------
// Channels and reload

void FormGeq::setchannel(int channel)
{
    curchannel = channel;
    if (gMainApp)
        gMainApp->setgeqchannel(channel);
    QPushButton *b = ui.get()->*kChannel[channel];
    if (!b->isChecked())
        b->setChecked(true);
}

void FormGeq::selectchannel(int channel)
{
    if (!validchannel(channel))
        return;
    if (loaddepth > 0) {
        // Taken once the running reload ends (a held channel button repeats
        // its click inside the reload's wait).
        requestedchannel = channel;
        return;
    }
    setchannel(channel);
    updatenewdata();
}

void FormGeq::updatenewdata()
{
    if (loaddepth > 0) {
        reloadagain = true;
        return;
    }
    QPointer<FormGeq> self(this);
    for (;;) {
        reloadonce();
        if (!self)
            return;
        if (requestedchannel >= 0) {
            setchannel(requestedchannel);
            requestedchannel = -1;
            reloadagain = false;
        } else if (reloadagain) {
            reloadagain = false;
        } else {
            break;
        }
    }
}

void FormGeq::reloadonce()
{
    DeviceData *d = device();
    if (!d || !gMainApp)
        return;
    const int c = curchannel;
    const uchar before = gMainApp->geqloading;
    gMainApp->geqloading = 1;
    ++loaddepth;
    // A stored gain above the range (from a program image) is taken as the
    // top of the range, in the model too.
    for (int b = 0; b < kBands; ++b)
        if (d->getgeqgain(c, b) > kRawMax)
            d->setgeq(c, b, kRawMax, d->getgeqpass(c, b));
    for (int b = 0; b < kBands; ++b)
        passbutton(b)->setChecked(d->getgeqpass(c, b));
    const int language = gGlobalContrl ? gGlobalContrl->getlanguage() : 0;
    for (int b = 0; b < kBands; ++b) {
        QSlider *s = slider(b);
        s->setValue(d->getgeqgain(c, b));
        // A slider already at the value runs no slot: the display's gain and
        // the tooltip still follow the channel shown.
        gMainApp->setgeqgain(b, (s->value() - kRawZero) / 10.0);
        s->setToolTip(bandtext(b, s->value(), language));
    }
    ui->btneqbypassxx->setChecked(gMainApp->getcurgeqbypassall() != 0);
    ui->widgetgeqdraw->update();
    QPointer<FormGeq> self(this);
    MainApp::delayms(kReloadMs, true);
    if (gMainApp)
        gMainApp->geqloading = before;
    if (self)
        --loaddepth;
}

void FormGeq::updategeqview(int view)
{
    updategeqlock();
    if (view < 0 || view > 2)
        return;
    const bool inc = view != 2, ind = view == 0, out56 = view != 2, out78 = view == 0;
    ui->btngeqinc->setVisible(inc);
    ui->btngeqind->setVisible(ind);
    ui->btngeqout5->setVisible(out56);
    ui->btngeqout6->setVisible(out56);
    ui->btngeqout7->setVisible(out78);
    ui->btngeqout8->setVisible(out78);
    // A channel the device does not have is never edited: IN-A instead.
    if (!present(view, curchannel)) {
        if (loaddepth > 0)
            requestedchannel = 0;
        else
            setchannel(0);
    }
    updatenewdata();
}

void FormGeq::updategeq()
{
    if (!gMainApp)
        return;
    const int n = gMainApp->getgeqviewch();
    if (n < 1 || n > kChannels)
        return;
    selectchannel(n - 1);
}

void FormGeq::updategeqlock()
{
    const DeviceData *d = device();
    const bool linked = d && (d->getcomconnected() || d->gettcpconnected());
    const bool locked = linked && (d->getlocktype() & ~2) == 1;
    ui->widgetgeqlockback->setVisible(locked);
    if (locked)
        ui->widgetgeqlockback->raise();
    ui->btneqbypassxx->setEnabled(!locked);
    // The overlay blocks the mouse; the strips beneath are made inert too so
    // that the keyboard cannot reach them.
    for (int b = 0; b < kBands; ++b) {
        slider(b)->setEnabled(!locked);
        passbutton(b)->setEnabled(!locked);
        (ui.get()->*kReset[b])->setEnabled(!locked);
    }
    ui->btngeqset0_32->setEnabled(!locked);
}

void FormGeq::refreshLanText()
{
    const QString text =
        gGlobalContrl && gGlobalContrl->getlanguage() ? QStringLiteral("直通") : QStringLiteral("Bypass");
    ui->label_59->setText(text);
    ui->label_60->setText(text);
    ui->btneqbypassxx->setText(text);
    // The bands' tips and the marker's read-out follow the language too.
    const int language = gGlobalContrl ? gGlobalContrl->getlanguage() : 0;
    for (int b = 0; b < kBands; ++b)
        slider(b)->setToolTip(bandtext(b, slider(b)->value(), language));
    if (display()->plot()->marker().isActive())
        display()->showBandPoint(curband, bandtext(curband, slider(curband)->value(), language));
}

void FormGeq::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidegeqview();
    event->ignore();
}

// ---------------------------------------------------------------------------
// Bypass, pass and reset

void FormGeq::on_btneqbypassxx_clicked()
{
    DeviceData *d = device();
    if (!d || !gMainApp)
        return;
    const uchar on = gMainApp->getcurgeqbypassall() ? 0 : 1;
    gMainApp->setcurgeqbypassall(on);
    ui->btneqbypassxx->setChecked(on != 0);
    ui->widgetgeqdraw->update();
    gMainApp->sendbypassflags(1);
    for (int k : linkgroup(curchannel))
        d->setgeqbypassall(k, on != 0);
    emit geqbypassalltomain();
}

void FormGeq::passclicked(int band)
{
    DeviceData *d = device();
    if (!d || !gMainApp)
        return;
    curband = quint8(band);
    const int raw = slider(band)->value();
    const bool pass = passbutton(band)->isChecked();
    d->setgeq(curchannel, band, raw, pass);
    // At once, not through the throttle; while a reload holds the sender the
    // change waits for the next send point instead.
    if (gMainApp->geqloading)
        count(curchannel, band);
    else
        gMainApp->buildgeqband(curchannel, band);
    ui->widgetgeqdraw->update();
    linkband(raw, pass);
}

void FormGeq::resetband(int band)
{
    if (validband(band))
        slider(band)->setValue(kRawZero);
}

void FormGeq::flattenband(int c, int b)
{
    DeviceData *d = device();
    if (!d || !validchannel(c) || !validband(b))
        return;
    if (c == curchannel && loaddepth == 0) {
        // The channel shown: as the band's own reset button does.
        if (slider(b)->value() == kRawZero)
            bandchanged(b, kRawZero); // the slider does not move: its slot would not run
        else
            resetband(b);
        return;
    }
    // Another channel shown, or a reload under way: the model and the
    // sender take the band of the channel the reset belongs to, and the
    // screen shows it when that channel is the one shown.
    const bool pass = d->getgeqpass(c, b);
    d->setgeq(c, b, kRawZero, pass);
    count(c, b);
    for (int k : linkgroup(c))
        d->setgeq(k, b, kRawZero, pass);
    if (c == curchannel)
        showsent();
}

void FormGeq::on_btngeqset0_32_clicked()
{
    QPushButton *button = ui->btngeqset0_32;
    // One all-bands reset at a time; a second click meanwhile changes
    // nothing (its release let the held button up: held down again).
    if (resetrunning) {
        button->setDown(true);
        return;
    }
    DeviceData *const start = device();
    if (!start)
        return;
    resetrunning = true;
    // The reset belongs to the channel shown when it started, and finishes
    // for it whatever the page shows meanwhile: each band's frame names that
    // channel. The button stays down and the page shows a busy pointer
    // until it ends.
    const int c = curchannel;
    button->setDown(true);
    setCursor(Qt::BusyCursor);
    // The outputs' bands are never read back from the processor, so a band
    // the model holds at 0 dB may be elsewhere there: for an output every
    // band is sent.
    const bool output = c >= kInputs;
    QPointer<FormGeq> self(this);
    // Clearing the device list would cut the series short and leave the
    // processor's bands partly flat: it is refused until the series ends.
    FrameSeries series;
    // Ends early only when the page goes or the device it started on is no
    // longer the current one.
    const auto running = [&]() { return self && device() == start; };
    for (int b = 0; b < kBands && running(); ++b) {
        if (!output && start->getgeqgain(c, b) == kRawZero)
            continue;
        flattenband(c, b);
        for (int k = 0; k < kResetSteps && running(); ++k)
            MainApp::delayms(kResetStepMs);
    }
    if (!self)
        return;
    resetrunning = false;
    button->setDown(false);
    unsetCursor();
}

// ---------------------------------------------------------------------------
// Slots by name: each names its family helper and its place in the family.

// clang-format off
#define DSP_BAND(s, b) void FormGeq::on_slidergeqgain##s##_valueChanged(int v) { bandchanged(b, v); }
#define DSP_CHANNEL(n, c) void FormGeq::on_btngeq##n##_clicked() { selectchannel(c); }
#define DSP_PASS(s, b) void FormGeq::on_btngeqpass##s##_clicked() { passclicked(b); }
#define DSP_RESET(s, b) void FormGeq::on_btngeqset0##s##_clicked() { resetband(b); }

DSP_BAND(, 0) DSP_BAND(_2, 1) DSP_BAND(_3, 2) DSP_BAND(_4, 3)
DSP_BAND(_5, 4) DSP_BAND(_6, 5) DSP_BAND(_7, 6) DSP_BAND(_8, 7)
DSP_BAND(_9, 8) DSP_BAND(_10, 9) DSP_BAND(_11, 10) DSP_BAND(_12, 11)
DSP_BAND(_13, 12) DSP_BAND(_14, 13) DSP_BAND(_15, 14) DSP_BAND(_16, 15)
DSP_BAND(_17, 16) DSP_BAND(_18, 17) DSP_BAND(_19, 18) DSP_BAND(_20, 19)
DSP_BAND(_21, 20) DSP_BAND(_22, 21) DSP_BAND(_23, 22) DSP_BAND(_24, 23)
DSP_BAND(_25, 24) DSP_BAND(_26, 25) DSP_BAND(_27, 26) DSP_BAND(_28, 27)
DSP_BAND(_29, 28) DSP_BAND(_30, 29) DSP_BAND(_31, 30)
DSP_CHANNEL(ina, 0) DSP_CHANNEL(inb, 1) DSP_CHANNEL(inc, 2) DSP_CHANNEL(ind, 3)
DSP_CHANNEL(out1, 4) DSP_CHANNEL(out2, 5) DSP_CHANNEL(out3, 6) DSP_CHANNEL(out4, 7)
DSP_CHANNEL(out5, 8) DSP_CHANNEL(out6, 9) DSP_CHANNEL(out7, 10) DSP_CHANNEL(out8, 11)
DSP_PASS(, 0) DSP_PASS(_2, 1) DSP_PASS(_3, 2) DSP_PASS(_4, 3)
DSP_PASS(_5, 4) DSP_PASS(_6, 5) DSP_PASS(_7, 6) DSP_PASS(_8, 7)
DSP_PASS(_9, 8) DSP_PASS(_10, 9) DSP_PASS(_11, 10) DSP_PASS(_12, 11)
DSP_PASS(_13, 12) DSP_PASS(_14, 13) DSP_PASS(_15, 14) DSP_PASS(_16, 15)
DSP_PASS(_17, 16) DSP_PASS(_18, 17) DSP_PASS(_19, 18) DSP_PASS(_20, 19)
DSP_PASS(_21, 20) DSP_PASS(_22, 21) DSP_PASS(_23, 22) DSP_PASS(_24, 23)
DSP_PASS(_25, 24) DSP_PASS(_26, 25) DSP_PASS(_27, 26) DSP_PASS(_28, 27)
DSP_PASS(_29, 28) DSP_PASS(_30, 29) DSP_PASS(_31, 30)
DSP_RESET(, 0) DSP_RESET(_2, 1) DSP_RESET(_3, 2) DSP_RESET(_4, 3)
DSP_RESET(_5, 4) DSP_RESET(_6, 5) DSP_RESET(_7, 6) DSP_RESET(_8, 7)
DSP_RESET(_9, 8) DSP_RESET(_10, 9) DSP_RESET(_11, 10) DSP_RESET(_12, 11)
DSP_RESET(_13, 12) DSP_RESET(_14, 13) DSP_RESET(_15, 14) DSP_RESET(_16, 15)
DSP_RESET(_17, 16) DSP_RESET(_18, 17) DSP_RESET(_19, 18) DSP_RESET(_20, 19)
DSP_RESET(_21, 20) DSP_RESET(_22, 21) DSP_RESET(_23, 22) DSP_RESET(_24, 23)
DSP_RESET(_25, 24) DSP_RESET(_26, 25) DSP_RESET(_27, 26) DSP_RESET(_28, 27)
DSP_RESET(_29, 28) DSP_RESET(_30, 29) DSP_RESET(_31, 30)
    // clang-format on
