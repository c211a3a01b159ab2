#include "formeqbtns.h"

#include "channellinks.h"
#include "devicedata.h"
#include "formphase.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "panelwindow.h"
#include "showwidget.h"
#include "throttletimer.h"
#include "ui_formeqbtns.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <cmath>

namespace
{

using Form = Ui::Formeqbtns;

constexpr int kSendMs = 50;
constexpr int kLoadWaitMs = 150;
constexpr int kZeroGain = 300;
constexpr int kMaxGain = 450;
constexpr int kAllPass = 5;
const char *const kPlaceholder = "-------";

// One band strip's widgets; the value rows are indexed by Formeqbtns::Quantity.
struct Strip {
    QWidget *Form::*strip;
    QPushButton *Form::*select;
    QComboBox *Form::*type;
    QPushButton *Form::*bypass;
    QPushButton *Form::*zero;
    QSlider *Form::*slider[3];
    QLineEdit *Form::*edit[3];
    QPushButton *Form::*up[3];
    QPushButton *Form::*down[3];
};
const Strip kStrips[Formeqbtns::kBands] = {
    {&Form::widgeteq,
     &Form::btn1eqbtn,
     &Form::cbxHPFSlope,
     &Form::btneqbypass,
     &Form::btneqset0,
     {&Form::sldreqfreq, &Form::sldreqgain, &Form::sldreqq},
     {&Form::Editeqfreq, &Form::Editeqgain, &Form::Editeqq},
     {&Form::btnupeqfreq, &Form::btnupeqgain, &Form::btnupeqq},
     {&Form::btndowneqfreq, &Form::btndowneqgain, &Form::btndowneqq}},
    {&Form::widgeteq_2,
     &Form::btn1eqbtn_2,
     &Form::cbxHPFSlope_2,
     &Form::btneqbypass_2,
     &Form::btneqset0_2,
     {&Form::sldreqfreq_2, &Form::sldreqgain_2, &Form::sldreqq_2},
     {&Form::Editeqfreq_2, &Form::Editeqgain_2, &Form::Editeqq_2},
     {&Form::btnupeqfreq_2, &Form::btnupeqgain_2, &Form::btnupeqq_2},
     {&Form::btndowneqfreq_2, &Form::btndowneqgain_2, &Form::btndowneqq_2}},
    {&Form::widgeteq_3,
     &Form::btn1eqbtn_3,
     &Form::cbxHPFSlope_3,
     &Form::btneqbypass_3,
     &Form::btneqset0_3,
     {&Form::sldreqfreq_3, &Form::sldreqgain_3, &Form::sldreqq_3},
     {&Form::Editeqfreq_3, &Form::Editeqgain_3, &Form::Editeqq_3},
     {&Form::btnupeqfreq_3, &Form::btnupeqgain_3, &Form::btnupeqq_3},
     {&Form::btndowneqfreq_3, &Form::btndowneqgain_3, &Form::btndowneqq_3}},
    {&Form::widgeteq_4,
     &Form::btn1eqbtn_4,
     &Form::cbxHPFSlope_4,
     &Form::btneqbypass_4,
     &Form::btneqset0_4,
     {&Form::sldreqfreq_4, &Form::sldreqgain_4, &Form::sldreqq_4},
     {&Form::Editeqfreq_4, &Form::Editeqgain_4, &Form::Editeqq_4},
     {&Form::btnupeqfreq_4, &Form::btnupeqgain_4, &Form::btnupeqq_4},
     {&Form::btndowneqfreq_4, &Form::btndowneqgain_4, &Form::btndowneqq_4}},
    {&Form::widgeteq_5,
     &Form::btn1eqbtn_5,
     &Form::cbxHPFSlope_5,
     &Form::btneqbypass_5,
     &Form::btneqset0_5,
     {&Form::sldreqfreq_5, &Form::sldreqgain_5, &Form::sldreqq_5},
     {&Form::Editeqfreq_5, &Form::Editeqgain_5, &Form::Editeqq_5},
     {&Form::btnupeqfreq_5, &Form::btnupeqgain_5, &Form::btnupeqq_5},
     {&Form::btndowneqfreq_5, &Form::btndowneqgain_5, &Form::btndowneqq_5}},
    {&Form::widgeteq_6,
     &Form::btn1eqbtn_6,
     &Form::cbxHPFSlope_6,
     &Form::btneqbypass_6,
     &Form::btneqset0_6,
     {&Form::sldreqfreq_6, &Form::sldreqgain_6, &Form::sldreqq_6},
     {&Form::Editeqfreq_6, &Form::Editeqgain_6, &Form::Editeqq_6},
     {&Form::btnupeqfreq_6, &Form::btnupeqgain_6, &Form::btnupeqq_6},
     {&Form::btndowneqfreq_6, &Form::btndowneqgain_6, &Form::btndowneqq_6}},
    {&Form::widgeteq_7,
     &Form::btn1eqbtn_7,
     &Form::cbxHPFSlope_7,
     &Form::btneqbypass_7,
     &Form::btneqset0_7,
     {&Form::sldreqfreq_7, &Form::sldreqgain_7, &Form::sldreqq_7},
     {&Form::Editeqfreq_7, &Form::Editeqgain_7, &Form::Editeqq_7},
     {&Form::btnupeqfreq_7, &Form::btnupeqgain_7, &Form::btnupeqq_7},
     {&Form::btndowneqfreq_7, &Form::btndowneqgain_7, &Form::btndowneqq_7}},
};

// Per band type 0..5: frequency slider range, width slider top, and the
// defaults a user's choice of the type applies (width index, frequency index).
struct TypeRow {
    int freqmin, freqmax, widthmax, width, freq;
};
const TypeRow kTypes[6] = {
    {35, 398, 40, 14, 238}, {35, 382, 40, 1, 118}, {35, 382, 40, 2, 118},
    {65, 394, 40, 3, 358},  {65, 394, 40, 4, 358}, {35, 394, 178, 0, 238},
};

CurveMath &maths()
{
    static CurveMath m;
    return m;
}

DeviceData *device()
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool validchannel(int ch)
{
    return ch >= 0 && ch < Formeqbtns::kChannels;
}

QString freqtext(int i)
{
    return QString::number(double(float(maths().getfreq(qBound(0, i, CurveMath::kGridSize - 1)))), 'f', 1);
}

QString gaintext(int raw)
{
    return QString::number(double(raw - kZeroGain) / 10.0, 'f', 1);
}

QString widthtext(int i)
{
    return QString::number(maths().getwidth(qBound(0, i, CurveMath::kWidthCount - 1)), 'f', 3);
}

// First entry not below x; the one before when x is strictly nearer to it.
template <typename Entry> int nearest(double x, int n, Entry entry)
{
    int i = 0;
    while (i < n && entry(i) < x)
        ++i;
    if (i == n)
        return n - 1;
    if (i == 0)
        return 0;
    return (entry(i) - x) > (x - entry(i - 1)) ? i - 1 : i;
}

} // namespace

