// Surfaces, colour keys at 16 bits, alpha end points and the image
// collection's pattern cutting.
#include <gtest/gtest.h>

#include "engine/image_list.h"
#include "engine/picture.h"
#include "engine/surface.h"

using eng::Color;
using eng::Picture;
using eng::Rect;
using eng::Surface;

namespace {

// The colour a pixel reads back as once stored at 16 bits.
Color Exact(Color c) { return eng::FromRGB565(eng::ToRGB565(c)); }

Surface Solid(int w, int h, Color c) {
  Surface s(w, h);
  s.Fill(c);
  return s;
}

}  // namespace

TEST(EngineSurface, KeyMatchesAtSixteenBits) {
  // RGB(0, 0, 127) keys every colour that falls on the same 16-bit pixel,
  // and no colour of the next 16-bit step.
  const Color key = eng::RGB(0, 0, 127);
  Picture pic(4, 1);
  pic.SetPixel(0, 0, key);
  pic.SetPixel(1, 0, eng::RGB(7, 3, 120));   // same 565 value as the key
  pic.SetPixel(2, 0, eng::RGB(0, 0, 128));   // next blue step
  pic.SetPixel(3, 0, eng::RGB(8, 0, 127));   // next red step
  Surface src;
  src.LoadFromPicture(pic);
  src.SetColorKey(key);
  ASSERT_EQ(src.ColorMatch(key), eng::ToRGB565(eng::RGB(7, 3, 120)));

  Surface dst = Solid(4, 1, eng::RGB(255, 0, 0));
  dst.Draw(0, 0, src, true);
  EXPECT_EQ(dst.GetColor(0, 0), Exact(eng::RGB(255, 0, 0)));
  EXPECT_EQ(dst.GetColor(1, 0), Exact(eng::RGB(255, 0, 0)));
  EXPECT_EQ(dst.GetPixel(2, 0), eng::ToRGB565(eng::RGB(0, 0, 128)));
  EXPECT_EQ(dst.GetPixel(3, 0), eng::ToRGB565(eng::RGB(8, 0, 127)));

  // The same copy opaque ignores the key.
  Surface opaque = Solid(4, 1, eng::RGB(255, 0, 0));
  opaque.Draw(0, 0, src, false);
  EXPECT_EQ(opaque.GetPixel(0, 0), eng::ToRGB565(key));
}

TEST(EngineSurface, KeyedCopyWithoutKeyUsesBlackAndKeySurvivesReload) {
  Picture pic(2, 1);
  pic.SetPixel(1, 0, eng::RGB(200, 200, 200));
  Surface src;
  src.LoadFromPicture(pic);
  Surface dst = Solid(2, 1, eng::RGB(0, 255, 0));
  dst.Draw(0, 0, src, true);
  EXPECT_EQ(dst.GetColor(0, 0), Exact(eng::RGB(0, 255, 0)));
  EXPECT_NE(dst.GetColor(1, 0), eng::RGB(0, 255, 0));

  src.SetColorKey(eng::kWhite);
  Picture bigger(3, 1);
  bigger.Fill(eng::kWhite);
  src.LoadFromPicture(bigger);
  ASSERT_TRUE(src.ColorKey().has_value());
  EXPECT_EQ(*src.ColorKey(), eng::ToRGB565(eng::kWhite));
}

TEST(EngineSurface, AlphaEndPoints) {
  Surface src = Solid(8, 8, eng::RGB(248, 248, 248));
  Surface dst = Solid(8, 8, eng::RGB(0, 0, 248));
  dst.DrawAlpha(Rect{0, 0, 8, 8}, src, src.ClientRect(), 0, false);
  EXPECT_EQ(dst.GetColor(3, 3), Exact(eng::RGB(0, 0, 248))) << "alpha 0 leaves the target";
  dst.DrawAlpha(Rect{0, 0, 8, 8}, src, src.ClientRect(), 255, false);
  EXPECT_EQ(dst.GetColor(3, 3), Exact(eng::RGB(248, 248, 248))) << "alpha 255 is opaque";

  Surface half = Solid(8, 8, eng::RGB(0, 0, 0));
  half.DrawAlpha(Rect{0, 0, 8, 8}, src, src.ClientRect(), 128, false);
  const Color c = half.GetColor(3, 3);
  EXPECT_GT(c.r, 100);
  EXPECT_LT(c.r, 150);
}

