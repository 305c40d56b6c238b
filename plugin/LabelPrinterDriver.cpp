#include "plugin/LabelPrinterDriver.h"

#include "base/ArgTypes.h"
#include "base/DriverResult.h"
#include "base/Errors.h"
#include "base/VariantUtils.h"
#include "devices/ParameterDescriptor.h"
#include "platform/ole/Variant.h"
#include "print/PrinterDevice.h"

namespace labelplu {

namespace {

int32_t ResultCodeOf(const VARIANT& result) {
  return result.vt == VT_EMPTY ? kResultOk : ole::VarToInt32(result);
}

LabelPrinterDriver& LevelDriver(const CallContext& ctx) {
  return dynamic_cast<LabelPrinterDriver&>(ctx.Driver);
}

using LevelOperation = void (LabelPrinterDriver::*)(DeviceItem&, VARIANT&, VARIANT&);

// The template check and the variable list: a fresh value filled by the
// operation is written back when the result is kResultOk.
void QueryHandler(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result,
                  LevelOperation operation) {
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  StoreInt(result, device ? kResultOk : kResultNoDevice);
  if (device) {
    ole::OleVariant fresh;
    (LevelDriver(ctx).*operation)(*device, fresh.get(), result);
    if (ResultCodeOf(result) == kResultOk) {
      VariantClear(&args[0]);
      args[0] = fresh.release();
    }
    device->SetResult(ResultCodeOf(result));
  }
}

void CheckLabelTemplate(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  QueryHandler(ctx, args, result, &LabelPrinterDriver::CheckTemplate);
}

void GetIDsOfVariables(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  QueryHandler(ctx, args, result, &LabelPrinterDriver::GetValuesName);
}

void ExecutePrint(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  StoreInt(result, device ? kResultOk : kResultNoDevice);
  if (!device) return;
  if (!ValueArrayOf(args[0])) {
    StoreInt(result, kResultWrongArgumentType);
  } else {
    try {
      LevelDriver(ctx).ExecutePrint(*device, args[0], result);
    } catch (const EProtectException& e) {
      StoreInt(result, e.Code);
    }
  }
  device->SetResult(ResultCodeOf(result));
}

// Reads or writes a device parameter of the current device as a property.
bool DeviceParameter(const CallContext& ctx, bool isWrite, VARIANT& value,
                     std::string_view nameRu) {
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return false;
  if (isWrite) {
    device->SetParam(nameRu, ole::VarToText(DerefVariant(value)));
  } else if (const ParameterDescriptor* item = FindParam(device->Params, nameRu)) {
    ole::OleVariant typed = item->TypedCurrent();
    VariantClear(&value);
    value = typed.release();
  } else {
    StoreText(value, device->GetParam(nameRu));
  }
  return true;
}

// The label-printer parameters published as properties of the driver.
std::span<PropertyRecord> LevelProperties() {
  static std::vector<PropertyRecord> records = [] {
    std::vector<PropertyRecord> list;
    for (const ParameterRecord& param : LabelPrinterParamRecords())
      list.push_back(PropertyRecord{param, DeviceParameter});
    return list;
  }();
  return records;
}

constexpr MethodRecord kLevelMethods[] = {
    {"ВыбратьУстройство,ChoiceDevice", 1, ChoiceDeviceHandler},
    {"ПроверитьШаблонЭтикетки,CheckLabelTemplate", 1, CheckLabelTemplate},
    {"ПолучитьИдентификаторыПеременных,GetIDsOfVariables", 1, GetIDsOfVariables},
    {"ВыполнитьПечать,ExecutePrint", 1, ExecutePrint},
};

}  // namespace

void ChoiceDeviceHandler(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  StoreInt(result, ctx.Driver.Devices().SelectDevice(args[0]));
}

LabelPrinterDriver::LabelPrinterDriver(const DriverTables& tables, CallEntryFn callEntry,
                                       DriverObject* const* driverSlot,
                                       std::unique_ptr<DeviceList> list)
    : DriverObject(tables, callEntry, driverSlot, std::move(list)) {
  SetLevelTables(kLevelMethods, LevelProperties());
}

void LabelPrinterDriver::CheckTemplate(DeviceItem&, VARIANT&, VARIANT&) {
  RaiseError(21011, "fcl_CheckTemplate");
}

void LabelPrinterDriver::GetValuesName(DeviceItem&, VARIANT&, VARIANT&) {
  RaiseError(21011, "fcl_GetValuesName");
}

void LabelPrinterDriver::ExecutePrint(DeviceItem&, VARIANT&, VARIANT&) {
  RaiseError(21011, "fcl_ExecutePrint");
}

}  // namespace labelplu
