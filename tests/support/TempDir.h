// A temporary folder for a test, removed with everything in it.
#ifndef LABELPLU_TESTS_SUPPORT_TEMPDIR_H
#define LABELPLU_TESTS_SUPPORT_TEMPDIR_H

#include <cstdlib>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace labelplu::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lptest-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The full path of name (relative to the folder), as text.
  std::string File(const std::string& name) const { return (m_path / name).string(); }

  // Writes bytes into name (relative to the folder) and returns the full path.
  std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::path p = m_path / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

 private:
  std::filesystem::path m_path;
};

// The paths of the files in folder, sorted by name (the built-in raster
// printer's pages in page order); empty when the folder does not exist.
inline std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_SUPPORT_TEMPDIR_H
