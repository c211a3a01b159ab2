// Model equals processor: seeded random sequences of gain, mute, delay and
// switch edits over several channels, linked and not (random masks too:
// asymmetric, without their own bits), through the widgets of both pages,
// with throttle ticks in between; after the throttle's last tick the
// stand-in's image holds what the packed model holds, and every strip shows
// its channel's model.

#include "formdelay.h"
#include "formgain.h"
#include "gaindelayfixture.h"

#include <QRandomGenerator>
#include <QSlider>

using namespace gdtest;

namespace
{

const char *const kZero[12] = {"Bttton0", "Button1", "Button3", "Button4",  "Button5",  "Button6",
                               "Button7", "Button8", "Button9", "Button10", "Button11", "Button12"};

} // namespace

class TstGainDelayProperty : public QObject
{
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase() { QVERIFY(f.open()); }
    void cleanupTestCase() { f.closeline(); }

    void modelequalsprocessor_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<quint32>("seed");
        // IN-A with IN-C; OUT1, OUT2 and OUT5 together; OUT7 with OUT8.
        const QByteArray linked = hex("05020508 13130408 1320c0c0");
        for (quint32 seed : {1u, 2u, 3u})
            QTest::addRow("linked %u", seed) << linked << seed;
        QTest::addRow("unlinked") << kOwnMasks << 4u;
        for (quint32 seed : {5u, 6u, 7u, 8u})
            QTest::addRow("random masks %u", seed) << randommasks(seed) << seed;
    }
    void modelequalsprocessor()
    {
        QFETCH(QByteArray, masks);
        QFETCH(quint32, seed);
        f.setup(masks);
        gMainApp->inputlinkon = f.dev->inputlinked();
        gMainApp->outputlinkon = f.dev->outputlinked();
        QWidget host;
        FormGain &gain = *new FormGain(&host);
        FormDelay &delay = *new FormDelay(&host);
        gain.updatenewdata();
        delay.updatenewdata();
        for (QTimer *t : gain.findChildren<QTimer *>() + delay.findChildren<QTimer *>())
            t->stop();
        delay.setWindowFlags(Qt::Widget); // a page inside the window, as in its sub-window
        delay.move(0, 0);
        QVERIFY(activate(&host));

        QRandomGenerator rng(seed);
        for (int step = 0; step < 120; ++step) {
            const int ch = rng.bounded(12), kind = rng.bounded(11);
            // Kinds 0..5 on the gain page, 6..10 on the delay page.
            const QString clicks[11] = {suffixed("btnup", ch),
                                        suffixed("btndown", ch),
                                        kZero[ch],
                                        {},
                                        {},
                                        suffixed("btngainm", ch),
                                        suffixed("btndelaymiup", ch),
                                        suffixed("btndelaymidown", ch),
                                        {},
                                        {},
                                        kDelaySwitch[ch]};
            if (!clicks[kind].isEmpty())
                click(clicks[kind])(kind < 6 ? static_cast<QWidget &>(gain) : delay);
            else if (kind == 3)
                enter(child(gain, suffixed("lineEdit", ch)),
                      QString::number(rng.bounded(520) / 10.0 - 40, 'f', 1));
            else if (kind == 4)
                gain.messgeformpeq(ch, rng.bounded(521));
            else if (kind == 8)
                enter(child(delay, suffixed("Editdelaymi", ch)),
                      QString::number(rng.bounded(100000) / 100.0, 'f', 2));
            else
                delay.messgeformpeq(ch, rng.bounded(48001));
            for (int t = rng.bounded(3); t > 0; --t) {
                gain.timetosend();
                delay.timetosend();
            }
        }
        for (int t = 0; t < 5; ++t) {
            gain.timetosend();
            delay.timetosend();
        }
        int delays = 0, gains = 0;
        for (const QByteArray &frame : f.sent()) {
            gains += frame.at(5) == 0x50;
            delays += frame.at(5) == 0x51;
        }
        QVERIFY(gains > 20 && delays > 20);
        const QByteArray packed = f.packed();
        const QByteArray held = f.image();
        QCOMPARE(held.mid(kImageGain, 36).toHex(' '), packed.mid(kImageGain, 36).toHex(' '));
        QCOMPARE(held.mid(kImageDelay, 36).toHex(' '), packed.mid(kImageDelay, 36).toHex(' '));
        for (int ch = 0; ch < 12; ++ch) {
            QCOMPARE(child<QSlider>(gain, suffixed("vlSliderGain", ch))->value(), f.dev->getgain(ch));
            QCOMPARE(child<QSlider>(delay, suffixed("sldrdelaymi", ch))->value(), f.dev->getdelay(ch));
        }
    }
    void cleanup() { f.teardown(); }
};

QTEST_MAIN(TstGainDelayProperty)
#include "tst_gaindelay_property.moc"
