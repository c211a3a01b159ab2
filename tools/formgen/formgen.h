// Writing designer forms (.ui) from tables: the XML writer with its property
// emitters, a widget-tree form for generators that build their forms as data,
// and the entry point that writes the forms or checks the committed ones.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QXmlStreamWriter>

#include <functional>
#include <vector>

class QIODevice;

namespace formgen
{

struct Rect {
    int x, y, w, h;
};

// One colour of a palette role, as the form writes it.
struct Rgb {
    int r, g, b;
};

// A custom widget class the form uses, promoted from QWidget (a container)
// unless it names another base.
struct Custom {
    const char *cls;
    const char *header;
    const char *extends = "QWidget";
    bool container = true;
};

// Emits the elements of a form in the order called. Generators derive their
// own writer from it and keep only their widget recipes.
class Writer
{
public:
    explicit Writer(QIODevice *out);

    // The document and its <ui> element naming the form class.
    void begin(const QString &cls);
    // The custom widget declarations; nothing when there are none.
    void customwidgets(const std::vector<Custom> &customs);
    // Closes <ui> after the empty resources and connections.
    void end();

    void open(const QString &cls, const QString &name, bool native = false);
    void close() { x.writeEndElement(); }

    void property(const char *name, const std::function<void()> &value);
    void geometry(const Rect &r);
    void size(const char *name, int w, int h);
    // Family when not empty, size when not 0, bold when asked.
    void font(const QString &family, int points, bool bold = false);
    void boolean(const char *name, bool v);
    void number(const char *name, int v);
    void enumeration(const char *name, const QString &v);
    void set(const char *name, const QString &v);
    // A style sheet, not translatable.
    void stylesheet(const QString &sheet);
    // A string property; an empty text is written as an empty element.
    void text(const QString &t, const char *name = "text");
    // A string property written as given, even when empty.
    void string(const char *name, const QString &t);
    // A combo item.
    void item(const QString &t);
    // The same colour for the window text, text and button text roles, in
    // the active and inactive groups; its own colour in the disabled group.
    void palette(const Rgb &normal, const Rgb &disabled);

    QXmlStreamWriter x;
};

// The bytes that make writes through a device.
QByteArray render(const std::function<void(QIODevice *)> &make);

// A widget font.
struct Font {
    QString family; // empty: inherited
    int points = 0;
    bool bold = false;
};

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

    Node(const QString &c, const QString &n, Rect r);

    Node &prop(const char *pname, const std::function<void(QXmlStreamWriter &)> &value);
    Node &boolean(const char *pname, bool v);
    Node &number(const char *pname, int v);
    Node &real(const char *pname, const char *v);
    Node &enumeration(const char *pname, const char *v);
    Node &set(const char *pname, const char *v);
    Node &text(const QString &t);
    Node &style(const char *s);
    Node &font(const Font &f);
    // White captions on every role that shows text; grey when disabled.
    Node &whitepalette();
    Node &add(const Node &child);
};

// The whole form of a widget tree: top is the form class.
QByteArray writeform(const Node &top, const std::vector<Custom> &customs);

// The generators' main: `<prog> <path>...` writes each form, `<prog> --check
// <path>...` exits 1 when a committed file differs from its form. With names,
// the one argument is a directory holding the files of those names.
int run(int argc, char **argv, const char *usage, const std::vector<QByteArray> &forms,
        const QStringList &names = QStringList());

} // namespace formgen
