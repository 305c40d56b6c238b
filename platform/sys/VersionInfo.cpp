#include "platform/sys/VersionInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sys/ElfNote.h"

namespace labelplu::sys {
namespace {

constexpr size_t kFixedSize = 12;  // FileVersion[4], Language, CodePage

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// One zero-terminated text at pos; a text running to the end without its
// terminator is taken as it stands.
std::string TakeText(const std::vector<uint8_t>& d, size_t& pos) {
  const auto* begin = reinterpret_cast<const char*>(d.data()) + pos;
  const size_t length = strnlen(begin, d.size() - pos);
  pos += std::min(length + 1, d.size() - pos);
  return std::string(begin, length);
}

}  // namespace

uint16_t VersionNumbers::Part(int index) const {
  switch (index) {
    case 0:
      return static_cast<uint16_t>(Ms >> 16);
    case 1:
      return static_cast<uint16_t>(Ms & 0xFFFF);
    case 2:
      return static_cast<uint16_t>(Ls >> 16);
    case 3:
      return static_cast<uint16_t>(Ls & 0xFFFF);
    default:
      return 0;
  }
}

VersionInfo::VersionInfo(const std::string& fileName) : m_fileName(fileName) {
  ElfNoteResult found = ReadElfNote(fileName, kVersionNoteOwner, kVersionNoteType);
  m_fileSize = found.FileSize;
  if (!found.Note || found.Note->Descriptor.size() < kFixedSize) return;
  const std::vector<uint8_t>& d = found.Note->Descriptor;
  const bool big = found.Note->BigEndian;
  auto u16 = [&](size_t at) {
    return static_cast<uint16_t>(big ? d[at] << 8 | d[at + 1] : d[at + 1] << 8 | d[at]);
  };
  m_hasBlock = true;
  m_fileVersion.Ms = static_cast<uint32_t>(u16(0)) << 16 | u16(2);
  m_fileVersion.Ls = static_cast<uint32_t>(u16(4)) << 16 | u16(6);
  m_language = u16(8);
  m_codePage = u16(10);
  size_t pos = kFixedSize;
  while (pos < d.size()) {
    std::string key = TakeText(d, pos);
    if (key.empty()) break;
    std::string value = TakeText(d, pos);
    m_strings.emplace_back(std::move(key), std::move(value));
  }
}

std::string VersionInfo::Translation() const {
  if (!m_hasBlock) return {};
  char text[9];
  std::snprintf(text, sizeof text, "%04X%04X", m_language, m_codePage);
  return text;
}

std::string VersionInfo::StringValue(const std::string& name) const {
  for (const auto& [key, value] : m_strings) {
    if (EqualsIgnoringAsciiCase(key, name)) return value;
  }
  return {};
}

std::string VersionInfo::VersionText() const {
  std::string text = StringValue("FileVersion");
  if (!text.empty() || !m_hasBlock) return text;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", m_fileVersion.Part(0), m_fileVersion.Part(1),
                m_fileVersion.Part(2), m_fileVersion.Part(3));
  return buffer;
}

int64_t VersionInfo::VersionNumber(const std::string& fileName) {
  const VersionInfo info(fileName);
  if (!info.HasBlock()) return 0;
  const VersionNumbers v = info.FileVersion();
  return static_cast<int64_t>(v.Part(2)) * 100000 + v.Part(3);
}

int64_t VersionNumber(const std::string& fileName) {
  return VersionInfo::VersionNumber(fileName);
}

}  // namespace labelplu::sys
