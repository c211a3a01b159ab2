#pragma once

// What the gain and delay page tests share: the language object and the
// controller as start-up makes them, one listed serial device of type 0x18 at
// address 1 that is current and connected, the processor stand-in on a
// pseudo-terminal with a protocol engine of the test's own, the page under
// test with its throttle driven by hand, and helpers that drive the widgets
// the way a user does.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "devicefixture.h"
#include "dspresources.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "programimage.h"
#include "standin.h"
#include "standinlink.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace gdtest
{

const QByteArray kOwnMasks = hex("010204080102040810204080");
const char *const kDelaySwitch[12] = {"delayswitch1",  "delayswitch2",  "delayoswitch3", "delayswitch4",
                                      "delayswitch01", "delayswitch02", "delayswitch03", "delayswitch04",
                                      "delayswitch05", "delayswitch06", "delayswitch07", "delayswitch08"};

// A row's widget of channel ch: the stem for channel 0, stem_<ch + 1> else.
inline QString suffixed(const char *stem, int ch)
{
    return ch ? QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(ch + 1) : QString::fromLatin1(stem);
}
// The channel's selector: btnina..btnind, btnout1..btnout8.
inline QString channelbutton(int ch)
{
    return ch < 4 ? QStringLiteral("btnin%1").arg(QChar('a' + ch)) : QStringLiteral("btnout%1").arg(ch - 3);
}
template <typename T = QWidget> T *child(QWidget &page, const QString &name)
{
    T *w = page.findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}
inline QPushButton *button(QWidget &page, const QString &name)
{
    return child<QPushButton>(page, name);
}

using Action = std::function<void(QWidget &)>;
inline Action click(const QString &name)
{
    return [=](QWidget &p) { button(p, name)->click(); };
}

class Fixture : public StandinLink
{
public:
    QTemporaryDir dir;
    DeviceData *dev = nullptr;

    // Once per test case: the stand-in's line and the engine on it.
    bool open()
    {
        initdspresources();
        return openline();
    }

    // Per test: a connected device whose model is the stand-in's power-on
    // image with these link masks; links off until a test turns them on.
    void setup(const QByteArray &masks = kOwnMasks)
    {
        QDir::setCurrent(dir.path());
        gGlobalContrl = new GlobalContrl;
        gGlobalContrl->setlanguage(0);
        gMainApp = new MainApp;
        gMainApp->setcomctrl(&ctrl);
        MainApp::settimescale(0.1); // reload and mute waits
        const QHostAddress serial(QStringLiteral("0.0.0.0"));
        dev = MainApp::adddevice(0x18, 1, serial);
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        gMainApp->setdevip(serial);
        gMainApp->selectdevice(0x18, 1, serial);
        s.update(unit, [&](standin::UnitState &u) {
            u.image = standin::poweronimagefor();
            u.image.replace(kImageLinkMask, masks.size(), masks);
            for (int ch = 0; ch < 12; ++ch)
                u.image[kImageGain + 3 * ch] = 0; // nothing muted
            u.lockState = 0;
        });
        loadimage();
        dev->setcomconnected(1);
        s.clearframes();
    }
    void teardown()
    {
        deleteprogramglobals();
        dev = nullptr;
    }

    // Sets bytes of the stand-in's image and loads the model from it again.
    void setimage(int offset, const QByteArray &bytes)
    {
        s.update(unit, [&](standin::UnitState &u) { u.image.replace(offset, bytes.size(), bytes); });
        loadimage();
    }
    // Raw gain of a channel in both the stand-in and the model.
    void setgain(int ch, int raw)
    {
        setimage(kImageGain + 3 * ch + 1, QByteArray(1, char(raw & 0xFF)) + char(raw >> 8));
    }

    // The model becomes the stand-in's image, as a download leaves it.
    void loadimage()
    {
        const QByteArray im = image();
        for (int k = 0; k < kProgramImageSize; ++k)
            dev->setcurimagebyte(k, quint8(im[k]));
        dev->unpackprogram();
    }

    // The model packed as a program image.
    QByteArray packed() const
    {
        dev->packprogram();
        QByteArray out(kProgramImageSize, '\0');
        for (int k = 0; k < kProgramImageSize; ++k)
            out[k] = char(dev->getwriteimagebyte(k));
        return out;
    }
};

// Shows a page and makes it the active window, so that focus works. On a
// display without a window manager (snapshots under Xvfb) nothing becomes
// active: there it is enough that the page is shown.
inline bool activate(QWidget *page)
{
    page->show();
    QApplication::setActiveWindow(page);
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        return QTest::qWaitForWindowExposed(page);
    return QTest::qWaitForWindowActive(page);
}

// The fixture with the page made per test, shown, its own timers stopped.
template <class Page> class PageFixture : public Fixture
{
public:
    std::unique_ptr<Page> page;

    void openpage()
    {
        setup();
        page.reset(new Page);
        page->updatenewdata();
        for (QTimer *t : page->template findChildren<QTimer *>())
            t->stop();
        QVERIFY(activate(page.get()));
    }
    void closepage()
    {
        page.reset();
        // A look case that failed before its picture leaves its sheet behind.
        qApp->setStyleSheet(QString());
        teardown();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            page->timetosend();
    }
};

// Types text into a box, then presses Return or, with next, leaves for it.
inline void enter(QWidget *box, const QString &text, QWidget *next = nullptr)
{
    box->setFocus();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(box))
        spin->findChild<QLineEdit *>()->setText(text);
    else
        static_cast<QLineEdit *>(box)->setText(text);
    if (next)
        next->setFocus();
    else
        QTest::keyClick(box, Qt::Key_Return);
}

