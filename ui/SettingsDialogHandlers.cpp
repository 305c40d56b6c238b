// labelplu: the settings dialog's handlers and its preview.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/ole/VarFormat.h"
#include "platform/spool/PrintObject.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"
#include "ui/Application.h"
#include "ui/PreviewWindow.h"
#include "ui/SettingsDialog.h"

namespace labelplu {

namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

QString Millimetres(double value) {
  return QString::fromStdString(ole::FloatToText(value)) + Q(" мм.");
}

// Read-only margin edits take the button face, editable ones the window
// background.
void SetMarginEditable(QDoubleSpinBox* edit, bool editable) {
  edit->setReadOnly(!editable);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, editable ? QPalette().color(QPalette::Base)
                                            : QPalette().color(QPalette::Button));
  edit->setPalette(palette);
}

}  // namespace

template <class Handler>
void SettingsDialog::Guarded(Handler handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "labelplu: %s\n", e.what());
    // A message box nobody can see would wait for ever.
    if (IsInteractiveDisplay())
      QMessageBox::critical(this, windowTitle(), Q("Ошибка! ") + QString::fromUtf8(e.what()));
  }
}

void SettingsDialog::ConnectHandlers() {
  connect(m_printerCombo, &QComboBox::currentIndexChanged, this,
          [this] { Guarded([this] { PrinterChanged(); }); });
  connect(m_printerPropertiesButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { PrinterProperties(); }); });
  connect(m_printerMarginsCheck, &QCheckBox::clicked, this, [this] { PaperMarginsChanged(); });
  connect(m_autoPlacementCheck, &QCheckBox::clicked, this, [this] { AutoPlacementChanged(); });
  connect(m_acrossCountEdit, &QSpinBox::valueChanged, this, [this] { CountsChanged(); });
  connect(m_downCountEdit, &QSpinBox::valueChanged, this, [this] { CountsChanged(); });
  for (QDoubleSpinBox* gap : {m_horizontalGapEdit, m_verticalGapEdit})
    connect(gap, &QDoubleSpinBox::valueChanged, this, [this] { GapChanged(); });
  for (QDoubleSpinBox* margin :
       {m_leftMarginEdit, m_rightMarginEdit, m_topMarginEdit, m_bottomMarginEdit})
    connect(margin, &QDoubleSpinBox::valueChanged, this, [this] { MarginChanged(); });
  connect(m_browseTemplateButton, &QToolButton::clicked, this, [this] { BrowseTemplate(); });
  connect(m_previewButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { ShowPreview(); }); });
  connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::PrinterChanged() {
  PageLayoutPrinter& view = View();
  const bool missing = MissingPrinterChosen();
  m_printerCombo->setToolTip(missing ? QString::fromStdString(m_missingProblem) : QString());
  m_previewButton->setEnabled(!missing);
  if (missing) {
    // Nothing of another printer stands in for it.
    view.SetPrinterProblem(m_missingProblem);
    ShowPaperData();
    UpdatePrinterPropsButton();
    return;
  }
  view.Printer().SetPrinterIndex(m_printerCombo->currentIndex());
  view.SetPrinterProblem({});
  view.ReadPrinterGeometry();
  ShowPaperData();
  UpdatePrinterPropsButton();
  PaperMarginsChanged();
  // The paper changed even when the margins did not.
  AutoPlacementChanged();
}

void SettingsDialog::UpdatePrinterPropsButton() {
  const int32_t index = m_printerCombo->currentIndex();
  const bool missing = MissingPrinterChosen();
  const bool builtin = !missing && index >= 0 && View().Printer().IsBuiltin(index);
  m_printerPropertiesButton->setEnabled(!builtin && !missing);
  m_printerPropertiesButton->setToolTip(
      builtin ? Q("У встроенного принтера нет системного диалога настройки") : QString());
}

void SettingsDialog::PrinterProperties() {
  spool::PrintObject& printer = View().Printer();
  const int32_t index = m_printerCombo->currentIndex();
  if (index < 0 || MissingPrinterChosen() || printer.IsBuiltin(index)) return;
  QPrinter qprinter(QPrinter::HighResolution);
  qprinter.setPrinterName(m_printerCombo->currentText());
  QPrintDialog dialog(&qprinter, this);
  if (dialog.exec() != QDialog::Accepted) return;
  printer.SelectPrinterByName(qprinter.printerName().toStdString());
  if (printer.PrinterIndex() != m_printerCombo->currentIndex())
    m_printerCombo->setCurrentIndex(printer.PrinterIndex());
  else
    PrinterChanged();
}

void SettingsDialog::PaperMarginsChanged() {
  const bool fromPrinter = m_printerMarginsCheck->isChecked();
  if (fromPrinter && !MissingPrinterChosen()) {
    const PageLayoutPrinter& view = View();
    m_leftMarginEdit->setValue(view.OffsetX);
    m_topMarginEdit->setValue(view.OffsetY);
    m_rightMarginEdit->setValue(view.UnprintableRight);
    m_bottomMarginEdit->setValue(view.UnprintableBottom);
  }
  for (QDoubleSpinBox* margin :
       {m_leftMarginEdit, m_rightMarginEdit, m_topMarginEdit, m_bottomMarginEdit})
    SetMarginEditable(margin, !fromPrinter);
}

