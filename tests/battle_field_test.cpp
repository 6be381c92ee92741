#include "sea/battle_field.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "assets/image_table.h"
#include "fake_sea_host.h"
#include "test_images.h"

namespace {

using testimg::ItemColor;
using testimg::MakeImages;
using testimg::NavColor;
constexpr eng::Color kMarker{8, 252, 8};  // what a cell held before it was drawn

using CountingHost = FakeSeaHost;

class BattleFieldTest : public ::testing::Test {
 protected:
  BattleFieldTest() : field(images, random, host) { field.GridSurface.Create(GridWidth, GridHeight); }

  uint16_t Pixel(int x, int y, int dx, int dy) const {
    return field.GridSurface.GetPixel(CellSize * (x - 1) + dx, CellSize * (y - 1) + dy);
  }
  // Pixels of the left (veiled) and right halves of a cell, both corners.
  void ExpectCell(int x, int y, eng::Color left, eng::Color right) const {
    EXPECT_EQ(Pixel(x, y, 0, 0), eng::ToRGB565(left)) << "cell " << x << "," << y;
    EXPECT_EQ(Pixel(x, y, 7, 15), eng::ToRGB565(left)) << "cell " << x << "," << y;
    EXPECT_EQ(Pixel(x, y, 8, 0), eng::ToRGB565(right)) << "cell " << x << "," << y;
    EXPECT_EQ(Pixel(x, y, 15, 15), eng::ToRGB565(right)) << "cell " << x << "," << y;
  }
  void ExpectCell(int x, int y, eng::Color c) const { ExpectCell(x, y, c, c); }
  // Shows (state, code, knownFree) in cell (5, 6) over a marker and draws it.
  void DrawShown(uint8_t state, uint8_t code, uint8_t knownFree = 0) {
    field.GridSurface.Fill(kMarker);
    field.ShownCells.At(5, 6) = TSeaCell{state, code, knownFree};
    field.DrawCell(5, 6);
  }

