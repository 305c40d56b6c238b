/* labelplu automation runtime: the binary types and functions that the
 * plug-in and every host share (liblabelplu_ole.so).
 *
 * Exactly one copy of this runtime lives in a process: the plug-in finds it
 * through RPATH=$ORIGIN, a host links it. Strings, variants and safe arrays
 * made by one side may be freed by the other through these functions, since
 * both use the process heap (malloc/free).
 *
 * Threads: every function may be called from any thread. Error information
 * (SetErrorInfo/GetErrorInfo) is kept per thread. Nothing else is shared
 * between threads except the class table (OleRegisterClass/CoCreateInstance),
 * which is guarded by a lock.
 *
 * The types and functions have C linkage and C-compatible layouts; the
 * interfaces (IUnknown, IDispatch, IErrorInfo) are C++ abstract classes whose
 * vtable is the plain table of function pointers a C caller expects.
 */
#ifndef LABELPLU_OLEAUTO_H
#define LABELPLU_OLEAUTO_H

#include <stddef.h>
#include <stdint.h>

#if defined(__cplusplus)
#define LP_EXTERN_C extern "C"
#define LP_BEGIN_C extern "C" {
#define LP_END_C }
#else
#define LP_EXTERN_C
#define LP_BEGIN_C
#define LP_END_C
#endif

#define LP_API __attribute__((visibility("default")))

/* ---- Result codes ------------------------------------------------------ */

typedef int32_t HRESULT;

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFu)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003u)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005u)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006u)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009u)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000Au)
#define DISP_E_BADINDEX ((HRESULT)0x8002000Bu)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000Eu)
#define DISP_E_ARRAYISLOCKED ((HRESULT)0x8002000Du)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111u)

#define SUCCEEDED(hr) ((HRESULT)(hr) >= 0)
#define FAILED(hr) ((HRESULT)(hr) < 0)

/* ---- GUID -------------------------------------------------------------- */

typedef struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;

typedef GUID IID;
typedef GUID CLSID;

/* ---- Strings ----------------------------------------------------------- */

/* A BSTR points to UTF-16LE text. The uint32_t just before it holds the
 * length in bytes (without the terminator); a zero char16_t follows the text.
 * The block comes from malloc. A null BSTR is the empty text. */
#if defined(__cplusplus)
typedef char16_t OLECHAR;
#else
typedef uint16_t OLECHAR;
#endif
typedef OLECHAR* BSTR;

/* ---- Variants ---------------------------------------------------------- */

typedef uint16_t VARTYPE;

enum {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_STRING = 0x0100, /* single-byte string of the variant stream */
  VT_TYPEMASK = 0x0FFF,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000
};

typedef int16_t VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

#if defined(__cplusplus)
struct IUnknown;
struct IDispatch;
#else
typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;
#endif
typedef struct SAFEARRAY SAFEARRAY;
typedef struct VARIANT VARIANT;

/* 16 bytes: the type word, three reserved words, an 8-byte value.
 * VT_CY holds the value times 10000 in cyVal; VT_DATE holds days since
 * 1899-12-30 in date. With VT_BYREF, byref points to a value of the base type
 * (pvarVal for VT_VARIANT|VT_BYREF). */
struct VARIANT {
  VARTYPE vt;
  uint16_t wReserved1;
  uint16_t wReserved2;
  uint16_t wReserved3;
  union {
    int64_t llVal;
    uint64_t ullVal;
    int32_t lVal;
    uint32_t ulVal;
    int16_t iVal;
    uint16_t uiVal;
    int8_t cVal;
    uint8_t bVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    int32_t scode;
    int64_t cyVal;
    double date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    void* byref;
    VARIANT* pvarVal;
    int32_t* plVal;
    int16_t* piVal;
    double* pdblVal;
    BSTR* pbstrVal;
    VARIANT_BOOL* pboolVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
  };
};

typedef VARIANT VARIANTARG;

/* ---- Safe arrays ------------------------------------------------------- */

typedef struct SAFEARRAYBOUND {
  uint32_t cElements;
  int32_t lLbound;
} SAFEARRAYBOUND;

/* As in COM, rgsabound[0] describes the LAST dimension, and in pvData the
 * FIRST index varies fastest. Functions that take indices or bounds take
 * them in natural order (first dimension first). */
struct SAFEARRAY {
  uint16_t cDims;
  uint16_t fFeatures;
  uint32_t cbElements;
  uint32_t cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];
};

enum {
  FADF_AUTO = 0x0001,
  FADF_STATIC = 0x0002,
  FADF_EMBEDDED = 0x0004,
  FADF_FIXEDSIZE = 0x0010,
  FADF_HAVEVARTYPE = 0x0080,
  FADF_BSTR = 0x0100,
  FADF_UNKNOWN = 0x0200,
  FADF_DISPATCH = 0x0400,
  FADF_VARIANT = 0x0800
};

/* ---- Late-bound calls -------------------------------------------------- */

typedef int32_t DISPID;
#define DISPID_UNKNOWN ((DISPID)-1)
#define DISPID_VALUE ((DISPID)0)
#define DISPID_PROPERTYPUT ((DISPID)-3)

