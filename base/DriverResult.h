// labelplu: the result codes of the driver's operations.
//
// A method handler stores one of these as its result, and a device keeps the
// last one as its ResultCode; the dispatcher turns every result but
// kResultOk into an error carrying the code and the device's text for it, so
// a host sees the numbers below. The texts of 0..14 are the printer device's
// error table (PrinterDeviceList::GetErrorText). The message numbers of the
// error table (20000..21999, base/Errors.h) are no results of this kind,
// although a print job hands one back as its result when it fails with one.
//
// The enumeration is unscoped with the fixed type int32_t so that its values
// flow into the int32_t results of the interfaces as they are.
#ifndef LABELPLU_BASE_DRIVERRESULT_H
#define LABELPLU_BASE_DRIVERRESULT_H

#include <cstdint>

namespace labelplu {

enum DriverResult : int32_t {
  // "Операция выполнена успешно".
  kResultOk = 0,
  // "Порт недоступен"; no operation of this driver gives it.
  kResultPortUnavailable = 1,
  // "Нет связи"; no operation of this driver gives it.
  kResultNoConnection = 2,
  // "Устройство не обнаружено": no current device, no device of that number,
  // name or code, or the device is switched off.
  kResultNoDevice = 3,
  // "Неверный тип параметра": an argument of a method has the wrong type.
  kResultWrongArgumentType = 4,
  // "Недопустимое значение параметра"; no operation of this driver gives it.
  kResultBadArgumentValue = 5,
  // "Ошибка устройства": the device's own error, whose text the device
  // keeps (empty in this driver); no operation of this driver gives it.
  kResultDeviceError = 6,
  // "Нет бумаги"; no operation of this driver gives it.
  kResultOutOfPaper = 7,
  // "Устройство не готово"; no operation of this driver gives it.
  kResultNotReady = 8,
  // "Принтер занят"; no operation of this driver gives it.
  kResultPrinterBusy = 9,
  // "Внутренняя ошибка": filling or printing the labels of a job failed.
  kResultJobFailed = 10,
  // "Файл шаблона этикетки не найден".
  kResultTemplateNotFound = 11,
  // "Неверная структура параметров описания значений полей": the records of
  // a job have another column count than there are field names.
  kResultFieldCountMismatch = 12,
  // "Превышено максимальное количество копий этикетки (999)".
  kResultTooManyCopies = 13,
  // "Принтер занят выполнением другого задания": a job of the device runs.
  kResultJobRunning = 14,
  // The last code of the printer device's error table.
  kResultLastWithText = kResultJobRunning,

  // A settings dialog was cancelled, or none could be shown.
  kResultCancelled = -1,
  // No device of the list has the given device code (a GUID).
  kResultUnknownDeviceCode = -1,
  // The operation is not available on this kind of device.
  kResultNotSupported = -2,
};

}  // namespace labelplu

#endif  // LABELPLU_BASE_DRIVERRESULT_H
