// Safe arrays with COM's layout: a 16-byte prefix whose last four bytes hold
// the element VARTYPE (FADF_HAVEVARTYPE), then the descriptor with the bounds
// stored last dimension first; the elements live in a separate block in
// which the first index varies fastest.
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/ole/OleInternal.h"

using namespace labelplu::ole;

namespace {

constexpr size_t kPrefixSize = 16;
// Data of one array is at most 256 MiB (16 million variants): far beyond any
// table a label job hands over, and small enough that a host's absurd
// request is refused before allocating instead of exhausting the process.
constexpr uint64_t kMaxDataBytes = uint64_t{256} << 20;

enum class ElementKind { Raw, Bstr, Interface, Variant };

ElementKind KindOf(const SAFEARRAY* psa) {
  if (psa->fFeatures & FADF_BSTR) return ElementKind::Bstr;
  if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) return ElementKind::Interface;
  if (psa->fFeatures & FADF_VARIANT) return ElementKind::Variant;
  return ElementKind::Raw;
}

uint16_t FeaturesFor(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR:
      return FADF_BSTR;
    case VT_UNKNOWN:
      return FADF_UNKNOWN;
    case VT_DISPATCH:
      return FADF_DISPATCH;
    case VT_VARIANT:
      return FADF_VARIANT;
    default:
      return 0;
  }
}

bool IsElementType(VARTYPE vt) {
  return vt != VT_DECIMAL && (vt == VT_VARIANT || (vt >= VT_I2 && detail::ValueSize(vt) != 0));
}

// Indexes stay within int32: lLbound + cElements - 1 must be representable.
bool BoundFits(const SAFEARRAYBOUND& b) {
  const int64_t upper = int64_t{b.lLbound} + int64_t{b.cElements} - 1;
  return upper >= INT32_MIN && upper <= INT32_MAX;
}

bool DataSize(uint64_t count, uint32_t cbElements, size_t& bytes) {
  uint64_t total;
  if (__builtin_mul_overflow(count, uint64_t{cbElements}, &total) || total > kMaxDataBytes) {
    return false;
  }
  bytes = static_cast<size_t>(total);
  return true;
}

// Product of the element counts of the stored bounds [from, cDims).
bool CountOf(const SAFEARRAY* psa, uint32_t from, uint64_t& count) {
  count = 1;
  for (uint32_t i = from; i < psa->cDims; ++i) {
    if (__builtin_mul_overflow(count, uint64_t{psa->rgsabound[i].cElements}, &count)) return false;
  }
  return true;
}

uint64_t ElementCount(const SAFEARRAY* psa) {
  uint64_t count;
  return CountOf(psa, 0, count) ? count : 0;
}

SAFEARRAY* AllocDescriptor(uint32_t cDims, uint32_t vt) {
  const size_t size = kPrefixSize + offsetof(SAFEARRAY, rgsabound) + cDims * sizeof(SAFEARRAYBOUND);
  auto* block = static_cast<unsigned char*>(std::calloc(1, size));
  if (!block) return nullptr;
  std::memcpy(block + kPrefixSize - sizeof vt, &vt, sizeof vt);
  auto* psa = reinterpret_cast<SAFEARRAY*>(block + kPrefixSize);
  psa->cDims = static_cast<uint16_t>(cDims);
  return psa;
}

void FreeDescriptor(SAFEARRAY* psa) {
  std::free(reinterpret_cast<unsigned char*>(psa) - kPrefixSize);
}

void* AllocData(size_t bytes) {
  return std::calloc(bytes ? bytes : 1, 1);
}

unsigned char* ElementAt(const SAFEARRAY* psa, uint64_t i) {
  return static_cast<unsigned char*>(psa->pvData) + i * psa->cbElements;
}

// Frees what elements [first, first + count) own and zeroes them.
void ClearElements(SAFEARRAY* psa, uint64_t first, uint64_t count) {
  const ElementKind kind = KindOf(psa);
  for (uint64_t i = first; i < first + count; ++i) {
    unsigned char* e = ElementAt(psa, i);
    switch (kind) {
      case ElementKind::Bstr:
        SysFreeString(*reinterpret_cast<BSTR*>(e));
        break;
      case ElementKind::Interface:
        if (auto* unk = *reinterpret_cast<IUnknown**>(e)) unk->Release();
        break;
      case ElementKind::Variant:
        VariantClear(reinterpret_cast<VARIANT*>(e));
        break;
      case ElementKind::Raw:
        break;
    }
  }
  std::memset(ElementAt(psa, first), 0, count * psa->cbElements);
}

