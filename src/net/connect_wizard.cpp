#include "net/connect_wizard.h"

#include <cmath>
#include <cstdlib>
#include <exception>

#include "engine/canvas.h"
#include "engine/clock.h"
#include "engine/display.h"
#include "engine/font_cache.h"
#include "engine/keys.h"
#include "engine/message_box.h"
#include "engine/modal_loop.h"
#include "engine/surface.h"
#include "engine/text_codec.h"

namespace {

using eng::Rect;

constexpr eng::Color kSteel = eng::RGB(64, 104, 148);
constexpr eng::Color kSteelDark = eng::RGB(22, 40, 64);
constexpr eng::Color kBrass = eng::RGB(214, 178, 92);

// Where the pages lie in the client area.
constexpr Rect kPageRect{160, 8, 329, 217};
constexpr Rect kPictureRect{8, 10, 140, 210};
constexpr Rect kSeparatorRect{8, 240, 481, 2};

Rect Client(Rect r) { return Rect{r.x + TDXPlayConnectForm::kClientX, r.y + TDXPlayConnectForm::kClientY, r.w, r.h}; }

std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// A ring between two radii, only where keep(dx, dy) says so.
template <typename Keep>
void Ring(eng::Surface& s, int cx, int cy, double inner, double outer, eng::Color c, Keep keep) {
  const int r = static_cast<int>(outer) + 1;
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const double d = std::sqrt(double(dx * dx + dy * dy));
      if (d >= inner && d <= outer && keep(dx, dy)) s.SetPixel(cx + dx, cy + dy, c);
    }
}

// The picture on the wizard's left: an anchor over the sea at dusk.
void PaintEmblem(eng::Surface& s, Rect r) {
  s.FillRect(r, eng::RGB(128, 128, 128));
  s.FillRect(Rect{r.x + 1, r.y + 1, r.w - 1, r.h - 1}, eng::kWhite);
  const Rect in{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
  for (int y = 0; y < in.h; ++y) {
    const int t = y * 255 / in.h;
    s.FillRect(Rect{in.x, in.y + y, in.w, 1},
               eng::RGB(static_cast<uint8_t>(70 - t * 50 / 255), static_cast<uint8_t>(110 - t * 70 / 255),
                        static_cast<uint8_t>(170 - t * 90 / 255)));
  }
  for (int row = 0; row < 4; ++row) {
    const int base = in.Bottom() - 36 + row * 9;
    for (int x = 0; x < in.w; ++x) {
      const int y = base + static_cast<int>(std::lround(2.0 * std::sin((x + row * 7) / 5.0)));
      if (y > in.y && y < in.Bottom()) s.SetPixel(in.x + x, y, eng::RGB(150, 182, 214));
    }
  }
  const int cx = in.x + in.w / 2, top = in.y + 34;
  auto all = [](int, int) { return true; };
  Ring(s, cx, top, 6, 10, kBrass, all);
  s.FillRect(Rect{cx - 2, top + 10, 5, 98}, kBrass);
  s.FillRect(Rect{cx - 24, top + 24, 49, 5}, kBrass);
  s.FillRect(Rect{cx - 27, top + 23, 4, 7}, kBrass);
  s.FillRect(Rect{cx + 24, top + 23, 4, 7}, kBrass);
  const int armY = top + 66;
  Ring(s, cx, armY, 38, 43, kBrass, [](int dx, int dy) { return dy > 8 || (dy > -4 && std::abs(dx) > 36); });
  // The flukes: small barbs turned upwards at the arms' ends.
  for (int i = 0; i < 9; ++i) {
    s.FillRect(Rect{cx - 43 - i / 2, armY - 6 + i, 3 + i / 2, 1}, kBrass);
    s.FillRect(Rect{cx + 41, armY - 6 + i, 3 + i / 2, 1}, kBrass);
  }
}

// The small box that asks where to look for sessions.
class AddressPrompt : public eng::Dialog {
 public:
  explicit AddressPrompt(const std::string& address) : eng::Dialog(330, 126) {
    text_.Text = W("Адрес компьютера (пусто — поиск в локальной сети):");
    text_.Bounds = Rect{14, 14, 302, 34};
    edit_.Bounds = Rect{14, 50, 302, 22};
    edit_.BackColor = eng::kWhite;
    edit_.TextFont.color = eng::kBlack;
    edit_.CaretColor = eng::kBlack;
    edit_.MaxLength = 255;
    edit_.SetText(address);
    ok_.Caption = "OK";
    ok_.Bounds = Rect{150, 88, 75, 24};
    ok_.Result = eng::kResultOK;
    cancel_.Caption = W("Отмена");
    cancel_.Bounds = Rect{233, 88, 83, 24};
    cancel_.Result = eng::kResultCancel;
    Add(text_);
    Add(edit_);
    Add(ok_);
    Add(cancel_);
    DefaultButton = &ok_;
    CancelButton = &cancel_;
    SetFocus(&edit_);
    PaintBackground = [this](eng::Surface& s, Rect area) {
      s.FillRect(area, kSteel);
      s.FillRect(Rect{area.x + 3, area.y + 3, area.w - 6, area.h - 6}, BackColor);
    };
    CentreOnFrame();
  }
  eng::LineEdit& Edit() { return edit_; }

 private:
  eng::Label text_;
  eng::LineEdit edit_;
  eng::PushButton ok_, cancel_;
};

}  // namespace

