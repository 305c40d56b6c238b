#include "ports/PortManager.h"

#include "platform/sys/MessagePump.h"

namespace labelplu {

PortManager::~PortManager() {
  Close();
}

void PortManager::Close() {
  // No serial port is ever opened here, so there is nothing to close and
  // no pause before closing it; the settle pause after it stays.
  sys::WaitPumping(30);
}

}  // namespace labelplu
