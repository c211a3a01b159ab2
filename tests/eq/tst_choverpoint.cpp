// The hover point: hit rectangle, info box placement, what paint draws in
// each state, and copies that own their images.

#include "choverpoint.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace
{

// A green 24 x 24 image file in a temporary place.
QString imagefile(const QString &dir, QColor colour)
{
    QImage img(24, 24, QImage::Format_ARGB32);
    img.fill(colour);
    const QString path = dir + QStringLiteral("/p%1.png").arg(colour.name().mid(1));
    img.save(path);
    return path;
}

QImage paintpoint(const CHoverPoint &p)
{
    QImage img(200, 200, QImage::Format_ARGB32);
    img.fill(Qt::black);
    QPainter painter(&img);
    p.paint(&painter);
    return img;
}

} // namespace

class TstCHoverPoint : public QObject
{
    Q_OBJECT
private slots:
    void defaults();
    void infobox_data();
    void infobox();
    void paintstates();
    void copies();
};

void TstCHoverPoint::defaults()
{
    CHoverPoint p;
    QVERIFY(p.isVisible());
    QVERIFY(!p.isActive());
    QCOMPARE(p.rect(), QRect(QPoint(-10, -10), QPoint(9, 9)));
    QVERIFY(!p.hasImage());
    p.setSize(7, 5);
    p.setPos(100, 50);
    QCOMPARE(p.rect(), QRect(97, 48, 7, 5));
}

void TstCHoverPoint::infobox_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QRect>("box");
    QTest::newRow("x 399") << QPoint(399, 50) << QRect(QPoint(399, 55), QPoint(478, 134));
    QTest::newRow("x 400") << QPoint(400, 50) << QRect(QPoint(250, 55), QPoint(479, 134));
    QTest::newRow("y 111") << QPoint(10, 111) << QRect(QPoint(10, 116), QPoint(89, 195));
    QTest::newRow("y 112") << QPoint(10, 112) << QRect(QPoint(10, -8), QPoint(89, 196));
}

void TstCHoverPoint::infobox()
{
    QFETCH(QPoint, pos);
    QFETCH(QRect, box);
    CHoverPoint p;
    p.setPos(pos.x(), pos.y());
    QCOMPARE(p.infobox(), box);
}

void TstCHoverPoint::paintstates()
{
    QTemporaryDir dir;
    const QString green = imagefile(dir.path(), QColor(0, 200, 0));
    const QString blue = imagefile(dir.path(), QColor(0, 0, 200));
    CHoverPoint p;
    p.setPos(50, 50);
    p.setValueText(QStringLiteral("XXXXXXXXXXXX\nXXXXXXXXXXXX\nXXXXXXXXXXXX"));
    p.setHoverImage(blue);
    // Inactive: the inactive image at (x - 10, y - 10); never the value text.
    QImage img = paintpoint(p);
    QCOMPARE(QColor(img.pixel(41, 41)), QColor(0, 0, 200));
    const QRect box = p.infobox();
    auto textshown = [&](const QImage &i) {
        for (int y = box.top() + 12; y < box.bottom(); ++y)
            for (int x = box.left(); x < box.right(); ++x)
                if (qGreen(i.pixel(x, y)) == 255 && qRed(i.pixel(x, y)) == 0)
                    return true;
        return false;
    };
    QVERIFY(!textshown(img));
    // Active without an active image: neither image nor value text.
    p.setActive(true);
    img = paintpoint(p);
    QCOMPARE(QColor(img.pixel(41, 41)), QColor(Qt::black));
    QVERIFY(!textshown(img));
    // An active image that does not load still counts as set: the text shows.
    p.setImage(dir.path() + QStringLiteral("/missing.png"));
    QVERIFY(p.hasImage());
    img = paintpoint(p);
    QCOMPARE(QColor(img.pixel(41, 41)), QColor(Qt::black));
    QVERIFY(textshown(img));
    p.setImage(green);
    img = paintpoint(p);
    QCOMPARE(QColor(img.pixel(41, 41)), QColor(0, 200, 0));
    // Hidden or indexed: nothing.
    p.setindex(1);
    QCOMPARE(QColor(paintpoint(p).pixel(41, 41)), QColor(Qt::black));
    p.setindex(0);
    p.setVisible(false);
    QCOMPARE(QColor(paintpoint(p).pixel(41, 41)), QColor(Qt::black));
}

// Points hold their images by value: a copy keeps drawing after the original
// is gone, and assigning frees nothing twice (run under the sanitizers too).
void TstCHoverPoint::copies()
{
    QTemporaryDir dir;
    const QString blue = imagefile(dir.path(), QColor(0, 0, 200));
    CHoverPoint copy;
    {
        CHoverPoint p;
        p.setPos(50, 50);
        p.setHoverImage(blue);
        p.setHoverImage(blue); // replaces the first
        copy = p;
        CHoverPoint another(p);
        another = copy;
    }
    QVERIFY(copy.hasHoverImage());
    QCOMPARE(QColor(paintpoint(copy).pixel(41, 41)), QColor(0, 0, 200));
}

QTEST_MAIN(TstCHoverPoint)
#include "tst_choverpoint.moc"
