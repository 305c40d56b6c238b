#include "platform/sys/ModulePath.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace labelplu::sys {
namespace {

// An address inside this module: lp_sys is a static library, so whichever
// module links it owns this function.
void AnchorInThisModule() {}

std::string ResolvedPath(const char* name) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(name, nullptr), &std::free);
  return real ? std::string(real.get()) : std::string(name);
}

}  // namespace

std::string ProgramPath() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
  buffer.resize(static_cast<size_t>(n));
  return buffer;
}

std::string ModulePath(bool shortName) {
  Dl_info info{};
  link_map* map = nullptr;
  std::string path;
  if (::dladdr1(reinterpret_cast<void*>(&AnchorInThisModule), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) != 0) {
    // The main program's link map has an empty name; dli_fname would then
    // be argv[0], which need not be a path at all.
    if (map != nullptr && map->l_name != nullptr && map->l_name[0] != '\0') {
      path = ResolvedPath(map->l_name);
    } else if (map == nullptr && info.dli_fname != nullptr && info.dli_fname[0] == '/') {
      path = ResolvedPath(info.dli_fname);
    }
  }
  if (path.empty()) path = ProgramPath();
  return shortName ? FileNameWithoutExtension(path) : path;
}

std::string ModuleDirectory() {
  return ExtractFileDir(ModulePath(false));
}

std::string ExtractFileDir(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileNameWithoutExtension(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace labelplu::sys
