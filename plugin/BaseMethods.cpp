#include "plugin/BaseMethods.h"

#include <QApplication>

#include <algorithm>

#include "base/ArgTypes.h"
#include "base/DriverResult.h"
#include "base/Errors.h"
#include "base/GuidText.h"
#include "base/VariantUtils.h"
#include "devices/PropertyTable.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/sys/Speaker.h"
#include "plugin/DriverObject.h"
#include "values/ValueArray.h"

namespace labelplu {

namespace {

int32_t ArgInt(const VARIANT& v) {
  return ole::VarToInt32(DerefVariant(v));
}

// ResultDescription (code) → the description of the code.
void ResultDescription(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  if (!IsOfType(args[0], {VT_I2, VT_I4, VT_R8, VT_R4}))
    return StoreInt(result, kResultWrongArgumentType);
  const int32_t code = ArgInt(args[0]);
  StoreText(result, ctx.Driver.ErrorText(ctx.Task, code));
}

// DeleteDevice (1-based number).
void DeleteDevice(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  DeviceList& list = ctx.Driver.Devices();
  if (IsOfType(args[0], {VT_I4})) {
    const int32_t number = ArgInt(args[0]);
    if (number >= 1 && number <= list.Count()) {
      list.Delete(number - 1);
      return StoreInt(result, kResultOk);
    }
  }
  StoreInt(result, kResultNoDevice);
}

void ReturnZero(const CallContext&, std::span<VARIANT>, VARIANT& result) {
  StoreInt(result, kResultOk);
}

bool IsSettings(const VARIANT& v) {
  return IsOfType(v, {VT_BSTR, VT_DISPATCH});
}

// SettingDevices (settings document): loads the bulk settings.
void SettingDevices(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  if (!IsSettings(args[0])) return StoreInt(result, kResultWrongArgumentType);
  DeviceList& list = ctx.Driver.Devices();
  StoreInt(result, list.LoadSettings(args[0]));
  list.ReleaseCallDevices();
}

void AddDeviceWith(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result, bool setup) {
  DeviceList& list = ctx.Driver.Devices();
  ole::OleVariant settings(args[0]);
  const int32_t code = list.AddDevice(settings.get(), setup);
  list.ReleaseCallDevices();
  StoreInt(result, code);
  if (code == kResultOk) {
    VariantClear(&args[0]);
    args[0] = settings.release();
  }
}

void AddDeviceEx(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  AddDeviceWith(ctx, args, result, true);
}

void AddDevice(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  AddDeviceWith(ctx, args, result, false);
}

// SettingsDeviceEx (device code, settings in/out): loads the settings,
// shows the device's settings and hands its document back.
void SettingsDeviceEx(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  DeviceList& list = ctx.Driver.Devices();
  const VARIANT& settings = DerefVariant(args[1]);
  list.LoadColours(settings);
  list.LoadModels(settings);
  int32_t code = list.LoadSettings(settings);
  const std::string identifier = ole::VarToText(DerefVariant(args[0]));
  const GUID deviceCode = TextToGuid(identifier);
  code = list.SetupDevice(deviceCode);
  ole::OleVariant answer;
  if (settings.vt == VT_DISPATCH || settings.vt == VT_UNKNOWN) {
    if (DeviceItem* device = list.FindByCode(deviceCode))
      answer = ole::OleVariant(static_cast<IUnknown*>(static_cast<IDeviceItem*>(device)));
  } else {
    ole::OleVariant document;
    list.GetSettingsXml(ole::OleVariant(identifier).get(), document.get());
    if (auto node = document.Type() == VT_DISPATCH
                        ? xml::OwnNodeFromDispatch(document.get().pdispVal)
                        : std::nullopt)
      answer = ole::OleVariant(node->xml());
  }
  list.ReleaseCallDevices();
  StoreInt(result, code);
  if (code == kResultOk) {
    VariantClear(&args[1]);
    args[1] = answer.release();
  }
}

// GetPlgInfo (13 arguments): the first model's description.
void GetPlgInfo(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  DeviceList& list = ctx.Driver.Devices();
  if (IsSettings(args[7])) list.LoadModelCatalog(args[7]);
  ole::ComPtr<IUnknown> unknown;
  ole::OleCheck(ctx.Driver.GetModel(0, unknown.put()));
  ole::ComPtr<IModelPlu> model = unknown.as<IModelPlu>();
  if (!model) throw std::runtime_error("The plug-in has no model");
  const auto text = [&](HRESULT (IModelPlu::*slot)(BSTR*)) {
    BSTR value = nullptr;
    ole::OleCheck((model.get()->*slot)(&value));
    const ole::BstrPtr owned(value);
    return ole::OleVariant(ole::BstrToUtf8(value));
  };
  const auto number = [&](HRESULT (IModelPlu::*slot)(int32_t*)) {
    int32_t value = 0;
    ole::OleCheck((model.get()->*slot)(&value));
    return ole::OleVariant(value);
  };
  GUID code{};
  ole::OleCheck(model->GetCode(&code));
  ole::OleVariant values[12] = {
      ole::OleVariant(GuidToText(code)), text(&IModelPlu::GetName), number(&IModelPlu::GetVersion1),
      number(&IModelPlu::GetVersion2), number(&IModelPlu::GetVersion3),
      number(&IModelPlu::GetVersion4), number(&IModelPlu::GetUsesHost),
      text(&IModelPlu::GetParamsXml), text(&IModelPlu::GetIdent), text(&IModelPlu::GetDeviceKind),
      text(&IModelPlu::GetEquipmentClass),
      // The list's address; 64 bits wide, since it does not fit in 32.
      ole::OleVariant::FromInt64(static_cast<int64_t>(reinterpret_cast<intptr_t>(&list)))};
  for (size_t i = 0; i < 12; ++i) {
    VariantClear(&args[i]);
    args[i] = values[i].release();
  }
  StoreInt(result, kResultOk);
}

// GetSettingsXML (device number or code, document out).
void GetSettingsXml(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  if (!IsOfType(args[0], {VT_I4, VT_BSTR})) return StoreInt(result, kResultWrongArgumentType);
  ole::OleVariant document;
  const int32_t code = ctx.Driver.Devices().GetSettingsXml(args[0], document.get());
  StoreInt(result, code);
  if (code == kResultOk) {
    VariantClear(&args[1]);
    args[1] = document.release();
  }
}

// GetProps (table out): the current device's property table.
void GetProps(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return StoreInt(result, kResultNoDevice);
  ole::ComPtr<ISafeArray> table;
  const int32_t code = FillPropsTable(*device, table);
  StoreInt(result, code);
  if (code == kResultOk) {
    VariantClear(&args[0]);
    args[0].vt = VT_DISPATCH;
    args[0].pdispVal = table.detach();
  }
}

// SetProps (table): applies a property table to the current device.
void SetProps(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return StoreInt(result, kResultNoDevice);
  ole::ComPtr<ISafeArray> table = ValueArrayOf(args[0]);
  if (!table) return StoreInt(result, kResultWrongArgumentType);
  StoreInt(result, ApplyPropsTable(*device, *table));
}

// CreateComSafeArray (rows, cols): a new value array of that size.
void CreateComSafeArray(const CallContext&, std::span<VARIANT> args, VARIANT& result) {
  const auto count = [](const VARIANT& v) {
    return IsOfType(v, {VT_I2, VT_I4, VT_R4, VT_R8, VT_I1, VT_UI1, VT_UI2, VT_UI4, VT_I8})
               ? ole::VarToInt32(DerefVariant(v))
               : 0;
  };
  ole::ComPtr<ISafeArray> array = CreateValueArray();
  ole::OleCheck(array->SetBounds(count(args[0]), count(args[1])));
  VariantClear(&result);
  result.vt = VT_DISPATCH;
  result.pdispVal = array.detach();
}

// Switches the current device on (value true) or off through the
// "УстройствоВключено" property, then reports the device's result.
void Switch(const CallContext& ctx, VARIANT& result, bool on) {
  StoreInt(result, kResultOk);
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return StoreInt(result, kResultNoDevice);
  ole::OleVariant value(on);
  for (const PropertyRecord& record : BasePropertyTable())
    if (record.NameRu == "УстройствоВключено")
      record.Handler(ctx, true, value.get(), record.NameRu);
  const int32_t code = device->ResultCode;
  StoreInt(result, code);
  if (code != kResultOk) throw EHardwareEquipmentException(code, device->GetErrorText(code));
}

void SwitchOn(const CallContext& ctx, std::span<VARIANT>, VARIANT& result) {
  Switch(ctx, result, true);
}

void SwitchOff(const CallContext& ctx, std::span<VARIANT>, VARIANT& result) {
  Switch(ctx, result, false);
}

// Beep (frequency in hertz, duration in milliseconds).
void Beep(const CallContext&, std::span<VARIANT> args, VARIANT& result) {
  if (!IsOfType(args[0], {VT_I2, VT_I4}) || !IsOfType(args[1], {VT_I2, VT_I4}))
    return StoreInt(result, kResultWrongArgumentType);
  const int32_t frequency = std::max(ArgInt(args[0]), 0);
  const int32_t duration = std::max(ArgInt(args[1]), 0);
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    // The host runs a GUI: its beep is the one the user hears.
    QApplication::beep();
  } else {
    sys::Beep(static_cast<uint32_t>(frequency), static_cast<uint32_t>(duration));
  }
  StoreInt(result, kResultOk);
}

bool PropertyPageEnabled(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  DeviceList& list = ctx.Driver.Devices();
  if (isWrite)
    list.PropertyPageEnabled = ArgInt(value);
  else
    StoreInt(value, list.PropertyPageEnabled);
  return true;
}

bool DeviceNumber(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  DeviceList& list = ctx.Driver.Devices();
  if (isWrite)
    list.SetCurrent(ArgInt(value));
  else
    StoreInt(value, list.Current);
  return true;
}

bool DeviceName(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  DeviceList& list = ctx.Driver.Devices();
  if (isWrite)
    list.SetCurrentName(ole::VarToText(DerefVariant(value)));
  else
    StoreText(value, list.CurrentName());
  return true;
}

bool DevicesQuantity(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  if (!isWrite) StoreInt(value, ctx.Driver.Devices().Count());
  return true;
}

bool DeviceIsOn(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  if (!device) return true;
  device->SetResult(kResultOk);
  if (!isWrite) {
    StoreInt(value, device->IsOn() ? 1 : 0);
  } else if (device->HostLink) {
    device->SetOn(ArgInt(value) != 0 ? 1 : 0);
  } else if (DerefVariant(value).vt == VT_BOOL) {
    // A Boolean true converts to -1, which SetOn takes as "off": the switch-on
    // method writes true here, so true must mean on.
    device->SetOn(DerefVariant(value).boolVal ? 1 : 0);
  } else {
    device->SetOn(ArgInt(value));
  }
  return true;
}

bool Result(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  if (isWrite) return true;
  const DeviceItem* device = ctx.Driver.CurrentDevice(ctx.Task);
  StoreInt(value, device ? device->ResultCode : kResultNoDevice);
  return true;
}

bool Release(const CallContext& ctx, bool isWrite, VARIANT& value, std::string_view) {
  if (!isWrite) StoreInt(value, ctx.Driver.ReleaseNumber());
  return true;
}

constexpr MethodRecord kBaseMethods[] = {
    {"ResultDescription,ОписаниеОшибки", 1, ResultDescription},
    {"НастроитьУстройства,SettingDevices", 1, SettingDevices},
    {"УдалитьУстройство,DeleteDevice", 1, DeleteDevice},
    {"ДобавитьУстройствоРасш,AddDeviceEx", 1, AddDeviceEx},
    {"ДобавитьУстройство,AddDevice", 1, AddDevice},
    {"ИзменитьУстройствоРасш,SettingsDeviceEx", 2, SettingsDeviceEx},
    {"СохранитьНастройки,SaveSettings", 0, ReturnZero},
    {"ИнформацияОПлагине,GetPlgInfo", 13, GetPlgInfo},
    {"ПолучитьНастройкиXML,GetSettingsXML", 2, GetSettingsXml},
    {"Включить,SwitchOn", 1, SwitchOn},
    {"Выключить,SwitchOff", 1, SwitchOff},
    {"ПолучитьСвойства,GetProps", 1, GetProps},
    {"УстановитьСвойства,SetProps", 1, SetProps},
    {"СоздатьПараметры,CreateComSafeArray", 2, CreateComSafeArray},
    {"Гудок,Beep", 2, Beep},
    {"ЗагрузитьНастройки,LoadSettings", 0, ReturnZero},
    {"ОтобразитьСтраницуСвойств,ShowPropertyPage", 1, ReturnZero},
};

constinit PropertyRecord kBaseProperties[] = {
    {{"ДоступностьСтраницыСвойств", "PropertyPageEnabled", {}, {}, false, {}, {}},
     PropertyPageEnabled},
    {{"НомерУстройства", "DeviceNumber", {}, {}, false, {}, {}}, DeviceNumber},
    {{"ИмяУстройства", "DeviceName", {}, {}, false, {}, {}}, DeviceName},
    {{"КоличествоУстройств", "DevicesQuantity", {}, {}, true, {}, {}}, DevicesQuantity},
    {{"УстройствоВключено", "DeviceIsOn", {}, {}, false, {}, {}}, DeviceIsOn},
    {{"Результат", "Result", {}, {}, true, {}, {}}, Result},
    {{"Релиз", "Release", {}, {}, true, {}, {}}, Release},
};

}  // namespace

std::span<const MethodRecord> BaseMethodTable() {
  return kBaseMethods;
}
std::span<PropertyRecord> BasePropertyTable() {
  return kBaseProperties;
}

}  // namespace labelplu
