// Picture-faced buttons: presses on transparent pixels fall through to the
// dialog, pressed faces, and radio groups inside one dialog.
#include "engine/image_widgets.h"

#include <gtest/gtest.h>

#include "engine/keys.h"
#include "engine/picture.h"
#include "engine/surface.h"

namespace {

using eng::Rect;

constexpr eng::Color kKey{255, 0, 255}, kFace{40, 120, 200}, kBack{10, 20, 30};

// A 20 x 10 face whose left half is the transparent colour.
eng::Picture HalfKeyedFace() {
  eng::Picture p(20, 10);
  p.Fill(kFace);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) p.SetPixel(x, y, kKey);
  return p;
}

eng::Color At16(eng::Color c) { return eng::FromRGB565(eng::ToRGB565(c)); }

// The dialog at (0, 0): dialog and frame pixels are the same.
struct ImageButtonFace : ::testing::Test {
  void SetUp() override {
    dialog.BackColor = kBack;
    button.SetPictures(HalfKeyedFace());
    button.SetTransparent(kKey);
    button.OnClick = [this] { ++clicks; };
    dialog.Add(button);
  }
  void Click(int x, int y) {
    dialog.HandleMouseMove(x, y);
    dialog.HandleMouseDown(eng::kMouseLeft, x, y);
    dialog.HandleMouseUp(eng::kMouseLeft, x, y);
  }
  eng::Dialog dialog{100, 100};
  eng::ImageButton button{Rect{10, 10, 20, 10}};
  int clicks = 0;
};

TEST_F(ImageButtonFace, TransparentPixelsNeitherClickNorShow) {
  Click(12, 15);  // the keyed half
  EXPECT_EQ(clicks, 0);
  Click(25, 15);
  EXPECT_EQ(clicks, 1);
  eng::Surface frame(100, 100);
  dialog.Paint(frame);
  EXPECT_EQ(frame.GetColor(12, 15), At16(kBack));
  EXPECT_EQ(frame.GetColor(25, 15), At16(kFace));
}

TEST_F(ImageButtonFace, PressOnATransparentPixelDragsTheDialog) {
  dialog.HandleMouseMove(12, 15);
  dialog.HandleMouseDown(eng::kMouseLeft, 12, 15);
  dialog.HandleMouseMove(42, 25);
  dialog.HandleMouseUp(eng::kMouseLeft, 42, 25);
  EXPECT_EQ(dialog.Left, 30);
  EXPECT_EQ(dialog.Top, 10);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonFace, ClicksOnlyOnAReleaseOverItsOwnPixels) {
  // Released off the button, and released over its transparent half.
  for (int releaseX : {60, 12}) {
    dialog.HandleMouseMove(25, 15);
    dialog.HandleMouseDown(eng::kMouseLeft, 25, 15);
    dialog.HandleMouseMove(releaseX, 15);
    dialog.HandleMouseUp(eng::kMouseLeft, releaseX, 15);
  }
  EXPECT_EQ(clicks, 0);
  // The right button does not click; a disabled button does not either.
  dialog.HandleMouseMove(25, 15);
  dialog.HandleMouseDown(eng::kMouseRight, 25, 15);
  dialog.HandleMouseUp(eng::kMouseRight, 25, 15);
  button.Enabled = false;
  Click(25, 15);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonFace, HeldOrDownShowsTheSunkFace) {
  eng::Surface frame(100, 100);
  dialog.HandleMouseMove(25, 15);
  dialog.HandleMouseDown(eng::kMouseLeft, 25, 15);
  EXPECT_TRUE(button.ShownPressed());
  dialog.Paint(frame);
  const eng::Color held = frame.GetColor(25, 15);
  EXPECT_LT(held.b, At16(kFace).b);  // darker
  EXPECT_EQ(frame.GetColor(12, 15), At16(kBack));  // still keyed
  dialog.HandleMouseUp(eng::kMouseLeft, 25, 15);
  EXPECT_FALSE(button.ShownPressed());
  // Down stays pressed through clicks until the owner raises it.
  button.SetDown(true);
  Click(25, 15);
  EXPECT_TRUE(button.Down());
  dialog.Paint(frame);
  EXPECT_EQ(frame.GetColor(25, 15), held);
}

// Radio buttons in two dialogs and two groups.
struct ImageRadioGroups : ::testing::Test {
  void SetUp() override {
    eng::Picture up(15, 15), down(15, 15);
    up.Fill(eng::RGB(0, 0, 200));
    down.Fill(eng::RGB(200, 200, 0));
    for (auto* r : {&a1, &a2, &a3, &b1, &other1}) {
      r->SetPictures(up, down);
      r->OnClick = [this, r] { clicked = r; };
    }
    for (auto* r : {&a1, &a2, &b1}) first.Add(*r);
    first.Add(a3);
    second.Add(other1);
    a1.SetDown(true);
    b1.SetDown(true);
    other1.SetDown(true);
  }
  void Click(eng::Dialog& d, const eng::Widget& w) {
    const int x = w.Bounds.x + 7, y = w.Bounds.y + 7;
    d.HandleMouseMove(x, y);
    d.HandleMouseDown(eng::kMouseLeft, x, y);
    d.HandleMouseUp(eng::kMouseLeft, x, y);
  }
  eng::Dialog first{200, 200}, second{200, 200};
  eng::ImageRadioButton a1{Rect{10, 10, 15, 15}, 1}, a2{Rect{10, 30, 15, 15}, 1}, a3{Rect{10, 50, 15, 15}, 1};
  eng::ImageRadioButton b1{Rect{50, 10, 15, 15}, 2};
  eng::ImageRadioButton other1{Rect{10, 10, 15, 15}, 1};
  eng::ImageRadioButton* clicked = nullptr;
};

TEST_F(ImageRadioGroups, PressingOneRaisesTheOthersOfItsGroupInItsDialog) {
  Click(first, a2);
  EXPECT_EQ(clicked, &a2);
  EXPECT_FALSE(a1.Down());
  EXPECT_TRUE(a2.Down());
  EXPECT_FALSE(a3.Down());
  EXPECT_TRUE(b1.Down());      // another group
  EXPECT_TRUE(other1.Down());  // the same group number in another dialog
  // Set from the code: the group follows, no click is reported.
  clicked = nullptr;
  a3.SetDown(true);
  EXPECT_FALSE(a2.Down());
  EXPECT_EQ(clicked, nullptr);
}

TEST_F(ImageRadioGroups, ADownRadioStaysDownAToggleDoesNot) {
  Click(first, a1);
  EXPECT_TRUE(a1.Down());
  EXPECT_EQ(clicked, &a1);
  eng::ImageToggleButton toggle{Rect{100, 100, 17, 20}, 5};
  second.Add(toggle);
  Click(second, toggle);
  EXPECT_TRUE(toggle.Down());
  Click(second, toggle);
  EXPECT_FALSE(toggle.Down());
  EXPECT_TRUE(other1.Down());
}

}  // namespace
