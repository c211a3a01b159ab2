#pragma once

// The graphic EQ page on one device of type 0x18, its widgets by band and channel.

#include "devicedata.h"
#include "dspresources.h"
#include "formgeq.h"
#include "formgeqdraw.h"
#include "formshowdraw.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "pagefixture.h"
#include "programimage.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <memory>

class GeqFixture : public PageFixture<FormGeq>
{
public:
    static QString suffix(int band) { return band == 0 ? QString() : QStringLiteral("_%1").arg(band + 1); }
    // Band 0..30.
    QSlider *slider(int b) const { return get<QSlider>(QStringLiteral("slidergeqgain") + suffix(b)); }
    QPushButton *pass(int b) const { return get<QPushButton>(QStringLiteral("btngeqpass") + suffix(b)); }
    QPushButton *reset(int b) const { return get<QPushButton>(QStringLiteral("btngeqset0") + suffix(b)); }
    QPushButton *setall() const { return get<QPushButton>(QStringLiteral("btngeqset0_32")); }
    QPushButton *bypass() const { return get<QPushButton>(QStringLiteral("btneqbypassxx")); }
    QWidget *overlay() const { return get<QWidget>(QStringLiteral("widgetgeqlockback")); }
    // Channel 0..11.
    QPushButton *channel(int c) const
    {
        static const char *const names[] = {"ina",  "inb",  "inc",  "ind",  "out1", "out2",
                                            "out3", "out4", "out5", "out6", "out7", "out8"};
        return get<QPushButton>(QStringLiteral("btngeq") + QLatin1String(names[c]));
    }
    FormShowDraw *plot() const { return page->display()->plot(); }
    // Index of the checked channel button, -1 for none.
    int checkedchannel() const
    {
        for (int c = 0; c < 12; ++c)
            if (channel(c)->isChecked())
                return c;
        return -1;
    }
    // The slider values the page shows.
    QVector<int> sliders() const
    {
        QVector<int> out;
        for (int b = 0; b < 31; ++b)
            out << slider(b)->value();
        return out;
    }
    // Channel c's raw gains in the model.
    QVector<int> gains(int c) const
    {
        QVector<int> out;
        for (int b = 0; b < 31; ++b)
            out << dev->getgeqgain(c, b);
        return out;
    }

    // The twelve link masks into the model as a download leaves them, and the
    // link switches on where a group exists.
    void setmasks(const QByteArray &masks)
    {
        setimagebytes(dev, kImageLinkMask, masks);
        gMainApp->inputlinkon = dev->inputlinked() ? 1 : 0;
        gMainApp->outputlinkon = dev->outputlinked() ? 1 : 0;
    }
    // Bytes of the program image as a download leaves them: the model packed,
    // the bytes replaced, the image unpacked into the model again. The
    // outputs' graphic EQ, which the image does not hold, is kept.
    static void setimagebytes(DeviceData *d, int offset, const QByteArray &bytes)
    {
        const QVector<quint16> outputs = outputwords(d);
        DeviceFixture::setimagebytes(d, offset, bytes);
        for (int c = 4, i = 0; c < 12; ++c)
            for (int b = 0; b < 31; ++b, ++i)
                d->setgeq(c, b, outputs[i] & 0x7FFF, outputs[i] & 0x8000);
    }
    // The outputs' graphic EQ words, channel by channel, band by band.
    static QVector<quint16> outputwords(DeviceData *d)
    {
        QVector<quint16> out;
        for (int c = 4; c < 12; ++c)
            for (int b = 0; b < 31; ++b)
                out << quint16(d->getgeqword(c, b));
        return out;
    }
};
