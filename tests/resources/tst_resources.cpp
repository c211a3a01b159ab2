// The compiled-in resources: every ":/..." path written in the sources and
// style sheets exists, images have the sizes their widgets need, the Chinese
// twins exist and carry their own labels, and the four style sheets parse and
// differ only where they should.
#include "dspresources.h"
#include "skintable.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace
{

const QString kSourceDir = QDir::cleanPath(QStringLiteral(DSP_TEST_DATA_DIR "/../../../src"));

QString readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

struct Reference {
    QString path;
    QString where;
};

// Resource paths in string literals (":/style/style.txt") and in url(...) of
// style sheets, from every source and style sheet under src/.
QVector<Reference> referencesInSources()
{
    static const QRegularExpression re(QStringLiteral("(?:\"|url\\(\\s*)(:/[^\"\\s);]+)"));
    QVector<Reference> refs;
    QDirIterator it(kSourceDir, {"*.cpp", "*.h", "*.ui", "*.txt", "*.qss"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.endsWith(QLatin1String("CMakeLists.txt")))
            continue;
        const QString text = readAll(file);
        auto m = re.globalMatch(text);
        while (m.hasNext()) {
            const auto match = m.next();
            const int line = text.leftRef(match.capturedStart()).count(QLatin1Char('\n')) + 1;
            refs.append(
                {match.captured(1), QDir(kSourceDir).relativeFilePath(file) + ":" + QString::number(line)});
        }
    }
    return refs;
}

QStringList allResourceImages()
{
    QStringList out;
    QDirIterator it(QStringLiteral(":/"), {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

QString englishOf(const QString &twin)
{
    QString s = twin;
    return s.replace(QLatin1String("_chs.png"), QLatin1String(".png"));
}

QString withoutNetworkBlock(QString sheet)
{
    const int from = sheet.indexOf(QLatin1String("/* network link */"));
    const QString endMark = QStringLiteral("/* end network link */\n");
    const int to = sheet.indexOf(endMark);
    if (from < 0 || to < from)
        return QString();
    // The block is appended after a blank line.
    return sheet.remove(from - 1, to + endMark.size() - from + 1);
}

QtMessageHandler previousHandler = nullptr;
QStringList captured;

void captureMessages(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
{
    captured << msg;
    if (previousHandler)
        previousHandler(type, ctx, msg);
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void referencedPathsExist_data();
    void referencedPathsExist();
    void statedSizes_data();
    void statedSizes();
    void chineseTwins_data();
    void chineseTwins();
    void everyGeneratedImageIsCompiledIn();
    void lockOverlayIsMostlyTransparent_data();
    void lockOverlayIsMostlyTransparent();
    void meterStripHoldsLitSegmentsUnderTheCover();
    void styleSheetsParse_data();
    void styleSheetsParse();
    void styleSheetVariantsDifferOnlyWhereIntended();
    void fontsOfTheForms_data();
    void fontsOfTheForms();
    void deviceSlotTextFitsItsButton();
};

void TestResources::initTestCase()
{
    initdspresources();
    QVERIFY2(QFile::exists(kSourceDir + "/resources/style/style.txt"), qPrintable(kSourceDir));
}

void TestResources::referencedPathsExist_data()
{
    QTest::addColumn<QString>("path");
    const QVector<Reference> refs = referencesInSources();
    // The style sheets alone name well over a hundred images.
    QVERIFY(refs.size() > 100);
    QSet<QString> tags;
    for (const Reference &r : refs) {
        const QString tag = r.where + " " + r.path;
        if (r.path.contains(QLatin1Char('%')) || tags.contains(tag))
            continue; // built at run time from a pattern; cannot be checked statically
        tags.insert(tag);
        QTest::newRow(qPrintable(tag)) << r.path;
    }
}

void TestResources::referencedPathsExist()
{
    QFETCH(QString, path);
    if (path.endsWith(QLatin1Char('/'))) {
        QVERIFY2(QDir(path).exists(), qPrintable(path + " is not a resource folder"));
        return;
    }
    QFile f(path);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path + " is not among the resources"));
    QVERIFY(f.size() > 0);
    if (path.endsWith(QLatin1String(".png")))
        QVERIFY2(!QImage(path).isNull(), qPrintable(path + " is not a readable image"));
}

void TestResources::statedSizes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    // Sizes the widgets and drawing code rely on.
    const QVector<QPair<const char *, QSize>> rows = {
        {":/buttons/skin/outbackA.png", {20, 27}},
        {":/buttons/skin/leftbutton.png", {79, 36}},
        {":/back/skin/001d.png", {920, 587}},
        {":/back/skin/alockchange.png", {1014, 672}},
        {":/back/skin/amainlock01.png", {805, 610}},
        {":/gain/skin/gain-gai.png", {76, 528}},
        {":/gain/skin/gain-05.png", {19, 85}},
        {":/delay/skin/delaychun.png", {355, 75}},
        {":/graph/skin/HoverPoint_active.png", {24, 24}},
        {":/graph/skin/GEQpoint.png", {12, 12}},
        {":/logpic/coriol.png", {160, 32}},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromLatin1(row.first) << row.second;
}

void TestResources::statedSizes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QCOMPARE(QImage(path).size(), size);
}

void TestResources::chineseTwins_data()
{
    QTest::addColumn<QString>("twin");
    QSet<QString> twins;
    // Twins the code and the style sheets name ...
    for (const Reference &r : referencesInSources()) {
        if (r.path.endsWith(QLatin1String("_chs.png")))
            twins.insert(r.path);
    }
    // ... and every twin compiled in.
    for (const QString &p : allResourceImages()) {
        if (p.endsWith(QLatin1String("_chs.png")))
            twins.insert(p);
    }
    QStringList sorted = twins.values();
    sorted.sort();
    for (const QString &t : sorted)
        QTest::newRow(qPrintable(t)) << t;
}

void TestResources::chineseTwins()
{
    QFETCH(QString, twin);
    const QImage zh(twin);
    const QImage en(englishOf(twin));
    QVERIFY2(!zh.isNull(), qPrintable(twin + " missing"));
    QVERIFY2(!en.isNull(), qPrintable(englishOf(twin) + " missing"));
    QCOMPARE(zh.size(), en.size());
    // The twin carries its own (Chinese) label, so the pixels differ.
    QVERIFY(zh.convertToFormat(QImage::Format_ARGB32) != en.convertToFormat(QImage::Format_ARGB32));
}

void TestResources::everyGeneratedImageIsCompiledIn()
{
    for (const skin::Skin &s : skin::skins()) {
        const QImage en(":" + s.path);
        QVERIFY2(!en.isNull(), qPrintable(s.path));
        QCOMPARE(en.size(), s.size);
        if (s.twin)
            QCOMPARE(QImage(":" + skin::twinPath(s.path)).size(), s.size);
    }
}

void TestResources::lockOverlayIsMostlyTransparent_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("English") << QStringLiteral(":/back/skin/alockchange.png");
}

void TestResources::lockOverlayIsMostlyTransparent()
{
    QFETCH(QString, path);
    const QImage img = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!img.isNull());
    QVERIFY(img.hasAlphaChannel());
    int maxAlpha = 0;
    qint64 sum = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            maxAlpha = qMax(maxAlpha, qAlpha(line[x]));
            sum += qAlpha(line[x]);
        }
    }
    QVERIFY2(maxAlpha <= 128, qPrintable(QString::number(maxAlpha)));
    QVERIFY(maxAlpha > 0);
    QVERIFY(sum / (img.width() * img.height()) < 128);
}