void SettingsDialog::AutoPlacementChanged() {
  const bool automatic = m_autoPlacementCheck->isChecked();
  if (automatic && !MissingPrinterChosen()) {
    const GridCounts grid = View().AutomaticGrid();
    m_acrossCountEdit->setValue(grid.Across);
    m_downCountEdit->setValue(grid.Down);
    m_totalCountEdit->setValue(m_acrossCountEdit->value() * m_downCountEdit->value());
  }
  for (QSpinBox* count : {m_acrossCountEdit, m_downCountEdit}) {
    count->setReadOnly(automatic);
    count->setEnabled(!automatic);
  }
}

void SettingsDialog::CountsChanged() {
  m_totalCountEdit->setValue(m_acrossCountEdit->value() * m_downCountEdit->value());
}

void SettingsDialog::GapChanged() {
  PageLayoutPrinter& view = View();
  view.GapHorizontal = m_horizontalGapEdit->value();
  view.GapVertical = m_verticalGapEdit->value();
  AutoPlacementChanged();
}

void SettingsDialog::MarginChanged() {
  PageLayoutPrinter& view = View();
  view.MarginLeft = m_leftMarginEdit->value();
  view.MarginRight = m_rightMarginEdit->value();
  view.MarginTop = m_topMarginEdit->value();
  view.MarginBottom = m_bottomMarginEdit->value();
  AutoPlacementChanged();
}

void SettingsDialog::BrowseTemplate() {
  const QString file = QFileDialog::getOpenFileName(this, Q("Выбор шаблона этикетки"),
                                                    m_templateFolder, Q("Этикетки (*.lb3)"));
  // Only the name is kept: templates live in the plug-in's folder.
  if (!file.isEmpty()) m_templateEdit->setText(QFileInfo(file).fileName());
}

void SettingsDialog::ShowPaperData() {
  if (MissingPrinterChosen()) {
    m_paperNameLabel->setText(Q("принтер не найден"));
    for (QLabel* label : {m_paperOrientationLabel, m_paperWidthLabel, m_paperHeightLabel})
      label->clear();
    return;
  }
  const PageLayoutPrinter& view = View();
  m_paperOrientationLabel->setText(view.Orientation == 1 ? Q("Книжная") : Q("Альбомная"));
  m_paperWidthLabel->setText(Millimetres(view.PaperWidth));
  m_paperHeightLabel->setText(Millimetres(view.PaperHeight));
  m_paperNameLabel->setText(QString::fromStdString(view.PaperName));
}

void SettingsDialog::ShowPreview() {
  if (MissingPrinterChosen()) throw spool::PrinterUnavailable(m_missingProblem);
  m_device.SelectTemplate(m_templateEdit->text().toStdString());
  auto preview = std::make_unique<PreviewWindow>(this, m_device);
  PageLayoutPrinter& view = View();
  if (m_previewStored) {
    // The page a print job lays out reads the stored settings, so the
    // preview asked for from outside shows those, not what automatic
    // placement would make of them.
    view.ReadDeviceSettings();
    if (!view.PrinterProblem().empty()) throw spool::PrinterUnavailable(view.PrinterProblem());
    preview->exec();
    return;
  }
  view.MaxHorizontal = m_acrossCountEdit->value();
  view.MaxVertical = m_downCountEdit->value();
  view.GapHorizontal = m_horizontalGapEdit->value();
  view.GapVertical = m_verticalGapEdit->value();
  view.HorizontalAlign = m_horizontalCentringCombo->currentIndex();
  view.VerticalAlign = m_verticalCentringCombo->currentIndex();
  view.MarginLeft = m_leftMarginEdit->value();
  view.MarginRight = m_rightMarginEdit->value();
  view.MarginTop = m_topMarginEdit->value();
  view.MarginBottom = m_bottomMarginEdit->value();
  view.PrintHSeparator = m_horizontalSeparatorCheck->isChecked();
  view.PrintVSeparator = m_verticalSeparatorCheck->isChecked();
  view.LabelsPerPage = view.MaxHorizontal * view.MaxVertical;
  preview->exec();
}

void SettingsDialog::showEvent(QShowEvent* event) {
  ThemedDialog::showEvent(event);
  const char* open = std::getenv(kOpenVariable);
  if (m_autoOpenDone || open == nullptr || std::strcmp(open, kOpenPreview) != 0) return;
  m_autoOpenDone = true;
  // After the dialog is on screen: the preview is modal over it.
  QTimer::singleShot(0, this, [this] {
    m_previewStored = true;
    Guarded([this] { ShowPreview(); });
    m_previewStored = false;
    reject();
  });
}

}  // namespace labelplu
