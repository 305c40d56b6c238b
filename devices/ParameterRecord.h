// The description of a device parameter as the parameter tables of the
// device lists state it.
#ifndef LABELPLU_DEVICES_PARAMETERRECORD_H
#define LABELPLU_DEVICES_PARAMETERRECORD_H

#include <string_view>

namespace labelplu {

// One row of a parameter table: what a model registers for a parameter
// (RegisterParam) and what the settings documents and the settings dialog
// show of it. The texts are UTF-8 and static: tables of these are constant
// data.
struct ParameterRecord {
  std::string_view NameRu;  // the parameter's name (Russian where it has two)
  std::string_view NameEn;  // its English name; "" when it has none
  std::string_view Caption;
  std::string_view TypeName;  // "Integer", "String", "Число", ...
  bool ReadOnly;
  std::string_view DefaultValue;  // the value a new device starts with
  std::string_view Hint;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PARAMETERRECORD_H
