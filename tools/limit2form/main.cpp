// Writes the designer form of the peak-limiter page (formlimit2.ui) from the
// tables below: eight identical output rows (enable switch and the attack,
// release and threshold groups), the column of output buttons, the lock
// overlay and the two header images.
//
//   limit2form <file.ui>          write the form
//   limit2form --check <file.ui>  exit 1 when the file differs from the tables

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QXmlStreamWriter>

#include <cstdio>
#include <functional>

namespace
{

struct Rect {
    int x, y, w, h;
};

const char *const kWhite = "color: rgb(255, 255, 255);";
constexpr int kOutputs = 8;

// Rows and output buttons, top to bottom (output 1 first).
const int kRowY[kOutputs] = {76, 134, 197, 260, 323, 386, 449, 512};
const int kButtonY[kOutputs] = {92, 151, 215, 278, 342, 407, 471, 535};
// Output buttons in the order they are created and first stacked.
const int kButtonOrder[kOutputs] = {8, 4, 3, 7, 2, 5, 1, 6};

// One value group of a row: the letters of its group, slider, edit and step
// buttons, its place in the row and the form's own slider range and value.
struct Group {
    char letter;      // group and edit: widget_limit2_<letter>N, Editlimit<letter>N
    const char *sldr; // slider stem: sldrlimit<sldr>N
    char stepletter;  // btnlimitdown<stepletter>N, btnlimitup<stepletter>N
    int x;
    int minimum, maximum, value;
};
const Group kGroups[3] = {
    {'a', "", 'a', 4, 1, 100, 1},
    {'b', "b", 'b', 128, 1, 199, 1},
    {'c', "c", 'd', 252, 0, 61, 0},
};

QString rowname(int n)
{
    return n == 1 ? QStringLiteral("widgetlimit100") : QStringLiteral("widgetlimit%1").arg(n * 10);
}

class FormWriter
{
public:
    explicit FormWriter(QIODevice *out)
        : x(out)
    {
        x.setAutoFormatting(true);
        x.setAutoFormattingIndent(1);
    }

    void write()
    {
        x.writeStartDocument();
        x.writeStartElement("ui");
        x.writeAttribute("version", "4.0");
        x.writeTextElement("class", "FormLimit2");

        open("QWidget", "FormLimit2", false);
        geometry({0, 0, 1014, 700});
        sheet("");
        property("windowTitle", [&] { x.writeTextElement("string", "Form"); });

        open("QWidget", "widgetlimit50_2", true);
        geometry({0, 0, 1014, 700});
        sheet("");
        row(1);
        for (int n : kButtonOrder)
            outputbutton(n);
        open("QWidget", "widgetblock", true);
        geometry({0, 0, 1101, 551});
        x.writeEndElement();
        for (int n = 2; n <= kOutputs; ++n)
            row(n);
        label("label", {150, 42, 435, 35}, "background-image: url(:/back/skin/peaklabels0.png);");
        label("label_2", {214, -6, 380, 54}, "background-image: url(:/back/skin/maxpeaks6.png);\n\n");

        // Raised in this order: the lock overlay lies above row 1 and the
        // output buttons, beneath rows 2 to 8 and the header images.
        x.writeTextElement("zorder", rowname(1));
        for (int n : kButtonOrder)
            x.writeTextElement("zorder", QStringLiteral("btnout%1").arg(n * 100));
        x.writeTextElement("zorder", "widgetblock");
        for (int n = 2; n <= kOutputs; ++n)
            x.writeTextElement("zorder", rowname(n));
        x.writeTextElement("zorder", "label_2");
        x.writeTextElement("zorder", "label");
        x.writeEndElement(); // widgetlimit50_2
        x.writeEndElement(); // FormLimit2

        x.writeEmptyElement("resources");
        x.writeEmptyElement("connections");
        x.writeEndElement(); // ui
        x.writeEndDocument();
    }

private:
    void open(const char *cls, const QString &name, bool native)
    {
        x.writeStartElement("widget");
        x.writeAttribute("class", cls);
        x.writeAttribute("name", name);
        if (native)
            x.writeAttribute("native", "true");
    }

    void property(const char *name, const std::function<void()> &value)
    {
        x.writeStartElement("property");
        x.writeAttribute("name", name);
        value();
        x.writeEndElement();
    }

    void geometry(const Rect &r)
    {
        property("geometry", [&] {
            x.writeStartElement("rect");
            x.writeTextElement("x", QString::number(r.x));
            x.writeTextElement("y", QString::number(r.y));
            x.writeTextElement("width", QString::number(r.w));
            x.writeTextElement("height", QString::number(r.h));
            x.writeEndElement();
        });
    }

