// labelplu: the class table of the label items.
#include "label/ItemClasses.h"

#include <mutex>
#include <stdexcept>

#include "base/TextUtils.h"

// Bounds of the section the linker fills with LP_REGISTER_LABEL_ITEM entries
// (weak: a program may hold none).
extern "C" {
// The linker's names for the section bounds, reserved by design.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern const labelplu::ItemClassEntry __start_lp_label_item_classes[] __attribute__((weak));
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern const labelplu::ItemClassEntry __stop_lp_label_item_classes[] __attribute__((weak));
}

namespace labelplu {

namespace {

struct Registry {
  std::mutex lock;
  std::vector<ItemClass> classes;
};

void Add(std::vector<ItemClass>& classes, std::string_view className, ItemFactory factory) {
  for (ItemClass& c : classes)
    if (SameTextAscii(c.ClassName, className)) {
      c = ItemClass{std::string(className), factory};
      return;
    }
  classes.push_back(ItemClass{std::string(className), factory});
}

// Built on first use from the linked-in entries, in link order.
Registry& TheRegistry() {
  static Registry* registry = [] {
    auto* r = new Registry;
    if (__start_lp_label_item_classes != nullptr)
      for (const ItemClassEntry* e = __start_lp_label_item_classes;
           e != __stop_lp_label_item_classes; ++e)
        Add(r->classes, e->ClassName, e->Create);
    return r;
  }();
  return *registry;
}

}  // namespace

void RegisterItemClass(std::string_view className, ItemFactory factory) {
  if (className.empty()) throw std::invalid_argument("a label item class needs a name");
  if (factory == nullptr)
    throw std::invalid_argument("label item class \"" + std::string(className) +
                                "\" has no factory");
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  Add(r.classes, className, factory);
}

std::optional<ItemClass> FindItemClass(std::string_view className) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const ItemClass& c : r.classes)
    if (SameTextAscii(c.ClassName, className)) return c;
  return std::nullopt;
}

std::vector<ItemClass> RegisteredItemClasses() {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  return r.classes;
}

}  // namespace labelplu
