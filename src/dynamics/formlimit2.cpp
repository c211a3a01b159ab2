#include "formlimit2.h"

#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "showwidget.h"
#include "throttletimer.h"
#include "ui_formlimit2.h"

#include <QCloseEvent>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>

FormLimit2 *gFormLimit2 = nullptr;

namespace
{

using Form = Ui::FormLimit2;
using Slider = QSlider *Form::*;
using Entry = QLineEdit *Form::*;
using Button = QPushButton *Form::*;
using Widget = QWidget *Form::*;

constexpr int kOutputs = FormLimit2::kOutputs;
// Channel index of OUT1: the outputs' link masks follow the inputs'.
constexpr int kFirstOutputChannel = 4;
// The throttle: a tick every 30 ms, a send at the fifth tick, or at the next
// one once four changes are pending.
constexpr int kTickMs = 30;
constexpr int kTicksPerSend = 5;
constexpr int kBurst = 4;
// Working ranges of the three controls.
constexpr int kMinimum[3] = {1, 1, 0};
constexpr int kMaximum[3] = {100, 20, 400};

// The page's widgets by control kind and output index.
const Slider kSlider[3][kOutputs] = {
    {&Form::sldrlimit1, &Form::sldrlimit2, &Form::sldrlimit3, &Form::sldrlimit4, &Form::sldrlimit5,
     &Form::sldrlimit6, &Form::sldrlimit7, &Form::sldrlimit8},
    {&Form::sldrlimitb1, &Form::sldrlimitb2, &Form::sldrlimitb3, &Form::sldrlimitb4, &Form::sldrlimitb5,
     &Form::sldrlimitb6, &Form::sldrlimitb7, &Form::sldrlimitb8},
    {&Form::sldrlimitc1, &Form::sldrlimitc2, &Form::sldrlimitc3, &Form::sldrlimitc4, &Form::sldrlimitc5,
     &Form::sldrlimitc6, &Form::sldrlimitc7, &Form::sldrlimitc8},
};
const Entry kEntry[3][kOutputs] = {
    {&Form::Editlimita1, &Form::Editlimita2, &Form::Editlimita3, &Form::Editlimita4, &Form::Editlimita5,
     &Form::Editlimita6, &Form::Editlimita7, &Form::Editlimita8},
    {&Form::Editlimitb1, &Form::Editlimitb2, &Form::Editlimitb3, &Form::Editlimitb4, &Form::Editlimitb5,
     &Form::Editlimitb6, &Form::Editlimitb7, &Form::Editlimitb8},
    {&Form::Editlimitc1, &Form::Editlimitc2, &Form::Editlimitc3, &Form::Editlimitc4, &Form::Editlimitc5,
     &Form::Editlimitc6, &Form::Editlimitc7, &Form::Editlimitc8},
};
const Button kSwitch[kOutputs] = {&Form::limitswitch1, &Form::limitswitch2, &Form::limitswitch3,
                                  &Form::limitswitch4, &Form::limitswitch5, &Form::limitswitch6,
                                  &Form::limitswitch7, &Form::limitswitch8};
const Button kSelect[kOutputs] = {&Form::btnout100, &Form::btnout200, &Form::btnout300, &Form::btnout400,
                                  &Form::btnout500, &Form::btnout600, &Form::btnout700, &Form::btnout800};
const Widget kRow[kOutputs] = {&Form::widgetlimit100, &Form::widgetlimit20, &Form::widgetlimit30,
                               &Form::widgetlimit40,  &Form::widgetlimit50, &Form::widgetlimit60,
                               &Form::widgetlimit70,  &Form::widgetlimit80};

// Unit letters an entry's text may carry, read as blanks.
const char *const kUnitLetters[3] = {"ms", "ms", "dBu"};

DeviceData *device()
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool validoutput(int o)
{
    return o >= 0 && o < kOutputs;
}

// Digits of a whole number as a value, capped well above every range so that
// long inputs cannot overflow.
qint64 bounded(const QString &digits)
{
    qint64 v = 0;
    for (QChar c : digits) {
        v = v * 10 + c.digitValue();
        if (v > 1000000000)
            return 1000000000;
    }
    return v;
}

} // namespace

