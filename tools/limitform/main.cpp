// Writes the designer form of the limiter and compressor page (formlimit.ui)
// from the tables below: twelve channel rows of four cells (attack, release,
// ratio, threshold), each cell a slider, a value edit and two step buttons;
// a select button and a knee combo beside every row; the transfer curve with
// its axis labels; title, header, separator, group buttons and lock overlays.
// Every widget sits at a fixed place; the widgets are written in the order the
// page is built in, which is also the keyboard focus order.
//
//   limitform <file.ui>          write the form
//   limitform --check <file.ui>  exit 1 when the file differs from the tables

#include "formgen.h"

#include <QString>
#include <QStringList>

namespace
{

using formgen::Rect;

const char *const kBlack = "color: rgb(0, 0, 0);";
const char *const kWhite = "color: rgb(255, 255, 255);";

constexpr int kChannels = 12;

// Names of one channel's widgets; the index is the channel (0..3 IN-A..IN-D,
// 4..11 OUT1..OUT8), the row kind 0 attack, 1 release, 2 ratio, 3 threshold.
struct Cell {
    QString slider, edit, down, up;
};

QString suffix(int k, const char *sep)
{
    return k == 0 ? QString() : QString::fromLatin1(sep) + QString::number(k);
}

Cell cell(int ch, int row)
{
    const bool in = ch < 4;
    const int k = in ? ch : ch - 4; // place on its side
    const QString s = QString::number(5 + k);
    const QString t = QString::number(13 + k);
    const QString letter = QString(QChar('a' + row));
    const QString stem = in ? QStringLiteral("sldrlimitin") : QStringLiteral("sldrlimit");
    // The threshold sliders count _2.. from the second channel, the others 1..
    const QString slider = stem + letter + (row == 3 ? suffix(k == 0 ? 0 : k + 1, "_") : suffix(k, ""));
    if (in) {
        switch (row) {
        case 0:
            return {slider, "Editdelayinmi_" + s, "btndelayinmidown_" + s, "btndelayinmiup_" + s};
        case 1:
            return {slider, "Editdelayinme_" + s, "btndelayinmedown_" + s, "btndelayinmeup_" + s};
        case 2:
            return {slider, "Editdelayinfe_" + s, "btndelayinfedown_" + s, "btndelayinfeup_" + s};
        default:
            return {slider, "Editlimitinhold" + suffix(k == 0 ? 0 : k + 1, "_"), "btndelayinmidown_" + t,
                    "btndelayinmiup_" + t};
        }
    }
    switch (row) {
    case 0:
        return {slider, "Editdelayoutmi_" + s, "btndelaymioutdown_" + s, "btndelaymioutup_" + s};
    case 1:
        return {slider, "Editdelayme_" + s, "btndelaymedown_" + s, "btndelaymeup_" + s};
    case 2:
        return {slider, "Editdelayfe_" + s, "btndelayfedown_" + s, "btndelayfeup_" + s};
    default:
        return {slider, "Editlimithold" + suffix(k == 0 ? 0 : k + 1, "_"), "btndelaymidown_" + t,
                "btndelaymiup_" + t};
    }
}

QString rowname(int ch)
{
    return QStringLiteral("widgetlimit%1").arg(ch + 1);
}

QString selectname(int ch)
{
    static const char *const names[kChannels] = {
        "limit_btnina",  "limit_btninb",  "limit_btninc",  "limit_btnind",  "limit_btnout1", "limit_btnout2",
        "limit_btnout3", "limit_btnout4", "limit_btnout5", "limit_btnout6", "limit_btnout7", "limit_btnout8"};
    return QString::fromLatin1(names[ch]);
}

QString comboname(int ch)
{
    return ch == 0 ? QStringLiteral("comboxlimit") : QStringLiteral("comboxlimit%1").arg(ch + 1);
}

QString channeltext(int ch)
{
    return ch < 4 ? QStringLiteral("IN-") + QChar('A' + ch) : QStringLiteral("OUT%1").arg(ch - 3);
}

// Row, select button and knee combo heights by channel.
const int kRowY[kChannels] = {898, 959, 1020, 1081, 52, 114, 175, 236, 297, 358, 419, 480};
const int kButtonY[kChannels] = {900, 961, 1022, 1083, 54, 115, 176, 237, 298, 359, 420, 481};
const int kComboY[kChannels] = {932, 993, 1054, 1115, 86, 147, 208, 269, 330, 391, 452, 513};

// Build order of the rows, and of the select buttons and combos beside them.
const int kRowOrder[kChannels] = {2, 0, 3, 1, 10, 4, 8, 9, 11, 6, 7, 5};
struct Beside {
    bool combo;
    int ch;
};
const Beside kBesideOrder[2 * kChannels] = {
    {true, 0},  {false, 0}, {true, 1},  {false, 1}, {true, 2},   {false, 2},  {false, 3}, {true, 3},
    {false, 8}, {true, 4},  {false, 6}, {true, 6},  {false, 10}, {true, 10},  {true, 5},  {true, 7},
    {false, 7}, {false, 5}, {true, 8},  {true, 9},  {false, 9},  {false, 11}, {false, 4}, {true, 11},
};

const char *const kCellSuffix[4] = {"_attack", "_release", "_ratio", "_shold"};
const int kCellX[4] = {4, 128, 252, 376};
// Slider range and value as the form sets them (the page sets its own ranges).
struct Range {
    int min, max, value;
};
Range formrange(int ch, int row)
{
    switch (row) {
    case 0:
        return {50, 6000, 50};
    case 1:
        return {1, 199, 5};
    case 2:
        return {0, 61, ch < 4 ? 5 : 0};
    default:
        return {0, 61, 5};
    }
}

const char *const kKnee[7] = {"OFF", "H_KN", "S-KN1", "S-KN2", "S-KN3", "S-KN4", "S-KN5"};

struct AxisLabel {
    const char *name;
    Rect rect;
    const char *text;
    bool palette;
};
const AxisLabel kAxis[7] = {
    {"label_12", {2, 255, 21, 16}, "<html><head/><body><p>-20</p></body></html>", true},
    {"label_9", {5, 166, 16, 16}, " 0", true},
    {"label_8", {0, 76, 24, 16}, "+20", true},
    {"label_13", {16, 358, 21, 16}, "-40", false},
    {"label_14", {105, 358, 21, 16}, "-20", false},
    {"label_15", {195, 358, 21, 16}, " 0", false},
    {"label_16", {284, 358, 26, 16}, "+20", false},
};

class FormWriter : public formgen::Writer
{
public:
    using Writer::Writer;

