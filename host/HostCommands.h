// labelplu host: the commands of labelhost.
//
//   labelhost [--plugin PATH] [--settings FILE] COMMAND [ARG…]
//
// Every command that loads the plug-in first hands it the device settings
// kept in the settings file (HostSession.h) and, after each request that may
// change devices, stores the driver's settings there again.
//
// Standard output carries only the answers (one JSON line per request, or
// the readable output of the device commands); messages go to standard
// error. Exit codes: 0 every request succeeded, 1 a request failed (or a
// script line was skipped, or the settings could not be stored), 2 the
// command line was wrong, the plug-in could not be loaded, the settings file
// or a script could not be read.
#ifndef LABELPLU_HOST_HOSTCOMMANDS_H
#define LABELPLU_HOST_HOSTCOMMANDS_H

#include <span>
#include <string>
#include <vector>

#include "host/HostMessages.h"
#include "host/HostSession.h"

namespace labelplu::host {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// One command of the table.
struct HostCommand {
  const char* Name;
  const char* Usage;    // the arguments, as shown in the help
  HostMessage Summary;  // one line, in the user's language
  // Runs the command with the arguments after its name; returns the exit code.
  int (*Run)(const HostOptions& options, std::span<const std::string> args);
};

// The command table, in the order of the help text.
std::span<const HostCommand> HostCommands();

// The whole help text.
std::string HostHelpText();

// Parses the command line, runs the command and returns the exit code.
int HostMain(int argc, char** argv);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_HOSTCOMMANDS_H
