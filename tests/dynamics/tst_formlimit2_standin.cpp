// The peak-limiter page against the processor stand-in; frames worked by hand
// for type 0x18, address 1.

#include "limit2fixture.h"
#include "standin.h"
#include "standinlink.h"
#include "typedkeys.h"

#include <QRandomGenerator>

#include <functional>

namespace
{

using Kind = FormLimit2::Kind;
const QByteArray kOwnMasks = hex("0102040810204080");

using Action = std::function<void(Limit2Fixture &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TstFormLimit2Standin : public QObject, public StandinLink
{
    Q_OBJECT
    Limit2Fixture f;

    QByteArray peakimage() const { return s.state(unit).image.mid(kImagePeakLimiter, 40); }
    QByteArray peakmodel() const { return Limit2Fixture::packed(f.dev).mid(kImagePeakLimiter, 40); }

    void start(const QByteArray &masks, const std::function<void(DeviceData *)> &change = nullptr)
    {
        f.setoutputmasks(masks);
        if (change)
            change(f.dev);
        const QByteArray image = Limit2Fixture::packed(f.dev);
        s.update(unit, [&](standin::UnitState &u) { u.image = image; });
        f.page->updatelimitview2(0);
        f.ticks(5);
        sent();
    }

private slots:
    void initTestCase()
    {
        MainApp::settimescale(0.05);
        QVERIFY2(openline(), qPrintable(s.errorstring()));
    }
    void cleanupTestCase() { closeline(); }
    void init()
    {
        f.setup(1);
        gMainApp->setcomctrl(&ctrl);
        Limit2Fixture::setimagebytes(f.dev, 0, standin::poweronimagefor());
        f.dev->setcomconnected(1);
        f.showpage();
        f.stopthrottle();
    }
    void cleanup() { f.teardown(); }

    void edits_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<Action>("setup");
        QTest::addColumn<Action>("edit");
        QTest::addColumn<QString>("expected");
        const Action none = [](Limit2Fixture &) {};
        QTest::newRow("worked vector: OUT3 threshold up to 0.0 dBu")
            << kOwnMasks << Action([](Limit2Fixture &f) {
                   f.dev->setpeaklimiton(2, 1);
                   f.dev->setpeaklimita(2, 10);
                   f.dev->setpeaklimitb(2, 4);
                   f.dev->setpeaklimitvalue(2, 199);
               })
            << Action([](Limit2Fixture &f) { f.stepbutton(T, 2, true)->click(); })
            << "112233180131061201c8000a0421445566";
        QTest::newRow("OUT1 switched on")
            << kOwnMasks << none << Action([](Limit2Fixture &f) { f.enable(0)->click(); })
            << "112233180131061001900101015c445566";
        QTest::newRow("OUT2, OUT5, OUT8 linked: OUT5 attack dragged, sent for OUT8")
            << hex("0192040892204092") << none << Action([](Limit2Fixture &f) {
                   f.slider(A, 4)->setFocus();
                   f.slider(A, 4)->setValue(40);
               })
            << "1122331801310617009001280109445566";
        QTest::newRow("OUT2 and OUT8 linked: typed into OUT8's attack")
            << hex("0182040810204082") << none << Action([](Limit2Fixture &f) { f.type(A, 7, "25ms"); })
            << "112233180131061700900119017a445566";
        QTest::newRow("OUT1 switched off with OUT3 and OUT8: sent for OUT1")
            << hex("8502850810204085") << Action([](Limit2Fixture &f) {
                   for (int o = 0; o < 8; ++o)
                       f.dev->setpeaklimiton(o, 1);
               })
            << Action([](Limit2Fixture &f) { f.enable(0)->click(); }) << "112233180131061000900101015b445566";
        QTest::newRow("OUT2 and OUT4 linked: threshold typed into OUT2, sent once for OUT4")
            << hex("010a040a10204080") << none << Action([](Limit2Fixture &f) { f.type(T, 1, "0"); })
            << "112233180131061300c800010115445566";
        QTest::newRow("highest member already at the value: still sent for it")
            << hex("0182040810204082") << Action([](Limit2Fixture &f) { f.dev->setpeaklimita(7, 40); })
            << Action([](Limit2Fixture &f) { f.type(A, 1, "40"); }) << "1122331801310617009001280109445566";
        QTest::newRow("OUT2 then OUT1 within one window: both, ascending")
            << kOwnMasks << none << Action([](Limit2Fixture &f) {
                   f.stepbutton(A, 1, true)->click();
                   f.enable(0)->click();
               })
            << "112233180131061001900101015c445566, 112233180131061100900102015d445566";
        QTest::newRow("no link") << kOwnMasks << none << Action([](Limit2Fixture &f) {
            f.dev->setcomconnected(0);
            f.enable(0)->click();
        }) << "";
        QTest::newRow("loading flag set") << kOwnMasks << none << Action([](Limit2Fixture &f) {
            gMainApp->peaklimitloading = 1;
            f.enable(0)->click();
            f.ticks(5);
            gMainApp->peaklimitloading = 0;
        }) << "";
    }
    void edits()
    {
        QFETCH(QByteArray, masks);
        QFETCH(Action, setup);
        QFETCH(Action, edit);
        QFETCH(QString, expected);
        start(masks, [&](DeviceData *) { setup(f); });
        const QByteArray before = peakimage();
        edit(f);
        f.ticks(5);
        QCOMPARE(sent(), frames(expected));
        if (expected.isEmpty())
            QCOMPARE(peakimage(), before);
        else
            QCOMPARE(peakimage().toHex(), peakmodel().toHex());
    }

    // A number typed key by key, then Return, into an output whose record is
    // off, threshold 0.0 dBu, attack 10, release 200 ms: beyond its range it
    // gives the nearest end, whatever its length; a text that is no number
    // sends nothing and the entry shows the value again.
    void typedlimits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("o");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("text"); // the entry after
        QTest::newRow("OUT1 threshold -45: the bottom") << int(T) << 0 << "-45"
                                                        << "11223318013106100000000a0456445566"
                                                        << "-20.0dBu";
        QTest::newRow("OUT3 threshold 25: the top") << int(T) << 2 << "25"
                                                    << "11223318013106120090010a0469445566"
                                                    << "20.0dBu";
        QTest::newRow("OUT4 attack 500: the top") << int(A) << 3 << "500"
                                                  << "112233180131061300c80064047b445566"
                                                  << "100ms";
        QTest::newRow("OUT5 attack -3: the bottom") << int(A) << 4 << "-3"
                                                    << "112233180131061400c800010419445566"
                                                    << "1ms";
        QTest::newRow("OUT8 release 20 digits: the top") << int(R) << 7 << "99999999999999999999"
                                                         << "112233180131061700c8000a1435445566"
                                                         << "1000ms";
        QTest::newRow("OUT2 release 10: the bottom") << int(R) << 1 << "10"
                                                     << "112233180131061100c8000a011c445566"
                                                     << "50ms";
        QTest::newRow("OUT6 threshold not a number") << int(T) << 5 << "x1"
                                                     << ""
                                                     << "0.0dBu";
    }
    void typedlimits()
    {
        QFETCH(int, kind);
        QFETCH(int, o);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QFETCH(QString, text);
        start(kOwnMasks, [&](DeviceData *d) {
            d->setpeaklimitvalue(o, 200);
            d->setpeaklimita(o, 10);
            d->setpeaklimitb(o, 4);
        });
        const QByteArray before = peakimage();
        typedkeys::typekeys(f.entry(Kind(kind), o), keys);
        f.ticks(5);
        QCOMPARE(sent(), frames(expected));
        QCOMPARE(f.entry(Kind(kind), o)->text(), text);
        if (expected.isEmpty())
            QCOMPARE(peakimage(), before);
        else
            QCOMPARE(peakimage().toHex(), peakmodel().toHex());
    }

