// The painted look of the game's own dialogs: the brass-framed navy
// background, the steel-blue button faces with their rounded corners keyed
// out in fuchsia, and the round radio buttons. The parts are painted
// separately so every dialog can be made of them; the New Game and the
// Options dialogs' sets are put together here. Painted once at start-up,
// beside (not inside) the table of the built-in pictures.
#pragma once
#include <string_view>

#include "engine/picture.h"
#include "engine/types.h"

namespace assets::skins {

// Pixels of this colour around the rounded faces are not drawn and take no
// presses.
inline constexpr eng::Color kSkinKey{255, 0, 255};

// A dialog background of the given size: brass frame, the title on the top
// band, a navy panel from panelTop to panelBottom, brass below it for the
// buttons.
eng::Picture DialogBackground(int width, int height, std::string_view titleUtf8, int panelTop, int panelBottom);
// A button face, its corners kSkinKey: raised or pressed (darker, sunk).
eng::Picture ButtonFace(int width, int height, std::string_view labelUtf8, bool pressed);
// A 15 x 15 round radio button, keyed around the ring; down shows the lit dot.
eng::Picture RadioButton(bool down);

// The New Game dialog's pictures.
struct NewGameSkin {
  eng::Picture Background;              // 200 x 250
  eng::Picture StartUp, StartDown;      // 65 x 23, keyed
  eng::Picture CloseUp, CloseDown;      // 65 x 23, keyed
  eng::Picture RadioUp, RadioDown;      // 15 x 15, keyed
  eng::Picture GetIPUp, GetIPDown;      // 30 x 23, keyed
};
NewGameSkin PaintNewGameSkin();

// The Options dialog's pictures.
struct OptionsSkin {
  eng::Picture Background;           // 200 x 250, the captions painted in
  eng::Picture OKUp, OKDown;         // 65 x 23, keyed
  eng::Picture CloseUp, CloseDown;   // 65 x 23, keyed
  eng::Picture RadioUp, RadioDown;   // 15 x 15, keyed
  eng::Picture CheckUp, CheckDown;   // 17 x 20, keyed: the full-screen toggle
};
OptionsSkin PaintOptionsSkin();

}  // namespace assets::skins
