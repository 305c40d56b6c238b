// Value array storage files: SaveToFile and LoadFromFile of a 100,000 x 5
// table of mixed values, beside plain zlib level-9 compression and
// decompression of the same variant stream in the same run, with the heap
// peak of each operation (HeapCounter.h: the largest growth of the bytes in
// live heap blocks during one untimed run, counted by a replacement malloc).
//
// After the runs the ratios are printed with their goals:
//   save <= 1.2 x compression, load <= 2 x decompression,
//   heap peak of save and of load <= 3 x the uncompressed stream.
// The ratios compare processor times (the wall-time ratios follow). The file
// goes to $TMPDIR (or /tmp); its fsync is part of the save.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/HeapCounter.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "values/ByteStream.h"
#include "values/ValueArray.h"

namespace labelplu::bench {
namespace {

constexpr int32_t kRows = 100000;
constexpr int32_t kCols = 5;

const char* const kWords[] = {"Молоко",          "Кефир", "Хлеб ржаной", "Сыр",
                              "Масло сливочное", "Чай",   "Яблоки",      "Сок вишнёвый"};

struct Fixture {
  ole::ComPtr<ValueArray> table;
  std::vector<uint8_t> stream;  // the variant stream of the table
  std::vector<uint8_t> packed;  // that stream through zlib level 9
  std::string folder;
  ole::BstrPtr file;

  Fixture() {
    table = ValueArray::Create();
    table->SetBounds(kRows, kCols);
    for (int32_t i = 0; i < kRows; ++i) {
      ole::OleVariant cells[kCols] = {
          ole::OleVariant(i),
          ole::OleVariant(i * 0.37 + 0.01),
          ole::OleVariant(std::string(kWords[i % 8]) + " " + std::to_string(i % 1000)),
          ole::OleVariant(static_cast<int32_t>((i * 7919) % 100003)),
          ole::OleVariant(std::string(kWords[(i / 8) % 8]) + ", партия " + std::to_string(i / 100)),
      };
      for (int32_t j = 0; j < kCols; ++j) table->SetValue(i, j, &cells[j].get());
    }
    ByteStream written;
    table->WriteTo(written);
    stream.assign(written.Memory(), written.Memory() + written.Size());
    uLongf size = compressBound(stream.size());
    packed.resize(size);
    compress2(packed.data(), &size, stream.data(), stream.size(), Z_BEST_COMPRESSION);
    packed.resize(size);

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lp_bench_XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder = pattern;
    file.reset(ole::Utf8ToBstr(folder + "/table.sa"));
    VARIANT_BOOL ok = VARIANT_FALSE;
    ole::OleCheck(table->SaveToFile(file.get(), &ok));
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

// The heap peak of one run of op, counted outside the timed runs.
template <class F>
size_t PeakOf(F op) {
  HeapWindow window;
  op();
  return window.Peak();
}

void ReportPeak(benchmark::State& state, size_t peak) {
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["peak_per_stream"] =
      static_cast<double>(peak) / static_cast<double>(Shared().stream.size());
  state.counters["stream_MB"] = static_cast<double>(Shared().stream.size()) / 1e6;
}

void ZlibCompress(benchmark::State& state) {
  const Fixture& f = Shared();
  std::vector<uint8_t> out(compressBound(f.stream.size()));
  uLongf size = out.size();
  if (compress2(out.data(), &size, f.stream.data(), f.stream.size(), Z_BEST_COMPRESSION) != Z_OK) {
    state.SkipWithError("compress2 failed");
  }
  benchmark::DoNotOptimize(out.data());
}

void ZlibDecompress(benchmark::State& state) {
  const Fixture& f = Shared();
  std::vector<uint8_t> out(f.stream.size());
  uLongf size = out.size();
  if (uncompress(out.data(), &size, f.packed.data(), f.packed.size()) != Z_OK) {
    state.SkipWithError("uncompress failed");
  }
  benchmark::DoNotOptimize(out.data());
}

void Save(benchmark::State& state) {
  Fixture& f = Shared();
  VARIANT_BOOL ok = VARIANT_FALSE;
  if (FAILED(f.table->SaveToFile(f.file.get(), &ok)))
    state.SkipWithError(ole::TakeErrorText().c_str());
}

void Load(benchmark::State& state, ValueArray& table) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  if (FAILED(table.LoadFromFile(Shared().file.get(), &ok)) || !ok) {
    state.SkipWithError(ole::TakeErrorText().c_str());
  }
}

void BM_ZlibCompress(benchmark::State& state) {
  const size_t peak = PeakOf([&] { ZlibCompress(state); });
  for (auto _ : state) ZlibCompress(state);
  ReportPeak(state, peak);
  state.counters["packed_MB"] = static_cast<double>(Shared().packed.size()) / 1e6;
}

void BM_ZlibDecompress(benchmark::State& state) {
  const size_t peak = PeakOf([&] { ZlibDecompress(state); });
  for (auto _ : state) ZlibDecompress(state);
  ReportPeak(state, peak);
}

void BM_SaveToFile(benchmark::State& state) {
  const size_t peak = PeakOf([&] { Save(state); });
  for (auto _ : state) Save(state);
  ReportPeak(state, peak);
}

// Each load goes into a new table; dropping the loaded one is not timed.
void BM_LoadFromFile(benchmark::State& state) {
  size_t peak = 0;
  {
    auto table = ValueArray::Create();
    peak = PeakOf([&] { Load(state, *table); });
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto table = ValueArray::Create();
    state.ResumeTiming();
    Load(state, *table);
    state.PauseTiming();
    if (table->RowCount() != kRows || table->ColCount() != kCols)
      state.SkipWithError("wrong table loaded");
    table = nullptr;
    state.ResumeTiming();
  }
  ReportPeak(state, peak);
}

BENCHMARK(BM_ZlibCompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZlibDecompress)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The console output, and the figures the goals compare.
class GoalReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      m_cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
      m_real[run.run_name.function_name] = run.GetAdjustedRealTime();
      const auto peak = run.counters.find("peak_per_stream");
      if (peak != run.counters.end()) m_peak[run.run_name.function_name] = peak->second.value;
    }
  }

