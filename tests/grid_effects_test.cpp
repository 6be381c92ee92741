// The effects running on a grid, frame by frame: an explosion's sound and
// first picture, splash rings, bonus labels with their drift and penalty
// rockets, and the frames long enough to skip a release point. The bomb's
// landing is followed through in the computer's tests.
#include <gtest/gtest.h>

#include <cstdlib>

#include "assets/waves.h"
#include "engine/canvas.h"
#include "effects/grid_effects.h"
#include "ui_fixture.h"

namespace {

constexpr eng::Color kSea{10, 20, 30};   // the grid picture the effects are drawn on
constexpr eng::Color kCyan{0, 255, 255};  // the splash pen

class GridEffects : public uitest::UiTest {
 protected:
  GridEffects() {
    assets::BuildWaves(waves);
    for (TBattleField* grid : {&own, &enemy}) {
      // What the main window makes once the display is up.
      grid->GridSurface.Create(GridWidth, GridHeight);
      grid->GridSurface.Fill(kSea);
      grid->EffectSurface.Create(GridWidth, GridHeight);
      eng::Canvas& pen = grid->EffectSurface.GetCanvas();
      pen.penColor = kCyan;
      pen.penWidth = 2;
    }
  }

  void Frame(int ms) { AnimateGridEffects(own, common, ms); }
  void Frames(int n, int ms) {
    for (int i = 0; i < n; ++i) Frame(ms);
  }

  // Bounding box of the pixels where the effects changed the grid picture,
  // inside the rectangle.
  uitest::Box Changed(eng::Rect area) const {
    uitest::Box b;
    for (int y = area.y; y < area.Bottom(); ++y)
      for (int x = area.x; x < area.Right(); ++x)
        if (own.EffectSurface.GetPixel(x, y) != own.GridSurface.GetPixel(x, y)) {
          b.left = std::min(b.left, x);
          b.right = std::max(b.right, x);
          b.top = std::min(b.top, y);
          b.bottom = std::max(b.bottom, y);
        }
    return b;
  }
  uitest::Box ChangedAnywhere() const { return Changed(eng::Rect{0, 0, GridWidth, GridHeight}); }
};

TEST_F(GridEffects, ExplosionWithoutDelaySoundsInItsFirstFrameAndShowsFromTheNext) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(sound.Initialize());
  own.AddEffect(own.ExplosionList, 1, "explode", 0, TCellPoint{5, 5});
  ASSERT_EQ(common.AnimationsInFlight, 1);
  ASSERT_TRUE(sound.PlayBuffer().empty());

  Frame(16);
  EXPECT_FALSE(sound.PlayBuffer().empty());
  EXPECT_EQ(own.ExplosionList[0].Started, 1);
  EXPECT_TRUE(ChangedAnywhere().Empty());

  Frame(16);
  EXPECT_FALSE(ChangedAnywhere().Empty());

  // Sixteen frames in 400 ms, then it lets go of play and the grid.
  Frames(4, 100);
  EXPECT_EQ(common.AnimationsInFlight, 1);
  Frame(16);
  EXPECT_EQ(own.ExplosionList[0].Done, 1);
  EXPECT_EQ(common.AnimationsInFlight, 0);
  EXPECT_EQ(own.EffectCount, 0);
}

TEST_F(GridEffects, SplashReleasesPlayAtFourFifthsAndEndsAtTheGridWidth) {
  own.AddEffect(own.SplashList, 0, "", 0, TCellPoint{3, 3});
  ASSERT_EQ(common.AnimationsInFlight, 1);
  ASSERT_EQ(own.EffectCount, 1);
  // 100 ms frames grow the ring by 25: 201 after eight frames, 226 after nine.
  Frames(9, 100);
  EXPECT_EQ(common.AnimationsInFlight, 1);
  Frame(100);  // starts at 226: released, grows to 251
  EXPECT_EQ(common.AnimationsInFlight, 0);
  EXPECT_EQ(own.EffectCount, 1);
  Frame(100);  // 251 is still short of the end
  EXPECT_EQ(own.EffectCount, 1);
  Frame(100);
  EXPECT_EQ(own.SplashList[0].Done, 1);
  EXPECT_EQ(own.EffectCount, 0);
  EXPECT_EQ(common.AnimationsInFlight, 0);
}

