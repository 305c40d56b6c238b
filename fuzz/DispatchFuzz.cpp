// libFuzzer target: the driver's request layout through Dispatch. A driver
// object of the module's own class (without the module around it) gets a
// chain of requests built from the input: names from its method and
// property tables or made up, any request kind, arguments of every type a
// host passes (by value and by reference, value arrays included) in any
// number, control commands, with or without a task context.
//
// Any chain must end in answers or an exception, never a crash, a hang or an
// unbounded allocation, and leave devices whose settings document loads
// back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/FuzzSetup.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"
#include "plugin/BaseMethods.h"
#include "plugin/SpoolerLabelDriver.h"
#include "print/PrinterDevice.h"
#include "values/ValueArray.h"

using namespace labelplu;

namespace {

std::vector<std::string> g_names;

// Texts a host hands over: a settings document, template and printer
// names, a device number.
const char* const kTexts[] = {
    "<?xml version=\"1.0\"?><Система><Оборудование><Устройство "
    "Код=\"{0B6A3C2E-5D41-4F7A-9C3B-1E2D3F4A5B6C}\" "
    "КодМодели=\"{7785F5AB-7C69-459E-915C-4D66F2EC68B9}\" Наименование=\"Склад\"><Параметры>"
    "<Параметр Идентификатор=\"ШаблонПоУмолчанию\" Значение=\"price.lb3\"/>"
    "</Параметры></Устройство></Оборудование></Система>",
    "<Устройство Код=\"{9F8E7D6C-5B4A-4392-8171-605F4E3D2C1B}\" Наименование=\"Касса 2\"/>",
    "{0B6A3C2E-5D41-4F7A-9C3B-1E2D3F4A5B6C}",
    "price.lb3",
    "labelplu Raster; dpi=203",
    "Склад",
    "1",
    "",
};

// Splits "Имя,Name" into both halves.
void AddNames(std::string_view both) {
  while (!both.empty()) {
    const size_t comma = both.find(',');
    g_names.emplace_back(both.substr(0, comma));
    if (comma == std::string_view::npos) break;
    both.remove_prefix(comma + 1);
  }
}

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};

// Variants the by-reference arguments point at; cleared with the input.
struct Referents {
  std::deque<VARIANT> values;
  VARIANT& Next() {
    values.emplace_back();
    VariantInit(&values.back());
    return values.back();
  }
  ~Referents() {
    for (VARIANT& v : values) VariantClear(&v);
  }
};

ole::OleVariant Text(FuzzedDataProvider& in) {
  std::string text =
      in.ConsumeBool()
          ? std::string(kTexts[in.ConsumeIntegralInRange<size_t>(0, std::size(kTexts) - 1)])
          : in.ConsumeRandomLengthString(64);
  try {
    return ole::OleVariant(std::string_view(text));
  } catch (const std::exception&) {
    return ole::OleVariant("?");  // not UTF-8
  }
}

ole::OleVariant Table(FuzzedDataProvider& in) {
  ole::ComPtr<ISafeArray> table = CreateValueArray();
  const int32_t rows = in.ConsumeIntegralInRange<int32_t>(0, 4);
  const int32_t cols = in.ConsumeIntegralInRange<int32_t>(0, 4);
  ole::OleCheck(table->SetBounds(rows, cols));
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < cols; ++c) {
      ole::OleVariant cell = Text(in);
      ole::OleCheck(table->SetValue(r, c, &cell.get()));
    }
  return ole::OleVariant(static_cast<IDispatch*>(table.get()));
}

ole::OleVariant Argument(FuzzedDataProvider& in, Referents& referents) {
  switch (in.ConsumeIntegralInRange<int>(0, 10)) {
    case 0:
      return {};
    case 1: {
      ole::OleVariant v;
      v.get().vt = VT_NULL;
      return v;
    }
    case 2:
      return ole::OleVariant(in.ConsumeIntegral<int32_t>());
    case 3:
      return ole::OleVariant(in.ConsumeIntegralInRange<int32_t>(-2, 12));
    case 4:
      return ole::OleVariant(in.ConsumeFloatingPoint<double>());
    case 5:
      return ole::OleVariant(in.ConsumeBool());
    case 6:
      return Table(in);
    case 7: {  // a reference to a variant holding any of the above
      VARIANT& target = referents.Next();
      target = Argument(in, referents).release();
      ole::OleVariant ref;
      ref.get().vt = VT_VARIANT | VT_BYREF;
      ref.get().pvarVal = &target;
      return ref;
    }
    case 8: {  // a reference to a 32-bit integer
      VARIANT& target = referents.Next();
      target.vt = VT_I4;
      target.lVal = in.ConsumeIntegral<int32_t>();
      ole::OleVariant ref;
      ref.get().vt = VT_I4 | VT_BYREF;
      ref.get().plVal = &target.lVal;
      return ref;
    }
    default:
      return Text(in);
  }
}

