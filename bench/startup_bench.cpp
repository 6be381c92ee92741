// What the game pays at every start for its built-in pictures and sounds.
#include <benchmark/benchmark.h>

#include "assets/pictures.h"
#include "assets/waves.h"
#include "engine/image_list.h"
#include "engine/sound.h"

namespace {

void BM_PaintPictures(benchmark::State& state) {
  for (auto _ : state) {
    eng::ImageList list;
    assets::PaintPictures(list);
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_PaintPictures)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_SynthesiseWaves(benchmark::State& state) {
  for (auto _ : state) {
    eng::WaveList list;
    assets::BuildWaves(list);
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_SynthesiseWaves)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_PicturesAndWaves(benchmark::State& state) {
  for (auto _ : state) {
    eng::ImageList images;
    assets::PaintPictures(images);
    images.RestoreAll();
    eng::WaveList waves;
    assets::BuildWaves(waves);
    benchmark::DoNotOptimize(images.Count() + waves.Count());
  }
}
BENCHMARK(BM_PicturesAndWaves)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
