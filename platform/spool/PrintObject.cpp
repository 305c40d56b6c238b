// labelplu: the process-wide print object.
#include "platform/spool/PrintObject.h"

#include "platform/spool/SpoolPrintObject.h"

namespace labelplu::spool {

namespace {

std::string NotFoundMessage(std::string_view name, const std::vector<std::string>& printers) {
  std::string message = "printer \"" + std::string(name) + "\" is not installed; the printers are ";
  for (size_t i = 0; i < printers.size(); ++i)
    message += (i == 0 ? "\"" : ", \"") + printers[i] + "\"";
  return message;
}

// Constant-initialised: the plug-in module runs no initialisers at load.
constinit PrintObject* g_instance = nullptr;

}  // namespace

PrinterNotFound::PrinterNotFound(std::string_view name, const std::vector<std::string>& printers)
    : PrinterUnavailable(NotFoundMessage(name, printers)), m_name(name) {}

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
