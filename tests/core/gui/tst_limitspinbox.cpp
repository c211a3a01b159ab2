// The number box of the gain fields (-40.0 .. 12.0 dB, one decimal): what it
// lets a user type, and the value it takes from the text on Return, through
// real key presses into the box; in English and in a locale that writes a
// decimal comma.

#include "limitspinbox.h"

#include <QLineEdit>
#include <QTest>

class TstLimitSpinBox : public QObject
{
    Q_OBJECT

private slots:
    // Keys typed over the selected "0.0", then Return: the text the box
    // holds before Return, and its value and text after.
    void typed_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typed"); // before Return
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown"); // after Return
        QTest::newRow("in range") << "C"
                                  << "-12.3"
                                  << "-12.3" << -12.3 << "-12.3";
        QTest::newRow("below: the bottom") << "C"
                                           << "-45"
                                           << "-45" << -40.0 << "-40.0";
        QTest::newRow("above: the top") << "C"
                                        << "13"
                                        << "13" << 12.0 << "12.0";
        QTest::newRow("far above, many digits") << "C"
                                                << "123456789012345678901234567890"
                                                << "123456789012345678901234567890" << 12.0 << "12.0";
        QTest::newRow("310 digits: no double holds it")
            << "C" << QString(310, QLatin1Char('9')) << QString(310, QLatin1Char('9')) << 12.0 << "12.0";
        QTest::newRow("second decimal: toward zero") << "C"
                                                     << "-12.36"
                                                     << "-12.36" << -12.3 << "-12.3";
        QTest::newRow("second decimal below the bottom") << "C"
                                                         << "-40.05"
                                                         << "-40.05" << -40.0 << "-40.0";
        QTest::newRow("plus sign") << "C"
                                   << "+5"
                                   << "+5" << 5.0 << "5.0";
        QTest::newRow("no whole part") << "C"
                                       << ".5"
                                       << ".5" << 0.5 << "0.5";
        QTest::newRow("letters refused") << "C"
                                         << "1a2"
                                         << "12" << 12.0 << "12.0";
        QTest::newRow("exponent refused") << "C"
                                          << "1e3"
                                          << "13" << 12.0 << "12.0";
        QTest::newRow("a sign alone: the value before") << "C"
                                                        << "-"
                                                        << "-" << 0.0 << "0.0";
        QTest::newRow("a point alone: the value before") << "C"
                                                         << "."
                                                         << "." << 0.0 << "0.0";
        QTest::newRow("decimal comma, below") << "de_DE"
                                              << "-45,5"
                                              << "-45,5" << -40.0 << "-40,0";
        QTest::newRow("decimal comma, tenths toward zero") << "de_DE"
                                                           << "3,37"
                                                           << "3,37" << 3.3 << "3,3";
    }
    void typed()
    {
        QFETCH(QString, locale);
        QFETCH(QString, keys);
        QFETCH(QString, typed);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QWidget window;
        LimitSpinBox box(&window);
        box.setLocale(QLocale(locale));
        box.setDecimals(1);
        box.setRange(-40.0, 12.0);
        box.setValue(0.0);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box.setFocus();
        box.selectAll();
        QTest::keyClicks(&box, keys);
        QCOMPARE(box.findChild<QLineEdit *>()->text(), typed);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.value(), value);
        QCOMPARE(box.text(), shown);
    }
};

QTEST_MAIN(TstLimitSpinBox)
#include "tst_limitspinbox.moc"
