// The preview window: the zoom computation, its controls, the overlays, the
// page it shows against the page the raster printer prints, and printing
// from it.
#include <gtest/gtest.h>
#include <cstdlib>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "label/Label.h"
#include "platform/spool/PrintObject.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"
#include "tests/support/PrinterDeviceFixture.h"
#include "ui/Application.h"
#include "ui/PreviewWindow.h"

namespace labelplu {
namespace {

namespace fs = std::filesystem;

TEST(PreviewZoomTest, FittingModesAndPercentItems) {
  struct Case {
    int index;
    const char* item;
    int boxW, boxH;
    double paperW, paperH;
    int dpi;
    int32_t expected;
  };
  const Case cases[] = {
      // A4 at 96 dpi in 858 × 582: AW 832, AH 556, PW 793.7, PH 1122.5.
      {0, "Вся страница", 858, 582, 210, 297, 96, 49},
      {1, "По ширине страницы", 858, 582, 210, 297, 96, 104},
      {2, "По высоте страницы", 858, 582, 210, 297, 96, 49},
      // A tall box: the width limits the whole page (474 / 793.7).
      {0, "Вся страница", 500, 1200, 210, 297, 96, 59},
      {2, "По высоте страницы", 500, 1200, 210, 297, 96, 104},
      // The screen's resolution counts: at 120 dpi PW = 992.1.
      {1, "По ширине страницы", 858, 582, 210, 297, 120, 83},
      // A box smaller than the image's offsets still gives a usable zoom;
      // no paper read yet gives 100.
      {0, "Вся страница", 20, 20, 210, 297, 96, 1},
      {0, "Вся страница", 858, 582, -1, -1, 96, 100},
      {3, "25 %", 858, 582, 210, 297, 96, 25},
      {7, "150 %", 858, 582, 210, 297, 96, 150},
      {8, "200 %", 0, 0, -1, -1, 96, 200},
      {6, "сто %", 858, 582, 210, 297, 96, 100},
      {6, "12abc %", 858, 582, 210, 297, 96, 100},
      {6, "", 858, 582, 210, 297, 96, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZoomPercent(c.index, c.item, c.boxW, c.boxH, c.paperW, c.paperH, c.dpi, c.dpi),
              c.expected)
        << c.item << " in " << c.boxW << "x" << c.boxH << " at " << c.dpi;
  }
}

// Pixels of a that differ from b; both images of one size.
std::vector<QPoint> Differences(const QImage& a, const QImage& b) {
  std::vector<QPoint> points;
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col)
      if (x.pixel(col, row) != y.pixel(col, row)) points.emplace_back(col, row);
  return points;
}

int Round(double v) {
  return static_cast<int>(std::nearbyint(v));
}

class PreviewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    m_devices = std::make_unique<test::PrinterDeviceFixture>();
    m_device = &m_devices->Device();
    m_device->SetIsOn(true);
    m_devices->Set({{"PrinterName", m_devices->RasterPrinter(96)}});
    const char* source = getenv("LABELPLU_SOURCE");
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(
        m_device->SelectTemplate(std::string(source) + "/samples/templates/price_tag_ean13.lb3"),
        0);
    // What the settings dialog copies in before it shows the window.
    PageLayoutPrinter& view = *m_device->View();
    view.MaxHorizontal = 3;
    view.MaxVertical = 5;
    view.LabelsPerPage = 15;
    view.GapHorizontal = view.GapVertical = 2;
    view.HorizontalAlign = view.VerticalAlign = 1;
    view.MarginLeft = 5;
    view.MarginRight = 7;
    view.MarginTop = 9;
    view.MarginBottom = 11;
    view.PrintHSeparator = view.PrintVSeparator = true;
  }

  std::vector<QImage> PrintedPages() const { return m_devices->PrintedPages(); }

  static void SetOverlays(PreviewWindow& window, bool border, bool margin, bool page) {
    window.findChild<QToolButton*>("labelBordersButton")->setChecked(border);
    window.findChild<QToolButton*>("pageMarginsButton")->setChecked(margin);
    window.findChild<QToolButton*>("printableAreaButton")->setChecked(page);
  }

  PageLayoutPrinter& View() const { return *m_device->View(); }

  std::unique_ptr<test::PrinterDeviceFixture> m_devices;
  PrinterDevice* m_device = nullptr;
};

