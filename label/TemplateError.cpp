// labelplu: the error of a label template.
#include "label/TemplateError.h"

namespace labelplu {

namespace {

std::string Compose(const std::string& source, int line, const std::string& reason) {
  std::string text = source;
  if (line > 0) text += ": line " + std::to_string(line);
  return text + ": " + reason;
}

}  // namespace

TemplateError::TemplateError(const std::string& source, int line, const std::string& reason)
    : std::runtime_error(Compose(source, line, reason)),
      m_source(source),
      m_line(line),
      m_reason(reason) {}

}  // namespace labelplu
