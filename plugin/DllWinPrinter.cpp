#include "DllWinPrinter.h"

#include "ArgTypes.h"
#include "BaseMethods.h"

namespace labelplu {

namespace {

constexpr TMethodRecord kDriverMethods[] = {
    {"ВыбратьУстройство,ChoiceDevice", 1, ChoiceDeviceHandler},
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

}  // namespace labelplu