  eng::ImageList images = MakeImages();
  eng::RandomSource random{7};
  CountingHost host;
  TBattleField field;
};

TEST(BattleFieldPlane, CellsLieRowByRowThreeBytesEach) {
  TCellPlane plane;
  plane.At(1, 1) = TSeaCell{2, 50, 1};
  plane.At(16, 1) = TSeaCell{1, 7, 0};
  plane.At(3, 2) = TSeaCell{3, 52, 1};
  plane.At(16, 17) = TSeaCell{2, 139, 1};
  const uint8_t* b = plane.Bytes();
  auto at = [&](int x, int y) { return b + 48 * (y - 1) + 3 * (x - 1); };
  EXPECT_EQ(std::vector<uint8_t>(at(1, 1), at(1, 1) + 3), (std::vector<uint8_t>{2, 50, 1}));
  EXPECT_EQ(std::vector<uint8_t>(at(16, 1), at(16, 1) + 3), (std::vector<uint8_t>{1, 7, 0}));
  EXPECT_EQ(std::vector<uint8_t>(at(3, 2), at(3, 2) + 3), (std::vector<uint8_t>{3, 52, 1}));
  EXPECT_EQ(std::vector<uint8_t>(at(16, 17), b + 816), (std::vector<uint8_t>{2, 139, 1}));
  // Writing the bytes is writing the cells, as a received fleet message does.
  plane.Bytes()[48 * 4 + 3 * 9 + 1] = 51;
  EXPECT_EQ(plane.At(10, 5).Code, 51);
}

TEST_F(BattleFieldTest, ConstructionLeavesAClosedEmptyGrid) {
  EXPECT_EQ(field.CellsClosed, 1);
  EXPECT_EQ(field.Current.Image.Width(), 256);
  EXPECT_EQ(field.Current.Image.Height(), 272);
  EXPECT_EQ(field.Current.Group, 1);
  EXPECT_EQ(field.Current.Variant, 1);
  for (const TSeaCell& c : field.TrueCells.Cells) EXPECT_EQ(c, TSeaCell{});
  EXPECT_EQ(field.ShownCells, field.TrueCells);
  EXPECT_EQ(field.CandidateCount, 272);
  EXPECT_EQ(host.resets, 0);
}

TEST_F(BattleFieldTest, ResetRefillsTargetListsRowByRow) {
  TBattleField::RemoveFromList({4, 4}, field.Unshot, field.UnshotCount);
  field.Candidates.clear();
  field.CandidateCount = 0;
  field.Reset();
  for (const auto* list : {&field.Unshot, &field.Candidates}) {
    ASSERT_EQ(list->size(), 272u);
    // (1,1), (2,1) ... (16,1), (1,2) ... (16,17)
    for (int i = 0; i < 272; ++i) ASSERT_EQ((*list)[i], (TCellPoint{i % 16 + 1, i / 16 + 1}));
  }
  EXPECT_EQ(field.UnshotCount, 272);
  EXPECT_EQ(field.CandidateCount, 272);
}

TEST_F(BattleFieldTest, ResetClearsTheGameButKeepsTheHitStreak) {
  field.TrueCells.At(3, 3) = TSeaCell{2, 52, 1};
  field.ShownCells.At(9, 9) = TSeaCell{1, 50, 0};
  field.SunkCount = 4; field.FixedCount = 10; field.ShipActive = 1; field.InvalidShown = 1;
  field.ExtraShots = 3; field.BombArmed = 1; field.BombKind = 6; field.HitStreak = 2;
  field.SplashList.emplace_back(); field.ExplosionList.emplace_back(); field.BombList.emplace_back();
  field.LabelList.emplace_back(); field.SplashCount = 1; field.ExplosionCount = 1; field.BombCount = 1;
  field.LabelCount = 1; field.EffectCount = 5; field.SunkMeter.MeterRunning = 1;
  field.HitLead.Active = field.SideLead.Active = field.CornerLead.Active = 1;
  field.Current.Group = 4; field.Current.Variant = 14;
  field.FlightStarted = 1; field.FlightList.emplace_back(); field.FlyingCount = 1; field.AutoUsed = 1;
  field.RaysShown = 1; field.RayList.emplace_back();
  field.Slot(1).Placed = 1; field.Slot(1).Hits = 4; field.Slot(1).Sunk = 1; field.Slot(1).Shape[2][3] = 50;
  field.Slot(1).Shape[5][5] = 1;

  field.Reset();

  EXPECT_EQ(field.TrueCells.At(3, 3), TSeaCell{});
  EXPECT_EQ(field.ShownCells.At(9, 9), TSeaCell{});
  EXPECT_EQ(field.SunkCount + field.FixedCount + field.ShipActive + field.InvalidShown, 0);
  EXPECT_EQ(field.ExtraShots + field.BombArmed + field.BombKind, 0);
  EXPECT_TRUE(field.SplashList.empty() && field.ExplosionList.empty() && field.BombList.empty() &&
              field.LabelList.empty());
  EXPECT_EQ(field.SplashCount + field.ExplosionCount + field.BombCount + field.LabelCount, 0);
  EXPECT_EQ(field.EffectCount, 0);
  EXPECT_EQ(field.SunkMeter.MeterRunning, 0);
  EXPECT_EQ(field.HitLead.Active + field.SideLead.Active + field.CornerLead.Active, 0);
  EXPECT_EQ(field.Current.Group, 1);
  EXPECT_EQ(field.Current.Variant, 1);
  EXPECT_EQ(field.FlightStarted + field.FlyingCount + field.AutoUsed + field.RaysShown, 0);
  EXPECT_TRUE(field.FlightList.empty() && field.RayList.empty());
  EXPECT_EQ(field.Slot(1).Placed + field.Slot(1).Hits + field.Slot(1).Sunk, 0);
  EXPECT_EQ(field.Slot(1).Shape[2][3], 0);
  EXPECT_EQ(field.Slot(1).Shape[5][5], 0);
  EXPECT_EQ(field.HitStreak, 2);
}

TEST_F(BattleFieldTest, ResetLaysOutTheFleetTable) {
  const int types[10] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};
  const int ordinals[10] = {1, 1, 2, 1, 2, 3, 1, 2, 3, 4};
  for (int k = 1; k <= 10; ++k) {
    const TShipRecord& ship = field.Slot(k);
    const int n = types[k - 1] + 2;
    EXPECT_EQ(ship.Type, types[k - 1]) << "slot " << k;
    EXPECT_EQ(ship.Ordinal, ordinals[k - 1]) << "slot " << k;
    EXPECT_EQ(ship.ShapeSize(), n);
    EXPECT_EQ(ship.X, (16 - n) / 2) << "slot " << k;
    EXPECT_EQ(ship.Y, (17 - n) / 2) << "slot " << k;
  }
  EXPECT_EQ(&field.Slot(1), &field.Fleet[0]);
  EXPECT_EQ(&field.Slot(10), &field.Fleet[9]);
}

