#include "DllWinPrinter.h"

#include "ArgTypes.h"
#include "BaseMethods.h"
#include "Errors.h"
#include "Variant.h"
#include "VariantUtils.h"

namespace labelplu {

namespace {

TManagerWinPrinter& ManagerOf(TDeviceItem& device, const char* operation) {
  auto* manager = dynamic_cast<TManagerWinPrinter*>(&device);
  if (!manager) RaiseError(21011, operation);
  return *manager;
}

// "ПередатьВУстройство,SendToDevice": raw data for the current device.
void SendToDevice(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  auto& driver = dynamic_cast<TDllWinPrinter&>(ctx.Driver);
  auto* device = dynamic_cast<TManagerWinPrinter*>(ctx.Driver.CurrentDevice(ctx.Task));
  // Held by reference, so a device deleted later cannot leave it dangling.
  driver.SendDevice = ole::ComPtr<TManagerWinPrinter>(device);
  if (!device) {
    StoreInt(result, 3);
    return;
  }
  if (EffectiveType(args[0]) != VT_BSTR) {
    StoreInt(result, 4);
    return;
  }
  StoreInt(result, device->SendToDevice(ole::VarToText(DerefVariant(args[0])), 0));
}

constexpr TMethodRecord kDriverMethods[] = {
    {"ВыбратьУстройство,ChoiceDevice", 1, ChoiceDeviceHandler},
    {"ПередатьВУстройство,SendToDevice", 1, SendToDevice},
};

}  // namespace

TDllWinPrinter::TDllWinPrinter(TCallEntry callEntry, TBaseDllObj* const* driverSlot,
                               std::unique_ptr<TDevicesList> list)
    : TBaseDllLP({kDriverMethods, BaseMethodTable(), BasePropertyTable()}, callEntry, driverSlot,
                 std::move(list)) {}

void TDllWinPrinter::fcl_CheckTemplate(TDeviceItem& device, VARIANT&, VARIANT& result) {
  StoreInt(result, device.CheckOn());
}

void TDllWinPrinter::fcl_GetValuesName(TDeviceItem& device, VARIANT&, VARIANT& result) {
  StoreInt(result, device.CheckOn());
}

void TDllWinPrinter::fcl_ExecutePrint(TDeviceItem& device, VARIANT& arg, VARIANT& result) {
  StoreInt(result, ManagerOf(device, "fcl_ExecutePrint").ExecutePrint(arg));
}

}  // namespace labelplu
