// labelplu host: the commands of labelhost that show the driver's settings
// dialog of a device to a person (the command table and the help are in
// HostCommands.cpp).
//
// Both need a display a person sees (DISPLAY or WAYLAND_DISPLAY); without
// one the driver answers "cancelled" at once and says why in its log.
#ifndef LABELPLU_HOST_CONFIGURECOMMANDS_H
#define LABELPLU_HOST_CONFIGURECOMMANDS_H

#include <span>
#include <string>

#include "host/HostSession.h"

namespace labelplu::host {

// The environment variable (and its value) that makes the driver's settings
// dialog open its preview at once and close as cancelled afterwards.
inline constexpr const char* kOpenVariable = "LABELPLU_OPEN";
inline constexpr const char* kOpenPreview = "preview";

// configure [N|NAME]: shows the settings dialog of a device
// ("ИзменитьУстройствоРасш,SettingsDeviceEx"); without a device the only
// one, and with none at all a new default device
// ("ДобавитьУстройствоРасш,AddDeviceEx", dropped again on cancel). After OK
// the settings are stored; cancel stores nothing and exits with 1.
int ConfigureCommand(const HostOptions& options, std::span<const std::string> args);
// The current device's page in the driver's preview window: its settings
// dialog with LABELPLU_OPEN=preview set in this process, so that it opens
// the preview of the stored settings (the device as the session holds it,
// what a print job would read) at once; closing the preview closes the
// dialog and nothing is stored. Returns kExitOk after the window closed,
// kExitFailed after reporting a failed request (labelhost preview, in
// PrintCommand.h, prepares the device first).
int ShowCurrentDevicePreview(HostSession& session);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_CONFIGURECOMMANDS_H
