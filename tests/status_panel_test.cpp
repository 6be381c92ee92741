// The status panel, the blink of the prompt and the overlay texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/canvas.h"
#include "engine/text_codec.h"
#include "ui_fixture.h"

namespace {

using uitest::Box;
using uitest::ColourBox;

constexpr eng::Color kYellow{255, 255, 0};
constexpr eng::Rect kBox1{17, 8, 113, 15}, kBox2{145, 8, 237, 15}, kBox3{397, 8, 113, 15};

class StatusPanelTest : public uitest::UiTest {
 protected:
  StatusPanelTest() { clock.now = 5000; }
  const std::string& Line2() const { return common.StatusLine[1]; }
  // One frame's blink step after the given milliseconds.
  void Step(uint32_t ms) {
    clock.Advance(ms);
    common.UpdateBlink();
  }
  // Steps past the blink period until the blink stops; every text line 2 showed.
  std::vector<std::string> RunBlink() {
    std::vector<std::string> seen;
    for (int i = 0; i < 50 && common.Blinking; ++i) {
      Step(401);
      seen.push_back(Line2());
    }
    return seen;
  }
};

TEST_F(StatusPanelTest, LinesAreCentredInTheirBoxesWithAShadowDownRight) {
  common.SetStatus(1, W("Капитан"), false);
  common.SetStatus(2, W("Атакуйте вашего противника!"), false);
  const eng::Surface& s = common.StatusSurface;
  for (auto [box, colour] : {std::pair{kBox1, kYellow}, std::pair{kBox2, eng::kWhite}, std::pair{kBox3, kYellow}}) {
    const Box b = ColourBox(s, box, colour);
    ASSERT_FALSE(b.Empty());
    // The coloured copy sits half a pixel up and left of the centre.
    EXPECT_NEAR(b.CentreX(), box.x + box.w / 2.0 - 0.5, 2.0);
    EXPECT_NEAR(b.CentreY(), box.y + box.h / 2.0 - 0.5, 2.5);
    // Below and right of the lowest coloured pixel lies its black copy.
    int x = -1;
    for (int i = box.x; i < box.Right(); ++i)
      if (s.GetPixel(i, b.bottom) == eng::ToRGB565(colour)) x = i;
    EXPECT_EQ(s.GetPixel(x + 1, b.bottom + 1), eng::ToRGB565(eng::kBlack));
  }
  EXPECT_EQ(common.StatusSurface.ColorKey(), eng::ToRGB565(eng::RGB(0, 0, 127)));
}

TEST_F(StatusPanelTest, TextsFitTheirBoxes) {
  common.SetStatus(1, W("Александр 12"), false);
  eng::Canvas& c = common.StatusSurface.GetCanvas();  // holds the panel's font
  EXPECT_TRUE(c.font.bold);
  EXPECT_LE(c.TextHeight(W("ЙАКу")), 15);
  EXPECT_LE(c.TextWidth(W("Александр 12")), 113);
  EXPECT_LE(c.TextWidth(W("Невозможно зафиксировать корабль")), 237);
}

TEST_F(StatusPanelTest, SavingKeepsLineTwoAsItWasAndOtherLinesRepaintOnly) {
  common.SetStatus(2, "first", false);
  common.SetStatus(2, "second", true);
  EXPECT_EQ(common.StatusSaved, "first");
  common.SetStatus(1, "name", true);  // saves line 2 even when another line changes
  EXPECT_EQ(common.StatusSaved, "second");

  const auto lines = common.StatusLine;
  common.StatusSurface.FillRect(kBox2, eng::RGB(255, 0, 0));
  common.SetStatus(7, "ignored", false);
  EXPECT_EQ(common.StatusLine, lines);
  EXPECT_TRUE(ColourBox(common.StatusSurface, kBox2, eng::RGB(255, 0, 0)).Empty());
  EXPECT_FALSE(ColourBox(common.StatusSurface, kBox2, eng::kWhite).Empty());
}

TEST_F(StatusPanelTest, RepaintStartsFromTheCleanPanelAfterTheDisplayWent) {
  common.SetStatus(2, W("Дождитесь противника..."), false);
  common.SaveSurfaces();  // the picture now holds the painted lines
  common.RestoreSurfaces();
  common.SetStatus(2, "", false);
  EXPECT_TRUE(ColourBox(common.StatusSurface, kBox2, eng::kWhite).Empty());
}

TEST_F(StatusPanelTest, BlinkGoesBlankAtOnceThenChangesFiveTimes) {
  common.SetStatus(2, "Go", false);
  common.BlinkStatus(2, false);
  EXPECT_EQ(Line2(), "");
  Step(400);
  EXPECT_EQ(Line2(), "") << "exactly 400 ms is not yet more than 400";
  Step(1);
  EXPECT_EQ(Line2(), "Go");
  std::vector<std::string> seen{Line2()};
  for (const auto& t : RunBlink()) seen.push_back(t);
  EXPECT_EQ(seen, (std::vector<std::string>{"Go", "", "Go", "", "Go"}));
  EXPECT_EQ(common.Blinking, 0);
  Step(1000);
  EXPECT_EQ(Line2(), "Go");
}

TEST_F(StatusPanelTest, SavedTextComesBackAfterARestoringBlink) {
  common.SetStatus(2, "Your move", false);
  common.SetStatus(2, "Cannot fix", true);
  common.BlinkStatus(2, true);
  const auto seen = RunBlink();
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[3], "");
  EXPECT_EQ(Line2(), "Your move");
  EXPECT_EQ(common.BlinkRestore, 0);
}

