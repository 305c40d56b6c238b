// labelplu: AutomationObject, the base of the driver's automation objects.
//
// An automation object answers late-bound calls (IDispatch::GetIDsOfNames and
// IDispatch::Invoke) from a small table of names that the descendant fills in
// RegisterNames, instead of from a type library. A name maps to a handler for
// method calls and property reads and, for a property, an optional handler
// for writes. The dispatch identifier of a name is its index in the table.
//
// Failures inside a handler never cross IDispatch::Invoke: Invoke answers
// DISP_E_EXCEPTION, fills the caller's EXCEPINFO (when given) with the
// message and its code, and leaves the message in the thread's error
// information.
//
// Threads: an object is used by one thread at a time.
#ifndef LABELPLU_VALUES_AUTOMATIONOBJECT_H
#define LABELPLU_VALUES_AUTOMATIONOBJECT_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "labelplu/oleauto.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/Variant.h"

namespace labelplu {

// A late-bound handler: args is the call's argument block (COM order, last
// argument first; an empty block when the caller passed none), result starts
// empty and is handed to the caller after a method call or property read.
using AutomationHandler = std::function<void(DISPPARAMS& args, ole::OleVariant& result)>;

// The name table and the late-bound call rules, shared by every
// AutomationObject<Dual>.
class AutomationNameTable {
 public:
  static constexpr size_t kCapacity = 100;

  struct Entry {
    std::string Name;        // the registered name in upper case (ASCII letters folded)
    int16_t ParamCount = 0;  // methods: required argument count, 0 = not checked
    bool IsMethod = false;
    AutomationHandler Handler;  // method body or property read
    AutomationHandler Setter;   // property write; empty = read-only
  };

  // Append an entry; a table that already holds kCapacity entries raises
  // std::runtime_error "Массив имен заполнен.".
  void AddMethod(std::string_view name, int16_t paramCount, AutomationHandler handler);
  void AddProperty(std::string_view name, AutomationHandler handler, AutomationHandler setter);
  void Clear() { m_entries.clear(); }
  size_t Count() const { return m_entries.size(); }
  const Entry& At(size_t index) const { return m_entries.at(index); }

  // Looks up names[0] (UTF-16) with case ignored (SameText); ids[0] := its
  // index, further ids := DISPID_UNKNOWN. E_NOTIMPL when no entry matches,
  // E_INVALIDARG for null arguments or count 0.
  HRESULT GetIDsOfNames(OLECHAR** names, uint32_t count, DISPID* ids) const noexcept;

  // Runs entry id for the call kind flags (DISPATCH_*). An id outside the
  // table gives DISP_E_MEMBERNOTFOUND; a failure of the call gives
  // DISP_E_EXCEPTION with excep (when not null) holding the message in
  // bstrDescription (owned by the caller) and the failure code in scode.
  // On success the handler's result replaces *result (when not null).
  HRESULT Invoke(DISPID id, uint16_t flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* excep) const noexcept;

 private:
  void Add(Entry entry);
  // The call itself; raises the failure texts of late-bound calls.
  void Run(const Entry& entry, uint16_t flags, DISPPARAMS& args, VARIANT* result) const;

  std::vector<Entry> m_entries;
};

// The number of arguments of a call; 0 for a null or empty block.
int32_t ArgCount(const DISPPARAMS* args);
// A copy of argument index counted in call order (the block stores them last
// first); a by-reference argument is read through its reference. An index
// outside 0..ArgCount-1 raises RaiseError 20000 "Неверный индекс (Get)
// Index=<index> Count=<count>".
ole::OleVariant GetArg(const DISPPARAMS* args, int32_t index);
// Writes value through by-reference argument index: a variant receives a copy,
// a 32-bit integer, double or wide string the value converted (VariantError
// when it does not convert); another by-reference type raises
// std::runtime_error "Неподдерживаемый тип параметра."; a by-value argument is
// left unchanged. A bad index raises RaiseError 20000 "Неверный индекс (Set)
// Index=<index> Count=<count>".
void SetArg(DISPPARAMS* args, int32_t index, const VARIANT& value);

// The base of an automation object implementing the dual interface Dual
// (derived from IDispatch). The descendant registers its names in
// RegisterNames, which Initialize calls; create objects through a factory
// that calls Initialize once the object is fully constructed.
template <class Dual>
class AutomationObject : public ole::ComObject<Dual> {
 public:
  HRESULT GetTypeInfoCount(uint32_t* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, uint32_t count, uint32_t,
                        DISPID* ids) override {
    return m_names.GetIDsOfNames(names, count, ids);
  }
  HRESULT Invoke(DISPID id, const IID&, uint32_t, uint16_t flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* excep, uint32_t*) override {
    return m_names.Invoke(id, flags, params, result, excep);
  }

  // Empties the name table and registers the names again.
  void Initialize() {
    m_names.Clear();
    RegisterNames();
  }

  const AutomationNameTable& Names() const { return m_names; }

 protected:
  AutomationObject() = default;

  // The descendant adds its names here (AddMethod, AddProperty).
  virtual void RegisterNames() {}

  void AddMethod(std::string_view name, int16_t paramCount, AutomationHandler handler) {
    m_names.AddMethod(name, paramCount, std::move(handler));
  }
  void AddProperty(std::string_view name, AutomationHandler handler,
                   AutomationHandler setter = {}) {
    m_names.AddProperty(name, std::move(handler), std::move(setter));
  }

 private:
  AutomationNameTable m_names;
};

}  // namespace labelplu

#endif  // LABELPLU_VALUES_AUTOMATIONOBJECT_H
