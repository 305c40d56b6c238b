#include "CommandSupport.h"

#include <iostream>

#include "HostCommands.h"

namespace labelplu::host {

int UsageError(const std::string& message) {
  std::cerr << "labelhost: " << message << "\nTry 'labelhost --help'." << std::endl;
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

}  // namespace labelplu::host
