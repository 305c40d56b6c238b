// Barcodes: encoding and rendering into a bitmap at 203 and 300 dpi, ours
// beside libzint doing the same in the same run (ZBarcode_Encode_and_Buffer,
// human-readable text included for the linear symbols as ours paints it);
// and the whole preparation of a barcode item at 300 dpi (its symbol
// generated anew, fitted and turned into the picture the label copies).
//   EAN-13          "4607001234567"
//   Code 128        20 characters
//   DataMatrix      30 characters, 0.5 mm modules
// Argument: dots per inch. Run: <build>/bin/bench_barcode
#include <benchmark/benchmark.h>
#include <zint.h>

#include <QGuiApplication>

#include <cmath>
#include <memory>
#include <string>

#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/LabelView.h"
#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "platform/gdi/RasterTarget.h"
#include "render/Bgr24Bitmap.h"
#include "render/LinearBarcodeRenderer.h"
#include "render/MatrixBarcodeGenerator.h"

namespace labelplu::bench {
namespace {

const std::string kEan13 = "4607001234567";
const std::string kCode128 = "SHELF-42/ROW-7 lot19";           // 20 characters
const std::string kMatrix = "https://example.org/p?id=46070";  // 30 characters

void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "bench_barcode";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QGuiApplication(argc, argv);
}

constexpr double kMils = 12.0;

// libzint draws a module 2 × scale pixels wide: the scale that gives the
// same whole-dot module as ours.
float ZintScale(int32_t modulePixels) {
  return static_cast<float>(modulePixels) / 2.0F;
}

void ZintRun(benchmark::State& state, int symbology, const std::string& data, float scale,
             bool text = true) {
  for (auto _ : state) {
    zint_symbol* s = ZBarcode_Create();
    s->symbology = symbology;
    s->scale = scale;
    s->show_hrt = text ? 1 : 0;
    const int rc = ZBarcode_Encode_and_Buffer(
        s, reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()), 0);
    if (rc >= ZINT_ERROR) state.SkipWithError(s->errtxt);
    benchmark::DoNotOptimize(s->bitmap);
    ZBarcode_Delete(s);
  }
}

// Our linear encoder: encode, then paint bars and text into a 24-bit bitmap
// of about an inch's height.
void OursLinear(benchmark::State& state, BarcodeSymbology type, const std::string& data,
                bool text = true) {
  EnsureGuiApplication();
  const auto dpi = static_cast<int32_t>(state.range(0));
  LinearBarcodeRenderer bc;
  bc.SetBarCodeType(type);
  bc.SetCode(data);
  bc.SetBarWidth(kMils);
  bc.SetResolution(dpi);
  bc.SetShowCode(text);
  const BarModules m = ComputeBarModules(kMils, dpi);
  const auto width = static_cast<int32_t>(BarElementsWidth(bc.Elements(), m));
  Bgr24Bitmap bitmap(width, dpi / 2);
  bitmap.SetResolution(dpi, dpi);
  for (auto _ : state) {
    bc.Encode();
    bc.RenderTo(bitmap.Canvas(), gdi::RECT{0, 0, bitmap.Width(), bitmap.Height()});
    benchmark::DoNotOptimize(bitmap.Row(0));
  }
  if (bc.ErrorFlag()) state.SkipWithError(bc.ErrorMessage().c_str());
}

void BM_Ean13_Ours(benchmark::State& state) {
  OursLinear(state, bcEAN_13, kEan13);
}
void BM_Ean13_Zint(benchmark::State& state) {
  const auto dpi = static_cast<int32_t>(state.range(0));
  ZintRun(state, BARCODE_EANX, kEan13.substr(0, 12), ZintScale(ComputeBarModules(kMils, dpi).Bar));
}
void BM_Code128_Ours(benchmark::State& state) {
  OursLinear(state, bcCode128, kCode128);
}
void BM_Code128_Zint(benchmark::State& state) {
  const auto dpi = static_cast<int32_t>(state.range(0));
  ZintRun(state, BARCODE_CODE128, kCode128, ZintScale(ComputeBarModules(kMils, dpi).Bar));
}

