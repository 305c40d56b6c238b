// libFuzzer target: the label template loader (Label::LoadFromXml) and the
// label it builds, painted on a small raster and written back.
//
// Any text must end in a label or an TemplateError, never a crash, a hang
// or an unbounded allocation; painting may fail with an exception, never
// otherwise. The template a label writes must load again and write the same
// text: a template saved by the driver is never lost. The same bytes read
// as a template file decode to UTF-8 or fail at a byte they hold, and the
// template check reports on them without throwing.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "fuzz/FuzzSetup.h"
#include "label/Cp1251.h"
#include "label/Label.h"
#include "label/LabelView.h"
#include "label/TemplateCheck.h"
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
  // The same bytes as a template file: decoded in the encoding they declare
  // (UTF-8 out, or an error at a byte that is there), and checked, which
  // reports what the file holds and never throws for it.
  try {
    const std::string utf8 = TemplateBytesToUtf8(text);
    if (!utf8.empty() && !IsNonAsciiUtf8(utf8) &&
        std::any_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) != 0; }))
      fuzz::Finding("a template file decoded into text that is not UTF-8");
  } catch (const CodePageError& e) {
    if (e.Offset >= text.size()) fuzz::Finding("a decoding error points past the bytes");
  }
  try {
    CheckTemplate(text, "fuzz.lb3", CheckInput{});
  } catch (const std::bad_alloc&) {
  } catch (const std::exception& e) {
    fuzz::Finding((std::string("the template check threw: ") + e.what()).c_str());
  }

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
