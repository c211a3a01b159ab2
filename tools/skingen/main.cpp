// skingen: draws every skin image of the application into a folder and writes
// the resource collection file that lists them.
//
//   skingen OUTDIR            images under OUTDIR/<resource path>, OUTDIR/skins.qrc
//   skingen --sheet FILE.png [MINW MAXW ZOOM]
//                             contact sheet of every image (English and Chinese),
//                             optionally only widths MINW..MAXW, zoomed
//   skingen --list            the resource paths, one per line
//
// Needs a GUI platform plugin for the fonts; build steps run it with
// QT_QPA_PLATFORM=offscreen.
#include "skintable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <cstdio>

using namespace skin;

namespace
{

QImage render(const Skin &s, Lang lang)
{
    QImage img(s.size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    s.paint(p, QRect(QPoint(0, 0), s.size), lang);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

struct Output {
    QString path;
    QImage image;
};

QVector<Output> renderAll()
{
    QVector<Output> out;
    for (const Skin &s : skins()) {
        out.append({s.path, render(s, Lang::En)});
        if (s.twin)
            out.append({twinPath(s.path), render(s, Lang::Zh)});
    }
    return out;
}

bool checkTable()
{
    QSet<QString> seen;
    bool ok = true;
    for (const Skin &s : skins()) {
        const QStringList paths = s.twin ? QStringList{s.path, twinPath(s.path)} : QStringList{s.path};
        for (const QString &path : paths) {
            if (seen.contains(path) || !path.startsWith(QLatin1Char('/')) ||
                !path.endsWith(QLatin1String(".png"))) {
                std::fprintf(stderr, "skingen: bad or repeated path %s\n", qPrintable(path));
                ok = false;
            }
            seen.insert(path);
        }
        if (s.size.isEmpty()) {
            std::fprintf(stderr, "skingen: empty size for %s\n", qPrintable(s.path));
            ok = false;
        }
    }
    return ok;
}

// The application decodes its skins while it starts: they are stored with the
// lightest zlib level (quality 80 is level 1 for Qt's PNG writer), which
// decodes about a third faster than the default level for 1.5 times the bytes.
bool writeFast(const QImage &image, const QString &file)
{
    QImageWriter writer(file, "png");
    writer.setQuality(80);
    return writer.write(image);
}

int writeAll(const QString &outDir)
{
    QDir dir(outDir);
    QString qrc;
    QTextStream ts(&qrc);
    ts << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const Output &o : renderAll()) {
        const QString rel = o.path.mid(1);
        const QString file = dir.filePath(rel);
        if (!dir.mkpath(QFileInfo(file).path()) || !writeFast(o.image, file)) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file));
            return 1;
        }
        ts << "  <file>" << rel << "</file>\n";
    }
    ts << "</qresource>\n</RCC>\n";
    QSaveFile f(dir.filePath(QStringLiteral("skins.qrc")));
    if (!f.open(QIODevice::WriteOnly) || f.write(qrc.toUtf8()) < 0 || !f.commit()) {
        std::fprintf(stderr, "skingen: cannot write skins.qrc\n");
        return 1;
    }
    return 0;
}

// Contact sheet of the images whose width lies in [minWidth, maxWidth], zoomed.
int writeSheet(const QString &file, int minWidth, int maxWidth, qreal zoom)
{
    QVector<Output> all;
    for (const Output &o : renderAll()) {
        if (o.image.width() >= minWidth && o.image.width() <= maxWidth)
            all.append({o.path, o.image.scaled(o.image.size() * zoom, Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation)});
    }
    const int cellW = 240, captionH = 14, margin = 6;
    const int width = 1920;
    // Lay out row by row: each image at natural size, scaled down only when wider than the sheet.
    struct Placed {
        int x, y, w, h;
        const Output *o;
    };
    QVector<Placed> placed;
    int x = margin, y = margin, rowH = 0;
    for (const Output &o : all) {
        int w = o.image.width(), h = o.image.height();
        if (w > width - 2 * margin) {
            h = h * (width - 2 * margin) / w;
            w = width - 2 * margin;
        }
        const int cw = qMax(w, qMin(cellW, 160));
        if (x + cw > width - margin) {
            x = margin;
            y += rowH + captionH + margin;
            rowH = 0;
        }
        placed.append({x, y, w, h, &o});
        x += cw + margin;
        rowH = qMax(rowH, h);
    }
    const int height = y + rowH + captionH + margin;
    QImage sheet(width, height, QImage::Format_ARGB32);
    sheet.fill(QColor(120, 60, 120)); // loud backdrop: shows where images are transparent
    QPainter p(&sheet);
    for (const Placed &pl : placed) {
        p.drawImage(QRect(pl.x, pl.y, pl.w, pl.h), pl.o->image);
        p.setPen(Qt::white);
        p.setFont(font(10, false));
        p.drawText(QRect(pl.x, pl.y + pl.h, qMax(pl.w, 160), captionH), Qt::AlignLeft | Qt::AlignVCenter,
                   pl.o->path.section(QLatin1Char('/'), -1));
    }
    p.end();
    if (!sheet.save(file)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!checkTable())
        return 1;
    if (args.size() == 1 && args[0] == QLatin1String("--list")) {
        for (const Output &o : renderAll())
            std::printf("%s\n", qPrintable(o.path));
        return 0;
    }
    if ((args.size() == 2 || args.size() == 5) && args[0] == QLatin1String("--sheet")) {
        if (args.size() == 2)
            return writeSheet(args[1], 0, 100000, 1);
        return writeSheet(args[1], args[2].toInt(), args[3].toInt(), args[4].toDouble());
    }
    if (args.size() == 1 && !args[0].startsWith(QLatin1Char('-')))
        return writeAll(args[0]);
    std::fprintf(stderr, "usage: skingen OUTDIR | --sheet FILE.png [MINW MAXW ZOOM] | --list\n");
    return 2;
}
