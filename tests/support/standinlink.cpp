#include "standinlink.h"

#include "comsettings.h"
#include "mainapp.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

QVector<QByteArray> frames(const QString &text)
{
    QVector<QByteArray> out;
    for (const QString &f : text.split(QLatin1Char(',')))
        if (!f.trimmed().isEmpty())
            out << hex(qPrintable(f.trimmed()));
    return out;
}

QByteArray randommasks(quint32 seed)
{
    QRandomGenerator rng(seed * 7919u);
    QByteArray masks(12, '\0');
    for (int ch = 0; ch < 12; ++ch)
        masks[ch] = char(rng.bounded(ch < 4 ? 16 : 256));
    masks[0] = char(masks[0] & ~1);
    masks[4] = char(masks[4] & ~1);
    return masks;
}

bool standincaughtup(const standin::Standin &s, CComCtrl &ctrl)
{
    static quint16 mark = 0;
    ++mark;
    QByteArray data;
    data.append(char(mark >> 8)).append(char(mark & 0xFF));
    const QByteArray frame = standin::commandframe(0x18, kMarkAddress, 0x02, data);
    // Frames the program holds back go out first, in their order.
    if (gMainApp)
        gMainApp->drainoutput();
    ctrl.sendcmd(0x18, kMarkAddress, 0x02, QString::fromLatin1("02" + data.toHex()));
    return QTest::qWaitFor(
        [&] {
            const auto records = s.frames();
            return std::any_of(records.begin(), records.end(),
                               [&](const standin::FrameRecord &r) { return r.bytes == frame; });
        },
        30000);
}

bool StandinLink::openline()
{
    const int line = s.openpty();
    if (line < 0)
        return false;
    unit = s.addunit(line, 0x18, 1);
    gComSettings.setportname(s.ptypath(line));
    gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                             ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                             ComSettings::FixedTimeout);
    return ctrl.openmaincom();
}

QVector<QByteArray> StandinLink::sent(int code)
{
    gMainApp->sendreadlight();
    auto done = [&] { return !s.commands(unit).isEmpty() && s.commands(unit).last().command() == 0x56; };
    if (!QTest::qWaitFor(done, 10000))
        return {"no level request arrived"};
    QVector<QByteArray> out;
    for (const standin::FrameRecord &r : s.commands(unit))
        if (r.command() != 0x56 && (code < 0 || r.command() == code))
            out << r.bytes;
    s.clearframes();
    return out;
}
