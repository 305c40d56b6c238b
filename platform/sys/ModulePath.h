// labelplu: the files of the running code.
#ifndef LABELPLU_PLATFORM_SYS_MODULEPATH_H
#define LABELPLU_PLATFORM_SYS_MODULEPATH_H

#include <string>

namespace labelplu::sys {

// The file of the module that contains this library's code. lp_sys is
// linked statically, so inside the plug-in this names the plug-in file and
// inside an executable the executable. Long form (shortName false): the
// absolute path with symbolic links and "." / ".." resolved; when that fails
// the name the loader reports. Short form: the file name without directory
// and without its last extension ("labelplu.plu" -> "labelplu").
// Thread-safe; empty only when the loader reports nothing at all.
std::string ModulePath(bool shortName = false);

// The directory of ModulePath(false), with a trailing "/".
std::string ModuleDirectory();

// The absolute path of the running program (/proc/self/exe); empty when
// the system does not tell.
std::string ProgramPath();

// Path helpers, on "/"-separated text.
// "a/b/c.ext" -> "a/b/"; "c.ext" -> "".
std::string ExtractFileDir(const std::string& path);
// "a/b/c.ext" -> "c.ext".
std::string ExtractFileName(const std::string& path);
// "a/b/c.d.ext" -> "c.d"; a leading dot is not an extension (".cfg" stays).
std::string FileNameWithoutExtension(const std::string& path);

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_MODULEPATH_H