Formeqbtns::Formeqbtns(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Formeqbtns)
{
    ui->setupUi(this);
    // Frequency grid index, raw gain (dB x 10 + 300) and width index.
    for (int b = 0; b < kBands; ++b) {
        slider(b, Freq)->setRange(0, CurveMath::kGridSize - 1);
        slider(b, Gain)->setRange(0, kMaxGain);
        slider(b, Width)->setRange(0, CurveMath::kWidthCount - 1);
        // A band's type turns All Pass off: no panel covers it.
        keepclear(typebox(b));
    }
    // Top-level (no parent) and not modal, so that it sits beside the page
    // without blocking it; placed each time it comes up (showpanel).
    phase = new FormPhase(nullptr);
    phase->installEventFilter(this);
    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &Formeqbtns::timetosend);
    sendtimer->startticks(kSendMs);
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &Formeqbtns::refreshLanText);
}

Formeqbtns::~Formeqbtns()
{
    delete phase;
    delete ui;
}

QSlider *Formeqbtns::slider(int b, Quantity q) const
{
    return ui->*kStrips[b].slider[q];
}

QLineEdit *Formeqbtns::edit(int b, Quantity q) const
{
    return ui->*kStrips[b].edit[q];
}

QComboBox *Formeqbtns::typebox(int b) const
{
    return ui->*kStrips[b].type;
}

