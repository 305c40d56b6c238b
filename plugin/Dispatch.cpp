// The call dispatcher: one request of a chain at a time.
#include <cstring>
#include <vector>

#include "base/ArgTypes.h"
#include "base/DriverResult.h"
#include "base/Errors.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "plugin/DriverObject.h"

namespace labelplu {

namespace {

// Owns the handler's argument array.
class ArgArray {
 public:
  explicit ArgArray(size_t count) : m_items(count) {
    for (VARIANT& v : m_items) VariantInit(&v);
  }
  ~ArgArray() {
    for (VARIANT& v : m_items) VariantClear(&v);
  }
  ArgArray(const ArgArray&) = delete;
  ArgArray& operator=(const ArgArray&) = delete;
  std::span<VARIANT> Span() { return m_items; }
  VARIANT& operator[](size_t i) { return m_items[i]; }

 private:
  std::vector<VARIANT> m_items;
};

ole::OleVariant Element(const RequestParams& params, int32_t index) {
  VARIANT raw = params.Get(index);
  return ole::OleVariant::Adopt(raw);
}

bool IsOrdinal(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_BOOL:
      return true;
    default:
      return false;
  }
}

// Clears the device's task reference when the request ends, however it ends.
// Holds the device: the request may take it out of the list.
class OwnerScope {
 public:
  OwnerScope(DeviceItem* device, HostTask* task) : m_device(device) {
    if (m_device) m_device->SetOwner(task);
  }
  ~OwnerScope() {
    if (m_device) m_device->SetOwner(nullptr);
  }
  OwnerScope(const OwnerScope&) = delete;
  OwnerScope& operator=(const OwnerScope&) = delete;

 private:
  ole::ComPtr<DeviceItem> m_device;
};

}  // namespace

bool DriverObject::Dispatch(RequestParams* first, void* context) {
  bool handled = true;
  for (RequestParams* params = first; params; params = params->Next) {
    handled = false;
    if (RunControlCommand(*params)) return false;
    DispatchOne(*params, context, handled);
  }
  return handled;
}

bool DriverObject::RunControlCommand(RequestParams& params) {
  if (!params.Name) return false;
  const char* name = params.Name;
  if (std::strcmp(name, "__FRee") == 0) {
    m_hostEvents.reset();
    m_list->ClearDevices();
    return true;
  }
  if (std::strcmp(name, "__Load") == 0) return true;
  if (std::strcmp(name, "__@@EventSupport") == 0) {
    IUnknown* host = params.HostInterface;
    if (host) host->AddRef();  // Clear below must not be the last holder
    SetHostEventSink(host);
    if (host) host->Release();
    params.Clear();
    ole::OleVariant names(static_cast<IUnknown*>(static_cast<IDriverNames*>(this)));
    params.Add(names.get());
    for (PropertyRecord& record : m_properties)
      if (record.NameRu == "УстройствоВключено") record.ReadOnly = true;
    for (PropertyRecord& record : m_levelProperties)
      if (record.NameRu == "УстройствоВключено") record.ReadOnly = true;
    return true;
  }
  if (std::strcmp(name, "__@@SwitchOff") == 0) {
    m_list->SwitchAllOff();
    return true;
  }
  return false;
}

void DriverObject::DispatchOne(RequestParams& params, void* context, bool& handled) {
  if (params.Count() < 3) RaiseMessage("Недостаточно параметров при вызове метода");
  const std::string name = ole::VarToText(Element(params, 1).get());
  if (name.empty()) RaiseMessage("Не указано имя метода");
  int32_t kind = ole::VarToInt32(Element(params, 2).get());

  HostTask* task = TaskFromContext(context);
  if (task) task->Driver = this;
  const CallContext ctx{*this, task};

  const MethodLookup method = FindMethod(name);
  const PropertyLookup property = FindProperty(name);
  const OwnerScope owner(CurrentDevice(task), task);

  if (!method.Record && !property.Found()) RaiseError(20036, name);
  if (method.Record && kind == 2) kind = 1;

  if (kind == 2) {
    if (!property.Record) RaiseMessage(Format("Свойство [%s] не обнаружено", name));
    ole::OleVariant value;
    property.Record->Handler(ctx, false, value.get(), property.Record->NameRu);
    params.Set(0, value.get());
    handled = true;
    return;
  }
  if (!method.Record) {
    if (kind == 1 || !property.Record) RaiseError(20036, name);
    if (property.Record->ReadOnly)
      RaiseMessage(Format("Свойство [%s] доступно только для чтения", name));
    ole::OleVariant value = Element(params, 3);
    property.Record->Handler(ctx, true, value.get(), property.Record->NameRu);
    handled = true;
    return;
  }
  CallMethod(params, method, name, ctx);
  handled = true;
}

void DriverObject::CallMethod(RequestParams& params, const MethodLookup& method,
                              const std::string& name, const CallContext& ctx) {
  const int32_t needed = method.Record->ParamCount;
  int32_t passed = params.Count() - 3;

  // A method may take its arguments as the rows of a one-column value array.
  ole::ComPtr<ISafeArray> packed;
  if (passed != needed && passed == 1 && !method.IsLevel) {
    const ole::OleVariant element = Element(params, 3);
    if (ole::ComPtr<ISafeArray> array = ValueArrayOf(element.get())) {
      int32_t rows = 0, cols = 0;
      if (SUCCEEDED(array->GetBounds(&rows, &cols)) && cols == 1 && rows == needed) {
        packed = array;
        passed = needed;
      } else {
        passed = 0;
      }
    }
  }
  if (passed != needed)
    RaiseMessage("Неверное количество переданных параметров\r\nФункция [" + name +
                 "]\r\nПередано: " + std::to_string(passed) +
                 "\r\nНеобходимо: " + std::to_string(needed));

  ArgArray args(static_cast<size_t>(needed));
  for (int32_t i = 0; i < needed; ++i) {
    if (packed)
      ole::OleCheck(packed->GetValue(i, 0, &args[static_cast<size_t>(i)]));
    else
      args[static_cast<size_t>(i)] = params.Get(3 + i);
  }

  // The value array gets the (possibly changed) arguments back whatever
  // happens in the handler.
  const auto writeBack = [&] {
    if (!packed) return;
    for (int32_t i = 0; i < needed; ++i) packed->SetValue(i, 0, &args[static_cast<size_t>(i)]);
  };

  ole::OleVariant result;
  try {
    method.Record->Handler(ctx, args.Span(), result.get());
    if (!packed)
      for (int32_t i = 0; i < needed; ++i) params.Set(3 + i, args[static_cast<size_t>(i)]);
    params.Set(0, result.get());
    const VARTYPE vt = ole::WithoutByRef(result.Type());
    if (IsOrdinal(vt)) {
      const int32_t code = ole::VarToInt32(result.get());
      if (code != kResultOk) throw EProtectException(code, ErrorText(ctx.Task, code));
    }
  } catch (...) {
    writeBack();
    throw;
  }
  writeBack();
}

}  // namespace labelplu
