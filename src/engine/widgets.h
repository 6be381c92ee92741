// The controls the game's dialogs are made of, drawn by the game itself in
// its one window: a widget base, the dialog that holds widgets, push
// buttons and labels. Texts are Windows-1251; positions are frame pixels,
// a widget's relative to its dialog.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/canvas.h"
#include "engine/surface.h"
#include "engine/types.h"

namespace eng {

class Dialog;
class Picture;
class PushButton;

// The results a dialog ends with, numbered as the system's dialog results.
enum ModalResult : int {
  kResultNone = 0,
  kResultOK = 1,
  kResultCancel = 2,
  kResultYes = 6,
  kResultNo = 7,
};

// The game's dialog font: Arial, 9 points.
Font DialogFont(Color color = kBlack);

// Breaks a text into lines no wider than width pixels in the font: at
// spaces where it can, inside a word only when the word alone is too wide;
// "\n" (or "\r\n") always breaks. An empty text gives no lines.
std::vector<std::string> WrapText(const Font& font, std::string_view text, int width);

class Widget {
 public:
  virtual ~Widget() = default;

  Rect Bounds;  // inside the dialog
  bool Visible = true;
  bool Enabled = true;

  // Draws the widget with its dialog's top-left corner at origin.
  virtual void Draw(Surface& target, int originX, int originY) = 0;
  // Positions are relative to the dialog. A widget that takes a press gets
  // the moves and the release that follow, wherever they are.
  virtual void MouseDown(int /*button*/, int /*x*/, int /*y*/) {}
  virtual void MouseMove(int /*x*/, int /*y*/) {}
  virtual void MouseUp(int /*button*/, int /*x*/, int /*y*/) {}
  // The wheel turned with the pointer over the widget (steps > 0 away from
  // the player); true when the widget used it.
  virtual bool MouseWheel(int /*steps*/) { return false; }
  // True when the widget used the key; otherwise the dialog may.
  virtual bool KeyDown(int /*key*/) { return false; }
  virtual void TextInput(const std::string& /*cp1251*/) {}
  // Whether the keyboard focus may rest here, and whether presses are the
  // widget's (a label's are the dialog's: they drag it).
  virtual bool CanFocus() const { return false; }
  virtual bool TakesMouse() const { return Enabled; }
  // The focus came or went.
  virtual void FocusChanged() {}

  bool Contains(int x, int y) const {
    return x >= Bounds.x && y >= Bounds.y && x < Bounds.Right() && y < Bounds.Bottom();
  }
  bool Focused() const;
  Dialog* Parent() const { return parent_; }
  // The widget's look changed: the dialog is drawn again.
  void Invalidate();

 private:
  friend class Dialog;
  Dialog* parent_ = nullptr;
};

// A dialog: a rectangle over the game frame holding widgets (not owned),
// painted over a background. It is shown by RunModal and ends with a
// ModalResult.
class Dialog {
 public:
  Dialog(int width, int height);
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Position on the frame and size.
  int Left = 0, Top = 0;
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);
  // Over the middle of the 640 x 480 frame.
  void CentreOnFrame();

  // The background: the callback paints the whole dialog rectangle (given
  // in frame pixels); without one, the picture is drawn, and without
  // either, a plain fill of BackColor.
  std::function<void(Surface&, Rect)> PaintBackground;
  // A keyed picture lets the game show through its transparent colour.
  void SetBackgroundPicture(const Picture& picture, std::optional<Color> transparent = std::nullopt);
  Color BackColor = RGB(212, 208, 200);

  // Adds a widget in front of those added before; the dialog does not own it.
  void Add(Widget& widget);
  void SetFocus(Widget* widget);
  Widget* Focus() const { return focus_; }
  // Moves the focus to the next (or previous) widget that can take it.
  void FocusNext(bool backwards = false);

  // Ends the modal run with the result.
  void Close(int result);
  bool Closed() const { return closed_; }
  int Result() const { return result_; }
  // Makes the dialog ready for another run.
  void Reopen();

  // Draws background and widgets at (Left, Top).
  void Paint(Surface& target);
  bool NeedsPaint() const { return dirty_; }
  void Invalidate() { dirty_ = true; }
  void MarkPainted() { dirty_ = false; }

  // Input in frame pixels, as the display delivers it.
  void HandleMouseDown(int button, int x, int y);
  void HandleMouseMove(int x, int y);
  void HandleMouseUp(int button, int x, int y);
  // Goes to the widget under the pointer, else to the focused one.
  void HandleMouseWheel(int steps);
  void HandleKey(int key);
  void HandleText(const std::string& cp1251);

  // Enter presses this one (unless a focused button takes it), Escape
  // presses the cancel one.
  PushButton* DefaultButton = nullptr;
  PushButton* CancelButton = nullptr;

 protected:
  // A key no widget used, before Enter, Escape and Tab do their usual; true
  // when the dialog used it.
  virtual bool OnKey(int /*key*/) { return false; }

 private:
  Widget* WidgetAt(int x, int y) const;

  int width_, height_;
  std::vector<Widget*> widgets_;
  Widget* focus_ = nullptr;
  Widget* captured_ = nullptr;  // takes the mouse from a press to its release
  bool dragging_ = false;
  int dragX_ = 0, dragY_ = 0;  // where the background was taken, inside the dialog
  int capturedButton_ = 0;
  int pointerX_ = -1, pointerY_ = -1;  // the last pointer position inside the dialog
  bool closed_ = false;
  int result_ = kResultNone;
  bool dirty_ = true;
  Surface backgroundSurface_;
  bool backgroundKeyed_ = false;
};

// A bevelled push button with a caption. A press looks pushed while held
// and clicks on its release over the button; Space clicks the focused one.
class PushButton : public Widget {
 public:
  PushButton() = default;
  PushButton(std::string cp1251Caption, Rect bounds);

  std::string Caption;
  // Clicking ends the dialog with this result when it is not kResultNone.
  int Result = kResultNone;
  std::function<void()> OnClick;

  Color FaceColor = RGB(64, 104, 148);
  Color LightColor = RGB(150, 182, 214);
  Color ShadowColor = RGB(22, 40, 64);
  Color TextColor = kWhite;
  Color FocusColor = RGB(214, 178, 92);

  void Click();
  bool Pressed() const { return pressed_; }

  void Draw(Surface& target, int originX, int originY) override;
  void MouseDown(int button, int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int button, int x, int y) override;
  bool KeyDown(int key) override;
  bool CanFocus() const override { return Enabled && Visible; }
  void FocusChanged() override { Invalidate(); }

 private:
  bool held_ = false;     // the left button went down here and is not up yet
  bool pressed_ = false;  // held and the pointer over the button
};

// A text, wrapped within its width when WordWrap is on.
class Label : public Widget {
 public:
  Label() = default;
  Label(std::string cp1251Text, Rect bounds);

  std::string Text;
  Font TextFont = DialogFont();
  bool WordWrap = true;
  bool Centred = false;

  // The lines as drawn, and the height they take.
  std::vector<std::string> Lines() const;
  int TextHeight() const;

  void Draw(Surface& target, int originX, int originY) override;
  bool TakesMouse() const override { return false; }
};

}  // namespace eng
