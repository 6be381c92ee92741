// The effect records through which splashes, explosions, falling bombs and
// bonus labels start on a grid, and with them the bonuses' side effects;
// the penalty rockets a faded penalty label sends at its finder; the strips
// of opened navigators, darkened under the pointer; and the hard computer's
// reading of navigators.
#include <algorithm>
#include <cstddef>
#include <random>
#include <cmath>
#include <vector>

#include "effects/rocket.h"
#include "engine/canvas.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

constexpr eng::Color kTickColour{0, 255, 0};
constexpr double kRayShade = 0.85;

uint8_t Shade(uint8_t channel) { return static_cast<uint8_t>(std::nearbyint(channel * kRayShade)); }

}  // namespace

void TBattleField::AddEffect(std::vector<TEffect>& list, uint8_t kind, const std::string& soundName, double delay,
                             TCellPoint cell) {
  TCommon* common = host_.Common();
  list.emplace_back();
  TEffect& e = list.back();
  e.Done = 0;
  e.Released = 0;
  e.Started = 0;
  e.SoundName = soundName;
  e.CellX = cell.x;
  e.CellY = cell.y;
  int x = cell.x, y = cell.y;

  bool label = false;
  if (kind == 0) {
    // A ring growing from the cell's centre.
    e.PixelX = CellSize * x - 8;
    e.PixelY = CellSize * y - 8;
    e.Progress = 1.0;
    ++SplashCount;
  } else if (kind == 1) {
    // A 64 x 64 explosion centred on the cell.
    e.PixelX = CellSize * x - 40;
    e.PixelY = CellSize * y - 40;
    e.Progress = 0;
    e.DelayClock = 0;
    e.Delay = delay;
    ++ExplosionCount;
  } else if (kind >= cell::BonusXBomb && kind <= cell::BonusSquareBomb && BombArmed == 0) {
    // A bomb falling onto the cell.
    e.PixelX = CellSize * x - CellSize;
    e.PixelY = CellSize * y - CellSize;
    e.Progress = 0;
    e.BombKindOfEffect = kind;
    ++BombCount;
  } else if (kind >= cell::BonusXBomb && kind <= cell::BonusSquareBomb) {
    // The bomb bonus just picked up.
    if (common) common->PlaySound("getbonus");
    label = true;
  } else if (kind >= cell::BonusShots1 && kind <= cell::BonusShots5) {
    // The reward for a streak of hits shows the same label without a sound.
    if (HitStreak == 0 && common) common->PlaySound("getbonus");
    ExtraShots = static_cast<uint8_t>(kind - 6);
    label = true;
  } else if (kind >= cell::PenaltyRockets1 && kind <= cell::PenaltyRockets5) {
    if (common) common->PlaySound("getbadbonus");
    label = true;
    if (common && common->Settings.GameMode == 2) e.PenaltyTargets = SharedPenaltyTargets(kind, cell);
  }

  if (label) {
    // A label on the top row starts a row lower and drifts down instead.
    if (y <= 1) {
      ++y;
      e.Drift = -1;
    } else {
      e.Drift = 1;
    }
    e.CellX = x;
    e.CellY = y;
    e.PixelX = CellSize * x - CellSize;
    e.PixelY = CellSize * y - 24;
    e.Progress = 0;
    e.Fade = 255.0;
    e.LabelKind = kind;
    e.DelayClock = 0;
    e.Delay = delay;
    ++LabelCount;
  }

  e.Index = static_cast<int32_t>(list.size()) - 1;
  if (common) ++common->AnimationsInFlight;
  ++EffectCount;
}

