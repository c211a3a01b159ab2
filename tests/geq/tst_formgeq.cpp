// The graphic EQ page and its display without a processor.

#include "geqfixture.h"

#include "formgeqdraw.h"

#include <QLabel>

namespace
{

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

bool reddish(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 140 && qBlue(c) < 100;
}

} // namespace

class TstFormGeq : public QObject
{
    Q_OBJECT
    GeqFixture f;

    // Every band of channel c at raw (pass clear).
    void fill(int c, int raw)
    {
        for (int b = 0; b < 31; ++b)
            f.dev->setgeq(c, b, raw, false);
    }

private slots:
    void init()
    {
        MainApp::settimescale(0.05);
        f.setup(1);
        f.stopthrottle();
    }
    void cleanup() { f.teardown(); }

    // A new page edits IN-A and shows IN-A lit before any channel is chosen;
    // a band moved then goes to IN-A alone.
    void firstshowlit()
    {
        f.page->show();
        QCOMPARE(f.checkedchannel(), 0);
        fill(0, 300);
        fill(1, 300);
        f.slider(4)->setValue(310);
        QCOMPARE(f.dev->getgeqgain(0, 4), 310);
        QCOMPARE(f.dev->getgeqgain(1, 4), 300);
        QCOMPARE(f.checkedchannel(), 0);
    }

    // Viewing a channel rewrites no partner and counts nothing, even though
    // its sliders move; the display and tooltips follow the channel shown.
    void reloadstoresnothing()
    {
        f.setmasks(hex("03030408"
                       "0102040810204080"));
        QVERIFY(gMainApp->inputlinkon);
        fill(0, 320);
        fill(1, 280);
        f.dev->setgeq(0, 9, 450, true);
        f.channel(1)->click();
        f.channel(0)->click();
        QCOMPARE(f.gains(1), QVector<int>(31, 280));
        QCOMPARE(f.dev->getgeqpass(1, 9), false);
        QCOMPARE(f.page->pendingchanges(), 0);
        QCOMPARE(f.sliders(), f.gains(0));
        QVERIFY(f.pass(9)->isChecked());
        QCOMPARE(gMainApp->getgeqgain(9), 15.0);
        QCOMPARE(gMainApp->getgeqgain(0), 2.0);
        // Band 0 of IN-A holds the slider's bottom: the display's gain and
        // the tooltip still follow although that slider does not move.
        f.dev->setgeq(1, 0, 0, false);
        f.channel(1)->click();
        f.dev->setgeq(0, 0, 0, false);
        f.channel(0)->click();
        QCOMPARE(gMainApp->getgeqgain(0), -30.0);
        QCOMPARE(f.slider(0)->toolTip(), QStringLiteral("Gain:-30.0dB\nFreq:20Hz"));
        // A user's change is stored, copied to the group and counted once.
        f.slider(4)->setValue(333);
        QCOMPARE(f.dev->getgeqgain(1, 4), 333);
        QCOMPARE(f.page->pendingchanges(), 1);
    }

    // The reload gives the loading flag back as it found it.
    void reloadrestoresflag()
    {
        for (uchar before : {uchar(1), uchar(0)}) {
            gMainApp->geqloading = before;
            f.page->updategeqview(0);
            QCOMPARE(gMainApp->geqloading, before);
        }
    }

    // A channel clicked while a reload waits (a held button repeats its
    // click from a timer) is taken after it, never inside it.
    void clickduringreload()
    {
        fill(2, 410);
        bool deferred = false;
        QTimer::singleShot(2, [&] {
            QVERIFY(f.page->reloading());
            for (int k = 0; k < 3; ++k)
                f.channel(2)->click();
            deferred = f.page->currentchannel() == 0 && f.page->reloading();
        });
        f.page->updategeqview(0);
        QVERIFY(deferred);
        QVERIFY(!f.page->reloading());
        QCOMPARE(f.page->currentchannel(), 2);
        QCOMPARE(gMainApp->getgeqchannel(), 2);
        QCOMPARE(f.checkedchannel(), 2);
        QCOMPARE(f.sliders(), f.gains(2));
        QCOMPARE(gMainApp->geqloading, uchar(0));
    }

