// The single-line edit: the name in the New Game dialog and the chat line
// over the frame. Texts are Windows-1251 bytes.
#include "engine/line_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/keys.h"
#include "engine/surface.h"
#include "engine/text_codec.h"

namespace {

using eng::LineEdit;
using eng::Rect;

// An edit on its own, as the chat line stands over the frame.
LineEdit Edit(const std::string& cp1251, int width = 123) {
  LineEdit e(Rect{17, 56, width, 24});
  e.SetFontPixels(13);
  e.SetText(cp1251);
  e.SetFocused(true);
  return e;
}

void Keys(LineEdit& e, std::initializer_list<int> keys) {
  for (int k : keys) e.KeyDown(k);
}

TEST(LineEdit, EditingKeysMoveTheCaretAndDeleteAroundIt) {
  LineEdit e = Edit("abcd");
  EXPECT_EQ(e.CaretPos(), 4);
  Keys(e, {eng::kKeyLeft, eng::kKeyLeft, eng::kKeyBackspace});
  EXPECT_EQ(e.Text(), "acd");
  EXPECT_EQ(e.CaretPos(), 1);
  e.KeyDown(eng::kKeyDelete);
  EXPECT_EQ(e.Text(), "ad");
  Keys(e, {eng::kKeyHome, eng::kKeyBackspace, eng::kKeyLeft});  // nothing before the start
  EXPECT_EQ(e.Text(), "ad");
  EXPECT_EQ(e.CaretPos(), 0);
  e.KeyDown(eng::kKeyDelete);
  EXPECT_EQ(e.Text(), "d");
  Keys(e, {eng::kKeyEnd, eng::kKeyDelete, eng::kKeyRight});  // nothing after the end
  EXPECT_EQ(e.Text(), "d");
  EXPECT_EQ(e.CaretPos(), 1);
  e.TextInput(W("Я"));
  EXPECT_EQ(e.Text(), std::string("d").append(W("Я")));
  e.KeyDown(eng::kKeyHome);
  e.TextInput("x");
  EXPECT_EQ(e.Text(), "xd" + W("Я"));
  EXPECT_EQ(e.CaretPos(), 1);
}

TEST(LineEdit, MaxLengthCountsBytesAndStopsTyping) {
  LineEdit e(Rect{0, 0, 123, 24});
  e.MaxLength = 12;
  e.SetText(W("Александр Сергеевич"));  // 19 letters
  EXPECT_EQ(e.Text(), W("Александр Се"));
  e.TextInput("z");
  EXPECT_EQ(e.Text().size(), 12u);
  // Room for two of a longer piece; the rest is not typed.
  e.KeyDown(eng::kKeyBackspace);
  e.KeyDown(eng::kKeyBackspace);
  e.TextInput(W("ргей"));
  EXPECT_EQ(e.Text(), W("Александр рг"));
  // No limit: all of it.
  e.MaxLength = 0;
  e.TextInput(W("ей"));
  EXPECT_EQ(e.Text(), W("Александр ргей"));
}

TEST(LineEdit, ControlCharactersAreNotTyped) {
  LineEdit e = Edit("");
  e.TextInput("a\tb\r\nc\x7f");
  EXPECT_EQ(e.Text(), "abc");
}

TEST(LineEdit, OwnerHookSeesKeysFirstAndMayConsumeThem) {
  LineEdit e = Edit("ab");
  int enters = 0;
  e.OnKeyDown = [&](int& key) {
    if (key == eng::kKeyEnter) {
      ++enters;
      key = eng::kKeyNone;
    }
    if (key == eng::kKeyHome) key = eng::kKeyNone;  // swallowed before the edit sees it
  };
  EXPECT_TRUE(e.KeyDown(eng::kKeyEnter));
  EXPECT_EQ(enters, 1);
  EXPECT_TRUE(e.KeyDown(eng::kKeyHome));
  EXPECT_EQ(e.CaretPos(), 2);
  EXPECT_TRUE(e.KeyDown(eng::kKeyLeft));
  EXPECT_EQ(e.CaretPos(), 1);
  // A key neither wants goes back to the dialog.
  e.OnKeyDown = nullptr;
  EXPECT_FALSE(e.KeyDown(eng::kKeyEnter));
  EXPECT_FALSE(e.KeyDown(eng::kKeyEscape));
}

TEST(LineEdit, ChangeIsReportedForTypingAndEditingOnly) {
  LineEdit e = Edit("ab");
  int changes = 0;
  e.OnChange = [&] { ++changes; };
  e.SetText("xyz");
  e.KeyDown(eng::kKeyDelete);  // at the end: nothing to delete
  e.KeyDown(eng::kKeyLeft);
  EXPECT_EQ(changes, 0);
  e.KeyDown(eng::kKeyBackspace);
  e.TextInput("q");
  EXPECT_EQ(changes, 2);
}

TEST(LineEdit, LongTextScrollsSoTheCaretStaysInTheBox) {
  LineEdit e = Edit("", 60);
  for (int i = 0; i < 40; ++i) {
    e.TextInput(W("Ш"));
    ASSERT_LE(e.CaretX(), e.InnerWidth() - 1) << "after " << i + 1;
  }
  EXPECT_GT(e.ScrollPos(), 0);
  e.KeyDown(eng::kKeyHome);
  EXPECT_EQ(e.ScrollPos(), 0);
  EXPECT_EQ(e.CaretX(), 0);
  e.KeyDown(eng::kKeyEnd);
  EXPECT_GT(e.ScrollPos(), 0);
  EXPECT_LE(e.CaretX(), e.InnerWidth() - 1);
  // Deleted back to a short text, all of it shows again.
  for (int i = 0; i < 37; ++i) e.KeyDown(eng::kKeyBackspace);
  EXPECT_EQ(e.ScrollPos(), 0);
}

TEST(LineEdit, ClickPlacesTheCaretAtTheNearestBoundary) {
  LineEdit e = Edit(W("Иван Петров"));
  e.SetCaretPos(4);
  const int x4 = e.CaretX();
  const int left = e.Bounds.x + LineEdit::kPadding;
  e.MouseDown(eng::kMouseLeft, left + x4 + 1, 60);
  EXPECT_EQ(e.CaretPos(), 4);
  e.MouseDown(eng::kMouseLeft, left - 2, 60);
  EXPECT_EQ(e.CaretPos(), 0);
  e.MouseDown(eng::kMouseLeft, e.Bounds.Right() - 2, 60);
  EXPECT_EQ(e.CaretPos(), static_cast<int>(e.Text().size()));
}

TEST(LineEdit, DrawsItselfAtItsPlaceOnAFrame) {
  eng::Surface frame(640, 480);
  frame.Fill(eng::kBlack);
  LineEdit e(Rect{24, 441, 441, 23});  // where the chat line stands
  e.SetFontPixels(12);
  e.Draw(frame, 0, 0);
  EXPECT_EQ(frame.GetColor(100, 452), eng::FromRGB565(eng::ToRGB565(eng::RGB(82, 133, 227))));
  EXPECT_EQ(frame.GetColor(23, 452), eng::kBlack);
  EXPECT_EQ(frame.GetColor(466, 452), eng::kBlack);
  // The focused, empty edit shows its caret at the start of the text.
  const int caretX = 24 + LineEdit::kPadding;
  EXPECT_NE(frame.GetColor(caretX, 452), eng::kWhite);
  e.SetFocused(true);
  e.Draw(frame, 0, 0);
  EXPECT_EQ(frame.GetColor(caretX, 452), eng::kWhite);
  // Typed text shows in white over the blue.
  e.TextInput("WWW");
  e.Draw(frame, 0, 0);
  int white = 0;
  for (int y = 441; y < 464; ++y)
    for (int x = caretX; x < caretX + 20; ++x) {
      const eng::Color c = frame.GetColor(x, y);
      white += c.r > 200 && c.g > 200 && c.b > 200;
    }
  EXPECT_GT(white, 15);
}

}  // namespace
