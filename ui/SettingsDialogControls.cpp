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

#include "print/LabelGrid.h"
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
  edit->setRange(1, kMaxGridCount);
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
  m_identifierEdit = Named(new QLineEdit(this), "identifierEdit");
  row->addWidget(m_identifierEdit, 1);
  return row;
}

QGroupBox* SettingsDialog::TemplateGroup() {
  QGroupBox* group = Group(this, " Этикетка по умолчанию ");
  auto* row = new QHBoxLayout(group);
  m_templateEdit = Named(new QLineEdit(group), "templateEdit");
  m_browseTemplateButton = Named(new QToolButton(group), "browseTemplateButton");
  m_browseTemplateButton->setText(Q("..."));
  row->addWidget(m_templateEdit);
  row->addWidget(m_browseTemplateButton);
  return group;
}

QGroupBox* SettingsDialog::PrinterGroup() {
  QGroupBox* group = Group(this, " Принтер ");
  auto* row = new QHBoxLayout(group);
  m_printerCombo = Named(new QComboBox(group), "printerCombo");
  m_printerCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_printerPropertiesButton =
      Named(new QPushButton(Q("Свойства"), group), "printerPropertiesButton");
  row->addWidget(m_printerCombo, 1);
  row->addWidget(m_printerPropertiesButton);
  return group;
}

QTabWidget* SettingsDialog::Pages() {
  m_pages = Named(new QTabWidget(this), "pages");
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
  m_autoPlacementCheck =
      Named(new QCheckBox(Q("Автоматическое размещение"), group), "autoPlacementCheck");
  form->addRow(m_autoPlacementCheck);
  m_totalCountEdit = CountEdit(group, "totalCountEdit");
  // The product is shown whole, not cut at the count's limit.
  m_totalCountEdit->setRange(1, kMaxGridCount * kMaxGridCount);
  m_totalCountEdit->setReadOnly(true);
  m_totalCountEdit->setEnabled(false);
  m_totalCountEdit->setButtonSymbols(QAbstractSpinBox::NoButtons);
  form->addRow(Q("Макс. количество:"), m_totalCountEdit);
  m_acrossCountEdit = CountEdit(group, "acrossCountEdit");
  form->addRow(Q("По горизонтали:"), m_acrossCountEdit);
  m_downCountEdit = CountEdit(group, "downCountEdit");
  form->addRow(Q("По вертикали:"), m_downCountEdit);
  return group;
}

QGroupBox* SettingsDialog::GapsGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Промежутки между этикетками ");
  auto* form = new QFormLayout(group);
  m_horizontalGapEdit = MillimetreEdit(group, "horizontalGapEdit", 0);
  form->addRow(Q("По горизонтали:"), WithUnit(group, m_horizontalGapEdit));
  m_verticalGapEdit = MillimetreEdit(group, "verticalGapEdit", 0);
  form->addRow(Q("По вертикали:"), WithUnit(group, m_verticalGapEdit));
  return group;
}

QGroupBox* SettingsDialog::CentringGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Центровка этикеток на странице ");
  auto* row = new QHBoxLayout(group);
  m_horizontalCentringCombo = Named(new QComboBox(group), "horizontalCentringCombo");
  m_verticalCentringCombo = Named(new QComboBox(group), "verticalCentringCombo");
  row->addWidget(new QLabel(Q("По горизонтали:"), group));
  row->addWidget(m_horizontalCentringCombo, 1);
  row->addWidget(new QLabel(Q("По вертикали:"), group));
  row->addWidget(m_verticalCentringCombo, 1);
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
  m_printerMarginsCheck =
      Named(new QCheckBox(Q("Взять из настроек принтера"), group), "printerMarginsCheck");
  form->addRow(m_printerMarginsCheck);
  m_leftMarginEdit = MillimetreEdit(group, "leftMarginEdit", -99);
  form->addRow(Q("Лево:"), WithUnit(group, m_leftMarginEdit));
  m_rightMarginEdit = MillimetreEdit(group, "rightMarginEdit", -99);
  form->addRow(Q("Право:"), WithUnit(group, m_rightMarginEdit));
  m_topMarginEdit = MillimetreEdit(group, "topMarginEdit", -99);
  form->addRow(Q("Верх"), WithUnit(group, m_topMarginEdit));
  m_bottomMarginEdit = MillimetreEdit(group, "bottomMarginEdit", -99);
  form->addRow(Q("Низ:"), WithUnit(group, m_bottomMarginEdit));
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
  m_paperNameLabel = line("Тип бумаги:", "paperNameLabel");
  m_paperOrientationLabel = line("Ориентация бумаги:", "paperOrientationLabel");
  m_paperWidthLabel = line("Ширина бумаги:", "paperWidthLabel");
  m_paperHeightLabel = line("Высота бумаги:", "paperHeightLabel");
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
  m_rasterizeCheck =
      Named(new QCheckBox(Q("Использовать промежуточную растеризацию"), group), "rasterizeCheck");
  m_printerCopiesCheck =
      Named(new QCheckBox(Q("Печатать копии через принтер"), group), "printerCopiesCheck");
  m_horizontalSeparatorCheck = Named(new QCheckBox(Q("Печатать горизонтальный разделитель"), group),
                                     "horizontalSeparatorCheck");
  m_verticalSeparatorCheck =
      Named(new QCheckBox(Q("Печатать вертикальный разделитель"), group), "verticalSeparatorCheck");
  for (QCheckBox* box : {m_rasterizeCheck, m_printerCopiesCheck, m_horizontalSeparatorCheck,
                         m_verticalSeparatorCheck})
    column->addWidget(box);
  column->addStretch();
  return page;
}

// "Просмотр" on the left, OK and "Отмена" on the right in this order on every
// platform (a QDialogButtonBox would reorder them by the platform's rules).
QLayout* SettingsDialog::ButtonRow() {
  m_previewButton = Named(new QPushButton(Q("Просмотр"), this), "previewButton");
  m_previewButton->setAutoDefault(false);
  m_okButton = Named(new QPushButton(Q("OK"), this), "okButton");
  m_okButton->setDefault(true);
  m_cancelButton = Named(new QPushButton(Q("Отмена"), this), "cancelButton");
  m_cancelButton->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addWidget(m_previewButton);
  row->addStretch(1);
  row->addWidget(m_okButton);
  row->addWidget(m_cancelButton);
  return row;
}

}  // namespace labelplu
