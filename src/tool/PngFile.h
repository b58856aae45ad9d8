#pragma once

#include <string>

#include "RelationPicture.h"

namespace lumark::tool {

// The picture as the bytes of a PNG file. A picture of at most 256 colours, as a relation
// picture always is, is stored with a palette: a fraction of the size of RGB rows, and
// quicker to compress. Throws a LumarkError when libpng fails.
std::string EncodePng(const RelationPicture& picture);

}  // namespace lumark::tool