    void write()
    {
        begin("FormLimit");

        open("QWidget", "FormLimit");
        geometry({0, 0, 1014, 1000});
        property("sizePolicy", [&] {
            x.writeStartElement("sizepolicy");
            x.writeAttribute("hsizetype", "Preferred");
            x.writeAttribute("vsizetype", "Preferred");
            x.writeTextElement("horstretch", "0");
            x.writeTextElement("verstretch", "0");
            x.writeEndElement();
        });
        size("maximumSize", 1014, 1000);
        string("windowTitle", "Form");

        open("QWidget", "widgetlimit", true);
        geometry({0, 0, 1014, 1000});

        open("CompressorCur", "Compwidget", true);
        geometry({24, 70, 285, 285});
        x.writeEndElement();

        for (const AxisLabel &a : kAxis) {
            open("QLabel", a.name);
            geometry(a.rect);
            if (a.palette)
                palette({0, 0, 0}, {0, 0, 0});
            // 8 points; the two "+20" labels are wider than the others so that
            // their text is whole with the fonts of an X desktop too.
            font(QString(), 8);
            stylesheet(kBlack);
            string("text", a.text);
            x.writeEndElement();
        }

        for (int ch : kRowOrder)
            row(ch);

        groupbutton("btnout58", {206, 960, 95, 30});
        groupbutton("btnout14", {114, 960, 95, 30});

        for (const Beside &b : kBesideOrder) {
            if (b.combo)
                combo(b.ch);
            else
                selectbutton(b.ch);
        }

        open("QWidget", "widgetlimitlockback", true);
        geometry({5000, 0, 941, 540});
        x.writeEndElement();
        open("QWidget", "widgetlimitlockback_2", true);
        geometry({1326, 542, 616, 437});
        x.writeEndElement();
        emptylabel("labelLIMIT", {340, 13, 580, 35});
        emptylabel("labelfenge", {351, 790, 560, 5});
        open("QLabel", "label");
        geometry({16, 6, 291, 51});
        font(QString(), 22, true);
        stylesheet("background-image: url(:/back/skin/rmsl.png);");
        string("text", nullptr);
        x.writeEndElement();

        x.writeEndElement(); // widgetlimit
        x.writeEndElement(); // FormLimit

        customwidgets({{"CompressorCur", "compressorcur.h"}});
        end();
    }

private:
    // A string property; nullptr: empty.
    void string(const char *name, const char *t) { text(QString::fromUtf8(t), name); }

