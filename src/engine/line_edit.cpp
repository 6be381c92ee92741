#include "engine/line_edit.h"

#include <algorithm>
#include <cmath>

#include "engine/display.h"
#include "engine/font_cache.h"
#include "engine/keys.h"
#include "engine/surface.h"

namespace eng {

Font LineEdit::DefaultFont() {
  Font f;
  f.name = "Arial";
  f.size = 10;
  f.color = kWhite;
  return f;
}

void LineEdit::SetFontPixels(int pixels) {
  TextFont.size = std::max(1, static_cast<int>(std::lround(pixels * 72.0 / 96.0)));
  KeepCaretVisible();
  Invalidate();
}

void LineEdit::SetText(const std::string& cp1251) {
  text_ = cp1251;
  if (MaxLength > 0 && static_cast<int>(text_.size()) > MaxLength) text_.resize(MaxLength);
  caret_ = static_cast<int>(text_.size());
  scroll_ = 0;
  KeepCaretVisible();
  Invalidate();
}

void LineEdit::SetFocused(bool focused) {
  if (focused == ownFocus_) return;
  ownFocus_ = focused;
  SwitchTextInput();
}

bool LineEdit::HasFocus() const { return Parent() ? Focused() : ownFocus_; }

void LineEdit::FocusChanged() {
  SwitchTextInput();
  Invalidate();
}

void LineEdit::SwitchTextInput() {
  if (display_) display_->StartTextInput(HasFocus());
}

void LineEdit::SetCaretPos(int pos) {
  caret_ = std::clamp(pos, 0, static_cast<int>(text_.size()));
  KeepCaretVisible();
  Invalidate();
}

int LineEdit::Width(int from, int to) const {
  if (to <= from) return 0;
  int w = 0, h = 0;
  MeasureText(TextFont, std::string_view(text_).substr(from, to - from), &w, &h);
  return w;
}

int LineEdit::CaretX() const { return Width(scroll_, caret_); }

void LineEdit::KeepCaretVisible() {
  scroll_ = std::clamp(scroll_, 0, caret_);
  // The caret stands one pixel past the last character before it.
  const int room = std::max(1, InnerWidth() - 1);
  while (scroll_ < caret_ && Width(scroll_, caret_) > room) ++scroll_;
  // Text cut away on the left comes back when there is room for it again.
  while (scroll_ > 0 && Width(scroll_ - 1, static_cast<int>(text_.size())) <= room) --scroll_;
}

int LineEdit::PosAt(int x) const {
  const int local = x - Bounds.x - kPadding;
  const int n = static_cast<int>(text_.size());
  int best = scroll_, bestDistance = std::abs(local);
  for (int pos = scroll_ + 1; pos <= n; ++pos) {
    const int d = std::abs(Width(scroll_, pos) - local);
    if (d > bestDistance) break;  // widths only grow
    best = pos;
    bestDistance = d;
  }
  return best;
}

void LineEdit::Changed() {
  KeepCaretVisible();
  Invalidate();
  if (OnChange) OnChange();
}

void LineEdit::Draw(Surface& target, int originX, int originY) {
  const Rect box{originX + Bounds.x, originY + Bounds.y, Bounds.w, Bounds.h};
  if (box.w <= 0 || box.h <= 0) return;
  target.FillRect(box, BorderColor);
  target.FillRect(Rect{box.x + 1, box.y + 1, box.w - 2, box.h - 2}, BackColor);

  int lineW = 0, lineH = 0;
  MeasureText(TextFont, "Ay", &lineW, &lineH);
  const int textX = box.x + kPadding;
  const int textY = box.y + (box.h - lineH) / 2;
  // As many whole characters from the first shown as fit in the box.
  const int n = static_cast<int>(text_.size());
  int end = scroll_;
  while (end < n && Width(scroll_, end + 1) <= InnerWidth()) ++end;
  if (end > scroll_) {
    Canvas& canvas = target.GetCanvas();
    const Font keptFont = canvas.font;
    const bool keptBrush = canvas.brushClear;
    canvas.font = TextFont;
    canvas.brushClear = true;
    canvas.TextOut(textX, textY, std::string_view(text_).substr(scroll_, end - scroll_));
    canvas.font = keptFont;
    canvas.brushClear = keptBrush;
  }
  if (HasFocus()) {
    // A steady caret: the dialog is drawn only when something changes.
    const int cx = std::min(textX + CaretX(), box.Right() - 2);
    const int top = std::max(box.y + 2, textY);
    const int bottom = std::min(box.Bottom() - 2, textY + lineH);
    if (bottom > top) target.FillRect(Rect{cx, top, 1, bottom - top}, CaretColor);
  }
}

void LineEdit::MouseDown(int button, int x, int y) {
  if (!Enabled || !Contains(x, y)) return;
  if (Parent())
    Parent()->SetFocus(this);
  else
    SetFocused(true);
  if (button == kMouseLeft) SetCaretPos(PosAt(x));
}

bool LineEdit::KeyDown(int key) {
  if (OnKeyDown) {
    OnKeyDown(key);
    if (key == kKeyNone) return true;
  }
  const int n = static_cast<int>(text_.size());
  switch (key) {
    case kKeyHome:
      SetCaretPos(0);
      return true;
    case kKeyEnd:
      SetCaretPos(n);
      return true;
    case kKeyLeft:
      SetCaretPos(caret_ - 1);
      return true;
    case kKeyRight:
      SetCaretPos(caret_ + 1);
      return true;
    case kKeyBackspace:
      if (caret_ > 0) {
        text_.erase(caret_ - 1, 1);
        --caret_;
        Changed();
      }
      return true;
    case kKeyDelete:
      if (caret_ < n) {
        text_.erase(caret_, 1);
        Changed();
      }
      return true;
    default:
      return false;
  }
}

void LineEdit::TextInput(const std::string& cp1251) {
  if (!Enabled) return;
  std::string typed;
  for (const char c : cp1251)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) typed += c;  // no control characters
  if (MaxLength > 0) {
    const int room = std::max(0, MaxLength - static_cast<int>(text_.size()));
    if (static_cast<int>(typed.size()) > room) typed.resize(room);
  }
  if (typed.empty()) return;
  text_.insert(caret_, typed);
  caret_ += static_cast<int>(typed.size());
  Changed();
}

}  // namespace eng