  void PrintGoals() const {
    std::printf("\nGoals (measured / goal):\n");
    Ratio("save / zlib compression", "BM_SaveToFile", "BM_ZlibCompress", 1.2);
    Ratio("load / zlib decompression", "BM_LoadFromFile", "BM_ZlibDecompress", 2.0);
    if (!Counting()) {
      std::printf("  heap peaks: not counted in this build\n");
      return;
    }
    Peak("save heap peak / stream size", "BM_SaveToFile", 3.0);
    Peak("load heap peak / stream size", "BM_LoadFromFile", 3.0);
  }

 private:
  // On processor time, which other load on the machine disturbs least; the
  // ratio of wall times follows in brackets.
  void Ratio(const char* what, const char* a, const char* b, double goal) const {
    if (!m_cpu.count(a) || !m_cpu.count(b)) return;
    const double ratio = m_cpu.at(a) / m_cpu.at(b);
    std::printf("  %-32s %6.2f / %.1f  %-6s (wall %.2f)\n", what, ratio, goal,
                ratio <= goal ? "met" : "MISSED", m_real.at(a) / m_real.at(b));
  }
  void Peak(const char* what, const char* a, double goal) const {
    if (!m_peak.count(a)) return;
    const double ratio = m_peak.at(a);
    std::printf("  %-32s %6.2f / %.1f  %s\n", what, ratio, goal, ratio <= goal ? "met" : "MISSED");
  }

  std::map<std::string, double> m_cpu;
  std::map<std::string, double> m_real;
  std::map<std::string, double> m_peak;
};

}  // namespace
}  // namespace labelplu::bench

int main(int argc, char** argv) {
  // glibc hands freed blocks of several megabytes back to the system at once
  // unless an earlier free of that size raised its thresholds, so the first
  // runs of a benchmark pay page faults that later ones do not, depending on
  // what ran before. Keeping freed memory makes every side run warm, as a
  // long-running host does after its first tables; LABELPLU_BENCH_COLD=1
  // keeps glibc's defaults.
  const char* cold = std::getenv("LABELPLU_BENCH_COLD");
  if (!cold || std::string(cold) != "1") {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  try {
    labelplu::AnnounceValueArrayClass();
    labelplu::bench::Shared();  // built before any timing
    labelplu::bench::GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintGoals();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_value_array: %s\n", failure.what());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
