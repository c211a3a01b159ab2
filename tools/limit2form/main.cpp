// Writes the designer form of the peak-limiter page (formlimit2.ui) from the
// tables below: eight identical output rows (enable switch and the attack,
// release and threshold groups), the column of output buttons, the lock
// overlay and the two header images.
//
//   limit2form <file.ui>          write the form
//   limit2form --check <file.ui>  exit 1 when the file differs from the tables

#include "formgen.h"

#include <QString>

namespace
{

using formgen::Rect;

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

class FormWriter : public formgen::Writer
{
public:
    using Writer::Writer;

    void write()
    {
        begin("FormLimit2");

        open("QWidget", "FormLimit2", false);
        geometry({0, 0, 1014, 700});
        stylesheet("");
        string("windowTitle", "Form");

        open("QWidget", "widgetlimit50_2", true);
        geometry({0, 0, 1014, 700});
        stylesheet("");
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

        end();
    }

private:
    void stepbutton(const QString &name, int xpos)
    {
        open("QPushButton", name, false);
        geometry({xpos, 29, 21, 25});
        boolean("enabled", true);
        stylesheet(kWhite);
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
        stylesheet(kWhite);
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
            font("Arial", 14);
            set("alignment", "Qt::AlignCenter");
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
        font("Arial", 14);
        stylesheet(kWhite);
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
        stylesheet(style);
        text(QString());
        x.writeEndElement();
    }
};

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: limit2form [--check] <formlimit2.ui>",
                        {formgen::render([](QIODevice *out) { FormWriter(out).write(); })});
}
