#include "base/Errors.h"

#include <cstdlib>
#include <string>

namespace labelplu {
namespace {

struct ErrorRow {
  int32_t code;
  const char* russian;
  const char* english;  // null: no English text
};

// Russian templates are the module's resource strings, English ones literals.
constexpr ErrorRow kErrorTable[] = {
    {20000, "%s", "%s"},
    {20001, "Оборудование не найдено [%s].", "The equipment not found [%s]."},
    {20002, "Неверный номер элемента массива.", "Invalid index."},
    {20003, "Входные данные для выполнения задания не определены.", "Input data not defined."},
    {20004, "Оборудование не определено.", "The equipment not defined."},
    {20005, "Неверное состояние задачи для вызываемой операции [%s] Операция [%s].",
     "Invalid task state [%s] Action [%s]."},
    {20006, "Ошибка времени исполнения [%s].", "Executing timeout [%s]."},
    {20007, "Превышено время ожидания [%s].", "Waiting timeout [%s]."},
    {20008, "Неверное количество параметров для Invoke.", "Invalid params count."},
    {20009, "Не найдена задача с указанным идентификатором [%s]", "The task not found [%s]."},
    {20011, "Оборудование уже используется.", "The equipment already used."},
    {20013, "Сервер уже запущен.", "The server is already started ."},
    {20014, "Неподдерживаемый тип данных.", "Bad data type."},
    {20021, "Ошибка вызова метода [%s]", "Mistake by a call of a method [%s]"},
    {20022, "Ошибка конфигурации - общий или локальный каталог неопределены.",
     "Mistake of a configuration - the global or local folder are not certain."},
    {20023, "Ошибка структуры конфигурационного файла %s",
     "Mistake of structure of a configuration file %s"},
    {20024, "Не найдена библиотека оборудования [%s]",
     "The library of the equipment is not found [%s]"},
    {20025, "Решение не найдено [%s]", "The application is not found  [%s]"},
    {20026, "Операция прервана", "Operation is canceled"},
    {20027, "Модель оборудования не найдена [%s]", "The model of the equipment is not found  [%s]"},
    {20028, "Неверная структура параметра", "Incorrect structure of parameter"},
    {20029, "Неверный тип свойства [%s]", "Incorrect type of property [%s]"},
    {20030, "Оборудование выключено.", "The equipment is switched off."},
    {20031, "Оборудование заблокировано другой задачей.",
     "The equipment is blocked by other task."},
    {20032,
     "Устройство не готово: - не включен компьютер [%s] или с ним нет связи.\r\n"
     "Возможная причина - установленное программное обеспечение (firewall) блокирует сетевое "
     "соединение.",
     "The device is not ready: - the computer [%s] is not included or with it there is no "
     "communication. \r\n the possible reason - the established software (firewall) blocks "
     "network connection."},
    {20033, "Доступ к оборудованию запрещен. Возможная причина - %s.\r\nОборудование: [%s]",
     "Access to the equipment is forbidden. The possible reason - is not found library of "
     "management by the equipment. \r\n The equipment : [%s]"},
    {20036, "Метод/Свойство [%s] не обнаружено", "Method/property [%s] it is not revealed"},
    {20040, "Нет доступа к общему каталогу.", "There is no access to the global folder."},
    {20041, "Ошибка конфигурационного файла:\r\nдублирование описания решения.",
     "Mistake of a configuration file:\r\nduplication of the description of the application."},
    {20042, "Ошибка конфигурационного файла:\r\nдублирование описания рабочей точки.",
     "Mistake of a configuration file: \r\n duplication of the description of a access point ."},
    {20043, "Не указан номер порта.", "Number of port is not specified."},
    {20045, "Не указана точка вызова оборудования.",
     "The point of a call of the equipment is not specified ."},
    {20046, "Отсутствует связь с сервером синхронизации.",
     "There is no communication with a server of synchronization."},
    {20047, "Не удалось загрузить настройки", "It was not possible to load settings"},
    {20048, "Неверное значение параметра", "Incorrect value of parameter "},
    {20050, "Компьютер с именем [%s] не найден, или недоступен", "The workstation [%s] not fount."},
    {20051, "Порт [%s] сервера управления оборудования занят другой программой.",
     "Port [%s] is already used."},
    {20052,
     "Устройство помечено в системе как неиспользуемое в настоящее время, обращения к нему "
     "заблокированы",
     "The device is marked in system as not now in use, references to it are blocked."},
    {20054, "%s\r\nНедостаточно прав пользователя.", nullptr},
    {20055, "Библиотека [%s] устарела. Необходимо обновление.", nullptr},
    {20056, "Библиотека несовместима с данной версией программы.", nullptr},
    {20057, "Ошибка загрузки библиотеки: %s\r\nПричина: %s", nullptr},
    {20058, "PluInfo не доступна, Объект DLL не создан.", nullptr},
    {20059,
     "Ошибка при подключении к серверу синхронизации!\r\n"
     "  1. Неверные параметры подключения к серверу синхронизации\r\n"
     "  2. Cервер синхронизации не запущен\r\n"
     "  3. Сетевое соединение блокируется аппаратными или программными средствами (firewall)",
     nullptr},
    {20061, "Файл с именем [%s] не найден!", nullptr},
    {20062, "Параметры подключения не верны. Server = [%s] Port = [%s]", nullptr},
    {20063, "Не заданы имена файлов для синхронизации.", nullptr},
    {20065,
     "Редактирование или удаление работающего оборудования запрещено.\r\n"
     "Необходимо выключить оборудование и повторить операцию.\r\n[ID:%s]",
     nullptr},
    {20066, "Свойство [%s] не обнаружено", "Property [%s] it is not revealed"},
    {21000, "%s", "%s"},
    {21003, "Неверное количество параметров в SafeArray",
     "Incorrect quantity of parameters in SafeArray "},
    {21004, "Недопустимый тип параметра", "Incorrect type of parameter "},
    {21005, "Недопустимое значение параметра", "Incorrect value of parameter "},
    {21010, "Ошибка получения фискальных реквизитов", "Mistake of reception of fiscal requisites."},
    {21011, "Функция \"%s\" не поддерживается текущим ФР",
     "Function \"%s\" is not supported by the current FR"},
    {21012, "Сетевое оборудование не отвечает.", nullptr},
};

const ErrorRow* FindRow(int32_t code) {
  for (const ErrorRow& row : kErrorTable) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

[[noreturn]] void ThrowFormatError(std::string_view pattern) {
  throw FormatError("Format '" + std::string(pattern) + "' invalid or incompatible with argument");
}

}  // namespace

std::string FormatText(std::string_view pattern, std::span<const FormatArg> args) {
  std::string out;
  out.reserve(pattern.size() + 16);
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 >= pattern.size()) ThrowFormatError(pattern);
    const char conversion = pattern[++i];
    if (conversion == '%') {
      out += '%';
      continue;
    }
    if ((conversion != 's' && conversion != 'd') || next >= args.size()) ThrowFormatError(pattern);
    const FormatArg& arg = args[next++];
    if (conversion == 's') {
      const auto* text = std::get_if<std::string>(&arg);
      if (!text) ThrowFormatError(pattern);
      out += *text;
    } else {
      const auto* number = std::get_if<int64_t>(&arg);
      if (!number) ThrowFormatError(pattern);
      out += std::to_string(*number);
    }
  }
  return out;
}

bool UserLanguageIsRussian() {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::string_view text(value);
    if (std::string_view(name) == "LANGUAGE") text = text.substr(0, text.find(':'));
    return text.size() >= 2 && text[0] == 'r' && text[1] == 'u';
  }
  return false;
}

std::string ErrorTemplate(int32_t code) {
  const ErrorRow* row = FindRow(code);
  if (UserLanguageIsRussian()) {
    // The unknown-code text is completed here: left with its "%d" it would
    // consume (or miss) the caller's arguments.
    if (!row) return "Неизвестная ошибка (Код = " + std::to_string(code) + ")!";
    return row->russian;
  }
  if (!row || !row->english) return "Unknown error (Code = " + std::to_string(code) + ")!";
  return row->english;
}

void RaiseErrorArgs(int32_t code, std::span<const FormatArg> args) {
  if (code >= 20000 && code <= 21999) {
    throw EProtectException(code, FormatText(ErrorTemplate(code), args));
  }
  throw EProtectException(code, FormatText("%s", args));
}

void RaiseCode(int32_t code) {
  RaiseErrorArgs(code, {});
}

void RaiseMessage(std::string_view text) {
  RaiseError(20000, text);
}

}  // namespace labelplu
