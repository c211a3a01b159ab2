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
        QTest::newRow("4") << 4 << "QUB150-QUB350"
                           << "image: url(:/logpic/coriol.png);";
        QTest::newRow("5 keeps the form's title") << 5 << "Digital Loudspeaker Management" << QString();
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
        QCOMPARE(label(d, "label_5")->text(), QStringLiteral("Version:V1.0.4M"));
        QCOMPARE(label(d, "label_7")->text(), QStringLiteral("rev: 2401121427"));
        QCOMPARE(logolabel->geometry(), QRect(60, 100, 160, 32));
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
