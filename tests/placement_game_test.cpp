// A fleet placed against the computer the way a player does it, through
// mouse and key events in the whole game on the dummy driver: the New Game
// dialog, the panel's buttons, dragging, turning, fixing, and the closed
// grid flying together when the fleet is complete.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "assets/image_table.h"
#include "engine/text_codec.h"
#include "game_harness.h"
#include "settings/new_game_form.h"

namespace {

constexpr int kGridX = 31, kGridY = 108;

std::string SettingsBytes(const std::string& cp1251Name, uint8_t mode) {
  SettingsRecord r;
  r.FullScreen = 0;
  r.SetPlayerName(cp1251Name);
  r.GameMode = mode;
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

bool SamePlane(const TCellPlane& a, const TCellPlane& b) {
  return std::memcmp(a.Cells.data(), b.Cells.data(), TCellPlane::kByteSize) == 0;
}

bool SameSurface(const eng::Surface& a, const eng::Surface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// Sizes of the groups of ship cells (code 50) that touch, corners included,
// largest first: a valid fleet gives 4 3 3 2 2 2 1 1 1 1.
std::vector<int> ShipGroups(const TCellPlane& plane) {
  std::vector<int> sizes;
  bool seen[18][19] = {};
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) {
      if (seen[x][y] || plane.At(x, y).Code != 50) continue;
      int size = 0;
      std::vector<std::pair<int, int>> stack{{x, y}};
      seen[x][y] = true;
      while (!stack.empty()) {
        auto [cx, cy] = stack.back();
        stack.pop_back();
        ++size;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = cx + dx, ny = cy + dy;
            if (!TCellPlane::Contains(nx, ny) || seen[nx][ny] || plane.At(nx, ny).Code != 50) continue;
            seen[nx][ny] = true;
            stack.push_back({nx, ny});
          }
      }
      sizes.push_back(size);
    }
  std::sort(sizes.rbegin(), sizes.rend());
  return sizes;
}

const std::vector<int> kFleetGroups{4, 3, 3, 2, 2, 2, 1, 1, 1, 1};

bool Grey(const eng::Color& c) { return c.r == c.g && c.g == c.b; }

class PlacementGame : public ::testing::Test {
 protected:
  PlacementGame() : g(4321, SettingsBytes(W("Ада"), 1)) { g.SkipLogo(); }

  TCommon& C() { return g.common(); }
  TBattleField& Own() { return g.form->OwnGrid(); }
  TBattleField& Enemy() { return g.form->EnemyGrid(); }
  TShipRecord& Ship() { return Own().Current; }
  std::string Line2() { return C().StatusLine[1]; }

