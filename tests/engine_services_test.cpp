// Frame timer arithmetic, sprites, the Windows-1251 texts and the canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/canvas.h"
#include "engine/clock.h"
#include "engine/display.h"
#include "engine/font_cache.h"
#include "engine/frame_timer.h"
#include "engine/image_list.h"
#include "engine/sprite_engine.h"
#include "engine/surface.h"
#include "engine/text_codec.h"

TEST(EngineFrameTimer, LagCountIsMillisecondsSinceLastTickAtLeastOne) {
  eng::ManualClock clock;
  clock.now = 5000;
  eng::FrameTimer timer(clock);
  uint32_t lag = 0;
  EXPECT_FALSE(timer.Tick(&lag)) << "a disabled timer does not tick";
  timer.SetEnabled(true);
  clock.Advance(16);
  ASSERT_TRUE(timer.Tick(&lag));
  EXPECT_EQ(lag, 16u);
  ASSERT_TRUE(timer.Tick(&lag));
  EXPECT_EQ(lag, 1u) << "no time passed still gives 1";

  // Enabling again restarts the reference: the time switched off is not lag.
  timer.SetEnabled(false);
  clock.Advance(3000);
  timer.SetEnabled(true);
  clock.Advance(20);
  ASSERT_TRUE(timer.Tick(&lag));
  EXPECT_EQ(lag, 20u);

  // An interval divides the lag and holds ticks back until it has passed.
  timer.Interval = 10;
  clock.Advance(9);
  EXPECT_FALSE(timer.Tick(&lag));
  clock.Advance(26);
  ASSERT_TRUE(timer.Tick(&lag));
  EXPECT_EQ(lag, 3u);
}

// The tick count wraps after 49.7 days; slow frames across the wrap are
// still paced by a refresh period at most, not by the weeks back to the
// frame that was due before it.
TEST(EngineDisplay, PacingAcrossTheTickWrapSleepsNoLongerThanAFrame) {
  struct SleepLog final : eng::Clock {
    uint32_t now = 0xFFFFFFFFu - 100;
    uint32_t longest = 0;
    uint32_t Ticks() override { return now; }
    void Sleep(uint32_t ms) override {
      longest = std::max(longest, ms);
      now += ms;
    }
  } clock;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  eng::DisplayHandler nobody;
  eng::Display display(nobody, clock);
  ASSERT_TRUE(display.Initialize(false));
  for (int i = 0; i < 6; ++i) {
    clock.now += 40;  // a frame slower than the display's refresh
    display.Pace();
  }
  EXPECT_LT(clock.now, 1000u) << "the frames went past the wrap";
  EXPECT_LE(clock.longest, static_cast<uint32_t>(1000 / display.RefreshRate()) + 1);
}

TEST(EngineFrameTimer, FrameRateIsCountedEverySecond) {
  eng::ManualClock clock;
  eng::FrameTimer timer(clock);
  timer.SetEnabled(true);
  uint32_t lag = 0;
  for (int i = 0; i < 49; ++i) {
    clock.Advance(20);
    timer.Tick(&lag);
  }
  EXPECT_EQ(timer.FrameRate(), 0) << "not a second yet";
  clock.Advance(20);
  timer.Tick(&lag);
  EXPECT_EQ(timer.FrameRate(), 50);
  // 30 ticks over 1200 ms: 25 per second.
  for (int i = 0; i < 30; ++i) {
    clock.Advance(40);
    timer.Tick(&lag);
  }
  EXPECT_EQ(timer.FrameRate(), 25);
}

namespace {

class CountingSprite : public eng::ImageSprite {
 public:
  explicit CountingSprite(std::vector<int>* log, int id) : log_(log), id_(id) {}
  void DoMove(int lag) override {
    X += lag;
    if (X >= 100) Dead();
  }
  void DoDraw(eng::Surface&) override { log_->push_back(id_); }

 private:
  std::vector<int>* log_;
  int id_;
};

}  // namespace

TEST(EngineSprites, MoveRemoveDeadAndDrawByAscendingZ) {
  eng::SpriteEngine sprites;
  std::vector<int> drawn;
  auto* a = sprites.Add<CountingSprite>(&drawn, 1);
  auto* b = sprites.Add<CountingSprite>(&drawn, 2);
  auto* c = sprites.Add<CountingSprite>(&drawn, 3);
  a->Z = 5;
  b->Z = 1;
  c->Z = 4;
  c->X = 60;
  sprites.Move(50);
  EXPECT_EQ(a->X, 50);
  EXPECT_TRUE(c->IsDead());
  sprites.Dead();
  EXPECT_EQ(sprites.Count(), 2);
  eng::Surface target(4, 4);
  sprites.Draw(target);
  EXPECT_EQ(drawn, (std::vector<int>{2, 1}));
}

