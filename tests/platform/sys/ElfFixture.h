// Hand-made ELF files carrying a version note, for the reader's tests.
#ifndef LABELPLU_TESTS_PLATFORM_SYS_ELFFIXTURE_H
#define LABELPLU_TESTS_PLATFORM_SYS_ELFFIXTURE_H

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace labelplu::test {

struct ElfShape {
  bool is64 = true;
  bool bigEndian = false;
  bool sections = true;          // a SHT_NOTE section header
  bool segments = true;          // a PT_NOTE program header
  bool foreignNoteFirst = true;  // a GNU note before ours in the same area
  uint16_t version[4] = {1, 2, 3, 4};
  uint16_t language = 0x0419, codePage = 0x04E3;
  std::vector<std::pair<std::string, std::string>> strings;
};

// Where the interesting fields of a built file lie, for mutation tests.
struct ElfLayout {
  size_t noteAt = 0;  // start of the note area
  size_t noteSize = 0;
  size_t ourNoteAt = 0;  // our note's header (namesz, descsz, type)
  size_t shoff = 0;
  size_t phoff = 0;
};

class ElfWriter {
 public:
  explicit ElfWriter(const ElfShape& shape) : m_shape(shape) {}

  std::vector<uint8_t> Build(ElfLayout* layout = nullptr) {
    const bool w64 = m_shape.is64;
    const size_t ehdrSize = w64 ? 64 : 52, phdrSize = w64 ? 56 : 32, shdrSize = w64 ? 64 : 40;
    m_bytes.assign(ehdrSize, 0);
    ElfLayout l;
    l.phoff = m_shape.segments ? m_bytes.size() : 0;
    m_bytes.resize(m_bytes.size() + (m_shape.segments ? phdrSize : 0));
    l.noteAt = m_bytes.size();
    if (m_shape.foreignNoteFirst) Note("GNU", 3, std::vector<uint8_t>(20, 0xAB));
    l.ourNoteAt = m_bytes.size();
    Note("LABELPLU", 0x4C56, Descriptor());
    l.noteSize = m_bytes.size() - l.noteAt;
    l.shoff = m_shape.sections ? m_bytes.size() : 0;
    if (m_shape.sections) {
      m_bytes.resize(m_bytes.size() + 2 * shdrSize);  // [0] null, [1] the notes
      const size_t sh = l.shoff + shdrSize;
      Put(sh + 4, 4, 7);  // SHT_NOTE
      Put(sh + (w64 ? 24 : 16), w64 ? 8 : 4, l.noteAt);
      Put(sh + (w64 ? 32 : 20), w64 ? 8 : 4, l.noteSize);
      Put(sh + (w64 ? 48 : 32), w64 ? 8 : 4, 4);
    }
    if (m_shape.segments) {
      Put(l.phoff, 4, 4);  // PT_NOTE
      Put(l.phoff + (w64 ? 8 : 4), w64 ? 8 : 4, l.noteAt);
      Put(l.phoff + (w64 ? 32 : 16), w64 ? 8 : 4, l.noteSize);
      Put(l.phoff + (w64 ? 48 : 28), w64 ? 8 : 4, 4);
    }
    const uint8_t ident[] = {
        0x7F, 'E', 'L', 'F', uint8_t(w64 ? 2 : 1), uint8_t(m_shape.bigEndian ? 2 : 1), 1};
    std::copy(std::begin(ident), std::end(ident), m_bytes.begin());
    Put(16, 2, 3);  // ET_DYN
    Put(18, 2, w64 ? 62 : 3);
    Put(20, 4, 1);
    Put(w64 ? 32 : 28, w64 ? 8 : 4, l.phoff);
    Put(w64 ? 40 : 32, w64 ? 8 : 4, l.shoff);
    Put(w64 ? 52 : 40, 2, ehdrSize);
    Put(w64 ? 54 : 42, 2, phdrSize);
    Put(w64 ? 56 : 44, 2, m_shape.segments ? 1 : 0);
    Put(w64 ? 58 : 46, 2, shdrSize);
    Put(w64 ? 60 : 48, 2, m_shape.sections ? 2 : 0);
    if (layout != nullptr) *layout = l;
    return m_bytes;
  }

  // Writes value into bytes at offset in the shape's byte order.
  static void PutInto(std::vector<uint8_t>& bytes, bool bigEndian, size_t offset, size_t width,
                      uint64_t value) {
    for (size_t i = 0; i < width; ++i) {
      const size_t shift = 8 * (bigEndian ? width - 1 - i : i);
      bytes[offset + i] = static_cast<uint8_t>(value >> shift);
    }
  }

 private:
  void Put(size_t offset, size_t width, uint64_t value) {
    PutInto(m_bytes, m_shape.bigEndian, offset, width, value);
  }

  void Append(size_t width, uint64_t value) {
    m_bytes.resize(m_bytes.size() + width);
    Put(m_bytes.size() - width, width, value);
  }

  void Pad() {
    while (m_bytes.size() % 4 != 0) m_bytes.push_back(0);
  }

  void Note(const std::string& owner, uint32_t type, const std::vector<uint8_t>& desc) {
    Append(4, owner.size() + 1);
    Append(4, desc.size());
    Append(4, type);
    m_bytes.insert(m_bytes.end(), owner.begin(), owner.end());
    m_bytes.push_back(0);
    Pad();
    m_bytes.insert(m_bytes.end(), desc.begin(), desc.end());
    Pad();
  }

  std::vector<uint8_t> Descriptor() {
    std::vector<uint8_t> d(12);
    const uint16_t fixed[6] = {m_shape.version[0], m_shape.version[1], m_shape.version[2],
                               m_shape.version[3], m_shape.language,   m_shape.codePage};
    for (size_t i = 0; i < 6; ++i) PutInto(d, m_shape.bigEndian, 2 * i, 2, fixed[i]);
    for (const auto& [key, value] : m_shape.strings) {
      d.insert(d.end(), key.begin(), key.end());
      d.push_back(0);
      d.insert(d.end(), value.begin(), value.end());
      d.push_back(0);
    }
    d.push_back(0);
    return d;
  }

  ElfShape m_shape;
  std::vector<uint8_t> m_bytes;
};

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_PLATFORM_SYS_ELFFIXTURE_H
