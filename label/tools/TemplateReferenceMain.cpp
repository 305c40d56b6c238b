// labelplu: template-reference [SOURCE_DIR]: prints the template format
// reference (docs/templates.md) as Markdown on standard output, with the
// worked examples read from SOURCE_DIR (default: the current folder).
// `make docs` runs it to write docs/templates.md.
#include <exception>
#include <iostream>
#include <string>

#include "label/TemplateReference.h"

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (argc > 2 || first == "--help" || first == "-h") {
    std::cerr << "usage: template-reference [SOURCE_DIR] > docs/templates.md\n";
    return argc > 2 ? 2 : 0;
  }
  try {
    std::cout << labelplu::TemplateReferenceMarkdown(first.empty() ? std::string(".") : first);
  } catch (const std::exception& e) {
    std::cerr << "template-reference: " << e.what() << "\n";
    return 1;
  }
  return std::cout.good() ? 0 : 1;
}
