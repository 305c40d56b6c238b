// labelplu host: the device commands of labelhost, for everyday work with
// the driver's device registry without writing requests (the command table
// and the help are in HostCommands.cpp).
//
// A device is named by its number (1-based, as the driver counts) or by its
// name (any letter case). Commands that work on one device and are given
// none take the only device when there is exactly one.
#ifndef LABELPLU_HOST_DEVICECOMMANDS_H
#define LABELPLU_HOST_DEVICECOMMANDS_H

#include <span>
#include <string>

#include "host/HostSession.h"

namespace labelplu::host {

// devices: every device with its number, name, code, on/off state and its
// parameters (name, value, caption) as a table on standard output.
int DevicesCommand(const HostOptions& options, std::span<const std::string> args);
// add [FILE]: adds a device from a settings document file (a default device
// without one) and stores the settings. A device whose code another device
// already has is refused (loading the settings would merge the two).
int AddCommand(const HostOptions& options, std::span<const std::string> args);
// delete N|NAME: deletes a device and stores the settings.
int DeleteCommand(const HostOptions& options, std::span<const std::string> args);
// select N|NAME: selects a device and shows which one it is.
int SelectCommand(const HostOptions& options, std::span<const std::string> args);
// on [N|NAME], off [N|NAME]: switches a device on or off and shows its state.
int OnCommand(const HostOptions& options, std::span<const std::string> args);
int OffCommand(const HostOptions& options, std::span<const std::string> args);
// param [--device N|NAME] NAME VALUE: sets a parameter of a device and
// stores the settings.
int ParamCommand(const HostOptions& options, std::span<const std::string> args);
// show-settings: prints the stored settings document (no plug-in needed).
int ShowSettingsCommand(const HostOptions& options, std::span<const std::string> args);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_DEVICECOMMANDS_H