std::vector<TCellPoint> TBattleField::SharedPenaltyTargets(uint8_t kind, TCellPoint cell) const {
  std::vector<TCellPoint> chosen;
  TCommon* common = host_.Common();
  if (!common || kind < cell::PenaltyRockets1 || kind > cell::PenaltyRockets5) return chosen;
  const TBattleField& finder = Id == 1 ? common->EnemyGrid() : common->OwnGrid();
  std::vector<TCellPoint> pool = finder.Unshot;
  // The generator's sequence is the same everywhere; so are the seed's parts.
  std::mt19937 shared(static_cast<uint32_t>(kind * 1000003u + cell.x * 1009u + cell.y * 101u + pool.size()));
  const size_t rockets = std::min<size_t>(kind - 11u, pool.size());
  for (size_t s = 0; s < rockets; ++s) {
    const size_t i = shared() % pool.size();
    chosen.push_back(pool[i]);
    pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return chosen;
}

void TBattleField::LaunchPenaltyRockets(uint8_t kind, const std::vector<TCellPoint>& chosen) {
  if (kind < cell::PenaltyRockets1 || kind > cell::PenaltyRockets5) return;
  TCommon* common = host_.Common();
  if (!common) return;
  // The rockets strike the fleet of the side that opened the penalty: a
  // penalty on the own grid was found by the opponent, so they fly at the
  // enemy grid, and the other way round.
  TBattleField& finder = Id == 1 ? common->EnemyGrid() : common->OwnGrid();
  const int rocketKind = Id == 1 ? 2 : 1;
  if (!chosen.empty()) {
    // A cell shot meanwhile takes its rocket as any opened cell does.
    int s = 0;
    for (const TCellPoint& target : chosen) {
      const int r = Random().Random(40);
      LaunchRocket(*common, rocketKind, target, std::nearbyint(r / 10.0 + 5.0 * ++s), true);
    }
    return;
  }
  // Distinct cells, and no more rockets than cells left to shoot.
  std::vector<TCellPoint> pool = finder.Unshot;
  const int rockets = std::min<int>(kind - 11, static_cast<int>(pool.size()));
  for (int s = 1; s <= rockets; ++s) {
    const int i = Random().Random(static_cast<int>(pool.size()));
    const TCellPoint target = pool[i];
    pool.erase(pool.begin() + i);
    const int r = Random().Random(40);
    // Each leaves its launch about 167 ms after the one before.
    const double delay = std::nearbyint(r / 10.0 + 5.0 * s);
    LaunchRocket(*common, rocketKind, target, delay, true);
  }
}

void TBattleField::PruneByNavigator(TCellPoint cell, uint8_t code) {
  TCommon* common = host_.Common();
  if (!common || common->Settings.PlayedLevel() != 3 || !cell::IsNavigator(code)) return;
  int dx = 0, dy = 0;
  if (code < cell::NavigatorLeft) dx = 1;
  else if (code < cell::NavigatorUp) dx = -1;
  else if (code < cell::NavigatorDown) dy = -1;
  else dy = 1;
  const int n = code % 10;

  if (n > 0) {
    // Only once every ship cell it counts has been found.
    int found = 0;
    for (int x = cell.x + dx, y = cell.y + dy; TCellPlane::Contains(x, y); x += dx, y += dy) {
      const TSeaCell& c = TrueCells.At(x, y);
      if ((c.State == cell::Opened || c.State == cell::OpenedMarked) &&
          (c.Code == cell::HitShip || c.Code == cell::SunkShip))
        ++found;
    }
    if (found != n) return;
  }
  for (int x = cell.x + dx, y = cell.y + dy; TCellPlane::Contains(x, y); x += dx, y += dy)
    if (TrueCells.At(x, y).State == cell::Closed) RemoveFromList(TCellPoint{x, y}, Candidates, CandidateCount);
}

void TBattleField::RecheckNavigators(TCellPoint cell) {
  TCommon* common = host_.Common();
  if (!common || common->Settings.PlayedLevel() != 3) return;
  // From the hit toward each edge, the opened navigators that point back at it.
  struct Look {
    int dx, dy;
    uint8_t base;
  };
  constexpr Look kLooks[4] = {{-1, 0, cell::NavigatorRight},
                              {1, 0, cell::NavigatorLeft},
                              {0, 1, cell::NavigatorUp},
                              {0, -1, cell::NavigatorDown}};
  for (const Look& look : kLooks) {
    for (int x = cell.x + look.dx, y = cell.y + look.dy; TCellPlane::Contains(x, y); x += look.dx, y += look.dy) {
      const TSeaCell& c = TrueCells.At(x, y);
      if (c.State != cell::Opened && c.State != cell::OpenedMarked) continue;
      if (c.Code >= look.base && c.Code <= look.base + 9) PruneByNavigator(TCellPoint{x, y}, c.Code);
    }
  }
}

void TBattleField::AddNavigatorRay(TCellPoint cell) {
  const int x = cell.x, y = cell.y;
  const uint8_t c = TCellPlane::Contains(x, y) ? TrueCells.At(x, y).Code : 0;
  // Open water has no strip to show: only a navigator keeps a record, so the
  // list grows with the navigators found, not with every miss.
  if (!cell::IsNavigator(c)) return;
  RayList.emplace_back();
  TNavigatorRay& ray = RayList.back();
  auto set = [&ray](int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    ray.RayLeft = left;
    ray.RayTop = top;
    ray.RayRight = right;
    ray.RayBottom = bottom;
    ray.LineX1 = x1;
    ray.LineY1 = y1;
    ray.LineX2 = x2;
    ray.LineY2 = y2;
  };
  // The strip from the navigator to the edge it points at; the tick lies
  // across the strip's end next to the navigator.
  const int cellLeft = OriginX + CellSize * (x - 1), cellTop = OriginY + CellSize * (y - 1);
  if (c >= cell::NavigatorRight && c < cell::NavigatorLeft)
    set(cellLeft + CellSize, cellTop, OriginX + GridWidth, cellTop + CellSize, 1, 1, 1, 15);
  else if (c >= cell::NavigatorLeft && c < cell::NavigatorUp)
    set(OriginX + 1, cellTop, cellLeft, cellTop + CellSize, CellSize * (x - 1) - 2, 1, CellSize * (x - 1) - 2, 15);
  else if (c >= cell::NavigatorUp && c < cell::NavigatorDown)
    set(cellLeft, OriginY + 1, cellLeft + CellSize, cellTop, 1, CellSize * (y - 1) - 2, 15, CellSize * (y - 1) - 2);
  else if (c >= cell::NavigatorDown && c <= cell::NavigatorLast)
    set(cellLeft, cellTop + CellSize, cellLeft + CellSize, OriginY + GridHeight, 1, 1, 15, 1);
  ray.RayShown = 0;
  RaysShown = 1;
}

void TBattleField::HoverNavigatorRays(int px, int py, bool force) {
  if (Id != 2 || RaysShown != 1) return;
  const bool onGrid = px >= OriginX && px <= OriginX + GridWidth && py >= OriginY && py <= OriginY + GridHeight;
  for (TNavigatorRay& ray : RayList) {
    const int w = ray.RayRight - ray.RayLeft, h = ray.RayBottom - ray.RayTop;
    const bool over = onGrid && w > 0 && h > 0 && px >= ray.RayLeft && px < ray.RayRight && py >= ray.RayTop &&
                      py < ray.RayBottom;
    if (!over) {
      ray.RayShown = 0;
      continue;
    }
    if (ray.RayShown && !force) continue;
    // The strip as the grid shows it, a shade darker, with a green tick
    // where it begins.
    // One surface per ray, made at its first hover and drawn anew at each.
    if (ray.RaySurface.Width() != w || ray.RaySurface.Height() != h) ray.RaySurface.Create(w, h);
    if (GridSurface.Exists())
      ray.RaySurface.Draw(0, 0, GridSurface, eng::Rect{ray.RayLeft - OriginX, ray.RayTop - OriginY, w, h}, false);
    else
      ray.RaySurface.Fill(eng::kBlack);
    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) {
        const eng::Color c = ray.RaySurface.GetColor(i, j);
        ray.RaySurface.SetPixel(i, j, eng::Color{Shade(c.r), Shade(c.g), Shade(c.b)});
      }
    }
    eng::Canvas& pen = ray.RaySurface.GetCanvas();
    pen.penColor = kTickColour;
    pen.penWidth = 2;
    pen.Line(ray.LineX1, ray.LineY1, ray.LineX2, ray.LineY2);
    pen.Release();
    ray.RayShown = 1;
  }
}
