// The delay units on their own: the worked texts of sample counts, the sample
// counts of typed entries in every unit (limits, rounding edges, negative and
// unreadable entries), the limit texts, and the millisecond round trip over
// the whole range.

#include "delayunits.h"

#include <QTest>

using namespace delayunits;

class TstDelayUnits : public QObject
{
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("ms");
        QTest::addColumn<QString>("metres");
        QTest::addColumn<QString>("feet");
        auto row = [](int s, const char *ms, const char *m, const char *ft) {
            QTest::addRow("%d", s) << s << QString(ms) << QString(m) << QString(ft);
        };
        row(0, "0.00", "0.00", "0.00");
        row(1, "0.02", "0.01", "0.03");
        row(3, "0.06", "0.02", "0.07");
        row(48, "1.00", "0.34", "1.12");
        row(100, "2.08", "0.72", "2.36");
        row(480, "10.00", "3.44", "11.29");
        row(1000, "20.83", "7.17", "23.52");
        row(47999, "999.98", "344.42", "1129.99");
        row(48000, "1000.00", "344.43", "1130.02");
    }
    void texts()
    {
        QFETCH(int, samples);
        QFETCH(QString, ms);
        QFETCH(QString, metres);
        QFETCH(QString, feet);
        const Texts t = textsof(samples);
        QCOMPARE(t.ms, ms);
        QCOMPARE(t.metres, metres);
        QCOMPARE(t.feet, feet);
        QCOMPARE(t.of(Milliseconds), ms);
        QCOMPARE(t.of(Metres), metres);
        QCOMPARE(t.of(Feet), feet);
        QCOMPARE(t.of(3), QString());
        QCOMPARE(QString::number(double(t.msvalue), 'f', 2), ms);
    }

    void entries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("samples");
        auto row = [](const char *text, int unit, bool ok, int s) {
            QTest::addRow("'%s' unit %d", text, unit) << QString(text) << unit << ok << s;
        };
        row("10", 0, true, 480);
        row("0.02", 0, true, 1);
        row("0.015", 0, true, 0);
        row("0.016", 0, true, 1);
        row("2.08", 0, true, 100);
        row("2.09", 0, true, 100);
        row("999.99", 0, true, 48000);
        row("1000.01", 0, true, 48000);
        row("1000.02", 0, true, 48001);
        row("-5", 0, true, -239);
        row(" 10 ", 0, true, 480);
        row("1", 1, true, 139);
        row("344.43", 1, true, 48000);
        row("344.44", 1, true, 48002);
        row("1", 2, true, 42);
        row("1130.02", 2, true, 48000);
        row("1130.03", 2, true, 48001);
        // Not a number, or no unit: no count at all.
        row("", 0, false, 0);
        row("abc", 1, false, 0);
        row("1,5", 2, false, 0);
        row("inf", 0, false, 0);
        row("nan", 0, false, 0);
        row("10", 3, false, 0);
        row("10", -1, false, 0);
    }
    void entries()
    {
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(bool, ok);
        QFETCH(int, samples);
        bool read = !ok;
        QCOMPARE(samplesof(text, unit, &read), samples);
        QCOMPARE(read, ok);
    }

    // Huge entries stay far out of range on their own side, for the page to clamp.
    void hugeentries()
    {
        bool ok = false;
        QVERIFY(samplesof(QStringLiteral("1e30"), Feet, &ok) > kMaxSamples);
        QVERIFY(ok);
        QVERIFY(samplesof(QStringLiteral("-1e30"), Milliseconds, &ok) < 0);
        QVERIFY(ok);
    }

    // The limit texts are the texts of 48000 samples; a unit out of range has
    // neither limit nor name.
    void limits()
    {
        const Texts top = textsof(kMaxSamples);
        for (int u = 0; u < kUnitCount; ++u)
            QCOMPARE(limittext(u), top.of(u));
        QCOMPARE(limittext(3), QString());
        QCOMPARE(unitname(-1, 0), QString());
        QCOMPARE(unitname(3, 1), QString());
    }

    // Every sample count survives its millisecond text.
    void millisecondroundtrip()
    {
        for (int s = 0; s <= kMaxSamples; ++s) {
            bool ok = false;
            const int back = samplesof(textsof(s).ms, Milliseconds, &ok);
            if (!ok || back != s)
                QFAIL(qPrintable(QStringLiteral("%1 samples came back as %2").arg(s).arg(back)));
        }
    }
};

QTEST_APPLESS_MAIN(TstDelayUnits)
#include "tst_delayunits.moc"
