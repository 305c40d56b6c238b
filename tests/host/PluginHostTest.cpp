#include "host/PluginHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/HostError.h"
#include "host/ValueArrays.h"
#include "platform/ole/ErrorInfo.h"
#include "tests/host/HostTestObjects.h"
#include "tests/support/TempDir.h"

namespace labelplu::host {
namespace {

using ole::OleVariant;

// The fake modules are built beside the test (see CMakeLists.txt).
std::string Fake(const char* variant) {
  return std::string(LP_FAKE_PLUGIN_DIR) + "/hosttest_fake_" + variant + ".plu";
}

class PluginHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_trace = m_dir.Path() / "trace.txt";
    setenv("FAKE_PLUGIN_TRACE", m_trace.c_str(), 1);
  }
  void TearDown() override { unsetenv("FAKE_PLUGIN_TRACE"); }

  std::string Trace() const {
    std::ifstream in(m_trace);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  test::TempDir m_dir;
  std::filesystem::path m_trace;
};

std::vector<OleVariant> Values(std::initializer_list<OleVariant> list) {
  return list;
}

TEST_F(PluginHostTest, LoadsRunsAndUnloadsInTheCallingOrder) {
  {
    PluginHost host(Fake("ok"));
    EXPECT_TRUE(host.Call("Echo", {}).Ok);
  }
  EXPECT_EQ(Trace(),
            "Query\nPluginControl\nGetDllObject\nGetCallEntry\nSetHostEvents sink\n"
            "CallEntry Echo 1 0\n"
            "SetHostEvents null\nBeforeFreeLibrary\ncontrol freed\ndriver freed\nunloaded\n");
}

TEST_F(PluginHostTest, LoadFailuresSayWhatIsWrongAndLeaveNothingLoaded) {
  const struct {
    std::string path;
    std::string message;
    const char* trace;
  } cases[] = {
      {m_dir.Path() / "none.plu",
       "cannot load the plug-in \"" + (m_dir.Path() / "none.plu").string() + "\": ", ""},
      {Fake("badquery"),
       "the plug-in \"" + Fake("badquery") +
           "\" is not a plug-in of this family: Query() returned 0x12345678, expected 0x4C50E803",
       "Query\ncontrol freed\nunloaded\n"},
      {Fake("nobeforefree"),
       "the plug-in \"" + Fake("nobeforefree") +
           "\" does not export BeforeFreeLibrary: it is not a plug-in of this family",
       "control freed\nunloaded\n"},
      {Fake("nodriver"),
       "GetDllObject of the plug-in \"" + Fake("nodriver") +
           "\" failed: GetDllObject вернул Nil (HRESULT 0x80004005)",
       "Query\nPluginControl\nGetDllObject\nBeforeFreeLibrary\ncontrol freed\nunloaded\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(m_trace);
    try {
      PluginHost host(c.path);
      ADD_FAILURE() << c.path << " loaded";
    } catch (const HostError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
    }
    EXPECT_EQ(Trace(), c.trace) << c.path;
  }
}

TEST_F(PluginHostTest, RequestLayoutAndWrittenBackArguments) {
  PluginHost host(Fake("ok"));
  const RequestResult echo =
      host.Call("Echo", Values({OleVariant(int32_t{1}), OleVariant("ab"), OleVariant(2.5)}));
  ASSERT_TRUE(echo.Ok) << echo.Message;
  EXPECT_EQ(ole::VarToInt32(echo.Result), 3);
  ASSERT_EQ(echo.Args.size(), 3u);
  EXPECT_EQ(echo.Args[0].Type(), VT_I4);
  EXPECT_EQ(ole::VarToText(echo.Args[1]), "ab!");
  EXPECT_EQ(ole::VarToDouble(echo.Args[2]), 2.5);

  EXPECT_EQ(ole::VarToInt32(host.Get("Kind").Result), 2);
  EXPECT_EQ(ole::VarToInt32(host.Call("Kind", {}).Result), 1);
  EXPECT_EQ(ole::VarToInt32(host.Set("Kind", OleVariant()).Result), 3);

  const RequestResult set = host.Set("Prop", OleVariant("значение"));
  ASSERT_TRUE(set.Ok);
  ASSERT_EQ(set.Args.size(), 1u);
  EXPECT_EQ(ole::VarToText(host.Get("Prop").Result), "значение");
}

TEST_F(PluginHostTest, FailuresBecomeResultsWithCodeAndMessage) {
  PluginHost host(Fake("ok"));
  const struct {
    const char* name;
    std::vector<OleVariant> args;
    std::optional<int32_t> code;
    std::string message;
  } cases[] = {
      {"Fail", Values({OleVariant(int32_t{1007}), OleVariant("Ошибка. Код №1007")}), 1007,
       "Ошибка. Код №1007"},
      {"Plain", Values({OleVariant("Номер элемента массива за пределами границ.")}), std::nullopt,
       "Номер элемента массива за пределами границ."},
      {"NotHandled", {}, std::nullopt, "the plug-in did not handle the request"},
      {"Нет", {}, 20036, "Метод/Свойство [Нет] не обнаружено"},
      {"Echo", std::vector<OleVariant>(48, OleVariant(int32_t{0})), std::nullopt,
       "TParams - превышена емкость хранилища данных."},
  };
  for (const auto& c : cases) {
    const RequestResult r = host.Call(c.name, c.args);
    EXPECT_FALSE(r.Ok) << c.name;
    EXPECT_EQ(r.Code, c.code) << c.name;
    EXPECT_EQ(r.Message, c.message) << c.name;
    EXPECT_TRUE(r.Result.IsEmpty() && r.Args.empty()) << c.name;
  }
  EXPECT_TRUE(host.Call("Echo", std::vector<OleVariant>(47, OleVariant(int32_t{0}))).Ok);
}

TEST_F(PluginHostTest, SinkCreatesValueArraysOnceTheClassIsAnnounced) {
  PluginHost host(Fake("ok"));
  const RequestResult before = host.Call("NewTable", {});
  EXPECT_FALSE(before.Ok);
  EXPECT_EQ(before.Message,
            "The host cannot create a value array: CoCreateInstance of the value array class "
            "failed (HRESULT 0x80040154); the class is not announced");

  test::TableClass tables;
  const RequestResult after = host.Call("NewTable", {});
  ASSERT_TRUE(after.Ok) << after.Message;
  EXPECT_TRUE(AsValueArray(after.Result));
}

TEST_F(PluginHostTest, SinkRunsProceduresAndAnswersNotImplementedElsewhere) {
  PluginHost host(Fake("ok"));
  EXPECT_EQ(ole::VarToInt32(host.Call("RunProc", Values({OleVariant(int32_t{5})})).Result), 5);
  EXPECT_EQ(ole::VarToInt32(host.Call("RunProc", Values({OleVariant(int32_t{2})})).Result), 7);

  IHostEventSink* sink = host.Sink();
  EXPECT_EQ(sink->RunProcedure(HostProcedure{nullptr, nullptr}, 0), E_POINTER);
  EXPECT_EQ(sink->Reserved3(), E_NOTIMPL);
  EXPECT_EQ(sink->Reserved22(), E_NOTIMPL);
  EXPECT_EQ(sink->Reserved24(), E_NOTIMPL);
  EXPECT_EQ(sink->Reserved27(), E_NOTIMPL);
  // Slots 23 and 28 sit where the driver looks for them.
  void** table = *reinterpret_cast<void***>(sink);
  using CreateFn = HRESULT (*)(IHostEventSink*, VARIANT*);
  OleVariant out;
  EXPECT_EQ(reinterpret_cast<CreateFn>(table[23])(sink, out.put()), REGDB_E_CLASSNOTREG);
  ole::TakeErrorText();
  using RunFn = HRESULT (*)(IHostEventSink*, HostProcedure, intptr_t);
  intptr_t counter = 0;
  const HostProcedure add{[](void* data, intptr_t arg) { *static_cast<intptr_t*>(data) += arg; },
                          &counter};
  EXPECT_EQ(reinterpret_cast<RunFn>(table[28])(sink, add, 9), S_OK);
  EXPECT_EQ(counter, 9);
}

TEST(PluginHost, DefaultPathIsBesideTheExecutable) {
  const std::string path = PluginHost::DefaultPluginPath();
  const std::string self = std::filesystem::canonical("/proc/self/exe").parent_path().string();
  EXPECT_EQ(path, self + "/labelplu.plu");
}

}  // namespace
}  // namespace labelplu::host
