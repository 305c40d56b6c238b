// labelplu: the port manager every device instance owns.
//
// It keeps the device's switched-on state and its port settings, and runs
// the orderly close a device performs after switching on or off. Printing
// goes through the system's print spooler, so no device of this driver
// opens a port or sends commands through one: no serial port is built.
//
// Threads: a port manager belongs to the thread of its device; Close and
// the destructor process that thread's events while they wait, so event
// handlers (and host callbacks) may run inside them.
#ifndef LABELPLU_PORTS_PORTMANAGER_H
#define LABELPLU_PORTS_PORTMANAGER_H

#include "ports/SerialPortSettings.h"

namespace labelplu {

class PortManager {
 public:
  // Off, settings at their initial values.
  PortManager() = default;
  // Runs Close.
  ~PortManager();
  PortManager(const PortManager&) = delete;
  PortManager& operator=(const PortManager&) = delete;

  // The switched-on state of the device.
  void SetOn(bool on) { m_on = on; }
  bool On() const { return m_on; }

  SerialPortSettings& Settings() { return m_settings; }
  const SerialPortSettings& Settings() const { return m_settings; }
  // The keep-open flag of the settings: the device skips Close after
  // switching on when it is set.
  bool KeepOpen() const { return m_settings.IsOpen; }

  // Releases the port: pauses 30 ms while processing events. Returns after
  // at least 30 ms and costs almost no CPU.
  void Close();

 private:
  bool m_on = false;
  SerialPortSettings m_settings;
};

}  // namespace labelplu

#endif  // LABELPLU_PORTS_PORTMANAGER_H
