#include "print/PrinterDevice.h"

#include <iterator>

#include "platform/ole/ComObject.h"

namespace labelplu {

namespace {

constexpr ParameterRecord kLabelPrinterParams[] = {
    {"Использовать", "Use", "Использовать", "Integer", false, "1",
     "Признак того, что данное устройство может быть использовано (включено выключено и т.д.)\r\n"
     "Допустимые значения: 0 - не может быть использовано, 1 - может"},
    {"ШаблонПоУмолчанию", "DefaultTemplate", "Шаблон по умолчанию", "String", false, "",
     "Имя шаблона, который будет использоваться, если не указано иное в параметрах"},
    {"ШиринаЭтикетки", "LabelWidth", "Ширина этикетки", "Integer", false, "58",
     "Ширина этикетки в мм."},
    {"ВысотаЭтикетки", "LabelHeight", "Высота этикетки", "Integer", false, "40",
     "Высота этикетки в мм."},
    {"Промежуток", "Gap", "Промежуток", "Integer", false, "2", "Промежуток между этикетками в мм."},
    {"Насыщенность", "Darkness", "Насыщенность", "Integer", false, "5",
     "Насыщенность черного цвета на этикетке"},
    {"СкоростьПечати", "PrintSpeed", "Скорость печати", "Integer", false, "2",
     "Скорость печати принтера"},
    {"СпособПечати", "PrintMethod", "Способ печати", "Integer", false, "0",
     "Способ печати принтера\r\nДопустимые значения: 0 - Direct thermal mode, 1 - Thermal transfer "
     "mode"},
    {"ЗагружатьШаблон", "PreloadForms", "Загружать шаблоны в память", "Integer", false, "0",
     "Предварительная загрузка форм шаблонов в память принтера\r\nУскоряет печать для некоторых "
     "типов принтера"},
};

constexpr ParameterRecord kPageLayoutParams[] = {
    {"PrinterName", "", "Имя принтера", "String", true, "",
     "Имя используемого принтера.\r\nНастраивается посредством диалоговой формы."},
    {"PaperIndex", "", "Тип бумаги", "Число", true, "-1",
     "Используемая бумага.\r\nНастраивается посредством диалоговой формы."},
    {"AutoPosition", "", "Авторазмещение", "Число", false, "1",
     "Автоматическое размещение этикеток на странице\r\nДопустимые значения: 0 - размещение в 1 "
     "столбец; 1 - Автоматическое размещение по вертикали и горизонтали"},
    {"MaxHorizontal", "", "Кол-во по горизонтали", "Число", true, "1",
     "Кол-во этикеток на странице по горизонтали"},
    {"MaxVertical", "", "Кол-во по вертикали", "Число", true, "1",
     "Кол-во этикеток на странице по вертикали"},
    {"GapHorizontal", "", "Промежуток по гориз.", "Число", false, "2",
     "Промежуток между этикетками по горизонтали в мм."},
    {"GapVertical", "", "Промежуток по верт.", "Число", false, "2",
     "Промежуток между этикетками по вертикали в мм."},
    {"HorizontalAlign", "", "Центровка по гориз.", "Число", false, "1",
     "Центровка этикеток по горизонтали\r\nДопустимые значения: 0 - Лево, 1 - Центр, 2 - Право"},
    {"VerticalAlign", "", "Центровка по верт.", "Число", false, "1",
     "Центровка этикеток по вертикали\r\nДопустимые значения: 0 - Верх, 1 - Центр, 2 - Низ"},
    {"AutoPaperMargin", "", "Отступы из принтера", "Число", true, "1",
     "Взять отступы от края бумаги из принтера"},
    {"MarginLeft", "", "Отступ слева", "Число", false, "1", "Отступ от края бумаги слева в мм."},
    {"MarginRight", "", "Отступ справа", "Число", false, "1", "Отступ от края бумаги справа в мм."},
    {"MarginTop", "", "Отступ сверху", "Число", false, "1", "Отступ от края бумаги сверху в мм."},
    {"MarginBottom", "", "Отступ снизу", "Число", false, "1", "Отступ от края бумаги снизу в мм."},
    {"UseRasterization", "", "Растеризация", "Число", false, "0",
     "Использовать промежуточную растеризацию при печати"},
    {"PrinterCopies", "", "Копии принтером", "Число", false, "1",
     "Печать копии через принтер\r\nДопустимые значения: 0 - печать копий средствами драйвера, 1 - "
     "печать копий средствами принтера"},
    {"PrintHSeparator", "", "Гориз. разделитель", "Число", false, "0",
     "Печатать горизонтальный разделитель"},
    {"PrintVSeparator", "", "Верт. разделитель", "Число", false, "0",
     "Печатать вертикальный разделитель"},
};

// The texts of the results, indexed by DriverResult.
constexpr const char* kErrorTexts[] = {
    "Операция выполнена успешно",
    "Порт недоступен",
    "Нет связи",
    "Устройство не обнаружено",
    "Неверный тип параметра",
    "Недопустимое значение параметра",
    "Ошибка устройства",
    "Нет бумаги",
    "Устройство не готово",
    "Принтер занят",
    "Внутренняя ошибка",
    "Файл шаблона этикетки не найден",
    "Неверная структура параметров описания значений полей",
    "Превышено максимальное количество копий этикетки (999)",
    "Принтер занят выполнением другого задания",
};
static_assert(std::size(kErrorTexts) == kResultLastWithText + 1);

// {7785F5AB-7C69-459E-915C-4D66F2EC68B9}
constexpr GUID kModelCode = {
    0x7785F5AB, 0x7C69, 0x459E, {0x91, 0x5C, 0x4D, 0x66, 0xF2, 0xEC, 0x68, 0xB9}};

}  // namespace

std::span<const ParameterRecord> LabelPrinterParamRecords() {
  return kLabelPrinterParams;
}

std::string PrinterDevice::GetErrorText(int32_t code) const {
  if (code == kResultDeviceError) return {};
  if (code != kResultOk && code == m_failureCode) return m_failureText;
  return DeviceItem::GetErrorText(code);
}

PrinterDeviceList::PrinterDeviceList(std::string moduleFileName)
    : DeviceList(std::move(moduleFileName)) {
  Models().RegisterModel(kModelCode, "Windows-принтер (ЖФУ8)", nullptr, "Принтеры этикеток",
                         "Принтер", "WinPrinter", "", 0, 0, 1, 3, 1);
  RegisterParams(kLabelPrinterParams);
  RegisterParams(kPageLayoutParams);
}

std::string PrinterDeviceList::GetErrorText(int32_t code) const {
  if (code >= kResultOk && code <= kResultLastWithText) return kErrorTexts[code];
  return "Неопределенная ошибка";
}

ole::ComPtr<DeviceItem> PrinterDeviceList::CreateItem() {
  return ole::MakeCom<PrinterDevice>(*this);
}

}  // namespace labelplu
