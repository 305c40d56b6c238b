#include "host/DeviceCommands.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>
#include <vector>

#include "host/CommandSupport.h"
#include "host/FileText.h"
#include "host/HostCommands.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/ValueArrays.h"
#include "print/LabelGrid.h"

namespace labelplu::host {

using ole::OleVariant;

namespace {

// What stops a command: the message and the exit code.
class CommandError : public HostError {
 public:
  CommandError(int exitCode, const std::string& message)
      : HostError(message), m_exitCode(exitCode) {}
  int ExitCode() const { return m_exitCode; }

 private:
  int m_exitCode;
};

std::string Describe(const std::vector<DeviceEntry>& entries, int32_t number) {
  std::string text = std::to_string(number);
  if (number >= 1 && static_cast<size_t>(number) <= entries.size()) {
    const DeviceEntry& entry = entries[static_cast<size_t>(number) - 1];
    text += ": " + entry.Name + " " + entry.Code;
  }
  return text;
}

RequestResult Must(RequestResult result, const std::string& what) {
  if (!result.Ok) throw CommandError(kExitFailed, what + ": " + FailureText(result));
  return result;
}

int32_t IntOf(const RequestResult& result) {
  return ole::VarToInt32(result.Result.get());
}

RequestResult Call(HostSession& session, const char* name, const OleVariant& arg) {
  return Must(session.Host().Call(name, std::span(&arg, 1)), name);
}

int32_t ReadInt(HostSession& session, const char* name) {
  return IntOf(Must(session.Host().Get(name), name));
}

// A word of the command line naming a device: digits are its number,
// anything else its name.
OleVariant DeviceKey(const std::string& word) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!word.empty() && word.size() <= 9 && std::all_of(word.begin(), word.end(), digit)) {
    return OleVariant(static_cast<int32_t>(std::stol(word)));
  }
  return OleVariant(std::string_view(word));
}

// Makes the device that key names current; without a key the current one
// stays, or the only device is taken. Returns its number.
int32_t ChooseDevice(HostSession& session, const std::optional<std::string>& key) {
  if (key) {
    const OleVariant arg = DeviceKey(*key);
    const RequestResult chosen = session.Host().Call("ChoiceDevice", std::span(&arg, 1));
    if (!chosen.Ok) {
      throw CommandError(kExitFailed, Say(HostMessage::NoSuchDevice, *key, FailureText(chosen)));
    }
  } else if (ReadInt(session, "DeviceNumber") <= 0) {
    const int32_t count = ReadInt(session, "DevicesQuantity");
    if (count == 0) {
      throw CommandError(kExitFailed, Say(HostMessage::NoDevicesAdd));
    }
    if (count > 1) {
      throw CommandError(kExitUsage, Say(HostMessage::ManyDevices, count));
    }
    Call(session, "ChoiceDevice", OleVariant(1));
  }
  return ReadInt(session, "DeviceNumber");
}

// ---- the table of `devices` ----

size_t DisplayWidth(const std::string& text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, size_t width) {
  const size_t shown = DisplayWidth(text);
  return shown >= width ? text : text + std::string(width - shown, ' ');
}