TEST_F(StatusPanelTest, SecondBlinkWhileBlinkingChangesNothing) {
  common.SetStatus(2, "Go", false);
  common.BlinkStatus(2, false);
  Step(401);
  common.BlinkStatus(7, true);
  EXPECT_EQ(Line2(), "Go");
  EXPECT_EQ(common.BlinkLimit, 5);
  EXPECT_EQ(common.BlinkRestore, 0);
  EXPECT_EQ(RunBlink().size(), 4u);
  EXPECT_EQ(Line2(), "Go");
}

TEST_F(StatusPanelTest, BlinkRunsOnAcrossTheWrapOfTheTickCount) {
  clock.now = 0xFFFFFFFFu - 500;  // 49.7 days after the machine started
  common.SetStatus(2, "Go", false);
  common.BlinkStatus(2, false);
  EXPECT_EQ(RunBlink(), (std::vector<std::string>{"Go", "", "Go", "", "Go"}));
  EXPECT_EQ(common.Blinking, 0);
}

TEST_F(StatusPanelTest, BlinkHoldsWhileRocketsFly) {
  common.SetStatus(2, "Go", false);
  common.BlinkStatus(1, false);
  common.AnimationsInFlight = 1;
  Step(5000);
  EXPECT_EQ(Line2(), "");
  common.AnimationsInFlight = 0;
  common.UpdateBlink();
  EXPECT_EQ(Line2(), "Go");
  Step(401);
  EXPECT_EQ(Line2(), "");
  Step(401);
  EXPECT_EQ(Line2(), "Go");
  EXPECT_EQ(common.Blinking, 0);
}

TEST_F(StatusPanelTest, ANewPromptIsWhatBlinksOn) {
  common.SetStatus(2, "old", false);
  common.BlinkStatus(2, false);
  Step(401);  // shown
  common.SetStatus(2, "while shown", false);
  Step(401);
  Step(401);
  EXPECT_EQ(Line2(), "while shown");
  Step(401);  // blank
  common.SetStatus(2, "while blank", false);
  Step(401);
  EXPECT_EQ(Line2(), "while blank");
  EXPECT_EQ(common.Blinking, 0);
}

class OverlayTest : public uitest::UiTest {
 protected:
  static constexpr eng::Color kGround{40, 80, 120};
  OverlayTest() { back.Fill(kGround); }
  int Changed() const {
    int n = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) n += back.GetPixel(x, y) != eng::ToRGB565(kGround);
    return n;
  }
};

TEST_F(OverlayTest, TextIsCentredOnTheEnemyGrid) {
  common.OverlayShown = 1;
  common.OverlayText = W("Соединение установлено");
  common.DrawOverlay(back);
  const Box white = ColourBox(back, back.ClientRect(), eng::kWhite);
  ASSERT_FALSE(white.Empty());
  EXPECT_NEAR(white.CentreX(), 353 + 128, 2.0);
  EXPECT_NEAR(white.CentreY(), 108 + 136, 2.5);
  EXPECT_FALSE(ColourBox(back, back.ClientRect(), eng::kBlack).Empty());
  EXPECT_TRUE(ColourBox(back, back.ClientRect(), kYellow).Empty());
}

TEST_F(OverlayTest, NothingShownDrawsNothing) {
  common.OverlayShown = 1;
  common.OverlayText = "";
  common.ChatShown = 1;
  common.ChatLine = "";
  common.DrawOverlay(back);
  common.OverlayShown = 0;
  common.OverlayText = "hidden";
  common.ChatShown = 0;
  common.ChatLine = "hidden";
  common.DrawOverlay(back);
  EXPECT_EQ(Changed(), 0);
}

TEST_F(OverlayTest, ChatLineIsWrittenAtTheFootOfTheScreen) {
  common.ChatShown = 1;
  common.ChatLine = W("Капитан>    привет");
  common.DrawOverlay(back);
  // The thin letters are blended into the ground: look at what changed.
  Box changed;
  bool yellowish = false;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const uint16_t p = back.GetPixel(x, y);
      if (p == eng::ToRGB565(kGround)) continue;
      changed.left = std::min(changed.left, x);
      changed.top = std::min(changed.top, y);
      const eng::Color c = eng::FromRGB565(p);
      yellowish = yellowish || (c.r > 160 && c.g > 160 && c.b < 90);
    }
  ASSERT_FALSE(changed.left > 640);
  EXPECT_GE(changed.left, 25);
  EXPECT_LE(changed.left, 28);
  EXPECT_GE(changed.top, 464);
  EXPECT_TRUE(yellowish);
}

}  // namespace
