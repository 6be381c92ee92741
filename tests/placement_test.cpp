#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "assets/image_table.h"
#include "fake_sea_host.h"
#include "sea/battle_field.h"
#include "test_images.h"

namespace {

using testimg::ItemColor;

constexpr uint8_t kSlotTypes[10] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};
constexpr eng::Color kMarker{8, 252, 8};

struct FleetCell {
  int slot;
  int x;
  int y;
};

// The ship cells of the fixed fleet, read from the slots' shapes.
std::vector<FleetCell> FleetCells(const TBattleField& f) {
  std::vector<FleetCell> cells;
  for (int k = 1; k <= 10; ++k) {
    const TShipRecord& s = f.Slot(k);
    for (int r = 0; r < s.ShapeSize(); ++r)
      for (int c = 0; c < s.ShapeSize(); ++c)
        if (s.Shape[r][c] == cell::Ship) cells.push_back({k, s.X + c, s.Y + r});
  }
  return cells;
}

// Ten fixed ships of the right types, inside the grid, never touching, and
// no ship cell in TrueCells that belongs to none of them.
void ExpectValidFleet(const TBattleField& f) {
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(f.Slot(k).Placed, 1) << "slot " << k;
    EXPECT_EQ(f.Slot(k).Type, kSlotTypes[k - 1]) << "slot " << k;
  }
  const std::vector<FleetCell> cells = FleetCells(f);
  ASSERT_EQ(cells.size(), 20u);
  for (const FleetCell& a : cells) {
    ASSERT_TRUE(TCellPlane::Contains(a.x, a.y)) << a.x << "," << a.y;
    EXPECT_EQ(f.TrueCells.At(a.x, a.y).Code, cell::Ship);
    for (const FleetCell& b : cells) {
      if (a.slot == b.slot) continue;
      EXPECT_TRUE(std::abs(a.x - b.x) > 1 || std::abs(a.y - b.y) > 1)
          << "slots " << a.slot << " and " << b.slot << " touch at " << a.x << "," << a.y;
    }
  }
  const auto shipCodes = std::count_if(f.TrueCells.Cells.begin(), f.TrueCells.Cells.end(),
                                       [](const TSeaCell& c) { return c.Code == cell::Ship; });
  EXPECT_EQ(shipCodes, 20);
}

class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest() : field(images, random, host) {
    field.Id = 1;
    field.OriginX = 31;
    field.OriginY = 108;
    field.GridSurface.Create(GridWidth, GridHeight);
    field.OpenForPlacement(true);
    back.Create(640, 480);
  }

  // The ship in hand of a type and shape, with its corner on (x, y).
  void Hold(uint8_t type, uint8_t variant, int x, int y) {
    field.NewCurrentShip(type);
    field.BuildShip(variant);
    field.MoveCurrentShip(x, y);
  }
  void FixAt(uint8_t type, uint8_t variant, int x, int y) {
    Hold(type, variant, x, y);
    field.DrawCurrentShip(false);
    field.FixCurrentShip();
  }
  // Ship cells of the ship in hand, as grid cells.
  std::vector<std::pair<int, int>> HeldCells() const {
    std::vector<std::pair<int, int>> cells;
    const TShipRecord& s = field.Current;
    for (int r = 0; r < s.ShapeSize(); ++r)
      for (int c = 0; c < s.ShapeSize(); ++c)
        if (s.Shape[r][c] == cell::PlacingShip || s.Shape[r][c] == cell::BlockedShip)
          cells.emplace_back(s.X + c, s.Y + r);
    return cells;
  }
  void LandAll() {
    for (int i = 0; i < 1000 && field.FlyingCount > 0; ++i) field.SlideInStep(back, 16);
    ASSERT_EQ(field.FlyingCount, 0);
  }
  uint16_t CellPixel(int x, int y) const { return field.GridSurface.GetPixel(16 * (x - 1) + 8, 16 * (y - 1) + 8); }

  eng::ImageList images = testimg::MakeImages();
  eng::RandomSource random{20240611};
  FakeSeaHost host;
  TBattleField field;
  eng::Surface back;
};

