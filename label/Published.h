// labelplu: published properties, the run-time type information that the
// template reader and writer work through.
//
// Every object that a template can set (an item, its font, the label)
// derives from PublishedObject and returns its property table: the published
// properties in published order (the order in which a template writes
// them). Each entry names the property, its kind and its accessors. The
// kinds and their text forms (PropText.h):
//
//   Integer      decimal text; a range [Min, Max] bounds what a text may set
//   Real         "12,5" (3 decimals at most, decimal comma); "." or "," read
//   Enumeration  the value's name ("haCenter", "True"); names in EnumInfo
//   Set          member names separated by commas ("fsBold,fsItalic")
//   String       the text as it is
//   Object       an owned object with its own table, reached by a dotted path
//                ("Font.Size")
//
// A concrete class builds its table once from the helpers below, e.g.
//
//   std::span<const PropertyInfo> RectangleItem::Properties() const {
//     static const std::vector<PropertyInfo> table = {
//         BaseProp::Left(), BaseProp::Top(), BaseProp::Width(), BaseProp::Height(),
//         RealProperty<RectangleItem>("PenWidth", &RectangleItem::PenWidth,
//                                    &RectangleItem::SetPenWidth)};
//     return table;
//   }
//
// Accessors take the object as PublishedObject& and cast it to the class that
// built the entry: an entry must only be used with objects of that class
// (the table lookup guarantees it).
//
// Threads: tables are built on first use (thread-safe static
// initialisation) and never change; objects belong to one thread at a time.
#ifndef LABELPLU_LABEL_PUBLISHED_H
#define LABELPLU_LABEL_PUBLISHED_H

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace labelplu {

// A property setting that cannot be applied: a text that is not a number, a
// name the enumeration lacks, a value outside the property's range, a path
// whose head is not an object property. what() names the property and the
// text.
class PropertyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class PropertyKind : uint8_t { Integer, Real, Enumeration, Set, String, Object };

// The names of an enumeration type, in ordinal order; for a set type, the
// names of its member enumeration (member i is bit i of the set's mask).
struct EnumInfo {
  std::string_view TypeName;                // "TRotation", "TFontStyle", "Boolean"
  std::span<const std::string_view> Names;  // at most 32 for a set
};

class PublishedObject;

// One published property.
struct PropertyInfo {
  std::string_view Name;
  PropertyKind Kind = PropertyKind::Integer;
  // Enumeration: the type's names; Set: the member names. Null otherwise.
  const EnumInfo* Type = nullptr;
  // Integer: the values a text may set. Real: the values a text may set
  // (finite numbers only). Ignored for the other kinds.
  double Min = 0;
  double Max = 0;

  // Integer value, enumeration ordinal or set mask.
  std::function<int64_t(const PublishedObject&)> GetOrd;
  std::function<void(PublishedObject&, int64_t)> SetOrd;
  std::function<double(const PublishedObject&)> GetReal;
  std::function<void(PublishedObject&, double)> SetReal;
  std::function<std::string(const PublishedObject&)> GetString;
  std::function<void(PublishedObject&, const std::string&)> SetString;
  // Object: the sub-object (owned by the object, never null). The template
  // writer reads through it from a const object and never changes it.
  std::function<PublishedObject&(const PublishedObject&)> GetObject;
};

// An object with published properties.
class PublishedObject {
 public:
  virtual ~PublishedObject() = default;
  // The published properties in published order.
  virtual std::span<const PropertyInfo> Properties() const = 0;
};

// The entry named name (ASCII case ignored), or null.
const PropertyInfo* FindProperty(const PublishedObject& object, std::string_view name);

// The largest magnitude a Real property accepts from text unless its entry
// says otherwise, and the one of lengths in millimetres.
inline constexpr double kRealLimit = 1.0e9;
inline constexpr double kLengthLimitMm = 10000.0;

// ---- Table builders --------------------------------------------------------
// T is the class the accessors belong to; get/set are its member functions
// (virtual ones dispatch as usual).

template <class T, class V, class A>
PropertyInfo IntegerProperty(std::string_view name, V (T::*get)() const, void (T::*set)(A),
                             int64_t min, int64_t max) {
  static_assert(std::is_integral_v<V>);
  PropertyInfo p;
  p.Name = name;
  p.Kind = PropertyKind::Integer;
  p.Min = static_cast<double>(min);
  p.Max = static_cast<double>(max);
  p.GetOrd = [get](const PublishedObject& o) {
    return static_cast<int64_t>((static_cast<const T&>(o).*get)());
  };
  p.SetOrd = [set](PublishedObject& o, int64_t v) {
    (static_cast<T&>(o).*set)(static_cast<std::remove_cvref_t<A>>(v));
  };
  return p;
}

// An enumeration property whose C++ type E is an enumeration or an integer
// type holding the ordinal (bool for the Boolean type).
template <class T, class E, class A>
PropertyInfo EnumProperty(std::string_view name, const EnumInfo& type, E (T::*get)() const,
                          void (T::*set)(A)) {
  PropertyInfo p;
  p.Name = name;
  p.Kind = PropertyKind::Enumeration;
  p.Type = &type;
  p.GetOrd = [get](const PublishedObject& o) {
    return static_cast<int64_t>((static_cast<const T&>(o).*get)());
  };
  p.SetOrd = [set](PublishedObject& o, int64_t v) {
    (static_cast<T&>(o).*set)(static_cast<std::remove_cvref_t<A>>(v));
  };
  return p;
}

// A set property; the accessors read and write the member mask.
template <class T, class M, class A>
PropertyInfo SetProperty(std::string_view name, const EnumInfo& memberType, M (T::*get)() const,
                         void (T::*set)(A)) {
  PropertyInfo p;
  p.Name = name;
  p.Kind = PropertyKind::Set;
  p.Type = &memberType;
  p.GetOrd = [get](const PublishedObject& o) {
    return static_cast<int64_t>((static_cast<const T&>(o).*get)());
  };
  p.SetOrd = [set](PublishedObject& o, int64_t v) {
    (static_cast<T&>(o).*set)(static_cast<std::remove_cvref_t<A>>(v));
  };
  return p;
}

template <class T, class V, class A>
PropertyInfo RealProperty(std::string_view name, V (T::*get)() const, void (T::*set)(A),
                          double limit = kRealLimit) {
  PropertyInfo p;
  p.Name = name;
  p.Kind = PropertyKind::Real;
  p.Min = -limit;
  p.Max = limit;
  p.GetReal = [get](const PublishedObject& o) {
    return static_cast<double>((static_cast<const T&>(o).*get)());
  };
  p.SetReal = [set](PublishedObject& o, double v) {
    (static_cast<T&>(o).*set)(static_cast<std::remove_cvref_t<A>>(v));
  };
  return p;
}

template <class T, class R, class A>
PropertyInfo StringProperty(std::string_view name, R (T::*get)() const, void (T::*set)(A)) {
  PropertyInfo p;
  p.Name = name;
  p.Kind = PropertyKind::String;
  p.GetString = [get](const PublishedObject& o) {
    return std::string((static_cast<const T&>(o).*get)());
  };
  p.SetString = [set](PublishedObject& o, const std::string& v) { (static_cast<T&>(o).*set)(v); };
  return p;
}

template <class T, class O>
PropertyInfo ObjectProperty(std::string_view name, O& (T::*get)()) {
  static_assert(std::is_base_of_v<PublishedObject, O>);
  PropertyInfo p;
  p.Name = name;
  p.Kind = PropertyKind::Object;
  p.GetObject = [get](const PublishedObject& o) -> PublishedObject& {
    return (const_cast<T&>(static_cast<const T&>(o)).*get)();
  };
  return p;
}

}  // namespace labelplu

#endif  // LABELPLU_LABEL_PUBLISHED_H
