// The start of a game and the moment the own fleet is complete.
#include "effects/rocket.h"
#include "engine/canvas.h"
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

std::string PlacementPrompt(const std::string& playerName) {
  std::string prompt = W("Разместите корабли, ") + playerName;
  if (prompt.size() > 32) prompt.resize(32);
  return prompt;
}

}  // namespace

void TCommon::ReloadDragPicture(const eng::Picture& image) { DragSurface.LoadFromPicture(image); }

void TCommon::RetintCurrentShip(int x, int y) { TintTest(x, y); }

void TCommon::OwnFleetComplete() {
  // The panel is locked and goes once the closed grid has flown in.
  ChooserLocked = 1;
  ChooserClosing = 1;
  ChooserBehind = 0;
  if (Settings.GameMode == 1) {
    StartAssemble();
    enemy_.AutoPlace();
    enemy_.PlaceBonuses();
    enemy_.PlaceNavigators();
    enemy_.CloseAllCells(true);
    BattlePhase = 1;
    LocalTurn = 1;
    ComputerMovePending = 0;
    return;
  }
  // Against a remote player the fleet leaves with every cell closed, as the
  // other side must see it; the own grid keeps its open picture until the
  // closed pieces fly in.
  LocalFleetReady = 1;
  // Both sides count the streak of this game's hits from nothing.
  own_.HitStreak = 0;
  const TCellPlane trueCells = own_.TrueCells, shownCells = own_.ShownCells;
  own_.CloseAllCells(false);
  own_.CellsClosed = 1;
  services_.host.SendChatText(W("Передается массив...[сообщение от проги]"));
  services_.host.SendFleet();
  own_.TrueCells = trueCells;
  own_.ShownCells = shownCells;
  own_.CellsClosed = 0;
  StartAssemble();
  if (RemoteFleetReceived) {
    BattlePhase = 1;
    LocalTurn = LocalPlayerNumber == 2 ? 0 : 1;
  }
}

void TCommon::EndOldGameMotion() {
  // A rocket of the old game would land on the new placement (or, later, on
  // the new fleet) and take its count with it twice.
  if (eng::SpriteEngine* sprites = services_.sprites)
    for (int i = 0; i < sprites->Count(); ++i)
      if (dynamic_cast<TRocket*>((*sprites)[i])) (*sprites)[i]->Dead();
  // Splashes, explosions, a falling bomb or a penalty label still running
  // on either grid: a bomb would strike, a label would send its rockets.
  own_.ClearEffects();
  enemy_.ClearEffects();
  // The old navigators' rays and the sunk meters belong to the old grids.
  enemy_.RaysShown = 0;
  enemy_.RayList.clear();
  own_.SunkMeter.MeterRunning = 0;
  enemy_.SunkMeter.MeterRunning = 0;
  AnimationsInFlight = 0;
  CursorPattern = 0;  // waiting, as at the first game, until the battle
  // A game left during its fireworks shows nothing of its fleet later.
  RevealPending = 0;
  AimX = kAimStartX;
  AimY = kAimStartY;
}

bool TCommon::StartNewGame() {
  UiHost& host = services_.host;
  eng::ForgetUnusedTexts();
  BattlePhase = 0;
  SetStatus(1, Settings.PlayerName(), false);
  if (Settings.GameMode == 1) {
    OverlayShown = 0;
    OpponentName = W("Компьютер");
    SetStatus(3, OpponentName, false);
    host.ShowChatEdit(false);
    ChatShown = 0;
  } else {
    LocalFleetReady = 0;
    RemoteFleetReceived = 0;
    SessionPlayerName = Settings.PlayerName();
    IncomingShots.clear();
    bool open = true, fresh = true;
    if (host.SessionPlayerCount() == 2) {
      fresh = host.Confirm(W("Соединение с удаленным игроком уже установлено. Разорвать его и установить новое?"));
      if (fresh) open = host.OpenSession();
    } else {
      open = host.OpenSession();
    }
    // A fleet kept for the next game belongs to the connection it came on.
    if (fresh) NextRemoteFleet.reset();
    if (!open) return false;  // cancelled or failed: the start stops here
    ChatShown = 1;
    ChatLine.clear();
    ChatLog.NewGame();
    SendButtonHover = 0;
    host.ShowChatEdit(true);
    Settings.GameMode = 2;
    LocalPlayerNumber = SessionRole;
    SetStatus(1, Settings.PlayerName(), false);
    SaveSettings();
    OverlayShown = 1;
    const std::string remote = host.RemotePlayerName();
    if (!remote.empty()) {
      OverlayText = remote + W(" присоединился...");
      OpponentName = remote.substr(0, 12);
    } else {
      OverlayText = W("Ожидание Игрока N2...");
      OpponentName = W("Игрок N2");
    }
    SetStatus(3, OpponentName, false);
    // The other side may have begun this game first and sent its fleet;
    // its prompt comes back to this game's, not to the last one's end.
    if (NextRemoteFleet) {
      const TFleetRecord fleet = *NextRemoteFleet;
      NextRemoteFleet.reset();
      SetStatus(2, PlacementPrompt(Settings.PlayerName()), false);
      AdoptRemoteFleet(fleet);
    }
  }

  // The game is reset only when nothing is flying and the own grid has
  // changed since the last reset.
  if (Shattering || Assembling || ChooserShown) return true;
  if (own_.FlyingCount != 0) return true;
  if (!own_.ShipActive && own_.FixedCount == 0 && !own_.CellsClosed) return true;

  EndOldGameMotion();
  ResetCounterStrip();
  StartShatter();
  own_.OpenForPlacement(true);
  SetStatus(2, PlacementPrompt(Settings.PlayerName()), false);
  BlinkStatus(2, false);
  enemy_.CloseAllCells(true);
  own_.CellsClosed = 0;
  OpenChooser();
  return true;
}

void TCommon::RevealStep() {
  if (!RevealPending || own_.EffectCount != 0) return;
  RevealPending = 0;
  enemy_.RevealSurvivors();
}