// Deep copy of one element from src into the zeroed storage dst.
HRESULT CopyElement(ElementKind kind, const unsigned char* src, unsigned char* dst, uint32_t cb) {
  switch (kind) {
    case ElementKind::Bstr: {
      bool ok;
      *reinterpret_cast<BSTR*>(dst) = detail::CopyBstr(*reinterpret_cast<const BSTR*>(src), ok);
      return ok ? S_OK : E_OUTOFMEMORY;
    }
    case ElementKind::Interface: {
      auto* unk = *reinterpret_cast<IUnknown* const*>(src);
      if (unk) unk->AddRef();
      *reinterpret_cast<IUnknown**>(dst) = unk;
      return S_OK;
    }
    case ElementKind::Variant:
      return VariantCopy(reinterpret_cast<VARIANT*>(dst), reinterpret_cast<const VARIANT*>(src));
    case ElementKind::Raw:
      std::memcpy(dst, src, cb);
      return S_OK;
  }
  return E_UNEXPECTED;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, uint32_t cDims, const SAFEARRAYBOUND* bounds) {
  if (!IsElementType(vt) || cDims == 0 || cDims > UINT16_MAX || !bounds) return nullptr;
  uint64_t count = 1;
  for (uint32_t i = 0; i < cDims; ++i) {
    if (!BoundFits(bounds[i]) ||
        __builtin_mul_overflow(count, uint64_t{bounds[i].cElements}, &count)) {
      return nullptr;
    }
  }
  const uint32_t cb = vt == VT_VARIANT ? sizeof(VARIANT) : detail::ValueSize(vt);
  size_t bytes;
  if (!DataSize(count, cb, bytes)) return nullptr;
  SAFEARRAY* psa = AllocDescriptor(cDims, vt);
  if (!psa) return nullptr;
  psa->pvData = AllocData(bytes);
  if (!psa->pvData) {
    FreeDescriptor(psa);
    return nullptr;
  }
  psa->fFeatures = static_cast<uint16_t>(FADF_HAVEVARTYPE | FeaturesFor(vt));
  psa->cbElements = cb;
  for (uint32_t i = 0; i < cDims; ++i) psa->rgsabound[cDims - 1 - i] = bounds[i];
  return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, int32_t lLbound, uint32_t cElements) {
  const SAFEARRAYBOUND bound{cElements, lLbound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (!psa) return S_OK;
  if (psa->cLocks) return DISP_E_ARRAYISLOCKED;
  ClearElements(psa, 0, ElementCount(psa));
  std::free(psa->pvData);
  FreeDescriptor(psa);
  return S_OK;
}

HRESULT SafeArrayCopy(const SAFEARRAY* psa, SAFEARRAY** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (!psa) return S_OK;
  uint32_t vt;
  std::memcpy(&vt, reinterpret_cast<const unsigned char*>(psa) - sizeof vt, sizeof vt);
  const uint64_t count = ElementCount(psa);
  size_t bytes;
  if (!DataSize(count, psa->cbElements, bytes)) return E_OUTOFMEMORY;
  SAFEARRAY* copy = AllocDescriptor(psa->cDims, vt);
  if (!copy) return E_OUTOFMEMORY;
  copy->fFeatures = static_cast<uint16_t>(
      psa->fFeatures & ~(FADF_AUTO | FADF_STATIC | FADF_EMBEDDED | FADF_FIXEDSIZE));
  copy->cbElements = psa->cbElements;
  std::memcpy(copy->rgsabound, psa->rgsabound, psa->cDims * sizeof(SAFEARRAYBOUND));
  copy->pvData = AllocData(bytes);
  if (!copy->pvData) {
    FreeDescriptor(copy);
    return E_OUTOFMEMORY;
  }
  const ElementKind kind = KindOf(psa);
  for (uint64_t i = 0; i < count; ++i) {
    const HRESULT hr = CopyElement(kind, ElementAt(psa, i), ElementAt(copy, i), psa->cbElements);
    if (FAILED(hr)) {
      SafeArrayDestroy(copy);
      return hr;
    }
  }
  *out = copy;
  return S_OK;
}

uint32_t SafeArrayGetDim(const SAFEARRAY* psa) {
  return psa ? psa->cDims : 0;
}

uint32_t SafeArrayGetElemsize(const SAFEARRAY* psa) {
  return psa ? psa->cbElements : 0;
}

HRESULT SafeArrayGetVartype(const SAFEARRAY* psa, VARTYPE* vt) {
  if (!psa || !vt) return E_INVALIDARG;
  if (psa->fFeatures & FADF_HAVEVARTYPE) {
    uint32_t stored;
    std::memcpy(&stored, reinterpret_cast<const unsigned char*>(psa) - sizeof stored,
                sizeof stored);
    *vt = static_cast<VARTYPE>(stored);
  } else if (psa->fFeatures & FADF_BSTR) {
    *vt = VT_BSTR;
  } else if (psa->fFeatures & FADF_UNKNOWN) {
    *vt = VT_UNKNOWN;
  } else if (psa->fFeatures & FADF_DISPATCH) {
    *vt = VT_DISPATCH;
  } else if (psa->fFeatures & FADF_VARIANT) {
    *vt = VT_VARIANT;
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT SafeArrayGetLBound(const SAFEARRAY* psa, uint32_t nDim, int32_t* out) {
  if (!psa || !out) return E_INVALIDARG;
  if (nDim == 0 || nDim > psa->cDims) return DISP_E_BADINDEX;
  *out = psa->rgsabound[psa->cDims - nDim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(const SAFEARRAY* psa, uint32_t nDim, int32_t* out) {
  if (!psa || !out) return E_INVALIDARG;
  if (nDim == 0 || nDim > psa->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - nDim];
  *out = static_cast<int32_t>(int64_t{b.lLbound} + int64_t{b.cElements} - 1);
  return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* psa, const SAFEARRAYBOUND* lastBound) {
  if (!psa || !lastBound || psa->cDims == 0) return E_INVALIDARG;
  if (psa->cLocks) return DISP_E_ARRAYISLOCKED;
  if ((psa->fFeatures & FADF_FIXEDSIZE) || !BoundFits(*lastBound)) return E_INVALIDARG;
  // The last dimension varies slowest, so its elements form the tail of the
  // data block: shrinking cuts the tail, growing appends zeroed elements.
  uint64_t others, newCount;
  size_t bytes;
  if (!CountOf(psa, 1, others) ||
      __builtin_mul_overflow(others, uint64_t{lastBound->cElements}, &newCount) ||
      !DataSize(newCount, psa->cbElements, bytes)) {
    return E_OUTOFMEMORY;
  }
  const uint64_t oldCount = others * psa->rgsabound[0].cElements;
  if (newCount < oldCount) {
    ClearElements(psa, newCount, oldCount - newCount);
    if (void* data = std::realloc(psa->pvData, bytes ? bytes : 1)) psa->pvData = data;
  } else if (newCount > oldCount) {
    void* data = std::realloc(psa->pvData, bytes);
    if (!data) return E_OUTOFMEMORY;
    psa->pvData = data;
    std::memset(ElementAt(psa, oldCount), 0, (newCount - oldCount) * psa->cbElements);
  }
  psa->rgsabound[0] = *lastBound;
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks == UINT32_MAX) return E_UNEXPECTED;
  ++psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks == 0) return E_UNEXPECTED;
  --psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** data) {
  if (!psa || !data) return E_INVALIDARG;
  const HRESULT hr = SafeArrayLock(psa);
  *data = SUCCEEDED(hr) ? psa->pvData : nullptr;
  return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
  return SafeArrayUnlock(psa);
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, const int32_t* indices, void** out) {
  if (!psa || !indices || !out) return E_INVALIDARG;
  *out = nullptr;
  uint64_t offset = 0;
  uint64_t stride = 1;
  for (uint32_t d = 0; d < psa->cDims; ++d) {
    const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - 1 - d];
    const int64_t i = int64_t{indices[d]} - b.lLbound;
    if (i < 0 || i >= int64_t{b.cElements}) return DISP_E_BADINDEX;
    offset += static_cast<uint64_t>(i) * stride;
    stride *= b.cElements;
  }
  *out = ElementAt(psa, offset);
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, const int32_t* indices, void* out) {
  if (!out) return E_INVALIDARG;
  void* element;
  HRESULT hr = SafeArrayPtrOfIndex(psa, indices, &element);
  if (FAILED(hr)) return hr;
  const ElementKind kind = KindOf(psa);
  if (kind == ElementKind::Variant) VariantInit(static_cast<VARIANT*>(out));
  SafeArrayLock(psa);
  hr = CopyElement(kind, static_cast<unsigned char*>(element), static_cast<unsigned char*>(out),
                   psa->cbElements);
  SafeArrayUnlock(psa);
  return hr;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, const int32_t* indices, const void* value) {
  void* element;
  HRESULT hr = SafeArrayPtrOfIndex(psa, indices, &element);
  if (FAILED(hr)) return hr;
  SafeArrayLock(psa);
  switch (KindOf(psa)) {
    case ElementKind::Bstr: {
      bool ok;
      BSTR copy = detail::CopyBstr(static_cast<BSTR>(const_cast<void*>(value)), ok);
      if (ok) {
        SysFreeString(*static_cast<BSTR*>(element));
        *static_cast<BSTR*>(element) = copy;
      }
      hr = ok ? S_OK : E_OUTOFMEMORY;
      break;
    }
    case ElementKind::Interface: {
      auto* unk = static_cast<IUnknown*>(const_cast<void*>(value));
      if (unk) unk->AddRef();
      IUnknown* old = *static_cast<IUnknown**>(element);
      *static_cast<IUnknown**>(element) = unk;
      if (old) old->Release();
      hr = S_OK;
      break;
    }
    case ElementKind::Variant:
      hr = value ? VariantCopy(static_cast<VARIANT*>(element), static_cast<const VARIANT*>(value))
                 : E_INVALIDARG;
      break;
    case ElementKind::Raw:
      if (value) std::memcpy(element, value, psa->cbElements);
      hr = value ? S_OK : E_INVALIDARG;
      break;
  }
  SafeArrayUnlock(psa);
  return hr;
}