void Formeqbtns::repaintphase()
{
    phase->repaintcurve();
}

int Formeqbtns::storedtype(int b) const
{
    const DeviceData *d = device();
    return d && validchannel(channel) ? d->getpeqtype(channel, b) : 0;
}

bool Formeqbtns::hasawidth(int b) const
{
    return storedtype(b) == 0;
}

int Formeqbtns::nearestfreqindex(float hz)
{
    return nearest(double(hz), CurveMath::kGridSize, [](int i) { return maths().getfreq(i); });
}

int Formeqbtns::nearestwidthindex(double octaves)
{
    return nearest(octaves, CurveMath::kWidthCount, [](int i) { return maths().getwidth(i); });
}

void Formeqbtns::showbands(int n)
{
    for (int b = 0; b < kBands; ++b)
        setshown(ui->*kStrips[b].strip, b < n);
    updatephase();
}

void Formeqbtns::setpageshown(bool on)
{
    pageshown = on;
    updatephase();
}

void Formeqbtns::updatephase()
{
    bool wanted = false;
    for (int b = 0; pageshown && b < kBands; ++b) {
        if (!(ui->*kStrips[b].strip)->isHidden() && storedtype(b) == kAllPass)
            wanted = true;
    }
    // A panel the user closed stays closed until its condition ends.
    if (!wanted)
        phaseclosed = false;
    wanted = wanted && !phaseclosed;
    showpanel(phase, this, wanted);
}

bool Formeqbtns::eventFilter(QObject *watched, QEvent *event)
{
    // The user's close request: the panel stays closed for now.
    if (watched == phase && event->type() == QEvent::Close)
        phaseclosed = true;
    return QWidget::eventFilter(watched, event);
}

int Formeqbtns::pendingframes() const
{
    int n = 0;
    for (const auto &row : pending)
        n += int(std::count(std::begin(row), std::end(row), true));
    return n;
}

// ---------------------------------------------------------------------------
// Texts and band set-up

void Formeqbtns::showtexts(int b)
{
    const int t = storedtype(b);
    edit(b, Freq)->setText(freqtext(slider(b, Freq)->value()));
    edit(b, Gain)->setText(t == kAllPass ? QString::fromLatin1(kPlaceholder)
                                         : gaintext(slider(b, Gain)->value()));
    edit(b, Width)->setText(t == 0 ? widthtext(slider(b, Width)->value())
                                   : QString::fromLatin1(kPlaceholder));
}

void Formeqbtns::setquiet(QSlider *s, int v)
{
    ++quiet;
    s->setValue(v);
    --quiet;
}

void Formeqbtns::configure(int b, int t)
{
    if (t < 0 || t > kAllPass)
        return;
    const Strip &s = kStrips[b];
    const TypeRow &row = kTypes[t];
    ++quiet;
    // A value outside the new range is clamped on screen only.
    slider(b, Freq)->setRange(row.freqmin, row.freqmax);
    slider(b, Width)->setRange(0, row.widthmax);
    --quiet;
    const bool gain = t != kAllPass;
    const bool width = t == 0;
    slider(b, Gain)->setEnabled(gain);
    (ui->*s.up[Gain])->setEnabled(gain);
    (ui->*s.down[Gain])->setEnabled(gain);
    edit(b, Gain)->setEnabled(gain);
    slider(b, Width)->setEnabled(width);
    (ui->*s.up[Width])->setEnabled(width);
    (ui->*s.down[Width])->setEnabled(width);
    edit(b, Width)->setEnabled(gain);
    // A type without a width shows "-------": its entry takes no typing.
    edit(b, Width)->setReadOnly(!width);
    phase->repaintcurve();
    showtexts(b);
}

// ---------------------------------------------------------------------------
// Loading a channel: shows the model, stores nothing

void Formeqbtns::setchannel(int ch)
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    gMainApp->peqloading = 1;
    channel = ch;
    emit peqredrawallbtns();
    ++quiet;
    for (int b = 0; b < kBands; ++b) {
        const int t = d->getpeqtype(ch, b);
        // A type the list does not hold selects nothing; the stored byte stays.
        const int index = t <= kAllPass ? t : -1;
        typebox(b)->setCurrentIndex(index);
        configure(b, t);
    }
    --quiet;
    updatephase();
}

