// labelplu: the class table of the primitives.
#include "PrimitiveClasses.h"

#include <mutex>
#include <stdexcept>

#include "TextUtils.h"

// Bounds of the section the linker fills with LP_REGISTER_PRIMITIVE entries
// (weak: a program may hold none).
extern "C" {
extern const labelplu::TPrimitiveEntry __start_lp_primitive_classes[] __attribute__((weak));
extern const labelplu::TPrimitiveEntry __stop_lp_primitive_classes[] __attribute__((weak));
}

namespace labelplu {

namespace {

struct Registry {
  std::mutex lock;
  std::vector<TPrimitiveClass> classes;
};

void Add(std::vector<TPrimitiveClass>& classes, std::string_view className,
         TPrimitiveFactory factory) {
  for (TPrimitiveClass& c : classes)
    if (SameTextAscii(c.ClassName, className)) {
      c = TPrimitiveClass{std::string(className), factory};
      return;
    }
  classes.push_back(TPrimitiveClass{std::string(className), factory});
}

// Built on first use from the linked-in entries, in link order.
Registry& TheRegistry() {
  static Registry* registry = [] {
    auto* r = new Registry;
    if (__start_lp_primitive_classes != nullptr)
      for (const TPrimitiveEntry* e = __start_lp_primitive_classes; e != __stop_lp_primitive_classes;
           ++e)
        Add(r->classes, e->ClassName, e->Create);
    return r;
  }();
  return *registry;
}

}  // namespace

void RegisterPrimitiveClass(std::string_view className, TPrimitiveFactory factory) {
  if (className.size() <= 3 || className.substr(0, 3) != "TPr")
    throw std::invalid_argument("a primitive class name must start with \"TPr\": \"" +
                                std::string(className) + "\"");
  if (factory == nullptr)
    throw std::invalid_argument("primitive class \"" + std::string(className) +
                                "\" has no factory");
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  Add(r.classes, className, factory);
}

std::optional<TPrimitiveClass> FindPrimitiveClass(std::string_view className) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const TPrimitiveClass& c : r.classes)
    if (SameTextAscii(c.ClassName, className)) return c;
  return std::nullopt;
}

std::vector<TPrimitiveClass> RegisteredPrimitiveClasses() {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  return r.classes;
}

}  // namespace labelplu
