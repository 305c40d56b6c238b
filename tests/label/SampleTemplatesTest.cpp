// The sample templates of samples/templates: each loads, writes itself back
// unchanged, and renders at 203 and 300 dpi exactly as its reference image
// in tests/label/reference. Run with LABELPLU_UPDATE_REFERENCES=1 to write
// the reference images anew (then look at them before keeping them).
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/label/ItemTestSupport.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

std::string SourceRoot() {
  const char* root = std::getenv("LABELPLU_SOURCE");
  return root == nullptr ? std::string(".") : std::string(root);
}

bool UpdatingReferences() {
  const char* v = std::getenv("LABELPLU_UPDATE_REFERENCES");
  return v != nullptr && std::string(v) == "1";
}

struct Sample {
  const char* name;
  int items;
  double widthMm = 58;
  double heightMm = 40;
};

// Every sample template, how many items it holds and its size.
constexpr Sample kSamples[] = {{"price_tag", 8},
                               {"rotation", 7},
                               {"alignment", 16},
                               {"negative", 4},
                               {"price_tag_ean13", 6},
                               {"shelf_label", 5},
                               {"picture_label", 4},
                               {"symbologies_linear", 20, 100, 150},
                               {"symbologies_2d", 12, 100, 70},
                               {"address_label", 6, 64, 34}};

TEST(SampleTemplates, EverySampleIsCovered) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(SourceRoot() + "/samples/templates"))
    if (entry.path().extension() == ".lb3") found.push_back(entry.path().stem().string());
  EXPECT_EQ(found.size(), std::size(kSamples));
  for (const Sample& s : kSamples)
    EXPECT_NE(std::find(found.begin(), found.end(), s.name), found.end()) << s.name;
}

TEST(SampleTemplates, SamplesLoadAndWriteThemselvesBack) {
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.name);
    Label label;
    label.LoadFromFile(SourceRoot() + "/samples/templates/" + s.name + ".lb3");
    EXPECT_EQ(label.ItemCount(), s.items);
    EXPECT_EQ(label.Width(), s.widthMm);
    EXPECT_EQ(label.Height(), s.heightMm);
    const std::string written = label.SaveToXml();
    Label again;
    again.LoadFromXml(written);
    EXPECT_EQ(again.SaveToXml(), written);
  }
}

TEST(SampleTemplates, SamplesRenderAsTheirReferenceImages) {
  const std::string referenceDir = SourceRoot() + "/tests/label/reference/";
  for (const Sample& s : kSamples) {
    for (const int dpi : {203, 300}) {
      const std::string file = std::string(s.name) + "_" + std::to_string(dpi) + ".png";
      SCOPED_TRACE(file);
      PaintedLabel p(dpi, s.widthMm, s.heightMm);
      p.label.LoadFromFile(SourceRoot() + "/samples/templates/" + s.name + ".lb3");
      ASSERT_EQ(p.label.ItemCount(), s.items);
      // The labels are black, white and grey: kept as 8-bit grey images.
      ASSERT_TRUE(p.Render().allGray());
      const QImage actual = p.image.convertToFormat(QImage::Format_Grayscale8);
      const QString path = QString::fromStdString(referenceDir + file);
      if (UpdatingReferences()) {
        QDir().mkpath(QString::fromStdString(referenceDir));
        ASSERT_TRUE(actual.save(path, "PNG")) << "cannot write " << path.toStdString();
        continue;
      }
      const QImage reference(path);
      ASSERT_FALSE(reference.isNull())
          << "no reference image; run with LABELPLU_UPDATE_REFERENCES=1 to make it";
      const QImage expected = reference.convertToFormat(QImage::Format_Grayscale8);
      ASSERT_EQ(expected.size(), actual.size());
      int differing = 0;
      QPoint first(-1, -1);
      for (int y = 0; y < actual.height(); ++y) {
        const uchar* a = actual.constScanLine(y);
        const uchar* e = expected.constScanLine(y);
        for (int x = 0; x < actual.width(); ++x) {
          if (a[x] == e[x]) continue;
          if (differing++ == 0) first = QPoint(x, y);
        }
      }
      if (differing != 0) {
        const std::string kept =
            (std::filesystem::temp_directory_path() / ("actual_" + file)).string();
        actual.save(QString::fromStdString(kept), "PNG");
        ADD_FAILURE() << differing << " pixels differ, the first at " << first.x() << ","
                      << first.y() << "; the rendering is kept in " << kept;
      }
    }
  }
}

}  // namespace
