// labelplu: the settings dialog's controls, one function per part of the
// window.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
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

#include "ui/SettingsDialog.h"

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

QGroupBox* Group(QWidget* parent, const char* title) {
  return new QGroupBox(Q(title), parent);
}

}  // namespace

// The parts are built in the order of the focus chain: Tab follows the
// order in which the controls are created. Layouts place them, so that the
// window follows the font and the style in force; it may grow (a long
// printer name), never shrink below what its layout needs.
void SettingsDialog::BuildControls() {
  setWindowTitle(Q("Настройки"));
  setSizeGripEnabled(false);
  auto* column = new QVBoxLayout(this);
  column->addLayout(IdentityRow());
  column->addWidget(TemplateGroup());
  column->addWidget(PrinterGroup());
  column->addWidget(Pages(), 1);
  column->addLayout(ButtonRow());
  // A size before the first show: tests and screenshots grab the dialog
  // without showing it.
  resize(sizeHint());
}

QLayout* SettingsDialog::IdentityRow() {
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(Q("Идентификатор устройства:"), this));
  m_edIdentif = Named(new QLineEdit(this), "edIdentif");
  row->addWidget(m_edIdentif, 1);
  return row;
}

QGroupBox* SettingsDialog::TemplateGroup() {
  QGroupBox* group = Group(this, " Этикетка по умолчанию ");
  auto* row = new QHBoxLayout(group);
  m_edTemplate = Named(new QLineEdit(group), "edTemplate");
  m_btnBrowse = Named(new QToolButton(group), "btnTemplate");
  m_btnBrowse->setText(Q("..."));
  row->addWidget(m_edTemplate);
  row->addWidget(m_btnBrowse);
  return group;
}

QGroupBox* SettingsDialog::PrinterGroup() {
  QGroupBox* group = Group(this, " Принтер ");
  auto* row = new QHBoxLayout(group);
  m_cbPrinter = Named(new QComboBox(group), "cbPrinter");
  m_cbPrinter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_btnPrinterProps = Named(new QPushButton(Q("Свойства"), group), "btnPrinterProps");
  row->addWidget(m_cbPrinter, 1);
  row->addWidget(m_btnPrinterProps);
  return group;
}

QTabWidget* SettingsDialog::Pages() {
  m_pages = Named(new QTabWidget(this), "pcPages");
  m_pages->addTab(LayoutPage(), Q("Расположение"));
  m_pages->addTab(PaperPage(), Q("Бумага"));
  m_pages->addTab(PrintPage(), Q("Печать"));
  return m_pages;
}

// ---- "Расположение" ----------------------------------------------------------

QWidget* SettingsDialog::LayoutPage() {
  auto* page = new QWidget(m_pages);
  auto* grid = new QGridLayout(page);
  grid->addWidget(CountsGroup(page), 0, 0);
  grid->addWidget(GapsGroup(page), 0, 1);
  grid->addWidget(CentringGroup(page), 1, 0, 1, 2);
  // Room the page does not need goes to the upper groups, whose rows stay
  // at their top.
  grid->setRowStretch(0, 1);
  return page;
}

QGroupBox* SettingsDialog::CountsGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Количество этикеток на странице ");
  auto* form = new QFormLayout(group);
  m_cbAuto = Named(new QCheckBox(Q("Автоматическое размещение"), group), "cbAuto");
  form->addRow(m_cbAuto);
  m_edMaxAll = CountEdit(group, "edMaxAll");
  // Up to 99 × 99 labels: the product is shown whole, not cut at 99.
  m_edMaxAll->setRange(1, 99 * 99);
  m_edMaxAll->setReadOnly(true);
  m_edMaxAll->setEnabled(false);
  m_edMaxAll->setButtonSymbols(QAbstractSpinBox::NoButtons);
  form->addRow(Q("Макс. количество:"), m_edMaxAll);
  m_edMaxH = CountEdit(group, "edMaxH");
  form->addRow(Q("По горизонтали:"), m_edMaxH);
  m_edMaxV = CountEdit(group, "edMaxV");
  form->addRow(Q("По вертикали:"), m_edMaxV);
  return group;
}

QGroupBox* SettingsDialog::GapsGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Промежутки между этикетками ");
  auto* form = new QFormLayout(group);
  m_edGapH = MillimetreEdit(group, "edGapH", 0);
  form->addRow(Q("По горизонтали:"), WithUnit(group, m_edGapH));
  m_edGapV = MillimetreEdit(group, "edGapV", 0);
  form->addRow(Q("По вертикали:"), WithUnit(group, m_edGapV));
  return group;
}

