// Reply reassembly throughput: random bytes, a stream of valid replies, and
// floods of markers (start markers alone, start markers with a fixed-length
// code, end markers). Every stream is fed in 64-byte chunks and byte by byte;
// the figure to compare is bytes per second.

#include "replyassembler.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{

constexpr int kStreamSize = 1 << 20;

QByteArray repeated(const QByteArray &unit)
{
    QByteArray s;
    s.reserve(kStreamSize + unit.size());
    while (s.size() < kStreamSize)
        s.append(unit);
    return s;
}

QByteArray stream(int kind)
{
    switch (kind) {
    case 0: {
        std::mt19937 gen(7);
        QByteArray s(kStreamSize, '\0');
        for (char &c : s)
            c = char(gen() & 0xff);
        return s;
    }
    case 1: { // program parts, meters and acknowledgements, as a download sends them
        QByteArray part = QByteArray::fromHex("445566 18 01 61 42 00 05");
        part.append(QByteArray(64, char(0x5a)));
        part.append(QByteArray::fromHex("2a 112233"));
        return repeated(part + QByteArray::fromHex("445566 18 01 56 0c 101020304050607080909a9b 5b 112233") +
                        QByteArray::fromHex("445566 18 01 50 00 51 112233"));
    }
    case 2:
        return repeated(QByteArray::fromHex("445566"));
    case 3:
        return repeated(QByteArray::fromHex("445566 18 01 61"));
    case 4:
        return repeated(QByteArray::fromHex("445566 18 01 50 00"));
    default:
        return repeated(QByteArray::fromHex("112233"));
    }
}

const char *const kNames[] = {"random", "replies", "startmarkers", "fixedstarts", "openstarts", "endmarkers"};

void reassemble(benchmark::State &state)
{
    const QByteArray s = stream(int(state.range(0)));
    const int chunk = int(state.range(1));
    state.SetLabel(kNames[state.range(0)]);
    qint64 frames = 0;
    for (auto _ : state) {
        ReplyAssembler a;
        for (int i = 0; i < s.size(); i += chunk)
            frames += a.feed(QByteArray::fromRawData(s.constData() + i, qMin(chunk, s.size() - i))).size();
    }
    benchmark::DoNotOptimize(frames);
    state.SetBytesProcessed(int64_t(state.iterations()) * s.size());
}

} // namespace

BENCHMARK(reassemble)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {64, 65536}})->Unit(benchmark::kMillisecond);
BENCHMARK(reassemble)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1}})->Unit(benchmark::kMillisecond);