std::unique_ptr<RequestParams, ParamsDeleter> Request(FuzzedDataProvider& in,
                                                      Referents& referents) {
  std::unique_ptr<RequestParams, ParamsDeleter> params(RequestParams::Create());
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
    static const char* const kCommands[] = {"__FRee", "__Load", "__@@EventSupport", "__@@SwitchOff",
                                            "__Other"};
    params->SetName(kCommands[in.ConsumeIntegralInRange<size_t>(0, std::size(kCommands) - 1)]);
    return params;
  }
  const int32_t count = in.ConsumeIntegralInRange<int32_t>(0, 16);
  for (int32_t i = 0; i < count && in.remaining_bytes() > 0; ++i) {
    ole::OleVariant value;
    if (i == 1 && in.ConsumeIntegralInRange<int>(0, 7) != 0) {
      const bool known = in.ConsumeIntegralInRange<int>(0, 7) != 0;
      const std::string name =
          known ? g_names[in.ConsumeIntegralInRange<size_t>(0, g_names.size() - 1)]
                : in.ConsumeRandomLengthString(32);
      try {
        value = ole::OleVariant(std::string_view(name));
      } catch (const std::exception&) {
      }
    } else if (i == 2) {
      value = ole::OleVariant(in.ConsumeIntegralInRange<int32_t>(-1, 4));
    } else if (i > 0) {
      value = Argument(in, referents);
    }
    params->Add(value.get());
  }
  return params;
}

std::string ListDocument(DeviceList& list) {
  ole::OleVariant none;
  ole::OleVariant result;
  list.GetSettingsXml(none.get(), result.get());
  std::optional<xml::XmlNode> node = result.get().vt == VT_DISPATCH
                                         ? xml::OwnNodeFromDispatch(result.get().pdispVal)
                                         : std::nullopt;
  if (!node) fuzz::Finding("the list's document is not its own");
  return node->xml();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  // Nothing may reach a real printer, the user's files or a person: no CUPS
  // scheduler, built-in printers writing into a folder that cannot exist,
  // no display for dialogs.
  char folder[] = "/tmp/labelplu-fuzz-dispatch-XXXXXX";
  if (!mkdtemp(folder)) fuzz::Finding("no scratch folder");
  setenv("HOME", folder, 1);
  setenv("XDG_CONFIG_HOME", folder, 1);
  setenv("XDG_DOCUMENTS_DIR", "/proc/labelplu-fuzz/none", 1);
  setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("LANG", "ru_RU.UTF-8", 1);

  for (const MethodRecord& record : BaseMethodTable()) {
    // Beep waits out its duration: a timer, not a reader of input.
    if (std::string_view(record.Name).find("Beep") == std::string_view::npos) AddNames(record.Name);
  }
  for (const PropertyRecord& record : BasePropertyTable()) {
    g_names.emplace_back(record.NameRu);
    g_names.emplace_back(record.NameEn);
  }
  for (const ParameterRecord& record : LabelPrinterParamRecords()) {
    g_names.emplace_back(record.NameRu);
    g_names.emplace_back(record.NameEn);
  }
  // The label-printer level's and the driver's own methods.
  for (const char* both :
       {"ВыбратьУстройство,ChoiceDevice", "ПередатьВУстройство,SendToDevice",
        "ПроверитьШаблонЭтикетки,CheckLabelTemplate",
        "ПолучитьИдентификаторыПеременных,GetIDsOfVariables", "ВыполнитьПечать,ExecutePrint"})
    AddNames(both);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Referents referents;
  DriverObject* slot = nullptr;
  ole::ComPtr<SpoolerLabelDriver> driver = ole::MakeCom<SpoolerLabelDriver>(
      nullptr, &slot, std::make_unique<PrinterDeviceList>("labelplu.plu"));
  slot = driver.get();

  const HostTaskClass taskClass{kTaskClassMagic, "TInternalTask", nullptr};
  HostTask task{&taskClass, 0, {}, nullptr};
  const bool withTask = in.ConsumeIntegralInRange<int>(0, 3) == 0;

  // A few chains one after the other on the same driver: devices added by
  // one are there for the next.
  const int chains = in.ConsumeIntegralInRange<int>(1, 6);
  for (int c = 0; c < chains && in.remaining_bytes() > 0; ++c) {
    std::unique_ptr<RequestParams, ParamsDeleter> first;
    try {
      first = Request(in, referents);
      RequestParams* last = first.get();
      for (int more = in.ConsumeIntegralInRange<int>(0, 2); more > 0; --more) {
        last->Next = Request(in, referents).release();
        last = last->Next;
      }
    } catch (const std::exception&) {
      continue;  // more than a list holds
    }
    if (withTask && driver->Devices().Count() > 0)
      task.DeviceId = driver->Devices().GetDevice(0)->Code;
    try {
      driver->Dispatch(first.get(), withTask ? &task : nullptr);
    } catch (const std::exception&) {
    }
    for (RequestParams* p = first.get(); p; p = p->Next)
      for (int32_t i = 0; i < p->Count(); ++i) {
        VARIANT v = p->Get(i);
        VariantClear(&v);
      }
  }
  // What the requests left must survive the host's round trip: the list's
  // document loads into a new list and gives the same document.
  const std::string saved = ListDocument(driver->Devices());
  PrinterDeviceList again("labelplu.plu");
  try {
    again.LoadSettings(ole::OleVariant(std::string_view(saved)).get());
  } catch (const std::exception& e) {
    fuzz::Finding((std::string("the devices' document does not load: ") + e.what()).c_str());
  }
  if (ListDocument(again) != saved) fuzz::Finding("the devices' document changed on reload");
  driver->Devices().ClearDevices();
  return 0;
}