  // Opens New Game from the menu and runs step(pass) on every pass of the
  // dialog's loop; by default Enter in the name edit starts the game.
  void NewGame(std::function<void(int pass)> step = nullptr) {
    TNewGameForm& form = *g.form->NewGameForm;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    int pass = 0;
    form.Pump = [&] {
      if (step) {
        step(pass);
      } else if (pass == 0) {
        g.Key(eng::kKeyEnter);
      }
      if (++pass > 100) {
        ADD_FAILURE() << "the dialog never closed";
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
      }
    };
    g.Click(211, 29);
    form.Pump = nullptr;
    ASSERT_TRUE(form.Closed());
  }
  // Frames until the condition holds; false if it never did.
  bool FramesUntil(const std::function<bool()>& done, int limit = 400) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      g.Frames(1);
    }
    return done();
  }
  // The first start: the old grid flies apart, the panel comes out and
  // opens, and the prompt has finished blinking.
  void StartAndOpenPanel() {
    NewGame();
    ASSERT_TRUE(FramesUntil([&] {
      return !C().Shattering && C().ChooserClosed == 0 && C().ChooserShown == 0 && C().Blinking == 0;
    }));
  }
  void PressPanel(const eng::Rect& button, int b = eng::kMouseLeft) {
    g.Click(C().ChooserX + button.x + button.w / 2, C().ChooserY + button.y + button.h / 2, b);
  }
  void TakeNext() { PressPanel(C().NextShipButton); }
  bool WaitInHand() {
    return FramesUntil([&] { return Own().ShipActive == 1 && Own().FlyingCount == 0; });
  }
  // The centre of the first ship cell of the ship in hand, on the screen.
  std::pair<int, int> ShipCellPoint() {
    const int n = Ship().ShapeSize();
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c)
        if (Ship().Shape[r][c] == 3 || Ship().Shape[r][c] == 49)
          return {Ship().ScreenX + 16 * c + 8, Ship().ScreenY + 16 * r + 8};
    ADD_FAILURE() << "the ship in hand has no ship cell";
    return {0, 0};
  }
  std::pair<int, int> FirstShipCell(const TShipRecord& s, uint8_t value) {
    const int n = s.ShapeSize();
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c)
        if (s.Shape[r][c] == value) return {r, c};
    return {-1, -1};
  }
  // Presses the ship in hand, moves the pointer by (dx, dy) in a few steps,
  // and releases it unless told not to.
  void Drag(int dx, int dy, bool release = true) {
    const auto [x, y] = ShipCellPoint();
    g.Move(x, y);
    g.form->Display().InjectMouseDown(eng::kMouseLeft, x, y);
    EXPECT_EQ(Own().Dragging, 1);
    EXPECT_EQ(Ship().Alpha, 200);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
      g.Move(x + dx * i / steps, y + dy * i / steps);
      g.Frames(1);
    }
    if (release) g.form->Display().InjectMouseUp(eng::kMouseLeft, x + dx, y + dy);
  }
  // Drags the ship in hand so that its corner cell lands on (column, row),
  // releasing the pointer (ox, oy) pixels off the exact spot.
  void DragTo(int column, int row, int ox = 5, int oy = -6, bool release = true) {
    Drag(16 * (column - Ship().X) + ox, 16 * (row - Ship().Y) + oy, release);
  }
  // Line 2 as it changes over the frames until the blink is over.
  std::vector<std::string> BlinkSequence(int limit = 400) {
    std::vector<std::string> seen{Line2()};
    for (int i = 0; i < limit && C().Blinking; ++i) {
      g.Frames(1);
      if (Line2() != seen.back()) seen.push_back(Line2());
    }
    EXPECT_EQ(C().Blinking, 0);
    return seen;
  }

  GameHarness g;
};

// The next variant of a turn: within the rotation group, for type 4 by the
// group the ship recorded.
uint8_t TurnedVariant(uint8_t type, uint8_t variant, uint8_t group) {
  if (type == 2 || type == 3) return variant % 4 == 0 ? variant - 3 : variant + 1;
  const int starts[8] = {1, 5, 9, 13, 15, 17, 21, 22};
  if (group < 7) return variant + 1 == starts[group] ? starts[group - 1] : variant + 1;
  return variant + 1 > 21 ? 21 : variant + 1;
}

