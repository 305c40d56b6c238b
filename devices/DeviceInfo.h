// Plug-in and device information records.
#ifndef LABELPLU_DEVICES_DEVICEINFO_H
#define LABELPLU_DEVICES_DEVICEINFO_H

#include <cstdint>
#include <string>

namespace labelplu {

struct DeviceInfo {
  std::string Name;
  std::string Description;
  std::string ModelName;
  int32_t VersionMajor = 0;
  int32_t VersionMinor = 0;
  int32_t VersionBuild = 0;
  std::string InstanceKey;
  int32_t InfoKind = 1;
  uint16_t InfoFlags = 0;
  std::string Comment;
  std::string MakerName = "labelplu developers";
  std::string MakerEmail;
  std::string MakerWeb;
  std::string MakerPhone;
  std::string MakerAddress;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_DEVICEINFO_H
