// The pictures of the help page, cut from the game's own images: every kind
// of cell, the miss hints and a navigator shown in small stretches of sea,
// the bonus icons, the three bombs with the cells they strike, the menu and
// the pointer. Small pictures are written twice their size, pixel for pixel,
// so they read well beside the text. The frames of a real game come from
// game_frame.
//
//   help_pictures OUTDIR
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/image_table.h"
#include "assets/pictures.h"
#include "tool_png.h"

namespace {

using namespace assets;

constexpr int kZoom = 2;

// One cell of a scene: an image of the collection and its pattern.
struct Cell {
  int image;
  int pattern = 0;
};

class Writer {
 public:
  Writer(const eng::ImageList& list, std::filesystem::path dir) : list_(list), dir_(std::move(dir)) {}

  bool Save(const tool::Canvas& c, const std::string& name) {
    ok_ = c.Scaled(kZoom).WritePng((dir_ / (name + ".png")).string()) && ok_;
    return ok_;
  }
  // Rows of cells, 16 pixels each; a cell may carry a second picture over it.
  void Scene(const std::string& name, const std::vector<std::vector<Cell>>& rows,
             const std::vector<std::pair<std::pair<int, int>, Cell>>& over = {}) {
    tool::Canvas c(16 * static_cast<int>(rows[0].size()), 16 * static_cast<int>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        c.Draw(list_[rows[y][x].image], rows[y][x].pattern, 16 * static_cast<int>(x), 16 * static_cast<int>(y));
    for (const auto& [at, cell] : over) c.Draw(list_[cell.image], cell.pattern, 16 * at.first, 16 * at.second);
    Save(c, name);
  }
  // One pattern of an image on its own, on the closed sea when it is keyed.
  void Single(const std::string& name, int image, int pattern = 0, bool onSea = true) {
    const eng::ImageItem& item = list_[image];
    tool::Canvas c(item.PatternWidth(), item.PatternHeight());
    if (item.transparent && onSea)
      for (int y = 0; y < c.Height(); y += 16)
        for (int x = 0; x < c.Width(); x += 16) c.Draw(list_[kOpenCell], 0, x, y);
    c.Draw(item, pattern, 0, 0);
    Save(c, name);
  }
  bool Ok() const { return ok_; }

 private:
  const eng::ImageList& list_;
  std::filesystem::path dir_;
  bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: help_pictures OUTDIR\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[1], ec);
  eng::ImageList list;
  PaintPictures(list);
  Writer w(list, argv[1]);

  // The cells as the grids show them.
  w.Single("cell_closed", kCloseCell);
  w.Single("cell_open", kOpenCell);
  w.Scene("cell_free", {{{kCloseCell}}}, {{{0, 0}, {kCloseCellDark}}});
  w.Single("cell_marked", kMarkedCell);
  w.Single("cell_side", kHint1Cell);
  w.Single("cell_corner", kHint2Cell);
  w.Single("ship_placing", kRedShipCell);
  {
    // A ship where it may not stand is shown in grey.
    eng::Picture grey = list[kRedShipCell].picture;
    grey.ToGrey();
    tool::Canvas c(16, 16);
    c.Draw(grey, eng::Rect{0, 0, 16, 16}, 0, 0);
    w.Save(c, "ship_blocked");
  }
  w.Single("ship_fixed", kRFixShipCell);
  w.Single("ship_hit", kDamShipCell);
  w.Single("ship_sunk", kDestrShipCell);
  w.Single("ship_notfound", kNotFoundCell);

