// The link and copy dialogs without a processor: link groups from masks and
// back (worked by hand), what each device type shows, the copy dialog's
// destination coupling, the failure boxes and the texts of both languages.

#include "dialogcopy.h"
#include "dialogfixture.h"
#include "dialoglink.h"
#include "programimage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using Masks = QVector<int>;

class TstLinkCopy : public QObject
{
    Q_OBJECT
    BareApp fx;
    MainApp *&app = fx.app;
    GlobalContrl *&lang = fx.lang;

    // The twelve link masks of the current device, through its program image.
    void setmasks(const Masks &masks)
    {
        DeviceData *d = app->getcurdevice();
        for (int c = 0; c < 12; ++c)
            d->setcurimagebyte(kImageLinkMask + c, masks[c]);
        d->unpackprogram();
    }
    template <typename T = QWidget> static T *child(QWidget &w, const QString &name)
    {
        T *t = w.findChild<T *>(name);
        if (!t)
            qFatal("no widget %s", qPrintable(name));
        return t;
    }
    static QRadioButton *radio(QWidget &w, const QString &name) { return child<QRadioButton>(w, name); }

private slots:
    void init() { fx.make(); }
    void cleanup() { fx.free(); }

    // The rows each channel is shown in for its masks, and the masks sent
    // back for those rows.
    void masks_data()
    {
        QTest::addColumn<Masks>("masks");
        QTest::addColumn<Masks>("rows");
        QTest::addColumn<Masks>("sent");
        QTest::newRow("inputs alone") << Masks{1, 2, 4, 8} << Masks{0, 1, 2, 3} << Masks{1, 2, 4, 8};
        QTest::newRow("A and B shared") << Masks{3, 3, 4, 8} << Masks{0, 0, 2, 3} << Masks{3, 3, 4, 8};
        QTest::newRow("B claims itself too") << Masks{1, 3, 4, 8} << Masks{0, 1, 2, 3} << Masks{1, 2, 4, 8};
        QTest::newRow("nobody claims A") << Masks{2, 2, 4, 8} << Masks{0, 0, 2, 3} << Masks{3, 3, 4, 8};
        QTest::newRow("stray bit 4 of an input")
            << Masks{0x11, 2, 4, 8} << Masks{0, 1, 2, 3} << Masks{1, 2, 4, 8};
        QTest::newRow("C and D with A")
            << Masks{0xD, 2, 0xD, 0xD} << Masks{0, 1, 0, 0} << Masks{0xD, 2, 0xD, 0xD};
        QTest::newRow("two output pairs")
            << Masks{1, 0x22, 4, 0x48, 16, 0x22, 0x48, 128} << Masks{0, 1, 2, 3, 4, 1, 3, 7}
            << Masks{1, 0x22, 4, 0x48, 16, 0x22, 0x48, 128};
    }
    void masks()
    {
        QFETCH(Masks, masks);
        QFETCH(Masks, rows);
        QFETCH(Masks, sent);
        QVector<int> bits = masks;
        if (bits.size() == 4)
            for (int &m : bits)
                m &= 0x0F; // what loading reads of an input byte
        QCOMPARE(DialogLink::rowsfrommasks(bits), rows);
        QCOMPARE(DialogLink::masksfromrows(rows), sent);
    }

