// TDXPlayConnectForm: the modal wizard in which the player sets up a
// network game. Four pages: the connection method, new game or join, then
// the session and player names of a new game, or a session picked from
// those running and the player's name. The last page's Next opens the
// session through the opener it was given; when that fails the error is
// shown and the wizard stays on its page.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/list_box.h"
#include "engine/line_edit.h"
#include "engine/widgets.h"
#include "net/session.h"

namespace eng {
class Clock;
class Display;
}  // namespace eng

// What the wizard hands back. completed is false when the player cancelled.
struct WizardResult {
  bool completed = false;
  int role = 0;  // 1 create a session, 2 join one
  std::string sessionName, playerName, host;  // Windows-1251; host for a join only
  uint16_t port = 0;                          // the session's port, for a join only
};

// Asks for sessions: at an address ("host", or "host:port" for the session
// at that port), or by broadcast when it is empty.
using DiscoverFunction = std::function<std::vector<net::SessionInfo>(
    const std::string& address, int timeoutMs, const std::function<void()>& idle)>;

// Creates or joins the session the wizard's choice describes. idle keeps
// the wizard alive while a join waits; cancelled() tells when the player
// gave up meanwhile (the opener then returns false). Raises EDXPlayError
// when the session cannot be opened.
using OpenFunction = std::function<bool(const WizardResult& choice, const std::function<void()>& idle,
                                        const std::function<bool()>& cancelled)>;

// net::Discover with the address's optional ":port": a typed host is asked
// at every port a session may answer at, host:port at that port alone.
std::vector<net::SessionInfo> DiscoverSessions(const std::string& address, int timeoutMs,
                                               const std::function<void()>& idle);

// Shows the wizard modally over the last frame. sessionPlayerName (at most
// 12 characters) is the name proposed in the name edits and takes the name
// typed for a new game; sessionRole becomes 1 or 2 as the player goes on to
// create or to join. pump runs on every pass of the wizard's loop and of
// the boxes it shows. Without an opener the wizard completes on the
// choice alone.
WizardResult RunConnectWizard(eng::Display& display, eng::Clock& clock, std::string& sessionPlayerName,
                              uint8_t& sessionRole, const std::function<void()>& pump,
                              const DiscoverFunction& discover = DiscoverSessions, const OpenFunction& open = {});

class TDXPlayConnectForm : public eng::Dialog {
 public:
  // The client area; a frame and a title bar lie around it.
  static constexpr int kClientWidth = 500, kClientHeight = 282;
  static constexpr int kBorder = 3, kTitleHeight = 20;
  static constexpr int kClientX = kBorder, kClientY = kBorder + kTitleHeight;
  static constexpr int kPlayerListDelayMs = 200;
  static constexpr int kDiscoverTimeoutMs = 1500;
  static constexpr size_t kNameLength = 12;
  static constexpr size_t kSessionNameLength = 1024;

  enum Page { SelectProvider, SessionType, SessionNew, SessionJoin };

  TDXPlayConnectForm(eng::Display& display, eng::Clock& clock, std::string& sessionPlayerName,
                     uint8_t& sessionRole, DiscoverFunction discover, OpenFunction open = {});

  // Shows the wizard until it closes; pump runs on every pass.
  WizardResult ShowModal(const std::function<void()>& pump);

  Page ActivePage() const { return page_; }
  const WizardResult& Result() const { return result_; }
  // The session behind each line of JoinGameSessionList.
  const std::vector<net::SessionInfo>& Sessions() const { return sessions_; }
  bool PlayerListTimerOn() const { return timerOn_; }

  // Asks for the address to search; false when the player cancelled.
  std::function<bool(std::string& address)> AskAddress;
  // Shows an error (Windows-1251) with an OK button.
  std::function<void(const std::string&)> ShowMessage;

  // --- Controls, at their places in the client area ---
  eng::PushButton BackButton, NextButton, CancelButton;
  // SelectProvider
  eng::Label ProviderLabel;
  eng::ListBox ProviderList;
  // SessionType
  eng::Label SessionTypeLabel;
  eng::RadioButton NewGame, JoinGame;
  // SessionNew
  eng::Label SessionNewLabel, NewGameSessionLabel, NewGamePlayerLabel;
  eng::LineEdit NewGameSessionName, NewGamePlayerName;
  // SessionJoin
  eng::Label SessionJoinLabel, JoinGamePlayerLabel;
  eng::ListBox JoinGameSessionList, JoinGamePlayerList;
  eng::LineEdit JoinGamePlayerName;

  // --- Handlers ---
  void FormShow();
  void NextButtonClick();
  void BackButtonClick();
  void CancelButtonClick();
  void NotebookPageChanged();  // the page rules
  void JoinGameSessionListClick();
  void JoinGameGetPlayerListTimerTimer();
  // Runs on every pass of the loop: the player-list timer.
  void Tick();

 private:
  void SetPage(Page page);
  // Opens the chosen session; false (the error shown) when it did not open.
  bool OpenChosen(const WizardResult& choice);
  void EnterKey(int& key, eng::Widget& self, bool notEmpty, bool otherEmpty, eng::Widget& other);
  void Idle();
  void PaintFrame(eng::Surface& target, eng::Rect area);
  void PlaceOnPage(eng::Widget& widget, eng::Rect pageRect);

  eng::Display& display_;
  eng::Clock& clock_;
  std::string& sessionPlayerName_;
  uint8_t& sessionRole_;
  DiscoverFunction discover_;
  OpenFunction open_;
  std::function<void()> pump_;
  Page page_ = SelectProvider;
  WizardResult result_;
  std::vector<net::SessionInfo> sessions_;
  std::string lastAddress_;
  bool timerOn_ = false;
  uint32_t timerStart_ = 0;
  bool busy_ = false;  // a search or a join is running
  std::vector<eng::Widget*> pages_[4];
};