std::vector<net::SessionInfo> DiscoverSessions(const std::string& address, int timeoutMs,
                                               const std::function<void()>& idle) {
  if (address.empty()) return net::Discover(address, timeoutMs, idle);
  const size_t colon = address.rfind(':');
  if (colon == std::string::npos) return net::Discover(address, timeoutMs, idle, net::SearchPorts());
  const std::string digits = address.substr(colon + 1);
  const long value = std::strtol(digits.c_str(), nullptr, 10);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
      value < 1 || value > 65535)
    throw net::EDXPlayError("Session list cannot be acquired");
  return net::Discover(address.substr(0, colon), timeoutMs, idle, static_cast<uint16_t>(value));
}

WizardResult RunConnectWizard(eng::Display& display, eng::Clock& clock, std::string& sessionPlayerName,
                              uint8_t& sessionRole, const std::function<void()>& pump,
                              const DiscoverFunction& discover, const OpenFunction& open) {
  TDXPlayConnectForm form(display, clock, sessionPlayerName, sessionRole, discover, open);
  return form.ShowModal(pump);
}

TDXPlayConnectForm::TDXPlayConnectForm(eng::Display& display, eng::Clock& clock, std::string& sessionPlayerName,
                                       uint8_t& sessionRole, DiscoverFunction discover, OpenFunction open)
    : eng::Dialog(kClientWidth + 2 * kBorder, kClientHeight + kTitleHeight + 2 * kBorder),
      display_(display),
      clock_(clock),
      sessionPlayerName_(sessionPlayerName),
      sessionRole_(sessionRole),
      discover_(std::move(discover)),
      open_(std::move(open)) {
  PaintBackground = [this](eng::Surface& s, Rect area) { PaintFrame(s, area); };

  BackButton = eng::PushButton(W("< Назад"), Client(Rect{216, 253, 89, 24}));
  NextButton = eng::PushButton(W("Далее >"), Client(Rect{305, 253, 89, 24}));
  CancelButton = eng::PushButton(W("Отмена"), Client(Rect{408, 253, 81, 24}));
  BackButton.OnClick = [this] { BackButtonClick(); };
  NextButton.OnClick = [this] { NextButtonClick(); };
  CancelButton.OnClick = [this] { CancelButtonClick(); };
  Dialog::CancelButton = &CancelButton;

  const Rect pageLabel{8, 4, 313, 48};
  ProviderLabel.Text = W("Пожалуйста выберите метод соединения");
  PlaceOnPage(ProviderLabel, pageLabel);
  PlaceOnPage(ProviderList, Rect{32, 72, 273, 121});
  ProviderList.OnClick = [this] { NotebookPageChanged(); };
  ProviderList.OnChange = [this] { NotebookPageChanged(); };
  pages_[SelectProvider] = {&ProviderLabel, &ProviderList};

  SessionTypeLabel.Text = W("Пожалуста укажите способ начала игры.");
  PlaceOnPage(SessionTypeLabel, pageLabel);
  NewGame.Caption = W("Новая игра");
  JoinGame.Caption = W("Подключиться к игре");
  PlaceOnPage(NewGame, Rect{32, 72, 220, 20});
  PlaceOnPage(JoinGame, Rect{32, 100, 220, 20});
  eng::RadioButton::Group({&NewGame, &JoinGame});
  NewGame.SetChecked(true);
  NewGame.OnClick = JoinGame.OnClick = [this] { NotebookPageChanged(); };
  pages_[SessionType] = {&SessionTypeLabel, &NewGame, &JoinGame};

  SessionNewLabel.Text = W("Выбрана Новая игра. Пожалуйста введите название сессии и имя игрока.");
  PlaceOnPage(SessionNewLabel, pageLabel);
  NewGameSessionLabel.Text = W("Сессия");
  NewGamePlayerLabel.Text = W("Имя игрока");
  PlaceOnPage(NewGameSessionLabel, Rect{32, 64, 265, 16});
  PlaceOnPage(NewGameSessionName, Rect{32, 82, 265, 22});
  PlaceOnPage(NewGamePlayerLabel, Rect{32, 116, 265, 16});
  PlaceOnPage(NewGamePlayerName, Rect{32, 134, 265, 22});
  NewGameSessionName.MaxLength = kSessionNameLength;
  NewGameSessionName.SetText("MySession");
  pages_[SessionNew] = {&SessionNewLabel, &NewGameSessionLabel, &NewGameSessionName, &NewGamePlayerLabel,
                        &NewGamePlayerName};

  SessionJoinLabel.Text =
      W("Вы участвуете в существующей игре. Пожалуйста,  выберите название сеанса и введите имя игрока.");
  PlaceOnPage(SessionJoinLabel, pageLabel);
  PlaceOnPage(JoinGameSessionList, Rect{32, 56, 161, 110});
  PlaceOnPage(JoinGamePlayerList, Rect{195, 56, 101, 110});
  JoinGamePlayerList.Enabled = false;
  JoinGamePlayerLabel.Text = W("Имя игрока");
  PlaceOnPage(JoinGamePlayerLabel, Rect{32, 172, 200, 16});
  PlaceOnPage(JoinGamePlayerName, Rect{32, 190, 161, 22});
  JoinGameSessionList.OnClick = [this] { JoinGameSessionListClick(); };
  pages_[SessionJoin] = {&SessionJoinLabel, &JoinGameSessionList, &JoinGamePlayerList, &JoinGamePlayerLabel,
                         &JoinGamePlayerName};

  for (eng::LineEdit* edit : {&NewGameSessionName, &NewGamePlayerName, &JoinGamePlayerName}) {
    edit->BackColor = eng::kWhite;
    edit->TextFont.color = eng::kBlack;
    edit->CaretColor = eng::kBlack;
    edit->AttachDisplay(&display_);
    edit->OnChange = [this] { NotebookPageChanged(); };
  }

  // Enter goes on where it can, or to the field still missing.
  auto nextOnEnter = [this](int& key) {
    if (key != eng::kKeyEnter || !NextButton.Enabled) return;
    key = eng::kKeyNone;
    NextButtonClick();
  };
  ProviderList.OnKeyDown = NewGame.OnKeyDown = JoinGame.OnKeyDown = nextOnEnter;
  NewGameSessionName.OnKeyDown = [this](int& key) {
    EnterKey(key, NewGameSessionName, !NewGameSessionName.Text().empty(), NewGamePlayerName.Text().empty(),
             NewGamePlayerName);
  };
  NewGamePlayerName.OnKeyDown = [this](int& key) {
    EnterKey(key, NewGamePlayerName, !NewGamePlayerName.Text().empty(), NewGameSessionName.Text().empty(),
             NewGameSessionName);
  };
  JoinGameSessionList.OnKeyDown = [this](int& key) {
    EnterKey(key, JoinGameSessionList, JoinGameSessionList.ItemIndex() >= 0, JoinGamePlayerName.Text().empty(),
             JoinGamePlayerName);
  };
  JoinGamePlayerName.OnKeyDown = [this](int& key) {
    EnterKey(key, JoinGamePlayerName, !JoinGamePlayerName.Text().empty(), JoinGameSessionList.ItemIndex() < 0,
             JoinGameSessionList);
  };

  for (auto& page : pages_)
    for (eng::Widget* w : page) Add(*w);
  Add(BackButton);
  Add(NextButton);
  Add(CancelButton);

  AskAddress = [this](std::string& address) {
    AddressPrompt prompt(address);
    prompt.Edit().AttachDisplay(&display_);
    prompt.Edit().FocusChanged();
    const eng::ModalOutcome outcome = eng::RunModal(display_, prompt, pump_);
    if (outcome.result != eng::kResultOK) return false;
    address = prompt.Edit().Text();
    return true;
  };
  ShowMessage = [this](const std::string& text) {
    eng::MessageBox(display_, text, eng::MessageButtons::Ok, pump_);
  };
}

