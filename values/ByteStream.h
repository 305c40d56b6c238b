// labelplu: the growable in-memory byte stream of the variant stream format.
//
// Threads: a stream is used by one thread at a time. The dump-folder provider
// is process-wide; set it before streams are used from several threads.
#ifndef LABELPLU_VALUES_BYTESTREAM_H
#define LABELPLU_VALUES_BYTESTREAM_H

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace labelplu {

// A read past the end of a stream, or data whose claims (counts, sizes) the
// stream cannot hold. what() begins with "Ошибка чтения потока. ".
class StreamReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A write that would take the stream beyond 2 GiB (its sizes are 32-bit).
class StreamWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder (ending in "/") where failed reads leave dump files; by default
// the folder of the process's log file. An empty folder means no dump files.
using DumpFolderProvider = std::function<std::string()>;
// Replaces the provider (null restores the default). Returns the previous one.
DumpFolderProvider SetStreamDumpFolderProvider(DumpFolderProvider provider);
std::string StreamDumpFolder();

class ByteStream {
 public:
  // Every growth adds at least this many bytes of capacity.
  static constexpr int32_t kGrowthStep = 500000;

  ByteStream() = default;
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;

  int32_t Position() const { return m_position; }
  // Bytes of valid data.
  int32_t Size() const { return m_size; }
  // Bytes allocated.
  int32_t Capacity() const { return m_capacity; }
  // The data (Capacity bytes; the first Size are valid). Null while empty.
  const uint8_t* Memory() const { return m_memory.get(); }
  // Size - Position (never negative).
  int32_t Remaining() const { return m_size > m_position ? m_size - m_position : 0; }

  // Copies count bytes at Position, growing Capacity by the missing amount
  // but by at least kGrowthStep; advances Position; Size := max(Size,
  // Position). Throws StreamWriteError when the stream would pass 2 GiB or
  // count is negative, std::bad_alloc when memory runs out.
  void Write(const void* data, int32_t count);
  // Replaces the contents with count bytes that the caller fills through the
  // returned address before reading them (an inflater writing in place):
  // Size and Capacity := count, Position := 0. The bytes start
  // uninitialised. Throws StreamWriteError for a negative count,
  // std::bad_alloc when memory runs out.
  uint8_t* Allocate(int32_t count);
  // Returns 0 when count <= 0. Copies count bytes from Position and advances.
  // When fewer than count bytes remain: writes the dump file "Buffer<Position>.txt"
  // into the dump folder (a failure to write it is ignored) and throws
  // StreamReadError "Ошибка чтения потока. Pos=<p> Size=<s> Count=<n>"; the
  // stream is unchanged.
  int32_t Read(void* buffer, int32_t count);
  // p < 0: nothing. p > Capacity: Capacity, Position and Size := p (new
  // bytes are zero). Otherwise Position := p and Size := max(Size, p).
  void SetPosition(int32_t p);
  // Releases the memory; Capacity, Size and Position := 0.
  void Clear();
  // Creates (or replaces) the file and writes the first Size bytes. Throws
  // std::runtime_error when the file cannot be written.
  void DumpToFile(const std::string& fileName) const;
  // DumpToFile(StreamDumpFolder() + name); does nothing without a folder and
  // ignores every failure.
  void DumpToLogFolder(std::string_view name) const noexcept;

  // Throws the read error for a claim of count bytes that the stream cannot
  // satisfy (detail, when given, names the fault) after dumping as Read does.
  [[noreturn]] void FailRead(int64_t count, std::string_view detail = {}) const;

 private:
  struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
  };

  void Reserve(int64_t capacity);

  std::unique_ptr<uint8_t, FreeDeleter> m_memory;
  int32_t m_position = 0;
  int32_t m_size = 0;
  int32_t m_capacity = 0;
};

}  // namespace labelplu

#endif  // LABELPLU_VALUES_BYTESTREAM_H
