// labelplu host: the file that keeps the host's device settings between runs.
//
// The file holds one settings document: the list document ("EquList") the
// driver answers for all its devices, written as the driver gave it (UTF-8).
// A document a user puts there may also be a bulk settings document
// ("Система") or a single device ("Устройство"); whatever holds device
// settings the driver can load.
//
//   SettingsStore store(SettingsStore::DefaultPath());
//   if (auto text = store.Read()) hand(*text);   // nothing stored yet: nullopt
//   store.Write(listDocument);
#ifndef LABELPLU_HOST_SETTINGSSTORE_H
#define LABELPLU_HOST_SETTINGSSTORE_H

#include <optional>
#include <string>
#include <string_view>

namespace labelplu::host {

class SettingsStore {
 public:
  explicit SettingsStore(std::string path) : m_path(std::move(path)) {}

  const std::string& Path() const { return m_path; }

  // The stored document as UTF-8 text (a byte order mark dropped, UTF-16
  // converted), or nullopt when the file does not exist. Throws HostError
  // naming the file when it cannot be read, is not text, is not well-formed
  // XML or holds no device settings (its root element is none of "EquList",
  // "Система", "Устройство" and it contains no "Устройство" element).
  std::optional<std::string> Read() const;

  // Replaces the file with text atomically: the text goes into a new file in
  // the same folder, is flushed to disk and renamed over the old one, so a
  // reader sees the old document or the new one, never a part. Missing
  // folders are created; a symbolic link is followed and its target
  // replaced; an existing file's permissions are kept. Throws HostError
  // naming the file on failure (the old file is then untouched).
  void Write(std::string_view text) const;

  // $XDG_CONFIG_HOME/labelplu/settings.xml, where an unset, empty or
  // relative XDG_CONFIG_HOME stands for ~/.config ($HOME, else the home
  // folder of the user's account). Throws HostError when no home folder is
  // known.
  static std::string DefaultPath();

 private:
  std::string m_path;
};

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_SETTINGSSTORE_H
