// labelplu: the settings dialog: the loading of the values and their writing back.
#include "ui/SettingsDialog.h"

#include <QCheckBox>
#include <QColor>
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

SettingsDialog::SettingsDialog(QWidget* owner, PrinterDevice& device)
    : ThemedDialog(owner), m_device(device) {
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
  m_horizontalCentringCombo->addItems({Q("Лево"), Q("Центр"), Q("Право")});
  m_verticalCentringCombo->addItems({Q("Верх"), Q("Центр"), Q("Низ")});
  m_horizontalCentringCombo->setCurrentIndex(1);
  m_verticalCentringCombo->setCurrentIndex(1);

  m_identifierEdit->setText(QString::fromStdString(m_device.Name));
  const DeviceList* list = m_device.ListOf();
  m_templateFolder = QString::fromStdString(list && !list->ModuleFileName().empty()
                                                ? sys::ExtractFileDir(list->ModuleFileName())
                                                : sys::ModuleDirectory());
  m_templateEdit->setText(QString::fromStdString(m_device.GetParam("ШаблонПоУмолчанию")));

  // First: it reads the printer list again and tells whether the stored
  // printer is there.
  m_device.SelectTemplate(m_templateEdit->text().toStdString());

  spool::PrintObject& printer = spool::PrintObject::Instance();
  for (const std::string& name : printer.Printers())
    m_printerCombo->addItem(QString::fromStdString(name));
  m_storedPrinter = m_device.GetParam("PrinterName");
  // A built-in printer's options after ";" do not name another printer.
  const int32_t stored = printer.IndexOfPrinter(m_storedPrinter);
  if (stored >= 0)
    m_printerCombo->setCurrentIndex(stored);
  else if (!View().PrinterProblem().empty())
    AddMissingPrinter(View().PrinterProblem());
  else
    m_printerCombo->setCurrentIndex(0);

  m_autoPlacementCheck->setChecked(m_device.GetIntByName("AutoPosition") != 0);
  m_acrossCountEdit->setValue(m_device.GetIntByName("MaxHorizontal"));
  m_downCountEdit->setValue(m_device.GetIntByName("MaxVertical"));
  m_totalCountEdit->setValue(m_acrossCountEdit->value() * m_downCountEdit->value());
  m_horizontalGapEdit->setValue(m_device.GetFloatByName("GapHorizontal"));
  m_verticalGapEdit->setValue(m_device.GetFloatByName("GapVertical"));
  // An index outside the three items leaves "Центр".
  const auto align = [](QComboBox* box, int32_t index) {
    if (index >= 0 && index < box->count()) box->setCurrentIndex(index);
  };
  align(m_horizontalCentringCombo, m_device.GetIntByName("HorizontalAlign"));
  align(m_verticalCentringCombo, m_device.GetIntByName("VerticalAlign"));
  m_printerMarginsCheck->setChecked(m_device.GetIntByName("AutoPaperMargin") != 0);
  m_leftMarginEdit->setValue(m_device.GetFloatByName("MarginLeft"));
  m_rightMarginEdit->setValue(m_device.GetFloatByName("MarginRight"));
  m_topMarginEdit->setValue(m_device.GetFloatByName("MarginTop"));
  m_bottomMarginEdit->setValue(m_device.GetFloatByName("MarginBottom"));
  m_rasterizeCheck->setChecked(m_device.GetIntByName("UseRasterization") != 0);
  m_printerCopiesCheck->setChecked(m_device.GetIntByName("PrinterCopies") != 0);
  m_horizontalSeparatorCheck->setChecked(m_device.GetIntByName("PrintHSeparator") != 0);
  m_verticalSeparatorCheck->setChecked(m_device.GetIntByName("PrintVSeparator") != 0);
}

void SettingsDialog::AddMissingPrinter(const std::string& problem) {
  const QString name =
      QString::fromStdString(m_storedPrinter.substr(0, m_storedPrinter.find(';'))).trimmed();
  m_missingProblem = problem;
  m_missingPrinterIndex = m_printerCombo->count();
  m_printerCombo->addItem(name + Q(" (не найден)"));
  m_printerCombo->setItemData(m_missingPrinterIndex, QColor(Qt::red), Qt::ForegroundRole);
  m_printerCombo->setItemData(
      m_missingPrinterIndex,
      Q("Принтер «") + name +
          Q("» не найден: устройство не печатает, пока он не появится или не выбран другой"),
      Qt::ToolTipRole);
  m_printerCombo->setCurrentIndex(m_missingPrinterIndex);
}

bool SettingsDialog::MissingPrinterChosen() const {
  return m_missingPrinterIndex >= 0 && m_printerCombo->currentIndex() == m_missingPrinterIndex;
}

PageLayoutPrinter& SettingsDialog::View() const {
  PageLayoutPrinter* view = m_device.View();
  if (view == nullptr) throw std::logic_error("The printer device has no page layout");
  return *view;
}

// ---- values after OK --------------------------------------------------------

std::string SettingsDialog::Identifier() const {
  return m_identifierEdit->text().toStdString();
}
std::string SettingsDialog::TemplateName() const {
  return m_templateEdit->text().toStdString();
}

std::string SettingsDialog::PrinterName() const {
  if (MissingPrinterChosen()) return m_storedPrinter;
  std::string shown = m_printerCombo->currentText().toStdString();
  const spool::PrintObject& printer = spool::PrintObject::Instance();
  const int32_t index = m_printerCombo->currentIndex();
  if (index >= 0 && m_storedPrinter.find(';') != std::string::npos && printer.IsBuiltin(index) &&
      printer.IndexOfPrinter(m_storedPrinter) == index) {
    return m_storedPrinter;
  }
  return shown;
}

int32_t SettingsDialog::PaperCode() const {
  if (MissingPrinterChosen()) return m_device.GetIntByName("PaperIndex");
  return View().PaperCode;
}
int32_t SettingsDialog::AutoPosition() const {
  return m_autoPlacementCheck->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::MaxHorizontal() const {
  return m_acrossCountEdit->value();
}
int32_t SettingsDialog::MaxVertical() const {
  return m_downCountEdit->value();
}
double SettingsDialog::GapHorizontal() const {
  return m_horizontalGapEdit->value();
}
double SettingsDialog::GapVertical() const {
  return m_verticalGapEdit->value();
}
int32_t SettingsDialog::HorizontalAlign() const {
  return m_horizontalCentringCombo->currentIndex();
}
int32_t SettingsDialog::VerticalAlign() const {
  return m_verticalCentringCombo->currentIndex();
}
int32_t SettingsDialog::AutoPaperMargin() const {
  return m_printerMarginsCheck->isChecked() ? 1 : 0;
}
double SettingsDialog::MarginLeft() const {
  return m_leftMarginEdit->value();
}
double SettingsDialog::MarginRight() const {
  return m_rightMarginEdit->value();
}
double SettingsDialog::MarginTop() const {
  return m_topMarginEdit->value();
}
double SettingsDialog::MarginBottom() const {
  return m_bottomMarginEdit->value();
}
int32_t SettingsDialog::UseRasterization() const {
  return m_rasterizeCheck->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::PrinterCopies() const {
  return m_printerCopiesCheck->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::PrintHSeparator() const {
  return m_horizontalSeparatorCheck->isChecked() ? 1 : 0;
}
int32_t SettingsDialog::PrintVSeparator() const {
  return m_verticalSeparatorCheck->isChecked() ? 1 : 0;
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
