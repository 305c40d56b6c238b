// labelplu: the port settings record of a device, and the integer reading
// of its values.
#ifndef LABELPLU_PORTS_SERIALPORTSETTINGS_H
#define LABELPLU_PORTS_SERIALPORTSETTINGS_H

#include <cstdint>
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
  bool IsOpen = false;             // "IsOpen": keep the port open after switching on
  std::string NetworkPrinterName;  // "NetworkPrinterName"
  int32_t FlowControl = 2;         // "FlowControl"
  int32_t ControlDTR = 0;          // "ControlDTR"
  int32_t ControlRTS = 0;          // "ControlRTS"
  int32_t TimeOutWrite = 10;       // "TimeOutWrite", seconds
  std::string FileNamePrint;       // "FileNamePrint"

  friend bool operator==(const SerialPortSettings&, const SerialPortSettings&) = default;
};

// The decimal text ("-12", "+7") as a 32-bit integer; throws
// std::invalid_argument "'<text>' is not a valid integer value" for
// anything else (blanks, hexadecimal, overflow).
int32_t PortTextToInt(const std::string& text);

}  // namespace labelplu

#endif  // LABELPLU_PORTS_SERIALPORTSETTINGS_H