    // Through the dialog: the device's masks shown, then sent unchanged or as
    // clean groups; the channels a type lacks are hidden but still sent.
    void dialogmasks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Masks>("masks");
        QTest::addColumn<QString>("hex");
        QTest::newRow("24, shared groups")
            << 0x18 << Masks{3, 3, 0xC, 0xC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}
            << "03030c0cffffffffffffffff";
        QTest::newRow("22") << 0x16 << Masks{5, 2, 5, 8, 1, 2, 4, 8, 0x30, 0x30, 64, 128}
                            << "050205080102040830304080";
        QTest::newRow("20") << 0x14 << Masks{3, 3, 4, 8, 1, 0xA, 4, 0xA, 16, 32, 64, 128}
                            << "03030408010a040a10204080";
    }
    void dialogmasks()
    {
        QFETCH(int, type);
        QFETCH(Masks, masks);
        QFETCH(QString, hex);
        setmasks(masks);
        DialogLink d;
        d.loadlinkmasks(uchar(type));
        QCOMPARE(d.maskhex(), hex);
        const int ni = type == 0x16 ? 3 : type == 0x14 ? 2 : 4;
        const int no = type == 0x16 ? 6 : type == 0x14 ? 4 : 8;
        for (int c = 1; c <= 4; ++c)
            for (int r = 1; r <= 4; ++r)
                QCOMPARE(radio(d, QStringLiteral("rblink%1%2").arg(QChar('a' + c - 1)).arg(r))->isHidden(),
                         c > ni || r > ni);
        for (int c = 1; c <= 8; ++c)
            for (int r = 1; r <= 8; ++r)
                QCOMPARE(radio(d, QStringLiteral("rblinko%1%2").arg(c).arg(r))->isHidden(), c > no || r > no);
    }

    // The destination follows the source to the next channel the type has,
    // wrapping, never the source itself and never a hidden one.
    void coupling_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::newRow("24") << 0x18 << 4 << 8;
        QTest::newRow("22") << 0x16 << 3 << 6;
        QTest::newRow("20") << 0x14 << 2 << 4;
    }
    void coupling()
    {
        QFETCH(int, type);
        QFETCH(int, inputs);
        QFETCH(int, outputs);
        DialogCopy d;
        // A fresh dialog: In A onto In B, Out1 onto Out2.
        QCOMPARE(d.inputsource(), 0x00);
        QCOMPARE(d.inputdestination(), 0x01);
        QCOMPARE(d.outputsource(), 0x10);
        QCOMPARE(d.outputdestination(), 0x11);
        QVERIFY(!radio(d, "rbcopya1")->isEnabled());
        QVERIFY(!radio(d, "rbcopyout11")->isEnabled());
        d.initcopy(uchar(type));
        const char letters[] = "abcd";
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(radio(d, QStringLiteral("rbcopy%1").arg(letters[k]))->isHidden(), k >= inputs);
            QCOMPARE(radio(d, QStringLiteral("rbcopy%1").arg(letters[k]) + "1")->isHidden(), k >= inputs);
        }
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(radio(d, QStringLiteral("rbcopyout%1").arg(k + 1))->isHidden(), k >= outputs);
            QCOMPARE(radio(d, QStringLiteral("rbcopyout%1").arg(k + 1) + "1")->isHidden(), k >= outputs);
        }
        for (int k = 0; k < inputs; ++k) {
            radio(d, QStringLiteral("rbcopy%1").arg(letters[k]))->click();
            QCOMPARE(d.inputsource(), k);
            QCOMPARE(d.inputdestination(), (k + 1) % inputs);
            QVERIFY(!radio(d, QStringLiteral("rbcopy%1").arg(letters[k]) + "1")->isEnabled());
        }
        for (int k = 0; k < outputs; ++k) {
            radio(d, QStringLiteral("rbcopyout%1").arg(k + 1))->click();
            QCOMPARE(d.outputsource(), 0x10 + k);
            QCOMPARE(d.outputdestination(), 0x10 + (k + 1) % outputs);
            QVERIFY(!radio(d, QStringLiteral("rbcopyout%1").arg(k + 1) + "1")->isEnabled());
        }
        // A click on the selected source moves a changed destination back.
        radio(d, "rbcopyout11")->click();
        radio(d, QStringLiteral("rbcopyout%1").arg(outputs))->click();
        QCOMPARE(d.outputdestination(), 0x10);
        radio(d, QStringLiteral("rbcopyout21"))->click();
        QCOMPARE(d.outputdestination(), 0x11);
        radio(d, QStringLiteral("rbcopyout%1").arg(outputs))->click();
        QCOMPARE(d.outputdestination(), 0x10);
        // Numbers outside the channels change nothing.
        const int in = d.inputdestination(), out = d.outputdestination();
        for (int n : {0, 5, -1})
            d.updatecopyradiobtns(n);
        for (int n : {0, 9, 100})
            d.updatecopyradiooutbtns(n);
        QCOMPARE(d.inputdestination(), in);
        QCOMPARE(d.outputdestination(), out);
    }

    // A processor that never answers: each dialog's own failure box in the
    // language of the moment (no port is open, so nothing reaches a line).
    void failureboxes_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::newRow("link, English") << 0 << "pushButton_link_2"
                                       << "Set Link Failed|please try again";
        QTest::newRow("link, Chinese") << 1 << "pushButton_link_2"
                                       << "设置链接失败|请重试";
        QTest::newRow("copy, English") << 0 << "inputcopy"
                                       << "Copy Data Failed|please try again";
        QTest::newRow("copy, Chinese") << 1 << "inputcopy_2"
                                       << "拷贝数据失败|请重试";
        QTest::newRow("output copy without a link") << 0 << "no link"
                                                    << "Can't Copy Data|Please Connect First";
    }
    void failureboxes()
    {
        QFETCH(int, language);
        QFETCH(QString, button);
        QFETCH(QString, box);
        lang->setlanguage(language);
        MainApp::settimescale(0.001);
        ScriptedPrompts prompts;
        app->getcurdevice()->setcomconnected(button == "no link" ? 0 : 1);
        std::unique_ptr<QDialog> d(button == "pushButton_link_2" ? static_cast<QDialog *>(new DialogLink)
                                                                 : new DialogCopy);
        child<QPushButton>(*d, button == "no link" ? QStringLiteral("inputcopy_2") : button)->click();
        MainApp::settimescale(1);
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown.first().kind, QString("critical"));
        QCOMPARE(prompts.shown.first().title + '|' + prompts.shown.first().text, box);
        QCOMPARE(prompts.shown.first().parent, static_cast<QWidget *>(d.get()));
        QVERIFY(!QApplication::overrideCursor());
    }

    // Captions follow the language; row and column labels stay English.
    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("link");
        QTest::addColumn<QStringList>("copy");
        // Link: title, the three group titles, EXIT, the set button. Copy:
        // title, the three group titles, both sources, both destinations,
        // the two copy buttons, EXIT.
        QTest::newRow("English") << 0 << QStringList{"Set Link", "Link Control", "In Link",
                                                     "Out Link", "EXIT",         "Set Link"}
                                 << QStringList{"Set Copy",   "Copy Control", "IN PUT",      "OUT PUT",
                                                "Source",     "Source",       "Destination", "Destination",
                                                "Input Copy", "Output Copy",  "EXIT"};
        QTest::newRow("Chinese") << 1 << QStringList{"设置链接", "链接控制", "输入链接",
                                                     "输出链接", "退出",     "设置链接"}
                                 << QStringList{"拷贝设置", "拷贝控制", "输入", "输出",
                                                "资源",     "资源",     "目标", "目标",
                                                "拷贝输入", "拷贝输出", "退出"};
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(QStringList, link);
        QFETCH(QStringList, copy);
        lang->setlanguage(language);
        DialogLink l;
        QCOMPARE((QStringList{l.windowTitle(), child<QGroupBox>(l, "groupBox_7")->title(),
                              child<QGroupBox>(l, "groupBox_10")->title(),
                              child<QGroupBox>(l, "groupBox_11")->title(),
                              child<QPushButton>(l, "pushButton_close")->text(),
                              child<QPushButton>(l, "pushButton_link_2")->text()}),
                 link);
        QCOMPARE(child<QLabel>(l, "label_38")->text(), QString("Link3"));
        DialogCopy c;
        QCOMPARE((QStringList{
                     c.windowTitle(), child<QGroupBox>(c, "groupBox_6")->title(),
                     child<QGroupBox>(c, "groupBox_8")->title(), child<QGroupBox>(c, "groupBox_9")->title(),
                     child<QLabel>(c, "label_12")->text(), child<QLabel>(c, "label_20")->text(),
                     child<QLabel>(c, "label_14")->text(), child<QLabel>(c, "label_21")->text(),
                     child<QPushButton>(c, "inputcopy")->text(), child<QPushButton>(c, "inputcopy_2")->text(),
                     child<QPushButton>(c, "pushButton_copy")->text()}),
                 copy);
    }
};

QTEST_MAIN(TstLinkCopy)
#include "tst_linkcopy.moc"
