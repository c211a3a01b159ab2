#pragma once

// A controller, a device link and the processor stand-in, wired as the main
// window wires them, for the connect, download and program-file tests.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "devicelink.h"
#include "dspresources.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "standin.h"
#include "standinlink.h"
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QHostAddress)

namespace linktest
{

const QHostAddress kSerial(QStringLiteral("0.0.0.0"));

// A fault of the stand-in on one command (and one part if packet >= 0).
inline standin::Fault onefault(standin::Fault::Kind kind, int command, int packet = -1)
{
    standin::Fault f;
    f.kind = kind;
    f.command = command;
    f.packet = packet;
    return f;
}

// UserConfig.ini in the working directory, naming the language.
inline bool writeconfig(const char *language = "en")
{
    QFile ini(QStringLiteral("UserConfig.ini"));
    return ini.open(QIODevice::WriteOnly) &&
           ini.write(QByteArray("[General]\nLangue=") + language + "\n") > 0;
}

// An image unlike the power-on image in every region the pages show.
inline QByteArray sampleimage(int seed)
{
    QByteArray image = standin::poweronimagefor();
    for (int ch = 0; ch < standin::kChannels; ++ch) {
        image[standin::img::gain + ch * 3 + 1] = char(0x10 + seed + ch);
        image[standin::img::delay + ch * 3 + 1] = char(seed * 3 + ch);
    }
    for (int o = 0; o < 8; ++o)
        image[standin::img::routing + o] = char((o + seed) & 0x0F);
    image[standin::img::name] = char('A' + seed);
    return image;
}

// The current image of a record as bytes.
inline QByteArray currentimage(const DeviceData *d)
{
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = char(d->getcurimagebyte(k));
    return image;
}

// The packed parameters of a record: every field the model decodes.
inline QByteArray packedimage(DeviceData *d)
{
    d->packprogram();
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = char(d->getwriteimagebyte(k));
    return image;
}

// The model's decoding of an image, packed again.
inline QByteArray modelof(const QByteArray &image)
{
    auto d = std::make_unique<DeviceData>();
    for (int k = 0; k < kProgramImageSize; ++k)
        d->setcurimagebyte(k, quint8(image.at(k)));
    d->unpackprogram();
    return packedimage(d.get());
}

// The application's main port opened on a line of the stand-in, with the
// settings a processor on a serial line takes.
inline bool openmainport(standin::Standin &s, int line)
{
    gComSettings.setportname(s.ptypath(line));
    gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                             ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                             ComSettings::FixedTimeout);
    return gComCtrl.openmaincom();
}

// A processor of this type at address 1, reached at ip (kSerial: on the
// main port), listed and made the application's current device.
inline DeviceData *choosedevice(quint8 type, const QHostAddress &ip = kSerial)
{
    DeviceData *d = MainApp::adddevice(type, 1, ip);
    gMainApp->setdevtype(type);
    gMainApp->setdevaddr(1);
    gMainApp->setdevip(ip);
    gMainApp->selectdevice(type, 1, ip);
    return d;
}

struct Env {
    CComCtrl comctrl; // a protocol engine of the test's own, closed with it
    MainApp app;
    DeviceLink link;
    standin::Standin standin;
    int line = -1;
    int unit = -1;

    Env()
    {
        initdspresources();
        qRegisterMetaType<QHostAddress>();
        gMainApp = &app;
        app.setcomctrl(&comctrl);
        gConnectBusy = 0;
        QObject::connect(&app, &MainApp::sendtcpdatasignals, &link, &DeviceLink::gettheApptcpinfo);
        QObject::connect(&link, &DeviceLink::startguirequested, &link,
                         [this]() { link.startgui(false, QHostAddress()); });
    }
    ~Env()
    {
        comctrl.closemaincom();
        app.deletealldevices();
        gMainApp = nullptr;
    }

