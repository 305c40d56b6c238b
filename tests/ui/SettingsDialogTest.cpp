// The settings dialog, built directly for a device with known settings and
// driven through its widgets: what it shows, automatic placement, paper
// margins from the printer, writing back after OK, cancel, the colour
// scheme, the preview opened on request, and ShowSettings without a display.
#include <gtest/gtest.h>
#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "base/SharedLog.h"
#include "devices/DialogColours.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"
#include "tests/support/PrinterDeviceFixture.h"
#include "ui/Application.h"
#include "ui/DeviceWindows.h"
#include "ui/PreviewWindow.h"
#include "ui/SettingsDialog.h"

namespace labelplu {
namespace {

namespace fs = std::filesystem;

// The built-in raster printer on its default paper, A4.
constexpr const char* kPrinter = "labelplu Raster; dpi=203";

// A printer device that records every setting written to it.
class RecordingDevice : public PrinterDevice {
 public:
  using PrinterDevice::PrinterDevice;
  void SetParam(std::string_view name, std::string_view value) override {
    if (Recording) Written.emplace_back(name, value);
    PrinterDevice::SetParam(name, value);
  }
  bool Recording = false;
  std::vector<std::pair<std::string, std::string>> Written;
};

class RecordingList : public PrinterDeviceList {
 public:
  using PrinterDeviceList::PrinterDeviceList;

 protected:
  ole::ComPtr<DeviceItem> CreateItem() override { return ole::MakeCom<RecordingDevice>(*this); }
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    InstallDeviceWindows();
    m_devices = std::make_unique<test::PrinterDeviceFixture>(
        [](const std::string& module) { return std::make_unique<RecordingList>(module); });
    WriteTemplate("label.lb3", 58, 40);
    m_device = &dynamic_cast<RecordingDevice&>(m_devices->Device());
    m_device->Name = "Склад 1";
    Set({{"PrinterName", kPrinter},
         {"ШаблонПоУмолчанию", "label.lb3"},
         {"AutoPosition", "0"},
         {"MaxHorizontal", "3"},
         {"MaxVertical", "5"},
         {"GapHorizontal", "2,5"},
         {"GapVertical", "1"},
         {"HorizontalAlign", "2"},
         {"VerticalAlign", "0"},
         {"AutoPaperMargin", "0"},
         {"MarginLeft", "1,5"},
         {"MarginRight", "2"},
         {"MarginTop", "3"},
         {"MarginBottom", "4"},
         {"UseRasterization", "1"},
         {"PrinterCopies", "0"},
         {"PrintHSeparator", "1"},
         {"PrintVSeparator", "0"}});
  }

  void WriteTemplate(const std::string& name, double width, double height) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<Label Width=\"" << width
        << "\" Height=\"" << height << "\"/>\n";
    m_devices->AddTemplate(name, xml.str());
  }
  void Set(const test::DeviceSettings& values) { m_devices->Set(values); }
  std::unique_ptr<SettingsDialog> Dialog() {
    return std::make_unique<SettingsDialog>(nullptr, *m_device);
  }
  template <class T>
  static T* Find(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  std::unique_ptr<test::PrinterDeviceFixture> m_devices;
  RecordingDevice* m_device = nullptr;  // the fixture's device
};

TEST_F(SettingsDialogTest, ShowsTheStoredSettings) {
  const auto dialog = Dialog();
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Настройки");
  EXPECT_EQ(Find<QTabWidget>(*dialog, "pages")->currentIndex(), 0);
  EXPECT_EQ(Find<QLineEdit>(*dialog, "identifierEdit")->text().toStdString(), "Склад 1");
  EXPECT_EQ(Find<QLineEdit>(*dialog, "templateEdit")->text().toStdString(), "label.lb3");
  // The built-in printer's options do not hide it from the list.
  EXPECT_EQ(Find<QComboBox>(*dialog, "printerCombo")->currentText().toStdString(),
            "labelplu Raster");
  EXPECT_FALSE(Find<QPushButton>(*dialog, "printerPropertiesButton")->isEnabled());

  auto* across = Find<QSpinBox>(*dialog, "acrossCountEdit");
  EXPECT_EQ(across->value(), 3);
  EXPECT_TRUE(across->isEnabled());
  EXPECT_EQ(Find<QSpinBox>(*dialog, "downCountEdit")->value(), 5);
  EXPECT_EQ(Find<QSpinBox>(*dialog, "totalCountEdit")->value(), 15);
  EXPECT_FALSE(Find<QSpinBox>(*dialog, "totalCountEdit")->isEnabled());
  EXPECT_EQ(Find<QDoubleSpinBox>(*dialog, "horizontalGapEdit")->text().toStdString(), "2,5");
  EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>(*dialog, "verticalGapEdit")->value(), 1.0);