FormLimit2::FormLimit2(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormLimit2)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/gain/skin/crcone1.png")));
    for (int k = Attack; k <= Threshold; ++k) {
        for (int o = 0; o < kOutputs; ++o)
            slider(Kind(k), o)->setRange(kMinimum[k], kMaximum[k]);
    }
    ui->widgetblock->hide();
    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &FormLimit2::timetosend);
    sendtimer->startticks(kTickMs);
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormLimit2::refreshLanText);
}

FormLimit2::~FormLimit2() = default;

QSlider *FormLimit2::slider(Kind kind, int o) const
{
    return ui.get()->*kSlider[kind][o];
}

QLineEdit *FormLimit2::entry(Kind kind, int o) const
{
    return ui.get()->*kEntry[kind][o];
}

void FormLimit2::updateallvalues2()
{
    for (int o = 0; o < kOutputs; ++o)
        emit updatelimitvalues2(o);
}

// ---------------------------------------------------------------------------
// Values and their texts

QString FormLimit2::valuetext(Kind kind, int value)
{
    switch (kind) {
    case Attack:
        return QString::number(value) + QStringLiteral("ms");
    case Release:
        return QString::number(value * 50) + QStringLiteral("ms");
    case Threshold:
        return QStringLiteral("%1dBu").arg(value / 10.0 - 20.0, 0, 'f', 1);
    }
    return QString();
}

bool FormLimit2::readentry(Kind kind, QString text, int *value)
{
    for (QChar c : QString::fromLatin1(kUnitLetters[kind]))
        text.replace(c, QLatin1Char(' '));
    text = text.trimmed();
    qint64 v = 0;
    if (kind == Threshold) {
        // Tenths of a dB taken on the decimal text itself, truncated toward
        // zero, so every text the page writes reads back to its own value.
        static const QRegularExpression number(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
        const QRegularExpressionMatch m = number.match(text);
        if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
            return false;
        const QString tenth = m.captured(3).left(1);
        v = bounded(m.captured(2)) * 10 + (tenth.isEmpty() ? 0 : tenth[0].digitValue());
        if (m.captured(1) == QLatin1String("-"))
            v = -v;
        v += 200;
    } else {
        static const QRegularExpression whole(QStringLiteral("^([+-]?)([0-9]+)$"));
        const QRegularExpressionMatch m = whole.match(text);
        if (!m.hasMatch())
            return false;
        v = bounded(m.captured(2));
        if (m.captured(1) == QLatin1String("-"))
            v = -v;
        if (kind == Release)
            v /= 50; // milliseconds to 50 ms steps, truncated toward zero
    }
    *value = int(qBound<qint64>(kMinimum[kind], v, kMaximum[kind]));
    return true;
}

// ---------------------------------------------------------------------------
// Device view, reload, lock, language

void FormLimit2::updatelimitview2(int view)
{
    updatelimit2lock();
    if (view < 0 || view > 2)
        return;
    updatenewdata();
    // Outputs the device type has: 8, 6 or 4.
    const int present = view == 0 ? 8 : view == 1 ? 6 : 4;
    for (int o = 4; o < kOutputs; ++o) {
        setshown(ui.get()->*kRow[o], o < present);
        setshown(ui.get()->*kSelect[o], o < present);
    }
    // An output the device lacks is never kept current or selected: the
    // first output is.
    bool lacking = curoutput >= present;
    for (int o = present; o < kOutputs; ++o)
        lacking = lacking || (ui.get()->*kSelect[o])->isChecked();
    if (lacking) {
        curoutput = 0;
        select(0);
    }
}

void FormLimit2::updatenewdata()
{
    const DeviceData *d = device();
    if (!d)
        return;
    gMainApp->peaklimitloading = 1;
    ++reloading;
    for (int o = 0; o < kOutputs; ++o) {
        (ui.get()->*kSwitch[o])->setChecked(d->getpeaklimiton(o) != 0);
        const int values[3] = {d->getpeaklimita(o), d->getpeaklimitb(o), d->getpeaklimitvalue(o)};
        for (int k = Attack; k <= Threshold; ++k) {
            QSlider *s = slider(Kind(k), o);
            s->setValue(values[k]);
            // The slider's slot writes the entry only when its value changed.
            entry(Kind(k), o)->setText(valuetext(Kind(k), s->value()));
        }
    }
    MainApp::delayms(100, true);
    if (--reloading == 0 && gMainApp)
        gMainApp->peaklimitloading = 0;
}

void FormLimit2::updatelimit2lock()
{
    const DeviceData *d = device();
    const bool locked = d && (d->getcomconnected() || d->gettcpconnected()) && (d->getlocktype() & ~2) == 1;
    // The overlay alone covers only part of the page: every row and output
    // button is made inert as well.
    ui->widgetblock->setVisible(locked);
    if (locked)
        ui->widgetblock->raise();
    for (int o = 0; o < kOutputs; ++o) {
        (ui.get()->*kRow[o])->setEnabled(!locked);
        (ui.get()->*kSelect[o])->setEnabled(!locked);
    }
}

void FormLimit2::updatelimit2()
{
    if (!gMainApp)
        return;
    const int o = gMainApp->getlimit2channel();
    if (validoutput(o))
        select(o);
}

void FormLimit2::refreshLanText()
{
    const bool chinese = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    ui->label_2->setStyleSheet(chinese
                                   ? QStringLiteral("background-image: url(:/back/skin/maxpeaks6_chs.png);")
                                   : QStringLiteral("background-image: url(:/back/skin/maxpeaks6.png);"));
    ui->label->setStyleSheet(chinese
                                 ? QStringLiteral("background-image: url(:/back/skin/peaklabels0_chs.png);")
                                 : QStringLiteral("background-image: url(:/back/skin/peaklabels0.png);"));
}

void FormLimit2::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidelimit2view();
    event->ignore();
}

