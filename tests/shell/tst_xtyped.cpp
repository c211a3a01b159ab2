// Gains typed into the gain page's boxes and the EQ page's gain strip as a
// keyboard types them: the whole window joined to the processor stand-in on
// an X server of the test's own (Xvfb), the pointer moved onto the page
// button, the channel button and the box in steps and clicked there, the old
// text removed and the new one typed key by key through the server (XTest),
// then Return (or Tab). A number beyond the range sends the nearest end of
// it, digits beyond the tenths go toward zero, and a text that is no number,
// or a box left by Tab, sends nothing; the box shows what the processor then
// holds. Without Xvfb the test skips.

#include "ccomctrl.h"
#include "devicedata.h"
#include "formeq.h"
#include "formgain.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "programimage.h"
#include "standin.h"
#include "standinwindow.h"
#include "xinput.h"
#include "xstandintest.h"
#include "xvfbserver.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include "xlib.h"

namespace
{
// How long a click through the server is given to be handled.
constexpr int kClickSettleMs = 100;

// The channel's value box on each page, and the EQ page's channel button.
QString gainbox(int ch)
{
    return ch ? QStringLiteral("lineEdit_%1").arg(ch + 1) : QStringLiteral("lineEdit");
}
QString eqchannel(int ch)
{
    return ch < 4 ? QStringLiteral("eqbtnin%1").arg(QChar('a' + ch))
                  : QStringLiteral("eqbtnout%1").arg(ch - 3);
}
} // namespace

class TstXTyped : public XStandinTest
{
    Q_OBJECT
public:
    using XStandinTest::XStandinTest;

private:
    int processorgain(int ch) const
    {
        const QByteArray im = s.state(unit).image;
        return quint8(im[kImageGain + kImageGainStride * ch + 1]) |
               (quint8(im[kImageGain + kImageGainStride * ch + 2]) << 8);
    }

private slots:
    void initTestCase() { openshown(); }
    void cleanupTestCase() { closeshown(); }
    // Processor and model at 0 dB on every channel, nothing muted.
    void init()
    {
        QByteArray image = standin::poweronimagefor();
        for (int ch = 0; ch < 12; ++ch)
            image.replace(kImageGain + kImageGainStride * ch, 3, QByteArray::fromHex("009001"));
        s.update(unit, [&](standin::UnitState &u) { u.image = image; });
        fx.loadimage(image);
        QTest::qWait(400); // the page's reload wait
        s.clearframes();
    }

    void typed_data()
    {
        QTest::addColumn<bool>("eq");       // the EQ page's strip; else the gain page's box
        QTest::addColumn<int>("ch");        // 0..11
        QTest::addColumn<QString>("keys");  // X key names
        QTest::addColumn<QString>("frame"); // the gain frame sent; empty: none
        QTest::addColumn<QString>("text");  // the box after
        QTest::newRow("gain page, OUT6, -45: the bottom") << false << 9 << "minus 4 5 Return"
                                                          << "11223318015004150000006a445566"
                                                          << "-40.0";
        QTest::newRow("gain page, OUT1, 13: the top") << false << 4 << "1 3 Return"
                                                      << "11223318015004100008026f445566"
                                                      << "12.0";
        QTest::newRow("gain page, IN-B, -12.36: tenths toward zero")
            << false << 1 << "minus 1 2 period 3 6 Return"
            << "11223318015004010015016c445566"
            << "-12.3";
        QTest::newRow("gain page, OUT8, -100, keypad Enter") << false << 11 << "minus 1 0 0 KP_Enter"
                                                      << "11223318015004170000006c445566"
                                                      << "-40.0";
        QTest::newRow("gain page, OUT3, 20 then Tab: nothing") << false << 6 << "2 0 Tab"
                                                               << ""
                                                               << "0.0";
        QTest::newRow("gain page, IN-A, a letter: nothing") << false << 0 << "x Return"
                                                            << ""
                                                            << "0.0";
        QTest::newRow("EQ strip, OUT2, -45: the bottom") << true << 5 << "minus 4 5 Return"
                                                         << "112233180150041100000066445566"
                                                         << "-40.0";
        QTest::newRow("EQ strip, IN-C, 13: the top") << true << 2 << "1 3 Return"
                                                     << "112233180150040200080261445566"
                                                     << "12.0";
        QTest::newRow("EQ strip, OUT8, a sign alone: nothing") << true << 11 << "minus Return"
                                                               << ""
                                                               << "0.0";
    }
    void typed()
    {
        QFETCH(bool, eq);
        QFETCH(int, ch);
        QFETCH(QString, keys);
        QFETCH(QString, frame);
        QFETCH(QString, text);
        // The page chosen by its page-bar button, the channel (EQ page) by its
        // button, then the box clicked; each click is handled before the next
        // step.
        clickon(
            w->findChild<QPushButton *>(eq ? QStringLiteral("pushButton_6") : QStringLiteral("pushButton_2")),
            kClickSettleMs);
        QAbstractSpinBox *box = nullptr;
        if (eq) {
            QTRY_VERIFY(gFormEq->isVisible());
            clickon(gFormEq->findChild<QPushButton *>(eqchannel(ch)), kClickSettleMs);
            QTRY_COMPARE(gMainApp->geteqviewch(), ch + 1);
            QTest::qWait(300); // the channel's reload
            box = gFormEq->findChild<QAbstractSpinBox *>(QStringLiteral("eq_lineEdit"));
        } else {
            QTRY_VERIFY(gFormGain->isVisible());
            box = gFormGain->findChild<QAbstractSpinBox *>(gainbox(ch));
        }
        QVERIFY(box);
        // The page shows the reloaded channel once its reload has run; on a
        // busy machine that can be after the waits above.
        QTRY_COMPARE_WITH_TIMEOUT(box->text(), QStringLiteral("0.0"), 10000);
        clickon(box, kClickSettleMs);
        QTRY_VERIFY(box->hasFocus());
        // The old text removed as a user removes it.
        xinput::key(x, "End");
        for (int i = 0; i < 6; ++i)
            xinput::key(x, "BackSpace");
        for (const QString &k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            QVERIFY2(xinput::key(x, qPrintable(k)), qPrintable(k));
            QThread::msleep(10);
        }
        // The throttle's longest wait, and more: a frame that should not go
        // would have gone by now. The keys themselves, the throttle's send
        // and the processor's answer may take longer on a busy machine, so
        // what should arrive is waited for.
        QTest::qWait(600);
        QVector<QByteArray> expected;
        if (!frame.isEmpty())
            expected << QByteArray::fromHex(frame.toLatin1());
        QTRY_COMPARE_WITH_TIMEOUT(fx.sent(0x50), expected, 10000);
        const int raw = frame.isEmpty() ? 400 : int(std::lround((text.toDouble() + 40) * 10));
        QTRY_COMPARE_WITH_TIMEOUT(processorgain(ch), raw, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(fx.cur()->getgain(ch), raw, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(box->text(), text, 10000);
        // Nothing more follows the one frame.
        QCOMPARE(fx.sent(0x50), expected);
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXTyped>(argc, argv);
}

#include "tst_xtyped.moc"
