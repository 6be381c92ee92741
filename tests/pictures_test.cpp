#include "assets/pictures.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "assets/image_table.h"

namespace {

using assets::kImageSpecs;

const eng::ImageList& Pictures() {
  static const eng::ImageList list = [] {
    eng::ImageList l;
    assets::PaintPictures(l);
    return l;
  }();
  return list;
}

const eng::ImageItem& Item(int index) { return Pictures()[index]; }

// What the 16-bit display does: a pixel is see-through when it matches the
// key at 16 bits.
bool SeeThrough(const eng::ImageItem& item, eng::Color c) {
  return eng::ToRGB565(c) == eng::ToRGB565(item.transparentColor);
}
bool SeeThrough(int index, int x, int y) { return SeeThrough(Item(index), Item(index).picture.GetPixel(x, y)); }

std::vector<eng::Color> PatternPixels(const eng::ImageItem& item, int pattern) {
  const eng::Rect r = item.PatternRect(pattern);
  std::vector<eng::Color> out;
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x) out.push_back(item.picture.GetPixel(x, y));
  return out;
}

int SeeThroughCount(const eng::ImageItem& item, int pattern) {
  int n = 0;
  for (eng::Color c : PatternPixels(item, pattern)) n += SeeThrough(item, c);
  return n;
}

TEST(PicturesTest, ListMatchesTheImageTable) {
  ASSERT_EQ(Pictures().Count(), 39);  // the 38 of the table and the not-found cell
  for (int i = 0; i < assets::kImageCount; ++i) {
    const auto& image = kImageSpecs[i];
    const eng::ImageItem& item = Item(i);
    SCOPED_TRACE(item.name);
    EXPECT_EQ(item.name, image.name);
    EXPECT_EQ(item.picture.Width(), image.width);
    EXPECT_EQ(item.picture.Height(), image.height);
    EXPECT_EQ(item.patternWidth, image.patternWidth);
    EXPECT_EQ(item.patternHeight, image.patternHeight);
    EXPECT_EQ(item.transparent, image.transparent);
    EXPECT_EQ(item.transparentColor, image.key);
  }
  // Spot checks of the table against the game's image table.
  EXPECT_EQ(Item(assets::kCloseCell).name, "CloseCell");
  EXPECT_EQ(Item(assets::kScursor).name, "scursor");
  EXPECT_EQ(Item(assets::kMainBlock4).name, "main_block4");
  EXPECT_EQ(Item(assets::kSendBtn).name, "SendBtn");
  EXPECT_EQ(Item(assets::kMenuBlock).transparentColor, eng::RGB(127, 0, 127));
  EXPECT_EQ(Item(assets::kStatusBlock).transparentColor, eng::RGB(0, 0, 127));
  EXPECT_TRUE(Item(assets::kExplosion).transparent);
  EXPECT_EQ(Item(assets::kExplosion).transparentColor, eng::kBlack);
  EXPECT_FALSE(Item(assets::kCloseCellDark).transparent);
  EXPECT_FALSE(Item(assets::kCounter).transparent);
}

TEST(PicturesTest, PatternCounts) {
  const std::map<int, int> expected{
      {assets::kSCblock, 12},  {assets::kNavigators, 40}, {assets::kExplosion, 16}, {assets::kSQBomb, 15},
      {assets::kPBomb, 15},    {assets::kXBomb, 15},      {assets::kScursor, 2},    {assets::kCloseBtn, 3},
      {assets::kBonuses, 10},  {assets::kScoreTable, 2},  {assets::kSendBtn, 2},    {assets::kCloseCell, 1},
      {assets::kLogo, 1},      {assets::kMenuBlock, 1},
  };
  for (auto [index, count] : expected) EXPECT_EQ(Item(index).PatternCount(), count) << Item(index).name;
}

// A keyed pixel is either exactly the key (meant to be see-through) or
// differs from it at 16 bits; an opaque pixel that only nearly matches would
// vanish on the display.
TEST(PicturesTest, NoOpaquePixelCollidesWithTheKeyAt16Bits) {
  for (int i = 0; i < assets::kImageCount; ++i) {
    const eng::ImageItem& item = Item(i);
    if (!item.transparent) continue;
    int collisions = 0;
    for (int y = 0; y < item.picture.Height(); ++y)
      for (int x = 0; x < item.picture.Width(); ++x) {
        const eng::Color c = item.picture.GetPixel(x, y);
        collisions += SeeThrough(item, c) && !(c == item.transparentColor);
      }
    EXPECT_EQ(collisions, 0) << item.name;
  }
}

