// labelplu: the settings dialog's controls, one function per part of the
// window.
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

QGroupBox* Group(QWidget* parent, const char* title, int x, int y, int w, int h) {
  auto* group = new QGroupBox(Q(title), parent);
  group->setGeometry(x, y, w, h);
  return group;
}

}  // namespace

// The parts are built in the order of the focus chain: Tab follows the
// order in which the controls are created.
void SettingsDialog::BuildControls() {
  setWindowTitle(Q("Настройки"));
  setFixedSize(450, 432);
  setSizeGripEnabled(false);
  // The fixed form was laid out for an 8-point face.
  QFont face = font();
  face.setPointSize(8);
  setFont(face);

  IdentityRow();
  TemplateGroup();
  PrinterGroup();
  Pages();
  ButtonRow();
}

void SettingsDialog::IdentityRow() {
  auto* identLabel = new QLabel(Q("Идентификатор устройства:"), this);
  identLabel->setGeometry(8, 10, 176, 22);
  m_edIdentif = Named(new QLineEdit(this), "edIdentif");
  m_edIdentif->setGeometry(180, 8, 262, 24);
}

QGroupBox* SettingsDialog::TemplateGroup() {
  QGroupBox* group = Group(this, " Этикетка по умолчанию ", 8, 38, 434, 56);
  auto* row = new QHBoxLayout(group);
  m_edTemplate = Named(new QLineEdit(group), "edTemplate");
  m_btnBrowse = Named(new QToolButton(group), "btnTemplate");
  m_btnBrowse->setText(Q("..."));
  row->addWidget(m_edTemplate);
  row->addWidget(m_btnBrowse);
  return group;
}

QGroupBox* SettingsDialog::PrinterGroup() {
  QGroupBox* group = Group(this, " Принтер ", 8, 98, 434, 58);
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
  m_pages->setGeometry(8, 162, 434, 228);
  m_pages->addTab(LayoutPage(), Q("Расположение"));
  m_pages->addTab(PaperPage(), Q("Бумага"));
  m_pages->addTab(PrintPage(), Q("Печать"));
  return m_pages;
}

// ---- "Расположение" ----------------------------------------------------------

QWidget* SettingsDialog::LayoutPage() {
  auto* page = new QWidget(m_pages);
  CountsGroup(page);
  GapsGroup(page);
  CentringGroup(page);
  return page;
}

QGroupBox* SettingsDialog::CountsGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Количество этикеток на странице ", 4, 4, 226, 124);
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
  QGroupBox* group = Group(page, " Промежутки между этикетками ", 234, 4, 190, 124);
  auto* form = new QFormLayout(group);
  m_edGapH = MillimetreEdit(group, "edGapH", 0);
  form->addRow(Q("По горизонтали:"), WithUnit(group, m_edGapH));
  m_edGapV = MillimetreEdit(group, "edGapV", 0);
  form->addRow(Q("По вертикали:"), WithUnit(group, m_edGapV));
  return group;
}

QGroupBox* SettingsDialog::CentringGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Центровка этикеток на странице ", 4, 132, 420, 62);
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
  MarginsGroup(page);
  PaperGroup(page);
  return page;
}

QGroupBox* SettingsDialog::MarginsGroup(QWidget* page) {
  QGroupBox* group = Group(page, " Отступы от края бумаги ", 4, 4, 200, 190);
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
  QGroupBox* group = Group(page, " Установки принтера/ бумаги ", 208, 4, 216, 190);
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
  QGroupBox* group = Group(page, " Подготовка к печати ", 4, 4, 420, 150);
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

void SettingsDialog::ButtonRow() {
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

}  // namespace labelplu