  auto* alignH = Find<QComboBox>(*dialog, "horizontalCentringCombo");
  auto* alignV = Find<QComboBox>(*dialog, "verticalCentringCombo");
  ASSERT_EQ(alignH->count(), 3);
  ASSERT_EQ(alignV->count(), 3);
  EXPECT_EQ(alignH->itemText(0).toStdString() + alignH->itemText(1).toStdString() +
                alignH->itemText(2).toStdString(),
            "ЛевоЦентрПраво");
  EXPECT_EQ(alignV->itemText(0).toStdString() + alignV->itemText(2).toStdString(), "ВерхНиз");
  EXPECT_EQ(alignH->currentIndex(), 2);
  EXPECT_EQ(alignV->currentIndex(), 0);

  const std::pair<const char*, double> margins[] = {{"leftMarginEdit", 1.5},
                                                    {"rightMarginEdit", 2},
                                                    {"topMarginEdit", 3},
                                                    {"bottomMarginEdit", 4}};
  for (const auto& [name, value] : margins) {
    auto* edit = Find<QDoubleSpinBox>(*dialog, name);
    EXPECT_DOUBLE_EQ(edit->value(), value) << name;
    EXPECT_FALSE(edit->isReadOnly()) << name;
  }
  const std::pair<const char*, bool> boxes[] = {
      {"autoPlacementCheck", false},      {"printerMarginsCheck", false},
      {"rasterizeCheck", true},           {"printerCopiesCheck", false},
      {"horizontalSeparatorCheck", true}, {"verticalSeparatorCheck", false}};
  for (const auto& [name, checked] : boxes)
    EXPECT_EQ(Find<QCheckBox>(*dialog, name)->isChecked(), checked) << name;

  EXPECT_EQ(Find<QLabel>(*dialog, "paperNameLabel")->text().toStdString(), "A4");
  EXPECT_EQ(Find<QLabel>(*dialog, "paperOrientationLabel")->text().toStdString(), "Книжная");
  EXPECT_EQ(Find<QLabel>(*dialog, "paperWidthLabel")->text().toStdString(), "210 мм.");
  EXPECT_EQ(Find<QLabel>(*dialog, "paperHeightLabel")->text().toStdString(), "297 мм.");

  // The picture in the documentation is this dialog, laid out for the font
  // in force: no control in it is narrower than its text.
  const QImage shot = dialog->grab().toImage();
  EXPECT_EQ(shot.size(), dialog->size() * dialog->devicePixelRatioF());
  for (const QWidget* control : dialog->findChildren<QWidget*>()) {
    if (!control->isVisibleTo(dialog.get())) continue;
    EXPECT_GE(control->width(), control->minimumSizeHint().width())
        << control->metaObject()->className() << " " << control->objectName().toStdString();
  }
  if (const char* update = getenv("LABELPLU_UPDATE_SCREENSHOTS"); update && *update == '1') {
    const fs::path file = fs::path(getenv("LABELPLU_SOURCE")) / "docs" / "settings-dialog.png";
    fs::create_directories(file.parent_path());
    EXPECT_TRUE(shot.save(QString::fromStdString(file.string())));
  }
}

