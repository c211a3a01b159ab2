#include "formmainview.h"

#include "devicedata.h"
#include "formdrawlines.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "ui_formmainview.h"

#include <QCloseEvent>

FormMainView *gFormMainView = nullptr;

namespace
{

using Form = Ui::FormMainView;
using Button = QPushButton *Form::*;
using Label = QLabel *Form::*;
using Widget = QWidget *Form::*;

constexpr int kChannels = 12;
constexpr int kInputs = 4;
constexpr int kOutputs = 8;

// The page's widgets by channel (0..11), output (0..7) or input (0..3).
const Button kMute[kChannels] = {&Form::btninmute1,   &Form::btninmute1_3, &Form::btninmute1_4,
                                 &Form::btninmute1_5, &Form::btnoutmute,   &Form::btnoutmute_2,
                                 &Form::btnoutmute_3, &Form::btnoutmute_4, &Form::btnoutmute_5,
                                 &Form::btnoutmute_6, &Form::btnoutmute_7, &Form::btnoutmute_8};
const Label kGain[kChannels] = {&Form::label_gaina,    &Form::label_gainb,    &Form::label_gainc,
                                &Form::label_gaind,    &Form::label_gainout1, &Form::label_gainout2,
                                &Form::label_gainout3, &Form::label_gainout4, &Form::label_gainout5,
                                &Form::label_gainout6, &Form::label_gainout7, &Form::label_gainout8};
const Label kDelay[kChannels] = {&Form::label_delay1,  &Form::label_delay2,  &Form::label_delay3,
                                 &Form::label_delay4,  &Form::label_delay5,  &Form::label_delay6,
                                 &Form::label_delay7,  &Form::label_delay8,  &Form::label_delay9,
                                 &Form::label_delay10, &Form::label_delay11, &Form::label_delay12};
const Label kLimit[kChannels] = {&Form::label_limit,  &Form::label_limit1,  &Form::label_limit2,
                                 &Form::label_limit3, &Form::label_limit4,  &Form::label_limit5,
                                 &Form::label_limit6, &Form::label_limit7,  &Form::label_limit8,
                                 &Form::label_limit9, &Form::label_limit10, &Form::label_limit11};
const Label kBypass[kChannels] = {&Form::peqbypass,    &Form::peqbypass_2,  &Form::peqbypass_3,
                                  &Form::peqbypass_4,  &Form::peqbypass_5,  &Form::peqbypass_7,
                                  &Form::peqbypass_8,  &Form::peqbypass_9,  &Form::peqbypass_10,
                                  &Form::peqbypass_11, &Form::peqbypass_12, &Form::peqbypass_13};
const Label kPeak[kOutputs] = {&Form::label_limit20, &Form::label_limit21, &Form::label_limit22,
                               &Form::label_limit23, &Form::label_limit24, &Form::label_limit25,
                               &Form::label_limit26, &Form::label_limit27};
const Label kRouteLabel[kOutputs] = {&Form::labelout1, &Form::labelout2, &Form::labelout3, &Form::labelout4,
                                     &Form::labelout5, &Form::labelout6, &Form::labelout7, &Form::labelout8};
const Button kSwitch[kOutputs] = {&Form::btnlimitinon,   &Form::btnlimitinon_2, &Form::btnlimitinon_3,
                                  &Form::btnlimitinon_4, &Form::btnlimiton_5,   &Form::btnlimiton_6,
                                  &Form::btnlimiton_7,   &Form::btnlimiton_8};
const Button kRoute[kInputs][kOutputs] = {
    {&Form::btnoutA, &Form::btnoutA_2, &Form::btnoutA_3, &Form::btnoutA_4, &Form::btnoutA_5, &Form::btnoutA_6,
     &Form::btnoutA_7, &Form::btnoutA_8},
    {&Form::btnoutB, &Form::btnoutB_2, &Form::btnoutB_3, &Form::btnoutB_4, &Form::btnoutB_5, &Form::btnoutB_6,
     &Form::btnoutB_7, &Form::btnoutB_8},
    {&Form::btnoutC, &Form::btnoutC_2, &Form::btnoutC_3, &Form::btnoutC_4, &Form::btnoutC_5, &Form::btnoutC_6,
     &Form::btnoutC_7, &Form::btnoutC_8},
    {&Form::btnoutD, &Form::btnoutD_2, &Form::btnoutD_3, &Form::btnoutD_4, &Form::btnoutD_5, &Form::btnoutD_6,
     &Form::btnoutD_7, &Form::btnoutD_8},
};

// Strips and routing buttons of channels a device type lacks, with the first
// view index (1 type 22, 2 type 20) that hides them.
struct Absent {
    Widget strip;
    Button button;
    int hiddenfrom;
};
const Absent kAbsent[] = {
    {&Form::widgetintone_3, nullptr, 2}, {&Form::widgetintone_4, nullptr, 1},
    {&Form::widgetout_5, nullptr, 2},    {&Form::widgetout_6, nullptr, 2},
    {&Form::widgetout_7, nullptr, 1},    {&Form::widgetout_8, nullptr, 1},
    {nullptr, &Form::btnoutC, 2},        {nullptr, &Form::btnoutC_2, 2},
    {nullptr, &Form::btnoutC_3, 2},      {nullptr, &Form::btnoutC_4, 2},
    {nullptr, &Form::btnoutC_5, 2},      {nullptr, &Form::btnoutC_6, 2},
    {nullptr, &Form::btnoutD, 1},        {nullptr, &Form::btnoutD_2, 1},
    {nullptr, &Form::btnoutD_3, 1},      {nullptr, &Form::btnoutD_4, 1},
    {nullptr, &Form::btnoutD_5, 1},      {nullptr, &Form::btnoutD_6, 1},
};

// Mute skins: [output side][muted][Chinese].
const char *const kMuteSkin[2][2][2] = {
    {{"background-image:url(:/buttons/skin/inputback-mute.png);",
      "background-image:url(:/buttons/skin/inputback-mute_chs.png);"},
     {"background-image:url(:/buttons/skin/inputbackmute01.png);",
      "background-image:url(:/buttons/skin/inputbackmute01_chs.png);"}},
    {{"background-image:url(:/buttons/skin/outbackmute.png);",
      "background-image:url(:/buttons/skin/outbackmute_chs.png);"},
     {"background-image:url(:/buttons/skin/outbackmute01.png);",
      "background-image:url(:/buttons/skin/outbackmute01_chs.png);"}},
};

// Routing button skins: the input's image when it feeds the output.
const char *const kRouteOn[kInputs] = {"background-image:url(:/buttons/skin/outbackA.png);",
                                       "background-image:url(:/buttons/skin/outbackB.png);",
                                       "background-image:url(:/buttons/skin/outbackC.png);",
                                       "background-image:url(:/buttons/skin/outbackD.png);"};
const char *const kRouteOff = "background-image:none;color: rgb(255, 255, 255);";
const char *const kLetters[kInputs] = {"A", "B", "C", "D"};

// Lock image per lock state 1..4.
struct LockLook {
    const char *sheet;
    QRect rect;
};
const LockLook kLock[4] = {
    {"background-image:url(:/back/skin/amainlock01.png);", {70, 0, 805, 610}},
    {"background-image:url(:/back/skin/amainlock02.png);", {73, -2, 795, 610}},
    {"background-image:url(:/back/skin/alockchange.png);", {0, 0, 1014, 700}},
    {"background-image:url(:/back/skin/blacklock.png);", {0, 0, 1014, 700}},
};

const char *const kBypassOn = "color: rgb(84,84, 84);";
const char *const kBypassOff = "color: rgb(152,176, 255);";

bool chinese()
{
    return gGlobalContrl && gGlobalContrl->getlanguage() == 1;
}

// The Chinese twin of "Off" and "off".
QString chineseoff()
{
    return QStringLiteral("关");
}

bool validchannel(int ch)
{
    return ch >= 0 && ch < kChannels;
}

bool validoutput(int o)
{
    return o >= 0 && o < kOutputs;
}

DeviceData *device()
{
    return gMainApp ? gMainApp->getcurdevice() : nullptr;
}

// Whether a mute or switch click on channel ch is copied to other channels:
// it is linked by the rule every page follows (its side's link switch is on
// and its mask names itself and another channel). The channels it is copied
// to (the other members of its group) go into peers.
bool linkedpeers(const DeviceData *d, int ch, QVector<int> &peers)
{
    if (!d)
        return false;
    const QVector<int> group = gMainApp->linkgroup(ch);
    for (int c : group) {
        if (c != ch)
            peers << c;
    }
    return !group.isEmpty();
}

} // namespace

