#pragma once

// Test helpers for the parameter model: a readable listing of every field a
// program image carries, for comparing two records.

#include "devicedata.h"

#include <QByteArray>
#include <QStringList>

// "name=value" for every decoded field of the image, in a fixed order.
// All-pass values are listed only for type-5 bands (the only ones the image
// carries); graphic EQ only for the four inputs.
inline QStringList imagefields(const DeviceData &d)
{
    QStringList out;
    auto add = [&out](const QString &name, int value) {
        out << QStringLiteral("%1=%2").arg(name).arg(value);
    };
    out << QStringLiteral("name=%1").arg(d.getprogramname());
    for (int c = 0; c < 12; ++c) {
        const QString ch = QStringLiteral("ch%1.").arg(c);
        add(ch + "mute", d.getmute(c));
        add(ch + "gain", d.getgain(c));
        for (int b = 0; b < 7; ++b) {
            const QString bd = ch + QStringLiteral("peq%1.").arg(b);
            add(bd + "type", d.getpeqtypebyte(c, b));
            add(bd + "freq", d.getpeqfreq(c, b));
            add(bd + "gain", d.getpeqgain(c, b));
            add(bd + "width", d.getpeqwidth(c, b));
            if (d.getpeqtype(c, b) == 5)
                add(bd + "allpass", d.getpeqallpass(c, b));
        }
        if (c < 4)
            for (int b = 0; b < 31; ++b)
                add(ch + QStringLiteral("geq%1").arg(b), d.getgeqword(c, b));
        add(ch + "bypass", d.getbypassbyte(c));
        add(ch + "link", d.getlinkmask(c));
        add(ch + "delayflag", d.getdelayflag(c));
        add(ch + "delay", d.getdelay(c));
        add(ch + "knee", d.getlimitknee(c));
        add(ch + "threshold", d.getlimitthreshold(c));
        add(ch + "ratio", d.getlimitratio(c));
        add(ch + "attack", d.getlimitattack(c));
        add(ch + "release", d.getlimitrelease(c));
    }
    for (int o = 0; o < 8; ++o) {
        const QString out_ = QStringLiteral("out%1.").arg(o);
        add(out_ + "hpftype", d.gethpftype(o));
        add(out_ + "hpffreq", d.gethpffreq(o));
        add(out_ + "lpftype", d.getlpftype(o));
        add(out_ + "lpffreq", d.getlpffreq(o));
        add(out_ + "firtype", d.getxobyte0(o));
        add(out_ + "firorder", d.getfirorder(o));
        add(out_ + "firflag", d.getfirflag(o));
        add(out_ + "firlowfreq", d.getfirlowfreq(o));
        add(out_ + "firhighfreq", d.getfirhighfreq(o));
        add(out_ + "firlowparam", d.getfirlowparam(o));
        add(out_ + "firhighparam", d.getfirhighparam(o));
        add(out_ + "firparam1", d.getfirparam1(o));
        add(out_ + "firparam2", d.getfirparam2(o));
        add(out_ + "firparam3", d.getfirparam3(o));
        add(out_ + "peakon", d.getpeaklimiton(o));
        add(out_ + "peakvalue", d.getpeaklimitvalue(o));
        add(out_ + "peaka", d.getpeaklimita(o));
        add(out_ + "peakb", d.getpeaklimitb(o));
        add(out_ + "outflag", d.getoutflag(o));
        add(out_ + "route", d.getroutebyte(o));
        add(out_ + "routebools", (d.getrouteina(o) ? 8 : 0) | (d.getrouteinb(o) ? 4 : 0) |
                                     (d.getrouteinc(o) ? 2 : 0) | (d.getrouteind(o) ? 1 : 0));
    }
    return out;
}

// The first entry where the two listings differ, or an empty text.
inline QString firstdifference(const QStringList &a, const QStringList &b)
{
    const int n = qMin(a.size(), b.size());
    for (int i = 0; i < n; ++i)
        if (a.at(i) != b.at(i))
            return a.at(i) + QStringLiteral(" vs ") + b.at(i);
    if (a.size() != b.size())
        return QStringLiteral("listings of different length");
    return QString();
}

inline QByteArray currentimage(const DeviceData &d)
{
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = static_cast<char>(d.getcurimagebyte(k));
    return image;
}

inline QByteArray writeimage(const DeviceData &d)
{
    QByteArray image(kProgramImageSize, '\0');
    for (int k = 0; k < kProgramImageSize; ++k)
        image[k] = static_cast<char>(d.getwriteimagebyte(k));
    return image;
}

inline void setcurrentimage(DeviceData &d, const QByteArray &image)
{
    for (int k = 0; k < kProgramImageSize; ++k)
        d.setcurimagebyte(k, static_cast<quint8>(image.at(k)));
}
