// labelplu: the caption table of the label model.
#include "label/DataSources.h"

#include <array>

#include "base/TextUtils.h"

namespace labelplu {

namespace {

constexpr std::array<CaptionRow, kCaptionRowCount> kCaptions = {{
    {"DS", "Источник данных", ""},
    {"Value", "Значение", ""},
    {"ValueFileName", "Значение", ""},
    // The data sources, in enumeration order.
    {"dsNone", "- не указан -", ""},
    {"dsName", "Наименование", "Наименование"},
    {"dsArticle", "Артикул", "Артикул"},
    {"dsComment", "Комментарий", "Комментарий"},
    {"dsSHK", "Штрихкод", "1234567890128"},
    {"dsQty", "Количество", "12345"},
    {"dsWeight", "Вес", "1.234"},
    {"dsSumma", "Сумма", "12345"},
    {"dsReclama1", "Реклама1", "Реклама1"},
    {"dsReclama2", "Реклама2", "Реклама2"},
    {"dsReclama3", "Реклама3", "Реклама3"},
    {"dsPrice", "Цена", "Цена"},
    {"dsPriceEd", "Цена за единицу веса", "Ед. веса"},
    {"dsGroup", "Группа", "Группа"},
    {"dsTermSale", "Срок продажи", "Срок продажи"},
    {"dsTermUse", "Срок использования", "Срок использования"},
    {"dsDatePacking", "Дата упаковки", "Дата упаковки"},
    {"dsWeightTare", "Вес тары", "Вес тары"},
    {"dsDiscount", "Скидка", "Скидка"},
    {"dsCountry", "Страна происхождения", "Страна происхождения"},
    {"dsFeature", "Характеристика", "Характеристика"},
    {"dsColor", "Цвет", "Цвет"},
    {"dsSize", "Размер", "Размер"},
    {"dsSN", "Серийный номер", "Серийный номер"},
    {"dsImage1", "Картинка 1", ""},
    {"dsImage2", "Картинка 2", ""},
    {"dsImage3", "Картинка 3", ""},
    {"dsText1", "Произвольный текст 1", "Текст 1"},
    {"dsText2", "Произвольный текст 2", "Текст 2"},
    {"dsText3", "Произвольный текст 3", "Текст 3"},
    {"dsText4", "Произвольный текст 4", "Текст 4"},
    {"dsText5", "Произвольный текст 5", "Текст 5"},
    {"dsProp1", "Свойство 1", "Свойство 1"},
    {"dsProp2", "Свойство 2", "Свойство 2"},
    {"dsProp3", "Свойство 3", "Свойство 3"},
    {"dsProp4", "Свойство 4", "Свойство 4"},
    {"dsProp5", "Свойство 5", "Свойство 5"},
    // Property names and enumeration values, for display.
    {"Left", "Отступ слева", ""},
    {"Top", "Отступ сверху", ""},
    {"Width", "Ширина", ""},
    {"Height", "Высота", ""},
    {"RotationFixed", "Поворот", ""},
    {"r0", "0 градусов", ""},
    {"r90", "90 градусов", ""},
    {"r180", "180 градусов", ""},
    {"r270", "270 градусов", ""},
    {"PenWidth", "Толщина линии", ""},
    {"LineLeft", "Начало линии слева", ""},
    {"LineTop", "Начало линии сверху", ""},
    {"LineLength", "Длина линии", ""},
    {"HAlign", "Выравнивание по горизонтали", ""},
    {"VAlign", "Выравнивание по вертикали", ""},
    {"FontSize", "Размер шрифта", ""},
    {"Negative", "Негатив текста", ""},
    {"BarCodeType", "Тип штрихкода", ""},
    {"bcEAN_8", "EAN-8", ""},
    {"bcEAN_13", "EAN-13", ""},
    {"bcUPC_A", "UPC-A", ""},
    {"bcCode39", "Code 39", ""},
    {"bcCode128", "Code 128", ""},
    {"bcUPC_E", "UPC-E", ""},
    {"bcCode93", "Code 93", ""},
    {"bcCode11", "Code 11", ""},
    {"bcCodaBar", "Codabar", ""},
    {"bcInterleaved2of5", "Interleaved 2 of 5", ""},
    {"TextVisible", "Показывать текст", ""},
    {"MaxSymbols", "Макс. символов", ""},
    {"BarNarrowToWideRatio", "Узкий к широкому", ""},
    {"BarWidth", "Ширина штриха (mils)", ""},
    {"AddCheckChar", "Контрольный символ", ""},
    {"GridSize", "Шаг сетки", ""},
    {"Rotate", "Поворот", ""},
    {"Font", "Шрифт", ""},
    {"Text", "Текст", ""},
    {"WordWrap", "Перенос по словам", ""},
    {"Charset", "Кодировка", ""},
    {"Color", "Цвет", ""},
    {"Name", "Наименование", ""},
    {"Pitch", "Ширина символов", ""},
    {"Size", "Размер", ""},
    {"Style", "Начертание", ""},
    {"fsBold", "Жирный", ""},
    {"fsItalic", "Курсив", ""},
    {"fsUnderline", "Подчёркнутый", ""},
    {"fsStrikeOut", "Зачёркнутый", ""},
    {"Mode", "Режим", ""},
    {"AutoSize", "Всегда исходный размер", ""},
    {"Name1", "Имя", ""},
    {"False", "Нет", ""},
    {"fpDefault", "По умолчанию", ""},
    {"fpFixed", "Моноширинный", ""},
    {"fpVariable", "Пропорциональный", ""},
    {"haCenter", "По центру", ""},
    {"haFill", "По ширине", ""},
    {"haLeft", "По левому краю", ""},
    {"HAlign", "", ""},
    {"haRight", "По правому краю", ""},
    {"psClear", "Нет линии", ""},
    {"psDash", "Штрихи", ""},
    {"psDashDot", "Штрих-пунктир", ""},
    {"psDashDotDot", "Штрих-пунктир-пунктир", ""},
    {"psDot", "Точки", ""},
    {"psInsideFrame", "Внутри рамки", ""},
    {"psSolid", "Сплошная", ""},
    {"TBrush", "Кисть", ""},
    {"TFont", "Шрифт", ""},
    {"TPen", "Перо", ""},
    {"True", "Да", ""},
    {"vaBottom", "По нижнему краю", ""},
    {"vaCenter", "По центру", ""},
    {"vaFill", "По высоте", ""},
    {"AutoType", "Автоопределение типа", ""},
    {"BackColor", "Цвет фона", ""},
    {"ForeColor", "Цвет штрихов", ""},
    {"ShowText", "Показывать текст", ""},
    {"BRType", "Тип штрихкода", ""},
    {"VAlign", "", ""},
    {"SnapToGrid", "Привязка к сетке", ""},
    {"vaTop", "По верхнему краю", ""},
    {"LineType", "Тип линии", ""},
    {"ltHorizontal", "Горизонтальная", ""},
    {"ltVertical", "Вертикальная", ""},
    {"BRType2D", "Тип 2D штрихкода", ""},
    {"ErrorCorrection", "Уровень коррекции", ""},
    {"Stretch", "Изменять пропорции", ""},
    {"HeightToWidth", "Высота/Ширина", ""},
    {"AspectRatio", "Строки/Колонки", ""},
}};

// The data sources are rows 3..39 of the caption table.
constexpr size_t kFirstDataSourceRow = 3;

constexpr std::array<std::string_view, kDataSourceCount> kDataSourceNames = [] {
  std::array<std::string_view, kDataSourceCount> names{};
  for (size_t i = 0; i < names.size(); ++i) names[i] = kCaptions[kFirstDataSourceRow + i].Key;
  return names;
}();

}  // namespace

std::span<const CaptionRow> CaptionTable() {
  return kCaptions;
}

std::span<const std::string_view> DataSourceNames() {
  return kDataSourceNames;
}

const CaptionRow* FindCaptionByKey(std::string_view key) {
  for (const CaptionRow& row : kCaptions)
    if (row.Key == key) return &row;
  return nullptr;
}

std::optional<std::string_view> FindKeyByCaption(std::string_view caption) {
  for (const CaptionRow& row : kCaptions)
    if (SameText(row.Caption, caption)) return row.Key;
  return std::nullopt;
}

}  // namespace labelplu
