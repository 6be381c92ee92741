// The named image collection: each item a 24-bit picture cut into patterns
// row by row, drawn with its own transparency.
#pragma once
#include <string>
#include <vector>

#include "engine/picture.h"
#include "engine/surface.h"

namespace eng {

class ImageItem {
 public:
  std::string name;
  Picture picture;
  int patternWidth = 0;   // 0: the whole picture is one pattern
  int patternHeight = 0;
  bool transparent = false;
  Color transparentColor = kBlack;

  int PatternWidth() const { return patternWidth > 0 ? patternWidth : picture.Width(); }
  int PatternHeight() const { return patternHeight > 0 ? patternHeight : picture.Height(); }
  int PatternCount() const;
  // Pattern i lies in column i mod n and row i div n, n patterns to a row.
  // An empty rectangle for a pattern out of range.
  Rect PatternRect(int pattern) const;

  // Drawing a pattern out of range draws nothing.
  void Draw(Surface& dest, int x, int y, int pattern) const;
  void StretchDraw(Surface& dest, Rect dst, int pattern) const;
  void DrawAlpha(Surface& dest, Rect dst, int pattern, int alpha) const;
  // The 16-bit surface made from the picture (rebuilt by Restore()).
  const Surface& GetSurface() const { return surface_; }
  // Makes the 16-bit surface from the picture, with the item's key.
  void Restore();

 private:
  Surface surface_;
};

class ImageList {
 public:
  ImageItem& Add() { return items_.emplace_back(); }
  int Count() const { return static_cast<int>(items_.size()); }
  ImageItem& operator[](int i) { return items_[i]; }
  const ImageItem& operator[](int i) const { return items_[i]; }
  // -1 when no item has the name.
  int Find(const std::string& name) const;
  void RestoreAll();
  void Clear() { items_.clear(); }

 private:
  std::vector<ImageItem> items_;
};

}  // namespace eng
