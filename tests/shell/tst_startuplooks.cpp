// Looks after start-up: each page shown once, in English and in Chinese,
// probed at a few pixels (skin image, skin text, style sheet colour, label).
// DSP_LOOKS_DIR=/some/folder saves the pictures and prints every probe.

#include "mainwindow.h"
#include "startup.h"
#include "tst_connect_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace
{

struct Probe {
    int x, y;
    QRgb en; // colour in English
    QRgb zh; // colour in Chinese
};

struct Page {
    const char *name;
    std::function<void(MainWindow *)> show;
    std::vector<Probe> probes;
};

// Window coordinates (the window is 1014 x 690; the pages start at 95, 70).
const std::vector<Page> &pages()
{
    static const std::vector<Page> table = {
        {"main",
         [](MainWindow *w) { w->on_pushButton_clicked(); },
         {{146, 298, 0xc73939, 0xfdf9f9},
          {842, 531, 0x3c4046, 0xabacad},
          {758, 528, 0x4c5055, 0xc8c8c8},
          {387, 467, 0x2f3237, 0x2f3237},
          {32, 14, 0x3d4045, 0x797b7f},
          {36, 12, 0x7b7d81, 0x35383e},
          {115, 44, 0xc8c8c8, 0xc8c8c8},
          {135, 667, 0x111e2b, 0x5b9edf}, // MAIN lit: the main page is shown
          {40, 400, 0x1e2024, 0x1e2024}}},
        {"gain",
         [](MainWindow *w) { w->on_pushButton_2_clicked(); },
         {{861, 261, 0x32353b, 0x32353b},
          {183, 480, 0x858687, 0x858687}, // IN-B's "-36", facing the fader at -36 dB
          {142, 117, 0x373a40, 0x373a40},
          {753, 331, 0x4d5258, 0x4d5258}}},
        {"delay",
         [](MainWindow *w) { w->on_pushButton_3_clicked(); },
         {{297, 93, 0x181a1d, 0x595b5d},
          {803, 94, 0xffffff, 0x181a1d},
          {741, 96, 0xcacacb, 0xffffff},
          {670, 547, 0x464a50, 0x464a50},
          {277, 239, 0x5c6169, 0x5c6169}}},
        {"eq",
         [](MainWindow *w) { w->on_pushButton_6_clicked(); },
         {{773, 134, 0xffffff, 0xebebec},
          {784, 287, 0x42464c, 0xffffff},
          {753, 188, 0x67696e, 0x3d4046},
          {513, 202, 0x2e3237, 0x2e3237},
          {966, 160, 0x32353b, 0x32353b}}},
        {"geq",
         [](MainWindow *w) { w->on_pushButton_4_clicked(); },
         {{935, 90, 0x40444a, 0xadafb2},
          {124, 609, 0x68696c, 0x1e2024},
          {966, 609, 0xfcfcfc, 0x1e2024},
          {213, 186, 0xff2300, 0xff2300},
          {793, 480, 0x131317, 0x131317},
          {500, 300, 0x592300, 0x592300}}},
        {"limit",
         [](MainWindow *w) { w->on_pushButton_5_clicked(); },
         {{248, 113, 0x303338, 0xc8c8c8},
          {961, 105, 0x2c2f35, 0xbebfbf},
          {554, 96, 0x2c2f35, 0x53555a},
          {501, 445, 0x3e4248, 0x3e4248},
          {915, 85, 0x2c2f35, 0x2c2f35}}},
        {"peak",
         [](MainWindow *w) { w->on_pushButton_8_clicked(); },
         {{462, 77, 0xc8c8c8, 0x34383d},
          {421, 79, 0xbbbbbc, 0x7a7b7e},
          {647, 132, 0xa2a3a4, 0x2c2f35},
          {495, 560, 0x222528, 0x222528},
          {371, 583, 0x33373c, 0x33373c}}},
        {"programs",
         [](MainWindow *w) { w->on_pushButton_7_clicked(); },
         {{231, 599, 0xffffff, 0xffffff},
          {242, 422, 0xf2f2f2, 0x4f5154},
          {272, 499, 0xa4a5a7, 0x1e2024},
          {782, 143, 0x757575, 0xffffff},
          {506, 150, 0xc4c4c5, 0x1e2024},
          {470, 579, 0x7c7e82, 0x3e4248},
          {471, 579, 0x3e4248, 0x3e4248},
          {944, 166, 0x474b50, 0x42464c},
          {725, 144, 0xebebeb, 0xffffff},
          {726, 144, 0xefefef, 0x969696}}},
    };
    return table;
}

} // namespace

class TstStartupLooks : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup()
    {
        qApp->setStyleSheet(QString());
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }

    void looks_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<bool>("switched");
        QTest::newRow("English") << false << false;
        QTest::newRow("Chinese") << true << false;
        QTest::newRow("switched to Chinese") << true << true;
    }
    void looks()
    {
        QFETCH(bool, chinese);
        QFETCH(bool, switched);
        QVERIFY(linktest::writeconfig(chinese && !switched ? "chs" : "en"));
        const QString save = qEnvironmentVariable("DSP_LOOKS_DIR");

        std::unique_ptr<MainWindow> w(startmainwindow(4));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        if (switched)
            w->refreshAllLanText();
        for (const Page &page : pages()) {
            page.show(w.get());
            const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shot.size(), QSize(1014, 690));
            if (!save.isEmpty()) {
                shot.save(QStringLiteral("%1/%2_%3.png")
                              .arg(save, QLatin1String(page.name),
                                   switched  ? QLatin1String("sw")
                                   : chinese ? QLatin1String("zh")
                                             : QLatin1String("en")));
            }
            for (const Probe &p : page.probes) {
                const QRgb expected = chinese ? p.zh : p.en;
                const QRgb got = shot.pixel(p.x, p.y) & 0xffffff;
                if (!save.isEmpty())
                    qInfo("%s %d,%d 0x%06x", page.name, p.x, p.y, got);
                else if (got != expected)
                    QFAIL(qPrintable(QStringLiteral("%1 page at %2,%3: 0x%4, expected 0x%5")
                                         .arg(QLatin1String(page.name))
                                         .arg(p.x)
                                         .arg(p.y)
                                         .arg(got, 6, 16, QLatin1Char('0'))
                                         .arg(expected, 6, 16, QLatin1Char('0'))));
            }
        }
    }
};

QTEST_MAIN(TstStartupLooks)
#include "tst_startuplooks.moc"