FormMainView::FormMainView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FormMainView)
{
    ui->setupUi(this);
    for (Label l : kRouteLabel)
        (ui.get()->*l)->setText(offword());
    ui->widgetlockback->hide();
    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormMainView::refreshLanText);
}

FormMainView::~FormMainView() = default;

void FormMainView::closeEvent(QCloseEvent *event)
{
    // The sub-window would delete the page on close while the controller and
    // the main window still point at it, and nothing would show it again: it
    // refuses the close like every other page.
    event->ignore();
}

QString FormMainView::offword()
{
    return chinese() ? chineseoff() : QStringLiteral("Off");
}

void FormMainView::setabcdtext(QString &text, bool on, const QString &letter)
{
    if (text.size() < 4)
        text = QStringLiteral("    ");
    const int at = QStringLiteral("ABCD").indexOf(letter);
    if (letter.size() != 1 || at < 0)
        return;
    text[at] = on ? letter[0] : QLatin1Char(' ');
}

QString FormMainView::levelortext(int raw, int enable)
{
    if (!enable)
        return chinese() ? chineseoff() : QStringLiteral("off");
    const float db = float(raw) / 10.0f - 20.0f;
    return QStringLiteral("%1dB").arg(double(db), 0, 'f', 1);
}

// ---------------------------------------------------------------------------
// Refresh