TEST_F(GridEffects, SplashRingHasTheRoundedRadiusAndIsDrawnOnlyWhenItChanges) {
  own.AddEffect(own.SplashList, 0, "", 0, TCellPoint{5, 5});  // centre (72, 72)
  Frame(16);                                                   // radius 1 -> 5
  const uitest::Box ring = uitest::ColourBox(own.EffectSurface, own.EffectSurface.ClientRect(), kCyan);
  ASSERT_FALSE(ring.Empty());
  EXPECT_EQ(ring.left, 72 - 5);
  EXPECT_EQ(ring.top, 72 - 5);
  // The 2-pixel pen reaches one pixel past the far side of the circle.
  EXPECT_EQ(ring.right, 72 + 5 + 1);
  EXPECT_EQ(ring.bottom, 72 + 5 + 1);

  Frame(1);  // 5.25 still rounds to 5: the fresh copy of the grid shows no ring
  EXPECT_TRUE(uitest::ColourBox(own.EffectSurface, own.EffectSurface.ClientRect(), kCyan).Empty());
}

TEST_F(GridEffects, LabelOnTheTopRowDriftsDownOthersDriftUp) {
  own.AddEffect(own.LabelList, 7, "", 0, TCellPoint{3, 1});
  own.AddEffect(own.LabelList, 9, "", 0, TCellPoint{10, 6});
  const eng::Rect left{0, 0, 96, GridHeight}, right{128, 0, 128, GridHeight};
  Frame(100);  // drift 1.2 pixels
  const int topLeft = Changed(left).top, topRight = Changed(right).top;
  Frames(4, 100);  // drift 6 pixels
  EXPECT_EQ(Changed(left).top - topLeft, 5);
  EXPECT_EQ(Changed(right).top - topRight, -5);
}

TEST_F(GridEffects, PenaltyLabelLaunchesAllItsRocketsInTheFrameItReleases) {
  // A penalty of five rockets on the own grid, found by the opponent: the
  // rockets strike the enemy grid.
  own.AddEffect(own.LabelList, 16, "", 0, TCellPoint{6, 6});
  // 100 ms frames fade it by 13: 8 after nineteen frames.
  Frames(19, 100);
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_EQ(common.AnimationsInFlight, 1);
  Frame(100);
  EXPECT_EQ(sprites.Count(), 5);
  EXPECT_EQ(enemy.EffectCount, 5);
  EXPECT_EQ(common.AnimationsInFlight, 5);  // the rockets now hold up play
  EXPECT_EQ(own.EffectCount, 1);
  Frame(100);
  EXPECT_EQ(own.EffectCount, 0);
  EXPECT_EQ(sprites.Count(), 5);
}

TEST_F(GridEffects, AFrameThatSkipsTheReleasePointStillReleases) {
  own.AddEffect(own.SplashList, 0, "", 0, TCellPoint{2, 2});
  own.AddEffect(own.LabelList, 13, "", 0, TCellPoint{9, 9});
  ASSERT_EQ(common.AnimationsInFlight, 2);
  // One frame carries the ring from 1 to 501 and the label's fade from 255
  // to -5.
  Frame(2000);
  Frame(16);
  EXPECT_EQ(own.SplashList[0].Done, 1);
  EXPECT_EQ(own.LabelList[0].Done, 1);
  EXPECT_EQ(own.EffectCount, 0);
  // The penalty's two rockets fly; nothing else holds up play.
  EXPECT_EQ(sprites.Count(), 2);
  EXPECT_EQ(common.AnimationsInFlight, 2);
}

TEST_F(GridEffects, ALongGameKeepsTheEffectsThatRunAndARayPerNavigator) {
  enemy.TrueCells.At(3, 4).Code = cell::NavigatorRight + 2;
  // Every cell of the enemy grid shot, one 50 ms frame apart.
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) {
      enemy.Shoot(TCellPoint{x, y}, false);
      AnimateGridEffects(enemy, common, 50);
    }
  // A splash runs about a second: some twenty of them at a time.
  EXPECT_LE(enemy.SplashList.size(), 25u) << "finished splashes leave the list";
  EXPECT_EQ(enemy.RayList.size(), 1u) << "a ray for the navigator, none for open water";
}

}  // namespace
