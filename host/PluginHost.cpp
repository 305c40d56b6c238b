#include "host/PluginHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "host/HostError.h"
#include "host/HostMessages.h"
#include "platform/ole/ErrorInfo.h"

namespace labelplu::host {

using ole::OleVariant;

namespace {

// The host's type descriptor for the parameter lists it creates.
constexpr RequestParamsClass kHostParamsClass{"THostParams"};

struct ParamsDeleter {
  void operator()(RequestParams* p) const noexcept { RequestParams::Destroy(p); }
};

std::string Hex32(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

PluginHost::PluginHost(const std::string& path) : m_path(path) {
  dlerror();
  m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_handle) {
    const char* why = dlerror();
    throw HostError(
        Say(HostMessage::PluginCannotLoad, path, why ? why : Say(HostMessage::UnknownReason)));
  }
  try {
    auto symbol = [&](const char* name) {
      void* address = dlsym(m_handle, name);
      if (!address) {
        throw HostError(Say(HostMessage::PluginMissingExport, path, name));
      }
      return address;
    };
    auto query = reinterpret_cast<QueryFn>(symbol("Query"));
    auto pluginControl = reinterpret_cast<PluginControlFn>(symbol("PluginControl"));
    auto beforeFree = reinterpret_cast<BeforeFreeLibraryFn>(symbol("BeforeFreeLibrary"));

    const int32_t id = query();
    if (id != LABELPLU_QUERY_VALUE) {
      throw HostError(
          Say(HostMessage::PluginWrongQuery, path, Hex32(id), Hex32(LABELPLU_QUERY_VALUE)));
    }
    // Only a module of this family is told that it is about to be unloaded.
    m_beforeFree = beforeFree;

    pluginControl(m_control.put());
    if (!m_control) throw HostError(Say(HostMessage::PluginNoControl, path));

    ole::TakeErrorText();  // no stale text may pass for the driver's
    HRESULT hr = m_control->GetDllObject(m_driver.put());
    if (FAILED(hr) || !m_driver) {
      ThrowOleFailure(FAILED(hr) ? hr : E_POINTER,
                      Say(HostMessage::PluginCallFailed, "GetDllObject", path));
    }
    hr = m_control->GetCallEntry(&m_entry);
    if (FAILED(hr) || !m_entry) {
      ThrowOleFailure(FAILED(hr) ? hr : E_POINTER,
                      Say(HostMessage::PluginCallFailed, "GetCallEntry", path));
    }

    m_sink = ole::MakeCom<HostEventSink>();
    hr = m_driver->SetHostEvents(m_sink.get());
    if (FAILED(hr)) ThrowOleFailure(hr, Say(HostMessage::PluginCallFailed, "SetHostEvents", path));
  } catch (...) {
    Unload();
    throw;
  }
}

PluginHost::~PluginHost() {
  Unload();
}

void PluginHost::Unload() noexcept {
  if (!m_handle) return;
  // The driver drops its reference to the sink while the module is surely
  // still there; the sink itself lives on while anybody holds it.
  if (m_driver && m_sink) {
    if (FAILED(m_driver->SetHostEvents(nullptr))) ole::TakeErrorText();
  }
  if (m_beforeFree) m_beforeFree();
  m_entry = nullptr;
  m_driver.reset();
  m_control.reset();
  dlclose(m_handle);
  m_handle = nullptr;
  m_beforeFree = nullptr;
  m_sink.reset();
}

RequestResult PluginHost::Call(std::string_view name, std::span<const OleVariant> args) {
  return Run(name, RequestKind::Call, args);
}

RequestResult PluginHost::Get(std::string_view name) {
  return Run(name, RequestKind::Get, {});
}

RequestResult PluginHost::Set(std::string_view name, const OleVariant& value) {
  return Run(name, RequestKind::Set, std::span<const OleVariant>(&value, 1));
}

RequestResult PluginHost::Run(std::string_view name, RequestKind kind,
                              std::span<const OleVariant> args) {
  RequestResult result;
  try {
    std::unique_ptr<RequestParams, ParamsDeleter> params(RequestParams::Create(&kHostParamsClass));
    params->EnsureStorage();
    params->Add(OleVariant());
    params->Add(OleVariant(name));
    params->Add(OleVariant(static_cast<int32_t>(kind)));
    for (const OleVariant& arg : args) params->Add(arg);

    if (!m_entry(params.get(), nullptr)) {
      result.Message = Say(HostMessage::RequestNotHandled);
      return result;
    }
    VARIANT element = params->Get(0);
    result.Result = OleVariant::Adopt(element);
    for (int32_t i = 3; i < params->Count(); ++i) {
      element = params->Get(i);
      result.Args.push_back(OleVariant::Adopt(element));
    }
    result.Ok = true;
  } catch (const EProtectException& e) {
    result.Code = e.Code;
    result.Message = e.what();
  } catch (const std::exception& e) {
    result.Message = e.what();
  } catch (...) {
    result.Message = Say(HostMessage::PluginUnknownException);
  }
  if (!result.Ok) {
    result.Result.clear();
    result.Args.clear();
  }
  return result;
}

std::string PluginHost::DefaultPluginPath() {
  std::string exe(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
  if (n <= 0 || static_cast<size_t>(n) >= exe.size()) return "./labelplu.plu";
  exe.resize(static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/labelplu.plu";
}

}  // namespace labelplu::host
