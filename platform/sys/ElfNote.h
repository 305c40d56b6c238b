// labelplu: reading one ELF note from a file on disk.
//
// The reader trusts nothing in the file: every offset, size and count is
// checked against the file's size before it is used, the number of headers
// visited and the bytes read per note area are bounded, and a file that is
// not ELF, is truncated or is malformed simply has no note. It never maps the
// file and never allocates more than kMaxElfNoteArea bytes at a time.
#ifndef LABELPLU_PLATFORM_SYS_ELFNOTE_H
#define LABELPLU_PLATFORM_SYS_ELFNOTE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu::sys {

// Note areas (sections or segments) larger than this are skipped.
inline constexpr uint64_t kMaxElfNoteArea = 1u << 20;

// The descriptor of a note found in a file, with the file's byte order.
struct ElfNote {
  std::vector<uint8_t> Descriptor;
  bool BigEndian = false;
};

// The file's size and, when it is a regular ELF file (32- or 64-bit, either
// byte order) that holds a note of the given owner and type, that note's
// descriptor. Note sections (SHT_NOTE) are searched first, then note segments
// (PT_NOTE), so a file stripped of its section headers still answers.
struct ElfNoteResult {
  uint64_t FileSize = 0;        // 0 when the file cannot be opened
  std::optional<ElfNote> Note;  // empty: no such note
};

// Never throws for a bad file; opens the file without blocking (FIFOs and
// devices are not read) and closes it before returning. Thread-safe.
ElfNoteResult ReadElfNote(const std::string& fileName, std::string_view owner, uint32_t type);

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_ELFNOTE_H
