// The game's own dialogs: push buttons, text wrapping, dragging, the modal
// loop over the last frame, and the message box.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/display.h"
#include "engine/keys.h"
#include "engine/message_box.h"
#include "engine/modal_loop.h"
#include "engine/surface.h"
#include "engine/text_codec.h"
#include "engine/widgets.h"

namespace {

using eng::Rect;

// The game's handler: it must hear nothing while a dialog runs.
struct GameHandler : eng::DisplayHandler {
  int mouse = 0, keys = 0, closes = 0;
  void DXDrawMouseDown(int, unsigned, int, int) override { ++mouse; }
  void DXDrawMouseUp(int, unsigned, int, int) override { ++mouse; }
  void KeyDown(int) override { ++keys; }
  void CloseRequested() override { ++closes; }
};

class ModalTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void SetUp() override {
    ASSERT_TRUE(display.Initialize(false));
    display.PumpEvents();  // the window's own start-up events
    FillPattern();
  }
  // A backdrop no dialog paints: stripes of two colours.
  void FillPattern() {
    eng::Surface& back = display.BackSurface();
    for (int y = 0; y < back.Height(); y += 8) back.FillRect(Rect{0, y, back.Width(), 4}, eng::RGB(200, 40, 160));
  }
  std::vector<uint16_t> BackPixels() {
    std::vector<uint16_t> p;
    eng::Surface& back = display.BackSurface();
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x) p.push_back(back.GetPixel(x, y));
    return p;
  }
  // A hook that runs the script on pass n (0 first) and gives up after many.
  eng::ModalHook Script(std::function<void(int pass)> step, eng::Dialog* guard = nullptr) {
    return [this, step, guard]() {
      step(pass_);
      if (++pass_ > 500) {
        ADD_FAILURE() << "the dialog never closed";
        if (guard) guard->Close(eng::kResultNone);
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
      }
    };
  }
  void Click(Rect r) {
    display.InjectMouseDown(eng::kMouseLeft, r.x + r.w / 2, r.y + r.h / 2);
    display.InjectMouseUp(eng::kMouseLeft, r.x + r.w / 2, r.y + r.h / 2);
  }
  static Rect OnFrame(const eng::Dialog& d, Rect r) { return Rect{d.Left + r.x, d.Top + r.y, r.w, r.h}; }

  eng::ManualClock clock;
  GameHandler game;
  eng::Display display{game, clock};
  int pass_ = 0;
};

}  // namespace

TEST(WidgetPushButton, ClicksOnlyOnReleaseInside) {
  eng::Dialog dialog(200, 100);
  dialog.Left = 100;
  dialog.Top = 50;
  eng::PushButton button("OK", Rect{20, 30, 75, 23});
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  dialog.Add(button);
  const int inX = 100 + 30, inY = 50 + 40;  // over the button
  const int outX = 100 + 150, outY = 50 + 80;

  dialog.HandleMouseDown(eng::kMouseLeft, inX, inY);
  EXPECT_TRUE(button.Pressed());
  EXPECT_EQ(clicks, 0) << "nothing happens on the press";
  dialog.HandleMouseMove(outX, outY);
  EXPECT_FALSE(button.Pressed()) << "the face comes up when the pointer leaves";
  dialog.HandleMouseMove(inX, inY);
  EXPECT_TRUE(button.Pressed());
  dialog.HandleMouseMove(outX, outY);
  dialog.HandleMouseUp(eng::kMouseLeft, outX, outY);
  EXPECT_EQ(clicks, 0) << "released outside: no click";
  EXPECT_EQ(dialog.Left, 100) << "a press on a button does not drag the dialog";

  // Pressed elsewhere and released over the button: no click either.
  dialog.HandleMouseDown(eng::kMouseLeft, outX, outY);
  dialog.HandleMouseUp(eng::kMouseLeft, inX, inY);
  EXPECT_EQ(clicks, 0);
  // The right button does not press it.
  dialog.HandleMouseDown(eng::kMouseRight, inX, inY);
  dialog.HandleMouseUp(eng::kMouseRight, inX, inY);
  EXPECT_EQ(clicks, 0);

  dialog.HandleMouseDown(eng::kMouseLeft, inX, inY);
  dialog.HandleMouseUp(eng::kMouseLeft, inX + 5, inY + 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(dialog.Closed()) << "a button without a result leaves the dialog open";

  button.Enabled = false;
  dialog.HandleMouseDown(eng::kMouseLeft, inX, inY);
  dialog.HandleMouseUp(eng::kMouseLeft, inX, inY);
  dialog.HandleKey(eng::kKeySpace);
  EXPECT_EQ(clicks, 1) << "a disabled button does nothing";

  button.Enabled = true;
  button.Result = eng::kResultOK;
  dialog.HandleKey(eng::kKeySpace);
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Result(), eng::kResultOK);
}

