// Start-up: every page shows the current record before anything is connected,
// and building and loading the window sends nothing, even with the serial
// line open to a processor.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "formdelay.h"
#include "formeq.h"
#include "formgain.h"
#include "formgeq.h"
#include "formlimit.h"
#include "formlimit2.h"
#include "limitnames.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "standin.h"
#include "startup.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace
{

// A row's widget of index k: the stem for 0, stem_<k + 1> else.
QString suffixed(const char *stem, int k)
{
    return k ? QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(k + 1) : QString::fromLatin1(stem);
}

template <typename T> T *find(QWidget *page, const QString &name)
{
    T *w = page ? page->findChild<T *>(name) : nullptr;
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

// One control and what the record says it shows: the control's value and
// the record's, as text.
struct Shown {
    QString control;
    QString value;
    QString record;
};
using Reader = std::function<QVector<Shown>(const DeviceData *)>;

} // namespace

Q_DECLARE_METATYPE(Reader)

class TstStartRecord : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    standin::Standin s;
    int unit = -1;
    std::unique_ptr<MainWindow> w;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(dir.path()));
        QFile ini(QStringLiteral("UserConfig.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nLangue=en\n");
        ini.close();
        // The serial line is open to a processor from the start: whatever
        // the start-up sent would reach it.
        const int line = s.openpty();
        QVERIFY(line >= 0);
        unit = s.addunit(line, 0x18, 1);
        gComSettings.setportname(s.ptypath(line));
        gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                                 ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                                 ComSettings::FixedTimeout);
        QVERIFY(gComCtrl.openmaincom());
        w.reset(startmainwindow(4));
    }
    void cleanupTestCase()
    {
        w.reset();
        gComCtrl.closemaincom();
        QDir::setCurrent(QDir::tempPath());
    }

    // Each page's controls against the current (default) record, as the
    // window stands after start-up.
    void pagesshowrecord_data()
    {
        QTest::addColumn<Reader>("read");
        QTest::newRow("gain sliders") << Reader([](const DeviceData *d) {
            QVector<Shown> out;
            for (int ch = 0; ch < 12; ++ch)
                out.append({suffixed("vlSliderGain", ch),
                            QString::number(find<QSlider>(gFormGain, suffixed("vlSliderGain", ch))->value()),
                            QString::number(d->getgain(ch))});
            return out;
        });
        QTest::newRow("delay sliders") << Reader([](const DeviceData *d) {
            QVector<Shown> out;
            for (int ch = 0; ch < 12; ++ch)
                out.append({suffixed("sldrdelaymi", ch),
                            QString::number(find<QSlider>(gFormDelay, suffixed("sldrdelaymi", ch))->value()),
                            QString::number(d->getdelay(ch))});
            return out;
        });
        QTest::newRow("graphic EQ sliders and pass buttons") << Reader([](const DeviceData *d) {
            QVector<Shown> out;
            for (int b = 0; b < 31; ++b) {
                out.append({suffixed("slidergeqgain", b),
                            QString::number(find<QSlider>(gFormGeq, suffixed("slidergeqgain", b))->value()),
                            QString::number(d->getgeqgain(0, b))});
                out.append(
                    {suffixed("btngeqpass", b),
                     QString::number(find<QPushButton>(gFormGeq, suffixed("btngeqpass", b))->isChecked()),
                     QString::number(d->getgeqpass(0, b))});
            }
            return out;
        });
        QTest::newRow("EQ bands and gain strip of IN-A") << Reader([](const DeviceData *d) {
            QVector<Shown> out;
            for (int b = 0; b < 7; ++b) {
                out.append({suffixed("sldreqgain", b),
                            QString::number(find<QSlider>(gFormEq, suffixed("sldreqgain", b))->value()),
                            QString::number(d->getpeqgain(0, b))});
                out.append({suffixed("sldreqfreq", b),
                            QString::number(find<QSlider>(gFormEq, suffixed("sldreqfreq", b))->value()),
                            QString::number(d->getpeqfreq(0, b))});
            }
            out.append({"vlSliderGain_1", QString::number(find<QSlider>(gFormEq, "vlSliderGain_1")->value()),
                        QString::number(d->getgain(0))});
            return out;
        });
        QTest::newRow("limiter sliders and entries") << Reader([](const DeviceData *d) {
            QVector<Shown> out;
            for (int ch = 0; ch < 12; ++ch) {
                const int values[4] = {d->getlimitattack(ch), d->getlimitrelease(ch), d->getlimitratio(ch),
                                       d->getlimitthreshold(ch)};
                for (int row = 0; row < 4; ++row) {
                    // A value beyond the row's range shows as its end (an
                    // input threshold is one byte on the processor).
                    const QSlider *slider = find<QSlider>(gFormLimit, limitnames::slider(ch, row));
                    const int v = qBound(slider->minimum(), values[row], slider->maximum());
                    out.append({limitnames::slider(ch, row), QString::number(slider->value()), QString::number(v)});
                    out.append({limitnames::edit(ch, row), find<QLineEdit>(gFormLimit, limitnames::edit(ch, row))->text(),
                                FormLimit::rowtext(ch, FormLimit::Row(row), v)});
                }
            }
            return out;
        });
        QTest::newRow("peak-limiter sliders, entries and switches") << Reader([](const DeviceData *d) {
            QVector<Shown> out;
            const char *const slidername[3] = {"sldrlimit", "sldrlimitb", "sldrlimitc"};
            const char kind[3] = {'a', 'b', 'c'};
            for (int o = 0; o < 8; ++o) {
                const int values[3] = {d->getpeaklimita(o), d->getpeaklimitb(o), d->getpeaklimitvalue(o)};
                for (int k = 0; k < 3; ++k) {
                    const QString slider =
                        QStringLiteral("%1%2").arg(QLatin1String(slidername[k])).arg(o + 1);
                    const QString entry = QStringLiteral("Editlimit%1%2").arg(kind[k]).arg(o + 1);
                    out.append({slider, QString::number(find<QSlider>(gFormLimit2, slider)->value()),
                                QString::number(values[k])});
                    out.append({entry, find<QLineEdit>(gFormLimit2, entry)->text(),
                                FormLimit2::valuetext(FormLimit2::Kind(k), values[k])});
                }
                const QString sw = QStringLiteral("limitswitch%1").arg(o + 1);
                out.append({sw, QString::number(find<QPushButton>(gFormLimit2, sw)->isChecked()),
                            QString::number(d->getpeaklimiton(o) != 0)});
            }
            return out;
        });
    }
    void pagesshowrecord()
    {
        QFETCH(Reader, read);
        const DeviceData *d = gMainApp->getcurdevice();
        QCOMPARE(d, gMainApp->getdefaultdevice());
        for (const Shown &shown : read(d)) {
            if (shown.value != shown.record)
                QFAIL(qPrintable(QStringLiteral("%1 shows %2, the record holds %3")
                                     .arg(shown.control, shown.value, shown.record)));
        }
    }

    // The record's values where the forms' own differ: 0 dB on the graphic
    // EQ, +20 dBu output limiter thresholds, peak-limiter entries filled in.
    void recordvalues()
    {
        const DeviceData *d = gMainApp->getcurdevice();
        QCOMPARE(find<QSlider>(gFormGeq, "slidergeqgain")->value(), 300);
        QCOMPARE(d->getgeqgain(0, 0), 300);
        QCOMPARE(d->getlimitthreshold(4), 400);
        QCOMPARE(find<QLineEdit>(gFormLimit, limitnames::edit(4, 3))->text(), QStringLiteral("20.0dBu"));
        QVERIFY(!find<QLineEdit>(gFormLimit2, "Editlimita1")->text().isEmpty());
    }

    // Nothing reached the processor: not during the start, not from the
    // pages' timers afterwards.
    void nothingsent()
    {
        QTest::qWait(400);
        QCOMPARE(s.commands(unit).size(), 0);
        QCOMPARE(s.badframes().size(), 0);
    }
};

QTEST_MAIN(TstStartRecord)
#include "tst_startrecord.moc"
