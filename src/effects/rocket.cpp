#include "effects/rocket.h"

#include "assets/image_table.h"
#include "sea/battle_field.h"
#include "ui/common.h"

TRocket::TRocket(TCommon& common, TBattleField& target, TCellPoint cell, double delay, bool collateral, int divisor)
    : TargetGrid(target),
      TargetCell(cell),
      TargetX(target.OriginX + 16 * cell.x),
      Collateral(collateral ? 1 : 0),
      Divisor(static_cast<float>(divisor)),
      Delay(static_cast<float>(delay)),
      common_(common) {}

void TRocket::DoMove(int lagCount) {
  eng::ImageSprite::DoMove(lagCount);
  const bool toOwnGrid = TargetGrid.Id == 1;
  if (LaunchClock < Delay) {
    // The launch: the rocket creeps toward its target.
    LaunchClock += 0.03f * lagCount;
    X += (toOwnGrid ? -0.025 : 0.025) * lagCount;
    return;
  }
  // Acceleration: faster the longer it has flown.
  const double step = 0.01 * lagCount + (static_cast<double>(FlightClock) / Divisor) * lagCount;
  bool arrived;
  if (toOwnGrid) {
    X -= step;
    arrived = TargetX >= X;
  } else {
    X += step;
    arrived = X + Width >= TargetX;
  }
  FlightClock += lagCount;
  if (!arrived) return;
  TargetGrid.Shoot(TargetCell, Collateral != 0);
  TargetGrid.EffectEnded();
  common_.AnimationEnded();
  Dead();
}

TRocket* LaunchRocket(TCommon& common, int kind, TCellPoint cell, double delay, bool collateral) {
  eng::SpriteEngine* sprites = common.Services().sprites;
  if (!sprites) return nullptr;
  TBattleField& shooter = kind == 1 ? common.EnemyGrid() : common.OwnGrid();
  TBattleField& target = kind == 1 ? common.OwnGrid() : common.EnemyGrid();
  const int divisor = 150 + common.Services().random.Random(250);
  TRocket* rocket = sprites->Add<TRocket>(common, target, cell, delay, collateral, divisor);
  ++common.AnimationsInFlight;
  ++target.EffectCount;
  // It leaves from the right-hand edge of the same column on the shooter's grid.
  const eng::ImageItem& image = common.Services().images[target.Id == 1 ? assets::kRocket2 : assets::kRocket];
  rocket->Image = &image;
  rocket->X = shooter.OriginX + 16 * cell.x;
  rocket->Y = common.OwnGrid().OriginY + 16 * (cell.y - 1);
  rocket->Z = 4;
  rocket->Width = image.PatternWidth();
  rocket->Height = image.PatternHeight();
  return rocket;
}
