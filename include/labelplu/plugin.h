// labelplu: the plug-in's binary contract with its host.
//
// Calling order:
//   1. dlopen("labelplu.plu"). Loading creates the one driver object; it
//      starts no GUI toolkit and no thread.
//   2. Query() and compare with LABELPLU_QUERY_VALUE.
//   3. PluginControl(&control).
//   4. control->GetDllObject(&driver); control->GetCallEntry(&entry).
//   5. driver->SetHostEvents(sink) with the host's IHostEventSink (optional).
//   6. entry(params, context) any number of times.
//   7. BeforeFreeLibrary(); release every interface; dlclose().
//
// Threads: load, unload and the control interface belong to the thread that
// loaded the module. CallEntry may be called from any thread, one call at a
// time per process: the driver takes no lock. A call runs on the calling
// thread; printing and waits let that thread's Qt events run, so the host may
// be called back (and may call again) in the middle of a call.
//
// Memory: strings, variants, safe arrays and parameter lists come from the
// process heap and may be freed by either side through the automation
// runtime (oleauto.h) and the RequestParams operations below.
#ifndef LABELPLU_PLUGIN_H
#define LABELPLU_PLUGIN_H

#include <cstdint>

#include "labelplu/errors.h"
#include "labelplu/oleauto.h"

namespace labelplu {

// The value Query() returns; a host of this family compares it.
inline constexpr int32_t LABELPLU_QUERY_VALUE = 0x4C50E803;

// ---- Parameter lists ------------------------------------------------------

struct RequestParams;

// The type descriptor at offset 0 of every parameter list: supplied by
// whoever created the list, read by nobody but its creator.
struct RequestParamsClass {
  const char* ClassName;
};

// The number of variants of an owned argument block.
inline constexpr uint32_t kParamsCapacity = 50;

// The parameter list of one request; a host chains several through Next.
// Element 0 receives the result, element 1 names the method or property,
// element 2 is the request kind (1 method call, 2 property read, 3 property
// write), elements 3.. are the arguments. Name carries a control command
// instead ("__FRee", "__Load", "__@@EventSupport", "__@@SwitchOff").
//
// Standard layout: the fields are read and written directly by both sides.
// The operations are plain functions with no vtable; the project compiles
// them into the plug-in and into its host library from one source.
struct RequestParams {
  const RequestParamsClass* ClassRef;  // the creator's type descriptor
  DISPPARAMS* Args;                    // argument block; null until attached or created
  int32_t ErrorCode;                   // 0 = none
  char* Name;                          // control command, malloc'd UTF-8, owned; null = none
  uint16_t CallFlags;                  // DISPATCH_* of the call; 0 when created
  uint8_t ErrorFlag;                   // ErrorCode != 0
  VARIANT ErrorSource;                 // where a recorded failure happened
  VARIANT ErrorText;                   // "Очищено Clear" after Clear
  VARIANT* ResultTarget;               // where a call's result is to be copied; may be null
  IUnknown* HostInterface;             // the host's event sink for "__@@EventSupport"; not owned
  RequestParams* Next;                 // next request of the chain; owned
  uint8_t OwnsArgs;                    // Args was created by EnsureStorage

  // A new list (calloc'd, fields empty, ErrorSource and ErrorText empty
  // strings). classRef may be null. Freed with Destroy.
  static RequestParams* Create(const RequestParamsClass* classRef = nullptr);
  // Frees Next, clears and frees an owned block, frees Name and the list.
  // Null is allowed.
  static void Destroy(RequestParams* params);

