// The graphic EQ page against the processor stand-in on a pseudo-terminal
// (frames worked by hand for type 0x18, address 1). With DSP_SNAPSHOT_DIR set,
// the page is saved as PNGs; DSP_SNAPSHOT_HOLD (ms) keeps it on screen meanwhile.

#include "geqfixture.h"
#include "standin.h"
#include "standinlink.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <functional>

namespace
{

const QByteArray kOwnMasks = hex("010204080102040810204080");

using Action = std::function<void(GeqFixture &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TstFormGeqStandin : public QObject, public StandinLink
{
    Q_OBJECT
    GeqFixture f;

    // The graphic EQ of an image and the outputs' words: the inputs' words,
    // the bypass bytes, then the outputs' words.
    static QByteArray geqof(const QByteArray &image, const QVector<quint16> &outputs)
    {
        QByteArray out = image.mid(kImageGeq, 4 * kImageGeqStride) + image.mid(kImageBypass, 12);
        for (quint16 w : outputs)
            out += char(w & 0xFF), out += char(w >> 8);
        return out;
    }
    QByteArray processorgeq() const
    {
        const standin::UnitState u = s.state(unit);
        return geqof(u.image, u.outputGeq);
    }
    QByteArray modelgeq() const { return geqof(GeqFixture::packed(f.dev), GeqFixture::outputwords(f.dev)); }

    // Model and processor start from the same image with these link masks;
    // the page loads IN-A.
    void start(const QByteArray &masks, const std::function<void(DeviceData *)> &change = nullptr)
    {
        f.setmasks(masks);
        if (change)
            change(f.dev);
        const QByteArray image = GeqFixture::packed(f.dev);
        const QVector<quint16> outputs = GeqFixture::outputwords(f.dev);
        s.update(unit, [&](standin::UnitState &u) {
            u.image = image;
            u.outputGeq = outputs;
        });
        f.page->updategeqview(0);
        f.ticks(5);
        QCOMPARE(sent(), QVector<QByteArray>());
    }
    // "Set0" clicked with the page's own timers running, as in the program;
    // true when the click returned with the reset done.
    bool clicksetall()
    {
        for (QTimer *t : f.page->findChildren<QTimer *>())
            t->start();
        f.setall()->click();
        const bool done = !f.page->resetting();
        for (QTimer *t : f.page->findChildren<QTimer *>())
            t->stop();
        return done;
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
        MainApp::settimescale(0.05);
        f.setup(1);
        gMainApp->setcomctrl(&ctrl);
        GeqFixture::setimagebytes(f.dev, 0, standin::poweronimagefor());
        f.dev->setcomconnected(1);
        s.clearframes();
        f.showpage();
        f.stopthrottle();
    }
    void cleanup() { f.teardown(); }

    // One edit, then the throttle's five ticks: the frames on the line, and
    // the processor's graphic EQ equals the model's.
    void edits_data()
    {
        QTest::addColumn<Action>("edit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("worked vector: OUT2 band 17 to +2.5 dB") << Action([](GeqFixture &f) {
            f.channel(5)->click();
            f.slider(17)->setValue(325);
        }) << "11223318012104111145010e445566";
        QTest::newRow("bypass twice: the bit back, two commands") << Action([](GeqFixture &f) {
            f.bypass()->click();
            f.bypass()->click();
        }) << "11223318012202001035445566, 11223318012202000025445566";
        QTest::newRow("bands of three channels in one window: all, ascending")
            << Action([](GeqFixture &f) {
                   f.channel(1)->click();
                   f.slider(3)->setValue(310);
                   f.channel(0)->click();
                   f.slider(5)->setValue(290);
                   f.channel(4)->click();
                   f.slider(0)->setValue(450);
               })
            << "11223318012104000522014e445566, 112233180121040103360161445566, "
               "112233180121041000c20179445566";
        QTest::newRow("three changes on band 3, one on band 5: both bands") << Action([](GeqFixture &f) {
            for (int v : {301, 302, 303})
                f.slider(3)->setValue(v);
            f.slider(5)->setValue(305);
        }) << "1122331801210400032f0159445566, 11223318012104000531015d445566";
        QTest::newRow("no link") << Action([](GeqFixture &f) {
            f.dev->setcomconnected(0);
            f.slider(2)->setValue(310);
            f.pass(2)->click();
            f.bypass()->click();
        }) << "";
    }
    void edits()
    {
        QFETCH(Action, edit);
        QFETCH(QString, expected);
        start(kOwnMasks);
        const QByteArray before = processorgeq();
        edit(f);
        f.ticks(5);
        QCOMPARE(sent(), frames(expected));
        if (expected.isEmpty())
            QCOMPARE(processorgeq(), before);
        else
            QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
    }

    // A pass button sends its band at once, outside the throttle: the worked
    // vector's pass twin.
    void passatonce()
    {
        start(kOwnMasks, [](DeviceData *d) { d->setgeq(5, 17, 325, false); });
        f.channel(5)->click();
        QCOMPARE(f.page->pendingchanges(), 0);
        f.pass(17)->click();
        QCOMPARE(sent(), frames("11223318012104111145810e445566"));
        QCOMPARE(f.page->pendingchanges(), 0);
    }

    // Linked input channels change in the model only: one command, for the
    // channel shown; the reload of a partner sends nothing.
    void linkedinmodelonly()
    {
        start(hex("0b0b040b"
                  "0102040810204080")); // IN-A, IN-B, IN-D
        f.slider(7)->setValue(280);
        f.pass(7)->click();
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(f.dev->getgeqgain(c, 7), c == 2 ? 300 : 280);
            QCOMPARE(f.dev->getgeqpass(c, 7), c != 2);
        }
        f.ticks(5);
        const QVector<QByteArray> got = sent();
        QCOMPARE(got.size(), 2); // the pass at once, then the slider's change
        for (const QByteArray &frame : got)
            QCOMPARE(frame.mid(7, 2), hex("0007"));
        f.channel(1)->click();
        f.ticks(5);
        QCOMPARE(sent(), QVector<QByteArray>());
        QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
    }