TEST(WidgetDialog, CentresAndDragsByItsBackgroundWithinTheFrame) {
  eng::Dialog dialog(201, 101);
  eng::Label label("text", Rect{10, 10, 100, 20});
  eng::PushButton button("OK", Rect{10, 60, 75, 23});
  dialog.Add(label);
  dialog.Add(button);
  dialog.CentreOnFrame();
  EXPECT_EQ(dialog.Left, 219);  // (640 - 201) div 2
  EXPECT_EQ(dialog.Top, 189);   // (480 - 101) div 2

  dialog.MarkPainted();
  dialog.HandleMouseDown(eng::kMouseLeft, 219 + 150, 189 + 20);
  dialog.HandleMouseMove(219 + 160, 189 + 25);
  EXPECT_EQ(dialog.Left, 229);
  EXPECT_EQ(dialog.Top, 194);
  EXPECT_TRUE(dialog.NeedsPaint());
  dialog.HandleMouseMove(-500, -500);
  EXPECT_EQ(dialog.Left, 0) << "kept on the frame";
  EXPECT_EQ(dialog.Top, 0);
  dialog.HandleMouseMove(2000, 2000);
  EXPECT_EQ(dialog.Left, 640 - 201);
  EXPECT_EQ(dialog.Top, 480 - 101);
  dialog.HandleMouseUp(eng::kMouseLeft, 2000, 2000);
  dialog.HandleMouseMove(0, 0);
  EXPECT_EQ(dialog.Left, 640 - 201) << "the drag ends with the release";

  // A label is part of the background; a press outside the dialog is nobody's.
  dialog.Left = dialog.Top = 100;
  dialog.HandleMouseDown(eng::kMouseLeft, 100 + 15, 100 + 15);
  dialog.HandleMouseMove(100 + 25, 100 + 15);
  dialog.HandleMouseUp(eng::kMouseLeft, 100 + 25, 100 + 15);
  EXPECT_EQ(dialog.Left, 110);
  dialog.HandleMouseDown(eng::kMouseLeft, 5, 5);
  dialog.HandleMouseMove(50, 50);
  dialog.HandleMouseUp(eng::kMouseLeft, 50, 50);
  EXPECT_EQ(dialog.Left, 110);
  EXPECT_EQ(dialog.Top, 100);
}

TEST(WidgetWrapText, BreaksAtSpacesNewlinesAndInsideOverlongWords) {
  const eng::Font font = eng::DialogFont();
  eng::Surface s(10, 10);
  eng::Canvas& c = s.GetCanvas();
  c.font = font;
  const std::string text = W("Ошибка при сохранении настроек! Файл config.opt не записан.");
  const int width = c.TextWidth(W("Ошибка при сохранении"));
  const std::vector<std::string> lines = eng::WrapText(font, text, width);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], W("Ошибка при сохранении"));
  std::string joined;
  for (const std::string& l : lines) {
    EXPECT_LE(c.TextWidth(l), width) << l;
    joined += (joined.empty() ? "" : " ") + l;
  }
  EXPECT_EQ(joined, text) << "no word lost or changed";

  EXPECT_EQ(eng::WrapText(font, "one\r\ntwo\n\nthree", 1000), (std::vector<std::string>{"one", "two", "", "three"}));
  EXPECT_TRUE(eng::WrapText(font, "", 100).empty());

  const std::vector<std::string> cut = eng::WrapText(font, std::string(40, 'W'), c.TextWidth("WWWW"));
  ASSERT_EQ(cut.size(), 10u);
  for (const std::string& l : cut) EXPECT_EQ(l, "WWWW");
}

TEST_F(ModalTest, MessageBoxClosedByOkReturnsOk) {
  const std::string text = W("Ошибка при сохранении настроек!");
  const eng::MessageBoxDialog twin(text, eng::MessageButtons::Ok);
  ASSERT_EQ(twin.Buttons().size(), 1u);
  const Rect ok = OnFrame(twin, twin.Buttons()[0]->Bounds);
  int passes = 0;
  const int result = eng::MessageBox(display, text, eng::MessageButtons::Ok, Script([&](int pass) {
                                       passes = pass + 1;
                                       if (pass == 2) {
                                         display.InjectMouseDown(eng::kMouseLeft, ok.x + 3, ok.y + 3);
                                         display.InjectMouseMove(ok.x + 4, ok.y + 4);
                                       }
                                       if (pass == 4) display.InjectMouseUp(eng::kMouseLeft, ok.x + 5, ok.y + 5);
                                     }));
  EXPECT_EQ(result, eng::kResultOK);
  EXPECT_EQ(passes, 5) << "the box closed with the release, not the press";
  EXPECT_EQ(game.mouse, 0) << "the game heard none of the dialog's input";

  // The game's handler is current again.
  display.InjectKey(eng::kKeyF5);
  EXPECT_EQ(game.keys, 1);
}

