// What the screen interface asks of the main window that owns it: the
// dialogs, the window itself and one frame out of turn.
#pragma once
#include <string>

class UiHost {
 public:
  virtual ~UiHost() = default;
  // A plain modal message box with an OK button (text in Windows-1251).
  virtual void ShowMessage(const std::string& text) = 0;
  // Runs one frame at once with the given LagCount.
  virtual void RunFrameNow(int lagCount) = 0;
  virtual void ShowNewGameDialog() = 0;
  virtual void ShowOptionsDialog() = 0;
  virtual void ToggleFullScreen() = 0;
  virtual void OpenHelp() = 0;
  virtual void MinimizeWindow() = 0;
  virtual void CloseWindow() = 0;
  // Sends the chat line typed in the chat edit.
  virtual void SendChatLine() = 0;
  // Opens the two-player session for a network game; false when it was not
  // opened (the player cancelled, or the error has been shown).
  virtual bool OpenSession() = 0;
  // Players in the open session (0 when none is open).
  virtual int SessionPlayerCount() = 0;
  // The name of the first remote player of the session; empty when none.
  virtual std::string RemotePlayerName() = 0;
  // Shows or hides the chat edit (emptied when shown).
  virtual void ShowChatEdit(bool show) = 0;
  // Sends a chat text, then the own fleet, to the other player; nothing is
  // sent while no session is open.
  virtual void SendChatText(const std::string& text) = 0;
  virtual void SendFleet() = 0;
  // A Yes/No question; true for Yes.
  virtual bool Confirm(const std::string& text) = 0;
  // Sends a shot (code 1) or a bomb (2 X, 3 plus, 4 square) at (x, y) of the
  // other player's grid; nothing while no session is open.
  virtual void SendShot(int /*x*/, int /*y*/, int /*code*/) {}
};

// A host with no window: nothing shows, no session opens, every question is
// answered No. The tools and tests that play without a window start from it.
class WindowlessHost : public UiHost {
 public:
  void ShowMessage(const std::string&) override {}
  void RunFrameNow(int) override {}
  void ShowNewGameDialog() override {}
  void ShowOptionsDialog() override {}
  void ToggleFullScreen() override {}
  void OpenHelp() override {}
  void MinimizeWindow() override {}
  void CloseWindow() override {}
  void SendChatLine() override {}
  bool OpenSession() override { return false; }
  int SessionPlayerCount() override { return 0; }
  std::string RemotePlayerName() override { return ""; }
  void ShowChatEdit(bool) override {}
  void SendChatText(const std::string&) override {}
  void SendFleet() override {}
  bool Confirm(const std::string&) override { return false; }
};
