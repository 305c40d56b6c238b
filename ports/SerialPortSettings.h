// labelplu: the port settings record of a device and its loading from
// named text values.
#ifndef LABELPLU_PORTS_SERIALPORTSETTINGS_H
#define LABELPLU_PORTS_SERIALPORTSETTINGS_H

#include <cstdint>
#include <functional>
#include <string>

namespace labelplu {

// The port settings of one device. The index fields (ComNumber, Baud,
// DataBits, StopBits) are positions in the port value tables of the
// settings documents (Baud 4 is 9600, DataBits 0 is 8, StopBits 1 is one
// stop bit). The initializers are the values a new port manager starts
// with. Each field is named after the setting key that fills it.
struct SerialPortSettings {
  std::string ComName;             // "ComName"
  int32_t ComNumber = 0;           // "ComNumber"
  int32_t Baud = 4;                // "Baud"
  int32_t DataBits = 0;            // "DataBits"
  int32_t StopBits = 1;            // "StopBits"
  int32_t Parity = 0;              // "Parity"
  bool UseEventWord = true;        // "UseEventWord"
  bool RS485Mode = false;          // "RS485Mode"
  int32_t BaseAddress = 0;         // "BaseAddress"
  int32_t InSize = 4096;           // "InSize"
  int32_t OutSize = 4096;          // "OutSize"
  int32_t BufferFull = 0;          // "BufferFull"
  int32_t BufferResume = 0;        // "BufferResume"
  int32_t SWFlowOptions = 0;       // "SWFlowOptions"
  int32_t XOnChar = 17;            // "XOnChar"
  int32_t XOffChar = 19;           // "XOffChar"
  std::string DeviceName;          // no setting key
  bool IsOpen = false;             // "IsOpen": keep the port open after switching on
  std::string NetworkPrinterName;  // "NetworkPrinterName"
  int32_t FlowControl = 2;         // "FlowControl"
  int32_t ControlDTR = 0;          // "ControlDTR"
  int32_t ControlRTS = 0;          // "ControlRTS"
  int32_t TimeOutWrite = 10;       // "TimeOutWrite", seconds
  std::string FileNamePrint;       // "FileNamePrint"

  friend bool operator==(const SerialPortSettings&, const SerialPortSettings&) = default;
};

// Gives the text stored under a setting key; an empty text means the key
// is absent.
using SettingLookup = std::function<std::string(const std::string& key)>;

// Fills settings from lookup, key by key in this order: ComName, ComNumber,
// Baud, DataBits, StopBits, Parity, UseEventWord, RS485Mode, BaseAddress,
// InSize, OutSize, BufferFull, BufferResume, ControlDTR, ControlRTS,
// FlowControl, SWFlowOptions, XOnChar, XOffChar, TimeOutWrite, IsOpen,
// NetworkPrinterName, FileNamePrint. An absent or empty value leaves its
// field unchanged. Integers are decimal ("-12", "+7"; 32-bit). Booleans
// accept "True"/"False" (ASCII case ignored) or a decimal integer, true
// when not 0. A value that does not convert throws std::invalid_argument
// "'<text>' is not a valid integer value" (or "... boolean value"); the
// fields read before it keep their new values.
void LoadSerialPortSettings(SerialPortSettings& settings, const SettingLookup& lookup);

// The decimal text as a 32-bit integer; throws std::invalid_argument as
// above for anything else (blanks, hexadecimal, overflow).
int32_t PortTextToInt(const std::string& text);

}  // namespace labelplu

#endif  // LABELPLU_PORTS_SERIALPORTSETTINGS_H
