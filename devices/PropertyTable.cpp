#include "devices/PropertyTable.h"

#include "base/Errors.h"
#include "base/TextUtils.h"
#include "devices/SettingsXml.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "values/ValueArray.h"

namespace labelplu {

namespace {

ole::OleVariant Decoded(const ole::OleVariant& value) {
  if (value.Type() != VT_BSTR) return value;
  return ole::OleVariant(EscapeNewLines(ole::VarToText(value.get()), false));
}

ole::OleVariant Text(std::string_view text) {
  return ole::OleVariant(EscapeNewLines(text, false));
}

// At most count characters (not bytes) of a UTF-8 text.
std::string Cut(const std::string& text, size_t count) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == count) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

std::string CellText(ISafeArray& table, int32_t row, int32_t col) {
  ole::OleVariant cell;
  ole::OleCheck(table.GetValue(row, col, cell.put()));
  return EscapeNewLines(ole::VarToText(cell.get()), true);
}

}  // namespace

int32_t FillPropsTable(DeviceItem& device, ole::ComPtr<ISafeArray>& table) {
  if (device.HostLink) {
    ole::OleVariant made;
    ole::OleCheck(device.HostLink->CreateValueArray(made.put()));
    ole::ComPtr<IUnknown> object(made.Type() == VT_DISPATCH ? made.get().pdispVal : nullptr);
    table = object.as<ISafeArray>();
    if (!table) throw std::runtime_error("The host did not create a value array");
  } else {
    table = CreateValueArray();
  }
  ole::OleCheck(table->SetBounds(device.Params.Count() + 1, 7));
  const auto put = [&](int32_t row, int32_t col, const ole::OleVariant& value) {
    ole::OleCheck(table->SetValue(row, col, &value.get()));
  };
  const ole::OleVariant header[7] = {Text("ИмяУстройства"),
                                     Text("Имя устройства"),
                                     Text("Имя устройства"),
                                     Text("Строка"),
                                     Text(device.Name),
                                     ole::OleVariant(1),
                                     Text("")};
  for (int32_t col = 0; col < 7; ++col) put(0, col, header[col]);
  int32_t row = 1;
  for (const auto& item : device.Params) {
    const ole::OleVariant cells[7] = {Text(item->Name),
                                      Text(item->Caption),
                                      Text(item->Hint),
                                      Text(item->DisplayType()),
                                      Decoded(item->TypedCurrent()),
                                      ole::OleVariant(static_cast<int32_t>(item->ReadOnly)),
                                      Decoded(item->TypedDefault())};
    for (int32_t col = 0; col < 7; ++col) put(row, col, cells[col]);
    ++row;
  }
  return kResultOk;
}

int32_t ApplyPropsTable(DeviceItem& device, ISafeArray& table) {
  int32_t rows = 0, cols = 0;
  ole::OleCheck(table.GetBounds(&rows, &cols));
  for (int32_t row = 0; row < rows; ++row) {
    const std::string name = Cut(CellText(table, row, 0), 100);
    if (SameText(name, "ИмяУстройства")) continue;
    const std::string caption = CellText(table, row, 1);
    const std::string type = Cut(CellText(table, row, 3), 10);
    const std::string value = CellText(table, row, 4);
    ole::OleVariant readOnly;
    ole::OleCheck(table.GetValue(row, 5, readOnly.put()));
    const bool isReadOnly = !readOnly.IsEmpty() && ole::VarToBool(readOnly.get());
    if (!isReadOnly && SameText(type, "Число")) {
      std::string number = value;
      for (char& c : number)
        if (c == '.') c = ',';
      if (!TryTextToFloat(number)) RaiseError(20029, caption);
    }
    device.SetParam(name, EscapeNewLines(value, false));
  }
  return kResultOk;
}

}  // namespace labelplu
