#include "BaseMethods.h"

#include <algorithm>

#include "ArgTypes.h"
#include "BaseDllObj.h"
#include "Errors.h"
#include "Speaker.h"
#include "Variant.h"

namespace labelplu {

namespace {

int32_t ArgInt(const VARIANT& v) { return ole::VarToInt32(Deref(v)); }

// ResultDescription (code) → the description of the code.
void ResultDescription(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  if (!IsOfType(args[0], {VT_I2, VT_I4, VT_R8, VT_R4})) return StoreInt(result, 4);
  const int32_t code = ArgInt(args[0]);
  StoreText(result, ctx.Driver.ErrorText(ctx.Task, code));
}

// DeleteDevice (1-based number).
void DeleteDevice(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  TDevicesList& list = ctx.Driver.Devices();
  if (IsOfType(args[0], {VT_I4})) {
    const int32_t number = ArgInt(args[0]);
    if (number >= 1 && number <= list.Count()) {
      list.Delete(number - 1);
      return StoreInt(result, 0);
    }
  }
  StoreInt(result, 3);
}

void ReturnZero(const TCallContext&, std::span<VARIANT>, VARIANT& result) { StoreInt(result, 0); }

// Switches the current device on (value true) or off through the
// "УстройствоВключено" property, then reports the device's result.
void Switch(const TCallContext& ctx, VARIANT& result, bool on) {
  StoreInt(result, 0);
  TDeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return StoreInt(result, 3);
  ole::OleVariant value(on);
  for (const TPropertyRecord& record : BasePropertyTable())
    if (record.NameRu == "УстройствоВключено") record.Handler(ctx, true, value.get(), record.NameRu);
  const int32_t code = device->ResultCode;
  StoreInt(result, code);
  if (code != 0) throw EHardwareEquipmentException(code, device->GetErrorText(code));
}

void SwitchOn(const TCallContext& ctx, std::span<VARIANT>, VARIANT& result) {
  Switch(ctx, result, true);
}

void SwitchOff(const TCallContext& ctx, std::span<VARIANT>, VARIANT& result) {
  Switch(ctx, result, false);
}

// Beep (frequency in hertz, duration in milliseconds).
void Beep(const TCallContext&, std::span<VARIANT> args, VARIANT& result) {
  if (!IsOfType(args[0], {VT_I2, VT_I4}) || !IsOfType(args[1], {VT_I2, VT_I4}))
    return StoreInt(result, 4);
  const int32_t frequency = std::max(ArgInt(args[0]), 0);
  const int32_t duration = std::max(ArgInt(args[1]), 0);
  sys::Beep(static_cast<uint32_t>(frequency), static_cast<uint32_t>(duration));
  StoreInt(result, 0);
}

bool PropertyPageEnabled(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  TDevicesList& list = ctx.Driver.Devices();
  if (isWrite) list.PropertyPageEnabled = ArgInt(value);
  else StoreInt(value, list.PropertyPageEnabled);
  return true;
}

bool DeviceNumber(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  TDevicesList& list = ctx.Driver.Devices();
  if (isWrite) list.SetCurrent(ArgInt(value));
  else StoreInt(value, list.Current);
  return true;
}

bool DeviceName(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  TDevicesList& list = ctx.Driver.Devices();
  if (isWrite) list.SetCurrentName(ole::VarToText(Deref(value)));
  else StoreText(value, list.CurrentName());
  return true;
}

bool DevicesQuantity(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  if (!isWrite) StoreInt(value, ctx.Driver.Devices().Count());
  return true;
}

bool DeviceIsOn(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  TDeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return true;
  device->SetResult(0);
  if (!isWrite) {
    StoreInt(value, device->IsOn() ? 1 : 0);
  } else if (device->HostLink) {
    device->SetOn(ArgInt(value) != 0 ? 1 : 0);
  } else if (Deref(value).vt == VT_BOOL) {
    // A Boolean true converts to -1, which SetOn takes as "off": the switch-on
    // method writes true here, so true must mean on.
    device->SetOn(Deref(value).boolVal ? 1 : 0);
  } else {
    device->SetOn(ArgInt(value));
  }
  return true;
}

bool Result(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  if (isWrite) return true;
  const TDeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  StoreInt(value, device ? device->ResultCode : 3);
  return true;
}

bool Release(const TCallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  if (!isWrite) StoreInt(value, ctx.Driver.ReleaseNumber());
  return true;
}

// The methods whose device-registry, settings-document and value-array
// parts are not built yet join this table with them.
const TMethodRecord kBaseMethods[] = {
    {"ResultDescription,ОписаниеОшибки", 1, ResultDescription},
    {"УдалитьУстройство,DeleteDevice", 1, DeleteDevice},
    {"СохранитьНастройки,SaveSettings", 0, ReturnZero},
    {"Включить,SwitchOn", 1, SwitchOn},
    {"Выключить,SwitchOff", 1, SwitchOff},
    {"Гудок,Beep", 2, Beep},
    {"ЗагрузитьНастройки,LoadSettings", 0, ReturnZero},
    {"ОтобразитьСтраницуСвойств,ShowPropertyPage", 1, ReturnZero},
};

TPropertyRecord kBaseProperties[] = {
    {"ДоступностьСтраницыСвойств", "PropertyPageEnabled", {}, {}, false, {}, {}, PropertyPageEnabled},
    {"НомерУстройства", "DeviceNumber", {}, {}, false, {}, {}, DeviceNumber},
    {"ИмяУстройства", "DeviceName", {}, {}, false, {}, {}, DeviceName},
    {"КоличествоУстройств", "DevicesQuantity", {}, {}, true, {}, {}, DevicesQuantity},
    {"УстройствоВключено", "DeviceIsOn", {}, {}, false, {}, {}, DeviceIsOn},
    {"Результат", "Result", {}, {}, true, {}, {}, Result},
    {"Релиз", "Release", {}, {}, true, {}, {}, Release},
};

}  // namespace

std::span<const TMethodRecord> BaseMethodTable() { return kBaseMethods; }
std::span<TPropertyRecord> BasePropertyTable() { return kBaseProperties; }

}  // namespace labelplu