// --- The ship in hand and the two rules ---

TEST_F(PlacementTest, BuildShipDrawsThePictureAndTheBounds) {
  field.NewCurrentShip(3);
  field.BuildShip(5);  // corner: (1,1) (2,1) (2,2)
  const TShipRecord& s = field.Current;
  EXPECT_EQ(s.Image.Width(), 80);
  EXPECT_EQ(s.Image.GetPixel(16 * 1 + 5, 16 * 2 + 5), ItemColor(assets::kRedShipCell));
  EXPECT_EQ(s.Image.GetPixel(16 * 1 + 5, 16 * 0 + 5), ItemColor(assets::kHint1Cell));
  EXPECT_EQ(s.Image.GetPixel(16 * 0 + 5, 16 * 0 + 5), ItemColor(assets::kHint2Cell));
  EXPECT_EQ(s.Image.GetPixel(16 * 4 + 5, 16 * 4 + 5), eng::kBlack);
  EXPECT_EQ((std::vector<int>{s.BoundLeft, s.BoundTop, s.BoundRight, s.BoundBottom}), (std::vector<int>{16, 16, 48, 48}));
  EXPECT_EQ(s.ScreenX, 31 + 16 * (6 - 1));
  EXPECT_EQ(host.dragReloads, 1);
  EXPECT_EQ(host.lastDragWidth, 80);
}

TEST_F(PlacementTest, InsideAndContactRules) {
  Hold(1, 1, 0, 0);
  EXPECT_TRUE(field.CheckInside(0, 0));  // the ship cell is element [1][1]
  EXPECT_FALSE(field.CheckInside(-1, 0));
  EXPECT_FALSE(field.CheckInside(0, -1));
  EXPECT_TRUE(field.CheckInside(15, 16));
  EXPECT_FALSE(field.CheckInside(16, 16));

  // A diagonal two-cell ship on (5,5) (6,6) blocks both other corners of
  // its square; a single ship on (1,1) forbids (2,2).
  FixAt(2, 2, 4, 4);
  FixAt(1, 1, 0, 0);
  Hold(1, 1, 0, 0);
  EXPECT_FALSE(field.CheckSpacing(4, 5));  // (5,6)
  EXPECT_FALSE(field.CheckSpacing(5, 4));  // (6,5)
  EXPECT_FALSE(field.CheckSpacing(6, 6));  // (7,7)
  EXPECT_TRUE(field.CheckSpacing(3, 6));   // (4,7)
  EXPECT_FALSE(field.CheckSpacing(1, 1));  // (2,2)
  EXPECT_TRUE(field.CheckSpacing(2, 0));   // (3,1)
  // Only fixed ship cells count, not ring codes.
  for (int x = 10; x <= 14; ++x)
    for (int y = 10; y <= 14; ++y) field.TrueCells.At(x, y).Code = (x + y) % 2 ? cell::SideRing : cell::CornerRing;
  EXPECT_TRUE(field.CheckSpacing(11, 11));
  field.TrueCells.At(11, 11).Code = cell::Ship;
  EXPECT_FALSE(field.CheckSpacing(11, 11));
  // Ship cells off the grid are skipped.
  Hold(2, 1, 0, 0);  // elements [1][1] and [1][2]
  field.TrueCells.At(1, 12).Code = cell::Ship;
  EXPECT_TRUE(field.CheckSpacing(-1, 9));  // (0,10) off the grid, (1,10) two rows above the ship
  EXPECT_FALSE(field.CheckSpacing(-1, 10));
}