void FormMainView::refreshLanText()
{
    for (Label l : kRouteLabel) {
        QLabel *label = ui.get()->*l;
        if (label->text() == QLatin1String("Off") || label->text() == chineseoff())
            label->setText(offword());
    }
    // The limiter and peak-limiter summaries of a switched-off block.
    auto summary = [this](Label l) {
        QLabel *label = ui.get()->*l;
        if (label->text() == QLatin1String("off") || label->text() == chineseoff())
            label->setText(levelortext(0, 0));
    };
    for (Label l : kLimit)
        summary(l);
    for (Label l : kPeak)
        summary(l);
    updatemetubtn();
}

void FormMainView::updatemainview(int view)
{
    updatemainlock();
    updatepeqbypass();
    ui->widgetdrawlines->repaint();
    updateabcdbtn();
    updatephasebtns();
    if (view < 0 || view > 2)
        return;
    for (const Absent &a : kAbsent) {
        QWidget *w = a.strip ? ui.get()->*a.strip : ui.get()->*a.button;
        w->setVisible(view < a.hiddenfrom);
    }
}

void FormMainView::updatepeqbypass()
{
    const DeviceData *d = device();
    if (!d)
        return;
    for (int ch = 0; ch < kChannels; ++ch)
        (ui.get()->*kBypass[ch])->setStyleSheet(d->getpeqbypassall(ch) ? kBypassOn : kBypassOff);
}

void FormMainView::updateabcdbtn()
{
    const DeviceData *d = device();
    if (!d)
        return;
    for (int input = 0; input < kInputs; ++input) {
        for (int o = 0; o < kOutputs; ++o) {
            const bool on = FormDrawLines::feeds(d, input, o);
            (ui.get()->*kRoute[input][o])->setStyleSheet(on ? kRouteOn[input] : kRouteOff);
            QLabel *label = ui.get()->*kRouteLabel[o];
            QString text = label->text();
            setabcdtext(text, on, QLatin1String(kLetters[input]));
            label->setText(text);
        }
    }
}

