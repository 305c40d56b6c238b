// The class table: OleRegisterClass, OleRevokeClass, CoCreateInstance.
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "labelplu/oleauto.h"

namespace {

struct ClassEntry {
  CLSID clsid;
  std::string serverName;
  LPCLASSFACTORYFN factory;
};

std::mutex g_classLock;
std::vector<ClassEntry> g_classes;

ClassEntry* FindClass(const CLSID& clsid) {
  for (ClassEntry& entry : g_classes) {
    if (IsEqualGUID(&entry.clsid, &clsid)) return &entry;
  }
  return nullptr;
}

}  // namespace

HRESULT OleRegisterClass(const CLSID* clsid, const char* serverName, LPCLASSFACTORYFN factory) {
  if (!clsid || !factory) return E_INVALIDARG;
  try {
    std::lock_guard lock(g_classLock);
    ClassEntry entry{*clsid, serverName ? serverName : "", factory};
    if (ClassEntry* existing = FindClass(*clsid)) {
      *existing = std::move(entry);
    } else {
      g_classes.push_back(std::move(entry));
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT OleRevokeClass(const CLSID* clsid) {
  if (!clsid) return E_INVALIDARG;
  std::lock_guard lock(g_classLock);
  ClassEntry* entry = FindClass(*clsid);
  if (!entry) return S_FALSE;
  g_classes.erase(g_classes.begin() + (entry - g_classes.data()));
  return S_OK;
}

HRESULT CoCreateInstance(const CLSID* clsid, IUnknown* outer, uint32_t /*context*/, const IID* iid,
                         void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!clsid || !iid || outer) return E_INVALIDARG;
  LPCLASSFACTORYFN factory;
  {
    std::lock_guard lock(g_classLock);
    const ClassEntry* entry = FindClass(*clsid);
    if (!entry) return REGDB_E_CLASSNOTREG;
    factory = entry->factory;
  }
  // Outside the lock: a factory may itself create objects.
  const HRESULT hr = factory(iid, out);
  if (FAILED(hr)) *out = nullptr;
  return hr;
}