void TDXPlayConnectForm::PlaceOnPage(eng::Widget& widget, Rect r) {
  widget.Bounds = Client(Rect{kPageRect.x + r.x, kPageRect.y + r.y, r.w, r.h});
}

WizardResult TDXPlayConnectForm::ShowModal(const std::function<void()>& pump) {
  pump_ = pump;
  result_ = WizardResult{};
  FormShow();
  eng::RunModal(display_, *this, [this] {
    if (pump_) pump_();
    Tick();
  });
  display_.StartTextInput(false);
  pump_ = nullptr;
  return result_;
}

void TDXPlayConnectForm::FormShow() {
  CentreOnFrame();
  ProviderList.Clear();
  ProviderList.AddItem(W("Локальная сеть или Интернет (TCP/IP)"));
  SetPage(SelectProvider);
}

void TDXPlayConnectForm::SetPage(Page page) {
  page_ = page;
  for (int p = 0; p < 4; ++p)
    for (eng::Widget* w : pages_[p]) w->Visible = p == page;
  eng::Widget* first = &ProviderList;
  if (page == SessionType) first = JoinGame.Checked() ? &JoinGame : &NewGame;
  if (page == SessionNew) first = &NewGameSessionName;
  if (page == SessionJoin) first = &JoinGameSessionList;
  SetFocus(first);
  NotebookPageChanged();
  Invalidate();
}

