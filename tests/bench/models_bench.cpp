// Inner loops of dragging and repainting: each should cost nanoseconds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "config/language.h"
#include "fallback_texts.h"
#include "keys/descriptors.h"
#include "mapping/screen_mapping.h"

namespace scribo {
namespace {

const Rect32 kPreview{420, 330, 554, 448};
const Size32 kEff{15200, 9500};

// The floor: what the benchmark loop itself costs per iteration.
void BM_EmptyLoop(benchmark::State& state) {
    int x = 0;
    for (auto _ : state) benchmark::DoNotOptimize(x);
}
BENCHMARK(BM_EmptyLoop);

void BM_TabletAreaToPreview(benchmark::State& state) {
    Area a{2000, 1000, 8000, 5000};
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(tabletAreaToPreview(a, kEff, kPreview));
    }
}
BENCHMARK(BM_TabletAreaToPreview);

void BM_PreviewToTabletArea(benchmark::State& state) {
    Rect32 r{437, 342, 507, 404};
    for (auto _ : state) {
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(previewToTabletArea(r, kEff, kPreview));
    }
}
BENCHMARK(BM_PreviewToTabletArea);

void BM_ScreenRoundTrip(benchmark::State& state) {
    const Rect32 monitor{-1920, 0, 0, 1080}, preview{10, 20, 202, 128};
    Area f{-1900, 100, 960, 540};
    for (auto _ : state) {
        benchmark::DoNotOptimize(f);
        auto r = screenAreaToPreview(f, monitor, preview);
        benchmark::DoNotOptimize(previewToScreenArea(*r, monitor, preview));
    }
}
BENCHMARK(BM_ScreenRoundTrip);

void BM_ClampToBounds(benchmark::State& state) {
    const Rect32 cases[] = {
        {400, 300, 480, 380}, {560, 460, 600, 500}, {300, 200, 380, 260}, {380, 300, 600, 500}};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(clampToBounds(cases[i++ & 3], kPreview));
    }
}
BENCHMARK(BM_ClampToBounds);

void BM_ScreenPortion(benchmark::State& state) {
    Rect32 monitor{0, 0, 1920, 1080};
    for (auto _ : state) {
        benchmark::DoNotOptimize(monitor);
        benchmark::DoNotOptimize(screenPortion(kEff, monitor));
    }
}
BENCHMARK(BM_ScreenPortion);

void BM_DescribeFunction(benchmark::State& state) {
    testsupport::FallbackTexts source;
    TIniFile lang(source, u"English.ini");
    const std::u16string descriptors[] = {u"0|C:\\Program Files\\Tools\\paint.exe",
                                          u"1|Ctrl+Shift+S|83|31|3", u"2|3", u""};
    const std::u16string& d = descriptors[state.range(0)];
    for (auto _ : state) benchmark::DoNotOptimize(describeFunction(d, lang));
}
BENCHMARK(BM_DescribeFunction)->DenseRange(0, 3);

}  // namespace
}  // namespace scribo
