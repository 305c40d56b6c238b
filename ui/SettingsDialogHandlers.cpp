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
  connect(m_cbPrinter, &QComboBox::currentIndexChanged, this,
          [this] { Guarded([this] { PrinterChanged(); }); });
  connect(m_btnPrinterProps, &QPushButton::clicked, this,
          [this] { Guarded([this] { PrinterProperties(); }); });
  connect(m_cbPaperAuto, &QCheckBox::clicked, this, [this] { PaperMarginsChanged(); });
  connect(m_cbAuto, &QCheckBox::clicked, this, [this] { AutoPlacementChanged(); });
  connect(m_edMaxH, &QSpinBox::valueChanged, this, [this] { CountsChanged(); });
  connect(m_edMaxV, &QSpinBox::valueChanged, this, [this] { CountsChanged(); });
  for (QDoubleSpinBox* gap : {m_edGapH, m_edGapV})
    connect(gap, &QDoubleSpinBox::valueChanged, this, [this] { GapChanged(); });
  for (QDoubleSpinBox* margin : {m_edMarginL, m_edMarginR, m_edMarginT, m_edMarginB})
    connect(margin, &QDoubleSpinBox::valueChanged, this, [this] { MarginChanged(); });
  connect(m_btnBrowse, &QToolButton::clicked, this, [this] { BrowseTemplate(); });
  connect(m_btnPreview, &QPushButton::clicked, this,
          [this] { Guarded([this] { ShowPreview(); }); });
  connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::PrinterChanged() {
  PageLayoutPrinter& view = View();
  view.Printer().SetPrinterIndex(m_cbPrinter->currentIndex());
  view.ReadPrinterGeometry();
  ShowPaperData();
  UpdatePrinterPropsButton();
  PaperMarginsChanged();
  // The paper changed even when the margins did not.
  AutoPlacementChanged();
}

void SettingsDialog::UpdatePrinterPropsButton() {
  const int32_t index = m_cbPrinter->currentIndex();
  const bool builtin = index >= 0 && View().Printer().IsBuiltin(index);
  m_btnPrinterProps->setEnabled(!builtin);
  m_btnPrinterProps->setToolTip(
      builtin ? Q("У встроенного принтера нет системного диалога настройки") : QString());
}

void SettingsDialog::PrinterProperties() {
  spool::PrintObject& printer = View().Printer();
  const int32_t index = m_cbPrinter->currentIndex();
  if (index < 0 || printer.IsBuiltin(index)) return;
  QPrinter qprinter(QPrinter::HighResolution);
  qprinter.setPrinterName(m_cbPrinter->currentText());
  QPrintDialog dialog(&qprinter, this);
  if (dialog.exec() != QDialog::Accepted) return;
  printer.SelectPrinterByName(qprinter.printerName().toStdString());
  if (printer.PrinterIndex() != m_cbPrinter->currentIndex())
    m_cbPrinter->setCurrentIndex(printer.PrinterIndex());
  else
    PrinterChanged();
}

void SettingsDialog::PaperMarginsChanged() {
  const bool fromPrinter = m_cbPaperAuto->isChecked();
  if (fromPrinter) {
    const PageLayoutPrinter& view = View();
    m_edMarginL->setValue(view.OffsetX);
    m_edMarginT->setValue(view.OffsetY);
    m_edMarginR->setValue(view.UnprintableRight);
    m_edMarginB->setValue(view.UnprintableBottom);
  }
  for (QDoubleSpinBox* margin : {m_edMarginL, m_edMarginR, m_edMarginT, m_edMarginB})
    SetMarginEditable(margin, !fromPrinter);
}

void SettingsDialog::AutoPlacementChanged() {
  const bool automatic = m_cbAuto->isChecked();
  if (automatic) {
    const PageLayoutPrinter& view = View();
    m_edMaxH->setValue(view.FitAcross());
    m_edMaxV->setValue(view.FitDown());
    m_edMaxAll->setValue(m_edMaxH->value() * m_edMaxV->value());
  }
  for (QSpinBox* count : {m_edMaxH, m_edMaxV}) {
    count->setReadOnly(automatic);
    count->setEnabled(!automatic);
  }
}

void SettingsDialog::CountsChanged() {
  m_edMaxAll->setValue(m_edMaxH->value() * m_edMaxV->value());
}

void SettingsDialog::GapChanged() {
  PageLayoutPrinter& view = View();
  view.GapHorizontal = m_edGapH->value();
  view.GapVertical = m_edGapV->value();
  AutoPlacementChanged();
}

void SettingsDialog::MarginChanged() {
  PageLayoutPrinter& view = View();
  view.MarginLeft = m_edMarginL->value();
  view.MarginRight = m_edMarginR->value();
  view.MarginTop = m_edMarginT->value();
  view.MarginBottom = m_edMarginB->value();
  AutoPlacementChanged();
}

void SettingsDialog::BrowseTemplate() {
  const QString file = QFileDialog::getOpenFileName(this, Q("Выбор шаблона этикетки"),
                                                    m_templateFolder, Q("Этикетки (*.lb3)"));
  // Only the name is kept: templates live in the plug-in's folder.
  if (!file.isEmpty()) m_edTemplate->setText(QFileInfo(file).fileName());
}

void SettingsDialog::ShowPaperData() {
  const PageLayoutPrinter& view = View();
  m_lbPaperRotation->setText(view.Orientation == 1 ? Q("Книжная") : Q("Альбомная"));
  m_lbPaperW->setText(Millimetres(view.PaperWidth));
  m_lbPaperH->setText(Millimetres(view.PaperHeight));
  m_lbPaper->setText(QString::fromStdString(view.PaperName));
}

void SettingsDialog::ShowPreview() {
  m_manager.SelectTemplate(m_edTemplate->text().toStdString());
  auto preview = std::make_unique<PreviewWindow>(this, m_manager);
  PageLayoutPrinter& view = View();
  view.MaxHorizontal = m_edMaxH->value();
  view.MaxVertical = m_edMaxV->value();
  view.GapHorizontal = m_edGapH->value();
  view.GapVertical = m_edGapV->value();
  view.HorizontalAlign = m_cbCenteringH->currentIndex();
  view.VerticalAlign = m_cbCenteringV->currentIndex();
  view.MarginLeft = m_edMarginL->value();
  view.MarginRight = m_edMarginR->value();
  view.MarginTop = m_edMarginT->value();
  view.MarginBottom = m_edMarginB->value();
  view.PrintHSeparator = m_cbPrintH->isChecked();
  view.PrintVSeparator = m_cbPrintV->isChecked();
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
    Guarded([this] { ShowPreview(); });
    reject();
  });
}

}  // namespace labelplu