TEST_F(PlacementTest, DrawingTheShipShowsItsValidityAndKeepsFixedCells) {
  FixAt(1, 1, 9, 9);  // (10,10); its ring (9..11, 9..11) is now in TrueCells
  Hold(2, 1, 6, 6);   // (7,7) (8,7): free
  field.DrawCurrentShip(true);
  EXPECT_EQ(field.ShownCells.At(7, 7).Code, cell::PlacingShip);
  EXPECT_EQ(field.ShownCells.At(9, 8).Code, cell::CornerRing);
  EXPECT_EQ(CellPixel(7, 7), eng::ToRGB565(ItemColor(assets::kRedShipCell)));
  EXPECT_EQ(field.TrueCells.At(7, 7).Code, cell::Water);
  field.EraseCurrentShip();

  Hold(2, 1, 8, 8);  // (9,9) (10,9): touches the fixed ship
  field.DrawCurrentShip(true);
  EXPECT_EQ(field.Current.Shape[1][1], cell::BlockedShip);
  EXPECT_EQ(CellPixel(9, 9), eng::ToRGB565(ItemColor(assets::kBlackShipCell)));
  // Its ring never hides the fixed ship, nor its corner ring a side ring.
  EXPECT_EQ(field.ShownCells.At(10, 10).Code, cell::Ship);
  EXPECT_EQ(field.Current.Shape[2][3], cell::CornerRing);
  EXPECT_EQ(field.ShownCells.At(11, 10).Code, cell::SideRing);

  field.EraseCurrentShip();
  EXPECT_EQ(field.ShownCells, field.TrueCells);
  EXPECT_EQ(CellPixel(9, 9), eng::ToRGB565(ItemColor(assets::kHint2Cell)));
}

TEST_F(PlacementTest, HitTestFindsTheShipAndItsRing) {
  Hold(2, 1, 4, 4);  // ship (5,5) (6,5), matrix (4..7, 4..7)
  field.DrawCurrentShip(false);
  auto at = [&](int x, int y) { return field.HitTestCurrentShip(16 * (x - 1) + 3, 16 * (y - 1) + 12); };
  EXPECT_TRUE(at(6, 5));
  EXPECT_TRUE(at(4, 4));   // corner ring
  EXPECT_TRUE(at(5, 6));   // side ring
  EXPECT_FALSE(at(5, 7));  // the matrix's empty last row
  EXPECT_FALSE(at(8, 5));
  EXPECT_FALSE(at(3, 5));
  // A point just left of the grid truncates into column 1.
  Hold(1, 1, 0, 0);
  field.DrawCurrentShip(false);
  EXPECT_TRUE(field.HitTestCurrentShip(-5, 2));
  EXPECT_FALSE(field.HitTestCurrentShip(40, 2));
}

// --- Taking ships ---

TEST(PlacementSearch, ForwardThenBackwardOverEveryOtherColumn) {
  const std::vector<TCellPoint> order = TBattleField::PositionSearchOrder(3, 5);
  std::vector<TCellPoint> expected;
  for (int x = 3; x <= 15; x += 2) expected.push_back({x, 5});
  for (int x = -1; x <= 15; x += 2) expected.push_back({x, 6});
  ASSERT_GE(order.size(), expected.size());
  EXPECT_EQ(std::vector<TCellPoint>(order.begin(), order.begin() + expected.size()), expected);
  // Forward ends in row 17 at column 15; backward starts in row 5 at 3.
  const auto back = std::find(order.begin(), order.end(), TCellPoint{15, 17}) + 1;
  ASSERT_NE(back, order.end());
  const std::vector<TCellPoint> backward(back, order.end());
  std::vector<TCellPoint> expectedBack = {{3, 5}, {1, 5}, {-1, 5}};
  for (int x = 16; x >= 0; x -= 2) expectedBack.push_back({x, 4});
  ASSERT_GE(backward.size(), expectedBack.size());
  EXPECT_EQ(std::vector<TCellPoint>(backward.begin(), backward.begin() + expectedBack.size()), expectedBack);
  EXPECT_EQ(backward.back(), (TCellPoint{0, -1}));
  // 7 + 12 x 9 forward, 3 + 6 x 9 backward.
  EXPECT_EQ(order.size(), 7u + 12 * 9 + 3 + 6 * 9);
}

