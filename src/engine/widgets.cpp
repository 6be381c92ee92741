#include "engine/widgets.h"

#include <algorithm>

#include "engine/display.h"
#include "engine/font_cache.h"
#include "engine/keys.h"
#include "engine/picture.h"

namespace eng {

namespace {

int TextWidthIn(const Font& font, std::string_view text) {
  int w = 0, h = 0;
  MeasureText(font, text, &w, &h);
  return w;
}

// The longest head of the word (one character at least) that fits.
size_t FittingHead(const Font& font, std::string_view word, int width) {
  size_t n = 1;
  while (n < word.size() && TextWidthIn(font, word.substr(0, n + 1)) <= width) ++n;
  return n;
}

void WrapParagraph(const Font& font, std::string_view paragraph, int width, std::vector<std::string>& lines) {
  std::string current;
  size_t pos = 0;
  while (pos < paragraph.size()) {
    if (paragraph[pos] == ' ') {
      ++pos;
      continue;
    }
    const size_t end = std::min(paragraph.find(' ', pos), paragraph.size());
    std::string_view word = paragraph.substr(pos, end - pos);
    pos = end;
    const std::string joined = current.empty() ? std::string(word) : current + " " + std::string(word);
    if (TextWidthIn(font, joined) <= width) {
      current = joined;
      continue;
    }
    if (!current.empty()) lines.push_back(current);
    current.clear();
    // A word wider than the line is cut where it must be.
    while (TextWidthIn(font, word) > width) {
      const size_t head = FittingHead(font, word, width);
      lines.emplace_back(word.substr(0, head));
      word.remove_prefix(head);
    }
    current = std::string(word);
  }
  lines.push_back(current);
}

// The canvas settings a widget changes, put back when it is done, so the
// game's own drawing on the same surface is not disturbed.
class CanvasState {
 public:
  explicit CanvasState(Canvas& c) : canvas_(c), font_(c.font), brushClear_(c.brushClear) {}
  ~CanvasState() {
    canvas_.font = font_;
    canvas_.brushClear = brushClear_;
  }

 private:
  Canvas& canvas_;
  Font font_;
  bool brushClear_;
};

}  // namespace

Font DialogFont(Color color) {
  Font f;
  f.name = "Arial";
  f.size = 9;
  f.color = color;
  return f;
}

std::vector<std::string> WrapText(const Font& font, std::string_view text, int width) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  width = std::max(width, 1);
  size_t start = 0;
  while (true) {
    const size_t nl = text.find('\n', start);
    std::string_view paragraph = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    WrapParagraph(font, paragraph, width, lines);
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return lines;
}

// --- Widget ---

bool Widget::Focused() const { return parent_ && parent_->Focus() == this; }

void Widget::Invalidate() {
  if (parent_) parent_->Invalidate();
}

// --- Dialog ---

Dialog::Dialog(int width, int height) : width_(width), height_(height) {}

void Dialog::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  Invalidate();
}

void Dialog::CentreOnFrame() {
  // Integer division truncating towards zero, as every centring of the game.
  Left = (Display::kWidth - width_) / 2;
  Top = (Display::kHeight - height_) / 2;
  Invalidate();
}

void Dialog::SetBackgroundPicture(const Picture& picture, std::optional<Color> transparent) {
  backgroundSurface_.LoadFromPicture(picture);
  backgroundKeyed_ = transparent.has_value();
  if (transparent)
    backgroundSurface_.SetColorKey(*transparent);
  else
    backgroundSurface_.ClearColorKey();
  Invalidate();
}

void Dialog::Add(Widget& widget) {
  widget.parent_ = this;
  widgets_.push_back(&widget);
  if (!focus_ && widget.CanFocus()) focus_ = &widget;
  Invalidate();
}

void Dialog::SetFocus(Widget* widget) {
  if (widget == focus_) return;
  Widget* old = focus_;
  focus_ = widget;
  if (old) old->FocusChanged();
  if (widget) widget->FocusChanged();
  Invalidate();
}

