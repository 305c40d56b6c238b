// The module's globals: the one driver object and the control interface.
#ifndef LABELPLU_PLUGIN_MODULESTATE_H
#define LABELPLU_PLUGIN_MODULESTATE_H

#include "labelplu/plugin.h"

namespace labelplu {

class DriverObject;

// Start-up of the module: agrees on the log location and creates the driver
// object. A failure leaves the driver object empty (GetDllObject then says
// "GetDllObject вернул Nil"); the answer is 0, or -100 on failure.
int32_t LoadModule();
// Shut-down: frees the driver object (failures swallowed).
void UnloadModule();

// The control interface (no reference added); null without a driver object.
IPluginControl* ControlInterface();

// The dispatch entry handed out by GetCallEntry.
bool CallEntry(RequestParams* params, void* context);

// The family's identification value, built at run time.
int32_t QueryValue();

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_MODULESTATE_H
