// A screen interface built the way the main window builds it: the painted
// pictures, two grids, a manual clock, a silent sound device and a settings
// file in a temporary directory. Shared by the panel, score and status tests.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "assets/image_table.h"
#include "assets/pictures.h"
#include "engine/clock.h"
#include "engine/image_list.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/surface.h"
#include "sea/battle_field.h"
#include "ui/common.h"
#include "ui/ui_host.h"

namespace uitest {

struct QuietHost : WindowlessHost {
  int messages = 0;
  void ShowMessage(const std::string&) override { ++messages; }
  int SessionPlayerCount() override { return 1; }
};

// Painting all 38 pictures takes a moment, and no test changes them.
inline eng::ImageList& PaintedImages() {
  static eng::ImageList* list = [] {
    auto* l = new eng::ImageList;
    assets::PaintPictures(*l);
    l->RestoreAll();
    return l;
  }();
  return *list;
}

inline std::string FreshSettingsPath() {
  static int serial = 0;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("salvora_ui_" + std::to_string(getpid()) + "_" + std::to_string(++serial));
  std::filesystem::create_directories(dir);
  return (dir / "config.opt").string();
}

class UiTest : public ::testing::Test {
 protected:
  UiTest() {
    own.Id = 1;
    own.OriginX = 31;
    own.OriginY = 108;
    enemy.Id = 2;
    enemy.OriginX = 353;
    enemy.OriginY = 108;
    // What the main window does once the display is up.
    common.SCblockCopy = images[assets::kSCblock].picture;
    common.SCmodifCopy = images[assets::kSCmodif].picture;
    common.CreateSurfaces();
    common.RestoreSurfaces();
    back.Create(640, 480);
  }
  ~UiTest() override {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(settingsPath).parent_path(), ec);
  }

  eng::ImageList& images = PaintedImages();
  eng::WaveList waves;
  eng::SoundDevice sound;  // never initialised: silent
  eng::RandomSource random{11};
  eng::ManualClock clock;
  QuietHost host;
  std::string settingsPath = FreshSettingsPath();
  // The grids hold a reference to the interface built right after them.
  TBattleField own{images, random, common};
  TBattleField enemy{images, random, common};
  eng::SpriteEngine sprites;
  TCommon common{UiServices{images, waves, sound, random, clock, host, settingsPath, &sprites}, own, enemy};
  eng::Surface back;
};

// The pixel a colour of a picture becomes on a 16-bit surface.
inline uint16_t Px(const eng::Picture& p, int x, int y) { return eng::ToRGB565(p.GetPixel(x, y)); }

// True when the rectangle of the surface at (sx, sy) shows the picture's
// rectangle r pixel for pixel.
inline bool Shows(const eng::Surface& s, int sx, int sy, const eng::Picture& p, eng::Rect r) {
  for (int y = 0; y < r.h; ++y)
    for (int x = 0; x < r.w; ++x)
      if (s.GetPixel(sx + x, sy + y) != Px(p, r.x + x, r.y + y)) return false;
  return true;
}

// Bounding box of the pixels of exactly one colour inside a rectangle.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  bool Empty() const { return right < 0; }
  double CentreX() const { return (left + right) / 2.0; }
  double CentreY() const { return (top + bottom) / 2.0; }
};

inline Box ColourBox(const eng::Surface& s, eng::Rect area, eng::Color c) {
  Box b;
  const uint16_t want = eng::ToRGB565(c);
  for (int y = area.y; y < area.Bottom(); ++y)
    for (int x = area.x; x < area.Right(); ++x)
      if (s.GetPixel(x, y) == want) {
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
      }
  return b;
}

}  // namespace uitest
