// The main window's side of a network game: the session's events reach the
// game here, and the game's fleet, shots and chat leave through it.
#include "engine/text_codec.h"
#include "net/connect_wizard.h"
#include "net/game_messages.h"
#include "shell/main_form.h"

void TMainForm::ConnectSession() {
  ConnectWizard = [this] {
    return RunConnectWizard(display_, *clock_, common_.SessionPlayerName, common_.SessionRole,
                            [this] { DXPlay.Poll(); }, DiscoverSessions,
                            [this](const WizardResult& choice, const std::function<void()>& idle,
                                   const std::function<bool()>& cancelled) {
                              if (choice.role == 1) {
                                DXPlay.Create(choice.sessionName, choice.playerName);
                                return true;
                              }
                              return DXPlay.Join(choice.host, choice.port, choice.playerName, choice.sessionName,
                                                 idle, 5000, cancelled);
                            });
  };
  DXPlay.OnAddPlayer = [this](const std::string& name) { DXPlayAddPlayer(name); };
  DXPlay.OnMessage = [this](const std::string& sender, const uint8_t* data, size_t size) {
    DXPlayMessage(common_, sender, data, size);
  };
  DXPlay.OnSessionLost = [this] { DXPlaySessionLost(); };
  DXPlay.OnPlayerLeft = [this](const std::string& name) { DXPlayDeletePlayer(name); };
}

// The other player has joined the session this side created.
void TMainForm::DXPlayAddPlayer(const std::string& name) {
  common_.OpponentName = name.substr(0, 12);
  common_.SetStatus(3, common_.OpponentName, false);
  common_.OverlayText = name + W(" присоединился...");
  // A fleet laid before anyone joined went to nobody: the newcomer gets it
  // now, as long as no shot has changed the grid since.
  if (common_.Settings.GameMode == 2 && common_.LocalFleetReady && !common_.NetworkBattleBegun() &&
      !sentFleet_.empty()) {
    SendChatText(W("Передается массив...[сообщение от проги]"));
    DXPlay.SendMessage(sentFleet_);
  }
}

// The connection is gone: the battle ends, the overlay says so.
void TMainForm::DXPlaySessionLost() { common_.ConnectionEnded(); }

// The other player left the session on purpose: the same for the game.
void TMainForm::DXPlayDeletePlayer(const std::string&) { common_.ConnectionEnded(); }

int TMainForm::SessionPlayerCount() { return DXPlay.Opened() ? static_cast<int>(DXPlay.Players().size()) : 0; }

std::string TMainForm::RemotePlayerName() {
  if (!DXPlay.Opened()) return std::string();
  for (const net::TDXPlayPlayer& p : DXPlay.Players())
    if (p.Remote) return p.Name;
  return std::string();
}

// Every send does nothing while no session is open.
void TMainForm::SendChatText(const std::string& text) {
  if (DXPlay.Opened()) DXPlay.SendMessage(net::ChatMessage(text));
}

void TMainForm::SendFleet() {
  // Kept for a player who joins after it went.
  sentFleet_ = net::FleetMessage(own_);
  if (DXPlay.Opened()) DXPlay.SendMessage(sentFleet_);
}

void TMainForm::SendShot(int x, int y, int code) {
  if (DXPlay.Opened()) DXPlay.SendMessage(net::ShotMessage(x, y, code));
}

// Opens the session through the connection wizard: closes any earlier one,
// then the wizard creates or joins as the player chooses, showing what went
// wrong on its own page. A cancelled wizard is a silent abort; so is a
// window closed meanwhile, which then closes the program.
bool TMainForm::OpenSession() {
  DXPlay.Close();
  const bool wasEnabled = timer_.Enabled();
  timer_.SetEnabled(false);
  const WizardResult wizard = ConnectWizard();
  if (wasEnabled) timer_.SetEnabled(true);
  if (wizard.completed && DXPlay.Opened()) return true;
  DXPlay.Close();
  return false;
}