TEST_F(PlacementTest, AShipFindsTheOnlyFreePlaceOrIsNeverFixedWhereItIsBlocked) {
  // Everything is a fixed ship but the 3 x 3 water around (6,10), so a
  // single-cell ship fits only at X = 5, Y = 9. Column 5 is odd: earlier
  // rows of the backward search, which tries every other column, never try
  // it; the search over every column that follows finds it from any start.
  auto fillWithShips = [&] {
    field.OpenForPlacement(false);
    for (TSeaCell& c : field.TrueCells.Cells) c.Code = cell::Ship;
  };
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    random.Seed(seed);
    fillWithShips();
    for (int x = 5; x <= 7; ++x)
      for (int y = 9; y <= 11; ++y) field.TrueCells.At(x, y).Code = cell::Water;
    field.ShownCells = field.TrueCells;
    ASSERT_TRUE(field.TakeNextShip(1));
    EXPECT_EQ((std::pair<int, int>{field.Current.X, field.Current.Y}), (std::pair{5, 9})) << "seed " << seed;
    EXPECT_EQ(field.ShownCells.At(6, 10).Code, cell::PlacingShip);
  }

  // No free place at all: the ship slides to the centre, blocked over a
  // fixed ship. Neither the next take nor the automatic placement fixes it,
  // while it slides or once it has landed, and no cell changes.
  fillWithShips();
  field.ShownCells = field.TrueCells;
  ASSERT_TRUE(field.TakeNextShip(1));
  EXPECT_EQ((std::pair<int, int>{field.Current.X, field.Current.Y}), (std::pair{7, 8}));
  EXPECT_EQ(field.ShownCells.At(8, 9).Code, cell::BlockedShip);
  const TCellPlane trueBefore = field.TrueCells;
  EXPECT_FALSE(field.TakeNextShip(1));
  EXPECT_FALSE(field.AutoPlace());
  EXPECT_EQ(field.FlightList.size(), 1u);
  EXPECT_EQ(field.FlightList[0].FixOnArrival, 0);
  LandAll();
  ASSERT_EQ(field.ShipActive, 1);
  EXPECT_FALSE(field.AutoPlace());
  EXPECT_EQ(field.TrueCells, trueBefore);
  EXPECT_EQ(field.FixedCount, 0);
  EXPECT_EQ(field.Slot(7).Placed, 0);
}

TEST_F(PlacementTest, TakingAShipPutsItOnAFreePlaceAndStartsItsFlight) {
  ASSERT_TRUE(field.TakeNextShip(4));
  const TShipRecord& s = field.Current;
  EXPECT_TRUE(field.CheckInside(s.X, s.Y) && field.CheckSpacing(s.X, s.Y));
  for (auto [x, y] : HeldCells()) {
    EXPECT_EQ(field.ShownCells.At(x, y).Code, cell::PlacingShip);
    EXPECT_EQ(field.TrueCells.At(x, y).Code, cell::Water);
    EXPECT_EQ(CellPixel(x, y), eng::ToRGB565(ItemColor(assets::kOpenCell)));  // not drawn yet
  }
  ASSERT_EQ(field.FlightList.size(), 1u);
  const TFlight& f = field.FlightList[0];
  EXPECT_EQ(f.FlyX, 16.0f * (s.X - 1));
  EXPECT_EQ(f.TargetY, 16 * (s.Y - 1));
  EXPECT_EQ(f.FlySurface.Width(), 96);
  EXPECT_EQ(f.FlyIndex, 1);
  EXPECT_EQ(field.FlyingCount, 1);
  EXPECT_EQ(field.ShipActive, 0);
}

