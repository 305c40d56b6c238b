#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "platform/ole/ComPtr.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"

using namespace labelplu::ole;

namespace {

std::string Description(IErrorInfo* info) {
  BSTR text = nullptr;
  EXPECT_EQ(info->GetDescription(&text), S_OK);
  BstrPtr owned(text);
  return BstrToUtf8(text);
}

TEST(ErrorInfo, IsKeptPerThreadAndTakenOnce) {
  ASSERT_EQ(SetErrorInfoText("ошибка главного потока", "source"), S_OK);
  std::string seenByOther = "not run";
  std::string otherOwn;
  std::thread other([&] {
    ComPtr<IErrorInfo> info;
    seenByOther = GetErrorInfo(0, info.put()) == S_FALSE && !info ? "none" : "leaked";
    SetErrorInfoText("other thread", nullptr);
    otherOwn = TakeErrorText();
  });
  other.join();
  EXPECT_EQ(seenByOther, "none");
  EXPECT_EQ(otherOwn, "other thread");

  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  EXPECT_EQ(Description(info.get()), "ошибка главного потока");
  BSTR source = nullptr;
  ASSERT_EQ(info->GetSource(&source), S_OK);
  EXPECT_EQ(BstrToUtf8(source), "source");
  SysFreeString(source);
  // Taken: the slot is empty now.
  ComPtr<IErrorInfo> again;
  EXPECT_EQ(GetErrorInfo(0, again.put()), S_FALSE);
  EXPECT_EQ(TakeErrorText(), "");

  // Putting the same object back, and clearing with null.
  ASSERT_EQ(SetErrorInfo(0, info.get()), S_OK);
  ASSERT_EQ(SetErrorInfo(0, info.get()), S_OK);
  info.reset();
  EXPECT_EQ(TakeErrorText(), "ошибка главного потока");
  SetErrorInfoText("x", nullptr);
  ASSERT_EQ(SetErrorInfo(0, nullptr), S_OK);
  EXPECT_EQ(TakeErrorText(), "");
  EXPECT_EQ(SetErrorInfo(1, nullptr), E_INVALIDARG);
}

TEST(Safecall, TurnsExceptionsIntoResultsWithTheirText) {
  EXPECT_EQ(Safecall([] {}), S_OK);
  EXPECT_EQ(Safecall([] { return S_FALSE; }), S_FALSE);

  EXPECT_EQ(Safecall([] { throw std::runtime_error("Неверный индекс"); }), E_FAIL);
  EXPECT_EQ(TakeErrorText(), "Неверный индекс");

  EXPECT_EQ(Safecall([] { VarToInt32(OleVariant("abc")); }), E_FAIL);
  EXPECT_EQ(TakeErrorText(), "Could not convert variant of type (String) into type (Integer)");

  EXPECT_EQ(Safecall([] { throw OleException(DISP_E_BADINDEX, "bad index"); }), DISP_E_BADINDEX);
  EXPECT_EQ(TakeErrorText(), "bad index");

  EXPECT_EQ(Safecall([] { throw 42; }), E_FAIL);
  EXPECT_EQ(TakeErrorText(), "Unknown exception");
}

TEST(OleCheck, RaisesWithTheCalleesTextOrTheCodesText) {
  EXPECT_NO_THROW(OleCheck(S_FALSE));
  const HRESULT hr = Safecall([] { throw std::runtime_error("Устройство не готово"); });
  try {
    OleCheck(hr);
    ADD_FAILURE() << "no exception";
  } catch (const OleException& e) {
    EXPECT_EQ(e.Code, E_FAIL);
    EXPECT_STREQ(e.what(), "Устройство не готово");
  }
  try {
    OleCheck(DISP_E_TYPEMISMATCH);
    ADD_FAILURE() << "no exception";
  } catch (const OleException& e) {
    EXPECT_STREQ(e.what(), "Type mismatch.");
  }
  EXPECT_EQ(HResultText(static_cast<HRESULT>(0x80041234u)), "OLE error 80041234");
}

}  // namespace