QGroupBox* SettingsDialog::CentringGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Центровка этикеток на странице ");
  auto* row = new QHBoxLayout(group);
  m_cbCenteringH = Named(new QComboBox(group), "cbCenteringH");
  m_cbCenteringV = Named(new QComboBox(group), "cbCenteringV");
  row->addWidget(new QLabel(Q("По горизонтали:"), group));
  row->addWidget(m_cbCenteringH, 1);
  row->addWidget(new QLabel(Q("По вертикали:"), group));
  row->addWidget(m_cbCenteringV, 1);
  return group;
}

// ---- "Бумага" ----------------------------------------------------------------

QWidget* SettingsDialog::PaperPage() {
  auto* page = new QWidget(m_pages);
  auto* row = new QHBoxLayout(page);
  row->addWidget(MarginsGroup(page));
  row->addWidget(PaperGroup(page));
  return page;
}

QGroupBox* SettingsDialog::MarginsGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Отступы от края бумаги ");
  auto* form = new QFormLayout(group);
  m_cbPaperAuto = Named(new QCheckBox(Q("Взять из настроек принтера"), group), "cbPaperAuto");
  form->addRow(m_cbPaperAuto);
  m_edMarginL = MillimetreEdit(group, "edMarginL", -99);
  form->addRow(Q("Лево:"), WithUnit(group, m_edMarginL));
  m_edMarginR = MillimetreEdit(group, "edMarginR", -99);
  form->addRow(Q("Право:"), WithUnit(group, m_edMarginR));
  m_edMarginT = MillimetreEdit(group, "edMarginT", -99);
  form->addRow(Q("Верх"), WithUnit(group, m_edMarginT));
  m_edMarginB = MillimetreEdit(group, "edMarginB", -99);
  form->addRow(Q("Низ:"), WithUnit(group, m_edMarginB));
  return group;
}

QGroupBox* SettingsDialog::PaperGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Установки принтера/ бумаги ");
  auto* column = new QVBoxLayout(group);
  const auto line = [&](const char* caption, const char* name) {
    column->addWidget(new QLabel(Q(caption), group));
    auto* value = Named(new QLabel(group), name);
    value->setIndent(12);
    column->addWidget(value);
    return value;
  };
  m_lbPaper = line("Тип бумаги:", "lbPaper");
  m_lbPaperRotation = line("Ориентация бумаги:", "lbPaperRotation");
  m_lbPaperW = line("Ширина бумаги:", "lbPaperW");
  m_lbPaperH = line("Высота бумаги:", "lbPaperH");
  column->addStretch();
  return group;
}

// ---- "Печать" ----------------------------------------------------------------

QWidget* SettingsDialog::PrintPage() {
  auto* page = new QWidget(m_pages);
  auto* pageColumn = new QVBoxLayout(page);
  QGroupBox* group = Group(page, " Подготовка к печати ");
  pageColumn->addWidget(group);
  auto* column = new QVBoxLayout(group);
  m_cbUseRasterization = Named(new QCheckBox(Q("Использовать промежуточную растеризацию"), group),
                               "cbUseRasterization");
  m_cbPrinterCopies =
      Named(new QCheckBox(Q("Печатать копии через принтер"), group), "cbPrinterCopies");
  m_cbPrintH = Named(new QCheckBox(Q("Печатать горизонтальный разделитель"), group), "cbPrintH");
  m_cbPrintV = Named(new QCheckBox(Q("Печатать вертикальный разделитель"), group), "cbPrintV");
  for (QCheckBox* box : {m_cbUseRasterization, m_cbPrinterCopies, m_cbPrintH, m_cbPrintV})
    column->addWidget(box);
  column->addStretch();
  return page;
}

// "Просмотр" on the left, OK and "Отмена" on the right in this order on every
// platform (a QDialogButtonBox would reorder them by the platform's rules).
QLayout* SettingsDialog::ButtonRow() {
  m_btnPreview = Named(new QPushButton(Q("Просмотр"), this), "btnPreview");
  m_btnPreview->setAutoDefault(false);
  m_btnOk = Named(new QPushButton(Q("OK"), this), "btnOk");
  m_btnOk->setDefault(true);
  m_btnCancel = Named(new QPushButton(Q("Отмена"), this), "btnCancel");
  m_btnCancel->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addWidget(m_btnPreview);
  row->addStretch(1);
  row->addWidget(m_btnOk);
  row->addWidget(m_btnCancel);
  return row;
}

}  // namespace labelplu
