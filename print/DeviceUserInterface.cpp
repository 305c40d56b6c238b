#include "print/DeviceUserInterface.h"

namespace labelplu {

namespace {
constinit DeviceUserInterface* g_userInterface = nullptr;
}  // namespace

void SetDeviceUserInterface(DeviceUserInterface* ui) {
  g_userInterface = ui;
}

DeviceUserInterface* CurrentDeviceUserInterface() {
  return g_userInterface;
}

}  // namespace labelplu