TEST_F(PreviewWindowTest, ControlsAndImageLifetime) {
  {
    PreviewWindow window(nullptr, *m_device);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Просмотр"));
    EXPECT_EQ(window.size(), QSize(858, 627));
    EXPECT_EQ(View().ShownLabel().Mode(), kModePreview);
    EXPECT_EQ(View().PreviewImage(), &window.PageImage());

    const auto* zoom = window.findChild<QComboBox*>("zoomCombo");
    ASSERT_NE(zoom, nullptr);
    ASSERT_EQ(zoom->count(), kZoomItemCount);
    for (int i = 0; i < kZoomItemCount; ++i)
      EXPECT_EQ(zoom->itemText(i), QString::fromUtf8(kZoomItems[i]));
    EXPECT_EQ(zoom->currentText(), QStringLiteral("100 %"));
    EXPECT_EQ(zoom->maxVisibleItems(), 16);
    EXPECT_EQ(zoom->toolTip(), QStringLiteral("Масштаб просмотра"));
    const std::pair<const char*, const char*> buttons[] = {
        {"printButton", "Печать"},
        {"labelBordersButton", "Границы этикеток"},
        {"pageMarginsButton", "Размеры страницы"},
        {"printableAreaButton", "Зона печати принтера"}};
    for (const auto& [name, hint] : buttons) {
      const auto* button = window.findChild<QToolButton*>(name);
      ASSERT_NE(button, nullptr) << name;
      EXPECT_EQ(button->toolTip(), QString::fromUtf8(hint));
      EXPECT_FALSE(button->icon().isNull()) << name;
      if (std::string(name) != "printButton") {
        EXPECT_TRUE(button->isChecked()) << name;
      }
    }
    const auto* scroll = window.findChild<QScrollArea*>("pageArea");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->frameShape(), QFrame::NoFrame);

    window.show();
    // A4 at 100 % on a 96 dpi screen.
    EXPECT_EQ(window.PageImage().size(), QSize(794, 1123));
    const auto* image = window.findChild<QLabel*>("pageLabel");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pos(), QPoint(8, 8));
    EXPECT_EQ(image->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              window.PageImage().convertToFormat(QImage::Format_RGB32));

    // The hint of the control under the mouse goes to the status bar.
    QStatusTipEvent tip(window.findChild<QToolButton*>("printableAreaButton")->statusTip());
    QCoreApplication::sendEvent(window.findChild<QToolButton*>("printableAreaButton"), &tip);
    EXPECT_EQ(window.StatusText(), QStringLiteral("Зона печати принтера"));

    auto* close = window.findChild<QToolButton*>("closeButton");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Закрыть"));
    close->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_FALSE(window.isVisible());
  }
  // The window took its image back; the label stays in preview mode.
  EXPECT_EQ(View().PreviewImage(), nullptr);
  EXPECT_EQ(View().ShownLabel().Mode(), kModePreview);

  // A device without a loaded template cannot be previewed.
  auto* bare = dynamic_cast<PrinterDevice*>(&m_devices->List().AppendDevice());
  ASSERT_NE(bare, nullptr);
  EXPECT_THROW(PreviewWindow(nullptr, *bare), std::logic_error);
}