TEST_F(ModalTest, MessageBoxYesNoByEnterAndEscape) {
  const std::string text = W("Восстановить соединение?");
  const eng::MessageBoxDialog twin(text, eng::MessageButtons::YesNo);
  ASSERT_EQ(twin.Buttons().size(), 2u);
  EXPECT_EQ(twin.Buttons()[0]->Caption, W("Да"));
  EXPECT_EQ(twin.Buttons()[1]->Caption, W("Нет"));

  EXPECT_EQ(eng::MessageBox(display, text, eng::MessageButtons::YesNo,
                            Script([&](int pass) { if (pass == 1) display.InjectKey(eng::kKeyEnter); })),
            eng::kResultYes);
  pass_ = 0;
  EXPECT_EQ(eng::MessageBox(display, text, eng::MessageButtons::YesNo,
                            Script([&](int pass) { if (pass == 1) display.InjectKey(eng::kKeyEscape); })),
            eng::kResultNo);
  pass_ = 0;
  EXPECT_EQ(eng::MessageBox(display, text, eng::MessageButtons::YesNo, Script([&](int pass) {
                              if (pass == 1) Click(OnFrame(twin, twin.Buttons()[1]->Bounds));
                            })),
            eng::kResultNo);
  pass_ = 0;
  // Tab moves the focus to "Нет", and Enter presses the focused button.
  EXPECT_EQ(eng::MessageBox(display, text, eng::MessageButtons::YesNo, Script([&](int pass) {
                              if (pass == 1) display.InjectKey(eng::kKeyTab);
                              if (pass == 2) display.InjectKey(eng::kKeyEnter);
                            })),
            eng::kResultNo);
  pass_ = 0;
  // Escape on a box with only "OK" takes "OK".
  EXPECT_EQ(eng::MessageBox(display, "x", eng::MessageButtons::Ok,
                            Script([&](int pass) { if (pass == 1) display.InjectKey(eng::kKeyEscape); })),
            eng::kResultOK);
  EXPECT_EQ(game.keys, 0);
}

TEST_F(ModalTest, MessageBoxDrawsOnlyInsideItselfAndLeavesNoTrace) {
  const std::vector<uint16_t> before = BackPixels();
  std::string text;
  for (int i = 0; i < 12; ++i) text += W("Связь с противником утеряна. ");
  const eng::MessageBoxDialog twin(text, eng::MessageButtons::YesNo);
  const Rect box{twin.Left, twin.Top, twin.Width(), twin.Height()};
  EXPECT_EQ(box.x, (640 - box.w) / 2);
  EXPECT_EQ(box.y, (480 - box.h) / 2);
  EXPECT_LE(box.w, eng::MessageBoxDialog::kMaxTextWidth + 2 * eng::MessageBoxDialog::kMargin);

  const std::vector<std::string> lines = twin.Text().Lines();
  ASSERT_GE(lines.size(), 3u) << "the long text is wrapped";
  eng::Surface probe(10, 10);
  probe.GetCanvas().font = twin.Text().TextFont;
  for (const std::string& l : lines) EXPECT_LE(probe.GetCanvas().TextWidth(l), twin.Text().Bounds.w);
  const Rect textArea = OnFrame(twin, twin.Text().Bounds);

  int changedOutside = -1, whiteInText = 0, whiteOutsideText = 0;
  const int result = eng::MessageBox(display, text, eng::MessageButtons::YesNo, Script([&](int pass) {
                                       if (pass != 0) return;
                                       // The first pass has drawn the box over the frame.
                                       const std::vector<uint16_t> now = BackPixels();
                                       changedOutside = 0;
                                       for (int y = 0; y < 480; ++y)
                                         for (int x = 0; x < 640; ++x) {
                                           const bool inBox = x >= box.x && x < box.Right() && y >= box.y &&
                                                              y < box.Bottom();
                                           const size_t i = static_cast<size_t>(y) * 640 + x;
                                           if (!inBox && now[i] != before[i]) ++changedOutside;
                                           if (now[i] != eng::ToRGB565(eng::kWhite)) continue;
                                           const bool inText = x >= textArea.x && x < textArea.Right() &&
                                                               y >= textArea.y && y < textArea.Bottom();
                                           (inText ? whiteInText : whiteOutsideText) += 1;
                                         }
                                       display.InjectKey(eng::kKeyEscape);
                                     }));
  EXPECT_EQ(result, eng::kResultNo);
  EXPECT_EQ(changedOutside, 0) << "nothing drawn beside the box";
  EXPECT_GT(whiteInText, 200) << "the text is drawn in white";
  EXPECT_LT(whiteOutsideText, whiteInText / 4) << "white outside the text area is only the buttons' captions";
  EXPECT_EQ(BackPixels(), before) << "the frame behind comes back untouched";
}

