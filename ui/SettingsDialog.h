// labelplu: the settings dialog of a printer device: the device's name, the
// default template, the printer, the page layout (labels across and down,
// gaps, alignment, margins) and the print options.
//
// The dialog edits the printer device's page layout live: gaps and margins
// go into the view as they change, and with automatic placement on the
// label counts follow the paper, margins, gaps and the loaded label's size.
// Choosing a printer selects it in the print object at once, whatever the
// dialog's result. A stored printer that is not installed is never replaced
// by another one: it is listed last as "<name> (не найден)" in red and
// chosen; while it is chosen OK keeps the stored name and paper code, the
// paper data and the values taken from the printer stay as stored, and the
// preview and the printer's properties are off. The dialog itself stores nothing until ApplyTo
// writes its values into the device after OK (DeviceWindows.h).
//
// "Просмотр" opens the preview window with the values being edited. When
// the process environment holds LABELPLU_OPEN=preview, the dialog opens the
// preview as soon as it is shown and closes as cancelled once the preview
// closes (the channel labelhost's preview command uses); that preview shows
// the page as a print job lays it out, from the stored settings (the counts
// as stored, whatever automatic placement would make of them), and the
// template of the template field.
//
// Every control carries its name as objectName (identifierEdit,
// templateEdit, printerCombo, ...), so that tests can find it.
//
// Threads: the GUI thread.
#ifndef LABELPLU_UI_SETTINGSDIALOG_H
#define LABELPLU_UI_SETTINGSDIALOG_H

#include <cstdint>
#include <string>

#include "ui/ThemedDialog.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace labelplu {

class PrinterDevice;
class PageLayoutPrinter;

// The environment variable and value that make the dialog open its preview
// at once.
inline constexpr const char* kOpenVariable = "LABELPLU_OPEN";
inline constexpr const char* kOpenPreview = "preview";

class SettingsDialog : public ThemedDialog {
 public:
  // Builds the controls and loads the device's settings; creates the
  // device's label and view when missing and loads the template named by
  // "ШаблонПоУмолчанию" (a missing file leaves the label as it was). A
  // setting that is not a number, or a template that fails to load, raises.
  SettingsDialog(QWidget* owner, PrinterDevice& device);
  ~SettingsDialog() override;

  // What is written after OK: the identifier becomes the device's Name,
  // then "ШаблонПоУмолчанию", "PrinterName", "PaperIndex", "AutoPosition",
  // "MaxHorizontal", "MaxVertical", "GapHorizontal", "GapVertical",
  // "HorizontalAlign", "VerticalAlign", "AutoPaperMargin", "MarginLeft",
  // "MarginRight", "MarginTop", "MarginBottom", "UseRasterization",
  // "PrinterCopies", "PrintHSeparator" and "PrintVSeparator" are set in this
  // order (SetParam).
  void ApplyTo(PrinterDevice& device) const;

  // ---- values after OK ------------------------------------------------------
  std::string Identifier() const;
  std::string TemplateName() const;
  // The selected printer's name. When it is the printer the settings named
  // and they carried built-in printer options ("labelplu Raster; dpi=203"),
  // or that printer is missing, the stored name as it was.
  std::string PrinterName() const;
  int32_t PaperCode() const;     // the view's paper; the stored one for a missing printer
  int32_t AutoPosition() const;  // 0/1
  int32_t MaxHorizontal() const;
  int32_t MaxVertical() const;
  double GapHorizontal() const;
  double GapVertical() const;
  int32_t HorizontalAlign() const;  // 0 left, 1 centre, 2 right
  int32_t VerticalAlign() const;    // 0 top, 1 centre, 2 bottom
  int32_t AutoPaperMargin() const;  // 0/1
  double MarginLeft() const;
  double MarginRight() const;
  double MarginTop() const;
  double MarginBottom() const;
  int32_t UseRasterization() const;  // 0/1
  int32_t PrinterCopies() const;
  int32_t PrintHSeparator() const;
  int32_t PrintVSeparator() const;

