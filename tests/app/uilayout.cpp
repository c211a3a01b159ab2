#include "uilayout.h"

#include <QFile>
#include <QXmlStreamReader>

namespace
{

// Reads <rect><x/><y/><width/><height/></rect> inside the current <property>.
QRect readrect(QXmlStreamReader &xml)
{
    QRect r;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("rect")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            const QString field = xml.name().toString();
            const int v = xml.readElementText().toInt();
            if (field == QLatin1String("x"))
                r.moveLeft(v);
            else if (field == QLatin1String("y"))
                r.moveTop(v);
            else if (field == QLatin1String("width"))
                r.setWidth(v);
            else if (field == QLatin1String("height"))
                r.setHeight(v);
        }
    }
    return r;
}

// At a <widget> start element whose parent's top left is `origin`: true once
// the named widget was found in it or below it (the rest is not read).
bool findwidget(QXmlStreamReader &xml, const QPoint &origin, const QString &name, QRect &found)
{
    const bool self = xml.attributes().value(QLatin1String("name")) == name;
    QPoint own = origin;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("property") &&
            xml.attributes().value(QLatin1String("name")) == QLatin1String("geometry")) {
            const QRect r = readrect(xml);
            own = origin + r.topLeft();
            if (self) {
                found = QRect(own, r.size());
                return true;
            }
        } else if (xml.name() == QLatin1String("widget")) {
            if (findwidget(xml, own, name, found))
                return true;
        } else {
            xml.skipCurrentElement();
        }
    }
    return false;
}

} // namespace

QRect uirect(const QString &uifile, const QString &name)
{
    QFile file(uifile);
    if (!file.open(QIODevice::ReadOnly))
        return QRect();
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement()) // <ui>
        return QRect();
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("widget")) {
            xml.skipCurrentElement();
            continue;
        }
        // The form's top widget: its own position is where its window or
        // parent puts it, so its children count from 0, 0.
        while (xml.readNextStartElement()) {
            QRect found;
            if (xml.name() == QLatin1String("widget")) {
                if (findwidget(xml, QPoint(), name, found))
                    return found;
            } else {
                xml.skipCurrentElement();
            }
        }
        return QRect();
    }
    return QRect();
}
