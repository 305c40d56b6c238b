#include "BaseDllLP.h"

#include "ArgTypes.h"
#include "ManagerWinPrinter.h"
#include "PropItem.h"
#include "Errors.h"
#include "Variant.h"
#include "VariantUtils.h"

namespace labelplu {

namespace {

int32_t ResultCodeOf(const VARIANT& result) {
  return result.vt == VT_EMPTY ? 0 : ole::VarToInt32(result);
}

TBaseDllLP& LevelDriver(const TCallContext& ctx) { return dynamic_cast<TBaseDllLP&>(ctx.Driver); }

using TLevelOperation = void (TBaseDllLP::*)(TDeviceItem&, VARIANT&, VARIANT&);

// The template check and the variable list: a fresh value filled by the
// operation is written back when the result is 0.
void QueryHandler(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result,
                  TLevelOperation operation) {
  TDeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  StoreInt(result, device ? 0 : 3);
  if (device) {
    ole::OleVariant fresh;
    (LevelDriver(ctx).*operation)(*device, fresh.get(), result);
    if (ResultCodeOf(result) == 0) {
      VariantClear(&args[0]);
      args[0] = fresh.release();
    }
    device->SetResult(ResultCodeOf(result));
  }
}

void CheckLabelTemplate(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  QueryHandler(ctx, args, result, &TBaseDllLP::fcl_CheckTemplate);
}

void GetIDsOfVariables(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  QueryHandler(ctx, args, result, &TBaseDllLP::fcl_GetValuesName);
}

void ExecutePrint(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  TDeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  StoreInt(result, device ? 0 : 3);
  if (!device) return;
  if (!ValueArrayOf(args[0])) {
    StoreInt(result, 4);
  } else {
    try {
      LevelDriver(ctx).fcl_ExecutePrint(*device, args[0], result);
    } catch (const EProtectException& e) {
      StoreInt(result, e.Code);
    }
  }
  device->SetResult(ResultCodeOf(result));
}

// Reads or writes a device parameter of the current device as a property.
bool DeviceParameter(const TCallContext& ctx, bool isWrite, VARIANT& value,
                     std::string_view nameRu) {
  TDeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return false;
  if (isWrite) {
    device->SetParam(nameRu, ole::VarToText(DerefVariant(value)));
  } else if (const TPropItem* item = FindParam(device->Params, nameRu)) {
    ole::OleVariant typed = item->TypedCurrent();
    VariantClear(&value);
    value = typed.release();
  } else {
    StoreText(value, device->GetParam(nameRu));
  }
  return true;
}

// The label-printer parameters published as properties of the driver.
std::span<TPropertyRecord> LevelProperties() {
  static std::vector<TPropertyRecord> records = [] {
    std::vector<TPropertyRecord> list(LabelPrinterParamRecords().begin(),
                                      LabelPrinterParamRecords().end());
    for (TPropertyRecord& record : list) record.Handler = DeviceParameter;
    return list;
  }();
  return records;
}

constexpr TMethodRecord kLevelMethods[] = {
    {"ВыбратьУстройство,ChoiceDevice", 1, ChoiceDeviceHandler},
    {"ПроверитьШаблонЭтикетки,CheckLabelTemplate", 1, CheckLabelTemplate},
    {"ПолучитьИдентификаторыПеременных,GetIDsOfVariables", 1, GetIDsOfVariables},
    {"ВыполнитьПечать,ExecutePrint", 1, ExecutePrint},
};

}  // namespace

void ChoiceDeviceHandler(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  StoreInt(result, ctx.Driver.Devices().SelectDevice(args[0]));
}

TBaseDllLP::TBaseDllLP(const TDriverTables& tables, TCallEntry callEntry,
                       TBaseDllObj* const* driverSlot, std::unique_ptr<TDevicesList> list)
    : TBaseDllObj(tables, callEntry, driverSlot, std::move(list)) {
  SetLevelTables(kLevelMethods, LevelProperties());
}

void TBaseDllLP::fcl_CheckTemplate(TDeviceItem&, VARIANT&, VARIANT&) {
  RaiseError(21011, "fcl_CheckTemplate");
}

void TBaseDllLP::fcl_GetValuesName(TDeviceItem&, VARIANT&, VARIANT&) {
  RaiseError(21011, "fcl_GetValuesName");
}

void TBaseDllLP::fcl_ExecutePrint(TDeviceItem&, VARIANT&, VARIANT&) {
  RaiseError(21011, "fcl_ExecutePrint");
}

}  // namespace labelplu
