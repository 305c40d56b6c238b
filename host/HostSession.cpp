#include "host/HostSession.h"

#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/JsonVariant.h"

namespace labelplu::host {

using ole::OleVariant;

namespace {

std::string SettingsPath(const HostOptions& options) {
  return options.SettingsPath.empty() ? SettingsStore::DefaultPath() : options.SettingsPath;
}

std::string PluginPath(const HostOptions& options) {
  return options.PluginPath.empty() ? PluginHost::DefaultPluginPath() : options.PluginPath;
}

}  // namespace

HostSession::HostSession(const HostOptions& options) : m_store(SettingsPath(options)) {
  // The file is checked before the plug-in is loaded: a broken file stops
  // the run however the plug-in fares.
  const std::optional<std::string> stored = m_store.Read();
  m_host = std::make_unique<PluginHost>(PluginPath(options));
  if (stored) {
    const OleVariant text{std::string_view(*stored)};
    const RequestResult loaded = m_host->Call("SettingDevices", std::span(&text, 1));
    if (!loaded.Ok) {
      throw HostError(Say(HostMessage::SettingsRefused, m_store.Path(), loaded.Message));
    }
  }
  m_stored = ListDocument();
}

HostSession::~HostSession() = default;

std::string HostSession::ListDocument() {
  // Any key that is not a GUID text asks for the list of all devices.
  const OleVariant args[] = {OleVariant(0), OleVariant()};
  const RequestResult result = m_host->Call("GetSettingsXML", args);
  if (!result.Ok) {
    throw HostError(Say(HostMessage::NoSettingsDocumentWhy, result.Message));
  }
  if (result.Args.size() >= 2) {
    // The document comes as an object whose "xml" is the text, or as the text.
    const nlohmann::ordered_json value = VariantToJson(result.Args[1]);
    if (value.is_string()) return value.get<std::string>();
    if (value.is_object() && value.contains("document") && value["document"].is_string()) {
      return value["document"].get<std::string>();
    }
  }
  throw HostError(Say(HostMessage::NoSettingsDocument));
}

bool HostSession::StoreChanges() {
  std::string current = ListDocument();
  if (current == m_stored) return false;
  m_store.Write(current);
  m_stored = std::move(current);
  return true;
}

}  // namespace labelplu::host