void FormMainView::updatephasebtns()
{
    const DeviceData *d = device();
    if (!d)
        return;
    for (int o = 0; o < kOutputs; ++o)
        (ui.get()->*kSwitch[o])->setChecked(d->getoutflag(o) == 1);
}

void FormMainView::updatemetubtn()
{
    if (!gMainApp)
        return;
    const int zh = chinese() ? 1 : 0;
    for (int ch = 0; ch < kChannels; ++ch) {
        const int muted = gMainApp->getmute(ch) ? 1 : 0;
        (ui.get()->*kMute[ch])->setStyleSheet(kMuteSkin[ch >= kInputs][muted][zh]);
    }
}

void FormMainView::updategainvalues(int ch)
{
    if (!gMainApp || !validchannel(ch))
        return;
    (ui.get()->*kGain[ch])
        ->setText(QStringLiteral("%1dB").arg(double(gMainApp->getgaincache(ch)), 0, 'f', 1));
}

void FormMainView::updatedelayvalues(int ch)
{
    if (!gMainApp || !validchannel(ch))
        return;
    (ui.get()->*kDelay[ch])
        ->setText(QStringLiteral("%1").arg(double(gMainApp->getdelaycache(ch)), 0, 'f', 2) +
                  QStringLiteral("ms"));
}

void FormMainView::updatelimitvalues(int ch)
{
    const DeviceData *d = device();
    if (!d || !validchannel(ch))
        return;
    (ui.get()->*kLimit[ch])->setText(levelortext(gMainApp->getthresholdcache(ch), d->getlimitknee(ch)));
}

void FormMainView::updatelimitvalues2(int o)
{
    const DeviceData *d = device();
    if (!d || !validoutput(o))
        return;
    (ui.get()->*kPeak[o])->setText(levelortext(d->getpeaklimitvalue(o), d->getpeaklimiton(o)));
}

void FormMainView::updatemainlock()
{
    const DeviceData *d = device();
    QWidget *lock = ui->widgetlockback;
    if (!d || (!d->getcomconnected() && !d->gettcpconnected())) {
        lock->hide();
        return;
    }
    const int state = d->getlocktype();
    if (state < 1 || state > 4) {
        lock->hide();
        return;
    }
    lock->setStyleSheet(QLatin1String(kLock[state - 1].sheet));
    lock->setGeometry(kLock[state - 1].rect);
    lock->show();
}

// ---------------------------------------------------------------------------
// Click helpers

void FormMainView::routeclicked(int input, int o)
{
    DeviceData *d = device();
    if (!d || input < 0 || input >= kInputs || !validoutput(o))
        return;
    QPushButton *button = ui.get()->*kRoute[input][o];
    QLabel *label = ui.get()->*kRouteLabel[o];
    // The label as shown is the starting point, not the model.
    QString text = label->text();
    const QString letter = QLatin1String(kLetters[input]);
    if (FormDrawLines::feeds(d, input, o)) {
        button->setStyleSheet(QLatin1String(kRouteOff));
        setabcdtext(text, false, letter);
        if (text == QLatin1String("    "))
            text = offword();
        label->setText(text);
        d->setroutebit(o, input + 1, false);
    } else {
        button->setStyleSheet(QLatin1String(kRouteOn[input]));
        d->setroutebit(o, input + 1, true);
        setabcdtext(text, true, letter);
        label->setText(text);
    }
    ui->widgetdrawlines->repaint();
    gMainApp->sendrouting(o + 1);
}

void FormMainView::muteclicked(int ch)
{
    if (!device() || !validchannel(ch))
        return;
    const int now = gMainApp->getmute(ch) ? 0 : 1;
    (ui.get()->*kMute[ch])->setStyleSheet(kMuteSkin[ch >= kInputs][now][chinese() ? 1 : 0]);
    device()->setmute(ch, now);
    MainApp::delayms(50);
    // Only the clicked channel goes to the processor; linked channels follow
    // in the model and on screen.
    gMainApp->sendgain(ch);
    QVector<int> peers;
    if (!linkedpeers(device(), ch, peers))
        return;
    for (int c : peers)
        device()->setmute(c, now);
    updatemetubtn();
}

