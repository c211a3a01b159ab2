#include "formlimit.h"

#include "compressorcur.h"
#include "devicedata.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "showwidget.h"
#include "throttletimer.h"
#include "ui_formlimit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cmath>

FormLimit *gFormLimit = nullptr;

namespace
{

using Form = Ui::FormLimit;

constexpr int kInputs = 4;
constexpr int kRows = 4;

// One channel's widgets, rows in the order attack, release, ratio, threshold.
struct Strip {
    QWidget *Form::*row;
    QPushButton *Form::*select;
    QComboBox *Form::*knee;
    QSlider *Form::*slider[kRows];
    QLineEdit *Form::*edit[kRows];
    QPushButton *Form::*down[kRows];
    QPushButton *Form::*up[kRows];
};

// clang-format off
const Strip kStrips[FormLimit::kChannels] = {
    {&Form::widgetlimit1, &Form::limit_btnina, &Form::comboxlimit,
     {&Form::sldrlimitina, &Form::sldrlimitinb, &Form::sldrlimitinc, &Form::sldrlimitind},
     {&Form::Editdelayinmi_5, &Form::Editdelayinme_5, &Form::Editdelayinfe_5, &Form::Editlimitinhold},
     {&Form::btndelayinmidown_5, &Form::btndelayinmedown_5, &Form::btndelayinfedown_5, &Form::btndelayinmidown_13},
     {&Form::btndelayinmiup_5, &Form::btndelayinmeup_5, &Form::btndelayinfeup_5, &Form::btndelayinmiup_13}},
    {&Form::widgetlimit2, &Form::limit_btninb, &Form::comboxlimit2,
     {&Form::sldrlimitina1, &Form::sldrlimitinb1, &Form::sldrlimitinc1, &Form::sldrlimitind_2},
     {&Form::Editdelayinmi_6, &Form::Editdelayinme_6, &Form::Editdelayinfe_6, &Form::Editlimitinhold_2},
     {&Form::btndelayinmidown_6, &Form::btndelayinmedown_6, &Form::btndelayinfedown_6, &Form::btndelayinmidown_14},
     {&Form::btndelayinmiup_6, &Form::btndelayinmeup_6, &Form::btndelayinfeup_6, &Form::btndelayinmiup_14}},
    {&Form::widgetlimit3, &Form::limit_btninc, &Form::comboxlimit3,
     {&Form::sldrlimitina2, &Form::sldrlimitinb2, &Form::sldrlimitinc2, &Form::sldrlimitind_3},
     {&Form::Editdelayinmi_7, &Form::Editdelayinme_7, &Form::Editdelayinfe_7, &Form::Editlimitinhold_3},
     {&Form::btndelayinmidown_7, &Form::btndelayinmedown_7, &Form::btndelayinfedown_7, &Form::btndelayinmidown_15},
     {&Form::btndelayinmiup_7, &Form::btndelayinmeup_7, &Form::btndelayinfeup_7, &Form::btndelayinmiup_15}},
    {&Form::widgetlimit4, &Form::limit_btnind, &Form::comboxlimit4,
     {&Form::sldrlimitina3, &Form::sldrlimitinb3, &Form::sldrlimitinc3, &Form::sldrlimitind_4},
     {&Form::Editdelayinmi_8, &Form::Editdelayinme_8, &Form::Editdelayinfe_8, &Form::Editlimitinhold_4},
     {&Form::btndelayinmidown_8, &Form::btndelayinmedown_8, &Form::btndelayinfedown_8, &Form::btndelayinmidown_16},
     {&Form::btndelayinmiup_8, &Form::btndelayinmeup_8, &Form::btndelayinfeup_8, &Form::btndelayinmiup_16}},
    {&Form::widgetlimit5, &Form::limit_btnout1, &Form::comboxlimit5,
     {&Form::sldrlimita, &Form::sldrlimitb, &Form::sldrlimitc, &Form::sldrlimitd},
     {&Form::Editdelayoutmi_5, &Form::Editdelayme_5, &Form::Editdelayfe_5, &Form::Editlimithold},
     {&Form::btndelaymioutdown_5, &Form::btndelaymedown_5, &Form::btndelayfedown_5, &Form::btndelaymidown_13},
     {&Form::btndelaymioutup_5, &Form::btndelaymeup_5, &Form::btndelayfeup_5, &Form::btndelaymiup_13}},
    {&Form::widgetlimit6, &Form::limit_btnout2, &Form::comboxlimit6,
     {&Form::sldrlimita1, &Form::sldrlimitb1, &Form::sldrlimitc1, &Form::sldrlimitd_2},
     {&Form::Editdelayoutmi_6, &Form::Editdelayme_6, &Form::Editdelayfe_6, &Form::Editlimithold_2},
     {&Form::btndelaymioutdown_6, &Form::btndelaymedown_6, &Form::btndelayfedown_6, &Form::btndelaymidown_14},
     {&Form::btndelaymioutup_6, &Form::btndelaymeup_6, &Form::btndelayfeup_6, &Form::btndelaymiup_14}},
    {&Form::widgetlimit7, &Form::limit_btnout3, &Form::comboxlimit7,
     {&Form::sldrlimita2, &Form::sldrlimitb2, &Form::sldrlimitc2, &Form::sldrlimitd_3},
     {&Form::Editdelayoutmi_7, &Form::Editdelayme_7, &Form::Editdelayfe_7, &Form::Editlimithold_3},
     {&Form::btndelaymioutdown_7, &Form::btndelaymedown_7, &Form::btndelayfedown_7, &Form::btndelaymidown_15},
     {&Form::btndelaymioutup_7, &Form::btndelaymeup_7, &Form::btndelayfeup_7, &Form::btndelaymiup_15}},
    {&Form::widgetlimit8, &Form::limit_btnout4, &Form::comboxlimit8,
     {&Form::sldrlimita3, &Form::sldrlimitb3, &Form::sldrlimitc3, &Form::sldrlimitd_4},
     {&Form::Editdelayoutmi_8, &Form::Editdelayme_8, &Form::Editdelayfe_8, &Form::Editlimithold_4},
     {&Form::btndelaymioutdown_8, &Form::btndelaymedown_8, &Form::btndelayfedown_8, &Form::btndelaymidown_16},
     {&Form::btndelaymioutup_8, &Form::btndelaymeup_8, &Form::btndelayfeup_8, &Form::btndelaymiup_16}},
    {&Form::widgetlimit9, &Form::limit_btnout5, &Form::comboxlimit9,
     {&Form::sldrlimita4, &Form::sldrlimitb4, &Form::sldrlimitc4, &Form::sldrlimitd_5},
     {&Form::Editdelayoutmi_9, &Form::Editdelayme_9, &Form::Editdelayfe_9, &Form::Editlimithold_5},
     {&Form::btndelaymioutdown_9, &Form::btndelaymedown_9, &Form::btndelayfedown_9, &Form::btndelaymidown_17},
     {&Form::btndelaymioutup_9, &Form::btndelaymeup_9, &Form::btndelayfeup_9, &Form::btndelaymiup_17}},
    {&Form::widgetlimit10, &Form::limit_btnout6, &Form::comboxlimit10,
     {&Form::sldrlimita5, &Form::sldrlimitb5, &Form::sldrlimitc5, &Form::sldrlimitd_6},
     {&Form::Editdelayoutmi_10, &Form::Editdelayme_10, &Form::Editdelayfe_10, &Form::Editlimithold_6},
     {&Form::btndelaymioutdown_10, &Form::btndelaymedown_10, &Form::btndelayfedown_10, &Form::btndelaymidown_18},
     {&Form::btndelaymioutup_10, &Form::btndelaymeup_10, &Form::btndelayfeup_10, &Form::btndelaymiup_18}},
    {&Form::widgetlimit11, &Form::limit_btnout7, &Form::comboxlimit11,
     {&Form::sldrlimita6, &Form::sldrlimitb6, &Form::sldrlimitc6, &Form::sldrlimitd_7},
     {&Form::Editdelayoutmi_11, &Form::Editdelayme_11, &Form::Editdelayfe_11, &Form::Editlimithold_7},
     {&Form::btndelaymioutdown_11, &Form::btndelaymedown_11, &Form::btndelayfedown_11, &Form::btndelaymidown_19},
     {&Form::btndelaymioutup_11, &Form::btndelaymeup_11, &Form::btndelayfeup_11, &Form::btndelaymiup_19}},
    {&Form::widgetlimit12, &Form::limit_btnout8, &Form::comboxlimit12,
     {&Form::sldrlimita7, &Form::sldrlimitb7, &Form::sldrlimitc7, &Form::sldrlimitd_8},
     {&Form::Editdelayoutmi_12, &Form::Editdelayme_12, &Form::Editdelayfe_12, &Form::Editlimithold_8},
     {&Form::btndelaymioutdown_12, &Form::btndelaymedown_12, &Form::btndelayfedown_12, &Form::btndelaymidown_20},
     {&Form::btndelaymioutup_12, &Form::btndelaymeup_12, &Form::btndelayfeup_12, &Form::btndelaymiup_20}},
};
// clang-format on

const char *const kRatioText[10] = {"1.2:1", "1.5:1", "2:1",  "3:1",  "4:1",
                                    "6:1",   "10:1",  "20:1", "40:1", "128:1"};
const char *const kKneeText[2][7] = {
    {"OFF", "H_KN", "S-KN1", "S-KN2", "S-KN3", "S-KN4", "S-KN5"},
    {"关", "硬拐", "软拐1", "软拐2", "软拐3", "软拐4", "软拐5"},
};
constexpr int kKneeCount = 7;

// The first view index (1 type 22, 2 type 20) that hides a channel's row,
// select button and knee combo; 3: never hidden.
const int kHiddenFrom[FormLimit::kChannels] = {3, 3, 1, 1, 3, 3, 3, 3, 2, 2, 1, 1};

// Arrow-key order of the entries: thresholds, then attacks, then releases.
const FormLimit::Row kKeyRows[3] = {FormLimit::Threshold, FormLimit::Attack, FormLimit::Release};

bool input(int ch)
{
    return ch < kInputs;
}

int rowbottom(FormLimit::Row row)
{
    switch (row) {
    case FormLimit::Attack:
        return 50;
    case FormLimit::Release:
        return 1;
    default:
        return 0;
    }
}

// A whole number with an optional sign and surrounding blanks; false for
// anything else. A number too long for 64 bits is still a number, far beyond
// every range: it is taken as the largest the rows need to tell apart.
bool readinteger(const QString &text, qint64 *value)
{
    static const QRegularExpression whole(QStringLiteral("^([+-]?)([0-9]+)$"));
    const QRegularExpressionMatch m = whole.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QString digits = m.captured(2);
    const qint64 magnitude = digits.size() > 12 ? Q_INT64_C(999999999999) : digits.toLongLong();
    *value = m.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
    return true;
}

// trunc(x * factor) for a decimal text x, factor 2 or 10, taken on the text's
// exact decimal value; false when the text is not a number.
bool scaledtrunc(const QString &text, int factor, qint64 *out)
{
    static const QRegularExpression plain(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QString t = text.trimmed();
    const QRegularExpressionMatch m = plain.match(t);
    if (m.hasMatch() && (!m.captured(2).isEmpty() || !m.captured(3).isEmpty())) {
        const QString whole = m.captured(2);
        const QString fraction = m.captured(3);
        // Any whole part beyond 12 digits lies far outside every range.
        const QString digits = whole.size() > 12 ? QStringLiteral("999999999999") : whole;
        qint64 magnitude = (digits.isEmpty() ? 0 : digits.toLongLong()) * factor;
        const int first = fraction.isEmpty() ? 0 : fraction.at(0).digitValue();
        magnitude += factor == 10 ? first : (first >= 5 ? 1 : 0);
        *out = m.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
        return true;
    }
    // Other spellings of a number (an exponent, for one).
    bool ok = false;
    const double x = t.toDouble(&ok);
    if (!ok || std::isnan(x))
        return false;
    const double product = std::trunc(x * factor);
    *out = product > 1e12 ? qint64(1e12) : product < -1e12 ? qint64(-1e12) : qint64(product);
    return true;
}

} // namespace

FormLimit::FormLimit(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormLimit)
{
    ui->setupUi(this);
    curve = ui->Compwidget;
    for (int ch = 0; ch < kChannels; ++ch) {
        for (int r = 0; r < kRows; ++r) {
            const Row row = Row(r);
            (ui.get()->*kStrips[ch].slider[r])->setRange(rowbottom(row), rowtop(ch, row));
        }
    }
    sendtimer = new ThrottleTimer(this);
    connect(sendtimer, &QTimer::timeout, this, &FormLimit::timetosend);
    sendtimer->startticks(50);

    ui->limit_btnina->setChecked(true);
    curve->setmaxvalue(20);
    curve->setminvalue(-20);
    curve->setratioeditable(true);
    connect(curve, &CompressorCur::updateholdvalues, this, &FormLimit::updateholdvalues);
    ui->widgetlimitlockback->hide();
    ui->widgetlimitlockback_2->hide();
    ui->labelfenge->hide();
    // The entries show their sliders from the start.
    for (int ch = 0; ch < kChannels; ++ch)
        for (int r = 0; r < kRows; ++r)
            (ui.get()->*kStrips[ch].edit[r])
                ->setText(rowtext(ch, Row(r), (ui.get()->*kStrips[ch].slider[r])->value()));
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormLimit::refreshLanText);
}

