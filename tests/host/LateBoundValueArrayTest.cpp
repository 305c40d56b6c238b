// A host drives the driver's value array as a script host would: made by a
// driver method, filled and saved by late-bound names, reloaded, and handed
// back to a method as its packed arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "host/PluginHost.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

using host::PluginHost;
using ole::OleVariant;

// obj.name(args...) by late binding; args in call order.
OleVariant Invoke(IDispatch* object, const char* name, const std::vector<OleVariant>& args,
                  uint16_t flags = DISPATCH_METHOD) {
  ole::BstrPtr text(ole::Utf8ToBstr(name));
  OLECHAR* names[1] = {text.get()};
  DISPID id = 0;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << name;
  std::vector<VARIANT> block;
  std::transform(args.rbegin(), args.rend(), std::back_inserter(block),
                 [](const OleVariant& arg) { return arg.get(); });
  DISPPARAMS params{block.data(), nullptr, static_cast<uint32_t>(block.size()), 0};
  OleVariant result;
  EXCEPINFO excep{};
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result.put(), &excep, nullptr);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  EXPECT_EQ(hr, S_OK) << name << ": " << ole::TakeErrorText();
  return result;
}

TEST(LateBoundValueArray, FilledSavedReloadedAndPassedAsPackedArguments) {
  const TempDir dir;
  PluginHost plugin(BinPath("labelplu.plu"));
  const host::RequestResult made =
      plugin.Call("СоздатьПараметры", std::vector<OleVariant>{OleVariant(1), OleVariant(1)});
  ASSERT_TRUE(made.Ok) << made.Message;
  ASSERT_EQ(made.Result.Type(), VT_DISPATCH);
  IDispatch* table = made.Result.get().pdispVal;

  Invoke(table, "setbounds", {OleVariant(2), OleVariant(3)});
  Invoke(table, "SetRowValues",
         {OleVariant(0), OleVariant("Сыр"), OleVariant(12.5), OleVariant(3)});
  Invoke(table, "SetValue", {OleVariant(1), OleVariant(0), OleVariant("Хлеб")});
  const std::string file = (dir.Path() / "table.sa").string();
  Invoke(table, "SaveToFile", {OleVariant(file)});

  const host::RequestResult fresh =
      plugin.Call("CreateComSafeArray", std::vector<OleVariant>{OleVariant(0), OleVariant(0)});
  ASSERT_TRUE(fresh.Ok);
  IDispatch* loaded = fresh.Result.get().pdispVal;
  Invoke(loaded, "LoadFromFile", {OleVariant(file)});
  EXPECT_EQ(Invoke(loaded, "RowCount", {}, DISPATCH_PROPERTYGET).get().lVal, 2);
  EXPECT_EQ(Invoke(loaded, "ColCount", {}, DISPATCH_PROPERTYGET).get().lVal, 3);
  EXPECT_EQ(ole::VarToText(Invoke(loaded, "GetValue", {OleVariant(0), OleVariant(0)}).get()),
            "Сыр");
  EXPECT_EQ(Invoke(loaded, "GetValue", {OleVariant(0), OleVariant(1)}).get().dblVal, 12.5);
  EXPECT_EQ(ole::VarToText(Invoke(loaded, "GetValue", {OleVariant(1), OleVariant(0)}).get()),
            "Хлеб");

  // Two rows of one column are the two arguments of Beep.
  const host::RequestResult packedTable =
      plugin.Call("CreateComSafeArray", std::vector<OleVariant>{OleVariant(2), OleVariant(1)});
  IDispatch* packed = packedTable.Result.get().pdispVal;
  Invoke(packed, "SetValue", {OleVariant(0), OleVariant(0), OleVariant(440)});
  Invoke(packed, "SetValue", {OleVariant(1), OleVariant(0), OleVariant(1)});
  const host::RequestResult beep =
      plugin.Call("Гудок", std::vector<OleVariant>{OleVariant(packed)});
  EXPECT_TRUE(beep.Ok) << beep.Message;
  ASSERT_EQ(beep.Args.size(), 1u);
  EXPECT_EQ(beep.Args[0].get().pdispVal, packed);
}

}  // namespace
}  // namespace labelplu::test
