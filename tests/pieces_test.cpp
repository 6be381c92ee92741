// The own grid breaking into quarters at a new game and the closed quarters
// flying together at the end of the placement: the pictures of the pieces,
// their flight, their release and the landing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/text_codec.h"
#include "ui_fixture.h"

namespace {

using namespace uitest;
using assets::ImageIndex;

constexpr eng::Color kMagenta{255, 0, 255};

class PiecesTest : public UiTest {
 protected:
  PiecesTest() {
    own.GridSurface.Create(256, 272);
    clock.now = 5000;
  }
  // A white, white-keyed piece as the game makes them.
  static eng::Surface BlankPiece(int w, int h) {
    eng::Surface s(w, h);
    s.Fill(eng::kWhite);
    s.SetColorKey(eng::kWhite);
    return s;
  }
  static bool SamePixels(const eng::Surface& a, const eng::Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
  }
  static bool AllOf(const eng::Surface& s, eng::Rect r, eng::Color c) {
    for (int y = r.y; y < r.Bottom(); ++y)
      for (int x = r.x; x < r.Right(); ++x)
        if (s.GetPixel(x, y) != eng::ToRGB565(c)) return false;
    return true;
  }
  // Every cell of a piece made of closed cells shows the closed-cell picture.
  bool AllClosedCells(const eng::Surface& s, int x0, int y0, int columns, int rows) {
    const eng::Picture& closed = images[assets::kCloseCell].picture;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c)
        if (!Shows(s, x0 + 16 * c, y0 + 16 * r, closed, eng::Rect{0, 0, 16, 16})) return false;
    return true;
  }
  void OpenWater() {
    own.OpenForPlacement(false);
    for (int y = 1; y <= 17; ++y)
      for (int x = 1; x <= 16; ++x) ASSERT_EQ(own.ShownCells.At(x, y).State, 2);
  }
};

// --- One cell of a piece ---

struct CellCase {
  uint8_t state, code;
  int image;  // -1: nothing drawn
};

TEST_F(PiecesTest, EachStateAndCodeDrawsItsPictureAndKnownFreeDarkensAllButOpenWater) {
  const std::vector<CellCase> cases = {
      {0, 0, assets::kCloseCell},      {0, 50, assets::kCloseCell},      {0, 7, assets::kCloseCell},
      {1, 0, assets::kMarkedCell},     {1, 50, assets::kMarkedCell},     {2, 0, -1},
      {2, 1, assets::kHint1Cell},      {3, 1, assets::kHint1Cell},       {2, 2, assets::kHint2Cell},
      {3, 2, assets::kHint2Cell},      {2, 3, assets::kRedShipCell},     {3, 3, assets::kRedShipCell},
      {2, 49, assets::kBlackShipCell}, {3, 49, assets::kBlackShipCell},  {2, 50, assets::kRFixShipCell},
      {3, 50, assets::kRFixShipCell},  {2, 51, assets::kDestrShipCell},  {3, 51, assets::kDestrShipCell},
      {2, 52, assets::kDamShipCell},   {3, 52, assets::kDamShipCell},    {3, 0, -1},
      {2, 4, -1},                      {3, 53, -1},                      {4, 50, -1},
      {9, 0, -1}};
  const eng::Surface white = BlankPiece(48, 32);
  for (const CellCase& k : cases) {
    for (uint8_t knownFree : {0, 1}) {
      SCOPED_TRACE("state " + std::to_string(k.state) + " code " + std::to_string(k.code) + " known free " +
                   std::to_string(knownFree));
      // Column 3, row 2 of the piece: (32, 16).
      eng::Surface piece = BlankPiece(48, 32);
      common.DrawPieceCell(piece, 3, 2, k.state, k.code, knownFree);
      eng::Surface want = BlankPiece(48, 32);
      if (k.image >= 0) images[k.image].Draw(want, 32, 16, 0);
      const bool openWater = k.state == 2 && k.code == 0;
      if (knownFree && !openWater) images[assets::kCloseCellDark].Draw(want, 32, 16, 0);
      if (k.image >= 0 || (knownFree && !openWater)) {
        ASSERT_FALSE(SamePixels(want, white)) << "the expected picture must show";
      }
      EXPECT_TRUE(SamePixels(piece, want));
    }
  }
  // Open water leaves the piece's white, which is its transparent colour.
  eng::Surface piece = BlankPiece(48, 32);
  common.DrawPieceCell(piece, 3, 2, 2, 0, 1);
  EXPECT_TRUE(AllOf(piece, eng::Rect{32, 16, 16, 16}, eng::kWhite));
  EXPECT_EQ(piece.ColorKey(), piece.ColorMatch(eng::kWhite));
}

// --- The shatter ---