FormLimit::~FormLimit() = default;

void FormLimit::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hidelimitview();
    event->ignore();
}

// ---------------------------------------------------------------------------
// Scales and texts

int FormLimit::rowtop(int ch, Row row)
{
    switch (row) {
    case Attack:
        return 6000;
    case Release:
        return 199;
    case Ratio:
        return 9;
    default:
        // An input threshold is one byte in the processor.
        return input(ch) ? 255 : 400;
    }
}

float FormLimit::thresholddb(int ch, int v)
{
    return input(ch) ? float(v) * 0.5f - 20.0f : float(v) / 10.0f - 20.0f;
}

QString FormLimit::rowtext(int ch, Row row, int v)
{
    switch (row) {
    case Attack:
        return QString::number(v) + QStringLiteral("ms");
    case Release:
        return QString::number((v - 1) * 50 + 100) + QStringLiteral("ms");
    case Ratio:
        return v >= 0 && v < 10 ? QString::fromLatin1(kRatioText[v]) : QString();
    default:
        return QStringLiteral("%1dBu").arg(double(thresholddb(ch, v)), 0, 'f', 1);
    }
}

bool FormLimit::entrystep(int ch, Row row, const QString &text, int *step)
{
    if (ch < 0 || ch >= kChannels || row == Ratio)
        return false;
    QString t = text;
    qint64 n = 0;
    if (row == Threshold) {
        t.replace(QLatin1Char('d'), QLatin1Char(' '))
            .replace(QLatin1Char('B'), QLatin1Char(' '))
            .replace(QLatin1Char('u'), QLatin1Char(' '));
        if (!scaledtrunc(t, input(ch) ? 2 : 10, &n))
            return false;
        n += input(ch) ? 40 : 200;
    } else {
        t.replace(QLatin1Char('m'), QLatin1Char(' ')).replace(QLatin1Char('s'), QLatin1Char(' '));
        if (!readinteger(t, &n))
            return false;
        // Release: the inverse of the display rule, rounding down between steps.
        if (row == Release)
            n = n / 50 - 1;
    }
    *step = int(std::clamp<qint64>(n, rowbottom(row), rowtop(ch, row)));
    return true;
}