void TDXPlayConnectForm::NotebookPageChanged() {
  bool back = true, next = false;
  std::string caption = "Next >";
  switch (page_) {
    case SelectProvider:
      back = false;
      next = ProviderList.ItemIndex() >= 0;
      break;
    case SessionType:
      next = NewGame.Checked() || JoinGame.Checked();
      break;
    case SessionNew:
      next = !NewGameSessionName.Text().empty() && !NewGamePlayerName.Text().empty();
      caption = "Complete";
      break;
    case SessionJoin:
      next = JoinGameSessionList.ItemIndex() >= 0 && !JoinGamePlayerName.Text().empty();
      caption = "Complete";
      break;
  }
  if (busy_) back = next = false;
  BackButton.Enabled = back;
  NextButton.Enabled = next;
  NextButton.Caption = caption;
  Invalidate();
}

void TDXPlayConnectForm::EnterKey(int& key, eng::Widget& /*self*/, bool notEmpty, bool otherEmpty,
                                  eng::Widget& other) {
  if (key != eng::kKeyEnter || !notEmpty) return;
  if (NextButton.Enabled) {
    key = eng::kKeyNone;
    NextButtonClick();
  } else if (otherEmpty) {
    key = eng::kKeyNone;
    SetFocus(&other);
  }
}

