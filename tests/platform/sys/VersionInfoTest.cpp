#include "platform/sys/VersionInfo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/sys/ModulePath.h"
#include "tests/platform/sys/ElfFixture.h"
#include "tests/platform/sys/TestSupport.h"
#include "tests/support/TempDir.h"

namespace labelplu::sys {
namespace {

using test::ElfLayout;
using test::ElfShape;
using test::ElfWriter;
using test::TempDir;
using test::WriteFile;

// This executable carries the build's version note (lp_embed_version).
TEST(VersionInfoTest, ReadsTheNoteOfTheBuiltExecutable) {
  const std::string self = ProgramPath();
  const VersionInfo info(self);
  ASSERT_TRUE(info.HasBlock());
  EXPECT_EQ(info.Translation(), "041904E3");
  const uint32_t ms = LP_VERSION_MAJOR << 16 | LP_VERSION_MINOR;
  const uint32_t ls = LP_VERSION_PATCH << 16 | LP_VERSION_TWEAK;
  EXPECT_EQ(info.FileVersion().Ms, ms);
  EXPECT_EQ(info.FileVersion().Ls, ls);
  EXPECT_EQ(info.VersionText(), LP_VERSION_TEXT);
  EXPECT_EQ(info.StringValue("OriginalFilename"), "lp_sys_test");
  EXPECT_EQ(info.StringValue("fileversion"), LP_VERSION_TEXT);  // keys ignore ASCII case
  EXPECT_EQ(info.StringValue("NoSuchKey"), "");
  EXPECT_EQ(info.FileSize(), std::filesystem::file_size(self));
  EXPECT_EQ(VersionInfo::VersionNumber(self),
            int64_t{LP_VERSION_PATCH} * 100000 + LP_VERSION_TWEAK);
}

// A shared object gets the note as well, with its own file name.
TEST(VersionInfoTest, ReadsTheNoteOfABuiltModule) {
  const std::string module = test::BinDir() + "/sys_probe.plu";
  const VersionInfo info(module);
  ASSERT_TRUE(info.HasBlock());
  EXPECT_EQ(info.StringValue("OriginalFilename"), "sys_probe.plu");
  EXPECT_EQ(info.StringValue("FileDescription"), "labelplu test module");
  EXPECT_EQ(info.VersionText(), LP_VERSION_TEXT);
}

// A file whose note has no "FileVersion" string falls back to the fixed
// version; the reader copes with either ELF class and byte order and with
// section headers or note segments alone.
TEST(VersionInfoTest, FixedVersionOfHandMadeFiles) {
  struct Case {
    const char* what;
    bool is64, bigEndian, sections, segments;
  };
  const Case cases[] = {
      {"ELF64 LE, sections and segments", true, false, true, true},
      {"ELF64 LE, segments only (stripped)", true, false, false, true},
      {"ELF64 LE, sections only", true, false, true, false},
      {"ELF32 LE", false, false, true, true},
      {"ELF64 BE", true, true, true, false},
      {"ELF32 BE, segments only", false, true, false, true},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ElfShape shape;
    shape.is64 = c.is64;
    shape.bigEndian = c.bigEndian;
    shape.sections = c.sections;
    shape.segments = c.segments;
    shape.language = 0x0409;
    shape.codePage = 0x04B0;
    shape.strings = {{"ProductName", "Проба"}, {"CompanyName", "x"}};
    const std::string path = dir.File("fixture.so");
    const std::vector<uint8_t> bytes = ElfWriter(shape).Build();
    WriteFile(path, bytes);

    const VersionInfo info(path);
    ASSERT_TRUE(info.HasBlock());
    EXPECT_EQ(info.FileSize(), bytes.size());
    EXPECT_EQ(info.VersionText(), "1.2.3.4");
    EXPECT_EQ(info.FileVersion().Ms, 0x00010002u);
    EXPECT_EQ(info.FileVersion().Ls, 0x00030004u);
    EXPECT_EQ(info.Translation(), "040904B0");
    EXPECT_EQ(info.StringValue("ProductName"), "Проба");
    EXPECT_EQ(VersionNumber(path), 300004);
  }
}

TEST(VersionInfoTest, VersionNumberUsesSixtyFourBits) {
  TempDir dir;
  ElfShape shape;
  shape.version[2] = 65535;
  shape.version[3] = 65535;
  WriteFile(dir.File("big.so"), ElfWriter(shape).Build());
  EXPECT_EQ(VersionNumber(dir.File("big.so")), int64_t{65535} * 100000 + 65535);
}

TEST(VersionInfoTest, FilesWithoutBlock) {
  TempDir dir;
  WriteFile(dir.File("text.txt"), {'h', 'e', 'l', 'l', 'o', '\n'});
  WriteFile(dir.File("empty"), {});
  std::vector<uint8_t> elf = ElfWriter(ElfShape{}).Build();
  elf.resize(40);  // the header itself is cut short
  WriteFile(dir.File("truncated.so"), elf);
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // must not block
  std::filesystem::create_directory(dir.File("folder"));

  const struct {
    std::string path;
    uint64_t size;
  } cases[] = {{dir.File("text.txt"), 6}, {dir.File("empty"), 0},  {dir.File("truncated.so"), 40},
               {dir.File("fifo"), 0},     {dir.File("folder"), 0}, {dir.File("missing"), 0},
               {"/dev/null", 0},          {"/proc/self/status", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const VersionInfo info(c.path);
    EXPECT_FALSE(info.HasBlock());
    EXPECT_EQ(info.FileSize(), c.size);
    EXPECT_EQ(info.Translation(), "");
    EXPECT_EQ(info.FileVersion().Ms, 0u);
    EXPECT_EQ(info.FileVersion().Ls, 0u);
    EXPECT_EQ(info.StringValue("FileVersion"), "");
    EXPECT_EQ(info.VersionText(), "");
    EXPECT_EQ(VersionNumber(c.path), 0);
  }
}

// Hostile headers and notes: every field that steers the reader points
// outside the file or claims absurd sizes. The reader must find nothing and
// read nothing out of bounds (the sanitizer build checks the latter).
TEST(VersionInfoTest, HostileFieldsFindNothing) {
  ElfShape shape;
  ElfLayout l;
  const std::vector<uint8_t> good = ElfWriter(shape).Build(&l);
  struct Case {
    const char* what;
    size_t offset;
    size_t width;
    uint64_t value;
    bool keepSections, keepSegments;  // the other way in is removed
  };
  const size_t sh1 = l.shoff + 64;
  const Case cases[] = {
      {"section offset past the end", sh1 + 24, 8, 1ull << 40, true, false},
      {"section size past the end", sh1 + 32, 8, 1ull << 40, true, false},
      {"section offset wraps", sh1 + 24, 8, ~0ull - 4, true, false},
      {"section count huge", 60, 2, 0xFFFF, true, false},
      {"section header size zero", 58, 2, 0, true, false},
      {"extended section count huge", 60, 2, 0, true, false},
      {"segment offset past the end", l.phoff + 8, 8, 1ull << 40, false, true},
      {"segment size huge", l.phoff + 32, 8, ~0ull, false, true},
      {"program header count huge", 56, 2, 0xFFFF, false, true},
      {"program header size huge", 54, 2, 0xFFFF, false, true},
      {"program header table past the end", 32, 8, 1ull << 62, false, true},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = good;
    if (!c.keepSections) ElfWriter::PutInto(bytes, false, 40, 8, 0);       // e_shoff
    if (!c.keepSegments) ElfWriter::PutInto(bytes, false, l.phoff, 4, 0);  // p_type: none
    // With only the other way removed, the note is still found...
    WriteFile(dir.File("hostile.so"), bytes);
    EXPECT_TRUE(VersionInfo(dir.File("hostile.so")).HasBlock());
    // ...so the mutation is what hides it.
    ElfWriter::PutInto(bytes, false, c.offset, c.width, c.value);
    if (std::string(c.what) == "extended section count huge") {
      ElfWriter::PutInto(bytes, false, l.shoff + 32, 8, 1ull << 32);  // shdr[0].sh_size
    }
    WriteFile(dir.File("hostile.so"), bytes);
    EXPECT_FALSE(VersionInfo(dir.File("hostile.so")).HasBlock());
  }

  // Note sizes that run past their area end the search of that area.
  for (const uint64_t namesz : {uint64_t{0xFFFFFFFF}, uint64_t{l.noteSize}}) {
    std::vector<uint8_t> bytes = good;
    ElfWriter::PutInto(bytes, false, l.ourNoteAt, 4, namesz);
    WriteFile(dir.File("hostile.so"), bytes);
    EXPECT_FALSE(VersionInfo(dir.File("hostile.so")).HasBlock());
  }
  std::vector<uint8_t> bytes = good;
  ElfWriter::PutInto(bytes, false, l.ourNoteAt + 4, 4, 0xFFFFFFF0);
  WriteFile(dir.File("hostile.so"), bytes);
  EXPECT_FALSE(VersionInfo(dir.File("hostile.so")).HasBlock());
}

// Every truncation and many random corruptions of a valid file: no crash,
// and a block that is found carries exactly the version written.
TEST(VersionInfoTest, TruncatedAndCorruptedFilesNeverMisread) {
  ElfShape shape;
  shape.foreignNoteFirst = false;
  ElfLayout l;
  const std::vector<uint8_t> good = ElfWriter(shape).Build(&l);
  test::MemoryFile file;
  const std::string path = file.Path();
  for (size_t n = 0; n < good.size(); ++n) {
    file.Set(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
    const VersionInfo info(path);
    if (info.HasBlock()) {
      EXPECT_EQ(info.VersionText(), "1.2.3.4") << "cut at " << n;
    }
    // Once the note is whole, the note segment finds it without the
    // (cut) section headers.
    EXPECT_EQ(info.HasBlock(), n >= l.noteAt + l.noteSize) << "cut at " << n;
  }
  std::mt19937 random(20240601);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = good;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    file.Set(bytes);
    const VersionInfo info(path);
    (void)info.VersionText();
    (void)info.StringValue("ProductName");
  }
}

}  // namespace
}  // namespace labelplu::sys