TEST_F(PreviewWindowTest, ZoomChangesScaleAndReportsProgress) {
  PreviewWindow window(nullptr, *m_device);
  window.show();
  QStringList messages;
  QObject::connect(window.findChild<QStatusBar*>("statusBar"), &QStatusBar::messageChanged,
                   [&messages](const QString& text) { messages << text; });

  window.SetZoomIndex(4);  // "50 %"
  EXPECT_EQ(window.ZoomPercentage(), 50);
  EXPECT_DOUBLE_EQ(View().ZoomX(), 0.5);
  EXPECT_EQ(window.PageImage().size(),
            QSize(Round(210 * 96 / 25.4 / 2), Round(297 * 96 / 25.4 / 2)));
  EXPECT_EQ(messages, QStringList({QStringLiteral("Расчет параметров отображения"), QString()}));

  // The whole page fits the scroll box's visible part.
  window.SetZoomIndex(0);
  const QSize visible = window.findChild<QScrollArea*>("pageArea")->viewport()->size();
  EXPECT_GT(window.ZoomPercentage(), 1);
  EXPECT_LE(window.PageImage().width() + 16, visible.width());
  EXPECT_LE(window.PageImage().height() + 16, visible.height());
  EXPECT_GT(window.PageImage().height() + 16 + 20, visible.height());
}

TEST_F(PreviewWindowTest, EachOverlayMarksOnlyItsOwnLines) {
  PreviewWindow window(nullptr, *m_device);
  View().OffsetX = 5;
  View().OffsetY = 3;
  window.show();
  SetOverlays(window, false, false, false);
  const QImage bare = window.PageImage().convertToFormat(QImage::Format_RGB32);
  const int iw = bare.width();
  const int ih = bare.height();
  const double ppm = 96 / 25.4;
  // Only the black page edge on the rim; no overlay colour anywhere.
  for (int x = 0; x < iw; ++x) ASSERT_EQ(bare.pixel(x, 0), qRgb(0, 0, 0));
  for (int y = 0; y < ih; ++y) ASSERT_EQ(bare.pixel(iw - 1, y), qRgb(0, 0, 0));
  for (int y = 0; y < ih; ++y)
    for (int x = 0; x < iw; ++x)
      ASSERT_TRUE(bare.pixel(x, y) != qRgb(255, 0, 0) && bare.pixel(x, y) != qRgb(0, 0, 255))
          << x << "," << y;

  const int top = Round(ppm * 9), bottom = Round(ih - ppm * 11);
  const int left = Round(ppm * 5), right = Round(iw - ppm * 7);
  const int ox = Round(ppm * 5), oy = Round(ppm * 3);
  auto onFrame = [&](int x, int y) {
    for (int32_t i = 0; i < View().Positions.Count(); ++i) {
      const double px = View().Positions.Item(i).MmX, py = View().Positions.Item(i).MmY;
      const int x1 = Round(ppm * px), y1 = Round(ppm * py);
      const int x2 = Round(ppm * px + ppm * 58), y2 = Round(ppm * py + ppm * 40);
      const bool inX = x >= x1 && x < x2, inY = y >= y1 && y < y2;
      if ((inY && (x == x1 || x == x2 - 1)) || (inX && (y == y1 || y == y2 - 1))) return true;
    }
    return false;
  };
  struct Overlay {
    bool border, margin, page;
    std::function<bool(int, int)> onLine;
  };
  const Overlay overlays[] = {
      {false, true, false,
       [&](int x, int y) { return y == top || y == bottom || x == left || x == right; }},
      {false, false, true,
       [&](int x, int y) {
         const bool inX = x >= ox && x <= iw - ox - 1, inY = y >= oy && y <= ih - oy - 1;
         return (inY && (x == ox || x == iw - ox - 1)) || (inX && (y == oy || y == ih - oy - 1));
       }},
      {true, false, false, onFrame},
  };
  for (const Overlay& overlay : overlays) {
    SetOverlays(window, overlay.border, overlay.margin, overlay.page);
    const std::vector<QPoint> changed = Differences(window.PageImage(), bare);
    EXPECT_GT(changed.size(), 100u) << overlay.border << overlay.margin << overlay.page;
    for (const QPoint& p : changed)
      ASSERT_TRUE(overlay.onLine(p.x(), p.y())) << p.x() << "," << p.y();
  }
  SetOverlays(window, false, false, false);
  EXPECT_TRUE(Differences(window.PageImage(), bare).empty());
}

