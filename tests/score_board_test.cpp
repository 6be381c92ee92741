// The score board: the centred score and the roll of a side's number.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/canvas.h"
#include "ui_fixture.h"

namespace {

using uitest::Box;
using uitest::ColourBox;

constexpr eng::Color kYellow{255, 255, 0};
constexpr eng::Rect kTextBox{5, 9, 34, 18};

class ScoreBoardTest : public uitest::UiTest {
 protected:
  void SetScore(int left, int right) {
    common.ScoreLeft = static_cast<uint8_t>(left);
    common.ScoreRight = static_cast<uint8_t>(right);
    common.ScoreText = std::to_string(left) + ":" + std::to_string(right);
    common.PaintScoreText();
  }
  int Width(const std::string& text) { return common.ScoreSurface.GetCanvas().TextWidth(text); }
  // Columns [from, to) of the text box, pixel for pixel.
  std::vector<uint16_t> Columns(int from, int to) const {
    std::vector<uint16_t> px;
    for (int y = kTextBox.y; y < kTextBox.Bottom(); ++y)
      for (int x = from; x < to; ++x) px.push_back(common.ScoreSurface.GetPixel(x, y));
    return px;
  }
  // Frames of 16 ms until the roll ends; the milliseconds it took.
  int RollToTheEnd(const std::function<void()>& eachFrame) {
    int ms = 0;
    for (int i = 0; i < 1000 && common.ScoreRolling; ++i) {
      common.DrawScore(back, 16);
      ms += 16;
      eachFrame();
    }
    return ms;
  }
};

TEST_F(ScoreBoardTest, FreshBoardShowsNoughtsCentred) {
  EXPECT_EQ(common.ScoreText, "0:0");
  const Box b = ColourBox(common.ScoreSurface, kTextBox, kYellow);
  ASSERT_FALSE(b.Empty());
  EXPECT_NEAR(b.CentreX(), kTextBox.x + kTextBox.w / 2.0 - 0.5, 1.5);
  EXPECT_NEAR(b.CentreY(), kTextBox.y + kTextBox.h / 2.0 - 0.5, 2.0);
  EXPECT_LE(Width("10:10"), kTextBox.w);
  EXPECT_LE(common.ScoreSurface.GetCanvas().TextHeight("10:10"), kTextBox.h);
}

TEST_F(ScoreBoardTest, LeftPointRollsNineToTenWhileTheRestStays) {
  SetScore(9, 3);
  const int x0 = common.ScoreTextX, y0 = common.ScoreTextY, w0 = Width("9:3");
  const int keptX = x0 + w0 - Width(":3");
  const auto keptBefore = Columns(keptX + 1, kTextBox.Right());

  common.AddPoint(1);
  EXPECT_EQ(common.RollOld, "9");
  EXPECT_EQ(common.RollNew, "10");
  EXPECT_EQ(common.RollKept, ":3");
  EXPECT_EQ(common.RollOldX, x0);
  EXPECT_EQ(common.RollKeptX, keptX);
  EXPECT_EQ(common.RollKeptY, y0);
  EXPECT_EQ(common.ScoreLeft, 10);

  float lastNewY = common.RollNewY;
  int frames = 0;
  const int ms = RollToTheEnd([&] {
    if (!common.ScoreRolling) return;
    EXPECT_EQ(common.RollKeptX, keptX);
    EXPECT_LT(common.RollNewY, lastNewY);
    lastNewY = common.RollNewY;
    // Early on, the new number is still below the box: the colon and the 3
    // show exactly as they did in the old score.
    if (++frames == 3) {
      EXPECT_EQ(Columns(keptX + 1, kTextBox.Right()), keptBefore);
    }
  });
  EXPECT_GT(ms, 1000);
  EXPECT_EQ(common.ScoreText, "10:3");
  EXPECT_EQ(common.ScoreTextX, 5 + (34 - Width("10:3")) / 2);
  const Box b = ColourBox(common.ScoreSurface, kTextBox, kYellow);
  EXPECT_NEAR(b.CentreX(), kTextBox.x + kTextBox.w / 2.0 - 0.5, 1.5);
}

TEST_F(ScoreBoardTest, RightPointRollsWithTheLeftPartKept) {
  SetScore(3, 9);
  const int x0 = common.ScoreTextX, w0 = Width("3:9");
  const int oldX = x0 + w0 - Width("9");
  const auto keptBefore = Columns(kTextBox.x, oldX - 1);

  common.AddPoint(2);
  EXPECT_EQ(common.RollKept, "3:");
  EXPECT_EQ(common.RollKeptX, x0);
  // The old 9 leaves from where it stood, not from where the wider new
  // score would end.
  EXPECT_EQ(common.RollOldX, oldX);
  EXPECT_EQ(common.RollNewX, common.ScoreTextX + Width("3:10") - Width("10"));

  int frames = 0;
  RollToTheEnd([&] {
    if (++frames == 3) {
      EXPECT_EQ(Columns(kTextBox.x, oldX - 1), keptBefore);
    }
  });
  EXPECT_EQ(common.ScoreText, "3:10");
  EXPECT_EQ(common.ScoreRight, 10);
  EXPECT_EQ(common.ScoreTextX, 5 + (34 - Width("3:10")) / 2);
}

TEST_F(ScoreBoardTest, RollingDigitsStayUnderTheFrame) {
  SetScore(0, 0);
  common.AddPoint(1);
  const eng::ImageItem& board = images[assets::kScoreTable];
  const eng::Rect frame = board.PatternRect(1);
  for (int i = 0; i < 40; ++i) {
    common.DrawScore(back, 16);
    // Outside the see-through box the frame's own pixels show.
    for (int x = 0; x < 42; ++x) {
      for (int y : {0, 8, 27, 33}) {
        const eng::Color c = board.picture.GetPixel(frame.x + x, frame.y + y);
        if (eng::ToRGB565(c) == eng::ToRGB565(eng::kWhite)) continue;
        ASSERT_EQ(common.ScoreSurface.GetPixel(x, y), eng::ToRGB565(c)) << x << "," << y;
      }
    }
  }
}

}  // namespace
