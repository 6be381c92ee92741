#include "ui/chat_log.h"

void TChatLog::Sent(const std::string& text) {
  if (sent_.empty() || sent_.back() != text) sent_.push_back(text);
  while (sent_.size() > kSentKept) sent_.pop_front();
  walking_ = false;
}

size_t TChatLog::DraftPos() const {
  // The edit keeps its text after sending: a draft that is the last line
  // sent is that line, not one more step.
  return !sent_.empty() && draft_ == sent_.back() ? sent_.size() - 1 : sent_.size();
}

std::optional<std::string> TChatLog::Older(const std::string& editText) {
  if (sent_.empty()) return std::nullopt;
  if (!walking_) {
    walking_ = true;
    draft_ = editText;
    pos_ = DraftPos();
  }
  if (pos_ == 0) return std::nullopt;
  --pos_;
  return sent_[pos_];
}

std::optional<std::string> TChatLog::Newer() {
  if (!walking_ || pos_ >= DraftPos()) return std::nullopt;
  ++pos_;
  return pos_ < sent_.size() ? sent_[pos_] : draft_;
}

void TChatLog::AddGameLine(const std::string& line, bool received) {
  game_.push_back(TChatEntry{line, received});
  while (game_.size() > kGameKept) game_.pop_front();
  if (received) {
    lastReceived_ = line;
    receivedThisGame_ = true;
  }
}

void TChatLog::NewGame() {
  game_.clear();
  receivedThisGame_ = false;
}

std::deque<TChatEntry> TChatLog::ListLines(size_t rows) const {
  std::deque<TChatEntry> lines;
  if (rows == 0) return lines;
  const bool earlier = !receivedThisGame_ && !lastReceived_.empty();
  const size_t room = earlier ? rows - 1 : rows;
  const size_t from = game_.size() > room ? game_.size() - room : 0;
  for (size_t i = from; i < game_.size(); ++i) lines.push_back(game_[i]);
  if (earlier) lines.push_front(TChatEntry{lastReceived_, true});
  return lines;
}
