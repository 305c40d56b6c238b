#include <gtest/gtest.h>

#include <memory>

#include "base/Errors.h"
#include "tests/values/TestVariants.h"
#include "values/RequestParams.h"

namespace labelplu {
namespace {

using test::I4;
using test::Str;
using test::Var;

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};
using ParamsPtr = std::unique_ptr<RequestParams, ParamsDeleter>;

ParamsPtr NewParams() {
  return ParamsPtr(RequestParams::Create());
}

std::string MessageOf(const std::function<void()>& call, int32_t* code = nullptr) {
  try {
    call();
  } catch (const EProtectException& e) {
    if (code) *code = e.Code;
    return e.what();
  } catch (const std::exception& e) {
    if (code) *code = -1;
    return e.what();
  }
  return "<no exception>";
}

// A COM argument block of three arguments "a", 2, 3.0 (stored last-first).
struct Borrowed {
  VARIANT slots[3];
  DISPPARAMS block{slots, nullptr, 3, 0};
  Borrowed() {
    slots[2] = Str("a");
    slots[1] = I4(2);
    slots[0] = test::R8(3.0);
  }
  ~Borrowed() {
    for (VARIANT& v : slots) VariantClear(&v);
  }
};

TEST(RequestParams, NewListHasItsClassAndEmptyTexts) {
  ParamsPtr list = NewParams();
  EXPECT_EQ(list->ClassRef, &kRequestParamsClass);
  EXPECT_STREQ(list->ClassRef->ClassName, "TParams");
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(test::Text(list->ErrorText), "");
  EXPECT_EQ(test::Text(list->ErrorSource), "");
  const RequestParamsClass other{"THostParams"};
  ParamsPtr hosted(RequestParams::Create(&other));
  EXPECT_EQ(hosted->ClassRef, &other);
}

TEST(RequestParams, BorrowedBlockCountsFromTheLastSlot) {
  Borrowed args;
  ParamsPtr list = NewParams();
  list->Attach(&args.block);
  EXPECT_EQ(list->Count(), 3);
  Var first(list->Get(0));
  EXPECT_EQ(test::Text(first), "a");
  Var last(list->Get(2));
  EXPECT_EQ(last.v.vt, VT_R8);

  // A by-value element is left as it is.
  Var other(I4(77));
  list->Set(1, other);
  EXPECT_EQ(args.slots[1].vt, VT_I4);
  EXPECT_EQ(args.slots[1].lVal, 2);
}

TEST(RequestParams, BorrowedByReferenceElementsAreWrittenConverted) {
  int32_t number = 0;
  double real = 0;
  BSTR text = ole::Utf8ToBstr("old");
  Var inner;
  int16_t small = 0;
  VARIANT slots[5] = {test::Ref(VT_I2, &small), test::Ref(VT_VARIANT, &inner.v),
                      test::Ref(VT_BSTR, &text), test::Ref(VT_R8, &real),
                      test::Ref(VT_I4, &number)};
  DISPPARAMS block{slots, nullptr, 5, 0};
  ParamsPtr list = NewParams();
  list->Attach(&block);

  Var digits(Str("42"));
  list->Set(0, digits);
  EXPECT_EQ(number, 42);
  Var half(Str("1,5"));
  list->Set(1, half);
  EXPECT_EQ(real, 1.5);
  Var seven(I4(7));
  list->Set(2, seven);  // the old string is freed (checked under ASan)
  EXPECT_EQ(ole::BstrToUtf8(text), "7");
  Var word(Str("слово"));
  list->Set(3, word);
  EXPECT_EQ(test::Text(inner), "слово");

  int32_t code = 0;
  EXPECT_EQ(MessageOf([&] { list->Set(4, seven); }, &code), "Неподдерживаемый тип параметра.");
  EXPECT_EQ(code, 20000);
  EXPECT_EQ(small, 0);
  Var letters(Str("abc"));
  EXPECT_NE(MessageOf([&] { list->Set(0, letters); }), "<no exception>");
  EXPECT_EQ(number, 42);
  SysFreeString(text);
}

TEST(RequestParams, IndexErrorsNameIndexAndCount) {
  ParamsPtr list = NewParams();
  Var x(I4(1));
  list->Add(x);
  list->Add(x);
  struct Case {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { Var v(list->Get(2)); }, "Неверный индекс (Get) Index=2 Count=2"},
      {[&] { Var v(list->Get(-1)); }, "Неверный индекс (Get) Index=-1 Count=2"},
      {[&] { list->Set(5, x); }, "Неверный индекс (Set) Index=5 Count=2"},
      {[&] { NewParams()->Set(0, x); }, "Неверный индекс (Set) Index=0 Count=0"},
  };
  for (const Case& c : cases) {
    int32_t code = 0;
    EXPECT_EQ(MessageOf(c.call, &code), c.message);
    EXPECT_EQ(code, 20000);
  }
}

