// labelplu: the error of a label template that cannot be loaded or written.
#ifndef LABELPLU_LABEL_TEMPLATEERROR_H
#define LABELPLU_LABEL_TEMPLATEERROR_H

#include <stdexcept>
#include <string>

namespace labelplu {

// what() reads "<source>: line <n>: <reason>" (without the line part when
// the line is unknown, i.e. 0). Source is the file name, or "label template"
// for a text that came from memory.
class TemplateError : public std::runtime_error {
 public:
  TemplateError(const std::string& source, int line, const std::string& reason);

  const std::string& Source() const noexcept { return m_source; }
  int Line() const noexcept { return m_line; }
  const std::string& Reason() const noexcept { return m_reason; }

 private:
  std::string m_source;
  int m_line;
  std::string m_reason;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TEMPLATEERROR_H
