// Test doubles for the model tests: a device list that records what the
// models ask of it.
#ifndef LABELPLU_TESTS_DEVICES_MODELTESTSUPPORT_H
#define LABELPLU_TESTS_DEVICES_MODELTESTSUPPORT_H

#include <string>
#include <vector>

#include "base/GuidText.h"
#include "devices/PluginModel.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/ole/Variant.h"

namespace labelplu::test {

// A device interface with nothing behind it.
class FakeDevice final : public ole::ComObject<IDeviceItem> {
 public:
  HRESULT GetIsOn(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT ShowSettings(int32_t*) override { return E_NOTIMPL; }
  HRESULT GetSettingsXml(VARIANT*) override { return E_NOTIMPL; }
  HRESULT Remove(int32_t*) override { return E_NOTIMPL; }
};

class FakeOwner final : public IModelOwner {
 public:
  ole::ComPtr<IUnknown> GetDriverInterface() override { return Device(); }
  ole::ComPtr<IUnknown> FindOrAddDevice(const VARIANT& settings) override {
    calls.push_back("FindOrAddDevice " + ole::VarToText(settings));
    return Device();
  }
  int32_t DeleteByCode(const GUID& code) override {
    calls.push_back("DeleteByCode " + GuidToText(code));
    return -1;
  }
  void SetSettingsText(const std::string& text) override {
    calls.push_back("SetSettingsText " + text);
  }
  ole::ComPtr<IUnknown> FindDeviceInterface(const VARIANT& settings) override {
    calls.push_back("FindDeviceInterface " + ole::VarToText(settings));
    return nullptr;
  }
  ole::ComPtr<IUnknown> InsertDevice(const VARIANT& settings) override {
    if (ole::VarToText(settings) == "fail") throw std::runtime_error("insert failed");
    calls.push_back("InsertDevice " + ole::VarToText(settings));
    return Device();
  }
  void AssignModelInfo(const ModelInfo& info) override {
    calls.push_back("AssignModelInfo " + info.Name + " " + std::to_string(info.VersionBuild));
  }

  ole::ComPtr<IUnknown> Device() {
    if (!m_device) m_device = ole::MakeCom<FakeDevice>();
    return ole::ComPtr<IUnknown>(static_cast<IUnknown*>(m_device.get()));
  }

  std::vector<std::string> calls;

 private:
  ole::ComPtr<FakeDevice> m_device;
};

inline const GUID kBaseCode = TextToGuid("{7785F5AB-7C69-459E-915C-4D66F2EC68B9}");

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_DEVICES_MODELTESTSUPPORT_H
