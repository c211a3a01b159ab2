#pragma once

// What the overview tests share: the program-wide language object and
// controller as start-up makes them (the settings file in a directory of the
// test's own), one current device, and lookups of the page's widgets.

#include "devicedata.h"
#include "dspresources.h"
#include "formmainview.h"
#include "globalcontrl.h"
#include "mainapp.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class OverviewFixture
{
public:
    static constexpr uchar kType = 0x18;

    // A listed serial device of type 0x18 at addr is current; the language is
    // English until a test says otherwise.
    void setup(uchar addr = 1)
    {
        initdspresources();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
        gGlobalContrl = new GlobalContrl;
        gGlobalContrl->setlanguage(0);
        gMainApp = new MainApp;
        const QHostAddress serial(QStringLiteral("0.0.0.0"));
        dev = MainApp::adddevice(kType, addr, serial);
        gMainApp->setdevtype(kType);
        gMainApp->setdevaddr(addr);
        gMainApp->setdevip(serial);
        gMainApp->selectdevice(kType, addr, serial);
        QCOMPARE(gMainApp->getcurdevice(), dev);
        page.reset(new FormMainView);
    }
    void teardown()
    {
        page.reset();
        delete gMainApp;
        gMainApp = nullptr;
        qDeleteAll(gDeviceList);
        gDeviceList.clear();
        delete gGlobalContrl;
        gGlobalContrl = nullptr;
        dev = nullptr;
    }

    QPushButton *button(const QString &name) const { return page->findChild<QPushButton *>(name); }
    QLabel *label(const QString &name) const { return page->findChild<QLabel *>(name); }
    QWidget *widget(const QString &name) const { return page->findChild<QWidget *>(name); }
    // Clicks a page button the way a user does; the slot is found by name.
    void click(const QString &name) const
    {
        QPushButton *b = button(name);
        QVERIFY2(b, qPrintable(name));
        b->click();
    }

    // Output o's routing byte (bit 3 IN-A .. bit 0 IN-D) into the model.
    static void setroutes(DeviceData *d, int o, int byte)
    {
        for (int input = 1; input <= 4; ++input)
            d->setroutebit(o, input, (byte >> (4 - input)) & 1);
    }

    // Bytes of the program image as a download leaves them: the model packed,
    // the bytes replaced, the image unpacked into the model again.
    static void setimagebytes(DeviceData *d, int offset, const QByteArray &bytes)
    {
        d->packprogram();
        for (int k = 0; k < kProgramImageSize; ++k)
            d->setcurimagebyte(k, d->getwriteimagebyte(k));
        for (int k = 0; k < bytes.size(); ++k)
            d->setcurimagebyte(offset + k, quint8(bytes[k]));
        d->unpackprogram();
    }

    QTemporaryDir dir;
    DeviceData *dev = nullptr;
    std::unique_ptr<FormMainView> page;
};
