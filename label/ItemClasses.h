// labelplu: the class table of the label items. A template names an item's
// class by the name registered here ("Rectangle", "Shk"); the label looks
// that name up, ignoring case.
//
// An item class registers itself from its own .cpp file with the name
// templates use for it:
//
//   LP_REGISTER_LABEL_ITEM(RectangleItem, "Rectangle")
//
// which registers "Rectangle" with a factory that constructs
// RectangleItem(Label&). The registration is a constant entry that the linker
// gathers into one section; nothing runs at load (the plug-in module must
// have no dynamic initialisers: its driver object is built at load). The
// lp_label target links its archive whole (label/CMakeLists.txt), so every
// registered class is present in every program that links lp_label.
// RegisterItemClass adds or replaces classes at run time.
//
// Threads: the table is guarded; registration and lookup may happen on any
// thread.
#ifndef LABELPLU_LABEL_ITEMCLASSES_H
#define LABELPLU_LABEL_ITEMCLASSES_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu {

class LabelItem;
class Label;

// Creates an item of one class for its label (the label takes it over).
using ItemFactory = std::unique_ptr<LabelItem> (*)(Label& owner);

struct ItemClass {
  std::string ClassName;  // "Rectangle", as templates name it
  ItemFactory Create = nullptr;
};

// Registers (or, for a name already registered ignoring case, replaces) a
// class. Throws std::invalid_argument when className is empty or factory is
// null.
void RegisterItemClass(std::string_view className, ItemFactory factory);

// The class registered under className, ASCII case ignored.
std::optional<ItemClass> FindItemClass(std::string_view className);

// Every registered class, in registration order.
std::vector<ItemClass> RegisteredItemClasses();

// One entry of the section the registrations are gathered in.
struct ItemClassEntry {
  const char* ClassName;
  ItemFactory Create;
};

}  // namespace labelplu

// In the class's .cpp, at namespace scope inside the namespace that declares
// Class, with the bare class name and the name templates use
// (LP_REGISTER_LABEL_ITEM(LineItem, "Line")): registers that name with a
// factory that constructs Class(Label&).
#define LP_REGISTER_LABEL_ITEM(Class, templateName)                                                \
  static std::unique_ptr<::labelplu::LabelItem> lpCreateItem_##Class(::labelplu::Label& owner) {   \
    return std::make_unique<Class>(owner);                                                         \
  }                                                                                                \
  [[gnu::used, gnu::section("lp_label_item_classes")]] static constexpr ::labelplu::ItemClassEntry \
      lpItemEntry_##Class{templateName, &lpCreateItem_##Class};

#endif  // LABELPLU_LABEL_ITEMCLASSES_H
