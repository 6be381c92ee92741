#include "settings/new_game_form.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include "engine/display.h"
#include "engine/frame_timer.h"
#include "engine/keys.h"
#include "engine/message_box.h"
#include "engine/text_codec.h"
#include "ui/common.h"

namespace {

constexpr size_t kNameLength = 12;

std::string Dotted(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET, &address, text, sizeof text) ? std::string(text) : std::string();
}

// Blanks and control characters at both ends go.
std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

}  // namespace

std::string GetLocalIPAddress() {
  // A Debian host name resolves to 127.0.1.1, which helps nobody: the
  // interfaces come first.
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) == 0) {
    std::string found;
    for (const ifaddrs* i = list; i && found.empty(); i = i->ifa_next) {
      if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
      if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
      found = Dotted(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr);
    }
    freeifaddrs(list);
    if (!found.empty()) return found;
  }
  char host[128] = {};
  if (gethostname(host, sizeof host - 1) != 0) return std::string();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* result = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &result) != 0 || !result) return std::string();
  const std::string address = Dotted(reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr);
  freeaddrinfo(result);
  return address;
}

TNewGameForm::TNewGameForm(eng::Display& display, TCommon& common, eng::FrameTimer& timer)
    : eng::Dialog(kWidth, kHeight),
      display_(display),
      common_(common),
      timer_(timer),
      skin_(assets::skins::PaintNewGameSkin()) {
  FormCreate();
}

void TNewGameForm::FormCreate() {
  SetBackgroundPicture(skin_.Background);

  PlNameEdit.MaxLength = kNameLength;
  PlNameEdit.BackColor = eng::RGB(82, 133, 227);
  PlNameEdit.TextFont.color = eng::kWhite;
  PlNameEdit.SetFontPixels(13);
  PlNameEdit.AttachDisplay(&display_);
  PlNameEdit.OnKeyDown = [this](int& key) { PlNameEditKeyDown(key); };

  StartBtn.SetPictures(skin_.StartUp, skin_.StartDown);
  StartBtn.SetTransparent(assets::skins::kSkinKey);
  StartBtn.OnClick = [this] { StartBtnClick(); };
  CloseBtn.SetPictures(skin_.CloseUp, skin_.CloseDown);
  CloseBtn.SetTransparent(assets::skins::kSkinKey);
  CloseBtn.OnClick = [this] { CloseBtnClick(); };
  for (eng::ImageRadioButton* radio : {&PlvsCompBtn, &PlvsPlBtn}) {
    radio->SetPictures(skin_.RadioUp, skin_.RadioDown);
    radio->SetTransparent(assets::skins::kSkinKey);
  }
  PlvsCompBtn.OnClick = [this] { PlvsCompBtnClick(); };
  PlvsPlBtn.OnClick = [this] { PlvsPlBtnClick(); };
  GetIPBtn.SetPictures(skin_.GetIPUp, skin_.GetIPDown);
  GetIPBtn.SetTransparent(assets::skins::kSkinKey);
  GetIPBtn.OnClick = [this] { GetIPBtnClick(); };

  Add(PlNameEdit);
  Add(StartBtn);
  Add(CloseBtn);
  Add(PlvsCompBtn);
  Add(PlvsPlBtn);
  Add(GetIPBtn);
  // The computer is the opponent until the settings say otherwise.
  PlvsCompBtn.SetDown(true);

  ShowMessage = [this](const std::string& text) { eng::MessageBox(display_, text, eng::MessageButtons::Ok, Pump); };
}

int TNewGameForm::ShowModal() {
  FormShow();
  FormActivate();
  inModal_ = true;
  const eng::ModalOutcome outcome = eng::RunModal(display_, *this, Pump);
  inModal_ = false;
  // Also when the window's close ended the dialog: the game runs on.
  FormClose();
  // The game starts over the game's own frame, not over the closed dialog:
  // the connection wizard or an error box may come up on the way.
  if (startPending_) {
    startPending_ = false;
    StartGame();
  }
  return outcome.result;
}

void TNewGameForm::FormShow() {
  CentreOnFrame();
  PlNameEdit.SetText(common_.Settings.PlayerName());
  if (common_.Settings.GameMode == 1) {
    PlvsCompBtn.SetDown(true);
    GetIPBtn.SetDown(true);
  } else if (common_.Settings.GameMode == 2) {
    PlvsPlBtn.SetDown(true);
    GetIPBtn.SetDown(false);
  }
  SetFocus(&PlNameEdit);
}

void TNewGameForm::FormActivate() {
  PlNameEdit.SetText(common_.Settings.PlayerName());
  timer_.SetEnabled(false);
  // Typing goes to the name from the start.
  display_.StartTextInput(true);
}

void TNewGameForm::FormClose() {
  // The pointer goes with the dialog's loop.
  display_.StartTextInput(false);
  timer_.SetEnabled(true);
}

void TNewGameForm::PlvsCompBtnClick() { GetIPBtn.SetDown(true); }

void TNewGameForm::PlvsPlBtnClick() { GetIPBtn.SetDown(false); }

void TNewGameForm::GetIPBtnClick() {
  if (!PlvsPlBtn.Down()) return;
  GetIPBtn.SetDown(false);
  // The address stands on a line of its own.
  ShowMessage(W("IP-адрес вашего компьютера: ") + "\r\n" + LocalAddress());
}

void TNewGameForm::PlNameEditKeyDown(int& key) {
  if (key != eng::kKeyEnter) return;
  key = eng::kKeyNone;
  StartBtnClick();
}

void TNewGameForm::CloseBtnClick() { Close(eng::kResultCancel); }

bool TNewGameForm::OnKey(int key) {
  // Escape leaves the dialog as its Close button does.
  if (key != eng::kKeyEscape) return false;
  CloseBtnClick();
  return true;
}

void TNewGameForm::StartBtnClick() {
  if (Closed()) return;  // one start per showing
  Close(eng::kResultOK);
  if (inModal_) {
    startPending_ = true;
    return;
  }
  FormClose();
  StartGame();
}

void TNewGameForm::StartGame() {
  const std::string name = Trimmed(PlNameEdit.Text());
  common_.Settings.SetPlayerName(name.empty() ? W("Игрок N1") : name.substr(0, kNameLength));
  common_.Settings.GameMode = PlvsCompBtn.Down() ? 1 : 2;
  // A session that was not opened stops the start before the save.
  if (common_.StartNewGame()) common_.SaveSettings();
}
