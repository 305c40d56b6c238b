// labelplu automation runtime: the interface identifier of each interface
// type, for ComPtr::as and ComObject::QueryInterface.
//
// Every interface a ComObject implements or a ComPtr queries needs a
// specialisation naming its IID and its base interface (void for IUnknown):
//
//   LP_INTERFACE_ID(labelplu::ISafeArray, IDispatch, labelplu::IID_ISafeArray)
//
// The macro is used at global scope.
#ifndef LABELPLU_PLATFORM_OLE_INTERFACEID_H
#define LABELPLU_PLATFORM_OLE_INTERFACEID_H

#include "labelplu/oleauto.h"

namespace labelplu::ole {

template <class T>
struct InterfaceId;  // { static const IID& value(); using Base = ...; }

}  // namespace labelplu::ole

#define LP_INTERFACE_ID(Type, BaseType, iid)             \
  template <>                                            \
  struct labelplu::ole::InterfaceId<Type> {              \
    static const IID& value() noexcept { return (iid); } \
    using Base = BaseType;                               \
  };

LP_INTERFACE_ID(IUnknown, void, IID_IUnknown)
LP_INTERFACE_ID(IDispatch, IUnknown, IID_IDispatch)
LP_INTERFACE_ID(IErrorInfo, IUnknown, IID_IErrorInfo)

#endif  // LABELPLU_PLATFORM_OLE_INTERFACEID_H
