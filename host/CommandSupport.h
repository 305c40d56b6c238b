// labelplu host: what the commands of labelhost share (HostCommands.h has
// the table, the options and the exit codes).
#ifndef LABELPLU_HOST_COMMANDSUPPORT_H
#define LABELPLU_HOST_COMMANDSUPPORT_H

#include <memory>
#include <string>
#include <vector>

#include "host/HostSession.h"

namespace labelplu::host {

// Reports a wrong command line on standard error; returns kExitUsage.
int UsageError(const std::string& message);

// Reports a message on standard error ("labelhost: " first).
void Report(const std::string& message);

// A new session, or null after reporting why it could not start.
std::unique_ptr<HostSession> OpenSession(const HostOptions& options);

// session.StoreChanges(); false after reporting a failure.
bool StoreChanges(HostSession& session);

// One device of the driver's list document.
struct DeviceEntry {
  std::string Code;
  std::string Name;
};

// The devices of the driver's list document, in list order.
std::vector<DeviceEntry> DeviceEntries(HostSession& session);

// A failed request as text: its message and, when it has one, its code.
std::string FailureText(const RequestResult& result);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_COMMANDSUPPORT_H
