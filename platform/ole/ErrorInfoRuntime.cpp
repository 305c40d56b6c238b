// Per-thread error information: SetErrorInfo, GetErrorInfo and the small
// error object SetErrorInfoText creates.
#include <new>
#include <string>

#include "platform/ole/Bstr.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/Utf.h"

using namespace labelplu::ole;

namespace {

class ErrorInfoObject final : public ComObject<IErrorInfo> {
 public:
  ErrorInfoObject(std::u16string description, std::u16string source)
      : m_description(std::move(description)), m_source(std::move(source)) {}

  HRESULT GetGUID(GUID* out) override {
    if (!out) return E_POINTER;
    *out = IID_NULL;
    return S_OK;
  }
  HRESULT GetSource(BSTR* out) override { return CopyOut(m_source, out); }
  HRESULT GetDescription(BSTR* out) override { return CopyOut(m_description, out); }
  HRESULT GetHelpFile(BSTR* out) override { return CopyOut(std::u16string(), out); }
  HRESULT GetHelpContext(uint32_t* out) override {
    if (!out) return E_POINTER;
    *out = 0;
    return S_OK;
  }

 private:
  static HRESULT CopyOut(const std::u16string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<uint32_t>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  std::u16string m_description;
  std::u16string m_source;
};

// The reference is released when the thread ends.
thread_local ComPtr<IErrorInfo> t_errorInfo;

}  // namespace

HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info) {
  if (reserved != 0) return E_INVALIDARG;
  // Take the new reference before dropping the old one: info may be the
  // object held now.
  ComPtr<IErrorInfo> replacement(info);
  t_errorInfo.swap(replacement);
  return S_OK;
}

HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (reserved != 0) return E_INVALIDARG;
  *out = t_errorInfo.detach();
  return *out ? S_OK : S_FALSE;
}

HRESULT SetErrorInfoText(const char* description, const char* source) {
  try {
    auto info = MakeCom<ErrorInfoObject>(Utf8ToUtf16(description ? description : ""),
                                         Utf8ToUtf16(source ? source : ""));
    return SetErrorInfo(0, info.get());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
