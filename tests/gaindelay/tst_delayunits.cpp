// The delay units on their own: the worked texts of sample counts, the sample
// counts of typed entries in every unit (limits, rounding edges, negative and
// unreadable entries), the limit texts and names, and the millisecond round
// trip over the whole range.

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
        const struct {
            int s;
            const char *ms, *m, *ft;
        } rows[] = {
            {0, "0.00", "0.00", "0.00"},
            {1, "0.02", "0.01", "0.03"},
            {2, "0.04", "0.01", "0.03"},
            {3, "0.06", "0.02", "0.07"},
            {48, "1.00", "0.34", "1.12"},
            {100, "2.08", "0.72", "2.36"},
            {480, "10.00", "3.44", "11.29"},
            {1000, "20.83", "7.17", "23.52"},
            {4800, "100.00", "34.44", "112.99"},
            {24000, "500.00", "172.21", "564.99"},
            {47999, "999.98", "344.42", "1129.99"},
            {48000, "1000.00", "344.43", "1130.02"},
        };
        for (const auto &r : rows)
            QTest::addRow("%d", r.s) << r.s << r.ms << r.m << r.ft;
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
        const struct {
            const char *text;
            int unit;
            bool ok;
            int s;
        } rows[] = {
            {"10", 0, true, 480},
            {"0.02", 0, true, 1},
            {"0.01", 0, true, 0},
            {"0.014", 0, true, 0},
            {"0.015", 0, true, 0},
            {"0.016", 0, true, 1},
            {"0.019", 0, true, 1},
            {"2.08", 0, true, 100},
            {"2.09", 0, true, 100},
            {"999.99", 0, true, 48000},
            {"1000", 0, true, 48000},
            {"1000.01", 0, true, 48000},
            {"1000.02", 0, true, 48001},
            {"-5", 0, true, -239},
            {" 10 ", 0, true, 480},
            {"1", 1, true, 139},
            {"344.43", 1, true, 48000},
            {"344.44", 1, true, 48002},
            {"1", 2, true, 42},
            {"1130.02", 2, true, 48000},
            {"1130.03", 2, true, 48001},
            {"1130.05", 2, true, 48002},
            // Not a number, or no unit: no count at all.
            {"", 0, false, 0},
            {"abc", 1, false, 0},
            {"1,5", 2, false, 0},
            {"inf", 0, false, 0},
            {"nan", 0, false, 0},
            {"10", 3, false, 0},
            {"10", -1, false, 0},
        };
        for (const auto &r : rows)
            QTest::addRow("'%s' unit %d", r.text, r.unit)
                << QString::fromLatin1(r.text) << r.unit << r.ok << r.s;
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

    // The limit texts equal the texts of 48000 samples; names in both languages.
    void limitsandnames()
    {
        const Texts top = textsof(kMaxSamples);
        const QStringList limits{top.ms, top.metres, top.feet};
        const QStringList en{"Millisecond", "Metre", "Feet"};
        const QStringList zh{QStringLiteral("毫秒"), QStringLiteral("米"), QStringLiteral("英尺")};
        for (int u = 0; u < kUnitCount; ++u) {
            QCOMPARE(limittext(u), limits[u]);
            QCOMPARE(unitname(u, 0), en[u]);
            QCOMPARE(unitname(u, 1), zh[u]);
        }
        QCOMPARE(limittext(0), QStringLiteral("1000.00"));
        QCOMPARE(limittext(3), QString());
        QCOMPARE(unitname(-1, 0), QString());
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