    // A download only shows what the processor holds: no 0x31 frame goes
    // back, whatever the rows showed before and however outputs are linked.
    void downloadsendsnothing_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::newRow("unlinked") << kOwnMasks;
        QTest::newRow("two groups") << hex("0192042892284092");
    }
    void downloadsendsnothing()
    {
        QFETCH(QByteArray, masks);
        start(masks);
        QRandomGenerator rng(7);
        for (int o = 0; o < 8; ++o) {
            f.dev->setpeaklimiton(o, rng.bounded(2));
            f.dev->setpeaklimita(o, 1 + rng.bounded(100));
            f.dev->setpeaklimitb(o, 1 + rng.bounded(20));
            f.dev->setpeaklimitvalue(o, rng.bounded(401));
        }
        const QByteArray downloaded = Limit2Fixture::packed(f.dev);
        s.update(unit, [&](standin::UnitState &u) { u.image = downloaded; });
        f.page->updatelimitview2(0);
        f.ticks(10);
        QCOMPARE(sent(0x31), QVector<QByteArray>());
        QCOMPARE(Limit2Fixture::packed(f.dev).toHex(), downloaded.toHex());
        for (int o = 0; o < 8; ++o)
            QCOMPARE(f.slider(A, o)->value(), f.dev->getpeaklimita(o));
    }

    void linkedfollowers()
    {
        start(hex("0192040892204092"), [](DeviceData *d) {
            for (int o = 0; o < 8; ++o)
                d->setpeaklimiton(o, 1);
        });
        f.type(T, 1, "-2.5");
        for (int o = 0; o < 8; ++o) {
            const bool member = o == 1 || o == 4 || o == 7;
            QCOMPARE(f.slider(T, o)->value(), member ? 175 : 400);
            QCOMPARE(f.entry(T, o)->text(), member ? QStringLiteral("-2.5dBu") : QStringLiteral("20.0dBu"));
            QCOMPARE(f.dev->getpeaklimitvalue(o), member ? 175 : 400);
            QCOMPARE(f.peaklabel(o), member ? QStringLiteral("-2.5dB") : QString("20.0dB"));
        }
        QCOMPARE(f.selected(), 1);
        f.ticks(5);
        QCOMPARE(sent(), frames("112233180131061701af00010101445566"));
        QCOMPARE(peakimage().toHex(), peakmodel().toHex());
    }

    void throttle()
    {
        start(kOwnMasks);
        f.stepbutton(R, 3, true)->click();
        QVector<QByteArray> got;
        for (int tick = 0; tick < 5 && got.isEmpty(); ++tick) {
            f.ticks(1);
            got = sent();
        }
        QCOMPARE(got, frames("112233180131061300900101025f445566"));
        f.stepbutton(R, 3, true)->click();
        f.ticks(4);
        QCOMPARE(sent(), QVector<QByteArray>());
        f.ticks(1);
        QCOMPARE(sent(), frames("1122331801310613009001010360445566"));
        f.ticks(2);
        for (int k = 0; k < 4; ++k)
            f.stepbutton(R, 3, true)->click();
        f.ticks(1);
        QCOMPARE(sent(), frames("1122331801310613009001010764445566"));
        for (QTimer *t : f.page->findChildren<QTimer *>())
            t->start();
        f.enable(3)->click();
        QTRY_COMPARE_WITH_TIMEOUT(s.commands(unit).size(), 1, 10000);
        QCOMPARE(s.commands(unit).at(0).bytes, hex("1122331801310613019001010765445566"));
    }

    void modelequalsprocessor_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<quint32>("seed");
        const QByteArray groups = hex("0192042892284092"); // {2, 5, 8}, {4, 6}
        for (quint32 seed : {1u, 2u, 3u}) {
            QTest::addRow("unlinked, seed %u", seed) << kOwnMasks << seed;
            QTest::addRow("two groups, seed %u", seed) << groups << seed;
        }
        QTest::addRow("all linked") << hex("ffffffffffffffff") << 4u;
        // Asymmetric masks, some without their own bit.
        for (quint32 seed : {5u, 6u, 7u, 8u})
            QTest::addRow("random masks, seed %u", seed) << randommasks(seed).mid(4) << seed;
    }
    void modelequalsprocessor()
    {
        QFETCH(QByteArray, masks);
        QFETCH(quint32, seed);
        start(masks);
        QRandomGenerator rng(seed);
        for (int op = 0; op < 150; ++op) {
            const int o = rng.bounded(8);
            const Kind k = Kind(rng.bounded(3));
            QSlider *sl = f.slider(k, o);
            switch (rng.bounded(4)) {
            case 0:
                f.enable(o)->click();
                break;
            case 1:
                sl->setFocus();
                sl->setValue(sl->minimum() + rng.bounded(sl->maximum() - sl->minimum() + 1));
                break;
            case 2:
                f.stepbutton(k, o, rng.bounded(2))->click();
                break;
            default: {
                const int v = sl->minimum() + rng.bounded(sl->maximum() - sl->minimum() + 1);
                f.type(k, o, FormLimit2::valuetext(k, v));
                break;
            }
            }
            f.ticks(rng.bounded(3));
        }
        f.ticks(5);
        sent();
        QCOMPARE(peakimage().toHex(), peakmodel().toHex());
        // Every row shows its output's model.
        for (int o = 0; o < 8; ++o) {
            const int held[3] = {f.dev->getpeaklimita(o), f.dev->getpeaklimitb(o),
                                 f.dev->getpeaklimitvalue(o)};
            for (int k = 0; k < 3; ++k) {
                const QSlider *sl = f.slider(Kind(k), o);
                QCOMPARE(sl->value(), qBound(sl->minimum(), held[k], sl->maximum()));
            }
            QCOMPARE(f.enable(o)->isChecked(), f.dev->getpeaklimiton(o) != 0);
        }
    }
};

QTEST_MAIN(TstFormLimit2Standin)
#include "tst_formlimit2_standin.moc"