    // "Set0" resets the channel it started on; a second click meanwhile is
    // ignored, and choosing another channel meanwhile does not end it: every
    // band of the first channel ends flat, the other channel keeps its bands
    // and is the one shown. While it runs the button is held down and the
    // page shows a busy pointer; both end with it.
    void setallchannelchange()
    {
        fill(0, 350);
        fill(1, 250);
        f.page->updategeqview(0);
        bool ignored = false, shown = false;
        int atswitch = -1;
        QTimer::singleShot(30, [&] {
            QVERIFY(f.page->resetting());
            f.setall()->click();
            ignored = f.page->resetting() && f.gains(0).count(300) < 31;
            shown = f.setall()->isDown() && f.page->cursor().shape() == Qt::BusyCursor;
            atswitch = f.gains(0).count(300);
            f.channel(1)->click();
        });
        f.setall()->click();
        QVERIFY(ignored);
        QVERIFY(shown);
        QVERIFY2(atswitch >= 1 && atswitch < 31, qPrintable(QString::number(atswitch)));
        QVERIFY(!f.page->resetting());
        QVERIFY(!f.setall()->isDown());
        QCOMPARE(f.page->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(f.page->currentchannel(), 1);
        QCOMPARE(f.gains(1), QVector<int>(31, 250));
        QCOMPARE(f.sliders(), f.gains(1));
        QCOMPARE(f.gains(0), QVector<int>(31, 300));
    }

    // A device type without the shown channel: IN-A is shown instead.
    void viewlackschannel_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("expected");
        QTest::newRow("OUT8 on type 22") << 11 << 1 << 0;
        QTest::newRow("OUT6 on type 22 stays") << 9 << 1 << 9;
        QTest::newRow("IN-C on type 20") << 2 << 2 << 0;
        QTest::newRow("OUT5 on type 20") << 8 << 2 << 0;
        QTest::newRow("OUT8 on type 24 stays") << 11 << 0 << 11;
    }
    void viewlackschannel()
    {
        QFETCH(int, shown);
        QFETCH(int, view);
        QFETCH(int, expected);
        fill(0, 310);
        fill(shown, 290);
        f.channel(shown)->click();
        f.page->updategeqview(view);
        QCOMPARE(f.page->currentchannel(), expected);
        QCOMPARE(gMainApp->getgeqchannel(), expected);
        QCOMPARE(f.checkedchannel(), expected);
        QCOMPARE(f.sliders(), f.gains(expected));
        QVERIFY(f.channel(expected)->isVisibleTo(f.page.get()));
        // The buttons of the channels the type has, and only those.
        QCOMPARE(f.channel(2)->isVisibleTo(f.page.get()), view != 2);  // IN-C
        QCOMPARE(f.channel(3)->isVisibleTo(f.page.get()), view == 0);  // IN-D
        QCOMPARE(f.channel(9)->isVisibleTo(f.page.get()), view != 2);  // OUT6
        QCOMPARE(f.channel(10)->isVisibleTo(f.page.get()), view == 0); // OUT7
        QCOMPARE(f.channel(11)->isVisibleTo(f.page.get()), view == 0); // OUT8
    }

    // A stored gain above the range becomes the top of the range in the
    // model, also when the slider already stands there.
    void clampsstoredgain()
    {
        f.dev->setgeq(0, 4, 450, false);
        f.page->updategeqview(0);
        QCOMPARE(f.slider(4)->value(), 450);
        f.dev->setgeq(0, 4, 500, true);
        f.page->updatenewdata();
        QCOMPARE(f.dev->getgeqgain(0, 4), 450);
        QVERIFY(f.dev->getgeqpass(0, 4));
        QCOMPARE(f.page->pendingchanges(), 0);
    }

    // Indices out of range change nothing.
    void outofrange()
    {
        f.plot()->showBandPoint(3, QStringLiteral("three"));
        const QPoint at(f.plot()->marker().getx(), f.plot()->marker().gety());
        for (int band : {-1, 31, 1000})
            f.page->display()->showBandPoint(band, QStringLiteral("bad"));
        QCOMPARE(QPoint(f.plot()->marker().getx(), f.plot()->marker().gety()), at);
        QCOMPARE(f.plot()->marker().valueText(), QStringLiteral("three"));
        f.page->resetband(31);
        f.page->resetband(-1);
        QCOMPARE(f.sliders(), QVector<int>(31, 0));
        for (int n : {0, 13, -2}) {
            gMainApp->setgeqviewch(n);
            f.page->updategeq();
            QCOMPARE(f.checkedchannel(), 0); // IN-A, lit from the start, stays
            QCOMPARE(f.page->currentchannel(), 0);
        }
        gMainApp->setgeqviewch(12);
        f.page->updategeq();
        QCOMPARE(f.checkedchannel(), 11);
        f.page->updategeqview(3); // lock only
        QCOMPARE(f.page->currentchannel(), 11);
    }

