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

#include <cstdint>
#include <functional>
#include <memory>

#include "ports/SerialPortSettings.h"

namespace labelplu {

class DeviceItem;

// The printer-port part of a port manager: a progress callback that long
// port operations call to keep the host alive. It holds no file handle: no
// printer port is opened by this driver.
class KeepAliveHook {
 public:
  using ProgressCallback = std::function<void()>;

  // Stores the callback (an empty function clears it).
  void SetProgress(ProgressCallback callback) { m_progress = std::move(callback); }
  bool HasProgress() const { return static_cast<bool>(m_progress); }
  // Calls the callback when one is set.
  void Progress() const {
    if (m_progress) m_progress();
  }

 private:
  ProgressCallback m_progress;
};

class PortManager {
 public:
  // Returns a flag of the device's current host task (false without one).
  using QueryCallback = std::function<bool()>;

  // Off, processing disabled, settings at their initial values.
  PortManager();
  // Runs Close after dropping the printer-port part.
  ~PortManager();
  PortManager(const PortManager&) = delete;
  PortManager& operator=(const PortManager&) = delete;

  // The device item this manager belongs to; not owned, may be null.
  void SetOwner(DeviceItem* owner) { m_owner = owner; }
  DeviceItem* Owner() const { return m_owner; }

  // The switched-on state of the device.
  void SetOn(bool on) { m_on = on; }
  bool On() const { return m_on; }

  // Clear / set the processing-enabled flag (around the device's Connect).
  void Suspend() { m_processing = false; }
  void Resume() { m_processing = true; }
  bool ProcessingEnabled() const { return m_processing; }

  // Stores the device's query callback (an empty function clears it).
  void SetQueryCallback(QueryCallback callback) { m_query = std::move(callback); }
  // The callback's answer; false when none is set.
  bool Query() const { return m_query ? m_query() : false; }

  SerialPortSettings& Settings() { return m_settings; }
  const SerialPortSettings& Settings() const { return m_settings; }
  // The keep-open flag of the settings: the device skips Close after
  // switching on when it is set.
  bool KeepOpen() const { return m_settings.IsOpen; }

  // Null after the destructor has started.
  KeepAliveHook* PrinterPort() { return m_printerPort.get(); }

  // Releases the port: pauses 30 ms while processing events. Returns after
  // at least 30 ms and costs almost no CPU.
  void Close();

 private:
  DeviceItem* m_owner = nullptr;
  bool m_on = false;
  bool m_processing = false;
  QueryCallback m_query;
  SerialPortSettings m_settings;
  std::unique_ptr<KeepAliveHook> m_printerPort;
};

}  // namespace labelplu

#endif  // LABELPLU_PORTS_PORTMANAGER_H
