#include "platform/sys/ElfNote.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace labelplu::sys {
namespace {

// Bounds on what a hostile file can make us visit.
constexpr uint64_t kMaxHeaders = 65536;
constexpr uint64_t kMaxHeaderSize = 1024;
constexpr uint64_t kHeaderChunk = 128;

class FileBytes {
 public:
  FileBytes(int fd, uint64_t size) : m_fd(fd), m_size(size) {}

  uint64_t Size() const { return m_size; }

  // Reads exactly n bytes at offset, or fails when they lie past the end.
  bool Read(uint64_t offset, void* buffer, uint64_t n) const {
    if (offset > m_size || n > m_size - offset) return false;
    auto* out = static_cast<uint8_t*>(buffer);
    while (n > 0) {
      ssize_t got = ::pread(m_fd, out, n, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out += got;
      offset += static_cast<uint64_t>(got);
      n -= static_cast<uint64_t>(got);
    }
    return true;
  }

 private:
  int m_fd;
  uint64_t m_size;
};

// Unsigned fields in the file's byte order.
class Fields {
 public:
  explicit Fields(bool bigEndian) : m_big(bigEndian) {}

  bool BigEndian() const { return m_big; }

  uint64_t Get(const uint8_t* p, int width) const {
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) {
      int shift = 8 * (m_big ? width - 1 - i : i);
      v |= static_cast<uint64_t>(p[i]) << shift;
    }
    return v;
  }

