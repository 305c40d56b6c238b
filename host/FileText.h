// labelplu host: reading a whole file.
#ifndef LABELPLU_HOST_FILETEXT_H
#define LABELPLU_HOST_FILETEXT_H

#include <string>

namespace labelplu::host {

// The bytes of the regular file at path. Throws HostError naming the file
// when it does not exist, is not a regular file (a directory, a device that
// never ends) or cannot be read.
std::string ReadFileBytes(const std::string& path);

// The text of the file at path as UTF-8, for XML documents a user hands in:
// a UTF-8 byte order mark is dropped, text that starts with a UTF-16 byte
// order mark (either byte order) is converted to UTF-8. Throws HostError
// naming the file when it cannot be read (as ReadFileBytes) or is neither
// valid UTF-8 nor complete UTF-16.
std::string ReadTextFile(const std::string& path);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_FILETEXT_H
