// Review sheet of the built-in assets: paints every picture as the game
// does at start-up and writes them into one labelled PNG (index, name, size,
// patterns, key), each on a grey backdrop with its patterns set apart by
// pink seams and colour-keyed pixels shown as a checkerboard. Small pictures
// are enlarged (the factor is in the label). Also writes a mock-up of the
// 640 x 480 game screen made of the pictures, and the four waves as WAV
// files next to the sheet.
//
//   picture_sheet [sheet.png]
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/image_table.h"
#include "assets/pictures.h"
#include "assets/waves.h"
#include "engine/image_list.h"

namespace {

constexpr int kSheetWidth = 1240, kMargin = 12, kLabelHeight = 16, kBand = 4, kSeam = 2;

struct Rgb {
  double r, g, b;
};

void SetRgb(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

bool IsKey(const eng::ImageItem& item, eng::Color c) {
  return item.transparent && eng::ToRGB565(c) == eng::ToRGB565(item.transparentColor);
}

int ScaleOf(const eng::ImageItem& item) {
  const int m = std::max(item.picture.Width(), item.picture.Height());
  return m <= 60 ? 4 : m <= 300 ? 2 : 1;
}

int PatternsAcross(const eng::ImageItem& item) { return item.picture.Width() / item.PatternWidth(); }
int PatternsDown(const eng::ImageItem& item) { return item.picture.Height() / item.PatternHeight(); }

// Display size of an item: patterns scaled and set apart by seams.
int ShownWidth(const eng::ImageItem& item) {
  return item.picture.Width() * ScaleOf(item) + (PatternsAcross(item) - 1) * kSeam;
}
int ShownHeight(const eng::ImageItem& item) {
  return item.picture.Height() * ScaleOf(item) + (PatternsDown(item) - 1) * kSeam;
}

// The item drawn into an ARGB image at its display size.
cairo_surface_t* ShownImage(const eng::ImageItem& item) {
  const int s = ScaleOf(item), w = ShownWidth(item), h = ShownHeight(item);
  const int pw = item.PatternWidth(), ph = item.PatternHeight();
  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
  const int stride = cairo_image_surface_get_stride(img) / 4;
  std::fill(data, data + static_cast<size_t>(stride) * h, 0xffff40a0u);  // seams
  for (int y = 0; y < item.picture.Height(); ++y)
    for (int x = 0; x < item.picture.Width(); ++x) {
      const eng::Color c = item.picture.GetPixel(x, y);
      const int ox = x * s + (x / pw) * kSeam, oy = y * s + (y / ph) * kSeam;
      for (int dy = 0; dy < s; ++dy)
        for (int dx = 0; dx < s; ++dx) {
          uint32_t v;
          if (IsKey(item, c)) {
            const bool odd = (((ox + dx) / 4) + ((oy + dy) / 4)) % 2;
            v = odd ? 0xffccccccu : 0xff8c8c8cu;
          } else {
            v = 0xff000000u | (c.r << 16) | (c.g << 8) | c.b;
          }
          data[(oy + dy) * stride + ox + dx] = v;
        }
    }
  cairo_surface_mark_dirty(img);
  return img;
}

std::string Label(int index, const eng::ImageItem& item) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%d %s  %dx%d", index, item.name.c_str(), item.picture.Width(),
                item.picture.Height());
  std::string s = buf;
  if (item.PatternCount() > 1) {
    std::snprintf(buf, sizeof buf, "  %d of %dx%d", item.PatternCount(), item.PatternWidth(), item.PatternHeight());
    s += buf;
  }
  if (item.transparent) {
    const eng::Color k = item.transparentColor;
    std::snprintf(buf, sizeof buf, "  key %d,%d,%d", k.r, k.g, k.b);
    s += buf;
  }
  if (ScaleOf(item) > 1) s += "  x" + std::to_string(ScaleOf(item));
  return s;
}

