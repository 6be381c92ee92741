// The program's icon at the sizes of the desktop's icon theme, painted from
// the game's own cells: a burning two-cell ship on a closed sea with the miss
// hints around it and a rocket on its way, each pixel of the 16-pixel cells enlarged to whole pixels
// so the icon stays as sharp as the game. The smallest sizes show the burning
// cell alone. Writes OUTDIR/<n>x<n>/apps/salvora.png for every size.
//
//   icon_painter OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "assets/image_table.h"
#include "assets/pictures.h"
#include "tool_png.h"

namespace {

using namespace assets;

// Four by four cells: the ship lies on the diagonal (1,1)-(2,2); the cells
// beside it show a side hint, the cells at its ends a corner hint.
tool::Canvas Sea(const eng::ImageList& list) {
  constexpr int kCells[4][4] = {
      {kHint2Cell, kCloseCell, kCloseCell, kCloseCell},
      {kCloseCell, kDamShipCell, kHint1Cell, kCloseCell},
      {kCloseCell, kHint1Cell, kDamShipCell, kCloseCell},
      {kCloseCell, kCloseCell, kCloseCell, kHint2Cell},
  };
  tool::Canvas sea(64, 64);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) sea.Draw(list[kCells[y][x]], 0, 16 * x, 16 * y);
  // A rocket on its way over the closed cells.
  sea.Draw(list[kRocket], 0, 32, 6);
  return sea;
}

// Rounds the corners off with a soft edge.
void RoundCorners(tool::Canvas& c, double radius) {
  const int n = c.Width();
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double cx = x + 0.5 < radius ? radius : x + 0.5 > n - radius ? n - radius : x + 0.5;
      const double cy = y + 0.5 < radius ? radius : y + 0.5 > n - radius ? n - radius : y + 0.5;
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double cover = std::clamp(radius - d + 0.5, 0.0, 1.0);
      const uint32_t p = c.Get(x, y);
      const uint32_t a = static_cast<uint32_t>(std::lround((p >> 24) * cover));
      c.Set(x, y, a << 24 | (p & 0xffffff));
    }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: icon_painter OUTDIR\n");
    return 2;
  }
  eng::ImageList list;
  PaintPictures(list);
  const tool::Canvas sea = Sea(list);
  tool::Canvas cell(16, 16);
  cell.Draw(list[kDamShipCell], 0, 0, 0);

  for (int size : {16, 32, 48, 64, 128, 256}) {
    tool::Canvas icon = size < 64 ? cell.Scaled(size / 16) : sea.Scaled(size / 64);
    if (size >= 48) RoundCorners(icon, size / 10.0);
    const std::filesystem::path dir = std::filesystem::path(argv[1]) / (std::to_string(size) + "x" +
                                                                         std::to_string(size)) / "apps";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!icon.WritePng((dir / "salvora.png").string())) return 1;
  }
  return 0;
}
