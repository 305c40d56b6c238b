// labelplu automation runtime: the interface identifiers of the plug-in
// contract's interfaces (include/labelplu/plugin.h, valuearray.h), for
// ComPtr::as and ComObject. Kept in one place so that the plug-in, the host
// and the tests share one specialisation each.
#ifndef LABELPLU_PLATFORM_OLE_CONTRACTINTERFACES_H
#define LABELPLU_PLATFORM_OLE_CONTRACTINTERFACES_H

#include "labelplu/devices.h"
#include "labelplu/plugin.h"
#include "labelplu/valuearray.h"
#include "platform/ole/InterfaceId.h"

LP_INTERFACE_ID(labelplu::ISafeArray, IDispatch, labelplu::IID_ISafeArray)
LP_INTERFACE_ID(labelplu::IPluginControl, IUnknown, labelplu::IID_IPluginControl)
LP_INTERFACE_ID(labelplu::IDriverObject, IUnknown, labelplu::IID_IDriverObject)
LP_INTERFACE_ID(labelplu::IDriverNames, IUnknown, labelplu::IID_IDriverNames)
LP_INTERFACE_ID(labelplu::IHostEventSink, IUnknown, labelplu::IID_IHostEventSink)
LP_INTERFACE_ID(labelplu::IModelPlu, IUnknown, labelplu::IID_IModelPlu)
LP_INTERFACE_ID(labelplu::IModelPlu2, labelplu::IModelPlu, labelplu::IID_IModelPlu2)
LP_INTERFACE_ID(labelplu::IDeviceItem, IUnknown, labelplu::IID_IDeviceItem)

#endif  // LABELPLU_PLATFORM_OLE_CONTRACTINTERFACES_H