// ---------------------------------------------------------------------------
// Helpers

DeviceData *FormLimit::device() const
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

bool FormLimit::loading() const
{
    return gMainApp && gMainApp->limitloading;
}

bool FormLimit::selected(int ch) const
{
    return (ui.get()->*kStrips[ch].select)->isChecked();
}

bool FormLimit::linked(int ch, QVector<int> *members, int *highest) const
{
    if (!device() || !gMainApp)
        return false;
    const QVector<int> group = gMainApp->linkgroup(ch);
    if (group.isEmpty())
        return false;
    for (int k : group) {
        if (members && k != ch)
            members->append(k);
    }
    if (highest)
        *highest = gMainApp->linkcarrier(ch, group);
    return true;
}

void FormLimit::store(int ch, Row row, int v)
{
    DeviceData *d = device();
    if (!d)
        return;
    switch (row) {
    case Attack:
        d->setlimitattack(ch, v);
        break;
    case Release:
        d->setlimitrelease(ch, v);
        break;
    case Ratio:
        d->setlimitratio(ch, v);
        break;
    case Threshold:
        d->setlimitthreshold(ch, v);
        break;
    }
}

void FormLimit::count(int ch)
{
    // The ticks slept through while nothing was pending go on counting.
    tickcount = (tickcount + sendtimer->wake()) % 5;
    marked |= 1 << ch;
    ++pendingcount;
}

