// The menu block with its highlighted buttons, and the placement panel:
// its slide down from beneath the grids, the bounce up over them, the fades
// of its button faces, and the dip and slide back when the fleet is placed.
#include <algorithm>
#include <cmath>

#include "assets/image_table.h"
#include "ui/common.h"

namespace {

constexpr eng::Color kMenuKey{127, 0, 127};

constexpr float kFastSlide = 0.15f;  // pixels per millisecond, beneath the grids
constexpr float kSlowSlide = 0.02f;  // pixels per millisecond, over everything
constexpr float kLongSlide = 86.0f;  // pixels of the slide beneath the grids
constexpr float kShortSlide = 10.0f;  // pixels of the bounce and the dip
constexpr float kFadeRate = 0.001f;  // brightness per millisecond
constexpr int kChooserRestY = 308;   // hidden beneath the grids
constexpr int kLastShipFace = 10;    // faces 0..9 show the next ship, 10 the fleet done
constexpr int kAutoFace = 11;

// Halves go to the even neighbour, as everywhere in the game's positions.
int Nearest(float v) { return static_cast<int>(std::nearbyint(v)); }

uint8_t Scaled(uint8_t channel, float level) {
  return static_cast<uint8_t>(std::clamp(Nearest(channel * level), 0, 255));
}

}  // namespace

void TCommon::DrawMenu(eng::Surface& back) { back.Draw(MenuX, MenuY, MenuSurface, true); }

void TCommon::HighlightMenuButton(TMenuButton& button, int imageIndex) {
  // Only one button is ever lit: another lit one loses its light first.
  for (const TMenuButton* other : {&NewButton, &OptionsButton, &HelpButton})
    if (other != &button && other->Hover) {
      ClearMenuHighlights();
      break;
    }
  Services().images[imageIndex].Draw(MenuSurface, button.x, button.y, 0);
  button.Hover = 1;
}

void TCommon::ClearMenuHighlights() {
  // From the clean block: the menu picture may have been taken with a
  // button lit.
  MenuSurface.LoadFromPicture(Services().images[assets::kMenuBlock].picture);
  MenuSurface.SetColorKey(kMenuKey);
  NewButton.Hover = OptionsButton.Hover = HelpButton.Hover = 0;
}

void TCommon::DrawChooser(eng::Surface& back, int lagCount) {
  const float fast = kFastSlide * static_cast<float>(lagCount);
  const float slow = kSlowSlide * static_cast<float>(lagCount);
  int y = ChooserY;

  if (ChooserClosed) {
    if (!ChooserShown) return;  // hidden beneath the grids
    // While the old grid breaks up, a panel that has just set out moves up
    // instead; it goes on down from the same distance afterwards. The break
    // itself counts, not the flight of its pieces: they stay on screen for
    // some 800 ms, long enough to push the panel away for good.
    if (ChooserClosing || Shattering) {
      const bool piecesFlyingIn =
          std::any_of(InPieces.begin(), InPieces.end(), [](const TPiece& p) { return p.active != 0; });
      if (piecesFlyingIn) return;
      if (ChooserBehind) {
        ChooserSlide += fast;
        if (ChooserSlide > kLongSlide) {
          if (!ChooserClosing) {
            // A panel set out for a new game is only pushed up by the
            // break: it never goes away, it waits at the end of its way up.
            ChooserSlide = kLongSlide;
            y = ChooserY - Nearest(ChooserSlide);
          } else {
            ChooserY -= Nearest(ChooserSlide);
            ChooserSlide = 0;
            ChooserClosed = 1;
            ChooserShown = 0;
            return;
          }
        } else {
          y = ChooserY - Nearest(ChooserSlide);
        }
      } else {
        // The short dip before the panel goes, drawn over everything.
        ChooserSlide += slow;
        if (ChooserSlide > kShortSlide) {
          ChooserY += Nearest(ChooserSlide);
          ChooserSlide = 0;
          ChooserBehind = 1;
          y = ChooserY;
        } else {
          y = ChooserY + Nearest(ChooserSlide);
        }
      }
    } else if (ChooserBehind) {
      // The long slide down beneath the grids.
      ChooserSlide += fast;
      if (ChooserSlide > kLongSlide) {
        ChooserY += Nearest(ChooserSlide);
        ChooserSlide = 0;
        ChooserBehind = 0;
        return;
      }
      y = ChooserY + Nearest(ChooserSlide);
    } else {
      // The short bounce up over everything, after which the panel is open.
      ChooserSlide += slow;
      if (ChooserSlide > kShortSlide) {
        ChooserY -= Nearest(ChooserSlide);
        ChooserSlide = 0;
        ChooserClosed = 0;
        ChooserShown = 0;
        NextShipFading = 1;
        AutoFading = 1;
        y = ChooserY;
      } else {
        y = ChooserY - Nearest(ChooserSlide);
      }
    }
  } else {
    const float step = kFadeRate * static_cast<float>(lagCount);
    const eng::ImageItem& faces = Services().images[assets::kSCblock];
    const eng::ImageItem& modify = Services().images[assets::kSCmodif];
    // One face brightening: true on the frame it reaches full brightness,
    // when the face itself is drawn.
    auto fade = [&](uint8_t& fading, float& level, const eng::ImageItem& item, const eng::Picture& copy, int pattern,
                    const eng::Rect& button) {
      if (!fading) return false;
      level += step;
      if (level > 1) {
        item.Draw(ChooserSurface, button.x, button.y, pattern);
        fading = 0;
        return true;
      }
      DrawFade(copy, item.PatternRect(pattern), button.x, button.y, level);
      return false;
    };
    // The next-ship face ends on the ship that is next now.
    fade(NextShipFading, NextShipFade, faces, SCblockCopy, ShipsChosen, NextShipButton);
    fade(AutoFading, AutoFade, faces, SCblockCopy, kAutoFace, AutoButton);
    if (fade(ModifyFading, ModifyFade, modify, SCmodifCopy, 0, ModifyButton)) ModifyEnabled = 1;
  }
  back.Draw(ChooserX, y, ChooserSurface, true);
}