// A stored printer that is not installed (here a misspelled built-in name
// with options; a deleted or renamed queue is the same) stays chosen and is
// shown as missing: nothing of another printer takes its place, and OK keeps
// the stored name, paper code, counts and margins.
TEST_F(SettingsDialogTest, MissingPrinterIsShownAsMissingAndKept) {
  Set({{"PrinterName", "labelplu PFD; dpi=203"},
       {"PaperIndex", "11"},
       {"AutoPosition", "1"},
       {"AutoPaperMargin", "1"}});
  const auto dialog = Dialog();
  auto* printers = Find<QComboBox>(*dialog, "printerCombo");
  const int missing = printers->count() - 1;
  EXPECT_EQ(printers->currentIndex(), missing);
  EXPECT_EQ(printers->currentText().toStdString(), "labelplu PFD (не найден)");
  EXPECT_EQ(printers->itemData(missing, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_NE(printers->toolTip().toStdString().find("\"labelplu PFD\" is not installed"),
            std::string::npos)
      << printers->toolTip().toStdString();
  EXPECT_FALSE(Find<QPushButton>(*dialog, "previewButton")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(*dialog, "printerPropertiesButton")->isEnabled());
  EXPECT_EQ(Find<QLabel>(*dialog, "paperNameLabel")->text().toStdString(), "принтер не найден");
  EXPECT_NE(m_device->View()->PrinterProblem(), "");

  m_device->Recording = true;
  dialog->ApplyTo(*m_device);
  const auto written = [&](const std::string& name) {
    for (const auto& [key, value] : m_device->Written)
      if (key == name) return value;
    return std::string("(not written)");
  };
  EXPECT_EQ(written("PrinterName"), "labelplu PFD; dpi=203");
  EXPECT_EQ(written("PaperIndex"), "11");
  EXPECT_EQ(written("MaxHorizontal"), "3");
  EXPECT_EQ(written("MaxVertical"), "5");
  EXPECT_EQ(written("MarginLeft"), "1,5");
  EXPECT_EQ(written("MarginBottom"), "4");

  // Another printer chosen is used; back on the missing one, it is missing
  // again.
  printers->setCurrentIndex(0);
  EXPECT_EQ(dialog->PrinterName(), printers->itemText(0).toStdString());
  EXPECT_TRUE(Find<QPushButton>(*dialog, "previewButton")->isEnabled());
  EXPECT_EQ(m_device->View()->PrinterProblem(), "");
  printers->setCurrentIndex(missing);
  EXPECT_EQ(dialog->PrinterName(), "labelplu PFD; dpi=203");
  EXPECT_NE(m_device->View()->PrinterProblem(), "");
  EXPECT_FALSE(Find<QPushButton>(*dialog, "previewButton")->isEnabled());
}

// An empty name keeps meaning the first printer.
TEST_F(SettingsDialogTest, EmptyPrinterNameChoosesTheFirst) {
  Set({{"PrinterName", ""}});
  const auto dialog = Dialog();
  auto* printers = Find<QComboBox>(*dialog, "printerCombo");
  EXPECT_EQ(printers->currentIndex(), 0);
  EXPECT_EQ(printers->findText(QStringLiteral("(не найден)"), Qt::MatchContains), -1);
  EXPECT_EQ(dialog->PrinterName(), printers->itemText(0).toStdString());
}

// A4 less 1 mm margins: 208 / (58 + 2) = 3 across, 295 / (40 + 2) = 7 down.
TEST_F(SettingsDialogTest, AutomaticPlacementFollowsPaperMarginsAndGaps) {
  Set({{"AutoPosition", "1"},
       {"MaxHorizontal", "9"},
       {"MaxVertical", "9"},
       {"GapHorizontal", "2"},
       {"GapVertical", "2"},
       {"MarginLeft", "1"},
       {"MarginRight", "1"},
       {"MarginTop", "1"},
       {"MarginBottom", "1"}});
  const auto dialog = Dialog();
  auto* across = Find<QSpinBox>(*dialog, "acrossCountEdit");
  auto* down = Find<QSpinBox>(*dialog, "downCountEdit");
  auto* all = Find<QSpinBox>(*dialog, "totalCountEdit");
  EXPECT_EQ(across->value(), 3);
  EXPECT_EQ(down->value(), 7);
  EXPECT_EQ(all->value(), 21);
  EXPECT_FALSE(across->isEnabled());
  EXPECT_FALSE(down->isEnabled());

  // 208 / 78 = 2 across; the view takes the gap.
  Find<QDoubleSpinBox>(*dialog, "horizontalGapEdit")->setValue(20);
  EXPECT_DOUBLE_EQ(m_device->View()->GapHorizontal, 20);
  EXPECT_EQ(across->value(), 2);
  // (297 - 99 - 1) / 42 = 4 down.
  Find<QDoubleSpinBox>(*dialog, "topMarginEdit")->setValue(99);
  EXPECT_DOUBLE_EQ(m_device->View()->MarginTop, 99);
  EXPECT_EQ(down->value(), 4);
  EXPECT_EQ(all->value(), 8);

  // Manual counts: the product follows, the view's counts stay.
  Find<QCheckBox>(*dialog, "autoPlacementCheck")->click();
  ASSERT_TRUE(across->isEnabled());
  across->setValue(99);
  down->setValue(99);
  EXPECT_EQ(all->value(), 99 * 99);
  EXPECT_EQ(dialog->MaxHorizontal(), 99);
}

TEST_F(SettingsDialogTest, AutomaticCountsStayWithinTheirRange) {
  WriteTemplate("tiny.lb3", 1, 1);
  Set({{"ШаблонПоУмолчанию", "tiny.lb3"},
       {"AutoPosition", "1"},
       {"GapHorizontal", "0"},
       {"GapVertical", "0"}});
  const auto dialog = Dialog();
  EXPECT_EQ(Find<QSpinBox>(*dialog, "acrossCountEdit")->value(), 99);
  EXPECT_EQ(Find<QSpinBox>(*dialog, "downCountEdit")->value(), 99);
  EXPECT_EQ(Find<QSpinBox>(*dialog, "totalCountEdit")->value(), 99 * 99);
}

TEST_F(SettingsDialogTest, PaperMarginsComeFromThePrinterAndLockTheFields) {
  const auto dialog = Dialog();
  PageLayoutPrinter& view = *m_device->View();
  view.OffsetX = 4.2;
  view.OffsetY = 3.1;
  view.UnprintableRight = 2.5;
  view.UnprintableBottom = 6;
  Find<QCheckBox>(*dialog, "printerMarginsCheck")->click();
  const std::pair<const char*, double> margins[] = {{"leftMarginEdit", 4.2},
                                                    {"topMarginEdit", 3.1},
                                                    {"rightMarginEdit", 2.5},
                                                    {"bottomMarginEdit", 6}};
  for (const auto& [name, value] : margins) {
    auto* edit = Find<QDoubleSpinBox>(*dialog, name);
    EXPECT_DOUBLE_EQ(edit->value(), value) << name;
    EXPECT_TRUE(edit->isReadOnly()) << name;
  }
  EXPECT_EQ(Find<QDoubleSpinBox>(*dialog, "leftMarginEdit")->text().toStdString(), "4,2");
  EXPECT_DOUBLE_EQ(view.MarginLeft, 4.2);
  EXPECT_DOUBLE_EQ(view.MarginBottom, 6);

  Find<QCheckBox>(*dialog, "printerMarginsCheck")->click();
  EXPECT_FALSE(Find<QDoubleSpinBox>(*dialog, "leftMarginEdit")->isReadOnly());
  EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>(*dialog, "leftMarginEdit")->value(), 4.2);
}

TEST_F(SettingsDialogTest, OkWritesEverySettingInOrderAndCancelWritesNothing) {
  const auto dialog = Dialog();
  m_device->Recording = true;
  Find<QLineEdit>(*dialog, "identifierEdit")->setText(QString::fromUtf8("Упаковка"));
  Find<QLineEdit>(*dialog, "templateEdit")->setText("other.lb3");
  Find<QSpinBox>(*dialog, "downCountEdit")->setValue(6);
  Find<QDoubleSpinBox>(*dialog, "bottomMarginEdit")->setValue(7.5);
  Find<QComboBox>(*dialog, "verticalCentringCombo")->setCurrentIndex(1);
  Find<QCheckBox>(*dialog, "verticalSeparatorCheck")->click();

  QTimer::singleShot(0, dialog.get(), [&] { Find<QPushButton>(*dialog, "cancelButton")->click(); });
  EXPECT_EQ(dialog->exec(), QDialog::Rejected);
  EXPECT_TRUE(m_device->Written.empty());
  EXPECT_EQ(m_device->Name, "Склад 1");

  QTimer::singleShot(0, dialog.get(), [&] { Find<QPushButton>(*dialog, "okButton")->click(); });
  ASSERT_EQ(dialog->exec(), QDialog::Accepted);
  dialog->ApplyTo(*m_device);
  EXPECT_EQ(m_device->Name, "Упаковка");
  const std::vector<std::pair<std::string, std::string>> expected{
      {"ШаблонПоУмолчанию", "other.lb3"},
      {"PrinterName", kPrinter},
      {"PaperIndex", "9"},
      {"AutoPosition", "0"},
      {"MaxHorizontal", "3"},
      {"MaxVertical", "6"},
      {"GapHorizontal", "2,5"},
      {"GapVertical", "1"},
      {"HorizontalAlign", "2"},
      {"VerticalAlign", "1"},
      {"AutoPaperMargin", "0"},
      {"MarginLeft", "1,5"},
      {"MarginRight", "2"},
      {"MarginTop", "3"},
      {"MarginBottom", "7,5"},
      {"UseRasterization", "1"},
      {"PrinterCopies", "0"},
      {"PrintHSeparator", "1"},
      {"PrintVSeparator", "1"}};
  EXPECT_EQ(m_device->Written, expected);
  EXPECT_EQ(m_device->GetParam("MarginBottom"), "7,5");
}

TEST_F(SettingsDialogTest, ColourSchemeSetsFontColoursOnlyWhenGiven) {
  const DialogColours saved = CurrentDialogColours();
  const QColor designed = QPalette().color(QPalette::WindowText);
  DialogColours colours;
  colours.Form = 0x00FFFF;  // yellow (0x00BBGGRR)
  colours.Font = -1;
  SetDialogColours(colours);
  {
    const auto dialog = Dialog();
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(255, 255, 0));
    for (QWidget* widget : dialog->findChildren<QLabel*>())
      EXPECT_EQ(widget->palette().color(QPalette::WindowText), designed);
  }
  colours.Font = 0x0000FF;  // red
  SetDialogColours(colours);
  {
    const auto dialog = Dialog();
    EXPECT_EQ(Find<QLabel>(*dialog, "paperNameLabel")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    const auto groups = dialog->findChildren<QGroupBox*>();
    ASSERT_FALSE(groups.empty());
    for (QGroupBox* group : groups)
      EXPECT_EQ(group->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  }
  SetDialogColours(saved);
}

// "Просмотр" shows the values being edited; LABELPLU_OPEN=preview opens
// the preview as soon as the dialog shows, with the stored settings that a
// print job reads (the counts as stored, not what automatic placement makes
// of the paper), and the dialog ends as cancelled when it closes.
TEST_F(SettingsDialogTest, PreviewShowsEditedValuesOrWhenAskedTheStoredOnes) {
  Set({{"AutoPosition", "1"}, {"MaxHorizontal", "2"}, {"MaxVertical", "1"}});
  const struct {
    bool asked;
    int32_t across, down;
    bool verticalSeparator;
  } cases[] = {
      // Automatic placement: 58 x 40 mm labels on A4 between these margins.
      {false, 3, 7, true},
      {true, 2, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked ? "asked for from outside" : "the preview button");
    const auto dialog = Dialog();
    Find<QCheckBox>(*dialog, "verticalSeparatorCheck")->click();
    bool previewSeen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (auto* preview = dynamic_cast<PreviewWindow*>(QApplication::activeModalWidget())) {
        previewSeen = true;
        const PageLayoutPrinter& view = *m_device->View();
        EXPECT_EQ(view.MaxHorizontal, c.across);
        EXPECT_EQ(view.MaxVertical, c.down);
        EXPECT_EQ(view.LabelsPerPage, c.across * c.down);
        EXPECT_EQ(view.Positions.Count(), c.across * c.down);
        EXPECT_EQ(view.PrintVSeparator, c.verticalSeparator);
        preview->accept();
      }
    });
    closer.start(20);
    if (c.asked) {
      setenv(kOpenVariable, kOpenPreview, 1);
      EXPECT_EQ(dialog->exec(), QDialog::Rejected);
      unsetenv(kOpenVariable);
    } else {
      Find<QPushButton>(*dialog, "previewButton")->click();
    }
    EXPECT_TRUE(previewSeen);
    EXPECT_TRUE(m_device->Written.empty());
  }
}

TEST_F(SettingsDialogTest, ShowSettingsWithoutDisplayCancelsAtOnce) {
  ASSERT_FALSE(IsInteractiveDisplay());
  m_device->Recording = true;
  EXPECT_EQ(m_device->ShowSettings(), -1);
  EXPECT_TRUE(m_device->Written.empty());
  std::ifstream log(LogFileName());
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_NE(text.str().find("Settings of device \"Склад 1\" cancelled: no display"),
            std::string::npos);
}

}  // namespace
}  // namespace labelplu
