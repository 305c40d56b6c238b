#include "values/AutomationObject.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "base/Errors.h"
#include "base/TextUtils.h"
#include "base/VariantUtils.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"

namespace labelplu {
namespace {

std::string UpperAscii(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The variant of argument index (call order) in a block stored last-first.
VARIANT& ArgAt(const DISPPARAMS* args, int32_t index) {
  return args->rgvarg[args->cArgs - 1 - static_cast<uint32_t>(index)];
}

void FillExcepInfo(EXCEPINFO* excep, const char* message, HRESULT code) noexcept {
  if (!excep) return;
  std::memset(excep, 0, sizeof *excep);
  excep->scode = code;
  try {
    excep->bstrDescription = ole::Utf8ToBstr(message);
  } catch (const std::bad_alloc&) {
    // The code still tells the caller what happened.
  }
}

}  // namespace

void AutomationNameTable::Add(Entry entry) {
  if (m_entries.size() >= kCapacity) throw std::runtime_error("Массив имен заполнен.");
  m_entries.push_back(std::move(entry));
}

void AutomationNameTable::AddMethod(std::string_view name, int16_t paramCount,
                                    AutomationHandler handler) {
  Add(Entry{UpperAscii(name), paramCount, true, std::move(handler), {}});
}

void AutomationNameTable::AddProperty(std::string_view name, AutomationHandler handler,
                                      AutomationHandler setter) {
  Add(Entry{UpperAscii(name), 0, false, std::move(handler), std::move(setter)});
}

HRESULT AutomationNameTable::GetIDsOfNames(OLECHAR** names, uint32_t count,
                                           DISPID* ids) const noexcept {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (uint32_t i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  ids[0] = DISPID_UNKNOWN;
  try {
    const std::string wanted = ole::Utf16ToUtf8(names[0] ? std::u16string_view(names[0]) : u"");
    for (size_t i = 0; i < m_entries.size(); ++i) {
      if (SameText(wanted, m_entries[i].Name)) {
        ids[0] = static_cast<DISPID>(i);
        return S_OK;
      }
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return E_NOTIMPL;
}

void AutomationNameTable::Run(const Entry& entry, uint16_t flags, DISPPARAMS& args,
                              VARIANT* result) const {
  ole::OleVariant value;
  bool served = false;
  bool hasResult = false;
  if (flags == DISPATCH_METHOD || flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) {
    if (entry.IsMethod && entry.ParamCount > 0 && ArgCount(&args) != entry.ParamCount) {
      throw std::runtime_error("Неверное число параметров для [" + entry.Name + "]");
    }
    if (entry.Handler) {
      entry.Handler(args, value);
      served = hasResult = true;
    } else {
      throw std::runtime_error("Свойство недоступно для чтения [" + entry.Name + "]");
    }
  } else if (flags == DISPATCH_PROPERTYGET) {
    if (!entry.IsMethod) {
      if (!entry.Handler)
        throw std::runtime_error("Свойство недоступно для чтения [" + entry.Name + "]");
      entry.Handler(args, value);
      served = hasResult = true;
    }
  } else if (flags == DISPATCH_PROPERTYPUT || flags == DISPATCH_PROPERTYPUTREF ||
             flags == (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (!entry.IsMethod) {
      if (!entry.Setter)
        throw std::runtime_error("Свойство недоступно для записи [" + entry.Name + "]");
      entry.Setter(args, value);
      served = true;
    }
  }
  if (!served) {
    throw std::runtime_error("Метод/Свойство [" + entry.Name +
                             "] не обнаружено. Флаг:" + std::to_string(flags));
  }
  if (hasResult && result) {
    VariantClear(result);
    *result = value.release();
  }
}

HRESULT AutomationNameTable::Invoke(DISPID id, uint16_t flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* excep) const noexcept {
  if (id < 0 || static_cast<size_t>(id) >= m_entries.size()) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  DISPPARAMS& args = params ? *params : none;
  try {
    Run(m_entries[static_cast<size_t>(id)], flags, args, result);
    return S_OK;
  } catch (const std::exception& e) {
    FillExcepInfo(excep, e.what(), ole::ReportException(e));
  } catch (...) {
    const HRESULT code = ole::ReportCurrentException();
    FillExcepInfo(excep, "Unknown exception", code);
  }
  return DISP_E_EXCEPTION;
}

int32_t ArgCount(const DISPPARAMS* args) {
  if (!args || !args->rgvarg) return 0;
  return args->cArgs > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(args->cArgs);
}

ole::OleVariant GetArg(const DISPPARAMS* args, int32_t index) {
  const int32_t count = ArgCount(args);
  if (index < 0 || index >= count) {
    RaiseMessage(Format("Неверный индекс (Get) Index=%d Count=%d", index, count));
  }
  ole::OleVariant copy;
  const HRESULT hr = VariantCopyInd(copy.put(), &ArgAt(args, index));
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) throw ole::VariantError("Invalid variant type conversion");
  return copy;
}

void SetArg(DISPPARAMS* args, int32_t index, const VARIANT& value) {
  const int32_t count = ArgCount(args);
  if (index < 0 || index >= count) {
    RaiseMessage(Format("Неверный индекс (Set) Index=%d Count=%d", index, count));
  }
  VARIANT& arg = ArgAt(args, index);
  if (!WriteThroughReference(arg, value))
    throw std::runtime_error("Неподдерживаемый тип параметра.");
}

}  // namespace labelplu
