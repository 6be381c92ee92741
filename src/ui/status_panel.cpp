// The status panel with its three lines and the blink of the prompt, and the
// overlay texts: the centred message over the enemy grid and the chat line.
#include <array>

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

// Bold Arial at 8 points is 13 pixels high: it fits the 15-pixel boxes and
// a twelve-letter name fits the 113-pixel ones.
const eng::Font kStatusFont{"Arial", 8, true, eng::kBlack};
constexpr eng::Color kStatusKey{0, 0, 127};
constexpr eng::Color kYellow{255, 255, 0};

// The boxes of the three lines inside the panel, and their colours.
constexpr std::array<eng::Rect, 3> kLineBox{{{17, 8, 113, 15}, {145, 8, 237, 15}, {397, 8, 113, 15}}};
constexpr std::array<eng::Color, 3> kLineColor{kYellow, eng::kWhite, kYellow};

// A line of the prompt waits this long before it blinks again.
constexpr uint32_t kBlinkMs = 400;

const eng::Font kOverlayFont{"Arial", 9, true, eng::kBlack};
const eng::Font kChatFont{"Arial", 7, false, kYellow};

// The list of the game's chat lines: received ones in the chat line's
// yellow, the player's own in pale blue, on the dark of a panel's well.
constexpr size_t kChatListRows = 8;
constexpr eng::Color kListBack{12, 20, 36}, kListEdge{82, 133, 227}, kOwnLine{190, 214, 255};
constexpr eng::Color kListTitle{150, 166, 190};

// As much of the line as fits the width, cut at a character.
std::string Fitting(eng::Canvas& canvas, const std::string& line, int width) {
  if (canvas.TextWidth(line) <= width) return line;
  size_t low = 0, high = line.size();
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (canvas.TextWidth(std::string_view(line).substr(0, mid)) <= width)
      low = mid;
    else
      high = mid - 1;
  }
  return line.substr(0, low);
}

}  // namespace

void TCommon::SetStatus(int line, const std::string& text, bool saveLine2) {
  // Always from the clean panel: the status picture may hold the lines
  // painted on it when the display last went.
  StatusSurface.LoadFromPicture(Services().images[assets::kStatusBlock].picture);
  StatusSurface.SetColorKey(kStatusKey);
  eng::Canvas& canvas = StatusSurface.GetCanvas();
  canvas.brushClear = true;
  canvas.font = kStatusFont;

  if (saveLine2) StatusSaved = StatusLine[1];
  if (line >= 1 && line <= 3) StatusLine[line - 1] = text;

  std::array<int, 3> cx{}, cy{};
  for (int i = 0; i < 3; ++i) {
    const eng::Rect box = kLineBox[i];
    cx[i] = box.x + (box.w - canvas.TextWidth(StatusLine[i])) / 2;
    cy[i] = box.y + (box.h - canvas.TextHeight(StatusLine[i])) / 2;
  }
  // The black copies first, so no shadow falls over a neighbour's letters.
  for (int i = 0; i < 3; ++i) canvas.TextOut(cx[i], cy[i], StatusLine[i]);
  for (int i = 0; i < 3; ++i) {
    canvas.font.color = kLineColor[i];
    canvas.TextOut(cx[i] - 1, cy[i] - 1, StatusLine[i]);
  }
  canvas.font.color = eng::kBlack;
  canvas.Release();
}

void TCommon::BlinkStatus(int times, bool restore) {
  if (Blinking) return;  // the running blink keeps its count and restore
  BlinkCount = 0;
  BlinkLimit = static_cast<uint8_t>(2 * times + 1);
  BlinkText = StatusLine[1];
  SetStatus(2, "", false);
  BlinkShown = 0;
  BlinkTick = Services().clock.Ticks();
  Blinking = 1;
  BlinkRestore = restore ? 1 : 0;
}

int TCommon::NextBlinkIn() {
  if (!Blinking || AnimationsInFlight != 0) return -1;
  const uint32_t passed = Services().clock.Ticks() - BlinkTick;
  return passed > kBlinkMs ? 0 : static_cast<int>(kBlinkMs + 1 - passed);
}

void TCommon::UpdateBlink() {
  if (!Blinking || AnimationsInFlight != 0) return;  // held while rockets fly
  const uint32_t now = Services().clock.Ticks();
  if (now - BlinkTick <= kBlinkMs) return;

  if (BlinkShown) {
    // Whatever stands on the line now is what blinks on next.
    BlinkText = StatusLine[1];
    SetStatus(2, "", false);
    BlinkShown = 0;
  } else {
    // A prompt put on the blank line meanwhile is newer than the blinking
    // one: it stays and blinks on instead of being overwritten.
    if (!StatusLine[1].empty()) BlinkText = StatusLine[1];
    SetStatus(2, BlinkText, false);
    BlinkShown = 1;
  }

  BlinkTick = now;
  ++BlinkCount;
  if (BlinkCount >= BlinkLimit) {
    Blinking = 0;
    if (BlinkRestore) {
      SetStatus(2, StatusSaved, false);
      BlinkRestore = 0;
    }
  }
}

void TCommon::DrawOverlay(eng::Surface& back) {
  eng::Canvas& canvas = back.GetCanvas();
  canvas.brushClear = true;
  if (OverlayShown && !OverlayText.empty()) {
    canvas.font = kOverlayFont;
    const int x = EnemyGrid().OriginX + (256 - canvas.TextWidth(OverlayText)) / 2;
    const int y = EnemyGrid().OriginY + (272 - canvas.TextHeight(OverlayText)) / 2;
    // A black copy on both diagonals keeps the white readable over any cell.
    canvas.TextOut(x + 1, y + 1, OverlayText);
    canvas.TextOut(x - 1, y - 1, OverlayText);
    canvas.font.color = eng::kWhite;
    canvas.TextOut(x, y, OverlayText);
    canvas.Release();
  }
  if (ChatShown && !ChatLine.empty()) {
    canvas.font = kChatFont;
    canvas.TextOut(25, 464, ChatLine);
    canvas.Release();
  }
}

void TCommon::ShowChatLine(const std::string& line, bool received) {
  ChatLine = line;
  ChatLog.AddGameLine(line, received);
}

void TCommon::DrawChatList(eng::Surface& back) {
  if (!ChatShown || !ChatListShown) return;
  const std::deque<TChatEntry> lines = ChatLog.ListLines(kChatListRows);
  if (lines.empty()) return;
  eng::Canvas& canvas = back.GetCanvas();
  canvas.brushClear = true;
  canvas.font = kChatFont;
  const int rowHeight = canvas.TextHeight("Ay") + 1;
  const int x = ChatLineStrip.x, width = ChatLineStrip.w;
  const int height = rowHeight * static_cast<int>(lines.size() + 1) + 6;
  const int top = 439 - height;  // just above the chat edit
  canvas.Release();
  back.FillRect(eng::Rect{x, top, width, height}, kListEdge);
  back.FillRect(eng::Rect{x + 1, top + 1, width - 2, height - 2}, kListBack);
  canvas.font.color = kListTitle;
  canvas.TextOut(x + 4, top + 3, W("Сообщения этой игры"));
  int y = top + 3 + rowHeight;
  for (const TChatEntry& entry : lines) {
    canvas.font.color = entry.Received ? kYellow : kOwnLine;
    canvas.TextOut(x + 4, y, Fitting(canvas, entry.Line, width - 8));
    y += rowHeight;
  }
  canvas.Release();
}