void TDXPlayConnectForm::Idle() {
  // The window stays alive while replies are awaited.
  if (pump_) pump_();
  display_.PumpEvents(0);
  eng::Surface& back = display_.BackSurface();
  if (NeedsPaint() && display_.Ready() && back.Exists()) {
    Dialog::Paint(back);
    MarkPainted();
    display_.Present();
  }
}

void TDXPlayConnectForm::NextButtonClick() {
  if (busy_ || Closed() || !NextButton.Enabled) return;
  switch (page_) {
    case SelectProvider:
      SetPage(SessionType);
      break;
    case SessionType: {
      timerOn_ = false;
      if (NewGame.Checked()) {
        NewGamePlayerName.SetText(sessionPlayerName_);
        sessionRole_ = 1;
        SetPage(SessionNew);
        break;
      }
      JoinGamePlayerName.SetText(sessionPlayerName_);
      sessionRole_ = 2;
      sessions_.clear();
      JoinGameSessionList.Clear();
      JoinGamePlayerList.Clear();
      std::string address = lastAddress_;
      if (!AskAddress || !AskAddress(address) || Closed()) return;  // cancelled: stay
      address = Trimmed(address);
      lastAddress_ = address;
      std::vector<net::SessionInfo> found;
      busy_ = true;
      NotebookPageChanged();
      try {
        found = discover_(address, kDiscoverTimeoutMs, [this] { Idle(); });
      } catch (const std::exception&) {
        busy_ = false;
        NotebookPageChanged();
        if (!Closed() && ShowMessage) ShowMessage("Session list cannot be acquired");
        return;
      }
      busy_ = false;
      NotebookPageChanged();
      if (Closed()) return;  // cancelled meanwhile
      sessions_ = std::move(found);
      for (const net::SessionInfo& s : sessions_) JoinGameSessionList.AddItem(s.Name);
      SetPage(SessionJoin);
      break;
    }
    case SessionNew: {
      sessionPlayerName_ = NewGamePlayerName.Text().substr(0, kNameLength);
      const WizardResult choice{true, 1, NewGameSessionName.Text().substr(0, kSessionNameLength),
                                NewGamePlayerName.Text(), std::string(), 0};
      if (!OpenChosen(choice)) return;  // the error was shown: the player may try again
      result_ = choice;
      Close(eng::kResultOK);
      break;
    }
    case SessionJoin: {
      const int index = JoinGameSessionList.ItemIndex();
      if (index < 0 || index >= static_cast<int>(sessions_.size())) return;
      timerOn_ = false;
      const net::SessionInfo s = sessions_[index];
      const WizardResult choice{true, 2, s.Name, JoinGamePlayerName.Text(), s.Host, s.Port};
      if (!OpenChosen(choice)) return;
      result_ = choice;
      Close(eng::kResultOK);
      break;
    }
  }
}

bool TDXPlayConnectForm::OpenChosen(const WizardResult& choice) {
  if (!open_) return true;
  busy_ = true;
  NotebookPageChanged();
  bool opened = false;
  std::string error;
  try {
    // A closed window or Cancel ends a join under way.
    opened = open_(choice, [this] { Idle(); }, [this] { return Closed(); });
  } catch (const std::exception& e) {
    error = e.what();
  }
  busy_ = false;
  NotebookPageChanged();
  if (!error.empty() && !Closed() && ShowMessage) {
    Idle();  // the page as it is again, behind the box
    ShowMessage(error);
  }
  return opened && error.empty() && !Closed();
}

void TDXPlayConnectForm::BackButtonClick() {
  if (busy_ || !BackButton.Enabled) return;
  timerOn_ = false;
  if (page_ == SessionNew || page_ == SessionJoin)
    SetPage(SessionType);
  else if (page_ == SessionType)
    SetPage(SelectProvider);
}

