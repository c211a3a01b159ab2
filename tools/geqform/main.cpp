// Writes the designer forms of the graphic EQ page (formgeq.ui) and of its
// response panel (formgeqdraw.ui) from the tables below. Both forms place every
// widget at a fixed geometry; creation order (the order of the widgets in the
// file) is also the keyboard focus order and the order of the form's members.
//
//   geqform <dir>          write both forms into dir
//   geqform --check <dir>  exit 1 when a file differs from the tables

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QXmlStreamWriter>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace
{

struct Rect {
    int x, y, w, h;
};

struct Font {
    QString family; // empty: inherited
    int points = 0;
    bool bold = false;
};

const char *const kWhite = "color: rgb(255, 255, 255);";

// One widget of a form with its properties (written in the order given) and
// its children (created in the order given).
struct Node {
    QString cls;
    QString name;
    Rect rect{0, 0, 0, 0};
    std::vector<std::function<void(QXmlStreamWriter &)>> props;
    std::vector<Node> kids;
    QStringList items; // combo items, in index order
    QStringList zorder;

    Node(const QString &c, const QString &n, Rect r)
        : cls(c)
        , name(n)
        , rect(r)
    {
    }

    Node &prop(const char *pname, const std::function<void(QXmlStreamWriter &)> &value)
    {
        const QString n = QString::fromLatin1(pname);
        props.push_back([n, value](QXmlStreamWriter &x) {
            x.writeStartElement("property");
            x.writeAttribute("name", n);
            value(x);
            x.writeEndElement();
        });
        return *this;
    }
    Node &boolean(const char *pname, bool v)
    {
        return prop(pname, [v](QXmlStreamWriter &x) { x.writeTextElement("bool", v ? "true" : "false"); });
    }
    Node &number(const char *pname, int v)
    {
        return prop(pname, [v](QXmlStreamWriter &x) { x.writeTextElement("number", QString::number(v)); });
    }
    Node &real(const char *pname, const char *v)
    {
        const QString s = QString::fromLatin1(v);
        return prop(pname, [s](QXmlStreamWriter &x) { x.writeTextElement("double", s); });
    }
    Node &enumeration(const char *pname, const char *v)
    {
        const QString s = QString::fromLatin1(v);
        return prop(pname, [s](QXmlStreamWriter &x) { x.writeTextElement("enum", s); });
    }
    Node &set(const char *pname, const char *v)
    {
        const QString s = QString::fromLatin1(v);
        return prop(pname, [s](QXmlStreamWriter &x) { x.writeTextElement("set", s); });
    }
    Node &text(const QString &t)
    {
        return prop("text", [t](QXmlStreamWriter &x) {
            if (t.isEmpty())
                x.writeEmptyElement("string");
            else
                x.writeTextElement("string", t);
        });
    }
    Node &style(const char *s)
    {
        const QString v = QString::fromLatin1(s);
        return prop("styleSheet", [v](QXmlStreamWriter &x) {
            x.writeStartElement("string");
            x.writeAttribute("notr", "true");
            x.writeCharacters(v);
            x.writeEndElement();
        });
    }
    Node &font(const Font &f)
    {
        return prop("font", [f](QXmlStreamWriter &x) {
            x.writeStartElement("font");
            if (!f.family.isEmpty())
                x.writeTextElement("family", f.family);
            if (f.points)
                x.writeTextElement("pointsize", QString::number(f.points));
            if (f.bold) {
                x.writeTextElement("weight", "75");
                x.writeTextElement("bold", "true");
            }
            x.writeEndElement();
        });
    }
    // White captions on every role that shows text; grey when disabled.
    Node &whitepalette()
    {
        return prop("palette", [](QXmlStreamWriter &x) {
            x.writeStartElement("palette");
            for (const char *group : {"active", "inactive", "disabled"}) {
                const bool disabled = QByteArray(group) == "disabled";
                x.writeStartElement(group);
                for (const char *role : {"WindowText", "Text", "ButtonText"}) {
                    x.writeStartElement("colorrole");
                    x.writeAttribute("role", role);
                    x.writeStartElement("brush");
                    x.writeAttribute("brushstyle", "SolidPattern");
                    x.writeStartElement("color");
                    x.writeAttribute("alpha", "255");
                    x.writeTextElement("red", disabled ? "118" : "255");
                    x.writeTextElement("green", disabled ? "116" : "255");
                    x.writeTextElement("blue", disabled ? "108" : "255");
                    x.writeEndElement();
                    x.writeEndElement();
                    x.writeEndElement();
                }
                x.writeEndElement();
            }
            x.writeEndElement();
        });
    }
    Node &add(const Node &child)
    {
        kids.push_back(child);
        return *this;
    }
};

void writenode(QXmlStreamWriter &x, const Node &n, bool top = false)
{
    x.writeStartElement("widget");
    x.writeAttribute("class", n.cls);
    x.writeAttribute("name", n.name);
    if (!top && (n.cls == QLatin1String("QWidget")))
        x.writeAttribute("native", "true");
    x.writeStartElement("property");
    x.writeAttribute("name", "geometry");
    x.writeStartElement("rect");
    x.writeTextElement("x", QString::number(n.rect.x));
    x.writeTextElement("y", QString::number(n.rect.y));
    x.writeTextElement("width", QString::number(n.rect.w));
    x.writeTextElement("height", QString::number(n.rect.h));
    x.writeEndElement();
    x.writeEndElement();
    for (const auto &p : n.props)
        p(x);
    for (const QString &item : n.items) {
        x.writeStartElement("item");
        x.writeStartElement("property");
        x.writeAttribute("name", "text");
        x.writeTextElement("string", item);
        x.writeEndElement();
        x.writeEndElement();
    }
    for (const Node &k : n.kids)
        writenode(x, k);
    for (const QString &z : n.zorder)
        x.writeTextElement("zorder", z);
    x.writeEndElement();
}

struct Custom {
    const char *cls;
    const char *header;
};

QByteArray writeform(const Node &top, const std::vector<Custom> &customs)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter x(&buffer);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(1);
    x.writeStartDocument();
    x.writeStartElement("ui");
    x.writeAttribute("version", "4.0");
    x.writeTextElement("class", top.name);
    writenode(x, top, true);
    if (!customs.empty()) {
        x.writeStartElement("customwidgets");
        for (const Custom &c : customs) {
            x.writeStartElement("customwidget");
            x.writeTextElement("class", c.cls);
            x.writeTextElement("extends", "QWidget");
            x.writeTextElement("header", c.header);
            x.writeTextElement("container", "1");
            x.writeEndElement();
        }
        x.writeEndElement();
    }
    x.writeEmptyElement("resources");
    x.writeEmptyElement("connections");
    x.writeEndElement();
    x.writeEndDocument();
    return bytes;
}

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
        {"label_27", "10kHZ", 740, 240, 31}, {"label_20", "50HZ", 190, 240, 41},
        {"label_21", "1kHZ", 503, 240, 31},  {"label_18", "2kHZ", 570, 240, 31},
        {"label_26", "5kHZ", 670, 240, 31},  {"label_19", "200HZ", 330, 240, 41},
        {"label_28", "20kHZ", 810, 240, 31}, {"label_25", "500HZ", 425, 240, 41},
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
    const bool check = argc == 3 && QByteArray(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: geqform [--check] <dir>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[argc - 1]);
    const std::vector<std::pair<QString, QByteArray>> forms = {
        {QStringLiteral("formgeq.ui"), page()}, {QStringLiteral("formgeqdraw.ui"), drawpanel()}};
    int status = 0;
    for (const auto &f : forms) {
        QFile file(dir + QLatin1Char('/') + f.first);
        const QByteArray name = file.fileName().toLocal8Bit();
        if (check) {
            if (!file.open(QIODevice::ReadOnly) || file.readAll() != f.second) {
                std::fprintf(stderr, "%s is not what the tables make: regenerate it\n", name.constData());
                status = 1;
            }
        } else if (!file.open(QIODevice::WriteOnly) || file.write(f.second) != f.second.size()) {
            std::fprintf(stderr, "cannot write %s\n", name.constData());
            status = 1;
        }
    }
    return status;
}
