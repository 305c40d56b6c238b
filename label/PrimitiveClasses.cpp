// labelplu: the class table of the primitives.
#include "PrimitiveClasses.h"

#include <mutex>
#include <stdexcept>

#include "TextUtils.h"

namespace labelplu {

namespace {

struct Registry {
  std::mutex lock;
  std::vector<TPrimitiveClass> classes;
};

// Built on first use, so that registrations from other files' static
// initialisers find it whatever the order of initialisation.
Registry& TheRegistry() {
  static Registry registry;
  return registry;
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
  for (TPrimitiveClass& c : r.classes)
    if (SameTextAscii(c.ClassName, className)) {
      c = TPrimitiveClass{std::string(className), factory};
      return;
    }
  r.classes.push_back(TPrimitiveClass{std::string(className), factory});
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
