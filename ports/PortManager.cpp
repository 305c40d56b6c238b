#include "ports/PortManager.h"

#include "platform/sys/MessagePump.h"

namespace labelplu {

PortManager::PortManager() : m_printerPort(std::make_unique<KeepAliveHook>()) {}

PortManager::~PortManager() {
  // The printer-port part goes first so that no progress callback into a
  // device that is being destroyed runs during the close pauses.
  m_printerPort.reset();
  Close(true);
  m_commands.clear();
  m_responseTimerActive = false;
}

void PortManager::Close(bool drain) {
  // The response timer only runs while a queued command waits for its
  // answer and stops when the queue empties, so this loop ends with the
  // queue; in this driver both are idle from the start.
  while (drain && !m_commands.empty() && m_responseTimerActive) sys::WaitPumping(1);
  // No serial port is ever opened here, so there is nothing to close and
  // no pause before closing it; the settle pause after it stays.
  sys::WaitPumping(30);
}

}  // namespace labelplu