TEST_F(PlacementTest, ABlockedShipInHandIsNotFixedAndNothingChanges) {
  ASSERT_TRUE(field.TakeNextShip(2));
  LandAll();
  ASSERT_EQ(field.ShipActive, 1);
  field.EraseCurrentShip();
  field.TrueCells.At(1, 17).Code = cell::Ship;
  field.ShownCells.At(1, 17).Code = cell::Ship;
  field.MoveCurrentShip(0, 15);  // the ship's first cell at (1,16)
  field.DrawCurrentShip(false);
  const TCellPlane trueBefore = field.TrueCells, shownBefore = field.ShownCells;
  const uint8_t variant = field.Current.Variant;

  EXPECT_FALSE(field.TakeNextShip(2));
  EXPECT_EQ(field.FlightList.size(), 1u);
  EXPECT_EQ(field.FixedCount, 0);
  EXPECT_EQ(field.ShipActive, 1);
  EXPECT_EQ(field.Current.X, 0);
  EXPECT_EQ(field.Current.Variant, variant);
  EXPECT_EQ(field.TrueCells, trueBefore);
  EXPECT_EQ(field.ShownCells, shownBefore);
  EXPECT_EQ(field.Slot(4).Placed, 0);
}

TEST_F(PlacementTest, TheTenthShipStartsTheBattleOnceAndTheEleventhCallOnlyFixes) {
  int bonusesSeen = -1, navigatorsSeen = -1, fixedSeen = -1;
  host.onFleetComplete = [&] {
    bonusesSeen = static_cast<int>(std::count_if(field.TrueCells.Cells.begin(), field.TrueCells.Cells.end(),
                                                 [](const TSeaCell& c) { return cell::IsBonus(c.Code); }));
    navigatorsSeen = static_cast<int>(std::count_if(field.TrueCells.Cells.begin(), field.TrueCells.Cells.end(),
                                                    [](const TSeaCell& c) { return cell::IsNavigator(c.Code); }));
    fixedSeen = field.FixedCount;
  };
  for (int k = 1; k <= 10; ++k) {
    ASSERT_TRUE(field.TakeNextShip(kSlotTypes[k - 1])) << "ship " << k;
    LandAll();
    EXPECT_EQ(field.FixedCount, k - 1);
  }
  EXPECT_EQ(host.fleetsComplete, 0);
  ASSERT_TRUE(field.TakeNextShip(1));
  EXPECT_EQ(field.FlightList.size(), 10u);
  EXPECT_EQ(host.fleetsComplete, 1);
  EXPECT_EQ(field.FixedCount, 1);
  EXPECT_EQ(field.ShipActive, 0);
  EXPECT_GE(bonusesSeen, 13);  // seeded before the interface took over
  EXPECT_GT(navigatorsSeen, 0);
  EXPECT_EQ(fixedSeen, 1);
  ExpectValidFleet(field);
  // Further calls find every ship taken and fixed: nothing is counted twice.
  const TCellPlane after = field.TrueCells;
  EXPECT_TRUE(field.TakeNextShip(1));
  EXPECT_EQ(field.FixedCount, 1);
  EXPECT_EQ(host.fleetsComplete, 1);
  EXPECT_EQ(field.TrueCells, after);
}

TEST_F(PlacementTest, AShipFixedByTheFixCommandIsNotFixedAgainByTheNextTake) {
  ASSERT_TRUE(field.TakeNextShip(4));
  LandAll();
  // The fix command: the ship may stand there, so it is fixed and drawn.
  ASSERT_TRUE(field.CheckSpacing(field.Current.X, field.Current.Y));
  field.FixCurrentShip();
  field.DrawCurrentShip(true);
  EXPECT_EQ(field.FixedCount, 1);
  ASSERT_TRUE(field.TakeNextShip(3));
  EXPECT_EQ(field.FixedCount, 1);
  EXPECT_EQ(field.FlightList.size(), 2u);
  EXPECT_EQ(field.Slot(2).Placed, 0);
}

// --- Sliding in ---

