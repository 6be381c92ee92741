// One full 640 x 480 RGB565 copy, opaque, keyed and blended: the unit of
// every frame budget.
#include <benchmark/benchmark.h>

#include "engine/picture.h"
#include "engine/surface.h"

namespace {

eng::Surface Source() {
  eng::Picture pic(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      pic.SetPixel(x, y, ((x / 16 + y / 16) % 3 == 0) ? eng::kWhite : eng::RGB(x % 256, y % 256, 90));
  eng::Surface s;
  s.LoadFromPicture(pic);
  s.SetColorKey(eng::kWhite);
  return s;
}

void BM_BlitOpaque(benchmark::State& state) {
  eng::Surface src = Source(), dst(640, 480);
  for (auto _ : state) {
    dst.Draw(0, 0, src, false);
    benchmark::DoNotOptimize(dst.GetPixel(1, 1));
  }
}
BENCHMARK(BM_BlitOpaque)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_BlitKeyed(benchmark::State& state) {
  eng::Surface src = Source(), dst(640, 480);
  for (auto _ : state) {
    dst.Draw(0, 0, src, true);
    benchmark::DoNotOptimize(dst.GetPixel(1, 1));
  }
}
BENCHMARK(BM_BlitKeyed)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_BlitAlphaKeyed(benchmark::State& state) {
  eng::Surface src = Source(), dst(640, 480);
  for (auto _ : state) {
    dst.DrawAlpha(eng::Rect{0, 0, 640, 480}, src, src.ClientRect(), 200, true);
    benchmark::DoNotOptimize(dst.GetPixel(1, 1));
  }
}
BENCHMARK(BM_BlitAlphaKeyed)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