TEST(EngineText, Cp1251RoundTrip) {
  const std::string utf8 = "Игрок N1: Ёлка ё, Ўў №";
  const std::string cp = eng::Utf8ToCp1251(utf8);
  EXPECT_EQ(cp.size(), 22u) << "one byte a character";
  EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xC8);  // И
  EXPECT_EQ(eng::Cp1251ToUtf8(cp), utf8);

  // All 256 byte values but the one hole of the code page survive the trip.
  std::string all;
  for (int i = 1; i < 256; ++i)
    if (i != 0x98) all.push_back(static_cast<char>(i));
  EXPECT_EQ(eng::Utf8ToCp1251(eng::Cp1251ToUtf8(all)), all);

  // Characters the code page cannot hold are dropped, the rest kept.
  EXPECT_EQ(eng::Utf8ToCp1251("a\xE4\xB8\xAD" "b€"), "ab\x88");
  EXPECT_EQ(eng::Utf8ToCp1251("x\xFFy"), "xy") << "malformed input is skipped";
  EXPECT_EQ(W("Новая игра"), eng::Utf8ToCp1251("Новая игра"));
}

TEST(EngineCanvas, TextIsDrawnMeasuredAndCached) {
  eng::Surface s(200, 40);
  s.Fill(eng::kBlack);
  eng::Canvas& c = s.GetCanvas();
  c.font = eng::Font{"Arial", 12, true, eng::RGB(255, 255, 0)};
  const std::string text = W("Атакуйте!");
  const int w = c.TextWidth(text), h = c.TextHeight(text);
  EXPECT_GT(w, 40);
  EXPECT_LT(w, 140);
  EXPECT_GT(h, 10);
  EXPECT_LT(h, 30);
  EXPECT_GT(c.TextWidth(W("Атакуйте вашего противника!")), w);
  c.TextOut(2, 2, text);
  int yellow = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      const eng::Color p = s.GetColor(x, y);
      if (p.r > 200 && p.g > 200 && p.b < 60) ++yellow;
      if (x > w + 4) {
        EXPECT_EQ(p, eng::kBlack) << "nothing right of the text";
      }
    }
  EXPECT_GT(yellow, 30);
  EXPECT_EQ(c.TextWidth(""), 0);
}

TEST(EngineCanvas, LinesLeaveOutTheEndPointAndEllipsesAreNotAntialiased) {
  eng::Surface s(40, 40);
  s.Fill(eng::kBlack);
  eng::Canvas& c = s.GetCanvas();
  c.penColor = eng::RGB(0, 255, 255);
  c.Line(5, 10, 15, 10);
  EXPECT_EQ(s.GetColor(5, 10), eng::RGB(0, 255, 255));
  EXPECT_EQ(s.GetColor(14, 10), eng::RGB(0, 255, 255));
  EXPECT_EQ(s.GetColor(15, 10), eng::kBlack);

  s.Fill(eng::kBlack);
  c.penWidth = 2;
  c.Ellipse(10, 10, 31, 31);  // radius 10 around (20, 20)
  int lit = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const eng::Color p = s.GetColor(x, y);
      ASSERT_TRUE(p == eng::kBlack || p == eng::RGB(0, 255, 255)) << "only the pen colour is drawn";
      lit += p != eng::kBlack;
    }
  EXPECT_EQ(s.GetColor(20, 20), eng::kBlack) << "an outline, not a disc";
  EXPECT_NE(s.GetColor(10, 20), eng::kBlack);
  EXPECT_NE(s.GetColor(20, 30), eng::kBlack);
  EXPECT_GT(lit, 60);
}

// Distinct long lines (chat texts of another player, say) are drawn and
// kept, but what the kept ones take stays bounded whatever comes.
TEST(EngineCanvas, KeptTextsStayWithinTheirBound) {
  eng::Surface s(640, 20);
  eng::Canvas& c = s.GetCanvas();
  c.font = eng::Font{"Arial", 7, false, eng::RGB(255, 255, 0)};
  c.brushClear = true;
  size_t largest = 0;
  for (int i = 0; i < 60; ++i) {
    c.TextOut(0, 0, std::to_string(i) + std::string(4000, 'W'));
    largest = std::max(largest, eng::TextCacheSize().bytes);
  }
  EXPECT_GT(largest, 1u << 20) << "the texts are large enough to matter";
  EXPECT_LE(eng::TextCacheSize().bytes, 20u << 20);
}

// A new game lets go of the texts the last one drew and this one did not
// (the scores of game after game); a text drawn again is kept.
TEST(EngineCanvas, TextsNotDrawnSinceTheLastGameAreLetGo) {
  eng::Surface s(200, 20);
  eng::Canvas& c = s.GetCanvas();
  c.font = eng::Font{"Arial", 9, false, eng::RGB(255, 255, 0)};
  c.TextOut(0, 0, "3:0");
  c.TextOut(0, 0, "panel");
  eng::ForgetUnusedTexts();
  c.TextOut(0, 0, "4:0");
  c.TextOut(0, 0, "panel");
  eng::ForgetUnusedTexts();
  const size_t kept = eng::TextCacheSize().texts;
  c.TextOut(0, 0, "4:0");
  c.TextOut(0, 0, "panel");
  EXPECT_EQ(eng::TextCacheSize().texts, kept) << "texts of the game just ended are kept";
  c.TextOut(0, 0, "3:0");
  EXPECT_EQ(eng::TextCacheSize().texts, kept + 1) << "the game before's score was let go";
}
