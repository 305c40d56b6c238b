#include "platform/sys/BindFunction.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace labelplu::sys {

void* FindFunction(const char* library, const char* function) {
  const std::string lib = library != nullptr ? library : "";
  const std::string fn = function != nullptr ? function : "";
  // The handle is kept open on purpose: the bound address must outlive it.
  void* handle = lib.empty() ? nullptr : ::dlopen(lib.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr && !lib.empty()) handle = ::dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw std::runtime_error("Library not found: " + lib);
  void* address = fn.empty() ? nullptr : ::dlsym(handle, fn.c_str());
  if (address == nullptr) throw std::runtime_error("Function not found: " + lib + "." + fn);
  return address;
}

}  // namespace labelplu::sys