TEST_F(PlacementTest, AShipInTheLowerHalfFallsFromTheTopAndLandsInHand) {
  for (int y = 1; y <= 9; ++y)
    for (int x = 1; x <= 16; ++x) field.TrueCells.At(x, y).Code = cell::Ship;
  ASSERT_TRUE(field.TakeNextShip(2));
  ASSERT_GE(field.Current.Y, 8);
  TFlight& f = field.FlightList[0];
  EXPECT_EQ(f.FlyDir, 1);
  EXPECT_EQ(f.FlyY, 0.0f);
  int steps = 0;
  while (f.Flying && steps < 500) {
    back.Fill(kMarker);
    const float before = f.FlyY;
    field.SlideInStep(back, 10);
    ++steps;
    EXPECT_FLOAT_EQ(f.FlyY, before + 3.0f);
    if (f.Flying) {
      EXPECT_EQ(field.ShipActive, 0);
      EXPECT_LT(f.FlyY, static_cast<float>(f.TargetY));
    }
    // The picture is drawn at the rounded position; its black cells are
    // see-through.
    const int px = 31 + static_cast<int>(f.FlyX), py = 108 + static_cast<int>(std::nearbyint(f.FlyY));
    const TShipRecord& s = field.Current;
    for (int r = 0; r < s.ShapeSize(); ++r) {
      for (int c = 0; c < s.ShapeSize(); ++c) {
        const uint16_t pixel = back.GetPixel(px + 16 * c + 8, py + 16 * r + 8);
        if (py + 16 * r + 8 >= 480) continue;
        if (s.Shape[r][c] == cell::PlacingShip) {
          EXPECT_EQ(pixel, eng::ToRGB565(ItemColor(assets::kRedShipCell)));
        } else if (s.Shape[r][c] == cell::Water) {
          EXPECT_EQ(pixel, eng::ToRGB565(kMarker));
        }
      }
    }
  }
  EXPECT_EQ(steps, (16 * (field.Current.Y - 1) + 2) / 3);  // ceil(target / 3)
  EXPECT_EQ(field.ShipActive, 1);
  EXPECT_EQ(field.FlyingCount, 0);
  EXPECT_FALSE(f.FlySurface.Exists());
  EXPECT_GE(f.FlyY, static_cast<float>(f.TargetY));
}

TEST_F(PlacementTest, AShipInTheUpperHalfRisesFromTheBottom) {
  for (int y = 9; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) field.TrueCells.At(x, y).Code = cell::Ship;
  ASSERT_TRUE(field.TakeNextShip(3));
  ASSERT_LT(field.Current.Y, 8);
  const TFlight& f = field.FlightList[0];
  EXPECT_EQ(f.FlyDir, -1);
  EXPECT_EQ(f.FlyY, 16.0f * 13);
  LandAll();
  EXPECT_LE(f.FlyY, static_cast<float>(f.TargetY));
  EXPECT_EQ(field.ShipActive, 1);
}

TEST_F(PlacementTest, AShipFixedWhileSlidingIsDrawnFixedWhenItLands) {
  ASSERT_TRUE(field.TakeNextShip(4));
  const std::vector<std::pair<int, int>> first = HeldCells();
  ASSERT_TRUE(field.TakeNextShip(3));  // the first ship is still on its way
  EXPECT_EQ(field.FixedCount, 1);
  EXPECT_EQ(field.FlightList[0].FixOnArrival, 1);
  EXPECT_EQ(field.Slot(1).Placed, 1);
  for (auto [x, y] : first) {
    EXPECT_EQ(field.TrueCells.At(x, y).Code, cell::Ship);
    EXPECT_EQ(CellPixel(x, y), eng::ToRGB565(ItemColor(assets::kOpenCell)));
  }
  // Land only the first: it is drawn fixed and the ship in hand stays inactive.
  TFlight& f0 = field.FlightList[0];
  for (int i = 0; i < 1000 && f0.Flying; ++i) {
    field.SlideInStep(back, 5);
    if (field.FlightList[1].Flying) {
      EXPECT_EQ(field.ShipActive, 0);
    }
  }
  ASSERT_EQ(f0.Flying, 0);
  EXPECT_EQ(f0.FixOnArrival, 0);
  for (auto [x, y] : first) EXPECT_EQ(CellPixel(x, y), eng::ToRGB565(ItemColor(assets::kRFixShipCell)));
  LandAll();
  EXPECT_EQ(field.ShipActive, 1);
}

