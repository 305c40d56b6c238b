#include "values/RequestParams.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "base/Errors.h"
#include "base/VariantUtils.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/Variant.h"

namespace labelplu {

const RequestParamsClass kRequestParamsClass{"TParams"};

namespace {

// The owned block: the DISPPARAMS and its 50 variants in one allocation.
struct OwnedBlock {
  DISPPARAMS params;
  VARIANT slots[kParamsCapacity];
};

void SetText(VARIANT& target, std::string_view text) {
  BSTR value = ole::Utf8ToBstr(text);
  VariantClear(&target);
  target.vt = VT_BSTR;
  target.bstrVal = value;
}

void FreeOwnedBlock(DISPPARAMS* block) {
  auto* owned = reinterpret_cast<OwnedBlock*>(block);
  for (VARIANT& slot : owned->slots) VariantClear(&slot);
  std::free(owned);
}

// Frees a chain iteratively so that a long chain cannot exhaust the stack.
void DestroyChain(RequestParams* params) {
  while (params) {
    RequestParams* next = params->Next;
    params->Next = nullptr;
    RequestParams::Destroy(params);
    params = next;
  }
}

// The element's variant: slot i of an owned block, slot count-1-i of a
// borrowed (COM, last-first) block. The index has been checked.
VARIANT& Element(const RequestParams& list, int32_t index) {
  DISPPARAMS* block = list.Args;
  return list.OwnsArgs ? block->rgvarg[index]
                       : block->rgvarg[block->cArgs - 1 - static_cast<uint32_t>(index)];
}

// Copies value (read through a reference) into target, raising the variant
// conversion error for a value that cannot be copied.
}  // namespace

RequestParams* RequestParams::Create(const RequestParamsClass* classRef) {
  auto* list = static_cast<RequestParams*>(std::calloc(1, sizeof(RequestParams)));
  if (!list) throw std::bad_alloc();
  list->ClassRef = classRef ? classRef : &kRequestParamsClass;
  try {
    SetText(list->ErrorSource, "");
    SetText(list->ErrorText, "");
  } catch (...) {
    VariantClear(&list->ErrorSource);
    std::free(list);
    throw;
  }
  return list;
}

void RequestParams::Destroy(RequestParams* params) {
  if (!params) return;
  DestroyChain(params->Next);
  params->Next = nullptr;
  if (params->OwnsArgs && params->Args) {
    params->Clear();
    FreeOwnedBlock(params->Args);
    params->Args = nullptr;
    params->OwnsArgs = 0;
  }
  // The shared layout marks a destroyed list this way before the memory goes.
  try {
    SetText(params->ErrorText, "Уничтожено");
  } catch (const std::bad_alloc&) {
  }
  VariantClear(&params->ErrorSource);
  VariantClear(&params->ErrorText);
  std::free(params->Name);
  std::free(params);
}

void RequestParams::EnsureStorage() {
  if (Args) return;
  auto* owned = static_cast<OwnedBlock*>(std::calloc(1, sizeof(OwnedBlock)));
  if (!owned) throw std::bad_alloc();
  owned->params.rgvarg = owned->slots;
  owned->params.cArgs = 0;
  Args = &owned->params;
  OwnsArgs = 1;
}

void RequestParams::Attach(DISPPARAMS* block) {
  if (OwnsArgs && Args) FreeOwnedBlock(Args);
  Args = block;
  OwnsArgs = 0;
}

int32_t RequestParams::Count() const {
  if (!Args || !Args->rgvarg) return 0;
  return Args->cArgs > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(Args->cArgs);
}

VARIANT RequestParams::Get(int32_t index) const {
  const int32_t count = Count();
  if (index < 0 || index >= count) {
    RaiseMessage(Format("Неверный индекс (Get) Index=%d Count=%d", index, count));
  }
  VARIANT result;
  VariantInit(&result);
  CopyVariantValue(result, Element(*this, index));
  return result;
}

void RequestParams::Set(int32_t index, const VARIANT& value) {
  const int32_t count = Count();
  if (index < 0 || index >= count) {
    RaiseMessage(Format("Неверный индекс (Set) Index=%d Count=%d", index, count));
  }
  VARIANT& element = Element(*this, index);
  if (OwnsArgs) {
    // A by-reference value could point into the caller's frame: keep the value.
    CopyVariantValue(element, value);
    return;
  }
  if (!WriteThroughReference(element, value)) RaiseMessage("Неподдерживаемый тип параметра.");
}

void RequestParams::Add(const VARIANT& value) {
  EnsureStorage();
  // A borrowed block's capacity is unknown: writing past its count could run
  // over the host's array.
  if (!OwnsArgs || Args->cArgs >= kParamsCapacity) {
    throw std::runtime_error("TParams - превышена емкость хранилища данных.");
  }
  CopyVariantValue(Args->rgvarg[Args->cArgs], value);
  ++Args->cArgs;
}

void RequestParams::Clear() {
  ResultTarget = nullptr;
  ErrorFlag = 0;
  ErrorCode = 0;
  SetText(ErrorSource, "");
  SetText(ErrorText, "Очищено Clear");
  if (Args) {
    if (OwnsArgs) {
      for (VARIANT& slot : reinterpret_cast<OwnedBlock*>(Args)->slots) VariantClear(&slot);
    } else if (Args->rgvarg) {
      for (uint32_t i = 0; i < Args->cArgs; ++i) VariantClear(&Args->rgvarg[i]);
    }
    Args->cArgs = 0;
  }
  DestroyChain(Next);
  Next = nullptr;
}

void RequestParams::SetName(const char* name) {
  char* copy = nullptr;
  if (name && *name) {
    copy = strdup(name);
    if (!copy) throw std::bad_alloc();
  }
  std::free(Name);
  Name = copy;
}

void RequestParams::SetErrorCode(int32_t code) {
  ErrorCode = code;
  ErrorFlag = code != 0 ? 1 : 0;
}

}  // namespace labelplu