TEST(PicturesTest, KeyedPicturesAreSeeThroughWhereMeant) {
  for (int i = 0; i < assets::kImageCount; ++i) {
    const eng::ImageItem& item = Item(i);
    if (!item.transparent) continue;
    const int total = item.picture.Width() * item.picture.Height();
    int keyed = 0;
    for (int p = 0; p < item.PatternCount(); ++p) keyed += SeeThroughCount(item, p);
    EXPECT_GT(keyed, 0) << item.name;
    EXPECT_LT(keyed, total) << item.name;
  }
  // Rounded outsides of the plates are see-through, their insides are not.
  for (int index : {assets::kMenuBlock, assets::kButtonBlock, assets::kStatusBlock}) {
    const eng::Picture& pic = Item(index).picture;
    EXPECT_TRUE(SeeThrough(index, 0, 0)) << Item(index).name;
    EXPECT_TRUE(SeeThrough(index, pic.Width() - 1, pic.Height() - 1)) << Item(index).name;
    EXPECT_FALSE(SeeThrough(index, pic.Width() / 2, 2)) << Item(index).name;
    EXPECT_FALSE(SeeThrough(index, pic.Width() / 2, pic.Height() / 2)) << Item(index).name;
  }
  // The menu faces and the status text boxes are solid.
  EXPECT_FALSE(SeeThrough(assets::kMenuBlock, 8 + 33, 8 + 11));
  for (int x : {17 + 56, 145 + 118, 397 + 56}) EXPECT_FALSE(SeeThrough(assets::kStatusBlock, x, 15));
  // Score board: pattern 0 solid inside its text box; the overlay (pattern 1)
  // open inside the box (5, 9, 34, 18) and solid on the frame around it.
  for (int y = 9; y < 27; ++y)
    for (int x = 5; x < 39; ++x) {
      EXPECT_FALSE(SeeThrough(assets::kScoreTable, x, y));
      EXPECT_TRUE(SeeThrough(assets::kScoreTable, 42 + x, y));
    }
  // Digits roll in from below (y 27..33) and out over the top (y 0..8)
  // beneath the frame.
  for (int x = 6; x < 38; ++x) {
    for (int y = 0; y < 9; ++y) EXPECT_FALSE(SeeThrough(assets::kScoreTable, 42 + x, y)) << x << "," << y;
    for (int y = 27; y < 34; ++y) EXPECT_FALSE(SeeThrough(assets::kScoreTable, 42 + x, y)) << x << "," << y;
  }
  // Window buttons are round: corners open, centres solid.
  for (int p = 0; p < 3; ++p) {
    EXPECT_TRUE(SeeThrough(assets::kCloseBtn, p * 16, 0));
    EXPECT_FALSE(SeeThrough(assets::kCloseBtn, p * 16 + 8, 8));
  }
}

TEST(PicturesTest, CursorTipIsTheHotspot) {
  EXPECT_FALSE(SeeThrough(assets::kScursor, 0, 0));
  EXPECT_FALSE(SeeThrough(assets::kScursor, 24, 0));
  // Nothing lies up or left of the tip but the tip itself: the outline
  // starts there.
  EXPECT_TRUE(SeeThrough(assets::kScursor, 23, 0));
  EXPECT_NE(PatternPixels(Item(assets::kScursor), 0), PatternPixels(Item(assets::kScursor), 1));
}

// The meter strip is copied keyed with black: it must have no black pixel,
// least of all in the slots where the meter lines grow.
TEST(PicturesTest, CounterStripHasNoSeeThroughPixel) {
  const eng::ImageItem& item = Item(assets::kCounter);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 34; ++x) ASSERT_NE(eng::ToRGB565(item.picture.GetPixel(x, y)), 0) << x << "," << y;
  const eng::Color slot = item.picture.GetPixel(10, 19);
  EXPECT_LT(slot.r + slot.g + slot.b, 120);  // dark, so the coloured lines stand out
  for (int x0 : {10, 20})
    for (int y = 19; y <= 218; ++y)
      for (int x = x0; x < x0 + 4; ++x) EXPECT_EQ(item.picture.GetPixel(x, y), slot) << x << "," << y;
}