void TestResources::meterStripHoldsLitSegmentsUnderTheCover()
{
    // The gain strip shows lit segments at 43..52 x 32..110; the meter cover
    // (placed at 38,30) shows the unlit ones at the same place.
    const QImage strip = QImage(":/gain/skin/gain-gai.png").convertToFormat(QImage::Format_ARGB32);
    const QImage cover = QImage(":/gain/skin/gain-05.png").convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!strip.isNull() && !cover.isNull());
    auto brightness = [](const QImage &img, const QRect &r) {
        qint64 sum = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                sum += qGray(img.pixel(x, y));
        return sum / (r.width() * r.height());
    };
    const QRect lit(43, 32, 10, 79);
    const QRect unlit = lit.translated(-38, -30);
    QVERIFY(brightness(strip, lit) > 2 * brightness(cover, unlit));
    for (int y = 0; y < cover.height(); ++y)
        for (int x = 0; x < cover.width(); ++x)
            QCOMPARE(qAlpha(cover.pixel(x, y)), 255);
}

void TestResources::styleSheetsParse_data()
{
    QTest::addColumn<QString>("path");
    for (const char *p :
         {":/style/style.txt", ":/style/style_chs.txt", ":/style/style_net.txt", ":/style/style_net_chs.txt"})
        QTest::newRow(p) << QString::fromLatin1(p);
}