TEST(RequestParams, OwnedStorageHoldsFiftyElements) {
  ParamsPtr list = NewParams();
  for (int i = 0; i < 50; ++i) {
    Var text(Str("element " + std::to_string(i)));
    list->Add(text);
  }
  EXPECT_EQ(list->Count(), 50);
  Var x(I4(1));
  int32_t code = 0;
  EXPECT_EQ(MessageOf([&] { list->Add(x); }, &code),
            "TParams - превышена емкость хранилища данных.");
  EXPECT_EQ(code, -1);
  EXPECT_EQ(list->Count(), 50);
  list->Set(49, x);
  Var back(list->Get(49));
  EXPECT_EQ(back.v.lVal, 1);

  // An owned element keeps the value, not a reference into the caller's frame.
  int32_t local = 5;
  list->Set(0, test::Ref(VT_I4, &local));
  local = 6;
  Var kept(list->Get(0));
  EXPECT_EQ(kept.v.vt, VT_I4);
  EXPECT_EQ(kept.v.lVal, 5);

  Borrowed args;
  ParamsPtr borrowed = NewParams();
  borrowed->Attach(&args.block);
  EXPECT_THROW(borrowed->Add(x), std::runtime_error);
}

TEST(RequestParams, ClearResetsAndFreesTheChain) {
  ParamsPtr list = NewParams();
  Var text(Str("value"));
  list->Add(text);
  list->SetName("__@@EventSupport");
  list->SetErrorCode(5);
  EXPECT_EQ(list->ErrorFlag, 1);
  Var result;
  list->ResultTarget = &result.v;
  RequestParams* tail = list.get();
  for (int i = 0; i < 1000; ++i) {  // every link owns a string: leaks show under ASan
    tail->Next = RequestParams::Create();
    tail = tail->Next;
    tail->Add(text);
  }
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Next, nullptr);
  EXPECT_EQ(list->ResultTarget, nullptr);
  EXPECT_EQ(list->ErrorCode, 0);
  EXPECT_EQ(list->ErrorFlag, 0);
  EXPECT_EQ(test::Text(list->ErrorText), "Очищено Clear");
  EXPECT_STREQ(list->Name, "__@@EventSupport");
  list->Add(text);  // storage stays usable
  EXPECT_EQ(list->Count(), 1);

  Borrowed args;
  list->Attach(&args.block);  // the owned block is freed
  list->Clear();
  EXPECT_EQ(args.block.cArgs, 0u);
  EXPECT_EQ(args.slots[2].vt, VT_EMPTY);

  list->SetName("");
  EXPECT_EQ(list->Name, nullptr);
}

TEST(RequestParams, DestroyFreesALongChain) {
  RequestParams* head = RequestParams::Create();
  RequestParams* tail = head;
  for (int i = 0; i < 200000; ++i) {
    tail->Next = RequestParams::Create();
    tail = tail->Next;
  }
  Var text(Str("x"));
  tail->Add(text);
  RequestParams::Destroy(head);
  RequestParams::Destroy(nullptr);
}

}  // namespace
}  // namespace labelplu
