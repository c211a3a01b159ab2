#include "dialogabout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstDialogAbout : public QObject
{
    Q_OBJECT
private:
    static QLabel *label(DialogAbout &d, const char *name)
    {
        return d.findChild<QLabel *>(QLatin1String(name));
    }

private slots:
    void brandbyvariant_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("logo");
        QTest::newRow("0") << 0 << "MR700-MR500-MR300" << QString();
        QTest::newRow("1") << 1 << "Digital Loudspeaker Management" << QString();
        QTest::newRow("2") << 2 << "NOVRAX"
                           << "image: url(:/logpic/marvik2.png);";
        QTest::newRow("3") << 3 << "ZELK220"
                           << "image: url(:/logpic/marvik2.png);";
        QTest::newRow("4") << 4 << "QUB150-QUB350"
                           << "image: url(:/logpic/coriol.png);";
        QTest::newRow("5 keeps the form's title") << 5 << "Digital Loudspeaker Management" << QString();
        QTest::newRow("-1 keeps the form's title") << -1 << "Digital Loudspeaker Management" << QString();
    }
    void brandbyvariant()
    {
        QFETCH(int, variant);
        QFETCH(QString, title);
        QFETCH(QString, logo);
        DialogAbout d(nullptr, variant, QStringLiteral("V1.0.4M"));
        QCOMPARE(label(d, "label")->text(), title);
        QLabel *logolabel = label(d, "label_logo");
        QVERIFY(logolabel);
        QCOMPARE(logolabel->styleSheet(), logo);
        QVERIFY(logolabel->text().isEmpty());
        QVERIFY(logolabel->isVisibleTo(&d));
        // The logo sits left of the version block in every variant.
        QCOMPARE(logolabel->geometry(), QRect(60, 100, 160, 32));
        // Texts that do not depend on the variant.
        QCOMPARE(label(d, "label_5")->text(), QStringLiteral("Version:V1.0.4M"));
        QCOMPARE(label(d, "label_7")->text(), QStringLiteral("rev: 2401121427"));
        QVERIFY(!label(d, "label_2")->text().isEmpty());
    }

    void form()
    {
        DialogAbout d(nullptr, 4, QStringLiteral("V1.0.4M"));
        QCOMPARE(d.windowTitle(), QStringLiteral("about"));
        QCOMPARE(d.size(), QSize(460, 205));
        QLabel *title = label(d, "label");
        QCOMPARE(title->geometry(), QRect(0, 20, 460, 31));
        QCOMPARE(title->font().family(), QStringLiteral("Arial"));
        QCOMPARE(title->font().pointSize(), 15);
        QCOMPARE(title->alignment(), Qt::AlignCenter);
        QCOMPARE(label(d, "label_5")->geometry(), QRect(268, 79, 141, 16));
        QCOMPARE(label(d, "label_2")->geometry(), QRect(268, 110, 141, 16));
        QCOMPARE(label(d, "label_7")->geometry(), QRect(268, 140, 141, 16));
        QCOMPARE(label(d, "label_2")->textInteractionFlags(), Qt::TextSelectableByKeyboard);
        QWidget *back = d.findChild<QWidget *>(QStringLiteral("widget_23"));
        QVERIFY(back);
        QCOMPARE(back->styleSheet(), QStringLiteral("background-image: url(:/back/skin/geqback.png);"));
    }

    // The version is whatever the build passes, joined without a blank.
    void versiontext()
    {
        DialogAbout d(nullptr, 4, QStringLiteral("V2.0"));
        QCOMPARE(label(d, "label_5")->text(), QStringLiteral("Version:V2.0"));
    }

    // Run modally, both buttons close the box.
    void buttonsclose_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << int(QDialogButtonBox::Ok) << int(QDialog::Accepted);
        QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << int(QDialog::Rejected);
    }
    void buttonsclose()
    {
        QFETCH(int, button);
        QFETCH(int, result);
        QWidget parent;
        DialogAbout d(&parent, 4, QStringLiteral("V1.0.4M"));
        QDialogButtonBox *box = d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QVERIFY(box);
        QPushButton *b = box->button(QDialogButtonBox::StandardButton(button));
        QVERIFY(b);
        bool modal = false;
        QTimer::singleShot(0, &d, [&] {
            modal = d.isVisible() && d.isModal();
            b->click();
        });
        QCOMPARE(d.exec(), result);
        QVERIFY(modal);
        QVERIFY(d.isHidden());
    }
};

QTEST_MAIN(TstDialogAbout)
#include "tst_dialogabout.moc"