void FormLimit::showoncurve(int ch)
{
    if (!gMainApp)
        return;
    curve->setratioindex(uchar(gMainApp->getratiocache(ch) & 0xFF));
    const DeviceData *d = device();
    curve->knee = d ? d->getlimitknee(ch) : 0;
    curve->setthreshold(thresholddb(ch, gMainApp->getthresholdcache(ch)));
}

void FormLimit::setonbehalf(int ch, Row row, int v)
{
    changeorigin = ch + 1;
    (ui.get()->*kStrips[ch].slider[row])->setValue(v);
    changeorigin = 0;
}

// ---------------------------------------------------------------------------
// Channel selection

void FormLimit::selectchannel(int n)
{
    if (n < 1 || n > kChannels)
        return;
    selectpressed(n - 1);
}

void FormLimit::updatelimit()
{
    if (gMainApp)
        selectchannel(gMainApp->getlimitviewch());
}

void FormLimit::selectpressed(int ch)
{
    curchannel = ch;
    QPushButton *button = ui.get()->*kStrips[ch].select;
    // The buttons are auto-exclusive: checking one unchecks the others.
    if (!button->isChecked())
        button->setChecked(true);
    showoncurve(ch);
}

// ---------------------------------------------------------------------------
// Sliders

void FormLimit::slidermoved(int ch, Row row, int v)
{
    if (!gMainApp)
        return;
    const QString text = rowtext(ch, row, v);
    if (!text.isEmpty())
        (ui.get()->*kStrips[ch].edit[row])->setText(text);
    if (row == Ratio) {
        if (selected(ch))
            curve->setratioindex(uchar(v));
        gMainApp->setratiocache(ch, v);
    } else if (row == Threshold) {
        if (selected(ch))
            curve->setthreshold(thresholddb(ch, v));
        gMainApp->setthresholdcache(ch, v);
        emit updatelimitvalues(ch);
    }
    // A reload shows what the model holds and writes nothing back.
    const bool load = loading();

    QVector<int> members;
    int highest = ch;
    if (!linked(ch, &members, &highest)) {
        if (!selected(ch))
            selectpressed(ch);
        curchannel = ch;
        if (!load) {
            store(ch, row, v);
            count(ch);
        }
        return;
    }

    // These members select themselves whenever they change in a group.
    const bool selfselect =
        (row == Attack && ch == 3) ||
        (row == Threshold && (ch == 5 || ch == 6 || ch == 8 || ch == 9 || ch == 10 || ch == 11));
    if (selfselect && !selected(ch))
        selectpressed(ch);
    if (row == Threshold && ch == 10)
        curchannel = ch;
    if (!load)
        store(ch, row, v);

    const int n = ch + 1;
    QSlider *slider = ui.get()->*kStrips[ch].slider[row];
    const bool origin = !load && !copying && (slider->hasFocus() || changeorigin == n);
    if (origin) {
        linktarget = highest + 1;
        copying = true;
        for (int k : members) {
            (ui.get()->*kStrips[k].slider[row])->setValue(v);
            // Also when that member's slider already stood at v.
            store(k, row, v);
        }
        copying = false;
    }
    if (linktarget == n) {
        if (!selected(ch))
            selectpressed(ch);
        curchannel = ch;
    }
    if (origin) {
        // The group's highest member tells the processor, once per change.
        if (!selected(highest))
            selectpressed(highest);
        curchannel = highest;
        count(highest);
    }
}

// ---------------------------------------------------------------------------
// Step buttons, entries, arrow keys

void FormLimit::stepclicked(int ch, Row row, int delta)
{
    const int v = (ui.get()->*kStrips[ch].slider[row])->value() + delta;
    if (delta > 0 ? v <= rowtop(ch, row) : v >= 0)
        setonbehalf(ch, row, v);
    changeorigin = 0;
}

void FormLimit::entryfinished(int ch, Row row)
{
    QLineEdit *edit = ui.get()->*kStrips[ch].edit[row];
    QSlider *slider = ui.get()->*kStrips[ch].slider[row];
    // Release and input threshold entries apply only on Return.
    const bool onreturn = row == Release || (row == Threshold && input(ch));
    int step = 0;
    if ((!onreturn || edit->hasFocus()) && entrystep(ch, row, edit->text(), &step))
        setonbehalf(ch, row, step);
    // Whatever was typed, the entry shows the value in effect.
    edit->setText(rowtext(ch, row, slider->value()));
}

