// A screen interface for the grid tests that records what the grid asks of it.
#pragma once
#include <functional>
#include <utility>
#include <vector>

#include "sea/sea_host.h"

struct FakeSeaHost : SeaHost {
  int resets = 0;
  int dragReloads = 0;
  int lastDragWidth = 0;
  std::vector<std::pair<int, int>> retints;
  int fleetsComplete = 0;
  std::function<void()> onFleetComplete;  // looks at the grids as the interface would

  void ResetTurnState() override { ++resets; }
  void ReloadDragPicture(const eng::Picture& image) override {
    ++dragReloads;
    lastDragWidth = image.Width();
  }
  void RetintCurrentShip(int x, int y) override { retints.emplace_back(x, y); }
  void OwnFleetComplete() override {
    ++fleetsComplete;
    if (onFleetComplete) onFleetComplete();
  }
};
