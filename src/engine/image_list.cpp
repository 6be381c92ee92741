#include "engine/image_list.h"

namespace eng {

int ImageItem::PatternCount() const {
  const int pw = PatternWidth(), ph = PatternHeight();
  if (pw <= 0 || ph <= 0) return 0;
  return (picture.Width() / pw) * (picture.Height() / ph);
}

Rect ImageItem::PatternRect(int pattern) const {
  if (pattern < 0 || pattern >= PatternCount()) return Rect{};
  const int pw = PatternWidth(), ph = PatternHeight();
  const int perRow = picture.Width() / pw;
  return Rect{(pattern % perRow) * pw, (pattern / perRow) * ph, pw, ph};
}

void ImageItem::Restore() {
  surface_.LoadFromPicture(picture);
  if (transparent)
    surface_.SetColorKey(transparentColor);
  else
    surface_.ClearColorKey();
}

void ImageItem::Draw(Surface& dest, int x, int y, int pattern) const {
  const Rect r = PatternRect(pattern);
  if (r.w == 0) return;
  dest.Draw(x, y, surface_, r, transparent);
}

void ImageItem::StretchDraw(Surface& dest, Rect dst, int pattern) const {
  const Rect r = PatternRect(pattern);
  if (r.w == 0) return;
  dest.StretchDraw(dst, surface_, r, transparent);
}

void ImageItem::DrawAlpha(Surface& dest, Rect dst, int pattern, int alpha) const {
  const Rect r = PatternRect(pattern);
  if (r.w == 0) return;
  dest.DrawAlpha(dst, surface_, r, alpha, transparent);
}

int ImageList::Find(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i].name == name) return i;
  return -1;
}

void ImageList::RestoreAll() {
  for (auto& item : items_) item.Restore();
}

}  // namespace eng
