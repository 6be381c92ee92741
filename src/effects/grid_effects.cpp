#include "effects/grid_effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

// Fractional radii, frames and opacities become whole numbers half to even.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

// A splash stops holding up play at 0.8 of the grid picture's width and
// ends at its full width.
constexpr double kSplashRelease = 0.8 * GridWidth;
constexpr double kSplashEnd = GridWidth;
constexpr double kExplosionFrames = 16;
constexpr double kBombFrames = 13;
constexpr double kLabelRelease = 20;
constexpr double kLabelEnd = 1;

// The falling bomb's picture by its kind; -1 for any other kind.
int BombImage(int kind) {
  switch (kind) {
    case 4: return assets::kXBomb;
    case 5: return assets::kPBomb;
    case 6: return assets::kSQBomb;
    default: return -1;
  }
}

void CountDown(uint8_t& count) {
  if (count > 0) --count;
}

// The effect no longer holds up the game.
void Release(TEffect& e, TCommon& common) {
  e.Released = 1;
  common.AnimationEnded();
}

// Records appended while a list is walked (a bomb's detonation adds
// explosions and splashes) wait for the next frame, so each walk stops at
// the length the list had when it began. A record is fetched afresh after
// every call that may add records: the list may have moved.
void AnimateSplashes(TBattleField& grid, TCommon& common, double m) {
  std::vector<TEffect>& list = grid.SplashList;
  const size_t count = list.size();
  for (size_t i = 0; i < count && i < list.size(); ++i) {
    TEffect& e = list[i];
    if (e.Done) continue;
    if (e.Progress >= kSplashEnd) {
      // A frame long enough to carry the ring past its release point and its
      // end at once still lets go of play before the splash ends.
      if (!e.Released) Release(e, common);
      e.Done = 1;
      grid.EffectEnded();
      CountDown(grid.SplashCount);
      continue;
    }
    if (!e.Released && e.Progress >= kSplashRelease) Release(e, common);
    e.ProgressBefore = e.Progress;
    e.Progress += 0.25 * m;
    const int r = Round(e.Progress);
    if (r == Round(e.ProgressBefore)) continue;  // the same ring: not drawn again
    // The canvas leaves the box's right and bottom edges out, so the box
    // reaches one pixel further to give the ring radius r about the centre.
    grid.EffectSurface.GetCanvas().Ellipse(e.PixelX - r, e.PixelY - r, e.PixelX + r + 1, e.PixelY + r + 1);
  }
}

void AnimateExplosions(TBattleField& grid, TCommon& common, double m) {
  std::vector<TEffect>& list = grid.ExplosionList;
  const eng::ImageItem& picture = grid.Images()[assets::kExplosion];
  const size_t count = list.size();
  for (size_t i = 0; i < count && i < list.size(); ++i) {
    TEffect& e = list[i];
    if (e.Done) continue;
    if (e.Progress >= kExplosionFrames) {
      e.Done = 1;
      common.AnimationEnded();
      grid.EffectEnded();
      CountDown(grid.ExplosionCount);
    } else if (!e.Started) {
      // The delay counts in tenths of a second; nothing shows while waiting.
      e.DelayClock += 0.01 * m;
      if (e.DelayClock >= e.Delay) {
        e.Started = 1;
        if (!e.SoundName.empty()) common.PlaySound(e.SoundName);
      }
    } else {
      e.Progress += 0.04 * m;
      picture.Draw(grid.EffectSurface, e.PixelX, e.PixelY, Round(e.Progress));
    }
  }
}

void AnimateBombs(TBattleField& grid, TCommon& common, double m) {
  std::vector<TEffect>& list = grid.BombList;
  const size_t count = list.size();
  for (size_t i = 0; i < count && i < list.size(); ++i) {
    TEffect& e = list[i];
    if (e.Done) continue;
    if (e.Progress >= kBombFrames) {
      e.Done = 1;
      common.AnimationEnded();
      grid.EffectEnded();
      CountDown(grid.BombCount);
      // The detonation adds records and may move this list: e is not used after it.
      const int x = e.CellX, y = e.CellY;
      const uint8_t kind = e.BombKindOfEffect;
      grid.ApplyBomb(x, y, kind);
      continue;
    }
    e.Progress += 0.0055 * m;
    const int image = BombImage(e.BombKindOfEffect);
    if (image >= 0) grid.Images()[image].Draw(grid.EffectSurface, e.PixelX, e.PixelY, Round(e.Progress));
  }
}

// A label lets go of play once it has nearly faded; a penalty label then
// sends its rockets at the finder's own grid.
void ReleaseLabel(TBattleField& grid, TCommon& common, size_t i) {
  const uint8_t kind = grid.LabelList[i].LabelKind;
  if (kind >= cell::PenaltyRockets1) {
    const std::vector<TCellPoint> chosen = grid.LabelList[i].PenaltyTargets;
    grid.LaunchPenaltyRockets(kind, chosen);
  }
  Release(grid.LabelList[i], common);
}

void AnimateLabels(TBattleField& grid, TCommon& common, double m) {
  const size_t count = grid.LabelList.size();
  for (size_t i = 0; i < count && i < grid.LabelList.size(); ++i) {
    if (grid.LabelList[i].Done) continue;
    if (grid.LabelList[i].Fade <= kLabelEnd) {
      // A frame long enough to fade the label past its release point and its
      // end at once must not lose the release, nor a penalty's rockets.
      if (!grid.LabelList[i].Released) ReleaseLabel(grid, common, i);
      grid.LabelList[i].Done = 1;
      grid.EffectEnded();
      CountDown(grid.LabelCount);
      continue;
    }
    if (!grid.LabelList[i].Released && grid.LabelList[i].Fade <= kLabelRelease) ReleaseLabel(grid, common, i);
    TEffect& e = grid.LabelList[i];
    e.Fade -= 0.13 * m;
    e.Progress += 0.012 * m * e.Drift;
    const eng::ImageItem* picture = nullptr;
    int pattern = 0;
    if (const int image = BombImage(e.LabelKind); image >= 0) {
      picture = &grid.Images()[image];
      pattern = 14;  // the bomb's icon
    } else if (e.LabelKind >= cell::BonusShots1 && e.LabelKind <= cell::PenaltyRockets5) {
      picture = &grid.Images()[assets::kBonuses];
      pattern = e.LabelKind - cell::BonusShots1;
    }
    if (!picture) continue;
    const int alpha = std::clamp(Round(e.Fade), 0, 255);
    picture->DrawAlpha(grid.EffectSurface, eng::Rect{e.PixelX, e.PixelY - Round(e.Progress), 16, 16}, pattern, alpha);
  }
}

}  // namespace

void AnimateGridEffects(TBattleField& grid, TCommon& common, int lagCount) {
  const double m = lagCount;
  // Records that finished in an earlier frame are dropped before the walks,
  // so the lists hold what runs and not every shot of a long game.
  for (std::vector<TEffect>* list : {&grid.SplashList, &grid.ExplosionList, &grid.BombList, &grid.LabelList})
    std::erase_if(*list, [](const TEffect& e) { return e.Done != 0; });
  // The effects are drawn over a fresh copy of the cells, clipped to the grid.
  grid.EffectSurface.Draw(0, 0, grid.GridSurface, false);
  AnimateSplashes(grid, common, m);
  AnimateExplosions(grid, common, m);
  AnimateBombs(grid, common, m);
  AnimateLabels(grid, common, m);
}