void TestResources::styleSheetsParse()
{
    QFETCH(QString, path);
    const QString sheet = readAll(path);
    QVERIFY(!sheet.isEmpty());
    QVERIFY(!sheet.contains(QChar(0)));
    captured.clear();
    previousHandler = qInstallMessageHandler(captureMessages);
    QWidget window;
    window.setStyleSheet(sheet);
    QPushButton button(&window);
    button.setObjectName(QStringLiteral("pushButton"));
    button.setCheckable(true);
    button.setChecked(true);
    window.ensurePolished();
    button.ensurePolished();
    QImage target(80, 50, QImage::Format_ARGB32);
    button.render(&target);
    qInstallMessageHandler(previousHandler);
    for (const QString &m : captured)
        QVERIFY2(!m.contains(QLatin1String("parse"), Qt::CaseInsensitive), qPrintable(m));
}

void TestResources::styleSheetVariantsDifferOnlyWhereIntended()
{
    const QString en = readAll(":/style/style.txt");
    const QString zh = readAll(":/style/style_chs.txt");
    const QString net = readAll(":/style/style_net.txt");
    const QString netZh = readAll(":/style/style_net_chs.txt");
    // Chinese sheets: the same rules with the Chinese twins of labelled images.
    QVERIFY(zh.contains(QLatin1String("_chs.png")));
    QCOMPARE(QString(zh).replace(QLatin1String("_chs.png"), QLatin1String(".png")), en);
    // Network sheets: the serial ones plus the block that marks a network link.
    QVERIFY(net != en);
    QCOMPARE(withoutNetworkBlock(net), en);
    QCOMPARE(withoutNetworkBlock(netZh), zh);
}

void TestResources::fontsOfTheForms_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QStringList>("acceptable");
    const QStringList cjk{QStringLiteral("WenQuanYi Micro Hei")};
    QTest::newRow("SimSun") << QStringLiteral("SimSun") << cjk;
    QTest::newRow("SimSun by its Chinese name") << QStringLiteral("宋体") << cjk;
    QTest::newRow("Arial") << QStringLiteral("Arial")
                           << QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
}

void TestResources::fontsOfTheForms()
{
    QFETCH(QString, family);
    QFETCH(QStringList, acceptable);
    const QString got = QFontInfo(QFont(family, 9, QFont::Bold)).family();
    QVERIFY2(acceptable.contains(got), qPrintable(family + " is drawn with " + got));
}

void TestResources::deviceSlotTextFitsItsButton()
{
    // Device slot buttons are 79 pixels wide, "宋体" 9 pt bold.
    const QFont f(QStringLiteral("宋体"), 9, QFont::Bold);
    for (const char *text : {"4IN8OUT:1f", "3IN6OUT:0a", "2IN4OUT:ff"})
        QVERIFY2(QFontMetrics(f).horizontalAdvance(QLatin1String(text)) <= 75, text);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
