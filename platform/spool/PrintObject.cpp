// labelplu: the process-wide print object.
#include "PrintObject.h"

#include "SpoolPrintObject.h"

namespace labelplu::spool {

namespace {

// Constant-initialised: the plug-in module runs no initialisers at load.
constinit TPrintObject* g_instance = nullptr;

}  // namespace

TPrintObject& TPrintObject::Instance() {
  if (g_instance == nullptr) g_instance = new TSpoolPrintObject();
  return *g_instance;
}

void TPrintObject::ReleaseInstance() {
  TPrintObject* object = g_instance;
  g_instance = nullptr;
  if (object == nullptr) return;
  object->Abort();
  delete object;
}

}  // namespace labelplu::spool