// ---------------------------------------------------------------------------
// Throttled sending

void FormLimit2::count(int o)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % kTicksPerSend;
    curoutput = o;
    ++pendingcount;
    pendingoutputs |= 1 << o;
}

void FormLimit2::timetosend()
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

void FormLimit2::sendnow()
{
    // Every output changed since the last send, ascending; the sender itself
    // stays silent while a reload runs or without a link.
    const int outputs = pendingoutputs;
    pendingcount = 0;
    tickcount = 0;
    pendingoutputs = 0;
    if (!gMainApp)
        return;
    for (int o = 0; o < kOutputs; ++o) {
        if (outputs & (1 << o))
            gMainApp->sendpeaklimit(o);
    }
    showsent();
}

void FormLimit2::showsent()
{
    const DeviceData *d = device();
    if (!d)
        return;
    // Only controls that differ change, each without running its handler:
    // nothing is stored or counted.
    for (int o = 0; o < kOutputs; ++o) {
        QPushButton *sw = ui.get()->*kSwitch[o];
        bool changed = false;
        if (sw->isChecked() != (d->getpeaklimiton(o) != 0)) {
            const QSignalBlocker quiet(sw);
            sw->setChecked(d->getpeaklimiton(o) != 0);
            changed = true;
        }
        const int values[3] = {d->getpeaklimita(o), d->getpeaklimitb(o), d->getpeaklimitvalue(o)};
        for (int k = Attack; k <= Threshold; ++k) {
            QSlider *s = slider(Kind(k), o);
            if (s->value() == qBound(s->minimum(), values[k], s->maximum()))
                continue;
            {
                const QSignalBlocker quiet(s);
                s->setValue(values[k]);
            }
            entry(Kind(k), o)->setText(valuetext(Kind(k), s->value()));
            changed = true;
        }
        if (changed)
            emit updatelimitvalues2(o);
    }
}

// ---------------------------------------------------------------------------
// Rows

