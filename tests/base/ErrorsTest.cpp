#include "base/Errors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace labelplu {
namespace {

constexpr const char* kLanguageVars[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// Sets the language variables for one test and restores them afterwards.
class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kLanguageVars) {
      const char* value = std::getenv(name);
      m_saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : m_saved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  // Only the given variables are set.
  void Use(const std::map<std::string, std::string>& vars) {
    for (const char* name : kLanguageVars) unsetenv(name);
    for (const auto& [name, value] : vars) setenv(name.c_str(), value.c_str(), 1);
  }
  void Russian() { Use({{"LANG", "ru_RU.UTF-8"}}); }
  void English() { Use({{"LANG", "en_US.UTF-8"}}); }

  template <class F>
  EProtectException Catch(F raise) {
    try {
      raise();
    } catch (const EProtectException& e) {
      return e;
    }
    ADD_FAILURE() << "no EProtectException";
    return EProtectException(0, "");
  }

 private:
  std::map<std::string, std::optional<std::string>> m_saved;
};

TEST_F(LanguageTest, FirstNonEmptyVariableDecides) {
  struct Case {
    std::map<std::string, std::string> vars;
    bool russian;
  } cases[] = {
      {{}, false},
      {{{"LANG", "ru_RU.UTF-8"}}, true},
      {{{"LANG", "en_US.UTF-8"}}, false},
      {{{"LANG", "C"}}, false},
      {{{"LANGUAGE", "ru:en"}, {"LANG", "en_US"}}, true},
      {{{"LANGUAGE", "en:ru"}, {"LANG", "ru_RU"}}, false},
      {{{"LC_ALL", ""}, {"LC_MESSAGES", "ru_RU"}, {"LANG", "en_US"}}, true},
      {{{"LC_ALL", "de_DE"}, {"LANG", "ru_RU"}}, false},
  };
  for (const Case& c : cases) {
    Use(c.vars);
    EXPECT_EQ(UserLanguageIsRussian(), c.russian) << testing::PrintToString(c.vars);
  }
}

TEST_F(LanguageTest, RaiseErrorFillsTheTemplateOfTheUserLanguage) {
  Russian();
  EProtectException ru = Catch([] { RaiseError(20036, "Печать"); });
  EXPECT_EQ(ru.Code, 20036);
  EXPECT_STREQ(ru.what(), "Метод/Свойство [Печать] не обнаружено");
  ASSERT_EQ(ru.Codes.size(), 1u);
  EXPECT_EQ(ru.Codes[0], 20036);

  English();
  EProtectException en = Catch([] { RaiseError(20036, "Print"); });
  EXPECT_EQ(en.Code, 20036);
  EXPECT_STREQ(en.what(), "Method/property [Print] it is not revealed");
}

TEST_F(LanguageTest, TemplatesWithoutTextAreCompleteUnknownErrors) {
  English();
  EProtectException e = Catch([] { RaiseCode(20058); });
  EXPECT_EQ(e.Code, 20058);
  EXPECT_STREQ(e.what(), "Unknown error (Code = 20058)!");
  EXPECT_EQ(ErrorTemplate(20010), "Unknown error (Code = 20010)!");
  // The English template of 20033 has one placeholder for the Russian two:
  // arguments are taken left to right and the one left over is ignored.
  EXPECT_STREQ(Catch([] { RaiseError(20033, "нет библиотеки", "Принтер"); }).what(),
               "Access to the equipment is forbidden. The possible reason - is not found library "
               "of management by the equipment. \r\n The equipment : [нет библиотеки]");

  Russian();
  EXPECT_STREQ(Catch([] { RaiseCode(20058); }).what(),
               "PluInfo не доступна, Объект DLL не создан.");
  EXPECT_STREQ(Catch([] { RaiseCode(20010); }).what(), "Неизвестная ошибка (Код = 20010)!");
  EXPECT_EQ(ErrorTemplate(20041),
            "Ошибка конфигурационного файла:\r\nдублирование описания решения.");
  EXPECT_STREQ(Catch([] { RaiseError(20057, "a.plu", "нет файла"); }).what(),
               "Ошибка загрузки библиотеки: a.plu\r\nПричина: нет файла");
}

TEST_F(LanguageTest, FreeTextCodesAndRaiseMessage) {
  Russian();
  EProtectException device = Catch([] { RaiseError(1007, "Нет бумаги"); });
  EXPECT_EQ(device.Code, 1007);
  EXPECT_STREQ(device.what(), "Нет бумаги");
  ASSERT_EQ(device.Codes.size(), 1u);
  EXPECT_EQ(device.Codes[0], 1007);

  // The text is the message itself, percent signs included.
  EProtectException message = Catch([] { RaiseMessage("100% готово %s %d"); });
  EXPECT_EQ(message.Code, 20000);
  EXPECT_STREQ(message.what(), "100% готово %s %d");
}

TEST(FormatText, PlaceholdersTakeArgumentsLeftToRight) {
  EXPECT_EQ(Format("Неверный индекс (Get) Index=%d Count=%d", 7, -1),
            "Неверный индекс (Get) Index=7 Count=-1");
  EXPECT_EQ(Format("%s=%d%%", std::string("x"), int64_t{-9000000000}), "x=-9000000000%");
  EXPECT_EQ(Format("[%s]", "a", "unused"), "[a]");
}

TEST(FormatText, MismatchIsAFormatError) {
  EXPECT_THROW(Format("%s"), FormatError);
  EXPECT_THROW(Format("%d", "text"), FormatError);
  EXPECT_THROW(Format("%s", 5), FormatError);
  EXPECT_THROW(Format("%x", 5), FormatError);
  EXPECT_THROW(Format("trailing %", 5), FormatError);
  // RaiseError with missing arguments raises the format error, not the code.
  EXPECT_THROW(RaiseCode(20036), FormatError);
  EXPECT_THROW(RaiseCode(1007), FormatError);
}

}  // namespace
}  // namespace labelplu
