// Two plain controls of the game's dialogs: a list of text lines with one
// selected (or none), and a radio button of a group. Texts are
// Windows-1251.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/widgets.h"

namespace eng {

// A list longer than the box gets a scroll bar on its right: arrows that
// move one line, the track that moves a page, a thumb to drag; the wheel
// scrolls it too.
class ListBox : public Widget {
 public:
  ListBox() = default;
  explicit ListBox(Rect bounds) { Bounds = bounds; }

  const std::vector<std::string>& Items() const { return items_; }
  void AddItem(const std::string& cp1251);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  // -1 when no line is selected.
  int ItemIndex() const { return index_; }
  // Selects the line (-1 none); out-of-range selects none. Raises no event.
  void SetItemIndex(int index);

  // A click on a line (after it is selected), and any change of the
  // selection by the mouse or the keys.
  std::function<void()> OnClick;
  std::function<void()> OnChange;
  // Every key before the list uses it; setting the key to 0 consumes it.
  std::function<void(int& key)> OnKeyDown;

  Color BackColor = kWhite;
  Color BorderColor = RGB(20, 34, 60);
  Color SelectColor = RGB(64, 104, 148);
  Color DisabledColor = RGB(228, 226, 220);

  // The height of one line in pixels, and the first line shown.
  static int LineHeight();
  int TopIndex() const { return top_; }
  // Shows the lines from index on, as far as the list allows.
  void SetTopIndex(int index);
  int VisibleLines() const;
  // The scroll bar, in the list's own coordinates; empty while every line fits.
  bool HasScrollBar() const { return Count() > VisibleLines(); }
  static constexpr int kScrollBarWidth = 14;
  Rect ScrollBar() const;
  Rect ThumbRect() const;

  void Draw(Surface& target, int originX, int originY) override;
  void MouseDown(int button, int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int button, int x, int y) override;
  bool MouseWheel(int steps) override;
  bool KeyDown(int key) override;
  bool CanFocus() const override { return Enabled && Visible; }
  void FocusChanged() override { Invalidate(); }

 private:
  void Select(int index);  // by the player: scrolls and raises OnChange
  int TextWidth() const;   // the room the lines have, beside the bar when it shows

  std::vector<std::string> items_;
  int index_ = -1;
  int top_ = 0;
  bool thumbHeld_ = false;
  int thumbGrab_ = 0;  // where the thumb was taken, from its top
};

// A round mark and a caption. Checking one button of a group unchecks the
// others.
class RadioButton : public Widget {
 public:
  RadioButton() = default;
  RadioButton(std::string cp1251Caption, Rect bounds);

  std::string Caption;
  std::function<void()> OnClick;
  std::function<void(int& key)> OnKeyDown;

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // Makes the buttons one group.
  static void Group(const std::vector<RadioButton*>& buttons);

  void Draw(Surface& target, int originX, int originY) override;
  void MouseDown(int button, int x, int y) override;
  bool KeyDown(int key) override;
  bool CanFocus() const override { return Enabled && Visible; }
  void FocusChanged() override { Invalidate(); }

 private:
  void Click();

  bool checked_ = false;
  std::shared_ptr<std::vector<RadioButton*>> group_;
};

}  // namespace eng
