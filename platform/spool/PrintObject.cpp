// labelplu: the process-wide print object.
#include "platform/spool/PrintObject.h"

#include "platform/spool/SpoolPrintObject.h"

namespace labelplu::spool {

namespace {

// Constant-initialised: the plug-in module runs no initialisers at load.
constinit PrintObject* g_instance = nullptr;

}  // namespace

PrintObject& PrintObject::Instance() {
  if (g_instance == nullptr) g_instance = new SpoolPrintObject();
  return *g_instance;
}

void PrintObject::ReleaseInstance() {
  PrintObject* object = g_instance;
  g_instance = nullptr;
  if (object == nullptr) return;
  object->Abort();
  delete object;
}

}  // namespace labelplu::spool