/* Arguments are stored last-first: rgvarg[0] is the last argument. */
typedef struct DISPPARAMS {
  VARIANT* rgvarg;
  DISPID* rgdispidNamedArgs;
  uint32_t cArgs;
  uint32_t cNamedArgs;
} DISPPARAMS;

enum {
  DISPATCH_METHOD = 1,
  DISPATCH_PROPERTYGET = 2,
  DISPATCH_PROPERTYPUT = 4,
  DISPATCH_PROPERTYPUTREF = 8
};

typedef struct EXCEPINFO {
  uint16_t wCode;
  uint16_t wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  uint32_t dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(struct EXCEPINFO*);
  HRESULT scode;
} EXCEPINFO;

/* ---- Interfaces -------------------------------------------------------- */

#if defined(__cplusplus)

/* Every interface begins with these three slots. No virtual destructor: the
 * vtable is the plain slot table. An object lives while its count is > 0. */
struct IUnknown {
  virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;
};

struct ITypeInfo;

/* Late binding: names are looked up case-insensitively; Invoke runs the
 * member with the arguments of DISPPARAMS (stored last-first). */
struct IDispatch : IUnknown {
  virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
  virtual HRESULT GetTypeInfo(uint32_t index, uint32_t lcid, ITypeInfo** out) = 0;
  virtual HRESULT GetIDsOfNames(const IID& riid, OLECHAR** names, uint32_t count, uint32_t lcid,
                                DISPID* ids) = 0;
  virtual HRESULT Invoke(DISPID id, const IID& riid, uint32_t lcid, uint16_t flags,
                         DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                         uint32_t* argErr) = 0;
};

/* The description of the last failure on a thread. */
struct IErrorInfo : IUnknown {
  virtual HRESULT GetGUID(GUID* out) = 0;
  virtual HRESULT GetSource(BSTR* out) = 0;      /* caller frees *out */
  virtual HRESULT GetDescription(BSTR* out) = 0; /* caller frees *out */
  virtual HRESULT GetHelpFile(BSTR* out) = 0;    /* caller frees *out */
  virtual HRESULT GetHelpContext(uint32_t* out) = 0;
};

#else
typedef struct IErrorInfo IErrorInfo;
#endif

/* Creates a new object of a class; *out receives an interface reference
 * (count 1, owned by the caller) for iid, or null on failure. */
typedef HRESULT (*LPCLASSFACTORYFN)(const IID* iid, void** out);

LP_BEGIN_C

/* Interface identifiers of the standard interfaces. */
LP_API extern const IID IID_IUnknown;   /* {00000000-0000-0000-C000-000000000046} */
LP_API extern const IID IID_IDispatch;  /* {00020400-0000-0000-C000-000000000046} */
LP_API extern const IID IID_IErrorInfo; /* {1CF2B120-547D-101B-8E65-08002B2BD119} */
LP_API extern const IID IID_NULL;       /* all zero */

/* ---- Strings ---- */

/* Returns a new BSTR holding a copy of text up to its first zero char16_t;
 * null text gives an empty (non-null) BSTR. The caller owns the result and
 * frees it with SysFreeString. Null only when memory runs out. */
LP_API BSTR SysAllocString(const OLECHAR* text);
/* As SysAllocString, with exactly len characters (text may be null: the
 * characters are then zero). */
LP_API BSTR SysAllocStringLen(const OLECHAR* text, uint32_t len);
/* Converts len bytes of UTF-8 (or up to the first zero byte when len is
 * (size_t)-1) into a new BSTR. Invalid sequences become U+FFFD. */
LP_API BSTR SysAllocStringUtf8(const char* utf8, size_t len);
/* Frees a BSTR; null is allowed. */
LP_API void SysFreeString(BSTR s);
/* Length in characters (0 for null). */
LP_API uint32_t SysStringLen(BSTR s);
/* Length in bytes (0 for null). */
LP_API uint32_t SysStringByteLen(BSTR s);
/* Writes the text of s as UTF-8 into a new malloc'd, zero-terminated block
 * (*out, freed by the caller with free) and returns its length in bytes. */
LP_API size_t SysStringToUtf8(BSTR s, char** out);

/* ---- Variants ---- */

/* Sets vt to VT_EMPTY. */
LP_API void VariantInit(VARIANT* v);
/* Frees what v owns (string, interface reference, array; never what a
 * by-reference variant points to) and leaves it VT_EMPTY. */
LP_API HRESULT VariantClear(VARIANT* v);
/* dest := deep copy of src (strings and arrays copied, interfaces AddRef'd;
 * by-reference variants are copied as references). dest is cleared first. */
LP_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
/* As VariantCopy, but a by-reference src is copied as the value it points to. */
LP_API HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
/* dest := src converted to vt (dest may equal src). By-reference sources
 * are read through their reference. Text uses the process formats: decimal
 * separator ",", dates "dd.MM.yyyy hh:mm:ss", Booleans "True"/"False";
 * reading text accepts "." and "," as decimal separator. Errors:
 * DISP_E_TYPEMISMATCH when no conversion exists, DISP_E_OVERFLOW when the
 * value does not fit. flags is reserved (pass 0). */