void FormLimit2::select(int o)
{
    QPushButton *b = ui.get()->*kSelect[o];
    if (!b->isChecked())
        b->setChecked(true);
}

int FormLimit2::linkedmask(const DeviceData *d, int o) const
{
    if (!gMainApp || !d)
        return 0;
    int mask = 0;
    for (int ch : gMainApp->linkgroup(kFirstOutputChannel + o))
        mask |= 1 << (ch - kFirstOutputChannel);
    return mask;
}

void FormLimit2::sliderchanged(Kind kind, int o, int v)
{
    entry(kind, o)->setText(valuetext(kind, v));
    DeviceData *d = device();
    if (!d)
        return;
    // A reload only shows the model: it stores, copies and counts nothing.
    if (reloading) {
        if (kind == Threshold)
            emit updatelimitvalues2(o);
        return;
    }
    switch (kind) {
    case Attack:
        d->setpeaklimita(o, v);
        break;
    case Release:
        d->setpeaklimitb(o, v);
        break;
    case Threshold:
        d->setpeaklimitvalue(o, v);
        emit updatelimitvalues2(o);
        break;
    }
    const int mask = linkedmask(d, o);
    if (!mask) {
        select(o);
        count(o);
        return;
    }
    const int number = o + 1;
    // The origin of a linked change copies it; a reload only shows the model
    // and copies nothing.
    const bool origin = !reloading && !propagating && (changeorigin == number || slider(kind, o)->hasFocus());
    if (!origin) {
        if (linktarget == number + 4) {
            count(o);
            targetcounted = true;
        }
        return;
    }
    // The group's highest member carries the change, or the origin itself
    // when that member's frame would reach another group.
    const int highest =
        gMainApp->linkcarrier(kFirstOutputChannel + o, gMainApp->linkgroup(kFirstOutputChannel + o)) -
        kFirstOutputChannel + 1;
    linktarget = highest + 4;
    propagating = true;
    targetcounted = false;
    for (int j = 0; j < kOutputs; ++j) {
        if (j != o && (mask & (1 << j)))
            slider(kind, j)->setValue(v);
    }
    propagating = false;
    // The change is counted for the group's highest member even when that
    // member already showed the value (or is the origin itself).
    if (!targetcounted)
        count(highest - 1);
    if (kind == Threshold) {
        select(o);
        emit updatelimitvalues2(o);
        count(curoutput);
    }
}

void FormLimit2::entryfinished(Kind kind, int o)
{
    // Any end of editing applies the text (Return, Tab, a click elsewhere);
    // a text that is no number changes nothing.
    QLineEdit *e = entry(kind, o);
    int value = 0;
    if (readentry(kind, e->text(), &value)) {
        changeorigin = o + 1;
        slider(kind, o)->setValue(value);
        changeorigin = 0;
    }
    // What the control holds, whatever was typed.
    e->setText(valuetext(kind, slider(kind, o)->value()));
}

void FormLimit2::step(Kind kind, int o, int delta)
{
    changeorigin = o + 1;
    QSlider *s = slider(kind, o);
    const int value = s->value() + delta;
    if (value >= s->minimum() && value <= s->maximum())
        s->setValue(value);
    // Cleared whether the step applied or not: a marker left behind would make
    // the next programmatic change of this output look like the user's.
    changeorigin = 0;
}

void FormLimit2::switchclicked(int o)
{
    DeviceData *d = device();
    if (!d)
        return;
    curoutput = o;
    select(o);
    const bool on = (ui.get()->*kSwitch[o])->isChecked();
    d->setpeaklimiton(o, on ? 1 : 0);
    emit updatelimitvalues2(o);
    count(o);
    // Linked outputs follow on the page and in the model; the processor
    // applies the clicked output's record to its whole group.
    const int mask = linkedmask(d, o);
    for (int j = 0; j < kOutputs; ++j) {
        if (j == o || !(mask & (1 << j)))
            continue;
        (ui.get()->*kSwitch[j])->setChecked(on);
        d->setpeaklimiton(j, on ? 1 : 0);
        emit updatelimitvalues2(j);
    }
}

