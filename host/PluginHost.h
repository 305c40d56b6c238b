// labelplu host: loading the plug-in and running requests through it.
//
//   PluginHost host(PluginHost::DefaultPluginPath());
//   RequestResult r = host.Get("Релиз");
//   if (r.Ok) use(r.Result); else report(r.Code, r.Message);
//
// Threads: a PluginHost belongs to the thread that created it; load, every
// request and unload run on that thread.
//
// Lifetime: objects the plug-in hands out (value arrays and other objects in
// a RequestResult) run the plug-in's code; release them before the PluginHost
// that loaded it is destroyed.
#ifndef LABELPLU_HOST_PLUGINHOST_H
#define LABELPLU_HOST_PLUGINHOST_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostEventSink.h"
#include "labelplu/plugin.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/Variant.h"

namespace labelplu::host {

// The request kinds of element 2 of a request.
enum class RequestKind : int32_t { Call = 1, Get = 2, Set = 3 };

// The outcome of one request.
struct RequestResult {
  bool Ok = false;
  // On failure: the code of an EProtectException; none for a plain failure
  // (another std::exception, or the host's own).
  std::optional<int32_t> Code;
  // On failure: the message (UTF-8).
  std::string Message;
  // On success: element 0 of the request.
  ole::OleVariant Result;
  // On success: elements 3.. after the call (the arguments as written back).
  std::vector<ole::OleVariant> Args;
};

class PluginHost {
 public:
  // Loads the module at path in the plug-in's calling order: dlopen (RTLD_NOW
  // | RTLD_LOCAL); Query, PluginControl and BeforeFreeLibrary looked up; Query()
  // compared with LABELPLU_QUERY_VALUE; PluginControl; GetDllObject;
  // GetCallEntry; SetHostEvents with a new HostEventSink. Throws HostError
  // naming the module and the step that failed (with the driver's error text
  // for GetDllObject); nothing stays loaded then.
  explicit PluginHost(const std::string& path);
  // Unloads: SetHostEvents(null), BeforeFreeLibrary, the interfaces released,
  // dlclose.
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Calls method name with args (in call order).
  RequestResult Call(std::string_view name, std::span<const ole::OleVariant> args);
  // Reads property name.
  RequestResult Get(std::string_view name);
  // Writes value into property name.
  RequestResult Set(std::string_view name, const ole::OleVariant& value);
  // One request: a parameter list of one element chain (result slot, name,
  // kind, args) handed to the call entry with no context. Failures are caught
  // into the result: EProtectException with its code, any other exception
  // with none; a request the entry reports as not handled fails too.
  RequestResult Run(std::string_view name, RequestKind kind, std::span<const ole::OleVariant> args);

  // The driver object (valid while this host lives).
  IDriverObject* Driver() const { return m_driver.get(); }
  // The host's service interface handed to the driver.
  HostEventSink* Sink() const { return m_sink.get(); }
  const std::string& Path() const { return m_path; }

  // labelplu.plu in the folder of the running executable.
  static std::string DefaultPluginPath();

 private:
  void Unload() noexcept;

  std::string m_path;
  void* m_handle = nullptr;
  BeforeFreeLibraryFn m_beforeFree = nullptr;
  ole::ComPtr<IPluginControl> m_control;
  ole::ComPtr<IDriverObject> m_driver;
  CallEntryFn m_entry = nullptr;
  ole::ComPtr<HostEventSink> m_sink;
};

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_PLUGINHOST_H
