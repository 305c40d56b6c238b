// libFuzzer target: the model catalogue of a settings document
// (CreateModelCatalog, which DeviceList::LoadModelCatalog runs), with the
// filters the driver uses.
//
// Any text must end in a catalogue or an exception, never a crash, a hang
// or an unbounded allocation; every model kept must be found by its code.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>

#include "devices/ModelCatalog.h"
#include "fuzz/FuzzSetup.h"

using namespace labelplu;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks the filter: the driver's own ("state 0, this
  // library"), any state, or none.
  const uint8_t choice = data[0] % 3;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string_view state = choice == 0 ? "0" : choice == 1 ? "*" : "";
  const std::string_view library = choice == 0 ? "labelplu.plu" : "";
  std::unique_ptr<ModelCatalog> catalog;
  try {
    catalog = CreateModelCatalog(text, "", "", state, "", "", library);
  } catch (const std::exception&) {
    return 0;
  }
  if (!catalog) fuzz::Finding("no catalogue and no error");
  catalog->IncludeDeleted = true;
  for (int32_t i = 0; i < catalog->Count(); ++i) {
    CatalogModel& model = catalog->Item(i);
    if (!catalog->FindModelByCode(model.Code())) fuzz::Finding("a model not found by its code");
  }
  return 0;
}
