// A small module with the plug-in's exports, for testing the host without the
// driver. Built in several variants (compile definitions):
//   FAKE_BAD_QUERY       Query returns another family's value
//   FAKE_NO_BEFORE_FREE  BeforeFreeLibrary is not exported
//   FAKE_NO_DRIVER       GetDllObject fails as the driver does without a driver
// Its dispatch answers a few requests that show the host's request layout:
//   call Echo ARG...      result = number of arguments; every text argument is
//                         written back with "!" appended
//   call Fail CODE TEXT   raises EProtectException(CODE, TEXT)
//   call Plain TEXT       raises std::runtime_error(TEXT)
//   call NotHandled       returns false
//   call NewTable         result = the host's CreateValueArray (its failure
//                         raised as EProtectException 20000 with its text)
//   call RunProc N        the host's RunProcedure adds N to a counter; result =
//                         the counter
//   get/set Prop          a stored value
//   get Kind              result = the request kind seen
// Anything else raises EProtectException 20036. When FAKE_PLUGIN_TRACE names a
// file, every call of the host into the module appends a line to it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "labelplu/plugin.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"

namespace {

using namespace labelplu;
using ole::ComPtr;
using ole::OleVariant;

void Trace(const std::string& line) {
  const char* path = std::getenv("FAKE_PLUGIN_TRACE");
  if (!path || !*path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

ComPtr<IHostEventSink> g_sink;
OleVariant g_prop;
intptr_t g_counter = 0;

class FakeDriver final : public ole::ComObject<IDriverObject> {
 public:
  ~FakeDriver() override { Trace("driver freed"); }
  HRESULT GetModulePath(BSTR*) override { return E_NOTIMPL; }
  HRESULT GetVersionText(BSTR*) override { return E_NOTIMPL; }
  HRESULT GetBuildNumber(uint16_t*) override { return E_NOTIMPL; }
  HRESULT GetInterfaceLevel(int32_t*) override { return E_NOTIMPL; }
  HRESULT GetInstanceKind(int32_t*) override { return E_NOTIMPL; }
  HRESULT GetModel(int32_t, IUnknown**) override { return E_NOTIMPL; }
  HRESULT SetReserved(int32_t) override { return S_OK; }
  HRESULT SetHostEvents(IUnknown* sink) override {
    g_sink.reset();
    if (sink) sink->QueryInterface(IID_IHostEventSink, g_sink.PutVoid());
    Trace(sink ? (g_sink ? "SetHostEvents sink" : "SetHostEvents other") : "SetHostEvents null");
    return S_OK;
  }
  HRESULT GetNames(IDriverNames**) override { return E_NOTIMPL; }
};

void AddToCounter(void* data, intptr_t arg) {
  *static_cast<intptr_t*>(data) += arg;
}

OleVariant Element(RequestParams* p, int32_t index) {
  VARIANT v = p->Get(index);
  return OleVariant::Adopt(v);
}

OleVariant Argument(RequestParams* p, int32_t i) {
  return Element(p, 3 + i);
}

bool CallEntry(RequestParams* p, void*) {
  if (p->Count() < 3) throw EProtectException(20000, "too few elements");
  const std::string name = ole::VarToText(Element(p, 1));
  const int32_t kind = ole::VarToInt32(Element(p, 2));
  const int32_t count = p->Count() - 3;
  Trace("CallEntry " + name + " " + std::to_string(kind) + " " + std::to_string(count));
  if (name == "Echo" && kind == 1) {
    for (int32_t i = 0; i < count; ++i) {
      OleVariant value = Argument(p, i);
      if (value.Type() == VT_BSTR) p->Set(3 + i, OleVariant(ole::VarToText(value) + "!"));
    }
    p->Set(0, OleVariant(count));
    return true;
  }
  if (name == "Fail") {
    throw EProtectException(ole::VarToInt32(Argument(p, 0)), ole::VarToText(Argument(p, 1)));
  }
  if (name == "Plain") throw std::runtime_error(ole::VarToText(Argument(p, 0)));
  if (name == "NotHandled") return false;
  if (name == "NewTable") {
    if (!g_sink) throw EProtectException(20000, "no host sink");
    OleVariant table;
    if (FAILED(g_sink->CreateValueArray(table.put()))) {
      throw EProtectException(20000, ole::TakeErrorText());
    }
    p->Set(0, table);
    return true;
  }
  if (name == "RunProc") {
    if (!g_sink) throw EProtectException(20000, "no host sink");
    const HRESULT hr = g_sink->RunProcedure(HostProcedure{AddToCounter, &g_counter},
                                            ole::VarToInt32(Argument(p, 0)));
    if (FAILED(hr)) throw EProtectException(20000, "RunProcedure failed");
    p->Set(0, OleVariant(static_cast<int32_t>(g_counter)));
    return true;
  }
  if (name == "Prop" && kind == 2) {
    p->Set(0, g_prop);
    return true;
  }
  if (name == "Prop" && kind == 3) {
    g_prop = Argument(p, 0);
    return true;
  }
  if (name == "Kind") {
    p->Set(0, OleVariant(kind));
    return true;
  }
  throw EProtectException(20036, "Метод/Свойство [" + name + "] не обнаружено");
}

class FakeControl final : public ole::ComObject<IPluginControl> {
 public:
  ~FakeControl() override { Trace("control freed"); }
  HRESULT Reserved1(int32_t) override { return S_OK; }
  HRESULT Reserved2(int32_t) override { return S_OK; }
  HRESULT GetCallEntry(CallEntryFn* out) override {
    Trace("GetCallEntry");
    *out = CallEntry;
    return S_OK;
  }
  HRESULT GetDllObject(IDriverObject** out) override {
    Trace("GetDllObject");
    *out = nullptr;
#ifdef FAKE_NO_DRIVER
    SetErrorInfoText("GetDllObject вернул Nil", nullptr);
    return E_FAIL;
#else
    if (!m_driver) m_driver = ole::MakeCom<FakeDriver>();
    *out = ComPtr<IDriverObject>(m_driver).detach();
    return S_OK;
#endif
  }
  HRESULT SetApplication(int32_t) override {
    return S_OK;
  }

 private:
  ComPtr<FakeDriver> m_driver;
};

// Lives from load to unload, like the driver's control object.
struct Module {
  Module() : control(ole::MakeCom<FakeControl>()) {}
  ~Module() {
    g_sink.reset();
    g_prop.clear();
    control.reset();
    Trace("unloaded");
  }
  ComPtr<FakeControl> control;
} g_module;

}  // namespace

extern "C" {

LP_API int32_t Query() {
  Trace("Query");
#ifdef FAKE_BAD_QUERY
  return 0x12345678;
#else
  return labelplu::LABELPLU_QUERY_VALUE;
#endif
}

LP_API void PluginControl(labelplu::IPluginControl** out) {
  Trace("PluginControl");
  *out = ComPtr<labelplu::IPluginControl>(g_module.control).detach();
}

#ifndef FAKE_NO_BEFORE_FREE
LP_API void BeforeFreeLibrary() {
  Trace("BeforeFreeLibrary");
}
#endif

}  // extern "C"
