// Helpers shared by the barcode tests: the GUI application fonts need, and
// element lists turned into module strings and narrow/wide sequences.
#ifndef LABELPLU_TESTS_RENDER_BARCODETESTSUPPORT_H
#define LABELPLU_TESTS_RENDER_BARCODETESTSUPPORT_H

#include <QGuiApplication>

#include <string>

#include "render/BarcodeEncoder.h"

namespace labelplu::test {

inline void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  static int argc = 1;
  static char arg0[] = "render_test";
  static char* argv[] = {arg0, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

// '1' per bar module, '0' per space module; trailing spaces dropped.
inline std::string ModuleString(const BarElements& elements) {
  std::string s;
  for (const BarElement& e : elements)
    s.append(static_cast<size_t>(e.ModuleCount), e.IsBar() ? '1' : '0');
  while (!s.empty() && s.back() == '0') s.pop_back();
  return s;
}

// The runs of a module string as 'n' (the narrowest run) or 'w' (any wider).
inline std::string NarrowWide(const std::string& modules) {
  std::vector<size_t> runs;
  for (size_t i = 0; i < modules.size();) {
    size_t j = i;
    while (j < modules.size() && modules[j] == modules[i]) ++j;
    runs.push_back(j - i);
    i = j;
  }
  size_t narrow = SIZE_MAX;
  for (size_t r : runs) narrow = std::min(narrow, r);
  std::string out;
  for (size_t r : runs) out += r == narrow ? 'n' : 'w';
  return out;
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_RENDER_BARCODETESTSUPPORT_H