    // A processor at address 1 on a pseudo-terminal, opened, listed, current.
    bool serial(quint8 type = 0x18)
    {
        line = standin.openpty();
        if (line < 0)
            return false;
        unit = standin.addunit(line, type, 1);
        gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                                 ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                                 ComSettings::FixedTimeout);
        gComSettings.setportname(standin.ptypath(line));
        if (!comctrl.openmaincom())
            return false;
        link.connectreplies(&comctrl);
        select(type, 1, kSerial);
        return true;
    }

    void select(quint8 type, quint8 addr, const QHostAddress &ip)
    {
        MainApp::adddevice(type, addr, ip);
        app.setdevtype(type);
        app.setdevaddr(addr);
        app.setdevip(ip);
        app.selectdevice(type, addr, ip);
        app.setslotused(0, 1);
    }

    DeviceData *cur() const { return app.getcurdevice(); }

    // Waits until the stand-in has read every frame sent so far (see standincaughtup).
    bool caughtup() { return standincaughtup(standin, comctrl); }
    // The commands of one code the unit received, in order.
    QVector<standin::FrameRecord> commands(quint8 code) const
    {
        QVector<standin::FrameRecord> out;
        for (const auto &r : standin.commands(unit))
            if (r.command() == code)
                out.append(r);
        return out;
    }
};

// The whole window as start-up builds it, in English (or the language
// start() names), in a directory of its own, with the widgets that show the
// link state.
struct WindowEnv {
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    QLabel *comshow = nullptr;
    QPushButton *indicator = nullptr;
    QPushButton *connect = nullptr;

    bool start(const char *language = "en")
    {
        if (!QDir::setCurrent(dir.path()) || !writeconfig(language))
            return false;
        w.reset(startmainwindow(4));
        comshow = w->findChild<QLabel *>(QStringLiteral("comshow"));
        indicator = w->findChild<QPushButton *>(QStringLiteral("btnonlinetype"));
        connect = w->findChild<QPushButton *>(QStringLiteral("btnExcel"));
        return comshow && indicator && connect;
    }
    ~WindowEnv()
    {
        w.reset();
        gComCtrl.closemaincom();
        QDir::setCurrent(QDir::tempPath());
    }

    // Makes the device in slot k current, as a click on the tab bar does.
    void choose(int k, uchar type, uchar addr)
    {
        gMainApp->setdevtype(type);
        gMainApp->setdevaddr(addr);
        w->getbntnum(k);
    }
    void clickconnect() { QTest::mouseClick(connect, Qt::LeftButton); }
    // Status line, indicator and connect button agree on the link state.
    bool showsonline(const QString &text) const
    {
        return comshow->text() == text && indicator->styleSheet().contains(QLatin1String("aonline.png")) &&
               connect->toolTip() == QLatin1String("Disonnect Device");
    }
    bool showsoffline() const
    {
        return comshow->text() == QLatin1String("DisConnect") &&
               indicator->styleSheet().contains(QLatin1String("aoutline.png")) &&
               connect->toolTip() == QLatin1String("Connect  Device");
    }
};

// The commands of one code a unit received.
inline int commandcount(const standin::Standin &s, int unit, quint8 code)
{
    int n = 0;
    for (const auto &r : s.commands(unit))
        n += r.command() == code ? 1 : 0;
    return n;
}

// A test's window gone with the devices it listed, the style sheet start-up
// set and the test's folder, for the next test's start-up.
// The whole window, English, working in a new temporary folder; endwindow
// ends both.
inline bool startwindow(std::unique_ptr<MainWindow> &w, std::unique_ptr<QTemporaryDir> &dir)
{
    dir.reset(new QTemporaryDir);
    if (!QDir::setCurrent(dir->path()) || !writeconfig())
        return false;
    w.reset(startmainwindow(4));
    return true;
}

inline void endwindow(std::unique_ptr<MainWindow> &w, std::unique_ptr<QTemporaryDir> &dir)
{
    w.reset();
    qDeleteAll(gDeviceList);
    gDeviceList.clear();
    qApp->setStyleSheet(QString());
    QVERIFY(QDir::setCurrent(QDir::tempPath()));
    dir.reset();
}

} // namespace linktest
