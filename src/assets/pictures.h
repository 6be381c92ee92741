// The built-in pictures, painted with cairo at start-up.
#pragma once
#include "engine/image_list.h"

namespace assets {

// Adds the items of kImageSpecs to the list in index order, each with its
// name, pattern size, colour key and a picture painted at its table size.
void PaintPictures(eng::ImageList& list);

}  // namespace assets