void TCommon::DrawFade(const eng::Picture& source, eng::Rect sourceRect, int faceX, int faceY, float level) {
  if (sourceRect.w <= 0 || sourceRect.h <= 0) return;
  // The face at this brightness, built aside and put on the panel in one copy.
  eng::Picture face(sourceRect.w, sourceRect.h);
  for (int y = 0; y < sourceRect.h; ++y) {
    for (int x = 0; x < sourceRect.w; ++x) {
      const eng::Color c = source.GetPixel(sourceRect.x + x, sourceRect.y + y);
      face.SetPixel(x, y, eng::Color{Scaled(c.r, level), Scaled(c.g, level), Scaled(c.b, level)});
    }
  }
  eng::Surface scaled;
  scaled.LoadFromPicture(face);
  ChooserSurface.Draw(faceX, faceY, scaled, false);
}

void TCommon::OpenChooser() {
  const bool hidden = ChooserClosed && !ChooserShown;
  const bool open = !ChooserClosed && !ChooserShown;
  if (!hidden && !open) return;  // the panel is on its way: it goes on as it was

  ChooserSurface.LoadFromPicture(Services().images[assets::kButtonBlock].picture);
  ChooserSurface.SetColorKey(eng::kWhite);
  ShipsChosen = 0;
  ModifyEnabled = 0;
  if (hidden) {
    ChooserShown = 1;
    ChooserClosed = 1;
    ChooserLocked = 0;
    ChooserBehind = 1;
    ChooserClosing = 0;
    ChooserY = kChooserRestY;
    NextShipFade = AutoFade = ModifyFade = 0.6f;
    NextShipFading = AutoFading = ModifyFading = 0;
  } else {
    // Open already: the faces fade in again; the modify button waits for
    // the first ship of the new game, so a fade of it still running stops.
    // A new placement always takes presses.
    ChooserLocked = 0;
    NextShipFade = AutoFade = ModifyFade = 0.6f;
    NextShipFading = AutoFading = 1;
    ModifyFading = 0;
  }
}

void TCommon::AdvanceChooser() {
  if (ShipsChosen >= kLastShipFace) return;  // the last face stays
  ++ShipsChosen;
  Services().images[assets::kSCblock].Draw(ChooserSurface, NextShipButton.x, NextShipButton.y, ShipsChosen);
}