TEST_F(BattleFieldTest, OpenForPlacementClearsTurnFlagsAndOpensEveryCell) {
  field.TrueCells.At(2, 2) = TSeaCell{0, 50, 1};
  field.ShownCells.At(16, 17) = TSeaCell{1, 130, 1};
  field.Candidates.clear();
  field.OpenForPlacement(true);
  EXPECT_EQ(host.resets, 1);
  EXPECT_EQ(field.Candidates.size(), 272u);
  for (int y = 1; y <= 17; ++y) {
    for (int x = 1; x <= 16; ++x) {
      EXPECT_EQ(field.TrueCells.At(x, y), (TSeaCell{2, 0, 0}));
      EXPECT_EQ(field.ShownCells.At(x, y), (TSeaCell{2, 0, 0}));
      ExpectCell(x, y, ItemColor(assets::kOpenCell));
    }
  }
  field.GridSurface.Fill(kMarker);
  field.OpenForPlacement(false);
  EXPECT_EQ(host.resets, 2);
  ExpectCell(1, 1, kMarker);
}

TEST_F(BattleFieldTest, CloseAllCellsKeepsCodes) {
  field.TrueCells.At(4, 7) = TSeaCell{2, 50, 0};
  field.ShownCells.At(4, 7) = TSeaCell{3, 51, 1};
  field.ShownCells.At(1, 17) = TSeaCell{1, 104, 1};
  field.CloseAllCells(true);
  EXPECT_EQ(field.TrueCells.At(4, 7), (TSeaCell{0, 50, 0}));
  EXPECT_EQ(field.ShownCells.At(4, 7), (TSeaCell{0, 51, 0}));
  EXPECT_EQ(field.ShownCells.At(1, 17), (TSeaCell{0, 104, 0}));
  ExpectCell(4, 7, ItemColor(assets::kCloseCell));
  ExpectCell(16, 17, ItemColor(assets::kCloseCell));
}

TEST_F(BattleFieldTest, SetShownCodeWritesOnlyTheShownPlane) {
  field.ShownCells.At(8, 3).State = 2;
  field.GridSurface.Fill(kMarker);
  field.SetShownCode(8, 3, false, 49);
  EXPECT_EQ(field.ShownCells.At(8, 3).Code, 49);
  EXPECT_EQ(field.TrueCells.At(8, 3).Code, 0);
  ExpectCell(8, 3, kMarker);
  field.SetShownCode(8, 3, true, 3);
  ExpectCell(8, 3, ItemColor(assets::kRedShipCell));
  ExpectCell(9, 3, kMarker);
  ExpectCell(8, 4, kMarker);
}

TEST_F(BattleFieldTest, DrawCellPicksThePictureByStateAndCode) {
  DrawShown(0, 50);
  ExpectCell(5, 6, ItemColor(assets::kCloseCell));
  ExpectCell(6, 6, kMarker);
  ExpectCell(5, 7, kMarker);
  for (uint8_t code : {0, 1, 50, 52, 105, 7}) {
    DrawShown(1, code);
    ExpectCell(5, 6, ItemColor(assets::kMarkedCell));
  }
  const std::pair<uint8_t, int> opened[] = {
      {0, assets::kOpenCell},       {1, assets::kHint1Cell},       {2, assets::kHint2Cell},
      {3, assets::kRedShipCell},    {49, assets::kBlackShipCell},  {50, assets::kRFixShipCell},
      {51, assets::kDestrShipCell}, {52, assets::kDamShipCell},  {53, assets::kNotFoundCell}};
  for (uint8_t state : {2, 3}) {
    for (auto [code, image] : opened) {
      DrawShown(state, code);
      ExpectCell(5, 6, ItemColor(image));
    }
  }
}

