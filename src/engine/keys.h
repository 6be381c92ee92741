// Key codes the game reacts to, with the values of the keyboard's virtual
// key numbering the game's tables use.
#pragma once

namespace eng {

enum Key : int {
  kKeyNone = 0,
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyEnter = 13,
  kKeyEscape = 27,
  kKeySpace = 32,
  kKeyEnd = 35,
  kKeyHome = 36,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyDelete = 46,
  kKeyF1 = 112,
  kKeyF2 = 113,
  kKeyF5 = 116,
  // Letters and digits are their upper-case character codes ('R', 'M', '1').
};

enum MouseButton : int { kMouseLeft = 1, kMouseMiddle = 2, kMouseRight = 3 };

// Shift state bits delivered with mouse events.
enum Shift : unsigned { kShiftShift = 1, kShiftAlt = 2, kShiftCtrl = 4, kShiftLeft = 8, kShiftRight = 16, kShiftMiddle = 32 };

}  // namespace eng