// ---------------------------------------------------------------------------
// Slots by name: each names its family helper and its place in the family.

// clang-format off
#define DSP_SLIDER(name, kind, o) void FormLimit2::on_##name##_valueChanged(int v) { sliderchanged(kind, o, v); }
#define DSP_ENTRY(name, kind, o) void FormLimit2::on_##name##_editingFinished() { entryfinished(kind, o); }
#define DSP_STEP(name, kind, o, delta) void FormLimit2::on_##name##_clicked() { step(kind, o, delta); }
#define DSP_SWITCH(name, o) void FormLimit2::on_##name##_clicked() { switchclicked(o); }
#define DSP_SELECT(n) void FormLimit2::on_btnout##n##00_clicked() {}

DSP_SLIDER(sldrlimit1, Attack, 0) DSP_SLIDER(sldrlimit2, Attack, 1)
DSP_SLIDER(sldrlimit3, Attack, 2) DSP_SLIDER(sldrlimit4, Attack, 3)
DSP_SLIDER(sldrlimit5, Attack, 4) DSP_SLIDER(sldrlimit6, Attack, 5)
DSP_SLIDER(sldrlimit7, Attack, 6) DSP_SLIDER(sldrlimit8, Attack, 7)
DSP_SLIDER(sldrlimitb1, Release, 0) DSP_SLIDER(sldrlimitb2, Release, 1)
DSP_SLIDER(sldrlimitb3, Release, 2) DSP_SLIDER(sldrlimitb4, Release, 3)
DSP_SLIDER(sldrlimitb5, Release, 4) DSP_SLIDER(sldrlimitb6, Release, 5)
DSP_SLIDER(sldrlimitb7, Release, 6) DSP_SLIDER(sldrlimitb8, Release, 7)
DSP_SLIDER(sldrlimitc1, Threshold, 0) DSP_SLIDER(sldrlimitc2, Threshold, 1)
DSP_SLIDER(sldrlimitc3, Threshold, 2) DSP_SLIDER(sldrlimitc4, Threshold, 3)
DSP_SLIDER(sldrlimitc5, Threshold, 4) DSP_SLIDER(sldrlimitc6, Threshold, 5)
DSP_SLIDER(sldrlimitc7, Threshold, 6) DSP_SLIDER(sldrlimitc8, Threshold, 7)
DSP_ENTRY(Editlimita1, Attack, 0) DSP_ENTRY(Editlimita2, Attack, 1)
DSP_ENTRY(Editlimita3, Attack, 2) DSP_ENTRY(Editlimita4, Attack, 3)
DSP_ENTRY(Editlimita5, Attack, 4) DSP_ENTRY(Editlimita6, Attack, 5)
DSP_ENTRY(Editlimita7, Attack, 6) DSP_ENTRY(Editlimita8, Attack, 7)
DSP_ENTRY(Editlimitb1, Release, 0) DSP_ENTRY(Editlimitb2, Release, 1)
DSP_ENTRY(Editlimitb3, Release, 2) DSP_ENTRY(Editlimitb4, Release, 3)
DSP_ENTRY(Editlimitb5, Release, 4) DSP_ENTRY(Editlimitb6, Release, 5)
DSP_ENTRY(Editlimitb7, Release, 6) DSP_ENTRY(Editlimitb8, Release, 7)
DSP_ENTRY(Editlimitc1, Threshold, 0) DSP_ENTRY(Editlimitc2, Threshold, 1)
DSP_ENTRY(Editlimitc3, Threshold, 2) DSP_ENTRY(Editlimitc4, Threshold, 3)
DSP_ENTRY(Editlimitc5, Threshold, 4) DSP_ENTRY(Editlimitc6, Threshold, 5)
DSP_ENTRY(Editlimitc7, Threshold, 6) DSP_ENTRY(Editlimitc8, Threshold, 7)
DSP_STEP(btnlimitdowna1, Attack, 0, -1) DSP_STEP(btnlimitdowna2, Attack, 1, -1)
DSP_STEP(btnlimitdowna3, Attack, 2, -1) DSP_STEP(btnlimitdowna4, Attack, 3, -1)
DSP_STEP(btnlimitdowna5, Attack, 4, -1) DSP_STEP(btnlimitdowna6, Attack, 5, -1)
DSP_STEP(btnlimitdowna7, Attack, 6, -1) DSP_STEP(btnlimitdowna8, Attack, 7, -1)
DSP_STEP(btnlimitupa1, Attack, 0, 1) DSP_STEP(btnlimitupa2, Attack, 1, 1)
DSP_STEP(btnlimitupa3, Attack, 2, 1) DSP_STEP(btnlimitupa4, Attack, 3, 1)
DSP_STEP(btnlimitupa5, Attack, 4, 1) DSP_STEP(btnlimitupa6, Attack, 5, 1)
DSP_STEP(btnlimitupa7, Attack, 6, 1) DSP_STEP(btnlimitupa8, Attack, 7, 1)
DSP_STEP(btnlimitdownb1, Release, 0, -1) DSP_STEP(btnlimitdownb2, Release, 1, -1)
DSP_STEP(btnlimitdownb3, Release, 2, -1) DSP_STEP(btnlimitdownb4, Release, 3, -1)
DSP_STEP(btnlimitdownb5, Release, 4, -1) DSP_STEP(btnlimitdownb6, Release, 5, -1)
DSP_STEP(btnlimitdownb7, Release, 6, -1) DSP_STEP(btnlimitdownb8, Release, 7, -1)
DSP_STEP(btnlimitupb1, Release, 0, 1) DSP_STEP(btnlimitupb2, Release, 1, 1)
DSP_STEP(btnlimitupb3, Release, 2, 1) DSP_STEP(btnlimitupb4, Release, 3, 1)
DSP_STEP(btnlimitupb5, Release, 4, 1) DSP_STEP(btnlimitupb6, Release, 5, 1)
DSP_STEP(btnlimitupb7, Release, 6, 1) DSP_STEP(btnlimitupb8, Release, 7, 1)
DSP_STEP(btnlimitdownd1, Threshold, 0, -1) DSP_STEP(btnlimitdownd2, Threshold, 1, -1)
DSP_STEP(btnlimitdownd3, Threshold, 2, -1) DSP_STEP(btnlimitdownd4, Threshold, 3, -1)
DSP_STEP(btnlimitdownd5, Threshold, 4, -1) DSP_STEP(btnlimitdownd6, Threshold, 5, -1)
DSP_STEP(btnlimitdownd7, Threshold, 6, -1) DSP_STEP(btnlimitdownd8, Threshold, 7, -1)
DSP_STEP(btnlimitupd1, Threshold, 0, 1) DSP_STEP(btnlimitupd2, Threshold, 1, 1)
DSP_STEP(btnlimitupd3, Threshold, 2, 1) DSP_STEP(btnlimitupd4, Threshold, 3, 1)
DSP_STEP(btnlimitupd5, Threshold, 4, 1) DSP_STEP(btnlimitupd6, Threshold, 5, 1)
DSP_STEP(btnlimitupd7, Threshold, 6, 1) DSP_STEP(btnlimitupd8, Threshold, 7, 1)
DSP_SWITCH(limitswitch1, 0) DSP_SWITCH(limitswitch2, 1)
DSP_SWITCH(limitswitch3, 2) DSP_SWITCH(limitswitch4, 3)
DSP_SWITCH(limitswitch5, 4) DSP_SWITCH(limitswitch6, 5)
DSP_SWITCH(limitswitch7, 6) DSP_SWITCH(limitswitch8, 7)

// The output buttons only mark the output; the current output stays.
DSP_SELECT(1) DSP_SELECT(2) DSP_SELECT(3) DSP_SELECT(4)
DSP_SELECT(5) DSP_SELECT(6) DSP_SELECT(7) DSP_SELECT(8)
    // clang-format on