TEST_F(PlacementGame, WholeFleetAgainstTheComputerThroughEvents) {
  const std::string prompt = W("Разместите корабли, Ада");
  NewGame();
  EXPECT_EQ(C().StatusLine[0], W("Ада"));
  EXPECT_EQ(C().StatusLine[2], W("Компьютер"));
  EXPECT_EQ(C().Shattering, 1);
  EXPECT_EQ(C().ChooserShown, 1);
  EXPECT_EQ(Own().CellsClosed, 0);
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) EXPECT_EQ(Enemy().ShownCells.At(x, y).State, 0);

  // The panel comes out and opens while the prompt blinks twice.
  std::vector<std::string> seen{Line2()};
  ASSERT_TRUE(FramesUntil([&] {
    if (Line2() != seen.back()) seen.push_back(Line2());
    return !C().Shattering && C().ChooserClosed == 0 && C().ChooserShown == 0 && C().Blinking == 0;
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"", prompt, "", prompt, "", prompt}));
  for (const TPiece& p : C().OutPieces) EXPECT_EQ(p.active, 0);
  EXPECT_EQ(C().ChooserBehind, 0);
  EXPECT_NEAR(C().ChooserY, 384, 4);

  // The modify button waits for its fade, which the first ship starts.
  EXPECT_EQ(C().ModifyEnabled, 0);
  TakeNext();
  EXPECT_EQ(C().ShipsChosen, 1);
  EXPECT_EQ(Own().FlyingCount, 1);
  EXPECT_EQ(Ship().Type, 4);
  EXPECT_EQ(C().ModifyFading, 1);
  const uint8_t takenVariant = Ship().Variant;
  PressPanel(C().ModifyButton);
  EXPECT_EQ(Ship().Variant, takenVariant) << "modify is not enabled before its fade";
  ASSERT_TRUE(WaitInHand());

  // Dragged and released a few pixels off: it snaps to whole cells.
  DragTo(3, 3, 5, -6, false);
  EXPECT_EQ(Ship().ScreenX, kGridX + 16 * 2 + 5);
  EXPECT_EQ(Ship().ScreenY, kGridY + 16 * 2 - 6);
  g.form->Display().InjectMouseUp(eng::kMouseLeft, 0, 0);
  EXPECT_EQ(Own().Dragging, 0);
  EXPECT_EQ(Ship().Alpha, 255);
  EXPECT_EQ(Ship().X, 3);
  EXPECT_EQ(Ship().Y, 3);
  EXPECT_EQ(Ship().ScreenX, kGridX + 16 * (Ship().X - 1));
  EXPECT_EQ(Ship().ScreenY, kGridY + 16 * (Ship().Y - 1));
  EXPECT_EQ(Own().InvalidShown, 0);

  // R turns it within its group.
  const uint8_t turnedTo = TurnedVariant(4, Ship().Variant, Ship().Group);
  g.Key('R');
  EXPECT_EQ(Ship().Variant, turnedTo);

  // Once faded in, the modify button gives the next shape.
  ASSERT_TRUE(FramesUntil([&] { return C().ModifyEnabled == 1; }, 100));
  const uint8_t before = Ship().Variant;
  PressPanel(C().ModifyButton);
  EXPECT_EQ(Ship().Variant, before % 21 + 1);

  // A right click on the ship fixes it and the next face shows.
  {
    const auto [x, y] = ShipCellPoint();
    const auto [r, c] = FirstShipCell(Ship(), 3);
    const int fx = Ship().X + c, fy = Ship().Y + r;
    g.Click(x, y, eng::kMouseRight);
    EXPECT_EQ(Own().FixedCount, 1);
    EXPECT_EQ(Own().Slot(1).Placed, 1);
    EXPECT_EQ(Own().TrueCells.At(fx, fy).Code, 50);
    EXPECT_EQ(C().ShipsChosen, 2);
    const eng::ImageItem& faces = g.form->ImageList()[assets::kSCblock];
    const eng::Rect face = faces.PatternRect(2);
    eng::Surface want(66, 23);
    faces.Draw(want, 0, 0, 2);
    bool same = true;
    for (int py = 0; py < face.h; ++py)
      for (int px = 0; px < face.w; ++px)
        same = same && C().ChooserSurface.GetPixel(38 + px, 11 + py) == want.GetPixel(px, py);
    EXPECT_TRUE(same) << "the next-ship button shows the face of the third ship";
  }
  const TShipRecord first = Own().Slot(1);

  // The second ship: greyed over the fixed one, coloured again where it may stand.
  ASSERT_TRUE(WaitInHand());
  EXPECT_EQ(Ship().Type, 3);
  const int homeX = Ship().X, homeY = Ship().Y;
  const eng::Picture colours = Ship().Image;
  {
    const auto [fr, fc] = FirstShipCell(first, 50);
    const auto [r, c] = FirstShipCell(Ship(), 3);
    DragTo(first.X + fc - c, first.Y + fr - r, 3, 2, false);
    EXPECT_EQ(Own().InvalidShown, 1);
    EXPECT_TRUE(Grey(Ship().Image.GetPixel(16 * c + 8, 16 * r + 8)));
    g.form->Display().InjectMouseUp(eng::kMouseLeft, 0, 0);
    EXPECT_EQ(Own().InvalidShown, 1);
    EXPECT_FALSE(Own().CheckSpacing(Ship().X, Ship().Y));
  }
  DragTo(homeX, homeY, -4, 3);
  EXPECT_EQ(Ship().X, homeX);
  EXPECT_EQ(Ship().Y, homeY);
  EXPECT_EQ(Own().InvalidShown, 0);
  EXPECT_TRUE(Ship().Image == colours);

  // Two more through the panel, then the rest automatically.
  TakeNext();
  EXPECT_EQ(Own().FixedCount, 2);
  EXPECT_EQ(C().ShipsChosen, 3);
  ASSERT_TRUE(WaitInHand());
  TakeNext();
  EXPECT_EQ(Own().FixedCount, 3);
  EXPECT_EQ(C().ShipsChosen, 4);
  ASSERT_TRUE(WaitInHand());
  EXPECT_EQ(C().BattlePhase, 0);
  PressPanel(C().AutoButton);
  EXPECT_EQ(C().ChooserLocked, 1);
  EXPECT_EQ(C().BattlePhase, 1);
  EXPECT_EQ(C().LocalTurn, 1);
  EXPECT_EQ(C().Assembling, 1);

  // The closed grid flies together; all four quarters land in one frame.
  seen = {Line2()};
  int landedFrame = -1, frame = 0;
  ASSERT_TRUE(FramesUntil(
      [&] {
        ++frame;
        int active = 0;
        for (const TPiece& p : C().InPieces) active += p.active;
        if (active != 0 && active != 4) ADD_FAILURE() << "only " << active << " pieces still flying";
        if (active == 0 && landedFrame < 0) landedFrame = frame;
        if (Line2() != seen.back()) seen.push_back(Line2());
        return landedFrame >= 0 && C().Blinking == 0 && C().ChooserShown == 0;
      },
      600));
  const std::string attack = W("Атакуйте вашего противника!");
  ASSERT_GE(seen.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(seen.end() - 6, seen.end()),
            (std::vector<std::string>{"", attack, "", attack, "", attack}));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), attack), 3) << "one landing prompt, blinking twice";

  EXPECT_EQ(Own().CellsClosed, 1);
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) {
      EXPECT_EQ(Own().TrueCells.At(x, y).State, 0);
      EXPECT_EQ(Own().ShownCells.At(x, y).State, 0);
      EXPECT_EQ(Enemy().TrueCells.At(x, y).State, 0);
      EXPECT_EQ(Enemy().ShownCells.At(x, y).State, 0);
    }
  EXPECT_EQ(ShipGroups(Own().TrueCells), kFleetGroups);
  EXPECT_EQ(ShipGroups(Enemy().TrueCells), kFleetGroups);
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(Enemy().Slot(k).Placed, 1) << "slot " << k;
  EXPECT_EQ(C().BattlePhase, 1);
  EXPECT_EQ(C().LocalTurn, 1);

  // The panel has dipped and slid away out of sight.
  EXPECT_EQ(C().ChooserClosed, 1);
  EXPECT_EQ(C().ChooserShown, 0);
  EXPECT_EQ(C().ChooserBehind, 1);
  EXPECT_NEAR(C().ChooserY, 308, 4);
  g.Frames(50);
  EXPECT_EQ(C().ChooserShown, 0);
  EXPECT_EQ(Line2(), attack);
}