TEST_F(BattleFieldTest, DrawCellShowsNavigatorPatterns) {
  for (uint8_t code : {100, 109, 110, 125, 139}) {
    DrawShown(2, code);
    ExpectCell(5, 6, NavColor(code - 100));
  }
}

TEST_F(BattleFieldTest, BonusesAndUnknownCodesDrawNoContent) {
  for (int code = 4; code <= 16; ++code) {
    DrawShown(2, static_cast<uint8_t>(code));
    ExpectCell(5, 6, kMarker);
  }
  for (uint8_t code : {17, 48, 54, 99, 140, 255}) {
    DrawShown(3, code);
    ExpectCell(5, 6, kMarker);
  }
}

TEST_F(BattleFieldTest, KnownFreeVeilGoesOverTheContent) {
  DrawShown(0, 0, 1);
  ExpectCell(5, 6, ItemColor(assets::kCloseCellDark), ItemColor(assets::kCloseCell));
  DrawShown(2, 50, 1);
  ExpectCell(5, 6, ItemColor(assets::kCloseCellDark), ItemColor(assets::kRFixShipCell));
  DrawShown(1, 0, 1);
  ExpectCell(5, 6, ItemColor(assets::kCloseCellDark), ItemColor(assets::kMarkedCell));
  DrawShown(2, 8, 1);
  ExpectCell(5, 6, ItemColor(assets::kCloseCellDark), kMarker);
  DrawShown(0, 0, 2);  // only 1 means known free
  ExpectCell(5, 6, ItemColor(assets::kCloseCell));
}

TEST_F(BattleFieldTest, CellsOutsideTheGridAreIgnored) {
  field.GridSurface.Fill(kMarker);
  const TCellPlane before = field.ShownCells;
  for (auto [x, y] : {std::pair{0, 1}, {17, 1}, {1, 0}, {1, 18}, {-3, 40}}) {
    field.SetShownCode(x, y, true, 50);
    field.DrawCell(x, y);
  }
  EXPECT_EQ(field.ShownCells, before);
  for (int y = 0; y < GridHeight; y += 15)
    for (int x = 0; x < GridWidth; x += 15) ASSERT_EQ(field.GridSurface.GetPixel(x, y), eng::ToRGB565(kMarker));
}

TEST(BattleFieldNoDisplay, DrawingBeforeTheSurfaceExistsDoesNothing) {
  eng::ImageList images = MakeImages();
  CountingHost host;
  eng::RandomSource random(7);
  TBattleField field(images, random, host);
  field.OpenForPlacement(true);
  field.SetShownCode(3, 3, true, 50);
  EXPECT_FALSE(field.GridSurface.Exists());
  EXPECT_EQ(field.ShownCells.At(3, 3).Code, 50);
}

TEST(BattleFieldList, RemoveFromListKeepsOrderAndCount) {
  std::vector<TCellPoint> list{{1, 1}, {2, 1}, {3, 1}, {4, 1}};
  int16_t count = 4;
  TBattleField::RemoveFromList({2, 1}, list, count);
  EXPECT_EQ(list, (std::vector<TCellPoint>{{1, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(count, 3);
  TBattleField::RemoveFromList({1, 3}, list, count);  // x and y swapped: not in the list
  EXPECT_EQ(list, (std::vector<TCellPoint>{{1, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(count, 3);
  TBattleField::RemoveFromList({4, 1}, list, count);
  TBattleField::RemoveFromList({1, 1}, list, count);
  EXPECT_EQ(list, (std::vector<TCellPoint>{{3, 1}}));
  EXPECT_EQ(count, 1);
}

TEST(BattleFieldList, RemovingAListedTwiceCellLeavesNoStaleEntry) {
  std::vector<TCellPoint> list{{5, 5}, {6, 5}, {5, 5}, {7, 5}};
  int16_t count = 4;
  TBattleField::RemoveFromList({5, 5}, list, count);
  EXPECT_EQ(list, (std::vector<TCellPoint>{{6, 5}, {7, 5}}));
  EXPECT_EQ(count, 2);
}

}  // namespace