    // The overlay and the bypass button follow the link and the lock.
    void lock_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("locktype");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("linked, unlocked") << 1 << 0 << false;
        QTest::newRow("linked, lock 1") << 1 << 1 << true;
        QTest::newRow("linked, lock 2") << 1 << 2 << false;
        QTest::newRow("no link, lock 1") << 0 << 1 << false;
    }
    void lock()
    {
        QFETCH(int, link);
        QFETCH(int, locktype);
        QFETCH(bool, blocked);
        f.showpage();
        // Locked first, so that an earlier disabled state is what a later
        // refresh must undo.
        f.dev->setcomconnected(1);
        f.dev->setlocktype(1);
        f.page->updategeqlock();
        QVERIFY(!f.bypass()->isEnabled());
        f.dev->setcomconnected(link);
        f.dev->setlocktype(locktype);
        f.page->updategeqlock();
        QCOMPARE(f.overlay()->isVisible(), blocked);
        QCOMPARE(f.bypass()->isEnabled(), !blocked);
        QCOMPARE(f.slider(30)->isEnabled(), !blocked);
        QCOMPARE(f.pass(0)->isEnabled(), !blocked);
        QCOMPARE(f.setall()->isEnabled(), !blocked);
        QVERIFY(f.channel(5)->isEnabled());
    }

    // The band's two-line text in both languages (empty: not checked), and the
    // marker: inactive at (300, 75) until the first band change, then at the
    // band's x + 3 (x 0 here: the band's own) and 80 - trunc(5 x dB).
    void bandtext_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("0 dB") << 0 << 300 << 0 << "Gain:0.0dB\nFreq:20Hz" << QPoint(75, 80);
        QTest::newRow("top, last band") << 30 << 450 << 0 << "Gain:15.0dB\nFreq:20480Hz" << QPoint(796, 5);
        QTest::newRow("bottom, last band")
            << 30 << 0 << 0 << "Gain:-30.0dB\nFreq:20480Hz" << QPoint(796, 230);
        QTest::newRow("Chinese, worked band")
            << 17 << 325 << 1 << QStringLiteral("增益:2.5dB\nFreq:1016Hz") << QPoint(483, 68);
        QTest::newRow("-0.1 dB") << 5 << 299 << 0 << QString() << QPoint(0, 80);
    }
    void bandtext()
    {
        QFETCH(int, band);
        QFETCH(int, raw);
        QFETCH(int, language);
        QFETCH(QString, text);
        QFETCH(QPoint, at);
        QVERIFY(!f.plot()->marker().isActive());
        QCOMPARE(QPoint(f.plot()->marker().getx(), f.plot()->marker().gety()), QPoint(300, 75));
        gGlobalContrl->setlanguage(language);
        f.slider(band)->setValue(raw == 0 ? 1 : 0);
        f.slider(band)->setValue(raw);
        QVERIFY(f.plot()->marker().isActive());
        if (at.x() == 0)
            at.setX(f.plot()->bandx(band) + 3);
        QCOMPARE(QPoint(f.plot()->marker().getx(), f.plot()->marker().gety()), at);
        if (text.isEmpty())
            return;
        QCOMPARE(FormGeq::bandtext(band, raw, language), text);
        QCOMPARE(f.slider(band)->toolTip(), text);
        QCOMPARE(f.plot()->marker().valueText(), text);
        // A language switch rewrites the read-out and the tips in the other language.
        const int other = 1 - language;
        gGlobalContrl->setlanguage(other);
        f.page->refreshLanText();
        QCOMPARE(f.plot()->marker().valueText(), FormGeq::bandtext(band, raw, other));
        QCOMPARE(f.slider(band)->toolTip(), FormGeq::bandtext(band, raw, other));
        QCOMPARE(f.slider((band + 1) % 31)->toolTip(), FormGeq::bandtext((band + 1) % 31, f.slider((band + 1) % 31)->value(), other));
    }

    // The curve: flat at y 75 for 0 dB and for passed bands; one band at
    // +15 dB at 1016 Hz peaks at y 1, x 481, its flanks as wide as Q 4.3
    // draws them; a -0.1 dB band moves nothing.
    void curve()
    {
        CurveMath math;
        double gains[31] = {};
        for (int j = 0; j < CurveMath::kGridSize; ++j)
            QCOMPARE(f.plot()->curvey(j, gains), 75);
        gains[5] = -0.1;
        for (int j = 0; j < CurveMath::kGridSize; ++j)
            QCOMPARE(f.plot()->curvey(j, gains), 75);
        gains[5] = 0;
        gains[17] = 15;
        int best = 1000, bestx = -1;
        for (int j = 0; j < CurveMath::kGridSize; ++j) {
            const int y = f.plot()->curvey(j, gains);
            if (y < best) {
                best = y;
                bestx = math.freqtox(math.getfreq(j));
            }
        }
        QCOMPARE(best, 1);
        QCOMPARE(bestx, 481);
        // The flanks show the bands' Q of 4.3: grid points 225, 230 (779 and
        // 857 Hz) below the centre and 250 (1260 Hz) above it.
        QCOMPARE(f.plot()->curvey(225, gains), 61);
        QCOMPARE(f.plot()->curvey(230, gains), 49);
        QCOMPARE(f.plot()->curvey(250, gains), 56);
        QCOMPARE(f.plot()->bandx(0), 72);
        QCOMPARE(f.plot()->bandx(30), 793);
    }

    // The drawn plot probed at a few pixels: the red curve on the 0 dB row,
    // its peak for a +15 dB band, a passed band drawn flat, the bypass line
    // and label.
    void drawn()
    {
        f.showpage();
        f.page->updategeqview(0);
        auto shot = [&] { return f.plot()->grab().toImage(); };
        QImage img = shot();
        QVERIFY(reddish(img.pixel(200, 75)));
        QVERIFY(!reddish(img.pixel(200, 40)));
        f.slider(17)->setValue(450);
        f.slider(0)->setValue(301); // the marker away from the peak; +0.1 dB draws nothing
        img = shot();
        QVERIFY(reddish(img.pixel(481, 2)) || reddish(img.pixel(481, 1)));
        QVERIFY(!reddish(img.pixel(481, 75)));
        f.pass(17)->click();
        img = shot();
        QVERIFY(reddish(img.pixel(481, 75)));
        QVERIFY(!f.plot()->bypasslabel()->isVisible());
        f.bypass()->click();
        img = shot();
        QVERIFY(f.plot()->bypasslabel()->isVisible());
        QCOMPARE(f.plot()->bypasslabel()->text(), QStringLiteral("Bypassed"));
        QVERIFY(reddish(img.pixel(700, 75)));
        QVERIFY(f.dev->getgeqbypassall(0));
    }

    // The display's frame and grid under the curve, each line pixel by pixel
    // along its whole length: the frame (and the 0 dB line) light blue, the
    // other 5 dB lines dark, lit where a light vertical line crosses them;
    // beside each line the black ground, or the vertical line there.
    void frame_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("at"); // x of a vertical line, y of a horizontal one
        QTest::addColumn<bool>("major");
        QTest::newRow("top edge") << false << 13 << true;
        QTest::newRow("bottom edge") << false << 238 << true;
        QTest::newRow("left edge") << true << 30 << true;
        QTest::newRow("right edge") << true << 840 << true;
        QTest::newRow("0 dB") << false << 88 << true;
        for (int y = 38; y < 238; y += 25)
            if (y != 88)
                QTest::addRow("%+d dB", (88 - y) / 5) << false << y << false;
    }
    void frame()
    {
        QFETCH(bool, vertical);
        QFETCH(int, at);
        QFETCH(bool, major);
        FormGeqDraw *display = f.page->display();
        QImage shot(display->size(), QImage::Format_ARGB32);
        shot.fill(Qt::white);
        display->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground); // not the curve over it
        const QRgb black = qRgb(0, 0, 0);
        const QRgb light = qRgb(0x90, 0xC7, 0xE5);
        const QRgb dark = qRgb(38, 68, 79);
        // Row 20 crosses no horizontal line: there each column shows the ground or its vertical line.
        const auto column = [&](int x) { return shot.pixel(x, 20); };
        const auto where = [](int x, int y) { return QStringLiteral("(%1, %2)").arg(x).arg(y).toLatin1(); };
        if (vertical) {
            for (int y = 13; y <= 238; ++y) {
                QVERIFY2(shot.pixel(at, y) == light, where(at, y).constData());
                QVERIFY2(shot.pixel(at + (at == 30 ? -1 : 1), y) == black,
                         where(at + (at == 30 ? -1 : 1), y).constData());
            }
            return;
        }
        int crossings = 0;
        for (int x = 30; x <= 840; ++x) {
            const QRgb want = major || column(x) == light ? light : dark;
            crossings += column(x) == light;
            QVERIFY2(shot.pixel(x, at) == want, where(x, at).constData());
            for (const int side : {-1, 1}) {
                const int y = at + side;
                if (y > 13 && y < 238 && (y - 13) % 25 == 0)
                    continue; // the next line
                QVERIFY2(shot.pixel(x, y) == (y < 13 || y > 238 ? black : column(x)),
                         where(x, y).constData());
            }
        }
        // The edges and the 100 Hz, 1 kHz and 10 kHz lines.
        QCOMPARE(crossings, 5);
        QCOMPARE(shot.pixel(29, at), black);
        QCOMPARE(shot.pixel(841, at), black);
    }
};

QTEST_MAIN(TstFormGeq)
#include "tst_formgeq.moc"
