// What the chat remembers: the lines the player sent in this run, walked
// with Up and Down in the chat edit; the lines of the current game, sent
// and received, for the small list over the chat line; and the last line
// received, with its sender's name, which outlives the game it came in.
// Texts are Windows-1251, as typed and sent.
#pragma once
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

struct TChatEntry {
  std::string Line;  // "name>    text"
  bool Received = false;
};

class TChatLog {
 public:
  static constexpr size_t kSentKept = 100;  // lines to walk back through
  static constexpr size_t kGameKept = 50;   // lines of a game kept for the list

  // --- Lines sent in this run ---
  // A line went to the other player; the same line twice in a row is kept once.
  void Sent(const std::string& text);
  const std::deque<std::string>& SentLines() const { return sent_; }
  // Up: the line sent before the one shown, the first Up taking what the
  // edit holds as the draft to come back to. Nothing when there is no
  // older line.
  std::optional<std::string> Older(const std::string& editText);
  // Down: the line sent after the one shown, and after the last the draft.
  // Nothing when no walk is under way or it is back at the draft.
  std::optional<std::string> Newer();
  // The player typed: the walk ends where it is.
  void EndWalk() { walking_ = false; }

  // --- Lines of the current game ---
  void AddGameLine(const std::string& line, bool received);
  // A new game: its list starts empty; the last received line stays.
  void NewGame();
  const std::deque<TChatEntry>& GameLines() const { return game_; }
  const std::string& LastReceived() const { return lastReceived_; }
  // The lines the list shows, oldest first, at most `rows`: the game's
  // latest, led by the last received line when it came before this game.
  std::deque<TChatEntry> ListLines(size_t rows) const;

 private:
  // Where the draft stands in the walk: past the last sent line, or on it
  // when the edit still holds that line.
  size_t DraftPos() const;

  std::deque<std::string> sent_;
  bool walking_ = false;
  size_t pos_ = 0;  // index into sent_, or sent_.size() for the draft
  std::string draft_;

  std::deque<TChatEntry> game_;
  std::string lastReceived_;
  bool receivedThisGame_ = false;
};
