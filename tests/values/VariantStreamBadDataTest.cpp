// Truncated, lying and unsupported streams fail with clear errors and never
// allocate for what they claim.
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "tests/values/StreamFixture.h"

namespace labelplu {
namespace {

using namespace test;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// Caps the address space at its current size plus 256 MiB while in scope, so
// an allocation for a claimed size fails instead of passing unnoticed. The
// address sanitizer reserves terabytes of shadow memory: there the cap is not
// set (the claims are still checked, only the allocation witness is missing).
class AddressSpaceCap {
 public:
  AddressSpaceCap() {
    if (kAddressSanitizer) return;
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
      if (key == "VmSize:") {
        rlim_t kib = 0;
        status >> kib;
        getrlimit(RLIMIT_AS, &m_saved);
        rlimit cap = m_saved;
        cap.rlim_cur = kib * 1024 + (rlim_t{256} << 20);
        m_active = setrlimit(RLIMIT_AS, &cap) == 0;
        return;
      }
      status.ignore(1 << 10, '\n');
    }
  }
  ~AddressSpaceCap() {
    if (m_active) setrlimit(RLIMIT_AS, &m_saved);
  }

 private:
  rlimit m_saved{};
  bool m_active = false;
};

std::string ReadFailure(const Bytes& bytes) {
  ByteStream stream;
  Load(stream, bytes);
  Var value;
  try {
    ReadVariant(stream, value.v);
  } catch (const std::exception& e) {
    EXPECT_EQ(value.v.vt, VT_EMPTY);
    return e.what();
  }
  return "<read>";
}

Bytes Repeat(const Bytes& part, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out = out + part;
  return out;
}

TEST_F(StreamTest, TruncatedAndLyingStreamsFailWithTheReadError) {
  const int64_t maxInt = 0x7FFFFFFF;
  struct Case {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"empty stream", {}},
      {"truncated integer", Words({3}) + Bytes{5, 0}},
      {"huge string", Words({8, maxInt}) + Bytes{0x61, 0}},
      {"negative string length", Words({8, -1})},
      {"huge single-byte string", Words({256, maxInt, 0})},
      {"2^31 raw elements", Words({0x2003, 1, 0, maxInt, 0})},
      {"2^31 variants", Words({0x200C, 1, 0, maxInt - 1, 3, 1})},
      {"65536 x 65536 variants", Words({0x200C, 2, 0, 0, 65535, 65535})},
      {"full int32 range", Words({0x200C, 1, INT32_MIN, maxInt})},
      {"2^31 x 2^31 bytes", Words({0x2011, 2, 0, 0, maxInt - 1, maxInt - 1, 0})},
      {"no dimensions", Words({0x200C, 0})},
      {"negative dimensions", Words({0x200C, -1})},
      {"a million dimensions", Words({0x200C, 1000000, 0, 0})},
      {"upper below lower", Words({0x200C, 1, 5, 1})},
      {"byte count larger than the data", Words({0x2003, 1, 0, 0, 8, 1, 2})},
      {"negative byte count", Words({0x2003, 1, 0, 0, -4})},
      {"missing elements", Words({0x200C, 1, 0, 2, 3, 1})},
      {"references nested too deep", Repeat(Words({0x4000}), 100) + Words({3, 1})},
      {"arrays nested too deep", Repeat(Words({0x200C, 1, 0, 0}), 100) + Words({3, 1})},
  };
  AddressSpaceCap cap;
  for (const Case& c : cases) {
    const std::string message = ReadFailure(c.bytes);
    EXPECT_EQ(message.rfind("Ошибка чтения потока. ", 0), 0u) << c.name << ": " << message;
  }
}

TEST_F(StreamTest, ReadErrorsLeaveTheBufferDump) {
  const std::string message = ReadFailure(Words({3}) + Bytes{5, 0});
  EXPECT_EQ(message, "Ошибка чтения потока. Pos=4 Size=6 Count=4");
  EXPECT_EQ(std::filesystem::file_size(m_dumps.Path() + "Buffer4.txt"), 6u);
}

TEST_F(StreamTest, UnsupportedTypeCodesOnRead) {
  const std::string head = "Неподдерживаемый тип данных.\r\nТип данных=";
  EXPECT_EQ(ReadFailure(Words({9})), head + "9\r\nПредставление: (Объект)");
  EXPECT_EQ(ReadFailure(Words({13})), head + "13\r\nПредставление: (Объект)");
  EXPECT_EQ(ReadFailure(Words({12})), head + "12\r\nПредставление: (Неопределено)");
  EXPECT_EQ(ReadFailure(Words({14})), head + "14\r\nПредставление: (Неопределено)");
  EXPECT_EQ(ReadFailure(Words({0x1003, 5})), head + "4099\r\nПредставление: (Неопределено)");
  EXPECT_EQ(ReadFailure(Words({0x200E, 1, 0, 0})), head + "8206\r\nПредставление: (Неопределено)");
}

TEST_F(StreamTest, AnElementThatDoesNotFitItsArrayLeavesADump) {
  // An array of signed bytes whose one element is the text "x".
  const Bytes bytes = Words({0x2010, 1, 0, 0, 8, 1}) + Bytes{0x78, 0};
  const std::string message = ReadFailure(bytes);
  EXPECT_EQ(message, "Could not convert variant of type (String) into type (ShortInt)");
  EXPECT_TRUE(std::filesystem::exists(m_dumps.Path() + "26_26.txt"));
}

}  // namespace
}  // namespace labelplu
