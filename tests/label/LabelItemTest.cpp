// The item base: grid snapping and the minimum size, rotation, the data
// source binding, change tracking, and the outline on a 203-dpi raster.
#include <gtest/gtest.h>

#include "label/LabelItem.h"
#include "tests/label/LabelFixture.h"
#include "tests/label/ProbeItems.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

LabelItem& AddProbe(Label& label, std::string_view cls = "Probe") {
  return label.AddItem(ProbeClass(cls));
}

TEST(ItemBase, GeometrySnapsToTheGridWithAHalfMillimetreMinimum) {
  struct Case {
    double set;
    double left;  // Left after SetLeft(set)
    double size;  // Width and Height after SetWidth/SetHeight(set)
  };
  const Case cases[] = {
      {0.3, 0.0, 0.5},    {2.5, 2.0, 2.0},    {3.5, 4.0, 4.0},   {12.5, 12.0, 12.0},
      {12.7, 13.0, 13.0}, {13.5, 14.0, 14.0}, {-3.0, -3.0, 0.5}, {-2.5, -2.0, 0.5},
  };
  Label label;
  LabelItem& p = AddProbe(label);
  for (const Case& c : cases) {
    p.SetLeft(c.set);
    p.SetTop(c.set);
    p.SetWidth(c.set);
    p.SetHeight(c.set);
    EXPECT_EQ(p.Left(), c.left) << c.set;
    EXPECT_EQ(p.Top(), c.left) << c.set;
    EXPECT_EQ(p.Width(), c.size) << c.set;
    EXPECT_EQ(p.Height(), c.size) << c.set;
  }
}

TEST(ItemBase, ConstructorDefaultsPassTheGridWhenTheLabelAddsTheItem) {
  Label label;
  LabelItem& p = AddProbe(label);  // the probe asks for 20 × 5
  EXPECT_EQ(p.Left(), 0.0);
  EXPECT_EQ(p.Width(), 20.0);
  EXPECT_EQ(p.Height(), 5.0);
  EXPECT_EQ(p.Caption(), "Проба");
}

TEST(ItemBase, ChangedIsRaisedOncePerEffectiveChange) {
  RasterLabel r(100, 100, 203);
  LabelItem& p = AddProbe(r.label);
  r.label.PrepareAll(false);
  ASSERT_FALSE(p.Changed());

  r.label.BeginUpdate();  // keep the change visible: no repaint lowers it
  const int hooks = r.view.itemChanges;
  p.SetLeft(7.0);
  EXPECT_TRUE(p.Changed());
  EXPECT_EQ(r.view.itemChanges, hooks + 1);
  p.SetLeft(7.0);
  p.SetLeft(7.2);  // snaps to the same 7
  EXPECT_EQ(r.view.itemChanges, hooks + 1);
  r.label.EndUpdate(false);
}

TEST(ItemBase, FixedRotationSetsTheAngleWhichStaysWithin0To360) {
  Label label;
  LabelItem& p = AddProbe(label);
  p.SetRotationFixed(r180);
  EXPECT_EQ(p.Angle(), 180);
  p.SetRotationFixed(r0);
  EXPECT_EQ(p.Angle(), 0);

  const std::pair<int32_t, int32_t> angles[] = {{90, 90},   {-90, 270}, {360, 360},    {361, 1},
                                                {720, 360}, {-360, 0},  {-1000000, 80}};
  for (const auto& [set, stored] : angles) {
    p.SetAngle(set);
    EXPECT_EQ(p.Angle(), stored) << set;
  }
}

TEST(ItemBase, DataSourceSetsTheSampleValue) {
  Label label;
  LabelItem& p = AddProbe(label);
  std::vector<std::string> seen;
  p.OnValueChanged = [&](LabelItem&, const std::string& v) { seen.push_back(v); };

  p.SetDataSource(dsSHK);
  EXPECT_EQ(p.GetValue(), "1234567890128");
  p.SetValue("4600000000008");
  p.SetDataSource(dsSHK);  // the same source: the value stays
  EXPECT_EQ(p.GetValue(), "4600000000008");
  p.SetDataSource(dsPriceEd);
  EXPECT_EQ(p.GetValue(), "Ед. веса");
  p.SetDataSource(dsNone);
  EXPECT_EQ(p.GetValue(), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"1234567890128", "Ед. веса", ""}));
}

