// labelplu: whole-file reading and crash-safe file replacement for the value
// array's file operations.
//
// Threads: any thread; each object is used by one thread at a time.
#ifndef LABELPLU_VALUES_FILEIO_H
#define LABELPLU_VALUES_FILEIO_H

#include <cstdint>
#include <span>
#include <string>

namespace labelplu {

// A file opened for one read of its whole contents.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Opens name for reading. False when there is no such file (a folder does
  // not count as a file); raises std::runtime_error naming the file and the
  // reason for any other failure.
  bool Open(const std::string& name);
  // The size of the open file in bytes.
  int64_t Size() const { return m_size; }
  // Reads exactly Size() bytes into buffer; raises std::runtime_error when
  // reading fails or the file turns out shorter.
  void ReadAll(uint8_t* buffer);

 private:
  int m_fd = -1;
  int64_t m_size = 0;
  std::string m_name;
};

// Replaces (or creates) the file name with the bytes of head followed by tail
// so that a failure at any moment leaves either the old or the new contents:
// the bytes go into a temporary file in the same folder, which is flushed to
// disk and renamed over name. A replaced file keeps its permission bits; a
// new one gets 0644 without the bits of the process's umask. A symbolic link
// is followed: the file it points to is replaced. Raises std::runtime_error
// naming the file and the reason; the temporary file is removed then.
void ReplaceFile(const std::string& name, std::span<const uint8_t> head,
                 std::span<const uint8_t> tail = {});

}  // namespace labelplu

#endif  // LABELPLU_VALUES_FILEIO_H
