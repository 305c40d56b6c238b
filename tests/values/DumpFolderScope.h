// Sends the dump files of failed stream reads into a temporary folder for
// as long as the object lives.
#ifndef LABELPLU_TESTS_VALUES_DUMPFOLDERSCOPE_H
#define LABELPLU_TESTS_VALUES_DUMPFOLDERSCOPE_H

#include <string>

#include "tests/support/TempDir.h"
#include "values/ByteStream.h"

namespace labelplu::test {

class DumpFolderScope {
 public:
  DumpFolderScope() : m_path(m_folder.Path().string() + "/") {
    m_previous = SetStreamDumpFolderProvider([path = m_path] { return path; });
  }
  ~DumpFolderScope() { SetStreamDumpFolderProvider(m_previous); }
  DumpFolderScope(const DumpFolderScope&) = delete;
  DumpFolderScope& operator=(const DumpFolderScope&) = delete;

  // The folder as the streams get it, ending in '/'.
  const std::string& Path() const { return m_path; }

 private:
  TempDir m_folder;
  std::string m_path;
  DumpFolderProvider m_previous;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_DUMPFOLDERSCOPE_H
