// The built-in pictures, painted with cairo at start-up.
#pragma once
#include <functional>

#include "engine/image_list.h"

namespace assets {

// Adds the items of kImageSpecs to the list in index order, each with its
// name, pattern size, colour key and a picture painted at its table size.
// The logo is painted first and handed to logoFirst when given, so it can
// be shown while the others are painted.
void PaintPictures(eng::ImageList& list, const std::function<void(const eng::Picture&)>& logoFirst = {});

}  // namespace assets
