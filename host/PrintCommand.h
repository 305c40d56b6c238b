// labelplu host: `labelhost print`, the main job: a label template filled
// from a CSV file and printed.
//
//   labelhost print --template FILE --data FILE.csv [--set NAME=VALUE]...
//                   [--printer NAME | --output FILE.pdf]
//                   [--paper A4|A5|A6|Letter|WxH|label] [--grid CxR|auto]
//                   [--device N|NAME] [--verify] [--force]
//                   [--encoding auto|utf-8|cp1251]
//
// The CSV file is read as --encoding says (auto: UTF-8 when it is valid
// UTF-8, else Windows-1251, which is then said on standard error); a file
// with a header and no records prints nothing and exits with 1.
// The device: the one --device names, else the first; when the driver has
// no device, a default one is added. It is switched on for the run. The CSV
// header gives the field names, every other row one label; --set adds
// common parameters, and the template goes in as the common parameter
// "Шаблон" (an absolute path). --printer sets the device's printer,
// --output the built-in PDF printer writing FILE, on the paper --paper
// names (a paper name, millimetres, or "label" for the template's own size;
// A4 without). --grid sets the labels across and down (MaxHorizontal,
// MaxVertical) for the run: as given, or with "auto" as many as fit the
// paper (the settings dialog's automatic placement, print/LabelGrid.h), which
// needs a built-in printer's paper. A given grid that reaches beyond the
// paper stops the run; a paper that holds more labels than the job places
// gets a hint on standard error.
// --verify reads every barcode of every label back before anything is
// printed (the "verify=1" option of the printer name) and stops the job at
// the first label whose barcode does not read as its value. Before the
// plug-in prints, the template and the data are checked (CheckCommand.h) at
// the printer's resolution: errors stop the job with exit 1 unless --force
// is given; warnings go to standard error. What print
// changes (a device it adds, the printer) lasts for the run: it never
// writes the settings file.
#ifndef LABELPLU_HOST_PRINTCOMMAND_H
#define LABELPLU_HOST_PRINTCOMMAND_H

#include <span>
#include <string>
#include <vector>

#include "host/CsvReader.h"
#include "host/HostSession.h"

namespace labelplu::host {

// The print command; exit 0 when the driver answered 0, 1 for another
// result, a failed request or a CSV file without records, 2 for a wrong command line or a file that
// cannot be read (a malformed CSV is reported with its line number, and
// nothing is printed).
int PrintCommand(const HostOptions& options, std::span<const std::string> args);

// preview [N|NAME] [print's options]: the page print would lay out, in the
// driver's preview window. The device, its printer and paper (--printer,
// --output, --paper), the labels across and down (--grid) and the template
// (--template, else the device's default template) are prepared as print
// prepares them, for the run only; --data is read and checked as print
// reads it. The labels show the template's own values.
int PreviewCommand(const HostOptions& options, std::span<const std::string> args);

// The label size of a template file in millimetres ("Width" and "Height"
// of its root; 50 for a side that is missing or not a number, as the
// driver reads it). Throws HostError when the file cannot be read or is not
// a template.
void TemplateSize(const std::string& path, double& width, double& height);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_PRINTCOMMAND_H
