#include "devices/DeviceList.h"

#include <cmath>

#include "base/ArgTypes.h"
#include "base/GuidText.h"
#include "base/TextUtils.h"
#include "base/VariantUtils.h"
#include "devices/ModelCatalog.h"
#include "platform/ole/Variant.h"
#include "platform/sys/ModulePath.h"
#include "platform/sys/SystemInfo.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

// Every device list registers these two into its model.
constexpr ParameterRecord kStandardParams[] = {
    {"Использовать", "Usable", "Использовать", "Integer", false, "1",
     "Признак того, что данное устройство может быть использовано (включено выключено и т.д.)\r\n"
     "Допустимые значения: 0 - не может быть использовано, 1 - может"},
    {"Неразделяемое", "", "Неразделяемое", "Integer", false, "0",
     "Поведение оборудования при работе нескольких копий программы на одном компьютере или в "
     "терминальной сессии\r\nДопустимые значения: 0 - оборудование создается только в основной "
     "сессии, 1 - каждый экземпляр создает свое локальное оборудование"},
};

std::string OwnModuleFileName() {
  return sys::ExtractFileName(sys::ModulePath(false));
}

}  // namespace

DeviceList::DeviceList(std::string moduleFileName)
    : ThreadId(sys::CurrentThreadId()),
      m_moduleFileName(moduleFileName.empty() ? OwnModuleFileName() : std::move(moduleFileName)) {
  m_models = std::make_unique<PluginModelList>(this, m_moduleFileName);
  RegisterParams(kStandardParams);
}

DeviceList::~DeviceList() {
  Catalog.reset();
  m_models.reset();
  // Devices the host still holds stay alive, out of the list.
  while (!m_items.empty()) m_items.back()->Remove();
}

std::string DeviceList::BaseErrorText(int32_t code) {
  return "Ошибка. Код №" + std::to_string(code);
}

DeviceItem* DeviceList::GetDevice(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return m_items[static_cast<size_t>(index)].get();
}

DeviceItem* DeviceList::CurrentDevice() const {
  return GetDevice(Current - 1);
}

int32_t DeviceList::IndexOf(const DeviceItem* device) const {
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].get() == device) return static_cast<int32_t>(i);
  return -1;
}

void DeviceList::RegisterParams(std::span<const ParameterRecord> records) {
  for (const ParameterRecord& record : records) RegisterParam(m_models->CurrentParams(), record);
}

int32_t DeviceList::SelectDevice(const VARIANT& key) {
  const VARIANT& v = DerefVariant(key);
  switch (EffectiveType(v)) {
    case VT_I2:
    case VT_I4:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4: {
      const int64_t number = ole::VarToInt64(v);
      if (number < 1 || number > Count()) return kResultNoDevice;
      Current = static_cast<int32_t>(number);
      CurrentDevice()->SetResult(kResultOk);
      return kResultOk;
    }
    case VT_BSTR: {
      const std::string name = ole::VarToText(v);
      for (int32_t i = 0; i < Count(); ++i) {
        if (SameText(m_items[static_cast<size_t>(i)]->Name, name)) {
          Current = i + 1;
          m_items[static_cast<size_t>(i)]->SetResult(kResultOk);
          return kResultOk;
        }
      }
      return kResultNoDevice;
    }
    default:
      return kResultNoDevice;
  }
}

ole::ComPtr<DeviceItem> DeviceList::CreateItem() {
  return ole::MakeCom<DeviceItem>(*this);
}

DeviceItem& DeviceList::AppendDevice() {
  return InsertNewDevice(Count());
}

DeviceItem& DeviceList::InsertNewDevice(int32_t index) {
  ole::ComPtr<DeviceItem> item = CreateItem();
  DeviceItem& device = *item;
  m_items.insert(m_items.begin() + index, std::move(item));
  device.Initialize();
  return device;
}

int32_t DeviceList::AddDevice(VARIANT& settings, bool withSetup) {
  LoadModels(settings);
  DeviceItem& device = AppendDevice();
  // Keep the device while it may be removed below.
  ole::ComPtr<DeviceItem> keep(&device);
  device.LoadFromXml(settings);
  device.ReadPortParams(nullptr);
  int32_t result = withSetup ? SetupDevice(device.Code) : kResultOk;
  if (result != kResultOk) {
    device.Remove();
    return result;
  }
  xml::XmlDocument document = device.GetSettingsXml();
  const bool wasText = DerefVariant(settings).vt == VT_BSTR;
  ole::OleVariant answer = wasText ? ole::OleVariant(document.xml())
                                   : ole::OleVariant(xml::NewNodeDispatch(document).get());
  if (settings.vt == (VT_VARIANT | VT_BYREF) && settings.pvarVal) {
    VariantClear(settings.pvarVal);
    *settings.pvarVal = answer.release();
  } else {
    VariantClear(&settings);
    settings = answer.release();
  }
  return result;
}

ole::ComPtr<IUnknown> DeviceList::InsertDevice(const VARIANT& settings) {
  LoadModels(settings);
  LoadColours(settings);
  DeviceItem& device = InsertNewDevice(0);
  device.LoadFromXml(settings);
  device.ReadPortParams(nullptr);
  return ole::ComPtr<IUnknown>(static_cast<IDeviceItem*>(&device));
}