void FormMainView::switchclicked(int o)
{
    DeviceData *d = device();
    if (!d || !validoutput(o))
        return;
    const int flag = (ui.get()->*kSwitch[o])->isChecked() ? 1 : 0;
    d->setoutflag(o, flag);
    gMainApp->sendoutputflag(o);
    QVector<int> peers;
    linkedpeers(d, kInputs + o, peers);
    for (int c : peers) {
        d->setoutflag(c - kInputs, flag);
        (ui.get()->*kSwitch[c - kInputs])->setChecked(flag == 1);
    }
}

void FormMainView::pageclicked(Page page, int n)
{
    if (!gMainApp)
        return;
    using Show = void (MainApp::*)();
    using Reload = void (FormMainView::*)();
    using SetChannel = void (MainApp::*)(int);
    // The page channel (or output) goes to the controller first, then the page
    // reloads, shows (unless the lock state keeps it hidden), and the main
    // window highlights its page button.
    struct Action {
        SetChannel set;
        Reload reload;
        Show show;
        int pagenumber;
        int first, last; // valid n
    };
    static const Action actions[] = {
        {&MainApp::setgainviewch, &FormMainView::updategaindlg, &MainApp::showgainview, 1, 1, 12},
        {&MainApp::setdelayviewch, &FormMainView::updatedelaydlg, &MainApp::showdelayview, 2, 1, 12},
        {&MainApp::seteqviewch, &FormMainView::updateeqdlg, &MainApp::showeqview, 3, 1, 12},
        {&MainApp::setlimitviewch, &FormMainView::updatelimitdlg, &MainApp::showlimitview, 4, 1, 12},
        {&MainApp::setlimit2channel, &FormMainView::updatelimitdlg2, &MainApp::showlimit2view, 5, 0, 7},
    };
    const Action &a = actions[int(page)];
    if (n < a.first || n > a.last)
        return;
    // An output's EQ button opens its peak-limiter page beneath the EQ page.
    const bool withpeak = page == Page::Eq && n > kInputs;
    if (withpeak)
        gMainApp->setlimit2channel(n - kInputs - 1);
    (gMainApp->*a.set)(n);
    (this->*a.reload)();
    if (withpeak) {
        emit updatelimitdlg2();
        gMainApp->showlimit2view();
    }
    (gMainApp->*a.show)();
    // The input limiter buttons lie outside their strips and highlight
    // nothing; a page the lock keeps closed is not shown, nor lit.
    if (!(page == Page::Limit && n <= kInputs) && !gMainApp->pageslocked())
        emit sChangeButtonview(a.pagenumber);
}

void FormMainView::geqclicked(int n)
{
    if (!gMainApp || n < 1 || n > kChannels)
        return;
    gMainApp->setgeqviewch(n);
    emit updategeqdlg();
    gMainApp->showgeqview();
}

// ---------------------------------------------------------------------------
// Click slots: each names its family helper and its place in the family.

// clang-format off
#define DSP_CLICK(button, call) void FormMainView::on_##button##_clicked() { call; }