  // The miss hints: a damaged two-cell ship, a miss at its side and one at
  // its corner; the water beyond touches no ship.
  w.Scene("hints", {
                       {{kCloseCell}, {kCloseCell}, {kCloseCell}, {kHint2Cell}, {kCloseCell}},
                       {{kOpenCell}, {kHint1Cell}, {kDamShipCell}, {kCloseCell}, {kCloseCell}},
                       {{kCloseCell}, {kCloseCell}, {kCloseCell}, {kDamShipCell}, {kCloseCell}},
                   });
  // A sunk ship: every closed cell around it is marked; a miss beside it
  // keeps its hint.
  w.Scene("sunk", {
                      {{kMarkedCell}, {kMarkedCell}, {kMarkedCell}, {kCloseCell}},
                      {{kMarkedCell}, {kDestrShipCell}, {kHint1Cell}, {kMarkedCell}},
                      {{kMarkedCell}, {kMarkedCell}, {kDestrShipCell}, {kMarkedCell}},
                      {{kCloseCell}, {kMarkedCell}, {kMarkedCell}, {kMarkedCell}},
                  });
  // The darkened cells around a miss that touches no ship.
  w.Scene("free", {
                      {{kCloseCell}, {kCloseCell}, {kCloseCell}, {kCloseCell}, {kCloseCell}},
                      {{kCloseCell}, {kCloseCell}, {kCloseCell}, {kCloseCell}, {kCloseCell}},
                      {{kCloseCell}, {kCloseCell}, {kOpenCell}, {kCloseCell}, {kCloseCell}},
                      {{kCloseCell}, {kCloseCell}, {kCloseCell}, {kCloseCell}, {kCloseCell}},
                  },
          {{{1, 1}, {kCloseCellDark}}, {{2, 1}, {kCloseCellDark}}, {{3, 1}, {kCloseCellDark}},
           {{1, 2}, {kCloseCellDark}}, {{3, 2}, {kCloseCellDark}}, {{1, 3}, {kCloseCellDark}},
           {{2, 3}, {kCloseCellDark}}, {{3, 3}, {kCloseCellDark}}});
  // A navigator that points right and counts the two ship cells beyond it
  // (shown here as fixed ships, as they lie in the sea).
  w.Scene("navigator", {{{kNavigators, 2}, {kCloseCell}, {kRFixShipCell}, {kCloseCell}, {kCloseCell},
                         {kRFixShipCell}, {kCloseCell}, {kCloseCell}}});
  // One navigator of each direction: right, left, up, down.
  for (int d = 0; d < 4; ++d) {
    static const char* const kNames[] = {"nav_right", "nav_left", "nav_up", "nav_down"};
    w.Single(kNames[d], kNavigators, 10 * d + (d == 1 ? 0 : d + 1));
  }

  // Bonus icons: extra shots 1 to 5, penalty rockets 1 to 5, the bombs.
  for (int i = 0; i < 5; ++i) {
    w.Single("shots" + std::to_string(i + 1), kBonuses, i);
    w.Single("rockets" + std::to_string(i + 1), kBonuses, 5 + i);
  }
  const struct {
    const char* name;
    int image;
    bool corners, sides;
  } bombs[] = {{"bomb_x", kXBomb, true, false}, {"bomb_plus", kPBomb, false, true}, {"bomb_square", kSQBomb, true, true}};
  for (const auto& b : bombs) {
    w.Single(std::string(b.name), b.image, 14);
    // The cells the bomb strikes, opened, round its centre.
    std::vector<std::vector<Cell>> rows(5, std::vector<Cell>(5, Cell{kCloseCell}));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const bool corner = dx != 0 && dy != 0, side = (dx == 0) != (dy == 0);
        if ((dx == 0 && dy == 0) || (corner && b.corners) || (side && b.sides)) rows[2 + dy][2 + dx] = Cell{kOpenCell};
      }
    w.Scene(std::string(b.name) + "_cells", rows, {{{2, 2}, {b.image, 14}}});
  }

  // The menu, the send button of the chat line, the pointer aiming and waiting.
  w.Single("menu", kMenuBlock, 0, false);
  w.Single("send", kSendBtn, 0);
  w.Single("cursor_aim", kScursor, 1);
  w.Single("cursor_wait", kScursor, 0);
  return w.Ok() ? 0 : 1;
}
