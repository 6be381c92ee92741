// One frame: everything that moves is advanced by LagCount and the screen
// is composed bottom layer first, then presented.
#include <algorithm>
#include <cmath>
#include <string>

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "ai/computer.h"
#include "effects/grid_animation.h"
#include "effects/grid_effects.h"
#include "shell/main_form.h"

using namespace assets;

bool TMainForm::DXTimerTimer(int lagCount) {
  if (!display_.Ready()) return false;
  TCommon& c = common_;
  eng::Surface& back = display_.BackSurface();

  sprites_.Move(lagCount);
  sprites_.Dead();

  if (c.LogoShown) {
    if (c.AnyInput) {
      // The last logo frame stays on the screen while the clock runs out.
      c.LogoClock += 0.5f * lagCount;
      if (c.LogoClock >= 10000) {
        c.LogoShown = 0;
        LogoSurface.Release();
      }
      return false;
    }
    display_.BeginFrame();
    back.Draw(0, 0, LogoSurface, false);
    display_.Present();
    ++FramesPresented;
    return true;
  }

  ComputerTurnStep(own_, c);
  c.StepIncomingShots();  // the other player's next shot, once the last has landed
  c.RevealStep();  // the winner's ships the loser never found, after the fireworks
  display_.BeginFrame();
  back.Draw(0, 0, BackgroundSurface, false);
  if (ShowFps) {
    eng::Canvas& canvas = back.GetCanvas();
    canvas.brushClear = true;
    canvas.TextOut(0, 400, "FPS: " + std::to_string(timer_.FrameRate()));
  }
  c.DrawMenu(back);
  if (c.ChooserBehind) c.DrawChooser(back, lagCount);
  DrawGrid(own_, lagCount);
  DrawGrid(enemy_, lagCount);
  own_.SlideInStep(back, lagCount);
  if (own_.ShipActive) {
    const eng::Picture& image = own_.Current.Image;
    back.DrawAlpha(eng::Rect{own_.Current.ScreenX, own_.Current.ScreenY, image.Width(), image.Height()},
                   c.DragSurface, c.DragSurface.ClientRect(), own_.Current.Alpha, true);
  }
  MeterStep(own_, c.CounterSurface, lagCount);
  MeterStep(enemy_, c.CounterSurface, lagCount);
  back.Draw(303, 131, c.CounterSurface, true);
  DrawFrameBars();
  DrawShownRays(enemy_, back);
  c.DrawAimFrame(back);
  c.DrawScore(back, lagCount);
  sprites_.Draw(back);
  c.UpdateBlink();
  back.Draw(54, 65, c.StatusSurface, true);
  c.DrawShatter(back, lagCount);
  c.DrawAssemble(back, lagCount);
  if (!c.ChooserBehind) c.DrawChooser(back, lagCount);
  c.DrawOverlay(back);
  if (c.ChatShown) images_[kSendBtn].Draw(back, c.SendButton.x, c.SendButton.y, c.SendButtonHover);
  c.DrawChatList(back);
  c.UpdateCursorShape();
  // The cursor and its icons are a layer of their own, which a box over
  // the frame lifts.
  display_.SetDrawLayer(kCursorLayer);
  DrawSoftwareCursor();
  DrawCursorIcons(enemy_, c, back);
  display_.SetDrawLayer(0);
  // The chat edit lies over the frame as a child control would.
  if (NoteEdit.Visible) NoteEdit.Draw(back, 0, 0);
  display_.Present();
  ++FramesPresented;
  return true;
}

bool TMainForm::SomethingMoves() const {
  const TCommon& c = common_;
  if (c.LogoShown) return c.AnyInput != 0;  // the logo's clock runs out
  if (ShowFps || sprites_.Count() > 0 || c.AnimationsInFlight != 0) return true;
  for (const TBattleField* grid : {&own_, &enemy_})
    if (grid->EffectCount != 0 || grid->FlyingCount != 0 || grid->SunkMeter.MeterRunning) return true;
  if (c.ChooserShown || c.NextShipFading || c.AutoFading || c.ModifyFading) return true;
  if (c.Shattering || c.Assembling || c.ScoreRolling) return true;
  for (const auto* pieces : {&c.OutPieces, &c.InPieces})
    for (const TPiece& p : *pieces)
      if (p.active) return true;
  if (!c.IncomingShots.empty()) return true;  // the other player's shots wait their turn to fly
  if (c.RevealPending) return true;           // the winner's ships show once the fireworks are over
  return c.BattlePhase == 1 && c.ComputerMovePending == 1 && c.Settings.GameMode == 1;
}

int TMainForm::StillWait() {
  const int cap = DXPlay.Opened() ? kSessionWaitMs : kStillWaitMs;
  const int blink = common_.NextBlinkIn();
  return blink >= 0 ? std::min(blink, cap) : cap;
}

void TMainForm::LiftCursorFromFrame() {
  if (display_.Ready()) display_.LiftLayers();
}

void TMainForm::DrawGrid(TBattleField& grid, int lagCount) {
  eng::Surface& back = display_.BackSurface();
  if (grid.EffectCount != 0) {
    AnimateGridEffects(grid, common_, lagCount);
    back.Draw(grid.OriginX, grid.OriginY, grid.EffectSurface, false);
  } else {
    back.Draw(grid.OriginX, grid.OriginY, grid.GridSurface, false);
  }
}

void TMainForm::DrawFrameBars() {
  eng::Surface& back = display_.BackSurface();
  for (int i = 0; i < 4; ++i) {
    images_[kMainBlock1 + i].Draw(back, common_.OwnFrame[i].x, common_.OwnFrame[i].y, 0);
    images_[kMainBlock1 + i].Draw(back, common_.EnemyFrame[i].x, common_.EnemyFrame[i].y, 0);
  }
}

void TMainForm::DrawSoftwareCursor() {
  images_[kScursor].Draw(display_.BackSurface(), common_.MouseX, common_.MouseY, common_.CursorPattern);
}
