#include "ui/common.h"

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "engine/text_codec.h"
#include "sea/battle_field.h"

using namespace assets;

TCommon::TCommon(UiServices services, TBattleField& ownGrid, TBattleField& enemyGrid)
    : services_(std::move(services)), own_(ownGrid), enemy_(enemyGrid) {
  LoadSettings();
  LogoShown = 1;
  AnyInput = 0;
  LogoClock = 0;
  Shattering = Assembling = 0;
  ChatShown = 0;
  ChatLine.clear();

  const eng::ImageList& images = services_.images;
  CounterPicture = images[kCounter].picture;
  ChooserPicture = images[kButtonBlock].picture;
  StatusPicture = images[kStatusBlock].picture;

  StatusLine = {Settings.PlayerName(), " ", W("Игрок N2")};

  // One pattern of the score board, the empty board.
  const eng::ImageItem& board = images[kScoreTable];
  ScorePicture.SetSize(board.PatternWidth(), board.PatternHeight());
  ScorePicture.Draw(0, 0, board.picture, board.PatternRect(0));
  ScoreRolling = 0;
  ScoreLeft = ScoreRight = 0;
  ScoreText = "0:0";

  const eng::ImageItem& menu = images[kMenuBlock];
  MenuX = 170;
  MenuY = 10;
  MenuWidth = menu.picture.Width();
  MenuHeight = menu.picture.Height();
  MenuPicture = menu.picture;
  auto button = [&](int x, int y, int imageIndex) {
    return TMenuButton{x, y, images[imageIndex].picture.Width(), images[imageIndex].picture.Height(), 0};
  };
  NewButton = button(8, 8, kMNewBtn);
  OptionsButton = button(87, 8, kMOptionsBtn);
  HelpButton = button(210, 8, kMHelpBtn);

  // Frame bars: the bottom bar sits on the left bar's foot, the right bar
  // against the top bar's end.
  const int topW = images[kMainBlock1].picture.Width(), leftH = images[kMainBlock2].picture.Height();
  const int bottomH = images[kMainBlock3].picture.Height(), rightW = images[kMainBlock4].picture.Width();
  auto frame = [&](int x, int y) {
    return std::array<eng::Rect, 4>{eng::Rect{x, y, topW, images[kMainBlock1].picture.Height()},
                                    eng::Rect{x, y, images[kMainBlock2].picture.Width(), leftH},
                                    eng::Rect{x, y + leftH - bottomH, images[kMainBlock3].picture.Width(), bottomH},
                                    eng::Rect{x + topW - rightW, y, rightW, images[kMainBlock4].picture.Height()}};
  };
  OwnFrame = frame(15, 92);
  EnemyFrame = frame(337, 92);

  const eng::ImageItem& windowButtons = images[kCloseBtn];
  const int bw = windowButtons.PatternWidth(), bh = windowButtons.PatternHeight();
  CloseButton = eng::Rect{622, 2, bw, bh};
  FullScreenButton = eng::Rect{605, 2, bw, bh};
  MinimizeButton = eng::Rect{588, 2, bw, bh};
}

void TCommon::ResetTurnState() {
  BattlePhase = 0;
  ComputerMovePending = 0;
  LocalTurn = 0;
  AnimationsInFlight = 0;
}

void TCommon::CreateSurfaces() {
  CounterSurface.Create(CounterPicture.Width(), CounterPicture.Height());
  CounterSurface.GetCanvas().brushColor = eng::RGB(0, 0, 255);
  ChooserSurface.Create(ChooserPicture.Width(), ChooserPicture.Height());
  MenuSurface.Create(MenuPicture.Width(), MenuPicture.Height());
  StatusSurface.Create(StatusPicture.Width(), StatusPicture.Height());
  if (!ScoreSurface.Exists()) ScoreSurface.Create(ScorePicture.Width(), ScorePicture.Height());
}

void TCommon::ReleaseSurfaces() {
  CounterSurface.Release();
  ChooserSurface.Release();
  MenuSurface.Release();
  StatusSurface.Release();
  ScoreSurface.Release();
  DragSurface.Release();
}

void TCommon::SaveSurfaces() {
  for (TBattleField* grid : {&own_, &enemy_}) {
    if (grid->EffectSurface.Exists()) grid->EffectPicture.AssignFrom(grid->EffectSurface);
    if (grid->GridSurface.Exists()) grid->GridPicture.AssignFrom(grid->GridSurface);
  }
  if (CounterSurface.Exists()) CounterPicture.AssignFrom(CounterSurface);
  if (ChooserSurface.Exists()) ChooserPicture.AssignFrom(ChooserSurface);
  if (MenuSurface.Exists()) MenuPicture.AssignFrom(MenuSurface);
  if (StatusSurface.Exists()) StatusPicture.AssignFrom(StatusSurface);
  if (ScoreSurface.Exists()) ScorePicture.AssignFrom(ScoreSurface);
}

void TCommon::RestoreSurfaces() {
  for (TBattleField* grid : {&own_, &enemy_}) {
    if (!grid->EffectPicture.Empty()) grid->EffectSurface.LoadFromPicture(grid->EffectPicture);
    if (!grid->GridPicture.Empty()) grid->GridSurface.LoadFromPicture(grid->GridPicture);
  }
  CounterSurface.LoadFromPicture(CounterPicture);
  ChooserSurface.LoadFromPicture(ChooserPicture);
  ChooserSurface.SetColorKey(eng::kWhite);
  MenuSurface.LoadFromPicture(MenuPicture);
  MenuSurface.SetColorKey(eng::RGB(127, 0, 127));
  StatusSurface.LoadFromPicture(StatusPicture);
  StatusSurface.SetColorKey(eng::RGB(0, 0, 127));
  for (int line = 1; line <= 3; ++line) SetStatus(line, StatusLine[line - 1], false);
  ScoreSurface.LoadFromPicture(ScorePicture);
  ScoreSurface.SetColorKey(eng::kWhite);
  PaintScoreText();
}

void TCommon::ResetCounterStrip() {
  CounterPicture = services_.images[kCounter].picture;
  CounterSurface.LoadFromPicture(CounterPicture);
}

void TCommon::UpdateCursorShape() {
  AimFollowsPointer();
  if (enemy_.EffectCount == -own_.EffectCount) AnimationsInFlight = 0;
  if (!BattlePhase || AnimationsInFlight != 0) return;
  if (MouseX >= enemy_.OriginX && MouseX <= enemy_.OriginX + 256 && MouseY >= enemy_.OriginY &&
      MouseY <= enemy_.OriginY + 269)
    CursorPattern = LocalTurn ? 1 : 0;
}

void TCommon::PlaySound(const std::string& name) {
  const eng::Wave& wave = services_.waves.Find(name);
  services_.sound.Play(wave, Settings.Volume);
}
