// Fuzz target for what the network brings in, through the whole window:
// byte 0 picks the way in.
// - 0: a TCP stream from the processor (byte 1 seeds how the rest is cut into
//   reads), through the link's reassembly and the one reply dispatch, which
//   store names, parts, mutes, meters and lock states in the current record;
// - 1: discovery answers (datagrams separated by 0xFE bytes), parsed as the
//   adapter chooser does and collected by the link (nothing is probed);
// - 2: a program image (the rest, padded to 1664 bytes) for the device type
//   byte 1 picks, decoded into the current record and shown by every page.
// Message boxes are answered at once; nothing leaves the process.
#include "ccomctrl.h"
#include "devicedata.h"
#include "devicelink.h"
#include "dialoginterface.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "programimage.h"
#include "prompts.h"
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QHostAddress>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdlib>
#include <cstdint>

namespace
{

class SilentPrompts : public PromptBackend
{
public:
    QMessageBox::StandardButton message(QWidget *, Icon, const QString &, const QString &,
                                        QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        return QMessageBox::Ok;
    }
    bool confirm(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return false;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

const QHostAddress kPeer(QStringLiteral("192.0.2.9"));

MainWindow &window()
{
    static MainWindow *w = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_network";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv);
        // The settings file is written where the program starts: start in a
        // scratch folder, and come back at once, as libFuzzer reads the corpus
        // and writes crash files by the paths it was given, often relative ones.
        static QTemporaryDir dir;
        const QString home = QDir::currentPath();
        QDir::setCurrent(dir.path());
        static SilentPrompts prompts;
        Prompts::setBackend(&prompts);
        MainWindow *mw = startmainwindow(4);
        QDir::setCurrent(home);
        MainApp::settimescale(0.001);
        // The window lives for the whole run; the device records it listed
        // are freed before the program's globals go.
        std::atexit([] {
            if (gMainApp)
                gMainApp->deletealldevices();
        });
        return mw;
    }();
    return *w;
}

// A listed network device at address 1 of the type, current and online, as
// after a connect over the network.
DeviceData *online(uchar type)
{
    if (!MainApp::finddevice(type, 1, kPeer))
        MainApp::adddevice(type, 1, kPeer);
    gMainApp->setdevtype(type);
    gMainApp->setdevaddr(1);
    gMainApp->setdevip(kPeer);
    gMainApp->selectdevice(type, 1, kPeer);
    DeviceData *d = gMainApp->getcurdevice();
    d->settcpconnected(1);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MainWindow &w = window();
    if (size < 2)
        return 0;
    const int mode = data[0] % 3;
    const uchar pick = data[1];
    const QByteArray rest(reinterpret_cast<const char *>(data + 2), int(size - 2));
    static const uchar kTypes[] = {0x18, 0x16, 0x14};
    DeviceData *d = online(kTypes[pick % 3]);

    if (mode == 0) {
        const int cut = pick == 0 ? rest.size() : 1 + pick % 64;
        for (int i = 0; i < rest.size(); i += qMax(cut, 1))
            w.devicelink()->tcpdataReceived(rest.mid(i, cut), kPeer);
    } else if (mode == 1) {
        for (const QByteArray &datagram : rest.split(char(0xFE)))
            w.devicelink()->trytofindtcpdev(dialoginterface::discoverywords(datagram), kPeer);
    } else {
        const QByteArray image = rest.leftJustified(kProgramImageSize, '\0', true);
        for (int k = 0; k < kProgramImageSize; ++k)
            d->setcurimagebyte(k, quint8(image.at(k)));
        d->unpackprogram();
        w.startgui(); // every page reloads from the record
    }
    QCoreApplication::processEvents();
    return 0;
}
