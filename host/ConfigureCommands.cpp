#include "host/ConfigureCommands.h"

#include <cstdlib>

#include <algorithm>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "host/CommandSupport.h"
#include "host/HostCommands.h"
#include "host/HostError.h"
#include "host/HostMessages.h"

namespace labelplu::host {

using ole::OleVariant;

namespace {

constexpr const char* kSettingsMethod = "SettingsDeviceEx";
constexpr const char* kAddMethod = "AddDeviceEx";

RequestResult Must(RequestResult result, const std::string& what) {
  if (!result.Ok) throw HostError(what + ": " + FailureText(result));
  return result;
}

// The number of the device a word names: digits its number, anything else
// its name (the driver's own choice rules).
int32_t ChooseDevice(HostSession& session, const std::string& key) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const OleVariant arg =
      !key.empty() && key.size() <= 9 && std::all_of(key.begin(), key.end(), digit)
          ? OleVariant(static_cast<int32_t>(std::stol(key)))
          : OleVariant(std::string_view(key));
  const RequestResult chosen = session.Host().Call("ChoiceDevice", std::span(&arg, 1));
  if (!chosen.Ok) throw HostError(Say(HostMessage::NoSuchDevice, key, FailureText(chosen)));
  return ole::VarToInt32(Must(session.Host().Get("DeviceNumber"), "DeviceNumber").Result.get());
}

// The answer of a settings method: 0 after OK; the host reports any other
// answer as a failed request with that code (-1 for cancel).
int32_t SettingsAnswer(RequestResult result, const char* method) {
  if (!result.Ok && result.Code) return *result.Code;
  return ole::VarToInt32(Must(std::move(result), method).Result.get());
}

std::string Describe(const DeviceEntry& entry, size_t number) {
  return std::to_string(number) + ": " + entry.Name + " " + entry.Code;
}

}  // namespace

int ConfigureCommand(const HostOptions& options, std::span<const std::string> args) {
  const std::string command = "configure";
  if (args.size() > 1) return UsageError(Say(HostMessage::TakesAtMostOneDevice, command));
  if (!args.empty() && args[0].empty()) return UsageError(Say(HostMessage::DeviceIsEmpty, command));
  auto session = OpenSession(options);
  if (!session) return kExitUsage;
  try {
    std::vector<DeviceEntry> entries = DeviceEntries(*session);
    size_t number = 0;
    if (!args.empty()) {
      number = static_cast<size_t>(ChooseDevice(*session, args[0]));
    } else if (entries.size() == 1) {
      number = 1;
    } else if (entries.size() > 1) {
      return UsageError(Say(HostMessage::ManyDevices, entries.size()));
    }
    if (number > entries.size()) throw HostError(Say(HostMessage::NoListedDevice));

    if (number == 0) {
      const OleVariant document{std::string_view("<Устройство/>")};
      const int32_t result =
          SettingsAnswer(session->Host().Call(kAddMethod, std::span(&document, 1)), kAddMethod);
      if (result != 0) {
        Report(Say(HostMessage::AddCancelled, result));
        return kExitFailed;
      }
      entries = DeviceEntries(*session);
      if (entries.empty()) throw HostError(Say(HostMessage::AddedNoDevice, kAddMethod));
      if (!StoreChanges(*session)) return kExitFailed;
      std::cout << Say(HostMessage::AddedDevice, Describe(entries.back(), entries.size())) << "\n";
      return kExitOk;
    }

    const DeviceEntry& device = entries[number - 1];
    const OleVariant callArgs[] = {OleVariant(std::string_view(device.Code)),
                                   OleVariant(std::string_view(session->ListDocument()))};
    const int32_t result =
        SettingsAnswer(session->Host().Call(kSettingsMethod, callArgs), kSettingsMethod);
    if (result != 0) {
      Report(Say(HostMessage::SettingsCancelled, Describe(device, number), result));
      return kExitFailed;
    }
    if (!StoreChanges(*session)) return kExitFailed;
    entries = DeviceEntries(*session);
    std::cout << Say(HostMessage::ConfiguredDevice,
                     Describe(number <= entries.size() ? entries[number - 1] : device, number))
              << "\n";
    return kExitOk;
  } catch (const std::exception& e) {
    Report(e.what());
    return kExitFailed;
  }
}

int ShowCurrentDevicePreview(HostSession& session) {
  setenv(kOpenVariable, kOpenPreview, 1);
  try {
    const std::vector<DeviceEntry> entries = DeviceEntries(session);
    const auto number = static_cast<size_t>(
        ole::VarToInt32(Must(session.Host().Get("DeviceNumber"), "DeviceNumber").Result.get()));
    if (number < 1 || number > entries.size()) throw HostError(Say(HostMessage::NoListedDevice));
    const DeviceEntry& device = entries[number - 1];
    const OleVariant callArgs[] = {OleVariant(std::string_view(device.Code)),
                                   OleVariant(std::string_view(session.ListDocument()))};
    // The dialog always ends as cancelled once the preview closes.
    SettingsAnswer(session.Host().Call(kSettingsMethod, callArgs), kSettingsMethod);
    std::cout << Say(HostMessage::PreviewClosed, Describe(device, number)) << "\n";
    return kExitOk;
  } catch (const std::exception& e) {
    Report(e.what());
    return kExitFailed;
  }
}

}  // namespace labelplu::host
