// labelplu host: one run of labelhost against the plug-in and the stored
// device settings.
//
//   HostSession session(options);            // plug-in loaded, settings handed over
//   session.Host().Call("AddDevice", args);
//   session.StoreChanges();                   // the driver's devices into the file
//
// The settings file (SettingsStore.h) is handed to the driver at start with
// "НастроитьУстройства,SettingDevices"; afterwards the driver's list document
// ("ПолучитьНастройкиXML,GetSettingsXML" with the key 0) is the state that
// StoreChanges keeps in the file. Only the devices and their parameters are
// kept: which device is selected and whether a device is switched on last
// for the run alone.
#ifndef LABELPLU_HOST_HOSTSESSION_H
#define LABELPLU_HOST_HOSTSESSION_H

#include <memory>
#include <string>

#include "host/PluginHost.h"
#include "host/SettingsStore.h"

namespace labelplu::host {

// The options given before the command.
struct HostOptions {
  std::string PluginPath;    // empty: PluginHost::DefaultPluginPath()
  std::string SettingsPath;  // empty: SettingsStore::DefaultPath()
};

class HostSession {
 public:
  // Reads the settings file, loads the plug-in and hands the driver the
  // stored document when there is one; then takes the driver's list document
  // as the stored state. Throws HostError naming the file or the module:
  // a settings file that cannot be read or is malformed, a plug-in that does
  // not load, a document the driver refuses.
  explicit HostSession(const HostOptions& options);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  PluginHost& Host() { return *m_host; }
  const SettingsStore& Store() const { return m_store; }

  // The driver's list document of all its devices, as text. Throws HostError
  // when the driver does not answer one.
  std::string ListDocument();

  // Writes the driver's list document into the settings file when it differs
  // from the state loaded or last stored; returns whether it wrote. Throws
  // HostError (naming the file) when the document cannot be read or stored.
  bool StoreChanges();

 private:
  SettingsStore m_store;
  std::unique_ptr<PluginHost> m_host;
  std::string m_stored;
};

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_HOSTSESSION_H
