// What must hold after every frame of the game, whatever the player did:
// the rules the hunting tool checks. Each check throws a Breach naming what
// it found.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace hunt {

struct Breach : std::runtime_error {
  explicit Breach(const std::string& what) : std::runtime_error(what) {}
};

// Each rule has a short name; rules named on the command line are only
// counted, so a known fault does not hide the others behind it.
class Rules {
 public:
  std::set<std::string> ignored;
  std::map<std::string, uint64_t> ignoredSeen;

  template <class Text>
  void Require(bool ok, const char* rule, Text what) {
    if (ok) return;
    if (ignored.count(rule)) {
      ++ignoredSeen[rule];
      return;
    }
    throw Breach(std::string(rule) + ": " + what());
  }
};

// The codes a cell may hold; a ship in hand (3 allowed, 49 blocked) only
// ever stands in the shown plane.
inline bool KnownCode(uint8_t c) {
  return c <= 16 || (c >= 49 && c <= 52) || (c >= 100 && c <= 139);
}

inline std::string GridName(const TBattleField& g) { return g.Id == 1 ? "own grid" : "enemy grid"; }

inline void CheckCounters(Rules& rules, const TCommon& c, const TBattleField& g) {
  const std::string n = GridName(g);
  auto count = [&](const char* name, long value) { return [=] { return n + ": " + name + " " + std::to_string(value); }; };
  rules.Require(g.EffectCount >= 0, "counter", count("EffectCount", g.EffectCount));
  rules.Require(c.AnimationsInFlight >= 0, "counter",
                [&] { return "AnimationsInFlight " + std::to_string(c.AnimationsInFlight); });
  // The per-list counts are unsigned: one lowered below 0 wraps above its list.
  rules.Require(g.SplashCount <= g.SplashList.size(), "counter", count("SplashCount", g.SplashCount));
  rules.Require(g.ExplosionCount <= g.ExplosionList.size(), "counter", count("ExplosionCount", g.ExplosionCount));
  rules.Require(g.BombCount <= g.BombList.size(), "counter", count("BombCount", g.BombCount));
  rules.Require(g.LabelCount <= g.LabelList.size(), "counter", count("LabelCount", g.LabelCount));
  rules.Require(g.FlyingCount <= g.FlightList.size(), "counter", count("FlyingCount", g.FlyingCount));
  rules.Require(g.UnshotCount == static_cast<int>(g.Unshot.size()), "counter", count("UnshotCount", g.UnshotCount));
  rules.Require(g.CandidateCount == static_cast<int>(g.Candidates.size()), "counter",
                count("CandidateCount", g.CandidateCount));
}

inline void CheckCells(Rules& rules, const TBattleField& g, bool placed) {
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) {
      const TSeaCell& t = g.TrueCells.At(x, y);
      const TSeaCell& s = g.ShownCells.At(x, y);
      const bool sound = t.State <= 3 && s.State <= 3 && t.KnownFree <= 1 && s.KnownFree <= 1 && KnownCode(t.Code) &&
                         KnownCode(s.Code) && t.Code != cell::PlacingShip && (!placed || t.Code != cell::BlockedShip);
      if (sound) continue;
      auto bytes = [](const TSeaCell& c) {
        return std::to_string(c.State) + "/" + std::to_string(c.Code) + "/" + std::to_string(c.KnownFree);
      };
      rules.Require(false, "cell", [&] {
        return GridName(g) + " (" + std::to_string(x) + "," + std::to_string(y) + ") TrueCells " + bytes(t) +
               ", ShownCells " + bytes(s) + (placed ? " after placement" : " in placement");
      });
      return;
    }
}