  // "Просмотр": loads the template shown, copies the edited layout into the
  // view and shows the preview window modally.
  void ShowPreview();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The controls, one function per part of the window, each setting the
  // members of the controls it makes (SettingsDialogControls.cpp).
  void BuildControls();
  QLayout* IdentityRow();
  QGroupBox* TemplateGroup();
  QGroupBox* PrinterGroup();
  QTabWidget* Pages();
  QWidget* LayoutPage();
  QGroupBox* CountsGroup(QWidget* page);
  QGroupBox* GapsGroup(QWidget* page);
  QGroupBox* CentringGroup(QWidget* page);
  QWidget* PaperPage();
  QGroupBox* MarginsGroup(QWidget* page);
  QGroupBox* PaperGroup(QWidget* page);
  QWidget* PrintPage();
  QLayout* ButtonRow();

  void LoadValues();
  void ConnectHandlers();
  PageLayoutPrinter& View() const;
  // Adds the entry of a stored printer that is not installed and chooses it.
  void AddMissingPrinter(const std::string& problem);
  bool MissingPrinterChosen() const;

  void PrinterChanged();
  void PrinterProperties();
  void PaperMarginsChanged();
  void AutoPlacementChanged();
  void CountsChanged();
  void GapChanged();
  void MarginChanged();
  void BrowseTemplate();
  void ShowPaperData();
  void UpdatePrinterPropsButton();
  // Runs a handler; a failure is shown in a message box instead of
  // unwinding through the event loop.
  template <class Handler>
  void Guarded(Handler handler);

  PrinterDevice& m_device;
  std::string m_storedPrinter;
  int m_missingPrinterIndex = -1;  // the "(не найден)" entry, or -1
  std::string m_missingProblem;    // why it is missing, naming it
  QString m_templateFolder;
  bool m_autoOpenDone = false;
  // The preview shows the stored settings instead of the edited values.
  bool m_previewStored = false;

  QTabWidget* m_pages = nullptr;
  QLineEdit* m_identifierEdit = nullptr;
  QLineEdit* m_templateEdit = nullptr;
  QToolButton* m_browseTemplateButton = nullptr;
  QComboBox* m_printerCombo = nullptr;
  QPushButton* m_printerPropertiesButton = nullptr;
  QCheckBox* m_autoPlacementCheck = nullptr;
  QSpinBox* m_totalCountEdit = nullptr;
  QSpinBox* m_acrossCountEdit = nullptr;
  QSpinBox* m_downCountEdit = nullptr;
  QDoubleSpinBox* m_horizontalGapEdit = nullptr;
  QDoubleSpinBox* m_verticalGapEdit = nullptr;
  QComboBox* m_horizontalCentringCombo = nullptr;
  QComboBox* m_verticalCentringCombo = nullptr;
  QCheckBox* m_printerMarginsCheck = nullptr;
  QDoubleSpinBox* m_leftMarginEdit = nullptr;
  QDoubleSpinBox* m_rightMarginEdit = nullptr;
  QDoubleSpinBox* m_topMarginEdit = nullptr;
  QDoubleSpinBox* m_bottomMarginEdit = nullptr;
  QLabel* m_paperNameLabel = nullptr;
  QLabel* m_paperOrientationLabel = nullptr;
  QLabel* m_paperWidthLabel = nullptr;
  QLabel* m_paperHeightLabel = nullptr;
  QCheckBox* m_rasterizeCheck = nullptr;
  QCheckBox* m_printerCopiesCheck = nullptr;
  QCheckBox* m_horizontalSeparatorCheck = nullptr;
  QCheckBox* m_verticalSeparatorCheck = nullptr;
  QPushButton* m_previewButton = nullptr;
  QPushButton* m_okButton = nullptr;
  QPushButton* m_cancelButton = nullptr;
};

}  // namespace labelplu

#endif  // LABELPLU_UI_SETTINGSDIALOG_H
