#include "devices/DeviceItem.h"

#include <stdexcept>

#include "base/GuidText.h"
#include "base/TextUtils.h"
#include "devices/DeviceList.h"
#include "devices/PortParameters.h"
#include "devices/SettingsXml.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/VarFormat.h"
#include "platform/sys/MessagePump.h"
#include "platform/sys/ModulePath.h"
#include "platform/sys/SystemInfo.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

void SetNameValue(NameValueLines& lines, std::string_view name, std::string_view value) {
  std::string line(name);
  line += '=';
  line += value;
  for (std::string& existing : lines) {
    const size_t eq = existing.find('=');
    if (SameText(std::string_view(existing).substr(0, eq), name)) {
      existing = std::move(line);
      return;
    }
  }
  lines.push_back(std::move(line));
}

std::string NameValue(const NameValueLines& lines, std::string_view name) {
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name))
      return line.substr(eq + 1);
  }
  return {};
}

DeviceItem::DeviceItem(DeviceList& list) : m_list(&list) {}

DeviceItem::~DeviceItem() {
  // The port's close pause processes events: the device is still whole then.
  Port.reset();
}

void DeviceItem::Initialize() {
  DeviceList& list = List();
  Owner = nullptr;
  Port = std::make_unique<PortManager>();
  Params.Clear();
  list.MakeDeviceName({}, Name);
  HostLink = list.HostLink;
  Code = NewGuid();
  Params.Assign(list.ModelParams());
  LastTick = 0;
  ThreadId = sys::CurrentThreadId();
}

DeviceList& DeviceItem::List() const {
  if (!m_list) throw std::runtime_error("The device was removed from its list");
  return *m_list;
}

int32_t DeviceItem::ShowSettings() {
  BeforeShowSettings();
  // The base device has no settings form of its own; a printer device
  // shows its own. Nobody can confirm one here: cancelled.
  return kResultCancelled;
}

bool DeviceItem::IsOn() const {
  return Port && Port->On();
}

void DeviceItem::SetOn(int32_t value) {
  SetResult(kResultOk);
  bool ok = false;
  if (value == 1) {
    LoadPortSettings();
    ok = Connect();
    const int32_t result = ResultCode;
    Port->SetOn(ok);
    if (!ok) SetOn(0);
    if (!Port->KeepOpen()) Port->Close();
    SetResult(result);
    if (!ok && result == kResultOk) SetResult(kResultNoDevice);
  } else {
    Port->SetOn(false);
    Disconnect();
    Port->Close();
  }
  Port->SetOn(ok && value != 0);
}

int32_t DeviceItem::LoadPortSettings() {
  ReadPortParams(nullptr);
  return kResultOk;
}

int32_t DeviceItem::CheckOn() {
  SetResult(IsOn() ? kResultOk : kResultNoDevice);
  return ResultCode;
}

std::string DeviceItem::GetParam(std::string_view name) const {
  const ParameterDescriptor* item = FindParam(Params, name);
  return item ? EscapeNewLines(item->ValueText, false) : std::string();
}

void DeviceItem::SetParam(std::string_view name, std::string_view value) {
  // Stored, a character XML cannot carry would make the device list's
  // settings document unloadable.
  xml::RequireXmlWritable(name, "a parameter name");
  xml::RequireXmlWritable(value, "the value of parameter \"" + std::string(name) + "\"");
  // A port value the port cannot read is refused as loading refuses it:
  // stored, it would make the device's settings document unloadable.
  for (const char* portName : PortReadOrder()) {
    if (Port && SameText(name, portName)) {
      SerialPortSettings check = Port->Settings();
      StorePortValue(check, portName, std::string(value));
    }
  }
  SetParamValue(Params, name, EscapeNewLines(value, true));
}

std::string DeviceItem::GetErrorText(int32_t code) const {
  return m_list ? m_list->GetErrorText(code) : DeviceList::BaseErrorText(code);
}

int32_t DeviceItem::GetIntParam(std::string_view name) const {
  const std::string value = GetParam(name);
  if (value.empty()) return 0;
  if (const std::optional<int32_t> number = TryTextToInt(value)) return *number;
  throw std::invalid_argument("'" + value + "' is not a valid integer value");
}

double DeviceItem::GetFloatParam(std::string_view name) const {
  std::string value = GetParam(name);
  for (char& c : value)
    if (c == '.') c = ',';
  if (value.empty()) return 0;
  if (const std::optional<double> number = TryTextToFloat(value)) return *number;
  throw std::invalid_argument("'" + value + "' is not a valid floating point value");
}

void DeviceItem::SetFloatParam(std::string_view name, double value) {
  SetParam(name, ole::FloatToText(value));
}

void DeviceItem::SetIntParam(std::string_view name, int32_t value) {
  SetParam(name, std::to_string(value));
}

void DeviceItem::CallThroughHost(void (*proc)(void* data, intptr_t arg), void* data, intptr_t arg) {
  if (HostLink) {
    ole::OleCheck(HostLink->RunProcedure(HostProcedure{proc, data}, arg));
  } else {
    proc(data, arg);
  }
}

void DeviceItem::KeepAlive() {
  try {
    if (!Owner) return;
    const uint32_t now = sys::TickCount();
    if (now - LastTick <= 1000) return;
    if (Owner->ClassRef && Owner->ClassRef->KeepAlive) Owner->ClassRef->KeepAlive(Owner);
    LastTick = now;
  } catch (...) {
    // Keep-alive is a courtesy to the host; its failures stay here.
  }
}

void DeviceItem::Remove() {
  if (m_removing) return;
  m_removing = true;
  DeviceList* list = m_list;
  m_list = nullptr;
  // The list drops its reference last: this object may be gone afterwards.
  if (list) list->Extract(this);
}

HRESULT DeviceItem::GetIsOn(VARIANT_BOOL* out) {
  return ole::Safecall([&] { *out = IsOn() ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT DeviceItem::ShowSettings(int32_t* out) {
  return ole::Safecall([&] { *out = ShowSettings(); });
}

HRESULT DeviceItem::GetSettingsXml(VARIANT* out) {
  return ole::Safecall([&] {
    VariantInit(out);
    ole::ComPtr<IDispatch> document = xml::NewNodeDispatch(GetSettingsXml());
    out->vt = VT_DISPATCH;
    out->pdispVal = document.detach();
  });
}

HRESULT DeviceItem::Remove(int32_t* out) {
  // Keep the object alive until the slot returns.
  ole::ComPtr<DeviceItem> self(this);
  return ole::Safecall([&] {
    Remove();
    *out = kResultOk;
  });
}

}  // namespace labelplu
