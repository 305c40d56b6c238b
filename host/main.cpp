// labelhost: the command-line host of the labelplu plug-in.
#include "host/HostCommands.h"

int main(int argc, char** argv) {
  return labelplu::host::HostMain(argc, argv);
}
