// Writes the designer form of the main control page (formmainview.ui) from
// the tables below: four input strips and eight output strips whose widgets
// share one local layout per strip, plus the page frame, the routing-line
// widget and the lock image.
//
//   mainviewform <file.ui>          write the form
//   mainviewform --check <file.ui>  exit 1 when the file differs from the tables

#include "formgen.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace
{

using formgen::Rect;

struct Font {
    const char *family = nullptr; // none: the default family
    int points = 0;               // 0: the default size
    bool bold = false;
};

// Text colours the form sets on its widgets.
const char *const kValue = "color: rgb(200,200, 200);";
const char *const kBypass = "color: rgb(152,176, 255);";
const char *const kBlack = "color: rgb(0, 0, 0);";
const char *const kWhite = "color: rgb(255, 255, 255);";
const char *const kName = "color: rgb(255,255,255);";

enum Kind { Label, Button, Switch };

// One widget role of a strip: the same local rectangle in every strip of the
// column, one object name per strip.
struct Role {
    Kind kind;
    QStringList names; // one per strip, in strip order
    Rect rect;
    Font font;
    const char *style;
    const char *text; // translatable label text; nullptr: empty
    bool centred;
    // Per-strip exceptions of the layout (strip index, rectangle, font).
    std::function<void(int, Rect &, Font &)> tweak = nullptr;
};

QStringList numbered(const QString &first, const QString &stem, int from, int to)
{
    QStringList out;
    if (!first.isEmpty())
        out << first;
    for (int i = from; i <= to; ++i)
        out << stem.arg(i);
    return out;
}

QStringList list(std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *n : names)
        out << QString::fromLatin1(n);
    return out;
}

// The value and routing labels are 12 pixels high: 9 points, the size the
// form was laid out for, whatever the desktop's default font.
const Font kArialBold{"Arial", 9, true};
const Font kArial8Bold{"Arial", 8, true};

std::vector<Role> inputroles()
{
    return {
        {Label,
         list({"label01", "label_999", "label_133", "label_177"}),
         {334, 26, 28, 28},
         {"Arial", 14, false},
         kName,
         nullptr,
         false},
        {Button, numbered("btninmute1", "btninmute1_%1", 3, 5), {18, 18, 59, 34}, {}, kWhite, nullptr, false},
        {Button,
         numbered("btningain1", "btningain1_%1", 3, 5),
         {83, 13, 59, 34},
         {"Arial", 11, false},
         kBlack,
         nullptr,
         false},
        {Label,
         list({"label_gaina", "label_gainb", "label_gainc", "label_gaind"}),
         {77, 49, 71, 12},
         kArialBold,
         kValue,
         "0.0dB",
         true},
        {Button, numbered("btneq1", "btneq1_%1", 3, 5), {149, 13, 59, 34}, {}, kWhite, nullptr, false},
        {Label,
         numbered("peqbypass", "peqbypass_%1", 2, 4),
         {142, 47, 71, 12},
         kArial8Bold,
         kBypass,
         "bypass",
         true},
        {Button,
         numbered("btnindelay1", "btnindelay1_%1", 3, 5),
         {213, 13, 59, 34},
         {"Arial", 11, false},
         kBlack,
         nullptr,
         false},
        {Label,
         numbered(QString(), "label_delay%1", 1, 4),
         {208, 48, 75, 12},
         kArial8Bold,
         kValue,
         "0.00ms",
         true},
        {Button,
         numbered("btninlimit", "btninlimit_%1", 2, 4),
         {279, 484, 59, 34},
         {"Arial", 7, false},
         kBlack,
         nullptr,
         false},
        {Label,
         numbered("label_limit", "label_limit%1", 1, 3),
         {272, 520, 71, 12},
         kArialBold,
         kValue,
         "off",
         true},
    };
}

