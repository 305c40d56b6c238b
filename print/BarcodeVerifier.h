// labelplu: the check before spooling. Every barcode of a label is read
// back, in process, from the label painted the way the printer prints it:
// the label's own painting code on a raster of the printer's resolution,
// each barcode item's box cut out, turned upright, surrounded with a white
// quiet zone and decoded by zxing-cpp restricted to the item's symbology.
// A symbol that does not read as its value (BarcodeReading.h), reads as
// nothing, or shows the encoder's "ОШИБКА!" display is a finding.
// Symbologies the reader does not know (Code 11, MicroPDF417) are counted
// as not checked, never as findings.
//
// Threads: the label's thread; the painting needs a QGuiApplication for
// text.
#ifndef LABELPLU_PRINT_BARCODEVERIFIER_H
#define LABELPLU_PRINT_BARCODEVERIFIER_H

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace labelplu {

class Label;
class LabelItem;

// One barcode item that does not carry its value.
struct BarcodeFinding {
  int32_t ItemIndex = 0;  // 0-based, in the label's item order
  std::string Field;  // "field \"Штрихкод\" (dsSHK)", or the item when it has no data source
  std::string Symbology;  // "EAN-13"
  std::string Problem;    // "read \"…\" where \"…\" was expected", ...
};

class BarcodeVerifier {
 public:
  // A verifier for a printer of dpiX × dpiY dots per inch (each at least 1).
  BarcodeVerifier(int32_t dpiX, int32_t dpiY);

  // Paints label as it stands (values filled, update blocks closed) at the
  // printer's resolution, at its origin, in printer mode, and reads every
  // barcode item. Returns the findings in item order; empty when every
  // symbol reads as its value. The label's view, mode and origin are put
  // back afterwards (also when painting throws, which it passes on). The
  // label's items keep the preparation made for the check: the caller's
  // view re-prepares them when its scale differs.
  std::vector<BarcodeFinding> Check(Label& label);

  // Symbols passed over by the checks so far because no reader knows their
  // symbology.
  int64_t Unchecked() const { return m_unchecked; }
  // Symbols read so far.
  int64_t Checked() const { return m_checked; }

  // The last painted label in grey (white outside the label's inner area);
  // for tests and diagnosis.
  const QImage& Painted() const { return m_grey; }

 private:
  void Paint(Label& label);
  bool CheckItem(const LabelItem& item, int32_t index, BarcodeFinding& finding);

  int32_t m_dpiX;
  int32_t m_dpiY;
  QImage m_image;
  QImage m_grey;
  int64_t m_unchecked = 0;
  int64_t m_checked = 0;
};

// "Barcode check failed: record 3, field \"Штрихкод\" (dsSHK), EAN-13: read
// \"…\" where \"…\" was expected. Nothing was printed." for a record
// (1-based).
std::string DescribeFinding(int32_t record, const BarcodeFinding& finding);

}  // namespace labelplu

#endif  // LABELPLU_PRINT_BARCODEVERIFIER_H