// --- Editing ---

TEST_F(PlacementTest, ModifyShipStepsThroughTheShapesAndWraps) {
  Hold(4, 21, 5, 5);
  field.InvalidShown = 1;
  field.ModifyShip();
  EXPECT_EQ(field.Current.Variant, 1);
  EXPECT_EQ(field.InvalidShown, 0);
  ASSERT_EQ(host.retints.size(), 1u);
  EXPECT_EQ(host.retints[0], (std::pair{5, 5}));
  EXPECT_EQ(field.Current.Shape[2][1], cell::PlacingShip);  // the horizontal bar
  Hold(2, 4, 5, 5);
  field.ModifyShip();
  EXPECT_EQ(field.Current.Variant, 1);
  Hold(1, 1, 5, 5);
  field.ModifyShip();
  EXPECT_EQ(field.Current.Variant, 1);
  EXPECT_EQ(host.retints.size(), 2u);  // none for the single cell
}

TEST_F(PlacementTest, RotateShipTurnsWithinTheGroup) {
  auto turns = [&](uint8_t type, uint8_t variant, int count) {
    Hold(type, variant, 5, 5);
    std::vector<int> seen{variant};
    for (int i = 0; i < count; ++i) {
      field.RotateShip();
      seen.push_back(field.Current.Variant);
    }
    return seen;
  };
  EXPECT_EQ(turns(4, 21, 2), (std::vector<int>{21, 21, 21}));
  EXPECT_EQ(turns(4, 1, 4), (std::vector<int>{1, 2, 3, 4, 1}));
  EXPECT_EQ(turns(4, 13, 3), (std::vector<int>{13, 14, 13, 14}));
  EXPECT_EQ(turns(3, 8, 1), (std::vector<int>{8, 5}));
  EXPECT_EQ(turns(2, 4, 1), (std::vector<int>{4, 1}));
  // A four-cell ship built in the middle of a group keeps the group of the
  // ship before: here the corner group of a three-cell ship, recorded as 5.
  Hold(3, 5, 5, 5);
  ASSERT_EQ(field.Current.Group, 5);
  EXPECT_EQ(turns(4, 2, 7), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 5}));
  EXPECT_EQ(field.Current.Group, 2);
}

TEST_F(PlacementTest, TurningAtTheEdgesPullsTheShipBackInside) {
  Hold(4, 3, 14, 5);  // vertical in column 16
  field.RotateShip();  // the rising diagonal would reach column 18
  EXPECT_EQ(field.Current.Variant, 4);
  EXPECT_EQ(field.Current.X, 12);
  field.RotateShip();  // horizontal
  int lastCol = 0;
  for (auto [x, y] : HeldCells()) lastCol = std::max(lastCol, x);
  EXPECT_EQ(lastCol, 16);
  EXPECT_EQ(field.Current.ScreenX, 31 + 16 * 11);

  Hold(4, 3, -1, 5);  // vertical in column 1
  field.RotateShip();  // the rising diagonal would begin in column 0
  EXPECT_EQ(field.Current.X, 0);

  Hold(4, 1, 0, 15);  // horizontal in row 17
  field.RotateShip();  // the falling diagonal would reach row 19
  EXPECT_EQ(field.Current.Y, 13);
  EXPECT_EQ(field.Current.ScreenY, 108 + 16 * 12);

  Hold(4, 1, 3, -1);  // horizontal in row 1
  field.ModifyShip();  // the falling diagonal would begin in row 0
  EXPECT_EQ(field.Current.Y, 0);
}