    // Nothing leaves while the loading flag is up; the changes, a slider's
    // and a pass click's, are kept and leave at the first send point after it
    // drops.
    void loadingholds()
    {
        start(kOwnMasks);
        gMainApp->geqloading = 1;
        f.slider(2)->setValue(310);
        f.pass(6)->click();
        f.ticks(10);
        QCOMPARE(sent(), QVector<QByteArray>());
        gMainApp->geqloading = 0;
        f.ticks(5);
        QCOMPARE(sent(), frames("11223318012104000236015f445566, 1122331801210400062c8159445566"));
    }

    // A change waits for the fifth tick after the last send point.
    void fifthtick()
    {
        start(kOwnMasks);
        f.slider(2)->setValue(310);
        for (int k = 0; k < 5 && f.page->pendingchanges() > 0; ++k)
            f.ticks(1);
        QCOMPARE(f.page->pendingchanges(), 0); // a send point
        QCOMPARE(sent().size(), 1);
        f.slider(2)->setValue(311);
        f.ticks(4);
        QCOMPARE(sent(), QVector<QByteArray>());
        f.ticks(1);
        QCOMPARE(sent(), frames("112233180121040002370160445566"));
    }

    // Four changes pending go out at the next tick, wherever the cycle
    // stands; three wait for its fifth tick.
    void burst_data()
    {
        QTest::addColumn<int>("changes");
        QTest::addColumn<int>("ticks"); // until they leave
        QTest::newRow("three: the fifth tick") << 3 << 5;
        QTest::newRow("four: the next tick") << 4 << 1;
    }
    void burst()
    {
        QFETCH(int, changes);
        QFETCH(int, ticks);
        start(kOwnMasks);
        f.slider(9)->setValue(310);
        for (int k = 0; k < 5 && f.page->pendingchanges() > 0; ++k)
            f.ticks(1);
        QCOMPARE(f.page->pendingchanges(), 0); // a send point
        QCOMPARE(sent().size(), 1);
        for (int band = 0; band < changes; ++band)
            f.slider(band)->setValue(320 + band);
        f.ticks(ticks - 1);
        QCOMPARE(sent(), QVector<QByteArray>());
        f.ticks(1);
        QCOMPARE(sent().size(), changes);
        QCOMPARE(f.page->pendingchanges(), 0);
        QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
    }