void WriteSheet(const eng::ImageList& list, const std::string& path) {
  // Flow layout: boxes left to right, wrapping.
  struct Place {
    int x, y, w, h;
  };
  std::vector<Place> places;
  int x = kMargin, y = kMargin, rowH = 0;
  cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  cairo_t* pcr = cairo_create(probe);
  cairo_select_font_face(pcr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(pcr, 11);
  for (int i = 0; i < list.Count(); ++i) {
    cairo_text_extents_t te;
    cairo_text_extents(pcr, Label(i, list[i]).c_str(), &te);
    const int w = std::max(ShownWidth(list[i]) + 2 * kBand, static_cast<int>(te.x_advance) + 4);
    const int h = kLabelHeight + ShownHeight(list[i]) + 2 * kBand;
    if (x + w > kSheetWidth - kMargin && x > kMargin) {
      x = kMargin;
      y += rowH + kMargin;
      rowH = 0;
    }
    places.push_back({x, y, w, h});
    x += w + kMargin;
    rowH = std::max(rowH, h);
  }
  cairo_destroy(pcr);
  cairo_surface_destroy(probe);
  const int height = y + rowH + kMargin;

  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
  cairo_t* cr = cairo_create(sheet);
  SetRgb(cr, {0.13, 0.13, 0.15});
  cairo_paint(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 11);
  for (int i = 0; i < list.Count(); ++i) {
    const Place& p = places[i];
    SetRgb(cr, {0.92, 0.92, 0.80});
    cairo_move_to(cr, p.x, p.y + 11);
    cairo_show_text(cr, Label(i, list[i]).c_str());
    const int bx = p.x, by = p.y + kLabelHeight;
    SetRgb(cr, {0.42, 0.42, 0.46});
    cairo_rectangle(cr, bx, by, ShownWidth(list[i]) + 2 * kBand, ShownHeight(list[i]) + 2 * kBand);
    cairo_fill(cr);
    cairo_surface_t* img = ShownImage(list[i]);
    cairo_set_source_surface(cr, img, bx + kBand, by + kBand);
    cairo_paint(cr);
    cairo_surface_destroy(img);
  }
  cairo_destroy(cr);
  cairo_surface_flush(sheet);
  if (cairo_surface_write_to_png(sheet, path.c_str()) != CAIRO_STATUS_SUCCESS)
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
  cairo_surface_destroy(sheet);
}

// A 640 x 480 mock-up of the game screen: the pictures at their places of
// the screen layout, keyed as the game keys them, with a few cells of
// every kind on the grids. Only for judging the look as a whole.
void WriteScreen(const eng::ImageList& list, const std::string& path) {
  eng::Picture screen(640, 480);
  auto blit = [&](int index, int pattern, int dx, int dy, bool keyed) {
    const eng::ImageItem& item = list[index];
    const eng::Rect r = item.PatternRect(pattern);
    for (int y = 0; y < r.h; ++y)
      for (int x = 0; x < r.w; ++x) {
        const eng::Color c = item.picture.GetPixel(r.x + x, r.y + y);
        if (keyed && eng::ToRGB565(c) == eng::ToRGB565(item.transparentColor)) continue;
        screen.SetPixel(dx + x, dy + y, c);
      }
  };
  const eng::Picture& bg = list[assets::kBackground].picture;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) screen.SetPixel(x, y, bg.GetPixel(x * 480 / 640, y * 360 / 480));
  for (int i = 0; i < 3; ++i) blit(assets::kCloseBtn, i, 588 + 17 * i, 2, true);
  blit(assets::kMenuBlock, 0, 170, 10, true);
  blit(assets::kMNewBtn, 0, 178, 18, false);
  blit(assets::kStatusBlock, 0, 54, 65, true);
  for (int g = 0; g < 2; ++g) {
    const int ox = g == 0 ? 31 : 353, fx = ox - 16;
    for (int cy = 0; cy < 17; ++cy)
      for (int cx = 0; cx < 16; ++cx) {
        int index = g == 0 ? assets::kOpenCell : assets::kCloseCell;
        const int k = (cx * 7 + cy * 3) % 23;
        if (g == 1 && cy > 9) index = assets::kOpenCell;
        if (k == 0) index = assets::kHint1Cell;
        if (k == 1) index = assets::kHint2Cell;
        if (k == 2 && g == 1) index = assets::kMarkedCell;
        blit(index, 0, ox + cx * 16, 108 + cy * 16, false);
      }
    for (int i = 0; i < 4; ++i) blit(g == 0 ? assets::kRFixShipCell : assets::kDestrShipCell, 0, ox + 32 + i * 16, 140, false);
    for (int i = 0; i < 3; ++i) blit(g == 0 ? assets::kRedShipCell : assets::kDamShipCell, 0, ox + 160, 200 + i * 16, false);
    blit(assets::kBlackShipCell, 0, ox + 96, 300, false);
    blit(assets::kBlackShipCell, 0, ox + 112, 300, false);
    blit(assets::kNavigators, g == 0 ? 3 : 12, ox + 64, 240, false);
    blit(assets::kNavigators, g == 0 ? 27 : 31, ox + 80, 240, false);
    blit(assets::kCloseCellDark, 0, ox + 208, 348, false);
    blit(assets::kCloseCell, 0, ox + 224, 348, false);
    blit(assets::kMainBlock1, 0, fx, 92, false);
    blit(assets::kMainBlock2, 0, fx, 92, false);
    blit(assets::kMainBlock3, 0, fx, 380, false);
    blit(assets::kMainBlock4, 0, fx + 272, 92, false);
  }
  blit(assets::kCounter, 0, 303, 131, true);
  blit(assets::kScoreTable, 0, 299, 95, true);
  blit(assets::kExplosion, 4, 353 + 40, 108 + 60, true);
  blit(assets::kSQBomb, 3, 353 + 200, 108 + 200, true);
  blit(assets::kRocket, 0, 300, 250, true);
  blit(assets::kButtonBlock, 0, 195, 384, true);
  blit(assets::kSCblock, 1, 195 + 38, 384 + 11, false);
  blit(assets::kSCmodif, 0, 195 + 110, 384 + 11, false);
  blit(assets::kSCblock, 11, 195 + 148, 384 + 11, false);
  blit(assets::kSendBtn, 0, 470, 441, false);
  blit(assets::kScursor, 1, 480, 200, true);
  blit(assets::kBonuses, 2, 496, 216, true);

  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 640, 480);
  auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
  const int stride = cairo_image_surface_get_stride(img) / 4;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const eng::Color c = eng::FromRGB565(eng::ToRGB565(screen.GetPixel(x, y)));  // as the 16-bit display shows it
      data[y * stride + x] = 0xff000000u | (c.r << 16) | (c.g << 8) | c.b;
    }
  cairo_surface_mark_dirty(img);
  cairo_surface_write_to_png(img, path.c_str());
  cairo_surface_destroy(img);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "picture_sheet.png";
  using Clock = std::chrono::steady_clock;

  eng::ImageList list;
  auto t0 = Clock::now();
  assets::PaintPictures(list);
  const double first = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  double later = 0;
  const int runs = 5;
  for (int i = 0; i < runs; ++i) {
    eng::ImageList again;
    t0 = Clock::now();
    assets::PaintPictures(again);
    later += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  }
  std::printf("PaintPictures: %.1f ms first call (fonts loading), %.1f ms on average after\n", first, later / runs);

  WriteSheet(list, path);
  std::printf("wrote %s\n", path.c_str());
  std::filesystem::path p(path);
  const std::filesystem::path dir = p.parent_path();
  const std::string screenPath = (dir / (p.stem().string() + "_screen.png")).string();
  WriteScreen(list, screenPath);
  std::printf("wrote %s\n", screenPath.c_str());

  eng::WaveList waves;
  assets::BuildWaves(waves);
  for (int i = 0; i < waves.Count(); ++i) {
    const std::string wavPath = (dir / (waves[i].name + ".wav")).string();
    assets::WriteWav(waves[i], wavPath);
    std::printf("wrote %s (%.2f s)\n", wavPath.c_str(), waves[i].Seconds());
  }
  return 0;
}
