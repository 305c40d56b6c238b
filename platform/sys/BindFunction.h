// labelplu: binding a function of a shared library at run time.
#ifndef LABELPLU_PLATFORM_SYS_BINDFUNCTION_H
#define LABELPLU_PLATFORM_SYS_BINDFUNCTION_H

namespace labelplu::sys {

// The address of function in library (a name dlopen understands, such as
// "libc.so.6", or a path). The library already loaded in the process is
// taken (RTLD_NOLOAD) or else loaded (RTLD_NOW | RTLD_LOCAL); it is never
// unloaded again, so the address stays valid for the life of the process.
// Throws std::runtime_error "Library not found: <library>" or
// "Function not found: <library>.<function>". Thread-safe.
void* FindFunction(const char* library, const char* function);

// Stores the address of function in slot unless slot is already set.
// Throws as FindFunction and then leaves slot unchanged. The slot itself is
// not synchronised: callers that share one slot between threads bind it
// once before sharing it.
template <class F>
void BindFunction(F*& slot, const char* library, const char* function) {
  if (slot != nullptr) return;
  slot = reinterpret_cast<F*>(FindFunction(library, function));
}

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_BINDFUNCTION_H