    // "Set0" at the real timing with the page's own timer: one command per
    // band off 0 dB, in band order, each before the next band is reset; the
    // pass flags stay.
    void setall()
    {
        start(kOwnMasks, [](DeviceData *d) {
            d->setgeq(0, 2, 350, false);
            d->setgeq(0, 20, 200, true);
        });
        MainApp::settimescale(1);
        QVERIFY(clicksetall());
        const QVector<standin::FrameRecord> got = s.commands(unit);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].bytes, hex("1122331801210400022c0155445566"));
        QCOMPARE(got[1].bytes, hex("1122331801210400142c8167445566"));
        // Loosely apart: the second band is reset 400 ms after the first, and
        // each leaves within the throttle's 250 ms.
        QVERIFY(got[1].ns - got[0].ns > 100 * 1000000LL);
        s.clearframes();
        QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
        // All flat now: returns at once and sends nothing.
        f.setall()->click();
        f.ticks(5);
        QCOMPARE(sent(), QVector<QByteArray>());
    }

    // "Set0" on an output sends every band, also those the model holds at
    // 0 dB: the outputs' bands are never read back, so after a connect the
    // model says flat while the processor may not be. The pass flags stay.
    void setalloutput_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QByteArray>("first"); // band 0
        QTest::addColumn<QByteArray>("fifth"); // band 4, passed
        // Worked by hand: 01 + 21 + 04 + 12 + 00 + 2c + 01 = 0x65; band 4
        // keeps its pass flag: 01 + 21 + 04 + 12 + 04 + 2c + 81 = 0xe9, 0x69.
        QTest::newRow("OUT3") << 6 << hex("1122331801210412002c0165445566")
                              << hex("1122331801210412042c8169445566");
        // The first output: 01 + 21 + 04 + 10 + 00 + 2c + 01 = 0x63;
        // 01 + 21 + 04 + 10 + 04 + 2c + 81 = 0xe7, 0x67.
        QTest::newRow("OUT1") << 4 << hex("1122331801210410002c0163445566")
                              << hex("1122331801210410042c8167445566");
    }
    void setalloutput()
    {
        QFETCH(int, channel);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, fifth);
        const int o = channel - 4;
        start(kOwnMasks, [channel](DeviceData *d) { d->setgeq(channel, 4, 300, true); });
        s.update(unit, [o](standin::UnitState &u) {
            for (int b = 0; b < 31; ++b)
                u.outputGeq[o * 31 + b] = quint16((120 + 5 * b) | (b == 4 ? 0x8000 : 0));
        });
        f.channel(channel)->click();
        MainApp::settimescale(0.1);
        QVERIFY(clicksetall());
        f.ticks(5);
        const QVector<QByteArray> got = sent();
        QCOMPARE(got.size(), 31);
        QCOMPARE(got[0], first);
        QCOMPARE(got[4], fifth);
        for (int b = 0; b < 31; ++b) {
            const int high = b == 4 ? 0x81 : 0x01;
            const int sum = (0x01 + 0x21 + 0x04 + 0x10 + o + b + 0x2c + high) & 0x7F;
            const QString frame = QString("11223318012104%1%2%3%4%5")
                                      .arg(0x10 + o, 2, 16, QChar('0'))
                                      .arg(b, 2, 16, QChar('0'))
                                      .arg(0x2c, 2, 16, QChar('0'))
                                      .arg(high, 2, 16, QChar('0'))
                                      .arg(sum, 2, 16, QChar('0')) +
                                  "445566";
            QCOMPARE(QString::fromLatin1(got[b].toHex()), frame);
        }
        QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
    }

    // "Set0" finishes for the channel it started on while other channels are
    // chosen meanwhile: every frame names that channel, all 31 bands end flat
    // on the processor and in the model (its link partners' too), the pass
    // flags stay, the other channels keep their bands and the channel last
    // chosen shows its own. The button stays down and the page shows a busy
    // pointer until the reset ends.
    void setallswitch_data()
    {
        QTest::addColumn<int>("from");            // the channel "Set0" starts on
        QTest::addColumn<QVector<int>>("chosen"); // chosen meanwhile, in turn
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<QVector<int>>("group"); // channels that end flat
        QTest::newRow("OUT4, OUT5 chosen") << 7 << QVector<int>{8} << kOwnMasks << QVector<int>{7};
        QTest::newRow("OUT4, IN-A chosen, then OUT4 again")
            << 7 << QVector<int>{0, 7} << kOwnMasks << QVector<int>{7};
        QTest::newRow("OUT1 linked to OUT2, OUT3 chosen")
            << 4 << QVector<int>{6} << hex("010204080303040810204080") << QVector<int>{4, 5};
        QTest::newRow("IN-B, OUT6 then IN-C chosen")
            << 1 << QVector<int>{9, 2} << kOwnMasks << QVector<int>{1};
    }
    void setallswitch()
    {
        QFETCH(int, from);
        QFETCH(QVector<int>, chosen);
        QFETCH(QByteArray, masks);
        QFETCH(QVector<int>, group);
        start(masks, [&](DeviceData *d) {
            for (int c = 0; c < 12; ++c)
                for (int b = 0; b < 31; ++b)
                    d->setgeq(c, b, group.contains(c) ? 320 + b : 280 - c, b == 6);
        });
        QVector<QVector<int>> before;
        for (int c = 0; c < 12; ++c)
            before << f.gains(c);
        f.channel(from)->click();
        f.ticks(5);
        QCOMPARE(sent(), QVector<QByteArray>());
        // The next channel is chosen once a few more bands are flat.
        int next = 0;
        bool choosing = false, held = true;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&]() {
            if (choosing || next >= chosen.size() || f.gains(from).count(300) < 3 + 9 * next)
                return;
            choosing = true;
            held = held && f.setall()->isDown() && f.page->cursor().shape() == Qt::BusyCursor;
            f.channel(chosen[next++])->click();
            choosing = false;
        });
        poll.start(5);
        MainApp::settimescale(0.1);
        QVERIFY(clicksetall());
        poll.stop();
        QCOMPARE(next, chosen.size());
        QVERIFY(held);
        QVERIFY(!f.setall()->isDown());
        QCOMPARE(f.page->cursor().shape(), Qt::ArrowCursor);
        f.ticks(5);
        const QVector<QByteArray> got = sent();
        QCOMPARE(got.size(), 31);
        const char code = char(from < 4 ? from : 0x10 + from - 4);
        // Channel, band, 0 dB (raw 300 = 0x012c, low byte first), the pass
        // flag in the high byte's top bit.
        for (int b = 0; b < 31; ++b)
            QCOMPARE(got[b].mid(7, 4).toHex(),
                     (QByteArray(1, code) + char(b) + char(0x2c) + char(b == 6 ? 0x81 : 0x01)).toHex());
        for (int c = 0; c < 12; ++c) {
            QCOMPARE(f.gains(c), group.contains(c) ? QVector<int>(31, 300) : before[c]);
            QCOMPARE(f.dev->getgeqpass(c, 6), true);
        }
        QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
        QCOMPARE(f.page->currentchannel(), chosen.last());
        QCOMPARE(f.sliders(), f.gains(chosen.last()));
    }

    // Random band, pass, reset and bypass edits over several channels and
    // link groups (random masks too: asymmetric, without their own bits),
    // with the throttle ticking in between: afterwards the processor holds
    // the model's graphic EQ, and the page shows it.
    void modelequalsprocessor_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<quint32>("seed");
        const QByteArray groups = hex("0302040c"
                                      "0192042892284092"); // {A,B}, {C,D}; {2,5,8}, {4,6}
        for (quint32 seed : {1u, 2u, 3u}) {
            QTest::addRow("unlinked, seed %u", seed) << kOwnMasks << seed;
            QTest::addRow("groups, seed %u", seed) << groups << seed;
        }
        // Asymmetric masks, some without their own bit.
        for (quint32 seed : {4u, 5u, 6u, 7u})
            QTest::addRow("random masks, seed %u", seed) << randommasks(seed) << seed;
    }
    void modelequalsprocessor()
    {
        QFETCH(QByteArray, masks);
        QFETCH(quint32, seed);
        start(masks);
        QRandomGenerator rng(seed);
        const int shown[] = {0, 1, 2, 4, 5, 7, 9, 11};
        for (int op = 0; op < 120; ++op) {
            const int b = rng.bounded(31);
            switch (rng.bounded(8)) {
            case 0:
                f.channel(shown[rng.bounded(8)])->click();
                break;
            case 1:
                f.pass(b)->click();
                break;
            case 2:
                f.bypass()->click();
                break;
            case 3:
                f.reset(b)->click();
                break;
            default:
                f.slider(b)->setValue(rng.bounded(451));
                break;
            }
            f.ticks(rng.bounded(3));
        }
        f.ticks(5);
        sent();
        QCOMPARE(processorgeq().toHex(), modelgeq().toHex());
        // The channel shown shows its model.
        const int c = f.page->currentchannel();
        for (int b = 0; b < 31; ++b) {
            QCOMPARE(f.slider(b)->value(), f.dev->getgeqgain(c, b));
            QCOMPARE(f.pass(b)->isChecked(), f.dev->getgeqpass(c, b));
        }
    }

    // The page as the user sees it, connected, in both languages: a few bands
    // set and one passed.
    void look_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("lock");
        QTest::newRow("en") << 0 << 0;
        QTest::newRow("zh_locked") << 1 << 1;
    }
    void look()
    {
        QFETCH(int, language);
        QFETCH(int, lock);
        QFile file(language ? ":/style/style_chs.txt" : ":/style/style.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
        gGlobalContrl->setlanguage(language);
        const int raws[] = {330, 360, 300, 250, 420, 180, 310};
        for (int k = 0; k < 7; ++k)
            f.dev->setgeq(1, 3 + 4 * k, raws[k], k == 3);
        f.dev->setlocktype(lock);
        // As the main window shows it: a frameless sub-window 919 x 608 at the
        // top left of a document area 575 pixels high.
        QMdiArea area;
        area.resize(1014, 575);
        QMdiSubWindow *sub = area.addSubWindow(f.page.get(), Qt::FramelessWindowHint);
        // The fixture owns the page: it leaves the area however the test
        // ends, a failed check included, before the area deletes its windows.
        const auto giveback = qScopeGuard([this] {
            f.page->setParent(nullptr);
            qApp->setStyleSheet(QString());
        });
        sub->setGeometry(0, 0, 919, 608);
        area.show();
        emit gGlobalContrl->refreshLangangeState();
        f.page->updategeqview(0);
        f.channel(1)->click();
        f.slider(7)->setValue(330);
        QCOMPARE(f.bypass()->text(), language ? QStringLiteral("直通") : QStringLiteral("Bypass"));
        QCOMPARE(f.overlay()->isVisible(), lock != 0);
        // The Bypass and Set 0 rows lie inside the area, down to the last band.
        for (QWidget *w : {static_cast<QWidget *>(f.pass(30)), static_cast<QWidget *>(f.reset(30)),
                           f.get<QWidget>(QStringLiteral("label_61"))}) {
            const QRect r(w->mapTo(&area, QPoint(0, 0)), w->size());
            QVERIFY2(area.rect().contains(r), qPrintable(w->objectName()));
        }
        // DSP_SNAPSHOT_HOLD keeps the page on screen for a screen grab from outside.
        QTest::qWait(qEnvironmentVariableIntValue("DSP_SNAPSHOT_HOLD"));
        const QImage shot = area.grab().toImage();
        const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(QStringLiteral("%1/geq_%2.png").arg(dir, QTest::currentDataTag())));
    }
};

QTEST_MAIN(TstFormGeqStandin)
#include "tst_formgeq_standin.moc"