// Once the battle is on, a grid holds its whole fleet of 20 ship cells and
// every fixed ship lies on them, or the fleet could never be sunk.
inline void CheckFleet(Rules& rules, const TBattleField& g) {
  const std::string n = GridName(g);
  int shipCells = 0;
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) {
      const uint8_t t = g.TrueCells.At(x, y).Code;
      shipCells += t == cell::Ship || t == cell::SunkShip || t == cell::HitShip;
    }
  rules.Require(shipCells == 20, "fleet", [&] { return n + ": " + std::to_string(shipCells) + " ship cells in battle"; });
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord& ship = g.Slot(k);
    const std::string slot = n + ": slot " + std::to_string(k);
    rules.Require(ship.Placed == 1, "fleet", [&] { return slot + " not placed in battle"; });
    const int size = ship.ShapeSize();
    int cells = 0;
    for (int row = 0; row < size; ++row)
      for (int col = 0; col < size; ++col) {
        if (ship.Shape[row][col] != cell::Ship) continue;
        ++cells;
        const int x = ship.X + col, y = ship.Y + row;
        const uint8_t t = TCellPlane::Contains(x, y) ? g.TrueCells.At(x, y).Code : 0;
        rules.Require(t == cell::Ship || t == cell::SunkShip || t == cell::HitShip, "fleet", [&] {
          return slot + " cell (" + std::to_string(x) + "," + std::to_string(y) + ") holds code " + std::to_string(t);
        });
      }
    rules.Require(cells == ship.Type, "fleet", [&] { return slot + " has " + std::to_string(cells) + " ship cells"; });
  }
}

// The placement panel, whenever it is shown or open, lies on the screen.
inline void CheckPanel(Rules& rules, const TCommon& c) {
  if (!c.ChooserShown && c.ChooserClosed) return;
  rules.Require(c.ChooserY >= 0 && c.ChooserY + 55 <= 480, "panel",
                [&] { return "the placement panel is at y " + std::to_string(c.ChooserY); });
}

inline bool FleetPlaced(const TBattleField& g) {
  for (int k = 1; k <= kFleetSize; ++k)
    if (!g.Slot(k).Placed) return false;
  return true;
}

inline void CheckAll(Rules& rules, const TCommon& c, const TBattleField& own, const TBattleField& enemy) {
  for (const TBattleField* g : {&own, &enemy}) {
    CheckCounters(rules, c, *g);
    CheckCells(rules, *g, c.BattlePhase == 1 || FleetPlaced(*g));
  }
  if (c.BattlePhase == 1 && c.Settings.GameMode == 1) {
    CheckFleet(rules, own);
    CheckFleet(rules, enemy);
  }
  CheckPanel(rules, c);
}

// The moving parts of the game, to tell whether something advanced them.
inline std::vector<double> MovingParts(const TCommon& c, TBattleField& own, TBattleField& enemy,
                                       eng::SpriteEngine& sprites) {
  std::vector<double> v{double(c.MouseX), double(c.ChooserY), c.ChooserSlide, c.ShatterClock, c.AssembleClock,
                        double(c.AnimationsInFlight)};
  for (int i = 0; i < sprites.Count(); ++i) v.push_back(sprites[i]->X);
  for (TBattleField* g : {&own, &enemy}) {
    for (const std::vector<TEffect>* list : {&g->SplashList, &g->ExplosionList, &g->BombList, &g->LabelList})
      for (const TEffect& e : *list) {
        v.push_back(e.Progress);
        v.push_back(e.Fade);
        v.push_back(e.DelayClock);
      }
    for (const TFlight& f : g->FlightList) v.push_back(f.FlyY);
  }
  return v;
}

// Pixels of the panels and grids, to tell whether an event lost them.
inline std::vector<uint16_t> SurfacePixels(TCommon& c, TBattleField& own, TBattleField& enemy) {
  std::vector<uint16_t> v;
  for (eng::Surface* s : {&c.CounterSurface, &c.ChooserSurface, &c.MenuSurface, &c.StatusSurface, &c.ScoreSurface,
                          &own.GridSurface, &enemy.GridSurface}) {
    if (!s->Exists()) continue;
    for (int y = 0; y < s->Height(); ++y)
      for (int x = 0; x < s->Width(); ++x) v.push_back(s->GetPixel(x, y));
  }
  return v;
}

}  // namespace hunt