void Formeqbtns::loadfreqs(int ch)
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    gMainApp->peqloading = 1;
    for (int b = 0; b < kBands; ++b) {
        setquiet(slider(b, Freq), d->getpeqfreq(ch, b));
        showtexts(b);
    }
}

void Formeqbtns::loadgains(int ch)
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    gMainApp->peqloading = 1;
    for (int b = 0; b < kBands; ++b) {
        setquiet(slider(b, Gain), d->getpeqgain(ch, b));
        showtexts(b);
    }
    // Ticks and replies run during the wait; user input waits until the
    // panel shows the whole channel.
    MainApp::delayms(kLoadWaitMs, true);
    gMainApp->peqloading = 0;
}

void Formeqbtns::loadwidths(int ch)
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    gMainApp->peqloading = 1;
    for (int b = 0; b < kBands; ++b) {
        setquiet(slider(b, Width), d->getpeqwidth(ch, b));
        showtexts(b);
    }
}

void Formeqbtns::loadbypass(int ch)
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    gMainApp->peqloading = 1;
    for (int b = 0; b < kBands; ++b)
        (ui->*kStrips[b].bypass)->setChecked(d->getpeqbypass(ch, b));
}

// ---------------------------------------------------------------------------
// Value handlers

template <typename Setter> void Formeqbtns::linkcopy(int b, Setter set)
{
    DeviceData *d = device();
    if (!d || !gMainApp)
        return;
    for (int m : channellinks::group(channel, d->getlinkmask(channel), gMainApp->inputlinkon != 0,
                                     gMainApp->outputlinkon != 0))
        set(d, m, b);
}

void Formeqbtns::count(int b)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % 5;
    pending[channel][b] = true;
    ++pendingcount;
    curband = b;
}

void Formeqbtns::gainmoved(int b, int v)
{
    edit(b, Gain)->setText(storedtype(b) == kAllPass ? QString::fromLatin1(kPlaceholder) : gaintext(v));
    DeviceData *d = device();
    if (quiet || !d || !validchannel(channel))
        return;
    d->setpeqgain(channel, b, v);
    linkcopy(b, [v](DeviceData *x, int m, int band) { x->setpeqgain(m, band, v); });
    count(b);
    updateeqbtns(b);
    emit peqredraw(b);
}

void Formeqbtns::freqmoved(int b, int v)
{
    edit(b, Freq)->setText(freqtext(v));
    DeviceData *d = device();
    if (quiet || !d || !validchannel(channel))
        return;
    d->setpeqfreq(channel, b, v);
    linkcopy(b, [v](DeviceData *x, int m, int band) { x->setpeqfreq(m, band, v); });
    count(b);
    updateeqbtns(b);
    if (storedtype(b) == kAllPass)
        phase->repaintcurve();
    emit peqredraw(b);
}

void Formeqbtns::widthmoved(int b, int v)
{
    edit(b, Width)->setText(storedtype(b) == 0 ? widthtext(v) : QString::fromLatin1(kPlaceholder));
    DeviceData *d = device();
    if (quiet || !d || !validchannel(channel))
        return;
    const int w = v & 0xFF;
    d->setpeqwidth(channel, b, w);
    linkcopy(b, [w](DeviceData *x, int m, int band) { x->setpeqwidth(m, band, w); });
    count(b);
    updateeqbtns(b);
    emit peqredraw(b);
}

