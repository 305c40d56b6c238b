// labelplu host: reading a whole file.
#ifndef LABELPLU_HOST_FILETEXT_H
#define LABELPLU_HOST_FILETEXT_H

#include <string>

namespace labelplu::host {

// The bytes of the regular file at path. Throws HostError naming the file
// when it does not exist, is not a regular file (a directory, a device that
// never ends) or cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_FILETEXT_H