TEST_F(PlacementGame, FailingFixShowsTheMessageBlinksAndTheCallBack) {
  StartAndOpenPanel();
  const std::string prompt = Line2();
  TakeNext();
  ASSERT_TRUE(WaitInHand());
  {
    const auto [x, y] = ShipCellPoint();
    g.Click(x, y, eng::kMouseRight);
  }
  ASSERT_EQ(Own().FixedCount, 1);
  ASSERT_TRUE(WaitInHand());
  const TShipRecord first = Own().Slot(1);
  const auto [fr, fc] = FirstShipCell(first, 50);
  const auto [r, c] = FirstShipCell(Ship(), 3);
  DragTo(first.X + fc - c, first.Y + fr - r);
  ASSERT_EQ(Own().InvalidShown, 1);
  const TCellPlane trueBefore = Own().TrueCells;

  const auto [x, y] = ShipCellPoint();
  g.Click(x, y, eng::kMouseRight);
  EXPECT_EQ(Own().FixedCount, 1);
  EXPECT_EQ(C().ShipsChosen, 2);
  EXPECT_EQ(Own().ShipActive, 1);
  EXPECT_TRUE(SamePlane(Own().TrueCells, trueBefore));
  const std::string failed = W("Невозможно зафиксировать корабль");
  EXPECT_EQ(C().Blinking, 1);
  EXPECT_EQ(BlinkSequence(), (std::vector<std::string>{"", failed, "", failed, "", prompt}));
  g.Frames(40);
  EXPECT_EQ(Line2(), prompt);
}

