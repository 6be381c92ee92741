#include "assets/pictures.h"

#include <array>
#include <string>

#include "assets/image_table.h"
#include "assets/painters.h"

namespace assets {

namespace {

using Painter = void (*)(paint::Canvas&);

// One painter per index of kImageSpecs.
constexpr std::array<Painter, kImageCount> kPainters{
    painters::CloseCell,     painters::OpenCell,      painters::MarkedCell,    painters::DamShipCell,
    painters::BlackShipCell, painters::DestrShipCell, painters::RedShipCell,   painters::RFixShipCell,
    painters::Hint1Cell,     painters::Hint2Cell,     painters::SQBomb,        painters::PBomb,
    painters::XBomb,         painters::Cursor,        painters::Rocket,        painters::Rocket2,
    painters::Explosion,     painters::Bonuses,       painters::Counter,       painters::ButtonBlock,
    painters::SCblock,       painters::SCmodif,       painters::MenuBlock,     painters::Background,
    painters::MainBlockTop,  painters::MainBlockLeft, painters::MainBlockBottom, painters::MainBlockRight,
    painters::MNewBtn,       painters::MOptionsBtn,   painters::MHelpBtn,      painters::StatusBlock,
    painters::Navigators,    painters::ScoreTable,    painters::CloseBtn,      painters::CloseCellDark,
    painters::Logo,          painters::SendBtn,       painters::NotFoundCell,
};

eng::Picture Painted(int i) {
  const ImageSpec& image = kImageSpecs[i];
  paint::Canvas canvas(image.width, image.height);
  kPainters[i](canvas);
  return canvas.ToPicture(image.transparent, image.key);
}

}  // namespace

void PaintPictures(eng::ImageList& list, const std::function<void(const eng::Picture&)>& logoFirst) {
  // Every painter works on its own canvas, so the order changes no pixel.
  eng::Picture logo;
  if (logoFirst) {
    logo = Painted(kLogo);
    logoFirst(logo);
  }
  for (int i = 0; i < kImageCount; ++i) {
    const ImageSpec& image = kImageSpecs[i];
    eng::ImageItem& item = list.Add();
    item.name = std::string(image.name);
    item.patternWidth = image.patternWidth;
    item.patternHeight = image.patternHeight;
    item.transparent = image.transparent;
    item.transparentColor = image.key;
    item.picture = i == kLogo && logoFirst ? std::move(logo) : Painted(i);
  }
}

}  // namespace assets