DSP_CLICK(btnoutA, routeclicked(0, 0)) DSP_CLICK(btnoutA_2, routeclicked(0, 1))
DSP_CLICK(btnoutA_3, routeclicked(0, 2)) DSP_CLICK(btnoutA_4, routeclicked(0, 3))
DSP_CLICK(btnoutA_5, routeclicked(0, 4)) DSP_CLICK(btnoutA_6, routeclicked(0, 5))
DSP_CLICK(btnoutA_7, routeclicked(0, 6)) DSP_CLICK(btnoutA_8, routeclicked(0, 7))
DSP_CLICK(btnoutB, routeclicked(1, 0)) DSP_CLICK(btnoutB_2, routeclicked(1, 1))
DSP_CLICK(btnoutB_3, routeclicked(1, 2)) DSP_CLICK(btnoutB_4, routeclicked(1, 3))
DSP_CLICK(btnoutB_5, routeclicked(1, 4)) DSP_CLICK(btnoutB_6, routeclicked(1, 5))
DSP_CLICK(btnoutB_7, routeclicked(1, 6)) DSP_CLICK(btnoutB_8, routeclicked(1, 7))
DSP_CLICK(btnoutC, routeclicked(2, 0)) DSP_CLICK(btnoutC_2, routeclicked(2, 1))
DSP_CLICK(btnoutC_3, routeclicked(2, 2)) DSP_CLICK(btnoutC_4, routeclicked(2, 3))
DSP_CLICK(btnoutC_5, routeclicked(2, 4)) DSP_CLICK(btnoutC_6, routeclicked(2, 5))
DSP_CLICK(btnoutC_7, routeclicked(2, 6)) DSP_CLICK(btnoutC_8, routeclicked(2, 7))
DSP_CLICK(btnoutD, routeclicked(3, 0)) DSP_CLICK(btnoutD_2, routeclicked(3, 1))
DSP_CLICK(btnoutD_3, routeclicked(3, 2)) DSP_CLICK(btnoutD_4, routeclicked(3, 3))
DSP_CLICK(btnoutD_5, routeclicked(3, 4)) DSP_CLICK(btnoutD_6, routeclicked(3, 5))
DSP_CLICK(btnoutD_7, routeclicked(3, 6)) DSP_CLICK(btnoutD_8, routeclicked(3, 7))

DSP_CLICK(btninmute1, muteclicked(0)) DSP_CLICK(btninmute1_3, muteclicked(1))
DSP_CLICK(btninmute1_4, muteclicked(2)) DSP_CLICK(btninmute1_5, muteclicked(3))
DSP_CLICK(btnoutmute, muteclicked(4)) DSP_CLICK(btnoutmute_2, muteclicked(5))
DSP_CLICK(btnoutmute_3, muteclicked(6)) DSP_CLICK(btnoutmute_4, muteclicked(7))
DSP_CLICK(btnoutmute_5, muteclicked(8)) DSP_CLICK(btnoutmute_6, muteclicked(9))
DSP_CLICK(btnoutmute_7, muteclicked(10)) DSP_CLICK(btnoutmute_8, muteclicked(11))

DSP_CLICK(btnlimitinon, switchclicked(0)) DSP_CLICK(btnlimitinon_2, switchclicked(1))
DSP_CLICK(btnlimitinon_3, switchclicked(2)) DSP_CLICK(btnlimitinon_4, switchclicked(3))
DSP_CLICK(btnlimiton_5, switchclicked(4)) DSP_CLICK(btnlimiton_6, switchclicked(5))
DSP_CLICK(btnlimiton_7, switchclicked(6)) DSP_CLICK(btnlimiton_8, switchclicked(7))

DSP_CLICK(btningain1, pageclicked(Page::Gain, 1)) DSP_CLICK(btningain1_3, pageclicked(Page::Gain, 2))
DSP_CLICK(btningain1_4, pageclicked(Page::Gain, 3)) DSP_CLICK(btningain1_5, pageclicked(Page::Gain, 4))
DSP_CLICK(btnoutgain2, pageclicked(Page::Gain, 5)) DSP_CLICK(btnoutgain2_2, pageclicked(Page::Gain, 6))
DSP_CLICK(btnoutgain2_3, pageclicked(Page::Gain, 7)) DSP_CLICK(btnoutgain2_4, pageclicked(Page::Gain, 8))
DSP_CLICK(btnoutgain2_5, pageclicked(Page::Gain, 9)) DSP_CLICK(btnoutgain2_6, pageclicked(Page::Gain, 10))
DSP_CLICK(btnoutgain2_7, pageclicked(Page::Gain, 11)) DSP_CLICK(btnoutgain2_8, pageclicked(Page::Gain, 12))

