#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <type_traits>

#include "labelplu/oleauto.h"
#include "labelplu/plugin.h"

extern "C" {
extern const size_t lpCLayout[];
extern const size_t lpCLayoutCount;
}

namespace {

TEST(Layout, AutomationTypesMatchCom) {
  EXPECT_EQ(sizeof(VARIANT), 16u);
  EXPECT_EQ(offsetof(VARIANT, vt), 0u);
  EXPECT_EQ(offsetof(VARIANT, llVal), 8u);
  EXPECT_EQ(sizeof(GUID), 16u);
  EXPECT_EQ(offsetof(GUID, Data2), 4u);
  EXPECT_EQ(offsetof(GUID, Data3), 6u);
  EXPECT_EQ(offsetof(GUID, Data4), 8u);
  EXPECT_EQ(sizeof(SAFEARRAYBOUND), 8u);
  EXPECT_EQ(offsetof(SAFEARRAYBOUND, lLbound), 4u);
  EXPECT_EQ(offsetof(SAFEARRAY, fFeatures), 2u);
  EXPECT_EQ(offsetof(SAFEARRAY, cbElements), 4u);
  EXPECT_EQ(offsetof(SAFEARRAY, cLocks), 8u);
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), 16u);
  EXPECT_EQ(offsetof(SAFEARRAY, rgsabound), 24u);
  EXPECT_EQ(sizeof(DISPPARAMS), 24u);
  EXPECT_EQ(offsetof(DISPPARAMS, rgdispidNamedArgs), 8u);
  EXPECT_EQ(offsetof(DISPPARAMS, cArgs), 16u);
  EXPECT_EQ(offsetof(DISPPARAMS, cNamedArgs), 20u);
}

TEST(Layout, CAndCppAgree) {
  const size_t cpp[] = {
      sizeof(VARIANT),
      offsetof(VARIANT, llVal),
      sizeof(GUID),
      offsetof(GUID, Data4),
      sizeof(SAFEARRAYBOUND),
      offsetof(SAFEARRAY, cbElements),
      offsetof(SAFEARRAY, cLocks),
      offsetof(SAFEARRAY, pvData),
      offsetof(SAFEARRAY, rgsabound),
      sizeof(DISPPARAMS),
      offsetof(DISPPARAMS, cArgs),
      offsetof(DISPPARAMS, cNamedArgs),
      sizeof(EXCEPINFO),
      offsetof(EXCEPINFO, scode),
  };
  ASSERT_EQ(lpCLayoutCount, std::size(cpp));
  for (size_t i = 0; i < lpCLayoutCount; ++i) EXPECT_EQ(lpCLayout[i], cpp[i]) << "entry " << i;
}

TEST(Layout, ParameterListFieldOffsets) {
  using labelplu::RequestParams;
  static_assert(std::is_standard_layout_v<RequestParams>);
  EXPECT_EQ(offsetof(RequestParams, ClassRef), 0u);
  EXPECT_EQ(offsetof(RequestParams, Args), 8u);
  EXPECT_EQ(offsetof(RequestParams, ErrorCode), 16u);
  EXPECT_EQ(offsetof(RequestParams, Name), 24u);
  EXPECT_EQ(offsetof(RequestParams, CallFlags), 32u);
  EXPECT_EQ(offsetof(RequestParams, ErrorFlag), 34u);
  EXPECT_EQ(offsetof(RequestParams, ErrorSource), 40u);
  EXPECT_EQ(offsetof(RequestParams, ErrorText), 56u);
  EXPECT_EQ(offsetof(RequestParams, ResultTarget), 72u);
  EXPECT_EQ(offsetof(RequestParams, HostInterface), 80u);
  EXPECT_EQ(offsetof(RequestParams, Next), 88u);
  EXPECT_EQ(offsetof(RequestParams, OwnsArgs), 96u);
}

// Hosts written against the earlier names of the header still compile.
static_assert(std::is_same_v<labelplu::TParams, labelplu::RequestParams>);
static_assert(std::is_same_v<labelplu::TTaskContext, labelplu::HostTask>);
static_assert(std::is_same_v<labelplu::TMethodRef, labelplu::HostProcedure>);
static_assert(std::is_same_v<labelplu::TCallEntry, labelplu::CallEntryFn>);
static_assert(std::is_same_v<TPluginControlFn, PluginControlFn>);

}  // namespace
