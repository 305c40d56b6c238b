// labelplu: the class table of the primitives. A template names a
// primitive by its class name without the "TPr" prefix ("Rectangle",
// "Shk"); the label looks "TPr" + that name up here, ignoring case.
//
// A primitive class registers itself from its own .cpp file:
//
//   LP_REGISTER_PRIMITIVE(TPrRectangle)
//
// which registers "TPrRectangle" with a factory that constructs
// TPrRectangle(TLb&). The registration is a constant entry that the linker
// gathers into one section; nothing runs at load (the plug-in module must
// have no dynamic initialisers: its driver object is built at load). The
// lp_label target links its archive whole (label/CMakeLists.txt), so every
// registered class is present in every program that links lp_label.
// RegisterPrimitiveClass adds or replaces classes at run time.
//
// Threads: the table is guarded; registration and lookup may happen on any
// thread.
#ifndef LABELPLU_LABEL_PRIMITIVECLASSES_H
#define LABELPLU_LABEL_PRIMITIVECLASSES_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu {

class TBasePrimitive;
class TLb;

// Creates a primitive of one class for its label (the label takes it over).
using TPrimitiveFactory = std::unique_ptr<TBasePrimitive> (*)(TLb& owner);

struct TPrimitiveClass {
  std::string ClassName;  // "TPrRectangle"
  TPrimitiveFactory Create = nullptr;
};

// Registers (or, for a name already registered ignoring case, replaces) a
// class. Throws std::invalid_argument when className does not start with
// "TPr" followed by at least one character, or factory is null.
void RegisterPrimitiveClass(std::string_view className, TPrimitiveFactory factory);

// The class registered under className, ASCII case ignored.
std::optional<TPrimitiveClass> FindPrimitiveClass(std::string_view className);

// Every registered class, in registration order.
std::vector<TPrimitiveClass> RegisteredPrimitiveClasses();

// One entry of the section the registrations are gathered in.
struct TPrimitiveEntry {
  const char* ClassName;
  TPrimitiveFactory Create;
};

}  // namespace labelplu

// In the class's .cpp, at namespace scope inside the namespace that declares
// Class, with the bare class name (LP_REGISTER_PRIMITIVE(TPrLine)):
// registers "TPrLine" with a factory that constructs Class(TLb&).
#define LP_REGISTER_PRIMITIVE(Class)                                                          \
  static std::unique_ptr<::labelplu::TBasePrimitive> lpCreatePrimitive_##Class(               \
      ::labelplu::TLb& owner) {                                                               \
    return std::make_unique<Class>(owner);                                                    \
  }                                                                                           \
  [[gnu::used, gnu::section("lp_primitive_classes")]] static constexpr ::labelplu::TPrimitiveEntry \
      lpPrimitiveEntry_##Class{#Class, &lpCreatePrimitive_##Class};

#endif  // LABELPLU_LABEL_PRIMITIVECLASSES_H