DSP_CLICK(btnindelay1, pageclicked(Page::Delay, 1)) DSP_CLICK(btnindelay1_3, pageclicked(Page::Delay, 2))
DSP_CLICK(btnindelay1_4, pageclicked(Page::Delay, 3)) DSP_CLICK(btnindelay1_5, pageclicked(Page::Delay, 4))
DSP_CLICK(btnoutdelay, pageclicked(Page::Delay, 5)) DSP_CLICK(btnoutdelay_2, pageclicked(Page::Delay, 6))
DSP_CLICK(btnoutdelay_3, pageclicked(Page::Delay, 7)) DSP_CLICK(btnoutdelay_4, pageclicked(Page::Delay, 8))
DSP_CLICK(btnoutdelay_5, pageclicked(Page::Delay, 9)) DSP_CLICK(btnoutdelay_6, pageclicked(Page::Delay, 10))
DSP_CLICK(btnoutdelay_7, pageclicked(Page::Delay, 11)) DSP_CLICK(btnoutdelay_8, pageclicked(Page::Delay, 12))

DSP_CLICK(btneq1, pageclicked(Page::Eq, 1)) DSP_CLICK(btneq1_3, pageclicked(Page::Eq, 2))
DSP_CLICK(btneq1_4, pageclicked(Page::Eq, 3)) DSP_CLICK(btneq1_5, pageclicked(Page::Eq, 4))
DSP_CLICK(btnouteq, pageclicked(Page::Eq, 5)) DSP_CLICK(btnouteq_2, pageclicked(Page::Eq, 6))
DSP_CLICK(btnouteq_3, pageclicked(Page::Eq, 7)) DSP_CLICK(btnouteq_4, pageclicked(Page::Eq, 8))
DSP_CLICK(btnouteq_5, pageclicked(Page::Eq, 9)) DSP_CLICK(btnouteq_6, pageclicked(Page::Eq, 10))
DSP_CLICK(btnouteq_7, pageclicked(Page::Eq, 11)) DSP_CLICK(btnouteq_8, pageclicked(Page::Eq, 12))

DSP_CLICK(btninlimit, pageclicked(Page::Limit, 1)) DSP_CLICK(btninlimit_2, pageclicked(Page::Limit, 2))
DSP_CLICK(btninlimit_3, pageclicked(Page::Limit, 3)) DSP_CLICK(btninlimit_4, pageclicked(Page::Limit, 4))
DSP_CLICK(btnoutlimit, pageclicked(Page::Limit, 5)) DSP_CLICK(btnoutlimit_2, pageclicked(Page::Limit, 6))
DSP_CLICK(btnoutlimit_3, pageclicked(Page::Limit, 7)) DSP_CLICK(btnoutlimit_4, pageclicked(Page::Limit, 8))
DSP_CLICK(btnoutlimit_5, pageclicked(Page::Limit, 9)) DSP_CLICK(btnoutlimit_6, pageclicked(Page::Limit, 10))
DSP_CLICK(btnoutlimit_7, pageclicked(Page::Limit, 11)) DSP_CLICK(btnoutlimit_8, pageclicked(Page::Limit, 12))

DSP_CLICK(btnoutlimit_20, pageclicked(Page::Peak, 0)) DSP_CLICK(btnoutlimit_21, pageclicked(Page::Peak, 1))
DSP_CLICK(btnoutlimit_22, pageclicked(Page::Peak, 2)) DSP_CLICK(btnoutlimit_23, pageclicked(Page::Peak, 3))
DSP_CLICK(btnoutlimit_24, pageclicked(Page::Peak, 4)) DSP_CLICK(btnoutlimit_25, pageclicked(Page::Peak, 5))
DSP_CLICK(btnoutlimit_26, pageclicked(Page::Peak, 6)) DSP_CLICK(btnoutlimit_27, pageclicked(Page::Peak, 7))
    // clang-format on
