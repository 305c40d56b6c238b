// labelplu: the version block of a file.
//
// Every ELF file of this build carries a version note (cmake/Version.cmake):
// section ".note.labelplu.version", an ELF note of owner "LABELPLU" and type
// 0x4C56 whose descriptor is
//   uint16 FileVersion[4]      major, minor, release, build
//   uint16 Language, CodePage  the translation of the string table
//   "Key\0Value\0" ...         UTF-8 pairs, closed by an empty key
// in the file's byte order. VersionInfo reads that note from any file; a
// file without it (not ELF, truncated, malformed, another program's) has no
// version block and every query answers empty or 0.
#ifndef LABELPLU_PLATFORM_SYS_VERSIONINFO_H
#define LABELPLU_PLATFORM_SYS_VERSIONINFO_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace labelplu::sys {

// Owner and type of the version note.
inline constexpr char kVersionNoteOwner[] = "LABELPLU";
inline constexpr uint32_t kVersionNoteType = 0x4C56;

// A file version as two 32-bit words: Ms = major << 16 | minor,
// Ls = release << 16 | build.
struct VersionNumbers {
  uint32_t Ms = 0;
  uint32_t Ls = 0;

  // Number 0 (major), 1 (minor), 2 (release) or 3 (build); 0 for another index.
  uint16_t Part(int index) const;
};

class VersionInfo {
 public:
  // Reads the file's version note and size. Never throws for a missing or
  // bad file: it then has no block and size 0 (or its size, when readable).
  explicit VersionInfo(const std::string& fileName);

  const std::string& FileName() const { return m_fileName; }
  // True when the file carries a well-formed version note.
  bool HasBlock() const { return m_hasBlock; }
  // The file's size in bytes; 0 when it cannot be opened or is not a
  // regular file.
  uint64_t FileSize() const { return m_fileSize; }

  // Language then code page as 8 upper-case hexadecimal digits
  // ("041904E3"); empty without a block.
  std::string Translation() const;
  // The fixed file version; 0, 0 without a block.
  VersionNumbers FileVersion() const { return m_fileVersion; }
  // The string table's value for name (ASCII case ignored in the key);
  // empty when missing or without a block.
  std::string StringValue(const std::string& name) const;
  // StringValue("FileVersion"); when that is empty and a block exists, the
  // four parts of FileVersion() as "%d.%d.%d.%d"; else empty.
  std::string VersionText() const;

  // Release × 100000 + build of the file's version; 0 when the file has no
  // version block or cannot be read. 64-bit: 65535 × 100000 does not fit in
  // 32 bits.
  static int64_t VersionNumber(const std::string& fileName);

 private:
  std::string m_fileName;
  bool m_hasBlock = false;
  uint64_t m_fileSize = 0;
  VersionNumbers m_fileVersion;
  uint16_t m_language = 0;
  uint16_t m_codePage = 0;
  std::vector<std::pair<std::string, std::string>> m_strings;
};

// Same as VersionInfo::VersionNumber.
int64_t VersionNumber(const std::string& fileName);

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_VERSIONINFO_H
