#include "formgen.h"

#include <QBuffer>
#include <QFile>

#include <cstdio>

namespace formgen
{

Writer::Writer(QIODevice *out)
    : x(out)
{
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(1);
}

void Writer::begin(const QString &cls)
{
    x.writeStartDocument();
    x.writeStartElement("ui");
    x.writeAttribute("version", "4.0");
    x.writeTextElement("class", cls);
}

void Writer::customwidgets(const std::vector<Custom> &customs)
{
    if (customs.empty())
        return;
    x.writeStartElement("customwidgets");
    for (const Custom &c : customs) {
        x.writeStartElement("customwidget");
        x.writeTextElement("class", c.cls);
        x.writeTextElement("extends", c.extends);
        x.writeTextElement("header", c.header);
        if (c.container)
            x.writeTextElement("container", "1");
        x.writeEndElement();
    }
    x.writeEndElement();
}

void Writer::end()
{
    x.writeEmptyElement("resources");
    x.writeEmptyElement("connections");
    x.writeEndElement(); // ui
    x.writeEndDocument();
}

void Writer::open(const QString &cls, const QString &name, bool native)
{
    x.writeStartElement("widget");
    x.writeAttribute("class", cls);
    x.writeAttribute("name", name);
    if (native)
        x.writeAttribute("native", "true");
}

void Writer::property(const char *name, const std::function<void()> &value)
{
    x.writeStartElement("property");
    x.writeAttribute("name", name);
    value();
    x.writeEndElement();
}

void Writer::geometry(const Rect &r)
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

void Writer::size(const char *name, int w, int h)
{
    property(name, [&] {
        x.writeStartElement("size");
        x.writeTextElement("width", QString::number(w));
        x.writeTextElement("height", QString::number(h));
        x.writeEndElement();
    });
}

void Writer::font(const QString &family, int points, bool bold)
{
    property("font", [&] {
        x.writeStartElement("font");
        if (!family.isEmpty())
            x.writeTextElement("family", family);
        if (points)
            x.writeTextElement("pointsize", QString::number(points));
        if (bold) {
            x.writeTextElement("weight", "75");
            x.writeTextElement("bold", "true");
        }
        x.writeEndElement();
    });
}

void Writer::boolean(const char *name, bool v)
{
    property(name, [&] { x.writeTextElement("bool", v ? "true" : "false"); });
}

void Writer::number(const char *name, int v)
{
    property(name, [&] { x.writeTextElement("number", QString::number(v)); });
}

void Writer::enumeration(const char *name, const QString &v)
{
    property(name, [&] { x.writeTextElement("enum", v); });
}

void Writer::set(const char *name, const QString &v)
{
    property(name, [&] { x.writeTextElement("set", v); });
}

void Writer::stylesheet(const QString &sheet)
{
    property("styleSheet", [&] {
        x.writeStartElement("string");
        x.writeAttribute("notr", "true");
        x.writeCharacters(sheet);
        x.writeEndElement();
    });
}

void Writer::text(const QString &t, const char *name)
{
    property(name, [&] {
        if (t.isEmpty())
            x.writeEmptyElement("string");
        else
            x.writeTextElement("string", t);
    });
}

void Writer::string(const char *name, const QString &t)
{
    property(name, [&] { x.writeTextElement("string", t); });
}

void Writer::item(const QString &t)
{
    x.writeStartElement("item");
    string("text", t);
    x.writeEndElement();
}

namespace
{

void writepalette(QXmlStreamWriter &x, const Rgb &normal, const Rgb &disabled)
{
    x.writeStartElement("palette");
    for (const char *group : {"active", "inactive", "disabled"}) {
        const Rgb &c = QByteArray(group) == "disabled" ? disabled : normal;
        x.writeStartElement(group);
        for (const char *role : {"WindowText", "Text", "ButtonText"}) {
            x.writeStartElement("colorrole");
            x.writeAttribute("role", role);
            x.writeStartElement("brush");
            x.writeAttribute("brushstyle", "SolidPattern");
            x.writeStartElement("color");
            x.writeAttribute("alpha", "255");
            x.writeTextElement("red", QString::number(c.r));
            x.writeTextElement("green", QString::number(c.g));
            x.writeTextElement("blue", QString::number(c.b));
            x.writeEndElement();
            x.writeEndElement();
            x.writeEndElement();
        }
        x.writeEndElement();
    }
    x.writeEndElement();
}

void writenode(Writer &w, const Node &n, bool top = false)
{
    w.open(n.cls, n.name, !top && n.cls == QLatin1String("QWidget"));
    w.geometry(n.rect);
    for (const auto &p : n.props)
        p(w.x);
    for (const QString &item : n.items)
        w.item(item);
    for (const Node &k : n.kids)
        writenode(w, k);
    for (const QString &z : n.zorder)
        w.x.writeTextElement("zorder", z);
    w.close();
}

// Writes bytes to path, or compares them with the file there; false with a
// message on failure.
bool writeorcheck(bool check, const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    const QByteArray name = path.toLocal8Bit();
    if (check) {
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", name.constData());
            return false;
        }
        if (file.readAll() != bytes) {
            std::fprintf(stderr, "%s is not what the tables make: regenerate it\n", name.constData());
            return false;
        }
        return true;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", name.constData());
        return false;
    }
    return true;
}

} // namespace

