#include "engine/message_box.h"

#include <SDL.h>

#include <algorithm>

#include "engine/display.h"
#include "engine/font_cache.h"
#include "engine/text_codec.h"

namespace eng {

namespace {

constexpr Color kPanel = RGB(46, 84, 122);
constexpr Color kBrassDark = RGB(112, 84, 34);
constexpr Color kBrass = RGB(204, 166, 82);
constexpr Color kBrassLight = RGB(242, 216, 146);
constexpr int kBorder = 4;

// The panel: steel blue inside a brass frame with a dark outer edge and a
// bright inner one.
void PaintPanel(Surface& target, Rect r) {
  target.FillRect(r, kBrassDark);
  target.FillRect(Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2}, kBrass);
  target.FillRect(Rect{r.x + 3, r.y + 3, r.w - 6, r.h - 6}, kBrassLight);
  target.FillRect(Rect{r.x + kBorder, r.y + kBorder, r.w - 2 * kBorder, r.h - 2 * kBorder}, kPanel);
}

int LineHeight(const Font& font) {
  int w = 0, h = 0;
  MeasureText(font, "Ay", &w, &h);
  return std::max(h, 1);
}

int WidestLine(const Font& font, const std::vector<std::string>& lines) {
  int widest = 0;
  for (const std::string& line : lines) {
    int w = 0, h = 0;
    MeasureText(font, line, &w, &h);
    widest = std::max(widest, w);
  }
  return widest;
}

// Before the game's window is up (a settings file that cannot be written
// at start-up) the desktop's own box carries the message. Without one the
// answer is the last button, the cautious one.
int SystemMessageBox(const MessageBoxDialog& box) {
  const std::vector<PushButton*>& buttons = box.Buttons();
  std::vector<std::string> captions;
  for (const PushButton* b : buttons) captions.push_back(Cp1251ToUtf8(b->Caption));
  std::vector<SDL_MessageBoxButtonData> data;
  for (size_t i = 0; i < buttons.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (i + 1 == buttons.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back(SDL_MessageBoxButtonData{flags, buttons[i]->Result, captions[i].c_str()});
  }
  const std::string text = Cp1251ToUtf8(box.Text().Text);
  const SDL_MessageBoxData message{SDL_MESSAGEBOX_INFORMATION, nullptr, "Salvora", text.c_str(),
                                   static_cast<int>(data.size()), data.data(), nullptr};
  int chosen = -1;
  if (SDL_ShowMessageBox(&message, &chosen) != 0 || chosen < 0) return buttons.back()->Result;
  return chosen;
}

}  // namespace

MessageBoxDialog::MessageBoxDialog(const std::string& cp1251Text, MessageButtons buttons) : Dialog(0, 0) {
  PaintBackground = PaintPanel;

  text_.Text = cp1251Text;
  text_.TextFont = DialogFont(kWhite);
  text_.Centred = true;
  std::vector<std::string> lines = WrapText(text_.TextFont, cp1251Text, kMaxTextWidth);
  const int lineHeight = LineHeight(text_.TextFont);
  // A text too long for the frame shows as many lines as the box can hold.
  const int maxLines = std::max(1, (Display::kHeight - 3 * kMargin - kButtonHeight) / lineHeight);
  if (static_cast<int>(lines.size()) > maxLines) lines.resize(maxLines);
  const int textWidth = std::min(WidestLine(text_.TextFont, lines), kMaxTextWidth);
  const int textHeight = lineHeight * static_cast<int>(lines.size());

  if (buttons == MessageButtons::YesNo) {
    first_.Caption = W("Да");
    first_.Result = kResultYes;
    second_.Caption = W("Нет");
    second_.Result = kResultNo;
    buttons_ = {&first_, &second_};
  } else {
    first_.Caption = "OK";
    first_.Result = kResultOK;
    buttons_ = {&first_};
  }
  const int count = static_cast<int>(buttons_.size());
  const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;

  const int width = std::max({textWidth, rowWidth, 160}) + 2 * kMargin;
  const int height = kMargin + textHeight + (textHeight > 0 ? kMargin : 0) + kButtonHeight + kMargin;
  SetSize(width, height);

  text_.Bounds = Rect{kMargin, kMargin, width - 2 * kMargin, textHeight};
  Add(text_);
  int x = (width - rowWidth) / 2;
  for (PushButton* b : buttons_) {
    b->Bounds = Rect{x, height - kMargin - kButtonHeight, kButtonWidth, kButtonHeight};
    Add(*b);
    x += kButtonWidth + kButtonGap;
  }
  DefaultButton = buttons_.front();
  CancelButton = buttons_.back();
  SetFocus(DefaultButton);
  CentreOnFrame();
}

int MessageBox(Display& display, const std::string& cp1251Text, MessageButtons buttons, const ModalHook& hook) {
  MessageBoxDialog box(cp1251Text, buttons);
  if (!display.Initialized()) return SystemMessageBox(box);
  return RunModal(display, box, hook).result;
}

}  // namespace eng
