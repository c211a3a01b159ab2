// The EQ displays: the response computation alone, one full repaint of the
// curve widget (seven bands and both crossover filters) into an offscreen
// image, and one repaint of the FIR panel's curve (four filter designs and
// 399 response points). A drag repaints the curve on every mouse move.

#include "ccurvewidget.h"
#include "curvemath.h"
#include "devicedata.h"
#include "dspresources.h"
#include "eqresponse.h"
#include "formccurvefir.h"
#include "mainapp.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

namespace
{

// One application, controller and current device for every benchmark: an
// output with seven bands of mixed types and 24 dB crossover slopes.
DeviceData *setup()
{
    static QApplication *app = nullptr;
    if (!app) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_eqdisplay";
        static char *argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        initdspresources();
        gMainApp = new MainApp;
    }
    DeviceData *d = gMainApp->getcurdevice();
    const int ch = 5;
    const int types[7] = {0, 1, 0, 3, 0, 2, 4};
    for (int b = 0; b < 7; ++b) {
        d->setpeqtype(ch, b, types[b]);
        d->setpeqfreq(ch, b, 40 + 50 * b);
        d->setpeqgain(ch, b, b % 2 ? 380 : 220);
        d->setpeqwidth(ch, b, 10 + 3 * b);
    }
    d->sethpftype(1, 5);
    d->sethpffreq(1, 60);
    d->setlpftype(1, 11);
    d->setlpffreq(1, 330);
    d->setxobyte0(1, 3);
    d->setfirorder(1, 2);
    d->setfirlowparam(1, 100);
    d->setfirhighparam(1, 300);
    gMainApp->setpeqchannel(ch);
    gMainApp->seteqviewch(ch + 1);
    return d;
}

void BM_CurveComputation(benchmark::State &state)
{
    DeviceData *d = setup();
    CurveMath math;
    for (auto _ : state) {
        const eqresponse::CurvePoints pts = eqresponse::computecurve(math, eqresponse::curveinput(*d, 5, math));
        benchmark::DoNotOptimize(pts.y[200]);
    }
}
BENCHMARK(BM_CurveComputation);

void BM_CurveRepaint(benchmark::State &state)
{
    setup();
    CCurveWidget w;
    w.resize(810, 225);
    w.loadpoints();
    w.updatepoint(2);
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        img.fill(Qt::black);
        w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_CurveRepaint)->Unit(benchmark::kMillisecond);

void BM_FirRepaint(benchmark::State &state)
{
    setup();
    FormCcurveFir w;
    w.resize(370, 225);
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        img.fill(Qt::black);
        w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_FirRepaint)->Unit(benchmark::kMillisecond);

} // namespace