 private:
  bool m_big;
};

// Offsets of the header fields we use, per ELF class.
struct Layout {
  int word;  // width of addresses and offsets
  uint64_t ehdrSize, phoff, shoff, phentsize, phnum, shentsize, shnum;
  uint64_t shdrSize, shType, shOffset, shSize, shAlign;
  uint64_t phdrSize, phType, phOffset, phFilesz, phAlign;
};

constexpr Layout kElf32{4, 52, 28, 32, 42, 44, 46, 48, 40, 4, 16, 20, 32, 32, 0, 4, 16, 28};
constexpr Layout kElf64{8, 64, 32, 40, 54, 56, 58, 60, 64, 4, 24, 32, 48, 56, 0, 8, 32, 48};

uint64_t AlignUp(uint64_t v, uint64_t a) {
  return (v + a - 1) & ~(a - 1);
}

// Searches one note area (section or segment contents) for the note.
std::optional<ElfNote> SearchArea(const FileBytes& file, const Fields& f, uint64_t offset,
                                  uint64_t size, uint64_t align, std::string_view owner,
                                  uint32_t type) {
  if (size < 12 || size > kMaxElfNoteArea) return std::nullopt;
  std::vector<uint8_t> area(size);
  if (!file.Read(offset, area.data(), size)) return std::nullopt;
  // Notes are 4-byte aligned, except in areas aligned to 8 (GNU property notes).
  const uint64_t a = align == 8 ? 8 : 4;
  uint64_t pos = 0;
  while (pos + 12 <= size) {
    const uint64_t namesz = f.Get(&area[pos], 4);
    const uint64_t descsz = f.Get(&area[pos + 4], 4);
    const uint64_t ntype = f.Get(&area[pos + 8], 4);
    const uint64_t nameAt = pos + 12;
    if (namesz > size - nameAt) break;
    const uint64_t descAt = AlignUp(nameAt + namesz, a);
    if (descAt > size || descsz > size - descAt) break;
    if (ntype == type && namesz == owner.size() + 1 && area[nameAt + owner.size()] == 0 &&
        std::memcmp(&area[nameAt], owner.data(), owner.size()) == 0) {
      ElfNote note;
      note.BigEndian = f.BigEndian();
      note.Descriptor.assign(area.begin() + static_cast<ptrdiff_t>(descAt),
                             area.begin() + static_cast<ptrdiff_t>(descAt + descsz));
      return note;
    }
    pos = AlignUp(descAt + descsz, a);
  }
  return std::nullopt;
}

// Visits a header table in chunks; visit returns a note to stop.
template <class Visit>
std::optional<ElfNote> ScanTable(const FileBytes& file, uint64_t offset, uint64_t count,
                                 uint64_t entrySize, Visit visit) {
  if (offset == 0 || count == 0) return std::nullopt;
  if (count > kMaxHeaders || offset > file.Size()) return std::nullopt;
  if (count > (file.Size() - offset) / entrySize) return std::nullopt;
  std::vector<uint8_t> chunk;
  for (uint64_t first = 0; first < count; first += kHeaderChunk) {
    const uint64_t n = std::min(kHeaderChunk, count - first);
    chunk.resize(n * entrySize);
    if (!file.Read(offset + first * entrySize, chunk.data(), chunk.size())) return std::nullopt;
    for (uint64_t i = 0; i < n; ++i) {
      if (auto note = visit(&chunk[i * entrySize])) return note;
    }
  }
  return std::nullopt;
}

std::optional<ElfNote> Search(const FileBytes& file, std::string_view owner, uint32_t type) {
  uint8_t ehdr[64] = {};
  if (!file.Read(0, ehdr, EI_NIDENT)) return std::nullopt;
  if (std::memcmp(ehdr, ELFMAG, SELFMAG) != 0 || ehdr[EI_VERSION] != EV_CURRENT) {
    return std::nullopt;
  }
  const Layout* l = ehdr[EI_CLASS] == ELFCLASS64   ? &kElf64
                    : ehdr[EI_CLASS] == ELFCLASS32 ? &kElf32
                                                   : nullptr;
  if (l == nullptr || (ehdr[EI_DATA] != ELFDATA2LSB && ehdr[EI_DATA] != ELFDATA2MSB)) {
    return std::nullopt;
  }
  if (!file.Read(0, ehdr, l->ehdrSize)) return std::nullopt;
  const Fields f(ehdr[EI_DATA] == ELFDATA2MSB);

  const uint64_t shoff = f.Get(ehdr + l->shoff, l->word);
  const uint64_t shentsize = f.Get(ehdr + l->shentsize, 2);
  uint64_t shnum = f.Get(ehdr + l->shnum, 2);
  if (shoff != 0 && shentsize >= l->shdrSize && shentsize <= kMaxHeaderSize) {
    if (shnum == 0) {
      // Extended numbering: the count is in the first section header's size.
      std::vector<uint8_t> first(shentsize);
      if (file.Read(shoff, first.data(), shentsize)) shnum = f.Get(&first[l->shSize], l->word);
    }
    auto note = ScanTable(file, shoff, shnum, shentsize, [&](const uint8_t* sh) {
      if (f.Get(sh + l->shType, 4) != SHT_NOTE) return std::optional<ElfNote>();
      return SearchArea(file, f, f.Get(sh + l->shOffset, l->word), f.Get(sh + l->shSize, l->word),
                        f.Get(sh + l->shAlign, l->word), owner, type);
    });
    if (note) return note;
  }

  const uint64_t phoff = f.Get(ehdr + l->phoff, l->word);
  const uint64_t phentsize = f.Get(ehdr + l->phentsize, 2);
  const uint64_t phnum = f.Get(ehdr + l->phnum, 2);
  if (phentsize < l->phdrSize || phentsize > kMaxHeaderSize) return std::nullopt;
  return ScanTable(file, phoff, phnum, phentsize, [&](const uint8_t* ph) {
    if (f.Get(ph + l->phType, 4) != PT_NOTE) return std::optional<ElfNote>();
    return SearchArea(file, f, f.Get(ph + l->phOffset, l->word), f.Get(ph + l->phFilesz, l->word),
                      f.Get(ph + l->phAlign, l->word), owner, type);
  });
}

}  // namespace

ElfNoteResult ReadElfNote(const std::string& fileName, std::string_view owner, uint32_t type) {
  ElfNoteResult result;
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return result;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    result.FileSize = static_cast<uint64_t>(st.st_size);
    const FileBytes file(fd, result.FileSize);
    result.Note = Search(file, owner, type);
  }
  ::close(fd);
  return result;
}

}  // namespace labelplu::sys