DeviceItem* DeviceList::FindDocumentDevice(const VARIANT& settings) {
  const VARIANT& v = DerefVariant(settings);
  if (v.vt != VT_DISPATCH || !v.pdispVal) return nullptr;
  std::optional<xml::XmlNode> node = xml::OwnNodeFromDispatch(v.pdispVal);
  const xml::XmlNode context = node ? *node : xml::DocumentFromDispatch(v.pdispVal);
  const xml::XmlNode element = context.selectSingleNode("//Устройство");
  if (element.isNull()) return nullptr;
  DeviceItem* device = FindByCode(TextToGuid(element.getAttribute("Код").value_or("")));
  if (device && device->ThreadId != ThreadId) {
    device->Remove();
    return nullptr;
  }
  return device;
}

ole::ComPtr<IUnknown> DeviceList::FindOrAddDevice(const VARIANT& settings) {
  LoadModels(settings);
  LoadColours(settings);
  DeviceItem* device = FindDocumentDevice(settings);
  if (!device) {
    device = &AppendDevice();
    device->LoadFromXml(settings);
    device->ReadPortParams(nullptr);
  }
  return ole::ComPtr<IUnknown>(static_cast<IDeviceItem*>(device));
}

ole::ComPtr<IUnknown> DeviceList::FindDeviceInterface(const VARIANT& settings) {
  LoadModels(settings);
  LoadColours(settings);
  DeviceItem* device = FindDocumentDevice(settings);
  return device ? ole::ComPtr<IUnknown>(static_cast<IDeviceItem*>(device)) : nullptr;
}

int32_t DeviceList::DeleteByCode(const GUID& code) {
  DeviceItem* device = FindByCode(code);
  if (!device) return kResultUnknownDeviceCode;
  device->Remove();
  return kResultOk;
}

int32_t DeviceList::SetupDevice(const GUID& code) {
  DeviceItem* device = FindByCode(code);
  if (!device) return kResultUnknownDeviceCode;
  ole::ComPtr<DeviceItem> keep(device);
  return device->ShowSettings();
}

DeviceItem* DeviceList::FindByCode(const GUID& code) const {
  for (const auto& item : m_items)
    if (IsEqualGUID(&item->Code, &code)) return item.get();
  return nullptr;
}

void DeviceList::MakeDeviceName(const std::string& exclude, std::string& name) const {
  std::vector<const std::string*> taken;
  for (const auto& item : m_items)
    if (!SameText(item->Name, exclude)) taken.push_back(&item->Name);
  const std::string prefix = NamePrefix();
  for (int i = 1; i <= 10000; ++i) {
    const std::string candidate = prefix + std::to_string(i);
    bool used = false;
    for (const std::string* other : taken)
      if (SameText(*other, candidate)) {
        used = true;
        break;
      }
    if (!used) {
      name = candidate;
      return;
    }
  }
}

void DeviceList::Delete(int32_t index) {
  if (DeviceItem* device = GetDevice(index)) device->Remove();
}

void DeviceList::ClearDevices() {
  while (!m_items.empty()) m_items.back()->Remove();
  AllRemoved();
}

void DeviceList::SwitchAllOff() {
  // A device may leave the list while it switches off: walk a copy.
  const std::vector<ole::ComPtr<DeviceItem>> devices = m_items;
  for (const auto& device : devices) device->SetOn(0);
}

void DeviceList::ReleaseCallDevices() {
  const uint32_t thread = sys::CurrentThreadId();
  for (size_t i = 0; i < m_items.size();) {
    DeviceItem& device = *m_items[i];
    if (device.ThreadId == ThreadId || device.ThreadId != thread) {
      ++i;
    } else {
      device.Remove();
    }
  }
  if (m_items.empty()) AllRemoved();
}

void DeviceList::Extract(DeviceItem* device) {
  for (auto it = m_items.begin(); it != m_items.end(); ++it) {
    if (it->get() == device) {
      ole::ComPtr<DeviceItem> last = std::move(*it);
      m_items.erase(it);
      return;  // `last` drops the list's reference here
    }
  }
}

void DeviceList::LoadModels(const VARIANT& settings) {
  m_models->LoadModels(settings);
}

void DeviceList::LoadModelCatalog(const VARIANT& settings) {
  Catalog.reset();
  Catalog = CreateModelCatalog(settings, "", "", "0", "", "", m_moduleFileName);
}

GUID DeviceList::ModelCode() const {
  const PluginModel* model = m_models->CurrentModel();
  return model ? model->Code : GUID{};
}

std::string DeviceList::NamePrefix() const {
  const PluginModel* model = m_models->CurrentModel();
  return model ? model->NamePrefix : std::string();
}

const ParameterDescriptorList& DeviceList::ModelParams() const {
  return m_models->CurrentParams();
}

std::string DeviceList::CurrentName() const {
  const DeviceItem* device = Current > 0 ? CurrentDevice() : nullptr;
  return device ? device->Name : std::string();
}

void DeviceList::SetCurrentName(const std::string& name) {
  xml::RequireXmlWritable(name, "the device name");
  if (DeviceItem* device = Current > 0 ? CurrentDevice() : nullptr) device->Name = name;
}

ole::ComPtr<IUnknown> DeviceList::GetDriverInterface() {
  if (!m_driverSource) throw std::runtime_error("The driver object is not available");
  return m_driverSource();
}

void DeviceList::AssignModelInfo(const ModelInfo& info) {
  m_instanceKey = info.InstanceKey;
}

}  // namespace labelplu
