#include "values/ByteStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/values/DumpFolderScope.h"

namespace labelplu {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ByteStream, GrowsByAtLeastTheStep) {
  ByteStream stream;
  const std::vector<uint8_t> block(800000, 0xAB);
  stream.Write(block.data(), 1);
  EXPECT_EQ(stream.Capacity(), 500000);
  stream.Write(block.data(), 499999);
  EXPECT_EQ(stream.Capacity(), 500000);
  stream.Write(block.data(), 1);
  EXPECT_EQ(stream.Capacity(), 1000000);
  stream.Write(block.data(), 800000);  // missing 300001 < step
  EXPECT_EQ(stream.Capacity(), 1500000);
  stream.SetPosition(0);
  stream.Write(block.data(), 3);
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_EQ(stream.Size(), 1300001);
  stream.SetPosition(1500000);
  stream.Write(block.data(), 800000);  // missing 800000 > step
  EXPECT_EQ(stream.Capacity(), 2300000);
  EXPECT_EQ(stream.Size(), 2300000);
  EXPECT_THROW(stream.Write(block.data(), -1), StreamWriteError);
  stream.Clear();
  EXPECT_EQ(stream.Capacity(), 0);
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(stream.Memory(), nullptr);
}

TEST(ByteStream, SetPosition) {
  ByteStream stream;
  stream.Write("abcd", 4);
  stream.SetPosition(-1);
  EXPECT_EQ(stream.Position(), 4);
  stream.SetPosition(2);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(stream.Size(), 4);
  stream.SetPosition(10);  // within capacity: the size follows
  EXPECT_EQ(stream.Size(), 10);
  EXPECT_EQ(stream.Capacity(), 500000);
  stream.SetPosition(600000);  // beyond capacity: all three follow
  EXPECT_EQ(stream.Capacity(), 600000);
  EXPECT_EQ(stream.Size(), 600000);
  EXPECT_EQ(stream.Position(), 600000);
  EXPECT_EQ(stream.Memory()[599999], 0);
  EXPECT_EQ(stream.Memory()[5], 0);

  ByteStream fresh;
  fresh.SetPosition(7);
  EXPECT_EQ(fresh.Capacity(), 7);
  EXPECT_EQ(fresh.Size(), 7);
}

TEST(ByteStream, ReadPastTheEndFailsAndLeavesADump) {
  test::DumpFolderScope dumps;
  ByteStream stream;
  stream.Write("0123456789", 10);
  stream.SetPosition(8);
  char buffer[4] = {};
  try {
    stream.Read(buffer, 4);
    FAIL() << "no read error";
  } catch (const StreamReadError& e) {
    EXPECT_STREQ(e.what(), "Ошибка чтения потока. Pos=8 Size=10 Count=4");
  }
  EXPECT_EQ(stream.Position(), 8);
  EXPECT_EQ(FileBytes(dumps.Path() + "Buffer8.txt"), "0123456789");

  EXPECT_EQ(stream.Read(buffer, 0), 0);
  EXPECT_EQ(stream.Read(buffer, -3), 0);
  EXPECT_EQ(stream.Read(buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "89");
}

TEST(ByteStream, AnUnwritableDumpFolderDoesNotHideTheReadError) {
  const DumpFolderProvider previous =
      SetStreamDumpFolderProvider([] { return std::string("/nonexistent/labelplu/"); });
  ByteStream stream;
  char buffer[1];
  EXPECT_THROW(stream.Read(buffer, 1), StreamReadError);
  SetStreamDumpFolderProvider(previous);
}

TEST(ByteStream, DumpToFileWritesTheValidBytes) {
  const test::TempDir folder;
  ByteStream stream;
  stream.Write("xyz", 3);
  stream.DumpToFile(folder.File("d.bin"));
  EXPECT_EQ(FileBytes(folder.File("d.bin")), "xyz");
  EXPECT_THROW(stream.DumpToFile(folder.File("missing/d.bin")), std::runtime_error);
}

}  // namespace
}  // namespace labelplu
