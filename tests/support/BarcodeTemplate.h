// A one-item template for the print tests: an EAN-13 barcode that takes the
// record's "Штрихкод" value (any letter case), 50 × 28 mm on a 58 × 40 mm
// label, so that zbar can read back what each printed label holds.
#ifndef LABELPLU_TESTS_SUPPORT_BARCODETEMPLATE_H
#define LABELPLU_TESTS_SUPPORT_BARCODETEMPLATE_H

namespace labelplu::test {

inline constexpr const char* kBarcodeTemplate = R"(<?xml version="1.0" encoding="windows-1251"?>
<Label Width="58" Height="40">
  <Item ClassName="Shk">
    <Property Name="DS" Value="dsSHK"/>
    <Property Name="BarCodeType" Value="bcEAN_13"/>
    <Property Name="Left" Value="4"/>
    <Property Name="Top" Value="6"/>
    <Property Name="Width" Value="50"/>
    <Property Name="Height" Value="28"/>
    <Property Name="Value" Value="4006381333931"/>
  </Item>
</Label>
)";

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_SUPPORT_BARCODETEMPLATE_H
