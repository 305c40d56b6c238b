// Running the built labelhost against the real plug-in in the tests, each
// run with its own settings: nothing a test does reaches the settings of the
// person running the tests.
#ifndef LABELPLU_TESTS_HOST_LABELHOSTRUN_H
#define LABELPLU_TESTS_HOST_LABELHOSTRUN_H

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/host/Subprocess.h"

namespace labelplu::test {

// A folder the test environment names (the test main sets them).
std::string EnvPath(const char* name);
// A file of the build's bin folder (labelhost, labelplu.plu).
std::string BinPath(const std::string& file);
// A file of the source tree.
std::string SourcePath(const std::string& file);

// The text of a file ("" when it cannot be read).
std::string FileText(const std::filesystem::path& path);

// The lines of a text.
std::vector<std::string> Lines(const std::string& text);

// Runs labelhost with args. The language decides the messages of labelhost
// and of the driver (English unless lang is Russian, such as "ru_RU.UTF-8"):
// LANG is lang and every variable that could override it is removed. HOME
// and XDG_CONFIG_HOME point into a folder of this test program unless env
// sets them, so a run without --settings never finds the user's settings;
// env may change further variables (an empty value removes one).
ProcessResult Labelhost(std::vector<std::string> args, const std::string& input = "",
                        const std::map<std::string, std::string>& env = {},
                        const std::string& lang = "C.UTF-8");

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_HOST_LABELHOSTRUN_H
