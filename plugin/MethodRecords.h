// Records of the static method and property tables the driver object
// searches by name.
#ifndef LABELPLU_PLUGIN_METHODRECORDS_H
#define LABELPLU_PLUGIN_METHODRECORDS_H

#include <cstdint>
#include <span>
#include <string_view>

#include "devices/ParameterRecord.h"
#include "labelplu/oleauto.h"
#include "labelplu/plugin.h"

namespace labelplu {

class DriverObject;
class DeviceItem;

// What a handler works with: the driver object, the host task of the call
// (null when the call carries none) and the current device for that task.
struct CallContext {
  DriverObject& Driver;
  HostTask* Task;
};

// A method handler gets exactly the record's parameter count of arguments,
// may change them (they are copied back as out-arguments) and stores its
// result; a non-zero integer result becomes an error.
using MethodHandler = void (*)(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result);

// A property handler reads (isWrite false: fills value) or writes (isWrite
// true: takes value). nameRu is the record's Russian name.
using PropertyHandler = bool (*)(const CallContext& ctx, bool isWrite, VARIANT& value,
                                 std::string_view nameRu);

struct MethodRecord {
  // The Russian and the English name separated by one comma, either first.
  std::string_view Name;
  int8_t ParamCount;
  MethodHandler Handler;
  int32_t Flag = 1;
};

// A driver property: its names and read-only flag (the other descriptive
// fields are filled when the property publishes a device parameter, whose
// record it then copies) and the handler that reads and writes it.
struct PropertyRecord : ParameterRecord {
  PropertyHandler Handler;
};

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_METHODRECORDS_H