TEST_F(PiecesTest, ShatterOfOpenWaterShowsHolesWhereTheWaterWas) {
  OpenWater();
  // A fixed ship in the first quarter and one closed cell in the fourth.
  own.ShownCells.At(2, 3).Code = 50;
  own.ShownCells.At(12, 14).State = 0;
  common.StartShatter();
  EXPECT_EQ(common.Shattering, 1);
  EXPECT_EQ(common.ShatterClock, 0.0f);

  const int sizes[4][2] = {{128, 128}, {128, 128}, {128, 144}, {128, 144}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(common.OutPieces[i].active, 1);
    EXPECT_EQ(common.OutPieces[i].surface.Width(), sizes[i][0]);
    EXPECT_EQ(common.OutPieces[i].surface.Height(), sizes[i][1]);
  }

  // Drawn without moving: the backdrop shows through every water cell.
  back.Fill(kMagenta);
  common.DrawShatter(back, 0);
  // The ship cell (2, 3) at (31 + 16, 108 + 32), the closed cell (12, 14) in piece 4.
  EXPECT_TRUE(Shows(back, 31 + 16, 108 + 32, images[assets::kRFixShipCell].picture, eng::Rect{0, 0, 16, 16}));
  EXPECT_TRUE(Shows(back, 31 + 11 * 16, 108 + 13 * 16, images[assets::kCloseCell].picture, eng::Rect{0, 0, 16, 16}));
  EXPECT_TRUE(AllOf(back, eng::Rect{31, 108, 16, 16}, kMagenta));
  EXPECT_TRUE(AllOf(back, eng::Rect{31 + 15 * 16, 108 + 16 * 16, 16, 16}, kMagenta));
  EXPECT_TRUE(AllOf(back, eng::Rect{31 + 8 * 16, 108 + 8 * 16, 16, 16}, kMagenta));
}

TEST_F(PiecesTest, PiecesFlyToTheirCornersAndAreReleasedOnceOffScreen) {
  own.CloseAllCells(false);
  common.StartShatter();
  // 2.1 pixels a step, so no step ends exactly on an edge of the screen.
  const int lag = 7;
  const float start[4][2] = {{31, 108}, {159, 108}, {31, 236}, {159, 236}};
  const int dir[4][2] = {{-1, -1}, {+1, -1}, {-1, +1}, {+1, +1}};
  // Pieces 1 and 3 leave by the left edge, piece 2 by the top, piece 4 by
  // the bottom.
  const int releasedAt[4] = {76, 113, 76, 117};
  int released[4] = {0, 0, 0, 0};
  for (int step = 1; step <= 130; ++step) {
    back.Fill(kMagenta);
    common.DrawShatter(back, lag);
    if (step == 23) {
      EXPECT_EQ(common.Shattering, 1);
    } else if (step == 24) {
      EXPECT_EQ(common.Shattering, 0) << "the break-up lasts 50 / 0.3 ms";
    }
    for (int i = 0; i < 4; ++i) {
      TPiece& p = common.OutPieces[i];
      if (p.active) {
        EXPECT_NEAR(p.x, start[i][0] + dir[i][0] * 2.1 * step, 0.01) << "piece " << i + 1;
        EXPECT_NEAR(p.y, start[i][1] + dir[i][1] * 2.1 * step, 0.01) << "piece " << i + 1;
        // Drawn at its rounded corner: the closed cell starts there.
        const int x = static_cast<int>(std::nearbyint(p.x)), y = static_cast<int>(std::nearbyint(p.y));
        if (x >= 1 && y >= 1 && x + 16 < 640 && y + 16 < 480) {
          EXPECT_EQ(back.GetPixel(x, y), Px(images[assets::kCloseCell].picture, 0, 0)) << "piece " << i + 1;
          EXPECT_EQ(back.GetPixel(x - 1, y - 1), eng::ToRGB565(kMagenta)) << "piece " << i + 1;
        }
      } else if (!released[i]) {
        released[i] = step;
        EXPECT_FALSE(p.surface.Exists()) << "piece " << i + 1;
      }
    }
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(released[i], releasedAt[i]) << "piece " << i + 1;
  // Nothing is drawn any more.
  back.Fill(kMagenta);
  common.DrawShatter(back, lag);
  EXPECT_TRUE(AllOf(back, eng::Rect{0, 0, 640, 480}, kMagenta));
}

// --- The assemble ---

TEST_F(PiecesTest, AssembleStartsOnTheDiagonalsWithClosedCells) {
  common.StartAssemble();
  EXPECT_EQ(common.Assembling, 1);
  EXPECT_EQ(common.AssembleClock, 0.0f);
  struct Want {
    float x, y;
    int tx, ty, h, dx, dy;
  };
  const Want want[4] = {{-205, -128, 31, 108, 128, +1, +1},
                        {395, -128, 159, 108, 128, -1, +1},
                        {-205, 472, 31, 236, 144, +1, -1},
                        {395, 472, 159, 236, 144, -1, -1}};
  for (int i = 0; i < 4; ++i) {
    const TPiece& p = common.InPieces[i];
    SCOPED_TRACE("piece " + std::to_string(i + 1));
    EXPECT_EQ(p.active, 1);
    EXPECT_EQ(p.x, want[i].x);
    EXPECT_EQ(p.y, want[i].y);
    EXPECT_EQ(p.targetX, want[i].tx);
    EXPECT_EQ(p.targetY, want[i].ty);
    EXPECT_EQ(p.dx, want[i].dx);
    EXPECT_EQ(p.dy, want[i].dy);
    ASSERT_EQ(p.surface.Width(), 128);
    ASSERT_EQ(p.surface.Height(), want[i].h);
    EXPECT_TRUE(AllClosedCells(p.surface, 0, 0, 8, want[i].h / 16));
  }
}

TEST_F(PiecesTest, AllFourLandTogetherCloseTheGridAndThePromptBlinksTwiceOnce) {
  OpenWater();
  own.ShownCells.At(5, 5).Code = 50;
  own.TrueCells.At(5, 5).Code = 50;
  own.TrueCells.At(7, 7).KnownFree = 1;
  own.CellsClosed = 0;
  own.GridSurface.Fill(kMagenta);
  common.SetStatus(2, W("Разместите корабли"), false);
  common.StartAssemble();

  // 2.1 pixels a step over 236 pixels: the landing is in step 113.
  const int lag = 7;
  int landedStep = 0;
  for (int step = 1; step <= 120 && !landedStep; ++step) {
    clock.Advance(lag);
    common.UpdateBlink();
    common.DrawAssemble(back, lag);
    int active = 0;
    for (const TPiece& p : common.InPieces) active += p.active;
    if (active == 0) landedStep = step;
    else ASSERT_EQ(active, 4) << "the pieces land in the same frame";
  }
  EXPECT_EQ(landedStep, 113);
  for (const TPiece& p : common.InPieces) EXPECT_FALSE(p.surface.Exists());

  // The cells were closed, codes kept, and the closed quarters baked in.
  EXPECT_EQ(own.CellsClosed, 1);
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) {
      EXPECT_EQ(own.ShownCells.At(x, y).State, 0);
      EXPECT_EQ(own.TrueCells.At(x, y).State, 0);
      EXPECT_EQ(own.TrueCells.At(x, y).KnownFree, 0);
    }
  EXPECT_EQ(own.TrueCells.At(5, 5).Code, 50);
  EXPECT_TRUE(AllClosedCells(own.GridSurface, 0, 0, 16, 17));

  // The prompt: blank at once, then on, off, on, off, on, and it stays.
  EXPECT_EQ(common.StatusLine[1], "");
  EXPECT_EQ(common.Blinking, 1);
  const std::string prompt = W("Атакуйте вашего противника!");
  std::vector<std::string> seen{common.StatusLine[1]};
  for (int step = 0; step < 400; ++step) {
    clock.Advance(lag);
    common.UpdateBlink();
    common.DrawAssemble(back, lag);
    if (common.StatusLine[1] != seen.back()) seen.push_back(common.StatusLine[1]);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"", prompt, "", prompt, "", prompt}));
  EXPECT_EQ(common.Blinking, 0);
}