void FormLimit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return;
    for (Row row : kKeyRows) {
        for (int ch = 0; ch < kChannels; ++ch) {
            if ((ui.get()->*kStrips[ch].edit[row])->hasFocus()) {
                stepclicked(ch, row, key == Qt::Key_Up ? 1 : -1);
                return;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Knee

void FormLimit::kneechanged(int ch, int index)
{
    // No knee outside the seven items (-1: the combo shows none).
    if (index < 0 || index >= kKneeCount)
        return;
    curchannel = ch;
    if (!selected(ch))
        selectpressed(ch);
    const bool load = loading();
    DeviceData *d = device();
    if (d && !load)
        d->setlimitknee(ch, index);
    curve->knee = index;
    curve->update();
    emit updatelimitvalues(ch);
    if (load || copying)
        return;

    QVector<int> members;
    if (!linked(ch, &members)) {
        count(ch);
        return;
    }
    copying = true;
    for (int k : members) {
        QComboBox *combo = ui.get()->*kStrips[k].knee;
        const bool moves = combo->currentIndex() != index;
        // A partner that changes runs its own handler: it selects itself and stores.
        combo->setCurrentIndex(index);
        if (d)
            d->setlimitknee(k, index);
        if (!moves)
            emit updatelimitvalues(k);
    }
    copying = false;
    // The group's change goes out once, for the member the partners' handlers
    // left selected (the last one that changed), unless that member's frame
    // would reach another group than this one.
    count(gMainApp->linkcarrier(ch, gMainApp->linkgroup(ch), curchannel));
}

// ---------------------------------------------------------------------------
// Curve drag

void FormLimit::updateholdvalues()
{
    const int which = curve->lastdragged;
    if (which < 0)
        return;
    curve->cleardragpoint();
    if (curchannel < 0 || curchannel >= kChannels)
        return;
    if (which == 0) {
        const float db = curve->getthreshold();
        const int raw = input(curchannel) ? int(db + 20.0f) * 2 : int(db * 10.0f) + 200;
        setonbehalf(curchannel, Threshold, raw);
    } else if (which == 1) {
        setonbehalf(curchannel, Ratio, curve->getratioindex());
    }
}

// ---------------------------------------------------------------------------
// Sending

void FormLimit::timetosend()
{
    // A reload keeps the throttle still: what it shows is what the model holds.
    if (loading())
        return;
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
    for (int ch = 0; ch < kChannels; ++ch) {
        if ((marked & (1 << ch)) && gMainApp)
            gMainApp->sendlimit(ch);
    }
    marked = 0;
    pendingcount = 0;
    tickcount = 0;
    showsent();
}

void FormLimit::showsent()
{
    const DeviceData *d = device();
    if (!d || !gMainApp)
        return;
    // Only controls that differ change, each without running its handler:
    // nothing is stored, counted or selected.
    for (int ch = 0; ch < kChannels; ++ch) {
        const Strip &s = kStrips[ch];
        const int values[kRows] = {d->getlimitattack(ch), d->getlimitrelease(ch), d->getlimitratio(ch),
                                   int(std::min(d->getlimitthreshold(ch), 0xFFFF))};
        bool changed = false;
        for (int r = 0; r < kRows; ++r) {
            QSlider *slider = ui.get()->*s.slider[r];
            if (slider->value() == qBound(slider->minimum(), values[r], slider->maximum()))
                continue;
            {
                const QSignalBlocker quiet(slider);
                slider->setValue(values[r]);
            }
            (ui.get()->*s.edit[r])->setText(rowtext(ch, Row(r), slider->value()));
            changed = true;
        }
        QComboBox *knee = ui.get()->*s.knee;
        const int k = d->getlimitknee(ch);
        const int index = k >= 0 && k < kKneeCount ? k : -1;
        if (knee->currentIndex() != index) {
            const QSignalBlocker quiet(knee);
            knee->setCurrentIndex(index);
            changed = true;
        }
        if (!changed)
            continue;
        gMainApp->setratiocache(ch, (ui.get()->*s.slider[Ratio])->value());
        gMainApp->setthresholdcache(ch, (ui.get()->*s.slider[Threshold])->value());
        emit updatelimitvalues(ch);
        if (ch == curchannel)
            showoncurve(ch);
    }
}

// ---------------------------------------------------------------------------
// Reload, layout, lock, language

void FormLimit::updatenewdata()
{
    DeviceData *d = device();
    if (!gMainApp || !d)
        return;
    gMainApp->limitloading = 1;
    // The model now is what the processor holds; nothing is left to send.
    marked = 0;
    pendingcount = 0;
    tickcount = 0;
    // The count starts again here and stands still until the reload ends.
    sendtimer->wake();
    for (int ch = 0; ch < kChannels; ++ch) {
        const Strip &s = kStrips[ch];
        const int knee = d->getlimitknee(ch);
        (ui.get()->*s.knee)->setCurrentIndex(knee >= 0 && knee < kKneeCount ? knee : -1);
        (ui.get()->*s.slider[Attack])->setValue(d->getlimitattack(ch));
        (ui.get()->*s.slider[Release])->setValue(d->getlimitrelease(ch));
        (ui.get()->*s.slider[Ratio])->setValue(d->getlimitratio(ch));
        (ui.get()->*s.slider[Threshold])->setValue(int(std::min(d->getlimitthreshold(ch), 0xFFFF)));
    }
    MainApp::delayms(100, true);
    // Sliders that did not move ran no handler: every entry, cache and
    // main-page summary follows the sliders now.
    for (int ch = 0; ch < kChannels; ++ch) {
        const Strip &s = kStrips[ch];
        for (int r = 0; r < kRows; ++r)
            (ui.get()->*s.edit[r])->setText(rowtext(ch, Row(r), (ui.get()->*s.slider[r])->value()));
        gMainApp->setratiocache(ch, (ui.get()->*s.slider[Ratio])->value());
        gMainApp->setthresholdcache(ch, (ui.get()->*s.slider[Threshold])->value());
        emit updatelimitvalues(ch);
    }
    if (curchannel >= 0 && curchannel < kChannels)
        showoncurve(curchannel);
    marked = 0;
    pendingcount = 0;
    gMainApp->limitloading = 0;
}

void FormLimit::updatelimitview(int view)
{
    updatelimitlock();
    if (view < 0 || view > 2)
        return;
    updatenewdata();
    for (int ch = 0; ch < kChannels; ++ch) {
        const bool shown = view < kHiddenFrom[ch];
        setshown(ui.get()->*kStrips[ch].row, shown);
        setshown(ui.get()->*kStrips[ch].select, shown);
        setshown(ui.get()->*kStrips[ch].knee, shown);
    }
    // A channel whose row the device type hides is never kept selected: the
    // first channel is, so that nothing is counted or sent for it.
    if (curchannel < 0 || curchannel >= kChannels || view >= kHiddenFrom[curchannel])
        selectpressed(0);
    setshown(ui->btnout14, view == 0);
    setshown(ui->btnout58, view == 0);
    if (view == 0)
        ui->labelfenge->hide();
}

void FormLimit::updatelimitlock()
{
    const DeviceData *d = device();
    const bool up = d && (d->getcomconnected() || d->gettcpconnected());
    const bool locked = up && (d->getlocktype() & ~2) == 1;
    ui->widgetlimitlockback->setVisible(locked);
    ui->widgetlimitlockback_2->setVisible(locked);
    // The overlays lie outside the page: a locked device takes every control away.
    ui->widgetlimit->setEnabled(!locked);
}

void FormLimit::refreshLanText()
{
    const int zh = gGlobalContrl && gGlobalContrl->getlanguage() == 1 ? 1 : 0;
    for (const Strip &s : kStrips) {
        QComboBox *combo = ui.get()->*s.knee;
        for (int i = 0; i < kKneeCount && i < combo->count(); ++i)
            combo->setItemText(i, QString::fromUtf8(kKneeText[zh][i]));
    }
    ui->label->setStyleSheet(zh ? QStringLiteral("background-image: url(:/back/skin/rmsl_chs.png);")
                                : QStringLiteral("background-image: url(:/back/skin/rmsl.png);"));
}

// ---------------------------------------------------------------------------
// Slots by name: each names its family handler, channel and row.

// clang-format off
#define DSP_SELECT(button, ch) void FormLimit::on_##button##_pressed() { selectpressed(ch); }
#define DSP_SLIDER(slider, ch, row) void FormLimit::on_##slider##_valueChanged(int v) { slidermoved(ch, row, v); }
#define DSP_STEP(button, ch, row, delta) void FormLimit::on_##button##_clicked() { stepclicked(ch, row, delta); }
#define DSP_ENTRY(edit, ch, row) void FormLimit::on_##edit##_editingFinished() { entryfinished(ch, row); }
#define DSP_KNEE(combo, ch) void FormLimit::on_##combo##_currentIndexChanged(int i) { kneechanged(ch, i); }

DSP_SELECT(limit_btnina, 0)
DSP_SELECT(limit_btninb, 1)
DSP_SELECT(limit_btninc, 2)
DSP_SELECT(limit_btnind, 3)
DSP_SELECT(limit_btnout1, 4)
DSP_SELECT(limit_btnout2, 5)
DSP_SELECT(limit_btnout3, 6)
DSP_SELECT(limit_btnout4, 7)
DSP_SELECT(limit_btnout5, 8)
DSP_SELECT(limit_btnout6, 9)
DSP_SELECT(limit_btnout7, 10)
DSP_SELECT(limit_btnout8, 11)
DSP_SLIDER(sldrlimitina, 0, Attack)
DSP_SLIDER(sldrlimitina1, 1, Attack)
DSP_SLIDER(sldrlimitina2, 2, Attack)
DSP_SLIDER(sldrlimitina3, 3, Attack)
DSP_SLIDER(sldrlimita, 4, Attack)
DSP_SLIDER(sldrlimita1, 5, Attack)
DSP_SLIDER(sldrlimita2, 6, Attack)
DSP_SLIDER(sldrlimita3, 7, Attack)
DSP_SLIDER(sldrlimita4, 8, Attack)
DSP_SLIDER(sldrlimita5, 9, Attack)
DSP_SLIDER(sldrlimita6, 10, Attack)
DSP_SLIDER(sldrlimita7, 11, Attack)
DSP_SLIDER(sldrlimitinb, 0, Release)
DSP_SLIDER(sldrlimitinb1, 1, Release)
DSP_SLIDER(sldrlimitinb2, 2, Release)
DSP_SLIDER(sldrlimitinb3, 3, Release)
DSP_SLIDER(sldrlimitb, 4, Release)
DSP_SLIDER(sldrlimitb1, 5, Release)
DSP_SLIDER(sldrlimitb2, 6, Release)
DSP_SLIDER(sldrlimitb3, 7, Release)
DSP_SLIDER(sldrlimitb4, 8, Release)
DSP_SLIDER(sldrlimitb5, 9, Release)
DSP_SLIDER(sldrlimitb6, 10, Release)
DSP_SLIDER(sldrlimitb7, 11, Release)
DSP_SLIDER(sldrlimitinc, 0, Ratio)
DSP_SLIDER(sldrlimitinc1, 1, Ratio)
DSP_SLIDER(sldrlimitinc2, 2, Ratio)
DSP_SLIDER(sldrlimitinc3, 3, Ratio)
DSP_SLIDER(sldrlimitc, 4, Ratio)
DSP_SLIDER(sldrlimitc1, 5, Ratio)
DSP_SLIDER(sldrlimitc2, 6, Ratio)
DSP_SLIDER(sldrlimitc3, 7, Ratio)
DSP_SLIDER(sldrlimitc4, 8, Ratio)
DSP_SLIDER(sldrlimitc5, 9, Ratio)
DSP_SLIDER(sldrlimitc6, 10, Ratio)
DSP_SLIDER(sldrlimitc7, 11, Ratio)
DSP_SLIDER(sldrlimitind, 0, Threshold)
DSP_SLIDER(sldrlimitind_2, 1, Threshold)
DSP_SLIDER(sldrlimitind_3, 2, Threshold)
DSP_SLIDER(sldrlimitind_4, 3, Threshold)
DSP_SLIDER(sldrlimitd, 4, Threshold)
DSP_SLIDER(sldrlimitd_2, 5, Threshold)
DSP_SLIDER(sldrlimitd_3, 6, Threshold)
DSP_SLIDER(sldrlimitd_4, 7, Threshold)
DSP_SLIDER(sldrlimitd_5, 8, Threshold)
DSP_SLIDER(sldrlimitd_6, 9, Threshold)
DSP_SLIDER(sldrlimitd_7, 10, Threshold)
DSP_SLIDER(sldrlimitd_8, 11, Threshold)
DSP_STEP(btndelayinmidown_5, 0, Attack, -1) DSP_STEP(btndelayinmiup_5, 0, Attack, 1)
DSP_STEP(btndelayinmidown_6, 1, Attack, -1) DSP_STEP(btndelayinmiup_6, 1, Attack, 1)
DSP_STEP(btndelayinmidown_7, 2, Attack, -1) DSP_STEP(btndelayinmiup_7, 2, Attack, 1)
DSP_STEP(btndelayinmidown_8, 3, Attack, -1) DSP_STEP(btndelayinmiup_8, 3, Attack, 1)
DSP_STEP(btndelaymioutdown_5, 4, Attack, -1) DSP_STEP(btndelaymioutup_5, 4, Attack, 1)
DSP_STEP(btndelaymioutdown_6, 5, Attack, -1) DSP_STEP(btndelaymioutup_6, 5, Attack, 1)
DSP_STEP(btndelaymioutdown_7, 6, Attack, -1) DSP_STEP(btndelaymioutup_7, 6, Attack, 1)
DSP_STEP(btndelaymioutdown_8, 7, Attack, -1) DSP_STEP(btndelaymioutup_8, 7, Attack, 1)
DSP_STEP(btndelaymioutdown_9, 8, Attack, -1) DSP_STEP(btndelaymioutup_9, 8, Attack, 1)
DSP_STEP(btndelaymioutdown_10, 9, Attack, -1) DSP_STEP(btndelaymioutup_10, 9, Attack, 1)
DSP_STEP(btndelaymioutdown_11, 10, Attack, -1) DSP_STEP(btndelaymioutup_11, 10, Attack, 1)
DSP_STEP(btndelaymioutdown_12, 11, Attack, -1) DSP_STEP(btndelaymioutup_12, 11, Attack, 1)
DSP_STEP(btndelayinmedown_5, 0, Release, -1) DSP_STEP(btndelayinmeup_5, 0, Release, 1)
DSP_STEP(btndelayinmedown_6, 1, Release, -1) DSP_STEP(btndelayinmeup_6, 1, Release, 1)
DSP_STEP(btndelayinmedown_7, 2, Release, -1) DSP_STEP(btndelayinmeup_7, 2, Release, 1)
DSP_STEP(btndelayinmedown_8, 3, Release, -1) DSP_STEP(btndelayinmeup_8, 3, Release, 1)
DSP_STEP(btndelaymedown_5, 4, Release, -1) DSP_STEP(btndelaymeup_5, 4, Release, 1)
DSP_STEP(btndelaymedown_6, 5, Release, -1) DSP_STEP(btndelaymeup_6, 5, Release, 1)
DSP_STEP(btndelaymedown_7, 6, Release, -1) DSP_STEP(btndelaymeup_7, 6, Release, 1)
DSP_STEP(btndelaymedown_8, 7, Release, -1) DSP_STEP(btndelaymeup_8, 7, Release, 1)
DSP_STEP(btndelaymedown_9, 8, Release, -1) DSP_STEP(btndelaymeup_9, 8, Release, 1)
DSP_STEP(btndelaymedown_10, 9, Release, -1) DSP_STEP(btndelaymeup_10, 9, Release, 1)
DSP_STEP(btndelaymedown_11, 10, Release, -1) DSP_STEP(btndelaymeup_11, 10, Release, 1)
DSP_STEP(btndelaymedown_12, 11, Release, -1) DSP_STEP(btndelaymeup_12, 11, Release, 1)
DSP_STEP(btndelayinfedown_5, 0, Ratio, -1) DSP_STEP(btndelayinfeup_5, 0, Ratio, 1)
DSP_STEP(btndelayinfedown_6, 1, Ratio, -1) DSP_STEP(btndelayinfeup_6, 1, Ratio, 1)
DSP_STEP(btndelayinfedown_7, 2, Ratio, -1) DSP_STEP(btndelayinfeup_7, 2, Ratio, 1)
DSP_STEP(btndelayinfedown_8, 3, Ratio, -1) DSP_STEP(btndelayinfeup_8, 3, Ratio, 1)
DSP_STEP(btndelayfedown_5, 4, Ratio, -1) DSP_STEP(btndelayfeup_5, 4, Ratio, 1)
DSP_STEP(btndelayfedown_6, 5, Ratio, -1) DSP_STEP(btndelayfeup_6, 5, Ratio, 1)
DSP_STEP(btndelayfedown_7, 6, Ratio, -1) DSP_STEP(btndelayfeup_7, 6, Ratio, 1)
DSP_STEP(btndelayfedown_8, 7, Ratio, -1) DSP_STEP(btndelayfeup_8, 7, Ratio, 1)
DSP_STEP(btndelayfedown_9, 8, Ratio, -1) DSP_STEP(btndelayfeup_9, 8, Ratio, 1)
DSP_STEP(btndelayfedown_10, 9, Ratio, -1) DSP_STEP(btndelayfeup_10, 9, Ratio, 1)
DSP_STEP(btndelayfedown_11, 10, Ratio, -1) DSP_STEP(btndelayfeup_11, 10, Ratio, 1)
DSP_STEP(btndelayfedown_12, 11, Ratio, -1) DSP_STEP(btndelayfeup_12, 11, Ratio, 1)
DSP_STEP(btndelayinmidown_13, 0, Threshold, -1) DSP_STEP(btndelayinmiup_13, 0, Threshold, 1)
DSP_STEP(btndelayinmidown_14, 1, Threshold, -1) DSP_STEP(btndelayinmiup_14, 1, Threshold, 1)
DSP_STEP(btndelayinmidown_15, 2, Threshold, -1) DSP_STEP(btndelayinmiup_15, 2, Threshold, 1)
DSP_STEP(btndelayinmidown_16, 3, Threshold, -1) DSP_STEP(btndelayinmiup_16, 3, Threshold, 1)
DSP_STEP(btndelaymidown_13, 4, Threshold, -1) DSP_STEP(btndelaymiup_13, 4, Threshold, 1)
DSP_STEP(btndelaymidown_14, 5, Threshold, -1) DSP_STEP(btndelaymiup_14, 5, Threshold, 1)
DSP_STEP(btndelaymidown_15, 6, Threshold, -1) DSP_STEP(btndelaymiup_15, 6, Threshold, 1)
DSP_STEP(btndelaymidown_16, 7, Threshold, -1) DSP_STEP(btndelaymiup_16, 7, Threshold, 1)
DSP_STEP(btndelaymidown_17, 8, Threshold, -1) DSP_STEP(btndelaymiup_17, 8, Threshold, 1)
DSP_STEP(btndelaymidown_18, 9, Threshold, -1) DSP_STEP(btndelaymiup_18, 9, Threshold, 1)
DSP_STEP(btndelaymidown_19, 10, Threshold, -1) DSP_STEP(btndelaymiup_19, 10, Threshold, 1)
DSP_STEP(btndelaymidown_20, 11, Threshold, -1) DSP_STEP(btndelaymiup_20, 11, Threshold, 1)
DSP_ENTRY(Editdelayinmi_5, 0, Attack)
DSP_ENTRY(Editdelayinmi_6, 1, Attack)
DSP_ENTRY(Editdelayinmi_7, 2, Attack)
DSP_ENTRY(Editdelayinmi_8, 3, Attack)
DSP_ENTRY(Editdelayoutmi_5, 4, Attack)
DSP_ENTRY(Editdelayoutmi_6, 5, Attack)
DSP_ENTRY(Editdelayoutmi_7, 6, Attack)
DSP_ENTRY(Editdelayoutmi_8, 7, Attack)
DSP_ENTRY(Editdelayoutmi_9, 8, Attack)
DSP_ENTRY(Editdelayoutmi_10, 9, Attack)
DSP_ENTRY(Editdelayoutmi_11, 10, Attack)
DSP_ENTRY(Editdelayoutmi_12, 11, Attack)
DSP_ENTRY(Editdelayinme_5, 0, Release)
DSP_ENTRY(Editdelayinme_6, 1, Release)
DSP_ENTRY(Editdelayinme_7, 2, Release)
DSP_ENTRY(Editdelayinme_8, 3, Release)
DSP_ENTRY(Editdelayme_5, 4, Release)
DSP_ENTRY(Editdelayme_6, 5, Release)
DSP_ENTRY(Editdelayme_7, 6, Release)
DSP_ENTRY(Editdelayme_8, 7, Release)
DSP_ENTRY(Editdelayme_9, 8, Release)
DSP_ENTRY(Editdelayme_10, 9, Release)
DSP_ENTRY(Editdelayme_11, 10, Release)
DSP_ENTRY(Editdelayme_12, 11, Release)
DSP_ENTRY(Editlimitinhold, 0, Threshold)
DSP_ENTRY(Editlimitinhold_2, 1, Threshold)
DSP_ENTRY(Editlimitinhold_3, 2, Threshold)
DSP_ENTRY(Editlimitinhold_4, 3, Threshold)
DSP_ENTRY(Editlimithold, 4, Threshold)
DSP_ENTRY(Editlimithold_2, 5, Threshold)
DSP_ENTRY(Editlimithold_3, 6, Threshold)
DSP_ENTRY(Editlimithold_4, 7, Threshold)
DSP_ENTRY(Editlimithold_5, 8, Threshold)
DSP_ENTRY(Editlimithold_6, 9, Threshold)
DSP_ENTRY(Editlimithold_7, 10, Threshold)
DSP_ENTRY(Editlimithold_8, 11, Threshold)
DSP_KNEE(comboxlimit, 0)
DSP_KNEE(comboxlimit2, 1)
DSP_KNEE(comboxlimit3, 2)
DSP_KNEE(comboxlimit4, 3)
DSP_KNEE(comboxlimit5, 4)
DSP_KNEE(comboxlimit6, 5)
DSP_KNEE(comboxlimit7, 6)
DSP_KNEE(comboxlimit8, 7)
DSP_KNEE(comboxlimit9, 8)
DSP_KNEE(comboxlimit10, 9)
DSP_KNEE(comboxlimit11, 10)
DSP_KNEE(comboxlimit12, 11)
    // clang-format on
