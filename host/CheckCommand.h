// labelhost check: a label template, and the data a job would fill it with,
// checked for everything that would put wrong content on a label
// (label/TemplateCheck.h), one line per problem:
//
//   price.lb3:12: error: Shk #3 (dsSHK): BarCodeType="bcCode129" is not applied: ...
//   price.lb3: warning: column "Склад" feeds nothing on this template
//   price.lb3: 1 error(s), 1 warning(s)
//
//   labelhost check TEMPLATE [--data FILE.csv] [--set NAME=VALUE]... [--dpi N]
//
// print runs the same check (CheckJob) with its own data, values and the
// printer's resolution before the plug-in prints anything.
#ifndef LABELPLU_HOST_CHECKCOMMAND_H
#define LABELPLU_HOST_CHECKCOMMAND_H

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "host/HostSession.h"
#include "host/PrintCommand.h"
#include "label/TemplateCheck.h"

namespace labelplu::host {

// The resolution check assumes without --dpi: the common thermal label
// printer's, and the built-in raster printer's default.
inline constexpr int32_t kCheckDefaultDpi = 203;

// What a job would print: the template (its path as the user gave it, and
// the absolute path the job hands the driver as "Шаблон"), the data (null:
// the template alone), the --set values, the printer's resolution.
struct JobCheck {
  std::string TemplatePath;
  std::string TemplateValue;
  const PrintTables* Tables = nullptr;
  std::vector<std::pair<std::string, std::string>> Sets;
  int32_t Dpi = kCheckDefaultDpi;
  // The plug-in the job prints with (empty: PluginHost::DefaultPluginPath()):
  // picture files of relative names are looked for in its folder.
  std::string PluginPath;
};

// Checks the job and writes one line per problem, and a summary line when
// summary is set, to out (in the user's language). Throws HostError when the
// template file cannot be read. A QGuiApplication is made for the check
// when the process has no application object, and removed again.
CheckReport CheckJob(const JobCheck& job, std::ostream& out, bool summary);

// The resolution a printer name (as the device's "PrinterName" holds it,
// options included) prints at: the built-in printers' from their options or
// defaults, a CUPS queue's as the spooler reports it; kCheckDefaultDpi with
// a note on standard error when it cannot be asked.
int32_t PrinterDpi(const std::string& printerName);

// The check command: exit 0 without errors, 1 with errors, 2 for a wrong
// command line or a file that cannot be read.
int CheckCommand(const HostOptions& options, std::span<const std::string> args);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_CHECKCOMMAND_H