// Bars alone: the encoder and bar painting without the text line.
void BM_Ean13Bars_Ours(benchmark::State& state) {
  OursLinear(state, bcEAN_13, kEan13, false);
}
void BM_Ean13Bars_Zint(benchmark::State& state) {
  const auto dpi = static_cast<int32_t>(state.range(0));
  ZintRun(state, BARCODE_EANX, kEan13.substr(0, 12), ZintScale(ComputeBarModules(kMils, dpi).Bar),
          false);
}
void BM_Code128Bars_Ours(benchmark::State& state) {
  OursLinear(state, bcCode128, kCode128, false);
}
void BM_Code128Bars_Zint(benchmark::State& state) {
  const auto dpi = static_cast<int32_t>(state.range(0));
  ZintRun(state, BARCODE_CODE128, kCode128, ZintScale(ComputeBarModules(kMils, dpi).Bar), false);
}

void BM_DataMatrix_Ours(benchmark::State& state) {
  const auto dpi = static_cast<int32_t>(state.range(0));
  MatrixBarcodeGenerator g;
  g.SetCodeType(static_cast<int16_t>(MatrixSymbology::br2DataMatrix));
  g.SetCaption(kMatrix);
  g.SetModulePixels(MatrixBarcodeGenerator::ModulePixelsFor(0.5, dpi));
  for (auto _ : state) {
    g.Refresh();
    benchmark::DoNotOptimize(g.Image().constBits());
  }
}
void BM_DataMatrix_Zint(benchmark::State& state) {
  const auto dpi = static_cast<int32_t>(state.range(0));
  ZintRun(state, BARCODE_DATAMATRIX, kMatrix,
          ZintScale(MatrixBarcodeGenerator::ModulePixelsFor(0.5, dpi)));
}

BENCHMARK(BM_Ean13_Ours)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ean13_Zint)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Code128_Ours)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Code128_Zint)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ean13Bars_Ours)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ean13Bars_Zint)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Code128Bars_Ours)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Code128Bars_Zint)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DataMatrix_Ours)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DataMatrix_Zint)->Arg(203)->Arg(300)->Unit(benchmark::kMicrosecond);

// A label on a raster page at the given resolution.
struct BenchLabel {
  explicit BenchLabel(int32_t dpi) : view(nullptr, dpi, dpi) {
    EnsureGuiApplication();
    image = gdi::CreateRasterImage(static_cast<int32_t>(std::lround(58 * dpi / 25.4)),
                                   static_cast<int32_t>(std::lround(40 * dpi / 25.4)), dpi);
    canvas = std::make_unique<gdi::Canvas>(image);
    view.SetCanvas(canvas.get());
    label.SetView(&view);
  }
  ~BenchLabel() { label.SetView(nullptr); }
  LabelItem& Add(const char* cls) { return label.AddItem(*FindItemClass(cls)); }

  QImage image;
  std::unique_ptr<gdi::Canvas> canvas;
  CanvasView view;
  Label label;
};

// Two values taken in turn, so that every preparation generates the symbol.
template <class Item>
void PrepareRun(benchmark::State& state, BenchLabel& b, Item& p, const std::string& a,
                const std::string& c) {
  bool flip = false;
  for (auto _ : state) {
    b.label.BeginUpdate();
    p.SetValue(flip ? a : c);
    b.label.EndUpdate(false);
    p.Prepare();
    flip = !flip;
    benchmark::DoNotOptimize(p.RenderedImage().Row(0));
  }
}

void BM_Prepare_Ean13Item(benchmark::State& state) {
  BenchLabel b(static_cast<int32_t>(state.range(0)));
  auto& barcode = dynamic_cast<LinearBarcodeItem&>(b.Add("Shk"));
  barcode.SetWidth(45);
  barcode.SetHeight(15);
  PrepareRun(state, b, barcode, kEan13, "5901234123457");
}

void BM_Prepare_DataMatrixItem(benchmark::State& state) {
  BenchLabel b(static_cast<int32_t>(state.range(0)));
  auto& dm = dynamic_cast<MatrixBarcodeItem&>(b.Add("2DShk"));
  dm.SetBRType2D(MatrixSymbology::br2DataMatrix);
  dm.SetWidth(15);
  dm.SetHeight(15);
  PrepareRun(state, b, dm, kMatrix, "https://example.org/p?id=46071");
}

BENCHMARK(BM_Prepare_Ean13Item)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Prepare_DataMatrixItem)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace labelplu::bench

BENCHMARK_MAIN();
