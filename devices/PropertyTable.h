// A device's parameters as the host's two-dimensional property table.
#ifndef LABELPLU_DEVICES_PROPERTYTABLE_H
#define LABELPLU_DEVICES_PROPERTYTABLE_H

#include <cstdint>

#include "devices/DeviceItem.h"
#include "labelplu/valuearray.h"

namespace labelplu {

// table := a new value array (from the host when the device has a host
// link) of (parameters + 1) rows × 7 columns: the device name, then one row
// per parameter (name, caption, hint, display type, typed value, read-only,
// typed default). Returns kResultOk.
int32_t FillPropsTable(DeviceItem& device, ole::ComPtr<ISafeArray>& table);

// Applies the rows of table to the device's parameters; a row
// "ИмяУстройства" is skipped. An editable "Число" row whose value is not a
// number raises 20029 with the row's caption; rows before it stay applied.
// Returns kResultOk.
int32_t ApplyPropsTable(DeviceItem& device, ISafeArray& table);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PROPERTYTABLE_H
