#include "devicefixture.h"

#include "globalcontrl.h"
#include "mainapp.h"
#include "programimage.h"

#include <QDir>
#include <QTest>

void DeviceFixture::startup(uchar addr, uchar type)
{
    QVERIFY(dir.isValid());
    QDir::setCurrent(dir.path());
    gGlobalContrl = new GlobalContrl;
    gGlobalContrl->setlanguage(0);
    gMainApp = new MainApp;
    const QHostAddress serial(QStringLiteral("0.0.0.0"));
    dev = MainApp::adddevice(type, addr, serial);
    gMainApp->setdevtype(type);
    gMainApp->setdevaddr(addr);
    gMainApp->setdevip(serial);
    gMainApp->selectdevice(type, addr, serial);
    QCOMPARE(gMainApp->getcurdevice(), dev);
}

void DeviceFixture::shutdown()
{
    deleteprogramglobals();
    dev = nullptr;
}

void DeviceFixture::setimagebytes(DeviceData *d, int offset, const QByteArray &bytes)
{
    d->packprogram();
    for (int k = 0; k < kProgramImageSize; ++k)
        d->setcurimagebyte(k, d->getwriteimagebyte(k));
    for (int k = 0; k < bytes.size(); ++k)
        d->setcurimagebyte(offset + k, quint8(bytes[k]));
    d->unpackprogram();
}

QByteArray DeviceFixture::packed(DeviceData *d)
{
    d->packprogram();
    QByteArray out(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        out[k] = char(d->getwriteimagebyte(k));
    return out;
}

void deleteprogramglobals()
{
    delete gMainApp;
    gMainApp = nullptr;
    qDeleteAll(gDeviceList);
    gDeviceList.clear();
    delete gGlobalContrl;
    gGlobalContrl = nullptr;
}