TEST_F(PlacementGame, NewGameWhileAShipSlidesInChangesTheNamesOnly) {
  StartAndOpenPanel();
  TakeNext();
  ASSERT_TRUE(WaitInHand());
  TakeNext();  // the first is fixed, the second slides in
  ASSERT_EQ(Own().FlyingCount, 1);
  const TCellPlane trueBefore = Own().TrueCells, shownBefore = Own().ShownCells;
  const TCellPlane enemyBefore = Enemy().ShownCells;
  const int chooserY = C().ChooserY, chosen = C().ShipsChosen;
  eng::Surface panelBefore;
  panelBefore.Create(250, 55);
  panelBefore.Draw(0, 0, C().ChooserSurface, false);

  NewGame([&](int pass) {
    if (pass == 0) {
      for (int i = 0; i < 12; ++i) g.Key(eng::kKeyBackspace);
      g.Text("Борис");
    } else if (pass == 1) {
      g.Key(eng::kKeyEnter);
    }
  });
  EXPECT_EQ(C().StatusLine[0], W("Борис"));
  EXPECT_EQ(C().Shattering, 0);
  EXPECT_EQ(Own().FixedCount, 1);
  EXPECT_TRUE(SamePlane(Own().TrueCells, trueBefore));
  EXPECT_TRUE(SamePlane(Own().ShownCells, shownBefore));
  EXPECT_TRUE(SamePlane(Enemy().ShownCells, enemyBefore));
  EXPECT_EQ(C().ChooserY, chooserY);
  EXPECT_EQ(C().ShipsChosen, chosen);
  EXPECT_TRUE(SameSurface(C().ChooserSurface, panelBefore));
  // The placement goes on where it was.
  ASSERT_TRUE(WaitInHand());
  EXPECT_EQ(Ship().Type, 3);
}

TEST_F(PlacementGame, NewGameWithAShipInHandStartsThePlacementAfresh) {
  StartAndOpenPanel();
  TakeNext();
  ASSERT_TRUE(WaitInHand());
  {
    const auto [x, y] = ShipCellPoint();
    g.Click(x, y, eng::kMouseRight);
  }
  ASSERT_TRUE(WaitInHand());
  ASSERT_TRUE(FramesUntil([&] { return C().ModifyEnabled == 1; }, 100));

  NewGame([&](int pass) {
    if (pass == 0) {
      for (int i = 0; i < 12; ++i) g.Key(eng::kKeyBackspace);
      g.Text("Борис");
    } else if (pass == 1) {
      g.Key(eng::kKeyEnter);
    }
  });
  EXPECT_EQ(C().StatusLine[0], W("Борис"));
  EXPECT_EQ(C().Shattering, 1);
  EXPECT_EQ(Own().ShipActive, 0);
  EXPECT_EQ(Own().FixedCount, 0);
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) EXPECT_NE(Own().TrueCells.At(x, y).Code, 50);
  // The open panel stays, its faces fade in again and modify waits.
  EXPECT_EQ(C().ChooserClosed, 0);
  EXPECT_EQ(C().ChooserShown, 0);
  EXPECT_EQ(C().ShipsChosen, 0);
  EXPECT_EQ(C().ModifyEnabled, 0);
  EXPECT_EQ(C().NextShipFading, 1);
  EXPECT_EQ(C().AutoFading, 1);
  EXPECT_EQ(C().ModifyFading, 0);
  EXPECT_EQ(BlinkSequence().back(), W("Разместите корабли, Борис"));
}

TEST_F(PlacementGame, NewGameWhileTheGridBreaksOrFliesTogetherLeavesTheGrids) {
  NewGame();
  ASSERT_EQ(C().Shattering, 1);
  const TCellPlane ownBefore = Own().ShownCells, enemyBefore = Enemy().ShownCells;
  NewGame();  // one frame runs before the dialog: the break-up goes on
  EXPECT_TRUE(SamePlane(Own().ShownCells, ownBefore));
  EXPECT_TRUE(SamePlane(Enemy().ShownCells, enemyBefore));
  EXPECT_LT(C().OutPieces[0].x, kGridX) << "the pieces were not thrown again";
  ASSERT_TRUE(FramesUntil([&] { return C().ChooserClosed == 0 && C().ChooserShown == 0; }));

  TakeNext();
  ASSERT_TRUE(WaitInHand());
  PressPanel(C().AutoButton);
  ASSERT_EQ(C().Assembling, 1);
  const TCellPlane ownTrue = Own().TrueCells, enemyTrue = Enemy().TrueCells;
  const float pieceX = C().InPieces[0].x;
  NewGame();
  EXPECT_TRUE(SamePlane(Own().TrueCells, ownTrue));
  EXPECT_TRUE(SamePlane(Enemy().TrueCells, enemyTrue));
  EXPECT_EQ(C().Shattering, 0);
  EXPECT_GE(C().InPieces[0].x, pieceX);
  EXPECT_EQ(C().ChooserLocked, 1);
  // The pieces still land and close the grid.
  ASSERT_TRUE(FramesUntil([&] { return Own().CellsClosed == 1 && C().Assembling == 0; }));
  EXPECT_EQ(ShipGroups(Own().TrueCells), kFleetGroups);
}

