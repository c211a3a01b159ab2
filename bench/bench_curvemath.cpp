// Cost of the response mathematics behind one repaint of a curve display.

#include "curvemath.h"

#include <benchmark/benchmark.h>

namespace
{

struct Band {
    int index; // grid index of the centre
    float gain;
    int width;
};

// Seven parametric bands of one channel, spread over the grid.
const Band kBands[7] = {{40, 4.5f, 17},  {90, -3.0f, 14},  {150, 6.0f, 20}, {210, -8.5f, 9},
                        {260, 2.0f, 23}, {320, -12.0f, 5}, {370, 3.5f, 30}};

// One channel's summed curve: seven peaking bands plus a high-pass and a
// low-pass crossover section at each of the 399 grid points, as the response
// display sums them (whole pixels per term, 5 px per dB).
void sumcurve(CurveMath &m, int *ys)
{
    float f0[7];
    float q[7];
    for (int b = 0; b < 7; ++b) {
        f0[b] = float(m.getfreq(kBands[b].index));
        q[b] = float(m.getq(kBands[b].width));
    }
    const float fh = float(m.getfreq(60));
    const float fl = float(m.getfreq(330));
    for (int i = 0; i < CurveMath::kGridSize; ++i) {
        const double f = m.getfreq(i);
        const float ff = float(f);
        int y = 75;
        for (int b = 0; b < 7; ++b)
            y -= int(5.0 * m.peakingdb(f0[b], kBands[b].gain, q[b], ff));
        y -= int(5.0 * m.highpassdb1(fh, 12.0f, 0.707f, ff));
        y -= int(5.0 * m.lowpassdb3(fl, 12.0f, 0.707f, ff));
        ys[i] = y + m.freqtox(f);
    }
}

void BM_ChannelCurve(benchmark::State &state)
{
    CurveMath m;
    int ys[CurveMath::kGridSize];
    for (auto _ : state) {
        sumcurve(m, ys);
        benchmark::DoNotOptimize(ys);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * CurveMath::kGridSize);
}
BENCHMARK(BM_ChannelCurve)->Unit(benchmark::kMicrosecond);

// The same with a new object every time: no coefficient set carried over.
void BM_ChannelCurveFreshObject(benchmark::State &state)
{
    int ys[CurveMath::kGridSize];
    for (auto _ : state) {
        CurveMath m;
        sumcurve(m, ys);
        benchmark::DoNotOptimize(ys);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ChannelCurveFreshObject)->Unit(benchmark::kMicrosecond);

// One FIR design and its 399-point response over the panel's four segments.
void BM_FirResponse(benchmark::State &state)
{
    const quint8 order = quint8(state.range(0));
    const double first[4] = {10, 68.8, 481, 3300};
    const double last[4] = {67.5, 427, 3240, 21900};
    const int points[4] = {100, 100, 100, 99};
    CurveMath m;
    for (auto _ : state) {
        for (int s = 0; s < 4; ++s)
            m.setfirfreqs(last[s], first[s], points[s], s);
        for (int s = 0; s < 4; ++s)
            m.firresponse1(500.0f, 2000.0f, last[s], first[s], order, 6.0, s);
        benchmark::DoNotOptimize(m.getfirmag(398));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * CurveMath::kFirPointCount);
}
BENCHMARK(BM_FirResponse)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