void Dialog::FocusNext(bool backwards) {
  const int n = static_cast<int>(widgets_.size());
  if (n == 0) return;
  const auto at = std::find(widgets_.begin(), widgets_.end(), focus_);
  int i = at == widgets_.end() ? (backwards ? 0 : n - 1) : static_cast<int>(at - widgets_.begin());
  for (int step = 0; step < n; ++step) {
    i = (i + (backwards ? n - 1 : 1)) % n;
    if (widgets_[i]->CanFocus()) {
      SetFocus(widgets_[i]);
      return;
    }
  }
}

void Dialog::Close(int result) {
  closed_ = true;
  result_ = result;
}

void Dialog::Reopen() {
  closed_ = false;
  result_ = kResultNone;
  captured_ = nullptr;
  dragging_ = false;
  dirty_ = true;
}

void Dialog::Paint(Surface& target) {
  const Rect area{Left, Top, width_, height_};
  if (PaintBackground)
    PaintBackground(target, area);
  else if (backgroundSurface_.Exists())
    target.Draw(Left, Top, backgroundSurface_, backgroundKeyed_);
  else
    target.FillRect(area, BackColor);
  for (Widget* w : widgets_)
    if (w->Visible) w->Draw(target, Left, Top);
}

Widget* Dialog::WidgetAt(int x, int y) const {
  // The last added lies in front.
  for (auto it = widgets_.rbegin(); it != widgets_.rend(); ++it)
    if ((*it)->Visible && (*it)->Contains(x, y)) return *it;
  return nullptr;
}

void Dialog::HandleMouseDown(int button, int x, int y) {
  if (captured_ || dragging_) return;  // one press at a time
  const int lx = x - Left, ly = y - Top;
  pointerX_ = lx;
  pointerY_ = ly;
  if (lx < 0 || ly < 0 || lx >= width_ || ly >= height_) return;  // the game behind takes nothing
  Widget* w = WidgetAt(lx, ly);
  if (w && w->TakesMouse()) {
    captured_ = w;
    capturedButton_ = button;
    w->MouseDown(button, lx, ly);
  } else if ((!w || w->Enabled) && button == kMouseLeft) {
    // The background (and what only lies on it, as a label) drags the dialog.
    dragging_ = true;
    dragX_ = lx;
    dragY_ = ly;
  }
}

void Dialog::HandleMouseMove(int x, int y) {
  if (dragging_) {
    // The dialog stays wholly on the frame (or pinned to its top-left corner
    // when larger).
    const int left = std::max(0, std::min(x - dragX_, Display::kWidth - width_));
    const int top = std::max(0, std::min(y - dragY_, Display::kHeight - height_));
    if (left != Left || top != Top) {
      Left = left;
      Top = top;
      Invalidate();
    }
    return;
  }
  const int lx = x - Left, ly = y - Top;
  pointerX_ = lx;
  pointerY_ = ly;
  if (captured_) {
    captured_->MouseMove(lx, ly);
    return;
  }
  // Every widget hears the pointer, so those that light up under it can go
  // dark again when it leaves.
  for (Widget* w : widgets_)
    if (w->Visible && w->Enabled) w->MouseMove(lx, ly);
}

void Dialog::HandleMouseUp(int button, int x, int y) {
  if (dragging_) {
    if (button == kMouseLeft) dragging_ = false;
    return;
  }
  if (captured_ && button == capturedButton_) {
    Widget* w = captured_;
    captured_ = nullptr;
    w->MouseUp(button, x - Left, y - Top);
  }
}

void Dialog::HandleMouseWheel(int steps) {
  Widget* w = WidgetAt(pointerX_, pointerY_);
  if (w && w->Enabled && w->MouseWheel(steps)) return;
  if (focus_ && focus_ != w && focus_->Visible && focus_->Enabled) focus_->MouseWheel(steps);
}

void Dialog::HandleKey(int key) {
  if (focus_ && focus_->Visible && focus_->Enabled && focus_->KeyDown(key)) return;
  if (OnKey(key)) return;
  switch (key) {
    case kKeyEnter:
      if (DefaultButton && DefaultButton->Visible && DefaultButton->Enabled) DefaultButton->Click();
      break;
    case kKeyEscape:
      if (CancelButton && CancelButton->Visible && CancelButton->Enabled) CancelButton->Click();
      break;
    case kKeyTab:
      FocusNext();
      break;
    default:
      break;
  }
}

