// The placement panel's slides and fades, and the menu block's highlights.
#include <gtest/gtest.h>

#include <cmath>

#include "ui_fixture.h"

namespace {

using uitest::Shows;

constexpr eng::Color kGround{0, 255, 255};  // a colour the panel never has
constexpr int kLag = 10;

class ChooserTest : public uitest::UiTest {
 protected:
  const eng::ImageItem& Faces() const { return images[assets::kSCblock]; }
  const eng::Picture& Block() const { return images[assets::kButtonBlock].picture; }

  // One frame on a clean ground; the y the panel was drawn at, or -1.
  int Frame() {
    back.Fill(kGround);
    common.DrawChooser(back, kLag);
    return DrawnY();
  }
  int DrawnY() const {
    const eng::Surface& panel = common.ChooserSurface;
    const uint16_t key = eng::ToRGB565(eng::kWhite);
    for (int y = 0; y + panel.Height() <= 480; ++y) {
      bool match = true, any = false;
      for (int row : {20, 40}) {
        for (int x = 0; x < panel.Width() && match; ++x) {
          const uint16_t p = panel.GetPixel(x, row);
          if (p == key) continue;
          any = true;
          match = back.GetPixel(common.ChooserX + x, y + row) == p;
        }
      }
      if (match && any) return y;
    }
    return -1;
  }
  int Slid() const { return static_cast<int>(std::nearbyint(common.ChooserSlide)); }

