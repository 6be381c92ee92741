// The image collection the grid tests draw with: every item at the table's
// sizes, each one solid colour and every navigator pattern another, so the
// picture a cell got can be read back from the pixels.
#pragma once
#include <string>

#include "assets/image_table.h"
#include "engine/image_list.h"

namespace testimg {

inline eng::Color ItemColor(int i) {
  return eng::RGB(static_cast<uint8_t>((i % 32) * 8), static_cast<uint8_t>(64 + (i / 32) * 4), 200);
}
inline eng::Color NavColor(int p) {
  return eng::RGB(static_cast<uint8_t>((p % 32) * 8), static_cast<uint8_t>(128 + (p / 32) * 4), 40);
}
// The key of the known-free veil, which covers only the left half of a cell
// here, so what lies under it stays readable on the right.
inline constexpr eng::Color kDarkKey{248, 0, 248};

inline eng::ImageList MakeImages() {
  eng::ImageList list;
  for (int i = 0; i < assets::kImageCount; ++i) {
    const assets::ImageSpec& image = assets::kImageSpecs[i];
    eng::ImageItem& item = list.Add();
    item.name = std::string(image.name);
    item.picture.SetSize(image.width, image.height);
    item.picture.Fill(ItemColor(i));
    item.patternWidth = image.patternWidth;
    item.patternHeight = image.patternHeight;
  }
  eng::ImageItem& nav = list[assets::kNavigators];
  for (int p = 0; p < 40; ++p)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) nav.picture.SetPixel((p % 10) * 16 + x, (p / 10) * 16 + y, NavColor(p));
  eng::ImageItem& dark = list[assets::kCloseCellDark];
  dark.transparent = true;
  dark.transparentColor = kDarkKey;
  for (int y = 0; y < 16; ++y)
    for (int x = 8; x < 16; ++x) dark.picture.SetPixel(x, y, kDarkKey);
  list.RestoreAll();
  return list;
}

}  // namespace testimg
