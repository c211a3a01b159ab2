// Writes the designer forms of the gain page (formgain.ui) and of the delay
// page (formdelay.ui) from the tables below: twelve channel strips each, the
// channel buttons, the unit selectors of the delay page and the lock overlays.
//
//   gaindelayform <gain.ui> <delay.ui>          write the forms
//   gaindelayform --check <gain.ui> <delay.ui>  exit 1 when a file differs

#include "formgen.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace
{

using formgen::Rect;

struct Font {
    const char *family = nullptr; // none: the default family
    int points = 0;               // 0: the default size
};

const char *const kWhite = "color: rgb(255, 255, 255);";
const Font kArial14{"Arial", 14};
const Font kArial13{"Arial", 13};

// Object name of strip n (1..12) in a family: no suffix on strip 1.
QString member(const char *stem, int n)
{
    return n == 1 ? QString::fromLatin1(stem) : QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(n);
}

class FormWriter : public formgen::Writer
{
public:
    using Writer::Writer;

    // Plain widgets are written as native ones.
    void open(const char *cls, const QString &name) { Writer::open(cls, name, QByteArray(cls) == "QWidget"); }

    void font(const Font &f) { Writer::font(QString::fromUtf8(f.family), f.points); }
    void real(const char *name, double v)
    {
        property(name, [&] { x.writeTextElement("double", QString::number(v)); });
    }

    // A flat push button; the flags say which modes it has.
    void button(const QString &name, const Rect &r, const Font *f, const char *sheet, const char *label,
                bool checkable, bool exclusive, bool repeat, int repeatdelay = 0)
    {
        open("QPushButton", name);
        geometry(r);
        if (f)
            font(*f);
        if (sheet)
            stylesheet(sheet);
        text(label);
        if (checkable)
            boolean("checkable", true);
        if (exclusive)
            boolean("autoExclusive", true);
        if (repeat)
            boolean("autoRepeat", true);
        if (repeatdelay)
            number("autoRepeatDelay", repeatdelay);
        boolean("flat", true);
        close();
    }
};

// ---------------------------------------------------------------------------
// Gain page

struct ScaleMark {
    const char *text;
    int x, y;
};

// The gain slider: 236 rows from row 162 of its strip, raw steps 0 to 520
// (-40 to +12 dB in tenths), a 54-row handle (the style sheets' size). The
// handle's top travels 182 rows, 3.5 rows a dB, top row at +12 dB. Its
// middle, which a scale mark at that level faces, is 27 rows below its top.
// The skin generator draws the groove's ticks by the same rule.
const int kSliderTop = 162, kSliderHeight = 236, kSliderMax = 520, kHandleHeight = 54;
int handlemiddle(int db)
{
    const int span = kSliderHeight - kHandleHeight;
    const int below = kSliderMax - (db + 40) * 10; // raw steps below the top
    // As the style places the handle: the offset rounded to a whole row.
    return kSliderTop + (2 * below * span + kSliderMax) / (2 * kSliderMax) + kHandleHeight / 2;
}
// A mark of height h centred on the handle's middle at that level.
int facing(int db, int h)
{
    return handlemiddle(db) - h / 2;
}

// Slider scale labels, 16 rows high; the 0 dB button (22 rows) stands where
// a "0" label would be.
const ScaleMark kSliderScale[] = {{"+12", 6, facing(12, 16)},  {"+6", 6, facing(6, 16)},
                                  {"-6", 6, facing(-6, 16)},   {"-12", 6, facing(-12, 16)},
                                  {"-24", 6, facing(-24, 16)}, {"-36", 6, facing(-36, 16)},
                                  {"-40", 6, facing(-40, 16)}};
const ScaleMark kMeterScale[] = {{"+20", 12, 27}, {"+10", 12, 39}, {"0", 12, 51},  {"-10", 12, 63},
                                 {"-20", 12, 75}, {"-30", 12, 87}, {"-40", 12, 99}};

const char *const kGainButtons[12] = {"btnina",  "btninb",  "btninc",  "btnind",  "btnout1", "btnout2",
                                      "btnout3", "btnout4", "btnout5", "btnout6", "btnout7", "btnout8"};
const int kGainButtonX[12] = {9, 80, 156, 230, 318, 393, 468, 543, 618, 693, 767, 841};

QString zerobutton(int n)
{
    if (n == 1)
        return QStringLiteral("Bttton0");
    if (n == 2)
        return QStringLiteral("Button1");
    return QStringLiteral("Button%1").arg(n);
}

void gainform(FormWriter &w)
{
    w.begin("FormGain");
    w.open("QWidget", "FormGain");
    w.geometry({0, 0, 930, 700});
    w.size("minimumSize", 0, 0);
    w.size("maximumSize", 1014, 700);
    w.text("Form", "windowTitle");

    w.open("QWidget", "widgetgain");
    w.geometry({0, 0, 1014, 700});
    w.size("minimumSize", 0, 0);
    w.size("maximumSize", 1014, 700);

    w.open("QWidget", "widgetgaintop");
    w.geometry({6, 12, 904, 49});
    for (int k = 0; k < 12; ++k)
        w.button(kGainButtons[k], {kGainButtonX[k], k == 2 ? 9 : 10, 57, 31}, &kArial14, kWhite, nullptr,
                 true, true, true);
    w.close();

    int label = 1;
    auto scalelabel = [&](const ScaleMark &m, int x, bool small) {
        w.open("QLabel", label == 1 ? QStringLiteral("label") : QStringLiteral("label_%1").arg(label));
        ++label;
        // The slider scale starts further left than the meter scale so that
        // "+12" fits in the default font; both end at the same column.
        w.geometry(small ? Rect{x, m.y, 21, 16} : Rect{x - 5, m.y, 26, 16});
        if (small)
            w.font({nullptr, 7});
        w.text(m.text);
        w.set("alignment", "Qt::AlignRight|Qt::AlignTrailing|Qt::AlignVCenter");
        w.close();
    };
    for (int n = 1; n <= 12; ++n) {
        const int x = n <= 4 ? 2 + 75 * (n - 1) : 315 + 75 * (n - 5);
        w.open("QWidget", QStringLiteral("widgetgain%1").arg(n));
        w.geometry({x, 54, 76, 528});
        w.button(member("btnup", n), {18, 120, 45, 41}, nullptr, kWhite, nullptr, false, false, true, 300);
        w.button(member("btndown", n), {18, 398, 45, 41}, nullptr, kWhite, nullptr, false, false, true, 300);

        w.open("QSlider", member("vlSliderGain", n));
        w.geometry({29, kSliderTop, 30, kSliderHeight});
        w.enumeration("focusPolicy", "Qt::WheelFocus");
        w.number("maximum", kSliderMax);
        w.enumeration("orientation", "Qt::Vertical");
        w.close();

        w.open("QWidget", member("widgetlights", n));
        w.geometry({38, 30, 19, 85});
        w.close();

        w.button(member("btngainm", n), {21, 472, 41, 40}, &kArial14, kWhite, nullptr, false, false, false);

        // Takes any number while typed and limits it on Return.
        w.open("LimitSpinBox", member("lineEdit", n));
        w.geometry({10, 444, 58, 24});
        w.font(kArial14);
        w.set("alignment", "Qt::AlignCenter");
        w.enumeration("buttonSymbols", "QAbstractSpinBox::NoButtons");
        w.text(nullptr, "suffix");
        w.number("decimals", 1);
        w.real("minimum", -40.0);
        w.real("maximum", 12.0);
        w.real("singleStep", 0.1);
        w.close();

        w.button(zerobutton(n), {9, facing(0, 22), 20, 22}, nullptr, nullptr, nullptr, false, false, false);

        for (const ScaleMark &m : kSliderScale)
            scalelabel(m, m.x, false);
        for (const ScaleMark &m : kMeterScale)
            scalelabel(m, (m.text == QLatin1String("0") && n <= 2) ? 10 : m.x, true);
        w.close();
    }

    w.open("QWidget", "widgetgainlockback");
    w.geometry({0, 0, 1014, 700});
    w.close();

    w.close(); // widgetgain
    w.close(); // FormGain
    w.customwidgets({{"LimitSpinBox", "limitspinbox.h", "QDoubleSpinBox", false}});
    w.end();
}

// ---------------------------------------------------------------------------
// Delay page

struct DelayRow {
    int stripx, stripy;
    const char *button;
    int buttonx, buttony;
    const char *sw;
    int switchx, switchy;
};
const DelayRow kDelayRows[12] = {
    {74, 36, "delay_btnina", 13, 52, "delayswitch1", 422, 45},
    {74, 103, "delay_btninb", 13, 118, "delayswitch2", 422, 111},
    {74, 169, "delay_btninc", 13, 186, "delayoswitch3", 422, 177},
    {74, 237, "delay_btnind", 13, 253, "delayswitch4", 422, 245},
    {537, 36, "delay_btnout1", 476, 52, "delayswitch01", 884, 45},
    {537, 103, "delay_btnout2", 476, 118, "delayswitch02", 884, 111},
    {537, 169, "delay_btnout3", 476, 186, "delayswitch03", 884, 177},
    {537, 237, "delay_btnout4", 476, 253, "delayswitch04", 884, 245},
    {537, 304, "delay_btnout5", 476, 319, "delayswitch05", 884, 312},
    {537, 371, "delay_btnout6", 476, 386, "delayswitch06", 884, 379},
    {537, 438, "delay_btnout7", 476, 452, "delayswitch07", 884, 446},
    {537, 505, "delay_btnout8", 476, 518, "delayswitch08", 884, 513},
};
const char *const kDelayLabels[12] = {"IN-A", "IN-B", "IN-C", "IN-D", "OUT1", "OUT2",
                                      "OUT3", "OUT4", "OUT5", "OUT6", "OUT7", "OUT8"};

void delayform(FormWriter &w)
{
    w.begin("FormDelay");
    w.open("QDialog", "FormDelay");
    w.geometry({0, 0, 1014, 700});
    w.size("minimumSize", 0, 0);
    w.size("maximumSize", 1024, 700);
    w.text("DELAY", "windowTitle");

    w.open("QWidget", "widgetdelay");
    w.geometry({0, 0, 1014, 700});
    w.size("minimumSize", 919, 584);
    w.size("maximumSize", 1024, 700);

    for (int n = 1; n <= 12; ++n) {
        const DelayRow &r = kDelayRows[n - 1];
        w.open("QWidget", QStringLiteral("widgetdelay%1").arg(n));
        w.geometry({r.stripx, r.stripy, 345, 75});
        auto edit = [&] {
            w.open("QLineEdit", member("Editdelaymi", n));
            w.geometry({130, 18, 125, 17});
            w.font(kArial14);
            w.set("alignment", "Qt::AlignCenter");
            w.close();
        };
        if (n > 1)
            edit();
        w.button(member("btndelaymidown", n), {36, 29, 40, 35}, nullptr, kWhite, nullptr, false, false, true);
        w.button(member("btndelaymiup", n), {296, 29, 40, 35}, nullptr, kWhite, nullptr, false, false, true);
        w.open("QSlider", member("sldrdelaymi", n));
        w.geometry({73, 38, 227, 28});
        w.enumeration("focusPolicy", "Qt::WheelFocus");
        w.number("maximum", 61);
        w.number("value", 1);
        w.enumeration("orientation", "Qt::Horizontal");
        w.close();
        if (n == 1)
            edit();
        w.close();
    }

    auto channelbutton = [&](int k) {
        const DelayRow &r = kDelayRows[k];
        w.button(r.button, {r.buttonx, r.buttony, 61, 47}, k < 4 ? &kArial14 : &kArial13, kWhite,
                 kDelayLabels[k], true, true, true);
    };
    auto delayswitch = [&](int k) {
        const DelayRow &r = kDelayRows[k];
        w.open("QPushButton", r.sw);
        w.geometry({r.switchx, r.switchy, 26, 61});
        w.stylesheet(k == 0 ? kWhite : "color:rgb(255, 255, 255)");
        w.text(nullptr);
        w.boolean("checkable", true);
        w.boolean("autoDefault", false);
        w.boolean("flat", true);
        w.close();
    };
    for (int k = 1; k < 12; ++k)
        channelbutton(k);

    w.open("QWidget", "widgetadelayback");
    w.geometry({8, 0, 871, 50});
    for (const char *name : {"comboBox_3", "comboBox_4"}) {
        w.open("QComboBox", name);
        w.geometry({name[9] == '3' ? 165 : 625, 9, 175, 22});
        w.font(kArial14);
        for (const char *unit : {"Millisecond", "Metre", "Feet"})
            w.item(unit);
        w.close();
    }
    w.close();

    delayswitch(0);
    channelbutton(0);
    for (int k = 1; k < 12; ++k)
        delayswitch(k);

    w.open("QWidget", "widgetdelaylockback");
    w.geometry({0, 0, 1014, 700});
    w.font({"宋体", 0});
    w.close();

    w.close(); // widgetdelay
    w.close(); // FormDelay
    w.end();
}

QByteArray form(void (*make)(FormWriter &))
{
    return formgen::render([make](QIODevice *out) {
        FormWriter w(out);
        make(w);
    });
}

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: gaindelayform [--check] <formgain.ui> <formdelay.ui>",
                        {form(gainform), form(delayform)});
}
