// Writes the designer forms of the EQ page (formeq.ui) and of its seven-band
// panel (formeqbtns.ui) from the tables below. Both forms place every widget
// at a fixed geometry; creation order (the order of the widgets in the file)
// is also the keyboard focus order and the order of the form's members.
//
//   eqforms <dir>          write both forms into dir
//   eqforms --check <dir>  exit 1 when a file differs from the tables

#include "formgen.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace
{

using formgen::Font;
using formgen::Node;
using formgen::Rect;
using formgen::writeform;

const char *const kWhite = "color: rgb(255, 255, 255);";

// --- the seven-band panel ------------------------------------------------------

QString suffix(int band)
{
    return band == 1 ? QString() : QStringLiteral("_%1").arg(band);
}

const QStringList kTypes = {QStringLiteral("PEQ"),          QStringLiteral("L_shelf 6dB"),
                            QStringLiteral("L_shelf 12dB"), QStringLiteral("H_shelf 6dB"),
                            QStringLiteral("H_shelf 12dB"), QStringLiteral("All Pass")};

// Parts of one value control: e edit, d step down, u step up, s slider.
Node valuepart(char part, const QString &stem, int band)
{
    const QString s = suffix(band);
    switch (part) {
    case 'e': {
        Node n(QStringLiteral("QLineEdit"), QStringLiteral("Editeq") + stem + s, {13, 10, 97, 16});
        n.boolean("enabled", true).font({QStringLiteral("Arial"), 14, false});
        if (band == 1 && stem == QLatin1String("gain"))
            n.set("inputMethodHints", "Qt::ImhFormattedNumbersOnly");
        n.set("alignment", "Qt::AlignCenter");
        return n;
    }
    case 'd':
    case 'u': {
        const bool up = part == 'u';
        const Rect r = up ? Rect{94, 26, 21, band == 7 ? 25 : 23} : Rect{7, 26, 21, 23};
        Node n(QStringLiteral("QPushButton"), QString::fromLatin1(up ? "btnupeq" : "btndowneq") + stem + s,
               r);
        n.boolean("enabled", true)
            .style(kWhite)
            .text(QString())
            .boolean("autoRepeat", true)
            .boolean("flat", true);
        return n;
    }
    default: {
        Node n(QStringLiteral("QSlider"), QStringLiteral("sldreq") + stem + s, {29, 30, 66, 17});
        n.enumeration("focusPolicy", "Qt::WheelFocus")
            .number("maximum", 61)
            .enumeration("orientation", "Qt::Horizontal");
        return n;
    }
    }
}

struct RowOrder {
    int band;
    // Containers in creation order: 'f', 'g', 'w', each with its parts.
    std::vector<std::pair<char, const char *>> containers;
};

const std::vector<RowOrder> kRowOrder = {
    {4, {{'f', "eusd"}, {'g', "edus"}, {'w', "esud"}}}, {3, {{'f', "edus"}, {'g', "edus"}, {'w', "edus"}}},
    {2, {{'w', "eusd"}, {'g', "euds"}, {'f', "udes"}}}, {1, {{'f', "euds"}, {'g', "edus"}, {'w', "edus"}}},
    {5, {{'f', "sdue"}, {'g', "dseu"}, {'w', "sdue"}}}, {6, {{'f', "eusd"}, {'g', "dseu"}, {'w', "udse"}}},
    {7, {{'f', "desu"}, {'g', "deus"}, {'w', "udse"}}},
};

Node bandrow(const RowOrder &order)
{
    const int n = order.band;
    const QString s = suffix(n);
    Node row(QStringLiteral("QWidget"), QStringLiteral("widgeteq") + s, {0, 52 * (n - 1), 745, 52});

    Node number(QStringLiteral("QPushButton"), QStringLiteral("btn1eqbtn") + s, {25, 10, 16, 26});
    number.boolean("enabled", true)
        .font({QString(), 10, false})
        .style("color: rgb(200,200,200);")
        .text(QString::number(n))
        .boolean("checkable", true)
        .boolean("autoRepeat", false)
        .boolean("autoExclusive", false)
        .boolean("flat", true);
    row.add(number);

    Node bypass(QStringLiteral("QPushButton"), QStringLiteral("btneqbypass") + s, {615, 10, 78, 36});
    bypass.boolean("enabled", true)
        .font({QStringLiteral("Arial"), 12, true})
        .style(kWhite)
        .text(QStringLiteral("ByPass"))
        .boolean("checkable", true)
        .boolean("flat", true);
    row.add(bypass);

    Node type(QStringLiteral("QComboBox"), QStringLiteral("cbxHPFSlope") + s, {55, 10, 140, 24});
    type.font({QStringLiteral("Arial"), 10, false}).enumeration("layoutDirection", "Qt::LeftToRight");
    type.number("currentIndex", 0);
    type.items = kTypes;
    row.add(type);

    Node set0(QStringLiteral("QPushButton"), QStringLiteral("btneqset0") + s, {691, 13, 49, 30});
    set0.boolean("enabled", true)
        .font({QStringLiteral("Arial"), 12, true})
        .style(kWhite)
        .text(QStringLiteral("Set0"))
        .boolean("checkable", true)
        .boolean("flat", true);
    row.add(set0);

    for (const auto &c : order.containers) {
        const char *kind = c.first == 'f' ? "freq" : c.first == 'g' ? "gain" : "width";
        const int x = c.first == 'f' ? 231 : c.first == 'g' ? 356 : 481;
        const QString stem = c.first == 'f'   ? QStringLiteral("freq")
                             : c.first == 'g' ? QStringLiteral("gain")
                                              : QStringLiteral("q");
        Node box(QStringLiteral("QWidget"), QStringLiteral("widget_peq%1_%2").arg(n).arg(QLatin1String(kind)),
                 {x, 0, 120, 52});
        for (const char *p = c.second; *p; ++p)
            box.add(valuepart(*p, stem, n));
        row.add(box);
    }
    return row;
}

QByteArray bandpanel()
{
    Node top(QStringLiteral("QWidget"), QStringLiteral("Formeqbtns"), {0, 0, 748, 490});
    top.prop("windowTitle", [](QXmlStreamWriter &x) { x.writeTextElement("string", "Form"); });
    for (const RowOrder &r : kRowOrder)
        top.add(bandrow(r));
    return writeform(top, {});
}

// --- the EQ page -----------------------------------------------------------------

const Font kLarge{QStringLiteral("Arial"), 14, false};
const Font kCombo{QString(), 10, false};
// The captions are sized to fit their fixed boxes ("HIGH PASS" in 75 px)
// whatever the desktop's default font.
const Font kCaption{QString(), 9, false};
const Font kBypass{QStringLiteral("Arial"), 11, true};

Node stepbutton(const char *name, Rect r)
{
    Node n(QStringLiteral("QPushButton"), QString::fromLatin1(name), r);
    n.boolean("enabled", true)
        .style(kWhite)
        .text(QString())
        .boolean("autoRepeat", true)
        .boolean("flat", true);
    return n;
}

Node slider(const char *name, Rect r, const char *orientation, int maximum, int value = 0, int pagestep = 0)
{
    Node n(QStringLiteral("QSlider"), QString::fromLatin1(name), r);
    n.enumeration("focusPolicy", "Qt::WheelFocus").number("maximum", maximum);
    if (pagestep)
        n.number("pageStep", pagestep);
    if (value)
        n.number("value", value);
    n.enumeration("orientation", orientation);
    return n;
}

Node edit(const char *name, Rect r, bool nodrag = false)
{
    Node n(QStringLiteral("QLineEdit"), QString::fromLatin1(name), r);
    n.boolean("enabled", true).font(kLarge);
    if (nodrag)
        n.boolean("dragEnabled", false);
    n.set("alignment", "Qt::AlignCenter");
    return n;
}

Node combo(const char *name, Rect r, const QStringList &items)
{
    Node n(QStringLiteral("QComboBox"), QString::fromLatin1(name), r);
    n.font(kCombo).enumeration("layoutDirection", "Qt::LeftToRight").number("maxVisibleItems", 14);
    n.items = items;
    return n;
}

Node caption(const char *name, Rect r, const char *text, bool palette)
{
    Node n(QStringLiteral("QLabel"), QString::fromLatin1(name), r);
    n.font(kCaption);
    if (palette)
        n.whitepalette();
    else
        n.style(kWhite);
    n.text(QString::fromUtf8(text));
    return n;
}

const QStringList kSlopes = {QStringLiteral("FLAT THRU"),  QStringLiteral("Bessel  12"),
                             QStringLiteral("Butwrth 12"), QStringLiteral("Lnk/Ril 12"),
                             QStringLiteral("Bessel  24"), QStringLiteral("Butwrth 24"),
                             QStringLiteral("Lnk/Ril 24"), QStringLiteral("Bessel  36"),
                             QStringLiteral("Butwrth 36"), QStringLiteral("Lnk/Ril 36")};

QByteArray eqpage()
{
    Node top(QStringLiteral("QDialog"), QStringLiteral("FormEq"), {0, 0, 1014, 900});
    top.prop("windowTitle", [](QXmlStreamWriter &x) { x.writeTextElement("string", "EQ"); });

    Node in(QStringLiteral("QWidget"), QStringLiteral("widgeteqin"), {0, 0, 1014, 900});

    Node bar(QStringLiteral("QWidget"), QStringLiteral("widgeteqtop"), {37, 285, 848, 40});
    const char *const names[] = {"eqbtnina", "eqbtninb", "eqbtninc", "eqbtnind"};
    const char *const texts[] = {"IN-A", "IN-B", "IN-C", "IN-D"};
    const int inx[] = {5, 70, 140, 210};
    for (int k = 0; k < 12; ++k) {
        const QString name = k < 4 ? QString::fromLatin1(names[k]) : QStringLiteral("eqbtnout%1").arg(k - 3);
        const QString text = k < 4 ? QString::fromLatin1(texts[k]) : QStringLiteral("OUT%1").arg(k - 3);
        Node b(QStringLiteral("QPushButton"), name, {k < 4 ? inx[k] : 290 + 70 * (k - 4), 5, 57, 29});
        b.boolean("enabled", true)
            .font(kLarge)
            .style(kWhite)
            .text(text)
            .boolean("checkable", true)
            .boolean("autoRepeat", true)
            .boolean("autoExclusive", true)
            .boolean("flat", true);
        bar.add(b);
    }
    in.add(bar);

    Node gain(QStringLiteral("QWidget"), QStringLiteral("widgeteqgain"), {765, 5, 118, 283});
    gain.add(stepbutton("eqbtnup", {52, 32, 23, 19}));
    gain.add(slider("vlSliderGain_1", {40, 52, 44, 168}, "Qt::Vertical", 270));
    gain.add(stepbutton("eqbtndown", {52, 222, 23, 19}));
    Node mute(QStringLiteral("QPushButton"), QStringLiteral("eq_btngainm"), {13, 241, 29, 31});
    mute.boolean("enabled", true)
        .font(kLarge)
        .style(kWhite)
        .text(QString())
        .boolean("checkable", true)
        .boolean("flat", true);
    gain.add(mute);
    struct Scale {
        const char *name;
        Rect r;
        const char *text;
    };
    // Right-aligned beside the fader, wide enough for "+12" whole in any
    // font the labels get.
    for (const Scale &s :
         {Scale{"label_5", {10, 192, 31, 16}, "-40"}, Scale{"label_6", {9, 119, 31, 16}, " -10"},
          Scale{"label_7", {8, 95, 31, 16}, "0"}, Scale{"label_8", {10, 143, 31, 16}, "-20"},
          Scale{"label_157", {9, 169, 31, 16}, "-30"}, Scale{"label_9", {10, 67, 31, 16}, "+12"}}) {
        Node l(QStringLiteral("QLabel"), QString::fromLatin1(s.name), s.r);
        l.text(QString::fromLatin1(s.text))
            .set("alignment", "Qt::AlignRight|Qt::AlignTrailing|Qt::AlignVCenter");
        gain.add(l);
    }
    // Takes any number while typed and limits it on Return.
    Node spin(QStringLiteral("LimitSpinBox"), QStringLiteral("eq_lineEdit"), {46, 245, 59, 22});
    spin.font(kLarge)
        .set("alignment", "Qt::AlignCenter")
        .enumeration("buttonSymbols", "QAbstractSpinBox::NoButtons")
        .prop("suffix", [](QXmlStreamWriter &x) { x.writeEmptyElement("string"); })
        .number("decimals", 1)
        .real("minimum", "-40.000000000000000")
        .real("maximum", "12.000000000000000")
        .real("singleStep", "0.100000000000000")
        .real("value", "0.000000000000000");
    gain.add(spin);
    in.add(gain);

    Node draw(QStringLiteral("FormEqDraw"), QStringLiteral("widgetdraw"), {30, 320, 860, 260});
    draw.style("");
    in.add(draw);

    Node bands(QStringLiteral("QWidget"), QStringLiteral("widgeteqbtns"), {20, 34, 748, 260});
    bands.add(Node(QStringLiteral("Formeqbtns"), QStringLiteral("widgeteqbtn"), {0, 30, 748, 500}));
    in.add(bands);

    Node outaa(QStringLiteral("QWidget"), QStringLiteral("widgetoutaa"), {39, 192, 723, 103});
    Node iir(QStringLiteral("QWidget"), QStringLiteral("widget_iir"), {0, 24, 723, 88});
    iir.add(stepbutton("btndowneqfreqlow", {422, 44, 21, 25}));
    iir.add(slider("sldreqfreqlow", {445, 49, 92, 18}, "Qt::Horizontal", 61, 5));
    iir.add(stepbutton("btnupeqfreqlow", {539, 44, 21, 25}));
    iir.add(edit("Editeqfreqlow", {295, 45, 91, 22}));
    iir.add(stepbutton("btndowneqfreqhigh", {422, 20, 21, 25}));
    iir.add(stepbutton("btnupeqfreqhigh", {539, 20, 21, 25}));
    iir.add(slider("sldreqfreqhigh", {445, 22, 92, 18}, "Qt::Horizontal", 398, 4, 1));
    iir.add(edit("Editeqfreqhigh", {295, 20, 91, 22}, true));
    iir.add(combo("cbxHPFSlopelow", {135, 44, 123, 22}, kSlopes));
    iir.add(combo("cbxHPFSlopehigh", {135, 19, 123, 22}, kSlopes));
    iir.add(caption("labelhp", {52, 21, 75, 21}, "HIGH PASS", true));
    iir.add(caption("labellp", {52, 43, 75, 21}, "LOW PASS", true));
    iir.add(caption("labeltype", {173, 0, 71, 21}, "TYPE", true));
    iir.add(caption("labelfreq", {293, 1, 101, 21}, "FREQUENCY", true));
    outaa.add(iir);
    Node ir(QStringLiteral("QComboBox"), QStringLiteral("comboBox_ir"), {60, 0, 69, 24});
    ir.items = QStringList{QStringLiteral("IIR"), QStringLiteral("FIR")};
    outaa.add(ir);
    Node fir(QStringLiteral("QWidget"), QStringLiteral("widget_fir"), {0, 24, 661, 78});
    fir.add(slider("sldreqfirlow", {433, 46, 92, 18}, "Qt::Horizontal", 61, 5));
    fir.add(combo("cbxFirWindows", {156, 21, 141, 22},
                  {QStringLiteral("BartlettWin"), QStringLiteral("BartLettHannWin"),
                   QStringLiteral("RectangularWin"), QStringLiteral("HannWin"), QStringLiteral("BohmanWin"),
                   QStringLiteral("ParzenWin"), QStringLiteral("HammingWin"), QStringLiteral("BlackManWin"),
                   QStringLiteral("BlackManHarrisWin"), QStringLiteral("FlatTopWin"),
                   QStringLiteral("NuttalWin")}));
    fir.add(
        combo("cbxFirFlat", {60, 21, 81, 22},
              {QStringLiteral("FLAT"), QStringLiteral("HP"), QStringLiteral("LP"), QStringLiteral("BP")}));
    fir.add(slider("sldreqfirhigh", {433, 21, 92, 18}, "Qt::Horizontal", 398, 4, 1));
    fir.add(combo("cbxFirorder", {60, 46, 81, 22},
                  {QStringLiteral("64"), QStringLiteral("96"), QStringLiteral("114")}));
    fir.add(caption("label_filter", {1, 21, 57, 21}, "FILTER", false));
    fir.add(caption("label_winfun", {156, 0, 146, 21}, "WINDOW FUNCTION", false));
    fir.add(caption("label_order", {1, 46, 57, 21}, "ORDER", false));
    fir.add(caption("label_hp", {570, 500, 91, 21}, "HP PASS", false));
    fir.add(caption("label_lp", {570, 500, 91, 21}, "LP PASS", false));
    fir.add(caption("label_firfreq", {311, 0, 101, 21}, "FREQUENCY", false));
    fir.add(edit("Editeqfirfreqlow", {310, 46, 91, 22}));
    fir.add(edit("Editeqfirfreqhigh", {310, 21, 91, 22}));
    fir.add(stepbutton("btndowneqfreqhigh_2", {410, 17, 21, 25}));
    fir.add(stepbutton("btndowneqfreqlow_2", {410, 46, 21, 25}));
    fir.add(stepbutton("btnupeqfreqhigh_2", {538, 17, 21, 25}));
    fir.add(stepbutton("btnupeqfreqlow_2", {538, 46, 21, 25}));
    outaa.add(fir);
    in.add(outaa);

    Node bypassall(QStringLiteral("QPushButton"), QStringLiteral("btneqbypassall"), {637, -2, 127, 35});
    bypassall.boolean("enabled", true)
        .font(kBypass)
        .style(kWhite)
        .text(QStringLiteral("BypassAll"))
        .boolean("checkable", true)
        .boolean("flat", true);
    in.add(bypassall);
    Node view = slider("vlSlidereqview", {8, 55, 25, 100}, "Qt::Vertical", 520);
    view.boolean("tracking", true);
    in.add(view);
    in.add(Node(QStringLiteral("QWidget"), QStringLiteral("widgetpeqlockback"), {0, 0, 964, 293}));
    in.add(Node(QStringLiteral("QWidget"), QStringLiteral("widgetpeqlockback_2"), {30, 328, 1000, 250}));
    Node header(QStringLiteral("QLabel"), QStringLiteral("label666"), {8, 3, 631, 31});
    header.text(QString());
    in.add(header);
    Node view2 = slider("vlSlidereqview_2", {8, 55, 25, 100}, "Qt::Vertical", 520);
    view2.boolean("tracking", true);
    in.add(view2);

    // The channel bar and the header stay above both lock overlays.
    in.zorder = QStringList{QStringLiteral("widgeteqgain"),      QStringLiteral("widgetdraw"),
                            QStringLiteral("widgeteqbtns"),      QStringLiteral("widgetoutaa"),
                            QStringLiteral("btneqbypassall"),    QStringLiteral("vlSlidereqview"),
                            QStringLiteral("widgetpeqlockback"), QStringLiteral("widgetpeqlockback_2"),
                            QStringLiteral("label666"),          QStringLiteral("vlSlidereqview_2"),
                            QStringLiteral("widgeteqtop")};
    top.add(in);
    return writeform(top, {{"FormEqDraw", "formeqdraw.h"},
                           {"Formeqbtns", "formeqbtns.h"},
                           {"LimitSpinBox", "limitspinbox.h", "QDoubleSpinBox", false}});
}

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: eqforms [--check] <dir>", {eqpage(), bandpanel()},
                        {QStringLiteral("formeq.ui"), QStringLiteral("formeqbtns.ui")});
}
