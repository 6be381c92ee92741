#include "engine/list_box.h"

#include <algorithm>

#include "engine/canvas.h"
#include "engine/font_cache.h"
#include "engine/keys.h"
#include "engine/surface.h"

namespace eng {

namespace {

constexpr int kInset = 2;  // the border and a pixel of room

// The text cut to whole characters that fit in width pixels.
std::string Fitted(const Font& font, const std::string& text, int width) {
  int w = 0, h = 0;
  size_t n = text.size();
  for (;;) {
    MeasureText(font, std::string_view(text).substr(0, n), &w, &h);
    if (w <= width || n == 0) break;
    --n;
  }
  return text.substr(0, n);
}

void DrawText(Surface& target, const Font& font, int x, int y, const std::string& text) {
  if (text.empty()) return;
  Canvas& canvas = target.GetCanvas();
  const Font keptFont = canvas.font;
  const bool keptBrush = canvas.brushClear;
  canvas.font = font;
  canvas.brushClear = true;
  canvas.TextOut(x, y, text);
  canvas.font = keptFont;
  canvas.brushClear = keptBrush;
}

}  // namespace

// --- ListBox ---

void ListBox::AddItem(const std::string& cp1251) {
  items_.push_back(cp1251);
  Invalidate();
}

void ListBox::Clear() {
  items_.clear();
  index_ = -1;
  top_ = 0;
  Invalidate();
}

void ListBox::SetItemIndex(int index) {
  index_ = index >= 0 && index < Count() ? index : -1;
  if (index_ >= 0) {
    if (index_ < top_) top_ = index_;
    if (index_ >= top_ + VisibleLines()) top_ = index_ - VisibleLines() + 1;
  }
  Invalidate();
}

int ListBox::LineHeight() {
  int w = 0, h = 0;
  MeasureText(DialogFont(), "Ay", &w, &h);
  return h + 1;
}

int ListBox::VisibleLines() const { return std::max(1, (Bounds.h - 2 * kInset) / LineHeight()); }

void ListBox::Select(int index) {
  const int before = index_;
  SetItemIndex(index);
  if (index_ != before && OnChange) OnChange();
}

void ListBox::Draw(Surface& target, int originX, int originY) {
  const Rect box{originX + Bounds.x, originY + Bounds.y, Bounds.w, Bounds.h};
  if (box.w <= 2 || box.h <= 2) return;
  target.FillRect(box, BorderColor);
  target.FillRect(Rect{box.x + 1, box.y + 1, box.w - 2, box.h - 2}, Enabled ? BackColor : DisabledColor);
  const int lineH = LineHeight();
  const int width = box.w - 2 * kInset;
  for (int i = top_, row = 0; i < Count() && row < VisibleLines(); ++i, ++row) {
    const int y = box.y + kInset + row * lineH;
    Font font = DialogFont(Enabled ? kBlack : RGB(128, 128, 128));
    if (i == index_) {
      target.FillRect(Rect{box.x + kInset, y, width, lineH}, Enabled ? SelectColor : RGB(170, 170, 170));
      font.color = kWhite;
      if (Focused()) {
        // A dotted focus frame is too fine for the game's look: a light line.
        target.FillRect(Rect{box.x + kInset, y + lineH - 1, width, 1}, RGB(214, 178, 92));
      }
    }
    DrawText(target, font, box.x + kInset + 2, y, Fitted(font, items_[i], width - 4));
  }
}

void ListBox::MouseDown(int button, int /*x*/, int y) {
  if (button != kMouseLeft || !Enabled) return;
  if (Parent()) Parent()->SetFocus(this);
  const int row = (y - Bounds.y - kInset) / LineHeight();
  const int index = top_ + row;
  if (y - Bounds.y < kInset || index >= Count()) return;
  Select(index);
  if (OnClick) OnClick();
}

bool ListBox::KeyDown(int key) {
  if (OnKeyDown) {
    OnKeyDown(key);
    if (key == kKeyNone) return true;
  }
  if (key == kKeyUp || key == kKeyDown) {
    if (Count() == 0) return true;
    int index = index_ < 0 ? 0 : index_ + (key == kKeyUp ? -1 : 1);
    index = std::clamp(index, 0, Count() - 1);
    Select(index);
    if (OnClick) OnClick();  // a key that moves the selection counts as a click, as in the system's lists
    return true;
  }
  return false;
}

// --- RadioButton ---

RadioButton::RadioButton(std::string cp1251Caption, Rect bounds) : Caption(std::move(cp1251Caption)) {
  Bounds = bounds;
}

void RadioButton::SetChecked(bool checked) {
  if (checked && group_)
    for (RadioButton* other : *group_)
      if (other != this && other->checked_) {
        other->checked_ = false;
        other->Invalidate();
      }
  checked_ = checked;
  Invalidate();
}

void RadioButton::Group(const std::vector<RadioButton*>& buttons) {
  auto group = std::make_shared<std::vector<RadioButton*>>(buttons);
  for (RadioButton* b : buttons) b->group_ = group;
}

void RadioButton::Draw(Surface& target, int originX, int originY) {
  constexpr int kMark = 13;
  const int x0 = originX + Bounds.x, y0 = originY + Bounds.y + (Bounds.h - kMark) / 2;
  // A round mark: a dark ring round a white disc, a dot when checked.
  const double r = kMark / 2.0, c = kMark / 2.0;
  for (int y = 0; y < kMark; ++y)
    for (int x = 0; x < kMark; ++x) {
      const double dx = x + 0.5 - c, dy = y + 0.5 - c, d2 = dx * dx + dy * dy;
      if (d2 > r * r) continue;
      Color color = d2 > (r - 1.3) * (r - 1.3) ? RGB(64, 104, 148) : (Enabled ? kWhite : RGB(228, 226, 220));
      if (checked_ && d2 <= 2.6 * 2.6) color = Enabled ? RGB(20, 34, 60) : RGB(128, 128, 128);
      target.SetPixel(x0 + x, y0 + y, color);
    }
  int w = 0, h = 0;
  const Font font = DialogFont(Enabled ? kBlack : RGB(128, 128, 128));
  MeasureText(font, Caption, &w, &h);
  const int tx = x0 + kMark + 6, ty = originY + Bounds.y + (Bounds.h - h) / 2;
  DrawText(target, font, tx, ty, Caption);
  if (Focused()) target.FillRect(Rect{tx, ty + h, w, 1}, RGB(214, 178, 92));
}

void RadioButton::Click() {
  SetChecked(true);
  if (OnClick) OnClick();
}

void RadioButton::MouseDown(int button, int /*x*/, int /*y*/) {
  if (button != kMouseLeft || !Enabled) return;
  if (Parent()) Parent()->SetFocus(this);
  Click();
}

bool RadioButton::KeyDown(int key) {
  if (OnKeyDown) {
    OnKeyDown(key);
    if (key == kKeyNone) return true;
  }
  if (key == kKeySpace) {
    Click();
    return true;
  }
  return false;
}

}  // namespace eng