void Formeqbtns::typechosen(int b, int t)
{
    DeviceData *d = device();
    // The panel's own index changes (loads, language) and an index the list
    // does not hold store nothing.
    if (quiet || !d || !validchannel(channel) || t < 0 || t > kAllPass)
        return;
    curband = b;
    updateeqbtns(b);
    d->setpeqtype(channel, b, t);
    linkcopy(b, [t](DeviceData *x, int m, int band) { x->setpeqtype(m, band, t); });
    // The type's defaults, stored and copied like the type; the range clamps
    // on the way are not.
    const TypeRow &row = kTypes[t];
    d->setpeqgain(channel, b, kZeroGain);
    d->setpeqwidth(channel, b, row.width);
    d->setpeqfreq(channel, b, row.freq);
    linkcopy(b, [&row](DeviceData *x, int m, int band) {
        x->setpeqgain(m, band, kZeroGain);
        x->setpeqwidth(m, band, row.width);
        x->setpeqfreq(m, band, row.freq);
    });
    if (t == kAllPass)
        d->setbandslope(channel, b);
    configure(b, t);
    // A user's All Pass choice shows the panel again; a band leaving All
    // Pass may leave none to show.
    if (t == kAllPass)
        phaseclosed = false;
    updatephase();
    setquiet(slider(b, Gain), kZeroGain);
    setquiet(slider(b, Width), row.width);
    setquiet(slider(b, Freq), row.freq);
    showtexts(b);
    // The type byte goes out with the band's next frame: one change.
    count(b);
    emit peqredraw(b);
}

void Formeqbtns::bypassclicked(int b)
{
    DeviceData *d = device();
    if (quiet || !d || !validchannel(channel))
        return;
    const bool on = (ui->*kStrips[b].bypass)->isChecked();
    d->setpeqbypass(channel, b, on);
    linkcopy(b, [on](DeviceData *x, int m, int band) { x->setpeqbypass(m, band, on); });
    count(b);
    updateeqbtns(b);
    emit peqredrawbypass();
    phase->repaintcurve();
}

void Formeqbtns::zeroclicked(int b)
{
    slider(b, Gain)->setValue(kZeroGain);
}

void Formeqbtns::bandclicked(int b)
{
    updateeqbtns(b);
    emit peqredraw(b);
    if (storedtype(b) == kAllPass) {
        phaseclosed = false;
        updatephase();
    }
}

void Formeqbtns::step(int b, Quantity q, int delta)
{
    QSlider *s = slider(b, q);
    s->setValue(s->value() + delta);
}

void Formeqbtns::entered(int b, Quantity q)
{
    QLineEdit *e = edit(b, q);
    // Only Return applies a text; a text that is no number, or a field left
    // without Return, shows the slider's value again. A band type without a
    // width takes no width.
    if (e->hasFocus() && (q != Width || hasawidth(b))) {
        bool ok = false;
        const double x = e->text().trimmed().toDouble(&ok);
        if (ok && std::isfinite(x)) {
            QSlider *s = slider(b, q);
            switch (q) {
            case Freq:
                s->setValue(qMin(nearestfreqindex(float(x) - 0.005f), CurveMath::kGridSize - 1));
                break;
            case Gain: {
                // Tenths truncated toward zero; the slack keeps a typed x.y
                // from landing one step short on its binary value.
                const double tenths = x * 10.0;
                const double t = std::trunc(tenths + (tenths < 0 ? -1e-6 : 1e-6));
                s->setValue(int(qBound(0.0, t + kZeroGain, double(kMaxGain))));
                break;
            }
            case Width:
                s->setValue(qMin(nearestwidthindex(x), CurveMath::kWidthCount - 1));
                break;
            }
        }
    }
    showtexts(b);
}

void Formeqbtns::btnschangegainvalue(int band, int index, int y)
{
    if (band < 0 || band >= kBands || index < 0 || index >= CurveMath::kGridSize || y < 0 || y > 225)
        return;
    slider(band, Freq)->setValue(index);
    slider(band, Gain)->setValue((225 - y) * 2);
}

void Formeqbtns::btnschanged(int band)
{
    updateeqbtns(band);
}

void Formeqbtns::updateeqbtns(int band)
{
    if (band < 0 || band >= kBands)
        return;
    for (int b = 0; b < kBands; ++b)
        (ui->*kStrips[b].select)->setChecked(b == band);
}