TEST_F(PreviewWindowTest, PrintedPageMatchesPreviewAndWindowStaysOpen) {
  PreviewWindow window(nullptr, *m_device);
  window.show();
  SetOverlays(window, false, false, false);
  const QImage shown = window.PageImage().convertToFormat(QImage::Format_RGB32);

  window.findChild<QToolButton*>("printButton")->click();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(View().ShownLabel().Mode(), kModePreview);
  std::vector<QImage> pages = PrintedPages();
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].size(), shown.size());
  // Fifteen labels with text and barcodes: a blank page would match too.
  const QImage grey = pages[0].convertToFormat(QImage::Format_Grayscale8);
  int64_t dark = 0;
  for (int y = 1; y < grey.height() - 1; ++y)
    for (int x = 1; x < grey.width() - 1; ++x) dark += grey.pixelColor(x, y).value() < 128 ? 1 : 0;
  EXPECT_GT(dark, 15 * 2000);
  // The preview's only addition is the page edge on its rim.
  const int iw = shown.width(), ih = shown.height();
  for (const QPoint& p : Differences(pages[0], shown)) {
    const bool rim = p.x() == 0 || p.y() == 0 || p.x() == iw - 1 || p.y() == ih - 1;
    ASSERT_TRUE(rim) << p.x() << "," << p.y();
  }
  EXPECT_TRUE(Differences(window.PageImage(), shown).empty());

  // Printing at another zoom keeps that zoom on screen.
  window.SetZoomIndex(4);
  const QImage half = window.PageImage().copy();
  // Every print outside a job starts the raster printer's numbering anew.
  for (const auto& entry : fs::directory_iterator(m_devices->OutputFolder()))
    fs::remove(entry.path());
  window.findChild<QToolButton*>("printButton")->click();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(View().ShownLabel().Mode(), kModePreview);
  EXPECT_DOUBLE_EQ(View().ZoomX(), 0.5);
  EXPECT_TRUE(Differences(window.PageImage(), half).empty());
  const std::vector<QImage> again = PrintedPages();
  ASSERT_EQ(again.size(), 1u);
  EXPECT_TRUE(Differences(again[0], pages[0]).empty());
}

TEST_F(PreviewWindowTest, FailedPrintIsShownInStatusBar) {
  PreviewWindow window(nullptr, *m_device);
  window.show();
  // An output folder that cannot be created: a file stands in its way.
  const std::string blocker = m_devices->Folder().Write("blocker", "x").string();
  spool::PrintObject::Instance().SelectPrinterByName("labelplu Raster; file=" + blocker +
                                                     "/p; dpi=96");
  EXPECT_FALSE(window.PrintPage());
  EXPECT_TRUE(window.StatusText().contains(QStringLiteral("blocker")))
      << window.StatusText().toStdString();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(View().ShownLabel().Mode(), kModePreview);
  EXPECT_EQ(window.PageImage().size(), QSize(794, 1123));
}

TEST_F(PreviewWindowTest, Screenshot) {
  PreviewWindow window(nullptr, *m_device);
  window.show();
  // The whole page shows the three by five labels.
  window.SetZoomIndex(0);
  QCoreApplication::processEvents();
  const QPixmap shot = window.grab();
  EXPECT_EQ(shot.size(), QSize(858, 627));
  // LABELPLU_UPDATE_SCREENSHOTS=1 refreshes the picture in the docs.
  const char* update = getenv("LABELPLU_UPDATE_SCREENSHOTS");
  if (update != nullptr && std::string(update) == "1") {
    const fs::path docs = fs::path(getenv("LABELPLU_SOURCE")) / "docs";
    fs::create_directories(docs);
    EXPECT_TRUE(shot.save(QString::fromStdString((docs / "preview.png").string())));
  }
}

}  // namespace
}  // namespace labelplu