    void sheet(const char *text)
    {
        property("styleSheet", [&] {
            x.writeStartElement("string");
            x.writeAttribute("notr", "true");
            x.writeCharacters(QString::fromLatin1(text));
            x.writeEndElement();
        });
    }

    void boolean(const char *name, bool v)
    {
        property(name, [&] { x.writeTextElement("bool", v ? "true" : "false"); });
    }

    void number(const char *name, int v)
    {
        property(name, [&] { x.writeTextElement("number", QString::number(v)); });
    }

    void enumeration(const char *name, const char *v)
    {
        property(name, [&] { x.writeTextElement("enum", v); });
    }

    void arial14()
    {
        property("font", [&] {
            x.writeStartElement("font");
            x.writeTextElement("family", "Arial");
            x.writeTextElement("pointsize", "14");
            x.writeEndElement();
        });
    }

    void text(const QString &t)
    {
        property("text", [&] {
            if (t.isEmpty())
                x.writeEmptyElement("string");
            else
                x.writeTextElement("string", t);
        });
    }

    void stepbutton(const QString &name, int xpos)
    {
        open("QPushButton", name, false);
        geometry({xpos, 29, 21, 25});
        boolean("enabled", true);
        sheet(kWhite);
        text(QString());
        boolean("autoRepeat", true);
        boolean("flat", true);
        x.writeEndElement();
    }

    void row(int n)
    {
        open("QWidget", rowname(n), true);
        geometry({216, kRowY[n - 1], 411, 63});

        open("QPushButton", QStringLiteral("limitswitch%1").arg(n), false);
        geometry({373, 0, 26, 61});
        sheet(kWhite);
        text(QString());
        boolean("checkable", true);
        boolean("autoDefault", false);
        boolean("flat", true);
        x.writeEndElement();

        for (const Group &g : kGroups) {
            open("QWidget", QStringLiteral("widget_limit2_%1%2").arg(QLatin1Char(g.letter)).arg(n), true);
            geometry({g.x, 0, 120, 59});

            open("QSlider", QStringLiteral("sldrlimit%1%2").arg(QLatin1String(g.sldr)).arg(n), false);
            geometry({32, 28, 65, 22});
            enumeration("focusPolicy", "Qt::WheelFocus");
            number("minimum", g.minimum);
            number("maximum", g.maximum);
            number("value", g.value);
            enumeration("orientation", "Qt::Horizontal");
            x.writeEndElement();

            stepbutton(QStringLiteral("btnlimitdown%1%2").arg(QLatin1Char(g.stepletter)).arg(n), 8);

            open("QLineEdit", QStringLiteral("Editlimit%1%2").arg(QLatin1Char(g.letter)).arg(n), false);
            geometry({11, 6, 99, 19});
            arial14();
            property("alignment", [&] { x.writeTextElement("set", "Qt::AlignCenter"); });
            x.writeEndElement();

            stepbutton(QStringLiteral("btnlimitup%1%2").arg(QLatin1Char(g.stepletter)).arg(n), 96);
            x.writeEndElement(); // group
        }
        x.writeEndElement(); // row
    }

    void outputbutton(int n)
    {
        open("QPushButton", QStringLiteral("btnout%1").arg(n * 100), false);
        geometry({156, kButtonY[n - 1], 57, 29});
        boolean("enabled", true);
        arial14();
        sheet(kWhite);
        text(QStringLiteral("OUT%1").arg(n));
        boolean("checkable", true);
        boolean("autoExclusive", true);
        boolean("autoRepeat", true);
        boolean("flat", true);
        x.writeEndElement();
    }

    void label(const char *name, const Rect &r, const char *style)
    {
        open("QLabel", name, false);
        geometry(r);
        sheet(style);
        text(QString());
        x.writeEndElement();
    }

    QXmlStreamWriter x;
};

QByteArray form()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    FormWriter(&buffer).write();
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    const bool check = argc == 3 && QByteArray(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: limit2form [--check] <formlimit2.ui>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[argc - 1]);
    const QByteArray bytes = form();
    QFile file(path);
    if (check) {
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[argc - 1]);
            return 1;
        }
        if (file.readAll() != bytes) {
            std::fprintf(stderr, "%s is not what the tables make: regenerate it\n", argv[argc - 1]);
            return 1;
        }
        return 0;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[argc - 1]);
        return 1;
    }
    return 0;
}
