// Writes the designer forms of the channel link dialog (dialoglink.ui: a 4 x 4
// matrix of input radio buttons and an 8 x 8 matrix of output radio buttons,
// one column container per channel, with their row and column labels) and of
// the channel copy dialog (dialogcopy.ui: source and destination radio sets
// for the inputs and the outputs) from the tables below.
//
//   linkcopyform <dialoglink.ui> <dialogcopy.ui>          write the forms
//   linkcopyform --check <dialoglink.ui> <dialogcopy.ui>  exit 1 when a file differs

#include "formgen.h"

#include <QString>

#include <functional>

namespace
{

using formgen::Rect;

const char *const kGrey = "color: rgb( 200, 200, 200);";
// Labels are Arial 9 pt: at 10 pt "Link8" and "Source" do not fit their widths.
constexpr int kLabelPoints = 9;

// Output row labels by row (Link1 first).
const char *const kOutRowLabels[8] = {"label_40", "label_41", "label_38", "label_39",
                                      "label_44", "label_45", "label_42", "label_43"};
// Input row label y by row.
const int kInRowY[4] = {36, 67, 97, 127};

class FormWriter : public formgen::Writer
{
public:
    using Writer::Writer;

    void link()
    {
        begin("DialogLink", {0, 0, 519, 359}, "Set Link");
        open("QWidget", "widgetLink");
        geometry({-10, 0, 661, 381});

        open("QGroupBox", "groupBox_7");
        geometry({20, 10, 501, 311});
        font("Arial", 12);
        title("Link Control");

        open("QGroupBox", "groupBox_10");
        geometry({20, 50, 161, 161});
        title("In Link");
        for (int c = 0; c < 4; ++c) {
            open("QWidget", QStringLiteral("widget_%1").arg(6 + c));
            geometry({40 + 30 * c, 40, 16, 111});
            font(nullptr, 12);
            for (int r = 0; r < 4; ++r)
                radio(QStringLiteral("rblink%1%2").arg(QLatin1Char('a' + c)).arg(r + 1), {0, 30 * r, 16, 16});
            x.writeEndElement();
        }
        for (int c = 0; c < 4; ++c)
            label(QStringLiteral("label_%1").arg(22 + c), {40 + 30 * c, 20, 21, 21},
                  QStringLiteral("In%1").arg(QLatin1Char('A' + c)));
        for (int r = 0; r < 4; ++r)
            label(QStringLiteral("label_%1").arg(26 + r), {5, kInRowY[r], 31, 21},
                  QStringLiteral("Link%1").arg(r + 1));
        x.writeEndElement(); // groupBox_10

        open("QGroupBox", "groupBox_11");
        geometry({190, 10, 291, 281});
        title("Out Link");
        for (int k = 1; k <= 8; ++k) {
            open("QWidget", QStringLiteral("widget_%1").arg(9 + k));
            geometry({50 + 30 * (k - 1), 40, 16, 231});
            font(nullptr, 12);
            for (int r = 1; r <= 8; ++r)
                radio(QStringLiteral("rblinko%1%2").arg(k).arg(r), {0, 30 * (r - 1), 16, 16});
            x.writeEndElement();
        }
        for (int k = 1; k <= 8; ++k)
            label(QStringLiteral("label_%1").arg(29 + k), {45 + 30 * (k - 1), 20, 31, 21},
                  QStringLiteral("Out%1").arg(k));
        for (int r = 0; r < 8; ++r) {
            const QString name = QLatin1String(kOutRowLabels[r]);
            label(name, {10, 37 + 30 * r, name == QLatin1String("label_38") ? 37 : 31, 21},
                  QStringLiteral("Link%1").arg(r + 1));
        }
        x.writeEndElement(); // groupBox_11
        x.writeEndElement(); // groupBox_7

        button("pushButton_link_2", {280, 323, 75, 30}, "Set Link", 10);
        button("pushButton_close", {430, 323, 75, 30}, "EXIT", 0);
        x.writeEndElement(); // widgetLink
        end();
    }