TEST_F(PlacementTest, FixingWritesBothPlanesAndTheFirstFreeSlotOfTheType) {
  Hold(2, 1, 3, 3);  // (4,4) (5,4)
  field.DrawCurrentShip(false);
  field.ShipActive = 1;
  field.FixCurrentShip();
  EXPECT_EQ(field.TrueCells.At(4, 4).Code, cell::Ship);
  EXPECT_EQ(field.ShownCells.At(5, 4).Code, cell::Ship);
  EXPECT_EQ(field.TrueCells.At(6, 5).Code, cell::CornerRing);
  EXPECT_EQ(field.ShipActive, 0);
  EXPECT_EQ(field.Slot(4).X, 3);
  FixAt(2, 3, 9, 9);
  EXPECT_EQ(field.Slot(5).Variant, 3);
  EXPECT_EQ(field.Slot(5).Ordinal, 2);
  FixAt(2, 1, 12, 1);
  FixAt(2, 1, 12, 14);  // a fourth two-cell ship finds no slot
  EXPECT_EQ(field.Slot(6).Y, 1);
  EXPECT_EQ(field.Slot(7).Placed, 0);
  EXPECT_EQ(field.FixedCount, 4);
}

// --- Automatic placement ---

TEST_F(PlacementTest, AutoPlaceOnTheOwnGridFromEachStart) {
  enum Start { Nothing, InHand, FixedAndInHand, FixedAndSliding };
  for (Start start : {Nothing, InHand, FixedAndInHand, FixedAndSliding}) {
    SCOPED_TRACE(start);
    random.Seed(100 + start);
    field.OpenForPlacement(true);
    host.fleetsComplete = 0;
    if (start != Nothing) {
      ASSERT_TRUE(field.TakeNextShip(4));
      if (start != FixedAndSliding) LandAll();
    }
    if (start == FixedAndInHand || start == FixedAndSliding) {
      ASSERT_TRUE(field.TakeNextShip(3));
      if (start == FixedAndInHand) LandAll();
    }
    const size_t flightsBefore = field.FlightList.size();
    field.AutoPlace();
    EXPECT_EQ(field.AutoUsed, 1);
    if (start == FixedAndSliding) {
      // Nothing is taken while a ship is still sliding in.
      EXPECT_EQ(field.FlightList.size(), flightsBefore);
      EXPECT_EQ(field.FixedCount, 1);
      continue;
    }
    EXPECT_EQ(field.FlightList.size(), 10u);
    EXPECT_EQ(host.fleetsComplete, 1);
    EXPECT_EQ(field.FixedCount, 1);
    ExpectValidFleet(field);
    LandAll();
    for (const FleetCell& c : FleetCells(field)) {
      EXPECT_EQ(field.ShownCells.At(c.x, c.y).Code, cell::Ship);
      EXPECT_EQ(CellPixel(c.x, c.y), eng::ToRGB565(ItemColor(assets::kRFixShipCell)));
    }
  }
}

TEST_F(PlacementTest, AutoPlaceOnTheEnemyGridAlwaysLaysOutAFleet) {
  field.Id = 2;
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(seed);
    random.Seed(seed);
    host.resets = 0;
    field.AutoPlace();
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(field.FixedCount, 10);
    ExpectValidFleet(field);
    if (HasFailure()) return;
  }
  EXPECT_EQ(host.fleetsComplete, 0);
}

TEST_F(PlacementTest, AnEnemyLayoutThatRunsOutOfAttemptsBeginsAgain) {
  field.Id = 2;
  // With one try per ship most layouts fail part way; each restart must
  // leave nothing of the failed one behind, and must not touch the turn flags.
  field.EnemyPlaceAttempts = 1;
  for (uint32_t seed = 1; seed <= 5; ++seed) {
    random.Seed(seed);
    host.resets = 0;
    field.AutoPlace();
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(field.FixedCount, 10);
    ExpectValidFleet(field);
    for (const TSeaCell& c : field.TrueCells.Cells) EXPECT_EQ(c.State, cell::Opened);
  }
}

}  // namespace