std::vector<Role> outputroles()
{
    const Font routing{nullptr, 10, false};
    std::vector<Role> roles = {
        {Label,
         list({"label_211", "label_277", "label_333", "label_399", "label_455", "label_511", "label_577",
               "label_633"}),
         {26, 20, 21, 31},
         {"Arial", 14, false},
         kName,
         nullptr,
         false},
    };
    const char *letters[] = {"A", "B", "C", "D"};
    const int xs[] = {50, 65, 81, 96};
    for (int i = 0; i < 4; ++i) {
        const QString stem = QStringLiteral("btnout") + letters[i];
        roles.push_back({Button,
                         numbered(stem, stem + "_%1", 2, 8),
                         {xs[i], 11, 20, 27},
                         routing,
                         kWhite,
                         nullptr,
                         false});
    }
    const std::vector<Role> rest = {
        {Label, numbered(QString(), "labelout%1", 1, 8), {62, 44, 45, 12}, kArialBold, kBlack, "ABCD", true},
        {Button,
         numbered("btnoutgain2", "btnoutgain2_%1", 2, 8),
         {122, 9, 59, 34},
         {"Arial", 11, false},
         kBlack,
         nullptr,
         false},
        {Label,
         numbered(QString(), "label_gainout%1", 1, 8),
         {119, 45, 71, 12},
         kArialBold,
         kValue,
         "0.0dB",
         true},
        {Button, numbered("btnouteq", "btnouteq_%1", 2, 8), {188, 9, 59, 34}, {}, kWhite, nullptr, false},
        {Label,
         list({"peqbypass_5", "peqbypass_7", "peqbypass_8", "peqbypass_9", "peqbypass_10", "peqbypass_11",
               "peqbypass_12", "peqbypass_13"}),
         {199, 41, 41, 16},
         kArial8Bold,
         kBypass,
         "bypass",
         true,
         [](int strip, Rect &, Font &f) {
             if (strip == 0)
                 f.bold = false;
         }},
        {Button,
         numbered("btnoutdelay", "btnoutdelay_%1", 2, 8),
         {255, 9, 59, 34},
         {"Arial", 11, false},
         kBlack,
         nullptr,
         false},
        {Label,
         numbered(QString(), "label_delay%1", 5, 12),
         {245, 44, 80, 12},
         kArial8Bold,
         kValue,
         "0.00ms",
         true},
        {Button,
         numbered("btnoutlimit", "btnoutlimit_%1", 2, 8),
         {322, 9, 59, 34},
         {"Arial", 7, false},
         kBlack,
         nullptr,
         false},
        {Label,
         numbered(QString(), "label_limit%1", 4, 11),
         {317, 44, 71, 12},
         kArialBold,
         kValue,
         "off",
         true},
        {Button,
         numbered(QString(), "btnoutlimit_%1", 20, 27),
         {390, 9, 59, 34},
         {"Arial", 7, false},
         kBlack,
         nullptr,
         false},
        {Label,
         numbered(QString(), "label_limit%1", 20, 27),
         {385, 44, 71, 12},
         kArialBold,
         kValue,
         "off",
         true,
         [](int strip, Rect &r, Font &) {
             if (strip == 0)
                 r.x = 384;
         }},
        {Label,
         numbered(QString(), "label_limit4_%1", 2, 9),
         {456, 11, 31, 16},
         {"Arial", 9, true},
         nullptr,
         nullptr,
         false},
        {Switch,
         list({"btnlimitinon", "btnlimitinon_2", "btnlimitinon_3", "btnlimitinon_4", "btnlimiton_5",
               "btnlimiton_6", "btnlimiton_7", "btnlimiton_8"}),
         {459, 29, 21, 22},
         routing,
         nullptr,
         nullptr,
         false},
        {Button,
         numbered("btnoutmute", "btnoutmute_%1", 2, 8),
         {484, 15, 35, 34},
         {},
         kWhite,
         nullptr,
         false},
    };
    roles.insert(roles.end(), rest.begin(), rest.end());
    return roles;
}

class FormWriter : public formgen::Writer
{
public:
    using Writer::Writer;

    void write()
    {
        begin("FormMainView");

        open("QWidget", "FormMainView", false);
        geometry({0, 0, 950, 575});
        size("minimumSize", 919, 575);
        string("windowTitle", "Form");

        open("QWidget", "formmaindlg", true);
        geometry({0, 0, 1014, 700});
        size("minimumSize", 1014, 700);
        size("maximumSize", 1014, 700);
        enumeration("contextMenuPolicy", "Qt::NoContextMenu");

        const QStringList instrips = numbered("widgetintone", "widgetintone_%1", 2, 4);
        const std::vector<Role> in = inputroles();
        for (int i = 0; i < 4; ++i)
            strip(instrips[i], {0, 109 + 80 * i, 323, 78}, in, i);
        const QStringList outstrips = numbered("widgetout", "widgetout_%1", 2, 8);
        const std::vector<Role> out = outputroles();
        for (int i = 0; i < 8; ++i)
            strip(outstrips[i], {385, -1 + 72 * i, 537, 70}, out, i);

        open("FormDrawLines", "widgetdrawlines", true);
        geometry({294, -1, 115, 571});
        close();
        open("QWidget", "widgetlockback", true);
        geometry({0, 0, 1014, 700});
        close();

        // Raised in this order: the lock image ends beneath every strip, the
        // routing lines above all of them.
        for (const char *name :
             {"widgetlockback", "widgetintone_2", "widgetout_8", "widgetintone_4", "widgetout",
              "widgetintone_3", "widgetout_3", "widgetintone", "widgetout_2", "widgetout_7", "widgetout_6",
              "widgetout_4", "widgetout_5", "widgetdrawlines"})
            x.writeTextElement("zorder", name);
        close(); // formmaindlg
        close(); // FormMainView

        customwidgets({{"FormDrawLines", "formdrawlines.h"}});
        end();
    }

private:
    void font(const Font &f)
    {
        if (!f.family && !f.points && !f.bold)
            return;
        Writer::font(QString::fromLatin1(f.family), f.points, f.bold);
    }

    void strip(const QString &name, const Rect &r, const std::vector<Role> &roles, int index)
    {
        open("QWidget", name, true);
        geometry(r);
        for (const Role &role : roles) {
            Rect rect = role.rect;
            Font f = role.font;
            if (role.tweak)
                role.tweak(index, rect, f);
            open(role.kind == Label ? "QLabel" : "QPushButton", role.names[index], false);
            geometry(rect);
            font(f);
            if (role.style)
                stylesheet(role.style);
            text(role.text);
            if (role.kind != Label) {
                if (role.kind == Switch)
                    boolean("checkable", true);
                boolean("flat", true);
            }
            if (role.centred)
                set("alignment", "Qt::AlignCenter");
            close();
        }
        close();
    }
};

} // namespace

int main(int argc, char **argv)
{
    return formgen::run(argc, argv, "usage: mainviewform [--check] <formmainview.ui>",
                        {formgen::render([](QIODevice *out) { FormWriter(out).write(); })});
}