LP_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, uint16_t flags, VARTYPE vt);

/* ---- Safe arrays ---- */

/* Creates an array of cDims dimensions (bounds in natural order, first
 * dimension first) of zero-filled elements of type vt (VT_I2..VT_UI8,
 * VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_VARIANT). Null on a bad type, a size
 * that overflows or no memory. Freed with SafeArrayDestroy. */
LP_API SAFEARRAY* SafeArrayCreate(VARTYPE vt, uint32_t cDims, const SAFEARRAYBOUND* bounds);
/* One-dimensional convenience form. */
LP_API SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, int32_t lLbound, uint32_t cElements);
/* Frees the elements (strings, references, variants) and the array.
 * DISP_E_ARRAYISLOCKED while locked. Null is allowed. */
LP_API HRESULT SafeArrayDestroy(SAFEARRAY* psa);
/* *out := deep copy of psa. */
LP_API HRESULT SafeArrayCopy(const SAFEARRAY* psa, SAFEARRAY** out);
LP_API uint32_t SafeArrayGetDim(const SAFEARRAY* psa);
LP_API uint32_t SafeArrayGetElemsize(const SAFEARRAY* psa);
LP_API HRESULT SafeArrayGetVartype(const SAFEARRAY* psa, VARTYPE* vt);
/* Bounds of dimension nDim, counted from 1 in natural order. */
LP_API HRESULT SafeArrayGetLBound(const SAFEARRAY* psa, uint32_t nDim, int32_t* out);
LP_API HRESULT SafeArrayGetUBound(const SAFEARRAY* psa, uint32_t nDim, int32_t* out);
/* Changes the element count and lower bound of the LAST dimension (natural
 * order), keeping the elements that remain and zero-filling new ones. */
LP_API HRESULT SafeArrayRedim(SAFEARRAY* psa, const SAFEARRAYBOUND* lastBound);
LP_API HRESULT SafeArrayLock(SAFEARRAY* psa);
LP_API HRESULT SafeArrayUnlock(SAFEARRAY* psa);
LP_API HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** data);
LP_API HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
/* Address of the element at indices (natural order, one per dimension);
 * DISP_E_BADINDEX when out of bounds. */
LP_API HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, const int32_t* indices, void** out);
/* Copies the element out (strings copied, references AddRef'd, variants
 * deep-copied): out points to storage of the element type. */
LP_API HRESULT SafeArrayGetElement(SAFEARRAY* psa, const int32_t* indices, void* out);
/* Stores a copy of *value (for VT_BSTR value is the BSTR itself, for
 * VT_UNKNOWN/VT_DISPATCH the interface pointer, otherwise a pointer to the
 * value), freeing what the element held. */
LP_API HRESULT SafeArrayPutElement(SAFEARRAY* psa, const int32_t* indices, const void* value);

/* ---- GUIDs ---- */

/* A new random (version 4) GUID. */
LP_API HRESULT CoCreateGuid(GUID* out);
/* Parses the braced registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
 * (hex digits of either case). E_INVALIDARG when text is not that form;
 * *out is then all zero. */
LP_API HRESULT CLSIDFromString(const OLECHAR* text, GUID* out);
/* Writes the braced upper-case form (38 characters and a zero) into buf,
 * which holds max characters; returns the characters written including the
 * zero, or 0 when buf is too small. */
LP_API int32_t StringFromGUID2(const GUID* guid, OLECHAR* buf, int32_t max);
LP_API int IsEqualGUID(const GUID* a, const GUID* b);

/* ---- Error information (per thread) ---- */

/* Replaces the thread's error information with info (AddRef'd; null
 * clears it). reserved must be 0. */
LP_API HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info);
/* Hands the thread's error information to the caller (*out, a reference the
 * caller releases) and clears it; S_FALSE and null when there is none. */
LP_API HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** out);
/* Convenience: sets the thread's error information to a new object with
 * the given description and source (UTF-8; either may be null). */
LP_API HRESULT SetErrorInfoText(const char* description, const char* source);

/* ---- Class table ---- */

/* Announces a class: afterwards CoCreateInstance(clsid) creates objects
 * through factory. A second announcement of the same class replaces the
 * first. serverName is informative (copied). */
LP_API HRESULT OleRegisterClass(const CLSID* clsid, const char* serverName,
                                LPCLASSFACTORYFN factory);
/* Removes an announcement (S_FALSE when the class was not announced). */
LP_API HRESULT OleRevokeClass(const CLSID* clsid);
/* Creates an object of an announced class and returns its interface iid in
 * *out (owned by the caller). REGDB_E_CLASSNOTREG for an unknown class.
 * outer must be null; context is ignored. */
LP_API HRESULT CoCreateInstance(const CLSID* clsid, IUnknown* outer, uint32_t context,
                                const IID* iid, void** out);

LP_END_C

#endif /* LABELPLU_OLEAUTO_H */
