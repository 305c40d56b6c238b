// libFuzzer target: the label template loader (Label::LoadFromXml) and the
// label it builds, painted on a small raster and written back.
//
// Any text must end in a label or an TemplateError, never a crash, a hang
// or an unbounded allocation; painting may fail with an exception, never
// otherwise. The template a label writes must load again and write the same
// text: a template saved by the driver is never lost.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "fuzz/FuzzSetup.h"
#include "label/Label.h"
#include "label/LabelView.h"
#include "label/TemplateError.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/RasterTarget.h"

using namespace labelplu;

namespace {

constexpr int kDpi = 96;

// Detaches the view however the input ends.
struct ViewedLabel {
  ViewedLabel()
      : image(gdi::CreateRasterImage(240, 160, kDpi)), canvas(image), view(&canvas, kDpi, kDpi) {
    label.SetView(&view);
  }
  ~ViewedLabel() { label.SetView(nullptr); }
  QImage image;
  gdi::Canvas canvas;
  CanvasView view;
  Label label;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "fuzz_label_template";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QGuiApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string saved;
  {
    ViewedLabel target;
    try {
      target.label.LoadFromXml(text, "fuzz.lb3");
    } catch (const TemplateError&) {
      return 0;
    }
    try {
      target.label.PrepareAll(true);
      target.label.Paint();
    } catch (const std::exception&) {
    }
    target.canvas.End();
    saved = target.label.SaveToXml();
  }
  Label again;
  try {
    again.LoadFromXml(saved, "saved.lb3");
  } catch (const TemplateError& e) {
    fuzz::Finding((std::string("a saved template does not load: ") + e.what()).c_str());
  }
  if (again.SaveToXml() != saved) fuzz::Finding("a saved template changed on reload");
  return 0;
}