  // From hidden to open, at rest before the fades.
  void SlideOpen() {
    common.OpenChooser();
    for (int i = 0; i < 400 && common.ChooserClosed; ++i) Frame();
    ASSERT_EQ(common.ChooserClosed, 0);
  }
  int FadeIn() {
    int frames = 0;
    while (frames < 200 && (common.NextShipFading || common.AutoFading || common.ModifyFading)) {
      Frame();
      ++frames;
    }
    return frames;
  }
  bool FaceShows(const eng::Rect& button, const eng::Picture& p, eng::Rect r) const {
    return Shows(common.ChooserSurface, button.x, button.y, p, r);
  }
};

TEST_F(ChooserTest, SlidesDownBeneathTheGridsThenBouncesOpen) {
  common.OpenChooser();
  EXPECT_EQ(common.ChooserShown, 1);
  EXPECT_EQ(common.ChooserClosed, 1);
  EXPECT_EQ(common.ChooserBehind, 1);
  EXPECT_EQ(common.ChooserY, 308);

  int lastY = 308, frames = 0;
  while (common.ChooserBehind && frames < 200) {
    const int y = Frame();
    ++frames;
    if (!common.ChooserBehind) {
      EXPECT_EQ(y, -1) << "the frame that ends the slide draws nothing";
      break;
    }
    EXPECT_EQ(y, 308 + Slid());
    EXPECT_GE(y, lastY);
    lastY = y;
  }
  EXPECT_EQ(frames, 58);  // 86 pixels at 1.5 a frame, then past them
  EXPECT_EQ(common.ChooserY, 308 + 87);

  while (common.ChooserClosed && frames < 400) {
    const int y = Frame();
    ++frames;
    EXPECT_EQ(y, common.ChooserClosed ? common.ChooserY - Slid() : common.ChooserY);
  }
  EXPECT_EQ(common.ChooserShown, 0);
  EXPECT_EQ(common.ChooserBehind, 0);
  EXPECT_NEAR(common.ChooserY, 384, 2);
  EXPECT_EQ(common.NextShipFading, 1);
  EXPECT_EQ(common.AutoFading, 1);
  EXPECT_EQ(common.ModifyFading, 0);
  EXPECT_EQ(common.ChooserSlide, 0.0f);
}

TEST_F(ChooserTest, FacesFadeInToFullBrightness) {
  SlideOpen();
  const eng::Rect face0 = Faces().PatternRect(0);
  // A bright pixel of the first face, to watch it brighten.
  int fx = -1, fy = -1;
  for (int y = 0; y < face0.h && fx < 0; ++y)
    for (int x = 0; x < face0.w; ++x)
      if (Faces().picture.GetPixel(x, y).r >= 160) {
        fx = x;
        fy = y;
        break;
      }
  ASSERT_GE(fx, 0);
  const int full = Faces().picture.GetPixel(fx, fy).r;
  for (int i = 0; i < 20; ++i) Frame();
  const int mid = eng::FromRGB565(common.ChooserSurface.GetPixel(38 + fx, 11 + fy)).r;
  EXPECT_LT(mid, full - 15);
  EXPECT_GT(mid, full * 0.6 + 15);

  const int frames = 20 + FadeIn();
  EXPECT_GE(frames, 40);
  EXPECT_LE(frames, 42);
  EXPECT_TRUE(FaceShows(common.NextShipButton, Faces().picture, face0));
  EXPECT_TRUE(FaceShows(common.AutoButton, Faces().picture, Faces().PatternRect(11)));
  EXPECT_EQ(common.ModifyEnabled, 0);
  EXPECT_EQ(Frame(), common.ChooserY);
}

TEST_F(ChooserTest, FadeEndsOnTheFaceOfTheShipNowNext) {
  SlideOpen();
  for (int i = 0; i < 5; ++i) Frame();
  common.AdvanceChooser();
  FadeIn();
  EXPECT_EQ(common.ShipsChosen, 1);
  EXPECT_TRUE(FaceShows(common.NextShipButton, Faces().picture, Faces().PatternRect(1)));
  for (int i = 0; i < 15; ++i) common.AdvanceChooser();
  EXPECT_EQ(common.ShipsChosen, 10);
  EXPECT_TRUE(FaceShows(common.NextShipButton, Faces().picture, Faces().PatternRect(10)));
}

TEST_F(ChooserTest, ModifyFadesInWhenStartedAndAgainOnlyAfterANewGame) {
  SlideOpen();
  FadeIn();
  EXPECT_TRUE(FaceShows(common.ModifyButton, Block(), common.ModifyButton));
  common.ModifyFading = 1;  // the first press on the next-ship button
  FadeIn();
  EXPECT_EQ(common.ModifyEnabled, 1);
  EXPECT_TRUE(FaceShows(common.ModifyButton, images[assets::kSCmodif].picture, eng::Rect{0, 0, 32, 23}));
  common.AdvanceChooser();
  const int y = common.ChooserY;

  // A new game on the open panel: faces fade in anew, modify waits again,
  // even when its fade had just begun.
  common.ModifyFading = 1;
  common.OpenChooser();
  EXPECT_EQ(common.ChooserClosed, 0);
  EXPECT_EQ(common.ChooserY, y);
  EXPECT_EQ(common.ShipsChosen, 0);
  EXPECT_EQ(common.ModifyEnabled, 0);
  EXPECT_EQ(common.ModifyFading, 0);
  EXPECT_EQ(common.NextShipFading + common.AutoFading, 2);
  EXPECT_FLOAT_EQ(common.NextShipFade, 0.6f);
  EXPECT_TRUE(FaceShows(common.ModifyButton, Block(), common.ModifyButton));
  for (int i = 0; i < 60; ++i) Frame();
  EXPECT_TRUE(FaceShows(common.NextShipButton, Faces().picture, Faces().PatternRect(0)));
  EXPECT_TRUE(FaceShows(common.ModifyButton, Block(), common.ModifyButton));
  EXPECT_EQ(common.ModifyEnabled, 0);
}

TEST_F(ChooserTest, OpeningWhileMovingDoesNothing) {
  common.OpenChooser();
  for (int i = 0; i < 5; ++i) Frame();
  common.ShipsChosen = 3;
  common.NextShipFade = 0.9f;
  const float slide = common.ChooserSlide;
  common.OpenChooser();
  EXPECT_EQ(common.ChooserSlide, slide);
  EXPECT_EQ(common.ShipsChosen, 3);
  EXPECT_FLOAT_EQ(common.NextShipFade, 0.9f);
  EXPECT_EQ(common.ChooserBehind, 1);
  EXPECT_EQ(common.ChooserShown, 1);
}

TEST_F(ChooserTest, ClosingDipsThenSlidesUpOutOfSight) {
  SlideOpen();
  FadeIn();
  const int openY = common.ChooserY;
  // The tenth ship is fixed: the panel is locked and waits for the grid.
  common.ChooserLocked = 1;
  common.ChooserClosing = 1;
  common.ChooserBehind = 0;
  EXPECT_EQ(Frame(), openY);
  // The assemble ends while its pieces still fly in: the panel is not drawn.
  common.ChooserShown = 1;
  common.ChooserClosed = 1;
  common.InPieces[2].active = 1;
  EXPECT_EQ(Frame(), -1);
  EXPECT_EQ(common.ChooserSlide, 0.0f);
  common.InPieces[2].active = 0;

  int frames = 0;
  while (!common.ChooserBehind && frames < 200) {
    const int y = Frame();
    ++frames;
    EXPECT_EQ(y, common.ChooserBehind ? common.ChooserY : openY + Slid());
  }
  EXPECT_NEAR(common.ChooserY, openY + 10, 1);
  int lastY = common.ChooserY;
  while (common.ChooserShown && frames < 400) {
    const int y = Frame();
    ++frames;
    if (!common.ChooserShown) {
      EXPECT_EQ(y, -1);
      break;
    }
    EXPECT_LE(y, lastY);
    lastY = y;
  }
  EXPECT_EQ(common.ChooserClosed, 1);
  EXPECT_NEAR(common.ChooserY, 308, 2);
  EXPECT_EQ(Frame(), -1);
}

// A frame of seconds (a stalled desktop, the first frame after a pause) in
// every phase still brings the panel to rest where it belongs.
TEST_F(ChooserTest, StalledFramesStillBringThePanelToItsRestPositions) {
  constexpr int kStall = 3000;
  common.OpenChooser();
  common.DrawChooser(back, kStall);  // the slide down
  common.DrawChooser(back, kStall);  // the bounce: open
  EXPECT_EQ(common.ChooserClosed, 0);
  EXPECT_NEAR(common.ChooserY, 384, 2);
  common.ChooserLocked = 1;
  common.ChooserClosing = 1;
  common.ChooserBehind = 0;
  common.ChooserShown = 1;
  common.ChooserClosed = 1;
  common.DrawChooser(back, kStall);  // the dip
  common.DrawChooser(back, kStall);  // the slide up: hidden
  EXPECT_EQ(common.ChooserShown, 0);
  EXPECT_NEAR(common.ChooserY, 308, 2);
}

TEST_F(ChooserTest, BreakingGridTurnsTheSlideUpAndTheSlideGoesOnAfterwards) {
  common.OpenChooser();
  common.Shattering = 1;
  for (int i = 0; i < 10; ++i) {
    const int y = Frame();
    EXPECT_EQ(y, 308 - Slid());
  }
  EXPECT_FLOAT_EQ(common.ChooserSlide, 15.0f);
  common.Shattering = 0;
  // 16.5 pixels down from the rest position: the half goes to the even 16.
  EXPECT_EQ(Frame(), 308 + 16);
}

TEST_F(ChooserTest, PanelOfANewGameSurvivesALongBreakUp) {
  common.OpenChooser();
  common.Shattering = 1;
  for (int i = 0; i < 100; ++i) Frame();
  EXPECT_EQ(common.ChooserShown, 1);
  EXPECT_EQ(common.ChooserY, 308);
  common.Shattering = 0;
  for (int i = 0; i < 400 && common.ChooserClosed; ++i) Frame();
  EXPECT_EQ(common.ChooserClosed, 0);
  EXPECT_GT(common.ChooserY, 370);
}

class MenuTest : public uitest::UiTest {
 protected:
  bool ButtonShows(const TMenuButton& b, int imageIndex) const {
    return Shows(common.MenuSurface, b.x, b.y, images[imageIndex].picture, eng::Rect{0, 0, b.w, b.h});
  }
  bool ButtonPlain(const TMenuButton& b) const {
    return Shows(common.MenuSurface, b.x, b.y, images[assets::kMenuBlock].picture, eng::Rect{b.x, b.y, b.w, b.h});
  }
};

TEST_F(MenuTest, OneButtonIsLitAtATime) {
  ASSERT_TRUE(ButtonPlain(common.NewButton));
  common.HighlightMenuButton(common.NewButton, assets::kMNewBtn);
  EXPECT_TRUE(ButtonShows(common.NewButton, assets::kMNewBtn));
  EXPECT_EQ(common.NewButton.Hover, 1);

  common.HighlightMenuButton(common.HelpButton, assets::kMHelpBtn);
  EXPECT_TRUE(ButtonShows(common.HelpButton, assets::kMHelpBtn));
  EXPECT_TRUE(ButtonPlain(common.NewButton));
  EXPECT_EQ(common.NewButton.Hover, 0);
  EXPECT_EQ(common.HelpButton.Hover, 1);

  common.ClearMenuHighlights();
  for (const TMenuButton* b : {&common.NewButton, &common.OptionsButton, &common.HelpButton}) {
    EXPECT_TRUE(ButtonPlain(*b));
    EXPECT_EQ(b->Hover, 0);
  }
  EXPECT_EQ(common.MenuSurface.ColorKey(), eng::ToRGB565(eng::RGB(127, 0, 127)));
}

TEST_F(MenuTest, HighlightsGoEvenWhenTheBlockWasSavedLit) {
  common.HighlightMenuButton(common.OptionsButton, assets::kMOptionsBtn);
  common.SaveSurfaces();
  common.RestoreSurfaces();
  EXPECT_TRUE(ButtonShows(common.OptionsButton, assets::kMOptionsBtn));
  common.ClearMenuHighlights();
  EXPECT_TRUE(ButtonPlain(common.OptionsButton));
}

}  // namespace
