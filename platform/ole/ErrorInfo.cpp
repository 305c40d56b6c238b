#include "platform/ole/ErrorInfo.h"

#include <cstdio>
#include <new>

#include "platform/ole/Bstr.h"
#include "platform/ole/ComPtr.h"

namespace labelplu::ole {

OleException::OleException(HRESULT code, const std::string& message)
    : std::runtime_error(message), Code(code) {}
OleException::~OleException() = default;

HRESULT ReportException(const std::exception& e) noexcept {
  HRESULT code = E_FAIL;
  if (const auto* ole = dynamic_cast<const OleException*>(&e); ole && FAILED(ole->Code)) {
    code = ole->Code;
  } else if (dynamic_cast<const std::bad_alloc*>(&e)) {
    code = E_OUTOFMEMORY;
  }
  SetErrorInfoText(e.what(), nullptr);
  return code;
}

HRESULT ReportCurrentException() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    return ReportException(e);
  } catch (...) {
    SetErrorInfoText("Unknown exception", nullptr);
    return E_FAIL;
  }
}

std::string TakeErrorText() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
  BstrPtr description;
  BSTR raw = nullptr;
  if (FAILED(info->GetDescription(&raw))) return {};
  description.reset(raw);
  return BstrToUtf8(description.get());
}

std::string HResultText(HRESULT hr) {
  switch (hr) {
    case S_OK:
      return "The operation completed successfully.";
    case E_NOTIMPL:
      return "Not implemented";
    case E_NOINTERFACE:
      return "No such interface supported";
    case E_POINTER:
      return "Invalid pointer";
    case E_FAIL:
      return "Unspecified error";
    case E_UNEXPECTED:
      return "Catastrophic failure";
    case E_OUTOFMEMORY:
      return "Not enough memory resources are available to complete this operation.";
    case E_INVALIDARG:
      return "The parameter is incorrect.";
    case DISP_E_MEMBERNOTFOUND:
      return "Member not found.";
    case DISP_E_TYPEMISMATCH:
      return "Type mismatch.";
    case DISP_E_UNKNOWNNAME:
      return "Unknown name.";
    case DISP_E_EXCEPTION:
      return "Exception occurred.";
    case DISP_E_OVERFLOW:
      return "Out of present range.";
    case DISP_E_BADINDEX:
      return "Invalid index.";
    case DISP_E_ARRAYISLOCKED:
      return "Memory is locked.";
    case DISP_E_BADPARAMCOUNT:
      return "Invalid number of parameters.";
    case REGDB_E_CLASSNOTREG:
      return "Class not registered";
    case CLASS_E_CLASSNOTAVAILABLE:
      return "ClassFactory cannot supply requested class";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "OLE error %08X", static_cast<unsigned>(hr));
      return text;
    }
  }
}

void OleCheck(HRESULT hr) {
  if (SUCCEEDED(hr)) return;
  std::string message = TakeErrorText();
  if (message.empty()) message = HResultText(hr);
  throw OleException(hr, message);
}

}  // namespace labelplu::ole