TEST(ItemBase, PictureDropsTextValuesOfItsDataSource) {
  Label label;
  LabelItem& picture = AddProbe(label, "ProbeImage");
  picture.SetDataSource(dsName);  // the sample "Наименование" is no picture name
  EXPECT_EQ(picture.GetValue(), "");
  picture.SetValue("logo.bmp");
  picture.SetDataSource(dsImage1);
  EXPECT_EQ(picture.GetValue(), "");
}

TEST(ItemBase, FontChangesMarkTheItemChanged) {
  Label label;
  LabelItem& p = AddProbe(label);
  label.BeginUpdate();
  p.MarkChanged(false);
  p.Font().SetSize(14);
  EXPECT_TRUE(p.Changed());
  EXPECT_EQ(p.Font().Size(), 14);
  EXPECT_EQ(p.Font().Height(), -19);
  label.EndUpdate(false);
}

TEST(ItemBase, OutlineTurnsAboutTheBoxCentre) {
  // 10 × 20 mm at (0, 0) turned by 90°: x from -5 to 15 mm, y from 5 to 15 mm.
  RasterLabel r(200, 200, 254);  // 10 pixels per mm: exact device points
  LabelItem& p = AddProbe(r.label);
  r.label.BeginUpdate();
  p.SetWidth(10);
  p.SetHeight(20);
  p.SetRotationFixed(r90);
  p.BuildOutline();
  r.label.EndUpdate(false);

  const Outline& f = p.BoxOutline();
  ASSERT_EQ(f.Count(), 4);
  const double expected[4][2] = {{15, 5}, {15, 15}, {-5, 15}, {-5, 5}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(f.Item(i).MmX, expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(f.Item(i).MmY, expected[i][1]) << i;
    EXPECT_EQ(f.Points()[static_cast<size_t>(i)],
              (gdi::POINT{static_cast<int32_t>(expected[i][0] * 10),
                          static_cast<int32_t>(expected[i][1] * 10)}));
  }
}

TEST(ItemBase, DevicePointsRoundHalvesToEvenAndShiftByTheRoundedLabelOrigin) {
  // At 254 dpi (10 px/mm) a box from 0.25 mm... cannot be set (grid); use
  // the label origin and a zoom that lands on halves: 2.5 px per mm.
  RasterLabel r(200, 200, 254);
  r.view.SetZoomX(0.25);
  r.view.SetZoomY(0.25);
  LabelItem& p = AddProbe(r.label);
  r.label.BeginUpdate();
  p.SetLeft(1);    // 2.5 px -> 2
  p.SetTop(3);     // 7.5 px -> 8
  p.SetWidth(2);   // right 3 mm = 7.5 px -> 8
  p.SetHeight(2);  // bottom 5 mm = 12.5 px -> 12
  r.label.EndUpdate(false);
  r.label.SetLeft(1);  // origin 2.5 px -> 2, added after rounding
  r.label.SetTop(3);   // 7.5 px -> 8
  p.MarkChanged(true);
  r.label.PrepareAll(false);

  EXPECT_EQ(p.DeviceRect(), (gdi::RECT{2, 8, 8, 12}));
  const gdi::POINT expected[4] = {{4, 16}, {10, 16}, {10, 20}, {4, 20}};
  ASSERT_EQ(p.BoxOutline().Points().size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(p.BoxOutline().Points()[i], expected[i]) << i;
  // The region holds the pixels 4..9 × 16..19 (even-odd polygon rule).
  const gdi::Region& region = p.BoxOutline().Region();
  EXPECT_TRUE(region.PtInRegion(4, 16));
  EXPECT_TRUE(region.PtInRegion(9, 19));
  EXPECT_FALSE(region.PtInRegion(10, 19));
  EXPECT_FALSE(region.PtInRegion(9, 20));
}

TEST(ItemBase, PlainPointListHasNoDeviceMapping) {
  Outline positions;
  positions.AddPoint(5.5, 7.25);
  EXPECT_EQ(positions.Item(0).MmY, 7.25);
  EXPECT_THROW(positions.MapToDevice(), std::logic_error);
  EXPECT_THROW(positions.Item(1), std::out_of_range);
}

TEST(ItemBase, AbsurdGeometryStaysWithinDeviceCoordinates) {
  RasterLabel r(100, 100, 203);
  LabelItem& p = AddProbe(r.label);
  p.SetLeft(-1e300);
  p.SetWidth(1e300);
  r.label.Invalidate(true);  // must neither overflow nor hang
  for (const gdi::POINT& pt : p.BoxOutline().Points()) {
    EXPECT_GE(pt.x, INT32_MIN);
    EXPECT_LE(pt.x, INT32_MAX);
  }
}

}  // namespace