void Writer::palette(const Rgb &normal, const Rgb &disabled)
{
    property("palette", [&] { writepalette(x, normal, disabled); });
}

QByteArray render(const std::function<void(QIODevice *)> &make)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    make(&buffer);
    return bytes;
}

Node::Node(const QString &c, const QString &n, Rect r)
    : cls(c)
    , name(n)
    , rect(r)
{
}

Node &Node::prop(const char *pname, const std::function<void(QXmlStreamWriter &)> &value)
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

Node &Node::boolean(const char *pname, bool v)
{
    return prop(pname, [v](QXmlStreamWriter &x) { x.writeTextElement("bool", v ? "true" : "false"); });
}

Node &Node::number(const char *pname, int v)
{
    return prop(pname, [v](QXmlStreamWriter &x) { x.writeTextElement("number", QString::number(v)); });
}

Node &Node::real(const char *pname, const char *v)
{
    const QString s = QString::fromLatin1(v);
    return prop(pname, [s](QXmlStreamWriter &x) { x.writeTextElement("double", s); });
}

Node &Node::enumeration(const char *pname, const char *v)
{
    const QString s = QString::fromLatin1(v);
    return prop(pname, [s](QXmlStreamWriter &x) { x.writeTextElement("enum", s); });
}

Node &Node::set(const char *pname, const char *v)
{
    const QString s = QString::fromLatin1(v);
    return prop(pname, [s](QXmlStreamWriter &x) { x.writeTextElement("set", s); });
}

Node &Node::text(const QString &t)
{
    return prop("text", [t](QXmlStreamWriter &x) {
        if (t.isEmpty())
            x.writeEmptyElement("string");
        else
            x.writeTextElement("string", t);
    });
}

Node &Node::style(const char *s)
{
    const QString v = QString::fromLatin1(s);
    return prop("styleSheet", [v](QXmlStreamWriter &x) {
        x.writeStartElement("string");
        x.writeAttribute("notr", "true");
        x.writeCharacters(v);
        x.writeEndElement();
    });
}

Node &Node::font(const Font &f)
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

Node &Node::whitepalette()
{
    return prop("palette", [](QXmlStreamWriter &x) { writepalette(x, {255, 255, 255}, {118, 116, 108}); });
}

Node &Node::add(const Node &child)
{
    kids.push_back(child);
    return *this;
}

QByteArray writeform(const Node &top, const std::vector<Custom> &customs)
{
    return render([&](QIODevice *out) {
        Writer w(out);
        w.begin(top.name);
        writenode(w, top, true);
        w.customwidgets(customs);
        w.end();
    });
}

int run(int argc, char **argv, const char *usage, const std::vector<QByteArray> &forms,
        const QStringList &names)
{
    const int paths = names.isEmpty() ? int(forms.size()) : 1;
    const bool check = argc == paths + 2 && QByteArray(argv[1]) == "--check";
    if (argc != paths + 1 && !check) {
        std::fprintf(stderr, "%s\n", usage);
        return 2;
    }
    const int first = argc - paths;
    int status = 0;
    for (size_t i = 0; i < forms.size(); ++i) {
        const QString path = names.isEmpty()
                                 ? QString::fromLocal8Bit(argv[first + int(i)])
                                 : QString::fromLocal8Bit(argv[first]) + QLatin1Char('/') + names[int(i)];
        if (!writeorcheck(check, path, forms[i]))
            status = 1;
    }
    return status;
}

} // namespace formgen
