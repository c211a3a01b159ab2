// Writes the designer forms of the graphic EQ page (formgeq.ui) and of its
// response panel (formgeqdraw.ui) from the tables below. Both forms place every
// widget at a fixed geometry; creation order (the order of the widgets in the
// file) is also the keyboard focus order and the order of the form's members.
//
//   geqform <dir>          write both forms into dir
//   geqform --check <dir>  exit 1 when a file differs from the tables

#include "formgen.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

namespace
{

using formgen::Font;
using formgen::Node;
using formgen::Rect;
using formgen::writeform;

const char *const kWhite = "color: rgb(255, 255, 255);";

// --- the response panel ----------------------------------------------------------

const char *const kGrey = "color: rgb(176, 176, 176);";
// Labels are set smaller than the application font so that every text fits
// its fixed box.
const Font kSmall{QString(), 7, false};

QByteArray drawpanel()
{
    Node top(QStringLiteral("QWidget"), QStringLiteral("FormGeqDraw"), {0, 0, 860, 260});
    top.prop("windowTitle", [](QXmlStreamWriter &x) { x.writeTextElement("string", "Form"); });
    struct Label {
        const char *name, *text;
        int x, y, w;
    };
    // dB labels down the left edge, then frequency labels along the bottom.
    const Label labels[] = {
        {"label_24", "-30", 10, 230, 21},    {"label_8", "+15", 10, 5, 21},
        {"label_14", "-10", 10, 130, 21},    {"label_10", "0dB", 10, 80, 21},
        {"label_23", "-25", 10, 205, 21},    {"label_15", "-15", 10, 155, 21},
        {"label_13", "-5", 10, 105, 16},     {"label_12", "+5", 10, 55, 16},
        {"label_22", "-20", 10, 180, 21},    {"label_9", "+10", 10, 30, 21},
        {"label_27", "10kHZ", 740, 240, 36}, {"label_20", "50HZ", 190, 240, 41},
        {"label_21", "1kHZ", 503, 240, 31},  {"label_18", "2kHZ", 570, 240, 31},
        {"label_26", "5kHZ", 670, 240, 31},  {"label_19", "200HZ", 330, 240, 41},
        {"label_28", "20kHZ", 810, 240, 36}, {"label_25", "500HZ", 425, 240, 41},
        {"label_17", "100HZ", 260, 240, 41}, {"label_16", "20HZ", 90, 240, 31},
    };
    for (const Label &l : labels) {
        Node n(QStringLiteral("QLabel"), QString::fromLatin1(l.name), {l.x, l.y, l.w, 16});
        n.font(kSmall).style(kGrey).text(QString::fromLatin1(l.text));
        top.add(n);
    }
    top.add(Node(QStringLiteral("FormShowDraw"), QStringLiteral("widgetgeqshow"), {30, 13, 810, 225}));
    return writeform(top, {{"FormShowDraw", "formshowdraw.h"}});
}

// --- the page ----------------------------------------------------------------------

QString suffix(int band)
{
    return band == 1 ? QString() : QStringLiteral("_%1").arg(band);
}

constexpr int kBands = 31;
const Font kBold12{QStringLiteral("Arial"), 12, true};
const Font kBold11{QStringLiteral("Arial"), 11, true};

// The band strips. The page is shown in a document area 575 pixels high, so
// the strips are laid out to end above that: the sliders are 233 high and the
// frequency, pass and Set0 rows follow them directly.
constexpr int kStripX = 35;
constexpr int kPitch = 27;
constexpr int kSliderY = 285;
constexpr int kSliderH = 233;
constexpr int kFreqY = 515;
constexpr int kPassY = 531;
constexpr int kSet0Y = 552;
// dB scale: +15 at the top to -30 at the bottom in 5 dB rows, spaced as the
// slider handle travels.
constexpr int kScaleTop = 295;
constexpr double kScaleStep = 21.67;

int scaley(int row)
{
    return kScaleTop + int(std::lround(row * kScaleStep));
}

int stripx(int band)
{
    return kStripX + kPitch * (band - 1);
}

int passx(int band)
{
    // A few buttons sit one pixel further right.
    const bool nudged = band == 11 || band == 13 || band == 16 || band == 21;
    return 38 + kPitch * (band - 1) + (nudged ? 1 : 0);
}

Node label(const QString &name, Rect r, const char *style, const QString &text)
{
    Node n(QStringLiteral("QLabel"), name, r);
    n.font(kSmall).style(style).text(text);
    return n;
}

Node button(const QString &name, Rect r, const Font &f, const QString &text)
{
    Node n(QStringLiteral("QPushButton"), name, r);
    n.font(f).style(kWhite).text(text).boolean("checkable", true).boolean("flat", true);
    return n;
}

QByteArray page()
{
    Node top(QStringLiteral("QWidget"), QStringLiteral("FormGeq"), {0, 0, 1014, 700});
    top.prop("maximumSize", [](QXmlStreamWriter &x) {
        x.writeStartElement("size");
        x.writeTextElement("width", "1014");
        x.writeTextElement("height", "700");
        x.writeEndElement();
    });
    top.prop("windowTitle", [](QXmlStreamWriter &x) { x.writeTextElement("string", "Form"); });

    Node back(QStringLiteral("QWidget"), QStringLiteral("widgetgeq"), {0, 0, 1014, 900});
    back.prop("maximumSize", [](QXmlStreamWriter &x) {
        x.writeStartElement("size");
        x.writeTextElement("width", "1014");
        x.writeTextElement("height", "900");
        x.writeEndElement();
    });
    back.add(Node(QStringLiteral("FormGeqDraw"), QStringLiteral("widgetgeqdraw"), {25, 28, 860, 260}));

    // Scale rows: level text left and right; the 0 dB row has the all-bands
    // reset on the right.
    struct Scale {
        const char *left, *lefttext;
        int leftw;
        const char *right, *righttext;
        int rightw;
    };
    const Scale scale[] = {
        {"label_8", "+15", 21, "label_11", "+15", 21},  {"label_9", "+10", 21, "label_16", "+10", 21},
        {"label_12", "+5", 16, "label_20", "+5dB", 31}, {"label_10", "0dB", 21, nullptr, nullptr, 0},
        {"label_13", "-5", 16, "label_17", "-5dB", 31}, {"label_14", "-10", 21, "label_18", "-10", 21},
        {"label_15", "-15", 21, "label_21", "-15", 21}, {"label_22", "-20", 21, "label_26", "-20", 21},
        {"label_23", "-25", 21, "label_25", "-25", 21}, {"label_24", "-30", 21, "label_27", "-30", 21},
    };
    for (int r = 0; r < 10; ++r)
        back.add(label(QString::fromLatin1(scale[r].left), {15, scaley(r), scale[r].leftw, 16}, kGrey,
                       QString::fromLatin1(scale[r].lefttext)));
    for (int i = 1; i <= kBands; ++i) {
        Node s(QStringLiteral("QSlider"), QStringLiteral("slidergeqgain") + suffix(i),
               {stripx(i), kSliderY, 27, kSliderH});
        s.enumeration("focusPolicy", "Qt::WheelFocus")
            .number("maximum", 270)
            .enumeration("orientation", "Qt::Vertical");
        back.add(s);
    }
    for (int r = 0; r < 10; ++r)
        if (scale[r].right)
            back.add(label(QString::fromLatin1(scale[r].right), {875, scaley(r), scale[r].rightw, 16}, kGrey,
                           QString::fromLatin1(scale[r].righttext)));

    const char *const freq[kBands] = {"20",  "25.2", "31.7", "40",   "50.4", "63.5", "80",   "101",
                                      "127", "160",  "202",  "254",  "320",  "403",  "508",  "640",
                                      "806", "1K",   "1K28", "1K6",  "2K",   "2K56", "3K2",  "4K",
                                      "5K1", "6K45", "8K1",  "10K2", "12K9", "16K2", "20K48"};
    for (int i = 1; i <= kBands; ++i) {
        int x = stripx(i);
        if (i == 2)
            x = 60;
        else if (i == 6)
            x = 172;
        else if (i == 9)
            x = 250;
        else if (i == 23)
            x = 630;
        const int w = i == 31 ? 40 : i >= 28 ? 28 : 27;
        Node n = label(QStringLiteral("label_%1").arg(27 + i), {x, kFreqY, w, 16}, kGrey,
                       QString::fromLatin1(freq[i - 1]));
        n.set("alignment", "Qt::AlignCenter");
        back.add(n);
    }
    auto pass = [&](int i) {
        back.add(
            button(QStringLiteral("btngeqpass") + suffix(i), {passx(i), kPassY, 20, 20}, kBold12, QString()));
    };
    for (int i = 1; i <= 3; ++i)
        pass(i);
    back.add(label(QStringLiteral("label_59"), {0, kPassY + 2, 41, 16}, "color: rgb(255,255,255);",
                   QStringLiteral("Bypass")));
    for (int i = 4; i <= kBands; ++i)
        pass(i);
    back.add(label(QStringLiteral("label_60"), {870, kPassY + 2, 41, 16}, "color: rgb(255,255,255);",
                   QStringLiteral("Bypass")));

    Node bar(QStringLiteral("QWidget"), QStringLiteral("widgetgeqtop"), {35, 3, 760, 28});
    const char *const inputs[4] = {"ina", "inb", "inc", "ind"};
    for (int k = 0; k < 4; ++k) {
        Node b = button(QStringLiteral("btngeq") + QLatin1String(inputs[k]), {10 + 60 * k, 4, 50, 20},
                        kBold12, QStringLiteral("IN-%1").arg(QChar('A' + k)));
        b.boolean("autoRepeat", true).boolean("autoExclusive", true);
        bar.add(b);
    }
    for (int k = 0; k < 8; ++k) {
        Node b = button(QStringLiteral("btngeqout%1").arg(k + 1), {280 + 60 * k, 4, 50, 20}, kBold11,
                        QStringLiteral("OUT%1").arg(k + 1));
        b.boolean("autoRepeat", true).boolean("autoExclusive", true);
        bar.add(b);
    }
    back.add(bar);
    back.add(button(QStringLiteral("btneqbypassxx"), {800, 3, 79, 25}, kBold12, QStringLiteral("Bypass")));
    for (int i = 1; i <= kBands; ++i)
        back.add(button(QStringLiteral("btngeqset0") + suffix(i), {passx(i), kSet0Y, 20, 20}, kBold12,
                        QStringLiteral("s")));
    back.add(label(QStringLiteral("label_61"), {0, kSet0Y + 2, 31, 16}, "color: rgb(255,255,255);",
                   QStringLiteral("Set 0")));
    back.add(label(QStringLiteral("label_62"), {870, kSet0Y + 2, 41, 16}, "color: rgb(255,255,255);",
                   QStringLiteral("Set 0")));
    back.add(button(QStringLiteral("btngeqset0_32"), {872, scaley(3) - 2, 40, 20}, kBold12,
                    QStringLiteral("Set0")));
    back.add(Node(QStringLiteral("QWidget"), QStringLiteral("widgetgeqlockback"), {10, 30, 941, 700}));
    top.add(back);
    return writeform(top, {{"FormGeqDraw", "formgeqdraw.h"}});
}

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: geqform [--check] <dir>", {page(), drawpanel()},
                        {QStringLiteral("formgeq.ui"), QStringLiteral("formgeqdraw.ui")});
}
