// Runs a program and collects its exit code, standard output and standard
// error (for tests of labelhost).
#ifndef LABELPLU_TESTS_HOST_SUBPROCESS_H
#define LABELPLU_TESTS_HOST_SUBPROCESS_H

#include <map>
#include <string>
#include <vector>

namespace labelplu::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs argv[0] (a path) with argv, the environment of this process changed by
// env (an empty value removes the variable) and stdinText on its standard
// input. Gives up (killing the program) after timeoutSeconds.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env = {},
                         const std::string& stdinText = "", int timeoutSeconds = 60);

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_HOST_SUBPROCESS_H