  // Creates the owned block of 50 variants when there is no block.
  void EnsureStorage();
  // Uses a foreign COM argument block (stored last-first; not owned).
  void Attach(DISPPARAMS* block);
  // Number of elements; 0 without a block.
  int32_t Count() const;
  // A copy of element index (the caller clears it). A bad index raises
  // EProtectException 20000 "Неверный индекс (Get) Index=%d Count=%d".
  VARIANT Get(int32_t index) const;
  // Owned block: element := copy of value. Borrowed block: only by-reference
  // elements are written, converted to the referenced type; a by-value
  // element is left unchanged. A bad index raises 20000 "Неверный индекс
  // (Set) ..."; a by-reference element of an unsupported type raises 20000
  // "Неподдерживаемый тип параметра.".
  void Set(int32_t index, const VARIANT& value);
  // Appends a copy of value (creating the owned block when needed). The 51st
  // element raises std::runtime_error "TParams - превышена емкость хранилища
  // данных.".
  void Add(const VARIANT& value);
  // Clears every element (count 0), the error fields and ResultTarget, and
  // frees the Next chain.
  void Clear();
  // Sets the control command (UTF-8; null or "" clears it).
  void SetName(const char* name);
  void SetErrorCode(int32_t code);
};

// ---- Task context -----------------------------------------------------------

struct HostTask;

inline constexpr uint32_t kTaskClassMagic = 0x4B534154;  // "TASK"

// The descriptor of a host task object. ClassName must be "TInternalTask" or
// "TTaskThread" for the driver to accept the task.
struct HostTaskClass {
  uint32_t Magic;         // kTaskClassMagic
  const char* ClassName;  // "TInternalTask" or "TTaskThread"
  // Keep-alive: called by the driver at most once a second during long work.
  // May be null.
  void (*KeepAlive)(HostTask* task);
};

// The context object of CallEntry: null, or a task object of the host.
struct HostTask {
  const HostTaskClass* ClassRef;
  uint8_t Flag;   // read by the device the task works with
  GUID DeviceId;  // the device the task addresses
  void* Driver;   // written by the driver before each request; opaque
};

// ---- Interfaces -------------------------------------------------------------

// {761D2911-3335-478B-A481-81BC22AA9640}
inline constexpr IID IID_IHostEventSink = {
    0x761D2911, 0x3335, 0x478B, {0xA4, 0x81, 0x81, 0xBC, 0x22, 0xAA, 0x96, 0x40}};
// {5840E4CB-F596-489A-BCD0-66F4D4311253}
inline constexpr IID IID_IPluginControl = {
    0x5840E4CB, 0xF596, 0x489A, {0xBC, 0xD0, 0x66, 0xF4, 0xD4, 0x31, 0x12, 0x53}};
// {07573EC1-327D-47C7-8B5F-13C6298FBC2F}
inline constexpr IID IID_IDriverObject = {
    0x07573EC1, 0x327D, 0x47C7, {0x8B, 0x5F, 0x13, 0xC6, 0x29, 0x8F, 0xBC, 0x2F}};
// {BAB8C117-CADF-4C73-9B2D-B042D637A748}
inline constexpr IID IID_IDriverNames = {
    0xBAB8C117, 0xCADF, 0x4C73, {0x9B, 0x2D, 0xB0, 0x42, 0xD6, 0x37, 0xA7, 0x48}};

// A procedure the driver asks the host to run on its behalf.
struct HostProcedure {
  void (*Code)(void* data, intptr_t arg);
  void* Data;
};

// The host's service interface, handed to the driver through
// IDriverObject::SetHostEvents or "__@@EventSupport". The driver calls two
// slots, counted from 0 with the three IUnknown slots: 23 CreateValueArray
// and 28 RunProcedure. The other slots are reserved and answer E_NOTIMPL.
// The driver calls it on the thread of the CallEntry call in progress.
struct IHostEventSink : IUnknown {
  virtual HRESULT Reserved3() = 0;
  virtual HRESULT Reserved4() = 0;
  virtual HRESULT Reserved5() = 0;
  virtual HRESULT Reserved6() = 0;
  virtual HRESULT Reserved7() = 0;
  virtual HRESULT Reserved8() = 0;
  virtual HRESULT Reserved9() = 0;
  virtual HRESULT Reserved10() = 0;
  virtual HRESULT Reserved11() = 0;
  virtual HRESULT Reserved12() = 0;
  virtual HRESULT Reserved13() = 0;
  virtual HRESULT Reserved14() = 0;
  virtual HRESULT Reserved15() = 0;
  virtual HRESULT Reserved16() = 0;
  virtual HRESULT Reserved17() = 0;
  virtual HRESULT Reserved18() = 0;
  virtual HRESULT Reserved19() = 0;
  virtual HRESULT Reserved20() = 0;
  virtual HRESULT Reserved21() = 0;
  virtual HRESULT Reserved22() = 0;
  // Slot 23: *out (cleared by the driver first) receives a new value array
  // (VT_DISPATCH, an ISafeArray) owned by the driver afterwards.
  virtual HRESULT CreateValueArray(VARIANT* out) = 0;
  virtual HRESULT Reserved24() = 0;
  virtual HRESULT Reserved25() = 0;
  virtual HRESULT Reserved26() = 0;
  virtual HRESULT Reserved27() = 0;
  // Slot 28: runs proc.Code(proc.Data, arg) and returns when it is done.
  virtual HRESULT RunProcedure(HostProcedure proc, intptr_t arg) = 0;
};

struct IDriverNames;

// The driver object's main interface. Every slot returns an HRESULT; on
// failure the thread's error information holds the message. Out strings are
// BSTRs owned by the caller; out interfaces are references the caller
// releases.
struct IDriverObject : IUnknown {
  virtual HRESULT GetModulePath(BSTR* out) = 0;         // full path of labelplu.plu
  virtual HRESULT GetVersionText(BSTR* out) = 0;        // e.g. "1.3.1.0"
  virtual HRESULT GetBuildNumber(uint16_t* out) = 0;    // fourth version number
  virtual HRESULT GetInterfaceLevel(int32_t* out) = 0;  // 3
  virtual HRESULT GetInstanceKind(int32_t* out) = 0;    // 1
  // The model interface of model index; null when there is no such model.
  virtual HRESULT GetModel(int32_t index, IUnknown** out) = 0;
  virtual HRESULT SetReserved(int32_t value) = 0;
  // Takes the host's service interface (queried for IHostEventSink; the
  // driver keeps a reference). Null clears it.
  virtual HRESULT SetHostEvents(IUnknown* sink) = 0;
  virtual HRESULT GetNames(IDriverNames** out) = 0;
};

// Name questions; plain results, never raise. name is owned by the caller.
struct IDriverNames : IUnknown {
  virtual bool IsProperty(BSTR name) = 0;
  virtual bool IsMethod(BSTR name) = 0;
  virtual bool IsBaseMethod(BSTR name) = 0;
  virtual bool IsSwitchOn(BSTR name) = 0;   // "Включить" or "SwitchOn", any case
  virtual bool IsSwitchOff(BSTR name) = 0;  // "Выключить" or "SwitchOff", any case
};

// The dispatch entry. Runs each request of the chain in turn and returns
// whether the last one processed was handled. Failures leave as
// EProtectException (or EHardwareEquipmentException); plain failures of
// value objects as exceptions derived from std::exception. The rest of the
// chain is then not processed. context is null or a HostTask.
using CallEntryFn = bool (*)(RequestParams* params, void* context);

// The control interface returned by PluginControl.
struct IPluginControl : IUnknown {
  virtual HRESULT Reserved1(int32_t value) = 0;
  virtual HRESULT Reserved2(int32_t value) = 0;
  virtual HRESULT GetCallEntry(CallEntryFn* out) = 0;
  // The driver object's interface; fails with "Обработчик GetDllObject не
  // назначен" or "GetDllObject вернул Nil" (error information) when none.
  virtual HRESULT GetDllObject(IDriverObject** out) = 0;
  virtual HRESULT SetApplication(int32_t value) = 0;
};

// ---- Earlier names ----------------------------------------------------------
// The names these types had in earlier releases of this header, so that a
// host written against them still compiles. Same types, same layouts.
using TParams = RequestParams;
using TParamsClass = RequestParamsClass;
using TTaskContext = HostTask;
using TTaskClass = HostTaskClass;
using TMethodRef = HostProcedure;
using TCallEntry = CallEntryFn;

}  // namespace labelplu

// ---- Exports ----------------------------------------------------------------
extern "C" {
// The family's identification value (LABELPLU_QUERY_VALUE).
typedef int32_t (*QueryFn)(void);
// Copies the control interface into *out with a new reference (the caller
// releases it); null when the driver object does not exist.
typedef void (*PluginControlFn)(labelplu::IPluginControl** out);
// Called before the host unloads the module; does nothing.
typedef void (*BeforeFreeLibraryFn)(void);
// Earlier names of the three.
typedef QueryFn TQueryFn;
typedef PluginControlFn TPluginControlFn;
typedef BeforeFreeLibraryFn TBeforeFreeLibraryFn;
}

#endif  // LABELPLU_PLUGIN_H