    void copy()
    {
        begin("DialogCopy", {0, 0, 351, 363}, "Set Copy");
        open("QWidget", "widgetCopy");
        geometry({0, 0, 471, 381});
        open("QGroupBox", "groupBox_6");
        geometry({10, 10, 321, 311});
        font("Arial", 12);
        title("Copy Control");

        open("QGroupBox", "groupBox_8");
        geometry({20, 20, 281, 111});
        font("Arial", 12);
        title("IN PUT");
        label("label_12", {10, 20, 41, 21}, "Source");
        label("label_14", {3, 45, 71, 21}, "Destination");
        button("inputcopy", {180, 75, 95, 30}, "Input Copy", 10);
        radioset(
            "widget_4", {70, 20, 211, 21}, 4,
            [](int k) { return QStringLiteral("rbcopy%1").arg(QLatin1Char('a' + k)); },
            [](int k) { return QStringLiteral("In %1").arg(QLatin1Char('A' + k)); });
        radioset(
            "widget_5", {70, 50, 211, 21}, 4,
            [](int k) { return QStringLiteral("rbcopy%1").arg(QLatin1Char('a' + k)) + QLatin1Char('1'); },
            [](int k) { return QStringLiteral("In %1").arg(QLatin1Char('A' + k)); });
        x.writeEndElement(); // groupBox_8

        open("QGroupBox", "groupBox_9");
        geometry({20, 140, 281, 161});
        font("Arial", 12);
        title("OUT PUT");
        label("label_20", {10, 20, 41, 21}, "Source");
        label("label_21", {3, 80, 71, 21}, "Destination");
        button("inputcopy_2", {180, 125, 95, 30}, "Output Copy", 10);
        radioset(
            "widget", {70, 20, 211, 41}, 8, [](int k) { return QStringLiteral("rbcopyout%1").arg(k + 1); },
            [](int k) { return QStringLiteral("Out%1").arg(k + 1); });
        radioset(
            "widget_2", {70, 80, 211, 41}, 8,
            [](int k) { return QStringLiteral("rbcopyout%1").arg(k + 1) + QLatin1Char('1'); },
            [](int k) { return QStringLiteral("Out%1").arg(k + 1); });
        x.writeEndElement(); // groupBox_9
        x.writeEndElement(); // groupBox_6

        button("pushButton_copy", {250, 325, 75, 30}, "EXIT", 0);
        x.writeEndElement(); // widgetCopy
        end();
    }

private:
    void begin(const char *cls, const Rect &r, const char *windowtitle)
    {
        Writer::begin(cls);
        open("QDialog", cls);
        geometry(r);
        string("windowTitle", windowtitle);
    }

    void end()
    {
        close(); // the dialog
        Writer::end();
    }

    void title(const char *t) { string("title", QLatin1String(t)); }

    void radio(const QString &name, const Rect &r, const QString &t = QString())
    {
        open("QRadioButton", name);
        geometry(r);
        stylesheet(kGrey);
        if (!t.isEmpty())
            string("text", t);
        x.writeEndElement();
    }

    void radioset(const char *holder, const Rect &r, int count, const std::function<QString(int)> &name,
                  const std::function<QString(int)> &text)
    {
        open("QWidget", holder);
        geometry(r);
        font(nullptr, 12);
        // Four a line, 50 pixels apart, lines 20 pixels apart.
        for (int k = 0; k < count; ++k)
            radio(name(k), {50 * (k % 4), 20 * (k / 4), 51, 16}, text(k));
        x.writeEndElement();
    }

    void label(const QString &name, const Rect &r, const QString &t)
    {
        open("QLabel", name);
        geometry(r);
        font("Arial", kLabelPoints);
        stylesheet(kGrey);
        string("text", t);
        x.writeEndElement();
    }

    void button(const char *name, const Rect &r, const char *t, int points)
    {
        open("QPushButton", name);
        geometry(r);
        if (points > 0)
            font(nullptr, points);
        string("text", QLatin1String(t));
        x.writeEndElement();
    }
};

QByteArray form(bool link)
{
    return formgen::render([link](QIODevice *out) {
        FormWriter writer(out);
        if (link)
            writer.link();
        else
            writer.copy();
    });
}

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: linkcopyform [--check] <dialoglink.ui> <dialogcopy.ui>",
                        {form(true), form(false)});
}