// The device views: the channels (from 0) each one hides; a view of no
// device type keeps the one before (type 22).
inline void viewrows()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("hidden");
    QTest::newRow("type 24") << 0 << "";
    QTest::newRow("type 22") << 1 << "3 10 11";
    QTest::newRow("type 20") << 2 << "2 3 8 9 10 11";
    QTest::newRow("other") << 7 << "3 10 11";
    QTest::newRow("negative") << -1 << "3 10 11";
}
// Strip <n> and the named button of each channel shown unless hidden.
template <class Name> void checkviews(QWidget &page, const char *strip, Name name)
{
    QFETCH(QString, hidden);
    const QStringList gone = hidden.split(' ', Qt::SkipEmptyParts);
    for (int ch = 0; ch < 12; ++ch) {
        const bool shown = !gone.contains(QString::number(ch));
        QCOMPARE(child(page, QStringLiteral("%1%2").arg(QLatin1String(strip)).arg(ch + 1))->isVisible(),
                 shown);
        QCOMPARE(button(page, name(ch))->isVisible(), shown);
    }
}

// The snapshot rows: language, device view, lock state.
inline void lookrows(const char *third, int view, int lock)
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("lock");
    QTest::newRow("en") << 0 << 0 << 0;
    QTest::newRow("zh") << 1 << 0 << 0;
    QTest::newRow(third) << 1 << view << lock;
}
// The style sheet and texts of a language, as the application sets them.
inline bool uselanguage(int language)
{
    QFile sheet(language ? ":/style/style_chs.txt" : ":/style/style.txt");
    if (!sheet.open(QIODevice::ReadOnly))
        return false;
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    gGlobalContrl->setlanguage(language);
    gGlobalContrl->emitlanguage();
    return true;
}
// The channels (0..11) a device view (0 type 24, 1 type 22, 2 type 20) shows.
inline bool inview(int ch, int view)
{
    static const char *const hidden[3] = {"", "3 10 11", "2 3 8 9 10 11"};
    return !QString::fromLatin1(hidden[view]).split(' ', Qt::SkipEmptyParts).contains(QString::number(ch));
}
// The page at full size; with DSP_SNAPSHOT_DIR set saved as <prefix>_<tag>.png.
inline bool snapshot(QWidget &page, const char *prefix)
{
    page.resize(1014, 700);
    const QImage shot = page.grab().toImage();
    qApp->setStyleSheet(QString());
    const QString dir = qEnvironmentVariable("DSP_SNAPSHOT_DIR");
    return dir.isEmpty() ||
           shot.save(QStringLiteral("%1/%2_%3.png").arg(dir, QLatin1String(prefix), QTest::currentDataTag()));
}

} // namespace gdtest

Q_DECLARE_METATYPE(gdtest::Action)
