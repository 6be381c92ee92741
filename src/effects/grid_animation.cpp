#include "effects/grid_animation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

// The telling rows of the meter's rainbow; the lines between are blended.
struct Stop {
  int line;
  eng::Color colour;
};
constexpr std::array<Stop, 9> kRainbow{{{1, {252, 0, 16}},
                                        {20, {239, 147, 0}},
                                        {33, {244, 248, 4}},
                                        {60, {111, 255, 4}},
                                        {100, {111, 251, 245}},
                                        {121, {50, 89, 250}},
                                        {150, {127, 0, 254}},
                                        {170, {231, 3, 222}},
                                        {198, {229, 0, 15}}}};

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

eng::Color MeterColour(int line) {
  // Lines past the last colour (ten sunk ships draw up to 200) keep its red.
  line = std::clamp(line, kRainbow.front().line, kRainbow.back().line);
  for (size_t i = 1; i < kRainbow.size(); ++i) {
    if (line > kRainbow[i].line) continue;
    const Stop& a = kRainbow[i - 1];
    const Stop& b = kRainbow[i];
    const double t = static_cast<double>(line - a.line) / (b.line - a.line);
    auto mix = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return eng::Color{mix(a.colour.r, b.colour.r), mix(a.colour.g, b.colour.g), mix(a.colour.b, b.colour.b)};
  }
  return kRainbow.back().colour;
}

void MeterStep(TBattleField& grid, eng::Surface& counter, int lagCount) {
  TSunkMeter& m = grid.SunkMeter;
  if (!m.MeterRunning) return;
  m.MeterLevelBefore = m.MeterLevel;
  m.MeterLevel += 0.02f * lagCount;
  const int n = Round(m.MeterLevel);
  if (n != Round(m.MeterLevelBefore)) {
    const int x0 = grid.Id == 1 ? 10 : 20;
    eng::Canvas& pen = counter.GetCanvas();
    pen.penWidth = 1;
    for (int l = 1; l <= m.MeterValue + n; ++l) {
      pen.penColor = MeterColour(l);
      pen.Line(x0, 219 - l, x0 + 4, 219 - l);
    }
  }
  if (m.MeterValue + n >= m.MeterTarget) m.MeterRunning = 0;
}

void DrawShownRays(TBattleField& grid, eng::Surface& back) {
  if (!grid.RaysShown || grid.EffectCount != 0) return;
  for (const TNavigatorRay& ray : grid.RayList)
    if (ray.RayShown) back.Draw(ray.RayLeft, ray.RayTop, ray.RaySurface, false);
}

void DrawCursorIcons(TBattleField& grid, TCommon& common, eng::Surface& back) {
  if (common.CursorPattern != 1) return;
  const eng::ImageList& images = common.Services().images;
  const int x = common.MouseX + 16, y = common.MouseY + 16;
  if (grid.ExtraShots > 0) images[assets::kBonuses].Draw(back, x, y, grid.ExtraShots - 1);
  if (grid.BombArmed == 1) {
    int image = -1;
    if (grid.BombKind == 4) image = assets::kXBomb;
    if (grid.BombKind == 5) image = assets::kPBomb;
    if (grid.BombKind == 6) image = assets::kSQBomb;
    if (image >= 0) images[image].Draw(back, x, y, 14);
  }
}
