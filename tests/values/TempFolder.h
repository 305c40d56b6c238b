// A temporary folder for one test, removed with everything in it.
#ifndef LABELPLU_TESTS_VALUES_TEMPFOLDER_H
#define LABELPLU_TESTS_VALUES_TEMPFOLDER_H

#include <cstdlib>
#include <filesystem>
#include <string>

#include "values/ByteStream.h"

namespace labelplu::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lp_values_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// Sends the dump files of failed stream reads into a temporary folder.
class DumpFolderScope {
 public:
  DumpFolderScope() {
    m_previous = SetStreamDumpFolderProvider([path = m_folder.path()] { return path; });
  }
  ~DumpFolderScope() { SetStreamDumpFolderProvider(m_previous); }
  const std::string& path() const { return m_folder.path(); }

 private:
  TempFolder m_folder;
  DumpFolderProvider m_previous;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_TEMPFOLDER_H