// A cell as one line of text: a line break (CR LF, LF or CR) shown as \n.
std::string CellText(ISafeArray* table, int32_t row, int32_t col) {
  const std::string text = ole::VarToText(GetCell(table, row, col).get());
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The property table of the current device (GetProps): row 0 the device,
// then one row per parameter; columns name, caption, hint, type, value,
// read-only, default.
ole::ComPtr<ISafeArray> PropsTable(HostSession& session, int32_t& rows, int32_t& cols) {
  const RequestResult props = Call(session, "GetProps", OleVariant());
  ole::ComPtr<ISafeArray> table;
  if (!props.Args.empty()) table = AsValueArray(props.Args[0].get());
  if (!table) throw HostError(Say(HostMessage::PropsNoArray));
  GetBounds(table.get(), &rows, &cols);
  if (cols < 7) throw HostError(Say(HostMessage::PropsFewColumns));
  return table;
}

void PrintParameters(HostSession& session) {
  int32_t rows = 0;
  int32_t cols = 0;
  const ole::ComPtr<ISafeArray> table = PropsTable(session, rows, cols);
  struct Line {
    std::string Name, Value, Caption;
  };
  std::vector<Line> lines;
  size_t nameWidth = 0;
  size_t valueWidth = 0;
  // Row 0 is the device's own name.
  for (int32_t row = 1; row < rows; ++row) {
    Line line{CellText(table.get(), row, 0), CellText(table.get(), row, 4),
              CellText(table.get(), row, 1)};
    if (ole::VarToInt32(GetCell(table.get(), row, 5).get()) != 0)
      line.Caption += Say(HostMessage::ReadOnlyMark);
    nameWidth = std::max(nameWidth, DisplayWidth(line.Name));
    valueWidth = std::max(valueWidth, DisplayWidth(line.Value));
    lines.push_back(std::move(line));
  }
  for (const Line& line : lines) {
    std::string text = "    " + Padded(line.Name, nameWidth) + "  " +
                       Padded(line.Value, valueWidth) + "  " + line.Caption;
    text.erase(text.find_last_not_of(' ') + 1);
    std::cout << text << '\n';
  }
}

// ---- running a command ----

template <class Body>
int WithSession(const HostOptions& options, Body body) {
  auto session = OpenSession(options);
  if (!session) return kExitUsage;
  try {
    return body(*session);
  } catch (const CommandError& e) {
    Report(e.what());
    return e.ExitCode();
  } catch (const std::exception& e) {
    Report(e.what());
    return kExitFailed;
  }
}

// Settings the device's table marks read-only because hosts may not write
// them; labelhost, the device's owner here, sets those that printing reads:
// the labels across and down (whole numbers in the dialog's range) and the
// printer. Returns false, after throwing for a bad value, for a setting it
// leaves read-only.
bool OwnerMaySet(const std::string& name, const std::string& value) {
  if (name == "MaxHorizontal" || name == "MaxVertical") {
    int32_t count = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), count);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() || count < 1 ||
        count > kMaxGridCount) {
      throw CommandError(kExitUsage, Say(HostMessage::ParamCountRange, name, kMaxGridCount));
    }
    return true;
  }
  if (name == "PrinterName") return true;
  if (name == "PaperIndex" || name == "AutoPaperMargin") {
    throw CommandError(kExitFailed, Say(HostMessage::ParamDialogOnly, name));
  }
  return false;
}

int SwitchCommand(const HostOptions& options, std::span<const std::string> args, bool on) {
  const std::string command = on ? "on" : "off";
  if (args.size() > 1) return UsageError(Say(HostMessage::TakesAtMostOneDevice, command));
  std::optional<std::string> key;
  if (!args.empty()) {
    if (args[0].empty()) return UsageError(Say(HostMessage::DeviceIsEmpty, command));
    key = args[0];
  }
  return WithSession(options, [&](HostSession& session) {
    const int32_t number = ChooseDevice(session, key);
    // The argument is ignored by the driver; it only fills the slot.
    Call(session, on ? "SwitchOn" : "SwitchOff", OleVariant(0));
    const bool isOn = ReadInt(session, "DeviceIsOn") != 0;
    session.StoreChanges();
    std::cout << Say(isOn ? HostMessage::DeviceIsOn : HostMessage::DeviceIsOff,
                     Describe(DeviceEntries(session), number))
              << "\n";
    return kExitOk;
  });
}

}  // namespace

int DevicesCommand(const HostOptions& options, std::span<const std::string> args) {
  if (!args.empty()) return UsageError(Say(HostMessage::DevicesNoArgs));
  return WithSession(options, [&](HostSession& session) {
    const std::vector<DeviceEntry> entries = DeviceEntries(session);
    if (entries.empty()) std::cout << Say(HostMessage::NoDevices) << "\n";
    for (size_t i = 0; i < entries.size(); ++i) {
      const int32_t number = static_cast<int32_t>(i + 1);
      Call(session, "ChoiceDevice", OleVariant(number));
      const bool isOn = ReadInt(session, "DeviceIsOn") != 0;
      std::cout << number << "  " << entries[i].Name << "  " << entries[i].Code << "  "
                << Say(isOn ? HostMessage::StateOn : HostMessage::StateOff) << '\n';
      PrintParameters(session);
    }
    return kExitOk;
  });
}

int AddCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() > 1) return UsageError(Say(HostMessage::AddTakesOneFile));
  std::string document = "<Устройство/>";
  if (!args.empty()) {
    try {
      document = ReadTextFile(args[0]);
    } catch (const std::exception& e) {
      Report(e.what());
      return kExitUsage;
    }
  }
  return WithSession(options, [&](HostSession& session) {
    const int32_t before = ReadInt(session, "DevicesQuantity");
    const OleVariant arg{std::string_view(document)};
    const RequestResult added = session.Host().Call("AddDevice", std::span(&arg, 1));
    // A device whose document failed to load stays in the driver's list;
    // it is taken out again so that it is never stored.
    const auto undo = [&] {
      const int32_t after = ReadInt(session, "DevicesQuantity");
      if (after > before) Call(session, "DeleteDevice", OleVariant(after));
    };
    if (!added.Ok) {
      undo();
      throw CommandError(kExitFailed, "AddDevice: " + FailureText(added));
    }
    const std::vector<DeviceEntry> entries = DeviceEntries(session);
    if (entries.empty()) throw HostError(Say(HostMessage::AddedNoDevice, "AddDevice"));
    const DeviceEntry& newest = entries.back();
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
      if (entries[i].Code == newest.Code) {
        undo();
        throw CommandError(kExitFailed, Say(HostMessage::SameCode,
                                            Describe(entries, static_cast<int32_t>(i + 1))));
      }
    }
    session.StoreChanges();
    std::cout << Say(HostMessage::AddedDevice,
                     Describe(entries, static_cast<int32_t>(entries.size())))
              << "\n";
    return kExitOk;
  });
}

int DeleteCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 1 || args[0].empty()) return UsageError(Say(HostMessage::DeleteTakesDevice));
  return WithSession(options, [&](HostSession& session) {
    const int32_t number = ChooseDevice(session, args[0]);
    const std::string shown = Describe(DeviceEntries(session), number);
    Call(session, "DeleteDevice", OleVariant(number));
    session.StoreChanges();
    std::cout << Say(HostMessage::DeletedDevice, shown) << "\n";
    return kExitOk;
  });
}

int SelectCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 1 || args[0].empty()) return UsageError(Say(HostMessage::SelectTakesDevice));
  return WithSession(options, [&](HostSession& session) {
    const int32_t number = ChooseDevice(session, args[0]);
    std::cout << Say(HostMessage::SelectedDevice, Describe(DeviceEntries(session), number)) << "\n";
    return kExitOk;
  });
}

int OnCommand(const HostOptions& options, std::span<const std::string> args) {
  return SwitchCommand(options, args, true);
}

int OffCommand(const HostOptions& options, std::span<const std::string> args) {
  return SwitchCommand(options, args, false);
}

int ParamCommand(const HostOptions& options, std::span<const std::string> args) {
  std::optional<std::string> key;
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--device") {
      if (i + 1 >= args.size()) return UsageError(Say(HostMessage::DeviceOptionNeedsDevice));
      key = args[++i];
    } else if (args[i].starts_with("--device=")) {
      key = args[i].substr(9);
    } else {
      words.push_back(args[i]);
    }
  }
  if (key && key->empty()) return UsageError(Say(HostMessage::DeviceOptionNeedsDevice));
  if (words.size() != 2 || words[0].empty()) {
    return UsageError(Say(HostMessage::ParamTakesNameValue));
  }
  const std::string& name = words[0];
  const OleVariant value{std::string_view(words[1])};
  return WithSession(options, [&](HostSession& session) {
    const int32_t number = ChooseDevice(session, key);
    int32_t rows = 0;
    int32_t cols = 0;
    const ole::ComPtr<ISafeArray> table = PropsTable(session, rows, cols);
    int32_t found = 0;
    for (int32_t row = 1; row < rows && found == 0; ++row) {
      if (ole::VarToText(GetCell(table.get(), row, 0).get()) == name) found = row;
    }
    std::string shown;
    if (found > 0) {
      // Through the property table the driver checks the value against the
      // parameter's type, and every parameter is reachable, not only those
      // that are properties.
      if (ole::VarToInt32(GetCell(table.get(), found, 5).get()) != 0 &&
          !OwnerMaySet(name, words[1])) {
        throw CommandError(kExitFailed, Say(HostMessage::ParamReadOnly, name));
      }
      const ole::ComPtr<ISafeArray> change = NewValueArray(1, cols);
      for (int32_t col = 0; col < cols; ++col) {
        SetCell(change.get(), 0, col,
                col == 4 ? value.get() : GetCell(table.get(), found, col).get());
      }
      Call(session, "SetProps", OleVariant(static_cast<IDispatch*>(change.get())));
      shown = ole::VarToText(GetCell(PropsTable(session, rows, cols).get(), found, 4).get());
    } else {
      // Not a parameter name the device lists: the English name of a
      // parameter property, or a name the driver refuses.
      Must(session.Host().Set(name, value), name);
      shown = ole::VarToText(Must(session.Host().Get(name), name).Result.get());
    }
    session.StoreChanges();
    std::cout << Say(HostMessage::ParamSet, Describe(DeviceEntries(session), number), name, shown)
              << '\n';
    return kExitOk;
  });
}

int ShowSettingsCommand(const HostOptions& options, std::span<const std::string> args) {
  if (!args.empty()) return UsageError(Say(HostMessage::ShowSettingsNoArgs));
  try {
    const SettingsStore store(options.SettingsPath.empty() ? SettingsStore::DefaultPath()
                                                           : options.SettingsPath);
    const std::optional<std::string> text = store.Read();
    if (!text) {
      Report(Say(HostMessage::NoSettingsYet, store.Path()));
      return kExitOk;
    }
    std::cout << *text;
    if (!text->empty() && text->back() != '\n') std::cout << '\n';
    return kExitOk;
  } catch (const std::exception& e) {
    Report(e.what());
    return kExitUsage;
  }
}

}  // namespace labelplu::host