void Formeqbtns::keyPressEvent(QKeyEvent *event)
{
    // Up and Down step the value of the focused field; no key goes further.
    const int delta = event->key() == Qt::Key_Up ? 1 : event->key() == Qt::Key_Down ? -1 : 0;
    if (!delta)
        return;
    for (int b = 0; b < kBands; ++b) {
        for (Quantity q : {Freq, Gain, Width}) {
            if (edit(b, q)->hasFocus()) {
                if (q != Width || hasawidth(b))
                    step(b, q, delta);
                return;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Throttle

void Formeqbtns::timetosend()
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
    // While a reload runs the changes wait for a later tick.
    if (!gMainApp || gMainApp->peqloading)
        return;
    // Without a link the changes stay in the model only, as for every other
    // command of the page (the band sender itself tests no link).
    const DeviceData *d = device();
    const bool up = d && (d->getcomconnected() || d->gettcpconnected());
    // A frame for another channel whose link group holds the channel shown
    // changed it on the processor and in the model: the panel shows it again.
    bool shownchanged = false;
    for (int ch = 0; up && ch < kChannels; ++ch) {
        for (int b = 0; b < kBands; ++b) {
            if (!pending[ch][b])
                continue;
            gMainApp->sendpeqband(ch, b);
            shownchanged = shownchanged || (ch != channel && gMainApp->linkgroup(ch).contains(channel));
        }
    }
    for (auto &row : pending)
        std::fill(std::begin(row), std::end(row), false);
    pendingcount = 0;
    if (shownchanged) {
        setchannel(channel);
        loadfreqs(channel);
        loadgains(channel);
        loadwidths(channel);
        loadbypass(channel);
    }
}

void Formeqbtns::refreshLanText()
{
    const bool chinese = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    const QString bypass = chinese ? QStringLiteral("直通") : QStringLiteral("ByPass");
    const QString allpass = chinese ? QStringLiteral("相位开关") : QStringLiteral("All Pass");
    for (int b = 0; b < kBands; ++b) {
        (ui->*kStrips[b].bypass)->setText(bypass);
        typebox(b)->setItemText(5, allpass);
    }
}

// ---------------------------------------------------------------------------
// Widget slots, by name

// clang-format off
void Formeqbtns::on_sldreqfreq_valueChanged(int v) { freqmoved(0, v); }
void Formeqbtns::on_sldreqgain_valueChanged(int v) { gainmoved(0, v); }
void Formeqbtns::on_sldreqq_valueChanged(int v) { widthmoved(0, v); }
void Formeqbtns::on_cbxHPFSlope_currentIndexChanged(int v) { typechosen(0, v); }
void Formeqbtns::on_btneqbypass_clicked() { bypassclicked(0); }
void Formeqbtns::on_btneqset0_clicked() { zeroclicked(0); }
void Formeqbtns::on_btn1eqbtn_clicked() { bandclicked(0); }
void Formeqbtns::on_btnupeqfreq_clicked() { step(0, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_clicked() { step(0, Freq, -1); }
void Formeqbtns::on_btnupeqgain_clicked() { step(0, Gain, 1); }
void Formeqbtns::on_btndowneqgain_clicked() { step(0, Gain, -1); }
void Formeqbtns::on_btnupeqq_clicked() { step(0, Width, 1); }
void Formeqbtns::on_btndowneqq_clicked() { step(0, Width, -1); }
void Formeqbtns::on_Editeqfreq_editingFinished() { entered(0, Freq); }
void Formeqbtns::on_Editeqgain_editingFinished() { entered(0, Gain); }
void Formeqbtns::on_Editeqq_editingFinished() { entered(0, Width); }
void Formeqbtns::on_sldreqfreq_2_valueChanged(int v) { freqmoved(1, v); }
void Formeqbtns::on_sldreqgain_2_valueChanged(int v) { gainmoved(1, v); }
void Formeqbtns::on_sldreqq_2_valueChanged(int v) { widthmoved(1, v); }
void Formeqbtns::on_cbxHPFSlope_2_currentIndexChanged(int v) { typechosen(1, v); }
void Formeqbtns::on_btneqbypass_2_clicked() { bypassclicked(1); }
void Formeqbtns::on_btneqset0_2_clicked() { zeroclicked(1); }
void Formeqbtns::on_btn1eqbtn_2_clicked() { bandclicked(1); }
void Formeqbtns::on_btnupeqfreq_2_clicked() { step(1, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_2_clicked() { step(1, Freq, -1); }
void Formeqbtns::on_btnupeqgain_2_clicked() { step(1, Gain, 1); }
void Formeqbtns::on_btndowneqgain_2_clicked() { step(1, Gain, -1); }
void Formeqbtns::on_btnupeqq_2_clicked() { step(1, Width, 1); }
void Formeqbtns::on_btndowneqq_2_clicked() { step(1, Width, -1); }
void Formeqbtns::on_Editeqfreq_2_editingFinished() { entered(1, Freq); }
void Formeqbtns::on_Editeqgain_2_editingFinished() { entered(1, Gain); }
void Formeqbtns::on_Editeqq_2_editingFinished() { entered(1, Width); }
void Formeqbtns::on_sldreqfreq_3_valueChanged(int v) { freqmoved(2, v); }
void Formeqbtns::on_sldreqgain_3_valueChanged(int v) { gainmoved(2, v); }
void Formeqbtns::on_sldreqq_3_valueChanged(int v) { widthmoved(2, v); }
void Formeqbtns::on_cbxHPFSlope_3_currentIndexChanged(int v) { typechosen(2, v); }
void Formeqbtns::on_btneqbypass_3_clicked() { bypassclicked(2); }
void Formeqbtns::on_btneqset0_3_clicked() { zeroclicked(2); }
void Formeqbtns::on_btn1eqbtn_3_clicked() { bandclicked(2); }
void Formeqbtns::on_btnupeqfreq_3_clicked() { step(2, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_3_clicked() { step(2, Freq, -1); }
void Formeqbtns::on_btnupeqgain_3_clicked() { step(2, Gain, 1); }
void Formeqbtns::on_btndowneqgain_3_clicked() { step(2, Gain, -1); }
void Formeqbtns::on_btnupeqq_3_clicked() { step(2, Width, 1); }
void Formeqbtns::on_btndowneqq_3_clicked() { step(2, Width, -1); }
void Formeqbtns::on_Editeqfreq_3_editingFinished() { entered(2, Freq); }
void Formeqbtns::on_Editeqgain_3_editingFinished() { entered(2, Gain); }
void Formeqbtns::on_Editeqq_3_editingFinished() { entered(2, Width); }
void Formeqbtns::on_sldreqfreq_4_valueChanged(int v) { freqmoved(3, v); }
void Formeqbtns::on_sldreqgain_4_valueChanged(int v) { gainmoved(3, v); }
void Formeqbtns::on_sldreqq_4_valueChanged(int v) { widthmoved(3, v); }
void Formeqbtns::on_cbxHPFSlope_4_currentIndexChanged(int v) { typechosen(3, v); }
void Formeqbtns::on_btneqbypass_4_clicked() { bypassclicked(3); }
void Formeqbtns::on_btneqset0_4_clicked() { zeroclicked(3); }
void Formeqbtns::on_btn1eqbtn_4_clicked() { bandclicked(3); }
void Formeqbtns::on_btnupeqfreq_4_clicked() { step(3, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_4_clicked() { step(3, Freq, -1); }
void Formeqbtns::on_btnupeqgain_4_clicked() { step(3, Gain, 1); }
void Formeqbtns::on_btndowneqgain_4_clicked() { step(3, Gain, -1); }
void Formeqbtns::on_btnupeqq_4_clicked() { step(3, Width, 1); }
void Formeqbtns::on_btndowneqq_4_clicked() { step(3, Width, -1); }
void Formeqbtns::on_Editeqfreq_4_editingFinished() { entered(3, Freq); }
void Formeqbtns::on_Editeqgain_4_editingFinished() { entered(3, Gain); }
void Formeqbtns::on_Editeqq_4_editingFinished() { entered(3, Width); }
void Formeqbtns::on_sldreqfreq_5_valueChanged(int v) { freqmoved(4, v); }
void Formeqbtns::on_sldreqgain_5_valueChanged(int v) { gainmoved(4, v); }
void Formeqbtns::on_sldreqq_5_valueChanged(int v) { widthmoved(4, v); }
void Formeqbtns::on_cbxHPFSlope_5_currentIndexChanged(int v) { typechosen(4, v); }
void Formeqbtns::on_btneqbypass_5_clicked() { bypassclicked(4); }
void Formeqbtns::on_btneqset0_5_clicked() { zeroclicked(4); }
void Formeqbtns::on_btn1eqbtn_5_clicked() { bandclicked(4); }
void Formeqbtns::on_btnupeqfreq_5_clicked() { step(4, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_5_clicked() { step(4, Freq, -1); }
void Formeqbtns::on_btnupeqgain_5_clicked() { step(4, Gain, 1); }
void Formeqbtns::on_btndowneqgain_5_clicked() { step(4, Gain, -1); }
void Formeqbtns::on_btnupeqq_5_clicked() { step(4, Width, 1); }
void Formeqbtns::on_btndowneqq_5_clicked() { step(4, Width, -1); }
void Formeqbtns::on_Editeqfreq_5_editingFinished() { entered(4, Freq); }
void Formeqbtns::on_Editeqgain_5_editingFinished() { entered(4, Gain); }
void Formeqbtns::on_Editeqq_5_editingFinished() { entered(4, Width); }
void Formeqbtns::on_sldreqfreq_6_valueChanged(int v) { freqmoved(5, v); }
void Formeqbtns::on_sldreqgain_6_valueChanged(int v) { gainmoved(5, v); }
void Formeqbtns::on_sldreqq_6_valueChanged(int v) { widthmoved(5, v); }
void Formeqbtns::on_cbxHPFSlope_6_currentIndexChanged(int v) { typechosen(5, v); }
void Formeqbtns::on_btneqbypass_6_clicked() { bypassclicked(5); }
void Formeqbtns::on_btneqset0_6_clicked() { zeroclicked(5); }
void Formeqbtns::on_btn1eqbtn_6_clicked() { bandclicked(5); }
void Formeqbtns::on_btnupeqfreq_6_clicked() { step(5, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_6_clicked() { step(5, Freq, -1); }
void Formeqbtns::on_btnupeqgain_6_clicked() { step(5, Gain, 1); }
void Formeqbtns::on_btndowneqgain_6_clicked() { step(5, Gain, -1); }
void Formeqbtns::on_btnupeqq_6_clicked() { step(5, Width, 1); }
void Formeqbtns::on_btndowneqq_6_clicked() { step(5, Width, -1); }
void Formeqbtns::on_Editeqfreq_6_editingFinished() { entered(5, Freq); }
void Formeqbtns::on_Editeqgain_6_editingFinished() { entered(5, Gain); }
void Formeqbtns::on_Editeqq_6_editingFinished() { entered(5, Width); }
void Formeqbtns::on_sldreqfreq_7_valueChanged(int v) { freqmoved(6, v); }
void Formeqbtns::on_sldreqgain_7_valueChanged(int v) { gainmoved(6, v); }
void Formeqbtns::on_sldreqq_7_valueChanged(int v) { widthmoved(6, v); }
void Formeqbtns::on_cbxHPFSlope_7_currentIndexChanged(int v) { typechosen(6, v); }
void Formeqbtns::on_btneqbypass_7_clicked() { bypassclicked(6); }
void Formeqbtns::on_btneqset0_7_clicked() { zeroclicked(6); }
void Formeqbtns::on_btn1eqbtn_7_clicked() { bandclicked(6); }
void Formeqbtns::on_btnupeqfreq_7_clicked() { step(6, Freq, 1); }
void Formeqbtns::on_btndowneqfreq_7_clicked() { step(6, Freq, -1); }
void Formeqbtns::on_btnupeqgain_7_clicked() { step(6, Gain, 1); }
void Formeqbtns::on_btndowneqgain_7_clicked() { step(6, Gain, -1); }
void Formeqbtns::on_btnupeqq_7_clicked() { step(6, Width, 1); }
void Formeqbtns::on_btndowneqq_7_clicked() { step(6, Width, -1); }
void Formeqbtns::on_Editeqfreq_7_editingFinished() { entered(6, Freq); }
void Formeqbtns::on_Editeqgain_7_editingFinished() { entered(6, Gain); }
void Formeqbtns::on_Editeqq_7_editingFinished() { entered(6, Width); }
// clang-format on