void Dialog::HandleText(const std::string& cp1251) {
  if (focus_ && focus_->Visible && focus_->Enabled) focus_->TextInput(cp1251);
}

// --- PushButton ---

PushButton::PushButton(std::string cp1251Caption, Rect bounds) : Caption(std::move(cp1251Caption)) { Bounds = bounds; }

void PushButton::Click() {
  if (!Enabled) return;
  Dialog* dialog = Parent();
  if (OnClick) OnClick();
  if (Result != kResultNone && dialog) dialog->Close(Result);
}

void PushButton::Draw(Surface& target, int originX, int originY) {
  Rect r{originX + Bounds.x, originY + Bounds.y, Bounds.w, Bounds.h};
  if (r.w <= 0 || r.h <= 0) return;
  if (Focused() && r.w > 2 && r.h > 2) {
    target.FillRect(r, FocusColor);
    r = Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
  }
  target.FillRect(r, FaceColor);
  const Color topLeft = pressed_ ? ShadowColor : LightColor;
  const Color bottomRight = pressed_ ? LightColor : ShadowColor;
  target.FillRect(Rect{r.x, r.y, r.w, 1}, topLeft);
  target.FillRect(Rect{r.x, r.y, 1, r.h}, topLeft);
  target.FillRect(Rect{r.x, r.Bottom() - 1, r.w, 1}, bottomRight);
  target.FillRect(Rect{r.Right() - 1, r.y, 1, r.h}, bottomRight);

  Canvas& canvas = target.GetCanvas();
  CanvasState keep(canvas);
  canvas.font = DialogFont(Enabled ? TextColor : RGB(140, 150, 160));
  canvas.brushClear = true;
  const int shift = pressed_ ? 1 : 0;  // the caption sinks with the face
  const int tx = r.x + (r.w - canvas.TextWidth(Caption)) / 2 + shift;
  const int ty = r.y + (r.h - canvas.TextHeight(Caption)) / 2 + shift;
  canvas.TextOut(tx, ty, Caption);
}

void PushButton::MouseDown(int button, int x, int y) {
  if (button != kMouseLeft || !Enabled || !Contains(x, y)) return;
  held_ = pressed_ = true;
  if (Parent()) Parent()->SetFocus(this);
  Invalidate();
}

void PushButton::MouseMove(int x, int y) {
  if (!held_) return;
  const bool over = Contains(x, y);
  if (over != pressed_) {
    pressed_ = over;
    Invalidate();
  }
}

void PushButton::MouseUp(int button, int x, int y) {
  if (button != kMouseLeft || !held_) return;
  held_ = pressed_ = false;
  Invalidate();
  if (Contains(x, y)) Click();
}

bool PushButton::KeyDown(int key) {
  if (key == kKeySpace || key == kKeyEnter) {
    Click();
    return true;
  }
  return false;
}

// --- Label ---

Label::Label(std::string cp1251Text, Rect bounds) : Text(std::move(cp1251Text)) { Bounds = bounds; }

std::vector<std::string> Label::Lines() const {
  if (WordWrap) return WrapText(TextFont, Text, Bounds.w);
  std::vector<std::string> one;
  if (!Text.empty()) one.push_back(Text);
  return one;
}

int Label::TextHeight() const {
  int w = 0, h = 0;
  MeasureText(TextFont, "Ay", &w, &h);
  return h * static_cast<int>(Lines().size());
}

void Label::Draw(Surface& target, int originX, int originY) {
  Canvas& canvas = target.GetCanvas();
  CanvasState keep(canvas);
  canvas.font = TextFont;
  canvas.brushClear = true;
  const int lineHeight = canvas.TextHeight("Ay");
  int y = originY + Bounds.y;
  for (const std::string& line : Lines()) {
    if (y + lineHeight > originY + Bounds.Bottom()) break;  // no line spills below the label
    const int x = originX + Bounds.x + (Centred ? (Bounds.w - canvas.TextWidth(line)) / 2 : 0);
    canvas.TextOut(x, y, line);
    y += lineHeight;
  }
}

}  // namespace eng
