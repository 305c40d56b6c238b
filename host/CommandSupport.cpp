#include "host/CommandSupport.h"

#include <iostream>

#include "host/HostCommands.h"
#include "host/HostMessages.h"
#include "platform/xml/XmlDom.h"

namespace labelplu::host {

int UsageError(const std::string& message) {
  std::cerr << "labelhost: " << message << "\n" << Say(HostMessage::TryHelp) << std::endl;
  return kExitUsage;
}

void Report(const std::string& message) {
  std::cerr << "labelhost: " << message << std::endl;
}

std::unique_ptr<HostSession> OpenSession(const HostOptions& options) {
  try {
    return std::make_unique<HostSession>(options);
  } catch (const std::exception& e) {
    Report(e.what());
    return nullptr;
  }
}

bool StoreChanges(HostSession& session) {
  try {
    session.StoreChanges();
    return true;
  } catch (const std::exception& e) {
    Report(e.what());
    return false;
  }
}

std::vector<DeviceEntry> DeviceEntries(HostSession& session) {
  xml::XmlDocument document;
  document.loadXML(session.ListDocument());
  std::vector<DeviceEntry> entries;
  const xml::XmlNode root = document.documentElement();
  if (!root) return entries;
  for (const xml::XmlNode& node : root.childNodes()) {
    if (node.nodeType() != xml::NodeType::Element || node.nodeName() != "Устройство") continue;
    entries.push_back(
        {node.getAttribute("Код").value_or(""), node.getAttribute("Наименование").value_or("")});
  }
  return entries;
}

std::string FailureText(const RequestResult& result) {
  return result.Code ? Say(HostMessage::CodeSuffix, result.Message, *result.Code) : result.Message;
}

}  // namespace labelplu::host