// The ship cells a lost game reveals read apart from every other cell at
// 16 pixels: most of their pixels differ at the display's 16 bits.
TEST(PicturesTest, NotFoundCellStandsApartFromEveryCell) {
  const auto ghost = PatternPixels(Item(assets::kNotFoundCell), 0);
  ASSERT_EQ(ghost.size(), 256u);
  for (int index : {assets::kCloseCell, assets::kOpenCell, assets::kMarkedCell, assets::kDamShipCell,
                    assets::kBlackShipCell, assets::kDestrShipCell, assets::kRedShipCell, assets::kRFixShipCell,
                    assets::kHint1Cell, assets::kHint2Cell, assets::kCloseCellDark}) {
    const auto other = PatternPixels(Item(index), 0);
    int differ = 0;
    for (size_t i = 0; i < other.size(); ++i) differ += eng::ToRGB565(other[i]) != eng::ToRGB565(ghost[i]);
    EXPECT_GT(differ, 128) << Item(index).name;
  }
}

TEST(PicturesTest, NavigatorPatternsAllDiffer) {
  const eng::ImageItem& nav = Item(assets::kNavigators);
  for (int a = 0; a < 40; ++a)
    for (int b = a + 1; b < 40; ++b) EXPECT_NE(PatternPixels(nav, a), PatternPixels(nav, b)) << a << " vs " << b;
}

TEST(PicturesTest, PlacementFacesShowTheirState) {
  const eng::ImageItem& faces = Item(assets::kSCblock);
  const auto first = PatternPixels(faces, 0);
  EXPECT_NE(PatternPixels(faces, 10), first);
  EXPECT_NE(PatternPixels(faces, 11), first);
  EXPECT_NE(PatternPixels(faces, 10), PatternPixels(faces, 11));
  // The ship on the face follows the fleet order 4, 3, 3, 2, 2, 2, 1, 1, 1, 1.
  EXPECT_NE(PatternPixels(faces, 0), PatternPixels(faces, 1));
  EXPECT_EQ(PatternPixels(faces, 1), PatternPixels(faces, 2));
  EXPECT_NE(PatternPixels(faces, 2), PatternPixels(faces, 3));
  EXPECT_NE(PatternPixels(faces, 5), PatternPixels(faces, 6));
  EXPECT_EQ(PatternPixels(faces, 6), PatternPixels(faces, 9));
}

TEST(PicturesTest, HighlightedMenuFacesDifferFromTheBlock) {
  const struct {
    int index, x, y;
  } faces[] = {{assets::kMNewBtn, 8, 8}, {assets::kMOptionsBtn, 87, 8}, {assets::kMHelpBtn, 210, 8}};
  const eng::Picture& block = Item(assets::kMenuBlock).picture;
  for (const auto& f : faces) {
    const eng::Picture& hi = Item(f.index).picture;
    int differ = 0;
    for (int y = 0; y < hi.Height(); ++y)
      for (int x = 0; x < hi.Width(); ++x) differ += !(hi.GetPixel(x, y) == block.GetPixel(f.x + x, f.y + y));
    EXPECT_GT(differ, hi.Width() * hi.Height() / 2) << Item(f.index).name;
  }
}

TEST(PicturesTest, BombsFallThenBlankThenIcon) {
  std::vector<std::vector<eng::Color>> icons;
  for (int index : {assets::kSQBomb, assets::kPBomb, assets::kXBomb}) {
    const eng::ImageItem& bomb = Item(index);
    SCOPED_TRACE(bomb.name);
    EXPECT_EQ(SeeThroughCount(bomb, 13), 256);
    // The bomb shrinks as it falls.
    EXPECT_LT(SeeThroughCount(bomb, 0), SeeThroughCount(bomb, 9));
    for (int p : {0, 6, 12, 14}) EXPECT_LT(SeeThroughCount(bomb, p), 256) << p;
    icons.push_back(PatternPixels(bomb, 14));
  }
  EXPECT_NE(icons[0], icons[1]);
  EXPECT_NE(icons[1], icons[2]);
  EXPECT_NE(icons[0], icons[2]);
}

TEST(PicturesTest, ExplosionGrowsThenFades) {
  const eng::ImageItem& boom = Item(assets::kExplosion);
  auto opaque = [&](int p) { return 64 * 64 - SeeThroughCount(boom, p); };
  EXPECT_GT(opaque(0), 0);
  EXPECT_LT(opaque(0), opaque(5));
  EXPECT_LT(opaque(15), opaque(10));
  EXPECT_LT(opaque(15), 64 * 64 / 4);
}

}  // namespace