TEST_F(PlacementGame, TurningAShipDroppedOnABlockedPlaceShowsTheTurnedShape) {
  StartAndOpenPanel();
  TakeNext();
  ASSERT_TRUE(WaitInHand());
  {
    const auto [x, y] = ShipCellPoint();
    g.Click(x, y, eng::kMouseRight);
  }
  ASSERT_TRUE(WaitInHand());
  ASSERT_EQ(Ship().Type, 3);
  const TShipRecord first = Own().Slot(1);
  const auto [fr, fc] = FirstShipCell(first, 50);
  const auto [r, c] = FirstShipCell(Ship(), 3);
  DragTo(first.X + fc - c, first.Y + fr - r);
  ASSERT_EQ(Own().InvalidShown, 1);

  const uint8_t before = Ship().Variant;
  g.Key('R');
  ASSERT_NE(Ship().Variant, before);
  // Dragged on to a free place for the turned shape, the ship shows that
  // shape in its colours, not the picture of the shape before the turn.
  int freeX = 0, freeY = 0;
  for (int y = 17; y >= -1 && !freeX; --y)
    for (int x = -1; x <= 16 && !freeX; ++x)
      if (Own().CheckInside(x, y) && Own().CheckSpacing(x, y)) freeX = x, freeY = y;
  ASSERT_NE(freeX, 0);
  DragTo(freeX, freeY);
  ASSERT_EQ(Ship().X, freeX);
  EXPECT_EQ(Own().InvalidShown, 0);
  const eng::Picture shown = Ship().Image;
  Own().RebuildCurrentShip();  // the turned shape's own picture
  EXPECT_TRUE(Ship().Image == shown);
}

TEST_F(PlacementGame, OnlyACompleteFleetLocksThePanelAndEveryNewGameUnlocksIt) {
  const std::string failed = W("Невозможно зафиксировать корабль");
  StartAndOpenPanel();
  TakeNext();
  ASSERT_TRUE(WaitInHand());
  {
    const auto [x, y] = ShipCellPoint();
    g.Click(x, y, eng::kMouseRight);
  }
  ASSERT_TRUE(WaitInHand());
  const TShipRecord first = Own().Slot(1);
  const std::pair<int, int> fixedCell = FirstShipCell(first, 50);
  const int homeX = Ship().X, homeY = Ship().Y;
  auto blockOnFirst = [&] {
    const auto [r, c] = FirstShipCell(Ship(), 3);
    DragTo(first.X + fixedCell.second - c, first.Y + fixedCell.first - r);
    ASSERT_EQ(Own().InvalidShown, 1);
  };
  auto saysItCannotFix = [&] {
    EXPECT_EQ(C().Blinking, 1);
    EXPECT_EQ(C().BlinkText, failed);
    ASSERT_TRUE(FramesUntil([&] { return C().Blinking == 0; }));
  };

  // Auto with a blocked ship in hand places nothing and says so; the panel
  // still takes presses.
  blockOnFirst();
  PressPanel(C().AutoButton);
  EXPECT_EQ(Own().FixedCount, 1);
  saysItCannotFix();
  EXPECT_EQ(C().ChooserLocked, 0);
  DragTo(homeX, homeY);

  // So does a press past the tenth ship while the tenth is blocked.
  for (int taken = 2; taken < 10; ++taken) {
    TakeNext();
    ASSERT_TRUE(WaitInHand());
  }
  ASSERT_EQ(C().ShipsChosen, 10);
  ASSERT_EQ(Own().FixedCount, 9);
  blockOnFirst();
  TakeNext();
  EXPECT_EQ(Own().FixedCount, 9);
  saysItCannotFix();
  EXPECT_EQ(C().ChooserLocked, 0);

  // A panel left locked by an earlier game opens with the next one, and
  // the fleet is placed on it.
  C().ChooserLocked = 1;
  NewGame();
  EXPECT_EQ(C().ChooserLocked, 0);
  ASSERT_TRUE(FramesUntil([&] { return !C().Shattering && C().Blinking == 0; }));
  PressPanel(C().AutoButton);
  EXPECT_EQ(C().BattlePhase, 1);
  EXPECT_EQ(C().ChooserLocked, 1);
}

}  // namespace