    // A translatable text; nullptr: empty.

    void emptylabel(const char *name, const Rect &r)
    {
        open("QLabel", name);
        geometry(r);
        string("text", nullptr);
        x.writeEndElement();
    }

    void stepbutton(const QString &name, const Rect &r)
    {
        open("QPushButton", name);
        geometry(r);
        stylesheet(kWhite);
        string("text", nullptr);
        boolean("autoRepeat", true);
        boolean("flat", true);
        x.writeEndElement();
    }

    void row(int ch)
    {
        open("QWidget", rowname(ch), true);
        geometry({421, kRowY[ch], 500, 63});
        // IN-A's cells are built from threshold back to attack.
        for (int k = 0; k < 4; ++k)
            cellwidgets(ch, ch == 0 ? 3 - k : k);
        x.writeEndElement();
    }

    void cellwidgets(int ch, int r)
    {
        const Cell c = cell(ch, r);
        open("QWidget", rowname(ch) + kCellSuffix[r], true);
        geometry({kCellX[r], 0, 120, 59});

        open("QSlider", c.slider);
        geometry({32, ch == 10 ? 29 : 28, 65, 22});
        enumeration("focusPolicy", "Qt::WheelFocus");
        const Range range = formrange(ch, r);
        number("minimum", range.min);
        number("maximum", range.max);
        number("value", range.value);
        enumeration("orientation", "Qt::Horizontal");
        x.writeEndElement();

        open("QLineEdit", c.edit);
        if (r == 2)
            boolean("enabled", false);
        geometry({11, 6, 99, 19});
        font("Arial", 14);
        string("text", nullptr);
        set("alignment", "Qt::AlignCenter");
        x.writeEndElement();

        stepbutton(c.down, {8, 29, 21, 25});
        stepbutton(c.up, {96, 29, 21, 25});
        x.writeEndElement();
    }

    void groupbutton(const char *name, const Rect &r)
    {
        open("QPushButton", name);
        geometry(r);
        stylesheet("color:rgb(255, 255, 255)");
        string("text", nullptr);
        boolean("checkable", true);
        x.writeEndElement();
    }

    void selectbutton(int ch)
    {
        open("QPushButton", selectname(ch));
        geometry({351, kButtonY[ch], 57, 29});
        font("Arial", 14);
        stylesheet(kWhite);
        string("text", qPrintable(channeltext(ch)));
        boolean("checkable", true);
        boolean("autoRepeat", true);
        boolean("autoExclusive", true);
        boolean("flat", true);
        x.writeEndElement();
    }

    void combo(int ch)
    {
        open("QComboBox", comboname(ch));
        geometry({351, kComboY[ch], 59, 21});
        // "S-KN5" beside the drop-down arrow in 59 pixels.
        font(QString(), 8);
        for (const char *item : kKnee) {
            x.writeStartElement("item");
            string("text", item);
            x.writeEndElement();
        }
        x.writeEndElement();
    }
};

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: limitform [--check] <formlimit.ui>",
                        {formgen::render([](QIODevice *out) { FormWriter(out).write(); })});
}
