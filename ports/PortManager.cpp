#include "ports/PortManager.h"

#include "platform/sys/MessagePump.h"

namespace labelplu {

PortManager::PortManager() : m_printerPort(std::make_unique<KeepAliveHook>()) {}

PortManager::~PortManager() {
  // The printer-port part goes first so that no progress callback into a
  // device that is being destroyed runs during the close pause.
  m_printerPort.reset();
  Close();
}

void PortManager::Close() {
  // No serial port is ever opened here, so there is nothing to close and
  // no pause before closing it; the settle pause after it stays.
  sys::WaitPumping(30);
}

}  // namespace labelplu
