// The sunk-ship meter and the end of a game: when a grid loses its tenth
// ship, fireworks burst over it, the status panel names the winner and the
// score board gives the winner a point.
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

// Lines of the meter per sunk ship.
constexpr int kMeterStep = 20;
// The fireworks: groups of ten silent bursts, one group every 100 ms for
// 2 s, and a loud one every half second.
constexpr int kFireworkGroups = 21;
constexpr int kBurstsPerGroup = 10;

}  // namespace

void TBattleField::StartSunkMeter(uint8_t count) {
  TSunkMeter& m = SunkMeter;
  m.MeterTarget = static_cast<uint8_t>(kMeterStep * count);
  // A meter already growing only reaches further.
  if (m.MeterRunning) return;
  m.MeterValue = static_cast<uint8_t>(m.MeterTarget - kMeterStep);
  m.MeterLevel = 0;
  m.MeterLevelBefore = 0;
  m.MeterRunning = 1;
}

void TBattleField::GameOver() {
  for (int r = 0; r < kFireworkGroups; ++r) {
    for (int i = 0; i < kBurstsPerGroup; ++i) {
      const int x = Random().Random(GridCols) + 1;
      const int y = Random().Random(GridRows) + 1;
      AddEffect(ExplosionList, 1, "", r, TCellPoint{x, y});
    }
    const int next = r + 1;
    if (next % 5 == 0) {
      const int x = Random().Random(GridCols) + 1;
      const int y = Random().Random(GridRows) + 1;
      AddEffect(ExplosionList, 1, "explode", next, TCellPoint{x, y});
    }
  }

  TCommon* common = host_.Common();
  if (!common) return;
  if (Id == 1) {
    // In a network game the winner is the player on the other machine.
    const bool network = common->Settings.GameMode == 2;
    common->SetStatus(2, network ? W("Выиграл ") + common->OpponentName + "!" : W("Выиграл компьютер!"), false);
    common->BlinkStatus(2, false);
    common->AddPoint(2);
    // The loser is shown the winner's ships it never found, once the
    // fireworks over the own grid are over.
    common->RevealPending = 1;
  } else {
    common->SetStatus(2, W("Выиграл ") + common->Settings.PlayerName() + "!", false);
    common->BlinkStatus(2, false);
    common->AddPoint(1);
  }
}

int TBattleField::RevealSurvivors() {
  int shown = 0;
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) {
      if (TrueCells.At(x, y).Code != cell::Ship) continue;
      TSeaCell& c = ShownCells.At(x, y);
      if (c.State == cell::Opened || c.State == cell::OpenedMarked) continue;
      c = TSeaCell{cell::Opened, cell::NotFoundShip, 0};
      DrawCell(x, y);
      ++shown;
    }
  return shown;
}