TEST_F(PiecesTest, AssembleWaitsForShipsStillSlidingIn) {
  common.StartAssemble();
  own.FlyingCount = 1;
  back.Fill(kMagenta);
  for (int step = 0; step < 50; ++step) common.DrawAssemble(back, 20);
  EXPECT_EQ(common.AssembleClock, 0.0f);
  EXPECT_EQ(common.Assembling, 1);
  EXPECT_EQ(common.InPieces[0].x, -205.0f);
  EXPECT_EQ(common.InPieces[3].y, 472.0f);
  EXPECT_TRUE(AllOf(back, eng::Rect{0, 0, 640, 480}, kMagenta));
  own.FlyingCount = 0;
  common.DrawAssemble(back, 20);
  EXPECT_EQ(common.InPieces[0].x, -199.0f);
  EXPECT_GT(common.AssembleClock, 0.0f);
}

TEST_F(PiecesTest, AssembleClockAtFiftyStartsThePanelsSlideOut) {
  common.ChooserShown = 0;
  common.ChooserClosed = 0;
  common.StartAssemble();
  // 0.7 a step: 49.7 after 71 steps, 50.4 after 72.
  for (int step = 0; step < 71; ++step) common.DrawAssemble(back, 7);
  EXPECT_EQ(common.Assembling, 1);
  EXPECT_EQ(common.ChooserShown, 0);
  EXPECT_EQ(common.ChooserClosed, 0);
  common.DrawAssemble(back, 7);
  EXPECT_EQ(common.Assembling, 0);
  EXPECT_EQ(common.ChooserShown, 1);
  EXPECT_EQ(common.ChooserClosed, 1);
  // The pieces fly on until they land.
  EXPECT_EQ(common.InPieces[0].active, 1);
}

}  // namespace