TEST(EngineSurface, AlphaBlendKeepsKeyedPixelsOut) {
  Picture pic(2, 1);
  pic.SetPixel(0, 0, eng::kWhite);
  pic.SetPixel(1, 0, eng::RGB(248, 0, 0));
  Surface src;
  src.LoadFromPicture(pic);
  src.SetColorKey(eng::kWhite);
  Surface dst = Solid(2, 1, eng::RGB(0, 0, 248));
  dst.DrawAlpha(Rect{0, 0, 2, 1}, src, src.ClientRect(), 200, true);
  EXPECT_EQ(dst.GetColor(0, 0), Exact(eng::RGB(0, 0, 248)));
  EXPECT_GT(dst.GetColor(1, 0).r, 150);
}

TEST(EngineSurface, DrawClipsToTarget) {
  Surface src = Solid(10, 10, eng::RGB(248, 0, 0));
  Surface dst = Solid(10, 10, eng::kBlack);
  dst.Draw(-5, 7, src, false);
  EXPECT_EQ(dst.GetColor(0, 9), Exact(eng::RGB(248, 0, 0)));
  EXPECT_EQ(dst.GetColor(5, 9), eng::kBlack);
  EXPECT_EQ(dst.GetColor(0, 6), eng::kBlack);
}

TEST(EngineSurface, PictureRoundTripThroughSurface) {
  Picture pic(3, 2);
  pic.SetPixel(0, 0, Exact(eng::RGB(200, 0, 0)));
  pic.SetPixel(2, 1, Exact(eng::RGB(0, 100, 40)));
  Surface s;
  s.LoadFromPicture(pic);
  Picture back;
  back.AssignFrom(s);
  EXPECT_EQ(back, pic);
}

TEST(EngineImageList, PatternsAreCutRowByRow) {
  eng::ImageItem item;
  item.picture.SetSize(160, 64);  // forty 16 x 16 patterns, ten to a row
  item.patternWidth = item.patternHeight = 16;
  for (int i = 0; i < 40; ++i) {
    const int px = (i % 10) * 16, py = (i / 10) * 16;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) item.picture.SetPixel(px + x, py + y, eng::RGB(8 * (i % 30), 4 * i, 0));
  }
  item.Restore();
  EXPECT_EQ(item.PatternCount(), 40);
  EXPECT_EQ(item.PatternRect(13), (Rect{48, 16, 16, 16}));
  EXPECT_EQ(item.PatternRect(39), (Rect{144, 48, 16, 16}));

  Surface dst = Solid(16, 16, eng::RGB(0, 0, 248));
  item.Draw(dst, 0, 0, 23);
  EXPECT_EQ(dst.GetColor(5, 5), Exact(eng::RGB(8 * 23, 4 * 23, 0)));

  // Patterns out of range draw nothing.
  for (int bad : {-1, 40, 1000}) {
    Surface untouched = Solid(16, 16, eng::RGB(0, 0, 248));
    item.Draw(untouched, 0, 0, bad);
    item.StretchDraw(untouched, Rect{0, 0, 16, 16}, bad);
    item.DrawAlpha(untouched, Rect{0, 0, 16, 16}, bad, 255);
    EXPECT_EQ(untouched.GetColor(8, 8), Exact(eng::RGB(0, 0, 248))) << "pattern " << bad;
    EXPECT_EQ(item.PatternRect(bad).w, 0);
  }
}

TEST(EngineImageList, WholePictureIsOnePatternAndTransparencyIsTheItems) {
  eng::ImageItem item;
  item.picture.SetSize(4, 4);
  item.picture.Fill(eng::kWhite);
  item.picture.SetPixel(1, 1, eng::RGB(248, 0, 0));
  item.transparent = true;
  item.transparentColor = eng::kWhite;
  item.Restore();
  EXPECT_EQ(item.PatternCount(), 1);
  Surface dst = Solid(4, 4, eng::RGB(0, 252, 0));
  item.Draw(dst, 0, 0, 0);
  EXPECT_EQ(dst.GetColor(0, 0), Exact(eng::RGB(0, 252, 0)));
  EXPECT_EQ(dst.GetColor(1, 1), Exact(eng::RGB(248, 0, 0)));

  item.transparent = false;
  item.Restore();
  item.Draw(dst, 0, 0, 0);
  EXPECT_EQ(dst.GetColor(0, 0), eng::kWhite);

  eng::ImageList list;
  list.Add().name = "CloseCell";
  list.Add().name = "Logo";
  EXPECT_EQ(list.Find("Logo"), 1);
  EXPECT_EQ(list.Find("logo"), -1);
}
