#pragma once

// What the gain and delay page tests share: the language object and the
// controller as start-up makes them, one listed serial device of type 0x18 at
// address 1 that is current and connected, the processor stand-in on a
// pseudo-terminal with a protocol engine of the test's own, and helpers that
// drive the widgets the way a user does.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "dspresources.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "programimage.h"
#include "standin.h"
#include "standinlink.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace gdtest
{

const QByteArray kOwnMasks = hex("010204080102040810204080");

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
        delete gMainApp;
        gMainApp = nullptr;
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        delete gGlobalContrl;
        gGlobalContrl = nullptr;
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

// Types text into a box and presses Return.
inline void enter(QWidget *box, const QString &text)
{
    box->setFocus();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(box))
        spin->findChild<QLineEdit *>()->setText(text);
    else
        static_cast<QLineEdit *>(box)->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
}

// Types text into a box and leaves it for another widget without Return.
inline void typeandleave(QWidget *box, const QString &text, QWidget *next)
{
    box->setFocus();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(box))
        spin->findChild<QLineEdit *>()->setText(text);
    else
        static_cast<QLineEdit *>(box)->setText(text);
    next->setFocus();
}

} // namespace gdtest