void TDXPlayConnectForm::CancelButtonClick() {
  timerOn_ = false;
  Close(eng::kResultCancel);
}

void TDXPlayConnectForm::JoinGameSessionListClick() {
  NotebookPageChanged();
  JoinGamePlayerList.Clear();
  if (JoinGameSessionList.ItemIndex() < 0) return;
  // The players are asked for once the clicks have settled.
  timerOn_ = true;
  timerStart_ = clock_.Ticks();
}

void TDXPlayConnectForm::Tick() {
  if (timerOn_ && clock_.Ticks() - timerStart_ >= static_cast<uint32_t>(kPlayerListDelayMs))
    JoinGameGetPlayerListTimerTimer();
}

void TDXPlayConnectForm::JoinGameGetPlayerListTimerTimer() {
  timerOn_ = false;
  JoinGamePlayerList.Clear();
  const int index = JoinGameSessionList.ItemIndex();
  if (busy_ || page_ != SessionJoin || index < 0 || index >= static_cast<int>(sessions_.size())) return;
  const net::SessionInfo wanted = sessions_[index];
  std::vector<net::SessionInfo> replies;
  busy_ = true;
  try {
    // The session answers at its own port.
    replies = discover_(wanted.Host + ":" + std::to_string(wanted.Port), kDiscoverTimeoutMs, [this] { Idle(); });
  } catch (const std::exception&) {
    replies.clear();  // the list stays empty, without a word
  }
  busy_ = false;
  NotebookPageChanged();
  // The player may have moved on meanwhile.
  if (Closed() || page_ != SessionJoin || JoinGameSessionList.ItemIndex() != index) return;
  const net::SessionInfo* match = nullptr;
  for (const net::SessionInfo& r : replies)
    if (r.Port == wanted.Port && (r.Instance == wanted.Instance || !match)) match = &r;
  if (!match) return;
  for (const std::string& name : match->Players) JoinGamePlayerList.AddItem(name);
}

void TDXPlayConnectForm::PaintFrame(eng::Surface& s, Rect area) {
  s.FillRect(area, kSteel);
  s.FillRect(Rect{area.x, area.y, area.w, 1}, eng::RGB(150, 182, 214));
  s.FillRect(Rect{area.x, area.y, 1, area.h}, eng::RGB(150, 182, 214));
  s.FillRect(Rect{area.x, area.Bottom() - 1, area.w, 1}, kSteelDark);
  s.FillRect(Rect{area.Right() - 1, area.y, 1, area.h}, kSteelDark);
  const Rect title{area.x + kBorder, area.y + kBorder, area.w - 2 * kBorder, kTitleHeight - 1};
  s.FillRect(title, eng::RGB(40, 72, 110));
  eng::Canvas& canvas = s.GetCanvas();
  const eng::Font keptFont = canvas.font;
  const bool keptBrush = canvas.brushClear;
  canvas.font = eng::DialogFont(eng::kWhite);
  canvas.font.bold = true;
  canvas.brushClear = true;
  int w = 0, h = 0;
  eng::MeasureText(canvas.font, "Ay", &w, &h);
  canvas.TextOut(title.x + 6, title.y + (title.h - h) / 2, W("Настройка соединения"));
  canvas.font = keptFont;
  canvas.brushClear = keptBrush;

  const Rect client{area.x + kClientX, area.y + kClientY, kClientWidth, kClientHeight};
  s.FillRect(client, BackColor);
  auto at = [&](Rect r) { return Rect{client.x + r.x, client.y + r.y, r.w, r.h}; };
  PaintEmblem(s, at(kPictureRect));
  const Rect sep = at(kSeparatorRect);
  s.FillRect(Rect{sep.x, sep.y, sep.w, 1}, eng::RGB(128, 128, 128));
  s.FillRect(Rect{sep.x, sep.y + 1, sep.w, 1}, eng::kWhite);
}
