// labelplu: the settings dialog: its controls and the loading of the values.
#include "ui/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/spool/PrintObject.h"
#include "platform/sys/ModulePath.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"

namespace labelplu {

namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

// Spin edits show "," as the decimal separator, as the rest of the
// driver's numbers do; the locale is the widget's own, never the process's.
QLocale DialogLocale() {
  QLocale locale(QLocale::Russian, QLocale::Russia);
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale;
}

template <class T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QSpinBox* CountEdit(QWidget* parent, const char* name) {
  auto* edit = Named(new QSpinBox(parent), name);
  edit->setRange(1, 99);
  edit->setLocale(DialogLocale());
  return edit;
}

QDoubleSpinBox* MillimetreEdit(QWidget* parent, const char* name, double low) {
  auto* edit = Named(new QDoubleSpinBox(parent), name);
  edit->setLocale(DialogLocale());
  edit->setDecimals(1);
  edit->setRange(low, 99);
  edit->setSingleStep(1);
  return edit;
}

// An edit followed by its unit.
QWidget* WithUnit(QWidget* parent, QWidget* edit) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  edit->setParent(row);
  layout->addWidget(edit);
  layout->addWidget(new QLabel(Q("мм."), row));
  layout->addStretch();
  return row;
}

QGroupBox* Group(QWidget* parent, const char* title, int x, int y, int w, int h) {
  auto* group = new QGroupBox(Q(title), parent);
  group->setGeometry(x, y, w, h);
  return group;
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

void SettingsDialog::BuildControls() {
  setWindowTitle(Q("Настройки"));
  setFixedSize(450, 432);
  setSizeGripEnabled(false);
  // The fixed form was laid out for an 8-point face.
  QFont face = font();
  face.setPointSize(8);
  setFont(face);

  auto* identLabel = new QLabel(Q("Идентификатор устройства:"), this);
  identLabel->setGeometry(8, 10, 176, 22);
  m_edIdentif = Named(new QLineEdit(this), "edIdentif");
  m_edIdentif->setGeometry(180, 8, 262, 24);

  QGroupBox* templateGroup = Group(this, " Этикетка по умолчанию ", 8, 38, 434, 56);
  auto* templateRow = new QHBoxLayout(templateGroup);
  m_edTemplate = Named(new QLineEdit(templateGroup), "edTemplate");
  m_btnBrowse = Named(new QToolButton(templateGroup), "btnTemplate");
  m_btnBrowse->setText(Q("..."));
  templateRow->addWidget(m_edTemplate);
  templateRow->addWidget(m_btnBrowse);

  QGroupBox* printerGroup = Group(this, " Принтер ", 8, 98, 434, 58);
  auto* printerRow = new QHBoxLayout(printerGroup);
  m_cbPrinter = Named(new QComboBox(printerGroup), "cbPrinter");
  m_cbPrinter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_btnPrinterProps = Named(new QPushButton(Q("Свойства"), printerGroup), "btnPrinterProps");
  printerRow->addWidget(m_cbPrinter, 1);
  printerRow->addWidget(m_btnPrinterProps);

  m_pages = Named(new QTabWidget(this), "pcPages");
  m_pages->setGeometry(8, 162, 434, 228);

  // ---- "Расположение" ----
  auto* layoutPage = new QWidget(m_pages);
  QGroupBox* counts = Group(layoutPage, " Количество этикеток на странице ", 4, 4, 226, 124);
  auto* countsForm = new QFormLayout(counts);
  m_cbAuto = Named(new QCheckBox(Q("Автоматическое размещение"), counts), "cbAuto");
  countsForm->addRow(m_cbAuto);
  m_edMaxAll = CountEdit(counts, "edMaxAll");
  // Up to 99 × 99 labels: the product is shown whole, not cut at 99.
  m_edMaxAll->setRange(1, 99 * 99);
  m_edMaxAll->setReadOnly(true);
  m_edMaxAll->setEnabled(false);
  m_edMaxAll->setButtonSymbols(QAbstractSpinBox::NoButtons);
  countsForm->addRow(Q("Макс. количество:"), m_edMaxAll);
  m_edMaxH = CountEdit(counts, "edMaxH");
  countsForm->addRow(Q("По горизонтали:"), m_edMaxH);
  m_edMaxV = CountEdit(counts, "edMaxV");
  countsForm->addRow(Q("По вертикали:"), m_edMaxV);

  QGroupBox* gaps = Group(layoutPage, " Промежутки между этикетками ", 234, 4, 190, 124);
  auto* gapsForm = new QFormLayout(gaps);
  m_edGapH = MillimetreEdit(gaps, "edGapH", 0);
  gapsForm->addRow(Q("По горизонтали:"), WithUnit(gaps, m_edGapH));
  m_edGapV = MillimetreEdit(gaps, "edGapV", 0);
  gapsForm->addRow(Q("По вертикали:"), WithUnit(gaps, m_edGapV));

  QGroupBox* centring = Group(layoutPage, " Центровка этикеток на странице ", 4, 132, 420, 62);
  auto* centringRow = new QHBoxLayout(centring);
  m_cbCenteringH = Named(new QComboBox(centring), "cbCenteringH");
  m_cbCenteringV = Named(new QComboBox(centring), "cbCenteringV");
  centringRow->addWidget(new QLabel(Q("По горизонтали:"), centring));
  centringRow->addWidget(m_cbCenteringH, 1);
  centringRow->addWidget(new QLabel(Q("По вертикали:"), centring));
  centringRow->addWidget(m_cbCenteringV, 1);
  m_pages->addTab(layoutPage, Q("Расположение"));

  // ---- "Бумага" ----
  auto* paperPage = new QWidget(m_pages);
  QGroupBox* margins = Group(paperPage, " Отступы от края бумаги ", 4, 4, 200, 190);
  auto* marginsForm = new QFormLayout(margins);
  m_cbPaperAuto = Named(new QCheckBox(Q("Взять из настроек принтера"), margins), "cbPaperAuto");
  marginsForm->addRow(m_cbPaperAuto);
  m_edMarginL = MillimetreEdit(margins, "edMarginL", -99);
  marginsForm->addRow(Q("Лево:"), WithUnit(margins, m_edMarginL));
  m_edMarginR = MillimetreEdit(margins, "edMarginR", -99);
  marginsForm->addRow(Q("Право:"), WithUnit(margins, m_edMarginR));
  m_edMarginT = MillimetreEdit(margins, "edMarginT", -99);
  marginsForm->addRow(Q("Верх"), WithUnit(margins, m_edMarginT));
  m_edMarginB = MillimetreEdit(margins, "edMarginB", -99);
  marginsForm->addRow(Q("Низ:"), WithUnit(margins, m_edMarginB));

  QGroupBox* paper = Group(paperPage, " Установки принтера/ бумаги ", 208, 4, 216, 190);
  auto* paperColumn = new QVBoxLayout(paper);
  const auto paperLine = [&](const char* caption, const char* name) {
    paperColumn->addWidget(new QLabel(Q(caption), paper));
    auto* value = Named(new QLabel(paper), name);
    value->setIndent(12);
    paperColumn->addWidget(value);
    return value;
  };
  m_lbPaper = paperLine("Тип бумаги:", "lbPaper");
  m_lbPaperRotation = paperLine("Ориентация бумаги:", "lbPaperRotation");
  m_lbPaperW = paperLine("Ширина бумаги:", "lbPaperW");
  m_lbPaperH = paperLine("Высота бумаги:", "lbPaperH");
  paperColumn->addStretch();
  m_pages->addTab(paperPage, Q("Бумага"));

  // ---- "Печать" ----
  auto* printPage = new QWidget(m_pages);
  QGroupBox* printing = Group(printPage, " Подготовка к печати ", 4, 4, 420, 150);
  auto* printingColumn = new QVBoxLayout(printing);
  m_cbUseRasterization = Named(
      new QCheckBox(Q("Использовать промежуточную растеризацию"), printing), "cbUseRasterization");
  m_cbPrinterCopies =
      Named(new QCheckBox(Q("Печатать копии через принтер"), printing), "cbPrinterCopies");
  m_cbPrintH = Named(new QCheckBox(Q("Печатать горизонтальный разделитель"), printing), "cbPrintH");
  m_cbPrintV = Named(new QCheckBox(Q("Печатать вертикальный разделитель"), printing), "cbPrintV");
  for (QCheckBox* box : {m_cbUseRasterization, m_cbPrinterCopies, m_cbPrintH, m_cbPrintV})
    printingColumn->addWidget(box);
  printingColumn->addStretch();
  m_pages->addTab(printPage, Q("Печать"));

  m_btnPreview = Named(new QPushButton(Q("Просмотр"), this), "btnPreview");
  m_btnPreview->setGeometry(8, 398, 96, 26);
  m_btnPreview->setAutoDefault(false);
  m_btnOk = Named(new QPushButton(Q("OK"), this), "btnOk");
  m_btnOk->setGeometry(262, 398, 88, 26);
  m_btnOk->setDefault(true);
  m_btnCancel = Named(new QPushButton(Q("Отмена"), this), "btnCancel");
  m_btnCancel->setGeometry(354, 398, 88, 26);
  m_btnCancel->setAutoDefault(false);
}

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