TEST_F(ModalTest, PaintsOnlyWhenSomethingChanged) {
  eng::Dialog dialog(100, 60);
  dialog.CentreOnFrame();
  int paints = 0;
  dialog.PaintBackground = [&](eng::Surface& s, Rect r) {
    ++paints;
    s.FillRect(r, eng::RGB(10, 20, 30));
  };
  int paintsBeforeDrag = 0;
  const eng::ModalOutcome out = eng::RunModal(display, dialog, Script([&](int pass) {
                                                if (pass == 5) {
                                                  paintsBeforeDrag = paints;
                                                  display.InjectMouseDown(eng::kMouseLeft, 300, 230);
                                                  display.InjectMouseMove(310, 230);
                                                  display.InjectMouseUp(eng::kMouseLeft, 310, 230);
                                                }
                                                if (pass == 8) dialog.Close(eng::kResultOK);
                                              }, &dialog));
  EXPECT_EQ(out.result, eng::kResultOK);
  EXPECT_FALSE(out.closeRequested);
  EXPECT_EQ(paintsBeforeDrag, 1) << "idle passes draw nothing";
  EXPECT_EQ(paints, 2) << "the move was drawn once";
}

TEST_F(ModalTest, CloseRequestEndsAsCancelledAndIsPassedOn) {
  eng::Dialog dialog(100, 60);
  bool pointerShown = false;
  const eng::ModalOutcome out = eng::RunModal(display, dialog, Script([&](int pass) {
                                                pointerShown = SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
                                                if (pass == 1) {
                                                  SDL_Event quit{};
                                                  quit.type = SDL_QUIT;
                                                  SDL_PushEvent(&quit);
                                                }
                                              }, &dialog));
  EXPECT_EQ(out.result, eng::kResultCancel);
  EXPECT_TRUE(out.closeRequested);
  EXPECT_TRUE(pointerShown) << "the pointer shows over a dialog";
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "and is hidden again over the game";
  EXPECT_EQ(game.closes, 0) << "not yet: the dialog had it";
  EXPECT_FALSE(display.PumpEvents()) << "the request reaches the game's loop";
  EXPECT_EQ(game.closes, 1);
}

TEST_F(ModalTest, FailingHookStillRestoresTheGame) {
  const std::vector<uint16_t> before = BackPixels();
  eng::Dialog dialog(100, 60);
  dialog.CentreOnFrame();
  EXPECT_THROW(eng::RunModal(display, dialog, [] { throw std::runtime_error("session lost"); }), std::runtime_error);
  EXPECT_EQ(display.PushedHandlers(), 0);
  EXPECT_EQ(BackPixels(), before);
  display.InjectKey(eng::kKeyEscape);
  EXPECT_EQ(game.keys, 1);
}

TEST(ModalNoWindow, DialogsBeforeTheDisplayEndAtOnce) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // No desktop to show a system box on either: the answer must still come.
  const char* x11 = std::getenv("DISPLAY");
  const std::string savedDisplay = x11 ? x11 : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  eng::ManualClock clock;
  GameHandler game;
  eng::Display display(game, clock);
  int passes = 0;
  eng::Dialog dialog(100, 60);
  const eng::ModalOutcome out = eng::RunModal(display, dialog, [&] { ++passes; });
  EXPECT_EQ(out.result, eng::kResultCancel);
  EXPECT_EQ(passes, 0);
  EXPECT_EQ(eng::MessageBox(display, "x", eng::MessageButtons::Ok), eng::kResultOK);
  EXPECT_EQ(eng::MessageBox(display, "x", eng::MessageButtons::YesNo), eng::kResultNo) << "the cautious answer";
  EXPECT_EQ(display.PushedHandlers(), 0);
  if (x11) setenv("DISPLAY", savedDisplay.c_str(), 1);
}
