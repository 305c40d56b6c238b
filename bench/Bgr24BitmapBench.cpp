// Fast bitmap pixel loops on a 2000 × 2000 picture: nearest resampling
// (enlarging to 3000 × 3000 and shrinking to 1000 × 1000), bilinear
// resampling to 3000 × 3000, and rotation by 30 and 90 degrees into the
// square that holds every turn (2830 × 2830). Items are destination pixels.
// Run: <build>/bin/bench_fast_bmp
#include <benchmark/benchmark.h>

#include <memory>

#include "render/Bgr24Bitmap.h"

namespace labelplu::bench {
namespace {

std::unique_ptr<Bgr24Bitmap> Source() {
  auto bmp = std::make_unique<Bgr24Bitmap>(2000, 2000);
  for (int32_t r = 0; r < bmp->Height(); ++r) {
    uint8_t* p = bmp->Row(r);
    for (int32_t i = 0; i < 3 * bmp->Width(); ++i) p[i] = static_cast<uint8_t>(i * 7 + r * 13);
  }
  return bmp;
}

void BM_ResizeNearest(benchmark::State& state) {
  const auto src = Source();
  Bgr24Bitmap dst(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    src->ResizeNearest(dst);
    benchmark::DoNotOptimize(dst.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * int64_t{dst.Width()} * dst.Height());
}
BENCHMARK(BM_ResizeNearest)->Arg(3000)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ResizeSmooth(benchmark::State& state) {
  const auto src = Source();
  Bgr24Bitmap dst(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    src->ResizeSmooth(dst);
    benchmark::DoNotOptimize(dst.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * int64_t{dst.Width()} * dst.Height());
}
BENCHMARK(BM_ResizeSmooth)->Arg(3000)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_RotateInto(benchmark::State& state) {
  const auto src = Source();
  Bgr24Bitmap dst(2830, 2830);
  for (auto _ : state) {
    Bgr24Bitmap::RotateInto(*src, dst, 1415, 1415, static_cast<double>(state.range(0)));
    benchmark::DoNotOptimize(dst.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * int64_t{dst.Width()} * dst.Height());
}
BENCHMARK(BM_RotateInto)->Arg(30)->Arg(90)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace labelplu::bench

BENCHMARK_MAIN();
