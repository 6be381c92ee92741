// The built-in images of the game: their indices, names, picture and
// pattern sizes and colour keys. The game addresses the
// collection by these indices; PaintPictures() fills it in this order.
#pragma once
#include <array>
#include <string_view>

#include "engine/types.h"

namespace assets {

enum ImageIndex {
  kCloseCell = 0,
  kOpenCell,
  kMarkedCell,
  kDamShipCell,
  kBlackShipCell,
  kDestrShipCell,
  kRedShipCell,
  kRFixShipCell,
  kHint1Cell,
  kHint2Cell,
  kSQBomb,
  kPBomb,
  kXBomb,
  kScursor,
  kRocket,
  kRocket2,
  kExplosion,
  kBonuses,
  kCounter,
  kButtonBlock,
  kSCblock,
  kSCmodif,
  kMenuBlock,
  kBackground,
  kMainBlock1,
  kMainBlock2,
  kMainBlock3,
  kMainBlock4,
  kMNewBtn,
  kMOptionsBtn,
  kMHelpBtn,
  kStatusBlock,
  kNavigators,
  kScoreTable,
  kCloseBtn,
  kCloseCellDark,
  kLogo,
  kSendBtn = 37,
  // A ship cell the shooter never found, shown when a lost game is over.
  kNotFoundCell = 38,
  kImageCount
};

struct ImageSpec {
  std::string_view name;
  int width, height;                // the whole picture
  int patternWidth, patternHeight;  // 0: the whole picture is one pattern
  bool transparent;
  eng::Color key;  // colour key; black (the engine's default) when not transparent
};

inline constexpr eng::Color kKeyMagenta{127, 0, 127};  // MenuBlock
inline constexpr eng::Color kKeyNavy{0, 0, 127};       // StatusBlock

inline constexpr std::array<ImageSpec, kImageCount> kImageSpecs{{
    {"CloseCell", 16, 16, 0, 0, false, eng::kBlack},
    {"OpenCell", 16, 16, 0, 0, false, eng::kBlack},
    {"MarkedCell", 16, 16, 0, 0, false, eng::kBlack},
    {"DamShipCell", 16, 16, 0, 0, false, eng::kBlack},
    {"BlackShipCell", 16, 16, 0, 0, false, eng::kBlack},
    {"DestrShipCell", 16, 16, 0, 0, false, eng::kBlack},
    {"RedShipCell", 16, 16, 0, 0, false, eng::kBlack},
    {"RFixShipCell", 16, 16, 0, 0, false, eng::kBlack},
    {"Hint1Cell", 16, 16, 0, 0, false, eng::kBlack},
    {"Hint2Cell", 16, 16, 0, 0, false, eng::kBlack},
    {"SQBomb", 240, 16, 16, 16, true, eng::kWhite},
    {"PBomb", 240, 16, 16, 16, true, eng::kWhite},
    {"XBomb", 240, 16, 16, 16, true, eng::kWhite},
    {"scursor", 48, 24, 24, 24, true, eng::kWhite},
    {"rocket", 30, 12, 0, 0, true, eng::kBlack},
    {"rocket2", 30, 12, 0, 0, true, eng::kBlack},
    // Black-keyed; the game marks it transparent at start.
    {"explosion", 1024, 64, 64, 64, true, eng::kBlack},
    {"bonuses", 160, 16, 16, 16, true, eng::kWhite},
    // Not transparent in the table, but the game copies it keyed with the
    // engine's default key, black: pure black pixels of it are see-through.
    {"counter", 34, 240, 0, 0, false, eng::kBlack},
    {"buttonblock", 250, 55, 0, 0, true, eng::kWhite},
    {"SCblock", 792, 23, 66, 23, false, eng::kBlack},
    {"SCmodif", 32, 23, 0, 0, false, eng::kBlack},
    {"MenuBlock", 293, 37, 0, 0, true, kKeyMagenta},
    {"Background", 480, 360, 0, 0, false, eng::kBlack},
    {"main_block1", 288, 16, 0, 0, false, eng::kBlack},
    {"main_block2", 16, 304, 0, 0, false, eng::kBlack},
    {"main_block3", 288, 16, 0, 0, false, eng::kBlack},
    {"main_block4", 16, 304, 0, 0, false, eng::kBlack},
    {"MNewBtn", 66, 23, 0, 0, false, eng::kBlack},
    {"MOptionsBtn", 110, 23, 0, 0, false, eng::kBlack},
    {"MHelpBtn", 76, 23, 0, 0, false, eng::kBlack},
    {"StatusBlock", 530, 30, 0, 0, true, kKeyNavy},
    {"Navigators", 160, 64, 16, 16, false, eng::kBlack},
    {"ScoreTable", 84, 34, 42, 34, true, eng::kWhite},
    {"CloseBtn", 48, 16, 16, 16, true, eng::kWhite},
    {"CloseCellDark", 16, 16, 0, 0, false, eng::kBlack},
    {"Logo", 636, 477, 0, 0, false, eng::kBlack},
    {"SendBtn", 33, 46, 33, 23, false, eng::kBlack},
    {"NotFoundCell", 16, 16, 0, 0, false, eng::kBlack},
}};

}  // namespace assets
