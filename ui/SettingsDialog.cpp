// labelplu: the settings dialog: the loading of the values and their writing back.
#include "ui/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "platform/spool/PrintObject.h"
#include "platform/sys/ModulePath.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"

namespace labelplu {

namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* owner, PrinterDevice& manager)
    : ThemedDialog(owner), m_manager(manager) {
  BuildControls();
  LoadValues();
  ConnectHandlers();
  // Step 6 of the loading: printer, paper margins, automatic placement.
  PrinterChanged();
  AutoPlacementChanged();
  ShowPaperData();
  ApplyColourScheme();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::LoadValues() {
  m_pages->setCurrentIndex(0);
  m_cbCenteringH->addItems({Q("Лево"), Q("Центр"), Q("Право")});
  m_cbCenteringV->addItems({Q("Верх"), Q("Центр"), Q("Низ")});
  m_cbCenteringH->setCurrentIndex(1);
  m_cbCenteringV->setCurrentIndex(1);

  m_edIdentif->setText(QString::fromStdString(m_manager.Name));
  const DeviceList* list = m_manager.ListOf();
  m_templateFolder = QString::fromStdString(list && !list->ModuleFileName().empty()
                                                ? sys::ExtractFileDir(list->ModuleFileName())
                                                : sys::ModuleDirectory());
  m_edTemplate->setText(QString::fromStdString(m_manager.GetParam("ШаблонПоУмолчанию")));

  spool::PrintObject& printer = spool::PrintObject::Instance();
  for (const std::string& name : printer.Printers())
    m_cbPrinter->addItem(QString::fromStdString(name));
  m_storedPrinter = m_manager.GetParam("PrinterName");
  // A built-in printer's options after ";" do not name another printer.
  const int32_t stored = printer.IndexOfPrinter(m_storedPrinter);
  m_cbPrinter->setCurrentIndex(stored >= 0 ? stored : 0);

  m_manager.SelectTemplate(m_edTemplate->text().toStdString());

  m_cbAuto->setChecked(m_manager.GetIntByName("AutoPosition") != 0);
  m_edMaxH->setValue(m_manager.GetIntByName("MaxHorizontal"));
  m_edMaxV->setValue(m_manager.GetIntByName("MaxVertical"));
  m_edMaxAll->setValue(m_edMaxH->value() * m_edMaxV->value());
  m_edGapH->setValue(m_manager.GetFloatByName("GapHorizontal"));
  m_edGapV->setValue(m_manager.GetFloatByName("GapVertical"));
  // An index outside the three items leaves "Центр".
  const auto align = [](QComboBox* box, int32_t index) {
    if (index >= 0 && index < box->count()) box->setCurrentIndex(index);
  };
  align(m_cbCenteringH, m_manager.GetIntByName("HorizontalAlign"));
  align(m_cbCenteringV, m_manager.GetIntByName("VerticalAlign"));
  m_cbPaperAuto->setChecked(m_manager.GetIntByName("AutoPaperMargin") != 0);
  m_edMarginL->setValue(m_manager.GetFloatByName("MarginLeft"));
  m_edMarginR->setValue(m_manager.GetFloatByName("MarginRight"));
  m_edMarginT->setValue(m_manager.GetFloatByName("MarginTop"));
  m_edMarginB->setValue(m_manager.GetFloatByName("MarginBottom"));
  m_cbUseRasterization->setChecked(m_manager.GetIntByName("UseRasterization") != 0);
  m_cbPrinterCopies->setChecked(m_manager.GetIntByName("PrinterCopies") != 0);
  m_cbPrintH->setChecked(m_manager.GetIntByName("PrintHSeparator") != 0);
  m_cbPrintV->setChecked(m_manager.GetIntByName("PrintVSeparator") != 0);
}

PageLayoutPrinter& SettingsDialog::View() const {
  PageLayoutPrinter* view = m_manager.View();
  if (view == nullptr) throw std::logic_error("The print manager has no printer view");
  return *view;
}

// ---- values after OK --------------------------------------------------------

std::string SettingsDialog::Identifier() const {
  return m_edIdentif->text().toStdString();
}
std::string SettingsDialog::TemplateName() const {
  return m_edTemplate->text().toStdString();
}

std::string SettingsDialog::PrinterName() const {
  const std::string shown = m_cbPrinter->currentText().toStdString();
  const spool::PrintObject& printer = spool::PrintObject::Instance();
  const int32_t index = m_cbPrinter->currentIndex();
  if (index >= 0 && m_storedPrinter.find(';') != std::string::npos && printer.IsBuiltin(index) &&
      printer.IndexOfPrinter(m_storedPrinter) == index) {
    return m_storedPrinter;
  }
  return shown;
}

int32_t SettingsDialog::PaperCode() const {
  return View().PaperCode;
}
int32_t SettingsDialog::AutoPosition() const {
  return m_cbAuto->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::MaxHorizontal() const {
  return m_edMaxH->value();
}
int32_t SettingsDialog::MaxVertical() const {
  return m_edMaxV->value();
}
double SettingsDialog::GapHorizontal() const {
  return m_edGapH->value();
}
double SettingsDialog::GapVertical() const {
  return m_edGapV->value();
}
int32_t SettingsDialog::HorizontalAlign() const {
  return m_cbCenteringH->currentIndex();
}
int32_t SettingsDialog::VerticalAlign() const {
  return m_cbCenteringV->currentIndex();
}
int32_t SettingsDialog::AutoPaperMargin() const {
  return m_cbPaperAuto->isChecked() ? 1 : 0;
}
double SettingsDialog::MarginLeft() const {
  return m_edMarginL->value();
}
double SettingsDialog::MarginRight() const {
  return m_edMarginR->value();
}
double SettingsDialog::MarginTop() const {
  return m_edMarginT->value();
}
double SettingsDialog::MarginBottom() const {
  return m_edMarginB->value();
}
int32_t SettingsDialog::UseRasterization() const {
  return m_cbUseRasterization->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::PrinterCopies() const {
  return m_cbPrinterCopies->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::PrintHSeparator() const {
  return m_cbPrintH->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::PrintVSeparator() const {
  return m_cbPrintV->isChecked() ? 1 : 0;
}

void SettingsDialog::ApplyTo(PrinterDevice& device) const {
  device.Name = Identifier();
  device.SetParam("ШаблонПоУмолчанию", TemplateName());
  device.SetParam("PrinterName", PrinterName());
  device.SetIntParam("PaperIndex", PaperCode());
  device.SetIntParam("AutoPosition", AutoPosition());
  device.SetIntParam("MaxHorizontal", MaxHorizontal());
  device.SetIntParam("MaxVertical", MaxVertical());
  device.SetFloatParam("GapHorizontal", GapHorizontal());
  device.SetFloatParam("GapVertical", GapVertical());
  device.SetIntParam("HorizontalAlign", HorizontalAlign());
  device.SetIntParam("VerticalAlign", VerticalAlign());
  device.SetIntParam("AutoPaperMargin", AutoPaperMargin());
  device.SetFloatParam("MarginLeft", MarginLeft());
  device.SetFloatParam("MarginRight", MarginRight());
  device.SetFloatParam("MarginTop", MarginTop());
  device.SetFloatParam("MarginBottom", MarginBottom());
  device.SetIntParam("UseRasterization", UseRasterization());
  device.SetIntParam("PrinterCopies", PrinterCopies());
  device.SetIntParam("PrintHSeparator", PrintHSeparator());
  device.SetIntParam("PrintVSeparator", PrintVSeparator());
}

}  // namespace labelplu
