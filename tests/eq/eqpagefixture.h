#pragma once

// What the EQ page tests against the stand-in share: the gain and delay
// pages' fixture (a connected device of type 0x18 on the stand-in), the EQ
// page with the gain page it mirrors its gain strip to, both in one shown
// window with their timers stopped, and lookups of the page's widgets.

#include "../gaindelay/gaindelayfixture.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formgain.h"
#include "programimage.h"
#include "ui_formeq.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <memory>

namespace eqtest
{

// A band slot of the image: type byte, frequency word, gain word, 40 - width.
inline QByteArray bandslot(int type, int freq, int gain, int width)
{
    QByteArray b;
    b.append(char(type)).append(char(freq & 0xFF)).append(char(freq >> 8));
    b.append(char(gain & 0xFF)).append(char(gain >> 8)).append(char(40 - width));
    return b;
}

inline int bandoffset(int ch, int b)
{
    return kImagePeq + kImagePeqStride * ch + kImagePeqSlotSize * b;
}

// Known band and crossover records in both the stand-in and the model: every
// band PEQ at 1 kHz, 0 dB, width 0.5; every output's filters as given and
// band-pass FIR record (windows 6/0/2, order 1 in IIR mode, corners 200/300,
// band-pass 210/350).
inline void knownrecords(gdtest::Fixture &f, const char *filters)
{
    for (int ch = 0; ch < 12; ++ch)
        for (int b = 0; b < 7; ++b)
            f.setimage(bandoffset(ch, b), bandslot(0, 238, 300, 14));
    for (int o = 0; o < 8; ++o) {
        f.setimage(kImageFilters + kImageFiltersStride * o, hex(filters));
        f.setimage(kImageCrossover + kImageCrossoverStride * o, hex("03060002 01c8002c 01d2005e 01"));
    }
}

// The command byte and payload of a frame: markers, type, address, checksum off.
inline QByteArray body(const QByteArray &frame)
{
    return frame.mid(5, frame.size() - 9);
}

inline QString suffix(const char *stem, int band)
{
    return band ? QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(band + 1) : QString::fromLatin1(stem);
}

class Pages
{
public:
    QWidget host;
    FormGain *gain = nullptr;
    FormEq *eq = nullptr;
    Formeqbtns *bands = nullptr;
    Ui::FormEq *ui = nullptr;

    void create()
    {
        gain = new FormGain(&host);
        eq = new FormEq(&host);
        eq->setWindowFlags(Qt::Widget); // a page inside the window, as in its sub-window
        eq->move(0, 0);
        QObject::connect(eq, &FormEq::sendtogainview, gain, &FormGain::messgeformpeq);
        ui = eq->form();
        bands = ui->widgeteqbtn;
        for (QTimer *t : host.findChildren<QTimer *>())
            t->stop();
        host.resize(1014, 900);
    }
    bool show() { return gdtest::activate(&host); }
    // The top-level FIR and phase windows can take the activation: the page's
    // window gets it back before the next input.
    void refocus()
    {
        if (!host.isActiveWindow())
            gdtest::activate(&host);
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            eq->timetosend();
            bands->timetosend();
            gain->timetosend();
        }
    }
    // Selects channel n (1..12) the way its button does.
    void select(int n)
    {
        gMainApp->seteqviewch(n);
        eq->selectchannel(n);
        refocus();
    }

    template <typename T> T *band(const char *stem, int b) const
    {
        T *w = bands->findChild<T *>(suffix(stem, b));
        if (!w)
            qFatal("no band widget %s", qPrintable(suffix(stem, b)));
        return w;
    }
    // Picks a list entry as a user does: the list has the focus.
    void pick(QComboBox *box, int entry)
    {
        refocus();
        box->setFocus();
        box->setCurrentIndex(entry);
    }
};

} // namespace eqtest
