// A single-line text edit: the player's name in the New Game dialog and
// the chat line over the game frame. Its text is Windows-1251 bytes, one
// byte a character; typed text arrives converted, and what the code page
// cannot hold never arrives. Inside a dialog it is a widget like the
// others; without a dialog its owner places it in frame pixels, draws it
// over the frame and hands it the input while it has the focus.
#pragma once
#include <functional>
#include <string>

#include "engine/canvas.h"
#include "engine/widgets.h"

namespace eng {

class Display;

class LineEdit : public Widget {
 public:
  LineEdit() = default;
  explicit LineEdit(Rect bounds) { Bounds = bounds; }

  const std::string& Text() const { return text_; }
  // Replaces the text (cut to MaxLength); the caret goes to its end.
  void SetText(const std::string& cp1251);
  // Characters at most; 0 is no limit.
  int MaxLength = 0;

  Color BackColor = RGB(82, 133, 227);
  Color BorderColor = RGB(20, 34, 60);
  Color CaretColor = kWhite;
  Font TextFont = DefaultFont();
  // The font's size from its height in pixels (96 dpi).
  void SetFontPixels(int pixels);

  // Every key before the edit uses it; setting the key to 0 consumes it.
  std::function<void(int& key)> OnKeyDown;
  // The text changed by typing or editing (not by SetText).
  std::function<void()> OnChange;

  // Text input is switched on while the edit holds the focus (for input
  // methods and on-screen keyboards) when a display is given.
  void AttachDisplay(Display* display) { display_ = display; }

  // The focus of an edit outside a dialog; inside one the dialog's focus
  // counts.
  void SetFocused(bool focused);
  bool HasFocus() const;

  // Characters before the caret, and the first character shown.
  int CaretPos() const { return caret_; }
  void SetCaretPos(int pos);
  int ScrollPos() const { return scroll_; }
  // The caret's x in the box's own pixels (0 its inner left edge).
  int CaretX() const;
  int InnerWidth() const { return Bounds.w - 2 * kPadding; }

  // The character boundary nearest to x (relative to the box's owner).
  int PosAt(int x) const;

  void Draw(Surface& target, int originX, int originY) override;
  void MouseDown(int button, int x, int y) override;
  bool KeyDown(int key) override;
  void TextInput(const std::string& cp1251) override;
  bool CanFocus() const override { return Enabled && Visible; }
  void FocusChanged() override;

  static constexpr int kPadding = 3;
  static Font DefaultFont();

 private:
  int Width(int from, int to) const;
  void KeepCaretVisible();
  void Changed();
  void SwitchTextInput();

  std::string text_;
  int caret_ = 0;
  int scroll_ = 0;
  bool ownFocus_ = false;
  Display* display_ = nullptr;
};

}  // namespace eng
