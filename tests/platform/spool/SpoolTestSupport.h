// Helpers of the print object's tests: the GUI application that text
// needs, and the poppler and Ghostscript tools that read what was printed.
#ifndef LABELPLU_TESTS_PLATFORM_SPOOL_SPOOLTESTSUPPORT_H
#define LABELPLU_TESTS_PLATFORM_SPOOL_SPOOLTESTSUPPORT_H

#include <QGuiApplication>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace spooltest {

inline void EnsureGuiApp() {
  static int argc = 1;
  static char name[] = "spool_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = nullptr;
  if (!QCoreApplication::instance()) app = new QGuiApplication(argc, argv);
  (void)app;
}

// Output of a command (stdout), and its exit status.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string text;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int rc = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return text;
}

// The value of a "Key: value" line of pdfinfo ("" when absent).
inline std::string PdfInfo(const std::string& pdf, const std::string& key) {
  std::istringstream lines(RunCommand("pdfinfo '" + pdf + "'"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(key + ":", 0) == 0) {
      const size_t value = line.find_first_not_of(' ', key.size() + 1);
      return value == std::string::npos ? std::string() : line.substr(value);
    }
  }
  return {};
}

inline int PdfPages(const std::string& pdf) {
  const std::string pages = PdfInfo(pdf, "Pages");
  return pages.empty() ? -1 : std::stoi(pages);
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace spooltest

#endif  // LABELPLU_TESTS_PLATFORM_SPOOL_SPOOLTESTSUPPORT_H
