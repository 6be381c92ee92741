#include "engine/list_box.h"

#include <algorithm>

#include "engine/canvas.h"
#include "engine/font_cache.h"
#include "engine/keys.h"
#include "engine/surface.h"

namespace eng {

namespace {

constexpr int kInset = 2;  // the border and a pixel of room

// The text cut to whole characters that fit in width pixels: the longest
// fitting prefix, found in a few measurements (a prefix is never wider than
// a longer one).
std::string Fitted(const Font& font, const std::string& text, int width) {
  auto fits = [&](size_t n) {
    int w = 0, h = 0;
    MeasureText(font, std::string_view(text).substr(0, n), &w, &h);
    return w <= width;
  };
  if (fits(text.size())) return text;
  size_t lo = 0, hi = text.size();  // lo fits, hi does not
  while (hi - lo > 1) {
    const size_t mid = lo + (hi - lo) / 2;
    (fits(mid) ? lo : hi) = mid;
  }
  return text.substr(0, lo);
}

// An arrow of the scroll bar: a small solid triangle, pointing up or down.
void DrawArrow(Surface& target, Rect box, bool up, Color face, Color mark) {
  target.FillRect(box, face);
  const int cx = box.x + box.w / 2;
  for (int row = 0; row < 4; ++row) {
    const int y = up ? box.y + box.h / 2 - 2 + row : box.y + box.h / 2 + 1 - row;
    target.FillRect(Rect{cx - row, y, 2 * row + 1, 1}, mark);
  }
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
  thumbHeld_ = false;
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

void ListBox::SetTopIndex(int index) {
  const int top = std::clamp(index, 0, std::max(0, Count() - VisibleLines()));
  if (top == top_) return;
  top_ = top;
  Invalidate();
}

Rect ListBox::ScrollBar() const {
  if (!HasScrollBar()) return Rect{};
  return Rect{Bounds.Right() - 1 - kScrollBarWidth, Bounds.y + 1, kScrollBarWidth, Bounds.h - 2};
}

Rect ListBox::ThumbRect() const {
  const Rect bar = ScrollBar();
  if (bar.w == 0) return Rect{};
  const int track = std::max(0, bar.h - 2 * kScrollBarWidth);
  const int lines = Count(), shown = VisibleLines();
  const int h = std::min(track, std::max(10, track * shown / lines));
  const int range = lines - shown;
  const int y = range > 0 ? (track - h) * top_ / range : 0;
  return Rect{bar.x, bar.y + kScrollBarWidth + y, bar.w, h};
}

int ListBox::TextWidth() const {
  return Bounds.w - 2 * kInset - (HasScrollBar() ? kScrollBarWidth : 0);
}

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
  const int width = TextWidth();
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
  if (!HasScrollBar()) return;
  const int dx = originX, dy = originY;
  const Rect bar = ScrollBar();
  const Color face = RGB(150, 182, 214), mark = Enabled ? RGB(20, 34, 60) : RGB(128, 128, 128);
  target.FillRect(Rect{dx + bar.x, dy + bar.y, bar.w, bar.h}, RGB(228, 226, 220));
  DrawArrow(target, Rect{dx + bar.x, dy + bar.y, bar.w, kScrollBarWidth}, true, face, mark);
  DrawArrow(target, Rect{dx + bar.x, dy + bar.Bottom() - kScrollBarWidth, bar.w, kScrollBarWidth}, false, face, mark);
  const Rect thumb = ThumbRect();
  if (thumb.h > 0) {
    target.FillRect(Rect{dx + thumb.x + 1, dy + thumb.y, thumb.w - 2, thumb.h}, Enabled ? SelectColor : face);
  }
}

void ListBox::MouseDown(int button, int x, int y) {
  if (button != kMouseLeft || !Enabled) return;
  if (Parent()) Parent()->SetFocus(this);
  const Rect bar = ScrollBar();
  if (bar.w > 0 && x >= bar.x) {
    // The bar: an arrow moves a line, the track a page, the thumb follows a drag.
    const Rect thumb = ThumbRect();
    if (y < bar.y + kScrollBarWidth)
      SetTopIndex(top_ - 1);
    else if (y >= bar.Bottom() - kScrollBarWidth)
      SetTopIndex(top_ + 1);
    else if (y < thumb.y)
      SetTopIndex(top_ - VisibleLines());
    else if (y >= thumb.Bottom())
      SetTopIndex(top_ + VisibleLines());
    else {
      thumbHeld_ = true;
      thumbGrab_ = y - thumb.y;
    }
    return;
  }
  const int row = (y - Bounds.y - kInset) / LineHeight();
  const int index = top_ + row;
  if (y - Bounds.y < kInset || index >= Count()) return;
  Select(index);
  if (OnClick) OnClick();
}

void ListBox::MouseMove(int /*x*/, int y) {
  if (!thumbHeld_) return;
  const Rect bar = ScrollBar(), thumb = ThumbRect();
  const int track = bar.h - 2 * kScrollBarWidth - thumb.h;
  if (track <= 0) return;
  const int offset = y - thumbGrab_ - (bar.y + kScrollBarWidth);
  const int range = Count() - VisibleLines();
  // The nearest line to where the thumb is held.
  SetTopIndex((offset * range + track / 2) / track);
}

void ListBox::MouseUp(int /*button*/, int /*x*/, int /*y*/) { thumbHeld_ = false; }

bool ListBox::MouseWheel(int steps) {
  if (!HasScrollBar()) return false;
  // A notch away from the player shows the lines above.
  SetTopIndex(top_ - 3 * steps);
  return true;
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
