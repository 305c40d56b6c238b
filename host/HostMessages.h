// labelplu host: the catalogue of labelhost's own messages.
//
// Every text labelhost writes for a person (usage errors, reports, results)
// has one row here, in English and in Russian. The language follows the
// driver's choice (UserLanguageIsRussian: Russian when the first of
// LANGUAGE, LC_ALL, LC_MESSAGES, LANG that is set starts with "ru"), so a
// host's own lines and the driver's texts it passes on read alike.
//
// A row's texts are patterns for labelplu::Format: "%s" takes a text, "%d"
// an integer, "%%" is a percent sign; both texts of a row take the same
// arguments in the same order. Add a message by adding an enumerator and
// its row in HostMessages.cpp (in the same place of both lists; a test
// checks that every enumerator has its row and that the placeholders of the
// two texts agree).
//
// Threads: constant data; the language is read from the environment on
// each call.
#ifndef LABELPLU_HOST_HOSTMESSAGES_H
#define LABELPLU_HOST_HOSTMESSAGES_H

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/Errors.h"

namespace labelplu::host {

enum class HostMessage : uint16_t {
  TryHelp,
  CsvLineError,
  CsvQuoteNeverClosed,
  CsvAfterClosingQuote,
  CsvQuoteInUnquotedField,
  CsvNotUtf8,
  CsvNoHeader,
  CsvFieldCount,
  CsvNoRecords,
  CsvReadAsCp1251,
  EncodingValues,
  CodeSuffix,
  RunTakesOneScript,
  ScriptNotReadable,
  ScriptCannotRead,
  CallNeedsName,
  GetTakesName,
  SetTakesNameValue,
  OptionNeedsPath,
  UnknownOption,
  NoCommand,
  UnknownCommand,
  NoSuchDevice,
  TakesAtMostOneDevice,
  DeviceIsEmpty,
  ManyDevices,
  NoListedDevice,
  NoDevicesConfigure,
  NoDevicesAdd,
  AddCancelled,
  AddedNoDevice,
  AddedDevice,
  PreviewClosed,
  SettingsCancelled,
  ConfiguredDevice,
  PropsNoArray,
  PropsFewColumns,
  ReadOnlyMark,
  DeviceIsOn,
  DeviceIsOff,
  DevicesNoArgs,
  NoDevices,
  StateOn,
  StateOff,
  AddTakesOneFile,
  SameCode,
  DeleteTakesDevice,
  DeletedDevice,
  SelectTakesDevice,
  SelectedDevice,
  DeviceOptionNeedsDevice,
  ParamTakesNameValue,
  ParamReadOnly,
  ParamSet,
  ShowSettingsNoArgs,
  NoSettingsYet,
  RequestNotArray,
  UnknownRequestKind,
  RequestNeedsName,
  GetRequestForm,
  SetRequestForm,
  ArgumentError,
  CannotShowAnswer,
  SkippedNotJson,
  Skipped,
  ScriptReadError,
  SettingsRefused,
  NoSettingsDocumentWhy,
  NoSettingsDocument,
  PluginCannotLoad,
  UnknownReason,
  PluginMissingExport,
  PluginWrongQuery,
  PluginNoControl,
  PluginCallFailed,
  RequestNotHandled,
  PluginUnknownException,
  HostCannotCreateValueArray,
  ClassNotAnnounced,
  NoHomeFolder,
  SettingsCannotRead,
  SettingsFileError,
  SettingsMalformed,
  SettingsNoDevices,
  SettingsCannotStore,
  CannotCreateFolder,
  CannotCreateFileIn,
  WriteError,
  CannotKeepPermissions,
  CannotFlush,
  CannotReplace,
  CannotReadFile,
  CannotOpenIt,
  CannotQueryIt,
  NotARegularFile,
  ReadError,
  HalfUtf16Character,
  NotUtf8Text,
  CannotCreateValueArray,
  NegativeArraySize,
  ArrayTooLarge,
  CannotSizeArray,
  CannotStoreCell,
  StorageMissing,
  StorageNotRegular,
  StorageCannotLoad,
  CannotReadBounds,
  CannotReadCell,
  NestedTooDeep,
  PathNotString,
  PathEmpty,
  ArrayNotTable,
  ObjectForms,
  IntegerTooBig,
  JsonTypeNotArgument,
  CannotReadArrayBounds,
  CannotReadArrayElement,
  CannotReadByRef,
  CannotShowDecimal,
  NoJsonForm,
  PaperUsage,
  PaperNeedsOutput,
  GridUsage,
  GridAutoNeedsPaper,
  GridBeyondPaper,
  GridHint,
  GridUsed,
  ParamCountRange,
  ParamDialogOnly,
  PreviewLayout,
  PreviewTakesOneDevice,
  PreviewNeedsDisplay,
  CheckSeverityError,
  CheckSeverityWarning,
  CheckNotLoaded,
  CheckUtf8Undeclared,
  CheckUnknownClass,
  CheckIncompleteSetting,
  CheckUnknownProperty,
  CheckEmptyValue,
  CheckBadValue,
  CheckAllowedValues,
  CheckOutsideLabel,
  CheckPartlyOutside,
  CheckBarcodeFails,
  CheckBarcodeTooLarge,
  CheckUnfedSource,
  CheckUnusedField,
  CheckUnusedCommonValue,
  CheckRecordFails,
  CheckUnlisted,
  CheckSummary,
  CheckNamesOr,
  CheckUsageTemplate,
  CheckUsageArgument,
  CheckUsageValue,
  CheckUsageSet,
  CheckUsageDpi,
  CheckTemplateUnreadable,
  CheckDpiUnknown,
  PrintStopped,
  PrintForced,
  CsvDamagedUtf8,
  StoredGridBeyondPaper,
  StoredGridForced,
  PrintUnknownArgument,
  PrintNeedsTemplate,
  PrintNeedsData,
  PrinterOrOutput,
  OutputSemicolon,
  NoAbsolutePath,
  DataTooManyCells,
  TemplateNotReadable,
  RecordsPrinted,
  RecordsPrintedInto,
  TemplateTooLarge,
  TemplateNotXml,
  TemplateNotLabel,
  NoResolution,
  HelpUsage,
  HelpIntro,
  HelpOptions,
  HelpCommandsHeading,
  HelpDevices,
  HelpSettings,
  HelpDialogs,
  HelpPrinting,
  HelpPrintingJob,
  HelpCsv,
  HelpTemplates,
  HelpChecking,
  HelpScript,
  HelpExit,
  HelpRun,
  HelpCall,
  HelpGet,
  HelpSet,
  HelpDevicesCommand,
  HelpAdd,
  HelpDelete,
  HelpSelect,
  HelpOn,
  HelpOff,
  HelpParam,
  HelpShowSettings,
  HelpConfigure,
  HelpPreview,
  HelpPrint,
  HelpCheck,
  CheckPictureNotFound,
  CheckPictureUnreadable,
  CheckRecordPicture,
  // Append new messages above this line.
  Count
};

struct HostMessageRow {
  HostMessage Id;
  std::string_view English;
  std::string_view Russian;
};

// Every row, in enumeration order.
std::span<const HostMessageRow> HostMessageRows();

// The pattern of id in the user's language.
std::string_view HostMessagePattern(HostMessage id);

// The message of id in the user's language, its placeholders filled from args.
template <class... A>
std::string Say(HostMessage id, const A&... args) {
  const std::array<FormatArg, sizeof...(A)> list{ToFormatArg(args)...};
  return FormatText(HostMessagePattern(id), list);
}

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_HOSTMESSAGES_H
